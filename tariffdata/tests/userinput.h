#pragma once
// What a user does to a window, as input events: keys go to the widget that has the focus, the
// pointer moves in small steps through the window system (so the widget under it sees the move,
// as with a real mouse), and a click lands on the widget under the pointer.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPoint>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

// The widget that has the keyboard focus, once the events already queued (a focus handler's
// deferred selection, a focus move) have run.
inline QWidget* Focused() {
    QCoreApplication::processEvents();
    return QApplication::focusWidget();
}

// Keys typed into whatever has the focus.
inline void TypeKeys(const QString& keys) {
    QWidget* target = Focused();
    ASSERT_NE(target, nullptr) << "no widget has the focus";
    QTest::keyClicks(target, keys);
    QCoreApplication::processEvents();
}

// One key, with the modifiers held. Ctrl with a letter carries the control character as its text,
// as the X server sends it, not the letter the test library would make up.
inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = Focused();
    ASSERT_NE(target, nullptr) << "no widget has the focus";
    if ((modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z) {
        const QString text(QChar(static_cast<char16_t>(key - Qt::Key_A + 1)));
        QTest::sendKeyEvent(QTest::Click, target, key, text, modifiers);
    } else {
        QTest::keyClick(target, key, modifiers);
    }
    QCoreApplication::processEvents();
}

// Shows a top-level window and gives it the focus, as the user's click on it would.
inline void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QCoreApplication::processEvents();
}

// Moves the pointer over the window along a path of points (window coordinates), each stretch
// in steps of at most `step` pixels, first along x, then along y.
inline void MovePointer(QWidget& window, std::initializer_list<QPoint> path, int step = 2) {
    auto toward = [step](int value, int target) {
        if (std::abs(target - value) <= step) return target;
        return value + (target > value ? step : -step);
    };
    QPoint at = *path.begin();
    QTest::mouseMove(&window, at);
    for (const QPoint& to : path) {
        while (at.x() != to.x()) {
            at.setX(toward(at.x(), to.x()));
            QTest::mouseMove(&window, at);
        }
        while (at.y() != to.y()) {
            at.setY(toward(at.y(), to.y()));
            QTest::mouseMove(&window, at);
        }
    }
}

// Moves the pointer over the window in a straight line from one point to another (window
// coordinates), in steps of at most `step` pixels, as a hand moves a mouse; `afterEach` (when
// given) runs after every step with the point reached.
template <typename AfterEach>
void MoveStraight(QWidget& window, QPoint from, QPoint to, int step, AfterEach afterEach) {
    const QPoint way = to - from;
    const int steps = std::max(1, static_cast<int>(std::ceil(std::hypot(way.x(), way.y()) / step)));
    for (int i = 0; i <= steps; ++i) {
        const QPoint at(from.x() + way.x() * i / steps, from.y() + way.y() * i / steps);
        QTest::mouseMove(&window, at);
        afterEach(at);
    }
}
inline void MoveStraight(QWidget& window, QPoint from, QPoint to, int step = 6) {
    MoveStraight(window, from, to, step, [](QPoint) {});
}

// A left click at a place of the window, on the widget under it.
inline void ClickAt(QWidget& window, QPoint at) {
    QWidget* target = window.childAt(at);
    if (target == nullptr) target = &window;
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(&window, at));
    QCoreApplication::processEvents();
}

// Moves the pointer onto a widget of the window (from where it is, or from `from`) and clicks it.
inline void ClickOn(QWidget& window, QWidget* widget) {
    const QPoint centre = widget->mapTo(&window, widget->rect().center());
    QTest::mouseMove(&window, centre);
    ClickAt(window, centre);
}
