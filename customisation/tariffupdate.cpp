#include "tariffupdate.h"

#include "database.h"
#include "frmupgrade.h"
#include "messagebox.h"
#include "tariffdb.h"
#include "userdatabase.h"

void OfferTariffUpdate(const UserDatabaseStart& start) {
    if (start.notice.empty()) return;
    const QString notice = QString::fromStdString(start.notice);
    if (start.previous.empty()) {
        PlatformMessageBox(notice, kMbOK | kMbExclamation, QStringLiteral("Tariff update"));
        return;
    }
    // After updates answered No the previous copy may be a fresh one that holds nothing of the
    // customer's: the offer is of the latest one that does.
    const std::string earlier =
        start.setAside ? start.previous : CopyWithCustomerData(start.previous);
    if (earlier.empty()) {
        PlatformMessageBox(
            notice + QStringLiteral("\n\nNone of your earlier databases holds discounts, "
                                    "shipping locations or bills of lading of your own, so "
                                    "there is nothing to copy into the new one."),
            kMbOK | kMbExclamation, QStringLiteral("Tariff update"));
        return;
    }
    const QString question =
        start.setAside ? QStringLiteral(
                             "Copy whatever can still be read of your discounts, shipping "
                             "locations and bills of lading from the damaged copy into the new "
                             "one now?")
        : earlier == start.previous
            ? QStringLiteral(
                  "Your discounts, shipping locations and bills of lading are in the "
                  "previous database.  Copy them into the new one now?")
            : QStringLiteral(
                  "Your discounts, shipping locations and bills of lading are in an "
                  "earlier database:\n%1\n\nCopy them into the new one now?")
                  .arg(QString::fromStdString(earlier));
    const int answer = PlatformMessageBox(
        notice + QStringLiteral("\n\n") + question, kMbYesNo | kMbQuestion,
        start.setAside ? QStringLiteral("Damaged database") : QStringLiteral("Tariff update"));
    if (answer == kIdYes) ShowUpgradeWindow(earlier);
}

DamagedStart OfferToSetDamagedDatabaseAside(const std::exception& error, UserDatabaseStart& start) {
    const auto* database = dynamic_cast<const DbError*>(&error);
    const std::string damaged = TariffDatabasePath();
    // Only the user's own copy is set aside: the shipped database is the application's. A copy
    // without any of the tariff's tables (left empty by a failed copy or a crash), or without one
    // of its fields or indexes, is as damaged.
    if (!database ||
        (database->number() != kErrDamaged && database->number() != kErrNotTariffDatabase &&
         !dynamic_cast<const DbAlteredError*>(database)) ||
        !IsUserDatabase(damaged))
        return DamagedStart::NotDamaged;
    const int answer = PlatformMessageBox(
        QString::fromStdString(error.what()) +
            QStringLiteral("\n\nFretlyn can set this copy aside (it is renamed, not deleted) and "
                           "start on a fresh copy of the tariff database.  The upgrade window "
                           "can then copy whatever can still be read of your discounts, "
                           "shipping locations and bills of lading.\n\nSet the damaged copy "
                           "aside and start on a fresh copy?"),
        kMbYesNo | kMbExclamation, QStringLiteral("Damaged database"));
    if (answer != kIdYes) return DamagedStart::Declined;
    CloseAll();
    start = SetDamagedDatabaseAside(damaged);
    return DamagedStart::SetAside;
}
