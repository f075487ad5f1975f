#pragma once
// The main window's commands: label buttons in a column beside the entry, three headings side by
// side that open their groups of further labels below them (by pointer or keyboard), the help
// desk panel and the hidden batch-test label.

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <future>
#include <vector>

class LabelButton;
class LabelHighlighter;
class QCheckBox;
class QFocusEvent;
class QFrame;
class QKeyEvent;
class QLabel;
class QTimer;
class QWidget;

// What the menu needs of the main window: the window it lays its commands out on, the window's
// own labels it places and lights among them, and the window's activation after a command.
struct MenuHost {
    QWidget* window = nullptr;
    LabelButton* lblApplyAccessorials = nullptr;
    LabelButton* lblRate = nullptr;
    LabelButton* lblExit = nullptr;
    LabelButton* lblClickHere = nullptr;
    QCheckBox* chkHawaiiWillCall = nullptr;
    std::function<void()> activate;
};

// Draws the carrier's name plate of the next main window's menu on a thread of its own, once
// `fontsRead` is ready, so that the window is built meanwhile; the menu takes the picture from
// there instead of drawing it. Its face is drawn nowhere else in the window.
void DrawMenuLogoAhead(std::shared_future<void> fontsRead);

class MainMenu : public QObject {
    Q_OBJECT
  public:
    MainMenu(const MenuHost& host, LabelHighlighter& highlighter);

    // Shows or hides every label of group 0 (Customize), 1 (Rules Tariff) or 2 (Help); any
    // other group number does nothing.
    void ShowMenuGroup(int group, bool show);
    bool GroupShown(int group) const;
    // The menu's commands in the order Tab goes through them: the column from the top, each
    // heading followed by its group.
    std::vector<QWidget*> KeyboardOrder() const;

    // --- controls
    LabelButton* lblBOL;
    LabelButton* lblRateSheets;
    LabelButton* lblCustomize;
    LabelButton* lblRulesTariff;
    LabelButton* lblHelp;
    LabelButton* lblWebSite;
    LabelButton* lblCdnEXC;
    LabelButton* lblDiscounts;
    LabelButton* lblFSC;
    LabelButton* lblShipLoc;
    LabelButton* lblUpgrader;
    LabelButton* lblQuickRef;
    LabelButton* lblDetail;
    LabelButton* lblContents;
    LabelButton* lblIndex;
    LabelButton* lblSearch;
    LabelButton* lblUseHelp;
    LabelButton* lblContactVZK;
    LabelButton* lblFindSC;
    LabelButton* lblAbout;
    LabelButton* lblPony;
    QLabel* lblHelpDesk;
    QLabel* Image1;

    // --- handlers
    void lblBOL_Click();
    void lblRateSheets_Click();
    void lblCustomize_Click();
    void lblRulesTariff_Click();
    void lblHelp_Click();
    void lblWebSite_Click();
    void lblCdnEXC_Click();
    void lblDiscounts_Click();
    void lblFSC_Click();
    void lblShipLoc_Click();
    void lblUpgrader_Click();
    void lblQuickRef_Click();
    void lblDetail_Click();
    void lblContents_Click();
    void lblIndex_Click();
    void lblSearch_Click();
    void lblUseHelp_Click();
    void lblContactVZK_Click();
    void lblFindSC_Click();
    void lblAbout_Click();
    void lblPony_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift);
    // A move over a command label, with that label's variation of the hover rule.
    void CommandLabel_MouseMove(QLabel* label);
    // A move over the window's background or over the picture Image1.
    void Form_MouseMove(QWidget* where);
    void chkHawaiiWillCall_MouseMove();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // How a label's hover differs from the general rule.
    struct HoverRule {
        bool lockTest = false;      // nothing while a city choice is pending
        bool keepHelpDesk = false;  // the help desk panel stays as it is
        int group = -1;             // the group a heading opens
        bool everyMove = false;     // highlighted on every move, not once per entry
    };

    // The common frame of a command: silent while a city choice is pending, busy while the
    // window is up, and the main window activated again when it closes.
    void Command(const QString& title, void (*open)(QWidget*));
    void CommandWindowEntry(int window);
    void HelpCommand(int command, int data);
    void Build();
    // Places each group's commands and panel below its own heading.
    void LayOutGroups();
    // Opens one group and closes the others, as a heading's click does.
    void OpenGroup(int group);
    void HeadingFocused(QObject* watched, QFocusEvent* event);
    // The arrow keys in the menu: Left and Right from heading to heading, Down into a group and
    // down through it, Up back to its heading. True when the key was the menu's.
    bool MenuKey(QObject* watched, QKeyEvent* key);

    QWidget& window_;
    MenuHost host_;
    LabelHighlighter& highlighter_;
    std::array<std::vector<QLabel*>, 3> groups_;
    std::array<LabelButton*, 3> headings_{};
    // The bar behind the headings and each group's panel.
    QWidget* menuBar_ = nullptr;
    std::array<QFrame*, 3> panels_{};
    QObject* willCall_ = nullptr;
    QHash<const QLabel*, HoverRule> rules_;

    // A hand going straight from a heading to a command of its group may cross a neighbouring
    // heading on the way: that heading waits, and takes over only when the pointer turns away
    // from the open group or rests on it.
    // True when a move over `watched` at `at` (window coordinates) is such a crossing, which the
    // heading must not see yet.
    bool CrossingOnTheWay(QObject* watched, QPoint at);
    // The group open now, or -1.
    int OpenGroupNow() const;
    // The last point of the pointer over a heading, the bar or a group's panel or command, and
    // the group that ground belongs to (-1 for none).
    QPoint aimFrom_;
    int aimGroup_ = -1;
    // The pointer's latest points over the menu's own ground (window coordinates), newest last,
    // since it last crossed the window's background.
    std::vector<QPoint> trail_;
    // True when the pointer, now at `at`, has last moved farther from `area`: away from it, not on
    // its way into it.
    bool MovingAwayFrom(const QRect& area, QPoint at) const;
    void Remember(QPoint at);
    QTimer* takeOver_ = nullptr;
};
