// Copy, cut and paste through the clipboard of one process.
#include <fcntl.h>
#include <unistd.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include "clipboard_test_support.h"
#include "editor/core/hex_error.h"
#include "editor/core/undo_storage.h"
#include "editor/widget/clipboard_placement.h"
#include "editor/widget/hex_data_object.h"

namespace quillon {
namespace {

QByteArray EditorBlock(const ByteVector& bytes) {
    return MakeEditorBlock(ToQBytes(bytes));
}

// The bytes of the editor block on the clipboard; none when it holds no block.
ByteVector ClipboardBlock() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr ? MediumToBytes(data->data(kEditorBlockMime), EditorClipFormat, false)
                           : ByteVector();
}

void PutText(const QString& text) {
    auto* data = new QMimeData;
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

void PutFiles(const QStringList& paths) {
    QGuiApplication::clipboard()->setMimeData(FileListData(paths).release());
}

QStringList ListedFormats(const FormatSelDialog& dialog) {
    const auto* list = dialog.findChild<QListWidget*>(QStringLiteral("FormatList"));
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        names.append(list->item(i)->text());
    }
    return names;
}

void SelectRow(FormatSelDialog& dialog, int row) {
    dialog.findChild<QListWidget*>(QStringLiteral("FormatList"))->setCurrentRow(row);
}

QCheckBox& HexTextBox(FormatSelDialog& dialog) {
    return *dialog.findChild<QCheckBox*>(QStringLiteral("HexTextBox"));
}

void PressOk(FormatSelDialog& dialog) {
    dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
}

using ExchangeTest = ClipboardTest;

TEST_F(ExchangeTest, CopyAndPasteCarryEveryByteValue) {
    ByteVector all(256);
    for (int i = 0; i < 256; ++i) {
        all[i] = static_cast<std::uint8_t>(255 - i);
    }
    Load(all);
    Select(0, 255);
    ASSERT_TRUE(exchange->CopyToClipboard());
    EXPECT_TRUE(exchange->OwnsClipboard());

    HexEditorCore other;
    other.SetFontMetrics(8, 14);
    other.SetViewportSize(1000, 400);
    ClipboardExchange otherExchange(other, nullptr);
    LoadBytes(other, kFour);
    other.MoveCaretToCell(other.PositionToCell(2, false));
    const FormatDialogAnswer noDialog([](FormatSelDialog& dialog) { dialog.reject(); });
    ASSERT_TRUE(otherExchange.PasteFromClipboard());
    EXPECT_FALSE(noDialog.Seen()) << "the editor block wins over text without asking";

    ByteVector expected{0x00, 0x11};
    expected.insert(expected.end(), all.begin(), all.end());
    expected.insert(expected.end(), {0x22, 0x33});
    EXPECT_EQ(DocumentBytes(other), expected);
    EXPECT_EQ(other.UndoStorage().CurrentDescription(), "Paste from Clipboard");
}

TEST_F(ExchangeTest, CopiedTextIsTheSelectionUpToItsFirstZero) {
    Load({0xCF, 0xF0, 0x00, 0x41}, "/data/image.rom");
    Select(0, 3);
    ASSERT_TRUE(exchange->CopyToClipboard());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Пр");

    exchange->SetClipboardAsHexText(true);
    core.SetSwapNibbles(true);
    ASSERT_TRUE(exchange->CopyToClipboard());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "FC0F0014");
    const QList<QUrl> urls = QGuiApplication::clipboard()->mimeData()->urls();
    ASSERT_EQ(urls.size(), 1);
    EXPECT_TRUE(urls.front().toLocalFile().endsWith("/Dump of image.bin"));
}

TEST_F(ExchangeTest, BlockAndTextTogetherPasteTheBlockWhateverTheOtherFormats) {
    for (const bool others : {false, true}) {
        Load(kFour);
        exchange->SetSupportsOtherClipFormats(others);
        auto* data = new QMimeData;
        data->setText(QStringLiteral("text"));
        data->setData(kEditorBlockMime, EditorBlock({0xEE}));
        QGuiApplication::clipboard()->setMimeData(data);
        CaretTo(0);
        const FormatDialogAnswer noDialog([](FormatSelDialog& dialog) { dialog.reject(); });
        ASSERT_TRUE(exchange->PasteFromClipboard());
        EXPECT_FALSE(noDialog.Seen());
        EXPECT_EQ(Bytes(), (ByteVector{0xEE, 0x00, 0x11, 0x22, 0x33}));
    }
}

TEST_F(ExchangeTest, TextIsRefusedWhileOtherFormatsAreNotSupported) {
    Load(kFour);
    exchange->SetSupportsOtherClipFormats(false);
    PutText(QStringLiteral("AB"));
    EXPECT_FALSE(exchange->CanPaste());
    EXPECT_FALSE(exchange->PasteFromClipboard());
    EXPECT_EQ(Bytes(), kFour);

    exchange->SetSupportsOtherClipFormats(true);
    EXPECT_TRUE(exchange->CanPaste());
    EXPECT_EQ(exchange->ChosenFormat(ClipUse::Paste), CF_TEXT);
}

TEST_F(ExchangeTest, AFileListPastesTheFirstFilesContents) {
    const TempFolder folder;
    const std::string first = WriteFile(folder.File("first.bin"), {0xF1, 0x00, 0xF2});
    const std::string second = WriteFile(folder.File("second.bin"), {0x99});
    Load(kFour);
    exchange->SetSupportsOtherClipFormats(false);
    PutFiles({QString::fromStdString(first), QString::fromStdString(second)});
    ASSERT_TRUE(exchange->CanPaste());
    CaretTo(1);
    ASSERT_TRUE(exchange->PasteFromClipboard());
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0xF1, 0x00, 0xF2, 0x11, 0x22, 0x33}));
}

TEST_F(ExchangeTest, AFileThatCannotBeOpenedRaisesTheOpenErrorAndChangesNothing) {
    Load(kFour);
    PutFiles({QStringLiteral("/nonexistent/quillon.bin")});
    ASSERT_TRUE(exchange->CanPaste());
    try {
        exchange->PasteFromClipboard();
        ADD_FAILURE() << "raised nothing";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open /nonexistent/quillon.bin.\r\n(No such file or directory.)");
    }
    EXPECT_EQ(Bytes(), kFour);
}

TEST_F(ExchangeTest, AFileNoDocumentCanHoldIsRefusedAsTooLarge) {
    const TempFolder folder;
    const std::string huge = WriteFile(folder.File("huge.bin"), {});
    const int fd = ::open(huge.c_str(), O_WRONLY);
    ASSERT_EQ(::ftruncate(fd, std::int64_t{3} << 30), 0);
    ::close(fd);
    Load(kFour);
    PutFiles({QString::fromStdString(huge)});
    try {
        exchange->PasteFromClipboard();
        ADD_FAILURE() << "raised nothing";
    } catch (const EHexEditor& error) {
        EXPECT_EQ(std::string(error.what()), "Data too large");
    }
    EXPECT_EQ(Bytes(), kFour);
}

TEST_F(ExchangeTest, ALinkDropInsertsTheFileNamesEachEndedByZero) {
    Load(kFour);
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a")),
                   QUrl::fromLocalFile(QStringLiteral("/tmp/Пб"))});
    const std::unique_ptr<QMimeData> owned(data);
    ASSERT_TRUE(exchange->FindAcceptedFormat(*data, ClipUse::Drop));
    Qt::DropAction effect = Qt::LinkAction;
    DropSite site{0, false, false};
    ASSERT_TRUE(exchange->InsertFromDataObject(*data, ClipUse::Drop, effect, &site));
    const ByteVector names{'/', 't', 'm', 'p', '/', 'a', 0, '/', 't', 'm', 'p', '/', 0xCF, 0xE1, 0};
    ByteVector expected = names;
    expected.insert(expected.end(), kFour.begin(), kFour.end());
    EXPECT_EQ(Bytes(), expected);
    EXPECT_EQ(effect, Qt::LinkAction);
}

struct ForeignBlockCase {
    const char* name;
    QString mime;
    QByteArray medium;
};

void PrintTo(const ForeignBlockCase& c, std::ostream* out) {
    *out << c.name;
}

class ForeignBlockTest : public ClipboardTest,
                         public ::testing::WithParamInterface<ForeignBlockCase> {};

TEST_P(ForeignBlockTest, ABlockThatDoesNotFitIsRefusedAndChangesNothing) {
    Load(kFour);
    exchange->SetSupportsOtherClipFormats(true);
    PutOnClipboard(GetParam().mime, GetParam().medium);
    EXPECT_TRUE(exchange->CanPaste());
    EXPECT_FALSE(exchange->PasteFromClipboard());
    EXPECT_EQ(Bytes(), kFour);
    EXPECT_FALSE(core.CanUndo());
}

INSTANTIATE_TEST_SUITE_P(
    Mended, ForeignBlockTest,
    ::testing::Values(ForeignBlockCase{"EditorBlockLongerThanItsData", kEditorBlockMime,
                                       EditorBlock({1, 2}).left(13)},
                      ForeignBlockCase{"EditorBlockOfAnotherVersion", kEditorBlockMime,
                                       EditorBlock({1, 2}).replace(4, 1, "\x02")},
                      ForeignBlockCase{"RegEditLongerThanItsData", "application/x-regedit-hexdata",
                                       QByteArray("\x09\x00\x00\x00\x01", 5)},
                      ForeignBlockCase{"LocaleOfOneByte", "application/x-windows-locale", "\x19"}),
    CaseName());

struct HexTextCase {
    const char* name;
    QString text;
    bool swapNibbles;
    ByteVector bytes;
};

void PrintTo(const HexTextCase& c, std::ostream* out) {
    *out << c.name;
}

class HexTextPasteTest : public ClipboardTest, public ::testing::WithParamInterface<HexTextCase> {};

TEST_P(HexTextPasteTest, PastesTheDigitPairs) {
    const HexTextCase& c = GetParam();
    exchange->SetClipboardAsHexText(true);
    core.SetSwapNibbles(c.swapNibbles);
    PutText(c.text);
    ASSERT_TRUE(exchange->CanPaste());
    const FormatDialogAnswer ok([](FormatSelDialog& dialog) {
        EXPECT_TRUE(HexTextBox(dialog).isChecked());
        PressOk(dialog);
    });
    ASSERT_TRUE(exchange->PasteFromClipboard());
    EXPECT_TRUE(ok.Seen());
    EXPECT_EQ(Bytes(), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HexTextPasteTest,
    ::testing::Values(HexTextCase{"LineBreaksAreSkipped", "41 42\r\n43", false, {0x41, 0x42, 0x43}},
                      HexTextCase{"AnythingBetweenTheDigitsOfAPair", "4 1", false, {0x41}},
                      HexTextCase{"ALoneLastDigitIsDropped", "414", false, {0x41}},
                      HexTextCase{"EitherCase", "aBcd", false, {0xAB, 0xCD}},
                      HexTextCase{"LowDigitFirst", "1424", true, {0x41, 0x42}}),
    CaseName());

TEST_F(ExchangeTest, TextWithoutADigitPairPastesNothing) {
    exchange->SetClipboardAsHexText(true);
    PutText(QStringLiteral("x4"));
    const FormatDialogAnswer ok([](FormatSelDialog& dialog) { PressOk(dialog); });
    EXPECT_FALSE(exchange->PasteFromClipboard());
    EXPECT_EQ(core.DataLength(), 0);
}

TEST_F(ExchangeTest, TheDialogListsTheOfferedTextFormatsAndPreselectsTheLastChoice) {
    PutText(QStringLiteral("Ж"));
    const FormatDialogAnswer first([](FormatSelDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Select Data Format");
        EXPECT_EQ(ListedFormats(dialog), (QStringList{"Text", "Unicode Text", "OEM Text"}));
        EXPECT_EQ(dialog.SelectedFormat(), CF_TEXT);
        SelectRow(dialog, 2);
        PressOk(dialog);
    });
    ASSERT_TRUE(exchange->PasteFromClipboard());
    EXPECT_EQ(Bytes(), (ByteVector{0x86}));
    EXPECT_EQ(LastChosenFormat(), CF_OEMTEXT);

    CaretTo(0);
    const FormatDialogAnswer second([](FormatSelDialog& dialog) {
        EXPECT_EQ(dialog.SelectedFormat(), CF_OEMTEXT);
        SelectRow(dialog, 1);
        PressOk(dialog);
    });
    ASSERT_TRUE(exchange->PasteFromClipboard());
    EXPECT_TRUE(second.Seen());
    EXPECT_EQ(Bytes(), (ByteVector{0x16, 0x04, 0x86}));
}

TEST_F(ExchangeTest, HexTextCanBeTickedOnlyForTextAndChangesTheProperty) {
    PutText(QStringLiteral("4142"));
    const FormatDialogAnswer answer([](FormatSelDialog& dialog) {
        EXPECT_TRUE(HexTextBox(dialog).isEnabled());
        SelectRow(dialog, 1);
        EXPECT_FALSE(HexTextBox(dialog).isEnabled()) << "Unicode Text";
        SelectRow(dialog, 0);
        EXPECT_TRUE(HexTextBox(dialog).isEnabled());
        HexTextBox(dialog).setChecked(true);
        PressOk(dialog);
    });
    ASSERT_TRUE(exchange->PasteFromClipboard());
    EXPECT_TRUE(exchange->ClipboardAsHexText());
    EXPECT_EQ(Bytes(), (ByteVector{0x41, 0x42}));
}

TEST_F(ExchangeTest, CancellingTheDialogRefusesThePaste) {
    Load(kFour);
    PutText(QStringLiteral("AB"));
    const FormatDialogAnswer cancel([](FormatSelDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(exchange->PasteFromClipboard());
    EXPECT_TRUE(cancel.Seen());
    EXPECT_EQ(Bytes(), kFour);
    EXPECT_EQ(LastChosenFormat(), -1);
}

TEST_F(ExchangeTest, TheDialogIsAQuarterOfTheScreen) {
    const FormatSelDialog dialog({CF_TEXT, CF_OEMTEXT}, false, nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(dialog.size(), QSize(screen.width() / 4, screen.height() / 4));
    const auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OkButton"));
    const auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"));
    EXPECT_EQ(ok->geometry().left(), 16);
    EXPECT_EQ(cancel->geometry().right() + 1, dialog.width() - 16);
    EXPECT_EQ(ok->width(), dialog.width() / 2 - 32);
    EXPECT_EQ(ok->geometry().bottom() + 1, dialog.height() - 8);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_TRUE(ok->isEnabled());
}

TEST_F(ExchangeTest, PastedLengthsAreRoundedDownToWholeUnits) {
    core.SetBytesPerUnit(2);
    PutOnClipboard(kEditorBlockMime, EditorBlock({0xA1, 0xA2, 0xA3}));
    ASSERT_TRUE(exchange->PasteFromClipboard());
    EXPECT_EQ(Bytes(), (ByteVector{0xA1, 0xA2}));

    PutOnClipboard(kEditorBlockMime, EditorBlock({0xB1}));
    EXPECT_FALSE(exchange->PasteFromClipboard());
    EXPECT_EQ(Bytes(), (ByteVector{0xA1, 0xA2}));
}

TEST_F(ExchangeTest, WhileTheSizeIsLockedPasteOverwritesUpToTheEnd) {
    Load({0, 1, 2, 3, 4, 5});
    core.SetNoSizeChange(true);
    CaretTo(4);
    PutOnClipboard(kEditorBlockMime, EditorBlock({0xA1, 0xA2, 0xA3, 0xA4}));
    ASSERT_TRUE(exchange->PasteFromClipboard());
    EXPECT_EQ(Bytes(), (ByteVector{0, 1, 2, 3, 0xA1, 0xA2}));
}

TEST_F(ExchangeTest, WhatMayBeCopiedCutAndPasted) {
    PutOnClipboard(kEditorBlockMime, EditorBlock({0xA1}));
    EXPECT_FALSE(exchange->CanCopy()) << "empty document";
    EXPECT_TRUE(exchange->CanPaste());
    core.SetNoSizeChange(true);
    EXPECT_FALSE(exchange->CanPaste()) << "empty document with a locked size";
    core.SetNoSizeChange(false);

    Load(kFour);
    CaretTo(1);
    EXPECT_FALSE(exchange->CanCopy()) << "no selection";
    EXPECT_FALSE(exchange->CanCut());
    EXPECT_FALSE(exchange->CopyToClipboard());
    Select(1, 2);
    EXPECT_TRUE(exchange->CanCopy());
    EXPECT_TRUE(exchange->CanCut());

    core.SetReadOnlyView(true);
    EXPECT_TRUE(exchange->CanCopy());
    EXPECT_FALSE(exchange->CanCut());
    EXPECT_FALSE(exchange->CanPaste());
    EXPECT_FALSE(exchange->CutToClipboard());
    EXPECT_EQ(Bytes(), kFour);
    core.SetReadOnlyView(false);

    core.SetNoSizeChange(true);
    EXPECT_FALSE(exchange->CanCut());
    EXPECT_TRUE(exchange->CanPaste());
}

TEST_F(ExchangeTest, CutCopiesThenDeletesAsOneNamedStep) {
    Load(kFour);
    Select(1, 2);
    ASSERT_TRUE(exchange->CutToClipboard());
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x33}));
    EXPECT_EQ(core.UndoStorage().CurrentDescription(), "Cut to Clipboard");
    EXPECT_EQ(ClipboardBlock(), (ByteVector{0x11, 0x22}));
    ASSERT_TRUE(core.Undo());
    EXPECT_EQ(Bytes(), kFour);
}

// Counts how often the clipboard is asked what it offers.
class CountingMimeData : public QMimeData {
public:
    explicit CountingMimeData(int& queries) : queries_(queries) {
        setData(kEditorBlockMime, EditorBlock({1}));
    }
    QStringList formats() const override {
        ++queries_;
        return QMimeData::formats();
    }

private:
    int& queries_;
};

TEST_F(ExchangeTest, CanPasteLooksAtTheClipboardOnlyAfterItChanged) {
    int queries = 0;
    QGuiApplication::clipboard()->setMimeData(new CountingMimeData(queries));
    EXPECT_TRUE(exchange->CanPaste());
    const int afterFirst = queries;
    EXPECT_GT(afterFirst, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(exchange->CanPaste());
    }
    EXPECT_EQ(queries, afterFirst);

    PutText(QStringLiteral("x"));
    exchange->SetSupportsOtherClipFormats(false);
    EXPECT_FALSE(exchange->CanPaste());
    PutOnClipboard(kEditorBlockMime, EditorBlock({1}));
    EXPECT_TRUE(exchange->CanPaste());
}

TEST_F(ExchangeTest, ReleasingTheClipboardEmptiesItOrLeavesTheCopy) {
    Load(kFour);
    Select(0, 1);
    ASSERT_TRUE(exchange->CopyToClipboard());
    exchange->ReleaseClipboard(true);
    EXPECT_TRUE(exchange->OwnsClipboard());
    exchange->ReleaseClipboard(false);
    EXPECT_FALSE(exchange->OwnsClipboard());
    EXPECT_TRUE(ClipboardBlock().empty());

    ASSERT_TRUE(exchange->CopyToClipboard());
    PutText(QStringLiteral("someone else's"));
    EXPECT_FALSE(exchange->OwnsClipboard());
    exchange->ReleaseClipboard(false);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "someone else's");
}

TEST_F(ExchangeTest, AtShutDownTheCopySurvivesOnlyWhenFlushed) {
    for (const bool flush : {false, true}) {
        Load(kFour);
        Select(1, 1);
        exchange->SetFlushClipboardAtShutDown(flush);
        ASSERT_TRUE(exchange->CopyToClipboard());
        exchange.reset();
        EXPECT_EQ(ClipboardBlock(), flush ? ByteVector{0x11} : ByteVector{});
        exchange = std::make_unique<ClipboardExchange>(core, nullptr);
    }
}

} // namespace
} // namespace quillon
