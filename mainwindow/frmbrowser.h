#pragma once
// The web-page window: one of the carrier's pages in a browser pane under a tool bar.

#include <QDialog>
#include <QSize>
#include <QUrl>
#include <cstdint>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QTimer;
class QToolBar;
class WebPane;

// The page the window opens next: 0 the carrier's home page, 1 the fuel surcharge, 2 the
// exchange rate. Set by the opener just before showing the window.
extern uint8_t gBrowserPage;

// The browser's size for a window's outer size: 485 twips narrower and 1625 twips lower, never
// below nothing however small the window is made.
QSize BrowserSizeFor(const QSize& outer);

class frmBrowser : public QDialog {
    Q_OBJECT
  public:
    explicit frmBrowser(QWidget* parent = nullptr);

    QToolBar* tbToolBar;
    WebPane* brwNorvale;
    QTimer* timTimer;
    QLabel* lblAddress;
    QLineEdit* txtFind;
    QAction* actOpenExternal;

    void Form_Load();
    // The tool bar's buttons by key: "Back", "Forward", "Stop", "Refresh", "Home", "Search",
    // "Print", "Exit". Search opens a find box over the page; Print prints the window.
    void tbToolBar_ButtonClick(const QString& key);
    void timTimer_Timer();
    void brwNorvale_DownloadComplete();
    // Hands the page's address to the desktop's own browser.
    void OpenExternal();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void SizeRule();
    void FindInPage();
};

void ShowBrowser(QWidget* owner);
// What opens an address in the desktop's browser; tests replace it. Null restores the desktop.
void SetExternalBrowser(std::function<void(const QUrl&)> open);
