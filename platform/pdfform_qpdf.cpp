// The PDF module (see pdfmodule.h): the PDF forms on qpdf.

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFFormFieldObjectHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <sstream>
#include <system_error>
#include <vector>

#include "pdfform.h"
#include "pdfmodule.h"
#include "savefile.h"

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

// The values are set by Qt, which measures every character in the font that draws it and
// embeds that font: a value is drawn whole, in any script an installed font covers, and the
// text stays searchable. Each field's value is drawn on a page of its own size, and that page
// becomes the field's appearance.
constexpr double kPadding = 2;      // between the box's sides and the text
constexpr double kMinimumSize = 6;  // the smallest size still legible on a printed form
constexpr double kSizeStep = 0.25;
constexpr double kLeading = 1.08;  // line to line, as a share of the size

struct FieldText {
    QPDFObjectHandle widget;
    QString text;
    double width = 0, height = 0;  // the appearance's box
    double size = 9;               // the size the form asks for
    bool multiline = false;
    QPDFObjectHandle matrix;  // the old appearance's, kept for a turned field
};

// Helvetica's metric twin where it is installed, so a value takes the room the form was drawn
// for; Qt takes the characters it lacks (Chinese, say) from an installed font that has them.
QFont ValueFont(double size) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::Helvetica);
    font.setPointSizeF(size);
    return font;
}

// Lays the text out at the size, wrapped at the width when asked (at word boundaries, inside a
// word that is wider than a line); returns the height its lines take.
double LayOut(QTextLayout& layout, double size, double width, bool wrap, QPaintDevice* device) {
    layout.setFont(QFont(ValueFont(size), device));
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    double y = 0, height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        height = y + line.ascent() + line.descent();
        y += size * kLeading;
    }
    layout.endLayout();
    return height;
}

bool FitsWidth(const QTextLayout& layout, double width) {
    for (int i = 0; i < layout.lineCount(); ++i)
        if (layout.lineAt(i).naturalTextWidth() > width) return false;
    return true;
}

// The largest size, from the form's down to the legible minimum, at which the value fits its
// box: a single-line value on one line, notes wrapped. What does not fit even then is wrapped
// at the minimum size and clipped at the box; the field keeps the whole value.
void DrawField(QPainter& painter, const FieldText& f, QPaintDevice* device) {
    const double width = std::max(1.0, f.width - 2 * kPadding);
    QTextLayout layout(f.text);
    double height = 0;
    bool fits = false;
    for (double size = f.size; !fits && size >= kMinimumSize; size -= kSizeStep) {
        height = LayOut(layout, size, width, f.multiline, device);
        fits = height <= f.height - 1 && FitsWidth(layout, width);
    }
    if (!fits) height = LayOut(layout, kMinimumSize, width, true, device);
    // Notes start at the top; a single-line value, or what it was wrapped into, is centred.
    const double top = f.multiline ? kPadding : std::max(0.5, (f.height - height) / 2);
    painter.save();
    painter.setClipRect(QRectF(0, 0, f.width, f.height));
    painter.setPen(Qt::black);
    layout.draw(&painter, QPointF(kPadding, top));
    painter.restore();
}

// Draws every field's value on a page of the field's size, in one PDF made by Qt.
QByteArray DrawFieldPages(const std::vector<FieldText>& fields) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);  // one unit a point
    auto pageOf = [](const FieldText& f) {
        return QPageSize(QSizeF(std::ceil(f.width), std::ceil(f.height)), QPageSize::Point,
                         QString(), QPageSize::ExactMatch);
    };
    writer.setPageLayout(QPageLayout(pageOf(fields.front()), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            writer.setPageSize(pageOf(fields[i]));
            writer.newPage();
        }
        DrawField(painter, fields[i], &writer);
    }
    painter.end();
    return bytes;
}

// The text fields with a value, and how their appearance is boxed.
std::vector<FieldText> FieldsToDraw(QPDFAcroFormDocumentHelper& form) {
    std::vector<FieldText> out;
    for (QPDFFormFieldObjectHelper& field : form.getFormFields()) {
        if (field.getFieldType() != "/Tx") continue;
        const std::string value = field.getValueAsString();
        if (value.empty()) continue;
        QString text = QString::fromStdString(value);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        const bool multiline = (field.getFlags() & kMultilineFlag) != 0;
        // The line breaks typed in notes stay; a single-line value has none to keep.
        text.replace(QLatin1Char('\n'), multiline ? QChar(QChar::LineSeparator) : QChar(' '));
        for (QPDFAnnotationObjectHelper& widget : form.getAnnotationsForField(field)) {
            FieldText f;
            f.widget = widget.getObjectHandle();
            f.text = text;
            f.multiline = multiline;
            f.size = FontSize(field.getDefaultAppearance());
            const QPDFObjectHandle::Rectangle r = widget.getRect();
            f.width = r.urx - r.llx;
            f.height = r.ury - r.lly;
            QPDFObjectHandle ap = widget.getAppearanceStream("/N");
            if (ap.isStream()) {
                QPDFObjectHandle box = ap.getDict().getKey("/BBox");
                if (box.isRectangle()) {
                    const QPDFObjectHandle::Rectangle b = box.getArrayAsRectangle();
                    f.width = b.urx - b.llx;
                    f.height = b.ury - b.lly;
                }
                if (ap.getDict().hasKey("/Matrix")) f.matrix = ap.getDict().getKey("/Matrix");
            }
            if (f.width > 0 && f.height > 0) out.push_back(f);
        }
    }
    return out;
}

// The PDF the values were drawn in. It must outlive the writing of the form: the form's
// appearances are copied from it, and it reads from the bytes, as the form is written.
struct DrawnValues {
    QByteArray bytes;
    QPDF pdf;
};

// Each field's appearance becomes its page of the drawn PDF, placed at the box's top left.
// Without a GUI application there are no fonts to draw with, and qpdf's own appearances stay.
void DrawAppearances(QPDF& pdf, QPDFAcroFormDocumentHelper& form, DrawnValues& drawn) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    const std::vector<FieldText> fields = FieldsToDraw(form);
    if (fields.empty()) return;
    drawn.bytes = DrawFieldPages(fields);
    drawn.pdf.setSuppressWarnings(true);
    drawn.pdf.processMemoryFile("field values", drawn.bytes.constData(),
                                static_cast<size_t>(drawn.bytes.size()));
    std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(drawn.pdf).getAllPages();
    if (pages.size() != fields.size()) throw PdfFormError("The field values could not be drawn");
    for (size_t i = 0; i < fields.size(); ++i) {
        const FieldText& f = fields[i];
        QPDFObjectHandle value = pdf.copyForeignObject(pages[i].getFormXObjectForPage());
        std::ostringstream s;
        s << "/Tx BMC q 0 0 " << f.width << " " << f.height << " re W n 1 0 0 1 0 "
          << f.height - std::ceil(f.height) << " cm /FxValue Do Q EMC";
        QPDFObjectHandle ap = QPDFObjectHandle::newStream(&pdf, s.str());
        QPDFObjectHandle dict = ap.getDict();
        dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        dict.replaceKey("/BBox", QPDFObjectHandle::newArray(
                                     QPDFObjectHandle::Rectangle(0, 0, f.width, f.height)));
        if (f.matrix.isInitialized()) dict.replaceKey("/Matrix", f.matrix);
        QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
        xobjects.replaceKey("/FxValue", value);
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/XObject", xobjects);
        dict.replaceKey("/Resources", resources);
        QPDFObjectHandle appearances = QPDFObjectHandle::newDictionary();
        appearances.replaceKey("/N", ap);
        QPDFObjectHandle widget = f.widget;
        widget.replaceKey("/AP", appearances);
    }
}

}  // namespace

namespace {

class QpdfForm : public PdfFormBackend {
  public:
    explicit QpdfForm(const std::string& path) {
        Open(pdf_, path);
        try {
            QPDFAcroFormDocumentHelper form(pdf_);
            for (QPDFFormFieldObjectHelper& field : form.getFormFields()) {
                const std::string name = field.getFullyQualifiedName();
                if (fields_.emplace(name, field).second) order_.push_back(name);
            }
        } catch (const std::exception& e) {
            throw PdfFormError("Cannot read the fields of " + path + ": " + e.what());
        }
        if (fields_.empty()) throw PdfFormError(path + " has no form fields");
    }

    std::vector<std::string> FieldNames() const override { return order_; }

    bool HasField(const std::string& name) const override { return fields_.count(name) != 0; }

    void SetField(const std::string& name, const std::string& value) override {
        auto it = fields_.find(name);
        if (it == fields_.end()) throw PdfFormError("The form has no field " + name);
        if (it->second.getFieldType() != "/Tx") throw PdfFormError(name + " is not a text field");
        try {
            it->second.setV(value, true);
        } catch (const std::exception& e) {
            throw PdfFormError("Cannot set " + name + ": " + e.what());
        }
    }

    void WriteFirstPage(const std::string& path) override {
        DrawnValues drawn;
        try {
            QPDFPageDocumentHelper pages(pdf_);
            auto all = pages.getAllPages();
            if (all.empty()) throw PdfFormError("The form has no page");
            for (size_t i = 1; i < all.size(); ++i) pages.removePage(all[i]);
            // Appearance streams for every changed field, and NeedAppearances cleared: the
            // values then show in viewers that never draw fields themselves.
            QPDFAcroFormDocumentHelper form(pdf_);
            form.generateAppearancesIfNeeded();
            DrawAppearances(pdf_, form, drawn);
        } catch (const PdfFormError&) {
            throw;
        } catch (const std::exception& e) {
            throw PdfFormError(std::string("Cannot fill the form: ") + e.what());
        }
        WritePdf(pdf_, path);
    }

  private:
    QPDF pdf_;
    std::map<std::string, QPDFFormFieldObjectHelper> fields_;
    std::vector<std::string> order_;
};

std::unique_ptr<PdfFormBackend> OpenForm(const std::string& path) {
    return std::make_unique<QpdfForm>(path);
}

std::map<std::string, std::string> ReadFormFields(const std::string& path) {
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

int PageCount(const std::string& path) {
    QPDF pdf;
    Open(pdf, path);
    try {
        return static_cast<int>(pdf.getAllPages().size());
    } catch (const std::exception& e) {
        throw PdfFormError("Cannot read the pages of " + path + ": " + e.what());
    }
}

void CopyFirstPage(const std::string& from, const std::string& to) {
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

}  // namespace

const PdfModule* FretlynPdfModule() {
    static const PdfModule module{OpenForm, ReadFormFields, PageCount, CopyFirstPage};
    return &module;
}
