// FindBytes over a 256 MiB document against glibc memmem, for an absent 16-byte pattern.
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>

#include "editor/core/find_engine.h"

namespace {

using quillon::FindBytes;
using quillon::FindTables;
using quillon::HexTranslationKind;

constexpr std::size_t kDocumentSize = 256u << 20;
constexpr std::string_view kAbsentPattern = "quillon absent!!";

// Argument 0: random bytes; 1: text (lower- and upper-case letters, digits and spaces).
const std::vector<std::uint8_t>& Document(std::int64_t kind) {
    static std::vector<std::uint8_t> documents[2];
    std::vector<std::uint8_t>& document = documents[kind];
    if (document.empty()) {
        constexpr std::string_view kText =
            "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 ";
        std::mt19937_64 random(7);
        document.resize(kDocumentSize);
        for (auto& byte : document) {
            const auto value = random();
            byte = kind == 0 ? static_cast<std::uint8_t>(value) : kText[value % kText.size()];
        }
    }
    return document;
}

const auto* Pattern() {
    return reinterpret_cast<const std::uint8_t*>(kAbsentPattern.data());
}

void ReportBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kDocumentSize));
}

void BM_Memmem(benchmark::State& state) {
    const auto& document = Document(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            memmem(document.data(), document.size(), Pattern(), kAbsentPattern.size()));
    }
    ReportBytes(state);
}

void RunFind(benchmark::State& state, bool ignoreCase) {
    const auto& document = Document(state.range(0));
    FindTables tables{};
    const std::string pattern = quillon::PreparePattern(
        kAbsentPattern, ignoreCase, false, HexTranslationKind::tkAsIs, false, false, tables);
    const auto& table = ignoreCase ? tables.lowerCase : tables.identity;
    const auto size = static_cast<std::int32_t>(document.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            FindBytes(document.data(), size, reinterpret_cast<const std::uint8_t*>(pattern.data()),
                      static_cast<std::int32_t>(pattern.size()), 0, size - 1, table, {}));
    }
    ReportBytes(state);
}

void BM_FindBytes(benchmark::State& state) {
    RunFind(state, false);
}
void BM_FindBytesIgnoreCase(benchmark::State& state) {
    RunFind(state, true);
}

BENCHMARK(BM_Memmem)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindBytes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindBytesIgnoreCase)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
