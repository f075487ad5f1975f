// A shipment quoted from the keyboard alone: the main window's boxes and its Alt key, the quote
// window's commands reached with Tab, an accessorial chosen from its list with the arrows, the
// discount changed and the Canadian total added through their dialogs, and every window closed
// again with Enter or Escape. Real modal windows and the program's own message window, no
// pointer.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "displayquote.h"
#include "form3fixture.h"
#include "form3menu.h"
#include "frmqpo.h"
#include "keyboarduser.h"
#include "labelbutton.h"
#include "maskededit.h"
#include "quotedialogforms.h"
#include "quotediscount.h"
#include "quotesheet.h"
#include "settings.h"
#include "startup.h"
#include "tariffdb.h"

namespace {

using KeyboardWalk = MainWindowFixture;

frmQPO* Quote() {
    return LoadedQuoteWindow();
}

bool HasLine(const std::string& rateText) {
    for (const auto& line : quote.Lines())
        if (line.rate.text.rfind(rateText, 0) == 0) return true;
    return false;
}

TEST_F(KeyboardWalk, AQuoteWithAnAccessorialADiscountAndTheCanadianTotal) {
    Load();
    ConnectProgramWindows(*form);
    ShowActive();
    // Every message is a real window here, answered from the keyboard.
    messageScript.Stop();

    KeyboardUser user;
    using K = KeyboardUser;
    user.Then("Form3", [this] {
        ASSERT_TRUE(K::TabTo(form->txtozip));
        K::Type("55401");
        K::Press(Qt::Key_Return);  // on to the destination
        K::Type("60601");
        K::Press(Qt::Key_Return);  // on to the first weight
        K::Type("1200");
        K::Press(Qt::Key_Alt);  // rates from any box
    });
    // The quote opens with Done under the focus; Tab reaches the other commands.
    user.Then("frmQPO", [] {
        ASSERT_EQ(QApplication::focusWidget(), Quote()->mlblDone);
        ASSERT_TRUE(K::TabTo(Quote()->mlblAccess));
        K::Press(Qt::Key_Return);  // the list opens under the focus
        QListWidget* list = Quote()->lstAccessorials;
        ASSERT_EQ(QApplication::focusWidget(), list);
        for (int i = 0; i < list->count() &&
                        (!list->currentItem() || list->currentItem()->text() != "Liftgate service");
             ++i)
            K::Press(Qt::Key_Down);
        // Walking the list chooses nothing; Enter chooses, and the shipment is rated again.
        ASSERT_TRUE(list->selectedItems().isEmpty());
        K::Press(Qt::Key_Return);
    });
    user.Then(
        "frmQPO",
        [] {
            ASSERT_TRUE(K::TabTo(Quote()->txtChgDisc));
            K::Press(Qt::Key_Return);
        },
        [] { return Quote() && rating.gQAccLiftgate && HasLine("Liftgate"); });
    user.Then("frmChgDisc", [] {
        K::Type("450");
        K::Press(Qt::Key_Return);
    });
    user.Then(
        "frmQPO",
        [] {
            ASSERT_TRUE(K::TabTo(Quote()->mlblCDNExch));
            K::Press(Qt::Key_Return);  // the rate stands at par: the question comes
        },
        [] { return Quote() && quote.txtChgDisc == "45.0"; });
    user.Then("frmMssgBox", [] { K::Type("y"); });
    user.Then("frmCdnRate", [] {
        K::Type("13500");  // over the stored rate, which the dialog selects
        K::Press(Qt::Key_Enter);
    });
    // Back in the quote window, the focus where it was: Enter adds the line now.
    user.Then("frmQPO", [] {
        ASSERT_EQ(QApplication::focusWidget(), Quote()->mlblCDNExch);
        K::Press(Qt::Key_Return);
    });
    std::vector<std::string> linesBeforeDone;
    user.Then(
        "frmQPO",
        [&] {
            for (const auto& line : quote.Lines()) linesBeforeDone.push_back(line.rate.text);
            K::Press(Qt::Key_Escape);  // as the close box: Done
        },
        [] { return Quote() && quoteDisplay.CdnLineShown; });
    user.Then("Form3", [] {});

    ASSERT_TRUE(user.Walk()) << user.Failure();
    EXPECT_EQ(user.Taken(),
              (std::vector<std::string>{"Form3", "frmQPO", "frmQPO", "frmChgDisc", "frmQPO",
                                        "frmMssgBox", "frmCdnRate", "frmQPO", "frmQPO", "Form3"}));
    EXPECT_NE(std::find(linesBeforeDone.begin(), linesBeforeDone.end(),
                        "Charges in Canadian Funds at exchange rate of 1.3500"),
              linesBeforeDone.end());
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "1"), "1.3500");
    // Every window opened is closed, the quote's own service forgotten with it.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Quote(), nullptr);
    EXPECT_FALSE(rating.gQAccLiftgate);
    EXPECT_EQ(QApplication::activeWindow(), form.get());
}

// A closed window hands the activation to no one when no window manager does it (nor does the
// offscreen platform of the tests): the program gives it back to the window that showed the
// message, so the correction typed next reaches the box and is checked when the box is left.
TEST_F(KeyboardWalk, AfterAMessageTheCorrectionTypedIsChecked) {
    Load();
    ShowActive();
    messageScript.Stop();
    KeyboardUser user;
    using K = KeyboardUser;
    user.Then("Form3", [this] {
        ASSERT_TRUE(K::TabTo(form->txtdzip));
        K::Type("ZZQ");
        K::Press(Qt::Key_Return);  // leaving the box checks it
    });
    user.Then("frmMssgBox", [] { K::Press(Qt::Key_Return); });  // OK
    user.Then("Form3", [this] {
        ASSERT_EQ(QApplication::focusWidget(), form->txtdzip);
        K::Press(Qt::Key_End);
        K::Press(Qt::Key_Home, Qt::ShiftModifier);
        K::Type("60601");
        K::Press(Qt::Key_Return);
    });
    ASSERT_TRUE(user.Walk()) << user.Failure();
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].text.toStdString(),
              "Destination was not verified.  Please try again.");
    EXPECT_EQ(form->txtdzip->text(), "60601");
    EXPECT_EQ(form->lblDestCityState->text(), "CHICAGO, IL");
    EXPECT_EQ(tariff.gDestCountry, 0);
    EXPECT_EQ(QApplication::focusWidget(), form->txtweight[0]);
}

// "Rate this shipment" after a message rates: the main window is active again, so the Alt key
// and the checks of its boxes reach it.
TEST_F(KeyboardWalk, AfterARefusalTheShipmentCanBeRatedFromTheKeyboard) {
    Load();
    ShowActive();
    messageScript.Stop();
    int quotes = 0;
    SetQuoteDisplayHook([&] { ++quotes; });
    KeyboardUser user;
    using K = KeyboardUser;
    user.Then("Form3", [this] {
        ASSERT_TRUE(K::TabTo(form->txtozip));
        K::Type("55401");
        K::Press(Qt::Key_Return);
        K::Type("60601");
        K::Press(Qt::Key_Return);
        K::Type("1,200");
        K::Press(Qt::Key_Alt);
    });
    user.Then("frmMssgBox", [] { K::Press(Qt::Key_Return); });
    user.Then("Form3", [this] {
        ASSERT_EQ(QApplication::focusWidget(), form->txtweight[0]);
        K::Press(Qt::Key_End);
        K::Press(Qt::Key_Home, Qt::ShiftModifier);
        K::Type("1200");
        K::Press(Qt::Key_Alt);
    });
    ASSERT_TRUE(user.Walk()) << user.Failure();
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].text.toStdString(),
              "The weight on line  1 is not a plain number.  Type the weight in pounds as digits, "
              "without commas (a point may mark decimals).");
    EXPECT_EQ(quotes, 1);
}

// With the accessorial list open and a service clicked in it, "Rate this shipment" leaves the
// menu as it was: no group opens behind the quote, none is open after Done, and the focus is
// back in the origin box, not on a heading.
TEST_F(KeyboardWalk, RatingWithTheAccessorialListOpenOpensNoMenuGroup) {
    Load();
    ConnectProgramWindows(*form);
    ShowActive();
    messageScript.Stop();
    const MainMenu& m = *form->menu;
    auto openGroups = [&m] {
        std::string out;
        for (int g = 0; g < 3; ++g)
            if (m.GroupShown(g)) out += char('0' + g);
        return out;
    };
    std::string behindTheQuote = "not rated";
    KeyboardUser user;
    using K = KeyboardUser;
    user.Then("Form3", [&] {
        ASSERT_TRUE(K::TabTo(form->txtozip));
        K::Type("55401");
        K::Press(Qt::Key_Return);
        K::Type("60601");
        K::Press(Qt::Key_Return);
        K::Type("1200");
        // The list opened from the menu with the pointer, and a service clicked in it.
        const QPoint entry = OpenAccessorialListWithThePointer();
        QListWidget* list = form->lstAccessorials;
        QListWidgetItem* item = list->findItems("Residential delivery", Qt::MatchExactly).front();
        const QPoint at = list->viewport()->mapTo(form.get(), list->visualItemRect(item).center());
        MoveStraight(*form, entry, at);
        ClickAt(*form, at);
        ASSERT_TRUE(item->isSelected());
        ASSERT_EQ(QApplication::focusWidget(), list);
        const QPoint rate = form->lblRate->geometry().center();
        MoveStraight(*form, at, rate);
        ClickAt(*form, rate);
    });
    user.Then("frmQPO", [&] {
        behindTheQuote = openGroups();
        K::Press(Qt::Key_Escape);  // Done
    });
    user.Then("Form3", [] {});
    ASSERT_TRUE(user.Walk()) << user.Failure();
    EXPECT_EQ(behindTheQuote, "");
    EXPECT_EQ(openGroups(), "");
    EXPECT_EQ(Focused(), form->txtozip);
}

}  // namespace
