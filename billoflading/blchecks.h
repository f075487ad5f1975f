#pragma once
// The checks a bill passes before it is stored: its number, date, PRO number, parties and
// first line. The first failure is shown to the user and names the box that gets the focus.

#include <cstdint>
#include <string>

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

// A date as the user's locale writes it (short form, with a two- or four-digit year, or long
// form), or in ISO form (2026-12-07).
bool IsBLDate(const std::string& text);
// Today in the locale's short form, as New fills the date box.
std::string TodayAsBLDate();

// A bill's date is stored in ISO form (2026-12-07), whatever the desktop's locale, and shown
// in the locale's short form. A typed text that is no date is kept as typed.
std::string StoredBLDate(const std::string& typed);
// The stored date in the user's short form. Dates stored earlier in a locale's form (such as
// "12/7/26") are read too: in the user's forms, then the US forms, then any locale's. A text
// no form reads is given back unchanged.
std::string ShownBLDate(const std::string& stored);

// Runs the checks in order; the first that fails shows its message and leaves its box in
// `focus`. True when the bill may be stored.
bool ValidateBL(const BLForm& form, uint8_t editing, BLField& focus);
