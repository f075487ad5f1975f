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
    script.write("#!/bin/sh\nprintf '%s' \"$1\" > '" + QFile::encodeName(HandedFile()) + "'\n" +
                 body + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString StandInOpener::HandedFile() const {
    return bin_.filePath(QStringLiteral("handed.txt"));
}

QString StandInOpener::Handed() const {
    QFile file(HandedFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
