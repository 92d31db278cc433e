// The control's set-up, properties, scrolling, caret and the view hooks of the core.
#include "editor/widget/custom_hex_editor.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QResizeEvent>
#include <QScrollBar>

#include "editor/core/hex_error.h"

// Resources of a static library need an explicit start; the macro declares a global function.
static void InitEditorResources() {
    Q_INIT_RESOURCE(editor);
}

namespace quillon {

namespace {

constexpr int kDragScrollInterval = 60;
constexpr int kBookmarkStripWidth = 200;
constexpr int kBookmarkStripHeight = 10;
constexpr int kBookmarkIconSize = 10;
const QPoint kCaretOffScreen{-50, -50};

QRect ToQRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Stores a changed value and repaints.
template <typename Value> void SetAndRepaint(Value& field, Value value, QWidget* viewport) {
    if (field == value) {
        return;
    }
    field = value;
    viewport->update();
}

} // namespace

CustomHexEditor::CustomHexEditor(QWidget* parent)
    : CustomHexEditor(parent, std::make_unique<HexEditorCore>()) {}

CustomHexEditor::CustomHexEditor(QWidget* parent, std::unique_ptr<HexEditorCore> core)
    : QAbstractScrollArea(parent), core_(std::move(core)), font_("Courier New", 11),
      colors_([this] { viewport()->update(); }) {
    Initialize();
}

CustomHexEditor::~CustomHexEditor() {
    core_->SetView(nullptr);
}

void CustomHexEditor::Initialize() {
    InitEditorResources();
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_KeyCompression, false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    font_.setStyleHint(QFont::TypeWriter);

    const int flash = QApplication::cursorFlashTime();
    caretBlink_.setInterval(flash > 0 ? flash / 2 : 500);
    connect(&caretBlink_, &QTimer::timeout, this, [this] {
        caretBlinkOn_ = !caretBlinkOn_;
        viewport()->update(CaretRect());
    });
    dragScroll_.setInterval(kDragScrollInterval);
    connect(&dragScroll_, &QTimer::timeout, this, &CustomHexEditor::DragScrollTick);

    core_->SetView(this);
    MeasureFont();
    SetBookmarkBitmap(QImage());
    UpdateScrollBars();
}

void CustomHexEditor::MeasureFont() {
    const QFontMetrics metrics(font_);
    fontAscent_ = metrics.ascent();
    glyphs_.clear();
    core_->SetFontMetrics(metrics.horizontalAdvance(QLatin1Char('w')),
                          metrics.size(Qt::TextSingleLine, QStringLiteral("yY")).height());
}

void CustomHexEditor::SetFont(const QFont& font) {
    font_ = font;
    MeasureFont();
    PlaceCaret();
    viewport()->update();
}

void CustomHexEditor::SetFontColor(Color color) {
    SetAndRepaint(fontColor_, color, viewport());
}

QColor CustomHexEditor::Resolve(Color color) const {
    return ResolveColor(color, palette());
}

void CustomHexEditor::SetDrawGridLines(bool draw) {
    SetAndRepaint(drawGridLines_, draw, viewport());
}

void CustomHexEditor::SetDrawGutter3D(bool draw) {
    SetAndRepaint(drawGutter3D_, draw, viewport());
}

void CustomHexEditor::SetFocusFrame(bool focusFrame) {
    SetAndRepaint(focusFrame_, focusFrame, viewport());
}

void CustomHexEditor::SetHideSelection(bool hide) {
    SetAndRepaint(hideSelection_, hide, viewport());
}

void CustomHexEditor::SetGraySelectionIfNotFocused(bool gray) {
    SetAndRepaint(graySelectionIfNotFocused_, gray, viewport());
}

void CustomHexEditor::SetShowPositionIfNotFocused(bool show) {
    SetAndRepaint(showPositionIfNotFocused_, show, viewport());
}

void CustomHexEditor::SetCaretKind(HexCaretKind kind) {
    SetAndRepaint(caretKind_, kind, viewport());
}

QRect CustomHexEditor::CellRect(std::int32_t col, std::int32_t row) const {
    const PixelRect rect = core_->CellRect(col, row);
    return rect.IsEmpty() ? QRect() : ToQRect(rect);
}

GridCell CustomHexEditor::CellAt(const QPoint& point) const {
    return core_->MouseCoord(point.x(), point.y());
}

QRect CustomHexEditor::CaretRect() const {
    if (!caretShown_ || caretPos_ == kCaretOffScreen) {
        return {};
    }
    return ToQRect(CaretShapeRect(caretKind_, core_->InsertFlag(), core_->CharWidth(),
                                  core_->RowHeight()))
        .translated(caretPos_);
}

void CustomHexEditor::PlaceCaret() {
    const QRect before = CaretRect();
    const QRect cell = CellRect(core_->Col(), core_->Row());
    caretPos_ = cell.isEmpty() ? kCaretOffScreen : cell.topLeft();
    viewport()->update(before);
    viewport()->update(CaretRect());
}

void CustomHexEditor::RestartCaretBlink() {
    caretBlinkOn_ = true;
    if (caretShown_) {
        caretBlink_.start();
    }
}

void CustomHexEditor::UpdateScrollBars() {
    syncingScrollBars_ = true;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(core_->FixedRows(), std::max(core_->FixedRows(), core_->MaxTopRow()));
    vertical->setPageStep(std::max(1, core_->VisibleRowCount()));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(core_->FixedCols(), std::max(core_->FixedCols(), core_->MaxLeftCol()));
    horizontal->setPageStep(std::max(1, core_->VisibleColCount()));
    syncingScrollBars_ = false;
    SyncScrollBars();
}

void CustomHexEditor::SyncScrollBars() {
    syncingScrollBars_ = true;
    verticalScrollBar()->setValue(core_->TopRow());
    horizontalScrollBar()->setValue(core_->LeftCol());
    syncingScrollBars_ = false;
}

void CustomHexEditor::scrollContentsBy(int /*dx*/, int /*dy*/) {
    if (syncingScrollBars_) {
        return;
    }
    core_->SetTopRow(verticalScrollBar()->value());
    core_->SetLeftCol(horizontalScrollBar()->value());
}

void CustomHexEditor::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    core_->SetViewportSize(viewport()->width(), viewport()->height());
    UpdateScrollBars();
    QMetaObject::invokeMethod(
        this, [this] { PlaceCaret(); }, Qt::QueuedConnection);
}

void CustomHexEditor::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    caretShown_ = true;
    PlaceCaret();
    RestartCaretBlink();
    viewport()->update();
}

void CustomHexEditor::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    caretShown_ = false;
    caretBlink_.stop();
    core_->SetSelecting(false);
    viewport()->update();
}

void CustomHexEditor::InvalidateAll() {
    viewport()->update();
}

void CustomHexEditor::GridLayoutChanged() {
    UpdateScrollBars();
    viewport()->update();
}

void CustomHexEditor::TopLeftChanged() {
    SyncScrollBars();
    viewport()->update();
    PlaceCaret();
}

void CustomHexEditor::CaretMoved(GridCell /*cell*/) {
    PlaceCaret();
    RestartCaretBlink();
}

void CustomHexEditor::InsertModeChanged() {
    viewport()->update(CaretRect());
    viewport()->update(CellRect(core_->Col(), core_->Row()));
}

void CustomHexEditor::PostSelectionChanged() {
    QMetaObject::invokeMethod(
        this, [this] { core_->DeliverSelectionChanged(); }, Qt::QueuedConnection);
}

void CustomHexEditor::PushWaitCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void CustomHexEditor::PopCursor() {
    QGuiApplication::restoreOverrideCursor();
}

void CustomHexEditor::Guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        if (OnError) {
            OnError(error);
        } else {
            QMessageBox::critical(this, QStringLiteral("Quillon"), QString::fromUtf8(error.what()));
        }
    }
}

std::int32_t CustomHexEditor::ShowDropPosition(const QPoint& point) {
    return core_->ShowDropPosition(point.x(), point.y());
}

void CustomHexEditor::HideDropPosition() {
    core_->HideDropPosition();
}

bool CustomHexEditor::IsMouseOverSelection() const {
    const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
    return core_->IsPointOverSelection(point.x(), point.y());
}

void CustomHexEditor::SetBookmarkBitmap(const QImage& bitmap) {
    if (bitmap.isNull()) {
        bookmarkBitmap_ = QImage(QStringLiteral(":/editor/BOOKMARKICONS"));
        bookmarkBitmapStored_ = false;
    } else {
        if (bitmap.width() != kBookmarkStripWidth || bitmap.height() != kBookmarkStripHeight) {
            throw EHexEditor("Invalid bookmark bitmap (must be 10 x 200 px)");
        }
        bookmarkBitmap_ = bitmap.copy();
        bookmarkBitmapStored_ = true;
    }
    LoadBookmarkIcons(bookmarkBitmap_);
}

void CustomHexEditor::LoadBookmarkIcons(const QImage& strip) {
    QImage image = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == transparent) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    bookmarkIcons_.clear();
    for (int i = 0; i < kBookmarkStripWidth / kBookmarkIconSize; ++i) {
        bookmarkIcons_.push_back(QPixmap::fromImage(
            image.copy(i * kBookmarkIconSize, 0, kBookmarkIconSize, kBookmarkIconSize)));
    }
    viewport()->update();
}

} // namespace quillon
