#pragma once
// The records of the bill-of-lading tables as the program hands them about: a bill with its
// note and commodity lines, a party of the address book and a commodity of the catalogue.
// Ids are 32-bit: the tables may outgrow what a 16-bit id could number.

#include <cstdint>
#include <string>
#include <vector>

using BLRecordId = int32_t;

// A B/L holds at most this many commodity lines.
inline constexpr int kBLLines = 5;

// Party roles, summed into the stored role value (1 to 7).
inline constexpr uint8_t kRoleShipper = 1;
inline constexpr uint8_t kRoleConsignee = 2;
inline constexpr uint8_t kRoleBillTo = 4;

// One row of Bills. Texts are stored as the user typed them; an id of 0 names no party.
struct BillRecord {
    BLRecordId blId = 0;
    std::string blNumber;
    std::string date;
    std::string proNumber;
    std::string poNumber;
    BLRecordId shipperId = 0;
    BLRecordId consigneeId = 0;
    BLRecordId billToId = 0;

    bool operator==(const BillRecord&) const = default;
};

// One row of BLdetail: quantity and weight are kept as the digits typed (possibly empty).
struct BLLineRecord {
    BLRecordId commodityId = 0;
    std::string quantity;
    std::string weight;

    bool operator==(const BLLineRecord&) const = default;
};

// A whole bill: its header, its note (empty when none is stored) and its lines in the order
// they were entered.
struct BillOfLading {
    BillRecord bill;
    std::string instructions;
    std::vector<BLLineRecord> lines;

    bool operator==(const BillOfLading&) const = default;
};

// One row of Commodity. `weight` is the weight of one piece in pounds as stored.
struct CommodityRecord {
    BLRecordId commodityId = 0;
    std::string description;
    std::string weight;
    std::string nmfc;
    std::string commodityClass;
    int hazmat = 0;  // 1 for hazardous material

    bool operator==(const CommodityRecord&) const = default;
};

// One row of BL parties.
struct PartyRecord {
    BLRecordId partyId = 0;
    std::string name;
    std::string address;
    std::string city;
    std::string zip;
    std::string state;
    int role = 0;

    bool operator==(const PartyRecord&) const = default;
};

bool IsShipperRole(uint8_t role);
bool IsConsigneeRole(uint8_t role);
bool IsBillToRole(uint8_t role);

// The prompts that head the lists of the B/L window.
inline constexpr const char* kPromptShipper = "...choose a shipper";
inline constexpr const char* kPromptConsignee = "...choose a consignee";
inline constexpr const char* kPromptBillTo = "...choose a bill-to party";
inline constexpr const char* kPromptCommodity = "...add a commodity";

// A list box's text is a choice unless it is empty or begins with "..." (the prompt).
bool HoldsChoice(const std::string& text);
// A party or commodity name the windows can store: not blank and not read as a prompt.
bool IsStorableName(const std::string& name);
