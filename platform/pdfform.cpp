#include "pdfform.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFFormFieldObjectHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include "savefile.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <vector>

namespace {

void Open(QPDF& pdf, const std::string& path) {
    if (!std::filesystem::is_regular_file(path)) throw PdfFormError("There is no file " + path);
    // qpdf recovers what it can of a damaged file and says so on stderr; the program reports
    // only what it cannot read at all.
    pdf.setSuppressWarnings(true);
    try {
        pdf.processFile(path.c_str());
    } catch (const std::exception& e) {
        throw PdfFormError("Cannot read " + path + ": " + e.what());
    }
}

// The file is made in memory and then written whole: a write that fails, the disk full on
// the last buffer included, leaves the last good file in place.
void WritePdf(QPDF& pdf, const std::string& path) {
    std::string bytes;
    try {
        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        // The same form and values give the same bytes.
        writer.setStaticID(true);
        writer.write();
        const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        bytes.assign(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
    } catch (const std::exception& e) {
        throw PdfFormError("Cannot write " + path + ": " + e.what());
    }
    try {
        SaveFileWhole(path, bytes);
    } catch (const SaveFileError& e) {
        throw PdfFormError(e.what());
    }
}

constexpr int kMultilineFlag = 1 << 12;

// The font size of a field's default appearance ("/Helv 9 Tf 0 g"); 9 when it names none.
double FontSize(const std::string& da) {
    std::istringstream in(da);
    std::string previous, token;
    while (in >> token) {
        if (token == "Tf") {
            try {
                const double size = std::stod(previous);
                if (size > 0) return size;
            } catch (const std::exception&) {
            }
        }
        previous = token;
    }
    return 9;
}

// Words set in lines that fit the width, at Helvetica's average letter width; a word wider
// than a line stands alone on its own.
std::vector<std::string> WrapWords(const std::string& text, double width, double size) {
    const size_t perLine = std::max<size_t>(1, static_cast<size_t>(width / (size * 0.5)));
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > perLine) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string PdfLiteral(const std::string& text) {
    std::string out = "(";
    for (char c : text) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += c;
    }
    return out + ")";
}

// qpdf draws a multi-line field's value on one line, cut off at the edge: such a field's
// appearance is drawn again here, the words wrapped to the box, in the font and size that qpdf
// already chose for it.
void DrawMultilineAppearances(QPDFAcroFormDocumentHelper& form) {
    for (QPDFFormFieldObjectHelper& field : form.getFormFields()) {
        if (field.getFieldType() != "/Tx" || !(field.getFlags() & kMultilineFlag)) continue;
        const std::string value = field.getValueAsString();
        const std::string da = field.getDefaultAppearance();
        const double size = FontSize(da);
        for (QPDFAnnotationObjectHelper& widget : form.getAnnotationsForField(field)) {
            QPDFObjectHandle ap = widget.getAppearanceStream("/N");
            if (!ap.isStream()) continue;
            const QPDFObjectHandle::Rectangle r = widget.getRect();
            const double w = r.urx - r.llx, h = r.ury - r.lly;
            std::ostringstream s;
            s << "/Tx BMC q BT " << da << " ";
            double y = h - 2 - size;
            s << 2 << " " << y << " Td ";
            for (const std::string& line : WrapWords(value, w - 4, size)) {
                if (y < 0) break;
                s << PdfLiteral(QUtil::utf8_to_win_ansi(line)) << " Tj 0 " << -(size * 1.15)
                  << " Td ";
                y -= size * 1.15;
            }
            s << "ET Q EMC";
            // A new stream: qpdf rewrites the text of the one it made as it writes the file.
            QPDFObjectHandle drawn = QPDFObjectHandle::newStream(ap.getOwningQPDF(), s.str());
            QPDFObjectHandle dict = drawn.getDict();
            for (const char* key : {"/Type", "/Subtype", "/BBox", "/Resources", "/Matrix"})
                if (ap.getDict().hasKey(key)) dict.replaceKey(key, ap.getDict().getKey(key));
            QPDFObjectHandle appearances = QPDFObjectHandle::newDictionary();
            appearances.replaceKey("/N", drawn);
            widget.getObjectHandle().replaceKey("/AP", appearances);
        }
    }
}

}  // namespace

struct PdfForm::Impl {
    QPDF pdf;
    std::map<std::string, QPDFFormFieldObjectHelper> fields;
    std::vector<std::string> order;
};

PdfForm::PdfForm(const std::string& path) : impl_(std::make_unique<Impl>()) {
    Open(impl_->pdf, path);
    try {
        QPDFAcroFormDocumentHelper form(impl_->pdf);
        for (QPDFFormFieldObjectHelper& field : form.getFormFields()) {
            const std::string name = field.getFullyQualifiedName();
            if (impl_->fields.emplace(name, field).second) impl_->order.push_back(name);
        }
    } catch (const std::exception& e) {
        throw PdfFormError("Cannot read the fields of " + path + ": " + e.what());
    }
    if (impl_->fields.empty()) throw PdfFormError(path + " has no form fields");
}

PdfForm::~PdfForm() = default;

std::vector<std::string> PdfForm::FieldNames() const {
    return impl_->order;
}

bool PdfForm::HasField(const std::string& name) const {
    return impl_->fields.count(name) != 0;
}

void PdfForm::SetField(const std::string& name, const std::string& value) {
    auto it = impl_->fields.find(name);
    if (it == impl_->fields.end()) throw PdfFormError("The form has no field " + name);
    if (it->second.getFieldType() != "/Tx") throw PdfFormError(name + " is not a text field");
    try {
        it->second.setV(value, true);
    } catch (const std::exception& e) {
        throw PdfFormError("Cannot set " + name + ": " + e.what());
    }
}

void PdfForm::WriteFirstPage(const std::string& path) {
    try {
        QPDFPageDocumentHelper pages(impl_->pdf);
        auto all = pages.getAllPages();
        if (all.empty()) throw PdfFormError("The form has no page");
        for (size_t i = 1; i < all.size(); ++i) pages.removePage(all[i]);
        // Appearance streams for every changed field, and NeedAppearances cleared: the values
        // then show in viewers that never draw fields themselves.
        QPDFAcroFormDocumentHelper form(impl_->pdf);
        form.generateAppearancesIfNeeded();
        DrawMultilineAppearances(form);
    } catch (const PdfFormError&) {
        throw;
    } catch (const std::exception& e) {
        throw PdfFormError(std::string("Cannot fill the form: ") + e.what());
    }
    WritePdf(impl_->pdf, path);
}

std::map<std::string, std::string> ReadPdfFormFields(const std::string& path) {
    QPDF pdf;
    Open(pdf, path);
    std::map<std::string, std::string> values;
    try {
        for (QPDFFormFieldObjectHelper& field : QPDFAcroFormDocumentHelper(pdf).getFormFields())
            values.emplace(field.getFullyQualifiedName(), field.getValueAsString());
    } catch (const std::exception& e) {
        throw PdfFormError("Cannot read the fields of " + path + ": " + e.what());
    }
    return values;
}

int PdfPageCount(const std::string& path) {
    QPDF pdf;
    Open(pdf, path);
    try {
        return static_cast<int>(pdf.getAllPages().size());
    } catch (const std::exception& e) {
        throw PdfFormError("Cannot read the pages of " + path + ": " + e.what());
    }
}

void CopyPdfFirstPage(const std::string& from, const std::string& to) {
    QPDF in;
    Open(in, from);
    QPDF out;
    try {
        out.emptyPDF();
        auto pages = QPDFPageDocumentHelper(in).getAllPages();
        if (pages.empty()) throw PdfFormError(from + " has no page");
        // A page of another document is copied with everything it refers to.
        QPDFPageDocumentHelper(out).addPage(pages.front(), false);
    } catch (const PdfFormError&) {
        throw;
    } catch (const std::exception& e) {
        throw PdfFormError("Cannot copy the page of " + from + ": " + e.what());
    }
    WritePdf(out, to);
}
