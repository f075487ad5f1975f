// The carrier's bill-of-lading forms: a fillable front page whose named text fields the program
// fills, and a back page with the carrier's terms. Drawn here with qpdf, on US letter paper, in
// the base fonts every PDF viewer has.
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../../tariffdata/helpdesk.h"
#include "sampletariff.h"

namespace sampletariff {
namespace {

constexpr double kPageWidth = 612;
constexpr double kPageHeight = 792;
constexpr double kLeft = 36;
constexpr double kRight = kPageWidth - 36;
// The fields print in the font the form names for them; the program sets no font of its own.
constexpr const char* kFieldAppearance = "/Helv 9 Tf 0 g";
constexpr int kMultiline = 1 << 12;  // the text-field flag for a box of several lines

std::string PdfString(const std::string& text) {
    std::string out = "(";
    for (char c : text) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += c;
    }
    return out + ")";
}

// A page's content stream, built up drawing by drawing.
class Canvas {
  public:
    void Text(double x, double y, double size, const std::string& text, bool bold = false) {
        s_ << "BT /" << (bold ? "F2" : "F1") << " " << size << " Tf " << x << " " << y << " Td "
           << PdfString(text) << " Tj ET\n";
    }
    void Box(double x, double y, double w, double h, double width = 0.8) {
        s_ << width << " w " << x << " " << y << " " << w << " " << h << " re S\n";
    }
    void Shade(double x, double y, double w, double h) {
        s_ << "q 0.88 g " << x << " " << y << " " << w << " " << h << " re f Q\n";
    }
    void Line(double x1, double y1, double x2, double y2, double width = 0.6) {
        s_ << width << " w " << x1 << " " << y1 << " m " << x2 << " " << y2 << " l S\n";
    }
    // Words set in lines no wider than the width (Helvetica is about half an em per letter);
    // returns the baseline below the last line.
    double Paragraph(double x, double y, double width, double size, const std::string& text) {
        const size_t perLine = static_cast<size_t>(width / (size * 0.5));
        std::istringstream words(text);
        std::string word, line;
        while (words >> word) {
            if (!line.empty() && line.size() + 1 + word.size() > perLine) {
                Text(x, y, size, line);
                y -= size * 1.3;
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
        }
        if (!line.empty()) {
            Text(x, y, size, line);
            y -= size * 1.3;
        }
        return y;
    }
    std::string str() const { return s_.str(); }

  private:
    std::ostringstream s_;
};

struct Field {
    std::string name;
    double x, y, w, h;
    bool multiline = false;
};

class FormDocument {
  public:
    FormDocument() {
        pdf_.emptyPDF();
        regular_ = pdf_.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
        bold_ = pdf_.makeIndirectObject(
            QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold "
                                    "/Encoding /WinAnsiEncoding >>"));
    }

    void Write(const Canvas& canvas, const std::vector<Field>& fields, const std::string& path) {
        QPDFObjectHandle page = pdf_.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Type /Page /MediaBox [0 0 612 792] >>"));
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/F1", regular_);
        fonts.replaceKey("/F2", bold_);
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fonts);
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf_, canvas.str()));
        if (!fields.empty()) AddFields(page, fields);
        QPDFPageDocumentHelper(pdf_).addPage(QPDFPageObjectHelper(page), false);

        const std::string temp = path + ".tmp";
        {
            QPDFWriter writer(pdf_, temp.c_str());
            writer.setStaticID(true);
            writer.write();
        }
        std::filesystem::rename(temp, path);
    }

  private:
    void AddFields(QPDFObjectHandle page, const std::vector<Field>& fields) {
        QPDFObjectHandle widgets = QPDFObjectHandle::newArray();
        for (const Field& f : fields) {
            std::ostringstream rect;
            rect << "[" << f.x << " " << f.y << " " << f.x + f.w << " " << f.y + f.h << "]";
            QPDFObjectHandle widget = pdf_.makeIndirectObject(QPDFObjectHandle::parse(
                "<< /Type /Annot /Subtype /Widget /FT /Tx /F 4 /Q 0 /Rect " + rect.str() + " >>"));
            widget.replaceKey("/T", QPDFObjectHandle::newString(f.name));
            widget.replaceKey("/V", QPDFObjectHandle::newString(""));
            widget.replaceKey("/DA", QPDFObjectHandle::newString(kFieldAppearance));
            if (f.multiline) widget.replaceKey("/Ff", QPDFObjectHandle::newInteger(kMultiline));
            widget.replaceKey("/P", page);
            widgets.appendItem(widget);
        }
        page.replaceKey("/Annots", widgets);
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/Helv", regular_);
        QPDFObjectHandle dr = QPDFObjectHandle::newDictionary();
        dr.replaceKey("/Font", fonts);
        QPDFObjectHandle form = QPDFObjectHandle::newDictionary();
        form.replaceKey("/Fields", widgets);
        form.replaceKey("/DR", dr);
        form.replaceKey("/DA", QPDFObjectHandle::newString(kFieldAppearance));
        pdf_.getRoot().replaceKey("/AcroForm", form);
    }

    QPDF pdf_;
    QPDFObjectHandle regular_;
    QPDFObjectHandle bold_;
};

// A captioned box; the caption sits in a shaded band along its top.
void CaptionedBox(Canvas& c, double x, double y, double w, double h, const std::string& caption) {
    c.Shade(x, y + h - 12, w, 12);
    c.Box(x, y, w, h);
    c.Line(x, y + h - 12, x + w, y + h - 12, 0.4);
    c.Text(x + 4, y + h - 9, 7, caption, true);
}

// One party: name, street address and the city line, each a field beside its small caption.
void PartyBox(Canvas& c, std::vector<Field>& fields, double x, double y, double w,
              const std::string& caption, const std::string& prefix) {
    const double h = 84;
    CaptionedBox(c, x, y, w, h, caption);
    const char* rows[][2] = {{"Name", "Name"}, {"Address", "Address"},
                             {"CityStateZip", "City, State, ZIP"}};
    double top = y + h - 16;
    for (const auto& row : rows) {
        c.Text(x + 4, top - 12, 6, row[1]);
        c.Line(x + 52, top - 16, x + w - 6, top - 16, 0.3);
        fields.push_back({prefix + row[0], x + 52, top - 16, w - 58, 15});
        top -= 22;
    }
}

void WriteFront(const std::string& path) {
    Canvas c;
    std::vector<Field> fields;

    // Heading: the carrier, the kind of document, and the four numbers of this bill.
    c.Text(kLeft, 748, 20, "NORVALE FREIGHT", true);
    c.Text(kLeft, 734, 8, "Less-than-truckload carrier  -  Tariffs NRVL410 and NRVL 120");
    c.Text(kLeft, 712, 11, "STRAIGHT BILL OF LADING", true);
    c.Text(kLeft, 700, 7, "Short form  -  Original  -  Not negotiable");
    const double gx = 330, gw = (kRight - gx) / 2;
    const struct {
        const char* caption;
        const char* name;
        double x, y;
    } heads[] = {{"DATE", "Date", gx, 724},
                 {"BILL OF LADING NUMBER", "SN#", gx + gw, 724},
                 {"NORVALE PRO NUMBER", "ProNumber", gx, 690},
                 {"PURCHASE ORDER NUMBER", "PO#", gx + gw, 690}};
    for (const auto& head : heads) {
        CaptionedBox(c, head.x, head.y, gw, 32, head.caption);
        fields.push_back({head.name, head.x + 4, head.y + 2, gw - 8, 16});
    }

    // The parties and the instructions.
    const double half = (kRight - kLeft - 12) / 2;
    PartyBox(c, fields, kLeft, 594, half, "SHIPPER (FROM)", "Shp");
    PartyBox(c, fields, kLeft + half + 12, 594, half, "CONSIGNEE (TO)", "Con");
    PartyBox(c, fields, kLeft, 500, half, "BILL FREIGHT CHARGES TO (IF NOT SHIPPER)", "Bill");
    CaptionedBox(c, kLeft + half + 12, 500, half, 84, "SPECIAL INSTRUCTIONS");
    fields.push_back({"SpecialInstructions", kLeft + half + 16, 504, half - 8, 64, true});

    // The commodity grid: a heading row and five lines.
    const double top = 484, rowH = 22;
    const struct {
        const char* caption;
        double x, w;
        const char* prefix;
    } cols[] = {{"UNITS", kLeft, 48, "Units"},         {"HM", kLeft + 48, 28, "HazMat"},
                {"DESCRIPTION OF ARTICLES", kLeft + 76, 262, "Description"},
                {"NMFC ITEM", kLeft + 338, 70, "NMFC"}, {"CLASS", kLeft + 408, 50, "Class"},
                {"WEIGHT (LBS)", kLeft + 458, kRight - kLeft - 458, "Weight"}};
    c.Shade(kLeft, top - 14, kRight - kLeft, 14);
    c.Box(kLeft, top - 14 - 5 * rowH, kRight - kLeft, 14 + 5 * rowH);
    for (int r = 0; r <= 5; ++r) c.Line(kLeft, top - 14 - r * rowH, kRight, top - 14 - r * rowH, 0.4);
    for (const auto& col : cols) {
        if (col.x > kLeft) c.Line(col.x, top, col.x, top - 14 - 5 * rowH, 0.4);
        c.Text(col.x + 3, top - 10, 7, col.caption, true);
        for (int n = 1; n <= 5; ++n) {
            std::string name = col.prefix + std::to_string(n);
            if (std::string(col.prefix) == "Description") name += "-1";
            fields.push_back({name, col.x + 2, top - 14 - n * rowH + 3, col.w - 4, 16});
        }
    }
    c.Text(kLeft, top - 14 - 5 * rowH - 10, 6,
           "HM: mark X for hazardous materials as defined in the U.S. DOT regulations; such "
           "shipments must carry the shipper's emergency response information.");

    // Certification and signatures.
    double y = 296;
    y = c.Paragraph(kLeft, y, kRight - kLeft, 7,
                    "RECEIVED, subject to the classifications and tariffs in effect on the date "
                    "of issue of this bill of lading, the property described above in apparent "
                    "good order, except as noted (contents and condition of contents of packages "
                    "unknown), marked, consigned and destined as shown above, which Norvale "
                    "Freight agrees to carry to its usual place of delivery at said destination "
                    "or to deliver to another carrier on the route to said destination. Every "
                    "service to be performed hereunder shall be subject to the terms and "
                    "conditions printed on the back of this bill of lading, which the shipper "
                    "accepts for itself and its assigns.");
    y = c.Paragraph(kLeft, y - 4, kRight - kLeft, 7,
                    "The shipper certifies that the materials listed above are properly "
                    "classified, described, packaged, marked and labelled, and are in proper "
                    "condition for transportation according to the applicable regulations.");
    const double sig = y - 40;
    c.Line(kLeft, sig, kLeft + 250, sig);
    c.Text(kLeft, sig - 9, 7, "SHIPPER  (signature and date)");
    c.Line(kRight - 250, sig, kRight, sig);
    c.Text(kRight - 250, sig - 9, 7, "NORVALE FREIGHT  (driver's signature and date)");
    c.Line(kLeft, sig - 40, kLeft + 250, sig - 40);
    c.Text(kLeft, sig - 49, 7, "NUMBER OF PIECES RECEIVED BY CARRIER");
    c.Text(kLeft, 44, 7,
           std::string("Norvale Freight  -  ") + kCarrierWebAddress + "  -  " + kHelpDeskPhone +
               "  -  This bill is not valid without the terms and conditions on the back.");

    FormDocument().Write(c, fields, path);
}

void WriteBack(const std::string& path) {
    Canvas c;
    c.Text(kLeft, 748, 14, "NORVALE FREIGHT", true);
    c.Text(kLeft, 732, 10, "Terms and Conditions of the Straight Bill of Lading", true);
    const char* terms[] = {
        "1. Carriage. Norvale Freight carries the property described on the front of this bill "
        "under its base-rate tariff NRVL410 and its accessorial tariff NRVL 120, as in effect on "
        "the date the property is received. Where this bill and the tariffs differ, the tariffs "
        "govern.",
        "2. Liability. Norvale Freight is liable for loss of or damage to the property while in "
        "its possession, up to the lesser of the invoice value of the property lost or damaged "
        "and the limit per pound of the class of the article set out in NRVL 120, unless a "
        "higher value is declared on the front of this bill and the charge for it is paid.",
        "3. Exceptions. Norvale Freight is not liable for loss, damage or delay caused by an act "
        "of God, a public enemy, the authority of law, a strike, an act or default of the "
        "shipper or owner, the nature of the property, or a defect in it or in its packaging.",
        "4. Claims. A claim for loss or damage must be made in writing to Norvale Freight within "
        "nine months of delivery, or of the date on which delivery should have been made. A suit "
        "must be brought within two years of the day on which Norvale Freight declines the claim "
        "in writing, or any part of it.",
        "5. Concealed damage. Damage found after delivery must be reported to the delivering "
        "service center within five working days, with the packaging kept for inspection.",
        "6. Charges. The shipper is liable for the freight and all lawful charges unless the bill "
        "names another party to be billed and that party pays them. Charges not paid within the "
        "terms of credit agreed with Norvale Freight bear the service charge of NRVL 120.",
        "7. Weight and class. Norvale Freight may inspect the property and correct its weight, "
        "class or description; charges are then computed on the corrected figures.",
        "8. Hazardous materials. The shipper must mark each hazardous article on the front of "
        "this bill, describe it as the regulations require and give a 24-hour emergency "
        "telephone number. Norvale Freight does not carry hazardous materials on guaranteed or "
        "economy (Thriftlane) services.",
        "9. Delivery. Property not accepted by the consignee within the free time of NRVL 120 is "
        "held at the owner's risk and subject to storage charges. Norvale Freight gives notice "
        "of arrival by telephone or in writing to the consignee named on the front.",
        "10. Delivery times. Transit times are service standards, not guarantees, except for "
        "shipments moving under Norvale GUARANTEED! service, whose terms are set out in NRVL 120.",
        "11. Offshore points. Property to or from Alaska, Hawaii and Puerto Rico moves by water "
        "or air beyond the mainland gateway under the beyond, ocean and air charges of NRVL 120, "
        "and the terms of the connecting carrier apply to that part of the move.",
        "12. Entire agreement. These terms, the front of this bill and the tariffs named in "
        "clause 1 are the whole contract of carriage; no agent of Norvale Freight may change "
        "them."};
    double y = 708;
    for (const char* term : terms) y = c.Paragraph(kLeft, y, kRight - kLeft, 8.5, term) - 6;
    FormDocument().Write(c, {}, path);
}

}  // namespace

void WriteBLForms(const std::string& appDir) {
    const std::string dir = appDir + "/BL";
    std::filesystem::create_directories(dir);
    WriteFront(dir + "/BLFront.PDF");
    WriteBack(dir + "/BLBack.pdf");
}

}  // namespace sampletariff
