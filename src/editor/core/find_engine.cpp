#include "editor/core/find_engine.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "editor/core/translation.h"
#include "platform/codepage/codepage.h"

namespace quillon {
namespace {

using ByteTable = std::array<std::uint8_t, 256>;

std::uint8_t KindByte(HexTranslationKind kind) {
    return static_cast<std::uint8_t>(kind);
}

std::string EncodedIn(HexTranslationKind translation, std::string text) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(text.data());
    EncodeChars(KindByte(translation), bytes, bytes, text.size());
    return text;
}

// UTF-16 units of the ANSI text, as bytes in memory order.
std::string WidenedToUnicode(std::string_view text, bool bigEndian) {
    std::string wide;
    wide.reserve(2 * text.size());
    for (char c : text) {
        std::uint16_t unit = codepage::AnsiToUnicode(static_cast<std::uint8_t>(c));
        if (bigEndian) {
            unit = SwapByteOrder16(unit);
        }
        wide += static_cast<char>(unit & 0xFF);
        wide += static_cast<char>(unit >> 8);
    }
    return wide;
}

std::uint8_t LowerCaseIn(HexTranslationKind translation, std::uint8_t value) {
    if (translation == HexTranslationKind::tkAsIs) {
        return codepage::AnsiLower(value);
    }
    std::uint8_t character = 0;
    DecodeChars(KindByte(translation), &value, &character, 1);
    character = codepage::AnsiLower(character);
    EncodeChars(KindByte(translation), &character, &value, 1);
    return value;
}

void RebuildTables(HexTranslationKind translation, FindTables& tables) {
    for (std::size_t b = 0; b < 256; ++b) {
        const auto value = static_cast<std::uint8_t>(b);
        tables.identity[b] = value;
        tables.lowerCase[b] = LowerCaseIn(translation, value);
    }
}

struct Range {
    const std::uint8_t* data;
    const std::uint8_t* pattern;
    std::int32_t length;
    std::int32_t start;
    std::int32_t end;       // clamped to the data
    std::int32_t lastStart; // the last position a match may start at
};

std::optional<Range> ValidRange(const std::uint8_t* data, std::int32_t dataLength,
                                const std::uint8_t* pattern, std::int32_t length,
                                std::int32_t start, std::int32_t end) {
    end = std::min(end, dataLength - 1);
    const std::int64_t lastStart = std::int64_t{end} - length + 1;
    if (length < 1 || start < 0 || start > lastStart) {
        return std::nullopt;
    }
    return Range{data, pattern, length, start, end, static_cast<std::int32_t>(lastStart)};
}

struct NoProgress {
    void Step(std::int32_t) {}
};

// Every comparison is a step; each multiple of the interval reports the compared byte's percent.
class StepProgress {
public:
    StepProgress(const FindProgressFn& report, std::int32_t dataLength)
        : report_(report), dataLength_(dataLength),
          interval_(std::max<std::int64_t>(1, dataLength / 500)) {}

    void Step(std::int32_t index) {
        if (++steps_ % interval_ == 0) {
            report_(RoundedPercent(index));
        }
    }

private:
    std::uint8_t RoundedPercent(std::int32_t index) const {
        const std::int64_t twice = 2 * std::int64_t{dataLength_};
        return static_cast<std::uint8_t>((std::int64_t{index} * 200 + dataLength_) / twice);
    }

    const FindProgressFn& report_;
    std::int64_t dataLength_;
    std::int64_t interval_;
    std::int64_t steps_ = 0;
};

// The plain quadratic scan, stopping as soon as a byte beyond the end would have to be read.
template <typename Progress>
std::int32_t StepwiseScan(const Range& range, const ByteTable& table, Progress& progress) {
    for (std::int32_t s = range.start;; ++s) {
        for (std::int32_t i = 0;; ++i) {
            const std::int32_t index = s + i;
            if (index > range.end) {
                return -1;
            }
            progress.Step(index);
            if (table[range.data[index]] != range.pattern[i]) {
                break;
            }
            if (i + 1 == range.length) {
                return s;
            }
        }
    }
}

std::int32_t IdentitySearch(const Range& range) {
    const std::uint8_t* from = range.data + range.start;
    const auto size = static_cast<std::size_t>(range.end - range.start + 1);
    const void* match = memmem(from, size, range.pattern, static_cast<std::size_t>(range.length));
    if (match == nullptr) {
        return -1;
    }
    return range.start + static_cast<std::int32_t>(static_cast<const std::uint8_t*>(match) - from);
}

bool IsIdentity(const ByteTable& table) {
    for (std::size_t b = 0; b < 256; ++b) {
        if (table[b] != b) {
            return false;
        }
    }
    return true;
}

// The bytes a table maps onto one pattern byte, padded with repeats to a fixed count so that the
// vector loop compares against each of them without branches.
constexpr std::size_t kMaxPreimages = 4;
struct Preimages {
    std::size_t count = 0;
    std::array<std::uint8_t, kMaxPreimages> values{};
};

std::optional<Preimages> PreimagesOf(const ByteTable& table, std::uint8_t target) {
    Preimages preimages;
    for (std::size_t b = 0; b < 256; ++b) {
        if (table[b] != target) {
            continue;
        }
        if (preimages.count == kMaxPreimages) {
            return std::nullopt;
        }
        preimages.values[preimages.count++] = static_cast<std::uint8_t>(b);
    }
    if (preimages.count > 0) {
        std::fill(preimages.values.begin() + static_cast<std::ptrdiff_t>(preimages.count),
                  preimages.values.end(), preimages.values[0]);
    }
    return preimages;
}

constexpr std::int32_t kLanes = 16;
typedef std::uint8_t Lanes __attribute__((vector_size(kLanes)));
typedef std::int8_t LaneMask __attribute__((vector_size(kLanes)));

Lanes LoadLanes(const std::uint8_t* at) {
    Lanes lanes;
    std::memcpy(&lanes, at, sizeof lanes);
    return lanes;
}

// Compares against the first `width` values only: each compare costs as much as the scan itself.
template <std::size_t width> LaneMask LanesEqualToAny(Lanes lanes, const Preimages& set) {
    LaneMask mask = lanes == set.values[0];
    for (std::size_t i = 1; i < width; ++i) {
        mask |= lanes == set.values[i];
    }
    return mask;
}

// Index of the first set lane, or kLanes.
std::int32_t FirstSetLane(LaneMask mask) {
    std::uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    for (std::int32_t half = 0; half < 2; ++half) {
        if (halves[half] != 0) {
            const int bit = std::endian::native == std::endian::little
                                ? std::countr_zero(halves[half])
                                : std::countl_zero(halves[half]);
            return half * 8 + bit / 8;
        }
    }
    return kLanes;
}

bool MatchesAt(const Range& range, const ByteTable& table, std::int32_t s) {
    for (std::int32_t i = 0; i < range.length; ++i) {
        if (table[range.data[s + i]] != range.pattern[i]) {
            return false;
        }
    }
    return true;
}

// Finds candidates whose first two bytes map onto the pattern's first two, sixteen positions at a
// time, and checks each candidate in full. The result is the first match, as the plain scan's.
template <std::size_t width>
std::int32_t CandidateScan(const Range& range, const ByteTable& table, const Preimages& first,
                           const Preimages& second) {
    const std::int32_t lookahead = range.length > 1 ? 1 : 0;
    std::int32_t s = range.start;
    // Keeps every vector read inside the range: bytes s .. s + kLanes - 1 + lookahead.
    while (std::int64_t{s} + kLanes + lookahead <= std::int64_t{range.end} + 1) {
        LaneMask candidates = LanesEqualToAny<width>(LoadLanes(range.data + s), first);
        if (lookahead != 0) {
            candidates &= LanesEqualToAny<width>(LoadLanes(range.data + s + 1), second);
        }
        std::int32_t lane = FirstSetLane(candidates);
        while (lane < kLanes) {
            const std::int32_t candidate = s + lane;
            if (candidate > range.lastStart) {
                return -1;
            }
            if (MatchesAt(range, table, candidate)) {
                return candidate;
            }
            candidates[lane] = 0;
            lane = FirstSetLane(candidates);
        }
        s += kLanes;
    }
    for (; s <= range.lastStart; ++s) {
        if (MatchesAt(range, table, s)) {
            return s;
        }
    }
    return -1;
}

std::int32_t FastSearch(const Range& range, const ByteTable& table) {
    if (IsIdentity(table)) {
        return IdentitySearch(range);
    }
    const std::optional<Preimages> first = PreimagesOf(table, range.pattern[0]);
    const std::optional<Preimages> second =
        PreimagesOf(table, range.pattern[range.length > 1 ? 1 : 0]);
    if (!first || !second) {
        NoProgress none;
        return StepwiseScan(range, table, none);
    }
    if (first->count == 0 || second->count == 0) {
        return -1;
    }
    switch (std::max(first->count, second->count)) {
    case 1:
        return CandidateScan<1>(range, table, *first, *second);
    case 2:
        return CandidateScan<2>(range, table, *first, *second);
    default:
        return CandidateScan<kMaxPreimages>(range, table, *first, *second);
    }
}

} // namespace

std::string PreparePattern(std::string_view text, bool ignoreCase, bool translate,
                           HexTranslationKind translation, bool unicode, bool bigEndian,
                           FindTables& tables) {
    std::string pattern = ignoreCase ? codepage::AnsiLower(text) : std::string(text);
    if (translate && translation != HexTranslationKind::tkAsIs) {
        pattern = EncodedIn(translation, std::move(pattern));
    }
    if (translate && unicode) {
        pattern = WidenedToUnicode(pattern, bigEndian);
    }
    RebuildTables(translation, tables);
    return pattern;
}

std::int32_t FindBytes(const std::uint8_t* data, std::int32_t dataLength,
                       const std::uint8_t* pattern, std::int32_t length, std::int32_t start,
                       std::int32_t end, const std::array<std::uint8_t, 256>& table,
                       const FindProgressFn& progress) {
    const std::optional<Range> range = ValidRange(data, dataLength, pattern, length, start, end);
    if (!range) {
        return -1;
    }
    if (!progress) {
        return FastSearch(*range, table);
    }
    StepProgress steps(progress, dataLength);
    return StepwiseScan(*range, table, steps);
}

} // namespace quillon
