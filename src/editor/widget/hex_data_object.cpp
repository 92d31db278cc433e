#include "editor/widget/hex_data_object.h"

#include <atomic>
#include <string_view>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtEndian>

#include "editor/core/radix.h"
#include "editor/widget/clipboard_formats.h"
#include "platform/codepage/codepage.h"

namespace quillon {

namespace {

constexpr qsizetype kMaxFileNameBytes = 255;

void AppendLittleEndian(QByteArray& block, std::uint32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    block.append(bytes, sizeof bytes);
}

// One folder for the process, removed with it: a file manager may still be copying a dump
// after the object that wrote it is gone.
QString DumpFolder() {
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/quillon-XXXXXX"));
    return folder.isValid() ? folder.path() : QString();
}

// Every object writes into a folder of its own, so that equal names never collide.
QString NewObjectFolder() {
    static std::atomic<unsigned> counter{0};
    const QString root = DumpFolder();
    if (root.isEmpty()) {
        return {};
    }
    const QString folder = root + QLatin1Char('/') + QString::number(++counter);
    return QDir().mkpath(folder) ? folder : QString();
}

bool WriteFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size()) {
        return true;
    }
    file.remove();
    return false;
}

} // namespace

QByteArray MakeEditorBlock(const QByteArray& bytes) {
    QByteArray block;
    block.reserve(kEditorBlockHeaderSize + bytes.size());
    AppendLittleEndian(block, kEditorBlockSignature);
    AppendLittleEndian(block, kEditorBlockVersion);
    AppendLittleEndian(block, static_cast<std::uint32_t>(bytes.size()));
    block.append(bytes);
    return block;
}

QString DumpFileName(const std::string& fileName) {
    const std::string::size_type dot = fileName.rfind('.');
    QString stem = QString::fromStdString(fileName.substr(0, dot));
    const QString prefix = QStringLiteral("Dump of ");
    const QString suffix = QStringLiteral(".bin");
    while ((prefix + stem + suffix).toUtf8().size() > kMaxFileNameBytes) {
        stem.chop(stem.back().isLowSurrogate() ? 2 : 1);
    }
    return prefix + stem + suffix;
}

HexDataObject::HexDataObject(QByteArray bytes, const std::string& fileName, bool hexText,
                             bool swapNibbles)
    : bytes_(std::move(bytes)), descriptorName_(DumpFileName(fileName)), hexText_(hexText),
      swapNibbles_(swapNibbles) {}

QStringList HexDataObject::formats() const {
    return {kEditorBlockMime, kTextMime, kUriListMime};
}

QVariant HexDataObject::retrieveData(const QString& mimeType, QMetaType /*type*/) const {
    if (mimeType == kEditorBlockMime) {
        return MakeEditorBlock(bytes_);
    }
    if (mimeType == kTextMime) {
        return Text();
    }
    if (mimeType == kUriListMime) {
        const QByteArray list = UriList();
        return list.isEmpty() ? QVariant() : QVariant(list);
    }
    return {};
}

QByteArray HexDataObject::Text() const {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes_.constData());
    if (hexText_) {
        const std::string text =
            BytesToHexText(data, static_cast<std::size_t>(bytes_.size()), swapNibbles_);
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
    const std::string_view raw(bytes_.constData(), static_cast<std::size_t>(bytes_.size()));
    const std::string utf8 = codepage::AnsiToUtf8(raw.substr(0, raw.find('\0')));
    return QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QByteArray HexDataObject::UriList() const {
    const QString path = DumpFile();
    return path.isEmpty() ? QByteArray() : QUrl::fromLocalFile(path).toEncoded() + "\r\n";
}

QString HexDataObject::DumpFile() const {
    if (dumpFile_.isEmpty()) {
        const QString folder = NewObjectFolder();
        const QString path = folder + QLatin1Char('/') + descriptorName_;
        if (!folder.isEmpty() && WriteFile(path, bytes_)) {
            dumpFile_ = path;
        }
    }
    return dumpFile_;
}

} // namespace quillon
