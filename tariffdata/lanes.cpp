#include "lanes.h"

#include <algorithm>
#include <cctype>

#include "binaryfile.h"
#include "coveredlookup.h"
#include "geography.h"
#include "tariffcheck.h"
#include "tariffdb.h"
#include "text.h"

namespace {
// Held in a function so that a query registered while the program starts finds it built.
std::function<bool()>& GuaranteedQuery() {
    static std::function<bool()> query;
    return query;
}
}  // namespace

void SetGuaranteedChosenQuery(std::function<bool()> query) { GuaranteedQuery() = std::move(query); }

bool GuaranteedChosen() { return GuaranteedQuery() && GuaranteedQuery()(); }

namespace {

constexpr int32_t kLaneSide = 1053;  // ziplist subscripts: rows and columns of the lane files
constexpr int32_t kSvcSide = 572;    // svcctrs subscripts: rows and columns of svc.dat



Recordset& Table(const std::shared_ptr<Recordset>& rs, const char* name) {
    if (!rs) throw DbError(kErrObjectClosed, std::string("The table ") + name + " is not open.");
    return *rs;
}

bool SeekKey(Recordset& rs, const char* index, const std::string& key) {
    if (rs.Index() != index) rs.SetIndex(index);
    rs.Seek("=", {Value(key)});
    return !rs.NoMatch();
}

std::string FileName(const BinaryFile& f, const char* fallback) {
    const std::string& p = f.Path();
    return p.empty() ? fallback : p.substr(p.find_last_of('/') + 1);
}

// Two decimal digits of one lane-file byte. A byte of three digits would shift every digit
// after it and pick some other rate grid, so it is refused as broken data.
std::string LanePart(const BinaryFile& f, const char* name, int32_t cell) {
    uint8_t b = f.ByteAt(static_cast<size_t>(cell));
    if (b >= 100)
        throw TariffDataError("The lane file " + FileName(f, name) + " holds " + std::to_string(b) +
                              " at cell " + std::to_string(cell) + " (origin row " +
                              std::to_string((cell - 1) / kLaneSide + 1) + ", destination column " +
                              std::to_string((cell - 1) % kLaneSide + 1) +
                              "); a lane-code part must be below 100.");
    std::string s = std::to_string(b);
    return s.size() == 1 ? "0" + s : s;
}

// The svcctrs subscript of a service centre; false when the table does not list it.
bool ServiceCentreSubscript(const std::string& sic, int32_t& subscript) {
    Table(tariff.rsSvcctrs, "svcctrs");
    // The row the index bysic finds first, its subscript alone; bysic is unique, so the
    // covering index's one row needs no order.
    static CoveredLookUp subscriptOf(
        "svcctrs", "bysicsubscript",
        "SELECT subscript FROM svcctrs INDEXED BY \"svcctrs.bysicsubscript\" WHERE SIC = ?1",
        "SELECT subscript FROM svcctrs WHERE SIC = ?1 ORDER BY SIC, rowid LIMIT 1");
    const std::vector<Value>* found = subscriptOf({Value(sic)});
    if (!found) return false;
    int64_t s = (*found)[0].toInt();
    if (s < 1 || s > kSvcSide)
        throw TariffDataError("The service centre " + sic + " has the subscript " +
                              std::to_string(s) + " in the table svcctrs; it must lie from 1 to " +
                              std::to_string(kSvcSide) + ".");
    subscript = static_cast<int32_t>(s);
    return true;
}

template <size_t N>
bool InList(const std::string& s, const char* const (&list)[N]) {
    return std::any_of(std::begin(list), std::end(list), [&](const char* e) { return s == e; });
}

}  // namespace

int32_t GridCellNumber(int16_t origSubscript, int16_t destSubscript) {
    // Whole int16 range times the row length stays far inside 32 bits.
    return (static_cast<int32_t>(origSubscript) - 1) * kLaneSide + destSubscript;
}

std::string GetLaneCode(int32_t cell) {
    if (cell < 1 || cell > kLaneSide * kLaneSide)
        throw TariffDataError("The lane cell " + std::to_string(cell) +
                              " lies outside the lane files (1 to " +
                              std::to_string(kLaneSide * kLaneSide) + ").");
    for (const BinaryFile* file : {&tariff.laneGrid, &tariff.laneLines, &tariff.laneMap})
        if (file->IsOpen()) RequireIntactTariffFile(*file);
    return LanePart(tariff.laneGrid, "cxgrd.dat", cell) +
           LanePart(tariff.laneLines, "cxlns.dat", cell) +
           LanePart(tariff.laneMap, "cxmap.dat", cell);
}

std::string ServiceCenterOfZip(const std::string& code) {
    Table(tariff.rsFullzip, "Fullzip");
    // The row the index byzip finds first, its centre alone; byzip is unique, so the covering
    // index's one row needs no order.
    static CoveredLookUp centreLookUp(
        "Fullzip", "byzipcentre",
        "SELECT SIC FROM Fullzip INDEXED BY \"Fullzip.byzipcentre\" WHERE zip = ?1",
        "SELECT SIC FROM Fullzip WHERE zip = ?1 ORDER BY zip, rowid LIMIT 1");
    const auto centreOf = [](const std::string& key) { return centreLookUp({Value(key)}); };
    const std::vector<Value>* found = nullptr;
    if (ReadsAsNumber(code)) {
        found = centreOf(code);
    } else {
        found = centreOf(Left(code, 5));
        if (!found) found = centreOf(Left(code, 4));
    }
    return found ? Trim((*found)[0].str()) : "BZC";
}

namespace {
// The position of the pair's cell in the transit-day file; 0 when an end has no known centre,
// so that no file need be read.
size_t ServiceDaysPosition(const std::string& origCode, const std::string& destCode) {
    const std::string oSIC = ServiceCenterOfZip(origCode);
    const std::string dSIC = ServiceCenterOfZip(destCode);
    // An end without a known service centre has no standard, whichever end it is.
    auto unknown = [](const std::string& sic) { return sic == "BZC" || sic == "BVC"; };
    if (unknown(oSIC) || unknown(dSIC)) return 0;

    int32_t o = 0, d = 0;
    if (!ServiceCentreSubscript(oSIC, o) || !ServiceCentreSubscript(dSIC, d)) return 0;
    return static_cast<size_t>((o - 1) * kSvcSide + d);
}
}  // namespace

uint8_t GetServiceDays(const std::string& origCode, const std::string& destCode) {
    const size_t position = ServiceDaysPosition(origCode, destCode);
    if (position == 0) return 0;
    // Opened for the one read: a rating asks once per request, and a file replaced on disk
    // (a tariff update) is read afresh.
    BinaryFile svc;
    svc.Open(AppFolder() + "data/svc.dat");
    RequireIntactTariffFile(svc);
    return svc.ByteAt(position);
}

uint8_t GetServiceDays(const std::string& origCode, const std::string& destCode,
                       const BinaryFile& svc) {
    const size_t position = ServiceDaysPosition(origCode, destCode);
    if (position == 0) return 0;
    RequireIntactTariffFile(svc);
    return svc.ByteAt(position);
}

bool GetPXSStandard(const std::string& origCode, const std::string& destCode, uint8_t& days) {
    const std::string key = ServiceCenterOfZip(origCode) + ServiceCenterOfZip(destCode);
    Recordset& servInd = Table(tariff.rsServInd, "ServInd");
    bool offered = false;
    if (SeekKey(servInd, "sicpair", key) && servInd.Field("Type").toInt() == 2) {
        int64_t d = servInd.Field("Ddays").toInt();
        if (d < 0 || d > 255)
            throw TariffDataError("The economy-service days of the pair " + key +
                                  " in the table ServInd are " + std::to_string(d) +
                                  "; they must lie from 0 to 255.");
        days = static_cast<uint8_t>(d);
        offered = true;
    }
    if (GuaranteedChosen()) return false;
    return offered;
}

std::string RegionOfZip(const std::string& code) {
    if (!ReadsAsNumber(code)) return "QZF";
    const std::string sic = ServiceCenterOfZip(code.size() == 5 ? code : FirstZipOfPrefix(code));
    const char first =
        sic.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(sic[0])));
    if (first == 'X') return "QZA";
    if (first == 'U') return "QZD";
    return "QZB";
}

bool IsDirectPoint(const std::string& origCode, const std::string& destCode) {
    Recordset& indPts = Table(tariff.rsIndPts, "IndPts");
    auto direct = [&](const std::string& code) {
        return SeekKey(indPts, "zip", ReadsAsNumber(code) ? code : Left(code, 6));
    };
    return direct(origCode) && direct(destCode);
}

bool IsShipLocationZip(std::string& key, uint8_t isDest) {
    if (key.empty() || !std::isdigit(static_cast<unsigned char>(key[0])))
        key = Left(isDest ? tariff.gDestZip : tariff.gOrigZip, 3);
    return SeekKey(Table(tariff.rsShipzips, "shipzips"), "byzip", key);
}

bool IsNoServiceLane(int32_t laneCode) {
    return laneCode == 99099 || laneCode == 99999;
}

bool ShipLocInBaseZone(const std::string& baseZone) {
    Recordset& shipzips = Table(tariff.rsShipzips, "shipzips");
    if (shipzips.RecordCount() == 0) return false;
    for (shipzips.MoveFirst(); !shipzips.AtEOF(); shipzips.MoveNext()) {
        const std::string zip = Trim(shipzips.Field("zip").str());
        if (ReadsAsNumber(zip)) continue;
        try {
            if (CanadaBaseZone(zip) == baseZone) return true;
        } catch (const TariffDataError&) {
            // A location the tariff cannot place (such as "ALL") lies in no base zone; the
            // customer's own list must not stop a rating.
        }
    }
    return false;
}

bool IsAKZone99(const std::string& zip) {
    Recordset& akZones = Table(tariff.rsAKZones, "AK Zones");
    if (!SeekKey(akZones, "byzip", zip)) return false;
    return akZones.Field("zone").toInt() == 99;
}

bool IsPrefix498or499(const std::string& prefix) {
    return prefix == "498" || prefix == "499";
}

bool IsDCZipPrefix(const std::string& prefix) {
    for (size_t i = 1; i <= 6; ++i)
        if (!tariff.gDCZip3List[i].empty() && tariff.gDCZip3List[i] == prefix) return true;
    return false;
}

bool IsEasternProvince(const std::string& province) {
    static const char* const kEast[] = {"NB", "NS", "PE", "ON", "QC"};
    return InList(province, kEast);
}

bool IsWesternProvince(const std::string& province) {
    static const char* const kWest[] = {"SK", "MB", "AB", "BC", "NT", "YT"};
    return InList(province, kWest);
}

bool IsFloridaKeysZip(const std::string& zip) {
    static const char* const kKeys[] = {"01", "36", "37", "40", "41", "42",
                                        "43", "44", "45", "50", "51", "70"};
    if (Left(zip, 3) != "330") return false;
    return InList(zip.substr(zip.size() - 2), kKeys);
}

bool IsBCMetroPostal(const std::string& postalCode) {
    static const char* const kMetro[] = {
        "V0M", "V0X", "V1M", "V2P", "V2R", "V2S", "V2T", "V2V", "V2W", "V2X", "V2Y", "V2Z",
        "V3A", "V3B", "V3C", "V3E", "V3G", "V3H", "V3J", "V3K", "V3L", "V3M", "V3N", "V3P",
        "V3R", "V3S", "V3T", "V3V", "V3W", "V3X", "V3Y", "V3Z", "V4A", "V4B", "V4C", "V4E",
        "V4G", "V4K", "V4L", "V4M", "V4N", "V4P", "V4R", "V4S", "V4W", "V4X", "V4Z", "V5A",
        "V5B", "V5C", "V5E", "V5G", "V5H", "V5J", "V5K", "V5L", "V5M", "V5N", "V5P", "V5R",
        "V5S", "V5T", "V5W", "V5X", "V5Y", "V5Z", "V6A", "V6B", "V6C", "V6E", "V6G", "V6H",
        "V6J", "V6K", "V6L", "V6M", "V6N", "V6P", "V6R", "V6S", "V6T", "V6V", "V6W", "V6X",
        "V6Y", "V6Z", "V7A", "V7B", "V7C", "V7E", "V7G", "V7H", "V7J", "V7K", "V7L", "V7M",
        "V7N", "V7P", "V7R", "V7S", "V7T", "V7V", "V7W", "V7X", "V7Y"};
    static_assert(std::size(kMetro) == 105);
    if (postalCode.empty() || postalCode[0] != 'V') return false;
    return InList(Left(postalCode, 3), kMetro);
}
