#pragma once
// Every test of the main window starts from a program that has shown nothing yet: scripted
// messages, and the program-wide state of the window, the offshore set-up and the rating.

#include "commodity.h"
#include "form3.h"
#include "messagebox.h"
#include "msgbox.h"
#include "offshore.h"
#include "ratingstate.h"

inline void ResetProgramState() {
    messageScript.Reset();
    messageScript.Start();
    messages.Reset();
    mainState.Reset();
    offshore.Reset();
    rating.Reset();
    commodityLines.Reset();
}
