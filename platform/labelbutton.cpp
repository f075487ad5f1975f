#include "labelbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
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

void SetBackgroundColor(QWidget* widget, const QColor& background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    const bool light = background.lightnessF() >= 0.5;
    const QColor text = light ? QColor(Qt::black) : QColor(Qt::white);
    palette.setColor(QPalette::Active, QPalette::WindowText, text);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
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

void LabelButton::keyPressEvent(QKeyEvent* event) {
    // Only a label that takes the focus sees keys; for it Enter and Space are a click.
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                  event->key() == Qt::Key_Space)) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LabelButton::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    // The dotted frame of a focused button, in the label's own text colour so that it shows on
    // whatever the label stands on.
    QPainter painter(this);
    QPen pen(palette().color(QPalette::WindowText));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
