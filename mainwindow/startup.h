#pragma once
// Connects the windows of the program once the main window exists: where the engine's
// messages go, what a rating shows, and what the quote window's labels open.

class Form3;

void ConnectProgramWindows(Form3& form);
