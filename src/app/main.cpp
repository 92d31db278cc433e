#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillon");
    QMessageBox::information(nullptr, "Quillon",
                             "The main window does not exist yet; only the editor core is built.");
    return 0;
}
