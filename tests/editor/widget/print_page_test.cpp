// Page layout of the canvas printer: lines per page, page count, what a page shows and how.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "editor/core/hex_editor_core.h"
#include "editor/widget/canvas_printer.h"
#include "print_test_support.h"

namespace quillon {
namespace {

using print_test::DrawnText;
using print_test::PrintedLines;
using print_test::RecordingDevice;

constexpr HexPrintFlags kNoFlags = 0;
constexpr std::int32_t kLeft = 10;
constexpr std::int32_t kTop = 20;

class PrintPageTest : public ::testing::Test {
protected:
    PrintPageTest() : device(4000, 4000) {
        core.SetOffsetFormat("1%4!10:|");
        canvas.begin(&device);
        canvas.setFont(print_test::TestFont());
        const QFontMetrics metrics(canvas.font(), &device);
        charWidth = metrics.horizontalAdvance(u'w');
        ascent = metrics.ascent();
        lineHeight = static_cast<std::int32_t>(std::lround(metrics.height() * 1.2));
        if (lineHeight == metrics.height()) {
            ++lineHeight;
        }
    }

    void LoadText(const std::string& text, std::int32_t bytesPerRow, std::int32_t bytesPerColumn) {
        LoadBytes(core, {text.begin(), text.end()});
        core.SetBytesPerRow(bytesPerRow);
        core.SetBytesPerColumn(bytesPerColumn);
    }

    // A print area as wide as the device and `lines` line heights high.
    PageRect AreaOfLines(double lines) const {
        return {kLeft, kTop, kLeft + 3000,
                kTop + static_cast<std::int32_t>(std::lround(lines * lineHeight))};
    }

    HexCanvasPrinter Printer(const PageRect& area, HexPrintFlags flags, const QString& header = {},
                             const QString& footer = {}) {
        return HexCanvasPrinter(core, look, header, footer, area, flags, canvas);
    }

    std::vector<std::string> Drawn(const print_test::Projection& project = {}) const {
        return PrintedLines(Texts(), kLeft, charWidth, project);
    }
    const std::vector<DrawnText>& Texts() const { return device.Engine().texts; }

    HexEditorCore core;
    PrintLook look;
    RecordingDevice device;
    QPainter canvas;
    std::int32_t charWidth = 0;
    std::int32_t ascent = 0;
    std::int32_t lineHeight = 0;
};

struct CountCase {
    const char* name;
    std::int32_t bytes;
    double linesFitting;
    const char* header;
    const char* footer;
    std::int32_t linesPerPage;
    std::int32_t pages;
};

void PrintTo(const CountCase& count, std::ostream* out) {
    *out << count.name;
}

class PageCountTest : public PrintPageTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(PageCountTest, LinesPerPageAndPageCount) {
    const CountCase& count = GetParam();
    LoadBytes(core, Counting(count.bytes));
    const HexCanvasPrinter printer =
        Printer(AreaOfLines(count.linesFitting), kNoFlags, count.header, count.footer);
    EXPECT_EQ(printer.LinesPerPage(), count.linesPerPage);
    EXPECT_EQ(printer.PageCount(), count.pages);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, PageCountTest,
    ::testing::Values(CountCase{"Empty", 0, 5.5, "", "", -1, 0},
                      CountCase{"OneRowMeasuresOneLine", 16, 5.5, "", "", 1, 1},
                      CountCase{"ExactlyOnePage", 80, 5.5, "", "", 5, 1},
                      CountCase{"OneByteMore", 81, 5.5, "", "", 5, 2},
                      CountCase{"AreaOfWholeLines", 160, 4.0, "", "", 4, 3},
                      CountCase{"HeaderTakesTwoLines", 112, 5.5, "h", "", 3, 3},
                      CountCase{"FooterTakesOne", 112, 5.5, "", "f", 4, 2},
                      CountCase{"HeaderAndFooter", 112, 5.5, "h", "f", 2, 4},
                      CountCase{"NotOneLineFits", 112, 0.9, "", "", 0, 0},
                      CountCase{"HeaderLeavesNoRoom", 112, 2.5, "%p", "", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintPageTest, PagesFollowEachOtherAndBlankThePastTheEnd) {
    LoadText("ABCDEFGHIJ", 4, 4);
    HexCanvasPrinter printer = Printer(AreaOfLines(2.5), kNoFlags);
    ASSERT_EQ(printer.PageCount(), 2);
    EXPECT_EQ(printer.DrawPage(false, 1), 2);
    EXPECT_EQ(Drawn(), (std::vector<std::string>{"0000: 41424344  ABCD", "0004: 45464748  EFGH"}));
    device.Engine().texts.clear();
    EXPECT_EQ(printer.DrawPage(false, 2), 1);
    EXPECT_EQ(Drawn(), (std::vector<std::string>{"0008: 494A      IJ"}));
    EXPECT_EQ(printer.DrawPage(false, 3), -1);
}

TEST_F(PrintPageTest, SelectionOnlyPrintsTheSelectedBytes) {
    LoadText(std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), 4, 4);
    core.SelectRange(5, 5);
    HexCanvasPrinter single = Printer(AreaOfLines(2.5), HexPrintFlag::pfSelectionOnly);
    EXPECT_EQ(single.LinesPerPage(), 2);
    EXPECT_EQ(single.PageCount(), 1);
    EXPECT_EQ(single.DrawPage(false, 1), 1);
    EXPECT_EQ(Drawn(), (std::vector<std::string>{"0005: 46        F"}));

    device.Engine().texts.clear();
    core.SelectRange(11, 3); // two pages of two lines and one byte more
    HexCanvasPrinter longer = Printer(AreaOfLines(2.5), HexPrintFlag::pfSelectionOnly);
    EXPECT_EQ(longer.PageCount(), 2);
    EXPECT_EQ(longer.DrawPage(false, 2), 1);
    EXPECT_EQ(Drawn(), (std::vector<std::string>{"000B: 4C        L"}));
}

TEST_F(PrintPageTest, SelectionOnlyWithoutASelectionPrintsTheDocument) {
    LoadText("ABCDEFGHIJ", 4, 4);
    const HexCanvasPrinter printer =
        Printer(AreaOfLines(2.5), EffectivePrintFlags(HexPrintFlag::pfSelectionOnly, 0));
    EXPECT_EQ(printer.PageCount(), 2);
}

TEST_F(PrintPageTest, CurrentViewOnlyPrintsTheVisibleRows) {
    LoadText(std::string(40, 'x'), 4, 4);
    core.SetFontMetrics(8, 14);
    core.SetViewportSize(400, 3 * core.RowHeight());
    core.SetTopRow(3);
    ASSERT_EQ(core.FirstVisibleByte(), 4);
    ASSERT_EQ(core.LastVisibleByte(), 15);

    HexCanvasPrinter printer = Printer(AreaOfLines(2.5), HexPrintFlag::pfCurrentViewOnly);
    EXPECT_EQ(printer.LinesPerPage(), 2);
    EXPECT_EQ(printer.PageCount(), 2);
    printer.DrawPage(false, 2);
    EXPECT_EQ(Drawn(), (std::vector<std::string>{"000C: 78787878  xxxx"}));

    const HexCanvasPrinter roomy = Printer(AreaOfLines(10), HexPrintFlag::pfCurrentViewOnly);
    EXPECT_EQ(roomy.LinesPerPage(), 3);
    EXPECT_EQ(roomy.PageCount(), 1);

    core.SelectRange(30, 33);
    const HexCanvasPrinter selected =
        Printer(AreaOfLines(10), HexPrintFlag::pfCurrentViewOnly | HexPrintFlag::pfSelectionOnly);
    EXPECT_EQ(selected.PageCount(), 1);
}

std::string BoldMask(const DrawnText& drawn) {
    return std::string(static_cast<std::size_t>(drawn.text.size()), drawn.font.bold() ? '#' : '-');
}

TEST_F(PrintPageTest, SelectedBytesAndTheCaretRowOffsetPrintBold) {
    LoadText("ABCDEFGH", 4, 4);
    core.MoveCaretTo(0, 0);
    core.SelectRange(1, 2);
    QFont italic = canvas.font();
    italic.setItalic(true);
    canvas.setFont(italic);
    Printer(AreaOfLines(3), HexPrintFlag::pfSelectionBold).DrawPage(false, 1);
    EXPECT_EQ(Drawn(BoldMask),
              (std::vector<std::string>{"##### --####--  -##-", "----- --------  ----"}));
    for (const DrawnText& drawn : Texts()) {
        EXPECT_FALSE(drawn.font.italic()) << "bold printing draws without any other style";
    }
    EXPECT_TRUE(canvas.font().italic()) << "the canvas font comes back";
}

TEST_F(PrintPageTest, NothingIsBoldWhenOnlyTheSelectionPrints) {
    LoadText("ABCDEFGH", 4, 4);
    core.SelectRange(1, 6);
    Printer(AreaOfLines(3), HexPrintFlag::pfSelectionBold | HexPrintFlag::pfSelectionOnly)
        .DrawPage(false, 1);
    EXPECT_EQ(Drawn(BoldMask),
              (std::vector<std::string>{"----- --------  ----", "----- ----      --"}));
}

TEST_F(PrintPageTest, ColourClassesUnlessMonochrome) {
    LoadText("ABCD", 4, 2);
    core.MoveCaretTo(3, 0);
    look = {QColor(Qt::yellow), QColor(Qt::red), QColor(Qt::blue), QColor(Qt::green),
            QColor(Qt::magenta)};
    const auto colorCodes = [](const DrawnText& drawn) {
        const QColor color = drawn.color;
        const char code = color == Qt::red       ? 'o'
                          : color == Qt::green   ? 'd'
                          : color == Qt::blue    ? 'e'
                          : color == Qt::magenta ? 'f'
                          : color == Qt::black   ? 'k'
                                                 : '?';
        return std::string(static_cast<std::size_t>(drawn.text.size()), code);
    };
    Printer(AreaOfLines(3), kNoFlags).DrawPage(false, 1);
    EXPECT_EQ(Drawn(colorCodes), (std::vector<std::string>{"ooooo dddd eeee  ffff"}));

    device.Engine().texts.clear();
    Printer(AreaOfLines(3), HexPrintFlag::pfMonochrome).DrawPage(false, 1);
    EXPECT_EQ(Drawn(colorCodes), (std::vector<std::string>{"kkkkk kkkk kkkk  kkkk"}));
}

TEST_F(PrintPageTest, PaperIsWhiteUnlessTheBackgroundColourIsAskedForInColour) {
    LoadText("ABCD", 4, 2);
    look.background = QColor(Qt::cyan);
    const PageRect area = AreaOfLines(3);
    const QRectF areaRect(area.left, area.top, area.right - area.left, area.bottom - area.top);
    struct Case {
        HexPrintFlags flags;
        QColor paper;
    };
    for (const Case& paper :
         {Case{kNoFlags, Qt::white}, Case{HexPrintFlag::pfUseBackgroundColor, Qt::cyan},
          Case{HexPrintFlag::pfUseBackgroundColor | HexPrintFlag::pfMonochrome, Qt::white}}) {
        device.Engine().rects.clear();
        Printer(area, paper.flags).DrawPage(false, 1);
        ASSERT_EQ(device.Engine().rects.size(), 1U);
        EXPECT_EQ(device.Engine().rects[0].rect, areaRect);
        EXPECT_EQ(device.Engine().rects[0].color, paper.paper);
    }
}

TEST_F(PrintPageTest, HeaderAndFooterSitInTheirPlacesWithRules) {
    core.NewDocument("/home/user/dump.bin");
    LoadText(std::string(12, 'x'), 4, 4);
    const PageRect area = AreaOfLines(4);
    HexCanvasPrinter printer = Printer(area, kNoFlags, "%f|Page %p of %P|right", "foot");
    ASSERT_EQ(printer.LinesPerPage(), 1);
    ASSERT_EQ(printer.PageCount(), 3);
    ASSERT_EQ(printer.DrawPage(false, 2), 1);
    EXPECT_EQ(printer.HeaderText(), "dump.bin|Page 2 of 3|right");

    const QFontMetrics metrics(canvas.font(), &device);
    const auto at = [&](const QString& text) {
        for (const DrawnText& drawn : Texts()) {
            if (drawn.text == text) {
                return drawn.position;
            }
        }
        ADD_FAILURE() << text.toStdString() << " was not drawn";
        return QPointF();
    };
    const double headerBaseline = area.top + ascent;
    const double centre = area.left + (area.right - area.left) / 2;
    EXPECT_EQ(at("dump.bin"), QPointF(area.left, headerBaseline));
    EXPECT_EQ(at("Page 2 of 3"),
              QPointF(centre - metrics.horizontalAdvance("Page 2 of 3") / 2, headerBaseline));
    EXPECT_EQ(at("right"),
              QPointF(area.right - metrics.horizontalAdvance("right"), headerBaseline));
    EXPECT_EQ(at("foot"), QPointF(area.left, area.bottom - lineHeight + ascent));
    EXPECT_EQ(at("4"), QPointF(area.left + 3 * charWidth, area.top + 2 * lineHeight + ascent))
        << "the first line of the page stands two line heights below the header";
    EXPECT_EQ(
        device.Engine().lines,
        (std::vector<QLineF>{
            QLineF(area.left, area.top + lineHeight, area.right, area.top + lineHeight),
            QLineF(area.left, area.bottom - lineHeight, area.right, area.bottom - lineHeight)}));
}

TEST_F(PrintPageTest, WideLinesShrinkTheFontForThePageOnly) {
    LoadText(std::string(640, 'x'), 16, 2);
    const std::int32_t lineWidth = 70 * charWidth;
    PageRect area = AreaOfLines(4);
    const std::int32_t fullSizeLines = Printer(area, kNoFlags).LinesPerPage();
    area.right = area.left + lineWidth / 2;
    HexCanvasPrinter narrow = Printer(area, kNoFlags);
    EXPECT_GT(narrow.LinesPerPage(), fullSizeLines);
    narrow.DrawPage(false, 1);
    ASSERT_FALSE(Texts().empty());
    const int shrunk = Texts().front().font.pixelSize();
    EXPECT_LT(shrunk, 10);
    EXPECT_GT(shrunk, 1);
    EXPECT_EQ(canvas.font().pixelSize(), 10);

    device.Engine().texts.clear();
    area.right = area.left + 1;
    Printer(area, kNoFlags).DrawPage(false, 1);
    ASSERT_FALSE(Texts().empty());
    EXPECT_EQ(Texts().front().font.pixelSize(), 1);
    EXPECT_EQ(canvas.font().pixelSize(), 10);
}

} // namespace
} // namespace quillon
