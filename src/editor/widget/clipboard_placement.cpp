#include "editor/widget/clipboard_placement.h"

#include <algorithm>
#include <string>

#include "editor/core/hex_editor_core.h"

namespace quillon {

namespace {

const std::string kPasteDescription = "Paste from Clipboard";
const std::string kDropDescription = "Data Dropped";

std::int32_t Length(const std::vector<std::uint8_t>& bytes) {
    return static_cast<std::int32_t>(bytes.size());
}

bool HasSelection(const HexEditorCore& core) {
    return core.SelectionCount() > 0;
}

// Lifts the size lock while a move deletes and inserts, whatever it ends in.
class SizeChangeOverrideScope {
public:
    explicit SizeChangeOverrideScope(HexEditorCore& core) : core_(core) {
        core_.SetSizeChangeOverride(true);
    }
    ~SizeChangeOverrideScope() { core_.SetSizeChangeOverride(false); }
    SizeChangeOverrideScope(const SizeChangeOverrideScope&) = delete;
    SizeChangeOverrideScope& operator=(const SizeChangeOverrideScope&) = delete;

private:
    HexEditorCore& core_;
};

void InsertOrAppend(HexEditorCore& core, const std::vector<std::uint8_t>& bytes,
                    std::int32_t position) {
    if (position < core.DataLength()) {
        core.InsertBytes(bytes.data(), Length(bytes), position, kDropDescription, true);
    } else {
        core.AppendBytes(bytes.data(), Length(bytes), kDropDescription, true);
    }
}

void MoveInside(HexEditorCore& core, const std::vector<std::uint8_t>& bytes,
                std::int32_t position) {
    const SizeChangeOverrideScope override(core);
    if (position > core.SelectionLower()) {
        position -= core.SelectionCount();
    }
    core.DeleteSelected();
    InsertOrAppend(core, bytes, position);
}

} // namespace

void PlacePastedBytes(HexEditorCore& core, const std::vector<std::uint8_t>& bytes) {
    if (!HasSelection(core)) {
        const std::int32_t unit = core.BytesPerUnit();
        std::int32_t position = core.CellToPosition(core.Col(), core.Row());
        if (position % unit != 0) {
            position -= position % unit;
            core.MoveCaretToCell(core.PositionToCell(position, core.CaretInCharField()));
        }
        if (core.NoSizeChange() && position < core.DataLength()) {
            core.SelectRange(position,
                             std::min(core.DataLength() - 1, position + Length(bytes) - 1));
        }
    }
    core.OverwriteSelection(bytes.data(), Length(bytes), kPasteDescription, true);
}

bool PlaceDroppedBytes(HexEditorCore& core, const std::vector<std::uint8_t>& bytes,
                       DropSite& site) {
    const std::int32_t position = site.position;
    if (position < 0) {
        return false;
    }
    if (site.moveInside) {
        site.movedHere = true;
        MoveInside(core, bytes, position);
        return true;
    }
    if (position >= core.DataLength()) {
        if (core.NoSizeChange()) {
            return false;
        }
        core.AppendBytes(bytes.data(), Length(bytes), kDropDescription, true);
        return true;
    }
    if (HasSelection(core) && core.InSelection(position)) {
        core.OverwriteSelection(bytes.data(), Length(bytes), kDropDescription, true);
    } else if (core.NoSizeChange()) {
        core.ReplaceBytes(bytes.data(), position, Length(bytes), Length(bytes), kDropDescription,
                          false);
    } else {
        core.InsertBytes(bytes.data(), Length(bytes), position, kDropDescription, true);
    }
    return true;
}

} // namespace quillon
