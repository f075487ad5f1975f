#include "blstate.h"

#include "blhooks.h"

BLWindowState blWindow;

namespace {
BLRatePrintHooks& Hooks() {
    static BLRatePrintHooks hooks;
    return hooks;
}
}  // namespace

void SetBLRatePrintHooks(BLRatePrintHooks hooks) {
    Hooks() = std::move(hooks);
}
const BLRatePrintHooks& GetBLRatePrintHooks() {
    return Hooks();
}
