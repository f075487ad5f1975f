#include "form3menu.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>

#include "displayquote.h"
#include "frmbrowser.h"
#include "frmpony.h"
#include "frmqpo.h"
#include "helpviewer.h"
#include "labels.h"
#include "menufixture.h"
#include "quotedialogforms.h"
#include "settings.h"
#include "startup.h"
#include "userinput.h"

namespace {

using Names = std::vector<std::string>;

// Whether a frame in the label's own colour stands just left of it, where its focus shows.
bool FocusFrameShows(const LabelButton* label) {
    const QRect at = label->geometry();
    const QImage left =
        label->parentWidget()->grab(QRect(at.left() - 4, at.top(), 4, at.height())).toImage();
    const QColor ink = label->palette().color(label->foregroundRole());
    for (int x = 0; x < left.width(); ++x)
        if (left.pixelColor(x, left.height() / 2) == ink) return true;
    return false;
}

// Which groups are open, as "012" for all three.
std::string OpenGroups(const MainMenu& m) {
    std::string out;
    for (int g = 0; g < 3; ++g)
        if (m.GroupShown(g)) out += char('0' + g);
    return out;
}

TEST_F(MenuTest, EveryGroupStartsClosedAndHoldsItsLabels) {
    Load();
    MainMenu& m = Menu();
    EXPECT_EQ(OpenGroups(m), "");
    for (QLabel* l :
         {static_cast<QLabel*>(form->lblApplyAccessorials), static_cast<QLabel*>(m.lblCdnEXC),
          static_cast<QLabel*>(m.lblDiscounts), static_cast<QLabel*>(m.lblFSC),
          static_cast<QLabel*>(m.lblShipLoc), static_cast<QLabel*>(m.lblUpgrader),
          static_cast<QLabel*>(m.lblQuickRef), static_cast<QLabel*>(m.lblAbout)})
        EXPECT_TRUE(l->isHidden()) << l->objectName().toStdString();
    m.ShowMenuGroup(0, true);
    EXPECT_FALSE(form->lblApplyAccessorials->isHidden());
    EXPECT_FALSE(m.lblUpgrader->isHidden());
    EXPECT_TRUE(m.lblQuickRef->isHidden());
    m.ShowMenuGroup(3, true);  // no such group: nothing happens
    EXPECT_EQ(OpenGroups(m), "0");
    // The captions the user reads.
    EXPECT_EQ(m.lblDiscounts->text(), "Discounts/F.A.K.s...");
    EXPECT_EQ(m.lblFindSC->text(), "Your local Service Center...");
    EXPECT_EQ(m.lblUpgrader->toolTip(),
              "Updates Discounts / Bill of Lading from previous versions of Fretlyn ");
    EXPECT_EQ(m.lblWebSite->text(), "www.norvalefreight.example");
    EXPECT_TRUE(m.lblPony->text().isEmpty());
}

TEST_F(MenuTest, HoveringOrClickingAHeadingOpensItsGroupAloneAndTheBackgroundClosesAll) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    auto pointAt = [&](QWidget* w) {
        QTest::mouseMove(form.get(), w->mapTo(form.get(), w->rect().center()));
    };
    pointAt(m.lblCustomize);
    EXPECT_EQ(OpenGroups(m), "0");
    EXPECT_EQ(LabelForeColor(m.lblCustomize), kColorWhite);
    pointAt(m.lblHelp);
    EXPECT_EQ(OpenGroups(m), "2");
    EXPECT_EQ(LabelForeColor(m.lblCustomize), kColorBlack);
    pointAt(m.lblRulesTariff);
    EXPECT_EQ(OpenGroups(m), "1");
    QTest::mouseMove(form.get(), QPoint(5, 545));
    EXPECT_EQ(OpenGroups(m), "");
    EXPECT_EQ(LabelForeColor(m.lblRulesTariff), kColorBlack);

    ClickOn(*form, m.lblHelp);
    EXPECT_EQ(OpenGroups(m), "2");
    ClickOn(*form, m.lblCustomize);
    EXPECT_EQ(OpenGroups(m), "0");
    ClickOn(*form, m.lblRulesTariff);
    EXPECT_EQ(OpenGroups(m), "1");
    // The picture beside the menu counts as background too.
    pointAt(m.Image1);
    EXPECT_EQ(OpenGroups(m), "");
}

// A hand goes straight from a heading to a command of its group, in 6 px steps: on the way the
// group stays open and no other heading lights up, even where the line crosses one, and the click
// at the end opens that command's window. The same from every corner of the heading's caption to
// every corner of the command.
TEST_F(MenuTest, EveryCommandIsReachedInAStraightLineFromItsHeading) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    // What each command opens, as the user sees it open.
    std::vector<std::string> registered;
    for (auto [window, name] : {std::pair{CommandWindow::SimpleDiscounts, "frmSimpleDiscount"},
                                {CommandWindow::ShippingLocations, "frmShipLoc"},
                                {CommandWindow::Upgrade, "frmUpgrade"}})
        RegisterCommandWindow(window, [&registered, name] { registered.push_back(name); });
    const std::map<QLabel*, std::string> opens = {{form->lblApplyAccessorials, "lstAccessorials"},
                                                  {m.lblCdnEXC, "frmCdnRate"},
                                                  {m.lblDiscounts, "frmSimpleDiscount"},
                                                  {m.lblFSC, "frmFuelSurcharge"},
                                                  {m.lblShipLoc, "frmShipLoc"},
                                                  {m.lblUpgrader, "frmUpgrade"},
                                                  {m.lblQuickRef, "frmQckAD"},
                                                  {m.lblDetail, "frmTrfDetail"},
                                                  {m.lblContents, "help"},
                                                  {m.lblIndex, "help"},
                                                  {m.lblSearch, "help"},
                                                  {m.lblUseHelp, "help"},
                                                  {m.lblContactVZK, "lblHelpDesk"},
                                                  {m.lblFindSC, "frmFindSC"},
                                                  {m.lblAbout, "frmAbout"}};
    // What has opened since the last look, and everything closed again.
    auto takeOpened = [&]() -> std::string {
        std::string what;
        if (!opened.empty()) what = opened.back();
        if (!registered.empty()) what = registered.back();
        // The list slides open on a timer.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form->Timer1->isActive(); }, 2000));
        if (form->lstAccessorials->isVisible()) what = "lstAccessorials";
        if (OpenHelpWindow() && OpenHelpWindow()->isVisible()) what = "help";
        if (m.lblHelpDesk->isVisible()) what = "lblHelpDesk";
        opened.clear();
        registered.clear();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != form.get() && w->isVisible()) w->close();
        form->lstAccessorials->hide();
        return what;
    };
    const QPoint background(5, 545);
    ASSERT_EQ(form->childAt(background), nullptr);
    for (int g = 0; g < 3; ++g) {
        const auto [heading, entries] = Groups()[static_cast<size_t>(g)];
        const std::string group(1, char('0' + g));
        const QRect caption = heading->geometry();
        auto corners = [](const QRect& r) {
            return std::vector<QPoint>{r.center(), r.topLeft(), r.topRight(), r.bottomLeft(),
                                       r.bottomRight()};
        };
        for (QLabel* entry : entries) {
            const std::string name = entry->objectName().toStdString();
            for (QPoint start : corners(caption)) {
                for (QPoint end : corners(entry->geometry())) {
                    const std::string way = "from (" + std::to_string(start.x()) + "," +
                                            std::to_string(start.y()) + ") to " + name + " at (" +
                                            std::to_string(end.x()) + "," +
                                            std::to_string(end.y()) + ")";
                    MoveStraight(*form, background, background + QPoint(6, 0));
                    ASSERT_EQ(OpenGroups(m), "");
                    QTest::mouseMove(form.get(), start);
                    ASSERT_EQ(OpenGroups(m), group);
                    MoveStraight(*form, start, end, 6, [&](QPoint at) {
                        ASSERT_EQ(OpenGroups(m), group)
                            << way << ": at (" << at.x() << "," << at.y() << ")";
                        for (LabelButton* other : {m.lblCustomize, m.lblRulesTariff, m.lblHelp}) {
                            if (other == heading) continue;
                            ASSERT_EQ(LabelForeColor(other), kColorBlack)
                                << other->objectName().toStdString() << " lit on the way " << way;
                        }
                    });
                    EXPECT_EQ(LabelForeColor(entry), kColorWhite) << way;
                    ClickAt(*form, end);
                    EXPECT_EQ(takeOpened(), opens.at(entry)) << way;
                    if (HasFailure()) return;
                }
            }
            // Across the gaps to the next command of the group and back.
            MoveStraight(*form, background, background + QPoint(6, 0));
            QTest::mouseMove(form.get(), caption.center());
            MoveStraight(*form, caption.center(), Centre(entry));
            QLabel* next = entries[(std::find(entries.begin(), entries.end(), entry) -
                                    entries.begin() + 1) %
                                   entries.size()];
            for (auto [from, to] : {std::pair{entry, next}, std::pair{next, entry}})
                MoveStraight(*form, Centre(from), Centre(to), 6, [&](QPoint) {
                    ASSERT_EQ(OpenGroups(m), group) << name << " and its neighbour";
                });
            ClickAt(*form, Centre(entry));
            EXPECT_EQ(takeOpened(), opens.at(entry)) << name;
            EXPECT_FALSE(mainState.gBusy) << name;
        }
    }
    // Pointing at the background still closes the group.
    m.ShowMenuGroup(2, true);
    MovePointer(*form, {QPoint(720, 300), QPoint(700, 300)});
    EXPECT_EQ(OpenGroups(m), "");
}

// A heading crossed on the way into another heading's group waits: it takes over as soon as the
// pointer turns away from that group along it, or when the pointer rests on it.
TEST_F(MenuTest, AHeadingCrossedOnTheWayTakesOverWhenThePointerTurnsAwayOrRests) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    const QPoint background(5, 545);
    // From the top right of "Customize" toward the far end of its first command, as far as the
    // first point of that line on "Rules Tariff".
    auto ontoRulesTariff = [&] {
        MoveStraight(*form, background, background + QPoint(6, 0));
        const QPoint start = m.lblCustomize->geometry().topRight();
        const QPoint end = form->lblApplyAccessorials->geometry().topRight();
        QTest::mouseMove(form.get(), start);
        const QPoint way = end - start;
        const int steps = static_cast<int>(std::ceil(std::hypot(way.x(), way.y()) / 6));
        for (int i = 0; i <= steps; ++i) {
            const QPoint at(start.x() + way.x() * i / steps, start.y() + way.y() * i / steps);
            QTest::mouseMove(form.get(), at);
            if (m.lblRulesTariff->geometry().contains(at)) return at;
        }
        ADD_FAILURE() << "the line misses Rules Tariff";
        return end;
    };
    QPoint at = ontoRulesTariff();
    EXPECT_EQ(OpenGroups(m), "0");
    EXPECT_EQ(LabelForeColor(m.lblRulesTariff), kColorBlack);
    // Along the heading, away from the Customize group.
    MoveStraight(*form, at, QPoint(m.lblRulesTariff->geometry().right() - 2, at.y()));
    EXPECT_EQ(OpenGroups(m), "1");
    EXPECT_EQ(LabelForeColor(m.lblRulesTariff), kColorWhite);

    at = ontoRulesTariff();
    ASSERT_EQ(OpenGroups(m), "0");
    // The pointer stays where it is.
    EXPECT_TRUE(QTest::qWaitFor([&] { return OpenGroups(m) == "1"; }, 3000));
    EXPECT_EQ(LabelForeColor(m.lblRulesTariff), kColorWhite);
}

// A hand goes straight from any entry of the menu to any other, corners included: from an
// entry of the open group to another entry of it or to its heading, which is then lit; and to
// another heading, grazing its corners too, and straight on down to a command of that heading's
// group, which is then open, lit and under the pointer. A heading crossed on its way into the
// open group waits, so a line from the open group's heading to another heading may need the
// pointer to rest there; a line from one of the group's commands never does.
TEST_F(MenuTest, EveryEntryIsReachedInStraightLinesFromEveryOther) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    const QPoint background(5, 545);
    ASSERT_EQ(form->childAt(background), nullptr);
    const auto groups = Groups();
    auto points = [](const QRect& r) {
        return std::vector<QPoint>{r.center(), r.topLeft(), r.topRight(), r.bottomLeft(),
                                   r.bottomRight()};
    };
    auto where = [](QPoint p) {
        return "(" + std::to_string(p.x()) + "," + std::to_string(p.y()) + ")";
    };
    // Group g opened from its heading's centre, and the pointer on to `start`.
    auto startAt = [&](int g, QPoint start) {
        MoveStraight(*form, background, background + QPoint(6, 0));
        const QPoint heading = Centre(groups[static_cast<size_t>(g)].first);
        QTest::mouseMove(form.get(), heading);
        MoveStraight(*form, heading, start);
    };
    // The entry lit, and the group open is the one it heads or belongs to.
    auto selected = [&](QLabel* entry, int group) {
        return OpenGroups(m) == std::string(1, char('0' + group)) &&
               LabelForeColor(entry) == kColorWhite;
    };
    for (int g = 0; g < 3; ++g) {
        const auto& [heading, commands] = groups[static_cast<size_t>(g)];
        std::vector<QLabel*> own{heading};
        own.insert(own.end(), commands.begin(), commands.end());
        for (QLabel* from : own) {
            for (QPoint start : points(from->geometry())) {
                const std::string way =
                    "from " + from->objectName().toStdString() + " at " + where(start) + " to ";
                for (QLabel* to : own) {
                    if (to == from) continue;
                    startAt(g, start);
                    MoveStraight(*form, start, Centre(to));
                    ASSERT_TRUE(selected(to, g)) << way << to->objectName().toStdString();
                }
                for (int h = 0; h < 3; ++h) {
                    if (h == g) continue;
                    const auto& [other, theirs] = groups[static_cast<size_t>(h)];
                    for (QPoint corner : points(other->geometry())) {
                        const std::string to =
                            way + other->objectName().toStdString() + " at " + where(corner);
                        startAt(g, start);
                        MoveStraight(*form, start, corner);
                        if (from == heading)
                            (void)QTest::qWaitFor([&] { return selected(other, h); }, 2000);
                        ASSERT_TRUE(selected(other, h)) << to;
                        QLabel* target = theirs.front();
                        MoveStraight(*form, corner, Centre(target));
                        ASSERT_TRUE(selected(target, h))
                            << to << " and on to " << target->objectName().toStdString();
                        ASSERT_EQ(form->childAt(Centre(target)), target) << to;
                    }
                }
            }
        }
    }
}

// An open group is drawn whole inside the window, on its own panel, below its own heading, and
// no label of the window overlaps another.
TEST_F(MenuTest, AnOpenGroupLiesInsideTheWindowBelowItsHeadingAndOverlapsNothing) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    for (int g = 0; g < 3; ++g) {
        const auto [heading, entries] = Groups()[static_cast<size_t>(g)];
        Hover(heading);
        ASSERT_EQ(OpenGroups(m), std::string(1, char('0' + g)));
        std::vector<QWidget*> shown;
        for (QLabel* l : form->findChildren<QLabel*>())
            if (l->isVisible() && !l->text().isEmpty()) shown.push_back(l);
        for (QWidget* w : shown) {
            const std::string name = w->objectName().toStdString();
            EXPECT_TRUE(form->rect().contains(w->geometry())) << name;
            EXPECT_GE(w->width(), static_cast<QLabel*>(w)->sizeHint().width()) << name;
            for (QWidget* other : shown) {
                if (other == w) continue;
                EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                    << name << " and " << other->objectName().toStdString();
            }
        }
        for (QLabel* entry : entries)
            EXPECT_GT(entry->y(), heading->geometry().bottom())
                << entry->objectName().toStdString();
    }
}

// The main window from the keyboard: Tab goes from the entry boxes through every command label,
// the column of commands from the top, each heading opening its group as it takes the focus.
TEST_F(MenuTest, TabReachesEveryCommandLabelInOrderAndTheFocusShows) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    ClickOn(*form, form->txtozip);
    std::vector<std::string> reached;
    std::vector<std::string> groupsOpen;
    for (int i = 0; i < 80; ++i) {
        PressKey(Qt::Key_Tab);
        QWidget* at = Focused();
        if (at == form->txtozip) break;
        auto* label = qobject_cast<LabelButton*>(at);
        if (!label) continue;
        reached.push_back(label->objectName().toStdString());
        groupsOpen.push_back(OpenGroups(m));
        // The focus shows as a frame in the label's own colour, gone once the focus moves on.
        EXPECT_TRUE(FocusFrameShows(label)) << reached.back();
    }
    EXPECT_EQ(reached, (Names{"lblRate",
                              "lblExit",
                              "lblWebSite",
                              "lblBOL",
                              "lblRateSheets",
                              "lblCustomize",
                              "lblApplyAccessorials",
                              "lblCdnEXC",
                              "lblDiscounts",
                              "lblFSC",
                              "lblShipLoc",
                              "lblUpgrader",
                              "lblRulesTariff",
                              "lblQuickRef",
                              "lblDetail",
                              "lblHelp",
                              "lblContents",
                              "lblIndex",
                              "lblSearch",
                              "lblUseHelp",
                              "lblContactVZK",
                              "lblFindSC",
                              "lblAbout",
                              "lblOrigin"}));
    // Each heading's group is open from the moment the heading has the focus.
    const std::map<std::string, std::string> openAt = {{"lblCustomize", "0"},   {"lblFSC", "0"},
                                                       {"lblRulesTariff", "1"}, {"lblDetail", "1"},
                                                       {"lblHelp", "2"},        {"lblAbout", "2"}};
    for (size_t i = 0; i < reached.size(); ++i) {
        if (!openAt.count(reached[i])) continue;
        EXPECT_EQ(groupsOpen[i], openAt.at(reached[i])) << reached[i];
    }
    EXPECT_FALSE(FocusFrameShows(m.lblBOL));
}

// Enter or Space on the command with the focus runs it, as a click does.
TEST_F(MenuTest, EnterOrSpaceOnTheFocusedCommandRunsIt) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    auto tabTo = [&](QWidget* target) {
        for (int i = 0; i < 80 && Focused() != target; ++i) PressKey(Qt::Key_Tab);
        return Focused() == target;
    };
    ASSERT_TRUE(tabTo(m.lblFSC));
    PressKey(Qt::Key_Return);
    EXPECT_EQ(opened, Names{"frmFuelSurcharge"});
    ASSERT_TRUE(tabTo(m.lblAbout));
    PressKey(Qt::Key_Space);
    ASSERT_TRUE(tabTo(m.lblWebSite));
    PressKey(Qt::Key_Enter);
    EXPECT_EQ(opened, (Names{"frmFuelSurcharge", "frmAbout", "frmBrowser"}));
    EXPECT_FALSE(mainState.gBusy);
    // The accessorial list opens under the focus, so that the arrows and Space choose.
    ASSERT_TRUE(tabTo(form->lblApplyAccessorials));
    PressKey(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Focused() == form->lstAccessorials; }, 2000));
    // "Origin" saves the default origin, as its double click does.
    ClickOn(*form, form->txtozip);
    TypeKeys("60601");
    ASSERT_TRUE(tabTo(form->lblOrigin));
    PressKey(Qt::Key_Space);
    EXPECT_EQ(GetConfigValue("DC_origin", ""), "60601");
}

// In the menu the arrows move as in a menu bar: Left and Right from heading to heading, each
// opening its group, Down into the group and through it, Up back to the heading.
TEST_F(MenuTest, TheArrowsMoveThroughTheHeadingsAndTheirGroups) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    for (int i = 0; i < 80 && Focused() != m.lblCustomize; ++i) PressKey(Qt::Key_Tab);
    ASSERT_EQ(Focused(), m.lblCustomize);
    EXPECT_EQ(OpenGroups(m), "0");
    PressKey(Qt::Key_Down);
    EXPECT_EQ(Focused(), form->lblApplyAccessorials);
    PressKey(Qt::Key_Down);
    EXPECT_EQ(Focused(), m.lblCdnEXC);
    PressKey(Qt::Key_Up);
    PressKey(Qt::Key_Up);
    EXPECT_EQ(Focused(), m.lblCustomize);
    PressKey(Qt::Key_Right);
    EXPECT_EQ(Focused(), m.lblRulesTariff);
    EXPECT_EQ(OpenGroups(m), "1");
    PressKey(Qt::Key_Right);
    EXPECT_EQ(Focused(), m.lblHelp);
    EXPECT_EQ(OpenGroups(m), "2");
    PressKey(Qt::Key_Right);
    EXPECT_EQ(Focused(), m.lblCustomize);
    PressKey(Qt::Key_Left);
    EXPECT_EQ(Focused(), m.lblHelp);
    for (int i = 0; i < 10; ++i) PressKey(Qt::Key_Down);
    EXPECT_EQ(Focused(), m.lblAbout);
    PressKey(Qt::Key_Left);
    EXPECT_EQ(Focused(), m.lblRulesTariff);
    PressKey(Qt::Key_Down);
    ASSERT_EQ(Focused(), m.lblQuickRef);
    // The pointer over the background closes the group; the focus stays in the menu, on the
    // heading, and opens nothing by itself.
    MoveOverBackground();
    EXPECT_EQ(OpenGroups(m), "");
    EXPECT_EQ(Focused(), m.lblRulesTariff);
}

// The Alt key rates from a command label with the focus as it does from a box.
TEST_F(MenuTest, TheAltKeyRatesWhateverCommandHasTheFocus) {
    Load();
    ShowActive(*form);
    MainMenu& m = Menu();
    TypeOrigin("55401");
    TypeDestination("60601");
    TakeMessages();
    for (int i = 0; i < 80 && Focused() != m.lblBOL; ++i) PressKey(Qt::Key_Tab);
    ASSERT_EQ(Focused(), m.lblBOL);
    TakeMessages();
    PressKey(Qt::Key_Alt);
    const Names rated{"Data Entry Error: No commodity weight entered."};
    EXPECT_EQ(TakeMessages(), rated);
    PressKey(Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(TakeMessages(), rated);
    EXPECT_TRUE(opened.empty());
}

TEST_F(MenuTest, AClickOnRulesTariffRightAfterItsHoverDoesNothingMore) {
    Load();
    MainMenu& m = Menu();
    Hover(m.lblRulesTariff);
    ASSERT_EQ(OpenGroups(m), "1");
    // Closed from inside: nothing a user does closes it while the pointer stays on the heading.
    m.ShowMenuGroup(1, false);
    Click(m.lblRulesTariff);
    EXPECT_EQ(OpenGroups(m), "");
    // Once the mouse has been elsewhere, the click opens the group again.
    MoveOverBackground();
    Click(m.lblRulesTariff);
    EXPECT_EQ(OpenGroups(m), "1");
}

TEST_F(MenuTest, ALabelIsDrawnOncePerEntry) {
    Load();
    MainMenu& m = Menu();
    Hover(m.lblBOL);
    ASSERT_EQ(LabelForeColor(m.lblBOL), kColorWhite);
    // Something else colours it black behind the highlighter's back; a further move over the
    // same label leaves it so, a move after another label draws it again.
    SetLabelForeColor(m.lblBOL, kColorBlack);
    Hover(m.lblBOL);
    EXPECT_EQ(LabelForeColor(m.lblBOL), kColorBlack);
    Hover(m.lblRateSheets);
    Hover(m.lblBOL);
    EXPECT_EQ(LabelForeColor(m.lblBOL), kColorWhite);
    // "click here" (shown for an ocean destination) is drawn on every move.
    TypeDestination("96813");
    ASSERT_FALSE(form->lblClickHere->isHidden());
    Hover(form->lblClickHere);
    SetLabelForeColor(form->lblClickHere, kColorBlack);
    Hover(form->lblClickHere);
    EXPECT_EQ(LabelForeColor(form->lblClickHere), kColorWhite);
}

TEST_F(MenuTest, TheHelpDeskPanelShowsOnContactAndMostHoversHideIt) {
    Load();
    MainMenu& m = Menu();
    EXPECT_TRUE(m.lblHelpDesk->isHidden());
    Click(m.lblContactVZK);
    ASSERT_FALSE(m.lblHelpDesk->isHidden());
    EXPECT_TRUE(m.lblHelpDesk->text().contains("1-800-555-0147"));
    EXPECT_TRUE(m.lblHelpDesk->text().contains("quotehelp@norvalefreight.example"));
    EXPECT_EQ(m.lblHelpDesk->palette().color(QPalette::Window), QColor(50, 70, 132));
    Hover(m.lblContactVZK);
    Hover(form->lblRate);
    Hover(m.lblWebSite);
    EXPECT_FALSE(m.lblHelpDesk->isHidden());
    Hover(m.lblAbout);
    EXPECT_TRUE(m.lblHelpDesk->isHidden());
    Click(m.lblContactVZK);
    MoveOverBackground();
    EXPECT_TRUE(m.lblHelpDesk->isHidden());
}

// A city choice can be pending while a group is open; the commands the pointer then reaches
// stay silent, and the group stays as it was.
TEST_F(MenuTest, APendingCityChoiceSilencesTheCommandsButNotClickHere) {
    Load();
    MainMenu& m = Menu();
    TypeDestination("96813");
    ASSERT_FALSE(form->lblClickHere->isHidden());
    TakeMessages();
    int bills = 0;
    RegisterCommandWindow(CommandWindow::BillOfLading, [&] { ++bills; });
    // The pending choice itself is set up directly: the city list it stands for is not this
    // test's subject.
    mainState.gLocked = true;
    for (LabelButton* l : {m.lblBOL, m.lblRateSheets, m.lblCustomize, m.lblRulesTariff, m.lblHelp,
                           m.lblWebSite, form->lblExit, form->lblRate})
        Click(l);
    EXPECT_EQ(OpenGroups(m), "");
    for (int g = 0; g < 3; ++g) {
        const auto [heading, entries] = Groups()[static_cast<size_t>(g)];
        mainState.gLocked = false;
        Hover(heading);
        ASSERT_EQ(OpenGroups(m), std::string(1, char('0' + g)));
        mainState.gLocked = true;
        for (QLabel* entry : entries)
            if (entry != form->lblApplyAccessorials) Click(entry);
        EXPECT_EQ(OpenGroups(m), std::string(1, char('0' + g)));
        mainState.gLocked = false;
        MoveOverBackground();
        mainState.gLocked = true;
    }
    EXPECT_EQ(bills, 0);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_TRUE(m.lblHelpDesk->isHidden());
    EXPECT_EQ(OpenHelpWindow(), nullptr);

    // The labels whose hover tests the lock stay dark; the others light up.
    for (LabelButton* l : {m.lblBOL, m.lblRateSheets, m.lblCustomize, m.lblRulesTariff, m.lblHelp,
                           m.lblWebSite, form->lblExit, form->lblRate}) {
        Hover(l);
        EXPECT_EQ(LabelForeColor(l), kColorBlack) << l->objectName().toStdString();
    }
    EXPECT_EQ(OpenGroups(m), "");
    mainState.gLocked = false;
    Hover(m.lblCustomize);
    mainState.gLocked = true;
    Hover(form->lblApplyAccessorials);
    EXPECT_EQ(LabelForeColor(form->lblApplyAccessorials), kColorBlack);
    mainState.gLocked = false;
    Hover(m.lblHelp);
    mainState.gLocked = true;
    Hover(m.lblFindSC);
    EXPECT_EQ(LabelForeColor(m.lblFindSC), kColorWhite);

    Click(form->lblClickHere);
    EXPECT_EQ(opened, Names{"frmOceanDims"});
}

TEST_F(MenuTest, EveryCommandOpensItsWindowWhileBusyAndIsNotBusyAfterwards) {
    Load();
    MainMenu& m = Menu();
    const std::pair<LabelButton*, const char*> kCommands[] = {
        {m.lblCdnEXC, "frmCdnRate"},   {m.lblFSC, "frmFuelSurcharge"}, {m.lblQuickRef, "frmQckAD"},
        {m.lblDetail, "frmTrfDetail"}, {m.lblFindSC, "frmFindSC"},     {m.lblAbout, "frmAbout"},
        {m.lblWebSite, "frmBrowser"}};
    for (const auto& [label, window] : kCommands) {
        opened.clear();
        busyWhileOpen.clear();
        Click(label);
        ASSERT_EQ(opened, Names{window});
        EXPECT_TRUE(busyWhileOpen[0]) << window;
        EXPECT_FALSE(mainState.gBusy) << window;
    }
}

TEST_F(MenuTest, BusyIsClearedHoweverTheWindowEnds) {
    Load();
    MainMenu& m = Menu();
    // The title bar or Escape: the window is rejected.
    work = [](QDialog& w) { w.reject(); };
    Click(m.lblAbout);
    EXPECT_FALSE(mainState.gBusy);
    // An error that escapes the window becomes a message, and the entry checks work again.
    work = [](QDialog&) { throw std::runtime_error("The window broke."); };
    Click(m.lblFindSC);
    EXPECT_FALSE(mainState.gBusy);
    EXPECT_EQ(TakeMessages(), Names{"Service Center: The window broke."});
    TypeOrigin("60601");
    EXPECT_EQ(tariff.gOrigCountry, 0);
}

TEST_F(MenuTest, WindowsOfOtherPartsOpenThroughTheRegistryOrSaySoPlainly) {
    Load();
    MainMenu& m = Menu();
    Click(m.lblBOL);
    Click(m.lblRateSheets);
    Click(m.lblShipLoc);
    Click(m.lblUpgrader);
    const auto said = TakeMessages();
    ASSERT_EQ(said.size(), 4u);
    for (const auto& s : said) EXPECT_NE(s.find("is not part of this build"), std::string::npos);
    EXPECT_FALSE(mainState.gBusy);

    std::vector<std::pair<std::string, bool>> calls;
    auto opener = [&](const char* name) {
        return [&calls, name] { calls.emplace_back(name, mainState.gBusy); };
    };
    RegisterCommandWindow(CommandWindow::BillOfLading, opener("frmBL"));
    RegisterCommandWindow(CommandWindow::RateSheets, opener("frmRateSheet"));
    RegisterCommandWindow(CommandWindow::ShippingLocations, opener("frmShipLoc"));
    RegisterCommandWindow(CommandWindow::Upgrade, opener("frmUpgrade"));
    Click(m.lblBOL);
    Click(m.lblRateSheets);
    Click(m.lblShipLoc);
    Click(m.lblUpgrader);
    const std::vector<std::pair<std::string, bool>> expected = {
        {"frmBL", true}, {"frmRateSheet", true}, {"frmShipLoc", true}, {"frmUpgrade", true}};
    EXPECT_EQ(calls, expected);
    EXPECT_FALSE(mainState.gBusy);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(MenuTest, TheDiscountsEntryChoosesByWhetherShippingLocationsExist) {
    Load();
    std::vector<std::string> calls;
    RegisterCommandWindow(CommandWindow::SimpleDiscounts,
                          [&] { calls.push_back("frmSimpleDiscount"); });
    RegisterCommandWindow(CommandWindow::Discounts, [&] { calls.push_back("frmDiscounts"); });
    Click(Menu().lblDiscounts);
    Exec("INSERT INTO shipzips (zip) VALUES (?)", {std::string("60601")});
    Click(Menu().lblDiscounts);
    EXPECT_EQ(calls, (Names{"frmSimpleDiscount", "frmDiscounts"}));
}

TEST_F(MenuTest, TheHiddenLabelOpensTheBatchTestOnlyOnARightClickWithExactlyShiftCtrlAlt) {
    Load();
    MainMenu& m = Menu();
    int runs = 0;
    bool busyInside = false;
    RegisterCommandWindow(CommandWindow::BatchRateTest, [&] {
        ++runs;
        busyInside = mainState.gBusy;
    });
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    ClickWith(m.lblPony, Qt::RightButton, Qt::ControlModifier | Qt::AltModifier);
    ClickWith(m.lblPony, Qt::LeftButton, all);
    ClickWith(m.lblPony, Qt::RightButton, all | Qt::MetaModifier);
    EXPECT_EQ(runs, 0);
    // No lock test on the hidden label.
    mainState.gLocked = true;
    ClickWith(m.lblPony, Qt::RightButton, all);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(mainState.gBusy);
}

// A file test whose codes the tariff does not know empties the main window's city captions
// while it runs; closing the batch test puts them back with the verified ends.
TEST_F(MenuTest, ClosingTheBatchTestPutsBackTheCityCaptions) {
    Form3& f = Load();
    // The ends the user verified before.
    TypeOrigin(QStringLiteral("55401"));
    TypeDestination(QStringLiteral("53202"));
    const QString origin = f.lblOrigCityState->text(), dest = f.lblDestCityState->text();
    ASSERT_FALSE(origin.isEmpty());
    ASSERT_FALSE(dest.isEmpty());

    QTemporaryDir dir;
    SetConfigValue("PONY_folder", dir.path().toStdString());
    std::string line(236, ' ');
    line.replace(43, 7, "   1000");
    line.replace(186, 12, "00000 ZZZ9Z9");
    std::ofstream(dir.filePath(QStringLiteral("RTQCtest.TXT")).toStdString(), std::ios::binary)
        << line << "\r\n";
    RegisterCommandWindow(CommandWindow::BatchRateTest, [&f] { ShowPonyModally(&f); });
    bool blankWhileOpen = false;
    SetPonyShow([&](frmPony& w) {
        w.show();
        messageScript.Queue(kIdYes);
        QTest::mouseClick(w.cmdTest, Qt::LeftButton);
        blankWhileOpen =
            f.lblOrigCityState->text().isEmpty() && f.lblDestCityState->text().isEmpty();
        QTest::mouseClick(w.cmdExit, Qt::LeftButton);
    });
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    ClickWith(Menu().lblPony, Qt::RightButton, all);
    SetPonyShow(nullptr);
    UnloadPonyWindow();
    EXPECT_TRUE(blankWhileOpen);
    EXPECT_EQ(f.lblOrigCityState->text(), origin);
    EXPECT_EQ(f.lblDestCityState->text(), dest);
    EXPECT_NE(tariff.gOrigCountry, 99);
    EXPECT_NE(tariff.gDestCountry, 99);
}

TEST_F(MenuTest, TheWebAddressOpensTheCarriersHomePage) {
    Load();
    gBrowserPage = 2;
    int pageSeen = -1;
    work = [&](QDialog&) { pageSeen = gBrowserPage; };
    Click(Menu().lblWebSite);
    EXPECT_EQ(pageSeen, 0);
}

// The user clicks into a box of the help window and types over what it holds.
void TypeInBox(QWidget& window, QLineEdit* box, const QString& text) {
    ShowActive(window);
    ClickOn(window, box);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys(text);
}

// A click on a tab of the help window's tab bar.
void ClickTab(HelpWindow& help, int tab) {
    QTabBar* bar = help.tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(tab).center());
    QCoreApplication::processEvents();
}

TEST_F(MenuTest, HelpCommandsOpenContentsIndexSearchAndHelpOnHelp) {
    Load();
    MainMenu& m = Menu();
    Click(m.lblContents);
    HelpWindow* help = OpenHelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(mainState.gBusy);
    EXPECT_EQ(help->tabs->currentIndex(), 0);
    EXPECT_EQ(help->CurrentPage(), "x2007.htm");
    EXPECT_GE(help->lstContents->count(), 8);

    Click(m.lblIndex);
    EXPECT_EQ(OpenHelpWindow(), help);  // one help window for the run
    EXPECT_EQ(help->tabs->currentIndex(), 1);
    ASSERT_GT(help->lstIndex->count(), 20);
    TypeInBox(*help, help->txtKeyword, "dens");
    ASSERT_EQ(help->lstIndex->count(), 1);
    EXPECT_EQ(help->lstIndex->item(0)->text(), "density");

    Click(m.lblSearch);
    EXPECT_EQ(help->tabs->currentIndex(), 2);
    TypeInBox(*help, help->txtSearch, "pounds per cubic foot");
    PressKey(Qt::Key_Return);
    ASSERT_EQ(help->lstFound->count(), 1);
    EXPECT_EQ(help->lstFound->item(0)->text(), "Entering commodity lines");
    TypeInBox(*help, help->txtSearch, "xylophone");
    PressKey(Qt::Key_Return);
    ASSERT_EQ(help->lstFound->count(), 1);
    EXPECT_EQ(help->lstFound->item(0)->text(), "No page holds every word.");

    // Every page the contents and the index name is there to be shown.
    for (const auto& t : help->Book().Topics())
        EXPECT_TRUE(QFileInfo::exists(help->Book().PathOf(t.page))) << t.page.toStdString();
    for (const auto& k : help->Book().Keywords())
        EXPECT_TRUE(QFileInfo::exists(help->Book().PathOf(k.page))) << k.page.toStdString();

    Click(m.lblUseHelp);
    EXPECT_EQ(help->CurrentPage(), "howtohelp.htm");
    EXPECT_TRUE(help->brwHelp->toPlainText().contains("Index"));
}

// A click on an item of a help list, scrolled into view first (the wheel is not what these
// tests are about).
void ClickItem(QListWidget* list, QListWidgetItem* item) {
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(item).center());
    QCoreApplication::processEvents();
}

// Clicks the item of a help list that reads `text`; false when the list has none.
bool ClickListItem(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() != text) continue;
        ClickItem(list, list->item(i));
        return true;
    }
    return false;
}

std::vector<QString> ListTexts(const QListWidget* list) {
    std::vector<QString> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text());
    return out;
}

// The pages a help page links to, as its href attributes name them.
std::vector<QString> LinksOf(const HelpBook& book, const QString& page) {
    QFile file(book.PathOf(page));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString html = QString::fromUtf8(file.readAll());
    std::vector<QString> out;
    static const QRegularExpression href(QStringLiteral("href=\"([^\"#]*)"));
    for (auto it = href.globalMatch(html); it.hasNext();) out.push_back(it.next().captured(1));
    return out;
}

// Where the page pane shows the link to `target`, in viewport coordinates; (-1, -1) when the
// page has no such link.
QPoint LinkPosition(QTextBrowser* browser, const QString& target) {
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != target) continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            return browser->cursorRect(cursor).center();
        }
    }
    return {-1, -1};
}

// The rate table, the rate sheets, the customer's pricing, the transfer and the bills of lading
// each have a page that the contents, a keyword and a search word all lead to. The keywords and
// search words are what a user of those windows would look for: their captions.
TEST_F(MenuTest, TheRateCustomisationAndBillPagesAreInTheContentsTheIndexAndTheSearch) {
    Load();
    Click(Menu().lblContents);
    HelpWindow* help = OpenHelpWindow();
    ASSERT_NE(help, nullptr);
    struct Topic {
        const char* page;
        const char* title;
        const char* keyword;  // as typed in the index box
        const char* search;
    };
    const Topic topics[] = {
        {"ratetable.htm", "The rate table", "rate tab", "Gross Rates MinChg"},
        {"ratesheets.htm", "Canadian rate sheets", "truckload", "custom rate sheets"},
        {"discounts.htm", "Setting your discounts", "absolute minimum",
         "Thriftlane discount for all qualifying shipments"},
        {"weightbreaks.htm", "Discounts by weight break", "Min Chg", "30,000 lbs"},
        {"fak.htm", "F.A.K. profiles", "freight all", "Set FAK Actual Class"},
        {"shiplocations.htm", "Shipping locations", "shipping loc",
         "Shipping Location Maintenance"},
        {"regions.htm", "Discounts of your locations", "region map", "Create a new Region"},
        {"transfer.htm", "Transfer from an earlier edition", "upgrade", "FL2002 Upgrader"},
        {"bills.htm", "The Bill of Lading System", "PRO number", "New B/L"},
        {"blparties.htm", "B/L parties", "address book", "Parties Maintenance"},
        {"commodities.htm", "Commodities", "NMFC number", "Weight (each)"},
        {"blconfig.htm", "Bill of lading print settings", "copies", "Terms & Conditions"},
        {"blrating.htm", "Rating and printing a bill of lading", "BL.pdf", "Documents BL.pdf"},
    };
    for (const Topic& t : topics) {
        SCOPED_TRACE(t.page);
        ASSERT_TRUE(QFileInfo::exists(help->Book().PathOf(t.page)));

        ClickTab(*help, 0);
        ASSERT_TRUE(ClickListItem(help->lstContents, t.title));
        EXPECT_EQ(help->CurrentPage(), t.page);

        // Back to the first page from inside, so that each step below must lead somewhere.
        help->ShowPage(QStringLiteral("x2007.htm"));
        ClickTab(*help, 1);
        TypeInBox(*help, help->txtKeyword, t.keyword);
        bool keywordLeadsThere = false;
        for (int i = 0; i < help->lstIndex->count() && !keywordLeadsThere; ++i) {
            ClickItem(help->lstIndex, help->lstIndex->item(i));
            keywordLeadsThere = help->CurrentPage() == t.page;
        }
        EXPECT_TRUE(keywordLeadsThere) << t.keyword;

        help->ShowPage(QStringLiteral("x2007.htm"));
        ClickTab(*help, 2);
        TypeInBox(*help, help->txtSearch, t.search);
        PressKey(Qt::Key_Return);
        ASSERT_TRUE(ClickListItem(help->lstFound, t.title)) << t.search;
        EXPECT_EQ(help->CurrentPage(), t.page);
    }
    // A word that only the new pages use leaves the quoting pages out of the search.
    ClickTab(*help, 2);
    TypeInBox(*help, help->txtSearch, "Abandon");
    PressKey(Qt::Key_Return);
    EXPECT_EQ(ListTexts(help->lstFound),
              (std::vector<QString>{"The Bill of Lading System", "B/L parties", "Commodities"}));
}

// Every link of every page leads to a page of the help folder, every topic is linked from the
// contents page, and the menu page links each command of the menu that has a page of its own.
TEST_F(MenuTest, EveryHelpLinkLeadsToAPageAndTheMenuPageLinksItsCommands) {
    Load();
    Click(Menu().lblContents);
    HelpWindow* help = OpenHelpWindow();
    ASSERT_NE(help, nullptr);
    const HelpBook& book = help->Book();
    ASSERT_GT(book.Topics().size(), 20u);

    const std::vector<QString> fromContents = LinksOf(book, QStringLiteral("x2007.htm"));
    for (const auto& t : book.Topics()) {
        SCOPED_TRACE(t.page.toStdString());
        for (const QString& link : LinksOf(book, t.page)) {
            EXPECT_FALSE(link.contains(QLatin1Char(':')))
                << "not a help page: " << link.toStdString();
            EXPECT_TRUE(QFileInfo::exists(book.PathOf(link))) << link.toStdString();
        }
        if (t.page != QLatin1String("x2007.htm")) {
            EXPECT_NE(std::find(fromContents.begin(), fromContents.end(), t.page),
                      fromContents.end());
        }
    }

    const std::vector<QString> fromMenu = LinksOf(book, QStringLiteral("menu.htm"));
    for (const char* page : {"bills.htm", "ratesheets.htm", "accessorials.htm", "settings.htm",
                             "discounts.htm", "shiplocations.htm", "transfer.htm"})
        EXPECT_NE(std::find(fromMenu.begin(), fromMenu.end(), QString::fromLatin1(page)),
                  fromMenu.end())
            << page;

    // A link clicked in the page pane shows the page it names.
    help->resize(900, 600);
    help->show();
    help->ShowPage(QStringLiteral("menu.htm"));
    const QPoint link = LinkPosition(help->brwHelp, QStringLiteral("transfer.htm"));
    ASSERT_NE(link, QPoint(-1, -1));
    QTest::mouseClick(help->brwHelp->viewport(), Qt::LeftButton, Qt::NoModifier, link);
    EXPECT_EQ(help->CurrentPage(), "transfer.htm");
    EXPECT_TRUE(help->brwHelp->toPlainText().contains("Transfer Disc/BOL..."));
}

TEST_F(MenuTest, AMissingHelpFileIsSaidNotShown) {
    Load();
    std::filesystem::remove(app.file("help/x2007.htm"));
    Click(Menu().lblContents);
    const auto said = TakeMessages();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("was not found"), std::string::npos);
    EXPECT_FALSE(mainState.gBusy);
}

}  // namespace

namespace {

using Names = std::vector<std::string>;

TEST_F(MenuTest, TheExchangeRateDialogOpensTheExchangePage) {
    Load();
    ConnectProgramWindows(*form);
    int page = -1;
    work = [&](QDialog& d) {
        if (d.objectName() == "frmCdnRate") {
            ShowActive(d);
            ClickOn(d, static_cast<frmCdnRate&>(d).lblExchFromWeb);
        }
        else if (d.objectName() == "frmBrowser")
            page = gBrowserPage;
    };
    Click(Menu().lblCdnEXC);
    EXPECT_EQ(opened, (Names{"frmCdnRate", "frmBrowser"}));
    EXPECT_EQ(page, 2);
    EXPECT_FALSE(mainState.gBusy);
    // Nothing of this window may outlive it.
    SetQuoteMainWindowLink({});
    SetQuoteWindowHooks({});
    SetExchangeRatePageOpener(nullptr);
    UnloadQuoteWindow();
}

}  // namespace

namespace {

TEST_F(MenuTest, TheMainWindowIsActivatedAgainOnlyWhenAWindowHasClosed) {
    Load();
    SetConfigValue("DC_origin", "60601");
    form->txtozip->clear();
    Click(Menu().lblBOL);  // not part of this build: only a message
    EXPECT_TRUE(form->txtozip->text().isEmpty());
    RegisterCommandWindow(CommandWindow::BillOfLading, [] {});
    Click(Menu().lblBOL);
    EXPECT_EQ(form->txtozip->text(), "60601");
    EXPECT_EQ(tariff.gOrigCountry, 0);
}

}  // namespace

// The windows' icon is the menu entry's picture drawn small, in the two sizes desktops show.
TEST(ProgramIcon, TheWindowsIconIsTheProgramsPictureInTwoSmallSizes) {
    const ScratchAppFolder app;
    const std::vector<QImage> pictures = ReadProgramIconPictures();
    ASSERT_EQ(pictures.size(), 2u);
    const QImage large(QString::fromStdString(AppFolder()) + "graphics/fretlyn.png");
    ASSERT_EQ(large.size(), QSize(256, 256));
    for (const QImage& picture : pictures) {
        // Drawn over the whole square, not a corner of the large picture: it matches the large
        // picture scaled down, pixel by pixel, within what smoothing changes.
        const QImage scaled = large.scaled(picture.size(), Qt::IgnoreAspectRatio,
                                           Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = picture.convertToFormat(QImage::Format_ARGB32);
        long difference = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                const QRgb a = drawn.pixel(x, y), b = scaled.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
            }
        EXPECT_LT(difference / (drawn.width() * drawn.height()), 40) << picture.width();
    }
    const QIcon icon = ProgramWindowIcon(pictures);
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(32, 32), QSize(64, 64)}));

    // Without its pictures the program still starts, with the desktop's own icon.
    std::filesystem::remove_all(app.file("graphics"));
    EXPECT_TRUE(ReadProgramIconPictures().empty());
    EXPECT_TRUE(ProgramWindowIcon({}).isNull());
}

// At start the name plate is drawn on a thread of its own while the window is built; the window
// then shows the very picture it would have drawn itself, text size included.
TEST_F(MenuTest, TheNamePlateDrawnAheadIsTheOneTheWindowDraws) {
    Load();
    const QImage drawnHere = Menu().Image1->pixmap().toImage();
    ASSERT_FALSE(drawnHere.isNull());
    std::promise<void> fontsRead;
    fontsRead.set_value();
    DrawMenuLogoAhead(fontsRead.get_future().share());
    Load();
    const QImage drawnAhead = Menu().Image1->pixmap().toImage();
    EXPECT_EQ(drawnAhead.size(), drawnHere.size());
    EXPECT_EQ(drawnAhead.convertToFormat(QImage::Format_ARGB32),
              drawnHere.convertToFormat(QImage::Format_ARGB32));
    // The plate holds its text, not only its white and its rule.
    int darkOnWhite = 0;
    for (int x = 0; x < drawnAhead.width(); ++x)
        if (qGray(drawnAhead.pixel(x, drawnAhead.height() / 3)) < 200) ++darkOnWhite;
    EXPECT_GT(darkOnWhite, 10);
}
