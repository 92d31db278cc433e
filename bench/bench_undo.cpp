// Cost of recording undo: a typed byte on a long history against a short one, and an overwrite of
// 1 MiB against 1 KiB per byte. Both must stay flat while the budget drops the oldest records.
#include <benchmark/benchmark.h>

#include "../tests/editor/core/fake_undo_target.h"
#include "editor/core/undo_storage.h"

namespace {

using quillon::HexUndoKind;
using quillon::HexUndoStorage;
using quillon::testing::FakeUndoTarget;

constexpr std::int32_t kDocumentSize = 2 * 1024 * 1024;

void TypeByte(FakeUndoTarget& editor, HexUndoStorage& storage, std::int32_t position) {
    storage.AddRecord(HexUndoKind::ukChangeBytes, position, 1, 0, "");
    editor.bytes[static_cast<std::size_t>(position)] ^= 0x5A;
    editor.MarkChanged(position, true);
}

constexpr std::int32_t kBatch = 1000;

// Typed bytes on a history of range(0) edits. Each batch of typed bytes is taken off the stack
// again (untimed) so that the history keeps its length; a long history sits at the budget and
// drops its oldest record on every edit.
void BM_TypedByteAfterEdits(benchmark::State& state) {
    FakeUndoTarget editor{std::vector<std::uint8_t>(kDocumentSize)};
    HexUndoStorage storage(editor);
    std::int32_t position = 0;
    const auto next = [&] {
        return position = (position + 4099) % kDocumentSize;
    };
    for (std::int64_t i = 0; i < state.range(0); ++i)
        TypeByte(editor, storage, next());
    const bool atBudget = storage.StackBytes().size() + 34 * kBatch > 1048576;
    for (auto _ : state) {
        for (std::int32_t i = 0; i < kBatch; ++i)
            TypeByte(editor, storage, next());
        if (atBudget)
            continue;
        state.PauseTiming();
        for (std::int32_t i = 0; i < kBatch; ++i)
            storage.PopNewest();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
    state.counters["records"] = storage.RecordCount();
}
BENCHMARK(BM_TypedByteAfterEdits)->Arg(1000)->Arg(100000);

// The undo records of an overwrite: one per changed byte, then the group.
void BM_OverwritePerByte(benchmark::State& state) {
    FakeUndoTarget editor{std::vector<std::uint8_t>(kDocumentSize)};
    HexUndoStorage storage(editor);
    const auto size = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        for (std::int32_t i = 0; i < size; ++i)
            TypeByte(editor, storage, i);
        storage.AddRecord(HexUndoKind::ukReplace, 0, size, size, "");
    }
    state.SetItemsProcessed(state.iterations() * size);
}
BENCHMARK(BM_OverwritePerByte)->Arg(1024)->Arg(1024 * 1024)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
