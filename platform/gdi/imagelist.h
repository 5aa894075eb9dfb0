// Image lists: rows of same-sized pictures with masks or alpha, drawn by index (the common controls' subset the
// program and its toolkit use).
#pragma once

#include "platform/gdi/windraw.h"

inline constexpr UINT ILC_MASK = 0x00000001;
inline constexpr UINT ILC_COLOR = 0x00000000;
inline constexpr UINT ILC_COLORDDB = 0x000000FE;
inline constexpr UINT ILC_COLOR4 = 0x00000004;
inline constexpr UINT ILC_COLOR8 = 0x00000008;
inline constexpr UINT ILC_COLOR16 = 0x00000010;
inline constexpr UINT ILC_COLOR24 = 0x00000018;
inline constexpr UINT ILC_COLOR32 = 0x00000020;

inline constexpr UINT ILD_NORMAL = 0x00000000;
inline constexpr UINT ILD_TRANSPARENT = 0x00000001;
inline constexpr UINT ILD_BLEND25 = 0x00000002;
inline constexpr UINT ILD_FOCUS = ILD_BLEND25;
inline constexpr UINT ILD_BLEND50 = 0x00000004;
inline constexpr UINT ILD_SELECTED = ILD_BLEND50;
inline constexpr UINT ILD_BLEND = ILD_BLEND50;
inline constexpr UINT ILD_MASK = 0x00000010;
inline constexpr UINT ILD_IMAGE = 0x00000020;

inline constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

struct IMAGEINFO {
  HBITMAP hbmImage = nullptr;
  HBITMAP hbmMask = nullptr;
  int Unused1 = 0;
  int Unused2 = 0;
  RECT rcImage;
};

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
// Adds every image of a strip `bitmap` (its width a multiple of the list's); returns the first new index or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP bitmap, HBITMAP mask);
// Pixels of `maskColor` become transparent (and black in the stored picture).
int ImageList_AddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF maskColor);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP bitmap, HBITMAP mask);
// index -1 adds; returns the index or -1.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
// index -1 removes all.
BOOL ImageList_Remove(HIMAGELIST list, int index);
inline BOOL ImageList_RemoveAll(HIMAGELIST list) { return ImageList_Remove(list, -1); }
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF background,
                      COLORREF foreground, UINT style);
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
inline HICON ImageList_ExtractIcon(HINSTANCE, HIMAGELIST list, int index) { return ImageList_GetIcon(list, index, 0); }
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
// Hands out copies of the image's bitmaps, which the caller deletes.
BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info);
HIMAGELIST ImageList_Duplicate(HIMAGELIST list);
