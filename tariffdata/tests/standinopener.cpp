#include "standinopener.h"

#include <QFile>
#include <stdexcept>

StandInOpener::StandInOpener(const char* body) : path_(qgetenv("PATH")) {
    SetBody(body);
    qputenv("PATH", QFile::encodeName(bin_.path()) + ":" + path_);
}

StandInOpener::~StandInOpener() {
    qputenv("PATH", path_);
}

void StandInOpener::SetBody(const char* body) {
    QFile script(bin_.filePath(QStringLiteral("xdg-open")));
    if (!script.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the stand-in xdg-open");
    script.write(QByteArray("#!/bin/sh\n") + body + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
