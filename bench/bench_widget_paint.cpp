// Painting a 1920 x 1080 editor that shows a 256 MiB document: a full repaint at the start and at
// the end of the document, a scroll step and a caret move. Runs on the offscreen platform.
#include <cstdlib>
#include <memory>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "editor/widget/hex_editor_ex.h"

namespace {

constexpr std::int32_t kDocumentSize = 256 << 20;

quillon::HexEditorEx& Editor() {
    static std::unique_ptr<quillon::HexEditorEx> editor = [] {
        auto made = std::make_unique<quillon::HexEditorEx>();
        quillon::HexEditorCore& core = made->Core();
        core.SetDataSize(kDocumentSize);
        std::vector<std::uint8_t> block(1 << 20);
        std::uint32_t seed = 12345;
        for (auto& byte : block) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<std::uint8_t>(seed >> 16);
        }
        for (std::int32_t at = 0; at < kDocumentSize;
             at += static_cast<std::int32_t>(block.size())) {
            core.WriteAt(block.data(), at, static_cast<std::int32_t>(block.size()));
        }
        core.UpdateGridSize();
        core.SetShowRuler(true);
        // Some changed and selected bytes on screen, as while editing.
        for (std::int32_t i = 0; i < 64; i += 3) {
            core.MarkChanged(i, true);
            core.MarkChanged(kDocumentSize - 1 - i, true);
        }
        made->resize(1920, 1080);
        made->show();
        made->setFocus();
        QApplication::processEvents();
        return made;
    }();
    return *editor;
}

// Argument 0: the first rows of the document; 1: rows near its end (the last screen's worth is
// not enough for the caret to stand on the same screen row as at the start). The caret stands in
// the second row of the view, its column and the selection alike in both.
void PlaceView(quillon::HexEditorEx& editor, std::int64_t atEnd) {
    quillon::HexEditorCore& core = editor.Core();
    const std::int32_t first = atEnd != 0 ? kDocumentSize - 16 * 200 : 0;
    core.MoveCaretToCell(core.PositionToCell(first + 16 + 2, false));
    core.SetTopRow(core.Row() - 1);
    core.SelectRange(first + 100, first + 200);
    QApplication::processEvents();
}

void BM_FullRepaint(benchmark::State& state) {
    quillon::HexEditorEx& editor = Editor();
    PlaceView(editor, state.range(0));
    for (auto _ : state) {
        editor.viewport()->repaint();
    }
    state.counters["top_row"] = editor.Core().TopRow();
}
BENCHMARK(BM_FullRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The paint routine alone, into an image of the viewport's size.
void BM_PaintGrid(benchmark::State& state) {
    quillon::HexEditorEx& editor = Editor();
    PlaceView(editor, state.range(0));
    QImage image(editor.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        editor.PaintGrid(painter, image.rect());
    }
}
BENCHMARK(BM_PaintGrid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One row scrolled and repainted, up and down in turn.
void BM_ScrollStep(benchmark::State& state) {
    quillon::HexEditorEx& editor = Editor();
    PlaceView(editor, state.range(0));
    quillon::HexEditorCore& core = editor.Core();
    const std::int32_t top = core.TopRow();
    std::int32_t step = top > 2 ? -1 : 1;
    for (auto _ : state) {
        core.SetTopRow(core.TopRow() + step);
        step = -step;
        editor.viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The caret one row down and back up, repainting what the moves invalidate.
void BM_CaretMove(benchmark::State& state) {
    quillon::HexEditorEx& editor = Editor();
    PlaceView(editor, state.range(0));
    quillon::HexEditorCore& core = editor.Core();
    core.Unselect(true);
    bool down = state.range(0) == 0;
    for (auto _ : state) {
        core.KeyDown(down ? quillon::HexKey::kDown : quillon::HexKey::kUp,
                     quillon::HexShift::kNone);
        down = !down;
        QApplication::processEvents();
    }
}
BENCHMARK(BM_CaretMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
