// Undo and redo through the real editor: its edit operations record, the storage reverts and
// repeats, and a long random session is checked against a plain model after every step.
#include "editor/core/undo_storage.h"

#include <deque>
#include <optional>
#include <random>

#include <gtest/gtest.h>

#include "core_fixture.h"
#include "editor/core/hex_error.h"
#include "fake_undo_target.h"

namespace quillon {
namespace {

class UndoEditorTest : public CoreTest {
protected:
    void PlaceCaret(std::int32_t position, bool lowNibble = false) {
        GridCell cell = editor.PositionToCell(position, false);
        if (lowNibble)
            ++cell.col;
        editor.MoveCaretToCell(cell);
    }
    void Type(std::int32_t position, std::uint8_t value) {
        const GridCell cell = editor.CaretCell();
        editor.ChangeByte(editor.ByteAt(position), value, position, cell.col, cell.row);
    }
};

TEST_F(UndoEditorTest, TypedByteUndoAndRedo) {
    Load(Counting(32));
    PlaceCaret(5, true);
    const GridCell typedAt = editor.CaretCell();
    Type(5, 0xAB);
    PlaceCaret(6);
    const GridCell after = editor.CaretCell();

    ASSERT_TRUE(editor.CanUndo());
    editor.Undo();
    EXPECT_EQ(editor.ByteAt(5), 5);
    EXPECT_FALSE(editor.IsChanged(5));
    EXPECT_EQ(editor.CaretCell(), typedAt);
    EXPECT_FALSE(editor.IsModified());
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_TRUE(editor.CanRedo());

    editor.Redo();
    EXPECT_EQ(editor.ByteAt(5), 0xAB);
    EXPECT_TRUE(editor.IsChanged(5));
    EXPECT_EQ(editor.CaretCell(), after);
    EXPECT_TRUE(editor.IsModified());
    EXPECT_FALSE(editor.CanRedo());

    editor.Undo();
    EXPECT_EQ(editor.ByteAt(5), 5);
}

TEST_F(UndoEditorTest, OverwrittenSelectionIsUndoneAndRedoneWhole) {
    Load(Counting(32));
    editor.SelectRange(2, 9);
    const ByteVector paste = {0xA2, 0x03, 0xA4, 0xA5, 0x06, 0xA7, 0xA8, 0xA9};
    editor.OverwriteSelection(paste.data(), 8, "", false);
    const ByteVector changed = Bytes();
    ASSERT_EQ(editor.UndoStorage().RecordCount(), 7);

    editor.Undo();
    EXPECT_EQ(Bytes(), Counting(32));
    EXPECT_FALSE(editor.CanUndo());
    ASSERT_TRUE(editor.CanRedo());

    editor.Redo();
    EXPECT_EQ(Bytes(), changed);
    EXPECT_EQ(editor.UndoStorage().RecordCount(), 7);
    for (std::int32_t i = 2; i <= 9; ++i)
        EXPECT_EQ(editor.IsChanged(i), i != 3 && i != 6) << i;
    editor.Undo();
    EXPECT_EQ(Bytes(), Counting(32));
}

TEST_F(UndoEditorTest, NewChangeEndsTheRedo) {
    Load(Counting(16));
    Type(1, 0xF1);
    editor.Undo();
    ASSERT_TRUE(editor.CanRedo());
    Type(2, 0xF2);
    EXPECT_FALSE(editor.CanRedo());
}

TEST_F(UndoEditorTest, SettersRefusingTheOldViewAreSkipped) {
    Load(Counting(16));
    editor.SetTranslation(HexTranslationKind::tkDos8);
    Type(1, 0xF1);
    editor.SetTranslation(HexTranslationKind::tkAsIs);
    editor.SetUnicodeChars(true);
    editor.SetBytesPerColumn(2);

    editor.Undo(); // the translation setter refuses while unicode is on; the field is set anyway
    EXPECT_EQ(editor.ByteAt(1), 1);
    EXPECT_FALSE(editor.UnicodeChars());
    EXPECT_EQ(editor.Translation(), HexTranslationKind::tkDos8);
    EXPECT_FALSE(editor.CanUndo());

    editor.SetUnicodeChars(false);
    editor.SetTranslation(HexTranslationKind::tkAsIs);
    editor.SetUnicodeChars(true);
    Type(2, 0xF2);
    editor.SetUnicodeChars(false);
    editor.SetBytesPerColumn(1);
    editor.Undo(); // unicode cannot come back with an odd column width
    EXPECT_EQ(editor.ByteAt(2), 2);
    EXPECT_FALSE(editor.UnicodeChars());
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_TRUE(editor.CanRedo());
    editor.Redo();
    EXPECT_EQ(editor.ByteAt(2), 0xF2);
    EXPECT_EQ(editor.UndoStorage().RecordCount(), 1);
}

TEST_F(UndoEditorTest, InsertionNearTheEndKeepsBookmarks) {
    Load(Counting(10));
    Bookmarks marks{};
    marks[0].position = 8;
    marks[1].position = 9;
    editor.SetBookmarks(marks);
    const ByteVector block = {1, 2, 3, 4};
    editor.InsertBytes(block.data(), 4, 2, "", false);
    EXPECT_EQ(editor.GetBookmarks()[0].position, 12);
    EXPECT_EQ(editor.GetBookmarks()[1].position, 13);

    editor.Undo();
    EXPECT_EQ(editor.GetBookmarks()[0].position, 8);
    EXPECT_EQ(editor.GetBookmarks()[1].position, 9);
}

// ---- random sessions against a model ---------------------------------------------------------

// The document, its change bits and its history as plain values, with the rules by which the
// editor records and the storage reverts and repeats.
class ReferenceModel {
public:
    struct Entry {
        HexUndoKind kind = HexUndoKind::ukChangeBytes;
        std::int32_t position = 0, count = 0, replaceCount = 0;
        ByteVector old;
        bool mark0 = false;
        bool insertMode = false;
        std::int64_t size = 0;
        bool hasSelection = false;
        std::string description;
    };

    ByteVector bytes;
    bool insertMode = false;
    std::int32_t maxUndo = 1048576;
    std::deque<Entry> stack;
    std::int64_t stackSize = 0;
    std::string currentDescription;

    bool CanRedo() const { return redo_.has_value(); }
    std::int32_t Length() const { return static_cast<std::int32_t>(bytes.size()); }

    bool IsChanged(std::int32_t index) const { return !insertMode && bits_.IsSet(index); }

    void SetInsertMode(bool value) {
        if (value != insertMode && !bytes.empty())
            bits_.Clear();
        insertMode = value;
    }

    // ---- edit operations; `selection` tells whether a selection exists while they record ----

    void ChangeByte(std::int32_t position, std::uint8_t value, bool selection) {
        if (bytes[position] == value)
            return;
        Record(HexUndoKind::ukChangeBytes, position, 1, 0, "", selection);
        bytes[position] = value;
        if (!insertMode)
            Mark(position, true);
    }

    void InsertBytes(const ByteVector& block, std::int32_t position, bool selection,
                     const std::string& description) {
        Record(HexUndoKind::ukInsertBuffer, position, Size(block), 0, description, selection);
        InsertRaw(block, position);
        TrimAt(position);
    }

    void AppendBytes(const ByteVector& block, bool selection) {
        Record(HexUndoKind::ukAppendBuffer, Length(), Size(block), 0, "", selection);
        InsertRaw(block, Length());
    }

    void Delete(std::int32_t from, std::int32_t to, bool cutMarks, bool selection) {
        if (cutMarks)
            bits_.CutTo(static_cast<std::size_t>(from));
        Record(HexUndoKind::ukRemoveData, from, to - from, 0, "", selection);
        bytes.erase(bytes.begin() + from, bytes.begin() + to);
        CutToLength();
    }

    std::int32_t OverwriteBytes(const ByteVector& block, std::int32_t position, bool selection) {
        std::int32_t changed = 0;
        for (std::int32_t i = 0; i < Size(block); ++i) {
            if (bytes[position + i] == block[i])
                continue;
            ChangeByte(position + i, block[i], selection);
            ++changed;
        }
        if (changed > 0)
            Record(HexUndoKind::ukReplace, position, changed, changed, "", selection);
        return changed;
    }

    void AttachSelection() {
        if (stack.empty() || stack.back().hasSelection)
            return;
        stack.back().hasSelection = true;
        stack.back().size += 12;
        stackSize += 12;
    }

    // False when the editor refuses the merge.
    bool MergeUndo(std::int32_t count, const std::string& description, bool selection) {
        if (bytes.empty() && count > static_cast<std::int32_t>(stack.size()))
            return false;
        Record(HexUndoKind::ukGroup, 0, count, 0, description, selection);
        return true;
    }

    // ---- undo and redo ----

    void Undo() {
        if (stack.empty())
            return;
        redo_.reset();
        const Entry top = stack.back();
        if (top.kind == HexUndoKind::ukReplace || top.kind == HexUndoKind::ukGroup)
            UndoGroup(top);
        else
            UndoSingle(top);
    }

    void Redo() {
        if (!redo_)
            return;
        const RedoEntry redo = std::move(*redo_);
        redo_.reset();
        if (redo.group) {
            for (auto step = redo.steps.rbegin(); step != redo.steps.rend(); ++step)
                std::copy(step->data.begin(), step->data.end(), bytes.begin() + step->position);
            SetInsertMode(redo.insertMode);
            for (auto step = redo.steps.rbegin(); step != redo.steps.rend(); ++step)
                Mark(step->position, step->mark0);
        } else {
            RedoSingle(redo);
        }
        for (const Entry& entry : redo.saved) {
            stack.push_back(entry);
            stackSize += entry.size;
        }
        currentDescription = redo.savedDescription;
    }

private:
    struct RedoStep {
        std::int32_t position;
        ByteVector data;
        bool mark0;
    };
    struct RedoEntry {
        bool group = false;
        HexUndoKind kind = HexUndoKind::ukChangeBytes;
        std::int32_t position = 0, count = 0;
        ByteVector data;
        bool mark0 = false;
        bool insertMode = false;
        std::vector<RedoStep> steps;
        std::vector<Entry> saved;
        std::string savedDescription;
    };

    static std::int32_t Size(const ByteVector& block) {
        return static_cast<std::int32_t>(block.size());
    }

    static std::string DefaultDescription(HexUndoKind kind) {
        switch (kind) {
        case HexUndoKind::ukChangeBytes:
            return "Change Byte(s)";
        case HexUndoKind::ukRemoveData:
            return "Remove Data";
        case HexUndoKind::ukInsertBuffer:
            return "Insert Buffer";
        case HexUndoKind::ukReplace:
            return "Replace";
        case HexUndoKind::ukAppendBuffer:
            return "Append Buffer";
        case HexUndoKind::ukGroup:
            return "Multiple Modification";
        default:
            return "";
        }
    }

    void Record(HexUndoKind kind, std::int32_t position, std::int32_t count,
                std::int32_t replaceCount, const std::string& description, bool selection) {
        redo_.reset();
        Entry entry;
        entry.kind = kind;
        entry.position = position;
        entry.count = count;
        entry.replaceCount = replaceCount;
        std::int64_t dataSize = 1;
        if (kind == HexUndoKind::ukChangeBytes || kind == HexUndoKind::ukRemoveData) {
            entry.old.assign(bytes.begin() + position, bytes.begin() + position + count);
            dataSize = count;
        }
        if (kind == HexUndoKind::ukGroup)
            dataSize =
                1 + static_cast<std::int64_t>(std::min<std::size_t>(description.size(), 255));
        entry.mark0 = kind == HexUndoKind::ukChangeBytes && IsChanged(position);
        entry.insertMode = insertMode;
        entry.hasSelection = selection;
        entry.description = description;
        entry.size = 33 + dataSize + (selection ? 12 : 0) +
                     (description.empty() ? 0 : std::int64_t(description.size()) + 4);
        while (maxUndo > 0 && !stack.empty() && stackSize > maxUndo) {
            stackSize -= stack.front().size;
            stack.pop_front();
        }
        stack.push_back(entry);
        stackSize += entry.size;
        currentDescription = description.empty() ? DefaultDescription(kind) : description;
    }

    void Pop() {
        stackSize -= stack.back().size;
        stack.pop_back();
        if (stack.empty()) {
            currentDescription.clear();
            return;
        }
        const Entry& newest = stack.back();
        const std::string own = newest.kind == HexUndoKind::ukGroup
                                    ? newest.description.substr(0, 255)
                                    : newest.description;
        currentDescription = own.empty() ? DefaultDescription(newest.kind) : own;
    }

    void UndoSingle(const Entry& entry) {
        RedoEntry redo;
        redo.kind = entry.kind;
        redo.position = entry.position;
        redo.count = entry.count;
        redo.insertMode = insertMode;
        redo.savedDescription = currentDescription;
        redo.saved = {entry};
        if (entry.kind == HexUndoKind::ukChangeBytes)
            redo.mark0 = IsChanged(entry.position);
        if (entry.kind == HexUndoKind::ukChangeBytes || entry.kind == HexUndoKind::ukInsertBuffer)
            redo.data.assign(bytes.begin() + entry.position,
                             bytes.begin() + entry.position + entry.count);
        if (entry.kind == HexUndoKind::ukAppendBuffer)
            redo.data.assign(bytes.begin() + entry.position, bytes.end());
        redo_ = std::move(redo);
        Revert(entry);
        Pop();
        SetInsertMode(entry.insertMode);
    }

    void UndoGroup(const Entry& header) {
        RedoEntry redo;
        redo.group = true;
        redo.insertMode = insertMode;
        redo.savedDescription = currentDescription;
        bool redoable = header.kind == HexUndoKind::ukReplace;
        const auto members = [](const Entry& group) {
            return std::max<std::int64_t>(
                0, group.kind == HexUndoKind::ukReplace ? group.replaceCount : group.count);
        };
        const std::int64_t below = std::min<std::int64_t>(members(header), stack.size() - 1);
        for (std::int64_t i = 0; i < below && redoable; ++i)
            redoable = stack[stack.size() - 2 - i].kind == HexUndoKind::ukChangeBytes;
        if (redoable)
            redo.saved.assign(stack.end() - 1 - below, stack.end());

        Pop();
        std::int64_t pending = members(header);
        while (pending > 0 && !stack.empty()) {
            const Entry member = stack.back();
            --pending;
            if (member.kind == HexUndoKind::ukReplace || member.kind == HexUndoKind::ukGroup) {
                pending += members(member);
                Pop();
                continue;
            }
            if (redoable)
                redo.steps.push_back({member.position,
                                      ByteVector(bytes.begin() + member.position,
                                                 bytes.begin() + member.position + member.count),
                                      IsChanged(member.position)});
            Revert(member);
            Pop();
            SetInsertMode(member.insertMode);
        }
        if (redoable)
            redo_ = std::move(redo);
    }

    void Revert(const Entry& entry) {
        switch (entry.kind) {
        case HexUndoKind::ukChangeBytes:
            std::copy(entry.old.begin(), entry.old.end(), bytes.begin() + entry.position);
            Mark(entry.position, entry.mark0);
            break;
        case HexUndoKind::ukRemoveData:
            InsertRaw(entry.old, entry.position);
            TrimAt(entry.position);
            break;
        case HexUndoKind::ukInsertBuffer:
            bytes.erase(bytes.begin() + entry.position,
                        bytes.begin() + entry.position + entry.count);
            CutToLength();
            TrimAt(entry.position);
            break;
        case HexUndoKind::ukAppendBuffer:
            bytes.resize(static_cast<std::size_t>(entry.position));
            CutToLength();
            TrimAt(entry.position);
            break;
        default:
            break;
        }
    }

    void RedoSingle(const RedoEntry& redo) {
        switch (redo.kind) {
        case HexUndoKind::ukChangeBytes:
            std::copy(redo.data.begin(), redo.data.end(), bytes.begin() + redo.position);
            break;
        case HexUndoKind::ukRemoveData:
            bytes.erase(bytes.begin() + redo.position, bytes.begin() + redo.position + redo.count);
            CutToLength();
            break;
        case HexUndoKind::ukInsertBuffer:
        case HexUndoKind::ukAppendBuffer:
            InsertRaw(redo.data,
                      redo.kind == HexUndoKind::ukAppendBuffer ? Length() : redo.position);
            break;
        default:
            break;
        }
        SetInsertMode(redo.insertMode);
        Mark(redo.position, redo.mark0);
    }

    void InsertRaw(const ByteVector& block, std::int32_t position) {
        if (bytes.empty())
            bits_.Clear();
        bytes.insert(bytes.begin() + position, block.begin(), block.end());
    }

    void Mark(std::int32_t index, bool value) {
        if (index >= 0 && index < Length())
            bits_.Mark(index, value, insertMode);
    }

    void TrimAt(std::int32_t position) { bits_.TrimAt(position); }
    void CutToLength() { bits_.CutTo(bytes.size()); }

    testing::ChangeBits bits_;
    std::optional<RedoEntry> redo_;
};

// One random session: edits with random selections, insert mode and unit changes, small budgets
// now and then, undo and redo, all compared with the model after every step.
class RandomSession {
public:
    RandomSession(HexEditorCore& editor, std::uint32_t seed) : editor_(editor), random_(seed) {}

    void Run(int steps) {
        const ByteVector start = RandomBytes(64);
        LoadBytes(editor_, start);
        model_.bytes = start;
        for (step_ = 0; step_ < steps; ++step_) {
            Step();
            Compare();
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }

    int StepNumber() const { return step_; }

private:
    int Uniform(int from, int to) { return std::uniform_int_distribution<int>(from, to)(random_); }
    bool Chance(int percent) { return Uniform(0, 99) < percent; }

    ByteVector RandomBytes(int count) {
        ByteVector block(static_cast<std::size_t>(count));
        for (auto& value : block)
            value = static_cast<std::uint8_t>(Uniform(0, 7)); // few values: many equal bytes
        return block;
    }

    bool HasSelection() const { return editor_.SelectionAnchor() != -1; }

    void MoveCaretOrSelect() {
        const std::int32_t length = editor_.DataLength();
        if (length == 0)
            return;
        if (Chance(40)) {
            editor_.SelectRange(Uniform(0, length - 1), Uniform(0, length - 1));
        } else if (Chance(10) && editor_.InsertMode()) {
            editor_.MoveCaretToCell(editor_.PositionToCell(length, false));
        } else {
            editor_.MoveCaretTo(Uniform(0, length - 1), 0);
        }
    }

    std::int32_t CaretPosition() const {
        const GridCell cell = editor_.CaretCell();
        return editor_.PositionOfCell(cell.col, cell.row);
    }

    void Step() {
        const int choice = Uniform(0, 99);
        if (choice < 15) {
            editor_.Undo();
            model_.Undo();
        } else if (choice < 25) {
            editor_.Redo();
            model_.Redo();
        } else if (choice < 28) {
            ToggleInsertMode();
        } else if (choice < 30) {
            ChangeUnit();
        } else if (choice < 31) {
            ChangeBudget();
        } else {
            Edit();
        }
    }

    void ToggleInsertMode() {
        const bool value = !editor_.InsertMode();
        editor_.SetInsertMode(value);
        model_.SetInsertMode(value);
    }

    void ChangeUnit() {
        try {
            editor_.SetBytesPerUnit(1 << Uniform(0, 2));
        } catch (const EHexEditor&) {
        }
    }

    void ChangeBudget() {
        static constexpr std::int32_t budgets[] = {0, 60, 150, 400, 2000, 1048576};
        const std::int32_t budget = budgets[Uniform(0, 5)];
        editor_.SetMaxUndo(budget);
        model_.maxUndo = budget;
    }

    void Edit() {
        MoveCaretOrSelect();
        const std::int32_t length = editor_.DataLength();
        const bool shrink = length > 200;
        const int choice = Uniform(0, shrink ? 3 : 9);
        if (length == 0 || choice >= 8)
            return Insert();
        switch (choice) {
        case 0:
            return DeleteSelected();
        case 1:
            return DeleteAtCursor();
        case 2:
        case 3:
            return ChangeByte();
        case 4:
            return Overwrite();
        case 5:
            return Replace();
        case 6:
            return Merge();
        default:
            return Append();
        }
    }

    void ChangeByte() {
        const std::int32_t position = editor_.CurrentPosition();
        const auto value = static_cast<std::uint8_t>(Uniform(0, 7));
        model_.ChangeByte(position, value, HasSelection());
        const GridCell cell = editor_.CaretCell();
        editor_.ChangeByte(editor_.ByteAt(position), value, position, cell.col, cell.row);
    }

    void Insert() {
        const ByteVector block = RandomBytes(Uniform(1, 8));
        const std::int32_t position = Uniform(0, editor_.DataLength());
        const std::string description = Chance(20) ? "Paste" : "";
        model_.InsertBytes(block, position, HasSelection(), description);
        editor_.InsertBytes(block.data(), static_cast<std::int32_t>(block.size()), position,
                            description, Chance(50));
    }

    void Append() {
        const ByteVector block = RandomBytes(Uniform(1, 8));
        model_.AppendBytes(block, HasSelection());
        editor_.AppendBytes(block.data(), static_cast<std::int32_t>(block.size()), "", Chance(50));
    }

    void DeleteSelected() {
        std::int32_t from = CaretPosition();
        std::int32_t to = from + 1;
        if (HasSelection()) {
            from = editor_.SelectionLower();
            to = editor_.SelectionUpper() + 1;
        }
        if (from < editor_.DataLength())
            model_.Delete(from, std::min(to, editor_.DataLength()), true, HasSelection());
        editor_.DeleteSelected();
    }

    void DeleteAtCursor() {
        const bool backwards = Chance(50);
        const std::int32_t length = editor_.DataLength();
        std::int32_t unit = editor_.BytesPerUnit();
        const std::int32_t aligned = editor_.CurrentPosition() / unit * unit;
        if (!backwards) {
            if (aligned < length)
                model_.Delete(aligned, aligned + std::min(unit, length - aligned), false,
                              HasSelection());
        } else {
            std::int32_t end = aligned;
            if (editor_.InsertMode() && !HasSelection()) {
                end = CaretPosition();
                if (end == length && length % unit != 0)
                    unit = 1;
                else
                    end = end / unit * unit;
            }
            if (end > 0 && end <= length)
                model_.Delete(end - unit, end, false, HasSelection());
        }
        editor_.DeleteAtCursor(backwards);
    }

    void Overwrite() {
        if (!HasSelection()) {
            const ByteVector block = RandomBytes(Uniform(1, 4));
            model_.InsertBytes(block, CaretPosition(), false, "");
            editor_.OverwriteSelection(block.data(), static_cast<std::int32_t>(block.size()), "",
                                       false);
            return;
        }
        const std::int32_t lower = editor_.SelectionLower();
        const ByteVector block =
            RandomBytes(Uniform(1, std::min(12, editor_.DataLength() - lower)));
        model_.OverwriteBytes(block, lower, true);
        editor_.OverwriteSelection(block.data(), static_cast<std::int32_t>(block.size()), "",
                                   false);
    }

    void Replace() {
        const std::int32_t position = Uniform(0, editor_.DataLength() - 1);
        const std::int32_t count = Uniform(1, std::min(10, editor_.DataLength() - position));
        const ByteVector block = RandomBytes(count);
        if (model_.OverwriteBytes(block, position, HasSelection()) > 0)
            model_.AttachSelection();
        editor_.ReplaceBytes(block.data(), position, count, count, "", false);
    }

    void Merge() {
        const std::int32_t count = Uniform(1, 3);
        const std::string description = Chance(30) ? "Data Moved" : "";
        if (model_.MergeUndo(count, description, HasSelection()))
            editor_.MergeUndo(count, description);
        else
            EXPECT_THROW(editor_.MergeUndo(count, description), EHexEditor);
    }

    void Compare() {
        ASSERT_EQ(DocumentBytes(editor_), model_.bytes) << "step " << step_;
        for (std::int32_t i = 0; i < model_.Length(); ++i)
            ASSERT_EQ(editor_.IsChanged(i), model_.IsChanged(i))
                << "byte " << i << ", step " << step_;
        HexUndoStorage& storage = editor_.UndoStorage();
        ASSERT_EQ(editor_.InsertMode(), model_.insertMode) << "step " << step_;
        ASSERT_EQ(editor_.CanUndo(), !model_.stack.empty()) << "step " << step_;
        ASSERT_EQ(editor_.CanRedo(), model_.CanRedo()) << "step " << step_;
        ASSERT_EQ(storage.RecordCount(), static_cast<std::int32_t>(model_.stack.size()))
            << "step " << step_;
        ASSERT_EQ(static_cast<std::int64_t>(storage.StackBytes().size()), model_.stackSize)
            << "step " << step_;
        ASSERT_EQ(storage.CurrentDescription(), model_.currentDescription) << "step " << step_;
    }

    HexEditorCore& editor_;
    std::mt19937 random_;
    ReferenceModel model_;
    int step_ = 0;
};

class UndoRandomSessionTest : public CoreTest, public ::testing::WithParamInterface<int> {};

TEST_P(UndoRandomSessionTest, MatchesTheModelAfterEveryStep) {
    const auto seed = static_cast<std::uint32_t>(GetParam());
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomSession session(editor, seed);
    session.Run(10000);
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoRandomSessionTest, ::testing::Range(1, 11));

} // namespace
} // namespace quillon
