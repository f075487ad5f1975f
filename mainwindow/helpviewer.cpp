#include "helpviewer.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMargins>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "msgbox.h"
#include "webpane.h"
#include "windowkeys.h"

namespace {
QString& HelpFile() {
    static QString file;
    return file;
}
QPointer<HelpWindow>& Window() {
    static QPointer<HelpWindow> window;
    return window;
}
constexpr int kPageRole = Qt::UserRole;

// The frame's widths around the client area, taken from a window's two rectangles.
QMargins FrameMargins(const QRect& frame, const QRect& client) {
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

// Over the window that asked for it, frame and all inside the screen's free area, shrunk when it
// is larger. A window that has never been shown has no frame yet; the owner's, drawn by the
// same window manager, stands in for it, or the title bar would hang below the screen.
void PlaceOver(QWidget* window, QWidget* owner) {
    const QRect over = owner->frameGeometry();
    QMargins frame = FrameMargins(window->frameGeometry(), window->geometry());
    if (frame.isNull()) frame = FrameMargins(over, owner->geometry());
    QScreen* screen = QGuiApplication::screenAt(over.center());
    if (!screen) screen = owner->screen();
    const QRect room = screen->availableGeometry();
    window->resize(window->size().boundedTo(room.size().shrunkBy(frame)));
    QRect framed(QPoint(0, 0), window->size().grownBy(frame));
    framed.moveCenter(over.center());
    // A top-level window's position is its frame's.
    window->move(KeptInside(framed, room).topLeft());
}

QListWidgetItem* PageItem(QListWidget* list, const QString& text, const QString& page) {
    auto* item = new QListWidgetItem(text, list);
    item->setData(kPageRole, page);
    return item;
}
}  // namespace

QString ApplicationHelpFile() {
    return HelpFile();
}

void SetApplicationHelpFile(const QString& file) {
    HelpFile() = file;
}

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), book_(std::make_unique<HelpBook>(helpFile)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Fretlyn Help"));

    tabs = new QTabWidget;
    auto* contents = new QWidget;
    auto* cl = new QVBoxLayout(contents);
    lstContents = new QListWidget;
    lstContents->setObjectName(QStringLiteral("lstContents"));
    cl->addWidget(lstContents);
    for (const auto& t : book_->Topics()) PageItem(lstContents, t.title, t.page);
    tabs->addTab(contents, QStringLiteral("Contents"));

    auto* index = new QWidget;
    auto* il = new QVBoxLayout(index);
    il->addWidget(new QLabel(QStringLiteral("Type the first letters of a word:")));
    txtKeyword = new QLineEdit;
    txtKeyword->setObjectName(QStringLiteral("txtKeyword"));
    il->addWidget(txtKeyword);
    lstIndex = new QListWidget;
    lstIndex->setObjectName(QStringLiteral("lstIndex"));
    il->addWidget(lstIndex);
    tabs->addTab(index, QStringLiteral("Index"));

    auto* search = new QWidget;
    auto* sl = new QVBoxLayout(search);
    sl->addWidget(new QLabel(QStringLiteral("Words to find in the help pages:")));
    auto* row = new QHBoxLayout;
    txtSearch = new QLineEdit;
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    auto* find = new QPushButton(QStringLiteral("Find"));
    row->addWidget(txtSearch);
    row->addWidget(find);
    sl->addLayout(row);
    lstFound = new QListWidget;
    lstFound->setObjectName(QStringLiteral("lstFound"));
    sl->addWidget(lstFound);
    tabs->addTab(search, QStringLiteral("Search"));

    brwHelp = new QTextBrowser;
    brwHelp->setObjectName(QStringLiteral("brwHelp"));
    brwHelp->setSearchPaths({book_->Folder()});
    brwHelp->setOpenExternalLinks(false);
    UsePaperColours(brwHelp);

    FillIndex(QString());
    // The lists are as wide as their widest entry beside a scroll bar, in whatever font the
    // desktop has, so that no entry runs past the edge; the page has the rest.
    int widest = 0;
    for (QListWidget* list : {lstContents, lstIndex})
        widest = std::max(widest, list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                                      list->verticalScrollBar()->sizeHint().width() + 4);
    for (QListWidget* list : {lstContents, lstIndex, lstFound}) list->setMinimumWidth(widest);

    auto* split = new QSplitter;
    split->addWidget(tabs);
    split->addWidget(brwHelp);
    const int left = std::max(280, tabs->minimumSizeHint().width());
    split->setSizes({left, 580});
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(split);
    resize(left + 580, 560);
    connect(txtKeyword, &QLineEdit::textChanged, this, &HelpWindow::FillIndex);
    // Enter in the word box opens the entry its letters have highlighted.
    connect(txtKeyword, &QLineEdit::returnPressed, this, [this] {
        if (QListWidgetItem* item = lstIndex->currentItem())
            ShowPage(item->data(kPageRole).toString());
    });
    connect(txtSearch, &QLineEdit::returnPressed, this, &HelpWindow::RunSearch);
    connect(find, &QPushButton::clicked, this, &HelpWindow::RunSearch);
    // The tab chosen puts the cursor where its words are typed, once the tab's page has taken
    // the focus it gives to its first widget.
    connect(
        tabs, &QTabWidget::currentChanged, this,
        [this](int tab) {
            if (tab == 1) txtKeyword->setFocus();
            if (tab == 2) txtSearch->setFocus();
        },
        Qt::QueuedConnection);
    InstallWindowKeyHandlers(this, {});
    for (QListWidget* list : {lstContents, lstIndex, lstFound}) {
        connect(list, &QListWidget::itemClicked, this,
                [this](QListWidgetItem* item) { ShowPage(item->data(kPageRole).toString()); });
        connect(list, &QListWidget::itemActivated, this,
                [this](QListWidgetItem* item) { ShowPage(item->data(kPageRole).toString()); });
    }
}

void HelpWindow::FillIndex(const QString& typed) {
    lstIndex->clear();
    for (const auto& k : book_->KeywordsStartingWith(typed)) PageItem(lstIndex, k.keyword, k.page);
    if (lstIndex->count() > 0) lstIndex->setCurrentRow(0);
}

void HelpWindow::ShowContents() {
    tabs->setCurrentIndex(0);
    ShowPage(QFileInfo(book_->HelpFile()).fileName());
}

void HelpWindow::ShowIndex() {
    tabs->setCurrentIndex(1);
    txtKeyword->setFocus();
    // The index opens on its first entry's page rather than on an empty one.
    if (lstIndex->count() > 0) ShowPage(lstIndex->item(0)->data(kPageRole).toString());
}

void HelpWindow::ShowSearch() {
    tabs->setCurrentIndex(2);
    txtSearch->setFocus();
}

void HelpWindow::ShowPage(const QString& page) {
    if (page.isEmpty()) return;
    brwHelp->setSource(QUrl::fromLocalFile(book_->PathOf(page)));
}

void HelpWindow::RunSearch() {
    lstFound->clear();
    for (const auto& t : book_->Search(txtSearch->text())) PageItem(lstFound, t.title, t.page);
    if (lstFound->count() == 0) lstFound->addItem(QStringLiteral("No page holds every word."));
}

QString HelpWindow::CurrentPage() const {
    return QFileInfo(brwHelp->source().toLocalFile()).fileName();
}

void WinHelp(QWidget* owner, const QString& helpFile, int command, int data) {
    if (!QFileInfo::exists(helpFile)) {
        ShowMessage(QStringLiteral("The help file ") + helpFile + QStringLiteral(" was not found."),
                    kMsgOK, QStringLiteral("Help"));
        return;
    }
    QPointer<HelpWindow>& window = Window();
    if (window && window->Book().HelpFile() != helpFile) delete window.data();
    const bool opening = !window || !window->isVisible();
    if (!window) window = new HelpWindow(helpFile, owner ? owner->window() : nullptr);
    if (opening && owner) PlaceOver(window, owner->window());
    switch (command) {
        case kHelpContents:
            window->ShowContents();
            break;
        case kHelpContext:
            if (data == kHelpIndexContext)
                window->ShowIndex();
            else
                window->ShowContents();
            break;
        case kHelpPartialKey:
            window->ShowSearch();
            break;
        case kHelpHelpOnHelp:
            window->tabs->setCurrentIndex(0);
            window->ShowPage(QString::fromLatin1(kHelpOnHelpPage));
            break;
        default:
            return;
    }
    window->show();
    // Where the window system has given the frame at once, it is kept inside by its true size.
    if (opening && owner) KeepOnScreen(window);
    window->raise();
    window->activateWindow();
}

HelpWindow* OpenHelpWindow() {
    return Window().data();
}
