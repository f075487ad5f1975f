#pragma once
// The rate-sheet window: builds and prints Canadian rate sheets for one origin city and the
// destination cities chosen, and lists the points a rate-sheet city stands for.

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class LabelButton;
class LabelHighlighter;
class MaskedEdit;
class TextPrinter;
enum class RateSheetOutcome;

class frmRateSheet : public QDialog {
    Q_OBJECT
  public:
    explicit frmRateSheet(QWidget* parent = nullptr);
    ~frmRateSheet() override;

    QLabel* hdllBuild;
    QLabel* Picture1;
    QLabel* lblFrom;
    QComboBox* cmbFrom;
    QLabel* lblTo;
    QListWidget* lstTo;
    QLabel* hdlRightClick;
    QListWidget* lstCities;
    QLabel* lblDensity;
    MaskedEdit* mskDensity;
    QCheckBox* chkTruckLoadRates;
    LabelButton* lblRate;
    LabelButton* lblDone;
    QFrame* Line1;

    void Form_Load();
    void Form_Activate();
    // Builds and prints the sheet of the cities chosen.
    RateSheetOutcome lblRate_Click();
    void lblDone_Click();
    // The right button lists the points of the city under the mouse.
    void lstTo_MouseDown(Qt::MouseButton button, int row);
    void lstCities_Click();

    // The printer of the last print request (texts and pages as laid out), or nullptr.
    const TextPrinter* LastPrinter() const { return printer_.get(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::unique_ptr<TextPrinter> printer_;
    LabelHighlighter* highlighter_;
};

// The one rate-sheet window of the run, created on first use.
frmRateSheet* RateSheetWindow();
void UnloadRateSheetWindow();
// Shows the window modally. However it closes, the main window's ends and the rating state are
// put back as they were when it opened.
void ShowRateSheetModally(QWidget* parent = nullptr);
// What showing it modally is; tests and the scenario runner drive the window instead.
void SetRateSheetShow(std::function<void(frmRateSheet&)> show);
