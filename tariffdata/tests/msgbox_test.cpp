#include "msgbox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <QWindow>

#include "frmmssgbox.h"
#include "handcursor.h"
#include "messagebox.h"
#include "tariffdb.h"
#include "twips.h"
#include "windowkeys.h"

namespace {

QString Chars(int n) {
    return QString(n, QLatin1Char('x'));
}

TEST(MessageLayout, WidthFollowsTheTrimmedLength) {
    EXPECT_EQ(LayOutMessage(Chars(64), kMsgOK).windowWidth, 9880);
    EXPECT_FALSE(LayOutMessage(Chars(64), kMsgOK).wrap);
    EXPECT_EQ(LayOutMessage(Chars(10), kMsgOK).windowWidth, 3400);
    EXPECT_EQ(LayOutMessage(QString(), kMsgOK).windowWidth, 2200);
    // Blanks at either end do not count; blanks inside do.
    EXPECT_EQ(
        LayOutMessage(QStringLiteral("   ") + Chars(64) + QStringLiteral("  "), kMsgOK).windowWidth,
        9880);
    EXPECT_EQ(LayOutMessage(QStringLiteral("ab   cd"), kMsgOK).windowWidth, 7 * 120 + 2200);
    EXPECT_EQ(LayOutMessage(QString(100, QLatin1Char(' ')), kMsgOK).windowWidth, 2200);
}

TEST(MessageLayout, SixtyFiveCharactersWrapInAFixedLabel) {
    const MessageLayout layout = LayOutMessage(Chars(65), kMsgOK);
    EXPECT_TRUE(layout.wrap);
    EXPECT_EQ(layout.windowWidth, 10000);
    EXPECT_EQ(layout.labelWidth, 7800);
    EXPECT_EQ(layout.labelHeight, 450);
    EXPECT_EQ(LayOutMessage(Chars(400), kMsgQuestion).windowWidth, 10000);
    EXPECT_FALSE(LayOutMessage(QStringLiteral(" ") + Chars(64) + QStringLiteral(" "), kMsgOK).wrap);
}

TEST(MessageLayout, OkOrYesAndNoAtTheRight) {
    const MessageLayout ok = LayOutMessage(Chars(20), kMsgOK);
    EXPECT_FALSE(ok.question);
    EXPECT_EQ(ok.okCaption, QStringLiteral("OK"));
    EXPECT_EQ(ok.okLeft, ok.windowWidth - 1000);
    EXPECT_EQ(ok.msgDefault, kMsgDefaultOK);

    const MessageLayout question = LayOutMessage(Chars(20), kMsgQuestion);
    EXPECT_TRUE(question.question);
    EXPECT_EQ(question.okCaption, QStringLiteral("Yes"));
    EXPECT_EQ(question.okLeft, question.windowWidth - 2000);
    EXPECT_EQ(question.noLeft, question.windowWidth - 1000);
    EXPECT_EQ(question.msgDefault, kMsgDefaultNo);
}

class Messages : public ::testing::Test {
  protected:
    void SetUp() override {
        messages.Reset();
        messageScript.Reset();
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("graphics")));
        ASSERT_TRUE(WriteHandCursorFile(dir.filePath(QStringLiteral("graphics/finger.cur"))));
        SetAppFolder(dir.path().toStdString());
    }
    void TearDown() override {
        messageScript.Reset();
        messages.Reset();
        SetAppFolder("");
    }

    QTemporaryDir dir;
};

TEST_F(Messages, ScriptedQuestionLeavesItsAnswer) {
    messageScript.Queue(kMsgYes);
    ShowMessage(QStringLiteral("Use this origin?"), kMsgQuestion, QStringLiteral("Origin"));
    EXPECT_EQ(messages.gMsgAnswer, kMsgYes);
    EXPECT_FALSE(messages.gMsgShown);
    EXPECT_EQ(messages.gMsgDefault, kMsgDefaultNo);

    ASSERT_EQ(messageScript.Log().size(), 1u);
    const LoggedMessage& logged = messageScript.Log()[0];
    EXPECT_EQ(logged.kind, MessageKind::Program);
    EXPECT_EQ(logged.title, QStringLiteral("Origin"));
    EXPECT_EQ(logged.text, QStringLiteral("Use this origin?"));
    EXPECT_EQ(logged.style, kMsgQuestion);
    EXPECT_EQ(logged.answer, kMsgYes);
    EXPECT_EQ(logged.outcome, MessageOutcome::Scripted);
}

TEST_F(Messages, UnscriptedMessagesTakeWhatEnterWouldAnswer) {
    messageScript.Start();
    ShowMessage(QStringLiteral("Delete this location?"), kMsgQuestion, QStringLiteral("Delete"));
    EXPECT_EQ(messages.gMsgAnswer, kMsgNo);
    ShowMessage(QStringLiteral("Not verified"), kMsgOK, QStringLiteral("ZIP"));
    EXPECT_EQ(messages.gMsgAnswer, kMsgYes);
    EXPECT_EQ(messages.gMsgDefault, kMsgDefaultOK);
    ASSERT_EQ(messageScript.Log().size(), 2u);
    EXPECT_EQ(messageScript.Log()[0].outcome, MessageOutcome::Defaulted);
    EXPECT_EQ(messageScript.Log()[1].outcome, MessageOutcome::Defaulted);
}

TEST_F(Messages, WindowAppliesTheLayoutInPixels) {
    frmMssgBox ok;
    ok.SetMessage(QStringLiteral("  ") + Chars(64) + QStringLiteral(" "), kMsgOK,
                  QStringLiteral("Title"));
    EXPECT_EQ(ok.width(), TwipsToPixels(9880));
    EXPECT_FALSE(ok.lblMssg1->wordWrap());
    EXPECT_EQ(ok.xlblTitle->text(), QStringLiteral("Title"));
    EXPECT_EQ(ok.lblOK->text(), QStringLiteral("OK"));
    EXPECT_EQ(ok.lblOK->x(), TwipsToPixels(8880));
    EXPECT_TRUE(ok.lblNo->isHidden());
    EXPECT_TRUE(ok.rect().contains(ok.lblMssg1->geometry()));
    EXPECT_TRUE(ok.rect().contains(ok.lblOK->geometry()));

    frmMssgBox question;
    question.SetMessage(Chars(30) + QStringLiteral(" ") + Chars(34), kMsgQuestion,
                        QStringLiteral("Title"));
    EXPECT_EQ(question.width(), TwipsToPixels(10000));
    EXPECT_TRUE(question.lblMssg1->wordWrap());
    EXPECT_EQ(question.lblMssg1->width(), TwipsToPixels(7800));
    EXPECT_GE(question.lblMssg1->height(), TwipsToPixels(450));
    EXPECT_EQ(question.lblOK->text(), QStringLiteral("Yes"));
    EXPECT_EQ(question.lblOK->x(), TwipsToPixels(8000));
    EXPECT_FALSE(question.lblNo->isHidden());
    EXPECT_EQ(question.lblNo->x(), TwipsToPixels(9000));
    EXPECT_EQ(question.lblOK->y(), question.lblNo->y());
}

TEST_F(Messages, VeryLongTextIsNotCutOff) {
    QString text;
    for (int i = 0; i < 40; ++i) text += QStringLiteral("word%1 ").arg(i);
    frmMssgBox box;
    box.SetMessage(text, kMsgOK, QStringLiteral("Title"));
    QLabel* label = box.lblMssg1;
    EXPECT_GT(label->height(), TwipsToPixels(450));
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_GT(box.lblOK->y(), label->geometry().bottom());
    EXPECT_GT(box.height(), box.lblOK->geometry().bottom());
}

// A name typed without blanks, wider than the window, in a short message and in one long
// enough to wrap: all of it is shown inside the window.
TEST_F(Messages, AWordWiderThanTheWindowIsShownWhole) {
    const QString name(90, QLatin1Char('W'));
    for (const QString& text :
         {name + QStringLiteral(" could not be saved."),
          name + QStringLiteral(" is listed on bills of lading that are still on file, and it "
                                "cannot be deleted until they are.")}) {
        frmMssgBox box;
        box.SetMessage(text, kMsgOK, QStringLiteral("Title"));
        QLabel* label = box.lblMssg1;
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        EXPECT_GT(lines.size(), 1);
        // The label wraps between words itself, so no word may be wider than the label.
        for (const QString& word :
             label->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            EXPECT_LE(label->fontMetrics().horizontalAdvance(word), label->width())
                << word.toStdString();
        EXPECT_GE(label->height(), label->heightForWidth(label->width()));
        EXPECT_GE(label->height(),
                  static_cast<int>(lines.size()) * label->fontMetrics().lineSpacing());
        EXPECT_TRUE(box.rect().contains(label->geometry()));
        EXPECT_GT(box.lblOK->y(), label->geometry().bottom());
        EXPECT_EQ(QString(label->text()).remove(QLatin1Char('\n')), text);
    }
}

struct KeyCase {
    uint8_t style;
    Qt::Key key;
    const char* text;
    uint8_t answer;
};

TEST_F(Messages, KeysAnswer) {
    const KeyCase cases[] = {
        {kMsgQuestion, Qt::Key_Return, "\r", kMsgNo},
        {kMsgQuestion, Qt::Key_Enter, "\r", kMsgNo},
        {kMsgOK, Qt::Key_Return, "\r", kMsgYes},
        {kMsgOK, Qt::Key_Enter, "\r", kMsgYes},
        {kMsgOK, Qt::Key_N, "N", kMsgNo},
        {kMsgOK, Qt::Key_N, "n", kMsgNo},
        {kMsgQuestion, Qt::Key_N, "n", kMsgNo},
        {kMsgQuestion, Qt::Key_Y, "y", kMsgYes},
        {kMsgQuestion, Qt::Key_Y, "Y", kMsgYes},
        {kMsgQuestion, Qt::Key_O, "o", kMsgYes},
        {kMsgOK, Qt::Key_O, "O", kMsgYes},
        {kMsgOK, Qt::Key_Y, "y", kMsgYes},
    };
    for (const KeyCase& c : cases) {
        messages.gMsgAnswer = 0;
        messages.gMsgShown = true;
        frmMssgBox box;
        box.SetMessage(QStringLiteral("Continue?"), c.style, QStringLiteral("Title"));
        QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier, QString::fromLatin1(c.text));
        QApplication::sendEvent(&box, &press);
        EXPECT_EQ(messages.gMsgAnswer, c.answer) << int(c.style) << " key " << c.text;
        EXPECT_FALSE(messages.gMsgShown) << int(c.style) << " key " << c.text;
        EXPECT_EQ(box.result(), c.answer);
    }
}

// A message shown while no window of the program is on the screen (at start) belongs to no
// window, not to the program's hidden leader window, and Enter answers it.
TEST_F(Messages, AMessageWithNoWindowUpStandsAloneAndTakesEnter) {
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    bool shown = false;
    QWindow* transientFor = nullptr;
    Qt::WindowType type = Qt::Widget;
    bool dialogToWindowManager = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<frmMssgBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shown = true;
        transientFor = box->windowHandle() ? box->windowHandle()->transientParent() : nullptr;
        type = box->windowType();
        dialogToWindowManager = IsOwnerlessWindow(*box);
        QTest::keyClick(box, Qt::Key_Return);
    });
    ShowMessage(QStringLiteral("The tariff could not be opened."), kMsgOK,
                QStringLiteral("Tariff data"));
    ASSERT_TRUE(shown);
    EXPECT_EQ(messages.gMsgAnswer, kMsgYes);
    EXPECT_EQ(transientFor, nullptr);
    EXPECT_EQ(type, Qt::Window);
    EXPECT_TRUE(dialogToWindowManager);
}

TEST_F(Messages, OtherKeysAndEscapeDoNothing) {
    messages.gMsgAnswer = 0;
    messages.gMsgShown = true;
    frmMssgBox box;
    box.SetMessage(QStringLiteral("Continue?"), kMsgQuestion, QStringLiteral("Title"));
    QTest::keyClick(&box, Qt::Key_Escape);
    QTest::keyClick(&box, Qt::Key_X);
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_EQ(messages.gMsgAnswer, 0);
    EXPECT_TRUE(messages.gMsgShown);
    QTest::keyClick(&box, Qt::Key_Y);
    EXPECT_EQ(messages.gMsgAnswer, kMsgYes);
}

TEST_F(Messages, ClickingTheLabelsAnswers) {
    {
        messages.gMsgShown = true;
        frmMssgBox box;
        box.SetMessage(QStringLiteral("Rate it again?"), kMsgQuestion, QStringLiteral("Title"));
        QTest::mouseClick(box.lblNo, Qt::LeftButton);
        EXPECT_EQ(messages.gMsgAnswer, kMsgNo);
        EXPECT_FALSE(messages.gMsgShown);
    }
    {
        frmMssgBox box;
        box.SetMessage(QStringLiteral("Rate it again?"), kMsgQuestion, QStringLiteral("Title"));
        QTest::mouseClick(box.lblOK, Qt::LeftButton);
        EXPECT_EQ(messages.gMsgAnswer, kMsgYes);
    }
}

TEST_F(Messages, ClosingTheWindowAnswersLikeEnter) {
    messages.gMsgShown = true;
    frmMssgBox box;
    box.SetMessage(QStringLiteral("Delete it?"), kMsgQuestion, QStringLiteral("Title"));
    box.reject();
    EXPECT_EQ(messages.gMsgAnswer, kMsgNo);
    EXPECT_FALSE(messages.gMsgShown);
}

TEST_F(Messages, HoverHighlightsInBlueWithTheHandCursor) {
    frmMssgBox box;
    box.SetMessage(QStringLiteral("Delete it?"), kMsgQuestion, QStringLiteral("Title"));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

    QTest::mouseMove(box.lblNo, QPoint(3, 3));
    EXPECT_EQ(box.lblNo->ForeColor(), kColorBlue);
    EXPECT_EQ(box.lblOK->ForeColor(), kColorBlack);
    EXPECT_EQ(box.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(box.cursor().hotSpot(), QPoint(kHandHotSpotX, kHandHotSpotY));

    QTest::mouseMove(box.lblOK, QPoint(3, 3));
    EXPECT_EQ(box.lblOK->ForeColor(), kColorBlue);
    EXPECT_EQ(box.lblNo->ForeColor(), kColorBlack);

    // The lower left corner is background.
    QTest::mouseMove(&box, QPoint(3, box.height() - 3));
    EXPECT_EQ(box.lblOK->ForeColor(), kColorBlack);
    EXPECT_EQ(box.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(LabelForeColor(box.xlblTitle), kColorWhite);
}

// A title longer than its message widens the window: the title is never cut.
TEST_F(Messages, TheWindowIsAtLeastAsWideAsItsTitle) {
    frmMssgBox box;
    const QString title = QStringLiteral("Conversion Error while reading the exchange rate");
    box.SetMessage(QStringLiteral("Click OK."), kMsgOK, title);
    const int titleWidth = box.xlblTitle->fontMetrics().horizontalAdvance(title);
    EXPECT_GE(box.xlblTitle->contentsRect().width() - box.xlblTitle->indent(), titleWidth);
    EXPECT_GE(box.width(), titleWidth);
    EXPECT_TRUE(box.rect().contains(box.lblOK->geometry()));
    // OK keeps its place from the right edge.
    EXPECT_EQ(box.width() - box.lblOK->x(), TwipsToPixels(1000));
}

// A message taller than the screen (a party's name of thousands of characters) fits the
// screen: its text scrolls in a pane, with the keys, and Enter still answers it.
TEST_F(Messages, ATextTallerThanTheScreenScrollsInAWindowThatFits) {
    const QString text = QStringLiteral("Acme Widgets Company ").repeated(240) +
                         QStringLiteral(
                             "is listed as a party to one or more B/Ls that are "
                             "still on file.  Can not delete this party.");
    messages.gMsgShown = true;
    frmMssgBox box;
    box.SetMessage(text, kMsgOK, QStringLiteral("Database error"));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QRect screen = box.screen()->availableGeometry();
    EXPECT_LE(box.frameGeometry().height(), screen.height());
    EXPECT_LE(box.frameGeometry().width(), screen.width());
    auto* pane = box.findChild<QScrollArea*>(QStringLiteral("messagePane"));
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->widget(), box.lblMssg1);
    EXPECT_TRUE(box.rect().contains(pane->geometry()));
    EXPECT_TRUE(box.rect().contains(box.lblOK->geometry()));
    EXPECT_GT(box.lblOK->y(), pane->geometry().bottom());
    ASSERT_GT(pane->verticalScrollBar()->maximum(), 0);
    box.activateWindow();
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &box;
    QTest::keyClick(focus, Qt::Key_PageDown);
    EXPECT_GT(pane->verticalScrollBar()->value(), 0);
    QTest::keyClick(focus, Qt::Key_Return);
    EXPECT_EQ(messages.gMsgAnswer, kMsgYes);
    EXPECT_FALSE(messages.gMsgShown);
}

// The lock message names the database by its path: the lines break at blanks or after a
// folder separator, never inside a name ("x2007." and "mdb" on two lines).
TEST_F(Messages, APathIsNeverBrokenInsideAName) {
    const QString path = QStringLiteral(
        "/home/dispatcher/.local/share/Fretlyn/Fretlyn/editions/2007-spring/data/x2007.mdb");
    const QString text = QStringLiteral("The database ") + path +
                         QStringLiteral(
                             " is locked by another program.  Try again when that "
                             "program has finished with it.");
    frmMssgBox box;
    box.SetMessage(text, kMsgOK, QStringLiteral("Database locked"));
    const QString shown = box.lblMssg1->text();
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, shown);
    for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < shown.size();
         at = breaks.toNextBoundary()) {
        const QChar before = shown[at - 1];
        EXPECT_TRUE(before == QLatin1Char(' ') || before == QLatin1Char('\n'))
            << "breaks before: " << shown.mid(at).toStdString();
    }
    // The marks that only join are left out of the lines.
    for (const QString& line : QString(shown).remove(QChar(0x2060)).split(QLatin1Char('\n'))) {
        if (line.contains(QStringLiteral(" is locked"))) continue;
        EXPECT_TRUE(line.endsWith(QLatin1Char('/'))) << line.toStdString();
    }
    EXPECT_TRUE(shown.contains(QStringLiteral("x2007.mdb")));
}

}  // namespace
