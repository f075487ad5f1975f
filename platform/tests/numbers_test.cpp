#include "numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

struct FormatCase {
    double value;
    const char* pattern;
    const char* expected;
};

void ExpectFormats(const std::vector<FormatCase>& cases) {
    for (const FormatCase& c : cases)
        EXPECT_EQ(Format(c.value, c.pattern), c.expected)
            << c.value << " with \"" << c.pattern << '"';
}

template <typename F>
int ErrorNumberOf(F&& f) {
    try {
        f();
    } catch (const NumberError& e) {
        return e.number();
    }
    return 0;
}

TEST(Format, TwoDecimalsRoundsHalvesAwayFromZero) {
    ExpectFormats({
        {0.125, "#0.00", "0.13"},
        {0.375, "#0.00", "0.38"},
        {-0.125, "#0.00", "-0.13"},
        {0.12499, "#0.00", "0.12"},
        {999.995, "#0.00", "1000.00"},
        {1234567.891, "#0.00", "1234567.89"},
        {0, "#0.00", "0.00"},
        {0, "0.00", "0.00"},
        {0.5, "#0.00", "0.50"},
        // 2.675 is stored just below the half; at 15 digits it is the half again.
        {2.675, "#0.00", "2.68"},
        {1.005, "#0.00", "1.01"},
        // A figure that rounds to nothing loses its sign.
        {-0.001, "#0.00", "0.00"},
        {-0.004, "$##,##0.00", "$0.00"},
    });
}

TEST(Format, SingleIsRoundedOnceFromTheValueItHolds) {
    // Each Single is rounded exactly as the Double of the same binary value: the nearest cent,
    // halves away from zero, with no detour through seven significant digits.
    struct Case {
        float value;
        const char* rounded;
    };
    const Case cases[] = {
        {0.285f, "0.28"},      // binary 0.28499999...
        {100.045f, "100.04"},  // binary 100.04499...
        {1.005f, "1.00"},     {2.675f, "2.67"}, {1.115f, "1.12"}, {0.0049999f, "0.00"},
        {-0.285f, "-0.28"},   {9.625f, "9.63"},  // an exact binary half goes away from zero
        {-9.625f, "-9.63"},   {0.125f, "0.13"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Format(c.value, "#0.00"), c.rounded) << c.value;
        EXPECT_EQ(Format(c.value, "#0.00"), Format(static_cast<double>(c.value), "#0.00"));
    }
}

TEST(Format, LargeSingleAmountsKeepTheirCents) {
    // 322,297.75 is exact in single precision; cut to seven digits it would lose its cents.
    EXPECT_EQ(Format(322297.75f, "$##,##0.00"), "$322,297.75");
    EXPECT_EQ(Format(-322297.75f, "$##,##0.00"), "-$322,297.75");
    EXPECT_EQ(Format(99999.99f, "$##,##0.00"), "$99,999.99");
    // A Single holding 1625.06494...: seven digits would make it 1625.065 and then 1,625.07.
    const float nearTie = 1625.06494f;
    ASSERT_LT(static_cast<double>(nearTie), 1625.065);
    EXPECT_EQ(Format(nearTie, "$##,##0.00"), "$1,625.06");
    EXPECT_EQ(RoundSingle(nearTie), 1625.06f);
    EXPECT_EQ(RoundSingle(322297.75f, "$##,##0.00"), 322297.75f);
}

TEST(Format, WholeAndFixedWidthPatterns) {
    ExpectFormats({
        {2.5, "#0", "3"},
        {3.5, "#0", "4"},
        {-2.5, "#0", "-3"},
        {0.5, "0", "1"},
        {0, "0", "0"},
        {0, "#", ""},
        {7, "#", "7"},
        {0, "000", "000"},
        {5, "000", "005"},
        {1234, "000", "1234"},
        {5, "00.0", "05.0"},
        {123.45, "00.0", "123.5"},
        {0, "00.0", "00.0"},
        {7.125, "00.00", "07.13"},
        {0, "00.00", "00.00"},
        {0.05, "0.0", "0.1"},
        {0, "#0.0", "0.0"},
        {9.95, "#0.0", "10.0"},
        {9.99999, "#0.0000", "10.0000"},
        {0.00005, "#0.0000", "0.0001"},
        {0.00004999, "#0.0000", "0.0000"},
        {12.3456789, "#0.0000", "12.3457"},
    });
    EXPECT_EQ(Format(12, "00"), "12");
    EXPECT_EQ(Format(3, "00"), "03");
}

TEST(Format, ThousandsSeparatorsAndPrefixes) {
    ExpectFormats({
        {1234.5, "$##,##0.00", "$1,234.50"},
        {0, "$##,##0.00", "$0.00"},
        {-5, "$##,##0.00", "-$5.00"},
        {1234567.891, "$##,##0.00", "$1,234,567.89"},
        {999.999, "$##,##0.00", "$1,000.00"},
        {-98765.432, "$##,##0.00", "-$98,765.43"},
        {12345.678, "##,##0.00", "12,345.68"},
        {0.4, "##,##0.00", "0.40"},
        {1234567, "#,##0", "1,234,567"},
        {999, "#,##0", "999"},
        {0, "#,##0", "0"},
        {11.5, "$0.00", "$11.50"},
        {87.5, "$0.00", "$87.50"},
        {1234.5, "$0.00", "$1234.50"},
    });
}

TEST(Format, LessCommonPatternParts) {
    ExpectFormats({
        {0, "#.##", "."},
        {5, "##.#", "5."},
        {1.05, "#.##", "1.05"},
        {1.5, "0.0#", "1.5"},
        {1.25, "0.0#", "1.25"},
        {12.5, ".00", "12.50"},
        {0.5, ".0", ".5"},
        {0.5, "0%", "50%"},
        {0.1234, "0.0%", "12.3%"},
        {3, "\"n=\"0", "n=3"},
        {4, "0\\x", "4x"},
        {5, "0;(0)", "5"},
    });
    // Without a pattern the plain text is given, unrounded.
    EXPECT_EQ(Format(0.125, ""), "0.125");
    EXPECT_EQ(Format(0.285f, ""), "0.285");
    EXPECT_EQ(ErrorNumberOf([] { Format(std::numeric_limits<double>::infinity(), "#0.00"); }), 6);
}

TEST(RoundSingle, ReadsTheFormattedTextBack) {
    EXPECT_EQ(RoundSingle(0.125), 0.13f);
    EXPECT_EQ(RoundSingle(1.005f), 1.0f);
    EXPECT_EQ(RoundSingle(static_cast<double>(1.005f)), 1.0f);
    EXPECT_EQ(RoundSingle(2.34565, "#0.0000"), 2.3457f);
    EXPECT_EQ(RoundSingle(-7.125), -7.13f);
    // Money text with a dollar sign and separators still reads back as its amount.
    EXPECT_EQ(RoundSingle(1234.567, "$##,##0.00"), 1234.57f);
    EXPECT_EQ(RoundSingle(-1234.567, "$##,##0.00"), -1234.57f);
    EXPECT_EQ(RoundSingle(7, "#0.00"), 7.0f);
}

// Amounts are rounded without laying their text out: the figure must be the one the text shows,
// for every pattern, halves, negatives, amounts that round to nothing and thousands included.
TEST(RoundSingle, GivesTheFigureTheFormattedTextShows) {
    const char* patterns[] = {"#0.00", "0.00", "#0.0000", "$##,##0.00",   "#,##0.000",
                              "0",     "#.##", "0.0%",    "#0.00 \"lbs\""};
    std::vector<double> values = {0.0,    0.005,  -0.005,  0.004999,  1.005,      2.675,     0.125,
                                  -7.125, 99.995, 999.995, 1234.5678, -1234.5678, 322297.75, 0.285};
    for (int i = 1; i < 4000; ++i) values.push_back(std::sin(i) * std::pow(10.0, i % 7) / 3.0);
    // Halves of the last place, and their neighbours, at every size up to where a double
    // carries no more cents: where the binary value and its decimal text round apart.
    for (int i = 1; i < 3000; ++i) {
        const double half = ((i * 7919) % 100000 + 0.5) / 100 * std::pow(10.0, i % 9 - 2);
        values.push_back(half);
        values.push_back(-half);
        values.push_back(std::nextafter(half, 0.0));
        values.push_back(std::nextafter(half, 1e300));
        values.push_back(half * 1.15 * 0.87);
    }
    for (double big : {123456789.125, 999999999.995, 1e9 + 0.005, 1e9 - 0.005, 4503599627370495.5})
        values.push_back(big);
    const auto check = [](auto v, const char* pattern) {
        const std::string text = Format(v, pattern);
        // "#.##" shows nothing at all for 0.004: such text is not read back, here or there.
        if (IsNumeric(text))
            EXPECT_EQ(RoundSingle(v, pattern), CSng(CDbl(text))) << v << " as " << pattern;
        else
            EXPECT_NE(ErrorNumberOf([&] { RoundSingle(v, pattern); }), 0) << text;
    };
    for (const char* pattern : patterns) {
        for (double v : values) {
            check(v, pattern);
            check(static_cast<float>(v), pattern);
        }
    }
}

TEST(RoundSingle, NudgeCarriesValuesJustBelowAHalf) {
    // 0.2849999 stays below the half even at 7 digits; the nudge, added in double precision,
    // lifts it over.
    EXPECT_EQ(RoundSingle(0.2849999f), 0.28f);
    EXPECT_EQ(Nudged(0.2849999f), 0.29f);
    EXPECT_EQ(Nudged(1.005f), 1.01f);
    EXPECT_EQ(Nudged(0.0049999f), 0.01f);
    EXPECT_EQ(Nudged(0.0049899f), 0.0f);
    EXPECT_EQ(Nudged(12.344f), 12.34f);
    EXPECT_EQ(RoundSingle(1.234449f, "#0.0000"), 1.2344f);
    EXPECT_EQ(Nudged(1.234449f, "#0.0000"), 1.2345f);
    // Below zero the nudge works against the rounding.
    EXPECT_EQ(Nudged(-0.125f), -0.12f);
}

// A total adds its amounts as they are shown: two surcharges a little under a half cent show
// rounded down, and so does their sum, which added unrounded would show a cent more.
TEST(ShownAmount, AddsUpToTheFiguresShown) {
    const Single under = 136.045f;  // held as 136.044998..., shown $136.04
    const Single over = 163.875f;   // held exactly, shown $163.88
    EXPECT_EQ(Format(under, "$0.00"), "$136.04");
    EXPECT_DOUBLE_EQ(ShownAmount(under), 136.04);
    EXPECT_DOUBLE_EQ(ShownAmount(over), 163.88);
    EXPECT_DOUBLE_EQ(ShownAmount(-0.005), -0.01);
    const MoneyTotal total = ShownAmount(1099.36f) + ShownAmount(over);
    EXPECT_EQ(Format(total, "$##,##0.00"), "$1,263.24");
    // At $66,981.41 a Single is 66,981.4140625 and its sum with a tax of $9,377.40 fell to
    // $76,358.80 in single precision; the figures as shown add up exactly.
    const Single quoteTotal = 66981.41f, tax = 9377.40f;
    EXPECT_EQ(Format(static_cast<Single>(quoteTotal + tax), "$##,##0.00"), "$76,358.80");
    EXPECT_EQ(Format(ShownAmount(quoteTotal) + ShownAmount(tax), "$##,##0.00"), "$76,358.81");
}

TEST(IntegerConversion, HalvesGoToTheEvenNeighbour) {
    const std::vector<std::pair<double, int>> cases = {
        {2.5, 2}, {3.5, 4},         {-2.5, -2},         {-3.5, -4},  {0.5, 0},
        {1.5, 2}, {-0.5, 0},        {2.4999, 2},        {2.5001, 3}, {-2.5001, -3},
        {7, 7},   {32766.5, 32766}, {-32768.5, -32768},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(CInt(value), expected) << value;
        EXPECT_EQ(CLng(value), expected) << value;
    }
    EXPECT_EQ(CLng(100000.5), 100000);
    EXPECT_EQ(CLng(2147483646.5), 2147483646);
    EXPECT_EQ(CLng(-2147483648.5), std::numeric_limits<int32_t>::min());
}

TEST(IntegerConversion, OutOfRangeIsOverflowSix) {
    EXPECT_EQ(ErrorNumberOf([] { CInt(32767.5); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { CInt(-32769); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { CLng(2147483647.5); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { CLng(-2147483649.0); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { CLng(std::nan("")); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { CLng(std::numeric_limits<double>::infinity()); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { CSng(1e39); }), 6);
    try {
        CInt(40000);
        FAIL() << "no overflow";
    } catch (const NumberError& e) {
        EXPECT_STREQ(e.what(), "Overflow");
    }
}

TEST(IntegerConversion, FixTruncatesAndIntFloors) {
    EXPECT_EQ(Fix(2.7), 2);
    EXPECT_EQ(Fix(-2.7), -2);
    EXPECT_EQ(Int(2.7), 2);
    EXPECT_EQ(Int(-2.7), -3);
    EXPECT_EQ(Int(-2.0), -2);
}

TEST(Val, ReadsTheLeadingNumber) {
    const std::vector<std::pair<const char*, double>> cases = {
        {"12abc", 12},      {".5", 0.5},     {"", 0},
        {"$5", 0},          {"1,000", 1},    {"  42", 42},
        {"\t7", 7},         {"1 000", 1000}, {"- 3.5", -3.5},
        {"+8", 8},          {"1.2.3", 1.2},  {"1e3", 1000},
        {"2.5D2", 250},     {"1E-2x", 0.01}, {"3e", 3},
        {"3e+", 3},         {"abc", 0},      {"--5", 0},
        {"-", 0},           {"&H1F", 31},    {"&h10", 16},
        {"&O17", 15},       {"&HFFFF", -1},  {"&H10000", 65536},
        {"&HFFFFFFFF", -1}, {"&HZ", 0},      {"12.50 lbs", 12.5},
        {"0.0001", 0.0001},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Val(text), expected) << '"' << text << '"';
    EXPECT_EQ(ErrorNumberOf([] { Val("1e400"); }), 6);
}

TEST(IsNumeric, AcceptsWholeNumbersOnly) {
    for (const char* text : {"0", "55401", "000000000000000", "1234567890123456789", "-3.5", "1,000.50", "1e3", "1E-3", "  12  ", "+7", ".5", "5.",
                             "$5", "-$5.00", "$-5", "$1,234.50", "&H1F", "2D3"})
        EXPECT_TRUE(IsNumeric(text)) << '"' << text << '"';
    for (const char* text : {"", "   ", ".", "1.2.3", "12abc", "abc", "-", "$", "1e", "1e+",
                             "1 000", ",5", "&H", "&HG", "5-", "1e400"})
        EXPECT_FALSE(IsNumeric(text)) << '"' << text << '"';
}

TEST(IsNumeric, ImplicitConversionMatchesIt) {
    EXPECT_EQ(CDbl("$1,234.50"), 1234.5);
    EXPECT_EQ(CDbl(" -12.25 "), -12.25);
    EXPECT_EQ(CSng("0.29"), 0.29f);
    EXPECT_EQ(ErrorNumberOf([] { CDbl("12abc"); }), 13);
    EXPECT_EQ(ErrorNumberOf([] { CDbl(""); }), 13);
    EXPECT_EQ(ErrorNumberOf([] { CSng("1e39"); }), 6);
}

// A stored figure is read only in the form the program writes it; Val and CDbl, which read
// every one of the others, stay as they are for the rating.
TEST(StoredNumber, ReadsOnlyDigitsWithAtMostOnePoint) {
    const std::vector<std::pair<const char*, double>> written = {
        {"07.5", 7.5}, {"7.5", 7.5},       {"00.0", 0},      {"12", 12},  {".5", 0.5},
        {"5.", 5},     {"1.3125", 1.3125}, {"99.99", 99.99}, {"0001", 1},
    };
    for (const auto& [text, expected] : written) {
        ASSERT_TRUE(StoredNumber(text).has_value()) << '"' << text << '"';
        EXPECT_EQ(*StoredNumber(text), expected) << '"' << text << '"';
    }
    for (const char* damaged : {"7,5",   "&H10", "&O17",  "1e1",   "1d1",
                                "-5",    "+5",   "1e308", "",      ".",
                                " 7.5",  "7.5 ", "5.5.5", "abc",   "$5",
                                "1 000", "7.5%", "\t7",   "12abc", "1000000000000000000000000000"})
        EXPECT_FALSE(StoredNumber(damaged).has_value()) << '"' << damaged << '"';
    // The lenient readers still take what the rating relies on.
    EXPECT_EQ(CDbl("7,5"), 75);
    EXPECT_EQ(Val("&H10"), 16);
}

TEST(CStr, ShortestTextAtTheTypesPrecision) {
    const std::vector<std::pair<double, const char*>> doubles = {
        {100, "100"},
        {0.5, "0.5"},
        {-0.5, "-0.5"},
        {12.5, "12.5"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {0, "0"},
        {123456789012345, "123456789012345"},
        {1e15, "1E+15"},
        {1e16, "1E+16"},
        {-2.5e20, "-2.5E+20"},
        {1.5e-7, "1.5E-07"},
        {0.0001, "0.0001"},
        {0.00001, "1E-05"},
    };
    for (const auto& [value, expected] : doubles) EXPECT_EQ(CStr(value), expected) << value;
    EXPECT_EQ(CStr(0.1f), "0.1");
    EXPECT_EQ(CStr(1.0f / 3), "0.3333333");
    EXPECT_EQ(CStr(1234567.0f), "1234567");
    EXPECT_EQ(CStr(1e7f), "1E+07");
    EXPECT_EQ(CStr(2500), "2500");
}

TEST(CStr, StrReservesTheSignPlace) {
    EXPECT_EQ(Str(459), " 459");
    EXPECT_EQ(Str(-459.65), "-459.65");
    EXPECT_EQ(Str(0.5), " .5");
    EXPECT_EQ(Str(-0.5), "-.5");
    EXPECT_EQ(Str(0), " 0");
    EXPECT_EQ(Str(12.5f), " 12.5");
}

}  // namespace
