#pragma once

#include <QString>
#include <memory>

class QPainter;
class QPicture;
class QPrinter;
class QRectF;

namespace quillon {

// The printer pages are laid out for: the system's default printer or, when none is installed,
// an A4 page of a PDF file at kPdfResolution dots per inch.
inline constexpr int kPdfResolution = 300;

QPrinter& CurrentPrinter();
// Replaces the current printer (a host choosing another printer; tests fixing the page).
void SetCurrentPrinter(std::unique_ptr<QPrinter> printer);
// True when the current printer is a real printer rather than the PDF stand-in.
bool CurrentPrinterIsSystemPrinter();
// An A4 PDF printer at kPdfResolution, the whole sheet printable.
std::unique_ptr<QPrinter> MakePdfPrinter(const QString& fileName = {});

// One job of one page: the picture stretched over the printer's whole page. A null picture
// prints an empty page. Raises std::runtime_error when the job cannot start.
void PrintPicture(const QPicture& picture, QPrinter& printer);
// A page picture scaled onto the target rectangle of the painter's device.
void DrawPictureStretched(QPainter& painter, const QPicture& picture, const QRectF& target);

} // namespace quillon
