#pragma once
// What a box with a key filter still lets through, and what it admits however the text arrives.
// A key filter sees key presses only: the context menu's Paste, a drag or an input method would
// put anything into the box, so such a box also gets a validator; and the editing shortcuts
// (select all, copy, paste, cut, undo) are no typed characters for the filter to drop.

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

// Ctrl or Meta held, without Alt (Ctrl+Alt is AltGr on many keyboards, which types characters).
inline bool IsEditingShortcut(const QKeyEvent* key) {
    const Qt::KeyboardModifiers m = key->modifiers();
    return (m & (Qt::ControlModifier | Qt::MetaModifier)) && !(m & Qt::AltModifier);
}

// The box admits only text made of these characters ("0-9", "0-9."), whether typed or pasted;
// an edit that would put any other character in is refused whole.
inline void AdmitOnly(QLineEdit* box, const QString& characters) {
    box->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[%1]*").arg(characters)), box));
}
