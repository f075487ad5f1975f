#pragma once
// The platform's message box, a thin wrapper over the toolkit's; the script that answers it in
// tests is in messagescript.h.

#include <QString>

#include "messagescript.h"

class QFontMetrics;

// Shows a modal message box and returns the button chosen. An empty title shows the program's
// name.
int PlatformMessageBox(const QString& text, int style = kMbOK, const QString& title = QString());
// The text as the box shows it: lines break only at blanks, never after a slash or a hyphen,
// so a file's path stays whole unless it is wider than the box itself.
QString BreakAtBlanksOnly(const QString& text);

// The text as a message window shows it in lines `width` pixels wide: a word wider than that (a
// long name typed without blanks) is cut into pieces that fit, each on a line of its own. The
// rest is left for the window to wrap between words.
QString BreakOverlongWords(const QString& text, const QFontMetrics& metrics, int width);

// The answer a message gets when nobody chooses: the only button of an OK box, Cancel when the
// box has one, otherwise No (or Abort). Never the button that does something.
int PlatformDefaultAnswer(int style);
