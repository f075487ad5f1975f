#include "shiplocations.h"

#include <QString>
#include <algorithm>
#include <cctype>

#include "database.h"
#include "discountstore.h"
#include "messagebox.h"
#include "msgbox.h"
#include "tariffdb.h"
#include "text.h"

namespace {

bool AllDigits(const std::string& t) {
    return !t.empty() &&
           std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool HasRow(const std::string& sql, const std::string& key) {
    Snapshot rows = tariff.gDB->OpenSnapshot(sql, {key});
    return !rows.AtEOF();
}

bool KnownZipPrefix(const std::string& prefix) {
    return HasRow("SELECT 1 FROM us_cities WHERE substr(zip, 1, 3) = ?1 LIMIT 1", prefix);
}

bool KnownPostalArea(const std::string& area) {
    return HasRow("SELECT 1 FROM can3 WHERE postcode = ?1 LIMIT 1", area) ||
           HasRow("SELECT 1 FROM can_rural WHERE substr(zip, 1, 3) = ?1 LIMIT 1", area) ||
           HasRow("SELECT 1 FROM can_cities WHERE substr(zip, 1, 3) = ?1 LIMIT 1", area);
}

void ReportFailure(const std::exception& e, const std::string& outcome) {
    const auto* db = dynamic_cast<const DbError*>(&e);
    const int number = db ? db->number() : kErrGeneral;
    PlatformMessageBox(QString::fromStdString("Error number: " + std::to_string(number) + "\n" +
                                              e.what() + "\n\n" + outcome),
                       kMbOK);
}

}  // namespace

std::string ShipLocationRefusal(const std::string& location) {
    if (location == kDefaultProgram)
        return "ALL is the discount program of every location not defined here; it cannot be "
               "added as a shipping location.  Please try again.";
    if (location.size() != 3)
        return "A shipping location is three characters: the first three digits of a ZIP code "
               "or the first three characters of a postal code.  Please try again.";
    const bool known = AllDigits(location) ? KnownZipPrefix(location) : KnownPostalArea(location);
    if (!known)
        return location +
               " is neither the first three digits of a ZIP code nor the first three "
               "characters of a postal code of this tariff.  Please try again.";
    return {};
}

std::vector<std::string> StoredShipLocations() {
    std::vector<std::string> out;
    Recordset& shipzips = *tariff.rsShipzips;
    shipzips.SetIndex("byzip");
    for (shipzips.MoveFirst(); !shipzips.AtEOF(); shipzips.MoveNext())
        out.push_back(shipzips.Field("zip").str());
    return out;
}

void AddShippingLocation(const std::string& location) {
    AllOrNothing([&] {
        Recordset& shipzips = *tariff.rsShipzips;
        shipzips.AddNew();
        shipzips.SetField("zip", location);
        shipzips.Update();
        AddShipLocStates(location);
        AddShipLocDiscounts(location);
        AddShipLocProfiles(location);
    });
}

void DeleteShippingLocation(const std::string& location) {
    AllOrNothing([&] {
        for (const char* table : {"shipzips", "discounts", "faktable", "states"})
            tariff.gDB->Execute(std::string("DELETE FROM ") + table + " WHERE zip = ?1",
                                {location});
    });
}

std::string ShipLocModel::ShownEntry() const {
    return shown >= 0 && shown < static_cast<int>(entries.size()) ? entries[shown] : "";
}

void ShipLocActivate(ShipLocModel& m) {
    m.helpPage = kHelpShipLoc;
    if (!m.listFilled) {
        m.entries = StoredShipLocations();
        if (m.entries.empty()) m.entries.push_back(kDefaultProgram);
        m.listFilled = true;
    }
    m.shown = m.entries.empty() ? -1 : 0;
}

void ShipLocEnterMode(ShipLocModel& m) {
    m.helpPage = kHelpNewLoc;
    m.why = kWhatCaption;
    m.entryMode = true;
}

void ShipLocListMode(ShipLocModel& m) {
    m.helpPage = kHelpShipLoc;
    m.entryMode = false;
}

bool ShipLocAdd(ShipLocModel& m, const std::string& typed, const std::function<void()>& adding) {
    // Upper case here too: a pasted text never passed the key filter.
    const std::string location = Upper(Trim(typed));
    m.entryText = location;
    auto refuse = [&](const std::string& text, const char* title) {
        ShowMessage(QString::fromStdString(text), kMsgOK, QString::fromUtf8(title));
        ShipLocEnterMode(m);
        return false;
    };
    try {
        if (const std::string why = ShipLocationRefusal(location); !why.empty())
            return refuse(why, "Data Entry Error");
        const std::vector<std::string> stored = StoredShipLocations();
        if (std::find_if(stored.begin(), stored.end(), [&](const std::string& s) {
                return SameText(s, location);
            }) != stored.end())
            return refuse("Duplicate shipping location.  Please try again.", "Data Entry Error");
        if (static_cast<int>(stored.size()) >= kMaxShipLocations)
            return refuse("No more than 255 shipping locations can be kept.", "Data Entry Error");

        m.helpPage = kHelpAdding;
        m.why = kAddingCaption;
        if (adding) adding();
        AddShippingLocation(location);
    } catch (const DbError& e) {
        if (e.number() == kErrDuplicateKey)
            return refuse("Duplicate shipping location.  Please try again.", "Data Entry Error");
        ReportFailure(e, "The shipping location was not added.");
        ShipLocEnterMode(m);
        return false;
    } catch (const std::exception& e) {
        ReportFailure(e, "The shipping location was not added.");
        ShipLocEnterMode(m);
        return false;
    }
    // Only a stored location joins the list.
    m.entries.push_back(location);
    m.why = kWhyCaption;
    ShipLocListMode(m);
    return true;
}

bool ShipLocDelete(ShipLocModel& m) {
    const std::string location = m.ShownEntry();
    if (location.empty()) return false;
    if (location == kDefaultProgram) {
        ShowMessage(QStringLiteral("You can't delete this location.  It is the default for all "
                                   "undefined location shipments."),
                    kMsgOK, QStringLiteral("Error!"));
        return false;
    }
    ShowMessage(QString::fromStdString("Are you sure you want to delete " + location + "?"),
                kMsgQuestion, QStringLiteral("Confirm deletion"));
    if (messages.gMsgAnswer != kMsgYes) return false;
    try {
        DeleteShippingLocation(location);
    } catch (const std::exception& e) {
        ReportFailure(e, "Nothing was deleted.");
        return false;
    }
    m.entries.erase(m.entries.begin() + m.shown);
    if (m.entries.empty()) m.entries.push_back(kDefaultProgram);
    m.shown = 0;
    return true;
}
