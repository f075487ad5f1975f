#pragma once
// After a tariff update the customer's pricing and bills are still in the copy worked on until
// then: the start says so once and offers the upgrade window on that copy. The same goes for a
// damaged copy the start set aside.

#include <exception>

struct UserDatabaseStart;

// Shows the start's notice, if any. After a tariff update, or once a damaged copy was set
// aside, it asks whether to copy the customer's data across now, naming for the pricing and for
// the bills of lading each the latest earlier copy that holds it, and on Yes opens the upgrade
// window on those copies. Once the user has answered, the next start asks no more; a question
// closed by the program ending is no answer. Call it once the main window is up and its event
// loop runs: the upgrade window's Done ends the program.
void OfferTariffUpdate(const UserDatabaseStart& start);

// What became of a start that failed.
enum class DamagedStart {
    NotDamaged,  // the error is another; the start reports it
    Declined,    // the user's database is damaged and the user chose to leave it be
    SetAside,    // it was set aside and a fresh copy is in use: the start may be tried again
};
// When the start failed because the user's copy of the database is damaged, shows the error
// and offers to set the copy aside (renamed, never deleted) and go on with a fresh copy of the
// tariff. start then describes the fresh copy. A fresh copy that cannot be made is an error
// saying why, with the damaged copy left as it was.
DamagedStart OfferToSetDamagedDatabaseAside(const std::exception& error, UserDatabaseStart& start);
