#include "toolkit/paint/theme_default.h"

#include "toolkit/paint/image_manager.h"

namespace TKPaintThemes {

void CTKDefaultTheme::DrawButtonRectangle(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled,
                                          BOOL bChecked, BOOL bPopuped, BOOL /*bToolBar*/, int /*nBarPosition*/)
{
  const auto raised = [&] { Draw3dRect(pDC, rc, 20, 16); };
  const auto sunken = [&] { Draw3dRect(pDC, rc, 16, 20); };
  if (!bEnabled) {
    if (bChecked || nSelected == 2) {
      sunken();
    }
    return;
  }
  if (bChecked) {
    if (!nSelected && !nPressed) {
      FillDitherRect(pDC, rc);
    }
    sunken();
  } else if (bPopuped || nPressed == 2 || (nSelected && nPressed)) {
    sunken();
  } else if (nSelected || nPressed) {
    raised();
  }
}

void CTKDefaultTheme::DrawControlState(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed,
                                       BOOL bChecked, BOOL bPopuped, int nBarPosition)
{
  DrawButtonRectangle(pDC, rc, nSelected, nPressed, bEnabled, bChecked, bPopuped, TRUE, nBarPosition);
  const int text = !bEnabled ? 17 : nBarPosition == tkBarPopup ? m_nPopupTextColor : 18;
  pDC->SetTextColor(GetColor(text));
  pDC->SetBkMode(TRANSPARENT);
}

void CTKDefaultTheme::DrawImage(CDC* pDC, CPoint pt, CSize sz, CTKImageManagerIcon* pImage, int nSelected,
                                int nPressed, BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL /*bToolBar*/)
{
  if (!bEnabled) {
    if (!pImage->HasDisabledIcon() && !m_bFlatDisabledIcons) {
      pImage->DrawMono(pDC, pt + CPoint(1, 1), pImage->GetIcon(), GetColor(20));
      pImage->DrawMono(pDC, pt, pImage->GetIcon(), GetColor(16));
    } else {
      PrepareDisabledIcon(pImage);
      pImage->DrawImage(pDC, pt, pImage->GetDisabledIcon(), sz.cx, sz.cy);
    }
    return;
  }
  if (bPopuped) {
    pImage->DrawImage(pDC, pt, bChecked ? pImage->GetCheckedIcon() : pImage->GetIcon(), sz.cx, sz.cy);
    return;
  }
  if (bChecked) {
    pImage->DrawImage(pDC, pt, pImage->GetCheckedIcon(), sz.cx, sz.cy);
    return;
  }
  const auto hot = [&] {
    if (m_bIconShadow && !pImage->GetShadowIcon().IsEmpty()) {
      pImage->DrawImage(pDC, pt + CPoint(1, 1), pImage->GetShadowIcon(), sz.cx, sz.cy);
      pImage->DrawImage(pDC, pt - CPoint(1, 1), pImage->GetHotIcon(), sz.cx, sz.cy);
    } else {
      pImage->DrawImage(pDC, pt, pImage->GetHotIcon(), sz.cx, sz.cy);
    }
  };
  if (nSelected) {
    if (nPressed) {
      pImage->DrawImage(pDC, pt + CPoint(1, 1), pImage->GetHotIcon(), sz.cx, sz.cy);
    } else {
      hot();
    }
    return;
  }
  if (nPressed == 0) {
    pImage->DrawImage(pDC, pt, m_bFadedIcons ? pImage->GetFadedIcon() : pImage->GetIcon(), sz.cx, sz.cy);
  } else if (nPressed == 1) {
    hot();
  } else if (nPressed == 2) {
    pImage->DrawImage(pDC, pt + CPoint(1, 1), pImage->GetHotIcon(), sz.cx, sz.cy);
  }
}

void CTKDefaultTheme::DrawEditFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected)
{
  if (bEnabled) {
    if (nSelected) {
      Draw3dRect(pDC, rc, 16, 20);
    } else {
      Draw3dRect(pDC, rc, 15, 15);
    }
    rc.DeflateRect(1, 1);
    Draw3dRect(pDC, rc, 15, 15);
    return;
  }
  rc.DeflateRect(1, 1);
  const int border = nSelected == 2 ? 16 : 20;
  Draw3dRect(pDC, rc, border, border);
}

void CTKDefaultTheme::DrawComboButton(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bDropped)
{
  CRect button(rc.left + 1, rc.top + 2, rc.right - 2, rc.bottom - 2);
  CRect glyph = button;
  if (bEnabled) {
    pDC->FillSolidRect(&button, GetColor(15));
    const CRect leftColumn(button.left - 1, button.top, button.left, button.bottom);
    if (bDropped) {
      pDC->FillSolidRect(&leftColumn, GetColor(15));
      Draw3dRect(pDC, button, 16, 20);
      glyph.OffsetRect(1, 1);
    } else if (bSelected) {
      pDC->FillSolidRect(&leftColumn, GetColor(15));
      Draw3dRect(pDC, button, 20, 16);
    } else {
      Draw3dRect(pDC, button, 20, 20);
    }
  }
  DrawDropDownGlyph(pDC, glyph, GetColor(18));
}

int CTKDefaultTheme::DrawEmbossedText(CDC* pDC, const CString& str, CRect& rc, UINT nFormat, BOOL bDraw,
                                      BOOL bSelected, BOOL bEnabled)
{
  if (!bDraw) {
    return pDC->DrawText(str, &rc, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER | (nFormat & DT_NOPREFIX));
  }
  if (!bEnabled && !bSelected) {
    const COLORREF text = pDC->SetTextColor(GetColor(20));
    CRect shadow = rc;
    shadow.OffsetRect(1, 1);
    pDC->DrawText(str, &shadow, nFormat | DT_SINGLELINE | DT_VCENTER);
    pDC->SetTextColor(text);
  }
  return pDC->DrawText(str, &rc, nFormat | DT_SINGLELINE | DT_VCENTER);
}

CSize CTKDefaultTheme::DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw)
{
  if (bDraw) {
    pDC->FillSolidRect(rc.left, rc.top, rc.Width(), rc.Height() - 1, GetColor(bSelected ? 2 : 3));
  }
  return CSize(0, 8);
}

void CTKDefaultTheme::FillDitherRect(CDC* pDC, CRect rc)
{
  WORD pattern[8];
  for (int row = 0; row < 8; ++row) {
    pattern[row] = (row % 2 == 0) ? 0x55 : 0xAA;
  }
  CBitmap bitmap;
  bitmap.CreateBitmap(8, 8, 1, 1, pattern);
  CBrush brush;
  brush.CreatePatternBrush(&bitmap);
  const COLORREF oldBack = pDC->SetBkColor(GetColor(15));
  const COLORREF oldText = pDC->SetTextColor(GetColor(20));
  CBrush* oldBrush = pDC->SelectObject(&brush);
  pDC->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATCOPY);
  pDC->SelectObject(oldBrush);
  pDC->SetBkColor(oldBack);
  pDC->SetTextColor(oldText);
}

}  // namespace TKPaintThemes
