#pragma once
// Look-ups that a covering index answers from the index alone: one descent of one B-tree instead
// of the index's and then the table's. The tariff database this program ships carries those
// indexes; a database without one is answered by the plain statement, with the same row.
#include <string>
#include <vector>

#include "database.h"

class CoveredLookUp {
  public:
    // `covered` names the covering index with INDEXED BY; `plain` finds the same row without it.
    CoveredLookUp(std::string table, std::string index, std::string covered, std::string plain);

    // Database::LookUp on the tariff database, by the covering index where it has one.
    const std::vector<Value>* operator()(const std::vector<Value>& params);

  private:
    std::string table_, index_, covered_, plain_;
    // The database last found without the index: it takes the plain statement from then on.
    const Database* lacking_ = nullptr;
};
