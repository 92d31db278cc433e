#pragma once

#include <cstdint>
#include <string>

// The gutter's offset format: unit, digit count, radix, prefix and suffix, e.g. "-!10:0x|".
namespace quillon {

struct OffsetUnits {
    std::int32_t bytesPerRow;
    std::int32_t bytesPerColumn;
    std::int32_t rulerUnit; // RulerBytesPerUnit, or BytesPerUnit when that is -1
};

class OffsetFormat {
public:
    static constexpr std::uint8_t kAutoDigits = 1;
    static constexpr std::uint8_t kRowUnit = 2;
    static constexpr std::uint8_t kColumnUnit = 4;
    static constexpr std::uint8_t kRulerUnit = 8;

    OffsetFormat(); // "-!10:0x|" with 16 bytes per row, 2 per column, ruler unit 1

    const std::string& Text() const { return text_; }
    // Parses `text`; on failure every field keeps its previous value and the error passes on.
    void Assign(const std::string& text, const OffsetUnits& units);

    // Keep the divisor current when it follows that unit (no 1/2/4/8 check).
    void FollowBytesPerRow(std::int32_t bytesPerRow);
    void FollowBytesPerColumn(std::int32_t bytesPerColumn);
    void FollowRulerUnit(std::int32_t rulerUnit);

    // Prefix, number and suffix of a byte position; empty when the format text is empty.
    std::string Format(std::uint32_t position, bool lowerCase) const;
    // With AutoDigits: OffsetDigits := number of digits of the largest offset in units.
    void FitDigitsTo(std::uint32_t lastOffset);

    std::uint8_t OffsetFlags() const { return flags_; }
    bool AutoDigits() const { return (flags_ & kAutoDigits) != 0; }
    bool RowUnit() const { return (flags_ & kRowUnit) != 0; }
    bool ColumnUnit() const { return (flags_ & kColumnUnit) != 0; }
    bool RulerUnit() const { return (flags_ & kRulerUnit) != 0; }
    std::uint8_t OffsetRadix() const { return radix_; }
    // Wide enough for a row of 256 bytes.
    std::uint32_t OffsetDivisor() const { return divisor_; }
    std::int32_t OffsetDigits() const { return digits_; }
    const std::string& OffsetPrefix() const { return prefix_; }
    const std::string& OffsetSuffix() const { return suffix_; }

private:
    void Parse(const std::string& text, const OffsetUnits& units);
    void ParseUnit(std::string& rest, const OffsetUnits& units);
    void ParseDigits(std::string& rest);
    void ParseNumberRadix(std::string& rest);
    void ParseAffixes(const std::string& rest);
    void Follow(std::uint8_t flag, std::int32_t unit);
    std::uint32_t InUnits(std::uint32_t position) const;

    std::string text_;
    std::uint8_t flags_ = 0;
    std::uint8_t radix_ = 16;
    std::uint32_t divisor_ = 1;
    std::int32_t digits_ = 1;
    std::string prefix_;
    std::string suffix_;
};

} // namespace quillon
