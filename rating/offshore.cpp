#include "offshore.h"

#include "ratingstate.h"
#include "tariffdb.h"

OffshoreState offshore;

bool IsHawaiiWillCallZip(const std::string& zip) {
    for (const char* z : {"96742", "96729", "96748", "96757", "96763"})
        if (zip == z) return true;
    return false;
}

void SetupOffshore(const std::string& state) {
    static const struct {
        const char* state;
        const char* name;
    } kNames[] = {{"PR", "Puerto Rico"}, {"HI", "Hawaii"}, {"AK", "Alaska"}};
    for (const auto& n : kNames)
        if (state == n.state) offshore.gOffshoreName = n.name;
    rating.gOffshoreDestZip = tariff.gDestZip;
    tariff.gOffshoreState = state;
    offshore.gIsPR = state == "PR";
    offshore.gIsHI = state == "HI";
    offshore.gIsAK = state == "AK";
}
