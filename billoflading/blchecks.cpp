#include "blchecks.h"

#include <QString>
#include <QStringList>
#include <optional>

#include "blstore.h"
#include "entrychecks.h"
#include "messagebox.h"
#include "msgbox.h"
#include "numbers.h"
#include "text.h"

namespace {

const QString kOops = QStringLiteral("Oops!");
const QString kEntryError = QStringLiteral("Data entry error");
const QString kTryAgain = QStringLiteral("Please try again.");

// The platform box joins its pieces with a lone carriage return.
void Oops(std::initializer_list<QString> pieces) {
    QStringList parts(pieces);
    parts << kTryAgain;
    PlatformMessageBox(parts.join(QChar('\r')), kMbInformation, kOops);
}

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
    if (wanted.size() >= 16) return 1;
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

bool ValidateBL(const BLForm& form, uint8_t editing, BLField& focus) {
    focus = BLField::None;
    const std::string& number = form.cmbBillNbr.text;
    // A number of blanks is no number.
    if (Trim(number).empty()) {
        Oops({QStringLiteral("Every B/L must have a number.")});
        focus = BLField::BillNbr;
        return false;
    }
    const uint8_t numberCheck = CheckBLNumber(number, editing);
    if (numberCheck == 2) {
        Oops({QStringLiteral("A B/L is already on"), QStringLiteral("file with this number.")});
        focus = BLField::BillNbr;
        return false;
    }
    if (numberCheck == 1) {
        Oops({QStringLiteral("B/L number must be less"), QStringLiteral("than 16 characters.")});
        focus = BLField::BillNbr;
        return false;
    }
    if (form.txtDate.empty()) {
        Oops({QStringLiteral("Every B/L must have a date.")});
        focus = BLField::Date;
        return false;
    }
    if (!IsBLDate(form.txtDate)) {
        Oops({QStringLiteral("Date is invalid.")});
        focus = BLField::Date;
        return false;
    }
    if (!form.txtProNumber.empty() && !IsValidProNumber(form.txtProNumber)) {
        ShowMessage(QStringLiteral("This is not a valid NORVALE PRO Number.  ") +
                        QStringLiteral("Please try again."),
                    kMsgOK, QStringLiteral("Check PRO #"));
        focus = BLField::ProNumber;
        return false;
    }
    if (!NamesParty(form.cmbShipper.text, IsShipperRole)) {
        ShowMessage(
            QStringLiteral("Please define a shipping party for ") + QStringLiteral("this B/L."),
            kMsgOK, kEntryError);
        focus = BLField::Shipper;
        return false;
    }
    if (!NamesParty(form.cmbConsignee.text, IsConsigneeRole)) {
        ShowMessage(QStringLiteral("Please define a consignee for") + QStringLiteral("this B/L."),
                    kMsgOK, kEntryError);
        focus = BLField::Consignee;
        return false;
    }
    // No bill-to party is fine; one that is not in the address book is not.
    if (HoldsChoice(form.cmbBillTo.text) && !NamesParty(form.cmbBillTo.text, IsBillToRole)) {
        ShowMessage(
            QStringLiteral("Please define a bill-to party for ") + QStringLiteral("this B/L."),
            kMsgOK, kEntryError);
        focus = BLField::BillTo;
        return false;
    }
    if (!HoldsChoice(form.cmbItem[0].text)) {
        ShowMessage(
            QStringLiteral("Every B/L must include at least one ") + QStringLiteral("commodity."),
            kMsgOK, kEntryError);
        focus = BLField::Item0;
        return false;
    }
    if (!HasPositiveNumber(form.txtQuantity[0])) {
        ShowMessage(QStringLiteral("Any commodity must a quantity (number)."), kMsgOK, kEntryError);
        focus = BLField::Quantity0;
        return false;
    }
    if (!HasPositiveNumber(form.txtweight[0])) {
        ShowMessage(QStringLiteral("Any commodity must a weight (number)."), kMsgOK, kEntryError);
        focus = BLField::Weight0;
        return false;
    }
    // Every further line in use is rated and printed too: one the rating could not read would be
    // left out of the quote without a word.
    for (int row = 1; row < kBLLines; ++row) {
        const bool used = HoldsChoice(form.cmbItem[row].text) ||
                          !Trim(form.txtQuantity[row]).empty() ||
                          !Trim(form.txtweight[row]).empty();
        if (!used) continue;
        for (bool weight : {false, true}) {
            if (HasPositiveNumber(weight ? form.txtweight[row] : form.txtQuantity[row])) continue;
            ShowMessage(
                QStringLiteral("The commodity on line  %1 is missing a %2 value.  ")
                        .arg(row + 1)
                        .arg(weight ? QStringLiteral("weight") : QStringLiteral("quantity")) +
                    QStringLiteral("Please correct the problem."),
                kMsgOK, kEntryError);
            focus = LineField(row, weight);
            return false;
        }
    }
    return true;
}
