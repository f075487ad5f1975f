// The web module: downloads through Qt's network library.

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include "webmodule.h"

namespace {

// One manager for the run, ended with the application.
QNetworkAccessManager& Network() {
    static QPointer<QNetworkAccessManager> network;
    if (!network) network = new QNetworkAccessManager(QCoreApplication::instance());
    return *network;
}

class Download : public WebDownload {
  public:
    Download(const QUrl& url, int timeoutMs, std::function<void(const WebResult&)> done)
        : done_(std::move(done)) {
        QNetworkRequest request(url);
        request.setTransferTimeout(timeoutMs);
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Fretlyn"));
        reply_ = Network().get(request);
        QObject::connect(reply_, &QNetworkReply::finished, reply_, [this] { Finished(); });
    }

    ~Download() override {
        if (!reply_) return;
        reply_->disconnect();
        reply_->abort();
        reply_->deleteLater();
    }

  private:
    void Finished() {
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        reply->deleteLater();
        WebResult result;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        result.body = reply->readAll();
        result.unreachable = !status.isValid() ||
                             (reply->error() != QNetworkReply::NoError && result.body.isEmpty());
        result.errorText = reply->errorString();
        result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        // The handler may destroy this download: nothing of it is used after the call.
        const auto done = std::move(done_);
        done(result);
    }

    QPointer<QNetworkReply> reply_;
    std::function<void(const WebResult&)> done_;
};

std::unique_ptr<WebDownload> Get(const QUrl& url, int timeoutMs,
                                 std::function<void(const WebResult&)> done) {
    return std::make_unique<Download>(url, timeoutMs, std::move(done));
}

}  // namespace

const WebModule* FretlynWebModule() {
    static const WebModule module{Get};
    return &module;
}
