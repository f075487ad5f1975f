#include "messagewindow.h"

#include <QApplication>

#include "frmmssgbox.h"
#include "messagescript.h"
#include "msgbox.h"

void InstallMessageWindow() {
    SetMessageWindow([](const QString& text, uint8_t style, const QString& title) {
        // One window per message, gone with the answer, so each starts from its design state.
        frmMssgBox box(QApplication::activeWindow());
        box.SetMessage(text, style, title);
        QApplication::beep();
        messages.gMsgShown = true;
        box.exec();
        messageScript.RecordShown(MessageKind::Program, title, text, style, messages.gMsgAnswer);
    });
}
