// Edit operations, their undo requests and the map of changed bytes.
#include <algorithm>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_error.h"
#include "editor/core/undo_storage.h"

namespace quillon {

namespace {

bool ChangesSize(HexUndoKind kind) {
    switch (kind) {
    case HexUndoKind::ukRemoveData:
    case HexUndoKind::ukInsertBuffer:
    case HexUndoKind::ukAppendBuffer:
    case HexUndoKind::ukInsertNibble:
    case HexUndoKind::ukDeleteNibble:
        return true;
    default:
        return false;
    }
}

} // namespace

void HexEditorCore::RecordUndo(HexUndoKind kind, std::int32_t position, std::int32_t count,
                               std::int32_t replaceCount, const std::string& description) {
    if (!MayRecordUndo(kind, count, replaceCount)) {
        throw EHexEditor("Cannot update undo storage");
    }
    if (undo_->SuspendCount() == 0) {
        undo_->AddRecord(kind, position, count, replaceCount, description);
    }
    isModified_ = true;
}

bool HexEditorCore::MayRecordUndo(HexUndoKind kind, std::int32_t count, std::int32_t replaceCount) {
    bool ok = DataLength() > 0 || kind == HexUndoKind::ukInsertBuffer ||
              kind == HexUndoKind::ukAppendBuffer || kind == HexUndoKind::ukAllData;
    if (EffectiveNoSizeChange() && ok &&
        (ChangesSize(kind) || (kind == HexUndoKind::ukReplace && count != replaceCount))) {
        ok = false;
    }
    if (!ok && kind == HexUndoKind::ukGroup) {
        ok = count <= undo_->RecordCount();
    }
    return ok;
}

void HexEditorCore::MergeUndo(std::int32_t count, const std::string& description) {
    RecordUndo(HexUndoKind::ukGroup, 0, count, 0, description);
}

void HexEditorCore::RepaintBytes(std::int32_t index, std::int32_t count, std::int32_t row) {
    for (std::int32_t i = index; i < index + count; ++i) {
        const std::int32_t col = PositionToCell(i, false).col;
        view_->InvalidateCells({col, row, col + 1, row});
    }
    InvalidateCell(PositionToCell(index, true).col, row);
}

void HexEditorCore::ChangeByte(std::uint8_t oldValue, std::uint8_t newValue, std::int32_t index,
                               std::int32_t /*col*/, std::int32_t row,
                               const std::string& description) {
    if (oldValue == newValue) {
        return;
    }
    CheckRange(index, 1);
    StoreChangedByte(newValue, index, description);
    RepaintBytes(index, 1, row);
    NotifyChange();
}

void HexEditorCore::StoreChangedByte(std::uint8_t newValue, std::int32_t index,
                                     const std::string& description) {
    RecordUndo(HexUndoKind::ukChangeBytes, index, 1, 0, description);
    *data_.AddressOf(index) = newValue;
    if (!InsertMode()) {
        MarkChanged(index, true);
    }
}

void HexEditorCore::ChangeWideChar(std::uint16_t oldValue, std::uint16_t newValue,
                                   std::int32_t index, std::int32_t /*col*/, std::int32_t row,
                                   const std::string& description) {
    if (oldValue == newValue) {
        return;
    }
    CheckRange(index, 2);
    RecordUndo(HexUndoKind::ukChangeBytes, index, 2, 0, description);
    const std::uint8_t oldBytes[2] = {static_cast<std::uint8_t>(oldValue & 0xFF),
                                      static_cast<std::uint8_t>(oldValue >> 8)};
    const std::uint8_t newBytes[2] = {static_cast<std::uint8_t>(newValue & 0xFF),
                                      static_cast<std::uint8_t>(newValue >> 8)};
    PutBytes(newBytes, index, 2);
    if (!InsertMode()) {
        MarkChanged(index, oldBytes[0] != newBytes[0]);
        MarkChanged(index + 1, oldBytes[1] != newBytes[1]);
    }
    RepaintBytes(index, 2, row);
    NotifyChange();
}

void HexEditorCore::AppendBytes(const void* buffer, std::int32_t size,
                                const std::string& description, bool moveCaret) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    if (size < 0) {
        RaiseOutOfBounds();
    }
    CheckDocumentSize(std::int64_t{DataLength()} + size);
    RecordUndo(HexUndoKind::ukAppendBuffer, DataLength(), size, 0, description);
    const std::int32_t old = DataLength();
    AppendRaw(buffer, size);
    if (moveCaret) {
        MoveCaretToCell(PositionToCell(old, CaretInCharField()));
    }
    SetSelectionFields(old, old, old + size - 1);
    Invalidate();
    NotifyChange();
}

void HexEditorCore::InsertBytes(const void* buffer, std::int32_t size, std::int32_t position,
                                const std::string& description, bool moveCaret) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    if (size < 0 || position < 0 || position > DataLength()) {
        RaiseOutOfBounds();
    }
    CheckDocumentSize(std::int64_t{DataLength()} + size);
    RecordUndo(HexUndoKind::ukInsertBuffer, position, size, 0, description);
    InsertRaw(buffer, size, position);
    TrimChangedBits(position);
    if (enabled_) {
        SetSelectionFields(position, position, position + size - 1);
        if (moveCaret) {
            MoveCaretToCell(PositionToCell(selectionUpper_, CaretInCharField()));
            SetSelectionFields(position, position, position + size - 1);
        }
        Invalidate();
    }
    NotifyChange();
}

std::int32_t HexEditorCore::OverwriteBytes(const std::uint8_t* source, std::int32_t position,
                                           std::int32_t count) {
    std::int32_t changed = 0;
    for (std::int32_t j = position; j < position + count; ++j) {
        const std::uint8_t old = *data_.AddressOf(j);
        const std::uint8_t value = source[j - position];
        if (old != value) {
            StoreChangedByte(value, j, {});
            NotifyChange();
            ++changed;
        }
    }
    return changed;
}

void HexEditorCore::OverwriteSelection(const void* buffer, std::int32_t size,
                                       const std::string& description, bool moveCaret) {
    if (selectionAnchor_ == -1) {
        InsertBytes(buffer, size, SelectionStart(), description, moveCaret);
        return;
    }
    if (buffer == nullptr || size <= 0) {
        return;
    }
    if (EffectiveNoSizeChange()) {
        size = std::min(size, SelectionCount());
        if (size < SelectionCount()) {
            const std::int32_t start = std::min(SelectionStart(), SelectionEnd());
            SetSelectionStart(start);
            SetSelectionEnd(start + size - 1);
        }
    }
    const std::int32_t lower = selectionLower_;
    // A buffer reaching past the end overwrites only the bytes that exist.
    const std::int32_t count = std::min(size, DataLength() - lower);
    const std::int32_t changed =
        OverwriteBytes(static_cast<const std::uint8_t*>(buffer), lower, count);
    if (changed > 0) {
        RecordUndo(HexUndoKind::ukReplace, lower, changed, changed, description);
    }
    Invalidate();
    if (changed > 0) {
        NotifyChange();
    }
}

std::int32_t HexEditorCore::ReplaceBytes(const void* buffer, std::int32_t position,
                                         std::int32_t oldCount, std::int32_t newCount,
                                         const std::string& description, bool moveCaret) {
    if (position < 0 || position > DataLength()) {
        RaiseOutOfBounds();
    }
    const bool inChar = CaretInCharField();
    const std::int32_t available = DataLength() - position;
    if (available < oldCount) {
        if (newCount == oldCount) {
            newCount = available;
        }
        oldCount = available;
    }
    if (EffectiveNoSizeChange() && oldCount < newCount) {
        newCount = oldCount;
    }
    newCount = buffer == nullptr ? 0 : std::clamp(newCount, 0, available);
    const std::int32_t changed =
        OverwriteBytes(static_cast<const std::uint8_t*>(buffer), position, newCount);
    if (changed > 0) {
        RecordUndo(HexUndoKind::ukReplace, position, changed, changed, description);
    }
    if (!moveCaret) {
        // Nothing recorded: the newest record belongs to an earlier change and stays as it is.
        if (changed > 0) {
            undo_->AttachSelection(position, changed);
        }
    } else {
        MoveCaretToCell(PositionToCell(position, inChar));
    }
    Invalidate();
    if (changed > 0) {
        NotifyChange();
    }
    return newCount;
}

void HexEditorCore::DeleteSelected(const std::string& description) {
    std::int32_t from = 0;
    std::int32_t to = 0;
    GridCell target = CurrentCell();
    if (selectionAnchor_ != -1) {
        from = selectionLower_;
        to = selectionUpper_ + 1;
        target = PositionToCell(selectionLower_, CaretInCharField());
    } else {
        from = CellToPosition(Col(), Row());
        to = from + 1;
    }
    // The place after the last byte (insert mode) holds nothing to delete.
    if (from >= DataLength()) {
        return;
    }
    to = std::min(to, DataLength());
    TrimChangedBits(from);
    RecordUndo(HexUndoKind::ukRemoveData, from, to - from, 0, description);
    DeleteRaw(from, to, target.col, target.row);
    NotifyChange();
}

void HexEditorCore::DeleteAtCursor(bool backwards, const std::string& description) {
    std::int32_t unit = bytesPerUnit_;
    const std::int32_t aligned = CurrentPosition() / unit * unit;
    if (!backwards) {
        if (aligned < DataLength()) {
            unit = std::min(unit, DataLength() - aligned);
            RecordUndo(HexUndoKind::ukRemoveData, aligned, unit, 0, description);
            DeleteRaw(aligned, aligned + unit, Col(), Row());
            NotifyChange();
        }
        return;
    }
    std::int32_t end = aligned;
    if (InsertMode() && selectionAnchor_ == -1) {
        end = CellToPosition(Col(), Row());
        if (end == DataLength() && DataLength() % unit != 0) {
            unit = 1;
        } else {
            end = end / unit * unit;
        }
    }
    if (end == 0 || end > DataLength()) {
        return;
    }
    RecordUndo(HexUndoKind::ukRemoveData, end - unit, unit, 0, description);
    DeleteRaw(end - unit, end, Col(), Row());
    if (end == aligned) {
        MoveCaretTo(end - unit, 0);
    } else if (Col() + 1 < ColCount()) {
        SetCol(Col() + 1);
    }
    NotifyChange();
}

void HexEditorCore::AppendRaw(const void* buffer, std::int32_t size) {
    InsertRaw(buffer, size, DataLength());
}

void HexEditorCore::InsertRaw(const void* buffer, std::int32_t size, std::int32_t position) {
    if (size < 0 || position < 0 || position > DataLength()) {
        RaiseOutOfBounds();
    }
    if (DataLength() == 0) {
        data_.SetPosition(0);
        changedBits_.clear();
    }
    const std::int32_t old = DataLength();
    data_.SetSize(std::int64_t{old} + size);
    if (position < old) {
        data_.MoveBytes(position, position + size, old - position);
    }
    PutBytes(buffer, position, size);
    UpdateGridSize();
}

void HexEditorCore::DeleteRaw(std::int32_t from, std::int32_t to, std::int32_t col,
                              std::int32_t row) {
    if (from < 0 || to < from || to > DataLength()) {
        RaiseOutOfBounds();
    }
    if (to <= DataLength() - 1) {
        data_.MoveBytes(to, from, DataLength() - to);
    }
    data_.SetSize(DataLength() + from - to);
    const std::int32_t position = CellToPosition(col, row);
    if (DataLength() == 0) {
        MoveCaretToCell({inCharField_ ? FirstCharCol() : 2, 2});
    } else if (position >= DataLength()) {
        MoveCaretToCell(PositionToCell(PositionAfterEnd(), CaretInCharField()));
    } else if (col >= 0) {
        MoveCaretToCell({col, row});
    }
    UpdateGridSize();
    Unselect(false);
    Invalidate();
}

void HexEditorCore::MarkChanged(std::int32_t index, bool value) {
    if (InsertMode()) {
        changedBits_.clear();
    }
    if (index < 0) {
        return;
    }
    const auto bit = static_cast<std::size_t>(index);
    if (value) {
        if (bit >= changedBits_.size()) {
            changedBits_.resize(bit + 1);
        }
        changedBits_[bit] = true;
    } else if (bit < changedBits_.size()) {
        changedBits_[bit] = false;
    }
}

bool HexEditorCore::IsChanged(std::int32_t index) const {
    return !InsertMode() && index >= 0 && static_cast<std::size_t>(index) < changedBits_.size() &&
           changedBits_[static_cast<std::size_t>(index)];
}

void HexEditorCore::TrimChangedBits(std::int32_t position) {
    if (position >= 0 && ChangedBitsLength() >= position) {
        changedBits_.resize(static_cast<std::size_t>(position));
    }
}

void HexEditorCore::SetNoSizeChange(bool noSizeChange) {
    if (noSizeChange) {
        SetInsertMode(false);
    }
    noSizeChange_ = noSizeChange;
}

void HexEditorCore::SetAllowInsertMode(bool allow) {
    if (!allow) {
        SetInsertMode(false);
    }
    allowInsertMode_ = allow;
}

void HexEditorCore::SetInsertMode(bool insertMode) {
    if (insertMode == insertFlag_ || !InsertAllowed()) {
        return;
    }
    const bool caretAfterEnd = DataLength() > 0 && PositionOfCell(Col(), Row()) >= DataLength();
    insertFlag_ = insertMode;
    view_->InsertModeChanged();
    if (DataLength() == 0) {
        return;
    }
    SetRowCount(ComputedRowCount());
    if (!insertMode && caretAfterEnd) {
        SetSelectionStart(DataLength() - 1);
    }
    changedBits_.clear();
    Invalidate();
}

} // namespace quillon
