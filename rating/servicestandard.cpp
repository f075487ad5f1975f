#include "servicestandard.h"

std::string ServiceStandardText(uint8_t days, int target) {
    std::string dayText = days == 1 ? "1 Day" : std::to_string(days) + " Days";
    if (target == 1) return "Norvale Freight Service Standard:\n" + dayText;
    return "Norvale Freight Service Standard: \u00bb" + dayText;
}
