#pragma once

#include <QFont>
#include <cstdint>
#include <memory>

#include "editor/widget/canvas_printer.h"
#include "editor/widget/hex_print_options.h"

class QPainter;
class QPicture;

namespace quillon {

class HexEditorCore;

// What a page is drawn from: the editor's document and layout, its look, the font pages are
// printed in and the print options.
struct PrintSource {
    HexEditorCore& core;
    PrintLook look;
    QFont font;
    const HexPrintOptions& options;
};

struct RenderedPage {
    std::unique_ptr<QPicture> picture;
    std::int32_t pageCount = 0;
};

// The current printer's page less the margins, in its device pixels.
PageRect GetPrintArea(const HexPrintOptions& options);
// Draws page `page` (1-based; 0 only counts) inside the area and returns the page count.
// EHexEditor "Invalid Page Index" for a negative page or one beyond the count, "Printing Failed"
// when a page draws no line.
std::int32_t PaintPage(const PrintSource& source, QPainter& canvas, std::int32_t page,
                       const PageRect& area);
// A picture of the current printer's page size with the page drawn on it, and the page count.
RenderedPage RenderPage(const PrintSource& source, std::int32_t page);

} // namespace quillon
