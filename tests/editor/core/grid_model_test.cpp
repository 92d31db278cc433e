#include <vector>

#include <gtest/gtest.h>

#include "editor/core/grid_model.h"

namespace quillon {

namespace {

// Ten rows of 20 pixels under one fixed row of 30; columns of 50 pixels after a fixed one of 40.
class TestGrid : public GridModel {
public:
    TestGrid() {
        SetColCount(8);
        SetRowCount(12);
        SetFixedCols(1);
        SetFixedRows(1);
        SetDefaultColWidth(50);
        SetDefaultRowHeight(20);
        SetColWidths(0, 40);
        SetRowHeights(0, 30);
        SetViewportSize(40 + 3 * 50 + 10, 30 + 4 * 20 + 5);
    }

    std::vector<GridCell> vetoed;
    std::vector<GridCell> moves;
    int topLeftChanges = 0;

protected:
    bool SelectCell(std::int32_t col, std::int32_t row) override {
        if (col == 5) {
            vetoed.push_back({col, row});
            return false;
        }
        return true;
    }
    void CurrentCellMoved(GridCell previous) override { moves.push_back(previous); }
    void TopLeftMoved() override { ++topLeftChanges; }
};

} // namespace

TEST(GridModelTest, VisibleCountsAndLimits) {
    TestGrid grid;
    EXPECT_EQ(grid.VisibleRowCount(), 4);
    EXPECT_EQ(grid.VisibleColCount(), 3);
    EXPECT_EQ(grid.MaxTopRow(), 12 - 4);
    EXPECT_EQ(grid.MaxLeftCol(), 8 - 3);
    grid.SetTopRow(100);
    EXPECT_EQ(grid.TopRow(), 8);
    grid.SetTopRow(0);
    EXPECT_EQ(grid.TopRow(), 1);
    grid.SetViewportSize(0, 0);
    EXPECT_EQ(grid.VisibleRowCount(), 1) << "never below one scrolling row";
}

TEST(GridModelTest, CellRectanglesFollowScrolling) {
    TestGrid grid;
    EXPECT_EQ(grid.CellRect(0, 0), (PixelRect{0, 0, 40, 30}));
    EXPECT_EQ(grid.CellRect(2, 3), (PixelRect{90, 70, 140, 90}));
    EXPECT_EQ(grid.CellRect(4, 5), (PixelRect{190, 110, 240, 130})) << "partly visible";
    EXPECT_TRUE(grid.CellRect(5, 1).IsEmpty()) << "right of the viewport";
    grid.SetTopRow(3);
    grid.SetLeftCol(2);
    EXPECT_TRUE(grid.CellRect(1, 1).IsEmpty()) << "scrolled out";
    EXPECT_EQ(grid.CellRect(2, 3), (PixelRect{40, 30, 90, 50}));
    EXPECT_EQ(grid.CellRect(0, 4), (PixelRect{0, 50, 40, 70})) << "fixed column stays";
    EXPECT_EQ(grid.topLeftChanges, 2);
}

TEST(GridModelTest, CellUnderAPoint) {
    TestGrid grid;
    EXPECT_EQ(grid.MouseCoord(10, 10), (GridCell{0, 0}));
    EXPECT_EQ(grid.MouseCoord(40, 30), (GridCell{1, 1}));
    EXPECT_EQ(grid.MouseCoord(139, 89), (GridCell{2, 3}));
    EXPECT_EQ(grid.MouseCoord(-1, 500), (GridCell{-1, -1}));
    grid.SetTopRow(5);
    EXPECT_EQ(grid.MouseCoord(45, 35), (GridCell{1, 5}));
}

TEST(GridModelTest, CurrentCellMovesPassTheVetoAndComeIntoView) {
    TestGrid grid;
    EXPECT_TRUE(grid.FocusCell(2, 9, true));
    EXPECT_EQ(grid.CurrentCell(), (GridCell{2, 9}));
    EXPECT_EQ(grid.Anchor(), (GridCell{2, 9}));
    EXPECT_EQ(grid.TopRow(), 6) << "row 9 is the last fully visible one";
    EXPECT_FALSE(grid.FocusCell(5, 9, true));
    EXPECT_EQ(grid.CurrentCell(), (GridCell{2, 9}));
    ASSERT_EQ(grid.vetoed.size(), 1u);
    EXPECT_TRUE(grid.FocusCell(7, 2, false));
    EXPECT_EQ(grid.Anchor(), (GridCell{2, 9}));
    EXPECT_EQ(grid.TopRow(), 2);
    EXPECT_EQ(grid.LeftCol(), 5);
    EXPECT_EQ(grid.moves, (std::vector<GridCell>{{1, 1}, {2, 9}}));
    grid.FocusCell(-4, 40, true);
    EXPECT_EQ(grid.CurrentCell(), (GridCell{1, 11})) << "kept inside the scrolling cells";
}

TEST(GridModelTest, ShrinkingKeepsTheCurrentCellInside) {
    TestGrid grid;
    grid.FocusCell(6, 11, true);
    grid.SetRowCount(4);
    grid.SetColCount(3);
    EXPECT_EQ(grid.CurrentCell(), (GridCell{2, 3}));
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_EQ(grid.RowHeights(0), 30);
    EXPECT_EQ(grid.RowHeights(3), 20);
    EXPECT_EQ(grid.RowHeights(4), 0) << "no such row";
}

} // namespace quillon
