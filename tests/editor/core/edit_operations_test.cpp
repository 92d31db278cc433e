#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core_fixture.h"
#include "editor/core/undo_storage.h"
#include "hex_error_matchers.h"

namespace quillon {

namespace {

const std::string kOutOfBounds = "Data position/length out of data bounds";

} // namespace

class EditOperationsTest : public CoreTest {
protected:
    bool Invalidated(GridRect rect) const {
        return std::find(view.invalidated.begin(), view.invalidated.end(), rect) !=
               view.invalidated.end();
    }
    void Select(std::int32_t lower, std::int32_t upper) {
        editor.SetSelectionStart(lower);
        editor.SetSelectionEnd(upper);
    }
};

TEST_F(EditOperationsTest, ChangeByteWritesMarksRepaintsAndNotifies) {
    Load(Counting(40));
    int changes = 0;
    editor.OnChange = [&] {
        ++changes;
    };
    view.invalidated.clear();
    editor.ChangeByte(17, 0xEE, 17, 4, 3);
    EXPECT_EQ(editor.ByteAt(17), 0xEE);
    EXPECT_TRUE(editor.IsChanged(17));
    EXPECT_FALSE(editor.IsChanged(16));
    EXPECT_TRUE(editor.IsModified());
    EXPECT_TRUE(Invalidated({4, 3, 5, 3}));
    EXPECT_TRUE(Invalidated({36, 3, 36, 3}));
    EXPECT_EQ(changes, 1);
    editor.ChangeByte(5, 5, 5, 12, 2);
    EXPECT_EQ(changes, 1) << "an equal value changes nothing";
    EXPECT_TRUE(RaisesHexError([&] { editor.ChangeByte(0, 1, 40, 2, 4); }, kOutOfBounds));
}

TEST_F(EditOperationsTest, ChangeByteInInsertModeMarksNothing) {
    Load(Counting(8));
    editor.MarkChanged(1, true);
    editor.SetInsertMode(true);
    editor.ChangeByte(3, 0x30, 3, 8, 2);
    EXPECT_EQ(editor.ByteAt(3), 0x30);
    EXPECT_FALSE(editor.IsChanged(3));
    editor.SetInsertMode(false);
    EXPECT_FALSE(editor.IsChanged(1)) << "a mode switch empties the map";
}

TEST_F(EditOperationsTest, ChangeWideCharWritesMemoryOrderAndMarksDifferingBytes) {
    Load(ByteVector{0x41, 0x00, 0x42, 0x00});
    editor.ChangeWideChar(0x0041, 0x0441, 0, 2, 2);
    EXPECT_EQ(Bytes(), (ByteVector{0x41, 0x04, 0x42, 0x00}));
    EXPECT_FALSE(editor.IsChanged(0));
    EXPECT_TRUE(editor.IsChanged(1));
    EXPECT_TRUE(RaisesHexError([&] { editor.ChangeWideChar(0, 1, 3, 8, 2); }, kOutOfBounds));
}

TEST_F(EditOperationsTest, AppendBytesSelectsTheNewBytes) {
    Load(Counting(4));
    const ByteVector more{9, 8, 7};
    editor.AppendBytes(more.data(), 3, "", true);
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 2, 3, 9, 8, 7}));
    EXPECT_EQ(editor.SelectionAnchor(), 4);
    EXPECT_EQ(editor.SelectionLower(), 4);
    EXPECT_EQ(editor.SelectionUpper(), 6);
    EXPECT_EQ(editor.CurrentPosition(), 4);
    EXPECT_TRUE(editor.IsModified());
    editor.AppendBytes(nullptr, 3, "", true);
    editor.AppendBytes(more.data(), 0, "", true);
    EXPECT_EQ(editor.DataLength(), 7);
}

TEST_F(EditOperationsTest, AppendBytesToAnEmptyDocument) {
    const ByteVector bytes{1, 2};
    editor.AppendBytes(bytes.data(), 2, "", false);
    EXPECT_EQ(Bytes(), bytes);
    EXPECT_EQ(editor.RowCount(), 3);
}

TEST_F(EditOperationsTest, InsertBytesMovesTheTailAndSelects) {
    Load(Counting(40));
    editor.MarkChanged(2, true);
    editor.MarkChanged(30, true);
    const ByteVector block{0xA, 0xB};
    editor.InsertBytes(block.data(), 2, 20, "", true);
    EXPECT_EQ(editor.DataLength(), 42);
    EXPECT_EQ(editor.ByteAt(19), 19);
    EXPECT_EQ(editor.ByteAt(20), 0xA);
    EXPECT_EQ(editor.ByteAt(22), 20);
    EXPECT_EQ(editor.ByteAt(41), 39);
    EXPECT_EQ(editor.SelectionLower(), 20);
    EXPECT_EQ(editor.SelectionUpper(), 21);
    EXPECT_EQ(editor.CurrentPosition(), 21);
    EXPECT_TRUE(editor.IsChanged(2));
    EXPECT_FALSE(editor.IsChanged(30)) << "marks behind an insertion are dropped";
    EXPECT_EQ(editor.RowCount(), 5);
}

TEST_F(EditOperationsTest, InsertBytesOutsideTheDocumentIsRefused) {
    Load(Counting(4));
    const ByteVector block{1};
    EXPECT_TRUE(
        RaisesHexError([&] { editor.InsertBytes(block.data(), 1, 5, "", false); }, kOutOfBounds));
    EXPECT_TRUE(
        RaisesHexError([&] { editor.InsertBytes(block.data(), 1, -1, "", false); }, kOutOfBounds));
    EXPECT_EQ(Bytes(), Counting(4));
    EXPECT_FALSE(editor.IsModified());
    editor.InsertBytes(block.data(), 1, 4, "", false);
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 2, 3, 1}));
}

TEST_F(EditOperationsTest, InsertBytesWhileDisabledLeavesTheSelection) {
    Load(Counting(4));
    editor.SetEnabled(false);
    const ByteVector block{1};
    editor.InsertBytes(block.data(), 1, 0, "", true);
    EXPECT_EQ(editor.DataLength(), 5);
    EXPECT_EQ(editor.SelectionAnchor(), -1);
}

TEST_F(EditOperationsTest, GrowingPastTheSizeLimitIsRefused) {
    Load(Counting(4));
    const ByteVector block{1};
    const std::int32_t tooMuch = kMaxDocumentSize - 3;
    EXPECT_TRUE(RaisesHexError([&] { editor.InsertBytes(block.data(), tooMuch, 0, "", false); },
                               "Data too large"));
    EXPECT_TRUE(RaisesHexError([&] { editor.AppendBytes(block.data(), tooMuch, "", false); },
                               "Data too large"));
    EXPECT_TRUE(
        RaisesHexError([&] { editor.InsertRaw(block.data(), tooMuch, 0); }, "Data too large"));
    EXPECT_EQ(Bytes(), Counting(4));
    EXPECT_FALSE(editor.IsModified());
    EXPECT_EQ(editor.UndoStorage().RecordCount(), 0);
}

TEST_F(EditOperationsTest, OverwriteSelectionWithoutSelectionInsertsAtTheCaret) {
    Load(Counting(6));
    editor.MoveCaretTo(2, 0);
    const ByteVector block{0xF0, 0xF1};
    editor.OverwriteSelection(block.data(), 2, "", true);
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 0xF0, 0xF1, 2, 3, 4, 5}));
}

TEST_F(EditOperationsTest, OverwriteSelectionWritesFromTheLowerEnd) {
    Load(Counting(10));
    Select(6, 3);
    const ByteVector block{3, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    editor.OverwriteSelection(block.data(), 6, "", false);
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 2, 3, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 9}));
    EXPECT_TRUE(editor.IsChanged(4));
    EXPECT_FALSE(editor.IsChanged(3)) << "an equal byte is not rewritten";
}

TEST_F(EditOperationsTest, OverwriteSelectionStopsAtTheEnd) {
    Load(Counting(6));
    Select(4, 5);
    const ByteVector block{0xB0, 0xB1, 0xB2, 0xB3};
    editor.OverwriteSelection(block.data(), 4, "", false);
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 2, 3, 0xB0, 0xB1}));
}

TEST_F(EditOperationsTest, OverwriteSelectionUnderNoSizeChange) {
    Load(Counting(10));
    editor.SetNoSizeChange(true);
    Select(2, 4);
    const ByteVector longer{0xC0, 0xC1, 0xC2, 0xC3, 0xC4};
    editor.OverwriteSelection(longer.data(), 5, "", false);
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 0xC0, 0xC1, 0xC2, 5, 6, 7, 8, 9}));
    Select(6, 9);
    const ByteVector shorter{0xD0, 0xD1};
    editor.OverwriteSelection(shorter.data(), 2, "", false);
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 0xC0, 0xC1, 0xC2, 5, 0xD0, 0xD1, 8, 9}));
    EXPECT_EQ(editor.SelectionLower(), 6);
    EXPECT_EQ(editor.SelectionUpper(), 7) << "the selection shrinks to the bytes written";
}

TEST_F(EditOperationsTest, ReplaceBytesWithTheSameBytesRecordsNothing) {
    Load(Counting(10));
    const ByteVector same{3, 4, 5};
    EXPECT_EQ(editor.ReplaceBytes(same.data(), 3, 3, 3, "", false), 3);
    EXPECT_FALSE(editor.IsModified());
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.UndoStorage().RecordCount(), 0);
}

TEST_F(EditOperationsTest, ReplaceBytesCounts) {
    const ByteVector block{0xE0, 0xE1, 0xE2, 0xE3, 0xE4};
    struct Case {
        std::int32_t position;
        std::int32_t oldCount;
        std::int32_t newCount;
        bool noSizeChange;
        std::int32_t result;
        ByteVector bytes;
    };
    const std::vector<Case> cases = {
        {1, 2, 2, false, 2, {0, 0xE0, 0xE1, 3, 4, 5}},
        {4, 5, 5, false, 2, {0, 1, 2, 3, 0xE0, 0xE1}},       // both cut at the end
        {1, 2, 4, false, 4, {0, 0xE0, 0xE1, 0xE2, 0xE3, 5}}, // more new than old bytes
        {1, 2, 4, true, 2, {0, 0xE0, 0xE1, 3, 4, 5}},        // size locked
        {3, 1, 5, false, 3, {0, 1, 2, 0xE0, 0xE1, 0xE2}},    // never past the end
        {6, 1, 1, false, 0, {0, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        Load(Counting(6));
        editor.SetNoSizeChange(c.noSizeChange);
        EXPECT_EQ(editor.ReplaceBytes(block.data(), c.position, c.oldCount, c.newCount, "", false),
                  c.result)
            << c.position << " " << c.oldCount << " " << c.newCount;
        EXPECT_EQ(Bytes(), c.bytes) << c.position << " " << c.oldCount << " " << c.newCount;
    }
    EXPECT_TRUE(RaisesHexError([&] { editor.ReplaceBytes(block.data(), 7, 1, 1, "", false); },
                               kOutOfBounds));
}

TEST_F(EditOperationsTest, ReplaceBytesMovesTheCaretOnRequest) {
    Load(Counting(40));
    editor.MoveCaretToCell({37, 2});
    const ByteVector block{0xAA};
    editor.ReplaceBytes(block.data(), 20, 1, 1, "", true);
    EXPECT_EQ(editor.CaretCell(), editor.PositionToCell(20, true));
}

TEST_F(EditOperationsTest, DeleteSelectedRemovesTheSelectionOrTheCaretByte) {
    Load(Counting(10));
    editor.MarkChanged(1, true);
    editor.MarkChanged(5, true);
    Select(3, 5);
    editor.DeleteSelected();
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 2, 6, 7, 8, 9}));
    EXPECT_EQ(editor.SelectionAnchor(), -1);
    EXPECT_EQ(editor.CurrentPosition(), 3);
    EXPECT_TRUE(editor.IsChanged(1));
    EXPECT_FALSE(editor.IsChanged(3));
    editor.MoveCaretTo(0, 0);
    editor.DeleteSelected();
    EXPECT_EQ(Bytes(), (ByteVector{1, 2, 6, 7, 8, 9}));
    editor.MoveCaretTo(5, 0);
    editor.DeleteSelected();
    EXPECT_EQ(Bytes(), (ByteVector{1, 2, 6, 7, 8}));
    EXPECT_EQ(editor.CurrentPosition(), 4) << "the caret stays on the last byte";
}

TEST_F(EditOperationsTest, DeleteSelectedAfterTheLastByteDoesNothing) {
    Load(Counting(4));
    editor.SetInsertMode(true);
    editor.MoveCaretToCell(editor.PositionToCell(4, false));
    ASSERT_EQ(editor.CellToPosition(editor.Col(), editor.Row()), 4);
    editor.DeleteSelected();
    EXPECT_EQ(Bytes(), Counting(4));
    EXPECT_FALSE(editor.IsModified());
}

TEST_F(EditOperationsTest, DeleteAtCursor) {
    struct Case {
        bool insertMode;
        bool backwards;
        std::int32_t unit;
        std::int32_t caret;
        ByteVector bytes;
        std::int32_t caretAfter;
    };
    const std::vector<Case> cases = {
        {false, false, 4, 4, {0, 1, 2, 3}, 3},     {false, false, 4, 1, {4, 5}, 1},
        {false, false, 1, 5, {0, 1, 2, 3, 4}, 4},  {true, true, 4, 6, {0, 1, 2, 3, 4}, 5},
        {true, true, 1, 3, {0, 1, 3, 4, 5}, 2},    {true, true, 2, 4, {0, 1, 4, 5}, 2},
        {true, true, 1, 0, {0, 1, 2, 3, 4, 5}, 0}, {false, true, 2, 3, {2, 3, 4, 5}, 0},
    };
    for (const Case& c : cases) {
        Load(Counting(6));
        editor.SetInsertMode(c.insertMode);
        editor.SetBytesPerUnit(c.unit);
        editor.MoveCaretToCell(editor.PositionToCell(c.caret, false));
        editor.DeleteAtCursor(c.backwards);
        EXPECT_EQ(Bytes(), c.bytes) << "caret " << c.caret << " unit " << c.unit;
        EXPECT_EQ(editor.CellToPosition(editor.Col(), editor.Row()), c.caretAfter)
            << "caret " << c.caret << " unit " << c.unit;
        editor.SetInsertMode(false);
    }
}

TEST_F(EditOperationsTest, RawOperationsKeepToTheBuffer) {
    Load(Counting(6));
    const ByteVector block{0xAB, 0xCD};
    editor.InsertRaw(block.data(), 2, 0);
    EXPECT_EQ(Bytes(), (ByteVector{0xAB, 0xCD, 0, 1, 2, 3, 4, 5}));
    editor.AppendRaw(block.data(), 2);
    EXPECT_EQ(editor.DataLength(), 10);
    EXPECT_FALSE(editor.IsModified()) << "raw operations record nothing";
    editor.DeleteRaw(2, 8, -1, 0);
    EXPECT_EQ(Bytes(), (ByteVector{0xAB, 0xCD, 0xAB, 0xCD}));
    EXPECT_TRUE(RaisesHexError([&] { editor.DeleteRaw(3, 5, -1, 0); }, kOutOfBounds));
    EXPECT_TRUE(RaisesHexError([&] { editor.DeleteRaw(3, 2, -1, 0); }, kOutOfBounds));
    EXPECT_TRUE(RaisesHexError([&] { editor.InsertRaw(block.data(), 2, 5); }, kOutOfBounds));
    EXPECT_EQ(editor.DataLength(), 4);
}

TEST_F(EditOperationsTest, DeleteRawPlacesTheCaret) {
    Load(Counting(40));
    editor.DeleteRaw(10, 20, 6, 3);
    EXPECT_EQ(editor.CaretCell(), (GridCell{6, 3}));
    editor.DeleteRaw(20, 30, 40, 3);
    EXPECT_EQ(editor.CaretCell(), editor.PositionToCell(19, false));
    editor.DeleteRaw(0, 20, 40, 3);
    EXPECT_EQ(editor.CaretCell(), (GridCell{35, 2})) << "first cell of the character field";
    EXPECT_EQ(editor.RowCount(), 3);
}

TEST_F(EditOperationsTest, DirectAccessIsBoundsChecked) {
    Load(Counting(4));
    std::uint8_t buffer[8] = {};
    editor.GetBytes(buffer, 1, 3);
    EXPECT_EQ(buffer[2], 3);
    editor.GetBytes(buffer, 4, 0);
    const std::vector<std::function<void()>> outside = {
        [&] { editor.GetBytes(buffer, 2, 3); },       [&] { editor.GetBytes(buffer, -1, 1); },
        [&] { editor.PutBytes(buffer, 3, 2); },       [&] { editor.PutBytes(buffer, 0, -1); },
        [&] { static_cast<void>(editor.ByteAt(4)); }, [&] { editor.SetByteAt(-1, 0); },
        [&] { editor.WriteAt(buffer, 2, 3); },
    };
    for (const auto& access : outside) {
        EXPECT_TRUE(RaisesHexError(access, kOutOfBounds));
    }
    EXPECT_EQ(Bytes(), Counting(4));
}

TEST_F(EditOperationsTest, UndoRequestsUnderNoSizeChange) {
    using K = HexUndoKind;
    struct Case {
        K kind;
        std::int32_t count;
        std::int32_t replaceCount;
        bool emptyDocument;
        bool noSizeChange;
        bool allowed;
    };
    const std::vector<Case> cases = {
        {K::ukChangeBytes, 1, 0, false, true, true},
        {K::ukChangeBytes, 1, 0, true, false, false},
        {K::ukInsertBuffer, 4, 0, true, false, true},
        {K::ukAppendBuffer, 4, 0, true, false, true},
        {K::ukAllData, 0, 0, true, false, true},
        {K::ukRemoveData, 1, 0, false, true, false},
        {K::ukInsertBuffer, 1, 0, false, true, false},
        {K::ukAppendBuffer, 1, 0, false, true, false},
        {K::ukInsertNibble, 1, 0, false, true, false},
        {K::ukDeleteNibble, 1, 0, false, true, false},
        {K::ukReplace, 3, 3, false, true, true},
        {K::ukReplace, 3, 2, false, true, false},
        {K::ukReplace, 3, 2, false, false, true},
        {K::ukGroup, 5, 0, false, true, true}, // any group while there are bytes
        {K::ukGroup, 0, 0, true, false, true}, // an empty document: no more than the records
        {K::ukGroup, 1, 0, true, false, false},
    };
    for (const Case& c : cases) {
        Load(c.emptyDocument ? ByteVector{} : Counting(4));
        editor.SetNoSizeChange(c.noSizeChange);
        EXPECT_EQ(editor.MayRecordUndo(c.kind, c.count, c.replaceCount), c.allowed)
            << "kind " << static_cast<int>(c.kind) << " count " << c.count;
        editor.SetNoSizeChange(false);
    }
}

TEST_F(EditOperationsTest, RefusedRequestsChangeNothing) {
    Load(Counting(6));
    editor.SetNoSizeChange(true);
    const ByteVector block{1};
    const std::vector<std::function<void()>> sizeChanges = {
        [&] { editor.DeleteSelected(); },
        [&] { editor.DeleteAtCursor(false); },
        [&] { editor.InsertBytes(block.data(), 1, 0, "", false); },
        [&] { editor.AppendBytes(block.data(), 1, "", false); },
    };
    for (const auto& change : sizeChanges) {
        EXPECT_TRUE(RaisesHexError(change, "Cannot update undo storage"));
    }
    EXPECT_EQ(Bytes(), Counting(6));
    EXPECT_FALSE(editor.IsModified());
    editor.SetSizeChangeOverride(true);
    EXPECT_FALSE(editor.EffectiveNoSizeChange());
    editor.DeleteSelected();
    EXPECT_EQ(editor.DataLength(), 5);
}

TEST_F(EditOperationsTest, NoSizeChangeEndsInsertMode) {
    Load(Counting(16));
    editor.SetInsertMode(true);
    EXPECT_EQ(editor.RowCount(), 4);
    editor.SetNoSizeChange(true);
    EXPECT_FALSE(editor.InsertMode());
    EXPECT_EQ(editor.RowCount(), 3);
    editor.SetInsertMode(true);
    EXPECT_FALSE(editor.InsertMode());
}

TEST_F(EditOperationsTest, InsertModeOffMovesTheCaretOffTheEnd) {
    Load(Counting(16));
    editor.SetInsertMode(true);
    editor.MoveCaretToCell(editor.PositionToCell(16, true));
    ASSERT_EQ(editor.CaretCell(), (GridCell{35, 3}));
    editor.SetInsertMode(false);
    EXPECT_EQ(editor.CaretCell(), (GridCell{50, 2}));
    editor.SetReadOnlyView(true);
    editor.SetInsertMode(true);
    EXPECT_FALSE(editor.InsertMode());
    editor.SetReadOnlyView(false);
    editor.SetAllowInsertMode(false);
    editor.SetInsertMode(true);
    EXPECT_FALSE(editor.InsertMode());
}

TEST_F(EditOperationsTest, ChangeMap) {
    Load(Counting(10));
    EXPECT_FALSE(editor.IsChanged(-1));
    EXPECT_FALSE(editor.IsChanged(100));
    editor.MarkChanged(7, true);
    EXPECT_EQ(editor.ChangedBitsLength(), 8);
    editor.MarkChanged(7, false);
    editor.MarkChanged(20, false);
    EXPECT_EQ(editor.ChangedBitsLength(), 8) << "clearing outside the map does not grow it";
    editor.MarkChanged(9, true);
    editor.TrimChangedBits(12);
    EXPECT_EQ(editor.ChangedBitsLength(), 10);
    editor.TrimChangedBits(9);
    EXPECT_FALSE(editor.IsChanged(9));
    editor.MarkChanged(8, true);
    editor.DeleteRaw(5, 10, -1, 0);
    EXPECT_EQ(editor.ChangedBitsLength(), 5) << "the grid update cuts the map to the length";
}

class NibbleShiftTest : public EditOperationsTest {
protected:
    NibbleShiftTest() {
        const char* previous = std::getenv("TMPDIR");
        previousTmp_ = previous != nullptr ? previous : "";
        hadTmp_ = previous != nullptr;
        ::setenv("TMPDIR", folder.Path().c_str(), 1);
    }
    ~NibbleShiftTest() override {
        if (hadTmp_) {
            ::setenv("TMPDIR", previousTmp_.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }
    std::ptrdiff_t FilesInTemp() const {
        return std::distance(std::filesystem::directory_iterator(folder.Path()), {});
    }

    TempFolder folder;
    std::string previousTmp_;
    bool hadTmp_ = false;
};

TEST_F(NibbleShiftTest, ShiftsHalfBytes) {
    struct Case {
        bool in;
        std::int32_t position;
        bool high;
        ByteVector before;
        ByteVector after;
    };
    const std::vector<Case> cases = {
        {true, 0, true, {0x12, 0x34}, {0x01, 0x23, 0x40}},
        {true, 0, false, {0x12, 0x34}, {0x10, 0x23, 0x40}},
        {true, 1, true, {0x12, 0x34}, {0x12, 0x03, 0x40}},
        {true, 1, false, {0x12, 0x34}, {0x12, 0x30, 0x40}},
        {false, 0, true, {0x12, 0x34}, {0x23, 0x40}},
        {false, 0, false, {0x12, 0x34}, {0x13, 0x40}},
        {false, 1, true, {0x12, 0x34}, {0x12, 0x40}},
        {false, 1, false, {0x12, 0x34}, {0x12, 0x30}},
        {false, 0, false, {0xAB}, {0xA0}},
    };
    for (const Case& c : cases) {
        Load(c.before);
        const bool shifted = c.in ? editor.ShiftInNibble(c.position, c.high)
                                  : editor.ShiftOutNibble(c.position, c.high);
        EXPECT_TRUE(shifted);
        EXPECT_EQ(Bytes(), c.after) << (c.in ? "in " : "out ") << c.position << " " << c.high;
    }
    EXPECT_EQ(view.waitCursors, 0);
    EXPECT_EQ(FilesInTemp(), 0) << "the temporary file is gone";
}

TEST_F(NibbleShiftTest, ShiftsAcrossBlocks) {
    ByteVector bytes(1500);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    Load(bytes);
    ASSERT_TRUE(editor.ShiftInNibble(3, true));
    ASSERT_TRUE(editor.ShiftOutNibble(3, true));
    ByteVector expected = bytes;
    expected.push_back(0);
    EXPECT_EQ(Bytes(), expected)
        << "the inserted half byte is removed again, two zero halves follow";
}

TEST_F(NibbleShiftTest, NothingToShift) {
    EXPECT_FALSE(editor.ShiftInNibble(0, true));
    EXPECT_FALSE(editor.ShiftOutNibble(0, true));
    Load(Counting(2));
    EXPECT_FALSE(editor.ShiftInNibble(2, true));
    EXPECT_FALSE(editor.ShiftOutNibble(-1, false));
    EXPECT_EQ(Bytes(), Counting(2));
    EXPECT_EQ(FilesInTemp(), 0);
}

TEST_F(NibbleShiftTest, UnwritableTemporaryFolderRaisesAndRestoresTheCursor) {
    Load(Counting(2));
    ::setenv("TMPDIR", (folder.Path() / "missing").c_str(), 1);
    try {
        editor.ShiftInNibble(0, true);
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& error) {
        EXPECT_NE(std::string(error.what()).find("Cannot create file"), std::string::npos);
    }
    EXPECT_EQ(view.waitCursors, 0);
    EXPECT_EQ(Bytes(), Counting(2));
}

} // namespace quillon
