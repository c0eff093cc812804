// The yardstick of the program's start-up: a bare QMainWindow whose client
// area has the main window's size, shown, drawn and grabbed into a PNG the
// way the screenshot tool grabs the main window, then the process ends.
//   bare_window <file.png>
#include <cstdio>

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

// Only the client area's size is taken from the main window's header: the
// program links Qt and nothing of the project.
#include "ui/main/MainWindow.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QMainWindow window;
    auto* client = new QWidget(&window);
    client->setFixedSize(MainWindow::ClientWidth, MainWindow::ClientHeight);
    window.setCentralWidget(client);
    window.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
