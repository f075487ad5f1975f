#pragma once
// A line of a data file that holds a character its form has no place for is refused; the message
// says which one, since the likeliest (a non-breaking space, a look-alike letter) cannot be told
// from the right one where the line is quoted.

#include <QString>
#include <cstdio>
#include <string>
#include <string_view>

// A character in plain words, with its code point: "a non-breaking space (U+00A0)", "a tab
// (U+0009)", "\"é\" (U+00E9)".
inline std::string CharacterInWords(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    const auto named = [&](const char* name) { return std::string(name) + " (" + code + ")"; };
    switch (c) {
        case U'\t':
            return named("a tab");
        case U'\u00A0':
            return named("a non-breaking space");
        case U'\u2007':
            return named("a figure space");
        case U'\u202F':
            return named("a narrow non-breaking space");
        case U'\u200B':
            return named("a zero-width space");
        case U'\uFEFF':
            return named("an invisible zero-width no-break space");
        default:
            break;
    }
    if (QChar::isSpace(c)) return named("a space other than the plain one");
    if (!QChar::isPrint(c)) return named("an invisible character");
    return "\"" + QString::fromUcs4(&c, 1).toStdString() + "\" (" + code + ")";
}

// The first character of a line (UTF-8) that is none of the plain ASCII characters `allowed`,
// as "character 6 is a non-breaking space (U+00A0)", counted as an editor shows the line (a
// byte-order mark before it is not shown); empty when there is none.
inline std::string StrayCharacter(const std::string& line, std::string_view allowed) {
    const std::u32string characters = QString::fromUtf8(line).toStdU32String();
    size_t position = 0;
    for (size_t i = 0; i < characters.size(); ++i) {
        const char32_t c = characters[i];
        if (i == 0 && c == U'\uFEFF') continue;
        ++position;
        if (c < 0x80 && allowed.find(static_cast<char>(c)) != std::string_view::npos) continue;
        return "character " + std::to_string(position) + " is " + CharacterInWords(c);
    }
    return {};
}
