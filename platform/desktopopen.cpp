#include "desktopopen.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

namespace {
// xdg-open returns as soon as it has handed the address on, or fails at once when nothing
// takes it; a viewer that keeps it waiting is already on its way.
constexpr int kOpenerWaitMs = 2000;
}  // namespace

bool OpenWithDesktop(const QUrl& url) {
    // QDesktopServices says yes once xdg-open has merely started, which hid every failure.
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString()});
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    opener->start();
    if (!opener->waitForStarted()) {
        delete opener;
        return false;
    }
    if (!opener->waitForFinished(kOpenerWaitMs)) {
        // Left to finish on its own; destroying it now would kill what it started.
        QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
        return true;
    }
    const bool opened = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    delete opener;
    return opened;
}
