#include "platform/codepage/codepage.h"

#include <gtest/gtest.h>

namespace quillon::codepage {

TEST(CodepageTest, CyrillicLettersMapBetweenPages) {
    EXPECT_EQ(AnsiToUnicode(0xC0), u'\u0410'); // А
    EXPECT_EQ(OemToUnicode(0x80), u'\u0410');
    EXPECT_EQ(AnsiToOem(0xC0), 0x80);
    EXPECT_EQ(OemToAnsi(0x80), 0xC0);
    EXPECT_EQ(AnsiToOem(0xFF), 0xEF); // я
    EXPECT_EQ(AnsiToOem('A'), 'A');
}

TEST(CodepageTest, CharactersMissingFromTheTargetPageBecomeQuestionMarks) {
    EXPECT_EQ(AnsiToOem(0x88), '?'); // euro sign has no CP866 code
    EXPECT_EQ(OemToAnsi(0xB0), '?'); // shade block has no Windows-1251 code
    EXPECT_FALSE(UnicodeToAnsi(U'\u4E00').has_value());
    EXPECT_EQ(UnicodeToAnsi(0), std::uint8_t{0});
}

TEST(CodepageTest, LowerCaseFollowsWindows1251Pairs) {
    EXPECT_EQ(AnsiLower('A'), 'a');
    EXPECT_EQ(AnsiLower(0xC0), 0xE0);
    EXPECT_EQ(AnsiLower(0xA8), 0xB8); // Ё → ё
    EXPECT_EQ(AnsiLower('1'), '1');
    EXPECT_EQ(AnsiUpper(0xE0), 0xC0);
}

TEST(CodepageTest, Utf8RoundTripAndLossReport) {
    const std::string ansi = "Hi \xCF\xF0\xE8\xE2\xE5\xF2"; // "Hi Привет"
    const std::string utf8 = AnsiToUtf8(ansi);
    EXPECT_EQ(utf8, "Hi \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    bool lossless = false;
    EXPECT_EQ(Utf8ToAnsi(utf8, &lossless), ansi);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\x80x", &lossless), "?x");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToAnsi("\xFF\xC3", &lossless), "??");
}

} // namespace quillon::codepage
