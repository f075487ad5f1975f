#include "blratefixture.h"

#include <array>
#include <cstdio>

#include "blrate.h"
#include "blstate.h"
#include "blstore.h"
#include "commodity.h"
#include "displayquote.h"
#include "geography.h"
#include "lanes.h"
#include "msgbox.h"
#include "numbers.h"
#include "offshore.h"
#include "outputfolder.h"
#include "pdfreader.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"

std::string PdfText(const std::filesystem::path& path) {
    std::string text;
    FILE* pipe = popen(("pdftotext -layout '" + path.string() + "' - 2>/dev/null").c_str(), "r");
    if (!pipe) return text;
    std::array<char, 4096> buf{};
    for (size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;) text.append(buf.data(), n);
    pclose(pipe);
    return text;
}

void BLRatingTest::SetUp() {
    BLTest::SetUp();
    rating.Reset();
    commodityLines.Reset();
    offshore.Reset();
    quote.Reset();
    quoteDisplay.Reset();
    blWindow.Reset();
    SetRatingMessageSink([](const std::string& text, int style, const std::string& title) {
        ShowMessage(QString::fromStdString(text), static_cast<uint8_t>(style),
                    QString::fromStdString(title));
    });
    SetQuoteDisplayHook(nullptr);
    SetBLQuoteShow([this](const std::function<void()>& rerate) {
        ++quoteWindowsShown;
        if (rerateOnShow > 0) {
            --rerateOnShow;
            rerate();
        }
    });
    output = app.path() / "Documents" / "Fretlyn";
    SetOutputFolder(output.string());
    SetPdfReader([this](const std::string& path) {
        opened.push_back(path);
        return readerStarts;
    });
}

void BLRatingTest::TearDown() {
    EndBillRating();
    SetBLQuoteShow(nullptr);
    SetPdfReader(nullptr);
    SetOutputFolder("");
    SetRatingMessageSink(nullptr);
    rating.Reset();
    commodityLines.Reset();
    offshore.Reset();
    blWindow.Reset();
    tariff.gOffshoreState.clear();
    BLTest::TearDown();
}

void BLRatingTest::SetMainRequest(
    const std::string& origin, const std::string& dest,
    const std::vector<std::pair<std::string, std::string>>& weightAndClass) {
    tariff.gOrigZip = origin;
    ASSERT_TRUE(LookupCityState(origin, 0));
    tariff.gDestZip = dest;
    ASSERT_TRUE(LookupCityState(dest, 1));
    rating.gLaneCode = static_cast<int32_t>(
        Val(GetLaneCode(GridCellNumber(tariff.gOrigSubscript, tariff.gDestSubscript))));
    rating.gServiceDays = GetServiceDays(origin, dest);
    GetPXSStandard(origin, dest, rating.gPXSDays);
    for (size_t j = 0; j < weightAndClass.size(); ++j) {
        rating.gLineWeight[j] = weightAndClass[j].first;
        commodityLines.cmbclass[j] = weightAndClass[j].second;
    }
}

std::vector<std::string> BLRatingTest::SheetRows() const {
    std::vector<std::string> rows;
    for (const QuoteLine& line : quote.Lines())
        rows.push_back(line.cls.text + "|" + line.weight.text + "|" + line.rate.text + "|" +
                       line.charge.text);
    return rows;
}

std::vector<std::string> BLRatingTest::ShownTexts() const {
    std::vector<std::string> texts;
    for (const LoggedMessage& m : Shown()) texts.push_back(m.text.toStdString());
    return texts;
}

std::string BLRatingTest::AddBillBetween(const std::string& number, const std::string& originZip,
                                         const std::string& destZip,
                                         const std::vector<std::vector<std::string>>& lines) {
    const BLRecordId shipper = AddParty("Shipper of " + number, kRoleShipper, originZip);
    const BLRecordId consignee = AddParty("Consignee of " + number, kRoleConsignee, destZip);
    std::vector<BLLineRecord> records;
    int n = 0;
    for (const auto& line : lines) {
        const BLRecordId c = AddCommodity(number + " goods " + std::to_string(++n), "10", line[0]);
        records.push_back({c, line[1], line[2]});
    }
    AddBill(number, shipper, consignee, 0, records);
    return number;
}

void BLRatingTest::SetSetting(const std::string& key, const std::string& value) {
    SetConfigValue(key, value);
}
