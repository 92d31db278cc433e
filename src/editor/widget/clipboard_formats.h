#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringList>

class QMimeData;

// The clipboard formats the editor exchanges, by the numbers the rest of the editor knows them
// by, and their MIME counterparts.
namespace quillon {

using ClipFormat = std::uint16_t;
using ClipFormats = std::vector<ClipFormat>;

// The standard formats keep their conventional numbers: the format dialog names them by these.
inline constexpr ClipFormat CF_TEXT = 1;
inline constexpr ClipFormat CF_BITMAP = 2;
inline constexpr ClipFormat CF_METAFILEPICT = 3;
inline constexpr ClipFormat CF_TIFF = 6;
inline constexpr ClipFormat CF_OEMTEXT = 7;
inline constexpr ClipFormat CF_DIB = 8;
inline constexpr ClipFormat CF_PALETTE = 9;
inline constexpr ClipFormat CF_RIFF = 11;
inline constexpr ClipFormat CF_WAVE = 12;
inline constexpr ClipFormat CF_UNICODETEXT = 13;
inline constexpr ClipFormat CF_ENHMETAFILE = 14;
inline constexpr ClipFormat CF_HDROP = 15;
inline constexpr ClipFormat CF_LOCALE = 16;

// The registered formats, numbered from 0xC000 in the order they are registered.
inline constexpr ClipFormat EditorClipFormat = 0xC000;
inline constexpr ClipFormat RegEditHexFormat = 0xC001;
inline constexpr ClipFormat RtfFormat = 0xC002;

inline constexpr QLatin1String kEditorBlockMime{"application/x-quillon-hex-block"};
inline constexpr QLatin1String kTextMime{"text/plain"};
inline constexpr QLatin1String kUriListMime{"text/uri-list"};

// The registered name of a registered format; empty for any other.
QString ClipboardFormatName(ClipFormat format);

// What paste and drop accept, best first: the editor block and file lists always, the others
// only when the editor supports foreign formats.
ClipFormats AcceptedFormats(bool supportsOtherClipFormats);

// A snapshot of what a MIME data object offers, in terms of clipboard formats. Text offers the
// three text formats and an image both bitmap formats, as the platform the formats come from
// synthesises them. Nothing is rendered until a format is fetched.
class FormatEnum {
public:
    explicit FormatEnum(const QMimeData& data);

    bool HasFormat(ClipFormat format) const;
    // The medium of an offered format as MediumToBytes reads it: the MIME bytes, except that
    // CF_BITMAP is a bitmap file and CF_DIB the bitmap without its file header. None when the
    // format is not offered or cannot be rendered.
    std::optional<QByteArray> FetchFormat(ClipFormat format) const;
    // The local files of an offered file list, in order.
    QStringList FileNames() const;

private:
    // The first MIME type of the format that the object offers.
    std::optional<QString> OfferedMime(ClipFormat format) const;
    bool OffersImage() const;
    std::optional<QByteArray> FetchBitmapFile() const;

    const QMimeData& data_;
    QStringList formats_;
};

// The bytes a medium stands for, empty when none can be read. Texts arrive as UTF-8 and end at
// the first zero byte or with the medium; they become Windows-1251 (CF_TEXT), CP866 (CF_OEMTEXT)
// or UTF-16 (CF_UNICODETEXT, byte-swapped when unicodeBigEndian). Length fields are checked
// against the medium: a block whose length does not fit yields nothing.
std::vector<std::uint8_t> MediumToBytes(const QByteArray& medium, ClipFormat format,
                                        bool unicodeBigEndian);

} // namespace quillon
