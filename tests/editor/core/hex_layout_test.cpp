#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core_fixture.h"
#include "hex_error_matchers.h"

namespace quillon {

using HexLayoutTest = CoreTest;

TEST_F(HexLayoutTest, DefaultColumnsAndWidths) {
    Load(Counting(40));
    ASSERT_EQ(editor.ColCount(), 51);
    EXPECT_EQ(editor.ColWidths(1), 6);
    for (std::int32_t col = 2; col <= 34; ++col) {
        const bool wide = (col >= 5 && col <= 29 && (col - 5) % 4 == 0) || col == 33;
        EXPECT_EQ(editor.ColWidths(col), wide ? 2 * kCharWidth : kCharWidth) << "column " << col;
    }
    for (std::int32_t col = 35; col < 50; ++col) {
        EXPECT_EQ(editor.ColWidths(col), kCharWidth + 1) << "column " << col;
    }
    EXPECT_EQ(editor.ColWidths(50), 2 * kCharWidth + 1);
    EXPECT_EQ(editor.FirstCharCol(), 35);
    EXPECT_TRUE(editor.IsCharFieldCol(35));
    EXPECT_FALSE(editor.IsCharFieldCol(34));
}

TEST_F(HexLayoutTest, RowsFollowTheLengthAndInsertMode) {
    struct Case {
        std::size_t length;
        bool insertMode;
        std::int32_t rows;
    };
    for (const Case& c : {Case{0, false, 3}, Case{16, false, 3}, Case{16, true, 4},
                          Case{17, false, 4}, Case{17, true, 4}, Case{32, true, 5}}) {
        Load(Counting(c.length));
        editor.SetInsertMode(c.insertMode);
        EXPECT_EQ(editor.RowCount(), c.rows) << c.length << " bytes, insert " << c.insertMode;
        editor.SetInsertMode(false);
    }
}

// Every edit updates the grid size; the host redoes its scroll bars on each layout event, so an
// edit that keeps the rows, widths and heights must raise none.
TEST_F(HexLayoutTest, EditsThatKeepTheLayoutRaiseNoLayoutEvent) {
    const std::uint8_t value = 0xAB;
    const struct {
        const char* name;
        bool insertMode;
        std::function<void(HexEditorCore&)> edit;
    } cases[] = {
        {"typed byte", false,
         [](HexEditorCore& e) {
             e.ChangeByte(0x05, 0xAB, 5, 12, 2);
         }},
        {"inserted byte", true,
         [&value](HexEditorCore& e) {
             e.InsertBytes(&value, 1, 3, "", false);
         }},
        {"deleted byte", true,
         [](HexEditorCore& e) {
             e.DeleteAtCursor(false);
         }},
    };
    for (const auto& c : cases) {
        Load(Counting(40));
        editor.SetInsertMode(c.insertMode);
        view.layoutChanges = 0;
        c.edit(editor);
        EXPECT_EQ(view.layoutChanges, 0) << c.name;
    }
}

TEST_F(HexLayoutTest, RowHeightsComeFromTheTextHeight) {
    EXPECT_EQ(editor.RowHeight(), kTextHeight + 2);
    EXPECT_EQ(editor.RowHeights(0), 0);
    EXPECT_EQ(editor.RowHeights(1), 0);
    EXPECT_EQ(editor.RowHeights(2), kTextHeight + 2);
    editor.SetShowRuler(true);
    EXPECT_EQ(editor.RowHeights(0), kTextHeight + 5);
}

TEST_F(HexLayoutTest, CellToPositionMapsBothFields) {
    Load(Counting(64));
    struct Case {
        std::int32_t col;
        std::int32_t row;
        std::int32_t position;
        bool inChar;
    };
    for (const Case& c : {Case{2, 2, 0, false}, Case{3, 2, 0, false}, Case{4, 2, 1, false},
                          Case{33, 2, 15, false}, Case{36, 3, 17, true}, Case{0, 2, 0, false},
                          Case{1, 2, 0, false}, Case{50, 4, 47, true}, Case{0, 0, 0, false}}) {
        EXPECT_EQ(editor.CellToPosition(c.col, c.row), c.position) << c.col << "," << c.row;
        EXPECT_EQ(editor.CurrentFieldIsChar(), c.inChar) << c.col << "," << c.row;
    }
}

TEST_F(HexLayoutTest, PositionToCellAndBack) {
    Load(Counting(64));
    EXPECT_EQ(editor.PositionToCell(-1, true), (GridCell{2, 2}));
    EXPECT_EQ(editor.PositionToCell(17, false), (GridCell{4, 3}));
    EXPECT_EQ(editor.PositionToCell(17, true), (GridCell{36, 3}));
    for (std::int32_t position = 0; position < 64; ++position) {
        for (const bool inChar : {false, true}) {
            const GridCell cell = editor.PositionToCell(position, inChar);
            EXPECT_EQ(editor.CellToPosition(cell.col, cell.row), position);
            EXPECT_EQ(editor.CurrentFieldIsChar(), inChar);
        }
    }
    EXPECT_EQ(editor.RowOfPosition(31), 3);
    EXPECT_EQ(editor.RowOfPosition(32), 4);
}

TEST_F(HexLayoutTest, OppositeFieldColumns) {
    bool wasInChar = true;
    EXPECT_EQ(editor.OppositeFieldCol(2, &wasInChar), 35);
    EXPECT_FALSE(wasInChar);
    EXPECT_EQ(editor.OppositeFieldCol(5), 36);
    EXPECT_EQ(editor.OppositeFieldCol(36, &wasInChar), 4);
    EXPECT_TRUE(wasInChar);
}

TEST_F(HexLayoutTest, UnicodeModeHalvesTheCharacterField) {
    Load(Counting(64));
    editor.SetUnicodeChars(true);
    ASSERT_EQ(editor.ColCount(), 43);
    for (std::int32_t j = 0; j < 8; ++j) {
        EXPECT_EQ(editor.CellToPosition(35 + j, 2), 2 * j);
    }
    EXPECT_EQ(editor.PositionToCell(5, true), (GridCell{37, 2}));
    EXPECT_EQ(editor.OppositeFieldCol(36), 6);
    EXPECT_EQ(editor.OppositeFieldCol(6), 36);
    EXPECT_EQ(editor.ColWidths(42), 2 * kCharWidth + 1);
    EXPECT_EQ(editor.BytesPerUnit(), 2);
}

TEST_F(HexLayoutTest, LayoutSettersRefuseBadValues) {
    struct Case {
        std::function<void()> set;
        std::string message;
    };
    const std::vector<Case> cases = {
        {[&] { editor.SetBytesPerRow(0); }, "Invalid bytes per line argument"},
        {[&] { editor.SetBytesPerRow(257); }, "Invalid bytes per line argument"},
        {[&] { editor.SetBytesPerColumn(0); }, "Invalid bytes per column argument"},
        {[&] { editor.SetBytesPerColumn(257); }, "Invalid bytes per column argument"},
        {[&] { editor.SetBytesPerUnit(3); }, "Invalid bytes per unit value 3, allowed: 1,2,4,8"},
        {[&] { editor.SetBytesPerUnit(0); }, "Invalid bytes per unit value 0, allowed: 1,2,4,8"},
        {[&] { editor.SetRulerBytesPerUnit(0); },
         "Invalid ruler bytes per unit value 0, allowed: -1,1,2,4,8"},
        {[&] { editor.SetRulerBytesPerUnit(16); },
         "Invalid ruler bytes per unit value 16, allowed: -1,1,2,4,8"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(RaisesHexError(c.set, c.message));
    }
    EXPECT_EQ(editor.BytesPerRow(), 16);
    EXPECT_EQ(editor.BytesPerColumn(), 2);
    EXPECT_EQ(editor.BytesPerUnit(), 1);
    EXPECT_EQ(editor.RulerBytesPerUnit(), -1);
}

TEST_F(HexLayoutTest, UnicodeModeNarrowsTheAllowedValues) {
    editor.SetUnicodeChars(true);
    EXPECT_TRUE(
        RaisesHexError([&] { editor.SetBytesPerRow(15); }, "Invalid bytes per line argument"));
    EXPECT_TRUE(
        RaisesHexError([&] { editor.SetBytesPerColumn(3); }, "Invalid bytes per column argument"));
    EXPECT_TRUE(RaisesHexError([&] { editor.SetBytesPerUnit(4); },
                               "BytesPerUnit must be set to 2 in unicode mode"));
    EXPECT_TRUE(RaisesHexError([&] { editor.SetBytesPerUnit(3); },
                               "BytesPerUnit must be set to 2 in unicode mode"));
    editor.SetBytesPerRow(8);
    EXPECT_EQ(editor.ColCount(), 2 * 8 + 4 + 3);
}

TEST_F(HexLayoutTest, RulerLabelsFollowTheRulerUnit) {
    EXPECT_EQ(editor.RulerText(), "000102030405060708090A0B0C0D0E0F");
    editor.SetBytesPerUnit(4);
    EXPECT_EQ(editor.RulerText(), "00000000000000010000000200000003");
    editor.SetRulerBytesPerUnit(1);
    EXPECT_EQ(editor.RulerText(), "000102030405060708090A0B0C0D0E0F");
    editor.SetHexLowerCase(true);
    EXPECT_EQ(editor.RulerText().substr(20), "0a0b0c0d0e0f");
    editor.SetRulerBytesPerUnit(2);
    EXPECT_EQ(editor.RulerText(), "00000001000200030004000500060007");
}

TEST_F(HexLayoutTest, RulerCells) {
    editor.SetBytesPerUnit(2);
    EXPECT_EQ(editor.RulerCellText(2), "0");
    EXPECT_EQ(editor.RulerCellText(8), "0");
    EXPECT_EQ(editor.RulerCellText(9), "1");
    EXPECT_EQ(editor.RulerCellText(34), "  ");
    // Character field: the unit's digit on its last column, a space on the others.
    EXPECT_EQ(editor.RulerCellText(35), " ");
    EXPECT_EQ(editor.RulerCellText(36), "0");
    EXPECT_EQ(editor.RulerCellText(38), "1");
    EXPECT_EQ(editor.RulerCellText(50), "7");
    EXPECT_EQ(editor.RulerCellText(0), "");
}

TEST_F(HexLayoutTest, UnicodeRulerCellsLabelTheUnitOfEachPair) {
    editor.SetUnicodeChars(true);
    struct Case {
        std::int32_t rulerBytesPerUnit;
        std::string labels;
    };
    for (const Case& c : {Case{-1, "01234567"}, Case{4, "00112233"}, Case{1, "02468ACE"}}) {
        editor.SetRulerBytesPerUnit(c.rulerBytesPerUnit);
        std::string labels;
        for (std::int32_t col = 35; col < 43; ++col) {
            labels += editor.RulerCellText(col);
        }
        EXPECT_EQ(labels, c.labels) << "ruler unit " << c.rulerBytesPerUnit;
    }
}

TEST_F(HexLayoutTest, BlocksWidenTheirLastColumns) {
    editor.SetBytesPerColumn(1);
    editor.SetBytesPerBlock(4);
    for (std::int32_t col = 2; col < 33; ++col) {
        const bool columnEnd = col % 2 == 1;
        const bool blockEnd = (col - 9) % 8 == 0;
        EXPECT_EQ(editor.ColWidths(col), kCharWidth * (1 + columnEnd + blockEnd)) << col;
    }
    for (std::int32_t j = 0; j < 15; ++j) {
        EXPECT_EQ(editor.ColWidths(35 + j), kCharWidth + 1 + (j % 4 == 3 ? kCharWidth : 0)) << j;
    }
    editor.SetSeparateBlocksInCharField(false);
    EXPECT_EQ(editor.ColWidths(38), kCharWidth + 1);
}

TEST_F(HexLayoutTest, RulerUnitsWidenTheCharacterField) {
    editor.SetRulerBytesPerUnit(4);
    EXPECT_EQ(editor.ColWidths(38), 3 * kCharWidth / 2 + 1);
    EXPECT_EQ(editor.ColWidths(37), kCharWidth + 1);
}

TEST_F(HexLayoutTest, BytesPerRowKeepsCaretAndSelection) {
    Load(Counting(100));
    editor.MoveCaretToCell({7, 3}); // second digit of byte 18
    editor.SetSelectionFields(20, 20, 30);
    editor.SetBytesPerRow(8);
    EXPECT_EQ(editor.ColCount(), 27);
    EXPECT_EQ(editor.RowCount(), 2 + 13);
    EXPECT_EQ(editor.CaretCell(), (GridCell{2 + 2 * 2 + 1, 4}));
    EXPECT_EQ(editor.SelectionLower(), 20);
    EXPECT_EQ(editor.SelectionUpper(), 30);
}

TEST_F(HexLayoutTest, VisibleBytesFollowTheTopRow) {
    EXPECT_EQ(editor.FirstVisibleByte(), -1);
    EXPECT_EQ(editor.LastVisibleByte(), -1);
    Load(Counting(1000));
    EXPECT_EQ(editor.VisibleRowCount(), 10);
    EXPECT_EQ(editor.FirstVisibleByte(), 0);
    EXPECT_EQ(editor.LastVisibleByte(), 159);
    editor.SetTopRow(5);
    EXPECT_EQ(editor.FirstVisibleByte(), 48);
    EXPECT_EQ(editor.LastVisibleByte(), 207);
    editor.SetTopRow(1000);
    EXPECT_EQ(editor.TopRow(), editor.RowCount() - 10);
    EXPECT_EQ(editor.LastVisibleByte(), 999);
}

TEST_F(HexLayoutTest, CaretMovesPassTheCellRules) {
    EXPECT_FALSE(editor.FocusCell(5, 2, true)) << "an empty document keeps the caret on column 2";
    EXPECT_TRUE(editor.FocusCell(35, 2, true));
    Load(Counting(20));
    EXPECT_FALSE(editor.FocusCell(34, 2, true)) << "the separator is never current";
    EXPECT_FALSE(editor.FocusCell(40, 3, true)) << "beyond the end";
    EXPECT_EQ(editor.CaretCell(), (GridCell{38, 3}));
    editor.SetInsertMode(true);
    EXPECT_TRUE(editor.FocusCell(10, 3, true)) << "first digit after the end in insert mode";
    EXPECT_FALSE(editor.FocusCell(11, 3, true));
    EXPECT_EQ(editor.CaretCell(), (GridCell{10, 3}));
}

TEST_F(HexLayoutTest, CaretMovesRepaintTheMarkedCellsAndNotify) {
    Load(Counting(40));
    editor.DeliverSelectionChanged();
    view.invalidated.clear();
    view.posts = 0;
    editor.MoveCaretToCell({6, 3});
    EXPECT_EQ(view.caretMoves.back(), (GridCell{6, 3}));
    const auto has = [&](GridRect rect) {
        return std::find(view.invalidated.begin(), view.invalidated.end(), rect) !=
               view.invalidated.end();
    };
    EXPECT_TRUE(has({35, 2, 35, 2})) << "old mirror cell";
    EXPECT_TRUE(has({37, 3, 37, 3})) << "new mirror cell";
    EXPECT_TRUE(has({0, 3, 0, 3})) << "new gutter cell";
    EXPECT_EQ(view.posts, 1);
}

TEST_F(HexLayoutTest, CaretFieldSwitch) {
    EXPECT_FALSE(editor.CaretInCharField());
    editor.SetCaretInCharField(true);
    EXPECT_EQ(editor.CaretCell(), (GridCell{2, 2})) << "no switch in an empty document";
    Load(Counting(40));
    editor.MoveCaretToCell({9, 3});
    editor.SetCaretInCharField(true);
    EXPECT_EQ(editor.CaretCell(), (GridCell{38, 3}));
    EXPECT_TRUE(editor.CaretInCharField());
}

} // namespace quillon
