#include "linesclasses.h"

#include <algorithm>
#include <cctype>

#include "commodity.h"
#include "discounts.h"
#include "ratingstate.h"
#include "tariffdb.h"
#include "text.h"

namespace {


// The eighteen classes: the list start-up loads, or the fixed one when start-up has not run.
const std::string& ClassText(size_t i) {
    static const std::array<std::string, 18> fixed = {
        "50", "55", "60", "65", "70", "77.5", "85", "92.5", "100", "110", "125", "150",
        "175", "200", "250", "300", "400", "500"};
    return tariff.gClasses[i].empty() ? fixed[i] : tariff.gClasses[i];
}

int ClassIndex(const std::string& classText) {
    for (size_t i = 0; i < 18; ++i)
        if (classText == ClassText(i)) return static_cast<int>(i);
    return -1;
}

struct DensityBand {
    double from;
    const char* cls;
    const char* maxDensity;
};
// Highest band first; a density at a band's lower bound belongs to that band.
constexpr DensityBand kBands[] = {
    {50, "50", "99.99"},  {35, "55", "49.99"},  {30, "60", "34.99"}, {22.5, "65", "29.99"},
    {10, "100", "22.49"}, {8, "110", "9.99"},   {6, "125", "7.99"},  {4, "150", "5.99"},
    {2, "250", "3.99"},   {1, "300", "1.99"},
};

// The rating's look-up of a profile: the same row FindFAKRow finds, read through a statement
// prepared once, without moving the table the FAK windows stand on.
void LookUpFAKProfile(const std::string& zip, uint8_t ibob, uint8_t region) {
    static const std::string sql =
        "SELECT profil FROM faktable WHERE zip = ?1 AND IBOB = ?2 AND region = ?3 "
        "ORDER BY rowid LIMIT 1";
    const auto* found =
        tariff.gDB->LookUp(sql, {zip, static_cast<int>(ibob), static_cast<int>(region)});
    rating.gFAKProfile = found ? (*found)[0].str() : std::string(kIdentityFAKProfile);
}

}  // namespace

bool IsNMFCClass(const std::string& classText) { return ClassIndex(classText) >= 0; }

void RefuseIllegalClass() {
    throw RatingRefusal("This is an illegal NMFC Class value.  Please correct", "Error");
}

bool FindFAKRow(const std::string& zip, uint8_t ibob, uint8_t region) {
    Recordset& fak = *tariff.rsFaktable;
    rating.gFAKProfile = kIdentityFAKProfile;
    fak.Seek("=", {zip});
    // The location's rows follow one another on the index; past them the location has none.
    while (!fak.NoMatch() && !fak.AtEOF() && fak.HasCurrent() &&
           SameText(fak.Field("zip").str(), zip)) {
        if (fak.Field("IBOB").toInt() == ibob && fak.Field("region").toInt() == region) {
            rating.gFAKProfile = fak.Field("profil").str();
            return true;
        }
        fak.MoveNext();
    }
    // Leave no current row, so that no caller edits another location's profile.
    fak.Seek("=", {Value()});
    return false;
}

Single MapFAKClass(const std::string& classText) {
    const int i = ClassIndex(classText);
    // A class the profile has no slot for would silently rate as whatever class 50 maps to.
    if (i < 0) RefuseIllegalClass();
    const std::string& profile = rating.gFAKProfile;
    int m = -1;
    const size_t at = static_cast<size_t>(2 * i);
    if (profile.size() >= at + 2 && std::isdigit(static_cast<unsigned char>(profile[at])) &&
        std::isdigit(static_cast<unsigned char>(profile[at + 1])))
        m = (profile[at] - '0') * 10 + (profile[at + 1] - '0');
    if (m < 0 || m > 17)
        throw RatingRefusal("The F.A.K. profile in force (\"" + profile +
                                "\") is damaged: it has no valid class for class " + classText +
                                ".  Please correct it under Discounts/F.A.K.s.",
                            "F.A.K. Error");
    const std::string& mapped = ClassText(static_cast<size_t>(m));
    rating.gFAKActive = classText != mapped;
    return static_cast<Single>(Val(mapped));
}

void ApplyFAKProfile() {
    ApplyFAKProfile(commodityLines.cmbclass);
}

void ApplyFAKProfile(const EnteredClasses& entered) {
    rating.gFAKActive = false;
    const int countries = tariff.gOrigCountry + tariff.gDestCountry;
    uint8_t region = 1, ibob = 0;
    if (countries == 1) {
        region = 4;
        ibob = tariff.gOrigCountry == 1 ? 1 : 0;
    } else if (countries == 2) {
        region = 254;
    }
    rating.gFAKRegionIn = region;

    auto inForce = [] { return rating.gFAKProfile != kIdentityFAKProfile; };
    LookUpFAKProfile("ALL", ibob, region);
    rating.gFAKActive = inForce();
    if (rating.gOutbound && !rating.gFAKActive) {
        rating.gFAKRegionOut = RegionOfStateZip(tariff.gDestState, tariff.gOrigZip3);
        LookUpFAKProfile(tariff.gOrigZip3, 0, rating.gFAKRegionOut);
        rating.gFAKActive = inForce();
    }
    if (rating.gInbound && !rating.gFAKActive) {
        rating.gFAKRegionIn = RegionOfStateZip(tariff.gOrigState, tariff.gDestZip3);
        LookUpFAKProfile(tariff.gDestZip3, 1, rating.gFAKRegionIn);
        rating.gFAKActive = inForce();
    }
    if (!rating.gFAKActive) return;

    // The flag ends up telling whether any rated line changed class, so the quote shows the
    // entered classes whenever the profile moved one of them, whatever the line order.
    bool anyChanged = false;
    for (size_t j = 0; j < kCommodityLines; ++j) {
        rating.gLineClassActual[j] = entered[j];
        if (!rating.gLineWeight[j].empty()) {
            rating.gLineClass[j] = CStr(MapFAKClass(entered[j]));
            anyChanged = anyChanged || rating.gFAKActive;
        }
    }
    rating.gFAKActive = anyChanged;
}

std::string ClassForDensity(const std::string& density, int32_t /*laneCode*/) {
    const double d = Val(density);
    if (tariff.gOrigState == "QC" || tariff.gOrigState == "ON") return "100";
    for (const auto& band : kBands)
        if (d >= band.from) return band.cls;
    return "400";
}

std::string MaxDensityForClass(const std::string& classText) {
    const double c = Val(classText);
    for (const auto& band : kBands)
        if (c == Val(band.cls)) return band.maxDensity;
    if (c == 400) return ".99";
    return "";
}
