#include "coveredlookup.h"

#include <utility>

#include "tariffdb.h"

CoveredLookUp::CoveredLookUp(std::string table, std::string index, std::string covered,
                             std::string plain)
    : table_(std::move(table)),
      index_(std::move(index)),
      covered_(std::move(covered)),
      plain_(std::move(plain)) {}

const std::vector<Value>* CoveredLookUp::operator()(const std::vector<Value>& params) {
    if (!tariff.gDB) throw DbError(kErrObjectClosed, "The database is not open.");
    Database& db = *tariff.gDB;
    if (lacking_ != &db) {
        try {
            return db.LookUp(covered_, params);
        } catch (const DbError&) {
            // Any other refusal (a lock, a damaged file) is the caller's to report.
            if (db.IndexExists(table_, index_)) throw;
            lacking_ = &db;
        }
    }
    return db.LookUp(plain_, params);
}
