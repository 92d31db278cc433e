#pragma once

#include <functional>

#include <QDrag>
#include <QPoint>
#include <QPointer>
#include <Qt>

#include "editor/core/hex_input.h"
#include "editor/widget/clipboard_exchange.h"

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;

namespace quillon {

class CustomHexEditor;

// Drag and drop of the editor: the selection is dragged out as a HexDataObject (moved when it
// lands in the same document), and bytes, text and files are dropped in at the drop marker.
// The editor hands on its mouse handlers and drag events.
class HexDragDrop {
public:
    HexDragDrop(CustomHexEditor& editor, ClipboardExchange& exchange);

    bool OleDragDrop() const { return oleDragDrop_; }
    // Lets the editor take drops, or not, at once.
    void SetOleDragDrop(bool enabled);

    // Runs a started drag to its end and returns the effect performed; QDrag::exec unless a
    // test drives the drop itself.
    std::function<Qt::DropAction(QDrag& drag)> ExecDrag;

    // False while read-only or when nothing accepted is offered; a file list to be moved is
    // linked instead.
    bool AcceptsDataObject(const QMimeData& data, ClipUse use, Qt::DropAction& effect);
    // Inside its own drag: move, or copy with Ctrl. From elsewhere: copy, or move with Shift,
    // and a file list to be moved is linked.
    Qt::DropAction ChooseDropEffect(Qt::KeyboardModifiers keys) const;
    bool DragRunning() const { return dragRunning_; }

    // After the editor's own mouse handling.
    void MouseDown(HexMouseButton button, const QPoint& point);
    void MouseMove(HexShiftState shift, const QPoint& point);
    void MouseUp();

    void DragEnter(QDragEnterEvent& event);
    void DragMove(QDragMoveEvent& event);
    void DragLeave();
    // An error while the bytes are placed refuses the drop and is raised again for the editor
    // to report.
    void Drop(QDropEvent& event);

private:
    bool MayStartDrag(HexShiftState shift, const QPoint& point) const;
    void RunDrag();
    void TrackDrop(QDragMoveEvent& event);

    CustomHexEditor& editor_;
    ClipboardExchange& exchange_;
    bool oleDragDrop_ = false;
    bool dragPending_ = false;
    bool dragRunning_ = false;
    bool movedHere_ = false;
    QPoint pressPoint_;
    QPointer<QDrag> lastDrag_;
};

} // namespace quillon
