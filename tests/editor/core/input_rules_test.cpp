#include <vector>

#include <gtest/gtest.h>

#include "core_fixture.h"
#include "editor/core/hex_input.h"
#include "hex_error_matchers.h"

namespace quillon {

namespace {

struct ShapeCase {
    HexCaretKind kind;
    bool insertFlag;
    PixelRect shape;
};

class InputRulesTest : public CoreTest {
protected:
    // The centre of a cell in viewport pixels.
    std::pair<std::int32_t, std::int32_t> Center(std::int32_t col, std::int32_t row) const {
        const PixelRect rect = editor.CellRect(col, row);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
};

} // namespace

TEST(CaretShapeTest, ShapesOfTheCaretBox) {
    // Box of 8 x 14 pixels (CharWidth 8, RowHeight 16).
    const std::vector<ShapeCase> cases{
        {HexCaretKind::ckFull, true, {0, 0, 8, 14}},
        {HexCaretKind::ckLeft, false, {0, 0, 2, 14}},
        {HexCaretKind::ckBottom, false, {0, 12, 8, 14}},
        {HexCaretKind::ckAuto, false, {0, 0, 8, 14}},
        {HexCaretKind::ckAuto, true, {0, 0, 2, 14}},
    };
    for (const ShapeCase& c : cases) {
        EXPECT_EQ(CaretShapeRect(c.kind, c.insertFlag, 8, 16), c.shape)
            << static_cast<int>(c.kind) << " insert " << c.insertFlag;
    }
}

TEST_F(InputRulesTest, ToggleBookmarkSetsMovesAndClears) {
    Load(Counting(40));
    int notifications = 0;
    editor.OnBookmarkChanged = [&] {
        ++notifications;
    };
    editor.ToggleBookmark(3, 20, false);
    EXPECT_EQ(editor.GetBookmarks()[3], (Bookmark{20, false}));
    editor.ToggleBookmark(3, 20, true);
    EXPECT_EQ(editor.GetBookmarks()[3], (Bookmark{20, true})) << "the other field keeps it set";
    editor.ToggleBookmark(3, 20, true);
    EXPECT_EQ(editor.GetBookmarks()[3].position, -1) << "the same byte and field clear it";
    EXPECT_EQ(notifications, 3);
    EXPECT_TRUE(
        RaisesHexError([&] { editor.ToggleBookmark(10, 0, false); }, "Invalid bookmark index"));
}

TEST_F(InputRulesTest, JumpToBookmark) {
    Load(Counting(40));
    EXPECT_FALSE(editor.JumpToBookmark(5)) << "not set";
    editor.ToggleBookmark(5, 39, true);
    editor.SelectRange(0, 3);
    EXPECT_TRUE(editor.JumpToBookmark(5));
    EXPECT_EQ(editor.CurrentCell(), editor.PositionToCell(39, true));
    EXPECT_EQ(editor.SelectionCount(), 0);

    editor.SetSelectionStart(0);
    editor.DeleteAtCursor(false);
    EXPECT_EQ(editor.GetBookmarks()[5].position, 38) << "moved with the deletion in front";
    editor.ToggleBookmark(6, 39, false);
    EXPECT_FALSE(editor.JumpToBookmark(6)) << "beyond the end";
    EXPECT_EQ(editor.GetBookmarks()[6].position, -1) << "and cleared when used";
    editor.SetInsertMode(true);
    editor.ToggleBookmark(6, 39, false);
    EXPECT_TRUE(editor.JumpToBookmark(6)) << "the place after the end in insert mode";
}

TEST_F(InputRulesTest, InsertModeClickRightOfTheLastByteMeansTheNextRow) {
    Load(Counting(40));
    const PixelRect last = editor.CellRect(editor.ColCount() - 1, 2);
    std::int32_t x = last.left + editor.CharWidth() + 2;
    std::int32_t y = (last.top + last.bottom) / 2;
    EXPECT_EQ(editor.AdjustMouseCell(x, y), (GridCell{editor.ColCount() - 1, 2}))
        << "only while the insert flag is set";
    editor.SetInsertMode(true);
    EXPECT_EQ(editor.AdjustMouseCell(x, y), (GridCell{editor.FirstCharCol(), 3}));
    EXPECT_EQ(x, editor.CellRect(editor.FirstCharCol(), 3).left);
    EXPECT_EQ(y, (last.top + last.bottom) / 2 + editor.RowHeight());
}

TEST_F(InputRulesTest, DragScrollStepsOverPartlyShownAndFixedCells) {
    Load(Counting(16 * 40));
    editor.SetViewportSize(1000, 10 * editor.RowHeight() + editor.RowHeight() / 2);
    const auto [x, y] = Center(6, 2);
    editor.MouseDown(HexMouseButton::kLeft, HexShift::kLeft, x, y);
    ASSERT_TRUE(editor.GridSelecting());
    const std::int32_t partlyShown = 10 * editor.RowHeight() + 2;
    editor.MouseMove(HexShift::kLeft, x, partlyShown);
    EXPECT_EQ(editor.TopRow(), 3) << "the move brings the partly shown row into view";
    editor.DragScrollStep(x, partlyShown);
    editor.DragScrollStep(x, partlyShown);
    EXPECT_EQ(editor.TopRow(), 5) << "one row per step";
    EXPECT_EQ(editor.SelectionLower(), 2);
    EXPECT_EQ(editor.SelectionUpper(), 2 + 16 * 12);
    editor.DragScrollStep(x, editor.ViewportHeight() + 30);
    EXPECT_EQ(editor.TopRow(), 5) << "no step outside the cells";
    editor.MouseUp(HexMouseButton::kLeft, HexShift::kNone, x, y);
    EXPECT_FALSE(editor.GridSelecting());
    editor.DragScrollStep(x, partlyShown);
    EXPECT_EQ(editor.TopRow(), 5) << "no step after the release";
}

TEST_F(InputRulesTest, DropPositionFollowsThePointerAndAvoidsTheSelection) {
    Load(Counting(40));
    EXPECT_EQ(editor.DropPosition(), -1);
    const auto [x, y] = Center(2 + 2 * 5, 2);
    EXPECT_EQ(editor.ShowDropPosition(x, y), 5);
    EXPECT_EQ(editor.DropPosition(), 5);
    EXPECT_EQ(editor.DropCell(), (GridCell{12, 2}));
    editor.SelectRange(3, 7);
    EXPECT_EQ(editor.ShowDropPosition(x, y), 3) << "over the selection: its lower end";
    editor.SetBytesPerUnit(2);
    const auto [x2, y2] = Center(35 + 9, 2);
    EXPECT_EQ(editor.ShowDropPosition(x2, y2), 8) << "aligned down to a unit";
    const auto [x3, y3] = Center(35, 4);
    EXPECT_EQ(editor.ShowDropPosition(x3, editor.ViewportHeight() - 1), 32)
        << "below the rows: the last row";
    editor.HideDropPosition();
    EXPECT_EQ(editor.DropPosition(), -1);
}

} // namespace quillon
