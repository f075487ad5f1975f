// The main window when the data fail it while it runs: a database another program has locked
// or made unwritable, a settings row gone, a lane file shortened by a tariff update. Each
// command ends in a message, nothing stays half written, and the window stays usable.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <filesystem>
#include <memory>

#include "auxwindow.h"
#include "commodity.h"
#include "displayquote.h"
#include "form3.h"
#include "labelbutton.h"
#include "lockedfiles.h"
#include "messagebox.h"
#include "msgbox.h"
#include "offshore.h"
#include "programstate.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"
#include "testdata.h"

namespace fs = std::filesystem;

namespace {

class Form3Errors : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        Form3::SetProgramEnd([] {});
        form = std::make_unique<Form3>();
        form->Form_Load();
        form->Form_Activate();
        messageScript.ClearLog();
    }
    void TearDown() override {
        form.reset();
        messageScript.Reset();
    }

    QListWidgetItem* Item(const char* text) {
        auto found = form->lstAccessorials->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    }
    std::string Stored(const std::string& sql, const std::string& key) {
        Snapshot s = tariff.gDB->OpenSnapshot(sql, {key});
        return s.AtEOF() ? "(none)" : s.Field(size_t{0}).str();
    }
    std::string Apply(const char* name) {
        return Stored("SELECT apply FROM accessorials WHERE Name = ?", name);
    }
    std::string Config(const char* key) {
        return Stored("SELECT valuef FROM tblConfig WHERE keyf = ?", key);
    }
    // The one message shown since the last call, as "title: text".
    std::string TakeMessage() {
        std::string out;
        for (const auto& m : messageScript.Log())
            out += (out.empty() ? "" : " | ") + (m.title + ": " + m.text).toStdString();
        messageScript.ClearLog();
        return out;
    }
    std::string Database() const { return app.file("data/x2007.mdb").string(); }
    // A click the database refused is taken back whole: from the list, the request and the
    // stored choices, and the liftgate chosen before stays.
    void ExpectTakenBack(const char* name, bool chosenInRequest) {
        EXPECT_FALSE(Item(name)->isSelected()) << name;
        EXPECT_FALSE(chosenInRequest) << name;
        EXPECT_EQ(Apply(name), "0") << name;
        EXPECT_TRUE(Item("Liftgate service")->isSelected());
        EXPECT_TRUE(commodityLines.gAccLiftgate);
        EXPECT_EQ(Apply("Liftgate service"), "1");
    }

    ScratchAppFolder app;
    std::unique_ptr<Form3> form;
};

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

TEST_F(Form3Errors, AnAccessorialClickTheDatabaseRefusesIsTakenBackWhole) {
    ASSERT_NE(Item("Liftgate service"), nullptr);
    {
        HeldLock other(Database(), "IMMEDIATE");
        Item("Liftgate service")->setSelected(true);
        const std::string m = TakeMessage();
        EXPECT_TRUE(StartsWith(
            m, "Database Error: The database " + Database() + " is locked by another program"))
            << m;
        EXPECT_FALSE(Item("Liftgate service")->isSelected());
        EXPECT_FALSE(commodityLines.gAccLiftgate);
    }
    EXPECT_EQ(Apply("Liftgate service"), "0");
    // The lock gone, the same click is stored.
    Item("Liftgate service")->setSelected(true);
    EXPECT_TRUE(TakeMessage().empty());
    EXPECT_TRUE(commodityLines.gAccLiftgate);
    EXPECT_EQ(Apply("Liftgate service"), "1");

    // The database refuses the change as a read-only file does. No file permission stops root,
    // so the program's own connection is made read-only instead: whoever runs the tests meets
    // this refusal and the message a user of a read-only copy reads.
    const std::string readOnly = "Database Error: The database " + Database() +
                                 " is read-only, so the change was not saved.";
    tariff.gDB->Execute("PRAGMA query_only = ON");
    Item("Residential delivery")->setSelected(true);
    EXPECT_EQ(TakeMessage(), readOnly);
    ExpectTakenBack("Residential delivery", commodityLines.gAccResidential);
    tariff.gDB->Execute("PRAGMA query_only = OFF");

    // A folder made read-only under the running program: the engine cannot keep its journal.
    // Mode bits do that for an ordinary user, the immutable flag for root where the file system
    // has it.
    ReadOnlyPath folder(app.file("data"));
    if (folder.Writable()) GTEST_SKIP() << "this file system cannot make a folder read-only";
    Item("Residential delivery")->setSelected(true);
    const std::string m = TakeMessage();
    // The engine calls a database whose folder the mode bits keep it from writing read-only; an
    // immutable folder is one it cannot make its journal in.
    EXPECT_TRUE(m == readOnly || m == "Database Error: The change was not saved: the database " +
                                          Database() + " or its folder cannot be written.")
        << m;
    ExpectTakenBack("Residential delivery", commodityLines.gAccResidential);
}

TEST_F(Form3Errors, SavingTheDefaultOriginThatCannotBeStoredSaysSo) {
    form->txtozip->setText("55401");
    const std::string before = Config("DC_origin");
    {
        HeldLock other(Database(), "IMMEDIATE");
        QTest::mouseDClick(form->lblOrigin, Qt::LeftButton);
        const std::string m = TakeMessage();
        EXPECT_TRUE(StartsWith(m, "Database Error: ")) << m;
        EXPECT_EQ(m.find("Saved"), std::string::npos) << m;  // never a false "saved"
    }
    EXPECT_EQ(Config("DC_origin"), before);

    tariff.gDB->Execute("DELETE FROM tblConfig WHERE keyf = 'DC_origin'");
    QTest::mouseDClick(form->lblOrigin, Qt::LeftButton);
    const std::string m = TakeMessage();
    EXPECT_TRUE(StartsWith(m, "Tariff Data Error: ")) << m;
    EXPECT_NE(m.find("\"DC_origin\" is not in the settings table"), std::string::npos) << m;
    EXPECT_EQ(Config("DC_origin"), "(none)");
}

// A tariff update rewrites a lane file shorter while the program runs. An earlier tariff
// without the list of its files is read as it is: a read past the new end still stops it.
TEST_F(Form3Errors, ALaneFileShortenedUnderTheRunningProgramIsAMessage) {
    app.dropFileList();
    form->txtozip->setText("55401");
    form->txtozip_LostFocus();
    form->txtdzip->setText("60601");
    form->txtdzip_LostFocus();
    form->txtweight[0]->setText("450");
    ASSERT_TRUE(TakeMessage().empty());
    int quotes = 0;
    SetQuoteDisplayHook([&] { ++quotes; });
    fs::resize_file(app.file("data/cxmap.dat"), 1000);
    emit form->lblRate->clicked();
    const std::string m = TakeMessage();
    EXPECT_TRUE(StartsWith(
        m, "Rating Error: The data file " + app.file("data/cxmap.dat").string() + " is too short"))
        << m;
    EXPECT_EQ(quotes, 0);

    // The update finished (the file written whole again), the same request rates.
    fs::copy_file(FRETLYN_APP_DIR "/data/cxmap.dat", app.file("data/cxmap.dat"),
                  fs::copy_options::overwrite_existing);
    form->txtozip->setText("55401");
    form->txtozip_LostFocus();
    emit form->lblRate->clicked();
    SetQuoteDisplayHook(nullptr);
    EXPECT_EQ(quotes, 1) << TakeMessage();
}

// A fuel surcharge damaged in the database stops the quote naming it, and the window that
// sets it opens, rather than quoting without the surcharge.
TEST_F(Form3Errors, ADamagedFuelSurchargeIsNamedAndItsWindowOpens) {
    tariff.gDB->Execute("UPDATE tblConfig SET valuef = 'abc' WHERE keyf = 'FSC_fsc'");
    form->txtozip->setText("55401");
    form->txtozip_LostFocus();
    form->txtdzip->setText("60601");
    form->txtdzip_LostFocus();
    form->txtweight[0]->setText("1000");
    ASSERT_TRUE(TakeMessage().empty());
    int quotes = 0;
    SetQuoteDisplayHook([&] {
        DisplayQuote(0);
        ++quotes;
    });
    QStringList opened;
    SetAuxModalRunner([&](QDialog& window) { opened << window.objectName(); });
    emit form->lblRate->clicked();
    SetAuxModalRunner(nullptr);
    SetQuoteDisplayHook(nullptr);
    const std::string m = TakeMessage();
    EXPECT_TRUE(StartsWith(m,
                           "Rating Error: The setting FSC_fsc (the fuel surcharge) in the "
                           "database " +
                               TariffDatabasePath() + " holds \"abc\""))
        << m;
    EXPECT_EQ(quotes, 0);
    EXPECT_EQ(opened, QStringList{QStringLiteral("frmFuelSurcharge")});
}

}  // namespace
