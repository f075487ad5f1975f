#include "tariffdb.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <stdexcept>

#include "ahead.h"

TariffState tariff;

namespace {
std::string gAppFolderOverride;
std::string gDatabasePath;
std::future<void> gOpeningAhead;

using T = TariffState;
const std::vector<TableIndex> kTables = {
    {"accessorials", "byname", &T::rsAccessorials},
    {"shipzips", "byzip", &T::rsShipzips},
    {"states", "bystateandzip", &T::rsStates},
    {"discounts", "byzipandregion", &T::rsDiscounts},
    {"Thriftlane", "PXSpct", &T::rsThriftlane},
    {"tariff", "bytitle", &T::rsTariff},
    {"basezone00", "", &T::rsBasezone00},
    {"can3", "can3post", &T::rsCan3},
    {"faktable", "fakzip", &T::rsFaktable},
    {"Fullzip", "byzip", &T::rsFullzip},
    {"ServInd", "sicpair", &T::rsServInd},
    {"us_cities", "byzip", &T::rsUSCities},
    {"can_cities", "byzip", &T::rsCanCities},
    {"can_rural", "byzip", &T::rsCanRural},
    {"ziplist", "byzip", &T::rsZiplist},
    {"svcctrs", "bysic", &T::rsSvcctrs},
    {"ziparbs", "byzip", &T::rsZiparbs},
    {"accessorials", "byname", &T::rsAccessorials2},
    {"PR Delvy zones", "byzip", &T::rsPRDelvyZones},
    {"PR charges", "byzone", &T::rsPRCharges},
    {"AK Zones", "byzip", &T::rsAKZones},
    {"AK Zones2", "city", &T::rsAKZones2},
    {"AK Rates", "byzone", &T::rsAKRates},
    {"AK Air Rates", "byzone", &T::rsAKAirRates},
    {"HI Zones", "byzip", &T::rsHIZones},
    {"HI Rates", "byzone", &T::rsHIRates},
    {"BL parties", "bypartyid", &T::rsBLParties},
    {"Commodity", "byid", &T::rsCommodity},
    {"Bills", "byblid", &T::rsBills},
    {"BL Notes", "byblid", &T::rsBLNotes},
    {"BLdetail", "BL number", &T::rsBLdetail},
    {"HCDRS235", "byzip", &T::rsHCDRS235},
    {"tblConfig", "bykeyf", &T::rsConfig},
    {"AtlantaDiscZips", "Zip Code", &T::rsAtlantaDiscZips},
    {"IndPts", "zip", &T::rsIndPts},
};

std::string ExecutableFolder() {
    std::string buf(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return "./";
    buf.resize(static_cast<size_t>(n));
    return buf.substr(0, buf.find_last_of('/') + 1);
}

// The build keeps the program beside its data; an installed copy has the program in bin/ and
// the data in share/fretlyn/ of the same prefix.
std::string ProgramAppFolder() {
    const std::string exe = ExecutableFolder();
    if (::access((exe + "data").c_str(), F_OK) == 0) return exe;
    const std::string installed = exe + "../share/fretlyn";
    char resolved[PATH_MAX];
    if (::access((installed + "/data").c_str(), F_OK) == 0 &&
        ::realpath(installed.c_str(), resolved))
        return resolved;
    return exe;
}
}  // namespace

const std::vector<TableIndex>& TariffTables() {
    return kTables;
}

std::shared_ptr<Recordset>* TariffState::RecordsetFor(const std::string& table) {
    for (const auto& t : kTables)
        if (t.table == table) return &(this->*t.handle);
    return nullptr;
}

void TariffState::Reset() {
    CloseAll();
    *this = TariffState();
}

std::string WithTrailingSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}

std::string AppFolder() {
    static const std::string exeFolder = WithTrailingSeparator(ProgramAppFolder());
    return gAppFolderOverride.empty() ? exeFolder : gAppFolderOverride;
}

void SetAppFolder(const std::string& folder) {
    gAppFolderOverride = folder.empty() ? std::string() : WithTrailingSeparator(folder);
}

std::string TariffDatabasePath() {
    return gDatabasePath.empty() ? AppFolder() + "data/x2007.mdb" : gDatabasePath;
}

void SetTariffDatabasePath(const std::string& path) {
    gDatabasePath = path;
}

namespace {
// Every rating stores the accessorial choices in the database, and the default origin and
// classes, the exchange rate and the customer's pricing live there too: a database the
// program cannot write would fail every rating later, so it is refused at start.
void RequireWritable(const Database& db) {
    const std::string path = db.Path();
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    const char* why =
        " Fretlyn must be able to write to it: it stores there the accessorial choices of "
        "every rating, the default origin and classes, the exchange rate and the customer's "
        "discounts.";
    // No change of the file's permissions helps on a file system mounted read-only.
    struct statvfs mounted {};
    const bool readOnlyMount =
        ::statvfs(folder.c_str(), &mounted) == 0 && (mounted.f_flag & ST_RDONLY) != 0;
    if (db.IsReadOnly() && readOnlyMount)
        throw DbError(kErrReadOnly, "The database " + path +
                                        " is read-only: the file system it is on is mounted "
                                        "read-only." +
                                        why + "  Mount that file system writable.");
    if (db.IsReadOnly())
        throw DbError(kErrReadOnly, "The database " + path + " is read-only." + why +
                                        "  Make the file writable for this user.");
    // The engine writes its journal beside the file while it stores a change.
    if (::access(folder.c_str(), W_OK) != 0)
        throw DbError(kErrReadOnly, "The folder " + folder + " of the database " + path +
                                        " is read-only." + why +
                                        "  Make the folder writable for this user.");
}

void RequireTariffTables(Database& db) {
    for (const auto& t : kTables)
        if (db.TableExists(t.table)) return;
    throw DbError(kErrNotTariffDatabase, "The file " + db.Path() +
                                             " holds none of the tariff's tables: it is not a "
                                             "tariff database.");
}

void CloseTables() {
    if (tariff.gDB) tariff.gDB->Close();
    tariff.gDB.reset();
    for (const auto& t : kTables) (tariff.*t.handle).reset();
    tariff.laneGrid.Close();
    tariff.laneLines.Close();
    tariff.laneMap.Close();
}

void OpenTables() {
    try {
        tariff.gDB = std::make_unique<Database>(TariffDatabasePath());
        RequireTariffTables(*tariff.gDB);
        RequireWritable(*tariff.gDB);
        // Every table's fields and indexes are read under one lock of the file.
        const ReadTransaction reads(*tariff.gDB);
        for (const auto& t : kTables) {
            auto rs = tariff.gDB->OpenRecordset(t.table);
            if (*t.index) rs->SetIndex(t.index);
            tariff.*t.handle = std::move(rs);
        }
        tariff.laneGrid.Open(AppFolder() + "data/cxgrd.dat");
        tariff.laneLines.Open(AppFolder() + "data/cxlns.dat");
        tariff.laneMap.Open(AppFolder() + "data/cxmap.dat");
    } catch (...) {
        CloseTables();
        throw;
    }
}
}  // namespace

void OpenTariffDatabase() {
    if (gOpeningAhead.valid()) {
        auto opening = std::move(gOpeningAhead);
        opening.get();
        return;
    }
    OpenTables();
}

void OpenTariffDatabaseAhead(std::function<void()> prepare) {
    CloseAll();
    gOpeningAhead = StartAhead([prepare = std::move(prepare)] {
        prepare();
        OpenTables();
    });
}

void CloseAll() {
    if (gOpeningAhead.valid()) {
        // Its error, if any, is no longer wanted: whoever closes is done with this opening.
        auto opening = std::move(gOpeningAhead);
        // One that never started (no thread could be had) is not started now only to close.
        if (opening.wait_for(std::chrono::seconds(0)) != std::future_status::deferred)
            opening.wait();
    }
    CloseTables();
}
