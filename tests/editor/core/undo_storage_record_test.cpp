// Recording: the byte layout of undo records, their flags and descriptions, the budget, and the
// operations that read or reshape the newest record.
#include "editor/core/undo_storage.h"

#include <deque>
#include <functional>

#include <gtest/gtest.h>

#include "fake_undo_target.h"

namespace quillon {
namespace {

using testing::FakeUndoTarget;
using testing::Hex;
using testing::I32At;
using testing::Iota;

constexpr std::size_t kFlags = 4, kCaret = 8, kPosition = 12, kCount = 16, kData = 29;

TEST(UndoRecordTest, TypedByteGivesTheDocumentedThirtyFourBytes) {
    FakeUndoTarget editor(std::vector<std::uint8_t>(8, 0));
    editor.PlaceCaret(5);
    HexUndoStorage storage(editor);

    storage.AddRecord(HexUndoKind::ukChangeBytes, 5, 1, 0, "");

    EXPECT_EQ(storage.StackBytes(), Hex("22000000 01000000 05000000 05000000 01000000 00000000 00"
                                        " 01000000 00 22000000"));
    EXPECT_EQ(storage.RecordCount(), 1);
    EXPECT_TRUE(storage.CanUndo());
    EXPECT_EQ(storage.CurrentDescription(), "Change Byte(s)");
}

struct FlagCase {
    const char* name;
    std::function<void(FakeUndoTarget&)> setUp;
    HexUndoKind kind;
    std::int32_t count;
    std::uint32_t flags;
    std::int32_t length;
    std::string description = "";
};

TEST(UndoRecordTest, FlagsFollowTheEditorState) {
    const auto none = [](FakeUndoTarget&) {
    };
    const FlagCase cases[] = {
        {"plain byte", none, HexUndoKind::ukChangeBytes, 1, 0x1, 34},
        {"marked byte", [](FakeUndoTarget& e) { e.MarkChanged(5, true); },
         HexUndoKind::ukChangeBytes, 1, 0x801, 34},
        {"second byte marked", [](FakeUndoTarget& e) { e.MarkChanged(6, true); },
         HexUndoKind::ukChangeBytes, 2, 0x1001, 35},
        {"second mark needs two bytes", [](FakeUndoTarget& e) { e.MarkChanged(6, true); },
         HexUndoKind::ukChangeBytes, 1, 0x1, 34},
        {"removal ignores marks", [](FakeUndoTarget& e) { e.MarkChanged(5, true); },
         HexUndoKind::ukRemoveData, 3, 0x2, 36},
        {"nibble insert marks", [](FakeUndoTarget& e) { e.MarkChanged(5, true); },
         HexUndoKind::ukInsertNibble, 1, 0x820, 34},
        {"nibble delete marks", [](FakeUndoTarget& e) { e.MarkChanged(5, true); },
         HexUndoKind::ukDeleteNibble, 1, 0x840, 34},
        {"modified", [](FakeUndoTarget& e) { e.modified = true; }, HexUndoKind::ukChangeBytes, 1,
         0x2001, 34},
        {"low nibble", [](FakeUndoTarget& e) { e.PlaceCaret(5, false, true); },
         HexUndoKind::ukChangeBytes, 1, 0x4001, 34},
        {"char field", [](FakeUndoTarget& e) { e.PlaceCaret(5, true); }, HexUndoKind::ukChangeBytes,
         1, 0x8001, 34},
        {"selection", [](FakeUndoTarget& e) { e.Select(6, 4, 6); }, HexUndoKind::ukChangeBytes, 1,
         0x10001, 46},
        {"insert mode hides marks",
         [](FakeUndoTarget& e) {
             e.MarkChanged(5, true);
             e.insertMode = true;
         },
         HexUndoKind::ukChangeBytes, 1, 0x20001, 34},
        {"unicode", [](FakeUndoTarget& e) { e.unicode = true; }, HexUndoKind::ukChangeBytes, 1,
         0x40001, 34},
        {"big endian", [](FakeUndoTarget& e) { e.bigEndian = true; }, HexUndoKind::ukChangeBytes, 1,
         0x80001, 34},
        {"description", none, HexUndoKind::ukChangeBytes, 1, 0x100001, 34 + 5 + 4, "Typed"},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUndoTarget editor(Iota(32));
        editor.PlaceCaret(5);
        c.setUp(editor);
        HexUndoStorage storage(editor);
        storage.AddRecord(c.kind, 5, c.count, 0, c.description);
        const auto bytes = storage.StackBytes();
        ASSERT_EQ(static_cast<std::int32_t>(bytes.size()), c.length);
        EXPECT_EQ(static_cast<std::uint32_t>(I32At(bytes, kFlags)), c.flags);
        EXPECT_EQ(I32At(bytes, 0), c.length);
        EXPECT_EQ(I32At(bytes, bytes.size() - 4), c.length);
        EXPECT_EQ(I32At(bytes, kCaret), 5);
    }
}

TEST(UndoRecordTest, TrailerHoldsDescriptionThenSelection) {
    FakeUndoTarget editor(Iota(32));
    editor.Select(9, 7, 9);
    HexUndoStorage storage(editor);
    storage.AddRecord(HexUndoKind::ukChangeBytes, 7, 2, 0, "Paste");

    const auto bytes = storage.StackBytes();
    ASSERT_EQ(bytes.size(), 33u + 2 + 5 + 4 + 12);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + kData, bytes.begin() + kData + 2),
              Hex("07 08"));
    EXPECT_EQ(std::string(bytes.begin() + 31, bytes.begin() + 36), "Paste");
    EXPECT_EQ(I32At(bytes, 36), 5);
    EXPECT_EQ(I32At(bytes, 40), 7); // lower
    EXPECT_EQ(I32At(bytes, 44), 9); // upper
    EXPECT_EQ(I32At(bytes, 48), 9); // anchor
    EXPECT_EQ(storage.CurrentDescription(), "Paste");
}

struct KindCase {
    HexUndoKind kind;
    std::int32_t position, count, replaceCount;
    std::int32_t length;
    std::vector<std::uint8_t> data;
    const char* description;
};

TEST(UndoRecordTest, EachKindStoresItsDataAndDefaultDescription) {
    const std::vector<std::uint8_t> document = Iota(16, 0x10);
    const KindCase cases[] = {
        {HexUndoKind::ukChangeBytes, 2, 3, 0, 36, Hex("12 13 14"), "Change Byte(s)"},
        {HexUndoKind::ukRemoveData, 2, 3, 0, 36, Hex("12 13 14"), "Remove Data"},
        {HexUndoKind::ukInsertBuffer, 2, 3, 0, 34, Hex("00"), "Insert Buffer"},
        {HexUndoKind::ukReplace, 2, 3, 3, 34, Hex("00"), "Replace"},
        {HexUndoKind::ukAppendBuffer, 16, 5, 0, 34, Hex("00"), "Append Buffer"},
        {HexUndoKind::ukInsertNibble, 2, 1, 0, 34, Hex("12"), "Insert Nibble"},
        {HexUndoKind::ukDeleteNibble, 3, 1, 0, 34, Hex("13"), "Delete Nibble"},
        {HexUndoKind::ukConvert, 2, 3, 0, 36, Hex("12 13 14"), "Convert"},
        {HexUndoKind::ukCursorMove, 4, 2, 0, 46, Hex("00"), "Cursor movement"},
        {HexUndoKind::ukGroup, 0, 0, 0, 34, Hex("00"), "Multiple Modification"},
        {HexUndoKind::ukAllData, 0, 1, 0, 49, document, "All data saved"},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        FakeUndoTarget editor(document);
        HexUndoStorage storage(editor);
        storage.AddRecord(c.kind, c.position, c.count, c.replaceCount, "");
        const auto bytes = storage.StackBytes();
        ASSERT_EQ(static_cast<std::int32_t>(bytes.size()), c.length);
        EXPECT_EQ(I32At(bytes, kFlags) & 0x7FF, 1 << static_cast<int>(c.kind));
        EXPECT_EQ(
            std::vector<std::uint8_t>(bytes.begin() + kData, bytes.begin() + kData + c.data.size()),
            c.data);
        EXPECT_EQ(storage.CurrentDescription(), c.description);
    }
}

TEST(UndoRecordTest, CountFieldsOfSpecialKinds) {
    FakeUndoTarget editor(Iota(16));
    editor.PlaceCaret(9);
    HexUndoStorage storage(editor);

    storage.AddRecord(HexUndoKind::ukAllData, 0, 3, 0, "");
    EXPECT_EQ(I32At(storage.StackBytes(), kCount), 16); // the document length, not the caller's

    storage.AddRecord(HexUndoKind::ukCursorMove, 4, 3, 0, "");
    const auto bytes = storage.StackBytes();
    const std::size_t newest = 49;
    EXPECT_EQ(I32At(bytes, newest + kCaret), 4); // the recorded position, not the caret
    EXPECT_EQ(I32At(bytes, bytes.size() - 16), 4);
    EXPECT_EQ(I32At(bytes, bytes.size() - 12), 6);
    EXPECT_EQ(I32At(bytes, bytes.size() - 8), 4);
}

TEST(UndoRecordTest, GroupKeepsAShortCopyOfItsDescriptionInTheData) {
    FakeUndoTarget editor(Iota(16));
    HexUndoStorage storage(editor);
    const std::string long300(300, 'm');
    storage.AddRecord(HexUndoKind::ukChangeBytes, 0, 1, 0, "");
    storage.AddRecord(HexUndoKind::ukGroup, 0, 1, 0, long300);

    auto bytes = storage.StackBytes();
    const std::size_t group = 34;
    ASSERT_EQ(bytes.size(), group + 33 + 256 + 300 + 4);
    EXPECT_EQ(bytes[group + kData], 255);
    EXPECT_EQ(std::string(bytes.begin() + group + kData + 1, bytes.begin() + group + kData + 256),
              long300.substr(0, 255));
    EXPECT_EQ(std::string(bytes.begin() + group + kData + 256, bytes.end() - 8), long300);
    EXPECT_EQ(I32At(bytes, bytes.size() - 8), 300);
    EXPECT_EQ(storage.CurrentDescription(), long300);

    // Popping a record above the group makes the group's short copy the current description.
    storage.AddRecord(HexUndoKind::ukChangeBytes, 1, 1, 0, "");
    storage.PopNewest();
    EXPECT_EQ(storage.CurrentDescription(), long300.substr(0, 255));
}

TEST(UndoRecordTest, ShortCopyOfADescriptionEndsOnACharacterBoundary) {
    FakeUndoTarget editor(Iota(16));
    HexUndoStorage storage(editor);
    std::string cyrillic;
    for (int i = 0; i < 200; ++i)
        cyrillic += "ж"; // two bytes each
    storage.AddRecord(HexUndoKind::ukChangeBytes, 0, 1, 0, "");
    storage.AddRecord(HexUndoKind::ukGroup, 0, 1, 0, cyrillic);
    storage.AddRecord(HexUndoKind::ukChangeBytes, 1, 1, 0, "");
    storage.PopNewest();
    EXPECT_EQ(storage.CurrentDescription(), cyrillic.substr(0, 254));
}

struct BudgetCase {
    const char* name;
    std::int32_t maxUndo;
    std::int32_t changedBytes; // 7 gives records of 40 bytes
    std::vector<std::int32_t> countsAfterEachAdd;
};

TEST(UndoRecordTest, BudgetDropsOldestRecordsBeforeAdding) {
    const BudgetCase cases[] = {
        {"100 bytes, 40-byte records", 100, 7, {1, 2, 3, 3, 3}},
        {"no limit", 0, 7, {1, 2, 3, 4, 5}},
        {"negative is no limit", -1, 7, {1, 2, 3, 4, 5}},
        {"record larger than the budget", 30, 7, {1, 1, 1}},
        {"a stack of exactly the budget is not trimmed", 80, 7, {1, 2, 3, 3, 3}},
        {"one byte over the budget is trimmed", 79, 7, {1, 2, 2, 2, 2}},
    };
    for (const BudgetCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUndoTarget editor(Iota(64));
        HexUndoStorage storage(editor);
        storage.SetMaxUndo(c.maxUndo);
        std::deque<std::vector<std::uint8_t>> expected;
        for (std::size_t i = 0; i < c.countsAfterEachAdd.size(); ++i) {
            const auto before = storage.StackBytes();
            storage.AddRecord(HexUndoKind::ukChangeBytes, static_cast<std::int32_t>(i),
                              c.changedBytes, 0, "");
            const auto after = storage.StackBytes();
            ASSERT_EQ(after.size() % 40, 0u);
            expected.emplace_back(after.end() - 40, after.end());
            while (expected.size() > static_cast<std::size_t>(c.countsAfterEachAdd[i]))
                expected.pop_front();
            EXPECT_EQ(storage.RecordCount(), c.countsAfterEachAdd[i]);
            std::vector<std::uint8_t> joined;
            for (const auto& record : expected)
                joined.insert(joined.end(), record.begin(), record.end());
            EXPECT_EQ(after, joined) << "after add " << i;
            EXPECT_EQ(I32At(after, kPosition), I32At(expected.front(), kPosition));
        }
    }
}

// Many drops through the compaction of the buffer keep every record byte for byte, in order.
TEST(UndoRecordTest, LongRunUnderABudgetKeepsTheNewestRecordsExactly) {
    FakeUndoTarget editor(Iota(256));
    HexUndoStorage storage(editor);
    storage.SetMaxUndo(1000);
    std::deque<std::vector<std::uint8_t>> expected;
    std::size_t expectedSize = 0;
    for (std::int32_t i = 0; i < 3000; ++i) {
        const std::int32_t count = 1 + (i * 7) % 23;
        while (!expected.empty() && expectedSize > 1000) {
            expectedSize -= expected.front().size();
            expected.pop_front();
        }
        editor.modified = i % 3 == 0;
        storage.AddRecord(HexUndoKind::ukChangeBytes, i % 200, count, 0, "");
        const auto bytes = storage.StackBytes();
        expected.emplace_back(bytes.end() - (33 + count), bytes.end());
        expectedSize += expected.back().size();
        ASSERT_EQ(storage.RecordCount(), static_cast<std::int32_t>(expected.size()));
        if (i % 97 == 0 || i > 2990) {
            std::vector<std::uint8_t> joined;
            for (const auto& record : expected)
                joined.insert(joined.end(), record.begin(), record.end());
            ASSERT_EQ(bytes, joined) << "after add " << i;
        }
    }
}

TEST(UndoRecordTest, PopNewestDescribesTheRecordBelow) {
    FakeUndoTarget editor(Iota(16));
    HexUndoStorage storage(editor);
    storage.AddRecord(HexUndoKind::ukChangeBytes, 0, 1, 0, "Typed");
    storage.AddRecord(HexUndoKind::ukRemoveData, 1, 2, 0, "");
    storage.AddRecord(HexUndoKind::ukGroup, 0, 2, 0, "");
    storage.AddRecord(HexUndoKind::ukInsertBuffer, 3, 2, 0, "Dropped");

    const char* expected[] = {"Multiple Modification", "Remove Data", "Typed", ""};
    for (const char* description : expected) {
        storage.PopNewest();
        EXPECT_EQ(storage.CurrentDescription(), description);
    }
    EXPECT_EQ(storage.RecordCount(), 0);
    EXPECT_FALSE(storage.CanUndo());
    EXPECT_TRUE(storage.StackBytes().empty());
    storage.PopNewest(); // on an empty stack: stays empty
    EXPECT_EQ(storage.RecordCount(), 0);
}

TEST(UndoRecordTest, AttachSelectionGrowsTheNewestRecordOnce) {
    FakeUndoTarget editor(Iota(32));
    editor.PlaceCaret(1);
    HexUndoStorage storage(editor);
    storage.AddRecord(HexUndoKind::ukChangeBytes, 0, 1, 0, "");
    storage.AddRecord(HexUndoKind::ukReplace, 4, 3, 3, "Replace text");
    const std::size_t newest = 34;

    storage.AttachSelection(4, 3);
    auto bytes = storage.StackBytes();
    const std::int32_t grown = 34 + 12 + 4 + 12;
    ASSERT_EQ(bytes.size(), newest + grown);
    EXPECT_EQ(I32At(bytes, newest), grown);
    EXPECT_EQ(I32At(bytes, bytes.size() - 4), grown);
    EXPECT_EQ(I32At(bytes, newest + kFlags), 0x100000 | 0x10000 | 0x8);
    EXPECT_EQ(I32At(bytes, newest + kCaret), 4);
    EXPECT_EQ(I32At(bytes, bytes.size() - 16), 4);
    EXPECT_EQ(I32At(bytes, bytes.size() - 12), 6);
    EXPECT_EQ(I32At(bytes, bytes.size() - 8), 4);

    storage.AttachSelection(10, 1);
    bytes = storage.StackBytes();
    ASSERT_EQ(bytes.size(), newest + grown);
    EXPECT_EQ(I32At(bytes, bytes.size() - 16), 10);
    EXPECT_EQ(I32At(bytes, bytes.size() - 12), 10);

    // The description is still found from the end behind the new block.
    storage.AddRecord(HexUndoKind::ukChangeBytes, 0, 1, 0, "");
    storage.PopNewest();
    EXPECT_EQ(storage.CurrentDescription(), "Replace text");
}

TEST(UndoRecordTest, AttachSelectionNeedsAnUndoableStack) {
    FakeUndoTarget editor(Iota(8));
    HexUndoStorage storage(editor);
    storage.AttachSelection(1, 2);
    EXPECT_TRUE(storage.StackBytes().empty());

    storage.AddRecord(HexUndoKind::ukChangeBytes, 0, 1, 0, "");
    storage.Suspend();
    storage.AttachSelection(1, 2);
    EXPECT_EQ(storage.StackBytes().size(), 34u);
}

TEST(UndoRecordTest, SuspendStopsRecordingAndUndo) {
    FakeUndoTarget editor(Iota(8));
    HexUndoStorage storage(editor);
    storage.AddRecord(HexUndoKind::ukChangeBytes, 0, 1, 0, "");

    EXPECT_EQ(storage.Suspend(), 1);
    EXPECT_EQ(storage.Suspend(), 2);
    storage.AddRecord(HexUndoKind::ukChangeBytes, 1, 1, 0, "");
    EXPECT_EQ(storage.RecordCount(), 1);
    EXPECT_FALSE(storage.CanUndo());
    EXPECT_EQ(storage.Resume(), 1);
    EXPECT_EQ(storage.Resume(), 0);
    EXPECT_EQ(storage.Resume(), 0);
    EXPECT_TRUE(storage.CanUndo());

    // Undo while suspended empties the stack and ends the suspension.
    storage.Suspend();
    EXPECT_FALSE(storage.Undo());
    EXPECT_EQ(storage.RecordCount(), 0);
    EXPECT_EQ(storage.SuspendCount(), 0);
    EXPECT_EQ(editor.bytes, Iota(8));
}

TEST(UndoRecordTest, UnknownKindIsRefused) {
    FakeUndoTarget editor(Iota(8));
    HexUndoStorage storage(editor);
    EXPECT_THROW(storage.AddRecord(static_cast<HexUndoKind>(11), 0, 1, 0, ""), EHexEditor);
    EXPECT_EQ(storage.RecordCount(), 0);
}

TEST(UndoRecordTest, MaxUndoDefaultsToOneMebibyte) {
    FakeUndoTarget editor;
    HexUndoStorage storage(editor);
    EXPECT_EQ(storage.MaxUndo(), 1048576);
    EXPECT_FALSE(storage.CanUndo());
    EXPECT_FALSE(storage.CanRedo());
    EXPECT_EQ(storage.CurrentDescription(), "");
}

} // namespace
} // namespace quillon
