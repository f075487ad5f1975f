#pragma once
// A private copy of the generated application folder for tests that open or change the data.

#include <filesystem>
#include <string>
#include <vector>

#include "database.h"

// Runs a statement on the open tariff database.
void Exec(const std::string& sql, const std::vector<Value>& params = {});
// Replaces whatever row the open database has under the key (the first column) by this one.
void Put(const std::string& table, const std::vector<std::string>& cols,
         const std::vector<Value>& vals);

class ScratchAppFolder {
  public:
    // Copies the application folder (or only the named subfolders) and makes it AppFolder.
    ScratchAppFolder();
    ~ScratchAppFolder();
    ScratchAppFolder(const ScratchAppFolder&) = delete;
    ScratchAppFolder& operator=(const ScratchAppFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& relative) const { return path_ / relative; }
    void writeFile(const std::string& relative, const std::string& text) const;

  private:
    std::filesystem::path path_;
};
