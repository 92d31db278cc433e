#include <string>

#include <gtest/gtest.h>

#include "core_fixture.h"
#include "editor/core/translation.h"
#include "hex_error_matchers.h"

namespace quillon {

using EditorTextTest = CoreTest;

TEST_F(EditorTextTest, TranslationIsRefusedInUnicodeMode) {
    Load(Counting(4));
    editor.SetTranslation(HexTranslationKind::tkBCD);
    EXPECT_EQ(editor.CharToByte('A'), 0xC1);
    EXPECT_EQ(editor.ByteToChar(0xF0), '0');
    editor.SetUnicodeChars(true);
    EXPECT_EQ(editor.Translation(), HexTranslationKind::tkAsIs) << "unicode mode drops it";
    EXPECT_TRUE(RaisesHexError([&] { editor.SetTranslation(HexTranslationKind::tkDos8); },
                               "Translations cannot be used in unicode mode"));
    EXPECT_EQ(editor.Translation(), HexTranslationKind::tkAsIs);
    editor.SetTranslationField(HexTranslationKind::tkMac);
    EXPECT_EQ(editor.Translation(), HexTranslationKind::tkMac) << "the field takes any value";
}

TEST_F(EditorTextTest, UnicodeModeChecksTheLayoutAndLength) {
    struct Case {
        std::int32_t bytesPerRow;
        std::int32_t bytesPerColumn;
        std::size_t length;
        std::string message;
    };
    for (const Case& c : {Case{15, 2, 4, "Invalid bytes per line argument"},
                          Case{16, 3, 4, "Invalid bytes per column argument"},
                          Case{16, 2, 3, "Cannot use unicode mode with odd-sized files"}}) {
        editor.SetBytesPerRow(c.bytesPerRow);
        editor.SetBytesPerColumn(c.bytesPerColumn);
        Load(Counting(c.length));
        editor.SetBytesPerUnit(4);
        editor.SetTranslation(HexTranslationKind::tkDos8);
        EXPECT_TRUE(RaisesHexError([&] { editor.SetUnicodeChars(true); }, c.message));
        EXPECT_FALSE(editor.UnicodeChars());
        EXPECT_EQ(editor.BytesPerUnit(), 4);
        EXPECT_EQ(editor.Translation(), HexTranslationKind::tkDos8);
        editor.SetTranslation(HexTranslationKind::tkAsIs);
        editor.SetBytesPerUnit(1);
    }
}

TEST_F(EditorTextTest, UnicodeModeOffRestoresSingleBytes) {
    Load(Counting(4));
    editor.SetUnicodeChars(true);
    editor.SetUnicodeBigEndian(true);
    editor.SetUnicodeChars(false);
    EXPECT_EQ(editor.BytesPerUnit(), 1);
    EXPECT_EQ(editor.ColCount(), 51);
    EXPECT_TRUE(editor.UnicodeBigEndian());
}

TEST_F(EditorTextTest, SettersRepaintOnlyOnChange) {
    view.invalidateAll = 0;
    editor.SetMaskChar('.');
    editor.SetUnicodeBigEndian(true);
    EXPECT_EQ(view.invalidateAll, 0) << "equal mask; big-endian outside unicode mode";
    editor.SetMaskChar(0);
    EXPECT_EQ(editor.ByteToChar(7), 7);
    EXPECT_EQ(view.invalidateAll, 1);
}

TEST_F(EditorTextTest, OffsetTextsFollowTheFormat) {
    Load(ByteVector(1 << 20));
    EXPECT_EQ(editor.OffsetFormat(), "-!10:0x|");
    EXPECT_EQ(editor.OffsetText(0), "0x00000");
    EXPECT_EQ(editor.OffsetText(0x90), "0x00090");
    editor.SetHexLowerCase(true);
    EXPECT_EQ(editor.OffsetText(0xAB0), "0x00ab0");
    editor.SetOffsetFormat("2!A:#|");
    EXPECT_EQ(editor.OffsetText(5), "#05");
    EXPECT_EQ(editor.OffsetTextOrHex(5), "#05");
    editor.SetOffsetFormat("");
    EXPECT_EQ(editor.OffsetText(255), "");
    EXPECT_EQ(editor.OffsetTextOrHex(255), "FF");
}

TEST_F(EditorTextTest, AFailedFormatKeepsThePreviousOne) {
    Load(Counting(64));
    editor.SetOffsetFormat("8%!10:|h");
    EXPECT_TRUE(RaisesHexError([&] { editor.SetOffsetFormat("-!11:|"); },
                               "Invalid radix in offset format (11h), allowed: 02h..10h"));
    EXPECT_EQ(editor.OffsetFormat(), "8%!10:|h");
    EXPECT_EQ(editor.OffsetText(64), "8h");
}

TEST_F(EditorTextTest, RowUnitFollowsBytesPerRowUpTo256) {
    Load(Counting(2048));
    editor.SetBytesPerRow(8);
    editor.SetOffsetFormat("r%-!10:|");
    EXPECT_EQ(editor.OffsetText(64), "08");
    editor.SetBytesPerRow(256);
    EXPECT_EQ(editor.ParsedOffsetFormat().OffsetDivisor(), 256u);
    EXPECT_EQ(editor.OffsetText(512), "2");
    EXPECT_EQ(editor.OffsetText(2047), "7");
}

TEST_F(EditorTextTest, RulerUnitFollowsInTheDivisor) {
    Load(Counting(64));
    editor.SetBytesPerUnit(4);
    EXPECT_EQ(editor.ParsedOffsetFormat().OffsetDivisor(), 4u);
    editor.SetRulerBytesPerUnit(2);
    EXPECT_EQ(editor.ParsedOffsetFormat().OffsetDivisor(), 2u);
}

TEST_F(EditorTextTest, GutterWidthComesFromTheLastRowOffset) {
    // Default format on 1 MiB: "0x" and five digits, one character more, 21 pixels.
    Load(ByteVector(1 << 20));
    EXPECT_EQ(editor.ColWidths(0), (7 + 1) * kCharWidth + 21);
    editor.SetOffsetFormat("");
    EXPECT_EQ(editor.ColWidths(0), kCharWidth + 21);
    editor.SetGutterWidth(100);
    EXPECT_EQ(editor.ColWidths(0), 100);
    editor.SetGutterWidth(-1);
    Load(Counting(16));
    editor.SetOffsetFormat("-!10:0x|");
    EXPECT_EQ(editor.ColWidths(0), (3 + 1) * kCharWidth + 21);
}

TEST_F(EditorTextTest, HostOffsetTexts) {
    Load(Counting(64));
    std::vector<std::int64_t> asked;
    editor.OnGetOffsetText = [&](std::int64_t number, std::string& text) {
        asked.push_back(number);
        text = "[" + editor.OffsetText(static_cast<std::int32_t>(number)) + "]";
    };
    EXPECT_EQ(editor.OffsetText(16), "[0x10]") << "inside the handler the format answers";
    editor.UpdateGutter();
    EXPECT_EQ(asked.back(), 48) << "the gutter asks for the last row";
    EXPECT_EQ(editor.ColWidths(0), (6 + 1) * kCharWidth + 21);
    EXPECT_EQ(editor.OffsetText(-1), "[0xFFFFFFFF]") << "the number is zero-extended";
    EXPECT_EQ(asked.back(), 0xFFFFFFFF);
}

TEST_F(EditorTextTest, HostOffsetTextFailureEndsTheMark) {
    editor.OnGetOffsetText = [&](std::int64_t, std::string&) {
        throw EHexEditor("host");
    };
    EXPECT_THROW(editor.OffsetText(1), EHexEditor);
    editor.OnGetOffsetText = [&](std::int64_t, std::string& text) {
        text = "x";
    };
    EXPECT_EQ(editor.OffsetText(1), "x");
}

} // namespace quillon

namespace quillon {

using EditorFindTest = CoreTest;

TEST_F(EditorFindTest, PatternsFollowTheEditorsCharacterMode) {
    Load(ByteVector{0x10, 0x41, 0x42, 0xC1, 0x41, 0x00});
    std::string pattern = editor.PreparePattern("ab", true, true);
    EXPECT_EQ(editor.FindBytes(pattern.data(), 2, 0, 5, true), 1);
    EXPECT_EQ(editor.FindBytes(pattern.data(), 2, 0, 5, false), -1);
    editor.SetTranslation(HexTranslationKind::tkBCD);
    pattern = editor.PreparePattern("A", false, true);
    EXPECT_EQ(editor.FindBytes(pattern.data(), 1, 0, 5, false), 3);
    editor.SetUnicodeChars(true);
    pattern = editor.PreparePattern("A", false, true);
    EXPECT_EQ(pattern, std::string("A\0", 2));
    EXPECT_EQ(editor.FindBytes(pattern.data(), 2, 0, 100, false), 4) << "end is clamped";
    EXPECT_EQ(view.waitCursors, 0);
}

TEST_F(EditorFindTest, TheHostMayTakeOverTheSearch) {
    Load(Counting(10));
    editor.OnFind = [](const std::uint8_t* pattern, std::int32_t length, std::int32_t start,
                       std::int32_t end, bool ignoreCase, std::int32_t reserved,
                       std::int32_t& result) {
        EXPECT_EQ(pattern[0], 5);
        EXPECT_EQ(reserved, 0);
        result = length + start + end + (ignoreCase ? 100 : 0);
    };
    const std::uint8_t five = 5;
    EXPECT_EQ(editor.FindBytes(&five, 1, 2, 3, true), 106);
}

TEST_F(EditorFindTest, ProgressOnlyWhileFindProgressIsSet) {
    Load(ByteVector(5000, 0));
    std::vector<HexProgressKind> kinds;
    editor.OnProgress = [&](HexProgressKind kind, const std::string& name, std::uint8_t,
                            bool& cancel) {
        kinds.push_back(kind);
        EXPECT_EQ(name, "Untitled");
        cancel = true;
    };
    const std::uint8_t one = 1;
    EXPECT_EQ(editor.FindBytes(&one, 1, 0, 4999, false), -1);
    EXPECT_TRUE(kinds.empty());
    editor.SetFindProgress(true);
    EXPECT_EQ(editor.FindBytes(&one, 1, 0, 4999, false), -1) << "cancel is not looked at";
    ASSERT_FALSE(kinds.empty());
    EXPECT_EQ(kinds.front(), HexProgressKind::pkFind);
}

} // namespace quillon
