#include "savefile.h"

#include <QSaveFile>
#include <QString>

void SaveFileWhole(const std::string& path, std::string_view bytes) {
    QSaveFile file(QString::fromStdString(path));
    auto fail = [&] {
        const std::string why = file.errorString().toStdString();
        file.cancelWriting();
        throw SaveFileError("Cannot write " + path + ": " + why);
    };
    // Unbuffered: commit does not report a failure of the last buffered bytes, so every byte is
    // written, and checked, before it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) fail();
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) fail();
    if (!file.commit()) {
        const std::string why = file.errorString().toStdString();
        throw SaveFileError("Cannot write " + path + ": " + why);
    }
}
