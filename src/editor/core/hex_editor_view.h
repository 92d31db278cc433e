#pragma once

#include "editor/core/grid_model.h"

namespace quillon {

// What the editor core asks of the widget that shows it. Every hook has a no-op default, so
// that the core runs alone in tests; the Qt widget implements them.
class HexEditorView {
public:
    virtual ~HexEditorView() = default;

    // Repaint these cells (both corners included).
    virtual void InvalidateCells(const GridRect& /*cells*/) {}
    // Repaint the whole control.
    virtual void InvalidateAll() {}
    // Row or column counts, widths or heights changed: scroll ranges and geometry follow.
    virtual void GridLayoutChanged() {}
    // TopRow or LeftCol changed.
    virtual void TopLeftChanged() {}
    // The caret moved to this cell (already scrolled into view): place the system caret.
    virtual void CaretMoved(GridCell /*cell*/) {}
    // The insert flag changed: the caret's shape may follow it.
    virtual void InsertModeChanged() {}
    // Queue one call of HexEditorCore::DeliverSelectionChanged() on the event loop. Called only
    // when no notification is pending, so that many changes in one turn give one event.
    virtual void PostSelectionChanged() {}
    // The busy cursor: show it, and put back what was shown before the matching push.
    virtual void PushWaitCursor() {}
    virtual void PopCursor() {}
};

} // namespace quillon
