#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The Russian Windows code page pair: ANSI is Windows-1251, OEM is CP866.
namespace quillon::codepage {

char16_t AnsiToUnicode(std::uint8_t ansi);
char16_t OemToUnicode(std::uint8_t oem);
std::optional<std::uint8_t> UnicodeToAnsi(char32_t code);
std::optional<std::uint8_t> UnicodeToOem(char32_t code);

// One character between the two 8-bit pages; a character the target page lacks becomes '?'.
std::uint8_t AnsiToOem(std::uint8_t ansi);
std::uint8_t OemToAnsi(std::uint8_t oem);

// Case pairs of Windows-1251 (Latin and Cyrillic letters).
std::uint8_t AnsiLower(std::uint8_t ansi);
std::uint8_t AnsiUpper(std::uint8_t ansi);
std::string AnsiLower(std::string_view ansi);

std::string AnsiToUtf8(std::string_view ansi);
// Characters outside Windows-1251 become '?'; `lossless` tells whether any did.
std::string Utf8ToAnsi(std::string_view utf8, bool* lossless = nullptr);

} // namespace quillon::codepage
