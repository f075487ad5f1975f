#pragma once
// Bills rated and printed on the sample tariff: the main window's request can be set up beside
// them, the quote window is stood in for, the PDF reader is a recorder and the output folder a
// private one.

#include <filesystem>
#include <string>
#include <vector>

#include "blfixture.h"

// The text of a PDF file as pdftotext lays it out.
std::string PdfText(const std::filesystem::path& path);

class BLRatingTest : public BLTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The main window's request: its ends verified as the main window verifies them, the lane
    // code and transit days of its request, and its commodity lines.
    void SetMainRequest(const std::string& origin, const std::string& dest,
                        const std::vector<std::pair<std::string, std::string>>& weightAndClass);
    // The quote sheet, one text per line: class | weight | rate | charge.
    std::vector<std::string> SheetRows() const;
    // The texts of the messages shown so far.
    std::vector<std::string> ShownTexts() const;
    // A bill between two parties with these codes, with lines (commodity class, quantity,
    // weight); returns its number.
    std::string AddBillBetween(const std::string& number, const std::string& originZip,
                               const std::string& destZip,
                               const std::vector<std::vector<std::string>>& lines);
    void SetSetting(const std::string& key, const std::string& value);

    std::filesystem::path output;
    std::vector<std::string> opened;  // the files handed to the PDF reader
    bool readerStarts = true;
    int quoteWindowsShown = 0;
    int rerateOnShow = 0;  // how many of the windows shown ask to rate again
};
