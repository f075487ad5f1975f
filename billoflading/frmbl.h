#pragma once
// The bill-of-lading window: one stored bill at a time, chosen by its number; New, Edit, Save,
// Delete (Abandon while adding or editing), Rate and Print, and the party, commodity and
// settings windows. Its values live in `values` (blform.h); the widgets show them.

#include <QDialog>
#include <array>

#include "blchecks.h"
#include "blform.h"

class LabelButton;
class LabelHighlighter;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class BLChangedElsewhere;

class frmBL : public QDialog {
    Q_OBJECT
  public:
    explicit frmBL(QWidget* parent = nullptr);

    QComboBox* cmbBillNbr;
    QLineEdit* txtDate;
    QLineEdit* txtProNumber;
    QLineEdit* txtPONbr;
    QComboBox* cmbShipper;
    QComboBox* cmbConsignee;
    QComboBox* cmbBillTo;
    std::array<QComboBox*, kBLLines> cmbItem;
    std::array<QLineEdit*, kBLLines> txtQuantity;
    std::array<QLineEdit*, kBLLines> txtweight;
    QPlainTextEdit* txtInstructions;

    QLabel *hdgNumber, *hdgDate, *hdgPRO, *hdgPO, *hdgShipper, *hdgConsignee, *hdgBillTo, *hdgItem,
        *hdgQuant, *hdgWeight, *hdgNotes, *hdgTools, *hdgFunctions;
    std::array<QLabel*, kBLLines> hdgItemRow;  // "1." to "5."
    LabelButton *mlblBLParties, *mlblCommodities, *mlblConfig, *mlblRate, *mlblPrint, *mlblNew,
        *mlblEdit, *mlblSave, *mlblDelete, *mlblDone;
    QFrame *Line1, *Line2, *Line3;
    QLabel* Image1;

    BLForm values;

    // The party or commodity lists filled again from the tables, and the bill in the number
    // box shown again: what the party and commodity windows do when they close.
    void RefillPartiesAndShow();
    void RefillCommoditiesAndShow();

  public slots:
    void Form_Load();
    void cmbBillNbr_Click();
    void txtQuantity_LostFocus(int row);
    void txtweight_GotFocus(int row);
    void mlblNew_Click();
    void mlblEdit_Click();
    void mlblSave_Click();
    void mlblDelete_Click();
    void mlblRate_Click();
    void mlblPrint_Click();
    void mlblBLParties_Click();
    void mlblCommodities_Click();
    void mlblConfig_Click();
    void mlblDone_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape and the title bar's close: while adding or editing, the Abandon question first.
    void reject() override;

  private:
    void Draw();
    void ReadEntries();
    std::string ShownBillNumber() const;
    void FocusField(BLField field);
    void ShowFirstListed();
    // The lists and the bill read again as stored now, in browse mode; the first listed bill
    // when that one is no longer on file. True when it is. On a failure the window stays as
    // it was.
    bool ShowAsStored(BLRecordId id);
    // Another program changed or deleted the bill: the window leaves its mode, shows the bill
    // as stored and says so.
    void ShowChangedElsewhere(const BLChangedElsewhere& e, BLRecordId id);
    // Asks the Abandon question of the current mode; on Yes leaves the mode. False when the
    // mode stays: the answer No, or a bill that could not be read to be shown again.
    bool Abandon();
    bool InEntryMode() const;

    LabelHighlighter* highlighter_;
    QWidget* menuColumn_;  // the menu labels, over Image1
    QString typedNumber_;  // what the user typed into the number box while adding
    bool drawing_ = false;
};

// The window, created on first use and held for the run.
frmBL* BLWindow();
// The window when it has been created, else null.
frmBL* LoadedBLWindow();
// Loads the window and shows it modally; returns when it closes.
void ShowBLWindow();
// Destroys the held window (tests).
void DestroyBLWindow();
