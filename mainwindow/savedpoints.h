#pragma once
// The main window's verified ends and the rating state, kept while a window that rates lanes of
// its own is open and put back when it closes, so that the next rating from the main window
// rates the ends it shows, never a lane that window left behind. The main window's city
// captions go back with them: a look-up that failed meanwhile has emptied them.

#include <cstdint>
#include <string>

#include "ratingstate.h"

class SavedMainWindowPoints {
  public:
    SavedMainWindowPoints();
    void Restore() const;

  private:
    struct End {
        std::string zip, zip3, state, cityState;
        int16_t subscript = 0;
        uint8_t country = 99;
    };
    End orig_, dest_;
    std::string origCaption_, destCaption_;
    RatingState rating_;
};
