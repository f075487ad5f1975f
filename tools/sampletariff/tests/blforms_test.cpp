// The bill-of-lading forms the generator draws: the front page has exactly the fields the
// program fills, each a text box on the page that overlaps no other; the back page is the
// carrier's terms and has no fields.
#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kBL = std::string(FRETLYN_APP_DIR) + "/BL/";

std::string PdfText(const std::string& path) {
    std::string text;
    FILE* pipe = popen(("pdftotext -layout '" + path + "' - 2>/dev/null").c_str(), "r");
    if (!pipe) return text;
    std::array<char, 4096> buf{};
    for (size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;) text.append(buf.data(), n);
    pclose(pipe);
    return text;
}

std::set<std::string> ExpectedFrontFields() {
    std::set<std::string> names = {"Date", "SN#", "ProNumber", "PO#", "SpecialInstructions"};
    for (const char* party : {"Shp", "Con", "Bill"})
        for (const char* part : {"Name", "Address", "CityStateZip"})
            names.insert(std::string(party) + part);
    for (int n = 1; n <= 5; ++n) {
        const std::string d = std::to_string(n);
        for (const char* prefix : {"Units", "HazMat", "NMFC", "Class", "Weight"})
            names.insert(prefix + d);
        names.insert("Description" + d + "-1");
    }
    return names;
}

TEST(BLFormsTest, TheFrontHasTheFieldsTheProgramFillsAndNoOthers) {
    QPDF pdf;
    pdf.processFile((kBL + "BLFront.PDF").c_str());
    ASSERT_EQ(pdf.getAllPages().size(), 1u);
    QPDFAcroFormDocumentHelper form(pdf);
    std::set<std::string> names;
    std::vector<QPDFObjectHandle::Rectangle> boxes;
    for (QPDFFormFieldObjectHelper& field : form.getFormFields()) {
        EXPECT_EQ(field.getFieldType(), "/Tx") << field.getFullyQualifiedName();
        EXPECT_TRUE(field.getValueAsString().empty()) << field.getFullyQualifiedName();
        EXPECT_TRUE(names.insert(field.getFullyQualifiedName()).second);
        for (QPDFAnnotationObjectHelper& widget : form.getAnnotationsForField(field)) {
            const auto r = widget.getRect();
            EXPECT_TRUE(r.llx >= 0 && r.lly >= 0 && r.urx <= 612 && r.ury <= 792)
                << field.getFullyQualifiedName();
            EXPECT_GT(r.ury - r.lly, 10) << field.getFullyQualifiedName();
            for (const auto& b : boxes)
                EXPECT_FALSE(r.llx < b.urx && b.llx < r.urx && r.lly < b.ury && b.lly < r.ury)
                    << field.getFullyQualifiedName() << " overlaps another field";
            boxes.push_back(r);
        }
    }
    EXPECT_EQ(names.size(), 44u);
    EXPECT_EQ(names, ExpectedFrontFields());
}

TEST(BLFormsTest, TheFrontCarriesItsCaptionsAndTheBackTheTerms) {
    const std::string front = PdfText(kBL + "BLFront.PDF");
    for (const char* caption : {"NORVALE FREIGHT", "STRAIGHT BILL OF LADING", "SHIPPER (FROM)",
                                "CONSIGNEE (TO)", "SPECIAL INSTRUCTIONS", "DESCRIPTION OF ARTICLES",
                                "WEIGHT (LBS)"})
        EXPECT_NE(front.find(caption), std::string::npos) << caption;

    QPDF back;
    back.processFile((kBL + "BLBack.pdf").c_str());
    EXPECT_EQ(back.getAllPages().size(), 1u);
    EXPECT_FALSE(QPDFAcroFormDocumentHelper(back).hasAcroForm());
    const std::string terms = PdfText(kBL + "BLBack.pdf");
    EXPECT_NE(terms.find("Terms and Conditions"), std::string::npos);
    EXPECT_NE(terms.find("12. Entire agreement."), std::string::npos);
}

}  // namespace
