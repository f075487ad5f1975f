#pragma once
// What the PDF module offers the program (see programmodule.h). The module (libfretlyn_pdf.so)
// holds the qpdf side of the PDF forms; the program loads it the first time it fills or reads a
// PDF, so that qpdf and the libraries it brings (TLS, certificates, JPEG) are loaded when a bill
// is printed, not at every start.

#include <map>
#include <memory>
#include <string>
#include <vector>

// One opened form; see PdfForm, which forwards to it. Every failure is a PdfFormError.
class PdfFormBackend {
  public:
    virtual ~PdfFormBackend() = default;
    virtual std::vector<std::string> FieldNames() const = 0;
    virtual bool HasField(const std::string& name) const = 0;
    virtual void SetField(const std::string& name, const std::string& value) = 0;
    virtual void WriteFirstPage(const std::string& path) = 0;
};

struct PdfModule {
    std::unique_ptr<PdfFormBackend> (*openForm)(const std::string& path);
    std::map<std::string, std::string> (*readFormFields)(const std::string& path);
    int (*pageCount)(const std::string& path);
    void (*copyFirstPage)(const std::string& from, const std::string& to);
};

// The file name of the module.
inline constexpr const char* kPdfModuleFile = "libfretlyn_pdf.so";
// The one symbol the module exports: returns its functions.
inline constexpr const char* kPdfModuleEntry = "FretlynPdfModule";
extern "C" const PdfModule* FretlynPdfModule();
