#include "webpane.h"

#include <QFile>
#include <QFileInfo>
#include <QPalette>
#include <QTextDocument>
#include <stdexcept>

#include "programmodule.h"
#include "webmodule.h"

namespace {
QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// Loaded with the first download; throws std::runtime_error when it cannot be.
const WebModule& Module() {
    static const WebModule* module = reinterpret_cast<const WebModule* (*)()>(
        ProgramModuleEntry(kWebModuleFile, kWebModuleEntry))();
    return *module;
}
}  // namespace

void UsePaperColours(QTextEdit* pane) {
    QPalette palette = pane->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Link, QColor(0, 0, 204));
    palette.setColor(QPalette::LinkVisited, QColor(85, 26, 139));
    pane->setPalette(palette);
}

WebPane::WebPane(QWidget* parent) : QTextBrowser(parent) {
    UsePaperColours(this);
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

WebPane::~WebPane() = default;

void WebPane::Abandon() {
    download_.reset();
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
    if (!download_) return;
    Abandon();
    emit DownloadComplete();
}

bool WebPane::Busy() const {
    return download_ != nullptr;
}

QString WebPane::LocationName() const {
    const QString title = documentTitle().trimmed();
    return title.isEmpty() ? shown_.toDisplayString() : title;
}

QUrl WebPane::LocationUrl() const {
    return shown_;
}

void WebPane::Load(const QUrl& url) {
    Abandon();
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
    try {
        download_ =
            Module().get(url, timeoutMs_, [this](const WebResult& result) { Finished(result); });
    } catch (const std::runtime_error& e) {
        ShowErrorPage(QStringLiteral("Page cannot be reached"),
                      QStringLiteral("Fretlyn cannot download web pages on this computer: %1")
                          .arg(Escaped(QString::fromStdString(e.what()))));
        emit DownloadComplete();
    }
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

void WebPane::Finished(const WebResult& result) {
    Abandon();
    if (result.unreachable) {
        ShowErrorPage(QStringLiteral("Page cannot be reached"),
                      QStringLiteral("Fretlyn could not reach <b>%1</b>.<br>(%2)<p>This computer "
                                     "may not be connected to the internet, or the carrier's "
                                     "site may be down for a moment.  Try again with Refresh, or "
                                     "use \"Open in your web browser\" to try the address in "
                                     "your desktop's own browser.")
                          .arg(Escaped(shown_.toDisplayString()), Escaped(result.errorText)));
    } else {
        errorPage_ = false;
        document()->setBaseUrl(shown_);
        if (result.contentType.startsWith(QLatin1String("text/plain")))
            setPlainText(QString::fromUtf8(result.body));
        else
            setHtml(QString::fromUtf8(result.body));
    }
    emit DownloadComplete();
}

void WebPane::ShowErrorPage(const QString& title, const QString& body) {
    errorPage_ = true;
    setHtml(QStringLiteral("<html><head><title>%1</title></head><body><h2>%1</h2><p>%2</p>"
                           "</body></html>")
                .arg(Escaped(title), body));
}
