#include "settings.h"

#include <QDate>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include "binaryfile.h"
#include "fileerror.h"
#include "numbers.h"
#include "straycharacter.h"
#include "tariffdb.h"
#include "text.h"

const char* const kFloorKeys[13] = {
    "FLOOR_qzainter", "FLOOR_qzaintra", "FLOOR_qzbinter", "FLOOR_qzbintra", "FLOOR_qzdcalif",
    "FLOOR_qzdinter", "FLOOR_qzdintra", "FLOOR_canadaus", "FLOOR_bcus",     "FLOOR_YTNT_us",
    "FLOOR_qzfintra", "FLOOR_flakeys",  "FLOOR_jointline"};
const char* const kDefaultDiscountKeys[4] = {"DISC_USADefault", "DISC_Canada_US", "DISC_USA_Canada",
                                             "DISC_CanadaDefault"};
const char* const kUserSettingKeys[14] = {
    "FSC_fsc",       "CDN_ExchangeRate",      "DC_origin",    "DC_defclass0", "DC_defclass1",
    "DC_defclass2",  "DC_defclass3",          "DC_defclass4", "PONY_folder",  "BL_Copies",
    "BL_PrintRates", "BL_UseSpecialDiscount", "BL_Discount",  "BL_PrintBack"};

// Each range is what its window lets the user store: the fuel surcharge box "##.#", the
// exchange rate box "#.####" (a rate of 0 would price nothing in Canadian funds), the two-digit
// count of copies, from 1, and the bill-of-lading discount box "##.#".
const NumericSetting kFuelSurchargeSetting{
    "FSC_fsc",
    "00.0",
    "the fuel surcharge",
    {0, 99.9, false},
    false,
    "Set it again under Customize, Fuel Surcharge... in the main window"};
const NumericSetting kExchangeRateSetting{
    "CDN_ExchangeRate",
    "1",
    "the Canadian exchange rate",
    {0.0001, 9.9999, false},
    false,
    "Set it again under Customize, Canadian Exchange... in the main window"};
const NumericSetting kBLCopiesSetting{
    "BL_Copies",
    "1",
    "the number of bill-of-lading copies",
    {1, 99, true},
    false,
    "Set it again in the Bill of Lading Configuration window of the bill-of-lading window"};
const NumericSetting kBLDiscountSetting{
    "BL_Discount",
    "00.0",
    "the bill-of-lading discount",
    {0, 99.9, false},
    true,
    "Set it again in the Bill of Lading Configuration window of the bill-of-lading window"};

std::optional<double> StoredNumberIn(const std::string& text, const NumberRule& rule) {
    const std::optional<double> value = StoredNumber(text);
    if (!value || *value < rule.low || *value > rule.high) return std::nullopt;
    if (rule.whole && text.find('.') != std::string::npos) return std::nullopt;
    return value;
}

std::string RuleText(const NumberRule& rule) {
    return std::string(rule.whole ? "a whole number" : "a number") + " from " + CStr(rule.low) +
           " to " + CStr(rule.high);
}

std::string DamagedValueText(const std::string& what, const std::string& text, bool isNull,
                             const NumberRule& rule, const std::string& window) {
    const std::string held = isNull ? "no value" : "\"" + Excerpt(text) + "\"";
    return what + " in the database " + TariffDatabasePath() + " holds " + held +
           ", which is not " + RuleText(rule) + ".  " + window + ".";
}

namespace {
constexpr size_t kMaxStates = 61;

Recordset& Config() {
    if (!tariff.rsConfig || !tariff.rsConfig->IsOpen())
        throw std::runtime_error("The settings table is not open.");
    return *tariff.rsConfig;
}

// The tariff's text files are opened only when they are regular files: a named pipe in the
// place of one would hold the start for good.
std::istringstream TextFile(const std::string& what, const std::string& path) {
    return std::istringstream(ReadRegularFile(path, what));
}

// The characters a date in the tariff's form is written with (a tab only about it).
constexpr std::string_view kDateCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ,\t";

// A date as the tariff writes it, "March 19, 2007": the name of a month, a day of that month and
// a year of four digits. It heads every quote and rate sheet and names the user's copy of each
// edition, so anything else is a damaged file, never a new edition.
bool IsTariffDate(std::string line) {
    // Blanks about it, and the mark an editor may put before it, are no part of the date.
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    line.erase(0, line.find_first_not_of(" \t"));
    line.erase(line.find_last_not_of(" \t") + 1);
    static const char* const kMonths[12] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
    const size_t space = line.find(' ');
    const size_t comma = line.find(", ");
    if (space == std::string::npos || comma == std::string::npos || comma < space) return false;
    const std::string month = line.substr(0, space);
    const std::string day = line.substr(space + 1, comma - space - 1);
    const std::string year = line.substr(comma + 2);
    auto digits = [](const std::string& text, size_t least, size_t most) {
        return text.size() >= least && text.size() <= most &&
               text.find_first_not_of("0123456789") == std::string::npos;
    };
    int number = 0;
    for (int m = 0; m < 12; ++m)
        if (month == kMonths[m]) number = m + 1;
    if (number == 0 || !digits(day, 1, 2) || !digits(year, 4, 4)) return false;
    return QDate(std::stoi(year), number, std::stoi(day)).isValid();
}

// One line of a text data file; a Windows line end is not part of the text.
bool ReadLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}
}  // namespace

std::string GetConfigValue(const std::string& key, const std::string& defaultValue) {
    Recordset& rs = Config();
    rs.Seek("=", {key});
    if (rs.NoMatch()) return defaultValue;
    return rs.Field("valuef").str();
}

std::string CheckedConfigText(const NumericSetting& setting) {
    const std::string text = GetConfigValue(setting.key, setting.defaultValue);
    if (setting.blankIsZero && Trim(text).empty()) return text;
    // Read as zero, a damaged value would quietly drop a charge from every quote; read as the
    // platform reads numbers, "7,5" would be 75 % and "&H10" 16 %; a huge one would overflow
    // the amounts it multiplies.
    if (!StoredNumberIn(text, setting.rule))
        throw SettingError(setting.key, DamagedValueText("The setting " + std::string(setting.key) +
                                                             " (" + setting.meaning + ")",
                                                         text, false, setting.rule,
                                                         setting.window));
    return text;
}

std::string SettingEntryProblem(const NumericSetting& setting, const std::string& text) {
    if (StoredNumberIn(text, setting.rule)) return {};
    return "Enter " + std::string(setting.meaning) + ": " + RuleText(setting.rule) + ".";
}

std::string ConfigTextToEdit(const NumericSetting& setting) {
    try {
        return CheckedConfigText(setting);
    } catch (const SettingError&) {
        return {};
    }
}

double ConfigNumber(const NumericSetting& setting) {
    const std::string text = CheckedConfigText(setting);
    return setting.blankIsZero && Trim(text).empty() ? 0 : *StoredNumber(text);
}

void SetConfigValue(const std::string& key, const std::string& value) {
    Recordset& rs = Config();
    rs.Seek("=", {key});
    if (rs.NoMatch())
        throw std::runtime_error("The setting \"" + key +
                                 "\" is not in the settings table; it was not saved.");
    rs.Edit();
    rs.SetField("valuef", value);
    rs.Update();
}

void LoadStatesFile() {
    const std::string path = AppFolder() + "data/states.dat";
    std::istringstream in = TextFile("The state list", path);
    std::vector<StateRow> rows;
    std::string line;
    for (size_t lineNo = 1; ReadLine(in, line); ++lineNo) {
        if (line.empty()) continue;  // a blank line is no record, often a last line end
        auto where = [&] { return path + ", line " + std::to_string(lineNo); };
        if (rows.size() == kMaxStates)
            throw std::runtime_error(where() + ": the state list holds more than 61 lines.");
        size_t c = line.find(',');
        size_t p = line.find('.');
        if (c == std::string::npos || p == std::string::npos)
            throw std::runtime_error(where() + ": \"" + Excerpt(line) +
                                     "\" is not of the form Name,XX.QZX.");
        rows.push_back({line.substr(0, c), line.substr(c + 1, 2), line.substr(p + 1, 3)});
    }
    // Every point's state is looked up in it: without one line nothing could be verified.
    if (rows.empty())
        throw FileError(FileError::kInputPastEnd,
                        "The state list " + path +
                            " holds no state line; it must hold one "
                            "line Name,XX.QZX for every state and province.");
    tariff.gStateTable = std::move(rows);
}

void InitClassTables() {
    tariff.gClasses = {"50",  "55",  "60",  "65",  "70",  "77.5", "85",  "92.5", "100",
                       "110", "125", "150", "175", "200", "250",  "300", "400",  "500"};
    for (int i = 1; i <= 20; ++i) tariff.gZip3List100[i] = std::to_string(99 + i);
    const char* dc[] = {"200", "202", "203", "204", "205", "569"};
    for (int i = 1; i <= 6; ++i) tariff.gDCZip3List[i] = dc[i - 1];
    const char* hi[] = {"96863", "96860", "96853", "96786", "96859", "96858",
                        "96818", "96795", "96792", "96752", "96706", "96701"};
    for (int i = 1; i <= 12; ++i) tariff.gHIMilitaryZips[i] = hi[i - 1];
}

void LoadSettings() {
    for (const char* key : kFloorKeys) tariff.startupValues[key] = GetConfigValue(key, "00.00");
    for (const char* key : kDefaultDiscountKeys)
        tariff.startupValues[key] = GetConfigValue(key, "00.0");

    tariff.gEffDate = ReadEffectiveDate();

    tariff.gDensityDefault = GetConfigValue("DC_density", "9.9");
    tariff.gGPercentage = static_cast<Single>(Val(GetConfigValue("G!_percentage", "0.20")));
    tariff.gExchangeRate = GetConfigValue("CDN_ExchangeRate", "1");
}

std::string ReadEffectiveDate() {
    const std::string path = AppFolder() + "data/effdate.dat";
    std::istringstream in = TextFile("The effective-date file", path);
    std::string line;
    const bool read = ReadLine(in, line);
    // The date heads the window and every "no service" message; a tariff without one is
    // damaged, not undated.
    if (!read || line.find_first_not_of(" \t") == std::string::npos)
        throw FileError(FileError::kInputPastEnd,
                        "The effective-date file " + path +
                            " is empty; its first line must hold the date the rates take effect.");
    // It also names the user's copy of each edition: a damaged line would head every quote and
    // set up a copy for a tariff that is no new edition at all.
    const QString text = QString::fromUtf8(line);
    const bool isText = !text.contains(QChar::ReplacementCharacter) &&
                        std::none_of(text.begin(), text.end(), [](QChar c) {
                            return c != '\t' && c != QChar::ByteOrderMark && !c.isPrint();
                        });
    if (!isText || text.size() > 40 || !IsTariffDate(line)) {
        std::string fault = "is not text";
        if (isText) {
            fault = "\"" + Excerpt(line) + "\" is not a date";
            // Named, since quoted a non-breaking space looks like any other blank.
            const std::string stray = StrayCharacter(line, kDateCharacters);
            if (!stray.empty())
                fault += ": " + stray +
                         ", where a date holds only letters, digits, plain spaces and a comma";
        }
        throw FileError(FileError::kPathFileAccess, "The effective-date file " + path +
                                                        " is damaged: its first line " + fault +
                                                        ".  Install the tariff again.");
    }
    // Blanks about the date are no part of it: they would stand in the window's title.
    line.erase(line.find_last_not_of(" \t") + 1);
    line.erase(0, line.find_first_not_of(" \t"));
    return line;
}

std::vector<std::string> FillClassCombos(ClassBoxes& boxes) {
    for (int box = 0; box < 5; ++box)
        for (const auto& c : tariff.gClasses) boxes.AddItem(box, c);
    std::vector<std::string> damaged;
    for (int box = 0; box < 5; ++box) {
        const std::string key = "DC_defclass" + std::to_string(box);
        const std::string v = GetConfigValue(key, "100");
        const bool known =
            std::find(tariff.gClasses.begin(), tariff.gClasses.end(), v) != tariff.gClasses.end();
        boxes.SetText(box, known ? v : std::string());
        // The main window saves only a class of the list: anything else is damage, named
        // rather than passed over as a box without a default.
        if (!known) {
            const std::string line = std::to_string(box + 1);
            damaged.push_back("The setting " + key + " (the default class of line " + line +
                              ") in the database " + TariffDatabasePath() + " holds \"" +
                              Excerpt(v) + "\", which is not one of the tariff's classes.  " +
                              "Choose the class of line " + line +
                              " in the main window: it is kept as the default when Fretlyn "
                              "closes.");
        }
    }
    return damaged;
}
