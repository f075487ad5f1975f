#pragma once
// An entry box with a fixed mask: digit places and literal characters, every place not typed
// showing the prompt character. Its Text is what the box shows, literals and prompts included,
// as the dialogs have always read it; its Value is what the user actually typed.

#include <QLineEdit>
#include <QString>

class MaskedEdit : public QLineEdit {
    Q_OBJECT
  public:
    // The mask in the dialogs' notation: '#', '9' and '0' are digit places, which the user may
    // leave empty; every other character is a literal ("#.####", "##.#", "$999999").
    explicit MaskedEdit(const QString& mask, QChar prompt = QLatin1Char('_'),
                        QWidget* parent = nullptr);

    const QString& Mask() const { return mask_; }
    QChar Prompt() const { return prompt_; }

    // What the box shows: "1.05__" after typing 1, 0 and 5 into "#.####".
    QString Text() const { return displayText(); }
    // Fills the places from the left with the digits of the text; a literal of the text that
    // matches the mask's literal at that place is taken as that literal ("1.05" → "1.05__").
    void SetText(const QString& text) { setText(text); }

    // The typed value: the filled places with the literals between them, without prompt
    // characters and without the literals at either end, except a point before the first digit.
    // A place left empty before the point is dropped, one after it keeps the digits after it in
    // their places. "1.05__" gives "1.05", "7_._" gives "7", "__.5" gives ".5", "1._5__" gives
    // "1.05", "$250___" gives "250", an untouched box gives "".
    QString Value() const;

    // Selects `length` characters from the first.
    void SelectFromStart(int length) { setSelection(0, length); }

  private:
    QString mask_;
    QChar prompt_;
};

// The toolkit's mask for one in the dialogs' notation (digit places optional, the other
// characters literal), with the prompt as its blank character.
QString ToolkitInputMask(const QString& mask, QChar prompt);
