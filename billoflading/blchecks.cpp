#include "blchecks.h"

#include <QString>
#include <QStringList>
#include <optional>

#include "blstore.h"
#include "bltext.h"
#include "entrychecks.h"
#include "messagebox.h"
#include "msgbox.h"
#include "numbers.h"
#include "text.h"

namespace {

// The main window's rule for a weight: a plain number above 0. "1,000", "450abc" or "1e3" would
// be read as some other number than the one shown and printed.
bool HasPositiveNumber(const std::string& text) {
    return IsPlainDecimal(text) && Val(text) > 0;
}

// A party box holds a party only when its text names one in the address book whose role
// allows the place: the window's lists offer no other, and typing one in must not store it.
bool NamesParty(const std::string& text, bool (*hasRole)(uint8_t)) {
    if (!HoldsChoice(text)) return false;
    const BLRecordId id = FindPartyId(text);
    const std::optional<PartyRecord> party = id != 0 ? ReadParty(id) : std::nullopt;
    return party && party->role >= 0 && party->role <= 255 &&
           hasRole(static_cast<uint8_t>(party->role));
}

}  // namespace

BLField LineField(int row, bool weight) {
    if (row == 0) return weight ? BLField::Weight0 : BLField::Quantity0;
    return static_cast<BLField>(static_cast<int>(BLField::Quantity1) + 2 * (row - 1) +
                                (weight ? 1 : 0));
}

bool IsLineField(BLField field, int& row, bool& weight) {
    for (int r = 0; r < kBLLines; ++r) {
        for (bool w : {false, true}) {
            if (LineField(r, w) != field) continue;
            row = r;
            weight = w;
            return true;
        }
    }
    return false;
}

uint8_t CheckBLNumber(const std::string& number, uint8_t editing) {
    const std::string wanted = Trim(number);
    if (CharacterCount(wanted) >= 16) return 1;
    if (editing) return 0;
    for (const BillRecord& b : AllBills())
        if (Trim(b.blNumber) == wanted) return 2;
    return 0;
}

bool IsValidProNumber(const std::string& text) {
    const std::string pro = Trim(text);
    if (pro.size() != 9) return false;
    for (char c : pro)
        if (c < '0' || c > '9') return false;
    const long base = std::stol(pro.substr(0, 8));
    return base % 7 == pro[8] - '0';
}

std::optional<BLCheckFailure> CheckBLForm(const BLForm& form, uint8_t editing) {
    const auto oops = [](BLField focus, std::vector<std::string> lines) {
        return BLCheckFailure{focus, "Oops!", std::move(lines), true};
    };
    const auto entryError = [](BLField focus, std::string text) {
        return BLCheckFailure{focus, "Data entry error", {std::move(text)}, false};
    };
    const std::string& number = form.cmbBillNbr.text;
    // A number of blanks is no number.
    if (Trim(number).empty()) return oops(BLField::BillNbr, {"Every B/L must have a number."});
    const uint8_t numberCheck = CheckBLNumber(number, editing);
    if (numberCheck == 2)
        return oops(BLField::BillNbr, {"A B/L is already on", "file with this number."});
    if (numberCheck == 1)
        return oops(BLField::BillNbr, {"B/L number must be less", "than 16 characters."});
    if (form.txtDate.empty()) return oops(BLField::Date, {"Every B/L must have a date."});
    if (!IsBLDate(form.txtDate)) return oops(BLField::Date, {"Date is invalid."});
    if (!form.txtProNumber.empty() && !IsValidProNumber(form.txtProNumber))
        return BLCheckFailure{BLField::ProNumber,
                              "Check PRO #",
                              {"This is not a valid NORVALE PRO Number.  Please try again."},
                              false};
    if (!NamesParty(form.cmbShipper.text, IsShipperRole))
        return entryError(BLField::Shipper, "Please define a shipping party for this B/L.");
    if (!NamesParty(form.cmbConsignee.text, IsConsigneeRole))
        return entryError(BLField::Consignee, "Please define a consignee forthis B/L.");
    // No bill-to party is fine; one that is not in the address book is not.
    if (HoldsChoice(form.cmbBillTo.text) && !NamesParty(form.cmbBillTo.text, IsBillToRole))
        return entryError(BLField::BillTo, "Please define a bill-to party for this B/L.");
    if (!HoldsChoice(form.cmbItem[0].text))
        return entryError(BLField::Item0, "Every B/L must include at least one commodity.");
    if (!HasPositiveNumber(form.txtQuantity[0]))
        return entryError(BLField::Quantity0, "Any commodity must a quantity (number).");
    if (!HasPositiveNumber(form.txtweight[0]))
        return entryError(BLField::Weight0, "Any commodity must a weight (number).");
    // Every further line in use is rated and printed too: one the rating could not read would be
    // left out of the quote without a word.
    for (int row = 1; row < kBLLines; ++row) {
        const bool used = HoldsChoice(form.cmbItem[row].text) ||
                          !Trim(form.txtQuantity[row]).empty() ||
                          !Trim(form.txtweight[row]).empty();
        if (!used) continue;
        for (bool weight : {false, true}) {
            if (HasPositiveNumber(weight ? form.txtweight[row] : form.txtQuantity[row])) continue;
            return entryError(LineField(row, weight),
                              "The commodity on line  " + std::to_string(row + 1) +
                                  " is missing a " + (weight ? "weight" : "quantity") +
                                  " value.  Please correct the problem.");
        }
    }
    return std::nullopt;
}

std::string FailureText(const BLCheckFailure& failure) {
    std::string text;
    for (const std::string& line : failure.lines) text += (text.empty() ? "" : " ") + line;
    return text;
}

bool ValidateBL(const BLForm& form, uint8_t editing, BLField& focus) {
    const std::optional<BLCheckFailure> failure = CheckBLForm(form, editing);
    focus = failure ? failure->focus : BLField::None;
    if (!failure) return true;
    if (failure->oops) {
        // The platform box joins its pieces with a lone carriage return.
        QStringList parts;
        for (const std::string& line : failure->lines) parts << QString::fromStdString(line);
        parts << QStringLiteral("Please try again.");
        PlatformMessageBox(parts.join(QChar('\r')), kMbInformation, QStringLiteral("Oops!"));
    } else {
        ShowMessage(QString::fromStdString(failure->lines.front()), kMsgOK,
                    QString::fromStdString(failure->title));
    }
    return false;
}
