#pragma once
// The About window: the product, its version and the notice about the tariff data.

#include <QDialog>

class LabelButton;
class LabelHighlighter;
class QLabel;
class QWidget;

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* hdlVZK;
    QLabel* hdlFL2001;
    QWidget* Line1;
    QLabel* Label6;
    QLabel* lblAbout;
    QLabel* Label7;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label8;
    QLabel* lblVersion;
    LabelButton* lblDone;

    // Reads the version and builds the notice; runs at every opening.
    void Form_Load();
    void lblDone_Click();

  private:
    LabelHighlighter* highlighter_;
};

void ShowAbout(QWidget* owner);
