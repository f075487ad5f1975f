#include "frmpony.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <exception>

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

}  // namespace

frmPony::frmPony(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPony"));
    setWindowTitle(QStringLiteral("Zudi 2007"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(TwipsToPixels(5400), TwipsToPixels(3300));

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
    lblResult = Place(new QLabel(this), "lblResult", TwipsRect(240, 2460, 4900, 720));
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
            Hourglass hourglass;
            repaint();
            lastBatch_ = RunPonyBatch(cboNMFC->currentText().toStdString(),
                                      mskDiscount->Value().toStdString(), keep);
        }
        lblResult->setText(
            QStringLiteral("Rows written to ponyout from %2: %1.  Codes without a row: %3.")
                .arg(lastBatch_.rows)
                .arg(QString::fromStdString(tariff.gOrigZip))
                .arg(lastBatch_.skipped));
        for (int i = 0; i < 4; ++i) QApplication::beep();
        TellTariffError(lastBatch_.tariffError);
    } catch (const std::exception& e) {
        PlatformMessageBox(QStringLiteral("The batch run stopped: ") + QString::fromUtf8(e.what()),
                           kMbOK | kMbExclamation, QStringLiteral("Error"));
    }
}

void frmPony::cmdTest_Click() {
    ShowMessage(QStringLiteral("Do you want FL rates?"), kMsgQuestion,
                QStringLiteral("Rates Batch Test"));
    flRates_ = messages.gMsgAnswer == kMsgYes;
    const std::string folder = PonyFolder();
    {
        Hourglass hourglass;
        lastFile_ = RunPonyFileTest(folder + kPonyInputFile, folder + kPonyOutputFile, flRates_);
    }
    if (!lastFile_.ran) {
        lblResult->setText(QString::fromStdString(lastFile_.error));
        PlatformMessageBox(QString::fromStdString(lastFile_.error), kMbOK | kMbExclamation,
                           QStringLiteral("Rates Batch Test"));
        return;
    }
    lblResult->setText(QStringLiteral("Lines written to %2: %1, rated: %3.  Bad lines skipped: %4.")
                           .arg(lastFile_.lines)
                           .arg(QString::fromStdString(folder + kPonyOutputFile))
                           .arg(lastFile_.rated)
                           .arg(lastFile_.badLines));
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
