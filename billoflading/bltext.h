#pragma once
// Lengths of the texts the windows store, counted in characters as the user sees them: the
// tables hold UTF-8, in which "ü" takes two bytes but is one character.

#include <string>

// The number of characters of a UTF-8 text.
inline size_t CharacterCount(const std::string& text) {
    size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;  // every byte but a continuation starts a character
    return n;
}

// The first `count` characters of a UTF-8 text, never a character cut in two.
inline std::string FirstCharacters(const std::string& text, size_t count) {
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (seen++ == count) return text.substr(0, i);
    }
    return text;
}
