#pragma once
// Lane codes, service centres, transit days and the fixed lists of the rating rules.

#include <cstdint>
#include <functional>
#include <string>

#include "binaryfile.h"

int32_t GridCellNumber(int16_t origSubscript, int16_t destSubscript);
std::string GetLaneCode(int32_t cell);
// Whether a lane code read as a number means the carrier does not serve the lane: "099099",
// and "099999", which the carrier's own checks use for the same.
bool IsNoServiceLane(int32_t laneCode);
uint8_t GetServiceDays(const std::string& origCode, const std::string& destCode);
// The same on the transit-day file already open, for a run that asks for many lanes.
uint8_t GetServiceDays(const std::string& origCode, const std::string& destCode,
                       const BinaryFile& svc);
std::string ServiceCenterOfZip(const std::string& code);
bool GetPXSStandard(const std::string& origCode, const std::string& destCode, uint8_t& days);
std::string RegionOfZip(const std::string& code);
bool IsDirectPoint(const std::string& origCode, const std::string& destCode);
bool IsShipLocationZip(std::string& key, uint8_t isDest);
bool ShipLocInBaseZone(const std::string& baseZone);
bool IsAKZone99(const std::string& zip);
bool IsPrefix498or499(const std::string& prefix);
bool IsDCZipPrefix(const std::string& prefix);
bool IsEasternProvince(const std::string& province);
bool IsWesternProvince(const std::string& province);
bool IsFloridaKeysZip(const std::string& zip);
bool IsBCMetroPostal(const std::string& postalCode);

// Whether guaranteed service is chosen, in the main window or in the quote window: it turns
// the economy offer off. The rating engine, which keeps those choices, answers; without an
// answer it is not chosen.
void SetGuaranteedChosenQuery(std::function<bool()> query);
bool GuaranteedChosen();
