#pragma once

#include <QFont>
#include <cstdint>
#include <memory>

#include "editor/widget/canvas_printer.h"
#include "editor/widget/print_options.h"

class QPainter;
class QPicture;

namespace quillon {

class HexEditorCore;

// What a page is drawn from: the editor's document and layout, its look and its font.
struct PrintSource {
    HexEditorCore& core;
    PrintLook look;
    QFont editorFont;
};

// The printing state an editor owns (options, print font, the last page count) and the page
// operations over the current printer.
class HexPrintEngine {
public:
    explicit HexPrintEngine(const QFont& printFont);

    HexPrintOptions& PrintOptions() { return options_; }
    const HexPrintOptions& PrintOptions() const { return options_; }
    void SetPrintOptions(const HexPrintOptions& options) { options_.Assign(options); }
    const QFont& PrintFont() const { return printFont_; }
    // Printing then uses this font rather than the editor's.
    void SetPrintFont(const QFont& font);
    bool UseEditorFontForPrinting() const { return useEditorFont_; }
    void SetUseEditorFontForPrinting(bool use) { useEditorFont_ = use; }

    // The current printer's page less the margins, in its device pixels.
    PageRect GetPrintArea() const;
    // Draws page `page` (1-based; 0 only counts) inside the area and returns the page count.
    // EHexEditor "Invalid Page Index" for a negative page or one beyond the count, "Printing
    // Failed" when a page draws no line.
    std::int32_t PaintPage(const PrintSource& source, QPainter& canvas, std::int32_t page,
                           const PageRect& area);
    // A picture of the current printer's page size with the page drawn on it.
    std::unique_ptr<QPicture> RenderPage(const PrintSource& source, std::int32_t page);
    // Renders page 0 and answers its count.
    std::int32_t PageCount(const PrintSource& source);
    std::int32_t LastPageCount() const { return pageCount_; }

private:
    HexPrintOptions options_;
    QFont printFont_;
    bool useEditorFont_ = true;
    std::int32_t pageCount_ = 0;
};

} // namespace quillon
