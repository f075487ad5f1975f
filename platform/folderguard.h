#pragma once
// One program per data folder. Two programs on one user's database would each keep what they
// last read and write it back over the other's changes without a word, and two first starts at
// once would each set up a copy of their own. A desktop program answers a second start by
// bringing its window forward; so does this one.
//
// The guard is a lock the kernel holds on a file in the folder for the life of the process, so
// a crash or a kill leaves no stale lock behind, and a socket of the same life, named after that
// file, by which a later start asks the program holding the folder to come forward.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

class DataFolderGuard {
  public:
    enum class Outcome {
        Taken,       // this program holds the folder until it ends (or Release)
        HandedOver,  // another program holds it, and was asked to bring its window forward
        Held,        // another program holds it and could not be asked
        Unguarded,   // the folder cannot be made or opened: the start goes on and the step
                     // that needs the folder says what is wrong with it
    };

    DataFolderGuard();
    ~DataFolderGuard();
    DataFolderGuard(const DataFolderGuard&) = delete;
    DataFolderGuard& operator=(const DataFolderGuard&) = delete;

    // Makes the folder when it is not there yet, and takes it, or hands over to the program that
    // holds it. A program that holds it but is not listening yet (it is starting at this very
    // moment) is waited for up to `wait`. Needs the application object: the request of a later
    // start arrives through its event loop.
    Outcome Take(const std::string& folder,
                 std::chrono::milliseconds wait = std::chrono::seconds(5));
    // What a later start's request does; runs on the thread that took the folder, from its event
    // loop. Requests made before it is set (while the program was still starting) are answered
    // once the loop runs.
    void OnBringForward(std::function<void()> bring);
    // Lets the folder go.
    void Release();

    // The name of the lock file in the folder.
    static constexpr const char* kLockFile = "running.lock";

  private:
    void Listen();
    void Answer();

    int lock_ = -1;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> bring_;
    int waiting_ = 0;  // requests that came before there was anything to do with them
};
