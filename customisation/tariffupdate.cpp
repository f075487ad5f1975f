#include "tariffupdate.h"

#include "frmupgrade.h"
#include "messagebox.h"
#include "userdatabase.h"

void OfferTariffUpdate(const UserDatabaseStart& start) {
    if (start.notice.empty()) return;
    const QString notice = QString::fromStdString(start.notice);
    if (start.previous.empty()) {
        PlatformMessageBox(notice, kMbOK | kMbExclamation, QStringLiteral("Tariff update"));
        return;
    }
    const int answer = PlatformMessageBox(
        notice + QStringLiteral("\n\nYour discounts, shipping locations and bills of lading are "
                                "in the previous database.  Copy them into the new one now?"),
        kMbYesNo | kMbQuestion, QStringLiteral("Tariff update"));
    if (answer == kIdYes) ShowUpgradeWindow(start.previous);
}
