#include "blstore.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <set>

#include "bltext.h"
#include "database.h"
#include "msgbox.h"
#include "numbers.h"
#include "tariffdb.h"
#include "text.h"

namespace {

Database& Db() {
    if (!tariff.gDB) throw DbError(kErrObjectClosed, "The tariff database is not open.");
    return *tariff.gDB;
}

BLRecordId IdOf(const Value& v) {
    return static_cast<BLRecordId>(v.toInt());
}

// One above the highest id of a table; the id column is the table's key.
BLRecordId NextId(const char* table, const char* column) {
    Snapshot s = Db().OpenSnapshot(std::string("SELECT MAX(") + QuoteIdentifier(column) +
                                   ") FROM " + QuoteIdentifier(table));
    if (s.AtEOF() || s.Field(size_t{0}).isNull()) return 1;
    const int64_t highest = s.Field(size_t{0}).toInt();
    if (highest >= std::numeric_limits<BLRecordId>::max())
        throw BLRangeError(std::string("The table ") + table + " has no id left to give out.");
    return static_cast<BLRecordId>(highest < 0 ? 1 : highest + 1);
}

// Leaves the table's recordset on the row with the id, as callers of the look-ups expect.
void PositionOn(const std::shared_ptr<Recordset>& rs, BLRecordId id) {
    if (rs && rs->IsOpen()) rs->Seek("=", {Value(id)});
}

BLRecordId FindByText(const char* table, const char* idColumn, const char* textColumn,
                      const std::string& text, const std::shared_ptr<Recordset>& rs) {
    const std::string wanted = Trim(text);
    // The engine passes over the text rows that cannot match, so that a look-up does not copy
    // the whole table; a value stored as another type is compared here, as it reads.
    const std::string field = QuoteIdentifier(textColumn);
    Snapshot s = Db().OpenSnapshot("SELECT " + QuoteIdentifier(idColumn) + ", " + field + " FROM " +
                                       QuoteIdentifier(table) + " WHERE typeof(" + field +
                                       ") <> 'text' OR trim(" + field +
                                       ", ' ') = ?1 COLLATE BINARY ORDER BY 1",
                                   {wanted});
    for (; !s.AtEOF(); s.MoveNext()) {
        // Exact comparison: the table's own key would take "abc" for "ABC".
        if (Trim(s.Field(size_t{1}).str()) == wanted) {
            const BLRecordId id = IdOf(s.Field(size_t{0}));
            PositionOn(rs, id);
            return id;
        }
    }
    return 0;
}

BillRecord BillFromRow(const Snapshot& s) {
    BillRecord b;
    b.blId = IdOf(s.Field("BL ID"));
    b.blNumber = s.Field("BL number").str();
    b.date = s.Field("Date").str();
    b.proNumber = s.Field("PRO Number").str();
    b.poNumber = s.Field("PONbr").str();
    b.shipperId = IdOf(s.Field("Shipper ID"));
    b.consigneeId = IdOf(s.Field("Consignee ID"));
    b.billToId = IdOf(s.Field("Bill To ID"));
    return b;
}

PartyRecord PartyFromRow(const Snapshot& s) {
    PartyRecord p;
    p.partyId = IdOf(s.Field("Party ID"));
    p.name = s.Field("Name").str();
    p.address = s.Field("Address").str();
    p.city = s.Field("City").str();
    p.zip = s.Field("zip").str();
    p.state = s.Field("State").str();
    p.role = static_cast<int>(s.Field("role").toInt());
    return p;
}

CommodityRecord CommodityFromRow(const Snapshot& s) {
    CommodityRecord c;
    c.commodityId = IdOf(s.Field("commodity ID"));
    c.description = s.Field("Description").str();
    c.weight = s.Field("Weight").str();
    c.nmfc = s.Field("nmfc").str();
    c.commodityClass = s.Field("Class").str();
    c.hazmat = static_cast<int>(s.Field("HAZMAT").toInt());
    return c;
}

const char* const kBillsSelect =
    "SELECT \"BL ID\", \"BL number\", \"Date\", \"PRO Number\", \"PONbr\", \"Shipper ID\", "
    "\"Consignee ID\", \"Bill To ID\" FROM \"Bills\"";
const char* const kPartiesSelect =
    "SELECT \"Party ID\", \"Name\", \"Address\", \"City\", \"zip\", \"State\", \"role\" "
    "FROM \"BL parties\"";
const char* const kCommoditySelect =
    "SELECT \"commodity ID\", \"Description\", \"Weight\", \"nmfc\", \"Class\", \"HAZMAT\" "
    "FROM \"Commodity\"";

// A row holding a value no record can take (an id or role of 1e300, as an earlier edition's
// file could hold) is named once a run and left out: one such row never empties a whole list.
template <typename Record>
std::vector<Record> ReadableRows(const std::string& select, const char* what, const char* nameField,
                                 Record (*fromRow)(const Snapshot&)) {
    static std::set<std::string> told;
    std::vector<Record> out;
    for (Snapshot s = Db().OpenSnapshot(select); !s.AtEOF(); s.MoveNext()) {
        try {
            out.push_back(fromRow(s));
        } catch (const NumberError& e) {
            const std::string text = std::string("The ") + what + " \"" + s.Field(nameField).str() +
                                     "\" holds a value that cannot be "
                                     "read (" +
                                     e.what() + "), so it is left out of the list.";
            if (told.insert(text).second)
                ShowMessage(QString::fromStdString(text), kMsgOK,
                            QStringLiteral("Unreadable record"));
        }
    }
    return out;
}

// Runs a group of writes as one transaction: all of them, or none when one fails.
template <typename F>
auto InTransaction(F&& writes) {
    return ::InTransaction(Db(), std::forward<F>(writes));
}

enum class Write { Save, Delete };

// Inside the write transaction: the record must still be stored as the window read it, or the
// user's change would undo what another program stored since, unseen.
template <typename Record>
void RequireAsRead(const std::optional<Record>& stored, const Record* asRead, const char* what,
                   Write write) {
    if (!asRead || (stored && *stored == *asRead)) return;
    const bool removed = !stored;
    std::string text = ChangedElsewhereText(what, removed);
    if (write == Write::Save)
        text += ", so your changes were not saved.";
    else
        text += removed ? "." : ", so it was not deleted.";
    throw BLChangedElsewhere(text, removed);
}

// Shortens a list of bill numbers the way the refusal messages show it.
std::string FinishUsedByList(const std::string& list) {
    if (Trim(list).empty()) return "OK";
    if (CharacterCount(list) > 40) return FirstCharacters(list, 36) + "...";
    return list;
}

void AppendNumber(std::string& list, const std::string& number) {
    if (CharacterCount(list) < 230) list += " " + number;
}

// Whole number nearest to a value, halves to even, in 64 bits.
double RoundHalfEven(double v) {
    return std::nearbyint(v);
}

}  // namespace

BLRecordId NextBLId() {
    return NextId("Bills", "BL ID");
}
BLRecordId NextCommodityId() {
    return NextId("Commodity", "commodity ID");
}
BLRecordId NextPartyId() {
    return NextId("BL parties", "Party ID");
}

BLRecordId FindBLIdByNumber(const std::string& number) {
    return FindByText("Bills", "BL ID", "BL number", number, tariff.rsBills);
}
BLRecordId FindPartyId(const std::string& name) {
    return FindByText("BL parties", "Party ID", "Name", name, tariff.rsBLParties);
}
BLRecordId FindCommodityId(const std::string& description) {
    return FindByText("Commodity", "commodity ID", "Description", description, tariff.rsCommodity);
}

std::optional<BillRecord> ReadBill(BLRecordId id) {
    Snapshot s = Db().OpenSnapshot(std::string(kBillsSelect) + " WHERE \"BL ID\" = ?", {id});
    if (s.AtEOF()) return std::nullopt;
    return BillFromRow(s);
}

std::vector<BLLineRecord> ReadBLLines(BLRecordId id) {
    // The lines in the order they were added, which is the order of the window's rows.
    Snapshot s = Db().OpenSnapshot(
        "SELECT \"commodity ID\", \"Quantity\", \"Weight\" FROM \"BLdetail\" "
        "WHERE \"BL ID\" = ? ORDER BY rowid",
        {id});
    std::vector<BLLineRecord> lines;
    for (; !s.AtEOF(); s.MoveNext())
        lines.push_back(
            {IdOf(s.Field(size_t{0})), s.Field(size_t{1}).str(), s.Field(size_t{2}).str()});
    return lines;
}

std::optional<BillOfLading> ReadBillOfLading(BLRecordId id) {
    std::optional<BillRecord> bill = ReadBill(id);
    if (!bill) return std::nullopt;
    BillOfLading bl;
    bl.bill = *bill;
    Snapshot note =
        Db().OpenSnapshot("SELECT \"Instructions\" FROM \"BL Notes\" WHERE \"BL ID\" = ?", {id});
    if (!note.AtEOF()) bl.instructions = note.Field(size_t{0}).str();
    bl.lines = ReadBLLines(id);
    return bl;
}

std::optional<PartyRecord> ReadParty(BLRecordId id) {
    Snapshot s = Db().OpenSnapshot(std::string(kPartiesSelect) + " WHERE \"Party ID\" = ?", {id});
    if (s.AtEOF()) return std::nullopt;
    return PartyFromRow(s);
}

std::optional<CommodityRecord> ReadCommodity(BLRecordId id) {
    Snapshot s =
        Db().OpenSnapshot(std::string(kCommoditySelect) + " WHERE \"commodity ID\" = ?", {id});
    if (s.AtEOF()) return std::nullopt;
    return CommodityFromRow(s);
}

std::vector<BillRecord> AllBills() {
    return ReadableRows(std::string(kBillsSelect) + " ORDER BY \"BL ID\"", "bill of lading",
                        "BL number", BillFromRow);
}

std::vector<PartyRecord> AllParties() {
    return ReadableRows(std::string(kPartiesSelect) + " ORDER BY \"Party ID\"", "party", "Name",
                        PartyFromRow);
}

std::vector<CommodityRecord> AllCommodities() {
    return ReadableRows(std::string(kCommoditySelect) + " ORDER BY \"commodity ID\"", "commodity",
                        "Description", CommodityFromRow);
}

std::string ChangedElsewhereText(const std::string& what, bool removed) {
    return std::string("Another program has ") + (removed ? "deleted" : "changed") + " the " +
           what + " since it was shown here";
}

void InOneTransaction(const std::function<void()>& writes) {
    InTransaction(writes);
}

BLRecordId StoreBill(const BillOfLading& bl, bool editing, const BillOfLading* asRead) {
    if (bl.lines.size() > static_cast<size_t>(kBLLines))
        throw BLRangeError("A bill of lading holds at most five commodity lines.");
    return InTransaction([&] {
        Database& db = Db();
        const BillRecord& b = bl.bill;
        if (editing) RequireAsRead(ReadBillOfLading(b.blId), asRead, "bill of lading", Write::Save);
        const BLRecordId id = editing ? b.blId : NextBLId();
        const std::vector<Value> fields = {b.blNumber,  b.date,        b.proNumber, b.poNumber,
                                           b.shipperId, b.consigneeId, b.billToId,  id};
        if (editing) {
            const int changed = db.Execute(
                "UPDATE \"Bills\" SET \"BL number\" = ?, \"Date\" = ?, \"PRO Number\" = ?, "
                "\"PONbr\" = ?, \"Shipper ID\" = ?, \"Consignee ID\" = ?, \"Bill To ID\" = ? "
                "WHERE \"BL ID\" = ?",
                fields);
            if (changed == 0)
                throw DbError(kErrNoCurrentRecord,
                              "The bill of lading being edited is no "
                              "longer on file.");
        } else {
            db.Execute(
                "INSERT INTO \"Bills\" (\"BL number\", \"Date\", \"PRO Number\", \"PONbr\", "
                "\"Shipper ID\", \"Consignee ID\", \"Bill To ID\", \"BL ID\") "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                fields);
        }
        // A blank note leaves the one stored before.
        if (!Trim(bl.instructions).empty()) {
            if (db.Execute("UPDATE \"BL Notes\" SET \"Instructions\" = ? WHERE \"BL ID\" = ?",
                           {bl.instructions, id}) == 0)
                db.Execute("INSERT INTO \"BL Notes\" (\"BL ID\", \"Instructions\") VALUES (?, ?)",
                           {id, bl.instructions});
        }
        // An edit replaces the lines, so a line taken out is gone and none is kept twice.
        db.Execute("DELETE FROM \"BLdetail\" WHERE \"BL ID\" = ?", {id});
        for (const BLLineRecord& line : bl.lines)
            db.Execute(
                "INSERT INTO \"BLdetail\" (\"BL ID\", \"commodity ID\", \"Quantity\", "
                "\"Weight\") VALUES (?, ?, ?, ?)",
                {id, line.commodityId, line.quantity, line.weight});
        return id;
    });
}

void EraseBill(BLRecordId id, const BillOfLading* asRead) {
    InTransaction([&] {
        RequireAsRead(ReadBillOfLading(id), asRead, "bill of lading", Write::Delete);
        Database& db = Db();
        db.Execute("DELETE FROM \"Bills\" WHERE \"BL ID\" = ?", {id});
        db.Execute("DELETE FROM \"BLdetail\" WHERE \"BL ID\" = ?", {id});
        db.Execute("DELETE FROM \"BL Notes\" WHERE \"BL ID\" = ?", {id});
    });
}

BLRecordId StoreParty(const PartyRecord& p, bool editing, const PartyRecord* asRead) {
    return InTransaction([&] {
        Database& db = Db();
        if (editing) RequireAsRead(ReadParty(p.partyId), asRead, "party", Write::Save);
        const BLRecordId id = editing ? p.partyId : NextPartyId();
        const std::vector<Value> fields = {p.name, p.address, p.city, p.zip, p.state, p.role, id};
        if (editing) {
            if (db.Execute("UPDATE \"BL parties\" SET \"Name\" = ?, \"Address\" = ?, "
                           "\"City\" = ?, \"zip\" = ?, \"State\" = ?, \"role\" = ? "
                           "WHERE \"Party ID\" = ?",
                           fields) == 0)
                throw DbError(kErrNoCurrentRecord, "The party being edited is no longer on file.");
        } else {
            db.Execute(
                "INSERT INTO \"BL parties\" (\"Name\", \"Address\", \"City\", \"zip\", "
                "\"State\", \"role\", \"Party ID\") VALUES (?, ?, ?, ?, ?, ?, ?)",
                fields);
        }
        return id;
    });
}

void EraseParty(BLRecordId id, const PartyRecord* asRead) {
    InTransaction([&] {
        RequireAsRead(ReadParty(id), asRead, "party", Write::Delete);
        Db().Execute("DELETE FROM \"BL parties\" WHERE \"Party ID\" = ?", {id});
    });
}

BLRecordId StoreCommodity(const CommodityRecord& c, bool editing, const CommodityRecord* asRead) {
    return InTransaction([&] {
        Database& db = Db();
        if (editing) RequireAsRead(ReadCommodity(c.commodityId), asRead, "commodity", Write::Save);
        const BLRecordId id = editing ? c.commodityId : NextCommodityId();
        const std::vector<Value> fields = {c.description,    c.weight, c.nmfc,
                                           c.commodityClass, c.hazmat, id};
        if (editing) {
            if (db.Execute("UPDATE \"Commodity\" SET \"Description\" = ?, \"Weight\" = ?, "
                           "\"nmfc\" = ?, \"Class\" = ?, \"HAZMAT\" = ? "
                           "WHERE \"commodity ID\" = ?",
                           fields) == 0)
                throw DbError(kErrNoCurrentRecord,
                              "The commodity being edited is no longer on file.");
        } else {
            db.Execute(
                "INSERT INTO \"Commodity\" (\"Description\", \"Weight\", \"nmfc\", "
                "\"Class\", \"HAZMAT\", \"commodity ID\") VALUES (?, ?, ?, ?, ?, ?)",
                fields);
        }
        return id;
    });
}

void EraseCommodity(BLRecordId id, const CommodityRecord* asRead) {
    InTransaction([&] {
        RequireAsRead(ReadCommodity(id), asRead, "commodity", Write::Delete);
        Db().Execute("DELETE FROM \"Commodity\" WHERE \"commodity ID\" = ?", {id});
    });
}

int32_t LineWeightFromUnits(const std::string& description, const std::string& quantity) {
    const BLRecordId id = FindCommodityId(description);
    if (id == 0) return 0;
    const std::optional<CommodityRecord> c = ReadCommodity(id);
    if (!c) return 0;
    const double unit = RoundHalfEven(Val(c->weight));
    const double product = RoundHalfEven(unit * Val(quantity));
    if (!std::isfinite(product) || product > std::numeric_limits<int32_t>::max() ||
        product < std::numeric_limits<int32_t>::min())
        throw BLRangeError("The weight of this line is too large.");
    return static_cast<int32_t>(product);
}

std::string ListBLsUsingCommodity(BLRecordId commodityId) {
    std::string list;
    Snapshot s = Db().OpenSnapshot(
        "SELECT b.\"BL number\" FROM \"BLdetail\" AS d JOIN \"Bills\" AS b "
        "ON b.\"BL ID\" = d.\"BL ID\" WHERE d.\"commodity ID\" = ? "
        "ORDER BY d.\"BL ID\", d.rowid",
        {commodityId});
    for (; !s.AtEOF(); s.MoveNext()) AppendNumber(list, s.Field(size_t{0}).str());
    return FinishUsedByList(list);
}

std::string ListBLsUsingParty(BLRecordId partyId) {
    return ListBLsUsingPartyAs(partyId, kRoleShipper | kRoleConsignee | kRoleBillTo);
}

std::string ListBLsUsingPartyAs(BLRecordId partyId, int roles) {
    // A bill without a bill-to party stores 0 there, which names nobody.
    std::string list;
    Snapshot s = Db().OpenSnapshot(
        "SELECT \"BL number\" FROM \"Bills\" WHERE ?1 <> 0 AND ("
        "(?2 & 1 AND \"Shipper ID\" = ?1) OR (?2 & 2 AND \"Consignee ID\" = ?1) OR "
        "(?2 & 4 AND \"Bill To ID\" = ?1)) ORDER BY \"BL ID\"",
        {partyId, roles});
    for (; !s.AtEOF(); s.MoveNext()) AppendNumber(list, s.Field(size_t{0}).str());
    return FinishUsedByList(list);
}

std::string NormalisedPartyZip(const std::string& zip) {
    const std::string trimmed = Trim(zip);
    return IsNumeric(trimmed) ? trimmed : Upper(trimmed);
}

namespace {

// Five digits, a hyphen and four digits: the post office's longer ZIP, placed by its first five.
bool IsZipPlus4(const std::string& code) {
    if (code.size() != 10 || code[5] != '-') return false;
    for (size_t i = 0; i < code.size(); ++i)
        if (i != 5 && !std::isdigit(static_cast<unsigned char>(code[i]))) return false;
    return true;
}

}  // namespace

std::string StateOfPartyZip(const std::string& zip) {
    std::string code = Trim(zip);
    if (IsZipPlus4(code)) code = Left(code, 5);
    auto first = [&](const char* sql, const std::string& key) -> std::string {
        Snapshot s = Db().OpenSnapshot(sql, {key});
        return s.AtEOF() ? std::string() : s.Field(size_t{0}).str();
    };
    if (IsNumeric(code)) return first("SELECT \"State\" FROM \"us_cities\" WHERE zip = ?", code);
    if (code.empty()) return {};
    std::string state = first("SELECT \"Province\" FROM \"can_rural\" WHERE zip = ?", code);
    if (state.empty())
        state = first("SELECT \"Province\" FROM \"can_cities\" WHERE zip = ?", Left(code, 4));
    return state;
}

bool IsShipperRole(uint8_t role) {
    return role >= 1 && role <= 7 && (role & kRoleShipper);
}
bool IsConsigneeRole(uint8_t role) {
    return role >= 1 && role <= 7 && (role & kRoleConsignee);
}
bool IsBillToRole(uint8_t role) {
    return role >= 1 && role <= 7 && (role & kRoleBillTo);
}

bool HoldsChoice(const std::string& text) {
    return !text.empty() && Left(text, 3) != "...";
}

bool IsStorableName(const std::string& name) {
    return !Trim(name).empty() && Left(Trim(name), 3) != "...";
}
