#pragma once
// The clickable label every window uses as its buttons and menu entries, and the colour values
// the windows give their labels: 24-bit numbers with red in the low byte (255 red, 0xFF0000
// blue, 0xFFFFFF white, 0 black).

#include <QColor>
#include <QLabel>
#include <QPointer>
#include <cstdint>

QColor ColorFromValue(uint32_t value);
uint32_t ValueFromColor(const QColor& color);

// The text colour of any label, a LabelButton or a plain QLabel. A disabled label keeps the
// toolkit's greyed text, so only the active and inactive colours are set.
void SetLabelForeColor(QLabel* label, uint32_t value);
uint32_t LabelForeColor(const QLabel* label);

// Paints a window's or widget's background in a colour, and gives the text of what stands on it
// and sets no colour of its own a colour that reads there: black on a light background, white
// on a dark one. A background set alone would leave such text in the desktop's colour, which
// under a dark palette is as light as a white window.
void SetBackgroundColor(QWidget* widget, const QColor& background);

// How far the frame that shows a label's focus stands outside the label: a layout that packs
// labels taking the focus keeps this much room around each, so that no frame is cut off or
// drawn over a neighbour.
inline constexpr int kFocusFrameOutsideX = 4;
inline constexpr int kFocusFrameOutsideY = 3;

// A label that reports clicks, double clicks, presses and every mouse move over it. Mouse
// tracking is on, so moves arrive without a button held; moves and presses are consumed here and
// never reach the window behind the label, whose own move handler means "over the background".
class LabelButton : public QLabel {
    Q_OBJECT
  public:
    explicit LabelButton(QWidget* parent = nullptr);
    explicit LabelButton(const QString& text, QWidget* parent = nullptr);
    ~LabelButton() override;

    void SetForeColor(uint32_t value) { SetLabelForeColor(this, value); }
    uint32_t ForeColor() const { return LabelForeColor(this); }

    // What a click does, for the keys that stand for one (Enter or Space on a label with the
    // focus, a window's Enter on its Done).
    void click() { emit clicked(); }
    // Whether the label does anything when clicked or double-clicked: a command, not a caption.
    bool IsCommand() const;

  signals:
    // Left button pressed and released over the label.
    void clicked();
    // The second press of a double click; no click follows it.
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void mouseMoved();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // The frame that shows the focus stands a little outside the label, over its parent, so
    // that it never runs into the text, which many labels draw from their very first pixel.
    void PlaceFocusFrame();
    bool leftPressed_ = false;
    QPointer<QWidget> focusFrame_;
};
