#include "messagewindow.h"

#include <QApplication>

#include "frmmssgbox.h"
#include "messagescript.h"
#include "msgbox.h"
#include "windowkeys.h"

void InstallMessageWindow() {
    SetMessageWindow([](const QString& text, uint8_t style, const QString& title) {
        // One window per message, gone with the answer, so each starts from its design state.
        const ActiveWindowReturn comeBack;
        frmMssgBox box(comeBack.Window());
        comeBack.Own(box);
        box.SetMessage(text, style, title);
        QApplication::beep();
        messages.gMsgShown = true;
        // A message shown while another window changes its focus (a box's check as it is left)
        // is not made active by the window system; it must be, or no key would answer it.
        QMetaObject::invokeMethod(
            &box, [&box] { box.activateWindow(); }, Qt::QueuedConnection);
        box.exec();
        messageScript.RecordShown(MessageKind::Program, title, text, style, messages.gMsgAnswer);
    });
}
