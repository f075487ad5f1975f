// Pictures of the main window's menu and the windows it opens, written as PNG files to the folder
// named by FRETLYN_SCREENSHOTS (the build's screenshots/ folder under ctest), with a check that
// no label's text is cut off by its own box.

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include "displayquote.h"
#include "frmabout.h"
#include "frmbrowser.h"
#include "frmfindsc.h"
#include "frmmssgbox.h"
#include "frmpony.h"
#include "frmqpo.h"
#include "frmratesheet.h"
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

// The part of a label its text is drawn in, in its parent's coordinates.
QRect TextArea(QLabel* l) {
    const QRect inside = l->contentsRect();
    const int around = 2 * l->margin() + 2 * l->frameWidth();
    const QSize text =
        (l->wordWrap() ? QSize(inside.width(), l->heightForWidth(l->width()) - around)
                       : l->fontMetrics().size(0, l->text()))
            .boundedTo(inside.size());
    const Qt::Alignment align = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
    return QStyle::alignedRect(l->layoutDirection(), align, text, inside).translated(l->pos());
}

// A widget drawn over the text: a sibling stacked above it whose box reaches into the text.
// An overlay that lets the mouse through (a focus frame) only draws around what it marks.
QWidget* CoveringSibling(QWidget* w, const QRect& text) {
    const QObjectList& siblings = w->parentWidget()->children();
    for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
        auto* above = qobject_cast<QWidget*>(siblings[i]);
        if (above && above->isVisible() && !above->isWindow() &&
            !above->testAttribute(Qt::WA_TransparentForMouseEvents) &&
            above->geometry().intersects(text))
            return above;
    }
    return nullptr;
}

// The labels, check boxes and option buttons of a window whose text does not fit their box (cut
// off at the side, or lower than the box, which loses the descenders (g, p, y) first) or is
// partly covered by another box drawn over it.
std::vector<std::string> ClippedLabels(QWidget* window) {
    std::vector<std::string> out;
    auto clipped = [&](QWidget* w, const QString& text, QSize needs) {
        out.push_back(w->objectName().toStdString() + " \"" + text.left(30).toStdString() +
                      "\" needs " + std::to_string(needs.width()) + "x" +
                      std::to_string(needs.height()) + " in " + std::to_string(w->width()) + "x" +
                      std::to_string(w->height()));
    };
    auto covered = [&](QWidget* w, const QString& text, const QRect& area) {
        if (QWidget* above = CoveringSibling(w, area))
            out.push_back(w->objectName().toStdString() + " \"" + text.left(30).toStdString() +
                          "\" is covered by " + above->objectName().toStdString());
    };
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(window) || l->text().isEmpty() || l->width() == 0) continue;
        covered(l, l->text(), TextArea(l));
        if (l->wordWrap()) {
            const int needs = l->heightForWidth(l->width());
            if (needs > l->height() + 1) clipped(l, l->text(), {l->width(), needs});
            continue;
        }
        // The text's own lines, with what the label keeps around them (its margin and frame);
        // the size hint's own room beyond that may go.
        const QSize text = l->fontMetrics().size(0, l->text());
        const int around = 2 * l->margin() + 2 * l->frameWidth();
        const QSize hint = l->sizeHint();
        const bool rich = l->textFormat() == Qt::RichText ||
                          (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()));
        const bool fits = hint.width() <= l->width() + 1 &&
                          (rich ? hint.height() <= l->height() + 4
                                : text.height() + around <= l->height());
        if (!fits) clipped(l, l->text(), hint);
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (!qobject_cast<QCheckBox*>(b) && !qobject_cast<QRadioButton*>(b)) continue;
        if (!b->isVisibleTo(window) || b->text().isEmpty()) continue;
        const QSize hint = b->sizeHint();
        if (hint.width() > b->width() + 1 || hint.height() > b->height() + 1)
            clipped(b, b->text(), hint);
        covered(b, b->text(), b->geometry());
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

class Screenshots : public MenuTest {
  protected:
    // The main window with each menu group open and every window the menu and the main
    // window's commands open, each drawn to a picture named with `suffix` and checked.
    void ShootEveryWindow(const QString& suffix) {
        auto shoot = [&](QWidget* w, const QString& name) { Shoot(w, name + suffix); };
        Load();
        form->show();
        MainMenu& m = Menu();
        shoot(form.get(), QStringLiteral("main-closed"));
        Hover(m.lblCustomize);
        shoot(form.get(), QStringLiteral("main-customize"));
        Hover(m.lblRulesTariff);
        shoot(form.get(), QStringLiteral("main-rulestariff"));
        Hover(m.lblHelp);
        Click(m.lblContactVZK);
        shoot(form.get(), QStringLiteral("main-help"));
        // The group opened from the keyboard, the focus frame on one of its commands.
        MoveOverBackground();
        for (int i = 0; i < 80 && Focused() != m.lblFSC; ++i) PressKey(Qt::Key_Tab);
        EXPECT_EQ(Focused(), m.lblFSC);
        shoot(form.get(), QStringLiteral("main-customize-keyboard"));

        {
            frmFindSC w(form.get());
            w.txtZipCode->setText("60601");
            w.mlblClickHere_Click();
            shoot(&w, QStringLiteral("findsc"));
        }
        for (int p = 0; p < 4; ++p) {
            frmQckRef w(p, form.get());
            shoot(&w, QStringLiteral("quickref-%1").arg(p));
        }
        {
            frmTrfDetail w(form.get());
            w.SelectEntry(34);
            shoot(&w, QStringLiteral("trfdetail"));
        }
        {
            frmAbout w(form.get());
            shoot(&w, QStringLiteral("about"));
        }
        {
            frmFuelSurcharge w(form.get());
            shoot(&w, QStringLiteral("fuelsurcharge"));
        }
        {
            frmOceanDims w(form->txtOceanDensity, form.get());
            shoot(&w, QStringLiteral("oceandims"));
        }
        {
            gBrowserPage = 3;
            frmBrowser w(form.get());
            shoot(&w, QStringLiteral("browser"));
            // A page shown: its address on the line below the tool bar.
            w.brwNorvale->Navigate(QUrl::fromLocalFile(TariffPagePath(100)));
            ASSERT_TRUE(QTest::qWaitFor([&] { return !w.lblAddress->text().isEmpty(); }));
            shoot(&w, QStringLiteral("browser-page"));
        }
        {
            frmRateSheet w(form.get());
            w.Form_Load();
            w.Form_Activate();
            shoot(&w, QStringLiteral("ratesheet"));
            w.lstTo_MouseDown(Qt::RightButton, 0);
            shoot(&w, QStringLiteral("ratesheet-points"));
        }
        {
            frmPony w(form.get());
            w.Form_Activate();
            shoot(&w, QStringLiteral("pony"));
        }
        Click(m.lblContents);
        ASSERT_NE(OpenHelpWindow(), nullptr);
        shoot(OpenHelpWindow(), QStringLiteral("help-contents"));
        Click(m.lblIndex);
        shoot(OpenHelpWindow(), QStringLiteral("help-index"));
        OpenHelpWindow()->close();
    }
};

TEST_F(Screenshots, TheMenuAndItsWindowsShowNoClippedText) {
    ShootEveryWindow(QString());
}

// A desktop set to a larger font: every text still shows whole.
TEST_F(Screenshots, AtATwelvePointDesktopFontTheWindowsShowNoClippedText) {
    const FontSizeScope twelve(12);
    ShootEveryWindow(QStringLiteral("-12pt"));
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
