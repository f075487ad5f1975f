#include "labels.h"

#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

#include "handcursor.h"
#include "labelbutton.h"
#include "tariffdb.h"

namespace {

// The labels of one window: those of a dialog that happens to be the window's child belong to
// the dialog.
template <typename F>
void ForEachLabel(QWidget* form, F&& apply) {
    QWidget* window = form->window();
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->window() == window) apply(label);
}

// Every window shows the program's hand, also one that did not load it itself.
void ShowHandCursor(QWidget* form) {
    if (!HasMouseIcon(form)) LoadFormMouseIcon(form);
    SetMousePointer(form, kPointerCustom);
}

}  // namespace

void ResetLabelColors(QWidget* form, int /*style*/) {
    ForEachLabel(form, [](QLabel* label) {
        const QString& name = label->objectName();
        if (name.startsWith(QLatin1String("lbl")) || name.startsWith(QLatin1String("mlbl")))
            SetLabelForeColor(label, kColorBlack);
    });
}

void HiliteLabel(QLabel* label, QWidget* form, int style) {
    ResetLabelColors(form, style);
    SetLabelForeColor(label, style == kHiliteWhite ? kColorWhite : kColorBlue);
    ShowHandCursor(form);
}

void BlackHdlLabels(QWidget* form) {
    ForEachLabel(form, [](QLabel* label) {
        if (!label->objectName().startsWith(QLatin1String("hdl")))
            SetLabelForeColor(label, kColorBlack);
    });
}

void WhiteFormLabels(QWidget* form) {
    ForEachLabel(form, [](QLabel* label) { SetLabelForeColor(label, kColorWhite); });
}

void HighlightLabel(QLabel* label, QWidget* form) {
    BlackHdlLabels(form);
    SetLabelForeColor(label, kColorBlue);
    ShowHandCursor(form);
}

void LoadFormMouseIcon(QWidget* form) {
    SetMouseIcon(form, LoadHandCursor(QString::fromStdString(AppFolder()) +
                                      QStringLiteral("graphics/finger.cur")));
}

LabelHighlighter::LabelHighlighter(QWidget* form, int style)
    : QObject(form), form_(form), style_(style), backgroundPointer_(kPointerDefault) {
    LoadFormMouseIcon(form);
    AddBackground(form);
}

void LabelHighlighter::WireLabels() {
    QWidget* window = form_->window();
    for (LabelButton* label : form_->findChildren<LabelButton*>())
        if (label->window() == window) Wire(label);
}

void LabelHighlighter::Wire(LabelButton* label) {
    connect(label, &LabelButton::mouseMoved, this, &LabelHighlighter::LabelMoved,
            Qt::UniqueConnection);
}

void LabelHighlighter::AddBackground(QWidget* widget) {
    widget->setMouseTracking(true);
    if (!backgrounds_.contains(widget)) {
        backgrounds_.insert(widget);
        widget->installEventFilter(this);
        connect(widget, &QObject::destroyed, this, [this, widget] { backgrounds_.remove(widget); });
    }
}

void LabelHighlighter::Hover(QLabel* label) {
    if (oncePerEntry_ && lastHilite_ == label->objectName()) return;
    lastHilite_ = label->objectName();
    HiliteLabel(label, form_, style_);
    emit labelEntered(label);
}

void LabelHighlighter::Background(QWidget* where) {
    ResetLabelColors(form_, style_);
    SetMousePointer(form_, backgroundPointer_);
    lastHilite_.clear();
    emit backgroundEntered(where);
}

void LabelHighlighter::LabelMoved() {
    if (auto* label = qobject_cast<QLabel*>(sender())) Hover(label);
}

bool LabelHighlighter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        auto* widget = static_cast<QWidget*>(watched);
        // A move that a control let through to its parent is over that control, not over the
        // background.
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (backgrounds_.contains(widget) && widget->childAt(at) == nullptr) Background(widget);
    }
    return false;
}
