#include "fakprofiles.h"

#include <QString>
#include <cctype>

#include "database.h"
#include "discountstore.h"
#include "linesclasses.h"
#include "msgbox.h"
#include "tariffdb.h"

namespace {

int PairValue(const std::string& profile, int i) {
    const size_t at = static_cast<size_t>(2 * i);
    if (profile.size() < at + 2) return -1;
    const unsigned char a = static_cast<unsigned char>(profile[at]);
    const unsigned char b = static_cast<unsigned char>(profile[at + 1]);
    if (!std::isdigit(a) || !std::isdigit(b)) return -1;
    const int v = (a - '0') * 10 + (b - '0');
    return v < kFAKClasses ? v : -1;
}

std::string PairText(const std::string& profile, int i) {
    const int v = PairValue(profile, i);
    if (v < 0) return {};
    return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
}

void Position(const std::string& location, uint8_t ibob, uint8_t region) {
    // FindFAKRow stays within the location's own rows: a missing row is never another's.
    if (!FindFAKRow(location, ibob, region))
        ThrowMissingPricingRow("The F.A.K. profile of " + DescribeRow(location, region, ibob) +
                               " is missing from the table faktable.");
}

}  // namespace

std::vector<std::string> ProfileClassTexts(const std::string& profile,
                                           std::vector<std::string>* damaged) {
    std::vector<std::string> out;
    for (int i = 0; i < kFAKClasses; ++i) {
        const int v = PairValue(profile, i);
        if (v < 0) {
            out.push_back("??");
            if (damaged) damaged->push_back(tariff.gClasses[static_cast<size_t>(i)]);
        } else {
            out.push_back(tariff.gClasses[static_cast<size_t>(v)]);
        }
    }
    return out;
}

std::string ChosenProfile(const std::string& old, const FAKPair& pair) {
    if (pair.picked < 0 || pair.picked >= kFAKClasses) return old;
    const std::string picked = PairText(old, pair.picked);
    if (picked.empty()) return old;  // a damaged line has no class to give
    std::string out;
    for (int i = 0; i < kFAKClasses; ++i) {
        std::string own = PairText(old, i);
        // A damaged pair not chosen anew becomes the class itself rather than stay unreadable.
        if (own.empty()) own = PairText(kIdentityProfile, i);
        out += pair.selected[static_cast<size_t>(i)] ? picked : own;
    }
    return out;
}

FAKPair FillFAKLists(const std::string& location, uint8_t ibob, uint8_t region) {
    Position(location, ibob, region);
    const std::string profile = tariff.rsFaktable->Field("profil").str();
    std::vector<std::string> damaged;
    FAKPair pair;
    pair.fakLines = ProfileClassTexts(profile, &damaged);
    if (!damaged.empty()) {
        std::string classes;
        for (const auto& c : damaged) classes += (classes.empty() ? "" : ", ") + c;
        ShowMessage(QString::fromStdString("The stored F.A.K. profile of " +
                                           DescribeRow(location, region, ibob) +
                                           " has no valid class for class " + classes +
                                           " (shown as \?\?).  Apply a class to it or click the "
                                           "Actual Class heading to use actual classes."),
                    kMsgOK, QStringLiteral("F.A.K. Profile"));
    }
    return pair;
}

void SaveFAKChoice(const FAKPair& pair) {
    Recordset& fak = *tariff.rsFaktable;
    std::string profile;
    if (customisation.gFAKReset) {
        profile = kIdentityProfile;
    } else {
        if (pair.picked < 0) return;
        const std::string old = fak.Field("profil").str();
        profile = ChosenProfile(old, pair);
        if (profile == old) return;
    }
    fak.Edit();
    fak.SetField("profil", profile);
    try {
        fak.Update();
    } catch (...) {
        fak.CancelUpdate();
        throw;
    }
}

void StoreFAKProfile(const std::string& location, uint8_t region,
                     std::vector<std::pair<uint8_t, FAKPair*>> pairs) {
    InTransaction(*tariff.gDB, [&] {
        for (auto& [ibob, pair] : pairs) {
            Position(location, ibob, region);
            SaveFAKChoice(*pair);
        }
    });
    for (auto& [ibob, pair] : pairs) *pair = FillFAKLists(location, ibob, region);
}

FAKPair ResetFAKProfile(const std::string& location, uint8_t ibob, uint8_t region) {
    customisation.gFAKReset = true;
    try {
        Position(location, ibob, region);
        SaveFAKChoice(FAKPair{});
    } catch (...) {
        customisation.gFAKReset = false;
        throw;
    }
    customisation.gFAKReset = false;
    return FillFAKLists(location, ibob, region);
}
