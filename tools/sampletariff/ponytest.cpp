// The batch rate test's sample files: pony/RTQCtest.TXT, a few hundred lines of expected rates
// and transit days over the sample tariff (some deliberately wrong), and pony/TESTDATA.TXT, the
// comparison file the program must write from it, line for line.
//
// The expected rates are worked out here from the grid rows the generator writes, not by the
// program: the lanes are chosen where no lane factor applies (both ends close to their
// terminal, so no ZIP bump; no market push, District of Columbia, 498/499, New York City,
// Mississippi or Louisiana end), so a rate is the grid's cents x class / 100, to the cent.
#include <cstdio>
#include <set>

#include "sampletariff.h"

namespace sampletariff {

namespace {

const char* const kClasses[] = {"50",  "55",  "60",  "65",  "70",  "77.5", "85",  "92.5", "100",
                                "110", "125", "150", "175", "200", "250",  "300", "400",  "500"};
// Weights of breaks 5C to 25M, whose index is 2 to 9.
const int kWeights[] = {500, 1000, 2000, 5000, 10000, 15000, 20000, 25000};

constexpr size_t kLineLength = 236;

int Prefix(const UsZip& z) {
    return std::stoi(z.zip.substr(0, 3));
}

// Origins come from prefixes no market-push lane starts in.
bool PushFreeOrigin(const UsZip& z) {
    const int p = Prefix(z);
    return (p >= 150 && p <= 199) || (p >= 400 && p <= 497) || (p >= 500 && p <= 599) ||
           (p >= 630 && p <= 749) || (p >= 800 && p <= 899);
}

bool FactorFree(const UsZip& z) {
    const int p = Prefix(z);
    static const std::set<int> kDC = {200, 202, 203, 204, 205, 569};
    return z.milesToCenter <= 20 && !IsOffshoreState(z.state) && z.state != "MS" &&
           z.state != "LA" && z.state != "DC" && !kDC.count(p) && p != 498 && p != 499 &&
           !(p >= 100 && p <= 119);
}

void Place(std::string& line, size_t start, const std::string& text) {
    line.replace(start - 1, text.size(), text);
}

std::string RightAligned(size_t width, const std::string& text) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string LeftAligned(size_t width, const std::string& text) {
    return text.size() >= width ? text.substr(0, width)
                                : text + std::string(width - text.size(), ' ');
}

// Cents as the program writes a rate: no trailing zeros, no point for whole dollars.
std::string PlainDollars(int64_t cents) {
    std::string s = std::to_string(cents / 100);
    const int64_t rest = cents % 100;
    if (rest != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, ".%02d", static_cast<int>(rest));
        s += buf;
        if (s.back() == '0') s.pop_back();
    }
    return s;
}

std::string Dollars(int64_t cents) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%02lld", static_cast<long long>(cents / 100),
                  static_cast<long long>(cents % 100));
    return buf;
}

struct TestLine {
    std::string input;
    std::string expected;
};

struct Fields {
    std::string a, b, c, d, e, g, h;
    int weight = 0;
};

std::string InputLine(int n, const Fields& f, size_t cutAt = kLineLength) {
    std::string line(kLineLength, ' ');
    char shipper[48];
    std::snprintf(shipper, sizeof shipper, "NORVALE RATE CHECK %04d", n);
    Place(line, 1, shipper);
    Place(line, 44, RightAligned(7, std::to_string(f.weight)));
    Place(line, 60, "CONSIGNEE " + std::to_string(1000 + n));
    Place(line, 187, LeftAligned(6, f.a));
    Place(line, 193, LeftAligned(6, f.b));
    Place(line, 205, RightAligned(2, f.c));
    Place(line, 208, LeftAligned(5, f.d));
    Place(line, 213, LeftAligned(7, f.e));
    Place(line, 220, RightAligned(8, f.g));
    Place(line, 228, LeftAligned(9, f.h));
    line.resize(cutAt);
    // Trailing blanks are not kept by the carrier's files.
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

// A field as the program cuts it from a line: padded when fixed, empty past the end.
std::string CutField(const std::string& line, size_t start, size_t width, bool fixed) {
    std::string f = line.size() >= start ? line.substr(start - 1, width) : std::string();
    if (fixed && f.size() < width) f.append(width - f.size(), ' ');
    return f;
}

std::string Head(const std::string& line) {
    return CutField(line, 187, 6, true) + " " + CutField(line, 193, 6, true) + " " +
           CutField(line, 205, 2, true) + " " + CutField(line, 208, 5, true) + " " +
           CutField(line, 213, 7, false) + " " + CutField(line, 220, 8, true);
}

std::string Unrated(const std::string& line) {
    return Head(line) + " " + CutField(line, 228, 9, true);
}

std::string Rated(const std::string& line, int64_t cents, int days, bool x, bool y) {
    // The days number's trailing blank, then each flag after a blank of its own.
    return Head(line) + "  " + PlainDollars(cents) + "    " + std::to_string(days) + "  " +
           (x ? "X" : " ") + " " + (y ? "Y" : " ");
}

}  // namespace

void WritePonyTestFiles(const Geography& g, const std::string& appDir) {
    std::vector<const UsZip*> origins, dests;
    for (const auto& z : g.zips) {
        if (!FactorFree(z)) continue;
        dests.push_back(&z);
        if (PushFreeOrigin(z)) origins.push_back(&z);
    }
    std::vector<TestLine> lines;
    int n = 0;
    // Rated lines: every break and class in turn, every eleventh rate a cent off, every
    // thirteenth day count one off.
    for (int i = 0; i < 300; ++i) {
        const UsZip& o = *origins[(static_cast<size_t>(i) * 7919 + 3) % origins.size()];
        const UsZip& d = *dests[(static_cast<size_t>(i) * 104729 + 17) % dests.size()];
        const auto grid = LaneGridRow(g, o.key, d.key);
        if (!grid) continue;
        const int b = 2 + i % 8;
        std::string cls = kClasses[i % 18];
        const int64_t g100 = (*grid)[static_cast<size_t>(b)];
        auto tenths = [](const std::string& c) {
            return static_cast<int64_t>(std::stod(c) * 10 + 0.5);
        };
        // A rate half a cent from its neighbours depends on how the class share is held: such
        // lines take class 100, whose share is exact.
        if (const int64_t rest = g100 * tenths(cls) % 1000; rest >= 495 && rest <= 505) cls = "100";
        const int64_t cents = (g100 * tenths(cls) + 501) / 1000;
        const int days = TransitDays(g, o.center, d.center);
        const bool rateOff = i % 11 == 5, daysOff = i % 13 == 7;
        Fields f{o.zip,
                 d.zip,
                 std::to_string(daysOff ? days + 1 : days),
                 cls,
                 "R" + std::to_string(100000 + i),
                 Dollars(rateOff ? cents + 1 : cents),
                 "UNRATED",
                 kWeights[b - 2]};
        const std::string line = InputLine(++n, f);
        lines.push_back({line, Rated(line, cents, days, rateOff, daysOff)});
    }
    const UsZip& o = *origins.front();
    const UsZip& d = *dests.back();
    const auto grid = LaneGridRow(g, o.key, d.key);
    const int days = TransitDays(g, o.center, d.center);
    // A line written unrated: one that is not to be rated, or one that cannot be.
    auto add = [&](Fields f, size_t cutAt = kLineLength) {
        const std::string line = InputLine(++n, f, cutAt);
        lines.push_back({line, Unrated(line)});
    };
    const std::string c = std::to_string(days);
    // Weights that are no break: not rated.
    add({o.zip, d.zip, c, "100", "W750", "12.34", "NO BREAK", 750});
    add({o.zip, d.zip, c, "100", "W30000", "12.34", "NO BREAK", 30000});
    // Points the tariff does not know: they cannot be rated.
    add({"00000", d.zip, c, "100", "NOPOINT", "12.34", "UNKNOWN", 1000});
    add({o.zip, "ZZZ9Z9", c, "100", "NOPOINT", "12.34", "UNKNOWN", 1000});
    // A line that ends before its codes: every field blank, no point to rate.
    add({o.zip, d.zip, c, "100", "SHORT", "12.34", "SHORT", 1000}, 120);
    // A line that ends inside the reference: no expected rate, so the rate is flagged.
    {
        const std::string line =
            InputLine(++n, {o.zip, d.zip, c, "100", "CUT", "12.34", "CUT", 1000}, 214);
        const int64_t cents = ((*grid)[3] * 1000 + 501) / 1000;
        lines.push_back({line, Rated(line, cents, days, true, false)});
    }
    // Lines that cannot be rated either: a class that is none of the eighteen, days that are
    // no whole number.
    add({o.zip, d.zip, c, "99", "BADCLAS", "12.34", "BAD", 1000});
    add({o.zip, d.zip, "x", "100", "BADDAYS", "12.34", "BAD", 1000});

    // Every input line gives one output line.
    std::string input, expected;
    for (const TestLine& l : lines) {
        input += l.input + "\r\n";
        expected += l.expected + "\r\n";
    }
    WriteFileAtomically(appDir + "/pony/RTQCtest.TXT", input);
    WriteFileAtomically(appDir + "/pony/TESTDATA.TXT", expected);
}

}  // namespace sampletariff
