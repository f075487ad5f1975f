#include "tariffupdate.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "database.h"
#include "frmupgrade.h"
#include "messagebox.h"
#include "tariffdb.h"
#include "userdatabase.h"

namespace {

// Whether the program was told to end while a question was up: an orderly close (at a logout,
// say) closes the question too, which then reads as its default answer though nobody gave it.
// Once told to end, a new event loop returns at once.
bool ProgramEnding() {
    if (QThread::currentThread()->loopLevel() == 0) return false;  // nothing was running to end
    QEventLoop probe;
    QTimer::singleShot(0, &probe, [&probe] { probe.exit(0); });
    return probe.exec() != 0;
}

// What the question names: where the customer's pricing and bills are, each.
QString WhereTheDataIs(const CustomerDataCopies& copies, const std::string& previous) {
    auto where = [&](const std::string& copy) {
        return (copy == previous ? QStringLiteral("the previous database:\n")
                                 : QStringLiteral("an earlier database:\n")) +
               QString::fromStdString(copy);
    };
    if (copies.pricing == copies.bills)
        return copies.pricing == previous
                   ? QStringLiteral(
                         "Your discounts, shipping locations and bills of lading are in the "
                         "previous database.  ")
                   : QStringLiteral(
                         "Your discounts, shipping locations and bills of lading are in %1\n\n")
                         .arg(where(copies.pricing));
    QString said;
    if (!copies.pricing.empty())
        said += QStringLiteral("Your discounts and shipping locations are in %1\n\n")
                    .arg(where(copies.pricing));
    if (!copies.bills.empty())
        said += QStringLiteral("Your bills of lading are in %1\n\n").arg(where(copies.bills));
    return said;
}

}  // namespace

void OfferTariffUpdate(const UserDatabaseStart& start) {
    if (start.notice.empty()) return;
    const QString notice = QString::fromStdString(start.notice);
    if (start.previous.empty()) {
        PlatformMessageBox(notice, kMbOK | kMbExclamation, QStringLiteral("Tariff update"));
        return;
    }
    // Told only once the user has seen it through: a program ended at the question asks again
    // at its next start.
    auto answered = [&start] {
        if (!ProgramEnding()) SettleUserDatabaseOffer(start);
    };
    // After updates answered No the previous copy may be a fresh one that holds nothing of the
    // customer's, and the pricing may have been changed in a later copy than the bills: the
    // offer is of the latest copy that holds each.
    const CustomerDataCopies copies = start.setAside
                                          ? CustomerDataCopies{start.previous, start.previous}
                                          : CopiesWithCustomerData(start.previous);
    if (copies.pricing.empty() && copies.bills.empty()) {
        PlatformMessageBox(
            notice + QStringLiteral("\n\nNone of your earlier databases holds discounts, "
                                    "shipping locations or bills of lading of your own, so "
                                    "there is nothing to copy into the new one."),
            kMbOK | kMbExclamation, QStringLiteral("Tariff update"));
        answered();
        return;
    }
    const QString question =
        start.setAside ? QStringLiteral(
                             "Copy whatever can still be read of your discounts, shipping "
                             "locations and bills of lading from the damaged copy into the new "
                             "one now?")
                       : WhereTheDataIs(copies, start.previous) +
                             QStringLiteral("Copy them into the new one now?");
    const int answer = PlatformMessageBox(
        notice + QStringLiteral("\n\n") + question, kMbYesNo | kMbQuestion,
        start.setAside ? QStringLiteral("Damaged database") : QStringLiteral("Tariff update"));
    if (answer != kIdYes) {
        answered();
        return;
    }
    // Settled once something was copied, or once the user closed the upgrade window: a program
    // ended inside it (killed, or its session ended) before anything was copied offers again.
    if (ShowUpgradeWindow(copies.pricing, copies.bills))
        SettleUserDatabaseOffer(start);
    else
        answered();
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
