#include "formkit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "labelbutton.h"
#include "twips.h"
#include "windowkeys.h"

namespace {
PricingModalRunner& Runner() {
    static PricingModalRunner runner;
    return runner;
}
}  // namespace

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, const QRect& where,
                   const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(where);
    label->setFont(font);
    return label;
}

LabelButton* PlaceButton(QWidget* parent, const char* name, const QString& text, const QRect& where,
                         const QFont& font) {
    auto* label = new LabelButton(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(where);
    label->setFont(font);
    label->SetForeColor(0);
    return label;
}

QLineEdit* PlaceBox(QWidget* parent, const char* name, int maxLength, const QRect& where,
                    const QFont& font) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(maxLength);
    box->setGeometry(where);
    box->setFont(font);
    return box;
}

QPushButton* PlaceCommand(QWidget* parent, const char* name, const QString& text,
                          const QRect& where) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(where);
    button->setFont(VerdanaFont(9, true));
    return button;
}

void PaintBackground(QWidget* window, const QColor& colour) {
    SetBackgroundColor(window, colour);
}

void PaintText(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

void SetPricingModalRunner(PricingModalRunner runner) {
    Runner() = std::move(runner);
}

void RunPricingModal(QDialog& window) {
    if (Runner())
        Runner()(window);
    else
        ExecModal(window);
}

PricingHourglass::PricingHourglass() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

PricingHourglass::~PricingHourglass() {
    QApplication::restoreOverrideCursor();
}
