// The main window's small windows from the keyboard and on the screen: Enter and Escape, the
// help window's place, keys and pages, the quick-reference pages' one size and Tab stops, the
// windows' titles, and the main window on a screen too small for it.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTest>

#include "frmabout.h"
#include "frmfindsc.h"
#include "inputdialogs.h"
#include "maskededit.h"
#include "menufixture.h"
#include "quickref.h"
#include "quickrefdata.h"
#include "settings.h"

namespace {

void Key(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
}

TEST_F(MenuTest, TheFinderFindsOnEnterAndClosesOnEscape) {
    Load();
    frmFindSC w(form.get());
    ShowActive(w);
    w.txtZipCode->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "60601");
    Key(Qt::Key_Return);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.lblServiceCenterName->isHidden());
    EXPECT_FALSE(w.lblServiceCenterName->text().isEmpty());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(MenuTest, TheFuelSurchargeIsStoredOnEnterAndNotOnEscape) {
    Load();
    {
        frmFuelSurcharge w(form.get());
        ShowActive(w);
        w.mskFSC->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "123");
        Key(Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(GetConfigValue("FSC_fsc", "none"), "00.0");
    }
    frmFuelSurcharge w(form.get());
    ShowActive(w);
    w.mskFSC->setFocus();
    QCoreApplication::processEvents();  // the box selects its text as it takes the focus
    QTest::keyClicks(QApplication::focusWidget(), "123");
    Key(Qt::Key_Return);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(GetConfigValue("FSC_fsc", "none"), "12.3");
}

TEST_F(MenuTest, AboutAndTheQuickReferenceCloseOnEnterAndEscape) {
    Load();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmAbout about(form.get());
        ShowActive(about);
        Key(key);
        EXPECT_FALSE(about.isVisible());
        frmQckRef panel(1, form.get());
        ShowActive(panel);
        Key(key);
        EXPECT_FALSE(panel.isVisible());
    }
}

TEST_F(MenuTest, TheQuickReferencePagesHaveOneSizeAndTheArrowsStayPut) {
    Load();
    std::vector<std::unique_ptr<frmQckRef>> pages;
    for (int p = 0; p < 4; ++p) {
        pages.push_back(std::make_unique<frmQckRef>(p, form.get()));
        pages.back()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(pages.back().get()));
    }
    for (int p = 1; p < 4; ++p) EXPECT_EQ(pages[p]->size(), pages[0]->size()) << p;
    auto at = [](QWidget* arrow) { return arrow->mapTo(arrow->window(), QPoint(0, 0)); };
    // Paging down with the pointer kept still, and back up.
    EXPECT_EQ(at(pages[0]->imgDown), at(pages[1]->imgDown));
    EXPECT_EQ(at(pages[1]->imgDown), at(pages[2]->imgDown));
    EXPECT_EQ(at(pages[1]->imgUp), at(pages[3]->imgUp));
}

// Tab goes round each quick-reference page stopping only where there is something to read: a
// blank cell beside the lineal-foot table is no stop for Enter to open a tariff item from.
TEST_F(MenuTest, TheQuickReferenceTabStopsAreThingsToRead) {
    Load();
    std::vector<std::string> opened;
    work = [&](QDialog& d) { opened.push_back(d.objectName().toStdString()); };
    for (int p = 0; p < kQuickRefPanels; ++p) {
        frmQckRef panel(p, form.get());
        ShowActive(panel);
        QWidget* first = QApplication::focusWidget();
        ASSERT_TRUE(first);
        int stops = 0;
        do {
            auto* label = qobject_cast<QLabel*>(QApplication::focusWidget());
            ASSERT_TRUE(label) << p;
            const bool readable = !label->text().trimmed().isEmpty() || !label->pixmap().isNull();
            EXPECT_TRUE(readable) << "page " << p << " stops on the empty "
                                  << label->objectName().toStdString();
            if (!readable) {
                Key(Qt::Key_Return);
                EXPECT_TRUE(opened.empty()) << "Enter on an empty cell opened " << opened.back();
                opened.clear();
            }
            Key(Qt::Key_Tab);
        } while (QApplication::focusWidget() != first && ++stops < 60);
        EXPECT_LT(stops, 60) << p;
        panel.close();
    }
}

// The main window opens whole on the screen's free room, whatever the desktop font. At 144 dpi
// on a 1280 x 1024 screen (a run of its own) it is half as large again as the screen allows, and
// its contents scroll: each menu heading, reached with Tab, comes into view on the screen and
// opens its group under the pointer.
TEST_F(MenuTest, TheMainWindowFitsTheScreenItOpensOn) {
    Load();
    ShowActive(*form);
    const QRect room = form->screen()->availableGeometry();
    EXPECT_TRUE(room.contains(form->frameGeometry()))
        << form->frameGeometry().width() << " x " << form->frameGeometry().height() << " on "
        << room.width() << " x " << room.height();
    MainMenu& m = Menu();
    const std::pair<LabelButton*, QLabel*> headings[] = {
        {m.lblCustomize, m.lblCdnEXC}, {m.lblRulesTariff, m.lblQuickRef}, {m.lblHelp, m.lblAbout}};
    for (auto [heading, command] : headings) {
        const std::string name = heading->objectName().toStdString();
        for (int i = 0; i < 80 && QApplication::focusWidget() != heading; ++i) Key(Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), heading) << name;
        const QRect shown(heading->mapToGlobal(QPoint(0, 0)), heading->size());
        EXPECT_TRUE(room.contains(shown)) << name;
        EXPECT_EQ(heading->visibleRegion().boundingRect(), heading->rect()) << name;
        Hover(heading);
        EXPECT_TRUE(command->isVisible()) << name;
    }
}

TEST_F(MenuTest, WindowsWithoutTitleTextShowNoneNotTheProgramsName) {
    Load();
    QApplication::setApplicationName("Fretlyn");
    frmOceanDims ocean(form->txtOceanDensity, form.get());
    frmAbout about(form.get());
    for (QWidget* w : std::initializer_list<QWidget*>{&ocean, &about}) {
        w->show();
        // The window system puts the program's name in place of an empty title only.
        EXPECT_FALSE(w->windowTitle().isEmpty()) << w->objectName().toStdString();
        EXPECT_TRUE(w->windowTitle().trimmed().isEmpty()) << w->objectName().toStdString();
        w->close();
    }
}

// The fuel surcharge and the service-centre windows say in their title bars what they are, as
// the commands that open them do.
TEST_F(MenuTest, TheFuelSurchargeAndServiceCentreWindowsAreTitled) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    std::map<std::string, QString> titles;
    work = [&](QDialog& window) {
        titles[window.objectName().toStdString()] = window.windowTitle();
    };
    auto tabTo = [&](QWidget* target) {
        for (int i = 0; i < 80 && QApplication::focusWidget() != target; ++i) Key(Qt::Key_Tab);
        return QApplication::focusWidget() == target;
    };
    ASSERT_TRUE(tabTo(m.lblFSC));
    Key(Qt::Key_Return);
    ASSERT_TRUE(tabTo(m.lblFindSC));
    Key(Qt::Key_Return);
    EXPECT_EQ(titles["frmFuelSurcharge"], QStringLiteral("Fuel Surcharge"));
    EXPECT_EQ(titles["frmFindSC"], QStringLiteral("Your local Service Center"));
}

}  // namespace
