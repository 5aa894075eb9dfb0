// Moving a toolbar the way a drag does. Apart from the frame's header: the toolbar's and the docking panes'
// dock flags share names.
#pragma once

#include "platform/mfc/afxwin.h"

class CTKCommandBars;

namespace apptest {

// Docks the toolbar in a new row at the bottom of the frame; false when there is no such toolbar.
bool DockToolBarAtBottom(CTKCommandBars* bars, UINT barId);

}  // namespace apptest
