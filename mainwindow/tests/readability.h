#pragma once
// Whether a window reads on any desktop: the texts of a window whose colour stands too close to
// what is drawn behind them, and (from the shared helpers) a dark palette to draw it under.

#include <string>
#include <vector>

#include "../../platform/tests/drawncolours.h"

class QWidget;

// The visible labels, boxes and option buttons of a shown window whose text colour has too
// little contrast with the colour behind the text (taken from a picture of the window), each as
// "name: text on background".
std::vector<std::string> UnreadableTexts(QWidget* window);

// The runs of text of the pages shown in a window's text browsers (the visible part of each)
// whose colour stands below `least` against what is drawn behind them, each as
// "name: text on background".
std::vector<std::string> UnreadablePageTexts(QWidget* window, double least = 4.5);

// The tool buttons of a window whose icon has no part that stands out from the bar behind it
// by at least 3:1, each as "name: colour on background".
std::vector<std::string> FaintIcons(QWidget* window);
