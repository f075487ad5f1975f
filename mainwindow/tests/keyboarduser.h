#pragma once
// A user at the keyboard, without a pointer: each step waits until its window is the active one
// (and anything else it waits for holds), then types its keys to the widget with the focus. A
// step that opens a modal window runs on inside that window's event loop, as a user's keys do.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>

class KeyboardUser {
  public:
    struct Step {
        QString window;               // the object name of the window that must be active
        std::function<bool()> ready;  // anything else the user waits to see; may be empty
        std::function<void()> keys;   // what the user types then
    };

    KeyboardUser() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    }

    void Then(const QString& window, std::function<void()> keys, std::function<bool()> ready = {}) {
        steps_.push_back({window, std::move(ready), std::move(keys)});
    }

    // Runs the steps; true when all ran. A step that waits too long ends the walk, and every
    // window still open is closed so that the test can report it.
    bool Walk(int timeoutMs = 30000) {
        timer_.start();
        const bool finished =
            QTest::qWaitFor([this] { return steps_.empty() && !busy_; }, timeoutMs);
        timer_.stop();
        return finished && failure_.empty();
    }
    const std::string& Failure() const { return failure_; }
    // The steps taken, by the window each was taken in.
    const std::vector<std::string>& Taken() const { return taken_; }

    // Keys to whatever has the focus, as a keyboard delivers them.
    static void Type(const QString& text) { QTest::keyClicks(Focus(), text); }
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, modifiers);
    }
    // Presses Tab until the widget has the focus, as a user watching the focus frame does.
    static bool TabTo(QWidget* widget) {
        for (int i = 0; i < 60 && QApplication::focusWidget() != widget; ++i) Press(Qt::Key_Tab);
        return QApplication::focusWidget() == widget;
    }
    static QWidget* Focus() {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus : QApplication::activeWindow();
    }

  private:
    void Tick() {
        if (busy_) return;
        if (!failure_.empty()) {
            // Closing what is still open lets every nested loop end.
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
            return;
        }
        if (steps_.empty()) {
            // A window the walk left open would keep its loop, and the test, waiting forever.
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && ++waited_ > 300) {
                failure_ = "the walk ended with " + modal->objectName().toStdString() + " open";
                std::fprintf(stderr, "%s\n", failure_.c_str());
            }
            return;
        }
        const Step& step = steps_.front();
        QWidget* active = QApplication::activeWindow();
        const bool there =
            active && active->objectName() == step.window &&
            QApplication::activeModalWidget() == (active->isModal() ? active : nullptr) &&
            (!step.ready || step.ready());
        if (!there) {
            if (++waited_ > 800) {
                QWidget* modal = QApplication::activeModalWidget();
                failure_ = "after " + std::to_string(taken_.size()) + " steps, waited for " +
                           step.window.toStdString() + "; the active window is " +
                           (active ? active->objectName().toStdString() : std::string("none")) +
                           ", the modal one " +
                           (modal ? modal->objectName().toStdString() : std::string("none"));
                steps_.clear();
                std::fprintf(stderr, "%s\n", failure_.c_str());
            }
            return;
        }
        waited_ = 0;
        std::function<void()> keys = step.keys;
        taken_.push_back(step.window.toStdString());
        steps_.pop_front();
        busy_ = true;
        // Run from a timer of its own: a modal window the keys open keeps this one ticking.
        QTimer::singleShot(0, [this, keys] {
            busy_ = false;
            keys();
        });
    }

    QTimer timer_;
    std::deque<Step> steps_;
    std::vector<std::string> taken_;
    std::string failure_;
    int waited_ = 0;
    bool busy_ = false;
};
