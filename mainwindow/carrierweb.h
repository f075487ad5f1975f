#pragma once
// The carrier's web addresses, in one place: the main web site (home page and exchange rate) and
// the freight web site (fuel surcharge). Tests point them at a server of their own.

#include <QString>
#include <QUrl>

struct CarrierSites {
    QString mainSite;     // scheme and host, no trailing "/"
    QString freightSite;  // scheme and host; the fuel-surcharge page wants an encrypted link
};

// The addresses the web-page window uses; the defaults are the carrier's.
CarrierSites& carrierSites();
CarrierSites DefaultCarrierSites();

// The page the web-page window opens for a page selector: 0 the home page, 1 the fuel
// surcharge, 2 the exchange rate; nothing (an empty address) for any other value.
QUrl BrowserPageUrl(int page);
