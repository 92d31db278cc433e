#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Number <-> text conversions of the hex editor (offsets, clipboard and print texts).
namespace quillon {

// Upper-case digits; a radix outside 2..16 raises EHexEditor.
std::string FormatRadix(std::uint32_t value, std::uint8_t radix);
// As FormatRadix, left-padded with "0" to at least minLength characters.
std::string FormatRadixPadded(std::uint32_t value, std::uint8_t radix, std::uint8_t minLength);
// Strict and case-insensitive; wraps at 32 bits; the empty text gives 0. EHexEditor on a
// character outside the radix or a radix outside 2..16.
std::int32_t ParseRadix(std::string_view text, std::uint8_t radix);

// Hexadecimal digits of either case taken in pairs, everything else skipped; a lone last digit
// is dropped.
std::vector<std::uint8_t> HexTextToBytes(std::string_view text, bool swapNibbles);
// Two upper-case digits per byte, high half first (low half first with swapNibbles).
std::string BytesToHexText(const std::uint8_t* source, std::size_t count, bool swapNibbles);

// The value of a hexadecimal digit of either case; nullopt for any other character.
std::optional<std::uint8_t> HexDigitValue(char c);

// "0123456789ABCDEF" / "0123456789abcdef".
std::string_view HexDigits(bool lowerCase);

} // namespace quillon
