#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "editor/core/hex_types.h"

// Byte <-> character translation of the character field. Characters are Windows-1251 (ANSI) bytes.
namespace quillon {

struct TranslationTables {
    std::array<std::uint8_t, 256> encode; // character -> byte
    std::array<std::uint8_t, 256> decode; // byte -> character
};

// Shared by every editor of the process; both tables are the identity until the host fills them.
TranslationTables& CustomTranslationTables();

// One typed character to the byte to store; 0 = the character is refused.
std::uint8_t CharToByte(HexTranslationKind kind, std::uint8_t ansiChar);
// One stored byte to the character to show; maskChar 0 shows control characters unmasked.
std::uint8_t ByteToChar(HexTranslationKind kind, std::uint8_t value, std::uint8_t maskChar);

// Whole buffers, without the control-character and 7-bit rules. Only the low seven bits of `kind`
// count; values above tkCustom leave `dest` alone. `source` and `dest` may be the same buffer.
void EncodeChars(std::uint8_t kind, const std::uint8_t* source, std::uint8_t* dest,
                 std::size_t count);
void DecodeChars(std::uint8_t kind, const std::uint8_t* source, std::uint8_t* dest,
                 std::size_t count);

std::uint16_t SwapByteOrder16(std::uint16_t unit);

// Unicode mode display: min(2, available) bytes into a zeroed unit (first byte low), swapped when
// big-endian; values below 20h become the mask character (as a UTF-16 unit).
char16_t UnicodeDisplayChar(const std::uint8_t* bytes, std::int32_t available, bool bigEndian,
                            std::uint8_t maskChar);
// Unicode mode typing: nullopt when the character is refused (below 20h); else the two bytes to
// store, in memory order.
std::optional<std::array<std::uint8_t, 2>> UnicodeBytesForChar(std::uint8_t ansiChar,
                                                               bool bigEndian);

std::string_view TranslationLongName(HexTranslationKind kind);
std::string_view TranslationShortName(HexTranslationKind kind);
std::string_view UnicodeLongName(bool bigEndian);
std::string_view UnicodeShortName(bool bigEndian);

} // namespace quillon
