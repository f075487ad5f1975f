#include "regioncolours.h"

#include "discountstore.h"

namespace {
constexpr std::array<RegionRGB, kRegionColours> kColours = {{
    {255, 38, 9},
    {0, 150, 72},
    {199, 115, 0},
    {51, 255, 255},
    {51, 255, 0},
    {122, 0, 173},
    {255, 51, 153},
    {204, 102, 255},
    {0, 102, 102},
    {0, 35, 125},
    {51, 0, 255},
    {102, 102, 0},
    {255, 255, 0},
}};
}  // namespace

std::optional<RegionRGB> RegionColourOf(int region) {
    if (region < 1 || region > kRegionColours) return std::nullopt;
    return kColours[static_cast<size_t>(region - 1)];
}

void RegionColour(uint8_t region) {
    if (const auto colour = RegionColourOf(region)) customisation.gRegionRGB = *colour;
}
