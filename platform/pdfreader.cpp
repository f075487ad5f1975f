#include "pdfreader.h"

#include <QString>
#include <QUrl>

#include "desktopopen.h"

namespace {
PdfReader& Installed() {
    static PdfReader reader;
    return reader;
}
}  // namespace

bool OpenInPdfReader(const std::string& path) {
    if (Installed()) return Installed()(path);
    return OpenWithDesktop(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void SetPdfReader(PdfReader reader) {
    Installed() = std::move(reader);
}
