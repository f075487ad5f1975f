#include "windowkeys.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "labelbutton.h"
#include "messagebox.h"

namespace {

// A small dialog of a box, a list, another label command and its Done, as the program builds
// them.
class KeysWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        box = new QLineEdit(&dialog);
        list = new QListWidget(&dialog);
        list->addItems({QStringLiteral("one"), QStringLiteral("two")});
        other = new LabelButton(QStringLiteral("Other"), &dialog);
        done = new LabelButton(QStringLiteral("Done"), &dialog);
        MakeKeyboardReachable(other);
        InstallWindowKeys(&dialog, done);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        box->setFocus();
    }

    void Press(int key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)); }

    QDialog dialog;
    QLineEdit* box;
    QListWidget* list;
    LabelButton* other;
    LabelButton* done;
};

TEST_F(KeysWindow, EnterInABoxIsDoneAndEnterOnAFocusedLabelIsThatLabel) {
    QSignalSpy doneClicks(done, &LabelButton::clicked);
    QSignalSpy otherClicks(other, &LabelButton::clicked);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
    Press(Qt::Key_Return);
    EXPECT_EQ(doneClicks.count(), 1);
    Press(Qt::Key_Enter);  // the keypad's
    EXPECT_EQ(doneClicks.count(), 2);

    // Tab reaches the labels; Enter or Space clicks the one with the focus.
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), other);
    Press(Qt::Key_Return);
    Press(Qt::Key_Space);
    EXPECT_EQ(otherClicks.count(), 2);
    Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), done);
    Press(Qt::Key_Space);
    EXPECT_EQ(doneClicks.count(), 3);
    EXPECT_EQ(otherClicks.count(), 2);
}

// A window's command labels take the focus with Tab from the moment it shows, whether or not
// it named them; a label that is no command (a caption) does not. The window opens with the
// focus where it did before, in its box, though a command comes first.
TEST(WindowKeysCommands, EveryCommandLabelOfAShownWindowTakesTheFocusAndTheBoxKeepsItFirst) {
    QDialog dialog;
    auto* print = new LabelButton(QStringLiteral("Print"), &dialog);
    auto* caption = new LabelButton(QStringLiteral("Caption"), &dialog);
    auto* save = new LabelButton(QStringLiteral("Save default"), &dialog);
    auto* box = new QLineEdit(&dialog);
    auto* done = new LabelButton(QStringLiteral("Done"), &dialog);
    InstallWindowKeys(&dialog, done);
    QSignalSpy prints(print, &LabelButton::clicked);
    QSignalSpy saves(save, &LabelButton::doubleClicked);
    QObject::connect(print, &LabelButton::clicked, [] {});
    // A label whose only use is its double click answers Enter and Space with it.
    QObject::connect(save, &LabelButton::doubleClicked, [] {});
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), box);
    std::vector<QWidget*> stops;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(stops, (std::vector<QWidget*>{done, print, save, box}));
    EXPECT_EQ(caption->focusPolicy(), Qt::NoFocus);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), print);
    QTest::keyClick(print, Qt::Key_Return);
    EXPECT_EQ(prints.count(), 1);
    QTest::keyClick(print, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), save);
    QTest::keyClick(save, Qt::Key_Space);
    EXPECT_EQ(saves.count(), 1);
    EXPECT_TRUE(dialog.isVisible());
}

// A command with the focus shows a frame in its own colour around it, clear of its text, which a
// label draws from its very first pixel; the frame goes with the focus.
TEST(WindowKeysCommands, TheFocusFrameStandsAroundTheTextAndNeverOverIt) {
    QDialog dialog;
    dialog.resize(300, 140);
    SetBackgroundColor(&dialog, Qt::white);
    auto* box = new QLineEdit(&dialog);
    box->setGeometry(10, 10, 100, 24);
    auto* exit = new LabelButton(QStringLiteral("Exit"), &dialog);
    exit->SetForeColor(0);
    exit->setGeometry(QRect(QPoint(60, 70), exit->sizeHint()));
    MakeKeyboardReachable(exit);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    box->setFocus();
    const QImage unfocused = exit->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), exit);
    // Nothing is drawn over the label itself: its text reads as it did.
    EXPECT_EQ(exit->grab().toImage(), unfocused);
    const QColor ink(Qt::black);
    const QRect at = exit->geometry();
    // Whether the ink shows in the few pixels just outside one side of the label.
    auto inkOutside = [&](const QImage& picture, int x, int y, int dx, int dy) {
        for (int step = 1; step <= 4; ++step)
            if (picture.pixelColor(x + step * dx, y + step * dy) == ink) return true;
        return false;
    };
    const QImage framed = dialog.grab().toImage();
    EXPECT_TRUE(inkOutside(framed, at.left(), at.center().y(), -1, 0));
    EXPECT_TRUE(inkOutside(framed, at.right(), at.center().y(), 1, 0));
    EXPECT_TRUE(inkOutside(framed, at.center().x(), at.top(), 0, -1));
    EXPECT_TRUE(inkOutside(framed, at.center().x(), at.bottom(), 0, 1));
    QTest::keyClick(exit, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), box);
    EXPECT_FALSE(inkOutside(dialog.grab().toImage(), at.left(), at.center().y(), -1, 0));
}

TEST_F(KeysWindow, EscapeClosesAsTheCloseBoxDoesAndChoosesNothing) {
    QSignalSpy doneClicks(done, &LabelButton::clicked);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    Press(Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(doneClicks.count(), 0);
}

TEST_F(KeysWindow, KeysWithAModifierAreLeftToTheWindow) {
    QSignalSpy doneClicks(done, &LabelButton::clicked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_EQ(doneClicks.count(), 0);
}

TEST(WindowKeysEscape, AnEscapeOfItsOwnReplacesTheCloseBox) {
    QWidget window;
    auto* box = new QLineEdit(&window);
    int escapes = 0;
    InstallWindowKeyHandlers(&window, {}, [&] { ++escapes; });
    window.show();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(escapes, 1);
    EXPECT_TRUE(window.isVisible());
    // Without a Done, Enter is the box's own.
    QSignalSpy returns(box, &QLineEdit::returnPressed);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(returns.count(), 1);
}

TEST(KeptInside, AFrameIsMovedIntoTheRoomAndShrunkOnlyWhenLarger) {
    const QRect screen(0, 0, 1280, 1024);
    // The weight-break editor's offset from its opener runs past the right edge.
    EXPECT_EQ(KeptInside(QRect(1100, 300, 400, 300), screen), QRect(880, 300, 400, 300));
    EXPECT_EQ(KeptInside(QRect(-40, -10, 400, 300), screen), QRect(0, 0, 400, 300));
    EXPECT_EQ(KeptInside(QRect(100, 900, 400, 300), screen), QRect(100, 724, 400, 300));
    EXPECT_EQ(KeptInside(QRect(100, 100, 400, 300), screen), QRect(100, 100, 400, 300));
    EXPECT_EQ(KeptInside(QRect(500, 0, 1500, 300), QRect(0, 0, 1024, 768)), QRect(0, 0, 1024, 300));
    // A screen whose available area does not start at the corner (a panel on the left or top).
    EXPECT_EQ(KeptInside(QRect(0, 0, 200, 100), QRect(64, 32, 1216, 992)), QRect(64, 32, 200, 100));
}

TEST(KeepOnScreen, AWindowPlacedPastTheEdgeEndsInsideTheAvailableScreen) {
    QDialog window;
    window.setFixedSize(300, 200);
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    window.move(room.right() - 50, room.bottom() - 20);
    KeepOnScreen(&window);
    EXPECT_TRUE(room.contains(window.frameGeometry())) << window.frameGeometry().x();
}

// The offscreen platform, like X without a window manager, activates no window when one closes.
TEST(ActiveWindowReturn, AClosedMessageGivesTheActivationBackToItsWindow) {
    messageScript.Reset();  // a real box, answered from the keyboard
    QWidget window;
    auto* box = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    box->setFocus();
    bool answered = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        if (answered || !shown || QApplication::activeWindow() != shown) return;
        answered = true;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    user.start(10);
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("The file was saved."), kMbOK), kIdOK);
    user.stop();
    EXPECT_TRUE(answered);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 2000));
    // The keys typed next reach the box that had the focus.
    QTest::keyClicks(QApplication::focusWidget(), "42");
    EXPECT_EQ(box->text(), "42");
    messageScript.Reset();
}

// Some window managers never activate a modal window, so the window system still reports the
// main window behind it as active: a message opened then belongs to the modal window (it is
// transient for it and stacked above it), and the activation goes back to the modal window.
TEST(ActiveWindowReturn, AMessageOverAModalWindowBelongsToTheModalWindow) {
    messageScript.Reset();
    QWidget main;
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QDialog modal;
    modal.setModal(true);
    modal.setAttribute(Qt::WA_ShowWithoutActivating);
    modal.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&modal));
    // As the window manager reports it.
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QWidget* owner = nullptr;
    QWindow* transientFor = nullptr;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        owner = box->parentWidget();
        transientFor = box->windowHandle() ? box->windowHandle()->transientParent() : nullptr;
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Choose a destination first."), kMbOK), kIdOK);
    EXPECT_EQ(owner, &modal);
    EXPECT_EQ(transientFor, modal.windowHandle());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &modal; }, 2000));
    messageScript.Reset();
}

// A window opened modally without a parent is transient for the window it opens over, not for
// the program as a whole: some window managers keep the focus on a window transient for the
// whole program, away from a message opened over it.
TEST(ExecModal, AWindowWithoutAParentIsTransientForTheWindowItOpensOver) {
    QWidget main;
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QDialog sheet;
    QWindow* transientFor = nullptr;
    QTimer::singleShot(0, [&] {
        transientFor = sheet.windowHandle() ? sheet.windowHandle()->transientParent() : nullptr;
        sheet.accept();
    });
    ExecModal(sheet);
    EXPECT_EQ(transientFor, main.windowHandle());
}

// What a message or dialog opened while no window of the program is on the screen (at start)
// was made, seen as it shows.
struct OwnerlessShown {
    bool shown = false;
    bool modal = false;
    QWidget* parent = nullptr;
    QWindow* transientFor = nullptr;
    Qt::WindowType type = Qt::Widget;
    bool dialogToWindowManager = false;
};

OwnerlessShown SeeShown(QWidget* shown) {
    OwnerlessShown seen;
    if (!shown) return seen;
    seen.shown = true;
    seen.modal = shown->isModal();
    seen.parent = shown->parentWidget();
    seen.transientFor = shown->windowHandle() ? shown->windowHandle()->transientParent() : nullptr;
    seen.type = shown->windowType();
    seen.dialogToWindowManager = IsOwnerlessWindow(*shown);
    return seen;
}

// The toolkit would make a dialog with no parent belong to the program's hidden leader window,
// beneath which some window managers map what opens over it: a message asked at start belongs
// to no window, stays modal, and is still a dialog to the window manager. Enter takes its
// default and Escape its harmless answer.
TEST(OwnerlessWindow, AMessageAtStartBelongsToNoWindowAndTakesItsKeys) {
    messageScript.Reset();
    SetProgramMainWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    for (const auto& [key, answer] : {std::pair{Qt::Key_Return, kIdYes}, {Qt::Key_Escape, kIdNo}}) {
        OwnerlessShown seen;
        QTimer::singleShot(0, [&, key = key] {
            QWidget* box = QApplication::activeModalWidget();
            seen = SeeShown(box);
            if (box)
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box,
                                key);
        });
        EXPECT_EQ(PlatformMessageBox(QStringLiteral("Set the damaged copy aside?"),
                                     kMbYesNo | kMbExclamation, QStringLiteral("Damaged database")),
                  answer);
        ASSERT_TRUE(seen.shown);
        EXPECT_TRUE(seen.modal);
        EXPECT_EQ(seen.parent, nullptr);
        EXPECT_EQ(seen.transientFor, nullptr);
        EXPECT_EQ(seen.type, Qt::Window);
        EXPECT_TRUE(seen.dialogToWindowManager);
    }
    messageScript.Reset();
}

// A message while a window of the program is on the screen still belongs to it, as a dialog.
TEST(OwnerlessWindow, AMessageOverAWindowStaysItsDialog) {
    messageScript.Reset();
    QWidget main;
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    OwnerlessShown seen;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        seen = SeeShown(box);
        if (box) QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("The file was saved."), kMbOK), kIdOK);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.parent, &main);
    EXPECT_EQ(seen.type, Qt::Dialog);
    EXPECT_FALSE(seen.dialogToWindowManager);
    messageScript.Reset();
}

// A dialog run modally with no window to belong to stands on its own; run again over a window,
// it is that window's dialog.
TEST(OwnerlessWindow, ADialogRunWithNoWindowUpStandsAloneAndLaterBelongsToItsWindow) {
    SetProgramMainWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    QDialog sheet;
    OwnerlessShown seen;
    QTimer::singleShot(0, [&] {
        seen = SeeShown(QApplication::activeModalWidget());
        QTest::keyClick(&sheet, Qt::Key_Escape);
    });
    EXPECT_EQ(ExecModal(sheet), QDialog::Rejected);
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(seen.transientFor, nullptr);
    EXPECT_EQ(seen.type, Qt::Window);
    EXPECT_TRUE(seen.dialogToWindowManager);

    QWidget main;
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    seen = {};
    QTimer::singleShot(0, [&] {
        seen = SeeShown(QApplication::activeModalWidget());
        sheet.accept();
    });
    EXPECT_EQ(ExecModal(sheet), QDialog::Accepted);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.transientFor, main.windowHandle());
    EXPECT_EQ(seen.type, Qt::Dialog);
    EXPECT_FALSE(seen.dialogToWindowManager);
}

}  // namespace
