#include "frmabout.h"

#include <QLabel>

#include "auxvalues.h"
#include "auxwindow.h"
#include "handcursor.h"
#include "labelbutton.h"
#include "labels.h"
#include "settings.h"
#include "tariffdb.h"
#include "windowkeys.h"

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    SetNoTitle(this);
    setFixedSize(520, 470);
    SetBackColor(this, RGB(255, 255, 255));
    const QFont text = VerdanaFont(9, false);

    Image1 = MakeHeaderBand(this, QRect(0, 0, 520, 64));
    hdlVZK = MakeLabel(this, QStringLiteral("hdlVZK"), QStringLiteral("Norvale Freight"),
                       QRect(18, 6, 480, 28), VerdanaFont(15, true), 0xFFFFFF);
    hdlFL2001 =
        MakeLabel(this, QStringLiteral("hdlFL2001"), QStringLiteral("Fretlyn2007 for Windows"),
                  QRect(18, 34, 480, 24), VerdanaFont(11, true), 0xFFFFFF);
    lblVersion = MakeLabel(this, QStringLiteral("lblVersion"), QString(), QRect(18, 74, 200, 20),
                           VerdanaFont(9, true));
    Line1 = MakeRule(this, QStringLiteral("Line1"), QRect(18, 100, 484, 2), RGB(50, 70, 132));
    Label6 = MakeLabel(this, QStringLiteral("Label6"), QStringLiteral("NOTICE TO USER"),
                       QRect(18, 110, 480, 20), VerdanaFont(10, true));
    lblAbout =
        MakeLabel(this, QStringLiteral("lblAbout"), QString(), QRect(18, 134, 484, 172), text);
    lblAbout->setWordWrap(true);
    lblAbout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label7 = MakeLabel(this, QStringLiteral("Label7"), QStringLiteral("Tariff NRVL 410"),
                       QRect(18, 314, 480, 20), VerdanaFont(9, true));
    Label3 = MakeLabel(this, QStringLiteral("Label3"),
                       QStringLiteral("Copyright \u00a9 Norvale Freight.  All rights reserved."),
                       QRect(18, 340, 480, 20), text);
    Label4 = MakeLabel(this, QStringLiteral("Label4"),
                       QStringLiteral("The tariff data may not be copied or resold without the "
                                      "carrier's written consent."),
                       QRect(18, 362, 484, 36), text);
    Label4->setWordWrap(true);
    Label8 = MakeLabel(this, QStringLiteral("Label8"),
                       QStringLiteral("Thank you for choosing Norvale Freight!"),
                       QRect(18, 410, 360, 22), VerdanaFont(10, true), RGB(0, 0, 255));
    lblDone = MakeButton(this, QStringLiteral("lblDone"), QStringLiteral("Done"),
                         QRect(440, 426, 64, 26), VerdanaFont(12, true));
    connect(lblDone, &LabelButton::clicked, this, &frmAbout::lblDone_Click);
    InstallWindowKeys(this, lblDone);
    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetOncePerEntry(false);
    highlighter_->SetBackgroundPointer(kPointerArrow);
    highlighter_->WireLabels();
    highlighter_->AddBackground(Image1);
    Form_Load();
}

void frmAbout::Form_Load() {
    lblVersion->setText(QString::fromStdString(GetConfigValue("VERSION_currver", "12.0.1")));
    lblAbout->setText(QString::fromStdString(AboutNotice(tariff.gEffDate)));
}

void frmAbout::lblDone_Click() {
    accept();
}

void ShowAbout(QWidget* owner) {
    frmAbout window(owner);
    RunAuxModal(window);
}
