// The sample tariff generator: builds the carrier's tariff data that ship with Fretlyn from the
// real ZIP codes and postal areas in source/ and synthetic, distance-based tariff values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sampletariff {

// Sizes fixed by the program's readers.
constexpr int kZipListSize = 1053;       // rows and columns of the three lane files
constexpr int kServiceCenterSize = 572;  // rows and columns of the transit-day file
constexpr int kGridValues = 11;          // minimum charge and ten class-100 rates per grid row

enum class Country { US, Canada };

// The carrier's operating regions as the state list and the service-centre codes spell them.
enum class Region { QZA, QZB, QZD, QZF };
const char* RegionKey(Region r);

struct LatLon {
    double lat = 0;
    double lon = 0;
};

// Great-circle miles stretched to an estimate of highway miles.
double RoadMiles(LatLon a, LatLon b);
double GreatCircleMiles(LatLon a, LatLon b);

struct UsZip {
    std::string zip, city, state;
    LatLon at;
    int key = -1;     // index into Geography::keys (its three-digit prefix)
    int center = -1;  // index into Geography::centers
    double milesToCenter = 0;
};

struct CaArea {
    std::string fsa, description, province, city;
    LatLon at;
    int key = -1;  // the base zone it is rated as
    int center = -1;
    double milesToCenter = 0;
};

// One row of the ZIP list: a US ZIP prefix or a Canadian base zone.
struct ZipKey {
    std::string key;
    int subscript = 0;
    Country country = Country::US;
    std::string state;   // the prefix's state, or the base zone's province
    std::string city;    // its main place
    size_t members = 0;  // ZIP codes or postal areas rated as this key
    Region region = Region::QZB;
    LatLon at;          // centroid of its ZIPs or postal areas
    double radius = 0;  // mean miles from the centroid, for lanes within one key
    bool served = true;
    bool offshore = false;
};

struct ServiceCenter {
    std::string sic, city, state, zip;
    int subscript = 0;
    Country country = Country::US;
    LatLon at;
    bool hub = false;  // the main terminal of its state or province
    bool served = true;
    bool offshore = false;
};

struct Geography {
    std::vector<UsZip> zips;
    std::vector<CaArea> areas;
    std::vector<ZipKey> keys;             // subscript = index + 1
    std::map<std::string, int> keyIndex;  // key text -> index
    std::vector<ServiceCenter> centers;   // subscript = index + 1
};

// geography.cpp
Geography BuildGeography(const std::string& sourceDir);
Region RegionOfState(const std::string& state);
bool IsOffshoreState(const std::string& state);
bool IsUnservedProvince(const std::string& province);

// offshore.cpp: delivery zones beyond the gateways.
int AlaskaZone(const UsZip& z);
int HawaiiZone(const UsZip& z);
int PuertoRicoZone(const UsZip& z);

// lanes.cpp: lane files, rate grids and transit days.
int TransitDays(const Geography& g, int origCenter, int destCenter);
// The grid row of the lane between two keys; nothing when the carrier does not serve it.
std::optional<std::array<int32_t, kGridValues>> LaneGridRow(const Geography& g, int origKey,
                                                            int destKey);
void WriteLaneData(const Geography& g, const std::string& appDir);
// filelist.cpp: the list of the files WriteLaneData wrote, each with its size and SHA-256
// digest, by which the program knows a damaged or half-copied one (data/checksums.txt).
// Returns the list's own SHA-256 digest, in hexadecimal.
std::string WriteFileList(const std::string& appDir);

// ponytest.cpp: the batch test's sample input file and the comparison file it must give.
void WritePonyTestFiles(const Geography& g, const std::string& appDir);

// tables.cpp. The settings record the list of the tariff's files by its digest.
void WriteDatabase(const Geography& g, const std::string& path,
                   const std::string& fileListDigest);

// The state list: the states and provinces the rating can reach, with their regions.
struct StateLine {
    std::string name, code;
};
std::vector<StateLine> StateList();

// customerpricing.cpp: the customer's pricing program as it ships.
// The FLOOR_ and DISC_ settings, each with a value of its own.
std::vector<std::pair<std::string, std::string>> CustomerPricingSettings();
// The discount of every break of an "ALL" row (region 1, 4 or 254; direction 1 or 0).
std::string DefaultProgramDiscount(int region, int ibob);
// The help pages of the shipping-location window, under VZK120/.
void WriteShipLocHelpPages(const std::string& appDir);

// main.cpp helpers shared by the writers.
void WriteFileAtomically(const std::string& path, const std::string& bytes);
uint64_t Hash(const std::string& text);
// A page's start up to the content of its body: its title, and both colours of the page and of
// its links, so that it reads the same on any desktop palette. `bodyStyle` adds to the body's
// style.
std::string PageStart(const std::string& title, const std::string& bodyStyle = "");

// The pages of the rules tariff, VZK120/<item>.htm, and the items they cover.
void WriteTariffPages(const std::string& app, const std::string& effDate);
std::vector<int> TariffPageItems();
// The program's help pages in help/.
void WriteHelpPages(const std::string& app);
// The bill-of-lading forms, BL/BLFront.PDF (fillable) and BL/BLBack.pdf (the terms).
void WriteBLForms(const std::string& appDir);

}  // namespace sampletariff

// The bytes of graphics/finger.cur, the hand cursor of every window.
std::string HandCursorBytes();
// The bytes of graphics/usa.bmp, the region map's background, drawn from the state outlines.
std::string MapPictureBytes(const std::string& polygonText);
// The bytes of the program's icon as a PNG of size x size pixels: graphics/fretlyn.png (256)
// for the desktop's menu, graphics/fretlyn-32.png and fretlyn-64.png for the windows.
std::string AppIconBytes(int size);
