#pragma once
// What the commodity catalogue and the party address book have in common: a name box that
// chooses the record shown, the command cycle New / Edit / Save / Delete (Abandon while adding
// or editing) / Done, and the refusal to delete a record a stored bill still uses. Each window
// adds its own entry boxes and says how to show, check, store and delete its records.

#include <QDialog>
#include <string>
#include <vector>

#include "blcatalog.h"
#include "blrecords.h"

class LabelButton;
class LabelHighlighter;
class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class BLChangedElsewhere;

class BLCatalogWindow : public QDialog {
    Q_OBJECT
  public:
    QComboBox* cmbName;
    LabelButton *mlblNew, *mlblEdit, *mlblSave, *mlblDelete, *mlblDone;
    QLabel* mlblFunctions;
    QLabel* Image1;
    QFrame *Line1, *Line3;

    bool boolEditing = false;
    bool boolAdding = false;

    // The id of the record shown; 0 when none is.
    BLRecordId ShownId() const { return shownId_; }

  signals:
    // The window closed: its list may have changed, so whoever shows the records (the bill
    // window) reads them again.
    void ListChanged();

  public slots:
    void Form_Load();
    void cmbName_Click();
    void mlblNew_Click();
    void mlblEdit_Click();
    void mlblSave_Click();
    void mlblDelete_Click();
    void mlblDone_Click();

  protected:
    struct Wording {
        QString newCaption;     // "New Commodity"
        QString nameKeyTarget;  // "to enter a commodity description."
        QString noun;           // "commodity"
    };
    BLCatalogWindow(const char* name, const QString& caption, const Wording& wording,
                    QWidget* parent);
    ~BLCatalogWindow() override;

    // The grid the entry boxes go in, beside the name box (row 0).
    QGridLayout* EntryGrid() const { return entries_; }
    // Call when the window's own boxes are in place.
    void FinishLayout();

    virtual std::vector<std::string> Names() = 0;
    virtual BLRecordId FindId(const std::string& name) = 0;
    virtual void ClearEntries() = 0;
    // Fills the entry boxes from the stored record; false when it is not on file.
    virtual bool ShowEntries(BLRecordId id) = 0;
    virtual void SetEntriesEnabled(bool enabled) = 0;
    // The record the boxes hold, with the name box's text.
    virtual std::optional<EntryFailure> Check(BLRecordId editingId) = 0;
    // Editing stores only while the record is as ShowEntries last read it (BLChangedElsewhere).
    virtual BLRecordId Store(bool editing, BLRecordId id) = 0;
    virtual void FocusField(CatalogField field) = 0;
    virtual bool ConfirmDelete() = 0;
    virtual std::string UsedBy(BLRecordId id) = 0;
    virtual void RefuseDelete(const QString& name, const QString& usedBy) = 0;
    // Deletes only while the record is as ShowEntries last read it (BLChangedElsewhere).
    virtual void Erase(BLRecordId id) = 0;
    // After Save, Delete or Abandon: what goes grey until the window is opened again.
    virtual void LockCaptions() {}
    virtual void UnlockCaptions() {}

    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FillNames();
    // Shows the stored record (its name into the name box) with the browse menu.
    void ShowRecord(BLRecordId id);
    void ShowFirst();
    // The names and the record read again as stored now; the first listed record when that
    // one is no longer on file. True when it is.
    bool ShowAsStored(BLRecordId id);
    // Another program changed or deleted the record: the window leaves its mode, shows the
    // record as stored and says so.
    void ShowChangedElsewhere(const BLChangedElsewhere& e, BLRecordId id);
    bool Abandon();
    void LeaveEntryMode();
    bool InEntryMode() const { return boolAdding || boolEditing; }

    Wording wording_;
    QGridLayout* entries_;
    LabelHighlighter* highlighter_;
    QWidget* menuColumn_;
    BLRecordId shownId_ = 0;
    QString typedName_;
    bool drawing_ = false;
    // The Abandon question is up. The name box loses the focus to it, and the list reads that
    // as a pick of the name the box then holds: no second question over the first.
    bool asking_ = false;
};
