#pragma once
// The one pricing core behind the displayed charges and their silent twins: each charge is
// priced once, and the output decides only whether it becomes a quote line.

#include <cstdint>
#include <string>

#include "numbers.h"

class Recordset;

enum class ChargeOutput {
    Display,  // write the lines, ask for the C.O.D. amount, show refusals
    Silent,   // add to the total only
};

// One accessorial row; see AccessorialCharge.
int PriceAccessorial(const std::string& name, int line, ChargeOutput out);
// Whether the accessorial row the recordset stands on is one the main window chose for the
// request being rated (never while a bill is rated).
bool StoredChoice(Recordset& rs);
// Accessorials, fees, fuel surcharge, guaranteed charge and taxes; see DisplayQuoteCharges.
void AddQuoteCharges(MoneyTotal netCharge, int& line, ChargeOutput out);

// Writes a caption in the rate column and an amount in the charge column of a quote line.
void WriteQuoteLine(int line, const std::string& caption, const std::string& amount,
                    uint32_t color);
