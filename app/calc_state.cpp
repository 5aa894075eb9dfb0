#include "app/calc_state.h"

#include "app/resource.h"
#include "platform/mfc/afxres.h"
#include "platform/base/interlocked.h"

#include <algorithm>
#include <array>

namespace calc_state {

namespace {

volatile LONG g_state = Shell::kCalcIdle;
volatile LONG g_exitPending = 0;

constexpr std::array<UINT, 19> kAllowedWhileBusy = {
    ids::ID_VIEW_2D,      ids::ID_VIEW_3D,        ids::ID_VIEW_ZOOM_IN,        ids::ID_VIEW_ZOOM_OUT,
    ids::ID_VIEW_PAN,     ids::ID_VIEW_ROTATE,    ids::ID_PANE_OBJECTS,        ids::ID_PANE_PARAMETERS,
    ids::ID_PANE_LIGHTING, ids::ID_VIEW_RESTORE_SIZE, ids::ID_WEB_SITE,       ids::ID_HELP_SUPPORT,
    ids::ID_CONTACT_US,   ids::ID_PHOTOMETRIC_BODY, ids::ID_CALC_CANCEL,      ids::ID_APP_ABOUT,
    ids::ID_HELP_FINDER,  ids::ID_VIEW_TOOLBAR,   ids::ID_VIEW_STATUS_BAR,
};

}  // namespace

int ExchangeState(int state) { return static_cast<int>(InterlockedExchange(&g_state, state)); }
int ExchangeExitPending(int pending) { return static_cast<int>(InterlockedExchange(&g_exitPending, pending)); }
int State() { return static_cast<int>(InterlockedCompareExchange(&g_state, 0, 0)); }
int ExitPending() { return static_cast<int>(InterlockedCompareExchange(&g_exitPending, 0, 0)); }

BOOL IsAllowedWhileBusy(UINT commandId)
{
  return std::find(kAllowedWhileBusy.begin(), kAllowedWhileBusy.end(), commandId) != kAllowedWhileBusy.end();
}

UINT StatusTextId(int state)
{
  switch (state) {
  case Shell::kCalcIdle:
    return ids::AFX_IDS_IDLEMESSAGE;
  case Shell::kCalcRunning:
    return ids::IDS_CALC_RUNNING;
  case Shell::kCalcStopping:
    return ids::IDS_PLEASE_WAIT;
  default:
    return 0;
  }
}

}  // namespace calc_state
