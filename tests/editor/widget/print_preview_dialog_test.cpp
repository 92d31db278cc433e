// The print preview as a user drives it: paging, margins, templates, font and printing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPicture>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/print_preview_dialog.h"
#include "editor/widget/hex_editor_ex.h"
#include "editor/widget/print_device.h"
#include "print_test_support.h"

namespace quillon {
namespace {

bool SamePicture(const QPicture& shown, const QPicture& rendered) {
    return shown.size() == rendered.size() &&
           std::equal(shown.data(), shown.data() + shown.size(), rendered.data());
}

// What the user sees written on a control.
QString Caption(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        return group->title();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    return {};
}

// Runs `answer` on the next modal window once `action` has opened it.
void AnswerModal(const std::function<void(QWidget*)>& answer, const std::function<void()>& action) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
    action();
}

class PrintPreviewDialogTest : public ::testing::Test {
protected:
    PrintPreviewDialogTest() {
        SetCurrentPrinter(MakePdfPrinter());
        editor = std::make_unique<HexEditorEx>();
        editor->SetFont(QFont("Liberation Mono", 10));
        dialog = std::make_unique<PrintPreviewDialog>(*editor);
    }
    ~PrintPreviewDialogTest() override {
        dialog.reset();
        editor.reset();
        SetCurrentPrinter(nullptr);
    }

    template <typename Widget = QWidget> Widget* Find(const char* name) const {
        auto* widget = dialog->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString PageLabel() const { return Find<QLabel>("sSpinEdit1Label")->text(); }
    const QPicture& Shown() const { return Find<PrintViewImage>("PrintView")->Picture(); }
    bool ShowsPage(int page) const { return SamePicture(Shown(), *editor->RenderPage(page)); }

    // A document of several pages of 10 point lines, offsets of four hexadecimal digits.
    void LoadPages() {
        editor->Core().SetOffsetFormat("1%4!10:|");
        LoadBytes(editor->Core(), Counting(16 * 200));
    }

    std::unique_ptr<HexEditorEx> editor;
    std::unique_ptr<PrintPreviewDialog> dialog;
};

TEST_F(PrintPreviewDialogTest, FormControlsWithTheirCaptionsAndHints) {
    EXPECT_EQ(dialog->windowTitle(), "Предварительный просмотр");
    struct Control {
        const char* name;
        const char* caption;
        const char* hint;
    };
    for (const Control& control : {
             Control{"sGroupBox1", "Просмотр", ""},
             Control{"sGroupBox2", "", ""},
             Control{"sGroupBox3", "Вид", ""},
             Control{"sGroupBox4", "Отступ", ""},
             Control{"sGroupBox5", "Текст", ""},
             Control{"sGroupBox6", "Шрифт", ""},
             Control{"sSpinEdit1Label", "Страница [1/1]", ""},
             Control{"sBitBtn1", "Показать", "Показать страницу"},
             Control{"sBitBtn2", "Печать", ""},
             Control{"sBitBtn3", "Выбрать", "Изменить текущий шрифт"},
             Control{"bClose", "Закрыть", ""},
             Control{"sCheckBox1", "На весь экран", "На весь экран"},
             Control{"sCheckBox2", "Пропорционально", "Пропорционально"},
             Control{"sSpinEdit2Label", "Слева", ""},
             Control{"sSpinEdit3Label", "Справа", ""},
             Control{"sSpinEdit5Label", "Сверху", ""},
             Control{"sSpinEdit4Label", "Снизу", ""},
             Control{"sSpinEdit2", "", "Отступ слева"},
             Control{"sSpinEdit3", "", "Отступ справа"},
             Control{"sSpinEdit5", "", "Отступ сверху"},
             Control{"sSpinEdit4", "", "Отступ снизу"},
             Control{"eHeaderLabel", "Текст сверху", ""},
             Control{"eFooterLabel", "Тект снизу", ""},
             Control{"sSpeedButton1", "", "Установить текст сверху страницы"},
             Control{"sSpeedButton2", "", "Установить текст снизу страницы"},
             Control{"lPrintFont", "Имя:\r\nРазмер:\r\nСтиль:", ""},
         }) {
        QWidget* widget = Find(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(Caption(widget), control.caption) << control.name;
        EXPECT_EQ(widget->toolTip(), control.hint) << control.name;
    }
    EXPECT_TRUE(Find<QPushButton>("sBitBtn2")->font().bold());
    const auto* page = Find<QSpinBox>("sSpinEdit1");
    EXPECT_EQ(page->minimum(), 1);
    EXPECT_EQ(page->maximum(), 65535);
    EXPECT_EQ(page->value(), 1);
    int tag = 1;
    for (const char* margin : {"sSpinEdit2", "sSpinEdit3", "sSpinEdit5", "sSpinEdit4"}) {
        EXPECT_EQ(Find(margin)->property("Tag").toInt(), tag++) << margin;
        EXPECT_EQ(Find<QSpinBox>(margin)->minimum(), 0) << "margins are never negative";
    }
    EXPECT_EQ(Find<QFontDialog>("FontDialog1")->currentFont().pointSize(), 8);
    EXPECT_FALSE(Find<PrintViewImage>("PrintView")->Stretch());
    EXPECT_FALSE(Find<PrintViewImage>("PrintView")->Proportional());
}

TEST_F(PrintPreviewDialogTest, AnEmptyDocumentHasNoPageToShow) {
    dialog->show();
    EXPECT_EQ(PageLabel(), "Страница [0/0]");
    EXPECT_EQ(Find<QSpinBox>("sSpinEdit1")->value(), 0);
    EXPECT_FALSE(Find("sGroupBox2")->isEnabled());
    EXPECT_TRUE(Find("bClose")->isEnabled());
    EXPECT_TRUE(Shown().isNull());
}

TEST_F(PrintPreviewDialogTest, OpeningShowsPageOneAndThePageSpinEditPages) {
    LoadPages();
    const int pages = editor->PageCount();
    ASSERT_GE(pages, 3);
    dialog->show();
    auto* page = Find<QSpinBox>("sSpinEdit1");
    EXPECT_EQ(page->maximum(), pages);
    EXPECT_EQ(page->value(), 1);
    EXPECT_EQ(PageLabel(), QString("Страница [1/%1]").arg(pages));
    EXPECT_TRUE(Find("sGroupBox2")->isEnabled());
    EXPECT_TRUE(ShowsPage(1));

    page->setValue(3);
    EXPECT_EQ(PageLabel(), QString("Страница [3/%1]").arg(pages));
    EXPECT_TRUE(ShowsPage(3));

    // Enter shows the page again with whatever changed meanwhile.
    editor->PrintOptions().SetPageHeader("changed behind the form");
    QTest::keyClick(page, Qt::Key_Return);
    EXPECT_TRUE(ShowsPage(3));
    EXPECT_TRUE(dialog->isVisible()) << "Enter in the form presses no button";
}

TEST_F(PrintPreviewDialogTest, OpeningTakesTheMarginsWithoutChangingThem) {
    LoadPages();
    HexPrintOptions& options = editor->PrintOptions();
    options.SetMarginLeft(11);
    options.SetMarginTop(12);
    options.SetMarginRight(13);
    options.SetMarginBottom(14);
    const HexPrintOptions before = options;
    dialog->show();
    EXPECT_EQ(Find<QSpinBox>("sSpinEdit2")->value(), 11);
    EXPECT_EQ(Find<QSpinBox>("sSpinEdit5")->value(), 12);
    EXPECT_EQ(Find<QSpinBox>("sSpinEdit3")->value(), 13);
    EXPECT_EQ(Find<QSpinBox>("sSpinEdit4")->value(), 14);
    EXPECT_EQ(options, before);
}

TEST_F(PrintPreviewDialogTest, EachMarginSpinEditSetsItsMarginAndTheCountFollows) {
    LoadPages();
    dialog->show();
    struct Case {
        const char* name;
        std::int32_t (HexPrintOptions::*margin)() const;
    };
    for (const Case& margin : {Case{"sSpinEdit2", &HexPrintOptions::MarginLeft},
                               Case{"sSpinEdit3", &HexPrintOptions::MarginRight},
                               Case{"sSpinEdit5", &HexPrintOptions::MarginTop},
                               Case{"sSpinEdit4", &HexPrintOptions::MarginBottom}}) {
        Find<QSpinBox>(margin.name)->setValue(40);
        EXPECT_EQ((editor->PrintOptions().*margin.margin)(), 40) << margin.name;
        EXPECT_TRUE(ShowsPage(1)) << margin.name;
    }
    const int pagesBefore = editor->PageCount();
    Find<QSpinBox>("sSpinEdit5")->setValue(120);
    const int pagesAfter = editor->PageCount();
    EXPECT_GT(pagesAfter, pagesBefore);
    EXPECT_EQ(PageLabel(), QString("Страница [1/%1]").arg(pagesAfter));

    // Margins that leave no room for a line: no pages, and the last picture stays.
    const QPicture last = Shown();
    Find<QSpinBox>("sSpinEdit4")->setValue(300);
    EXPECT_EQ(PageLabel(), "Страница [1/0]");
    EXPECT_TRUE(SamePicture(Shown(), last));
}

TEST_F(PrintPreviewDialogTest, TemplatesApplyOnEnterOrTheirButtonOnly) {
    LoadPages();
    dialog->show();
    struct Case {
        const char* edit;
        const char* button;
        const QString& (HexPrintOptions::*text)() const;
    };
    for (const Case& text : {Case{"eHeader", "sSpeedButton1", &HexPrintOptions::PageHeader},
                             Case{"eFooter", "sSpeedButton2", &HexPrintOptions::PageFooter}}) {
        auto* edit = Find<QLineEdit>(text.edit);
        QTest::keyClicks(edit, "Page %p");
        EXPECT_EQ((editor->PrintOptions().*text.text)(), "") << "typing alone applies nothing";
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ((editor->PrintOptions().*text.text)(), "Page %p");
        EXPECT_TRUE(ShowsPage(1));
        EXPECT_TRUE(dialog->isVisible());

        edit->setText("%f, стр. %p");
        Find<QToolButton>(text.button)->click();
        EXPECT_EQ((editor->PrintOptions().*text.text)(), "%f, стр. %p");
        EXPECT_TRUE(ShowsPage(1));
    }
}

TEST_F(PrintPreviewDialogTest, TheChosenFontBecomesThePrintFont) {
    LoadPages();
    dialog->show();
    const auto choose = [](const QFont& font) {
        return [font](QWidget* modal) {
            auto* fontDialog = qobject_cast<QFontDialog*>(modal);
            ASSERT_NE(fontDialog, nullptr);
            fontDialog->setCurrentFont(font);
            fontDialog->accept();
        };
    };
    AnswerModal(choose(QFont("Liberation Mono", 14)),
                [&] { Find<QPushButton>("sBitBtn3")->click(); });
    EXPECT_EQ(editor->PrintFont().font.family(), "Liberation Mono");
    EXPECT_EQ(editor->PrintFont().font.pointSize(), 14);
    EXPECT_FALSE(editor->UseEditorFontForPrinting());
    EXPECT_EQ(Find<QLabel>("lPrintFont")->text(),
              "Имя:Liberation Mono\r\nРазмер:14\r\nСтиль:Uncknow");
    EXPECT_TRUE(ShowsPage(1));

    // The dialog starts from its own last choice, whatever the print font is now.
    HexFont other = editor->PrintFont();
    other.font = QFont("DejaVu Sans Mono", 9);
    editor->SetPrintFont(other);
    QFont offered;
    AnswerModal(
        [&](QWidget* modal) {
            auto* fontDialog = qobject_cast<QFontDialog*>(modal);
            ASSERT_NE(fontDialog, nullptr);
            offered = fontDialog->currentFont();
            fontDialog->reject();
        },
        [&] { Find<QPushButton>("sBitBtn3")->click(); });
    EXPECT_EQ(offered.family(), "Liberation Mono");
    EXPECT_EQ(offered.pointSize(), 14);
    EXPECT_EQ(editor->PrintFont().font.family(), "DejaVu Sans Mono") << "cancel changes nothing";
}

class PrintToPdfTest : public PrintPreviewDialogTest {
protected:
    void PrintAnswering(const std::function<void(QFileDialog*)>& answer) {
        AnswerModal(
            [answer](QWidget* modal) {
                auto* files = qobject_cast<QFileDialog*>(modal);
                ASSERT_NE(files, nullptr);
                EXPECT_EQ(files->objectName(), "PdfFileDialog");
                answer(files);
            },
            [&] { Find<QPushButton>("sBitBtn2")->click(); });
    }
    static void Save(QFileDialog* files, const QString& fileName) {
        files->selectFile(fileName);
        static_cast<QDialog*>(files)->accept();
    }

    QTemporaryDir folder;
};

TEST_F(PrintToPdfTest, WithoutAPrinterThePageOnViewGoesToTheChosenPdfFile) {
    LoadPages();
    dialog->show();
    Find<QSpinBox>("sSpinEdit1")->setValue(2);
    const QString fileName = folder.filePath("page two.pdf");
    PrintAnswering([&](QFileDialog* files) { Save(files, fileName); });

    QProcess text;
    text.start("pdftotext", {"-layout", fileName, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_FALSE(printed.contains("0000:")) << "page 1 was not printed";
    EXPECT_EQ(printed.count('\f'), 1) << "one page per job";
    const qsizetype firstOffset = printed.indexOf(':');
    ASSERT_GE(firstOffset, 4);
    const QString offset = printed.mid(firstOffset - 4, 4);
    EXPECT_EQ(offset.toInt(nullptr, 16) % 16, 0) << offset.toStdString();
    EXPECT_GT(offset.toInt(nullptr, 16), 0);
}

TEST_F(PrintToPdfTest, CancellingTheFileDialogPrintsNothing) {
    LoadPages();
    dialog->show();
    PrintAnswering([](QFileDialog* files) { files->reject(); });
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(PrintToPdfTest, AFileThatCannotBeWrittenIsReported) {
    LoadPages();
    dialog->show();
    QString message;
    PrintAnswering([&](QFileDialog* files) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            message = box->text();
            box->accept();
        });
        Save(files, folder.filePath("no such folder/page.pdf"));
    });
    EXPECT_TRUE(message.startsWith("Ошибка \r\n")) << message.toStdString();
    EXPECT_TRUE(message.contains("page.pdf")) << message.toStdString();
}

TEST_F(PrintPreviewDialogTest, ViewCheckBoxesStretchAndKeepProportions) {
    LoadPages();
    dialog->resize(700, 700);
    dialog->show();
    auto* view = Find<PrintViewImage>("PrintView");
    const QRect page = Shown().boundingRect();
    // Unstretched, the A4 page (the whole sheet of the PDF printer) keeps its paper size.
    constexpr double kMillimetresPerInch = 25.4;
    EXPECT_EQ(view->DestRect().topLeft(), QPointF(0, 0));
    EXPECT_NEAR(view->DestRect().width() / view->logicalDpiX() * kMillimetresPerInch, 210, 0.5);
    EXPECT_NEAR(view->DestRect().height() / view->logicalDpiY() * kMillimetresPerInch, 297, 0.5);

    Find<QCheckBox>("sCheckBox1")->setChecked(true);
    EXPECT_TRUE(view->Stretch());
    EXPECT_EQ(view->DestRect(), QRectF(view->rect()));

    Find<QCheckBox>("sCheckBox2")->setChecked(true);
    EXPECT_TRUE(view->Proportional());
    const QRectF kept = view->DestRect();
    EXPECT_NEAR(kept.width() / kept.height(), double(page.width()) / page.height(), 0.01);
    EXPECT_TRUE(QRectF(view->rect()).contains(kept));
}

TEST(PrintViewImageTest, DestinationFollowsStretchAndProportional) {
    QPicture picture;
    picture.setBoundingRect(QRect(0, 0, 400, 800));
    struct Case {
        bool stretch;
        bool proportional;
        QSize client;
        QRectF expected;
    };
    for (const Case& view : {
             Case{false, false, {200, 200}, {0, 0, 400, 800}},
             Case{true, false, {200, 200}, {0, 0, 200, 200}},
             Case{true, true, {200, 200}, {0, 0, 100, 200}},
             Case{false, true, {200, 200}, {0, 0, 100, 200}},
             Case{false, true, {1000, 1000}, {0, 0, 400, 800}},
             Case{true, true, {1000, 1000}, {0, 0, 500, 1000}},
         }) {
        PrintViewImage image;
        image.resize(view.client);
        image.SetPicture(picture);
        image.SetStretch(view.stretch);
        image.SetProportional(view.proportional);
        EXPECT_EQ(image.DestRect(), view.expected) << view.stretch << view.proportional;
    }
}

TEST_F(PrintPreviewDialogTest, CloseClosesTheForm) {
    dialog->show();
    Find<QPushButton>("bClose")->click();
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
} // namespace quillon
