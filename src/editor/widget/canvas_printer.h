#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>
#include <vector>

#include "editor/widget/hex_print_options.h"

class QPainter;

namespace quillon {

class HexEditorCore;

// One printed line: a character and an attribute for each column. The low four bits of an
// attribute are its colour class; kPrintBold marks a selected byte (or the caret row's offset).
struct TextWithAttr {
    QString text;
    std::vector<std::uint8_t> attributes;

    void Append(QChar character, std::uint8_t attribute);
    void Append(const QString& characters, std::uint8_t attribute);
};

// Colour classes of printed characters.
inline constexpr std::uint8_t kPrintOffset = 0;
inline constexpr std::uint8_t kPrintEvenColumn = 1;
inline constexpr std::uint8_t kPrintOddColumn = 2;
inline constexpr std::uint8_t kPrintCharField = 3;
inline constexpr std::uint8_t kPrintCharSeparator = 4;
inline constexpr std::uint8_t kPrintClassMask = 0x0F;
inline constexpr std::uint8_t kPrintBold = 0x10;

// Font sizes are points unless the font was given in pixels.
std::int32_t FontSize(const QFont& font);
void SetFontSize(QFont& font, std::int32_t size);

// What a page takes from the editor's widget: its colours (system colours already resolved)
// and its font's colour.
struct PrintLook {
    QColor background = Qt::white;
    QColor offset = Qt::black;
    QColor evenColumn = QColor(0x00, 0x00, 0x80);
    QColor oddColumn = QColor(0x00, 0x00, 0xFF);
    QColor fontColor = Qt::black;
};

// A rectangle in device pixels; right and bottom are the coordinates of the far edges.
struct PageRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t Width() const { return right - left; }
    bool operator==(const PageRect&) const = default;
};

// The flags a page is drawn with: pfSelectionOnly only while something is selected.
HexPrintFlags EffectivePrintFlags(HexPrintFlags flags, std::int32_t selectionCount);

// One rendering job: lays the document (or the selection, or the rows on view) out as pages
// of text lines inside a print area and draws one of them on a canvas. Lines per page and the
// page count are measured at construction with the canvas's font.
class HexCanvasPrinter {
public:
    HexCanvasPrinter(HexEditorCore& editor, const PrintLook& look, QString headerTemplate,
                     QString footerTemplate, const PageRect& area, HexPrintFlags flags,
                     QPainter& canvas);

    std::int32_t LinesPerPage() const { return linesPerPage_; }
    std::int32_t PageCount() const { return pageCount_; }
    // The templates as expanded for the page drawn last.
    const QString& HeaderText() const { return headerText_; }
    const QString& FooterText() const { return footerText_; }

    // Lines drawn (or, measuring, lines that fit) for a 1-based page; -1 when there is
    // nothing to draw.
    std::int32_t DrawPage(bool measureOnly, std::int32_t page);
    QString ExpandTemplate(const QString& pageTemplate, std::int32_t page) const;
    // "left|centre|right" at y = top, between x = left and x = right.
    void DrawHeaderFooter(std::int32_t left, std::int32_t top, std::int32_t right,
                          const QString& text);
    // The line of BytesPerRow bytes from position; bytes beyond lastPosition are blank.
    TextWithAttr BuildLine(std::int32_t position, std::int32_t lastPosition,
                           std::int32_t offsetWidth);

private:
    struct Range {
        std::int64_t first = 0;
        std::int64_t last = -1;
    };
    Range PrintRange() const;
    std::int32_t PrintedByteCount() const;
    bool Has(HexPrintFlags flag) const { return (flags_ & flag) != 0; }
    bool SelectionOnly() const;
    bool BoldSelection() const;
    std::int32_t LineHeight() const;
    void ShrinkToFit(const QString& firstLine);
    void DrawLine(const TextWithAttr& line, std::int32_t top);
    // A black rule across the print area.
    void DrawRule(std::int32_t y);
    QColor ClassColor(std::uint8_t attribute) const;
    void AppendOffset(TextWithAttr& line, std::int32_t position, std::int32_t offsetWidth);
    void AppendHexPart(TextWithAttr& line, std::int32_t position, std::int32_t lastPosition);
    void AppendCharPart(TextWithAttr& line, std::int32_t position, std::int32_t lastPosition);
    void AppendUnicodePart(TextWithAttr& line, std::int32_t position, std::int32_t lastPosition);

    HexEditorCore& editor_;
    PrintLook look_;
    QString headerTemplate_;
    QString footerTemplate_;
    QString headerText_;
    QString footerText_;
    PageRect area_;
    HexPrintFlags flags_;
    QPainter& canvas_;
    std::int32_t linesPerPage_ = 0;
    std::int32_t pageCount_ = 0;
};

} // namespace quillon
