#include "form3.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>

#include "commodity.h"
#include "entrychecks.h"
#include "form3menu.h"
#include "handlerguard.h"
#include "helpdesk.h"
#include "helpviewer.h"
#include "inputdialogs.h"
#include "labelbutton.h"
#include "lanes.h"
#include "linesclasses.h"
#include "listfit.h"
#include "msgbox.h"
#include "numbers.h"
#include "offshore.h"
#include "quotecharges.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "servicestandard.h"
#include "settings.h"
#include "tariffdb.h"
#include "text.h"
#include "twips.h"

MainWindowState mainState;

namespace {

Form3* gForm3 = nullptr;
std::function<void()> gProgramEnd = [] { QCoreApplication::exit(0); };

const QColor kBackground(27, 86, 167);

std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}

// A text is a city name when neither of its first two characters is a digit.
bool IsCityName(const std::string& s) {
    auto digit = [&](size_t i) {
        return i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]));
    };
    return !digit(0) && !digit(1);
}

void Message(const std::string& text, uint8_t style, const std::string& title) {
    ShowMessage(QString::fromStdString(text), style, QString::fromStdString(title));
}

bool MessageUp() {
    return messages.gMsgShown;
}

bool BothVerified() {
    return tariff.gOrigCountry + tariff.gDestCountry < 99;
}

// The offshore destination as entered when there is one, else the destination's code.
std::string TransitDestination() {
    return IsOffshoreZip(rating.gOffshoreDestZip) ? rating.gOffshoreDestZip : tariff.gDestZip;
}

// The class boxes, as the settings code fills them.
class ClassBoxAdapter : public ClassBoxes {
  public:
    explicit ClassBoxAdapter(std::array<QComboBox*, 5>& boxes) : boxes_(boxes) {}
    void AddItem(int box, const std::string& text) override {
        boxes_[box]->addItem(QString::fromStdString(text));
    }
    void SetText(int box, const std::string& text) override {
        if (text.empty()) {
            boxes_[box]->setCurrentIndex(-1);
            boxes_[box]->setEditText(QString());
        } else {
            boxes_[box]->setCurrentText(QString::fromStdString(text));
        }
    }

  private:
    std::array<QComboBox*, 5>& boxes_;
};

}  // namespace

Form3* MainForm() {
    return gForm3;
}

void Form3::SetProgramEnd(std::function<void()> end) {
    gProgramEnd = std::move(end);
}

Form3::Form3(QWidget* parent) : QWidget(parent) {
    gForm3 = this;
    setObjectName("Form3");
    setWindowTitle("Norvale Fretlyn2007");
    BuildControls();
    highlighter_ = new LabelHighlighter(this, kHiliteWhite);
    highlighter_->WireLabels();
    highlighter_->SetLastHiliteLabel("nothing");
    menu = new MainMenu(*this, *highlighter_);
    // An Alaska destination is zoned by the city as typed.
    SetDestEntryTextQuery([this] { return txtdzip->text().toStdString(); });
}

Form3::~Form3() {
    if (GetPointEntryView() == this) SetPointEntryView(nullptr);
    SetDestEntryTextQuery(nullptr);
    if (hourglass_) QApplication::restoreOverrideCursor();
    if (gForm3 == this) gForm3 = nullptr;
}

void Form3::BuildControls() {
    setFixedSize(720, 560);
    QFont base = font();
    base.setPointSize(10);
    setFont(base);

    auto label = [&](const char* name, const QString& text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setGeometry(x, y, w, h);
        // As the highlighting leaves them: "lbl" labels black, headings white. Black on the
        // window's blue reads better in a bold face.
        const bool lbl = std::string(name).rfind("lbl", 0) == 0;
        SetLabelForeColor(l, lbl ? 0 : 0xFFFFFF);
        if (lbl) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
        }
        return l;
    };
    auto button = [&](const char* name, const QString& text, int x, int y, int w, int h) {
        auto* l = new LabelButton(text, this);
        l->setObjectName(name);
        l->setGeometry(x, y, w, h);
        l->SetForeColor(0);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    auto edit = [&](const char* name, int x, int y, int w) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setGeometry(x, y, w, 26);
        e->installEventFilter(this);
        return e;
    };

    auto* title = label("hdlTitle", "Norvale Freight  \u2014  LTL rate quote", 20, 12, 500, 30);
    QFont tf = title->font();
    tf.setPointSize(15);
    tf.setBold(true);
    title->setFont(tf);
    Line1 = new QFrame(this);
    Line1->setObjectName("Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setGeometry(20, 48, 680, 2);

    lblOrigin = button("lblOrigin", "Origin", 20, 60, 200, 20);
    lblOrigin->setToolTip("Double-click to save this origin as the default");
    txtozip = edit("txtozip", 20, 82, 240);
    txtozip->setPlaceholderText("ZIP, postal code or city");
    lblOrigCityState = label("lblOrigCityState", "", 20, 110, 260, 22);
    lblDestination = button("lblDestination", "Destination", 300, 60, 200, 20);
    txtdzip = edit("txtdzip", 300, 82, 240);
    txtdzip->setPlaceholderText("ZIP, postal code or city");
    lblDestCityState = label("lblDestCityState", "", 300, 110, 260, 22);

    hdlCommodities = label("hdlCommodities", "Commodities", 20, 145, 120, 22);
    QFont hf = hdlCommodities->font();
    hf.setBold(true);
    hdlCommodities->setFont(hf);
    for (int i = 0; i < 5; ++i) {
        int y = 172 + i * 34;
        const std::string n = std::to_string(i);
        lblweight[i] = label(("lblweight" + n).c_str(), "Weight", 20, y + 3, 55, 22);
        txtweight[i] = edit(("txtweight" + n).c_str(), 80, y, 100);
        lblclass[i] = label(("lblclass" + n).c_str(), "Class", 195, y + 3, 60, 22);
        cmbclass[i] = new QComboBox(this);
        cmbclass[i]->setObjectName(QString::fromStdString("cmbclass" + n));
        cmbclass[i]->setEditable(true);
        cmbclass[i]->setInsertPolicy(QComboBox::NoInsert);
        // A partial class must be refused by the class check, not completed to some class.
        cmbclass[i]->setCompleter(nullptr);
        cmbclass[i]->setGeometry(260, y, 90, 26);
        cmbclass[i]->installEventFilter(this);
        cmbclass[i]->lineEdit()->installEventFilter(this);
        txtDensity[i] = edit(("txtDensity" + n).c_str(), 260, y, 70);
        txtDensity[i]->hide();
        txtDensity[i]->setEnabled(false);
        lblPCF[i] = label(("lblPCF" + n).c_str(), "(pcf)", 335, y + 3, 50, 22);
        lblPCF[i]->hide();
    }

    lblDensity = label("lblDensity",
                       "Enter the volume, in cubic feet, of the shipment.  If you don't know the "
                       "volume, ",
                       20, 345, 420, 40);
    lblDensity->setWordWrap(true);
    lblClickHere = button("lblClickHere", "click here", 20, 385, 100, 20);
    txtOceanDensity = edit("txtOceanDensity", 130, 383, 100);
    chkHawaiiWillCall =
        new QCheckBox("Check this box if you want to Will Call this shipment", this);
    chkHawaiiWillCall->setObjectName("chkHawaiiWillCall");
    chkHawaiiWillCall->setGeometry(20, 415, 420, 24);
    HideOceanControls();

    lblApplyAccessorials = button("lblApplyAccessorials", "Accessorial charges", 470, 145, 230, 22);
    lstAccessorials = new QListWidget(this);
    lstAccessorials->setObjectName("lstAccessorials");
    lstAccessorials->setSelectionMode(QAbstractItemView::MultiSelection);
    accListTwips = QRect(240, 5520, 1000, 60);
    PlaceAccessorialList();
    lstAccessorials->hide();
    Timer1 = new QTimer(this);
    Timer1->setInterval(25);

    // Beside the commodities heading, over the lines the list covers while it is up.
    lblChooseCity = label("lblChooseCity", "Choose a city and state/province", 150, 145, 310, 22);
    lblChooseCity->hide();
    lstCities = new QListWidget(this);
    lstCities->setObjectName("lstCities");
    lstCities->setGeometry(20, 170, 400, 168);  // over all five commodity lines
    lstCities->installEventFilter(this);
    lstCities->hide();

    lblService = label("lblService", "", 20, 455, 560, 24);
    Line2 = new QFrame(this);
    Line2->setObjectName("Line2");
    Line2->setFrameShape(QFrame::HLine);
    Line2->setGeometry(20, 492, 680, 2);
    lblRate = button("lblRate", "Rate this shipment", 420, 510, 180, 26);
    lblExit = button("lblExit", "Exit", 640, 510, 60, 26);

    connect(txtozip, &QLineEdit::textChanged, this, [this] {
        if (!quietText_) tariff.gOrigCountry = 99;
    });
    connect(txtdzip, &QLineEdit::textChanged, this, [this] {
        if (quietText_) return;
        tariff.gDestCountry = 99;
        offshore.gAskMilitaryBase = true;
        offshore.gAskPRPort = true;
    });
    connect(lstCities, &QListWidget::itemClicked, this,
            [this] { RunHandler([this] { lstCities_Click(); }); });
    connect(lblOrigin, &LabelButton::doubleClicked, this,
            [this] { RunHandler([this] { lblOrigin_DblClick(); }); });
    connect(lblExit, &LabelButton::clicked, this,
            [this] { RunHandler([this] { lblExit_Click(); }); });
    connect(lblClickHere, &LabelButton::clicked, this, [this] { lblClickHere_Click(); });
    connect(lblApplyAccessorials, &LabelButton::clicked, this,
            [this] { lblApplyAccessorials_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(lstAccessorials, &QListWidget::itemSelectionChanged, this, [this] {
        if (!fillingAccessorials_) AccessorialClickAtomically();
    });
    connect(lblRate, &LabelButton::clicked, this,
            [this] { RunHandler([this] { lblRate_Click(); }); });
    // Keys typed anywhere in the window reach it first, as the Alt key must.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

// --------------------------------------------------------------------------- life cycle

void Form3::Form_Load() {
    SetBackgroundColor(this, kBackground);
    for (QFrame* line : {Line1, Line2}) {
        QPalette lp = line->palette();
        lp.setColor(QPalette::WindowText, Qt::white);
        line->setPalette(lp);
    }
    SetBackgroundColor(chkHawaiiWillCall, Qt::white);

    commodityLines.gAskCODAmount = true;
    LoadStatesFile();
    InitClassTables();
    OpenTariffDatabase();
    LoadSettings();
    // A run that ended with a quote window up left that quote's own services marked.
    ClearQuoteOnlyAccessorials();
    setWindowTitle(
        QString::fromStdString("Norvale Fretlyn2007 -- rates effective " + tariff.gEffDate));
    ClassBoxAdapter boxes(cmbclass);
    FillClassCombos(boxes);
    mainState.gBusy = false;
    mainState.gLocked = false;
    highlighter_->SetLastHiliteLabel("nothing");
    SetApplicationHelpFile(QString::fromStdString(AppFolder()) + "help/x2007.htm");
    tariff.gOrigCountry = 99;
    tariff.gDestCountry = 99;
    SetPointEntryView(this);
}

void Form3::Form_Activate() {
    LoadFormMouseIcon(this);
    if (lstAccessorials->count() == 0) {
        try {
            FillAccessorialList();
        } catch (const std::exception&) {
            // An activation step that fails is passed over; the next step still runs.
        }
    }
    try {
        EnterDefaultOrigin();
    } catch (const std::exception&) {
    }
}

void Form3::FillAccessorialList() {
    static const struct {
        const char* prefix;
        bool CommodityLines::*flag;
    } kKinds[] = {{"Liftgate", &CommodityLines::gAccLiftgate},
                  {"Norvale", &CommodityLines::gAccGuaranteed},
                  {"Thriftlane", &CommodityLines::gAccThriftlane},
                  {"Hazardous", &CommodityLines::gAccHazardous},
                  {"Inside", &CommodityLines::gAccInside},
                  {"Residential", &CommodityLines::gAccResidential}};
    Recordset& rs = *tariff.rsAccessorials;
    fillingAccessorials_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{fillingAccessorials_};
    for (rs.MoveFirst(); !rs.AtEOF(); rs.MoveNext()) {
        const std::string name = rs.Field("name").str();
        if (name.rfind("HCDR", 0) == 0) continue;
        auto* item = new QListWidgetItem(QString::fromStdString(name), lstAccessorials);
        const bool chosen = rs.Field("apply").toDouble() == 1;
        item->setSelected(chosen);
        for (const auto& k : kKinds)
            if (name.rfind(k.prefix, 0) == 0) commodityLines.*k.flag = chosen;
    }
    RememberAccessorialChoices();
}

void Form3::EnterDefaultOrigin() {
    std::string origin = GetConfigValue("DC_origin", "");
    if (Trim(origin).empty()) return;
    size_t comma = origin.find(',');
    if (comma != std::string::npos) origin = origin.substr(0, comma);
    txtozip->setText(QString::fromStdString(origin));
    txtozip_LostFocus();
    txtdzip->setFocus();
}

void Form3::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    SaveDefaultClasses();
    SetPointEntryView(nullptr);
    CloseAll();
    gProgramEnd();
}

// A class the class check refuses would be refused by every later rating until the user found
// it, so such a box keeps the saved class it had. The five are saved together or not at all.
void Form3::SaveDefaultClasses() {
    try {
        if (!tariff.gDB) throw std::runtime_error("The database is not open.");
        InTransaction(*tariff.gDB, [&] {
            for (int i = 0; i < 5; ++i) {
                const std::string text = cmbclass[i]->currentText().toStdString();
                if (IsNMFCClass(text)) SetConfigValue("DC_defclass" + std::to_string(i), text);
            }
        });
    } catch (const std::exception& e) {
        // The data are closed all the same; a stuck exit would not save them either.
        Message("The default classes could not be saved.  " + std::string(e.what()), kMsgOK,
                "Default Classes");
    }
}

void Form3::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form3::lblExit_Click() {
    if (mainState.gLocked) return;
    Message("Are you sure you want to exit Fretlyn2007?", kMsgQuestion, "Exit Fretlyn");
    if (messages.gMsgAnswer == kMsgYes) {
        mainState.gBusy = true;
        close();
    } else {
        mainState.gBusy = false;
    }
}

void Form3::lblOrigin_DblClick() {
    const std::string origin = Text(txtozip);
    SetConfigValue("DC_origin", origin);
    Message(origin + " will be saved as the default origin" + " ZIP/Postal code", kMsgOK, "Saved");
}

// --------------------------------------------------------------------------- entry checks

namespace {
// The hourglass a look-up may raise never outlives the check that raised it.
struct HourglassScope {
    bool& flag;
    ~HourglassScope() {
        if (flag) QApplication::restoreOverrideCursor();
        flag = false;
    }
};
}  // namespace

void Form3::ReportDataError(const std::exception& e, bool isDest) {
    (isDest ? tariff.gDestCountry : tariff.gOrigCountry) = 99;
    SetCityCaption(isDest, "");
    SetLocked(false);
    lstCities->hide();
    lblChooseCity->hide();
    Message(e.what(), kMsgOK, "Tariff Data Error");
    Refocus(isDest ? txtdzip : txtozip);
}

void Form3::txtozip_LostFocus() {
    if (mainState.gBusy) return;
    HourglassScope scope{hourglass_};
    try {
        lblOrigCityState->clear();
        // The standard of the lane before stays only if this origin is verified again.
        lblService->clear();
        const std::string text = Text(txtozip);
        if (Trim(text).empty()) return OriginTail();
        if (text.find(',') != std::string::npos) {
            if (tariff.gOrigCountry != 99)
                lblOrigCityState->setText(QString::fromStdString(tariff.gOrigCityState));
            return OriginTail();
        }
        tariff.gOrigZip = Upper(Trim(text));
        txtozip->setText(QString::fromStdString(tariff.gOrigZip));
        tariff.gOrigCountry = 99;

        if (IsCityName(tariff.gOrigZip)) {
            if (!SearchCities(tariff.gOrigZip, 0)) {
                if (!MessageUp()) {
                    Message("Origin was not verified.  Please try again.", kMsgOK,
                            "Data Entry Error");
                    Refocus(txtozip);
                }
                return;
            }
            if (mainState.gLocked) return;  // the choice in lstCities completes the origin
            if (tariff.gOrigCountry == 99 || !IsOffshoreZip(tariff.gOrigZip)) return OriginTail();
            return RefuseOffshoreOrigin(true);
        }

        if (!LookupCityState(tariff.gOrigZip, 0)) {
            if (!MessageUp()) {
                Message("Origin was not verified.  Please try again.", kMsgOK, "Data Entry Error");
                Refocus(txtozip);
            }
            return;
        }
        lblOrigCityState->setText(QString::fromStdString(tariff.gOrigCityState));
        if (IsOffshoreZip(tariff.gOrigZip)) return RefuseOffshoreOrigin();
        OriginTail();
    } catch (const std::exception& e) {
        ReportDataError(e, false);
    }
}

// The carrier does not quote outbound from Alaska, Hawaii or Puerto Rico here. The origin is
// refused before any offshore set-up, which would otherwise rewrite the destination.
void Form3::RefuseOffshoreOrigin(bool typedAsCity) {
    const char* offshoreName = OffshoreName(tariff.gOffshoreState);
    const std::string name = offshoreName ? offshoreName : tariff.gOffshoreState;
    tariff.gOrigCountry = 99;
    if (MessageUp()) {
    } else if (typedAsCity) {
        Message("Please call the Norvale help desk at " + std::string(kHelpDeskPhone) +
                    " about outbound service from " + name + ".",
                kMsgOK, "NORVALE Service");
    } else {
        Message("Contact your NORVALE representative about outbound " +
                    std::string("service from ") + name + ".",
                kMsgOK, "NORVALE Service");
    }
    offshore.gOffshoreName.clear();
    tariff.gOffshoreState.clear();
    SetTextQuietly(txtozip, "");
    lblOrigCityState->clear();
    Refocus(txtozip);
}

void Form3::OriginTail() {
    rating.gOutbound = tariff.gOrigCountry != 99 && IsShipLocationZip(tariff.gOrigZip3, 0);
    if (IsIntraCanada()) ShowDensityEntry();
    ShowTransitDays();
}

void Form3::txtdzip_LostFocus() {
    if (mainState.gBusy) return;
    HourglassScope scope{hourglass_};
    try {
        lblDestCityState->clear();
        // As for the origin: the lane's standard stays only if this destination is verified again.
        lblService->clear();
        const std::string text = Text(txtdzip);
        if (Trim(text).empty()) return DestinationTail();
        tariff.gDestZip = Upper(Trim(text));
        const std::string typed = tariff.gDestZip;
        txtdzip->setText(QString::fromStdString(tariff.gDestZip));
        tariff.gDestCountry = 99;

        const size_t comma = typed.find(',');
        const bool byCity = comma != std::string::npos || IsCityName(typed);
        if (comma != std::string::npos) tariff.gDestZip = typed.substr(0, comma);

        if (byCity) {
            if (!SearchCities(tariff.gDestZip, 1)) {
                Message("Destination was not verified.  " + std::string("Please try again."),
                        kMsgOK, "Data Entry Error");
                Refocus(txtdzip);
                return;
            }
            if (mainState.gLocked) return;  // the choice in lstCities completes it
            if (!LookupCityState(tariff.gDestZip, 1)) return DestinationTail();
        } else if (!LookupCityState(tariff.gDestZip, 1)) {
            if (!MessageUp()) {
                Message("Destination was not verified.  Please try again.", kMsgOK,
                        "Data Entry Error");
                Refocus(txtdzip);
            }
            return;
        }
        lblDestCityState->setText(QString::fromStdString(tariff.gDestCityState));
        if (!IsOffshoreZip(tariff.gDestZip)) {
            ClearOffshoreValues();
            return DestinationTail();
        }

        if (!SetupOffshore(tariff.gDestState)) return Refocus(txtdzip);
        if (IsHawaiiWillCallZip(rating.gOffshoreDestZip) || IsAKZone99(rating.gOffshoreDestZip)) {
            tariff.gDestCountry = 99;
            if (MessageUp()) return;
            Message(
                "Please contact your Norvale Service Center " + std::string("about this shipment"),
                kMsgOK, "Special Service");
            lblDestCityState->clear();
            if (byCity) SetTextQuietly(txtdzip, "");
            Refocus(txtdzip);
            return;
        }
        if (!byCity && tariff.gOffshoreState == "AK") {
            tariff.gDestCountry = 99;
            if (!MessageUp())
                Message("Alaska can only be rated " + std::string("by city"), kMsgOK,
                        "Zip entry error");
            Refocus(txtdzip);
            return;
        }
        if (tariff.gOffshoreState == "AK" && !ReadsAsNumber(typed))
            lblDestCityState->setText(QString::fromStdString(typed));
        ShowOceanControls(tariff.gOffshoreState != "AK", offshore.gIsHI);
        LookupCityState(tariff.gDestZip, 1);
        DestinationTail();
    } catch (const std::exception& e) {
        ReportDataError(e, true);
    }
}

void Form3::DestinationTail() {
    if (BothVerified()) {
        rating.gInbound = IsShipLocationZip(tariff.gDestZip3, 1);
        if (IsIntraCanada())
            ShowDensityEntry();
        else
            ShowClassEntry();
    }
    ShowTransitDays();
}

void Form3::ShowTransitDays(bool evenToPuertoRico) {
    if ((offshore.gIsPR && !evenToPuertoRico) || !BothVerified()) return;
    rating.gServiceDays = GetServiceDays(tariff.gOrigZip, TransitDestination());
    lblService->setText(QString::fromStdString(ServiceStandardText(rating.gServiceDays, 0)));
}

void Form3::ShowOceanControls(bool oceanCube, bool willCall) {
    lblDensity->setVisible(oceanCube);
    lblClickHere->setVisible(oceanCube);
    txtOceanDensity->setVisible(oceanCube);
    if (willCall) chkHawaiiWillCall->show();
}

void Form3::HideOceanControls() {
    lblDensity->hide();
    lblClickHere->hide();
    txtOceanDensity->clear();
    txtOceanDensity->hide();
    chkHawaiiWillCall->hide();
}

void Form3::txtozip_GotFocus() {
    txtozip->selectAll();
    if (!IsOffshoreZip(rating.gOffshoreDestZip)) {
        tariff.gOffshoreState.clear();
        HideOceanControls();
    }
}

void Form3::txtdzip_GotFocus() {
    txtdzip->selectAll();
    tariff.gOffshoreState.clear();
    HideOceanControls();
}

void Form3::txtozip_Click() {
    if (mainState.gLocked && !MessageUp()) lstCities->setFocus();
}

void Form3::lstCities_LostFocus() {
    if (!mainState.gLocked || !lstCities->isVisible()) return;
    if (IsOffshoreZip(tariff.gOrigZip)) return;
    if (lstCities->selectedItems().isEmpty()) {
        Message(tariff.gPickForDest
                    ? "Destination was not verified.  Choose a city.  Please try again."
                    : "Origin was not verified. Choose a city.  Please try again.",
                kMsgOK, "Data Entry Error");
        Refocus(lstCities);
        return;
    }
    lstCities_Click();
}

void Form3::lstCities_Click() {
    const bool forDest = tariff.gPickForDest != 0;
    const auto selected = lstCities->selectedItems();
    if (selected.isEmpty()) {
        Message(forDest ? "Destination was not verified.  Choose a city.  Please try again."
                        : "Origin was not verified.  Choose a city.  Please try again.",
                kMsgOK, "Data Entry Error");
        Refocus(lstCities);
        return;
    }
    const std::string choice = selected.front()->text().toStdString();
    auto endChoice = [this] {
        lstCities->hide();
        lblChooseCity->hide();
        SetLocked(false);
    };
    try {
        PickCity(choice);
        endChoice();
        if ((forDest ? tariff.gDestCountry : tariff.gOrigCountry) == 99) {
            Message(forDest ? "Destination was not verified.  Please try again."
                            : "Origin was not verified.  Please try again.",
                    kMsgOK, "Data Entry Error");
            Refocus(forDest ? txtdzip : txtozip);
            return;
        }
        if (forDest) {
            if (!IsOffshoreZip(tariff.gDestZip)) {
                ClearOffshoreValues();
            } else {
                if (!SetupOffshore(tariff.gDestState)) {
                    SetTextQuietly(txtdzip, "");
                    lblDestCityState->clear();
                    return Refocus(txtdzip);
                }
                if (IsHawaiiWillCallZip(rating.gOffshoreDestZip) ||
                    IsAKZone99(rating.gOffshoreDestZip)) {
                    Message("Please contact your Norvale Service Center about this shipment",
                            kMsgOK, "Special Service");
                    offshore.gOffshoreName.clear();
                    tariff.gOffshoreState.clear();
                    tariff.gDestCountry = 99;
                    SetTextQuietly(txtdzip, "");
                    lblDestCityState->clear();
                    Refocus(txtdzip);
                    return;
                }
                ShowOceanControls(tariff.gOffshoreState != "AK", offshore.gIsHI);
                LookupCityState(tariff.gDestZip, 1);
            }
            SetTextQuietly(txtdzip, QString::fromStdString(choice));
            lblDestCityState->setText(QString::fromStdString(choice));
            DestinationTail();
            txtweight[0]->setFocus();
        } else {
            if (IsOffshoreZip(tariff.gOrigZip)) return RefuseOffshoreOrigin();
            SetTextQuietly(txtozip, QString::fromStdString(choice));
            lblOrigCityState->setText(QString::fromStdString(choice));
            OriginTail();
            txtdzip->setFocus();
        }
    } catch (const std::exception& e) {
        ReportDataError(e, forDest);
    }
}

// --------------------------------------------------------------------------- commodity lines

void Form3::ShowDensityEntry() {
    ShowEntryMode(true);
}

void Form3::ShowClassEntry() {
    ShowEntryMode(false);
}

// Between two Canadian points a line takes a density instead of a class; the boxes of the
// other mode keep their texts, hidden and disabled.
void Form3::ShowEntryMode(bool density) {
    for (int i = 0; i < 5; ++i) {
        txtDensity[i]->setVisible(density);
        txtDensity[i]->setEnabled(density);
        lblPCF[i]->setVisible(density);
        lblclass[i]->setText(density ? "Density" : "Class");
        cmbclass[i]->setVisible(!density);
        cmbclass[i]->setEnabled(!density);
    }
    auto second = [&](int i) -> QWidget* {
        return density ? static_cast<QWidget*>(txtDensity[i]) : cmbclass[i];
    };
    for (int i = 0; i < 5; ++i) {
        QWidget::setTabOrder(i == 0 ? static_cast<QWidget*>(txtdzip) : second(i - 1), txtweight[i]);
        QWidget::setTabOrder(txtweight[i], second(i));
    }
}

void Form3::txtweight_GotFocus(int index) {
    try {
        if (BothVerified()) {
            rating.gOutbound = IsShipLocationZip(tariff.gOrigZip3, 0);
            rating.gInbound = IsShipLocationZip(tariff.gDestZip3, 1);
            if (IsIntraCanada())
                ShowDensityEntry();
            else
                ShowClassEntry();
            // Unlike the entry checks, the weight box shows a Puerto Rico standard too.
            ShowTransitDays(true);
        }
    } catch (const std::exception& e) {
        Message(e.what(), kMsgOK, "Tariff Data Error");
    }
    QLineEdit* box = txtweight[index];
    box->setSelection(0, static_cast<int>(Trim(Text(box)).size()));
}

void Form3::cmbclass_LostFocus(int index) {
    const std::string text = cmbclass[index]->currentText().toStdString();
    for (const auto& c : tariff.gClasses)
        if (c == text) return;
    Message("This is an illegal NMFC Class value.  " + std::string("Please correct"), kMsgOK,
            "Error");
    Refocus(cmbclass[index]);
}

void Form3::lblClickHere_Click() {
    try {
        ShowOceanDims(txtOceanDensity, this);
    } catch (const std::exception& e) {
        Message(e.what(), kMsgOK, "Ocean Dimensions");
    }
}

void Form3::SyncCommodityLines() {
    for (int i = 0; i < 5; ++i) {
        commodityLines.txtweight[i] = Text(txtweight[i]);
        commodityLines.cmbclass[i] = cmbclass[i]->currentText().toStdString();
        commodityLines.txtDensity[i] = Text(txtDensity[i]);
    }
    commodityLines.txtOceanDensity = Text(txtOceanDensity);
    commodityLines.chkHawaiiWillCall = chkHawaiiWillCall->isChecked();
}

// --------------------------------------------------------------------------- events

void Form3::SetTextQuietly(QLineEdit* box, const QString& text) {
    quietText_ = true;
    box->setText(text);
    quietText_ = false;
}

void Form3::Refocus(QWidget* box) {
    pendingRefocus_ = box;
    box->setFocus();
    // Only the focus move made here is kept from other boxes' checks. A refocus that cannot
    // land now (the window not yet active, as at start) must not silence every later check.
    pendingRefocus_ = nullptr;
}

bool Form3::KeyPress(QObject* watched, QKeyEvent* key) {
    if (key->key() == Qt::Key_Alt) {
        lblRate_Click();
        return true;
    }
    const QString text = key->text();
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    auto upperCase = [&](QLineEdit* box) {
        if (text.size() == 1 && text[0].isLower()) {
            box->insert(text.toUpper());
            return true;
        }
        return false;
    };
    if (watched == txtozip) {
        if (enter || text == "\n") {
            txtdzip->setFocus();
            return true;
        }
        return upperCase(txtozip);
    }
    if (watched == txtdzip) {
        if (enter) {
            txtweight[0]->setFocus();
            return true;
        }
        return upperCase(txtdzip);
    }
    if (watched == txtOceanDensity) {
        // Delete edits the box like the arrow keys move in it: it types no character.
        if (text.isEmpty() || key->key() == Qt::Key_Delete) return false;
        QChar c = text[0];
        return !(c.isDigit() || c == '.' || c == '\b');
    }
    if (!enter) return false;
    if (watched == lstCities) {
        // Enter takes the highlighted city, as a click on it does.
        if (QListWidgetItem* item = lstCities->currentItem()) item->setSelected(true);
        lstCities_Click();
        return true;
    }
    for (int i = 0; i < 5; ++i) {
        if (watched == txtweight[i]) {
            if (IsIntraCanada())
                txtDensity[i]->setFocus();
            else
                cmbclass[i]->setFocus();
            return true;
        }
        if (watched == cmbclass[i] || watched == cmbclass[i]->lineEdit() ||
            watched == txtDensity[i]) {
            if (i < 4) txtweight[i + 1]->setFocus();
            return true;
        }
    }
    return false;
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            return KeyPress(watched, static_cast<QKeyEvent*>(event));
        case QEvent::FocusIn:
            if (watched == pendingRefocus_) pendingRefocus_ = nullptr;
            if (watched == txtozip) txtozip_GotFocus();
            if (watched == txtdzip) txtdzip_GotFocus();
            for (int i = 0; i < 5; ++i) {
                if (watched == txtweight[i]) txtweight_GotFocus(i);
                if (watched == txtDensity[i]) txtDensity[i]->selectAll();
            }
            break;
        case QEvent::FocusOut: {
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Switching to another program or opening a menu is not leaving the box.
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
            if (pendingRefocus_ && pendingRefocus_ != watched) break;
            if (watched == txtozip) txtozip_LostFocus();
            if (watched == txtdzip) txtdzip_LostFocus();
            if (watched == lstCities) lstCities_LostFocus();
            for (int i = 0; i < 5; ++i)
                if (watched == cmbclass[i]) cmbclass_LostFocus(i);
            break;
        }
        case QEvent::MouseButtonPress:
            if (watched == txtozip) txtozip_Click();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

// --------------------------------------------------------------------------- accessorials

namespace {
// The main window's flag of an accessorial item, by its exact text.
bool* FlagOfItem(const std::string& item) {
    auto& c = commodityLines;
    if (item == "Norvale GUARANTEED!") return &c.gAccGuaranteed;
    if (item == "Liftgate service") return &c.gAccLiftgate;
    if (item == "Hazardous materials") return &c.gAccHazardous;
    if (item == "Thriftlane") return &c.gAccThriftlane;
    if (item == "Inside pickup and delivery") return &c.gAccInside;
    if (item == "Residential delivery") return &c.gAccResidential;
    return nullptr;
}

// The refusal a newly chosen item meets, given the flags as they stand; empty when none.
std::string RefusalOf(const std::string& item) {
    const auto& c = commodityLines;
    if (item == "Norvale GUARANTEED!") {
        if (c.gAccLiftgate) return "Cannot Guarantee a Liftgate shipment. ";
        if (c.gAccHazardous) return "Cannot Guarantee a Hazardous materials shipment. ";
        if (c.gAccThriftlane) return "Cannot Guarantee a Thriftlane shipment. ";
    } else if (item == "Liftgate service") {
        if (c.gAccGuaranteed) return "Cannot add a Liftgate service to a Guaranteed shipment. ";
    } else if (item == "Hazardous materials") {
        if (c.gAccGuaranteed) return "Cannot add Hazardous materials to a Guaranteed shipment. ";
        if (c.gAccThriftlane) return "Cannot add Hazardous materials to a Thriftlane shipment. ";
    } else if (item == "Thriftlane") {
        if (c.gAccGuaranteed) return "Cannot add Thriftlane service to a Guaranteed shipment. ";
        if (c.gAccHazardous)
            return "Cannot add Thriftlane service to a Hazardous materials shipment. ";
    }
    return {};
}
}  // namespace

void Form3::lstAccessorials_Click() {
    Recordset& rs = *tariff.rsAccessorials2;
    if (lstAccessorials->count() > 0) {
        rs.Seek("=", {lstAccessorials->item(0)->text().toStdString()});
        if (!rs.NoMatch() && rs.Field("apply").toDouble() == 0 &&
            lstAccessorials->item(0)->isSelected())
            commodityLines.gAskCODAmount = true;
    }
    if (mainState.gLocked || mainState.gInAccClick) {
        mainState.gInAccClick = false;
        return;
    }
    for (int i = 0; i < lstAccessorials->count(); ++i) {
        QListWidgetItem* item = lstAccessorials->item(i);
        const std::string name = item->text().toStdString();
        rs.Seek("=", {name});
        if (rs.NoMatch()) continue;
        rs.Edit();
        bool* flag = FlagOfItem(name);
        if (item->isSelected()) {
            const std::string refusal = RefusalOf(name);
            if (!refusal.empty()) {
                rs.CancelUpdate();
                *flag = false;
                mainState.gInAccClick = true;
                Message(refusal + " ", kMsgOK, "Service not Available");
                item->setSelected(false);
                return;
            }
            if (flag) *flag = true;
            rs.SetField("apply", 1);
        } else {
            rs.SetField("apply", 0);
            if (flag) *flag = false;
        }
        rs.Update();
    }
    mainState.gInAccClick = false;
}

void Form3::AccessorialClickAtomically() {
    const CommodityLines flags = commodityLines;
    const bool inClick = mainState.gInAccClick;
    const bool stored = RunHandlerAtomically(
        [this] { lstAccessorials_Click(); },
        [&] {
            commodityLines = flags;
            mainState.gInAccClick = inClick;
            if (accChoices_.size() != static_cast<size_t>(lstAccessorials->count())) return;
            fillingAccessorials_ = true;
            for (int i = 0; i < lstAccessorials->count(); ++i)
                lstAccessorials->item(i)->setSelected(accChoices_[static_cast<size_t>(i)]);
            fillingAccessorials_ = false;
        });
    if (stored) RememberAccessorialChoices();
}

void Form3::RememberAccessorialChoices() {
    accChoices_.clear();
    for (int i = 0; i < lstAccessorials->count(); ++i)
        accChoices_.push_back(lstAccessorials->item(i)->isSelected());
}

void Form3::lblApplyAccessorials_Click() {
    if (mainState.gLocked) return;
    mainState.gBusy = true;
    if (lstAccessorials->isHidden()) Timer1->start();
    mainState.gBusy = false;
}

void Form3::Timer1_Timer() {
    lstAccessorials->show();
    lstAccessorials->raise();
    QRect& r = accListTwips;
    r = QRect(r.left(), r.top() - 270, r.width() + 400, r.height() + 270);
    if (r.top() < 4400) {
        r.setHeight(r.height() - 100);
        Timer1->stop();
    }
    PlaceAccessorialList();
    if (!Timer1->isActive()) GrowToShowEveryItem(lstAccessorials);
}

// The list opens in the right-hand column; its slide follows the twips the window was
// designed in, moved there.
void Form3::PlaceAccessorialList() {
    const QPoint offset(470 - TwipsToPixels(240), 172 - TwipsToPixels(4170));
    lstAccessorials->setGeometry(TwipsToPixels(accListTwips.left()) + offset.x(),
                                 TwipsToPixels(accListTwips.top()) + offset.y(),
                                 TwipsToPixels(accListTwips.width()),
                                 TwipsToPixels(accListTwips.height()));
}

void Form3::Form_Click() {
    if (!lstAccessorials->isHidden()) lstAccessorials->hide();
}

void Form3::mousePressEvent(QMouseEvent* event) {
    Form_Click();
    QWidget::mousePressEvent(event);
}

// --------------------------------------------------------------------------- rating request

void Form3::StoreAccessorialMarks() {
    Recordset& rs = *tariff.rsAccessorials2;
    for (int i = 0; i < lstAccessorials->count(); ++i) {
        rs.Seek("=", {lstAccessorials->item(i)->text().toStdString()});
        if (rs.NoMatch()) continue;
        rs.Edit();
        rs.SetField("apply", lstAccessorials->item(i)->isSelected() ? 1 : 0);
        rs.Update();
    }
    fillingAccessorials_ = true;
    lstAccessorials->clear();
    fillingAccessorials_ = false;
    Timer1->stop();
    accListTwips = QRect(120, 6240, 1000, 60);
    PlaceAccessorialList();
    lstAccessorials->hide();
}

void Form3::lblRate_Click() {
    if (mainState.gLocked) return;
    bool rated = false;
    bool engineRan = false;
    try {
        if (CheckRequest()) {
            SyncCommodityLines();
            engineRan = true;
            rated = RateShipment();
        }
    } catch (const std::exception& e) {
        Message(e.what(), kMsgOK, "Rating Error");
    }
    if (rated) {
        // The quote window has closed: the list comes back from the stored marks, and the
        // default origin is entered again.
        show();
        Form_Activate();
        txtozip->setFocus();
    } else if (lstAccessorials->count() == 0) {
        // A refused request keeps the origin as typed, but the choices are shown again.
        try {
            FillAccessorialList();
        } catch (const std::exception&) {
        }
    }
    // A request the engine refused starts again from its origin, as a rated one does.
    if (!rated && engineRan) txtozip->setFocus();
}

// The checks of a request, in their order; false after the first that fails.
bool Form3::CheckRequest() {
    txtozip_LostFocus();
    StoreAccessorialMarks();
    if (tariff.gOrigCountry == 99) {
        txtozip->setFocus();
        return false;
    }
    if (tariff.gDestCountry == 99) {
        txtdzip->setFocus();
        return false;
    }
    // Shipping locations added, deleted or replaced since the ends were entered count at once.
    rating.gOutbound = IsShipLocationZip(tariff.gOrigZip3, 0);
    rating.gInbound = IsShipLocationZip(tariff.gDestZip3, 1);
    if (commodityLines.gAccGuaranteed &&
        (Trim(tariff.gOrigZip).empty() || Trim(tariff.gDestZip).empty() ||
         !IsDirectPoint(tariff.gOrigZip, tariff.gDestZip))) {
        Message("Cannot Guarantee, not direct points " + std::string(" "), kMsgOK,
                "Service not Available");
        return false;
    }
    if (!GetPXSStandard(tariff.gOrigZip, TransitDestination(), rating.gPXSDays) &&
        commodityLines.gAccThriftlane) {
        Message("Not a valid Thriftlane Lane " + std::string(" "), kMsgOK, "Service not Available");
        return false;
    }
    const std::string lane =
        GetLaneCode(GridCellNumber(tariff.gOrigSubscript, tariff.gDestSubscript));
    rating.gLaneCode = static_cast<int32_t>(std::stol(lane));
    if (rating.gLaneCode == 99099) {
        Message("As of " + tariff.gEffDate + " NORVALE " +
                    "does not service this lane.  Please contact your Service Center.",
                kMsgOK, "No Service");
        txtozip->setFocus();
        return false;
    }
    // A quantity that is not a plain number would be rated as another than the quote shows:
    // where a value was typed, the refusal says what is wrong with it rather than that it is
    // missing.
    auto refuse = [this](const std::string& text, QLineEdit* box) {
        Message(text, kMsgOK, "Data Entry Error");
        box->setFocus();
        return false;
    };
    if (Val(Text(txtweight[0])) <= 0) return refuse("No commodity weight entered.", txtweight[0]);
    auto blank = [this](int i) { return Trim(Text(txtweight[i])).empty(); };
    for (int i = 0; i < 5; ++i) {
        if (i >= 1 && i <= 3 && blank(i) && !blank(i + 1))
            return refuse("The commodity on line  " + std::to_string(i + 1) +
                              " is missing a weight value.  " + "Please correct the problem.",
                          txtweight[i]);
        if (blank(i)) continue;
        const std::string wrong = WeightRefusal(i + 1, Text(txtweight[i]));
        if (!wrong.empty()) return refuse(wrong, txtweight[i]);
    }
    if (IsIntraCanada()) {
        for (int i = 0; i < 5; ++i) {
            if (blank(i)) continue;
            const std::string density = Text(txtDensity[i]);
            const std::string wrong = Trim(density).empty()
                                          ? "The commodity on line  " + std::to_string(i + 1) +
                                                " is missing a density value.  " +
                                                "Please correct the problem."
                                          : DensityRefusal(i + 1, density);
            if (!wrong.empty()) return refuse(wrong, txtDensity[i]);
        }
    }
    for (int i = 0; i < 5; ++i) rating.gLineWeight[i] = Trim(Text(txtweight[i]));
    if (IsOffshoreZip(rating.gOffshoreDestZip) && tariff.gOffshoreState != "AK") {
        const std::string cube = Text(txtOceanDensity);
        const std::string wrong =
            Trim(cube).empty()
                ? "You must specify a density " + std::string("value for ocean-going shipments.")
                : OceanCubeRefusal(cube);
        if (!wrong.empty()) {
            Message(wrong, kMsgOK, "Data Entry Error");
            ShowOceanControls(true, false);
            txtOceanDensity->setFocus();
            return false;
        }
    }
    rating.gServiceDays = GetServiceDays(tariff.gOrigZip, TransitDestination());
    lblService->setText(QString::fromStdString(ServiceStandardText(rating.gServiceDays, 0)));
    return true;
}

// --------------------------------------------------------------------------- PointEntryView

void Form3::ShowHourglass() {
    if (!hourglass_) QApplication::setOverrideCursor(Qt::WaitCursor);
    hourglass_ = true;
}

void Form3::ClearCityList() {
    lstCities->clear();
}

void Form3::AddCity(const std::string& entry) {
    lstCities->addItem(QString::fromStdString(entry));
}

std::vector<std::string> Form3::CityEntries() const {
    std::vector<std::string> out;
    for (int i = 0; i < lstCities->count(); ++i)
        out.push_back(lstCities->item(i)->text().toStdString());
    return out;
}

void Form3::RemoveCity(int index) {
    delete lstCities->takeItem(index);
}

void Form3::ShowCityList() {
    lblChooseCity->show();
    lblChooseCity->raise();
    lstCities->show();
    lstCities->raise();
    lstCities->setFocus();
}

void Form3::SetZipText(bool isDest, const std::string& text) {
    SetTextQuietly(isDest ? txtdzip : txtozip, QString::fromStdString(text));
}

void Form3::SetCityCaption(bool isDest, const std::string& caption) {
    (isDest ? lblDestCityState : lblOrigCityState)->setText(QString::fromStdString(caption));
}

void Form3::FocusDestZip() {
    txtdzip->setFocus();
}

void Form3::FocusFirstWeight() {
    txtweight[0]->setFocus();
}

bool Form3::MilitaryQuestionPending() const {
    return offshore.gAskMilitaryBase;
}

void Form3::SetLocked(bool locked) {
    mainState.gLocked = locked;
}
