#pragma once
// Verifying the ends of a shipment: ZIP codes, postal codes and city names.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// What point verification needs of the main window. The window registers itself; without
// one (tests, batch runs) the calls do nothing and report no list entries.
class PointEntryView {
public:
    virtual ~PointEntryView() = default;
    virtual void ShowHourglass() = 0;
    virtual void ClearCityList() = 0;
    virtual void AddCity(const std::string& entry) = 0;
    virtual std::vector<std::string> CityEntries() const = 0;
    virtual void RemoveCity(int index) = 0;
    // Shows lstCities and lblChooseCity and gives the list the focus.
    virtual void ShowCityList() = 0;
    virtual void SetZipText(bool isDest, const std::string& text) = 0;
    virtual void SetCityCaption(bool isDest, const std::string& caption) = 0;
    virtual void FocusDestZip() = 0;
    virtual void FocusFirstWeight() = 0;
    // The military-base question is pending: PickCity leaves the focus alone.
    virtual bool MilitaryQuestionPending() const = 0;
    // gLocked lives in the main window.
    virtual void SetLocked(bool locked) = 0;
};

void SetPointEntryView(PointEntryView* view);
PointEntryView* GetPointEntryView();

// A gap in the tariff data (a key a table should hold and does not): the message names it.
class TariffDataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool LookupCityState(const std::string& code, uint8_t isDest);
bool SearchCities(const std::string& city, uint8_t isDest);
void PickCity(const std::string& choice);
bool IsOffshoreZip(const std::string& zip);
std::string CanadaBaseZone(const std::string& postalCode);
int16_t ZipSubscript(const std::string& key);
bool IsIntraCanada();
std::string CityOfCityState(const std::string& cityState);
std::string FirstZipOfPrefix(const std::string& prefix);
std::string OtherIfDifferent(const std::string& first, const std::string& second);
// A text reads as a number the way the old entry boxes judged it (IsNumeric).
bool ReadsAsNumber(const std::string& text);
