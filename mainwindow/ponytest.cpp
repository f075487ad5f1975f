#include "ponytest.h"

#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <string_view>
#include <type_traits>

#include "binaryfile.h"
#include "charges.h"
#include "database.h"
#include "geography.h"
#include "lanes.h"
#include "linesclasses.h"
#include "rategrid.h"
#include "ratingstate.h"
#include "savefile.h"
#include "settings.h"
#include "tariffdb.h"

PonyState pony;

namespace {

constexpr double kNudge = 0.00001;

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Characters as UTF-8. They come from decoded text, so each is a valid one.
void AppendUtf8(std::string& to, std::u32string_view chars) {
    for (const char32_t c : chars) {
        if (c < 0x80) {
            to += static_cast<char>(c);
        } else if (c < 0x800) {
            to += static_cast<char>(0xC0 | (c >> 6));
            to += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            to += static_cast<char>(0xE0 | (c >> 12));
            to += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            to += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            to += static_cast<char>(0xF0 | (c >> 18));
            to += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            to += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            to += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

// Eight bytes at a time: a batch test asks it of the whole file and again of every line.
bool IsAscii(std::string_view text) {
    uint64_t high = 0;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        high |= word;
    }
    for (; i < text.size(); ++i) high |= static_cast<unsigned char>(text[i]);
    return (high & 0x8080808080808080ull) == 0;
}

// A field cut out by 1-based character start and width; past the end of the line it is empty.
// A fixed field is padded with blanks to its width. A line of plain ASCII, as the carrier's
// lines are, is cut in its bytes; any other in its characters.
template <typename Char>
std::string Cut(std::basic_string_view<Char> line, size_t start, size_t width, bool fixed) {
    const std::basic_string_view<Char> f =
        line.size() >= start ? line.substr(start - 1, width) : std::basic_string_view<Char>();
    std::string field;
    field.reserve(width);
    if constexpr (std::is_same_v<Char, char>)
        field.append(f);
    else
        AppendUtf8(field, f);
    if (fixed && f.size() < width) field.append(width - f.size(), ' ');
    return field;
}

// The characters 0x80 to 0x9F of Windows-1252; the five bytes it leaves undefined stand for
// themselves, so that every byte reads as one character and writes back as itself.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// How a test file is written: the carrier's files are Windows-1252 text, one byte a character;
// a file saved as UTF-8 (valid throughout) is read as such. The result file keeps the input's.
enum class TestFileEncoding { Windows1252, Utf8 };

// Whether bytes fed in pieces, cut anywhere, are UTF-8 throughout: no stray or missing
// continuation byte, no overlong form, surrogate or code point above U+10FFFF.
class Utf8Check {
  public:
    void Feed(std::string_view bytes) {
        size_t i = 0;
        while (ok_ && i < bytes.size()) {
            if (need_ == 0 && i + 8 <= bytes.size() && IsAscii(bytes.substr(i, 8))) {
                i += 8;
                continue;
            }
            const auto b = static_cast<unsigned char>(bytes[i++]);
            if (need_ > 0) {
                ok_ = b >= lo_ && b <= hi_;
                lo_ = 0x80;
                hi_ = 0xBF;
                --need_;
            } else if (b >= 0x80) {
                Lead(b);
            }
        }
    }
    bool Valid() const { return ok_ && need_ == 0; }

  private:
    // The bytes that follow a lead byte, and the range of the first of them.
    void Lead(unsigned char b) {
        lo_ = 0x80;
        hi_ = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            need_ = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need_ = 2;
            if (b == 0xE0) lo_ = 0xA0;
            if (b == 0xED) hi_ = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need_ = 3;
            if (b == 0xF0) lo_ = 0x90;
            if (b == 0xF4) hi_ = 0x8F;
        } else {
            ok_ = false;
        }
    }
    int need_ = 0;
    unsigned char lo_ = 0x80, hi_ = 0xBF;
    bool ok_ = true;
};

constexpr size_t kReadBlock = size_t{1} << 16;
// The fields lie in a line's first 236 characters, four bytes at most each in UTF-8.
constexpr size_t kKeptLineBytes = 4096;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The encoding of a test file and its size, read through one block; nothing when it cannot
// be read to its end.
std::optional<TestFileEncoding> EncodingOfFile(const std::string& path, int64_t& size) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<char> block(kReadBlock);
    Utf8Check utf8;
    size = 0;
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto got = static_cast<size_t>(in.gcount());
        size += static_cast<int64_t>(got);
        utf8.Feed(std::string_view(block.data(), got));
    }
    if (in.bad()) return std::nullopt;
    return utf8.Valid() ? TestFileEncoding::Utf8 : TestFileEncoding::Windows1252;
}

// A line of a Windows-1252 file as UTF-8.
std::string FromWindows1252(const std::string& bytes) {
    if (IsAscii(bytes)) return bytes;
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 2);
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        const char32_t c = b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : char32_t{b};
        AppendUtf8(text, std::u32string_view(&c, 1));
    }
    return text;
}

std::string EncodeTestFile(const std::string& utf8Text, TestFileEncoding encoding) {
    if (encoding == TestFileEncoding::Utf8 || IsAscii(utf8Text)) return utf8Text;
    std::string bytes;
    for (const QChar ch : QString::fromStdString(utf8Text)) {
        const char16_t u = ch.unicode();
        char byte = '?';  // only a computed text could hold a character the file cannot
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = static_cast<char>(u);
        } else {
            for (size_t i = 0; i < 32; ++i)
                if (kWindows1252High[i] == u) byte = static_cast<char>(0x80 + i);
        }
        bytes += byte;
    }
    return bytes;
}

// Reads a test file a line at a time through one block, whichever of CR LF, LF or CR ends
// its lines (in UTF-8 neither byte is ever part of another character). Of a line longer than
// any the carrier writes only the first kKeptLineBytes bytes are kept, so that no file, however
// made, fills the memory.
class TestFileReader {
  public:
    explicit TestFileReader(const std::string& path)
        : in_(path, std::ios::binary), block_(kReadBlock) {}
    bool Opened() const { return in_.is_open(); }
    // True when a read failed before the end of the file.
    bool Failed() const { return failed_; }
    int64_t BytesRead() const { return bytesRead_; }

    // The next line without its end; false after the last.
    bool Next(std::string& line) {
        line.clear();
        bool any = false;
        for (;;) {
            if (at_ == end_ && !Fill()) return any;
            if (afterCR_) {
                afterCR_ = false;
                if (block_[at_] == '\n') {
                    ++at_;
                    continue;
                }
            }
            any = true;
            const char* from = block_.data() + at_;
            const char* to = block_.data() + end_;
            const char* stop =
                std::find_if(from, to, [](char c) { return c == '\r' || c == '\n'; });
            const size_t room = kKeptLineBytes - std::min(line.size(), kKeptLineBytes);
            line.append(from, std::min(static_cast<size_t>(stop - from), room));
            at_ = static_cast<size_t>(stop - block_.data());
            if (stop != to) {
                afterCR_ = *stop == '\r';
                ++at_;
                return true;
            }
        }
    }

  private:
    bool Fill() {
        if (!in_) return false;
        in_.read(block_.data(), static_cast<std::streamsize>(block_.size()));
        if (in_.bad()) {
            failed_ = true;
            return false;
        }
        at_ = 0;
        end_ = static_cast<size_t>(in_.gcount());
        bytesRead_ += static_cast<int64_t>(end_);
        return end_ > 0;
    }
    std::ifstream in_;
    std::vector<char> block_;
    size_t at_ = 0, end_ = 0;
    int64_t bytesRead_ = 0;
    bool afterCR_ = false, failed_ = false;
};

// How often a long run tells its progress.
constexpr int64_t kProgressEvery = 256;

int BreakOfWeight(const std::string& weight) {
    const double w = Val(weight);
    const std::pair<double, int> breaks[] = {{500, 2},   {1000, 3},  {2000, 4},  {5000, 5},
                                             {10000, 6}, {15000, 7}, {20000, 8}, {25000, 9}};
    for (const auto& [pounds, index] : breaks)
        if (w == pounds) return index;
    return 0;
}

// A number as the file writes it: a blank for the sign, the plain decimal form, a blank.
std::string Number(Single v) {
    return Str(v) + " ";
}
std::string Number(int v) {
    return Str(v) + " ";
}

// Verifies one end of a test line the way the carrier's test reads its codes: five digits as a
// US ZIP, else the whole field as a postal code. The codes the lane factors read are set too.
bool VerifyTestEnd(const std::string& code, bool dest) {
    const std::string first5 = code.substr(0, 5);
    std::string& zip = dest ? tariff.gDestZip : tariff.gOrigZip;
    // The look-up sets the end's lane subscript too: of the ZIP's first three digits, or of
    // the postal code's base zone.
    if (IsNumeric(first5)) {
        if (!LookupCityState(first5, dest ? 1 : 0)) return false;
        zip = first5;
        return true;
    }
    if (!LookupCityState(code, dest ? 1 : 0)) return false;
    // A Canadian end must not leave the previous line's code for the factors to read.
    zip = Trim(code);
    return true;
}

// The days of a test line: a whole number from 0 to 255 (blank is 0); -1 for anything else.
int DaysOf(const std::string& field) {
    const std::string t = Trim(field);
    if (t.empty()) return 0;
    for (char ch : t)
        if (ch < '0' || ch > '9') return -1;
    const int days = std::stoi(t);
    return days <= 255 ? days : -1;
}

// A batch run's destination code: a US ZIP takes part when its prefix has a lane subscript
// and the ZIP verifies; a Canadian code by its base zone.
bool PlaceBatchDestination(const std::string& code) {
    if (ReadsAsNumber(code)) return ZipSubscript(code.substr(0, 3)) > 0 && LookupCityState(code, 1);
    tariff.gDestZip3 = CanadaBaseZone(code);
    tariff.gDestSubscript = ZipSubscript(tariff.gDestZip3);
    tariff.gDestState = CanadaPonyProv(tariff.gDestZip3);
    return true;
}

int32_t LaneOfEnds() {
    return static_cast<int32_t>(
        std::stol(GetLaneCode(GridCellNumber(tariff.gOrigSubscript, tariff.gDestSubscript))));
}

}  // namespace

std::string CanadaPonyProv(const std::string& strF) {
    if (strF.empty()) return {};
    switch (strF[0]) {
        case 'B':
            return "NS";
        case 'C':
            return "PE";
        case 'E':
            return "NB";
        case 'G':
        case 'H':
        case 'J':
            return "QC";
        case 'K':
        case 'L':
        case 'M':
        case 'N':
        case 'P':
            return "ON";
        case 'R':
            return "MB";
        case 'S':
            return "SK";
        case 'T':
            return "AB";
        default:
            return {};
    }
}

void PonyAdjustRate(const std::string& cls, int brk) {
    // LoadRateGrid has just worked the three factors out for these ends.
    pony.gPonyRate = FactoredClassRate(rating.gGridRow[static_cast<size_t>(brk)],
                                       static_cast<Single>(Val(cls) / 100), rating.gLanePush,
                                       rating.gOrigFactor, rating.gDestFactor);
}

PonyRow PonyResultRow(const std::string& cls, const std::string& discount) {
    PonyRow row{tariff.gOrigZip, tariff.gDestZip, cls, {}};
    const double c = Val(cls);
    const double net = 1 - Val(discount) / 100;
    for (size_t b = 0; b <= 10; ++b) {
        // The factors work on the cents, each step to the cent.
        Single r =
            RoundSingle(static_cast<double>(rating.gGridRow[b]) * rating.gOrigFactor + kNudge);
        r = RoundSingle(static_cast<double>(r) * rating.gDestFactor + kNudge);
        if (b == 0)
            r = static_cast<Single>(static_cast<double>(r) / 100);
        else
            r = RoundSingle(static_cast<double>(r) / 100 * (c / 100) + kNudge);
        row.rates[b] = RoundSingle(net * r + kNudge);
    }
    return row;
}

std::string PonyFolder() {
    std::string folder = Trim(GetConfigValue("PONY_folder", ""));
    if (folder.empty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString() +
                 "/Fretlyn";
    QDir().mkpath(QString::fromStdString(folder));
    return WithTrailingSeparator(folder);
}

PonyBatchResult RunPonyBatch(const std::string& cls, const std::string& discount, bool keepExisting,
                             const PonyProgress& progress) {
    PonyBatchResult result;
    if (tariff.gOrigCountry == 99 || !tariff.gDB) return result;
    Database& db = *tariff.gDB;
    const ReadTransaction reads(db);
    // The codes first, so that the look-ups below move no walk under way.
    std::vector<std::string> codes;
    for (Snapshot s = db.OpenSnapshot("SELECT zip FROM Fullzip ORDER BY zip"); !s.AtEOF();
         s.MoveNext())
        codes.push_back(s.Field(size_t{0}).str());

    InTransaction(db, [&] {
        if (!keepExisting) db.Execute("DELETE FROM ponyout");
        Statement& insert = db.Prepared(
            "INSERT INTO ponyout (ORIGIN, DEST, Class, minchg, L5C, r5c, r1m, r2m, r5m, r10m, "
            "r15m, r20m, r25m, r30m) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        result.started = true;
        int64_t done = 0;
        for (const std::string& code : codes) {
            if (progress && ++done % kProgressEvery == 0)
                progress(done, static_cast<double>(done) / static_cast<double>(codes.size()));
            tariff.gDestZip = code;
            try {
                if (!PlaceBatchDestination(code)) {
                    ++result.skipped;
                    continue;
                }
            } catch (const TariffDataError&) {
                // A code the tariff cannot place gets no row; the run goes on.
                ++result.skipped;
                continue;
            }
            try {
                rating.gLaneCode = LaneOfEnds();
                if (IsNoServiceLane(rating.gLaneCode)) {
                    ++result.skipped;
                    continue;
                }
                LoadRateGrid(rating.gLaneCode);
            } catch (const TariffDataError& e) {
                // A damaged lane file or rate grid: no row, the run goes on, and the first one
                // is told when it ends.
                if (result.tariffError.empty()) result.tariffError = e.what();
                ++result.skipped;
                continue;
            }
            const PonyRow row = PonyResultRow(cls, discount);
            insert.reset();
            insert.bind(1, Value(row.origin));
            insert.bind(2, Value(row.dest));
            insert.bind(3, Value(row.cls));
            for (int b = 0; b <= 10; ++b)
                insert.bind(4 + b, Value(row.rates[static_cast<size_t>(b)]));
            insert.step();
            insert.reset();
            ++result.rows;
        }
    });
    db.touch();
    return result;
}

PonyLine PonyTestLine(const std::string& input, bool flRates, const BinaryFile* svc) {
    const bool ascii = IsAscii(input);
    const std::u32string wide = ascii ? U"" : QString::fromStdString(input).toStdU32String();
    const auto cut = [&](size_t start, size_t width, bool fixed) {
        return ascii ? Cut(std::string_view(input), start, width, fixed)
                     : Cut(std::u32string_view(wide), start, width, fixed);
    };
    const std::string a = cut(187, 6, true), b = cut(193, 6, true), c = cut(205, 2, true),
                      d = cut(208, 5, true), e = cut(213, 7, false), f = cut(44, 7, false),
                      g = cut(220, 8, true), h = cut(228, 9, true);
    const std::string head = a + " " + b + " " + c + " " + d + " " + e + " " + g;
    PonyLine out;
    out.text = head + " " + h;
    // Answered No, every line is copied unrated.
    if (!flRates) return out;
    try {
        const bool origin = VerifyTestEnd(a, false);
        const bool dest = VerifyTestEnd(b, true);
        if (!origin || !dest) {
            out.unratable = true;
            return out;
        }
        // A weight that is no break and a lane without service are not rated, and are no fault.
        const int brk = BreakOfWeight(f);
        if (brk == 0) return out;
        rating.gLaneCode = LaneOfEnds();
        if (IsNoServiceLane(rating.gLaneCode)) return out;
        const int expectedDays = DaysOf(c);
        if (!IsNMFCClass(Trim(d)) || expectedDays < 0) {
            out.unratable = true;
            return out;
        }
        LoadRateGrid(rating.gLaneCode);
        PonyAdjustRate(Trim(d), brk);
        const int days = svc ? GetServiceDays(a.substr(0, 5), b.substr(0, 5), *svc)
                             : GetServiceDays(a.substr(0, 5), b.substr(0, 5));
        const bool rateDiffers = static_cast<Single>(Val(g)) != pony.gPonyRate;
        out.text = head + " " + Number(pony.gPonyRate) + "  " + Number(days) + " " +
                   (rateDiffers ? "X" : " ") + " " + (expectedDays != days ? "Y" : " ");
        out.rated = true;
    } catch (const DbError&) {
        // The database refused (another program holds it): no line can be checked.
        throw;
    } catch (const TariffDataError& e) {
        // A damaged data file: the line cannot be checked, and the caller says why.
        out.unratable = true;
        out.tariffError = e.what();
    } catch (const std::exception&) {
        // A point or lane the tariff lacks: the line cannot be checked.
        out.unratable = true;
    }
    return out;
}

PonyFileResult RunPonyFileTest(const std::string& inputPath, const std::string& outputPath,
                               bool flRates, const PonyProgress& progress) {
    PonyFileResult result;
    // The encoding must be known before the first line is cut: a file is UTF-8 only when it is
    // throughout, so its bytes are read once before its lines.
    int64_t size = 0;
    const std::optional<TestFileEncoding> encoding = EncodingOfFile(inputPath, size);
    TestFileReader in(inputPath);
    if (!encoding || !in.Opened()) {
        result.error = "The test file " + inputPath + " is missing or cannot be read.";
        return result;
    }
    // The transit-day file stays open for the run rather than being opened for every line.
    BinaryFile svc;
    try {
        svc.Open(AppFolder() + "data/svc.dat");
    } catch (const std::exception& e) {
        result.error = e.what();
        return result;
    }
    // Every line's look-ups share one lock of the database.
    const ReadTransaction reads(tariff.gDB.get());
    // Every line reads a byte of each lane file and of the transit-day file, and a row of a
    // rate grid.
    const BinaryFile::KeepBlocks keptGrid(tariff.laneGrid), keptLines(tariff.laneLines),
        keptMap(tariff.laneMap), keptSvc(svc);
    const KeepRateGridBlocks keptRateGrids;
    try {
        // The result takes the previous one's place only once every line is written: a run
        // that stops on a database error, or on a read that fails, leaves it as it was.
        SaveFileStream out(outputPath);
        std::string line;
        while (in.Next(line)) {
            if (result.lines == 0 && *encoding == TestFileEncoding::Utf8 &&
                std::string_view(line).substr(0, 3) == kUtf8Bom)
                line.erase(0, kUtf8Bom.size());
            const PonyLine done = PonyTestLine(
                *encoding == TestFileEncoding::Utf8 ? line : FromWindows1252(line), flRates, &svc);
            ++result.lines;
            result.rated += done.rated;
            if (done.unratable) {
                ++result.unratable;
                if (result.firstUnratable.size() < kPonyUnratableListed)
                    result.firstUnratable.push_back(result.lines);
            }
            if (result.tariffError.empty()) result.tariffError = done.tariffError;
            out.Write(EncodeTestFile(done.text, *encoding));
            out.Write("\r\n");
            if (progress && result.lines % kProgressEvery == 0)
                progress(result.lines, static_cast<double>(in.BytesRead()) /
                                           static_cast<double>(std::max<int64_t>(size, 1)));
        }
        if (in.Failed()) {
            result.error = "The test file " + inputPath + " could not be read to its end.";
            return result;
        }
        out.Commit();
    } catch (const SaveFileError& e) {
        result.error = "The result file " + outputPath + " could not be written.  " + e.what();
        return result;
    }
    result.ran = true;
    return result;
}
