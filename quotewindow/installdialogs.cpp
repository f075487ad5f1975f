#include "installdialogs.h"

#include "offshore.h"
#include "offshoredialogs.h"
#include "quotecharges.h"
#include "quotedialogs.h"

void InstallQuoteDialogs() {
    SetCODAmountDialog([] { ShowCODDialog(nullptr); });
    SetOffshoreDialogs(ShowPRPortDialog, ShowMilitaryDialog);
}
