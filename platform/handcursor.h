#pragma once
// The hand cursor that every window shows over its label buttons, read from a Windows cursor
// file, and the mouse pointers a window can show.

#include <QCursor>
#include <QPoint>
#include <QString>
#include <optional>

class QWidget;

// The cursor in a .cur file with the hot spot the file gives. A missing or unreadable file gives
// the toolkit's own pointing hand, so a damaged install still shows a hand over the labels.
QCursor LoadHandCursor(const QString& curPath);

// The hot spot recorded in a .cur file (x in bytes 10-11, y in 12-13, little-endian), or nothing
// when the file is not a cursor file.
std::optional<QPoint> ReadCursorHotSpot(const QString& curPath);

// Writes a 32 x 32 pointing hand as a .cur file, its hot spot at the fingertip.
bool WriteHandCursorFile(const QString& path);
// Where WriteHandCursorFile puts the hot spot.
inline constexpr int kHandHotSpotX = 11;
inline constexpr int kHandHotSpotY = 1;

// Mouse pointer numbers as the windows name them.
enum MousePointer : int {
    kPointerDefault = 0,
    kPointerArrow = 1,
    kPointerHourglass = 11,
    kPointerCustom = 99,  // the window's own mouse icon
};

// A window's own mouse icon, shown when its pointer is kPointerCustom.
void SetMouseIcon(QWidget* window, const QCursor& cursor);
bool HasMouseIcon(const QWidget* window);
// Shows one of the MousePointer values over the window. A window with no icon of its own shows
// the pointing hand for kPointerCustom.
void SetMousePointer(QWidget* window, int pointer);
