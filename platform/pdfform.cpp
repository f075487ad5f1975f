#include "pdfform.h"

#include "pdfmodule.h"
#include "programmodule.h"

namespace {

// Loaded once, on first use.
const PdfModule& Module() {
    static const PdfModule* module = [] {
        try {
            auto* entry = reinterpret_cast<const PdfModule* (*)()>(
                ProgramModuleEntry(kPdfModuleFile, kPdfModuleEntry));
            return entry();
        } catch (const std::runtime_error& e) {
            throw PdfFormError(std::string("The PDF forms cannot be used: ") + e.what());
        }
    }();
    return *module;
}

}  // namespace

struct PdfForm::Impl {
    std::unique_ptr<PdfFormBackend> form;
};

PdfForm::PdfForm(const std::string& path)
    : impl_(std::make_unique<Impl>(Impl{Module().openForm(path)})) {}

PdfForm::~PdfForm() = default;

std::vector<std::string> PdfForm::FieldNames() const {
    return impl_->form->FieldNames();
}

bool PdfForm::HasField(const std::string& name) const {
    return impl_->form->HasField(name);
}

void PdfForm::SetField(const std::string& name, const std::string& value) {
    impl_->form->SetField(name, value);
}

void PdfForm::WriteFirstPage(const std::string& path) {
    impl_->form->WriteFirstPage(path);
}

std::map<std::string, std::string> ReadPdfFormFields(const std::string& path) {
    return Module().readFormFields(path);
}

int PdfPageCount(const std::string& path) {
    return Module().pageCount(path);
}

void CopyPdfFirstPage(const std::string& from, const std::string& to) {
    Module().copyFirstPage(from, to);
}
