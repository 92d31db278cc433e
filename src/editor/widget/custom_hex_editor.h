#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QString>
#include <QTimer>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_editor_view.h"
#include "editor/core/hex_input.h"
#include "editor/widget/hex_colors.h"

class QPainter;

namespace quillon {

// The hex editor control: a scroll area that hosts a HexEditorCore, measures the font, scrolls
// by rows and columns, paints every visible cell itself, draws its own caret and turns Qt's key
// and mouse events into the core's calls.
class CustomHexEditor : public QAbstractScrollArea, public HexEditorView {
    Q_OBJECT

public:
    // Host-drawn cells: the painter, the cell, its text (which the handler may change), the
    // rectangle (the whole cell in column 0, else the text part) and whether to draw it as usual.
    using DrawCellEvent = std::function<void(QPainter& painter, std::int32_t col, std::int32_t row,
                                             QString& text, const QRect& rect, bool& defaultDraw)>;
    using ErrorEvent = std::function<void(const std::exception& error)>;

    explicit CustomHexEditor(QWidget* parent = nullptr);
    ~CustomHexEditor() override;

    // ---- The core ----
    HexEditorCore& Core() { return *core_; }
    const HexEditorCore& Core() const { return *core_; }

    // ---- Font ----
    // "Courier New" 11 by default; measuring "w" and "yY" gives the cell sizes.
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    // The character field's text colour.
    Color FontColor() const { return fontColor_; }
    void SetFontColor(Color color);
    // Stored for the settings text; 1 is the default character set.
    std::int32_t FontCharset() const { return fontCharset_; }
    void SetFontCharset(std::int32_t charset) { fontCharset_ = charset; }

    // ---- Colours and look ----
    HexColors& Colors() { return colors_; }
    const HexColors& Colors() const { return colors_; }
    // Copies the values into the editor's own set.
    void SetColors(const HexColors& colors) { colors_.Assign(colors); }
    QColor Resolve(Color color) const;
    bool DrawGridLines() const { return drawGridLines_; }
    void SetDrawGridLines(bool draw);
    bool DrawGutter3D() const { return drawGutter3D_; }
    void SetDrawGutter3D(bool draw);
    // True: the caret's byte in the other field gets a dotted focus rectangle.
    bool FocusFrame() const { return focusFrame_; }
    void SetFocusFrame(bool focusFrame);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool GraySelectionIfNotFocused() const { return graySelectionIfNotFocused_; }
    void SetGraySelectionIfNotFocused(bool gray);
    bool ShowPositionIfNotFocused() const { return showPositionIfNotFocused_; }
    void SetShowPositionIfNotFocused(bool show);
    HexCaretKind CaretKind() const { return caretKind_; }
    void SetCaretKind(HexCaretKind kind);
    DrawCellEvent OnDrawCell;
    // A fixed version and credit text.
    static QString Version() { return QStringLiteral("Quillon hex editor control 0.1"); }

    // ---- Cells ----
    // In viewport coordinates; empty when the cell is scrolled out.
    QRect CellRect(std::int32_t col, std::int32_t row) const;
    // {-1, -1} (or -1 on one axis) outside the cells.
    GridCell CellAt(const QPoint& point) const;
    bool Focused() const { return hasFocus(); }
    // Paints one cell exactly as the screen shows it.
    void PaintCell(QPainter& painter, std::int32_t col, std::int32_t row, const QRect& rect);
    // Paints the grid's cells that meet `clip`, and its borders.
    void PaintGrid(QPainter& painter, const QRegion& clip);

    // ---- Caret ----
    // Top-left corner of the caret, (-50, -50) while its cell is scrolled out.
    QPoint CaretPosition() const { return caretPos_; }
    // The part of the caret cell the caret inverts, in viewport coordinates; empty without focus.
    QRect CaretRect() const;

    // ---- Mouse and drag and drop ----
    bool IsMouseOverSelection() const;
    // Drag and drop tracks the drop marker through these (the core keeps the position).
    std::int32_t ShowDropPosition(const QPoint& point);
    void HideDropPosition();
    std::int32_t DropPosition() const { return core_->DropPosition(); }

    // ---- Bookmark icons ----
    // 200 x 10 pixels, twenty 10 x 10 icons (0..9 hex field, 10..19 character field); the colour
    // of the top-left pixel is transparent. A null image restores the built-in strip.
    const QImage& BookmarkBitmap() const { return bookmarkBitmap_; }
    void SetBookmarkBitmap(const QImage& bitmap);
    // A strip of the host's is in use.
    bool BookmarkBitmapStored() const { return bookmarkBitmapStored_; }

    // The standard double-click notification, after the editor's own handling.
    std::function<void()> OnDblClick;

    // ---- Errors ----
    // An edit raised inside an event handler; the default shows a critical message box.
    ErrorEvent OnError;

    // ---- HexEditorView ----
    void InvalidateCells(const GridRect& cells) override;
    void InvalidateAll() override;
    void GridLayoutChanged() override;
    void TopLeftChanged() override;
    void CaretMoved(GridCell cell) override;
    void InsertModeChanged() override;
    void PostSelectionChanged() override;
    void PushWaitCursor() override;
    void PopCursor() override;

protected:
    CustomHexEditor(QWidget* parent, std::unique_ptr<HexEditorCore> core);

    // The key handler: the core's key map. Overrides add keys after calling it.
    virtual void KeyDown(HexKey key, HexShiftState shift);
    // Mouse handlers in viewport coordinates, after the core's rules.
    virtual void MouseDown(HexMouseButton button, HexShiftState shift, const QPoint& point);
    virtual void MouseMove(HexShiftState shift, const QPoint& point);
    virtual void MouseUp(HexMouseButton button, HexShiftState shift, const QPoint& point);
    // Before the press handling of a double click's second press.
    virtual void DblClick(const QPoint& point);
    // Runs an input handler; an exception goes to OnError instead of the event loop.
    void Guarded(const std::function<void()>& action);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct GlyphKey {
        char16_t character;
        QRgb text;
        QRgb background;
        std::int32_t height;
        bool operator==(const GlyphKey&) const = default;
    };
    struct GlyphKeyHash {
        std::size_t operator()(const GlyphKey& key) const;
    };
    struct TextCell {
        QString text;
        QColor fill;
        QColor textColor;
        QColor textBackground;
    };

    void Initialize();
    void MeasureFont();
    void UpdateScrollBars();
    void SyncScrollBars();
    void PlaceCaret();
    void RestartCaretBlink();
    void UpdatePointerShape(HexShiftState shift, const QPoint& point);
    void UpdateDragScrollTimer();
    void DragScrollTick();
    void LoadBookmarkIcons(const QImage& strip);

    void PaintRulerCell(QPainter& painter, std::int32_t col, const QRect& rect);
    void PaintGutterCell(QPainter& painter, std::int32_t row, const QRect& rect);
    void PaintDataCell(QPainter& painter, std::int32_t col, std::int32_t row, const QRect& rect);
    void PaintTextCell(QPainter& painter, std::int32_t col, std::int32_t row, const QRect& rect,
                       TextCell cell);
    void PaintCellFrame(QPainter& painter, const QRect& rect, const QColor* color);
    void PaintBorders(QPainter& painter);
    const QPixmap& Glyph(const GlyphKey& key);
    QString CharacterText(std::int32_t position) const;
    bool ShowsSelection() const;

    std::unique_ptr<HexEditorCore> core_;
    QFont font_;
    Color fontColor_ = clWindowText;
    std::int32_t fontCharset_ = 1;
    std::int32_t fontAscent_ = 0;
    HexColors colors_;
    bool drawGridLines_ = false;
    bool drawGutter3D_ = true;
    bool focusFrame_ = true;
    bool hideSelection_ = false;
    bool graySelectionIfNotFocused_ = false;
    bool showPositionIfNotFocused_ = false;
    HexCaretKind caretKind_ = HexCaretKind::ckAuto;

    QPoint caretPos_{-50, -50};
    bool caretShown_ = false;
    bool caretBlinkOn_ = true;
    QTimer caretBlink_;
    QTimer dragScroll_;
    QPoint lastMousePoint_;
    bool syncingScrollBars_ = false;

    QImage bookmarkBitmap_;
    bool bookmarkBitmapStored_ = false;
    std::vector<QPixmap> bookmarkIcons_;

    std::unordered_map<GlyphKey, QPixmap, GlyphKeyHash> glyphs_;
    // While the grid paints: the colour the clip was filled with, so equal fills are skipped.
    std::optional<QColor> prefill_;
};

} // namespace quillon
