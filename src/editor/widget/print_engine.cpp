#include "editor/widget/print_engine.h"

#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_error.h"
#include "editor/widget/print_device.h"

namespace quillon {
namespace {

// Millimetres to device pixels; a margin wider than any page stays a representable number.
std::int32_t MillimetresToPixels(std::int32_t millimetres, int dotsPerInch) {
    const double pixels = std::clamp(millimetres / 25.4 * dotsPerInch, -1e9, 1e9);
    return static_cast<std::int32_t>(std::lround(pixels));
}

} // namespace

PageRect GetPrintArea(const HexPrintOptions& options) {
    const QPrinter& printer = CurrentPrinter();
    const int dx = printer.logicalDpiX();
    const int dy = printer.logicalDpiY();
    return {MillimetresToPixels(options.MarginLeft(), dx),
            MillimetresToPixels(options.MarginTop(), dy),
            printer.width() - MillimetresToPixels(options.MarginRight(), dx),
            printer.height() - MillimetresToPixels(options.MarginBottom(), dy)};
}

std::int32_t PaintPage(const PrintSource& source, QPainter& canvas, std::int32_t page,
                       const PageRect& area) {
    if (page < 0) {
        throw EHexEditor("Invalid Page Index");
    }
    const HexEditorCore::WaitCursorScope waitCursor(source.core);
    const HexPrintFlags flags =
        EffectivePrintFlags(source.options.Flags(), source.core.SelectionCount());
    HexCanvasPrinter printer(source.core, source.look, source.options.PageHeader(),
                             source.options.PageFooter(), area, flags, canvas);
    if (printer.PageCount() < page) {
        throw EHexEditor("Invalid Page Index");
    }
    if (page >= 1 && printer.DrawPage(false, page) <= 0) {
        throw EHexEditor("Printing Failed");
    }
    return printer.PageCount();
}

RenderedPage RenderPage(const PrintSource& source, std::int32_t page) {
    const QPrinter& printer = CurrentPrinter();
    const int width = printer.width();
    const int height = printer.height();
    RenderedPage rendered{std::make_unique<QPicture>()};
    QPainter canvas(rendered.picture.get());
    // Point sizes are meant for the screen; the page has the printer's resolution.
    QFont font = source.font;
    const double scale =
        static_cast<double>(printer.logicalDpiY()) / canvas.device()->logicalDpiY();
    SetFontSize(font, static_cast<std::int32_t>(std::lround(FontSize(font) * scale)));
    canvas.setFont(font);
    canvas.fillRect(0, 0, width, height, Qt::white);
    rendered.pageCount = PaintPage(source, canvas, page, GetPrintArea(source.options));
    canvas.end();
    rendered.picture->setBoundingRect(QRect(0, 0, width, height));
    return rendered;
}

} // namespace quillon
