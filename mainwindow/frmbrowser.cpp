#include "frmbrowser.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "auxwindow.h"
#include "carrierweb.h"
#include "desktopopen.h"
#include "messagebox.h"
#include "textprinter.h"
#include "twips.h"
#include "webpane.h"

uint8_t gBrowserPage = 0;

namespace {
std::function<void(const QUrl&)>& ExternalBrowser() {
    static std::function<void(const QUrl&)> open;
    return open;
}
constexpr int kBrowserLeft = 8;
constexpr int kBrowserTop = 76;
}  // namespace

QSize BrowserSizeFor(const QSize& outer) {
    return QSize(std::max(0, outer.width() - TwipsToPixels(485)),
                 std::max(0, outer.height() - TwipsToPixels(1625)));
}

void SetExternalBrowser(std::function<void(const QUrl&)> open) {
    ExternalBrowser() = std::move(open);
}

frmBrowser::frmBrowser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBrowser"));
    setWindowTitle(QStringLiteral("Welcome to the Norvale WebSite!"));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(900, 640);

    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbToolBar->setIconSize(QSize(20, 20));
    // The style's icons are drawn for a light bar (a black cross for Exit), so the bar keeps
    // its light colours, text included, under a dark desktop palette.
    QPalette bar = tbToolBar->palette();
    for (auto role : {QPalette::Window, QPalette::Button})
        bar.setColor(role, QColor(240, 240, 240));
    for (auto role : {QPalette::WindowText, QPalette::ButtonText}) bar.setColor(role, Qt::black);
    tbToolBar->setPalette(bar);
    tbToolBar->setAutoFillBackground(true);
    const std::pair<const char*, QStyle::StandardPixmap> kButtons[] = {
        {"Back", QStyle::SP_ArrowBack},
        {"Forward", QStyle::SP_ArrowForward},
        {"Stop", QStyle::SP_BrowserStop},
        {"Refresh", QStyle::SP_BrowserReload},
        {"Home", QStyle::SP_DirHomeIcon},
        {"Search", QStyle::SP_FileDialogContentsView},
        {"Print", QStyle::SP_FileDialogDetailedView},
        {"Exit", QStyle::SP_DialogCloseButton}};
    for (const auto& [key, icon] : kButtons) {
        QAction* a = tbToolBar->addAction(style()->standardIcon(icon), QLatin1String(key));
        a->setObjectName(QLatin1String(key));
        a->setData(QLatin1String(key));
    }
    tbToolBar->addSeparator();
    actOpenExternal = tbToolBar->addAction(style()->standardIcon(QStyle::SP_DesktopIcon),
                                           QStringLiteral("Open in your web browser"));
    actOpenExternal->setObjectName(QStringLiteral("OpenExternal"));
    txtFind = new QLineEdit;
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("Find in this page"));
    txtFind->setMaximumWidth(180);
    QAction* findBox = tbToolBar->addWidget(txtFind);
    findBox->setVisible(false);
    connect(tbToolBar, &QToolBar::actionTriggered, this, [this, findBox](QAction* a) {
        if (a == actOpenExternal) return OpenExternal();
        if (a->data().toString() == QLatin1String("Search")) {
            findBox->setVisible(true);
            txtFind->setFocus();
            txtFind->selectAll();
        }
        tbToolBar_ButtonClick(a->data().toString());
    });
    connect(txtFind, &QLineEdit::returnPressed, this, &frmBrowser::FindInPage);

    lblAddress = new QLabel(this);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);

    brwNorvale = new WebPane(this);
    brwNorvale->setObjectName(QStringLiteral("brwNorvale"));
    timTimer = new QTimer(this);
    timTimer->setInterval(5);
    connect(timTimer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);
    connect(brwNorvale, &WebPane::DownloadComplete, this, &frmBrowser::brwNorvale_DownloadComplete);
    Form_Load();
}

void frmBrowser::SizeRule() {
    tbToolBar->setGeometry(0, 0, width(), tbToolBar->sizeHint().height());
    // The address line is as high as the desktop's font needs, descenders included; where
    // that takes it past the page's place, the page starts below it and keeps its bottom.
    const int addressTop = tbToolBar->height() + 2;
    const int addressHeight = lblAddress->fontMetrics().height() + 2 * lblAddress->margin() + 2;
    lblAddress->setGeometry(kBrowserLeft, addressTop, std::max(0, width() - 16), addressHeight);
    const int top = std::max(kBrowserTop, addressTop + addressHeight + 2);
    QSize page = BrowserSizeFor(frameGeometry().size());
    page.setHeight(std::max(0, page.height() - (top - kBrowserTop)));
    brwNorvale->setGeometry(QRect(QPoint(kBrowserLeft, top), page));
}

void frmBrowser::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeRule();
}

void frmBrowser::Form_Load() {
    SizeRule();
    const QUrl url = BrowserPageUrl(gBrowserPage);
    if (!url.isEmpty()) brwNorvale->Navigate(url);
}

void frmBrowser::tbToolBar_ButtonClick(const QString& key) {
    try {
        timTimer->start();
        if (key == QLatin1String("Back")) {
            brwNorvale->GoBack();
        } else if (key == QLatin1String("Forward")) {
            brwNorvale->GoForward();
        } else if (key == QLatin1String("Refresh")) {
            brwNorvale->Refresh();
        } else if (key == QLatin1String("Search")) {
            // The find box is open; the search runs when Enter is pressed in it.
        } else if (key == QLatin1String("Stop")) {
            timTimer->stop();
            brwNorvale->Stop();
            setWindowTitle(brwNorvale->LocationName());
        } else if (key == QLatin1String("Print")) {
            TextPrinter printer;
            printer.SetDocument(
                windowTitle(), PrintFileName(QStringLiteral("page"), {brwNorvale->LocationName()}));
            if (printer.ChoosePrinter(this) == PrinterChoice::Chosen) {
                printer.PaintPictureToPage(grab().toImage());
                if (!printer.EndDoc())
                    PlatformMessageBox(printer.ErrorText(), kMbOK | kMbExclamation);
            }
        } else if (key == QLatin1String("Home") || key == QLatin1String("Exit")) {
            timTimer->stop();
            reject();
        }
    } catch (const std::exception&) {
        // A tool that cannot act leaves the page as it is; the window stays open.
    }
}

void frmBrowser::timTimer_Timer() {
    if (brwNorvale->Busy()) {
        setWindowTitle(QStringLiteral("Working..."));
    } else {
        timTimer->stop();
        setWindowTitle(brwNorvale->LocationName());
    }
}

void frmBrowser::brwNorvale_DownloadComplete() {
    setWindowTitle(brwNorvale->LocationName());
    lblAddress->setText(brwNorvale->LocationUrl().toDisplayString());
}

void frmBrowser::OpenExternal() {
    const QUrl url = brwNorvale->LocationUrl();
    if (url.isEmpty()) return;
    if (ExternalBrowser())
        ExternalBrowser()(url);
    else
        OpenWithDesktop(url, [url](const QString&) {
            PlatformMessageBox(QStringLiteral("No web browser could be started to show %1.  "
                                              "Please open the page yourself.")
                                   .arg(url.toString()),
                               kMbOK | kMbExclamation);
        });
}

void frmBrowser::FindInPage() {
    if (!brwNorvale->find(txtFind->text())) {
        // From the top again once the end of the page is reached.
        brwNorvale->moveCursor(QTextCursor::Start);
        brwNorvale->find(txtFind->text());
    }
}

void ShowBrowser(QWidget* owner) {
    frmBrowser window(owner);
    RunAuxModal(window);
}
