#include "form3.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>

#include "commodity.h"
#include "displayquote.h"
#include "form3fixture.h"
#include "form3menu.h"
#include "handcursor.h"
#include "labelbutton.h"
#include "messagebox.h"
#include "msgbox.h"
#include "numbers.h"
#include "offshore.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"
#include "testdata.h"
#include "userinput.h"

namespace fs = std::filesystem;

namespace {

using Form3Test = MainWindowFixture;

TEST_F(Form3Test, LoadsTheDataAndShowsTheEffectiveDateInTheTitle) {
    Load();
    EXPECT_EQ(form->windowTitle().toStdString(),
              "Norvale Fretlyn2007 -- rates effective " + tariff.gEffDate);
    EXPECT_FALSE(tariff.gEffDate.empty());
    EXPECT_EQ(tariff.gOrigCountry, 99);
    EXPECT_EQ(tariff.gDestCountry, 99);
    for (auto* box : form->cmbclass) {
        EXPECT_EQ(box->count(), 18);
        EXPECT_EQ(box->currentText(), "100");
    }
    // The hand cursor ships with the program and is a real cursor, not the toolkit's.
    const QString cur = QString::fromStdString(AppFolder() + "graphics/finger.cur");
    ASSERT_TRUE(ReadCursorHotSpot(cur).has_value());
    EXPECT_EQ(*ReadCursorHotSpot(cur), QPoint(5, 0));
    EXPECT_EQ(LoadHandCursor(cur).shape(), Qt::BitmapCursor);
}

TEST_F(Form3Test, TheBlanksAboutTheEffectiveDateStayOutOfTheTitle) {
    app.writeFile("data/effdate.dat", "   April 1, 2008  \r\n");
    Load();
    EXPECT_EQ(form->windowTitle(), "Norvale Fretlyn2007 -- rates effective April 1, 2008");
}

// A default class the window never saves ("7,5", a blank) is named at load, not passed over
// as a box without a default; choosing a class there saves it again at the close.
TEST_F(Form3Test, ADamagedDefaultClassIsNamedAndSetAgainByChoosingOne) {
    Set("DC_defclass2", "7,5");
    form = std::make_unique<Form3>();
    form->Form_Load();
    const Messages said = TakeMessages();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].rfind("Default Classes: The setting DC_defclass2 (the default class of line "
                            "3) in the database ",
                            0),
              0u)
        << said[0];
    EXPECT_NE(said[0].find("holds \"7,5\", which is not one of the tariff's classes"),
              std::string::npos)
        << said[0];
    EXPECT_EQ(form->cmbclass[2]->currentText(), "");
    EXPECT_EQ(form->cmbclass[1]->currentText(), "100");

    ::ShowActive(*form);
    ClickOn(*form, form->cmbclass[2]);
    TypeKeys("85");
    PressKey(Qt::Key_Tab);
    form->close();
    form = std::make_unique<Form3>();
    form->Form_Load();
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(form->cmbclass[2]->currentText(), "85");
}

TEST_F(Form3Test, ALoadErrorIsRaisedAndNothingStaysOpen) {
    std::filesystem::remove(app.file("data/cxmap.dat"));
    form = std::make_unique<Form3>();
    EXPECT_THROW(form->Form_Load(), std::exception);
    EXPECT_FALSE(tariff.gDB);
}

// When the start set a damaged database aside, it loads the same window again on the fresh copy.
TEST_F(Form3Test, ALoadMadeAgainFillsTheWindowAfresh) {
    Load();
    CloseAll();
    form->Form_Load();
    EXPECT_TRUE(tariff.gDB);
    for (auto* box : form->cmbclass) {
        EXPECT_EQ(box->count(), 18);
        EXPECT_EQ(box->currentText(), "100");
    }
}

TEST_F(Form3Test, ZipCodesAreTrimmedVerifiedAndGiveTheServiceStandard) {
    Load();
    EnterOrigin(" 55401 ");
    EXPECT_EQ(form->txtozip->text(), "55401");
    EXPECT_EQ(tariff.gOrigCountry, 0);
    EXPECT_EQ(form->lblOrigCityState->text(), "MINNEAPOLIS, MN");
    EXPECT_TRUE(form->lblService->text().isEmpty());

    EnterDestination("60601");
    EXPECT_EQ(tariff.gDestCountry, 0);
    EXPECT_EQ(form->lblDestCityState->text(), "CHICAGO, IL");
    EXPECT_GE(rating.gServiceDays, 1);
    EXPECT_LE(rating.gServiceDays, 6);
    EXPECT_TRUE(form->lblService->text().startsWith("Norvale Freight Service Standard: \u00bb"));
    EXPECT_TRUE(TakeMessages().empty());

    // Typing in the box makes the end not verified again.
    ClickOn(*form, form->txtozip);
    PressKey(Qt::Key_End);
    PressKey(Qt::Key_Backspace);
    EXPECT_EQ(form->txtozip->text(), "5540");
    EXPECT_EQ(tariff.gOrigCountry, 99);
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(TakeMessages(),
              Messages{"Data Entry Error: Origin was not verified.  Please try again."});
    EXPECT_TRUE(form->lblOrigCityState->text().isEmpty());
}

TEST_F(Form3Test, PostalCodesAreUpperCasedAsTypedWithOrWithoutTheBlank) {
    Load();
    ::ShowActive(*form);
    ClickOn(*form, form->txtozip);
    TypeKeys("m5v 2t6");
    EXPECT_EQ(form->txtozip->text(), "M5V 2T6");
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(tariff.gOrigCountry, 1);
    EXPECT_EQ(tariff.gOrigState, "ON");

    EnterDestination("H2Y1A1");
    EXPECT_EQ(tariff.gDestCountry, 1);
    EXPECT_EQ(tariff.gDestState, "QC");
    // Two Canadian ends rate by density.
    EXPECT_FALSE(form->txtDensity[0]->isHidden());
    EXPECT_TRUE(form->cmbclass[0]->isHidden());
    EXPECT_EQ(form->lblclass[2]->text(), "Density");

    EnterDestination("60601");
    EXPECT_TRUE(form->txtDensity[0]->isHidden());
    EXPECT_FALSE(form->cmbclass[4]->isHidden());
    EXPECT_EQ(form->lblclass[2]->text(), "Class");
}

TEST_F(Form3Test, CityNamesFindOneSeveralOrNoPlaces) {
    Load();
    // One place: verified at once, the list stays hidden.
    EnterOrigin("bois d'arc");
    EXPECT_EQ(tariff.gOrigCountry, 0);
    EXPECT_EQ(form->txtozip->text(), "BOIS D'ARC, MO");
    EXPECT_EQ(form->lblOrigCityState->text(), "BOIS D'ARC, MO");
    EXPECT_TRUE(form->lstCities->isHidden());
    EXPECT_FALSE(mainState.gLocked);

    // Several places, in two states: the list offers each once and locks the window.
    EnterDestination("O'Fallon");
    EXPECT_TRUE(mainState.gLocked);
    EXPECT_FALSE(form->lstCities->isHidden());
    ASSERT_EQ(form->lstCities->count(), 2);
    EXPECT_EQ(form->lstCities->item(0)->text(), "O'FALLON, IL");
    EXPECT_EQ(form->lstCities->item(1)->text(), "O'FALLON, MO");
    // While the choice is pending, leaving the window is not possible.
    ClickLabel(form->lblExit);
    EXPECT_TRUE(TakeMessages().empty());

    QTest::mouseClick(form->lstCities->viewport(), Qt::LeftButton, Qt::NoModifier,
                      form->lstCities->visualItemRect(form->lstCities->item(1)).center());
    EXPECT_FALSE(mainState.gLocked);
    EXPECT_TRUE(form->lstCities->isHidden());
    EXPECT_EQ(tariff.gDestCountry, 0);
    EXPECT_EQ(tariff.gDestState, "MO");
    EXPECT_EQ(form->txtdzip->text(), "O'FALLON, MO");
    EXPECT_EQ(form->lblDestCityState->text(), "O'FALLON, MO");
    EXPECT_FALSE(form->lblService->text().isEmpty());

    // No place at all.
    EnterDestination("Nowhereville");
    EXPECT_EQ(TakeMessages(),
              Messages{"Data Entry Error: Destination was not verified.  Please try again."});
    EXPECT_EQ(tariff.gDestCountry, 99);
}

TEST_F(Form3Test, ACityInStatesAndProvincesListsBoth) {
    Load();
    EnterDestination("Windsor");
    ASSERT_TRUE(mainState.gLocked);
    bool us = false, canada = false;
    for (int i = 0; i < form->lstCities->count(); ++i) {
        const QString t = form->lstCities->item(i)->text();
        us |= t.endsWith(", CT");
        canada |= t.endsWith(", ON");
        for (int j = 0; j < i; ++j) EXPECT_NE(form->lstCities->item(j)->text(), t);
    }
    EXPECT_TRUE(us && canada);
    // Nothing chosen: the list insists.
    form->lstCities_Click();
    EXPECT_EQ(TakeMessages(), Messages{"Data Entry Error: Destination was not verified.  Choose a "
                                       "city.  Please try again."});
    EXPECT_TRUE(mainState.gLocked);
}

TEST_F(Form3Test, OffshoreDestinationsFollowTheirRules) {
    Load();
    EnterOrigin("60601");

    // Alaska by ZIP is refused; it is rated by city.
    EnterDestination("99501");
    EXPECT_EQ(TakeMessages(), Messages{"Zip entry error: Alaska can only be rated by city"});
    EXPECT_EQ(tariff.gDestCountry, 99);
    EXPECT_EQ(form->txtdzip->text(), "99501");

    // Hawaii shows the ocean cube and the will-call box.
    EnterDestination("96813");
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_FALSE(form->txtOceanDensity->isHidden());
    EXPECT_FALSE(form->chkHawaiiWillCall->isHidden());
    EXPECT_TRUE(offshore.gIsHI);

    // A will-call ZIP typed as a code is refused and keeps its text.
    EnterDestination("96742");
    EXPECT_EQ(
        TakeMessages(),
        Messages{
            "Special Service: Please contact your Norvale Service Center about this shipment"});
    EXPECT_EQ(form->txtdzip->text(), "96742");
    EXPECT_EQ(tariff.gDestCountry, 99);

    // Puerto Rico shows no service standard.
    form->txtdzip_GotFocus();
    form->lblService->clear();
    VerifyDestinationInPlace("00901");
    EXPECT_TRUE(offshore.gIsPR);
    EXPECT_TRUE(form->lblService->text().isEmpty());
    EXPECT_FALSE(form->txtOceanDensity->isHidden());
    EXPECT_TRUE(form->chkHawaiiWillCall->isHidden());

    // Back to the mainland: the kept offshore values go.
    // The step above never left the box, so its return is given from inside too.
    form->txtdzip_GotFocus();
    EnterDestination("55401");
    EXPECT_FALSE(offshore.gIsPR);
    EXPECT_TRUE(rating.gOffshoreDestZip.empty());
    EXPECT_TRUE(form->txtOceanDensity->isHidden());
}

TEST_F(Form3Test, AnOffshoreOriginIsRefusedWithoutTouchingTheDestination) {
    Load();
    EnterDestination("60601");
    const std::string destZip = tariff.gDestZip;
    EnterOrigin("96813");
    EXPECT_EQ(TakeMessages(), Messages{"NORVALE Service: Contact your NORVALE representative about "
                                       "outbound service from Hawaii."});
    EXPECT_EQ(tariff.gOrigCountry, 99);
    EXPECT_TRUE(form->txtozip->text().isEmpty());
    EXPECT_EQ(tariff.gDestZip, destZip);
    EXPECT_EQ(tariff.gDestCountry, 0);
    EXPECT_FALSE(offshore.gIsHI);
}

TEST_F(Form3Test, TheClassCheckTakesOnlyTheEighteenClasses) {
    Load();
    TypeInto(form->cmbclass[0]->lineEdit(), "77.5");
    EXPECT_TRUE(TakeMessages().empty());
    for (const char* bad : {"77", " 100", ""}) {
        TypeInto(form->cmbclass[1]->lineEdit(), bad);
        EXPECT_EQ(TakeMessages(),
                  Messages{"Error: This is an illegal NMFC Class value.  Please correct"})
            << bad;
    }
}

TEST_F(Form3Test, EnterMovesAlongTheLinesAndTheCubeTakesOnlyNumbers) {
    Load();
    ::ShowActive(*form);
    ClickOn(*form, form->txtweight[0]);
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(form->cmbclass[0]->hasFocus());
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(form->txtweight[1]->hasFocus());
    ClickOn(*form, form->cmbclass[4]);
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(form->cmbclass[4]->hasFocus());

    // The cube box is there for an ocean destination.
    EnterDestination("96813");
    ASSERT_FALSE(form->txtOceanDensity->isHidden());
    ClickOn(*form, form->txtOceanDensity);
    TypeKeys("12a.5x");
    EXPECT_EQ(form->txtOceanDensity->text(), "12.5");
    PressKey(Qt::Key_Backspace);
    EXPECT_EQ(form->txtOceanDensity->text(), "12.");
    // Delete removes the character after the cursor, as in any box.
    PressKey(Qt::Key_Home);
    PressKey(Qt::Key_Delete);
    EXPECT_EQ(form->txtOceanDensity->text(), "2.");
}

TEST_F(Form3Test, ExitAsksAndSavesTheDefaultClassesOnYes) {
    Load();
    TypeInto(form->cmbclass[2]->lineEdit(), "92.5");
    messageScript.Queue(kIdNo);
    ClickLabel(form->lblExit);
    EXPECT_EQ(TakeMessages(), Messages{"Exit Fretlyn: Are you sure you want to exit Fretlyn2007?"});
    EXPECT_EQ(programEnds, 0);
    EXPECT_TRUE(tariff.gDB);

    messageScript.Queue(kIdYes);
    ClickLabel(form->lblExit);
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(tariff.gDB);  // the data are closed
    OpenTariffDatabase();
    EXPECT_EQ(GetConfigValue("DC_defclass2", ""), "92.5");
    EXPECT_EQ(GetConfigValue("DC_defclass0", ""), "100");
}

TEST_F(Form3Test, TheSavedDefaultOriginIsEnteredAtActivationOnly) {
    Set("DC_origin", "55401");
    Load();
    EXPECT_EQ(form->txtozip->text(), "55401");
    EXPECT_EQ(tariff.gOrigCountry, 0);

    // A message does not bring the saved origin back over what the user typed.
    EnterOrigin("60601");
    ShowMessage("anything", kMsgOK, "Note");
    EXPECT_EQ(form->txtozip->text(), "60601");
    // A command window closing does.
    form->Form_Activate();
    EXPECT_EQ(form->txtozip->text(), "55401");
}

TEST_F(Form3Test, ASavedOriginWithACommaIsEnteredUpToTheComma) {
    Set("DC_origin", "O'Fallon, MO");
    Load();
    EXPECT_EQ(form->txtozip->text(), "O'FALLON");
    EXPECT_TRUE(mainState.gLocked);  // two O'Fallons: the list asks which
}

TEST_F(Form3Test, DoubleClickOnOriginSavesItAsTheDefault) {
    Load();
    EnterOrigin("55401");
    QTest::mouseMove(form.get(), form->lblOrigin->geometry().center());
    QTest::mouseDClick(form->lblOrigin, Qt::LeftButton, Qt::NoModifier,
                       form->lblOrigin->rect().center());
    EXPECT_EQ(TakeMessages(),
              Messages{"Saved: 55401 will be saved as the default origin ZIP/Postal code"});
    EXPECT_EQ(GetConfigValue("DC_origin", ""), "55401");
}

TEST_F(Form3Test, TheAccessorialListComesFromTheStoredMarks) {
    {
        Database db(app.file("data/x2007.mdb").string());
        db.Execute("UPDATE accessorials SET apply = 1 WHERE Name = 'Thriftlane'");
    }
    Load();
    ASSERT_GT(form->lstAccessorials->count(), 0);
    bool thriftlaneChosen = false;
    for (int i = 0; i < form->lstAccessorials->count(); ++i) {
        auto* item = form->lstAccessorials->item(i);
        EXPECT_FALSE(item->text().startsWith("HCDR"));
        if (item->text() == "Thriftlane") thriftlaneChosen = item->isSelected();
    }
    EXPECT_TRUE(thriftlaneChosen);
    EXPECT_TRUE(commodityLines.gAccThriftlane);
    EXPECT_FALSE(commodityLines.gAccLiftgate);
}

}  // namespace

namespace {

class AccessorialList : public Form3Test {
  protected:
    QListWidgetItem* Item(const char* text) {
        auto found = form->lstAccessorials->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    }
    std::string StoredApply(const char* name) {
        Recordset& rs = *tariff.rsAccessorials2;
        rs.Seek("=", {name});
        return rs.Field("apply").str();
    }
};

TEST_F(AccessorialList, GuaranteedServiceExcludesLiftgateHazardousAndThriftlane) {
    Load();
    Item("Liftgate service")->setSelected(true);
    EXPECT_TRUE(commodityLines.gAccLiftgate);
    EXPECT_EQ(StoredApply("Liftgate service"), "1");

    Item("Norvale GUARANTEED!")->setSelected(true);
    EXPECT_EQ(TakeMessages(),
              Messages{"Service not Available: Cannot Guarantee a Liftgate shipment.  "});
    EXPECT_FALSE(Item("Norvale GUARANTEED!")->isSelected());
    EXPECT_FALSE(commodityLines.gAccGuaranteed);
    EXPECT_EQ(StoredApply("Norvale GUARANTEED!"), "0");
    EXPECT_FALSE(mainState.gInAccClick);  // the unselecting click was swallowed

    Item("Liftgate service")->setSelected(false);
    EXPECT_FALSE(commodityLines.gAccLiftgate);
    Item("Thriftlane")->setSelected(true);
    Item("Hazardous materials")->setSelected(true);
    EXPECT_EQ(TakeMessages(), Messages{"Service not Available: Cannot add Hazardous materials to a "
                                       "Thriftlane shipment.  "});
    EXPECT_TRUE(commodityLines.gAccThriftlane);
    EXPECT_FALSE(commodityLines.gAccHazardous);
}

TEST_F(AccessorialList, ChoicesSetTheirFlagsAndCODAsksOnce) {
    Load();
    ASSERT_EQ(form->lstAccessorials->item(0)->text(), "C.O.D.");
    commodityLines.gAskCODAmount = false;
    form->lstAccessorials->item(0)->setSelected(true);
    EXPECT_TRUE(commodityLines.gAskCODAmount);
    commodityLines.gAskCODAmount = false;
    Item("Inside pickup and delivery")->setSelected(true);
    EXPECT_FALSE(commodityLines.gAskCODAmount);  // its mark is stored already
    EXPECT_TRUE(commodityLines.gAccInside);
    Item("Inside pickup and delivery")->setSelected(false);
    EXPECT_FALSE(commodityLines.gAccInside);
    EXPECT_EQ(StoredApply("C.O.D."), "1");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(AccessorialList, NothingChangesWhileACityChoiceIsPending) {
    Load();
    EnterOrigin("O'Fallon");
    ASSERT_TRUE(mainState.gLocked);
    Item("Residential delivery")->setSelected(true);
    EXPECT_FALSE(commodityLines.gAccResidential);
    EXPECT_EQ(StoredApply("Residential delivery"), "0");
    form->lblApplyAccessorials_Click();
    EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(AccessorialList, SlidesOpenInFiveTicksAndABackgroundClickHidesIt) {
    Load();
    form->lblApplyAccessorials_Click();
    EXPECT_TRUE(form->Timer1->isActive());
    int ticks = 0;
    while (form->Timer1->isActive() && ticks < 20) {
        form->Timer1_Timer();
        ++ticks;
    }
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(form->accListTwips, QRect(240, 4170, 3000, 1310));
    EXPECT_FALSE(form->lstAccessorials->isHidden());

    Item("Liftgate service")->setSelected(true);
    const QPoint background(5, 545);
    ASSERT_EQ(form->childAt(background), nullptr);
    ClickAt(*form, background);
    EXPECT_TRUE(form->lstAccessorials->isHidden());
    EXPECT_TRUE(Item("Liftgate service")->isSelected());
}

// The list as a user works it: opened from the menu, a service clicked on and off, then typed
// at. Typing moves the focus to the service it names and chooses nothing; Space chooses the
// service with the focus, as a click does; Escape closes the list.
TEST_F(AccessorialList, TypingChoosesNothingSpaceChoosesAndEscapeCloses) {
    Load();
    ::ShowActive(*form);
    const MainMenu& m = *form->menu;
    const QPoint entry = OpenAccessorialListWithThePointer();
    QListWidget* list = form->lstAccessorials;
    ASSERT_TRUE(list->isVisible());
    auto clickItem = [&](const char* name) {
        const QPoint at =
            list->viewport()->mapTo(form.get(), list->visualItemRect(Item(name)).center());
        MoveStraight(*form, entry, at);
        ClickAt(*form, at);
    };
    auto chosen = [&] {
        std::vector<std::string> names;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->isSelected()) names.push_back(list->item(i)->text().toStdString());
        return names;
    };
    using Names = std::vector<std::string>;
    clickItem("Liftgate service");
    EXPECT_EQ(chosen(), Names{"Liftgate service"});
    EXPECT_TRUE(commodityLines.gAccLiftgate);
    clickItem("Liftgate service");
    ASSERT_EQ(chosen(), Names{});
    ASSERT_EQ(Focused(), list);

    // A pause between the two words, as between two searches.
    TypeKeys("so");
    EXPECT_EQ(list->currentItem()->text(), "Sorting and segregating");
    QTest::qWait(QApplication::keyboardInputInterval() + 200);
    TypeKeys("ho");
    EXPECT_EQ(list->currentItem()->text(), "Hazardous materials");
    EXPECT_EQ(chosen(), Names{});
    EXPECT_FALSE(commodityLines.gAccHazardous);
    for (const char* name : {"Single shipment", "Sorting and segregating", "Hazardous materials"})
        EXPECT_EQ(StoredApply(name), "0") << name;
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Up);
    EXPECT_EQ(chosen(), Names{});
    PressKey(Qt::Key_A, Qt::ControlModifier);  // choosing all at once would choose unasked
    EXPECT_EQ(chosen(), Names{});
    EXPECT_FALSE(commodityLines.gAccLiftgate);

    PressKey(Qt::Key_Space);
    EXPECT_EQ(chosen(), Names{"Hazardous materials"});
    EXPECT_TRUE(commodityLines.gAccHazardous);
    EXPECT_EQ(StoredApply("Hazardous materials"), "1");
    PressKey(Qt::Key_Space);
    EXPECT_EQ(chosen(), Names{});
    EXPECT_FALSE(commodityLines.gAccHazardous);
    PressKey(Qt::Key_Space);

    // Escape closes the list and gives the focus back to the label that opened it (or to its
    // heading, when the pointer has closed the group meanwhile), and no group of the menu opens.
    auto groups = [&m] {
        std::string out;
        for (int g = 0; g < 3; ++g)
            if (m.GroupShown(g)) out += char('0' + g);
        return out;
    };
    const std::string groupsBefore = groups();
    PressKey(Qt::Key_Escape);
    EXPECT_TRUE(list->isHidden());
    EXPECT_EQ(groups(), groupsBefore);
    EXPECT_EQ(Focused(), groupsBefore == "0" ? static_cast<QWidget*>(form->lblApplyAccessorials)
                                             : static_cast<QWidget*>(m.lblCustomize));
    EXPECT_EQ(chosen(), Names{"Hazardous materials"});
}

// Opened again and again from the menu, as a user opens it, the list shows every service in the
// one place each time, clear of the commands beside it and inside the window.
TEST_F(AccessorialList, EveryOpeningShowsTheWholeListInTheSamePlace) {
    Load();
    ::ShowActive(*form);
    const MainMenu& m = *form->menu;
    const QPoint background(5, 545);
    ASSERT_EQ(form->childAt(background), nullptr);
    QRect first;
    for (int opening = 1; opening <= 40; ++opening) {
        const QPoint heading = m.lblCustomize->geometry().center();
        MoveStraight(*form, background, heading);
        const QPoint entry = form->lblApplyAccessorials->geometry().center();
        MoveStraight(*form, heading, entry);
        ClickAt(*form, entry);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Timer1->isActive(); }, 5000));
        QListWidget* list = form->lstAccessorials;
        ASSERT_TRUE(list->isVisible()) << "opening " << opening;
        if (opening == 1) first = list->geometry();
        EXPECT_EQ(list->geometry(), first) << "opening " << opening;
        EXPECT_TRUE(form->rect().contains(list->geometry())) << "opening " << opening;
        for (QWidget* command :
             {static_cast<QWidget*>(m.lblBOL), static_cast<QWidget*>(m.lblRateSheets),
              static_cast<QWidget*>(m.lblCustomize), static_cast<QWidget*>(m.lblRulesTariff),
              static_cast<QWidget*>(m.lblHelp)})
            EXPECT_FALSE(list->geometry().intersects(command->geometry()))
                << command->objectName().toStdString() << " covered at opening " << opening;
        for (int i = 0; i < list->count(); ++i)
            EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(i))))
                << list->item(i)->text().toStdString() << " at opening " << opening;
        if (HasFailure()) return;
        ClickAt(*form, background);
        ASSERT_TRUE(list->isHidden());
    }
}

class RatingRequest : public Form3Test {
  protected:
    void Enter(const QString& from, const QString& to, std::vector<QString> weights) {
        EnterOrigin(from);
        EnterDestination(to);
        for (size_t i = 0; i < weights.size(); ++i) TypeInto(form->txtweight[i], weights[i]);
        TakeMessages();
    }
};

TEST_F(RatingRequest, AVerifiedRequestIsRatedAndTheListComesBack) {
    Load();
    Enter("55401", "60601", {"450", "300"});
    form->lstAccessorials->findItems("Residential delivery", Qt::MatchExactly)
        .front()
        ->setSelected(true);
    int shown = 0;
    SetQuoteDisplayHook([&] { ++shown; });
    ClickLabel(form->lblRate);
    SetQuoteDisplayHook(nullptr);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(shown, 1);
    EXPECT_NE(rating.gLaneCode, 0);
    EXPECT_EQ(rating.gLineWeight[0], "450");
    EXPECT_EQ(rating.gTotalWeight, 750);
    EXPECT_GT(rating.gNetCharge[rating.gFirstBreak], 0);
    EXPECT_FALSE(form->lblService->text().isEmpty());
    // Refilled from the stored marks.
    auto items = form->lstAccessorials->findItems("Residential delivery", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(items.front()->isSelected());
}

TEST_F(RatingRequest, AnUnverifiedOriginStopsSilentlyButStoresTheChoices) {
    Load();
    EnterDestination("60601");
    form->lstAccessorials->findItems("Inside pickup and delivery", Qt::MatchExactly)
        .front()
        ->setSelected(true);
    TypeInto(form->txtozip, "");
    TakeMessages();
    ClickLabel(form->lblRate);
    EXPECT_TRUE(TakeMessages().empty());
    Recordset& rs = *tariff.rsAccessorials2;
    rs.Seek("=", {"Inside pickup and delivery"});
    EXPECT_EQ(rs.Field("apply").str(), "1");
    EXPECT_GT(form->lstAccessorials->count(), 0);
}

TEST_F(RatingRequest, EachRefusalInItsOrder) {
    Load();
    auto rate = [&] {
        ClickLabel(form->lblRate);
        return TakeMessages();
    };
    Enter("55401", "60601", {"", ""});
    EXPECT_EQ(rate(), Messages{"Data Entry Error: No commodity weight entered."});
    Enter("55401", "60601", {"abc"});
    EXPECT_EQ(rate(), Messages{"Data Entry Error: No commodity weight entered."});
    Enter("55401", "60601", {"100", "", "200"});
    EXPECT_EQ(rate(), Messages{"Data Entry Error: The commodity on line  2 is missing a weight "
                               "value.  Please correct the problem."});
    EXPECT_TRUE(form->txtweight[1]->hasFocus() || QApplication::focusWidget() == nullptr);
    Enter("55401", "60601", {"100", "", "", "", "50"});
    EXPECT_EQ(rate(), Messages{"Data Entry Error: The commodity on line  4 is missing a weight "
                               "value.  Please correct the problem."});
    for (auto* w : form->txtweight) w->clear();

    Enter("60601", "X1A 2P7", {"100"});
    EXPECT_EQ(rate(), Messages{"No Service: As of " + tariff.gEffDate +
                               " NORVALE does not service this lane.  Please contact your "
                               "Service Center."});

    Enter("M5V1A1", "H2Y1A1", {"100"});
    EXPECT_EQ(rate(), Messages{"Data Entry Error: The commodity on line  1 is missing a density "
                               "value.  Please correct the problem."});
    TypeInto(form->txtDensity[0], "12");
    TypeInto(form->txtweight[0], "100");
    EXPECT_TRUE(rate().empty());

    Enter("60601", "96813", {"100"});
    EXPECT_EQ(rate(), Messages{"Data Entry Error: You must specify a density value for "
                               "ocean-going shipments."});
    EXPECT_FALSE(form->txtOceanDensity->isHidden());
}

// A damaged lane, grid or transit-day file (a disk fault, a tariff update copied only in part)
// reads as another real lane or another plausible rate: the rating names the file and quotes
// nothing, and once the file is whole again the same request is quoted.
TEST_F(RatingRequest, ADamagedLaneGridOrTransitDayFileIsNamedAndNothingIsQuoted) {
    Load();
    Enter("60601", "90001", {"1000"});
    ASSERT_TRUE(Rate().empty());
    ASSERT_EQ(quotesShown, 1);
    const double intact = rating.gNetCharge[rating.gFirstBreak];
    std::mt19937 random(35);
    const auto zeros = [](size_t size) { return std::string(size, '\0'); };
    // Bytes below 100: each reads as two digits of some real lane or transit days.
    const auto noise = [&](size_t size) {
        std::string bytes(size, '\0');
        for (char& b : bytes) b = static_cast<char>(random() % 100);
        return bytes;
    };
    const std::pair<const char*, std::function<std::string(size_t)>> damages[] = {
        {"data/cxmap.dat", zeros},    {"data/cxmap.dat", noise}, {"data/cxgrd.dat", zeros},
        {"grids/grid012.dat", zeros}, {"data/svc.dat", noise},
    };
    for (const auto& [file, damage] : damages) {
        SCOPED_TRACE(file);
        const fs::path path = app.file(file);
        const std::string whole = FileBytes(path);
        // Written in place: the program holds the lane and grid files open.
        const auto write = [&](const std::string& bytes) {
            std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        };
        write(damage(whole.size()));
        // The transit days are read as the ends are entered too: they stay verified.
        Enter("60601", "90001", {"1000"});
        EXPECT_EQ(tariff.gOrigCountry, 0);
        EXPECT_EQ(tariff.gDestCountry, 0);
        const Messages shown = Rate();
        ASSERT_EQ(shown.size(), 1u);
        const std::string said = shown[0].substr(shown[0].find(": ") + 2);
        EXPECT_EQ(said, "The tariff data file " + path.string() +
                            " is damaged: its contents differ from those the tariff's list of its "
                            "files " +
                            app.file("data/checksums.txt").string() +
                            " gives.  Nothing is rated from it.  Install the tariff again (or "
                            "finish copying the tariff update).");
        EXPECT_EQ(quotesShown, 1);

        write(whole);
        Enter("60601", "90001", {"1000"});
        EXPECT_TRUE(Rate().empty());
        EXPECT_EQ(quotesShown, 2);
        EXPECT_EQ(rating.gNetCharge[rating.gFirstBreak], intact);
        quotesShown = 1;
    }
}

// A rate of a grid changed (5437 to 5337), and the list of the tariff's files edited to agree:
// the changed file's digest put on its line, or a second line for it added at the end. Either
// list would vouch for the change, and 55401 to 60601 would be quoted $256.18 instead of $260.98.
TEST_F(RatingRequest, AListEditedToAgreeWithAChangedRateIsNamedAndNothingIsQuoted) {
    Load();
    Enter("55401", "60601", {"1000"});
    ASSERT_TRUE(Rate().empty());
    ASSERT_EQ(quotesShown, 1);
    DisplayQuote(0);  // the quote as its window would show it
    EXPECT_EQ(Format(quoteDisplay.shownTotal, "$##,##0.00"), "$260.98");

    const fs::path grid = app.file("grids/grid001.dat");
    std::string changed = FileBytes(grid);
    const char intact[] = {0x3d, 0x15, 0, 0}, lower[] = {static_cast<char>(0xd9), 0x14, 0, 0};
    ASSERT_EQ(changed.substr(1860, 4), std::string(intact, 4));  // 5437, lowest byte first
    changed.replace(1860, 4, lower, 4);                          // 5337
    {
        std::fstream out(grid, std::ios::binary | std::ios::in | std::ios::out);
        out.write(changed.data(), static_cast<std::streamsize>(changed.size()));
    }
    const std::string digest =
        QCryptographicHash::hash(QByteArray::fromStdString(changed), QCryptographicHash::Sha256)
            .toHex()
            .toStdString();
    const fs::path listPath = app.file("data/checksums.txt");
    const std::string list = FileBytes(listPath);
    const size_t line = list.rfind('\n', list.find(" grids/grid001.dat\n")) + 1;
    std::string edited = list;
    edited.replace(list.find(' ', line) + 1, 64, digest);
    const std::string appended =
        list + std::to_string(changed.size()) + " " + digest + " grids/grid001.dat\n";
    for (const std::string& vouching : {edited, appended}) {
        std::ofstream(listPath, std::ios::binary | std::ios::trunc) << vouching;
        Enter("55401", "60601", {"1000"});
        const Messages shown = Rate();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].substr(shown[0].find(": ") + 2),
                  "The list of the tariff's files " + listPath.string() +
                      " is damaged: its contents differ from those the tariff's database records "
                      "for it, so the tariff's files cannot be checked and nothing is rated from "
                      "them.  Install the tariff again (or finish copying the tariff update).");
        EXPECT_EQ(quotesShown, 1);
    }
}

TEST_F(RatingRequest, GuaranteedAndThriftlaneNeedTheirKindOfLane) {
    Load();
    Enter("59001", "60601", {"100"});
    form->lstAccessorials->findItems("Norvale GUARANTEED!", Qt::MatchExactly)
        .front()
        ->setSelected(true);
    TakeMessages();
    ClickLabel(form->lblRate);
    EXPECT_EQ(TakeMessages(),
              Messages{"Service not Available: Cannot Guarantee, not direct points  "});

    // Without guaranteed service the same lane is rated.
    Enter("59001", "60601", {"100"});
    form->lstAccessorials->findItems("Norvale GUARANTEED!", Qt::MatchExactly)
        .front()
        ->setSelected(false);
    ClickLabel(form->lblRate);
    EXPECT_TRUE(TakeMessages().empty());

    Enter("60601", "60601", {"100"});
    form->lstAccessorials->findItems("Thriftlane", Qt::MatchExactly).front()->setSelected(true);
    TakeMessages();
    ClickLabel(form->lblRate);
    EXPECT_EQ(TakeMessages(), Messages{"Service not Available: Not a valid Thriftlane Lane  "});
}

TEST_F(RatingRequest, TheAltKeyAloneOrAltRRatesFromAnyBoxAndAltWithAnotherKeyDoesNot) {
    Load();
    Enter("55401", "60601", {""});
    ShowActive();
    ClickOn(*form, form->txtweight[2]);
    ASSERT_EQ(Focused(), form->txtweight[2]);
    const Messages rated{"Data Entry Error: No commodity weight entered."};
    PressKey(Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(TakeMessages(), Messages{});
    PressKey(Qt::Key_Alt, Qt::ControlModifier);  // Ctrl first, then Alt
    EXPECT_EQ(TakeMessages(), Messages{});
    QTest::keyPress(Focused(), Qt::Key_Control, Qt::AltModifier);  // Alt first, then Ctrl
    QTest::keyRelease(Focused(), Qt::Key_Control, Qt::AltModifier);
    EXPECT_EQ(TakeMessages(), Messages{});
    {
        // Alt-Tab: the window manager takes the Tab and another window comes to the front.
        QTest::keyPress(Focused(), Qt::Key_Alt);
        QWidget other;
        ::ShowActive(other);
        other.close();
        ::ShowActive(*form);
        QTest::keyRelease(Focused(), Qt::Key_Alt);
        EXPECT_EQ(TakeMessages(), Messages{});
    }
    PressKey(Qt::Key_Alt);
    EXPECT_EQ(TakeMessages(), rated);
    PressKey(Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(TakeMessages(), rated);
    ClickOn(*form, form->txtozip);
    PressKey(Qt::Key_Alt);
    EXPECT_EQ(TakeMessages(), rated);
}

// Alt with a letter that is no command of the window types nothing into the box with the focus,
// whichever box it is; the letters typed without Alt still go in.
TEST_F(RatingRequest, AnAltCombinationThatIsNoCommandTypesNothing) {
    Load();
    Enter("55401", "60601", {""});
    ShowActive();
    for (QWidget* box :
         {static_cast<QWidget*>(form->txtweight[0]), static_cast<QWidget*>(form->txtozip),
          static_cast<QWidget*>(form->txtdzip), static_cast<QWidget*>(form->cmbclass[0])}) {
        ClickOn(*form, box);
        ASSERT_EQ(Focused(), box) << box->objectName().toStdString();
        auto* combo = qobject_cast<QComboBox*>(box);
        QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(box);
        ASSERT_NE(edit, nullptr) << box->objectName().toStdString();
        const QString before = edit->text();
        for (Qt::Key key : {Qt::Key_D, Qt::Key_P, Qt::Key_7}) PressKey(key, Qt::AltModifier);
        PressKey(Qt::Key_D, Qt::AltModifier | Qt::ShiftModifier);
        EXPECT_EQ(edit->text(), before) << box->objectName().toStdString();
        EXPECT_EQ(TakeMessages(), Messages{}) << box->objectName().toStdString();
    }
    ClickOn(*form, form->txtweight[0]);
    TypeKeys(QStringLiteral("1000"));
    EXPECT_EQ(form->txtweight[0]->text(), "1000");
}

}  // namespace

namespace {

TEST_F(Form3Test, TheHourglassNeverOutlivesACheck) {
    Load();
    // A code can_rural lacks is looked for among the cities, under the hourglass.
    EnterOrigin("M5V 2T6");
    EXPECT_EQ(tariff.gOrigCountry, 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EnterDestination("K9Z 9Z9");
    EXPECT_EQ(tariff.gDestCountry, 99);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Form3Test, ATariffDataGapIsReportedAndLeavesTheEndNotVerified) {
    Load();
    // The ZIP-list row of Chicago's prefix is gone: the look-up cannot finish.
    tariff.gDB->Execute("DELETE FROM ziplist WHERE key = '606'");
    EnterDestination("60601");
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Tariff Data Error: ", 0), 0u) << messages[0];
    EXPECT_NE(messages[0].find("606"), std::string::npos) << messages[0];
    EXPECT_EQ(tariff.gDestCountry, 99);
    EXPECT_TRUE(form->lblDestCityState->text().isEmpty());
    EXPECT_FALSE(mainState.gLocked);
}

}  // namespace
