#include "desktopopen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <memory>

namespace {
// xdg-open fails at once when nothing takes the address. One that ends later was a viewer run
// in the foreground that the user has closed again, whatever its exit code.
constexpr qint64 kFailureWindowMs = 5000;
}  // namespace

void OpenWithDesktop(const QUrl& url, OpenFailure onFailure) {
    // QDesktopServices says yes once xdg-open has merely started, which hid every failure.
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString()});
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto report = [onFailure](const QString& why) {
        // An opener still running when the program ends is stopped; that is no failure to tell.
        if (onFailure && !QCoreApplication::closingDown()) onFailure(why);
    };
    QObject::connect(
        opener, &QProcess::errorOccurred, opener, [opener, report](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart) return;
            report(QStringLiteral("xdg-open could not be started: ") + opener->errorString());
            opener->deleteLater();
        });
    // Left to finish on its own: destroying it sooner would kill what it started.
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, clock, report](int code, QProcess::ExitStatus status) {
                         const bool failed = status != QProcess::NormalExit || code != 0;
                         if (failed && clock->elapsed() < kFailureWindowMs)
                             report(QStringLiteral("xdg-open ended with exit code %1").arg(code));
                         opener->deleteLater();
                     });
    opener->start();
}
