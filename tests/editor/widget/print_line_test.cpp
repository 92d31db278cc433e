// The text and attributes of one printed line, for the layouts the screen grid can take.
#include <gtest/gtest.h>

#include <QPainter>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "editor/core/hex_editor_core.h"
#include "editor/widget/canvas_printer.h"
#include "print_test_support.h"

namespace quillon {
namespace {

using print_test::AttributeCodes;
using print_test::RecordingDevice;

struct LineCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::function<void(HexEditorCore&)> setUp;
    std::int32_t position;
    std::int32_t last;
    std::int32_t offsetWidth;
    std::string text;  // UTF-8
    std::string codes; // AttributeCodes, spaces between groups for the reader
};

void PrintTo(const LineCase& line, std::ostream* out) {
    *out << line.name;
}

std::vector<std::uint8_t> Text(const std::string& text) {
    return {text.begin(), text.end()};
}

void Layout(HexEditorCore& core, std::int32_t bytesPerRow, std::int32_t bytesPerColumn) {
    core.SetBytesPerRow(bytesPerRow);
    core.SetBytesPerColumn(bytesPerColumn);
}

const std::vector<LineCase>& LineCases() {
    static const std::vector<LineCase> cases{
        {"ShortLastRowOfColumnPairs", Text("ABCDEFGHIJKL"),
         [](HexEditorCore& core) {
             Layout(core, 8, 2);
             core.MoveCaretTo(0, 0);
         },
         8, 11, 4, "0008: 494A 4B4C " + std::string(11, ' ') + "IJKL    ",
         "000000 22222 11111 22222 1111 11 33333333"},
        {"CaretRowAndSelectionBold", Text("ABCDEFGH"),
         [](HexEditorCore& core) {
             Layout(core, 4, 1);
             core.MoveCaretTo(0, 0);
             core.SelectRange(1, 2);
         },
         0, 7, 4, "0000: 41 42 43 44  ABCD", "AAAAAA 222 BB1 CC2 11 11 3DD3"},
        {"BlocksAndRulerUnitsInBothFields", Text("ABCDEFGHIJKLMNOP"),
         [](HexEditorCore& core) {
             Layout(core, 8, 4);
             core.SetBytesPerBlock(2);
             core.SetRulerBytesPerUnit(4);
             core.MoveCaretTo(15, 0);
         },
         0, 15, 4, "0000: 4142 4344  4546 4748  AB CD  EF GH  ",
         "000000 22222 222222 11111 111111 33433443343344"},
        {"BlocksOnlyInTheHexField", Text("ABCD"),
         [](HexEditorCore& core) {
             Layout(core, 4, 4);
             core.SetBytesPerBlock(2);
             core.SetSeparateBlocksInCharField(false);
         },
         0, 3, 1, "0000: 4142 4344  ABCD", "AAAAAA 22222 2222 22 3333"},
        {"SwappedLowerCaseNibblesAndCodePage",
         {0xC0, 0x1F},
         [](HexEditorCore& core) {
             Layout(core, 2, 2);
             core.SetHexLowerCase(true);
             core.SetSwapNibbles(true);
         },
         0,
         1,
         1,
         "0000: 0cf1  \xD0\x90.",
         "AAAAAA 2222 22 33"},
        {"NoOffsetFormat", Text("AB"),
         [](HexEditorCore& core) {
             Layout(core, 2, 1);
             core.SetOffsetFormat("");
         },
         0, 1, 4, "41 42  AB", "22 2 11 11 33"},
        {"OffsetPaddedToTheWidestOffset", Text("ABCDEFGHIJ"),
         [](HexEditorCore& core) {
             Layout(core, 8, 8);
             core.SetOffsetFormat("1%!10:|");
             core.MoveCaretTo(0, 0);
         },
         8, 9, 2, " 8: 494A" + std::string(12, ' ') + "  IJ      ",
         "0000" + std::string(16, '2') + "22" + "33333333"},
        {"UnicodeLittleEndianAndPastTheEnd",
         {0x10, 0x04, 0x41, 0x00, 0x1F, 0x00},
         [](HexEditorCore& core) {
             Layout(core, 4, 2);
             core.SetUnicodeChars(true);
             core.MoveCaretTo(0, 0);
         },
         4,
         5,
         1,
         "0004: 1F00       . ",
         "000000 2222 2 1111 11 33"},
        {"UnicodeBigEndianWithBlocksAndRulerUnit",
         {0x10, 0x04, 0x41, 0x00, 0x00, 0x41, 0x00, 0x1F},
         [](HexEditorCore& core) {
             Layout(core, 8, 8);
             core.SetUnicodeChars(true);
             core.SetUnicodeBigEndian(true);
             core.SetBytesPerBlock(4);
             core.SetRulerBytesPerUnit(4);
             core.SelectRange(2, 3);
         },
         0,
         7,
         1,
         "0000: 10044100 0041001F  \xE1\x80\x84\xE4\x84\x80  A.  ",
         "AAAAAA 2222 CCCC 2 22222222 22 3D44 3344"},
    };
    return cases;
}

class PrintLineTest : public ::testing::TestWithParam<LineCase> {
protected:
    PrintLineTest() { core.SetOffsetFormat("1%4!10:|"); }

    TextWithAttr Build(const LineCase& line) {
        RecordingDevice device(2000, 1000);
        QPainter canvas(&device);
        canvas.setFont(print_test::TestFont());
        HexCanvasPrinter printer(core, look, {}, {}, {0, 0, 2000, 1000}, {}, canvas);
        return printer.BuildLine(line.position, line.last, line.offsetWidth);
    }

    HexEditorCore core;
    PrintLook look;
};

TEST_P(PrintLineTest, TextAndAttributes) {
    const LineCase& line = GetParam();
    LoadBytes(core, line.bytes);
    line.setUp(core);
    const TextWithAttr built = Build(line);
    EXPECT_EQ(built.text.toStdString(), line.text);
    std::string codes = line.codes;
    std::erase(codes, ' ');
    EXPECT_EQ(AttributeCodes(built.attributes), codes);
    EXPECT_EQ(built.attributes.size(), static_cast<std::size_t>(built.text.size()));
}

INSTANTIATE_TEST_SUITE_P(Layouts, PrintLineTest, ::testing::ValuesIn(LineCases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quillon
