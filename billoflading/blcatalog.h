#pragma once
// The checks of the commodity catalogue and the party address book before a record is
// stored. Each names the first failure: its title, its text and the box to go back to.

#include <optional>
#include <string>

#include "blrecords.h"

enum class CatalogField { Name, Address, City, Zip, Roles, Weight, Class };

struct EntryFailure {
    std::string title;
    std::string text;
    CatalogField field;
};

// `editingId` is the id of the record being edited (0 when adding): its own name is no
// duplicate.
std::optional<EntryFailure> CheckCommodity(const CommodityRecord& c, BLRecordId editingId);
std::optional<EntryFailure> CheckParty(const PartyRecord& p, BLRecordId editingId);
// Refuses taking a role from a stored party while stored bills name it in that role's place,
// listing those bills (part of CheckParty).
std::optional<EntryFailure> CheckRolesInUse(const PartyRecord& p, BLRecordId editingId);

// The message a ZIP or postal code no city table knows gets, or nothing when one knows it.
std::optional<EntryFailure> CheckPartyZip(const std::string& zip);

// A commodity's class is one of the eighteen NMFC classes, exactly as written.
bool IsNmfcClass(const std::string& text);
