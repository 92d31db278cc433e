#include "editor/widget/print_device.h"

#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPrinterInfo>
#include <stdexcept>

namespace quillon {
namespace {

std::unique_ptr<QPrinter>& CurrentPrinterSlot() {
    static std::unique_ptr<QPrinter> printer;
    return printer;
}

std::unique_ptr<QPrinter> MakeDefaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return MakePdfPrinter();
    }
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

} // namespace

QPrinter& CurrentPrinter() {
    auto& printer = CurrentPrinterSlot();
    if (!printer) {
        printer = MakeDefaultPrinter();
    }
    return *printer;
}

void SetCurrentPrinter(std::unique_ptr<QPrinter> printer) {
    CurrentPrinterSlot() = std::move(printer);
}

bool CurrentPrinterIsSystemPrinter() {
    return CurrentPrinter().outputFormat() == QPrinter::NativeFormat;
}

std::unique_ptr<QPrinter> MakePdfPrinter(const QString& fileName) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(kPdfResolution);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setFullPage(true);
    printer->setOutputFileName(fileName);
    return printer;
}

void PrintPicture(const QPicture& picture, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw std::runtime_error(printer.outputFileName().isEmpty()
                                     ? "Cannot start the print job"
                                     : "Cannot write " + printer.outputFileName().toStdString());
    }
    DrawPictureStretched(painter, picture, QRectF(0, 0, printer.width(), printer.height()));
    painter.end();
}

void DrawPictureStretched(QPainter& painter, const QPicture& picture, const QRectF& target) {
    const QRect source = picture.boundingRect();
    if (picture.isNull() || source.width() <= 0 || source.height() <= 0) {
        return;
    }
    // Playing a picture scales it from its own resolution to the device's; one picture unit
    // is meant to be one device pixel here, so that scaling is undone.
    const double dpiX =
        static_cast<double>(picture.logicalDpiX()) / painter.device()->logicalDpiX();
    const double dpiY =
        static_cast<double>(picture.logicalDpiY()) / painter.device()->logicalDpiY();
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / source.width() * dpiX, target.height() / source.height() * dpiY);
    painter.drawPicture(-source.topLeft(), picture);
    painter.restore();
}

} // namespace quillon
