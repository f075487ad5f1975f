#pragma once
// The full FAK window: the inbound and outbound FAK profiles of one shipping location and
// region (gShipLoc, gRegion), the inbound pair above the outbound one, on the region's colour.

#include <QDialog>
#include <array>

#include "fakprofiles.h"

class QLabel;
class QLineEdit;
class QPushButton;
class ClassRow;

class frmFAK : public QDialog {
    Q_OBJECT
  public:
    explicit frmFAK(QWidget* parent = nullptr);

    // Fills both pairs for gShipLoc and gRegion; false (message shown) when it cannot.
    bool Form_Activate();
    // By direction: 1 inbound, 0 outbound.
    const FAKPair& Pair(int ibob) const { return pairs_[static_cast<size_t>(ibob)]; }

    QLabel* lblFAKTitle;
    QLabel* Label2;    // "Inbound"
    QLabel* Label3;    // "Outbound"
    QLineEdit* Text1;  // inbound "Actual Class": a click resets the inbound profile
    QLineEdit* Text2;
    QLineEdit* Text4;  // outbound "Actual Class": a click resets the outbound profile
    QLineEdit* Text3;
    std::array<ClassRow*, 2> lstActualClass{};
    std::array<ClassRow*, 2> lstFAKClass{};
    QLabel* Label1;
    QLabel* Label4;
    QPushButton* cmdApply;
    QPushButton* cmdCancel;
    QPushButton* cmdDone;

  public slots:
    void lstActualClass_Click(int index);
    void cmdApply_Click();
    void cmdCancel_Click();
    void Text1_Click();
    void Text4_Click();
    void cmdDone_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void Fill(int ibob);
    void Reset(int ibob);
    void ShowPairs();
    void ShowLocked();

    std::array<FAKPair, 2> pairs_;
};

// Shows the window modally for gShipLoc and gRegion, at the opener's place.
void ShowFAKWindow(QWidget* opener);
