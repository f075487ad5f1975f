#include "blstoredchecks.h"

#include <QString>
#include <optional>
#include <set>

#include "blcatalog.h"
#include "blchecks.h"
#include "blform.h"
#include "blstore.h"
#include "text.h"

namespace {

// At most this many characters of a stored text are quoted: a name of 100,000 characters
// would make the list of refusals unreadable.
constexpr int kMostQuoted = 40;

int Characters(const std::string& text) {
    return static_cast<int>(QString::fromStdString(text).size());
}

std::string Quoted(const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (t.size() <= kMostQuoted) return "\"" + text + "\"";
    return "\"" + t.left(kMostQuoted).toStdString() + "...\"";
}

// A text field and the most characters its box takes.
struct BoxText {
    const char* field;
    const std::string& text;
    int most;
};

void CheckLengths(const std::string& row, std::initializer_list<BoxText> boxes,
                  std::vector<std::string>& problems) {
    for (const BoxText& box : boxes) {
        const int n = Characters(box.text);
        if (n > box.most)
            problems.push_back(row + ": its " + box.field + " is " + std::to_string(n) +
                               " characters long; the window takes at most " +
                               std::to_string(box.most) + ".");
    }
}

void CheckBills(std::vector<std::string>& problems) {
    // The bill window's lists, filled once: each bill is shown in them as the window shows it.
    BLForm form;
    FillPartyLists(form);
    FillCommodityLists(form);
    // The look-up by number finds the first bill, in id order, with the trimmed number, as the
    // window's check of a new number compares: each later one could never be shown. One pass
    // over the bills finds them all, where a look-up for each bill would read every other.
    std::set<std::string> numbers;
    for (const BillRecord& b : AllBills()) {
        const std::string row = "Bills: the bill with BL ID \"" + std::to_string(b.blId) +
                                "\", BL number " + Quoted(b.blNumber);
        if (!numbers.insert(Trim(b.blNumber)).second)
            problems.push_back(row + ": A B/L is already on file with this number.");
        form.cmbBillNbr.text = b.blNumber;
        ShowBL(form, b.blId);
        // Checked as the window checks a bill being edited: its number is its own.
        if (const std::optional<BLCheckFailure> failure = CheckBLForm(form, 1))
            problems.push_back(row + ": " + FailureText(*failure));
        CheckLengths(row,
                     {{"PONbr", form.txtPONbr, kPONumberLength},
                      {"Instructions", form.txtInstructions, kNotesLength},
                      {"Date", form.txtDate, kBoxLength}},
                     problems);
        for (int line = 0; line < kBLLines; ++line)
            CheckLengths(row + " line " + std::to_string(line + 1),
                         {{"Quantity", form.txtQuantity[line], kBoxLength},
                          {"Weight", form.txtweight[line], kBoxLength}},
                         problems);
    }
}

void CheckParties(std::vector<std::string>& problems) {
    for (const PartyRecord& p : AllParties()) {
        const std::string row = "BL parties: the party with Party ID \"" +
                                std::to_string(p.partyId) + "\", Name " + Quoted(p.name);
        if (const std::optional<EntryFailure> failure = CheckParty(p, p.partyId))
            problems.push_back(row + ": " + failure->text);
        CheckLengths(row,
                     {{"Name", p.name, kBoxLength},
                      {"Address", p.address, kBoxLength},
                      {"City", p.city, kBoxLength},
                      {"zip", p.zip, kBoxLength}},
                     problems);
    }
}

void CheckCommodities(std::vector<std::string>& problems) {
    for (const CommodityRecord& c : AllCommodities()) {
        const std::string row = "Commodity: the commodity with commodity ID \"" +
                                std::to_string(c.commodityId) + "\", Description " +
                                Quoted(c.description);
        if (const std::optional<EntryFailure> failure = CheckCommodity(c, c.commodityId))
            problems.push_back(row + ": " + failure->text);
        CheckLengths(row,
                     {{"Description", c.description, kBoxLength},
                      {"nmfc", c.nmfc, kNmfcLength},
                      {"Weight", c.weight, kBoxLength}},
                     problems);
    }
}

}  // namespace

std::vector<std::string> CheckStoredBLRecords() {
    std::vector<std::string> problems;
    CheckBills(problems);
    CheckParties(problems);
    CheckCommodities(problems);
    return problems;
}
