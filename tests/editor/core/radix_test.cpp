#include "editor/core/radix.h"

#include <gtest/gtest.h>

#include "hex_error_matchers.h"

namespace quillon {
namespace {

TEST(RadixTest, FormatRadixPadded) {
    const struct {
        std::uint32_t value;
        std::uint8_t radix;
        std::uint8_t minLength;
        std::string expected;
    } cases[] = {
        {0, 16, 0, "0"},
        {0, 10, 3, "000"},
        {255, 2, 10, "0011111111"},
        {255, 16, 0, "FF"},
        {255, 16, 1, "FF"},
        {0xFFFFFFFF, 16, 0, "FFFFFFFF"},
        {0xFFFFFFFF, 2, 0, std::string(32, '1')},
        {0xFFFFFFFF, 10, 0, "4294967295"},
        {35, 15, 0, "25"},
        {1234, 8, 6, "002322"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatRadixPadded(c.value, c.radix, c.minLength), c.expected)
            << c.value << " radix " << int(c.radix);
    }
    EXPECT_EQ(FormatRadix(0xABC, 16), "ABC");
}

TEST(RadixTest, RadixOutsideTwoToSixteenIsAnError) {
    const struct {
        std::uint8_t radix;
        std::string message;
    } cases[] = {
        {0, "Invalid radix 0h, allowed: 02h..10h"},
        {1, "Invalid radix 1h, allowed: 02h..10h"},
        {17, "Invalid radix 11h, allowed: 02h..10h"},
        {255, "Invalid radix FFh, allowed: 02h..10h"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(RaisesHexError([&] { FormatRadix(10, c.radix); }, c.message));
        EXPECT_TRUE(RaisesHexError([&] { FormatRadixPadded(0, c.radix, 4); }, c.message));
        EXPECT_TRUE(RaisesHexError([&] { ParseRadix("", c.radix); }, c.message));
    }
}

TEST(RadixTest, ParseRadix) {
    const struct {
        std::string_view text;
        std::uint8_t radix;
        std::int32_t expected;
    } cases[] = {
        {"", 16, 0},
        {"0", 2, 0},
        {"ff", 16, 255},
        {"aBc", 16, 0xABC},
        {"101", 2, 5},
        {"0099", 10, 99},
        {"FFFFFFFF", 16, -1},
        {"100000001", 16, 1}, // wraps at 32 bits
        {"7fffffff", 16, 0x7FFFFFFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseRadix(c.text, c.radix), c.expected) << c.text;
    }
}

TEST(RadixTest, ParseRadixRejectsCharactersOutsideTheRadix) {
    const struct {
        std::string_view text;
        std::uint8_t radix;
        std::string message;
    } cases[] = {
        {"1g", 16, "Invalid character G, cannot convert using radix 10h"},
        {"12", 2, "Invalid character 2, cannot convert using radix 2h"},
        {"9a", 10, "Invalid character A, cannot convert using radix Ah"},
        {" 1", 16, "Invalid character  , cannot convert using radix 10h"},
        {"-1", 16, "Invalid character -, cannot convert using radix 10h"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(RaisesHexError([&] { ParseRadix(c.text, c.radix); }, c.message)) << c.text;
    }
}

TEST(RadixTest, HexTextToBytes) {
    using Bytes = std::vector<std::uint8_t>;
    const struct {
        std::string_view text;
        bool swapNibbles;
        Bytes expected;
    } cases[] = {
        {"12 3g4-5", false, {0x12, 0x34}}, // the lone last digit is dropped
        {"12 3g4-5", true, {0x21, 0x43}},
        {"aBcD", false, {0xAB, 0xCD}},
        {"", false, {}},
        {"5", false, {}},
        {"xyz", false, {}},
        {"0\n0\tF\rF", false, {0x00, 0xFF}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexTextToBytes(c.text, c.swapNibbles), c.expected) << c.text;
    }
}

TEST(RadixTest, BytesToHexText) {
    const std::uint8_t bytes[] = {0x00, 0xAB, 0x5F, 0xFF};
    EXPECT_EQ(BytesToHexText(bytes, 4, false), "00AB5FFF");
    EXPECT_EQ(BytesToHexText(bytes, 4, true), "00BAF5FF");
    EXPECT_EQ(BytesToHexText(bytes, 0, false), "");
    EXPECT_EQ(HexTextToBytes(BytesToHexText(bytes, 4, true), true),
              std::vector<std::uint8_t>(std::begin(bytes), std::end(bytes)));
}

TEST(RadixTest, HexDigits) {
    EXPECT_EQ(HexDigits(false), "0123456789ABCDEF");
    EXPECT_EQ(HexDigits(true), "0123456789abcdef");
}

} // namespace
} // namespace quillon
