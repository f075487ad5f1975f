#include "auxvalues.h"

#include "lanes.h"
#include "numbers.h"
#include "tariffdb.h"

std::optional<std::string> OceanCubeText(const std::string& height, const std::string& width,
                                         const std::string& depth) {
    const double h = Val(height), w = Val(width), d = Val(depth);
    if (!(h > 0 && w > 0 && d > 0)) return std::nullopt;
    const Single W = static_cast<Single>(w / 12);
    const Single H = static_cast<Single>(h / 12);
    const Single D = static_cast<Single>(d / 12);
    const Single wh = W * H;
    const Single cube = wh * D;
    return CStr(cube);
}

std::string FuelSurchargeShown(const std::string& stored) {
    return stored.size() == 3 ? "0" + stored : stored;
}

std::string FuelSurchargeToStore(const std::string& typed) {
    const size_t point = typed.find('.');
    const std::string whole = typed.substr(0, point);
    const std::string tenth = point == std::string::npos ? std::string() : typed.substr(point + 1);
    return std::string(whole.size() < 2 ? 2 - whole.size() : 0, '0') + whole + "." +
           (tenth.empty() ? "0" : tenth);
}

std::string AboutNotice(const std::string& effDate) {
    return std::string("The data provided by the Norvale Freight Fretlyn software represents ") +
           "information from Tariff NRVL 410 in effect " + effDate +
           ".  Upon request, current tariff information is available for " +
           "inspection and review at each Norvale Freight regional component general " +
           "office.  Freight charges that are shown by Norvale Freight Fretlyn " +
           "software are for information purposes only and do not take " +
           "precedence over the most current tariff rates and charges.  " +
           "Actual prices for Norvale Freight services will be based on weight, " +
           "National Motor Freight Class, conditions of tender and the " +
           "pricing agreement that exists between Norvale Freight and the debtor " +
           "for these services at the time a shipment is tendered.";
}

FindCenterResult FindServiceCenter(const std::string& code, ServiceCenterCard& card) {
    const std::string sic = ServiceCenterOfZip(code);
    if (sic == "BZC") return FindCenterResult::NotOnFile;
    if (!tariff.rsSvcctrs)
        throw std::runtime_error("The service-centre table svcctrs is not open.");
    Recordset& rs = *tariff.rsSvcctrs;
    rs.Seek("=", {sic});
    if (rs.NoMatch()) return FindCenterResult::NoRow;
    card.name = rs.Field("Name").str();
    card.address = rs.Field("Address").str();
    card.cityStateZip = rs.Field("citystatezip").str();
    card.phone = "Phone: " + rs.Field("Phone").str();
    card.fax = "FAX:  " + rs.Field("FAX").str();
    card.tollFree = "Toll Free:  " + rs.Field("tollfree").str();
    return FindCenterResult::Found;
}
