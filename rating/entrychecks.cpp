#include "entrychecks.h"

#include <cctype>

#include "numbers.h"
#include "text.h"

bool IsPlainDecimal(const std::string& text) {
    const std::string t = Trim(text);
    bool digit = false;
    bool point = false;
    for (char c : t) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

bool IsQuantityWithin(const std::string& text, double ceiling) {
    if (!IsPlainDecimal(text)) return false;
    const double value = Val(text);
    return value > 0 && value <= ceiling;
}
