#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "editor/core/undo_target.h"

namespace quillon {

// A rectangle of cells, both corners included.
struct GridRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const GridRect&) const = default;
};

// A rectangle in model pixels of the viewport; right and bottom are exclusive.
struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const PixelRect&) const = default;
};

// A GUI-free grid: counts, fixed rows and columns, sizes, scrolling and the current cell.
// Fixed rows and columns stay at the top and left; the others scroll from TopRow / LeftCol.
// There are no grid lines: cells touch each other.
class GridModel {
public:
    GridModel();
    virtual ~GridModel() = default;

    std::int32_t ColCount() const { return static_cast<std::int32_t>(colWidths_.size()); }
    void SetColCount(std::int32_t count);
    std::int32_t RowCount() const { return rowCount_; }
    void SetRowCount(std::int32_t count);
    std::int32_t FixedCols() const { return fixedCols_; }
    void SetFixedCols(std::int32_t count);
    std::int32_t FixedRows() const { return fixedRows_; }
    void SetFixedRows(std::int32_t count);

    std::int32_t ColWidths(std::int32_t col) const;
    void SetColWidths(std::int32_t col, std::int32_t width);
    std::int32_t RowHeights(std::int32_t row) const;
    void SetRowHeights(std::int32_t row, std::int32_t height);
    std::int32_t DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(std::int32_t width);
    // Also gives every row this height.
    std::int32_t DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(std::int32_t height);

    // The viewport the host shows the grid in, in model pixels.
    void SetViewportSize(std::int32_t width, std::int32_t height);
    std::int32_t ViewportWidth() const { return viewportWidth_; }
    std::int32_t ViewportHeight() const { return viewportHeight_; }

    std::int32_t TopRow() const { return topRow_; }
    void SetTopRow(std::int32_t row);
    std::int32_t LeftCol() const { return leftCol_; }
    void SetLeftCol(std::int32_t col);
    // Scrolling rows (columns) that fit wholly from TopRow (LeftCol); at least 1 when any exists.
    std::int32_t VisibleRowCount() const;
    std::int32_t VisibleColCount() const;
    // The largest TopRow / LeftCol that still fills the viewport.
    std::int32_t MaxTopRow() const;
    std::int32_t MaxLeftCol() const;

    // The current cell; moves pass SelectCell first and bring the cell into view.
    std::int32_t Col() const { return current_.col; }
    std::int32_t Row() const { return current_.row; }
    GridCell CurrentCell() const { return current_; }
    void SetCol(std::int32_t col);
    void SetRow(std::int32_t row);
    // Returns false when SelectCell refused the move.
    bool FocusCell(std::int32_t col, std::int32_t row, bool moveAnchor);
    GridCell Anchor() const { return anchor_; }

    // Empty when the cell is scrolled out or lies outside the viewport.
    PixelRect CellRect(std::int32_t col, std::int32_t row) const;
    bool IsCellVisible(std::int32_t col, std::int32_t row) const;
    // The cell under a viewport point; {-1, -1} (or -1 on one axis) outside the cells.
    GridCell MouseCoord(std::int32_t x, std::int32_t y) const;

protected:
    // The veto before the current cell moves; it may itself move the current cell elsewhere.
    virtual bool SelectCell(std::int32_t /*col*/, std::int32_t /*row*/) { return true; }
    // After the current cell moved (and was brought into view).
    virtual void CurrentCellMoved(GridCell /*previous*/) {}
    // After TopRow or LeftCol changed.
    virtual void TopLeftMoved() {}
    // After counts, widths or heights changed.
    virtual void GridSizeChanged() {}

private:
    enum class Axis { kRows, kCols };
    std::int32_t Count(Axis axis) const { return axis == Axis::kRows ? RowCount() : ColCount(); }
    std::int32_t Fixed(Axis axis) const { return axis == Axis::kRows ? fixedRows_ : fixedCols_; }
    std::int32_t First(Axis axis) const { return axis == Axis::kRows ? topRow_ : leftCol_; }
    std::int32_t Extent(Axis axis) const;
    std::int32_t SizeOf(Axis axis, std::int32_t index) const;
    std::int64_t FixedExtent(Axis axis) const;
    std::int32_t FullyVisible(Axis axis) const;
    std::int32_t MaxFirst(Axis axis) const;
    // Offset of `index` in the viewport; -1 when scrolled out or beyond the viewport.
    std::int64_t Offset(Axis axis, std::int32_t index) const;
    std::int32_t IndexAt(Axis axis, std::int32_t offset) const;

    void ClampCurrent();
    void ClampTopLeft();
    void ScrollIntoView(std::int32_t col, std::int32_t row);
    void SetTopLeft(std::int32_t row, std::int32_t col);

    std::vector<std::int32_t> colWidths_;
    // Rows are many (one per 16 bytes of a document): only heights that differ are kept.
    std::int32_t rowCount_ = 5;
    std::map<std::int32_t, std::int32_t> rowHeights_;
    std::int32_t fixedCols_ = 1;
    std::int32_t fixedRows_ = 1;
    std::int32_t defaultColWidth_ = 64;
    std::int32_t defaultRowHeight_ = 24;
    std::int32_t viewportWidth_ = 0;
    std::int32_t viewportHeight_ = 0;
    std::int32_t topRow_ = 1;
    std::int32_t leftCol_ = 1;
    GridCell current_{1, 1};
    GridCell anchor_{1, 1};
};

} // namespace quillon
