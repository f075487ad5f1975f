#include "maskededit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>
#include <utility>

#include "numbers.h"

namespace {

bool IsDigitMaskCharacter(QChar c) {
    return c == QLatin1Char('#') || c == QLatin1Char('9') || c == QLatin1Char('0');
}

// How a place not typed is drawn.
constexpr QChar kEmptyPlace = QLatin1Char('_');

bool IsPlainDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

}  // namespace

MaskedEdit::MaskedEdit(const QString& mask, QChar prompt, QWidget* parent)
    : QLineEdit(parent), mask_(mask), prompt_(prompt) {
    for (QChar c : mask_) places_ += IsDigitMaskCharacter(c) ? QChar() : c;
    setMaxLength(static_cast<int>(mask_.size()));
    setAcceptDrops(false);
    // Whatever reaches the box past the places (a toolkit shortcut this box does not know) is
    // drawn over again from them, so the box never shows what it does not hold; only clear()
    // empties them.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (showing_ || text() == Rendered()) return;
        if (text().isEmpty()) {
            for (int i = 0; i < places_.size(); ++i)
                if (IsDigitPlace(i)) places_[i] = QChar();
        }
        Show(cursorPosition());
    });
    Show(0);
}

bool MaskedEdit::IsDigitPlace(int i) const {
    return IsDigitMaskCharacter(mask_[i]);
}

QString MaskedEdit::Rendered() const {
    QString shown = places_;
    for (QChar& c : shown)
        if (c.isNull()) c = kEmptyPlace;
    return shown;
}

QString MaskedEdit::Text() const {
    QString text = places_;
    for (QChar& c : text)
        if (c.isNull()) c = prompt_;
    return text;
}

void MaskedEdit::SetNormalForm(std::function<QString(const QString& value)> normalise) {
    normalise_ = std::move(normalise);
}

void MaskedEdit::ShowNormalised() {
    if (normalise_) SetText(normalise_(Value()));
}

void MaskedEdit::focusOutEvent(QFocusEvent* event) {
    // A menu or another program taking the keyboard for a moment is not leaving the box.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        ShowNormalised();
    QLineEdit::focusOutEvent(event);
}

void MaskedEdit::Show(int cursor) {
    showing_ = true;
    setText(Rendered());
    setCursorPosition(cursor);
    showing_ = false;
}

void MaskedEdit::KeepForUndo() {
    undo_.push_back(places_);
}

void MaskedEdit::SetText(const QString& text) {
    for (int i = 0; i < places_.size(); ++i)
        if (IsDigitPlace(i)) places_[i] = QChar();
    undo_.clear();
    setCursorPosition(0);
    deselect();
    Type(text);
    undo_.clear();
    setCursorPosition(static_cast<int>(places_.size()));
}

void MaskedEdit::Type(const QString& keys) {
    const int size = static_cast<int>(places_.size());
    KeepForUndo();
    int pos = cursorPosition();
    if (hasSelectedText()) {
        pos = selectionStart();
        const int end = std::min(size, pos + static_cast<int>(selectedText().size()));
        for (int i = pos; i < end; ++i)
            if (IsDigitPlace(i)) places_[i] = QChar();
    }
    for (QChar c : keys) {
        if (!IsPlainDigit(c)) {
            // A literal typed ahead of its place jumps to just past it; the places it passes
            // stay as they were. Any other character goes nowhere.
            for (int i = pos; i < size; ++i) {
                if (!IsDigitPlace(i) && mask_[i] == c) {
                    pos = i + 1;
                    break;
                }
            }
            continue;
        }
        int place = pos;
        while (place < size && !IsDigitPlace(place)) ++place;
        if (place >= size) break;
        places_[place] = c;
        pos = place + 1;
    }
    while (pos < size && !IsDigitPlace(pos)) ++pos;
    if (undo_.back() == places_) undo_.pop_back();
    Show(pos);
}

void MaskedEdit::Erase(bool backward) {
    KeepForUndo();
    int pos = cursorPosition();
    if (hasSelectedText()) {
        pos = selectionStart();
        const int end = std::min(static_cast<int>(places_.size()),
                                 pos + static_cast<int>(selectedText().size()));
        for (int i = pos; i < end; ++i)
            if (IsDigitPlace(i)) places_[i] = QChar();
    } else if (backward) {
        if (pos == 0) {
            undo_.pop_back();
            return;
        }
        --pos;
        while (pos > 0 && !IsDigitPlace(pos)) --pos;
        if (IsDigitPlace(pos)) places_[pos] = QChar();
    } else if (pos < places_.size() && IsDigitPlace(pos)) {
        places_[pos] = QChar();
    }
    if (undo_.back() == places_) undo_.pop_back();
    Show(pos);
}

void MaskedEdit::PasteText() {
    if (isReadOnly()) return;
    Type(QApplication::clipboard()->text());
}

void MaskedEdit::CutText() {
    if (isReadOnly() || !hasSelectedText()) return;
    copy();
    Erase(false);
}

void MaskedEdit::UndoEdit() {
    if (isReadOnly() || undo_.empty()) return;
    places_ = undo_.back();
    undo_.pop_back();
    Show(cursorPosition());
}

void MaskedEdit::keyPressEvent(QKeyEvent* event) {
    const bool editable = !isReadOnly();
    if (editable && event->matches(QKeySequence::Paste)) {
        PasteText();
    } else if (editable && event->matches(QKeySequence::Cut)) {
        CutText();
    } else if (editable && event->matches(QKeySequence::Undo)) {
        UndoEdit();
    } else if (editable && event->matches(QKeySequence::Redo)) {
        // Undo goes back one edit at a time; there is nothing to redo.
    } else if (editable && event->key() == Qt::Key_Backspace) {
        Erase(true);
    } else if (editable && event->matches(QKeySequence::Delete)) {
        Erase(false);
    } else if (editable && !event->text().isEmpty() && event->text().front().isPrint() &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        Type(event->text());
    } else {
        // Moving, selecting, copying, Enter: the toolkit's own; an edit it would make is drawn
        // over again from the places.
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void MaskedEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!isReadOnly() && !event->commitString().isEmpty()) Type(event->commitString());
    event->accept();
}

void MaskedEdit::contextMenuEvent(QContextMenuEvent* event) {
    // The toolkit's own menu would paste and cut past the places.
    QMenu menu(this);
    const bool editable = !isReadOnly();
    auto item = [&](const QString& caption, bool enabled, auto action) {
        QAction* a = menu.addAction(caption);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, action);
    };
    item(tr("&Undo"), editable && !undo_.empty(), [this] { UndoEdit(); });
    menu.addSeparator();
    item(tr("Cu&t"), editable && hasSelectedText(), [this] { CutText(); });
    item(tr("&Copy"), hasSelectedText(), [this] { copy(); });
    item(tr("&Paste"), editable && !QApplication::clipboard()->text().isEmpty(),
         [this] { PasteText(); });
    item(tr("Delete"), editable && hasSelectedText(), [this] { Erase(false); });
    menu.addSeparator();
    item(tr("Select All"), true, [this] { selectAll(); });
    menu.exec(event->globalPos());
}

QString MaskedEdit::Value() const {
    const int places = static_cast<int>(places_.size());
    int firstFilled = -1;
    int lastFilled = -1;
    int point = -1;
    for (int i = 0; i < places; ++i) {
        if (!IsDigitPlace(i)) {
            if (mask_[i] == QLatin1Char('.') && point < 0) point = i;
            continue;
        }
        if (places_[i].isNull()) continue;
        if (firstFilled < 0) firstFilled = i;
        lastFilled = i;
    }
    if (firstFilled < 0) return {};
    // A digit typed after the point keeps its place: "_.5___" is .5 and "1._5__" is 1.05,
    // never 5 or 1.5. A place left empty before the point is dropped: "7_._" is 7.
    const int first = point >= 0 && point < firstFilled ? point : firstFilled;
    QString value;
    for (int i = first; i <= lastFilled; ++i) {
        if (!places_[i].isNull())
            value += places_[i];
        else if (point >= 0 && i > point)
            value += QLatin1Char('0');
    }
    return value;
}

QString PercentNormalForm(const QString& value) {
    return QString::fromStdString(Format(Val(value.toStdString()), "00.0"));
}
