#include "blcatalogwindow.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QVBoxLayout>

#include "blstore.h"
#include "blwidgets.h"
#include "handcursor.h"
#include "labelbutton.h"
#include "labels.h"
#include "messagebox.h"
#include "msgbox.h"
#include "windowkeys.h"

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

BLCatalogWindow::BLCatalogWindow(const char* name, const QString& caption, const Wording& wording,
                                 QWidget* parent)
    : QDialog(parent), wording_(wording) {
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    setModal(true);

    Image1 = MakeMenuPicture(this);
    menuColumn_ = new QWidget(this);
    auto* menu = new QVBoxLayout(menuColumn_);
    menu->setContentsMargins(14, 14, 14, 14);
    menu->setSpacing(6);
    mlblFunctions = MakeColumnHeading(menuColumn_, "mlblFunctions", QStringLiteral("Functions"));
    mlblNew = MakeMenuLabel(menuColumn_, "mlblNew", wording.newCaption);
    mlblEdit = MakeMenuLabel(menuColumn_, "mlblEdit", QStringLiteral("Edit"));
    mlblSave = MakeMenuLabel(menuColumn_, "mlblSave", QStringLiteral("Save"));
    mlblDelete = MakeMenuLabel(menuColumn_, "mlblDelete", QStringLiteral("Delete"));
    Line1 = MakeLine(menuColumn_, "Line1");
    Line3 = MakeLine(menuColumn_, "Line3");
    mlblDone = MakeMenuLabel(menuColumn_, "mlblDone", QStringLiteral("Done"));
    for (QWidget* w : std::initializer_list<QWidget*>{mlblFunctions, Line1, mlblNew, mlblEdit,
                                                      mlblSave, mlblDelete})
        menu->addWidget(w);
    menu->addStretch(1);
    menu->addWidget(Line3);
    menu->addWidget(mlblDone);
    menuColumn_->installEventFilter(this);

    auto* data = new QWidget(this);
    // The captions beside the boxes are the window's labels, which the pointer's moves turn
    // black: they need a ground of the window's own, not the desktop's, which may be dark.
    // Disabled, they are a grey that still reads on it.
    SetBackgroundColor(data, Qt::white);
    QPalette ground = data->palette();
    ground.setColor(QPalette::Disabled, QPalette::WindowText, QColor(118, 118, 118));
    data->setPalette(ground);
    entries_ = new QGridLayout(data);
    entries_->setContentsMargins(16, 16, 16, 16);
    entries_->setHorizontalSpacing(10);
    entries_->setVerticalSpacing(8);
    cmbName = new QComboBox(data);
    cmbName->setObjectName(QStringLiteral("cmbName"));
    cmbName->setEditable(true);
    cmbName->setInsertPolicy(QComboBox::NoInsert);
    // A new name stays as typed: completed, it would be the name of one already kept.
    cmbName->setCompleter(nullptr);
    KeepToOneLine(cmbName->lineEdit());
    cmbName->setMinimumWidth(260);
    // Keys typed into the box arrive at the box itself, which hands them on to its line edit
    // past any filter there.
    cmbName->installEventFilter(this);

    auto* whole = new QHBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->setSpacing(0);
    whole->addWidget(menuColumn_);
    whole->addWidget(data, 1);

    connect(cmbName, qOverload<int>(&QComboBox::activated), this, [this] {
        if (!drawing_ && !asking_) RunHandler([this] { cmbName_Click(); });
    });
    connect(cmbName->lineEdit(), &QLineEdit::textEdited, this, [this] {
        // As the box keeps it, without a pasted line end.
        if (InEntryMode()) typedName_ = cmbName->currentText();
    });
    connect(mlblNew, &LabelButton::clicked, this, Guarded(this, &BLCatalogWindow::mlblNew_Click));
    connect(mlblEdit, &LabelButton::clicked, this, Guarded(this, &BLCatalogWindow::mlblEdit_Click));
    connect(mlblSave, &LabelButton::clicked, this, Guarded(this, &BLCatalogWindow::mlblSave_Click));
    connect(mlblDelete, &LabelButton::clicked, this,
            Guarded(this, &BLCatalogWindow::mlblDelete_Click));
    connect(mlblDone, &LabelButton::clicked, this, Guarded(this, &BLCatalogWindow::mlblDone_Click));
    InstallWindowKeys(this, mlblDone);
}

void BLCatalogWindow::FinishLayout() {
    highlighter_ = new LabelHighlighter(this, kHiliteWhite);
    highlighter_->SetBackgroundPointer(kPointerArrow);
    highlighter_->WireLabels();
    highlighter_->AddBackground(menuColumn_);
    Image1->lower();
}

void BLCatalogWindow::FillNames() {
    drawing_ = true;
    const QString text = cmbName->currentText();
    cmbName->clear();
    for (const std::string& n : Names()) cmbName->addItem(Q(n));
    cmbName->setCurrentIndex(-1);
    cmbName->setEditText(text);
    drawing_ = false;
}

void BLCatalogWindow::ShowRecord(BLRecordId id) {
    ClearEntries();
    shownId_ = 0;
    if (id != 0 && ShowEntries(id)) {
        shownId_ = id;
        // The list's entry follows the name shown: a box whose text names an entry other than
        // its current one takes that entry as a pick when the focus leaves it, which would
        // ask to abandon the edit the user has only just begun.
        drawing_ = true;
        const QString name = cmbName->currentText();
        cmbName->setCurrentIndex(cmbName->findText(name, Qt::MatchExactly));
        cmbName->setEditText(name);
        drawing_ = false;
    }
    mlblEdit->setEnabled(shownId_ != 0);
    mlblDelete->setEnabled(shownId_ != 0);
    SetEntriesEnabled(false);
    mlblNew->setEnabled(true);
    mlblDone->setEnabled(true);
    mlblSave->setEnabled(false);
    cmbName->setEnabled(true);
}

void BLCatalogWindow::ShowFirst() {
    drawing_ = true;
    cmbName->setCurrentIndex(cmbName->count() > 0 ? 0 : -1);
    cmbName->setEditText(cmbName->count() > 0 ? cmbName->itemText(0) : QString());
    drawing_ = false;
    ShowRecord(cmbName->count() > 0 ? FindId(cmbName->itemText(0).toStdString()) : 0);
}

bool BLCatalogWindow::ShowAsStored(BLRecordId id) {
    FillNames();
    ShowRecord(id);
    if (shownId_ != 0) return true;
    ShowFirst();
    return false;
}

void BLCatalogWindow::ShowChangedElsewhere(const BLChangedElsewhere& e, BLRecordId id) {
    ShowAsStored(id);
    boolAdding = boolEditing = false;
    LeaveEntryMode();
    SayChangedElsewhere(e);
    cmbName->setFocus();
}

void BLCatalogWindow::Form_Load() {
    LoadFormMouseIcon(this);
    boolEditing = boolAdding = false;
    typedName_.clear();
    UnlockCaptions();
    mlblDelete->setText(QStringLiteral("Delete"));
    GuardedHandler(QStringLiteral("The list could not be read."), [&] {
        cmbName->setEditText(QString());
        FillNames();
        ShowFirst();
    });
    for (QFrame* line : {Line1, Line3}) ColourLine(line, kBLLineColor);
}

void BLCatalogWindow::cmbName_Click() {
    const QString picked = cmbName->currentText();
    if (InEntryMode()) {
        // A pick would throw away what is being entered: ask first.
        drawing_ = true;
        cmbName->setEditText(typedName_);
        drawing_ = false;
        if (!Abandon()) return;
        drawing_ = true;
        cmbName->setEditText(picked);
        drawing_ = false;
    }
    GuardedHandler(QStringLiteral("This record could not be shown."),
                   [&] { ShowRecord(FindId(picked.toStdString())); });
    cmbName->setFocus();
}

void BLCatalogWindow::mlblNew_Click() {
    SetEntriesEnabled(true);
    cmbName->setEnabled(true);
    mlblEdit->setEnabled(false);
    mlblNew->setEnabled(false);
    mlblDelete->setText(QStringLiteral("Abandon"));
    mlblDelete->setEnabled(true);
    mlblSave->setEnabled(true);
    mlblDone->setEnabled(false);
    boolAdding = true;
    ClearEntries();
    cmbName->setEditText(QString());
    typedName_.clear();
    cmbName->setFocus();
}

void BLCatalogWindow::mlblEdit_Click() {
    if (shownId_ == 0) return;
    bool onFile = false;
    GuardedHandler(QStringLiteral("The record could not be read."), [&] {
        // The edit starts from what is stored now, whatever another program stored since the
        // record was shown.
        onFile = ShowAsStored(shownId_);
        if (!onFile)
            SayChangedElsewhere(BLChangedElsewhere(
                ChangedElsewhereText(wording_.noun.toStdString(), true) + ".", true));
    });
    if (!onFile) return;
    SetEntriesEnabled(true);
    cmbName->setEnabled(true);
    mlblEdit->setEnabled(false);
    mlblNew->setEnabled(false);
    mlblDelete->setText(QStringLiteral("Abandon"));
    mlblDone->setEnabled(false);
    mlblSave->setEnabled(true);
    boolEditing = true;
    typedName_ = cmbName->currentText();
}

void BLCatalogWindow::LeaveEntryMode() {
    mlblDelete->setText(QStringLiteral("Delete"));
    SetEntriesEnabled(false);
    LockCaptions();
}

void BLCatalogWindow::mlblSave_Click() {
    if (!InEntryMode()) return;
    const bool editing = !boolAdding;
    GuardedHandler(QStringLiteral("The record was not saved; nothing was written."), [&] {
        if (std::optional<EntryFailure> failure = Check(editing ? shownId_ : 0)) {
            ShowMessage(Q(failure->text), kMsgOK, Q(failure->title));
            FocusField(failure->field);
            return;
        }
        BLRecordId id = 0;
        try {
            id = Store(editing, shownId_);
        } catch (const BLChangedElsewhere& e) {
            ShowChangedElsewhere(e, shownId_);
            return;
        }
        LeaveEntryMode();
        // The list is read again, so a changed name replaces the old one. The record just
        // saved stays shown, a new one too: Edit then opens what the user has just typed, not
        // another record that happens to come first in the list.
        FillNames();
        ShowRecord(id);
        boolAdding = boolEditing = false;
        cmbName->setFocus();
    });
}

bool BLCatalogWindow::Abandon() {
    const bool adding = boolAdding;
    asking_ = true;
    ShowMessage(adding ? QStringLiteral("Are you sure you want to cancel adding this record?")
                       : QStringLiteral("Are you sure you want to cancel editing this record?"),
                kMsgQuestion, QStringLiteral("Confirm Abandon"));
    asking_ = false;
    if (messages.gMsgAnswer != kMsgYes) return false;
    boolAdding = boolEditing = false;
    LeaveEntryMode();
    GuardedHandler(QStringLiteral("The record could not be shown again."), [&] {
        if (adding) {
            ShowFirst();
        } else {
            // The record as stored, under its stored name, whatever was typed over it.
            const BLRecordId id = shownId_;
            ShowRecord(id);
        }
    });
    cmbName->setFocus();
    return true;
}

void BLCatalogWindow::mlblDelete_Click() {
    if (InEntryMode()) {
        Abandon();
        return;
    }
    if (shownId_ == 0 || !ConfirmDelete()) return;
    SetMousePointer(this, kPointerHourglass);
    GuardedHandler(QStringLiteral("The record was not deleted."), [&] {
        const std::string usedBy = UsedBy(shownId_);
        if (usedBy != "OK") {
            RefuseDelete(cmbName->currentText(), Q(usedBy));
            return;
        }
        try {
            Erase(shownId_);
        } catch (const BLChangedElsewhere& e) {
            ShowChangedElsewhere(e, shownId_);
            return;
        }
        LeaveEntryMode();
        FillNames();
        ShowFirst();
        cmbName->setFocus();
    });
    SetMousePointer(this, kPointerArrow);
}

BLCatalogWindow::~BLCatalogWindow() {
    // A window closed while it is shown hides on its way out, which takes the focus from the
    // name box; the box then reports a pick of its text, which must not reach a window whose
    // own part is already gone.
    cmbName->disconnect(this);
    cmbName->lineEdit()->disconnect(this);
}

void BLCatalogWindow::mlblDone_Click() {
    if (InEntryMode()) return;
    accept();
    emit ListChanged();
}

void BLCatalogWindow::reject() {
    if (InEntryMode() && !Abandon()) return;
    QDialog::reject();
    emit ListChanged();
}

bool BLCatalogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == cmbName && !InEntryMode()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) return true;
        if (!IsTypedKey(key) || text == QLatin1String("\b") || text == QLatin1String("\r"))
            return false;
        PlatformMessageBox(QStringLiteral("Click the New or Edit button\n(as applicable) before "
                                          "trying\n") +
                               wording_.nameKeyTarget,
                           kMbExclamation, QStringLiteral("Error"));
        return true;
    }
    if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) &&
        watched == menuColumn_) {
        Image1->setGeometry(menuColumn_->geometry());
        Image1->lower();
    }
    return QDialog::eventFilter(watched, event);
}
