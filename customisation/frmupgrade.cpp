#include "frmupgrade.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QRadioButton>
#include <filesystem>

#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "messagebox.h"
#include "tariffdb.h"
#include "twips.h"
#include "upgrade.h"
#include "userdatabase.h"
#include "windowkeys.h"

namespace {

// The design, in twips.
constexpr int kWidth = 6600;
constexpr int kHeight = 4560;
constexpr int kMargin = 240;
constexpr int kHeadingHeight = 600;
constexpr int kFrame1Top = 780;
constexpr int kFrame1Height = 900;
constexpr int kOptionWidth = 1140;
constexpr int kFrame2Top = 1860;
constexpr int kFrame2Height = 1260;
constexpr int kLineTop = 3360;
constexpr int kLabelsTop = 3600;
constexpr int kLabelWidth = 1200;
constexpr int kLabelHeight = 360;
constexpr int kFontPoints = 9;

const QColor kHeadingBack(27, 86, 167);
const QColor kLineColor(50, 70, 132);

frmUpgrade* gUpgradeWindow = nullptr;

std::optional<QString> DesktopFileDialog(const OpenFileRequest& request) {
    const QString start = QDir(request.InitDir).filePath(request.FileName);
    // The dialog belongs to the window it opens over, the upgrade window, and stands above it
    // under every window manager; that window takes the keys again when it closes.
    const ActiveWindowReturn comeBack;
    const QString chosen =
        QFileDialog::getOpenFileName(comeBack.Window(), request.DialogTitle, start, request.Filter);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

OpenFileChooser gChooser = DesktopFileDialog;
std::function<void()> gUnloadMainWindow = [] { QCoreApplication::exit(0); };

int Message(const std::string& text, int style, const std::string& title) {
    return PlatformMessageBox(QString::fromStdString(text), style, QString::fromStdString(title));
}

// The opening error of either database, with what was wrong below the standard words.
void ShowOpenError(const std::string& what, int number, const std::string& detail) {
    std::string text = "There was a problem opening your\n" + what +
                       "\ndatabase.  Error number is " + std::to_string(number) +
                       "\nPlease correct the problem and \ntry again.";
    if (!detail.empty()) text += "\n\n" + detail;
    Message(text, kUpgradeMsgOK, "Error");
}

// The same file reached by two different paths is still the same file.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    return !ec && same;
}

// The state codes of the state list, which every shipping location has a region for.
std::vector<std::string> StateListCodes() {
    std::vector<std::string> codes;
    for (size_t i = 0; i < tariff.gStateTable.size() && i < 60; ++i)
        if (!tariff.gStateTable[i].code.empty()) codes.push_back(tariff.gStateTable[i].code);
    return codes;
}

QPixmap Emblem(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(1, 1, size - 2, size - 2);
    painter.setPen(QPen(kHeadingBack, 3));
    // Two arrows: from the old edition to the new one.
    const int m = size / 2;
    painter.drawLine(size / 4, m - size / 8, 3 * size / 4, m - size / 8);
    painter.drawLine(3 * size / 4 - size / 8, m - size / 4, 3 * size / 4, m - size / 8);
    painter.drawLine(size / 4, m + size / 8, 3 * size / 4, m + size / 8);
    painter.drawLine(size / 4 + size / 8, m + size / 4, size / 4, m + size / 8);
    return pixmap;
}

}  // namespace

void SetOpenFileChooser(OpenFileChooser chooser) {
    gChooser = chooser ? std::move(chooser) : OpenFileChooser(DesktopFileDialog);
}

void SetUpgradeMainWindowUnload(std::function<void()> unload) {
    gUnloadMainWindow = std::move(unload);
}

frmUpgrade::frmUpgrade(QWidget* parent) : QDialog(parent) {
    gUpgradeWindow = this;
    setObjectName(QStringLiteral("frmUpgrade"));
    setWindowTitle(QStringLiteral("Norvale Freight Fretlyn2007 Upgrader"));
    setModal(true);
    QFont font(QStringLiteral("Verdana"), kFontPoints);
    setFont(font);
    setFixedSize(TwipsToPixels(kWidth), TwipsToPixels(kHeight));
    // Its commands are black, blue under the pointer: they need a ground of the window's own,
    // not the desktop's, which may be dark.
    SetBackgroundColor(this, Qt::white);

    hdlUpgrade = new QLabel(QStringLiteral("Fretlyn2007 Upgrader"), this);
    hdlUpgrade->setObjectName(QStringLiteral("hdlUpgrade"));
    QFont heading = font;
    heading.setPointSize(14);
    heading.setBold(true);
    hdlUpgrade->setFont(heading);
    hdlUpgrade->setAlignment(Qt::AlignCenter);
    hdlUpgrade->setAutoFillBackground(true);
    hdlUpgrade->setGeometry(0, 0, TwipsToPixels(kWidth), TwipsToPixels(kHeadingHeight));
    SetLabelForeColor(hdlUpgrade, kColorWhite);

    const int emblem = TwipsToPixels(kHeadingHeight) - 8;
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Emblem(emblem));
    Image1->setGeometry(TwipsToPixels(kMargin), 4, emblem, emblem);

    Frame1 = new QGroupBox(
        QStringLiteral("Step 1:  Choose the upgrade path -- Import the data from"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(kFrame1Top),
                        TwipsToPixels(kWidth - 2 * kMargin), TwipsToPixels(kFrame1Height));
    QRadioButton** options[] = {&opt2002, &opt2003, &opt2004, &opt2005, &opt2006};
    for (int i = 0; i < 5; ++i) {
        const QString year = QString::number(2002 + i);
        auto* option = new QRadioButton(QStringLiteral("FL") + year, Frame1);
        option->setObjectName(QStringLiteral("opt") + year);
        option->setGeometry(TwipsToPixels(kMargin + i * kOptionWidth), TwipsToPixels(420),
                            TwipsToPixels(kOptionWidth), TwipsToPixels(330));
        *options[i] = option;
    }
    opt2006->setChecked(true);

    Frame2 = new QGroupBox(QStringLiteral("Step 2:  Choose the Items to Upgrade"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(kFrame2Top),
                        TwipsToPixels(kWidth - 2 * kMargin), TwipsToPixels(kFrame2Height));
    // A doubled ampersand shows as one.
    chkDiscounts =
        new QCheckBox(QStringLiteral("Discount && F.A.K. Profile (&& Shipping Locations)"), Frame2);
    chkDiscounts->setObjectName(QStringLiteral("chkDiscounts"));
    chkDiscounts->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(420),
                              TwipsToPixels(kWidth - 4 * kMargin), TwipsToPixels(330));
    chkBL = new QCheckBox(QStringLiteral("Bills of Lading"), Frame2);
    chkBL->setObjectName(QStringLiteral("chkBL"));
    chkBL->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(810),
                       TwipsToPixels(kWidth - 4 * kMargin), TwipsToPixels(330));

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(kLineTop),
                       TwipsToPixels(kWidth - 2 * kMargin), 2);

    QFont labelFont = font;
    labelFont.setPointSize(10);
    labelFont.setBold(true);
    lblUpgrade = new LabelButton(QStringLiteral("Upgrade"), this);
    lblUpgrade->setObjectName(QStringLiteral("lblUpgrade"));
    lblDone = new LabelButton(QStringLiteral("Done"), this);
    lblDone->setObjectName(QStringLiteral("lblDone"));
    int left = kWidth - 2 * kMargin - 2 * kLabelWidth;
    for (LabelButton* label : {lblUpgrade, lblDone}) {
        label->setFont(labelFont);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(TwipsToPixels(left), TwipsToPixels(kLabelsTop),
                           TwipsToPixels(kLabelWidth), TwipsToPixels(kLabelHeight));
        label->SetForeColor(kColorBlack);
        left += kLabelWidth + kMargin;
    }
    connect(lblUpgrade, &LabelButton::clicked, this, Guarded(this, &frmUpgrade::lblUpgrade_Click));
    connect(lblDone, &LabelButton::clicked, this, Guarded(this, &frmUpgrade::lblDone_Click));
    InstallWindowKeys(this, lblDone);

    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetOncePerEntry(false);
    highlighter_->WireLabels();
    connect(highlighter_, &LabelHighlighter::labelEntered, this, &frmUpgrade::LookAtMe);
    connect(highlighter_, &LabelHighlighter::backgroundEntered, this, [this] {
        BlackLabels();
        SetMousePointer(this, kPointerDefault);
    });
    Form_Activate();
}

frmUpgrade::~frmUpgrade() {
    if (gUpgradeWindow == this) gUpgradeWindow = nullptr;
}

void frmUpgrade::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void frmUpgrade::Form_Activate() {
    LoadFormMouseIcon(this);
    QPalette line = Line1->palette();
    line.setColor(QPalette::WindowText, kLineColor);
    Line1->setPalette(line);
    SetBackgroundColor(hdlUpgrade, kHeadingBack);
}

void frmUpgrade::BlackLabels() {
    BlackHdlLabels(this);
}

void frmUpgrade::LookAtMe(QLabel* label) {
    BlackLabels();
    HighlightLabel(label, this);
}

int frmUpgrade::SelectedEdition() const {
    if (opt2006->isChecked()) return 6;
    if (opt2005->isChecked()) return 5;
    if (opt2004->isChecked()) return 4;
    if (opt2003->isChecked()) return 3;
    return 2;
}

std::vector<frmUpgrade::Pass> frmUpgrade::Passes() {
    // The copy kept from before a tariff update lies in the user's hidden data folder, where
    // nobody would look for it; after updates answered No, the one that holds the customer's
    // data lies further back, and the pricing may lie in another copy than the bills.
    CustomerDataCopies kept{earlierPricing_, earlierBills_};
    if (kept.pricing.empty() && kept.bills.empty()) {
        const std::string previous = PreviousUserDatabase();
        if (!previous.empty()) {
            kept = CopiesWithCustomerData(previous);
            if (kept.pricing.empty() && kept.bills.empty())
                Message("None of the earlier copies of the tariff database in\n" +
                            UserDataFolder() +
                            "\nholds discounts, shipping locations or bills of lading of your "
                            "own.  Choose the database of your earlier edition to upgrade from.",
                        kUpgradeMsgOK, "Nothing To Transfer");
        }
    }
    // A group held nowhere is looked for beside the other.
    if (kept.pricing.empty()) kept.pricing = kept.bills;
    if (kept.bills.empty()) kept.bills = kept.pricing;
    const bool discounts = chkDiscounts->isChecked();
    const bool bills = chkBL->isChecked();
    if (discounts && bills && kept.pricing != kept.bills)
        return {Pass{true, false, kept.pricing}, Pass{false, true, kept.bills}};
    return {Pass{discounts, bills, discounts ? kept.pricing : kept.bills}};
}

bool frmUpgrade::PickDBFrom(int edition, const std::string& startOn) {
    OpenFileRequest request{
        QStringLiteral("Where is your the database from which you are upgrading?"),
        QString::fromStdString(EarlierEditionFolder(edition)),
        QString::fromStdString(EarlierEditionFile(edition)), QStringLiteral("*.mdb")};
    if (!startOn.empty()) {
        const QFileInfo earlier(QString::fromStdString(startOn));
        request.InitDir = earlier.absolutePath();
        request.FileName = earlier.fileName();
    }
    const std::optional<QString> chosen = gChooser(request);
    if (!chosen) return false;
    mDBFromPath = chosen->toStdString();
    return true;
}

bool frmUpgrade::PickDB2007() {
    const OpenFileRequest request{
        QStringLiteral("Where is your Fretlyn2007 customization database?"),
        QString::fromStdString(CurrentEditionFolder()), QString::fromLatin1(kCurrentEditionFile),
        QStringLiteral("*.mdb")};
    const std::optional<QString> chosen = gChooser(request);
    if (!chosen) return false;
    mDB2007Path = chosen->toStdString();
    return true;
}

int frmUpgrade::OpenDBFrom(UpgradeSource& source, const Pass& pass) {
    std::vector<std::string> tables;
    if (pass.discounts)
        tables.insert(tables.end(), DiscountTables().begin(), DiscountTables().end());
    if (pass.billsOfLading)
        tables.insert(tables.end(), BillOfLadingTables().begin(), BillOfLadingTables().end());
    return source.Open(mDBFromPath, tables);
}

// The copy goes into the database the program has open, through its own connection: any other
// file would be written behind the program's back.
bool frmUpgrade::OpenDB2007(const UpgradeSource& source) {
    const std::string own = tariff.gDB->Path();
    if (!SameFile(mDB2007Path, own)) {
        Message("Fretlyn2007 keeps its customization database in\n" + own +
                    "\nPlease choose that file as the one to upgrade.",
                kUpgradeMsgOK, "Error");
        return false;
    }
    if (SameFile(mDB2007Path, source.Path())) {
        Message(
            "You chose the same file to upgrade from and to.\nPlease choose the database "
            "of your earlier edition\nas the one to upgrade from.",
            kUpgradeMsgOK, "Error");
        return false;
    }
    return true;
}

void frmUpgrade::lblUpgrade_Click() {
    try {
        Upgrade();
    } catch (const std::exception& e) {
        Message(std::string("The upgrade stopped: ") + e.what(), kUpgradeMsgOK, "Error");
    }
}

void frmUpgrade::Upgrade() {
    const int edition = SelectedEdition();
    const std::string product = EditionProduct(edition);
    if (!chkBL->isChecked() && !chkDiscounts->isChecked()) {
        Message(
            "You have chosen nothing to upgrade.  \nPlease check at least one box and try "
            "again.",
            kUpgradeMsgOK, "Nothing To Do");
        return;
    }
    if (!tariff.gDB || !tariff.gDB->IsOpen())
        throw std::runtime_error("Fretlyn2007's database is not open.");
    UpgradeHooks hooks;
    hooks.message = Message;
    hooks.hourglass = [this](bool busy) {
        SetMousePointer(this, busy ? kPointerHourglass : kPointerArrow);
    };
    // Each group from the file that holds it: what one pass copied stays copied when a later
    // one is cancelled, and is reported.
    UpgradeReport report;
    bool targetChosen = false;
    for (const Pass& pass : Passes()) {
        if (!PickDBFrom(edition, pass.startOn)) break;
        UpgradeSource source(*tariff.gDB);
        const int r = OpenDBFrom(source, pass);
        if (r != 0) {
            ShowOpenError(product + " customization", r, source.Problem());
            break;
        }
        if (!targetChosen && !PickDB2007()) break;
        targetChosen = true;
        if (!OpenDB2007(source)) break;
        const UpgradeReport copied = UpgradeDatabases(
            *tariff.gDB, UpgradeChoice{edition, pass.discounts, pass.billsOfLading},
            StateListCodes(), hooks);
        source.Close();
        report.skips.insert(report.skips.end(), copied.skips.begin(), copied.skips.end());
        report.changed = report.changed || copied.changed;
        report.confirmed = report.confirmed || copied.confirmed;
    }
    if (report.changed) upgraded_ = true;
    ShowUpgradeOutcome(report, hooks);
}

void frmUpgrade::lblDone_Click() {
    if (unloaded_) return;
    unloaded_ = true;
    done(QDialog::Accepted);
    gUnloadMainWindow();
}

void frmUpgrade::reject() {
    if (upgraded_)
        lblDone_Click();
    else
        QDialog::reject();
}

frmUpgrade* LoadedUpgradeWindow() {
    return gUpgradeWindow;
}

bool ShowUpgradeWindow(const std::string& earlierPricing, const std::string& earlierBills) {
    QPointer<frmUpgrade> window = gUpgradeWindow;
    if (!window) window = new frmUpgrade(QApplication::activeWindow());
    window->PreselectEarlierDatabases(earlierPricing, earlierBills);
    ExecModal(*window);
    const bool upgraded = window && window->Upgraded();
    delete window;
    return upgraded;
}
