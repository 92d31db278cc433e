#pragma once

#include <algorithm>
#include <cstdint>

#include <QFont>
#include <QString>

#include "editor/core/hex_color.h"

namespace quillon {

// Print flags as bits, in declaration order.
using HexPrintFlags = std::uint8_t;

struct HexPrintFlag {
    static constexpr HexPrintFlags pfSelectionOnly = 1;
    static constexpr HexPrintFlags pfSelectionBold = 2;
    static constexpr HexPrintFlags pfMonochrome = 4;
    static constexpr HexPrintFlags pfUseBackgroundColor = 8;
    static constexpr HexPrintFlags pfCurrentViewOnly = 16;
};

// Margins in millimetres, the page header and footer templates and the print flags.
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
    std::int32_t Margin(std::int32_t index) const { return this->*MarginField(index); }
    void SetMargin(std::int32_t index, std::int32_t margin) {
        this->*MarginField(index) = std::max(0, margin);
    }
    // Index 0 the header; any other index the footer.
    const QString& HeaderFooter(std::int32_t index) const {
        return index == kPageHeader ? pageHeader_ : pageFooter_;
    }
    void SetHeaderFooter(std::int32_t index, const QString& text) {
        (index == kPageHeader ? pageHeader_ : pageFooter_) = text;
    }

    std::int32_t MarginLeft() const { return marginLeft_; }
    void SetMarginLeft(std::int32_t margin) { SetMargin(kMarginLeft, margin); }
    std::int32_t MarginTop() const { return marginTop_; }
    void SetMarginTop(std::int32_t margin) { SetMargin(kMarginTop, margin); }
    std::int32_t MarginRight() const { return marginRight_; }
    void SetMarginRight(std::int32_t margin) { SetMargin(kMarginRight, margin); }
    std::int32_t MarginBottom() const { return marginBottom_; }
    void SetMarginBottom(std::int32_t margin) { SetMargin(kMarginBottom, margin); }
    const QString& PageHeader() const { return pageHeader_; }
    void SetPageHeader(const QString& header) { pageHeader_ = header; }
    const QString& PageFooter() const { return pageFooter_; }
    void SetPageFooter(const QString& footer) { pageFooter_ = footer; }
    HexPrintFlags Flags() const { return flags_; }
    void SetFlags(HexPrintFlags flags) { flags_ = flags; }

    // Copies all seven values.
    void Assign(const HexPrintOptions& source) { *this = source; }
    bool operator==(const HexPrintOptions&) const = default;

private:
    static std::int32_t HexPrintOptions::*MarginField(std::int32_t index) {
        switch (index) {
        case kMarginLeft:
            return &HexPrintOptions::marginLeft_;
        case kMarginTop:
            return &HexPrintOptions::marginTop_;
        case kMarginRight:
            return &HexPrintOptions::marginRight_;
        default:
            return &HexPrintOptions::marginBottom_;
        }
    }

    std::int32_t marginLeft_ = 20;
    std::int32_t marginTop_ = 15;
    std::int32_t marginRight_ = 25;
    std::int32_t marginBottom_ = 25;
    QString pageHeader_;
    QString pageFooter_;
    HexPrintFlags flags_ = HexPrintFlag::pfSelectionBold | HexPrintFlag::pfMonochrome;
};

// A font as the settings text describes it: the Qt font with the colour and character set the
// settings carry along (1 is the default character set).
struct HexFont {
    QFont font;
    Color color = clWindowText;
    std::int32_t charset = 1;
};

} // namespace quillon
