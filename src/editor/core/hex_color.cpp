// Colour identifiers of the settings texts.
#include "editor/core/hex_color.h"

#include <array>
#include <charconv>
#include <strings.h>
#include <utility>

#include "editor/core/hex_error.h"
#include "editor/core/radix.h"

namespace quillon {

namespace {

struct NamedColor {
    Color value;
    const char* name;
};

constexpr std::array kNamedColors{
    NamedColor{clBlack, "clBlack"},
    NamedColor{clMaroon, "clMaroon"},
    NamedColor{clGreen, "clGreen"},
    NamedColor{clOlive, "clOlive"},
    NamedColor{clNavy, "clNavy"},
    NamedColor{clPurple, "clPurple"},
    NamedColor{clTeal, "clTeal"},
    NamedColor{clGray, "clGray"},
    NamedColor{clSilver, "clSilver"},
    NamedColor{clRed, "clRed"},
    NamedColor{clLime, "clLime"},
    NamedColor{clYellow, "clYellow"},
    NamedColor{clBlue, "clBlue"},
    NamedColor{clFuchsia, "clFuchsia"},
    NamedColor{clAqua, "clAqua"},
    NamedColor{clWhite, "clWhite"},
    NamedColor{clMoneyGreen, "clMoneyGreen"},
    NamedColor{clSkyBlue, "clSkyBlue"},
    NamedColor{clCream, "clCream"},
    NamedColor{clMedGray, "clMedGray"},
    NamedColor{clActiveBorder, "clActiveBorder"},
    NamedColor{clActiveCaption, "clActiveCaption"},
    NamedColor{clAppWorkSpace, "clAppWorkSpace"},
    NamedColor{clBackground, "clBackground"},
    NamedColor{clBtnFace, "clBtnFace"},
    NamedColor{clBtnHighlight, "clBtnHighlight"},
    NamedColor{clBtnShadow, "clBtnShadow"},
    NamedColor{clBtnText, "clBtnText"},
    NamedColor{clCaptionText, "clCaptionText"},
    NamedColor{clDefault, "clDefault"},
    NamedColor{clGradientActiveCaption, "clGradientActiveCaption"},
    NamedColor{clGradientInactiveCaption, "clGradientInactiveCaption"},
    NamedColor{clGrayText, "clGrayText"},
    NamedColor{clHighlight, "clHighlight"},
    NamedColor{clHighlightText, "clHighlightText"},
    NamedColor{clHotLight, "clHotLight"},
    NamedColor{clInactiveBorder, "clInactiveBorder"},
    NamedColor{clInactiveCaption, "clInactiveCaption"},
    NamedColor{clInactiveCaptionText, "clInactiveCaptionText"},
    NamedColor{clInfoBk, "clInfoBk"},
    NamedColor{clInfoText, "clInfoText"},
    NamedColor{clMenu, "clMenu"},
    NamedColor{clMenuBar, "clMenuBar"},
    NamedColor{clMenuHighlight, "clMenuHighlight"},
    NamedColor{clMenuText, "clMenuText"},
    NamedColor{clNone, "clNone"},
    NamedColor{clScrollBar, "clScrollBar"},
    NamedColor{cl3DDkShadow, "cl3DDkShadow"},
    NamedColor{cl3DLight, "cl3DLight"},
    NamedColor{clWindow, "clWindow"},
    NamedColor{clWindowFrame, "clWindowFrame"},
    NamedColor{clWindowText, "clWindowText"},
};

template <typename Number>
bool ParseWhole(const std::string& text, std::size_t from, int base, Number& value) {
    const char* first = text.data() + from;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, base);
    return first != last && error == std::errc() && end == last;
}

} // namespace

std::string ColorToString(Color color) {
    for (const NamedColor& named : kNamedColors) {
        if (named.value == color) {
            return named.name;
        }
    }
    return "$" + FormatRadixPadded(color, 16, 8);
}

Color StringToColor(const std::string& text) {
    for (const NamedColor& named : kNamedColors) {
        if (::strcasecmp(named.name, text.c_str()) == 0) {
            return named.value;
        }
    }
    std::uint32_t hex = 0;
    if (!text.empty() && text[0] == '$' && ParseWhole(text, 1, 16, hex)) {
        return hex;
    }
    std::int64_t decimal = 0;
    if (ParseWhole(text, 0, 10, decimal) && decimal >= INT32_MIN && decimal <= UINT32_MAX) {
        return static_cast<Color>(decimal);
    }
    throw EHexEditor(FormatMessage("Invalid color value \"%s\"", text.c_str()));
}

} // namespace quillon
