#pragma once
// The service-centre finder: a ZIP or postal code in, the carrier's centre that serves it out.

#include <QDialog>

class LabelButton;
class LabelHighlighter;
class QLabel;
class QLineEdit;
class QWidget;

class frmFindSC : public QDialog {
    Q_OBJECT
  public:
    explicit frmFindSC(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QLineEdit* txtZipCode;
    QWidget* Line1;
    QLabel* lblServiceCenterName;
    QLabel* lblAddress;
    QLabel* lblCityStateZip;
    QLabel* lblPhone;
    QLabel* lblFAX;
    QLabel* lblTollFree;
    LabelButton* mlblClickHere;
    LabelButton* mlblDone;

    void mlblClickHere_Click();
    void mlblDone_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowResult(bool shown);
    LabelHighlighter* highlighter_;
};

void ShowFindSC(QWidget* owner);
