#include "tariffcheck.h"

#include <sys/stat.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "fileerror.h"
#include "geography.h"
#include "savefile.h"
#include "settings.h"
#include "tariffdb.h"
#include "text.h"
#include "userdatabase.h"

namespace {

struct Listed {
    uint64_t size = 0;
    std::string digest;
};

// The list as read, with the stamp it had, so that a list replaced with its files (a tariff
// update while the program runs) is read again when a file is.
struct FileList {
    std::string folder;    // the application folder it was read for
    std::string database;  // the database whose record of the list it was held to, if any
    std::string path;
    bool present = false;
    struct stat stamp {};
    std::map<std::string, Listed, std::less<>> byPath;  // by the file's full path
};

// What a file held when its digest was last worked out.
struct Known {
    BinaryFile::Stamp stamp;
    std::string digest;
};

struct Checks {
    std::optional<FileList> list;
    std::map<std::string, Known, std::less<>> known;  // by the file's full path
    std::optional<std::string> notePath;              // the note read into `noted`
    std::map<std::string, Known, std::less<>> noted;  // the note in the user's data folder
    int digestsRead = 0;
};
Checks& State() {
    static Checks checks;
    return checks;
}

bool SameStamp(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

[[noreturn]] void DamagedList(const std::string& path, const std::string& fault) {
    throw TariffDataError("The list of the tariff's files " + path + " is damaged: " + fault +
                          ", so the tariff's files cannot be checked and nothing is rated "
                          "from them.  Install the tariff again (or finish copying the tariff "
                          "update).");
}

[[noreturn]] void BadList(const std::string& path, size_t line) {
    throw TariffDataError("The list of the tariff's files " + path + " is damaged at line " +
                          std::to_string(line) +
                          ", so the tariff's files cannot be checked and nothing is rated "
                          "from them.  Install the tariff again.");
}

// A SHA-256 digest as the list and the database write it: 64 small hexadecimal digits.
bool IsDigest(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

bool DatabaseOpen() {
    return tariff.rsConfig && tariff.rsConfig->IsOpen();
}

// The digest of the list the tariff shipped with, as its database records it; empty for an
// earlier tariff, which ships no list, and while no database is open. Without the list, a
// tariff that has one would be read unchecked: a list lost or made unreadable must not turn
// the checks off.
std::string RecordedListDigest() {
    if (!DatabaseOpen()) return {};
    const std::string recorded = GetConfigValue(kTariffFileListSetting, "");
    if (!recorded.empty() && !IsDigest(recorded))
        throw TariffDataError("The tariff's database " + TariffDatabasePath() +
                              " is damaged: its setting " + kTariffFileListSetting + ", \"" +
                              Excerpt(recorded) +
                              "\", is no digest of the list of the tariff's files, so the "
                              "tariff's files cannot be checked and nothing is rated from them.  "
                              "Install the tariff again.");
    return recorded;
}

std::string DigestOf(std::string_view bytes) {
    return QCryptographicHash::hash(
               QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
               QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

FileList ReadList(const std::string& folder, const std::string& database) {
    FileList list;
    list.folder = folder;
    list.database = database;
    const std::string recorded = RecordedListDigest();
    list.path = folder + kTariffFileList;
    if (::stat(list.path.c_str(), &list.stamp) != 0) {
        const int error = errno;
        if (recorded.empty()) return list;  // an earlier tariff
        struct stat link {};
        const bool dangling = error == ENOENT && ::lstat(list.path.c_str(), &link) == 0;
        throw TariffDataError(
            "The list of the tariff's files " + list.path +
            (dangling          ? std::string(" is a link to a file that is not there")
             : error == ENOENT ? std::string(" is missing")
                               : " cannot be read (" + SystemReason(error) + ")") +
            ", so the tariff's files cannot be checked and nothing is rated from them.  Install "
            "the tariff again (or finish copying the tariff update).");
    }
    list.present = true;
    std::string text;
    try {
        text = ReadRegularFile(list.path, "The list of the tariff's files");
    } catch (const FileError& e) {
        throw TariffDataError(std::string(e.what()) +
                              "  The tariff's files cannot be checked without it, and nothing "
                              "is rated from them.  Install the tariff again.");
    }
    // A list edited to agree with a changed file would vouch for it: only the list the tariff
    // shipped with is believed.
    if (!recorded.empty() && DigestOf(text) != recorded)
        DamagedList(list.path,
                    "its contents differ from those the tariff's database records "
                    "for it");
    std::istringstream in(std::move(text));
    std::map<std::string, size_t, std::less<>> lineOf;  // the line that names each file
    std::string line;
    for (size_t number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string size, digest, file;
        if (!(fields >> size >> digest >> file)) BadList(list.path, number);
        Listed listed;
        const auto [end, error] =
            std::from_chars(size.data(), size.data() + size.size(), listed.size);
        if (error != std::errc() || end != size.data() + size.size() || !IsDigest(digest) ||
            file.find("..") != std::string::npos)
            BadList(list.path, number);
        listed.digest = digest;
        // Of two lines for one file, neither can be the one to believe.
        const std::string named = std::filesystem::path(file).lexically_normal().generic_string();
        if (const auto [first, isNew] = lineOf.try_emplace(named, number); !isNew)
            DamagedList(list.path, "it names " + named + " twice, at lines " +
                                       std::to_string(first->second) + " and " +
                                       std::to_string(number));
        list.byPath[folder + named] = std::move(listed);
    }
    return list;
}

// The list of the application folder in use: read once, and again when it changed.
const FileList& List(bool lookAgain) {
    Checks& checks = State();
    const std::string folder = AppFolder();
    // A database opened since, or another one (a new copy for a tariff update): the list is
    // held to what that one records.
    const std::string database = DatabaseOpen() ? TariffDatabasePath() : std::string();
    if (checks.list && checks.list->folder == folder && checks.list->database == database) {
        if (!lookAgain) return *checks.list;
        struct stat now {};
        const bool present = ::stat(checks.list->path.c_str(), &now) == 0;
        if (present == checks.list->present && (!present || SameStamp(now, checks.list->stamp)))
            return *checks.list;
    }
    checks.list = ReadList(folder, database);
    return *checks.list;
}

// The note is kept only beside the user's own copies: a test, or a run on a scratch folder,
// leaves no note anywhere.
std::string NotePath() {
    const std::string folder = WithTrailingSeparator(UserDataFolder());
    if (folder.size() <= 1 || TariffDatabasePath().rfind(folder, 0) != 0) return {};
    return folder + kCheckedFilesNote;
}

// One line a file: device, inode, size, modified and changed (ns), digest, path.
std::map<std::string, Known, std::less<>>& Noted() {
    Checks& checks = State();
    const std::string path = NotePath();
    if (checks.notePath == path) return checks.noted;
    checks.notePath = path;
    checks.noted.clear();
    if (path.empty()) return checks.noted;
    // Only a regular file is read: anything else in its place (a named pipe would hold the
    // command for good) is no note, and costs one more read of each file.
    std::istringstream in;
    try {
        in.str(ReadRegularFile(path, "The note of the checked tariff files"));
    } catch (const std::exception&) {
    }
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Known known;
        BinaryFile::Stamp& s = known.stamp;
        std::string file;
        if (fields >> s.device >> s.inode >> s.size >> s.modifiedNs >> s.changedNs >>
                known.digest >> std::ws &&
            std::getline(fields, file) && !file.empty())
            checks.noted[file] = std::move(known);
    }
    return checks.noted;
}

// Notes a file found as its list gives it. A file changed in the last seconds is not noted:
// a coarse clock of the file system would give a second change within the same tick the same
// times. A note that cannot be written only costs the next start one more read.
void Note(const std::string& file, const Known& known) {
    const std::string path = NotePath();
    if (path.empty()) return;
    const int64_t latest = std::max(known.stamp.modifiedNs, known.stamp.changedNs);
    if (QDateTime::currentMSecsSinceEpoch() - latest / 1000000 < 3000) return;
    auto& noted = Noted();
    noted[file] = known;
    std::string text;
    for (const auto& [name, k] : noted) {
        const BinaryFile::Stamp& s = k.stamp;
        text += std::to_string(s.device) + ' ' + std::to_string(s.inode) + ' ' +
                std::to_string(s.size) + ' ' + std::to_string(s.modifiedNs) + ' ' +
                std::to_string(s.changedNs) + ' ' + k.digest + ' ' + name + '\n';
    }
    try {
        SaveFileWhole(path, text);
    } catch (const SaveFileError&) {
    }
}

std::string DigestOf(const BinaryFile& file) {
    QCryptographicHash digest(QCryptographicHash::Sha256);
    file.ReadWhole([&](std::string_view chunk) {
        digest.addData(QByteArrayView(chunk.data(), static_cast<qsizetype>(chunk.size())));
    });
    ++State().digestsRead;
    return digest.result().toHex().toStdString();
}

std::string Bytes(uint64_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

}  // namespace

void RequireIntactTariffFile(const BinaryFile& file) {
    const uint64_t command = tariff.gDB ? tariff.gDB->RunningCommand() : 0;
    if (command != 0 && file.CheckedInCommand() == command) return;

    Checks& checks = State();
    const BinaryFile::Stamp now = file.StampNow();
    auto known = checks.known.find(file.Path());
    const bool changed = known == checks.known.end() || !(known->second.stamp == now);
    const FileList& list = List(changed);
    const auto listed = list.byPath.find(file.Path());
    if (listed == list.byPath.end()) {
        // The list names every one of the tariff's files: one it leaves out was cut off with
        // the end of a list copied part way (or emptied), and cannot be vouched for.
        if (list.present)
            throw TariffDataError("The tariff data file " + file.Path() +
                                  " is not named in the tariff's list of its files " + list.path +
                                  ", which names every one of them, so it cannot be checked.  "
                                  "Nothing is rated from it.  Install the tariff again (or "
                                  "finish copying the tariff update).");
        // No list (an earlier tariff): read as it is.
        if (changed) checks.known.insert_or_assign(file.Path(), Known{now, {}});
        file.SetCheckedInCommand(command);
        return;
    }
    if (now.size != listed->second.size)
        throw TariffDataError("The tariff data file " + file.Path() + " is damaged: it holds " +
                              Bytes(now.size) + ", and the tariff's list of its files " +
                              list.path + " gives " + Bytes(listed->second.size) +
                              ".  Nothing is rated from it.  Install the tariff again (or "
                              "finish copying the tariff update).");
    // A file first met unlisted (a list put in place since) has no digest yet.
    if (changed || known->second.digest.empty()) {
        Known found{now, {}};
        auto noted = Noted().find(file.Path());
        if (noted != Noted().end() && noted->second.stamp == now) {
            found.digest = noted->second.digest;
        } else {
            found.digest = DigestOf(file);
            // Read again afterwards: a file that changed while it was read proves nothing.
            if (!(file.StampNow() == now))
                found.stamp = {};
            else if (found.digest == listed->second.digest)
                Note(file.Path(), found);
        }
        known = checks.known.insert_or_assign(file.Path(), std::move(found)).first;
    }
    if (known->second.digest != listed->second.digest)
        throw TariffDataError("The tariff data file " + file.Path() +
                              " is damaged: its contents differ from those the tariff's list "
                              "of its files " +
                              list.path +
                              " gives.  Nothing is rated from it.  Install the tariff again "
                              "(or finish copying the tariff update).");
    file.SetCheckedInCommand(command);
}

void ForgetTariffFileChecks() {
    State() = Checks();
}

int TariffFileDigestsRead() {
    return State().digestsRead;
}
