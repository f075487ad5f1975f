#include "desktopopen.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
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
        script.write(("#!/bin/sh\nprintf '%s' \"$1\" > '" + Handed() + "'\n" + body + "\n")
                         .toUtf8());
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

TEST_F(DesktopOpenTest, AnOpenerThatFailsIsAFailureAndOneThatSucceedsIsNot) {
    FakeOpener(QStringLiteral("exit 3"));
    EXPECT_FALSE(OpenWithDesktop(QUrl(QStringLiteral("https://example.test/page.htm"))));
    EXPECT_EQ(HandedText(), "https://example.test/page.htm");
    EXPECT_FALSE(OpenInPdfReader("/tmp/some bill.pdf"));
    // The reader gets the file's own path, blanks and all, not a file: address.
    EXPECT_EQ(HandedText(), "/tmp/some bill.pdf");

    FakeOpener(QStringLiteral("exit 0"));
    EXPECT_TRUE(OpenWithDesktop(QUrl(QStringLiteral("https://example.test/page.htm"))));
    EXPECT_TRUE(OpenInPdfReader("/tmp/some bill.pdf"));
}

TEST_F(DesktopOpenTest, NoOpenerAtAllIsAFailure) {
    qputenv("PATH", QFile::encodeName(dir.path()));
    EXPECT_FALSE(OpenWithDesktop(QUrl(QStringLiteral("https://example.test/"))));
    EXPECT_FALSE(OpenInPdfReader("/tmp/bill.pdf"));
}

TEST_F(DesktopOpenTest, AnOpenerStillBusyAfterTheWaitHasStartedItsProgram) {
    FakeOpener(QStringLiteral("exec sleep 6"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(OpenWithDesktop(QUrl(QStringLiteral("https://example.test/"))));
    EXPECT_LT(clock.elapsed(), 5000);
}

}  // namespace
