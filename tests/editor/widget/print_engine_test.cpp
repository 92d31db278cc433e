// The editor's page operations on the current printer: print area, errors, page pictures and
// what reaches a PDF file.
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <regex>
#include <string>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_error.h"
#include "editor/widget/print_device.h"
#include "editor/widget/print_engine.h"
#include "print_test_support.h"

namespace quillon {
namespace {

::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "\"" << part << "\" not in:\n" << text;
}

// An A4 page at 300 dpi: 2479 x 3508 pixels.
class PrintEngineTest : public ::testing::Test {
protected:
    PrintEngineTest() {
        SetCurrentPrinter(MakePdfPrinter());
        core.SetOffsetFormat("1%4!10:|");
    }
    ~PrintEngineTest() override { SetCurrentPrinter(nullptr); }

    PrintSource Source() { return {core, look, QFont("Liberation Mono", 10), options}; }
    std::int32_t PageCount() { return RenderPage(Source(), 0).pageCount; }

    std::string MessageOfPaint(std::int32_t page) {
        print_test::RecordingDevice device(100, 100);
        QPainter canvas(&device);
        try {
            PaintPage(Source(), canvas, page, GetPrintArea(options));
        } catch (const EHexEditor& error) {
            return error.what();
        }
        return {};
    }

    // The text pdftotext finds in a PDF file, laid out as on the page or word by word with
    // bounding boxes in points.
    static std::string PdfText(const QString& fileName, const QString& mode) {
        QProcess process;
        process.start("pdftotext", {mode, fileName, "-"});
        EXPECT_TRUE(process.waitForFinished(30000));
        return process.readAllStandardOutput().toStdString();
    }

    // xMin, yMin and yMax of a word in pdftotext's box listing.
    static std::smatch WordBox(const std::string& boxes, const std::string& word) {
        static const std::regex box(
            R"re(xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="[0-9.]+" yMax="([0-9.]+)">([^<]*)<)re");
        for (auto it = std::sregex_iterator(boxes.begin(), boxes.end(), box);
             it != std::sregex_iterator(); ++it) {
            if ((*it)[4] == word) {
                return *it;
            }
        }
        return {};
    }

    HexEditorCore core;
    PrintLook look;
    HexPrintOptions options;
};

TEST_F(PrintEngineTest, PrintAreaIsThePageLessTheMarginsInPrinterPixels) {
    ASSERT_EQ(CurrentPrinter().width(), 2479);
    ASSERT_EQ(CurrentPrinter().height(), 3508);
    EXPECT_EQ(GetPrintArea(options), (PageRect{236, 177, 2479 - 295, 3508 - 295}));
    options.SetMarginLeft(0);
    options.SetMarginBottom(1);
    EXPECT_EQ(GetPrintArea(options), (PageRect{0, 177, 2479 - 295, 3508 - 12}));
}

TEST_F(PrintEngineTest, MarginsWiderThanThePageLeaveNoPages) {
    LoadBytes(core, Counting(100));
    options.SetMarginTop(150);
    options.SetMarginBottom(150);
    EXPECT_EQ(PageCount(), 0);
    options.SetMarginLeft(2000000000);
    EXPECT_EQ(PageCount(), 0);
    EXPECT_EQ(MessageOfPaint(1), "Invalid Page Index");
}

TEST_F(PrintEngineTest, PageIndexErrors) {
    EXPECT_EQ(MessageOfPaint(-1), "Invalid Page Index");
    EXPECT_EQ(MessageOfPaint(0), "") << "page 0 only counts, also in an empty document";
    EXPECT_EQ(MessageOfPaint(1), "Invalid Page Index");
    LoadBytes(core, Counting(16));
    EXPECT_EQ(MessageOfPaint(1), "");
    EXPECT_EQ(MessageOfPaint(2), "Invalid Page Index");
}

TEST_F(PrintEngineTest, APageThatDrawsNoLineFails) {
    // An offset text that widens only the first line: the page count is measured with the font
    // shrunk for it, while page 2 keeps the full size, at which not one line fits.
    LoadBytes(core, Counting(32));
    core.OnGetOffsetText = [](std::int64_t number, std::string& text) {
        text = number == 0 ? std::string(40, '0') : "1";
    };
    print_test::RecordingDevice device(4000, 4000);
    QPainter canvas(&device);
    canvas.setFont(print_test::TestFont(20));
    const QFontMetrics metrics(canvas.font(), &device);
    const std::int32_t narrowLineWidth = 60 * metrics.horizontalAdvance(u'w');
    const PageRect area{0, 0, narrowLineWidth, metrics.height()};
    EXPECT_EQ(PaintPage(Source(), canvas, 1, area), 2);
    try {
        PaintPage(Source(), canvas, 2, area);
        ADD_FAILURE() << "page 2 drew a line";
    } catch (const EHexEditor& error) {
        EXPECT_STREQ(error.what(), "Printing Failed");
    }
}

TEST_F(PrintEngineTest, TimersRunWhileAPageRenders) {
    LoadBytes(core, Counting(4096));
    bool rendering = false;
    bool firedWhileRendering = false;
    QTimer::singleShot(0, [&] { firedWhileRendering = rendering; });
    rendering = true;
    RenderPage(Source(), 1);
    rendering = false;
    EXPECT_TRUE(firedWhileRendering);
}

TEST_F(PrintEngineTest, RenderedPageHasThePrinterPageSize) {
    LoadBytes(core, Counting(4096));
    const RenderedPage rendered = RenderPage(Source(), 2);
    EXPECT_EQ(rendered.picture->boundingRect(), QRect(0, 0, 2479, 3508));
    EXPECT_GT(rendered.pageCount, 2);
    EXPECT_THROW(RenderPage(Source(), rendered.pageCount + 1), EHexEditor);
}

TEST_F(PrintEngineTest, PdfOfAPageShowsItsLinesAtTheFontSize) {
    core.NewDocument("/tmp/sample.bin");
    const std::string bytes = "Quillon prints hex pages.";
    LoadBytes(core, {bytes.begin(), bytes.end()});
    options.SetPageHeader("%f||Page %p of %P");
    QTemporaryDir folder;
    folder.setAutoRemove(qEnvironmentVariableIsEmpty("QUILLON_KEEP_PDF"));
    const QString fileName = folder.filePath("page.pdf");
    qInfo("PDF: %s", qPrintable(fileName));
    PrintPicture(*RenderPage(Source(), 1).picture, *MakePdfPrinter(fileName));

    QFile pdf(fileName);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    const std::string text = PdfText(fileName, "-layout");
    EXPECT_TRUE(Contains(text, "sample.bin"));
    EXPECT_TRUE(Contains(text, "Page 1 of 1"));
    EXPECT_TRUE(Contains(text, "0000: 5175 696C 6C6F 6E20 7072 696E 7473 2068"));
    EXPECT_TRUE(Contains(text, "Quillon prints h"));
    EXPECT_TRUE(Contains(text, "0010: 6578 2070 6167 6573 2E"));

    // The page keeps the physical sizes: a 20 mm left margin and a 10 point font.
    const std::string boxes = PdfText(fileName, "-bbox");
    const std::smatch word = WordBox(boxes, "0000:");
    ASSERT_FALSE(word.empty()) << boxes;
    EXPECT_NEAR(std::stod(word[1]), 20 / 25.4 * 72, 0.5);
    EXPECT_NEAR(std::stod(word[3]) - std::stod(word[2]), 10 * 1.15, 1.5);
}

} // namespace
} // namespace quillon
