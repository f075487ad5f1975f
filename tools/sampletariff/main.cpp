// sampletariff <source folder> <application folder>: writes the sample tariff the program ships
// with. The same source data always give the same bytes.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "sampletariff.h"

namespace sampletariff {

uint64_t Hash(const std::string& text) {
    uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// A failed run leaves the old file or none, never half a file.
void WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + temp);
    }
    std::filesystem::rename(temp, path);
}

std::string PageStart(const std::string& title, const std::string& bodyStyle) {
    // The attributes for a desktop browser, the style for the program's own pane.
    return "<html><head><title>" + title +
           "</title>\n<style>a { color: #0000CC; }</style></head>\n"
           "<body bgcolor=\"#FFFFFF\" text=\"#000000\" link=\"#0000CC\" "
           "style=\"background-color: #FFFFFF; color: #000000" +
           (bodyStyle.empty() ? std::string() : "; " + bodyStyle) + "\">\n";
}

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The effective date shown in the main window's title and on every tariff page.
constexpr const char* kEffectiveDate = "March 19, 2007";

void Generate(const std::string& source, const std::string& app) {
    namespace fs = std::filesystem;
    for (const char* dir : {"data", "grids", "graphics", "pony"})
        fs::create_directories(app + "/" + dir);

    Geography g = BuildGeography(source);

    // Grid files of an earlier run that this one does not write would be read as lanes.
    for (const auto& entry : fs::directory_iterator(app + "/grids"))
        if (entry.path().filename().string().rfind("grid", 0) == 0) fs::remove(entry.path());
    WriteLaneData(g, app);
    // The database records the list, so the list comes first.
    const std::string fileList = WriteFileList(app);

    const std::string db = app + "/data/x2007.mdb";
    fs::remove(db);
    WriteDatabase(g, db + ".tmp", fileList);
    fs::rename(db + ".tmp", db);
    WritePonyTestFiles(g, app);

    std::string states;
    for (const auto& s : StateList())
        states += s.name + "," + s.code + "." + RegionKey(RegionOfState(s.code)) + "\n";
    WriteFileAtomically(app + "/data/states.dat", states);
    WriteFileAtomically(app + "/data/effdate.dat", std::string(kEffectiveDate) + "\n");
    const std::string outlines = ReadFile(source + "/usa_poly.txt");
    WriteFileAtomically(app + "/graphics/usa_poly.txt", outlines);
    WriteFileAtomically(app + "/graphics/usa.bmp", MapPictureBytes(outlines));
    WriteFileAtomically(app + "/graphics/finger.cur", HandCursorBytes());
    WriteFileAtomically(app + "/graphics/fretlyn.png", AppIconBytes(256));
    for (int size : {32, 64})
        WriteFileAtomically(app + "/graphics/fretlyn-" + std::to_string(size) + ".png",
                            AppIconBytes(size));
    WriteTariffPages(app, kEffectiveDate);
    WriteHelpPages(app);
    WriteBLForms(app);
    WriteShipLocHelpPages(app);
}

}  // namespace
}  // namespace sampletariff

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sampletariff <source folder> <application folder>\n";
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    try {
        sampletariff::Generate(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "sampletariff: " << e.what() << "\n";
        return 1;
    }
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - start)
                  .count();
    std::cout << "sample tariff written to " << argv[2] << " in " << ms << " ms\n";
    return 0;
}
