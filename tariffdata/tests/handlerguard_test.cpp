#include "handlerguard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "database.h"
#include "fileerror.h"
#include "geography.h"
#include "lockedfiles.h"
#include "messagebox.h"
#include "msgbox.h"
#include "numbers.h"
#include "tariffdb.h"
#include "testdata.h"

namespace {

class HandlerGuard : public ::testing::Test {
  protected:
    void SetUp() override {
        messageScript.Reset();
        messageScript.Start();
        messages.Reset();
        OpenTariffDatabase();
    }
    void TearDown() override { messageScript.Reset(); }

    std::vector<std::string> TakeMessages() {
        std::vector<std::string> out;
        for (const auto& m : messageScript.Log())
            out.push_back((m.title + ": " + m.text).toStdString());
        messageScript.ClearLog();
        return out;
    }
    std::string Stored(const std::string& key) {
        Snapshot s = tariff.gDB->OpenSnapshot("SELECT valuef FROM tblConfig WHERE keyf = ?", {key});
        return s.AtEOF() ? "(none)" : s.Field(size_t{0}).str();
    }
    void Write(const std::string& key, const std::string& value) {
        tariff.gDB->Execute("UPDATE tblConfig SET valuef = ? WHERE keyf = ?", {value, key});
    }

    ScratchAppFolder app;
};

using Messages = std::vector<std::string>;

TEST_F(HandlerGuard, AnErrorOfAnyKindBecomesAMessageAndEndsTheBody) {
    bool after = false;
    EXPECT_FALSE(RunHandler([&] {
        throw DbError(kErrLocked, "The database is locked by another program.");
        after = true;
    }));
    EXPECT_FALSE(after);
    EXPECT_FALSE(RunHandler([] { throw TariffDataError("The lane file cxmap.dat is short."); }));
    EXPECT_FALSE(RunHandler([] { throw FileError(FileError::kFileNotFound, "No svc.dat."); }));
    EXPECT_FALSE(RunHandler([] { throw 42; }));
    EXPECT_EQ(TakeMessages(),
              (Messages{"Database Error: The database is locked by another program.",
                        "Tariff Data Error: The lane file cxmap.dat is short.",
                        "Tariff Data Error: No svc.dat.",
                        "Tariff Data Error: An unexpected error stopped this command."}));
    EXPECT_TRUE(RunHandler([] {}));
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(HandlerGuard, AFailedBodyLeavesNothingHalfWrittenAndIsUndone) {
    const std::string origin = Stored("DC_origin");
    const std::string rate = Stored("CDN_ExchangeRate");
    int undone = 0;
    EXPECT_FALSE(RunHandlerAtomically(
        [&] {
            Write("DC_origin", "99999");
            Write("CDN_ExchangeRate", "7.77");
            throw DbError(kErrGeneral, "Database error: disk I/O error");
        },
        [&] { ++undone; }));
    EXPECT_EQ(undone, 1);
    EXPECT_EQ(Stored("DC_origin"), origin);
    EXPECT_EQ(Stored("CDN_ExchangeRate"), rate);
    EXPECT_EQ(TakeMessages(), Messages{"Database Error: Database error: disk I/O error"});

    // A body that succeeds keeps every write, and its undo never runs.
    EXPECT_TRUE(RunHandlerAtomically(
        [&] {
            Write("DC_origin", "55401");
            Write("CDN_ExchangeRate", "1.25");
        },
        [&] { ++undone; }));
    EXPECT_EQ(undone, 1);
    EXPECT_EQ(Stored("DC_origin"), "55401");
    EXPECT_EQ(Stored("CDN_ExchangeRate"), "1.25");
}

// A window that tells errors in its own words gets each error once, and the program's own
// message is not shown beside it; the transaction is taken back all the same.
TEST_F(HandlerGuard, AWindowsOwnReportGetsTheErrorInsteadOfTheProgramsMessage) {
    std::vector<std::string> told;
    auto report = [&](const std::exception& e) { told.push_back(e.what()); };
    EXPECT_FALSE(RunHandler([] { throw DbError(kErrLocked, "held elsewhere"); }, report));
    EXPECT_FALSE(RunHandler([] { throw 7; }, report));
    EXPECT_TRUE(RunHandler([] {}, report));
    const std::string origin = Stored("DC_origin");
    EXPECT_FALSE(RunHandlerAtomically(
        [&] {
            Write("DC_origin", "99999");
            throw TariffDataError("the second write failed");
        },
        {}, report));
    EXPECT_EQ(Stored("DC_origin"), origin);
    EXPECT_EQ(told, (std::vector<std::string>{"held elsewhere",
                                              "An unexpected error stopped this command.",
                                              "the second write failed"}));
    EXPECT_TRUE(TakeMessages().empty());
}

// The slot a signal is connected to passes the signal's arguments to the handler and keeps its
// error in.
TEST_F(HandlerGuard, AGuardedSlotPassesItsArgumentsAndKeepsTheErrorIn) {
    struct Window {
        std::vector<std::string> seen;
        void Picked(const std::string& name, int row) {
            seen.push_back(name + "@" + std::to_string(row));
            if (row < 0) throw DbError(kErrGeneral, "Database error: disk I/O error");
            if (row == 0) throw NumberError(NumberError::kOverflow);
        }
    } window;
    auto picked = Guarded(&window, &Window::Picked);
    picked("Texas", 3);
    picked("Ohio", -1);
    picked("Utah", 0);
    EXPECT_EQ(window.seen, (std::vector<std::string>{"Texas@3", "Ohio@-1", "Utah@0"}));
    const Messages shown = TakeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "Database Error: Database error: disk I/O error");
    EXPECT_EQ(shown[1].rfind("Tariff Data Error: ", 0), 0u) << shown[1];
}

TEST_F(HandlerGuard, AnotherProgramsWriteLockIsReportedAndNothingIsWritten) {
    const std::string origin = Stored("DC_origin");
    {
        HeldLock other(app.file("data/x2007.mdb").string(), "IMMEDIATE");
        EXPECT_FALSE(RunHandlerAtomically([&] { Write("DC_origin", "12345"); }));
        const Messages shown = TakeMessages();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(
            shown[0].find("Database Error: The database " + app.file("data/x2007.mdb").string() +
                          " is locked by another program."),
            std::string::npos)
            << shown[0];
    }
    EXPECT_EQ(Stored("DC_origin"), origin);
    // The lock gone, the same command goes through: no transaction was left open.
    EXPECT_TRUE(RunHandlerAtomically([&] { Write("DC_origin", "12345"); }));
    EXPECT_EQ(Stored("DC_origin"), "12345");
}

TEST_F(HandlerGuard, AWriteLockHeldForAMomentIsWaitedFor) {
    HeldLock other(app.file("data/x2007.mdb").string(), "IMMEDIATE");
    std::thread finisher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(Database::kBusyTimeoutMs / 5));
        other.Release();
    });
    // The program's own recordsets, open on their rows, hold no lock that would stop it.
    const bool stored = RunHandlerAtomically([&] {
        tariff.rsConfig->Seek("=", {"DC_origin"});
        Write("DC_origin", "60601");
    });
    finisher.join();
    EXPECT_TRUE(stored);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(Stored("DC_origin"), "60601");
}

TEST(ErrorReport, EveryErrorHasItsLabelledNumberAndItsDescriptionOnALineOfItsOwn) {
    EXPECT_EQ(ErrorReport(FileError(FileError::kFileNotFound, "The state list is missing.")),
              "Error 53\nThe state list is missing.");
    EXPECT_EQ(ErrorReport(DbError(kErrNotFound, "The table 'IndPts' is missing.")),
              "Error 3011\nThe table 'IndPts' is missing.");
    EXPECT_EQ(ErrorReport(NumberError(NumberError::kOverflow)).substr(0, 8), "Error 6\n");
    EXPECT_EQ(ErrorReport(TariffDataError("A gap.")), "Error 5\nA gap.");
    EXPECT_EQ(ErrorReport(std::runtime_error("Anything else.")), "Error 5\nAnything else.");
}

}  // namespace
