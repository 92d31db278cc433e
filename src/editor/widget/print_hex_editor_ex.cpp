// The editor's page operations: the print engine fed with the editor's document, look and
// print settings.
#include <QPicture>

#include "editor/widget/hex_editor_ex.h"

namespace quillon {

PrintSource HexEditorEx::PrintingSource() {
    const HexColors& colors = Colors();
    const PrintLook look{Resolve(colors.Background()), Resolve(colors.Offset()),
                         Resolve(colors.EvenColumn()), Resolve(colors.OddColumn()),
                         Resolve(FontColor())};
    return {Core(), look, useEditorFontForPrinting_ ? Font() : printFont_.font, printOptions_};
}

std::int32_t HexEditorEx::PaintPage(QPainter& canvas, std::int32_t page, const PageRect& area) {
    return quillon::PaintPage(PrintingSource(), canvas, page, area);
}

std::unique_ptr<QPicture> HexEditorEx::RenderPage(std::int32_t page) {
    return std::move(quillon::RenderPage(PrintingSource(), page).picture);
}

std::int32_t HexEditorEx::PageCount() {
    return quillon::RenderPage(PrintingSource(), 0).pageCount;
}

} // namespace quillon
