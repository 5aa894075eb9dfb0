// Theme 1: the flat look. Buttons light up as a one-pixel rectangle over a highlight fill, popups have an icon
// column, hot icons rise over their shadow. The Office 2003 and Whidbey themes draw their buttons, icons and
// popup items with it.
#pragma once

#include "toolkit/paint/paint_manager.h"

namespace TKPaintThemes {

class CTKOfficeTheme : public CTKPaintManager {
public:
  CTKOfficeTheme();

  void DrawControlState(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, BOOL bChecked,
                        BOOL bPopuped, int nBarPosition) override;
  void DrawButtonRectangle(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, BOOL bChecked,
                           BOOL bPopuped, BOOL bToolBar, int nBarPosition) override;
  void DrawImage(CDC* pDC, CPoint pt, CSize sz, CTKImageManagerIcon* pImage, int nSelected, int nPressed,
                 BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL bToolBar) override;
  void DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLastPane) override;
  BOOL IsOwnerDrawnShadow() override { return TRUE; }
  CSize DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw) override;
  int BaseTheme() override { return tkThemeOffice; }

  virtual void FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpanded);
};

}  // namespace TKPaintThemes
