#include "maskededit.h"

#include <algorithm>

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
    const int places = static_cast<int>(std::min(shown.size(), mask_.size()));
    int firstFilled = -1;
    int lastFilled = -1;
    int point = -1;
    for (int i = 0; i < places; ++i) {
        if (!IsDigitPlace(mask_[i])) {
            if (mask_[i] == QLatin1Char('.') && point < 0) point = i;
            continue;
        }
        if (shown[i] == prompt_) continue;
        if (firstFilled < 0) firstFilled = i;
        lastFilled = i;
    }
    if (firstFilled < 0) return {};
    // A digit typed after the point keeps its place: "_.5___" is .5 and "1._5__" is 1.05,
    // never 5 or 1.5. A place left empty before the point is dropped: "7_._" is 7.
    const int first = point >= 0 && point < firstFilled ? point : firstFilled;
    QString value;
    for (int i = first; i <= lastFilled; ++i) {
        if (!IsDigitPlace(mask_[i]) || shown[i] != prompt_)
            value += shown[i];
        else if (point >= 0 && i > point)
            value += QLatin1Char('0');
    }
    return value;
}
