#pragma once
// The fixed colour of each discount region 1 to 13: the region map fills a state in its
// region's colour, and the FAK window of a region takes it as its background.

#include <array>
#include <cstdint>
#include <optional>

using RegionRGB = std::array<uint8_t, 3>;  // red, green, blue

inline constexpr int kRegionColours = 13;

// The colour of a region; nothing for a number outside 1 to 13.
std::optional<RegionRGB> RegionColourOf(int region);
// Makes the region's colour the current one (gRegionRGB); a region without a colour leaves
// the current colour as it was.
void RegionColour(uint8_t region);
