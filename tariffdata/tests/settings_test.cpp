#include "settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "fileerror.h"
#include "tariffdb.h"
#include "testdata.h"
#include "text.h"

namespace {

class Settings : public ::testing::Test {
  protected:
    void SetUp() override {
        InitClassTables();
        OpenTariffDatabase();
    }
    ScratchAppFolder app;
};

int64_t ConfigRows() {
    return tariff.rsConfig->RecordCount();
}

TEST_F(Settings, ReadsStoredValuesAndDefaultsForMissingKeys) {
    int64_t rows = ConfigRows();
    EXPECT_EQ(GetConfigValue("DC_defclass0", "x"), "100");
    EXPECT_EQ(GetConfigValue("dc_DEFCLASS0", "x"), "100");  // keys ignore case
    EXPECT_EQ(GetConfigValue("NO_SUCH_KEY", "fallback"), "fallback");
    EXPECT_EQ(ConfigRows(), rows);
}

TEST_F(Settings, WritesOnlyWhereTheRowExists) {
    int64_t rows = ConfigRows();
    SetConfigValue("FSC_fsc", "18.5");
    EXPECT_EQ(GetConfigValue("FSC_fsc", "00.0"), "18.5");
    try {
        SetConfigValue("FSC_typo", "1");
        FAIL() << "a missing key was written";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("FSC_typo"), std::string::npos);
    }
    EXPECT_EQ(GetConfigValue("FSC_typo", "none"), "none");
    EXPECT_EQ(ConfigRows(), rows);

    // A value written survives closing and opening the data again.
    CloseAll();
    OpenTariffDatabase();
    EXPECT_EQ(GetConfigValue("FSC_fsc", "00.0"), "18.5");
}

// A damaged number is named, with its value, its database and the window that sets it, rather
// than read as zero; a sound one, a missing row and a blank where blank means none read as usual.
TEST_F(Settings, ANumericSettingThatIsNoUsableNumberIsNamedWithItsDatabaseAndWindow) {
    auto store = [](const std::string& key, const std::string& value) {
        tariff.gDB->Execute("UPDATE tblConfig SET valuef = ? WHERE keyf = ?", {value, key});
    };
    // Each read as a number by the platform's conversions: "7,5" as 75 %, "&H10" as 16 %,
    // "&O17" as 15 %, "1e1" and "1d1" as 10 %, "-5" as no surcharge at all.
    for (const char* bad : {"abc", "1e308", "1e999", "5.5.5", "100", "-120", "", "7,5", "&H10",
                            "&O17", "1e1", "1d1", "-5", " 7.5", "7.5%"}) {
        SCOPED_TRACE(bad);
        store("FSC_fsc", bad);
        try {
            ConfigNumber(kFuelSurchargeSetting);
            FAIL() << "a damaged fuel surcharge was read";
        } catch (const SettingError& e) {
            const std::string said = e.what();
            EXPECT_EQ(e.key(), "FSC_fsc");
            EXPECT_NE(said.find("FSC_fsc (the fuel surcharge)"), std::string::npos) << said;
            EXPECT_NE(said.find("\"" + std::string(bad) + "\""), std::string::npos) << said;
            EXPECT_NE(said.find(TariffDatabasePath()), std::string::npos) << said;
            EXPECT_NE(said.find("Customize, Fuel Surcharge..."), std::string::npos) << said;
        }
    }
    // What the window writes, and what older copies of it hold, read as before.
    for (const auto& [written, value] : std::vector<std::pair<const char*, double>>{
             {"05.5", 5.5}, {"5.5", 5.5}, {"00.0", 0}, {"99.9", 99.9}, {"12", 12}}) {
        store("FSC_fsc", written);
        EXPECT_DOUBLE_EQ(ConfigNumber(kFuelSurchargeSetting), value) << written;
    }
    tariff.gDB->Execute("DELETE FROM tblConfig WHERE keyf = 'FSC_fsc'");
    EXPECT_DOUBLE_EQ(ConfigNumber(kFuelSurchargeSetting), 0);

    store("CDN_ExchangeRate", "12.5");
    EXPECT_THROW(CheckedConfigText(kExchangeRateSetting), SettingError);
    store("CDN_ExchangeRate", "1.3125");
    EXPECT_EQ(CheckedConfigText(kExchangeRateSetting), "1.3125");
    // A rate of 0 is no rate at par: it is damage, named as such.
    for (const char* bad : {"0", "0.0000", "", "1,3"}) {
        store("CDN_ExchangeRate", bad);
        EXPECT_THROW(CheckedConfigText(kExchangeRateSetting), SettingError) << bad;
    }

    for (const char* bad : {"x2", "0", "1.5", "100"}) {
        store("BL_Copies", bad);
        EXPECT_THROW(ConfigNumber(kBLCopiesSetting), SettingError) << bad;
    }
    store("BL_Copies", "2");
    EXPECT_DOUBLE_EQ(ConfigNumber(kBLCopiesSetting), 2);

    store("BL_Discount", "");
    EXPECT_DOUBLE_EQ(ConfigNumber(kBLDiscountSetting), 0);
    store("BL_Discount", "25,0%");
    EXPECT_THROW(ConfigNumber(kBLDiscountSetting), SettingError);
}

// What a settings window says instead of storing a value its box holds: nothing for a value it
// may store, the value needed for an empty box or one out of range.
TEST(SettingEntry, AnEmptyOrOutOfRangeValueIsRefusedSayingWhatIsNeeded) {
    EXPECT_EQ(SettingEntryProblem(kFuelSurchargeSetting, ""),
              "Enter the fuel surcharge: a number from 0 to 99.9.");
    EXPECT_EQ(SettingEntryProblem(kFuelSurchargeSetting, "05.5"), "");
    EXPECT_EQ(SettingEntryProblem(kFuelSurchargeSetting, "00.0"), "");
    EXPECT_EQ(SettingEntryProblem(kExchangeRateSetting, "0"),
              "Enter the Canadian exchange rate: a number from 0.0001 to 9.9999.");
    EXPECT_NE(SettingEntryProblem(kExchangeRateSetting, ""), "");
    EXPECT_EQ(SettingEntryProblem(kExchangeRateSetting, "1.05"), "");
    EXPECT_EQ(SettingEntryProblem(kBLCopiesSetting, "0"),
              "Enter the number of bill-of-lading copies: a whole number from 1 to 99.");
    EXPECT_EQ(SettingEntryProblem(kBLCopiesSetting, "07"), "");
    EXPECT_NE(SettingEntryProblem(kBLDiscountSetting, ""), "");
}

TEST_F(Settings, LoadSettingsTakesStoredValuesOrTheDefaults) {
    tariff.gDB->Execute("DELETE FROM tblConfig WHERE keyf IN ('G!_percentage', 'FLOOR_bcus')");
    tariff.gDB->Execute("UPDATE tblConfig SET valuef = '1.3125' WHERE keyf = 'CDN_ExchangeRate'");
    tariff.gDB->Execute("UPDATE tblConfig SET valuef = '85.50' WHERE keyf = 'FLOOR_jointline'");
    app.writeFile("data/effdate.dat", "April 1, 2008\r\nignored second line\n");
    LoadSettings();
    EXPECT_EQ(tariff.gEffDate, "April 1, 2008");
    EXPECT_EQ(tariff.gExchangeRate, "1.3125");
    EXPECT_FLOAT_EQ(tariff.gGPercentage, 0.20f);
    EXPECT_EQ(tariff.startupValues.at("FLOOR_bcus"), "00.00");
    EXPECT_EQ(tariff.startupValues.at("FLOOR_jointline"), "85.50");
    EXPECT_EQ(tariff.startupValues.size(), 17u);
    EXPECT_FALSE(tariff.gDensityDefault.empty());

    std::filesystem::remove(app.file("data/effdate.dat"));
    EXPECT_THROW(LoadSettings(), std::runtime_error);
}

TEST_F(Settings, StatesFileIsParsedByCommaAndPoint) {
    app.writeFile("data/states.dat",
                  "Ontario,ON.QZF\r\nMinnesota,MN.QZA\nNewfoundland and Labrador,NL.QZF\n");
    LoadStatesFile();
    ASSERT_EQ(tariff.gStateTable.size(), 3u);
    EXPECT_EQ(tariff.gStateTable[0].name, "Ontario");
    EXPECT_EQ(tariff.gStateTable[0].code, "ON");
    EXPECT_EQ(tariff.gStateTable[0].region, "QZF");
    EXPECT_EQ(tariff.gStateTable[2].name, "Newfoundland and Labrador");
    EXPECT_EQ(tariff.gStateTable[1].region, "QZA");
}

TEST_F(Settings, StatesFileFaultsNameTheFileAndLine) {
    auto expectError = [&](const std::string& text, const std::string& lineText) {
        app.writeFile("data/states.dat", text);
        try {
            LoadStatesFile();
            ADD_FAILURE() << "accepted: " << text.substr(0, 40);
        } catch (const std::runtime_error& e) {
            std::string m = e.what();
            EXPECT_NE(m.find("states.dat"), std::string::npos) << m;
            EXPECT_NE(m.find(lineText), std::string::npos) << m;
        }
    };
    expectError("Ontario,ON.QZF\nQuebec QC QZF\n", "line 2");
    expectError("Ontario ON.QZF\n", "line 1");
    expectError("Ontario,ON QZF\n", "line 1");
    std::string many;
    for (int i = 0; i < 62; ++i)
        many += "State" + std::to_string(i) + ",S" + std::to_string(i % 10) + ".QZA\n";
    expectError(many, "line 62");
    // A damaged file's line can be of any length: enough of it to find it by, then the reason.
    const std::string endless = "Ontario" + std::string(200000, 'x') + ".QZF";
    expectError(endless + "\n", "line 1: \"Ontario" + std::string(33, 'x') +
                                    "...\" is not of the form Name,XX.QZX.");

    std::filesystem::remove(app.file("data/states.dat"));
    EXPECT_THROW(LoadStatesFile(), std::runtime_error);
}

// What the start-up needs of its two text files: an error naming the file, with a number.
TEST_F(Settings, AnEmptyOrMissingStartUpFileIsAnErrorNamingIt) {
    auto expectFileError = [&](const std::function<void()>& load, const std::string& file,
                               int number, const std::string& fragment) {
        try {
            load();
            ADD_FAILURE() << file << " accepted";
        } catch (const FileError& e) {
            const std::string m = e.what();
            EXPECT_EQ(e.number(), number) << m;
            EXPECT_NE(m.find(app.file(file).string()), std::string::npos) << m;
            EXPECT_NE(m.find(fragment), std::string::npos) << m;
        }
    };
    for (const char* blank : {"", "\r\n", "   \nsecond line\n"}) {
        app.writeFile("data/effdate.dat", blank);
        expectFileError(LoadSettings, "data/effdate.dat", FileError::kInputPastEnd, "is empty");
    }
    // Bytes that are no text, and a line longer than any date, as a damaged file holds them.
    const std::string endless(200000, 'x');
    const std::pair<std::string, std::string> damaged[] = {
        {std::string("\x99\xbb\x01\x02March 19, 2007\n", 19), "is not text"},
        {endless, "\"" + Excerpt(endless) + "\" is not a date"}};
    for (const auto& [bytes, said] : damaged) {
        app.writeFile("data/effdate.dat", bytes);
        expectFileError(LoadSettings, "data/effdate.dat", FileError::kPathFileAccess,
                        "is damaged: its first line " + said + ".  Install the tariff again.");
    }
    std::filesystem::remove(app.file("data/effdate.dat"));
    expectFileError(LoadSettings, "data/effdate.dat", FileError::kFileNotFound, "missing");

    for (const char* noState : {"", "\n\r\n\n"}) {
        app.writeFile("data/states.dat", noState);
        expectFileError(LoadStatesFile, "data/states.dat", FileError::kInputPastEnd,
                        "holds no state line");
    }
    std::filesystem::remove(app.file("data/states.dat"));
    expectFileError(LoadStatesFile, "data/states.dat", FileError::kFileNotFound, "missing");
}

// A date refused for a character no date holds says which: quoted, a non-breaking space or a
// look-alike letter cannot be told from the right one.
TEST_F(Settings, AnEffectiveDateWithACharacterNoDateHoldsNamesIt) {
    const std::pair<std::string, std::string> damaged[] = {
        {"March\u00A019, 2007", "character 6 is a non-breaking space (U+00A0)"},
        {"\xEF\xBB\xBF  March 19,\u202F2007",
         "character 12 is a narrow non-breaking space (U+202F)"},
        {"\u041Carch 19, 2007", "character 1 is \"\u041C\" (U+041C)"},
        {"March 19, 2007\u3000", "character 15 is a space other than the plain one (U+3000)"},
        {"March 19.\t2007", "character 9 is \".\" (U+002E)"}};
    for (const auto& [date, said] : damaged) {
        app.writeFile("data/effdate.dat", date + "\n");
        try {
            ReadEffectiveDate();
            ADD_FAILURE() << date << " accepted";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "The effective-date file " + app.file("data/effdate.dat").string() +
                          " is damaged: its first line \"" + date + "\" is not a date: " + said +
                          ", where a date holds only letters, digits, plain spaces and a "
                          "comma.  Install the tariff again.");
        }
    }
    // Every character one a date holds, in no date's order: nothing to name.
    app.writeFile("data/effdate.dat", "February 30, 2007\n");
    try {
        ReadEffectiveDate();
        ADD_FAILURE() << "February 30 accepted";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("\"February 30, 2007\" is not a date.  Install"),
                  std::string::npos)
            << e.what();
    }
}

// The blanks about a date are no part of it: the date heads the main window, the quote and
// every "no service" message.
TEST_F(Settings, TheBlanksAboutTheEffectiveDateAreNoPartOfIt) {
    app.writeFile("data/effdate.dat", " \t  April 1, 2008 \t \r\n");
    EXPECT_EQ(ReadEffectiveDate(), "April 1, 2008");
}

TEST_F(Settings, ShippedStatesFileFitsTheTable) {
    LoadStatesFile();
    EXPECT_GT(tariff.gStateTable.size(), 50u);
    EXPECT_LE(tariff.gStateTable.size(), 61u);
    for (const auto& s : tariff.gStateTable) {
        EXPECT_EQ(s.code.size(), 2u) << s.name;
        EXPECT_TRUE(s.region == "QZA" || s.region == "QZB" || s.region == "QZD" ||
                    s.region == "QZF")
            << s.name;
    }
}

struct FakeBoxes : ClassBoxes {
    std::map<int, std::vector<std::string>> items;
    std::map<int, std::string> text;
    void AddItem(int box, const std::string& t) override { items[box].push_back(t); }
    void SetText(int box, const std::string& t) override { text[box] = t; }
};

TEST_F(Settings, ClassBoxesGetTheEighteenClassesAndTheSavedDefaults) {
    tariff.gDB->Execute("UPDATE tblConfig SET valuef = '77' WHERE keyf = 'DC_defclass1'");
    tariff.gDB->Execute("UPDATE tblConfig SET valuef = '92.5' WHERE keyf = 'DC_defclass2'");
    tariff.gDB->Execute("DELETE FROM tblConfig WHERE keyf = 'DC_defclass4'");
    tariff.gDB->Execute("UPDATE tblConfig SET valuef = '' WHERE keyf = 'DC_defclass3'");
    FakeBoxes boxes;
    const std::vector<std::string> damaged = FillClassCombos(boxes);
    // Only a class of the list is ever saved: "77" and a blank are damage, and named.
    ASSERT_EQ(damaged.size(), 2u);
    EXPECT_NE(damaged[0].find("DC_defclass1 (the default class of line 2)"), std::string::npos)
        << damaged[0];
    EXPECT_NE(damaged[0].find("holds \"77\""), std::string::npos) << damaged[0];
    EXPECT_NE(damaged[0].find(TariffDatabasePath()), std::string::npos) << damaged[0];
    EXPECT_NE(damaged[0].find("in the main window"), std::string::npos) << damaged[0];
    EXPECT_NE(damaged[1].find("DC_defclass3 (the default class of line 4)"), std::string::npos)
        << damaged[1];
    EXPECT_EQ(boxes.text[3], "");
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(boxes.items[i].size(), 18u);
        EXPECT_EQ(boxes.items[i].front(), "50");
        EXPECT_EQ(boxes.items[i][5], "77.5");
        EXPECT_EQ(boxes.items[i].back(), "500");
    }
    EXPECT_EQ(boxes.text[0], "100");
    EXPECT_EQ(boxes.text[1], "");  // "77" is not a class
    EXPECT_EQ(boxes.text[2], "92.5");
    EXPECT_EQ(boxes.text[4], "100");  // missing key: the default class
}

TEST(ClassTables, FixedListsHoldTheirValues) {
    InitClassTables();
    EXPECT_EQ(tariff.gZip3List100[1], "100");
    EXPECT_EQ(tariff.gZip3List100[20], "119");
    EXPECT_EQ(tariff.gDCZip3List[6], "569");
    EXPECT_EQ(tariff.gHIMilitaryZips[1], "96863");
    EXPECT_EQ(tariff.gHIMilitaryZips[12], "96701");
}

}  // namespace
