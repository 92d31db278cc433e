// Painting: gutter, ruler, hex digits, characters, changes, selection, marks and borders; and
// the repaint of the cells the core invalidates.
#include <algorithm>
#include <vector>

#include <QPaintEvent>
#include <QPainter>

#include "editor/core/translation.h"
#include "editor/widget/custom_hex_editor.h"
#include "platform/codepage/codepage.h"

namespace quillon {

namespace {

constexpr std::size_t kMaxCachedGlyphs = 4096;

// One visible row or column: its index, where it starts and its size in pixels.
struct Span {
    std::int32_t index;
    std::int32_t start;
    std::int32_t size;
    QRect With(const Span& row) const { return {start, row.start, size, row.size}; }
};

// Calls visit(index, start, size) for each row (column) the viewport shows: the fixed ones, then
// the scrolling ones from `first`, until `extent` pixels are filled; empty ones are skipped.
template <typename SizeOf, typename Visit>
void ForEachVisible(std::int32_t fixed, std::int32_t first, std::int32_t count, std::int32_t extent,
                    SizeOf sizeOf, Visit visit) {
    std::int32_t position = 0;
    const auto step = [&](std::int32_t index) {
        const std::int32_t size = sizeOf(index);
        if (size > 0) {
            visit(index, position, size);
        }
        position += size;
    };
    for (std::int32_t i = 0; i < fixed && position < extent; ++i) {
        step(i);
    }
    for (std::int32_t i = first; i < count && position < extent; ++i) {
        step(i);
    }
}

template <typename SizeOf>
std::vector<Span> VisibleSpans(std::int32_t fixed, std::int32_t first, std::int32_t count,
                               std::int32_t extent, SizeOf sizeOf) {
    std::vector<Span> spans;
    ForEachVisible(fixed, first, count, extent, sizeOf,
                   [&spans](std::int32_t index, std::int32_t start, std::int32_t size) {
                       spans.push_back({index, start, size});
                   });
    return spans;
}

// The pixels [start, end) that the rows (columns) from .. to take in the viewport.
struct AxisRange {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

template <typename SizeOf>
AxisRange VisibleRange(std::int32_t fixed, std::int32_t first, std::int32_t count,
                       std::int32_t extent, std::int32_t from, std::int32_t to, SizeOf sizeOf) {
    AxisRange range{extent, 0};
    ForEachVisible(fixed, first, count, extent, sizeOf,
                   [&](std::int32_t index, std::int32_t start, std::int32_t size) {
                       if (index >= from && index <= to) {
                           range.start = std::min(range.start, start);
                           range.end = std::max(range.end, std::min(start + size, extent));
                       }
                   });
    return range;
}

std::int32_t SpanEnd(const std::vector<Span>& spans) {
    return spans.empty() ? 0 : spans.back().start + spans.back().size;
}

} // namespace

void CustomHexEditor::InvalidateCells(const GridRect& cells) {
    const HexEditorCore& core = *core_;
    const AxisRange cols = VisibleRange(core.FixedCols(), core.LeftCol(), core.ColCount(),
                                        core.ViewportWidth(), cells.left, cells.right,
                                        [&core](std::int32_t col) { return core.ColWidths(col); });
    const AxisRange rows = VisibleRange(core.FixedRows(), core.TopRow(), core.RowCount(),
                                        core.ViewportHeight(), cells.top, cells.bottom,
                                        [&core](std::int32_t row) { return core.RowHeights(row); });
    if (cols.end > cols.start && rows.end > rows.start) {
        viewport()->update(cols.start, rows.start, cols.end - cols.start, rows.end - rows.start);
    }
}

std::size_t CustomHexEditor::GlyphKeyHash::operator()(const GlyphKey& key) const {
    std::size_t hash = key.character;
    hash = hash * 1000003u ^ key.text;
    hash = hash * 1000003u ^ key.background;
    return hash * 1000003u ^ static_cast<std::size_t>(key.height);
}

const QPixmap& CustomHexEditor::Glyph(const GlyphKey& key) {
    const auto found = glyphs_.find(key);
    if (found != glyphs_.end()) {
        return found->second;
    }
    if (glyphs_.size() >= kMaxCachedGlyphs) {
        glyphs_.clear();
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(QSize(core_->CharWidth(), key.height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(QColor::fromRgb(key.background));
    QPainter painter(&pixmap);
    painter.setFont(font_);
    painter.setPen(QColor::fromRgb(key.text));
    painter.drawText(QPoint(0, fontAscent_), QString(QChar(key.character)));
    painter.end();
    return glyphs_.emplace(key, pixmap).first->second;
}

void CustomHexEditor::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    PaintGrid(painter, event->region());
    const QRect caret = CaretRect();
    if (caretBlinkOn_ && event->region().intersects(caret)) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(caret, Qt::white);
    }
}

void CustomHexEditor::PaintGrid(QPainter& painter, const QRegion& clip) {
    const HexEditorCore& core = *core_;
    const std::vector<Span> cols =
        VisibleSpans(core.FixedCols(), core.LeftCol(), core.ColCount(), core.ViewportWidth(),
                     [&core](std::int32_t col) { return core.ColWidths(col); });
    const std::vector<Span> rows =
        VisibleSpans(core.FixedRows(), core.TopRow(), core.RowCount(), core.ViewportHeight(),
                     [&core](std::int32_t row) { return core.RowHeights(row); });
    const QColor background = Resolve(colors_.Background());
    const QColor offsetBackground = Resolve(colors_.OffsetBackGround());
    for (const QRect& part : clip) {
        painter.fillRect(part, background);
    }
    prefill_ = background;

    for (const Span& row : rows) {
        for (const Span& col : cols) {
            const QRect rect = col.With(row);
            if (clip.intersects(rect)) {
                PaintCell(painter, col.index, row.index, rect);
            }
        }
    }

    const std::int32_t gridRight = SpanEnd(cols);
    const std::int32_t gridBottom = SpanEnd(rows);
    const std::int32_t fixedHeight = core.RowHeights(0) + core.RowHeights(1);
    if (gridRight < core.ViewportWidth() && fixedHeight > 0) {
        painter.fillRect(gridRight, 0, core.ViewportWidth() - gridRight, fixedHeight,
                         offsetBackground);
    }
    if (gridBottom < core.ViewportHeight()) {
        painter.fillRect(0, gridBottom, core.ColWidths(0), core.ViewportHeight() - gridBottom,
                         offsetBackground);
    }
    PaintBorders(painter);
    prefill_.reset();
}

void CustomHexEditor::PaintBorders(QPainter& painter) {
    const HexEditorCore& core = *core_;
    const std::int32_t gutter = core.ColWidths(0);
    const std::int32_t top = core.RowHeights(0) + core.RowHeights(1);
    const std::int32_t width = core.ViewportWidth();
    const std::int32_t height = core.ViewportHeight();
    const QColor shadow = Resolve(clBtnShadow);
    const QColor highlight = Resolve(clBtnHighlight);
    const QColor grid = Resolve(colors_.Grid());
    if (gutter > 0) {
        if (drawGutter3D_) {
            painter.fillRect(gutter, top, 1, height - top, shadow);
            painter.fillRect(gutter - 1, top, 1, height - top, highlight);
        } else if (drawGridLines_) {
            painter.fillRect(gutter - 1, top, 1, height - top, grid);
        }
    }
    if (core.ShowRuler()) {
        const std::int32_t left = std::max(gutter - 1, 0);
        if (drawGutter3D_) {
            painter.fillRect(left, top - 1, width - left, 1, shadow);
            painter.fillRect(left, top - 2, width - left, 1, highlight);
        } else if (drawGridLines_) {
            painter.fillRect(left, top - 1, width - left, 1, grid);
        }
    }
}

void CustomHexEditor::PaintCell(QPainter& painter, std::int32_t col, std::int32_t row,
                                const QRect& rect) {
    if (row < 2 && col < 2) {
        painter.fillRect(rect, Resolve(colors_.OffsetBackGround()));
    } else if (row == 0) {
        PaintRulerCell(painter, col, rect);
    } else if (row >= 2 && col == 0) {
        PaintGutterCell(painter, row, rect);
    } else if (row >= 2) {
        PaintDataCell(painter, col, row, rect);
    }
}

void CustomHexEditor::PaintRulerCell(QPainter& painter, std::int32_t col, const QRect& rect) {
    if (col < 2) {
        return;
    }
    const bool caretCol = col == core_->Col();
    const QColor textBackground =
        Resolve(caretCol ? colors_.CurrentOffsetBackground() : colors_.OffsetBackGround());
    const QColor text = Resolve(caretCol ? colors_.CurrentOffset() : colors_.Offset());
    PaintTextCell(painter, col, 0, rect,
                  {QString::fromStdString(core_->RulerCellText(col)),
                   Resolve(colors_.OffsetBackGround()), text, textBackground});
}

void CustomHexEditor::PaintGutterCell(QPainter& painter, std::int32_t row, const QRect& rect) {
    const bool caretRow = row == core_->Row();
    const QColor fill =
        Resolve(caretRow ? colors_.CurrentOffsetBackground() : colors_.OffsetBackGround());
    const QColor text = Resolve(caretRow ? colors_.CurrentOffset() : colors_.Offset());
    const std::int32_t rowStart = (row - 2) * core_->BytesPerRow();
    PaintTextCell(painter, 0, row, rect,
                  {QString::fromStdString(core_->OffsetText(rowStart)), fill, text, fill});
    const Bookmarks& bookmarks = core_->GetBookmarks();
    for (std::size_t i = 0; i < bookmarks.size(); ++i) {
        const Bookmark& bookmark = bookmarks[i];
        if (bookmark.position < 0 || core_->RowOfPosition(bookmark.position) != row) {
            continue;
        }
        const std::size_t icon = i + (bookmark.inCharField ? 10 : 0);
        if (icon < bookmarkIcons_.size()) {
            painter.drawPixmap(rect.left() + 3, rect.top() + (rect.height() - 10) / 2,
                               bookmarkIcons_[icon]);
        }
    }
}

QString CustomHexEditor::CharacterText(std::int32_t position) const {
    const HexEditorCore& core = *core_;
    if (core.UnicodeChars()) {
        const std::int32_t available = std::min(2, core.DataLength() - position);
        return QString(QChar(UnicodeDisplayChar(core.Data() + position, available,
                                                core.UnicodeBigEndian(), core.MaskChar())));
    }
    return QString(QChar(codepage::AnsiToUnicode(core.ByteToChar(core.Data()[position]))));
}

bool CustomHexEditor::ShowsSelection() const {
    return !hideSelection_ || hasFocus();
}

void CustomHexEditor::PaintDataCell(QPainter& painter, std::int32_t col, std::int32_t row,
                                    const QRect& rect) {
    const HexEditorCore& core = *core_;
    const QColor grid = Resolve(colors_.Grid());
    const std::int32_t separator = core.HexColumnCount() + 2;
    if (col == 1 || col == separator) {
        if (drawGridLines_) {
            painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, grid);
            if (col == separator) {
                painter.fillRect(rect.left(), rect.top(), 1, rect.height(), grid);
            }
        }
        return;
    }
    const std::int32_t position = core.PositionOfCell(col, row);
    if (position >= core.DataLength()) {
        return;
    }
    const bool inChar = core.IsCharFieldCol(col);
    TextCell cell;
    if (inChar) {
        cell.text = CharacterText(position);
    } else {
        const std::uint8_t byte = core.Data()[position];
        const bool high = (col - 2) % 2 == (core.SwapNibbles() ? 1 : 0);
        cell.text = QChar(core.HexDigit(high ? byte >> 4 : byte & 0x0F));
    }
    const bool changed =
        core.IsChanged(position) || (inChar && core.UnicodeChars() && core.IsChanged(position + 1));
    const QColor background = Resolve(colors_.Background());
    cell.fill = background;
    if (changed) {
        cell.textColor = Resolve(colors_.ChangedText());
        cell.textBackground = Resolve(colors_.ChangedBackground());
    } else {
        cell.textBackground = background;
        const bool oddGroup = (col - 2) / core.NibblesPerColumn() % 2 == 0;
        cell.textColor =
            Resolve(inChar ? fontColor_ : (oddGroup ? colors_.OddColumn() : colors_.EvenColumn()));
    }
    const bool focused = hasFocus();
    if (core.InSelection(position) && ShowsSelection()) {
        const bool edge = col == core.ColCount() - 1 || col == core.HexColumnCount() + 1 ||
                          position == core.SelectionUpper();
        if (!edge) {
            cell.fill = InvertRgb(cell.fill);
        }
        cell.textBackground = InvertRgb(cell.textBackground);
        cell.textColor = InvertRgb(cell.textColor);
        if (!focused && graySelectionIfNotFocused_) {
            cell.textBackground = GrayOf(cell.textBackground);
            cell.textColor = GrayOf(cell.textColor);
        }
    }
    PaintTextCell(painter, col, row, rect, cell);

    const bool caretCell = col == core.Col() && row == core.Row();
    if (focused && row == core.Row() && col == core.OppositeFieldCol(core.Col())) {
        const QColor frame = Resolve(colors_.CursorFrame());
        PaintCellFrame(painter, rect, focusFrame_ ? nullptr : &frame);
    }
    if (showPositionIfNotFocused_ && !focused && caretCell) {
        const QColor frame = Resolve(colors_.NonFocusCursorFrame());
        PaintCellFrame(painter, rect, &frame);
    }
    if (drawGridLines_) {
        if (col == core.ColCount() - 1) {
            painter.fillRect(rect.right(), rect.top(), 1, rect.height(), grid);
        }
        painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, grid);
    }
}

void CustomHexEditor::PaintCellFrame(QPainter& painter, const QRect& rect, const QColor* color) {
    // From (left, top) to (left + CharWidth, bottom - 1), right and bottom edges exclusive.
    const QRect frame(rect.left(), rect.top(), core_->CharWidth(), rect.height() - 1);
    painter.save();
    if (color == nullptr) {
        // A dotted focus rectangle that inverts what lies under it.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(Qt::white, 1, Qt::CustomDashLine);
        pen.setDashPattern({1, 1});
        painter.setPen(pen);
    } else {
        painter.setPen(QPen(*color, 1));
    }
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.restore();
}

void CustomHexEditor::PaintTextCell(QPainter& painter, std::int32_t col, std::int32_t row,
                                    const QRect& rect, TextCell cell) {
    const QRect textRect(rect.left(), rect.top(), std::min(core_->CharWidth(), rect.width()),
                         rect.height());
    bool defaultDraw = true;
    if (OnDrawCell) {
        OnDrawCell(painter, col, row, cell.text, col == 0 ? rect : textRect, defaultDraw);
    }
    if (defaultDraw) {
        if (!prefill_ || *prefill_ != cell.fill) {
            painter.fillRect(rect, cell.fill);
        }
        if (col == 0) {
            painter.save();
            painter.setClipRect(rect, Qt::IntersectClip);
            painter.setFont(font_);
            painter.setPen(cell.textColor);
            const int width = painter.fontMetrics().horizontalAdvance(cell.text);
            painter.drawText(QPoint(rect.right() + 1 - width - 4, rect.top() + fontAscent_),
                             cell.text);
            painter.restore();
        } else if (cell.text.size() == 1) {
            painter.drawPixmap(textRect.topLeft(),
                               Glyph({cell.text.at(0).unicode(), cell.textColor.rgb(),
                                      cell.textBackground.rgb(), rect.height()}));
        } else {
            painter.fillRect(textRect, cell.textBackground);
            painter.save();
            painter.setClipRect(textRect, Qt::IntersectClip);
            painter.setFont(font_);
            painter.setPen(cell.textColor);
            painter.drawText(QPoint(textRect.left(), textRect.top() + fontAscent_), cell.text);
            painter.restore();
        }
    }
    const HexEditorCore& core = *core_;
    if (core.DropShown() && core.DropCell() == GridCell{col, row}) {
        painter.fillRect(rect.left() + 1, rect.top() + 1, 2, rect.height() - 2, cell.textColor);
    }
}

} // namespace quillon
