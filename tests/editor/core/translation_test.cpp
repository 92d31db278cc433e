#include "editor/core/translation.h"

#include <numeric>
#include <vector>

#include <gtest/gtest.h>

namespace quillon {
namespace {

using K = HexTranslationKind;

struct CharCase {
    K kind;
    std::uint8_t ansiChar;
    std::uint8_t expected;
};

TEST(TranslationTest, CharToByte) {
    const CharCase cases[] = {
        {K::tkAsIs, 'A', 'A'},     {K::tkAsIs, 0x07, 0},    // control characters are refused
        {K::tkAsIs, 0xE9, 0xE9},   {K::tkDos8, 0xE9, 0xA9}, // ANSI 'й' is stored as its OEM code
        {K::tkDos8, 0xC0, 0x80},   {K::tkDos8, 0x1F, 0},
        {K::tkDos8, 0x88, '?'},                           // no OEM counterpart
        {K::tkASCII, 'A', 'A'},    {K::tkASCII, 0xE9, 0}, // not a 7-bit character
        {K::tkASCII, 0x80, 0},     {K::tkMac, 0xE9, 0x8E},
        {K::tkMac, 'z', 'z'},      {K::tkBCD, 'A', 0xC1},
        {K::tkBCD, '0', 0xF0},     {K::tkBCD, ' ', 0x40},
        {K::tkBCD, 0x93, 0},    // encodes to 0Ah, below 20h
        {K::tkBCD, 0x05, 0x2D}, // the rule looks at the byte, not the character
        {K::tkCustom, 0xE9, 0xE9}, {K::tkCustom, 0x07, 0},
    };
    for (const CharCase& c : cases) {
        EXPECT_EQ(CharToByte(c.kind, c.ansiChar), c.expected)
            << TranslationLongName(c.kind) << " char " << int(c.ansiChar);
    }
}

struct ByteCase {
    K kind;
    std::uint8_t value;
    std::uint8_t maskChar;
    std::uint8_t expected;
};

TEST(TranslationTest, ByteToChar) {
    const ByteCase cases[] = {
        {K::tkAsIs, 0x07, '.', '.'},
        {K::tkAsIs, 0x07, 0, 0x07}, // mask character 0 switches masking off
        {K::tkAsIs, 0x00, '*', '*'},
        {K::tkAsIs, 0xE9, '.', 0xE9},
        {K::tkDos8, 0xA9, '.', 0xE9},
        {K::tkDos8, 0x80, '.', 0xC0},
        {K::tkDos8, 0x07, '.', '.'},
        {K::tkDos8, 0xB0, '.', '?'}, // shade block is no ANSI character
        {K::tkASCII, 0xE9, '.', '.'},
        {K::tkASCII, 0xE9, 0, 0},
        {K::tkASCII, 'A', '.', 'A'},
        {K::tkMac, 0x8E, '.', 0xE9},
        {K::tkBCD, 0xF0, '.', '0'},
        {K::tkBCD, 0x40, '.', ' '},
        {K::tkBCD, 0xC1, '.', 'A'},
        {K::tkBCD, 0x25, '.', '.'}, // decodes to a line feed
        {K::tkBCD, 0x25, 0, 0x0A},
        {K::tkCustom, 0x8E, '.', 0x8E},
        {K::tkCustom, 0x01, '.', '.'},
    };
    for (const ByteCase& c : cases) {
        EXPECT_EQ(ByteToChar(c.kind, c.value, c.maskChar), c.expected)
            << TranslationLongName(c.kind) << " byte " << int(c.value);
    }
}

std::vector<std::uint8_t> AllBytes() {
    std::vector<std::uint8_t> bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

TEST(TranslationTest, TableKindsArePermutationsWithInverseDecoding) {
    for (K kind : {K::tkMac, K::tkBCD}) {
        const auto all = AllBytes();
        std::vector<std::uint8_t> encoded(256);
        std::vector<std::uint8_t> decoded(256);
        EncodeChars(static_cast<std::uint8_t>(kind), all.data(), encoded.data(), 256);
        DecodeChars(static_cast<std::uint8_t>(kind), encoded.data(), decoded.data(), 256);
        EXPECT_EQ(decoded, all) << TranslationLongName(kind);
        std::vector<std::uint8_t> sorted = encoded;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, all) << TranslationLongName(kind);
    }
}

struct BufferCase {
    std::uint8_t kind;
    bool encode;
    std::vector<std::uint8_t> source;
    std::vector<std::uint8_t> expected;
};

TEST(TranslationTest, BufferConversions) {
    const std::uint8_t bcd = static_cast<std::uint8_t>(K::tkBCD);
    const std::uint8_t ascii = static_cast<std::uint8_t>(K::tkASCII);
    const BufferCase cases[] = {
        {0, true, {0x07, 0xE9}, {0x07, 0xE9}},
        {bcd, true, {'A', '0', ' ', 0x07}, {0xC1, 0xF0, 0x40, 0x2F}},
        {bcd, false, {0xC1, 0xF0, 0x40}, {'A', '0', ' '}},
        {static_cast<std::uint8_t>(0x80 | bcd), true, {'A'}, {0xC1}}, // high bit ignored
        {ascii, true, {0xE9, 0x07}, {0xA9, 0x07}},                    // no 7-bit rule
        {ascii, false, {0xA9, 0x07}, {0xE9, 0x07}},
        {6, true, {'A', 'B'}, {0x55, 0x55}}, // no kind: untouched
        {0x7F, false, {'A'}, {0x55}},
        {0xFF, true, {'A'}, {0x55}},
    };
    for (const BufferCase& c : cases) {
        std::vector<std::uint8_t> dest(c.source.size(), 0x55);
        auto convert = c.encode ? EncodeChars : DecodeChars;
        convert(c.kind, c.source.data(), dest.data(), dest.size());
        EXPECT_EQ(dest, c.expected) << "kind " << int(c.kind) << " encode " << c.encode;
    }
}

TEST(TranslationTest, BufferConversionInPlace) {
    std::vector<std::uint8_t> text = {'A', 'B', 'C'};
    EncodeChars(static_cast<std::uint8_t>(K::tkBCD), text.data(), text.data(), text.size());
    EXPECT_EQ(text, (std::vector<std::uint8_t>{0xC1, 0xC2, 0xC3}));
    DecodeChars(static_cast<std::uint8_t>(K::tkBCD), text.data(), text.data(), text.size());
    EXPECT_EQ(text, (std::vector<std::uint8_t>{'A', 'B', 'C'}));
    EncodeChars(0, text.data(), text.data() + 1, 2); // overlapping copy
    EXPECT_EQ(text, (std::vector<std::uint8_t>{'A', 'A', 'B'}));
}

class CustomTranslationTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = CustomTranslationTables(); }
    void TearDown() override { CustomTranslationTables() = saved_; }

private:
    TranslationTables saved_{};
};

TEST_F(CustomTranslationTest, UntouchedTablesBehaveLikeAsIs) {
    for (int b = 0; b < 256; ++b) {
        const auto value = static_cast<std::uint8_t>(b);
        EXPECT_EQ(CharToByte(K::tkCustom, value), CharToByte(K::tkAsIs, value)) << b;
        EXPECT_EQ(ByteToChar(K::tkCustom, value, '.'), ByteToChar(K::tkAsIs, value, '.')) << b;
    }
}

TEST_F(CustomTranslationTest, HostFilledTablesAreUsed) {
    CustomTranslationTables().encode['A'] = 0x99;
    CustomTranslationTables().decode[0x99] = 'A';
    CustomTranslationTables().decode[0x42] = 0x01;
    EXPECT_EQ(CharToByte(K::tkCustom, 'A'), 0x99);
    EXPECT_EQ(ByteToChar(K::tkCustom, 0x99, '.'), 'A');
    EXPECT_EQ(ByteToChar(K::tkCustom, 0x42, '.'), '.');
    std::uint8_t byte = 'A';
    EncodeChars(static_cast<std::uint8_t>(K::tkCustom), &byte, &byte, 1);
    EXPECT_EQ(byte, 0x99);
}

TEST(TranslationTest, SwapByteOrder16) {
    EXPECT_EQ(SwapByteOrder16(0x1234), 0x3412);
    EXPECT_EQ(SwapByteOrder16(0x00FF), 0xFF00);
}

struct DisplayCase {
    std::vector<std::uint8_t> bytes;
    bool bigEndian;
    std::uint8_t maskChar;
    char16_t expected;
};

TEST(TranslationTest, UnicodeDisplayChar) {
    const DisplayCase cases[] = {
        {{0x41, 0x00}, false, '.', u'A'},
        {{0x41, 0x00}, true, '.', u'\u4100'},
        {{0x00, 0x41}, true, '.', u'A'},
        {{0x10, 0x04}, false, '.', u'\u0410'},
        {{0x41}, false, '.', u'A'}, // one byte left at the end
        {{0x41}, true, '.', u'\u4100'},
        {{0x07, 0x00}, false, '.', u'.'},
        {{0x07, 0x00}, false, 0xC0, u'\u0410'}, // the mask is an ANSI character
        {{}, false, '*', u'*'},
    };
    for (const DisplayCase& c : cases) {
        EXPECT_EQ(UnicodeDisplayChar(c.bytes.data(), static_cast<std::int32_t>(c.bytes.size()),
                                     c.bigEndian, c.maskChar),
                  c.expected);
    }
}

TEST(TranslationTest, UnicodeBytesForChar) {
    using Bytes = std::array<std::uint8_t, 2>;
    EXPECT_EQ(UnicodeBytesForChar('A', false), (Bytes{0x41, 0x00}));
    EXPECT_EQ(UnicodeBytesForChar('A', true), (Bytes{0x00, 0x41}));
    EXPECT_EQ(UnicodeBytesForChar(0xC0, false), (Bytes{0x10, 0x04})); // 'А' is U+0410
    EXPECT_EQ(UnicodeBytesForChar(0xC0, true), (Bytes{0x04, 0x10}));
    EXPECT_EQ(UnicodeBytesForChar(0x1F, false), std::nullopt);
}

TEST(TranslationTest, DisplayNames) {
    const struct {
        K kind;
        std::string_view longName;
        std::string_view shortName;
    } cases[] = {
        {K::tkAsIs, "Windows", "WIN"},           {K::tkDos8, "Dos 8 Bit", "DOS"},
        {K::tkASCII, "ASCII 7 Bit", "ASC"},      {K::tkMac, "Macintosh", "MAC"},
        {K::tkBCD, "EBCDIC Codepage 38", "BCD"}, {K::tkCustom, "Custom Translation", "Cust"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TranslationLongName(c.kind), c.longName);
        EXPECT_EQ(TranslationShortName(c.kind), c.shortName);
    }
    EXPECT_EQ(UnicodeLongName(false), "Unicode");
    EXPECT_EQ(UnicodeShortName(false), "UC");
    EXPECT_EQ(UnicodeLongName(true), "Unicode Big Endian");
    EXPECT_EQ(UnicodeShortName(true), "UBE");
}

} // namespace
} // namespace quillon
