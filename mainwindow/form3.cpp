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
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>

#include "checklist.h"
#include "commodity.h"
#include "entryfilter.h"
#include "form3menu.h"
#include "form3shared.h"
#include "handlerguard.h"
#include "helpviewer.h"
#include "labelbutton.h"
#include "linesclasses.h"
#include "msgbox.h"
#include "offshore.h"
#include "quotecharges.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"
#include "text.h"
#include "windowkeys.h"

using namespace form3shared;

MainWindowState mainState;

namespace {

Form3* gForm3 = nullptr;
std::function<void()> gProgramEnd = [] { QCoreApplication::exit(0); };

const QColor kBackground(27, 86, 167);

// The class boxes, as the settings code fills them.
class ClassBoxAdapter : public ClassBoxes {
  public:
    // A start made again (after a damaged database was set aside) fills the boxes afresh.
    explicit ClassBoxAdapter(std::array<QComboBox*, 5>& boxes) : boxes_(boxes) {
        for (QComboBox* box : boxes_) box->clear();
    }
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
    SetProgramMainWindow(this);
    setObjectName("Form3");
    setWindowTitle("Norvale Fretlyn2007");
    BuildControls();
    highlighter_ = new LabelHighlighter(this, kHiliteWhite);
    highlighter_->WireLabels();
    highlighter_->SetLastHiliteLabel("nothing");
    menu = new MainMenu({this, lblApplyAccessorials, lblRate, lblExit, lblClickHere,
                         chkHawaiiWillCall, [this] { Form_Activate(); }},
                        *highlighter_);
    SetKeyboardOrder();
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
    AdmitOnly(txtOceanDensity, QStringLiteral("0-9."));
    chkHawaiiWillCall =
        new QCheckBox("Check this box if you want to Will Call this shipment", this);
    chkHawaiiWillCall->setObjectName("chkHawaiiWillCall");
    chkHawaiiWillCall->setGeometry(20, 415, 420, 24);
    HideOceanControls();

    lblApplyAccessorials = button("lblApplyAccessorials", "Accessorial charges", 470, 145, 230, 22);
    lstAccessorials = new CheckList(this);
    lstAccessorials->setObjectName("lstAccessorials");
    accListTwips = form3shared::kAccListCollapsed;
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
    // Keys typed anywhere in the window reach it first, as the Alt key must; the window's own
    // events too, for the Alt key's release after a switch to another window.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    installEventFilter(this);
}

void Form3::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FitScreen();
}

// A large desktop font on a small screen (144 dpi on 1280 x 1024) makes the window larger than
// the screen's free room, and the commands at its right edge would lie off the screen. The
// contents then scroll inside a window that fits, frame and title bar included; Tab brings each
// control it reaches into view.
void Form3::FitScreen() {
    if (fitArea_ || !screen()) return;
    const QRect inner = geometry(), outer = frameGeometry();
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                   outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // Before the window manager has framed the window its frame is not known: room is kept for
    // a title bar and borders.
    if (frame.isNull()) frame = QMargins(4, 32, 4, 4);
    const QSize room = screen()->availableGeometry().size().shrunkBy(frame);
    const QSize design = size();
    if (design.width() <= room.width() && design.height() <= room.height()) return;

    auto* content = new QWidget(this);
    content->setObjectName(QStringLiteral("formContent"));
    content->setFixedSize(design);
    content->setAutoFillBackground(true);
    QWidget* focus = focusWidget();
    fitting_ = true;
    const QObjectList children = this->children();
    for (QObject* child : children) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w == content || w->isWindow()) continue;
        const bool hidden = w->isHidden();
        const QRect at = w->geometry();
        w->setParent(content);
        w->setGeometry(at);
        if (!hidden) w->show();
    }
    fitArea_ = new QScrollArea(this);
    fitArea_->setObjectName(QStringLiteral("fitArea"));
    fitArea_->setFrameShape(QFrame::NoFrame);
    // The view is no stop of its own between the window's controls.
    fitArea_->setFocusPolicy(Qt::NoFocus);
    fitArea_->setWidget(content);
    // A scroll bar along one edge takes room from the other direction.
    const int bar = fitArea_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize fits = design.boundedTo(room);
    if (fits.width() < design.width()) fits.setHeight(std::min(room.height(), fits.height() + bar));
    if (fits.height() < design.height()) fits.setWidth(std::min(room.width(), fits.width() + bar));
    setFixedSize(fits);
    fitArea_->setGeometry(rect());
    fitArea_->show();
    highlighter_->AddBackground(content);
    content->installEventFilter(this);
    SetKeyboardOrder();
    if (focus) focus->setFocus(Qt::OtherFocusReason);
    fitting_ = false;
    move(KeptInside(QRect(pos(), fits.grownBy(frame)), screen()->availableGeometry()).topLeft());
}

void Form3::SetKeyboardOrder() {
    // Every command label takes the focus with Tab: the entry from the top, the commands under
    // it, then the column of commands from the top, and last "Origin" (whose double click saves
    // the default), so that the window still opens with the focus in a box.
    MakeCommandsKeyboardReachable(this);
    std::vector<QWidget*> order{txtozip, txtdzip};
    for (int i = 0; i < 5; ++i)
        order.insert(order.end(), {txtweight[i], cmbclass[i], txtDensity[i]});
    order.insert(order.end(), {lblClickHere, txtOceanDensity, chkHawaiiWillCall, lblRate, lblExit});
    for (QWidget* w : menu->KeyboardOrder()) {
        order.push_back(w);
        // The accessorial list opens under its label's focus and is left with Tab.
        if (w == lblApplyAccessorials) order.push_back(lstAccessorials);
    }
    order.push_back(lblOrigin);
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
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
    // A check box fills with the button colour unless told otherwise; its tick box takes the
    // palette's box colours, which a dark desktop makes dark: white and black on any desktop.
    chkHawaiiWillCall->setBackgroundRole(QPalette::Window);
    QPalette willCall = chkHawaiiWillCall->palette();
    willCall.setColor(QPalette::Base, Qt::white);
    willCall.setColor(QPalette::Text, Qt::black);
    chkHawaiiWillCall->setPalette(willCall);

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
    const std::vector<std::string> damagedClasses = FillClassCombos(boxes);
    if (!damagedClasses.empty()) {
        std::string said;
        for (const std::string& text : damagedClasses) said += (said.empty() ? "" : "\n\n") + text;
        Message(said, kMsgOK, "Default Classes");
    }
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

bool Form3::AltKey(QEvent* event) {
    // Alt-R, as the Rate label's tip offers it; Alt with any other key is not ours.
    const bool altHeld = altKey_.HeldAlone();
    switch (altKey_.Read(event)) {
        case AltAloneKey::Seen::AltAlone:
            RunHandler([this] { lblRate_Click(); });
            return true;
        case AltAloneKey::Seen::AltKey:
            return true;
        case AltAloneKey::Seen::Other:
            break;
    }
    if (event->type() != QEvent::KeyPress || !altHeld) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_R || (key->modifiers() & ~(Qt::AltModifier | Qt::KeypadModifier)))
        return false;
    RunHandler([this] { lblRate_Click(); });
    return true;
}

bool Form3::KeyPress(QObject* watched, QKeyEvent* key) {
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
        if (text.isEmpty() || key->key() == Qt::Key_Delete || IsEditingShortcut(key)) return false;
        QChar c = text[0];
        return !(c.isDigit() || c == '.' || c == '\b');
    }
    if (watched == lstAccessorials && key->key() == Qt::Key_Escape) {
        Form_Click();
        return true;
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
                // As a Tab would: the class is selected, so that typing replaces it.
                cmbclass[i]->setFocus(Qt::TabFocusReason);
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
    // Moving the controls into the scrolled view takes the focus from a box and gives it back:
    // the user left nothing, and nothing is checked.
    if (fitting_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        return false;
    if (AltKey(event)) return true;
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            // The window system gives Alt with a letter the letter's text, which a box would
            // type as if Alt were not held: a combination that is no command types nothing.
            // Keys without text (Alt with an arrow opening a class list) go on.
            if ((key->modifiers() & Qt::AltModifier) && !key->text().isEmpty() &&
                key->text().at(0).isPrint())
                return true;
            return KeyPress(watched, key);
        }
        case QEvent::FocusIn:
            if (fitArea_ && watched->isWidgetType())
                fitArea_->ensureWidgetVisible(static_cast<QWidget*>(watched));
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
