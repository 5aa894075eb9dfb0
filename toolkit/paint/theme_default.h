// Theme 0: the classic three-dimensional look, drawn from system colours only.
#pragma once

#include "toolkit/paint/paint_manager.h"

namespace TKPaintThemes {

class CTKDefaultTheme : public CTKPaintManager {
public:
  CTKDefaultTheme() = default;

  void DrawControlState(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, BOOL bChecked,
                        BOOL bPopuped, int nBarPosition) override;
  void DrawButtonRectangle(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, BOOL bChecked,
                           BOOL bPopuped, BOOL bToolBar, int nBarPosition) override;
  void DrawImage(CDC* pDC, CPoint pt, CSize sz, CTKImageManagerIcon* pImage, int nSelected, int nPressed,
                 BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL bToolBar) override;
  CSize DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw) override;
  int BaseTheme() override { return tkThemeDefault; }

  virtual void DrawEditFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected);
  virtual void DrawComboButton(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bDropped);
  // Disabled text not under the selection is drawn raised: a highlight copy one pixel right and down first.
  virtual int DrawEmbossedText(CDC* pDC, const CString& str, CRect& rc, UINT nFormat, BOOL bDraw, BOOL bSelected,
                               BOOL bEnabled);

  // The checked button's face: a 50% pattern of the face and the highlight.
  void FillDitherRect(CDC* pDC, CRect rc);

  BOOL m_bFullRowSelection = FALSE;
  int m_nPopupTextColor = 18;
};

}  // namespace TKPaintThemes
