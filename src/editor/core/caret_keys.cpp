// The key map, typed hexadecimal digits and characters, and the caret's shape.
#include <algorithm>
#include <optional>
#include <vector>

#include "editor/core/hex_editor_core.h"
#include "editor/core/radix.h"
#include "editor/core/translation.h"

namespace quillon {

namespace {

bool IsDigitKey(HexKey key) {
    return key >= HexKey::kDigit0 && key <= HexKey::kDigit9;
}

std::int32_t DigitOf(HexKey key) {
    return static_cast<std::int32_t>(key) - static_cast<std::int32_t>(HexKey::kDigit0);
}

} // namespace

PixelRect CaretShapeRect(HexCaretKind kind, bool insertFlag, std::int32_t charWidth,
                         std::int32_t rowHeight) {
    const std::int32_t height = std::max(rowHeight - 2, 0);
    if (kind == HexCaretKind::ckAuto) {
        kind = insertFlag ? HexCaretKind::ckLeft : HexCaretKind::ckFull;
    }
    switch (kind) {
    case HexCaretKind::ckLeft:
        return {0, 0, std::min(2, charWidth), height};
    case HexCaretKind::ckBottom:
        return {0, std::max(height - 2, 0), charWidth, height};
    default:
        return {0, 0, charWidth, height};
    }
}

void HexEditorCore::SetSwapNibbles(bool swap) {
    if (swap == swapNibbles_) {
        return;
    }
    swapNibbles_ = swap;
    Invalidate();
}

void HexEditorCore::KeyDown(HexKey key, HexShiftState shift) {
    if (OnKeyDown) {
        OnKeyDown(key, shift);
    }
    shift &= HexShift::kKeys;
    if (shift == HexShift::kNone && key != HexKey::kShift && !InsertMode()) {
        Unselect(true);
    }
    const std::int32_t position = CellToPosition(Col(), Row());
    const bool ctrl = (shift & HexShift::kCtrl) != 0;
    const bool noneOrShift = (shift & ~HexShift::kShift) == 0;
    switch (key) {
    case HexKey::kBackspace:
        if (InsertMode() && !readOnlyView_) {
            DeleteKey(true);
        } else if (!ctrl && noneOrShift) {
            MoveLeftRight(false, position);
        }
        break;
    case HexKey::kDelete:
        if (!readOnlyView_ && (InsertMode() || shift == HexShift::kCtrl)) {
            DeleteKey(false);
        }
        break;
    case HexKey::kLeft:
    case HexKey::kRight:
        if (ctrl) {
            MoveCaretToCell({key == HexKey::kLeft ? 2 : ColCount() - 1, Row()});
        } else if (noneOrShift) {
            MoveLeftRight(key == HexKey::kRight, position);
        }
        break;
    case HexKey::kUp:
        if (!ctrl) {
            MoveCaretToCell({Col(), std::max(2, Row() - 1)});
        }
        break;
    case HexKey::kDown:
        if (!ctrl) {
            MoveCaretToCell({Col(), std::min(RowCount() - 1, Row() + 1)});
        }
        break;
    case HexKey::kPageUp:
    case HexKey::kPageDown:
        PageMove(key == HexKey::kPageDown, ctrl);
        break;
    case HexKey::kHome:
        MoveCaretToCell({CaretInCharField() ? FirstCharCol() : 2, ctrl ? 2 : Row()});
        break;
    case HexKey::kEnd:
        if (ctrl) {
            MoveCaretToCell(PositionToCell(PositionAfterEnd(), inCharField_));
        } else {
            MoveToRowEnd(position);
        }
        break;
    case HexKey::kTab:
        if (noneOrShift) {
            MoveCaretToCell({std::max(2, OppositeFieldCol(Col())), Row()});
        }
        break;
    case HexKey::kT:
        if (shift == HexShift::kCtrl) {
            MoveCaretToCell({std::max(2, OppositeFieldCol(Col())), Row()});
        }
        break;
    case HexKey::kShift:
        if (shift == HexShift::kShift || shift == (HexShift::kShift | HexShift::kCtrl)) {
            selecting_ = true;
        }
        break;
    case HexKey::kInsert:
        SetInsertMode(!InsertMode());
        break;
    default:
        if (IsDigitKey(key) && shift == (HexShift::kCtrl | HexShift::kShift)) {
            ToggleBookmark(DigitOf(key), position, inCharField_);
        } else if (IsDigitKey(key) && shift == HexShift::kCtrl) {
            JumpToBookmark(DigitOf(key));
        }
        break;
    }
}

void HexEditorCore::DeleteKey(bool backwards) {
    if (selectionAnchor_ != -1) {
        DeleteSelected();
    } else {
        DeleteAtCursor(backwards);
    }
}

void HexEditorCore::MoveLeftRight(bool right, std::int32_t position) {
    const std::int32_t unit = bytesPerUnit_;
    const bool inChar = inCharField_;
    const std::int32_t step = selecting_ || (unicodeChars_ && inChar) ? unit : 1;
    const auto clamped = [this](std::int32_t p) {
        return p >= DataLength() ? PositionAfterEnd() : p;
    };
    if (inChar) {
        const std::int32_t target = right ? clamped(position + step) : std::max(0, position - step);
        MoveCaretToCell(PositionToCell(target, true));
        return;
    }
    if (selecting_) {
        const std::int32_t target = right ? clamped((position + step) / unit * unit)
                                          : std::max(0, position - step) / unit * unit;
        MoveCaretToCell(PositionToCell(target, false));
        return;
    }
    const bool onFirstDigit = (Col() - 2) % 2 == 0;
    if (!right) {
        if (!onFirstDigit) {
            MoveCaretToCell({Col() - 1, Row()});
        } else if (position > 0) {
            const GridCell previous = PositionToCell(position - 1, false);
            MoveCaretToCell({previous.col + 1, previous.row});
        }
        return;
    }
    if (onFirstDigit) {
        if (position != DataLength()) {
            MoveCaretToCell({Col() + 1, Row()});
        }
        return;
    }
    const std::int32_t next = position + 1;
    if (next < DataLength() || (next == DataLength() && InsertMode())) {
        MoveCaretToCell(PositionToCell(next, false));
    }
}

void HexEditorCore::MoveToRowEnd(std::int32_t position) {
    const bool inChar = inCharField_;
    const std::int32_t rowStart = position / bytesPerRow_ * bytesPerRow_;
    const std::int32_t last = std::min(rowStart + bytesPerRow_ - 1, PositionAfterEnd());
    GridCell cell = PositionToCell(last, inChar);
    if (!inChar) {
        ++cell.col;
    }
    MoveCaretToCell(cell);
}

void HexEditorCore::PageMove(bool down, bool ctrl) {
    const std::int32_t visible = VisibleRowCount();
    const std::int32_t lastRow = RowCount() - 1;
    if (ctrl) {
        MoveCaretToCell({Col(), down ? std::min(lastRow, TopRow() + visible - 1) : TopRow()});
        return;
    }
    if (down) {
        const std::int32_t row = std::min(lastRow, Row() + visible - 1);
        SetTopRow(std::min(std::max(2, RowCount() - visible), TopRow() + visible - 1));
        MoveCaretToCell({Col(), row});
    } else {
        const std::int32_t row = std::max(2, Row() - visible + 1);
        SetTopRow(std::max(2, TopRow() - visible + 1));
        MoveCaretToCell({Col(), row});
    }
}

void HexEditorCore::KeyPress(std::uint8_t character) {
    if (OnKeyPress) {
        OnKeyPress(character);
    }
    if (readOnlyView_ || character < 0x20) {
        return;
    }
    const std::int32_t position = CellToPosition(Col(), Row());
    if (position >= DataLength() && !InsertMode()) {
        return;
    }
    const bool edited =
        inCharField_ ? TypeCharacter(character, position) : TypeHexDigit(character, position);
    if (edited) {
        selecting_ = false;
        KeyDown(HexKey::kRight, HexShift::kNone);
    }
}

void HexEditorCore::RefuseCharacter() {
    if (!readOnlyView_) {
        FireInvalidKey();
    }
}

void HexEditorCore::FireInvalidKey() {
    if (OnInvalidKey) {
        OnInvalidKey();
    }
}

bool HexEditorCore::TypeHexDigit(std::uint8_t character, std::int32_t position) {
    const std::optional<std::uint8_t> digit = HexDigitValue(static_cast<char>(character));
    if (!digit) {
        FireInvalidKey();
        return false;
    }
    if (!InsertMode()) {
        Unselect(true);
    }
    const std::uint8_t old = position < DataLength() ? ByteAt(position) : 0;
    const bool selected = selectionAnchor_ != -1;
    const bool onFirstDigit = (Col() - 2) % 2 == 0;
    const bool onHighHalf = onFirstDigit != swapNibbles_;
    const auto value = static_cast<std::uint8_t>(onHighHalf || selected ? *digit * 16 + (old & 0x0F)
                                                                        : (old & 0xF0) + *digit);
    const bool unitStart = (Col() - 2) % (2 * bytesPerUnit_) == 0;
    if (InsertMode() && (unitStart || selected)) {
        std::vector<std::uint8_t> unit(static_cast<std::size_t>(bytesPerUnit_), 0);
        unit[0] = static_cast<std::uint8_t>(value & (swapNibbles_ ? 0x0F : 0xF0));
        if (DataLength() == 0) {
            AppendBytes(unit.data(), bytesPerUnit_, {}, false);
        } else if (selected) {
            OverwriteSelection(unit.data(), bytesPerUnit_, {}, false);
        } else {
            InsertBytes(unit.data(), bytesPerUnit_, position, {}, false);
        }
        return true;
    }
    if (position >= DataLength()) {
        return false;
    }
    ChangeByte(old, value, position, Col(), Row());
    return true;
}

bool HexEditorCore::TypeCharacter(std::uint8_t character, std::int32_t position) {
    const std::uint8_t byte = CharToByte(character);
    if (byte < 0x20) {
        FireInvalidKey();
        return false;
    }
    // A 16-bit character needs two bytes: on the last byte of an odd-sized document there is
    // only one to overwrite.
    const bool wide = unicodeChars_;
    if (wide && !InsertMode() && position + 1 >= DataLength()) {
        FireInvalidKey();
        return false;
    }
    if (!InsertMode()) {
        Unselect(true);
    }
    std::vector<std::uint8_t> unit(static_cast<std::size_t>(bytesPerUnit_), 0);
    if (wide) {
        const auto pair = UnicodeBytesForChar(character, unicodeBigEndian_);
        if (!pair) {
            FireInvalidKey();
            return false;
        }
        std::copy(pair->begin(), pair->end(), unit.begin());
    } else {
        unit[0] = byte;
    }
    const std::uint8_t old = position < DataLength() ? ByteAt(position) : 0;
    if (InsertMode()) {
        if (selectionAnchor_ != -1) {
            OverwriteSelection(unit.data(), bytesPerUnit_, {}, false);
        } else if (position == DataLength()) {
            AppendBytes(unit.data(), bytesPerUnit_, {}, true);
        } else if (position % bytesPerUnit_ == 0) {
            InsertBytes(unit.data(), bytesPerUnit_, position, {}, false);
        } else {
            ChangeByte(old, byte, position, Col(), Row());
        }
        return true;
    }
    if (wide) {
        const auto oldUnit = static_cast<std::uint16_t>(old | ByteAt(position + 1) << 8);
        const auto newUnit = static_cast<std::uint16_t>(unit[0] | unit[1] << 8);
        ChangeWideChar(oldUnit, newUnit, position, Col(), Row());
    } else {
        ChangeByte(old, byte, position, Col(), Row());
    }
    return true;
}

} // namespace quillon
