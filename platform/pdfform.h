#pragma once
// Fillable PDF forms, on qpdf: the named text fields of a form file are filled and the page is
// written out with an appearance for every field, so that any viewer (and pdftotext) shows the
// values without drawing them itself. The values are set in Qt's fonts (a QGuiApplication must
// exist; without one qpdf's own one-line appearances stay): a value too wide for its box is set
// smaller, down to a legible 6 pt and then wrapped, notes wrap inside their box and keep their
// line breaks, and every character an installed font has prints. Every file is written beside
// its place under a temporary
// name and renamed into place only when it is complete: a failure never leaves half a PDF, and
// never overwrites the last good one.

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A form that cannot be read, a field the form does not have, or an output that cannot be
// written. The text names the file or the field.
class PdfFormError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class PdfForm {
  public:
    // Opens the form file; a missing or damaged file, or one without form fields, is refused.
    explicit PdfForm(const std::string& path);
    ~PdfForm();
    PdfForm(const PdfForm&) = delete;
    PdfForm& operator=(const PdfForm&) = delete;

    // The fully qualified names of the form's fields, in the form's order.
    std::vector<std::string> FieldNames() const;
    bool HasField(const std::string& name) const;

    // Sets a text field's value (UTF-8). A name the form does not have is refused: a misspelt
    // field would otherwise print an empty box without a word.
    void SetField(const std::string& name, const std::string& value);

    // Writes the form's first page, with the values set, to the path.
    void WriteFirstPage(const std::string& path);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The value of every field of a PDF, by fully qualified name; a field without a value reads as
// empty text.
std::map<std::string, std::string> ReadPdfFormFields(const std::string& path);

// The number of pages of a PDF.
int PdfPageCount(const std::string& path);

// Copies the first page of a PDF, unchanged, into a new file at the second path.
void CopyPdfFirstPage(const std::string& from, const std::string& to);
