#include "ratetable.h"

#include "charges.h"
#include "geography.h"
#include "linesclasses.h"
#include "ratingstate.h"
#include "tariffdb.h"

namespace {

// The classes that have no density band between two Canadian points.
bool HasDensityBand(const std::string& cls) {
    return !MaxDensityForClass(cls).empty();
}

constexpr int kCellColumns[10] = {11, 20, 29, 37, 45, 53, 62, 70, 78, 86};

}  // namespace

std::string ClassBreakRateText(int brk, Single cls, Single push, Single origFactor,
                               Single destFactor, uint8_t bytGN) {
    const auto b = static_cast<size_t>(brk);
    // A discount that is not a number takes nothing off.
    const double netShare = bytGN == kRateTableNet ? 1 - Val(rating.gBreakDisc[b]) / 100 : 1.0;
    // The minimum charge is in dollars; the other cells are rates of the class.
    const Single classShare = brk == 0 ? Single{1} : static_cast<Single>(cls / 100);
    const Single r = ClassRateBeforeFactors(rating.gGridRow[b], classShare, netShare);
    return Format(ApplyLaneFactors(r, push, origFactor, destFactor), "#0.00");
}

RateTableModel BuildRateTable(uint8_t bytGN) {
    RateTableModel t;
    t.view = bytGN;
    const bool canada = IsIntraCanada();
    t.header.push_back(canada ? PlacedText{1, "Density"} : PlacedText{3, "Class"});
    const std::pair<int, const char*> heads[] = {
        {10, "MinChg"}, {21, "L5C"},    {30, "500"},    {37, "1,000"},  {45, "2,000"},
        {53, "5,000"},  {61, "10,000"}, {69, "15,000"}, {77, "20,000"}, {85, "25,000"}};
    for (const auto& [column, text] : heads) t.header.push_back({column, text});
    t.caption = "Norvale Freight Rates for " + tariff.gOrigZip + " to " + tariff.gDestZip;

    for (const std::string& classText : tariff.gClasses) {
        RateTableRow row;
        std::string rateClass = classText;
        if (canada) {
            if (!HasDensityBand(classText)) continue;
            const std::string bound = MaxDensityForClass(classText);
            row.label = {1, "< " + bound};
            // Every band rates at class 100 from Quebec and Ontario.
            rateClass = ClassForDensity(bound, rating.gLaneCode);
        } else {
            row.label = {3, CStr(static_cast<Single>(Val(classText)))};
        }
        const auto c = static_cast<Single>(Val(rateClass));
        for (int b = 0; b <= 9; ++b)
            row.cells.push_back({kCellColumns[b],
                                 ClassBreakRateText(b, c, rating.gLanePush, rating.gOrigFactor,
                                                    rating.gDestFactor, bytGN)});
        t.rows.push_back(std::move(row));
    }
    return t;
}

std::string PlaceOnLine(const std::vector<PlacedText>& items) {
    std::string line;
    for (const PlacedText& item : items) {
        const auto at = static_cast<size_t>(item.column > 1 ? item.column - 1 : 0);
        if (line.size() < at)
            line.append(at - line.size(), ' ');
        else if (!line.empty())
            line += ' ';
        line += item.text;
    }
    return line;
}

std::vector<std::string> RateTableModel::Lines() const {
    std::vector<std::string> lines{PlaceOnLine(header)};
    for (const RateTableRow& row : rows) {
        std::vector<PlacedText> items{row.label};
        items.insert(items.end(), row.cells.begin(), row.cells.end());
        lines.push_back(PlaceOnLine(items));
    }
    return lines;
}
