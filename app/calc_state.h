// The calculation state and the exit-pending flag the main frame keeps for the whole process, and the commands
// that stay usable while a calculation runs. Only the frame writes the two words (interlocked); everybody else
// asks the frame with UM_GETCALCSTATE and UM_GETEXITPENDING.
#pragma once

#include "model/shell/shell_services.h"
#include "platform/base/wintypes.h"

namespace calc_state {

// Store and answer the previous value.
int ExchangeState(int state);
int ExchangeExitPending(int pending);
int State();
int ExitPending();

// The 19 commands whose update requests are routed as usual during a calculation: views, navigation, the pane
// toggles, help and web, and the cancel itself.
BOOL IsAllowedWhileBusy(UINT commandId);

// The message pane's string for a state; 0 for a state without text.
UINT StatusTextId(int state);

}  // namespace calc_state
