#include "frmblconfig.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <memory>

#include "blstate.h"
#include "blwidgets.h"
#include "entryfilter.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "maskededit.h"
#include "messagebox.h"
#include "msgbox.h"
#include "numbers.h"
#include "settings.h"
#include "windowkeys.h"

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A small document picture for the reader link, drawn rather than shipped.
QPixmap ReaderPicture() {
    QPixmap pixmap(40, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(120, 120, 120), 1.5));
    p.drawRect(QRectF(4, 2, 32, 44));
    p.setBrush(QColor(200, 20, 30));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(4, 30, 32, 12));
    p.setPen(Qt::white);
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(4, 30, 32, 12), Qt::AlignCenter, QStringLiteral("PDF"));
    return pixmap;
}
}  // namespace

std::string NormalisedBLDiscount(const std::string& typed) {
    std::string digits;
    for (char c : typed)
        if (c != '_') digits += c;
    return Format(Val(digits), "00.0");
}

frmBLConfig::frmBLConfig(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBLConfig"));
    setWindowTitle(QStringLiteral("Bill of Lading Configuration"));
    setModal(true);

    Image1 = MakeMenuPicture(this);
    Label1 = new QLabel(QStringLiteral("Print how many copies of the Bill of Lading?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtBLCopies = new QLineEdit(QStringLiteral("99"), this);
    txtBLCopies->setObjectName(QStringLiteral("txtBLCopies"));
    txtBLCopies->setMaxLength(2);
    txtBLCopies->setFixedWidth(48);
    txtBLCopies->installEventFilter(this);
    AdmitOnly(txtBLCopies, QStringLiteral("0-9"));
    chkPrintRates = new QCheckBox(
        QStringLiteral("Print a rate sheet copy along with the Bill of Lading"), this);
    chkPrintRates->setObjectName(QStringLiteral("chkPrintRates"));
    chkUseSpecialDiscount = new QCheckBox(
        QStringLiteral("Use this discount for charges on a rate sheet accompanying a Bill of "
                       "Lading"),
        this);
    chkUseSpecialDiscount->setObjectName(QStringLiteral("chkUseSpecialDiscount"));
    txtBLDiscount = new MaskedEdit(QStringLiteral("##.#"), QLatin1Char('_'), this);
    txtBLDiscount->setObjectName(QStringLiteral("txtBLDiscount"));
    txtBLDiscount->setFixedWidth(64);
    // An empty box stays empty when left: it is no 0 %, but a value still to be entered.
    txtBLDiscount->SetNormalForm(
        [](const QString& value) { return value.isEmpty() ? value : PercentNormalForm(value); });
    // "&&" shows as one ampersand.
    chkBackOfBL = new QCheckBox(
        QStringLiteral("Always print a copy of the Terms && Conditions page of the Bill of Lading"),
        this);
    chkBackOfBL->setObjectName(QStringLiteral("chkBackOfBL"));
    imgReader = new LabelButton(this);
    imgReader->setObjectName(QStringLiteral("imgReader"));
    imgReader->setPixmap(ReaderPicture());
    labReader = new LabelButton(QStringLiteral("Click here to install Adobe Reader"), this);
    labReader->setObjectName(QStringLiteral("labReader"));
    mlblDone = MakeMenuLabel(this, "mlblDone", QStringLiteral("Done"));
    Line1 = MakeLine(this, "Line1");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 16, 18, 16);
    grid->setVerticalSpacing(10);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txtBLCopies, 0, 1, Qt::AlignLeft);
    grid->addWidget(chkPrintRates, 1, 0, 1, 2);
    grid->addWidget(chkUseSpecialDiscount, 2, 0);
    grid->addWidget(txtBLDiscount, 2, 1, Qt::AlignLeft);
    grid->addWidget(chkBackOfBL, 3, 0, 1, 2);
    grid->addWidget(Line1, 4, 0, 1, 2);
    auto* reader = new QHBoxLayout;
    reader->addWidget(imgReader);
    reader->addWidget(labReader);
    reader->addStretch(1);
    reader->addWidget(mlblDone);
    grid->addLayout(reader, 5, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setHorizontalSpacing(16);
    resize(680, 260);

    connect(mlblDone, &LabelButton::clicked, this, Guarded(this, &frmBLConfig::mlblDone_Click));
    InstallWindowKeys(this, mlblDone);
    connect(imgReader, &LabelButton::clicked, this, &frmBLConfig::imgReader_Click);
    connect(labReader, &LabelButton::clicked, this, &frmBLConfig::imgReader_Click);

    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetBackgroundPointer(kPointerArrow);
    highlighter_->Wire(mlblDone);
    connect(imgReader, &LabelButton::mouseMoved, this,
            [this] { SetMousePointer(this, kPointerCustom); });
    connect(labReader, &LabelButton::mouseMoved, this,
            [this] { SetMousePointer(this, kPointerCustom); });
    Image1->lower();
    Image1->hide();  // the window's own background is the picture here: plain white
    SetBackgroundColor(this, Qt::white);
}

void frmBLConfig::Form_Load() {
    GuardedHandler(QStringLiteral("The print settings could not be read."), [&] {
        labReader->setText(QStringLiteral("Click here to install Adobe Reader") + QChar(174));
        LoadFormMouseIcon(this);
        blWindow.strPrintRates = GetConfigValue("BL_PrintRates", "no");
        const std::string useSpecial = GetConfigValue("BL_UseSpecialDiscount", "no");
        const std::string discount = ConfigTextToEdit(kBLDiscountSetting);
        const std::string copies = ConfigTextToEdit(kBLCopiesSetting);
        const std::string printBack = GetConfigValue("BL_PrintBack", "no");
        blWindow.boolPrintRates = blWindow.strPrintRates == "yes";
        chkPrintRates->setChecked(blWindow.boolPrintRates);
        blWindow.boolSpecialDiscount = useSpecial == "yes";
        chkUseSpecialDiscount->setChecked(blWindow.boolSpecialDiscount);
        txtBLDiscount->SetText(Q(discount));
        txtBLCopies->setText(Q(copies));
        blWindow.blnPrintBack = printBack == "yes";
        chkBackOfBL->setChecked(blWindow.blnPrintBack);
        ColourLine(Line1, kColorWhite);
    });
}

void frmBLConfig::mlblDone_Click() {
    GuardedHandlerAtomically(QStringLiteral("The print settings were not saved."), [&] {
        blWindow.boolPrintRates = chkPrintRates->isChecked();
        blWindow.strPrintRates = blWindow.boolPrintRates ? "yes" : "no";
        blWindow.boolSpecialDiscount = chkUseSpecialDiscount->isChecked();
        const std::string useSpecial = blWindow.boolSpecialDiscount ? "yes" : "no";
        const std::string copies = txtBLCopies->text().toStdString();
        blWindow.blnPrintBack = chkBackOfBL->isChecked();
        const std::string printBack = blWindow.blnPrintBack ? "yes" : "no";
        if (Val(copies) <= 0) {
            ShowMessage(QStringLiteral("The number of Bill of Lading copies ") +
                            QStringLiteral("must be greater than zero (0).  ") +
                            QStringLiteral("Please correct."),
                        kMsgOK, QStringLiteral("Oops!"));
            txtBLCopies->setFocus();
            return;
        }
        // An empty discount box (as the window opens for a damaged value) is no discount of 0.
        const std::string typedDiscount = txtBLDiscount->Value().toStdString();
        for (const auto& [box, problem] :
             {std::pair<QWidget*, std::string>{txtBLCopies,
                                               SettingEntryProblem(kBLCopiesSetting, copies)},
              {txtBLDiscount, SettingEntryProblem(kBLDiscountSetting, typedDiscount)}}) {
            if (problem.empty()) continue;
            ShowMessage(Q(problem), kMsgOK, QStringLiteral("Oops!"));
            box->setFocus();
            return;
        }
        // Stored as two digits, a point and one digit, whatever part of the mask was typed.
        txtBLDiscount->ShowNormalised();
        const std::string discount = NormalisedBLDiscount(txtBLDiscount->Text().toStdString());
        SetConfigValue("BL_PrintRates", blWindow.strPrintRates);
        SetConfigValue("BL_UseSpecialDiscount", useSpecial);
        SetConfigValue("BL_Discount", discount);
        SetConfigValue("BL_Copies", copies);
        SetConfigValue("BL_PrintBack", printBack);
        accept();
    });
}

void frmBLConfig::imgReader_Click() {
    // The reader's installer is a Windows program: there is nothing here to install it with.
    SetMousePointer(this, kPointerHourglass);
    SetMousePointer(this, kPointerArrow);
    PlatformMessageBox(
        QStringLiteral("The installation file(s) for Acrobat Reader\n"
                       "are not available in this diskette version\n"
                       "of Norvale Fretlyn2007.  You can find the\n"
                       "files you need on Adobe's website.\n"
                       "On this system, install a PDF viewer from its software packages "
                       "instead."),
        kMbInformation, QStringLiteral("Sorry!"));
}

bool frmBLConfig::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtBLCopies) {
        if (DropsNonDigitKey(event, true)) return true;
        if (event->type() == QEvent::FocusIn)
            SelectStartOnFocus(txtBLCopies, int(txtBLCopies->text().trimmed().size()));
    }
    return QDialog::eventFilter(watched, event);
}

frmBLConfig* BLConfigWindow() {
    return HeldWindow<frmBLConfig>::Get();
}

void ShowBLConfigWindow() {
    HeldWindow<frmBLConfig>::Show();
}

void DestroyBLConfigWindow() {
    HeldWindow<frmBLConfig>::Destroy();
}
