// The document: construction, loading, stream copies with progress, selection, notifications.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <exception>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_error.h"
#include "editor/core/undo_storage.h"

namespace quillon {

namespace {

// Stream copies go in blocks of this size; progress is reported per block.
constexpr std::int64_t kCopyBlock = 61440;

} // namespace

HexEditorCore::HexEditorCore() : undo_(std::make_unique<HexUndoStorage>(*this)) {
    RebuildRulerText();
    UpdateGridSize();
    FocusCell(2, 2, true);
    PreparePattern("", false, false);
}

HexEditorCore::~HexEditorCore() = default;

void HexEditorCore::SetView(HexEditorView* view) {
    view_ = view != nullptr ? view : &nullView_;
}

void HexEditorCore::CheckRange(std::int64_t index, std::int64_t count) const {
    if (index < 0 || count < 0) {
        RaiseOutOfBounds();
    }
    data_.CheckBounds(index + count);
}

void HexEditorCore::GetBytes(void* buffer, std::int32_t index, std::int32_t count) const {
    CheckRange(index, count);
    if (count > 0) {
        std::memcpy(buffer, data_.AddressOf(index), static_cast<std::size_t>(count));
    }
}

void HexEditorCore::PutBytes(const void* buffer, std::int32_t index, std::int32_t count) {
    data_.WriteAt(buffer, index, count);
}

std::uint8_t HexEditorCore::ByteAt(std::int32_t index) const {
    CheckRange(index, 1);
    return *data_.AddressOf(index);
}

void HexEditorCore::SetByteAt(std::int32_t index, std::uint8_t value) {
    CheckRange(index, 1);
    *data_.AddressOf(index) = value;
}

void HexEditorCore::SetDataSize(std::int32_t size) {
    data_.SetSize(size);
}

void HexEditorCore::WriteAt(const void* buffer, std::int32_t position, std::int32_t count) {
    data_.WriteAt(buffer, position, count);
}

void HexEditorCore::NewDocument(const std::string& name) {
    data_.SetSize(0);
    fileName_ = name.empty() ? "Untitled" : name;
    ClearUndo();
    Unselect(false);
    changedBits_.clear();
    UpdateGridSize();
    isModified_ = false;
    fileIsReadOnly_ = true;
    hasFile_ = false;
    MoveCaretToCell({2, 2});
    NotifyChange();
}

void HexEditorCore::LoadStream(HexStream& stream) {
    CheckDocumentSize(stream.Size());
    data_.SetSize(0);
    UpdateGridSize();
    const WaitCursorScope busy(*this);
    std::exception_ptr failure;
    try {
        stream.SetPosition(0);
        data_.Reserve(stream.Size());
        data_.SetPosition(0);
        CopyStream(stream, data_, -1, HexProgressKind::pkLoad);
        data_.SetPosition(0);
    } catch (...) {
        failure = std::current_exception();
        data_.SetSize(0);
    }
    if (undo_->SuspendCount() < 1) {
        undo_->Clear(true);
    }
    ResetDocumentState();
    if (failure) {
        undo_->Clear(true);
        hasFile_ = false;
        std::rethrow_exception(failure);
    }
}

void HexEditorCore::ResetDocumentState() {
    changedBits_.clear();
    UpdateGridSize();
    isModified_ = false;
    selecting_ = false;
    MoveCaretToCell({2, 2});
    NotifyChange();
}

void HexEditorCore::CopyStream(HexStream& source, HexStream& dest, std::int64_t count,
                               HexProgressKind kind) {
    if (count == -1) {
        count = source.Size() - source.Position();
    }
    if (!OnProgress) {
        // Nobody to report to: one transfer does it all.
        CopyBlocks(source, dest, count);
        return;
    }
    std::int64_t remaining = count;
    std::int32_t lastPercent = 255;
    bool cancel = false;
    const std::string name = progressName_.empty() ? fileName_ : progressName_;
    // Blocks between two reports are copied in one go; the handler still sees every block
    // before its report copied and none after it.
    std::int64_t pending = 0;
    while (remaining > 0) {
        const auto percent = static_cast<std::int32_t>(std::nearbyint(
            static_cast<double>(count - remaining) * 100.0 / static_cast<double>(count)));
        if (percent != lastPercent || remaining <= kCopyBlock) {
            CopyBlocks(source, dest, pending);
            pending = 0;
            lastPercent = remaining <= kCopyBlock ? 100 : percent;
            OnProgress(kind, name, static_cast<std::uint8_t>(lastPercent), cancel);
            if (cancel) {
                throw EHexEditor("Operation Cancelled");
            }
        }
        const std::int64_t block = std::min(remaining, kCopyBlock);
        pending += block;
        remaining -= block;
    }
    CopyBlocks(source, dest, pending);
}

void HexEditorCore::CopyBlocks(HexStream& source, HexStream& dest, std::int64_t count) {
    if (count <= 0) {
        return;
    }
    const auto size = static_cast<std::size_t>(count);
    if (auto* memory = dynamic_cast<HexMemoryStream*>(&dest)) {
        memory->ReadFrom(source, size);
        return;
    }
    if (auto* memory = dynamic_cast<HexMemoryStream*>(&source)) {
        memory->WriteTo(dest, size);
        return;
    }
    std::array<std::uint8_t, kCopyBlock> buffer;
    for (std::size_t done = 0; done < size;) {
        const std::size_t n = std::min(size - done, buffer.size());
        source.ReadExact(buffer.data(), n);
        dest.Write(buffer.data(), n);
        done += n;
    }
}

void HexEditorCore::WriteFileStream(HexStream& stream) {
    WriteRangeToStream(stream, 0, DataLength());
}

void HexEditorCore::WriteRangeToStream(HexStream& stream, std::int32_t index, std::int32_t count) {
    CheckRange(index, count);
    const WaitCursorScope busy(*this);
    try {
        data_.SetPosition(index);
        CopyStream(data_, stream, count, HexProgressKind::pkSave);
    } catch (...) {
        Invalidate();
        throw;
    }
    Invalidate();
}

void HexEditorCore::SetSelectionFields(std::int32_t anchor, std::int32_t lower,
                                       std::int32_t upper) {
    const auto clamp = [this](std::int32_t value) {
        return std::clamp(value, -1, DataLength() - 1);
    };
    selectionAnchor_ = clamp(anchor);
    selectionLower_ = clamp(lower);
    selectionUpper_ = clamp(upper);
}

void HexEditorCore::SelectRange(std::int32_t anchor, std::int32_t other) {
    const std::int32_t unit = bytesPerUnit_;
    const std::int32_t lower = std::min(anchor, other) / unit * unit;
    const std::int32_t upper =
        std::min(std::max(anchor, other) / unit * unit + unit - 1, DataLength() - 1);
    const bool hadSelection = selectionAnchor_ != -1;
    const std::int32_t oldLower = selectionLower_;
    const std::int32_t oldUpper = selectionUpper_;
    SetSelectionFields(anchor <= other ? lower : upper, lower, upper);
    if (!hadSelection) {
        InvalidateRange(selectionLower_, selectionUpper_);
    } else {
        InvalidateRange(oldLower, selectionLower_);
        InvalidateRange(oldUpper, selectionUpper_);
    }
    NotifySelectionChanged();
}

void HexEditorCore::Unselect(bool repaint) {
    const std::int32_t oldLower = selectionLower_;
    const std::int32_t oldUpper = selectionUpper_;
    selecting_ = false;
    extendAnchor_ = -1;
    selectionAnchor_ = selectionLower_ = selectionUpper_ = -1;
    if (repaint && oldLower != -1) {
        InvalidateRange(oldLower, oldUpper);
    }
}

void HexEditorCore::SelectAll() {
    if (DataLength() < 1) {
        return;
    }
    MoveCaretToCell(PositionToCell(PositionAfterEnd(), CaretInCharField()));
    SelectRange(0, DataLength() - 1);
}

bool HexEditorCore::InSelection(std::int32_t index) const {
    return selectionAnchor_ != -1 && selectionLower_ <= index && index <= selectionUpper_;
}

std::int32_t HexEditorCore::SelectionStart() {
    return selectionAnchor_ != -1 ? selectionAnchor_ : CellToPosition(Col(), Row());
}

void HexEditorCore::SetSelectionStart(std::int32_t position) {
    if (position < 0 || position >= DataLength()) {
        throw EHexEditor("Invalid selection start");
    }
    Unselect(true);
    MoveCaretToCell(PositionToCell(position, CaretInCharField()));
}

std::int32_t HexEditorCore::SelectionEnd() {
    if (selectionAnchor_ == -1) {
        return CellToPosition(Col(), Row());
    }
    return selectionAnchor_ == selectionUpper_ ? selectionLower_ : selectionUpper_;
}

void HexEditorCore::SetSelectionEnd(std::int32_t position) {
    if (position < -1 || position >= DataLength()) {
        throw EHexEditor("Invalid selection end");
    }
    Unselect(true);
    if (position >= 0) {
        SelectRange(CellToPosition(Col(), Row()), position);
        NotifySelectionChanged();
    }
}

std::int32_t HexEditorCore::SelectionCount() const {
    return selectionAnchor_ == -1 ? 0 : selectionUpper_ - selectionLower_ + 1;
}

std::int32_t HexEditorCore::MoveCaretTo(std::int32_t offset, std::int32_t origin) {
    std::int64_t position = 0;
    switch (origin) {
    case 0:
        position = offset;
        break;
    case 1:
        position = std::int64_t{offset} + CurrentPosition();
        break;
    case 2:
        position = std::int64_t{offset} + DataLength() - 1;
        break;
    default:
        position = CurrentPosition();
        break;
    }
    if (DataLength() == 0) {
        return -1;
    }
    const auto clamped =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 0, DataLength() - 1));
    SetSelectionStart(clamped);
    return clamped;
}

std::int32_t HexEditorCore::CurrentPosition() {
    return std::clamp(CellToPosition(Col(), Row()), 0, std::max(0, DataLength() - 1));
}

void HexEditorCore::NotifyChange() {
    if (OnChange) {
        OnChange();
    }
    NotifySelectionChanged();
}

void HexEditorCore::NotifySelectionChanged() {
    if (!selectionChangePending_) {
        selectionChangePending_ = true;
        view_->PostSelectionChanged();
    }
}

void HexEditorCore::DeliverSelectionChanged() {
    if (!selectionChangePending_) {
        return;
    }
    struct EndPending {
        bool& pending;
        ~EndPending() { pending = false; }
    } endPending{selectionChangePending_};
    if (OnSelectionChanged) {
        OnSelectionChanged();
    }
}

void HexEditorCore::PushWaitCursor() {
    ++waitCursorDepth_;
    view_->PushWaitCursor();
}

void HexEditorCore::PopCursor() {
    if (waitCursorDepth_ == 0) {
        return;
    }
    --waitCursorDepth_;
    view_->PopCursor();
}

std::int32_t HexEditorCore::SuspendUndo() {
    return undo_->Suspend();
}

std::int32_t HexEditorCore::ResumeUndo() {
    return undo_->Resume();
}

void HexEditorCore::ClearUndo() {
    undo_->Clear(true);
}

bool HexEditorCore::Undo() {
    return undo_->Undo();
}

bool HexEditorCore::Redo() {
    return undo_->Redo();
}

bool HexEditorCore::CanUndo() const {
    return undo_->CanUndo();
}

bool HexEditorCore::CanRedo() const {
    return undo_->CanRedo();
}

std::int32_t HexEditorCore::MaxUndo() const {
    return undo_->MaxUndo();
}

void HexEditorCore::SetMaxUndo(std::int32_t maxUndo) {
    undo_->SetMaxUndo(maxUndo);
}

void HexEditorCore::SetBookmarks(const Bookmarks& bookmarks) {
    bookmarks_ = bookmarks;
}

void HexEditorCore::ShiftBookmarks(std::int32_t from, std::int32_t delta, std::int32_t dataLength) {
    if (from < 0) {
        return;
    }
    bool touched = false;
    for (Bookmark& bookmark : bookmarks_) {
        if (bookmark.position < from) {
            continue;
        }
        const std::int64_t moved = std::int64_t{bookmark.position} + delta;
        bookmark.position = moved < 0 || moved > dataLength ? -1 : static_cast<std::int32_t>(moved);
        touched = true;
    }
    if (touched) {
        NotifyBookmarkChanged();
    }
}

void HexEditorCore::NotifyBookmarkChanged() {
    if (OnBookmarkChanged) {
        OnBookmarkChanged();
    }
}

} // namespace quillon
