#pragma once
// For the programs that only draw windows into pictures or time them (not the program itself,
// which says it needs a desktop): with no display to show them on they draw offscreen, where
// the toolkit would otherwise abort. A platform chosen by the caller stays. Call it before the
// QApplication is made.

#include <cstdlib>

inline void DrawOffscreenWithoutDisplay() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}
