// A second yardstick of start-up: the bare Qt window with one label and one entry box, the
// least a window that shows text does before it is mapped (the font configuration, one font,
// and the desktop's accessibility service, which the first text asks for).

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(640, 480);
    window.setWindowTitle(QStringLiteral("label window"));
    QLabel label(QStringLiteral("Norvale Freight"), &window);
    QLineEdit entry(&window);
    entry.move(0, 40);
    window.show();
    return app.exec();
}
