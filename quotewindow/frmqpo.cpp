#include "frmqpo.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "chargepass.h"
#include "commodity.h"
#include "displayquote.h"
#include "geography.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "lanes.h"
#include "listfit.h"
#include "msgbox.h"
#include "quotecharges.h"
#include "quotediscount.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"
#include "twips.h"
#include "windowkeys.h"

namespace {

frmQPO* gQuoteWindow = nullptr;
std::function<void(frmQPO&)> gShow;
QuoteWindowHooks gHooks;

// Colours of the window.
const QColor kWindowBackground(255, 255, 255);
const QColor kMenuBackground(120, 150, 200);
const QColor kDivider(50, 70, 132);
const QColor kOfferText(27, 86, 167);
const QColor kStripe(242, 246, 252);

// The accessorial list's design place and size, in twips; it slides open from here.
const QRect kAccListDesign(120, 840, 1125, 300);
// The list opens under the "Accessorials" label, a little lower than it was designed.
constexpr int kAccListDrop = 20;

QFont VerdanaPixelFont(int pixels, bool bold) {
    QFont f;
    f.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("Liberation Sans")});
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QFont CourierFont(int pixels) {
    QFont f;
    f.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                   QStringLiteral("DejaVu Sans Mono")});
    f.setStyleHint(QFont::Monospace);
    f.setPixelSize(pixels);
    f.setBold(true);
    return f;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

const std::string kFiveBlanks = "     ";

// A box's text and its background together: a box that set only one would take the other from
// the desktop's palette, which may be as dark as the text.
void SetBoxColors(QWidget* w, const QColor& text, const QColor& background) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Base, background);
    w->setPalette(pal);
}

// A box too narrow for its text takes a smaller face rather than hide the text's end.
void FitTextToBox(QLineEdit* box) {
    constexpr int kBoxTextPixels = 13;
    constexpr int kSmallestPixels = 9;
    constexpr int kTextMargins = 8;  // the frame and margins the box keeps around its text
    QFont f = box->font();
    f.setPixelSize(kBoxTextPixels);
    const int room = box->contentsRect().width() - kTextMargins;
    while (f.pixelSize() > kSmallestPixels && QFontMetrics(f).horizontalAdvance(box->text()) > room)
        f.setPixelSize(f.pixelSize() - 1);
    box->setFont(f);
}

// The gap of ten blanks in a discount caption, where the percentage box stands.
const QString kPercentGap(10, QLatin1Char(' '));

}  // namespace

void SetQuoteWindowHooks(QuoteWindowHooks hooks) {
    gHooks = std::move(hooks);
}

// --------------------------------------------------------------------------- the sheet

QuoteSheetView::QuoteSheetView(QWidget* parent) : QWidget(parent) {
    setObjectName("sheet");
    setFont(VerdanaPixelFont(13, true));
    SetBackgroundColor(this, kWindowBackground);
    Refresh();
}

int QuoteSheetView::LineCount() const {
    return std::max(kQuoteDesignLines, static_cast<int>(quote.Lines().size()));
}

void QuoteSheetView::Refresh() {
    setFixedSize(kWidth, LineCount() * kLineHeight);
    update();
}

QRect QuoteSheetView::DiscountBox(int line) const {
    const QFontMetrics fm(font());
    const int top = line * kLineHeight;
    const int boxWidth = fm.horizontalAdvance(QStringLiteral("99.9")) + 12;
    int gapLeft = kWeightRight - boxWidth;
    int gapWidth = boxWidth;
    if (line >= 0 && static_cast<size_t>(line) < quote.Lines().size()) {
        const QString caption = Q(quote.Lines()[static_cast<size_t>(line)].rate.text);
        const qsizetype at = caption.indexOf(kPercentGap);
        if (at >= 0) {
            const QString after = caption.mid(at + kPercentGap.size());
            gapWidth = fm.horizontalAdvance(kPercentGap);
            gapLeft = kRateRight - fm.horizontalAdvance(after) - gapWidth;
        }
    }
    const int width = std::max(gapWidth, boxWidth);
    return QRect(gapLeft + (gapWidth - width) / 2, top, width, kLineHeight);
}

void QuoteSheetView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setFont(font());
    const QRect dirty = event->rect();
    const auto& lines = quote.Lines();
    const int count = LineCount();
    for (int n = 0; n < count; ++n) {
        const int top = n * kLineHeight;
        if (top > dirty.bottom() || top + kLineHeight < dirty.top()) continue;
        if (n % 2 == 1) p.fillRect(0, top, kWidth, kLineHeight, kStripe);
        if (static_cast<size_t>(n) >= lines.size()) continue;
        const QuoteLine& line = lines[static_cast<size_t>(n)];
        auto draw = [&](const QuoteCell& cell, int left, int right, Qt::Alignment align) {
            if (cell.text.empty()) return;
            p.setPen(ColorFromValue(cell.color));
            p.drawText(QRect(left, top, right - left, kLineHeight),
                       align | Qt::AlignVCenter | Qt::TextDontClip, Q(cell.text));
        };
        if (line.classMovedLeft)
            draw(line.cls, 2, kWeightRight, Qt::AlignLeft);
        else if (line.classLeftAligned)
            draw(line.cls, 18, kWeightRight, Qt::AlignLeft);
        else
            draw(line.cls, 0, kClassRight, Qt::AlignHCenter);
        draw(line.weight, 0, kWeightRight, Qt::AlignRight);
        draw(line.rate, 0, kRateRight, Qt::AlignRight);
        draw(line.charge, 0, kChargeRight, Qt::AlignRight);
    }
}

// --------------------------------------------------------------------------- the window

frmQPO::frmQPO(QWidget* parent) : QDialog(parent) {
    gQuoteWindow = this;
    setObjectName("frmQPO");
    setWindowTitle("Fretlyn2007");
    BuildControls();
    highlighter_ = new LabelHighlighter(this, kHiliteWhite);
    highlighter_->AddBackground(picMenu);
    highlighter_->AddBackground(sheet);
    highlighter_->AddBackground(Image1);
    highlighter_->WireLabels();
}

frmQPO::~frmQPO() {
    if (gQuoteWindow == this) gQuoteWindow = nullptr;
}

void frmQPO::BuildControls() {
    setFixedSize(820, 600);
    SetBackgroundColor(this, kWindowBackground);
    const QFont lineFont = VerdanaPixelFont(13, true);
    const QFont menuFont = VerdanaPixelFont(16, true);
    setFont(VerdanaPixelFont(13, false));

    picMenu = new QWidget(this);
    picMenu->setObjectName("picMenu");
    picMenu->setGeometry(0, 0, 150, 600);
    SetBackgroundColor(picMenu, kMenuBackground);

    auto label = [&](QWidget* parent, const char* name, const QString& text, QRect at,
                     const QFont& font) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(name);
        l->setGeometry(at);
        l->setFont(font);
        SetLabelForeColor(l, kColorBlack);
        return l;
    };
    auto menu = [&](const char* name, const QString& text, int top, const QString& tip) {
        auto* l = new LabelButton(text, picMenu);
        l->setObjectName(name);
        l->setGeometry(14, top, 130, 24);
        l->setFont(menuFont);
        l->SetForeColor(kColorBlack);
        l->setToolTip(tip);
        return l;
    };
    auto box = [&](const char* name, QRect at) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setGeometry(at);
        e->setReadOnly(true);
        e->setFont(VerdanaPixelFont(13, true));
        e->setFocusPolicy(Qt::NoFocus);
        return e;
    };

    mlblTools = label(picMenu, "mlblTools", "Tools", QRect(14, 12, 130, 24), menuFont);
    mlblAccess =
        menu("mlblAccess", "Accessorials", 52, "  Apply Accessorial charges to this bill only  ");
    mlblCDNExch =
        menu("mlblCDNExch", "Canadian $", 84, "  Display the net charges in Candian funds  ");
    mlblDiscounts = menu("mlblDiscounts", "Discounts", 116, "  Go to the Discounts page  ");
    mlblRates = menu("mlblRates", "Rate Table", 148, "  Display a rate sheet for this move  ");
    mlblPrint = menu("mlblPrint", "Print Bill", 180, "  Print this bill  ");
    mlblDone = menu("mlblDone", "Done", 212, "  Back to main page  ");

    // The two ends one above the other, each with room for the longest "City, ST" and its code
    // (a Hawaii base or a Quebec town runs to some forty letters).
    lblorigin = label(this, "lblorigin", "Origin", QRect(166, 4, 96, 26), lineFont);
    lbldestination = label(this, "lbldestination", "Destination", QRect(166, 34, 96, 26), lineFont);
    lblRatesEff = label(this, "lblRatesEff", "Rates effective", QRect(684, 8, 126, 18), lineFont);
    txtOriginZip = box("txtOriginZip", QRect(262, 4, 410, 26));
    txtDestZip = box("txtDestZip", QRect(262, 34, 410, 26));
    txtEffDate = box("txtEffDate", QRect(684, 34, 126, 26));

    Line1 = new QFrame(this);
    Line1->setObjectName("Line1");
    Line1->setGeometry(166, 64, QuoteSheetView::kWidth, 2);

    // The headings stand over their columns: the class centred, the amounts right-aligned.
    const int sheetLeft = 166;
    auto heading = [&](const char* name, const QString& text, int right, Qt::Alignment align) {
        auto* l = label(this, name, text, QRect(sheetLeft + right - 110, 70, 110, 20), lineFont);
        l->setAlignment(align | Qt::AlignVCenter);
        return l;
    };
    lblClassHdl = heading("lblClassHdl", "Class", QuoteSheetView::kClassRight, Qt::AlignHCenter);
    lblWeightHdl = heading("lblWeightHdl", "Weight", QuoteSheetView::kWeightRight, Qt::AlignRight);
    lblRateHdl = heading("lblRateHdl", "Rate", QuoteSheetView::kRateRight, Qt::AlignRight);
    lblChargeHdl = heading("lblChargeHdl", "Charge", QuoteSheetView::kChargeRight, Qt::AlignRight);
    lblClassHdl->setGeometry(sheetLeft + 5, 70, 110, 20);

    sheetArea = new QScrollArea(this);
    sheetArea->setObjectName("sheetArea");
    sheetArea->setGeometry(sheetLeft, 92, 648, kQuoteDesignLines * QuoteSheetView::kLineHeight + 2);
    sheetArea->setFrameShape(QFrame::NoFrame);
    sheetArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sheetArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    sheetArea->setWidgetResizable(false);
    sheet = new QuoteSheetView;
    sheetArea->setWidget(sheet);

    txtChgDisc = new QLineEdit(sheet);
    txtChgDisc->setObjectName("txtChgDisc");
    txtChgDisc->setReadOnly(true);
    txtChgDisc->setAlignment(Qt::AlignCenter);
    txtChgDisc->setFont(lineFont);
    // Tab reaches the percentage, and Enter or Space on it opens the discount dialog as a click
    // does.
    txtChgDisc->setFocusPolicy(Qt::TabFocus);
    txtChgDisc->setCursor(Qt::PointingHandCursor);
    txtChgDisc->setToolTip("Click to change the discount of this quote");
    // Its text and background both, as on the sheet it stands on, whatever the desktop's palette.
    txtChgDisc->setStyleSheet(
        "QLineEdit { border: 1px solid rgb(50,70,132); background: white; color: black; "
        "padding: 0; }");
    txtChgDisc->hide();

    Line2 = new QFrame(this);
    Line2->setObjectName("Line2");
    Line2->setGeometry(166, 424, QuoteSheetView::kWidth, 2);

    mlblService = label(this, "mlblService",
                        "Norvale  Freight Service Standard:", QRect(166, 432, 300, 36), lineFont);
    mlblDefServ = label(this, "mlblDefServ",
                        "Thriftlane Service Standard:", QRect(476, 432, 334, 36), lineFont);
    mlblDefServ->hide();

    auto offer = [&](const char* name, int top) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setGeometry(166, top, 644, 20);
        l->setFont(CourierFont(13));
        SetLabelForeColor(l, ValueFromColor(kOfferText));
        return l;
    };
    qmrqQPO1 = offer("qmrqQPO1", 478);
    qmrqQPO2 = offer("qmrqQPO2", 500);
    qmrqQPO3 = offer("qmrqQPO3", 522);

    lblGuarantee = label(this, "lblGuarantee", "Thank you for choosing ", QRect(166, 562, 200, 24),
                         VerdanaPixelFont(13, false));
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(345, 556, 300, 34);
    Image1->setTextFormat(Qt::RichText);
    Image1->setText(
        "<span style=\"font-family:'DejaVu Serif',serif; font-size:22px; font-weight:bold; "
        "font-style:italic; color:rgb(50,70,132);\">Norvale</span>"
        "<span style=\"font-family:'DejaVu Sans',sans-serif; font-size:15px; font-weight:bold; "
        "color:rgb(27,86,167);\">&nbsp;FREIGHT</span>");

    lstAccessorials = new QListWidget(this);
    lstAccessorials->setObjectName("lstAccessorials");
    lstAccessorials->setSelectionMode(QAbstractItemView::SingleSelection);
    lstAccessorials->setFont(VerdanaPixelFont(13, false));
    lstAccessorials->setStyleSheet("QListWidget { border: 1px solid rgb(50,70,132); }");
    accListTwips = kAccListDesign;
    PlaceAccessorialList();
    lstAccessorials->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(25);

    // Every command may read or write the tariff database: its errors become messages.
    auto guarded = [this](void (frmQPO::*handler)()) {
        return [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); };
    };
    connect(mlblAccess, &LabelButton::clicked, this, guarded(&frmQPO::mlblAccess_Click));
    connect(mlblCDNExch, &LabelButton::clicked, this, guarded(&frmQPO::mlblCDNExch_Click));
    connect(mlblDiscounts, &LabelButton::clicked, this, guarded(&frmQPO::mlblDiscounts_Click));
    connect(mlblRates, &LabelButton::clicked, this, guarded(&frmQPO::mlblRates_Click));
    connect(mlblPrint, &LabelButton::clicked, this, guarded(&frmQPO::mlblPrint_Click));
    connect(mlblDone, &LabelButton::clicked, this, [this] { DoneAtomically(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(lstAccessorials, &QListWidget::itemSelectionChanged, this, [this] {
        if (!quietList_) AccessorialClickAtomically();
    });
    // Keys pressed anywhere in the window reach it first, as the Alt key must.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    // Every command is reachable with Tab; Enter elsewhere is Done, Escape the close box (Done).
    for (LabelButton* command :
         {mlblAccess, mlblCDNExch, mlblDiscounts, mlblRates, mlblPrint, mlblDone})
        MakeKeyboardReachable(command);
    InstallWindowKeys(this, mlblDone);
}

void frmQPO::Form_Load() {
    FillQuoteHeader();
    quoteDiscount.gChgDiscClicked = false;
    quoteDiscount.gDiscChanged = false;
    for (QFrame* line : {Line1, Line2}) {
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Plain);
        line->setLineWidth(2);
        QPalette pal = line->palette();
        pal.setColor(QPalette::WindowText, kDivider);
        line->setPalette(pal);
    }
    highlighter_->SetLastHiliteLabel("nothing");
    for (QLabel* offer : {qmrqQPO1, qmrqQPO2, qmrqQPO3}) {
        SetLabelForeColor(offer, ValueFromColor(kOfferText));
        offer->show();
    }
    DrawQuote();
}

void frmQPO::DrawQuote() {
    txtOriginZip->setText(Q(quote.txtOriginZip));
    txtDestZip->setText(Q(quote.txtDestZip));
    txtEffDate->setText(Q(quote.txtEffDate));
    for (QLineEdit* end : {txtOriginZip, txtDestZip})
        SetBoxColors(end, ColorFromValue(quote.zipColor), kWindowBackground);
    SetBoxColors(txtEffDate, Qt::black, kWindowBackground);
    for (QLineEdit* box : {txtOriginZip, txtDestZip, txtEffDate}) {
        FitTextToBox(box);
        box->setCursorPosition(0);
    }

    mlblService->setText(Q(quote.mlblService));
    mlblDefServ->setText(Q(quote.mlblDefServ));
    mlblDefServ->setVisible(!quote.mlblDefServ.empty());
    qmrqQPO1->setText(Q(quote.qmrqQPO1));
    qmrqQPO2->setText(Q(quote.qmrqQPO2));
    qmrqQPO3->setText(Q(quote.qmrqQPO3));
    for (QLabel* offer : {qmrqQPO1, qmrqQPO2, qmrqQPO3}) offer->setVisible(quote.marqueeVisible);
    // The rate table knows no offshore lanes.
    mlblRates->setEnabled(!IsOffshoreZip(rating.gOffshoreDestZip));

    sheet->Refresh();
    PlaceDiscountBox();
}

void frmQPO::PrepareToShow() {
    outcome_ = Outcome::Open;
    // A window hidden for the discount editor comes back with the next shipment, whose
    // destination decides what the list offers: it is filled again when next opened.
    Timer1->stop();
    lstAccessorials->hide();
    quietList_ = true;
    lstAccessorials->clear();
    quietList_ = false;
    DrawQuote();
    // Enter on a quote just shown closes it, as Done does.
    mlblDone->setFocus();
}

void frmQPO::PlaceDiscountBox() {
    if (quote.chgDiscLine < 0) {
        txtChgDisc->hide();
        return;
    }
    txtChgDisc->setText(Q(quote.txtChgDisc));
    txtChgDisc->setGeometry(sheet->DiscountBox(quote.chgDiscLine));
    txtChgDisc->show();
}

void frmQPO::PlaceAccessorialList() {
    lstAccessorials->setGeometry(
        TwipsToPixels(accListTwips.left()), TwipsToPixels(accListTwips.top()) + kAccListDrop,
        TwipsToPixels(accListTwips.width()), TwipsToPixels(accListTwips.height()));
}

void frmQPO::Form_Click() {
    if (lstAccessorials->isVisible()) lstAccessorials->hide();
}

void frmQPO::mousePressEvent(QMouseEvent* event) {
    Form_Click();
    QDialog::mousePressEvent(event);
}

// --------------------------------------------------------------------------- accessorials

void frmQPO::mlblAccess_Click() {
    if (lstAccessorials->isVisible()) return;
    // Each opening slides from the design size, so a list opened again is no larger.
    accListTwips = kAccListDesign;
    PlaceAccessorialList();
    lstAccessorials->show();
    lstAccessorials->raise();
    Timer1->start(25);
    if (lstAccessorials->count() == 0) FillAccessorialList();
    quietList_ = true;
    lstAccessorials->clearSelection();
    quietList_ = false;
    // The arrows walk the list and Enter chooses (see eventFilter).
    lstAccessorials->setFocus();
}

void frmQPO::FillAccessorialList() {
    const bool offshore = IsOffshoreZip(rating.gOffshoreDestZip);
    Recordset& rs = *tariff.rsAccessorials;
    quietList_ = true;
    for (rs.MoveFirst(); !rs.AtEOF(); rs.MoveNext()) {
        const std::string name = rs.Field("Name").str();
        // The high-cost region surcharge is never chosen; guaranteed service does not reach
        // offshore points.
        if (StartsWith(name, "HCDR")) continue;
        if (offshore && StartsWith(name, "Norvale")) continue;
        lstAccessorials->addItem(Q(name));
    }
    quietList_ = false;
}

void frmQPO::Timer1_Timer() {
    accListTwips.setHeight(accListTwips.height() + 270);
    accListTwips.setWidth(accListTwips.width() + 400);
    if (accListTwips.height() > 2200) {
        accListTwips.setHeight(accListTwips.height() - 100);
        Timer1->stop();
    }
    PlaceAccessorialList();
    if (!Timer1->isActive()) GrowToShowEveryItem(lstAccessorials);
}

void frmQPO::RefuseAccessorial(const std::string& text, int item) {
    ShowMessage(Q(text + " "), kMsgOK, QStringLiteral("Service not Available"));
    quietList_ = true;
    if (QListWidgetItem* it = lstAccessorials->item(item)) it->setSelected(false);
    quietList_ = false;
}

// The list holds one choice at a time: each accepted choice closes the window and rates again,
// and a refused one is taken back. So the rules apply to the item just clicked.
void frmQPO::lstAccessorials_Click() {
    const QList<QListWidgetItem*> chosen = lstAccessorials->selectedItems();
    if (chosen.isEmpty()) return;
    const int item = lstAccessorials->row(chosen.front());
    const std::string T = chosen.front()->text().toStdString();
    rating.gPXSPass = false;

    Recordset& rs = *tariff.rsAccessorials2;
    if (lstAccessorials->item(0)->isSelected()) {
        rs.Seek("=", {lstAccessorials->item(0)->text().toStdString()});
        if (!rs.NoMatch() && !StoredChoice(rs)) commodityLines.gAskCODAmount = true;
    }

    const CommodityLines& main = commodityLines;
    bool markTempOn = true;
    if (T == "Norvale GUARANTEED!") {
        if (main.gAccLiftgate || rating.gQAccLiftgate)
            return RefuseAccessorial("Cannot Guarantee a Liftgate shipment. ", item);
        if (main.gAccThriftlane || rating.gQAccThriftlane)
            return RefuseAccessorial("Cannot Guarantee a Thriftlane shipment. ", item);
        if (main.gAccHazardous || rating.gQAccHazardous)
            return RefuseAccessorial("Cannot Guarantee a Hazardous materials shipment. ", item);
        if (tariff.gOrigZip == kFiveBlanks || tariff.gDestZip == kFiveBlanks ||
            !IsDirectPoint(tariff.gOrigZip, tariff.gDestZip))
            return RefuseAccessorial("Cannot Guarantee, not direct points ", item);
        rating.gQAccGuaranteed = true;
    } else if (T == "Liftgate service") {
        if (main.gAccGuaranteed || rating.gQAccGuaranteed)
            return RefuseAccessorial("Cannot add a Liftgate to a Guaranteed shipment. ", item);
        rating.gQAccLiftgate = true;
    } else if (T == "Hazardous materials") {
        if (main.gAccGuaranteed || rating.gQAccGuaranteed)
            return RefuseAccessorial("Cannot add Hazardous materials to a Guaranteed shipment. ",
                                     item);
        if (main.gAccThriftlane || rating.gQAccThriftlane)
            return RefuseAccessorial("Cannot add Hazardous materials to a Thriftlane shipment. ",
                                     item);
        rating.gQAccHazardous = true;
    } else if (T == "Thriftlane") {
        const std::string dest =
            IsOffshoreZip(rating.gOffshoreDestZip) ? rating.gOffshoreDestZip : tariff.gDestZip;
        if (!GetPXSStandard(tariff.gOrigZip, dest, rating.gPXSDays))
            return RefuseAccessorial("Not a valid Thriftlane Lane ", item);
        if (main.gAccHazardous || rating.gQAccHazardous)
            return RefuseAccessorial("Cannot add Thriftlane to a Hazardous materials shipment. ",
                                     item);
        // Chosen already (here or on the main window): rated again as it stands.
        markTempOn = !main.gAccThriftlane && !rating.gQAccThriftlane;
        if (markTempOn) rating.gQAccThriftlane = true;
    } else {
        if (T == "Inside pickup and delivery") rating.gQAccInside = true;
        if (T == "Residential delivery") rating.gQAccResidential = true;
    }

    if (markTempOn) {
        rs.Seek("=", {T});
        if (!rs.NoMatch()) {
            rs.Edit();
            rs.SetField("temp on", 1);
            rs.Update();
        }
    }
    Unload(Outcome::Rerate);
}

// --------------------------------------------------------------------------- commands

void frmQPO::mlblCDNExch_Click() {
    if (quoteDisplay.CdnLineShown) return;
    try {
        tariff.gExchangeRate = CheckedConfigText(kExchangeRateSetting);
    } catch (const SettingError& e) {
        // Read as zero it would be taken for an unset rate; the user sets it again instead.
        ShowMessage(QString::fromStdString(e.what()), kMsgOK,
                    QStringLiteral("Canadian Exchange Rate"));
        if (gHooks.cdnRateDialog) gHooks.cdnRateDialog();
        return;
    }
    if (IsIntraCanada()) {
        ShowMessage(QStringLiteral("This price is in Canadian dollars.  Cannot convert to "
                                   "Canadian dollars."),
                    kMsgOK, QStringLiteral("Conversion Error"));
        return;
    }
    const double r = Val(tariff.gExchangeRate);
    // A rate below par is a real rate (the Canadian dollar has stood above the U.S. dollar);
    // only the untouched par value and nonsense ask for a rate.
    if (r <= 0 || r == 1.0) {
        ShowMessage(QStringLiteral("The Canadian exchange rate is set at par.  Would you like "
                                   "to set it?"),
                    kMsgQuestion, QStringLiteral("No Exchange Rate set"));
        if (messages.gMsgAnswer == kMsgYes && gHooks.cdnRateDialog) gHooks.cdnRateDialog();
        return;
    }
    // The total as shown, in whole cents; the product is worked out in double and rounded
    // once. A Single holds a total above $65,536 only to 1/128 of a dollar, and a rate such as
    // 1.0500 only as 1.04999995: either would put the converted amount a cent off.
    const double amount = ShownAmount(quoteDisplay.shownTotal) * r;
    ++quote.gQuoteLine;
    QuoteLine& line = quote.Line(quote.gQuoteLine);
    line.rate.text = "Charges in Canadian Funds at exchange rate of " + tariff.gExchangeRate;
    line.charge.text = Format(amount, kQuoteMoney);
    quoteDisplay.CdnLineShown = true;
    DrawQuote();
    sheetArea->ensureVisible(0, (quote.gQuoteLine + 1) * QuoteSheetView::kLineHeight, 0, 0);
}

void frmQPO::txtChgDisc_Click() {
    txtChgDisc->setSelection(0, 4);
    quoteDiscount.gChgDiscClicked = true;
    if (gHooks.changeDiscount) gHooks.changeDiscount();
    // A confirmed discount has written a new quote.
    if (!IsUnloaded()) DrawQuote();
}

void frmQPO::mlblDiscounts_Click() {
    // With no editor to open, hiding the quote would only lose it.
    if (!gHooks.discountsEditor) return;
    Unload(Outcome::Hidden);
    // Counted in full: a customer with hundreds of shipping locations still has some.
    const bool hasShipLocations = tariff.rsShipzips->RecordCount() > 0;
    gHooks.discountsEditor(hasShipLocations);
}

void frmQPO::mlblRates_Click() {
    if (gHooks.rateTable) gHooks.rateTable();
}

void frmQPO::mlblPrint_Click() {
    if (gHooks.print) gHooks.print();
}

void frmQPO::mlblDone_Click() {
    ClearQuoteOnlyAccessorials();
    Unload(Outcome::Done);
}

void frmQPO::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const auto others = Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier;
    if (key == Qt::Key_Alt && !(modifiers & others)) mlblDone_Click();
}

void frmQPO::reject() {
    if (!IsUnloaded()) DoneAtomically();
}

void frmQPO::DoneAtomically() {
    RunHandlerAtomically([this] { mlblDone_Click(); });
}

// A choice the database refuses to mark is taken back whole: the quote's flags as they were,
// nothing marked, the window open on the same quote.
void frmQPO::AccessorialClickAtomically() {
    const RatingState flags = rating;
    const bool askCOD = commodityLines.gAskCODAmount;
    RunHandlerAtomically([this] { lstAccessorials_Click(); },
                         [&] {
                             rating = flags;
                             commodityLines.gAskCODAmount = askCOD;
                             quietList_ = true;
                             lstAccessorials->clearSelection();
                             quietList_ = false;
                         });
}

void frmQPO::Unload(Outcome how) {
    outcome_ = how;
    Timer1->stop();
    if (how == Outcome::Hidden)
        hide();
    else
        done(QDialog::Rejected);
}

bool frmQPO::eventFilter(QObject* watched, QEvent* event) {
    // Done on the release of an Alt pressed alone: on its press the window would close under
    // the key that may follow, which would go on to the main window.
    switch (altKey_.Read(event)) {
        case AltAloneKey::Seen::AltAlone:
            RunHandlerAtomically([this] { Form_KeyDown(Qt::Key_Alt, Qt::AltModifier); });
            return true;
        case AltAloneKey::Seen::AltKey:
            return true;
        case AltAloneKey::Seen::Other:
            break;
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            // Alt with another key (Alt-R, Alt-F4) is no command here, and the key is not typed.
            if (key->modifiers() & Qt::AltModifier) return true;
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                               key->key() == Qt::Key_Space;
            if (watched == txtChgDisc && enter) {
                RunHandler([this] { txtChgDisc_Click(); });
                return true;
            }
            if (watched == lstAccessorials && AccessorialListKey(*key)) return true;
            break;
        }
        case QEvent::MouseButtonPress:
            if (watched == txtChgDisc) {
                RunHandler([this] { txtChgDisc_Click(); });
                return true;
            }
            if (watched == picMenu || watched == sheet || watched == Image1) Form_Click();
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

// Choosing a service rates at once, so the keyboard walks the list without choosing: the arrows
// and typing move the current item only, and Enter or Space chooses it.
bool frmQPO::AccessorialListKey(const QKeyEvent& event) {
    const int count = lstAccessorials->count();
    if (count == 0) return false;
    const int key = event.key();
    const QString text = event.text();
    if (key != Qt::Key_Space && !text.isEmpty() && text.at(0).isPrint()) {
        // The list's own search would choose the service it lands on.
        quietList_ = true;
        lstAccessorials->keyboardSearch(text);
        lstAccessorials->clearSelection();
        quietList_ = false;
        return true;
    }
    const int at = lstAccessorials->currentRow();
    int next = at;
    switch (key) {
        case Qt::Key_Down:
            next = at < 0 ? 0 : std::min(at + 1, count - 1);
            break;
        case Qt::Key_Up:
            next = at < 0 ? 0 : std::max(at - 1, 0);
            break;
        case Qt::Key_Home:
            next = 0;
            break;
        case Qt::Key_End:
            next = count - 1;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (at >= 0) lstAccessorials->item(at)->setSelected(true);
            return true;
        default:
            return false;
    }
    lstAccessorials->selectionModel()->setCurrentIndex(lstAccessorials->model()->index(next, 0),
                                                       QItemSelectionModel::NoUpdate);
    return true;
}

// --------------------------------------------------------------------------- the one window

frmQPO* QuoteWindow() {
    if (gQuoteWindow && gQuoteWindow->IsUnloaded()) UnloadQuoteWindow();
    if (!gQuoteWindow) {
        auto* window = new frmQPO;
        window->Form_Load();
    }
    return gQuoteWindow;
}

frmQPO* LoadedQuoteWindow() {
    return gQuoteWindow && !gQuoteWindow->IsUnloaded() ? gQuoteWindow : nullptr;
}

void UnloadQuoteWindow() {
    delete gQuoteWindow;
}

void SetQuoteWindowShow(std::function<void(frmQPO&)> show) {
    gShow = std::move(show);
}

void ShowQuoteWindowModally(const std::function<void()>& rerate) {
    QPointer<frmQPO> window = QuoteWindow();
    window->PrepareToShow();
    if (gShow)
        gShow(*window);
    else
        ExecModal(*window);
    // A window deleted meanwhile has been replaced by a newer quote, which is its own business.
    if (window) ActOnQuoteWindowOutcome(rerate);
}

void ActOnQuoteWindowOutcome(const std::function<void()>& rerate) {
    if (!gQuoteWindow) return;
    switch (gQuoteWindow->outcome()) {
        case frmQPO::Outcome::Done:
            UnloadQuoteWindow();
            break;
        case frmQPO::Outcome::Rerate:
            // The window is gone before the new rating, which shows a window of its own.
            UnloadQuoteWindow();
            if (rerate)
                rerate();
            else
                RateShipment();
            // A rating refused shows no quote: the services and the discount chosen for the one
            // before go with it, rather than into the next request from the main window.
            if (!LoadedQuoteWindow()) ClearQuoteOnlyAccessorials();
            break;
        case frmQPO::Outcome::Hidden:
            // The services added for this quote go with it: the next rating is a new request
            // from the main window and charges only what that window chose.
            ClearQuoteOnlyAccessorials();
            break;
        case frmQPO::Outcome::Open:
            break;
    }
}

void InstallQuoteWindow() {
    // The quote is written inside the rating's read transaction; the window, which waits for
    // the user, shows after it has let go of the database.
    SetQuoteDisplayHook([] { DisplayQuote(0); }, [] { ShowQuoteWindowModally(); });
}
