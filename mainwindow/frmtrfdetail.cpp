#include "frmtrfdetail.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QUrl>

#include "auxwindow.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "msgbox.h"
#include "tariffdb.h"
#include "webpane.h"
#include "windowkeys.h"

QString TariffPagePath(int item) {
    return QString::fromStdString(AppFolder()) + QStringLiteral("VZK120/") + QString::number(item) +
           QStringLiteral(".htm");
}

frmTrfDetail::frmTrfDetail(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTrfDetail"));
    setWindowTitle(QStringLiteral("Norvale Freight Tariff NRVL 120-Q"));
    setFixedSize(780, 580);
    SetBackColor(this, RGB(152, 157, 175));
    Label1 =
        MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Choose a subject from this list"),
                  QRect(16, 12, 400, 22), VerdanaFont(10, true), 0xFFFFFF);
    cmbTrfIndex = new QComboBox(this);
    cmbTrfIndex->setObjectName(QStringLiteral("cmbTrfIndex"));
    cmbTrfIndex->setEditable(false);
    cmbTrfIndex->setGeometry(16, 38, 460, 28);
    cmbTrfIndex->setMaxVisibleItems(20);
    cmbTrfIndex->installEventFilter(this);
    brwTariff = new WebPane(this);
    brwTariff->setObjectName(QStringLiteral("brwTariff"));
    brwTariff->setGeometry(16, 78, 748, 450);
    lblDone = MakeButton(this, QStringLiteral("lblDone"), QStringLiteral("Done"),
                         QRect(700, 540, 64, 26), VerdanaFont(12, true));
    connect(lblDone, &LabelButton::clicked, this, &frmTrfDetail::lblDone_Click);
    InstallWindowKeys(this, lblDone);
    highlighter_ = new LabelHighlighter(this, kHiliteWhite);
    highlighter_->SetOncePerEntry(false);
    highlighter_->SetBackgroundPointer(kPointerArrow);
    highlighter_->WireLabels();
    Form_Load();
    connect(cmbTrfIndex, &QComboBox::currentIndexChanged, this,
            Guarded(this, &frmTrfDetail::cmbTrfIndex_Click));
}

void frmTrfDetail::Form_Load() {
    cmbTrfIndex->clear();
    try {
        if (!tariff.rsTariff) throw std::runtime_error("The tariff table is not open.");
        Recordset& rs = *tariff.rsTariff;
        for (rs.MoveFirst(); !rs.AtEOF(); rs.MoveNext())
            cmbTrfIndex->addItem(QString::fromStdString(rs.Field("Title").str()),
                                 static_cast<int>(static_cast<int16_t>(rs.Field("Item").toInt())));
    } catch (const std::exception& e) {
        ShowMessage(QString::fromStdString(e.what()), kMsgOK, QStringLiteral("Tariff Detail"));
    }
    if (cmbTrfIndex->count() > 0) cmbTrfIndex->setCurrentIndex(0);
    cmbTrfIndex_LostFocus();
}

void frmTrfDetail::SelectEntry(int k) {
    if (k < 0 || k >= cmbTrfIndex->count()) {
        brwTariff->ShowErrorPage(
            QStringLiteral("Tariff item not found"),
            QStringLiteral("The tariff list of this copy of Fretlyn has no entry %1, so its "
                           "item cannot be shown.  Choose a subject from the list above.")
                .arg(k + 1));
        return;
    }
    if (cmbTrfIndex->currentIndex() == k)
        cmbTrfIndex_Click();
    else
        cmbTrfIndex->setCurrentIndex(k);
}

void frmTrfDetail::cmbTrfIndex_LostFocus() {
    const int at = cmbTrfIndex->currentIndex();
    if (at < 0) return;
    const int item = static_cast<int16_t>(cmbTrfIndex->itemData(at).toInt());
    brwTariff->Navigate(QUrl::fromLocalFile(TariffPagePath(item)));
}

void frmTrfDetail::cmbTrfIndex_Click() {
    cmbTrfIndex_LostFocus();
    if (brwTariff->isVisible()) brwTariff->setFocus();
}

bool frmTrfDetail::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmbTrfIndex) {
        const auto type = event->type();
        if (type == QEvent::FocusIn || type == QEvent::FocusOut) cmbTrfIndex_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmTrfDetail::lblDone_Click() {
    accept();
}

void ShowTariffDetail(QWidget* owner, int entry) {
    frmTrfDetail window(owner);
    if (entry != 0) window.SelectEntry(entry);
    RunAuxModal(window);
}
