#include "frmblparties.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "blform.h"
#include "blstate.h"
#include "blstore.h"
#include "blwidgets.h"
#include "messagebox.h"
#include "msgbox.h"

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

frmBLParties::frmBLParties(QWidget* parent)
    : BLCatalogWindow("frmBLParties", QStringLiteral("Bill of Lading Parties Maintenance"),
                      {QStringLiteral("New party"), QStringLiteral("to enter a B/L party name."),
                       QStringLiteral("party")},
                      parent) {
    QWidget* data = cmbName->parentWidget();
    lblName = MakeHeading(data, "lblName", QStringLiteral("Name"));
    lblAddress = MakeHeading(data, "lblAddress", QStringLiteral("Address"));
    lblCity = MakeHeading(data, "lblCity", QStringLiteral("City"));
    lblZip = MakeHeading(data, "lblZip", QStringLiteral("ZIP/Postal Code"));
    lblState1 = MakeHeading(data, "lblState1", QStringLiteral("State/Province"));
    Label1 = MakeHeading(data, "Label1",
                         QStringLiteral("This party can be a.... (check all that apply)"));
    lblState = new QLabel(QStringLiteral("Label2"), data);
    lblState->setObjectName(QStringLiteral("lblState"));
    auto box = [data](const char* name) {
        auto* b = new QLineEdit(data);
        b->setObjectName(QLatin1String(name));
        KeepToOneLine(b);
        return b;
    };
    txtAddress = box("txtAddress");
    txtCity = box("txtCity");
    txtZip = box("txtZip");
    txtZip->installEventFilter(this);
    chkShipper = new QCheckBox(QStringLiteral("Shipper"), data);
    chkShipper->setObjectName(QStringLiteral("chkShipper"));
    chkConsignee = new QCheckBox(QStringLiteral("Consignee"), data);
    chkConsignee->setObjectName(QStringLiteral("chkConsignee"));
    chkBillTo = new QCheckBox(QStringLiteral("Bill To"), data);
    chkBillTo->setObjectName(QStringLiteral("chkBillTo"));
    connect(chkShipper, &QCheckBox::toggled, this, [this](bool on) { boolShipper = on; });
    connect(chkConsignee, &QCheckBox::toggled, this, [this](bool on) { boolConsignee = on; });
    connect(chkBillTo, &QCheckBox::toggled, this, [this](bool on) { boolBillTo = on; });

    QGridLayout* grid = EntryGrid();
    grid->addWidget(lblName, 0, 0);
    grid->addWidget(cmbName, 0, 1, 1, 3);
    grid->addWidget(lblAddress, 1, 0);
    grid->addWidget(txtAddress, 1, 1, 1, 3);
    grid->addWidget(lblCity, 2, 0);
    grid->addWidget(txtCity, 2, 1, 1, 3);
    grid->addWidget(lblZip, 3, 0);
    grid->addWidget(txtZip, 3, 1);
    grid->addWidget(lblState1, 3, 2);
    grid->addWidget(lblState, 3, 3);
    grid->addWidget(Label1, 4, 0, 1, 4);
    grid->addWidget(chkShipper, 5, 1);
    grid->addWidget(chkConsignee, 5, 2);
    grid->addWidget(chkBillTo, 5, 3);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{txtAddress, txtCity, txtZip})
        w->setEnabled(false);
    cmbName->setEnabled(false);
    FinishLayout();
    resize(620, 320);
}

PartyRecord frmBLParties::Entries() const {
    PartyRecord p;
    p.name = cmbName->currentText().toStdString();
    p.address = txtAddress->text().toStdString();
    p.city = txtCity->text().toStdString();
    // Stored as the rating reads it: trimmed, a postal code in capitals.
    p.zip = NormalisedPartyZip(txtZip->text().toStdString());
    p.state = StateOfPartyZip(p.zip);
    p.role = (boolShipper ? kRoleShipper : 0) + (boolConsignee ? kRoleConsignee : 0) +
             (boolBillTo ? kRoleBillTo : 0);
    return p;
}

void frmBLParties::SetRoles(int role) {
    const bool valid = role >= 1 && role <= 7;
    chkShipper->setChecked(valid && (role & kRoleShipper));
    chkConsignee->setChecked(valid && (role & kRoleConsignee));
    chkBillTo->setChecked(valid && (role & kRoleBillTo));
}

std::vector<std::string> frmBLParties::Names() {
    return SortedPartyNames();
}

BLRecordId frmBLParties::FindId(const std::string& name) {
    return FindPartyId(name);
}

void frmBLParties::ClearEntries() {
    txtAddress->clear();
    txtCity->clear();
    txtZip->clear();
    lblState->clear();
    SetRoles(0);
}

bool frmBLParties::ShowEntries(BLRecordId id) {
    const std::optional<PartyRecord> p = shown_ = ReadParty(id);
    if (!p) return false;
    cmbName->setEditText(Q(p->name));
    txtAddress->setText(Q(p->address));
    txtCity->setText(Q(p->city));
    txtZip->setText(Q(p->zip));
    lblState->setText(Q(p->state));
    SetRoles(p->role);
    return true;
}

void frmBLParties::SetEntriesEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{txtAddress, txtCity, txtZip, chkShipper,
                                                      chkConsignee, chkBillTo})
        w->setEnabled(enabled);
}

std::optional<EntryFailure> frmBLParties::Check(BLRecordId editingId) {
    std::optional<EntryFailure> failure = CheckParty(Entries(), editingId);
    if (failure && failure->field == CatalogField::Zip) lblState->clear();
    return failure;
}

BLRecordId frmBLParties::Store(bool editing, BLRecordId id) {
    PartyRecord p = Entries();
    p.partyId = id;
    return StoreParty(p, editing, editing && shown_ && shown_->partyId == id ? &*shown_ : nullptr);
}

void frmBLParties::FocusField(CatalogField field) {
    switch (field) {
        case CatalogField::Address:
            txtAddress->setFocus();
            break;
        case CatalogField::City:
            txtCity->setFocus();
            break;
        case CatalogField::Roles:
            chkShipper->setFocus();
            break;
        case CatalogField::Zip:
            txtZip->setFocus();
            break;
        default:
            cmbName->setFocus();
            break;
    }
}

void frmBLParties::txtZip_LostFocus() {
    if (checkingZip_ || !txtZip->isEnabled() || !(boolAdding || boolEditing)) return;
    checkingZip_ = true;
    GuardedHandler(QStringLiteral("The ZIP or postal code could not be looked up."), [&] {
        const std::string zip = txtZip->text().toStdString();
        if (std::optional<EntryFailure> failure = CheckPartyZip(zip)) {
            // A code no table knows leaves no state behind that could pass for its own.
            lblState->clear();
            ShowMessage(Q(failure->text), kMsgOK, Q(failure->title));
            txtZip->setFocus();
        } else {
            lblState->setText(Q(StateOfPartyZip(zip)));
        }
    });
    checkingZip_ = false;
}

bool frmBLParties::ConfirmDelete() {
    return PlatformMessageBox(
               QStringLiteral("Are you sure you want to delete\rthis Bill of Lading party?"),
               kMbYesNo | kMbQuestion | kMbDefaultButton2,
               QStringLiteral("Confirm Delete")) == kIdYes;
}

std::string frmBLParties::UsedBy(BLRecordId id) {
    return ListBLsUsingParty(id);
}

void frmBLParties::RefuseDelete(const QString& name, const QString& usedBy) {
    PlatformMessageBox(name +
                           "\ris listed as a party to one or\rmore B/Ls that are still on "
                           "file.\r\r" +
                           usedBy + "\r\rCan not delete this party.",
                       kMbExclamation, QStringLiteral("Database error"));
}

void frmBLParties::Erase(BLRecordId id) {
    EraseParty(id, shown_ && shown_->partyId == id ? &*shown_ : nullptr);
}

void frmBLParties::LockCaptions() {
    for (QLabel* l :
         {lblName, lblAddress, lblCity, lblZip, lblState1, lblState, Label1, mlblFunctions})
        l->setEnabled(false);
}

void frmBLParties::UnlockCaptions() {
    for (QLabel* l :
         {lblName, lblAddress, lblCity, lblZip, lblState1, lblState, Label1, mlblFunctions})
        l->setEnabled(true);
}

bool frmBLParties::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtZip) {
        if (event->type() == QEvent::FocusOut) {
            // Leaving the window, or a message taking the focus, is no move to another box.
            const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
            if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason &&
                !messages.gMsgShown)
                txtZip_LostFocus();
        } else if (event->type() == QEvent::FocusIn) {
            SelectStartOnFocus(txtZip, 6);
        }
    }
    return BLCatalogWindow::eventFilter(watched, event);
}

frmBLParties* BLPartiesWindow() {
    return HeldWindow<frmBLParties>::Get();
}

void ShowBLPartiesWindow() {
    blWindow.BLAddingFlag = blWindow.BLEditingFlag = false;
    HeldWindow<frmBLParties>::Show();
}

void DestroyBLPartiesWindow() {
    HeldWindow<frmBLParties>::Destroy();
}
