#include "altkey.h"

#include <QKeyEvent>

AltAloneKey::Seen AltAloneKey::Read(const QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() != Qt::Key_Alt) {
            if (type == QEvent::KeyPress) held_ = false;
            return Seen::Other;
        }
        if (key->isAutoRepeat()) return Seen::AltKey;
        const Qt::KeyboardModifiers others =
            key->modifiers() & ~(Qt::AltModifier | Qt::KeypadModifier);
        if (type == QEvent::KeyPress) {
            held_ = others == 0;
            return Seen::AltKey;
        }
        const bool alone = held_;
        held_ = false;
        return alone ? Seen::AltAlone : Seen::AltKey;
    }
    if (type == QEvent::MouseButtonPress || type == QEvent::WindowDeactivate ||
        type == QEvent::FocusOut)
        held_ = false;
    return Seen::Other;
}
