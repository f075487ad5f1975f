#include "pdfform.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "pdfmodule.h"

namespace {

// The installed program's library folder, beside its bin/; else the build's module folder.
void* OpenModule() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string installed =
        (exe.parent_path() / ".." / FRETLYN_INSTALL_MODULE_DIR / kPdfModuleFile).string();
    if (void* handle = ::dlopen(installed.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
    const std::string built = std::string(FRETLYN_BUILD_MODULE_DIR "/") + kPdfModuleFile;
    return ::dlopen(built.c_str(), RTLD_NOW | RTLD_LOCAL);
}

// Loaded once, on first use, and kept for the rest of the run.
const PdfModule& Module() {
    static const PdfModule* module = [] {
        void* handle = OpenModule();
        if (!handle)
            throw PdfFormError(std::string("The PDF forms cannot be used: ") + ::dlerror());
        auto* entry = reinterpret_cast<const PdfModule* (*)()>(::dlsym(handle, kPdfModuleEntry));
        if (!entry)
            throw PdfFormError(std::string("The PDF forms cannot be used: ") + kPdfModuleFile +
                               " is not the program's PDF module");
        return entry();
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
