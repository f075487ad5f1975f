#include "carrierweb.h"

#include "helpdesk.h"

CarrierSites DefaultCarrierSites() {
    return {QStringLiteral("http://") + QLatin1String(kCarrierWebAddress),
            QStringLiteral("https://freight.norvalefreight.example")};
}

CarrierSites& carrierSites() {
    static CarrierSites sites = DefaultCarrierSites();
    return sites;
}

QUrl BrowserPageUrl(int page) {
    const CarrierSites& s = carrierSites();
    switch (page) {
        case 0:
            return QUrl(s.mainSite + QStringLiteral("/"));
        case 1:
            return QUrl(s.freightSite + QStringLiteral("/scripts/NavQTools.asp?dest=fuelcharge"));
        case 2:
            return QUrl(s.mainSite + QStringLiteral("/scripts/navqtools.asp?Dest=Exchange"));
        default:
            return QUrl();
    }
}
