#pragma once

#include <cstdint>

namespace quillon {

enum class HexTranslationKind : std::uint8_t { tkAsIs, tkDos8, tkASCII, tkMac, tkBCD, tkCustom };

enum class HexCaretKind : std::uint8_t { ckFull, ckLeft, ckBottom, ckAuto };

enum class HexProgressKind : std::uint8_t { pkLoad, pkSave, pkFind };

// Undo record kinds; the numbers are stored in undo records.
enum class HexUndoKind : std::uint8_t {
    ukChangeBytes = 0,
    ukRemoveData = 1,
    ukInsertBuffer = 2,
    ukReplace = 3,
    ukAppendBuffer = 4,
    ukInsertNibble = 5,
    ukDeleteNibble = 6,
    ukConvert = 7,
    ukCursorMove = 8,
    ukGroup = 9,
    ukAllData = 10,
};

} // namespace quillon
