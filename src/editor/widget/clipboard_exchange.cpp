#include "editor/widget/clipboard_exchange.h"

#include <filesystem>
#include <string_view>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_memory_stream.h"
#include "editor/core/radix.h"
#include "editor/widget/clipboard_placement.h"
#include "editor/widget/hex_data_object.h"
#include "editor/widget/select_format_dialog.h"
#include "platform/codepage/codepage.h"

namespace quillon {

namespace {

using Bytes = std::vector<std::uint8_t>;

bool IsEightBitText(ClipFormat format) {
    return format == CF_TEXT || format == CF_OEMTEXT;
}

std::string_view AsText(const Bytes& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

ClipboardExchange::ClipboardExchange(HexEditorCore& core, QWidget* owner)
    : core_(core), owner_(owner) {
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { pasteableKnown_ = false; });
}

ClipboardExchange::~ClipboardExchange() {
    ReleaseClipboard(flushClipboardAtShutDown_);
}

void ClipboardExchange::SetSupportsOtherClipFormats(bool value) {
    supportsOtherClipFormats_ = value;
    pasteableKnown_ = false;
}

ClipFormats ClipboardExchange::AcceptedFormats() const {
    return quillon::AcceptedFormats(supportsOtherClipFormats_);
}

bool ClipboardExchange::CanCopy() const {
    return core_.DataLength() >= 1 && core_.SelectionCount() >= 1;
}

bool ClipboardExchange::CanCut() const {
    return CanCopy() && !core_.ReadOnlyView() && !core_.NoSizeChange();
}

bool ClipboardExchange::CanPaste() {
    if (core_.ReadOnlyView()) {
        return false;
    }
    if (!pasteableKnown_) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        pasteable_ = data != nullptr && FindAcceptedFormat(*data, ClipUse::Paste);
        pasteableKnown_ = true;
    }
    return pasteable_ && (!core_.NoSizeChange() || core_.DataLength() > 0);
}

HexDataObject* ClipboardExchange::CreateDataObject() const {
    const std::int32_t count = core_.SelectionCount();
    QByteArray bytes(count, Qt::Uninitialized);
    core_.GetBytes(bytes.data(), core_.SelectionLower(), count);
    return new HexDataObject(std::move(bytes),
                             std::filesystem::path(core_.FileName()).filename().string(),
                             clipboardAsHexText_, core_.SwapNibbles());
}

bool ClipboardExchange::CopyToClipboard() {
    if (!CanCopy()) {
        return false;
    }
    const HexEditorCore::WaitCursorScope wait(core_);
    clipboardObject_ = CreateDataObject();
    QGuiApplication::clipboard()->setMimeData(clipboardObject_);
    return true;
}

bool ClipboardExchange::CutToClipboard() {
    if (!CanCut() || !CopyToClipboard()) {
        return false;
    }
    const HexEditorCore::WaitCursorScope wait(core_);
    core_.DeleteSelected("Cut to Clipboard");
    return true;
}

bool ClipboardExchange::PasteFromClipboard() {
    if (!CanPaste()) {
        return false;
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    Qt::DropAction effect = Qt::CopyAction;
    return data != nullptr && InsertFromDataObject(*data, ClipUse::Paste, effect, nullptr);
}

bool ClipboardExchange::FindAcceptedFormat(const QMimeData& data, ClipUse use) {
    const FormatEnum offered(data);
    for (const ClipFormat format : AcceptedFormats()) {
        if (offered.HasFormat(format)) {
            chosenFormats_[Index(use)] = format;
            return true;
        }
    }
    return false;
}

bool ClipboardExchange::InsertFromDataObject(const QMimeData& data, ClipUse use,
                                             Qt::DropAction& effect, DropSite* site) {
    // The format dialog runs an event loop, in which the clipboard may drop the data.
    const QPointer<const QMimeData> alive(&data);
    const FormatEnum offered(data);
    ClipFormat& chosen = chosenFormats_[Index(use)];
    const bool known = chosen == EditorClipFormat || chosen == CF_HDROP;
    bool placed = false;
    if (known ||
        (ChooseFormat(AcceptedFormats(), offered, clipboardAsHexText_, chosen, owner_) && alive)) {
        const HexEditorCore::WaitCursorScope wait(core_);
        const Bytes bytes = ReadBytes(offered, chosen, use, effect);
        if (!bytes.empty()) {
            if (use == ClipUse::Paste) {
                PlacePastedBytes(core_, bytes);
                placed = true;
            } else if (site != nullptr) {
                site->moveInside = site->moveInside && effect == Qt::MoveAction;
                placed = PlaceDroppedBytes(core_, bytes, *site);
            }
        }
    }
    if (!placed) {
        effect = Qt::IgnoreAction;
    }
    return placed;
}

Bytes ClipboardExchange::ReadBytes(const FormatEnum& offered, ClipFormat format, ClipUse use,
                                   Qt::DropAction effect) const {
    Bytes bytes;
    if (format == CF_HDROP) {
        bytes = ReadFileList(offered, effect);
    } else if (const std::optional<QByteArray> medium = offered.FetchFormat(format)) {
        bytes = MediumToBytes(*medium, format, core_.UnicodeBigEndian());
    }
    if (!bytes.empty() && use == ClipUse::Paste && IsEightBitText(format) && clipboardAsHexText_) {
        bytes = HexTextToBytes(AsText(bytes), core_.SwapNibbles());
    }
    CheckDocumentSize(static_cast<std::int64_t>(bytes.size()));
    bytes.resize(bytes.size() - bytes.size() % static_cast<std::size_t>(core_.BytesPerUnit()));
    return bytes;
}

// A link drop takes the names, each ended by a zero byte; anything else the first file's bytes.
Bytes ClipboardExchange::ReadFileList(const FormatEnum& offered, Qt::DropAction effect) const {
    const QStringList files = offered.FileNames();
    if (files.isEmpty()) {
        return {};
    }
    if (effect != Qt::LinkAction) {
        return ReadWholeFile(QFile::encodeName(files.front()).toStdString());
    }
    Bytes names;
    for (const QString& file : files) {
        const std::string name = codepage::Utf8ToAnsi(file.toStdString());
        names.insert(names.end(), name.begin(), name.end());
        names.push_back(0);
    }
    return names;
}

bool ClipboardExchange::OwnsClipboard() const {
    return clipboardObject_ != nullptr &&
           QGuiApplication::clipboard()->mimeData() == clipboardObject_.data();
}

void ClipboardExchange::ReleaseClipboard(bool flush) {
    if (QGuiApplication::instance() == nullptr || flush || !OwnsClipboard()) {
        return;
    }
    QGuiApplication::clipboard()->clear();
}

} // namespace quillon
