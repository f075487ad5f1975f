#pragma once
// A private copy of the generated application folder for tests that open or change the data.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "database.h"
#include "userdatabase.h"

// Runs a statement on the open tariff database.
void Exec(const std::string& sql, const std::vector<Value>& params = {});
// Replaces whatever row the open database has under the key (the first column) by this one.
void Put(const std::string& table, const std::vector<std::string>& cols,
         const std::vector<Value>& vals);

// A file's bytes, to show that a file stayed as it was.
std::string FileBytes(const std::filesystem::path& path);

// Overwrites the page a table or index of a closed database starts on, as a disk fault would.
void DamageFirstPage(const std::filesystem::path& database, const std::string& tableOrIndex);

// Sets the count of cells in the header of that page, as one changed byte of a disk fault
// would: the engine then finds fewer (or other) rows on it, without an error.
void SetFirstPageCellCount(const std::filesystem::path& database, const std::string& tableOrIndex,
                           uint16_t cells);

// The title a PDF file gives, as pdfinfo reads it; empty when it gives none.
std::string PdfTitle(const std::filesystem::path& path);

// Starts as the program does: finds (or makes) the user's copy of the database in the user's
// data folder, then opens the tariff on it and loads the settings.
UserDatabaseStart StartOnUserDatabase();

class ScratchAppFolder {
  public:
    // Copies the application folder (or only the named subfolders) and makes it AppFolder, with
    // the database the program opens its data/x2007.mdb.
    ScratchAppFolder();
    ~ScratchAppFolder();
    ScratchAppFolder(const ScratchAppFolder&) = delete;
    ScratchAppFolder& operator=(const ScratchAppFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& relative) const { return path_ / relative; }
    void writeFile(const std::string& relative, const std::string& text) const;
    // Takes the list of the tariff's files away, and its record from the database, as an
    // earlier tariff had none: the lane, transit-day and grid files a test writes for itself
    // are then read as they are.
    void dropFileList() const;

  private:
    std::filesystem::path path_;
};
