#pragma once
// The simple discount editor: the default program's discount per lane, the domestic floor and
// the Thriftlane percentage, each checked as the user leaves its box and all again on Done.

#include <QDialog>
#include <array>

#include "simplediscount.h"

class QLabel;
class QLineEdit;
class QFrame;
class LabelButton;
class LabelHighlighter;

// How the editor was left: Done stored the boxes; Back asks the full editor (when it opened
// this one) to show its first location; Closed wrote nothing.
enum class SimpleDiscountOutcome { Done, Back, Closed };

class frmSimpleDiscount : public QDialog {
    Q_OBJECT
  public:
    explicit frmSimpleDiscount(QWidget* parent = nullptr);
    ~frmSimpleDiscount() override;

    // Loads the boxes from the store; false (with the message shown) when it cannot.
    bool Form_Load();
    SimpleDiscountOutcome Outcome() const { return outcome_; }
    const SimpleDiscountValues& Values() const { return values_; }
    QLineEdit* Box(SimpleBox box) const { return boxes_[static_cast<size_t>(box)]; }

    QLabel* Label7;
    QLabel* hdlHeadline;
    QLineEdit* txtUSA;
    QLineEdit* txtUSAFloor;
    QLineEdit* txtUSAtoCanada;
    QLineEdit* txtCanadatoUSA;
    QLineEdit* txtCanada;
    QLineEdit* txtPXS;
    LabelButton* lblUSAFAK;
    LabelButton* lblFAKUSAtoCanada;
    LabelButton* lblFAKCanadatoUSA;
    LabelButton* lblBack;
    LabelButton* lblDone;
    QLabel* imgPoint;
    QFrame* Line1;

  public slots:
    void lblDone_Click();
    void lblBack_Click();
    void FAK_Click(uint8_t laneCode);
    // A double-click on a lane box: its breaks in the weight-break editor.
    void Lane_DblClick(SimpleBox box);
    void Box_GotFocus(SimpleBox box);
    void Box_LostFocus(SimpleBox box);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowValues();
    void TakeTexts();
    void Refocus(SimpleBox box);

    SimpleDiscountValues values_;
    std::array<QLineEdit*, kSimpleBoxes> boxes_{};
    SimpleDiscountOutcome outcome_ = SimpleDiscountOutcome::Closed;
    LabelHighlighter* highlighter_;
};

// The one editor: loaded while it is up, gone when it closes.
frmSimpleDiscount* LoadedSimpleDiscount();
// Shows the editor modally and returns how it was left.
SimpleDiscountOutcome ShowSimpleDiscount();
