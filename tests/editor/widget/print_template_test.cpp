// Page header and footer templates: every placeholder and the percent signs left alone.
#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>
#include <QPainter>
#include <QTime>
#include <functional>
#include <string>

#include "editor/core/hex_editor_core.h"
#include "editor/widget/canvas_printer.h"
#include "print_test_support.h"

namespace quillon {
namespace {

class PrintTemplateTest : public ::testing::Test {
protected:
    PrintTemplateTest() : device(1000, 1000) {
        core.NewDocument("/home/user/phone dumps/seem 0117.bin");
        LoadBytes(core, Counting(48));
        core.SetBytesPerRow(16);
        canvas.begin(&device);
        canvas.setFont(print_test::TestFont());
    }

    // The document has three rows; one line per page gives three pages.
    std::string Expand(const std::string& pageTemplate, std::int32_t page = 2) {
        const QFontMetrics metrics(canvas.font(), &device);
        const std::int32_t oneLine = metrics.height() * 2;
        HexCanvasPrinter printer(core, {}, {}, {}, {0, 0, 1000, oneLine}, {}, canvas);
        EXPECT_EQ(printer.PageCount(), 3);
        return printer.ExpandTemplate(QString::fromStdString(pageTemplate), page).toStdString();
    }

    HexEditorCore core;
    print_test::RecordingDevice device;
    QPainter canvas;
};

TEST_F(PrintTemplateTest, PlaceholdersOfTheDocumentAndPage) {
    struct Case {
        const char* pageTemplate;
        const char* expanded;
    };
    for (const Case& expansion : {
             Case{"%F", "/home/user/phone dumps/seem 0117.bin"},
             Case{"%f", "seem 0117.bin"},
             Case{"Page %p of %P", "Page 2 of 3"},
             Case{"%<|%>", "WIN|Windows"},
             Case{"100%%", "100%%"},
             Case{"50%", "50%"},
             Case{"%%p", "%%p"},
             Case{"%x%y", "%x%y"},
             Case{"%", "%"},
             Case{"", ""},
             Case{"Стр. %p/%P", "Стр. 2/3"},
             Case{"%Ж", "%Ж"},
         }) {
        EXPECT_EQ(Expand(expansion.pageTemplate), expansion.expanded) << expansion.pageTemplate;
    }
}

TEST_F(PrintTemplateTest, FileNameWithoutFolder) {
    core.NewDocument("dump.bin");
    LoadBytes(core, Counting(48));
    EXPECT_EQ(Expand("%F %f"), "dump.bin dump.bin");
}

TEST_F(PrintTemplateTest, TranslationNames) {
    struct Case {
        std::function<void(HexEditorCore&)> setUp;
        const char* expanded;
    };
    const auto translation = [](HexTranslationKind kind) {
        return [kind](HexEditorCore& core) {
            core.SetTranslation(kind);
        };
    };
    for (const Case& names : {
             Case{translation(HexTranslationKind::tkDos8), "DOS Dos 8 Bit"},
             Case{translation(HexTranslationKind::tkASCII), "ASC ASCII 7 Bit"},
             Case{translation(HexTranslationKind::tkMac), "MAC Macintosh"},
             Case{translation(HexTranslationKind::tkBCD), "BCD EBCDIC Codepage 38"},
             Case{translation(HexTranslationKind::tkCustom), "Cust Custom Translation"},
             Case{[](HexEditorCore& core) { core.SetUnicodeChars(true); }, "UC Unicode"},
             Case{[](HexEditorCore& core) {
                      core.SetUnicodeChars(true);
                      core.SetUnicodeBigEndian(true);
                  },
                  "UBE Unicode Big Endian"},
         }) {
        core.SetUnicodeChars(false);
        core.SetUnicodeBigEndian(false);
        core.SetTranslation(HexTranslationKind::tkAsIs);
        names.setUp(core);
        EXPECT_EQ(Expand("%< %>"), names.expanded);
    }
}

TEST_F(PrintTemplateTest, DateAndTimeInTheSystemsForm) {
    const QLocale locale = QLocale::system();
    const auto now = [&] {
        return locale.toString(QDate::currentDate(), QLocale::ShortFormat) + "|" +
               locale.toString(QTime::currentTime(), QLocale::ShortFormat);
    };
    const QString before = now();
    const std::string expanded = Expand("%d|%t");
    const QString after = now();
    EXPECT_TRUE(expanded == before.toStdString() || expanded == after.toStdString()) << expanded;
}

} // namespace
} // namespace quillon
