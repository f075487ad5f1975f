#pragma once
// Settings kept in the table tblConfig, and the fixed lists loaded at start-up.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The floor and default-discount keys loaded at start-up, in the order they are read.
extern const char* const kFloorKeys[13];
extern const char* const kDefaultDiscountKeys[4];
// The settings that are the user's own figures and choices, not the carrier's: the fuel
// surcharge, the exchange rate, the default origin and classes, the batch test's folder and the
// bill-of-lading print settings. A tariff update carries them over; every other setting comes
// with the tariff.
extern const char* const kUserSettingKeys[14];

// The stored value of a key, or the caller's default when the table has no such row.
std::string GetConfigValue(const std::string& key, const std::string& defaultValue);

// What a stored number may be: the range the window that sets it allows, and whether it is a
// whole number (the copies of a bill).
struct NumberRule {
    double low;
    double high;
    bool whole;
};
// The stored text as a number in the form the program writes (digits, at most one point, see
// StoredNumber) and within the rule; nothing for any other text.
std::optional<double> StoredNumberIn(const std::string& text, const NumberRule& rule);
// The rule in words: "a number from 0 to 99.9", "a whole number from 1 to 99".
std::string RuleText(const NumberRule& rule);

// A stored value the program cannot use (text that is no number in the form the program writes,
// a number out of range), named with its value, where it is stored and the window that sets it.
class StoredValueError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
// The message of such a value: `what` names it and where it is kept ("The setting FSC_fsc (the
// fuel surcharge)"), `window` says where to set it again.
std::string DamagedValueText(const std::string& what, const std::string& text, bool isNull,
                             const NumberRule& rule, const std::string& window);

// A setting the user keeps in one of the program's windows and the program reads as a number.
struct NumericSetting {
    const char* key;
    const char* defaultValue;
    const char* meaning;  // "the fuel surcharge"
    NumberRule rule;
    bool blankIsZero;  // a stored empty text means none (the bill-of-lading discount)
    // Where the user sets it, as a sentence: "Set it again under Customize, Fuel Surcharge...".
    const char* window;
};
extern const NumericSetting kFuelSurchargeSetting;
extern const NumericSetting kExchangeRateSetting;
extern const NumericSetting kBLCopiesSetting;
extern const NumericSetting kBLDiscountSetting;

// A stored setting that is no value the program can use for it.
class SettingError : public StoredValueError {
  public:
    SettingError(const std::string& key, const std::string& message)
        : StoredValueError(message), key_(key) {}
    const std::string& key() const { return key_; }

  private:
    std::string key_;
};

// The setting's value as a number (its default when the table has no row for it); a stored
// value that is no number in the setting's range is a SettingError. CheckedConfigText gives
// the stored text itself once it passed, for callers that show it as stored.
double ConfigNumber(const NumericSetting& setting);
std::string CheckedConfigText(const NumericSetting& setting);
// The stored text for the box of the window that sets it, or "" when it is no usable value:
// through the box's mask a damaged value would read as a plausible one ("1e308" as 13.0 %),
// which a Done that changed nothing would then store.
std::string ConfigTextToEdit(const NumericSetting& setting);
// What the window that sets it says when its box holds no value it may store (an empty box,
// a number out of range): "Enter the fuel surcharge: a number from 0 to 99.9." Empty when the
// text may be stored.
std::string SettingEntryProblem(const NumericSetting& setting, const std::string& text);

// Stores a value under a key that already has its row. A key without a row is refused
// with an error naming it: the settings table ships with every key the program writes.
void SetConfigValue(const std::string& key, const std::string& value);

// Reads data/states.dat into the state table; an unreadable file, a line the program
// cannot take apart or more than 61 lines is an error naming the file and line.
void LoadStatesFile();
void InitClassTables();
// Reads the start-up settings and the effective date (data/effdate.dat).
void LoadSettings();
// The first line of data/effdate.dat; a file that is missing, empty or damaged (a line no date
// could be: control characters, bytes that are no text, more than 40 characters) is an error
// naming it.
std::string ReadEffectiveDate();

// What the main window lends to FillClassCombos: its five class boxes.
class ClassBoxes {
  public:
    virtual ~ClassBoxes() = default;
    virtual void AddItem(int box, const std::string& text) = 0;
    // An empty text leaves the box without a choice.
    virtual void SetText(int box, const std::string& text) = 0;
};

// Fills the five boxes with the classes and each with its saved default; gives the message of
// each saved default that is no class of the tariff (that box is left without a choice).
std::vector<std::string> FillClassCombos(ClassBoxes& boxes);
