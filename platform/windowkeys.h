#pragma once
// What every window of the program does with the keyboard and the screen beside its own rules:
// Enter finishes it as its Done does, Escape closes it as its close box does, and a window
// placed at a fixed offset from another stays inside the screen.

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>

class LabelButton;
class QDialog;

// Enter and Escape in a window whose commands are labels. A key that the widget with the focus
// uses itself (a list's Enter, a combo box's open list) never reaches these. Enter on a label
// button that has the focus clicks that label; any other Enter runs `enter`. Escape runs
// `escape`, or closes the window as its close box does when none is given. A window without a
// Done passes no `enter`. From the moment the window shows, every command label of it is
// reachable with Tab (see MakeCommandsKeyboardReachable).
void InstallWindowKeyHandlers(QWidget* window, std::function<void()> enter,
                              std::function<void()> escape = {});
// The same with Enter clicking `done`, which also takes the focus with Tab, so that the window
// can be finished without a pointer.
void InstallWindowKeys(QWidget* window, LabelButton* done, std::function<void()> escape = {});

// A label button that Tab reaches; Enter or Space then clicks it.
void MakeKeyboardReachable(LabelButton* label);
// Every label button of the window that is a command (one with a click or double click
// connected) becomes reachable with Tab; a window without a focus yet keeps the first one it
// had. Call it once the window's labels are connected.
void MakeCommandsKeyboardReachable(QWidget* window);

// The frame moved (not resized, unless larger than the room) so that it lies inside `room`.
QRect KeptInside(const QRect& frame, const QRect& room);
// Moves a top-level window so that it lies within the available area of the screen it stands
// on (the first screen when it stands on none). Call after placing it and before showing it.
void KeepOnScreen(QWidget* window);

// The title a window without title text shows. The window system puts the program's name in
// place of an empty title, so the window gets a blank one instead.
void SetNoTitle(QWidget* window);

// The program's main window, which owns a message or window that opens while no window of the
// program is active (at start, before the window system has activated the main window) once it
// is on the screen. Without it such a window would belong to the program as a whole, and some
// window managers (matchbox) would then stack what opens over it beneath it.
void SetProgramMainWindow(QWidget* window);

// A window that opens while no window of the program is on the screen (a question asked at
// start, before the main window shows) has no window to belong to. The toolkit would make a
// dialog belong to the program's hidden leader window instead, and some window managers
// (matchbox) then map what opens over it beneath it, out of reach of the keys and the pointer.
// Such a window is made one of its own that belongs to no other, which the window manager still
// places and decorates as a dialog. Call it before the window is first shown.
void MakeOwnerlessWindow(QWidget& window);
// Whether the window was made one of its own (see MakeOwnerlessWindow).
bool IsOwnerlessWindow(const QWidget& window);

// Held while a message is up: the window that was active before it is activated again when the
// message closes, as a window manager would do. Without one, nothing would, and the keys typed
// next (and the checks that run when a box loses the focus) would never reach that window.
class ActiveWindowReturn {
  public:
    // `owner`'s window is the one to come back to when no window is active at this moment (a
    // window that another has just given back its activation to is not active yet), else the
    // program's main window when it is on the screen.
    explicit ActiveWindowReturn(QWidget* owner = nullptr);
    ~ActiveWindowReturn();
    ActiveWindowReturn(const ActiveWindowReturn&) = delete;
    ActiveWindowReturn& operator=(const ActiveWindowReturn&) = delete;
    // The window to come back to, which owns the message; may be null.
    QWidget* Window() const { return window_.data(); }
    // The message is made a window of its own when no window owns it (see MakeOwnerlessWindow).
    void Own(QWidget& message) const;

  private:
    QPointer<QWidget> window_;
};

// Runs a dialog modally and, when it closes, activates again the window that was active before
// it (see ActiveWindowReturn). Returns what QDialog::exec returns.
int ExecModal(QDialog& dialog);
