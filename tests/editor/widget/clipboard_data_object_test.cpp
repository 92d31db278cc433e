// The renderings of the editor's data object.
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "clipboard_test_support.h"
#include "editor/widget/clipboard_formats.h"
#include "editor/widget/hex_data_object.h"

namespace quillon {
namespace {

class DataObjectTest : public ::testing::Test {
protected:
    static QByteArray FileContents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
};

TEST_F(DataObjectTest, OffersBlockTextAndFileInThatOrder) {
    const HexDataObject object("ab", "x", false, false);
    EXPECT_EQ(object.formats(),
              (QStringList{"application/x-quillon-hex-block", "text/plain", "text/uri-list"}));
    EXPECT_TRUE(object.data(QStringLiteral("image/png")).isEmpty());
}

TEST_F(DataObjectTest, EditorBlockIsHeaderThenBytes) {
    const HexDataObject object(QByteArray("\x01\x02", 2), "x", false, false);
    const QByteArray block = object.data(kEditorBlockMime);
    EXPECT_EQ(ToBytes(block), (ByteVector{0x51, 0x48, 0x58, 0x42, 0x01, 0x00, 0x01, 0x00, 0x02,
                                          0x00, 0x00, 0x00, 0x01, 0x02}));
}

TEST_F(DataObjectTest, EditorBlockReadsBackUnchanged) {
    QByteArray bytes(300, '\0');
    for (int i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7);
    }
    const HexDataObject object(bytes, "x", true, true);
    EXPECT_EQ(MediumToBytes(object.data(kEditorBlockMime), EditorClipFormat, false),
              ToBytes(bytes));
}

struct TextCase {
    const char* name;
    QByteArray bytes;
    bool hexText;
    bool swapNibbles;
    QString text;
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.name;
}

class DataObjectTextTest : public DataObjectTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(DataObjectTextTest, RendersText) {
    const TextCase& c = GetParam();
    const HexDataObject object(c.bytes, "x", c.hexText, c.swapNibbles);
    EXPECT_EQ(object.text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Renderings, DataObjectTextTest,
    ::testing::Values(TextCase{"RawEndsAtFirstZero", QByteArray("\0AB", 3), false, false, ""},
                      TextCase{"RawWithoutZero", "AB", false, false, "AB"},
                      TextCase{"RawIsWindows1251", "\xCF\xF0", false, false, "Пр"},
                      TextCase{"Hex", QByteArray("\0AB", 3), true, false, "004142"},
                      TextCase{"HexSwapped", QByteArray("\0AB", 3), true, true, "001424"},
                      TextCase{"HexUpperCase", "\xAB\xCD", true, false, "ABCD"}),
    CaseName());

TEST(DumpFileName, FileNameLessItsExtension) {
    EXPECT_EQ(DumpFileName("image.rom"), "Dump of image.bin");
    EXPECT_EQ(DumpFileName("archive.tar.gz"), "Dump of archive.tar.bin");
    EXPECT_EQ(DumpFileName("seem"), "Dump of seem.bin");
    EXPECT_EQ(DumpFileName("Прошивка.smg"), "Dump of Прошивка.bin");
}

TEST(DumpFileName, LongNamesStayOneFileNameWithTheirExtension) {
    // The second stem is cut inside its last character's surrogate pair.
    for (const std::string& stem : {std::string(300, 'a'), std::string(240, 'a') + "😀"}) {
        const QString name = DumpFileName(stem + ".rom");
        EXPECT_LE(name.toUtf8().size(), 255);
        EXPECT_TRUE(name.startsWith("Dump of aaa"));
        EXPECT_TRUE(name.endsWith(".bin"));
        EXPECT_EQ(QString::fromUtf8(name.toUtf8()), name);
    }
}

TEST_F(DataObjectTest, FileListNamesTheDumpWithTheSelectedBytes) {
    const QByteArray bytes("\x00\xFFQ", 3);
    const HexDataObject object(bytes, "image.rom", false, false);
    EXPECT_EQ(object.DescriptorName(), "Dump of image.bin");

    const QList<QUrl> urls = object.urls();
    ASSERT_EQ(urls.size(), 1);
    const QFileInfo file(urls.front().toLocalFile());
    EXPECT_EQ(file.fileName(), "Dump of image.bin");
    EXPECT_EQ(FileContents(file.filePath()), bytes);
    EXPECT_EQ(object.urls(), urls) << "the file is written once";
    const QFileInfo dumps(QFileInfo(file.path()).path());
    EXPECT_EQ(dumps.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions())
        << "the dumps live in a private folder";
}

TEST_F(DataObjectTest, DumpsOfTheSameNameDoNotOverwriteEachOther) {
    const HexDataObject first("one", "image.rom", false, false);
    const HexDataObject second("two", "image.rom", false, false);
    const QString firstPath = first.urls().front().toLocalFile();
    const QString secondPath = second.urls().front().toLocalFile();
    EXPECT_NE(firstPath, secondPath);
    EXPECT_EQ(FileContents(firstPath), "one");
    EXPECT_EQ(FileContents(secondPath), "two");
}

} // namespace
} // namespace quillon
