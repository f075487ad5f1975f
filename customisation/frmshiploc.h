#pragma once
// The shipping-location window: the customer's locations in a list with Add, Delete and Done,
// an entry box with OK and Cancel for a new one, and a help page beside them for each step.

#include <QDialog>

#include "shiplocations.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTextBrowser;
class LabelButton;
class LabelHighlighter;

class frmShipLoc : public QDialog {
    Q_OBJECT
  public:
    explicit frmShipLoc(QWidget* parent = nullptr);

    const ShipLocModel& Model() const { return model_; }

    QLabel* hdlMaint;
    QComboBox* cmbShipLoc;
    QLineEdit* txtShiploc;
    LabelButton* lblAdd;
    LabelButton* lblDelete;
    LabelButton* lblExit;
    LabelButton* lblOK;
    LabelButton* lblCancel;
    QLabel* lblWhy;
    QTextBrowser* brwShipLoc;
    QFrame* Line1;
    QLabel* Image1;

  public slots:
    void Form_Activate();
    void lblAdd_Click();
    void lblCancel_Click();
    void lblOK_Click();
    void lblDelete_Click();
    void lblExit_Click();
    void txtShiploc_KeyPress();

  private:
    // Shows the model: mode, list, caption and help page.
    void Show();

    ShipLocModel model_;
    LabelHighlighter* highlighter_;
    QString pageShown_;
};

// The one shipping-location window: created on first use, gone once Done closes it.
frmShipLoc* ShipLocWindow();
void UnloadShipLocWindow();
// Opens the window modally and returns when Done has closed it.
void ShowShipLocWindow();
