#pragma once
// The commodity catalogue: description, NMFC number, weight of one piece, class and the
// hazardous-material mark of each commodity a bill's lines name.

#include "blcatalogwindow.h"

class QCheckBox;
class QLineEdit;

class frmCommodities : public BLCatalogWindow {
    Q_OBJECT
  public:
    explicit frmCommodities(QWidget* parent = nullptr);

    QLabel *lblName, *lblAddress, *lblCity, *lblclass;
    QLineEdit* txtNMFC;
    QLineEdit* txtweight;
    QComboBox* cmbCommClass;
    QCheckBox* chkHazMat;

    // The entries as a record (the name box's text as the description).
    CommodityRecord Entries() const;

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
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<CommodityRecord> shown_;  // the commodity as last read to be shown
};

frmCommodities* CommoditiesWindow();
// Loads the window and shows it modally.
void ShowCommoditiesWindow();
void DestroyCommoditiesWindow();
