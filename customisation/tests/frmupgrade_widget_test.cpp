// The upgrade window: what it asks, where its file dialogs start, which files it refuses, the
// messages it shows, and the end of the program that closing it after an upgrade brings.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>
#include <deque>
#include <filesystem>

#include "../../platform/tests/drawncolours.h"
#include "earlieredition.h"
#include "frmupgrade.h"
#include "labelbutton.h"
#include "lockedfiles.h"
#include "messagebox.h"
#include "settings.h"
#include "tariffdb.h"
#include "upgrade.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

class FrmUpgradeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LoadStatesFile();
        OpenTariffDatabase();
        InitClassTables();  // as the main window's load does; the commodity check reads them
        messageScript.Reset();
        messageScript.Start();
        SetOpenFileChooser([this](const OpenFileRequest& request) {
            requests.push_back(request);
            std::optional<QString> answer;
            if (!files.empty()) {
                answer = files.front();
                files.pop_front();
            }
            return answer;
        });
        SetUpgradeMainWindowUnload([this] { ++mainUnloads; });
        AddEarlierBill(earlier, 4, "old");
        tariff.gDB->Execute("INSERT INTO Bills (\"BL ID\", \"BL number\") VALUES (1, 'B-1')");
        form = std::make_unique<frmUpgrade>();
    }
    void TearDown() override {
        form.reset();
        SetOpenFileChooser(nullptr);
        SetUpgradeMainWindowUnload(nullptr);
        messageScript.Reset();
        CloseAll();
    }

    // The messages shown since the last look, as "title: text (style)".
    Lines TakeMessages() {
        Lines out;
        for (const auto& m : messageScript.Log())
            out.push_back(
                (m.title + ": " + m.text + " (" + QString::number(m.style) + ")").toStdString());
        messageScript.ClearLog();
        return out;
    }
    Lines Bills() { return Rows(*tariff.gDB, "Bills", "\"BL number\""); }
    QString Own() { return QString::fromStdString(app.file("data/x2007.mdb").string()); }
    QString Earlier() { return QString::fromStdString(earlier.path()); }

    ScratchAppFolder app;
    EarlierEdition earlier{app};
    std::unique_ptr<frmUpgrade> form;
    std::deque<QString> files;
    std::vector<OpenFileRequest> requests;
    int mainUnloads = 0;
};

const std::string kFinished = "Thanks for choosing Norvale Freight!: Upgrade finished (64)";

TEST_F(FrmUpgradeTest, OpensOnTheLatestEditionWithNothingTicked) {
    EXPECT_EQ(form->windowTitle(), "Norvale Freight Fretlyn2007 Upgrader");
    EXPECT_EQ(form->hdlUpgrade->text(), "Fretlyn2007 Upgrader");
    EXPECT_EQ(form->Frame1->title(), "Step 1:  Choose the upgrade path -- Import the data from");
    EXPECT_EQ(form->Frame2->title(), "Step 2:  Choose the Items to Upgrade");
    EXPECT_TRUE(form->opt2006->isChecked());
    EXPECT_EQ(form->opt2002->text(), "FL2002");
    EXPECT_FALSE(form->chkDiscounts->isChecked());
    EXPECT_FALSE(form->chkBL->isChecked());
    EXPECT_EQ(form->chkDiscounts->text(), "Discount && F.A.K. Profile (&& Shipping Locations)");
}

TEST_F(FrmUpgradeTest, NothingTickedOpensNoDialog) {
    form->lblUpgrade_Click();
    EXPECT_EQ(TakeMessages(), Lines{"Nothing To Do: You have chosen nothing to upgrade.  \n"
                                    "Please check at least one box and try again. (48)"});
    EXPECT_TRUE(requests.empty());
}

TEST_F(FrmUpgradeTest, TheFirstDialogStartsInTheChosenEditionsFolder) {
    form->opt2004->setChecked(true);
    form->chkBL->setChecked(true);
    form->lblUpgrade_Click();  // cancelled
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].DialogTitle, "Where is your the database from which you are upgrading?");
    // The old installation folder on drive C becomes one under the user's home.
    EXPECT_EQ(
        requests[0].InitDir.toStdString(),
        (fs::path(QDir::homePath().toStdString()) / "Qamaris/Norvale Fretlyn2004/data").string());
    EXPECT_EQ(requests[0].FileName, "x2004.mdb");
    EXPECT_EQ(requests[0].Filter, "*.mdb");
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(Bills(), Lines{"B-1"});
}

TEST_F(FrmUpgradeTest, AMissingEarlierFileIsReportedWithItsNumber) {
    form->opt2004->setChecked(true);
    form->chkDiscounts->setChecked(true);
    const fs::path missing = app.path() / "nowhere" / "x2004.mdb";
    files = {QString::fromStdString(missing.string())};
    form->lblUpgrade_Click();
    const Lines shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("Error: There was a problem opening your\nFretlyn2004 customization\n"
                             "database.  Error number is 3024\nPlease correct the problem and \n"
                             "try again.\n\n",
                             0),
              0u)
        << shown[0];
    EXPECT_EQ(requests.size(), 1u);  // the current database is not asked for
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(FrmUpgradeTest, TheTargetMustBeTheProgramsOwnDatabase) {
    form->chkBL->setChecked(true);
    const fs::path other = app.path() / "x2007.mdb";
    fs::copy_file(app.file("data/x2007.mdb"), other);
    files = {Earlier(), QString::fromStdString(other.string())};
    form->lblUpgrade_Click();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].DialogTitle, "Where is your Fretlyn2007 customization database?");
    EXPECT_EQ(requests[1].InitDir.toStdString(), app.path().string() + "/data");
    EXPECT_EQ(requests[1].FileName, "x2007.mdb");
    const Lines shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(
        shown[0].find("Fretlyn2007 keeps its customization database in\n" + Own().toStdString()),
        std::string::npos)
        << shown[0];
    EXPECT_EQ(Bills(), Lines{"B-1"});
    Database untouched(other.string());
    EXPECT_EQ(Rows(untouched, "Bills", "\"BL number\""), Lines{"B-1"});
    EXPECT_FALSE(form->Upgraded());
}

TEST_F(FrmUpgradeTest, TheSameFileAsSourceAndTargetIsRefused) {
    form->chkBL->setChecked(true);
    // The program's database, reached once by another path.
    files = {QString::fromStdString((app.path() / "data" / ".." / "data" / "x2007.mdb").string()),
             Own()};
    form->lblUpgrade_Click();
    const Lines shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("Error: You chose the same file to upgrade from and to.", 0), 0u)
        << shown[0];
    EXPECT_EQ(Bills(), Lines{"B-1"});
}

TEST_F(FrmUpgradeTest, AnUpgradeCopiesTheGroupsAndDoneEndsTheProgram) {
    form->opt2005->setChecked(true);
    form->chkDiscounts->setChecked(true);
    form->chkBL->setChecked(true);
    files = {Earlier(), Own()};
    messageScript.Queue(kIdYes);
    messageScript.Queue(kIdYes);
    form->lblUpgrade_Click();
    const Lines shown = TakeMessages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].rfind("Confirm: This will remove all discount\n", 0), 0u);
    EXPECT_NE(shown[0].find("Fretlyn2005.  Are you sure? (292)"), std::string::npos);
    EXPECT_EQ(shown[1].rfind("Confirm: This will remove all Bill of Lading\n", 0), 0u);
    EXPECT_EQ(shown[2], kFinished);
    EXPECT_EQ(Bills(), Lines{"old"});
    EXPECT_TRUE(form->Upgraded());
    EXPECT_TRUE(earlier.Unchanged());
    EXPECT_EQ(mainUnloads, 0);

    form->lblDone_Click();
    EXPECT_EQ(mainUnloads, 1);
    EXPECT_FALSE(form->isVisible());
}

// Another program holds the earlier file: the message names that file, not the program's own.
TEST_F(FrmUpgradeTest, ALockedEarlierFileIsNamedInTheMessage) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // On the box's own square, at its left end.
    QTest::mouseClick(form->chkBL, Qt::LeftButton, {}, QPoint(8, form->chkBL->height() / 2));
    ASSERT_TRUE(form->chkBL->isChecked());
    files = {Earlier(), Own()};
    HeldLock other(earlier.path(), "EXCLUSIVE");
    QTest::mouseClick(form->lblUpgrade, Qt::LeftButton);
    const Lines shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("Error number is 3218"), std::string::npos) << shown[0];
    EXPECT_NE(shown[0].find("The database " + earlier.path() + " is locked by another program."),
              std::string::npos)
        << shown[0];
    EXPECT_EQ(shown[0].find("x2007.mdb"), std::string::npos) << shown[0];
    EXPECT_EQ(Bills(), Lines{"B-1"});
    EXPECT_FALSE(form->Upgraded());
}

TEST_F(FrmUpgradeTest, ClosingTheWindowAfterAnUpgradeEndsTheProgramToo) {
    form->chkBL->setChecked(true);
    files = {Earlier(), Own()};
    messageScript.Queue(kIdYes);
    form->show();
    form->lblUpgrade_Click();
    EXPECT_EQ(TakeMessages().back(), kFinished);
    form->reject();  // the close box and Escape
    EXPECT_EQ(mainUnloads, 1);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FrmUpgradeTest, ClosingTheWindowWithoutAnUpgradeKeepsTheProgram) {
    form->chkDiscounts->setChecked(true);
    form->chkBL->setChecked(true);
    files = {Earlier(), Own()};
    form->show();
    form->lblUpgrade_Click();  // both confirmations answered No
    const Lines shown = TakeMessages();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[1], "Action canceled: Click OK. (48)");
    EXPECT_EQ(shown[3], "Action canceled: Click OK. (48)");
    EXPECT_EQ(Bills(), Lines{"B-1"});
    form->reject();
    EXPECT_EQ(mainUnloads, 0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FrmUpgradeTest, DoneEndsTheProgramEvenWithoutAnUpgrade) {
    form->lblDone_Click();
    form->lblDone_Click();
    EXPECT_EQ(mainUnloads, 1);
}

TEST_F(FrmUpgradeTest, TheLabelUnderTheMouseTurnsBlue) {
    emit form->lblUpgrade->mouseMoved();
    EXPECT_EQ(form->lblUpgrade->ForeColor(), 0xFF0000u);
    emit form->lblDone->mouseMoved();
    EXPECT_EQ(form->lblDone->ForeColor(), 0xFF0000u);
    EXPECT_EQ(form->lblUpgrade->ForeColor(), 0u);
    EXPECT_EQ(LabelForeColor(form->hdlUpgrade), 0xFFFFFFu);  // the heading keeps its colour
}

// Every control lies inside its parent and every text fits its control.
TEST_F(FrmUpgradeTest, NothingIsClipped) {
    form->show();
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->parentWidget()) continue;
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
            << w->objectName().toStdString();
        if (!w->objectName().isEmpty() && !qobject_cast<QGroupBox*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        }
    }
    if (const char* shot = std::getenv("FRETLYN_UPGRADE_SHOT")) form->grab().save(shot);
}

// On a dark desktop the window's commands, black and blue under the pointer, still read: the
// window paints the ground they stand on, as the program's other windows do.
TEST_F(FrmUpgradeTest, UnderADarkDesktopPaletteEveryTextReads) {
    const PaletteScope dark(DarkDesktopPalette());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QTest::mouseMove(form.get(), QPoint(2, form->height() - 2));
    QTest::mouseMove(form.get(), QPoint(4, form->height() - 2));
    for (QWidget* control : std::initializer_list<QWidget*>{
             form->lblUpgrade, form->lblDone, form->chkDiscounts, form->chkBL, form->opt2006})
        EXPECT_GE(Drawn(*form, control).contrast(), 4.5) << control->objectName().toStdString();
    // Under the pointer a command turns blue, and still reads.
    const QPoint upgrade = form->lblUpgrade->geometry().center();
    for (int x = 4; x < upgrade.x(); x += 6)
        QTest::mouseMove(
            form.get(),
            QPoint(x, form->height() - 2 + (upgrade.y() - form->height() + 2) * x / upgrade.x()));
    QTest::mouseMove(form.get(), upgrade);
    ASSERT_EQ(form->lblUpgrade->ForeColor(), 0xFF0000u);
    EXPECT_GE(Drawn(*form, form->lblUpgrade).contrast(), 4.5);
}

}  // namespace
