#pragma once
// The text habits of the old platform that every layer shares.

#include <algorithm>
#include <cctype>
#include <string>

// Trim takes off blanks only, as the old platform's did; tabs and line ends stay.
inline std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

inline std::string Left(const std::string& s, size_t n) {
    return s.substr(0, std::min(n, s.size()));
}

// Enough of a bad line of a data file to find it by, however long the line is.
inline std::string Excerpt(const std::string& line) {
    constexpr size_t kShown = 40;
    return line.size() <= kShown ? line : line.substr(0, kShown) + "...";
}

inline std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The tables compare text without regard to case, and so does code that walks their rows.
inline bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}
