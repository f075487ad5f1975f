#pragma once
// What the web module offers the web-page pane: downloads over http and https. The module
// (libfretlyn_web.so) holds Qt's network library and what it brings (Kerberos, proxies); the pane
// loads it with its first download, so that a start of the program does not.

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

// How a download ended.
struct WebResult {
    // No answer from the site, or an error with nothing to show.
    bool unreachable = false;
    QString errorText;
    QString contentType;
    QByteArray body;
};

// A download under way. Destroying it ends the download; its handler is then never called.
class WebDownload {
  public:
    virtual ~WebDownload() = default;
};

struct WebModule {
    // Starts a GET; done is called once, from the event loop, unless the download is destroyed
    // first. A download that stalls for timeoutMs ends as unreachable.
    std::unique_ptr<WebDownload> (*get)(const QUrl& url, int timeoutMs,
                                        std::function<void(const WebResult&)> done);
};

inline constexpr const char* kWebModuleFile = "libfretlyn_web.so";
inline constexpr const char* kWebModuleEntry = "FretlynWebModule";
extern "C" const WebModule* FretlynWebModule();
