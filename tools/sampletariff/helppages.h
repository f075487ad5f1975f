// The program's help as the generator holds it: pages grouped in the sections of the contents
// page, each page with the keywords that lead to it from the index.
#pragma once

#include <vector>

namespace sampletariff {

struct HelpPage {
    const char* file;
    const char* title;
    const char* body;  // HTML
    std::vector<const char*> keywords;
};

struct HelpSection {
    const char* heading;
    std::vector<HelpPage> pages;
};

// helptopics.cpp: the rate table and the rate sheets, the customer's own pricing with the
// transfer from an earlier edition, and the bills of lading.
HelpSection RateTableHelp();
HelpSection PricingHelp();
HelpSection BillOfLadingHelp();

}  // namespace sampletariff
