#include "frmshiploc.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <memory>

#include "formkit.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "msgbox.h"
#include "tariffdb.h"
#include "webpane.h"
#include "windowkeys.h"

namespace {

QPointer<frmShipLoc> gShipLocWindow;

// A map pin over a small grid of roads: the picture beside the heading.
QPixmap PinPicture(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(180, 180, 180), 2));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(0, size.height() * i / 4, size.width(), size.height() * i / 4);
        p.drawLine(size.width() * i / 4, 0, size.width() * i / 4, size.height());
    }
    const double w = size.width(), h = size.height();
    QPainterPath pin;
    pin.moveTo(w / 2, h * 0.95);
    pin.cubicTo(w * 0.15, h * 0.55, w * 0.2, h * 0.08, w / 2, h * 0.08);
    pin.cubicTo(w * 0.8, h * 0.08, w * 0.85, h * 0.55, w / 2, h * 0.95);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(50, 70, 132));
    p.drawPath(pin);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(w / 2, h * 0.35), w * 0.12, w * 0.12);
    return pixmap;
}

}  // namespace

frmShipLoc::frmShipLoc(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmShipLoc"));
    setWindowTitle(QStringLiteral("Shipping Locations"));
    setModal(true);
    setFixedSize(TwipsRect(0, 0, 10200, 6000).size());
    PaintBackground(this, Qt::white);
    const QFont buttons = VerdanaFont(12, true);

    Image1 = PlaceLabel(this, "Image1", QString(), TwipsRect(240, 150, 720, 720), buttons);
    Image1->setPixmap(PinPicture(Image1->size()));
    hdlMaint = PlaceLabel(this, "hdlMaint", QStringLiteral("Shipping Location Maintenance"),
                          TwipsRect(1080, 300, 6000, 420), VerdanaFont(14, true));
    PaintText(hdlMaint, QColor(50, 70, 132));
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(TwipsRect(240, 960, 9720, 45));
    Line1->setFrameShape(QFrame::NoFrame);
    Line1->setAutoFillBackground(true);

    cmbShipLoc = new QComboBox(this);
    cmbShipLoc->setObjectName(QStringLiteral("cmbShipLoc"));
    cmbShipLoc->setEditable(false);
    cmbShipLoc->setGeometry(TwipsRect(360, 1320, 1800, 390));
    cmbShipLoc->setFont(VerdanaFont(11, true));
    txtShiploc =
        PlaceBox(this, "txtShiploc", 3, TwipsRect(360, 1320, 1200, 390), VerdanaFont(11, true));
    txtShiploc->hide();

    lblAdd = PlaceButton(this, "lblAdd", QStringLiteral("Add"), TwipsRect(360, 2040, 1800, 390),
                         buttons);
    lblDelete = PlaceButton(this, "lblDelete", QStringLiteral("Delete"),
                            TwipsRect(360, 2580, 1800, 390), buttons);
    lblOK =
        PlaceButton(this, "lblOK", QStringLiteral("OK"), TwipsRect(360, 2040, 1800, 390), buttons);
    lblCancel = PlaceButton(this, "lblCancel", QStringLiteral("Cancel"),
                            TwipsRect(360, 2580, 1800, 390), buttons);
    lblOK->hide();
    lblCancel->hide();
    lblExit = PlaceButton(this, "lblExit", QStringLiteral("Done"), TwipsRect(360, 5280, 1800, 390),
                          buttons);

    lblWhy = PlaceLabel(this, "lblWhy", QString::fromUtf8(kWhyCaption),
                        TwipsRect(2640, 1200, 7320, 390), VerdanaFont(11, true));
    brwShipLoc = new QTextBrowser(this);
    brwShipLoc->setObjectName(QStringLiteral("brwShipLoc"));
    brwShipLoc->setGeometry(TwipsRect(2640, 1650, 7320, 4020));
    brwShipLoc->setOpenLinks(false);
    UsePaperColours(brwShipLoc);

    connect(lblAdd, &LabelButton::clicked, this, &frmShipLoc::lblAdd_Click);
    connect(lblDelete, &LabelButton::clicked, this, Guarded(this, &frmShipLoc::lblDelete_Click));
    connect(lblExit, &LabelButton::clicked, this, &frmShipLoc::lblExit_Click);
    connect(lblOK, &LabelButton::clicked, this, Guarded(this, &frmShipLoc::lblOK_Click));
    connect(lblCancel, &LabelButton::clicked, this, &frmShipLoc::lblCancel_Click);
    connect(txtShiploc, &QLineEdit::textEdited, this, &frmShipLoc::txtShiploc_KeyPress);
    // In the entry Enter is OK and Escape Cancel; in the list they are Done and the close box.
    for (LabelButton* command : {lblAdd, lblDelete, lblOK, lblCancel, lblExit})
        MakeKeyboardReachable(command);
    InstallWindowKeyHandlers(
        this, [this] { (model_.entryMode ? lblOK : lblExit)->click(); },
        [this] {
            if (model_.entryMode)
                lblCancel->click();
            else
                close();
        });
    connect(cmbShipLoc, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_.shown = index; });

    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetBackgroundPointer(kPointerDefault);
    highlighter_->WireLabels();
}

void frmShipLoc::Show() {
    const bool entry = model_.entryMode;
    txtShiploc->setVisible(entry);
    lblOK->setVisible(entry);
    lblCancel->setVisible(entry);
    cmbShipLoc->setVisible(!entry);
    lblAdd->setVisible(!entry);
    lblDelete->setVisible(!entry);

    QStringList entries;
    for (const auto& e : model_.entries) entries << QString::fromStdString(e);
    QStringList listed;
    for (int i = 0; i < cmbShipLoc->count(); ++i) listed << cmbShipLoc->itemText(i);
    if (listed != entries) {
        const QSignalBlocker quiet(cmbShipLoc);
        cmbShipLoc->clear();
        cmbShipLoc->addItems(entries);
    }
    {
        const QSignalBlocker quiet(cmbShipLoc);
        cmbShipLoc->setCurrentIndex(model_.shown);
    }
    lblWhy->setText(QString::fromStdString(model_.why));
    const QString page = QString::fromStdString(AppFolder() + model_.helpPage);
    if (page != pageShown_) {
        brwShipLoc->setSource(QUrl::fromLocalFile(page));
        pageShown_ = page;
    }
}

void frmShipLoc::Form_Activate() {
    LoadFormMouseIcon(this);
    QPalette palette = Line1->palette();
    palette.setColor(QPalette::Window, QColor(50, 70, 132));
    Line1->setPalette(palette);
    try {
        ShipLocActivate(model_);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("Shipping Locations"));
    }
    Show();
}

void frmShipLoc::lblAdd_Click() {
    ShipLocEnterMode(model_);
    Show();
    txtShiploc->setFocus();
    txtShiploc->selectAll();
}

void frmShipLoc::lblCancel_Click() {
    ShipLocListMode(model_);
    Show();
}

void frmShipLoc::lblOK_Click() {
    std::unique_ptr<PricingHourglass> hourglass;
    const bool added = ShipLocAdd(model_, txtShiploc->text().toStdString(), [&] {
        Show();
        hourglass = std::make_unique<PricingHourglass>();
    });
    hourglass.reset();
    txtShiploc->setText(QString::fromStdString(model_.entryText));
    Show();
    if (!added) {
        txtShiploc->setFocus();
        txtShiploc->selectAll();
    }
}

void frmShipLoc::lblDelete_Click() {
    ShipLocDelete(model_);
    Show();
}

void frmShipLoc::lblExit_Click() {
    accept();
}

void frmShipLoc::txtShiploc_KeyPress() {
    // Letters of a postal code show in capitals as they are typed; digits stay as they are.
    const QString text = txtShiploc->text();
    const QString upper = text.toUpper();
    if (upper == text) return;
    const int at = txtShiploc->cursorPosition();
    txtShiploc->setText(upper);
    txtShiploc->setCursorPosition(at);
}

frmShipLoc* ShipLocWindow() {
    if (!gShipLocWindow) gShipLocWindow = new frmShipLoc;
    return gShipLocWindow;
}

void UnloadShipLocWindow() {
    delete gShipLocWindow;
}

void ShowShipLocWindow() {
    frmShipLoc* window = ShipLocWindow();
    window->Form_Activate();
    RunPricingModal(*window);
    // Done unloads the window: the next opening reads the list again.
    UnloadShipLocWindow();
}
