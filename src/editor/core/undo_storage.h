#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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
    // Kinds above ukAllData are refused with "Cannot update undo storage".
    void AddRecord(HexUndoKind kind, std::int32_t position, std::int32_t count,
                   std::int32_t replaceCount, const std::string& description);
    bool Undo();
    bool Redo();
    // Takes the newest record off the stack; a pending redo no longer matches it and is dropped.
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
    const std::vector<std::uint8_t>& RedoRecordBytes() const { return redo_.record; }
    // The undo record(s) that a redo puts back on the stack, oldest first.
    const std::vector<std::uint8_t>& SavedUndoBytes() const { return redo_.savedUndo; }

private:
    struct RecordHeader;
    struct RedoHeader;

    // One member of an undone replace group, kept so that redo can repeat the whole group.
    struct GroupStep {
        std::int32_t position;
        std::int32_t count;
        std::uint32_t markFlags;
        std::size_t dataOffset;
    };

    struct RedoSlot {
        std::vector<std::uint8_t> record;
        bool isGroup = false;
        std::vector<GroupStep> steps; // in the order undone, newest member first
        std::vector<std::uint8_t> stepData;
        std::vector<std::uint8_t> savedUndo;
        std::int32_t savedUndoCount = 0;
        std::string savedUndoDescription;
    };

    // The stream: the live bytes are buffer_[start_ ..]; dropping the oldest record only moves
    // start_, and the dead prefix is compacted once it outgrows the live part.
    std::int32_t StreamSize() const;
    const std::uint8_t* StreamData() const;
    std::uint8_t* StreamData();
    void SetStreamSize(std::int32_t size);
    void AppendToStream(const std::vector<std::uint8_t>& bytes);
    void DropOldest();
    void TrimToBudget();

    // The record whose trailing length ends at stream offset `end`, if it reads as one.
    std::optional<RecordHeader> RecordEndingAt(std::int32_t end) const;
    std::optional<RecordHeader> NewestHeader() const;
    std::vector<std::uint8_t> CopyNewest(const RecordHeader& header) const;
    void DiscardNewest();
    // The records from stream offset `from` to the end, which a redo puts back on the stack.
    void SaveUndoForRedo(std::int32_t from, std::int32_t records, RedoSlot& slot) const;
    void DescribeNewest();

    std::vector<std::uint8_t> BuildRecord(int kind, std::int32_t position, std::int32_t count,
                                          std::int32_t replaceCount,
                                          const std::string& description) const;
    void AdjustBookmarksForRecord(int kind, std::int32_t position, std::int32_t count,
                                  std::int32_t replaceCount);

    bool RecordFits(const RecordHeader& header) const;
    std::vector<std::uint8_t> MakeRedoRecord(const RecordHeader& header) const;
    bool UndoSingle(const RecordHeader& header);
    bool UndoGroup(const RecordHeader& header);
    bool PlanGroupRedo(const RecordHeader& header, RedoSlot& slot) const;
    void AddGroupStep(const RecordHeader& member, RedoSlot& slot) const;
    void ApplyUndoData(const RecordHeader& header, const std::uint8_t* data);
    void RestoreAfterUndo(const RecordHeader& header);
    void InvalidateAfterUndo(const RecordHeader& header);

    bool RedoFits(const RedoHeader& header, const RedoSlot& slot) const;
    void ApplyRedoData(const RedoHeader& header, const RedoSlot& slot);
    void RestoreAfterRedo(const RedoHeader& header);
    void MarkAfterRedo(const RedoHeader& header, const RedoSlot& slot);

    UndoTarget& editor_;
    std::vector<std::uint8_t> buffer_;
    std::size_t start_ = 0;
    std::int32_t recordCount_ = 0;
    std::int32_t suspendCount_ = 0;
    std::int32_t maxUndo_ = 1048576;
    std::string currentDescription_;
    RedoSlot redo_;
};

} // namespace quillon
