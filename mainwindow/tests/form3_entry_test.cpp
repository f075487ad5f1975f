// Entries the main window must refuse rather than rate as something else, and the state a
// refused entry must not leave behind.

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "form3fixture.h"
#include "helpdesk.h"
#include "labelbutton.h"
#include "settings.h"
#include "tariffdb.h"
#include "userinput.h"

namespace {

using Entry = MainWindowFixture;

const Messages kNoWeight{"Data Entry Error: No commodity weight entered."};
Messages MissingWeight(int line) {
    return {"Data Entry Error: The commodity on line  " + std::to_string(line) +
            " is missing a weight value.  Please correct the problem."};
}
// A value was typed: the refusal says what is wrong with it, not that it is missing.
Messages NotPlain(const std::string& quantity, int line, const std::string& typedAs) {
    return {"Data Entry Error: The " + quantity + " on line  " + std::to_string(line) +
            " is not a plain number.  Type " + typedAs +
            " as digits, without commas (a point may mark decimals)."};
}
Messages WeightNotPlain(int line) {
    return NotPlain("weight", line, "the weight in pounds");
}

TEST_F(Entry, AWeightThatIsNotAPlainNumberIsRefusedNotRatedAsAnotherWeight) {
    Load();
    EnterOrigin("55401");
    EnterDestination("60601");
    for (const char* text : {"1,000", "4.5.6", "&H10", "450abc", "-450", "1e3"}) {
        Weights({text});
        // A line-1 weight that does not begin with a number above 0 is no weight at all.
        EXPECT_EQ(Rate(), std::string(text) == "-450" ? kNoWeight : WeightNotPlain(1)) << text;
        Weights({"200", text});
        EXPECT_EQ(Rate(), WeightNotPlain(2)) << text;
        Weights({"200", "100", "100", "100", text});
        EXPECT_EQ(Rate(), WeightNotPlain(5)) << text;
        EXPECT_TRUE(form->txtweight[4]->hasFocus() || QApplication::focusWidget() == nullptr);
    }
    for (const char* text : {"", "0", "abc"}) {
        Weights({text});
        EXPECT_EQ(Rate(), kNoWeight) << text;
    }
    Weights({"200", "", "100"});
    EXPECT_EQ(Rate(), MissingWeight(2));
    EXPECT_EQ(quotesShown, 0);
    // Blanks around a plain number are no fault.
    Weights({" 1000 ", "250.5"});
    EXPECT_TRUE(Rate().empty());
    EXPECT_EQ(quotesShown, 1);
    EXPECT_EQ(rating.gTotalWeight, 1000 + 250);
}

// A weight too long or too large to be read as a number is told as plainly as one of twenty
// digits, never as the overflow of reading it.
TEST_F(Entry, AWeightTooLargeForAnyNumberGetsThePlainMessages) {
    Load();
    EnterOrigin("55401");
    EnterDestination("60601");
    const QString digits20(20, QLatin1Char('9')), digits400(400, QLatin1Char('9'));
    auto atMost = [](int line) {
        return Messages{"Data Entry Error: The weight on line  " + std::to_string(line) +
                        " can be at most 1,000,000,000,000,000,000 lbs."};
    };
    for (int line = 1; line <= 2; ++line) {
        std::vector<QString> weights(static_cast<size_t>(line), QStringLiteral("200"));
        for (const QString& big : {digits20, digits400}) {
            weights.back() = big;
            Weights(weights);
            EXPECT_EQ(Rate(), atMost(line)) << big.size() << " digits on line " << line;
        }
        for (const char* big : {"1E20", "1E400", "1D400"}) {
            weights.back() = QString::fromLatin1(big);
            Weights(weights);
            EXPECT_EQ(Rate(), WeightNotPlain(line)) << big << " on line " << line;
        }
    }
    EXPECT_EQ(quotesShown, 0);
}

TEST_F(Entry, ADensityOrOceanCubeMustBeARealQuantity) {
    Load();
    EnterOrigin("M5V1A1");
    EnterDestination("H2Y1A1");
    const Messages missingDensity{
        "Data Entry Error: The commodity on line  1 is missing a density "
        "value.  Please correct the problem."};
    const Messages densityNotPlain = NotPlain("density", 1, "the density in pounds per cubic foot");
    const std::vector<std::pair<const char*, Messages>> densities = {
        {"", missingDensity},
        {"  ", missingDensity},
        {"0", {"Data Entry Error: The density on line  1 must be more than 0 lbs per cubic foot."}},
        {"-3", densityNotPlain},
        {"12,5", densityNotPlain},
        {"&H10", densityNotPlain},
        {"1e2", densityNotPlain},
        {"99999",
         {"Data Entry Error: The density on line  1 can be at most 1,000 lbs per cubic foot."}},
        {"1000.5",
         {"Data Entry Error: The density on line  1 can be at most 1,000 lbs per cubic foot."}}};
    for (const auto& [text, said] : densities) {
        Weights({"500"});
        form->txtDensity[0]->setText(text);
        EXPECT_EQ(Rate(), said) << text;
    }
    Weights({"500"});
    form->txtDensity[0]->setText("12");
    EXPECT_TRUE(Rate().empty());
    EXPECT_EQ(quotesShown, 1);

    form->txtdzip_GotFocus();
    EnterOrigin("60601");
    EnterDestination("96813");
    const Messages missingCube{
        "Data Entry Error: You must specify a density value for "
        "ocean-going shipments."};
    const Messages cubeNotPlain{
        "Data Entry Error: The ocean cube is not a plain number.  Type the cube in cubic feet as "
        "digits, without commas (a point may mark decimals)."};
    const std::vector<std::pair<const char*, Messages>> cubes = {
        {"", missingCube},
        {"0", {"Data Entry Error: The ocean cube must be more than 0 cubic feet."}},
        {".", cubeNotPlain},
        {"1.2.3", cubeNotPlain},
        {"90,150", cubeNotPlain},
        {"90150", {"Data Entry Error: The ocean cube can be at most 20,000 cubic feet."}}};
    for (const auto& [text, said] : cubes) {
        Weights({"500"});
        form->txtOceanDensity->setText(text);
        EXPECT_EQ(Rate(), said) << text;
    }
    EXPECT_EQ(quotesShown, 1);
}

TEST_F(Entry, TheClassBoxesDoNotCompleteAPartialClass) {
    Load();
    ShowActive();
    ClickOn(*form, form->txtweight[0]);
    PressKey(Qt::Key_Tab);  // into the class box, its text selected
    ASSERT_EQ(Focused(), form->cmbclass[0]);
    for (const char* typed : {"77", "9", "1"}) {
        PressKey(Qt::Key_A, Qt::ControlModifier);
        TypeKeys(typed);
        EXPECT_EQ(form->cmbclass[0]->currentText().toStdString(), typed);
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(TakeMessages(),
                  Messages{"Error: This is an illegal NMFC Class value.  Please correct"})
            << typed;
        EXPECT_EQ(Focused(), form->cmbclass[0]);  // kept until corrected
    }
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("77.5");
    PressKey(Qt::Key_Tab);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Entry, EnterFromAWeightBoxSelectsTheClassSoThatTypingReplacesIt) {
    Load();
    ShowActive();
    ClickOn(*form, form->txtozip);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("55401");
    PressKey(Qt::Key_Return);
    TypeKeys("60601");
    PressKey(Qt::Key_Return);
    ASSERT_EQ(Focused(), form->txtweight[0]);
    TypeKeys("100");
    PressKey(Qt::Key_Return);
    ASSERT_EQ(Focused(), form->cmbclass[0]);
    TypeKeys("70");
    EXPECT_EQ(form->cmbclass[0]->currentText().toStdString(), "70");
    PressKey(Qt::Key_Return);
    EXPECT_EQ(Focused(), form->txtweight[1]);
    EXPECT_TRUE(TakeMessages().empty());
}

// The ocean cube takes digits and a point, typed or pasted, and the editing shortcuts work in it.
TEST_F(Entry, TheOceanCubeAdmitsOnlyANumberAlsoWhenPasted) {
    Load();
    ShowActive();
    ClickOn(*form, form->txtozip);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("60601");
    PressKey(Qt::Key_Return);
    TypeKeys("96813");
    PressKey(Qt::Key_Return);
    TakeMessages();
    ASSERT_TRUE(form->txtOceanDensity->isVisible());
    ClickOn(*form, form->txtOceanDensity);
    ASSERT_EQ(Focused(), form->txtOceanDensity);
    TypeKeys("1a2.5 ");
    EXPECT_EQ(form->txtOceanDensity->text(), "12.5");
    QApplication::clipboard()->setText("300 cu ft");
    PressKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->txtOceanDensity->text(), "12.5");
    PressKey(Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText("300");
    PressKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->txtOceanDensity->text(), "300");
    PressKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->txtOceanDensity->text(), "12.5");
}

TEST_F(Entry, OnlyRealClassesAreSavedAsDefaults) {
    Load();
    form->cmbclass[0]->setEditText("abc");
    form->cmbclass[1]->setEditText("92.5");
    form->cmbclass[2]->setEditText("");
    form->close();
    EXPECT_EQ(programEnds, 1);
    EXPECT_TRUE(TakeMessages().empty());
    OpenTariffDatabase();
    EXPECT_EQ(GetConfigValue("DC_defclass0", ""), "100");  // kept as it was
    EXPECT_EQ(GetConfigValue("DC_defclass1", ""), "92.5");
    EXPECT_EQ(GetConfigValue("DC_defclass2", ""), "100");
    CloseAll();
}

TEST_F(Entry, DefaultClassesAreSavedTogetherOrNotAtAllAndAFailureIsSaid) {
    Load();
    form->cmbclass[0]->setEditText("92.5");
    form->cmbclass[4]->setEditText("55");
    // The last key has gone from the table: nothing of the five may be half saved.
    tariff.gDB->Execute("DELETE FROM tblConfig WHERE keyf = 'DC_defclass4'");
    form->close();
    EXPECT_EQ(programEnds, 1);
    const Messages said = TakeMessages();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("default classes"), std::string::npos) << said[0];
    OpenTariffDatabase();
    EXPECT_EQ(GetConfigValue("DC_defclass0", ""), "100");
    CloseAll();
}

TEST_F(Entry, AServiceMarkedForOneQuoteIsForgottenAtStart) {
    // A run that ended with the quote window hidden left its liftgate marked.
    Sql("UPDATE accessorials SET \"temp on\" = 1 WHERE Name = 'Liftgate service'");
    Load();
    Snapshot marked =
        tariff.gDB->OpenSnapshot("SELECT COUNT(*) FROM accessorials WHERE \"temp on\" <> 0");
    EXPECT_EQ(marked.Field(size_t{0}).toInt(), 0);
    EXPECT_FALSE(rating.gQAccLiftgate);
}

// --------------------------------------------------------------------------- points

TEST_F(Entry, AnOriginThatCannotBeVerifiedAtStartSilencesNoLaterCheck) {
    Set("DC_origin", "00000");
    form = std::make_unique<Form3>();
    form->Form_Load();
    form->Form_Activate();
    EXPECT_EQ(TakeMessages(),
              Messages{"Data Entry Error: Origin was not verified.  Please try again."});
    ShowActive();
    form->txtdzip->setFocus();
    form->txtdzip->setText("60601");
    form->cmbclass[0]->setFocus();
    EXPECT_EQ(tariff.gDestCountry, 0);
    EXPECT_EQ(form->lblDestCityState->text(), "CHICAGO, IL");
    form->cmbclass[0]->setEditText("abc");
    form->txtweight[1]->setFocus();
    EXPECT_EQ(TakeMessages(),
              Messages{"Error: This is an illegal NMFC Class value.  Please correct"});
}

TEST_F(Entry, ARefusedEndTakesTheServiceStandardWithIt) {
    Load();
    EnterOrigin("55401");
    EnterDestination("60601");
    ASSERT_FALSE(form->lblService->text().isEmpty());
    EnterOrigin("00000");
    EXPECT_EQ(TakeMessages(),
              Messages{"Data Entry Error: Origin was not verified.  Please try again."});
    EXPECT_TRUE(form->lblService->text().isEmpty());
    // Verified again, the lane's standard comes back.
    EnterOrigin("55401");
    EXPECT_FALSE(form->lblService->text().isEmpty());

    // The same for a destination refused after a verified lane.
    TakeMessages();
    EnterDestination("00000");
    EXPECT_EQ(TakeMessages(),
              Messages{"Data Entry Error: Destination was not verified.  Please try again."});
    EXPECT_TRUE(form->lblService->text().isEmpty());
    EnterDestination("60601");
    EXPECT_FALSE(form->lblService->text().isEmpty());
}

TEST_F(Entry, AnOffshoreOriginTypedAsACityIsSentToTheHelpDesk) {
    Load();
    EnterOrigin("Honolulu");
    EXPECT_EQ(TakeMessages(),
              Messages{"NORVALE Service: Please call the Norvale help desk at " +
                       std::string(kHelpDeskPhone) + " about outbound service from Hawaii."});
    EXPECT_EQ(tariff.gOrigCountry, 99);
    EXPECT_TRUE(form->txtozip->text().isEmpty());
}

TEST_F(Entry, EnterInTheCityListChoosesTheHighlightedCity) {
    Load();
    ShowActive();
    EnterDestination("O'Fallon");
    ASSERT_TRUE(mainState.gLocked);
    form->lstCities->setFocus();
    QTest::keyClick(form->lstCities, Qt::Key_Down);
    ASSERT_EQ(form->lstCities->currentRow(), 1);
    QTest::keyClick(form->lstCities, Qt::Key_Return);
    EXPECT_FALSE(mainState.gLocked);
    EXPECT_EQ(form->txtdzip->text(), "O'FALLON, MO");
    EXPECT_EQ(tariff.gDestState, "MO");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Entry, TheCityListCaptionLeavesTheCommoditiesHeadingReadable) {
    Load();
    ShowActive();
    EnterDestination("O'Fallon");
    ASSERT_TRUE(form->lblChooseCity->isVisible());
    ASSERT_TRUE(form->hdlCommodities->isVisible());
    // Where each label's text is drawn, in window coordinates.
    auto inked = [](const QLabel* l) {
        const QRect text = l->fontMetrics().boundingRect(l->text());
        const QRect box = l->geometry();
        return QRect(box.left(), box.center().y() - text.height() / 2, text.width(), text.height());
    };
    const QRect caption = inked(form->lblChooseCity);
    EXPECT_FALSE(caption.intersects(inked(form->hdlCommodities)));
    // The caption is read whole and does not run under the accessorial label.
    EXPECT_LE(caption.right(), form->lblChooseCity->geometry().right());
    EXPECT_FALSE(caption.intersects(form->lblApplyAccessorials->geometry()));
    EXPECT_FALSE(caption.intersects(form->lstCities->geometry()));
}

TEST_F(Entry, TheOpenedAccessorialListShowsEveryServiceWithoutScrolling) {
    Load();
    ShowActive();
    form->lblApplyAccessorials_Click();
    while (form->Timer1->isActive()) form->Timer1_Timer();
    QApplication::processEvents();
    QListWidget* list = form->lstAccessorials;
    ASSERT_GT(list->count(), 10);
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(list->verticalScrollBar()->isVisible());
    for (int i = 0; i < list->count(); ++i)
        EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(i))))
            << list->item(i)->text().toStdString();
    EXPECT_LE(list->geometry().right(), form->width());
    // It stays clear of the service standard and the rating label below it.
    EXPECT_LT(list->geometry().bottom(), form->lblService->geometry().top());
}

TEST_F(Entry, PickingAnIslandCityLeavesTheFocusWhileItsQuestionsArePending) {
    Load();
    ShowActive();
    EnterOrigin("60601");
    QWidget* focusAtQuestion = nullptr;
    int asked = 0;
    SetPRPortQuestion([&](bool) {
        ++asked;
        focusAtQuestion = QApplication::focusWidget();
        AnswerPRPort(false);
    });
    EnterDestination("Florida");
    ASSERT_TRUE(mainState.gLocked);
    const auto pr = form->lstCities->findItems("FLORIDA, PR", Qt::MatchExactly);
    ASSERT_EQ(pr.size(), 1);
    pr.front()->setSelected(true);
    form->lstCities_Click();
    SetPRPortQuestion(nullptr);
    EXPECT_EQ(asked, 1);
    EXPECT_NE(focusAtQuestion, form->txtweight[0]);
    EXPECT_TRUE(offshore.gIsPR);
    // Once the choice is complete the weights come next.
    EXPECT_TRUE(form->txtweight[0]->hasFocus());
}

TEST_F(Entry, AWeightBoxShowsThePuertoRicoServiceStandard) {
    Load();
    EnterOrigin("60601");
    VerifyDestinationInPlace("00901");
    ASSERT_TRUE(offshore.gIsPR);
    EXPECT_TRUE(form->lblService->text().isEmpty());
    form->txtweight_GotFocus(0);
    EXPECT_TRUE(form->lblService->text().startsWith("Norvale Freight Service Standard:"))
        << form->lblService->text().toStdString();
}

TEST_F(Entry, ARequestTheEngineRefusesStartsAgainAtTheOrigin) {
    Load();
    ShowActive();
    EnterOrigin("55401");
    EnterDestination("60601");
    Weights({"60000", "50000"});
    form->txtweight[1]->setFocus();
    const Messages said = Rate();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("100,000 lbs"), std::string::npos) << said[0];
    EXPECT_EQ(quotesShown, 0);
    EXPECT_TRUE(form->txtozip->hasFocus());
}

}  // namespace
