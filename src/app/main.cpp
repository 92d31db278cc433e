// A small window around the editor until the main window exists: File, Open, Print Preview and
// Exit.
#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

#include "app/print_preview_dialog.h"
#include "editor/widget/hex_editor_ex.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillon");

    QMainWindow window;
    window.setWindowTitle("Quillon");
    auto* editor = new quillon::HexEditorEx(&window);
    editor->Core().SetShowRuler(true);
    window.setCentralWidget(editor);

    QMenu* file = window.menuBar()->addMenu("&File");
    QAction* open = file->addAction("&Open...", [&] {
        const QString name = QFileDialog::getOpenFileName(&window, "Open", {}, "Any File (*)");
        if (name.isEmpty()) {
            return;
        }
        try {
            editor->Core().OpenFile(name.toStdString());
            window.setWindowTitle("Quillon - " + name);
        } catch (const std::exception& error) {
            QMessageBox::critical(&window, "Quillon", QString::fromUtf8(error.what()));
        }
    });
    open->setShortcut(QKeySequence::Open);
    QAction* preview = file->addAction("&Print Preview...", [&] {
        quillon::PrintPreviewDialog dialog(*editor, &window);
        dialog.exec();
    });
    preview->setShortcut(QKeySequence::Print);
    file->addAction("E&xit", &window, &QWidget::close);

    window.statusBar()->showMessage(
        QString::fromUtf8("Демонстрация редактора: главное окно программы ещё не готово"));
    window.resize(900, 600);
    window.show();
    editor->setFocus();
    return QApplication::exec();
}
