#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// A colour as the settings store it: 0x00BBGGRR, or a system colour 0xFF000000 | index that the
// widget resolves through its palette.
using Color = std::uint32_t;

inline constexpr Color kSystemColorFlag = 0xFF000000;

constexpr Color SystemColor(std::uint8_t index) {
    return kSystemColorFlag | index;
}
constexpr bool IsSystemColor(Color color) {
    return (color & 0xFF000000) == kSystemColorFlag;
}
constexpr Color Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return Color{red} | Color{green} << 8 | Color{blue} << 16;
}
constexpr std::uint8_t RedOf(Color color) {
    return static_cast<std::uint8_t>(color & 0xFF);
}
constexpr std::uint8_t GreenOf(Color color) {
    return static_cast<std::uint8_t>(color >> 8 & 0xFF);
}
constexpr std::uint8_t BlueOf(Color color) {
    return static_cast<std::uint8_t>(color >> 16 & 0xFF);
}

inline constexpr Color clBlack = 0x000000;
inline constexpr Color clMaroon = 0x000080;
inline constexpr Color clGreen = 0x008000;
inline constexpr Color clOlive = 0x008080;
inline constexpr Color clNavy = 0x800000;
inline constexpr Color clPurple = 0x800080;
inline constexpr Color clTeal = 0x808000;
inline constexpr Color clGray = 0x808080;
inline constexpr Color clSilver = 0xC0C0C0;
inline constexpr Color clRed = 0x0000FF;
inline constexpr Color clLime = 0x00FF00;
inline constexpr Color clYellow = 0x00FFFF;
inline constexpr Color clBlue = 0xFF0000;
inline constexpr Color clFuchsia = 0xFF00FF;
inline constexpr Color clAqua = 0xFFFF00;
inline constexpr Color clWhite = 0xFFFFFF;
inline constexpr Color clMoneyGreen = 0xC0DCC0;
inline constexpr Color clSkyBlue = 0xF0CAA6;
inline constexpr Color clCream = 0xF0FBFF;
inline constexpr Color clMedGray = 0xA4A0A0;

inline constexpr Color clScrollBar = SystemColor(0);
inline constexpr Color clBackground = SystemColor(1);
inline constexpr Color clActiveCaption = SystemColor(2);
inline constexpr Color clInactiveCaption = SystemColor(3);
inline constexpr Color clMenu = SystemColor(4);
inline constexpr Color clWindow = SystemColor(5);
inline constexpr Color clWindowFrame = SystemColor(6);
inline constexpr Color clMenuText = SystemColor(7);
inline constexpr Color clWindowText = SystemColor(8);
inline constexpr Color clCaptionText = SystemColor(9);
inline constexpr Color clActiveBorder = SystemColor(10);
inline constexpr Color clInactiveBorder = SystemColor(11);
inline constexpr Color clAppWorkSpace = SystemColor(12);
inline constexpr Color clHighlight = SystemColor(13);
inline constexpr Color clHighlightText = SystemColor(14);
inline constexpr Color clBtnFace = SystemColor(15);
inline constexpr Color clBtnShadow = SystemColor(16);
inline constexpr Color clGrayText = SystemColor(17);
inline constexpr Color clBtnText = SystemColor(18);
inline constexpr Color clInactiveCaptionText = SystemColor(19);
inline constexpr Color clBtnHighlight = SystemColor(20);
inline constexpr Color cl3DDkShadow = SystemColor(21);
inline constexpr Color cl3DLight = SystemColor(22);
inline constexpr Color clInfoText = SystemColor(23);
inline constexpr Color clInfoBk = SystemColor(24);
inline constexpr Color clHotLight = SystemColor(26);
inline constexpr Color clGradientActiveCaption = SystemColor(27);
inline constexpr Color clGradientInactiveCaption = SystemColor(28);
inline constexpr Color clMenuHighlight = SystemColor(29);
inline constexpr Color clMenuBar = SystemColor(30);
inline constexpr Color clNone = 0x1FFFFFFF;
inline constexpr Color clDefault = 0x20000000;

// The identifier of a named colour, else "$" and eight hexadecimal digits.
std::string ColorToString(Color color);
// An identifier (any case), "$" and hexadecimal digits, or a signed decimal number; anything
// else raises EHexEditor.
Color StringToColor(const std::string& text);

} // namespace quillon
