#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "../core/core_fixture.h"
#include "editor/core/hex_error.h"
#include "editor/widget/hex_editor_ex.h"

namespace quillon {

inline void PrintTo(const GridCell& cell, std::ostream* out) {
    *out << "(" << cell.col << ", " << cell.row << ")";
}

// A shown, focused editor of 640 x 400 pixels with rows of 16 bytes; errors raised inside its
// event handlers are collected instead of shown.
class ViewTest : public ::testing::Test {
protected:
    ViewTest() {
        editor = std::make_unique<HexEditorEx>();
        editor->OnError = [this](const std::exception& error) {
            errors.push_back(error.what());
        };
        editor->resize(640, 400);
        editor->show();
        editor->activateWindow();
        editor->setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        QApplication::processEvents();
    }

    HexEditorCore& Core() { return editor->Core(); }

    void Load(const ByteVector& bytes) {
        LoadBytes(Core(), bytes);
        QApplication::processEvents();
    }
    ByteVector Bytes() { return DocumentBytes(Core()); }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(editor.get(), static_cast<Qt::Key>(key), modifiers);
    }
    // ASCII through QTest's key clicks; other characters as key events carrying only the text.
    void Type(const QString& text) {
        for (const QChar character : text) {
            if (character.unicode() < 0x80) {
                QTest::keyClick(editor.get(), character.toLatin1());
            } else {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
                QApplication::sendEvent(editor.get(), &press);
            }
        }
    }

    QWidget* Viewport() { return editor->viewport(); }
    QPoint CellCenter(std::int32_t col, std::int32_t row) {
        return editor->CellRect(col, row).center();
    }
    void Press(const QPoint& point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(Viewport(), Qt::LeftButton, modifiers, point);
    }
    void MoveTo(const QPoint& point, Qt::MouseButtons buttons = Qt::LeftButton) {
        QMouseEvent move(QEvent::MouseMove, point, Viewport()->mapToGlobal(point), Qt::NoButton,
                         buttons, Qt::NoModifier);
        QApplication::sendEvent(Viewport(), &move);
    }
    void Release(const QPoint& point) {
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, point);
    }
    void Click(std::int32_t col, std::int32_t row) {
        QTest::mouseClick(Viewport(), Qt::LeftButton, {}, CellCenter(col, row));
    }

    QImage Grab() {
        QApplication::processEvents();
        return Viewport()->grab().toImage();
    }
    // The colour of a cell's pixel at (dx, dy) from its top-left corner.
    QColor PixelOf(const QImage& image, std::int32_t col, std::int32_t row, int dx, int dy) {
        return Pixel(image, editor->CellRect(col, row).topLeft() + QPoint(dx, dy));
    }
    static QColor Pixel(const QImage& image, const QPoint& point) {
        return QColor::fromRgb(image.pixel(point));
    }
    QColor Resolved(Color color) { return QColor::fromRgb(editor->Resolve(color).rgb()); }

    std::unique_ptr<HexEditorEx> editor;
    std::vector<std::string> errors;
};

} // namespace quillon
