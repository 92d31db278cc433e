#pragma once

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
    std::int32_t MarginLeft() const { return marginLeft_; }
    void SetMarginLeft(std::int32_t margin) { marginLeft_ = margin; }
    std::int32_t MarginTop() const { return marginTop_; }
    void SetMarginTop(std::int32_t margin) { marginTop_ = margin; }
    std::int32_t MarginRight() const { return marginRight_; }
    void SetMarginRight(std::int32_t margin) { marginRight_ = margin; }
    std::int32_t MarginBottom() const { return marginBottom_; }
    void SetMarginBottom(std::int32_t margin) { marginBottom_ = margin; }
    const QString& PageHeader() const { return pageHeader_; }
    void SetPageHeader(const QString& header) { pageHeader_ = header; }
    const QString& PageFooter() const { return pageFooter_; }
    void SetPageFooter(const QString& footer) { pageFooter_ = footer; }
    HexPrintFlags Flags() const { return flags_; }
    void SetFlags(HexPrintFlags flags) { flags_ = flags; }

private:
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
