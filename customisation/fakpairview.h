#pragma once
// One list pair of the FAK windows: the eighteen actual classes in one row, several of which
// can be selected, over the eighteen FAK classes, one of which can be picked.

#include <QListWidget>

#include "fakprofiles.h"

// A list of eighteen classes side by side, one line high, each under the one above it.
class ClassRow : public QListWidget {
    Q_OBJECT
  public:
    ClassRow(QWidget* parent, const char* name, QAbstractItemView::SelectionMode mode);
    void SetClasses(const std::vector<std::string>& classes);
    static constexpr int kCellWidth = 52;
    static constexpr int kHeight = 26;
};

// Reads the selections of a pair of rows into the pair's values, and shows the values.
void ReadPair(const ClassRow& actual, const ClassRow& fak, FAKPair& pair);
void ShowPair(const FAKPair& pair, ClassRow& actual, ClassRow& fak);
// The eighteen class texts of the tariff.
std::vector<std::string> ActualClasses();
