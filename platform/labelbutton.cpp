#include "labelbutton.h"

#include <QKeyEvent>
#include <QMetaMethod>
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

bool LabelButton::IsCommand() const {
    return isSignalConnected(QMetaMethod::fromSignal(&LabelButton::clicked)) ||
           isSignalConnected(QMetaMethod::fromSignal(&LabelButton::doubleClicked));
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
    // Only a label that takes the focus sees keys; for it Enter and Space are a click, or the
    // double click of a label that answers nothing else.
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                  event->key() == Qt::Key_Space)) {
        event->accept();
        if (!isSignalConnected(QMetaMethod::fromSignal(&LabelButton::clicked)) &&
            isSignalConnected(QMetaMethod::fromSignal(&LabelButton::doubleClicked)))
            emit doubleClicked();
        else
            emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LabelButton::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    // The frame of a focused button, in the label's own text colour, so that it reads wherever
    // the text does, whatever the palette; two pixels wide, so that it is seen at a glance.
    QPainter painter(this);
    QPen pen(palette().color(foregroundRole()), 2);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}
