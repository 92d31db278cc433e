#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include "../core/core_fixture.h"
#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_memory_stream.h"
#include "editor/widget/clipboard_exchange.h"
#include "editor/widget/select_format_dialog.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillon {

inline QByteArray ToQBytes(const ByteVector& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

inline ByteVector ToBytes(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    return ByteVector(data, data + bytes.size());
}

// The document most clipboard cases start from.
inline const ByteVector kFour{0x00, 0x11, 0x22, 0x33};

// A data object offering the local files as a list of URLs.
inline std::unique_ptr<QMimeData> FileListData(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data->setUrls(urls);
    return data;
}

inline void PutOnClipboard(const QString& mime, const QByteArray& bytes) {
    auto* data = new QMimeData;
    data->setData(mime, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

// Answers the next format dialog with `answer` once it is shown; `seen` tells whether it was.
class FormatDialogAnswer {
public:
    explicit FormatDialogAnswer(std::function<void(FormatSelDialog&)> answer)
        : answer_(std::move(answer)) {
        QTimer::singleShot(0, &context_, [this] { Answer(); });
    }
    bool Seen() const { return seen_; }

private:
    void Answer() {
        auto* dialog = qobject_cast<FormatSelDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (++attempts_ < 100) {
                QTimer::singleShot(10, &context_, [this] { Answer(); });
            }
            return;
        }
        seen_ = true;
        answer_(*dialog);
    }

    // Cancels the pending timers with the answer.
    QObject context_;
    std::function<void(FormatSelDialog&)> answer_;
    bool seen_ = false;
    int attempts_ = 0;
};

// Writes a file for a test and returns its path.
inline std::string WriteFile(const std::string& path, const ByteVector& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Names a parameterised case after the `name` of its parameter.
struct CaseName {
    template <typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return info.param.name;
    }
};

// An editor core with the clipboard exchange of the widget, on an empty clipboard.
class ClipboardTest : public ::testing::Test {
protected:
    ClipboardTest() {
        QGuiApplication::clipboard()->clear();
        SetLastChosenFormat(-1);
        core.SetFontMetrics(8, 14);
        core.SetViewportSize(1000, 400);
        core.NewDocument("");
        exchange = std::make_unique<ClipboardExchange>(core, nullptr);
    }
    ~ClipboardTest() override {
        exchange.reset();
        QGuiApplication::clipboard()->clear();
    }

    void Load(const ByteVector& bytes, const std::string& name = "") {
        core.NewDocument(name);
        LoadBytes(core, bytes);
    }
    ByteVector Bytes() const { return DocumentBytes(core); }
    void Select(std::int32_t from, std::int32_t to) { core.SelectRange(from, to); }
    void CaretTo(std::int32_t position) {
        core.Unselect(false);
        core.MoveCaretToCell(core.PositionToCell(position, false));
    }

    HexEditorCore core;
    std::unique_ptr<ClipboardExchange> exchange;
};

} // namespace quillon
