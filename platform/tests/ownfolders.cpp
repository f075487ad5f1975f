// Every test program runs in a home of its own, made before anything reads the environment and
// removed when it ends: whatever a test writes to the user's data, settings or documents folder
// (the program's own copy of the database, ~/Documents/Fretlyn …) stays out of the home of
// whoever runs the tests. Its temporary folder is its own too, inside that home: a scratch file
// with a fixed name can neither meet one another program left (another user's, which this
// user may not replace) nor be met by a test program running beside it.

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

class OwnFolders {
  public:
    OwnFolders() {
        const char* tmp = ::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fretlyn-test-home-XXXXXX";
        if (!::mkdtemp(pattern.data())) return;
        home_ = pattern;
        // The caches are no user data: a font cache built once serves every test program.
        const char* cache = ::getenv("XDG_CACHE_HOME");
        const char* oldHome = ::getenv("HOME");
        if (!(cache && *cache) && oldHome && *oldHome)
            ::setenv("XDG_CACHE_HOME", (std::string(oldHome) + "/.cache").c_str(), 1);
        ::setenv("HOME", home_.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home_ + "/.local/share").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home_ + "/.config").c_str(), 1);
        const std::string temporary = home_ + "/tmp";
        if (::mkdir(temporary.c_str(), 0700) == 0) ::setenv("TMPDIR", temporary.c_str(), 1);
        // The runtime folder of the user's session, where a program leaves its sockets: the
        // test's own too, for the user alone as a session's is.
        const std::string runtime = home_ + "/run";
        if (::mkdir(runtime.c_str(), 0700) == 0) ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::unsetenv("FRETLYN_DATA_DIR");
    }
    ~OwnFolders() {
        std::error_code ignored;
        if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
    }
    OwnFolders(const OwnFolders&) = delete;
    OwnFolders& operator=(const OwnFolders&) = delete;

  private:
    std::string home_;
};

const OwnFolders ownFolders;

}  // namespace

// The windows and data held program-wide live as long as the program does, which the leak check
// would report at every exit: every test program runs without it, however ctest is started.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}
