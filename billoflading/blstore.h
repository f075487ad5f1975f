#pragma once
// The bill-of-lading tables: Bills, BL Notes, BLdetail, Commodity and BL parties. Ids, look-ups
// by name, reading records and writing them. Names and numbers compare trimmed and exactly
// (letter case counts), whatever the tables' own keys do. Every write that touches more than
// one row is one transaction: it is stored whole or not at all.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "blrecords.h"

// A value the tables cannot hold (a weight beyond range, no id left); the message says which.
class BLRangeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Another program changed or deleted a record after a window read it, and the window's change
// or delete was not made: nothing was written. The message says which record and what became
// of it.
class BLChangedElsewhere : public std::runtime_error {
  public:
    BLChangedElsewhere(const std::string& what, bool removed)
        : std::runtime_error(what), removed_(removed) {}
    // The record is no longer on file.
    bool removed() const { return removed_; }

  private:
    bool removed_;
};

// "Another program has deleted the party since it was shown here": the start of what is said
// of a record (`what`) another program changed or deleted after a window read it.
std::string ChangedElsewhereText(const std::string& what, bool removed);

// One above the highest id in use, or 1 for an empty table.
BLRecordId NextBLId();
BLRecordId NextCommodityId();
BLRecordId NextPartyId();

// The id of the first row (lowest id) whose trimmed text equals the trimmed argument; 0 when
// none does. The table's recordset is left on the row found.
BLRecordId FindBLIdByNumber(const std::string& number);
BLRecordId FindPartyId(const std::string& name);
BLRecordId FindCommodityId(const std::string& description);

std::optional<BillRecord> ReadBill(BLRecordId id);
// The bill with its note and its lines in the order they were entered.
std::optional<BillOfLading> ReadBillOfLading(BLRecordId id);
std::vector<BLLineRecord> ReadBLLines(BLRecordId id);
std::optional<PartyRecord> ReadParty(BLRecordId id);
std::optional<CommodityRecord> ReadCommodity(BLRecordId id);

// Whole tables in id order.
std::vector<BillRecord> AllBills();
std::vector<PartyRecord> AllParties();
std::vector<CommodityRecord> AllCommodities();

// Runs a group of writes as one transaction: all of them, or none when one fails.
void InOneTransaction(const std::function<void()>& writes);

// Stores a bill, its note and its lines in one transaction. Adding gives the bill a new id;
// editing overwrites the bill with bill.bill.blId and replaces all its lines. A blank note
// keeps the note stored before. Returns the bill's id. On failure nothing is written and the
// error goes to the caller.
// `asRead`, when given, is the record as the window read it before the user changed it: the
// edit or delete is made only while every stored field is still as read, checked inside the
// write transaction, and otherwise raises BLChangedElsewhere. What another program stored in
// the meantime is never overwritten unseen.
BLRecordId StoreBill(const BillOfLading& bl, bool editing, const BillOfLading* asRead = nullptr);
// Deletes a bill with its lines and its note in one transaction.
void EraseBill(BLRecordId id, const BillOfLading* asRead = nullptr);

// Parties and commodities: adding gives a new id (returned), editing overwrites the row with
// the record's id.
BLRecordId StoreParty(const PartyRecord& party, bool editing, const PartyRecord* asRead = nullptr);
void EraseParty(BLRecordId id, const PartyRecord* asRead = nullptr);
BLRecordId StoreCommodity(const CommodityRecord& commodity, bool editing,
                          const CommodityRecord* asRead = nullptr);
void EraseCommodity(BLRecordId id, const CommodityRecord* asRead = nullptr);

// The weight of `quantity` pieces of the commodity, the unit weight taken as a whole number
// (halves to even). 0 when the commodity is unknown or the quantity is not a number. A product
// beyond the 32-bit range raises BLRangeError.
int32_t LineWeightFromUnits(const std::string& description, const std::string& quantity);

// The numbers of the stored bills that use a commodity on any line (once per line), or that
// name a party in any place, each after a blank; "OK" when none does. A list longer than 40
// characters is cut to 36 and "...".
std::string ListBLsUsingCommodity(BLRecordId commodityId);
std::string ListBLsUsingParty(BLRecordId partyId);
// The same for the bills that name the party in a place of one of the roles (kRoleShipper …).
std::string ListBLsUsingPartyAs(BLRecordId partyId, int roles);

// The state or province of a ZIP or postal code: a number in us_cities (a ZIP+4, "43215-1234",
// by its first five digits), otherwise the whole code in can_rural, otherwise its first four
// characters in can_cities. Empty when none knows it. The code is looked up trimmed.
std::string StateOfPartyZip(const std::string& zip);
// A ZIP or postal code as a party stores it: trimmed, a postal code in capitals.
std::string NormalisedPartyZip(const std::string& zip);
