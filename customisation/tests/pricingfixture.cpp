#include "pricingfixture.h"

#include "commandwindows.h"
#include "discountstore.h"
#include "formkit.h"
#include "messagebox.h"
#include "msgbox.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"

void PricingTest::SetUp() {
    OpenTariffDatabase();
    LoadStatesFile();
    InitClassTables();
    LoadSettings();
    // Values of the tests' own, each different, so a row shows which setting it took.
    const std::pair<const char*, const char*> kValues[] = {
        {"FLOOR_qzainter", "11.11"},  {"FLOOR_qzbinter", "22.22"}, {"FLOOR_qzdinter", "33.33"},
        {"FLOOR_jointline", "44.44"}, {"FLOOR_canadaus", "55.55"}, {"DISC_USADefault", "41.0"},
        {"DISC_Canada_US", "62.0"},   {"DISC_USA_Canada", "53.0"}, {"DISC_CanadaDefault", "24.0"}};
    for (const auto& [key, value] : kValues) tariff.startupValues[key] = value;
    customisation.Reset();
    messages.Reset();
    messageScript.Reset();
    messageScript.Start();
}

void PricingTest::TearDown() {
    SetPricingModalRunner(nullptr);
    customisation.Reset();
    messageScript.Reset();
    messages.Reset();
    rating.Reset();
}

int PricingTest::RowsOf(const std::string& table, const std::string& location) {
    Snapshot s = tariff.gDB->OpenSnapshot(
        "SELECT count(*) FROM " + QuoteIdentifier(table) + " WHERE zip = ?1", {location});
    return static_cast<int>(s.Field(size_t{0}).toInt());
}

std::string PricingTest::FieldOf(const std::string& sql, const std::vector<Value>& params) {
    Snapshot s = tariff.gDB->OpenSnapshot(sql, params);
    return s.AtEOF() ? "(no row)" : s.Field(size_t{0}).str();
}

std::string PricingTest::PricingTables() {
    std::string out;
    for (const char* table : {"shipzips", "states", "discounts", "faktable", "Thriftlane"}) {
        Snapshot s =
            tariff.gDB->OpenSnapshot(std::string("SELECT * FROM ") + table + " ORDER BY rowid");
        out += std::string(table) + "\n";
        for (; !s.AtEOF(); s.MoveNext()) {
            for (size_t i = 0; i < s.FieldNames().size(); ++i) out += s.Field(i).str() + "|";
            out += "\n";
        }
    }
    return out;
}

std::vector<std::string> PricingTest::TakeMessages() {
    std::vector<std::string> out;
    for (const auto& m : messageScript.Log())
        out.push_back((m.title + ": " + m.text).toStdString());
    messageScript.ClearLog();
    return out;
}
