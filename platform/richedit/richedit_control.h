// The rich edit control's window procedure, and what a test or a benchmark may look at behind it.
#pragma once

#include "platform/richedit/layout.h"
#include "platform/richedit/rich_document.h"
#include "platform/richedit/richedit.h"

namespace richedit {

WNDPROC RichEditWindowProc();

// The document a control window holds, or null when the window is not a rich edit control.
const RichDocument* ControlDocument(HWND hwnd);
// The control's screen layout, brought up to date; null when the window is not a rich edit control.
const Layout* ControlLayout(HWND hwnd);

}  // namespace richedit
