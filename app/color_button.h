// An owner-drawn push button with its own text, background and disabled-text colours and a bevel of a chosen
// depth (negative: the pressed look). The colour buttons of the settings dialog's image page are of this kind;
// their dialog hands WM_DRAWITEM to DrawItem.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc/controls.h"

class CColorButton : public CButton {
public:
  CColorButton() = default;

  void SetColours(COLORREF text, COLORREF background, COLORREF disabledText);
  void SetBevelDepth(int depth) { m_bevelDepth = depth; }
  void DrawItem(const DRAWITEMSTRUCT* item);

  COLORREF m_textColour = RGB(0, 0, 0);
  COLORREF m_backgroundColour = RGB(192, 192, 192);
  COLORREF m_disabledTextColour = RGB(128, 128, 128);
  int m_bevelDepth = 2;
};

// The bevel alone: |depth| rings of one pixel from the rectangle's edge inwards.
void DrawColorButtonBevel(CDC& dc, const CRect& rect, int depth);
