#pragma once
// What the bill-of-lading window shares with the rating and printing of a bill: its mode
// flags, its printing flag and the print settings it mirrors. One program-wide instance.

#include <string>

struct BLWindowState {
    bool BLAddingFlag = false;   // a new bill is being entered
    bool BLEditingFlag = false;  // the bill shown is being edited
    bool BLPrinting = false;     // a bill is being printed; its rating may use the special discount

    // Mirrors of the print settings, set by Print and by the settings window.
    bool boolPrintRates = false;
    bool boolSpecialDiscount = false;
    bool blnPrintBack = false;
    std::string strPrintRates;  // "yes" or "no"
    std::string strUseSpecial;

    void Reset() { *this = BLWindowState(); }
};

extern BLWindowState blWindow;
