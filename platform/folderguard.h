#pragma once
// One program per data folder. Two programs on one user's database would each keep what they
// last read and write it back over the other's changes without a word, and two first starts at
// once would each set up a copy of their own. A desktop program answers a second start by
// bringing its window forward; so does this one.
//
// The guard is a lock the kernel holds on the folder itself (and on the lock file in it, which
// earlier versions of the program lock) for the life of the process, so a crash or a kill
// leaves no stale lock behind, and whatever becomes of the lock file the folder stays guarded.
// A later start asks the program holding the folder to come forward through a socket in a
// folder only their user can reach; each side makes sure the other is a program of its own
// user, so that no other user on the machine can raise the window, take its requests or stand
// in for it.

#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

class DataFolderGuard {
  public:
    enum class Outcome {
        Taken,              // this program holds the folder until it ends (or Release)
        HandedOver,         // another program holds it, and was asked to bring its window forward
        Held,               // another program holds it and did not answer in time
        HeldByAnotherUser,  // another user holds the folder's lock or its socket: Obstacle()
        Unguarded,          // the folder cannot be made or opened: the start goes on and the step
                            // that needs the folder says what is wrong with it
    };

    // What another user holds that stands in the way: the folder's lock (a later start cannot
    // take the folder), or the socket or its folder (the program holding the folder cannot be
    // reached, or cannot be reached by a later start when it is this one).
    struct Obstacle {
        enum class Kind { None, Lock, Socket } kind = Kind::None;
        std::string path;
        uid_t user = 0;
    };

    // `user` is the user whose programs this one answers and asks: the one it runs as.
    explicit DataFolderGuard(uid_t user = ::geteuid());
    ~DataFolderGuard();
    DataFolderGuard(const DataFolderGuard&) = delete;
    DataFolderGuard& operator=(const DataFolderGuard&) = delete;

    // Makes the folder when it is not there yet, and takes it, or hands over to the program that
    // holds it. A program that holds it but does not answer (it is starting at this very moment,
    // or busy, or stopped) is waited for up to `wait` in all. Needs the application object: the
    // request of a later start arrives through its event loop.
    Outcome Take(const std::string& folder,
                 std::chrono::milliseconds wait = std::chrono::seconds(5));
    // What a later start's request does; runs on the thread that took the folder, from its event
    // loop. Requests made before it is set (while the program was still starting) are answered
    // once the loop runs.
    void OnBringForward(std::function<void()> bring);
    // Lets the folder go.
    void Release();

    // After HeldByAnotherUser, what that user holds; after Taken, what keeps later starts from
    // reaching this program, if anything.
    const Obstacle& InTheWay() const { return obstacle_; }
    // The socket by which a later start reaches this program; empty when it has none.
    const std::string& Socket() const { return socket_; }

    // The name of the lock file in the folder.
    static constexpr const char* kLockFile = "running.lock";

  private:
    int TakeLocks();
    void Listen(const std::string& path);
    void Answer();

    uid_t user_;
    int folderLock_ = -1;
    int fileLock_ = -1;
    int listener_ = -1;
    std::string socket_;
    Obstacle obstacle_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> bring_;
    int waiting_ = 0;  // requests that came before there was anything to do with them
};

// Whether the other end of a connected local socket is a process of `user`.
bool PeerIsUser(int socket, uid_t user);
