// Cost of recording undo in the editor: a typed byte on a long history against a short one, and
// the records of a 1 MiB overwrite against a 1 KiB one, per byte. Both must stay flat while the
// budget drops the oldest records.
#include <benchmark/benchmark.h>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_memory_stream.h"
#include "editor/core/undo_storage.h"

namespace {

using quillon::HexEditorCore;
using quillon::HexUndoKind;

constexpr std::int32_t kDocumentSize = 2 << 20;
constexpr std::int32_t kBatch = 1000;

void LoadZeros(HexEditorCore& editor) {
    quillon::HexMemoryStream bytes;
    bytes.SetSize(kDocumentSize);
    editor.LoadStream(bytes);
}

void TypeByte(HexEditorCore& editor, std::int32_t position) {
    const std::uint8_t old = editor.ByteAt(position);
    editor.ChangeByte(old, static_cast<std::uint8_t>(old ^ 0x5A), position, 2, 2);
}

// Typed bytes (ChangeByte with its record) on a history of range(0) edits. A short history gets
// each batch taken off the stack again, untimed, so that it keeps its length; a long one sits at
// the budget and drops its oldest record on every edit.
void BM_TypedByteAfterEdits(benchmark::State& state) {
    HexEditorCore editor;
    LoadZeros(editor);
    std::int32_t position = 0;
    const auto next = [&] {
        return position = (position + 4099) % kDocumentSize;
    };
    for (std::int64_t i = 0; i < state.range(0); ++i)
        TypeByte(editor, next());
    quillon::HexUndoStorage& storage = editor.UndoStorage();
    const bool atBudget = storage.StackBytes().size() + 34 * kBatch > 1048576;
    for (auto _ : state) {
        for (std::int32_t i = 0; i < kBatch; ++i)
            TypeByte(editor, next());
        editor.DeliverSelectionChanged();
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

// The records an overwrite of range(0) bytes asks for: one per byte, then the group.
void BM_OverwriteRecordsPerByte(benchmark::State& state) {
    HexEditorCore editor;
    LoadZeros(editor);
    quillon::HexUndoStorage& storage = editor.UndoStorage();
    const auto size = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        for (std::int32_t i = 0; i < size; ++i)
            storage.AddRecord(HexUndoKind::ukChangeBytes, i, 1, 0, "");
        storage.AddRecord(HexUndoKind::ukReplace, 0, size, size, "");
    }
    state.SetItemsProcessed(state.iterations() * size);
}
BENCHMARK(BM_OverwriteRecordsPerByte)->Arg(1024)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
