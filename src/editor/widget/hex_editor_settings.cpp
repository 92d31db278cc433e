// The settings text: the public settings as "Name=Value" lines, read and written by a table.
#include <array>
#include <charconv>
#include <strings.h>
#include <vector>

#include "editor/core/hex_error.h"
#include "editor/widget/hex_editor_ex.h"

namespace quillon {

namespace {

using Getter = std::string (*)(HexEditorEx&);
using Setter = void (*)(HexEditorEx&, const std::string&);

struct Setting {
    const char* name;
    Getter get;
    Setter set;
};

[[noreturn]] void RaiseBadValue(const std::string& value) {
    throw EHexEditor(FormatMessage("Invalid property value \"%s\"", value.c_str()));
}

bool SameName(const std::string& a, const char* b) {
    return ::strcasecmp(a.c_str(), b) == 0;
}

std::string BoolText(bool value) {
    return value ? "True" : "False";
}

bool ParseBool(const std::string& text) {
    if (SameName(text, "True")) {
        return true;
    }
    if (SameName(text, "False")) {
        return false;
    }
    RaiseBadValue(text);
}

std::int32_t ParseInt(const std::string& text) {
    const bool hex = !text.empty() && text[0] == '$';
    const char* first = text.data() + (hex ? 1 : 0);
    const char* last = text.data() + text.size();
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || error != std::errc() || end != last || value < INT32_MIN ||
        value > (hex ? std::int64_t{UINT32_MAX} : INT32_MAX)) {
        RaiseBadValue(text);
    }
    return static_cast<std::int32_t>(value);
}

std::string IntText(std::int64_t value) {
    return std::to_string(value);
}

std::string ColorText(Color color) {
    return IntText(static_cast<std::int32_t>(color));
}

Color ParseColor(const std::string& text) {
    try {
        return StringToColor(text);
    } catch (const EHexEditor&) {
        RaiseBadValue(text);
    }
}

template <std::size_t N>
std::string EnumText(const std::array<const char*, N>& names, std::size_t value) {
    return value < N ? names[value] : std::string();
}

template <std::size_t N>
std::size_t ParseEnum(const std::array<const char*, N>& names, const std::string& text) {
    for (std::size_t i = 0; i < N; ++i) {
        if (SameName(text, names[i])) {
            return i;
        }
    }
    RaiseBadValue(text);
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

template <std::size_t N>
std::string SetText(const std::array<const char*, N>& names, std::uint32_t bits) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i) {
        if (bits & (1u << i)) {
            if (!text.empty()) {
                text += ',';
            }
            text += names[i];
        }
    }
    return text;
}

template <std::size_t N>
std::uint32_t ParseSet(const std::array<const char*, N>& names, const std::string& text) {
    std::string members = Trimmed(text);
    if (!members.empty() && members.front() == '[' && members.back() == ']') {
        members = members.substr(1, members.size() - 2);
    }
    std::uint32_t bits = 0;
    std::size_t start = 0;
    while (!Trimmed(members).empty() && start <= members.size()) {
        const std::size_t comma = std::min(members.find(',', start), members.size());
        bits |= 1u << ParseEnum(names, Trimmed(members.substr(start, comma - start)));
        start = comma + 1;
    }
    return bits;
}

constexpr std::array<const char*, 5> kPrintFlagNames{"pfSelectionOnly", "pfSelectionBold",
                                                     "pfMonochrome", "pfUseBackgroundColor",
                                                     "pfCurrentViewOnly"};
constexpr std::array<const char*, 4> kFontStyleNames{"fsBold", "fsItalic", "fsUnderline",
                                                     "fsStrikeOut"};
constexpr std::array<const char*, 6> kTranslationNames{"tkAsIs", "tkDos8", "tkASCII",
                                                       "tkMac",  "tkBCD",  "tkCustom"};
constexpr std::array<const char*, 4> kCaretKindNames{"ckFull", "ckLeft", "ckBottom", "ckAuto"};

std::uint32_t FontStyle(const QFont& font) {
    return (font.bold() ? 1u : 0u) | (font.italic() ? 2u : 0u) | (font.underline() ? 4u : 0u) |
           (font.strikeOut() ? 8u : 0u);
}

void SetFontStyle(QFont& font, std::uint32_t style) {
    font.setBold(style & 1u);
    font.setItalic(style & 2u);
    font.setUnderline(style & 4u);
    font.setStrikeOut(style & 8u);
}

int PointSize(const QFont& font) {
    return font.pointSize() > 0 ? font.pointSize() : font.pixelSize() * 72 / 96;
}

// Font.* and PrintFont.* read and write a copy of the font and store it back.
template <typename Change> void ChangeEditorFont(HexEditorEx& editor, Change change) {
    QFont font = editor.Font();
    change(font);
    editor.SetFont(font);
}

template <typename Change> void ChangePrintFont(HexEditorEx& editor, Change change) {
    HexFont font = editor.PrintFont();
    change(font);
    editor.SetPrintFont(font);
}

std::string ColorOf(HexEditorEx& editor, HexColors::Index index) {
    return ColorText(editor.Colors().Get(index));
}

#define QUILLON_COLOR_SETTING(Name)                                                                \
    Setting {                                                                                      \
        "Colors." #Name, [](HexEditorEx& e) { return ColorOf(e, HexColors::k##Name); },            \
            [](HexEditorEx& e, const std::string& v) {                                             \
                e.Colors().Set(HexColors::k##Name, ParseColor(v));                                 \
            }                                                                                      \
    }

#define QUILLON_BOOL_SETTING(Name, Object)                                                         \
    Setting {                                                                                      \
#Name, [](HexEditorEx & e) {                                                               \
            return BoolText(Object.Name());                                                        \
        }, [](HexEditorEx & e, const std::string& v) {                                             \
            Object.Set##Name(ParseBool(v));                                                        \
        }                                                                                          \
    }

#define QUILLON_NAMED_INT_SETTING(Key, Name, Object)                                               \
    Setting {                                                                                      \
        Key, [](HexEditorEx& e) { return IntText(Object.Name()); },                                \
            [](HexEditorEx& e, const std::string& v) {                                             \
                Object.Set##Name(ParseInt(v));                                                     \
            }                                                                                      \
    }

#define QUILLON_INT_SETTING(Name, Object) QUILLON_NAMED_INT_SETTING(#Name, Name, Object)

const std::array<Setting, 65>& Settings() {
    static const std::array<Setting, 65> settings{{
        QUILLON_BOOL_SETTING(CreateBackup, e),
        {"BackupExtension", [](HexEditorEx& e) { return e.BackupExtension(); },
         [](HexEditorEx& e, const std::string& v) {
             e.SetBackupExtension(v);
         }},
        QUILLON_BOOL_SETTING(OleDragDrop, e),
        QUILLON_BOOL_SETTING(ClipboardAsHexText, e),
        QUILLON_BOOL_SETTING(FlushClipboardAtShutDown, e),
        QUILLON_BOOL_SETTING(SupportsOtherClipFormats, e),
        QUILLON_NAMED_INT_SETTING("PrintOptions.MarginLeft", MarginLeft, e.PrintOptions()),
        QUILLON_NAMED_INT_SETTING("PrintOptions.MarginTop", MarginTop, e.PrintOptions()),
        QUILLON_NAMED_INT_SETTING("PrintOptions.MarginRight", MarginRight, e.PrintOptions()),
        QUILLON_NAMED_INT_SETTING("PrintOptions.MarginBottom", MarginBottom, e.PrintOptions()),
        {"PrintOptions.PageHeader",
         [](HexEditorEx& e) { return e.PrintOptions().PageHeader().toStdString(); },
         [](HexEditorEx& e, const std::string& v) {
             e.PrintOptions().SetPageHeader(QString::fromStdString(v));
         }},
        {"PrintOptions.PageFooter",
         [](HexEditorEx& e) { return e.PrintOptions().PageFooter().toStdString(); },
         [](HexEditorEx& e, const std::string& v) {
             e.PrintOptions().SetPageFooter(QString::fromStdString(v));
         }},
        {"PrintOptions.Flags",
         [](HexEditorEx& e) { return SetText(kPrintFlagNames, e.PrintOptions().Flags()); },
         [](HexEditorEx& e, const std::string& v) {
             e.PrintOptions().SetFlags(static_cast<HexPrintFlags>(ParseSet(kPrintFlagNames, v)));
         }},
        {"PrintFont.Charset", [](HexEditorEx& e) { return IntText(e.PrintFont().charset); },
         [](HexEditorEx& e, const std::string& v) {
             const std::int32_t charset = ParseInt(v);
             ChangePrintFont(e, [&](HexFont& font) { font.charset = charset; });
         }},
        {"PrintFont.Color", [](HexEditorEx& e) { return ColorText(e.PrintFont().color); },
         [](HexEditorEx& e, const std::string& v) {
             const Color color = ParseColor(v);
             ChangePrintFont(e, [&](HexFont& font) { font.color = color; });
         }},
        {"PrintFont.Name", [](HexEditorEx& e) { return e.PrintFont().font.family().toStdString(); },
         [](HexEditorEx& e, const std::string& v) {
             ChangePrintFont(
                 e, [&](HexFont& font) { font.font.setFamily(QString::fromStdString(v)); });
         }},
        {"PrintFont.Size", [](HexEditorEx& e) { return IntText(PointSize(e.PrintFont().font)); },
         [](HexEditorEx& e, const std::string& v) {
             const std::int32_t size = ParseInt(v);
             ChangePrintFont(e, [&](HexFont& font) { font.font.setPointSize(std::max(size, 1)); });
         }},
        {"PrintFont.Style",
         [](HexEditorEx& e) { return SetText(kFontStyleNames, FontStyle(e.PrintFont().font)); },
         [](HexEditorEx& e, const std::string& v) {
             const std::uint32_t style = ParseSet(kFontStyleNames, v);
             ChangePrintFont(e, [&](HexFont& font) { SetFontStyle(font.font, style); });
         }},
        QUILLON_BOOL_SETTING(UseEditorFontForPrinting, e),
        QUILLON_BOOL_SETTING(ZoomOnWheel, e),
        {"Font.Charset", [](HexEditorEx& e) { return IntText(e.FontCharset()); },
         [](HexEditorEx& e, const std::string& v) {
             e.SetFontCharset(ParseInt(v));
         }},
        {"Font.Color", [](HexEditorEx& e) { return ColorText(e.FontColor()); },
         [](HexEditorEx& e, const std::string& v) {
             e.SetFontColor(ParseColor(v));
         }},
        {"Font.Name", [](HexEditorEx& e) { return e.Font().family().toStdString(); },
         [](HexEditorEx& e, const std::string& v) {
             ChangeEditorFont(e, [&](QFont& font) { font.setFamily(QString::fromStdString(v)); });
         }},
        {"Font.Size", [](HexEditorEx& e) { return IntText(PointSize(e.Font())); },
         [](HexEditorEx& e, const std::string& v) {
             const std::int32_t size = ParseInt(v);
             ChangeEditorFont(e, [&](QFont& font) { font.setPointSize(std::max(size, 1)); });
         }},
        {"Font.Style", [](HexEditorEx& e) { return SetText(kFontStyleNames, FontStyle(e.Font())); },
         [](HexEditorEx& e, const std::string& v) {
             const std::uint32_t style = ParseSet(kFontStyleNames, v);
             ChangeEditorFont(e, [&](QFont& font) { SetFontStyle(font, style); });
         }},
        QUILLON_INT_SETTING(BytesPerRow, e.Core()),
        QUILLON_INT_SETTING(BytesPerColumn, e.Core()),
        {"Translation",
         [](HexEditorEx& e) {
             return EnumText(kTranslationNames, static_cast<std::size_t>(e.Core().Translation()));
         },
         [](HexEditorEx& e, const std::string& v) {
             e.Core().SetTranslation(
                 static_cast<HexTranslationKind>(ParseEnum(kTranslationNames, v)));
         }},
        {"OffsetFormat", [](HexEditorEx& e) { return e.Core().OffsetFormat(); },
         [](HexEditorEx& e, const std::string& v) {
             e.Core().SetOffsetFormat(v);
         }},
        {"CaretKind",
         [](HexEditorEx& e) {
             return EnumText(kCaretKindNames, static_cast<std::size_t>(e.CaretKind()));
         },
         [](HexEditorEx& e, const std::string& v) {
             e.SetCaretKind(static_cast<HexCaretKind>(ParseEnum(kCaretKindNames, v)));
         }},
        QUILLON_COLOR_SETTING(Background),
        QUILLON_COLOR_SETTING(ChangedBackground),
        QUILLON_COLOR_SETTING(ChangedText),
        QUILLON_COLOR_SETTING(CursorFrame),
        QUILLON_COLOR_SETTING(Offset),
        QUILLON_COLOR_SETTING(OddColumn),
        QUILLON_COLOR_SETTING(EvenColumn),
        QUILLON_COLOR_SETTING(CurrentOffsetBackground),
        QUILLON_COLOR_SETTING(OffsetBackGround),
        QUILLON_COLOR_SETTING(CurrentOffset),
        QUILLON_COLOR_SETTING(Grid),
        QUILLON_COLOR_SETTING(NonFocusCursorFrame),
        QUILLON_BOOL_SETTING(FocusFrame, e),
        QUILLON_BOOL_SETTING(SwapNibbles, e.Core()),
        {"MaskChar", [](HexEditorEx& e) { return IntText(e.Core().MaskChar()); },
         [](HexEditorEx& e, const std::string& v) {
             const std::int32_t code = ParseInt(v);
             if (code < 0 || code > 255) {
                 RaiseBadValue(v);
             }
             e.Core().SetMaskChar(static_cast<std::uint8_t>(code));
         }},
        QUILLON_BOOL_SETTING(NoSizeChange, e.Core()),
        QUILLON_BOOL_SETTING(AllowInsertMode, e.Core()),
        QUILLON_BOOL_SETTING(DrawGridLines, e),
        QUILLON_BOOL_SETTING(ReadOnlyView, e.Core()),
        QUILLON_BOOL_SETTING(HideSelection, e),
        QUILLON_BOOL_SETTING(GraySelectionIfNotFocused, e),
        QUILLON_INT_SETTING(GutterWidth, e.Core()),
        QUILLON_INT_SETTING(MaxUndo, e.Core()),
        QUILLON_BOOL_SETTING(InsertMode, e.Core()),
        QUILLON_BOOL_SETTING(HexLowerCase, e.Core()),
        QUILLON_BOOL_SETTING(DrawGutter3D, e),
        QUILLON_BOOL_SETTING(ShowRuler, e.Core()),
        QUILLON_INT_SETTING(BytesPerUnit, e.Core()),
        QUILLON_INT_SETTING(RulerBytesPerUnit, e.Core()),
        QUILLON_BOOL_SETTING(ShowPositionIfNotFocused, e),
        QUILLON_BOOL_SETTING(UnicodeChars, e.Core()),
        QUILLON_BOOL_SETTING(UnicodeBigEndian, e.Core()),
        QUILLON_INT_SETTING(BytesPerBlock, e.Core()),
        QUILLON_BOOL_SETTING(SeparateBlocksInCharField, e.Core()),
        QUILLON_BOOL_SETTING(FindProgress, e.Core()),
    }};
    return settings;
}

#undef QUILLON_COLOR_SETTING
#undef QUILLON_BOOL_SETTING
#undef QUILLON_INT_SETTING
#undef QUILLON_NAMED_INT_SETTING

const Setting* FindSetting(const std::string& name) {
    for (const Setting& setting : Settings()) {
        if (SameName(name, setting.name)) {
            return &setting;
        }
    }
    return nullptr;
}

// The lines of a text, without their CR LF or LF endings.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

} // namespace

bool HexEditorEx::IsPublicProperty(const std::string& name) {
    if (FindSetting(name) == nullptr) {
        return false;
    }
    bool isPublic = true;
    if (OnQueryPublicProperty) {
        OnQueryPublicProperty(name, isPublic);
    }
    return isPublic;
}

std::string HexEditorEx::GetSettingsText() {
    std::string text;
    for (const Setting& setting : Settings()) {
        if (IsPublicProperty(setting.name)) {
            text += std::string(setting.name) + "=" + setting.get(*this) + "\r\n";
        }
    }
    return text;
}

void HexEditorEx::SetSettingsText(const std::string& text) {
    struct PaintLock {
        HexEditorEx& editor;
        explicit PaintLock(HexEditorEx& e) : editor(e) { editor.LockPaint(); }
        ~PaintLock() { editor.UnlockPaint(); }
        PaintLock(const PaintLock&) = delete;
        PaintLock& operator=(const PaintLock&) = delete;
    } lock(*this);

    const std::vector<std::string> lines = SplitLines(text);
    const auto firstValueOf = [&lines](const std::string& name) {
        for (const std::string& line : lines) {
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos && SameName(line.substr(0, equals), name.c_str())) {
                return line.substr(equals + 1);
            }
        }
        return std::string();
    };
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string name = line.substr(0, equals);
        if (!IsPublicProperty(name)) {
            continue;
        }
        FindSetting(name)->set(*this, firstValueOf(name));
    }
}

} // namespace quillon
