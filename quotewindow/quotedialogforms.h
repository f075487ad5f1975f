#pragma once
// The quote window's small dialogs. Each takes its value in a masked box and acts only on its
// "Done" (a click, or Enter); closing it any other way (Escape, the close box) changes nothing.
//
// Tests drive a dialog without an event loop: construct it, fill its box and call its Done
// handler, or install a runner (quotedialogs.h) that does so when the program shows it.

#include <QDialog>

class LabelButton;
class LabelHighlighter;
class MaskedEdit;
class QLabel;

// The exchange rate: how many Canadian dollars one U.S. dollar buys.
class frmCdnRate : public QDialog {
    Q_OBJECT
  public:
    explicit frmCdnRate(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    LabelButton* lblExchFromWeb;
    LabelButton* lblDone;
    QLabel* imgUSFlag;
    QLabel* imgCdnFlag;
    MaskedEdit* mskCdnRate;  // "#.####"

  public slots:
    // Reads the stored rate into the box and selects it.
    void Form_Activate();
    // Stores the rate typed, without its prompt characters, and closes.
    void lblDone_Click();
    // Opens the carrier's exchange-rate page; the dialog stays open.
    void lblExchFromWeb_Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    LabelHighlighter* highlighter_;
};

// A new discount percentage for the quote on screen.
class frmChgDisc : public QDialog {
    Q_OBJECT
  public:
    explicit frmChgDisc(QWidget* parent = nullptr);

    QLabel* Label2;
    QLabel* Label1;
    LabelButton* lblDone;
    QLabel* Image1;
    MaskedEdit* mskChgDisc;  // "##.#"

  public slots:
    // Writes the percentage typed into the quote's discount box as NN.N, closes, and has the
    // quote checked and rated again (CheckQuoteDiscount).
    void lblDone_Click();

  private:
    LabelHighlighter* highlighter_;
};

// The amount a C.O.D. charge is computed on.
class frmCOD : public QDialog {
    Q_OBJECT
  public:
    explicit frmCOD(QWidget* parent = nullptr);

    QLabel* Label2;
    QLabel* Label1;
    LabelButton* lblDone;
    QLabel* Image1;
    MaskedEdit* mskCOD;  // "$999999"

  public slots:
    // charges.gChargeBasis = the dollars typed (0 for an empty box), then closes.
    void lblDone_Click();

  private:
    LabelHighlighter* highlighter_;
};
