// Undo and redo against a plain editor: every kind, the restored state, the redo record, groups,
// bookmarks and records that no longer fit the document.
#include "editor/core/undo_storage.h"

#include <functional>

#include <gtest/gtest.h>

#include "fake_undo_target.h"

namespace quillon {
namespace {

using testing::FakeUndoTarget;
using testing::Hex;
using testing::I32At;
using testing::Iota;

using Bytes = std::vector<std::uint8_t>;
using Change = std::function<void(FakeUndoTarget&, HexUndoStorage&)>;

// The editor's order: record, then change the bytes.
void Overwrite(FakeUndoTarget& editor, HexUndoStorage& storage, std::int32_t position,
               const Bytes& values) {
    storage.AddRecord(HexUndoKind::ukChangeBytes, position,
                      static_cast<std::int32_t>(values.size()), 0, "");
    for (std::size_t i = 0; i < values.size(); ++i) {
        editor.bytes[position + i] = values[i];
        editor.MarkChanged(static_cast<std::int32_t>(position + i), true);
    }
    editor.modified = true;
}

void Insert(FakeUndoTarget& editor, HexUndoStorage& storage, std::int32_t position,
            const Bytes& values) {
    storage.AddRecord(HexUndoKind::ukInsertBuffer, position,
                      static_cast<std::int32_t>(values.size()), 0, "");
    editor.InsertRaw(values.data(), static_cast<std::int32_t>(values.size()), position);
    editor.modified = true;
}

void Remove(FakeUndoTarget& editor, HexUndoStorage& storage, std::int32_t position,
            std::int32_t count) {
    storage.AddRecord(HexUndoKind::ukRemoveData, position, count, 0, "");
    editor.DeleteRaw(position, position + count, -1, 0);
    editor.modified = true;
}

// Overwrites byte by byte like a paste over a selection: one record per byte that differs, then
// the group.
void Replace(FakeUndoTarget& editor, HexUndoStorage& storage, std::int32_t position,
             const Bytes& values) {
    std::int32_t changed = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto at = static_cast<std::int32_t>(position + i);
        if (editor.bytes[at] == values[i])
            continue;
        Overwrite(editor, storage, at, {values[i]});
        ++changed;
    }
    storage.AddRecord(HexUndoKind::ukReplace, position, changed, changed, "");
}

Bytes With(Bytes bytes, std::size_t position, const Bytes& values) {
    std::copy(values.begin(), values.end(), bytes.begin() + position);
    return bytes;
}

struct RoundTripCase {
    const char* name;
    Bytes initial;
    Change change;
    Bytes changed;
};

TEST(UndoRedoTest, EveryKindIsUndoneAndRedone) {
    const Bytes eight = Iota(8, 0x10);
    const RoundTripCase cases[] = {
        {"typed byte", eight, [](auto& e, auto& s) { Overwrite(e, s, 3, {0xAA}); },
         With(eight, 3, {0xAA})},
        {"wide character", eight,
         [](auto& e, auto& s) {
             Overwrite(e, s, 3, {0xAA, 0xBB});
         },
         With(eight, 3, {0xAA, 0xBB})},
        {"removal", eight, [](auto& e, auto& s) { Remove(e, s, 2, 3); }, Hex("10 11 15 16 17")},
        {"insertion", eight,
         [](auto& e, auto& s) {
             Insert(e, s, 2, {0xA0, 0xA1, 0xA2});
         },
         Hex("10 11 A0 A1 A2 12 13 14 15 16 17")},
        {"insertion into an empty document",
         {},
         [](auto& e, auto& s) {
             Insert(e, s, 0, {0xA0, 0xA1});
         },
         Hex("A0 A1")},
        {"append", eight,
         [](auto& e, auto& s) {
             s.AddRecord(HexUndoKind::ukAppendBuffer, 8, 2, 0, "");
             e.bytes.insert(e.bytes.end(), {0xE0, 0xE1});
         },
         Hex("10 11 12 13 14 15 16 17 E0 E1")},
        {"nibble inserted", Hex("12 34 56"),
         [](auto& e, auto& s) {
             s.AddRecord(HexUndoKind::ukInsertNibble, 1, 1, 0, "");
             e.ShiftInNibble(1, true);
         },
         Hex("12 03 45 60")},
        {"nibble deleted", Hex("12 34 56"),
         [](auto& e, auto& s) {
             s.AddRecord(HexUndoKind::ukDeleteNibble, 1, 1, 0, "");
             e.ShiftOutNibble(1, true);
         },
         Hex("12 45 60")},
        {"conversion", eight,
         [](auto& e, auto& s) {
             s.AddRecord(HexUndoKind::ukConvert, 1, 3, 0, "");
             e.bytes = With(e.bytes, 1, {0x61, 0x62, 0x63});
         },
         With(eight, 1, {0x61, 0x62, 0x63})},
        {"all data", eight,
         [](auto& e, auto& s) {
             s.AddRecord(HexUndoKind::ukAllData, 0, 0, 0, "");
             e.bytes = Hex("01 02");
         },
         Hex("01 02")},
        {"cursor movement", eight,
         [](auto&, auto& s) { s.AddRecord(HexUndoKind::ukCursorMove, 4, 2, 0, ""); }, eight},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUndoTarget editor(c.initial);
        HexUndoStorage storage(editor);
        c.change(editor, storage);
        ASSERT_EQ(editor.bytes, c.changed);
        const Bytes stack = storage.StackBytes();

        EXPECT_TRUE(storage.Undo());
        EXPECT_EQ(editor.bytes, c.initial);
        EXPECT_EQ(storage.RecordCount(), 0);
        EXPECT_FALSE(storage.CanUndo());
        EXPECT_TRUE(storage.CanRedo());
        EXPECT_FALSE(editor.modified);

        EXPECT_TRUE(storage.Redo());
        EXPECT_EQ(editor.bytes, c.changed);
        EXPECT_EQ(storage.StackBytes(), stack);
        EXPECT_EQ(storage.RecordCount(), 1);
        EXPECT_FALSE(storage.CanRedo());

        EXPECT_TRUE(storage.Undo());
        EXPECT_EQ(editor.bytes, c.initial);
    }
}

TEST(UndoRedoTest, TypedByteComesBackWithItsMarkAndCaretNibble) {
    for (const bool markedBefore : {false, true}) {
        SCOPED_TRACE(markedBefore);
        FakeUndoTarget editor(Iota(32));
        editor.MarkChanged(5, markedBefore);
        editor.PlaceCaret(5, false, true);
        HexUndoStorage storage(editor);
        Overwrite(editor, storage, 5, {0xAB});
        editor.PlaceCaret(6);

        storage.Undo();
        EXPECT_EQ(editor.bytes[5], 5);
        EXPECT_EQ(editor.IsChanged(5), markedBefore);
        EXPECT_EQ(editor.caret, (GridCell{2 + 2 * 5 + 1, 2}));

        storage.Redo();
        EXPECT_EQ(editor.bytes[5], 0xAB);
        EXPECT_TRUE(editor.IsChanged(5));
        EXPECT_EQ(editor.caret, (GridCell{2 + 2 * 6, 2}));
        EXPECT_FALSE(editor.inCharField);
        EXPECT_EQ(storage.CurrentDescription(), "Change Byte(s)");

        EXPECT_TRUE(storage.Undo());
        EXPECT_EQ(editor.bytes[5], 5);
    }
}

TEST(UndoRedoTest, ViewStateIsRestoredThroughTheSettersInOrder) {
    FakeUndoTarget editor(Iota(32));
    editor.PlaceCaret(4, true);
    editor.Select(6, 4, 6);
    editor.translation = HexTranslationKind::tkDos8;
    editor.bigEndian = true;
    editor.bytesPerUnit = 2;
    HexUndoStorage storage(editor);
    Overwrite(editor, storage, 4, {0xAA, 0xBB});

    editor.PlaceCaret(20);
    editor.Select(-1, -1, -1);
    editor.insertMode = true;
    editor.translation = HexTranslationKind::tkMac;
    editor.unicode = true;
    editor.bigEndian = false;
    editor.bytesPerUnit = 4;
    storage.Undo();

    EXPECT_EQ(editor.caret, editor.PositionToCell(4, true));
    EXPECT_TRUE(editor.inCharField);
    EXPECT_FALSE(editor.modified);
    EXPECT_EQ((std::array{editor.anchor, editor.lower, editor.upper}), (std::array{6, 4, 6}));
    EXPECT_EQ(editor.translation, HexTranslationKind::tkDos8);
    EXPECT_EQ(editor.setterLog, (std::vector<std::string>{
                                    "SetInsertMode(0)", "SetTranslation(1)", "SetUnicodeChars(0)",
                                    "SetUnicodeBigEndian(1)", "SetBytesPerUnit(2)"}));

    editor.setterLog.clear();
    storage.Redo();
    EXPECT_EQ(editor.caret, editor.PositionToCell(20, false));
    EXPECT_TRUE(editor.modified);
    EXPECT_EQ((std::array{editor.anchor, editor.lower, editor.upper}), (std::array{-1, -1, -1}));
    EXPECT_EQ(editor.setterLog,
              (std::vector<std::string>{"SetInsertMode(1)", "SetTranslation(3)",
                                        "SetUnicodeChars(1)", "SetUnicodeBigEndian(0)",
                                        "SetBytesPerUnit(4)", "SetCaretInCharField(0)"}));
}

TEST(UndoRedoTest, RedoRecordHoldsTheStateAfterTheChange) {
    FakeUndoTarget editor(Iota(32));
    HexUndoStorage storage(editor);
    Overwrite(editor, storage, 5, {0xAB});
    editor.PlaceCaret(6);
    editor.bookmarks[0] = {7, false};
    editor.bookmarks[3] = {20, true};
    editor.Select(10, 8, 10);
    storage.Undo();

    const std::string unset = "ffffffff 00000000";
    EXPECT_EQ(storage.RedoRecordBytes(),
              Hex("1e000000 01280000 06000000 05000000 01000000 00000000 00 01000000 ab"
                  " 07000000 00000000" +
                  unset + unset + " 14000000 01000000" + unset + unset + unset + unset + unset +
                  unset + " 08000000 0a000000 0a000000"));
    EXPECT_EQ(storage.SavedUndoBytes(),
              Hex("22000000 01000000 00000000 05000000 01000000 00000000 00 01000000 05 22000000"));
}

TEST(UndoRedoTest, RedoRecordGrowsWithTheDataOfItsKind) {
    struct Case {
        const char* name;
        Change change;
        std::int32_t extra;
        Bytes data;
    };
    const Case cases[] = {
        {"insertion",
         [](auto& e, auto& s) {
             Insert(e, s, 2, {0xA0, 0xA1, 0xA2});
         },
         3, Hex("A0 A1 A2 00")},
        {"removal", [](auto& e, auto& s) { Remove(e, s, 2, 3); }, 0, Hex("00")},
        {"wide character",
         [](auto& e, auto& s) {
             Overwrite(e, s, 1, {0xAA, 0xBB});
         },
         1, Hex("AA BB")},
        {"append",
         [](auto& e, auto& s) {
             s.AddRecord(HexUndoKind::ukAppendBuffer, 8, 2, 0, "");
             e.bytes.insert(e.bytes.end(), {0xE0, 0xE1});
         },
         2, Hex("E0 E1 00")},
        {"all data",
         [](auto& e, auto& s) {
             s.AddRecord(HexUndoKind::ukAllData, 0, 0, 0, "");
             e.bytes = Hex("01 02 03");
         },
         3, Hex("01 02 03 00")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUndoTarget editor(Iota(8));
        HexUndoStorage storage(editor);
        c.change(editor, storage);
        storage.Undo();
        const Bytes& redo = storage.RedoRecordBytes();
        ASSERT_EQ(static_cast<std::int32_t>(redo.size()), 122 + c.extra);
        EXPECT_EQ(I32At(redo, 0), 30 + c.extra);
        EXPECT_EQ(Bytes(redo.begin() + 29, redo.begin() + 29 + c.data.size()), c.data);
    }
}

TEST(UndoRedoTest, UndoThatShortensTheDocumentDropsASelectionPastTheEnd) {
    for (const bool selectedBefore : {false, true}) {
        SCOPED_TRACE(selectedBefore);
        FakeUndoTarget editor(Iota(8));
        if (selectedBefore)
            editor.Select(1, 1, 2);
        HexUndoStorage storage(editor);
        storage.AddRecord(HexUndoKind::ukAppendBuffer, 8, 4, 0, "");
        editor.bytes.resize(12);
        editor.Select(8, 8, 11);

        storage.Undo();
        const std::array<std::int32_t, 3> expected =
            selectedBefore ? std::array{1, 1, 2} : std::array{-1, -1, -1};
        EXPECT_EQ((std::array{editor.anchor, editor.lower, editor.upper}), expected);
    }
}

TEST(UndoRedoTest, RedoPutsTheBookmarksBack) {
    FakeUndoTarget editor(Iota(16));
    HexUndoStorage storage(editor);
    editor.bookmarks[2] = {9, true};
    Overwrite(editor, storage, 1, {0xFF});
    storage.Undo();
    editor.bookmarks[2] = {-1, false};
    const int notified = editor.bookmarkNotifyCount;
    storage.Redo();
    EXPECT_EQ(editor.bookmarks[2], (Bookmark{9, true}));
    EXPECT_GT(editor.bookmarkNotifyCount, notified);
}

TEST(UndoRedoTest, RedoSlotLifecycle) {
    FakeUndoTarget editor(Iota(16));
    HexUndoStorage storage(editor);
    Overwrite(editor, storage, 1, {0xFF});
    Overwrite(editor, storage, 2, {0xFE});

    storage.Undo();
    storage.Undo();
    EXPECT_TRUE(storage.CanRedo());
    EXPECT_FALSE(storage.Undo()) << "nothing left to undo";
    EXPECT_TRUE(storage.CanRedo()) << "an undo on an empty stack keeps the redo";

    storage.Redo();
    EXPECT_EQ(editor.bytes[1], 0xFF);
    EXPECT_EQ(editor.bytes[2], 2) << "only the change undone last is redone";
    EXPECT_FALSE(storage.Redo());

    storage.Undo();
    Overwrite(editor, storage, 3, {0xFD});
    EXPECT_FALSE(storage.CanRedo()) << "a new change ends the redo";

    Overwrite(editor, storage, 4, {0xFC});
    storage.Undo();
    storage.PopNewest();
    EXPECT_FALSE(storage.CanRedo()) << "the saved record no longer belongs to the redo";
    EXPECT_EQ(storage.RecordCount(), 0);

    Overwrite(editor, storage, 3, {0xFC});
    storage.Undo();
    storage.Clear(false);
    EXPECT_TRUE(storage.CanRedo());
    storage.Clear(true);
    EXPECT_FALSE(storage.CanRedo());
}

TEST(UndoRedoTest, RefusedViewSettersDoNotKeepTheRecordOnTheStack) {
    FakeUndoTarget editor(Iota(8));
    editor.translation = HexTranslationKind::tkDos8;
    HexUndoStorage storage(editor);
    Insert(editor, storage, 2, {0xA0, 0xA1, 0xA2});
    editor.unicode = true;
    editor.translation = HexTranslationKind::tkAsIs;
    editor.bytesPerUnit = 2;
    editor.refusing = {"SetTranslation", "SetUnicodeChars"};

    EXPECT_TRUE(storage.Undo());
    EXPECT_EQ(editor.bytes, Iota(8));
    EXPECT_EQ(storage.RecordCount(), 0);
    EXPECT_TRUE(editor.unicode) << "the refused setter is skipped";
    EXPECT_EQ(editor.translation, HexTranslationKind::tkDos8) << "the field is still set";
    EXPECT_EQ(editor.bytesPerUnit, 1) << "later setters still run";
    EXPECT_FALSE(storage.Undo());
    EXPECT_EQ(editor.bytes, Iota(8)) << "the removal is not applied twice";

    EXPECT_TRUE(storage.Redo());
    EXPECT_EQ(editor.bytes.size(), 11u);
    EXPECT_EQ(storage.RecordCount(), 1);
    EXPECT_FALSE(storage.CanRedo());
    EXPECT_FALSE(storage.Redo());
    EXPECT_EQ(editor.bytes.size(), 11u) << "the insertion is not applied twice";
}

TEST(UndoRedoTest, ReplaceGroupIsRedoneAsAWhole) {
    FakeUndoTarget editor(Iota(16));
    editor.MarkChanged(4, true);
    editor.PlaceCaret(2);
    HexUndoStorage storage(editor);
    Replace(editor, storage, 2, {0xAA, 0x03, 0xBB, 0xCC});
    editor.PlaceCaret(6);
    const Bytes changed = editor.bytes;
    const Bytes stack = storage.StackBytes();
    ASSERT_EQ(storage.RecordCount(), 4);

    EXPECT_TRUE(storage.Undo());
    EXPECT_EQ(editor.bytes, Iota(16));
    EXPECT_EQ(storage.RecordCount(), 0);
    EXPECT_FALSE(editor.IsChanged(2));
    EXPECT_TRUE(editor.IsChanged(4));
    EXPECT_FALSE(editor.IsChanged(5));
    EXPECT_EQ(editor.caret, editor.PositionToCell(2, false));
    ASSERT_TRUE(storage.CanRedo());
    EXPECT_EQ(I32At(storage.RedoRecordBytes(), 4) & 0x7FF, 0x8);

    EXPECT_TRUE(storage.Redo());
    EXPECT_EQ(editor.bytes, changed);
    EXPECT_EQ(storage.StackBytes(), stack);
    EXPECT_EQ(storage.RecordCount(), 4);
    EXPECT_EQ(storage.CurrentDescription(), "Replace");
    for (const int index : {2, 4, 5})
        EXPECT_TRUE(editor.IsChanged(index)) << index;
    EXPECT_FALSE(editor.IsChanged(3));
    EXPECT_EQ(editor.caret, editor.PositionToCell(6, false));

    EXPECT_TRUE(storage.Undo());
    EXPECT_EQ(editor.bytes, Iota(16));
}

TEST(UndoRedoTest, GroupWithMembersDroppedByTheBudgetRedoesWhatItUndid) {
    FakeUndoTarget editor(Iota(16));
    HexUndoStorage storage(editor);
    storage.SetMaxUndo(68);
    Replace(editor, storage, 1, {0xA1, 0xA2, 0xA3});
    ASSERT_EQ(storage.RecordCount(), 3) << "the first member was dropped";
    const Bytes changed = editor.bytes;
    const Bytes stack = storage.StackBytes();

    storage.Undo();
    EXPECT_EQ(editor.bytes, With(Iota(16), 1, {0xA1}));
    storage.Redo();
    EXPECT_EQ(editor.bytes, changed);
    EXPECT_EQ(storage.StackBytes(), stack);
}

TEST(UndoRedoTest, GroupsThatCannotBeRedoneAsAWholeCannotBeRedone) {
    struct Case {
        const char* name;
        Change change;
    };
    const Case cases[] = {
        {"merged changes",
         [](auto& e, auto& s) {
             Overwrite(e, s, 1, {0xA1});
             Overwrite(e, s, 2, {0xA2});
             s.AddRecord(HexUndoKind::ukGroup, 0, 2, 0, "Data Moved");
         }},
        {"replace over a removal",
         [](auto& e, auto& s) {
             Remove(e, s, 5, 2);
             Overwrite(e, s, 2, {0xA2});
             s.AddRecord(HexUndoKind::ukReplace, 2, 2, 2, "");
         }},
        {"merged replace groups",
         [](auto& e, auto& s) {
             Replace(e, s, 1, {0xA1, 0xA2});
             Insert(e, s, 8, {0xB0});
             s.AddRecord(HexUndoKind::ukGroup, 0, 2, 0, "");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUndoTarget editor(Iota(16));
        HexUndoStorage storage(editor);
        c.change(editor, storage);
        EXPECT_TRUE(storage.Undo());
        EXPECT_EQ(editor.bytes, Iota(16));
        EXPECT_EQ(storage.RecordCount(), 0);
        EXPECT_FALSE(storage.CanRedo());
        EXPECT_FALSE(storage.Redo());
        EXPECT_EQ(editor.bytes, Iota(16));
    }
}

struct BookmarkCase {
    const char* name;
    std::int32_t length;
    std::vector<std::int32_t> before;
    Change change;
    std::vector<std::int32_t> afterChange;
    std::vector<std::int32_t> afterUndo;
};

TEST(UndoRedoTest, BookmarksFollowInsertionsAndRemovals) {
    const BookmarkCase cases[] = {
        {"removal undone moves bookmarks from its start",
         20,
         {1, 5, 9, 15},
         [](auto& e, auto& s) { Remove(e, s, 5, 4); },
         {1, 5, 5, 11},
         {1, 9, 9, 15}},
        {"removal near the start",
         20,
         {0, 2, 7},
         [](auto& e, auto& s) { Remove(e, s, 1, 4); },
         {0, 2, 3},
         {0, 6, 7}},
        {"insertion near the end keeps its bookmarks",
         10,
         {3, 8, 9},
         [](auto& e, auto& s) {
             Insert(e, s, 2, {1, 2, 3, 4});
         },
         {7, 12, 13},
         {3, 8, 9}},
        {"bookmark already beyond the end is cleared",
         10,
         {12},
         [](auto& e, auto& s) {
             Insert(e, s, 2, {1, 2, 3, 4});
         },
         {-1},
         {-1}},
    };
    for (const BookmarkCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUndoTarget editor(Iota(static_cast<std::size_t>(c.length)));
        for (std::size_t i = 0; i < c.before.size(); ++i)
            editor.bookmarks[i].position = c.before[i];
        HexUndoStorage storage(editor);
        const auto positions = [&] {
            std::vector<std::int32_t> result;
            for (std::size_t i = 0; i < c.before.size(); ++i)
                result.push_back(editor.bookmarks[i].position);
            return result;
        };
        c.change(editor, storage);
        EXPECT_EQ(positions(), c.afterChange);
        storage.Undo();
        EXPECT_EQ(positions(), c.afterUndo);
        storage.Redo();
        EXPECT_EQ(positions(), c.afterChange);
    }
}

struct MisfitCase {
    const char* name;
    Change record;
};

// Edits made while recording was suspended leave records that no longer match the document.
TEST(UndoRedoTest, RecordsThatNoLongerFitTheDocumentAreRefused) {
    const MisfitCase cases[] = {
        {"change",
         [](auto&, auto& s) {
             s.AddRecord(HexUndoKind::ukChangeBytes, 6, 2, 0, "");
         }},
        {"removal",
         [](auto&, auto& s) {
             s.AddRecord(HexUndoKind::ukRemoveData, 6, 3, 0, "");
         }},
        {"insertion",
         [](auto&, auto& s) {
             s.AddRecord(HexUndoKind::ukInsertBuffer, 2, 5, 0, "");
         }},
        {"append",
         [](auto&, auto& s) {
             s.AddRecord(HexUndoKind::ukAppendBuffer, 6, 1, 0, "");
         }},
        {"nibble",
         [](auto&, auto& s) {
             s.AddRecord(HexUndoKind::ukInsertNibble, 4, 1, 0, "");
         }},
        {"conversion",
         [](auto&, auto& s) {
             s.AddRecord(HexUndoKind::ukConvert, 3, 2, 0, "");
         }},
        {"replace member",
         [](auto&, auto& s) {
             s.AddRecord(HexUndoKind::ukChangeBytes, 6, 1, 0, "");
             s.AddRecord(HexUndoKind::ukReplace, 6, 1, 1, "");
         }},
    };
    for (const MisfitCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUndoTarget editor(Iota(8));
        HexUndoStorage storage(editor);
        Overwrite(editor, storage, 0, {0xA0});
        c.record(editor, storage);
        editor.bytes.resize(4);
        const Bytes shrunk = editor.bytes;

        storage.Undo();
        EXPECT_EQ(editor.bytes, shrunk);
        EXPECT_FALSE(storage.CanRedo());
        EXPECT_EQ(storage.RecordCount(), 1) << "the record below is still there";
        EXPECT_TRUE(storage.Undo());
        EXPECT_EQ(editor.bytes, Hex("00 01 02 03"));
    }
}

TEST(UndoRedoTest, RedoThatNoLongerFitsIsRefused) {
    for (const bool group : {false, true}) {
        SCOPED_TRACE(group);
        FakeUndoTarget editor(Iota(8));
        HexUndoStorage storage(editor);
        if (group)
            Replace(editor, storage, 5, {0xA5, 0xA6});
        else
            Overwrite(editor, storage, 6, {0xA6, 0xA7});
        storage.Undo();
        ASSERT_TRUE(storage.CanRedo());
        editor.bytes.resize(4);

        EXPECT_FALSE(storage.Redo());
        EXPECT_EQ(editor.bytes, Iota(4));
        EXPECT_FALSE(storage.CanRedo());
        EXPECT_EQ(storage.RecordCount(), 0);
    }
}

} // namespace
} // namespace quillon
