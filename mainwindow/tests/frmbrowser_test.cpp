#include "frmbrowser.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageLayout>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <map>

#include "carrierweb.h"
#include "messagebox.h"
#include "standinopener.h"
#include "textprinter.h"
#include "webpane.h"

namespace {

// A web server on loopback that answers the carrier's three pages and holds "/slow" until told.
class LocalServer {
  public:
    LocalServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, [this, s] { Request(s); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
    // Request targets as they arrived: path and query.
    std::vector<std::string> requests;
    void ReleaseSlow() {
        for (auto& s : held_)
            if (s) Answer(s, QStringLiteral("Slow Page"));
        held_.clear();
    }

  private:
    void Request(QTcpSocket* s) {
        const QByteArray head = s->readAll();
        const QList<QByteArray> parts = head.left(head.indexOf('\r')).split(' ');
        if (parts.size() < 2) return;
        const std::string target = parts[1].toStdString();
        requests.push_back(target);
        static const std::map<std::string, QString> kPages = {
            {"/", QStringLiteral("Norvale Freight Home")},
            {"/scripts/navqtools.asp?Dest=Exchange", QStringLiteral("Exchange Rate")},
            {"/scripts/NavQTools.asp?dest=fuelcharge", QStringLiteral("Fuel Surcharge")},
            {"/next.htm", QStringLiteral("Second Page")}};
        if (target == "/slow") {
            held_.push_back(s);
            return;
        }
        const auto it = kPages.find(target);
        Answer(s, it == kPages.end() ? QStringLiteral("Not Here") : it->second);
    }
    static void Answer(QTcpSocket* s, const QString& title) {
        const QByteArray body = QStringLiteral(
                                    "<html><head><title>%1</title></head><body><p>%1"
                                    "</p><a href=\"/next.htm\">next</a></body></html>")
                                    .arg(title)
                                    .toUtf8();
        s->write(
            "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n"
            "Content-Length: " +
            QByteArray::number(body.size()) + "\r\n\r\n" + body);
        s->flush();
        s->disconnectFromHost();
    }
    QTcpServer server_;
    std::vector<QPointer<QTcpSocket>> held_;
};

class BrowserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        messageScript.Reset();
        messageScript.Start();
        carrierSites() = {server.Base(), server.Base()};
        gBrowserPage = 0;
    }
    void TearDown() override {
        carrierSites() = DefaultCarrierSites();
        SetExternalBrowser(nullptr);
        messageScript.Reset();
    }
    static bool Settle(frmBrowser& w) {
        return QTest::qWaitFor([&] { return !w.brwNorvale->Busy(); }, 10000);
    }
    LocalServer server;
};

TEST_F(BrowserTest, EachPageSelectorOpensItsPageAndTheTitleFollowsIt) {
    const std::pair<int, const char*> kPages[] = {
        {0, "Norvale Freight Home"}, {1, "Fuel Surcharge"}, {2, "Exchange Rate"}};
    for (const auto& [page, title] : kPages) {
        gBrowserPage = static_cast<uint8_t>(page);
        frmBrowser w;
        EXPECT_EQ(w.windowTitle(), "Welcome to the Norvale WebSite!");
        EXPECT_TRUE(w.brwNorvale->Busy());
        ASSERT_TRUE(Settle(w));
        EXPECT_EQ(w.windowTitle(), title);
        EXPECT_TRUE(w.brwNorvale->toPlainText().contains(title));
    }
    EXPECT_EQ(server.requests,
              (std::vector<std::string>{"/", "/scripts/NavQTools.asp?dest=fuelcharge",
                                        "/scripts/navqtools.asp?Dest=Exchange"}));
    EXPECT_TRUE(messageScript.Log().empty());
}

TEST(CarrierAddresses, TheFuelSurchargeIsAskedForOverAnEncryptedLinkAndTheOthersNot) {
    carrierSites() = DefaultCarrierSites();
    const QUrl fuel = BrowserPageUrl(1);
    EXPECT_EQ(fuel.scheme(), "https");
    EXPECT_EQ(fuel.path(), "/scripts/NavQTools.asp");
    EXPECT_EQ(fuel.query(), "dest=fuelcharge");
    const QUrl exchange = BrowserPageUrl(2);
    EXPECT_EQ(exchange.scheme(), "http");
    EXPECT_EQ(exchange.host(), "www.norvalefreight.example");
    EXPECT_EQ(exchange.path(), "/scripts/navqtools.asp");
    EXPECT_EQ(exchange.query(), "Dest=Exchange");
    EXPECT_EQ(BrowserPageUrl(0).toString(), "http://www.norvalefreight.example/");
    EXPECT_TRUE(BrowserPageUrl(3).isEmpty());
}

TEST_F(BrowserTest, AnyOtherSelectorOpensAnEmptyBrowserWithoutAMessage) {
    gBrowserPage = 3;
    frmBrowser w;
    EXPECT_FALSE(w.brwNorvale->Busy());
    EXPECT_TRUE(w.brwNorvale->toPlainText().isEmpty());
    EXPECT_EQ(w.windowTitle(), "Welcome to the Norvale WebSite!");
    EXPECT_TRUE(server.requests.empty());
    EXPECT_TRUE(messageScript.Log().empty());
}

TEST_F(BrowserTest, AnUnreachablePageSaysSoAndCanGoToTheDesktopBrowser) {
    carrierSites().mainSite = QStringLiteral("http://127.0.0.1:1");
    frmBrowser w;
    ASSERT_TRUE(Settle(w));
    EXPECT_TRUE(w.brwNorvale->ShowingErrorPage());
    EXPECT_EQ(w.windowTitle(), "Page cannot be reached");
    EXPECT_TRUE(w.brwNorvale->toPlainText().contains("http://127.0.0.1:1/"));
    QUrl handed;
    SetExternalBrowser([&](const QUrl& url) { handed = url; });
    w.actOpenExternal->trigger();
    EXPECT_EQ(handed, QUrl("http://127.0.0.1:1/"));
}

TEST_F(BrowserTest, ADesktopWithoutABrowserIsReportedNotPassedOverInSilence) {
    StandInOpener opener("exit 3");
    frmBrowser w;
    ASSERT_TRUE(Settle(w));
    w.actOpenExternal->trigger();
    // Said once the opener has ended, not waited for.
    ASSERT_TRUE(QTest::qWaitFor([] { return !messageScript.Log().empty(); }, 5000));
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_TRUE(messageScript.Log()[0].text.contains(server.Base() + "/"));
    EXPECT_TRUE(messageScript.Log()[0].text.startsWith("No web browser could be started"));
}

// A browser run in the foreground keeps xdg-open busy until it is closed; the window never
// waits for it.
TEST_F(BrowserTest, ABrowserThatNeverReturnsLeavesTheWindowResponsive) {
    StandInOpener opener("exec sleep 30");
    frmBrowser w;
    w.show();
    ASSERT_TRUE(Settle(w));
    QWidget* button = w.tbToolBar->widgetForAction(w.actOpenExternal);
    ASSERT_NE(button, nullptr);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opener.Handed().isEmpty(); }, 5000));
    EXPECT_EQ(opener.Handed(), server.Base() + "/");
    // The window still answers the keyboard: Escape closes it at once.
    w.activateWindow();
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 1000));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(messageScript.Log().empty());
}

TEST_F(BrowserTest, TheToolBarWorksTheHistoryAndTheTitleShowsWorkingWhileBusy) {
    frmBrowser w;
    ASSERT_TRUE(Settle(w));
    w.brwNorvale->Navigate(QUrl(server.Base() + "/next.htm"));
    ASSERT_TRUE(Settle(w));
    EXPECT_EQ(w.windowTitle(), "Second Page");
    w.tbToolBar_ButtonClick("Back");
    ASSERT_TRUE(Settle(w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.timTimer->isActive(); }, 5000));
    EXPECT_EQ(w.windowTitle(), "Norvale Freight Home");
    w.tbToolBar_ButtonClick("Forward");
    ASSERT_TRUE(Settle(w));
    EXPECT_EQ(w.brwNorvale->LocationUrl().path(), "/next.htm");
    // Back with no earlier page, or an unknown key, leaves the window as it is.
    w.tbToolBar_ButtonClick("Back");
    w.tbToolBar_ButtonClick("Back");
    w.tbToolBar_ButtonClick("Nothing");
    ASSERT_TRUE(Settle(w));
    EXPECT_EQ(w.brwNorvale->LocationUrl().path(), "/");

    // A slow page: "Working..." while it loads, and Stop names the page at once.
    w.brwNorvale->Navigate(QUrl(server.Base() + "/slow"));
    w.tbToolBar_ButtonClick("Refresh");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.windowTitle() == "Working..."; }, 5000));
    EXPECT_TRUE(w.timTimer->isActive());
    w.tbToolBar_ButtonClick("Stop");
    EXPECT_FALSE(w.timTimer->isActive());
    EXPECT_FALSE(w.brwNorvale->Busy());
    EXPECT_NE(w.windowTitle(), "Working...");
    server.ReleaseSlow();
}

TEST_F(BrowserTest, HomeAndExitCloseTheWindowAndLeaveTheSelector) {
    gBrowserPage = 2;
    for (const char* key : {"Home", "Exit"}) {
        frmBrowser w;
        w.show();
        ASSERT_TRUE(Settle(w));
        w.tbToolBar_ButtonClick(key);
        EXPECT_FALSE(w.isVisible()) << key;
        EXPECT_EQ(gBrowserPage, 2);
    }
}

TEST_F(BrowserTest, SearchFindsAWordInThePageAndPrintPrintsTheWindow) {
    frmBrowser w;
    w.show();
    ASSERT_TRUE(Settle(w));
    QAction* search = w.tbToolBar->findChild<QAction*>("Search");
    ASSERT_NE(search, nullptr);
    search->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.txtFind->isVisibleTo(&w); }, 2000));
    w.txtFind->setText("Home");
    emit w.txtFind->returnPressed();
    EXPECT_EQ(w.brwNorvale->textCursor().selectedText(), "Home");
    // Past the last one it starts from the top again.
    emit w.txtFind->returnPressed();
    emit w.txtFind->returnPressed();
    EXPECT_EQ(w.brwNorvale->textCursor().selectedText(), "Home");

    QTemporaryDir dir;
    const QString pdf = dir.filePath("window.pdf");
    SetPrinterChooser(ChoosePdfFile(pdf));
    w.tbToolBar_ButtonClick("Print");
    SetPrinterChooser(nullptr);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_TRUE(messageScript.Log().empty());
    EXPECT_TRUE(w.isVisible());  // printing does not close the window
}

// A window wider and taller than the page prints whole: its picture fills the printable area
// one way and keeps its proportions.
TEST_F(BrowserTest, PrintScalesTheWindowToThePrintablePage) {
    frmBrowser w;
    w.show();
    w.resize(1400, 1000);
    ASSERT_TRUE(Settle(w));
    const QSize picture = w.grab().size();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("wide.pdf");
    QRectF area;  // the printable area, in inches
    SetPrinterChooser([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        area = printer.pageLayout().paintRect(QPageLayout::Inch);
        return PrinterChoice::Chosen;
    });
    QAction* print = w.tbToolBar->findChild<QAction*>("Print");
    ASSERT_NE(print, nullptr);
    QWidget* button = w.tbToolBar->widgetForAction(print);
    ASSERT_NE(button, nullptr);
    QTest::mouseMove(button, QPoint(3, 3));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    SetPrinterChooser(nullptr);
    ASSERT_FALSE(area.isEmpty());

    // The picture's size on paper, from its pixels and the resolution it was placed at.
    QProcess list;
    list.start("pdfimages", {"-list", pdf});
    ASSERT_TRUE(list.waitForFinished(30000));
    const QStringList rows = QString::fromUtf8(list.readAllStandardOutput()).split('\n');
    ASSERT_GE(rows.size(), 3) << rows.join('\n').toStdString();
    const QStringList f = rows[2].simplified().split(' ');
    ASSERT_GE(f.size(), 14) << rows[2].toStdString();
    const double width = f[3].toDouble() / f[12].toDouble();
    const double height = f[4].toDouble() / f[13].toDouble();
    EXPECT_EQ(f[3].toInt(), picture.width());
    EXPECT_LE(width, area.width() + 0.05);
    EXPECT_LE(height, area.height() + 0.05);
    EXPECT_TRUE(std::abs(width - area.width()) < 0.05 || std::abs(height - area.height()) < 0.05)
        << width << " x " << height << " on " << area.width() << " x " << area.height();
    EXPECT_NEAR(width / height, double(picture.width()) / picture.height(), 0.01);
}

TEST(BrowserSize, TheBrowserKeepsItsMarginsAndNeverGoesBelowNothing) {
    // 485 twips are 32 pixels, 1625 twips 108.
    EXPECT_EQ(BrowserSizeFor(QSize(800, 600)), QSize(768, 492));
    EXPECT_EQ(BrowserSizeFor(QSize(100, 100)), QSize(68, 0));
    EXPECT_EQ(BrowserSizeFor(QSize(20, 20)), QSize(0, 0));
    gBrowserPage = 3;
    frmBrowser w;
    w.show();
    w.resize(640, 480);
    EXPECT_EQ(w.brwNorvale->width(), w.frameGeometry().width() - 32);
    EXPECT_EQ(w.brwNorvale->height(), w.frameGeometry().height() - 108);
    EXPECT_GE(w.brwNorvale->y(), w.tbToolBar->height());
}

}  // namespace
