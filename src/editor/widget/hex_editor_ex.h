#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QMenu>
#include <QPointer>

#include "editor/core/hex_editor_ex_core.h"
#include "editor/widget/clipboard_exchange.h"
#include "editor/widget/custom_hex_editor.h"
#include "editor/widget/drag_drop.h"
#include "editor/widget/hex_print_options.h"
#include "editor/widget/print_engine.h"

namespace quillon {

// The editor the application places: saving with a backup, the clipboard, drag-and-drop and
// print options, wheel zoom, extra shortcuts, double-click selection of one byte, a context
// menu of its own for the gutter and ruler, and a settings text.
class HexEditorEx : public CustomHexEditor {
    Q_OBJECT

public:
    using QueryPublicPropertyEvent = std::function<void(const std::string& name, bool& isPublic)>;

    explicit HexEditorEx(QWidget* parent = nullptr);
    ~HexEditorEx() override;

    HexEditorExCore& ExCore() { return static_cast<HexEditorExCore&>(Core()); }
    const HexEditorExCore& ExCore() const { return static_cast<const HexEditorExCore&>(Core()); }

    // ---- Saving ----
    bool CreateBackup() const { return ExCore().CreateBackup(); }
    void SetCreateBackup(bool createBackup) { ExCore().SetCreateBackup(createBackup); }
    const std::string& BackupExtension() const { return ExCore().BackupExtension(); }
    void SetBackupExtension(const std::string& extension) {
        ExCore().SetBackupExtension(extension);
    }
    // Saves under the document's own file name ("No Filename specified" without one).
    void Save() { ExCore().Save(); }

    // ---- Clipboard and drag and drop ----
    bool OleDragDrop() const { return dragDrop_->OleDragDrop(); }
    void SetOleDragDrop(bool enabled) { dragDrop_->SetOleDragDrop(enabled); }
    bool ClipboardAsHexText() const { return clipboard_->ClipboardAsHexText(); }
    void SetClipboardAsHexText(bool asHex) { clipboard_->SetClipboardAsHexText(asHex); }
    bool FlushClipboardAtShutDown() const { return clipboard_->FlushClipboardAtShutDown(); }
    void SetFlushClipboardAtShutDown(bool flush) { clipboard_->SetFlushClipboardAtShutDown(flush); }
    bool SupportsOtherClipFormats() const { return clipboard_->SupportsOtherClipFormats(); }
    void SetSupportsOtherClipFormats(bool supports) {
        clipboard_->SetSupportsOtherClipFormats(supports);
    }
    bool CanCopy() const { return clipboard_->CanCopy(); }
    bool CanCut() const { return clipboard_->CanCut(); }
    bool CanPaste() { return clipboard_->CanPaste(); }
    bool CopyToClipboard() { return clipboard_->CopyToClipboard(); }
    bool CutToClipboard() { return clipboard_->CutToClipboard(); }
    bool PasteFromClipboard() { return clipboard_->PasteFromClipboard(); }
    bool OwnsClipboard() const { return clipboard_->OwnsClipboard(); }
    void ReleaseClipboard(bool flush) { clipboard_->ReleaseClipboard(flush); }
    // Formats, the format dialog and the reading path of paste and drop.
    ClipboardExchange& Clipboard() { return *clipboard_; }
    // The drop target and the drag of the selection.
    HexDragDrop& DragDrop() { return *dragDrop_; }

    // ---- Printing options ----
    const HexPrintOptions& PrintOptions() const { return printOptions_; }
    HexPrintOptions& PrintOptions() { return printOptions_; }
    void SetPrintOptions(const HexPrintOptions& options) { printOptions_ = options; }
    const HexFont& PrintFont() const { return printFont_; }
    HexFont& PrintFont() { return printFont_; }
    // Copies the font and switches UseEditorFontForPrinting off.
    void SetPrintFont(const HexFont& font);
    bool UseEditorFontForPrinting() const { return useEditorFontForPrinting_; }
    void SetUseEditorFontForPrinting(bool use) { useEditorFontForPrinting_ = use; }

    // ---- Printing (print_hex_editor_ex.cpp) ----
    // The current printer's page less the margins, in its device pixels.
    PageRect GetPrintArea() const { return quillon::GetPrintArea(printOptions_); }
    // Draws page `page` (1-based; 0 only counts) on the canvas inside the area and answers the
    // page count; "Invalid Page Index" and "Printing Failed" as EHexEditor.
    std::int32_t PaintPage(QPainter& canvas, std::int32_t page, const PageRect& area);
    // A picture of the current printer's page size with the page on it.
    std::unique_ptr<QPicture> RenderPage(std::int32_t page);
    // Renders the counting page 0.
    std::int32_t PageCount();

    // ---- Mouse ----
    // Ctrl+wheel changes the bytes per row, Ctrl+Shift+wheel the font size.
    bool ZoomOnWheel() const { return zoomOnWheel_; }
    void SetZoomOnWheel(bool zoom) { zoomOnWheel_ = zoom; }
    // The context menu of the data, and the one of the gutter and ruler (mouse only).
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    QMenu* OffsetPopupMenu() const { return offsetPopupMenu_; }
    void SetOffsetPopupMenu(QMenu* menu) { offsetPopupMenu_ = menu; }

    // ---- Settings text ----
    // Lines "Name=Value\r\n" for the public settings, in their fixed order.
    std::string GetSettingsText();
    // Applies such lines; a value that does not convert raises, and the lines after it stay
    // unapplied.
    void SetSettingsText(const std::string& text);
    // One of the fixed names (any case), unless OnQueryPublicProperty says otherwise.
    bool IsPublicProperty(const std::string& name);
    QueryPublicPropertyEvent OnQueryPublicProperty;

    // ---- Paint lock ----
    void LockPaint() { ++paintLock_; }
    // Repaints when the last lock goes.
    void UnlockPaint();
    std::int32_t PaintLockCount() const { return paintLock_; }

protected:
    void KeyDown(HexKey key, HexShiftState shift) override;
    void MouseDown(HexMouseButton button, HexShiftState shift, const QPoint& point) override;
    void MouseMove(HexShiftState shift, const QPoint& point) override;
    void MouseUp(HexMouseButton button, HexShiftState shift, const QPoint& point) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void DblClick(const QPoint& point) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool ZoomStep(bool down, HexShiftState shift);

    std::unique_ptr<ClipboardExchange> clipboard_;
    std::unique_ptr<HexDragDrop> dragDrop_;

    HexPrintOptions printOptions_;
    HexFont printFont_;
    bool useEditorFontForPrinting_ = true;
    PrintSource PrintingSource();

    bool zoomOnWheel_ = true;
    QPointer<QMenu> popupMenu_;
    QPointer<QMenu> offsetPopupMenu_;
    bool doubleClicked_ = false;
    std::int32_t paintLock_ = 0;
};

} // namespace quillon
