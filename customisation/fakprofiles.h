#pragma once
// The FAK profiles of the customer's program as the two FAK windows show and change them: a
// row of the eighteen actual classes over the class each is rated as.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kFAKClasses = 18;

// One list pair of a FAK window: the actual classes selected, the FAK class shown under each,
// and the FAK line picked (-1 for none).
struct FAKPair {
    std::array<bool, kFAKClasses> selected{};
    std::vector<std::string> fakLines;
    int picked = -1;
};

// The class text each pair of a profile stands for. A pair that is not a class index 00 to 17
// shows "??" and its actual class is added to `damaged`.
std::vector<std::string> ProfileClassTexts(const std::string& profile,
                                           std::vector<std::string>* damaged = nullptr);
// The profile after the choice: each selected actual class takes pair `picked` of the old
// profile. Nothing picked: the old profile.
std::string ChosenProfile(const std::string& old, const FAKPair& pair);

// Loads a pair from the stored profile of the location, direction and region, selections
// dropped. A damaged profile is shown with a warning naming the classes; a missing row raises
// MissingPricingRow naming it.
FAKPair FillFAKLists(const std::string& location, uint8_t ibob, uint8_t region);
// Writes the choice on the faktable row the caller positioned (the identity profile while
// gFAKReset is set). Nothing picked: nothing written.
void SaveFAKChoice(const FAKPair& pair);
// Apply: stores each pair's choice in its direction's row, in one step, and reloads the pairs.
// `pairs` holds the directions to store by direction (1 inbound, 0 outbound); a window with
// one pair passes just that direction.
void StoreFAKProfile(const std::string& location, uint8_t region,
                     std::vector<std::pair<uint8_t, FAKPair*>> pairs);
// Writes the identity profile for the direction at once and reloads its pair.
FAKPair ResetFAKProfile(const std::string& location, uint8_t ibob, uint8_t region);
