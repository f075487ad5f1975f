// The list of the lane, transit-day and grid files with their sizes and digests. The program
// reads a file that differs from it as damaged: a lane file with a byte changed names another
// real lane, and a grid with a value changed quotes another plausible rate.
#include <QByteArray>
#include <QCryptographicHash>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "sampletariff.h"

namespace sampletariff {

std::string WriteFileList(const std::string& appDir) {
    namespace fs = std::filesystem;
    std::vector<std::string> files = {"data/cxgrd.dat", "data/cxlns.dat", "data/cxmap.dat",
                                      "data/svc.dat"};
    std::vector<std::string> grids;
    for (const auto& entry : fs::directory_iterator(appDir + "/grids")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("grid", 0) == 0 && entry.path().extension() == ".dat")
            grids.push_back("grids/" + name);
    }
    std::sort(grids.begin(), grids.end());
    files.insert(files.end(), grids.begin(), grids.end());

    std::string list =
        "# The tariff's data files: size in bytes, SHA-256 digest, path in the application "
        "folder.\n";
    for (const std::string& file : files) {
        std::ifstream in(appDir + "/" + file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in) throw std::runtime_error("cannot read " + appDir + "/" + file);
        const std::string text = bytes.str();
        const QByteArray digest = QCryptographicHash::hash(
            QByteArrayView(text.data(), static_cast<qsizetype>(text.size())),
            QCryptographicHash::Sha256);
        list +=
            std::to_string(text.size()) + " " + digest.toHex().toStdString() + " " + file + "\n";
    }
    WriteFileAtomically(appDir + "/data/checksums.txt", list);
    return QCryptographicHash::hash(
               QByteArrayView(list.data(), static_cast<qsizetype>(list.size())),
               QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

}  // namespace sampletariff
