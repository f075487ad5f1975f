#include "ratesheet.h"

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <exception>

#include "discounts.h"
#include "geography.h"
#include "lanes.h"
#include "linesclasses.h"
#include "msgbox.h"
#include "rategrid.h"
#include "ratetable.h"
#include "ratingstate.h"
#include "tariffdb.h"
#include "textprinter.h"

namespace {

const char* const kWorkTable = "canada rate sheet";
// The rate fields of the work table, minimum charge to 25M.
const char* const kRateFields[10] = {"minchg", "L5C", "r5c", "r1m", "r2m",
                                     "r5m",    "r10m", "r15m", "r20m", "r25m"};

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

Recordset& Table(std::shared_ptr<Recordset>& rs, const char* name) {
    if (!rs) throw TariffDataError(std::string("The table ") + name + " is not open.");
    return *rs;
}

// A sheet's texts are cut, padded and placed by characters: "TROIS-RIVIÈRES, QC" is 18 of
// them, however many bytes its accented letter takes.
std::u32string Characters(const std::string& text) {
    return QString::fromStdString(text).toStdU32String();
}
std::string Utf8(const std::u32string& characters) {
    return QString::fromStdU32String(characters).toStdString();
}

bool SeekOn(Recordset& rs, const char* index, const std::string& key) {
    if (rs.Index() != index) rs.SetIndex(index);
    rs.Seek("=", {Value(key)});
    return !rs.NoMatch();
}

// One end of a sheet: its city, province, base zone and the key its discounts are found by.
struct SheetEnd {
    std::string city, province, baseZone, key;
    bool shipLocation = false;
};

SheetEnd SheetEndOf(const std::string& text) {
    SheetEnd end;
    end.city = Trim(text.substr(0, text.find(',')));
    const std::u32string characters = Characters(text);
    end.province =
        Trim(Utf8(characters.size() >= 2 ? characters.substr(characters.size() - 2) : characters));
    // The city's postal code: a city's first row, else its rural post office.
    std::string postal;
    if (Recordset& cities = Table(tariff.rsCanCities, "can_cities");
        SeekOn(cities, "bycity", end.city)) {
        postal = cities.Field("zip").str();
    } else if (Recordset& rural = Table(tariff.rsCanRural, "can_rural");
               SeekOn(rural, "bycity", end.city)) {
        postal = rural.Field("zip").str();
    } else {
        throw TariffDataError("The city " + end.city +
                              " is in neither can_cities nor can_rural, so its rates are unknown.");
    }
    end.baseZone = CanadaBaseZone(postal);
    end.shipLocation = ShipLocInBaseZone(end.baseZone);
    // A customer's own location in the zone keeps its own discounts.
    end.key = end.shipLocation ? Trim(tariff.rsShipzips->Field("zip").str()) : end.baseZone;
    return end;
}

// Lays the values of a sheet row down and adds it; no rates means no service.
void AddSheetRow(Recordset& sheet, const std::string& origin, const std::string& dest,
                 const SheetEnd& o, const SheetEnd& d, const std::vector<Single>& rates) {
    sheet.AddNew();
    sheet.SetField("origin city", Value(origin));
    sheet.SetField("dest city", Value(dest));
    sheet.SetField("orig", Value(o.baseZone));
    sheet.SetField("DEST", Value(d.baseZone));
    for (size_t b = 0; b < rates.size(); ++b) sheet.SetField(kRateFields[b], Value(rates[b]));
    sheet.Update();
}

// The hourglass for as long as it lives; gone however a request ends.
class Hourglass {
  public:
    Hourglass() { Show(); }
    ~Hourglass() { Hide(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
    void Show() {
        if (on_ || !qGuiApp) return;
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        on_ = true;
    }
    void Hide() {
        if (on_) QGuiApplication::restoreOverrideCursor();
        on_ = false;
    }

  private:
    bool on_ = false;
};

// Empties the work table however a request ends: a sheet never leaves rows for the next one.
class WorkTableCleanup {
  public:
    WorkTableCleanup() = default;
    ~WorkTableCleanup() {
        try {
            EmptyRateSheetTable();
        } catch (const std::exception&) {
            // The database is gone; there is nothing left to empty.
        }
    }
    WorkTableCleanup(const WorkTableCleanup&) = delete;
    WorkTableCleanup& operator=(const WorkTableCleanup&) = delete;
};

void Report(const std::exception& e) {
    if (const auto* refusal = dynamic_cast<const RatingRefusal*>(&e)) {
        ShowMessage(QString::fromStdString(refusal->text()), kMsgOK,
                    QString::fromStdString(refusal->title()));
        return;
    }
    ShowMessage(QStringLiteral("The rate sheet could not be built.  ") + QString::fromUtf8(e.what()),
                kMsgOK, QStringLiteral("Rate Sheet Error"));
}

// The carrier's name on a blue plate, at the top left of every page.
QImage Logo() {
    QImage image(240, 60, QImage::Format_RGB32);
    image.fill(QColor(50, 70, 132));
    QPainter painter(&image);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("NORVALE FREIGHT"));
    return image;
}

void PrintSheetHeader(TextPrinter& p, uint8_t truckload) {
    const std::pair<int, const char*> heads[] = {{1, "Destination Cities"},
                                                 {28, "M/C"},
                                                 {38, "L5C"},
                                                 {48, "500"},
                                                 {58, "1000"},
                                                 {68, "2000"},
                                                 {78, "5000"},
                                                 {88, "10000"},
                                                 {98, "15000"},
                                                 {108, "20000"},
                                                 {118, "25000"}};
    const size_t count = truckload ? 11 : 8;
    for (size_t i = 0; i < count; ++i)
        p.PrintAt(heads[i].first, QString::fromLatin1(heads[i].second), i + 1 == count);
}

void PrintSheetLine(TextPrinter& p, Recordset& sheet, uint8_t truckload) {
    std::string dest = sheet.Field("dest city").str();
    p.PrintAt(1, QString::fromStdString(CanTrim(dest)));
    if (sheet.Field("minchg").isNull()) {
        p.PrintAt(26, QStringLiteral("No service"), true);
        return;
    }
    static constexpr int kNarrow[7] = {26, 37, 47, 59, 70, 81, 93};
    static constexpr int kWide[10] = {26, 37, 47, 60, 71, 81, 94, 105, 116, 127};
    const int count = truckload ? 10 : 7;
    for (int i = 0; i < count; ++i) {
        std::string number = CStr(static_cast<Single>(sheet.Field(kRateFields[i]).toDouble()));
        // The row ends after its last rate: the widest rate reaches past column 133, where an
        // empty item would only add a blank line under every row.
        p.PrintAt(truckload ? kWide[i] : kNarrow[i],
                  QString::fromStdString(FormatMoneyColumn(10, number)), i == count - 1);
    }
}

void PrintPageFoot(TextPrinter& p, int page) {
    p.SetBold(false);
    p.SetFontSize(8);
    p.EndLine();
    p.EndLine();
    p.PrintAt(52, QStringLiteral("Rates are expressed in Canadian dollars per CWT"), true);
    p.EndLine();
    p.PrintAt(20,
              QStringLiteral("Rates calculated using Norvale Freight's NRVL410 Tariff and are "
                             "estimates only based on the information provided by the user."),
              true);
    p.EndLine();
    p.PrintAt(20,
              QStringLiteral("Actual shipping charges may vary based on the specific terms and "
                             "conditions of service contained in your pricing agreement"),
              true);
    p.PrintAt(24,
              QStringLiteral("with Norvale Freight.  These rates do not include provisions for "
                             "accessorial charges, which may apply to your shipment."),
              true);
    p.EndLine();
    p.PrintAt(24,
              QStringLiteral("Accessorial charges are outlined in Norvale Freight's NRVL 120 "
                             "Tariff.  Please ask your Norvale Freight Account Executive"),
              true);
    p.PrintAt(52, QStringLiteral("for specific information on service and rates."), true);
    p.EndLine();
    p.PrintAt(1, QStringLiteral("Rates effective ") + QString::fromStdString(tariff.gEffDate));
    p.PrintAt(140, QString::number(page), true);
}

// Prints every row of the work table, 32 to a page, each page a document of its own.
void PrintSheetPages(TextPrinter& p, uint8_t truckload) {
    Recordset& sheet = *tariff.gDB->OpenRecordset(kWorkTable);
    struct Release {
        Recordset& rs;
        ~Release() { rs.Close(); }
    } release{sheet};
    const int pages = RateSheetPageCount(static_cast<int>(sheet.RecordCount()));
    const QImage logo = Logo();
    sheet.MoveFirst();
    for (int page = 1; page <= pages; ++page) {
        // A narrow face: ten rate columns of 12-point figures reach column 137 of a page.
        p.SetFontName(QStringLiteral("Arial Narrow"));
        p.SetBold(false);
        p.SetForeColor(0);
        p.SetFontSize(8);
        for (int i = 0; i < 3; ++i) p.EndLine();
        p.PaintPicture(logo, 0, 0, 2700, 675);
        for (int i = 0; i < 5; ++i) p.EndLine();
        p.SetFontSize(18);
        p.SetForeColor(0xFF0000);
        p.PrintAt(23, QStringLiteral("Domestic Rate Tariff"), true);
        p.SetBold(true);
        p.SetFontSize(truckload ? 9 : 12);
        p.SetForeColor(0);
        p.EndLine();
        p.EndLine();
        p.PrintAt(1, QStringLiteral("FROM:"));
        p.PrintAt(10, QString::fromStdString(sheet.Field("origin city").str()), true);
        p.EndLine();
        PrintSheetHeader(p, truckload);
        p.SetBold(false);
        for (int row = 0; row < kRateSheetRowsPerPage && !sheet.AtEOF(); ++row) {
            PrintSheetLine(p, sheet, truckload);
            sheet.MoveNext();
        }
        PrintPageFoot(p, page);
        if (!p.EndDoc())
            throw std::runtime_error("The printer failed on page " + std::to_string(page) + ": " +
                                     p.ErrorText().toStdString());
    }
}

}  // namespace

std::string CanTrim(const std::string& strCity) {
    const std::u32string city = Characters(strCity);
    if (city.size() < 19) return strCity;
    const size_t comma = city.find(U',');
    // Positions count from 1.
    if (comma != std::u32string::npos && comma + 1 <= 17) return Utf8(city.substr(0, comma));
    return Utf8(city.substr(0, 17));
}

std::string FormatMoneyColumn(int width, std::string& number) {
    number = Trim(number);
    const size_t point = number.find('.');
    if (point == std::string::npos)
        number += ".00";
    else if (number.size() >= 2 && point == number.size() - 2)
        number += "0";
    const auto w = static_cast<size_t>(width > 0 ? width : 0);
    const size_t length = Characters(number).size();
    if (w >= length) number = std::string(w - length, ' ') + number;
    return number;
}

std::vector<std::string> RateSheetCities() {
    Recordset& zones = Table(tariff.rsBasezone00, "basezone00");
    std::vector<std::string> cities;
    for (zones.MoveFirst(); !zones.AtEOF(); zones.MoveNext())
        cities.push_back(Trim(zones.Field("City").str()) + ", " + Trim(zones.Field("State").str()));
    return cities;
}

std::vector<std::string> FillCanadaCityList(const std::string& cityText) {
    const std::string city = Trim(cityText.substr(0, cityText.find(',')));
    Recordset& zones = Table(tariff.rsBasezone00, "basezone00");
    if (!SeekOn(zones, "bycityname", city))
        throw TariffDataError("The rate-sheet city " + city + " is missing from basezone00.");
    const std::string zip = zones.Field("zip").str();
    Recordset& can3 = Table(tariff.rsCan3, "can3");
    if (!SeekOn(can3, "can3post", zip))
        throw TariffDataError("The postal area " + zip + " is missing from can3.");
    const std::string baseZone = can3.Field("basezone").str();

    std::vector<std::string> points;
    for (const char* table : {"can_cities", "can_rural"}) {
        const std::string t(table);
        Snapshot rows = tariff.gDB->OpenSnapshot(
            "SELECT DISTINCT " + t + ".city, " + t + ".province FROM " + t +
                " INNER JOIN can3 ON Left([" + t + "].[zip],3) = can3.postcode "
                "WHERE (((Left([can3].[basezone],3))=?))",
            {Value(baseZone)});
        for (; !rows.AtEOF(); rows.MoveNext())
            points.push_back(Trim(rows.Field(0).str()) + ", " + Trim(rows.Field(1).str()));
    }
    return points;
}

void EmptyRateSheetTable() {
    if (tariff.gDB) tariff.gDB->Execute("DELETE FROM \"canada rate sheet\"");
}

int RateSheetPageCount(int rows) {
    return rows <= 0 ? 0 : (rows + kRateSheetRowsPerPage - 1) / kRateSheetRowsPerPage;
}

static int BuildSheetRows(const std::string& origin, const std::vector<std::string>& destinations,
                          const std::string& density) {
    Recordset& sheet = *tariff.gDB->OpenRecordset(kWorkTable);
    struct Release {
        Recordset& rs;
        ~Release() { rs.Close(); }
    } release{sheet};
    tariff.gOrigCountry = tariff.gDestCountry = 1;

    const SheetEnd o = SheetEndOf(origin);
    tariff.gOrigState = o.province;
    rating.gOutbound = o.shipLocation;
    tariff.gOrigZip3 = o.key;
    tariff.gOrigZip = o.key + "1A1";

    int added = 0;
    for (const std::string& dest : destinations) {
        const SheetEnd d = SheetEndOf(dest);
        tariff.gDestState = d.province;
        rating.gInbound = d.shipLocation;
        tariff.gDestZip3 = d.key;
        tariff.gDestZip = d.key + "1A1";

        tariff.gOrigSubscript = ZipSubscript(o.baseZone);
        tariff.gDestSubscript = ZipSubscript(d.baseZone);
        rating.gLaneCode = static_cast<int32_t>(
            std::stol(GetLaneCode(GridCellNumber(tariff.gOrigSubscript, tariff.gDestSubscript))));
        // The no-service row of the grids holds no rates of a lane.
        if (IsNoServiceLane(rating.gLaneCode)) {
            AddSheetRow(sheet, origin, dest, o, d, {});
            ++added;
            continue;
        }
        LoadRateGrid(rating.gLaneCode);
        SetLaneFlags(tariff.gOrigZip3, tariff.gDestZip3, tariff.gOrigState, tariff.gDestState, 0,
                     tariff.gDestZip);
        LoadBreakDiscounts(tariff.gOrigZip3, tariff.gDestZip3, tariff.gOrigState,
                           tariff.gDestState);
        const auto cls = static_cast<Single>(Val(ClassForDensity(density, rating.gLaneCode)));
        // The sheet shows the tariff's rates net of the discounts, without the lane's factors.
        std::vector<Single> rates;
        for (int b = 0; b <= 9; ++b)
            rates.push_back(
                static_cast<Single>(Val(ClassBreakRateText(b, cls, 1, 1, 1, kRateTableNet))));
        AddSheetRow(sheet, origin, dest, o, d, rates);
        ++added;
    }
    if (added > 0) tariff.rsBasezone00->SetIndex("bypostcode");
    return added;
}

int BuildCanadaRateSheet(const std::string& origin, const std::vector<std::string>& destinations,
                         const std::string& density) {
    if (!tariff.gDB) throw DbError(kErrObjectClosed, "The database is not open.");
    // The sheet's look-ups and its rows in one transaction: one lock, and one write at the end.
    return InTransaction(*tariff.gDB, [&] { return BuildSheetRows(origin, destinations, density); });
}

RateSheetOutcome PrintCanadaRateSheet(const RateSheetRequest& request, TextPrinter& printer,
                                      QWidget* parent) {
    Hourglass hourglass;
    WorkTableCleanup cleanup;
    if (request.origin.empty()) {
        hourglass.Hide();
        ShowMessage(QStringLiteral("You did not specify an Origin City.  ") +
                        QStringLiteral("Please try again."),
                    kMsgOK, QStringLiteral("Data Entry Error"));
        return RateSheetOutcome::NoOrigin;
    }
    try {
        // Rows a failed request may have left would print with this sheet.
        EmptyRateSheetTable();
        const int rows = BuildCanadaRateSheet(request.origin, request.destinations,
                                              request.density);
        hourglass.Hide();
        if (rows == 0) {
            ShowMessage(QStringLiteral("You did not specify any destination cities.  ") +
                            QStringLiteral("Please try again."),
                        kMsgOK, QStringLiteral("Data Entry Error"));
            return RateSheetOutcome::NoDestinations;
        }
        const QString origin = QString::fromStdString(request.origin).trimmed();
        printer.SetDocument(QStringLiteral("Norvale Freight Canadian rate sheet from ") + origin,
                            PrintFileName(QStringLiteral("ratesheet"), {origin}));
        if (printer.ChoosePrinter(parent) == PrinterChoice::Cancelled)
            return RateSheetOutcome::Cancelled;
        hourglass.Show();
        PrintSheetPages(printer, request.truckload ? 1 : 0);
    } catch (const std::exception& e) {
        hourglass.Hide();
        Report(e);
        return RateSheetOutcome::Failed;
    }
    return RateSheetOutcome::Printed;
}
