#include "editor/core/grid_model.h"

#include <algorithm>

namespace quillon {

GridModel::GridModel() : colWidths_(5, defaultColWidth_) {}

void GridModel::SetColCount(std::int32_t count) {
    count = std::max(count, 1);
    if (count == ColCount()) {
        return;
    }
    colWidths_.resize(static_cast<std::size_t>(count), defaultColWidth_);
    ClampCurrent();
    ClampTopLeft();
    GridSizeChanged();
}

void GridModel::SetRowCount(std::int32_t count) {
    count = std::max(count, 1);
    if (count == rowCount_) {
        return;
    }
    rowCount_ = count;
    rowHeights_.erase(rowHeights_.lower_bound(count), rowHeights_.end());
    ClampCurrent();
    ClampTopLeft();
    GridSizeChanged();
}

void GridModel::SetFixedCols(std::int32_t count) {
    count = std::clamp(count, 0, ColCount() - 1);
    if (count == fixedCols_) {
        return;
    }
    fixedCols_ = count;
    ClampCurrent();
    ClampTopLeft();
    GridSizeChanged();
}

void GridModel::SetFixedRows(std::int32_t count) {
    count = std::clamp(count, 0, RowCount() - 1);
    if (count == fixedRows_) {
        return;
    }
    fixedRows_ = count;
    ClampCurrent();
    ClampTopLeft();
    GridSizeChanged();
}

std::int32_t GridModel::ColWidths(std::int32_t col) const {
    return col >= 0 && col < ColCount() ? colWidths_[static_cast<std::size_t>(col)] : 0;
}

void GridModel::SetColWidths(std::int32_t col, std::int32_t width) {
    if (col < 0 || col >= ColCount() || colWidths_[static_cast<std::size_t>(col)] == width) {
        return;
    }
    colWidths_[static_cast<std::size_t>(col)] = std::max(width, 0);
    ClampTopLeft();
    GridSizeChanged();
}

std::int32_t GridModel::RowHeights(std::int32_t row) const {
    if (row < 0 || row >= rowCount_) {
        return 0;
    }
    const auto found = rowHeights_.find(row);
    return found == rowHeights_.end() ? defaultRowHeight_ : found->second;
}

void GridModel::SetRowHeights(std::int32_t row, std::int32_t height) {
    if (row < 0 || row >= rowCount_ || RowHeights(row) == height) {
        return;
    }
    height = std::max(height, 0);
    if (height == defaultRowHeight_) {
        rowHeights_.erase(row);
    } else {
        rowHeights_[row] = height;
    }
    ClampTopLeft();
    GridSizeChanged();
}

void GridModel::SetDefaultColWidth(std::int32_t width) {
    defaultColWidth_ = std::max(width, 0);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    ClampTopLeft();
    GridSizeChanged();
}

void GridModel::SetDefaultRowHeight(std::int32_t height) {
    defaultRowHeight_ = std::max(height, 0);
    rowHeights_.clear();
    ClampTopLeft();
    GridSizeChanged();
}

void GridModel::SetViewportSize(std::int32_t width, std::int32_t height) {
    viewportWidth_ = std::max(width, 0);
    viewportHeight_ = std::max(height, 0);
    ClampTopLeft();
}

void GridModel::SetTopRow(std::int32_t row) {
    SetTopLeft(row, leftCol_);
}

void GridModel::SetLeftCol(std::int32_t col) {
    SetTopLeft(topRow_, col);
}

std::int32_t GridModel::VisibleRowCount() const {
    return FullyVisible(Axis::kRows);
}

std::int32_t GridModel::VisibleColCount() const {
    return FullyVisible(Axis::kCols);
}

std::int32_t GridModel::MaxTopRow() const {
    return MaxFirst(Axis::kRows);
}

std::int32_t GridModel::MaxLeftCol() const {
    return MaxFirst(Axis::kCols);
}

void GridModel::SetCol(std::int32_t col) {
    FocusCell(col, current_.row, true);
}

void GridModel::SetRow(std::int32_t row) {
    FocusCell(current_.col, row, true);
}

bool GridModel::FocusCell(std::int32_t col, std::int32_t row, bool moveAnchor) {
    col = std::clamp(col, fixedCols_, ColCount() - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (!SelectCell(col, row)) {
        return false;
    }
    const GridCell previous = current_;
    current_ = {col, row};
    if (moveAnchor) {
        anchor_ = current_;
    }
    ScrollIntoView(col, row);
    CurrentCellMoved(previous);
    return true;
}

PixelRect GridModel::CellRect(std::int32_t col, std::int32_t row) const {
    const std::int64_t x = Offset(Axis::kCols, col);
    const std::int64_t y = Offset(Axis::kRows, row);
    if (x < 0 || y < 0) {
        return {};
    }
    const auto left = static_cast<std::int32_t>(x);
    const auto top = static_cast<std::int32_t>(y);
    return {left, top, left + ColWidths(col), top + RowHeights(row)};
}

bool GridModel::IsCellVisible(std::int32_t col, std::int32_t row) const {
    return !CellRect(col, row).IsEmpty();
}

GridCell GridModel::MouseCoord(std::int32_t x, std::int32_t y) const {
    return {IndexAt(Axis::kCols, x), IndexAt(Axis::kRows, y)};
}

std::int32_t GridModel::Extent(Axis axis) const {
    return axis == Axis::kRows ? viewportHeight_ : viewportWidth_;
}

std::int32_t GridModel::SizeOf(Axis axis, std::int32_t index) const {
    return axis == Axis::kRows ? RowHeights(index) : ColWidths(index);
}

std::int64_t GridModel::FixedExtent(Axis axis) const {
    std::int64_t total = 0;
    for (std::int32_t i = 0; i < Fixed(axis); ++i) {
        total += SizeOf(axis, i);
    }
    return total;
}

std::int32_t GridModel::FullyVisible(Axis axis) const {
    const std::int64_t available = Extent(axis) - FixedExtent(axis);
    std::int64_t used = 0;
    std::int32_t visible = 0;
    for (std::int32_t i = First(axis); i < Count(axis); ++i) {
        used += SizeOf(axis, i);
        if (used > available) {
            break;
        }
        ++visible;
    }
    return First(axis) < Count(axis) ? std::max(visible, 1) : 0;
}

std::int32_t GridModel::MaxFirst(Axis axis) const {
    const std::int64_t available = Extent(axis) - FixedExtent(axis);
    const std::int32_t count = Count(axis);
    std::int32_t first = count;
    std::int64_t used = 0;
    while (first > Fixed(axis) && used + SizeOf(axis, first - 1) <= available) {
        used += SizeOf(axis, first - 1);
        --first;
    }
    return std::max(first == count ? count - 1 : first, Fixed(axis));
}

std::int64_t GridModel::Offset(Axis axis, std::int32_t index) const {
    if (index < 0 || index >= Count(axis) || (index >= Fixed(axis) && index < First(axis))) {
        return -1;
    }
    const std::int32_t extent = Extent(axis);
    std::int64_t offset = 0;
    const std::int32_t fixedEnd = std::min(index, Fixed(axis));
    for (std::int32_t i = 0; i < fixedEnd; ++i) {
        offset += SizeOf(axis, i);
    }
    if (index >= Fixed(axis)) {
        for (std::int32_t i = First(axis); i < index && offset < extent; ++i) {
            offset += SizeOf(axis, i);
        }
    }
    return offset < extent ? offset : -1;
}

std::int32_t GridModel::IndexAt(Axis axis, std::int32_t offset) const {
    const std::int32_t extent = Extent(axis);
    if (offset < 0 || offset >= extent) {
        return -1;
    }
    std::int64_t end = 0;
    for (std::int32_t i = 0; i < Fixed(axis); ++i) {
        end += SizeOf(axis, i);
        if (offset < end) {
            return i;
        }
    }
    for (std::int32_t i = First(axis); i < Count(axis) && end < extent; ++i) {
        end += SizeOf(axis, i);
        if (offset < end) {
            return i;
        }
    }
    return -1;
}

void GridModel::ClampCurrent() {
    current_.col = std::clamp(current_.col, fixedCols_, ColCount() - 1);
    current_.row = std::clamp(current_.row, fixedRows_, rowCount_ - 1);
    anchor_.col = std::clamp(anchor_.col, fixedCols_, ColCount() - 1);
    anchor_.row = std::clamp(anchor_.row, fixedRows_, rowCount_ - 1);
}

void GridModel::ClampTopLeft() {
    SetTopLeft(topRow_, leftCol_);
}

void GridModel::ScrollIntoView(std::int32_t col, std::int32_t row) {
    const auto firstToShow = [this](Axis axis, std::int32_t index) {
        if (index < Fixed(axis) || index < First(axis)) {
            return index < Fixed(axis) ? First(axis) : index;
        }
        if (index < First(axis) + FullyVisible(axis)) {
            return First(axis);
        }
        const std::int64_t available = Extent(axis) - FixedExtent(axis);
        std::int32_t first = index;
        std::int64_t used = SizeOf(axis, index);
        while (first - 1 >= Fixed(axis) && used + SizeOf(axis, first - 1) <= available) {
            --first;
            used += SizeOf(axis, first);
        }
        return first;
    };
    SetTopLeft(firstToShow(Axis::kRows, row), firstToShow(Axis::kCols, col));
}

void GridModel::SetTopLeft(std::int32_t row, std::int32_t col) {
    const std::int32_t top = std::clamp(row, fixedRows_, std::max(fixedRows_, MaxTopRow()));
    const std::int32_t left = std::clamp(col, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
    if (top == topRow_ && left == leftCol_) {
        return;
    }
    topRow_ = top;
    leftCol_ = left;
    TopLeftMoved();
}

} // namespace quillon
