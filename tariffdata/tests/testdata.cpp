#include "testdata.h"

#include <unistd.h>

#include <QProcess>
#include <QRegularExpression>
#include <atomic>
#include <fstream>

#include "settings.h"
#include "tariffcheck.h"
#include "tariffdb.h"

namespace fs = std::filesystem;

ScratchAppFolder::ScratchAppFolder() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("fretlyn_app_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
    const fs::path source = FRETLYN_APP_DIR;
    for (const auto& entry : fs::directory_iterator(source))
        if (entry.is_directory())
            fs::copy(entry.path(), path_ / entry.path().filename(), fs::copy_options::recursive);
    SetAppFolder(path_.string());
    SetTariffDatabasePath("");
    ForgetTariffFileChecks();
}

ScratchAppFolder::~ScratchAppFolder() {
    CloseAll();
    SetAppFolder("");
    // A test that started on a user's copy leaves the next one on its own scratch copy again.
    SetTariffDatabasePath("");
    SetUserDataFolder("");
    ForgetTariffFileChecks();
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void ScratchAppFolder::writeFile(const std::string& relative, const std::string& text) const {
    std::ofstream out(path_ / relative, std::ios::binary | std::ios::trunc);
    out << text;
}

void ScratchAppFolder::dropFileList() const {
    fs::remove(path_ / kTariffFileList);
    // An earlier tariff's database records no list either: the shipped one, and the one the
    // program opens when that is another.
    std::vector<std::string> databases = {(path_ / "data/x2007.mdb").string()};
    if (TariffDatabasePath() != databases.front()) databases.push_back(TariffDatabasePath());
    for (const std::string& path : databases) {
        Database db(path);
        db.Execute("DELETE FROM tblConfig WHERE keyf = ?", {kTariffFileListSetting});
    }
}

void Exec(const std::string& sql, const std::vector<Value>& params) {
    tariff.gDB->Execute(sql, params);
}

void Put(const std::string& table, const std::vector<std::string>& cols,
         const std::vector<Value>& vals) {
    Exec("DELETE FROM " + QuoteIdentifier(table) + " WHERE " + QuoteIdentifier(cols[0]) + " = ?",
         {vals[0]});
    std::string names, marks;
    for (const auto& c : cols) {
        names += (names.empty() ? "" : ", ") + QuoteIdentifier(c);
        marks += marks.empty() ? "?" : ", ?";
    }
    Exec("INSERT INTO " + QuoteIdentifier(table) + " (" + names + ") VALUES (" + marks + ")", vals);
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

namespace {
// Where in the file the page a table or index starts on lies, and its size.
std::pair<std::streamoff, std::streamsize> RootPage(const std::filesystem::path& database,
                                                    const std::string& tableOrIndex) {
    Database db(database.string(), true);
    Snapshot root =
        db.OpenSnapshot("SELECT rootpage FROM sqlite_master WHERE name = ?", {tableOrIndex});
    if (root.AtEOF()) throw std::runtime_error("no " + tableOrIndex + " in " + database.string());
    const int64_t page = root.Field(size_t{0}).toInt();
    const int64_t size = db.OpenSnapshot("PRAGMA page_size").Field(size_t{0}).toInt();
    return {static_cast<std::streamoff>((page - 1) * size), static_cast<std::streamsize>(size)};
}

void Overwrite(const std::filesystem::path& database, std::streamoff at, const std::string& bytes) {
    std::fstream file(database, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(at);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) throw std::runtime_error("could not damage " + database.string());
}
}  // namespace

void DamageFirstPage(const std::filesystem::path& database, const std::string& tableOrIndex) {
    const auto [at, size] = RootPage(database, tableOrIndex);
    Overwrite(database, at, std::string(static_cast<size_t>(size), '\x55'));
}

void SetFirstPageCellCount(const std::filesystem::path& database, const std::string& tableOrIndex,
                           uint16_t cells) {
    // Bytes 3 and 4 of a b-tree page's header, big-endian; the page's cells stay where they are.
    const std::streamoff at = RootPage(database, tableOrIndex).first + 3;
    Overwrite(database, at,
              std::string{static_cast<char>(cells >> 8), static_cast<char>(cells & 0xFF)});
}

UserDatabaseStart StartOnUserDatabase() {
    CloseAll();
    UserDatabaseStart start = PrepareUserDatabase();
    LoadStatesFile();
    OpenTariffDatabase();
    LoadSettings();
    return start;
}

std::string PdfTitle(const std::filesystem::path& path) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {QString::fromStdString(path.string())});
    if (!pdfinfo.waitForFinished(30000)) return {};
    const QRegularExpressionMatch title =
        QRegularExpression(QStringLiteral("^Title: +(.*)$"), QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(pdfinfo.readAllStandardOutput()));
    return title.hasMatch() ? title.captured(1).toStdString() : std::string();
}
