#include "toolkit/paint/theme_office.h"

#include "toolkit/paint/image_manager.h"

namespace TKPaintThemes {

CTKOfficeTheme::CTKOfficeTheme()
{
  m_bFadedIcons = TRUE;
  m_bFlatDisabledIcons = TRUE;
  m_bIconShadow = TRUE;
  m_bGenerateDisabledIcons = TRUE;
}

void CTKOfficeTheme::DrawButtonRectangle(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled,
                                         BOOL bChecked, BOOL bPopuped, BOOL /*bToolBar*/, int nBarPosition)
{
  const bool popup = nBarPosition == tkBarPopup;
  if (!bEnabled) {
    if (nSelected == 2) {
      DrawRectangle(pDC, rc, 32, popup ? 41 : bChecked ? 33 : 31);
    } else if (bChecked) {
      DrawRectangle(pDC, rc, 58, popup ? -1 : 36);
    }
    return;
  }
  if (bPopuped) {
    DrawRectangle(pDC, rc, 43, 30);
  } else if (bChecked && !nSelected && !nPressed) {
    DrawRectangle(pDC, rc, 50, 36);
  } else if (bChecked && nSelected && !nPressed) {
    DrawRectangle(pDC, rc, 37, 33);
  } else if (nPressed == 2 || (nSelected && nPressed)) {
    DrawRectangle(pDC, rc, 50, 33);
  } else if (nSelected || nPressed) {
    DrawRectangle(pDC, rc, 32, 31);
  }
}

void CTKOfficeTheme::DrawControlState(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed,
                                      BOOL bChecked, BOOL bPopuped, int nBarPosition)
{
  DrawButtonRectangle(pDC, rc, nSelected, nPressed, bEnabled, bChecked, bPopuped, TRUE, nBarPosition);
  int text = 0;
  if (!bEnabled) {
    text = 60;
  } else if (bPopuped) {
    text = 46;
  } else if (bChecked && !nSelected && !nPressed) {
    text = 45;
  } else if (nPressed == 2) {
    text = 47;
  } else if (!nSelected) {
    text = nPressed ? 45 : nBarPosition == tkBarPopup ? 44 : 46;
  } else {
    text = (nPressed || bChecked) ? 47 : 45;
  }
  pDC->SetTextColor(GetColor(text));
  pDC->SetBkMode(TRANSPARENT);
}

void CTKOfficeTheme::DrawImage(CDC* pDC, CPoint pt, CSize sz, CTKImageManagerIcon* pImage, int nSelected,
                               int nPressed, BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL /*bToolBar*/)
{
  if (!bEnabled) {
    if (!m_bFlatDisabledIcons && !pImage->HasDisabledIcon()) {
      pImage->DrawMono(pDC, pt, pImage->GetIcon(), GetColor(40));
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
  const auto selected = [&] {
    if (!nPressed && m_bIconShadow && !pImage->GetShadowIcon().IsEmpty()) {
      pImage->DrawImage(pDC, pt + CPoint(1, 1), pImage->GetShadowIcon(), sz.cx, sz.cy);
      pImage->DrawImage(pDC, pt - CPoint(1, 1), pImage->GetHotIcon(), sz.cx, sz.cy);
    } else {
      pImage->DrawImage(pDC, pt, pImage->GetHotIcon(), sz.cx, sz.cy);
    }
  };
  if (nSelected) {
    selected();
  } else if (nPressed == 0) {
    pImage->DrawImage(pDC, pt, m_bFadedIcons ? pImage->GetFadedIcon() : pImage->GetIcon(), sz.cx, sz.cy);
  } else if (nPressed == 1) {
    selected();
  } else if (nPressed == 2) {
    pImage->DrawImage(pDC, pt, pImage->GetHotIcon(), sz.cx, sz.cy);
  }
}

CSize CTKOfficeTheme::DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw)
{
  if (!bDraw) {
    return CSize(0, 9);
  }
  CRect strip(rc.left + 1, rc.top + 1, rc.right + 1, rc.top + rc.Height() + 1);
  pDC->FillSolidRect(&strip, GetColor(41));
  strip.DeflateRect(1, 1);
  const int half = strip.Width() / 2 > 26 ? 16 : strip.Width() / 2 - 10;
  const int centre = strip.CenterPoint().x;
  if (bSelected) {
    DrawRectangle(pDC, strip, 32, 31);
    if (half > 0) {
      for (const int y : {4, 6}) {
        DrawLine(pDC, centre - half, rc.top + y, centre + half, rc.top + y, 45);
      }
    }
  } else {
    pDC->FillSolidRect(&strip, GetColor(30));
    if (half > 0) {
      for (const int y : {3, 5, 7}) {
        DrawLine(pDC, centre - half, rc.top + y, centre + half, rc.top + y, 38);
      }
    }
  }
  return CSize(0, 9);
}

void CTKOfficeTheme::DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL /*bLastPane*/)
{
  Draw3dRect(pDC, rc, 16, 16);
}

void CTKOfficeTheme::FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpanded)
{
  pDC->FillSolidRect(x, y, cx, cy, GetColor(bExpanded ? 42 : 30));
}

}  // namespace TKPaintThemes
