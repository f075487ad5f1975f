#include "labelbutton.h"

#include <QFocusEvent>
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

namespace {

// The room between a focused label and its frame, and the frame's width.
constexpr int kFrameGapX = 2;
constexpr int kFrameGapY = 1;
constexpr int kFrameWidth = 2;

// The frame of a focused label, in the label's own text colour, so that it reads wherever the
// text does, whatever the palette. It lets the mouse through to what is under it.
class FocusFrame : public QWidget {
  public:
    FocusFrame(const QLabel* label, QWidget* parent) : QWidget(parent), label_(label) {
        setObjectName(QStringLiteral("focusFrame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (!label_) return;
        QPainter painter(this);
        painter.setPen(QPen(label_->palette().color(label_->foregroundRole()), kFrameWidth));
        const double inset = kFrameWidth / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }

  private:
    QPointer<const QLabel> label_;
};

}  // namespace

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
    // A label that is a window of its own has no parent to carry the frame: it draws it inside.
    if (!hasFocus() || parentWidget()) return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(foregroundRole()), kFrameWidth));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

LabelButton::~LabelButton() {
    delete focusFrame_.data();
}

void LabelButton::PlaceFocusFrame() {
    QWidget* parent = parentWidget();
    const bool shown = parent && hasFocus() && isVisible();
    if (focusFrame_ && focusFrame_->parentWidget() != parent) delete focusFrame_.data();
    if (!shown) {
        if (focusFrame_) focusFrame_->hide();
        return;
    }
    if (!focusFrame_) focusFrame_ = new FocusFrame(this, parent);
    static_assert(kFrameGapX + kFrameWidth == kFocusFrameOutsideX);
    static_assert(kFrameGapY + kFrameWidth == kFocusFrameOutsideY);
    focusFrame_->setGeometry(geometry().adjusted(-kFocusFrameOutsideX, -kFocusFrameOutsideY,
                                                 kFocusFrameOutsideX, kFocusFrameOutsideY));
    focusFrame_->raise();
    focusFrame_->show();
    focusFrame_->update();
}

void LabelButton::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    PlaceFocusFrame();
}

void LabelButton::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    PlaceFocusFrame();
}

void LabelButton::moveEvent(QMoveEvent* event) {
    QLabel::moveEvent(event);
    if (focusFrame_ && focusFrame_->isVisible()) PlaceFocusFrame();
}

void LabelButton::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (focusFrame_ && focusFrame_->isVisible()) PlaceFocusFrame();
}

void LabelButton::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    if (hasFocus()) PlaceFocusFrame();
}

void LabelButton::hideEvent(QHideEvent* event) {
    QLabel::hideEvent(event);
    if (focusFrame_) focusFrame_->hide();
}

void LabelButton::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    // The frame takes the label's colour: a hover highlight or a window gone inactive.
    const QEvent::Type type = event->type();
    if (focusFrame_ && focusFrame_->isVisible() &&
        (type == QEvent::PaletteChange || type == QEvent::EnabledChange ||
         type == QEvent::ActivationChange))
        focusFrame_->update();
}
