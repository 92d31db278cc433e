#include "editor/core/radix.h"

#include <algorithm>
#include <array>
#include <optional>

#include "editor/core/hex_error.h"

namespace quillon {
namespace {

constexpr std::string_view kUpperDigits = "0123456789ABCDEF";
constexpr std::string_view kLowerDigits = "0123456789abcdef";
constexpr std::uint8_t kMinRadix = 2;
constexpr std::uint8_t kMaxRadix = 16;

// A radix of 0 or 1 would divide by zero or never end; above 16 there are no digits for it.
void CheckRadix(std::uint8_t radix) {
    if (radix < kMinRadix || radix > kMaxRadix) {
        throw EHexEditor(FormatMessage("Invalid radix %Xh, allowed: 02h..10h", radix));
    }
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::uint8_t SwapNibbles(std::uint8_t value) {
    return static_cast<std::uint8_t>((value << 4) | (value >> 4));
}

// The two text digits of every byte value, in both nibble orders.
struct HexPairs {
    std::array<std::array<char, 2>, 256> highFirst{};
    std::array<std::array<char, 2>, 256> lowFirst{};
};

constexpr HexPairs MakeHexPairs() {
    HexPairs pairs;
    for (std::size_t b = 0; b < 256; ++b) {
        const char high = kUpperDigits[b >> 4];
        const char low = kUpperDigits[b & 0xF];
        pairs.highFirst[b] = {high, low};
        pairs.lowFirst[b] = {low, high};
    }
    return pairs;
}

constexpr HexPairs kHexPairs = MakeHexPairs();

} // namespace

std::optional<std::uint8_t> HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint8_t>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<std::uint8_t>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return std::nullopt;
}

std::string FormatRadix(std::uint32_t value, std::uint8_t radix) {
    return FormatRadixPadded(value, radix, 0);
}

std::string FormatRadixPadded(std::uint32_t value, std::uint8_t radix, std::uint8_t minLength) {
    CheckRadix(radix);
    std::string digits;
    do {
        digits += kUpperDigits[value % radix];
        value /= radix;
    } while (value != 0);
    if (digits.size() < minLength) {
        digits.append(minLength - digits.size(), '0');
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::int32_t ParseRadix(std::string_view text, std::uint8_t radix) {
    CheckRadix(radix);
    std::uint32_t result = 0;
    for (char c : text) {
        const char upper = AsciiUpper(c);
        const std::optional<std::uint8_t> digit = HexDigitValue(upper);
        if (!digit || *digit >= radix) {
            throw EHexEditor(FormatMessage("Invalid character %s, cannot convert using radix %Xh",
                                           std::string(1, upper).c_str(), radix));
        }
        result = result * radix + *digit;
    }
    return static_cast<std::int32_t>(result);
}

std::vector<std::uint8_t> HexTextToBytes(std::string_view text, bool swapNibbles) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    std::optional<std::uint8_t> highHalf;
    for (char c : text) {
        const std::optional<std::uint8_t> digit = HexDigitValue(c);
        if (!digit) {
            continue;
        }
        if (!highHalf) {
            highHalf = digit;
            continue;
        }
        const auto value = static_cast<std::uint8_t>((*highHalf << 4) | *digit);
        bytes.push_back(swapNibbles ? SwapNibbles(value) : value);
        highHalf.reset();
    }
    return bytes;
}

std::string BytesToHexText(const std::uint8_t* source, std::size_t count, bool swapNibbles) {
    const auto& pairs = swapNibbles ? kHexPairs.lowFirst : kHexPairs.highFirst;
    std::string text(2 * count, '\0');
    char* out = text.data();
    for (std::size_t i = 0; i < count; ++i, out += 2) {
        out[0] = pairs[source[i]][0];
        out[1] = pairs[source[i]][1];
    }
    return text;
}

std::string_view HexDigits(bool lowerCase) {
    return lowerCase ? kLowerDigits : kUpperDigits;
}

} // namespace quillon
