#pragma once
// The program's message window: a title, the text, and OK or Yes and No, all labels. It lives
// for one message: ShowMessage creates it and the answer ends it.

#include <QDialog>
#include <QLabel>
#include <cstdint>

#include "labelbutton.h"
#include "labels.h"
#include "msgbox.h"

class frmMssgBox : public QDialog {
    Q_OBJECT
  public:
    explicit frmMssgBox(QWidget* parent = nullptr);

    // Puts the text and title in and lays the window out for the style, setting what Enter
    // answers. The window is not shown.
    void SetMessage(const QString& text, uint8_t style, const QString& title);
    int WidthTwips() const { return widthTwips_; }

    // Records the answer and closes the window.
    void Answer(uint8_t answer);

    QLabel* lblMssg1;
    QLabel* xlblTitle;
    LabelButton* lblOK;
    LabelButton* lblNo;
    QLabel* Image1;

  public slots:
    void lblOK_Click() { Answer(kMsgYes); }
    void lblNo_Click() { Answer(kMsgNo); }
    // Closing the window by the window manager answers what Enter would.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    LabelHighlighter* highlighter_;
    int widthTwips_ = 0;
    bool answered_ = false;
};
