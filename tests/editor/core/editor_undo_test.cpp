#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "core_fixture.h"
#include "editor/core/undo_storage.h"

namespace quillon {

namespace {

std::int32_t Int32At(const ByteVector& bytes, std::size_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

} // namespace

// The edit operations through the real undo storage.
using EditorUndoTest = CoreTest;

TEST_F(EditorUndoTest, TypingOverOneByteRecordsTheSmallestRecord) {
    Load(ByteVector(8, 0));
    editor.MoveCaretToCell(editor.PositionToCell(5, false));
    editor.ChangeByte(0x00, 0xA0, 5, editor.Col(), editor.Row());
    const ByteVector expected = {0x22, 0,    0, 0, 0x01, 0,    0,    0, 0x05, 0, 0, 0,
                                 0x05, 0,    0, 0, 0x01, 0,    0,    0, 0x00, 0, 0, 0,
                                 0x00, 0x01, 0, 0, 0,    0x00, 0x22, 0, 0,    0};
    EXPECT_EQ(editor.UndoStorage().StackBytes(), expected);
}

TEST_F(EditorUndoTest, UndoAndRedoOfATypedByte) {
    Load(Counting(8));
    editor.MoveCaretToCell({13, 2}); // second digit of byte 5
    editor.ChangeByte(5, 0x57, 5, editor.Col(), editor.Row());
    editor.MoveCaretTo(0, 0);
    ASSERT_TRUE(editor.CanUndo());
    editor.Undo();
    EXPECT_EQ(Bytes(), Counting(8));
    EXPECT_FALSE(editor.IsChanged(5));
    EXPECT_FALSE(editor.IsModified());
    EXPECT_EQ(editor.CaretCell(), (GridCell{13, 2})) << "back on the same half byte";
    ASSERT_TRUE(editor.CanRedo());
    editor.Redo();
    EXPECT_EQ(editor.ByteAt(5), 0x57);
    EXPECT_TRUE(editor.IsChanged(5));
    EXPECT_TRUE(editor.CanUndo());
}

TEST_F(EditorUndoTest, OverwrittenSelectionComesBackAsOneStep) {
    Load(Counting(10));
    editor.SetSelectionStart(2);
    editor.SetSelectionEnd(5);
    const ByteVector block{0xF2, 3, 0xF4, 0xF5};
    editor.OverwriteSelection(block.data(), 4, "", false);
    EXPECT_EQ(editor.UndoStorage().RecordCount(), 4) << "three changed bytes and their group";
    editor.Undo();
    EXPECT_EQ(Bytes(), Counting(10));
    EXPECT_FALSE(editor.CanUndo());
}

TEST_F(EditorUndoTest, UndoOfSizeChanges) {
    Load(Counting(20));
    const ByteVector block{0xAA, 0xBB, 0xCC};
    editor.InsertBytes(block.data(), 3, 16, "", false);
    EXPECT_EQ(editor.RowCount(), 4);
    editor.AppendBytes(block.data(), 3, "", false);
    editor.SetSelectionStart(0);
    editor.SetSelectionEnd(9);
    editor.DeleteSelected();
    EXPECT_EQ(editor.DataLength(), 16);
    editor.Undo();
    editor.Undo();
    editor.Undo();
    EXPECT_EQ(Bytes(), Counting(20));
    EXPECT_EQ(editor.RowCount(), 4);
    editor.Redo();
    EXPECT_EQ(editor.DataLength(), 23);
}

TEST_F(EditorUndoTest, ReplaceWithoutCaretMoveRemembersTheRangeAsSelection) {
    Load(Counting(10));
    const ByteVector block{0xE0, 0xE1};
    editor.ReplaceBytes(block.data(), 6, 2, 2, "", false);
    const ByteVector stack = editor.UndoStorage().StackBytes();
    const std::size_t end = stack.size() - 4;
    EXPECT_EQ(Int32At(stack, end - 12), 6);
    EXPECT_EQ(Int32At(stack, end - 8), 7);
    EXPECT_EQ(Int32At(stack, end - 4), 6);
    const ByteVector same{0xE0, 0xE1};
    editor.ReplaceBytes(same.data(), 6, 2, 2, "", false);
    EXPECT_EQ(editor.UndoStorage().StackBytes(), stack) << "an unchanged range touches no record";
}

TEST_F(EditorUndoTest, MergedStepsUndoTogether) {
    Load(Counting(6));
    editor.ChangeByte(0, 0x10, 0, 2, 2);
    editor.ChangeByte(1, 0x11, 1, 4, 2);
    editor.MergeUndo(2, "Both");
    EXPECT_EQ(editor.UndoStorage().CurrentDescription(), "Both");
    editor.Undo();
    EXPECT_EQ(Bytes(), Counting(6));
    EXPECT_FALSE(editor.CanRedo());
}

TEST_F(EditorUndoTest, BookmarksFollowRecordedInsertions) {
    Load(Counting(10));
    Bookmarks marks{};
    marks[4] = {8, false};
    editor.SetBookmarks(marks);
    const ByteVector block{1, 2};
    editor.InsertBytes(block.data(), 2, 3, "", false);
    EXPECT_EQ(editor.GetBookmarks()[4].position, 10);
    editor.Undo();
    EXPECT_EQ(editor.GetBookmarks()[4].position, 8);
}

TEST_F(EditorUndoTest, LoadingEmptiesTheStorageUnlessSuspended) {
    Load(Counting(4));
    editor.ChangeByte(0, 9, 0, 2, 2);
    editor.SuspendUndo();
    editor.ChangeByte(1, 9, 1, 4, 2);
    EXPECT_TRUE(editor.IsModified());
    Load(Counting(4));
    EXPECT_EQ(editor.UndoStorage().SuspendCount(), 1);
    EXPECT_EQ(editor.ResumeUndo(), 0);
    EXPECT_EQ(editor.UndoStorage().RecordCount(), 1) << "a suspended storage keeps its records";
    editor.ClearUndo();
    EXPECT_FALSE(editor.CanUndo());
}

} // namespace quillon
