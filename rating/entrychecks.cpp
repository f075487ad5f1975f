#include "entrychecks.h"

#include <cctype>
#include <cmath>

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

namespace {
// 20000 as "20,000".
std::string Thousands(double value) {
    std::string digits = std::to_string(static_cast<long long>(value));
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}
}  // namespace

std::string QuantityRefusal(const std::string& subject, const std::string& what,
                            const std::string& unit, const std::string& text, double ceiling) {
    if (!IsPlainDecimal(text))
        return subject + " is not a plain number.  Type " + what +
               " as digits, without commas (a point may mark decimals).";
    double value = 0;
    try {
        value = Val(text);
    } catch (const NumberError&) {
        // Digits too many for any number are more than any ceiling, and said so alike.
        value = HUGE_VAL;
    }
    if (value <= 0) return subject + " must be more than 0 " + unit + ".";
    if (value > ceiling)
        return subject + " can be at most " + Thousands(ceiling) + " " + unit + ".";
    return {};
}

namespace {
// The greatest weight a line can carry is checked by the rating itself, with its own message.
constexpr double kNoCeiling = 1e18;

std::string OnLine(const char* quantity, int line) {
    return std::string("The ") + quantity + " on line  " + std::to_string(line);
}
}  // namespace

bool ReadsAsNoWeight(const std::string& text) {
    try {
        return Val(text) <= 0;
    } catch (const NumberError&) {
        return false;  // too large to read, so not nothing: WeightRefusal says what it is
    }
}

std::string WeightRefusal(int line, const std::string& text) {
    return QuantityRefusal(OnLine("weight", line), "the weight in pounds", "lbs", text, kNoCeiling);
}

std::string DensityRefusal(int line, const std::string& text) {
    return QuantityRefusal(OnLine("density", line), "the density in pounds per cubic foot",
                           "lbs per cubic foot", text, kMaxDensityPcf);
}

std::string OceanCubeRefusal(const std::string& text) {
    return QuantityRefusal("The ocean cube", "the cube in cubic feet", "cubic feet", text,
                           kMaxOceanCubeFeet);
}
