// Drag and drop of the editor: the drop target driven by drag events, and the drag of the
// selection driven by the mouse.
#include <QDrag>
#include <QDropEvent>
#include <QPushButton>
#include <QTest>

#include "clipboard_test_support.h"
#include "editor/core/hex_error.h"
#include "editor/core/undo_storage.h"
#include "editor/widget/hex_data_object.h"
#include "editor/widget/hex_editor_ex.h"
#include "view_fixture.h"

namespace quillon {
namespace {

constexpr Qt::DropActions kAnyAction = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

struct DropResult {
    bool entered = false;
    bool dropped = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// The view tests' shown and focused editor, with drag and drop on, holding 00 11 22 33.
class DragDropTest : public ViewTest {
protected:
    DragDropTest() {
        QGuiApplication::clipboard()->clear();
        editor->SetOleDragDrop(true);
        Load(kFour);
    }

    // The middle of the hex cell of the byte (high digit, or low digit with `second`).
    QPoint PointOf(std::int32_t position, bool second = false) {
        const GridCell cell = Core().PositionToCell(position, false);
        return editor->CellRect(cell.col + (second ? 1 : 0), cell.row).center();
    }
    // Where a drop lands just behind the last byte.
    QPoint PointBehindTheEnd() { return PointOf(Core().DataLength() - 1, true) + QPoint(12, 0); }

    DropResult DropAt(const QMimeData& data, const QPoint& point,
                      Qt::KeyboardModifiers keys = Qt::NoModifier,
                      Qt::DropActions actions = kAnyAction) {
        DropResult result;
        QDragEnterEvent enter(point, actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(Viewport(), &enter);
        result.entered = enter.isAccepted();
        if (!result.entered) {
            return result;
        }
        QDragMoveEvent move(point, actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(Viewport(), &move);
        QDropEvent drop(QPointF(point), actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(Viewport(), &drop);
        result.dropped = drop.isAccepted();
        result.action = result.dropped ? drop.dropAction() : Qt::IgnoreAction;
        return result;
    }

    // Presses on selected byte `from` and moves far enough for a drag to start.
    void DragFrom(std::int32_t from, std::int32_t to) {
        Press(PointOf(from));
        MoveTo(PointOf(to));
    }
};

std::unique_ptr<QMimeData> BlockData(const ByteVector& bytes) {
    auto data = std::make_unique<QMimeData>();
    data->setData(kEditorBlockMime, MakeEditorBlock(ToQBytes(bytes)));
    return data;
}

TEST_F(DragDropTest, ADropFromElsewhereCopiesAtTheMarker) {
    const auto data = BlockData({0xAA, 0xBB});
    const DropResult result = DropAt(*data, PointOf(1));
    EXPECT_TRUE(result.dropped);
    EXPECT_EQ(result.action, Qt::CopyAction);
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0xAA, 0xBB, 0x11, 0x22, 0x33}));
    EXPECT_EQ(Core().UndoStorage().CurrentDescription(), "Data Dropped");
    EXPECT_FALSE(Core().DropShown());
}

TEST_F(DragDropTest, ShiftMovesAndTheDropBehindTheEndAppends) {
    const auto data = BlockData({0xAA});
    const DropResult result = DropAt(*data, PointBehindTheEnd(), Qt::ShiftModifier);
    EXPECT_EQ(result.action, Qt::MoveAction);
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x11, 0x22, 0x33, 0xAA}));
}

TEST_F(DragDropTest, DroppedFilesGiveTheFirstFilesBytesOrWithShiftTheirNames) {
    const TempFolder folder;
    const QString first = QString::fromStdString(WriteFile(folder.File("a.bin"), {0xF1, 0xF2}));
    const QString second = QString::fromStdString(WriteFile(folder.File("b.bin"), {0x99}));
    const auto data = FileListData({first, second});

    EXPECT_EQ(DropAt(*data, PointOf(0)).action, Qt::CopyAction);
    EXPECT_EQ(Bytes(), (ByteVector{0xF1, 0xF2, 0x00, 0x11, 0x22, 0x33}));

    Load(kFour);
    const DropResult linked = DropAt(*data, PointOf(0), Qt::ShiftModifier);
    EXPECT_EQ(linked.action, Qt::LinkAction);
    QByteArray names = QFile::encodeName(first) + '\0' + QFile::encodeName(second) + '\0';
    ByteVector expected = ToBytes(names);
    expected.insert(expected.end(), kFour.begin(), kFour.end());
    EXPECT_EQ(Bytes(), expected);
}

TEST_F(DragDropTest, TextIsDroppedOnlyWhileOtherFormatsAreSupported) {
    QMimeData text;
    text.setText(QStringLiteral("AB"));
    editor->SetSupportsOtherClipFormats(false);
    EXPECT_FALSE(DropAt(text, PointOf(0)).entered);

    editor->SetSupportsOtherClipFormats(true);
    const FormatDialogAnswer ok([](FormatSelDialog& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    });
    EXPECT_TRUE(DropAt(text, PointOf(0)).dropped);
    EXPECT_EQ(Bytes(), (ByteVector{'A', 'B', 0x00, 0x11, 0x22, 0x33}));
}

TEST_F(DragDropTest, ReadOnlyRefusesEveryDrop) {
    Core().SetReadOnlyView(true);
    const auto data = BlockData({0xAA});
    EXPECT_FALSE(DropAt(*data, PointOf(1)).entered);
    QDropEvent drop(QPointF(PointOf(1)), kAnyAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(Viewport(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_EQ(Bytes(), kFour);
}

TEST_F(DragDropTest, WhileTheSizeIsLockedADropOverwritesAndTheEndRefuses) {
    Core().SetNoSizeChange(true);
    const auto data = BlockData({0xAA, 0xBB, 0xCC});
    EXPECT_TRUE(DropAt(*data, PointOf(2)).dropped);
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x11, 0xAA, 0xBB}));

    const DropResult atEnd = DropAt(*data, PointBehindTheEnd());
    EXPECT_FALSE(atEnd.dropped);
    EXPECT_EQ(atEnd.action, Qt::IgnoreAction);
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x11, 0xAA, 0xBB}));
}

TEST_F(DragDropTest, AFailingDropIsReportedAndRefused) {
    const auto data = FileListData({QStringLiteral("/nonexistent/quillon.bin")});
    const DropResult result = DropAt(*data, PointOf(0));
    EXPECT_FALSE(result.dropped);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.front(),
              "Cannot open /nonexistent/quillon.bin.\r\n(No such file or directory.)");
    EXPECT_EQ(Bytes(), kFour);
    EXPECT_FALSE(Core().DropShown());
}

TEST_F(DragDropTest, TheMarkerFollowsTheDragAndGoesWhenItLeaves) {
    const auto data = BlockData({0xAA});
    QDragEnterEvent enter(PointOf(2), kAnyAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(Viewport(), &enter);
    EXPECT_TRUE(Core().DropShown());
    EXPECT_EQ(Core().DropPosition(), 2);
    QDragMoveEvent move(PointOf(3), kAnyAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(Viewport(), &move);
    EXPECT_EQ(Core().DropPosition(), 3);
    QDragLeaveEvent leave;
    QApplication::sendEvent(Viewport(), &leave);
    EXPECT_FALSE(Core().DropShown());
}

TEST_F(DragDropTest, DropsAreTakenOnlyWithOleDragDrop) {
    EXPECT_TRUE(Viewport()->acceptDrops());
    editor->SetOleDragDrop(false);
    EXPECT_FALSE(editor->OleDragDrop());
    EXPECT_FALSE(Viewport()->acceptDrops());
}

// Drags started by the mouse, with the drop performed by `drop` inside the drag.
class SelectionDragTest : public DragDropTest {
protected:
    void OnDrag(std::function<Qt::DropAction(QDrag&)> drop) {
        editor->DragDrop().ExecDrag = [this, drop](QDrag& drag) {
            ++drags;
            dragged =
                MediumToBytes(drag.mimeData()->data(kEditorBlockMime), EditorClipFormat, false);
            EXPECT_TRUE(editor->DragDrop().DragRunning());
            return drop(drag);
        };
    }
    // The drop of the drag into this same editor.
    Qt::DropAction DropHere(QDrag& drag, const QPoint& point,
                            Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const DropResult result =
            DropAt(*drag.mimeData(), point, keys, Qt::CopyAction | Qt::MoveAction);
        return result.dropped ? result.action : Qt::IgnoreAction;
    }

    int drags = 0;
    ByteVector dragged;
};

TEST_F(SelectionDragTest, DraggingInsideTheDocumentMovesAndOneUndoTakesItBack) {
    Load({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    Core().SelectRange(1, 3);
    OnDrag([this](QDrag& drag) { return DropHere(drag, PointBehindTheEnd()); });
    DragFrom(1, 3);
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(dragged, (ByteVector{0x11, 0x22, 0x33}));
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x44, 0x55, 0x11, 0x22, 0x33}));
    EXPECT_EQ(Core().UndoStorage().CurrentDescription(), "Data Moved");
    EXPECT_FALSE(editor->DragDrop().DragRunning());
    EXPECT_FALSE(Core().DropShown());

    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_FALSE(Core().CanUndo());
}

TEST_F(SelectionDragTest, AMoveOntoTheSelectionLeavesTheData) {
    Load({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    Core().SelectRange(1, 3);
    OnDrag([this](QDrag& drag) { return DropHere(drag, PointOf(2)); });
    DragFrom(1, 3);
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST_F(SelectionDragTest, CtrlCopiesInsideTheDocument) {
    Load({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    Core().SelectRange(1, 3);
    OnDrag([this](QDrag& drag) { return DropHere(drag, PointOf(5), Qt::ControlModifier); });
    DragFrom(1, 3);
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x11, 0x22, 0x33, 0x44, 0x11, 0x22, 0x33, 0x55}));
}

TEST_F(SelectionDragTest, AMoveToAnotherProgramDeletesTheSelectionHere) {
    Load({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    Core().SelectRange(1, 3);
    OnDrag([](QDrag&) { return Qt::MoveAction; });
    DragFrom(1, 3);
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x44, 0x55}));
}

TEST_F(SelectionDragTest, ACopyOrACancelLeavesTheDocument) {
    for (const Qt::DropAction outcome : {Qt::CopyAction, Qt::IgnoreAction}) {
        Load({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
        Core().SelectRange(1, 3);
        OnDrag([outcome](QDrag&) { return outcome; });
        DragFrom(1, 3);
        EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
        EXPECT_FALSE(editor->DragDrop().DragRunning());
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, PointOf(3));
    }
}

TEST_F(SelectionDragTest, AMoveOutWhileTheSizeIsLockedIsReportedAndKeepsTheBytes) {
    Load({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    Core().SetNoSizeChange(true);
    Core().SelectRange(1, 3);
    OnDrag([](QDrag&) { return Qt::MoveAction; });
    DragFrom(1, 3);
    EXPECT_EQ(errors, std::vector<std::string>{"Cannot update undo storage"});
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_FALSE(editor->DragDrop().DragRunning());
}

TEST_F(SelectionDragTest, NoDragWithoutOleDragDropOutsideTheSelectionOrWithinTheThreshold) {
    Load({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    OnDrag([](QDrag&) { return Qt::MoveAction; });

    editor->SetOleDragDrop(false);
    Core().SelectRange(1, 3);
    DragFrom(1, 3);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, PointOf(3));
    editor->SetOleDragDrop(true);

    Core().SelectRange(1, 3);
    DragFrom(4, 5);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, PointOf(5));

    Core().SelectRange(1, 3);
    Press(PointOf(1));
    MoveTo(PointOf(1) + QPoint(1, 0));
    EXPECT_EQ(drags, 0);
    EXPECT_EQ(Bytes(), (ByteVector{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST_F(DragDropTest, CtrlCAndCtrlVCopyAndPasteWhenTheWindowHasNoSuchActions) {
    editor->setFocus();
    Core().SelectRange(1, 2);
    QTest::keyClick(editor.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(editor->OwnsClipboard());
    Core().Unselect(true);
    Core().MoveCaretToCell(Core().PositionToCell(0, false));
    QTest::keyClick(editor.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Bytes(), (ByteVector{0x11, 0x22, 0x00, 0x11, 0x22, 0x33}));
    Core().SelectRange(0, 1);
    QTest::keyClick(editor.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Bytes(), kFour);
    EXPECT_EQ(Core().UndoStorage().CurrentDescription(), "Cut to Clipboard");
}

} // namespace
} // namespace quillon
