#include <string>
#include <vector>

#include "view_fixture.h"

namespace quillon {

namespace {

struct KeyCase {
    const char* name;
    bool insertMode;
    GridCell from;
    int key;
    Qt::KeyboardModifiers modifiers;
    GridCell to;
    std::int32_t selectionLower = -1; // -1: nothing selected
    std::int32_t selectionUpper = -1;
};

// 40 bytes in rows of 16: rows 2 and 3 are full, row 4 holds bytes 32..39. Hex digits are in
// columns 2..33, the separator is 34, characters are in 35..50.
constexpr std::size_t kDocumentSize = 40;

const std::vector<KeyCase> kKeyCases{
    {"RightToSecondDigit", false, {2, 2}, Qt::Key_Right, {}, {3, 2}},
    {"RightToNextByte", false, {3, 2}, Qt::Key_Right, {}, {4, 2}},
    {"LeftToFirstDigit", false, {5, 2}, Qt::Key_Left, {}, {4, 2}},
    {"LeftIntoPreviousRow", false, {2, 3}, Qt::Key_Left, {}, {33, 2}},
    {"LeftAtTheStart", false, {2, 2}, Qt::Key_Left, {}, {2, 2}},
    {"RightAtTheLastDigit", false, {17, 4}, Qt::Key_Right, {}, {17, 4}},
    {"RightOntoThePlaceAfterTheEnd", true, {17, 4}, Qt::Key_Right, {}, {18, 4}},
    {"RightFromThePlaceAfterTheEnd", true, {18, 4}, Qt::Key_Right, {}, {18, 4}},
    {"CharFieldRight", false, {36, 2}, Qt::Key_Right, {}, {37, 2}},
    {"CharFieldRightAtTheEnd", false, {42, 4}, Qt::Key_Right, {}, {42, 4}},
    {"CharFieldLeftAtTheStart", false, {35, 2}, Qt::Key_Left, {}, {35, 2}},
    {"BackspaceMovesLeftInOverwriteMode", false, {5, 2}, Qt::Key_Backspace, {}, {4, 2}},
    {"CtrlLeftToRowStart", false, {10, 3}, Qt::Key_Left, Qt::ControlModifier, {2, 3}},
    {"CtrlRightToLastColumn", false, {2, 2}, Qt::Key_Right, Qt::ControlModifier, {50, 2}},
    {"CtrlRightOnTheShortLastRow", false, {2, 4}, Qt::Key_Right, Qt::ControlModifier, {42, 4}},
    {"UpStopsAtRowTwo", false, {6, 2}, Qt::Key_Up, {}, {6, 2}},
    {"Up", false, {6, 3}, Qt::Key_Up, {}, {6, 2}},
    {"CtrlUpDoesNothing", false, {6, 3}, Qt::Key_Up, Qt::ControlModifier, {6, 3}},
    {"DownPastTheLastByteLandsOnIt", false, {20, 3}, Qt::Key_Down, {}, {16, 4}},
    {"HomeInHexField", false, {20, 3}, Qt::Key_Home, {}, {2, 3}},
    {"HomeInCharField", false, {40, 3}, Qt::Key_Home, {}, {35, 3}},
    {"CtrlHome", false, {14, 4}, Qt::Key_Home, Qt::ControlModifier, {2, 2}},
    {"EndGoesToTheSecondDigit", false, {4, 2}, Qt::Key_End, {}, {33, 2}},
    {"EndOnTheShortLastRow", false, {2, 4}, Qt::Key_End, {}, {17, 4}},
    {"EndInCharField", false, {36, 4}, Qt::Key_End, {}, {42, 4}},
    {"CtrlEnd", false, {2, 2}, Qt::Key_End, Qt::ControlModifier, {16, 4}},
    {"CtrlEndInInsertModeGoesPastTheEnd", true, {2, 2}, Qt::Key_End, Qt::ControlModifier, {18, 4}},
    {"TabToCharField", false, {7, 2}, Qt::Key_Tab, {}, {37, 2}},
    {"TabBackToHexField", false, {37, 2}, Qt::Key_Tab, {}, {6, 2}},
    {"CtrlTIsTab", false, {7, 2}, Qt::Key_T, Qt::ControlModifier, {37, 2}},
    {"ShiftRightSelectsTwoBytes", false, {2, 2}, Qt::Key_Right, Qt::ShiftModifier, {4, 2}, 0, 1},
    {"ShiftLeftSelectsBackwards", false, {8, 2}, Qt::Key_Left, Qt::ShiftModifier, {6, 2}, 2, 3},
    {"ShiftRightInInsertModeSelectsBetween",
     true,
     {2, 2},
     Qt::Key_Right,
     Qt::ShiftModifier,
     {4, 2},
     0,
     0},
    {"ShiftDownSelectsARow", false, {2, 2}, Qt::Key_Down, Qt::ShiftModifier, {2, 3}, 0, 16},
    {"DeleteWithoutCtrlDoesNothingInOverwriteMode", false, {4, 2}, Qt::Key_Delete, {}, {4, 2}},
};

class KeyMapTest : public ViewTest, public ::testing::WithParamInterface<KeyCase> {};

} // namespace

TEST_P(KeyMapTest, MovesTheCaretAndSelects) {
    const KeyCase& c = GetParam();
    Load(Counting(kDocumentSize));
    Core().SetInsertMode(c.insertMode);
    Core().MoveCaretToCell(c.from);
    ASSERT_EQ(Core().CurrentCell(), c.from);
    Key(c.key, c.modifiers);
    EXPECT_EQ(Core().CurrentCell(), c.to);
    if (c.selectionLower < 0) {
        EXPECT_EQ(Core().SelectionCount(), 0);
    } else {
        EXPECT_EQ(Core().SelectionLower(), c.selectionLower);
        EXPECT_EQ(Core().SelectionUpper(), c.selectionUpper);
    }
    EXPECT_EQ(Bytes(), Counting(kDocumentSize)) << "moving changes no byte";
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyMapTest, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace quillon
