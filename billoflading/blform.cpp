#include "blform.h"

#include <algorithm>
#include <cctype>

#include "bldates.h"
#include "blstore.h"

namespace {

std::string Folded(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool SortsBefore(const std::string& a, const std::string& b) {
    return Folded(a) < Folded(b);
}

// The list boxes look through their first entries only; a longer list is not searched further.
constexpr int kListSearchLimit = 10000;

void Prompted(ComboValues& box, const char* prompt) {
    box.list.assign(1, prompt);
}

}  // namespace

void ComboValues::Show(int index) {
    text = index >= 0 && static_cast<size_t>(index) < list.size() ? list[index] : std::string();
}

int ComboValues::IndexOf(const std::string& entry) const {
    const int n = std::min(static_cast<int>(list.size()), kListSearchLimit + 1);
    for (int i = 0; i < n; ++i)
        if (list[i] == entry) return i;
    return -1;
}

void ComboValues::AddSorted(const std::string& entry, size_t from) {
    from = std::min(from, list.size());
    auto at =
        std::upper_bound(list.begin() + static_cast<long>(from), list.end(), entry, SortsBefore);
    list.insert(at, entry);
}

void SortNames(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), SortsBefore);
}

void FillBLNumbers(BLForm& form) {
    for (const BillRecord& b : AllBills()) form.cmbBillNbr.list.push_back(b.blNumber);
    SortNames(form.cmbBillNbr.list);
}

std::vector<std::string> SortedCommodityNames() {
    std::vector<std::string> names;
    for (const CommodityRecord& c : AllCommodities()) names.push_back(c.description);
    SortNames(names);
    return names;
}

std::vector<std::string> SortedPartyNames() {
    std::vector<std::string> names;
    for (const PartyRecord& p : AllParties()) names.push_back(p.name);
    SortNames(names);
    return names;
}

void FillCommodityLists(BLForm& form) {
    const std::vector<std::string> names = SortedCommodityNames();
    for (ComboValues& item : form.cmbItem) {
        Prompted(item, kPromptCommodity);
        item.list.insert(item.list.end(), names.begin(), names.end());
    }
}

void FillPartyLists(BLForm& form) {
    Prompted(form.cmbShipper, kPromptShipper);
    Prompted(form.cmbConsignee, kPromptConsignee);
    Prompted(form.cmbBillTo, kPromptBillTo);
    std::vector<PartyRecord> parties = AllParties();
    std::stable_sort(
        parties.begin(), parties.end(),
        [](const PartyRecord& a, const PartyRecord& b) { return SortsBefore(a.name, b.name); });
    for (const PartyRecord& p : parties) {
        // A role outside 1 to 7 reads as no role at all.
        const uint8_t role = p.role >= 0 && p.role <= 255 ? static_cast<uint8_t>(p.role) : 0;
        if (IsShipperRole(role)) form.cmbShipper.list.push_back(p.name);
        if (IsConsigneeRole(role)) form.cmbConsignee.list.push_back(p.name);
        if (IsBillToRole(role)) form.cmbBillTo.list.push_back(p.name);
    }
}

void ClearBLForm(BLForm& form) {
    form.txtDate.clear();
    form.txtInstructions.clear();
    form.txtProNumber.clear();
    form.txtPONbr.clear();
    for (int row = 0; row < kBLLines; ++row) {
        form.cmbItem[row].Show(0);
        form.txtQuantity[row].clear();
        form.txtweight[row].clear();
    }
    form.cmbShipper.Show(0);
    form.cmbConsignee.Show(0);
    form.cmbBillTo.Show(0);
}

int FindPartyListIndex(const BLForm& form, BLRecordId partyId, uint8_t role) {
    const ComboValues* box = role == kRoleShipper     ? &form.cmbShipper
                             : role == kRoleConsignee ? &form.cmbConsignee
                             : role == kRoleBillTo    ? &form.cmbBillTo
                                                      : nullptr;
    if (!box) return 0;
    const std::optional<PartyRecord> party = ReadParty(partyId);
    if (!party) return 0;
    return std::max(box->IndexOf(party->name), 0);
}

int FindCommodityListIndex(const BLForm& form, BLRecordId commodityId, int row) {
    if (row < 0 || row >= kBLLines) return 0;
    const std::optional<CommodityRecord> c = ReadCommodity(commodityId);
    if (!c) return 0;
    return std::max(form.cmbItem[row].IndexOf(c->description), 0);
}

void LoadBLLines(BLForm& form, BLRecordId id) {
    const std::vector<BLLineRecord> lines = ReadBLLines(id);
    for (size_t row = 0; row < lines.size() && row < static_cast<size_t>(kBLLines); ++row) {
        const int r = static_cast<int>(row);
        form.cmbItem[r].Show(FindCommodityListIndex(form, lines[row].commodityId, r));
        form.txtQuantity[r] = lines[row].quantity;
        form.txtweight[r] = lines[row].weight;
    }
}

void ShowBL(BLForm& form, BLRecordId id) {
    ClearBLForm(form);
    const std::optional<BillOfLading> bl = id != 0 ? ReadBillOfLading(id) : std::nullopt;
    if (bl) {
        form.txtDate = ShownBLDate(bl->bill.date);
        form.txtProNumber = bl->bill.proNumber;
        form.txtPONbr = bl->bill.poNumber;
        form.txtInstructions = bl->instructions;
        form.cmbShipper.Show(FindPartyListIndex(form, bl->bill.shipperId, kRoleShipper));
        form.cmbConsignee.Show(FindPartyListIndex(form, bl->bill.consigneeId, kRoleConsignee));
        if (bl->bill.billToId != 0)
            form.cmbBillTo.Show(FindPartyListIndex(form, bl->bill.billToId, kRoleBillTo));
        LoadBLLines(form, id);
    }
    // Only a bill on file can be edited, deleted, rated or printed.
    const bool shown = bl.has_value();
    form.menu.mlblEdit = form.menu.mlblDelete = form.menu.mlblRate = form.menu.mlblPrint = shown;
    form.menu.mlblSave = false;
    form.dataEnabled = false;
    form.menu.mlblBLParties = form.menu.mlblCommodities = form.menu.mlblConfig = true;
    form.menu.mlblNew = form.menu.mlblDone = true;
    form.numberEnabled = true;
    form.strBillNbr = form.cmbBillNbr.text;
    form.shownId = shown ? id : 0;
    form.shownBill = bl;
}

BillOfLading BillFromForm(const BLForm& form) {
    BillOfLading bl;
    BillRecord& b = bl.bill;
    b.blNumber = form.cmbBillNbr.text;
    b.date = StoredBLDate(form.txtDate);
    b.proNumber = form.txtProNumber;
    b.poNumber = form.txtPONbr;
    b.shipperId = FindPartyId(form.cmbShipper.text);
    b.consigneeId = FindPartyId(form.cmbConsignee.text);
    // A bill-to party taken out of the box is taken out of the bill.
    b.billToId = HoldsChoice(form.cmbBillTo.text) ? FindPartyId(form.cmbBillTo.text) : 0;
    bl.instructions = form.txtInstructions;
    for (int row = 0; row < kBLLines; ++row) {
        if (!HoldsChoice(form.cmbItem[row].text)) continue;
        bl.lines.push_back(
            {FindCommodityId(form.cmbItem[row].text), form.txtQuantity[row], form.txtweight[row]});
    }
    return bl;
}

BLRecordId SaveBL(BLForm& form, uint8_t editing) {
    BillOfLading bl = BillFromForm(form);
    bl.bill.blId = editing ? form.shownId : 0;
    const BillOfLading* asRead = editing && form.shownBill ? &*form.shownBill : nullptr;
    const BLRecordId id = StoreBill(bl, editing != 0, asRead);
    if (!editing) form.cmbBillNbr.AddSorted(form.cmbBillNbr.text);
    return id;
}

void DeleteBL(BLForm& form, BLRecordId id) {
    const std::optional<BillRecord> bill = ReadBill(id);
    const bool shown = form.shownBill && form.shownBill->bill.blId == id;
    EraseBill(id, shown ? &*form.shownBill : nullptr);
    if (!bill) return;
    const int i = form.cmbBillNbr.IndexOf(bill->blNumber);
    if (i < 0) return;
    form.cmbBillNbr.list.erase(form.cmbBillNbr.list.begin() + i);
    form.cmbBillNbr.Show(i > 0 ? i - 1 : 0);
}

void SetBLEntryLayout(BLForm& form, bool adding) {
    form.dataEnabled = true;
    form.numberEnabled = adding;
    form.headingsEnabled = form.imageEnabled = true;
    BLMenu& m = form.menu;
    m.mlblBLParties = m.mlblCommodities = m.mlblConfig = m.mlblEdit = m.mlblNew = false;
    m.mlblPrint = m.mlblRate = m.mlblDone = false;
    m.mlblSave = m.mlblDelete = true;
    m.deleteCaption = "Abandon";
}
