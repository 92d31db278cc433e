#pragma once

#include <array>
#include <cstdint>

#include "editor/core/hex_types.h"

namespace quillon {

struct GridCell {
    std::int32_t col = 2;
    std::int32_t row = 2;
    bool operator==(const GridCell&) const = default;
};

struct Bookmark {
    std::int32_t position = -1; // -1 = unset
    bool inCharField = false;
    bool operator==(const Bookmark&) const = default;
};

using Bookmarks = std::array<Bookmark, 10>;

// What the undo storage may do to the editor that owns it: exactly the document, view and
// change-map operations that undo and redo need, and nothing else.
class UndoTarget {
public:
    virtual ~UndoTarget() = default;

    // Document bytes.
    virtual std::int32_t DataLength() const = 0;
    virtual void GetBytes(void* buffer, std::int32_t index, std::int32_t count) const = 0;
    virtual std::uint8_t ByteAt(std::int32_t index) const = 0;
    virtual void SetByteAt(std::int32_t index, std::uint8_t value) = 0;
    virtual void PutBytes(const void* buffer, std::int32_t index, std::int32_t count) = 0;
    virtual void InsertRaw(const void* buffer, std::int32_t size, std::int32_t position) = 0;
    virtual void AppendRaw(const void* buffer, std::int32_t size) = 0;
    virtual void DeleteRaw(std::int32_t from, std::int32_t to, std::int32_t col,
                           std::int32_t row) = 0;
    virtual bool ShiftInNibble(std::int32_t position, bool highNibble) = 0;
    virtual bool ShiftOutNibble(std::int32_t position, bool highNibble) = 0;
    // The byte store's size setter and its bounded write.
    virtual void SetDataSize(std::int32_t size) = 0;
    virtual void WriteAt(const void* buffer, std::int32_t position, std::int32_t count) = 0;

    // Change map.
    virtual bool IsChanged(std::int32_t index) const = 0;
    virtual void MarkChanged(std::int32_t index, bool value) = 0;
    // Marks from `position` onward are dropped when the map holds at least that many bits.
    virtual void TrimChangedBits(std::int32_t position) = 0;

    // Bookmarks.
    virtual const Bookmarks& GetBookmarks() const = 0;
    virtual void SetBookmarks(const Bookmarks& bookmarks) = 0;
    // Moves every bookmark at or after `from` (nothing when `from` < 0) by `delta`; one that then
    // lies beyond `dataLength` (greater than it) is cleared (-1). The length is passed because an
    // insertion is recorded before its bytes exist. NotifyBookmarkChanged when any bookmark was
    // touched.
    virtual void ShiftBookmarks(std::int32_t from, std::int32_t delta, std::int32_t dataLength) = 0;
    virtual void NotifyBookmarkChanged() = 0;

    // Caret and cell mapping.
    virtual std::int32_t CellToPosition(std::int32_t col, std::int32_t row) = 0;
    virtual GridCell PositionToCell(std::int32_t position, bool inCharField) const = 0;
    virtual GridCell CaretCell() const = 0;
    virtual bool CaretInCharField() const = 0;
    virtual void SetCaretInCharField(bool inCharField) = 0;
    // The grid's caret move: moves the selection anchor of the grid and shows the caret.
    virtual void MoveCaretToCell(GridCell cell) = 0;
    virtual void SetCaretColumn(std::int32_t col) = 0;

    // Selection.
    virtual std::int32_t SelectionAnchor() const = 0;
    virtual std::int32_t SelectionLower() const = 0;
    virtual std::int32_t SelectionUpper() const = 0;
    virtual void SetSelectionFields(std::int32_t anchor, std::int32_t lower,
                                    std::int32_t upper) = 0;

    // View state (setters validate and may raise EHexEditor).
    virtual bool IsModified() const = 0;
    virtual void SetIsModified(bool modified) = 0;
    virtual bool InsertMode() const = 0;
    virtual void SetInsertMode(bool insertMode) = 0;
    virtual HexTranslationKind Translation() const = 0;
    virtual void SetTranslation(HexTranslationKind kind) = 0;
    // Stores the translation without the unicode check or a repaint.
    virtual void SetTranslationField(HexTranslationKind kind) = 0;
    virtual bool UnicodeChars() const = 0;
    virtual void SetUnicodeChars(bool unicode) = 0;
    virtual bool UnicodeBigEndian() const = 0;
    virtual void SetUnicodeBigEndian(bool bigEndian) = 0;
    virtual std::int32_t BytesPerUnit() const = 0;
    virtual void SetBytesPerUnit(std::int32_t bytesPerUnit) = 0;

    // Layout and repaint.
    virtual void UpdateGridSize() = 0;
    virtual void InvalidateRange(std::int32_t from, std::int32_t to) = 0;
    virtual void Invalidate() = 0;
    virtual void NotifyChange() = 0;
};

} // namespace quillon
