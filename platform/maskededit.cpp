#include "maskededit.h"

namespace {

bool IsDigitPlace(QChar c) {
    return c == QLatin1Char('#') || c == QLatin1Char('9') || c == QLatin1Char('0');
}

// Characters that mean something in the toolkit's masks and must be escaped to stand for
// themselves.
bool IsToolkitMaskCharacter(QChar c) {
    static const QString special = QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{};");
    return special.contains(c);
}

}  // namespace

QString ToolkitInputMask(const QString& mask, QChar prompt) {
    QString result;
    for (QChar c : mask) {
        if (IsDigitPlace(c)) {
            // A digit the user may leave out: the old boxes never refused a half-filled entry.
            result += QLatin1Char('0');
        } else {
            if (IsToolkitMaskCharacter(c)) result += QLatin1Char('\\');
            result += c;
        }
    }
    return result + QLatin1Char(';') + prompt;
}

MaskedEdit::MaskedEdit(const QString& mask, QChar prompt, QWidget* parent)
    : QLineEdit(parent), mask_(mask), prompt_(prompt) {
    setInputMask(ToolkitInputMask(mask, prompt));
}

QString MaskedEdit::Value() const {
    const QString shown = displayText();
    QString value;
    int firstFilled = -1;
    int lastFilled = -1;
    for (int i = 0; i < shown.size() && i < mask_.size(); ++i) {
        if (!IsDigitPlace(mask_[i]) || shown[i] == prompt_) continue;
        if (firstFilled < 0) firstFilled = i;
        lastFilled = i;
    }
    if (firstFilled < 0) return value;
    for (int i = firstFilled; i <= lastFilled; ++i) {
        // A prompt left inside the entry is a place not typed, not a character of the value.
        if (IsDigitPlace(mask_[i]) && shown[i] == prompt_) continue;
        value += shown[i];
    }
    return value;
}
