#include "editor/core/undo_storage.h"

namespace quillon {

HexUndoStorage::HexUndoStorage(UndoTarget& editor) : editor_(editor) {
    Clear(true);
}

std::int32_t HexUndoStorage::StreamSize() const {
    return static_cast<std::int32_t>(buffer_.size());
}

std::int32_t HexUndoStorage::Suspend() {
    return ++suspendCount_;
}

std::int32_t HexUndoStorage::Resume() {
    if (suspendCount_ > 0)
        --suspendCount_;
    return suspendCount_;
}

bool HexUndoStorage::CanUndo() const {
    return recordCount_ > 0 && suspendCount_ < 1 && StreamSize() > 0;
}

bool HexUndoStorage::CanRedo() const {
    return !redoRecord_.empty();
}

void HexUndoStorage::Clear(bool alsoRedo) {
    buffer_.clear();
    recordCount_ = 0;
    suspendCount_ = 0;
    currentDescription_.clear();
    if (alsoRedo)
        ClearRedo();
}

void HexUndoStorage::ClearRedo() {
    redoRecord_.clear();
}

void HexUndoStorage::AddRecord(HexUndoKind, std::int32_t, std::int32_t, std::int32_t,
                               const std::string&) {
    if (suspendCount_ > 0)
        return;
    ClearRedo();
}

bool HexUndoStorage::Undo() {
    return false;
}

bool HexUndoStorage::Redo() {
    return false;
}

void HexUndoStorage::PopNewest() {}

void HexUndoStorage::AttachSelection(std::int32_t, std::int32_t) {}

std::vector<std::uint8_t> HexUndoStorage::StackBytes() const {
    return buffer_;
}

} // namespace quillon
