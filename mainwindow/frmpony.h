#pragma once
// The hidden batch-test window: two access codes, then the batch run into ponyout and the file
// test of the carrier's expected rates and transit days.

#include <QDialog>
#include <functional>

#include "ponytest.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class MaskedEdit;

class frmPony : public QDialog {
    Q_OBJECT
  public:
    explicit frmPony(QWidget* parent = nullptr);
    ~frmPony() override;

    QLabel* lblPwd;
    QLineEdit* txtPwd;
    QLabel* lblOzip;
    QLineEdit* txtozip;
    QLabel* lblNMFC;
    QComboBox* cboNMFC;
    QLabel* lblDiscount;
    MaskedEdit* mskDiscount;
    QPushButton* cmdRun;
    QPushButton* cmdTest;
    QPushButton* cmdExit;
    QLabel* lblResult;  // what the last run did

    // Stages: 0 the first access code, 2 the second, 1 the batch controls.
    uint8_t Stage() const { return stage_; }

    void Form_Activate();
    void cmdRun_Click();
    void cmdTest_Click();
    void cmdExit_Click();
    // Verifies the origin typed; false (after its message) when it is missing or unknown.
    bool txtozip_LostFocus();
    // False (after its message) for a discount above 100.
    bool mskDiscount_LostFocus();

    // The answer to "Do you want FL rates?" of the last file test.
    bool FLRates() const { return flRates_; }
    const PonyBatchResult& LastBatch() const { return lastBatch_; }
    const PonyFileResult& LastFileTest() const { return lastFile_; }

    // How long a run goes before its progress shows: about a second; tests shorten it.
    void SetProgressDelay(int milliseconds) { progressDelayMs_ = milliseconds; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowBatchControls(bool show);
    void RunBatch();

    uint8_t stage_ = 0;
    int progressDelayMs_ = 1000;
    bool flRates_ = false;
    PonyBatchResult lastBatch_;
    PonyFileResult lastFile_;
};

// The one batch-test window of the run, created on first use.
frmPony* PonyWindow();
void UnloadPonyWindow();
// Shows the window modally. However it closes, the main window's busy flag is cleared and its
// verified ends and the rating state are put back as they were when it opened.
void ShowPonyModally(QWidget* parent = nullptr);
// What showing it modally is; tests and the scenario runner drive the window instead.
void SetPonyShow(std::function<void(frmPony&)> show);
