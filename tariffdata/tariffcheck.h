#pragma once
// The tariff's lane, transit-day and grid files against the list of their sizes and SHA-256
// digests that ships beside them (data/checksums.txt). A damaged or half-copied file reads as
// other, real lanes and plausible rates, so it is refused by name before a command reads it.
// A tariff whose database records that it has the list refuses its files while the list is
// missing or cannot be read; only an earlier tariff, whose database records no list, is read
// without one. The list itself is believed only when its digest is the one the database
// records, and when it names each file once: a list edited to agree with a changed file would
// vouch for it.

#include <string>

#include "binaryfile.h"

// The list's name in the application folder.
inline constexpr const char* kTariffFileList = "data/checksums.txt";
// The setting of the shipped database that records the list: the digest of the list it was
// shipped with.
inline constexpr const char* kTariffFileListSetting = "TARIFF_filelist";
// The note of the files found intact, in the user's data folder.
inline constexpr const char* kCheckedFilesNote = "checked-tariff-files";

// Raises a TariffDataError naming the file when the list gives it another size or digest than
// it has now. A command looks at each file once (its size and times of change, one call on the
// file): its contents are read only after they changed. A file found intact is noted with its
// size and times in the user's data folder when the program works on the user's copy of the
// database there, so that the next start need not read it again.
void RequireIntactTariffFile(const BinaryFile& file);

// Forgets what this run found and read (a test's new start; a new application folder).
void ForgetTariffFileChecks();
// How many times a file's contents have been read for their digest since the run began or
// the checks were forgotten, for tests.
int TariffFileDigestsRead();
