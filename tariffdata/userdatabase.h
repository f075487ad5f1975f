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
    std::string path;      // the database the program works on from now on
    std::string previous;  // after a tariff update: the copy worked on until now, left as it was
    std::string notice;    // what to tell the user, once; empty when there is nothing to say
};

// Finds the user's copy of the shipped database and points the tariff database at it. At the
// first start of an edition (the shipped database's effective date or content differ from the
// ones the copy in use was made from) it makes a fresh copy beside the earlier ones and names the
// earlier one as previous. Nothing is deleted or overwritten. When the fresh copy cannot be made,
// the copy in use stays in use and the notice says why; with no copy at all that is an error
// (std::runtime_error naming the file and the reason).
UserDatabaseStart PrepareUserDatabase();
