#include "auxwindow.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <exception>

#include "form3.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "msgbox.h"
#include "twips.h"
#include "windowkeys.h"

namespace {
AuxModalRunner& Runner() {
    static AuxModalRunner runner;
    return runner;
}
}  // namespace

void SetAuxModalRunner(AuxModalRunner runner) {
    Runner() = std::move(runner);
}

void RunAuxModal(QDialog& window) {
    if (Runner())
        Runner()(window);
    else
        ExecModal(window);
}

BusyFrame::BusyFrame() : before_(mainState.gBusy) {
    mainState.gBusy = true;
}

BusyFrame::~BusyFrame() {
    mainState.gBusy = before_;
}

void RunCommand(const QString& title, const std::function<void()>& command) {
    BusyFrame busy;
    RunHandler(command, [&](const std::exception& e) {
        ShowMessage(QString::fromStdString(e.what()), kMsgOK, title);
    });
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& where,
                  const QFont& font, uint32_t color) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setFont(font);
    SetLabelForeColor(label, color);
    return label;
}

LabelButton* MakeButton(QWidget* parent, const QString& name, const QString& text,
                        const QRect& where, const QFont& font, uint32_t color) {
    auto* label = new LabelButton(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setFont(font);
    label->SetForeColor(color);
    return label;
}

QWidget* MakeRule(QWidget* parent, const QString& name, const QRect& where, uint32_t color) {
    auto* rule = new QFrame(parent);
    rule->setObjectName(name);
    rule->setGeometry(where);
    SetBackColor(rule, color);
    return rule;
}

QLabel* MakeHeaderBand(QWidget* parent, const QRect& where) {
    auto* band = new QLabel(parent);
    band->setObjectName(QStringLiteral("Image1"));
    band->setGeometry(where);
    QPixmap pixmap(where.size());
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, where.width(), 0);
    gradient.setColorAt(0, ColorFromValue(kRuleColor));
    gradient.setColorAt(1, ColorFromValue(RGB(27, 86, 167)));
    painter.fillRect(pixmap.rect(), gradient);
    painter.end();
    band->setPixmap(pixmap);
    return band;
}

void SetBackColor(QWidget* widget, uint32_t color) {
    SetBackgroundColor(widget, ColorFromValue(color));
}
