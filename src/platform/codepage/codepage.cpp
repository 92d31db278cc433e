#include "platform/codepage/codepage.h"

#include <array>

namespace quillon::codepage {
namespace {

// Both pages keep ASCII in their lower half; these are their upper halves, generated from the code
// page definitions. 0x98 of Windows-1251 is unassigned and maps to U+0098.
constexpr std::array<char16_t, 128> kCp1251UpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr std::array<char16_t, 128> kCp866UpperHalf = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

constexpr std::array<char16_t, 256> WithAsciiHalf(const std::array<char16_t, 128>& upperHalf) {
    std::array<char16_t, 256> table{};
    for (std::size_t c = 0; c < 128; ++c) {
        table[c] = static_cast<char16_t>(c);
        table[c + 128] = upperHalf[c];
    }
    return table;
}

constexpr std::array<char16_t, 256> kCp1251ToUnicode = WithAsciiHalf(kCp1251UpperHalf);
constexpr std::array<char16_t, 256> kCp866ToUnicode = WithAsciiHalf(kCp866UpperHalf);

struct CasePair {
    std::uint8_t upper;
    std::uint8_t lower;
};

// The Windows-1251 letters with a case partner beyond A..Z and the contiguous Cyrillic
// 0xC0..0xDF / 0xE0..0xFF.
constexpr std::array<CasePair, 15> kCp1251OtherCasePairs = {{
    {0x80, 0x90},
    {0x81, 0x83},
    {0x8A, 0x9A},
    {0x8C, 0x9C},
    {0x8D, 0x9D},
    {0x8E, 0x9E},
    {0x8F, 0x9F},
    {0xA1, 0xA2},
    {0xA3, 0xBC},
    {0xA5, 0xB4},
    {0xA8, 0xB8},
    {0xAA, 0xBA},
    {0xAF, 0xBF},
    {0xB2, 0xB3},
    {0xBD, 0xBE},
}};

struct CaseTables {
    std::array<std::uint8_t, 256> lower{};
    std::array<std::uint8_t, 256> upper{};
};

constexpr CaseTables MakeCp1251CaseTables() {
    CaseTables tables;
    for (std::size_t c = 0; c < 256; ++c) {
        tables.lower[c] = tables.upper[c] = static_cast<std::uint8_t>(c);
    }
    const auto pair = [&tables](std::size_t upper, std::size_t lower) {
        tables.lower[upper] = static_cast<std::uint8_t>(lower);
        tables.upper[lower] = static_cast<std::uint8_t>(upper);
    };
    for (std::size_t i = 0; i < 26; ++i) {
        pair('A' + i, 'a' + i);
    }
    for (std::size_t i = 0; i < 32; ++i) {
        pair(0xC0 + i, 0xE0 + i);
    }
    for (const CasePair& letter : kCp1251OtherCasePairs) {
        pair(letter.upper, letter.lower);
    }
    return tables;
}

constexpr CaseTables kCp1251Case = MakeCp1251CaseTables();

using ReverseTable = std::array<std::uint8_t, 0x2600>;
constexpr std::uint8_t kUnmapped = 0;

// Unicode → 8-bit, for every code below U+2600 (both pages lie there); 0 marks a gap except for
// NUL.
constexpr ReverseTable Reverse(const std::array<char16_t, 256>& forward) {
    ReverseTable reverse{};
    for (int b = 255; b >= 1; --b) {
        reverse[forward[static_cast<std::size_t>(b)]] = static_cast<std::uint8_t>(b);
    }
    return reverse;
}

const ReverseTable kUnicodeToAnsi = Reverse(kCp1251ToUnicode);
const ReverseTable kUnicodeToOem = Reverse(kCp866ToUnicode);

std::optional<std::uint8_t> Lookup(const ReverseTable& reverse, char32_t code) {
    if (code == 0) {
        return std::uint8_t{0};
    }
    if (code >= reverse.size() || reverse[code] == kUnmapped) {
        return std::nullopt;
    }
    return reverse[code];
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

int Utf8TrailCount(unsigned char lead) {
    if (lead < 0x80) {
        return 0;
    }
    if ((lead >> 5) == 0x6) {
        return 1;
    }
    if ((lead >> 4) == 0xE) {
        return 2;
    }
    if ((lead >> 3) == 0x1E) {
        return 3;
    }
    return -1;
}

// Decodes one UTF-8 sequence at `pos`; malformed input yields U+FFFD and advances one byte.
char32_t NextUtf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const int trail = Utf8TrailCount(lead);
    if (trail < 0 || pos + static_cast<std::size_t>(trail) >= text.size()) {
        ++pos;
        return trail == 0 ? lead : 0xFFFD;
    }
    char32_t code = trail == 0 ? lead : lead & (0x3Fu >> trail);
    for (int i = 1; i <= trail; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        code = (code << 6) | (next & 0x3F);
    }
    pos += static_cast<std::size_t>(trail) + 1;
    return code;
}

} // namespace

char16_t AnsiToUnicode(std::uint8_t ansi) {
    return kCp1251ToUnicode[ansi];
}
char16_t OemToUnicode(std::uint8_t oem) {
    return kCp866ToUnicode[oem];
}
std::optional<std::uint8_t> UnicodeToAnsi(char32_t code) {
    return Lookup(kUnicodeToAnsi, code);
}
std::optional<std::uint8_t> UnicodeToOem(char32_t code) {
    return Lookup(kUnicodeToOem, code);
}

std::uint8_t AnsiToOem(std::uint8_t ansi) {
    return UnicodeToOem(AnsiToUnicode(ansi)).value_or('?');
}
std::uint8_t OemToAnsi(std::uint8_t oem) {
    return UnicodeToAnsi(OemToUnicode(oem)).value_or('?');
}

std::uint8_t AnsiLower(std::uint8_t ansi) {
    return kCp1251Case.lower[ansi];
}
std::uint8_t AnsiUpper(std::uint8_t ansi) {
    return kCp1251Case.upper[ansi];
}

std::string AnsiLower(std::string_view ansi) {
    std::string lower(ansi);
    for (char& c : lower) {
        c = static_cast<char>(AnsiLower(static_cast<std::uint8_t>(c)));
    }
    return lower;
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (char c : ansi) {
        AppendUtf8(out, AnsiToUnicode(static_cast<std::uint8_t>(c)));
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8, bool* lossless) {
    std::string out;
    bool exact = true;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto ansi = UnicodeToAnsi(NextUtf8(utf8, pos));
        exact = exact && ansi.has_value();
        out += static_cast<char>(ansi.value_or('?'));
    }
    if (lossless != nullptr) {
        *lossless = exact;
    }
    return out;
}

} // namespace quillon::codepage
