#pragma once
// A list of choices that behaves as a desktop list with check marks: typing moves the focus to
// the item it names and chooses nothing; Space toggles the item with the focus, and a click the
// item clicked. Several items may be chosen.

#include <QListWidget>

class CheckList : public QListWidget {
  public:
    explicit CheckList(QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
};
