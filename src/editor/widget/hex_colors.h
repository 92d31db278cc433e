#pragma once

#include <array>
#include <cstddef>
#include <functional>

#include <QColor>
#include <QPalette>

#include "editor/core/hex_color.h"

namespace quillon {

// The editor's twelve colours. Every setter that changes a value tells the owner, which repaints.
class HexColors {
public:
    // In the order the settings text lists them.
    enum Index : std::size_t {
        kBackground,
        kChangedBackground,
        kChangedText,
        kCursorFrame,
        kOffset,
        kOddColumn,
        kEvenColumn,
        kCurrentOffsetBackground,
        kOffsetBackGround,
        kCurrentOffset,
        kGrid,
        kNonFocusCursorFrame,
        kCount,
    };

    explicit HexColors(std::function<void()> changed = {});
    HexColors(const HexColors&) = delete;
    HexColors& operator=(const HexColors&) = delete;

    // Copies all twelve through the setters.
    void Assign(const HexColors& source);

    Color Get(Index index) const { return colors_[index]; }
    void Set(Index index, Color color);

    Color Background() const { return Get(kBackground); }
    void SetBackground(Color color) { Set(kBackground, color); }
    Color ChangedBackground() const { return Get(kChangedBackground); }
    void SetChangedBackground(Color color) { Set(kChangedBackground, color); }
    Color ChangedText() const { return Get(kChangedText); }
    void SetChangedText(Color color) { Set(kChangedText, color); }
    Color CursorFrame() const { return Get(kCursorFrame); }
    void SetCursorFrame(Color color) { Set(kCursorFrame, color); }
    Color Offset() const { return Get(kOffset); }
    void SetOffset(Color color) { Set(kOffset, color); }
    Color OddColumn() const { return Get(kOddColumn); }
    void SetOddColumn(Color color) { Set(kOddColumn, color); }
    Color EvenColumn() const { return Get(kEvenColumn); }
    void SetEvenColumn(Color color) { Set(kEvenColumn, color); }
    Color CurrentOffsetBackground() const { return Get(kCurrentOffsetBackground); }
    void SetCurrentOffsetBackground(Color color) { Set(kCurrentOffsetBackground, color); }
    Color OffsetBackGround() const { return Get(kOffsetBackGround); }
    void SetOffsetBackGround(Color color) { Set(kOffsetBackGround, color); }
    Color CurrentOffset() const { return Get(kCurrentOffset); }
    void SetCurrentOffset(Color color) { Set(kCurrentOffset, color); }
    Color Grid() const { return Get(kGrid); }
    void SetGrid(Color color) { Set(kGrid, color); }
    Color NonFocusCursorFrame() const { return Get(kNonFocusCursorFrame); }
    void SetNonFocusCursorFrame(Color color) { Set(kNonFocusCursorFrame, color); }

private:
    std::array<Color, kCount> colors_;
    std::function<void()> changed_;
};

// A colour as painted: system colours through the palette (clWindow -> Base, clWindowText ->
// Text, clBtnFace -> Button, clBtnShadow -> Dark, clBtnHighlight -> Light, clHighlight ->
// Highlight, clHighlightText -> HighlightedText, the others to their nearest roles).
QColor ResolveColor(Color color, const QPalette& palette);
// RGB xor FFFFFFh.
QColor InvertRgb(const QColor& color);
// (74 R + 146 G + 36 B) shr 8 in all three channels.
QColor GrayOf(const QColor& color);

} // namespace quillon
