#include "editor/widget/canvas_printer.h"

#include <QCoreApplication>
#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <utility>

#include "editor/core/hex_editor_core.h"
#include "editor/core/translation.h"
#include "platform/codepage/codepage.h"

namespace quillon {
namespace {

constexpr std::uint8_t kSelectedChar = kPrintBold | kPrintCharField;

QFont WithoutStyle(QFont font) {
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

// Rendering lets timers and repaints run, but no key or click can start another command.
void ProcessPendingEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The canvas font and text colour of a page are restored when the page is done.
class CanvasFontScope {
public:
    explicit CanvasFontScope(QPainter& canvas)
        : canvas_(canvas), font_(canvas.font()), pen_(canvas.pen()) {}
    ~CanvasFontScope() {
        canvas_.setFont(font_);
        canvas_.setPen(pen_);
    }
    CanvasFontScope(const CanvasFontScope&) = delete;
    CanvasFontScope& operator=(const CanvasFontScope&) = delete;

private:
    QPainter& canvas_;
    QFont font_;
    QPen pen_;
};

} // namespace

std::int32_t FontSize(const QFont& font) {
    return font.pointSize() > 0 ? font.pointSize() : font.pixelSize();
}

void SetFontSize(QFont& font, std::int32_t size) {
    if (font.pointSize() > 0) {
        font.setPointSize(size);
    } else {
        font.setPixelSize(size);
    }
}

void TextWithAttr::Append(QChar character, std::uint8_t attribute) {
    text.append(character);
    attributes.push_back(attribute);
}

void TextWithAttr::Append(const QString& characters, std::uint8_t attribute) {
    text.append(characters);
    attributes.insert(attributes.end(), static_cast<std::size_t>(characters.size()), attribute);
}

HexCanvasPrinter::HexCanvasPrinter(HexEditorCore& editor, const PrintLook& look,
                                   QString headerTemplate, QString footerTemplate,
                                   const PageRect& area, HexPrintFlags flags, QPainter& canvas)
    : editor_(editor), look_(look), headerTemplate_(std::move(headerTemplate)),
      footerTemplate_(std::move(footerTemplate)), area_(area), flags_(flags), canvas_(canvas) {
    // Rows that fit are measured over the whole document (or the rows on view), so that a
    // short selection does not shorten the page.
    flags_ = static_cast<HexPrintFlags>(flags & ~HexPrintFlag::pfSelectionOnly);
    linesPerPage_ = DrawPage(true, 1);
    flags_ = flags;

    const std::int64_t bytesPerRow = editor_.BytesPerRow();
    const std::int64_t rows = (PrintedByteCount() + bytesPerRow - 1) / bytesPerRow;
    pageCount_ = linesPerPage_ > 0
                     ? static_cast<std::int32_t>((rows + linesPerPage_ - 1) / linesPerPage_)
                     : 0;
}

HexPrintFlags EffectivePrintFlags(HexPrintFlags flags, std::int32_t selectionCount) {
    return selectionCount == 0 ? static_cast<HexPrintFlags>(flags & ~HexPrintFlag::pfSelectionOnly)
                               : flags;
}

bool HexCanvasPrinter::SelectionOnly() const {
    return Has(HexPrintFlag::pfSelectionOnly) && editor_.SelectionCount() > 0;
}

bool HexCanvasPrinter::BoldSelection() const {
    return Has(HexPrintFlag::pfSelectionBold) && !Has(HexPrintFlag::pfSelectionOnly);
}

HexCanvasPrinter::Range HexCanvasPrinter::PrintRange() const {
    if (SelectionOnly()) {
        return {editor_.SelectionLower(), editor_.SelectionUpper()};
    }
    if (Has(HexPrintFlag::pfCurrentViewOnly)) {
        return {editor_.FirstVisibleByte(), editor_.LastVisibleByte()};
    }
    return {0, editor_.DataLength() - 1};
}

std::int32_t HexCanvasPrinter::PrintedByteCount() const {
    if (SelectionOnly()) {
        return editor_.SelectionCount();
    }
    if (Has(HexPrintFlag::pfCurrentViewOnly)) {
        return editor_.DataLength() == 0
                   ? 0
                   : editor_.LastVisibleByte() - editor_.FirstVisibleByte() + 1;
    }
    return editor_.DataLength();
}

std::int32_t HexCanvasPrinter::DrawPage(bool measureOnly, std::int32_t page) {
    if (editor_.DataLength() == 0) {
        return -1;
    }
    headerText_ = ExpandTemplate(headerTemplate_, page);
    footerText_ = ExpandTemplate(footerTemplate_, page);
    const auto offsetWidth =
        static_cast<std::int32_t>(editor_.OffsetText(editor_.DataLength()).size());
    Range range = PrintRange();
    if (!measureOnly) {
        range.first += std::int64_t{linesPerPage_} * editor_.BytesPerRow() *
                       std::max<std::int64_t>(0, page - 1);
    }
    if (range.first > range.last) {
        return -1;
    }

    std::int32_t result = 0;
    std::int64_t position = range.first;
    const auto last = static_cast<std::int32_t>(range.last);
    TextWithAttr line = BuildLine(static_cast<std::int32_t>(position), last, offsetWidth);
    const CanvasFontScope fontScope(canvas_);
    const bool monochrome = Has(HexPrintFlag::pfMonochrome);
    const bool useBackground = !monochrome && Has(HexPrintFlag::pfUseBackgroundColor);
    const QColor paper = useBackground ? look_.background : QColor(Qt::white);
    canvas_.setBrush(paper);
    canvas_.setPen(monochrome ? QColor(Qt::black) : look_.fontColor);
    if (!measureOnly && area_.Width() > 0 && area_.bottom > area_.top) {
        canvas_.fillRect(
            QRect(QPoint(area_.left, area_.top), QPoint(area_.right - 1, area_.bottom - 1)), paper);
    }
    ShrinkToFit(line.text);
    const std::int32_t lineHeight = LineHeight();

    std::int32_t top = area_.top;
    std::int32_t bottom = area_.bottom;
    if (!headerText_.isEmpty()) {
        if (!measureOnly) {
            DrawHeaderFooter(area_.left, top, area_.right, headerText_);
            DrawRule(top + lineHeight);
        }
        top += 2 * lineHeight;
    }
    if (!footerText_.isEmpty()) {
        bottom -= lineHeight;
    }
    while (bottom >= top + lineHeight) {
        if (!measureOnly) {
            DrawLine(line, top);
        }
        ++result;
        position += editor_.BytesPerRow();
        if (position > range.last) {
            break;
        }
        line = BuildLine(static_cast<std::int32_t>(position), last, offsetWidth);
        top += lineHeight;
    }
    if (!footerText_.isEmpty() && !measureOnly) {
        const std::int32_t footerTop = area_.bottom - lineHeight;
        DrawHeaderFooter(area_.left, footerTop, area_.right, footerText_);
        DrawRule(footerTop);
    }
    return result;
}

void HexCanvasPrinter::ShrinkToFit(const QString& firstLine) {
    QFont font = canvas_.font();
    while (QFontMetrics(font, canvas_.device()).horizontalAdvance(firstLine) > area_.Width() &&
           FontSize(font) > 1) {
        SetFontSize(font, FontSize(font) - 1);
    }
    canvas_.setFont(font);
}

std::int32_t HexCanvasPrinter::LineHeight() const {
    const std::int32_t textHeight = canvas_.fontMetrics().height();
    const auto lineHeight = static_cast<std::int32_t>(std::lround(textHeight * 1.2));
    return lineHeight == textHeight ? lineHeight + 1 : lineHeight;
}

void HexCanvasPrinter::DrawRule(std::int32_t y) {
    const QPen textPen = canvas_.pen();
    canvas_.setPen(QColor(Qt::black));
    canvas_.drawLine(area_.left, y, area_.right, y);
    canvas_.setPen(textPen);
}

QColor HexCanvasPrinter::ClassColor(std::uint8_t attribute) const {
    switch (attribute & kPrintClassMask) {
    case kPrintOffset:
        return look_.offset;
    case kPrintEvenColumn:
        return look_.evenColumn;
    case kPrintOddColumn:
        return look_.oddColumn;
    default:
        return look_.fontColor;
    }
}

void HexCanvasPrinter::DrawLine(const TextWithAttr& line, std::int32_t top) {
    const QFont lineFont = canvas_.font();
    const QPen linePen = canvas_.pen();
    const bool boldSelection = BoldSelection();
    const bool monochrome = Has(HexPrintFlag::pfMonochrome);
    const QFont plain = WithoutStyle(lineFont);
    QFont bold = plain;
    bold.setBold(true);
    const QFontMetrics lineMetrics(lineFont, canvas_.device());
    const QFontMetrics plainMetrics(plain, canvas_.device());
    const QFontMetrics boldMetrics(bold, canvas_.device());

    std::int32_t x = area_.left;
    for (qsizetype i = 0; i < line.text.size(); ++i) {
        const std::uint8_t attribute = line.attributes[static_cast<std::size_t>(i)];
        const QFontMetrics* metrics = &lineMetrics;
        if (boldSelection) {
            const bool isBold = (attribute & kPrintBold) != 0;
            canvas_.setFont(isBold ? bold : plain);
            metrics = isBold ? &boldMetrics : &plainMetrics;
        }
        if (!monochrome) {
            canvas_.setPen(ClassColor(attribute));
        }
        const QChar character = line.text.at(i);
        if (character != u' ') {
            canvas_.drawText(x, top + metrics->ascent(), QString(character));
        }
        x += metrics->horizontalAdvance(u'w');
    }
    canvas_.setFont(lineFont);
    canvas_.setPen(linePen);
}

QString HexCanvasPrinter::ExpandTemplate(const QString& pageTemplate, std::int32_t page) const {
    const QLocale locale = QLocale::system();
    QString text;
    for (qsizetype i = 0; i < pageTemplate.size(); ++i) {
        const QChar character = pageTemplate.at(i);
        if (character != u'%' || i + 1 == pageTemplate.size()) {
            text += character;
            continue;
        }
        const QChar code = pageTemplate.at(++i);
        switch (code.unicode()) {
        case u'F':
            text += QString::fromStdString(editor_.FileName());
            break;
        case u'f':
            text += QString::fromStdString(
                std::filesystem::path(editor_.FileName()).filename().string());
            break;
        case u'p':
            text += QString::number(page);
            break;
        case u'P':
            text += QString::number(pageCount_);
            break;
        case u'd':
            text += locale.toString(QDate::currentDate(), QLocale::ShortFormat);
            break;
        case u't':
            text += locale.toString(QTime::currentTime(), QLocale::ShortFormat);
            break;
        case u'<':
            text += Latin1(editor_.UnicodeChars() ? UnicodeShortName(editor_.UnicodeBigEndian())
                                                  : TranslationShortName(editor_.Translation()));
            break;
        case u'>':
            text += Latin1(editor_.UnicodeChars() ? UnicodeLongName(editor_.UnicodeBigEndian())
                                                  : TranslationLongName(editor_.Translation()));
            break;
        default:
            text += u'%';
            text += code;
            break;
        }
    }
    return text;
}

void HexCanvasPrinter::DrawHeaderFooter(std::int32_t left, std::int32_t top, std::int32_t right,
                                        const QString& text) {
    const qsizetype firstBar = text.indexOf(u'|');
    const QString leftPart = firstBar < 0 ? text : text.left(firstBar);
    const QString rest = firstBar < 0 ? QString() : text.mid(firstBar + 1);
    const qsizetype secondBar = rest.indexOf(u'|');
    const QString centrePart = secondBar < 0 ? rest : rest.left(secondBar);
    const QString rightPart = secondBar < 0 ? QString() : rest.mid(secondBar + 1);

    const Qt::BGMode backgroundMode = canvas_.backgroundMode();
    canvas_.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics = canvas_.fontMetrics();
    const std::int32_t baseline = top + metrics.ascent();
    const std::int32_t centre = left + (right - left) / 2;
    canvas_.drawText(left, baseline, leftPart);
    canvas_.drawText(centre - metrics.horizontalAdvance(centrePart) / 2, baseline, centrePart);
    canvas_.drawText(right - metrics.horizontalAdvance(rightPart), baseline, rightPart);
    canvas_.setBackgroundMode(backgroundMode);
}

TextWithAttr HexCanvasPrinter::BuildLine(std::int32_t position, std::int32_t lastPosition,
                                         std::int32_t offsetWidth) {
    ProcessPendingEvents();
    TextWithAttr line;
    AppendOffset(line, position, offsetWidth);
    AppendHexPart(line, position, lastPosition);
    if (editor_.UnicodeChars()) {
        AppendUnicodePart(line, position, lastPosition);
    } else {
        AppendCharPart(line, position, lastPosition);
    }
    return line;
}

void HexCanvasPrinter::AppendOffset(TextWithAttr& line, std::int32_t position,
                                    std::int32_t offsetWidth) {
    std::string offset = editor_.OffsetText(position);
    if (offset.empty()) {
        return;
    }
    const std::int32_t caretRow = editor_.CaretCell().row - 2;
    const std::uint8_t attribute =
        position / editor_.BytesPerRow() == caretRow ? kPrintBold : kPrintOffset;
    const auto width = static_cast<std::size_t>(std::max(0, offsetWidth));
    if (offset.size() < width) {
        offset.insert(0, width - offset.size(), ' ');
    }
    line.Append(QString::fromStdString(offset + ": "), attribute);
}

namespace {

// Selection state of a column that may lie past the end of the data.
bool Selected(const HexEditorCore& editor, std::int64_t position) {
    return position <= std::numeric_limits<std::int32_t>::max() &&
           editor.InSelection(static_cast<std::int32_t>(position));
}

} // namespace

void HexCanvasPrinter::AppendHexPart(TextWithAttr& line, std::int32_t position,
                                     std::int32_t lastPosition) {
    const std::int32_t bytesPerRow = editor_.BytesPerRow();
    const std::int32_t bytesPerBlock = editor_.BytesPerBlock();
    const std::int32_t bytesPerColumn = editor_.BytesPerColumn();
    std::uint8_t colorClass = kPrintOddColumn;
    for (std::int32_t i = 1; i <= bytesPerRow; ++i) {
        const std::int64_t byte = std::int64_t{position} + i - 1;
        const std::uint8_t attribute = colorClass | (Selected(editor_, byte) ? kPrintBold : 0);
        if (byte > lastPosition) {
            line.Append(QStringLiteral("  "), attribute);
        } else {
            const std::uint8_t value = editor_.ByteAt(static_cast<std::int32_t>(byte));
            char high = editor_.HexDigit(value >> 4);
            char low = editor_.HexDigit(value & 0x0F);
            if (editor_.SwapNibbles()) {
                std::swap(high, low);
            }
            line.Append(QChar(high), attribute);
            line.Append(QChar(low), attribute);
        }
        if (i == bytesPerRow) {
            break;
        }
        if (bytesPerBlock > 1 && i % bytesPerBlock == 0) {
            line.Append(QChar(u' '), colorClass);
        }
        if (i % bytesPerColumn == 0) {
            line.Append(QChar(u' '), colorClass);
            colorClass = colorClass == kPrintOddColumn ? kPrintEvenColumn : kPrintOddColumn;
        }
    }
    line.Append(QStringLiteral("  "), colorClass);
}

void HexCanvasPrinter::AppendCharPart(TextWithAttr& line, std::int32_t position,
                                      std::int32_t lastPosition) {
    const std::int32_t bytesPerBlock = editor_.BytesPerBlock();
    const bool separateBlocks = bytesPerBlock > 1 && editor_.SeparateBlocksInCharField();
    const std::int32_t rulerUnit = editor_.RulerUnit();
    for (std::int32_t i = 1; i <= editor_.BytesPerRow(); ++i) {
        const std::int64_t byte = std::int64_t{position} + i - 1;
        const QChar character = byte > lastPosition
                                    ? QChar(u' ')
                                    : QChar(codepage::AnsiToUnicode(editor_.ByteToChar(
                                          editor_.ByteAt(static_cast<std::int32_t>(byte)))));
        line.Append(character, Selected(editor_, byte) ? kSelectedChar : kPrintCharField);
        if (separateBlocks && i % bytesPerBlock == 0) {
            line.Append(QChar(u' '), kPrintCharSeparator);
        }
        if (rulerUnit != 1 && i % rulerUnit == 0) {
            line.Append(QChar(u' '), kPrintCharSeparator);
        }
    }
}

void HexCanvasPrinter::AppendUnicodePart(TextWithAttr& line, std::int32_t position,
                                         std::int32_t lastPosition) {
    const std::int32_t bytesPerBlock = editor_.BytesPerBlock();
    const bool separateBlocks = bytesPerBlock > 1 && editor_.SeparateBlocksInCharField();
    const std::int32_t rulerUnit = editor_.RulerUnit();
    for (std::int32_t k = 0; k <= (editor_.BytesPerRow() - 1) / 2; ++k) {
        const std::int32_t c = 2 * k;
        const std::int64_t byte = std::int64_t{position} + c;
        if (byte > lastPosition) {
            line.Append(QChar(u' '), kPrintCharField);
            continue;
        }
        // The last byte of an odd-sized document is read as a unit with a zero high byte.
        const auto at = static_cast<std::int32_t>(byte);
        std::uint8_t bytes[2] = {0, 0};
        const std::int32_t available = std::min(2, editor_.DataLength() - at);
        editor_.GetBytes(bytes, at, available);
        const char16_t unit =
            UnicodeDisplayChar(bytes, available, editor_.UnicodeBigEndian(), editor_.MaskChar());
        line.Append(QChar(unit), Selected(editor_, byte) ? kSelectedChar : kPrintCharField);
        if (separateBlocks && (k + 1) % (bytesPerBlock / 2) == 0) {
            line.Append(QChar(u' '), kPrintCharSeparator);
        }
        if (rulerUnit != 2 && (c + 2) % rulerUnit == 0) {
            line.Append(QChar(u' '), kPrintCharSeparator);
        }
    }
}

} // namespace quillon
