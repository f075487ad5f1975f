#include "form3menu.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "ahead.h"
#include "auxwindow.h"
#include "commandwindows.h"
#include "frmabout.h"
#include "frmbrowser.h"
#include "frmfindsc.h"
#include "frmtrfdetail.h"
#include "handcursor.h"
#include "helpdesk.h"
#include "helpviewer.h"
#include "inputdialogs.h"
#include "labelbutton.h"
#include "labels.h"
#include "mainstate.h"
#include "msgbox.h"
#include "quickref.h"
#include "quotedialogs.h"
#include "tariffdb.h"

namespace {

constexpr int kLeft = 735, kWidth = 250, kRight = kLeft + kWidth;
// The bar of the three headings, and the commands of a group below it.
constexpr int kBarTop = 146, kBarHeight = 24, kCommandHeight = 22, kCommandPitch = 25,
              kPanelMargin = 4, kCommandIndent = 10;
const QSize kLogoSize(kWidth, 36);
std::future<QImage> gLogoAhead;
// How long the pointer may rest on a heading crossed on the way into another's group before
// that heading takes over, and how far a hand's line may stray from the straight one (the
// pointer lands on whole pixels).
constexpr int kTakeOverMs = 400;
constexpr double kAimSlack = 3;

// Whether a point lies within the convex hull of two rectangles: on one of the rectangles
// between them, whose every edge is the same mix of theirs.
bool BetweenRects(const QRectF& a, const QRectF& b, QPointF p) {
    double low = 0, high = 1;
    // The edge at mix m is from + m (to - from); it must stay on the given side of `value`.
    auto keep = [&](double from, double to, double value, bool atMost) {
        const double slope = to - from;
        if (slope == 0) {
            if (atMost ? from > value : from < value) high = -1;
            return;
        }
        const double limit = (value - from) / slope;
        if ((slope > 0) == atMost)
            high = std::min(high, limit);
        else
            low = std::max(low, limit);
    };
    keep(a.left(), b.left(), p.x(), true);
    keep(a.right(), b.right(), p.x(), false);
    keep(a.top(), b.top(), p.y(), true);
    keep(a.bottom(), b.bottom(), p.y(), false);
    return low <= high;
}

// How far a point lies from a rectangle (0 inside it).
double DistanceTo(const QRect& r, QPoint p) {
    const int dx = std::max({r.left() - p.x(), 0, p.x() - r.right()});
    const int dy = std::max({r.top() - p.y(), 0, p.y() - r.bottom()});
    return std::hypot(dx, dy);
}

// How many of the pointer's latest points the menu keeps to tell its direction.
constexpr size_t kTrailPoints = 8;

// The screen's dots per inch, which a pixmap drawn on the screen's behalf would have.
QPointF ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? QPointF(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY())
                  : QPointF(96, 96);
}

// The carrier's name in a small white plate, top right of the window. A picture, not a pixmap,
// so that it can be drawn on another thread; with the screen's dots per inch, so that its text
// has the size it has on the screen.
QImage LogoPicture(const QSize& size, QPointF dpi) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    constexpr double kInchesPerMeter = 1 / 0.0254;
    picture.setDotsPerMeterX(qRound(qRound(dpi.x()) * kInchesPerMeter));
    picture.setDotsPerMeterY(qRound(qRound(dpi.y()) * kInchesPerMeter));
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, size.height() - 5, size.width(), 5), ColorFromValue(kRuleColor));
    QFont font = VerdanaFont(13, true);
    font.setItalic(true);
    painter.setFont(font);
    painter.setPen(ColorFromValue(kRuleColor));
    painter.drawText(QRect(0, 0, size.width(), size.height() - 5), Qt::AlignCenter,
                     QStringLiteral("NORVALE FREIGHT"));
    return picture;
}

}  // namespace

void DrawMenuLogoAhead(std::shared_future<void> fontsRead) {
    gLogoAhead = StartAhead([fontsRead, dpi = ScreenDpi()] {
        fontsRead.wait();
        return LogoPicture(kLogoSize, dpi);
    });
}

MainMenu::MainMenu(const MenuHost& host, LabelHighlighter& highlighter)
    : QObject(host.window), window_(*host.window), host_(host), highlighter_(highlighter) {
    Build();
}

void MainMenu::Build() {
    // The commands take a column to the right of the entry.
    window_.setFixedSize(1000, 560);
    QFont bold = window_.font();
    bold.setBold(true);
    auto label = [&](const char* name, const QString& text, const QRect& where) {
        LabelButton* l = MakeButton(&window_, QLatin1String(name), text, where, bold);
        l->installEventFilter(&window_);
        return l;
    };

    Image1 = new QLabel(&window_);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(QRect(QPoint(kLeft, 12), kLogoSize));
    Image1->setPixmap(
        QPixmap::fromImage(gLogoAhead.valid() ? gLogoAhead.get() : LogoPicture(kLogoSize, ScreenDpi())));
    lblWebSite =
        label("lblWebSite", QString::fromLatin1(kCarrierWebAddress), QRect(kLeft, 54, kWidth, 22));
    lblWebSite->setToolTip(QStringLiteral("Click here to visit the Norvale website  "));

    lblBOL = label("lblBOL", QStringLiteral("Bill of Lading System"), QRect(kLeft, 90, kWidth, 24));
    lblRateSheets =
        label("lblRateSheets", QStringLiteral("Rate Sheets"), QRect(kLeft, 118, kWidth, 24));
    for (LabelButton* l : {lblBOL, lblRateSheets})
        l->resize(l->sizeHint().width() + 8, l->height());

    // The three headings stand side by side in a bar, and each group drops below its own
    // heading onto a panel that joins the bar, so that the straight way from a heading to any of
    // its commands crosses only that heading, the bar and the panel: never another heading, nor
    // the background that closes the groups. The bar and the panels are built first, to lie
    // beneath the labels.
    menuBar_ = new QWidget(&window_);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    menuBar_->setGeometry(kLeft, kBarTop, kRight - kLeft, kBarHeight);
    for (int g = 0; g < 3; ++g) {
        auto* panel = new QFrame(&window_);
        panel->setObjectName(QStringLiteral("menuPanel%1").arg(g));
        panel->setFrameShape(QFrame::Box);
        QPalette framePalette = panel->palette();
        framePalette.setColor(QPalette::WindowText, Qt::white);
        panel->setPalette(framePalette);
        panels_[static_cast<size_t>(g)] = panel;
    }
    for (QWidget* quiet : {menuBar_, static_cast<QWidget*>(panels_[0]),
                           static_cast<QWidget*>(panels_[1]), static_cast<QWidget*>(panels_[2])}) {
        quiet->setMouseTracking(true);
        quiet->installEventFilter(this);
    }
    const QRect heading(0, kBarTop + 2, 0, kBarHeight - 4);
    lblCustomize = label("lblCustomize", QStringLiteral("Customize"), heading);
    lblRulesTariff = label("lblRulesTariff", QStringLiteral("Rules Tariff"), heading);
    lblHelp = label("lblHelp", QStringLiteral("Help"), heading);
    headings_ = {lblCustomize, lblRulesTariff, lblHelp};
    for (LabelButton* h : headings_) {
        h->setAlignment(Qt::AlignCenter);
        h->resize(h->sizeHint().width() + 8, h->height());
    }
    // The first at the left edge of the column, the last at its right edge, the middle one
    // halfway between them.
    lblCustomize->move(kLeft, lblCustomize->y());
    lblHelp->move(kRight - lblHelp->width(), lblHelp->y());
    const int middle = (lblCustomize->geometry().right() + lblHelp->x()) / 2;
    lblRulesTariff->move(middle - lblRulesTariff->width() / 2, lblRulesTariff->y());

    auto group = [&](int g, std::initializer_list<std::pair<const char*, const char*>> items) {
        for (const auto& [name, caption] : items)
            groups_[g].push_back(label(name, QString::fromLatin1(caption), QRect()));
    };
    group(0, {{"lblCdnEXC", "Canadian Exchange..."},
              {"lblDiscounts", "Discounts/F.A.K.s..."},
              {"lblFSC", "Fuel Surcharge..."},
              {"lblShipLoc", "Shipping Locations..."},
              {"lblUpgrader", "Transfer Disc/BOL..."}});
    group(1, {{"lblQuickRef", "Quick reference..."}, {"lblDetail", "Detail..."}});
    group(2, {{"lblContents", "Contents..."},
              {"lblIndex", "Index..."},
              {"lblSearch", "Search for help on..."},
              {"lblUseHelp", "How to use Help..."},
              {"lblContactVZK", "Contact us..."},
              {"lblFindSC", "Your local Service Center..."},
              {"lblAbout", "About..."}});
    // The accessorial list's label heads the Customize group.
    groups_[0].insert(groups_[0].begin(), host_.lblApplyAccessorials);
    LayOutGroups();
    auto find = [&](const char* name) {
        return window_.findChild<LabelButton*>(QLatin1String(name));
    };
    lblCdnEXC = find("lblCdnEXC");
    lblDiscounts = find("lblDiscounts");
    lblFSC = find("lblFSC");
    lblShipLoc = find("lblShipLoc");
    lblUpgrader = find("lblUpgrader");
    lblUpgrader->setToolTip(
        QStringLiteral("Updates Discounts / Bill of Lading from previous versions of Fretlyn "));
    lblQuickRef = find("lblQuickRef");
    lblDetail = find("lblDetail");
    lblContents = find("lblContents");
    lblIndex = find("lblIndex");
    lblSearch = find("lblSearch");
    lblUseHelp = find("lblUseHelp");
    lblContactVZK = find("lblContactVZK");
    lblFindSC = find("lblFindSC");
    lblAbout = find("lblAbout");

    host_.lblApplyAccessorials->setToolTip(
        QStringLiteral("  Click here to apply Accessorial charges to this shipment"));
    host_.lblRate->setToolTip(
        QStringLiteral("  Click here to rate the shipment  (or use Alt-R)  "));

    lblHelpDesk = new QLabel(&window_);
    lblHelpDesk->setObjectName(QStringLiteral("lblHelpDesk"));
    lblHelpDesk->setGeometry(kLeft, 420, kWidth, 76);
    lblHelpDesk->setAlignment(Qt::AlignCenter);
    lblHelpDesk->setFont(VerdanaFont(9, true));
    lblHelpDesk->setText(QStringLiteral("Fretlyn help desk\n%1\n%2")
                             .arg(QLatin1String(kHelpDeskPhone), QLatin1String(kHelpDeskEmail)));
    SetBackColor(lblHelpDesk, RGB(50, 70, 132));
    lblHelpDesk->setStyleSheet(QStringLiteral("color: white;"));
    lblHelpDesk->hide();

    // No caption and nothing to see: the batch test is for the carrier's own staff.
    lblPony = label("lblPony", QString(), QRect(975, 530, 25, 30));

    for (int g = 0; g < 3; ++g) ShowMenuGroup(g, false);

    // --- hover rules
    auto rule = [&](QLabel* l, HoverRule r) {
        rules_.insert(l, r);
        disconnect(l, nullptr, &highlighter_, nullptr);
        if (auto* b = qobject_cast<LabelButton*>(l))
            connect(b, &LabelButton::mouseMoved, this, [this, l] { CommandLabel_MouseMove(l); });
    };
    for (QLabel* l : {static_cast<QLabel*>(host_.lblRate), static_cast<QLabel*>(lblWebSite)})
        rule(l, {true, true, -1, false});
    for (QLabel* l :
         {static_cast<QLabel*>(lblBOL), static_cast<QLabel*>(lblRateSheets),
          static_cast<QLabel*>(host_.lblExit), static_cast<QLabel*>(host_.lblApplyAccessorials)})
        rule(l, {true, false, -1, false});
    rule(lblCustomize, {true, false, 0, false});
    rule(lblRulesTariff, {true, false, 1, false});
    rule(lblHelp, {true, false, 2, false});
    rule(lblContactVZK, {false, true, -1, false});
    rule(host_.lblClickHere, {false, false, -1, true});
    for (QLabel* l : {lblCdnEXC, lblDiscounts, lblFSC, lblShipLoc, lblUpgrader, lblQuickRef,
                      lblDetail, lblContents, lblIndex, lblSearch, lblUseHelp, lblFindSC, lblAbout})
        rule(l, {});
    // The hidden label is no command anyone should see lit.
    disconnect(lblPony, nullptr, &highlighter_, nullptr);

    takeOver_ = new QTimer(this);
    takeOver_->setSingleShot(true);
    takeOver_->setInterval(kTakeOverMs);
    connect(takeOver_, &QTimer::timeout, this, [this] {
        // The heading that waited is the one the pointer still rests on: a move anywhere else
        // the menu watches has stopped the wait.
        const auto heading = std::find_if(headings_.begin(), headings_.end(),
                                          [](const LabelButton* h) { return h->underMouse(); });
        if (heading == headings_.end()) return;
        aimFrom_ = menuBar_->parentWidget()->mapFromGlobal(QCursor::pos());
        aimGroup_ = static_cast<int>(heading - headings_.begin());
        CommandLabel_MouseMove(*heading);
    });

    highlighter_.SetBackgroundPointer(kPointerArrow);
    highlighter_.AddBackground(Image1);
    connect(&highlighter_, &LabelHighlighter::backgroundEntered, this,
            [this](QWidget* where) { Form_MouseMove(where); });
    // The keys that move through the menu, and a heading's focus that opens its group.
    for (int g = 0; g < 3; ++g) {
        headings_[static_cast<size_t>(g)]->installEventFilter(this);
        for (QLabel* l : groups_[g]) l->installEventFilter(this);
    }
    willCall_ = host_.chkHawaiiWillCall;
    host_.chkHawaiiWillCall->setMouseTracking(true);
    host_.chkHawaiiWillCall->installEventFilter(this);

    // --- clicks
    auto click = [this](LabelButton* l, void (MainMenu::*handler)()) {
        connect(l, &LabelButton::clicked, this, handler);
    };
    click(lblBOL, &MainMenu::lblBOL_Click);
    click(lblRateSheets, &MainMenu::lblRateSheets_Click);
    click(lblCustomize, &MainMenu::lblCustomize_Click);
    click(lblRulesTariff, &MainMenu::lblRulesTariff_Click);
    click(lblHelp, &MainMenu::lblHelp_Click);
    click(lblWebSite, &MainMenu::lblWebSite_Click);
    click(lblCdnEXC, &MainMenu::lblCdnEXC_Click);
    click(lblDiscounts, &MainMenu::lblDiscounts_Click);
    click(lblFSC, &MainMenu::lblFSC_Click);
    click(lblShipLoc, &MainMenu::lblShipLoc_Click);
    click(lblUpgrader, &MainMenu::lblUpgrader_Click);
    click(lblQuickRef, &MainMenu::lblQuickRef_Click);
    click(lblDetail, &MainMenu::lblDetail_Click);
    click(lblContents, &MainMenu::lblContents_Click);
    click(lblIndex, &MainMenu::lblIndex_Click);
    click(lblSearch, &MainMenu::lblSearch_Click);
    click(lblUseHelp, &MainMenu::lblUseHelp_Click);
    click(lblContactVZK, &MainMenu::lblContactVZK_Click);
    click(lblFindSC, &MainMenu::lblFindSC_Click);
    click(lblAbout, &MainMenu::lblAbout_Click);
    connect(lblPony, &LabelButton::mouseDown, this, &MainMenu::lblPony_MouseDown);
}

void MainMenu::LayOutGroups() {
    const int top = kBarTop + kBarHeight;
    const int inner = kLeft + kPanelMargin, innerRight = kRight - kPanelMargin;
    for (int g = 0; g < 3; ++g) {
        // Each command as wide as its caption, lined up below its own heading: the first
        // group's from the left edge, the last group's against the right edge, the middle
        // group's centred under its heading. So the straight way from the heading to any of its
        // commands goes down through the heading's own bottom edge.
        const QRect heading = headings_[static_cast<size_t>(g)]->geometry();
        const Qt::Alignment side = g == 0   ? Qt::AlignLeft
                                   : g == 2 ? Qt::AlignRight
                                            : Qt::AlignHCenter;
        int y = top + kPanelMargin;
        for (QLabel* l : groups_[g]) {
            l->setIndent(kCommandIndent);
            l->setAlignment(side | Qt::AlignVCenter);
            // Room on the far side too, so that the focus frame clears the text.
            const int width = l->sizeHint().width() + kCommandIndent / 2;
            const int left =
                g == 0   ? inner
                : g == 2 ? innerRight - width
                         : std::clamp(heading.center().x() - width / 2, inner, innerRight - width);
            l->setGeometry(left, y, width, kCommandHeight);
            y += kCommandPitch;
        }
        QFrame* panel = panels_[static_cast<size_t>(g)];
        panel->setGeometry(kLeft, top, kRight - kLeft,
                           y - (kCommandPitch - kCommandHeight) + kPanelMargin - top);
        panel->lower();
    }
    menuBar_->lower();
}

void MainMenu::ShowMenuGroup(int group, bool show) {
    if (group < 0 || group > 2) return;
    const auto& labels = groups_[group];
    // A command that loses its place keeps the focus in the menu, on its heading, rather than
    // letting it jump to whatever follows.
    if (!show &&
        std::find(labels.begin(), labels.end(), QApplication::focusWidget()) != labels.end())
        headings_[static_cast<size_t>(group)]->setFocus(Qt::OtherFocusReason);
    panels_[static_cast<size_t>(group)]->setVisible(show);
    for (QLabel* l : labels) l->setVisible(show);
}

std::vector<QWidget*> MainMenu::KeyboardOrder() const {
    std::vector<QWidget*> order{lblWebSite, lblBOL, lblRateSheets};
    for (int g = 0; g < 3; ++g) {
        order.push_back(headings_[static_cast<size_t>(g)]);
        order.insert(order.end(), groups_[g].begin(), groups_[g].end());
    }
    return order;
}

void MainMenu::OpenGroup(int group) {
    for (int g = 0; g < 3; ++g)
        if (g != group) ShowMenuGroup(g, false);
    ShowMenuGroup(group, true);
}

void MainMenu::HeadingFocused(QObject* watched, QFocusEvent* event) {
    const auto h = std::find(headings_.begin(), headings_.end(), watched);
    if (h == headings_.end() || mainState.gLocked) return;
    // Reached with Tab, Shift+Tab or the arrows; the focus put back there by a closing group
    // opens nothing.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        OpenGroup(static_cast<int>(h - headings_.begin()));
}

bool MainMenu::MenuKey(QObject* watched, QKeyEvent* key) {
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    // Where the key was pressed: a heading (index -1 in its group) or a command of a group.
    int group = -1, index = -1;
    for (int g = 0; g < 3 && group < 0; ++g) {
        if (headings_[static_cast<size_t>(g)] == watched) group = g;
        const auto& labels = groups_[g];
        const auto at = std::find(labels.begin(), labels.end(), watched);
        if (at != labels.end()) {
            group = g;
            index = static_cast<int>(at - labels.begin());
        }
    }
    if (group < 0) return false;
    const auto& labels = groups_[group];
    const int count = static_cast<int>(labels.size());
    auto focus = [](QWidget* w) { w->setFocus(Qt::TabFocusReason); };
    switch (key->key()) {
        case Qt::Key_Right:
        case Qt::Key_Left: {
            const int step = key->key() == Qt::Key_Right ? 1 : 2;
            focus(headings_[static_cast<size_t>((group + step) % 3)]);
            return true;
        }
        case Qt::Key_Down:
            if (index < 0) {
                if (mainState.gLocked) return true;
                OpenGroup(group);
            }
            if (index + 1 < count) focus(labels[static_cast<size_t>(index + 1)]);
            return true;
        case Qt::Key_Up:
            if (index >= 0)
                focus(index == 0 ? static_cast<QWidget*>(headings_[static_cast<size_t>(group)])
                                 : labels[static_cast<size_t>(index - 1)]);
            return true;
        default:
            return false;
    }
}

int MainMenu::OpenGroupNow() const {
    for (int g = 0; g < 3; ++g)
        if (GroupShown(g)) return g;
    return -1;
}

bool MainMenu::CrossingOnTheWay(QObject* watched, QPoint at) {
    const int open = OpenGroupNow();
    int heading = -1, ground = -1;
    for (int g = 0; g < 3; ++g) {
        const auto& labels = groups_[g];
        if (watched == headings_[static_cast<size_t>(g)]) heading = g;
        if (watched == panels_[static_cast<size_t>(g)] ||
            std::find(labels.begin(), labels.end(), watched) != labels.end())
            ground = g;
    }
    if (watched == menuBar_) ground = open;
    if (heading >= 0 && open >= 0 && heading != open && aimGroup_ == open) {
        // Heading into the open group: the pointer is on the way from where it last was on
        // that group's ground to one of its commands.
        QRect commands;
        for (QLabel* l : groups_[open]) commands |= l->geometry();
        const QRectF from = QRectF(QPointF(aimFrom_), QSizeF(0, 0))
                                .adjusted(-kAimSlack, -kAimSlack, kAimSlack, kAimSlack);
        const QRectF to = QRectF(commands).adjusted(-kAimSlack, -kAimSlack, kAimSlack, kAimSlack);
        // A pointer leaving the group, up across the corner of a neighbouring heading, is on its
        // way to that heading, however near the group it still is.
        const bool onTheWay = !MovingAwayFrom(commands, at) && BetweenRects(from, to, QPointF(at));
        Remember(at);
        if (onTheWay) {
            takeOver_->start();
            return true;
        }
    }
    takeOver_->stop();
    aimGroup_ = heading >= 0 ? heading : ground;
    aimFrom_ = at;
    Remember(at);
    return false;
}

void MainMenu::Remember(QPoint at) {
    if (!trail_.empty() && trail_.back() == at) return;
    trail_.push_back(at);
    if (trail_.size() > kTrailPoints) trail_.erase(trail_.begin());
}

// The pointer lands on whole pixels, so a shallow line keeps its distance for a step or two: the
// direction is that of the last point of the trail at another distance.
bool MainMenu::MovingAwayFrom(const QRect& area, QPoint at) const {
    const double now = DistanceTo(area, at);
    for (auto before = trail_.rbegin(); before != trail_.rend(); ++before) {
        const double then = DistanceTo(area, *before);
        if (then != now) return then < now;
    }
    return false;
}

bool MainMenu::GroupShown(int group) const {
    if (group < 0 || group > 2) return false;
    for (QLabel* l : groups_[group])
        if (l->isHidden()) return false;
    return true;
}

// --------------------------------------------------------------------------- hover

void MainMenu::CommandLabel_MouseMove(QLabel* label) {
    const HoverRule rule = rules_.value(label);
    if (rule.lockTest && mainState.gLocked) return;
    if (!rule.everyMove && highlighter_.LastHiliteLabel() == label->objectName()) return;
    highlighter_.SetLastHiliteLabel(label->objectName());
    HiliteLabel(label, &window_, kHiliteWhite);
    if (!rule.keepHelpDesk) lblHelpDesk->hide();
    if (rule.group >= 0)
        for (int g = 0; g < 3; ++g) ShowMenuGroup(g, g == rule.group);
}

void MainMenu::Form_MouseMove(QWidget* where) {
    trail_.clear();
    // The highlighter has put the colours and the pointer back already.
    for (int g = 0; g < 3; ++g) ShowMenuGroup(g, false);
    lblHelpDesk->hide();
    highlighter_.SetLastHiliteLabel(where == Image1 ? QStringLiteral("nothing") : QString());
}

void MainMenu::chkHawaiiWillCall_MouseMove() {
    ResetLabelColors(&window_, kHiliteWhite);
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event) {
    // Compared by the pointer kept at build time: the window may be half destroyed here.
    if (watched == willCall_ && event->type() == QEvent::MouseMove) chkHawaiiWillCall_MouseMove();
    if (event->type() == QEvent::MouseMove && watched != willCall_) {
        // Every other widget watched here is one of the menu's own.
        auto* widget = static_cast<QWidget*>(watched);
        // In the coordinates of the menu's own labels, which a window too large for its screen
        // holds in a scrolled view.
        const QPoint at = widget->mapTo(menuBar_->parentWidget(),
                                        static_cast<QMouseEvent*>(event)->position().toPoint());
        if (CrossingOnTheWay(watched, at)) return true;
    }
    // The bar and the open panel are the menu's own ground: the pointer crossing them on its way
    // to a command is not over the window's background.
    if (event->type() == QEvent::MouseMove &&
        (watched == menuBar_ ||
         std::find(panels_.begin(), panels_.end(), watched) != panels_.end()))
        return true;
    if (event->type() == QEvent::FocusIn) HeadingFocused(watched, static_cast<QFocusEvent*>(event));
    if (event->type() == QEvent::KeyPress) return MenuKey(watched, static_cast<QKeyEvent*>(event));
    return false;
}

// --------------------------------------------------------------------------- clicks

void MainMenu::Command(const QString& title, void (*open)(QWidget*)) {
    if (mainState.gLocked) return;
    RunCommand(title, [&] { open(&window_); });
    host_.activate();
}

void MainMenu::CommandWindowEntry(int window) {
    if (mainState.gLocked) return;
    const auto which = static_cast<CommandWindow>(window);
    RunCommand(QStringLiteral("Fretlyn"), [&] { OpenCommandWindow(which); });
    // A window that is not part of this build only said so; no window has closed.
    if (CommandWindowRegistered(which)) host_.activate();
}

void MainMenu::HelpCommand(int command, int data) {
    if (mainState.gLocked) return;
    RunCommand(QStringLiteral("Help"),
               [&] { WinHelp(&window_, ApplicationHelpFile(), command, data); });
}

void MainMenu::lblBOL_Click() {
    CommandWindowEntry(static_cast<int>(CommandWindow::BillOfLading));
}

void MainMenu::lblRateSheets_Click() {
    CommandWindowEntry(static_cast<int>(CommandWindow::RateSheets));
}

void MainMenu::lblCustomize_Click() {
    if (mainState.gLocked) return;
    ShowMenuGroup(1, false);
    ShowMenuGroup(2, false);
    ShowMenuGroup(0, true);
}

void MainMenu::lblRulesTariff_Click() {
    if (mainState.gLocked) return;
    // A click right after the hover that opened the group has nothing left to do.
    if (highlighter_.LastHiliteLabel() == QLatin1String("lblRulesTariff")) return;
    highlighter_.SetLastHiliteLabel(QStringLiteral("lblRulesTariff"));
    ShowMenuGroup(0, false);
    ShowMenuGroup(2, false);
    ShowMenuGroup(1, true);
}

void MainMenu::lblHelp_Click() {
    if (mainState.gLocked) return;
    ShowMenuGroup(0, false);
    ShowMenuGroup(1, false);
    ShowMenuGroup(2, true);
}

void MainMenu::lblWebSite_Click() {
    Command(QStringLiteral("Norvale website"), [](QWidget* owner) {
        gBrowserPage = 0;
        ShowBrowser(owner);
    });
}

void MainMenu::lblCdnEXC_Click() {
    Command(QStringLiteral("Canadian Exchange Rate"),
            [](QWidget* owner) { ShowCdnRateDialog(owner); });
}

void MainMenu::lblDiscounts_Click() {
    if (mainState.gLocked) return;
    CommandWindow window = CommandWindow::Discounts;
    try {
        if (tariff.rsShipzips && tariff.rsShipzips->RecordCount() == 0)
            window = CommandWindow::SimpleDiscounts;
    } catch (const std::exception& e) {
        ShowMessage(QString::fromStdString(e.what()), kMsgOK, QStringLiteral("Discounts"));
        return;
    }
    CommandWindowEntry(static_cast<int>(window));
}

void MainMenu::lblFSC_Click() {
    Command(QStringLiteral("Fuel Surcharge"), ShowFuelSurcharge);
}

void MainMenu::lblShipLoc_Click() {
    CommandWindowEntry(static_cast<int>(CommandWindow::ShippingLocations));
}

void MainMenu::lblUpgrader_Click() {
    CommandWindowEntry(static_cast<int>(CommandWindow::Upgrade));
}

void MainMenu::lblQuickRef_Click() {
    Command(QStringLiteral("Quick Reference"), ShowQuickReference);
}

void MainMenu::lblDetail_Click() {
    Command(QStringLiteral("Tariff Detail"), [](QWidget* owner) { ShowTariffDetail(owner); });
}

void MainMenu::lblContents_Click() {
    HelpCommand(kHelpContents, 0);
}

void MainMenu::lblIndex_Click() {
    HelpCommand(kHelpContext, 30);
}

void MainMenu::lblSearch_Click() {
    HelpCommand(kHelpPartialKey, 0);
}

void MainMenu::lblUseHelp_Click() {
    HelpCommand(kHelpHelpOnHelp, 0);
}

void MainMenu::lblContactVZK_Click() {
    if (mainState.gLocked) return;
    SetBackColor(lblHelpDesk, RGB(50, 70, 132));
    lblHelpDesk->show();
    lblHelpDesk->raise();
}

void MainMenu::lblFindSC_Click() {
    Command(QStringLiteral("Service Center"), ShowFindSC);
}

void MainMenu::lblAbout_Click() {
    Command(QStringLiteral("About"), ShowAbout);
}

void MainMenu::lblPony_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift) {
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (button != Qt::RightButton || (shift & ~Qt::KeypadModifier) != all) return;
    // The batch test would clear gBusy as it closes; the frame makes sure of it, also when the
    // window is not part of this build or fails.
    RunCommand(QStringLiteral("Batch rate test"),
               [] { OpenCommandWindow(CommandWindow::BatchRateTest); });
}
