#pragma once
// A scenario answers the messages through the message script and the dialogs its commands type
// into through the program's hooks, which never wait. Any other modal window (the window a
// damaged setting sends the user to, say) would wait for a user who is not there, and the
// scenario would never end. While alive, this closes such a window as Escape does, once it
// waits, and logs what it showed as a message (see scenarios/README.md), so the scenario goes on.

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "messagescript.h"

class UnansweredWindows : public QObject {
  public:
    // The title of the logged entry: this and the window's name.
    static constexpr const char* kTitle = "Closed unanswered: ";

    UnansweredWindows() { qApp->installEventFilter(this); }
    ~UnansweredWindows() override { qApp->removeEventFilter(this); }
    UnansweredWindows(const UnansweredWindows&) = delete;
    UnansweredWindows& operator=(const UnansweredWindows&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            if (window->isWindow() && window->isModal()) Watch(window);
        }
        return false;
    }

  private:
    void Watch(QPointer<QWidget> window, int delayMs = 0) {
        QTimer::singleShot(delayMs, this, [this, window] { CloseIfWaiting(window); });
    }

    // A modal window waits for a user only inside its own event loop; one that a command shows
    // and drives itself (the full discount editor) runs in none, and is left to the command.
    void CloseIfWaiting(const QPointer<QWidget>& window) {
        if (!window || !window->isVisible()) return;
        if (QThread::currentThread()->loopLevel() == 0 ||
            QApplication::activeModalWidget() != window) {
            Watch(window, 20);  // a window opened over it goes first
            return;
        }
        Log(*window);
        QWidget* keys = window->focusWidget() ? window->focusWidget() : window.data();
        QTest::keyClick(keys, Qt::Key_Escape);
        // A window that takes no Escape is closed all the same: the scenario must end.
        if (window && window->isVisible()) {
            if (auto* dialog = qobject_cast<QDialog*>(window.data()))
                dialog->reject();
            else
                window->close();
        }
    }

    // The window's texts in reading order, top to bottom and left to right, one a line.
    static void Log(QWidget& window) {
        std::vector<std::pair<QPoint, QString>> texts;
        for (QLabel* label : window.findChildren<QLabel*>()) {
            const QString text = label->text().trimmed();
            if (text.isEmpty() || !label->isVisibleTo(&window)) continue;
            texts.emplace_back(label->mapTo(&window, QPoint(0, 0)), text);
        }
        std::sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) {
            return a.first.y() != b.first.y() ? a.first.y() < b.first.y()
                                              : a.first.x() < b.first.x();
        });
        QStringList lines;
        if (!window.windowTitle().trimmed().isEmpty()) lines << window.windowTitle().trimmed();
        for (const auto& [at, text] : texts) lines << text;
        const QString name = window.objectName().isEmpty()
                                 ? QString::fromLatin1(window.metaObject()->className())
                                 : window.objectName();
        messageScript.RecordShown(MessageKind::Program, QLatin1String(kTitle) + name,
                                  lines.join(QLatin1Char('\n')), 0, kIdCancel);
    }
};
