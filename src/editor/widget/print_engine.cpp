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

class WaitCursorScope {
public:
    explicit WaitCursorScope(HexEditorCore& core) : core_(core) { core_.PushWaitCursor(); }
    ~WaitCursorScope() { core_.PopCursor(); }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

private:
    HexEditorCore& core_;
};

} // namespace

HexPrintEngine::HexPrintEngine(const QFont& printFont) : printFont_(printFont) {}

void HexPrintEngine::SetPrintFont(const QFont& font) {
    printFont_ = font;
    useEditorFont_ = false;
}

PageRect HexPrintEngine::GetPrintArea() const {
    const QPrinter& printer = CurrentPrinter();
    const int dx = printer.logicalDpiX();
    const int dy = printer.logicalDpiY();
    return {MillimetresToPixels(options_.MarginLeft(), dx),
            MillimetresToPixels(options_.MarginTop(), dy),
            printer.width() - MillimetresToPixels(options_.MarginRight(), dx),
            printer.height() - MillimetresToPixels(options_.MarginBottom(), dy)};
}

std::int32_t HexPrintEngine::PaintPage(const PrintSource& source, QPainter& canvas,
                                       std::int32_t page, const PageRect& area) {
    if (page < 0) {
        throw EHexEditor("Invalid Page Index");
    }
    const WaitCursorScope waitCursor(source.core);
    const HexPrintFlags flags = EffectivePrintFlags(options_.Flags(), source.core.SelectionCount());
    HexCanvasPrinter printer(source.core, source.look, options_.PageHeader(), options_.PageFooter(),
                             area, flags, canvas);
    if (printer.PageCount() < page) {
        throw EHexEditor("Invalid Page Index");
    }
    if (page >= 1 && printer.DrawPage(false, page) <= 0) {
        throw EHexEditor("Printing Failed");
    }
    return printer.PageCount();
}

std::unique_ptr<QPicture> HexPrintEngine::RenderPage(const PrintSource& source, std::int32_t page) {
    const QPrinter& printer = CurrentPrinter();
    const int width = printer.width();
    const int height = printer.height();
    auto picture = std::make_unique<QPicture>();
    QPainter canvas(picture.get());
    // Point sizes are meant for the screen; the page has the printer's resolution.
    QFont font = useEditorFont_ ? source.editorFont : printFont_;
    const double scale =
        static_cast<double>(printer.logicalDpiY()) / canvas.device()->logicalDpiY();
    if (font.pointSize() > 0) {
        font.setPointSize(static_cast<int>(std::lround(font.pointSize() * scale)));
    } else {
        font.setPixelSize(static_cast<int>(std::lround(font.pixelSize() * scale)));
    }
    canvas.setFont(font);
    canvas.fillRect(0, 0, width, height, Qt::white);
    pageCount_ = PaintPage(source, canvas, page, GetPrintArea());
    canvas.end();
    picture->setBoundingRect(QRect(0, 0, width, height));
    return picture;
}

std::int32_t HexPrintEngine::PageCount(const PrintSource& source) {
    RenderPage(source, 0);
    return pageCount_;
}

} // namespace quillon
