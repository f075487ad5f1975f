#include "pdfreader.h"

#include <QString>
#include <QUrl>

namespace {
PdfReader& Installed() {
    static PdfReader reader;
    return reader;
}
}  // namespace

bool OpenInPdfReader(const std::string& path, OpenFailure onFailure) {
    if (Installed()) return Installed()(path);
    OpenWithDesktop(QUrl::fromLocalFile(QString::fromStdString(path)), std::move(onFailure));
    return true;
}

void SetPdfReader(PdfReader reader) {
    Installed() = std::move(reader);
}
