#pragma once
// The scenario commands of the batch rate test. Each opens the hidden window the way the carrier
// does (its two access codes), drives it and gives back what it wrote as a JSON object.
//
//   ponytest FILE                     the file test on FILE (a path relative to the scenario,
//                                     or $APP/... in the application folder); the answer to
//                                     "Do you want FL rates?" comes from `answer`; gives
//                                     every line written and, as badLines, how many of them
//                                     were written unrated because they cannot be rated
//   ponybatch ORIGIN [class=C] [discount=D]   the batch run, then every ponyout row

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "commandwindows.h"
#include "database.h"
#include "frmpony.h"
#include "maskededit.h"
#include "numbers.h"
#include "settings.h"
#include "tariffdb.h"

namespace scenario_pony {

using JsonText = std::function<std::string(const std::string&)>;

// A file named in a scenario: "$APP/" is the application folder, any other relative path is
// taken from the scenario's own folder.
inline std::string ResolvePath(const std::filesystem::path& scenarioFile, const std::string& path) {
    if (path.rfind("$APP/", 0) == 0 || std::filesystem::path(path).is_absolute()) return path;
    return (scenarioFile.parent_path() / path).string();
}

// Opens the window through the main window's hidden command and passes both access codes.
inline void OpenUnlocked(const std::function<void(frmPony&)>& then) {
    SetPonyShow([&](frmPony& w) {
        for (const char* code : {"%kvq", "h4rb#q"}) {
            w.txtPwd->setText(QString::fromLatin1(code));
            w.cmdRun_Click();
        }
        then(w);
        w.cmdExit_Click();
    });
    OpenCommandWindow(CommandWindow::BatchRateTest);
    SetPonyShow(nullptr);
}

inline std::string FileTest(const std::string& path, const JsonText& json) {
    const std::string input = path.rfind("$APP/", 0) == 0 ? AppFolder() + path.substr(5) : path;
    std::ifstream in(input, std::ios::binary);
    if (!in) throw std::runtime_error("ponytest: cannot read " + input);
    QTemporaryDir dir;
    {
        std::ofstream copy(dir.filePath(QStringLiteral("RTQCtest.TXT")).toStdString(),
                           std::ios::binary);
        copy << in.rdbuf();
    }
    SetConfigValue("PONY_folder", dir.path().toStdString());
    PonyFileResult result;
    OpenUnlocked([&](frmPony& w) {
        w.cmdTest_Click();
        result = w.LastFileTest();
    });
    SetConfigValue("PONY_folder", "");
    std::string out = "{\"badLines\": " + std::to_string(result.unratable) + ", \"lines\": [";
    std::ifstream written(dir.filePath(QStringLiteral("TESTDATA.TXT")).toStdString(),
                          std::ios::binary);
    std::string line;
    bool first = true;
    while (std::getline(written, line)) {
        // Every line must end in CR LF; one that does not is shown with its end.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        else
            line += "<no CR>";
        out += std::string(first ? "" : ",") + "\n      " + json(line);
        first = false;
    }
    return out + "\n    ]}";
}

inline std::string Batch(const std::string& rest, const JsonText& json) {
    std::stringstream in(rest);
    std::string origin, word, cls = "50", discount;
    in >> origin;
    while (in >> word) {
        const size_t eq = word.find('=');
        const std::string key = word.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);
        if (key == "class")
            cls = value;
        else if (key == "discount")
            discount = value;
        else
            throw std::runtime_error("ponybatch takes class= and discount=, not " + key);
    }
    PonyBatchResult result;
    OpenUnlocked([&](frmPony& w) {
        w.txtozip->setText(QString::fromStdString(origin));
        w.cboNMFC->setCurrentText(QString::fromStdString(cls));
        w.mskDiscount->SetText(QString::fromStdString(discount));
        w.cmdRun_Click();
        result = w.LastBatch();
    });
    std::string out = "{\"started\": " + std::string(result.started ? "true" : "false") +
                      ", \"skipped\": " + std::to_string(result.skipped) + ", \"rows\": [";
    Snapshot rows = tariff.gDB->OpenSnapshot("SELECT * FROM ponyout ORDER BY rowid");
    for (bool first = true; !rows.AtEOF(); rows.MoveNext(), first = false) {
        out += std::string(first ? "" : ",") + "\n      [" + json(rows.Field("ORIGIN").str()) +
               ", " + json(rows.Field("DEST").str()) + ", " + json(rows.Field("Class").str());
        for (const char* f :
             {"minchg", "L5C", "r5c", "r1m", "r2m", "r5m", "r10m", "r15m", "r20m", "r25m", "r30m"})
            out += ", " + json(Format(rows.Field(f).toDouble(), "#0.00"));
        out += "]";
    }
    return out + "\n    ]}";
}

}  // namespace scenario_pony
