#include "pdfform.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFFormFieldObjectHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <filesystem>
#include <functional>
#include <system_error>

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

// Writes through a temporary file in the same folder, renamed over the target only once qpdf
// has finished, so a reader never sees a partial file.
void WriteAtomically(const std::string& path, const std::function<void(const char*)>& write) {
    const std::string temp = path + ".part";
    try {
        write(temp.c_str());
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw PdfFormError("Cannot write " + path + ": " + e.what());
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw PdfFormError("Cannot write " + path + ": " + ec.message());
    }
}

void WritePdf(QPDF& pdf, const std::string& path) {
    WriteAtomically(path, [&pdf](const char* temp) {
        QPDFWriter writer(pdf, temp);
        // The same form and values give the same bytes.
        writer.setStaticID(true);
        writer.write();
    });
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
        QPDFAcroFormDocumentHelper(impl_->pdf).generateAppearancesIfNeeded();
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
