#include "quickrefdata.h"

namespace {

const char* const kDoneTip = "  Finished looking at the Quick Reference Rules Tariff  ";
const char* const kDoneTipLower = "  Finished looking at the Quick reference Rules Tariff  ";

std::vector<QuickRefPanel> BuildPanels() {
    std::vector<QuickRefPanel> panels;
    panels.push_back(
        {"frmQckAD",
         16,
         false,
         true,
         kDoneTip,
         {
             {"Advancing Charges",
              "(Item 203)  (ACX)",
              {{0, "3% of advanced amount; $52.00 minimum", 1}}},
             {"After business hours",
              "(Item 225)  (OAH Pickup) (DAH Delivery)",
              {{1, "$70.00 per man hour (min chg on 4 hours service)", 55}}},
             {"Blind Shipments",
              "(Item 241)",
              {{2, "$65.00 will apply in conjunction with all other applicable ", 6},
               {3, "charges", 6}}},
             {"C.O.D.",
              "(Item 206) (COD) (CCD) ",
              {{4, "3% of COD amount; $52.00 minimum", 7},
               {5, "$52.00 per shipment for cancel or change", 7}}},
             {"Consolidation Handling Charge",
              "(Item 217) (HCC)",
              {{6, "$2.00/CWT; $28.50 minimum", 9}}},
             // "(Whichever is greater)" belongs to the construction-site charge beside it, so it
             // opens that item too.
             {"Construction Site, etc.",
              "(Item 201) (CSD)",
              {{7, "$93.00 per shipment or $5.00/CWT", 11}, {8, "(Whichever is greater)", 11}}},
             {"Container Freight Station",
              "(Item 219) (OCF) (DCF)",
              {{15, "US Ports:  Full Service - $6.50/CWT; $39.50 Minimum", 45}}},
             {"Norvale Guaranteed Service",
              "(Item 200)",
              {{9,
                "20% surcharge on linehaul charges for guarantee of delivery with Norvale "
                "Freight standard transit time",
                12}}},
             {"Norvale Thriftlane Service",
              "(Item 120)",
              {{14,
                "In return for lower rates under the Thriftlane program, customers will receive "
                "a slower transit time",
                48}}},
             {"Corrections to Bills of Lading",
              "(Item 205)  (CBL)",
              {{10, "$18.00 per correction made to original, received within 30 days of pickup",
                5}}},
             {"Detention with Power",
              "(Item 211) (ODD) (DWD)",
              {{11, "$27.50/15 minutes LTL; $33.50 minimum", 16}}},
             {"Detention Without Power",
              "(Item 212) (ODW Origin) (DDW Destination)",
              {{12, "$81.50 per day", 17}}},
             {"Diversion, to Another Carrier",
              "(Item 213) (DMA)",
              {{13,
                "$46.50/labor hour; $85.50 minimum (loading or unloading vehicle); $10.50/CWT; "
                "$85.50 minimum (delivery service)",
                18}}},
         },
         {}});
    panels.push_back(
        {"frmQckEL",
         42,
         true,
         true,
         kDoneTipLower,
         {
             {"Excessive Length", "(Item 238) (ELS) ", {{9, "$27.50/shipment", 19}}},
             {"Excessive Value", "(Item 227) (EVC) ", {{41, "3%; $52.00 minimum", 20}}},
             {"Exhibition Sites Pickup or Delivery",
              "(Item 226)  (PEO Pickup) (PED Delivery)",
              {{0, "$7.50/CWT;  $74.50 minimum", 22}}},
             {"Extra Labor - Loading or Unloading",
              "(Item 214)  (ELO Pickup) (ELD Delivery)",
              {{1, "$46.50/labor hour; $141.000 minimum", 23}}},
             {"Hazardous Materials",
              "(Item 232) (ZHM) ",
              {{5, "$4.50/mile;  $31.50 per permit; $19.00 per shipment", 26}}},
             {"High Cost Delivery Regions Surcharge",
              "(Item 235)",
              {{2, "$3.00/CWT; $14.50 Min; $61.00 Max; (I/B Shipments only)", 27}}},
             {"Homeland Security", "(Item 236) (HMS) ", {{7, "$11.50 per shipment", 28}}},
             {"In-Bond Freight (U.S.)",
              "(Item 209) (CIB)",
              {{8,
                "$2.50/CWT; $93.00 min; $233.00 max; $142.00 (TIR CARNET); $54.50 (in Bond "
                "seals); $44.50/shipment (Customs Release form); $233.00 max (multiple forms)",
                29}}},
             {"Inside Pickup and Delivery",
              "(Item 216)  (DID Delivery)",
              {{4, "$6.50/CWT; $39.00 minimum", 30}}},
             {"Island Delivery Fee", "(Item 237)", {{10, "$87.50 per shipment", 31}}},
             {"Late Payment Charge",
              "(Item 207)",
              {{11, "If no payment within 15 days -- 1.5% added to balance monthly", 32}}},
             {"Lift Gate Service",
              "(Item 218) (OLG Pickup) (DLG Dlvy)",
              {{12, "  $5.00/CWT; $111.00 minimum", 33}}},
         },
         {{3, 27}, {6, 58}}});

    // The lineal-foot item: its explanation, the mileage table, two footnotes and the absolute
    // minimum all open the item. The table's blank cells open the list's first entry.
    std::vector<QuickRefAmount> lineal = {
        {2,
         "When a LTL shipment, or a portion thereof, requires 18 feet or more of loading space, "
         "charges shall be computed by applying the mileage rates named herein.",
         34},
        {7, "1200 or less ", 34},
        {27, "10 cents", 34},
        {8, "Over 1200 Miles", 34},
        {10, "7 cents", 34},
        {3, "(2) Mileage will be obtained from HGB 100 series tariff", 34},
        {23,
         "Each shipment rated from this item will be subject to an absolute minimum charge of "
         "$370.00 or otherwise applicable pricing provisions, which ever is higher.   The "
         "absolute minimum charge and rate per mile  is not subject to further discount.",
         34}};
    for (int i : {9,  12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 24,
                  25, 26, 28, 29, 30, 31, 32, 33, 35, 36, 37, 40})
        lineal.push_back({i, "", 0});
    panels.push_back(
        {"frmQckMR",
         41,
         true,
         true,
         kDoneTipLower,
         {
             {"Lineal Foot Application", "(Item 234)", lineal, true},
             {"Mine and Remote Government Delivery Sites",
              "(Item 202) (DMS) ",
              {{5, "$168.00 / Shipment or $5.00/CWT (Whichever  is greater)", 36}}},
             {"Notification Prior to Delivery",
              "(Item 221)  (DNC)",
              {{0, "$29.00 per notification", 40}}},
             {"Order Notify Shipments",
              "(Item 206) (ONX)",
              {{1, "3% of Order Notify Amt.;  $240.00 minimum", 7}}},
             {"Pier and Wharf",
              "(Item 219)  (OPW Pickup) (DPW Delivery)",
              {{4, "US Ports:  Full service-$6.50/CWT; $115.50 minimum", 45}}},
             {"Reconsignment or Diversion",
              "(Item 228) (ORC Origin)  (RCD Destination)",
              {{6,
                "Change in documentation - $50.00 per shipment PLUS transportation to deliver to "
                "new destination under NRVL410",
                49}}},
         },
         {}});
    panels.push_back(
        {"frmQckSZ",
         17,
         true,
         false,
         kDoneTip,
         {
             {"Redelivery",
              "(Item 229)  (RED)",
              {{15, "$6.50/CWT; $50.00 minimum; $646.00 maximum", 50}}},
             {"Re-Labeling",
              "(Item 220) (ORL Origin)  (DRL Dest)",
              {{13, "$3.00/package; $50.00 minimum", 51}}},
             {"Residential Delivery",
              "(Item 224) (RSO Pickup) (RSD Delivery)",
              {{11, "$7.00/CWT; $69.50 minimum; $367.50 maximum", 53}}},
             {"Single Shipments", "(Item 230) (SSC)", {{0, "$24.00 per shipment", 56}}},
             {"Sorting or Segregating",
              "(Item 222) (OSS Origin) (SRT Destination)",
              {{1, "$1.50/CWT", 57}, {2, "$50.00 minimum per shipment", 57}}},
             {"Standard Delivery Service Guarantee",
              "(Item 24)",
              {{16, "No charge on NRVL-410 tarriff to direct points", 58}}},
             {"Storage",
              "(Item 231) (OST Origin) (DST Destination)",
              {{5, "$3.00/CWT/24 hours; $70.00 minimum", 59}}},
             {"Sufferance (Canada)",
              "(Item 210) (SWC)",
              {{6,
                "$1.50 (US)/CWT;  $18.00 Min (NB, ON, QC);  $36.00 Min (AB, BC, MB, NL, NT, NS, "
                "NU, PE, SK, YT)",
                60}}},
             {"Weighing of Shipments",
              "(Item 239)",
              {{7, "$18.00 weight not on bill; $18.00 reweigh of shipment", 61}}},
         },
         {{4, 27}, {8, 27}, {9, 27}, {12, 45}}});
    return panels;
}

}  // namespace

const std::vector<QuickRefPanel>& QuickRefPanels() {
    static const std::vector<QuickRefPanel> panels = BuildPanels();
    return panels;
}

std::vector<uint8_t> LinkTable(const QuickRefPanel& panel) {
    std::vector<uint8_t> table(static_cast<size_t>(panel.linkSize), 0);
    for (const auto& row : panel.rows)
        for (const auto& a : row.amounts)
            if (a.index >= 0 && a.index < panel.linkSize)
                table[static_cast<size_t>(a.index)] = a.opens;
    for (const auto& [index, opens] : panel.spareLinks)
        if (index >= 0 && index < panel.linkSize) table[static_cast<size_t>(index)] = opens;
    return table;
}

std::string QuickRefTitle(const std::string& effDate) {
    return "Rates and Charges for Accessorial and Terminal Services (effective " + effDate + ")";
}
