// The view's tooltip as the tools use it: one tool for the whole view window, whose text follows the cursor.
#pragma once

#include "platform/mfc-core/mfcstring.h"

// Activates the tooltip and shows the text: the view's tool is added on first use, its text updated after.
// Nothing without a tooltip.
void ShowToolTipText(HWND tooltip, HWND view, const CString& text);
void HideToolTip(HWND tooltip);
