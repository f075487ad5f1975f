#pragma once
// The scenario commands of the rate table and the rate sheets. Each opens the real window the
// way a user would, drives it, and gives back what it showed or printed as a JSON object.
//
//   ratetable gross|net        the rate table of the quote on screen, in that view
//   ratesheet from=CITY; to=CITY|CITY...; density=D; truckload=yes|no
//                              a rate-sheet request printed to a PDF, its pages as text

#include <QListWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "commandwindows.h"
#include "frmqpo.h"
#include "frmratesheet.h"
#include "frmratetable.h"
#include "maskededit.h"
#include "ratesheet.h"
#include "textprinter.h"

namespace scenario_ratewindows {

using JsonText = std::function<std::string(const std::string&)>;

inline std::string TrimText(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// "gross" or "net": the quote window's "Rate Table" label, then the view's label.
inline std::string RateTable(const std::string& view, const JsonText& json) {
    if (view != "gross" && view != "net") throw std::runtime_error("ratetable gross|net");
    frmQPO* quoteWindow = LoadedQuoteWindow();
    if (!quoteWindow) throw std::runtime_error("ratetable needs a quote on screen (rate first)");
    std::string out = "null";
    SetRateTableShow([&](frmRateTable& w) {
        if (view == "net") w.lblNet_Click();
        const RateTableModel& t = w.Shown();
        out = "{\"view\": " + json(view) + ", \"caption\": " + json(t.caption) + ",\n    \"lines\": [";
        const auto lines = t.Lines();
        for (size_t i = 0; i < lines.size(); ++i)
            out += std::string(i ? "," : "") + "\n      " + json(lines[i]);
        out += "\n    ]}";
        w.lblDone_Click();
    });
    quoteWindow->mlblRates_Click();
    SetRateTableShow(nullptr);
    return out;
}

// The printed items line by line: [[column, "text"], ...] per printer line.
inline std::string PrintedPages(const TextPrinter& printer, const JsonText& json) {
    std::string out = "[";
    int page = -1, line = -1;
    bool firstItem = true;
    for (const PrintedText& t : printer.Texts()) {
        if (t.page != page) {
            // A page after the first closes the last line and the lines of the one before.
            out += std::string(page < 0 ? "" : "]\n      ]},") +
                   "\n      {\"page\": " + std::to_string(t.page + 1) + ", \"lines\": [";
            page = t.page;
            line = -1;
        }
        if (t.line != line) {
            out += std::string(line < 0 ? "" : "],") + "\n        [";
            line = t.line;
            firstItem = true;
        }
        out += std::string(firstItem ? "" : ", ") + "[" + std::to_string(t.column) + ", " +
               json(t.text.toStdString()) + "]";
        firstItem = false;
    }
    if (page >= 0) out += "]\n      ]}";
    return out + "]";
}

inline const char* OutcomeName(RateSheetOutcome o) {
    switch (o) {
        case RateSheetOutcome::Printed: return "printed";
        case RateSheetOutcome::NoOrigin: return "no origin";
        case RateSheetOutcome::NoDestinations: return "no destinations";
        case RateSheetOutcome::Cancelled: return "cancelled";
        case RateSheetOutcome::Failed: return "failed";
    }
    return "?";
}

// "from=CITY; to=CITY|CITY; density=D; truckload=yes": the main window's "Rate Sheets" entry,
// the choices made in the window, "Print " and "Done".
inline std::string RateSheet(const std::string& rest, const JsonText& json) {
    std::map<std::string, std::string> fields;
    std::stringstream in(rest);
    std::string part;
    while (std::getline(in, part, ';')) {
        const size_t eq = part.find('=');
        if (eq == std::string::npos) throw std::runtime_error("ratesheet takes key=value; ...");
        fields[TrimText(part.substr(0, eq))] = TrimText(part.substr(eq + 1));
    }
    for (const auto& [key, value] : fields)
        if (key != "from" && key != "to" && key != "density" && key != "truckload")
            throw std::runtime_error("ratesheet takes from=, to=, density=, truckload=, not " + key);
    std::vector<std::string> dests;
    std::stringstream to(fields["to"]);
    while (std::getline(to, part, '|'))
        if (!TrimText(part).empty()) dests.push_back(TrimText(part));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    SetPrinterChooser(ChoosePdfFile(pdf));
    std::string out = "null";
    std::string error;
    SetRateSheetShow([&](frmRateSheet& w) {
        if (fields.count("from")) {
            const int at = w.cmbFrom->findText(QString::fromStdString(fields["from"]));
            if (at < 0) error = "no rate-sheet city \"" + fields["from"] + "\"";
            w.cmbFrom->setCurrentIndex(at);
        }
        for (const std::string& d : dests) {
            const auto found = w.lstTo->findItems(QString::fromStdString(d), Qt::MatchExactly);
            if (found.isEmpty()) error = "no rate-sheet city \"" + d + "\"";
            else found.front()->setSelected(true);
        }
        if (fields.count("density")) w.mskDensity->SetText(QString::fromStdString(fields["density"]));
        w.chkTruckLoadRates->setChecked(fields["truckload"] == "yes");
        if (error.empty()) {
            const RateSheetOutcome outcome = w.lblRate_Click();
            out = "{\"outcome\": " + json(OutcomeName(outcome)) + ", \"pages\": " +
                  (w.LastPrinter() ? PrintedPages(*w.LastPrinter(), json) : std::string("[]")) +
                  "}";
        }
        w.lblDone_Click();
    });
    OpenCommandWindow(CommandWindow::RateSheets);
    SetRateSheetShow(nullptr);
    SetPrinterChooser(nullptr);
    if (!error.empty()) throw std::runtime_error(error);
    return out;
}

}  // namespace scenario_ratewindows
