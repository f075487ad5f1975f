#include "pdfreader.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace {
PdfReader& Installed() {
    static PdfReader reader;
    return reader;
}
}  // namespace

bool OpenInPdfReader(const std::string& path) {
    if (Installed()) return Installed()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void SetPdfReader(PdfReader reader) {
    Installed() = std::move(reader);
}
