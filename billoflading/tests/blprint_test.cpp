// Printing a stored bill: the carrier's form filled field by field (read back with qpdf and
// with pdftotext), the terms page only when the settings ask for it, the reader opened only on
// a file written whole, and the Print command's copies in their order.
#include "blprint.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <QFontDatabase>
#include <QImage>
#include <QRectF>
#include <QString>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "../../platform/tests/filesizelimit.h"
#include "../../platform/tests/smallfilesystem.h"
#include "blhooks.h"
#include "blrate.h"
#include "blratefixture.h"
#include "blstate.h"
#include "blstore.h"
#include "outputfolder.h"
#include "pdfform.h"
#include "savefile.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include "ratingstate.h"
#include "tariffdb.h"

namespace fs = std::filesystem;

namespace {

class BLPrintTest : public BLRatingTest {
  protected:
    void SetUp() override {
        BLRatingTest::SetUp();
        shipper = AddParty("Lakeside Mills", kRoleShipper, "53202", "WI");
        consignee = AddParty("Capitol Foods", kRoleConsignee, "43215", "OH");
        billTo = AddParty("Harbour Accounts", kRoleBillTo, "M5V 2T6", "ON");
        acidId = AddCatalogued("Battery acid", "50", "48580", "85", 1);
        chairsId = AddCatalogued("Folding chairs", "12", "79300", "100", 0);
    }
    static BLRecordId AddCatalogued(const std::string& description, const std::string& weight,
                                    const std::string& nmfc, const std::string& cls, int hazmat) {
        CommodityRecord c;
        c.description = description;
        c.weight = weight;
        c.nmfc = nmfc;
        c.commodityClass = cls;
        c.hazmat = hazmat;
        return StoreCommodity(c, false);
    }
    static std::string ReadAll(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The rectangle of a field's box on the first page, in points from the page's top left.
    static QRectF BoxOf(const fs::path& pdf, const std::string& field) {
        QPDF doc;
        doc.processFile(pdf.string().c_str());
        QPDFAcroFormDocumentHelper form(doc);
        QPDFObjectHandle page = doc.getAllPages().front();
        const double pageHeight = page.getKey("/MediaBox").getArrayAsRectangle().ury;
        for (QPDFFormFieldObjectHelper& f : form.getFormFields()) {
            if (f.getFullyQualifiedName() != field) continue;
            const auto r = form.getAnnotationsForField(f).front().getRect();
            return QRectF(r.llx, pageHeight - r.ury, r.urx - r.llx, r.ury - r.lly);
        }
        ADD_FAILURE() << "no field " << field;
        return {};
    }
    // What pdftotext reads inside a field's box.
    static std::string TextInBox(const fs::path& pdf, const std::string& field) {
        const QRectF box = BoxOf(pdf, field);
        const std::string command = QStringLiteral("pdftotext -r 72 -x %1 -y %2 -W %3 -H %4 '")
                                        .arg(std::floor(box.x()))
                                        .arg(std::floor(box.y()))
                                        .arg(std::ceil(box.width()) + 1)
                                        .arg(std::ceil(box.height()) + 1)
                                        .toStdString() +
                                    pdf.string() + "' - 2>/dev/null";
        std::string text;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return text;
        std::array<char, 4096> buf{};
        for (size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;) text.append(buf.data(), n);
        pclose(pipe);
        return text;
    }
    // Words joined by single blanks, the lines too.
    static std::string Squeezed(const std::string& text) {
        std::string out;
        for (char ch : text) {
            const bool blank = ch == ' ' || ch == '\n' || ch == '\f';
            if (blank && (out.empty() || out.back() == ' ')) continue;
            out += blank ? ' ' : ch;
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        return out;
    }
    // The bands of rows with ink in a field's box on the page rendered at 288 dpi: one a line.
    static int InkBands(const fs::path& pdf, const std::string& field) {
        const QRectF box = BoxOf(pdf, field).adjusted(1, 1, -1, -1);
        const double scale = 4;  // 288 dpi
        const fs::path png = pdf.parent_path() / "box";
        const std::string command =
            QStringLiteral("pdftoppm -r 288 -gray -singlefile -x %1 -y %2 -W %3 -H %4 '")
                .arg(static_cast<int>(box.x() * scale))
                .arg(static_cast<int>(box.y() * scale))
                .arg(static_cast<int>(box.width() * scale))
                .arg(static_cast<int>(box.height() * scale))
                .toStdString() +
            pdf.string() + "' '" + png.string() + "'";
        if (std::system(command.c_str()) != 0) return -1;
        QImage image(QString::fromStdString(png.string() + ".pgm"));
        fs::remove(png.string() + ".pgm");
        if (image.isNull()) return -1;
        int bands = 0;
        bool inBand = false;
        for (int y = 0; y < image.height(); ++y) {
            bool ink = false;
            for (int x = 0; x < image.width() && !ink; ++x) ink = qGray(image.pixel(x, y)) < 128;
            bands += ink && !inBand;
            inBand = ink;
        }
        return bands;
    }
    fs::path Front() const { return output / "BL.pdf"; }
    fs::path Back() const { return output / "BLBack.pdf"; }

    BLRecordId shipper = 0, consignee = 0, billTo = 0, acidId = 0, chairsId = 0;
};

TEST_F(BLPrintTest, TheFrontFormCarriesTheBillPartiesAndLines) {
    AddBill("BL-1001", shipper, consignee, 0, {{chairsId, "3", "300"}, {acidId, "2", "100"}});
    ASSERT_TRUE(PrintBL(" BL-1001 "));
    EXPECT_TRUE(Shown().empty());
    ASSERT_TRUE(fs::exists(Front()));
    EXPECT_EQ(opened, std::vector<std::string>{Front().string()});
    EXPECT_FALSE(fs::exists(Back()));

    const std::map<std::string, std::string> f = ReadPdfFormFields(Front().string());
    EXPECT_EQ(f.size(), 44u);
    EXPECT_EQ(f.at("Date"), "12/7/26");
    EXPECT_EQ(f.at("SN#"), "BL-1001");
    EXPECT_EQ(f.at("ProNumber"), "");
    EXPECT_EQ(f.at("ShpName"), "Lakeside Mills");
    EXPECT_EQ(f.at("ShpAddress"), "1 Main St");
    EXPECT_EQ(f.at("ShpCityStateZip"), "Milwaukee, WI  53202");
    EXPECT_EQ(f.at("ConName"), "Capitol Foods");
    EXPECT_EQ(f.at("ConCityStateZip"), "Milwaukee, OH  43215");
    // No bill-to party and no note: those fields are left as the form holds them.
    for (const char* name : {"BillName", "BillAddress", "BillCityStateZip", "SpecialInstructions"})
        EXPECT_EQ(f.at(name), "") << name;
    // The line's own quantity and weight, not the commodity's weight of one piece.
    EXPECT_EQ(f.at("Units1"), "3");
    EXPECT_EQ(f.at("HazMat1"), " ");
    EXPECT_EQ(f.at("Description1-1"), "Folding chairs");
    EXPECT_EQ(f.at("NMFC1"), "79300");
    EXPECT_EQ(f.at("Class1"), "100");
    EXPECT_EQ(f.at("Weight1"), "300");
    EXPECT_EQ(f.at("HazMat2"), "X");
    EXPECT_EQ(f.at("Description2-1"), "Battery acid");
    EXPECT_EQ(f.at("Weight2"), "100");
    for (int n = 3; n <= 5; ++n) {
        const std::string d = std::to_string(n);
        for (const std::string& name : {"Units" + d, "HazMat" + d, "Description" + d + "-1",
                                        "NMFC" + d, "Class" + d, "Weight" + d})
            EXPECT_EQ(f.at(name), "") << name;
    }

    // The values are part of the page: any viewer, and pdftotext, shows them.
    const std::string text = PdfText(Front());
    for (const char* shown : {"BL-1001", "Lakeside Mills", "Milwaukee, WI", "Capitol Foods",
                              "Folding chairs", "Battery acid", "79300", "300"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
}

// Every value shows whole on the printed page: a name too wide for its box is set smaller (and
// wrapped once it would be too small to read), the notes wrap on the widths of their letters
// and keep the lines the user typed, and letters beyond Latin-1 print as themselves.
TEST_F(BLPrintTest, EveryValueShowsWholeOnThePrintedPage) {
    const std::string wide = "WESTERN MOUNTAIN WHOLESALE MERCHANDISE";
    const std::string seventy =
        "Consolidated Northern Hardware and Agricultural Supply Cooperative Ltd";
    ASSERT_EQ(seventy.size(), 70u);
    PartyRecord s = *ReadParty(shipper);
    s.name = wide;
    StoreParty(s, true);
    PartyRecord c = *ReadParty(consignee);
    c.name = seventy;
    c.address = "ul. Łąkowa 7, Łódź, źródło";
    StoreParty(c, true);
    PartyRecord b = *ReadParty(billTo);
    b.name = "上海远东贸易有限公司";
    StoreParty(b, true);
    const std::string notes =
        "RECEIVING HOURS MONDAY TO FRIDAY 0700-1500 ONLY\nPALLET JACK REQUIRED AT "
        "DESTINATION\nCALL CONSIGNEE BEFORE DELIVERY: "
        "REFERENCEWORDTHATISMUCHTOOLONGFORONELINEOFTHEBOXANDMUSTBREAKSOMEWHERE END";
    AddBill("BL-1020", shipper, consignee, billTo, {{chairsId, "3", "300"}}, notes);
    ASSERT_TRUE(PrintBL("BL-1020"));
    EXPECT_TRUE(Shown().empty());
    const auto f = ReadPdfFormFields(Front().string());
    EXPECT_EQ(f.at("ShpName"), wide);
    EXPECT_EQ(f.at("ConName"), seventy);
    EXPECT_EQ(f.at("SpecialInstructions"), notes);

    // What the page shows inside each box.
    EXPECT_EQ(Squeezed(TextInBox(Front(), "ShpName")), wide);
    EXPECT_EQ(Squeezed(TextInBox(Front(), "ConName")), seventy);
    EXPECT_EQ(Squeezed(TextInBox(Front(), "ConAddress")), "ul. Łąkowa 7, Łódź, źródło");
    const std::string shownNotes = TextInBox(Front(), "SpecialInstructions");
    EXPECT_NE(shownNotes.find("RECEIVING HOURS MONDAY TO FRIDAY 0700-1500 ONLY\n"),
              std::string::npos)
        << shownNotes;
    EXPECT_NE(shownNotes.find("\nPALLET JACK REQUIRED AT DESTINATION\n"), std::string::npos)
        << shownNotes;
    EXPECT_NE(shownNotes.find("\nCALL CONSIGNEE BEFORE DELIVERY:"), std::string::npos);
    // The long word is broken across lines, not cut at the edge.
    std::string joined;
    for (char ch : shownNotes)
        if (ch != '\n' && ch != ' ') joined += ch;
    EXPECT_NE(joined.find("REFERENCEWORDTHATISMUCHTOOLONGFORONELINEOFTHEBOXANDMUSTBREAKSOMEWHEREEND"),
              std::string::npos)
        << shownNotes;
    // The rendered page: five lines of ink inside the notes box.
    EXPECT_GE(InkBands(Front(), "SpecialInstructions"), 5);

    if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty()) {
        GTEST_SKIP() << "no installed font has Chinese characters (scripts/setup.sh installs one)";
    }
    EXPECT_EQ(Squeezed(TextInBox(Front(), "BillName")), "上海远东贸易有限公司");
    EXPECT_EQ(InkBands(Front(), "BillName"), 1);
}

// A value too long for its box even at the smallest legible size is wrapped there; the field
// keeps the whole value.
TEST_F(BLPrintTest, AValueTooLongEvenWhenSmallIsWrappedAndKeptWhole) {
    std::string longName;
    for (int i = 0; i < 6; ++i) longName += "Northern Agricultural Cooperative " + std::to_string(i) + " ";
    longName.pop_back();
    PartyRecord s = *ReadParty(shipper);
    s.name = longName;
    StoreParty(s, true);
    AddBill("BL-1021", shipper, consignee, 0, {{chairsId, "3", "300"}});
    ASSERT_TRUE(PrintBL("BL-1021"));
    EXPECT_EQ(ReadPdfFormFields(Front().string()).at("ShpName"), longName);
    EXPECT_EQ(InkBands(Front(), "ShpName"), 2);
    const std::string shown = Squeezed(TextInBox(Front(), "ShpName"));
    EXPECT_EQ(shown.substr(0, 40), longName.substr(0, 40)) << shown;
}

TEST_F(BLPrintTest, ABillToPartyAndANoteAreFilledInWhenTheBillHasThem) {
    PartyRecord p = *ReadParty(billTo);
    p.city = "  Toronto   ";
    StoreParty(p, true);
    AddBill("BL-1002", shipper, consignee, billTo, {{acidId, "1", "50"}},
            "Deliver to dock 4 between 8 and 4; call ahead before arrival, keep upright.");
    ASSERT_TRUE(PrintBL("BL-1002"));
    const auto f = ReadPdfFormFields(Front().string());
    EXPECT_EQ(f.at("BillName"), "Harbour Accounts");
    EXPECT_EQ(f.at("BillCityStateZip"), "Toronto, ON  M5V 2T6");
    EXPECT_EQ(f.at("SpecialInstructions"),
              "Deliver to dock 4 between 8 and 4; call ahead before arrival, keep upright.");
    const std::string text = PdfText(Front());
    EXPECT_NE(text.find("Harbour Accounts"), std::string::npos);
    EXPECT_NE(text.find("upright."), std::string::npos) << text;
}

TEST_F(BLPrintTest, TheBackPageIsCopiedOnlyWhenTheSettingIsExactlyYes) {
    AddBill("BL-1003", shipper, consignee, 0, {{acidId, "1", "50"}});
    SetSetting("BL_PrintBack", "Yes");
    ASSERT_TRUE(PrintBL("BL-1003"));
    EXPECT_FALSE(blWindow.blnPrintBack);
    EXPECT_FALSE(fs::exists(Back()));

    SetSetting("BL_PrintBack", "yes");
    SetSetting("BL_PrintRates", "yes");
    opened.clear();
    ASSERT_TRUE(PrintBL("BL-1003"));
    EXPECT_TRUE(blWindow.blnPrintBack);
    // PrintBL only notes that rates are wanted; it prints none itself.
    EXPECT_TRUE(blWindow.boolPrintRates);
    EXPECT_EQ(opened, (std::vector<std::string>{Front().string(), Back().string()}));
    EXPECT_EQ(PdfPageCount(Back().string()), 1);
    EXPECT_NE(PdfText(Back()).find("Terms and Conditions"), std::string::npos);
}

TEST_F(BLPrintTest, WhatCannotBePrintedGivesAMessageAndNoFile) {
    const BLRecordId gone = AddParty("Gone Ltd", kRoleConsignee, "43215");
    AddBill("BL-1004", shipper, gone, 0, {{acidId, "1", "50"}});
    EraseParty(gone);
    const BLRecordId lost = AddCommodity("Lost goods", "1", "70");
    AddBill("BL-1005", shipper, consignee, 0, {{lost, "1", "50"}});
    EraseCommodity(lost);

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"BL-0000", "B/L BL-0000 is not on file."},
        {"BL-1004", "The consignee of this B/L is not in the address book."},
        {"BL-1005", "A commodity of this B/L is no longer in the catalogue."},
    };
    for (const auto& [number, text] : cases) {
        messageScript.Reset();
        messageScript.Start();
        EXPECT_FALSE(PrintBL(number)) << number;
        ASSERT_EQ(Shown().size(), 1u) << number;
        EXPECT_NE(ShownTexts()[0].find(text), std::string::npos) << ShownTexts()[0];
    }
    EXPECT_FALSE(fs::exists(Front()));
    EXPECT_TRUE(opened.empty());

    // A missing form: a clear message naming it, and nothing written or opened.
    AddBill("BL-1006", shipper, consignee, 0, {{acidId, "1", "50"}});
    fs::remove(app.file("BL/BLFront.PDF"));
    messageScript.Reset();
    messageScript.Start();
    EXPECT_FALSE(PrintBL("BL-1006"));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_NE(ShownTexts()[0].find("BL/BLFront.PDF is missing"), std::string::npos);
    EXPECT_FALSE(fs::exists(Front()));
    EXPECT_TRUE(opened.empty());
}

// A terms page that cannot be printed after the front page was: the message says which page
// was printed and which was not.
TEST_F(BLPrintTest, AMissingTermsPageSaysTheFrontPageWasPrinted) {
    AddBill("BL-1011", shipper, consignee, 0, {{acidId, "1", "50"}});
    SetSetting("BL_PrintBack", "yes");
    fs::remove(app.file("BL/BLBack.pdf"));
    EXPECT_FALSE(PrintBL("BL-1011"));
    EXPECT_EQ(opened, std::vector<std::string>{Front().string()});
    ASSERT_EQ(Shown().size(), 1u);
    const std::string text = ShownTexts()[0];
    EXPECT_NE(text.find("BL/BLBack.pdf is missing."), std::string::npos) << text;
    EXPECT_NE(text.find("The front page was printed to " + Front().string() +
                        ", but the terms page was not printed."),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("Nothing was printed"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(Back()));
}

TEST_F(BLPrintTest, AFailedWriteKeepsTheLastCopyAndOpensNothing) {
    AddBill("BL-1007", shipper, consignee, 0, {{acidId, "1", "50"}});
    ASSERT_TRUE(PrintBL("BL-1007"));
    const std::string before = ReadAll(Front());
    opened.clear();
    AddBill("BL-1012", shipper, consignee, 0,
            {{chairsId, "3", "300"}, {acidId, "2", "100"}, {chairsId, "1", "12"}});
    // The disk fills up just before the last bytes of the new bill.
    {
        FileSizeLimit full(before.size() - 16);
        EXPECT_FALSE(PrintBL("BL-1012"));
    }
    // Past the file-size limit the system calls the file too large.
    EXPECT_EQ(ShownTexts(),
              std::vector<std::string>{"The B/L could not be printed.  Cannot write " +
                                       Front().string() + ": " + SystemReason(EFBIG) + "."});
    EXPECT_EQ(ReadAll(Front()), before);
    EXPECT_EQ(ReadPdfFormFields(Front().string()).at("SN#"), "BL-1007");
    EXPECT_TRUE(opened.empty());
}

// The output folder on a disk that is full: the message says so in the system's words, and the
// Print command prints no quote after it.
TEST_F(BLPrintTest, AFullDiskIsNamedAndThePrintStopsThere) {
    AddBill("BL-1013", shipper, consignee, 0, {{acidId, "1", "50"}});
    const fs::path small = app.path() / "small";
    SmallFileSystem disk(small, 8 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << "no file system of the test's own can be mounted here";
    SetOutputFolder(small.string());
    SetSetting("BL_PrintRates", "yes");
    bool rated = false;
    InstallBLRatePrint();
    BLRatePrintHooks hooks = GetBLRatePrintHooks();
    hooks.RateBL = [&](const std::string&, uint8_t) { return rated = true; };
    SetBLRatePrintHooks(hooks);
    PrintBLCopies("BL-1013");
    SetBLRatePrintHooks({});
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{
                                "The B/L could not be printed.  Cannot write " +
                                (small / "BL.pdf").string() + ": " + SystemReason(ENOSPC) + "."});
    EXPECT_FALSE(rated);
    EXPECT_TRUE(opened.empty());
    SetOutputFolder(output.string());
}

// A terms page that could not be written (its form gone, its file's place taken) ends the Print
// command after its message: no rating and no quote's print dialog follow it.
TEST_F(BLPrintTest, AFailedTermsPageEndsThePrintCommand) {
    AddBill("BL-1014", shipper, consignee, 0, {{acidId, "1", "50"}});
    SetSetting("BL_PrintBack", "yes");
    SetSetting("BL_PrintRates", "yes");
    SetSetting("BL_Copies", "2");
    int rated = 0, quotes = 0;
    InstallBLRatePrint();
    BLRatePrintHooks hooks = GetBLRatePrintHooks();
    hooks.RateBL = [&](const std::string&, uint8_t) { return ++rated > 0; };
    hooks.PrintRatedQuote = [&] { return ++quotes > 0; };
    SetBLRatePrintHooks(hooks);
    PrintBLCopies("BL-1014");
    ASSERT_EQ(quotes, 2) << "the terms page is printed with every copy when it can be";
    opened.clear();
    rated = quotes = 0;
    messageScript.ClearLog();

    fs::remove(Back());
    fs::create_directory(Back());  // the terms page's file cannot be written
    PrintBLCopies("BL-1014");
    EXPECT_EQ(rated, 0);
    EXPECT_EQ(quotes, 0);
    EXPECT_EQ(opened, std::vector<std::string>{Front().string()});
    ASSERT_EQ(ShownTexts().size(), 1u);
    EXPECT_NE(ShownTexts()[0].find("but the terms page was not printed"), std::string::npos)
        << ShownTexts()[0];
    fs::remove(Back());

    messageScript.ClearLog();
    opened.clear();
    fs::remove(app.file("BL/BLBack.pdf"));
    PrintBLCopies("BL-1014");
    EXPECT_EQ(quotes, 0);
    EXPECT_EQ(ShownTexts().size(), 1u);
    SetBLRatePrintHooks({});
}

TEST_F(BLPrintTest, AReaderThatCannotStartIsReportedWithTheSavedFile) {
    AddBill("BL-1008", shipper, consignee, 0, {{acidId, "1", "50"}});
    readerStarts = false;
    EXPECT_TRUE(PrintBL("BL-1008"));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_NE(ShownTexts()[0].find(Front().string()), std::string::npos) << ShownTexts()[0];
    EXPECT_TRUE(fs::exists(Front()));
}

TEST_F(BLPrintTest, TwoPrintsRewriteTheSameFile) {
    AddBill("BL-1009", shipper, consignee, 0, {{acidId, "1", "50"}});
    AddBill("BL-1010", shipper, consignee, 0, {{chairsId, "9", "108"}});
    ASSERT_TRUE(PrintBL("BL-1009"));
    ASSERT_TRUE(PrintBL("BL-1010"));
    EXPECT_EQ(opened, (std::vector<std::string>{Front().string(), Front().string()}));
    EXPECT_EQ(ReadPdfFormFields(Front().string()).at("SN#"), "BL-1010");
    std::size_t pdfs = 0;
    for (const auto& entry : fs::directory_iterator(output)) pdfs += entry.is_regular_file();
    EXPECT_EQ(pdfs, 1u);
}

// The Print command through fakes of its three steps, which record what was done.
class PrintCommandTest : public BLRatingTest {
  protected:
    void SetUp() override {
        BLRatingTest::SetUp();
        BLRatePrintHooks hooks;
        hooks.PrintBL = [this](const std::string& number) {
            steps.push_back("bill " + number);
            EXPECT_TRUE(blWindow.BLPrinting);
            return true;
        };
        hooks.RateBL = [this](const std::string& number, uint8_t silent) {
            steps.push_back("rate " + number + (silent ? " silently" : ""));
            specialSeen.push_back(blWindow.boolSpecialDiscount);
            rating.gBreakDisc[3] = "25.0";  // as a special discount would
            return rates;
        };
        hooks.PrintRatedQuote = [this] {
            steps.push_back("quote");
            return true;
        };
        SetBLRatePrintHooks(hooks);
        rating.gBreakDisc2[3] = "40.0";
    }
    void TearDown() override {
        SetBLRatePrintHooks({});
        BLRatingTest::TearDown();
    }

    std::vector<std::string> steps;
    std::vector<bool> specialSeen;
    bool rates = true;
};

TEST_F(PrintCommandTest, TwoCopiesWithRatesAreBillQuoteBillQuote) {
    SetSetting("BL_Copies", "2");
    SetSetting("BL_PrintRates", "yes");
    SetSetting("BL_UseSpecialDiscount", "yes");
    PrintBLCopies("B-7");
    EXPECT_EQ(steps, (std::vector<std::string>{"bill B-7", "rate B-7 silently", "quote", "bill B-7",
                                               "rate B-7 silently", "quote"}));
    EXPECT_EQ(specialSeen, (std::vector<bool>{true, true}));
    EXPECT_EQ(rating.gBreakDisc[3], "40.0");
    EXPECT_FALSE(blWindow.BLPrinting);
}

TEST_F(PrintCommandTest, WithoutRatesOnlyTheBills) {
    SetSetting("BL_Copies", "2");
    PrintBLCopies("B-8");
    EXPECT_EQ(steps, (std::vector<std::string>{"bill B-8", "bill B-8"}));
    EXPECT_FALSE(blWindow.boolPrintRates);
}

// A count of copies the configuration window never stores prints nothing and says why,
// naming the setting and the window that sets it.
TEST_F(PrintCommandTest, ADamagedCountOfCopiesPrintsNothingAndSaysWhy) {
    SetSetting("BL_PrintRates", "yes");
    for (const char* bad : {"0", "2.5", "abc", "1e308"}) {
        SCOPED_TRACE(bad);
        steps.clear();
        messageScript.Reset();
        messageScript.Start();
        SetSetting("BL_Copies", bad);
        PrintBLCopies("B-8");
        EXPECT_TRUE(steps.empty());
        ASSERT_EQ(Shown().size(), 1u);
        const std::string said = ShownTexts()[0];
        EXPECT_NE(said.find("BL_Copies"), std::string::npos) << said;
        EXPECT_NE(said.find("Bill of Lading Configuration"), std::string::npos) << said;
    }
}

TEST_F(PrintCommandTest, ACopyWhoseRatingFailsPrintsNoQuote) {
    SetSetting("BL_Copies", "2");
    SetSetting("BL_PrintRates", "yes");
    rates = false;
    PrintBLCopies("B-9");
    EXPECT_EQ(steps, (std::vector<std::string>{"bill B-9", "rate B-9 silently", "bill B-9",
                                               "rate B-9 silently"}));
    EXPECT_EQ(rating.gBreakDisc[3], "40.0");
}

// A print that failed has said why: no quote's print dialog and no further copy follows it.
TEST_F(PrintCommandTest, APrintThatFailedStopsThere) {
    SetSetting("BL_Copies", "2");
    SetSetting("BL_PrintRates", "yes");
    BLRatePrintHooks hooks = GetBLRatePrintHooks();
    hooks.PrintBL = [this](const std::string&) {
        steps.push_back("bill failed");
        return false;
    };
    SetBLRatePrintHooks(hooks);
    PrintBLCopies("B-10");
    EXPECT_EQ(steps, std::vector<std::string>{"bill failed"});
    EXPECT_FALSE(blWindow.BLPrinting);

    steps.clear();
    hooks.PrintBL = [this](const std::string&) -> bool {
        steps.push_back("bill failed");
        throw std::runtime_error("no form");
    };
    SetBLRatePrintHooks(hooks);
    PrintBLCopies("B-10");
    EXPECT_EQ(steps, std::vector<std::string>{"bill failed"});

    // The first copy's quote could not be printed: the second copy is not printed either.
    steps.clear();
    hooks = GetBLRatePrintHooks();
    hooks.PrintBL = [this](const std::string& number) {
        steps.push_back("bill " + number);
        return true;
    };
    hooks.PrintRatedQuote = [this] {
        steps.push_back("quote failed");
        return false;
    };
    SetBLRatePrintHooks(hooks);
    PrintBLCopies("B-10");
    EXPECT_EQ(steps, (std::vector<std::string>{"bill B-10", "rate B-10 silently", "quote failed"}));
    EXPECT_EQ(rating.gBreakDisc[3], "40.0");
    EXPECT_FALSE(blWindow.BLPrinting);
}

TEST_F(PrintCommandTest, TheMainRequestIsBackAfterEveryCopy) {
    SetMainRequest("10001", "60601", {{"300", "85"}});
    AddBillBetween("B-11", "53202", "43215", {{"70", "3", "450"}});
    BLRatePrintHooks hooks = GetBLRatePrintHooks();
    hooks.RateBL = [this](const std::string& number, uint8_t silent) {
        const bool rated = RateBL(number, silent);
        steps.push_back("rated from " + tariff.gOrigZip);
        return rated;
    };
    hooks.PrintRatedQuote = nullptr;  // a build that prints no quote
    SetBLRatePrintHooks(hooks);
    SetSetting("BL_Copies", "2");
    SetSetting("BL_PrintRates", "yes");
    PrintBLCopies("B-11");
    EXPECT_EQ(steps, (std::vector<std::string>{"bill B-11", "rated from 53202", "bill B-11",
                                               "rated from 53202"}));
    EXPECT_EQ(tariff.gOrigZip, "10001");
    EXPECT_EQ(tariff.gDestZip, "60601");
}

}  // namespace
