// The yardstick of start-up: a bare Qt window, shown as soon as the toolkit is up.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(640, 480);
    window.setWindowTitle(QStringLiteral("bare window"));
    window.show();
    return app.exec();
}
