#include "labelbutton.h"

#include <QMouseEvent>
#include <QPalette>

QColor ColorFromValue(uint32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

uint32_t ValueFromColor(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}

void SetLabelForeColor(QLabel* label, uint32_t value) {
    QPalette palette = label->palette();
    const QColor color = ColorFromValue(value);
    palette.setColor(QPalette::Active, QPalette::WindowText, color);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, color);
    label->setPalette(palette);
}

uint32_t LabelForeColor(const QLabel* label) {
    return ValueFromColor(label->palette().color(QPalette::Active, QPalette::WindowText));
}

LabelButton::LabelButton(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
}

LabelButton::LabelButton(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setMouseTracking(true);
}

void LabelButton::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) leftPressed_ = true;
    emit mouseDown(event->button(), event->modifiers());
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const bool wasPressed = leftPressed_;
    leftPressed_ = false;
    // Dragging off the label before letting go cancels the click, as it does for a button.
    if (wasPressed && rect().contains(event->position().toPoint())) emit clicked();
}

void LabelButton::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    // The release that ends a double click must not count as another click.
    leftPressed_ = false;
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}

void LabelButton::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit mouseMoved();
}
