#include "frmpony.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <algorithm>
#include <exception>
#include <memory>

#include "form3.h"
#include "geography.h"
#include "handlerguard.h"
#include "maskededit.h"
#include "messagebox.h"
#include "msgbox.h"
#include "savedpoints.h"
#include "tariffdb.h"
#include "twips.h"
#include "windowkeys.h"

namespace {

QPointer<frmPony> gPony;
std::function<void(frmPony&)> gShow;

const QString kFirstCode = QStringLiteral("%kvq");
const QString kSecondCode = QStringLiteral("h4rb#q");

template <typename W>
W* Place(W* widget, const char* name, const QRect& where) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(where);
    return widget;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string TrimText(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// A damaged data file a run met, told once when the run has ended, as a rating tells it.
void TellTariffError(const std::string& error) {
    if (!error.empty())
        ShowMessage(QString::fromStdString(error), kMsgOK, QStringLiteral("Tariff Data Error"));
}

// The hourglass while a run works, gone however it ends.
struct Hourglass {
    Hourglass() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
};

// Numbers of lines and codes as a user reads them, "12,345".
QString Count(int64_t n) {
    return QString::fromStdString(Format(static_cast<double>(n), "#,##0"));
}

// How far a long run has come. A run cannot be stopped half-way, so there is no button, and
// Escape and the close box leave it shown.
class RunProgressDialog : public QProgressDialog {
  public:
    explicit RunProgressDialog(QWidget* owner) : QProgressDialog(owner) {
        setWindowTitle(owner->windowTitle());
        setWindowModality(Qt::ApplicationModal);
        setCancelButton(nullptr);
        setMinimumDuration(0);
        setAutoReset(false);
        setAutoClose(false);
        setRange(0, 1000);
    }
    void reject() override {}

  protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

// What a run shows while it works: the hourglass at once, and once it has taken about a second
// the progress dialog, brought up to date a few times a second. `what` names what is counted
// ("Lines", "Codes") and `of` the whole ("the file", "the codes").
class RunProgress {
  public:
    RunProgress(QWidget* owner, int delayMs, QString what, QString of)
        : owner_(owner), delayMs_(delayMs), what_(std::move(what)), of_(std::move(of)) {
        clock_.start();
    }
    void operator()(int64_t done, double part) {
        if (!dialog_) {
            if (clock_.elapsed() < delayMs_) return;
            dialog_ = std::make_unique<RunProgressDialog>(owner_);
            KeepOnScreen(dialog_.get());
        } else if (sinceShown_.elapsed() < 100) {
            return;
        }
        sinceShown_.start();
        const int permille = static_cast<int>(std::clamp(part, 0.0, 1.0) * 1000);
        dialog_->setLabelText(QStringLiteral("%1 done: %2 (%3 % of %4)")
                                  .arg(what_, Count(done))
                                  .arg(permille / 10)
                                  .arg(of_));
        dialog_->setValue(permille);
        // The dialog, and the windows behind it, are drawn as the run goes.
        QCoreApplication::processEvents();
    }

  private:
    Hourglass hourglass_;
    QWidget* owner_;
    int delayMs_;
    QString what_, of_;
    QElapsedTimer clock_, sinceShown_;
    std::unique_ptr<RunProgressDialog> dialog_;
};

// "303, 304, 305" and "…" when there are more than those.
QString LineNumbers(const std::vector<int64_t>& first, int64_t all) {
    QStringList numbers;
    for (const int64_t n : first) numbers << QString::number(n);
    QString text = numbers.join(QStringLiteral(", "));
    if (all > static_cast<int64_t>(first.size())) text += QStringLiteral(" …");
    return text;
}

}  // namespace

frmPony::frmPony(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPony"));
    setWindowTitle(QStringLiteral("Zudi 2007"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(TwipsToPixels(5400), TwipsToPixels(3900));

    lblPwd = Place(new QLabel(QStringLiteral("Password"), this), "lblPwd",
                   TwipsRect(240, 300, 2000, 300));
    txtPwd = Place(new QLineEdit(this), "txtPwd", TwipsRect(2400, 240, 2640, 360));
    txtPwd->setEchoMode(QLineEdit::Password);
    // An access code shows as asterisks, whatever the desktop's style draws by default.
    txtPwd->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    lblOzip = Place(new QLabel(QStringLiteral("Origin zip/postal code"), this), "lblOzip",
                    TwipsRect(240, 300, 2100, 300));
    txtozip = Place(new QLineEdit(this), "txtozip", TwipsRect(2400, 240, 1440, 360));
    lblNMFC = Place(new QLabel(QStringLiteral("NMFC Class"), this), "lblNMFC",
                    TwipsRect(240, 780, 2000, 300));
    cboNMFC = Place(new QComboBox(this), "cboNMFC", TwipsRect(2400, 720, 1440, 360));
    lblDiscount = Place(new QLabel(QStringLiteral("Discount"), this), "lblDiscount",
                        TwipsRect(240, 1260, 2000, 300));
    mskDiscount = Place(new MaskedEdit(QStringLiteral("##.#"), QLatin1Char('_'), this),
                        "mskDiscount", TwipsRect(2400, 1200, 900, 360));
    cmdRun = Place(new QPushButton(QStringLiteral("&Run"), this), "cmdRun",
                   TwipsRect(240, 1860, 1500, 420));
    cmdTest = Place(new QPushButton(QStringLiteral("Test"), this), "cmdTest",
                    TwipsRect(1920, 1860, 1500, 420));
    cmdExit = Place(new QPushButton(QStringLiteral("E&xit"), this), "cmdExit",
                    TwipsRect(3600, 1860, 1500, 420));
    lblResult = Place(new QLabel(this), "lblResult", TwipsRect(240, 2460, 4900, 1320));
    lblResult->setWordWrap(true);

    connect(cmdRun, &QPushButton::clicked, this, Guarded(this, &frmPony::cmdRun_Click));
    connect(cmdTest, &QPushButton::clicked, this, Guarded(this, &frmPony::cmdTest_Click));
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    txtozip->installEventFilter(this);
    mskDiscount->installEventFilter(this);
    mskDiscount->SetNormalForm(PercentNormalForm);
    txtPwd->installEventFilter(this);
    gPony = this;
}

frmPony::~frmPony() = default;

void frmPony::ShowBatchControls(bool show) {
    lblPwd->setVisible(!show);
    txtPwd->setVisible(!show);
    for (QWidget* w : std::initializer_list<QWidget*>{lblOzip, txtozip, lblNMFC, cboNMFC,
                                                      lblDiscount, mskDiscount})
        w->setVisible(show);
}

void frmPony::Form_Activate() {
    cboNMFC->clear();
    for (const std::string& c : tariff.gClasses) cboNMFC->addItem(QString::fromStdString(c));
    cboNMFC->setCurrentIndex(0);
    ShowBatchControls(false);
    // Nothing of an earlier opening carries over: an origin left there unverified would be
    // checked again by the first button.
    txtozip->clear();
    mskDiscount->SetText(QString());
    txtPwd->clear();
    lblPwd->setText(QStringLiteral("Password"));
    lblResult->clear();
    cmdRun->setText(QStringLiteral("OK"));
    cmdRun->setDefault(true);
    cmdExit->setText(QStringLiteral("Cancel"));
    stage_ = 0;
    txtPwd->setFocus();
}

void frmPony::cmdRun_Click() {
    if (stage_ == 1) {
        RunBatch();
        return;
    }
    if (txtPwd->text() != (stage_ == 0 ? kFirstCode : kSecondCode)) {
        done(QDialog::Rejected);
        return;
    }
    if (stage_ == 0) {
        txtPwd->clear();
        lblPwd->setText(QStringLiteral("Password 2"));
        stage_ = 2;
        txtPwd->setFocus();
        return;
    }
    ShowBatchControls(true);
    cmdRun->setText(QStringLiteral("&Run"));
    cmdRun->setDefault(false);
    cmdExit->setText(QStringLiteral("E&xit"));
    stage_ = 1;
    txtozip->setFocus();
}

bool frmPony::txtozip_LostFocus() {
    const std::string typed = Upper(TrimText(txtozip->text().toStdString()));
    if (typed.empty()) {
        ShowMessage(QStringLiteral("Origin is missing.  Please try again"), kMsgOK,
                    QStringLiteral("Date Entry Error"));
        txtozip->setFocus();
        return false;
    }
    tariff.gOrigZip = typed;
    txtozip->setText(QString::fromStdString(typed));
    bool verified = false;
    // A database another program holds, or a gap in the tariff, is told as what it is; the
    // origin cannot be used either way.
    const bool looked = RunHandler([&] { verified = LookupCityState(typed, 0); });
    if (!verified) {
        tariff.gOrigCountry = 99;
        if (looked)
            ShowMessage(QStringLiteral("Origin not verified.  Please try again"), kMsgOK,
                        QStringLiteral("Date Entry Error"));
        txtozip->setFocus();
        return false;
    }
    return true;
}

bool frmPony::mskDiscount_LostFocus() {
    if (Val(mskDiscount->Value().toStdString()) <= 100) return true;
    PlatformMessageBox(QStringLiteral("Illegal discount level"), kMbOK | kMbExclamation,
                       QStringLiteral("Error"));
    mskDiscount->setFocus();
    return false;
}

void frmPony::RunBatch() {
    // The run needs an origin verified now, not one a file test left behind.
    if (!txtozip_LostFocus() || !mskDiscount_LostFocus()) return;
    // What the last run wrote is no longer the news, whatever this one does.
    lblResult->clear();
    lastBatch_ = PonyBatchResult();
    try {
        Recordset& out = *tariff.gDB->OpenRecordset("ponyout");
        const bool hasRows = out.RecordCount() > 0;
        out.Close();
        bool keep = false;
        if (hasRows)
            keep = PlatformMessageBox(
                       QStringLiteral("Pony output file is not empty.  Delete all records?"),
                       kMbYesNo | kMbQuestion, QStringLiteral("Help")) != kIdYes;
        {
            repaint();
            RunProgress progress(this, progressDelayMs_, QStringLiteral("Codes"),
                                 QStringLiteral("the codes"));
            lastBatch_ = RunPonyBatch(cboNMFC->currentText().toStdString(),
                                      mskDiscount->Value().toStdString(), keep, std::ref(progress));
        }
        lblResult->setText(
            QStringLiteral("Rows written to ponyout from %2: %1.  Codes without a row: %3.")
                .arg(lastBatch_.rows)
                .arg(QString::fromStdString(tariff.gOrigZip))
                .arg(lastBatch_.skipped));
        for (int i = 0; i < 4; ++i) QApplication::beep();
        TellTariffError(lastBatch_.tariffError);
    } catch (const std::exception& e) {
        lblResult->setText(QStringLiteral("The batch run stopped: no row of it is in ponyout."));
        PlatformMessageBox(QStringLiteral("The batch run stopped: ") + QString::fromUtf8(e.what()),
                           kMbOK | kMbExclamation, QStringLiteral("Error"));
    }
}

void frmPony::cmdTest_Click() {
    // What the last run wrote is no longer the news, whatever this one does.
    lblResult->clear();
    lastFile_ = PonyFileResult();
    ShowMessage(QStringLiteral("Do you want FL rates?"), kMsgQuestion,
                QStringLiteral("Rates Batch Test"));
    flRates_ = messages.gMsgAnswer == kMsgYes;
    std::string folder;
    try {
        folder = PonyFolder();
        RunProgress progress(this, progressDelayMs_, QStringLiteral("Lines"),
                             QStringLiteral("the file"));
        lastFile_ = RunPonyFileTest(folder + kPonyInputFile, folder + kPonyOutputFile, flRates_,
                                    std::ref(progress));
    } catch (...) {
        // The handler's guard tells why; the window says what became of the result file.
        lblResult->setText(QStringLiteral("The file test stopped before its end: %1 was left "
                                          "as it was.")
                               .arg(QLatin1String(kPonyOutputFile)));
        throw;
    }
    const QString output = QString::fromStdString(folder + kPonyOutputFile);
    if (!lastFile_.ran) {
        lblResult->setText(QString::fromStdString(lastFile_.error));
        PlatformMessageBox(QString::fromStdString(lastFile_.error), kMbOK | kMbExclamation,
                           QStringLiteral("Rates Batch Test"));
        return;
    }
    QString text = QStringLiteral(
                       "Lines written to %1: %2, rated: %3.  Written unrated as they "
                       "cannot be rated: %4")
                       .arg(output, Count(lastFile_.lines), Count(lastFile_.rated),
                            Count(lastFile_.unratable));
    if (lastFile_.unratable > 0)
        text += QStringLiteral(" (lines %1)")
                    .arg(LineNumbers(lastFile_.firstUnratable, lastFile_.unratable));
    lblResult->setText(text + QLatin1Char('.'));
    TellTariffError(lastFile_.tariffError);
}

void frmPony::cmdExit_Click() {
    done(QDialog::Rejected);
}

bool frmPony::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == txtPwd || watched == txtozip))
        static_cast<QLineEdit*>(watched)->setSelection(0, 6);
    if (event->type() == QEvent::FocusOut && isVisible()) {
        // Leaving for Exit needs no check of what was typed, nor does a box being hidden or
        // the focus going to another window.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool leaving = cmdExit->hasFocus() || reason == Qt::ActiveWindowFocusReason ||
                             reason == Qt::PopupFocusReason;
        if (watched == txtozip && !leaving && stage_ == 1 && txtozip->isVisible())
            txtozip_LostFocus();
        if (watched == mskDiscount && !leaving) mskDiscount_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

frmPony* PonyWindow() {
    if (!gPony) new frmPony;
    return gPony;
}

void UnloadPonyWindow() {
    delete gPony;
}

void SetPonyShow(std::function<void(frmPony&)> show) {
    gShow = std::move(show);
}

void ShowPonyModally(QWidget* parent) {
    const SavedMainWindowPoints saved;
    frmPony* window = PonyWindow();
    if (parent) window->move(parent->geometry().center() - window->rect().center());
    KeepOnScreen(window);
    window->Form_Activate();
    if (gShow)
        gShow(*window);
    else
        ExecModal(*window);
    mainState.gBusy = false;
    saved.Restore();
}
