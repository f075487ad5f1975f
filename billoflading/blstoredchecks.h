#pragma once
// The bills, parties and commodities on file, each put through the checks its window runs
// before it stores one: for rows that were written by other means (an earlier edition's
// tables), which the windows would otherwise show, rate and print as they are.

#include <string>
#include <vector>

// One line for each bill, party or commodity on file that its window would refuse to store,
// naming the row and the window's reason, and for each whose text is longer than its box takes;
// empty when every one passes. A bill or commodity whose number or name (trimmed) an earlier row
// already has is refused too: the look-ups by text would always find that earlier row.
// Expects every id and role on file to be a whole number in range.
std::vector<std::string> CheckStoredBLRecords();
