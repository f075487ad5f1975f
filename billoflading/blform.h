#pragma once
// The bill-of-lading window as values: the texts and lists of its boxes, which of them take
// input, the state of its menu labels. The record procedures fill, clear and read it; the
// window draws it and reads the user's entries back into it, and a test reads it too.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "blrecords.h"

// The most characters the windows' boxes take: the PRO and purchase-order numbers, the notes,
// a commodity's NMFC number, and every other box (the line edit's own limit).
inline constexpr int kProNumberLength = 9;
inline constexpr int kPONumberLength = 16;
inline constexpr int kNotesLength = 255;
inline constexpr int kNmfcLength = 13;
inline constexpr int kBoxLength = 32767;

// A combo box: its list and the text it shows.
struct ComboValues {
    std::vector<std::string> list;
    std::string text;

    // The text becomes entry `index`, or empty text when there is no such entry.
    void Show(int index);
    // The index of the first entry equal to the text, exactly; -1 when none is.
    int IndexOf(const std::string& entry) const;
    // Adds an entry where the sorted list puts it (letter case aside); entries before `from`
    // (a prompt) keep their places.
    void AddSorted(const std::string& entry, size_t from = 0);
};

struct BLMenu {
    bool mlblNew = true, mlblEdit = false, mlblSave = false, mlblDelete = false, mlblPrint = false,
         mlblRate = false, mlblBLParties = true, mlblCommodities = true, mlblConfig = true,
         mlblDone = true;
    std::string deleteCaption = "Delete";  // "Abandon" while adding or editing
};

struct BLForm {
    ComboValues cmbBillNbr;
    std::string txtDate, txtProNumber, txtPONbr, txtInstructions;
    ComboValues cmbShipper, cmbConsignee, cmbBillTo;
    std::array<ComboValues, kBLLines> cmbItem;
    std::array<std::string, kBLLines> txtQuantity, txtweight;

    bool numberEnabled = true;    // cmbBillNbr
    bool dataEnabled = false;     // every other box: the bill is shown read-only when false
    bool headingsEnabled = true;  // the hdg captions, greyed after a delete
    bool imageEnabled = true;     // Image1
    BLMenu menu;

    std::string strBillNbr;  // the number shown when the bill was last shown
    BLRecordId shownId = 0;  // the stored bill shown; 0 for none
    // That bill as it was read to be shown: an edit or a delete is made only while it is still
    // stored so.
    std::optional<BillOfLading> shownBill;

    void Reset() { *this = BLForm(); }
};

// The number list: every stored bill number, sorted.
void FillBLNumbers(BLForm& form);
// The five commodity lists: the prompt, then every description.
void FillCommodityLists(BLForm& form);
// The three party lists: each its prompt, then every party whose role allows that place.
void FillPartyLists(BLForm& form);
// The name lists of the commodity and party windows: every stored name, sorted.
std::vector<std::string> SortedCommodityNames();
std::vector<std::string> SortedPartyNames();
// Sorts a name list as a sorted list box keeps it (letter case aside).
void SortNames(std::vector<std::string>& names);

// Empties the data boxes; every list shows its prompt. The number box is not touched.
void ClearBLForm(BLForm& form);
// Shows the stored bill read-only with the browse state of the menu; a bill not on file
// leaves the boxes empty. The caller has set the number box.
void ShowBL(BLForm& form, BLRecordId id);
// Rows 0 to 4 from the bill's stored lines.
void LoadBLLines(BLForm& form, BLRecordId id);
// The list index of a party in the list of a role (1, 2 or 4), or of a commodity in the list
// of a row; 0 (the prompt) when not listed.
int FindPartyListIndex(const BLForm& form, BLRecordId partyId, uint8_t role);
int FindCommodityListIndex(const BLForm& form, BLRecordId commodityId, int row);

// The bill the window holds: each filled row a line, in row order; no bill-to party unless
// the box holds a choice.
BillOfLading BillFromForm(const BLForm& form);
// Stores the window's bill (editing: 0 adding, 1 editing the bill shown) and, when adding,
// puts its number in the number list. Returns the bill's id. An edit of a bill another program
// has changed or deleted since it was shown raises BLChangedElsewhere, and so does its delete.
BLRecordId SaveBL(BLForm& form, uint8_t editing);
// Deletes the bill and takes its number out of the number list, which then shows the entry
// before it (or the first).
void DeleteBL(BLForm& form, BLRecordId id);

// The window's three modes, as the menu shows them.
void SetBLEntryLayout(BLForm& form, bool adding);
