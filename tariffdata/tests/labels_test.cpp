#include "labels.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "handcursor.h"
#include "labelbutton.h"
#include "tariffdb.h"

namespace {

constexpr uint32_t kGreen = 0x00FF00;

// A window with the kinds of label a window has, all coloured green to start with.
class LabelWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("graphics")));
        ASSERT_TRUE(WriteHandCursorFile(dir.filePath(QStringLiteral("graphics/finger.cur"))));
        SetAppFolder(dir.path().toStdString());

        form.resize(400, 300);
        lblRate = AddButton("lblRate", 10, 10);
        lblPrint = AddButton("lblPrint", 10, 50);
        mlblDone = AddButton("mlblDone", 10, 90);
        hdlTitle = AddButton("hdlTitle", 10, 130);
        panel = new QWidget(&form);
        panel->setGeometry(200, 10, 190, 100);
        lblInPanel = new QLabel(QStringLiteral("inside"), panel);
        lblInPanel->setObjectName(QStringLiteral("lblInPanel"));
        lblInPanel->setGeometry(10, 10, 100, 20);
        lblPlain = new QLabel(QStringLiteral("caption"), &form);
        lblPlain->setObjectName(QStringLiteral("lblPlain"));
        lblPlain->setGeometry(10, 170, 100, 30);
        xlblOther = new QLabel(QStringLiteral("other"), &form);
        xlblOther->setObjectName(QStringLiteral("xlblOther"));
        xlblOther->setGeometry(10, 210, 100, 30);
        txtZip = new QLineEdit(&form);
        txtZip->setObjectName(QStringLiteral("txtZip"));
        txtZip->setGeometry(200, 200, 100, 25);
        childDialog = new QDialog(&form);
        lblOfDialog = new QLabel(QStringLiteral("dialog"), childDialog);
        lblOfDialog->setObjectName(QStringLiteral("lblOfDialog"));
        for (QLabel* label : Labels()) SetLabelForeColor(label, kGreen);
    }

    void TearDown() override { SetAppFolder(""); }

    LabelButton* AddButton(const char* name, int x, int y) {
        auto* button = new LabelButton(QString::fromLatin1(name), &form);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(x, y, 120, 30);
        return button;
    }

    std::vector<QLabel*> Labels() const {
        return {lblRate,    lblPrint, mlblDone,  hdlTitle,
                lblInPanel, lblPlain, xlblOther, lblOfDialog};
    }

    void Show() {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    QTemporaryDir dir;
    QWidget form;
    LabelButton *lblRate, *lblPrint, *mlblDone, *hdlTitle;
    QWidget* panel;
    QLabel *lblInPanel, *lblPlain, *xlblOther, *lblOfDialog;
    QLineEdit* txtZip;
    QDialog* childDialog;
};

TEST_F(LabelWindow, ResetTouchesOnlyLblAndMlblLabelsOfTheWindow) {
    ResetLabelColors(&form, kHiliteWhite);
    for (QLabel* label : {static_cast<QLabel*>(lblRate), static_cast<QLabel*>(lblPrint),
                          static_cast<QLabel*>(mlblDone), lblInPanel, lblPlain})
        EXPECT_EQ(LabelForeColor(label), kColorBlack) << label->objectName().toStdString();
    EXPECT_EQ(LabelForeColor(hdlTitle), kGreen);
    EXPECT_EQ(LabelForeColor(xlblOther), kGreen);
    EXPECT_EQ(LabelForeColor(lblOfDialog), kGreen);
}

TEST_F(LabelWindow, HiliteInWhiteOrBlueWithTheHandCursor) {
    HiliteLabel(lblPrint, &form, kHiliteWhite);
    EXPECT_EQ(lblPrint->ForeColor(), kColorWhite);
    EXPECT_EQ(lblRate->ForeColor(), kColorBlack);
    EXPECT_EQ(mlblDone->ForeColor(), kColorBlack);
    EXPECT_EQ(hdlTitle->ForeColor(), kGreen);
    EXPECT_EQ(form.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(form.cursor().hotSpot(), QPoint(kHandHotSpotX, kHandHotSpotY));

    HiliteLabel(mlblDone, &form, kHiliteBlue);
    EXPECT_EQ(mlblDone->ForeColor(), kColorBlue);
    EXPECT_EQ(lblPrint->ForeColor(), kColorBlack);
}

TEST_F(LabelWindow, HeadingsKeepTheirColourThroughBlackHdlLabels) {
    BlackHdlLabels(&form);
    EXPECT_EQ(LabelForeColor(hdlTitle), kGreen);
    for (QLabel* label :
         {static_cast<QLabel*>(lblRate), static_cast<QLabel*>(mlblDone), lblInPanel, xlblOther})
        EXPECT_EQ(LabelForeColor(label), kColorBlack) << label->objectName().toStdString();
    EXPECT_EQ(LabelForeColor(lblOfDialog), kGreen);

    HighlightLabel(hdlTitle, &form);
    EXPECT_EQ(hdlTitle->ForeColor(), kColorBlue);
    HighlightLabel(lblRate, &form);
    EXPECT_EQ(lblRate->ForeColor(), kColorBlue);
    EXPECT_EQ(hdlTitle->ForeColor(), kColorBlue);
    EXPECT_EQ(form.cursor().shape(), Qt::BitmapCursor);
}

TEST_F(LabelWindow, WhiteFormLabelsWhitensEveryLabel) {
    WhiteFormLabels(&form);
    for (QLabel* label : Labels()) {
        const uint32_t expected = label == lblOfDialog ? kGreen : kColorWhite;
        EXPECT_EQ(LabelForeColor(label), expected) << label->objectName().toStdString();
    }
}

TEST_F(LabelWindow, HighlighterHighlightsOncePerEntry) {
    LabelHighlighter highlighter(&form, kHiliteWhite);
    highlighter.WireLabels();
    highlighter.WireLabels();  // wiring twice must not highlight twice
    QSignalSpy entered(&highlighter, &LabelHighlighter::labelEntered);
    QSignalSpy background(&highlighter, &LabelHighlighter::backgroundEntered);
    Show();

    QTest::mouseMove(lblRate, QPoint(5, 5));
    QTest::mouseMove(lblRate, QPoint(15, 8));
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(highlighter.LastHiliteLabel(), QStringLiteral("lblRate"));
    EXPECT_EQ(lblRate->ForeColor(), kColorWhite);
    EXPECT_EQ(form.cursor().shape(), Qt::BitmapCursor);

    QTest::mouseMove(lblPrint, QPoint(5, 5));
    EXPECT_EQ(entered.count(), 2);
    EXPECT_EQ(lblPrint->ForeColor(), kColorWhite);
    EXPECT_EQ(lblRate->ForeColor(), kColorBlack);

    // Back onto the label highlighted last, through the background: highlighted again.
    QTest::mouseMove(&form, QPoint(350, 280));
    EXPECT_EQ(background.count(), 1);
    EXPECT_EQ(lblPrint->ForeColor(), kColorBlack);
    EXPECT_TRUE(highlighter.LastHiliteLabel().isEmpty());
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(lblPrint, QPoint(6, 6));
    EXPECT_EQ(entered.count(), 3);
    EXPECT_EQ(lblPrint->ForeColor(), kColorWhite);
}

TEST_F(LabelWindow, MovesOverOtherControlsAreNotTheBackground) {
    LabelHighlighter highlighter(&form, kHiliteBlue);
    highlighter.WireLabels();
    QSignalSpy background(&highlighter, &LabelHighlighter::backgroundEntered);
    Show();

    QTest::mouseMove(lblRate, QPoint(5, 5));
    QTest::mouseMove(lblPlain, QPoint(5, 5));
    QTest::mouseMove(txtZip, QPoint(5, 5));
    QTest::mouseMove(lblInPanel, QPoint(5, 5));
    EXPECT_EQ(background.count(), 0);
    EXPECT_EQ(lblRate->ForeColor(), kColorBlue);

    // A panel registered as background counts where no control covers it.
    highlighter.AddBackground(panel);
    QTest::mouseMove(lblInPanel, QPoint(5, 5));
    EXPECT_EQ(background.count(), 0);
    QTest::mouseMove(panel, QPoint(150, 80));
    ASSERT_EQ(background.count(), 1);
    EXPECT_EQ(background[0][0].value<QWidget*>(), panel);
    EXPECT_EQ(lblRate->ForeColor(), kColorBlack);
}

TEST_F(LabelWindow, EveryMoveHighlightsWhenNotOncePerEntry) {
    LabelHighlighter highlighter(&form, kHiliteBlue);
    highlighter.SetOncePerEntry(false);
    highlighter.SetBackgroundPointer(kPointerArrow);
    highlighter.WireLabels();
    highlighter.Wire(lblRate);
    QSignalSpy entered(&highlighter, &LabelHighlighter::labelEntered);
    Show();

    QTest::mouseMove(lblRate, QPoint(5, 5));
    QTest::mouseMove(lblRate, QPoint(9, 5));
    EXPECT_EQ(entered.count(), 2);
    QTest::mouseMove(&form, QPoint(350, 280));
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
