#include "msgbox.h"

#include <QApplication>

#include "frmmssgbox.h"
#include "messagebox.h"
#include "windowkeys.h"

MessageState messages;

namespace {

// The window's design, in twips.
constexpr int kShortTextLimit = 65;  // from this many characters on, the text wraps
constexpr int kTwipsPerCharacter = 120;
constexpr int kWidthBesideText = 2200;
constexpr int kWrappedWindowWidth = 10000;
constexpr int kWrappedLabelWidth = 7800;
constexpr int kWrappedLabelHeight = 450;
constexpr int kOkFromRight = 1000;
constexpr int kYesFromRight = 2000;
constexpr int kNoFromRight = 1000;

bool IsQuestion(uint8_t style) {
    return (style & 0x0F) == kMbYesNo;
}

// Only spaces count as blanks here, as in the rest of the program's text handling.
qsizetype LengthWithoutBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' ')) ++first;
    while (last > first && text[last - 1] == QLatin1Char(' ')) --last;
    return last - first;
}

}  // namespace

MessageLayout LayOutMessage(const QString& text, uint8_t style) {
    MessageLayout layout;
    const qsizetype n = LengthWithoutBlanks(text);
    if (n < kShortTextLimit) {
        layout.windowWidth = static_cast<int>(n) * kTwipsPerCharacter + kWidthBesideText;
    } else {
        layout.wrap = true;
        layout.labelWidth = kWrappedLabelWidth;
        layout.labelHeight = kWrappedLabelHeight;
        layout.windowWidth = kWrappedWindowWidth;
    }
    layout.question = IsQuestion(style);
    if (layout.question) {
        layout.okCaption = QStringLiteral("Yes");
        layout.okLeft = layout.windowWidth - kYesFromRight;
        layout.noLeft = layout.windowWidth - kNoFromRight;
        layout.msgDefault = kMsgDefaultNo;
    } else {
        layout.okCaption = QStringLiteral("OK");
        layout.okLeft = layout.windowWidth - kOkFromRight;
        layout.msgDefault = kMsgDefaultOK;
    }
    return layout;
}

void ShowMessage(const QString& text, uint8_t style, const QString& title) {
    const MessageLayout layout = LayOutMessage(text, style);
    messages.gMsgDefault = layout.msgDefault;
    const uint8_t enterAnswer = layout.question ? kMsgNo : kMsgYes;
    // A scripted message needs no window, so code without one (and its tests) can show messages.
    if (std::optional<int> scripted =
            messageScript.Answer(MessageKind::Program, title, text, style, enterAnswer)) {
        messages.gMsgAnswer = static_cast<uint8_t>(*scripted);
        messages.gMsgShown = false;
        return;
    }

    // One window per message, gone with the answer, so each starts from its design state.
    const ActiveWindowReturn comeBack;
    frmMssgBox box(comeBack.Window());
    box.SetMessage(text, style, title);
    QApplication::beep();
    messages.gMsgShown = true;
    // A message shown while another window changes its focus (a box's check as it is left) is
    // not made active by the window system; it must be, or no key would answer it.
    QMetaObject::invokeMethod(
        &box, [&box] { box.activateWindow(); }, Qt::QueuedConnection);
    box.exec();
    messageScript.RecordShown(MessageKind::Program, title, text, style, messages.gMsgAnswer);
}
