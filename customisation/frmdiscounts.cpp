#include "frmdiscounts.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QTimer>

#include "discounts.h"
#include "discountstore.h"
#include "formkit.h"
#include "frmdiscwtbrks.h"
#include "frmfak.h"
#include "frmsimplediscount.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "messagebox.h"
#include "msgbox.h"
#include "regioncolours.h"
#include "regionmapwidget.h"
#include "tariffdb.h"
#include "windowkeys.h"

namespace {

QPointer<frmDiscounts> gDiscounts;

const QColor kInk(50, 70, 132);

// Picture i of the image list: a swatch in region i's colour.
QIcon RegionSwatch(int region) {
    QPixmap pixmap(16, 16);
    const auto rgb = RegionColourOf(region).value_or(RegionRGB{255, 255, 255});
    pixmap.fill(QColor(rgb[0], rgb[1], rgb[2]));
    QPainter p(&pixmap);
    p.setPen(QColor(60, 60, 60));
    p.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

// The picture shown in place of a discount box while its row's breaks are edited: steps.
QPixmap TieredPicture(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const int step = size.width() / 4;
    for (int i = 0; i < 4; ++i) {
        const int h = size.height() * (i + 1) / 5;
        p.drawRect(i * step + 1, size.height() - h, step - 2, h);
    }
    return pixmap;
}

QLineEdit* PlaceHeading(QWidget* parent, const char* name, const QString& text,
                        const QRect& where) {
    QLineEdit* heading = PlaceBox(parent, name, 20, where, VerdanaFont(8, true));
    heading->setText(text);
    heading->setReadOnly(true);
    heading->setFrame(false);
    heading->setFocusPolicy(Qt::NoFocus);
    heading->setAlignment(Qt::AlignCenter);
    PaintText(heading, kInk);
    return heading;
}

}  // namespace

frmDiscounts::frmDiscounts(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDiscounts"));
    setWindowTitle(QStringLiteral("Your custom discount profiles..."));
    setModal(true);
    setFixedSize(TwipsRect(0, 0, 15300, 6900).size());
    PaintBackground(this, Qt::white);

    const QFont captions = VerdanaFont(9, true);
    const QFont plain = VerdanaFont(9, false);
    lblShipLoc =
        PlaceLabel(this, "lblShipLoc", QString(), TwipsRect(240, 180, 4920, 480), captions);
    lblShipLoc->setWordWrap(true);
    cboShipLoc = new QComboBox(this);
    cboShipLoc->setObjectName(QStringLiteral("cboShipLoc"));
    cboShipLoc->setGeometry(TwipsRect(240, 720, 1500, 360));
    lblZIPZone = PlaceLabel(this, "lblZIPZone", QString(), TwipsRect(240, 1260, 4920, 300), plain);
    imgcboRegions = new QComboBox(this);
    imgcboRegions->setObjectName(QStringLiteral("imgcboRegions"));
    imgcboRegions->setGeometry(TwipsRect(240, 1620, 1800, 360));
    imgcboRegions->installEventFilter(this);
    Label2 = PlaceLabel(this, "Label2", QStringLiteral("will use these discounts"),
                        TwipsRect(2160, 1650, 3000, 300), plain);

    txtShipments = PlaceHeading(this, "txtShipments", QStringLiteral("Shipments..."),
                                TwipsRect(240, 2220, 2820, 300));
    txtDiscount = PlaceHeading(this, "txtDiscount", QStringLiteral("Discount"),
                               TwipsRect(3000, 2220, 1020, 300));
    txtABSMC =
        PlaceHeading(this, "txtABSMC", QStringLiteral("ABS M/C"), TwipsRect(4020, 2220, 1140, 300));
    txtMC = PlaceHeading(this, "txtMC", QStringLiteral("M/C"), TwipsRect(4020, 2220, 1140, 300));
    txtMC->hide();

    auto* validator =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), this);
    const QFont entries = VerdanaFont(10, true);
    auto placeRow = [&](const char* zoneName, int top, FullBox disc, const char* discName,
                        FullBox floor, const char* floorName) {
        QLabel* zone =
            PlaceLabel(this, zoneName, QString(), TwipsRect(240, top + 30, 2820, 330), plain);
        boxes_[static_cast<size_t>(disc)] =
            PlaceBox(this, discName, 4, TwipsRect(3120, top, 780, 360), entries);
        boxes_[static_cast<size_t>(floor)] =
            PlaceBox(this, floorName, 5, TwipsRect(4140, top, 900, 360), entries);
        return zone;
    };
    lblIBZone =
        placeRow("lblIBZone", 2580, FullBox::IBDisc, "txtIBDisc", FullBox::IBFloor, "txtIBFloor");
    lblOBZone =
        placeRow("lblOBZone", 3060, FullBox::OBDisc, "txtOBDisc", FullBox::OBFloor, "txtOBFloor");
    for (size_t i = 0; i < boxes_.size(); ++i) {
        QLineEdit* box = boxes_[i];
        box->setValidator(validator);
        box->setAlignment(Qt::AlignCenter);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            values_[static_cast<FullBox>(i)] = text.toStdString();
        });
    }
    txtIBDisc = Box(FullBox::IBDisc);
    txtIBFloor = Box(FullBox::IBFloor);
    txtOBDisc = Box(FullBox::OBDisc);
    txtOBFloor = Box(FullBox::OBFloor);
    setTabOrder(txtIBDisc, txtIBFloor);
    setTabOrder(txtIBFloor, txtOBDisc);
    setTabOrder(txtOBDisc, txtOBFloor);
    imgTieredIB =
        PlaceLabel(this, "imgTieredIB", QString(), TwipsRect(3120, 2580, 780, 360), plain);
    imgTieredOB =
        PlaceLabel(this, "imgTieredOB", QString(), TwipsRect(3120, 3060, 780, 360), plain);
    for (QLabel* picture : {imgTieredIB, imgTieredOB}) {
        picture->setPixmap(TieredPicture(picture->size()));
        picture->hide();
    }

    lblFAKs = PlaceButton(this, "lblFAKs", QStringLiteral("FAKs for this region"),
                          TwipsRect(240, 3780, 3600, 360), captions);
    lblCreateNewRegion =
        PlaceButton(this, "lblCreateNewRegion", QStringLiteral("Create a new Region"),
                    TwipsRect(240, 4260, 3600, 360), captions);
    lblExit = PlaceButton(this, "lblExit", QStringLiteral("Click here to close"),
                          TwipsRect(240, 6240, 3600, 360), captions);

    Rose1 = new RegionMapWidget(this);
    Rose1->setObjectName(QStringLiteral("Rose1"));
    Rose1->setGeometry(TwipsRect(5280, 180, 9840, 6150));

    connect(cboShipLoc, &QComboBox::activated, this,
            [this] { RunHandler([this] { cboShipLoc_Click(); }); });
    connect(imgcboRegions, &QComboBox::activated, this,
            Guarded(this, &frmDiscounts::imgcboRegions_Click));
    connect(lblCreateNewRegion, &LabelButton::clicked, this,
            Guarded(this, &frmDiscounts::lblCreateNewRegion_Click));
    connect(lblFAKs, &LabelButton::clicked, this, Guarded(this, &frmDiscounts::lblFAKs_Click));
    connect(lblExit, &LabelButton::clicked, this, &frmDiscounts::lblExit_Click);
    // Only the states of the list move between regions: no other polygon takes a click.
    Rose1->SetTakesClick([](const std::string& name) { return !StateCodeOfName(name).empty(); });
    InstallWindowKeys(this, lblExit);
    connect(Rose1, &RegionMapWidget::PolygonClicked, this,
            Guarded(this, &frmDiscounts::Rose1_Click));

    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetBackgroundPointer(kPointerDefault);
    highlighter_->WireLabels();
}

void frmDiscounts::Report(const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("Discounts"));
}

void frmDiscounts::ShowValues() {
    lblShipLoc->setText(QString::fromStdString(values_.lblShipLoc));
    lblZIPZone->setText(QString::fromStdString(values_.lblZIPZone));
    lblIBZone->setText(QString::fromStdString(values_.lblIBZone));
    lblOBZone->setText(QString::fromStdString(values_.lblOBZone));
    for (size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i]->setText(QString::fromStdString(values_[static_cast<FullBox>(i)]));
    // A box that keeps the focus while a command refills it now holds the new row's text: a
    // refused entry goes back to that, not to another region's.
    if (focusedBox_ >= 0) EnterBox(values_, static_cast<FullBox>(focusedBox_));
}

void frmDiscounts::Form_Activate() {
    PricingHourglass hourglass;
    customisation.gRegion = 1;
    values_.mSkipLostFocus = false;
    wantsSimple_ = false;
    focusedBox_ = -1;
    refused_ = false;
    try {
        FillShipLocs(values_);
        cboShipLoc->clear();
        for (const auto& location : values_.locations)
            cboShipLoc->addItem(QString::fromStdString(location));
        customisation.gNewRegion = false;
        FillRegionCombo(values_.locations.front(), customisation.gNewRegion);
        cboShipLoc->setCurrentIndex(0);
        // Picking the first entry draws its map and fills its boxes.
        cboShipLoc_Click();
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowValues();
    LoadFormMouseIcon(this);
}

void frmDiscounts::cboShipLoc_Click() {
    const std::string picked = cboShipLoc->currentText().toStdString();
    if (!LeaveFocusedBox()) {
        cboShipLoc->setCurrentText(QString::fromStdString(customisation.gShipLoc));
        return;
    }
    if (picked == kDefaultProgram) {
        wantsSimple_ = true;
        hide();
        return;
    }
    try {
        customisation.gRegion = 1;
        NewShipLoc();
        customisation.gNewRegion = false;
        FillRegionCombo(customisation.gShipLoc, customisation.gNewRegion);
        PickRegion(values_, customisation.gShipLoc, customisation.gRegion);
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowValues();
}

void frmDiscounts::NewShipLoc() {
    customisation.gShipLoc = cboShipLoc->currentText().toStdString();
    SetZoneCaptions(values_, customisation.gShipLoc);
    ShowValues();
    DrawRegionMap();
}

void frmDiscounts::FillRegionCombo(const std::string& location, bool newRegion) {
    const auto items = FillRegionList(location, newRegion);
    QSignalBlocker quiet(imgcboRegions);
    imgcboRegions->clear();
    for (size_t i = 0; i < items.size(); ++i)
        imgcboRegions->addItem(RegionSwatch(static_cast<int>(i) + 1),
                               QString::fromStdString(items[i]),
                               QStringLiteral("key%1").arg(i + 1));
    if (!items.empty()) imgcboRegions->setCurrentIndex(0);
}

void frmDiscounts::SelectRegionItem(int region) {
    QSignalBlocker quiet(imgcboRegions);
    if (region >= 1 && region <= imgcboRegions->count()) imgcboRegions->setCurrentIndex(region - 1);
}

void frmDiscounts::DrawRegionMap() {
    SelectRegionItem(customisation.gRegion);
    const std::string location = cboShipLoc->currentText().toStdString();
    RegionMapSource source;
    // A state without a row for the location is shown without a region, as stored.
    source.isListedState = [location](const std::string& name) {
        const std::string code = StateCodeOfName(name);
        return !code.empty() && HasStateRow(code, location);
    };
    source.regionOf = [location](const std::string& name) {
        return RegionOfStateName(name, location);
    };
    source.regionColour = [](uint8_t region) { RegionColour(region); };
    source.currentColour = [] { return customisation.gRegionRGB; };
    const RegionMapProblems problems =
        ::DrawRegionMap(*Rose1, AppFolder(), customisation.gPolygons, source);
    for (const auto& message : UntoldMapProblems(problems))
        ShowMessage(QString::fromStdString(message), kMsgOK, QString::fromUtf8(kMapMessageTitle));
}

void frmDiscounts::imgcboRegions_Click(int index) {
    if (!LeaveFocusedBox()) {
        SelectRegionItem(customisation.gRegion);
        return;
    }
    try {
        PickRegion(values_, cboShipLoc->currentText().toStdString(),
                   static_cast<uint8_t>(index + 1));
    } catch (const std::exception& e) {
        // The error's number, for the help desk, and its description, in the platform's box.
        PlatformMessageBox(QString::number(ErrorNumber(e)) + QLatin1Char('\n') +
                           QString::fromUtf8(e.what()));
    }
    ShowValues();
}

void frmDiscounts::lblCreateNewRegion_Click() {
    if (!LeaveFocusedBox()) return;
    try {
        const std::string location = cboShipLoc->currentText().toStdString();
        const uint8_t region = CreateNewRegion(values_, location);
        if (region == 0) return;
        FillRegionCombo(location, customisation.gNewRegion);
        SelectRegionItem(region);
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowValues();
}

void frmDiscounts::lblFAKs_Click() {
    if (!LeaveFocusedBox()) return;
    ShowFAKWindow(this);
}

void frmDiscounts::lblExit_Click() {
    if (!LeaveFocusedBox()) return;
    hide();
}

void frmDiscounts::reject() {
    if (!LeaveFocusedBox()) return;
    QDialog::reject();
}

void frmDiscounts::Rose1_Click(const QString& name, const QString&) {
    if (!LeaveFocusedBox()) return;
    try {
        ClickMapState(*Rose1, values_, name.toStdString());
    } catch (const std::exception& e) {
        Report(e);
    }
    ShowValues();
}

bool frmDiscounts::LeaveFocusedBox() {
    if (focusedBox_ < 0) {
        // A refusal on the way here (the focus left the box for this command) stops it too.
        const bool refused = refused_;
        refused_ = false;
        return !refused;
    }
    const auto box = static_cast<FullBox>(focusedBox_);
    values_[box] = Box(box)->text().toStdString();
    bool accepted = false;
    try {
        accepted = LeaveBox(values_, box);
    } catch (const std::exception& e) {
        Report(e);
    }
    Box(box)->setText(QString::fromStdString(values_[box]));
    if (!accepted) Box(box)->setFocus();
    return accepted;
}

void frmDiscounts::Box_GotFocus(FullBox box) {
    focusedBox_ = static_cast<int>(box);
    refused_ = false;
    values_[box] = Box(box)->text().toStdString();
    EnterBox(values_, box);
    QLineEdit* target = Box(box);
    const int length = IsFloorBox(box) ? static_cast<int>(target->text().trimmed().size()) : 6;
    QTimer::singleShot(0, target, [target, length] { target->setSelection(0, length); });
}

void frmDiscounts::Box_LostFocus(FullBox box) {
    focusedBox_ = -1;
    // The focus went to a message about this box: it is checked once, not again.
    if (messages.gMsgShown) return;
    values_[box] = Box(box)->text().toStdString();
    bool accepted = false;
    try {
        accepted = LeaveBox(values_, box);
    } catch (const std::exception& e) {
        Report(e);
    }
    Box(box)->setText(QString::fromStdString(values_[box]));
    if (!accepted) {
        refused_ = true;
        QLineEdit* target = Box(box);
        QTimer::singleShot(0, target, [target] { target->setFocus(); });
    }
}

void frmDiscounts::Box_DblClick(FullBox box) {
    if (IsFloorBox(box)) return;
    values_.mSkipLostFocus = true;
    const bool inbound = box == FullBox::IBDisc;
    txtDiscount->hide();
    txtABSMC->hide();
    txtMC->show();
    if (inbound) {
        imgTieredIB->show();
    } else {
        txtIBDisc->setStyleSheet(QStringLiteral("background-color: rgb(224, 224, 224);"));
        imgTieredOB->show();
    }
    // Hiding the box moves the focus on; its leave then only clears the flag.
    Box(box)->hide();
    if (focusedBox_ == static_cast<int>(box)) Box_LostFocus(box);
    values_.mSkipLostFocus = false;
    customisation.gIBOB = DirectionOf(box);
    customisation.gWtBrkFromFull = 1;
    try {
        const auto shown = ShowWeightBreakEditor(this, 5665, 1435);
        if (shown)
            values_[box] = *shown;
        else if (FindDiscountRow(customisation.gShipLoc, customisation.gRegion,
                                 customisation.gIBOB))
            values_[box] = DiscountBoxText();  // closed without Done: the row as it stands
    } catch (const std::exception& e) {
        Report(e);
    }
    RestoreAfterBreaks();
    ShowValues();
}

// However the weight-break editor was closed, the boxes and headings come back.
void frmDiscounts::RestoreAfterBreaks() {
    txtMC->hide();
    imgTieredIB->hide();
    imgTieredOB->hide();
    txtIBDisc->show();
    txtOBDisc->show();
    txtDiscount->show();
    txtABSMC->show();
    txtIBDisc->setStyleSheet(QString());
}

bool frmDiscounts::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgcboRegions &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
        return true;  // the region is picked with the mouse only
    for (size_t i = 0; i < boxes_.size(); ++i) {
        if (watched != boxes_[i]) continue;
        const auto box = static_cast<FullBox>(i);
        switch (event->type()) {
            case QEvent::FocusIn:
                Box_GotFocus(box);
                break;
            case QEvent::FocusOut:
                if (focusedBox_ == static_cast<int>(i) && isVisible()) Box_LostFocus(box);
                break;
            case QEvent::MouseButtonDblClick:
                if (!IsFloorBox(box)) {
                    Box_DblClick(box);
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

frmDiscounts& DiscountsWindow() {
    if (!gDiscounts) gDiscounts = new frmDiscounts;
    return *gDiscounts;
}

void UnloadDiscountsWindow() {
    delete gDiscounts;
}

void ShowDiscountsWindow() {
    frmDiscounts& window = DiscountsWindow();
    // Each round is one showing; Back in the simple editor asks for another, as often as the
    // user likes.
    for (;;) {
        window.Form_Activate();
        if (!window.WantsSimpleEditor()) RunPricingModal(window);
        if (!gDiscounts || !window.WantsSimpleEditor()) return;
        window.ClearSimpleEditorRequest();
        const bool back = ShowSimpleDiscount() == SimpleDiscountOutcome::Back;
        // With no location of its own there is nothing to come back to.
        if (!back || window.Values().locations.size() < 2) return;
    }
}
