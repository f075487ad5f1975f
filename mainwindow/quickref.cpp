#include "quickref.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "auxwindow.h"
#include "frmtrfdetail.h"
#include "handcursor.h"
#include "labelbutton.h"
#include "labels.h"
#include "quickrefdata.h"
#include "tariffdb.h"
#include "windowkeys.h"

namespace {

QPixmap Arrow(bool up) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(ColorFromValue(kRuleColor));
    painter.setPen(Qt::NoPen);
    const QPolygon arrow =
        up ? QPolygon({QPoint(16, 3), QPoint(30, 20), QPoint(21, 20), QPoint(21, 29),
                       QPoint(11, 29), QPoint(11, 20), QPoint(2, 20)})
           : QPolygon({QPoint(16, 29), QPoint(30, 12), QPoint(21, 12), QPoint(21, 3), QPoint(11, 3),
                       QPoint(11, 12), QPoint(2, 12)});
    painter.drawPolygon(arrow);
    return pixmap;
}

QLabel* Text(QWidget* parent, const QString& name, const QString& text, const QFont& font,
             uint32_t color = 0) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(font);
    l->setWordWrap(true);
    SetLabelForeColor(l, color);
    return l;
}

}  // namespace

frmQckRef::frmQckRef(int panel, QWidget* parent)
    : QDialog(parent), panel_(std::clamp(panel, 0, kQuickRefPanels - 1)) {
    Build();
    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetOncePerEntry(false);
    highlighter_->SetBackgroundPointer(kPointerArrow);
    highlighter_->Wire(mlblDone);
}

void frmQckRef::Build() {
    const QuickRefPanel& data = QuickRefPanels()[static_cast<size_t>(panel_)];
    setObjectName(QLatin1String(data.name));
    SetBackColor(this, RGB(255, 255, 255));
    setFixedWidth(860);
    const QFont heading = VerdanaFont(10, true);
    const QFont description = VerdanaFont(9, true);
    const QFont reference = VerdanaFont(8, false);
    const QFont amount = VerdanaFont(9, false);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 12, 16, 12);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, 300);
    lblDescr = Text(this, QStringLiteral("lblDescr"), QStringLiteral("Description"), heading);
    lblAmount = Text(this, QStringLiteral("lblAmount"), QStringLiteral("Amount"), heading);
    grid->addWidget(lblDescr, 0, 0);
    grid->addWidget(lblAmount, 0, 1);

    auto rule = [&](int row, int n) {
        QWidget* line = MakeRule(this, QStringLiteral("Line1_%1").arg(n), QRect(), kRuleColor);
        line->setFixedHeight(1);
        grid->addWidget(line, row, 0, 1, 2);
    };
    auto charge = [&](QWidget* parent, const QuickRefAmount& a) {
        auto* l = new LabelButton(QString::fromLatin1(a.text), parent);
        l->setObjectName(QStringLiteral("Label3_%1").arg(a.index));
        l->setFont(amount);
        l->setWordWrap(true);
        l->setCursor(Qt::PointingHandCursor);
        l->SetForeColor(0);
        const int index = a.index;
        connect(l, &LabelButton::clicked, this, [this, index] { Label3_Click(index); });
        Label3[a.index] = l;
        return l;
    };

    int row = 1, line = 0;
    for (size_t r = 0; r < data.rows.size(); ++r) {
        const QuickRefRow& item = data.rows[r];
        rule(row++, line++);
        auto* left = new QWidget(this);
        auto* ll = new QVBoxLayout(left);
        // Level with the first charge beside it.
        ll->setContentsMargins(0, kFocusFrameOutsideY, 0, 0);
        ll->setSpacing(1);
        ll->addWidget(Text(left, QStringLiteral("Label1_%1").arg(r),
                           QString::fromLatin1(item.description), description));
        // The container freight station's reference is a label of its own on the A to D panel.
        const bool ownLabel = panel_ == 0 && QLatin1String(item.description) ==
                                                 QLatin1String("Container Freight Station");
        ll->addWidget(Text(left,
                           ownLabel ? QStringLiteral("Label5") : QStringLiteral("label2_%1").arg(r),
                           QString::fromLatin1(item.reference), reference));
        ll->addStretch();
        grid->addWidget(left, row, 0, Qt::AlignTop);

        auto* right = new QWidget(this);
        auto* rl = new QVBoxLayout(right);
        // Each charge takes the focus: room around it for the frame that shows it, within the
        // column and clear of the charge above and below.
        rl->setContentsMargins(kFocusFrameOutsideX, kFocusFrameOutsideY, kFocusFrameOutsideX,
                               kFocusFrameOutsideY);
        rl->setSpacing(2 * kFocusFrameOutsideY);
        if (!item.linealFootTable) {
            for (const auto& a : item.amounts) rl->addWidget(charge(right, a));
        } else {
            auto find = [&](int index) {
                return *std::find_if(item.amounts.begin(), item.amounts.end(),
                                     [&](const QuickRefAmount& a) { return a.index == index; });
            };
            rl->addWidget(charge(right, find(2)));
            auto* table = new QGridLayout;
            table->setHorizontalSpacing(18);
            table->setVerticalSpacing(2 * kFocusFrameOutsideY);
            // The table's short texts keep to one line each.
            auto cell = [&](QLabel* l, int r, int c) {
                l->setWordWrap(false);
                table->addWidget(l, r, c);
            };
            cell(Text(right, QStringLiteral("Label1_10"), QLatin1String(kLinealMilesHeading),
                      description),
                 0, 0);
            cell(Text(right, QStringLiteral("Label1_11"), QLatin1String(kLinealRateHeading),
                      description),
                 0, 1);
            cell(charge(right, find(7)), 1, 0);
            cell(charge(right, find(27)), 1, 1);
            cell(charge(right, find(8)), 2, 0);
            cell(charge(right, find(10)), 2, 1);
            // The blank cells fill the columns beside the table.
            auto* cells = new QGridLayout;
            cells->setHorizontalSpacing(2 * kFocusFrameOutsideX);
            cells->setVerticalSpacing(2 * kFocusFrameOutsideY);
            int blanks = 0;
            for (const auto& a : item.amounts) {
                if (*a.text) continue;
                LabelButton* blank = charge(right, a);
                blank->setWordWrap(false);
                blank->setFixedSize(14, 12);
                blankCells_.push_back(blank);
                cells->addWidget(blank, blanks % 3, blanks / 3);
                ++blanks;
            }
            table->addLayout(cells, 0, 2, 3, 1);
            table->setColumnStretch(3, 1);
            rl->addLayout(table);
            rl->addWidget(
                Text(right, QStringLiteral("Label5"), QLatin1String(kLinealFootnote1), reference));
            rl->addWidget(charge(right, find(3)));
            rl->addWidget(charge(right, find(23)));
        }
        grid->addWidget(right, row++, 1, Qt::AlignTop);
    }
    rule(row++, line++);
    outer->addLayout(grid);
    // A shorter panel keeps its room above the bottom row, which stays where the tallest has it.
    outer->addStretch(1);

    auto* bottom = new QHBoxLayout;
    // The arrows and Done take the focus: their frames stand clear of each other.
    bottom->setSpacing(2 * kFocusFrameOutsideX);
    Label4 =
        Text(this, QStringLiteral("Label4"),
             QStringLiteral("Click any amount field for full details"), heading, RGB(192, 0, 0));
    Label4->setWordWrap(false);
    bottom->addWidget(Label4);
    bottom->addStretch();
    auto arrow = [&](bool up) {
        auto* img = new LabelButton(this);
        img->setObjectName(up ? QStringLiteral("imgUp") : QStringLiteral("imgDown"));
        img->setPixmap(Arrow(up));
        img->setFixedSize(32, 32);
        img->setToolTip(up ? QStringLiteral("Previous page") : QStringLiteral("Next page"));
        connect(img, &LabelButton::mouseMoved, this,
                [this] { SetMousePointer(this, kPointerCustom); });
        bottom->addWidget(img);
        return img;
    };
    // A missing arrow leaves its place empty, so the other stays under the pointer.
    auto gap = [&] {
        auto* place = new QWidget(this);
        place->setFixedSize(32, 32);
        bottom->addWidget(place);
    };
    if (data.hasUp) {
        imgUp = arrow(true);
        connect(imgUp, &LabelButton::clicked, this, &frmQckRef::imgUp_Click);
    } else {
        gap();
    }
    if (data.hasDown) {
        imgDown = arrow(false);
        connect(imgDown, &LabelButton::clicked, this, &frmQckRef::imgDown_Click);
    } else {
        gap();
    }
    bottom->addSpacing(24);
    mlblDone = new LabelButton(QStringLiteral("Done"), this);
    mlblDone->setObjectName(QStringLiteral("mlblDone"));
    mlblDone->setFont(VerdanaFont(12, true));
    mlblDone->SetForeColor(0);
    mlblDone->setToolTip(QLatin1String(data.doneTip));
    connect(mlblDone, &LabelButton::clicked, this, &frmQckRef::mlblDone_Click);
    bottom->addWidget(mlblDone);
    outer->addSpacing(6);
    outer->addLayout(bottom);

    if (panel_ == 2) links_ = LinkTable(data);
    InstallWindowKeys(this, mlblDone);
    // The pages have one size, the tallest's, so that paging moves nothing under the pointer.
    setFixedHeight(std::max(PanelHeight(*this), TallestPanelHeight()));
    Form_Activate();
}

int frmQckRef::PanelHeight(QWidget& panel) {
    QLayout* layout = panel.layout();
    return layout->hasHeightForWidth() ? layout->totalHeightForWidth(panel.width())
                                       : layout->totalSizeHint().height();
}

int frmQckRef::TallestPanelHeight() {
    static int tallest = 0;
    static bool measuring = false;
    if (tallest > 0 || measuring) return tallest;
    measuring = true;
    int height = 0;
    for (int p = 0; p < kQuickRefPanels; ++p) {
        frmQckRef panel(p);
        height = std::max(height, PanelHeight(panel));
    }
    measuring = false;
    tallest = height;
    return tallest;
}

void frmQckRef::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window made every clickable label a Tab stop as it showed; an empty cell has nothing
    // to read, so the focus never rests where the user sees nothing.
    for (LabelButton* blank : blankCells_) blank->setFocusPolicy(Qt::NoFocus);
    if (!event->spontaneous()) Form_Activate();
}

void frmQckRef::Form_Activate() {
    LoadFormMouseIcon(this);
    setWindowTitle(QString::fromStdString(QuickRefTitle(tariff.gEffDate)));
    if (panel_ != 2) links_ = LinkTable(QuickRefPanels()[static_cast<size_t>(panel_)]);
}

void frmQckRef::Label3_Click(int index) {
    if (index < 0 || index >= static_cast<int>(links_.size())) return;
    RunCommand(QStringLiteral("Tariff Detail"),
               [&] { ShowTariffDetail(this, links_[static_cast<size_t>(index)]); });
}

void frmQckRef::imgUp_Click() {
    exit_ = Exit::Prev;
    accept();
}

void frmQckRef::imgDown_Click() {
    exit_ = Exit::Next;
    accept();
}

void frmQckRef::mlblDone_Click() {
    exit_ = Exit::Done;
    accept();
}

void ShowQuickReference(QWidget* owner) {
    int panel = 0;
    for (;;) {
        frmQckRef window(panel, owner);
        RunAuxModal(window);
        switch (window.ExitChoice()) {
            case frmQckRef::Exit::Next:
                panel = std::min(panel + 1, kQuickRefPanels - 1);
                break;
            case frmQckRef::Exit::Prev:
                panel = std::max(panel - 1, 0);
                break;
            case frmQckRef::Exit::Done:
                return;
        }
    }
}
