#pragma once
// The rate table window: the rate table of the quote on screen, drawn as text in character
// columns, gross or net. Opened modally from the quote window's "Rate Table" label.

#include <QDialog>
#include <functional>

#include "ratetable.h"

class QFrame;
class LabelButton;
class LabelHighlighter;

// The surface the table is drawn on: each item at its character column.
class RateTableCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit RateTableCanvas(QWidget* parent = nullptr);
    void Show(const RateTableModel& table);
    // Left edge of a 1-based character column, and the top of a 1-based line, in pixels.
    int ColumnX(int column) const;
    int LineY(int line) const;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    RateTableModel table_;
};

class frmRateTable : public QDialog {
    Q_OBJECT
  public:
    explicit frmRateTable(QWidget* parent = nullptr);
    ~frmRateTable() override;

    // Clears the surface and draws the whole table of the view (0 gross, 1 net) again.
    void DisplayRateTable(uint8_t bytGN);
    // What the window shows now.
    const RateTableModel& Shown() const { return shown_; }

    RateTableCanvas* canvas;
    LabelButton* lblGross;
    LabelButton* lblNet;
    LabelButton* lblDone;
    QFrame* Line1;  // under the column header
    QFrame* Line2;  // beside the class column

    void Form_Load();
    void lblGross_Click();
    void lblNet_Click();
    void lblDone_Click();

  private:
    void Underline(LabelButton* on, LabelButton* off);
    // Underlines the view's label and draws it; a failure is the program's message.
    void ShowView(uint8_t bytGN);
    void PlaceRules();

    RateTableModel shown_;
    LabelHighlighter* highlighter_;
};

// The one rate table window of the run, created on first use.
frmRateTable* RateTableWindow();
void UnloadRateTableWindow();
// Loads the window for the quote on screen and shows it modally over the parent.
void ShowRateTableModally(QWidget* parent);
// What showing it modally is; tests and the scenario runner drive the window instead.
void SetRateTableShow(std::function<void(frmRateTable&)> show);
