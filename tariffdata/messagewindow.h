#pragma once
// Puts the message window (frmMssgBox) behind ShowMessage. The program calls it at start-up,
// and so do the test programs whose windows show messages.

void InstallMessageWindow();
