#include "fontconfigload.h"

#include <fontconfig/fontconfig.h>

FontConfigurationLoad::FontConfigurationLoad()
    : read_(std::async(std::launch::async, [] {
          // A failure here is the toolkit's to report when it loads the configuration itself.
          FcInit();
      }).share()) {}

FontConfigurationLoad::~FontConfigurationLoad() {
    Wait();
}
