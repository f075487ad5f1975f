#pragma once
// What the four bill-of-lading windows share: the menu column with its picture and label
// buttons, headings, separator lines, the digit-only key filter, how a handler reports a
// failure, and how the windows are shown modally (tests install a runner that drives them).

#include <QCoreApplication>
#include <QDialog>
#include <QString>
#include <exception>
#include <functional>
#include <memory>

#include "handlerguard.h"

class BLChangedElsewhere;

class LabelButton;
class QEvent;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QWidget;

// The colour of the separator lines: RGB(50, 70, 132).
inline constexpr uint32_t kBLLineColor = 0x844632;

// How the bill-of-lading windows are shown modally. The program runs the window's own event
// loop; a test installs a runner that works the window and closes it. Null restores the default.
using BLWindowRunner = std::function<void(QDialog& window)>;
void SetBLWindowRunner(BLWindowRunner runner);
void RunBLWindowModal(QDialog& window);

// Each window exists at most once: created on first use, held for the run, destroyed by tests.
template <typename W>
struct HeldWindow {
    static std::unique_ptr<W>& Slot() {
        static std::unique_ptr<W> window;
        return window;
    }
    static W* Get() {
        if (!Slot()) {
            Slot() = std::make_unique<W>();
            // A window must go while the application still stands: left to the end of the
            // program, it would be destroyed after the application and crash on its way out.
            QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                             Slot().get(), [] { Destroy(); });
        }
        return Slot().get();
    }
    // Loads the window and shows it modally; returns when it closes.
    static void Show() {
        W* window = Get();
        window->Form_Load();
        RunBLWindowModal(*window);
    }
    static void Destroy() { Slot().reset(); }
};

LabelButton* MakeMenuLabel(QWidget* parent, const char* name, const QString& caption);
QLabel* MakeHeading(QWidget* parent, const char* name, const QString& caption);
// A heading of the blue command column: in the column's own colours on any desktop palette.
QLabel* MakeColumnHeading(QWidget* parent, const char* name, const QString& caption);
QFrame* MakeLine(QWidget* parent, const char* name);
void ColourLine(QFrame* line, uint32_t value);
// The picture behind the menu column.
QLabel* MakeMenuPicture(QWidget* parent);

// Which keys a box takes: the printable and control keys a user types. Navigation keys (Tab,
// arrows, Delete) are never a typed key, and neither is Escape, which closes the window.
bool IsTypedKey(const QKeyEvent* key);
// True for a digit, and for Backspace when `backspace` is set.
bool IsDigitKey(const QString& text, bool backspace);

// A box of one line: the line ends, tabs and other control characters a paste or a drop brings
// in are dropped where they land, so that a number pasted with its line end is the number
// typed. Only the user's edits are cleaned: a stored text is shown as it is stored.
void KeepToOneLine(QLineEdit* box);
// The text without its control characters and line or paragraph separators.
QString WithoutControlCharacters(const QString& text);

// Says that another program changed or deleted the record, which the window shows as stored.
void SayChangedElsewhere(const BLChangedElsewhere& e);

// Selects the first `length` characters of a box.
void SelectStart(QLineEdit* box, int length);
// The same once the toolkit has placed its own selection for a box just given the focus.
void SelectStartOnFocus(QLineEdit* box, int length);
// True for a key press a digits-only box drops (everything typed but digits, and Backspace
// unless `backspace`); the editing shortcuts pass. Such a box also admits only digits
// (AdmitOnly), so that nothing else is pasted.
bool DropsNonDigitKey(QEvent* event, bool backspace);

// A failure inside a handler becomes a message; the window stays as it was.
void ReportBLFailure(const std::exception& e, const QString& what);

// Runs a handler body so that no exception leaves it; `what` heads the message.
template <typename F>
void GuardedHandler(const QString& what, F&& body) {
    RunHandler(body, [&](const std::exception& e) { ReportBLFailure(e, what); });
}
// The same with every write of the body in one transaction: a failure keeps none of them.
template <typename F>
void GuardedHandlerAtomically(const QString& what, F&& body) {
    RunHandlerAtomically(body, {}, [&](const std::exception& e) { ReportBLFailure(e, what); });
}
