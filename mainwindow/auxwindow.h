#pragma once
// What the main window's small windows share: how one is shown modally (tests replace it), the
// busy frame of a command, and the builders of their labels, buttons and header band.

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

#include "twips.h"

class LabelButton;
class QLabel;
class QWidget;

// How a window is shown modally. The program runs the window's own event loop; a test installs
// a runner that works the window and closes it instead. Null restores the event loop.
using AuxModalRunner = std::function<void(QDialog& window)>;
void SetAuxModalRunner(AuxModalRunner runner);
void RunAuxModal(QDialog& window);

// gBusy is set for as long as a command's window is up and cleared however it ends: Done, the
// title bar, Escape, or an error that escapes the window. A window opened from another command's
// window leaves gBusy as that command had it.
class BusyFrame {
  public:
    BusyFrame();
    ~BusyFrame();
    BusyFrame(const BusyFrame&) = delete;
    BusyFrame& operator=(const BusyFrame&) = delete;

  private:
    bool before_;
};

// Runs a command under the busy frame; an error it raises becomes the program's message and
// the main window carries on.
void RunCommand(const QString& title, const std::function<void()>& command);

// The blue of the rules and header bands, RGB(50, 70, 132).
inline constexpr uint32_t kRuleColor = 0x844632;
// The colour value of an RGB triple, red in the low byte.
constexpr uint32_t RGB(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& where,
                  const QFont& font, uint32_t color = 0);
LabelButton* MakeButton(QWidget* parent, const QString& name, const QString& text,
                        const QRect& where, const QFont& font, uint32_t color = 0);
// A horizontal rule in the given colour.
QWidget* MakeRule(QWidget* parent, const QString& name, const QRect& where, uint32_t color);
// The header band across the top of a dialog: a picture in the rule colour.
QLabel* MakeHeaderBand(QWidget* parent, const QRect& where);
// Paints a window's background in a colour value.
void SetBackColor(QWidget* widget, uint32_t color);
