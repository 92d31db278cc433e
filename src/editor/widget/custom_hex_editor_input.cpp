// Qt's key and mouse events turned into the core's calls.
#include <array>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "editor/widget/custom_hex_editor.h"
#include "platform/codepage/codepage.h"

namespace quillon {

namespace {

HexShiftState KeyShift(Qt::KeyboardModifiers modifiers) {
    HexShiftState shift = HexShift::kNone;
    if (modifiers & Qt::ShiftModifier) {
        shift |= HexShift::kShift;
    }
    if (modifiers & Qt::ControlModifier) {
        shift |= HexShift::kCtrl;
    }
    if (modifiers & Qt::AltModifier) {
        shift |= HexShift::kAlt;
    }
    if (modifiers & Qt::MetaModifier) {
        shift |= HexShift::kMeta;
    }
    return shift;
}

HexShiftState ButtonShift(Qt::MouseButtons buttons) {
    HexShiftState shift = HexShift::kNone;
    if (buttons & Qt::LeftButton) {
        shift |= HexShift::kLeft;
    }
    if (buttons & Qt::RightButton) {
        shift |= HexShift::kRight;
    }
    if (buttons & Qt::MiddleButton) {
        shift |= HexShift::kMiddle;
    }
    return shift;
}

HexShiftState EventShift(const QMouseEvent* event) {
    return KeyShift(event->modifiers()) | ButtonShift(event->buttons());
}

HexMouseButton ButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton:
        return HexMouseButton::kRight;
    case Qt::MiddleButton:
        return HexMouseButton::kMiddle;
    default:
        return HexMouseButton::kLeft;
    }
}

HexKey DigitKey(int digit) {
    return static_cast<HexKey>(static_cast<int>(HexKey::kDigit0) + digit);
}

// The digit row by its position: X key codes 10..19 are the keys 1..9, 0 on every layout.
int DigitOfScanCode(quint32 scanCode) {
    if (scanCode >= 10 && scanCode <= 19) {
        return scanCode == 19 ? 0 : static_cast<int>(scanCode) - 9;
    }
    return -1;
}

// What Shift makes of the digit row on the US and Russian layouts, for events that carry no
// scan code.
int DigitOfShiftedSymbol(int key) {
    constexpr std::array<std::array<int, 2>, 14> kSymbols{{
        {Qt::Key_ParenRight, 0},
        {Qt::Key_Exclam, 1},
        {Qt::Key_At, 2},
        {Qt::Key_QuoteDbl, 2},
        {Qt::Key_NumberSign, 3},
        {0x2116, 3},
        {Qt::Key_Dollar, 4},
        {Qt::Key_Semicolon, 4},
        {Qt::Key_Percent, 5},
        {Qt::Key_AsciiCircum, 6},
        {Qt::Key_Colon, 6},
        {Qt::Key_Ampersand, 7},
        {Qt::Key_Question, 7},
        {Qt::Key_Asterisk, 8},
    }};
    if (key == Qt::Key_ParenLeft) {
        return 9;
    }
    for (const auto& [symbol, digit] : kSymbols) {
        if (symbol == key) {
            return digit;
        }
    }
    return -1;
}

// Letters of the extra shortcuts by position too (X key codes), so that they work on a
// Cyrillic layout.
HexKey LetterOfScanCode(quint32 scanCode) {
    switch (scanCode) {
    case 38:
        return HexKey::kA;
    case 54:
        return HexKey::kC;
    case 28:
        return HexKey::kT;
    case 55:
        return HexKey::kV;
    case 53:
        return HexKey::kX;
    case 52:
        return HexKey::kZ;
    default:
        return HexKey::kNone;
    }
}

HexKey MapKey(const QKeyEvent* event) {
    const int key = event->key();
    switch (key) {
    case Qt::Key_Backspace:
        return HexKey::kBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return HexKey::kTab;
    case Qt::Key_Shift:
        return HexKey::kShift;
    case Qt::Key_Control:
        return HexKey::kControl;
    case Qt::Key_Left:
        return HexKey::kLeft;
    case Qt::Key_Right:
        return HexKey::kRight;
    case Qt::Key_Up:
        return HexKey::kUp;
    case Qt::Key_Down:
        return HexKey::kDown;
    case Qt::Key_PageUp:
        return HexKey::kPageUp;
    case Qt::Key_PageDown:
        return HexKey::kPageDown;
    case Qt::Key_Home:
        return HexKey::kHome;
    case Qt::Key_End:
        return HexKey::kEnd;
    case Qt::Key_Insert:
        return HexKey::kInsert;
    case Qt::Key_Delete:
        return HexKey::kDelete;
    case Qt::Key_A:
        return HexKey::kA;
    case Qt::Key_C:
        return HexKey::kC;
    case Qt::Key_T:
        return HexKey::kT;
    case Qt::Key_V:
        return HexKey::kV;
    case Qt::Key_X:
        return HexKey::kX;
    case Qt::Key_Z:
        return HexKey::kZ;
    default:
        break;
    }
    if (event->modifiers() & Qt::KeypadModifier) {
        return HexKey::kNone;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return DigitKey(key - Qt::Key_0);
    }
    int digit = DigitOfScanCode(event->nativeScanCode());
    if (digit < 0 && event->nativeScanCode() == 0) {
        digit = DigitOfShiftedSymbol(key);
    }
    if (digit >= 0) {
        return DigitKey(digit);
    }
    return LetterOfScanCode(event->nativeScanCode());
}

// The host's shortcuts come first, as they do for every control; only plain typing is kept
// from them, so that a one-key shortcut cannot swallow what the user types into the editor.
bool IsPlainTyping(const QKeyEvent* event) {
    const Qt::KeyboardModifiers chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QString text = event->text();
    return !(event->modifiers() & chords) && !text.isEmpty() && text.at(0).unicode() >= 0x20 &&
           text.at(0).unicode() != 0x7F;
}

} // namespace

bool CustomHexEditor::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        if (IsPlainTyping(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QAbstractScrollArea::event(event);
    }
    if (event->type() == QEvent::KeyPress && core_->WantTabs()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool chord = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && !chord) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void CustomHexEditor::KeyDown(HexKey key, HexShiftState shift) {
    core_->KeyDown(key, shift);
}

void CustomHexEditor::keyPressEvent(QKeyEvent* event) {
    const HexShiftState shift = KeyShift(event->modifiers());
    core_->SetInputState(shift | ButtonShift(QGuiApplication::mouseButtons()));
    const HexKey key = MapKey(event);
    Guarded([&] {
        KeyDown(key, shift);
        if ((shift & (HexShift::kCtrl | HexShift::kAlt | HexShift::kMeta)) != 0) {
            return;
        }
        const QString text = event->text();
        if (text.isEmpty() || text.at(0).unicode() == 0x7F) {
            return;
        }
        const std::optional<std::uint8_t> ansi = codepage::UnicodeToAnsi(text.toUcs4().value(0));
        if (ansi) {
            core_->KeyPress(*ansi);
        } else {
            core_->RefuseCharacter();
        }
    });
    event->accept();
}

void CustomHexEditor::keyReleaseEvent(QKeyEvent* event) {
    HexShiftState shift = KeyShift(event->modifiers());
    switch (event->key()) {
    case Qt::Key_Shift:
        shift &= ~HexShift::kShift;
        break;
    case Qt::Key_Control:
        shift &= ~HexShift::kCtrl;
        break;
    case Qt::Key_Alt:
        shift &= ~HexShift::kAlt;
        break;
    default:
        break;
    }
    core_->SetInputState(shift | ButtonShift(QGuiApplication::mouseButtons()));
    QAbstractScrollArea::keyReleaseEvent(event);
}

void CustomHexEditor::MouseDown(HexMouseButton button, HexShiftState shift, const QPoint& point) {
    core_->MouseDown(button, shift, point.x(), point.y());
}

void CustomHexEditor::MouseMove(HexShiftState shift, const QPoint& point) {
    core_->MouseMove(shift, point.x(), point.y());
}

void CustomHexEditor::MouseUp(HexMouseButton button, HexShiftState shift, const QPoint& point) {
    core_->MouseUp(button, shift, point.x(), point.y());
}

void CustomHexEditor::DblClick(const QPoint& /*point*/) {
    if (OnDblClick) {
        OnDblClick();
    }
}

void CustomHexEditor::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    lastMousePoint_ = point;
    Guarded([&] { MouseDown(ButtonOf(event->button()), EventShift(event), point); });
    if (window()->focusWidget() == this && !window()->isActiveWindow()) {
        window()->activateWindow();
    }
    UpdateDragScrollTimer();
}

void CustomHexEditor::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    lastMousePoint_ = point;
    Guarded([&] {
        if (event->button() == Qt::LeftButton) {
            DblClick(point);
        }
        MouseDown(ButtonOf(event->button()), EventShift(event) | HexShift::kDouble, point);
    });
    UpdateDragScrollTimer();
}

void CustomHexEditor::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    lastMousePoint_ = point;
    const HexShiftState shift = EventShift(event);
    Guarded([&] { MouseMove(shift, point); });
    UpdatePointerShape(shift, point);
    UpdateDragScrollTimer();
}

void CustomHexEditor::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    lastMousePoint_ = point;
    Guarded([&] { MouseUp(ButtonOf(event->button()), EventShift(event), point); });
    UpdateDragScrollTimer();
}

void CustomHexEditor::UpdatePointerShape(HexShiftState shift, const QPoint& point) {
    const bool arrow =
        shift == HexShift::kNone && (core_->IsPointOverSelection(point.x(), point.y()) ||
                                     core_->IsPointOverFixed(point.x(), point.y()));
    viewport()->setCursor(arrow ? Qt::ArrowCursor : Qt::IBeamCursor);
}

void CustomHexEditor::UpdateDragScrollTimer() {
    if (core_->GridSelecting() && !dragScroll_.isActive()) {
        dragScroll_.start();
    } else if (!core_->GridSelecting()) {
        dragScroll_.stop();
    }
}

void CustomHexEditor::DragScrollTick() {
    if (!core_->GridSelecting()) {
        dragScroll_.stop();
        return;
    }
    Guarded([&] { core_->DragScrollStep(lastMousePoint_.x(), lastMousePoint_.y()); });
}

} // namespace quillon
