#include "frmsimplediscount.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QTimer>

#include "discountstore.h"
#include "formkit.h"
#include "frmdiscwtbrks.h"
#include "frmsimplefak.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "msgbox.h"
#include "twips.h"
#include "windowkeys.h"

namespace {

QPointer<frmSimpleDiscount> gSimpleDiscount;

constexpr int kBoxLeft = 6780;
constexpr int kFakLeft = 7740;

struct BoxRow {
    SimpleBox box;
    const char* name;
    const char* caption;
    int top;
    int maxLength;
};
constexpr BoxRow kRows[] = {
    {SimpleBox::USA, "txtUSA", "Discount for domestic U.S.A. shipments", 2180, 4},
    {SimpleBox::USAFloor, "txtUSAFloor", "Absolute Minimum Charge for domestic U.S.A. shipments",
     2660, 5},
    {SimpleBox::USAtoCanada, "txtUSAtoCanada", "Discount for shipments from the U.S.A. to Canada",
     3140, 4},
    {SimpleBox::CanadatoUSA, "txtCanadatoUSA", "Discount for shipments from Canada to the U.S.A.",
     3620, 4},
    {SimpleBox::Canada, "txtCanada", "Discount for domestic Canadian shipments", 4100, 4},
    {SimpleBox::PXS, "txtPXS", "Thriftlane discount for all qualifying shipments", 4580, 4},
};

// The pointer beside the lane whose breaks are being edited: a small arrow to the right.
QPixmap PointerPicture(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(50, 70, 132));
    const double w = size.width(), h = size.height();
    const QPointF arrow[] = {{0, h * 0.35}, {w * 0.55, h * 0.35}, {w * 0.55, h * 0.1},
                             {w, h * 0.5},  {w * 0.55, h * 0.9},  {w * 0.55, h * 0.65},
                             {0, h * 0.65}};
    p.drawPolygon(arrow, 7);
    return pixmap;
}

}  // namespace

frmSimpleDiscount::frmSimpleDiscount(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSimpleDiscount"));
    setWindowTitle(QStringLiteral("Discount profile for non-defined shipping locations"));
    setModal(true);
    setFixedSize(TwipsRect(0, 0, 9300, 6000).size());
    PaintBackground(this, Qt::white);

    Label7 = PlaceLabel(this, "Label7", QStringLiteral("Set your own Discounts"),
                        TwipsRect(360, 180, 7800, 450), VerdanaFont(14, true));
    PaintText(Label7, QColor(50, 70, 132));
    hdlHeadline = PlaceLabel(
        this, "hdlHeadline",
        QStringLiteral("This discount profile will apply to shipments to or from any shipping "
                       "location not defined within this system.  Without defined shipping "
                       "locations, Fretlyn2007 cannot accurately determine what is an I/B or "
                       "what is an O/B shipment.  The system will use the discount levels you "
                       "specify here, but for a wider range of discount and F.A.K. "
                       "customization features, please see Fretlyn2007's help system."),
        TwipsRect(360, 690, 8580, 1140), VerdanaFont(8, false));
    hdlHeadline->setWordWrap(true);
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(TwipsRect(360, 1920, 8580, 45));
    Line1->setAutoFillBackground(true);
    PaintBackground(Line1, QColor(50, 70, 132));

    const QFont captions = VerdanaFont(9, true);
    const QFont entries = VerdanaFont(10, true);
    auto* validator =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), this);
    for (const BoxRow& row : kRows) {
        PlaceLabel(this, "lblCaption", QString::fromUtf8(row.caption),
                   TwipsRect(720, row.top + 30, 5940, 330), captions);
        QLineEdit* box = PlaceBox(this, row.name, row.maxLength,
                                  TwipsRect(kBoxLeft, row.top, 840, 360), entries);
        box->setValidator(validator);
        box->setAlignment(Qt::AlignCenter);
        box->installEventFilter(this);
        boxes_[static_cast<size_t>(row.box)] = box;
        // The values follow the box as it is typed in: the rating may read the percentage.
        connect(box, &QLineEdit::textChanged, this,
                [this, b = row.box](const QString& text) { values_[b] = text.toStdString(); });
    }
    txtUSA = Box(SimpleBox::USA);
    txtUSAFloor = Box(SimpleBox::USAFloor);
    txtUSAtoCanada = Box(SimpleBox::USAtoCanada);
    txtCanadatoUSA = Box(SimpleBox::CanadatoUSA);
    txtCanada = Box(SimpleBox::Canada);
    txtPXS = Box(SimpleBox::PXS);

    lblUSAFAK = PlaceButton(this, "lblUSAFAK", QStringLiteral("Set FAK"),
                            TwipsRect(kFakLeft, 2210, 1200, 330), captions);
    lblFAKUSAtoCanada = PlaceButton(this, "lblFAKUSAtoCanada", QStringLiteral("Set FAK"),
                                    TwipsRect(kFakLeft, 3170, 1200, 330), captions);
    lblFAKCanadatoUSA = PlaceButton(this, "lblFAKCanadatoUSA", QStringLiteral("Set FAK"),
                                    TwipsRect(kFakLeft, 3650, 1200, 330), captions);
    lblBack = PlaceButton(this, "lblBack", QStringLiteral("Back"), TwipsRect(360, 5340, 1200, 390),
                          VerdanaFont(12, true));
    lblDone = PlaceButton(this, "lblDone", QStringLiteral("Done"), TwipsRect(7740, 5340, 1200, 390),
                          VerdanaFont(12, true));
    imgPoint = PlaceLabel(this, "imgPoint", QString(), TwipsRect(240, 2180, 420, 360), captions);
    imgPoint->setPixmap(PointerPicture(imgPoint->size()));
    imgPoint->hide();

    connect(lblDone, &LabelButton::clicked, this, Guarded(this, &frmSimpleDiscount::lblDone_Click));
    InstallWindowKeys(this, lblDone);
    connect(lblBack, &LabelButton::clicked, this, &frmSimpleDiscount::lblBack_Click);
    connect(lblUSAFAK, &LabelButton::clicked, this,
            [this] { RunHandler([this] { FAK_Click(10); }); });
    connect(lblFAKUSAtoCanada, &LabelButton::clicked, this,
            [this] { RunHandler([this] { FAK_Click(40); }); });
    connect(lblFAKCanadatoUSA, &LabelButton::clicked, this,
            [this] { RunHandler([this] { FAK_Click(41); }); });
    setTabOrder(txtUSA, txtUSAFloor);
    setTabOrder(txtUSAFloor, txtUSAtoCanada);
    setTabOrder(txtUSAtoCanada, txtCanadatoUSA);
    setTabOrder(txtCanadatoUSA, txtCanada);
    setTabOrder(txtCanada, txtPXS);

    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetBackgroundPointer(kPointerDefault);
    highlighter_->WireLabels();
    gSimpleDiscount = this;
}

frmSimpleDiscount::~frmSimpleDiscount() {
    SetLoadedSimpleDiscounts(nullptr);
}

bool frmSimpleDiscount::Form_Load() {
    LoadFormMouseIcon(this);
    try {
        values_ = LoadSimpleDiscounts();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("Discounts"));
        return false;
    }
    SetLoadedSimpleDiscounts(&values_);
    ShowValues();
    return true;
}

void frmSimpleDiscount::ShowValues() {
    for (size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i]->setText(QString::fromStdString(values_.text[i]));
}

void frmSimpleDiscount::TakeTexts() {
    for (size_t i = 0; i < boxes_.size(); ++i) values_.text[i] = boxes_[i]->text().toStdString();
}

void frmSimpleDiscount::Refocus(SimpleBox box) {
    QLineEdit* target = Box(box);
    // After the focus change that ran the check has finished.
    QTimer::singleShot(0, target, [target] { target->setFocus(); });
}

void frmSimpleDiscount::Box_GotFocus(SimpleBox box) {
    values_[box] = Box(box)->text().toStdString();
    SaveOnFocus(values_, box);
    QLineEdit* target = Box(box);
    target->setSelection(0, static_cast<int>(target->text().trimmed().size()));
}

void frmSimpleDiscount::Box_LostFocus(SimpleBox box) {
    values_[box] = Box(box)->text().toStdString();
    // The focus went to a message about this or another box: checking now would show a second
    // message over the first (the floor's own check has no such guard).
    if (messages.gMsgShown) return;
    std::string result;
    const bool accepted =
        box == SimpleBox::USAFloor ? EditFloor(values_) : EditDiscountBox(values_, box, result);
    Box(box)->setText(QString::fromStdString(values_[box]));
    if (!accepted) Refocus(box);
}

void frmSimpleDiscount::lblDone_Click() {
    TakeTexts();
    SimpleBox failed = SimpleBox::USA;
    const bool written = SimpleDiscountDone(values_, &failed);
    ShowValues();
    if (!written) {
        Refocus(failed);
        return;
    }
    outcome_ = SimpleDiscountOutcome::Done;
    accept();
}

void frmSimpleDiscount::lblBack_Click() {
    outcome_ = SimpleDiscountOutcome::Back;
    reject();
}

void frmSimpleDiscount::FAK_Click(uint8_t laneCode) {
    customisation.gSimpleFAKLane = laneCode;
    ShowSimpleFAK(this);
}

void frmSimpleDiscount::Lane_DblClick(SimpleBox box) {
    const SimpleLane* lane = LaneOfBox(box);
    if (!lane) return;
    imgPoint->move(imgPoint->x(), TwipsToPixels(lane->pointerTop));
    imgPoint->show();
    customisation.gRegion = lane->region;
    customisation.gIBOB = lane->ibob;
    customisation.gWtBrkFromFull = 0;
    const std::optional<std::string> shown = ShowWeightBreakEditor(this, lane->breakLeft, 1750);
    if (shown) {
        values_[box] = *shown;
        Box(box)->setText(QString::fromStdString(*shown));
    }
    imgPoint->hide();
}

bool frmSimpleDiscount::eventFilter(QObject* watched, QEvent* event) {
    for (size_t i = 0; i < boxes_.size(); ++i) {
        if (watched != boxes_[i]) continue;
        const auto box = static_cast<SimpleBox>(i);
        try {
            switch (event->type()) {
                case QEvent::FocusIn:
                    Box_GotFocus(box);
                    break;
                case QEvent::FocusOut:
                    if (isVisible()) Box_LostFocus(box);
                    break;
                case QEvent::MouseButtonDblClick:
                    if (LaneOfBox(box)) {
                        Lane_DblClick(box);
                        return true;
                    }
                    break;
                default:
                    break;
            }
        } catch (const std::exception& e) {
            ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("Discounts"));
        }
    }
    return QDialog::eventFilter(watched, event);
}

frmSimpleDiscount* LoadedSimpleDiscount() {
    return gSimpleDiscount;
}

SimpleDiscountOutcome ShowSimpleDiscount() {
    delete gSimpleDiscount;
    auto* window = new frmSimpleDiscount;
    if (!window->Form_Load()) {
        delete window;
        return SimpleDiscountOutcome::Closed;
    }
    QPointer<frmSimpleDiscount> guard = window;
    RunPricingModal(*window);
    if (!guard) return SimpleDiscountOutcome::Closed;
    const SimpleDiscountOutcome outcome = window->Outcome();
    // Done and Back unload the window; so does closing it.
    delete window;
    return outcome;
}
