#include "messagebox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QTimer>

namespace {

class MessageScriptTest : public ::testing::Test {
  protected:
    void SetUp() override { messageScript.Reset(); }
    void TearDown() override { messageScript.Reset(); }
};

TEST(MessageBoxText, LinesBreakAtBlanksNotInsideAPath) {
    const QString text = QStringLiteral("The database /home/a-b/data/x2007.mdb is read-only.");
    const QString shown = BreakAtBlanksOnly(text);
    // Nothing is seen to change: the marks added are invisible and only join.
    QString seen = shown;
    seen.remove(QChar(0x2060));
    EXPECT_EQ(seen, text);
    EXPECT_EQ(shown.count(QChar(0x2060)), 6);
    // The box's own line breaker may break a line only after a blank.
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, shown);
    int lineBreaks = 0;
    for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < shown.size();
         at = breaks.toNextBoundary()) {
        EXPECT_EQ(shown[at - 1], QLatin1Char(' '))
            << "breaks before: " << shown.mid(at).toStdString();
        ++lineBreaks;
    }
    EXPECT_GE(lineBreaks, 3);
}

// A path wider than the line is cut only after a folder separator: no name in it is broken, so
// "x2007.mdb" never reads as "x2007." and "mdb" on two lines. A name wider than the line by
// itself is the only one cut inside.
TEST(MessageBoxText, AnOverlongPathIsCutAtItsSeparatorsOnly) {
    const QFont font;
    const QFontMetrics metrics(font);
    const QString path =
        QStringLiteral("/home/dispatcher/.local/share/Fretlyn/Fretlyn/editions/2007/x2007.mdb");
    const QString text =
        QStringLiteral("The database ") + path + QStringLiteral(" is locked by another program.");
    for (const int width :
         {metrics.horizontalAdvance(path) / 2, metrics.horizontalAdvance(path) / 3,
          metrics.horizontalAdvance(QStringLiteral("/Fretlyn/Fretlyn/")) + 3}) {
        const QString shown = BreakOverlongWords(text, metrics, width);
        EXPECT_EQ(QString(shown).remove(QLatin1Char('\n')), text);
        const QStringList lines = shown.split(QLatin1Char('\n'));
        EXPECT_GE(lines.size(), 2) << width;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            EXPECT_TRUE(lines[i].endsWith(QLatin1Char('/'))) << lines[i].toStdString();
        for (const QString& line : lines)
            for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                EXPECT_LE(metrics.horizontalAdvance(word), width) << word.toStdString();
        EXPECT_TRUE(lines.last().contains(QStringLiteral("x2007.mdb"))) << shown.toStdString();
    }
    // One name wider than the line is cut where the line ends.
    const QString name(60, QLatin1Char('W'));
    const QString cut = BreakOverlongWords(QStringLiteral("/data/") + name, metrics,
                                           metrics.horizontalAdvance(name) / 2);
    EXPECT_GE(cut.count(QLatin1Char('\n')), 2);
    EXPECT_EQ(QString(cut).remove(QLatin1Char('\n')), QStringLiteral("/data/") + name);
}

TEST_F(MessageScriptTest, QueuedAnswersAnswerInTurnAndAreLogged) {
    messageScript.Queue(kIdYes);
    messageScript.Queue(kIdCancel);
    EXPECT_TRUE(messageScript.Active());
    EXPECT_EQ(messageScript.Pending(), 2u);

    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Delete this party?"), kMbYesNo + kMbQuestion,
                                 QStringLiteral("Parties")),
              kIdYes);
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Save?"), kMbYesNoCancel, QStringLiteral("B/L")),
              kIdCancel);
    EXPECT_EQ(messageScript.Pending(), 0u);

    const auto& log = messageScript.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].kind, MessageKind::Platform);
    EXPECT_EQ(log[0].title, QStringLiteral("Parties"));
    EXPECT_EQ(log[0].text, QStringLiteral("Delete this party?"));
    EXPECT_EQ(log[0].style, kMbYesNo + kMbQuestion);
    EXPECT_EQ(log[0].answer, kIdYes);
    EXPECT_EQ(log[0].outcome, MessageOutcome::Scripted);
    EXPECT_EQ(log[1].answer, kIdCancel);
}

TEST_F(MessageScriptTest, EmptyQueueAnswersTheHarmlessButton) {
    messageScript.Start();
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Error 3022"), kMbOK + kMbCritical), kIdOK);
    // An empty title shows the program's name.
    EXPECT_EQ(messageScript.Log()[0].title, QApplication::applicationDisplayName());
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Delete?"), kMbYesNo + kMbQuestion), kIdNo);
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Save?"), kMbYesNoCancel), kIdCancel);
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Print?"), kMbOKCancel + kMbDefaultButton2),
              kIdCancel);
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Disk"), kMbAbortRetryIgnore), kIdAbort);
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Disk"), kMbRetryCancel), kIdCancel);
    ASSERT_EQ(messageScript.Log().size(), 6u);
    for (const LoggedMessage& m : messageScript.Log())
        EXPECT_EQ(m.outcome, MessageOutcome::Defaulted) << m.text.toStdString();
}

TEST_F(MessageScriptTest, InactiveScriptLeavesTheMessageToTheWindow) {
    EXPECT_FALSE(
        messageScript.Answer(MessageKind::Program, QStringLiteral("t"), QStringLiteral("x"), 48, 6)
            .has_value());
    EXPECT_TRUE(messageScript.Log().empty());
    messageScript.RecordShown(MessageKind::Program, QStringLiteral("t"), QStringLiteral("x"), 36,
                              7);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].outcome, MessageOutcome::Shown);
    EXPECT_EQ(messageScript.Log()[0].answer, 7);
}

TEST_F(MessageScriptTest, StopDropsAnswersButKeepsTheLog) {
    messageScript.Queue(kIdNo);
    messageScript.Queue(kIdYes);
    PlatformMessageBox(QStringLiteral("One"), kMbYesNo);
    messageScript.Stop();
    EXPECT_FALSE(messageScript.Active());
    EXPECT_EQ(messageScript.Pending(), 0u);
    EXPECT_EQ(messageScript.Log().size(), 1u);
    messageScript.ClearLog();
    EXPECT_TRUE(messageScript.Log().empty());

    messageScript.Queue(kIdYes);
    messageScript.Reset();
    EXPECT_FALSE(messageScript.Active());
    EXPECT_EQ(messageScript.Pending(), 0u);
}

// A name typed without blanks and wider than the box: every line of the message is shown in
// full, the name cut into pieces that fit, and the message itself is logged as it was given.
TEST_F(MessageScriptTest, AWordWiderThanTheBoxIsShownWholeOnLinesThatFit) {
    const QString text = QString(120, QLatin1Char('W')) +
                         QStringLiteral(
                             "\ris listed as a party to one or\rmore B/Ls that are "
                             "still on file.\r\r100, 200\r\rCan not delete this party.");
    QString shownText;
    bool fits = false;
    QSize boxSize;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        QLabel* label = nullptr;
        for (QLabel* l : box->findChildren<QLabel*>())
            if (l->text().contains(QStringLiteral("Can not delete"))) label = l;
        if (label) {
            shownText = label->text();
            const QStringList lines = shownText.split(QRegularExpression(QStringLiteral("[\r\n]")));
            fits = label->height() >= lines.size() * label->fontMetrics().lineSpacing();
            for (const QString& line : lines)
                fits = fits && label->fontMetrics().horizontalAdvance(line) <= label->width();
        }
        boxSize = box->size();
        box->accept();
    });
    PlatformMessageBox(text, kMbExclamation, QStringLiteral("Database error"));

    EXPECT_TRUE(fits) << shownText.toStdString();
    const QRegularExpression breaks(QStringLiteral("[\r\n]"));
    // Only line breaks, and the word joiners that keep "B/Ls" whole, are added to what is shown.
    EXPECT_EQ(QString(shownText).remove(breaks).remove(QChar(0x2060)),
              QString(text).remove(breaks));
    EXPECT_LE(boxSize.width(), QGuiApplication::primaryScreen()->availableGeometry().width());
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].text, text);
    EXPECT_EQ(messageScript.Log()[0].outcome, MessageOutcome::Shown);
}

// A text taller than the screen (a very long name, of one word or of many, a long list) scrolls
// inside a box that fits the screen; the box is answered as any other.
TEST_F(MessageScriptTest, ATextTallerThanTheScreenScrollsInsideABoxThatFits) {
    for (const QString& name : {QString(10000, QLatin1Char('W')),
                                QStringLiteral("Acme Widgets Company ").repeated(240)}) {
        const QString text = name + QStringLiteral(
                                        "\ris listed as a party to one or\rmore B/Ls that are "
                                        "still on file.\r\r100, 200\r\rCan not delete this party.");
        messageScript.Reset();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QRect boxFrame;
        bool scrolls = false, textInPane = false, linesFit = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            boxFrame = box->frameGeometry();
            if (auto* pane = box->findChild<QScrollArea*>()) {
                scrolls = pane->verticalScrollBar()->maximum() > 0;
                auto* label = qobject_cast<QLabel*>(pane->widget());
                textInPane = label && label->text().contains(QStringLiteral("Can not delete"));
                // Wrapped to the pane: nothing is cut off at its right.
                linesFit = label && label->width() <= pane->viewport()->width() &&
                           label->height() >= label->heightForWidth(label->width());
            }
            // The user presses Enter: the default button answers.
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box,
                            Qt::Key_Return);
        });
        EXPECT_EQ(PlatformMessageBox(text, kMbExclamation, QStringLiteral("Database error")),
                  kIdOK);
        EXPECT_TRUE(scrolls);
        EXPECT_TRUE(textInPane);
        EXPECT_TRUE(linesFit);
        EXPECT_LE(boxFrame.height(), screen.height());
        EXPECT_LE(boxFrame.width(), screen.width());
        ASSERT_EQ(messageScript.Log().size(), 1u);
        EXPECT_EQ(messageScript.Log()[0].text, text);
    }
}

// The window manager writes the title in the box's bar: a short message with a long title is
// as wide as the title and the bar's buttons, so the title is not cut.
TEST_F(MessageScriptTest, ABoxIsAtLeastAsWideAsItsTitle) {
    const QString title = QStringLiteral("Action canceled");
    int width = 0, titleWidth = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        width = box->width();
        QFont bold = box->font();
        bold.setBold(true);
        titleWidth = QFontMetrics(bold).horizontalAdvance(title);
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(PlatformMessageBox(QStringLiteral("Click OK."), kMbOK, title), kIdOK);
    EXPECT_GE(width, titleWidth + 100);
}

}  // namespace
