#pragma once

// The number habits every quote depends on: single-precision amounts, rounding by formatting a
// value as text and reading the text back, lenient text-to-number reading, and integer conversion
// that rounds halves to even. Quotes are only right to the cent if all of these behave exactly as
// the program that first produced the carrier's figures did, so nothing here may use the C++
// library's own rounding or parsing conventions unchecked.

#include <concepts>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// Amounts and rates are held in single precision wherever the rating rules say so.
using Single = float;

// A sum of money, added in double precision and rounded once, when it is formatted: a Single
// holds a value to no better than 1/128 of a dollar from $65,536 up, so a sum kept in one lands
// up to a cent away from the sum of its amounts.
using MoneyTotal = double;

// A run-time error of the number conversions, carrying the platform's error number so that a
// window's handler can test it: 6 "Overflow", 13 "Type mismatch".
class NumberError : public std::runtime_error {
  public:
    static constexpr int kOverflow = 6;
    static constexpr int kTypeMismatch = 13;

    explicit NumberError(int number);
    int number() const noexcept { return number_; }

  private:
    int number_;
};

// Formats with a pattern of `0` and `#` digit places, one `.`, `,` for thousands grouping between
// integer places, `%` (scales by 100), literals (`\x` and "quoted" text too). Only the first
// `;`-section is used. The value is first taken to 15 significant digits (a Single is widened to a
// Double first, never cut to 7 digits) and that decimal text is rounded half away from zero to the
// pattern's decimals. An empty pattern gives
// CStr's text. Throws NumberError(6) for infinities and NaN.
std::string Format(double value, std::string_view pattern);
std::string Format(float value, std::string_view pattern);
template <std::integral T>
std::string Format(T value, std::string_view pattern) {
    return Format(static_cast<double>(value), pattern);
}

// Reads the number at the start of a text the way the platform's Val does: blanks, tabs and line
// feeds are ignored everywhere, reading stops at the first character that cannot continue the
// number, and a text without a number gives 0. "&H" and "&O" introduce hexadecimal and octal
// integers (16-bit when they fit in four hex digits' worth, else 32-bit, so "&HFFFF" is -1).
double Val(std::string_view text);

// True when the whole text, blanks trimmed, converts to a number: sign, "$", digits with thousands
// commas, decimals and exponent, or an "&H"/"&O" integer.
bool IsNumeric(std::string_view text);

// The platform's implicit text-to-number conversion, which accepts exactly what IsNumeric accepts
// ("$1,234.50" is 1234.5, unlike with Val). NumberError(13) when the text is not a number, 6 when
// it is out of range.
double CDbl(std::string_view text);

// A number in the form the program itself stores one: digits with at most one point, and at least
// one digit ("07.5", "7.5", ".5", "12"). Nothing else reads as a number here: no blank, sign,
// thousands comma, exponent, "$" or "&H", all of which Val and CDbl take ("7,5" is 75 to CDbl,
// "1d1" is 10), so that a stored value the program never wrote is named rather than priced.
std::optional<double> StoredNumber(std::string_view text);
Single CSng(std::string_view text);
// Narrowing to single precision; NumberError(6) beyond the Single range.
Single CSng(double value);

// Round half to even on the exact binary value; NumberError(6) outside the type's range.
int32_t CLng(double value);
int16_t CInt(double value);
double Fix(double value);  // toward zero
double Int(double value);  // toward minus infinity

// The "format then read back" step every money figure goes through.
Single RoundSingle(double value, std::string_view pattern = "#0.00");
Single RoundSingle(float value, std::string_view pattern = "#0.00");
template <std::integral T>
Single RoundSingle(T value, std::string_view pattern = "#0.00") {
    return RoundSingle(static_cast<double>(value), pattern);
}

// An amount as a money format ("#0.00", "$##,##0.00") shows it, in whole cents. A total that a
// quote shows under its amounts adds these, so that it is the sum of the figures above it: a
// surcharge is kept unrounded, and two of them just below a half cent would otherwise take the
// total a cent above what the lines add up to.
MoneyTotal ShownAmount(double amount);

// The nudged rounding: value + 0.00001, then RoundSingle. The sum of a Single and that literal is
// a Double on the platform, so the sum is formatted with 15 significant digits, not 7.
Single Nudged(Single value, std::string_view pattern = "#0.00");

// Number to text: up to 15 (Double) or 7 (Single) significant digits, no trailing zeros, whole
// numbers without a point, E notation ("1E+16", "1.5E-07") beyond the digits' reach.
std::string CStr(double value);
std::string CStr(float value);
template <std::integral T>
std::string CStr(T value) {
    return CStr(static_cast<double>(value));
}

// The older conversion: like CStr but a leading blank stands for the sign of a number that is not
// negative and there is no zero before the point (" 12.5", " .5", "-.5").
std::string Str(double value);
std::string Str(float value);
template <std::integral T>
std::string Str(T value) {
    return Str(static_cast<double>(value));
}
