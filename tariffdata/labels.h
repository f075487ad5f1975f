#pragma once
// Label highlighting, shared by every window: the label under the mouse is coloured and the
// pointer becomes the hand cursor; the window's background restores the colours.

#include <QObject>
#include <QSet>
#include <QString>
#include <cstdint>

class QLabel;
class QWidget;
class LabelButton;

// Highlight styles a window passes.
inline constexpr int kHiliteWhite = 51;
inline constexpr int kHiliteBlue = 52;

inline constexpr uint32_t kColorBlack = 0;
inline constexpr uint32_t kColorBlue = 0xFF0000;
inline constexpr uint32_t kColorWhite = 0xFFFFFF;

// Labels named "lbl…" and "mlbl…" turn black, whatever the style.
void ResetLabelColors(QWidget* form, int style);
// ResetLabelColors, then the label white for style 51 and blue otherwise, and the hand cursor
// (loaded first when the window has none yet).
void HiliteLabel(QLabel* label, QWidget* form, int style);
// Every label not named "hdl…" (the headings) turns black.
void BlackHdlLabels(QWidget* form);
// Every label turns white.
void WhiteFormLabels(QWidget* form);
// BlackHdlLabels, then the label blue and the hand cursor.
void HighlightLabel(QLabel* label, QWidget* form);

// Makes graphics/finger.cur of the application folder the window's own mouse icon.
void LoadFormMouseIcon(QWidget* form);

// The usual wiring of a window's labels. A window owns one, wires its label buttons with
// WireLabels, and from then on a move over a label highlights it, once per entry, and a move
// over the background resets the colours and the pointer. Windows with extra work on these
// moves connect to labelEntered and backgroundEntered.
class LabelHighlighter : public QObject {
    Q_OBJECT
  public:
    // Loads the window's hand cursor and tracks the mouse over its background.
    LabelHighlighter(QWidget* form, int style);

    // Every LabelButton of the window, however deep; calling it again after adding labels wires
    // only the new ones.
    void WireLabels();
    void Wire(LabelButton* label);
    // A picture or panel whose own uncovered area counts as the window's background.
    void AddBackground(QWidget* widget);

    // Off: every move over a label draws the highlight again (the default is once per entry).
    void SetOncePerEntry(bool on) { oncePerEntry_ = on; }
    // The pointer a background move sets (the default pointer unless told).
    void SetBackgroundPointer(int pointer) { backgroundPointer_ = pointer; }

    // The name of the label highlighted last; empty after a background move.
    const QString& LastHiliteLabel() const { return lastHilite_; }
    void SetLastHiliteLabel(const QString& name) { lastHilite_ = name; }

    // What a move over a label does, and what a move over the background does.
    void Hover(QLabel* label);
    void Background(QWidget* where);

  signals:
    void labelEntered(QLabel* label);
    void backgroundEntered(QWidget* where);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private slots:
    void LabelMoved();

  private:
    QWidget* form_;
    int style_;
    bool oncePerEntry_ = true;
    int backgroundPointer_;
    QString lastHilite_;
    QSet<QWidget*> backgrounds_;
};
