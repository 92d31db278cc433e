#include <QElapsedTimer>

#include "view_fixture.h"

namespace quillon {

namespace {

class MouseTest : public ViewTest {
protected:
    MouseTest() { Load(Counting(64)); }
};

// Runs the event loop until `done` holds or two seconds have passed.
template <typename Condition> bool WaitFor(Condition done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000) {
        QTest::qWait(20);
    }
    return done();
}

} // namespace

TEST_F(MouseTest, ClickPlacesTheCaretAndDropsTheSelection) {
    Core().SelectRange(0, 3);
    Click(10, 3);
    EXPECT_EQ(Core().CurrentCell(), (GridCell{10, 3}));
    EXPECT_EQ(Core().SelectionCount(), 0);
    Click(0, 4);
    EXPECT_EQ(Core().CurrentCell(), (GridCell{10, 3})) << "the gutter does not move the caret";
    Click(34, 2);
    EXPECT_EQ(Core().CurrentCell(), (GridCell{33, 2})) << "the separator gives its left cell";
}

TEST_F(MouseTest, DraggingSelects) {
    Press(CellCenter(2, 2));
    MoveTo(CellCenter(12, 2));
    Release(CellCenter(12, 2));
    EXPECT_EQ(Core().SelectionLower(), 0);
    EXPECT_EQ(Core().SelectionUpper(), 5);
    EXPECT_EQ(Core().CurrentCell(), (GridCell{12, 2}));
}

TEST_F(MouseTest, ClickIntoTheSelection) {
    Core().SelectRange(4, 9);
    Click(12, 2);
    EXPECT_EQ(Core().SelectionCount(), 0) << "a click without movement drops the selection";
    EXPECT_EQ(Core().CurrentCell(), (GridCell{12, 2}));

    Core().SelectRange(4, 9);
    Press(CellCenter(12, 2));
    EXPECT_TRUE(Core().ClickInSelection());
    MoveTo(CellCenter(12, 2) + QPoint(1, 0));
    EXPECT_FALSE(Core().ClickInSelection());
    Release(CellCenter(12, 2) + QPoint(1, 0));
    EXPECT_EQ(Core().SelectionLower(), 4) << "moved: the selection stays for dragging";
    EXPECT_EQ(Core().SelectionUpper(), 9);
}

TEST_F(MouseTest, InsertModeClickRightOfTheRowGoesToTheNextRow) {
    Core().SetInsertMode(true);
    const QRect last = editor->CellRect(50, 2);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {},
                      QPoint(last.left() + Core().CharWidth() + 2, last.center().y()));
    EXPECT_EQ(Core().CurrentCell(), (GridCell{35, 3}));
}

TEST_F(MouseTest, DoubleClickSelectsOneByte) {
    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, CellCenter(13, 2));
    EXPECT_EQ(Core().SelectionLower(), 5);
    EXPECT_EQ(Core().SelectionUpper(), 5);
    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, CellCenter(2, 8));
    EXPECT_EQ(Core().SelectionLower(), 5) << "past the last byte nothing new is selected";
}

TEST_F(MouseTest, PointerShapes) {
    Core().SelectRange(0, 3);
    MoveTo(CellCenter(4, 2), Qt::NoButton);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::ArrowCursor) << "over the selection";
    MoveTo(CellCenter(20, 3), Qt::NoButton);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::IBeamCursor);
    MoveTo(CellCenter(0, 3), Qt::NoButton);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::ArrowCursor) << "over the gutter";
}

TEST_F(MouseTest, DraggingOntoThePartlyShownRowScrolls) {
    Load(Counting(16 * 100));
    const std::int32_t rows = Core().VisibleRowCount();
    const QRect partly = editor->CellRect(6, Core().TopRow() + rows);
    ASSERT_FALSE(partly.isEmpty()) << "the viewport shows part of one more row";
    Press(CellCenter(6, 2));
    MoveTo(QPoint(partly.center().x(), partly.top() + 1));
    EXPECT_TRUE(WaitFor([&] { return Core().TopRow() >= 5; })) << "top row " << Core().TopRow();
    Release(QPoint(partly.center().x(), partly.top() + 1));
    const std::int32_t top = Core().TopRow();
    EXPECT_EQ(Core().SelectionLower(), 2);
    EXPECT_GT(Core().SelectionUpper(), 16 * (rows + 2));
    QTest::qWait(150);
    EXPECT_EQ(Core().TopRow(), top) << "the scrolling stops with the release";
}

} // namespace quillon
