#include "frmcommodities.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "blform.h"
#include "blstore.h"
#include "blwidgets.h"
#include "entryfilter.h"
#include "messagebox.h"
#include "msgbox.h"
#include "tariffdb.h"

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

frmCommodities::frmCommodities(QWidget* parent)
    : BLCatalogWindow(
          "frmCommodities", QStringLiteral("Bill of Lading Commodities"),
          {QStringLiteral("New Commodity"), QStringLiteral("to enter a commodity description."),
           QStringLiteral("commodity")},
          parent) {
    QWidget* data = cmbName->parentWidget();
    lblName = MakeHeading(data, "lblName", QStringLiteral("Description"));
    lblAddress = MakeHeading(data, "lblAddress", QStringLiteral("NMFC Number"));
    lblCity = MakeHeading(data, "lblCity", QStringLiteral("Weight (each)"));
    lblclass = MakeHeading(data, "lblclass", QStringLiteral("Class"));
    txtNMFC = new QLineEdit(data);
    txtNMFC->setObjectName(QStringLiteral("txtNMFC"));
    txtNMFC->setMaxLength(kNmfcLength);
    KeepToOneLine(txtNMFC);
    txtweight = new QLineEdit(data);
    txtweight->setObjectName(QStringLiteral("txtweight"));
    txtweight->installEventFilter(this);
    AdmitOnly(txtweight, QStringLiteral("0-9"));
    cmbCommClass = new QComboBox(data);
    cmbCommClass->setObjectName(QStringLiteral("cmbCommClass"));
    cmbCommClass->setEditable(true);
    cmbCommClass->setInsertPolicy(QComboBox::NoInsert);
    cmbCommClass->setCompleter(nullptr);  // "7" stays 7, to be refused, not completed to 70
    KeepToOneLine(cmbCommClass->lineEdit());
    chkHazMat = new QCheckBox(QStringLiteral("Hazardous Material"), data);
    chkHazMat->setObjectName(QStringLiteral("chkHazMat"));

    QGridLayout* grid = EntryGrid();
    grid->addWidget(lblName, 0, 0);
    grid->addWidget(cmbName, 0, 1, 1, 2);
    grid->addWidget(lblAddress, 1, 0);
    grid->addWidget(txtNMFC, 1, 1);
    grid->addWidget(lblCity, 2, 0);
    grid->addWidget(txtweight, 2, 1);
    grid->addWidget(lblclass, 3, 0);
    grid->addWidget(cmbCommClass, 3, 1);
    grid->addWidget(chkHazMat, 4, 1, 1, 2);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(2, 1);
    setTabOrder(cmbName, txtNMFC);
    setTabOrder(txtNMFC, txtweight);
    setTabOrder(txtweight, cmbCommClass);
    setTabOrder(cmbCommClass, chkHazMat);
    SetEntriesEnabled(false);
    cmbName->setEnabled(false);
    FinishLayout();
    resize(560, 300);
}

CommodityRecord frmCommodities::Entries() const {
    CommodityRecord c;
    c.description = cmbName->currentText().toStdString();
    c.nmfc = txtNMFC->text().toStdString();
    c.weight = txtweight->text().toStdString();
    c.commodityClass = cmbCommClass->currentText().toStdString();
    c.hazmat = chkHazMat->isChecked() ? 1 : 0;
    return c;
}

std::vector<std::string> frmCommodities::Names() {
    return SortedCommodityNames();
}

BLRecordId frmCommodities::FindId(const std::string& name) {
    return FindCommodityId(name);
}

void frmCommodities::ClearEntries() {
    txtNMFC->clear();
    txtweight->clear();
    chkHazMat->setChecked(false);
    if (cmbCommClass->count() == 0)
        for (const std::string& c : tariff.gClasses) cmbCommClass->addItem(Q(c));
    cmbCommClass->setCurrentIndex(0);
    cmbCommClass->setEditText(QStringLiteral("50"));
}

bool frmCommodities::ShowEntries(BLRecordId id) {
    const std::optional<CommodityRecord> c = shown_ = ReadCommodity(id);
    if (!c) return false;
    cmbName->setEditText(Q(c->description));
    txtNMFC->setText(Q(c->nmfc));
    txtweight->setText(Q(c->weight));
    chkHazMat->setChecked(c->hazmat == 1);
    // A stored class that is not one of the list shows as the first.
    const int at = cmbCommClass->findText(Q(c->commodityClass), Qt::MatchExactly);
    cmbCommClass->setCurrentIndex(std::max(at, 0));
    cmbCommClass->setEditText(cmbCommClass->itemText(std::max(at, 0)));
    return true;
}

void frmCommodities::SetEntriesEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{txtNMFC, txtweight, cmbCommClass, chkHazMat})
        w->setEnabled(enabled);
}

std::optional<EntryFailure> frmCommodities::Check(BLRecordId editingId) {
    return CheckCommodity(Entries(), editingId);
}

BLRecordId frmCommodities::Store(bool editing, BLRecordId id) {
    CommodityRecord c = Entries();
    c.commodityId = id;
    return StoreCommodity(c, editing,
                          editing && shown_ && shown_->commodityId == id ? &*shown_ : nullptr);
}

void frmCommodities::FocusField(CatalogField field) {
    switch (field) {
        case CatalogField::Weight:
            txtweight->setFocus();
            break;
        case CatalogField::Class:
            cmbCommClass->setFocus();
            break;
        default:
            cmbName->setFocus();
            break;
    }
}

bool frmCommodities::ConfirmDelete() {
    ShowMessage(
        QStringLiteral("Are you sure you ") + QStringLiteral("want to delete this commodity?"),
        kMsgQuestion, QStringLiteral("Confirm Delete"));
    return messages.gMsgAnswer == kMsgYes;
}

std::string frmCommodities::UsedBy(BLRecordId id) {
    return ListBLsUsingCommodity(id);
}

void frmCommodities::RefuseDelete(const QString& name, const QString& usedBy) {
    PlatformMessageBox(name + "\ris included on one or more\rB/Ls that are still on file.\r\r" +
                           usedBy + "\r\rCan not delete this commodity.",
                       kMbExclamation, QStringLiteral("Database error"));
}

void frmCommodities::Erase(BLRecordId id) {
    EraseCommodity(id, shown_ && shown_->commodityId == id ? &*shown_ : nullptr);
}

bool frmCommodities::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtweight && DropsNonDigitKey(event, true)) return true;
    return BLCatalogWindow::eventFilter(watched, event);
}

frmCommodities* CommoditiesWindow() {
    return HeldWindow<frmCommodities>::Get();
}

void ShowCommoditiesWindow() {
    HeldWindow<frmCommodities>::Show();
}

void DestroyCommoditiesWindow() {
    HeldWindow<frmCommodities>::Destroy();
}
