#include "editor/core/translation.h"

#include <cstring>

#include "platform/codepage/codepage.h"

namespace quillon {
namespace {

using ByteTable = std::array<std::uint8_t, 256>;

constexpr std::uint8_t kFirstPrintable = 0x20;

// Character -> byte; the lower half is ASCII and maps to itself.
constexpr std::array<std::uint8_t, 128> kMacUpperHalf = {
    0xC4, 0xC5, 0xAB, 0xC9, 0xD1, 0xF7, 0xDC, 0xE1, 0xE0, 0xE2, 0xE4, 0xE3, 0xAC, 0xB0, 0xAA, 0xF8,
    0xD5, 0xCE, 0xC3, 0xCF, 0xD3, 0xD4, 0xD2, 0xDB, 0xDA, 0xDD, 0xF6, 0xF5, 0xFA, 0xF9, 0xFB, 0xFC,
    0xA0, 0xC1, 0xA2, 0xA3, 0xDF, 0xB4, 0xB6, 0xA4, 0xC6, 0xA9, 0xBB, 0xC7, 0xC2, 0xAD, 0xA8, 0xFF,
    0xA1, 0xB1, 0xB2, 0xB3, 0xA5, 0xB5, 0xA6, 0xB7, 0xB8, 0xB9, 0xBC, 0xC8, 0xBA, 0xBD, 0xCA, 0xC0,
    0xCB, 0xE7, 0xE5, 0xCC, 0x80, 0x81, 0xAE, 0x82, 0xE9, 0x83, 0xE6, 0xE8, 0xED, 0xEA, 0xEB, 0xEC,
    0xD0, 0x84, 0xF1, 0xEE, 0xEF, 0xCD, 0x85, 0xD7, 0xAF, 0xF4, 0xF2, 0xF3, 0x86, 0xD9, 0xDE, 0xA7,
    0x88, 0x87, 0x89, 0x8B, 0x8A, 0x8C, 0xBE, 0x8D, 0x8F, 0x8E, 0x90, 0x91, 0x93, 0x92, 0x94, 0x95,
    0xF0, 0x96, 0x98, 0x97, 0x99, 0x9B, 0x9A, 0xD6, 0xBF, 0x9D, 0x9C, 0x9E, 0x9F, 0xFD, 0xFE, 0xD8,
};

// Character -> EBCDIC byte.
constexpr ByteTable kEbcdicEncode = {
    0x00, 0x01, 0x02, 0x03, 0x37, 0x2D, 0x2E, 0x2F, 0x16, 0x05, 0x25, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x3C, 0x3D, 0x32, 0x26, 0x18, 0x19, 0x3F, 0x27, 0x1C, 0x1D, 0x1E, 0x1F,
    0x40, 0x4F, 0x7F, 0x7B, 0x5B, 0x6C, 0x50, 0x7D, 0x4D, 0x5D, 0x5C, 0x4E, 0x6B, 0x60, 0x4B, 0x61,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x7A, 0x5E, 0x4C, 0x7E, 0x6E, 0x6F,
    0x7C, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,
    0xD7, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0x4A, 0xE0, 0x5A, 0x5F, 0x6D,
    0x79, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96,
    0x97, 0x98, 0x99, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xC0, 0x20, 0xD0, 0xA1, 0x07,
    0x80, 0x22, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0x90, 0x77, 0x2C, 0x0A, 0x3B, 0x3E, 0x1A, 0x70, 0x71, 0x72, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,
    0xA0, 0x15, 0x73, 0x74, 0x75, 0x76, 0x6A, 0x78, 0x09, 0x3A, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF,
    0x23, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0x1B, 0x24, 0x06, 0x14, 0x28, 0x2B, 0x21, 0x17, 0x51, 0x52, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0x2A, 0xE1, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x29, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,
    0x30, 0x31, 0x08, 0x33, 0x34, 0x35, 0x36, 0x04, 0x38, 0x39, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
};

constexpr ByteTable MacEncodeTable() {
    ByteTable table{};
    for (std::size_t c = 0; c < 128; ++c) {
        table[c] = static_cast<std::uint8_t>(c);
        table[c + 128] = kMacUpperHalf[c];
    }
    return table;
}

constexpr bool IsPermutation(const ByteTable& table) {
    std::array<bool, 256> seen{};
    for (std::uint8_t value : table) {
        if (seen[value]) {
            return false;
        }
        seen[value] = true;
    }
    return true;
}

constexpr ByteTable Inverse(const ByteTable& encode) {
    ByteTable decode{};
    for (std::size_t c = 0; c < 256; ++c) {
        decode[encode[c]] = static_cast<std::uint8_t>(c);
    }
    return decode;
}

constexpr ByteTable kMacEncode = MacEncodeTable();
constexpr ByteTable kMacDecode = Inverse(kMacEncode);
constexpr ByteTable kEbcdicDecode = Inverse(kEbcdicEncode);
static_assert(IsPermutation(kMacEncode) && IsPermutation(kEbcdicEncode),
              "a translation table must be a permutation, or its inverse is not defined");

constexpr ByteTable IdentityTable() {
    ByteTable table{};
    for (std::size_t c = 0; c < 256; ++c) {
        table[c] = static_cast<std::uint8_t>(c);
    }
    return table;
}

template <typename Convert> ByteTable TableOf(Convert convert) {
    ByteTable table{};
    for (std::size_t c = 0; c < 256; ++c) {
        table[c] = convert(static_cast<std::uint8_t>(c));
    }
    return table;
}

const ByteTable& AnsiToOemTable() {
    static const ByteTable table = TableOf(codepage::AnsiToOem);
    return table;
}

const ByteTable& OemToAnsiTable() {
    static const ByteTable table = TableOf(codepage::OemToAnsi);
    return table;
}

// The table a kind maps bytes through in the given direction; nullptr for tkAsIs (a copy) and for
// values that are no kind.
const ByteTable* TableFor(std::uint8_t kind, bool encode) {
    switch (static_cast<HexTranslationKind>(kind)) {
    case HexTranslationKind::tkDos8:
    case HexTranslationKind::tkASCII:
        return encode ? &AnsiToOemTable() : &OemToAnsiTable();
    case HexTranslationKind::tkMac:
        return encode ? &kMacEncode : &kMacDecode;
    case HexTranslationKind::tkBCD:
        return encode ? &kEbcdicEncode : &kEbcdicDecode;
    case HexTranslationKind::tkCustom:
        return encode ? &CustomTranslationTables().encode : &CustomTranslationTables().decode;
    case HexTranslationKind::tkAsIs:
        break;
    }
    return nullptr;
}

constexpr std::uint8_t kKindMask = 0x7F;
constexpr std::uint8_t kLastKind = static_cast<std::uint8_t>(HexTranslationKind::tkCustom);

void TranslateBuffer(std::uint8_t kind, bool encode, const std::uint8_t* source, std::uint8_t* dest,
                     std::size_t count) {
    kind &= kKindMask;
    if (kind > kLastKind || count == 0) {
        return;
    }
    const ByteTable* table = TableFor(kind, encode);
    if (table == nullptr) {
        std::memmove(dest, source, count);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        dest[i] = (*table)[source[i]];
    }
}

bool IsOemKind(HexTranslationKind kind) {
    return kind == HexTranslationKind::tkDos8 || kind == HexTranslationKind::tkASCII;
}

} // namespace

TranslationTables& CustomTranslationTables() {
    static TranslationTables tables{IdentityTable(), IdentityTable()};
    return tables;
}

std::uint8_t CharToByte(HexTranslationKind kind, std::uint8_t ansiChar) {
    const bool refused =
        IsOemKind(kind) &&
        (ansiChar < kFirstPrintable || (kind == HexTranslationKind::tkASCII && ansiChar >= 0x80));
    if (refused) {
        return 0;
    }
    const ByteTable* table = TableFor(static_cast<std::uint8_t>(kind), true);
    const std::uint8_t result = table != nullptr ? (*table)[ansiChar] : ansiChar;
    return result < kFirstPrintable ? 0 : result;
}

std::uint8_t ByteToChar(HexTranslationKind kind, std::uint8_t value, std::uint8_t maskChar) {
    std::uint8_t result = value;
    if (kind == HexTranslationKind::tkASCII && value >= 0x80) {
        result = maskChar;
    } else if (const ByteTable* table = TableFor(static_cast<std::uint8_t>(kind), false)) {
        result = (*table)[value];
    }
    if (maskChar != 0 && result < kFirstPrintable) {
        result = maskChar;
    }
    return result;
}

void EncodeChars(std::uint8_t kind, const std::uint8_t* source, std::uint8_t* dest,
                 std::size_t count) {
    TranslateBuffer(kind, true, source, dest, count);
}

void DecodeChars(std::uint8_t kind, const std::uint8_t* source, std::uint8_t* dest,
                 std::size_t count) {
    TranslateBuffer(kind, false, source, dest, count);
}

std::uint16_t SwapByteOrder16(std::uint16_t unit) {
    return static_cast<std::uint16_t>((unit << 8) | (unit >> 8));
}

char16_t UnicodeDisplayChar(const std::uint8_t* bytes, std::int32_t available, bool bigEndian,
                            std::uint8_t maskChar) {
    std::uint16_t unit = 0;
    if (available >= 1) {
        unit = bytes[0];
    }
    if (available >= 2) {
        unit = static_cast<std::uint16_t>(unit | (bytes[1] << 8));
    }
    if (bigEndian) {
        unit = SwapByteOrder16(unit);
    }
    return unit < kFirstPrintable ? codepage::AnsiToUnicode(maskChar) : static_cast<char16_t>(unit);
}

std::optional<std::array<std::uint8_t, 2>> UnicodeBytesForChar(std::uint8_t ansiChar,
                                                               bool bigEndian) {
    if (CharToByte(HexTranslationKind::tkAsIs, ansiChar) == 0) {
        return std::nullopt;
    }
    const char16_t unit = codepage::AnsiToUnicode(ansiChar);
    const auto low = static_cast<std::uint8_t>(unit & 0xFF);
    const auto high = static_cast<std::uint8_t>(unit >> 8);
    return bigEndian ? std::array<std::uint8_t, 2>{high, low}
                     : std::array<std::uint8_t, 2>{low, high};
}

std::string_view TranslationLongName(HexTranslationKind kind) {
    switch (kind) {
    case HexTranslationKind::tkAsIs:
        return "Windows";
    case HexTranslationKind::tkDos8:
        return "Dos 8 Bit";
    case HexTranslationKind::tkASCII:
        return "ASCII 7 Bit";
    case HexTranslationKind::tkMac:
        return "Macintosh";
    case HexTranslationKind::tkBCD:
        return "EBCDIC Codepage 38";
    case HexTranslationKind::tkCustom:
        return "Custom Translation";
    }
    return {};
}

std::string_view TranslationShortName(HexTranslationKind kind) {
    switch (kind) {
    case HexTranslationKind::tkAsIs:
        return "WIN";
    case HexTranslationKind::tkDos8:
        return "DOS";
    case HexTranslationKind::tkASCII:
        return "ASC";
    case HexTranslationKind::tkMac:
        return "MAC";
    case HexTranslationKind::tkBCD:
        return "BCD";
    case HexTranslationKind::tkCustom:
        return "Cust";
    }
    return {};
}

std::string_view UnicodeLongName(bool bigEndian) {
    return bigEndian ? "Unicode Big Endian" : "Unicode";
}

std::string_view UnicodeShortName(bool bigEndian) {
    return bigEndian ? "UBE" : "UC";
}

} // namespace quillon
