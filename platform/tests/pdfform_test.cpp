#include "pdfform.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>
#include <utility>
#include <vector>

#include "filesizelimit.h"

namespace fs = std::filesystem;

namespace {

// A one-page form of single-line text fields, each with its default value, and a caption drawn
// on the page itself.
void WriteForm(const std::string& path,
               const std::vector<std::pair<std::string, std::string>>& fields,
               const std::string& caption = "Test form",
               const std::vector<std::string>& multiline = {}) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    QPDFObjectHandle page = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>"));
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey("/F1", font);
    resources.replaceKey("/Font", fonts);
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(
                                     &pdf, "BT /F1 12 Tf 72 740 Td (" + caption + ") Tj ET"));
    QPDFObjectHandle annots = QPDFObjectHandle::newArray();
    int y = 700;
    for (const auto& [name, value] : fields) {
        QPDFObjectHandle field = pdf.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Type /Annot /Subtype /Widget /FT /Tx /F 4 /DA (/Helv 10 Tf 0 g) /Rect [72 " +
            std::to_string(y) + " 400 " + std::to_string(y + 16) + "] >>"));
        field.replaceKey("/T", QPDFObjectHandle::newString(name));
        if (!value.empty()) field.replaceKey("/V", QPDFObjectHandle::newString(value));
        if (std::find(multiline.begin(), multiline.end(), name) != multiline.end()) {
            field.replaceKey("/Ff", QPDFObjectHandle::newInteger(4096));
            field.replaceKey("/Rect", QPDFObjectHandle::parse("[72 500 272 560]"));
        }
        field.replaceKey("/P", page);
        annots.appendItem(field);
        y -= 30;
    }
    page.replaceKey("/Annots", annots);
    QPDFObjectHandle form = QPDFObjectHandle::newDictionary();
    form.replaceKey("/Fields", annots);
    QPDFObjectHandle dr = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle drFonts = QPDFObjectHandle::newDictionary();
    drFonts.replaceKey("/Helv", font);
    dr.replaceKey("/Font", drFonts);
    form.replaceKey("/DR", dr);
    form.replaceKey("/DA", QPDFObjectHandle::newString("/Helv 10 Tf 0 g"));
    pdf.getRoot().replaceKey("/AcroForm", form);
    QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(page), false);
    QPDFWriter writer(pdf, path.c_str());
    writer.write();
}

std::string PdfText(const std::string& path) {
    std::string text;
    FILE* pipe = popen(("pdftotext -layout '" + path + "' - 2>/dev/null").c_str(), "r");
    if (!pipe) return text;
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) text.append(buf.data(), n);
    pclose(pipe);
    return text;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PdfFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.isValid()) << scratch.errorString().toStdString();
        dir = scratch.path().toStdString();
        form = (dir / "form.pdf").string();
        WriteForm(form, {{"Name", ""}, {"City", "Preset"}, {"Weight1", ""}});
    }

    // The form followed by a second page that says "Second page".
    std::string WriteTwoPages() {
        const std::string two = (dir / "two.pdf").string();
        QPDF pdf;
        pdf.processFile(form.c_str());
        QPDF other;
        WriteForm((dir / "second.pdf").string(), {{"X", ""}}, "Second page");
        other.processFile((dir / "second.pdf").string().c_str());
        QPDFPageDocumentHelper(pdf).addPage(QPDFPageDocumentHelper(other).getAllPages()[0], false);
        QPDFWriter writer(pdf, two.c_str());
        writer.write();
        return two;
    }

    QTemporaryDir scratch;  // of this test alone, whoever runs it
    fs::path dir;
    std::string form;
};

TEST_F(PdfFormTest, FilledFieldsReadBackAndShowAsText) {
    PdfForm pdf(form);
    EXPECT_EQ(pdf.FieldNames(), (std::vector<std::string>{"Name", "City", "Weight1"}));
    pdf.SetField("Name", "Harbour Supply Co.");
    pdf.SetField("Weight1", "1250");
    const std::string out = (dir / "out.pdf").string();
    pdf.WriteFirstPage(out);

    const auto values = ReadPdfFormFields(out);
    EXPECT_EQ(values.at("Name"), "Harbour Supply Co.");
    EXPECT_EQ(values.at("Weight1"), "1250");
    // A field that is not set keeps what the form holds.
    EXPECT_EQ(values.at("City"), "Preset");

    // The values are drawn by the file's own appearances, not left to the viewer.
    const std::string text = PdfText(out);
    EXPECT_NE(text.find("Harbour Supply Co."), std::string::npos) << text;
    EXPECT_NE(text.find("1250"), std::string::npos) << text;
    EXPECT_NE(text.find("Test form"), std::string::npos) << text;
    EXPECT_EQ(ReadBytes(out).find("/NeedAppearances true"), std::string::npos);
}

TEST_F(PdfFormTest, ValuesWithParenthesesAndAccentsSurvive) {
    PdfForm pdf(form);
    pdf.SetField("Name", "Café (Québec) \\ Ltd");
    const std::string out = (dir / "out.pdf").string();
    pdf.WriteFirstPage(out);
    EXPECT_EQ(ReadPdfFormFields(out).at("Name"), "Café (Québec) \\ Ltd");
}

TEST_F(PdfFormTest, AMultilineFieldWrapsItsWordsInsideTheBox) {
    const std::string notes = (dir / "notes.pdf").string();
    WriteForm(notes, {{"Notes", ""}, {"Short", ""}}, "Notes form", {"Notes"});
    const std::string text =
        "Deliver to dock four between eight and four. Call ahead before arrival. Fragile glass: "
        "stack no more than two pallets high and keep upright.";
    PdfForm pdf(notes);
    pdf.SetField("Notes", text);
    pdf.SetField("Short", "single");
    const std::string out = (dir / "out.pdf").string();
    pdf.WriteFirstPage(out);
    EXPECT_EQ(ReadPdfFormFields(out).at("Notes"), text);
    // On one line the box (200 points wide) would cut the text off after about forty letters.
    const std::string shown = PdfText(out);
    for (const char* word : {"Deliver", "arrival.", "pallets", "upright.", "single"})
        EXPECT_NE(shown.find(word), std::string::npos) << word << " in\n" << shown;
}

TEST_F(PdfFormTest, UnknownFieldsAndMissingFilesAreRefused) {
    PdfForm pdf(form);
    EXPECT_TRUE(pdf.HasField("City"));
    EXPECT_FALSE(pdf.HasField("city"));
    EXPECT_THROW(pdf.SetField("Nmae", "x"), PdfFormError);
    EXPECT_THROW(PdfForm((dir / "none.pdf").string()), PdfFormError);
    EXPECT_THROW(ReadPdfFormFields((dir / "none.pdf").string()), PdfFormError);

    std::ofstream((dir / "junk.pdf").string()) << "not a pdf at all";
    EXPECT_THROW(PdfForm((dir / "junk.pdf").string()), PdfFormError);
}

TEST_F(PdfFormTest, APageWithoutFieldsIsNotAForm) {
    const std::string plain = (dir / "plain.pdf").string();
    WriteForm(plain, {});
    EXPECT_THROW(PdfForm{plain}, PdfFormError);
}

TEST_F(PdfFormTest, AFailedWriteKeepsTheLastGoodFileAndLeavesNoPart) {
    const std::string out = (dir / "out.pdf").string();
    {
        PdfForm pdf(form);
        pdf.SetField("Name", "First");
        pdf.WriteFirstPage(out);
    }
    const std::string before = ReadBytes(out);
    PdfForm pdf(form);
    pdf.SetField("Name", "Second, a longer value than the first");
    // The disk fills up just before the last bytes of the new file: the last flush fails.
    {
        FileSizeLimit full(before.size() - 16);
        EXPECT_THROW(pdf.WriteFirstPage(out), PdfFormError);
    }
    EXPECT_EQ(ReadBytes(out), before);
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 2u);  // the form and the last good file

    // A copied page likewise.
    const std::string copy = (dir / "copy.pdf").string();
    std::ofstream(copy, std::ios::binary) << "the last copy";
    {
        FileSizeLimit full(200);
        EXPECT_THROW(CopyPdfFirstPage(form, copy), PdfFormError);
    }
    EXPECT_EQ(ReadBytes(copy), "the last copy");

    EXPECT_THROW(pdf.WriteFirstPage((dir / "no" / "such" / "folder.pdf").string()), PdfFormError);
    EXPECT_FALSE(fs::exists(dir / "no"));
}

TEST_F(PdfFormTest, TheSameValuesGiveTheSameBytes) {
    const std::string a = (dir / "a.pdf").string(), b = (dir / "b.pdf").string();
    for (const std::string& out : {a, b}) {
        PdfForm pdf(form);
        pdf.SetField("Name", "Same");
        pdf.WriteFirstPage(out);
    }
    EXPECT_EQ(ReadBytes(a), ReadBytes(b));
}

TEST_F(PdfFormTest, CopyingAPageKeepsItsTextAndNothingElse) {
    const std::string two = WriteTwoPages();
    ASSERT_EQ(PdfPageCount(two), 2);
    const std::string out = (dir / "copy.pdf").string();
    CopyPdfFirstPage(two, out);
    EXPECT_EQ(PdfPageCount(out), 1);
    const std::string text = PdfText(out);
    EXPECT_NE(text.find("Test form"), std::string::npos) << text;
    EXPECT_EQ(text.find("Second page"), std::string::npos) << text;
    EXPECT_THROW(CopyPdfFirstPage((dir / "none.pdf").string(), out), PdfFormError);
}

TEST_F(PdfFormTest, OnlyTheFirstPageOfAFormIsWritten) {
    const std::string two = WriteTwoPages();
    PdfForm pdf(two);
    pdf.SetField("Name", "Only");
    const std::string out = (dir / "out.pdf").string();
    pdf.WriteFirstPage(out);
    EXPECT_EQ(PdfPageCount(out), 1);
    EXPECT_EQ(PdfText(out).find("Second page"), std::string::npos);
}

}  // namespace
