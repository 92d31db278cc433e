#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/core/find_engine.h"
#include "editor/core/grid_model.h"
#include "editor/core/hex_editor_view.h"
#include "editor/core/hex_input.h"
#include "editor/core/hex_memory_stream.h"
#include "editor/core/hex_stream.h"
#include "editor/core/hex_types.h"
#include "editor/core/offset_format.h"
#include "editor/core/undo_target.h"

namespace quillon {

class HexUndoStorage;

// The hex editor without its widget: the document, its edit operations and change map, the undo
// storage, the selection, and the grid layout that maps byte positions to cells. The host shows
// it through a HexEditorView and hands in the font metrics and the viewport size.
//
// Grid: row 0 is the ruler, row 1 a fixed row of height 0, row 2 + r shows bytes r * BytesPerRow
// on. Column 0 is the gutter, 1 a spacer, then two columns per byte (hex digits), a separator
// and the character field. The caret is the grid's current cell.
class HexEditorCore : public GridModel, public UndoTarget {
public:
    using ProgressEvent = std::function<void(HexProgressKind kind, const std::string& name,
                                             std::uint8_t percent, bool& cancel)>;
    using GetOffsetTextEvent = std::function<void(std::int64_t number, std::string& offsetText)>;

    HexEditorCore();
    ~HexEditorCore() override;
    HexEditorCore(const HexEditorCore&) = delete;
    HexEditorCore& operator=(const HexEditorCore&) = delete;

    // The widget; null restores the no-op view. Not owned.
    void SetView(HexEditorView* view);

    // ---- Events (assigned by the host) ----
    std::function<void()> OnChange;
    std::function<void()> OnSelectionChanged;
    std::function<void()> OnBookmarkChanged;
    std::function<void()> OnTopLeftChanged;
    ProgressEvent OnProgress;

    // ---- Document ----
    std::int32_t DataLength() const override { return data_.DataSize(); }
    // Bounds-checked: a range outside the data raises "Data position/length out of data bounds".
    void GetBytes(void* buffer, std::int32_t index, std::int32_t count) const override;
    virtual void PutBytes(const void* buffer, std::int32_t index, std::int32_t count) override;
    std::uint8_t ByteAt(std::int32_t index) const override;
    // Writes the raw byte: records nothing, marks nothing, repaints nothing.
    void SetByteAt(std::int32_t index, std::uint8_t value) override;
    // The byte store's size setter (new bytes read as zero) and its bounded write.
    void SetDataSize(std::int32_t size) override;
    void WriteAt(const void* buffer, std::int32_t position, std::int32_t count) override;
    // The contiguous bytes (valid until the next size change).
    const std::uint8_t* Data() const { return data_.AddressOf(0); }

    const std::string& FileName() const { return fileName_; }
    bool FileIsReadOnly() const { return fileIsReadOnly_; }
    bool HasFile() const { return hasFile_; }
    bool IsModified() const override { return isModified_; }
    void SetIsModified(bool modified) override { isModified_ = modified; }
    const std::string& ProgressName() const { return progressName_; }
    void SetProgressName(const std::string& name) { progressName_ = name; }

    void NewDocument(const std::string& name);
    // Loads a regular file; anything else (a folder, a FIFO) fails with the open error.
    void OpenFile(const std::string& fileName);
    void LoadStream(HexStream& stream);
    // Writes through a temporary file in the target's folder renamed over the target, so a
    // failed save leaves the old file whole.
    void SaveFile(const std::string& fileName, bool unmodify);
    void WriteFileStream(HexStream& stream);
    void WriteRangeToStream(HexStream& stream, std::int32_t index, std::int32_t count);
    // Called before saving over FileName; raises while FileIsReadOnly.
    virtual void CheckOverwrite();
    bool HasUnsavedChanges() const;
    // Copies in 61440-byte blocks with progress; count -1 copies the rest of the source.
    void CopyStream(HexStream& source, HexStream& dest, std::int64_t count, HexProgressKind kind);

    // ---- Selection ----
    std::int32_t SelectionAnchor() const override { return selectionAnchor_; }
    std::int32_t SelectionLower() const override { return selectionLower_; }
    std::int32_t SelectionUpper() const override { return selectionUpper_; }
    // Each value clamped to -1 .. DataLength - 1.
    void SetSelectionFields(std::int32_t anchor, std::int32_t lower, std::int32_t upper) override;
    void SelectRange(std::int32_t anchor, std::int32_t other);
    void Unselect(bool repaint);
    void SelectAll();
    bool InSelection(std::int32_t index) const;
    std::int32_t SelectionStart();
    void SetSelectionStart(std::int32_t position);
    std::int32_t SelectionEnd();
    void SetSelectionEnd(std::int32_t position);
    std::int32_t SelectionCount() const;
    // Origin 0: from the start, 1: from the caret, 2: from the last byte. -1 when empty.
    std::int32_t MoveCaretTo(std::int32_t offset, std::int32_t origin);
    // Position under the caret, clamped to 0 .. max(0, DataLength - 1).
    std::int32_t CurrentPosition();
    // A Shift or mouse selection is being extended from ExtendAnchor.
    bool Selecting() const { return selecting_; }
    void SetSelecting(bool selecting) { selecting_ = selecting; }
    std::int32_t ExtendAnchor() const { return extendAnchor_; }
    void SetExtendAnchor(std::int32_t position) { extendAnchor_ = position; }

    // ---- Notifications and busy cursor ----
    // OnChange at once, then NotifySelectionChanged.
    void NotifyChange() override;
    // Schedules one OnSelectionChanged through the view's PostSelectionChanged.
    virtual void NotifySelectionChanged();
    // The queued call: one OnSelectionChanged for all requests since the last delivery.
    void DeliverSelectionChanged();
    bool SelectionChangePending() const { return selectionChangePending_; }
    void PushWaitCursor();
    void PopCursor();
    std::int32_t WaitCursorDepth() const { return waitCursorDepth_; }
    // The busy cursor for as long as it lives.
    class WaitCursorScope {
    public:
        explicit WaitCursorScope(HexEditorCore& editor) : editor_(editor) {
            editor_.PushWaitCursor();
        }
        ~WaitCursorScope() { editor_.PopCursor(); }
        WaitCursorScope(const WaitCursorScope&) = delete;
        WaitCursorScope& operator=(const WaitCursorScope&) = delete;

    private:
        HexEditorCore& editor_;
    };

    // ---- Undo ----
    HexUndoStorage& UndoStorage() { return *undo_; }
    virtual std::int32_t SuspendUndo();
    virtual std::int32_t ResumeUndo();
    void ClearUndo();
    bool Undo();
    bool Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    std::int32_t MaxUndo() const;
    void SetMaxUndo(std::int32_t maxUndo);

    // ---- Edit operations ----
    void ChangeByte(std::uint8_t oldValue, std::uint8_t newValue, std::int32_t index,
                    std::int32_t col, std::int32_t row, const std::string& description = {});
    // The two bytes of each value in memory order.
    void ChangeWideChar(std::uint16_t oldValue, std::uint16_t newValue, std::int32_t index,
                        std::int32_t col, std::int32_t row, const std::string& description = {});
    void AppendBytes(const void* buffer, std::int32_t size, const std::string& description,
                     bool moveCaret);
    void InsertBytes(const void* buffer, std::int32_t size, std::int32_t position,
                     const std::string& description, bool moveCaret);
    void OverwriteSelection(const void* buffer, std::int32_t size, const std::string& description,
                            bool moveCaret);
    std::int32_t ReplaceBytes(const void* buffer, std::int32_t position, std::int32_t oldCount,
                              std::int32_t newCount, const std::string& description,
                              bool moveCaret);
    void DeleteSelected(const std::string& description = {});
    void DeleteAtCursor(bool backwards, const std::string& description = {});
    void AppendRaw(const void* buffer, std::int32_t size) override;
    void InsertRaw(const void* buffer, std::int32_t size, std::int32_t position) override;
    // Removes bytes from .. to - 1, then places the caret (col < 0: no explicit move).
    void DeleteRaw(std::int32_t from, std::int32_t to, std::int32_t col, std::int32_t row) override;
    bool ShiftInNibble(std::int32_t position, bool highNibble) override;
    bool ShiftOutNibble(std::int32_t position, bool highNibble) override;
    void MarkChanged(std::int32_t index, bool value) override;
    bool IsChanged(std::int32_t index) const override;
    void TrimChangedBits(std::int32_t position) override;
    std::int32_t ChangedBitsLength() const {
        return static_cast<std::int32_t>(changedBits_.size());
    }
    void RecordUndo(HexUndoKind kind, std::int32_t position, std::int32_t count,
                    std::int32_t replaceCount, const std::string& description);
    virtual bool MayRecordUndo(HexUndoKind kind, std::int32_t count, std::int32_t replaceCount);
    void MergeUndo(std::int32_t count, const std::string& description);

    bool NoSizeChange() const { return noSizeChange_; }
    // True switches insert mode off first.
    void SetNoSizeChange(bool noSizeChange);
    bool SizeChangeOverride() const { return sizeChangeOverride_; }
    void SetSizeChangeOverride(bool value) { sizeChangeOverride_ = value; }
    bool EffectiveNoSizeChange() const { return noSizeChange_ && !sizeChangeOverride_; }

    // ---- Modes ----
    // The effective insert mode: the insert flag while insertion is allowed.
    bool InsertMode() const override { return insertFlag_ && InsertAllowed(); }
    void SetInsertMode(bool insertMode) override;
    bool InsertAllowed() const {
        return !EffectiveNoSizeChange() && allowInsertMode_ && !readOnlyView_;
    }
    bool AllowInsertMode() const { return allowInsertMode_; }
    void SetAllowInsertMode(bool allow);
    // The stored insert flag (InsertMode is it while insertion is allowed).
    bool InsertFlag() const { return insertFlag_; }
    bool ReadOnlyView() const { return readOnlyView_; }
    void SetReadOnlyView(bool readOnly) { readOnlyView_ = readOnly; }
    // The first digit column of a byte shows its low half.
    bool SwapNibbles() const { return swapNibbles_; }
    void SetSwapNibbles(bool swap);
    // The host keeps the Tab key for the editor instead of moving the focus.
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool wantTabs) { wantTabs_ = wantTabs; }
    // Mirrors the widget's enabled state (InsertBytes selects only while enabled).
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // ---- Grid layout ----
    std::int32_t BytesPerRow() const { return bytesPerRow_; }
    void SetBytesPerRow(std::int32_t bytesPerRow);
    std::int32_t BytesPerColumn() const { return nibblesPerColumn_ / 2; }
    void SetBytesPerColumn(std::int32_t bytesPerColumn);
    std::int32_t BytesPerUnit() const override { return bytesPerUnit_; }
    void SetBytesPerUnit(std::int32_t bytesPerUnit) override;
    std::int32_t RulerBytesPerUnit() const { return rulerBytesPerUnit_; }
    void SetRulerBytesPerUnit(std::int32_t rulerBytesPerUnit);
    // RulerBytesPerUnit, or BytesPerUnit while that is -1.
    std::int32_t RulerUnit() const;
    std::int32_t BytesPerBlock() const { return bytesPerBlock_; }
    void SetBytesPerBlock(std::int32_t bytesPerBlock);
    bool SeparateBlocksInCharField() const { return separateBlocksInCharField_; }
    void SetSeparateBlocksInCharField(bool separate);
    bool ShowRuler() const { return showRuler_; }
    void SetShowRuler(bool showRuler);
    std::int32_t HexColumnCount() const { return 2 * bytesPerRow_; }
    std::int32_t NibblesPerColumn() const { return nibblesPerColumn_; }
    std::int32_t FirstCharCol() const { return HexColumnCount() + 3; }

    // Width of "w" and height of "yY" in the control's font, measured by the host.
    void SetFontMetrics(std::int32_t charWidth, std::int32_t textHeight);
    std::int32_t CharWidth() const { return charWidth_; }
    // Text height + 2: the height of a data row.
    std::int32_t RowHeight() const { return textHeight_ + 2; }

    // Updates the current-field flag to whether col is in the character field.
    std::int32_t CellToPosition(std::int32_t col, std::int32_t row) override;
    // The same mapping without touching the current-field flag.
    std::int32_t PositionOfCell(std::int32_t col, std::int32_t row) const;
    GridCell PositionToCell(std::int32_t position, bool inCharField) const override;
    std::int32_t OppositeFieldCol(std::int32_t col, bool* wasInCharField = nullptr) const;
    std::int32_t RowOfPosition(std::int32_t position) const;
    bool IsCharFieldCol(std::int32_t col) const { return col > HexColumnCount() + 2; }
    void UpdateGridSize() override;
    void CalcColumnWidths();
    std::int32_t FirstVisibleByte() const;
    std::int32_t LastVisibleByte() const;
    // Each byte (or ruler unit) of a row labelled with its index: 2 * RulerUnit digits each.
    const std::string& RulerText() const { return rulerText_; }
    // What the ruler row shows in a scrolling column.
    std::string RulerCellText(std::int32_t col) const;

    // ---- Characters ----
    HexTranslationKind Translation() const override { return translation_; }
    // Only tkAsIs in unicode mode ("Translations cannot be used in unicode mode").
    void SetTranslation(HexTranslationKind kind) override;
    void SetTranslationField(HexTranslationKind kind) override { translation_ = kind; }
    // 0 switches masking off.
    std::uint8_t MaskChar() const { return maskChar_; }
    void SetMaskChar(std::uint8_t maskChar);
    bool UnicodeChars() const override { return unicodeChars_; }
    void SetUnicodeChars(bool unicode) override;
    bool UnicodeBigEndian() const override { return unicodeBigEndian_; }
    void SetUnicodeBigEndian(bool bigEndian) override;
    bool HexLowerCase() const { return hexLowerCase_; }
    void SetHexLowerCase(bool lowerCase);
    // The digit of a half byte: "0123456789ABCDEF", or lower case while HexLowerCase.
    char HexDigit(std::uint8_t value) const;
    // One typed character to the byte to store (0 = refused) and one byte to the character shown,
    // in the current translation.
    std::uint8_t CharToByte(std::uint8_t ansiChar) const;
    std::uint8_t ByteToChar(std::uint8_t value) const;

    // ---- Offsets and gutter ----
    GetOffsetTextEvent OnGetOffsetText;
    const std::string& OffsetFormat() const { return offsetFormat_.Text(); }
    // A text that does not parse leaves the previous format in force and raises.
    void SetOffsetFormat(const std::string& format);
    const quillon::OffsetFormat& ParsedOffsetFormat() const { return offsetFormat_; }
    // -1 = from the offset texts.
    std::int32_t GutterWidth() const { return gutterWidth_; }
    void SetGutterWidth(std::int32_t width);
    // OnGetOffsetText's text (unless that handler is running), else the format's.
    virtual std::string OffsetText(std::int32_t position);
    // OffsetText while a format is set, else plain hexadecimal.
    virtual std::string OffsetTextOrHex(std::int32_t position);
    // Recomputes the gutter after OnGetOffsetText changed what it returns.
    void UpdateGutter();

    // ---- Find ----
    using FindEvent = std::function<void(const std::uint8_t* pattern, std::int32_t length,
                                         std::int32_t start, std::int32_t end, bool ignoreCase,
                                         std::int32_t reserved, std::int32_t& result)>;
    // When assigned, FindBytes hands the whole search to it (reserved is always 0).
    FindEvent OnFind;
    // The bytes the document would hold for `text` (ANSI); rebuilds the case tables.
    std::string PreparePattern(const std::string& text, bool ignoreCase, bool translate);
    // First match at or after start that ends at or before end, or -1. A case-insensitive search
    // needs a pattern prepared with ignoreCase.
    std::int32_t FindBytes(const void* pattern, std::int32_t length, std::int32_t start,
                           std::int32_t end, bool ignoreCase);
    // While set, searches report pkFind progress through OnProgress.
    bool FindProgress() const { return findProgress_; }
    void SetFindProgress(bool findProgress) { findProgress_ = findProgress; }

    // ---- Caret ----
    GridCell CaretCell() const override { return CurrentCell(); }
    bool CaretInCharField() const override;
    // Moves the caret to the same byte in the other field.
    void SetCaretInCharField(bool inCharField) override;
    // The field of the caret, or of the cell last mapped by CellToPosition.
    bool CurrentFieldIsChar() const { return inCharField_; }
    void MoveCaretToCell(GridCell cell) override;
    void SetCaretColumn(std::int32_t col) override;

    // ---- Keyboard ----
    using KeyDownEvent = std::function<void(HexKey& key, HexShiftState shift)>;
    using KeyPressEvent = std::function<void(std::uint8_t& character)>;
    // Called first by KeyDown and KeyPress; they may change the key or the character.
    KeyDownEvent OnKeyDown;
    KeyPressEvent OnKeyPress;
    // A typed character cannot be entered at the caret.
    std::function<void()> OnInvalidKey;
    // Keys and buttons held as of the host's latest input event: caret moves extend the
    // selection only while Shift or the left button is down.
    HexShiftState InputState() const { return inputState_; }
    void SetInputState(HexShiftState state) { inputState_ = state; }
    // The key map; shift holds the keyboard modifiers of the key event.
    virtual void KeyDown(HexKey key, HexShiftState shift);
    // A typed character as a Windows-1251 byte.
    void KeyPress(std::uint8_t character);
    // A typed character that has no Windows-1251 byte.
    void RefuseCharacter();

    // ---- Mouse (viewport pixels) ----
    // The cell under a point. While the insert flag is set, a point in the extra space right of
    // a row's last byte (hex or character field) stands for the first cell of that field in the
    // next row; x and y move there.
    GridCell AdjustMouseCell(std::int32_t& x, std::int32_t& y) const;
    // In column 0 or 1, or row 0 or 1.
    bool IsPointOverFixed(std::int32_t x, std::int32_t y) const;
    bool IsPointOverSelection(std::int32_t x, std::int32_t y) const;
    // shift holds the keys and buttons held, with HexShift::kDouble for a double click.
    void MouseDown(HexMouseButton button, HexShiftState shift, std::int32_t x, std::int32_t y);
    void MouseMove(HexShiftState shift, std::int32_t x, std::int32_t y);
    void MouseUp(HexMouseButton button, HexShiftState shift, std::int32_t x, std::int32_t y);
    // A left-button selection is being dragged: the host runs its scroll timer meanwhile.
    bool GridSelecting() const { return gridSelecting_; }
    void CancelGridSelecting() { gridSelecting_ = false; }
    // One tick of the scroll timer with the pointer at (x, y): moves the caret one row or column
    // beyond the visible cells when the pointer is over a partly shown or fixed cell.
    void DragScrollStep(std::int32_t x, std::int32_t y);
    // The left button went down on selected bytes and the pointer has not moved since.
    bool ClickInSelection() const { return clickInSelection_; }
    void SetClickInSelection(bool value) { clickInSelection_ = value; }
    std::int32_t PressX() const { return pressX_; }
    std::int32_t PressY() const { return pressY_; }

    // ---- Drop marker ----
    // Tracks the marker at a point (scrolling one line near the edges) and returns the drop
    // position, 0 .. DataLength, aligned down to a unit.
    std::int32_t ShowDropPosition(std::int32_t x, std::int32_t y);
    void HideDropPosition();
    // -1 while no marker is shown.
    std::int32_t DropPosition() const;
    bool DropShown() const { return dropShown_; }
    GridCell DropCell() const { return dropCell_; }

    // ---- Bookmarks ----
    // Sets bookmark index (0..9) to the position, or clears it when it already holds exactly
    // this position and field.
    void ToggleBookmark(std::int32_t index, std::int32_t position, bool inCharField);
    // False when the bookmark is not set, or lies beyond the document (it is then cleared).
    bool JumpToBookmark(std::int32_t index);
    const Bookmarks& GetBookmarks() const override { return bookmarks_; }
    void SetBookmarks(const Bookmarks& bookmarks) override;
    // Moves every bookmark at or after `from` by delta; one that lands beyond dataLength is
    // cleared. A negative `from` does nothing.
    void ShiftBookmarks(std::int32_t from, std::int32_t delta, std::int32_t dataLength) override;
    virtual void NotifyBookmarkChanged() override;

    // ---- Repaint ----
    void InvalidateRange(std::int32_t from, std::int32_t to) override;
    void Invalidate() override;
    void InvalidateCell(std::int32_t col, std::int32_t row);
    void InvalidateRow(std::int32_t row);

protected:
    bool SelectCell(std::int32_t col, std::int32_t row) override;
    void CurrentCellMoved(GridCell previous) override;
    void TopLeftMoved() override;
    void GridSizeChanged() override;

private:
    void ResetDocumentState();
    void CheckRange(std::int64_t index, std::int64_t count) const;
    void CopyBlocks(HexStream& source, HexStream& dest, std::int64_t count);
    void CaretToPosition(std::int32_t position, bool inCharField);
    std::int32_t PositionAfterEnd() const;
    std::int32_t ComputedRowCount() const;
    void RebuildRulerText();
    // Repaints the hex cells of count bytes from index, and the character cell of the first.
    void RepaintBytes(std::int32_t index, std::int32_t count, std::int32_t row);
    // ChangeByte's record, write and change mark, without its repaint and notification.
    void StoreChangedByte(std::uint8_t newValue, std::int32_t index,
                          const std::string& description);
    // ChangeByte for every byte that differs, leaving the repaint to the caller (which repaints
    // everything); returns how many differed.
    std::int32_t OverwriteBytes(const std::uint8_t* source, std::int32_t position,
                                std::int32_t count);
    void ApplyLayoutChange();
    bool CaretMoveAllowed(std::int32_t col, std::int32_t row);
    void ExtendSelection(GridCell previous);
    void MoveLeftRight(bool right, std::int32_t position);
    void MoveToRowEnd(std::int32_t position);
    void PageMove(bool down, bool ctrl);
    void DeleteKey(bool backwards);
    // Each returns whether it reached an edit operation.
    bool TypeHexDigit(std::uint8_t character, std::int32_t position);
    bool TypeCharacter(std::uint8_t character, std::int32_t position);
    void FireInvalidKey();
    void GridMouseDown(GridCell cell);
    void GridMouseMove(GridCell cell);
    // Width of the gutter column from the offset texts, or GutterWidth when set.
    std::int32_t GutterPixelWidth();
    // Keeps the offset divisor on the row, column or ruler unit it follows.
    void FollowLayoutInOffsetFormat();

    HexEditorView nullView_;
    HexEditorView* view_ = &nullView_;

    HexMemoryStream data_;
    std::vector<bool> changedBits_;
    std::string fileName_ = "---";
    std::string progressName_;
    bool fileIsReadOnly_ = true;
    bool hasFile_ = false;
    bool isModified_ = false;
    std::unique_ptr<HexUndoStorage> undo_;

    bool noSizeChange_ = false;
    bool sizeChangeOverride_ = false;
    bool insertFlag_ = false;
    bool allowInsertMode_ = true;
    bool readOnlyView_ = false;
    bool swapNibbles_ = false;
    bool wantTabs_ = true;
    bool enabled_ = true;
    HexShiftState inputState_ = HexShift::kNone;

    bool gridSelecting_ = false;
    bool clickInSelection_ = false;
    std::int32_t pressX_ = 0;
    std::int32_t pressY_ = 0;
    bool dropShown_ = false;
    GridCell dropCell_{};

    std::int32_t selectionAnchor_ = -1;
    std::int32_t selectionLower_ = -1;
    std::int32_t selectionUpper_ = -1;
    bool selecting_ = false;
    std::int32_t extendAnchor_ = -1;
    bool selectionChangePending_ = false;
    std::int32_t waitCursorDepth_ = 0;

    std::int32_t bytesPerRow_ = 16;
    std::int32_t nibblesPerColumn_ = 4;
    std::int32_t bytesPerUnit_ = 1;
    std::int32_t rulerBytesPerUnit_ = -1;
    std::int32_t bytesPerBlock_ = -1;
    bool separateBlocksInCharField_ = true;
    bool showRuler_ = false;
    bool unicodeChars_ = false;
    bool unicodeBigEndian_ = false;
    HexTranslationKind translation_ = HexTranslationKind::tkAsIs;
    std::uint8_t maskChar_ = '.';
    bool hexLowerCase_ = false;
    bool inCharField_ = false;
    bool examiningCaretMove_ = false;
    std::int32_t charWidth_ = 9;
    std::int32_t textHeight_ = 17;
    std::string rulerText_;

    Bookmarks bookmarks_{};

    quillon::OffsetFormat offsetFormat_;
    std::int32_t gutterWidth_ = -1;
    bool offsetTextInProgress_ = false;

    FindTables findTables_{};
    bool findProgress_ = false;
};

} // namespace quillon
