#include "editor/widget/hex_editor_ex.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QWheelEvent>

namespace quillon {

HexEditorEx::HexEditorEx(QWidget* parent)
    : CustomHexEditor(parent, std::make_unique<HexEditorExCore>()),
      clipboard_(std::make_unique<ClipboardExchange>(Core(), this)),
      dragDrop_(std::make_unique<HexDragDrop>(*this, *clipboard_)) {
    printFont_.font = Font();
    printFont_.color = FontColor();
    printFont_.charset = FontCharset();
}

HexEditorEx::~HexEditorEx() = default;

void HexEditorEx::SetPrintFont(const HexFont& font) {
    printFont_ = font;
    useEditorFontForPrinting_ = false;
}

void HexEditorEx::UnlockPaint() {
    if (paintLock_ == 0) {
        return;
    }
    if (--paintLock_ == 0) {
        viewport()->update();
    }
}

void HexEditorEx::paintEvent(QPaintEvent* event) {
    if (paintLock_ > 0) {
        return;
    }
    CustomHexEditor::paintEvent(event);
}

void HexEditorEx::KeyDown(HexKey key, HexShiftState shift) {
    CustomHexEditor::KeyDown(key, shift);
    HexEditorCore& core = Core();
    if (shift == HexShift::kCtrl) {
        switch (key) {
        case HexKey::kA:
            core.SelectAll();
            break;
        case HexKey::kC:
            CopyToClipboard();
            break;
        case HexKey::kX:
            CutToClipboard();
            break;
        case HexKey::kV:
            PasteFromClipboard();
            break;
        case HexKey::kZ:
            if (core.CanUndo()) {
                core.Undo();
            }
            break;
        default:
            break;
        }
    } else if (shift == (HexShift::kCtrl | HexShift::kShift) && key == HexKey::kZ &&
               core.CanRedo()) {
        core.Redo();
    }
}

void HexEditorEx::MouseDown(HexMouseButton button, HexShiftState shift, const QPoint& point) {
    CustomHexEditor::MouseDown(button, shift, point);
    dragDrop_->MouseDown(button, point);
}

void HexEditorEx::MouseMove(HexShiftState shift, const QPoint& point) {
    CustomHexEditor::MouseMove(shift, point);
    dragDrop_->MouseMove(shift, point);
}

void HexEditorEx::MouseUp(HexMouseButton button, HexShiftState shift, const QPoint& point) {
    if (doubleClicked_) {
        doubleClicked_ = false;
        Core().SetClickInSelection(false);
    }
    CustomHexEditor::MouseUp(button, shift, point);
    dragDrop_->MouseUp();
}

void HexEditorEx::dragEnterEvent(QDragEnterEvent* event) {
    Guarded([&] { dragDrop_->DragEnter(*event); });
}

void HexEditorEx::dragMoveEvent(QDragMoveEvent* event) {
    Guarded([&] { dragDrop_->DragMove(*event); });
}

void HexEditorEx::dragLeaveEvent(QDragLeaveEvent* /*event*/) {
    dragDrop_->DragLeave();
}

void HexEditorEx::dropEvent(QDropEvent* event) {
    Guarded([&] { dragDrop_->Drop(*event); });
}

void HexEditorEx::DblClick(const QPoint& point) {
    HexEditorCore& core = Core();
    std::int32_t x = point.x();
    std::int32_t y = point.y();
    const GridCell cell = core.AdjustMouseCell(x, y);
    if (cell.col >= 2 && cell.row >= 2) {
        const std::int32_t position = core.CellToPosition(cell.col, cell.row);
        if (position >= 0 && position < core.DataLength()) {
            core.SelectRange(position, position);
            doubleClicked_ = true;
            core.SetClickInSelection(false);
        }
    }
    CustomHexEditor::DblClick(point);
}

bool HexEditorEx::ZoomStep(bool down, HexShiftState shift) {
    HexEditorCore& core = Core();
    if (shift == HexShift::kCtrl) {
        // Unicode mode takes even row widths only, so the zoom steps over the odd ones.
        const std::int32_t step = core.UnicodeChars() ? 2 : 1;
        const std::int32_t bytesPerRow = core.BytesPerRow();
        if (down ? bytesPerRow <= step : bytesPerRow > 256 - step) {
            return false;
        }
        core.SetBytesPerRow(bytesPerRow + (down ? -step : step));
        viewport()->update();
        return true;
    }
    if (shift == (HexShift::kCtrl | HexShift::kShift)) {
        QFont font = Font();
        const int size = font.pointSize();
        if (down && size <= 2) {
            return false;
        }
        font.setPointSize(size + (down ? -1 : 1));
        SetFont(font);
        return true;
    }
    return false;
}

void HexEditorEx::wheelEvent(QWheelEvent* event) {
    if (zoomOnWheel_) {
        const QPoint delta = event->angleDelta();
        const int steps = delta.y() != 0 ? delta.y() : delta.x();
        HexShiftState shift = HexShift::kNone;
        if (event->modifiers() & Qt::ControlModifier) {
            shift |= HexShift::kCtrl;
        }
        if (event->modifiers() & Qt::ShiftModifier) {
            shift |= HexShift::kShift;
        }
        if (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) {
            shift |= HexShift::kAlt;
        }
        bool handled = false;
        if (steps != 0) {
            Guarded([&] { handled = ZoomStep(steps < 0, shift); });
        }
        if (handled) {
            event->accept();
            return;
        }
    }
    CustomHexEditor::wheelEvent(event);
}

void HexEditorEx::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint point = event->pos();
    const bool byMouse = event->reason() == QContextMenuEvent::Mouse;
    if (byMouse && offsetPopupMenu_ && Core().IsPointOverFixed(point.x(), point.y())) {
        Core().CancelGridSelecting();
        offsetPopupMenu_->popup(event->globalPos());
        event->accept();
        return;
    }
    if (popupMenu_) {
        popupMenu_->popup(event->globalPos());
        event->accept();
        return;
    }
    event->ignore();
}

} // namespace quillon
