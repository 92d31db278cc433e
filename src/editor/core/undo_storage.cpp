#include "editor/core/undo_storage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string_view>

#include "editor/core/hex_error.h"

namespace quillon {
namespace {

// Offsets inside a record; the redo record uses the same offsets 4..28.
constexpr std::int32_t kOffFlags = 4;
constexpr std::int32_t kOffCaret = 8;
constexpr std::int32_t kOffPosition = 12;
constexpr std::int32_t kOffCount = 16;
constexpr std::int32_t kOffReplaceCount = 20;
constexpr std::int32_t kOffTranslation = 24;
constexpr std::int32_t kOffBytesPerUnit = 25;
constexpr std::int32_t kOffData = 29;
// Offsets 0..28 plus the first data byte: a shorter stream holds no usable record.
constexpr std::int32_t kFixedPart = 30;
// The fixed part, one data byte and the trailing length.
constexpr std::int32_t kSmallestRecord = 34;
constexpr std::int32_t kSelectionBlock = 12;
constexpr std::int32_t kBookmarkBlock = 80;
// Redo block: bookmarks and selection behind the data.
constexpr std::int32_t kRedoTail = kBookmarkBlock + kSelectionBlock;
constexpr std::size_t kDescriptionInData = 255;
constexpr std::int64_t kMaxStream = std::numeric_limits<std::int32_t>::max();

constexpr std::uint32_t rfByte0Marked = 0x800;
constexpr std::uint32_t rfByte1Marked = 0x1000;
constexpr std::uint32_t rfModified = 0x2000;
constexpr std::uint32_t rfLowNibble = 0x4000;
constexpr std::uint32_t rfCharField = 0x8000;
constexpr std::uint32_t rfSelection = 0x10000;
constexpr std::uint32_t rfInsertMode = 0x20000;
constexpr std::uint32_t rfUnicode = 0x40000;
constexpr std::uint32_t rfUnicodeBigEndian = 0x80000;
constexpr std::uint32_t rfDescription = 0x100000;

constexpr int kNoKind = 11;

enum Kind : int {
    kChangeBytes = static_cast<int>(HexUndoKind::ukChangeBytes),
    kRemoveData = static_cast<int>(HexUndoKind::ukRemoveData),
    kInsertBuffer = static_cast<int>(HexUndoKind::ukInsertBuffer),
    kReplace = static_cast<int>(HexUndoKind::ukReplace),
    kAppendBuffer = static_cast<int>(HexUndoKind::ukAppendBuffer),
    kInsertNibble = static_cast<int>(HexUndoKind::ukInsertNibble),
    kDeleteNibble = static_cast<int>(HexUndoKind::ukDeleteNibble),
    kConvert = static_cast<int>(HexUndoKind::ukConvert),
    kCursorMove = static_cast<int>(HexUndoKind::ukCursorMove),
    kGroup = static_cast<int>(HexUndoKind::ukGroup),
    kAllData = static_cast<int>(HexUndoKind::ukAllData),
};

void PutI32(std::uint8_t* at, std::int64_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t GetI32(const std::uint8_t* at) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

std::int32_t Clamp32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t KindBit(int kind) {
    return 1u << kind;
}

int KindOf(std::uint32_t flags) {
    for (int kind = 0; kind < kNoKind; ++kind)
        if (flags & KindBit(kind))
            return kind;
    return kNoKind;
}

bool IsGroupKind(int kind) {
    return kind == kReplace || kind == kGroup;
}

std::string DefaultDescription(int kind) {
    static constexpr std::array<std::string_view, kNoKind> texts{
        "Change Byte(s)",  "Remove Data",           "Insert Buffer", "Replace",
        "Append Buffer",   "Insert Nibble",         "Delete Nibble", "Convert",
        "Cursor movement", "Multiple Modification", "All data saved"};
    return kind < kNoKind ? std::string(texts[kind]) : std::string();
}

// At most 255 bytes of the description, never ending inside a UTF-8 character.
std::string_view DescriptionForData(const std::string& description) {
    std::size_t length = std::min(description.size(), kDescriptionInData);
    if (length < description.size())
        while (length > 0 && (static_cast<std::uint8_t>(description[length]) & 0xC0) == 0x80)
            --length;
    return {description.data(), length};
}

// A view setter that refuses the old value must not stop the rest of the restore.
template <typename Step> void BestEffort(Step&& step) {
    try {
        step();
    } catch (const EHexEditor&) {
    }
}

bool Inside(std::int64_t index, std::int64_t length) {
    return index >= 0 && index < length;
}

bool RangeInside(std::int64_t position, std::int64_t count, std::int64_t length) {
    return position >= 0 && count >= 0 && position + count <= length;
}

// Offsets 4..28 of a record, shared by undo and redo records.
struct FixedPart {
    std::uint32_t flags = 0;
    std::int32_t caretPosition = 0;
    std::int32_t position = 0;
    std::int32_t count = 0;
    std::int32_t replaceCount = 0;
    HexTranslationKind translation = HexTranslationKind::tkAsIs;
    std::int32_t bytesPerUnit = 1;

    int Kind() const { return KindOf(flags); }
    bool Has(std::uint32_t flag) const { return (flags & flag) != 0; }
};

FixedPart CaptureFixedPart(UndoTarget& editor, int kind, std::int32_t position, std::int32_t count,
                           std::int32_t replaceCount) {
    FixedPart part;
    const GridCell caret = editor.CaretCell();
    const bool inCharField = editor.CaretInCharField();
    part.flags = KindBit(kind);
    part.caretPosition = editor.CellToPosition(caret.col, caret.row);
    if (!inCharField && editor.PositionToCell(part.caretPosition, false).col != caret.col)
        part.flags |= rfLowNibble;
    if (inCharField)
        part.flags |= rfCharField;
    if (editor.InsertMode())
        part.flags |= rfInsertMode;
    if (editor.UnicodeChars())
        part.flags |= rfUnicode;
    if (editor.UnicodeBigEndian())
        part.flags |= rfUnicodeBigEndian;
    if (editor.IsModified())
        part.flags |= rfModified;
    part.position = position;
    part.count = count;
    part.replaceCount = replaceCount;
    part.translation = editor.Translation();
    part.bytesPerUnit = editor.BytesPerUnit();
    return part;
}

void WriteFixedPart(std::uint8_t* record, const FixedPart& part) {
    PutI32(record + kOffFlags, part.flags);
    PutI32(record + kOffCaret, part.caretPosition);
    PutI32(record + kOffPosition, part.position);
    PutI32(record + kOffCount, part.count);
    PutI32(record + kOffReplaceCount, part.replaceCount);
    record[kOffTranslation] = static_cast<std::uint8_t>(part.translation);
    PutI32(record + kOffBytesPerUnit, part.bytesPerUnit);
}

FixedPart ReadFixedPart(const std::uint8_t* record) {
    FixedPart part;
    part.flags = static_cast<std::uint32_t>(GetI32(record + kOffFlags));
    part.caretPosition = GetI32(record + kOffCaret);
    part.position = GetI32(record + kOffPosition);
    part.count = GetI32(record + kOffCount);
    part.replaceCount = GetI32(record + kOffReplaceCount);
    part.translation = static_cast<HexTranslationKind>(record[kOffTranslation]);
    part.bytesPerUnit = GetI32(record + kOffBytesPerUnit);
    return part;
}

// Copies the part of position..position+count-1 that lies inside the document; the rest of
// `dest` keeps its zeros.
void ReadDocument(const UndoTarget& editor, std::uint8_t* dest, std::int64_t position,
                  std::int64_t count) {
    const std::int64_t from = std::max<std::int64_t>(position, 0);
    const std::int64_t to = std::min<std::int64_t>(position + count, editor.DataLength());
    if (from < to)
        editor.GetBytes(dest + (from - position), static_cast<std::int32_t>(from),
                        static_cast<std::int32_t>(to - from));
}

bool IsChangedInside(const UndoTarget& editor, std::int64_t index) {
    return Inside(index, editor.DataLength()) && editor.IsChanged(static_cast<std::int32_t>(index));
}

void MarkChangedInside(UndoTarget& editor, std::int64_t index, bool value) {
    if (Inside(index, editor.DataLength()))
        editor.MarkChanged(static_cast<std::int32_t>(index), value);
}

std::uint32_t ChangeMarks(const UndoTarget& editor, std::int32_t position, std::int32_t count) {
    std::uint32_t marks = 0;
    if (IsChangedInside(editor, position))
        marks |= rfByte0Marked;
    if (count == 2 && IsChangedInside(editor, std::int64_t{position} + 1))
        marks |= rfByte1Marked;
    return marks;
}

void RestoreMarks(UndoTarget& editor, std::uint32_t flags, std::int32_t position, bool secondByte) {
    MarkChangedInside(editor, position, (flags & rfByte0Marked) != 0);
    if (secondByte)
        MarkChangedInside(editor, std::int64_t{position} + 1, (flags & rfByte1Marked) != 0);
}

void RestoreCaret(UndoTarget& editor, const FixedPart& part) {
    const bool inCharField = part.Has(rfCharField);
    GridCell cell = editor.PositionToCell(part.caretPosition, inCharField);
    if (!inCharField && editor.DataLength() > 0 && part.Has(rfLowNibble))
        ++cell.col;
    editor.MoveCaretToCell(cell);
}

// An undo that shortens the document (an append taken back) must not leave a selection that
// reaches past its end.
void DropSelectionBeyondEnd(UndoTarget& editor) {
    const std::int32_t length = editor.DataLength();
    if (editor.SelectionAnchor() >= length || editor.SelectionUpper() >= length)
        editor.SetSelectionFields(-1, -1, -1);
}

void RestoreTranslationAndUnits(UndoTarget& editor, const FixedPart& part) {
    BestEffort([&] { editor.SetTranslation(part.translation); });
    BestEffort([&] { editor.SetTranslationField(part.translation); });
    BestEffort([&] { editor.SetUnicodeChars(part.Has(rfUnicode)); });
    BestEffort([&] { editor.SetUnicodeBigEndian(part.Has(rfUnicodeBigEndian)); });
    BestEffort([&] { editor.SetBytesPerUnit(part.bytesPerUnit); });
}

} // namespace

// An undo record as read from the stack (or from a copy of it).
struct HexUndoStorage::RecordHeader {
    std::int32_t start = 0; // offset of the record in the stream
    std::int32_t length = 0;
    FixedPart fixed;
    int kind = kNoKind;
    std::int32_t dataSize = 0;
    std::string description;
    std::int32_t selectionLower = -1;
    std::int32_t selectionUpper = -1;
    std::int32_t selectionAnchor = -1;

    // Rejects a record whose lengths contradict each other.
    static std::optional<RecordHeader> Parse(const std::uint8_t* record, std::int32_t length) {
        if (length < kSmallestRecord || GetI32(record) != length ||
            GetI32(record + length - 4) != length)
            return std::nullopt;
        RecordHeader header;
        header.length = length;
        header.fixed = ReadFixedPart(record);
        header.kind = header.fixed.Kind();
        std::int64_t trailer = 4;
        if (header.fixed.Has(rfSelection)) {
            trailer += kSelectionBlock;
            header.selectionLower = GetI32(record + length - 16);
            header.selectionUpper = GetI32(record + length - 12);
            header.selectionAnchor = GetI32(record + length - 8);
        }
        if (header.fixed.Has(rfDescription)) {
            if (length < kSmallestRecord + trailer)
                return std::nullopt;
            const std::int32_t descriptionLength = GetI32(record + length - trailer - 4);
            trailer += 4;
            if (descriptionLength < 0 || descriptionLength > length - kOffData - 1 - trailer)
                return std::nullopt;
            const std::uint8_t* text = record + length - trailer - descriptionLength;
            header.description.assign(reinterpret_cast<const char*>(text),
                                      static_cast<std::size_t>(descriptionLength));
            trailer += descriptionLength;
        }
        header.dataSize = static_cast<std::int32_t>(length - kOffData - trailer);
        if (header.dataSize < 1)
            return std::nullopt;
        return header;
    }
};

// The single redo record: fixed part, data, bookmarks, selection.
struct HexUndoStorage::RedoHeader {
    FixedPart fixed;
    int kind = kNoKind;
    const std::uint8_t* data = nullptr;
    std::int32_t dataSize = 0;
    Bookmarks bookmarks{};
    std::int32_t selectionLower = -1;
    std::int32_t selectionUpper = -1;
    std::int32_t selectionAnchor = -1;

    static std::optional<RedoHeader> Parse(const std::vector<std::uint8_t>& block) {
        if (block.size() < static_cast<std::size_t>(kFixedPart + kRedoTail))
            return std::nullopt;
        const std::int32_t tailOffset = GetI32(block.data());
        if (tailOffset < kFixedPart || block.size() != std::size_t(tailOffset) + kRedoTail)
            return std::nullopt;
        RedoHeader header;
        header.fixed = ReadFixedPart(block.data());
        header.kind = header.fixed.Kind();
        header.data = block.data() + kOffData;
        header.dataSize = tailOffset - kOffData;
        const std::uint8_t* tail = block.data() + tailOffset;
        for (Bookmark& bookmark : header.bookmarks) {
            bookmark.position = GetI32(tail);
            bookmark.inCharField = tail[4] != 0;
            tail += 8;
        }
        header.selectionLower = GetI32(tail);
        header.selectionUpper = GetI32(tail + 4);
        header.selectionAnchor = GetI32(tail + 8);
        return header;
    }
};

HexUndoStorage::HexUndoStorage(UndoTarget& editor) : editor_(editor) {
    Clear(true);
}

// ---- the stream -------------------------------------------------------------------------------

std::int32_t HexUndoStorage::StreamSize() const {
    return static_cast<std::int32_t>(buffer_.size() - start_);
}

const std::uint8_t* HexUndoStorage::StreamData() const {
    return buffer_.data() + start_;
}

std::uint8_t* HexUndoStorage::StreamData() {
    return buffer_.data() + start_;
}

void HexUndoStorage::SetStreamSize(std::int32_t size) {
    if (size <= 0) {
        buffer_.clear();
        start_ = 0;
    } else {
        buffer_.resize(start_ + static_cast<std::size_t>(size));
    }
    if (size < kFixedPart)
        recordCount_ = 0;
}

void HexUndoStorage::AppendToStream(const std::vector<std::uint8_t>& bytes) {
    if (static_cast<std::int64_t>(bytes.size()) > kMaxStream - StreamSize())
        throw EHexEditor("Cannot update undo storage");
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

void HexUndoStorage::DropOldest() {
    const std::int32_t size = StreamSize();
    const std::int32_t length = size >= 4 ? GetI32(StreamData()) : 0;
    if (length < kFixedPart || length > size) {
        SetStreamSize(0);
        return;
    }
    start_ += static_cast<std::size_t>(length);
    --recordCount_;
    if (StreamSize() < kFixedPart)
        recordCount_ = 0;
    if (StreamSize() == 0) {
        SetStreamSize(0);
    } else if (start_ > buffer_.size() - start_) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
}

void HexUndoStorage::TrimToBudget() {
    while (maxUndo_ > 0 && recordCount_ > 0 && StreamSize() > maxUndo_)
        DropOldest();
}

std::vector<std::uint8_t> HexUndoStorage::StackBytes() const {
    return {StreamData(), StreamData() + StreamSize()};
}

// ---- reading and removing the newest record ---------------------------------------------------

std::optional<HexUndoStorage::RecordHeader> HexUndoStorage::RecordEndingAt(std::int32_t end) const {
    if (end < kFixedPart)
        return std::nullopt;
    const std::int32_t length = GetI32(StreamData() + end - 4);
    if (length < kSmallestRecord || length > end)
        return std::nullopt;
    auto header = RecordHeader::Parse(StreamData() + end - length, length);
    if (header)
        header->start = end - length;
    return header;
}

std::optional<HexUndoStorage::RecordHeader> HexUndoStorage::NewestHeader() const {
    return RecordEndingAt(StreamSize());
}

std::vector<std::uint8_t> HexUndoStorage::CopyNewest(const RecordHeader& header) const {
    const std::uint8_t* record = StreamData() + header.start;
    return {record, record + header.length};
}

void HexUndoStorage::DiscardNewest() {
    const std::int32_t size = StreamSize();
    const std::int32_t length = size >= 4 ? GetI32(StreamData() + size - 4) : size;
    --recordCount_;
    SetStreamSize(std::max(0, size - std::clamp(length, 0, size)));
    if (StreamSize() < kFixedPart) {
        Clear(false);
        return;
    }
    DescribeNewest();
}

void HexUndoStorage::DescribeNewest() {
    const auto header = NewestHeader();
    if (!header) {
        currentDescription_.clear();
        return;
    }
    std::string description = header->description;
    if (header->kind == kGroup) {
        const std::uint8_t* data = StreamData() + header->start + kOffData;
        const std::int32_t length = std::min<std::int32_t>(data[0], header->dataSize - 1);
        description.assign(reinterpret_cast<const char*>(data + 1),
                           static_cast<std::size_t>(length));
    }
    currentDescription_ = description.empty() ? DefaultDescription(header->kind) : description;
}

void HexUndoStorage::SaveUndoForRedo(std::int32_t from, std::int32_t records,
                                     RedoSlot& slot) const {
    slot.savedUndo.assign(StreamData() + from, StreamData() + StreamSize());
    slot.savedUndoCount = records;
    slot.savedUndoDescription = currentDescription_;
}

void HexUndoStorage::PopNewest() {
    ClearRedo();
    const auto header = NewestHeader();
    if (!header) {
        Clear(false);
        return;
    }
    SaveUndoForRedo(header->start, 1, redo_);
    DiscardNewest();
}

// ---- simple operations ------------------------------------------------------------------------

std::int32_t HexUndoStorage::Suspend() {
    return ++suspendCount_;
}

std::int32_t HexUndoStorage::Resume() {
    if (suspendCount_ > 0)
        --suspendCount_;
    return suspendCount_;
}

bool HexUndoStorage::CanUndo() const {
    return recordCount_ > 0 && suspendCount_ < 1 && StreamSize() > 0;
}

bool HexUndoStorage::CanRedo() const {
    return !redo_.record.empty();
}

void HexUndoStorage::Clear(bool alsoRedo) {
    SetStreamSize(0);
    recordCount_ = 0;
    suspendCount_ = 0;
    currentDescription_.clear();
    if (alsoRedo)
        ClearRedo();
}

void HexUndoStorage::ClearRedo() {
    redo_ = RedoSlot{};
}

void HexUndoStorage::AttachSelection(std::int32_t start, std::int32_t count) {
    if (!CanUndo())
        return;
    const auto header = NewestHeader();
    if (!header)
        return;
    if (!header->fixed.Has(rfSelection)) {
        AppendToStream(std::vector<std::uint8_t>(kSelectionBlock));
        std::uint8_t* record = StreamData() + header->start;
        const std::int32_t length = header->length + kSelectionBlock;
        PutI32(record + kOffFlags, header->fixed.flags | rfSelection);
        PutI32(record, length);
        PutI32(record + length - 4, length);
    }
    PutI32(StreamData() + header->start + kOffCaret, start);
    std::uint8_t* end = StreamData() + StreamSize();
    PutI32(end - 16, start);
    PutI32(end - 12, Clamp32(std::int64_t{start} + count - 1));
    PutI32(end - 8, start);
}

// ---- recording --------------------------------------------------------------------------------

void HexUndoStorage::AddRecord(HexUndoKind kind, std::int32_t position, std::int32_t count,
                               std::int32_t replaceCount, const std::string& description) {
    if (suspendCount_ > 0)
        return;
    const int kindNumber = static_cast<int>(kind);
    if (kindNumber >= kNoKind)
        throw EHexEditor("Cannot update undo storage");
    const auto record = BuildRecord(kindNumber, position, count, replaceCount, description);
    ClearRedo();
    TrimToBudget();
    AppendToStream(record);
    ++recordCount_;
    currentDescription_ = description.empty() ? DefaultDescription(kindNumber) : description;
    AdjustBookmarksForRecord(kindNumber, position, count, replaceCount);
    if (kindNumber == kCursorMove)
        AttachSelection(position, count);
}

std::vector<std::uint8_t> HexUndoStorage::BuildRecord(int kind, std::int32_t position,
                                                      std::int32_t count, std::int32_t replaceCount,
                                                      const std::string& description) const {
    const std::int32_t length = editor_.DataLength();
    if (kind == kAllData)
        count = length;
    const std::string_view dataText = DescriptionForData(description);
    std::int64_t dataSize = 1;
    if (kind == kChangeBytes || kind == kRemoveData || kind == kConvert || kind == kAllData)
        dataSize = std::max(1, count);
    else if (kind == kGroup)
        dataSize = 1 + static_cast<std::int64_t>(dataText.size());
    const bool hasDescription = !description.empty();
    const bool hasSelection = editor_.SelectionAnchor() >= 0;
    const std::int64_t total = kOffData + dataSize + 4 +
                               (hasDescription ? std::int64_t(description.size()) + 4 : 0) +
                               (hasSelection ? kSelectionBlock : 0);
    if (total > kMaxStream)
        throw EHexEditor("Cannot update undo storage");

    std::vector<std::uint8_t> record(static_cast<std::size_t>(total));
    FixedPart part = CaptureFixedPart(editor_, kind, position, count, replaceCount);
    if (hasSelection)
        part.flags |= rfSelection;
    if (hasDescription)
        part.flags |= rfDescription;
    std::uint8_t* data = record.data() + kOffData;
    switch (kind) {
    case kChangeBytes:
        ReadDocument(editor_, data, position, count);
        part.flags |= ChangeMarks(editor_, position, count);
        break;
    case kRemoveData:
    case kConvert:
        ReadDocument(editor_, data, position, count);
        break;
    case kInsertNibble:
    case kDeleteNibble:
        ReadDocument(editor_, data, position, 1);
        part.flags |= ChangeMarks(editor_, position, 1);
        break;
    case kCursorMove:
        part.caretPosition = position;
        break;
    case kGroup:
        data[0] = static_cast<std::uint8_t>(dataText.size());
        std::memcpy(data + 1, dataText.data(), dataText.size());
        break;
    case kAllData:
        ReadDocument(editor_, data, 0, length);
        break;
    default:
        break;
    }
    WriteFixedPart(record.data(), part);

    std::uint8_t* trailer = data + dataSize;
    if (hasDescription) {
        std::memcpy(trailer, description.data(), description.size());
        trailer += description.size();
        PutI32(trailer, static_cast<std::int64_t>(description.size()));
        trailer += 4;
    }
    if (hasSelection) {
        PutI32(trailer, editor_.SelectionLower());
        PutI32(trailer + 4, editor_.SelectionUpper());
        PutI32(trailer + 8, editor_.SelectionAnchor());
        trailer += kSelectionBlock;
    }
    PutI32(trailer, total);
    PutI32(record.data(), total);
    return record;
}

void HexUndoStorage::AdjustBookmarksForRecord(int kind, std::int32_t position, std::int32_t count,
                                              std::int32_t replaceCount) {
    const std::int64_t length = editor_.DataLength();
    switch (kind) {
    case kRemoveData:
        editor_.ShiftBookmarks(Clamp32(std::int64_t{position} + count),
                               Clamp32(-std::int64_t{count}), Clamp32(length));
        break;
    case kInsertBuffer:
        // The bytes are not inserted yet: check against the length they will give.
        editor_.ShiftBookmarks(position, count, Clamp32(length + count));
        break;
    case kReplace:
        editor_.ShiftBookmarks(Clamp32(std::int64_t{position} + count),
                               Clamp32(std::int64_t{count} - replaceCount), Clamp32(length));
        break;
    default:
        break;
    }
}

// ---- undo -------------------------------------------------------------------------------------

bool HexUndoStorage::Undo() {
    if (!CanUndo()) {
        Clear(false);
        return false;
    }
    const auto header = NewestHeader();
    if (!header) {
        Clear(true);
        return false;
    }
    ClearRedo();
    return IsGroupKind(header->kind) ? UndoGroup(*header) : UndoSingle(*header);
}

bool HexUndoStorage::RecordFits(const RecordHeader& header) const {
    const std::int64_t length = editor_.DataLength();
    const std::int64_t position = header.fixed.position;
    const std::int64_t count = header.fixed.count;
    switch (header.kind) {
    case kChangeBytes:
    case kConvert:
        return RangeInside(position, count, length) && count <= header.dataSize;
    case kRemoveData:
        return RangeInside(position, 0, length) && count >= 0 && count <= header.dataSize;
    case kInsertBuffer:
        return RangeInside(position, count, length);
    case kAppendBuffer:
        return RangeInside(position, 0, length);
    case kInsertNibble:
    case kDeleteNibble:
        return Inside(position, length);
    case kCursorMove:
    case kReplace:
    case kGroup:
        return true;
    case kAllData:
        return count >= 0 && count <= header.dataSize;
    default:
        return false;
    }
}

bool HexUndoStorage::UndoSingle(const RecordHeader& header) {
    if (!RecordFits(header)) {
        DiscardNewest();
        editor_.NotifyChange();
        return false;
    }
    RedoSlot slot;
    slot.record = MakeRedoRecord(header);
    SaveUndoForRedo(header.start, 1, slot);
    ApplyUndoData(header, slot.savedUndo.data() + kOffData);
    DiscardNewest();
    redo_ = std::move(slot);
    RestoreAfterUndo(header);
    InvalidateAfterUndo(header);
    return true;
}

// Undoes a group and the groups nested in it newest first, as many members as the stack still
// holds. Only a replace group of byte changes can be redone, and then as a whole.
bool HexUndoStorage::UndoGroup(const RecordHeader& header) {
    const auto memberCount = [](const RecordHeader& group) {
        return std::max<std::int64_t>(0, group.kind == kReplace ? group.fixed.replaceCount
                                                                : group.fixed.count);
    };
    RedoSlot slot;
    bool redoable = header.kind == kReplace && PlanGroupRedo(header, slot);
    DiscardNewest();
    std::int64_t pending = memberCount(header);
    while (pending > 0) {
        const auto member = CanUndo() ? NewestHeader() : std::nullopt;
        if (!member) {
            Clear(false);
            break;
        }
        --pending;
        if (IsGroupKind(member->kind)) {
            pending += memberCount(*member);
            DiscardNewest();
            continue;
        }
        if (!RecordFits(*member)) {
            redoable = false;
            DiscardNewest();
            continue;
        }
        if (redoable)
            AddGroupStep(*member, slot);
        const auto record = CopyNewest(*member);
        ApplyUndoData(*member, record.data() + kOffData);
        DiscardNewest();
        RestoreAfterUndo(*member);
        InvalidateAfterUndo(*member);
    }
    editor_.Invalidate();
    if (redoable) {
        redo_ = std::move(slot);
        editor_.NotifyChange();
    }
    return true;
}

bool HexUndoStorage::PlanGroupRedo(const RecordHeader& header, RedoSlot& slot) const {
    const std::int64_t members =
        std::min<std::int64_t>(header.fixed.replaceCount, std::int64_t{recordCount_} - 1);
    std::int32_t end = header.start;
    std::int32_t found = 0;
    for (; found < members && end >= kFixedPart; ++found) {
        const auto member = RecordEndingAt(end);
        if (!member || member->kind != kChangeBytes)
            return false;
        end = member->start;
    }
    slot.isGroup = true;
    slot.record = MakeRedoRecord(header);
    SaveUndoForRedo(end, found + 1, slot);
    return true;
}

void HexUndoStorage::AddGroupStep(const RecordHeader& member, RedoSlot& slot) const {
    const std::int32_t position = member.fixed.position;
    const std::int32_t count = member.fixed.count;
    slot.steps.push_back(
        {position, count, ChangeMarks(editor_, position, count), slot.stepData.size()});
    slot.stepData.resize(slot.stepData.size() + static_cast<std::size_t>(count));
    ReadDocument(editor_, slot.stepData.data() + slot.steps.back().dataOffset, position, count);
}

void HexUndoStorage::ApplyUndoData(const RecordHeader& header, const std::uint8_t* data) {
    const std::int32_t position = header.fixed.position;
    const std::int32_t count = header.fixed.count;
    switch (header.kind) {
    case kChangeBytes:
        editor_.PutBytes(data, position, count);
        RestoreMarks(editor_, header.fixed.flags, position, count == 2);
        break;
    case kRemoveData:
        editor_.InsertRaw(data, count, position);
        editor_.ShiftBookmarks(position, count, editor_.DataLength());
        editor_.TrimChangedBits(position);
        break;
    case kInsertBuffer:
        editor_.DeleteRaw(position, position + count, -1, 0);
        editor_.ShiftBookmarks(position, -count, editor_.DataLength());
        editor_.TrimChangedBits(position);
        break;
    case kAppendBuffer:
        editor_.SetCaretColumn(2);
        editor_.SetDataSize(position);
        editor_.UpdateGridSize();
        editor_.TrimChangedBits(position);
        break;
    case kInsertNibble:
    case kDeleteNibble:
        if (header.kind == kInsertNibble)
            editor_.ShiftOutNibble(position, false);
        else
            editor_.ShiftInNibble(position, false);
        editor_.SetByteAt(position, data[0]);
        RestoreMarks(editor_, header.fixed.flags, position, false);
        editor_.TrimChangedBits(position);
        editor_.SetDataSize(editor_.DataLength() - 1);
        editor_.UpdateGridSize();
        break;
    case kConvert:
        editor_.PutBytes(data, position, count);
        editor_.TrimChangedBits(position);
        break;
    case kAllData:
        editor_.SetDataSize(count);
        editor_.WriteAt(data, 0, count);
        editor_.UpdateGridSize();
        break;
    default:
        break;
    }
}

void HexUndoStorage::RestoreAfterUndo(const RecordHeader& header) {
    const FixedPart& part = header.fixed;
    BestEffort([&] { RestoreCaret(editor_, part); });
    BestEffort([&] { editor_.SetIsModified(part.Has(rfModified)); });
    BestEffort([&] { editor_.SetInsertMode(part.Has(rfInsertMode)); });
    if (part.Has(rfSelection))
        BestEffort([&] {
            editor_.SetSelectionFields(header.selectionAnchor, header.selectionLower,
                                       header.selectionUpper);
        });
    else
        DropSelectionBeyondEnd(editor_);
    RestoreTranslationAndUnits(editor_, part);
    editor_.Invalidate();
    editor_.NotifyChange();
}

void HexUndoStorage::InvalidateAfterUndo(const RecordHeader& header) {
    const std::int32_t position = header.fixed.position;
    if (header.kind == kChangeBytes)
        editor_.InvalidateRange(position, Clamp32(std::int64_t{position} + header.fixed.count - 1));
    else if (header.kind != kCursorMove && header.kind != kAllData)
        editor_.Invalidate();
}

std::vector<std::uint8_t> HexUndoStorage::MakeRedoRecord(const RecordHeader& header) const {
    const std::int64_t length = editor_.DataLength();
    const std::int32_t position = header.fixed.position;
    const std::int32_t count = header.fixed.count;
    std::int64_t extra = 0;
    switch (header.kind) {
    case kChangeBytes:
        extra = std::int64_t{count} - 1;
        break;
    case kInsertBuffer:
    case kReplace:
    case kConvert:
        extra = count;
        break;
    case kAppendBuffer:
        extra = length - position;
        break;
    case kInsertNibble:
    case kDeleteNibble:
    case kAllData:
        extra = length;
        break;
    default:
        break;
    }
    extra = std::max<std::int64_t>(extra, 0);
    std::vector<std::uint8_t> block(static_cast<std::size_t>(extra + kFixedPart + kRedoTail));
    PutI32(block.data(), kFixedPart + extra);

    FixedPart part =
        CaptureFixedPart(editor_, header.kind, position, count, header.fixed.replaceCount);
    std::uint8_t* data = block.data() + kOffData;
    switch (header.kind) {
    case kChangeBytes:
        part.flags |= ChangeMarks(editor_, position, count);
        ReadDocument(editor_, data, position, count);
        break;
    case kInsertBuffer:
    case kReplace:
    case kConvert:
        ReadDocument(editor_, data, position, count);
        break;
    case kAppendBuffer:
        ReadDocument(editor_, data, position, length - position);
        break;
    case kInsertNibble:
    case kDeleteNibble:
    case kAllData:
        part.count = static_cast<std::int32_t>(length);
        ReadDocument(editor_, data, 0, length);
        break;
    default:
        break;
    }
    WriteFixedPart(block.data(), part);

    std::uint8_t* tail = data + extra + 1;
    for (const Bookmark& bookmark : editor_.GetBookmarks()) {
        PutI32(tail, bookmark.position);
        tail[4] = bookmark.inCharField ? 1 : 0;
        tail += 8;
    }
    PutI32(tail, editor_.SelectionLower());
    PutI32(tail + 4, editor_.SelectionUpper());
    PutI32(tail + 8, editor_.SelectionAnchor());
    return block;
}

// ---- redo -------------------------------------------------------------------------------------

bool HexUndoStorage::Redo() {
    if (!CanRedo())
        return false;
    RedoSlot slot = std::move(redo_);
    ClearRedo();
    const auto header = RedoHeader::Parse(slot.record);
    if (!header || !RedoFits(*header, slot)) {
        editor_.NotifyChange();
        return false;
    }
    ApplyRedoData(*header, slot);
    AppendToStream(slot.savedUndo);
    recordCount_ += slot.savedUndoCount;
    currentDescription_ = slot.savedUndoDescription;
    RestoreAfterRedo(*header);
    MarkAfterRedo(*header, slot);
    editor_.Invalidate();
    editor_.NotifyBookmarkChanged();
    editor_.NotifyChange();
    return true;
}

bool HexUndoStorage::RedoFits(const RedoHeader& header, const RedoSlot& slot) const {
    const std::int64_t length = editor_.DataLength();
    if (slot.isGroup)
        return std::all_of(slot.steps.begin(), slot.steps.end(), [&](const GroupStep& step) {
            return RangeInside(step.position, step.count, length) &&
                   step.dataOffset + std::size_t(step.count) <= slot.stepData.size();
        });
    const std::int64_t position = header.fixed.position;
    const std::int64_t count = header.fixed.count;
    const bool dataHolds = count >= 0 && count <= header.dataSize;
    switch (header.kind) {
    case kChangeBytes:
    case kConvert:
        return RangeInside(position, count, length) && dataHolds;
    case kRemoveData:
        return RangeInside(position, count, length);
    case kInsertBuffer:
        return RangeInside(position, 0, length) && dataHolds;
    case kAppendBuffer:
    case kInsertNibble:
    case kDeleteNibble:
    case kAllData:
        return dataHolds;
    case kCursorMove:
        return true;
    default:
        return false;
    }
}

void HexUndoStorage::ApplyRedoData(const RedoHeader& header, const RedoSlot& slot) {
    if (slot.isGroup) {
        // Undone newest member first, so redone oldest first.
        for (auto step = slot.steps.rbegin(); step != slot.steps.rend(); ++step)
            editor_.PutBytes(slot.stepData.data() + step->dataOffset, step->position, step->count);
        return;
    }
    const std::int32_t position = header.fixed.position;
    const std::int32_t count = header.fixed.count;
    switch (header.kind) {
    case kChangeBytes:
        editor_.PutBytes(header.data, position, count);
        break;
    case kRemoveData:
        editor_.DeleteRaw(position, position + count, -1, 0);
        break;
    case kInsertBuffer:
        editor_.InsertRaw(header.data, count, position);
        break;
    case kAppendBuffer:
        editor_.AppendRaw(header.data, count);
        break;
    case kInsertNibble:
    case kDeleteNibble:
    case kAllData:
        editor_.SetDataSize(count);
        editor_.WriteAt(header.data, 0, count);
        editor_.UpdateGridSize();
        break;
    case kConvert:
        editor_.DeleteRaw(position, position + count, -1, 0);
        editor_.InsertRaw(header.data, count, position);
        break;
    default:
        break;
    }
}

void HexUndoStorage::RestoreAfterRedo(const RedoHeader& header) {
    const FixedPart& part = header.fixed;
    BestEffort([&] { editor_.SetBookmarks(header.bookmarks); });
    BestEffort([&] { RestoreCaret(editor_, part); });
    BestEffort([&] { editor_.SetIsModified(part.Has(rfModified)); });
    BestEffort([&] { editor_.SetInsertMode(part.Has(rfInsertMode)); });
    BestEffort([&] {
        editor_.SetSelectionFields(header.selectionAnchor, header.selectionLower,
                                   header.selectionUpper);
    });
    RestoreTranslationAndUnits(editor_, part);
    BestEffort([&] { editor_.SetCaretInCharField(part.Has(rfCharField)); });
}

void HexUndoStorage::MarkAfterRedo(const RedoHeader& header, const RedoSlot& slot) {
    if (!slot.isGroup) {
        RestoreMarks(editor_, header.fixed.flags, header.fixed.position,
                     header.kind == kChangeBytes && header.fixed.count == 2);
        return;
    }
    for (auto step = slot.steps.rbegin(); step != slot.steps.rend(); ++step)
        RestoreMarks(editor_, step->markFlags, step->position, step->count == 2);
}

} // namespace quillon
