// The editor's character and offset properties over the translation and offset modules.
#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_error.h"
#include "editor/core/radix.h"
#include "editor/core/translation.h"

namespace quillon {

namespace {

// Marks a call of the host's OnGetOffsetText as running, so that the handler may ask for the
// format's own text without recursing.
class InProgressMark {
public:
    explicit InProgressMark(bool& flag) : flag_(flag) { flag_ = true; }
    ~InProgressMark() { flag_ = false; }
    InProgressMark(const InProgressMark&) = delete;
    InProgressMark& operator=(const InProgressMark&) = delete;

private:
    bool& flag_;
};

} // namespace

void HexEditorCore::SetTranslation(HexTranslationKind kind) {
    if (kind == translation_) {
        return;
    }
    if (kind != HexTranslationKind::tkAsIs && unicodeChars_) {
        throw EHexEditor("Translations cannot be used in unicode mode");
    }
    translation_ = kind;
    Invalidate();
}

void HexEditorCore::SetMaskChar(std::uint8_t maskChar) {
    if (maskChar == maskChar_) {
        return;
    }
    maskChar_ = maskChar;
    Invalidate();
}

void HexEditorCore::SetUnicodeChars(bool unicode) {
    if (unicode == unicodeChars_) {
        return;
    }
    if (unicode) {
        if (bytesPerRow_ % 2 != 0) {
            throw EHexEditor("Invalid bytes per line argument");
        }
        if (BytesPerColumn() % 2 != 0) {
            throw EHexEditor("Invalid bytes per column argument");
        }
        if (DataLength() % 2 != 0) {
            throw EHexEditor("Cannot use unicode mode with odd-sized files");
        }
        translation_ = HexTranslationKind::tkAsIs;
    }
    unicodeChars_ = unicode;
    UpdateGridSize();
    RebuildRulerText();
    Invalidate();
    SetBytesPerUnit(unicode ? 2 : 1);
}

void HexEditorCore::SetUnicodeBigEndian(bool bigEndian) {
    if (bigEndian == unicodeBigEndian_) {
        return;
    }
    unicodeBigEndian_ = bigEndian;
    if (unicodeChars_) {
        Invalidate();
    }
}

void HexEditorCore::SetHexLowerCase(bool lowerCase) {
    if (lowerCase == hexLowerCase_) {
        return;
    }
    hexLowerCase_ = lowerCase;
    RebuildRulerText();
    Invalidate();
}

std::uint8_t HexEditorCore::CharToByte(std::uint8_t ansiChar) const {
    return quillon::CharToByte(translation_, ansiChar);
}

std::uint8_t HexEditorCore::ByteToChar(std::uint8_t value) const {
    return quillon::ByteToChar(translation_, value, maskChar_);
}

void HexEditorCore::SetOffsetFormat(const std::string& format) {
    if (format == offsetFormat_.Text()) {
        return;
    }
    offsetFormat_.Assign(format, {bytesPerRow_, BytesPerColumn(), RulerUnit()});
    UpdateGutter();
}

void HexEditorCore::FollowLayoutInOffsetFormat() {
    offsetFormat_.FollowBytesPerRow(bytesPerRow_);
    offsetFormat_.FollowBytesPerColumn(BytesPerColumn());
    offsetFormat_.FollowRulerUnit(RulerUnit());
}

void HexEditorCore::SetGutterWidth(std::int32_t width) {
    if (width == gutterWidth_) {
        return;
    }
    gutterWidth_ = width;
    UpdateGutter();
}

std::string HexEditorCore::OffsetText(std::int32_t position) {
    if (OnGetOffsetText && !offsetTextInProgress_) {
        const InProgressMark mark(offsetTextInProgress_);
        std::string text;
        OnGetOffsetText(static_cast<std::int64_t>(static_cast<std::uint32_t>(position)), text);
        return text;
    }
    return offsetFormat_.Format(static_cast<std::uint32_t>(position), hexLowerCase_);
}

std::string HexEditorCore::OffsetTextOrHex(std::int32_t position) {
    if (!offsetFormat_.Text().empty()) {
        return OffsetText(position);
    }
    return FormatRadix(static_cast<std::uint32_t>(position), 16);
}

std::int32_t HexEditorCore::GutterPixelWidth() {
    // The offset of the last row fits 32 bits unsigned, which OffsetText hands on unchanged.
    const auto last = static_cast<std::uint32_t>(std::int64_t{RowCount() - 3} * bytesPerRow_);
    if (!OnGetOffsetText || offsetTextInProgress_) {
        offsetFormat_.FitDigitsTo(last);
    }
    const auto characters =
        static_cast<std::int32_t>(OffsetText(static_cast<std::int32_t>(last)).size()) + 1;
    return gutterWidth_ != -1 ? gutterWidth_ : characters * charWidth_ + 21;
}

void HexEditorCore::UpdateGutter() {
    SetColWidths(0, GutterPixelWidth());
    Invalidate();
}

std::string HexEditorCore::PreparePattern(const std::string& text, bool ignoreCase,
                                          bool translate) {
    return quillon::PreparePattern(text, ignoreCase, translate, translation_, unicodeChars_,
                                   unicodeBigEndian_, findTables_);
}

std::int32_t HexEditorCore::FindBytes(const void* pattern, std::int32_t length, std::int32_t start,
                                      std::int32_t end, bool ignoreCase) {
    const auto* bytes = static_cast<const std::uint8_t*>(pattern);
    if (OnFind) {
        std::int32_t result = -1;
        OnFind(bytes, length, start, end, ignoreCase, 0, result);
        return result;
    }
    FindProgressFn progress;
    if (findProgress_ && OnProgress) {
        progress = [this](std::uint8_t percent) {
            bool cancel = false;
            OnProgress(HexProgressKind::pkFind, fileName_, percent, cancel);
        };
    }
    const WaitCursorScope busy(*this);
    return quillon::FindBytes(data_.AddressOf(0), DataLength(), bytes, length, start, end,
                              ignoreCase ? findTables_.lowerCase : findTables_.identity, progress);
}

} // namespace quillon
