#include "desktopopen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace {
// xdg-open fails at once when nothing takes the address. One that ends later was a viewer run
// in the foreground that the user has closed again, whatever its exit code.
constexpr qint64 kFailureWindowMs = 5000;
constexpr int kWaitForWindowsMs = 200;

// A failure is told only once the windows opened since the address was handed over (a print
// dialog, another message) have closed, so that its message never stands beside or over them:
// one window at a time. `owner` is the modal window that was on top then, if any.
void TellWhenAlone(QPointer<QWidget> owner, bool hadOwner, std::function<void()> tell) {
    QWidget* top = QApplication::activeModalWidget();
    const bool alone = top == nullptr || (hadOwner && top == owner.data());
    if (alone) {
        tell();
        return;
    }
    QTimer::singleShot(
        kWaitForWindowsMs, QCoreApplication::instance(),
        [owner, hadOwner, tell = std::move(tell)] { TellWhenAlone(owner, hadOwner, tell); });
}
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
    QWidget* const owner = QApplication::activeModalWidget();
    auto report = [onFailure, owner = QPointer<QWidget>(owner),
                   hadOwner = owner != nullptr](const QString& why) {
        // An opener still running when the program ends is stopped; that is no failure to tell.
        if (!onFailure || QCoreApplication::closingDown()) return;
        TellWhenAlone(owner, hadOwner, [onFailure, why] {
            if (!QCoreApplication::closingDown()) onFailure(why);
        });
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
