#pragma once
// The full discount editor: for each shipping location and each of its regions the inbound and
// outbound discount and floor, the region map where states move between regions, new regions,
// and the weight-break and FAK editors of a row or region. The steps are fulldiscounts.h.

#include <QDialog>
#include <array>

#include "fulldiscounts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class LabelButton;
class LabelHighlighter;
class RegionMapWidget;

class frmDiscounts : public QDialog {
    Q_OBJECT
  public:
    explicit frmDiscounts(QWidget* parent = nullptr);

    // Rebuilds the window from the store on every showing: first location, region 1.
    void Form_Activate();
    // The user's pick of "ALL" asks for the simple editor; the opener shows it.
    bool WantsSimpleEditor() const { return wantsSimple_; }
    void ClearSimpleEditorRequest() { wantsSimple_ = false; }

    const FullDiscountValues& Values() const { return values_; }
    QLineEdit* Box(FullBox box) const { return boxes_[static_cast<size_t>(box)]; }

    // --- controls
    QLabel* lblShipLoc;
    QComboBox* cboShipLoc;
    QLabel* lblZIPZone;
    QComboBox* imgcboRegions;
    QLabel* Label2;
    QLineEdit* txtShipments;
    QLineEdit* txtDiscount;
    QLineEdit* txtABSMC;
    QLineEdit* txtMC;
    QLabel* lblIBZone;
    QLineEdit* txtIBDisc;
    QLineEdit* txtIBFloor;
    QLabel* lblOBZone;
    QLineEdit* txtOBDisc;
    QLineEdit* txtOBFloor;
    QLabel* imgTieredIB;
    QLabel* imgTieredOB;
    RegionMapWidget* Rose1;
    LabelButton* lblFAKs;
    LabelButton* lblCreateNewRegion;
    LabelButton* lblExit;

  public slots:
    void cboShipLoc_Click();
    void imgcboRegions_Click(int index);
    void lblCreateNewRegion_Click();
    void lblFAKs_Click();
    void lblExit_Click();
    void Rose1_Click(const QString& name, const QString& other);
    void Box_DblClick(FullBox box);
    void Box_GotFocus(FullBox box);
    void Box_LostFocus(FullBox box);
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void NewShipLoc();
    void FillRegionCombo(const std::string& location, bool newRegion);
    void SelectRegionItem(int region);
    void DrawRegionMap();
    void ShowValues();
    // The leave processing of the box that has the focus, before any command: false when the
    // entry was refused, and the command then does not run.
    bool LeaveFocusedBox();
    void RestoreAfterBreaks();
    void Report(const std::exception& e);

    FullDiscountValues values_;
    std::array<QLineEdit*, 4> boxes_{};
    int focusedBox_ = -1;   // the box that has the focus, -1 for none
    bool refused_ = false;  // the last leave was refused and the focus sent back
    bool wantsSimple_ = false;
    LabelHighlighter* highlighter_;
};

// The one editor of the run, created on first use.
frmDiscounts& DiscountsWindow();
// Destroys it; tests start afresh.
void UnloadDiscountsWindow();
// Shows the editor modally; a pick of "ALL" goes on to the simple editor, whose Back comes back
// here on the first location.
void ShowDiscountsWindow();
