#include "testdata.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "tariffdb.h"

namespace fs = std::filesystem;

ScratchAppFolder::ScratchAppFolder() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("fretlyn_app_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
    const fs::path source = FRETLYN_APP_DIR;
    for (const auto& entry : fs::directory_iterator(source))
        if (entry.is_directory())
            fs::copy(entry.path(), path_ / entry.path().filename(), fs::copy_options::recursive);
    SetAppFolder(path_.string());
}

ScratchAppFolder::~ScratchAppFolder() {
    CloseAll();
    SetAppFolder("");
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void ScratchAppFolder::writeFile(const std::string& relative, const std::string& text) const {
    std::ofstream out(path_ / relative, std::ios::binary | std::ios::trunc);
    out << text;
}
