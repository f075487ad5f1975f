#pragma once
// What the rating engine reads of the main window: the five commodity lines, the ocean cube,
// the Hawaii will-call box and the accessorial choices. The main window binds its controls to
// this model, so the engine runs (and is tested) without a window.

#include <array>
#include <string>

struct CommodityLines {
    // Line 0 to 4, each as the boxes hold it.
    std::array<std::string, 5> txtweight;   // weight in pounds, free text
    std::array<std::string, 5> cmbclass;    // NMFC class text
    std::array<std::string, 5> txtDensity;  // pounds per cubic foot (between Canadian points)

    std::string txtOceanDensity;    // cube of the shipment, cubic feet (Hawaii, Puerto Rico)
    bool chkHawaiiWillCall = false;

    // The accessorial choices of the main window.
    bool gAccLiftgate = false;
    bool gAccGuaranteed = false;
    bool gAccThriftlane = false;
    bool gAccHazardous = false;
    bool gAccInside = false;
    bool gAccResidential = false;
    bool gAskCODAmount = false;

    void Reset() { *this = CommodityLines(); }
};

extern CommodityLines commodityLines;
