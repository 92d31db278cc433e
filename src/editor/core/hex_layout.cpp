// The grid layout of the editor: columns, widths, rows, the ruler and the cell mapping.
#include <algorithm>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_error.h"
#include "editor/core/radix.h"

namespace quillon {

namespace {

bool IsUnitSize(std::int32_t value) {
    return value == 1 || value == 2 || value == 4 || value == 8;
}

} // namespace

std::int32_t HexEditorCore::CellToPosition(std::int32_t col, std::int32_t row) {
    inCharField_ = IsCharFieldCol(col);
    return PositionOfCell(col, row);
}

std::int32_t HexEditorCore::PositionOfCell(std::int32_t col, std::int32_t row) const {
    std::int64_t k = 0;
    if (IsCharFieldCol(col)) {
        k = col - FirstCharCol();
        if (unicodeChars_) {
            k *= 2;
        }
    } else {
        k = (col - 2) / 2;
    }
    const std::int64_t position = k + std::int64_t{row - 2} * bytesPerRow_;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 0, INT32_MAX));
}

GridCell HexEditorCore::PositionToCell(std::int32_t position, bool inCharField) const {
    if (position < 0) {
        return {2, 2};
    }
    const std::int32_t row = position / bytesPerRow_ + 2;
    const std::int32_t inRow = position % bytesPerRow_;
    if (inCharField) {
        return {(unicodeChars_ ? inRow / 2 : inRow) + FirstCharCol(), row};
    }
    return {inRow * 2 + 2, row};
}

std::int32_t HexEditorCore::OppositeFieldCol(std::int32_t col, bool* wasInCharField) const {
    const std::int32_t bytesShown = unicodeChars_ ? 4 : 2;
    const bool inChar = IsCharFieldCol(col);
    if (wasInCharField != nullptr) {
        *wasInCharField = inChar;
    }
    if (!inChar) {
        return (col - 2) / bytesShown + FirstCharCol();
    }
    return bytesShown * (col - FirstCharCol()) + 2;
}

std::int32_t HexEditorCore::RowOfPosition(std::int32_t position) const {
    return position / bytesPerRow_ + 2;
}

std::int32_t HexEditorCore::ComputedRowCount() const {
    const std::int32_t length = DataLength();
    if (length == 0) {
        return 3;
    }
    const std::int32_t rows = 2 + (length - 1) / bytesPerRow_ + 1;
    return rows + (length % bytesPerRow_ == 0 && InsertMode() ? 1 : 0);
}

void HexEditorCore::UpdateGridSize() {
    TrimChangedBits(DataLength());
    SetRowCount(ComputedRowCount());
    SetColCount(unicodeChars_ ? 2 * bytesPerRow_ + bytesPerRow_ / 2 + 3 : 3 * bytesPerRow_ + 3);
    SetFixedCols(2);
    SetFixedRows(2);
    CalcColumnWidths();
}

void HexEditorCore::CalcColumnWidths() {
    const std::int32_t cw = charWidth_;
    SetColWidths(0, GutterPixelWidth());
    SetColWidths(1, 6);
    const std::int32_t hexColumns = HexColumnCount();
    for (std::int32_t i = 0; i <= hexColumns; ++i) {
        std::int32_t width = cw;
        if (i == hexColumns - 1) {
            width = 2 * cw;
        } else {
            if ((i + 2) % nibblesPerColumn_ == 1) {
                width += cw;
            }
            if (bytesPerBlock_ > 1 && (i + 2) % (2 * bytesPerBlock_) == 1) {
                width += cw;
            }
        }
        SetColWidths(2 + i, width);
    }
    const std::int32_t charColumns = unicodeChars_ ? bytesPerRow_ / 2 : bytesPerRow_;
    const std::int32_t rulerUnit = RulerUnit();
    const std::int32_t block = unicodeChars_ ? bytesPerBlock_ / 2 : bytesPerBlock_;
    // The last character column is the grid's last column: its width is set after the loop.
    for (std::int32_t j = 0; j < charColumns - 1; ++j) {
        const bool unitEnd = !unicodeChars_ && rulerUnit > 1 && j % rulerUnit == rulerUnit - 1;
        std::int32_t width = unitEnd ? 3 * cw / 2 + 1 : cw + 1;
        if (bytesPerBlock_ > 1 && separateBlocksInCharField_ && block > 0 &&
            j % block == block - 1) {
            width += cw;
        }
        SetColWidths(FirstCharCol() + j, width);
    }
    SetColWidths(ColCount() - 1, 2 * cw + 1);
    // Setting the default resets every row's height, which then changes back: a layout event
    // on every edit for nothing.
    if (DefaultRowHeight() != RowHeight()) {
        SetDefaultRowHeight(RowHeight());
    }
    SetRowHeights(1, 0);
    SetRowHeights(0, showRuler_ ? RowHeight() + 3 : 0);
}

std::int32_t HexEditorCore::FirstVisibleByte() const {
    return DataLength() == 0 ? -1 : PositionOfCell(2, TopRow());
}

std::int32_t HexEditorCore::LastVisibleByte() const {
    if (DataLength() == 0) {
        return -1;
    }
    const std::int64_t last =
        std::int64_t{FirstVisibleByte()} + std::int64_t{VisibleRowCount()} * bytesPerRow_ - 1;
    return static_cast<std::int32_t>(std::min<std::int64_t>(DataLength() - 1, last));
}

std::int32_t HexEditorCore::RulerUnit() const {
    return rulerBytesPerUnit_ == -1 ? bytesPerUnit_ : rulerBytesPerUnit_;
}

char HexEditorCore::HexDigit(std::uint8_t value) const {
    return HexDigits(hexLowerCase_)[value & 0x0F];
}

void HexEditorCore::RebuildRulerText() {
    const std::int32_t unit = RulerUnit();
    rulerText_.clear();
    for (std::int32_t i = 0; i < bytesPerRow_ / unit; ++i) {
        rulerText_ += FormatRadixPadded(static_cast<std::uint32_t>(i), 16,
                                        static_cast<std::uint8_t>(2 * unit));
    }
    if (hexLowerCase_) {
        std::transform(rulerText_.begin(), rulerText_.end(), rulerText_.begin(),
                       [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c + 32) : c; });
    }
}

std::string HexEditorCore::RulerCellText(std::int32_t col) const {
    if (col < 2) {
        return {};
    }
    if (col < HexColumnCount() + 2) {
        const auto m = static_cast<std::size_t>(col - 2);
        return m < rulerText_.size() ? std::string(1, rulerText_[m]) : std::string();
    }
    if (col == HexColumnCount() + 2) {
        return "  ";
    }
    const std::int32_t j = col - FirstCharCol();
    const std::int32_t unit = RulerUnit();
    if (unicodeChars_) {
        // Each column shows two bytes: its label is the ruler unit the pair starts in.
        return std::string(1, HexDigit(static_cast<std::uint8_t>(2 * j / unit % 16)));
    }
    if (j % unit != unit - 1) {
        return " ";
    }
    return std::string(1, HexDigit(static_cast<std::uint8_t>(j / unit % 16)));
}

void HexEditorCore::ApplyLayoutChange() {
    CalcColumnWidths();
    RebuildRulerText();
    Invalidate();
}

void HexEditorCore::SetBytesPerRow(std::int32_t bytesPerRow) {
    if (bytesPerRow == bytesPerRow_) {
        return;
    }
    if (bytesPerRow < 1 || bytesPerRow > 256 || (unicodeChars_ && bytesPerRow % 2 != 0)) {
        throw EHexEditor("Invalid bytes per line argument");
    }
    const std::int32_t anchor = selectionAnchor_;
    const std::int32_t lower = selectionLower_;
    const std::int32_t upper = selectionUpper_;
    const bool inChar = CaretInCharField();
    const bool onSecondDigit = !inChar && (Col() - 2) % 2 == 1;
    std::int32_t position = PositionOfCell(Col(), Row());
    bytesPerRow_ = bytesPerRow;
    FollowLayoutInOffsetFormat();
    RebuildRulerText();
    UpdateGridSize();
    position = std::min(position, DataLength() - 1);
    GridCell cell = PositionToCell(position, inChar);
    if (onSecondDigit) {
        ++cell.col;
    }
    MoveCaretToCell(cell);
    SetSelectionFields(anchor, lower, upper);
    Invalidate();
}

void HexEditorCore::SetBytesPerColumn(std::int32_t bytesPerColumn) {
    if (2 * bytesPerColumn == nibblesPerColumn_) {
        return;
    }
    if (bytesPerColumn < 1 || bytesPerColumn > 256 || (unicodeChars_ && bytesPerColumn % 2 != 0)) {
        throw EHexEditor("Invalid bytes per column argument");
    }
    nibblesPerColumn_ = 2 * bytesPerColumn;
    FollowLayoutInOffsetFormat();
    ApplyLayoutChange();
}

void HexEditorCore::SetBytesPerUnit(std::int32_t bytesPerUnit) {
    if (bytesPerUnit == bytesPerUnit_) {
        return;
    }
    if (unicodeChars_ && bytesPerUnit != 2) {
        throw EHexEditor("BytesPerUnit must be set to 2 in unicode mode");
    }
    if (!IsUnitSize(bytesPerUnit)) {
        throw EHexEditor(
            FormatMessage("Invalid bytes per unit value %d, allowed: 1,2,4,8", bytesPerUnit));
    }
    bytesPerUnit_ = bytesPerUnit;
    FollowLayoutInOffsetFormat();
    ApplyLayoutChange();
}

void HexEditorCore::SetRulerBytesPerUnit(std::int32_t rulerBytesPerUnit) {
    if (rulerBytesPerUnit == rulerBytesPerUnit_) {
        return;
    }
    if (rulerBytesPerUnit != -1 && !IsUnitSize(rulerBytesPerUnit)) {
        throw EHexEditor(FormatMessage("Invalid ruler bytes per unit value %d, allowed: -1,1,2,4,8",
                                       rulerBytesPerUnit));
    }
    rulerBytesPerUnit_ = rulerBytesPerUnit;
    FollowLayoutInOffsetFormat();
    ApplyLayoutChange();
}

void HexEditorCore::SetBytesPerBlock(std::int32_t bytesPerBlock) {
    if (bytesPerBlock == bytesPerBlock_) {
        return;
    }
    bytesPerBlock_ = bytesPerBlock;
    CalcColumnWidths();
}

void HexEditorCore::SetSeparateBlocksInCharField(bool separate) {
    if (separate == separateBlocksInCharField_) {
        return;
    }
    separateBlocksInCharField_ = separate;
    if (bytesPerBlock_ > 1) {
        CalcColumnWidths();
    }
}

void HexEditorCore::SetShowRuler(bool showRuler) {
    if (showRuler == showRuler_) {
        return;
    }
    showRuler_ = showRuler;
    CalcColumnWidths();
}

void HexEditorCore::SetFontMetrics(std::int32_t charWidth, std::int32_t textHeight) {
    charWidth_ = std::max(charWidth, 1);
    textHeight_ = std::max(textHeight, 1);
    CalcColumnWidths();
}

bool HexEditorCore::CaretInCharField() const {
    return DataLength() > 0 && IsCharFieldCol(Col());
}

void HexEditorCore::SetCaretInCharField(bool inCharField) {
    if (DataLength() > 0 && inCharField != CaretInCharField()) {
        MoveCaretToCell({OppositeFieldCol(Col()), Row()});
    }
}

void HexEditorCore::MoveCaretToCell(GridCell cell) {
    FocusCell(cell.col, cell.row, true);
}

void HexEditorCore::SetCaretColumn(std::int32_t col) {
    SetCol(col);
}

bool HexEditorCore::SelectCell(std::int32_t col, std::int32_t row) {
    if (DataLength() == 0) {
        return col == 2 || (col == FirstCharCol() && row == 2);
    }
    if (examiningCaretMove_) {
        return true;
    }
    examiningCaretMove_ = true;
    if ((inputState_ & (HexShift::kShift | HexShift::kLeft)) == 0) {
        Unselect(true);
    }
    const bool allowed = CaretMoveAllowed(col, row);
    examiningCaretMove_ = false;
    return allowed;
}

bool HexEditorCore::CaretMoveAllowed(std::int32_t col, std::int32_t row) {
    const std::int32_t position = CellToPosition(col, row);
    if (position >= DataLength()) {
        const bool afterEnd =
            InsertMode() && position == DataLength() && (IsCharFieldCol(col) || col % 2 == 0);
        if (!afterEnd) {
            MoveCaretToCell(PositionToCell(PositionAfterEnd(), inCharField_));
            return false;
        }
    }
    if (col == HexColumnCount() + 2) {
        if ((inputState_ & HexShift::kLeft) != 0) {
            MoveCaretToCell({std::max(2, col - 1), row});
        }
        return false;
    }
    return true;
}

std::int32_t HexEditorCore::PositionAfterEnd() const {
    return InsertMode() ? DataLength() : DataLength() - 1;
}

void HexEditorCore::CurrentCellMoved(GridCell previous) {
    if (DataLength() > 0) {
        InvalidateCell(OppositeFieldCol(previous.col), previous.row);
        InvalidateCell(0, previous.row);
        InvalidateCell(OppositeFieldCol(Col()), Row());
        InvalidateCell(0, Row());
        if (showRuler_) {
            InvalidateRow(0);
        }
        ExtendSelection(previous);
    }
    view_->CaretMoved(CurrentCell());
    if (DataLength() > 0) {
        NotifySelectionChanged();
    }
}

void HexEditorCore::ExtendSelection(GridCell previous) {
    if (!selecting_) {
        Unselect(true);
        return;
    }
    const std::int32_t target = CellToPosition(Col(), Row());
    if (extendAnchor_ == -1) {
        extendAnchor_ = PositionOfCell(previous.col, previous.row);
    }
    const std::int32_t unit = bytesPerUnit_;
    if (!InsertMode()) {
        // The anchor keeps the unit boundary on its side of the range.
        extendAnchor_ = extendAnchor_ <= target ? extendAnchor_ / unit * unit
                                                : extendAnchor_ / unit * unit + unit - 1;
        SelectRange(extendAnchor_, target);
        return;
    }
    // In insert mode the caret stands between bytes: the bytes between anchor and caret.
    extendAnchor_ = extendAnchor_ / unit * unit;
    const std::int32_t caret = target / unit * unit;
    if (extendAnchor_ > caret) {
        SelectRange(extendAnchor_ - unit, caret);
    } else if (extendAnchor_ < caret) {
        SelectRange(extendAnchor_, caret - unit);
    } else {
        Unselect(true);
        extendAnchor_ = caret;
        selecting_ = true;
    }
}

void HexEditorCore::TopLeftMoved() {
    view_->TopLeftChanged();
    if (OnTopLeftChanged) {
        OnTopLeftChanged();
    }
}

void HexEditorCore::GridSizeChanged() {
    view_->GridLayoutChanged();
}

void HexEditorCore::InvalidateRange(std::int32_t from, std::int32_t to) {
    const std::int32_t first = RowOfPosition(std::max(0, std::min(from, to)));
    const std::int32_t last = RowOfPosition(std::max(0, std::max(from, to)));
    view_->InvalidateCells({2, first, ColCount() - 1, last});
}

void HexEditorCore::Invalidate() {
    view_->InvalidateAll();
}

void HexEditorCore::InvalidateCell(std::int32_t col, std::int32_t row) {
    view_->InvalidateCells({col, row, col, row});
}

void HexEditorCore::InvalidateRow(std::int32_t row) {
    view_->InvalidateCells({0, row, ColCount() - 1, row});
}

} // namespace quillon
