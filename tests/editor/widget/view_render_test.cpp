#include <algorithm>
#include <vector>

#include <QPainter>
#include <QScrollBar>

#include "view_fixture.h"

namespace quillon {

namespace {

// Fonts drawn without antialiasing, so that every inked pixel has the text colour.
class RenderTest : public ViewTest {
protected:
    RenderTest() {
        QFont font = editor->Font();
        font.setStyleStrategy(QFont::NoAntialias);
        editor->SetFont(font);
        Load(ByteVector(64, 0x88));
        // The caret out of the way, on the last byte's character.
        Core().MoveCaretToCell({50, 5});
    }

    QRect TextRect(std::int32_t col, std::int32_t row) {
        QRect cell = editor->CellRect(col, row);
        cell.setWidth(Core().CharWidth());
        return cell;
    }
    static bool HasPixel(const QImage& image, const QRect& rect, const QColor& color) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image.pixelColor(x, y).rgb() == color.rgb()) {
                    return true;
                }
            }
        }
        return false;
    }
    QColor Background() { return Resolved(editor->Colors().Background()); }
};

} // namespace

TEST_F(RenderTest, DigitsInColumnGroupColoursAndCharactersInTheFontColour) {
    const QImage image = Grab();
    const QColor odd = Resolved(editor->Colors().OddColumn());
    const QColor even = Resolved(editor->Colors().EvenColumn());
    for (const std::int32_t col : {2, 3, 4, 5, 10}) {
        EXPECT_TRUE(HasPixel(image, TextRect(col, 2), odd)) << "column group 0, 2: col " << col;
        EXPECT_FALSE(HasPixel(image, TextRect(col, 2), even)) << col;
    }
    for (const std::int32_t col : {6, 9, 14}) {
        EXPECT_TRUE(HasPixel(image, TextRect(col, 2), even)) << "column group 1, 3: col " << col;
    }
    EXPECT_TRUE(HasPixel(image, TextRect(36, 2), Resolved(editor->FontColor())));
    EXPECT_EQ(PixelOf(image, 5, 2, 0, 0), Background());
}

TEST_F(RenderTest, ChangedBytesKeepTheirColoursInvertedWhenSelected) {
    Core().ChangeByte(0x88, 0x11, 1, 4, 2);
    Core().SelectRange(1, 1);
    Core().ChangeByte(0x88, 0x22, 3, 8, 2);
    const QImage image = Grab();
    const QColor changedBackground = Resolved(editor->Colors().ChangedBackground());
    EXPECT_EQ(PixelOf(image, 8, 2, 0, 0), changedBackground) << "hex field";
    EXPECT_EQ(PixelOf(image, 38, 2, 0, 0), changedBackground) << "character field";
    EXPECT_TRUE(HasPixel(image, TextRect(8, 2), Resolved(editor->Colors().ChangedText())));
    EXPECT_EQ(PixelOf(image, 4, 2, 0, 0), InvertRgb(changedBackground)) << "selected";
    EXPECT_EQ(PixelOf(image, 10, 2, 0, 0), Background()) << "an unchanged byte";
}

TEST_F(RenderTest, SelectionCoversTheGapsBetweenSelectedBytesOnly) {
    // Byte 1's second digit (column 5) ends a column group: its cell is two characters wide.
    const std::int32_t gap = Core().CharWidth() + 1;
    struct Case {
        std::int32_t upper;
        bool gapInverted;
    };
    for (const Case& c : {Case{2, true}, Case{1, false}}) {
        Core().SelectRange(0, c.upper);
        const QImage image = Grab();
        EXPECT_EQ(PixelOf(image, 4, 2, 0, 0), InvertRgb(Background())) << "text background";
        EXPECT_TRUE(
            HasPixel(image, TextRect(4, 2), InvertRgb(Resolved(editor->Colors().OddColumn()))));
        EXPECT_EQ(PixelOf(image, 5, 2, gap, 2),
                  c.gapInverted ? InvertRgb(Background()) : Background())
            << "selection up to byte " << c.upper;
        EXPECT_EQ(PixelOf(image, 36, 2, 0, 0), InvertRgb(Background())) << "character field";
    }
}

TEST_F(RenderTest, SelectionWithoutFocus) {
    Core().SelectRange(0, 2);
    editor->clearFocus();
    QImage image = Grab();
    EXPECT_EQ(PixelOf(image, 4, 2, 0, 0), InvertRgb(Background())) << "shown by default";

    editor->SetHideSelection(true);
    image = Grab();
    EXPECT_EQ(PixelOf(image, 4, 2, 0, 0), Background()) << "hidden";

    editor->SetHideSelection(false);
    editor->SetGraySelectionIfNotFocused(true);
    image = Grab();
    EXPECT_EQ(PixelOf(image, 4, 2, 0, 0), GrayOf(InvertRgb(Background())))
        << "grey text background";
    EXPECT_EQ(PixelOf(image, 5, 2, Core().CharWidth() + 1, 2), InvertRgb(Background()))
        << "the fill stays inverted";
    EXPECT_TRUE(
        HasPixel(image, TextRect(4, 2), GrayOf(InvertRgb(Resolved(editor->Colors().OddColumn())))));
}

TEST_F(RenderTest, CaretByteIsFramedInTheOtherField) {
    Core().MoveCaretToCell({6, 2}); // byte 2, hex field: its character is column 37
    editor->SetFocusFrame(false);
    QImage image = Grab();
    const QColor frame = Resolved(editor->Colors().CursorFrame());
    EXPECT_EQ(PixelOf(image, 37, 2, 0, 0), frame);
    EXPECT_EQ(PixelOf(image, 37, 2, Core().CharWidth() - 1, 0), frame);
    EXPECT_EQ(PixelOf(image, 37, 2, 0, Core().RowHeight() - 2), frame);
    EXPECT_NE(PixelOf(image, 38, 2, 0, 0), frame);

    // A dotted focus rectangle: every other pixel of its top edge inverted.
    const auto dotted = [&](const QImage& shot, std::int32_t col) {
        const QColor first = PixelOf(shot, col, 2, 0, 0);
        const QColor second = PixelOf(shot, col, 2, 1, 0);
        const QColor dot = InvertRgb(Background());
        const bool alternating =
            (first == dot && second == Background()) || (first == Background() && second == dot);
        return alternating && PixelOf(shot, col, 2, 2, 0) == first;
    };
    editor->SetFocusFrame(true);
    image = Grab();
    EXPECT_TRUE(dotted(image, 37));
    EXPECT_FALSE(dotted(image, 38));

    Key(Qt::Key_Tab); // the caret in the character field frames the first digit
    image = Grab();
    EXPECT_TRUE(dotted(image, 6));
}

TEST_F(RenderTest, UnfocusedPositionMark) {
    Core().MoveCaretToCell({6, 2});
    editor->SetShowPositionIfNotFocused(true);
    editor->clearFocus();
    const QImage image = Grab();
    EXPECT_EQ(PixelOf(image, 6, 2, 0, 0), Resolved(editor->Colors().NonFocusCursorFrame()));
    EXPECT_EQ(PixelOf(image, 37, 2, 0, 0), Background()) << "no frame in the other field";
}

TEST_F(RenderTest, GutterAndRulerMarkTheCaretRowAndColumn) {
    Core().SetShowRuler(true);
    Core().MoveCaretToCell({8, 3});
    const QImage image = Grab();
    const QColor current = Resolved(editor->Colors().CurrentOffsetBackground());
    const QColor plain = Resolved(editor->Colors().OffsetBackGround());
    EXPECT_EQ(PixelOf(image, 0, 3, 1, 1), current);
    EXPECT_EQ(PixelOf(image, 0, 2, 1, 1), plain);
    EXPECT_EQ(PixelOf(image, 8, 0, 0, 0), current) << "ruler label of the caret column";
    EXPECT_EQ(PixelOf(image, 9, 0, 0, 0), plain);
    EXPECT_TRUE(HasPixel(image, TextRect(8, 0), Resolved(editor->Colors().CurrentOffset())));
    EXPECT_TRUE(HasPixel(image, TextRect(9, 0), Resolved(editor->Colors().Offset())));
}

TEST_F(RenderTest, GridLinesAndGutterEdges) {
    Core().SetShowRuler(true);
    const std::int32_t gutter = Core().ColWidths(0);
    const std::int32_t dataTop = Core().RowHeights(0);
    QImage image = Grab();
    EXPECT_EQ(Pixel(image, QPoint(gutter, dataTop + 5)), Resolved(clBtnShadow)) << "3D edge";
    EXPECT_EQ(Pixel(image, QPoint(gutter - 1, dataTop + 5)), Resolved(clBtnHighlight));
    EXPECT_EQ(Pixel(image, QPoint(gutter + 40, dataTop - 1)), Resolved(clBtnShadow))
        << "ruler edge";
    EXPECT_EQ(Pixel(image, QPoint(gutter + 40, dataTop - 2)), Resolved(clBtnHighlight));

    editor->SetDrawGutter3D(false);
    editor->SetDrawGridLines(true);
    editor->Colors().SetGrid(clLime);
    image = Grab();
    const QColor grid = Resolved(clLime);
    const QRect cell = editor->CellRect(4, 2);
    EXPECT_EQ(Pixel(image, QPoint(cell.left() + 2, cell.bottom())), grid) << "under data cells";
    EXPECT_EQ(Pixel(image, QPoint(gutter - 1, dataTop + 5)), grid) << "gutter edge";
    EXPECT_EQ(Pixel(image, QPoint(gutter + 40, dataTop - 1)), grid) << "ruler edge";
    const QRect separator = editor->CellRect(34, 2);
    EXPECT_EQ(Pixel(image, QPoint(separator.left(), separator.top() + 3)), grid);
    const QRect last = editor->CellRect(50, 2);
    EXPECT_EQ(Pixel(image, QPoint(last.right(), last.top() + 3)), grid);
}

TEST_F(RenderTest, BookmarkIconsInTheGutter) {
    Core().ToggleBookmark(1, 2, false);
    Core().ToggleBookmark(2, 20, true);
    const QImage image = Grab();
    const QRect row2 = editor->CellRect(0, 2);
    const QRect row3 = editor->CellRect(0, 3);
    const int iconTop = (row2.height() - 10) / 2;
    EXPECT_EQ(PixelOf(image, 0, 2, 3 + 2, iconTop + 1), QColor(255, 255, 0)) << "hex field";
    EXPECT_EQ(PixelOf(image, 0, 3, 3 + 2, iconTop + 1), QColor(192, 192, 192)) << "char field";
    EXPECT_EQ(PixelOf(image, 0, 2, 3, iconTop), Resolved(editor->Colors().OffsetBackGround()))
        << "the corner pixel is transparent";
    EXPECT_NE(row2, row3);
}

TEST_F(RenderTest, BookmarkBitmapOfTheHost) {
    EXPECT_FALSE(editor->BookmarkBitmapStored());
    EXPECT_EQ(editor->BookmarkBitmap().size(), QSize(200, 10));
    try {
        editor->SetBookmarkBitmap(QImage(10, 200, QImage::Format_RGB32));
        ADD_FAILURE() << "accepted a strip of 10 x 200";
    } catch (const EHexEditor& error) {
        EXPECT_STREQ(error.what(), "Invalid bookmark bitmap (must be 10 x 200 px)");
    }
    QImage strip(200, 10, QImage::Format_RGB32);
    strip.fill(QColor(0, 0, 255));
    strip.setPixelColor(0, 0, QColor(1, 2, 3));
    editor->SetBookmarkBitmap(strip);
    EXPECT_TRUE(editor->BookmarkBitmapStored());
    Core().ToggleBookmark(0, 0, false);
    QImage image = Grab();
    const int iconTop = (editor->CellRect(0, 2).height() - 10) / 2;
    EXPECT_EQ(PixelOf(image, 0, 2, 3 + 4, iconTop + 4), QColor(0, 0, 255));
    editor->SetBookmarkBitmap(QImage());
    EXPECT_FALSE(editor->BookmarkBitmapStored());
    image = Grab();
    EXPECT_EQ(PixelOf(image, 0, 2, 3 + 2, iconTop + 1), QColor(255, 255, 0)) << "built-in again";
}

TEST_F(RenderTest, DropMarkerInTheTextColour) {
    const QPoint point = editor->CellRect(10, 3).center();
    EXPECT_EQ(editor->ShowDropPosition(point), 20);
    QImage image = Grab();
    const QColor text = Resolved(editor->Colors().OddColumn());
    EXPECT_EQ(PixelOf(image, 10, 3, 1, 1), text);
    EXPECT_EQ(PixelOf(image, 10, 3, 2, Core().RowHeight() - 2), text);
    editor->HideDropPosition();
    image = Grab();
    EXPECT_EQ(PixelOf(image, 10, 3, 1, 1), Background());
}

TEST_F(RenderTest, DrawCellHandlerCanTakeOverACell) {
    Core().ChangeByte(0x88, 0x11, 1, 4, 2);
    std::vector<GridCell> asked;
    editor->OnDrawCell = [&](QPainter&, std::int32_t col, std::int32_t row, QString& text,
                             const QRect&, bool& defaultDraw) {
        asked.push_back({col, row});
        if (col == 4 && row == 2) {
            defaultDraw = false;
        }
        if (col == 38 && row == 2) {
            text = QStringLiteral("Z");
        }
    };
    editor->viewport()->repaint();
    const QImage image = Grab();
    EXPECT_EQ(PixelOf(image, 4, 2, 0, 0), Background()) << "left unpainted";
    EXPECT_EQ(PixelOf(image, 5, 2, 0, 0), Resolved(editor->Colors().ChangedBackground()));
    EXPECT_NE(std::find(asked.begin(), asked.end(), GridCell{0, 2}), asked.end())
        << "gutter cells are asked too";
}

TEST_F(RenderTest, CaretInvertsItsShape) {
    Core().MoveCaretToCell({6, 2});
    struct Case {
        HexCaretKind kind;
        QSize size;
    };
    const std::int32_t width = Core().CharWidth();
    const std::int32_t height = Core().RowHeight() - 2;
    for (const Case& c :
         {Case{HexCaretKind::ckFull, {width, height}}, Case{HexCaretKind::ckLeft, {2, height}},
          Case{HexCaretKind::ckBottom, {width, 2}}}) {
        editor->SetCaretKind(c.kind);
        Core().MoveCaretToCell({6, 2});
        const QRect caret = editor->CaretRect();
        EXPECT_EQ(caret.size(), c.size);
        EXPECT_EQ(caret.bottomLeft(), editor->CellRect(6, 2).topLeft() + QPoint(0, height - 1));
        const QImage image = Grab();
        EXPECT_EQ(Pixel(image, QPoint(caret.bottomLeft())), InvertRgb(Background()));
    }
    editor->SetCaretKind(HexCaretKind::ckAuto);
    Core().SetInsertMode(true);
    EXPECT_EQ(editor->CaretRect().width(), 2) << "a bar in insert mode";
    editor->clearFocus();
    EXPECT_TRUE(editor->CaretRect().isEmpty()) << "no caret without focus";
}

TEST_F(RenderTest, CaretLeavesTheScreenWithItsCell) {
    Load(ByteVector(16 * 100, 1));
    Core().MoveCaretToCell({4, 2});
    EXPECT_EQ(editor->CaretPosition(), editor->CellRect(4, 2).topLeft());
    Core().SetTopRow(40);
    EXPECT_EQ(editor->CaretPosition(), QPoint(-50, -50));
    EXPECT_EQ(editor->verticalScrollBar()->value(), 40) << "the scroll bar follows";
    editor->verticalScrollBar()->setValue(2);
    EXPECT_EQ(Core().TopRow(), 2) << "and leads";
    EXPECT_EQ(editor->CaretPosition(), editor->CellRect(4, 2).topLeft());
    editor->resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(editor->CaretPosition(), editor->CellRect(4, 2).topLeft()) << "after a resize";
}

} // namespace quillon
