#include "windowkeys.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "labelbutton.h"

namespace {

// Sits on the window and sees the keys its widgets leave alone: a key that the widget with the
// focus takes is never passed up to the window.
class WindowKeys : public QObject {
  public:
    WindowKeys(QWidget* window, std::function<void()> enter, std::function<void()> escape)
        : QObject(window), window_(window), enter_(std::move(enter)), escape_(std::move(escape)) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) ReachCommands();
        if (watched != window_ || event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (!enter_) return false;
                enter_();
                return true;
            case Qt::Key_Escape:
                if (escape_)
                    escape_();
                else
                    window_->close();
                return true;
            default:
                return false;
        }
    }

  private:
    // As the window shows, its labels are connected.
    void ReachCommands() { MakeCommandsKeyboardReachable(window_); }

    QWidget* window_;
    std::function<void()> enter_;
    std::function<void()> escape_;
};

// True when `window` is `owner` or was opened from it.
bool OpenedFrom(const QWidget* window, const QWidget* owner) {
    for (const QWidget* w = window; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w == owner) return true;
    return false;
}

QPointer<QWidget>& ReturnedTo() {
    static QPointer<QWidget> window;
    return window;
}

QPointer<QWidget>& ProgramMainWindow() {
    static QPointer<QWidget> window;
    return window;
}

// The toolkit's X11 platform reads the window's types for the window manager from this
// property of the window each time its flags are set; this value names a dialog.
constexpr char kX11WindowTypes[] = "_q_xcb_wm_window_type";
constexpr int kX11DialogType = 0x80;

// The flags with the window's type replaced, its hints kept.
Qt::WindowFlags WithType(Qt::WindowFlags flags, Qt::WindowType type) {
    return (flags & ~Qt::WindowType_Mask) | type;
}

}  // namespace

void InstallWindowKeyHandlers(QWidget* window, std::function<void()> enter,
                              std::function<void()> escape) {
    new WindowKeys(window, std::move(enter), std::move(escape));
}

void InstallWindowKeys(QWidget* window, LabelButton* done, std::function<void()> escape) {
    MakeKeyboardReachable(done);
    InstallWindowKeyHandlers(
        window,
        [done] {
            // A Done the window has disabled (while a record is being edited) is not done.
            if (done->isEnabled()) done->click();
        },
        std::move(escape));
}

void MakeKeyboardReachable(LabelButton* label) {
    label->setFocusPolicy(Qt::TabFocus);
}

void MakeCommandsKeyboardReachable(QWidget* window) {
    // The window still opens with the focus where it would have before (on the first widget
    // that took Tab until now), never on a command that Enter would then run.
    if (!window->focusWidget()) {
        for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() &&
                w->window() == window) {
                w->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    for (LabelButton* label : window->findChildren<LabelButton*>())
        if (label->IsCommand()) MakeKeyboardReachable(label);
}

QRect KeptInside(const QRect& frame, const QRect& room) {
    QRect kept = frame;
    if (kept.width() > room.width()) kept.setWidth(room.width());
    if (kept.height() > room.height()) kept.setHeight(room.height());
    kept.moveLeft(std::clamp(kept.left(), room.left(), room.right() - kept.width() + 1));
    kept.moveTop(std::clamp(kept.top(), room.top(), room.bottom() - kept.height() + 1));
    return kept;
}

void KeepOnScreen(QWidget* window) {
    const QRect frame = window->frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect kept = KeptInside(frame, screen->availableGeometry());
    if (kept.size() != frame.size()) window->resize(window->size() - (frame.size() - kept.size()));
    window->move(window->pos() + (kept.topLeft() - frame.topLeft()));
}

void SetNoTitle(QWidget* window) {
    window->setWindowTitle(QStringLiteral(" "));
}

void SetProgramMainWindow(QWidget* window) {
    ProgramMainWindow() = window;
}

void MakeOwnerlessWindow(QWidget& window) {
    if (window.windowType() != Qt::Dialog || window.parentWidget()) return;
    // A dialog is made to belong to some window when it shows; a window of its own is not.
    window.setWindowFlags(WithType(window.windowFlags(), Qt::Window));
    window.winId();
    QWindow* handle = window.windowHandle();
    if (!handle) return;
    handle->setProperty(kX11WindowTypes, kX11DialogType);
    // The window exists already and its types were written with its flags: they are set once
    // more (the same flags are not set again), so that it is a dialog to the window manager
    // before it is mapped.
    const Qt::WindowFlags flags = handle->flags();
    handle->setFlags(flags ^ Qt::WindowContextHelpButtonHint);
    handle->setFlags(flags);
}

bool IsOwnerlessWindow(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return window.windowType() == Qt::Window && handle &&
           handle->property(kX11WindowTypes).toInt() == kX11DialogType;
}

ActiveWindowReturn::ActiveWindowReturn(QWidget* owner) : window_(QApplication::activeWindow()) {
    // A window that has the keyboard focus counts even when the window system has not said it
    // is active (a session without a window manager).
    if (!window_ && QApplication::focusWidget()) window_ = QApplication::focusWidget()->window();
    if (!window_ && owner) window_ = owner->window();
    // The window just given back its activation, which the window system has not yet reported.
    if (!window_ && ReturnedTo() && ReturnedTo()->isVisible()) window_ = ReturnedTo();
    // Nothing active yet, as at start while the window manager has still to activate the main
    // window: the main window, never the program as a whole.
    if (!window_ && ProgramMainWindow() && ProgramMainWindow()->isVisible())
        window_ = ProgramMainWindow();
    // While a modal window is up it has the keys, whatever the window system says is active
    // (some window managers never activate a dialog): a message then belongs to it, or to a
    // window opened from it, and is stacked above it. One made transient for the main window
    // behind it would be mapped beneath the modal window, out of sight and holding the keys.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && !OpenedFrom(window_, modal))
        window_ = modal;
}

void ActiveWindowReturn::Own(QWidget& message) const {
    if (!window_ || window_ == &message) MakeOwnerlessWindow(message);
}

ActiveWindowReturn::~ActiveWindowReturn() {
    if (!window_ || !window_->isVisible()) return;
    window_->activateWindow();
    ReturnedTo() = window_;
}

int ExecModal(QDialog& dialog) {
    const ActiveWindowReturn comeBack(dialog.parentWidget());
    // A window without a parent would be transient for the program as a whole, and some window
    // managers (matchbox) then keep the focus on it, away from a message opened over it: the
    // message would hold the keys unanswerable. It is transient for the window it opens over.
    QWidget* owner = comeBack.Window();
    if (!dialog.parentWidget() && owner && owner != &dialog && owner->windowHandle()) {
        // A window that opened once with no window to belong to is a dialog again.
        if (IsOwnerlessWindow(dialog)) {
            dialog.windowHandle()->setProperty(kX11WindowTypes, QVariant());
            dialog.setWindowFlags(WithType(dialog.windowFlags(), Qt::Dialog));
        }
        dialog.winId();
        if (QWindow* window = dialog.windowHandle())
            window->setTransientParent(owner->windowHandle());
    } else {
        comeBack.Own(dialog);
    }
    return dialog.exec();
}
