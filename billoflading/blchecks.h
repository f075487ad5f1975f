#pragma once
// The checks a bill passes before it is stored: its number, date, PRO number, parties and
// first line. The first failure is shown to the user and names the box that gets the focus.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bldates.h"
#include "blform.h"

// The box a failed check sends the user back to.
enum class BLField {
    None,
    BillNbr,
    Date,
    ProNumber,
    Shipper,
    Consignee,
    BillTo,
    Item0,
    Quantity0,
    Weight0,
    // The quantity and weight of lines 2 to 5, line after line.
    Quantity1,
    Weight1,
    Quantity2,
    Weight2,
    Quantity3,
    Weight3,
    Quantity4,
    Weight4,
};

// The field of a line's quantity or weight (row 0 to 4), and back: false for any other field.
BLField LineField(int row, bool weight);
bool IsLineField(BLField field, int& row, bool& weight);

// 0 the number may be stored, 1 it is 16 characters or longer (blanks around it not
// counted), 2 another bill has it (compared trimmed, letter case counting). Editing
// (1) skips the search: the number of a bill being edited cannot change.
uint8_t CheckBLNumber(const std::string& number, uint8_t editing);

// Nine digits whose first eight, read as one number, leave the ninth when divided by 7.
bool IsValidProNumber(const std::string& text);

// Why a bill may not be stored: the message of the check that failed and the box it sends the
// user back to. An "oops" message is the platform's box, which ends in "Please try again.";
// the others are the program's own message, in one line.
struct BLCheckFailure {
    BLField focus = BLField::None;
    std::string title;
    std::vector<std::string> lines;
    bool oops = false;
};

// Runs the checks in order and returns the first that fails, showing nothing; nothing when the
// bill may be stored.
std::optional<BLCheckFailure> CheckBLForm(const BLForm& form, uint8_t editing);
// The failure's message as one line, for a list of several.
std::string FailureText(const BLCheckFailure& failure);

// Runs the checks in order; the first that fails shows its message and leaves its box in
// `focus`. True when the bill may be stored.
bool ValidateBL(const BLForm& form, uint8_t editing, BLField& focus);
