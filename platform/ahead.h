#pragma once
// Work started ahead of the moment it is needed, on a thread of its own: start-up reads and
// draws there what the main window needs later, while the window is built.

#include <future>
#include <system_error>
#include <utility>

// Starts `work` on a thread of its own. Where no thread can be had (a limit on processes, say),
// the work runs when its result is first asked for, on the asking thread: later, but done.
template <class Work>
auto StartAhead(Work&& work) {
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, std::forward<Work>(work));
    }
}
