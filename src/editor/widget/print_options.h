#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quillon {

// Declaration order gives the bit values 1, 2, 4, 8, 16.
enum class HexPrintFlag : std::uint8_t {
    pfSelectionOnly,
    pfSelectionBold,
    pfMonochrome,
    pfUseBackgroundColor,
    pfCurrentViewOnly,
};

inline constexpr std::array<HexPrintFlag, 5> kHexPrintFlags{
    HexPrintFlag::pfSelectionOnly, HexPrintFlag::pfSelectionBold, HexPrintFlag::pfMonochrome,
    HexPrintFlag::pfUseBackgroundColor, HexPrintFlag::pfCurrentViewOnly};

// The identifier of a flag, as the settings text writes it ("pfMonochrome").
std::string_view HexPrintFlagName(HexPrintFlag flag);

class HexPrintFlags {
public:
    constexpr HexPrintFlags() = default;
    constexpr HexPrintFlags(std::initializer_list<HexPrintFlag> flags) {
        for (const HexPrintFlag flag : flags) {
            bits_ |= Bit(flag);
        }
    }
    static constexpr HexPrintFlags FromBits(std::uint8_t bits) {
        HexPrintFlags flags;
        flags.bits_ = bits & 0x1F;
        return flags;
    }

    constexpr std::uint8_t Bits() const { return bits_; }
    constexpr bool Has(HexPrintFlag flag) const { return (bits_ & Bit(flag)) != 0; }
    constexpr HexPrintFlags With(HexPrintFlag flag) const { return FromBits(bits_ | Bit(flag)); }
    constexpr HexPrintFlags Without(HexPrintFlag flag) const {
        return FromBits(bits_ & ~Bit(flag));
    }
    constexpr bool operator==(const HexPrintFlags&) const = default;

private:
    static constexpr std::uint8_t Bit(HexPrintFlag flag) {
        return static_cast<std::uint8_t>(1U << static_cast<unsigned>(flag));
    }
    std::uint8_t bits_ = 0;
};

// Margins in millimetres, the page header and footer templates (UTF-8) and the print flags.
class HexPrintOptions {
public:
    static constexpr std::int32_t kMarginLeft = 1;
    static constexpr std::int32_t kMarginTop = 2;
    static constexpr std::int32_t kMarginRight = 3;
    static constexpr std::int32_t kMarginBottom = 4;
    static constexpr std::int32_t kPageHeader = 0;
    static constexpr std::int32_t kPageFooter = 1;

    // Indices 1 left, 2 top, 3 right; any other index is the bottom margin. A negative margin
    // is stored as 0.
    std::int32_t Margin(std::int32_t index) const;
    void SetMargin(std::int32_t index, std::int32_t millimetres);
    // Index 0 the header; any other index the footer.
    const std::string& HeaderFooter(std::int32_t index) const;
    void SetHeaderFooter(std::int32_t index, const std::string& text);

    std::int32_t MarginLeft() const { return marginLeft_; }
    void SetMarginLeft(std::int32_t mm) { SetMargin(kMarginLeft, mm); }
    std::int32_t MarginTop() const { return marginTop_; }
    void SetMarginTop(std::int32_t mm) { SetMargin(kMarginTop, mm); }
    std::int32_t MarginRight() const { return marginRight_; }
    void SetMarginRight(std::int32_t mm) { SetMargin(kMarginRight, mm); }
    std::int32_t MarginBottom() const { return marginBottom_; }
    void SetMarginBottom(std::int32_t mm) { SetMargin(kMarginBottom, mm); }
    const std::string& PageHeader() const { return pageHeader_; }
    void SetPageHeader(const std::string& text) { pageHeader_ = text; }
    const std::string& PageFooter() const { return pageFooter_; }
    void SetPageFooter(const std::string& text) { pageFooter_ = text; }
    HexPrintFlags Flags() const { return flags_; }
    void SetFlags(HexPrintFlags flags) { flags_ = flags; }

    // Copies all seven values.
    void Assign(const HexPrintOptions& source) { *this = source; }
    bool operator==(const HexPrintOptions&) const = default;

private:
    template <typename Options> static auto& MarginField(Options& options, std::int32_t index);

    std::int32_t marginLeft_ = 20;
    std::int32_t marginTop_ = 15;
    std::int32_t marginRight_ = 25;
    std::int32_t marginBottom_ = 25;
    std::string pageHeader_;
    std::string pageFooter_;
    HexPrintFlags flags_{HexPrintFlag::pfSelectionBold, HexPrintFlag::pfMonochrome};
};

// The flags a page is drawn with: pfSelectionOnly only while something is selected.
HexPrintFlags EffectivePrintFlags(HexPrintFlags flags, std::int32_t selectionCount);

} // namespace quillon
