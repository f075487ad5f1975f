#include "frmbl.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>
#include <memory>
#include <utility>
#include <vector>

#include "blhooks.h"
#include "blprint.h"
#include "blstate.h"
#include "blstore.h"
#include "blwidgets.h"
#include "displayquote.h"
#include "entryfilter.h"
#include "frmblconfig.h"
#include "frmblparties.h"
#include "frmcommodities.h"
#include "handcursor.h"
#include "labelbutton.h"
#include "labels.h"
#include "msgbox.h"
#include "numbers.h"
#include "printquote.h"
#include "ratingstate.h"
#include "settings.h"
#include "windowkeys.h"

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}

// Fills a combo box's list and text without running its pick handling.
void DrawCombo(QComboBox* box, const ComboValues& values) {
    QStringList items;
    for (const std::string& s : values.list) items << Q(s);
    QStringList current;
    for (int i = 0; i < box->count(); ++i) current << box->itemText(i);
    if (current != items) {
        box->clear();
        box->addItems(items);
    }
    if (box->isEditable()) {
        const int at = items.indexOf(Q(values.text));
        box->setCurrentIndex(at);
        box->setEditText(Q(values.text));
    } else {
        box->setCurrentIndex(std::max(0, static_cast<int>(items.indexOf(Q(values.text)))));
    }
}

QComboBox* MakeCombo(QWidget* parent, const QString& name, bool editable) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(editable);
    if (editable) {
        box->setInsertPolicy(QComboBox::NoInsert);
        // What is typed stays as typed: a completed name or number is another bill's or party's.
        box->setCompleter(nullptr);
        KeepToOneLine(box->lineEdit());
    }
    box->setMinimumWidth(230);
    return box;
}

QLineEdit* MakeBox(QWidget* parent, const QString& name, int maxLength = 0) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    if (maxLength > 0) box->setMaxLength(maxLength);
    KeepToOneLine(box);
    return box;
}

const QString kAbandonAdding =
    QStringLiteral("Are you sure you want to cancel adding this record?");
const QString kAbandonEditing =
    QStringLiteral("Are you sure you want to cancel editing this record?");

}  // namespace

frmBL::frmBL(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBL"));
    setWindowTitle(QStringLiteral("Norvale Freight Bill of Lading Management Utility "));
    setModal(true);

    // The menu column, on its picture.
    Image1 = MakeMenuPicture(this);
    auto* menu = menuColumn_ = new QWidget(this);
    menu->setObjectName(QStringLiteral("menuColumn"));
    auto* menuLayout = new QVBoxLayout(menu);
    menuLayout->setContentsMargins(14, 14, 14, 14);
    menuLayout->setSpacing(6);
    hdgTools = MakeColumnHeading(menu, "hdgTools", QStringLiteral("Tools"));
    mlblBLParties = MakeMenuLabel(menu, "mlblBLParties", QStringLiteral("B/L Parties"));
    mlblCommodities = MakeMenuLabel(menu, "mlblCommodities", QStringLiteral("Commodities"));
    mlblConfig = MakeMenuLabel(menu, "mlblConfig", QStringLiteral("Config"));
    Line1 = MakeLine(menu, "Line1");
    hdgFunctions = MakeColumnHeading(menu, "hdgFunctions", QStringLiteral("Functions"));
    mlblRate = MakeMenuLabel(menu, "mlblRate", QStringLiteral("Rate"));
    mlblPrint = MakeMenuLabel(menu, "mlblPrint", QStringLiteral("Print"));
    mlblNew = MakeMenuLabel(menu, "mlblNew", QStringLiteral("New B/L"));
    mlblEdit = MakeMenuLabel(menu, "mlblEdit", QStringLiteral("Edit"));
    mlblSave = MakeMenuLabel(menu, "mlblSave", QStringLiteral("Save"));
    mlblDelete = MakeMenuLabel(menu, "mlblDelete", QStringLiteral("Delete"));
    Line2 = MakeLine(menu, "Line2");
    mlblDone = MakeMenuLabel(menu, "mlblDone", QStringLiteral("Done"));
    Line3 = MakeLine(menu, "Line3");
    for (QWidget* w : std::initializer_list<QWidget*>{
             hdgTools, mlblBLParties, mlblCommodities, mlblConfig, Line1, hdgFunctions, mlblRate,
             mlblPrint, mlblNew, mlblEdit, mlblSave, mlblDelete, Line2})
        menuLayout->addWidget(w);
    menuLayout->addStretch(1);
    menuLayout->addWidget(Line3);
    menuLayout->addWidget(mlblDone);

    // The bill.
    auto* data = new QWidget(this);
    auto* grid = new QGridLayout(data);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    hdgNumber = MakeHeading(data, "hdgNumber", QStringLiteral("Number"));
    hdgDate = MakeHeading(data, "hdgDate", QStringLiteral("Date"));
    hdgPRO = MakeHeading(data, "hdgPRO", QStringLiteral("PRO #"));
    hdgPO = MakeHeading(data, "hdgPO", QStringLiteral("PO Number"));
    hdgShipper = MakeHeading(data, "hdgShipper", QStringLiteral("Shipper"));
    hdgConsignee = MakeHeading(data, "hdgConsignee", QStringLiteral("Consignee"));
    hdgBillTo = MakeHeading(data, "hdgBillTo", QStringLiteral("Bill To"));
    hdgItem = MakeHeading(data, "hdgItem", QStringLiteral("Item"));
    hdgQuant = MakeHeading(data, "hdgQuant", QStringLiteral("Quantity"));
    hdgWeight = MakeHeading(data, "hdgWeight", QStringLiteral("Weight"));
    hdgNotes = MakeHeading(data, "hdgNotes", QStringLiteral("Notes"));
    cmbBillNbr = MakeCombo(data, QStringLiteral("cmbBillNbr"), true);
    txtDate = MakeBox(data, QStringLiteral("txtDate"));
    txtProNumber = MakeBox(data, QStringLiteral("txtProNumber"), kProNumberLength);
    txtPONbr = MakeBox(data, QStringLiteral("txtPONbr"), kPONumberLength);
    cmbShipper = MakeCombo(data, QStringLiteral("cmbShipper"), true);
    cmbConsignee = MakeCombo(data, QStringLiteral("cmbConsignee"), true);
    cmbBillTo = MakeCombo(data, QStringLiteral("cmbBillTo"), true);
    txtInstructions = new QPlainTextEdit(data);
    txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    txtInstructions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtInstructions->setFixedHeight(70);

    grid->addWidget(hdgNumber, 0, 0);
    grid->addWidget(cmbBillNbr, 0, 1);
    grid->addWidget(hdgDate, 0, 2);
    grid->addWidget(txtDate, 0, 3);
    grid->addWidget(hdgPRO, 1, 0);
    grid->addWidget(txtProNumber, 1, 1);
    grid->addWidget(hdgPO, 1, 2);
    grid->addWidget(txtPONbr, 1, 3);
    grid->addWidget(hdgShipper, 2, 0);
    grid->addWidget(cmbShipper, 2, 1, 1, 3);
    grid->addWidget(hdgConsignee, 3, 0);
    grid->addWidget(cmbConsignee, 3, 1, 1, 3);
    grid->addWidget(hdgBillTo, 4, 0);
    grid->addWidget(cmbBillTo, 4, 1, 1, 3);
    grid->addWidget(hdgItem, 5, 1, Qt::AlignBottom);
    grid->addWidget(hdgQuant, 5, 2, Qt::AlignBottom);
    grid->addWidget(hdgWeight, 5, 3, Qt::AlignBottom);
    for (int row = 0; row < kBLLines; ++row) {
        hdgItemRow[row] = MakeHeading(data, "hdgItem", QString::number(row + 1) + ".");
        cmbItem[row] = MakeCombo(data, QStringLiteral("cmbItem%1").arg(row), false);
        txtQuantity[row] = MakeBox(data, QStringLiteral("txtQuantity%1").arg(row));
        txtweight[row] = MakeBox(data, QStringLiteral("txtweight%1").arg(row));
        grid->addWidget(hdgItemRow[row], 6 + row, 0, Qt::AlignRight);
        grid->addWidget(cmbItem[row], 6 + row, 1);
        grid->addWidget(txtQuantity[row], 6 + row, 2);
        grid->addWidget(txtweight[row], 6 + row, 3);
        txtQuantity[row]->installEventFilter(this);
        txtweight[row]->installEventFilter(this);
        AdmitOnly(txtQuantity[row], QStringLiteral("0-9"));
        AdmitOnly(txtweight[row], QStringLiteral("0-9"));
    }
    grid->setRowMinimumHeight(11, 80);
    grid->addWidget(hdgNotes, 11, 0, Qt::AlignTop);
    grid->addWidget(txtInstructions, 11, 1, 1, 3);
    grid->setRowStretch(12, 1);
    grid->setRowMinimumHeight(5, 30);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);

    // Tab walks the bill as it reads: the header, the parties, each line across, then the notes.
    // A tab typed into the notes would be stored with them, so Tab leaves that box too.
    std::vector<QWidget*> tabChain{cmbBillNbr, txtDate,      txtProNumber, txtPONbr,
                                   cmbShipper, cmbConsignee, cmbBillTo};
    for (int row = 0; row < kBLLines; ++row)
        tabChain.insert(tabChain.end(), {cmbItem[row], txtQuantity[row], txtweight[row]});
    tabChain.push_back(txtInstructions);
    for (size_t i = 1; i < tabChain.size(); ++i) setTabOrder(tabChain[i - 1], tabChain[i]);
    txtInstructions->setTabChangesFocus(true);
    // At most 255 characters, typed or pasted: the store and the printed form hold no more. What
    // goes past the limit is taken off where it went in, just before the cursor; from a text
    // put in whole (the cursor at its start) the end is taken off.
    connect(txtInstructions, &QPlainTextEdit::textChanged, this, [this] {
        const int over = static_cast<int>(txtInstructions->toPlainText().size()) - kNotesLength;
        if (over <= 0) return;
        QTextCursor cut = txtInstructions->textCursor();
        const int from = cut.position() >= over ? cut.position() - over : kNotesLength;
        cut.setPosition(from);
        cut.setPosition(from + over, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    });

    auto* whole = new QHBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->setSpacing(0);
    whole->addWidget(menu);
    whole->addWidget(data, 1);
    // The picture lies behind the menu column.
    menu->installEventFilter(this);
    Image1->lower();

    txtProNumber->installEventFilter(this);
    AdmitOnly(txtProNumber, QStringLiteral("0-9"));
    // Keys typed into the box arrive at the box itself, which hands them on to its line edit
    // past any filter there.
    cmbBillNbr->installEventFilter(this);
    for (QComboBox* party : {cmbShipper, cmbConsignee, cmbBillTo}) party->installEventFilter(this);
    connect(cmbBillNbr, qOverload<int>(&QComboBox::activated), this, [this] {
        if (!drawing_) RunHandler([this] { cmbBillNbr_Click(); });
    });
    connect(cmbBillNbr->lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (blWindow.BLAddingFlag) {
            // As the box keeps it, without a pasted line end.
            typedNumber_ = cmbBillNbr->currentText();
        } else if (!drawing_) {
            // Text that arrives without a key (pasted) cannot change the number shown.
            cmbBillNbr->setEditText(Q(values.strBillNbr));
        }
    });

    connect(mlblNew, &LabelButton::clicked, this, Guarded(this, &frmBL::mlblNew_Click));
    connect(mlblEdit, &LabelButton::clicked, this, Guarded(this, &frmBL::mlblEdit_Click));
    connect(mlblSave, &LabelButton::clicked, this, Guarded(this, &frmBL::mlblSave_Click));
    connect(mlblDelete, &LabelButton::clicked, this, Guarded(this, &frmBL::mlblDelete_Click));
    connect(mlblRate, &LabelButton::clicked, this, Guarded(this, &frmBL::mlblRate_Click));
    connect(mlblPrint, &LabelButton::clicked, this, Guarded(this, &frmBL::mlblPrint_Click));
    connect(mlblBLParties, &LabelButton::clicked, this, Guarded(this, &frmBL::mlblBLParties_Click));
    connect(mlblCommodities, &LabelButton::clicked, this,
            Guarded(this, &frmBL::mlblCommodities_Click));
    connect(mlblConfig, &LabelButton::clicked, this, Guarded(this, &frmBL::mlblConfig_Click));
    connect(mlblDone, &LabelButton::clicked, this, Guarded(this, &frmBL::mlblDone_Click));
    InstallWindowKeys(this, mlblDone);

    highlighter_ = new LabelHighlighter(this, kHiliteWhite);
    highlighter_->SetBackgroundPointer(kPointerArrow);
    highlighter_->WireLabels();
    highlighter_->AddBackground(Image1);
    highlighter_->AddBackground(menu);
    connect(highlighter_, &LabelHighlighter::backgroundEntered, this, [this](QWidget* where) {
        if (where == Image1 || where == menuColumn_)
            highlighter_->SetLastHiliteLabel(QStringLiteral("nothing"));
    });
    resize(760, 520);
}

bool frmBL::InEntryMode() const {
    return blWindow.BLAddingFlag || blWindow.BLEditingFlag;
}

void frmBL::Draw() {
    drawing_ = true;
    DrawCombo(cmbBillNbr, values.cmbBillNbr);
    DrawCombo(cmbShipper, values.cmbShipper);
    DrawCombo(cmbConsignee, values.cmbConsignee);
    DrawCombo(cmbBillTo, values.cmbBillTo);
    for (int row = 0; row < kBLLines; ++row) {
        DrawCombo(cmbItem[row], values.cmbItem[row]);
        txtQuantity[row]->setText(Q(values.txtQuantity[row]));
        txtweight[row]->setText(Q(values.txtweight[row]));
    }
    txtDate->setText(Q(values.txtDate));
    txtProNumber->setText(Q(values.txtProNumber));
    txtPONbr->setText(Q(values.txtPONbr));
    if (txtInstructions->toPlainText() != Q(values.txtInstructions))
        txtInstructions->setPlainText(Q(values.txtInstructions));

    cmbBillNbr->setEnabled(values.numberEnabled);
    for (QWidget* w : std::initializer_list<QWidget*>{
             txtDate, txtProNumber, txtPONbr, txtInstructions, cmbShipper, cmbConsignee, cmbBillTo})
        w->setEnabled(values.dataEnabled);
    for (int row = 0; row < kBLLines; ++row) {
        cmbItem[row]->setEnabled(values.dataEnabled);
        txtQuantity[row]->setEnabled(values.dataEnabled);
        txtweight[row]->setEnabled(values.dataEnabled);
    }
    // A box that cannot be edited shows no selection: one left from the entry would look like
    // text about to be replaced.
    if (!values.dataEnabled)
        for (QLineEdit* box : findChildren<QLineEdit*>())
            if (box != cmbBillNbr->lineEdit()) box->deselect();
    for (QLabel* h : {hdgNumber, hdgDate, hdgPRO, hdgPO, hdgShipper, hdgConsignee, hdgBillTo,
                      hdgItem, hdgQuant, hdgWeight, hdgNotes, hdgTools, hdgFunctions})
        h->setEnabled(values.headingsEnabled);
    for (QLabel* h : hdgItemRow) h->setEnabled(values.headingsEnabled);
    Image1->setEnabled(values.imageEnabled);

    const BLMenu& m = values.menu;
    mlblNew->setEnabled(m.mlblNew);
    mlblEdit->setEnabled(m.mlblEdit);
    mlblSave->setEnabled(m.mlblSave);
    mlblDelete->setEnabled(m.mlblDelete);
    mlblDelete->setText(Q(m.deleteCaption));
    mlblPrint->setEnabled(m.mlblPrint);
    mlblRate->setEnabled(m.mlblRate);
    mlblBLParties->setEnabled(m.mlblBLParties);
    mlblCommodities->setEnabled(m.mlblCommodities);
    mlblConfig->setEnabled(m.mlblConfig);
    mlblDone->setEnabled(m.mlblDone);
    drawing_ = false;
}

void frmBL::ReadEntries() {
    values.cmbBillNbr.text = S(cmbBillNbr->currentText());
    values.txtDate = S(txtDate->text());
    values.txtProNumber = S(txtProNumber->text());
    values.txtPONbr = S(txtPONbr->text());
    values.txtInstructions = S(txtInstructions->toPlainText());
    values.cmbShipper.text = S(cmbShipper->currentText());
    values.cmbConsignee.text = S(cmbConsignee->currentText());
    values.cmbBillTo.text = S(cmbBillTo->currentText());
    for (int row = 0; row < kBLLines; ++row) {
        values.cmbItem[row].text = S(cmbItem[row]->currentText());
        values.txtQuantity[row] = S(txtQuantity[row]->text());
        values.txtweight[row] = S(txtweight[row]->text());
    }
}

void frmBL::FocusField(BLField field) {
    QWidget* target = nullptr;
    int row = 0;
    bool weight = false;
    if (IsLineField(field, row, weight)) target = weight ? txtweight[row] : txtQuantity[row];
    switch (field) {
        case BLField::BillNbr:
            target = cmbBillNbr;
            break;
        case BLField::Date:
            target = txtDate;
            break;
        case BLField::ProNumber:
            target = txtProNumber;
            break;
        case BLField::Shipper:
            target = cmbShipper;
            break;
        case BLField::Consignee:
            target = cmbConsignee;
            break;
        case BLField::BillTo:
            target = cmbBillTo;
            break;
        case BLField::Item0:
            target = cmbItem[0];
            break;
        default:  // none, or a line's quantity or weight
            break;
    }
    if (target) target->setFocus(Qt::OtherFocusReason);
}

void frmBL::ShowFirstListed() {
    values.cmbBillNbr.Show(0);
    ShowBL(values, FindBLIdByNumber(values.cmbBillNbr.text));
}

bool frmBL::ShowAsStored(BLRecordId id) {
    BLForm fresh = values;
    fresh.cmbBillNbr.list.clear();
    FillBLNumbers(fresh);
    FillPartyLists(fresh);
    FillCommodityLists(fresh);
    const std::optional<BillRecord> bill = ReadBill(id);
    if (bill) {
        fresh.cmbBillNbr.text = bill->blNumber;
        ShowBL(fresh, id);
    } else {
        fresh.cmbBillNbr.Show(0);
        ShowBL(fresh, fresh.cmbBillNbr.text.empty() ? 0 : FindBLIdByNumber(fresh.cmbBillNbr.text));
    }
    values = fresh;
    return bill.has_value();
}

void frmBL::ShowChangedElsewhere(const BLChangedElsewhere& e, BLRecordId id) {
    ShowAsStored(id);  // when even that fails, the window stays in its mode with every entry
    blWindow.BLAddingFlag = blWindow.BLEditingFlag = false;
    values.menu.deleteCaption = "Delete";
    Draw();
    SayChangedElsewhere(e);
}

void frmBL::Form_Load() {
    GuardedHandler(QStringLiteral("The bills of lading could not be read."), [&] {
        LoadFormMouseIcon(this);
        blWindow.BLAddingFlag = blWindow.BLEditingFlag = false;
        values.Reset();
        typedNumber_.clear();
        FillPartyLists(values);
        FillCommodityLists(values);
        if (!AllBills().empty()) {
            FillBLNumbers(values);
            ShowFirstListed();
        } else {
            ShowBL(values, 0);
        }
        for (QFrame* line : {Line1, Line2, Line3}) ColourLine(line, kBLLineColor);
        highlighter_->SetLastHiliteLabel(QStringLiteral("nothing"));
    });
    Draw();
}

void frmBL::cmbBillNbr_Click() {
    const std::string picked = S(cmbBillNbr->currentText());
    ReadEntries();
    if (blWindow.BLAddingFlag) values.cmbBillNbr.text = S(typedNumber_);
    GuardedHandler(QStringLiteral("This bill of lading could not be shown."), [&] {
        if (blWindow.BLAddingFlag) {
            // A pick would throw away the bill being entered: ask first.
            ShowMessage(kAbandonAdding, kMsgQuestion, QStringLiteral("Confirm Abandon"));
            if (messages.gMsgAnswer != kMsgYes) return;
            blWindow.BLAddingFlag = false;
            values.menu.deleteCaption = "Delete";
        }
        values.cmbBillNbr.text = picked;
        ShowBL(values, FindBLIdByNumber(picked));
    });
    Draw();
    cmbBillNbr->setFocus();
}

void frmBL::txtQuantity_LostFocus(int row) {
    if (row < 0 || row >= kBLLines || !values.dataEnabled) return;
    GuardedHandler(QStringLiteral("The line weight could not be worked out."), [&] {
        const std::string quantity = S(txtQuantity[row]->text());
        const std::string item = S(cmbItem[row]->currentText());
        // A row still at its prompt has no commodity to weigh.
        if (quantity.empty() || Val(quantity) <= 0 || !HoldsChoice(item)) return;
        try {
            txtweight[row]->setText(QString::number(LineWeightFromUnits(item, quantity)));
        } catch (const BLRangeError& e) {
            ShowMessage(Q(e.what()), kMsgOK, QStringLiteral("Data entry error"));
        }
    });
}

void frmBL::txtweight_GotFocus(int row) {
    if (row < 0 || row >= kBLLines) return;
    SelectStartOnFocus(txtweight[row], static_cast<int>(txtweight[row]->text().trimmed().size()));
}

void frmBL::mlblNew_Click() {
    GuardedHandler(QStringLiteral("A new bill of lading could not be started."), [&] {
        SetBLEntryLayout(values, true);
        blWindow.BLAddingFlag = true;
        ClearBLForm(values);
        values.cmbBillNbr.text.clear();
        typedNumber_.clear();
        values.txtDate = TodayAsBLDate();
        values.txtProNumber.clear();
    });
    Draw();
    cmbBillNbr->setFocus();
}

void frmBL::mlblEdit_Click() {
    if (values.shownId == 0) return;
    bool onFile = false;
    GuardedHandler(QStringLiteral("The bill of lading could not be read."), [&] {
        // The edit starts from what is stored now, whatever another program stored since the
        // bill was shown.
        onFile = ShowAsStored(values.shownId);
        if (!onFile)
            SayChangedElsewhere(
                BLChangedElsewhere(ChangedElsewhereText("bill of lading", true) + ".", true));
    });
    if (onFile) {
        SetBLEntryLayout(values, false);
        blWindow.BLEditingFlag = true;
    }
    Draw();
}

void frmBL::mlblSave_Click() {
    if (!InEntryMode()) return;
    ReadEntries();
    const uint8_t editing = blWindow.BLAddingFlag ? 0 : 1;
    bool saved = false;
    BLField focus = BLField::None;
    GuardedHandler(QStringLiteral("The bill of lading was not saved; nothing was written."), [&] {
        if (!ValidateBL(values, editing, focus)) return;
        // On a failure the window keeps its mode and every entry.
        BLForm attempt = values;
        BLRecordId id = 0;
        try {
            id = SaveBL(attempt, editing);
        } catch (const BLChangedElsewhere& e) {
            ShowChangedElsewhere(e, values.shownId);
            focus = BLField::BillNbr;
            return;
        }
        values = attempt;
        values.menu.deleteCaption = "Delete";
        ShowBL(values, id);
        blWindow.BLAddingFlag = blWindow.BLEditingFlag = false;
        saved = true;
    });
    if (!saved) {
        FocusField(focus);
        return;
    }
    Draw();
    cmbBillNbr->setFocus();
}

bool frmBL::Abandon() {
    ReadEntries();
    const bool adding = blWindow.BLAddingFlag;
    ShowMessage(adding ? kAbandonAdding : kAbandonEditing, kMsgQuestion,
                QStringLiteral("Confirm Abandon"));
    if (messages.gMsgAnswer != kMsgYes) return false;
    // When the stored bill cannot be read, the window stays in its mode with every entry,
    // rather than in browse mode with boxes half filled.
    const BLForm before = values;
    bool shown = false;
    GuardedHandler(QStringLiteral("The bill of lading could not be shown again."), [&] {
        values.menu.deleteCaption = "Delete";
        if (adding) {
            blWindow.BLAddingFlag = false;
            values.dataEnabled = false;
            values.imageEnabled = false;
            if (!AllBills().empty())
                ShowFirstListed();
            else
                ShowBL(values, 0);
        } else {
            blWindow.BLEditingFlag = false;
            ShowBL(values, values.shownId);
        }
        shown = true;
    });
    if (!shown) {
        values = before;
        (adding ? blWindow.BLAddingFlag : blWindow.BLEditingFlag) = true;
    }
    Draw();
    cmbBillNbr->setFocus();
    return shown;
}

void frmBL::mlblDelete_Click() {
    if (InEntryMode()) {
        Abandon();
        return;
    }
    if (values.shownId == 0) return;
    ShowMessage(QStringLiteral("Are you sure you want to delete this Bill of Lading?"),
                kMsgQuestion, QStringLiteral("Confirm Delete"));
    if (messages.gMsgAnswer != kMsgYes) return;
    SetMousePointer(this, kPointerHourglass);
    GuardedHandler(QStringLiteral("The bill of lading was not deleted; nothing was changed."), [&] {
        BLForm attempt = values;
        try {
            DeleteBL(attempt, values.shownId);
        } catch (const BLChangedElsewhere& e) {
            ShowChangedElsewhere(e, values.shownId);
            return;
        }
        values = attempt;
        values.menu.deleteCaption = "Delete";
        values.dataEnabled = false;
        values.headingsEnabled = values.imageEnabled = false;
        if (!AllBills().empty())
            ShowFirstListed();
        else
            ShowBL(values, 0);
    });
    Draw();
    cmbBillNbr->setFocus();
    SetMousePointer(this, kPointerArrow);
}

void frmBL::mlblRate_Click() {
    ReadEntries();
    const BLRatePrintHooks& hooks = GetBLRatePrintHooks();
    if (!hooks.RateBL) {
        ShowMessage(QStringLiteral("Rating a bill of lading is not part of this build of Fretlyn."),
                    kMsgOK, QStringLiteral("Rate"));
        return;
    }
    GuardedHandler(QStringLiteral("The bill of lading could not be rated."), [&] {
        blWindow.BLPrinting = false;
        // A bill that could not be rated leaves the user at its number.
        if (!hooks.RateBL(ShownBillNumber(), 0)) cmbBillNbr->setFocus();
    });
}

// Rate and Print act on the bill shown, whatever text the number box has come to hold since
// (a paste needs no key press).
std::string frmBL::ShownBillNumber() const {
    if (values.shownId != 0)
        if (std::optional<BillRecord> bill = ReadBill(values.shownId)) return bill->blNumber;
    return values.strBillNbr;
}

void frmBL::mlblPrint_Click() {
    ReadEntries();
    const BLRatePrintHooks& hooks = GetBLRatePrintHooks();
    if (!hooks.PrintBL) {
        ShowMessage(
            QStringLiteral("Printing a bill of lading is not part of this build of Fretlyn."),
            kMsgOK, QStringLiteral("Print"));
        return;
    }
    GuardedHandler(QStringLiteral("The bill of lading could not be printed."),
                   [&] { PrintBLCopies(ShownBillNumber()); });
}

void frmBL::mlblBLParties_Click() {
    connect(BLPartiesWindow(), &BLCatalogWindow::ListChanged, this, &frmBL::RefillPartiesAndShow,
            Qt::UniqueConnection);
    ShowBLPartiesWindow();
}
void frmBL::mlblCommodities_Click() {
    connect(CommoditiesWindow(), &BLCatalogWindow::ListChanged, this,
            &frmBL::RefillCommoditiesAndShow, Qt::UniqueConnection);
    ShowCommoditiesWindow();
}
void frmBL::mlblConfig_Click() {
    ShowBLConfigWindow();
}

void frmBL::mlblDone_Click() {
    if (InEntryMode()) return;
    accept();
}

void frmBL::reject() {
    if (InEntryMode() && !Abandon()) return;
    QDialog::reject();
}

void frmBL::RefillPartiesAndShow() {
    GuardedHandler(QStringLiteral("The parties could not be read."), [&] {
        FillPartyLists(values);
        ShowBL(values, FindBLIdByNumber(values.cmbBillNbr.text));
    });
    Draw();
}

void frmBL::RefillCommoditiesAndShow() {
    GuardedHandler(QStringLiteral("The commodities could not be read."), [&] {
        FillCommodityLists(values);
        ShowBL(values, FindBLIdByNumber(values.cmbBillNbr.text));
    });
    Draw();
}

bool frmBL::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == cmbBillNbr) {
            if (!blWindow.BLAddingFlag &&
                (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                 key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown) &&
                !(key->modifiers() & Qt::AltModifier))
                return true;  // stepping through the list would show one number, another bill
            if (blWindow.BLAddingFlag || !IsTypedKey(key) || IsEditingShortcut(key)) return false;
            ShowMessage(QStringLiteral("You cannot change a B/L number.  Add a new") +
                            QStringLiteral("B/L instead."),
                        kMsgOK, QStringLiteral("Error"));
            cmbBillNbr->setEditText(QString());
            cmbBillNbr->setEditText(Q(values.strBillNbr));
            return true;
        }
        if (watched == txtProNumber) return DropsNonDigitKey(event, true);
        // A key typed over a party box's prompt replaces the prompt rather than adding to it.
        for (auto [box, prompt] :
             {std::pair{cmbShipper, kPromptShipper}, std::pair{cmbConsignee, kPromptConsignee},
              std::pair{cmbBillTo, kPromptBillTo}}) {
            if (watched == box && box->currentText() == QLatin1String(prompt) && IsTypedKey(key) &&
                !IsEditingShortcut(key))
                box->lineEdit()->clear();
        }
        for (int row = 0; row < kBLLines; ++row)
            if (watched == txtQuantity[row] || watched == txtweight[row])
                return DropsNonDigitKey(event, false);
    } else if (event->type() == QEvent::FocusOut) {
        for (int row = 0; row < kBLLines; ++row)
            if (watched == txtQuantity[row]) txtQuantity_LostFocus(row);
    } else if (event->type() == QEvent::FocusIn) {
        for (int row = 0; row < kBLLines; ++row)
            if (watched == txtweight[row]) txtweight_GotFocus(row);
    } else if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) &&
               watched == menuColumn_) {
        Image1->setGeometry(menuColumn_->geometry());
        Image1->lower();
    }
    return QDialog::eventFilter(watched, event);
}

frmBL* BLWindow() {
    return HeldWindow<frmBL>::Get();
}

frmBL* LoadedBLWindow() {
    return HeldWindow<frmBL>::Slot().get();
}

void ShowBLWindow() {
    HeldWindow<frmBL>::Show();
}

void DestroyBLWindow() {
    HeldWindow<frmBL>::Destroy();
}
