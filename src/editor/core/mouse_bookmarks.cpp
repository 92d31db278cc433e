// Mouse selection, the scroll timer's step, the drop marker and the ten bookmarks.
#include <algorithm>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_error.h"

namespace quillon {

namespace {

bool IsDataCell(GridCell cell) {
    return cell.col >= 2 && cell.row >= 2;
}

} // namespace

GridCell HexEditorCore::AdjustMouseCell(std::int32_t& x, std::int32_t& y) const {
    GridCell cell = MouseCoord(x, y);
    if (!insertFlag_ || cell.col < 0 || cell.row < 0) {
        return cell;
    }
    const bool lastCharCol = cell.col == ColCount() - 1;
    if (!lastCharCol && cell.col != HexColumnCount() + 1) {
        return cell;
    }
    if (x <= CellRect(cell.col, cell.row).left + charWidth_) {
        return cell;
    }
    // Right of a row's last byte: the place that follows it, at the start of the next row.
    y += DefaultRowHeight();
    cell = {lastCharCol ? FirstCharCol() : 2, cell.row + 1};
    const PixelRect target = CellRect(cell.col, TopRow());
    if (!target.IsEmpty()) {
        x = target.left;
    }
    return cell;
}

bool HexEditorCore::IsPointOverFixed(std::int32_t x, std::int32_t y) const {
    const GridCell cell = MouseCoord(x, y);
    return cell.col == 0 || cell.col == 1 || cell.row == 0 || cell.row == 1;
}

bool HexEditorCore::IsPointOverSelection(std::int32_t x, std::int32_t y) const {
    if (SelectionCount() == 0 || DataLength() == 0) {
        return false;
    }
    const GridCell cell = MouseCoord(x, y);
    if (!IsDataCell(cell)) {
        return false;
    }
    const std::int32_t position = PositionOfCell(cell.col, cell.row);
    return position < DataLength() && InSelection(position);
}

void HexEditorCore::MouseDown(HexMouseButton button, HexShiftState shift, std::int32_t x,
                              std::int32_t y) {
    inputState_ = shift;
    selecting_ = false;
    clickInSelection_ = false;
    const bool left = button == HexMouseButton::kLeft;
    const GridCell cell = left ? AdjustMouseCell(x, y) : MouseCoord(x, y);
    const bool overSelection = IsPointOverSelection(x, y);
    if (!overSelection && !IsPointOverFixed(x, y) && left) {
        GridMouseDown(cell);
    }
    if (!left) {
        return;
    }
    if (!overSelection && IsDataCell(cell)) {
        Unselect(true);
        selecting_ = (shift & HexShift::kDouble) == 0;
    } else if (overSelection) {
        pressX_ = x;
        pressY_ = y;
        clickInSelection_ = true;
    }
}

void HexEditorCore::MouseMove(HexShiftState shift, std::int32_t x, std::int32_t y) {
    inputState_ = shift;
    const GridCell cell =
        (shift & ~HexShift::kDouble) == HexShift::kLeft ? AdjustMouseCell(x, y) : MouseCoord(x, y);
    GridMouseMove(cell);
    clickInSelection_ = false;
}

void HexEditorCore::MouseUp(HexMouseButton /*button*/, HexShiftState shift, std::int32_t x,
                            std::int32_t y) {
    // The grid's last move of a drag belongs to the drag: the button counts as still down, or
    // a release over a cell scrolled in meanwhile would drop the selection.
    inputState_ = gridSelecting_ ? shift | HexShift::kLeft : shift;
    const GridCell cell = AdjustMouseCell(x, y);
    GridMouseMove(cell);
    gridSelecting_ = false;
    inputState_ = shift;
    if (clickInSelection_) {
        clickInSelection_ = false;
        Unselect(true);
        if (IsDataCell(cell)) {
            MoveCaretToCell(cell);
        }
    }
    if (dropShown_) {
        HideDropPosition();
    }
}

void HexEditorCore::GridMouseDown(GridCell cell) {
    if (!IsDataCell(cell)) {
        return;
    }
    MoveCaretToCell(cell);
    gridSelecting_ = true;
}

void HexEditorCore::GridMouseMove(GridCell cell) {
    if (gridSelecting_ && IsDataCell(cell) && cell != CurrentCell()) {
        MoveCaretToCell(cell);
    }
}

void HexEditorCore::DragScrollStep(std::int32_t x, std::int32_t y) {
    if (!gridSelecting_) {
        return;
    }
    GridCell cell = AdjustMouseCell(x, y);
    if (cell.col < 0 || cell.row < 0) {
        return;
    }
    // Over the fixed rows or columns: one step back; over a partly shown cell: bringing it into
    // view scrolls one step on.
    if (cell.row < FixedRows()) {
        cell.row = TopRow() - 1;
    }
    if (cell.col < FixedCols()) {
        cell.col = LeftCol() - 1;
    }
    cell.row = std::clamp(cell.row, FixedRows(), RowCount() - 1);
    cell.col = std::clamp(cell.col, FixedCols(), ColCount() - 1);
    if (cell != CurrentCell()) {
        MoveCaretToCell(cell);
    }
}

std::int32_t HexEditorCore::ShowDropPosition(std::int32_t x, std::int32_t y) {
    GridCell under = MouseCoord(x, y);
    // Beyond the last row or column (inside the viewport) stands for the last one, so that a drop
    // into the empty space after the data lands at its end.
    if (under.row < 0 && y >= 0) {
        under.row = RowCount() - 1;
    }
    if (under.col < 0 && x >= 0) {
        under.col = ColCount() - 1;
    }
    const std::int32_t col = std::max(under.col, 2);
    const std::int32_t row = std::clamp(under.row, 2, RowCount() - 1);
    std::int32_t position = std::clamp(CellToPosition(col, row), 0, DataLength());
    if (InSelection(position)) {
        position = selectionLower_;
    }
    position = position / bytesPerUnit_ * bytesPerUnit_;
    dropShown_ = true;

    const std::int32_t lastVisibleRow = TopRow() + VisibleRowCount() - 1;
    if (under.row >= lastVisibleRow && under.row < RowCount() - 1) {
        SetTopRow(TopRow() + 1);
    } else if (under.row <= TopRow() && under.row >= 3) {
        SetTopRow(TopRow() - 1);
    }
    const std::int32_t lastVisibleCol = LeftCol() + VisibleColCount() - 1;
    if (under.col >= lastVisibleCol && under.col < ColCount() - 1) {
        SetLeftCol(LeftCol() + 1);
    } else if (under.col <= LeftCol() && under.col >= 3) {
        SetLeftCol(LeftCol() - 1);
    }

    const GridCell cell = PositionToCell(position, inCharField_);
    if (cell != dropCell_) {
        InvalidateCell(dropCell_.col, dropCell_.row);
        dropCell_ = cell;
        InvalidateCell(cell.col, cell.row);
    }
    return position;
}

void HexEditorCore::HideDropPosition() {
    dropShown_ = false;
    Invalidate();
}

std::int32_t HexEditorCore::DropPosition() const {
    if (!dropShown_) {
        return -1;
    }
    return PositionOfCell(dropCell_.col, dropCell_.row) / bytesPerUnit_ * bytesPerUnit_;
}

void HexEditorCore::ToggleBookmark(std::int32_t index, std::int32_t position, bool inCharField) {
    if (index < 0 || index > 9) {
        throw EHexEditor("Invalid bookmark index");
    }
    Bookmark& bookmark = bookmarks_[static_cast<std::size_t>(index)];
    const bool same = bookmark.position == position && bookmark.inCharField == inCharField;
    bookmark.position = same ? -1 : position;
    bookmark.inCharField = inCharField;
    Invalidate();
    NotifyBookmarkChanged();
}

bool HexEditorCore::JumpToBookmark(std::int32_t index) {
    if (index < 0 || index > 9) {
        throw EHexEditor("Invalid bookmark index");
    }
    const Bookmark bookmark = bookmarks_[static_cast<std::size_t>(index)];
    if (bookmark.position == -1) {
        return false;
    }
    Unselect(true);
    const bool beyond =
        bookmark.position > DataLength() || (bookmark.position == DataLength() && !InsertMode());
    if (beyond) {
        ToggleBookmark(index, -1, false);
        return false;
    }
    MoveCaretToCell(PositionToCell(bookmark.position, bookmark.inCharField));
    return true;
}

} // namespace quillon
