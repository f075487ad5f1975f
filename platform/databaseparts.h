#pragma once
// What the database layer's two files share: names compared as the old engine compared them,
// and a statement reset however the look-up that uses it ends.

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <utility>

#include "database.h"

namespace databaseparts {

inline std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

inline bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Resets a statement however the look-up that uses it ends: a statement left on a row keeps
// the file's read lock, and no other program could then store anything in it.
class ResetWhenDone {
  public:
    explicit ResetWhenDone(Statement& st) : st_(st) {}
    ~ResetWhenDone() { st_.reset(); }
    ResetWhenDone(const ResetWhenDone&) = delete;
    ResetWhenDone& operator=(const ResetWhenDone&) = delete;

  private:
    Statement& st_;
};

}  // namespace databaseparts

// Here rather than in one .cpp, since both files of the layer write through it.
template <typename F>
auto Database::writing(F&& write) {
    if (!readBegun_ || transDepth_ > 0) return write();
    return InTransaction(*this, std::forward<F>(write));
}
