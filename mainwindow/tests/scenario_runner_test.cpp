// The scenario runner itself: a scenario always ends, whatever window the program opens.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct RunnerRun {
    int status = -1;  // the runner's exit status; 124 when it was stopped for taking too long
    std::string output;
};

// Runs one scenario, stopped after a minute: a run that waits on a window never ends.
RunnerRun RunScenario(const std::string& text) {
    QTemporaryDir dir;
    EXPECT_TRUE(dir.isValid());
    const std::string file = dir.filePath(QStringLiteral("waits.scn")).toStdString();
    std::ofstream(file) << text;
    const std::string command =
        std::string("timeout 60 ") + FRETLYN_SCENARIOS + " '" + file + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    RunnerRun run;
    std::array<char, 65536> buffer{};
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        run.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A damaged fuel surcharge sends the user to the window that sets it, which the scenario has no
// answer for: the window is closed as Escape closes it, what it showed is recorded after the
// message that sent the user there, and the scenario goes on to its end.
TEST(ScenarioRunner, AWindowTheScenarioCannotAnswerIsClosedAndRecorded) {
    const char* const requests[] = {
        "origin 55401\ndestination 60601\nline 1000 class=100\n",
        "origin 60601\ndestination 96813\nline 1000 class=100\ncube 120\n"};  // Hawaii
    for (const char* fuel : {"abc", "1e308"}) {
        for (const char* request : requests) {
            SCOPED_TRACE(std::string(fuel) + " " + request);
            const RunnerRun run = RunScenario(std::string("setting FSC_fsc ") + fuel + "\n" +
                                              request + "rate\nline 500 class=85\nrate\n");
            ASSERT_EQ(run.status, 0) << run.output;
            QJsonParseError parsed;
            const QJsonDocument result =
                QJsonDocument::fromJson(QByteArray::fromStdString(run.output), &parsed);
            ASSERT_EQ(parsed.error, QJsonParseError::NoError) << run.output;
            // Both ratings ran, each refused and each closing the window it opened.
            const QJsonArray quotes = result[QStringLiteral("quotes")].toArray();
            ASSERT_EQ(quotes.size(), 2) << run.output;
            EXPECT_TRUE(quotes[0].isNull() && quotes[1].isNull()) << run.output;
            const QJsonArray messages = result[QStringLiteral("messages")].toArray();
            ASSERT_EQ(messages.size(), 4) << run.output;
            for (int i = 0; i < 4; i += 2) {
                const QJsonObject said = messages[i].toObject();
                const QJsonObject closed = messages[i + 1].toObject();
                EXPECT_EQ(said[QStringLiteral("title")].toString(), QStringLiteral("Rating Error"));
                EXPECT_TRUE(
                    said[QStringLiteral("text")].toString().contains(QStringLiteral("FSC_fsc")));
                EXPECT_EQ(closed[QStringLiteral("title")].toString(),
                          QStringLiteral("Closed unanswered: frmFuelSurcharge"));
                EXPECT_TRUE(closed[QStringLiteral("text")].toString().startsWith(
                    QStringLiteral("Fuel Surcharge\nNorvale Fuel Surcharge %\n")))
                    << closed[QStringLiteral("text")].toString().toStdString();
            }
        }
    }
}

}  // namespace
