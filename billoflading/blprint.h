#pragma once
// Printing a stored bill of lading: the carrier's form filled from the bill and its parties,
// notes and lines, written to BL.pdf in the program's output folder and opened in the PDF
// reader, with the terms page copied to BLBack.pdf beside it when the settings ask for it.
// Printing on paper is the user's, from the reader. And the Print command: so many copies,
// each followed by its printed quote when the settings ask for rates.

#include <array>
#include <string>

// One line slot of the form.
struct BLPrintLine {
    std::string Units;        // the line's quantity
    std::string HazMark;      // "X" for a hazardous commodity, else one blank
    std::string Description;  // the commodity's description
    std::string NMFC;
    std::string Class;
    std::string Weight;  // the line's weight, not the commodity's weight of one piece
};
using BLPrintLines = std::array<BLPrintLine, 5>;

// The form's file names, in the application folder's BL/ and in the output folder.
inline constexpr const char* kBLFrontForm = "BL/BLFront.PDF";
inline constexpr const char* kBLBackForm = "BL/BLBack.pdf";
inline constexpr const char* kBLFrontOutput = "BL.pdf";
inline constexpr const char* kBLBackOutput = "BLBack.pdf";

// A party's city line: the city trimmed, ", ", the state, two blanks, the code.
std::string CityStateZipLine(const std::string& city, const std::string& state,
                             const std::string& zip);

// Fills and opens the form for the stored bill with this number (looked up trimmed). Returns
// whether the bill was printed whole: its front page, and its terms page when the settings ask
// for it. A bill, party or commodity that is not on file, a
// missing form file or an output that cannot be written gives a message and no file; the
// reader is opened only on a file written whole, and a reader that cannot be started is
// reported with the name of the saved file. Sets blWindow.boolPrintRates and blnPrintBack
// from the settings. Nothing escapes as an exception.
bool PrintBL(const std::string& billNumber);

// The Print command of the bill-of-lading window for the bill it shows: BL_Copies copies, each
// the bill through the PrintBL hook and then, when BL_PrintRates is "yes", its silent rating
// and printed quote through the RateBL and PrintRatedQuote hooks (with the special discount of
// BL_UseSpecialDiscount). A copy whose rating fails prints no quote. The lane's own discounts
// are put back after each copy. A print that failed (the bill's or the quote's) ends the
// command: nothing more is printed after its message.
void PrintBLCopies(const std::string& billNumber);

// The quote of the last silent rating of a bill, on the printer, and the main window's request
// back in place. Returns false when the quote could not be printed (it has said why).
bool PrintRatedBLQuote();

// Registers the rating and printing of bills with the bill-of-lading window's hooks.
void InstallBLRatePrint();
