#pragma once
// The tariff-detail window: the carrier's rules tariff item by item, chosen by title from a list
// of the tariff table, each item a page of the application folder's VZK120/.

#include <QDialog>
#include <QString>

class LabelButton;
class LabelHighlighter;
class QComboBox;
class QLabel;
class WebPane;

// The page of a tariff item: VZK120/<item>.htm under the application folder.
QString TariffPagePath(int item);

class frmTrfDetail : public QDialog {
    Q_OBJECT
  public:
    explicit frmTrfDetail(QWidget* parent = nullptr);

    QLabel* Label1;
    QComboBox* cmbTrfIndex;
    WebPane* brwTariff;
    LabelButton* lblDone;

    // Fills the list from the tariff table and shows the first entry's page.
    void Form_Load();
    // Selects list entry k as the quick-reference panels do; an entry the list does not have
    // shows a page that says so.
    void SelectEntry(int k);
    // Shows the selected entry's page.
    void cmbTrfIndex_LostFocus();
    void cmbTrfIndex_Click();
    void lblDone_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    LabelHighlighter* highlighter_;
};

// Opens the window on list entry k (0, the first title, from the main window).
void ShowTariffDetail(QWidget* owner, int entry = 0);
