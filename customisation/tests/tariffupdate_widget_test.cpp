// A tariff update at start: the customer's rows stay in the previous copy, the start says so
// once and offers the upgrade window on that copy, and the upgrade brings the rows across.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "discounts.h"
#include "earlieredition.h"
#include "frmupgrade.h"
#include "geography.h"
#include "labelbutton.h"
#include "messagebox.h"
#include "ratingstate.h"
#include "settings.h"
#include "shiplocations.h"
#include "simplediscount.h"
#include "tariffdb.h"
#include "tariffupdate.h"
#include "testdata.h"
#include "userdatabase.h"
#include "windowkeys.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

class TariffUpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(data.isValid());
        SetUserDataFolder(data.path().toStdString());
        InitClassTables();  // as the main window's load does; the commodity check reads them
        messageScript.Reset();
        messageScript.Start();
        UserTakesTheProposedFile();
        SetUpgradeMainWindowUnload([this] { ++mainUnloads; });
    }
    void TearDown() override {
        SetOpenFileChooser(nullptr);
        SetUpgradeMainWindowUnload(nullptr);
        messageScript.Reset();
        SetDamageAdvice(nullptr);
        CloseAll();
        SetTariffDatabasePath("");
        SetUserDataFolder("");
    }

    // Every file dialog is recorded in `requests`; the user takes the file it proposes, or
    // cancels it.
    void UserTakesTheProposedFile() {
        SetOpenFileChooser([this](const OpenFileRequest& request) {
            requests.push_back(request);
            return std::optional<QString>(request.InitDir + "/" + request.FileName);
        });
    }
    void UserCancelsTheFileDialog() {
        SetOpenFileChooser([this](const OpenFileRequest& request) {
            requests.push_back(request);
            return std::optional<QString>();
        });
    }

    // The start, and what the start offers when it fails on a damaged copy (answered by the
    // script); the message of the failure, empty when it started.
    std::string StartOffering(UserDatabaseStart& start) {
        try {
            start = StartOnUserDatabase();
        } catch (const std::exception& e) {
            EXPECT_EQ(OfferToSetDamagedDatabaseAside(e, start), DamagedStart::SetAside) << e.what();
            return e.what();
        }
        return {};
    }

    ScratchAppFolder app;
    QTemporaryDir data;
    std::vector<OpenFileRequest> requests;
    int mainUnloads = 0;
};

// What the user does in the upgrade window once it is up: ticks both groups, clicks Upgrade
// (the two confirmations answered Yes from the script), then Done.
void UpgradeBothGroupsWhenTheWindowIsUp() {
    QTimer::singleShot(0, [] {
        frmUpgrade* window = LoadedUpgradeWindow();
        ASSERT_NE(window, nullptr);
        QTest::mouseClick(window->chkDiscounts, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseClick(window->chkBL, Qt::LeftButton, {}, QPoint(8, 8));
        messageScript.Queue(kIdYes);
        messageScript.Queue(kIdYes);
        QTest::mouseClick(window->lblUpgrade, Qt::LeftButton);
        QTest::mouseClick(window->lblDone, Qt::LeftButton);
    });
}

// A bill as the bill window stores one: its shipper, consignee and commodity on file.
void StoreBillBL606() {
    tariff.gDB->Execute(
        "INSERT INTO \"BL parties\" VALUES (1, 'Acme', '1 Main St', 'Milwaukee', '53202', 'WI', "
        "1)");
    tariff.gDB->Execute(
        "INSERT INTO \"BL parties\" VALUES (2, 'Bolt', '2 Elm St', 'Columbus', '43215', 'OH', 2)");
    tariff.gDB->Execute("INSERT INTO Bills VALUES (1, 'BL-606', '3/4/2006', '', '', 1, 2, 0)");
    tariff.gDB->Execute("INSERT INTO Commodity VALUES (1, 'Widgets', 12.5, '', '55', 0)");
    tariff.gDB->Execute("INSERT INTO BLdetail VALUES (1, 1, '2', '500')");
}

TEST_F(TariffUpdateTest, TheNewTariffIsUsedAndTheUpgradeFromThePreviousCopyBringsTheRowsAcross) {
    const UserDatabaseStart first = StartOnUserDatabase();
    OfferTariffUpdate(first);
    EXPECT_TRUE(messageScript.Log().empty());  // a first start has nothing to say
    AddShippingLocation("606");
    StoreBillBL606();
    CloseAll();
    const std::string kept = FileBytes(first.path);

    // The update ships a newer tariff: a new effective date and new tariff data.
    app.writeFile("data/effdate.dat", "April 1, 2008\n");
    {
        Database shipped(app.file("data/x2007.mdb").string());
        shipped.Execute("UPDATE tblConfig SET valuef = '13.0.0' WHERE keyf = 'VERSION_currver'");
    }
    const UserDatabaseStart update = StartOnUserDatabase();
    EXPECT_EQ(tariff.gEffDate, "April 1, 2008");
    EXPECT_EQ(GetConfigValue("VERSION_currver", ""), "13.0.0");
    EXPECT_TRUE(StoredShipLocations().empty());
    EXPECT_EQ(update.previous, first.path);
    EXPECT_EQ(FileBytes(first.path), kept);

    messageScript.Queue(kIdYes);  // copy the data across now
    UpgradeBothGroupsWhenTheWindowIsUp();
    OfferTariffUpdate(update);

    const auto& log = messageScript.Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0].title, "Tariff update");
    EXPECT_TRUE(log[0].text.contains(QString::fromStdString(first.path)));
    EXPECT_TRUE(log[0].text.contains("Copy them into the new one now?"));
    EXPECT_EQ(log.back().text, "Upgrade finished");
    // The first dialog started on the previous copy, the second on the new one.
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ((requests[0].InitDir + "/" + requests[0].FileName).toStdString(), first.path);
    EXPECT_EQ((requests[1].InitDir + "/" + requests[1].FileName).toStdString(), update.path);
    EXPECT_EQ(mainUnloads, 1);  // Done ends the program, as always

    EXPECT_EQ(StoredShipLocations(), std::vector<std::string>{"606"});
    EXPECT_EQ(Rows(*tariff.gDB, "Bills", "\"BL number\""), Lines{"BL-606"});
    EXPECT_EQ(GetConfigValue("VERSION_currver", ""), "13.0.0");  // still the new tariff
    CloseAll();
    EXPECT_EQ(FileBytes(first.path), kept);
}

// Ticks the discounts and clicks Upgrade once the upgrade window is up; the file dialog that
// follows is the test's chooser, which cancels. Escape then closes the window.
void AskForTheEarlierDatabaseWhenTheWindowIsUp() {
    QTimer::singleShot(0, [] {
        frmUpgrade* window = LoadedUpgradeWindow();
        ASSERT_NE(window, nullptr);
        QTest::mouseClick(window->chkDiscounts, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseClick(window->lblUpgrade, Qt::LeftButton);
        QTest::keyClick(window, Qt::Key_Escape);
    });
}

TEST_F(TariffUpdateTest, NoMeansNoWindowAndNothingCopiedAndTheMenuLaterLooksInThePreviousCopy) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddShippingLocation("606");
    app.writeFile("data/effdate.dat", "April 1, 2008\n");
    const UserDatabaseStart update = StartOnUserDatabase();
    ASSERT_EQ(update.previous, first.path);
    OfferTariffUpdate(update);  // the question's default answer is No
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(LoadedUpgradeWindow(), nullptr);
    EXPECT_TRUE(requests.empty());
    EXPECT_TRUE(StoredShipLocations().empty());

    // Later, Customize -> "Transfer Disc/BOL..." opens the window as the program registers it
    // (the main window's menu is not in this folder's tests): its file dialog starts on the
    // previous copy, which lies in a hidden folder nobody would look in.
    UserCancelsTheFileDialog();
    AskForTheEarlierDatabaseWhenTheWindowIsUp();
    ShowUpgradeWindow();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ((requests[0].InitDir + "/" + requests[0].FileName).toStdString(), first.path);
    EXPECT_EQ(mainUnloads, 0);
}

// A copy of the user's database damaged on disk: the start names it and offers to set it aside
// (renamed, never deleted) and to go on with a fresh copy of the tariff; the upgrade window then
// starts on the damaged copy, to bring across what can still be read.
TEST_F(TariffUpdateTest, ADamagedCopyIsSetAsideOnTheUsersWordAndAFreshCopyTakesItsPlace) {
    const UserDatabaseStart first = StartOnUserDatabase();
    SetConfigValue("FSC_fsc", "05.5");
    CloseAll();
    fs::resize_file(first.path, fs::file_size(first.path) / 2);
    const std::string damagedBytes = FileBytes(first.path);

    auto startFails = [&]() -> std::string {
        try {
            StartOnUserDatabase();
        } catch (const std::exception& e) {
            UserDatabaseStart start;
            const DamagedStart outcome = OfferToSetDamagedDatabaseAside(e, start);
            EXPECT_NE(outcome, DamagedStart::NotDamaged) << e.what();
            return e.what();
        }
        ADD_FAILURE() << "started on a damaged database";
        return {};
    };
    // No leaves everything as it was, and the next start asks again.
    const std::string error = startFails();
    EXPECT_EQ(error, "The database " + first.path +
                         " is damaged (database disk image is malformed).  Restore it from a "
                         "backup copy.");
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, "Damaged database");
    EXPECT_TRUE(messageScript.Log()[0].text.startsWith(QString::fromStdString(error)));
    EXPECT_TRUE(messageScript.Log()[0].text.contains("(it is renamed, not deleted)"));
    EXPECT_EQ(FileBytes(first.path), damagedBytes);

    UserDatabaseStart start;
    messageScript.Queue(kIdYes);
    try {
        StartOnUserDatabase();
        FAIL() << "started on a damaged database";
    } catch (const std::exception& e) {
        ASSERT_EQ(OfferToSetDamagedDatabaseAside(e, start), DamagedStart::SetAside);
    }
    ASSERT_TRUE(start.setAside);
    EXPECT_FALSE(fs::exists(first.path));
    EXPECT_EQ(fs::path(start.previous).parent_path(), fs::path(first.path).parent_path());
    EXPECT_EQ(fs::path(start.previous).filename(), "x2007-damaged.mdb");
    EXPECT_EQ(FileBytes(start.previous), damagedBytes);
    EXPECT_NE(start.path, first.path);
    // The start made again works on the fresh copy.
    EXPECT_EQ(StartOnUserDatabase().path, start.path);
    EXPECT_EQ(tariff.gDB->Path(), start.path);
    EXPECT_EQ(GetConfigValue("VERSION_currver", ""), "12.0.1");

    messageScript.Queue(kIdYes);  // copy what can be read
    UserCancelsTheFileDialog();
    AskForTheEarlierDatabaseWhenTheWindowIsUp();
    OfferTariffUpdate(start);
    const auto& log = messageScript.Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[2].title, "Damaged database");
    EXPECT_TRUE(log[2].text.contains(QString::fromStdString(start.previous)));
    EXPECT_TRUE(log[2].text.contains(QString::fromStdString(start.path)));
    EXPECT_TRUE(log[2].text.contains("Copy whatever can still be read"));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ((requests[0].InitDir + "/" + requests[0].FileName).toStdString(), start.previous);
}

// Damage in a page the start never reads is met by a command: its message says that the next
// start offers the remedy, and the next start does, instead of starting as if nothing were wrong.
TEST_F(TariffUpdateTest, DamageACommandMeetsIsOfferedTheRemedyAtTheNextStart) {
    const UserDatabaseStart first = StartOnUserDatabase();
    SetConfigValue("FSC_fsc", "05.5");
    CloseAll();
    DamageFirstPage(first.path, "us_cities.byzip");
    ASSERT_EQ(StartOnUserDatabase().path, first.path) << "the start reads that page";
    WatchUserDatabaseForDamage();
    try {
        LookupCityState("50309", 1);
        FAIL() << "looked up a city through a damaged index";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrDamaged);
        EXPECT_EQ(std::string(e.what()),
                  "The database " + first.path +
                      " is damaged (database disk image is malformed).  Close Fretlyn and start "
                      "it again: it will offer to set this copy aside (renamed, not deleted), "
                      "start on a fresh copy of the tariff database and copy whatever can still "
                      "be read of your discounts, shipping locations and bills of lading.");
    }
    CloseAll();
    SetDamageAdvice(nullptr);  // as in a new program

    UserDatabaseStart start;
    messageScript.Queue(kIdYes);
    const std::string error = StartOffering(start);
    EXPECT_EQ(error, "The database " + first.path +
                         " is damaged (database disk image is malformed).  Restore it from a "
                         "backup copy.");
    ASSERT_TRUE(start.setAside);
    EXPECT_EQ(fs::path(start.previous).filename(), "x2007-damaged.mdb");
    EXPECT_EQ(StartOnUserDatabase().path, start.path);
    EXPECT_EQ(GetConfigValue("FSC_fsc", ""), "05.5");
}

// A damaged index page finds no row, and says nothing: the discounts of "ALL", which the program
// stored, are then named as damage, with the note the next start acts on, instead of being
// asked for as discounts never entered.
TEST_F(TariffUpdateTest, ADiscountRowADamagedIndexCannotFindIsNamedAsDamage) {
    const UserDatabaseStart first = StartOnUserDatabase();
    CloseAll();
    SetFirstPageCellCount(first.path, "discounts.byzipandregion", 0);
    ASSERT_EQ(StartOnUserDatabase().path, first.path) << "the start reads that page";
    WatchUserDatabaseForDamage();
    rating.Reset();
    tariff.gOrigCountry = tariff.gDestCountry = 0;  // a lane within the United States: ALL, 1
    try {
        LoadBreakDiscounts("554", "532", "MN", "WI");
        FAIL() << "read the discounts through a damaged index";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrDamaged);
        const std::string said = e.what();
        EXPECT_EQ(said.rfind("The database " + first.path + " is damaged", 0), 0u) << said;
        EXPECT_NE(said.find("Close Fretlyn and start it again"), std::string::npos) << said;
    }
    EXPECT_TRUE(fs::exists(fs::path(first.path).parent_path() / "damaged"));
    // The discount editor, which looks the same row up, says so too.
    try {
        LoadSimpleDiscounts();
        FAIL() << "the editor read the discounts through a damaged index";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrDamaged);
    }
    rating.Reset();
}

// A table changed by another program (a field renamed, an index dropped) is named with its
// database and what to do, never with the statement the program ran; the next start offers the
// remedy too.
TEST_F(TariffUpdateTest, AFieldOrIndexMissingFromTheCopyIsNamedWithItsDatabase) {
    const UserDatabaseStart first = StartOnUserDatabase();
    tariff.gDB->Execute("ALTER TABLE discounts RENAME COLUMN dmc TO dmx");
    tariff.gDB->Execute("ALTER TABLE Bills RENAME COLUMN \"BL number\" TO \"BL no\"");
    WatchUserDatabaseForDamage();
    const std::string advice =
        ".  Close Fretlyn and start it again: it will offer to set this "
        "copy aside";
    const std::string opening =
        "The database " + first.path + " is damaged or was changed by another program: ";
    auto said = [](const std::function<void()>& command) -> std::string {
        try {
            command();
        } catch (const DbError& e) {
            return e.what();
        }
        return "(nothing)";
    };
    std::string m = said([] { tariff.gDB->OpenSnapshot("SELECT Floor, dmc FROM discounts"); });
    EXPECT_EQ(m.rfind(opening + "no such column: dmc" + advice, 0), 0u) << m;
    EXPECT_EQ(m.find("SELECT"), std::string::npos) << m;
    m = said([] {
        Snapshot bills = tariff.gDB->OpenSnapshot("SELECT * FROM Bills");
        bills.Field("BL number");
    });
    EXPECT_EQ(m.rfind(opening + "the field 'BL number' is missing from what was read" + advice, 0),
              0u)
        << m;
    m = said([] { tariff.gDB->OpenRecordset("discounts")->Field("dmc"); });
    EXPECT_EQ(m.rfind(opening + "the field 'dmc' is missing from its table discounts" + advice, 0),
              0u)
        << m;
    tariff.gDB->Execute("DROP INDEX \"Bills.byblid\"");
    m = said([] { tariff.gDB->OpenRecordset("Bills")->SetIndex("byblid"); });
    EXPECT_EQ(m.rfind(opening + "the index 'byblid' is missing from its table Bills" + advice, 0),
              0u)
        << m;
    CloseAll();
    SetDamageAdvice(nullptr);

    UserDatabaseStart start;
    messageScript.Queue(kIdYes);
    const std::string error = StartOffering(start);
    EXPECT_EQ(error, opening +
                         "the field 'dmc' is missing from its table discounts.  Restore it "
                         "from a backup copy.");
    EXPECT_TRUE(start.setAside);
}

// The settings' index damaged: their rows still read whole, and the fresh copy gets the user's
// own settings from them.
TEST_F(TariffUpdateTest, TheUsersSettingsAreCarriedFromACopyWhoseSettingsIndexIsDamaged) {
    const UserDatabaseStart first = StartOnUserDatabase();
    SetConfigValue("FSC_fsc", "05.5");
    SetConfigValue("CDN_ExchangeRate", "1.0734");
    SetConfigValue("DC_origin", "60601");
    SetConfigValue("DC_defclass0", "70");
    SetConfigValue("BL_Copies", "2");
    CloseAll();
    DamageFirstPage(first.path, "tblConfig.bykeyf");
    UserDatabaseStart start;
    messageScript.Queue(kIdYes);
    EXPECT_NE(StartOffering(start), "");
    ASSERT_TRUE(start.setAside);
    EXPECT_NE(start.notice.find("Your own settings were carried over from it: the fuel surcharge "
                                "(05.5 %), the exchange rate (1.0734), the default origin (60601), "
                                "the default classes (70, "),
              std::string::npos)
        << start.notice;
    EXPECT_EQ(StartOnUserDatabase().path, start.path);
    EXPECT_EQ(GetConfigValue("FSC_fsc", ""), "05.5");
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", ""), "1.0734");
    EXPECT_EQ(GetConfigValue("DC_origin", ""), "60601");
    EXPECT_EQ(GetConfigValue("DC_defclass0", ""), "70");
    EXPECT_EQ(GetConfigValue("BL_Copies", ""), "2");
}

// A copy found damaged and then put right (restored from a backup) starts as usual.
TEST_F(TariffUpdateTest, ACopyFoundDamagedAndRestoredStartsAsUsual) {
    const UserDatabaseStart first = StartOnUserDatabase();
    CloseAll();
    const std::string sound = FileBytes(first.path);
    DamageFirstPage(first.path, "us_cities.byzip");
    StartOnUserDatabase();
    WatchUserDatabaseForDamage();
    EXPECT_THROW(LookupCityState("50309", 1), DbError);
    CloseAll();
    SetDamageAdvice(nullptr);
    std::ofstream(first.path, std::ios::binary | std::ios::trunc) << sound;
    UserDatabaseStart start;
    EXPECT_EQ(StartOffering(start), "");
    EXPECT_EQ(start.path, first.path);
    EXPECT_TRUE(LookupCityState("50309", 1));
    EXPECT_TRUE(messageScript.Log().empty());
}

// A copy left empty (a copy cut short, a crash) holds none of the tariff's tables: the start
// offers to set it aside as a damaged one, rather than fail the same way at every start.
TEST_F(TariffUpdateTest, AnEmptyCopyIsOfferedToBeSetAsideAsADamagedOne) {
    const UserDatabaseStart first = StartOnUserDatabase();
    CloseAll();
    fs::resize_file(first.path, 0);
    UserDatabaseStart start;
    messageScript.Queue(kIdYes);
    try {
        StartOnUserDatabase();
        FAIL() << "started on an empty database";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "The file " + first.path +
                                             " holds none of the tariff's tables: it is not a "
                                             "tariff database.");
        ASSERT_EQ(OfferToSetDamagedDatabaseAside(e, start), DamagedStart::SetAside);
    }
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, "Damaged database");
    EXPECT_TRUE(messageScript.Log()[0].text.contains(QString::fromStdString(first.path)));
    EXPECT_TRUE(messageScript.Log()[0].text.contains("(it is renamed, not deleted)"));
    EXPECT_TRUE(fs::exists(start.previous));
    EXPECT_EQ(fs::file_size(start.previous), 0u);
    EXPECT_EQ(StartOnUserDatabase().path, start.path);
    EXPECT_EQ(GetConfigValue("VERSION_currver", ""), "12.0.1");
}

// A new tariff in the application folder: its effective date and a version of its own.
void ShipTariff(const ScratchAppFolder& app, const std::string& effective,
                const std::string& version) {
    CloseAll();
    app.writeFile("data/effdate.dat", effective + "\n");
    Database shipped(app.file("data/x2007.mdb").string());
    shipped.Execute("UPDATE tblConfig SET valuef = ? WHERE keyf = 'VERSION_currver'", {version});
}

// Two updates answered No: the copy of the first update is a fresh one that holds nothing of
// the customer's. The second update's offer, and the upgrade window's file dialog, go to the
// copy that does.
TEST_F(TariffUpdateTest, AfterUpdatesAnsweredNoTheOfferIsOfTheCopyThatHoldsTheCustomersData) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddShippingLocation("606");
    StoreBillBL606();
    ShipTariff(app, "April 1, 2008", "13.0.0");
    const UserDatabaseStart second = StartOnUserDatabase();
    OfferTariffUpdate(second);  // No, the question's default
    ShipTariff(app, "May 1, 2009", "14.0.0");
    const UserDatabaseStart third = StartOnUserDatabase();
    ASSERT_EQ(third.previous, second.path);
    OfferTariffUpdate(third);
    const auto& log = messageScript.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[0].text.contains("are in the previous database."));
    EXPECT_TRUE(log[1].text.contains(
        QStringLiteral("Your discounts, shipping locations and bills of lading are in an earlier "
                       "database:\n%1\n\nCopy them into the new one now?")
            .arg(QString::fromStdString(first.path))))
        << log[1].text.toStdString();
    EXPECT_EQ(LoadedUpgradeWindow(), nullptr);

    // Later, Customize -> "Transfer Disc/BOL...": the file dialog starts on that copy too.
    UserCancelsTheFileDialog();
    AskForTheEarlierDatabaseWhenTheWindowIsUp();
    ShowUpgradeWindow();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ((requests[0].InitDir + "/" + requests[0].FileName).toStdString(), first.path);
    EXPECT_EQ(messageScript.Log().size(), 2u);  // nothing more to say

    // Yes to the offer brings the rows across from that copy.
    ShipTariff(app, "June 1, 2010", "15.0.0");
    const UserDatabaseStart fourth = StartOnUserDatabase();
    UserTakesTheProposedFile();
    messageScript.Queue(kIdYes);
    UpgradeBothGroupsWhenTheWindowIsUp();
    OfferTariffUpdate(fourth);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ((requests[1].InitDir + "/" + requests[1].FileName).toStdString(), first.path);
    EXPECT_EQ(StoredShipLocations(), std::vector<std::string>{"606"});
    EXPECT_EQ(Rows(*tariff.gDB, "Bills", "\"BL number\""), Lines{"BL-606"});
}

// Nothing of the customer's in any earlier copy: the update says so and offers nothing, and the
// upgrade window says so before its file dialog.
TEST_F(TariffUpdateTest, WhenNoEarlierCopyHoldsTheCustomersDataTheUpdateAndTheTransferSaySo) {
    StartOnUserDatabase();
    SetConfigValue("FSC_fsc", "05.5");  // the user's settings are carried, not copied later
    ShipTariff(app, "April 1, 2008", "13.0.0");
    const UserDatabaseStart update = StartOnUserDatabase();
    OfferTariffUpdate(update);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    const auto& said = messageScript.Log()[0];
    EXPECT_EQ(said.title, "Tariff update");
    EXPECT_TRUE(said.text.endsWith(
        "None of your earlier databases holds discounts, shipping locations or bills of lading "
        "of your own, so there is nothing to copy into the new one."))
        << said.text.toStdString();
    EXPECT_EQ(LoadedUpgradeWindow(), nullptr);

    UserCancelsTheFileDialog();
    AskForTheEarlierDatabaseWhenTheWindowIsUp();
    ShowUpgradeWindow();
    ASSERT_EQ(messageScript.Log().size(), 2u);
    EXPECT_EQ(messageScript.Log()[1].title, "Nothing To Transfer");
    EXPECT_TRUE(messageScript.Log()[1].text.contains(QString::fromStdString(UserDataFolder())));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].InitDir.startsWith(QString::fromStdString(UserDataFolder())))
        << requests[0].InitDir.toStdString();
}

// The program ended at the "Tariff update" question (killed, say): the customer's pricing and
// bills are still in the previous copy, and the next start asks again, until the user answers.
TEST_F(TariffUpdateTest, AnUpdateEndedAtItsQuestionIsOfferedAgainAtTheNextStart) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddShippingLocation("606");
    StoreBillBL606();
    ShipTariff(app, "April 1, 2008", "13.0.0");
    const UserDatabaseStart update = StartOnUserDatabase();
    ASSERT_EQ(update.previous, first.path);
    // Ended before the question was answered: nothing of the start is kept but its files.
    CloseAll();

    for (int start = 0; start < 2; ++start) {
        const UserDatabaseStart again = StartOnUserDatabase();
        EXPECT_EQ(again.path, update.path);
        EXPECT_EQ(again.previous, first.path);
        EXPECT_EQ(again.notice, update.notice);
        EXPECT_TRUE(StoredShipLocations().empty());
        if (start == 1) OfferTariffUpdate(again);  // answered No, the question's default
    }
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, "Tariff update");
    EXPECT_TRUE(messageScript.Log()[0].text.contains(
        "Your discounts, shipping locations and bills of lading are in the previous database.  "
        "Copy them into the new one now?"));

    // Answered: the next start works on the new copy without a word.
    const UserDatabaseStart answered = StartOnUserDatabase();
    EXPECT_EQ(answered.path, update.path);
    EXPECT_TRUE(answered.previous.empty());
    EXPECT_TRUE(answered.notice.empty());
    OfferTariffUpdate(answered);
    EXPECT_EQ(messageScript.Log().size(), 1u);
}

// The same for a damaged copy set aside: ended before its offer was answered, the next start
// offers again to copy whatever can still be read of it.
TEST_F(TariffUpdateTest, ADamagedCopySetAsideIsOfferedAgainWhenTheProgramEndedAtTheQuestion) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddShippingLocation("606");
    CloseAll();
    fs::resize_file(first.path, fs::file_size(first.path) / 2);
    UserDatabaseStart setAside;
    messageScript.Queue(kIdYes);
    ASSERT_NE(StartOffering(setAside), "");
    ASSERT_TRUE(setAside.setAside);
    CloseAll();  // ended at the offer that follows

    const UserDatabaseStart again = StartOnUserDatabase();
    EXPECT_EQ(again.path, setAside.path);
    EXPECT_TRUE(again.setAside);
    EXPECT_EQ(again.previous, setAside.previous);
    EXPECT_EQ(again.notice, setAside.notice);
    UserCancelsTheFileDialog();
    messageScript.Queue(kIdYes);
    AskForTheEarlierDatabaseWhenTheWindowIsUp();
    OfferTariffUpdate(again);
    const auto& log = messageScript.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].title, "Damaged database");
    EXPECT_TRUE(log[1].text.contains("Copy whatever can still be read"));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ((requests[0].InitDir + "/" + requests[0].FileName).toStdString(), setAside.previous);

    // Answered Yes: asked no more.
    const UserDatabaseStart answered = StartOnUserDatabase();
    EXPECT_EQ(answered.path, setAside.path);
    EXPECT_TRUE(answered.notice.empty());
    EXPECT_FALSE(answered.setAside);
}

// Makes the offer inside the program's event loop and ends the program, as an orderly close
// does, once `up` says the window to end it in is showing. Returns whether that window showed.
bool OfferEndedWhen(const UserDatabaseStart& start, const std::function<bool()>& up) {
    bool shown = false;
    QTimer closing;
    QObject::connect(&closing, &QTimer::timeout, [&] {
        if (!up()) return;
        shown = true;
        // What the main window's unloading does at the end of an orderly close.
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(0, [&] {
        closing.start(20);
        OfferTariffUpdate(start);
        closing.stop();
    });
    QApplication::exec();
    return shown;
}

// An orderly close (as a logout asks) while the question is up closes the question too, which
// then reads as its default answer, No: nobody answered it, and the next start asks again.
TEST_F(TariffUpdateTest, AnOrderlyCloseAtTheQuestionIsNoAnswer) {
    StartOnUserDatabase();
    AddShippingLocation("606");
    ShipTariff(app, "April 1, 2008", "13.0.0");
    const UserDatabaseStart update = StartOnUserDatabase();
    messageScript.Reset();  // the real question, on the screen
    ASSERT_TRUE(OfferEndedWhen(update, [] {
        return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
    }));
    messageScript.Start();

    const UserDatabaseStart again = StartOnUserDatabase();
    EXPECT_EQ(again.path, update.path);
    EXPECT_FALSE(again.previous.empty());
    EXPECT_EQ(again.notice, update.notice);
}

// Yes, then the program ended inside the upgrade window before it copied anything (a logout, a
// kill): the data are still in the earlier copy, so the next start offers again.
TEST_F(TariffUpdateTest, AYesEndedInTheUpgradeWindowBeforeACopyIsOfferedAgain) {
    StartOnUserDatabase();
    AddShippingLocation("606");
    ShipTariff(app, "April 1, 2008", "13.0.0");
    const UserDatabaseStart update = StartOnUserDatabase();
    messageScript.Queue(kIdYes);  // copy the data across now
    ASSERT_TRUE(OfferEndedWhen(update, [] { return LoadedUpgradeWindow() != nullptr; }));
    EXPECT_TRUE(StoredShipLocations().empty());

    const UserDatabaseStart again = StartOnUserDatabase();
    EXPECT_EQ(again.path, update.path);
    EXPECT_FALSE(again.previous.empty());
    EXPECT_EQ(again.notice, update.notice);
}

// The customer's data split across copies: the bills and a discount in the first copy, an update
// answered No, the discount changed in that update's copy, then another update. The offer names
// each group's copy, and the upgrade copies each group from its own.
TEST_F(TariffUpdateTest, PricingAndBillsInDifferentCopiesAreEachOfferedAndCopiedFromTheirOwn) {
    auto setDomesticDiscount = [](const std::string& percent) {
        SimpleDiscountValues values = LoadSimpleDiscounts();
        values[SimpleBox::USA] = percent;
        ASSERT_TRUE(SimpleDiscountDone(values));
    };
    const UserDatabaseStart march = StartOnUserDatabase();
    setDomesticDiscount("40.0");
    StoreBillBL606();
    ShipTariff(app, "June 1, 2008", "13.0.0");
    const UserDatabaseStart june = StartOnUserDatabase();
    OfferTariffUpdate(june);  // No, the question's default
    setDomesticDiscount("42.0");
    ShipTariff(app, "September 1, 2008", "14.0.0");
    const UserDatabaseStart september = StartOnUserDatabase();
    ASSERT_EQ(september.previous, june.path);

    messageScript.Queue(kIdYes);
    UpgradeBothGroupsWhenTheWindowIsUp();
    OfferTariffUpdate(september);
    const auto& log = messageScript.Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_TRUE(log[1].text.endsWith(
        QStringLiteral("Your discounts and shipping locations are in the previous database:\n%1"
                       "\n\nYour bills of lading are in an earlier database:\n%2\n\nCopy them "
                       "into the new one now?")
            .arg(QString::fromStdString(june.path), QString::fromStdString(march.path))))
        << log[1].text.toStdString();
    EXPECT_EQ(log.back().text, "Upgrade finished");
    // The pricing from June, the new database, then the bills from March.
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ((requests[0].InitDir + "/" + requests[0].FileName).toStdString(), june.path);
    EXPECT_EQ((requests[1].InitDir + "/" + requests[1].FileName).toStdString(), september.path);
    EXPECT_EQ((requests[2].InitDir + "/" + requests[2].FileName).toStdString(), march.path);

    EXPECT_EQ(tariff.gDB->Path(), september.path);
    EXPECT_EQ(LoadSimpleDiscounts()[SimpleBox::USA], "42.0");
    EXPECT_EQ(Rows(*tariff.gDB, "Bills", "\"BL number\""), Lines{"BL-606"});
    EXPECT_EQ(Rows(*tariff.gDB, "BL parties", "Name").size(), 2u);
    EXPECT_EQ(Rows(*tariff.gDB, "Commodity", "Description").size(), 1u);
}

// At start the main window is on the screen before the window system has activated it. The
// question, the upgrade window and its file dialog each belong to a window on the screen (the
// one each opens over), never to the program as a whole, which some window managers stack
// beneath; the user answers each with the keys and the pointer, and Escape closes the dialog.
TEST_F(TariffUpdateTest,
       AtStartTheQuestionTheUpgradeWindowAndItsFileDialogEachHaveAnOwnerOnScreen) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddShippingLocation("606");  // something of the customer's for the update to offer
    CloseAll();
    app.writeFile("data/effdate.dat", "April 1, 2008\n");
    const UserDatabaseStart update = StartOnUserDatabase();
    ASSERT_EQ(update.previous, first.path);

    QWidget main;
    main.setWindowTitle(QStringLiteral("main"));
    main.resize(400, 300);
    SetProgramMainWindow(&main);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QApplication::setActiveWindow(nullptr);  // not yet activated

    messageScript.Reset();        // the real windows, answered by the user below
    SetOpenFileChooser(nullptr);  // the desktop's file dialog
    // What opened, in turn: its class, its own window and the window it was transient for.
    struct Opened {
        std::string what;
        QWindow* own;
        QWindow* owner;
    };
    std::vector<Opened> opened;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* top = QApplication::activeModalWidget();
        if (!top || !top->isVisible() || !top->windowHandle()) return;
        std::string what = top->metaObject()->className();
        if (!opened.empty() && opened.back().what == what) return;
        opened.push_back({what, top->windowHandle(), top->windowHandle()->transientParent()});
        if (auto* box = qobject_cast<QMessageBox*>(top)) {
            QTest::keyClick(box, Qt::Key_Return);  // Yes, the default button
        } else if (auto* window = qobject_cast<frmUpgrade*>(top)) {
            // Not from inside this timer, which the file dialog's wait would hold up.
            QTimer::singleShot(0, window, [window] {
                QTest::mouseClick(window->chkBL, Qt::LeftButton, {}, QPoint(8, 8));
                QTest::mouseClick(window->lblUpgrade, Qt::LeftButton);
                // Back from the file dialog: the upgrade window takes Escape again.
                QTest::keyClick(window, Qt::Key_Escape);
            });
        } else if (auto* dialog = qobject_cast<QFileDialog*>(top)) {
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
        }
    });
    user.start(20);
    OfferTariffUpdate(update);
    user.stop();
    SetProgramMainWindow(nullptr);

    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0].what, "QMessageBox");
    EXPECT_EQ(opened[0].owner, main.windowHandle());
    EXPECT_EQ(opened[1].what, "frmUpgrade");
    EXPECT_EQ(opened[1].owner, main.windowHandle());
    EXPECT_EQ(opened[2].what, "QFileDialog");
    EXPECT_EQ(opened[2].owner, opened[1].own);
    EXPECT_EQ(LoadedUpgradeWindow(), nullptr);  // Escape closed it, nothing copied
    EXPECT_EQ(mainUnloads, 0);
}

}  // namespace
