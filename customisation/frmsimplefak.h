#pragma once
// The simple FAK window: the FAK profile of one lane of the default program "ALL" (lane code
// gSimpleFAKLane: 10 within the U.S.A., 40 U.S.A. to Canada, 41 Canada to the U.S.A.).

#include <QDialog>

#include "fakprofiles.h"

class QFrame;
class QLabel;
class QPushButton;
class ClassRow;
class LabelButton;

class frmSimpleFAK : public QDialog {
    Q_OBJECT
  public:
    explicit frmSimpleFAK(QWidget* parent = nullptr);

    // Loads the lane's profile; false (message shown) when it cannot.
    bool Form_Load();
    const FAKPair& Pair() const { return pair_; }

    QLabel* lblFAKTitle;
    QLabel* Label1;
    LabelButton* lblActual;
    QLabel* Label2;
    QLabel* lblUse;
    QFrame* Line1;
    QFrame* Line2;
    ClassRow* lstActualClass;
    ClassRow* lstFAKClass;
    QPushButton* cmdApply;
    QPushButton* cmdCancel;
    QPushButton* cmdDone;

  public slots:
    void lstActualClass_Click();
    void cmdApply_Click();
    void cmdCancel_Click();
    void lblActual_Click();
    void cmdDone_Click();

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void Lock();
    void Paint(const QColor& colour);

    FAKPair pair_;
};

// Shows the window modally for the lane in gSimpleFAKLane.
void ShowSimpleFAK(QWidget* opener);
