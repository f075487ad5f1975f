#pragma once
// Destinations in Alaska, Hawaii and Puerto Rico: rated to a gateway, with the beyond leg kept
// aside. The values here live from the set-up until another destination replaces them.

#include <cstdint>
#include <string>

struct OffshoreState {
    std::string gOffshoreName;  // "Puerto Rico", "Hawaii" or "Alaska"
    bool gIsPR = false;
    bool gIsAK = false;
    bool gIsHI = false;
    uint8_t gOffshoreZone = 0;
    std::string gOffshoreCity;  // Alaska: the city as typed, before its comma
    int gAKCommaPos = 0;
    std::string gPRPort;  // "32254" or "07072"
    bool gMilitary = false;
    bool gMilitaryAnswer = false;
    bool gAskPRPort = true;        // the port question is still to be asked
    bool gAskMilitaryBase = true;  // the military question is still to be asked

    void Reset() { *this = OffshoreState(); }
};
extern OffshoreState offshore;

// Prepares an offshore destination of the state "PR", "HI" or "AK".
void SetupOffshore(const std::string& state);
bool IsHawaiiWillCallZip(const std::string& zip);
