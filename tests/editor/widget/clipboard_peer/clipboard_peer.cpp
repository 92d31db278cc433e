// Two programs sharing one X display, for the tests of clipboard exchange and drag and drop
// between processes.
//
//   clipboard_peer <source role...> -- <reader role...>
//
// The process takes the source role, then starts itself with the reader role on the same
// display, serves the clipboard (or runs its drag) until the reader is done, and prints what the
// reader printed, then what the source has to say.
//
// Source roles:  copy-bytes HEX NAME   a Quillon editor holding HEX copies all of it (NAME is
//                                      the document's file name)
//                drag-bytes HEX NAME   the same editor, shown, drags all of its bytes onto the
//                                      reader's window once that says "ready"; prints
//                                      "drag ACTION" and "document HEX" afterwards
//                drag-inside HEX       the editor drags bytes 1 and 2 behind its last byte;
//                                      prints "drag ACTION", "document HEX" and, after one
//                                      undo, "undone HEX"
//                copy-files PATH...    a file manager copies these files
//                copy-text TEXT        a text editor copies TEXT
// Reader roles:  paste                 an empty Quillon editor, configured as the main window's,
//                                      pastes; prints "bytes HEX" or "refused"
//                read-text             a text editor pastes; prints "text HEX" (UTF-8)
//                read-files            a file manager pastes; prints "file NAME HEX" per file
//                drop-folder DIR       a file manager's folder window: files dropped on it are
//                                      copied into DIR; prints "file NAME HEX" per file
//                idle                  says "ready" and ends
#include <algorithm>
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "editor/core/hex_memory_stream.h"
#include "editor/widget/hex_editor_ex.h"

namespace {

using quillon::HexEditorEx;

constexpr QRect kSourceWindow{0, 0, 480, 300};
constexpr QRect kReaderWindow{600, 0, 300, 300};

void Print(const QByteArray& line) {
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

QByteArray Hex(const HexEditorEx& editor) {
    const quillon::HexEditorCore& core = editor.Core();
    return QByteArray(reinterpret_cast<const char*>(core.Data()), core.DataLength()).toHex();
}

// An editor configured as the main window configures its own.
std::unique_ptr<HexEditorEx> NewEditor(const QByteArray& bytes, const QString& name) {
    auto editor = std::make_unique<HexEditorEx>();
    editor->SetSupportsOtherClipFormats(false);
    editor->SetFlushClipboardAtShutDown(true);
    editor->Core().NewDocument(name.toStdString());
    quillon::HexMemoryStream stream;
    stream.Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    editor->Core().LoadStream(stream);
    return editor;
}

// Shows the editor at the source's place, ready to drag its bytes.
bool ShowForDrag(HexEditorEx& editor) {
    editor.SetOleDragDrop(true);
    editor.setGeometry(kSourceWindow);
    editor.show();
    return QTest::qWaitForWindowExposed(&editor);
}

QPoint InWindow(HexEditorEx& editor, std::int32_t position) {
    const quillon::GridCell cell = editor.Core().PositionToCell(position, false);
    return editor.viewport()->mapTo(&editor, editor.CellRect(cell.col, cell.row).center());
}

// Drags bytes lower .. upper as a user's hand would: press on the first, move onto the next one,
// over the target, a pause while the target answers, then the button goes up.
Qt::DropAction Drag(HexEditorEx& editor, std::int32_t lower, std::int32_t upper,
                    const QPoint& globalTarget) {
    QWindow* window = editor.windowHandle();
    editor.Core().SelectRange(lower, upper);
    Qt::DropAction performed = Qt::IgnoreAction;
    editor.DragDrop().ExecDrag = [&](QDrag& drag) {
        const QPoint target = window->mapFromGlobal(globalTarget);
        QTimer::singleShot(200, [=] { QTest::mouseMove(window, target); });
        QTimer::singleShot(700, [=] { QTest::mouseMove(window, target + QPoint(1, 0)); });
        QTimer::singleShot(
            2000, [=] { QTest::mouseRelease(window, Qt::LeftButton, {}, target + QPoint(1, 0)); });
        performed = drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        return performed;
    };
    QTest::mousePress(window, Qt::LeftButton, {}, InWindow(editor, lower));
    QTest::mouseMove(window, InWindow(editor, lower + 1));
    return performed;
}

// Just behind the last byte of the editor, in screen coordinates.
QPoint BehindTheEnd(HexEditorEx& editor) {
    const std::int32_t last = editor.Core().DataLength() - 1;
    return editor.mapToGlobal(InWindow(editor, last) + QPoint(3 * editor.Core().CharWidth(), 0));
}

QByteArray ActionName(Qt::DropAction action) {
    switch (action) {
    case Qt::CopyAction:
        return "copy";
    case Qt::MoveAction:
        return "move";
    case Qt::LinkAction:
        return "link";
    default:
        return "none";
    }
}

// What the source role set up, kept until the reader is done.
struct Source {
    std::unique_ptr<HexEditorEx> editor;
    // Runs when the reader says "ready" and returns the source's own lines.
    std::function<QByteArrayList()> onReady;
};

bool TakeSourceRole(Source& source, const QStringList& role) {
    const QString kind = role.value(0);
    if ((kind == "copy-bytes" || kind == "drag-bytes") && role.size() == 3) {
        source.editor = NewEditor(QByteArray::fromHex(role[1].toLatin1()), role[2]);
        if (kind == "copy-bytes") {
            source.editor->Core().SelectAll();
            return source.editor->CopyToClipboard();
        }
        HexEditorEx& editor = *source.editor;
        source.onReady = [&editor] {
            const std::int32_t last = editor.Core().DataLength() - 1;
            const Qt::DropAction action = Drag(editor, 0, last, kReaderWindow.center());
            return QByteArrayList{"drag " + ActionName(action), "document " + Hex(editor)};
        };
        return ShowForDrag(editor);
    }
    if (kind == "drag-inside" && role.size() == 2) {
        source.editor = NewEditor(QByteArray::fromHex(role[1].toLatin1()), {});
        HexEditorEx& editor = *source.editor;
        source.onReady = [&editor] {
            const Qt::DropAction action = Drag(editor, 1, 2, BehindTheEnd(editor));
            QByteArrayList lines{"drag " + ActionName(action), "document " + Hex(editor)};
            editor.Core().Undo();
            lines.append("undone " + Hex(editor));
            return lines;
        };
        return ShowForDrag(editor);
    }
    auto data = std::make_unique<QMimeData>();
    if (kind == "copy-files" && role.size() >= 2) {
        QList<QUrl> urls;
        for (qsizetype i = 1; i < role.size(); ++i) {
            urls.append(QUrl::fromLocalFile(role[i]));
        }
        data->setUrls(urls);
    } else if (kind == "copy-text" && role.size() == 2) {
        data->setText(role[1]);
    } else {
        return false;
    }
    QGuiApplication::clipboard()->setMimeData(data.release());
    return true;
}

QByteArray FileLine(const QString& path) {
    QFile file(path);
    const QByteArray contents = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
    return "file " + QFileInfo(file).fileName().toUtf8() + " " + contents.toHex();
}

// A folder window of a file manager: dropped files are copied into the folder.
class DropFolder : public QWidget {
public:
    explicit DropFolder(QString folder) : folder_(std::move(folder)) {
        setAcceptDrops(true);
        setGeometry(kReaderWindow);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasUrls()) {
            event->acceptProposedAction();
        }
    }
    void dropEvent(QDropEvent* event) override {
        for (const QUrl& url : event->mimeData()->urls()) {
            const QString copy = folder_ + '/' + QFileInfo(url.toLocalFile()).fileName();
            if (url.isLocalFile() && QFile::copy(url.toLocalFile(), copy)) {
                Print(FileLine(copy));
            }
        }
        event->acceptProposedAction();
        QTimer::singleShot(500, qApp, [] { qApp->exit(0); });
    }

private:
    QString folder_;
};

int TakeReaderRole(const QStringList& role) {
    const QString kind = role.value(0);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (kind == "paste") {
        const std::unique_ptr<HexEditorEx> editor = NewEditor({}, {});
        Print(editor->PasteFromClipboard() ? "bytes " + Hex(*editor) : "refused");
        return 0;
    }
    if (kind == "read-text") {
        Print("text " + clipboard->text().toUtf8().toHex());
        return 0;
    }
    if (kind == "read-files") {
        const QMimeData* data = clipboard->mimeData();
        for (const QUrl& url : data != nullptr ? data->urls() : QList<QUrl>()) {
            Print(FileLine(url.toLocalFile()));
        }
        return 0;
    }
    if (kind == "idle") {
        Print("ready");
        return 0;
    }
    if (kind == "drop-folder" && role.size() == 2) {
        DropFolder folder(role[1]);
        folder.show();
        if (!QTest::qWaitForWindowExposed(&folder)) {
            return 4;
        }
        Print("ready");
        QTimer::singleShot(30000, qApp, [] {
            Print("no drop");
            qApp->exit(5);
        });
        return QApplication::exec();
    }
    return 2;
}

// Starts the reader on the same display; ends when both the reader and the source are done.
int RunReader(Source& source, const QStringList& role) {
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QByteArrayList readerLines;
    QByteArrayList sourceLines;
    bool readerDone = false;
    bool sourceDone = true;
    int code = 0;
    const auto finishWhenBothAreDone = [&] {
        if (readerDone && sourceDone) {
            qApp->exit(code);
        }
    };
    QObject::connect(&reader, &QProcess::readyReadStandardOutput, [&] {
        while (reader.canReadLine()) {
            const QByteArray line = reader.readLine().trimmed();
            if (line == "ready" && source.onReady) {
                sourceDone = false;
                QTimer::singleShot(0, [&] {
                    sourceLines = source.onReady();
                    sourceDone = true;
                    finishWhenBothAreDone();
                });
            } else {
                readerLines.append(line);
            }
        }
    });
    QObject::connect(&reader, &QProcess::finished, [&](int exitCode) {
        readerLines.append(reader.readAllStandardOutput().trimmed());
        code = exitCode;
        readerDone = true;
        finishWhenBothAreDone();
    });
    QObject::connect(&reader, &QProcess::errorOccurred, [&](QProcess::ProcessError) {
        Print("reader failed to start");
        code = 3;
        readerDone = true;
        finishWhenBothAreDone();
    });
    reader.start(QCoreApplication::applicationFilePath(), QStringList{"--reader"} + role);
    const int result = QApplication::exec();
    for (const QByteArray& line : readerLines + sourceLines) {
        if (!line.isEmpty()) {
            Print(line);
        }
    }
    return result;
}

} // namespace

// The session bus library keeps a buffer to the end of the process, which the leak checker of
// the sanitizer build would report.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == "--reader") {
        return TakeReaderRole(arguments.mid(1));
    }
    const qsizetype separator = arguments.indexOf("--");
    Source source;
    if (separator < 0 || !TakeSourceRole(source, arguments.mid(0, separator))) {
        Print("usage: clipboard_peer <source role...> -- <reader role...>");
        return 2;
    }
    return RunReader(source, arguments.mid(separator + 1));
}
