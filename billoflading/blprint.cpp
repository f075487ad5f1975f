#include "blprint.h"

#include <QString>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "blchecks.h"
#include "blhooks.h"
#include "blrate.h"
#include "blstate.h"
#include "blstore.h"
#include "database.h"
#include "displayquote.h"
#include "msgbox.h"
#include "numbers.h"
#include "outputfolder.h"
#include "pdfform.h"
#include "pdfreader.h"
#include "printquote.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"
#include "text.h"

namespace {

constexpr const char* kTitle = "Print B/L";

// A bill that cannot be printed as it stands; the text says why.
class PrintRefusal : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

void Say(const std::string& text) {
    ShowMessage(QString::fromStdString(text), kMsgOK, QString::fromLatin1(kTitle));
}

PartyRecord PartyOf(BLRecordId id, const std::string& role) {
    std::optional<PartyRecord> party = ReadParty(id);
    if (!party)
        throw PrintRefusal("The " + role + " of this B/L is not in the address book.  " +
                           "Nothing was printed.");
    return *party;
}

BLPrintLines PrintLinesOf(const std::vector<BLLineRecord>& lines) {
    BLPrintLines out{};
    size_t i = 0;
    for (const BLLineRecord& line : lines) {
        if (i == out.size()) break;
        std::optional<CommodityRecord> c = ReadCommodity(line.commodityId);
        if (!c)
            throw PrintRefusal("A commodity of this B/L is no longer in the catalogue.  " +
                               std::string("Nothing was printed."));
        out[i++] = {line.quantity, c->hazmat == 1 ? "X" : " ", c->description,
                    c->nmfc,       c->commodityClass,          line.weight};
    }
    return out;
}

void SetParty(PdfForm& form, const std::string& prefix, const PartyRecord& p) {
    form.SetField(prefix + "Name", p.name);
    form.SetField(prefix + "Address", p.address);
    form.SetField(prefix + "CityStateZip", CityStateZipLine(p.city, p.state, p.zip));
}

void OpenSaved(const std::string& path) {
    const std::string noReader = "The B/L was saved as " + path +
                                 ", but no PDF reader could be started to show it.  " +
                                 "Please open the file yourself.";
    // The reader is never waited for; it says later when it could not start.
    if (!OpenInPdfReader(path, [noReader](const QString&) { Say(noReader); })) Say(noReader);
}

bool SettingIsYes(const char* key) {
    return GetConfigValue(key, "no") == "yes";
}

std::string FormFile(const char* relative, const char* printed) {
    const std::string path = AppFolder() + relative;
    if (!std::filesystem::is_regular_file(path))
        throw PrintRefusal("The bill-of-lading form " + path + " is missing.  " + printed);
    return path;
}

void WriteFront(const BillOfLading& bl, const BLPrintLines& lines) {
    PdfForm form(FormFile(kBLFrontForm, "Nothing was printed."));
    form.SetField("Date", ShownBLDate(bl.bill.date));
    form.SetField("SN#", bl.bill.blNumber);
    form.SetField("ProNumber", bl.bill.proNumber);
    form.SetField("PO#", bl.bill.poNumber);
    SetParty(form, "Shp", PartyOf(bl.bill.shipperId, "shipper"));
    SetParty(form, "Con", PartyOf(bl.bill.consigneeId, "consignee"));
    // Without a bill-to party or a note the form's own (empty) fields stay as they are.
    if (bl.bill.billToId != 0) SetParty(form, "Bill", PartyOf(bl.bill.billToId, "bill-to party"));
    if (!bl.instructions.empty()) form.SetField("SpecialInstructions", bl.instructions);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        form.SetField("Units" + n, lines[i].Units);
        form.SetField("HazMat" + n, lines[i].HazMark);
        form.SetField("Description" + n + "-1", lines[i].Description);
        form.SetField("NMFC" + n, lines[i].NMFC);
        form.SetField("Class" + n, lines[i].Class);
        form.SetField("Weight" + n, lines[i].Weight);
    }
    const std::string out = OutputFolder() + kBLFrontOutput;
    form.WriteFirstPage(out);
    OpenSaved(out);
}

// The terms page follows a front page already saved and shown: a failure here says so, so
// that nobody takes the front page for lost.
void WriteBack() {
    const std::string out = OutputFolder() + kBLBackOutput;
    const std::string front = OutputFolder() + kBLFrontOutput;
    const std::string printed = "The front page was printed to " + front +
                                ", but the terms page was not printed.";
    try {
        CopyPdfFirstPage(FormFile(kBLBackForm, printed.c_str()), out);
    } catch (const PrintRefusal&) {
        throw;
    } catch (const std::exception& error) {
        throw PrintRefusal(printed + "  " + error.what());
    }
    OpenSaved(out);
}

// One step of the Print command: a failure is the step's own and the command goes on.
template <typename Step>
void RunStep(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace

std::string CityStateZipLine(const std::string& city, const std::string& state,
                             const std::string& zip) {
    return Trim(city) + ", " + state + "  " + zip;
}

bool PrintBL(const std::string& billNumber) {
    bool printed = false;
    try {
        const BLRecordId id = FindBLIdByNumber(billNumber);
        std::optional<BillOfLading> bl = id != 0 ? ReadBillOfLading(id) : std::nullopt;
        if (!bl) throw PrintRefusal("B/L " + Trim(billNumber) + " is not on file.");
        const BLPrintLines lines = PrintLinesOf(bl->lines);
        blWindow.boolPrintRates = SettingIsYes("BL_PrintRates");
        WriteFront(*bl, lines);
        blWindow.blnPrintBack = SettingIsYes("BL_PrintBack");
        if (blWindow.blnPrintBack) WriteBack();
        printed = true;
    } catch (const PrintRefusal& refusal) {
        Say(refusal.what());
    } catch (const PdfFormError& error) {
        Say(std::string("The B/L could not be printed.  ") + error.what());
    } catch (const DbError& error) {
        Say("The B/L could not be printed.  Error " + std::to_string(error.number()) + ": " +
            error.what());
    } catch (const std::exception& error) {
        Say(std::string("The B/L could not be printed.  ") + error.what());
    }
    return printed;
}

bool PrintRatedBLQuote() {
    bool printed = false;
    try {
        DisplayQuote(1);
        printed = PrintRateQuote() != QuotePrintResult::Failed;
    } catch (const std::exception& error) {
        Say(std::string("The quote could not be printed.  ") + error.what());
    }
    EndBillRating();
    return printed;
}

void PrintBLCopies(const std::string& billNumber) {
    const BLRatePrintHooks& hooks = GetBLRatePrintHooks();
    blWindow.BLPrinting = true;
    int copies = 0;
    try {
        copies = CInt(ConfigNumber(kBLCopiesSetting));
    } catch (const std::exception& error) {
        // Passed over, a damaged count would print nothing without a word.
        Say(std::string("The B/L was not printed.  ") + error.what());
    }
    for (int copy = 1; copy <= copies; ++copy) {
        // A bill that could not be printed has said why; a quote or a further copy after it
        // would only bury that message under a print dialog.
        bool printed = false;
        RunStep([&] { printed = hooks.PrintBL && hooks.PrintBL(billNumber); });
        if (!printed) break;
        RunStep([&] {
            blWindow.strPrintRates = GetConfigValue("BL_PrintRates", "no");
            blWindow.boolPrintRates = blWindow.strPrintRates == "yes";
        });
        if (!blWindow.boolPrintRates) continue;
        RunStep([&] {
            blWindow.strUseSpecial = GetConfigValue("BL_UseSpecialDiscount", "no");
            blWindow.boolSpecialDiscount = blWindow.strUseSpecial == "yes";
        });
        bool rated = false;
        RunStep([&] { rated = hooks.RateBL && hooks.RateBL(billNumber, 1); });
        bool quoted = true;
        if (rated && hooks.PrintRatedQuote) {
            quoted = false;
            RunStep([&] { quoted = hooks.PrintRatedQuote(); });
        }
        // The special discount was this copy's only, and so were the bill's ends.
        for (size_t b = 0; b < kDiscountedBreaks; ++b) rating.gBreakDisc[b] = rating.gBreakDisc2[b];
        EndBillRating();
        if (!quoted) break;
    }
    blWindow.BLPrinting = false;
}

void InstallBLRatePrint() {
    BLRatePrintHooks hooks;
    hooks.RateBL = [](const std::string& number, uint8_t silent) { return RateBL(number, silent); };
    hooks.PrintBL = [](const std::string& number) { return PrintBL(number); };
    hooks.PrintRatedQuote = PrintRatedBLQuote;
    SetBLRatePrintHooks(std::move(hooks));
}
