#pragma once
// A private copy of the sample tariff, opened as the program opens it, with the customer's
// settings each test reads set by the test itself so that every expected figure is its own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database.h"
#include "testdata.h"

class PricingTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Number of rows of a table whose zip is the location.
    int RowsOf(const std::string& table, const std::string& location);
    // A field of the first row matching the WHERE clause (values bound in order).
    std::string FieldOf(const std::string& sql, const std::vector<Value>& params);
    // Every row of the four tables of the customer's program, as text, to compare before and
    // after a change that must leave them as they were.
    std::string PricingTables();
    // The messages shown since the last call, as "title: text".
    std::vector<std::string> TakeMessages();

    ScratchAppFolder app;
};
