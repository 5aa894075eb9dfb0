// Custom button images saved with the bar state and carried over the clipboard. One image is two bitmap records
// (colour, then mask; an alpha bitmap has no mask, an empty image neither):
//   compact count n: the header's size, 0 for no bitmap, then n bytes: the BITMAPINFO (52 when written)
//   compact count m: width x height x 4, then m bytes: the rows in the header's format
// An icon is its height, its schema (16) and the normal, disabled, hot and checked images (checked from schema 8).
// A record read back is hostile input: a header that is not a plain 1, 24 or 32-bit bitmap of at most
// kTKMaxStoredImageSide pixels a side gives an empty image, and sizes past what such a bitmap needs raise the
// archive's error before anything is allocated.
#pragma once

#include "platform/user/ole_dragdrop.h"
#include "toolkit/paint/image_manager.h"

inline constexpr int kTKMaxStoredImageSide = 256;

// "Vantro ToolBar Image": one icon set as the image manager exchanges it.
CLIPFORMAT TKToolBarImageClipboardFormat();
