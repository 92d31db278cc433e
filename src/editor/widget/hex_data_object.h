#pragma once

#include <cstdint>
#include <string>

#include <QByteArray>
#include <QMimeData>
#include <QString>

namespace quillon {

// The editor block: signature "QHXB", version, length N (all little-endian), then N bytes.
inline constexpr std::uint32_t kEditorBlockSignature = 0x42584851;
inline constexpr std::uint32_t kEditorBlockVersion = 0x00010001;
inline constexpr qsizetype kEditorBlockHeaderSize = 12;

QByteArray MakeEditorBlock(const QByteArray& bytes);

// "Dump of %s.bin" with the file name less its extension, kept within one file name.
QString DumpFileName(const std::string& fileName);

// The editor's selection handed to the clipboard or a drag: a copy of the bytes taken at
// creation, rendered on request as the editor block, as text (the bytes up to the first zero
// byte, Windows-1251 as UTF-8, or hexadecimal digits) and as the file "Dump of %s.bin", which is
// written into a private temporary folder when a file list is first asked for.
class HexDataObject : public QMimeData {
    Q_OBJECT
public:
    // fileName is the document's name without its folder.
    HexDataObject(QByteArray bytes, const std::string& fileName, bool hexText, bool swapNibbles);

    const QString& DescriptorName() const { return descriptorName_; }

    // The editor block, text, then the dump file as a file list.
    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QByteArray Text() const;
    QByteArray UriList() const;
    // The dump file, written on first use; empty when it cannot be written.
    QString DumpFile() const;

    QByteArray bytes_;
    QString descriptorName_;
    bool hexText_;
    bool swapNibbles_;
    mutable QString dumpFile_;
};

} // namespace quillon
