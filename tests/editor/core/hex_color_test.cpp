#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/core/hex_color.h"
#include "editor/core/hex_error.h"

namespace quillon {

TEST(HexColorTest, NamesAndHexadecimalTexts) {
    const std::vector<std::pair<Color, std::string>> cases{
        {clBlack, "clBlack"},           {clNavy, "clNavy"},        {clMedGray, "clMedGray"},
        {clWindow, "clWindow"},         {clBtnFace, "clBtnFace"},  {clNone, "clNone"},
        {clDefault, "clDefault"},       {0x00A8FFFF, "$00A8FFFF"}, {0x000001, "$00000001"},
        {SystemColor(25), "$FF000019"},
    };
    for (const auto& [color, text] : cases) {
        EXPECT_EQ(ColorToString(color), text);
        EXPECT_EQ(StringToColor(text), color) << text;
    }
}

TEST(HexColorTest, ReadsIdentifiersInAnyCaseAndDecimalNumbers) {
    EXPECT_EQ(StringToColor("CLRED"), clRed);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("-16777211"), clWindow) << "system colours are negative as int32";
    EXPECT_EQ(StringToColor("$ff"), clRed);
}

TEST(HexColorTest, RejectsWhatIsNoColour) {
    for (const std::string text : {"", "clPink", "$", "$1G", "12a", "4294967296", " 5"}) {
        EXPECT_THROW(StringToColor(text), EHexEditor) << '"' << text << '"';
    }
}

} // namespace quillon
