#include "offshoredialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

#include "labelbutton.h"
#include "labels.h"
#include "messagebox.h"
#include "offshore.h"
#include "twips.h"
#include "windowkeys.h"

namespace {

// Both questions share one design, in twips.
constexpr int kWidth = 4320;
constexpr int kHeight = 2520;
constexpr int kMargin = 240;
constexpr int kQuestionTop = 240;
constexpr int kQuestionHeight = 480;
constexpr int kLineTop = 780;
constexpr int kFirstOptionTop = 960;
constexpr int kOptionGap = 390;
constexpr int kOptionHeight = 330;
constexpr int kDoneWidth = 900;
constexpr int kDoneHeight = 330;
constexpr int kDoneTop = 1920;
constexpr int kFontPoints = 9;

const QColor kDividerColor(50, 70, 132);

struct QuestionParts {
    QLabel* question;
    QRadioButton* first;
    QRadioButton* second;
    LabelButton* done;
    QFrame* line;
};

QuestionParts BuildQuestion(QDialog* dialog, const char* name, const char* questionName,
                            const QString& questionText, const char* firstName,
                            const QString& firstText, const char* secondName,
                            const QString& secondText, const char* doneName) {
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setModal(true);
    dialog->setMouseTracking(true);
    QFont font(QStringLiteral("Verdana"), kFontPoints);
    dialog->setFont(font);
    dialog->setFixedSize(TwipsToPixels(kWidth), TwipsToPixels(kHeight));
    // The Done label is black, so the dialog is white, its options black, on any desktop.
    SetBackgroundColor(dialog, Qt::white);

    QuestionParts p{};
    p.question = new QLabel(questionText, dialog);
    p.question->setObjectName(QString::fromLatin1(questionName));
    p.question->setWordWrap(true);
    QFont bold = font;
    bold.setBold(true);
    p.question->setFont(bold);
    p.question->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(kQuestionTop),
                            TwipsToPixels(kWidth - 2 * kMargin), TwipsToPixels(kQuestionHeight));

    p.line = new QFrame(dialog);
    p.line->setObjectName(QStringLiteral("Line1"));
    p.line->setFrameShape(QFrame::HLine);
    p.line->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(kLineTop),
                        TwipsToPixels(kWidth - 2 * kMargin), 2);
    QPalette linePalette = p.line->palette();
    linePalette.setColor(QPalette::WindowText, kDividerColor);
    p.line->setPalette(linePalette);

    auto option = [&](const char* optionName, const QString& text, int top) {
        auto* button = new QRadioButton(text, dialog);
        button->setObjectName(QString::fromLatin1(optionName));
        button->setGeometry(TwipsToPixels(kMargin * 2), TwipsToPixels(top),
                            TwipsToPixels(kWidth - 4 * kMargin), TwipsToPixels(kOptionHeight));
        return button;
    };
    p.first = option(firstName, firstText, kFirstOptionTop);
    p.second = option(secondName, secondText, kFirstOptionTop + kOptionGap);
    auto* group = new QButtonGroup(dialog);
    group->addButton(p.first);
    group->addButton(p.second);

    p.done = new LabelButton(QStringLiteral("Done"), dialog);
    p.done->setObjectName(QString::fromLatin1(doneName));
    p.done->setFont(bold);
    p.done->setAlignment(Qt::AlignCenter);
    p.done->setGeometry(TwipsToPixels(kWidth - kMargin - kDoneWidth), TwipsToPixels(kDoneTop),
                        TwipsToPixels(kDoneWidth), TwipsToPixels(kDoneHeight));
    p.done->SetForeColor(kColorBlack);
    InstallWindowKeys(dialog, p.done);
    return p;
}

// A run without a window system, or a scripted run that answers every message by itself, cannot
// wait for the user: the question is left as if the dialog were closed without Done.
bool CanAsk() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           !messageScript.Active();
}

}  // namespace

frmPRPort::frmPRPort(bool jacksonvilleSelected, QWidget* parent) : QDialog(parent) {
    const QuestionParts p = BuildQuestion(
        this, "frmPRPort", "Label1", QStringLiteral("Please Enter US Exit Port"), "OptFL",
        QStringLiteral("Jacksonville, FL"), "OptNJ", QStringLiteral("Elizabeth, NJ"), "lblPort");
    setWindowTitle(QStringLiteral("Puerto Rico"));
    Label1 = p.question;
    OptFL = p.first;
    OptNJ = p.second;
    lblPort = p.done;
    Line1 = p.line;
    (jacksonvilleSelected ? OptFL : OptNJ)->setChecked(true);
    connect(lblPort, &LabelButton::clicked, this, &frmPRPort::lblPort_Click);
    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->WireLabels();
}

void frmPRPort::lblPort_Click() {
    AnswerPRPort(OptNJ->isChecked());
    accept();
}

frmMilitary::frmMilitary(bool yesSelected, QWidget* parent) : QDialog(parent) {
    const QuestionParts p = BuildQuestion(
        this, "frmMilitary", "Label2", QStringLiteral("Is this Shipment going to a Military Base?"),
        "OptMil", QStringLiteral("Yes"), "Option2", QStringLiteral("No"), "lblMil");
    setWindowTitle(QStringLiteral("Military Base"));
    Label2 = p.question;
    OptMil = p.first;
    Option2 = p.second;
    lblMil = p.done;
    Line1 = p.line;
    (yesSelected ? OptMil : Option2)->setChecked(true);
    connect(lblMil, &LabelButton::clicked, this, &frmMilitary::lblMil_Click);
    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->WireLabels();
}

void frmMilitary::lblMil_Click() {
    AnswerMilitary(OptMil->isChecked());
    accept();
}

void ShowPRPortDialog(bool jacksonvilleSelected) {
    if (!CanAsk()) return;
    frmPRPort dialog(jacksonvilleSelected, QApplication::activeWindow());
    ExecModal(dialog);
}

void ShowMilitaryDialog(bool yesSelected) {
    if (!CanAsk()) return;
    frmMilitary dialog(yesSelected, QApplication::activeWindow());
    ExecModal(dialog);
}
