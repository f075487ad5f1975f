#include "blcatalog.h"

#include <algorithm>
#include <limits>

#include "blstore.h"
#include "geography.h"
#include "numbers.h"
#include "tariffdb.h"
#include "text.h"

namespace {

EntryFailure Fail(const char* title, const std::string& text, CatalogField field) {
    return {title, text, field};
}

// Another record already goes by the name (compared as the look-ups compare it).
bool NameTaken(BLRecordId found, BLRecordId editingId) {
    return found != 0 && found != editingId;
}

}  // namespace

bool IsNmfcClass(const std::string& text) {
    return std::find(tariff.gClasses.begin(), tariff.gClasses.end(), text) != tariff.gClasses.end();
}

std::optional<EntryFailure> CheckCommodity(const CommodityRecord& c, BLRecordId editingId) {
    // A name of blanks would show as no name at all.
    if (Trim(c.description).empty())
        return Fail("Error!", "Every commodity must have a name.", CatalogField::Name);
    if (!IsStorableName(c.description))
        return Fail("Error!", "A commodity name cannot begin with \"...\".", CatalogField::Name);
    if (NameTaken(FindCommodityId(c.description), editingId))
        return Fail("Error!", "A commodity with this name is already on file.", CatalogField::Name);
    if (c.weight.empty())
        return Fail("Error", "Every commodity must include a weight.", CatalogField::Weight);
    const double weight = Val(c.weight);
    if (weight <= 0)
        return Fail("Error!", "Every commodity must include a positive weight value.",
                    CatalogField::Weight);
    if (weight > std::numeric_limits<int32_t>::max())
        return Fail("Error!", "The weight of one piece is too large.", CatalogField::Weight);
    if (!IsNmfcClass(c.commodityClass))
        return Fail("Error!", "Illegal NMFC class.", CatalogField::Class);
    return std::nullopt;
}

std::optional<EntryFailure> CheckPartyZip(const std::string& zip) {
    if (!StateOfPartyZip(zip).empty()) return std::nullopt;
    return Fail("Data entry error",
                ReadsAsNumber(zip) ? "This is not a legal ZIP orPostal code."
                                   : "This is not a legal ZIP or Postal code.",
                CatalogField::Zip);
}

std::optional<EntryFailure> CheckParty(const PartyRecord& p, BLRecordId editingId) {
    if (Trim(p.name).empty())
        return Fail("Error", "Every B/L party must have a name.", CatalogField::Name);
    if (!IsStorableName(p.name))
        return Fail("Error", "A B/L party name cannot begin with \"...\".", CatalogField::Name);
    if (NameTaken(FindPartyId(p.name), editingId))
        return Fail("Error", "A B/L party with this name is already on file.", CatalogField::Name);
    if (p.address.empty())
        return Fail("Error", "Every B/L party must have an address.", CatalogField::Address);
    if (p.city.empty())
        return Fail("Error", "Every address must Include a city name.", CatalogField::City);
    if ((p.role & 7) == 0)
        return Fail("Error",
                    "Every B/L party must have a role.  Please choose one or more of the roles.",
                    CatalogField::Roles);
    // A party the rating cannot place is no use on a bill.
    if (std::optional<EntryFailure> zip = CheckPartyZip(p.zip)) return zip;
    return CheckRolesInUse(p, editingId);
}

std::optional<EntryFailure> CheckRolesInUse(const PartyRecord& p, BLRecordId editingId) {
    if (editingId == 0) return std::nullopt;
    const std::optional<PartyRecord> stored = ReadParty(editingId);
    if (!stored) return std::nullopt;
    const struct {
        int role;
        const char* place;
    } places[] = {{kRoleShipper, "shipper"},
                  {kRoleConsignee, "consignee"},
                  {kRoleBillTo, "bill-to party"}};
    for (const auto& [role, place] : places) {
        if (!(stored->role & role) || (p.role & role)) continue;
        const std::string bills = ListBLsUsingPartyAs(editingId, role);
        if (bills == "OK") continue;
        // Taken away, the role would leave those bills naming a party their checks refuse.
        return Fail("Database error",
                    "This party is the " + std::string(place) +
                        " of one or more B/Ls that are still on file:" + bills +
                        "  It must stay a " + place + " while they name it.",
                    CatalogField::Roles);
    }
    return std::nullopt;
}
