#pragma once

#include <cstdint>
#include <vector>

namespace quillon {

class HexEditorCore;

// Where dropped bytes land, and what became of them.
struct DropSite {
    // The drop marker's position, 0 .. DataLength; negative refuses the drop.
    std::int32_t position = -1;
    // This editor runs the drag and the effect is a move: the bytes move inside the document.
    bool moveInside = false;
    // Set when the drop was such a move.
    bool movedHere = false;
};

// A paste: over the selection, or at the caret's unit (overwriting in place while the size is
// locked). The bytes are not empty.
void PlacePastedBytes(HexEditorCore& core, const std::vector<std::uint8_t>& bytes);

// A drop at site.position; false when it is refused (a drop behind the end while the size is
// locked, or no position). The bytes are not empty.
bool PlaceDroppedBytes(HexEditorCore& core, const std::vector<std::uint8_t>& bytes, DropSite& site);

} // namespace quillon
