#include "frmratetable.h"

#include <QFontMetrics>
#include <QFrame>
#include <QPainter>
#include <QPointer>
#include <exception>

#include "handcursor.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "msgbox.h"
#include "windowkeys.h"

namespace {

QPointer<frmRateTable> gRateTable;
std::function<void(frmRateTable&)> gShow;

// A fixed-pitch face keeps the character columns exact whatever the digits.
QFont TableFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(10);
    return font;
}

constexpr int kMargin = 8;
constexpr int kLastColumn = 95;  // the 25M cell ends here at the widest
constexpr int kLines = 21;       // blank, header, blank and 18 rows

}  // namespace

// --------------------------------------------------------------------------- the surface

RateTableCanvas::RateTableCanvas(QWidget* parent) : QWidget(parent) {
    setFont(TableFont());
    SetBackgroundColor(this, Qt::white);
    // Moves over the table count as moves over the window's background.
    setMouseTracking(true);
}

void RateTableCanvas::Show(const RateTableModel& table) {
    table_ = table;
    update();
}

int RateTableCanvas::ColumnX(int column) const {
    return kMargin + (column - 1) * QFontMetrics(font()).horizontalAdvance(QLatin1Char('0'));
}

int RateTableCanvas::LineY(int line) const {
    return (line - 1) * QFontMetrics(font()).lineSpacing();
}

QSize RateTableCanvas::sizeHint() const {
    return {ColumnX(kLastColumn + 1) + kMargin, LineY(kLines + 1) + kMargin};
}

void RateTableCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const int ascent = QFontMetrics(font()).ascent();
    auto draw = [&](int line, const PlacedText& item) {
        painter.drawText(ColumnX(item.column), LineY(line) + ascent, QString::fromStdString(item.text));
    };
    // One empty line, the header in blue, one empty line, then the rows in black.
    painter.setPen(ColorFromValue(kColorBlue));
    for (const PlacedText& item : table_.header) draw(2, item);
    painter.setPen(Qt::black);
    int line = 4;
    for (const RateTableRow& row : table_.rows) {
        draw(line, row.label);
        for (const PlacedText& cell : row.cells) draw(line, cell);
        ++line;
    }
}

// --------------------------------------------------------------------------- the window

frmRateTable::frmRateTable(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRateTable"));
    setWindowModality(Qt::ApplicationModal);
    SetBackgroundColor(this, Qt::white);

    canvas = new RateTableCanvas(this);
    canvas->setObjectName(QStringLiteral("canvas"));
    const QSize table = canvas->sizeHint();
    canvas->setGeometry(0, 0, table.width(), table.height());

    QFont labelFont(QStringLiteral("Verdana"));
    labelFont.setPointSizeF(10);
    labelFont.setBold(true);
    auto label = [&](const char* name, const char* text, int left) {
        auto* l = new LabelButton(QString::fromLatin1(text), this);
        l->setObjectName(QLatin1String(name));
        l->setFont(labelFont);
        l->SetForeColor(kColorBlack);
        l->adjustSize();
        l->move(left, table.height() + 8);
        return l;
    };
    lblGross = label("lblGross", "Gross Rates", 40);
    lblNet = label("lblNet", "Net Rates", 200);
    lblDone = label("lblDone", "Done", 340);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line2 = new QFrame(this);
    Line2->setObjectName(QStringLiteral("Line2"));
    Line2->setFrameShape(QFrame::VLine);
    for (QFrame* rule : {Line1, Line2}) {
        rule->setFrameShadow(QFrame::Plain);
        rule->setStyleSheet(QStringLiteral("color: rgb(50, 70, 132)"));
        rule->hide();
    }
    PlaceRules();
    setFixedSize(table.width(), lblGross->geometry().bottom() + 12);

    connect(lblGross, &LabelButton::clicked, this, Guarded(this, &frmRateTable::lblGross_Click));
    connect(lblNet, &LabelButton::clicked, this, Guarded(this, &frmRateTable::lblNet_Click));
    connect(lblDone, &LabelButton::clicked, this, [this] { lblDone_Click(); });
    InstallWindowKeys(this, lblDone);
    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->AddBackground(canvas);
    highlighter_->WireLabels();
    gRateTable = this;
}

frmRateTable::~frmRateTable() = default;

void frmRateTable::PlaceRules() {
    const int headerBottom = canvas->LineY(3);
    Line1->setGeometry(canvas->ColumnX(1), headerBottom - 2, canvas->ColumnX(kLastColumn) -
                                                                 canvas->ColumnX(1), 3);
    const int x = canvas->ColumnX(9) + (canvas->ColumnX(2) - canvas->ColumnX(1)) / 2;
    Line2->setGeometry(x, headerBottom, 3, canvas->LineY(kLines + 1) - headerBottom);
}

void frmRateTable::DisplayRateTable(uint8_t bytGN) {
    // The whole surface is drawn again from the table, so views never pile up.
    shown_ = BuildRateTable(bytGN);
    canvas->Show(shown_);
    Line1->show();
    setWindowTitle(QString::fromStdString(shown_.caption));
    Line2->show();
}

void frmRateTable::Underline(LabelButton* on, LabelButton* off) {
    QFont f = on->font();
    f.setUnderline(true);
    on->setFont(f);
    f.setUnderline(false);
    off->setFont(f);
}

void frmRateTable::ShowView(uint8_t bytGN) {
    Underline(bytGN == kRateTableNet ? lblNet : lblGross,
              bytGN == kRateTableNet ? lblGross : lblNet);
    try {
        DisplayRateTable(bytGN);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("Rate Table"));
    }
}

void frmRateTable::Form_Load() {
    LoadFormMouseIcon(this);
    ShowView(kRateTableGross);
}

void frmRateTable::lblGross_Click() { ShowView(kRateTableGross); }

void frmRateTable::lblNet_Click() { ShowView(kRateTableNet); }

void frmRateTable::lblDone_Click() { done(QDialog::Accepted); }

frmRateTable* RateTableWindow() {
    if (!gRateTable) new frmRateTable;
    return gRateTable;
}

void UnloadRateTableWindow() { delete gRateTable; }

void SetRateTableShow(std::function<void(frmRateTable&)> show) { gShow = std::move(show); }

void ShowRateTableModally(QWidget* parent) {
    frmRateTable* window = RateTableWindow();
    if (parent) window->move(parent->geometry().center() - window->rect().center());
    KeepOnScreen(window);
    window->Form_Load();
    if (gShow)
        gShow(*window);
    else
        ExecModal(*window);
}
