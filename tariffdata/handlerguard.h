#pragma once
// A window's handler never lets an error out: out of a Qt slot it would end the program. A
// handler runs its body through one of these, which turn a database or data-file error into
// the program's message; the window stays usable.

#include <exception>
#include <functional>
#include <string>
#include <utility>

// Runs a handler's body. An error ends the body where it arose and is shown as a message
// (titled "Database Error" for the engine's errors, "Tariff Data Error" for the others);
// the result is then false.
bool RunHandler(const std::function<void()>& body);

// How a window tells an error in its own words instead of the program's message.
using HandlerReport = std::function<void(const std::exception& e)>;
// RunHandler with the error told by report.
bool RunHandler(const std::function<void()>& body, const HandlerReport& report);

// The same, with every database write of the body in one transaction: after an error none of
// them stays, so nothing is left half written. undo, when given, puts back what the body had
// changed outside the database before the error.
bool RunHandlerAtomically(const std::function<void()>& body,
                          const std::function<void()>& undo = {});
// RunHandlerAtomically with the error told by report.
bool RunHandlerAtomically(const std::function<void()>& body, const std::function<void()>& undo,
                          const HandlerReport& report);

// The slot to connect a signal to when its handler may meet a database or data-file error:
// the handler runs through RunHandler.
template <typename Window, typename... Args>
auto Guarded(Window* window, void (Window::*handler)(Args...)) {
    return [window, handler](Args... args) {
        RunHandler([&] { (window->*handler)(std::forward<Args>(args)...); });
    };
}

// The error number of an error: the engine's or the data file's own, else 5 (the platform's
// "Invalid procedure call or argument").
int ErrorNumber(const std::exception& e);
// An error as the start-up reports it: "Error" and its number (the help desk asks for it), a
// line feed and its description.
std::string ErrorReport(const std::exception& e);
