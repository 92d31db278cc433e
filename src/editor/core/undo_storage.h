#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/core/hex_types.h"
#include "editor/core/undo_target.h"

namespace quillon {

// The editor's undo stack: records laid out back to back in one byte buffer, newest at the end,
// each with its length at both ends so that the newest can be found from the end and the oldest
// dropped from the front. One redo slot re-applies the change undone last.
class HexUndoStorage {
public:
    explicit HexUndoStorage(UndoTarget& editor);
    HexUndoStorage(const HexUndoStorage&) = delete;
    HexUndoStorage& operator=(const HexUndoStorage&) = delete;

    std::int32_t Suspend();
    std::int32_t Resume();
    bool CanUndo() const;
    bool CanRedo() const;
    void Clear(bool alsoRedo);
    void ClearRedo();
    void AddRecord(HexUndoKind kind, std::int32_t position, std::int32_t count,
                   std::int32_t replaceCount, const std::string& description);
    bool Undo();
    bool Redo();
    void PopNewest();
    void AttachSelection(std::int32_t start, std::int32_t count);

    std::int32_t RecordCount() const { return recordCount_; }
    std::int32_t SuspendCount() const { return suspendCount_; }
    const std::string& CurrentDescription() const { return currentDescription_; }
    // Budget of the stack in bytes; <= 0 means no limit.
    std::int32_t MaxUndo() const { return maxUndo_; }
    void SetMaxUndo(std::int32_t maxUndo) { maxUndo_ = maxUndo; }

    // The records, oldest first, byte for byte.
    std::vector<std::uint8_t> StackBytes() const;
    // The redo record of the change undone last (empty when there is none).
    const std::vector<std::uint8_t>& RedoRecordBytes() const { return redoRecord_; }

private:
    std::int32_t StreamSize() const;

    UndoTarget& editor_;
    std::vector<std::uint8_t> buffer_;
    std::int32_t recordCount_ = 0;
    std::int32_t suspendCount_ = 0;
    std::int32_t maxUndo_ = 1048576;
    std::string currentDescription_;
    std::vector<std::uint8_t> redoRecord_;
};

} // namespace quillon
