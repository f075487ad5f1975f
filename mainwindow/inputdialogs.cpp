#include "inputdialogs.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

#include "auxvalues.h"
#include "auxwindow.h"
#include "frmbrowser.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "maskededit.h"
#include "msgbox.h"
#include "settings.h"
#include "windowkeys.h"

namespace {

LabelHighlighter* WireBlue(QDialog* dialog, QWidget* band, int pointer) {
    auto* h = new LabelHighlighter(dialog, kHiliteBlue);
    h->SetOncePerEntry(false);
    h->SetBackgroundPointer(pointer);
    h->WireLabels();
    h->AddBackground(band);
    return h;
}
}  // namespace

// --------------------------------------------------------------------------- fuel surcharge

frmFuelSurcharge::frmFuelSurcharge(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFuelSurcharge"));
    // Named as the command that opens it, so the task bar and the window list say what it is.
    setWindowTitle(QStringLiteral("Fuel Surcharge"));
    setFixedSize(400, 230);
    SetBackColor(this, RGB(255, 255, 255));
    Image1 = MakeHeaderBand(this, QRect(0, 0, 400, 44));
    Label1 = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Norvale Fuel Surcharge %"),
                       QRect(16, 10, 370, 24), VerdanaFont(11, true), 0xFFFFFF);
    mskFSC = new MaskedEdit(QStringLiteral("##.#"), QLatin1Char('0'), this);
    mskFSC->setObjectName(QStringLiteral("mskFSC"));
    mskFSC->setGeometry(16, 62, 90, 30);
    mskFSC->setFont(VerdanaFont(12, true));
    mskFSC->installEventFilter(this);
    // An empty box stays empty when left: it is no 0 %, but a value still to be entered.
    mskFSC->SetNormalForm([](const QString& value) {
        return value.isEmpty() ? value
                               : QString::fromStdString(FuelSurchargeToStore(value.toStdString()));
    });
    Line1 = MakeRule(this, QStringLiteral("Line1"), QRect(16, 108, 368, 2), RGB(50, 70, 132));
    lblFSConWeb = MakeButton(this, QStringLiteral("lblFSConWeb"),
                             QStringLiteral("Get the current Fuel Surcharge from our Website"),
                             QRect(16, 122, 370, 22), VerdanaFont(9, false));
    lblDone = MakeButton(this, QStringLiteral("lblDone"), QStringLiteral("Done"),
                         QRect(320, 186, 64, 26), VerdanaFont(12, true));
    connect(lblDone, &LabelButton::clicked, this, Guarded(this, &frmFuelSurcharge::lblDone_Click));
    InstallWindowKeys(this, lblDone);
    connect(lblFSConWeb, &LabelButton::clicked, this,
            Guarded(this, &frmFuelSurcharge::lblFSConWeb_Click));
    highlighter_ = WireBlue(this, Image1, kPointerArrow);
    Form_Load();
}

void frmFuelSurcharge::Form_Load() {
    try {
        const std::string stored = ConfigTextToEdit(kFuelSurchargeSetting);
        mskFSC->SetText(QString::fromStdString(FuelSurchargeShown(stored)));
    } catch (const std::exception& e) {
        ShowMessage(QString::fromStdString(e.what()), kMsgOK, QStringLiteral("Fuel Surcharge"));
    }
}

bool frmFuelSurcharge::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mskFSC && event->type() == QEvent::FocusIn) {
        // Selected whole, so that typing replaces it. After the toolkit's own focus handling.
        QMetaObject::invokeMethod(
            this, [this] { mskFSC->SelectFromStart(4); }, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

void frmFuelSurcharge::lblDone_Click() {
    // What was typed, not the text: with the prompt "0" an empty place reads as a 0.
    const std::string typed = mskFSC->Value().toStdString();
    // An empty box (as the window opens for a damaged value) is no surcharge of 0: stored as
    // 00.0 it would take the surcharge off every quote without a word.
    const std::string value = typed.empty() ? typed : FuelSurchargeToStore(typed);
    const std::string problem = SettingEntryProblem(kFuelSurchargeSetting, value);
    if (!problem.empty()) {
        ShowMessage(QString::fromStdString(problem), kMsgOK, QStringLiteral("Fuel Surcharge"));
        mskFSC->setFocus();
        return;
    }
    mskFSC->ShowNormalised();
    try {
        SetConfigValue(kFuelSurchargeSetting.key, value);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromStdString(e.what()), kMsgOK, QStringLiteral("Fuel Surcharge"));
        return;
    }
    accept();
}

void frmFuelSurcharge::lblFSConWeb_Click() {
    gBrowserPage = 1;
    ShowBrowser(this);
}

// --------------------------------------------------------------------------- ocean dimensions

namespace {
// A box in outline, its three dimension boxes placed on its edges.
QPixmap BoxDrawing(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ColorFromValue(kRuleColor), 2));
    const QRect front(20, 40, 150, 90);
    const QPoint depth(50, -30);
    painter.drawRect(front);
    painter.drawPolygon(QPolygon(
        {front.topLeft(), front.topLeft() + depth, front.topRight() + depth, front.topRight()}));
    painter.drawPolygon(QPolygon({front.topRight(), front.topRight() + depth,
                                  front.bottomRight() + depth, front.bottomRight()}));
    return pixmap;
}
}  // namespace

frmOceanDims::frmOceanDims(QLineEdit* txtOceanDensity, QWidget* parent)
    : QDialog(parent), txtOceanDensity_(txtOceanDensity) {
    setObjectName(QStringLiteral("frmOceanDims"));
    SetNoTitle(this);
    setFixedSize(440, 320);
    SetBackColor(this, RGB(255, 255, 255));
    Image1 = MakeHeaderBand(this, QRect(0, 0, 440, 44));
    hdllHeader = MakeLabel(this, QStringLiteral("hdllHeader"),
                           QStringLiteral("Enter the dimensions of your shipment"),
                           QRect(16, 10, 410, 24), VerdanaFont(11, true), 0xFFFFFF);
    lblExplain = MakeLabel(this, QStringLiteral("lblExplain"),
                           QStringLiteral("Enter the Height, Width, and Depth of your shipment, "
                                          "in inches"),
                           QRect(16, 52, 410, 40), VerdanaFont(9.5, false));
    lblExplain->setWordWrap(true);
    auto* shpBox = new QLabel(this);
    shpBox->setObjectName(QStringLiteral("shpBox"));
    shpBox->setGeometry(80, 100, 240, 150);
    shpBox->setPixmap(BoxDrawing(shpBox->size()));
    auto box = [this](const char* name, const char* letter, const QPoint& at) {
        auto* e = new QLineEdit(QString::fromLatin1(letter), this);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(QRect(at, QSize(56, 26)));
        e->setAlignment(Qt::AlignCenter);
        e->installEventFilter(this);
        return e;
    };
    // Height on the front's left edge, width under the front, depth on the slanted edge.
    txtH = box("txtH", "H", QPoint(30, 170));
    txtW = box("txtW", "W", QPoint(148, 236));
    txtD = box("txtD", "D", QPoint(296, 150));
    setTabOrder(txtH, txtW);
    setTabOrder(txtW, txtD);
    Line1 = MakeRule(this, QStringLiteral("Line1"), QRect(16, 270, 408, 2), RGB(50, 70, 132));
    lblYes = MakeButton(this, QStringLiteral("lblYes"), QStringLiteral("Done"),
                        QRect(360, 282, 64, 26), VerdanaFont(12, true));
    connect(lblYes, &LabelButton::clicked, this, Guarded(this, &frmOceanDims::lblYes_Click));
    InstallWindowKeys(this, lblYes);
    highlighter_ = WireBlue(this, Image1, kPointerDefault);
    LoadFormMouseIcon(this);
}

bool frmOceanDims::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == txtH || box == txtW || box == txtD)) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Moving between the boxes and leaving the dialog carry control characters that
            // the character test below would swallow.
            switch (key->key()) {
                case Qt::Key_Tab:
                case Qt::Key_Backtab:
                case Qt::Key_Escape:
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    return QDialog::eventFilter(watched, event);
                default:
                    break;
            }
            const QString t = key->text();
            if (!t.isEmpty()) {
                const QChar c = t[0];
                const bool passes = c.isDigit() || c == QLatin1Char('\b') || c == QLatin1Char('.');
                if (!passes) return true;
            }
        } else if (event->type() == QEvent::FocusIn) {
            QMetaObject::invokeMethod(
                this,
                [box] { box->setSelection(0, static_cast<int>(box->text().trimmed().size())); },
                Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOceanDims::lblYes_Click() {
    const auto cube = OceanCubeText(txtH->text().toStdString(), txtW->text().toStdString(),
                                    txtD->text().toStdString());
    if (cube && txtOceanDensity_) txtOceanDensity_->setText(QString::fromStdString(*cube));
    accept();
}

void ShowFuelSurcharge(QWidget* owner) {
    frmFuelSurcharge window(owner);
    RunAuxModal(window);
}

void ShowOceanDims(QLineEdit* txtOceanDensity, QWidget* owner) {
    frmOceanDims window(txtOceanDensity, owner);
    RunAuxModal(window);
}
