#include "app/color_button.h"

#include "platform/mfc/dc.h"

#include <cstdlib>

namespace {

COLORREF Grey(int level) { return RGB(level, level, level); }

void DrawRing(CDC& dc, const CRect& rect, int inset, COLORREF topLeft, COLORREF bottomRight)
{
  const int left = rect.left + inset;
  const int top = rect.top + inset;
  const int right = rect.right - 1 - inset;
  const int bottom = rect.bottom - 1 - inset;
  if (right < left || bottom < top)
    return;
  dc.FillSolidRect(left, top, right - left + 1, 1, topLeft);
  dc.FillSolidRect(left, top, 1, bottom - top + 1, topLeft);
  dc.FillSolidRect(left, bottom, right - left + 1, 1, bottomRight);
  dc.FillSolidRect(right, top, 1, bottom - top + 1, bottomRight);
}

void DrawCentredText(CDC& dc, const CString& text, const CRect& rect, COLORREF colour)
{
  CRect box = rect;
  dc.SetTextColor(colour);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(text, text.GetLength(), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

void DrawColorButtonBevel(CDC& dc, const CRect& rect, int depth)
{
  const int rings = std::abs(depth);
  for (int n = 1; n <= rings; ++n) {
    COLORREF light = Grey(255);
    COLORREF dark = Grey(128);
    if (rings > 1) {
      light = Grey(63 / n + 192);
      dark = Grey(255 / (n + 1));
    }
    if (depth < 0) {
      const COLORREF bottomRight = n == rings && rings > 1 ? RGB(1, 1, 1) : light;
      DrawRing(dc, rect, n - 1, dark, bottomRight);
    } else {
      DrawRing(dc, rect, n - 1, light, dark);
    }
  }
}

void CColorButton::SetColours(COLORREF text, COLORREF background, COLORREF disabledText)
{
  m_textColour = text;
  m_backgroundColour = background;
  m_disabledTextColour = disabledText;
}

void CColorButton::DrawItem(const DRAWITEMSTRUCT* item)
{
  CDC* dc = CDC::FromHandle(item->hDC);
  const CRect rect = item->rcItem;
  CRect inner = rect;
  inner.DeflateRect(4, 4);
  CString text = GetSafeHwnd() ? GetWindowTextString() : CString();
  if (text.GetLength() > 512)
    text = text.Left(512);

  dc->FillSolidRect(&rect, m_backgroundColour);
  DrawColorButtonBevel(*dc, rect, m_bevelDepth);
  DrawCentredText(*dc, text, rect, m_textColour);
  if (item->itemState & ODS_FOCUS) {
    dc->DrawFocusRect(&inner);
    if (item->itemState & ODS_SELECTED) {
      dc->FillSolidRect(&rect, m_backgroundColour);
      DrawColorButtonBevel(*dc, rect, -1);
      DrawCentredText(*dc, text, rect, m_textColour);
      dc->DrawFocusRect(&inner);
    }
  } else if (item->itemState & ODS_DISABLED) {
    DrawCentredText(*dc, text, rect, m_disabledTextColour);
  }
}
