#include "frmfak.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

#include "discountstore.h"
#include "fakpairview.h"
#include "formkit.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labels.h"
#include "msgbox.h"
#include "regioncolours.h"
#include "twips.h"
#include "windowkeys.h"

namespace {

constexpr int kListLeft = 1980;

QLineEdit* Heading(QWidget* parent, const char* name, const QString& text, int top) {
    QLineEdit* box =
        PlaceBox(parent, name, 20, TwipsRect(240, top, 1620, 390), VerdanaFont(8, true));
    box->setText(text);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

void Report(const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("F.A.K. Profile"));
}

}  // namespace

frmFAK::frmFAK(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFAK"));
    setWindowTitle(QStringLiteral("F.A.K. Profile"));
    setModal(true);
    setMouseTracking(true);
    const int listWidth = PixelsToTwips(ClassRow::kCellWidth * kFAKClasses + 4);
    const int right = kListLeft + listWidth;
    setFixedSize(TwipsRect(0, 0, right + 240, 4980).size());
    const QFont bold = VerdanaFont(10, true);

    lblFAKTitle = PlaceLabel(this, "lblFAKTitle", QString(), TwipsRect(240, 150, right - 240, 390),
                             VerdanaFont(11, true));
    Label2 =
        PlaceLabel(this, "Label2", QStringLiteral("Inbound"), TwipsRect(240, 660, 1620, 330), bold);
    Label1 = PlaceLabel(this, "Label1",
                        QStringLiteral("(Click on the Actual Class list to make changes)"),
                        TwipsRect(kListLeft, 690, 6000, 330), VerdanaFont(8, false));
    Text1 = Heading(this, "Text1", QStringLiteral("Actual Class"), 1050);
    Text2 = Heading(this, "Text2", QStringLiteral("FAK Class"), 1440);
    Label3 = PlaceLabel(this, "Label3", QStringLiteral("Outbound"), TwipsRect(240, 2040, 1620, 330),
                        bold);
    Text4 = Heading(this, "Text4", QStringLiteral("Actual Class"), 2430);
    Text3 = Heading(this, "Text3", QStringLiteral("FAK Class"), 2820);
    Label4 = PlaceLabel(this, "Label4",
                        QStringLiteral("Click on the Actual Class sign to use actual classes."),
                        TwipsRect(240, 3480, 7200, 330), VerdanaFont(8, true));
    const int tops[2][2] = {{2430, 2820}, {1050, 1440}};  // [direction][actual, fak]
    for (int ibob = 0; ibob < 2; ++ibob) {
        auto& actual = lstActualClass[static_cast<size_t>(ibob)];
        auto& fak = lstFAKClass[static_cast<size_t>(ibob)];
        actual = new ClassRow(this, "lstActualClass", QAbstractItemView::ExtendedSelection);
        actual->move(TwipsRect(kListLeft, tops[ibob][0], 0, 0).topLeft());
        fak = new ClassRow(this, "lstFAKClass", QAbstractItemView::SingleSelection);
        fak->move(TwipsRect(kListLeft, tops[ibob][1], 0, 0).topLeft());
        actual->SetClasses(ActualClasses());
        connect(actual, &QListWidget::itemSelectionChanged, this,
                [this, ibob] { lstActualClass_Click(ibob); });
    }
    cmdApply = PlaceCommand(this, "cmdApply", QStringLiteral("Apply"),
                            TwipsRect(right - 4200, 4200, 1200, 420));
    cmdCancel = PlaceCommand(this, "cmdCancel", QStringLiteral("Cancel"),
                             TwipsRect(right - 2820, 4200, 1200, 420));
    cmdDone = PlaceCommand(this, "cmdDone", QStringLiteral("Done"),
                           TwipsRect(right - 1440, 4200, 1200, 420));
    cmdApply->setEnabled(false);
    cmdCancel->setEnabled(false);
    for (auto* fak : lstFAKClass) fak->setEnabled(false);
    Text1->installEventFilter(this);
    Text4->installEventFilter(this);
    connect(cmdApply, &QPushButton::clicked, this, Guarded(this, &frmFAK::cmdApply_Click));
    connect(cmdCancel, &QPushButton::clicked, this, Guarded(this, &frmFAK::cmdCancel_Click));
    connect(cmdDone, &QPushButton::clicked, this, &frmFAK::cmdDone_Click);
    // Enter is Done wherever the focus is but on Cancel; Escape is the close box.
    cmdDone->setDefault(true);
}

void frmFAK::ShowPairs() {
    for (int ibob = 0; ibob < 2; ++ibob)
        ShowPair(pairs_[static_cast<size_t>(ibob)], *lstActualClass[static_cast<size_t>(ibob)],
                 *lstFAKClass[static_cast<size_t>(ibob)]);
}

void frmFAK::Fill(int ibob) {
    pairs_[static_cast<size_t>(ibob)] =
        FillFAKLists(customisation.gShipLoc, static_cast<uint8_t>(ibob), customisation.gRegion);
}

bool frmFAK::Form_Activate() {
    customisation.gFAKReset = false;
    RegionColour(customisation.gRegion);
    const auto& rgb = customisation.gRegionRGB;
    PaintBackground(this, QColor(rgb[0], rgb[1], rgb[2]));
    lblFAKTitle->setText(QString::fromStdString("FAK Profile for shipments between " +
                                                customisation.gShipLoc + " and Region " +
                                                std::to_string(customisation.gRegion)));
    try {
        Fill(1);
        Fill(0);
    } catch (const std::exception& e) {
        Report(e);
        return false;
    }
    ShowPairs();
    for (auto* fak : lstFAKClass) fak->setEnabled(false);
    cmdCancel->setEnabled(false);
    LoadFormMouseIcon(this);
    return true;
}

void frmFAK::lstActualClass_Click(int index) {
    cmdApply->setEnabled(true);
    cmdCancel->setEnabled(true);
    lstFAKClass[static_cast<size_t>(index)]->setEnabled(true);
}

void frmFAK::cmdApply_Click() {
    for (int ibob = 0; ibob < 2; ++ibob)
        ReadPair(*lstActualClass[static_cast<size_t>(ibob)],
                 *lstFAKClass[static_cast<size_t>(ibob)], pairs_[static_cast<size_t>(ibob)]);
    try {
        StoreFAKProfile(customisation.gShipLoc, customisation.gRegion,
                        {{1, &pairs_[1]}, {0, &pairs_[0]}});
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowLocked();
}

void frmFAK::cmdCancel_Click() {
    try {
        Fill(1);
        Fill(0);
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowLocked();
}

// The stored profiles shown, nothing to apply or cancel until an actual class is clicked.
void frmFAK::ShowLocked() {
    ShowPairs();
    for (auto* fak : lstFAKClass) fak->setEnabled(false);
    cmdApply->setEnabled(false);
    cmdCancel->setEnabled(false);
}

void frmFAK::Reset(int ibob) {
    try {
        pairs_[static_cast<size_t>(ibob)] = ResetFAKProfile(
            customisation.gShipLoc, static_cast<uint8_t>(ibob), customisation.gRegion);
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowPairs();
    for (auto* fak : lstFAKClass) fak->setEnabled(false);
    cmdCancel->setEnabled(false);
}

void frmFAK::Text1_Click() {
    Reset(1);
}
void frmFAK::Text4_Click() {
    Reset(0);
}
void frmFAK::cmdDone_Click() {
    accept();
}

bool frmFAK::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 || watched == Text4) {
        if (event->type() == QEvent::MouseButtonPress) {
            watched == Text1 ? Text1_Click() : Text4_Click();
            return true;
        }
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)
            SetMousePointer(this, kPointerCustom);
    }
    return QDialog::eventFilter(watched, event);
}

void frmFAK::mouseMoveEvent(QMouseEvent* event) {
    SetMousePointer(this, kPointerArrow);
    QDialog::mouseMoveEvent(event);
}

void ShowFAKWindow(QWidget* opener) {
    QPointer<frmFAK> window = new frmFAK(opener);
    if (opener) window->move(opener->pos());
    KeepOnScreen(window);
    if (window->Form_Activate()) RunPricingModal(*window);
    delete window;
}
