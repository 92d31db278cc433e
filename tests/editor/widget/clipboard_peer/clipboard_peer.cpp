// Two programs sharing one X clipboard, for the tests of clipboard exchange between processes.
//
//   clipboard_peer <source role...> -- <reader role...>
//
// The process takes the source role, then starts itself with the reader role on the same
// display, serves the clipboard until the reader is done, and prints what the reader printed.
//
// Source roles:  copy-bytes HEX NAME   a Quillon editor holding HEX copies all of it (NAME is
//                                      the document's file name)
//                copy-files PATH...    a file manager copies these files
//                copy-text TEXT        a text editor copies TEXT
// Reader roles:  paste                 an empty Quillon editor, configured as the main window's,
//                                      pastes; prints "bytes HEX" or "refused"
//                read-text             a text editor pastes; prints "text HEX" (UTF-8)
//                read-files            a file manager pastes; prints "file NAME HEX" per file
#include <cstdio>
#include <string>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_memory_stream.h"
#include "editor/widget/clipboard_exchange.h"

namespace {

using quillon::ClipboardExchange;
using quillon::HexEditorCore;

void Print(const QByteArray& line) {
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

void PrepareCore(HexEditorCore& core, const QByteArray& bytes, const std::string& name) {
    core.SetFontMetrics(8, 14);
    core.SetViewportSize(1000, 400);
    core.NewDocument(name);
    quillon::HexMemoryStream stream;
    stream.Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    core.LoadStream(stream);
}

// Holds what the source role put on the clipboard until the reader is done.
struct Source {
    HexEditorCore core;
    std::unique_ptr<ClipboardExchange> exchange;
};

bool TakeSourceRole(Source& source, const QStringList& role) {
    const QString kind = role.value(0);
    if (kind == "copy-bytes" && role.size() == 3) {
        PrepareCore(source.core, QByteArray::fromHex(role[1].toLatin1()), role[2].toStdString());
        source.exchange = std::make_unique<ClipboardExchange>(source.core, nullptr);
        source.core.SelectAll();
        return source.exchange->CopyToClipboard();
    }
    auto* data = new QMimeData;
    if (kind == "copy-files" && role.size() >= 2) {
        QList<QUrl> urls;
        for (qsizetype i = 1; i < role.size(); ++i) {
            urls.append(QUrl::fromLocalFile(role[i]));
        }
        data->setUrls(urls);
    } else if (kind == "copy-text" && role.size() == 2) {
        data->setText(role[1]);
    } else {
        delete data;
        return false;
    }
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

int TakeReaderRole(const QStringList& role) {
    const QString kind = role.value(0);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (kind == "paste") {
        HexEditorCore core;
        PrepareCore(core, {}, "");
        ClipboardExchange exchange(core, nullptr);
        exchange.SetSupportsOtherClipFormats(false);
        if (!exchange.PasteFromClipboard()) {
            Print("refused");
            return 0;
        }
        const QByteArray bytes(reinterpret_cast<const char*>(core.Data()), core.DataLength());
        Print("bytes " + bytes.toHex());
        return 0;
    }
    if (kind == "read-text") {
        Print("text " + clipboard->text().toUtf8().toHex());
        return 0;
    }
    if (kind == "read-files") {
        const QMimeData* data = clipboard->mimeData();
        for (const QUrl& url : data != nullptr ? data->urls() : QList<QUrl>()) {
            QFile file(url.toLocalFile());
            const QByteArray contents = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
            Print("file " + QFileInfo(file).fileName().toUtf8() + " " + contents.toHex());
        }
        return 0;
    }
    return 2;
}

// Starts the reader on the same display and passes its output and exit code on.
int RunReader(const QStringList& role) {
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&reader, &QProcess::finished, qApp, [&reader](int code) {
        std::fputs(reader.readAllStandardOutput().constData(), stdout);
        qApp->exit(code);
    });
    QObject::connect(&reader, &QProcess::errorOccurred, qApp, [](QProcess::ProcessError) {
        Print("reader failed to start");
        qApp->exit(3);
    });
    reader.start(QCoreApplication::applicationFilePath(), QStringList{"--reader"} + role);
    const int code = QApplication::exec();
    std::fflush(stdout);
    return code;
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
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == "--reader") {
        return TakeReaderRole(arguments.mid(1));
    }
    const qsizetype separator = arguments.indexOf("--");
    Source source;
    if (separator < 0 || !TakeSourceRole(source, arguments.mid(0, separator))) {
        Print("usage: clipboard_peer <source role...> -- <reader role...>");
        return 2;
    }
    return RunReader(arguments.mid(separator + 1));
}
