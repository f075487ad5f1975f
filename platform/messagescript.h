#pragma once
// The script that answers every message of the program when a test or a scenario run drives it,
// so that no message waits for a user who is not there, and the log of every message. Needs no
// window toolkit: code without windows shows its messages through it too.

#include <QString>
#include <deque>
#include <optional>
#include <vector>

// Style flags of PlatformMessageBox: one button set, plus one icon, plus a default button.
enum MessageBoxStyle : int {
    kMbOK = 0,
    kMbOKCancel = 1,
    kMbAbortRetryIgnore = 2,
    kMbYesNoCancel = 3,
    kMbYesNo = 4,
    kMbRetryCancel = 5,
    kMbCritical = 16,
    kMbQuestion = 32,
    kMbExclamation = 48,
    kMbInformation = 64,
    kMbDefaultButton2 = 256,
    kMbDefaultButton3 = 512,
};

// Answers, as the message box returns them.
enum MessageBoxAnswer : int {
    kIdOK = 1,
    kIdCancel = 2,
    kIdAbort = 3,
    kIdRetry = 4,
    kIdIgnore = 5,
    kIdYes = 6,
    kIdNo = 7,
};

// Which of the two message windows showed a message.
enum class MessageKind { Platform, Program };

enum class MessageOutcome {
    Shown,      // a user answered it
    Scripted,   // answered from the queue
    Defaulted,  // scripting was on and the queue was empty
};

struct LoggedMessage {
    MessageKind kind;
    QString title;
    QString text;
    int style;
    int answer;
    MessageOutcome outcome;
};

// The program-wide message script and log. While scripting is on, a message is answered at once
// from the queue, or with its default answer when the queue is empty, and nothing is shown.
// Every message, scripted or shown, is logged.
class MessageScript {
  public:
    void Start() { active_ = true; }
    // Stops scripting and drops answers not used; the log stays.
    void Stop();
    bool Active() const { return active_; }

    // Queues an answer for the next message and turns scripting on.
    void Queue(int answer);
    size_t Pending() const { return answers_.size(); }

    // For the message windows. While scripting is on: logs the message and returns its answer.
    // Otherwise returns nothing, and the window shows the message and calls RecordShown.
    std::optional<int> Answer(MessageKind kind, const QString& title, const QString& text,
                              int style, int defaultAnswer);
    void RecordShown(MessageKind kind, const QString& title, const QString& text, int style,
                     int answer);

    const std::vector<LoggedMessage>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }

    // Scripting off, no queued answers, empty log.
    void Reset();

  private:
    bool active_ = false;
    std::deque<int> answers_;
    std::vector<LoggedMessage> log_;
};

extern MessageScript messageScript;
