#pragma once
// The program's own messages: ShowMessage and the answer it leaves behind. Needs no window
// toolkit, so look-up and rating code can show messages; the window itself is in frmmssgbox.h.

#include <QString>
#include <cstdint>
#include <functional>

// Styles callers pass to ShowMessage.
inline constexpr uint8_t kMsgOK = 48;        // a message with OK
inline constexpr uint8_t kMsgQuestion = 36;  // a question with Yes and No

// Answers.
inline constexpr uint8_t kMsgYes = 6;  // OK or Yes
inline constexpr uint8_t kMsgNo = 7;

// What Enter answers.
inline constexpr uint8_t kMsgDefaultOK = 100;
inline constexpr uint8_t kMsgDefaultNo = 101;

struct MessageState {
    uint8_t gMsgAnswer = 0;               // the answer to the last message
    bool gMsgShown = false;               // a message is up; other windows keep quiet meanwhile
    uint8_t gMsgDefault = kMsgDefaultOK;  // what Enter answers in the message up

    void Reset() { *this = MessageState(); }
};

extern MessageState messages;

// Shows the message modally and returns once it is answered; a question's answer is then in
// messages.gMsgAnswer. Any style whose button bits are Yes/No (36) is a question; every other
// style is a message with OK. While the message script is on, nothing is shown.
void ShowMessage(const QString& text, uint8_t style, const QString& title);

// What shows a message no script answers: the message window, which the program and the window
// tests register at start-up (InstallMessageWindow in messagewindow.h). It returns once the
// message is answered, the answer in messages.gMsgAnswer. Without one (code that runs without
// windows) nobody is asked, and the message takes what Enter would answer.
using MessageWindow =
    std::function<void(const QString& text, uint8_t style, const QString& title)>;
void SetMessageWindow(MessageWindow window);

// Where the message window puts things, in twips. The width follows the length of the text
// without its leading and trailing blanks; from 65 characters on the text wraps in a label of
// fixed width.
struct MessageLayout {
    bool question = false;
    int windowWidth = 0;
    bool wrap = false;
    int labelWidth = 0;  // of the wrapped text label
    int labelHeight = 0;
    int okLeft = 0;  // left edge of lblOK
    int noLeft = 0;  // left edge of lblNo, when shown
    QString okCaption;
    uint8_t msgDefault = kMsgDefaultOK;
};

MessageLayout LayOutMessage(const QString& text, uint8_t style);
