#pragma once
// The four quick-reference panels of the accessorial and terminal charges, as data: each row's
// service, its tariff item and its charges, and for each charge the entry of the tariff-detail
// list it opens. The panels themselves are drawn from this by quickref.h.

#include <cstdint>
#include <string>
#include <vector>

struct QuickRefAmount {
    int index;         // the charge label's number on its panel
    const char* text;  // empty for the blank cells beside the lineal-foot table
    uint8_t opens;     // position in the tariff-detail list
};

struct QuickRefRow {
    const char* description;
    const char* reference;  // "(Item 203)  (ACX)"
    std::vector<QuickRefAmount> amounts;
    bool linealFootTable = false;  // the mileage table of the lineal-foot item
};

struct QuickRefPanel {
    const char* name;  // "frmQckAD"
    int linkSize;      // entries of its link table
    bool hasUp, hasDown;
    const char* doneTip;
    std::vector<QuickRefRow> rows;
    // Link-table entries that no charge label uses.
    std::vector<std::pair<int, uint8_t>> spareLinks;
};

inline constexpr int kQuickRefPanels = 4;
const std::vector<QuickRefPanel>& QuickRefPanels();

// The panel's link table: the detail-list position each charge label opens, 0 where none is
// named.
std::vector<uint8_t> LinkTable(const QuickRefPanel& panel);

// The title every panel shows.
std::string QuickRefTitle(const std::string& effDate);

// The lineal-foot table's fixed texts.
inline constexpr const char* kLinealMilesHeading = "Miles";
inline constexpr const char* kLinealRateHeading = "Per Mile Rate (in cents)";
inline constexpr const char* kLinealFootnote1 =
    "(1) Applies on any single or combination of trailer equipment";
