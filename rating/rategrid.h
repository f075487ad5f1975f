#pragma once
// The lane's rate-grid row and the three lane factors multiplied into every rate.

#include <cstdint>
#include <string>

#include "numbers.h"

// Reads the lane's row (file = lane code div 1000, row = lane code mod 1000) into gGridRow and
// sets gOrigFactor, gDestFactor and gLanePush. A row 0, a missing grid file, a row past the
// end of its file or a value of the row that cannot be a rate (0 or below, or above $10,000.00)
// is a TariffDataError naming the file and row, never a quote.
void LoadRateGrid(int32_t laneCode);

// The grid files stay mapped once read; this lets them go (tests, a new application folder).
void CloseRateGrids();

// While one lives (a file test), the grid files keep the blocks they read (see
// BinaryFile::KeepBlocks): many lines read rows near one another in the same few files.
class KeepRateGridBlocks {
  public:
    KeepRateGridBlocks();
    ~KeepRateGridBlocks();
    KeepRateGridBlocks(const KeepRateGridBlocks&) = delete;
    KeepRateGridBlocks& operator=(const KeepRateGridBlocks&) = delete;
};

Single OriginArbFactor();
Single DestArbFactor();
Single MarketLanePush();
Single ZipArbBump(const std::string& zip);
bool IsAlbertaRuralPostal(const std::string& code);
bool IsNYCZipPrefix(const std::string& zip3);
