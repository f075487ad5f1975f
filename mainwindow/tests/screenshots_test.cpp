// Pictures of the main window's menu and the windows it opens, written as PNG files to the folder
// named by FRETLYN_SCREENSHOTS (the build's screenshots/ folder under ctest), with a check that
// no label's text is cut off by its own box.

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include "displayquote.h"
#include "frmabout.h"
#include "frmbrowser.h"
#include "frmfindsc.h"
#include "frmmssgbox.h"
#include "frmqpo.h"
#include "frmtrfdetail.h"
#include "helpviewer.h"
#include "inputdialogs.h"
#include "menufixture.h"
#include "offshoredialogs.h"
#include "quickref.h"
#include "quotedialogforms.h"
#include "readability.h"
#include "startup.h"
#include "webpane.h"

namespace {

QString ShotFolder() {
    const QByteArray dir = qgetenv("FRETLYN_SCREENSHOTS");
    return dir.isEmpty() ? QDir::tempPath() + QStringLiteral("/fretlyn-screenshots")
                         : QString::fromLocal8Bit(dir);
}

// The labels of a window whose text does not fit their box.
std::vector<std::string> ClippedLabels(QWidget* window) {
    std::vector<std::string> out;
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(window) || l->text().isEmpty() || l->width() == 0) continue;
        const QSize hint = l->sizeHint();
        const bool fits = l->wordWrap()
                              ? l->heightForWidth(l->width()) <= l->height() + 1
                              : hint.width() <= l->width() + 1 && hint.height() <= l->height() + 4;
        if (!fits)
            out.push_back(
                l->objectName().toStdString() + " \"" + l->text().left(30).toStdString() +
                "\" needs " + std::to_string(hint.width()) + "x" +
                std::to_string(l->wordWrap() ? l->heightForWidth(l->width()) : hint.height()) +
                " in " + std::to_string(l->width()) + "x" + std::to_string(l->height()));
    }
    return out;
}

void Shoot(QWidget* window, const QString& name) {
    window->show();
    window->activateWindow();
    QApplication::processEvents();
    QDir().mkpath(ShotFolder());
    EXPECT_TRUE(window->grab().save(ShotFolder() + QLatin1Char('/') + name + ".png"))
        << name.toStdString();
    EXPECT_EQ(ClippedLabels(window), std::vector<std::string>{}) << name.toStdString();
}

TEST_F(MenuTest, ScreenshotsOfTheMenuAndItsWindowsShowNoClippedText) {
    Load();
    form->show();
    MainMenu& m = Menu();
    Shoot(form.get(), QStringLiteral("main-closed"));
    Hover(m.lblCustomize);
    Shoot(form.get(), QStringLiteral("main-customize"));
    Hover(m.lblRulesTariff);
    Shoot(form.get(), QStringLiteral("main-rulestariff"));
    Hover(m.lblHelp);
    Click(m.lblContactVZK);
    Shoot(form.get(), QStringLiteral("main-help"));
    // The group opened from the keyboard, the focus frame on one of its commands.
    MoveOverBackground();
    for (int i = 0; i < 80 && Focused() != m.lblFSC; ++i) PressKey(Qt::Key_Tab);
    EXPECT_EQ(Focused(), m.lblFSC);
    Shoot(form.get(), QStringLiteral("main-customize-keyboard"));

    {
        frmFindSC w(form.get());
        w.txtZipCode->setText("60601");
        w.mlblClickHere_Click();
        Shoot(&w, QStringLiteral("findsc"));
    }
    for (int p = 0; p < 4; ++p) {
        frmQckRef w(p, form.get());
        Shoot(&w, QStringLiteral("quickref-%1").arg(p));
    }
    {
        frmTrfDetail w(form.get());
        w.SelectEntry(34);
        Shoot(&w, QStringLiteral("trfdetail"));
    }
    {
        frmAbout w(form.get());
        Shoot(&w, QStringLiteral("about"));
    }
    {
        frmFuelSurcharge w(form.get());
        Shoot(&w, QStringLiteral("fuelsurcharge"));
    }
    {
        frmOceanDims w(form->txtOceanDensity, form.get());
        Shoot(&w, QStringLiteral("oceandims"));
    }
    {
        gBrowserPage = 3;
        frmBrowser w(form.get());
        Shoot(&w, QStringLiteral("browser"));
    }
    Click(m.lblContents);
    ASSERT_NE(OpenHelpWindow(), nullptr);
    Shoot(OpenHelpWindow(), QStringLiteral("help-contents"));
    Click(m.lblIndex);
    Shoot(OpenHelpWindow(), QStringLiteral("help-index"));
}

// Types into the box with the focus, as a keyboard does.
void TypeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), text);
}

// Under a dark desktop palette every text the program colours, and every text on a background
// the program paints, still reads: the quote window with a quote (its discount, origin and
// destination among them) and the small windows the program opens.
TEST_F(MenuTest, UnderADarkPaletteTheQuoteWindowAndTheDialogsRead) {
    const PaletteScope dark(DarkDesktopPalette());
    Load();
    ConnectProgramWindows(*form);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    bool quoteShown = false;
    SetQuoteWindowShow([&](frmQPO& w) {
        quoteShown = true;
        Shoot(&w, QStringLiteral("quote-dark"));
        EXPECT_EQ(UnreadableTexts(&w), std::vector<std::string>{});
        EXPECT_TRUE(w.txtChgDisc->isVisible());
        w.close();
    });
    TypeInto(form->txtozip, "55401");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), "60601");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), "1200");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt);
    SetQuoteWindowShow(nullptr);
    ASSERT_TRUE(quoteShown) << TakeMessages().size();
    Shoot(form.get(), QStringLiteral("main-dark"));
    EXPECT_EQ(UnreadableTexts(form.get()), std::vector<std::string>{});

    auto check = [](QWidget* w, const QString& name) {
        Shoot(w, name + QStringLiteral("-dark"));
        EXPECT_EQ(UnreadableTexts(w), std::vector<std::string>{}) << name.toStdString();
        w->close();
    };
    {
        frmCdnRate w;
        check(&w, QStringLiteral("cdnrate"));
    }
    {
        frmChgDisc w;
        check(&w, QStringLiteral("chgdisc"));
    }
    {
        frmCOD w;
        check(&w, QStringLiteral("cod"));
    }
    {
        frmPRPort w(true);
        check(&w, QStringLiteral("prport"));
    }
    {
        frmMilitary w(false);
        check(&w, QStringLiteral("military"));
    }
    {
        frmFindSC w(form.get());
        check(&w, QStringLiteral("findsc"));
    }
    {
        frmAbout w(form.get());
        check(&w, QStringLiteral("about"));
    }
    {
        frmFuelSurcharge w(form.get());
        check(&w, QStringLiteral("fuelsurcharge"));
    }
    {
        frmOceanDims w(form->txtOceanDensity, form.get());
        check(&w, QStringLiteral("oceandims"));
    }
    {
        frmQckRef w(1, form.get());
        check(&w, QStringLiteral("quickref"));
    }
    {
        frmMssgBox w(form.get());
        w.SetMessage(QStringLiteral("Destination was not verified.  Please try again."), kMsgOK,
                     QStringLiteral("Data Entry Error"));
        check(&w, QStringLiteral("message"));
    }
}

// The will-call box of a Hawaii destination is white, as the main window's loading makes it, and
// its text reads on it under a light and a dark desktop palette alike.
TEST_F(MenuTest, TheWillCallBoxIsWhiteAndReadsUnderEitherPalette) {
    for (const bool darkDesktop : {false, true}) {
        const PaletteScope palette(darkDesktop ? DarkDesktopPalette() : QApplication::palette());
        Load();
        ShowActive(*form);
        ClickOn(*form, form->txtozip);
        TypeKeys(QStringLiteral("60601"));
        PressKey(Qt::Key_Return);
        TypeKeys(QStringLiteral("96813"));
        PressKey(Qt::Key_Return);
        QCheckBox* box = form->chkHawaiiWillCall;
        ASSERT_TRUE(box->isVisible()) << TakeMessages().size();
        const QString name =
            darkDesktop ? QStringLiteral("main-willcall-dark") : QStringLiteral("main-willcall");
        Shoot(form.get(), name);
        const QImage picture = form->grab().toImage();
        // Right of its text, where only the box's background is drawn.
        const QPoint beside = box->mapTo(form.get(), QPoint(box->width() - 4, box->height() / 2));
        EXPECT_EQ(QColor(picture.pixel(beside)).name().toStdString(), "#ffffff")
            << name.toStdString();
        EXPECT_EQ(UnreadableTexts(form.get()), std::vector<std::string>{}) << name.toStdString();
        form.reset();
    }
}

// Under a dark desktop palette the pages the program draws read as they do on a light one: a
// tariff item, the item an amount of the quick reference opens, the help's pages beside its
// lists, and a page in the web window, whose tool bar still shows its icons.
TEST_F(MenuTest, UnderADarkPaletteThePagesTheHelpAndTheWebBarRead) {
    const PaletteScope dark(DarkDesktopPalette());
    Load();
    form->show();
    auto check = [](QWidget* w, const QString& name) {
        Shoot(w, name + QStringLiteral("-dark"));
        EXPECT_EQ(UnreadableTexts(w), std::vector<std::string>{}) << name.toStdString();
        EXPECT_EQ(UnreadablePageTexts(w), std::vector<std::string>{}) << name.toStdString();
    };
    {
        frmTrfDetail w(form.get());
        w.SelectEntry(34);
        check(&w, QStringLiteral("trfdetail"));
    }
    {
        frmQckRef w(0, form.get());
        ShowActive(w);
        bool opened = false;
        work = [&](QDialog& d) {
            if (d.objectName() != QLatin1String("frmTrfDetail")) return;
            opened = true;
            check(&d, QStringLiteral("quickref-amount"));
        };
        ClickOn(w, w.Label3.begin()->second);
        work = nullptr;
        EXPECT_TRUE(opened);
    }
    {
        gBrowserPage = 3;
        frmBrowser w(form.get());
        // A local page, since the carrier's site is not there in a test.
        w.brwNorvale->Navigate(QUrl::fromLocalFile(TariffPagePath(100)));
        check(&w, QStringLiteral("browser"));
        EXPECT_EQ(FaintIcons(&w), std::vector<std::string>{});
    }
    WinHelp(form.get(), ApplicationHelpFile(), kHelpContents, 0);
    HelpWindow* help = OpenHelpWindow();
    ASSERT_NE(help, nullptr);
    check(help, QStringLiteral("help-contents"));
    WinHelp(form.get(), ApplicationHelpFile(), kHelpContext, kHelpIndexContext);
    check(help, QStringLiteral("help-index"));
    help->close();
}

// The help window stands over the main window and inside the screen; Escape closes it; the tab
// chosen puts the cursor in its box; the index opens on its first entry's page.
TEST_F(MenuTest, TheHelpWindowOpensOverTheMainWindowAndAnswersItsKeys) {
    Load();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // The main window at the bottom right of the screen, where the help would run past it.
    form->move(screen.right() - form->width() + 1, screen.bottom() - form->height() + 1);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // The menu's own path to this is tested with the menu; here the window is what matters.
    WinHelp(form.get(), ApplicationHelpFile(), kHelpContents, 0);
    HelpWindow* help = OpenHelpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    EXPECT_EQ(help->window()->parentWidget(), form.get());
    Shoot(help, QStringLiteral("help-over-main"));
    EXPECT_TRUE(screen.contains(help->frameGeometry()))
        << help->frameGeometry().x() << "," << help->frameGeometry().y();
    EXPECT_TRUE(help->frameGeometry().intersects(form->frameGeometry()));

    QTabBar* bar = help->tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(help->tabs->currentIndex(), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == help->txtSearch; }));
    QTest::keyClicks(QApplication::focusWidget(), "density");
    EXPECT_EQ(help->txtSearch->text(), "density");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == help->txtKeyword; }));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());

    WinHelp(form.get(), ApplicationHelpFile(), kHelpContext, kHelpIndexContext);
    ASSERT_TRUE(help->isVisible());
    ASSERT_GT(help->lstIndex->count(), 0);
    EXPECT_EQ(help->CurrentPage(),
              QFileInfo(help->lstIndex->item(0)->data(Qt::UserRole).toString()).fileName());
    EXPECT_FALSE(help->CurrentPage().isEmpty());
    EXPECT_FALSE(help->brwHelp->toPlainText().trimmed().isEmpty());
    help->close();
}

}  // namespace
