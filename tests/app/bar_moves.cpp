#include "tests/app/bar_moves.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/toolbar.h"

namespace apptest {

bool DockToolBarAtBottom(CTKCommandBars* bars, UINT barId)
{
  auto* bar = dynamic_cast<CTKToolBar*>(bars->GetToolBar(barId));
  return bar && bars->DockCommandBar(bar, nullptr, tkBarBottom);
}

}  // namespace apptest
