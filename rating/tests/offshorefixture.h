#pragma once
// Offshore destinations on the sample tariff: the questions answered by script, and the ends
// verified the way the main window verifies them before it calls the set-up.

#include <optional>
#include <string>

#include "commodity.h"
#include "geography.h"
#include "offshore.h"
#include "ratingfixture.h"
#include "tariffdb.h"

class OffshoreTest : public RatingTest {
  protected:
    void SetUp() override {
        RatingTest::SetUp();
        offshore.Reset();
        SetPRPortQuestion([this](bool jacksonvilleShown) {
            ++portAsked;
            portShownJacksonville = jacksonvilleShown;
            if (portAnswerElizabeth) AnswerPRPort(*portAnswerElizabeth);
        });
        SetMilitaryQuestion([this](bool yesShown) {
            ++militaryAsked;
            militaryShownYes = yesShown;
            if (militaryAnswerYes) AnswerMilitary(*militaryAnswerYes);
        });
        SetDestEntryTextQuery(nullptr);
    }
    void TearDown() override {
        SetPRPortQuestion(nullptr);
        SetMilitaryQuestion(nullptr);
        SetDestEntryTextQuery(nullptr);
        offshore.Reset();
        RatingTest::TearDown();
    }

    void VerifyOrigin(const std::string& zip) {
        tariff.gOrigZip = zip;
        ASSERT_TRUE(LookupCityState(zip, 0)) << zip;
    }
    // A destination typed as a ZIP: a new entry, so both questions are armed again.
    void EnterDestZip(const std::string& zip) {
        offshore.gAskPRPort = offshore.gAskMilitaryBase = true;
        tariff.gDestZip = zip;
        ASSERT_TRUE(LookupCityState(zip, 1)) << zip;
    }
    // A destination chosen from the city list, with the box holding the choice.
    void ChooseDestCity(const std::string& choice) {
        offshore.gAskPRPort = offshore.gAskMilitaryBase = true;
        tariff.gPickForDest = 1;
        PickCity(choice);
        ASSERT_EQ(tariff.gDestCountry, 0) << choice;
        SetDestEntryTextQuery([choice] { return choice; });
    }

    int portAsked = 0;
    bool portShownJacksonville = false;
    std::optional<bool> portAnswerElizabeth;  // empty: the dialog is closed without Done
    int militaryAsked = 0;
    bool militaryShownYes = true;
    std::optional<bool> militaryAnswerYes;
};
