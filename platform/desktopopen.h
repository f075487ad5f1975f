#pragma once
// Hands a file or an address to the desktop (xdg-open), which starts the viewer or browser the
// user has chosen for it.

#include <QUrl>

// False when the desktop could not start anything for the address: xdg-open missing, or ending
// with a failure within a couple of seconds. An opener still running after that wait has found
// its program and counts as started.
bool OpenWithDesktop(const QUrl& url);
