#include "frmsimplefak.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

#include "discountstore.h"
#include "fakpairview.h"
#include "formkit.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "msgbox.h"
#include "twips.h"
#include "windowkeys.h"

namespace {

QFrame* PlaceLine(QWidget* parent, const char* name, const QRect& where) {
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setGeometry(where);
    line->setAutoFillBackground(true);
    return line;
}

void Report(const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("F.A.K. Profile"));
}

constexpr int kListLeft = 1980;

int ListWidthTwips() {
    return PixelsToTwips(ClassRow::kCellWidth * kFAKClasses + 4);
}

}  // namespace

frmSimpleFAK::frmSimpleFAK(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSimpleFAK"));
    setWindowTitle(QStringLiteral("F.A.K. Profile"));
    setModal(true);
    setMouseTracking(true);
    const int listWidth = ListWidthTwips();
    setFixedSize(TwipsRect(0, 0, kListLeft + listWidth + 240, 3420).size());
    PaintBackground(this, QColor(27, 86, 167));
    const QFont bold = VerdanaFont(9, true);

    lblFAKTitle = PlaceLabel(this, "lblFAKTitle",
                             QStringLiteral("FAK Profile for shipments with no defined shipping "
                                            "location"),
                             TwipsRect(240, 180, 7800, 360), VerdanaFont(11, true));
    Label1 = PlaceLabel(this, "Label1",
                        QStringLiteral("(Click on the Actual Class list to make changes)"),
                        TwipsRect(8160, 210, 5400, 330), VerdanaFont(8, false));
    lblActual = PlaceButton(this, "lblActual", QStringLiteral("Actual Class"),
                            TwipsRect(240, 900, 1620, 330), bold);
    Line1 = PlaceLine(this, "Line1", TwipsRect(240, 1230, 1500, 20));
    lstActualClass = new ClassRow(this, "lstActualClass", QAbstractItemView::ExtendedSelection);
    lstActualClass->move(TwipsRect(kListLeft, 860, 0, 0).topLeft());
    Label2 = PlaceLabel(this, "Label2", QStringLiteral("FAK Class"),
                        TwipsRect(240, 1380, 1620, 330), bold);
    lstFAKClass = new ClassRow(this, "lstFAKClass", QAbstractItemView::SingleSelection);
    lstFAKClass->move(TwipsRect(kListLeft, 1250, 0, 0).topLeft());
    lblUse = PlaceLabel(this, "lblUse", QStringLiteral("Click here to use actual classes."),
                        TwipsRect(240, 2040, 4200, 330), bold);
    Line2 = PlaceLine(this, "Line2", TwipsRect(240, 2370, 3700, 20));
    for (QLabel* label : {lblFAKTitle, Label1, static_cast<QLabel*>(Label2)})
        PaintText(label, Qt::white);

    const int right = kListLeft + listWidth;
    cmdApply = PlaceCommand(this, "cmdApply", QStringLiteral("Apply"),
                            TwipsRect(right - 4200, 2700, 1200, 420));
    cmdCancel = PlaceCommand(this, "cmdCancel", QStringLiteral("Cancel"),
                             TwipsRect(right - 2820, 2700, 1200, 420));
    cmdDone = PlaceCommand(this, "cmdDone", QStringLiteral("Done"),
                           TwipsRect(right - 1440, 2700, 1200, 420));

    connect(lstActualClass, &QListWidget::itemSelectionChanged, this,
            &frmSimpleFAK::lstActualClass_Click);
    connect(cmdApply, &QPushButton::clicked, this, Guarded(this, &frmSimpleFAK::cmdApply_Click));
    connect(cmdCancel, &QPushButton::clicked, this, Guarded(this, &frmSimpleFAK::cmdCancel_Click));
    connect(cmdDone, &QPushButton::clicked, this, &frmSimpleFAK::cmdDone_Click);
    // Enter is Done wherever the focus is but on Cancel; Escape is the close box.
    cmdDone->setDefault(true);
    connect(lblActual, &LabelButton::clicked, this, Guarded(this, &frmSimpleFAK::lblActual_Click));
    connect(lblActual, &LabelButton::mouseMoved, this, [this] {
        Paint(Qt::black);
        SetMousePointer(this, kPointerCustom);
    });
    Paint(Qt::white);
    MakeCommandsKeyboardReachable(this);
}

void frmSimpleFAK::Paint(const QColor& colour) {
    PaintText(lblActual, colour);
    PaintText(lblUse, colour);
    PaintBackground(Line1, colour);
    PaintBackground(Line2, colour);
}

void frmSimpleFAK::mouseMoveEvent(QMouseEvent* event) {
    Paint(Qt::white);
    SetMousePointer(this, kPointerArrow);
    QDialog::mouseMoveEvent(event);
}

void frmSimpleFAK::Lock() {
    lstFAKClass->setEnabled(false);
    cmdApply->setEnabled(false);
    cmdCancel->setEnabled(false);
}

bool frmSimpleFAK::Form_Load() {
    LoadFormMouseIcon(this);
    lstActualClass->SetClasses(ActualClasses());
    const uint8_t lane = customisation.gSimpleFAKLane;
    const std::string digits = std::to_string(lane);
    customisation.gSimpleFAKRegion = static_cast<uint8_t>(digits.front() - '0');
    customisation.gSimpleFAKIBOB = static_cast<uint8_t>(digits.back() - '0');
    try {
        pair_ = FillFAKLists(kDefaultProgram, customisation.gSimpleFAKIBOB,
                             customisation.gSimpleFAKRegion);
    } catch (const std::exception& e) {
        Report(e);
        return false;
    }
    ShowPair(pair_, *lstActualClass, *lstFAKClass);
    Lock();
    return true;
}

void frmSimpleFAK::lstActualClass_Click() {
    cmdApply->setEnabled(true);
    cmdCancel->setEnabled(true);
    lstFAKClass->setEnabled(true);
}

void frmSimpleFAK::cmdApply_Click() {
    ReadPair(*lstActualClass, *lstFAKClass, pair_);
    try {
        StoreFAKProfile(kDefaultProgram, customisation.gSimpleFAKRegion,
                        {{customisation.gSimpleFAKIBOB, &pair_}});
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowPair(pair_, *lstActualClass, *lstFAKClass);
    Lock();
}

void frmSimpleFAK::cmdCancel_Click() {
    try {
        pair_ = FillFAKLists(kDefaultProgram, customisation.gSimpleFAKIBOB,
                             customisation.gSimpleFAKRegion);
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowPair(pair_, *lstActualClass, *lstFAKClass);
    Lock();
}

void frmSimpleFAK::lblActual_Click() {
    try {
        pair_ = ResetFAKProfile(kDefaultProgram, customisation.gSimpleFAKIBOB,
                                customisation.gSimpleFAKRegion);
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowPair(pair_, *lstActualClass, *lstFAKClass);
    lstFAKClass->setEnabled(false);
    cmdCancel->setEnabled(false);
}

void frmSimpleFAK::cmdDone_Click() {
    accept();
}

void ShowSimpleFAK(QWidget* opener) {
    QPointer<frmSimpleFAK> window = new frmSimpleFAK(opener);
    if (window->Form_Load()) RunPricingModal(*window);
    delete window;
}
