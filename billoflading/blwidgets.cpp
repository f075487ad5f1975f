#include "blwidgets.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include "blstore.h"
#include "database.h"
#include "entryfilter.h"
#include "labelbutton.h"
#include "labels.h"
#include "msgbox.h"
#include "windowkeys.h"

namespace {
BLWindowRunner& Runner() {
    static BLWindowRunner runner;
    return runner;
}

QFont MenuFont(bool bold) {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(10);
    font.setBold(bold);
    return font;
}
}  // namespace

void SetBLWindowRunner(BLWindowRunner runner) {
    Runner() = std::move(runner);
}

void RunBLWindowModal(QDialog& window) {
    if (Runner())
        Runner()(window);
    else
        ExecModal(window);
}

namespace {
// The toolkit's grey vanishes on the blue column; a dim navy still reads as unavailable.
// A label that has had the focus draws its text through the toolkit's text layout, which
// takes the text colour instead: both get the navy, so that every disabled label of the column
// looks the same.
void SetDisabledColumnInk(QLabel* label) {
    QPalette palette = label->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, QColor(52, 64, 104));
    label->setPalette(palette);
}
}  // namespace

LabelButton* MakeMenuLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new LabelButton(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(MenuFont(true));
    label->SetForeColor(kColorBlack);
    SetDisabledColumnInk(label);
    label->setIndent(10);
    return label;
}

QLabel* MakeHeading(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(MenuFont(true));
    return label;
}

QLabel* MakeColumnHeading(QWidget* parent, const char* name, const QString& caption) {
    QLabel* label = MakeHeading(parent, name, caption);
    // The column's headings stand apart from the labels below them. The column's picture is the
    // program's own, whatever the desktop's palette: the desktop's text colour (white on a dark
    // desktop) would not read on it, nor its grey once the heading is disabled.
    SetLabelForeColor(label, kBLLineColor);
    SetDisabledColumnInk(label);
    return label;
}

QFrame* MakeLine(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::HLine);
    line->setFixedHeight(2);
    line->setAutoFillBackground(true);
    return line;
}

void ColourLine(QFrame* line, uint32_t value) {
    QPalette p = line->palette();
    p.setColor(QPalette::Window, ColorFromValue(value));
    p.setColor(QPalette::WindowText, ColorFromValue(value));
    line->setPalette(p);
    line->setFrameShadow(QFrame::Plain);
}

namespace {

// The picture behind a menu column. Disabled, it only stops taking the pointer's moves; it
// keeps its colours, for a greyed wash reads as a window gone dead.
class MenuPicture : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawPixmap(rect(), pixmap());
    }
};

}  // namespace

QLabel* MakeMenuPicture(QWidget* parent) {
    QLabel* picture = new MenuPicture(parent);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setScaledContents(true);
    // A soft blue wash: black captions and the white highlight both read on it.
    QPixmap pixmap(64, 256);
    QPainter painter(&pixmap);
    QLinearGradient wash(0, 0, 0, 256);
    wash.setColorAt(0, QColor(176, 192, 222));
    wash.setColorAt(1, QColor(120, 142, 190));
    painter.fillRect(pixmap.rect(), wash);
    painter.end();
    picture->setPixmap(pixmap);
    return picture;
}

bool IsTypedKey(const QKeyEvent* key) {
    // Shift+Tab comes with a control character of its own on some keyboards.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
    const QString text = key->text();
    return !text.isEmpty() && text != QLatin1String("\t") && text != QLatin1String("\x1b") &&
           text != QLatin1String("\x7f");
}

bool IsDigitKey(const QString& text, bool backspace) {
    if (text.size() != 1) return false;
    const QChar c = text[0];
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (backspace && c == QLatin1Char('\b'));
}

QString WithoutControlCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        const QChar::Category kind = c.category();
        if (kind != QChar::Other_Control && kind != QChar::Separator_Line &&
            kind != QChar::Separator_Paragraph)
            kept += c;
    }
    return kept;
}

void KeepToOneLine(QLineEdit* box) {
    QObject::connect(box, &QLineEdit::textEdited, box, [box](const QString& text) {
        const QString kept = WithoutControlCharacters(text);
        if (kept == text) return;
        // The cursor stays after what was put in, less what was dropped before it.
        const int cursor =
            static_cast<int>(WithoutControlCharacters(text.left(box->cursorPosition())).size());
        box->setText(kept);
        box->setCursorPosition(cursor);
    });
}

void SayChangedElsewhere(const BLChangedElsewhere& e) {
    ShowMessage(QString::fromStdString(e.what()) +
                    (e.removed() ? QString() : QStringLiteral("  It is shown now as stored.")),
                kMsgOK, QStringLiteral("Changed elsewhere"));
}

void SelectStart(QLineEdit* box, int length) {
    // Selected only while it can be typed over: the box may have been shut since.
    if (!box->isEnabled() || box->isReadOnly()) return;
    box->setSelection(0, std::min(length, static_cast<int>(box->text().size())));
}

void SelectStartOnFocus(QLineEdit* box, int length) {
    QMetaObject::invokeMethod(
        box, [box, length] { SelectStart(box, length); }, Qt::QueuedConnection);
}

bool DropsNonDigitKey(QEvent* event, bool backspace) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return IsTypedKey(key) && !IsEditingShortcut(key) && !IsDigitKey(key->text(), backspace);
}

void ReportBLFailure(const std::exception& e, const QString& what) {
    QString text = what + QStringLiteral("\n\n") + QString::fromStdString(e.what());
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        text += QStringLiteral(" (") + QString::number(db->number()) + QStringLiteral(")");
    ShowMessage(text, kMsgOK, QStringLiteral("Error"));
}
