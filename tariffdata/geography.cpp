#include "geography.h"

#include <algorithm>
#include <cctype>

#include "coveredlookup.h"
#include "numbers.h"
#include "tariffdb.h"
#include "text.h"

namespace {

PointEntryView* gView = nullptr;





Recordset& Table(const std::shared_ptr<Recordset>& rs, const char* name) {
    if (!rs) throw DbError(kErrObjectClosed, std::string("The table ") + name + " is not open.");
    return *rs;
}

// Seeks "=" on the named index, switching to it first when another one is current.
bool SeekKey(Recordset& rs, const char* index, const std::string& key) {
    if (!SameText(rs.Index(), index)) rs.SetIndex(index);
    rs.Seek("=", {Value(key)});
    return !rs.NoMatch();
}

// One end of the shipment, as references into the program-wide point fields.
struct End {
    std::string& zip;
    std::string& zip3;
    std::string& state;
    std::string& cityState;
    int16_t& subscript;
    uint8_t& country;
};

End EndOf(bool isDest) {
    auto& t = tariff;
    if (isDest)
        return {t.gDestZip,       t.gDestZip3,      t.gDestState,
                t.gDestCityState, t.gDestSubscript, t.gDestCountry};
    return {t.gOrigZip,       t.gOrigZip3,      t.gOrigState,
            t.gOrigCityState, t.gOrigSubscript, t.gOrigCountry};
}

// A caption is only ever shown for a verified end, so a failed look-up empties it on the
// window too, not just in the point.
void MarkNotVerified(const End& end, bool isDest) {
    end.cityState.clear();
    end.country = 99;
    if (gView) gView->SetCityCaption(isDest, "");
}

// A failed city choice must not leave the main window locked on a list it cannot use.
void ReleaseCityChoice() {
    if (!gView) return;
    gView->ClearCityList();
    gView->SetLocked(false);
}

bool IsCanadianProvince(const std::string& st) {
    static const char* const kProvinces[] = {"PE", "NS", "NB", "QC", "ON", "MB",
                                             "SK", "AB", "BC", "NL", "NT", "YT"};
    return std::any_of(std::begin(kProvinces), std::end(kProvinces),
                       [&](const char* p) { return SameText(st, p); });
}

// Walks the rows of one city (and only that city) for the one in the chosen state or
// province; the table is left on that row and back on its ZIP index.
bool FindCityRow(Recordset& rs, const std::string& city, const char* stateField,
                 const std::string& st) {
    bool found = false;
    rs.SetIndex("bycity");
    rs.Seek("=", {Value(city)});
    if (!rs.NoMatch()) {
        while (!rs.AtEOF() && SameText(Trim(rs.Field("City").str()), city)) {
            if (SameText(Trim(rs.Field(stateField).str()), st)) {
                found = true;
                break;
            }
            rs.MoveNext();
        }
    }
    // Everyone else seeks this table by ZIP; the current row survives the switch.
    rs.SetIndex("byzip");
    return found;
}

bool FindBaseZone(const std::string& postalCode, std::string& zone) {
    Recordset& can3 = Table(tariff.rsCan3, "can3");
    if (!SeekKey(can3, "can3post", Left(postalCode, 3))) return false;
    zone = Trim(can3.Field("basezone").str());
    return true;
}

}  // namespace

void SetPointEntryView(PointEntryView* view) {
    gView = view;
}
PointEntryView* GetPointEntryView() {
    return gView;
}

bool ReadsAsNumber(const std::string& text) {
    return IsNumeric(text);
}

bool LookupCityState(const std::string& code, uint8_t isDest) {
    const bool dest = isDest != 0;
    End end = EndOf(dest);
    try {
        std::string caption, state, key;
        uint8_t country;
        if (!ReadsAsNumber(code)) {
            Recordset* hit = nullptr;
            Recordset& rural = Table(tariff.rsCanRural, "can_rural");
            if (SeekKey(rural, "byzip", code)) {
                hit = &rural;
            } else {
                // The city table is the slow path; let the user see that we are working.
                if (gView) gView->ShowHourglass();
                Recordset& cities = Table(tariff.rsCanCities, "can_cities");
                if (SeekKey(cities, "byzip", Left(code, 4))) hit = &cities;
            }
            if (!hit) {
                MarkNotVerified(end, dest);
                return false;
            }
            state = Trim(hit->Field("Province").str());
            caption = Trim(hit->Field("City").str()) + ", " + state;
            key = CanadaBaseZone(code);
            country = 1;
        } else {
            Table(tariff.rsUSCities, "us_cities");
            // The row the index byzip finds first, the two fields shown.
            static const std::string sql =
                "SELECT City, State FROM us_cities WHERE zip = ?1 ORDER BY zip, rowid LIMIT 1";
            const std::vector<Value>* found = tariff.gDB->LookUp(sql, {Value(code)});
            if (!found) {
                MarkNotVerified(end, dest);
                return false;
            }
            state = Trim((*found)[1].str());
            caption = Trim((*found)[0].str()) + ", " + state;
            key = Left(code, 3);
            country = 0;
        }
        int16_t subscript = ZipSubscript(key);
        // Filled only once every look-up has succeeded: never half a point.
        end.cityState = caption;
        end.state = state;
        end.zip3 = key;
        end.subscript = subscript;
        end.country = country;
        return true;
    } catch (...) {
        MarkNotVerified(end, dest);
        throw;
    }
}

bool SearchCities(const std::string& city, uint8_t isDest) {
    if (gView) gView->SetLocked(true);
    try {
        std::vector<std::string> entries;
        auto collect = [&](const std::string& sql) {
            Snapshot rows = tariff.gDB->OpenSnapshot(sql, {Value(city)});
            for (; !rows.AtEOF(); rows.MoveNext()) {
                std::string entry = Trim(rows.Field(0).str()) + ", " + Trim(rows.Field(1).str());
                // A city may be in more than one table, not always next to its twin.
                bool seen = std::any_of(entries.begin(), entries.end(),
                                        [&](const std::string& e) { return SameText(e, entry); });
                if (!seen) entries.push_back(entry);
            }
        };
        if (!tariff.gDB) throw DbError(kErrObjectClosed, "The database is not open.");
        collect(
            "SELECT DISTINCT city, state FROM us_cities WHERE city = ?1 COLLATE NOCASE "
            "ORDER BY 1, 2");
        collect(
            "SELECT DISTINCT city, province FROM can_cities WHERE city = ?1 COLLATE NOCASE "
            "ORDER BY 1, 2");
        collect(
            "SELECT DISTINCT city, province FROM can_rural WHERE city = ?1 COLLATE NOCASE "
            "ORDER BY 1, 2");

        if (gView) gView->ClearCityList();
        if (entries.empty()) {
            if (gView) gView->SetLocked(false);
            return false;
        }
        if (gView)
            for (const auto& e : entries) gView->AddCity(e);
        tariff.gPickForDest = isDest ? 1 : 0;
        if (entries.size() >= 2) {
            // The main window stays locked until the user picks one.
            if (gView) gView->ShowCityList();
            return true;
        }
        if (gView) gView->SetZipText(isDest != 0, entries.front());
        PickCity(entries.front());
        if (gView) gView->SetLocked(false);
        // A city the tables list but cannot place is not a verified end.
        return EndOf(isDest != 0).country != 99;
    } catch (...) {
        ReleaseCityChoice();
        throw;
    }
}

void PickCity(const std::string& choice) {
    const bool dest = tariff.gPickForDest != 0;
    End end = EndOf(dest);
    try {
        const std::string city = Trim(CityOfCityState(choice));
        const std::string trimmed = Trim(choice);
        const std::string st =
            Upper(trimmed.size() > 2 ? trimmed.substr(trimmed.size() - 2) : trimmed);

        Recordset* hit = nullptr;
        const char* stateField = "State";
        const bool canadian = IsCanadianProvince(st);
        if (!canadian) {
            Recordset& us = Table(tariff.rsUSCities, "us_cities");
            if (FindCityRow(us, city, "State", st)) hit = &us;
        } else {
            stateField = "Province";
            Recordset& cities = Table(tariff.rsCanCities, "can_cities");
            Recordset& rural = Table(tariff.rsCanRural, "can_rural");
            // A name can_cities knows in another province may still be a rural point here.
            if (FindCityRow(cities, city, stateField, st))
                hit = &cities;
            else if (FindCityRow(rural, city, stateField, st))
                hit = &rural;
        }
        if (!hit) {
            MarkNotVerified(end, dest);
            return;
        }

        std::string zip = Trim(hit->Field("zip").str());
        std::string state = Trim(hit->Field(stateField).str());
        std::string key = canadian ? CanadaBaseZone(zip) : Left(zip, 3);
        int16_t subscript = ZipSubscript(key);

        end.state = state;
        end.zip3 = key;
        end.zip = zip;
        end.subscript = subscript;
        end.cityState = choice;
        end.country = canadian ? 1 : 0;

        if (gView) {
            gView->SetZipText(dest, choice);
            gView->SetCityCaption(dest, choice);
            if (!dest)
                gView->FocusDestZip();
            else if (!gView->MilitaryQuestionPending())
                gView->FocusFirstWeight();
        }
    } catch (...) {
        MarkNotVerified(end, dest);
        ReleaseCityChoice();
        throw;
    }
}

bool IsOffshoreZip(const std::string& zip) {
    if (zip.empty() || !ReadsAsNumber(zip)) return false;
    Recordset& us = Table(tariff.rsUSCities, "us_cities");
    if (!SeekKey(us, "byzip", zip)) return false;
    std::string state = Upper(Trim(us.Field("State").str()));
    if (state != "PR" && state != "AK" && state != "HI") return false;
    tariff.gOffshoreState = state;
    return true;
}

std::string CanadaBaseZone(const std::string& postalCode) {
    std::string zone;
    if (!FindBaseZone(postalCode, zone))
        throw TariffDataError("The postal area \"" + Left(postalCode, 3) +
                              "\" is missing from the table can3, so its base zone is unknown.");
    return zone;
}

int16_t ZipSubscript(const std::string& key) {
    Table(tariff.rsZiplist, "ziplist");
    // The row the index byzip finds first, its subscript alone; byzip is unique, so the
    // covering index's one row needs no order.
    static CoveredLookUp subscriptOf(
        "ziplist", "bykeysubscript",
        "SELECT subscript FROM ziplist INDEXED BY \"ziplist.bykeysubscript\" WHERE \"key\" = ?1",
        "SELECT subscript FROM ziplist WHERE \"key\" = ?1 ORDER BY \"key\", rowid LIMIT 1");
    const std::vector<Value>* found = subscriptOf({Value(key)});
    if (!found)
        throw TariffDataError("The ZIP-list key \"" + key +
                              "\" is missing from the table ziplist, so its lane is unknown.");
    int64_t subscript = (*found)[0].toInt();
    // A subscript beyond the lane files would silently read another lane's cell.
    if (subscript < 1 || subscript > 1053)
        throw TariffDataError("The ZIP-list key \"" + key + "\" has the subscript " +
                              std::to_string(subscript) +
                              " in the table ziplist; it must lie from 1 to 1053.");
    return static_cast<int16_t>(subscript);
}

bool IsIntraCanada() {
    return tariff.gOrigCountry == 1 && tariff.gDestCountry == 1;
}

std::string CityOfCityState(const std::string& cityState) {
    // Without a comma the whole text is taken as the city.
    return cityState.substr(0, cityState.find(','));
}

std::string FirstZipOfPrefix(const std::string& prefix) {
    if (!tariff.gDB) throw DbError(kErrObjectClosed, "The database is not open.");
    // The range lets the ZIP index do the work; the prefix test keeps the meaning exact.
    Snapshot rows = tariff.gDB->OpenSnapshot(
        "SELECT zip FROM us_cities WHERE zip >= ?1 AND zip < ?2 AND substr(zip, 1, 3) = ?1 "
        "COLLATE NOCASE ORDER BY zip LIMIT 1",
        {Value(prefix), Value(prefix + "\x7f")});
    if (rows.AtEOF())
        throw TariffDataError("No ZIP code with the prefix \"" + prefix +
                              "\" is in the table us_cities.");
    return Trim(rows.Field(0).str());
}

std::string OtherIfDifferent(const std::string&, const std::string& second) {
    return second;
}
