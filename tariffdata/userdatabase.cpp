#include "userdatabase.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <stdexcept>

#include "savefile.h"
#include "tariffdb.h"

namespace {

std::string gFolderOverride;

const QString kDatabaseName = QStringLiteral("x2007.mdb");
const QString kCurrentFile = QStringLiteral("current");
const QString kOriginFile = QStringLiteral("shipped");
const QString kSeenFile = QStringLiteral("shipped-file");

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// What a copy was made from: the shipped database's effective date and a digest of its bytes.
struct Origin {
    QString effective;
    QString stamp;
    QString Text() const {
        return QStringLiteral("effective=%1\nstamp=%2\n").arg(effective, stamp);
    }
};

QString FirstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

QString WholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

void WriteWhole(const QString& path, const QString& text) {
    SaveFileWhole(path.toStdString(), text.toStdString());
}

QString EffectiveDate() {
    return FirstLine(Q(AppFolder()) + QStringLiteral("data/effdate.dat"));
}

// Reading the whole shipped database for its digest costs tens of milliseconds, more than the
// rest of the start; its size and time of change, noted beside the copy once the digest
// matched, tell when it cannot have changed since. A file changed in the last seconds gets no
// such note: the file system's clock is coarse, so a second change within the same tick would
// keep the time (the next start then reads the file again).
QString FileSignature(const QString& path) {
    const QFileInfo info(path);
    return QStringLiteral("size=%1\nmodified=%2\n")
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch());
}

void NoteSignature(const QString& note, const QString& shipped) {
    const QFileInfo info(shipped);
    if (info.lastModified().secsTo(QDateTime::currentDateTime()) < 3) return;
    WriteWhole(note, FileSignature(shipped));
}

Origin ShippedOrigin(const QString& shipped) {
    QFile file(shipped);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("The tariff database " + shipped.toStdString() +
                                 " cannot be read: " + file.errorString().toStdString());
    QCryptographicHash digest(QCryptographicHash::Sha256);
    if (!digest.addData(&file))
        throw std::runtime_error("The tariff database " + shipped.toStdString() +
                                 " cannot be read: " + file.errorString().toStdString());
    return {EffectiveDate(), QString::fromLatin1(digest.result().toHex())};
}

// "tariff-2007-03-19-1a2b3c4d", and "-2", "-3" … when a copy of that name is there already
// (an edition the user came back to: its old copy stays as it was).
QString NewCopyName(const QDir& folder, const Origin& origin) {
    const QDate date = QLocale::c().toDate(origin.effective, QStringLiteral("MMMM d, yyyy"));
    const QString base =
        QStringLiteral("tariff-%1-%2")
            .arg(date.isValid() ? date.toString(Qt::ISODate) : QStringLiteral("undated"),
                 origin.stamp.left(8));
    QString name = base;
    for (int n = 2; folder.exists(name); ++n) name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

// Copies the shipped database into a new subfolder and makes it the copy in use. A copy that
// fails leaves no half-written database behind and the copy in use as it was.
QString MakeCopy(const QDir& folder, const QString& shipped, const Origin& origin) {
    if (!QDir().mkpath(folder.path()))
        throw std::runtime_error("Cannot create the folder " + folder.path().toStdString());
    const QString name = NewCopyName(folder, origin);
    if (!folder.mkdir(name))
        throw std::runtime_error("Cannot create the folder " + folder.filePath(name).toStdString());
    const QDir copyFolder(folder.filePath(name));
    const QString partial = copyFolder.filePath(kDatabaseName + QStringLiteral(".part"));
    const QString target = copyFolder.filePath(kDatabaseName);
    QFile source(shipped);
    try {
        if (!source.copy(partial))
            throw std::runtime_error("Cannot copy " + shipped.toStdString() + " to " +
                                     partial.toStdString() + ": " +
                                     source.errorString().toStdString());
        // The shipped file may be read-only (an installed copy); the user's copy never is.
        QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner);
        if (!QFile::rename(partial, target))
            throw std::runtime_error("Cannot rename " + partial.toStdString() + " to " +
                                     target.toStdString());
        WriteWhole(copyFolder.filePath(kOriginFile), origin.Text());
        NoteSignature(copyFolder.filePath(kSeenFile), shipped);
        WriteWhole(folder.filePath(kCurrentFile), name + QLatin1Char('\n'));
    } catch (...) {
        // Only what this attempt made is taken away; the folder held nothing before it.
        QFile::remove(partial);
        QFile::remove(target);
        QFile::remove(copyFolder.filePath(kOriginFile));
        QFile::remove(copyFolder.filePath(kSeenFile));
        folder.rmdir(name);
        throw;
    }
    return target;
}

}  // namespace

std::string UserDataFolder() {
    if (!gFolderOverride.empty()) return gFolderOverride;
    const QString named = qEnvironmentVariable("FRETLYN_DATA_DIR");
    if (!named.isEmpty()) return named.toStdString();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
}

void SetUserDataFolder(const std::string& folder) {
    gFolderOverride = folder;
}

UserDatabaseStart PrepareUserDatabase() {
    const QString shipped = Q(AppFolder()) + QStringLiteral("data/") + kDatabaseName;
    const QDir folder(Q(UserDataFolder()));

    UserDatabaseStart start;
    const QString current = FirstLine(folder.filePath(kCurrentFile));
    const QString currentDb =
        current.isEmpty() ? QString() : folder.filePath(current + QLatin1Char('/') + kDatabaseName);
    const QString copyFolder = folder.filePath(current);
    const QString made = WholeFile(copyFolder + QLatin1Char('/') + kOriginFile);
    const QString signature = FileSignature(shipped);
    const bool copyThere = !currentDb.isEmpty() && QFileInfo::exists(currentDb);
    if (copyThere && made.startsWith(QStringLiteral("effective=") + EffectiveDate() + '\n') &&
        WholeFile(copyFolder + QLatin1Char('/') + kSeenFile) == signature) {
        start.path = currentDb.toStdString();
        SetTariffDatabasePath(start.path);
        return start;
    }

    const Origin origin = ShippedOrigin(shipped);
    if (copyThere) {
        if (made == origin.Text()) {
            // Same contents under a new time of change (a rebuild): note it so the next start
            // need not read the file again. A note that cannot be written only costs that read.
            try {
                NoteSignature(copyFolder + QLatin1Char('/') + kSeenFile, shipped);
            } catch (const std::exception&) {
            }
            start.path = currentDb.toStdString();
            SetTariffDatabasePath(start.path);
            return start;
        }
        start.previous = currentDb.toStdString();
    }

    try {
        start.path = MakeCopy(folder, shipped, origin).toStdString();
    } catch (const std::exception& e) {
        if (start.previous.empty()) throw;
        start.path = start.previous;
        start.notice = "The new tariff (rates effective " + origin.effective.toStdString() +
                       ") could not be set up: " + e.what() +
                       "\n\nFretlyn goes on with your database " + start.previous +
                       ", which holds the earlier tariff.";
        start.previous.clear();
        SetTariffDatabasePath(start.path);
        return start;
    }
    if (!start.previous.empty())
        start.notice =
            "The tariff has been updated: rates effective " + origin.effective.toStdString() +
            ".\n\nFretlyn now works on a fresh copy of the new tariff database:\n" + start.path +
            "\n\nYour previous database is kept unchanged:\n" + start.previous;
    SetTariffDatabasePath(start.path);
    return start;
}
