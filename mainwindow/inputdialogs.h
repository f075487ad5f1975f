#pragma once
// The main window's two small input dialogs: the fuel surcharge percentage and the dimensions
// that give an ocean shipment's cube.

#include <QDialog>

class LabelButton;
class LabelHighlighter;
class MaskedEdit;
class QLabel;
class QLineEdit;
class QWidget;
class Form3;

class frmFuelSurcharge : public QDialog {
    Q_OBJECT
  public:
    explicit frmFuelSurcharge(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    MaskedEdit* mskFSC;  // "##.#", empty places read as 0 in its Text
    LabelButton* lblFSConWeb;
    LabelButton* lblDone;
    QWidget* Line1;

    void Form_Load();
    // Stores the percentage and closes; a text that is no percentage is refused and the
    // dialog stays.
    void lblDone_Click();
    void lblFSConWeb_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    LabelHighlighter* highlighter_;
};

class frmOceanDims : public QDialog {
    Q_OBJECT
  public:
    // The cube goes into the box the main window's rating reads.
    explicit frmOceanDims(QLineEdit* txtOceanDensity, QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* hdllHeader;
    QLabel* lblExplain;
    QLineEdit* txtH;
    QLineEdit* txtW;
    QLineEdit* txtD;
    QWidget* Line1;
    LabelButton* lblYes;

    // Writes the cube when all three dimensions are above 0, then closes.
    void lblYes_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* txtOceanDensity_;
    LabelHighlighter* highlighter_;
};

void ShowFuelSurcharge(QWidget* owner);
void ShowOceanDims(QLineEdit* txtOceanDensity, QWidget* owner);
