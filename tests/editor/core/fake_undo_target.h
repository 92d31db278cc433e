#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/hex_error.h"
#include "editor/core/undo_target.h"

namespace quillon::testing {

// The editor's map of changed bytes: a bit list that may be shorter than the document (bits beyond
// it read as unchanged); a mark made in insert mode first clears the whole map.
class ChangeBits {
public:
    bool IsSet(std::int32_t index) const {
        return index >= 0 && static_cast<std::size_t>(index) < bits_.size() &&
               bits_[static_cast<std::size_t>(index)];
    }
    void Mark(std::int32_t index, bool value, bool insertMode) {
        if (insertMode)
            bits_.clear();
        const auto at = static_cast<std::size_t>(index);
        if (value) {
            if (bits_.size() <= at)
                bits_.resize(at + 1);
            bits_[at] = true;
        } else if (at < bits_.size()) {
            bits_[at] = false;
        }
    }
    // Drops the marks from `position` on, when the map holds that many.
    void TrimAt(std::int32_t position) {
        if (bits_.size() >= static_cast<std::size_t>(position))
            bits_.resize(static_cast<std::size_t>(position));
    }
    void CutTo(std::size_t length) {
        if (bits_.size() > length)
            bits_.resize(length);
    }
    void Clear() { bits_.clear(); }

private:
    std::vector<bool> bits_;
};

// A plain editor for the undo storage: bytes, change bits, bookmarks, a caret on a grid of 16
// bytes per row (hex digits in columns 2..33, characters in 35..50, first data row 2), and a
// log of the view setters. A setter named in `refusing` raises instead of storing.
class FakeUndoTarget : public UndoTarget {
public:
    static constexpr std::int32_t kBytesPerRow = 16;
    static constexpr std::int32_t kFirstCharCol = 35;

    std::vector<std::uint8_t> bytes;
    ChangeBits changed;
    Bookmarks bookmarks{};
    GridCell caret{2, 2};
    bool inCharField = false;
    std::int32_t anchor = -1, lower = -1, upper = -1;
    bool modified = false;
    bool insertMode = false;
    HexTranslationKind translation = HexTranslationKind::tkAsIs;
    bool unicode = false;
    bool bigEndian = false;
    std::int32_t bytesPerUnit = 1;
    std::set<std::string> refusing;
    std::vector<std::string> setterLog;
    int notifyChangeCount = 0;
    int bookmarkNotifyCount = 0;

    explicit FakeUndoTarget(std::vector<std::uint8_t> initial = {}) : bytes(std::move(initial)) {}

    void PlaceCaret(std::int32_t position, bool charField = false, bool lowNibble = false) {
        inCharField = charField;
        caret = PositionToCell(position, charField);
        if (lowNibble)
            ++caret.col;
    }
    void Select(std::int32_t a, std::int32_t l, std::int32_t u) { SetSelectionFields(a, l, u); }

    std::int32_t DataLength() const override { return static_cast<std::int32_t>(bytes.size()); }
    void GetBytes(void* buffer, std::int32_t index, std::int32_t count) const override {
        Check(index, count);
        std::memcpy(buffer, bytes.data() + index, static_cast<std::size_t>(count));
    }
    std::uint8_t ByteAt(std::int32_t index) const override { return bytes.at(index); }
    void SetByteAt(std::int32_t index, std::uint8_t value) override { bytes.at(index) = value; }
    void PutBytes(const void* buffer, std::int32_t index, std::int32_t count) override {
        Check(index, count);
        std::memcpy(bytes.data() + index, buffer, static_cast<std::size_t>(count));
    }
    void InsertRaw(const void* buffer, std::int32_t size, std::int32_t position) override {
        Check(position, 0);
        if (bytes.empty())
            changed.Clear();
        const auto* source = static_cast<const std::uint8_t*>(buffer);
        bytes.insert(bytes.begin() + position, source, source + size);
    }
    void AppendRaw(const void* buffer, std::int32_t size) override {
        InsertRaw(buffer, size, DataLength());
    }
    void DeleteRaw(std::int32_t from, std::int32_t to, std::int32_t, std::int32_t) override {
        Check(from, to - from);
        bytes.erase(bytes.begin() + from, bytes.begin() + to);
        UpdateGridSize();
        anchor = lower = upper = -1;
    }
    bool ShiftInNibble(std::int32_t position, bool highNibble) override {
        if (bytes.empty())
            return false;
        const std::uint8_t old = bytes.at(position);
        const std::uint8_t last = bytes.back();
        const auto shifted = ShiftedRight(position);
        std::copy(shifted.begin(), shifted.end(), bytes.begin() + position);
        bytes[position] = highNibble ? old >> 4 : static_cast<std::uint8_t>((old >> 4) << 4);
        bytes.push_back(static_cast<std::uint8_t>(last << 4));
        return true;
    }
    bool ShiftOutNibble(std::int32_t position, bool highNibble) override {
        if (bytes.empty())
            return false;
        const std::uint8_t old = bytes.at(position);
        const auto shifted = ShiftedRight(position);
        std::copy(shifted.begin() + 1, shifted.end(), bytes.begin() + position);
        if (!highNibble)
            bytes[position] = static_cast<std::uint8_t>((bytes[position] & 0x0F) | (old & 0xF0));
        bytes.back() = static_cast<std::uint8_t>(bytes.back() << 4);
        return true;
    }
    void SetDataSize(std::int32_t size) override { bytes.resize(static_cast<std::size_t>(size)); }
    void WriteAt(const void* buffer, std::int32_t position, std::int32_t count) override {
        if (std::int64_t{position} + count > DataLength())
            throw EHexEditor("Data position/length out of data bounds");
        PutBytes(buffer, position, count);
    }

    bool IsChanged(std::int32_t index) const override {
        return !insertMode && changed.IsSet(index);
    }
    void MarkChanged(std::int32_t index, bool value) override {
        changed.Mark(index, value, insertMode);
    }
    void TrimChangedBits(std::int32_t position) override { changed.TrimAt(position); }

    const Bookmarks& GetBookmarks() const override { return bookmarks; }
    void SetBookmarks(const Bookmarks& value) override { bookmarks = value; }
    void ShiftBookmarks(std::int32_t from, std::int32_t delta, std::int32_t dataLength) override {
        if (from < 0)
            return;
        bool touched = false;
        for (Bookmark& bookmark : bookmarks) {
            if (bookmark.position < from)
                continue;
            bookmark.position += delta;
            if (bookmark.position > dataLength)
                bookmark.position = -1;
            touched = true;
        }
        if (touched)
            NotifyBookmarkChanged();
    }
    void NotifyBookmarkChanged() override { ++bookmarkNotifyCount; }

    std::int32_t CellToPosition(std::int32_t col, std::int32_t row) override {
        const std::int32_t column = col >= kFirstCharCol ? col - kFirstCharCol : (col - 2) / 2;
        return (row - 2) * kBytesPerRow + column;
    }
    GridCell PositionToCell(std::int32_t position, bool charField) const override {
        const std::int32_t column = position % kBytesPerRow;
        return {charField ? kFirstCharCol + column : 2 + 2 * column, 2 + position / kBytesPerRow};
    }
    GridCell CaretCell() const override { return caret; }
    bool CaretInCharField() const override { return inCharField; }
    void SetCaretInCharField(bool value) override {
        Log("SetCaretInCharField", value);
        inCharField = value;
    }
    void MoveCaretToCell(GridCell cell) override {
        caret = cell;
        inCharField = cell.col >= kFirstCharCol;
    }
    void SetCaretColumn(std::int32_t col) override { caret.col = col; }

    std::int32_t SelectionAnchor() const override { return anchor; }
    std::int32_t SelectionLower() const override { return lower; }
    std::int32_t SelectionUpper() const override { return upper; }
    void SetSelectionFields(std::int32_t a, std::int32_t l, std::int32_t u) override {
        const auto clamp = [this](std::int32_t v) {
            return std::clamp(v, -1, DataLength() - 1);
        };
        anchor = clamp(a);
        lower = clamp(l);
        upper = clamp(u);
    }

    bool IsModified() const override { return modified; }
    void SetIsModified(bool value) override { modified = value; }
    bool InsertMode() const override { return insertMode; }
    void SetInsertMode(bool value) override {
        Log("SetInsertMode", value);
        if (value != insertMode)
            changed.Clear();
        insertMode = value;
    }
    HexTranslationKind Translation() const override { return translation; }
    void SetTranslation(HexTranslationKind kind) override {
        Log("SetTranslation", static_cast<int>(kind));
        translation = kind;
    }
    void SetTranslationField(HexTranslationKind kind) override { translation = kind; }
    bool UnicodeChars() const override { return unicode; }
    void SetUnicodeChars(bool value) override {
        Log("SetUnicodeChars", value);
        unicode = value;
    }
    bool UnicodeBigEndian() const override { return bigEndian; }
    void SetUnicodeBigEndian(bool value) override {
        Log("SetUnicodeBigEndian", value);
        bigEndian = value;
    }
    std::int32_t BytesPerUnit() const override { return bytesPerUnit; }
    void SetBytesPerUnit(std::int32_t value) override {
        Log("SetBytesPerUnit", value);
        bytesPerUnit = value;
    }

    void UpdateGridSize() override { changed.CutTo(bytes.size()); }
    void InvalidateRange(std::int32_t, std::int32_t) override {}
    void Invalidate() override {}
    void NotifyChange() override { ++notifyChangeCount; }

private:
    void Check(std::int32_t index, std::int32_t count) const {
        if (index < 0 || count < 0 || std::int64_t{index} + count > DataLength())
            throw EHexEditor("Data position/length out of data bounds");
    }
    void Log(const std::string& name, int value) {
        if (refusing.count(name))
            throw EHexEditor(name + " refused");
        setterLog.push_back(name + "(" + std::to_string(value) + ")");
    }
    // The bytes from `position` on, moved right by a half byte; the last low half drops out.
    std::vector<std::uint8_t> ShiftedRight(std::int32_t position) const {
        std::vector<std::uint8_t> shifted;
        std::uint8_t carry = 0;
        for (std::size_t i = static_cast<std::size_t>(position); i < bytes.size(); ++i) {
            shifted.push_back(static_cast<std::uint8_t>((bytes[i] >> 4) | (carry << 4)));
            carry = bytes[i] & 0x0F;
        }
        return shifted;
    }
};

// "22 00 00 00" -> {0x22, 0, 0, 0}
inline std::vector<std::uint8_t> Hex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        bytes.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

inline std::int32_t I32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes.at(offset + i)) << (8 * i);
    return static_cast<std::int32_t>(value);
}

inline std::vector<std::uint8_t> Iota(std::size_t size, std::uint8_t first = 0) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

} // namespace quillon::testing
