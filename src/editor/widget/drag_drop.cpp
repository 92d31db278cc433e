#include "editor/widget/drag_drop.h"

#include <cstdlib>

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QPointer>

#include "editor/core/hex_editor_core.h"
#include "editor/widget/clipboard_placement.h"
#include "editor/widget/custom_hex_editor.h"
#include "editor/widget/hex_data_object.h"

namespace quillon {

namespace {

void Refuse(QDropEvent& event) {
    event.setDropAction(Qt::IgnoreAction);
    event.ignore();
}

} // namespace

HexDragDrop::HexDragDrop(CustomHexEditor& editor, ClipboardExchange& exchange)
    : ExecDrag(
          [](QDrag& drag) { return drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction); }),
      editor_(editor), exchange_(exchange) {}

void HexDragDrop::SetOleDragDrop(bool enabled) {
    oleDragDrop_ = enabled;
    editor_.setAcceptDrops(enabled);
    editor_.viewport()->setAcceptDrops(enabled);
}

bool HexDragDrop::AcceptsDataObject(const QMimeData& data, ClipUse use, Qt::DropAction& effect) {
    if (editor_.Core().ReadOnlyView() || !exchange_.FindAcceptedFormat(data, use)) {
        return false;
    }
    if (exchange_.ChosenFormat(use) == CF_HDROP && effect == Qt::MoveAction) {
        effect = Qt::LinkAction;
    }
    return true;
}

Qt::DropAction HexDragDrop::ChooseDropEffect(Qt::KeyboardModifiers keys) const {
    if (dragRunning_) {
        return keys & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction;
    }
    if (!(keys & Qt::ShiftModifier)) {
        return Qt::CopyAction;
    }
    return exchange_.ChosenFormat(ClipUse::Drop) == CF_HDROP ? Qt::LinkAction : Qt::MoveAction;
}

void HexDragDrop::MouseDown(HexMouseButton button, const QPoint& point) {
    const HexEditorCore& core = editor_.Core();
    if (oleDragDrop_ && button == HexMouseButton::kLeft &&
        core.IsPointOverSelection(point.x(), point.y()) && !core.Selecting()) {
        dragPending_ = true;
        dragRunning_ = false;
        pressPoint_ = point;
    }
}

bool HexDragDrop::MayStartDrag(HexShiftState shift, const QPoint& point) const {
    const HexEditorCore& core = editor_.Core();
    if (!oleDragDrop_ || (shift & HexShift::kLeft) == 0 || dragRunning_ || !dragPending_ ||
        !core.IsPointOverSelection(point.x(), point.y()) || core.Selecting()) {
        return false;
    }
    const int threshold = QApplication::startDragDistance();
    return std::abs(point.x() - pressPoint_.x()) >= threshold ||
           std::abs(point.y() - pressPoint_.y()) >= threshold;
}

void HexDragDrop::MouseMove(HexShiftState shift, const QPoint& point) {
    if (MayStartDrag(shift, point)) {
        RunDrag();
    }
}

// The pending flag goes too, so that a click on the selection leaves nothing behind.
void HexDragDrop::MouseUp() {
    dragPending_ = false;
    dragRunning_ = false;
}

void HexDragDrop::RunDrag() {
    dragPending_ = false;
    dragRunning_ = true;
    movedHere_ = false;
    // Whatever the drag ends in, the editor leaves the drag state.
    struct EndOfDrag {
        HexDragDrop& owner;
        ~EndOfDrag() {
            owner.dragRunning_ = false;
            owner.movedHere_ = false;
            owner.editor_.HideDropPosition();
        }
    } end{*this};

    // A drop target in another program fetches the data after the drop: the last drag lives
    // until the next one (or the platform lets it go).
    delete lastDrag_;
    lastDrag_ = new QDrag(editor_.viewport());
    lastDrag_->setMimeData(exchange_.CreateDataObject());
    const Qt::DropAction effect = ExecDrag(*lastDrag_);
    if (effect != Qt::MoveAction) {
        return;
    }
    HexEditorCore& core = editor_.Core();
    if (movedHere_) {
        core.MergeUndo(2, "Data Moved");
    } else {
        core.DeleteSelected();
    }
}

void HexDragDrop::TrackDrop(QDragMoveEvent& event) {
    const Qt::DropAction effect = ChooseDropEffect(event.modifiers());
    editor_.ShowDropPosition(event.position().toPoint());
    event.setDropAction(effect);
    event.accept();
}

void HexDragDrop::DragEnter(QDragEnterEvent& event) {
    Qt::DropAction effect = event.proposedAction();
    if (event.mimeData() == nullptr ||
        !AcceptsDataObject(*event.mimeData(), ClipUse::Drop, effect)) {
        Refuse(event);
        return;
    }
    TrackDrop(event);
}

void HexDragDrop::DragMove(QDragMoveEvent& event) {
    TrackDrop(event);
}

void HexDragDrop::DragLeave() {
    editor_.HideDropPosition();
}

void HexDragDrop::Drop(QDropEvent& event) {
    const QMimeData* data = event.mimeData();
    Qt::DropAction effect = event.proposedAction();
    bool placed = false;
    if (data != nullptr && AcceptsDataObject(*data, ClipUse::Drop, effect)) {
        effect = ChooseDropEffect(event.modifiers());
        DropSite site{editor_.DropPosition(), dragRunning_, false};
        try {
            placed = exchange_.InsertFromDataObject(*data, ClipUse::Drop, effect, &site);
        } catch (...) {
            Refuse(event);
            editor_.HideDropPosition();
            throw;
        }
        movedHere_ = movedHere_ || site.movedHere;
    }
    editor_.HideDropPosition();
    if (placed) {
        event.setDropAction(effect);
        event.accept();
    } else {
        Refuse(event);
    }
}

} // namespace quillon
