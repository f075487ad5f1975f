#pragma once
// The tariff database, its table recordsets and the three lane files, open for the whole run.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "binaryfile.h"
#include "database.h"
#include "numbers.h"

// One row of the state and province list.
struct StateRow {
    std::string name;    // "Ontario"
    std::string code;    // "ON"
    std::string region;  // operating-region key: "QZA", "QZB", "QZD" or "QZF"
};

// Program-wide data of the tariff subsystem: open handles and what start-up loads.
struct TariffState {
    std::unique_ptr<Database> gDB;

    // One recordset per table, each kept on its index for the run.
    std::shared_ptr<Recordset> rsAccessorials, rsShipzips, rsStates, rsDiscounts, rsThriftlane,
        rsTariff, rsBasezone00, rsCan3, rsFaktable, rsFullzip, rsServInd, rsUSCities, rsCanCities,
        rsCanRural, rsZiplist, rsSvcctrs, rsZiparbs, rsAccessorials2, rsPRDelvyZones, rsPRCharges,
        rsAKZones, rsAKZones2, rsAKRates, rsAKAirRates, rsHIZones, rsHIRates, rsBLParties,
        rsCommodity, rsBills, rsBLNotes, rsBLdetail, rsHCDRS235, rsConfig, rsAtlantaDiscZips,
        rsIndPts;

    // The lane files: cxgrd.dat, cxlns.dat and cxmap.dat.
    BinaryFile laneGrid, laneLines, laneMap;

    // Settings loaded once at start-up, by key ("FLOOR_jointline", "DISC_USADefault" …).
    std::map<std::string, std::string, std::less<>> startupValues;
    std::string gEffDate;
    std::string gDensityDefault;
    Single gGPercentage = 0;
    std::string gExchangeRate;

    std::vector<StateRow> gStateTable;
    std::array<std::string, 18> gClasses;
    std::array<std::string, 21> gZip3List100;     // 1 to 20
    std::array<std::string, 7> gDCZip3List;       // 1 to 6
    std::array<std::string, 13> gHIMilitaryZips;  // 1 to 12

    // The two ends of the shipment, as verified. Country: 0 United States, 1 Canada,
    // 99 not verified.
    std::string gOrigZip, gOrigZip3, gOrigState, gOrigCityState;
    int16_t gOrigSubscript = 0;
    uint8_t gOrigCountry = 99;
    std::string gDestZip, gDestZip3, gDestState, gDestCityState;
    int16_t gDestSubscript = 0;
    uint8_t gDestCountry = 99;
    uint8_t gPickForDest = 0;    // the city list was filled for the destination
    std::string gOffshoreState;  // "AK", "PR" or "HI" of the last offshore ZIP seen

    // The recordset of a table by its name, for code that walks them all.
    std::shared_ptr<Recordset>* RecordsetFor(const std::string& table);

    void Reset();
};

extern TariffState tariff;

// A table of the database with the index its recordset stands on ("" for none).
struct TableIndex {
    const char* table;
    const char* index;
    std::shared_ptr<Recordset> TariffState::*handle;
};
// Every table the program keeps open, in the order they are opened.
const std::vector<TableIndex>& TariffTables();

// The application folder, always ending in "/": the program's own folder in the build,
// share/fretlyn/ beside an installed program's bin/. Only read. Tests point it at a copy.
std::string AppFolder();
void SetAppFolder(const std::string& folder);
// A folder name with its trailing separator: unchanged when it already has one.
std::string WithTrailingSeparator(const std::string& folder);
// The database the program opens: the user's copy once PrepareUserDatabase (userdatabase.h) has
// found it, otherwise data/x2007.mdb of the application folder (tests work on a copy of that
// folder). An empty path restores the latter.
std::string TariffDatabasePath();
void SetTariffDatabasePath(const std::string& path);

// Opens the database, every table on its index and the lane files. A missing file, table
// or index raises an error that names it, as do a file that holds none of the tables and a
// database the program may not write; nothing is left half open.
void OpenTariffDatabase();
// Runs `prepare` (which finds the database, PrepareUserDatabase) and then OpenTariffDatabase on a
// thread of its own, so that the main window can be built meanwhile. The next OpenTariffDatabase
// waits for it instead of opening again, and raises what it raised. The main window's controls
// are not touched on that thread: only the database, its recordsets and the lane files.
void OpenTariffDatabaseAhead(std::function<void()> prepare);
// Closes every open recordset (those other code opened too), the database and the lane
// files. Safe to call when nothing is open; waits for an opening ahead that is still running.
void CloseAll();
