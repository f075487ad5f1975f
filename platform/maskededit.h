#pragma once
// An entry box with a fixed mask: digit places and literal characters. Its Text has the prompt
// character in every place not typed, literals and prompts included, as the dialogs have always
// read it; its Value is what the user actually typed. The box draws a place not typed as "_"
// whatever the prompt, so that it never shows a digit nobody typed (a "0" prompt would make
// "5.5" typed over "##.#" look like 50.5).
//
// The box keeps for every place whether it was typed, apart from what it shows: with "0" as the
// prompt an empty place and a typed 0 look alike, and the toolkit's own input mask cannot tell
// them apart. Every edit (keys, paste, cut, undo, the context menu) goes through the places.

#include <QLineEdit>
#include <QString>
#include <functional>
#include <vector>

class MaskedEdit : public QLineEdit {
    Q_OBJECT
  public:
    // The mask in the dialogs' notation: '#', '9' and '0' are digit places, which the user may
    // leave empty; every other character is a literal ("#.####", "##.#", "$999999").
    explicit MaskedEdit(const QString& mask, QChar prompt = QLatin1Char('_'),
                        QWidget* parent = nullptr);

    const QString& Mask() const { return mask_; }
    QChar Prompt() const { return prompt_; }

    // The places with the prompt in those not typed: "1.05__" after typing 1, 0 and 5 into
    // "#.####"; with the prompt "0", "50.5" after typing 5, a point and 5 into "##.#".
    QString Text() const;
    // Fills the places from the left with the digits of the text; a literal of the text that
    // matches the mask's literal at that place is taken as that literal ("1.05" → "1.05__").
    // The places it fills count as typed. clear() empties every place.
    void SetText(const QString& text);

    // The typed value: the filled places with the literals between them, without prompt
    // characters and without the literals at either end, except a point before the first digit.
    // A place left empty before the point is dropped, one after it keeps the digits after it in
    // their places. "1.05__" gives "1.05", "7_._" gives "7", "__.5" gives ".5", "1._5__" gives
    // "1.05", "$250___" gives "250", an untouched box gives "".
    QString Value() const;

    // Selects `length` characters from the first.
    void SelectFromStart(int length) { setSelection(0, length); }

    // Gives the box the form its value is stored in (from the Value, "5.5" → "05.5"), which it
    // then shows whenever it is left and at ShowNormalised, so that the user sees what is kept.
    void SetNormalForm(std::function<QString(const QString& value)> normalise);
    // Fills the places with the normal form of the value, when the box has one.
    void ShowNormalised();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    bool IsDigitPlace(int i) const;
    // Puts the characters at the cursor, over the selection when there is one, as typing does.
    void Type(const QString& keys);
    // Empties the selected places, or the place before the cursor (Backspace) or at it (Delete).
    void Erase(bool backward);
    void PasteText();
    void CutText();
    void UndoEdit();
    // Remembers the places for Undo before an edit changes them.
    void KeepForUndo();
    // Draws the places into the box and puts the cursor at `cursor`.
    void Show(int cursor);
    QString Rendered() const;

    QString mask_;
    QChar prompt_;
    // One character a place: the literal, the digit typed, or QChar() for an empty place.
    QString places_;
    std::vector<QString> undo_;
    std::function<QString(const QString&)> normalise_;
    bool showing_ = false;
};

// The normal form of a percentage in a "##.#" box: two digits, a point and one ("7" → "07.0",
// "" → "00.0").
QString PercentNormalForm(const QString& value);
