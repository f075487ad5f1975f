// Fretlyn: opens the tariff that ships beside the program and reports what it opened.

#include <chrono>
#include <cstdio>
#include <exception>

#include "settings.h"
#include "tariffdb.h"

int main() {
    try {
        auto start = std::chrono::steady_clock::now();
        LoadStatesFile();
        InitClassTables();
        OpenTariffDatabase();
        LoadSettings();
        auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
        std::printf("Norvale Fretlyn2007 -- rates effective %s\n", tariff.gEffDate.c_str());
        std::printf("Opened %s in %.1f ms: %zu tables, %zu states and provinces, 3 lane files.\n",
                    tariff.gDB->Path().c_str(), ms.count(), tariff.gDB->Recordsets().size(),
                    tariff.gStateTable.size());
        std::printf("ZIP codes: %lld, postal areas: %lld, service centres: %lld.\n",
                    static_cast<long long>(tariff.rsUSCities->RecordCount()),
                    static_cast<long long>(tariff.rsCan3->RecordCount()),
                    static_cast<long long>(tariff.rsSvcctrs->RecordCount()));
        CloseAll();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Fretlyn could not start: %s\n", e.what());
        CloseAll();
        return 1;
    }
}
