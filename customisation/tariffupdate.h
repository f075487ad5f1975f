#pragma once
// After a tariff update the customer's pricing and bills are still in the copy worked on until
// then: the start says so once and offers the upgrade window on that copy.

struct UserDatabaseStart;

// Shows the start's notice, if any. After a tariff update it asks whether to copy the customer's
// data across now and, on Yes, opens the upgrade window with the previous copy as the earlier
// database. Call it once the main window is up and its event loop runs: the upgrade window's
// Done ends the program.
void OfferTariffUpdate(const UserDatabaseStart& start);
