#pragma once
// Pictures of the windows as the tests leave them, for a person to look at: written only when
// FRETLYN_SCREENSHOTS names a folder (for instance under xvfb-run).

#include <QDir>
#include <QWidget>

inline void SaveScreenshot(QWidget& window, const char* name) {
    const QByteArray folder = qgetenv("FRETLYN_SCREENSHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(QString::fromLocal8Bit(folder));
    window.grab().save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
}
