#include "fakpairview.h"

#include "formkit.h"
#include "tariffdb.h"

ClassRow::ClassRow(QWidget* parent, const char* name, QAbstractItemView::SelectionMode mode)
    : QListWidget(parent) {
    setObjectName(QLatin1String(name));
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setSelectionMode(mode);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setGridSize(QSize(kCellWidth, kHeight - 4));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFont(VerdanaFont(8, true));
    setFixedSize(kCellWidth * kFAKClasses + 4, kHeight);
}

void ClassRow::SetClasses(const std::vector<std::string>& classes) {
    const QSignalBlocker quiet(this);
    clear();
    for (const auto& c : classes) {
        auto* item = new QListWidgetItem(QString::fromStdString(c), this);
        item->setTextAlignment(Qt::AlignCenter);
    }
}

std::vector<std::string> ActualClasses() {
    return {tariff.gClasses.begin(), tariff.gClasses.end()};
}

void ReadPair(const ClassRow& actual, const ClassRow& fak, FAKPair& pair) {
    for (int i = 0; i < kFAKClasses && i < actual.count(); ++i)
        pair.selected[static_cast<size_t>(i)] = actual.item(i)->isSelected();
    pair.picked = -1;
    for (int i = 0; i < fak.count(); ++i)
        if (fak.item(i)->isSelected()) pair.picked = i;
}

void ShowPair(const FAKPair& pair, ClassRow& actual, ClassRow& fak) {
    fak.SetClasses(pair.fakLines);
    const QSignalBlocker quiet(&actual);
    for (int i = 0; i < actual.count(); ++i)
        actual.item(i)->setSelected(pair.selected[static_cast<size_t>(i)]);
}
