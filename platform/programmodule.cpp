#include "programmodule.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace {

void* OpenModule(const char* file) {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string installed =
        (exe.parent_path() / ".." / FRETLYN_INSTALL_MODULE_DIR / file).string();
    if (void* handle = ::dlopen(installed.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
    const std::string built = std::string(FRETLYN_BUILD_MODULE_DIR "/") + file;
    return ::dlopen(built.c_str(), RTLD_NOW | RTLD_LOCAL);
}

}  // namespace

void* ProgramModuleEntry(const char* file, const char* entry) {
    // dlopen counts its openings: a second call for the same module returns the same handle.
    void* handle = OpenModule(file);
    if (!handle) throw std::runtime_error(::dlerror());
    void* symbol = ::dlsym(handle, entry);
    if (!symbol)
        throw std::runtime_error(std::string(file) + " is not one of the program's modules");
    return symbol;
}
