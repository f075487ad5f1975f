#include "labelbutton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

TEST(ColorValues, RedIsInTheLowByte) {
    EXPECT_EQ(ColorFromValue(255), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromValue(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorFromValue(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(ColorFromValue(0xFFFFFF), QColor(255, 255, 255));
    EXPECT_EQ(ColorFromValue(0), QColor(0, 0, 0));
    EXPECT_EQ(ColorFromValue(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(ValueFromColor(QColor(0x56, 0x34, 0x12)), 0x123456u);
    EXPECT_EQ(ValueFromColor(ColorFromValue(0x8040C0)), 0x8040C0u);
}

TEST(ColorValues, ForeColorOfButtonsAndPlainLabels) {
    LabelButton button;
    button.SetForeColor(0xFF0000);
    EXPECT_EQ(button.ForeColor(), 0xFF0000u);
    EXPECT_EQ(button.palette().color(QPalette::Inactive, QPalette::WindowText), Qt::blue);

    QLabel plain;
    SetLabelForeColor(&plain, 255);
    EXPECT_EQ(LabelForeColor(&plain), 255u);
    EXPECT_EQ(plain.palette().color(QPalette::Active, QPalette::WindowText), Qt::red);
}

TEST(ColorValues, DisabledLabelKeepsItsGreyText) {
    LabelButton button;
    const QColor grey = button.palette().color(QPalette::Disabled, QPalette::WindowText);
    button.SetForeColor(0xFFFFFF);
    EXPECT_EQ(button.palette().color(QPalette::Disabled, QPalette::WindowText), grey);
}

// A window that counts the mouse moves reaching its own area.
class CountingWindow : public QWidget {
  public:
    CountingWindow() { setMouseTracking(true); }
    int moves = 0;

  protected:
    void mouseMoveEvent(QMouseEvent*) override { ++moves; }
};

class LabelButtonEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        window.resize(300, 200);
        label = new LabelButton(QStringLiteral("Rate"), &window);
        label->setObjectName(QStringLiteral("lblRate"));
        label->setGeometry(20, 20, 100, 30);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    CountingWindow window;
    LabelButton* label = nullptr;
};

TEST_F(LabelButtonEvents, LeftClickClicksAndReportsThePress) {
    QSignalSpy clicks(label, &LabelButton::clicked);
    QSignalSpy downs(label, &LabelButton::mouseDown);
    QTest::mouseClick(label, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(clicks.count(), 1);
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(downs[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(downs[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
}

TEST_F(LabelButtonEvents, RightButtonIsAPressButNoClick) {
    QSignalSpy clicks(label, &LabelButton::clicked);
    QSignalSpy downs(label, &LabelButton::mouseDown);
    QTest::mouseClick(label, Qt::RightButton);
    EXPECT_EQ(clicks.count(), 0);
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(downs[0][0].value<Qt::MouseButton>(), Qt::RightButton);
}

TEST_F(LabelButtonEvents, ReleasingOffTheLabelCancelsTheClick) {
    QSignalSpy clicks(label, &LabelButton::clicked);
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(150, 5));
    EXPECT_EQ(clicks.count(), 0);
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(90, 25));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(LabelButtonEvents, DoubleClickIsOneClickThenADoubleClick) {
    QSignalSpy clicks(label, &LabelButton::clicked);
    QSignalSpy doubles(label, &LabelButton::doubleClicked);
    QSignalSpy downs(label, &LabelButton::mouseDown);
    // The toolkit's order: press, release, double-click press, release.
    QTest::mouseClick(label, Qt::LeftButton);
    const QPointF at(10, 10);
    QMouseEvent second(QEvent::MouseButtonDblClick, at, label->mapToGlobal(at), Qt::LeftButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &second);
    QMouseEvent release(QEvent::MouseButtonRelease, at, label->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(label, &release);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(downs.count(), 1);
}

TEST_F(LabelButtonEvents, DisabledLabelDoesNotClick) {
    QSignalSpy clicks(label, &LabelButton::clicked);
    label->setEnabled(false);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(LabelButtonEvents, MovesOverTheLabelStayWithIt) {
    QSignalSpy moves(label, &LabelButton::mouseMoved);
    QTest::mouseMove(&window, QPoint(200, 150));
    const int windowMoves = window.moves;
    EXPECT_GE(windowMoves, 1);
    QTest::mouseMove(label, QPoint(10, 10));
    QTest::mouseMove(label, QPoint(20, 12));
    EXPECT_EQ(moves.count(), 2);
    EXPECT_EQ(window.moves, windowMoves);
}

}  // namespace
