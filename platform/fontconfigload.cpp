#include "fontconfigload.h"

#include <fontconfig/fontconfig.h>

FontConfigurationLoad::FontConfigurationLoad() : thread_([] {
    // A failure here is the toolkit's to report when it loads the configuration itself.
    FcInit();
}) {}

FontConfigurationLoad::~FontConfigurationLoad() {
    Wait();
}

void FontConfigurationLoad::Wait() {
    if (thread_.joinable()) thread_.join();
}
