#pragma once
// The print settings of bills of lading: copies, a rated quote with each copy, a special
// discount for that quote, and the terms-and-conditions page.

#include <QDialog>
#include <string>

class LabelButton;
class LabelHighlighter;
class MaskedEdit;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;

class frmBLConfig : public QDialog {
    Q_OBJECT
  public:
    explicit frmBLConfig(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* txtBLCopies;
    QCheckBox* chkPrintRates;
    QCheckBox* chkUseSpecialDiscount;
    MaskedEdit* txtBLDiscount;  // "##.#"
    QCheckBox* chkBackOfBL;
    LabelButton* imgReader;
    LabelButton* labReader;
    LabelButton* mlblDone;
    QLabel* Image1;
    QFrame* Line1;

  public slots:
    void Form_Load();
    void mlblDone_Click();
    void imgReader_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    LabelHighlighter* highlighter_;
};

// The discount as stored: two digits, a point and one digit ("7_._" is "07.0").
std::string NormalisedBLDiscount(const std::string& typed);

frmBLConfig* BLConfigWindow();
void ShowBLConfigWindow();
void DestroyBLConfigWindow();
