#pragma once
// The embedded web browser: a text-browser pane that shows local pages (the tariff pages, the
// help) itself and fetches http and https pages over the network. It keeps its own history, says
// when it is busy, names the page shown, and tells when a download has ended. A page that cannot
// be had shows a plain page that says so, never an empty pane.
//
// The pane renders the HTML a text browser can: text, tables, links and pictures, no scripts and
// no style sheets beyond the simplest. The carrier's pages are read for a figure and typed in,
// so that is enough; "Open in your web browser" is there for anything more.

#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <memory>
#include <vector>

class QTextEdit;
class WebDownload;
struct WebResult;

// A pane that shows pages draws what a page leaves uncoloured (its text, the bullets of its
// lists, the margin around it) black on white, as a web browser does, whatever the desktop's
// palette: a page that sets only its background still reads.
void UsePaperColours(QTextEdit* pane);

class WebPane : public QTextBrowser {
    Q_OBJECT
  public:
    explicit WebPane(QWidget* parent = nullptr);
    ~WebPane() override;

    // Shows the page and adds it to the history after the page shown.
    void Navigate(const QUrl& url);
    void GoBack();
    void GoForward();
    void Refresh();
    // Ends a download under way; the page shown stays.
    void Stop();

    bool Busy() const;
    // The title of the page shown, or its address when it has none.
    QString LocationName() const;
    QUrl LocationUrl() const;
    bool CanGoBack() const { return at_ > 0; }
    bool CanGoForward() const { return at_ + 1 < static_cast<int>(history_.size()); }
    // Whether the page shown is the pane's own "cannot be reached" or "not found" page.
    bool ShowingErrorPage() const { return errorPage_; }

    // Shows the pane's own page with a heading and a text (HTML), in place of a page that
    // cannot be had.
    void ShowErrorPage(const QString& title, const QString& body);

    // Seconds a download may stall before the page counts as unreachable.
    void SetTimeoutSeconds(int seconds) { timeoutMs_ = seconds * 1000; }

  signals:
    // A download ended: the page arrived, failed, or was stopped.
    void DownloadComplete();

  private:
    void Load(const QUrl& url);
    void LoadLocal(const QUrl& url);
    void Finished(const WebResult& result);
    // Ends the download under way, if any, without a word.
    void Abandon();

    std::unique_ptr<WebDownload> download_;
    std::vector<QUrl> history_;
    int at_ = -1;
    QUrl shown_;
    bool errorPage_ = false;
    int timeoutMs_ = 20000;
};
