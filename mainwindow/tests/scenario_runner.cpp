// Runs quote scenarios through the main window as a user would, and prints what the user saw
// as JSON: every message, every quote line, the offers and the service standard.
//
//   fretlyn_scenarios FILE.scn...            prints the result of each scenario
//   fretlyn_scenarios --check DIR            compares every DIR/*.scn with its .json twin,
//                                            adds up every quote shown and holds every offer
//                                            chosen to its price (quote_addup.h)
//   fretlyn_scenarios --update DIR           rewrites the .json twins from what runs now
//   fretlyn_scenarios --app APP ...          any of these on the application folder APP as it
//                                            is (an installed one), each scenario on a fresh
//                                            copy of its database in a data folder of its own
//
// The scenario format is described in scenarios/README.md.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

#include "commodity.h"
#include "displayquote.h"
#include "form3.h"
#include "frmqpo.h"
#include "installdialogs.h"
#include "maskededit.h"
#include "messagebox.h"
#include "messagewindow.h"
#include "msgbox.h"
#include "numbers.h"
#include "offshore.h"
#include "programstate.h"
#include "quote_addup.h"
#include "quotecharges.h"
#include "quotedialogforms.h"
#include "quotedialogs.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "scenario_extensions.h"
#include "scenario_pony.h"
#include "scenario_quote.h"
#include "scenario_ratewindows.h"
#include "scenario_unanswered.h"
#include "settings.h"
#include "startup.h"
#include "tariffdb.h"
#include "testdata.h"
#include "userdatabase.h"

namespace fs = std::filesystem;

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

struct Scenario {
    std::string name;
    std::vector<std::pair<std::string, std::string>> steps;  // command, rest of the line
};

// Splits "key=value; key=value" into pairs.
std::vector<std::pair<std::string, std::string>> Fields(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> out;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ';')) {
        size_t eq = part.find('=');
        if (eq == std::string::npos) throw std::runtime_error("expected name=value in: " + part);
        out.emplace_back(Trim(part.substr(0, eq)), Trim(part.substr(eq + 1)));
    }
    return out;
}

// Splits at blanks; a double-quoted part (a whole word, or the value after "key=") keeps its
// blanks and loses its quotes: `" 450 " class="100 "` gives " 450 " and "class=100 ".
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        std::string word;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
            if (text[i] == '"') {
                size_t close = text.find('"', i + 1);
                if (close == std::string::npos) throw std::runtime_error("unclosed quote: " + text);
                word += text.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                word += text[i++];
            }
        }
        words.push_back(word);
    }
    return words;
}

// A command's whole argument, without the quotes around it if it has them.
std::string Unquote(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::string BreakName(int b) {
    static const char* kNames[] = {"MC",  "L5C", "5C",  "1M",  "2M", "5M",
                                   "10M", "15M", "20M", "25M", "30M"};
    return b >= 0 && b <= 10 ? kNames[b] : std::to_string(b);
}

Scenario Parse(const fs::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    Scenario s;
    s.name = file.stem().string();
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        size_t space = line.find(' ');
        std::string command = line.substr(0, space);
        std::string rest = space == std::string::npos ? "" : Trim(line.substr(space + 1));
        if (command == "scenario") {
            s.name = rest;
            continue;
        }
        static const char* kKnown[] = {
            "setting", "row",       "sql",         "origin",   "destination", "line",
            "cube",    "willcall",  "accessorial", "answer",   "pick",        "rate",
            "port",    "military",  "cod",         "discount", "canadian",    "quote-accessorial",
            "done",    "ratetable", "ratesheet",   "ponytest", "ponybatch"};
        bool known = false;
        for (const char* k : kKnown) known |= command == k;
        known = known || IsExtensionCommand(command);
        if (!known)
            throw std::runtime_error(file.string() + ":" + std::to_string(number) +
                                     ": unknown command \"" + command + "\"");
        if (command == "ponytest") rest = scenario_pony::ResolvePath(file, rest);
        s.steps.emplace_back(command, rest);
    }
    return s;
}

int AnswerCode(const std::string& word) {
    if (word == "yes" || word == "ok") return kIdYes;
    if (word == "no") return kIdNo;
    if (word == "cancel") return kIdCancel;
    throw std::runtime_error("unknown answer \"" + word + "\" (yes, ok, no, cancel)");
}

class Runner {
  public:
    // An application folder used as it is (an installed one the runner may not write); empty
    // for a fresh copy of the build's for every scenario.
    std::string installedApp;

    std::string Run(const Scenario& s) {
        std::optional<ScratchAppFolder> scratch;
        std::optional<QTemporaryDir> userData;
        if (installedApp.empty()) {
            scratch.emplace();
        } else {
            // As the program starts: on the user's own copy of the database, here a fresh one.
            userData.emplace();
            SetAppFolder(installedApp);
            SetUserDataFolder(userData->path().toStdString());
            PrepareUserDatabase();
        }
        struct Restore {
            ~Restore() {
                CloseAll();
                SetTariffDatabasePath("");
                SetUserDataFolder("");
            }
        } restore;
        // Settings and rows go into the data before the window opens them.
        {
            Database db(TariffDatabasePath());
            for (const auto& [command, rest] : s.steps) {
                if (command == "setting") Setting(db, rest);
                if (command == "row") Row(db, rest);
                if (command == "sql") db.Execute(rest);
            }
        }
        ResetAllProgramState();
        const UnansweredWindows unanswered;
        Form3 form;
        PrepareScenarioExtensions();
        ConnectProgramWindows(form);
        Form3::SetProgramEnd([] {});
        form.Form_Load();
        form.Form_Activate();
        messageScript.ClearLog();

        // The port and military questions take the scenario's answer, else the choice shown.
        std::string port, military;
        SetPRPortQuestion([&](bool jacksonvilleShown) {
            AnswerPRPort(port.empty() ? !jacksonvilleShown : port == "elizabeth");
        });
        SetMilitaryQuestion([&](bool yesShown) {
            AnswerMilitary(military.empty() ? yesShown : military == "yes");
        });
        // The quote window's dialogs are typed into as a user would, then left with Done; a
        // dialog the scenario has nothing to type into is closed without Done.
        std::string cod, typedDiscount, typedRate;
        SetQuoteDialogRunner([&](QDialog& dialog) {
            if (auto* d = qobject_cast<frmCOD*>(&dialog)) {
                if (!cod.empty()) TypeAndDone(dialog, d->mskCOD, cod, [d] { d->lblDone_Click(); });
            } else if (auto* d = qobject_cast<frmChgDisc*>(&dialog)) {
                if (!typedDiscount.empty())
                    TypeAndDone(dialog, d->mskChgDisc, typedDiscount, [d] { d->lblDone_Click(); });
            } else if (auto* d = qobject_cast<frmCdnRate*>(&dialog)) {
                if (!typedRate.empty())
                    TypeAndDone(dialog, d->mskCdnRate, typedRate, [d] { d->lblDone_Click(); });
            }
        });
        std::vector<std::string> quotes;
        std::vector<std::string> rateTables, rateSheets, ponyTests, ponyBatches;
        int lineNo = 0;
        bool quoteUp = false;  // the last rating showed a quote, still on screen
        for (const auto& [command, rest] : s.steps) {
            if (command == "origin") {
                form.txtozip->setText(QString::fromStdString(rest));
                form.txtozip_LostFocus();
            } else if (command == "destination") {
                form.txtdzip->setText(QString::fromStdString(rest));
                form.txtdzip_LostFocus();
            } else if (command == "pick") {
                auto found =
                    form.lstCities->findItems(QString::fromStdString(rest), Qt::MatchExactly);
                if (found.isEmpty())
                    throw std::runtime_error("the city list has no \"" + rest + "\"");
                found.front()->setSelected(true);
                form.lstCities_Click();
            } else if (command == "line") {
                if (lineNo > 4) throw std::runtime_error("at most five lines");
                Line(form, lineNo++, rest);
            } else if (command == "cube") {
                form.txtOceanDensity->setText(QString::fromStdString(rest));
            } else if (command == "willcall") {
                form.chkHawaiiWillCall->setChecked(rest == "yes");
            } else if (command == "accessorial") {
                auto found =
                    form.lstAccessorials->findItems(QString::fromStdString(rest), Qt::MatchExactly);
                if (found.isEmpty()) throw std::runtime_error("no accessorial \"" + rest + "\"");
                found.front()->setSelected(!found.front()->isSelected());
            } else if (command == "port") {
                if (rest != "elizabeth" && rest != "jacksonville")
                    throw std::runtime_error("port is elizabeth or jacksonville");
                port = rest;
            } else if (command == "cod") {
                cod = rest;
            } else if (command == "military") {
                military = rest;
            } else if (command == "answer") {
                messageScript.Queue(AnswerCode(rest));
            } else if (command == "rate") {
                quote.Reset();
                bool shown = false;
                ScenarioQuoteCapture capture([&] { shown = true; });
                form.lblRate_Click();
                quotes.push_back(shown ? QuoteJson() : "null");
                quoteUp = shown;
                lineNo = 0;
            } else if (command == "done") {
                if (!quoteUp) throw std::runtime_error("done needs a quote on screen");
                LoadedQuoteWindow()->mlblDone_Click();
                ActOnQuoteWindowOutcome();
                quoteUp = false;
            } else if (!quoteUp && (command == "discount" || command == "canadian" ||
                                    command == "quote-accessorial")) {
                throw std::runtime_error(command + " needs a quote on screen (rate first)");
            } else if (command == "discount") {
                typedDiscount = Unquote(rest);
                quotes.push_back(OnQuoteWindow(command, [](frmQPO& w) { w.txtChgDisc_Click(); }));
                typedDiscount.clear();
            } else if (command == "canadian") {
                typedRate = Unquote(rest);
                quotes.push_back(
                    OnQuoteWindow(command, [&](frmQPO& w) { CanadianFunds(w, typedRate); }));
                typedRate.clear();
            } else if (command == "quote-accessorial") {
                // Opens the window's list, then picks the item: its selection is the click.
                quotes.push_back(OnQuoteWindow(command, [&](frmQPO& w) {
                    w.mlblAccess_Click();
                    auto found = w.lstAccessorials->findItems(QString::fromStdString(rest),
                                                              Qt::MatchExactly);
                    if (found.isEmpty())
                        throw std::runtime_error("the quote window lists no \"" + rest + "\"");
                    found.front()->setSelected(true);
                }));
            } else if (command == "ratetable") {
                rateTables.push_back(scenario_ratewindows::RateTable(rest, Json));
            } else if (command == "ratesheet") {
                rateSheets.push_back(scenario_ratewindows::RateSheet(rest, Json));
            } else if (command == "ponytest") {
                ponyTests.push_back(scenario_pony::FileTest(rest, Json));
            } else if (command == "ponybatch") {
                ponyBatches.push_back(scenario_pony::Batch(rest, Json));
            } else {
                RunExtensionStep(command, rest);
            }
            // An action that ended in no quote (a rating refused) leaves none on screen.
            if (command == "discount" || command == "canadian" || command == "quote-accessorial")
                quoteUp = quotes.back() != "null";
        }
        std::string out = "{\n  \"scenario\": " + Json(s.name) + ",\n  \"messages\": [";
        for (size_t i = 0; i < messageScript.Log().size(); ++i) {
            const auto& m = messageScript.Log()[i];
            out += std::string(i ? "," : "") + "\n    {\"title\": " + Json(m.title.toStdString()) +
                   ", \"text\": " + Json(m.text.toStdString()) + "}";
        }
        out += messageScript.Log().empty() ? "],\n" : "\n  ],\n";
        out += "  \"service\": " + Json(form.lblService->text().toStdString()) + ",\n";
        out += "  \"quotes\": [";
        for (size_t i = 0; i < quotes.size(); ++i) out += std::string(i ? ", " : "") + quotes[i];
        out += "]";
        // Only scenarios that open the rate windows report them.
        for (const auto& [key, list] : {std::pair{"rateTables", &rateTables},
                                        {"rateSheets", &rateSheets},
                                        {"ponyTests", &ponyTests},
                                        {"ponyBatches", &ponyBatches}}) {
            if (list->empty()) continue;
            out += ",\n  \"" + std::string(key) + "\": [";
            for (size_t i = 0; i < list->size(); ++i)
                out += std::string(i ? ", " : "") + (*list)[i];
            out += "]";
        }
        out += "\n}\n";
        UnloadQuoteWindow();
        form.Form_Unload();
        SetPRPortQuestion(nullptr);
        SetMilitaryQuestion(nullptr);
        SetQuoteDialogRunner(nullptr);
        return out;
    }

  private:
    // Types into a dialog's masked box key by key, as a user would, and clicks Done.
    template <typename Done>
    static void TypeAndDone(QDialog& dialog, MaskedEdit* box, const std::string& text, Done done) {
        dialog.show();
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromStdString(text));
        done();
        dialog.hide();
    }

    // Acts on the quote window on screen and gives the quote as it then stands: redrawn in the
    // same window, or shown anew by a rating the action started, or null when none is up.
    template <typename Action>
    static std::string OnQuoteWindow(const std::string& command, Action action) {
        frmQPO* window = LoadedQuoteWindow();
        if (!window || window->outcome() == frmQPO::Outcome::Hidden)
            throw std::runtime_error(command + " needs the quote window on screen");
        bool shown = false;
        ScenarioQuoteCapture capture([&] { shown = true; });
        action(*window);
        ActOnQuoteWindowOutcome();
        return LoadedQuoteWindow() || shown ? QuoteJson() : "null";
    }

    // "Canadian $": a question about the par rate is answered yes when the scenario gives a rate
    // to type, else no.
    static void CanadianFunds(frmQPO& window, const std::string& rate) {
        if (messageScript.Pending() != 0)
            throw std::runtime_error("canadian answers its own question; no answer may wait");
        messageScript.Queue(rate.empty() ? kIdNo : kIdYes);
        window.mlblCDNExch_Click();
        // No question was asked: the answer queued for it must not answer a later message.
        if (messageScript.Pending() != 0) {
            messageScript.Stop();
            messageScript.Start();
        }
    }

    static void ResetAllProgramState() {
        ResetProgramState();
        charges.Reset();
        quote.Reset();
    }

    static void Setting(Database& db, const std::string& rest) {
        size_t space = rest.find(' ');
        std::string key = rest.substr(0, space);
        std::string value = space == std::string::npos ? "" : Trim(rest.substr(space + 1));
        if (db.Execute("UPDATE tblConfig SET valuef = ? WHERE keyf = ?", {value, key}) != 1)
            throw std::runtime_error("no setting \"" + key + "\"");
    }

    // "row TABLE: field=value; field=value" adds a row to a table.
    static void Row(Database& db, const std::string& rest) {
        size_t colon = rest.find(':');
        if (colon == std::string::npos) throw std::runtime_error("row needs TABLE: fields");
        auto rs = db.OpenRecordset(Trim(rest.substr(0, colon)));
        rs->AddNew();
        for (const auto& [field, value] : Fields(rest.substr(colon + 1)))
            rs->SetField(field, value);
        rs->Update();
        rs->Close();
    }

    // "line WEIGHT [class=C] [density=D]"; a quoted value keeps its blanks.
    static void Line(Form3& form, int i, const std::string& rest) {
        std::vector<std::string> words = Words(rest);
        if (words.empty()) throw std::runtime_error("line needs a weight (or -)");
        const std::string weight = words[0];
        form.txtweight[i]->setText(QString::fromStdString(weight == "-" ? "" : weight));
        for (size_t n = 1; n < words.size(); ++n) {
            const std::string& word = words[n];
            size_t eq = word.find('=');
            std::string key = word.substr(0, eq),
                        value = eq == std::string::npos ? "" : word.substr(eq + 1);
            if (key == "class")
                form.cmbclass[i]->setEditText(QString::fromStdString(value));
            else if (key == "density")
                form.txtDensity[i]->setText(QString::fromStdString(value));
            else
                throw std::runtime_error("line takes class= and density=, not " + key);
        }
    }

    static std::string QuoteJson() {
        std::string out = "{\n    \"origin\": " + Json(quote.txtOriginZip) +
                          ",\n    \"destination\": " + Json(quote.txtDestZip) +
                          ",\n    \"service\": " + Json(quote.mlblService) +
                          ",\n    \"economyService\": " + Json(quote.mlblDefServ) +
                          ",\n    \"discount\": " + Json(Trim(quote.txtChgDisc)) +
                          ",\n    \"lines\": [";
        const auto& lines = quote.Lines();
        bool first = true;
        for (size_t i = 0; i < lines.size(); ++i) {
            const QuoteLine& l = lines[i];
            auto cell = [](const QuoteCell& c) { return Json(Trim(c.text)); };
            if (Trim(l.cls.text + l.weight.text + l.rate.text + l.charge.text).empty()) continue;
            out += std::string(first ? "" : ",") + "\n      {\"line\": " + std::to_string(i) +
                   ", \"class\": " + cell(l.cls) + ", \"weight\": " + cell(l.weight) +
                   ", \"rate\": " + cell(l.rate) + ", \"charge\": " + cell(l.charge) + "}";
            first = false;
        }
        out += "\n    ],\n    \"total\": " + Json(Format(quoteDisplay.shownTotal, "$##,##0.00")) +
               ",\n    \"break\": " + Json(BreakName(rating.gBreak)) + ",\n    \"offers\": [" +
               Json(Trim(quote.qmrqQPO1)) + ", " + Json(Trim(quote.qmrqQPO2)) + ", " +
               Json(Trim(quote.qmrqQPO3)) + "]\n  }";
        return out;
    }
};

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Every quote shown adds up as the customer checks it (quote_addup.h): the commodity lines to
// the closing line, less the discount to the net charges, every TOTAL line, the fuel
// surcharge, the taxes, the total in Canadian funds and "Canadian $".
std::vector<std::string> QuotesThatDoNotAddUp(const QJsonDocument& result) {
    std::vector<std::string> faults;
    int n = 0;
    for (const QJsonValue quote : result[QStringLiteral("quotes")].toArray()) {
        ++n;
        if (quote.isNull()) continue;
        for (const std::string& fault : QuoteAddUpFaults(ShownQuoteLines(quote)))
            faults.push_back("quote " + std::to_string(n) + ": " + fault);
        for (const std::string& fault : MoneyFormFaults(ShownQuoteLines(quote)))
            faults.push_back("quote " + std::to_string(n) + ": " + fault);
    }
    return faults;
}

// An offer is the price the user then gets: where the scenario chooses, in the quote window, a
// service the quote on screen offered, the quote that follows ends on the price offered.
std::vector<std::string> OffersNotKept(const Scenario& s, const QJsonDocument& result) {
    const QJsonArray quotes = result[QStringLiteral("quotes")].toArray();
    std::vector<std::string> faults;
    qsizetype n = 0;  // the quotes written so far
    for (const auto& [command, rest] : s.steps) {
        if (command != "rate" && command != "discount" && command != "canadian" &&
            command != "quote-accessorial")
            continue;
        ++n;
        if (command != "quote-accessorial" || n < 2 || n > quotes.size()) continue;
        const QJsonValue before = quotes[n - 2], after = quotes[n - 1];
        if (before.isNull() || after.isNull()) continue;
        std::vector<std::string> offers;
        for (const QJsonValue offer : before[QStringLiteral("offers")].toArray())
            offers.push_back(offer.toString().toStdString());
        if (const auto fault = OfferNotKept(rest, offers, ShownQuoteLines(after)))
            faults.push_back("quote " + std::to_string(n) + ": " + *fault);
    }
    return faults;
}

std::vector<fs::path> ScenarioFiles(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".scn") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallMessageWindow();
    InstallQuoteDialogs();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr
            << "usage: fretlyn_scenarios [--app APP] FILE.scn... | --check DIR | --update DIR\n";
        return 2;
    }
    Runner runner;
    try {
        if (args.size() >= 2 && args[0] == "--app") {
            runner.installedApp = args[1];
            args.erase(args.begin(), args.begin() + 2);
            if (args.empty()) throw std::runtime_error("--app DIR goes before what to run");
        }
        if (args[0] == "--check" || args[0] == "--update") {
            if (args.size() != 2) throw std::runtime_error(args[0] + " takes one folder");
            int failed = 0, count = 0;
            for (const fs::path& scn : ScenarioFiles(args[1])) {
                ++count;
                fs::path golden = fs::path(scn).replace_extension(".json");
                const Scenario scenario = Parse(scn);
                std::string got = runner.Run(scenario);
                if (args[0] == "--update") {
                    std::ofstream(golden) << got;
                    continue;
                }
                // What the runner writes is read by other programs: it must be JSON whatever
                // its golden says.
                QJsonParseError parsed;
                const QJsonDocument result =
                    QJsonDocument::fromJson(QByteArray::fromStdString(got), &parsed);
                if (parsed.error != QJsonParseError::NoError) {
                    ++failed;
                    std::cout << "INVALID JSON " << scn.filename().string() << " at character "
                              << parsed.offset << ": " << parsed.errorString().toStdString()
                              << "\n";
                    continue;
                }
                const std::vector<std::string> faults = QuotesThatDoNotAddUp(result);
                for (const std::string& fault : faults)
                    std::cout << "DOES NOT ADD UP " << scn.filename().string() << ", " << fault
                              << "\n";
                const std::vector<std::string> offers = OffersNotKept(scenario, result);
                for (const std::string& fault : offers)
                    std::cout << "OFFER NOT KEPT " << scn.filename().string() << ", " << fault
                              << "\n";
                if (!faults.empty() || !offers.empty()) {
                    ++failed;
                    continue;
                }
                if (!fs::exists(golden) || ReadAll(golden) != got) {
                    ++failed;
                    std::cout << "MISMATCH " << scn.filename().string() << "\n--- expected ("
                              << golden.filename().string() << ")\n"
                              << (fs::exists(golden) ? ReadAll(golden) : "(missing)\n")
                              << "--- got\n"
                              << got;
                }
            }
            if (args[0] == "--update")
                std::cout << "wrote the results of " << count << " scenarios\n";
            else
                std::cout << count - failed << " of " << count << " scenarios match\n";
            return failed == 0 && count > 0 ? 0 : 1;
        }
        for (const auto& file : args) std::cout << runner.Run(Parse(file));
    } catch (const std::exception& e) {
        std::cerr << "fretlyn_scenarios: " << e.what() << "\n";
        return 2;
    }
    return 0;
}
