#include "editor/core/find_engine.h"

#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "editor/core/translation.h"

namespace quillon {
namespace {

using K = HexTranslationKind;
using Table = std::array<std::uint8_t, 256>;

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

FindTables TablesFor(K translation) {
    FindTables tables{};
    PreparePattern("", false, false, translation, false, false, tables);
    return tables;
}

// Both ways of searching: the fast one (no progress) and the stepwise one (progress on).
struct Searches {
    std::int32_t fast;
    std::int32_t stepwise;
};

Searches SearchBothWays(const std::vector<std::uint8_t>& data, std::string_view pattern,
                        std::int32_t start, std::int32_t end, const Table& table) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pattern.data());
    const auto length = static_cast<std::int32_t>(pattern.size());
    const auto dataLength = static_cast<std::int32_t>(data.size());
    const FindProgressFn ignore = [](std::uint8_t) {
    };
    return {FindBytes(data.data(), dataLength, bytes, length, start, end, table, {}),
            FindBytes(data.data(), dataLength, bytes, length, start, end, table, ignore)};
}

TEST(PreparePatternTest, BuildsThePatternBytes) {
    const struct {
        std::string_view text;
        bool ignoreCase;
        bool translate;
        K translation;
        bool unicode;
        bool bigEndian;
        std::string_view expected;
    } cases[] = {
        {"AbC", false, false, K::tkAsIs, false, false, "AbC"},
        {"AbC", true, false, K::tkAsIs, false, false, "abc"},
        {"\xC0\xA8Z", true, true, K::tkAsIs, false, false, "\xE0\xB8z"}, // Cyrillic pairs
        {"A", false, true, K::tkBCD, false, false, "\xC1"},
        {"A", false, false, K::tkBCD, false, false, "A"}, // no translation asked
        {"A", true, true, K::tkBCD, false, false, "\x81"},
        {"\xE9", false, true, K::tkDos8, false, false, "\xA9"},
        {"\xE9", false, true, K::tkMac, false, false, "\x8E"},
        {"A", false, true, K::tkAsIs, true, false, std::string_view("A\0", 2)},
        {"A", false, true, K::tkAsIs, true, true, std::string_view("\0A", 2)},
        {"\xC0", false, true, K::tkAsIs, true, false, "\x10\x04"},
        {"\xC0", true, true, K::tkAsIs, true, true, "\x04\x30"},
        {"A", false, false, K::tkAsIs, true, false, "A"}, // widening belongs to translation
        {"", true, true, K::tkBCD, true, false, ""},
    };
    for (const auto& c : cases) {
        FindTables tables{};
        EXPECT_EQ(PreparePattern(c.text, c.ignoreCase, c.translate, c.translation, c.unicode,
                                 c.bigEndian, tables),
                  c.expected)
            << c.text << " in " << TranslationLongName(c.translation);
    }
}

TEST(PreparePatternTest, RebuildsBothTablesForTheTranslation) {
    const struct {
        K translation;
        std::uint8_t value;
        std::uint8_t lower;
    } cases[] = {
        {K::tkAsIs, 'A', 'a'},    {K::tkAsIs, 'a', 'a'},  {K::tkAsIs, 0xC0, 0xE0},
        {K::tkAsIs, '1', '1'},    {K::tkBCD, 0xC1, 0x81}, {K::tkBCD, 0x81, 0x81},
        {K::tkDos8, 0x80, 0xA0},  {K::tkDos8, 'A', 'a'},  {K::tkMac, 0x83, 0x8E}, // É -> é
        {K::tkASCII, 0x9F, 0xEF},
    };
    for (const auto& c : cases) {
        FindTables tables{};
        tables.lowerCase.fill(0);
        PreparePattern("x", false, false, c.translation, false, false, tables);
        EXPECT_EQ(tables.lowerCase[c.value], c.lower)
            << TranslationLongName(c.translation) << " " << int(c.value);
        for (std::size_t b = 0; b < 256; ++b) {
            ASSERT_EQ(tables.identity[b], b);
        }
    }
}

struct FindCase {
    const char* name;
    std::string_view data;
    std::string_view pattern;
    std::int32_t start;
    std::int32_t end;
    bool ignoreCase;
    std::int32_t expected;
};

TEST(FindBytesTest, RangesAndMatches) {
    const FindCase cases[] = {
        {"first match", "xxabab", "ab", 0, 5, false, 2},
        {"from start", "xxabab", "ab", 3, 5, false, 4},
        {"ends exactly at end", "xxabab", "ab", 0, 3, false, 2},
        {"would end past end", "xxabab", "ab", 0, 2, false, -1},
        {"end clamped", "xxabab", "ab", 3, 1000, false, 4},
        {"case differs", "AB", "ab", 0, 1, false, -1},
        {"ignore case", "AB", "ab", 0, 1, true, 0},
        {"ignore case Cyrillic", "x\xC0\xA8", "\xE0\xB8", 0, 2, true, 1},
        {"pattern longer than range", "abc", "abcd", 0, 2, false, -1},
        {"empty pattern", "abc", "", 0, 2, false, -1},
        {"empty document", "", "a", 0, 0, false, -1},
        {"negative start", "abc", "a", -1, 2, false, -1},
        {"start after end", "abc", "a", 2, 1, false, -1},
        {"whole document", "abc", "abc", 0, 2, false, 0},
        {"one byte at the end", "abcz", "z", 0, 3, true, 3},
        {"partial match at the tail", "xxxxab", "abc", 0, 5, false, -1},
        {"overlapping candidates", "aaaab", "aab", 0, 4, false, 2},
        {"match after a vector block", "0123456789abcdefghijKLmn", "kl", 0, 23, true, 20},
        {"candidate at block edge", "0123456789abcdeK0123456789abcdefKL", "kl", 0, 33, true, 32},
        {"match starting at 16", "0123456789abcdefKL", "kl", 0, 17, true, 16},
        {"match in last vector lane", "000000000000000KL", "kl", 0, 16, true, 15},
        {"last start inside a block", "000000000000000000000000000000000KX", "kl", 0, 34, true, -1},
        {"zero bytes", std::string_view("\0\0\0\x01", 4), std::string_view("\0\x01", 2), 0, 3,
         false, 2},
    };
    const FindTables tables = TablesFor(K::tkAsIs);
    for (const FindCase& c : cases) {
        const Searches found = SearchBothWays(Bytes(c.data), c.pattern, c.start, c.end,
                                              c.ignoreCase ? tables.lowerCase : tables.identity);
        EXPECT_EQ(found.fast, c.expected) << c.name;
        EXPECT_EQ(found.stepwise, c.expected) << c.name;
    }
}

TEST(FindBytesTest, PatternLongerThanTheRangeReadsNoData) {
    const FindTables tables = TablesFor(K::tkAsIs);
    const std::uint8_t pattern[] = {1, 2, 3};
    EXPECT_EQ(FindBytes(nullptr, 100, pattern, 3, 50, 51, tables.identity, {}), -1);
    EXPECT_EQ(
        FindBytes(nullptr, 100, pattern, 3, 50, 51, tables.lowerCase, [](std::uint8_t) { FAIL(); }),
        -1);
}

TEST(FindBytesTest, TranslatedPatterns) {
    const struct {
        K translation;
        bool unicode;
        bool bigEndian;
        std::string_view data;
        std::int32_t expected;
    } cases[] = {
        {K::tkBCD, false, false, "\x40\xC1\xC2", 1},
        {K::tkBCD, false, false, "\x40\x81\xC2", 1}, // EBCDIC lower case, case ignored
        {K::tkAsIs, true, false, std::string_view("x\0A\0b\0", 6), 2},
        {K::tkAsIs, true, true, std::string_view("\0x\0A\0b", 6), 2},
        {K::tkAsIs, true, false, std::string_view("\0A\0b", 4), 1}, // bytes, not units
    };
    for (const auto& c : cases) {
        FindTables tables{};
        const std::string pattern =
            PreparePattern("a", true, true, c.translation, c.unicode, c.bigEndian, tables);
        const Searches found =
            SearchBothWays(Bytes(c.data), pattern, 0, static_cast<std::int32_t>(c.data.size()) - 1,
                           tables.lowerCase);
        EXPECT_EQ(found.fast, c.expected) << TranslationLongName(c.translation);
        EXPECT_EQ(found.stepwise, c.expected) << TranslationLongName(c.translation);
    }
}

std::vector<std::uint8_t> ProgressOf(const std::vector<std::uint8_t>& data,
                                     std::string_view pattern, std::int32_t* result) {
    std::vector<std::uint8_t> percents;
    const FindTables tables = TablesFor(K::tkAsIs);
    *result = FindBytes(data.data(), static_cast<std::int32_t>(data.size()),
                        reinterpret_cast<const std::uint8_t*>(pattern.data()),
                        static_cast<std::int32_t>(pattern.size()), 0,
                        static_cast<std::int32_t>(data.size()) - 1, tables.identity,
                        [&](std::uint8_t percent) { percents.push_back(percent); });
    return percents;
}

// Below 500 bytes the interval would be 0; it is 1, so every comparison reports.
TEST(FindBytesTest, ProgressOfASmallDocumentReportsEveryComparison) {
    std::int32_t result = 0;
    const auto percents = ProgressOf(Bytes("aab"), "ab", &result);
    EXPECT_EQ(result, 1);
    // Compared bytes 0, 1 (mismatch), then 1, 2.
    EXPECT_EQ(percents, (std::vector<std::uint8_t>{0, 33, 33, 67}));
}

TEST(FindBytesTest, ProgressEveryIntervalOfSteps) {
    const std::vector<std::uint8_t> data(1000, 0); // interval 2
    std::int32_t result = 0;
    const auto percents = ProgressOf(data, "\x01", &result);
    EXPECT_EQ(result, -1);
    std::vector<std::uint8_t> expected;
    for (int index = 1; index < 1000; index += 2) {
        expected.push_back(static_cast<std::uint8_t>(std::lround(index / 10.0)));
    }
    EXPECT_EQ(percents, expected); // 0, 0 (0.3), 1 (0.5), ..., 100 (99.9)
}

// A reference written plainly, independent of the engine.
std::int32_t ReferenceFind(const std::vector<std::uint8_t>& data, const std::string& pattern,
                           std::int32_t start, std::int32_t end, const Table& table) {
    end = std::min<std::int32_t>(end, static_cast<std::int32_t>(data.size()) - 1);
    const auto length = static_cast<std::int32_t>(pattern.size());
    if (length == 0 || start < 0) {
        return -1;
    }
    for (std::int32_t s = start; s + length - 1 <= end; ++s) {
        std::int32_t i = 0;
        while (i < length && table[data[s + i]] == static_cast<std::uint8_t>(pattern[i])) {
            ++i;
        }
        if (i == length) {
            return s;
        }
    }
    return -1;
}

// Tables whose pattern bytes have one, two, three or many preimages.
std::vector<Table> AgreementTables() {
    std::vector<Table> tables = {TablesFor(K::tkAsIs).identity, TablesFor(K::tkAsIs).lowerCase,
                                 TablesFor(K::tkDos8).lowerCase, TablesFor(K::tkBCD).lowerCase};
    Table threeWays = TablesFor(K::tkAsIs).lowerCase;
    threeWays['?'] = 'a';
    tables.push_back(threeWays);
    Table folded{};
    for (std::size_t b = 0; b < 256; ++b) {
        folded[b] = static_cast<std::uint8_t>('a' + b % 3);
    }
    tables.push_back(folded);
    return tables;
}

TEST(FindBytesTest, FastAndStepwiseScansAgreeOnRandomData) {
    std::mt19937 random(20240501);
    const std::string alphabet = "aAbB\xB0\xC0\xE0?";
    const std::vector<Table> tables = AgreementTables();
    for (int round = 0; round < 4000; ++round) {
        std::vector<std::uint8_t> data(random() % 120);
        for (auto& byte : data) {
            byte = static_cast<std::uint8_t>(alphabet[random() % alphabet.size()]);
        }
        std::string pattern(1 + random() % 4, '\0');
        for (char& c : pattern) {
            c = alphabet[random() % alphabet.size()];
        }
        if (random() % 2 == 0 && !data.empty()) { // a piece of the data, so that it matches
            const std::size_t from = random() % data.size();
            const std::size_t length = 1 + random() % std::min<std::size_t>(20, data.size() - from);
            pattern.assign(data.begin() + static_cast<std::ptrdiff_t>(from),
                           data.begin() + static_cast<std::ptrdiff_t>(from + length));
        }
        const Table& table = tables[random() % tables.size()];
        for (char& c : pattern) {
            c = static_cast<char>(table[static_cast<std::uint8_t>(c)]);
        }
        const auto size = static_cast<std::int32_t>(data.size());
        const auto start = static_cast<std::int32_t>(random() % (size + 2)) - 1;
        const auto end = static_cast<std::int32_t>(random() % (size + 10)) - 1;
        const std::int32_t expected = ReferenceFind(data, pattern, start, end, table);
        const Searches found = SearchBothWays(data, pattern, start, end, table);
        ASSERT_EQ(found.fast, expected) << "round " << round;
        ASSERT_EQ(found.stepwise, expected) << "round " << round;
    }
}

} // namespace
} // namespace quillon
