// The shipping-location window driven as a user would: Add, type, OK; Cancel; Delete; Done.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>

#include "commandwindows.h"
#include "formkit.h"
#include "frmshiploc.h"
#include "installwindows.h"
#include "labelbutton.h"
#include "messagebox.h"
#include "pricingfixture.h"
#include "screenshots.h"

namespace {

class ShipLocWindowTest : public PricingTest {
  protected:
    void SetUp() override {
        PricingTest::SetUp();
        window = ShipLocWindow();
        window->Form_Activate();
        window->show();
    }
    void TearDown() override {
        UnloadShipLocWindow();
        ResetCommandWindows();
        PricingTest::TearDown();
    }
    void Click(LabelButton* label) { QTest::mouseClick(label, Qt::LeftButton); }
    QString Page() const { return window->brwShipLoc->source().fileName(); }
    QStringList Listed() const {
        QStringList out;
        for (int i = 0; i < window->cmbShipLoc->count(); ++i)
            out << window->cmbShipLoc->itemText(i);
        return out;
    }

    frmShipLoc* window = nullptr;
};

TEST_F(ShipLocWindowTest, AddingTypesInCapitalsAndReturnsToTheList) {
    EXPECT_EQ(Listed(), QStringList{"ALL"});
    EXPECT_EQ(Page(), "shiploc.htm");
    EXPECT_FALSE(window->brwShipLoc->toPlainText().isEmpty());
    Click(window->lblAdd);
    EXPECT_TRUE(window->txtShiploc->isVisible());
    EXPECT_FALSE(window->cmbShipLoc->isVisible());
    EXPECT_FALSE(window->lblAdd->isVisible());
    EXPECT_TRUE(window->lblExit->isVisible());
    EXPECT_EQ(Page(), "newloc.htm");
    EXPECT_EQ(window->lblWhy->text(), "What is the shipping location?");
    SaveScreenshot(*window, "frmShipLoc_entry");

    QTest::keyClicks(window->txtShiploc, "k1a9");
    EXPECT_EQ(window->txtShiploc->text(), "K1A");  // three characters at most
    Click(window->lblOK);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(RowsOf("discounts", "K1A"), 8);
    EXPECT_EQ(Listed(), (QStringList{"ALL", "K1A"}));
    EXPECT_TRUE(window->cmbShipLoc->isVisible());
    EXPECT_FALSE(window->txtShiploc->isVisible());
    EXPECT_EQ(Page(), "shiploc.htm");
    EXPECT_EQ(window->lblWhy->text(), "Why use Shipping Locations?");
    SaveScreenshot(*window, "frmShipLoc_list");
}

TEST_F(ShipLocWindowTest, APastedTextIsStoredInCapitals) {
    Click(window->lblAdd);
    window->txtShiploc->setText("k1a");  // no key went through the filter
    Click(window->lblOK);
    EXPECT_EQ(FieldOf("SELECT zip FROM shipzips", {}), "K1A");
    EXPECT_EQ(Listed(), (QStringList{"ALL", "K1A"}));
}

TEST_F(ShipLocWindowTest, ARefusalKeepsTheEntryAndItsText) {
    Click(window->lblAdd);
    QTest::keyClicks(window->txtShiploc, "60a");
    Click(window->lblOK);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, "Data Entry Error");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(window->txtShiploc->isVisible());
    EXPECT_EQ(window->txtShiploc->text(), "60A");
    EXPECT_EQ(Page(), "newloc.htm");
    EXPECT_EQ(Listed(), QStringList{"ALL"});
    EXPECT_EQ(RowsOf("shipzips", "60A"), 0);
}

TEST_F(ShipLocWindowTest, AFailedAddRestoresThePointerAndStoresNothing) {
    Exec(
        "CREATE TRIGGER refuse AFTER INSERT ON discounts "
        "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END");
    Click(window->lblAdd);
    QTest::keyClicks(window->txtShiploc, "606");
    Click(window->lblOK);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(RowsOf("shipzips", "606"), 0);
    EXPECT_EQ(RowsOf("states", "606"), 0);
    EXPECT_TRUE(window->txtShiploc->isVisible());
    EXPECT_EQ(window->txtShiploc->text(), "606");
    EXPECT_EQ(Listed(), QStringList{"ALL"});
}

TEST_F(ShipLocWindowTest, CancelShowsTheListAndKeepsTheCaption) {
    Click(window->lblAdd);
    QTest::keyClicks(window->txtShiploc, "606");
    Click(window->lblCancel);
    EXPECT_TRUE(window->cmbShipLoc->isVisible());
    EXPECT_TRUE(window->lblDelete->isVisible());
    EXPECT_FALSE(window->lblOK->isVisible());
    EXPECT_EQ(Page(), "shiploc.htm");
    EXPECT_EQ(window->lblWhy->text(), "What is the shipping location?");
    EXPECT_EQ(RowsOf("shipzips", "606"), 0);
    // The box keeps its text for the next Add.
    Click(window->lblAdd);
    EXPECT_EQ(window->txtShiploc->text(), "606");
}

TEST_F(ShipLocWindowTest, DeleteTheShownLocationAfterYes) {
    Click(window->lblAdd);
    QTest::keyClicks(window->txtShiploc, "606");
    Click(window->lblOK);
    Click(window->lblAdd);
    window->txtShiploc->clear();
    QTest::keyClicks(window->txtShiploc, "900");
    Click(window->lblOK);
    window->cmbShipLoc->setCurrentIndex(window->cmbShipLoc->findText("606"));
    messageScript.Queue(kIdYes);
    Click(window->lblDelete);
    EXPECT_EQ(Listed(), (QStringList{"ALL", "900"}));
    EXPECT_EQ(window->cmbShipLoc->currentText(), "ALL");
    EXPECT_EQ(RowsOf("states", "606"), 0);
    EXPECT_EQ(RowsOf("states", "900"), 60);
}

TEST_F(ShipLocWindowTest, TheMenuCommandOpensItAndDoneUnloadsIt) {
    InstallCustomisationWindows();
    ASSERT_TRUE(CommandWindowRegistered(CommandWindow::ShippingLocations));
    UnloadShipLocWindow();
    Exec("INSERT INTO shipzips (zip) VALUES ('532')");
    QStringList seen;
    SetPricingModalRunner([&](QDialog& dialog) {
        auto& shown = dynamic_cast<frmShipLoc&>(dialog);
        for (int i = 0; i < shown.cmbShipLoc->count(); ++i) seen << shown.cmbShipLoc->itemText(i);
        shown.lblExit_Click();
    });
    OpenCommandWindow(CommandWindow::ShippingLocations);
    EXPECT_EQ(seen, QStringList{"532"});
    window = ShipLocWindow();  // a new window: the old one went with Done
    window->Form_Activate();
    EXPECT_EQ(Listed(), QStringList{"532"});
}

}  // namespace

namespace {

// Without a pointer: Tab reaches Add, Enter on it opens the entry; in the entry Enter is OK and
// Escape Cancel; in the list Escape closes the window as its close box does.
TEST_F(ShipLocWindowTest, TheEntryAndTheListAnswerEnterAndEscape) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
    for (int i = 0; i < 20 && QApplication::focusWidget() != window->lblAdd; ++i) key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), window->lblAdd);
    key(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), window->txtShiploc);
    QTest::keyClicks(QApplication::focusWidget(), "k1a");
    key(Qt::Key_Escape);  // Cancel: back to the list, nothing added
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->cmbShipLoc->isVisible());
    EXPECT_EQ(Listed(), QStringList{"ALL"});

    for (int i = 0; i < 20 && QApplication::focusWidget() != window->lblAdd; ++i) key(Qt::Key_Tab);
    key(Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), "k1a");
    key(Qt::Key_Return);  // OK
    EXPECT_EQ(Listed(), (QStringList{"ALL", "K1A"}));
    EXPECT_TRUE(window->cmbShipLoc->isVisible());

    key(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
