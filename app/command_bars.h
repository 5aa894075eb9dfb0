// The program's command bars, kept apart from the frame: the toolbar's docking flags and the docking panes'
// share names, so no file may see both.
#pragma once

#include "platform/mfc/afxwin.h"

class CTKCommandBars;
class CTKToolBar;
struct TK_CREATECONTROLSTRUCT;

// The image bar 304 (never docked or shown), the menu bar "Меню", the four toolbars at the top, the menu
// options and the shortcuts of accelerator table 128. FALSE when a bar cannot be made; the image bar made so
// far is handed back either way.
BOOL CreateProgramBars(CTKCommandBars* bars, CTKToolBar** imageBar);
void ReleaseImageBar(CTKToolBar* imageBar);

// The frame's answer to the toolkit's control-creation request: the calculation-mode combo of the "Проект"
// bar (`*madeCombo` set) and the two split buttons; FALSE leaves the toolkit's default.
BOOL CreateProgramControl(TK_CREATECONTROLSTRUCT* create, BOOL* madeCombo);

// The toolkit's customise sheet on the frame's command bars: commands page (the menu's categories, all commands,
// the built-in menus, a new menu), keyboard page and options page; shown modally.
void RunCustomizeSheet(CTKCommandBars* bars);
