#include "numbers.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace {

constexpr int kDoubleDigits = 15;
constexpr int kSingleDigits = 7;

const char* MessageFor(int number) {
    switch (number) {
        case NumberError::kOverflow:
            return "Overflow";
        case NumberError::kTypeMismatch:
            return "Type mismatch";
        default:
            return "Application-defined or object-defined error";
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A finite value as decimal text: value = digits[0].digits[1..] x 10^exponent, no trailing zeros.
struct Decimal {
    bool negative = false;
    std::string digits = "0";
    int exponent = 0;
    bool zero() const { return digits == "0"; }
};

// A value is first reduced to a fixed number of significant digits and all further rounding is done
// on that decimal text, so a Double that prints as 0.285 rounds to 0.29.
Decimal ToDecimal(double value, int significant) {
    if (!std::isfinite(value)) throw NumberError(NumberError::kOverflow);
    // The same text as printf's "%.*e" (both round the exact binary value), many times faster:
    // every amount of a rating passes through here.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer - 1, std::fabs(value),
                                       std::chars_format::scientific, significant - 1);
    *written.ptr = '\0';
    Decimal d;
    d.negative = std::signbit(value);
    d.digits.clear();
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (IsDigit(*p)) d.digits.push_back(*p);
    d.exponent = std::atoi(p + 1);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    if (d.zero()) d.exponent = 0;
    return d;
}

// The value split at the point with exactly `decimals` fraction digits, rounded half away from
// zero on the decimal text. `whole` carries no leading zeros, so it is empty below 1.
struct Fixed {
    std::string whole;
    std::string fraction;
    bool zero() const {
        return whole.empty() && fraction.find_first_not_of('0') == std::string::npos;
    }
};

Fixed ToFixed(const Decimal& d, size_t decimals) {
    std::string s = d.digits;
    long point = d.exponent + 1;
    if (point <= 0) {
        s.insert(0, static_cast<size_t>(-point), '0');
        point = 0;
    }
    if (s.size() < static_cast<size_t>(point)) s.append(static_cast<size_t>(point) - s.size(), '0');
    Fixed f{s.substr(0, static_cast<size_t>(point)), s.substr(static_cast<size_t>(point))};
    bool up = false;
    if (f.fraction.size() > decimals) {
        up = f.fraction[decimals] >= '5';
        f.fraction.resize(decimals);
    } else {
        f.fraction.append(decimals - f.fraction.size(), '0');
    }
    if (up) {
        std::string all = f.whole + f.fraction;
        size_t i = all.size();
        while (i > 0 && all[i - 1] == '9') all[--i] = '0';
        if (i == 0)
            all.insert(0, 1, '1');
        else
            ++all[i - 1];
        f.whole = all.substr(0, all.size() - decimals);
        f.fraction = all.substr(all.size() - decimals);
    }
    f.whole.erase(0, std::min(f.whole.find_first_not_of('0'), f.whole.size()));
    return f;
}

struct Token {
    enum Kind { Zero, Hash, Point, Comma, Literal } kind;
    std::string text;
    bool placeholder() const { return kind == Zero || kind == Hash; }
};

struct Pattern {
    std::vector<Token> tokens;
    size_t point = 0;  // index of the decimal point token, or tokens.size()
    bool percent = false;
    size_t decimals = 0;  // placeholders after the point
    // The text shows the rounded value and nothing else: digits, a 0 before the point, at
    // most a leading "$" and commas between thousands ("#0.00", "$##,##0.00").
    bool plainAmount = false;
};

bool IsPlainAmount(const Pattern& p) {
    if (p.percent) return false;
    long first = -1, last = -1;
    bool zero = false;
    for (size_t i = 0; i < p.point; ++i) {
        if (!p.tokens[i].placeholder()) continue;
        if (first < 0) first = static_cast<long>(i);
        last = static_cast<long>(i);
        zero = zero || p.tokens[i].kind == Token::Zero;
    }
    if (!zero) return false;
    for (size_t i = 0; i < p.tokens.size(); ++i) {
        const Token& t = p.tokens[i];
        const auto at = static_cast<long>(i);
        if (t.placeholder() || i == p.point) continue;
        if (t.kind == Token::Comma && at > first && at < last) continue;
        if (t.kind == Token::Literal && t.text == "$" && at < first) continue;
        return false;
    }
    return true;
}

Pattern ParsePattern(std::string_view text) {
    Pattern p;
    bool seenPoint = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ';') break;  // sections for negatives and zero are not used by this program
        if (c == '\\' && i + 1 < text.size()) {
            p.tokens.push_back({Token::Literal, std::string(1, text[++i])});
        } else if (c == '"') {
            const size_t end = text.find('"', i + 1);
            const size_t stop = end == std::string_view::npos ? text.size() : end;
            p.tokens.push_back({Token::Literal, std::string(text.substr(i + 1, stop - i - 1))});
            i = stop;
        } else if (c == '0') {
            p.tokens.push_back({Token::Zero, "0"});
        } else if (c == '#') {
            p.tokens.push_back({Token::Hash, "#"});
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            p.tokens.push_back({Token::Point, "."});
        } else if (c == ',') {
            p.tokens.push_back({Token::Comma, ","});
        } else {
            if (c == '%') p.percent = true;
            p.tokens.push_back({Token::Literal, std::string(1, c)});
        }
    }
    p.point = p.tokens.size();
    for (size_t i = 0; i < p.tokens.size(); ++i)
        if (p.tokens[i].kind == Token::Point) p.point = i;
    for (size_t i = p.point + 1; i < p.tokens.size(); ++i)
        if (p.tokens[i].placeholder()) ++p.decimals;
    p.plainAmount = IsPlainAmount(p);
    return p;
}

std::string Layout(const Pattern& p, const Fixed& f, bool negative) {
    const std::vector<Token>& t = p.tokens;
    // Integer places: the leftmost one takes every digit that does not fit; a comma between places
    // asks for grouping by thousands wherever the digits fall; places from the first 0 onwards are
    // always filled.
    long first = -1, last = -1, firstZero = -1;
    for (size_t i = 0; i < p.point; ++i) {
        if (!t[i].placeholder()) continue;
        if (first < 0) first = static_cast<long>(i);
        if (firstZero < 0 && t[i].kind == Token::Zero) firstZero = static_cast<long>(i);
        last = static_cast<long>(i);
    }
    auto isGroupComma = [&](size_t i) {
        return t[i].kind == Token::Comma && static_cast<long>(i) > first &&
               static_cast<long>(i) < last;
    };
    bool grouping = false;
    size_t minDigits = 0;
    for (size_t i = 0; i < p.point; ++i) {
        grouping = grouping || isGroupComma(i);
        if (firstZero >= 0 && static_cast<long>(i) >= firstZero && t[i].placeholder()) ++minDigits;
    }
    std::string digits = f.whole;
    if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');

    std::string reversed;
    size_t next = digits.size();
    int emitted = 0;
    auto emitDigit = [&] {
        if (grouping && emitted > 0 && emitted % 3 == 0) reversed.push_back(',');
        reversed.push_back(digits[--next]);
        ++emitted;
    };
    if (first < 0)  // no integer places: the digits stand just before the point
        while (next > 0) emitDigit();
    for (size_t i = p.point; i-- > 0;) {
        if (t[i].placeholder()) {
            if (static_cast<long>(i) == first)
                while (next > 0) emitDigit();
            else if (next > 0)
                emitDigit();
        } else if (!isGroupComma(i)) {
            reversed.append(t[i].text.rbegin(), t[i].text.rend());
        }
    }
    std::string out(reversed.rbegin(), reversed.rend());

    // Fraction places: a # place shows its digit only when a later digit is shown or it is not 0.
    long lastShown = -1;
    size_t k = 0;
    for (size_t i = p.point + 1; i < t.size(); ++i) {
        if (!t[i].placeholder()) continue;
        if (t[i].kind == Token::Zero || f.fraction[k] != '0') lastShown = static_cast<long>(k);
        ++k;
    }
    if (p.point < t.size()) out += '.';
    k = 0;
    for (size_t i = p.point + 1; i < t.size(); ++i) {
        if (t[i].placeholder()) {
            if (static_cast<long>(k) <= lastShown) out += f.fraction[k];
            ++k;
        } else {
            out += t[i].text;
        }
    }
    // A figure that rounds to nothing carries no sign; the sign goes before any prefix ("-$5.00").
    return negative && !f.zero() ? "-" + out : out;
}

// A rating formats thousands of amounts with a handful of patterns: each is parsed once.
const Pattern& CachedPattern(std::string_view text) {
    static std::map<std::string, Pattern, std::less<>> cache;
    auto it = cache.find(text);
    if (it == cache.end()) it = cache.emplace(std::string(text), ParsePattern(text)).first;
    return it->second;
}

std::string FormatDecimal(Decimal d, std::string_view patternText) {
    const Pattern& p = CachedPattern(patternText);
    if (p.percent && !d.zero()) d.exponent += 2;
    return Layout(p, ToFixed(d, p.decimals), d.negative);
}

// Plain decimal text for CStr and Str. E notation takes over where fixed text would show digits
// the value does not carry, or more than four zeros after the point.
std::string Plain(const Decimal& d, int significant, bool leadingZero) {
    if (d.zero()) return "0";
    std::string out = d.negative ? "-" : "";
    const std::string& s = d.digits;
    const int e = d.exponent;
    if (e >= significant || e < -4) {
        out += s[0];
        if (s.size() > 1) out += "." + s.substr(1);
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
        return out + exponent;
    }
    if (e >= 0) {
        const size_t whole = static_cast<size_t>(e) + 1;
        if (s.size() <= whole) return out + s + std::string(whole - s.size(), '0');
        return out + s.substr(0, whole) + "." + s.substr(whole);
    }
    return out + (leadingZero ? "0." : ".") + std::string(static_cast<size_t>(-e - 1), '0') + s;
}

// "&H" / "&O" integers: 16-bit when the value fits in 16 bits, else 32-bit, as the platform's
// literals are, so "&HFFFF" is -1 but "&H10000" is 65536.
double RadixValue(uint64_t value) {
    if (value <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(value));
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

int RadixDigit(char c, int base) {
    int v = 99;
    if (IsDigit(c))
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Reads "&H.."/"&O.." from text[0]; `end` receives where reading stopped.
std::optional<double> ReadRadix(std::string_view text, size_t& end) {
    end = 0;
    if (text.size() < 2 || text[0] != '&') return std::nullopt;
    const int base = (text[1] == 'h' || text[1] == 'H')   ? 16
                     : (text[1] == 'o' || text[1] == 'O') ? 8
                                                          : 0;
    if (base == 0) return std::nullopt;
    uint64_t value = 0;
    size_t i = 2;
    for (int v; i < text.size() && (v = RadixDigit(text[i], base)) >= 0; ++i) {
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(v);
        if (value > 0xFFFFFFFFu) throw NumberError(NumberError::kOverflow);
    }
    end = i;
    if (i == 2) return std::nullopt;
    return RadixValue(value);
}

double ToDouble(const std::string& clean) {
    // from_chars reads as strtod does, faster; what it leaves (a leading "+", a value beyond
    // the range) strtod reads as before.
    double v = 0;
    const auto read = std::from_chars(clean.data(), clean.data() + clean.size(), v);
    if (read.ec == std::errc() && read.ptr == clean.data() + clean.size()) return v;
    v = std::strtod(clean.c_str(), nullptr);
    if (!std::isfinite(v)) throw NumberError(NumberError::kOverflow);
    return v;
}

// The platform's implicit conversion; nullopt when the text is not a number.
std::optional<double> Coerce(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    if (text[0] == '&') {
        size_t end = 0;
        const auto v = ReadRadix(text, end);
        return v && end == text.size() ? v : std::nullopt;
    }
    size_t i = 0;
    std::string clean;
    bool dollar = false;
    for (int n = 0; n < 2 && i < text.size(); ++n) {
        if ((text[i] == '-' || text[i] == '+') && clean.empty()) {
            clean += text[i++];
        } else if (text[i] == '$' && !dollar) {
            dollar = true;
            ++i;
        }
    }
    size_t digits = 0;
    for (; i < text.size() && (IsDigit(text[i]) || (text[i] == ',' && digits > 0)); ++i)
        if (text[i] != ',') clean += text[i], ++digits;
    if (i < text.size() && text[i] == '.')
        for (clean += text[i++]; i < text.size() && IsDigit(text[i]); ++i)
            clean += text[i], ++digits;
    if (digits == 0) return std::nullopt;
    if (i < text.size() && std::string_view("eEdD").find(text[i]) != std::string_view::npos) {
        clean += 'e';
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) clean += text[i++];
        if (i == text.size() || !IsDigit(text[i])) return std::nullopt;
        while (i < text.size() && IsDigit(text[i])) clean += text[i++];
    }
    if (i != text.size()) return std::nullopt;
    return ToDouble(clean);
}

}  // namespace

NumberError::NumberError(int number) : std::runtime_error(MessageFor(number)), number_(number) {}

std::string Format(double value, std::string_view pattern) {
    if (pattern.empty()) return CStr(value);
    return FormatDecimal(ToDecimal(value, kDoubleDigits), pattern);
}

// A Single is widened before rounding, so its money is rounded once, from the value it holds:
// taking it to seven digits first would round twice (a Single holding 1625.06494 would become
// 1625.065 and then $1,625.07) and would drop the cents of amounts from $100,000 up.
std::string Format(float value, std::string_view pattern) {
    if (pattern.empty()) return CStr(value);
    return Format(static_cast<double>(value), pattern);
}

double Val(std::string_view text) {
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    size_t end = 0;
    if (!s.empty() && s[0] == '&') return ReadRadix(s, end).value_or(0.0);

    size_t i = 0, digits = 0;
    std::string clean;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) clean += s[i++];
    for (; i < s.size() && IsDigit(s[i]); ++i) clean += s[i], ++digits;
    if (i < s.size() && s[i] == '.')
        for (clean += s[i++]; i < s.size() && IsDigit(s[i]); ++i) clean += s[i], ++digits;
    if (digits == 0) return 0.0;
    if (i < s.size() && std::string_view("eEdD").find(s[i]) != std::string_view::npos) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '-' || s[j] == '+')) exponent += s[j++];
        if (j < s.size() && IsDigit(s[j])) {
            for (; j < s.size() && IsDigit(s[j]); ++j) exponent += s[j];
            clean += exponent;
        }
    }
    return ToDouble(clean);
}

bool IsNumeric(std::string_view text) {
    // Digits alone, as a ZIP code is, are a number: a batch test asks it several times a line.
    if (!text.empty() && text.size() <= 15 && std::all_of(text.begin(), text.end(), IsDigit))
        return true;
    try {
        return Coerce(text).has_value();
    } catch (const NumberError&) {
        return false;  // too large to convert, so not a number to the platform
    }
}

double CDbl(std::string_view text) {
    const auto v = Coerce(text);
    if (!v) throw NumberError(NumberError::kTypeMismatch);
    return *v;
}

std::optional<double> StoredNumber(std::string_view text) {
    // Longer than any figure the program stores: a run of hundreds of digits is no amount.
    constexpr size_t kLongest = 24;
    if (text.empty() || text.size() > kLongest) return std::nullopt;
    size_t points = 0, digits = 0;
    for (char c : text) {
        if (c == '.')
            ++points;
        else if (IsDigit(c))
            ++digits;
        else
            return std::nullopt;
    }
    if (points > 1 || digits == 0) return std::nullopt;
    return ToDouble(std::string(text));
}

Single CSng(double value) {
    if (!std::isnan(value) && std::fabs(value) > FLT_MAX) throw NumberError(NumberError::kOverflow);
    return static_cast<Single>(value);
}

Single CSng(std::string_view text) {
    return CSng(CDbl(text));
}

namespace {
// Halves go to the even neighbour; the test is exact because v - floor(v) is exact for doubles.
double RoundHalfEven(double value) {
    if (std::isnan(value)) throw NumberError(NumberError::kOverflow);
    double r = std::floor(value);
    const double diff = value - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    return r;
}
}  // namespace

int32_t CLng(double value) {
    const double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw NumberError(NumberError::kOverflow);
    return static_cast<int32_t>(r);
}

int16_t CInt(double value) {
    const double r = RoundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0)) throw NumberError(NumberError::kOverflow);
    return static_cast<int16_t>(r);
}

double Fix(double value) {
    return std::trunc(value);
}
double Int(double value) {
    return std::floor(value);
}

namespace {
// The rounding of a plain amount worked on the binary value, where that gives what the decimal
// text would: the value is well inside the digits a double carries, and not so near a half of
// the last place that its rounding to 15 digits, or the product's error, could tip it.
// nullopt leaves it to the text.
std::optional<double> RoundedWithoutText(double value, size_t decimals) {
    static constexpr double kScale[] = {1, 10, 100, 1000, 10000};
    if (decimals >= std::size(kScale) || !(std::fabs(value) < 1e9)) return std::nullopt;
    const double scaled = std::fabs(value) * kScale[decimals];
    const double whole = std::floor(scaled);
    const double part = scaled - whole;
    if (std::fabs(part - 0.5) <= scaled * 1e-13 + 1e-9) return std::nullopt;
    const double places = part > 0.5 ? whole + 1 : whole;
    if (places == 0) return 0.0;
    // Both are whole numbers a double holds exactly, so the quotient is the nearest double to
    // the decimal, as reading its text gives.
    const double rounded = places / kScale[decimals];
    return std::signbit(value) ? -rounded : rounded;
}
}  // namespace

Single RoundSingle(double value, std::string_view pattern) {
    // Every amount of a rating is rounded here. With a plain amount's pattern the figure the
    // text would show is read straight from the rounded digits, without laying the text out
    // and reading it back.
    const Pattern* p = pattern.empty() ? nullptr : &CachedPattern(pattern);
    if (!p || !p->plainAmount) return CSng(CDbl(Format(value, pattern)));
    if (const auto rounded = RoundedWithoutText(value, p->decimals)) return CSng(*rounded);
    const Decimal d = ToDecimal(value, kDoubleDigits);
    const Fixed f = ToFixed(d, p->decimals);
    std::string shown = d.negative && !f.zero() ? "-" : "";
    shown += f.whole.empty() ? "0" : f.whole;
    if (!f.fraction.empty()) shown += "." + f.fraction;
    return CSng(ToDouble(shown));
}

MoneyTotal ShownAmount(double amount) {
    return CDbl(Format(amount, "0.00"));
}

Single RoundSingle(float value, std::string_view pattern) {
    return RoundSingle(static_cast<double>(value), pattern);
}

Single Nudged(Single value, std::string_view pattern) {
    return RoundSingle(static_cast<double>(value) + 0.00001, pattern);
}

std::string CStr(double value) {
    return Plain(ToDecimal(value, kDoubleDigits), kDoubleDigits, true);
}
std::string CStr(float value) {
    return Plain(ToDecimal(value, kSingleDigits), kSingleDigits, true);
}

std::string Str(double value) {
    const std::string s = Plain(ToDecimal(value, kDoubleDigits), kDoubleDigits, false);
    return s[0] == '-' ? s : " " + s;
}

std::string Str(float value) {
    const std::string s = Plain(ToDecimal(value, kSingleDigits), kSingleDigits, false);
    return s[0] == '-' ? s : " " + s;
}
