#include "checklist.h"

#include <QKeyEvent>

CheckList::CheckList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::MultiSelection);
}

// Choosing every item at one stroke (Ctrl+A) would add services nobody picked one by one.
void CheckList::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

// The list's own choosing would also flip the item a search by typing lands on; here only Space
// and the pointer choose. Moving the focus by any other means (typing, the arrows, the list
// being filled) changes no choice.
QItemSelectionModel::SelectionFlags CheckList::selectionCommand(const QModelIndex& index,
                                                                const QEvent* event) const {
    if (!event) return QItemSelectionModel::NoUpdate;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Select)
            return QItemSelectionModel::Toggle | QItemSelectionModel::Rows;
        return QItemSelectionModel::NoUpdate;
    }
    return QListWidget::selectionCommand(index, event);
}
