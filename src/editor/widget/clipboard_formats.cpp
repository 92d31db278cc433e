#include "editor/widget/clipboard_formats.h"

#include <array>

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <QtEndian>

#include "editor/widget/hex_data_object.h"
#include "platform/codepage/codepage.h"

namespace quillon {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr QLatin1String kGnomeCopiedFilesMime{"x-special/gnome-copied-files"};
constexpr QLatin1String kBitmapMime{"image/bmp"};
constexpr QLatin1String kQtImageMime{"application/x-qt-image"};
constexpr qsizetype kBitmapFileHeaderSize = 14;

struct FormatMimes {
    ClipFormat format;
    std::array<QLatin1String, 2> mimes;
};

// The MIME types that carry each format, the usual name first.
constexpr FormatMimes kFormatMimes[] = {
    {EditorClipFormat, {kEditorBlockMime}},
    {CF_HDROP, {kUriListMime, kGnomeCopiedFilesMime}},
    {CF_TEXT, {kTextMime, QLatin1String("text/plain;charset=utf-8")}},
    {CF_OEMTEXT, {kTextMime, QLatin1String("text/plain;charset=utf-8")}},
    {CF_UNICODETEXT, {kTextMime, QLatin1String("text/plain;charset=utf-8")}},
    {RtfFormat, {QLatin1String("text/rtf"), QLatin1String("application/rtf")}},
    {CF_METAFILEPICT, {QLatin1String("image/x-wmf"), QLatin1String("image/wmf")}},
    {CF_TIFF, {QLatin1String("image/tiff")}},
    {CF_PALETTE, {QLatin1String("application/x-windows-palette")}},
    {CF_RIFF, {QLatin1String("audio/x-riff")}},
    {CF_WAVE, {QLatin1String("audio/x-wav"), QLatin1String("audio/wav")}},
    {CF_ENHMETAFILE, {QLatin1String("image/emf"), QLatin1String("image/x-emf")}},
    {CF_LOCALE, {QLatin1String("application/x-windows-locale")}},
    {RegEditHexFormat, {QLatin1String("application/x-regedit-hexdata")}},
};

Bytes ToBytes(const char* data, qsizetype count) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(data);
    return Bytes(begin, begin + count);
}

Bytes ToBytes(const QByteArray& bytes) {
    return ToBytes(bytes.constData(), bytes.size());
}

QByteArray BeforeFirstZero(const QByteArray& medium) {
    const qsizetype zero = medium.indexOf('\0');
    return zero < 0 ? medium : medium.left(zero);
}

// UTF-8 text to an 8-bit code page; characters the page lacks become '?'.
Bytes EightBitText(const QByteArray& utf8, std::optional<std::uint8_t> (*toPage)(char32_t)) {
    Bytes text;
    for (const char32_t code : QString::fromUtf8(BeforeFirstZero(utf8)).toUcs4()) {
        text.push_back(toPage(code).value_or('?'));
    }
    return text;
}

Bytes UnicodeText(const QByteArray& utf8, bool bigEndian) {
    const QString text = QString::fromUtf8(BeforeFirstZero(utf8));
    Bytes units;
    units.reserve(2 * static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const auto low = static_cast<std::uint8_t>(c.unicode() & 0xFF);
        const auto high = static_cast<std::uint8_t>(c.unicode() >> 8);
        units.push_back(bigEndian ? high : low);
        units.push_back(bigEndian ? low : high);
    }
    return units;
}

// The data of a block that starts with a 32-bit length: only a length that fits is read.
Bytes LengthPrefixed(const QByteArray& medium, qsizetype lengthOffset) {
    const qsizetype dataOffset = lengthOffset + 4;
    if (medium.size() < dataOffset) {
        return {};
    }
    const auto length = qFromLittleEndian<std::int32_t>(medium.constData() + lengthOffset);
    if (length < 0 || length > medium.size() - dataOffset) {
        return {};
    }
    return ToBytes(medium.constData() + dataOffset, length);
}

Bytes EditorBlockData(const QByteArray& medium) {
    if (medium.size() < kEditorBlockHeaderSize ||
        qFromLittleEndian<std::uint32_t>(medium.constData()) != kEditorBlockSignature ||
        qFromLittleEndian<std::uint32_t>(medium.constData() + 4) != kEditorBlockVersion) {
        return {};
    }
    return LengthPrefixed(medium, 8);
}

// A bitmap file header that is zero but for its type, then the bitmap.
Bytes BitmapFileFromDib(const QByteArray& dib) {
    Bytes file(kBitmapFileHeaderSize, 0);
    file[0] = 'B';
    file[1] = 'M';
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

// A palette image: version 0x300, entry count n, n four-byte entries.
Bytes PaletteImage(const QByteArray& medium) {
    if (medium.size() < 4) {
        return {};
    }
    const auto count = qFromLittleEndian<std::uint16_t>(medium.constData() + 2);
    const qsizetype size = 4 + 4 * qsizetype{count};
    if (count == 0 || size > medium.size()) {
        return {};
    }
    Bytes image = ToBytes(medium.constData(), size);
    qToLittleEndian<std::uint16_t>(0x300, image.data());
    return image;
}

} // namespace

QString ClipboardFormatName(ClipFormat format) {
    switch (format) {
    case EditorClipFormat:
        return QStringLiteral("Quillon Hex Clipboard Format");
    case RegEditHexFormat:
        return QStringLiteral("RegEdit_HexData");
    case RtfFormat:
        return QStringLiteral("Rich Text Format");
    default:
        return {};
    }
}

ClipFormats AcceptedFormats(bool supportsOtherClipFormats) {
    ClipFormats formats{EditorClipFormat, CF_HDROP};
    if (supportsOtherClipFormats) {
        formats.insert(formats.end(), {CF_TEXT, RtfFormat, CF_UNICODETEXT, CF_BITMAP, CF_PALETTE,
                                       CF_METAFILEPICT, CF_TIFF, CF_OEMTEXT, CF_DIB, CF_RIFF,
                                       CF_WAVE, CF_ENHMETAFILE, CF_LOCALE, RegEditHexFormat});
    }
    return formats;
}

FormatEnum::FormatEnum(const QMimeData& data) : data_(data), formats_(data.formats()) {}

std::optional<QString> FormatEnum::OfferedMime(ClipFormat format) const {
    for (const FormatMimes& entry : kFormatMimes) {
        if (entry.format != format) {
            continue;
        }
        for (const QLatin1String mime : entry.mimes) {
            if (!mime.isEmpty() && formats_.contains(mime)) {
                return QString(mime);
            }
        }
    }
    return std::nullopt;
}

bool FormatEnum::OffersImage() const {
    return formats_.contains(kBitmapMime) || formats_.contains(kQtImageMime);
}

bool FormatEnum::HasFormat(ClipFormat format) const {
    switch (format) {
    case CF_BITMAP:
    case CF_DIB:
        return OffersImage();
    case CF_HDROP:
        // Our own list names the dump file, which is written only when it is read.
        return OfferedMime(format) &&
               (qobject_cast<const HexDataObject*>(&data_) != nullptr || !FileNames().isEmpty());
    default:
        return OfferedMime(format).has_value();
    }
}

std::optional<QByteArray> FormatEnum::FetchBitmapFile() const {
    if (formats_.contains(kBitmapMime)) {
        QByteArray file = data_.data(kBitmapMime);
        if (file.size() < kBitmapFileHeaderSize || !file.startsWith("BM")) {
            return std::nullopt;
        }
        return file;
    }
    const QImage image = qvariant_cast<QImage>(data_.imageData());
    QByteArray file;
    QBuffer buffer(&file);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "BMP")) {
        return std::nullopt;
    }
    return file;
}

std::optional<QByteArray> FormatEnum::FetchFormat(ClipFormat format) const {
    if (!HasFormat(format)) {
        return std::nullopt;
    }
    if (format == CF_BITMAP) {
        return FetchBitmapFile();
    }
    if (format == CF_DIB) {
        std::optional<QByteArray> file = FetchBitmapFile();
        return file ? std::optional(file->mid(kBitmapFileHeaderSize)) : std::nullopt;
    }
    return data_.data(*OfferedMime(format));
}

QStringList FormatEnum::FileNames() const {
    QList<QUrl> urls;
    if (formats_.contains(kUriListMime)) {
        urls = data_.urls();
    } else if (formats_.contains(kGnomeCopiedFilesMime)) {
        // The first line says "copy" or "cut"; one URL per line follows.
        const QList<QByteArray> lines = data_.data(kGnomeCopiedFilesMime).split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            urls.append(QUrl::fromEncoded(lines[i].trimmed()));
        }
    }
    QStringList files;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            files.append(url.toLocalFile());
        }
    }
    return files;
}

std::vector<std::uint8_t> MediumToBytes(const QByteArray& medium, ClipFormat format,
                                        bool unicodeBigEndian) {
    switch (format) {
    case EditorClipFormat:
        return EditorBlockData(medium);
    case RegEditHexFormat:
        return LengthPrefixed(medium, 0);
    case RtfFormat:
        // Seven-bit text with escapes of its own: its bytes are taken as they are.
        return ToBytes(BeforeFirstZero(medium));
    case CF_TEXT:
        return EightBitText(medium, codepage::UnicodeToAnsi);
    case CF_OEMTEXT:
        return EightBitText(medium, codepage::UnicodeToOem);
    case CF_UNICODETEXT:
        return UnicodeText(medium, unicodeBigEndian);
    case CF_DIB:
        return BitmapFileFromDib(medium);
    case CF_PALETTE:
        return PaletteImage(medium);
    case CF_LOCALE:
        return medium.size() < 2 ? Bytes() : ToBytes(medium.constData(), 2);
    default:
        return ToBytes(medium);
    }
}

} // namespace quillon
