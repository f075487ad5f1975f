#pragma once
// What a typed quantity of a commodity line must look like before anything reads it as a
// number. The lenient reading every amount goes through takes "1,000" as 1, "4.5.6" as 4.5 and
// "&H10" as 16, so a text that is not a plain number would be rated as some other shipment than
// the one the quote then shows.

#include <string>

// The densest freight there is (lead, about 710 lbs per cubic foot) stays below this.
inline constexpr double kMaxDensityPcf = 1000;
// Several times what the largest ocean container or trailer holds (about 4,000 cubic feet).
inline constexpr double kMaxOceanCubeFeet = 20000;

// Digits with at most one decimal point and at least one digit; blanks around them allowed.
bool IsPlainDecimal(const std::string& text);

// What the refusal of a typed quantity says: empty when the text is a plain number above zero
// and at most the ceiling, else what is wrong and what is allowed. `subject` names the quantity
// ("The weight on line  2"), `what` is how it is typed ("the weight in pounds"), `unit` follows
// a number ("lbs per cubic foot").
std::string QuantityRefusal(const std::string& subject, const std::string& what,
                            const std::string& unit, const std::string& text, double ceiling);

// True when the text reads leniently as no weight above 0 ("", "abc", "0", "-5"); a number too
// large to read is a weight, refused by WeightRefusal rather than taken for none.
bool ReadsAsNoWeight(const std::string& text);

// The refusals of the three quantities a commodity line may carry; lines count from 1.
std::string WeightRefusal(int line, const std::string& text);
std::string DensityRefusal(int line, const std::string& text);
std::string OceanCubeRefusal(const std::string& text);
