// Copy of the view's frame to the clipboard ("&Копировать" with picture colours, "Снимок экрана" with the
// screen's). The frame is rendered off screen; the window keeps its pixels.
#pragma once

#include "platform/base/wintypes.h"

class CGraphicCore;

// The largest client area copied, in pixels a side; a larger view is refused rather than allocated.
inline constexpr int kMaxClipboardViewSide = 16384;

// TRUE when the clipboard holds the frame; FALSE (and nothing changed) for an empty or oversized view, a
// failed allocation or a clipboard that cannot be opened.
BOOL CopyViewToClipboard(CGraphicCore* core, HWND view, int screenColours);

// The byte size of a 24-bit DIB's pixels, rows padded to 4 bytes; 0 for a non-positive or oversized side.
size_t DibImageSize(int width, int height);
