// The main of test programs that need widgets: one QApplication for all their tests.

#include <gtest/gtest.h>

#include <QApplication>

// The windows the engine asks through, as the program registers them (fretlyn_qt_main).
void InstallTestWindows();

int main(int argc, char** argv) {
    // Tests never need a display, also when CTest lists them without its environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    InstallTestWindows();
    return RUN_ALL_TESTS();
}
