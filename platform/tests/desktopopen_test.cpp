#include "desktopopen.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "pdfreader.h"

namespace {

// Puts a stand-in xdg-open, written as a shell script, first on PATH.
class DesktopOpenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ":" + path);
        SetPdfReader(nullptr);
    }
    void TearDown() override { qputenv("PATH", path); }
    void FakeOpener(const QString& body) {
        QFile script(dir.filePath(QStringLiteral("xdg-open")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            ("#!/bin/sh\nprintf '%s' \"$1\" > '" + Handed() + "'\n" + body + "\n").toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Handed() const { return dir.filePath(QStringLiteral("handed.txt")); }
    QString HandedText() const {
        QFile f(Handed());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QTemporaryDir dir;
    QByteArray path;
};

// What the opener reports, once it is known.
struct Outcome {
    bool failed = false;
    QString why;
    OpenFailure Sink() {
        return [this](const QString& text) {
            failed = true;
            why = text;
        };
    }
};

TEST_F(DesktopOpenTest, AnOpenerThatFailsIsReportedLaterAndOneThatSucceedsIsNot) {
    FakeOpener(QStringLiteral("exit 3"));
    Outcome web;
    OpenWithDesktop(QUrl(QStringLiteral("https://example.test/page.htm")), web.Sink());
    ASSERT_TRUE(QTest::qWaitFor([&] { return web.failed; }, 5000));
    EXPECT_TRUE(web.why.contains("3")) << web.why.toStdString();
    EXPECT_EQ(HandedText(), "https://example.test/page.htm");
    Outcome pdf;
    EXPECT_TRUE(OpenInPdfReader("/tmp/some bill.pdf", pdf.Sink()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pdf.failed; }, 5000));
    // The reader gets the file's own path, blanks and all, not a file: address.
    EXPECT_EQ(HandedText(), "/tmp/some bill.pdf");

    FakeOpener(QStringLiteral("exit 0"));
    Outcome fine;
    OpenWithDesktop(QUrl(QStringLiteral("https://example.test/other.htm")), fine.Sink());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return HandedText() == "https://example.test/other.htm"; }, 5000));
    QTest::qWait(300);
    EXPECT_FALSE(fine.failed);
}

// A failure found while another window has opened since (a print dialog, a message) is told
// only once that window has closed: one window at a time.
TEST_F(DesktopOpenTest, AFailureWaitsUntilTheWindowsOpenedSinceHaveClosed) {
    FakeOpener(QStringLiteral("exit 3"));
    Outcome pdf;
    QDialog owner;
    QDialog later;
    bool toldWhileLaterWasUp = false;
    QTimer::singleShot(0, &owner, [&] {
        EXPECT_TRUE(OpenInPdfReader("/tmp/bill.pdf", pdf.Sink()));
        QTimer::singleShot(0, &later, [&] {
            // Long enough for the opener to have failed.
            QTimer::singleShot(1500, &later, [&] {
                toldWhileLaterWasUp = pdf.failed;
                later.accept();
            });
            later.exec();
        });
    });
    QTimer::singleShot(0, &owner,
                       [&] { QTimer::singleShot(3000, &owner, [&] { owner.accept(); }); });
    owner.exec();
    EXPECT_FALSE(toldWhileLaterWasUp);
    // Told once the later window has gone, with the window it was opened from still up.
    EXPECT_TRUE(pdf.failed);
}

TEST_F(DesktopOpenTest, NoOpenerAtAllIsAFailure) {
    qputenv("PATH", QFile::encodeName(dir.path()));
    Outcome web, pdf;
    OpenWithDesktop(QUrl(QStringLiteral("https://example.test/")), web.Sink());
    OpenInPdfReader("/tmp/bill.pdf", pdf.Sink());
    ASSERT_TRUE(QTest::qWaitFor([&] { return web.failed && pdf.failed; }, 5000));
    EXPECT_TRUE(web.why.contains("xdg-open")) << web.why.toStdString();
}

// Where the viewer runs in the foreground, xdg-open returns only when the viewer is closed: it
// is never waited for, and a viewer closed much later is no failure.
TEST_F(DesktopOpenTest, AnOpenerThatNeverReturnsIsNotWaitedFor) {
    FakeOpener(QStringLiteral("exec sleep 30"));
    QElapsedTimer clock;
    clock.start();
    Outcome outcome;
    for (int copy = 0; copy < 6; ++copy)
        EXPECT_TRUE(OpenInPdfReader("/tmp/bill.pdf", outcome.Sink()));
    OpenWithDesktop(QUrl(QStringLiteral("https://example.test/")), outcome.Sink());
    EXPECT_LT(clock.elapsed(), 1000);
    // The program's own events still run while the openers are busy.
    bool ticked = false;
    QTimer::singleShot(10, [&] { ticked = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticked; }, 500));
    EXPECT_FALSE(outcome.failed);
}

}  // namespace
