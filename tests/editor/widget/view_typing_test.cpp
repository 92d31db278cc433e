#include <string>
#include <vector>

#include "view_fixture.h"

namespace quillon {

namespace {

class TypingTest : public ViewTest {
protected:
    TypingTest() {
        Core().OnInvalidKey = [this] {
            ++invalidKeys;
        };
    }
    int invalidKeys = 0;
};

} // namespace

TEST_F(TypingTest, HexDigitsOverwriteHalfByHalf) {
    Load(ByteVector(4, 0));
    Type("A");
    EXPECT_EQ(Bytes(), (ByteVector{0xA0, 0, 0, 0}));
    EXPECT_EQ(Core().CurrentCell(), (GridCell{3, 2}));
    Type("5");
    EXPECT_EQ(Bytes(), (ByteVector{0xA5, 0, 0, 0}));
    EXPECT_EQ(Core().CurrentCell(), (GridCell{4, 2}));
    EXPECT_TRUE(Core().IsChanged(0));
    EXPECT_FALSE(Core().IsChanged(1));
    Type("f");
    EXPECT_EQ(Bytes(), (ByteVector{0xA5, 0xF0, 0, 0})) << "lower case digits too";
}

TEST_F(TypingTest, SwapNibblesTypesTheLowHalfFirst) {
    Load(ByteVector(2, 0));
    Core().SetSwapNibbles(true);
    Type("A");
    EXPECT_EQ(Bytes(), (ByteVector{0x0A, 0}));
    Type("5");
    EXPECT_EQ(Bytes(), (ByteVector{0x5A, 0}));
}

TEST_F(TypingTest, InsertModeInsertsWholeUnits) {
    Load(ByteVector{0, 1, 2, 3});
    Core().SetBytesPerUnit(2);
    Core().SetInsertMode(true);
    Core().MoveCaretToCell({6, 2});
    Type("7");
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 0x70, 0, 2, 3}));
    Type("1");
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 0x71, 0, 2, 3}));
    EXPECT_EQ(Core().SelectionCount(), 0);
}

TEST_F(TypingTest, InsertModeAppendsToAnEmptyDocument) {
    Core().SetInsertMode(true);
    Type("4");
    Type("2");
    Type("9");
    EXPECT_EQ(Bytes(), (ByteVector{0x42, 0x90}));
}

TEST_F(TypingTest, LastDigitOfTheDocumentKeepsTheCaret) {
    Load(ByteVector{0x11, 0x22});
    Core().MoveCaretToCell({5, 2});
    Type("E");
    EXPECT_EQ(Bytes(), (ByteVector{0x11, 0x2E}));
    EXPECT_EQ(Core().CurrentCell(), (GridCell{5, 2}));
}

TEST_F(TypingTest, RefusedAndIgnoredCharacters) {
    Load(ByteVector{0x11, 0x22});
    Type("G");
    EXPECT_EQ(invalidKeys, 1) << "no hexadecimal digit";
    Key(Qt::Key_Return);
    Key(Qt::Key_Escape);
    EXPECT_EQ(invalidKeys, 1) << "control characters are ignored";
    Key(Qt::Key_Tab);
    Type(QString(QChar(0x4E2D)));
    EXPECT_EQ(invalidKeys, 2) << "a character outside Windows-1251";
    EXPECT_EQ(Bytes(), (ByteVector{0x11, 0x22}));
}

TEST_F(TypingTest, CharactersGoThroughTheTranslation) {
    Load(ByteVector(4, 0));
    Key(Qt::Key_Tab);
    Type(QString::fromUtf8("aЖ"));
    EXPECT_EQ(Bytes(), (ByteVector{'a', 0xC6, 0, 0}));
    EXPECT_EQ(Core().CurrentCell(), (GridCell{37, 2}));
    Core().SetTranslation(HexTranslationKind::tkDos8);
    Type(QString::fromUtf8("Ж"));
    EXPECT_EQ(Bytes()[2], 0x86) << "CP866";
}

TEST_F(TypingTest, CharactersInInsertMode) {
    Load(ByteVector{1, 2});
    Core().SetInsertMode(true);
    Key(Qt::Key_Tab);
    Type("x");
    EXPECT_EQ(Bytes(), (ByteVector{'x', 1, 2}));
    Key(Qt::Key_End, Qt::ControlModifier);
    Type("yz");
    EXPECT_EQ(Bytes(), (ByteVector{'x', 1, 2, 'y', 'z'})) << "typed after the end: appended";
}

TEST_F(TypingTest, ReadOnlyViewMovesButNeverEdits) {
    Load(ByteVector{1, 2});
    Core().SetReadOnlyView(true);
    Key(Qt::Key_Insert);
    EXPECT_FALSE(Core().InsertMode());
    Type("A");
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Bytes(), (ByteVector{1, 2}));
    EXPECT_EQ(invalidKeys, 0);
    Key(Qt::Key_Right);
    EXPECT_EQ(Core().CurrentCell(), (GridCell{3, 2}));
}

TEST_F(TypingTest, DeleteAndBackspace) {
    Load(ByteVector{0, 1, 2, 3, 4});
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Bytes(), (ByteVector{1, 2, 3, 4})) << "Ctrl+Delete removes a unit in overwrite mode";
    Core().SetInsertMode(true);
    Core().MoveCaretToCell({6, 2});
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Bytes(), (ByteVector{1, 3, 4}));
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Bytes(), (ByteVector{1})) << "the two bytes between the caret's places";
    Core().SetNoSizeChange(true);
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Bytes(), (ByteVector{1}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Cannot update undo storage");
}

TEST_F(TypingTest, InsertKeyFollowsTheModeRules) {
    Load(ByteVector(16, 0));
    Key(Qt::Key_Insert);
    EXPECT_TRUE(Core().InsertMode());
    EXPECT_EQ(Core().RowCount(), 4) << "room after the last full row";
    Key(Qt::Key_Insert);
    EXPECT_FALSE(Core().InsertMode());
    Core().SetAllowInsertMode(false);
    Key(Qt::Key_Insert);
    EXPECT_FALSE(Core().InsertMode());
}

TEST_F(TypingTest, WideCharacterOnTheLastByteOfAnOddDocumentIsRefused) {
    Core().SetUnicodeChars(true);
    Load(ByteVector{0x41, 0x00, 0x42});
    Key(Qt::Key_Tab);
    Key(Qt::Key_Right);
    ASSERT_EQ(Core().CurrentCell(), (GridCell{Core().FirstCharCol() + 1, 2}));
    Type("Z");
    EXPECT_EQ(Bytes(), (ByteVector{0x41, 0x00, 0x42}));
    EXPECT_EQ(invalidKeys, 1);
    EXPECT_TRUE(errors.empty());
    Key(Qt::Key_Home);
    Type(QString::fromUtf8("Ж"));
    EXPECT_EQ(Bytes(), (ByteVector{0x16, 0x04, 0x42})) << "U+0416 little-endian";
}

TEST_F(TypingTest, KeyHandlersComeFirst) {
    Load(ByteVector(4, 0));
    Core().OnKeyDown = [](HexKey& key, HexShiftState) {
        if (key == HexKey::kRight) {
            key = HexKey::kNone;
        }
    };
    Core().OnKeyPress = [](std::uint8_t& character) {
        if (character == 'x') {
            character = 'B';
        }
    };
    Key(Qt::Key_Right);
    EXPECT_EQ(Core().CurrentCell(), (GridCell{2, 2})) << "the handler swallowed the key";
    Type("x");
    EXPECT_EQ(Bytes()[0], 0xB0);
}

} // namespace quillon
