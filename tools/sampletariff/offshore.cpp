// Delivery zones beyond the mainland gateways: Alaska by its road and marine network, Hawaii by
// island and distance from the island's port, Puerto Rico by distance from San Juan.
#include "sampletariff.h"

namespace sampletariff {

namespace {

const LatLon kAnchorage{61.2181, -149.9003};
const LatLon kFairbanks{64.8378, -147.7164};

// Places on the Alaska highway system away from the two cities.
const LatLon kAlaskaRoadTowns[] = {
    {60.5544, -151.2583},  // Kenai / Soldotna
    {59.6425, -151.5483},  // Homer
    {60.1042, -149.4422},  // Seward
    {62.1092, -145.5464},  // Glennallen
    {61.1308, -146.3483},  // Valdez
    {63.3367, -142.9856},  // Tok
    {64.0401, -145.7344},  // Delta Junction
    {62.9617, -141.9372},  // Northway
    {63.8717, -148.9764},  // Healy
    {64.5636, -149.0936},  // Nenana
    {62.3209, -150.1066},  // Talkeetna
};

}  // namespace

// 1 Anchorage, 2 its valley, 3 Fairbanks and the Kenai, 4 the rest of the road system,
// 5 the south-east panhandle by barge, 101-105 bush points reached only by air, 99 the far
// Aleutian and Pribilof islands, which are not rated.
int AlaskaZone(const UsZip& z) {
    if (z.at.lon < -168) return 99;
    if (z.at.lon > -141) return 5;
    double fromAnchorage = GreatCircleMiles(z.at, kAnchorage);
    if (fromAnchorage <= 30) return 1;
    if (fromAnchorage <= 70) return 2;
    if (GreatCircleMiles(z.at, kFairbanks) <= 60) return 3;
    for (const auto& town : kAlaskaRoadTowns)
        if (GreatCircleMiles(z.at, town) <= 35) return z.at.lat < 61 ? 3 : 4;
    if (fromAnchorage <= 250) return 101;
    if (fromAnchorage <= 400) return 102;
    if (fromAnchorage <= 600) return 103;
    if (fromAnchorage <= 800) return 104;
    return 105;
}

// Zones 1-3 Oahu, 4-8 Maui county (Maui 4-6, Molokai 7, Lanai 8), 9-11 Kauai, 12-14 Hawaii.
// The will-call key of each island follows from these ranges.
int HawaiiZone(const UsZip& z) {
    const double lat = z.at.lat, lon = z.at.lon;
    auto band = [&](LatLon port, int first, double near, double mid) {
        double d = GreatCircleMiles(z.at, port);
        return first + (d <= near ? 0 : d <= mid ? 1 : 2);
    };
    if (lon < -159.0) return band({21.9544, -159.3561}, 9, 10, 25);  // Kauai from Nawiliwili
    if (lon < -157.5) return band({21.3069, -157.8583}, 1, 10, 22);  // Oahu from Honolulu
    if (lat < 20.4) return band({19.7297, -155.0900}, 12, 15, 45);   // Hawaii from Hilo
    if (lon < -156.7 && lat > 21.0) return 7;                        // Molokai
    if (lon < -156.7) return 8;                                      // Lanai
    return band({20.8893, -156.4729}, 4, 10, 25);                    // Maui from Kahului
}

int PuertoRicoZone(const UsZip& z) {
    if (z.at.lon > -65.65) return 6;  // Vieques and Culebra
    double d = GreatCircleMiles(z.at, {18.4655, -66.1057});
    return d <= 12 ? 1 : d <= 25 ? 2 : d <= 40 ? 3 : d <= 60 ? 4 : 5;
}

}  // namespace sampletariff
