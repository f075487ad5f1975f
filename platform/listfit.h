#pragma once
// A list that has finished opening shows every item whole, with no scroll bar, as far as the
// window around it has room.

#include <QListWidget>
#include <algorithm>

inline void GrowToShowEveryItem(QListWidget* list) {
    const int frame = 2 * list->frameWidth();
    int rows = 0;
    for (int i = 0; i < list->count(); ++i) rows += list->sizeHintForRow(i);
    // A few pixels for the item margins the style draws beside the widest text.
    const int width = list->sizeHintForColumn(0) + frame + 6;
    const int height = rows + frame;
    QRect r = list->geometry();
    r.setWidth(std::max(r.width(), width));
    r.setHeight(std::max(r.height(), height));
    if (const QWidget* window = list->parentWidget()) {
        r.setRight(std::min(r.right(), window->width() - 1));
        r.setBottom(std::min(r.bottom(), window->height() - 1));
    }
    list->setGeometry(r);
}
