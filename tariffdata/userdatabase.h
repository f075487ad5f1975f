#pragma once
// The database the program writes belongs to the user, not to the application folder: a copy of
// the shipped data/x2007.mdb in the user's data folder, one copy per tariff edition. The
// application folder is only read, so an installed copy runs for every user, and a rebuild or a
// tariff update never writes over the customer's pricing and bills.
//
// The data folder holds one subfolder per copy, each with the database and a note of the
// shipped database it was made from, and the file "current", which names the copy in use.

#include <string>

// The folder of the user's copies: the environment setting FRETLYN_DATA_DIR when it is set,
// otherwise the user's data folder for this program (~/.local/share/Fretlyn).
std::string UserDataFolder();
// Points the folder elsewhere (tests); an empty text restores the default.
void SetUserDataFolder(const std::string& folder);

// What the start found.
struct UserDatabaseStart {
    std::string path;       // the database the program works on from now on
    std::string previous;   // the copy worked on until now, left as it was: after a tariff
                            // update, or a damaged copy set aside under its new name
    std::string notice;     // what to tell the user; empty when there is nothing to say
    bool setAside = false;  // previous is a damaged copy that was set aside
};

// Finds the user's copy of the shipped database and points the tariff database at it. At the
// first start of an edition (the shipped database's effective date or content differ from the
// ones the copy in use was made from) it makes a fresh copy beside the earlier ones, carries the
// user's own settings (kUserSettingKeys) over from the earlier one, and names the earlier one as
// previous; the notice says which settings were carried. Nothing is deleted or overwritten.
// An edition that has a copy already (one the user comes back to) is worked on in that copy,
// and the notice says so. A copy made after an update or in place of a damaged copy names its
// previous copy, with the notice, at every start until the user has answered the offer
// (SettleUserDatabaseOffer).
// When the fresh copy cannot be made, nothing is changed and the start fails with an error
// (FileError) that says why and what to do: the new tariff's files are never rated against the
// earlier tariff's database. The next start tries again.
UserDatabaseStart PrepareUserDatabase();

// Sets a damaged copy of the user's database aside (renamed beside itself, never deleted) and
// starts a fresh copy of the shipped database in its place, with whatever of the user's own
// settings can still be read from the damaged one. When the fresh copy cannot be made the
// damaged copy keeps its name and the error says why.
UserDatabaseStart SetDamagedDatabaseAside(const std::string& damaged);

// The user has answered what the start offered after a tariff update or a damaged copy set
// aside (or has read that there was nothing to offer): the next start works on the copy without
// a word. Until then every start makes the same offer again, so that a program ended at the
// question does not leave the customer's data behind without a word.
void SettleUserDatabaseOffer(const UserDatabaseStart& start);

// From now on, when a command finds the copy in use damaged or altered, a note is left beside
// it and the message tells the user to start Fretlyn again; the next start checks a noted copy
// (its pages, and its tables, fields and indexes against the shipped database's) and offers the
// remedy a damaged copy gets at start when the check fails. Called once the start succeeded:
// at start the offer follows the message itself.
void WatchUserDatabaseForDamage();

// Whether a database is one of the user's copies in the user's data folder (not, for
// instance, the shipped database of the application folder).
bool IsUserDatabase(const std::string& path);

// The copy the one in use was made to replace (by a tariff update, or when a damaged copy was
// set aside), while it is still there; empty otherwise.
std::string PreviousUserDatabase();

// For the customer's pricing (shipping locations, discounts, FAKs) and for the bills of lading
// (with their parties and commodities) each, the latest copy, from `from` back through the
// copies each was made to replace, that holds it: after updates answered No, the fresh copies in
// between hold none, and the pricing may have been changed in a later copy than the bills. A
// copy that cannot be told about counts as holding both. Empty where none does.
struct CustomerDataCopies {
    std::string pricing;
    std::string bills;
};
CustomerDataCopies CopiesWithCustomerData(const std::string& from);
