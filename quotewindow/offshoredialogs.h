#pragma once
// The two questions of an offshore destination: the Puerto Rico exit port and whether the
// shipment goes to a military base. Each is a small modal dialog of two options that acts only
// on its "Done" (a click, or Enter); closing it any other way (Escape) records nothing.

#include <QDialog>

class LabelButton;
class LabelHighlighter;
class QFrame;
class QLabel;
class QRadioButton;

class frmPRPort : public QDialog {
    Q_OBJECT
  public:
    // Opens with Jacksonville, FL selected when told, otherwise Elizabeth, NJ.
    explicit frmPRPort(bool jacksonvilleSelected, QWidget* parent = nullptr);

    QLabel* Label1;
    QRadioButton* OptFL;
    QRadioButton* OptNJ;
    LabelButton* lblPort;
    QFrame* Line1;

  public slots:
    void lblPort_Click();

  private:
    LabelHighlighter* highlighter_;
};

// The dialogs shown modally, as the offshore set-up asks its questions (SetOffshoreDialogs).
// Without a window system, or while the message script answers the program's messages,
// nothing is shown and nothing is answered.
void ShowPRPortDialog(bool jacksonvilleSelected);
void ShowMilitaryDialog(bool yesSelected);

class frmMilitary : public QDialog {
    Q_OBJECT
  public:
    // Opens with "Yes" selected when told, otherwise "No".
    explicit frmMilitary(bool yesSelected, QWidget* parent = nullptr);

    QLabel* Label2;
    QRadioButton* OptMil;
    QRadioButton* Option2;
    LabelButton* lblMil;
    QFrame* Line1;

  public slots:
    void lblMil_Click();

  private:
    LabelHighlighter* highlighter_;
};
