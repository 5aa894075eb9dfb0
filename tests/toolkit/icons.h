// Icons the toolkit tests put into image managers.
#pragma once

#include "platform/mfc/afxwin.h"

namespace tktest {

// An opaque w x h icon of one colour.
inline HICON MakeIcon(int w, int h, COLORREF clr)
{
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateCompatibleBitmap(screen, w, h);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, color);
  RECT all{0, 0, w, h};
  HBRUSH brush = CreateSolidBrush(clr);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, mask);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(color);
  DeleteObject(mask);
  return icon;
}

}  // namespace tktest
