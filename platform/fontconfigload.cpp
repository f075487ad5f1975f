#include "fontconfigload.h"

#include <fontconfig/fontconfig.h>

#include "ahead.h"

FontConfigurationLoad::FontConfigurationLoad()
    : read_(StartAhead([] {
          // A failure here is the toolkit's to report when it loads the configuration itself.
          FcInit();
      }).share()) {}

FontConfigurationLoad::~FontConfigurationLoad() {
    Wait();
}
