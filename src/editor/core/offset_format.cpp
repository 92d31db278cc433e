#include "editor/core/offset_format.h"

#include <algorithm>
#include <cctype>

#include "editor/core/hex_error.h"
#include "editor/core/radix.h"

namespace quillon {
namespace {

constexpr std::uint8_t kHexRadix = 16;
constexpr std::uint8_t kMinRadix = 2;
constexpr std::uint8_t kMaxRadix = 16;

// Length of the run of hexadecimal digits that `text` starts with.
std::size_t HexRunLength(const std::string& text) {
    const std::size_t end = text.find_first_not_of("0123456789abcdefABCDEF");
    return end == std::string::npos ? text.size() : end;
}

// Whether the first character of `text` that is no hexadecimal digit is `marker`.
bool FirstNonDigitIs(const std::string& text, char marker) {
    const std::size_t run = HexRunLength(text);
    return run < text.size() && text[run] == marker;
}

// The hexadecimal number that `text` starts with, removed together with the marker after it.
std::uint32_t TakeNumberBefore(std::string& text) {
    const std::size_t run = HexRunLength(text);
    const auto number = static_cast<std::uint32_t>(ParseRadix(text.substr(0, run), kHexRadix));
    text.erase(0, run + 1);
    return number;
}

bool StartsWithUpperCased(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char expected, char actual) {
        return expected == std::toupper(static_cast<unsigned char>(actual));
    });
}

bool IsAllowedDivisor(std::uint32_t divisor) {
    return divisor == 1 || divisor == 2 || divisor == 4 || divisor == 8;
}

[[noreturn]] void ThrowMissing(const char* what) {
    throw EHexEditor(FormatMessage("Missing char in offset format: %s", what));
}

void LowerCaseDigits(std::string& digits) {
    for (char& c : digits) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
}

} // namespace

OffsetFormat::OffsetFormat() {
    Parse("-!10:0x|", OffsetUnits{16, 2, 1});
}

void OffsetFormat::Assign(const std::string& text, const OffsetUnits& units) {
    OffsetFormat parsed = *this;
    parsed.Parse(text, units);
    *this = std::move(parsed);
}

void OffsetFormat::Parse(const std::string& text, const OffsetUnits& units) {
    flags_ = 0;
    if (!text.empty()) {
        std::string rest = text;
        ParseUnit(rest, units);
        ParseDigits(rest);
        ParseNumberRadix(rest);
        ParseAffixes(rest);
    }
    text_ = text;
}

void OffsetFormat::ParseUnit(std::string& rest, const OffsetUnits& units) {
    if (StartsWithUpperCased(rest, "R%")) {
        flags_ |= kRowUnit;
        rest.erase(0, 2);
        divisor_ = static_cast<std::uint32_t>(units.bytesPerRow);
    } else if (StartsWithUpperCased(rest, "C%")) {
        flags_ |= kColumnUnit;
        rest.erase(0, 2);
        divisor_ = static_cast<std::uint32_t>(units.bytesPerColumn);
    } else if (FirstNonDigitIs(rest, '%') && rest.front() != '%') {
        // A written number keeps its low byte, as the format has always stored it.
        divisor_ = static_cast<std::uint8_t>(TakeNumberBefore(rest));
    } else {
        flags_ |= kRulerUnit;
        if (FirstNonDigitIs(rest, '%')) {
            rest.erase(0, 1);
        }
        divisor_ = static_cast<std::uint32_t>(units.rulerUnit);
    }
    if (!IsAllowedDivisor(divisor_)) {
        throw EHexEditor(FormatMessage("Invalid bytes per unit value %d, allowed: 1,2,4,8",
                                       static_cast<int>(divisor_)));
    }
}

void OffsetFormat::ParseDigits(std::string& rest) {
    digits_ = 1;
    if (rest.starts_with("-!")) {
        flags_ |= kAutoDigits;
        rest.erase(0, 2);
    } else if (FirstNonDigitIs(rest, '!')) {
        const bool written = rest.front() != '!';
        const auto number = static_cast<std::int32_t>(TakeNumberBefore(rest));
        digits_ = written ? number : 1;
    }
}

void OffsetFormat::ParseNumberRadix(std::string& rest) {
    if (HexRunLength(rest) == 0) {
        ThrowMissing("number radix");
    }
    if (!FirstNonDigitIs(rest, ':')) {
        ThrowMissing(":");
    }
    const auto radix = static_cast<std::uint8_t>(TakeNumberBefore(rest));
    if (radix < kMinRadix || radix > kMaxRadix) {
        throw EHexEditor(FormatMessage("Invalid radix in offset format (%Xh), allowed: 02h..10h",
                                       static_cast<unsigned>(radix)));
    }
    radix_ = radix;
}

void OffsetFormat::ParseAffixes(const std::string& rest) {
    const std::size_t bar = rest.find('|');
    if (bar == std::string::npos) {
        ThrowMissing("|");
    }
    prefix_ = rest.substr(0, bar);
    suffix_ = rest.substr(bar + 1);
}

void OffsetFormat::Follow(std::uint8_t flag, std::int32_t unit) {
    if ((flags_ & flag) != 0) {
        divisor_ = static_cast<std::uint32_t>(unit);
    }
}

void OffsetFormat::FollowBytesPerRow(std::int32_t bytesPerRow) {
    Follow(kRowUnit, bytesPerRow);
}

void OffsetFormat::FollowBytesPerColumn(std::int32_t bytesPerColumn) {
    Follow(kColumnUnit, bytesPerColumn);
}

void OffsetFormat::FollowRulerUnit(std::int32_t rulerUnit) {
    Follow(kRulerUnit, rulerUnit);
}

std::uint32_t OffsetFormat::InUnits(std::uint32_t position) const {
    // A unit of 0 can only come from a caller's Follow; such offsets are shown undivided.
    return divisor_ == 0 ? position : position / divisor_;
}

std::string OffsetFormat::Format(std::uint32_t position, bool lowerCase) const {
    if (text_.empty()) {
        return {};
    }
    std::string number;
    if (digits_ != 0 || position != 0) {
        number = FormatRadixPadded(InUnits(position), radix_, static_cast<std::uint8_t>(digits_));
        if (lowerCase) {
            LowerCaseDigits(number);
        }
    }
    return prefix_ + number + suffix_;
}

void OffsetFormat::FitDigitsTo(std::uint32_t lastOffset) {
    if (AutoDigits()) {
        digits_ = static_cast<std::int32_t>(FormatRadix(InUnits(lastOffset), radix_).size());
    }
}

} // namespace quillon
