#include <string>
#include <vector>

#include "view_fixture.h"

namespace quillon {

namespace {

struct KeyCase {
    const char* name;
    std::size_t size;
    bool insertMode;
    GridCell from;
    int key;
    Qt::KeyboardModifiers modifiers;
    GridCell to;
    std::int32_t selectionLower; // -1: nothing selected
    std::int32_t selectionUpper;
};

// 40 bytes in rows of 16: rows 2 and 3 are full, row 4 holds bytes 32..39. Hex digits are in
// columns 2..33, the separator is 34, characters are in 35..50.
const std::vector<KeyCase> kKeyCases{
    {"RightToSecondDigit", 40, false, {2, 2}, Qt::Key_Right, {}, {3, 2}, -1, -1},
    {"RightToNextByte", 40, false, {3, 2}, Qt::Key_Right, {}, {4, 2}, -1, -1},
    {"LeftToFirstDigit", 40, false, {5, 2}, Qt::Key_Left, {}, {4, 2}, -1, -1},
    {"LeftIntoPreviousRow", 40, false, {2, 3}, Qt::Key_Left, {}, {33, 2}, -1, -1},
    {"LeftAtTheStart", 40, false, {2, 2}, Qt::Key_Left, {}, {2, 2}, -1, -1},
    {"RightAtTheLastDigit", 40, false, {17, 4}, Qt::Key_Right, {}, {17, 4}, -1, -1},
    {"RightOntoThePlaceAfterTheEnd", 40, true, {17, 4}, Qt::Key_Right, {}, {18, 4}, -1, -1},
    {"RightFromThePlaceAfterTheEnd", 40, true, {18, 4}, Qt::Key_Right, {}, {18, 4}, -1, -1},
    {"CharFieldRight", 40, false, {36, 2}, Qt::Key_Right, {}, {37, 2}, -1, -1},
    {"CharFieldRightAtTheEnd", 40, false, {42, 4}, Qt::Key_Right, {}, {42, 4}, -1, -1},
    {"CharFieldLeftAtTheStart", 40, false, {35, 2}, Qt::Key_Left, {}, {35, 2}, -1, -1},
    {"BackspaceMovesLeftInOverwriteMode", 40, false, {5, 2}, Qt::Key_Backspace, {}, {4, 2}, -1, -1},
    {"CtrlLeftToRowStart", 40, false, {10, 3}, Qt::Key_Left, Qt::ControlModifier, {2, 3}, -1, -1},
    {"CtrlRightToLastColumn",
     40,
     false,
     {2, 2},
     Qt::Key_Right,
     Qt::ControlModifier,
     {50, 2},
     -1,
     -1},
    {"CtrlRightOnTheShortLastRow",
     40,
     false,
     {2, 4},
     Qt::Key_Right,
     Qt::ControlModifier,
     {42, 4},
     -1,
     -1},
    {"UpStopsAtRowTwo", 40, false, {6, 2}, Qt::Key_Up, {}, {6, 2}, -1, -1},
    {"Up", 40, false, {6, 3}, Qt::Key_Up, {}, {6, 2}, -1, -1},
    {"CtrlUpDoesNothing", 40, false, {6, 3}, Qt::Key_Up, Qt::ControlModifier, {6, 3}, -1, -1},
    {"DownPastTheLastByteLandsOnIt", 40, false, {20, 3}, Qt::Key_Down, {}, {16, 4}, -1, -1},
    {"HomeInHexField", 40, false, {20, 3}, Qt::Key_Home, {}, {2, 3}, -1, -1},
    {"HomeInCharField", 40, false, {40, 3}, Qt::Key_Home, {}, {35, 3}, -1, -1},
    {"CtrlHome", 40, false, {14, 4}, Qt::Key_Home, Qt::ControlModifier, {2, 2}, -1, -1},
    {"EndGoesToTheSecondDigit", 40, false, {4, 2}, Qt::Key_End, {}, {33, 2}, -1, -1},
    {"EndOnTheShortLastRow", 40, false, {2, 4}, Qt::Key_End, {}, {17, 4}, -1, -1},
    {"EndInCharField", 40, false, {36, 4}, Qt::Key_End, {}, {42, 4}, -1, -1},
    {"CtrlEnd", 40, false, {2, 2}, Qt::Key_End, Qt::ControlModifier, {16, 4}, -1, -1},
    {"CtrlEndInInsertModeGoesPastTheEnd",
     40,
     true,
     {2, 2},
     Qt::Key_End,
     Qt::ControlModifier,
     {18, 4},
     -1,
     -1},
    {"TabToCharField", 40, false, {7, 2}, Qt::Key_Tab, {}, {37, 2}, -1, -1},
    {"TabBackToHexField", 40, false, {37, 2}, Qt::Key_Tab, {}, {6, 2}, -1, -1},
    {"CtrlTIsTab", 40, false, {7, 2}, Qt::Key_T, Qt::ControlModifier, {37, 2}, -1, -1},
    {"ShiftRightSelectsTwoBytes",
     40,
     false,
     {2, 2},
     Qt::Key_Right,
     Qt::ShiftModifier,
     {4, 2},
     0,
     1},
    {"ShiftLeftSelectsBackwards", 40, false, {8, 2}, Qt::Key_Left, Qt::ShiftModifier, {6, 2}, 2, 3},
    {"ShiftRightInInsertModeSelectsBetween",
     40,
     true,
     {2, 2},
     Qt::Key_Right,
     Qt::ShiftModifier,
     {4, 2},
     0,
     0},
    {"ShiftDownSelectsARow", 40, false, {2, 2}, Qt::Key_Down, Qt::ShiftModifier, {2, 3}, 0, 16},
    {"DeleteWithoutCtrlDoesNothingInOverwriteMode",
     40,
     false,
     {4, 2},
     Qt::Key_Delete,
     {},
     {4, 2},
     -1,
     -1},
};

class KeyMapTest : public ViewTest, public ::testing::WithParamInterface<KeyCase> {};

} // namespace

TEST_P(KeyMapTest, MovesTheCaretAndSelects) {
    const KeyCase& c = GetParam();
    Load(Counting(c.size));
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
    EXPECT_EQ(Bytes(), Counting(c.size)) << "moving changes no byte";
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyMapTest, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace quillon
