#include "webpane.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextDocument>

namespace {
QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}
}  // namespace

WebPane::WebPane(QWidget* parent)
    : QTextBrowser(parent), network_(new QNetworkAccessManager(this)) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        if (link.hasFragment() && link.adjusted(QUrl::RemoveFragment).isEmpty()) {
            scrollToAnchor(link.fragment());
            return;
        }
        Navigate(shown_.resolved(link));
    });
}

WebPane::~WebPane() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void WebPane::Navigate(const QUrl& url) {
    // Showing the same page again is no step in the history.
    if (at_ >= 0 && history_[static_cast<size_t>(at_)] == url) return Load(url);
    if (at_ + 1 < static_cast<int>(history_.size())) history_.resize(static_cast<size_t>(at_ + 1));
    history_.push_back(url);
    at_ = static_cast<int>(history_.size()) - 1;
    Load(url);
}

void WebPane::GoBack() {
    if (!CanGoBack()) return;
    Load(history_[static_cast<size_t>(--at_)]);
}

void WebPane::GoForward() {
    if (!CanGoForward()) return;
    Load(history_[static_cast<size_t>(++at_)]);
}

void WebPane::Refresh() {
    if (at_ >= 0) Load(history_[static_cast<size_t>(at_)]);
}

void WebPane::Stop() {
    if (!reply_) return;
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    emit DownloadComplete();
}

bool WebPane::Busy() const {
    return reply_ != nullptr;
}

QString WebPane::LocationName() const {
    const QString title = documentTitle().trimmed();
    return title.isEmpty() ? shown_.toDisplayString() : title;
}

QUrl WebPane::LocationUrl() const {
    return shown_;
}

void WebPane::Load(const QUrl& url) {
    if (reply_) {
        QNetworkReply* old = reply_;
        reply_ = nullptr;
        old->disconnect(this);
        old->abort();
        old->deleteLater();
    }
    shown_ = url;
    if (url.isLocalFile() || url.scheme().isEmpty()) {
        LoadLocal(url);
        emit DownloadComplete();
        return;
    }
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        ShowErrorPage(QStringLiteral("Page cannot be shown"),
                      QStringLiteral("This window shows web pages and the program's own pages; "
                                     "it cannot open <b>%1</b>.")
                          .arg(Escaped(url.toDisplayString())));
        emit DownloadComplete();
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs_);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Fretlyn"));
    reply_ = network_->get(request);
    QNetworkReply* reply = reply_;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { Finished(reply); });
}

void WebPane::LoadLocal(const QUrl& url) {
    const QString path = url.isLocalFile() ? url.toLocalFile() : url.path();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        ShowErrorPage(QStringLiteral("Page not found"),
                      QStringLiteral("The page <b>%1</b> is not on this computer.  The program's "
                                     "pages may be incomplete; the carrier's help desk can send "
                                     "the missing page.")
                          .arg(Escaped(QFileInfo(path).fileName())));
        return;
    }
    errorPage_ = false;
    document()->setBaseUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath() + QLatin1Char('/')));
    setSearchPaths({QFileInfo(path).absolutePath()});
    setHtml(QString::fromUtf8(file.readAll()));
}

void WebPane::Finished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != reply_) return;
    reply_ = nullptr;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QByteArray body = reply->readAll();
    if (!status.isValid() || (reply->error() != QNetworkReply::NoError && body.isEmpty())) {
        ShowErrorPage(QStringLiteral("Page cannot be reached"),
                      QStringLiteral("Fretlyn could not reach <b>%1</b>.<br>(%2)<p>This computer "
                                     "may not be connected to the internet, or the carrier's "
                                     "site may be down for a moment.  Try again with Refresh, or "
                                     "use \"Open in your web browser\" to try the address in "
                                     "your desktop's own browser.")
                          .arg(Escaped(shown_.toDisplayString()), Escaped(reply->errorString())));
    } else {
        errorPage_ = false;
        document()->setBaseUrl(shown_);
        const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        if (type.startsWith(QLatin1String("text/plain")))
            setPlainText(QString::fromUtf8(body));
        else
            setHtml(QString::fromUtf8(body));
    }
    emit DownloadComplete();
}

void WebPane::ShowErrorPage(const QString& title, const QString& body) {
    errorPage_ = true;
    setHtml(QStringLiteral("<html><head><title>%1</title></head><body><h2>%1</h2><p>%2</p>"
                           "</body></html>")
                .arg(Escaped(title), body));
}
