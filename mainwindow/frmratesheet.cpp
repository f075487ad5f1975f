#include "frmratesheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <exception>

#include "checklist.h"
#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "maskededit.h"
#include "msgbox.h"
#include "numbers.h"
#include "ratesheet.h"
#include "savedpoints.h"
#include "tariffdb.h"
#include "textprinter.h"
#include "twips.h"
#include "windowkeys.h"

namespace {

QPointer<frmRateSheet> gRateSheet;
std::function<void(frmRateSheet&)> gShow;

const QString kRightClickHint = QStringLiteral(
    "Right click on any of these cities to see a list of all the points included therein");
const QString kPointsHint = QStringLiteral("Click anywhere on this list when you're done");

template <typename W>
W* Place(W* widget, const char* name, const QRect& where) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(where);
    return widget;
}

const QString kTruckloadCaption = QStringLiteral("Show truckload rates on the sheet");
// The check box's place: the left column, between the density and the points list.
QRect TruckloadPlace() {
    return TwipsRect(240, 2640, 3840, 330);
}

// The check box's caption on one line where the column holds it, else broken between words onto
// as many lines as the desktop's font needs, the box as high as its lines and centred on its
// place. The window keeps its size; a larger font than it was laid out for gets more lines.
void FitTruckloadCaption(QCheckBox* box) {
    const QRect place = TruckloadPlace();
    const QStringList words = kTruckloadCaption.split(QLatin1Char(' '));
    QStringList lines;
    QString line;
    for (const QString& word : words) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        box->setText((QStringList(lines) << longer).join(QLatin1Char('\n')));
        if (!line.isEmpty() && box->sizeHint().width() > place.width()) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    lines << line;
    box->setText(lines.join(QLatin1Char('\n')));
    const int height = std::max(place.height(), box->sizeHint().height());
    box->setGeometry(place.x(), place.center().y() - height / 2, place.width(), height);
}

void Report(const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("Rate Sheets"));
}

}  // namespace

frmRateSheet::frmRateSheet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRateSheet"));
    setWindowTitle(QStringLiteral("Rate Sheets"));
    setWindowModality(Qt::ApplicationModal);
    SetBackgroundColor(this, Qt::white);
    setFixedSize(TwipsToPixels(9000), TwipsToPixels(7080));

    Picture1 = Place(new QLabel(this), "Picture1", TwipsRect(240, 180, 2400, 600));
    {
        QPixmap logo(Picture1->size());
        logo.fill(QColor(50, 70, 132));
        QPainter painter(&logo);
        painter.setPen(Qt::white);
        painter.setFont(VerdanaFont(11, true));
        painter.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("NORVALE FREIGHT"));
        Picture1->setPixmap(logo);
    }
    hdllBuild = Place(new QLabel(QStringLiteral("Build your own custom rate sheets"), this),
                      "hdllBuild", TwipsRect(2880, 300, 5900, 400));
    hdllBuild->setFont(VerdanaFont(13, true));
    SetLabelForeColor(hdllBuild, 0x844632);
    Line1 = Place(new QFrame(this), "Line1", TwipsRect(240, 900, 8520, 30));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);

    lblFrom =
        Place(new QLabel(QStringLiteral("From"), this), "lblFrom", TwipsRect(240, 1080, 2000, 300));
    cmbFrom = Place(new QComboBox(this), "cmbFrom", TwipsRect(240, 1380, 3600, 330));
    lblTo = Place(new QLabel(QStringLiteral("To these cities"), this), "lblTo",
                  TwipsRect(4200, 1080, 3000, 300));
    hdlRightClick =
        Place(new QLabel(kRightClickHint, this), "hdlRightClick", TwipsRect(240, 5460, 8520, 300));
    hdlRightClick->setFont(VerdanaFont(8, false));
    hdlRightClick->setWordWrap(true);
    lstTo = Place(new CheckList(this), "lstTo", TwipsRect(4200, 1380, 4560, 3960));
    lstTo->viewport()->installEventFilter(this);
    // Beside the destinations, not over them: a right click on a second city adds its points
    // below the first's.
    lstCities = Place(new QListWidget(this), "lstCities", TwipsRect(240, 3120, 3600, 2220));
    lstCities->hide();
    lstCities->viewport()->installEventFilter(this);

    lblDensity = Place(new QLabel(QStringLiteral("Density"), this), "lblDensity",
                       TwipsRect(240, 2040, 1200, 300));
    mskDensity = Place(new MaskedEdit(QStringLiteral("##.#"), QLatin1Char('_'), this), "mskDensity",
                       TwipsRect(1440, 1980, 900, 360));
    chkTruckLoadRates = Place(new QCheckBox(kTruckloadCaption, this), "chkTruckLoadRates",
                              TruckloadPlace());
    FitTruckloadCaption(chkTruckLoadRates);
    chkTruckLoadRates->installEventFilter(this);

    for (QWidget* w : std::initializer_list<QWidget*>{lblFrom, lblTo, lblDensity})
        w->setFont(VerdanaFont(10, true));

    lblRate = Place(new LabelButton(QStringLiteral("Print "), this), "lblRate",
                    TwipsRect(240, 6240, 1200, 360));
    lblDone = Place(new LabelButton(QStringLiteral("Done"), this), "lblDone",
                    TwipsRect(1800, 6240, 1200, 360));
    for (LabelButton* l : {lblRate, lblDone}) {
        l->setFont(VerdanaFont(11, true));
        l->SetForeColor(kColorBlack);
    }
    connect(lblRate, &LabelButton::clicked, this,
            [this] { RunHandler([this] { lblRate_Click(); }); });
    connect(lblDone, &LabelButton::clicked, this, [this] { lblDone_Click(); });
    InstallWindowKeys(this, lblDone);

    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetBackgroundPointer(kPointerArrow);
    highlighter_->WireLabels();
    gRateSheet = this;
}

frmRateSheet::~frmRateSheet() = default;

void frmRateSheet::Form_Load() {
    // The box fills its places from the left: "9.9" is shown as "09.9", not "9_.9".
    mskDensity->SetText(QString::fromStdString(Format(Val(tariff.gDensityDefault), "00.0")));
    cmbFrom->clear();
    lstTo->clear();
    lstCities->clear();
    lstCities->hide();
    hdlRightClick->setText(kRightClickHint);
    chkTruckLoadRates->setChecked(false);
    try {
        for (const std::string& city : RateSheetCities()) {
            cmbFrom->addItem(QString::fromStdString(city));
            lstTo->addItem(QString::fromStdString(city));
        }
    } catch (const std::exception& e) {
        Report(e);
    }
    if (cmbFrom->count() > 0) cmbFrom->setCurrentIndex(0);
    // The window is the same object from one opening to the next: refilled lists keep their
    // scroll until told, and a label the pointer left by closing the window stays highlighted.
    lstTo->scrollToTop();
    lstCities->scrollToTop();
    highlighter_->Background(this);
}

void frmRateSheet::Form_Activate() {
    LoadFormMouseIcon(this);
    Line1->setStyleSheet(QStringLiteral("color: rgb(50, 70, 132)"));
}

RateSheetOutcome frmRateSheet::lblRate_Click() {
    RateSheetRequest request;
    if (cmbFrom->currentIndex() >= 0) request.origin = cmbFrom->currentText().toStdString();
    for (int i = 0; i < lstTo->count(); ++i)
        if (lstTo->item(i)->isSelected())
            request.destinations.push_back(lstTo->item(i)->text().toStdString());
    request.density = mskDensity->Value().toStdString();
    request.truckload = chkTruckLoadRates->isChecked();
    printer_ = std::make_unique<TextPrinter>();
    // Messages and failures are told inside; nothing escapes the click.
    return PrintCanadaRateSheet(request, *printer_, this);
}

void frmRateSheet::lblDone_Click() {
    done(QDialog::Accepted);
}

void frmRateSheet::lstTo_MouseDown(Qt::MouseButton button, int row) {
    if (button != Qt::RightButton || row < 0 || row >= lstTo->count()) return;
    lstTo->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    std::vector<std::string> points;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        points = FillCanadaCityList(lstTo->item(row)->text().toStdString());
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        Report(e);
        return;
    }
    QApplication::restoreOverrideCursor();
    // A second city's points go below the first's until the list is clicked away.
    for (const std::string& point : points) lstCities->addItem(QString::fromStdString(point));
    lstCities->show();
    lstCities->raise();
    hdlRightClick->setText(kPointsHint);
}

void frmRateSheet::lstCities_Click() {
    hdlRightClick->setText(kRightClickHint);
    lstCities->clear();
    lstCities->hide();
}

bool frmRateSheet::eventFilter(QObject* watched, QEvent* event) {
    // The desktop's font changed while the window is there.
    if (watched == chkTruckLoadRates && event->type() == QEvent::FontChange)
        FitTruckloadCaption(chkTruckLoadRates);
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == lstTo->viewport() && mouse->button() == Qt::RightButton) {
            const QModelIndex at = lstTo->indexAt(mouse->position().toPoint());
            lstTo_MouseDown(Qt::RightButton, at.isValid() ? at.row() : lstTo->currentRow());
            return true;
        }
        // Anywhere on the points list closes it, an empty part too.
        if (watched == lstCities->viewport()) {
            lstCities_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

frmRateSheet* RateSheetWindow() {
    if (!gRateSheet) new frmRateSheet;
    return gRateSheet;
}

void UnloadRateSheetWindow() {
    delete gRateSheet;
}

void SetRateSheetShow(std::function<void(frmRateSheet&)> show) {
    gShow = std::move(show);
}

void ShowRateSheetModally(QWidget* parent) {
    const SavedMainWindowPoints saved;
    frmRateSheet* window = RateSheetWindow();
    if (parent) window->move(parent->geometry().center() - window->rect().center());
    KeepOnScreen(window);
    window->Form_Load();
    window->Form_Activate();
    if (gShow)
        gShow(*window);
    else
        ExecModal(*window);
    saved.Restore();
}
