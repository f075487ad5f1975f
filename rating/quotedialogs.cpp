#include "quotedialogs.h"

// Placeholder until the dialogs land: the C.O.D. basis stays as it is.
void ShowCODDialog() {}
