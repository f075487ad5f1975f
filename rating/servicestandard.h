#pragma once
#include <cstdint>
#include <string>

// The carrier's service standard as the windows show it: target 1 the quote window (two
// lines), target 0 the main window (one line).
std::string ServiceStandardText(uint8_t days, int target);
