#include "editor/widget/hex_colors.h"

namespace quillon {

HexColors::HexColors(std::function<void()> changed)
    : colors_{clWindow, 0xA8FFFF,    0x000080,  0x800000,       0x000000,  0xFF0000,
              0x800000, clBtnShadow, clBtnFace, clBtnHighlight, clBtnFace, 0xFFFF00},
      changed_(std::move(changed)) {}

void HexColors::Assign(const HexColors& source) {
    for (std::size_t i = 0; i < kCount; ++i) {
        Set(static_cast<Index>(i), source.colors_[i]);
    }
}

void HexColors::Set(Index index, Color color) {
    if (colors_[index] == color) {
        return;
    }
    colors_[index] = color;
    if (changed_) {
        changed_();
    }
}

namespace {

QPalette::ColorRole RoleOfSystemColor(std::uint8_t index) {
    switch (index) {
    case 5:
        return QPalette::Base;
    case 7:
    case 8:
    case 9:
        return QPalette::Text;
    case 23:
        return QPalette::ToolTipText;
    case 13:
    case 29:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15:
    case 4:
    case 30:
        return QPalette::Button;
    case 16:
        return QPalette::Dark;
    case 18:
        return QPalette::ButtonText;
    case 20:
        return QPalette::Light;
    case 21:
        return QPalette::Shadow;
    case 22:
        return QPalette::Midlight;
    case 24:
        return QPalette::ToolTipBase;
    case 17:
        return QPalette::PlaceholderText;
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor ResolveColor(Color color, const QPalette& palette) {
    if (IsSystemColor(color)) {
        return palette.color(QPalette::Active, RoleOfSystemColor(color & 0xFF));
    }
    if (color == clNone || color == clDefault) {
        return palette.color(QPalette::Active, QPalette::Base);
    }
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

QColor InvertRgb(const QColor& color) {
    return QColor::fromRgb(color.rgb() ^ 0xFFFFFF);
}

QColor GrayOf(const QColor& color) {
    const int value = (74 * color.red() + 146 * color.green() + 36 * color.blue()) >> 8;
    return QColor(value, value, value);
}

} // namespace quillon
