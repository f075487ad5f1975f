#include "blfixture.h"

#include <QLocale>

#include "blstore.h"
#include "msgbox.h"
#include "settings.h"
#include "tariffdb.h"

void BLTest::SetUp() {
    // Dates are read in the user's locale; the tests pin one.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    messageScript.Reset();
    messageScript.Start();
    messages.Reset();
    InitClassTables();
    OpenTariffDatabase();
}

void BLTest::TearDown() {
    CloseAll();
    messageScript.Reset();
}

BLRecordId BLTest::AddParty(const std::string& name, int role, const std::string& zip,
                            const std::string& state) {
    PartyRecord p;
    p.name = name;
    p.address = "1 Main St";
    p.city = "Milwaukee";
    p.zip = zip;
    p.state = state;
    p.role = role;
    return StoreParty(p, false);
}

BLRecordId BLTest::AddCommodity(const std::string& description, const std::string& weight,
                                const std::string& cls) {
    CommodityRecord c;
    c.description = description;
    c.weight = weight;
    c.commodityClass = cls;
    return StoreCommodity(c, false);
}

BLRecordId BLTest::AddBill(const std::string& number, BLRecordId shipper, BLRecordId consignee,
                           BLRecordId billTo, const std::vector<BLLineRecord>& lines,
                           const std::string& note) {
    BillOfLading bl;
    bl.bill.blNumber = number;
    bl.bill.date = "12/7/26";
    bl.bill.shipperId = shipper;
    bl.bill.consigneeId = consignee;
    bl.bill.billToId = billTo;
    bl.lines = lines;
    bl.instructions = note;
    return StoreBill(bl, false);
}

int64_t BLTest::Rows(const std::string& table) {
    Snapshot s = tariff.gDB->OpenSnapshot("SELECT COUNT(*) FROM " + QuoteIdentifier(table));
    return s.Field(size_t{0}).toInt();
}
