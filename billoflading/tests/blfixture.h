#pragma once
// A private copy of the sample tariff whose bill-of-lading tables the test fills itself, with
// one pinned locale for the dates, and every message answered from the script.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blrecords.h"
#include "messagebox.h"
#include "testdata.h"

class BLTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    BLRecordId AddParty(const std::string& name, int role, const std::string& zip = "53202",
                        const std::string& state = "WI");
    BLRecordId AddCommodity(const std::string& description, const std::string& weight,
                            const std::string& cls = "70");
    // A bill with the given lines (commodity id, quantity, weight).
    BLRecordId AddBill(const std::string& number, BLRecordId shipper, BLRecordId consignee,
                       BLRecordId billTo = 0, const std::vector<BLLineRecord>& lines = {},
                       const std::string& note = "");

    int64_t Rows(const std::string& table);
    // The messages shown since the test began (or since the log was last cleared).
    const std::vector<LoggedMessage>& Shown() const { return messageScript.Log(); }

    ScratchAppFolder app;
};
