#pragma once
// The address book of bill-of-lading parties: name, address, city, ZIP or postal code with its
// state or province, and the roles the party may take on a bill.

#include "blcatalogwindow.h"

class QCheckBox;
class QLineEdit;

class frmBLParties : public BLCatalogWindow {
    Q_OBJECT
  public:
    explicit frmBLParties(QWidget* parent = nullptr);

    QLabel *lblName, *lblAddress, *lblCity, *lblZip, *lblState1, *Label1;
    QLineEdit* txtAddress;
    QLineEdit* txtCity;
    QLineEdit* txtZip;
    QLabel* lblState;  // set by the ZIP check and by showing a party; never typed
    QCheckBox *chkShipper, *chkConsignee, *chkBillTo;
    bool boolShipper = false, boolConsignee = false, boolBillTo = false;

    // The entries as a record: the name box's text, the ZIP trimmed (a postal code in
    // capitals) and the roles summed.
    PartyRecord Entries() const;

  public slots:
    // The ZIP or postal code check when the box loses the focus.
    void txtZip_LostFocus();

  protected:
    std::vector<std::string> Names() override;
    BLRecordId FindId(const std::string& name) override;
    void ClearEntries() override;
    bool ShowEntries(BLRecordId id) override;
    void SetEntriesEnabled(bool enabled) override;
    std::optional<EntryFailure> Check(BLRecordId editingId) override;
    BLRecordId Store(bool editing, BLRecordId id) override;
    void FocusField(CatalogField field) override;
    bool ConfirmDelete() override;
    std::string UsedBy(BLRecordId id) override;
    void RefuseDelete(const QString& name, const QString& usedBy) override;
    void Erase(BLRecordId id) override;
    void LockCaptions() override;
    void UnlockCaptions() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SetRoles(int role);
    bool checkingZip_ = false;
    std::optional<PartyRecord> shown_;  // the party as last read to be shown
};

frmBLParties* BLPartiesWindow();
void ShowBLPartiesWindow();
void DestroyBLPartiesWindow();
