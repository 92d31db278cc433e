#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "editor/core/hex_types.h"

// Forward byte search: a search text becomes the bytes the document would hold, which are then
// looked for with every document byte passed through a 256-entry table.
namespace quillon {

struct FindTables {
    std::array<std::uint8_t, 256> identity;
    std::array<std::uint8_t, 256> lowerCase; // a byte lower-cased in the current translation
};

// The pattern bytes of `text` (ANSI): lower-cased when ignoring case; with `translate`, encoded in
// the translation and widened to UTF-16 units in unicode mode. Rebuilds both tables.
std::string PreparePattern(std::string_view text, bool ignoreCase, bool translate,
                           HexTranslationKind translation, bool unicode, bool bigEndian,
                           FindTables& tables);

// Percent of the byte being compared; an empty function means no progress reports.
using FindProgressFn = std::function<void(std::uint8_t percent)>;

// The first s >= start with table[data[s + i]] == pattern[i] for every i < length and
// s + length - 1 <= end (end is clamped to the data), or -1; also -1 for an empty pattern or a
// range that cannot hold it. With a progress function every byte comparison of the plain
// quadratic scan is a step, and every multiple of max(1, dataLength div 500) steps is reported.
std::int32_t FindBytes(const std::uint8_t* data, std::int32_t dataLength,
                       const std::uint8_t* pattern, std::int32_t length, std::int32_t start,
                       std::int32_t end, const std::array<std::uint8_t, 256>& table,
                       const FindProgressFn& progress);

} // namespace quillon
