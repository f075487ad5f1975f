#pragma once
// The batch rate test, the carrier's own check of a tariff release: the batch run rates every
// code of Fullzip from one origin into the table ponyout, and the file test rates each line of
// a file of expected rates and transit days again and writes a comparison file.
//
// The files are "RTQCtest.TXT" (input) and "TESTDATA.TXT" (output) in the test folder: the
// folder the setting PONY_folder names, else Fretlyn's folder among the user's documents.
//
// The input is Windows-1252 text (or UTF-8, when it is valid UTF-8 throughout), its lines
// ended by CR LF, LF or CR. Its lines have fixed columns (1-based character start, width):
// A origin 187/6, B destination 193/6, C expected days 205/2, D class 208/5, E reference
// 213/7, F weight 44/7, G expected rate 220/8, H remark 228/9. A field past the end of a short
// line is empty; A, B, C, D, G and H are padded with blanks to their width.
//
// Every input line gives exactly one output line, so that the output lines up with the input:
// each rated line "A B C D E G" + " " + N(rate) + "  " + N(days) + " " + X + " " + Y, each
// unrated line "A B C D E G H", ending in CR LF, in the input's encoding. N(v) is a blank, the
// number's plain decimal form and a blank; X is "X" when the expected rate differs from the
// computed one, Y is "Y" when the days differ, each else a blank. A line that cannot be rated
// (an end that does not verify, a class that is no class, days that are no small whole number,
// a damaged lane file or rate grid) is written unrated too, and counted.
//
// Both files are read and written a line at a time, so a run's memory does not grow with them.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "numbers.h"

struct PonyState {
    Single gPonyRate = 0;  // the rate PonyAdjustRate left
    void Reset() { *this = PonyState(); }
};
extern PonyState pony;

// The province of a Canadian postal code's first letter; "" for a letter outside the table.
std::string CanadaPonyProv(const std::string& strF);

// The rate of break brk (2 to 9) at the class for the lane loaded into the rating state, with
// the lane factors LoadRateGrid worked out with it: the engine's class rate, left in
// pony.gPonyRate.
void PonyAdjustRate(const std::string& cls, int brk);

// The rates of one ponyout row for the lane loaded into the rating state: the grid's cents
// times the origin and destination factors, each to the cent, then in dollars and by class,
// then less the discount, each rate to the cent. No push enters.
struct PonyRow {
    std::string origin, dest, cls;
    std::array<Single, 11> rates{};  // minimum charge, L5C .. 30M
};
PonyRow PonyResultRow(const std::string& cls, const std::string& discount);

// The folder of the test files, with its trailing separator; created when missing.
std::string PonyFolder();
inline constexpr const char* kPonyInputFile = "RTQCtest.TXT";
inline constexpr const char* kPonyOutputFile = "TESTDATA.TXT";

// What a long run tells as it goes: how many lines or codes are done, and what part of the whole
// (of the file's size, or of the codes) that is, from 0 to 1. Called every few hundred.
using PonyProgress = std::function<void(int64_t done, double part)>;

struct PonyBatchResult {
    bool started = false;     // false: no verified origin, or ponyout could not be used
    int64_t rows = 0;         // rows added
    int64_t skipped = 0;      // codes with no row (not verified, no service, unknown to the tariff)
    std::string tariffError;  // the first damaged lane file or rate grid met, with its row
};
// From the verified origin (tariff.gOrigZip), every code of Fullzip in ZIP order, at one class
// and discount, into ponyout, in one transaction. keepExisting false empties ponyout first.
// Refuses (started false) without a verified origin. A database error (DbError) stops the run
// with nothing of it stored.
PonyBatchResult RunPonyBatch(const std::string& cls, const std::string& discount, bool keepExisting,
                             const PonyProgress& progress = {});

struct PonyFileResult {
    bool ran = false;       // false: the input could not be read or the output not written
    std::string error;      // why not, with the file's path
    int64_t lines = 0;      // lines written, one for each line read
    int64_t rated = 0;      // of which rated
    int64_t unratable = 0;  // of which written unrated because they cannot be rated
    std::vector<int64_t> firstUnratable;  // the numbers (from 1) of the first few of them
    std::string tariffError;  // the first damaged data file met, with its row; the run went on
};
inline constexpr size_t kPonyUnratableListed = 5;
// Rates every line of the input file again into the output file. flRates false writes every
// line in its unrated form. A database error (DbError) stops the run at once and is thrown; the
// output file takes the old one's place only when every line is done, so a stopped run leaves
// it as it was.
PonyFileResult RunPonyFileTest(const std::string& inputPath, const std::string& outputPath,
                               bool flRates, const PonyProgress& progress = {});

// The output line of one input line; unratable is set for a line written unrated because it
// cannot be rated.
struct PonyLine {
    std::string text;
    bool rated = false;
    bool unratable = false;
    std::string tariffError;  // why the line could not be checked, when a data file is damaged
};
// The input line is UTF-8 text, cut by characters. A database error is thrown. svc is the
// transit-day file when the caller holds it open, else it is opened for the line.
class BinaryFile;
PonyLine PonyTestLine(const std::string& input, bool flRates, const BinaryFile* svc = nullptr);
