#include "editor/core/offset_format.h"

#include <gtest/gtest.h>

#include "hex_error_matchers.h"

namespace quillon {
namespace {

constexpr OffsetUnits kDefaultUnits{16, 2, 1};

OffsetFormat Parsed(const std::string& text, const OffsetUnits& units = kDefaultUnits) {
    OffsetFormat format;
    format.Assign(text, units);
    return format;
}

TEST(OffsetFormatTest, DefaultFormat) {
    const OffsetFormat format;
    EXPECT_EQ(format.Text(), "-!10:0x|");
    EXPECT_TRUE(format.AutoDigits());
    EXPECT_TRUE(format.RulerUnit());
    EXPECT_FALSE(format.RowUnit());
    EXPECT_FALSE(format.ColumnUnit());
    EXPECT_EQ(format.OffsetRadix(), 16);
    EXPECT_EQ(format.OffsetDivisor(), 1u);
    EXPECT_EQ(format.OffsetDigits(), 1);
    EXPECT_EQ(format.OffsetPrefix(), "0x");
    EXPECT_EQ(format.OffsetSuffix(), "");
}

TEST(OffsetFormatTest, DefaultFormatOnOneMebibyteDocument) {
    OffsetFormat format;
    format.FitDigitsTo(0xFFFF0); // the last of 65536 rows of 16 bytes
    EXPECT_EQ(format.OffsetDigits(), 5);
    EXPECT_EQ(format.Format(0, false), "0x00000");
    EXPECT_EQ(format.Format(9 * 16, false), "0x00090");
    EXPECT_EQ(format.Format(0xAB0, false), "0x00AB0");
    EXPECT_EQ(format.Format(0xAB0, true), "0x00ab0");
}

struct FormatCase {
    std::string text;
    OffsetUnits units;
    std::uint32_t position;
    std::string expected;
};

TEST(OffsetFormatTest, FormatsPositions) {
    const FormatCase cases[] = {
        {"8%!10:|h", kDefaultUnits, 64, "8h"}, // units of 8 bytes, suffix h
        {"8%!10:|h", kDefaultUnits, 7, "0h"},
        {"2!A:#|", kDefaultUnits, 5, "#05"}, // decimal, two digits, prefix #
        {"2!A:#|", {16, 2, 4}, 20, "#05"},   // divisor = ruler unit
        {"r%-!10:|", {8, 2, 1}, 0x80, "10"}, // numbers rows
        {"R%!10:|", {8, 2, 1}, 0x7F, "F"},
        {"c%4!10:|", {16, 4, 1}, 0x40, "0010"},
        {"%!2:|", {16, 2, 2}, 8, "100"},
        {"!10:X|Y|Z", kDefaultUnits, 0xA, "XAY|Z"}, // later bars belong to the suffix
        {"0!10:<|>", kDefaultUnits, 0, "<>"},       // zero digits hide position 0
        {"0!10:<|>", kDefaultUnits, 0x1A, "<1A>"},
        {"101%!10:|", kDefaultUnits, 0x10, "10"},     // a written unit keeps its low byte
        {"102:|", kDefaultUnits, 5, "101"},           // so does the radix
        {"10A!10:|", kDefaultUnits, 1, "0000000001"}, // the low byte of the digit count is used
        {"8%!10:0x|", kDefaultUnits, 0xFFFFFFFF, "0x1FFFFFFF"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(Parsed(c.text, c.units).Format(c.position, false), c.expected) << c.text;
    }
}

TEST(OffsetFormatTest, EmptyFormatGivesEmptyTexts) {
    OffsetFormat format;
    format.Assign("", kDefaultUnits);
    EXPECT_EQ(format.Text(), "");
    EXPECT_EQ(format.Format(0x1234, false), "");
    EXPECT_FALSE(format.AutoDigits());
    EXPECT_FALSE(format.RulerUnit());
    EXPECT_EQ(format.OffsetPrefix(), "0x"); // the other fields stay as they were
}

struct ErrorCase {
    std::string text;
    OffsetUnits units;
    std::string message;
};

TEST(OffsetFormatTest, ErrorsKeepThePreviousFormat) {
    const ErrorCase cases[] = {
        {"r%-!10:|", {16, 2, 1}, "Invalid bytes per unit value 16, allowed: 1,2,4,8"},
        {"r%-!10:|", {256, 2, 1}, "Invalid bytes per unit value 256, allowed: 1,2,4,8"},
        {"C%!10:|", {16, 3, 1}, "Invalid bytes per unit value 3, allowed: 1,2,4,8"},
        {"3%!10:|", kDefaultUnits, "Invalid bytes per unit value 3, allowed: 1,2,4,8"},
        {"100%!10:|", kDefaultUnits, "Invalid bytes per unit value 0, allowed: 1,2,4,8"},
        {"-!11:|", kDefaultUnits, "Invalid radix in offset format (11h), allowed: 02h..10h"},
        {"-!1:|", kDefaultUnits, "Invalid radix in offset format (1h), allowed: 02h..10h"},
        {"-!1A:|", kDefaultUnits, "Invalid radix in offset format (1Ah), allowed: 02h..10h"},
        {"-!:|", kDefaultUnits, "Missing char in offset format: number radix"},
        {"-!", kDefaultUnits, "Missing char in offset format: number radix"},
        {"-!10|", kDefaultUnits, "Missing char in offset format: :"},
        {"-!10", kDefaultUnits, "Missing char in offset format: :"},
        {"-!10:0x", kDefaultUnits, "Missing char in offset format: |"},
    };
    for (const ErrorCase& c : cases) {
        OffsetFormat format;
        format.Assign("2%5!A:<|>", kDefaultUnits);
        EXPECT_TRUE(RaisesHexError([&] { format.Assign(c.text, c.units); }, c.message)) << c.text;
        EXPECT_EQ(format.Text(), "2%5!A:<|>");
        EXPECT_EQ(format.OffsetFlags(), 0);
        EXPECT_EQ(format.OffsetDivisor(), 2u);
        EXPECT_EQ(format.OffsetDigits(), 5);
        EXPECT_EQ(format.OffsetRadix(), 10);
        EXPECT_EQ(format.OffsetPrefix(), "<");
        EXPECT_EQ(format.OffsetSuffix(), ">");
        EXPECT_EQ(format.Format(20, false), "<00010>");
    }
}

// The row unit has since grown past 8, so parsing the old text again would fail.
TEST(OffsetFormatTest, FailedAssignmentKeepsAFormatThatNoLongerParses) {
    OffsetFormat format = Parsed("r%!10:|", {8, 2, 1});
    format.FollowBytesPerRow(16);
    EXPECT_TRUE(RaisesHexError(
        [&] {
            format.Assign("-!10:0x", {16, 2, 1});
        },
        "Missing char in offset format: |"));
    EXPECT_EQ(format.Text(), "r%!10:|");
    EXPECT_TRUE(format.RowUnit());
    EXPECT_EQ(format.Format(0x20, false), "2");
}

TEST(OffsetFormatTest, DivisorFollowsItsUnitWithoutTheCheck) {
    OffsetFormat rows = Parsed("r%!10:|", {8, 2, 1});
    rows.FollowBytesPerRow(256); // a one-byte divisor would be 0 here
    EXPECT_EQ(rows.OffsetDivisor(), 256u);
    EXPECT_EQ(rows.Format(0x300, false), "3");
    rows.FollowBytesPerColumn(4);
    rows.FollowRulerUnit(2);
    EXPECT_EQ(rows.OffsetDivisor(), 256u);

    OffsetFormat columns = Parsed("C%!10:|", {16, 2, 1});
    columns.FollowBytesPerColumn(3);
    EXPECT_EQ(columns.Format(9, false), "3");

    OffsetFormat ruler = Parsed("!10:|", {16, 2, 1});
    ruler.FollowBytesPerRow(4);
    EXPECT_EQ(ruler.OffsetDivisor(), 1u);
    ruler.FollowRulerUnit(4);
    EXPECT_EQ(ruler.Format(0x40, false), "10");

    OffsetFormat written = Parsed("4%!10:|", {16, 2, 1});
    written.FollowRulerUnit(1);
    EXPECT_EQ(written.OffsetDivisor(), 4u);
}

TEST(OffsetFormatTest, FitDigitsOnlyWithAutoDigits) {
    OffsetFormat automatic = Parsed("R%-!A:|", {8, 2, 1});
    automatic.FitDigitsTo(8 * 12345);
    EXPECT_EQ(automatic.OffsetDigits(), 5);
    EXPECT_EQ(automatic.Format(8, false), "00001");

    OffsetFormat fixed = Parsed("3!10:|");
    fixed.FitDigitsTo(0xFFFFFF);
    EXPECT_EQ(fixed.OffsetDigits(), 3);
}

} // namespace
} // namespace quillon
