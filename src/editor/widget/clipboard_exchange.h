#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QObject>
#include <QPointer>

#include "editor/widget/clipboard_formats.h"

class QMimeData;
class QWidget;

namespace quillon {

class HexDataObject;
class HexEditorCore;
struct DropSite;

enum class ClipUse : std::uint8_t { Drop, Paste };

// The editor's side of the clipboard: copy and cut hand out a HexDataObject; paste and drop
// read the best accepted format of a MIME data object and place its bytes in the document.
class ClipboardExchange : public QObject {
    Q_OBJECT
public:
    // owner parents the format dialog.
    ClipboardExchange(HexEditorCore& core, QWidget* owner);
    // Releases the clipboard as FlushClipboardAtShutDown says.
    ~ClipboardExchange() override;

    bool ClipboardAsHexText() const { return clipboardAsHexText_; }
    void SetClipboardAsHexText(bool value) { clipboardAsHexText_ = value; }
    bool FlushClipboardAtShutDown() const { return flushClipboardAtShutDown_; }
    void SetFlushClipboardAtShutDown(bool value) { flushClipboardAtShutDown_ = value; }
    bool SupportsOtherClipFormats() const { return supportsOtherClipFormats_; }
    void SetSupportsOtherClipFormats(bool value);

    ClipFormats AcceptedFormats() const;
    ClipFormat ChosenFormat(ClipUse use) const { return chosenFormats_[Index(use)]; }

    bool CanCopy() const;
    bool CanCut() const;
    // What the clipboard offers is looked at again only after it changed.
    bool CanPaste();
    bool CopyToClipboard();
    bool CutToClipboard();
    bool PasteFromClipboard();

    // Stores the first accepted format the data offers as the chosen one of the use.
    bool FindAcceptedFormat(const QMimeData& data, ClipUse use);
    // Reads the chosen format (asking the user when it is neither the editor block nor a file
    // list) and places the bytes: a paste at the caret, a drop at the site. On refusal the effect
    // becomes Qt::IgnoreAction and the document is untouched.
    bool InsertFromDataObject(const QMimeData& data, ClipUse use, Qt::DropAction& effect,
                              DropSite* site);
    // The selection as copy and drag hand it out; the caller owns it.
    HexDataObject* CreateDataObject() const;

    bool OwnsClipboard() const;
    // While the clipboard holds our object: flush leaves it there for other programs (it holds
    // its own copy of the bytes), otherwise the clipboard is emptied.
    void ReleaseClipboard(bool flush);

private:
    static std::size_t Index(ClipUse use) { return static_cast<std::size_t>(use); }
    std::vector<std::uint8_t> ReadBytes(const FormatEnum& offered, ClipFormat format, ClipUse use,
                                        Qt::DropAction effect) const;
    std::vector<std::uint8_t> ReadFileList(const FormatEnum& offered, Qt::DropAction effect) const;

    HexEditorCore& core_;
    QWidget* owner_;
    bool clipboardAsHexText_ = false;
    bool flushClipboardAtShutDown_ = false;
    bool supportsOtherClipFormats_ = true;
    std::array<ClipFormat, 2> chosenFormats_{};
    QPointer<HexDataObject> clipboardObject_;
    bool pasteableKnown_ = false;
    bool pasteable_ = false;
};

} // namespace quillon
