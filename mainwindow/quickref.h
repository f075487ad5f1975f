#pragma once
// The quick-reference panels: one window drawn from the data of each panel, and the controller
// that pages between them. A panel never closes itself and opens the next from inside its own
// click: it says where the user wants to go, closes, and the controller opens that panel.

#include <QDialog>
#include <cstdint>
#include <map>
#include <vector>

class LabelButton;
class LabelHighlighter;
class QLabel;
class QWidget;

class frmQckRef : public QDialog {
    Q_OBJECT
  public:
    enum class Exit { Done, Next, Prev };

    // Panel 0 to 3: A to D, E to L, L to R, R to Z.
    explicit frmQckRef(int panel, QWidget* parent = nullptr);

    int Panel() const { return panel_; }
    Exit ExitChoice() const { return exit_; }
    const std::vector<uint8_t>& Links() const { return links_; }

    QLabel* lblDescr;
    QLabel* lblAmount;
    QLabel* Label4;
    LabelButton* imgUp = nullptr;
    LabelButton* imgDown = nullptr;
    LabelButton* mlblDone;
    // The clickable charge labels by their number on the panel.
    std::map<int, LabelButton*> Label3;

    void Form_Activate();
    // Opens the tariff item of charge label i in the detail window.
    void Label3_Click(int index);
    void imgUp_Click();
    void imgDown_Click();
    void mlblDone_Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Build();
    static int PanelHeight(QWidget& panel);
    // The height of the tallest panel, measured once.
    static int TallestPanelHeight();
    int panel_;
    Exit exit_ = Exit::Done;
    std::vector<uint8_t> links_;
    // The empty cells beside the lineal-foot table: the pointer clicks them, Tab passes them by.
    std::vector<LabelButton*> blankCells_;
    LabelHighlighter* highlighter_;
};

// Shows the A to D panel and pages until the user is done with the last one shown.
void ShowQuickReference(QWidget* owner);
