#include "frmfindsc.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "auxvalues.h"
#include "auxwindow.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "msgbox.h"
#include "windowkeys.h"

namespace {
const char* const kNotOnFile = "ZIP/Postal Code not on file.  ";
}

frmFindSC::frmFindSC(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFindSC"));
    // Named as the command that opens it, so the task bar and the window list say what it is.
    setWindowTitle(QStringLiteral("Your local Service Center"));
    setFixedSize(420, 330);
    SetBackColor(this, RGB(255, 255, 255));
    const QFont text = VerdanaFont(9.75, false);
    const QFont bold = VerdanaFont(9.75, true);

    Image1 = MakeHeaderBand(this, QRect(0, 0, 420, 44));
    Label1 = MakeLabel(this, QStringLiteral("Label1"),
                       QStringLiteral("Enter a US ZIP or Canadian Postal Code"),
                       QRect(16, 10, 390, 24), VerdanaFont(10.5, true), 0xFFFFFF);
    txtZipCode = new QLineEdit(this);
    txtZipCode->setObjectName(QStringLiteral("txtZipCode"));
    txtZipCode->setGeometry(16, 58, 110, 28);
    txtZipCode->setMaxLength(6);
    txtZipCode->setFont(VerdanaFont(11, true));
    txtZipCode->installEventFilter(this);
    mlblClickHere = MakeButton(this, QStringLiteral("mlblClickHere"),
                               QStringLiteral("Find Svc Ctr"), QRect(150, 62, 130, 22), bold);
    Line1 = MakeRule(this, QStringLiteral("Line1"), QRect(16, 100, 388, 2), RGB(50, 70, 132));

    lblServiceCenterName =
        MakeLabel(this, QStringLiteral("lblServiceCenterName"), QStringLiteral("Service Center"),
                  QRect(16, 114, 390, 24), VerdanaFont(11, true));
    lblAddress = MakeLabel(this, QStringLiteral("lblAddress"), QStringLiteral("Address"),
                           QRect(16, 142, 390, 22), text);
    lblCityStateZip = MakeLabel(this, QStringLiteral("lblCityStateZip"),
                                QStringLiteral("City, ST 99999"), QRect(16, 166, 390, 22), text);
    lblPhone = MakeLabel(this, QStringLiteral("lblPhone"), QStringLiteral("(999) 999-9999"),
                         QRect(16, 198, 390, 22), text);
    lblFAX = MakeLabel(this, QStringLiteral("lblFAX"), QStringLiteral("(999) 999-9999"),
                       QRect(16, 222, 390, 22), text);
    lblTollFree = MakeLabel(this, QStringLiteral("lblTollFree"), QStringLiteral("(999) 999-9999"),
                            QRect(16, 246, 390, 22), text);
    ShowResult(false);
    mlblDone = MakeButton(this, QStringLiteral("mlblDone"), QStringLiteral("Done"),
                          QRect(340, 290, 64, 26), VerdanaFont(12, true));

    connect(mlblClickHere, &LabelButton::clicked, this,
            Guarded(this, &frmFindSC::mlblClickHere_Click));
    connect(mlblDone, &LabelButton::clicked, this, &frmFindSC::mlblDone_Click);
    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetOncePerEntry(false);
    highlighter_->WireLabels();
    highlighter_->AddBackground(Image1);
    // Enter finds the code typed; Done and Find are reachable with Tab.
    MakeKeyboardReachable(mlblClickHere);
    MakeKeyboardReachable(mlblDone);
    InstallWindowKeyHandlers(this, [this] { mlblClickHere->click(); });
}

void frmFindSC::ShowResult(bool shown) {
    for (QLabel* l :
         {lblServiceCenterName, lblAddress, lblCityStateZip, lblPhone, lblFAX, lblTollFree})
        l->setVisible(shown);
}

bool frmFindSC::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtZipCode && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        // Postal codes arrive in capitals however they are typed.
        if (typed.size() == 1 && !typed[0].isDigit() && typed[0].isLower()) {
            txtZipCode->insert(typed.toUpper());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFindSC::mlblClickHere_Click() {
    ServiceCenterCard card;
    FindCenterResult result;
    try {
        result = FindServiceCenter(txtZipCode->text().toStdString(), card);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromStdString(e.what()), kMsgOK, QStringLiteral("Tariff Data Error"));
        return;
    }
    if (result != FindCenterResult::Found) {
        // The earlier centre must not stand beside a code that found none.
        ShowResult(false);
        ShowMessage(QString::fromLatin1(kNotOnFile) + QStringLiteral("Please try again."), kMsgOK,
                    QStringLiteral("Data Entry Error"));
        if (result == FindCenterResult::NotOnFile)
            txtZipCode->clear();
        else
            SetMousePointer(this, kPointerDefault);
        return;
    }
    ShowResult(true);
    lblServiceCenterName->setText(QString::fromStdString(card.name));
    lblAddress->setText(QString::fromStdString(card.address));
    lblCityStateZip->setText(QString::fromStdString(card.cityStateZip));
    lblPhone->setText(QString::fromStdString(card.phone));
    lblFAX->setText(QString::fromStdString(card.fax));
    lblTollFree->setText(QString::fromStdString(card.tollFree));
}

void frmFindSC::mlblDone_Click() {
    accept();
}

void ShowFindSC(QWidget* owner) {
    frmFindSC window(owner);
    RunAuxModal(window);
}
