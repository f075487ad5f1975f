#pragma once
// The main window's program-wide flags, which its menu and the windows it opens read too.

// Program-wide flags of the main window.
struct MainWindowState {
    bool gBusy = false;        // a command of the window is under way: entry checks stay quiet
    bool gLocked = false;      // a city choice is pending in lstCities
    bool gInAccClick = false;  // swallows the click a refused accessorial's unselecting raises

    void Reset() { *this = MainWindowState(); }
};
extern MainWindowState mainState;
