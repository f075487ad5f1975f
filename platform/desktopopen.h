#pragma once
// Hands a file or an address to the desktop (xdg-open), which starts the viewer or browser the
// user has chosen for it. Never waits for it: where the viewer runs in the foreground, xdg-open
// returns only when the viewer is closed.

#include <QString>
#include <QUrl>
#include <functional>

// Told, later and on the program's own thread, why the desktop could not open the address.
using OpenFailure = std::function<void(const QString& why)>;

// Starts xdg-open on the address and returns at once. A failure known soon after (xdg-open
// missing, or ending with a failure within a few seconds) goes to onFailure; an opener still
// running after that has found its program and counts as started.
void OpenWithDesktop(const QUrl& url, OpenFailure onFailure = {});
