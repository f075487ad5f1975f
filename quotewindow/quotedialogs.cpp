#include "quotedialogs.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QShowEvent>
#include <exception>
#include <iterator>

#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "maskededit.h"
#include "msgbox.h"
#include "quotecharges.h"
#include "quotedialogforms.h"
#include "quotediscount.h"
#include "quotesheet.h"
#include "settings.h"
#include "tariffdb.h"
#include "twips.h"
#include "windowkeys.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
const char* const kExchangeRateKey = "CDN_ExchangeRate";

QuoteDialogRunner& Runner() {
    static QuoteDialogRunner runner;
    return runner;
}

std::function<void()>& ExchangeRatePageOpener() {
    static std::function<void()> opener;
    return opener;
}

void RunModal(QDialog& dialog) {
    if (Runner())
        Runner()(dialog);
    else
        ExecModal(dialog);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& where,
                  const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(where);
    label->setFont(font);
    SetLabelForeColor(label, kColorBlack);
    return label;
}

LabelButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QRect& where,
                        const QFont& font) {
    auto* label = new LabelButton(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(where);
    label->setFont(font);
    label->SetForeColor(kColorBlack);
    return label;
}

MaskedEdit* MakeMaskedBox(QWidget* parent, const char* name, const QString& mask,
                          const QRect& where) {
    auto* box = new MaskedEdit(mask, QLatin1Char('_'), parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(where);
    box->setFont(VerdanaFont(11, true));
    return box;
}

void MakeWhite(QWidget* dialog) {
    SetBackgroundColor(dialog, ColorFromValue(kWhite));
}

// Highlights a label in blue on every move over it; a move over the dialog shows the arrow.
// Enter does what Done does; Escape closes the dialog as its close box does, changing nothing.
LabelHighlighter* WireLabels(QDialog* dialog, LabelButton* done) {
    InstallWindowKeys(dialog, done);
    auto* highlighter = new LabelHighlighter(dialog, kHiliteBlue);
    highlighter->SetOncePerEntry(false);
    highlighter->SetBackgroundPointer(kPointerArrow);
    highlighter->WireLabels();
    return highlighter;
}

// Small flags beside the exchange rate, drawn rather than shipped as pictures.
QPixmap UsFlag(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    const double stripe = size.height() / 13.0;
    for (int i = 0; i < 13; i += 2)
        painter.fillRect(QRectF(0, i * stripe, size.width(), stripe), QColor(178, 34, 52));
    painter.fillRect(QRectF(0, 0, size.width() * 0.4, 7 * stripe), QColor(60, 59, 110));
    return pixmap;
}

QPixmap CanadianFlag(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    const QColor red(216, 6, 33);
    const double band = size.width() / 4.0;
    painter.fillRect(QRectF(0, 0, band, size.height()), red);
    painter.fillRect(QRectF(size.width() - band, 0, band, size.height()), red);
    // A stylised maple leaf: half its outline, mirrored, on a unit square about its centre.
    static constexpr double kHalfLeaf[][2] = {
        {0.00, -1.00}, {0.18, -0.62}, {0.38, -0.72}, {0.30, -0.20}, {0.62, -0.50},
        {0.68, -0.36}, {0.95, -0.42}, {0.82, -0.10}, {0.95, 0.00},  {0.50, 0.35},
        {0.56, 0.52},  {0.06, 0.45},  {0.06, 0.95}};
    const double radius = size.height() * 0.42;
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    QPolygonF leaf;
    for (const auto& p : kHalfLeaf) leaf << centre + QPointF(p[0], p[1]) * radius;
    for (int i = static_cast<int>(std::size(kHalfLeaf)) - 1; i > 0; --i)
        leaf << centre + QPointF(-kHalfLeaf[i][0], kHalfLeaf[i][1]) * radius;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(red);
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(leaf);
    return pixmap;
}

}  // namespace

// --- frmCdnRate

frmCdnRate::frmCdnRate(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCdnRate"));
    setWindowTitle(QStringLiteral("Canadian Exchange Rate"));
    setModal(true);
    setFixedSize(TwipsRect(0, 0, 6000, 2700).size());
    // Its labels are black, so the dialog is white on any desktop.
    MakeWhite(this);
    const QFont text = VerdanaFont(9.75, true);

    imgUSFlag = MakeLabel(this, "imgUSFlag", QString(), TwipsRect(240, 300, 720, 480), text);
    imgUSFlag->setPixmap(UsFlag(imgUSFlag->size()));
    Label1 = MakeLabel(this, "Label1", QStringLiteral("One U.S. dollar equals"),
                       TwipsRect(1080, 360, 3000, 360), text);
    mskCdnRate = MakeMaskedBox(this, "mskCdnRate", QStringLiteral("#.####"),
                               TwipsRect(1080, 900, 1200, 390));
    Label2 = MakeLabel(this, "Label2", QStringLiteral("Canadian dollars"),
                       TwipsRect(2400, 930, 2400, 360), text);
    imgCdnFlag = MakeLabel(this, "imgCdnFlag", QString(), TwipsRect(4800, 840, 960, 480), text);
    imgCdnFlag->setPixmap(CanadianFlag(imgCdnFlag->size()));
    lblExchFromWeb =
        MakeButton(this, "lblExchFromWeb",
                   QStringLiteral("Click here to get the exchange rate from our Website"),
                   TwipsRect(240, 1620, 5520, 360), VerdanaFont(9, false));
    lblDone = MakeButton(this, "lblDone", QStringLiteral("Done"), TwipsRect(4920, 2100, 840, 390),
                         VerdanaFont(12, true));

    connect(lblDone, &LabelButton::clicked, this,
            [this] { RunHandler([this] { lblDone_Click(); }); });
    connect(lblExchFromWeb, &LabelButton::clicked, this, &frmCdnRate::lblExchFromWeb_Click);
    highlighter_ = WireLabels(this, lblDone);
}

void frmCdnRate::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) RunHandler([this] { Form_Activate(); });
}

void frmCdnRate::Form_Activate() {
    LoadFormMouseIcon(this);
    tariff.gExchangeRate = GetConfigValue(kExchangeRateKey, "1");
    mskCdnRate->SetText(QString::fromStdString(ConfigTextToEdit(kExchangeRateSetting)));
    mskCdnRate->setFocus();
    mskCdnRate->SelectFromStart(static_cast<int>(mskCdnRate->Text().trimmed().size()));
}

void frmCdnRate::lblDone_Click() {
    // The rate as typed, without the places left empty: "1.05__" is stored as 1.05. An empty
    // box or a rate of 0 is no rate: stored, it would only be called damaged at the next
    // "Canadian $".
    const std::string typed = mskCdnRate->Value().toStdString();
    const std::string problem = SettingEntryProblem(kExchangeRateSetting, typed);
    if (!problem.empty()) {
        ShowMessage(QString::fromStdString(problem), kMsgOK,
                    QStringLiteral("Canadian Exchange Rate"));
        mskCdnRate->setFocus();
        return;
    }
    try {
        SetConfigValue(kExchangeRateKey, typed);
        tariff.gExchangeRate = typed;
    } catch (const std::exception& error) {
        // The rate was not kept; the quote window will ask for it again, so say why.
        ShowMessage(QString::fromStdString(error.what()), kMsgOK,
                    QStringLiteral("Canadian Exchange Rate"));
    }
    accept();
}

void frmCdnRate::lblExchFromWeb_Click() {
    if (ExchangeRatePageOpener()) ExchangeRatePageOpener()();
}

// --- frmChgDisc

frmChgDisc::frmChgDisc(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmChgDisc"));
    setWindowTitle(QStringLiteral("Discount"));
    setModal(true);
    setFixedSize(TwipsRect(0, 0, 4200, 2400).size());
    MakeWhite(this);

    Image1 = MakeLabel(this, "Image1", QString(), TwipsRect(240, 240, 480, 480), QFont());
    Label2 = MakeLabel(this, "Label2", QStringLiteral("Discount"), TwipsRect(960, 240, 3000, 420),
                       VerdanaFont(14, true));
    Label1 = MakeLabel(this, "Label1", QStringLiteral("Enter new discount %"),
                       TwipsRect(960, 840, 3000, 360), VerdanaFont(9.75, true));
    mskChgDisc =
        MakeMaskedBox(this, "mskChgDisc", QStringLiteral("##.#"), TwipsRect(960, 1320, 900, 390));
    mskChgDisc->SetNormalForm(PercentNormalForm);
    lblDone = MakeButton(this, "lblDone", QStringLiteral("Done"), TwipsRect(3120, 1800, 840, 390),
                         VerdanaFont(12, true));

    // A changed discount rates the quote again, which reads the tariff.
    connect(lblDone, &LabelButton::clicked, this,
            [this] { RunHandler([this] { lblDone_Click(); }); });
    highlighter_ = WireLabels(this, lblDone);
}

void frmChgDisc::lblDone_Click() {
    const std::string shownBefore = quote.txtChgDisc;
    // NN.N: the places left empty are not part of the percentage ("7_._" is 7 %).
    mskChgDisc->ShowNormalised();
    quote.txtChgDisc = PercentNormalForm(mskChgDisc->Value()).toStdString();
    quoteDiscount.gDiscChanged = true;
    accept();
    CheckQuoteDiscount(shownBefore);
}

// --- frmCOD

frmCOD::frmCOD(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCOD"));
    setWindowTitle(QStringLiteral("C. O. D."));
    setModal(true);
    setFixedSize(TwipsRect(0, 0, 4200, 2400).size());
    MakeWhite(this);

    Image1 = MakeLabel(this, "Image1", QString(), TwipsRect(240, 240, 480, 480), QFont());
    Label2 = MakeLabel(this, "Label2", QStringLiteral("C. O. D."), TwipsRect(960, 240, 3000, 420),
                       VerdanaFont(14, true));
    Label1 = MakeLabel(this, "Label1", QStringLiteral("Enter the C.O.D. amount"),
                       TwipsRect(960, 840, 3000, 360), VerdanaFont(9.75, true));
    mskCOD =
        MakeMaskedBox(this, "mskCOD", QStringLiteral("$999999"), TwipsRect(960, 1320, 1440, 390));
    lblDone = MakeButton(this, "lblDone", QStringLiteral("Done"), TwipsRect(3120, 1800, 840, 390),
                         VerdanaFont(12, true));

    connect(lblDone, &LabelButton::clicked, this, &frmCOD::lblDone_Click);
    highlighter_ = WireLabels(this, lblDone);
}

void frmCOD::lblDone_Click() {
    // Whole dollars as typed; an empty box is an amount of 0.
    charges.gChargeBasis = static_cast<Single>(Val(mskCOD->Value().toStdString()));
    accept();
}

// --- showing them

void SetQuoteDialogRunner(QuoteDialogRunner runner) {
    Runner() = std::move(runner);
}

void SetExchangeRatePageOpener(std::function<void()> opener) {
    ExchangeRatePageOpener() = std::move(opener);
}

void ShowCdnRateDialog(QWidget* parent) {
    frmCdnRate dialog(parent);
    RunModal(dialog);
}

void ShowChgDiscDialog(QWidget* parent) {
    frmChgDisc dialog(parent);
    RunModal(dialog);
}

void ShowCODDialog(QWidget* parent) {
    frmCOD dialog(parent);
    RunModal(dialog);
}

// The dialogs are declared in a header of their own, which the build would not look into.
#include "moc_quotedialogforms.cpp"
