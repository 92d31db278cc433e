#pragma once

#include <cstdint>

#include "editor/core/grid_model.h"

namespace quillon {

// The keys the editor reacts to, independent of any toolkit; the host maps its key codes onto
// them. kNone stands for every other key (and for a key a handler swallowed).
enum class HexKey : std::uint8_t {
    kNone,
    kBackspace,
    kTab,
    kShift,
    kControl,
    kLeft,
    kRight,
    kUp,
    kDown,
    kPageUp,
    kPageDown,
    kHome,
    kEnd,
    kInsert,
    kDelete,
    kDigit0,
    kDigit1,
    kDigit2,
    kDigit3,
    kDigit4,
    kDigit5,
    kDigit6,
    kDigit7,
    kDigit8,
    kDigit9,
    kA,
    kC,
    kT,
    kV,
    kX,
    kZ,
};

// Keys, mouse buttons and the double-click mark held during an input event, as bit flags.
using HexShiftState = std::uint8_t;

struct HexShift {
    static constexpr HexShiftState kNone = 0;
    static constexpr HexShiftState kShift = 1 << 0;
    static constexpr HexShiftState kAlt = 1 << 1;
    static constexpr HexShiftState kCtrl = 1 << 2;
    static constexpr HexShiftState kMeta = 1 << 3;
    static constexpr HexShiftState kLeft = 1 << 4;
    static constexpr HexShiftState kRight = 1 << 5;
    static constexpr HexShiftState kMiddle = 1 << 6;
    static constexpr HexShiftState kDouble = 1 << 7;
    static constexpr HexShiftState kKeys = kShift | kAlt | kCtrl | kMeta;
    static constexpr HexShiftState kButtons = kLeft | kRight | kMiddle;
};

enum class HexMouseButton : std::uint8_t { kLeft, kRight, kMiddle };

// The part of the caret's box (CharWidth x RowHeight - 2 pixels, origin at its top-left corner)
// that the caret shows.
PixelRect CaretShapeRect(HexCaretKind kind, bool insertFlag, std::int32_t charWidth,
                         std::int32_t rowHeight);

} // namespace quillon
