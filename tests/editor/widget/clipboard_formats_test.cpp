// Reading clipboard media into bytes, and what a MIME data object offers.
#include <QBuffer>
#include <QImage>
#include <QUrl>

#include "clipboard_test_support.h"
#include "editor/widget/clipboard_formats.h"
#include "editor/widget/hex_data_object.h"
#include "editor/widget/select_format_dialog.h"

namespace quillon {
namespace {

QByteArray Raw(std::initializer_list<int> bytes) {
    QByteArray raw;
    for (const int b : bytes) {
        raw.append(static_cast<char>(b));
    }
    return raw;
}

ByteVector Vec(std::initializer_list<int> bytes) {
    return ToBytes(Raw(bytes));
}

struct MediumCase {
    const char* name;
    ClipFormat format;
    QByteArray medium;
    bool bigEndian;
    ByteVector expected;
};

void PrintTo(const MediumCase& c, std::ostream* out) {
    *out << c.name;
}

class MediumToBytesTest : public ::testing::TestWithParam<MediumCase> {};

TEST_P(MediumToBytesTest, YieldsTheBytesWithinTheMedium) {
    const MediumCase& c = GetParam();
    EXPECT_EQ(MediumToBytes(c.medium, c.format, c.bigEndian), c.expected);
}

const QByteArray kBlockHeader = Raw({0x51, 0x48, 0x58, 0x42, 0x01, 0x00, 0x01, 0x00});

INSTANTIATE_TEST_SUITE_P(
    Formats, MediumToBytesTest,
    ::testing::Values(
        MediumCase{"EditorBlock", EditorClipFormat, kBlockHeader + Raw({2, 0, 0, 0, 0x01, 0x02}),
                   false, Vec({0x01, 0x02})},
        MediumCase{"EditorBlockReadsOnlyItsLength", EditorClipFormat,
                   kBlockHeader + Raw({1, 0, 0, 0, 0x01, 0x02}), false, Vec({0x01})},
        MediumCase{"EditorBlockLengthBeyondData",
                   EditorClipFormat,
                   kBlockHeader + Raw({5, 0, 0, 0, 0x01, 0x02}),
                   false,
                   {}},
        MediumCase{"EditorBlockNegativeLength",
                   EditorClipFormat,
                   kBlockHeader + Raw({0xFF, 0xFF, 0xFF, 0xFF, 0x01}),
                   false,
                   {}},
        MediumCase{"EditorBlockShorterThanHeader",
                   EditorClipFormat,
                   kBlockHeader + Raw({2, 0}),
                   false,
                   {}},
        MediumCase{"EditorBlockOtherSignature",
                   EditorClipFormat,
                   Raw({0x51, 0x48, 0x58, 0x43, 1, 0, 1, 0, 1, 0, 0, 0, 0x01}),
                   false,
                   {}},
        MediumCase{"EditorBlockOtherVersion",
                   EditorClipFormat,
                   Raw({0x51, 0x48, 0x58, 0x42, 2, 0, 1, 0, 1, 0, 0, 0, 0x01}),
                   false,
                   {}},
        MediumCase{"RegEdit", RegEditHexFormat, Raw({2, 0, 0, 0, 0xAA, 0xBB, 0xCC}), false,
                   Vec({0xAA, 0xBB})},
        MediumCase{
            "RegEditLengthBeyondData", RegEditHexFormat, Raw({3, 0, 0, 0, 0xAA, 0xBB}), false, {}},
        MediumCase{"RegEditShorterThanLength", RegEditHexFormat, Raw({1, 0}), false, {}},
        MediumCase{"TextEndsAtZero", CF_TEXT, QByteArray("AB\0CD", 5), false, Vec({'A', 'B'})},
        MediumCase{"TextWithoutTerminator", CF_TEXT, "AB", false, Vec({'A', 'B'})},
        MediumCase{"TextCyrillicToWindows1251", CF_TEXT, "Пр", false, Vec({0xCF, 0xF0})},
        MediumCase{"TextOutsideWindows1251", CF_TEXT, "a中", false, Vec({'a', '?'})},
        MediumCase{"OemTextToCp866", CF_OEMTEXT, "Пр─", false, Vec({0x8F, 0xE0, 0xC4})},
        MediumCase{"UnicodeLittleEndian", CF_UNICODETEXT, QByteArray("AЖ\0B", 5), false,
                   Vec({0x41, 0x00, 0x16, 0x04})},
        MediumCase{"UnicodeBigEndian", CF_UNICODETEXT, "AЖ", true, Vec({0x00, 0x41, 0x04, 0x16})},
        MediumCase{"RtfBytesAsTheyAre", RtfFormat, QByteArray("{\\rtf1 \\'e0}\0x", 14), false,
                   ToBytes("{\\rtf1 \\'e0}")},
        MediumCase{"DibGetsAFileHeader", CF_DIB, Raw({0x28, 0x00}), false,
                   Vec({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x28, 0x00})},
        MediumCase{"Palette", CF_PALETTE, Raw({0, 0, 1, 0, 1, 2, 3, 4, 9}), false,
                   Vec({0x00, 0x03, 1, 0, 1, 2, 3, 4})},
        MediumCase{"PaletteCountBeyondData", CF_PALETTE, Raw({0, 3, 2, 0, 1, 2, 3, 4}), false, {}},
        MediumCase{"PaletteWithoutEntries", CF_PALETTE, Raw({0, 3, 0, 0}), false, {}},
        MediumCase{"LocaleFirstTwoBytes", CF_LOCALE, Raw({0x19, 0x04, 0, 0}), false,
                   Vec({0x19, 0x04})},
        MediumCase{"LocaleShorterThanTwo", CF_LOCALE, Raw({0x19}), false, {}},
        MediumCase{"WaveWhole", CF_WAVE, Raw({'R', 0, 'F'}), false, Vec({'R', 0, 'F'})},
        MediumCase{"EmptyMetafile", CF_METAFILEPICT, QByteArray(), false, {}}),
    CaseName());

TEST(AcceptedFormats, EditorBlockAndFilesAlwaysOthersOnlyWhenSupported) {
    EXPECT_EQ(AcceptedFormats(false), (ClipFormats{EditorClipFormat, CF_HDROP}));
    EXPECT_EQ(AcceptedFormats(true),
              (ClipFormats{EditorClipFormat, CF_HDROP, CF_TEXT, RtfFormat, CF_UNICODETEXT,
                           CF_BITMAP, CF_PALETTE, CF_METAFILEPICT, CF_TIFF, CF_OEMTEXT, CF_DIB,
                           CF_RIFF, CF_WAVE, CF_ENHMETAFILE, CF_LOCALE, RegEditHexFormat}));
}

TEST(FormatDisplayName, FixedNamesRegisteredNamesAndNumbers) {
    EXPECT_EQ(FormatDisplayName(CF_TEXT), "Text");
    EXPECT_EQ(FormatDisplayName(CF_PALETTE), "Color Palete");
    EXPECT_EQ(FormatDisplayName(10), "Pen Data");
    EXPECT_EQ(FormatDisplayName(CF_LOCALE), "Text Locale");
    EXPECT_EQ(FormatDisplayName(RtfFormat), "Rich Text Format");
    EXPECT_EQ(FormatDisplayName(RegEditHexFormat), "RegEdit_HexData");
    EXPECT_EQ(FormatDisplayName(EditorClipFormat), "Quillon Hex Clipboard Format");
    EXPECT_EQ(FormatDisplayName(0xC123), "(49443)");
}

class FormatEnumTest : public ::testing::Test {
protected:
    static std::vector<ClipFormat> Offered(const QMimeData& data) {
        const FormatEnum offered(data);
        std::vector<ClipFormat> formats;
        for (const ClipFormat format : AcceptedFormats(true)) {
            if (offered.HasFormat(format)) {
                formats.push_back(format);
            }
        }
        return formats;
    }
};

TEST_F(FormatEnumTest, TextOffersTheThreeTextFormats) {
    QMimeData data;
    data.setText(QStringLiteral("x"));
    EXPECT_EQ(Offered(data), (ClipFormats{CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT}));
}

TEST_F(FormatEnumTest, OtherNamesOfAFormatAreRecognised) {
    QMimeData data;
    data.setData(QStringLiteral("application/rtf"), "{\\rtf1}");
    data.setData(QStringLiteral("audio/wav"), "RIFF");
    EXPECT_EQ(Offered(data), (ClipFormats{RtfFormat, CF_WAVE}));
    EXPECT_EQ(FormatEnum(data).FetchFormat(CF_WAVE), QByteArray("RIFF"));
    EXPECT_EQ(FormatEnum(data).FetchFormat(CF_TEXT), std::nullopt);
}

TEST_F(FormatEnumTest, AnImageOffersABitmapFileAndTheBitmapWithoutItsHeader) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QMimeData data;
    data.setImageData(image);
    EXPECT_EQ(Offered(data), (ClipFormats{CF_BITMAP, CF_DIB}));

    const FormatEnum offered(data);
    const std::optional<QByteArray> file = offered.FetchFormat(CF_BITMAP);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->startsWith("BM"));
    EXPECT_EQ(QImage::fromData(*file, "BMP").size(), QSize(3, 2));
    EXPECT_EQ(offered.FetchFormat(CF_DIB), file->mid(14));
}

TEST_F(FormatEnumTest, FileListsNameOnlyLocalFiles) {
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a"))});
    EXPECT_FALSE(FormatEnum(web).HasFormat(CF_HDROP));

    QMimeData mixed;
    mixed.setUrls({QUrl(QStringLiteral("https://example.org/a")),
                   QUrl::fromLocalFile(QStringLiteral("/tmp/b c"))});
    EXPECT_TRUE(FormatEnum(mixed).HasFormat(CF_HDROP));
    EXPECT_EQ(FormatEnum(mixed).FileNames(), QStringList{QStringLiteral("/tmp/b c")});

    QMimeData copied;
    copied.setData(QStringLiteral("x-special/gnome-copied-files"),
                   "copy\nfile:///tmp/one\nfile:///tmp/t%C3%A9\n");
    EXPECT_EQ(FormatEnum(copied).FileNames(),
              (QStringList{QStringLiteral("/tmp/one"), QStringLiteral("/tmp/té")}));
}

TEST_F(FormatEnumTest, OurOwnObjectOffersItsBlockFirstAndAFileList) {
    const HexDataObject object("ab", "x.rom", false, false);
    const std::vector<ClipFormat> offered = Offered(object);
    EXPECT_EQ(offered.front(), EditorClipFormat);
    EXPECT_TRUE(FormatEnum(object).HasFormat(CF_HDROP));
}

} // namespace
} // namespace quillon
