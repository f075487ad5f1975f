#pragma once
// Connects the windows of the program once the main window exists: where the engine's
// messages go, what a rating shows, and what the quote window's labels open.

#include <vector>

class Form3;
class QIcon;
class QImage;

void ConnectProgramWindows(Form3& form);

// The pictures of the windows' icon, in the two sizes a desktop shows beside a window's title
// and in its window list (the large picture is the menu entry's). The first picture the program
// reads has the toolkit load every image plugin it has, so this may run on a thread of its own.
std::vector<QImage> ReadProgramIconPictures();
// The icon of every window, from those pictures.
QIcon ProgramWindowIcon(const std::vector<QImage>& pictures);
