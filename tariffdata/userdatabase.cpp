#include "userdatabase.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "binaryfile.h"
#include "fileerror.h"
#include "savefile.h"
#include "settings.h"
#include "tariffdb.h"

namespace {

std::string gFolderOverride;

const QString kDatabaseName = QStringLiteral("x2007.mdb");
const QString kCurrentFile = QStringLiteral("current");
const QString kOriginFile = QStringLiteral("shipped");
const QString kSeenFile = QStringLiteral("shipped-file");
const QString kPreviousFile = QStringLiteral("previous");
const QString kDamagedName = QStringLiteral("x2007-damaged");
const QString kDamageNote = QStringLiteral("damaged");
const QString kCustomerNote = QStringLiteral("customer-tables");
// The offer that followed the copy's making, until the user has answered it.
const QString kOfferNote = QStringLiteral("unanswered");

// The customer's own pricing and bills: the tables the upgrade window copies from an earlier
// database, in its two groups.
const char* const kPricingTables[] = {"shipzips", "states", "discounts", "faktable"};
const char* const kBillTables[] = {"Bills", "BL Notes", "BL parties", "BLdetail", "Commodity"};

// The platform's run-time error numbers for a full disk and a refused write.
constexpr int kDiskFull = 61;
constexpr int kPermissionDenied = 70;

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

// A note is a line or a few: one much larger is damage, and read whole it would hold every
// start for as long as reading it takes (seconds and gigabytes for a note of a gigabyte).
constexpr size_t kNoteBytesMost = 8 * 1024;

// A note beside the copies, or "" when it cannot be read. Only a regular file is read: a named
// pipe in its place would hold the start for good, and is taken for a lost note instead. A note
// larger than any the program writes is taken for a damaged one, unread.
QString WholeFile(const QString& path) {
    try {
        return QString::fromStdString(
            ReadRegularFile(path.toStdString(), "The note", kNoteBytesMost));
    } catch (const std::exception&) {
        return {};
    }
}

QString FirstLine(const QString& path) {
    return WholeFile(path).section(QLatin1Char('\n'), 0, 0).trimmed();
}

void WriteWhole(const QString& path, const QString& text) {
    SaveFileWhole(path.toStdString(), text.toStdString());
}

// Read before any copy is made: a missing or damaged date file ends the start with nothing set
// up for it.
QString EffectiveDate() {
    return Q(ReadEffectiveDate()).trimmed();
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

// The shipped database is one of the tariff's files: read only when it is a regular file, since
// a named pipe in its place would hold the start for good.
Origin ShippedOrigin(const QString& shipped) {
    QFile file;
    const int fd = OpenRegularFile(shipped.toStdString(), "The tariff database");
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw std::runtime_error("The tariff database " + shipped.toStdString() +
                                 " cannot be read: " + file.errorString().toStdString());
    }
    QCryptographicHash digest(QCryptographicHash::Sha256);
    if (!digest.addData(&file))
        throw std::runtime_error("The tariff database " + shipped.toStdString() +
                                 " cannot be read: " + file.errorString().toStdString());
    return {EffectiveDate(), QString::fromLatin1(digest.result().toHex())};
}

// The date part of a copy's name: "2007-03-19".
QString NamedDate(const QString& effective) {
    const QDate date = QLocale::c().toDate(effective, QStringLiteral("MMMM d, yyyy"));
    return date.isValid() ? date.toString(Qt::ISODate) : QStringLiteral("undated");
}

// What a copy's note says it was made from, when the note reads as one.
std::optional<Origin> NotedOrigin(const QString& note) {
    static const QRegularExpression kNote(
        QStringLiteral("\\Aeffective=([^\\n]*)\\nstamp=([0-9a-f]{64})\\n\\z"));
    const QRegularExpressionMatch match = kNote.match(note);
    if (!match.hasMatch()) return std::nullopt;
    return Origin{match.captured(1), match.captured(2)};
}

// Whether a copy's name gives the edition it was made from (the name carries its date and the
// start of its stamp), and whether that edition is `origin`.
bool NameGivesEdition(const QString& copy) {
    static const QRegularExpression kName(
        QStringLiteral("\\Atariff-(\\d{4}-\\d{2}-\\d{2}|undated)-[0-9a-f]{8}(-\\d+)?\\z"));
    return kName.match(copy).hasMatch();
}
bool NameFits(const QString& copy, const Origin& origin) {
    return copy.startsWith(QStringLiteral("tariff-") + NamedDate(origin.effective) +
                           QLatin1Char('-') + origin.stamp.left(8));
}

// The note beside a copy stands for what it was made from only when it reads as a note and
// agrees with the copy's name: a damaged note is no new edition.
bool NoteIsSound(const QString& copy, const QString& note) {
    const std::optional<Origin> noted = NotedOrigin(note);
    return noted && (!NameGivesEdition(copy) || NameFits(copy, *noted));
}

// "tariff-2007-03-19-1a2b3c4d", and "-2", "-3" … when a copy of that name is there already
// (an edition the user came back to: its old copy stays as it was).
QString NewCopyName(const QDir& folder, const Origin& origin) {
    const QString base =
        QStringLiteral("tariff-%1-%2").arg(NamedDate(origin.effective), origin.stamp.left(8));
    QString name = base;
    for (int n = 2; folder.exists(name); ++n) name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

// A step of setting up a copy that the system refused, said as the user can act on it: a full
// disk and a folder that may not be written are named as such, with the system's own words.
FileError SetUpFailure(int error, const QString& file) {
    const std::string path = file.toStdString();
    const std::string folder = QFileInfo(file).absolutePath().toStdString();
    const std::string system = SystemReason(error);
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            // Named by the folder the user knows, not the new copy's own.
            return FileError(kDiskFull, "the disk holding the folder " + UserDataFolder() +
                                            " is full (" + system + ").  Free some space on it");
        case EFBIG:
            return FileError(kDiskFull, "the file " + path +
                                            " would be larger than this system lets a file be (" +
                                            system + ").  Make room for it");
        case EACCES:
        case EPERM:
        case EROFS:
            return FileError(kPermissionDenied, "the folder " + folder + " cannot be written (" +
                                                    system + ").  Make it writable for this user");
        default:
            return FileError(
                FileError::kPathFileAccess,
                "the file " + path + " cannot be written (" + system + ").  Put that right");
    }
}

// The folder a new folder goes in is the one that must be writable.
void MakeFolder(const QString& path) {
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0) throw SetUpFailure(errno, path);
}

// The shipped database's bytes into a new file, through the system's calls so that a full disk
// is told as one (the toolkit's copy gives no reason).
void CopyBytes(const QString& from, const QString& to) {
    const int in = OpenRegularFile(QFile::encodeName(from).toStdString(), "The tariff database");
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closeIn{in};
    const int out =
        ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) throw SetUpFailure(errno, to);
    int error = 0;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int readError = errno;
            ::close(out);
            throw std::runtime_error("The tariff database " + from.toStdString() +
                                     " cannot be read: " + SystemReason(readError));
        }
        if (got == 0) break;
        for (ssize_t done = 0; done < got && error == 0;) {
            const ssize_t put = ::write(out, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0)
                error = errno;
            else
                done += put;
        }
        if (error) break;
    }
    if (error == 0 && ::fsync(out) != 0) error = errno;
    if (::close(out) != 0 && error == 0) error = errno;
    if (error) throw SetUpFailure(error, to);
}

using Settings = std::vector<std::pair<std::string, std::string>>;

// The user's own settings as a copy holds them; an error when they cannot be read. The table is
// read row by row, never through its index: a damaged copy may have lost the index while its
// rows read whole. A key held twice (an index lost, a row added) counts once, as first stored.
Settings ReadUserSettings(const QString& database) {
    Database db(database.toStdString(), true);
    std::map<QString, std::string> stored;
    for (Snapshot row =
             db.OpenSnapshot("SELECT keyf, valuef FROM tblConfig NOT INDEXED ORDER BY rowid");
         !row.AtEOF(); row.MoveNext())
        stored.emplace(Q(row.Field(size_t{0}).str()).toCaseFolded(), row.Field(size_t{1}).str());
    Settings settings;
    for (const char* key : kUserSettingKeys) {
        const auto found = stored.find(QString::fromLatin1(key).toCaseFolded());
        if (found != stored.end()) settings.emplace_back(key, found->second);
    }
    return settings;
}

// The customer's tables as a database holds them, row by row: one digest of them all and one
// of each group. A copy whose tables still read as they did when it was made holds nothing of
// the customer's; one whose pricing alone reads otherwise holds the customer's pricing only.
struct CustomerDigests {
    QString all, pricing, bills;
    // The note beside a copy: the digest of them all on its first line, as copies made before
    // the groups were told apart have it, then the groups'.
    QString Note() const {
        return all + QStringLiteral("\npricing=") + pricing + QStringLiteral("\nbills=") + bills +
               QLatin1Char('\n');
    }
};

CustomerDigests CustomerTablesDigests(Database& db) {
    QCryptographicHash all(QCryptographicHash::Sha256);
    auto digestOf = [&](const auto& tables) {
        QCryptographicHash group(QCryptographicHash::Sha256);
        auto add = [&](const std::string& text, char end) {
            for (QCryptographicHash* digest : {&all, &group}) {
                digest->addData(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
                digest->addData(QByteArrayView(&end, 1));
            }
        };
        for (const char* table : tables) {
            add(table, '\x1d');
            Snapshot rows =
                db.OpenSnapshot("SELECT * FROM " + QuoteIdentifier(table) + " ORDER BY rowid");
            for (; !rows.AtEOF(); rows.MoveNext()) {
                for (size_t field = 0; field < rows.FieldNames().size(); ++field)
                    add(rows.Field(field).str(), '\x1f');
                add({}, '\x1e');
            }
        }
        return QString::fromLatin1(group.result().toHex());
    };
    CustomerDigests digests;
    digests.pricing = digestOf(kPricingTables);
    digests.bills = digestOf(kBillTables);
    digests.all = QString::fromLatin1(all.result().toHex());
    return digests;
}

// Writes the settings into a fresh copy, in one transaction; returns those it holds a row for.
// `customer` receives the note of the copy's customer tables as made, empty when they cannot
// be read (the copy then counts as holding the customer's data, which nothing can tell apart).
Settings WriteUserSettings(const QString& database, const Settings& settings, QString& customer) {
    Database db(database.toStdString());
    try {
        customer = CustomerTablesDigests(db).Note();
    } catch (const DbError&) {
        customer.clear();
    }
    Settings written;
    db.BeginTrans();
    try {
        for (const auto& [key, value] : settings)
            if (db.Execute("UPDATE tblConfig SET valuef = ? WHERE keyf = ?", {value, key}) > 0)
                written.emplace_back(key, value);
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        throw;
    }
    return written;
}

// The carried settings in words, with the figures a user would check.
std::string CarriedSettingsText(const Settings& carried, const std::string& unread) {
    if (!unread.empty())
        return "Your own settings (the fuel surcharge, the exchange rate, the default origin and "
               "classes, the batch rate test's folder and the bill-of-lading print settings) could "
               "not be read from it (" +
               unread + "), so they start as the new tariff ships them.";
    const std::map<std::string, std::string> value(carried.begin(), carried.end());
    auto shown = [&](const std::string& key) {
        const std::string& v = value.at(key);
        return v.empty() ? std::string() : " (" + v + ")";
    };
    std::vector<std::string> said;
    if (value.count("FSC_fsc"))
        said.push_back("the fuel surcharge (" + value.at("FSC_fsc") + " %)");
    if (value.count("CDN_ExchangeRate"))
        said.push_back("the exchange rate" + shown("CDN_ExchangeRate"));
    if (value.count("DC_origin")) said.push_back("the default origin" + shown("DC_origin"));
    std::string classes;
    for (int box = 0; box < 5; ++box) {
        const auto it = value.find("DC_defclass" + std::to_string(box));
        if (it != value.end()) classes += (classes.empty() ? "" : ", ") + it->second;
    }
    if (!classes.empty()) said.push_back("the default classes (" + classes + ")");
    if (value.count("PONY_folder"))
        said.push_back("the batch rate test's folder" + shown("PONY_folder"));
    const bool billPrint = std::any_of(carried.begin(), carried.end(), [](const auto& setting) {
        return setting.first.rfind("BL_", 0) == 0;
    });
    if (billPrint) said.push_back("the bill-of-lading print settings");
    if (said.empty()) return "It held none of your own settings to carry over.";
    std::string list;
    for (size_t i = 0; i < said.size(); ++i)
        list += (i == 0 ? "" : i + 1 == said.size() ? " and " : ", ") + said[i];
    return "Your own settings were carried over from it: " + list +
           ".  The carrier's settings (floors, default discounts, the Alaska, Hawaii and Puerto "
           "Rico surcharges, density, version) are the new tariff's.";
}

// A fresh copy and what became of the user's settings on the way.
struct Copy {
    QString path;
    QString customer;  // the note of its customer tables as made
    Settings carried;
    std::string unread;  // why the earlier copy's settings could not be read, if they could not
};

// What a fresh copy that takes an earlier one's place tells the user, from the copy as made.
using NoticeOf = std::function<std::string(const Copy&)>;

// The shipped database as copied, read through before anything is written into it: damage
// found there is the shipped file's, which the user mends by installing the tariff again (the
// copy, named in the engine's words, is a temporary file that is gone by the time they read).
void CheckShippedCopy(const QString& copy, const QString& shipped) {
    bool sound = false;
    try {
        Database db(copy.toStdString(), true);
        Snapshot check = db.OpenSnapshot("PRAGMA quick_check(1)");
        sound = !check.AtEOF() && check.Field(size_t{0}).str() == "ok";
    } catch (const DbError& e) {
        if (e.number() != kErrDamaged && e.number() != kErrNotTariffDatabase) throw;
    }
    if (sound) {
        Database db(copy.toStdString(), true);
        Snapshot settings = db.OpenSnapshot(
            "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'tblConfig'");
        sound = !settings.AtEOF() && settings.Field(size_t{0}).toInt() == 1;
    }
    if (!sound)
        throw FileError(kErrDamaged, "the tariff database " + shipped.toStdString() +
                                         " is damaged.  Install the tariff again");
}

// The note of an offer not yet answered holds what the start told; one too long for a note
// holds nothing, and the next start tells it in fewer words.
void NoteUnansweredOffer(const QString& note, const std::string& notice) {
    WriteWhole(note, notice.size() < kNoteBytesMost ? Q(notice) : QString());
}

std::string UpdateNotice(const std::string& effective, const std::string& path,
                         const std::string& previous) {
    return "The tariff has been updated: rates effective " + effective +
           ".\n\nFretlyn now works on a fresh copy of the new tariff database:\n" + path +
           "\n\nYour previous database is kept unchanged:\n" + previous;
}

std::string SetAsideNotice(const std::string& damaged, const std::string& aside,
                           const std::string& path) {
    return "The damaged database " + damaged + " has been set aside, unchanged, as\n" + aside +
           "\n\nFretlyn now works on a fresh copy of the tariff database:\n" + path;
}

// Copies the shipped database into a new subfolder and makes it the copy in use, with the
// user's own settings of the earlier copy, when there is one. A copy that fails leaves no
// half-written database behind and the copy in use as it was.
Copy MakeCopy(const QDir& folder, const QString& shipped, const Origin& origin,
              const QString& earlier, const NoticeOf& notice = {}) {
    if (!folder.exists()) {
        if (!QDir().mkpath(QFileInfo(folder.path()).absolutePath()))
            throw SetUpFailure(EACCES, folder.path());
        MakeFolder(folder.path());
    }
    const QString name = NewCopyName(folder, origin);
    MakeFolder(folder.filePath(name));
    const QDir copyFolder(folder.filePath(name));
    const QString partial = copyFolder.filePath(kDatabaseName + QStringLiteral(".part"));
    Copy copy{copyFolder.filePath(kDatabaseName), {}, {}, {}};
    try {
        CopyBytes(shipped, partial);
        CheckShippedCopy(partial, shipped);
        Settings settings;
        if (!earlier.isEmpty()) {
            try {
                settings = ReadUserSettings(earlier);
            } catch (const DbAlteredError& e) {
                copy.unread = e.missing();
            } catch (const std::exception& e) {
                copy.unread = e.what();
            }
        }
        try {
            copy.carried = WriteUserSettings(partial, settings, copy.customer);
        } catch (const DbError& e) {
            // The copy fitted, but not the engine's journal of the settings written into it.
            if (e.number() != kErrDiskFull) throw;
            throw SetUpFailure(ENOSPC, partial);
        }
        // Every note first: a database under its own name is a copy complete with them, which a
        // later start may take up (a program ended before it noted the copy in use, or an
        // edition come back to) and asks the offer that follows of, if it is not answered.
        WriteWhole(copyFolder.filePath(kOriginFile), origin.Text());
        if (!copy.customer.isEmpty()) WriteWhole(copyFolder.filePath(kCustomerNote), copy.customer);
        NoteSignature(copyFolder.filePath(kSeenFile), shipped);
        if (!earlier.isEmpty()) {
            WriteWhole(copyFolder.filePath(kPreviousFile), earlier + '\n');
            if (notice) NoteUnansweredOffer(copyFolder.filePath(kOfferNote), notice(copy));
        }
        if (::rename(QFile::encodeName(partial).constData(),
                     QFile::encodeName(copy.path).constData()) != 0)
            throw SetUpFailure(errno, copy.path);
        WriteWhole(folder.filePath(kCurrentFile), name + QLatin1Char('\n'));
    } catch (...) {
        // Only what this attempt made is taken away; the folder held nothing before it.
        for (const QString& file :
             {partial, partial + QStringLiteral("-journal"), copy.path,
              copyFolder.filePath(kOriginFile), copyFolder.filePath(kSeenFile),
              copyFolder.filePath(kPreviousFile), copyFolder.filePath(kCustomerNote),
              copyFolder.filePath(kOfferNote)})
            QFile::remove(file);
        folder.rmdir(name);
        throw;
    }
    return copy;
}

// Why a fresh copy could not be made, what was kept, and what to do: the error that ends the
// start. A system's refusal comes with what to do about it; any other failure is told as is.
FileError NotSetUp(const std::exception& e, const std::string& opening, const std::string& kept) {
    const auto* failure = dynamic_cast<const FileError*>(&e);
    const std::string why = e.what();
    const std::string todo =
        failure ? ", then start Fretlyn again." : "\n\nStart Fretlyn again once that is put right.";
    return FileError(failure ? failure->number() : FileError::kPathFileAccess,
                     opening + ": " + why + todo + kept);
}

QString DatabaseOf(const QDir& folder, const QString& copy) {
    return folder.filePath(copy + QLatin1Char('/') + kDatabaseName);
}

// Whether a copy's database is there. One that is there but cannot be examined (a link loop, a
// link to nothing, a folder that may not be searched, something else in its place) is the
// user's data all the same: it is named with the reason, never replaced by a fresh copy, which
// would leave the customer's pricing, bills and settings behind without a word.
bool CopyIsThere(const QString& database) {
    const QByteArray path = QFile::encodeName(database);
    struct stat st {};
    int error = 0;
    if (::stat(path.constData(), &st) == 0) {
        if (S_ISREG(st.st_mode)) return true;
    } else {
        error = errno;
        struct stat link {};
        if (error == ENOENT && ::lstat(path.constData(), &link) != 0) return false;
    }
    const std::string reason = error == 0 ? std::string("it is not a regular file")
                               : error == ENOENT
                                   ? std::string("it is a link to a file that is not there")
                                   : SystemReason(error);
    throw FileError(FileError::kPathFileAccess,
                    "Your database " + database.toStdString() + " cannot be examined: " + reason +
                        ".  Fretlyn does not set up a fresh copy in its place, which would leave "
                        "your discounts, bills of lading and settings behind.  Put that right, "
                        "then start Fretlyn again.");
}

// The copy last written to, for a note of the copy in use that is gone or damaged: starting on
// a fresh copy instead would leave the user's settings, pricing and bills behind without a word.
// Of the copies in the folder that `fits` takes, the one whose database was last written to.
template <typename Fits>
QString LatestCopyThat(const QDir& folder, Fits&& fits) {
    QString latest;
    QDateTime when;
    for (const QString& name :
         folder.entryList({QStringLiteral("tariff-*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!fits(name)) continue;
        const QFileInfo database(DatabaseOf(folder, name));
        if (CopyIsThere(database.filePath()) &&
            (latest.isEmpty() || database.lastModified() > when)) {
            latest = name;
            when = database.lastModified();
        }
    }
    return latest;
}

QString LatestCopy(const QDir& folder) {
    return LatestCopyThat(folder, [](const QString&) { return true; });
}

QString ShippedDatabase() {
    return Q(AppFolder()) + QStringLiteral("data/") + kDatabaseName;
}

// What the copy lacks of the shipped database's tables, fields and indexes; empty when nothing.
std::string MissingFromCopy(Database& copy, Database& shipped) {
    auto names = [](Database& db, const std::string& sql, const std::string& of) {
        std::vector<std::string> found;
        for (Snapshot s = db.OpenSnapshot(sql, {of}); !s.AtEOF(); s.MoveNext())
            found.push_back(s.Field(size_t{0}).str());
        return found;
    };
    auto lacks = [](const std::vector<std::string>& in, const std::string& name) {
        return std::none_of(in.begin(), in.end(), [&](const std::string& n) {
            return QString::fromStdString(n).compare(Q(name), Qt::CaseInsensitive) == 0;
        });
    };
    const std::string kNames =
        "SELECT name FROM sqlite_master WHERE type = ? AND name NOT LIKE 'sqlite%'";
    const std::vector<std::string> copyTables = names(copy, kNames, "table");
    const std::vector<std::string> copyIndexes = names(copy, kNames, "index");
    for (const std::string& table : names(shipped, kNames, "table")) {
        if (lacks(copyTables, table)) return "the table '" + table + "' is missing from it";
        const std::string kColumns = "SELECT name FROM pragma_table_info(?)";
        const std::vector<std::string> columns = names(copy, kColumns, table);
        for (const std::string& column : names(shipped, kColumns, table))
            if (lacks(columns, column))
                return "the field '" + column + "' is missing from its table " + table;
    }
    for (const std::string& index : names(shipped, kNames, "index"))
        if (lacks(copyIndexes, index)) return "the index '" + index + "' is missing from it";
    return {};
}

// A copy a command found damaged is checked whole before it is worked on again; a sound one
// (restored from a backup, say) loses its note.
void CheckNotedDamage(const QString& copyFolder, const QString& copy, const QString& shipped) {
    const QString note = copyFolder + QLatin1Char('/') + kDamageNote;
    if (!QFileInfo::exists(note)) return;
    {
        Database db(copy.toStdString(), true);
        Snapshot check = db.OpenSnapshot("PRAGMA integrity_check(1)");
        if (check.AtEOF() || check.Field(size_t{0}).str() != "ok")
            throw DamagedDatabase(copy.toStdString());
        Database original(shipped.toStdString(), true);
        const std::string missing = MissingFromCopy(db, original);
        if (!missing.empty()) throw AlteredDatabase(kErrGeneral, copy.toStdString(), missing);
    }
    QFile::remove(note);
}

// Same contents under a new time of change (a rebuild), or a note put right: noted so that the
// next start need not read the shipped file again. A note that cannot be written only costs
// that read.
void NoteOrigin(const QString& copyFolder, const QString& made, const Origin& origin,
                const QString& shipped) {
    try {
        if (made != origin.Text())
            WriteWhole(copyFolder + QLatin1Char('/') + kOriginFile, origin.Text());
        NoteSignature(copyFolder + QLatin1Char('/') + kSeenFile, shipped);
    } catch (const std::exception&) {
    }
}

// The copy of an edition made before, the one last written to when there are several; empty
// when there is none. A copy whose note names another edition is not that edition's, whatever
// its name says.
QString CopyOfEdition(const QDir& folder, const Origin& origin) {
    return LatestCopyThat(folder, [&](const QString& name) {
        if (!NameGivesEdition(name) || !NameFits(name, origin)) return false;
        const std::optional<Origin> noted =
            NotedOrigin(WholeFile(folder.filePath(name + QLatin1Char('/') + kOriginFile)));
        return !noted || noted->Text() == origin.Text();
    });
}

// A copy made after an update, or in place of a damaged copy, is settled only once the user has
// answered the offer that followed: a program ended at the question (killed, or its session
// ended) asks again at the next start, the earlier copy being as it was.
void AskAgainIfUnanswered(const QString& copyFolder, UserDatabaseStart& start) {
    const QString note = copyFolder + QLatin1Char('/') + kOfferNote;
    struct stat there {};
    if (::lstat(QFile::encodeName(note).constData(), &there) != 0) return;
    const QString previous = FirstLine(copyFolder + QLatin1Char('/') + kPreviousFile);
    if (previous.isEmpty() || !QFileInfo(previous).isFile()) return;  // nothing left to offer
    start.previous = previous.toStdString();
    // A damaged copy is set aside under a name of its own.
    start.setAside = QFileInfo(previous).fileName().startsWith(kDamagedName);
    std::string told = WholeFile(note).trimmed().toStdString();
    if (told.empty())
        told = start.setAside
                   ? SetAsideNotice(QFileInfo(previous).dir().filePath(kDatabaseName).toStdString(),
                                    start.previous, start.path)
                   : UpdateNotice(EffectiveDate().toStdString(), start.path, start.previous);
    start.notice = start.notice.empty() ? told : start.notice + "\n\n" + told;
}

// Works on a copy that is there: the tariff database points at it, damage a command noted is
// checked, and an offer not yet answered is made again.
void WorkOn(const QDir& folder, const QString& copy, const QString& shipped,
            UserDatabaseStart& start) {
    const QString database = DatabaseOf(folder, copy);
    start.path = database.toStdString();
    SetTariffDatabasePath(start.path);
    CheckNotedDamage(folder.filePath(copy), database, shipped);
    AskAgainIfUnanswered(folder.filePath(copy), start);
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
    const QString shipped = ShippedDatabase();
    const QDir folder(Q(UserDataFolder()));

    UserDatabaseStart start;
    QString current = FirstLine(folder.filePath(kCurrentFile));
    bool copyThere = !current.isEmpty() && CopyIsThere(DatabaseOf(folder, current));
    if (!copyThere) {
        const QString latest = LatestCopy(folder);
        if (!latest.isEmpty()) {
            current = latest;
            copyThere = true;
            // Noted again for the next start; one that cannot be written only looks again.
            try {
                WriteWhole(folder.filePath(kCurrentFile), current + QLatin1Char('\n'));
            } catch (const std::exception&) {
            }
        }
    }
    const QString currentDb = current.isEmpty() ? QString() : DatabaseOf(folder, current);
    const QString copyFolder = folder.filePath(current);
    const QString made = WholeFile(copyFolder + QLatin1Char('/') + kOriginFile);
    const QString signature = FileSignature(shipped);
    if (copyThere && made.startsWith(QStringLiteral("effective=") + EffectiveDate() + '\n') &&
        NoteIsSound(current, made) &&
        WholeFile(copyFolder + QLatin1Char('/') + kSeenFile) == signature) {
        WorkOn(folder, current, shipped, start);
        return start;
    }

    const Origin origin = ShippedOrigin(shipped);
    if (copyThere) {
        // The copy's name gives the edition it was made from (its date and the start of its
        // stamp), so a damaged note is no update: it is written again from the copy it
        // belongs to. Only a copy whose name gives no edition is judged by its note, and a note
        // that does not read as one makes no update either.
        const bool sameEdition = NameGivesEdition(current) ? NameFits(current, origin)
                                 : NotedOrigin(made)       ? made == origin.Text()
                                                           : true;
        if (sameEdition) {
            NoteOrigin(copyFolder, made, origin, shipped);
            WorkOn(folder, current, shipped, start);
            return start;
        }
        start.previous = currentDb.toStdString();
    }

    // Back to an edition worked on before (its date put right, say): its copy is the user's,
    // with what they stored in it since; a fresh one beside it would leave that behind.
    if (const QString earlier = CopyOfEdition(folder, origin); !earlier.isEmpty()) {
        const std::string left = std::exchange(start.previous, {});
        // Noted for the next start; one that cannot be written comes back here each time.
        try {
            WriteWhole(folder.filePath(kCurrentFile), earlier + QLatin1Char('\n'));
        } catch (const std::exception&) {
        }
        const QString earlierFolder = folder.filePath(earlier);
        NoteOrigin(earlierFolder, WholeFile(earlierFolder + QLatin1Char('/') + kOriginFile), origin,
                   shipped);
        WorkOn(folder, earlier, shipped, start);
        // A copy made but never offered (the program ended before it noted the copy in use)
        // makes its offer instead.
        if (start.previous.empty())
            start.notice =
                "Fretlyn works again on your database of the tariff with rates effective " +
                origin.effective.toStdString() + ":\n" + start.path +
                "\n\nThe database worked on until now is kept unchanged:\n" + left;
        return start;
    }

    const NoticeOf updateNotice = [&](const Copy& made) {
        return UpdateNotice(origin.effective.toStdString(), made.path.toStdString(),
                            start.previous) +
               "\n\n" + CarriedSettingsText(made.carried, made.unread);
    };
    Copy copy;
    try {
        copy = MakeCopy(folder, shipped, origin, Q(start.previous),
                        start.previous.empty() ? NoticeOf() : updateNotice);
    } catch (const std::exception& e) {
        // Going on with the earlier copy would rate the new tariff's lane files and grids
        // against the earlier tariff's tables: the start ends instead, and the next one tries
        // again.
        if (start.previous.empty())
            throw NotSetUp(e,
                           "Fretlyn could not set up your copy of the tariff database in " +
                               folder.path().toStdString(),
                           "");
        throw NotSetUp(e,
                       "The new tariff (rates effective " + origin.effective.toStdString() +
                           ") could not be set up",
                       "\n\nNothing was changed: your database " + start.previous +
                           " is kept as it was, and Fretlyn ends rather than rate the new "
                           "tariff against the earlier tariff it holds.");
    }
    start.path = copy.path.toStdString();
    if (!start.previous.empty()) start.notice = updateNotice(copy);
    SetTariffDatabasePath(start.path);
    return start;
}

UserDatabaseStart SetDamagedDatabaseAside(const std::string& damaged) {
    const QString shipped = ShippedDatabase();
    const QDir folder(Q(UserDataFolder()));
    const QFileInfo file(Q(damaged));
    QString aside = file.dir().filePath(kDamagedName + QStringLiteral(".mdb"));
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = file.dir().filePath(kDamagedName + QStringLiteral("-%1.mdb").arg(n));
    // The journal of a change cut short goes with its database, which needs it to be read.
    const QString journal = Q(damaged) + QStringLiteral("-journal");
    const bool hasJournal = QFileInfo::exists(journal);
    auto move = [](const QString& from, const QString& to) {
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
            throw NotSetUp(SetUpFailure(errno, to),
                           "The damaged database " + from.toStdString() +
                               " could not be set aside as " + to.toStdString(),
                           "");
    };
    move(Q(damaged), aside);
    if (hasJournal) move(journal, aside + QStringLiteral("-journal"));

    const NoticeOf notice = [&](const Copy& made) {
        return SetAsideNotice(damaged, aside.toStdString(), made.path.toStdString()) + "\n\n" +
               CarriedSettingsText(made.carried, made.unread);
    };
    Copy copy;
    try {
        copy = MakeCopy(folder, shipped, ShippedOrigin(shipped), aside, notice);
    } catch (const std::exception& e) {
        // It keeps its name, so that the next start meets it again and offers the same.
        if (hasJournal)
            ::rename(QFile::encodeName(aside + QStringLiteral("-journal")).constData(),
                     QFile::encodeName(journal).constData());
        ::rename(QFile::encodeName(aside).constData(), QFile::encodeName(Q(damaged)).constData());
        throw NotSetUp(
            e, "A fresh copy of the tariff database could not be set up",
            "\n\nNothing was changed: the damaged database " + damaged + " keeps its name.");
    }
    UserDatabaseStart start;
    start.path = copy.path.toStdString();
    start.previous = aside.toStdString();
    start.setAside = true;
    start.notice = notice(copy);
    SetTariffDatabasePath(start.path);
    return start;
}

void WatchUserDatabaseForDamage() {
    SetDamageAdvice([](const std::string& path) -> std::string {
        const QFileInfo file(Q(path));
        if (!IsUserDatabase(path) ||
            file.canonicalFilePath() != QFileInfo(Q(TariffDatabasePath())).canonicalFilePath())
            return {};
        try {
            WriteWhole(file.dir().filePath(kDamageNote), QStringLiteral("found damaged\n"));
        } catch (const std::exception&) {
            // Without the note the next start finds the damage only where it reads it.
        }
        return "Close Fretlyn and start it again: it will offer to set this copy aside (renamed, "
               "not deleted), start on a fresh copy of the tariff database and copy whatever can "
               "still be read of your discounts, shipping locations and bills of lading.";
    });
}

bool IsUserDatabase(const std::string& path) {
    const QString folder = QDir(Q(UserDataFolder())).canonicalPath();
    const QFileInfo file(Q(path));
    return !folder.isEmpty() && file.exists() &&
           file.canonicalFilePath().startsWith(folder + QLatin1Char('/'));
}

std::string PreviousUserDatabase() {
    const QFileInfo database(Q(TariffDatabasePath()));
    const QString previous = FirstLine(database.dir().filePath(kPreviousFile));
    if (previous.isEmpty() || !QFileInfo::exists(previous)) return {};
    return previous.toStdString();
}

void SettleUserDatabaseOffer(const UserDatabaseStart& start) {
    if (start.path.empty()) return;
    const QString note = QFileInfo(Q(start.path)).dir().filePath(kOfferNote);
    // A note that stays would bring the same offer back at every start: say why.
    QFile file(note);
    if (file.exists() && !file.remove())
        std::fprintf(stderr,
                     "Fretlyn: the note %s could not be removed (%s), so the next start offers "
                     "the copy again.\n",
                     QFile::encodeName(note).constData(),
                     file.errorString().toLocal8Bit().constData());
}

namespace {
// Which of the customer's groups a copy holds: its tables read otherwise than when it was made.
// One made without the note, or that cannot be read, may hold them both; one whose note predates
// the groups holds both when any of its customer tables changed.
struct HeldGroups {
    bool pricing = true, bills = true;
};
HeldGroups CustomerDataIn(const QString& database) {
    const QStringList note = WholeFile(QFileInfo(database).dir().filePath(kCustomerNote))
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (note.isEmpty()) return {};
    auto noted = [&](const QString& group) {
        for (const QString& line : note)
            if (line.startsWith(group + QLatin1Char('='))) return line.mid(group.size() + 1);
        return QString();
    };
    try {
        Database db(database.toStdString(), true);
        const CustomerDigests now = CustomerTablesDigests(db);
        const QString pricing = noted(QStringLiteral("pricing"));
        const QString bills = noted(QStringLiteral("bills"));
        if (pricing.isEmpty() || bills.isEmpty()) {
            const bool changed = now.all != note.front().trimmed();
            return {changed, changed};
        }
        return {now.pricing != pricing, now.bills != bills};
    } catch (const std::exception&) {
        return {};
    }
}
}  // namespace

CustomerDataCopies CopiesWithCustomerData(const std::string& from) {
    CustomerDataCopies found;
    std::vector<QString> seen;
    for (QString at = Q(from);
         !at.isEmpty() && QFileInfo(at).isFile() && (found.pricing.empty() || found.bills.empty());
         at = FirstLine(QFileInfo(at).dir().filePath(kPreviousFile))) {
        const QString same = QFileInfo(at).canonicalFilePath();
        if (std::find(seen.begin(), seen.end(), same) != seen.end()) break;  // notes in a ring
        seen.push_back(same);
        const HeldGroups held = CustomerDataIn(at);
        if (held.pricing && found.pricing.empty()) found.pricing = at.toStdString();
        if (held.bills && found.bills.empty()) found.bills = at.toStdString();
    }
    return found;
}
