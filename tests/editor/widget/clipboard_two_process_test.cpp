// Clipboard exchange between two programs on one X server. The clipboard of the offscreen
// platform lives inside one process, so each case runs the two peers under xvfb-run.
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "clipboard_test_support.h"

namespace quillon {
namespace {

struct PeerRun {
    bool finished = false;
    int exitCode = -1;
    QString output;
};

// One xvfb-run per case; each test process starts its search for a free display elsewhere, so
// that cases running in parallel do not race for the same one.
PeerRun RunPeers(const QStringList& sourceRole, const QStringList& readerRole) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString firstDisplay = QString::number(100 + ::getpid() % 5000);
    process.start(QStringLiteral("xvfb-run"),
                  QStringList{"-a", "-n", firstDisplay, QStringLiteral(QUILLON_CLIPBOARD_PEER)} +
                      sourceRole + QStringList{"--"} + readerRole);
    PeerRun run;
    run.finished = process.waitForFinished(120000);
    run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return run;
}

class TwoProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
            << "xvfb-run (package xvfb) is needed for clipboard tests between processes";
    }

    static void ExpectOutput(const QStringList& sourceRole, const QStringList& readerRole,
                             const QString& expected) {
        const PeerRun run = RunPeers(sourceRole, readerRole);
        ASSERT_TRUE(run.finished) << run.output.toStdString();
        EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_EQ(run.output, expected);
    }
};

TEST_F(TwoProcessTest, BytesCopiedInQuillonPasteWholeIntoAnotherQuillon) {
    ExpectOutput({"copy-bytes", "00ff41cf0a0d00", "image.rom"}, {"paste"}, "bytes 00ff41cf0a0d00");
}

TEST_F(TwoProcessTest, ATextEditorGetsTheBytesUpToTheFirstZeroAsText) {
    ExpectOutput({"copy-bytes", "cff041000042", "image.rom"}, {"read-text"},
                 "text " + QString::fromLatin1(QByteArray("ПрA").toHex()));
}

TEST_F(TwoProcessTest, AFileManagerGetsTheDumpFile) {
    ExpectOutput({"copy-bytes", "0001feff", "/data/image.rom"}, {"read-files"},
                 "file Dump of image.bin 0001feff");
}

TEST_F(TwoProcessTest, ASelectionDraggedToAFolderBecomesTheDumpFileThere) {
    const TempFolder folder;
    ExpectOutput({"drag-bytes", "0001feff", "/data/image.rom"},
                 {"drop-folder", QString::fromStdString(folder.Path().string())},
                 "file Dump of image.bin 0001feff\ndrag copy\ndocument 0001feff");
    EXPECT_TRUE(
        QFile::exists(QString::fromStdString(folder.Path().string()) + "/Dump of image.bin"));
}

// The platform's own drag loop, which the offscreen platform does not run.
TEST_F(TwoProcessTest, ADragInsideTheDocumentMovesTheBytesAndOneUndoTakesItBack) {
    ExpectOutput({"drag-inside", "001122334455"}, {"idle"},
                 "drag move\ndocument 003344551122\nundone 001122334455");
}

TEST_F(TwoProcessTest, AFileCopiedInAFileManagerPastesItsBytes) {
    const TempFolder folder;
    const std::string file = WriteFile(folder.File("seem.bin"), {0x00, 0x42, 0xFF});
    ExpectOutput({"copy-files", QString::fromStdString(file)}, {"paste"}, "bytes 0042ff");
}

TEST_F(TwoProcessTest, TextFromATextEditorIsRefusedByTheMainWindowsEditor) {
    ExpectOutput({"copy-text", "hello"}, {"paste"}, "refused");
}

} // namespace
} // namespace quillon
