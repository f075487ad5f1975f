// Reads the real ZIP codes and postal areas and lays the carrier's network over them: the ZIP
// list (US prefixes and Canadian base zones) and the service centres with the points they serve.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "sampletariff.h"

namespace sampletariff {

namespace {

constexpr double kEarthMiles = 3958.8;
constexpr double kCircuity = 1.2;  // highway miles per great-circle mile
constexpr double kPi = 3.14159265358979323846;

// Postal areas within this distance of each other, in one province, share a base zone.
constexpr double kBaseZoneMiles = 70;
// Points this close count as one neighbourhood: the number of neighbours tells urban cores,
// where base zones and terminals are centred, from the country around them.
constexpr double kDenseMiles = 15;

std::vector<std::string> SplitCsvLine(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

std::vector<std::vector<std::string>> ReadCsv(const std::string& path, size_t columns) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        auto f = SplitCsvLine(line);
        if (f.size() != columns) throw std::runtime_error("bad line in " + path + ": " + line);
        rows.push_back(std::move(f));
    }
    return rows;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

std::vector<std::string> Words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// Words that qualify a place name with a district rather than name a place of their own.
bool IsQualifier(const std::string& w) {
    static const std::set<std::string> kWords = {
        "NORTH",     "SOUTH",       "EAST",      "WEST",       "CENTRAL",     "NORTHEAST",
        "NORTHWEST", "SOUTHEAST",   "SOUTHWEST", "INNER",      "OUTER",       "UPPER",
        "LOWER",     "AND",         "NE",        "NW",         "SE",          "SW",
        "OUTSKIRTS", "EXTREMITIES", "BUSINESS",  "PROVINCIAL", "MID-HARBOUR", "GOVERNMENT"};
    return kWords.count(w) > 0;
}

// A postal area's description is a district with its main place: rural areas (digit 0 in the
// second position) name the main place in brackets, urban ones start with the city, sometimes
// followed by a district ("WINDSOR SOUTH (EAST MALDEN)", "REGINA NORTHEAST AND EAST CENTRAL").
std::string CityOfPostalArea(const std::string& fsa, const std::string& description) {
    const bool rural = fsa.size() > 1 && fsa[1] == '0';
    std::string text = description;
    size_t open = text.find('(');
    size_t close = text.rfind(')');
    if (open != std::string::npos && close != std::string::npos && close > open) {
        std::string inner = text.substr(open + 1, close - open - 1);
        if (rural) {
            inner = inner.substr(0, inner.find('/'));
            return Trim(inner.substr(0, inner.find(',')));
        }
        text = text.substr(0, open);
    }
    text = Trim(text.substr(0, text.find(',')));
    std::vector<std::string> words = Words(text);
    std::string city;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0 && IsQualifier(words[i])) break;
        city += (city.empty() ? "" : " ") + words[i];
    }
    for (const char* lead : {"DOWNTOWN ", "OLD "})
        if (city.rfind(lead, 0) == 0) city = city.substr(std::string(lead).size());
    // The districts of the two largest cities are named after a compass point of the city.
    for (const char* metro : {"TORONTO", "MONTREAL"}) {
        const std::string m = metro;
        auto w = Words(city);
        if (w.size() == 2 && w[1] == m &&
            (w[0] == "EAST" || w[0] == "WEST" || w[0] == "CENTRAL" || w[0] == "NORTH"))
            city = m;
    }
    return city.empty() ? Trim(description) : city;
}

}  // namespace

double GreatCircleMiles(LatLon a, LatLon b) {
    const double r = kPi / 180;
    double dLat = (b.lat - a.lat) * r, dLon = (b.lon - a.lon) * r;
    double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
               std::cos(a.lat * r) * std::cos(b.lat * r) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthMiles * std::asin(std::min(1.0, std::sqrt(h)));
}

double RoadMiles(LatLon a, LatLon b) {
    return GreatCircleMiles(a, b) * kCircuity;
}

const char* RegionKey(Region r) {
    switch (r) {
        case Region::QZA:
            return "QZA";
        case Region::QZB:
            return "QZB";
        case Region::QZD:
            return "QZD";
        case Region::QZF:
            return "QZF";
    }
    return "QZB";
}

// QZA is the central region, QZD the west, QZB the east and south.
Region RegionOfState(const std::string& state) {
    static const std::set<std::string> kCentral = {"ND", "SD", "NE", "KS", "MN", "IA",
                                                   "MO", "WI", "IL", "IN", "MI", "OH"};
    static const std::set<std::string> kWest = {"WA", "OR", "CA", "NV", "ID", "MT", "WY",
                                                "UT", "AZ", "NM", "CO", "AK", "HI"};
    static const std::set<std::string> kCanada = {"AB", "BC", "MB", "NB", "NL", "NS", "NT",
                                                  "NU", "ON", "PE", "QC", "SK", "YT"};
    if (kCentral.count(state)) return Region::QZA;
    if (kWest.count(state)) return Region::QZD;
    if (kCanada.count(state)) return Region::QZF;
    return Region::QZB;
}

bool IsOffshoreState(const std::string& state) {
    return state == "AK" || state == "HI" || state == "PR";
}

// The carrier does not run into Nunavut or the Northwest Territories.
bool IsUnservedProvince(const std::string& province) {
    return province == "NU" || province == "NT";
}

namespace {

// First letter of a service-centre code: "X" central, "U" west, and in the east and south a
// letter per district ("N" south-east and "L" gulf, whose Puerto Rico freight goes via Florida).
char SicLetter(const std::string& state, Country country) {
    if (country == Country::Canada) return 'C';
    switch (RegionOfState(state)) {
        case Region::QZA:
            return 'X';
        case Region::QZD:
            return 'U';
        default:
            break;
    }
    static const std::set<std::string> kSouthEast = {"FL", "GA", "SC", "NC", "AL", "TN"};
    static const std::set<std::string> kGulf = {"LA", "MS", "AR", "TX", "OK"};
    if (kSouthEast.count(state)) return 'N';
    if (kGulf.count(state)) return 'L';
    return 'E';
}

// The code takes two more letters from the terminal's city where it can ("XCH" for Chicago).
std::string NewSic(char letter, const std::string& city, std::set<std::string>& taken) {
    std::string letters;
    for (char c : city)
        if (c >= 'A' && c <= 'Z') letters += c;
    for (size_t i = 0; i < letters.size(); ++i)
        for (size_t j = i + 1; j < letters.size(); ++j)
            if (taken.insert(std::string{letter, letters[i], letters[j]}).second)
                return std::string{letter, letters[i], letters[j]};
    for (char a = 'A'; a <= 'Z'; ++a)
        for (char b = 'A'; b <= 'Z'; ++b)
            if (taken.insert(std::string{letter, a, b}).second) return std::string{letter, a, b};
    throw std::runtime_error("out of service-centre codes");
}

LatLon Centroid(const std::vector<LatLon>& points) {
    LatLon c;
    for (const auto& p : points) {
        c.lat += p.lat;
        c.lon += p.lon;
    }
    c.lat /= static_cast<double>(points.size());
    c.lon /= static_cast<double>(points.size());
    return c;
}

std::string MostCommonCity(const std::vector<std::string>& cities) {
    std::map<std::string, int> count;
    for (const auto& c : cities) ++count[c];
    return std::max_element(count.begin(), count.end(),
                            [](auto& a, auto& b) { return a.second < b.second; })
        ->first;
}

// The postal list spells names without their apostrophes ("O FALLON"); the towns write them.
std::string WithApostrophes(std::string city) {
    if (city.size() > 4 && city.rfind("O ", 0) == 0 && city.find(' ', 2) == std::string::npos)
        city[1] = '\'';
    if (city == "COEUR D ALENE") return "COEUR D'ALENE";
    if (city == "BOIS D ARC") return "BOIS D'ARC";
    return city;
}

void ReadUsZips(Geography& g, const std::string& dir) {
    for (auto& f : ReadCsv(dir + "/us_zips.csv", 5)) {
        UsZip z;
        z.zip = f[0];
        z.city = WithApostrophes(f[1]);
        z.state = f[2];
        z.at = {std::stod(f[3]), std::stod(f[4])};
        // One military ZIP is geocoded far out in the bush; it lies in Anchorage.
        if (z.city == "JBER") z.at = {61.2500, -149.8060};
        g.zips.push_back(std::move(z));
    }
}

void ReadPostalAreas(Geography& g, const std::string& dir) {
    std::vector<bool> located;
    for (auto& f : ReadCsv(dir + "/ca_fsas.csv", 5)) {
        CaArea a;
        a.fsa = f[0];
        a.description = f[1];
        a.province = f[2];
        a.city = CityOfPostalArea(a.fsa, a.description);
        // The Santa Claus area sits at the North Pole; it is rated where its mail is sorted.
        bool ok = !f[3].empty() && !f[4].empty() && std::stod(f[3]) < 85;
        if (ok) a.at = {std::stod(f[3]), std::stod(f[4])};
        located.push_back(ok);
        g.areas.push_back(std::move(a));
    }
    // A district of a larger city names the city first ("SAINT JOHN LAKEWOOD"): cut it back
    // to a city name that several areas of the province share.
    std::map<std::pair<std::string, std::string>, int> count;
    for (const auto& a : g.areas) ++count[{a.province, a.city}];
    for (auto& a : g.areas) {
        if (count[{a.province, a.city}] >= 3) continue;
        std::string best;
        for (const auto& [key, n] : count)
            if (n >= 3 && key.first == a.province && key.second.size() > best.size() &&
                a.city.rfind(key.second + " ", 0) == 0)
                best = key.second;
        if (!best.empty()) a.city = best;
    }
    // Areas without a position take the middle of their neighbours by postal code.
    for (size_t i = 0; i < g.areas.size(); ++i) {
        if (located[i]) continue;
        for (size_t prefix : {2u, 1u}) {
            std::vector<LatLon> near;
            for (size_t j = 0; j < g.areas.size(); ++j)
                if (located[j] && g.areas[j].fsa.compare(0, prefix, g.areas[i].fsa, 0, prefix) == 0)
                    near.push_back(g.areas[j].at);
            if (!near.empty()) {
                g.areas[i].at = Centroid(near);
                break;
            }
        }
    }
}

void BuildUsKeys(Geography& g) {
    std::map<std::string, std::vector<int>> prefixes;
    for (size_t i = 0; i < g.zips.size(); ++i)
        prefixes[g.zips[i].zip.substr(0, 3)].push_back(static_cast<int>(i));
    for (const auto& [prefix, members] : prefixes) {
        ZipKey k;
        k.key = prefix;
        k.country = Country::US;
        std::map<std::string, int> states;
        std::vector<LatLon> points;
        std::vector<std::string> cities;
        for (int m : members) {
            ++states[g.zips[m].state];
            points.push_back(g.zips[m].at);
        }
        k.state = std::max_element(states.begin(), states.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                  })->first;
        for (int m : members)
            if (g.zips[m].state == k.state) cities.push_back(g.zips[m].city);
        k.city = MostCommonCity(cities);
        k.members = members.size();
        k.region = RegionOfState(k.state);
        k.offshore = IsOffshoreState(k.state);
        k.served = !k.offshore;
        k.at = Centroid(points);
        for (const auto& p : points) k.radius += GreatCircleMiles(k.at, p);
        k.radius /= static_cast<double>(points.size());
        int index = static_cast<int>(g.keys.size());
        for (int m : members) g.zips[m].key = index;
        g.keyIndex[k.key] = index;
        g.keys.push_back(std::move(k));
    }
}

// Base zones: postal areas clustered around the densest areas of each province; the zone is
// named after the area it grew from.
void BuildCanadianKeys(Geography& g) {
    const size_t n = g.areas.size();
    std::vector<int> density(n, 0);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j)
            if (g.areas[i].province == g.areas[j].province &&
                GreatCircleMiles(g.areas[i].at, g.areas[j].at) < kDenseMiles)
                ++density[i];
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (density[a] != density[b]) return density[a] > density[b];
        return g.areas[a].fsa < g.areas[b].fsa;
    });
    std::vector<size_t> seeds;
    for (size_t i : order) {
        bool near = std::any_of(seeds.begin(), seeds.end(), [&](size_t s) {
            return g.areas[s].province == g.areas[i].province &&
                   GreatCircleMiles(g.areas[s].at, g.areas[i].at) <= kBaseZoneMiles;
        });
        if (!near) seeds.push_back(i);
    }
    std::sort(seeds.begin(), seeds.end(),
              [&](size_t a, size_t b) { return g.areas[a].fsa < g.areas[b].fsa; });
    std::vector<std::vector<size_t>> members(seeds.size());
    for (size_t i = 0; i < n; ++i) {
        size_t best = 0;
        double bestMiles = 1e18;
        for (size_t s = 0; s < seeds.size(); ++s) {
            if (g.areas[seeds[s]].province != g.areas[i].province) continue;
            double d = GreatCircleMiles(g.areas[seeds[s]].at, g.areas[i].at);
            if (d < bestMiles) {
                bestMiles = d;
                best = s;
            }
        }
        members[best].push_back(i);
    }
    for (size_t s = 0; s < seeds.size(); ++s) {
        const CaArea& seed = g.areas[seeds[s]];
        ZipKey k;
        k.key = seed.fsa;
        k.country = Country::Canada;
        k.state = seed.province;
        k.region = Region::QZF;
        k.served = !IsUnservedProvince(seed.province);
        std::vector<LatLon> points;
        std::vector<std::string> cities = {seed.city};  // the seed's city wins a tie
        for (size_t m : members[s]) {
            points.push_back(g.areas[m].at);
            cities.push_back(g.areas[m].city);
        }
        k.city = MostCommonCity(cities);
        k.members = members[s].size();
        k.at = Centroid(points);
        for (const auto& p : points) k.radius += GreatCircleMiles(k.at, p);
        k.radius /= static_cast<double>(points.size());
        int index = static_cast<int>(g.keys.size());
        for (size_t m : members[s]) g.areas[m].key = index;
        g.keyIndex[k.key] = index;
        g.keys.push_back(std::move(k));
    }
}

// How many ZIP codes lie within a few miles of each ZIP code: a stand-in for how much freight
// a place makes, so that terminals and hubs go to the urban cores first.
std::vector<int> ZipDensity(const Geography& g) {
    // ZIP codes in bands of latitude as wide as the radius, sorted by longitude within a band.
    const double band = kDenseMiles / 69.0;
    auto bandOf = [&](double lat) { return static_cast<int>(std::floor(lat / band)); };
    std::vector<std::pair<std::pair<int, double>, size_t>> sorted;
    for (size_t i = 0; i < g.zips.size(); ++i)
        sorted.push_back({{bandOf(g.zips[i].at.lat), g.zips[i].at.lon}, i});
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> density(g.zips.size(), 0);
    for (size_t i = 0; i < g.zips.size(); ++i) {
        const LatLon c = g.zips[i].at;
        const double dLon = band / std::max(0.2, std::cos(c.lat * kPi / 180));
        for (int b = bandOf(c.lat) - 1; b <= bandOf(c.lat) + 1; ++b) {
            auto first =
                std::lower_bound(sorted.begin(), sorted.end(),
                                 std::make_pair(std::make_pair(b, c.lon - dLon), size_t{0}));
            for (auto it = first;
                 it != sorted.end() && it->first.first == b && it->first.second <= c.lon + dLon;
                 ++it)
                if (GreatCircleMiles(g.zips[it->second].at, c) <= kDenseMiles) ++density[i];
        }
    }
    return density;
}

// The ZIP code of each prefix with the most neighbours.
std::vector<int> DensestZipOfKeys(const Geography& g, const std::vector<int>& density) {
    std::vector<int> core(g.keys.size(), -1);
    for (size_t z = 0; z < g.zips.size(); ++z) {
        int k = g.zips[z].key;
        if (g.zips[z].state != g.keys[k].state) continue;
        if (core[k] < 0 || density[z] > density[core[k]]) core[k] = static_cast<int>(z);
    }
    return core;
}

// US terminals: a terminal stands at the densest ZIP code of a prefix. In each state the most
// urban prefixes get one first, and a prefix gets one of its own when no terminal of its state
// lies within the spacing. The first terminal of a state is its hub.
std::vector<ServiceCenter> UsTerminals(const Geography& g, const std::vector<int>& density,
                                       const std::vector<int>& core, double spacing) {
    std::map<std::string, std::vector<int>> keysOfState;
    for (size_t k = 0; k < g.keys.size(); ++k)
        if (g.keys[k].country == Country::US)
            keysOfState[g.keys[k].state].push_back(static_cast<int>(k));
    std::vector<ServiceCenter> out;
    for (auto& [state, keys] : keysOfState) {
        std::sort(keys.begin(), keys.end(), [&](int a, int b) {
            if (density[core[a]] != density[core[b]]) return density[core[a]] > density[core[b]];
            return a < b;
        });
        size_t first = out.size();
        for (int k : keys) {
            const LatLon at = g.zips[core[k]].at;
            bool near = false;
            for (size_t c = first; c < out.size(); ++c)
                if (GreatCircleMiles(out[c].at, at) <= spacing) near = true;
            if (near) continue;
            ServiceCenter c;
            c.country = Country::US;
            c.state = state;
            c.at = at;
            c.hub = out.size() == first;
            c.offshore = IsOffshoreState(state);
            out.push_back(std::move(c));
        }
    }
    return out;
}

void BuildServiceCenters(Geography& g) {
    size_t canadian = 0;
    for (const auto& k : g.keys)
        if (k.country == Country::Canada) ++canadian;
    // The closest spacing that leaves room for one centre per Canadian base zone.
    const std::vector<int> density = ZipDensity(g);
    const std::vector<int> core = DensestZipOfKeys(g, density);
    std::vector<ServiceCenter> centers;
    for (double spacing = 40;; spacing += 1) {
        centers = UsTerminals(g, density, core, spacing);
        if (centers.size() + canadian <= static_cast<size_t>(kServiceCenterSize)) break;
    }
    std::map<std::string, std::vector<const UsZip*>> zipsOfState;
    for (const auto& z : g.zips) zipsOfState[z.state].push_back(&z);
    // A terminal is named after the place most ZIP codes around it belong to.
    for (auto& c : centers) {
        std::vector<const UsZip*> around;
        for (const UsZip* z : zipsOfState[c.state])
            if (GreatCircleMiles(z->at, c.at) <= kDenseMiles) around.push_back(z);
        std::vector<std::string> cities;
        for (const UsZip* z : around) cities.push_back(z->city);
        c.city = MostCommonCity(cities);
        for (const UsZip* z : around)
            if (z->city == c.city) {
                c.zip = z->zip;
                break;
            }
    }
    // In Canada each base zone has its terminal; the zone with most postal areas is the hub.
    std::map<std::string, std::pair<size_t, std::string>> hubOfProvince;
    for (const auto& k : g.keys) {
        if (k.country != Country::Canada) continue;
        auto& hub = hubOfProvince[k.state];
        if (k.members > hub.first) hub = {k.members, k.key};
    }
    for (const auto& k : g.keys) {
        if (k.country != Country::Canada) continue;
        ServiceCenter c;
        c.country = Country::Canada;
        c.state = k.state;
        c.at = k.at;
        c.city = k.city;
        c.zip = k.key + " 1A1";
        c.hub = hubOfProvince[k.state].second == k.key;
        c.served = k.served;
        centers.push_back(std::move(c));
    }
    std::set<std::string> taken;
    for (size_t i = 0; i < centers.size(); ++i) {
        centers[i].subscript = static_cast<int>(i) + 1;
        centers[i].sic =
            NewSic(SicLetter(centers[i].state, centers[i].country), centers[i].city, taken);
    }
    g.centers = std::move(centers);

    // Every point is served from the nearest terminal of its own state or from its base zone's.
    std::map<std::string, std::vector<int>> centersOfState;
    std::map<int, int> centerOfKey;
    for (size_t c = 0; c < g.centers.size(); ++c) {
        if (g.centers[c].country == Country::US)
            centersOfState[g.centers[c].state].push_back(static_cast<int>(c));
        else
            centerOfKey[g.keyIndex.at(g.centers[c].zip.substr(0, 3))] = static_cast<int>(c);
    }
    for (auto& z : g.zips) {
        double best = 1e18;
        for (int c : centersOfState.at(z.state)) {
            double d = GreatCircleMiles(z.at, g.centers[c].at);
            if (d < best) {
                best = d;
                z.center = c;
            }
        }
        z.milesToCenter = best;
    }
    for (auto& a : g.areas) {
        a.center = centerOfKey.at(a.key);
        a.milesToCenter = GreatCircleMiles(a.at, g.centers[a.center].at);
    }
}

}  // namespace

Geography BuildGeography(const std::string& sourceDir) {
    Geography g;
    ReadUsZips(g, sourceDir);
    ReadPostalAreas(g, sourceDir);
    BuildUsKeys(g);
    BuildCanadianKeys(g);
    if (g.keys.size() > static_cast<size_t>(kZipListSize))
        throw std::runtime_error("more ZIP-list keys than the lane files hold");
    for (size_t i = 0; i < g.keys.size(); ++i) g.keys[i].subscript = static_cast<int>(i) + 1;
    BuildServiceCenters(g);
    return g;
}

}  // namespace sampletariff
