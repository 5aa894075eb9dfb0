// The paint manager's routines that draw and measure controls and bars. They live here, beside the classes
// they read; each theme's variant is chosen by its base theme number.
#include "platform/base/clock.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/control_button.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/statusbar.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/theme_default.h"
#include "toolkit/paint/theme_nativexp.h"
#include "toolkit/paint/theme_office.h"
#include "toolkit/paint/theme_office2003.h"

#include <algorithm>

using TKPaintThemes::CTKDefaultTheme;

namespace {

constexpr int kSplitArrow = 11;
// Colour indices of the table.
constexpr int kActiveCaption = 2;
constexpr int kFace = 15;
constexpr int kShadow = 16;
constexpr int kHighlight = 20;
constexpr int kDarkShadow = 21;

BOOL IsPopuped(CTKControl* pControl)
{
  auto* pPopup = dynamic_cast<CTKControlPopup*>(pControl);
  return pPopup && pPopup->IsPopuped();
}

int BarPosition(CTKControl* pControl)
{
  return pControl->GetParent() ? pControl->GetParent()->GetPosition() : tkBarTop;
}

CTKDefaultTheme* AsDefault(CTKPaintManager* pPaintManager) { return dynamic_cast<CTKDefaultTheme*>(pPaintManager); }

// The Native XP theme draws as the Default one wherever its visual style does not take over.
BOOL IsClassic(CTKPaintManager* pPaintManager)
{
  return pPaintManager->BaseTheme() == tkThemeDefault || pPaintManager->BaseTheme() == tkThemeNativeXP;
}

TKPaintThemes::CTKNativeXPTheme* AsNativeXP(CTKPaintManager* pPaintManager)
{
  return pPaintManager->BaseTheme() == tkThemeNativeXP ? dynamic_cast<TKPaintThemes::CTKNativeXPTheme*>(pPaintManager)
                                                       : nullptr;
}

BOOL ShowCues(CTKControl* pControl)
{
  return pControl->GetParent() ? pControl->GetParent()->IsKeyboardCuesVisible() : TRUE;
}


using TKPaintThemes::CTKOffice2003Theme;
using TKPaintThemes::CTKOfficeTheme;

constexpr int kOfficeBarFace = 30;
constexpr int kOfficePopupFace = 41;
constexpr int kOfficeGripper = 38;
constexpr int kOfficeSeparator = 39;
constexpr int kOfficeFrame = 43;

CTKOffice2003Theme* AsOffice2003(CTKPaintManager* pPaintManager)
{
  return dynamic_cast<CTKOffice2003Theme*>(pPaintManager);
}

// From the bar's left, as wide as the bar or half the screen: neighbouring bars continue one gradient.
CRect Wide(const CRect& rc)
{
  return CRect(rc.left, rc.top, rc.left + std::max(rc.Width(), ::GetSystemMetrics(SM_CXFULLSCREEN) / 2), rc.bottom);
}

void FloatingFrame(CTKPaintManager* pPaintManager, CDC* pDC, CRect rc)
{
  COLORREF clr = pPaintManager->GetColor(kOfficeFrame);
  pDC->Draw3dRect(rc, clr, clr);
  rc.DeflateRect(1, 1);
  pDC->Draw3dRect(rc, clr, clr);
  rc.InflateRect(1, 1);
  pDC->SetPixel(2, 2, clr);
  pDC->SetPixel(rc.right - 3, 2, clr);
  pDC->SetPixel(2, rc.bottom - 3, clr);
  pDC->SetPixel(rc.right - 3, rc.bottom - 3, clr);
}

int CaptionBlankHeight(CTKPaintManager* pPaintManager, CDC* pDC)
{
  CFont* pOld = pDC->SelectObject(&pPaintManager->m_fontSmCaption);
  int nHeight = pDC->GetTextExtent(" ", 1).cy;
  pDC->SelectObject(pOld);
  return nHeight;
}

// The row bottom of the first visible control, or the bar's bottom without one.
int FirstRowEdge(CTKCommandBar* pBar, BOOL bVert, const CRect& rc)
{
  for (int i = 0; i < pBar->GetControlCount(); ++i) {
    CTKControl* pControl = pBar->GetControl(i);
    if (pControl->IsVisible())
      return bVert ? pControl->GetRowRect().right : pControl->GetRowRect().bottom;
  }
  return bVert ? rc.right : rc.bottom;
}

void OfficeFillCommandBar(CTKPaintManager* pPaintManager, CDC* pDC, CTKCommandBar* pBar)
{
  CRect rc;
  pBar->GetClientRect(&rc);
  int nPosition = pBar->GetPosition();
  CTKOffice2003Theme* p2003 = AsOffice2003(pPaintManager);
  auto* pOffice = dynamic_cast<CTKOfficeTheme*>(pPaintManager);
  if (p2003) {
    const auto& grcDock = p2003->m_grcDockBar;
    const auto& grcBar = p2003->m_grcToolBar;
    if (pBar->GetType() == tkBarTypeMenuBar) {
      pPaintManager->GradientFill(pDC, Wide(rc), grcDock.clrLight, grcDock.clrDark, TRUE, rc);
      if (nPosition == tkBarFloating)
        FloatingFrame(pPaintManager, pDC, rc);
      return;
    }
    if (nPosition == tkBarTop || nPosition == tkBarBottom) {
      pDC->FillSolidRect(rc, pPaintManager->GetColor(kFace));
      pPaintManager->GradientFill(pDC, Wide(rc), grcDock.clrLight, grcDock.clrDark, TRUE, rc);
      int nEdge = FirstRowEdge(pBar, FALSE, rc);
      CRect rcBody(rc.left + 3, rc.top + 1, rc.right, rc.bottom - 1);
      CRect rcGradient(rcBody.left, rcBody.top, rcBody.right, std::min(nEdge + 1, static_cast<int>(rcBody.bottom)));
      pPaintManager->GradientFill(pDC, rcGradient, grcBar.clrLight, grcBar.clrDark, FALSE);
      if (rcGradient.bottom < rcBody.bottom)
        pDC->FillSolidRect(CRect(rcBody.left, rcGradient.bottom, rcBody.right, rcBody.bottom), grcBar.clrDark);
      // The rounded corners show the dock row behind them.
      for (CPoint pt : {CPoint(rcBody.left, rcBody.top), CPoint(rcBody.right - 1, rcBody.top),
                        CPoint(rcBody.left, rcBody.bottom - 1), CPoint(rcBody.right - 1, rcBody.bottom - 1)})
        pDC->SetPixel(pt, grcDock.clrLight);
      pDC->FillSolidRect(rc.left + 5, rc.bottom - 1, rc.Width() - 7, 1, p2003->m_clrToolBarShadow);
      return;
    }
    if (nPosition == tkBarLeft || nPosition == tkBarRight) {
      pDC->FillSolidRect(rc, grcDock.clrDark);
      int nEdge = FirstRowEdge(pBar, TRUE, rc);
      CRect rcBody(rc.left + 1, rc.top + 3, rc.right - 1, rc.bottom);
      pPaintManager->GradientFill(pDC, CRect(rcBody.left, rcBody.top, std::min(nEdge + 1, static_cast<int>(rc.right)),
                                             rcBody.bottom),
                                  grcBar.clrLight, grcBar.clrDark, TRUE);
      pDC->FillSolidRect(rc.right - 1, rc.top + 5, 1, rc.Height() - 7, p2003->m_clrToolBarShadow);
      return;
    }
    if (nPosition == tkBarFloating) {
      pDC->FillSolidRect(rc, pPaintManager->GetColor(kOfficeBarFace));
      int nBlank = CaptionBlankHeight(pPaintManager, pDC);
      int nCaption = nBlank < 15 ? 17 : nBlank + 2;
      pPaintManager->GradientFill(pDC, CRect(rc.left + 2, rc.top + nCaption, rc.right - 2, rc.bottom - 2),
                                  grcBar.clrLight, grcBar.clrDark, FALSE);
      FloatingFrame(pPaintManager, pDC, rc);
      return;
    }
  }
  if (nPosition == tkBarFloating) {
    pDC->FillSolidRect(rc, pPaintManager->GetColor(pBar->GetType() == tkBarTypeMenuBar ? kFace : kOfficeBarFace));
    FloatingFrame(pPaintManager, pDC, rc);
  } else if (nPosition == tkBarPopup) {
    pPaintManager->DrawRectangle(pDC, rc, kOfficeFrame, kOfficePopupFace);
    if (pBar->GetType() == tkBarTypePopup && pOffice) {
      int nColumn = std::max(pPaintManager->m_nTextHeight + 4, static_cast<int>(pBar->GetIconSize().cx) + 4) + 1;
      pOffice->FillIconColumn(pDC, 1, 2, nColumn, rc.Height() - 4, FALSE);
    }
  } else if (pBar->GetType() == tkBarTypeMenuBar) {
    pDC->FillSolidRect(rc, pPaintManager->GetColor(kFace));
  } else {
    pDC->FillSolidRect(rc, pPaintManager->GetColor(kOfficeBarFace));
    COLORREF clrFace = pPaintManager->GetColor(kFace);
    pDC->Draw3dRect(rc, clrFace, clrFace);
    for (CPoint pt : {CPoint(1, 1), CPoint(rc.right - 2, 1), CPoint(1, rc.bottom - 2), CPoint(rc.right - 2, rc.bottom - 2)})
      pDC->SetPixel(pt, clrFace);
  }
}

CSize OfficeGripper(CTKPaintManager* pPaintManager, CDC* pDC, CTKCommandBar* pBar, BOOL bDraw)
{
  CRect rc;
  pBar->GetClientRect(&rc);
  BOOL b2003 = AsOffice2003(pPaintManager) != nullptr;
  COLORREF clrDark = pPaintManager->GetColor(kOfficeGripper);
  COLORREF clrLight = pPaintManager->GetColor(kHighlight);
  switch (pBar->GetPosition()) {
  case tkBarTop:
  case tkBarBottom:
    if (bDraw) {
      if (b2003) {
        for (int y = 8; y - 3 < rc.Height() - 8; y += 4) {
          pDC->FillSolidRect(6, y - 2, 2, 2, clrLight);
          pDC->FillSolidRect(5, y - 3, 2, 2, clrDark);
        }
      } else {
        for (int y = 5; y < rc.Height() - 5; y += 2)
          pDC->FillSolidRect(3, y, 3, 1, clrDark);
      }
    }
    return CSize(6, 0);
  case tkBarLeft:
  case tkBarRight:
    if (bDraw) {
      if (b2003) {
        for (int x = 8; x - 3 < rc.Width() - 8; x += 4) {
          pDC->FillSolidRect(x - 2, 7, 2, 2, clrLight);
          pDC->FillSolidRect(x - 3, 6, 2, 2, clrDark);
        }
      } else {
        for (int x = 5; x < rc.Width() - 5; x += 2)
          pDC->FillSolidRect(x, 3, 1, 3, clrDark);
      }
    }
    return CSize(0, b2003 ? 9 : 8);
  case tkBarFloating: {
    int nBlank = CaptionBlankHeight(pPaintManager, pDC);
    CRect rcCaption(3, 3, rc.right - 3, nBlank < 15 ? 18 : nBlank + 3);
    if (bDraw) {
      COLORREF clrCaption = b2003 ? static_cast<COLORREF>(AsOffice2003(pPaintManager)->m_clrFloatingCaption)
                                  : pPaintManager->GetColor(kShadow);
      pDC->FillSolidRect(rcCaption, clrCaption);
      CFont* pOld = pDC->SelectObject(&pPaintManager->m_fontSmCaption);
      pDC->SetTextColor(clrLight);
      pDC->SetBkMode(TRANSPARENT);
      CRect rcText(5, 3, rcCaption.right - 2 * rcCaption.Height(), rcCaption.bottom);
      CString strTitle = pBar->GetTitle();
      pDC->DrawText(strTitle, rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      pDC->SelectObject(pOld);
    }
    return rcCaption.Size();
  }
  default:
    return CSize(0, 0);
  }
}

// The dialog bar's gripper: a strip as high as its caption (the text height with a margin, never below the
// theme's least), drawn in each theme's manner.
CSize DialogBarGripper(CTKPaintManager* pPaintManager, CDC* pDC, CTKCommandBar* pBar, BOOL bDraw)
{
  const int nBase = pPaintManager->BaseTheme();
  if (nBase == tkThemeOffice2003 || nBase == tkThemeWhidbey) {
    const int g = std::max(pPaintManager->m_nTextHeight + 6, 25);
    if (bDraw) {
      CRect rc;
      pBar->GetClientRect(&rc);
      rc.DeflateRect(3, 3);
      rc.bottom = std::min(static_cast<int>(rc.bottom), g);
      if (CTKOffice2003Theme* p2003 = AsOffice2003(pPaintManager))
        pPaintManager->GradientFill(pDC, rc, p2003->m_grcToolBar.clrLight, p2003->m_grcToolBar.clrDark, FALSE);
      const COLORREF clrDark = pPaintManager->GetColor(kOfficeGripper);
      const COLORREF clrLight = pPaintManager->GetColor(kHighlight);
      for (int y = rc.top + 4; y < rc.bottom - 5; y += 4) {
        pDC->FillSolidRect(6, y + 1, 2, 2, clrLight);
        pDC->FillSolidRect(5, y, 2, 2, clrDark);
      }
    }
    return CSize(8, g);
  }
  const int g = std::max(pPaintManager->m_nTextHeight + 4, 22);
  if (bDraw) {
    if (nBase == tkThemeOffice) {
      for (int y = 6; y < g - 2; y += 2)
        pDC->FillSolidRect(3, y, 3, 1, pPaintManager->GetColor(kOfficeGripper));
    } else {
      pPaintManager->Draw3dRect(pDC, CRect(3, 3, 6, g), kHighlight, kShadow);
    }
  }
  return CSize(6, g);
}

CSize OfficeSeparator(CTKPaintManager* pPaintManager, CDC* pDC, CTKCommandBar* pBar, CTKControl* pControl, BOOL bDraw)
{
  BOOL bPopup = pBar && pBar->GetPosition() == tkBarPopup;
  if (!bDraw || !pControl || !pBar)
    return bPopup ? CSize(3, 3) : CSize(6, 6);
  CTKOffice2003Theme* p2003 = AsOffice2003(pPaintManager);
  COLORREF clrDark = pPaintManager->GetColor(kOfficeSeparator);
  COLORREF clrLight = pPaintManager->GetColor(kHighlight);
  BOOL bSingle = !p2003 || p2003->m_bSingleSeparator;
  CRect rcControl = pControl->GetRect();
  CRect rcRow = pControl->GetRowRect();
  CRect rcClient;
  pBar->GetClientRect(&rcClient);
  int nPosition = pBar->GetPosition();
  if (bPopup) {
    int nColumn = std::max(pPaintManager->m_nTextHeight + 4, static_cast<int>(pBar->GetIconSize().cx) + 4) + 1;
    pDC->FillSolidRect(nColumn + 9, rcControl.top - 2, rcClient.right - 1 - (nColumn + 9), 1, clrDark);
    return CSize(3, 3);
  }
  if (!p2003) {
    if (!CTKCommandBar::IsVerticalPosition(nPosition)) {
      if (pControl->GetWrap())
        pDC->FillSolidRect(rcRow.left + 4, rcRow.top - 4, rcRow.right - rcRow.left - 4, 1, clrDark);
      else
        pDC->FillSolidRect(rcControl.left - 4, rcRow.top, 1, rcRow.Height(), clrDark);
    } else if (pControl->GetWrap()) {
      pDC->FillSolidRect(rcRow.right + 2, rcRow.top + 4, 1, rcRow.Height() - 4, clrDark);
    } else {
      pDC->FillSolidRect(rcRow.left, rcControl.top - 4, rcRow.Width(), 1, clrDark);
    }
    return CSize(6, 6);
  }
  if (!CTKCommandBar::IsVerticalPosition(nPosition)) {
    if (!pControl->GetWrap()) {
      pDC->FillSolidRect(rcControl.left - 4, rcRow.top + 4, 1, rcRow.Height() - 8, clrDark);
      if (!bSingle)
        pDC->FillSolidRect(rcControl.left - 3, rcRow.top + 5, 1, rcRow.Height() - 8, clrLight);
    } else if (nPosition != tkBarFloating) {
      pDC->FillSolidRect(rcRow.left + 4, rcRow.top - 4, rcRow.Width() - 4, 1, clrDark);
      pDC->FillSolidRect(rcRow.left + 5, rcRow.top - 3, rcRow.Width() - 5, 1, clrLight);
    }
  } else if (pControl->GetWrap()) {
    pDC->FillSolidRect(rcRow.right + 2, rcRow.top + 4, 1, rcRow.Height() - 4, clrDark);
    pDC->FillSolidRect(rcRow.right + 3, rcRow.top + 5, 1, rcRow.Height() - 5, clrLight);
  } else {
    pDC->FillSolidRect(rcRow.left + 4, rcControl.top - 4, rcRow.Width() - 8, 1, clrDark);
    if (!bSingle)
      pDC->FillSolidRect(rcRow.left + 5, rcControl.top - 3, rcRow.Width() - 8, 1, clrLight);
  }
  return CSize(6, 6);
}

}  // namespace

CSize CTKPaintManager::DrawControl(CDC* pDC, CTKControl* pControl, BOOL bDraw)
{
  switch (pControl->GetType()) {
  case tkControlEdit:
    return DrawControlEdit(pDC, pControl, bDraw);
  case tkControlComboBox:
    return DrawControlComboBox(pDC, pControl, bDraw);
  default:
    if (pControl->GetParent() && pControl->GetParent()->GetType() == tkBarTypePopup)
      return DrawControlPopupParent(pDC, pControl, bDraw);
    return DrawControlToolBarParent(pDC, pControl, bDraw);
  }
}

void CTKPaintManager::DrawControlEntry(CDC* pDC, CTKControl* pControl)
{
  DrawControlState(pDC, pControl->GetRect(), pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(),
                   pControl->GetChecked(), IsPopuped(pControl), BarPosition(pControl));
}

void CTKPaintManager::DrawSplitButtonFrame(CDC* pDC, CTKControl* pControl, CRect rc)
{
  BOOL bOpen = IsPopuped(pControl);
  int nSelected = pControl->GetSelected();
  BOOL bEnabled = pControl->GetEnabled();
  int nPosition = BarPosition(pControl);
  if (TKPaintThemes::CTKNativeXPTheme* pXP = AsNativeXP(this)) {
    if (pXP->DrawSplitButtonFrameStyled(pDC, rc, bEnabled, pControl->GetPressed(), nSelected, pControl->GetChecked(),
                                        bOpen)) {
      int cy = rc.CenterPoint().y;
      Triangle(pDC, CPoint(rc.right - 9, cy - 1), CPoint(rc.right - 5, cy - 1), CPoint(rc.right - 7, cy + 1),
               pDC->GetTextColor());
      return;
    }
  }
  if (IsClassic(this)) {
    DrawControlState(pDC, CRect(rc.left, rc.top, rc.right - 12, rc.bottom), bEnabled, nSelected || bOpen,
                     pControl->GetPressed(), pControl->GetChecked(), FALSE, nPosition);
    if (bEnabled && (nSelected || pControl->GetPressed() || bOpen))
      DrawButtonRectangle(pDC, CRect(rc.right - 12, rc.top, rc.right, rc.bottom), TRUE, FALSE, TRUE, FALSE, bOpen,
                          TRUE, nPosition);
    int cy = rc.CenterPoint().y;
    Triangle(pDC, CPoint(rc.right - 9, cy - 1), CPoint(rc.right - 5, cy - 1), CPoint(rc.right - 7, cy + 1),
             pDC->GetTextColor());
    return;
  }
  CRect rcMain = rc;
  if (!bOpen)
    rcMain.right -= kSplitArrow;
  DrawControlState(pDC, rcMain, bEnabled, nSelected, pControl->GetPressed(), pControl->GetChecked(), bOpen, nPosition);
  if ((nSelected || pControl->GetPressed()) && !bOpen && bEnabled) {
    COLORREF clrText = pDC->GetTextColor();
    DrawControlState(pDC, CRect(rc.right - 12, rc.top, rc.right, rc.bottom), TRUE, TRUE, FALSE, FALSE, FALSE,
                     nPosition);
    pDC->SetTextColor(clrText);
  }
  int x = rc.right - 7;
  int cy = rc.CenterPoint().y;
  Triangle(pDC, CPoint(x - 2, cy - 1), CPoint(x + 2, cy - 1), CPoint(x, cy + 1), pDC->GetTextColor());
}

CSize CTKPaintManager::DrawControlToolBarParent(CDC* pDC, CTKControl* pControl, BOOL bDraw)
{
  CTKCommandBar* pBar = pControl->GetParent();
  int nPosition = pBar ? pBar->GetPosition() : tkBarTop;
  CFont* pFont = GetCommandBarFont(nPosition, pControl->IsItemDefault());
  CFont* pOldFont = pDC->SelectObject(pFont);
  CSize szIcon = pBar ? pBar->GetIconSize() : CSize(16, 16);
  CSize szButton = pBar ? pBar->GetButtonSize() : CSize(23, 22);
  int nType = pControl->GetType();
  int nStyle = pControl->GetStyle();

  CTKImageManagerIcon* pImage = nullptr;
  if ((nStyle == 0 && nType != tkControlPopup) || nStyle == 2 || nStyle == 3) {
    if (pControl->GetIconId() > 0)
      pImage = pControl->GetImage(szIcon.cx);
  }
  if (pImage && pImage->GetWidth() > 0)
    szIcon.cy = szIcon.cx * pImage->GetHeight() / pImage->GetWidth();
  BOOL bVert = nPosition == tkBarLeft || nPosition == tkBarRight;
  BOOL bEmbossed = !pControl->GetEnabled() && !IsOwnerDrawnShadow();
  BOOL bCues = ShowCues(pControl);
  CRect rc = bDraw ? pControl->GetRect() : CRect(0, 0, 0, 0);
  BOOL bCaption = pControl->IsCaptionVisible();
  CString strCaption = pControl->GetCaption();
  BOOL bMenuBar = pBar && pBar->GetType() == tkBarTypeMenuBar;

  if (bDraw) {
    if (nType == tkControlSplitButtonPopup)
      DrawSplitButtonFrame(pDC, pControl, rc);
    else
      DrawControlEntry(pDC, pControl);
  }

  auto drawIcon = [&](CPoint pt) {
    if (bDraw && pImage)
      DrawImage(pDC, pt, szIcon, pImage, pControl->GetSelected(), pControl->GetPressed(), pControl->GetEnabled(),
                pControl->GetChecked(), IsPopuped(pControl), TRUE);
  };

  CSize size(0, 0);
  if (pBar && pBar->GetShowTextBelowIcons() && pImage) {
    pDC->SelectObject(pControl->IsItemDefault() ? &m_fontBold : &m_fontRegular);
    CRect rcIcon = rc;
    if (nType == tkControlSplitButtonPopup)
      rcIcon.right -= kSplitArrow;
    drawIcon(CPoint(rcIcon.CenterPoint().x - szIcon.cx / 2, rcIcon.top + 4));
    CSize szText = DrawControlText(pDC, strCaption, CRect(rc.left, rc.top + szButton.cy - 4, rc.right, rc.bottom),
                                   bDraw, FALSE, TRUE, nType == tkControlPopup, bEmbossed, bCues);
    size.cy = szButton.cy + szText.cy;
    size.cx = std::max(szButton.cx, szText.cx + 10) + (nType == tkControlSplitButtonPopup ? kSplitArrow : 0);
    size.cx = std::max(size.cx, size.cy);
    pDC->SelectObject(pOldFont);
    return size;
  }

  BOOL bLeftOffset = nType == tkControlSplitButtonPopup || (nType == tkControlPopup && pImage && !bCaption);
  if (!bVert || bLeftOffset)
    drawIcon(CPoint(rc.left + 3, rc.CenterPoint().y - szIcon.cy / 2));
  else
    drawIcon(CPoint(rc.CenterPoint().x - szIcon.cx / 2, rc.top + 4));

  switch (nType) {
  case tkControlButton:
  case tkControlButtonPopup:
  case tkControlLabel:
    if (bCaption) {
      CSize szCaptionButton = pImage ? szButton : CSize(23, 23);
      size = DrawControlCaption(pDC, strCaption, rc, bVert, bDraw, bEmbossed, nType == tkControlButtonPopup,
                                szCaptionButton.cx, szCaptionButton.cy, pImage != nullptr, bCues);
    } else {
      size = szButton;
    }
    break;
  case tkControlPopup:
    if (!pImage) {
      CSize szText = DrawControlText(pDC, strCaption, rc, bDraw, bVert, TRUE, !bDraw || !bMenuBar, bEmbossed, bCues);
      size = CSize(szText.cx + 6, szText.cy + 6);
    } else if (bCaption) {
      size = DrawControlCaption(pDC, strCaption, rc, bVert, bDraw, bEmbossed, !bMenuBar, szButton.cx, szButton.cy,
                                TRUE, bCues);
    } else {
      if (bDraw) {
        int cy = rc.CenterPoint().y;
        Triangle(pDC, CPoint(rc.right - 9, cy - 1), CPoint(rc.right - 5, cy - 1), CPoint(rc.right - 7, cy + 1),
                 pDC->GetTextColor());
      }
      size = CSize(szButton.cy + 7, szButton.cy);
    }
    break;
  case tkControlSplitButtonPopup:
    if (!pImage && !bCaption) {
      size = CSize(23, 23);
    } else if (bCaption) {
      CRect rcText = rc;
      rcText.right -= kSplitArrow;
      size = DrawControlCaption(pDC, strCaption, rcText, bVert, bDraw, bEmbossed, FALSE,
                                pImage ? szButton.cx : 23, pImage ? szButton.cy : 23, pImage != nullptr, bCues);
      size.cx += kSplitArrow;
    } else {
      size = CSize(szButton.cx + kSplitArrow, szButton.cy);
    }
    break;
  default:
    break;
  }
  pDC->SelectObject(pOldFont);
  return size;
}

CRect CTKPaintManager::GetCommandBarBorders(CTKCommandBar* pBar)
{
  if (IsClassic(this) && pBar && pBar->GetPosition() == tkBarPopup)
    return CRect(3, 3, 3, 3);
  if ((BaseTheme() == tkThemeOffice2003 || BaseTheme() == tkThemeWhidbey) && pBar &&
      (pBar->GetPosition() == tkBarTop || pBar->GetPosition() == tkBarBottom))
    return CRect(4, 2, 2, 2);
  return CRect(2, 2, 2, 2);
}

void CTKPaintManager::FillCommandBar(CDC* pDC, CTKCommandBar* pBar)
{
  CRect rc;
  pBar->GetClientRect(&rc);
  int nPosition = pBar->GetPosition();
  if (TKPaintThemes::CTKNativeXPTheme* pXP = AsNativeXP(this)) {
    if (pXP->FillCommandBarStyled(pDC, pBar, nPosition, pBar->GetParent()))
      return;
  }
  if (IsClassic(this)) {
    pDC->FillSolidRect(rc, GetColor(kFace));
    if (nPosition == tkBarFloating || nPosition == tkBarPopup) {
      Draw3dRect(pDC, rc, kFace, kDarkShadow);
      rc.DeflateRect(1, 1);
    }
    Draw3dRect(pDC, rc, kHighlight, kShadow);
    return;
  }
  OfficeFillCommandBar(this, pDC, pBar);
}

CSize CTKPaintManager::DrawCommandBarGripper(CDC* pDC, CTKCommandBar* pBar, BOOL bDraw)
{
  auto* pToolBar = dynamic_cast<CTKToolBar*>(pBar);
  const BOOL bDialogBar = pToolBar && pToolBar->IsDialogBar();
  if (bDialogBar) {
    // The Native XP theme's visual style draws its own; without it, the Default theme's.
    if (TKPaintThemes::CTKNativeXPTheme* pXP = AsNativeXP(this)) {
      CSize size;
      if (pXP->DrawCommandBarGripperStyled(pDC, CRect(), tkBarTop, TRUE, bDraw, size))
        return size;
    }
    return DialogBarGripper(this, pDC, pBar, bDraw);
  }
  if (!IsClassic(this))
    return OfficeGripper(this, pDC, pBar, bDraw);
  CRect rc;
  pBar->GetClientRect(&rc);
  if (TKPaintThemes::CTKNativeXPTheme* pXP = AsNativeXP(this)) {
    CSize size;
    if (pXP->DrawCommandBarGripperStyled(pDC, rc, pBar->GetPosition(), FALSE, bDraw, size))
      return size;
  }
  switch (pBar->GetPosition()) {
  case tkBarTop:
  case tkBarBottom:
    if (bDraw)
      Draw3dRect(pDC, CRect(3, 3, 6, rc.Height() - 3), kHighlight, kShadow);
    return CSize(6, 0);
  case tkBarLeft:
  case tkBarRight:
    if (bDraw)
      Draw3dRect(pDC, CRect(3, 3, rc.Width() - 3, 6), kHighlight, kShadow);
    return CSize(0, 8);
  case tkBarFloating: {
    CDC* pScreen = pDC;
    CFont* pOld = pScreen->SelectObject(&m_fontSmCaption);
    int nHeight = pScreen->GetTextExtent(" ", 1).cy + 3;
    CRect rcCaption(3, 3, rc.right - 3, nHeight >= 15 ? 3 + nHeight : 18);
    if (bDraw) {
      pDC->FillSolidRect(rcCaption, GetColor(kActiveCaption));
      pDC->SetTextColor(GetColor(kHighlight));
      pDC->SetBkMode(TRANSPARENT);
      CRect rcText(5, 3, rcCaption.right - 2 * rcCaption.Height(), rcCaption.bottom);
      CString strTitle = pBar->GetTitle();
      pDC->DrawText(strTitle, rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    pScreen->SelectObject(pOld);
    return rcCaption.Size();
  }
  default:
    return CSize(0, 0);
  }
}

CSize CTKPaintManager::DrawCommandBarSeparator(CDC* pDC, CTKCommandBar* pBar, CTKControl* pControl, BOOL bDraw)
{
  if (!IsClassic(this))
    return OfficeSeparator(this, pDC, pBar, pControl, bDraw);
  BOOL bPopup = pBar && pBar->GetPosition() == tkBarPopup;
  if (!bDraw || !pControl || !pBar)
    return bPopup ? CSize(8, 8) : CSize(6, 6);
  CRect rcControl = pControl->GetRect();
  CRect rcRow = pControl->GetRowRect();
  CRect rcClient;
  pBar->GetClientRect(&rcClient);
  CRect rc;
  if (bPopup)
    rc = CRect(14, rcControl.top - 5, rcClient.right - 14, rcControl.top - 3);
  else if (!CTKCommandBar::IsVerticalPosition(pBar->GetPosition()))
    rc = pControl->GetWrap() ? CRect(rcRow.left + 4, rcRow.top - 4, rcRow.right, rcRow.top - 2)
                             : CRect(rcControl.left - 4, rcRow.top, rcControl.left - 2, rcRow.bottom);
  else
    rc = pControl->GetWrap() ? CRect(rcRow.right + 2, rcRow.top + 4, rcRow.right + 4, rcRow.bottom)
                             : CRect(rcRow.left, rcControl.top - 4, rcRow.right, rcControl.top - 2);
  Draw3dRect(pDC, rc, kShadow, kHighlight);
  return bPopup ? CSize(8, 8) : CSize(6, 6);
}

void CTKPaintManager::AdjustExcludeRect(CRect& rc, CTKControl* pControl, BOOL bVertical)
{
  if (pControl->GetType() == tkControlComboBox)
    return;
  if (TKPaintThemes::CTKNativeXPTheme* pXP = AsNativeXP(this)) {
    if (pXP->AdjustExcludeRectStyled(rc, FALSE, pControl->GetParent() && pControl->GetParent()->GetType() == tkBarTypePopup))
      return;
  }
  if (!IsClassic(this)) {
    if (pControl->GetParent() && pControl->GetParent()->GetType() == tkBarTypePopup)
      rc.InflateRect(1, 0);
    else if (bVertical)
      rc.DeflateRect(1, 0);
    else
      rc.DeflateRect(0, 1);
    return;
  }
  if (pControl->GetParent() && pControl->GetParent()->GetType() == tkBarTypePopup)
    rc.DeflateRect(1, 0);
  else if (bVertical)
    rc.InflateRect(0, 1);
  else
    rc.InflateRect(1, 0);
}

CSize CTKPaintManager::DrawControlPopupParent(CDC* pDC, CTKControl* pControl, BOOL bDraw)
{
  CTKCommandBar* pBar = pControl->GetParent();
  BOOL bDefault = IsClassic(this);
  CTKDefaultTheme* pDefault = AsDefault(this);
  CSize szIcon = pBar ? pBar->GetIconSize() : CSize(16, 16);
  int nColumn = std::max(m_nTextHeight + (bDefault ? 0 : 4), static_cast<int>(szIcon.cx) + 4);
  int nHeight = std::max(m_nTextHeight, static_cast<int>(szIcon.cy) + (bDefault ? 4 : 6));
  int nType = pControl->GetType();
  int nStyle = pControl->GetStyle();
  BOOL bEnabled = pControl->GetEnabled();
  int nSelected = pControl->GetSelected();
  BOOL bCues = ShowCues(pControl);
  CFont* pOldFont = pDC->SelectObject(GetCommandBarFont(tkBarPopup, pControl->IsItemDefault()));

  CTKImageManagerIcon* pImage = nullptr;
  if (nStyle == 2 || nStyle == 3 || (nStyle == 0 && nType != tkControlPopup))
    pImage = pControl->GetIconId() > 0 ? pControl->GetImage(szIcon.cx) : nullptr;
  CSize szImage = szIcon;
  if (pImage && pImage->GetWidth() > 0)
    szImage.cy = szIcon.cx * pImage->GetHeight() / pImage->GetWidth();

  CString strCaption = pControl->GetCaption();
  if (!bCues)
    StripMnemonics(strCaption);
  CString strShortcut = pControl->GetShortcutText();
  UINT nCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | (bCues ? 0 : DT_NOPREFIX);
  CRect rcCalc(0, 0, 0, 0);
  pDC->DrawText(strCaption, rcCalc, (nCaptionFormat & ~DT_END_ELLIPSIS) | DT_CALCRECT);
  int nCaptionWidth = rcCalc.Width();
  CRect rcShortcutCalc(0, 0, 0, 0);
  if (!strShortcut.IsEmpty())
    pDC->DrawText(strShortcut, rcShortcutCalc, DT_SINGLELINE | DT_CALCRECT);
  int nShortcutWidth = rcShortcutCalc.Width();
  CSize size(nShortcutWidth + nCaptionWidth + nColumn + 40, nHeight);
  if (!bDraw) {
    pDC->SelectObject(pOldFont);
    return size;
  }

  CRect rc = pControl->GetRect();
  int cy = rc.CenterPoint().y;
  CRect rcColumn(rc.left, rc.top, rc.left + nColumn, rc.bottom);
  CRect rcCheck(rcColumn.CenterPoint().x - 10, cy - 10, rcColumn.CenterPoint().x + 10, cy + 10);
  COLORREF clrText;
  if (bDefault) {
    int nPopupText = pDefault ? pDefault->m_nPopupTextColor : 18;
    clrText = GetColor(!bEnabled ? 17 : nSelected ? 14 : nPopupText);
    if (pControl->GetChecked())
      DrawButtonRectangle(pDC, rcColumn, nSelected, FALSE, bEnabled, TRUE, FALSE, FALSE, tkBarPopup);
    if (pImage)
      DrawButtonRectangle(pDC, rcColumn, nSelected, FALSE, bEnabled, pControl->GetChecked(), FALSE, FALSE, tkBarPopup);
    if (nSelected && nType != tkControlSplitButtonPopup)
      pDC->FillSolidRect(CRect(rcColumn.right + 1, rc.top, rc.right, rc.bottom), GetColor(13));
  } else {
    clrText = GetColor(!bEnabled ? 35 : nSelected ? 45 : 44);
    if (nType == tkControlLabel)
      pDC->FillSolidRect(CRect(rc.left + nColumn + 3, rc.top, rc.right, rc.bottom), GetColor(56));
    else
      DrawButtonRectangle(pDC, rc, nSelected, FALSE, TRUE, FALSE, FALSE, FALSE, tkBarPopup);
    CRect rcBox(rcColumn.CenterPoint().x - (szIcon.cx + 4) / 2, cy - (szIcon.cy + 4) / 2, 0, 0);
    rcBox.right = rcBox.left + szIcon.cx + 4;
    rcBox.bottom = rcBox.top + szIcon.cy + 4;
    rcCheck = rcBox;
    if (pControl->GetChecked())
      DrawButtonRectangle(pDC, rcBox, FALSE, FALSE, bEnabled, TRUE, FALSE, FALSE, tkBarPopup);
  }
  if (pImage)
    DrawImage(pDC, CPoint(rcColumn.CenterPoint().x - szImage.cx / 2, cy - szImage.cy / 2), szImage, pImage, nSelected,
              0, bEnabled, pControl->GetChecked(), FALSE, FALSE);
  else if (pControl->GetChecked())
    DrawCheckMark(pDC, rcCheck, bDefault ? clrText : (bEnabled ? RGB(0, 0, 0) : GetColor(40)), pBar && pBar->IsLayoutRTL());
  pDC->SetTextColor(clrText);
  pDC->SetBkMode(TRANSPARENT);
  if (nType >= tkControlPopup && nType <= tkControlSplitButtonPopup)
    Triangle(pDC, CPoint(rc.right - 11, cy - 3), CPoint(rc.right - 8, cy), CPoint(rc.right - 11, cy + 3), clrText);
  if (nType == tkControlSplitButtonPopup && bEnabled)
    pDC->FillSolidRect(rc.right - 20, rc.top + 1, 1, rc.Height() - 2, GetColor(nSelected ? (bDefault ? 16 : 32) : 16));
  int nTextLeft = rc.left + nColumn + (bDefault ? 4 : 8);
  CRect rcText(nTextLeft, rc.top, rc.right, rc.bottom);
  CRect rcShortcut(rc.left + nColumn + 8, rc.top, rc.right - 19, rc.bottom);
  if (nType == tkControlButton && !strShortcut.IsEmpty())
    rcText.right -= nShortcutWidth + 19;
  if (pDefault)
    pDefault->DrawEmbossedText(pDC, strCaption, rcText, nCaptionFormat, TRUE, nSelected, bEnabled);
  else
    pDC->DrawText(strCaption, rcText, nCaptionFormat);
  if (!strShortcut.IsEmpty()) {
    if (pDefault)
      pDefault->DrawEmbossedText(pDC, strShortcut, rcShortcut, DT_RIGHT, TRUE, nSelected, bEnabled);
    else
      pDC->DrawText(strShortcut, rcShortcut, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  }
  pDC->SelectObject(pOldFont);
  return size;
}

namespace {

int BlankHeight(CDC* pDC, CFont* pFont)
{
  CFont* pOld = pDC->SelectObject(pFont);
  int nHeight = pDC->GetTextExtent(" ", 1).cy;
  pDC->SelectObject(pOld);
  return nHeight;
}

int TextWidth(CDC* pDC, CFont* pFont, const CString& str)
{
  CFont* pOld = pDC->SelectObject(pFont);
  int nWidth = str.IsEmpty() ? 0 : pDC->GetTextExtent(str, str.GetLength()).cx;
  pDC->SelectObject(pOld);
  return nWidth;
}

CSize BarIconSize(CTKControl* pControl)
{
  return pControl->GetParent() ? pControl->GetParent()->GetIconSize() : CSize(16, 16);
}

// The Office family's icon column of a popup, with its one-pixel gap.
int OfficeIconColumn(CTKPaintManager* pPaintManager, CTKControl* pControl)
{
  return std::max(pPaintManager->m_nTextHeight + 4, static_cast<int>(BarIconSize(pControl).cx) + 4) + 1;
}

int DefaultIconColumn(CTKPaintManager* pPaintManager, CTKControl* pControl)
{
  return std::max(pPaintManager->m_nTextHeight, static_cast<int>(BarIconSize(pControl).cx) + 4);
}

BOOL InPopup(CTKControl* pControl)
{
  return pControl->GetParent() && pControl->GetParent()->GetType() == tkBarTypePopup;
}

// The field of an edit or combo box: sizes for measuring, label, frame and button for drawing.
CSize DrawField(CTKPaintManager* pPaintManager, CDC* pDC, CTKControl* pControl, BOOL bDraw, BOOL bCombo)
{
  CTKControlField* pField = dynamic_cast<CTKControlField*>(pControl);
  BOOL bDefault = IsClassic(pPaintManager);
  BOOL bPopup = InPopup(pControl);
  BOOL bLabel = bPopup || pControl->IsCaptionVisible();
  BOOL bCues = ShowCues(pControl);
  if (pPaintManager->m_nShowKeyboardCues >= 0)
    bCues = pPaintManager->m_nShowKeyboardCues;
  CString strCaption = pControl->GetCaption();
  CString strStripped = strCaption;
  CTKPaintManager::StripMnemonics(strStripped);
  CFont* pRegular = &pPaintManager->m_fontRegular;
  CFont* pIconFont = &pPaintManager->m_fontIcon;

  int nHeight = BlankHeight(pDC, pIconFont) + 1;
  int nRegular = BlankHeight(pDC, pRegular) + 1;
  if (bLabel && nRegular >= nHeight)
    nHeight = nRegular;
  nHeight += 7;

  int nButtonWidth = 0;
  if (bCombo) {
    CFont* pOld = pDC->SelectObject(pIconFont);
    TEXTMETRICA tm{};
    pDC->GetTextMetrics(&tm);
    pDC->SelectObject(pOld);
    nButtonWidth = std::max(2 * static_cast<int>(tm.tmAveCharWidth) + 4, 15);
    if (pField)
      pField->SetButtonWidth(nButtonWidth);
  }
  int nCaptionWidth = TextWidth(pDC, pRegular, strStripped);
  int nLabelWidth = 0;
  if (bPopup)
    nLabelWidth = bDefault ? nCaptionWidth + DefaultIconColumn(pPaintManager, pControl) + 9
                           : OfficeIconColumn(pPaintManager, pControl) + nCaptionWidth + 12;
  else if (bLabel)
    nLabelWidth = nCaptionWidth + 5;
  if (pField)
    pField->SetLabelWidth(nLabelWidth);
  int nFieldWidth = pField ? pField->GetFieldWidth() : pControl->GetRect().Width();
  CSize size(nFieldWidth + nLabelWidth, nHeight);
  if (!bDraw)
    return size;

  CRect rc = pControl->GetRect();
  BOOL bEnabled = pControl->GetEnabled();
  int nSelected = pControl->GetSelected();
  BOOL bDropped = pField && pField->IsFieldDroppedDown();
  CFont* pOldFont = pDC->SelectObject(pIconFont);

  if (bLabel) {
    pDC->SelectObject(pRegular);
    pDC->SetBkMode(TRANSPARENT);
    UINT nFormat = DT_SINGLELINE | DT_VCENTER | (bCues ? 0 : DT_NOPREFIX);
    const CString& strLabel = bCues ? strCaption : strStripped;
    if (bDefault) {
      CRect rcLabel(rc.left + (bPopup ? DefaultIconColumn(pPaintManager, pControl) + 4 : 2), rc.top,
                    rc.left + nLabelWidth, rc.bottom);
      pDC->SetTextColor(pPaintManager->GetColor(bEnabled ? 18 : 17));
      if (auto* pTheme = AsDefault(pPaintManager))
        pTheme->DrawEmbossedText(pDC, strLabel, rcLabel, nFormat, TRUE, nSelected, bEnabled);
    } else {
      CRect rcLabel(rc.left + (bPopup ? OfficeIconColumn(pPaintManager, pControl) + 7 : 2), rc.top,
                    rc.left + nLabelWidth, rc.bottom);
      if (bPopup && nSelected)
        pPaintManager->DrawButtonRectangle(pDC, rc, nSelected, FALSE, bEnabled, FALSE, FALSE, FALSE, tkBarPopup);
      int nColor = bPopup ? (!bEnabled ? 35 : nSelected ? 45 : 44) : (bEnabled ? 46 : 60);
      pDC->SetTextColor(pPaintManager->GetColor(nColor));
      pDC->DrawText(strLabel, rcLabel, nFormat);
    }
    pDC->SelectObject(pIconFont);
  }

  CRect rcField(rc.left + nLabelWidth, rc.top, rc.right, rc.bottom);
  CRect rcButton(rcField.right - nButtonWidth, rcField.top, rcField.right, rcField.bottom);
  if (bDefault) {
    auto* pTheme = AsDefault(pPaintManager);
    if (bEnabled)
      pDC->FillSolidRect(rcField, pPaintManager->GetColor(5));
    if (pTheme) {
      pTheme->DrawEditFrame(pDC, rcField, bEnabled, nSelected);
      if (bCombo)
        pTheme->DrawComboButton(pDC, rcButton, bEnabled, nSelected, bDropped);
    }
    pDC->SelectObject(pOldFont);
    return size;
  }

  if (!bEnabled) {
    pPaintManager->DrawRectangle(pDC, CRect(rcField.left + 1, rcField.top, rcField.right, rcField.bottom),
                                 nSelected == 2 ? 32 : 40, 15);
    rcButton.DeflateRect(1, 1);
  } else if (!bCombo) {
    pDC->FillSolidRect(rcField.left + 1, rcField.top + 1, rcField.Width() - 2, rcField.Height() - 2,
                       pPaintManager->GetColor(5));
    if (nSelected)
      pPaintManager->DrawRectangle(pDC, rcField, 32, 5);
    else if (bPopup)
      pPaintManager->DrawRectangle(pDC, rcField, 53, -1);
  } else {
    pDC->FillSolidRect(CRect(rcField.left + 1, rcField.top + 1, rcButton.left, rcField.bottom - 1),
                       pPaintManager->GetColor(5));
    if (nSelected) {
      pPaintManager->DrawRectangle(pDC, rcField, 32, 5);
      pPaintManager->DrawRectangle(pDC, rcButton, 32, bDropped ? 33 : 31);
    } else {
      CRect rcInner = rcButton;
      rcInner.DeflateRect(1, 1);
      if (bPopup) {
        pPaintManager->DrawRectangle(pDC, rcField, 53, -1);
        pPaintManager->DrawRectangle(pDC, rcInner, 5, 53);
      } else {
        pPaintManager->DrawRectangle(pDC, rcInner, 5, -1);
      }
    }
  }
  if (bCombo) {
    int nArrow = !bEnabled ? 40 : bDropped ? 47 : nSelected ? 45 : 46;
    pPaintManager->DrawDropDownGlyph(pDC, rcButton, pPaintManager->GetColor(nArrow));
  }
  pDC->SelectObject(pOldFont);
  return size;
}

}  // namespace

CSize CTKPaintManager::DrawControlEdit(CDC* pDC, CTKControl* pControl, BOOL bDraw)
{
  return DrawField(this, pDC, pControl, bDraw, FALSE);
}

CSize CTKPaintManager::DrawControlComboBox(CDC* pDC, CTKControl* pControl, BOOL bDraw)
{
  return DrawField(this, pDC, pControl, bDraw, TRUE);
}

CSize CTKPaintManager::DrawListBoxControl(CDC* pDC, CTKControl* pControl, CRect rc, BOOL bSelected, BOOL bDraw,
                                          CTKCommandBars* pCommandBars)
{
  BOOL bDefault = IsClassic(this);
  CSize szIcon(16, 16);
  if (pCommandBars) {
    CSize szOptions = pCommandBars->GetCommandBarsOptions()->szIcons;
    if (szOptions.cx > 0 && szOptions.cy > 0)
      szIcon = szOptions;
  }
  int nColumn = std::max(m_nTextHeight + (bDefault ? 0 : 4), static_cast<int>(szIcon.cx) + 4);
  int nHeight = std::max(m_nTextHeight, static_cast<int>(szIcon.cy) + (bDefault ? 4 : 6));
  CSize size(nColumn, nHeight);
  if (!bDraw)
    return size;

  int nType = pControl->GetType();
  int nStyle = pControl->GetStyle();
  CTKImageManagerIcon* pImage = nullptr;
  if ((nStyle == 2 || nStyle == 3 || (nStyle == 0 && nType != tkControlPopup)) && pControl->GetIconId() > 0)
    pImage = pControl->GetImage(szIcon.cx);
  CRect rcColumn(rc.left, rc.top, rc.left + nColumn, rc.top + nHeight);
  CFont* pOldFont = pDC->SelectObject(&m_fontRegular);
  CString strCaption = pControl->GetCaption();
  StripMnemonics(strCaption);
  CWnd* pSite = pCommandBars ? pCommandBars->GetSite() : nullptr;
  if (pSite && pSite->GetSafeHwnd() && (pSite->GetExStyle() & WS_EX_LAYOUTRTL))
    UpdateRTLCaption(strCaption);
  int cy = rc.CenterPoint().y;

  COLORREF clrText;
  int nTextLeft;
  if (bDefault) {
    pDC->FillSolidRect(rc, GetColor(kFace));
    if (pImage)
      DrawButtonRectangle(pDC, rcColumn, bSelected, FALSE, TRUE, FALSE, FALSE, FALSE, tkBarPopup);
    if (bSelected)
      pDC->FillSolidRect(CRect(rcColumn.right + 1, rc.top, rc.right, rc.bottom), GetColor(13));
    clrText = GetColor(bSelected ? 14 : 18);
    nTextLeft = rc.left + nColumn + 4;
  } else {
    pDC->FillSolidRect(rc, GetColor(kOfficePopupFace));
    if (auto* pOffice = dynamic_cast<CTKOfficeTheme*>(this))
      pOffice->FillIconColumn(pDC, rc.left, rc.top, nColumn + 1, nHeight, FALSE);
    if (bSelected)
      DrawButtonRectangle(pDC, rc, TRUE, FALSE, TRUE, FALSE, FALSE, FALSE, tkBarPopup);
    clrText = GetColor(bSelected ? 45 : 44);
    nTextLeft = rc.left + nColumn + 8;
  }
  if (pImage) {
    CSize szImage = szIcon;
    if (pImage->GetWidth() > 0)
      szImage.cy = szIcon.cx * pImage->GetHeight() / pImage->GetWidth();
    CPoint pt(rcColumn.CenterPoint().x - szImage.cx / 2, rcColumn.CenterPoint().y - szImage.cy / 2);
    DrawImage(pDC, pt, szImage, pImage, bSelected, 0, TRUE, FALSE, FALSE, FALSE);
  }
  pDC->SetTextColor(clrText);
  pDC->SetBkMode(TRANSPARENT);
  CRect rcText(nTextLeft, rc.top, rc.right, rc.bottom);
  pDC->DrawText(strCaption, rcText, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);

  if (nType >= tkControlPopup && nType <= tkControlSplitButtonPopup) {
    Triangle(pDC, CPoint(rc.right - 7, cy), CPoint(rc.right - 12, cy - 5), CPoint(rc.right - 12, cy + 5), clrText);
    if (nType == tkControlSplitButtonPopup)
      pDC->FillSolidRect(rc.right - 20, rc.top + 1, 1, rc.Height() - 2,
                         GetColor(bDefault ? kShadow : (bSelected ? 32 : kShadow)));
  }
  if (nType == tkControlComboBox || nType == tkControlEdit) {
    int nCaptionWidth = TextWidth(pDC, &m_fontRegular, strCaption);
    CRect rcField(rc.left + nCaptionWidth + nColumn + 13, rc.top + 1, rc.right, rc.bottom - 1);
    DrawRectangle(pDC, rcField, bSelected ? (bDefault ? 13 : 32) : kFace, 5);
    if (nType == tkControlComboBox) {
      int nButton = BlankHeight(pDC, &m_fontRegular) + 2;
      CRect rcButton(rcField.right - nButton, rcField.top, rcField.right, rcField.bottom);
      if (bDefault) {
        if (bSelected)
          DrawRectangle(pDC, rcButton, 13, kFace);
        else
          pDC->FillSolidRect(CRect(rcButton.left + 1, rcButton.top + 1, rcButton.right - 1, rcButton.bottom - 1),
                             GetColor(kFace));
      } else if (bSelected) {
        DrawButtonRectangle(pDC, rcButton, TRUE, FALSE, TRUE, FALSE, FALSE, FALSE, tkBarPopup);
      } else {
        pDC->FillSolidRect(CRect(rcButton.left + 2, rcButton.top + 2, rcButton.right - 2, rcButton.bottom - 2),
                           GetColor(kFace));
      }
      DrawDropDownGlyph(pDC, rcButton, GetColor(bDefault ? 18 : (bSelected ? 45 : 46)));
    }
  }
  pDC->SelectObject(pOldFont);
  return size;
}

void CTKPaintManager::DrawStatusBarPane(CDC* pDC, CRect rc, CTKStatusBarPane* pPane)
{
  UINT nStyle = pPane->GetStyle();
  BOOL bEnabled = !(nStyle & SBPS_DISABLED);
  CTKStatusBar* pStatusBar = pPane->GetStatusBar();
  BOOL bShowText = bEnabled || !pStatusBar || pStatusBar->IsShowDisabledText();
  if (pPane->GetBackgroundColor() != static_cast<COLORREF>(-1)) {
    CRect rcFill = rc;
    if (!(nStyle & SBPS_NOBORDERS))
      rcFill.DeflateRect(1, 1);
    pDC->FillSolidRect(rcFill, pPane->GetBackgroundColor());
  }
  CFont* pFont = pPane->GetTextFont();
  CFont* pOldFont = pFont && pFont->GetSafeHandle() ? pDC->SelectObject(pFont) : nullptr;
  rc.DeflateRect(2, 1);
  CString strText = pPane->GetText();
  int nTextWidth = strText.IsEmpty() ? 0 : pDC->GetTextExtent(strText, strText.GetLength()).cx;
  CTKImageManagerIcon* pImage = pPane->GetImage();
  int nIconWidth = pImage ? pImage->GetWidth() + (strText.IsEmpty() ? 0 : 2) : 0;
  int nTotal = nTextWidth + nIconWidth;
  int x = rc.left;
  if (nTotal < rc.Width()) {
    if (pPane->GetTextAlignment() == DT_RIGHT)
      x = rc.right - nTotal;
    else if (pPane->GetTextAlignment() == DT_CENTER)
      x = rc.left + (rc.Width() - nTotal) / 2;
  }
  if (pImage) {
    CSize szImage(pImage->GetWidth(), pImage->GetHeight());
    if (x + szImage.cx <= rc.right) {
      CPoint pt(x, rc.CenterPoint().y - szImage.cy / 2);
      if (bEnabled) {
        pImage->DrawImage(pDC, pt, pImage->GetIcon());
      } else {
        PrepareDisabledIcon(pImage);
        pImage->DrawImage(pDC, pt, pImage->GetDisabledIcon());
      }
    }
    x += szImage.cx + 2;
  }
  if (bShowText && !strText.IsEmpty()) {
    pDC->SetBkMode(TRANSPARENT);
    COLORREF clrText = !bEnabled ? GetColor(17)
                       : pPane->GetTextColor() != static_cast<COLORREF>(-1) ? pPane->GetTextColor()
                                                                            : m_clrStatusText;
    pDC->SetTextColor(clrText);
    CRect rcText(x, rc.top, rc.right, rc.bottom);
    pDC->DrawText(strText, rcText, DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER);
  }
  if (pOldFont)
    pDC->SelectObject(pOldFont);
}

// ---- The bars' own buttons

namespace {

void Polyline3(CDC* pDC, CPoint a, CPoint b, CPoint c)
{
  POINT pts[3] = {a, b, c};
  pDC->Polyline(pts, 3);
}

BOOL IsVerticalSpecial(CTKCommandBar* pBar)
{
  int nPosition = pBar ? pBar->GetPosition() : tkBarTop;
  return nPosition == tkBarLeft || nPosition == tkBarRight || nPosition == tkBarPopup;
}

// The chevrons that expand a shortened menu, drawn with the DC's pen from the top t about the centre x.
void PopupChevrons(CDC* pDC, int x, int t)
{
  for (int dy : {0, 1, 4, 5})
    Polyline3(pDC, CPoint(x - 2, t + 2 + dy), CPoint(x, t + 4 + dy), CPoint(x + 3, t + 1 + dy));
}

CSize BaseSpecialControl(CTKPaintManager* pPaintManager, CDC* pDC, int nType, CTKControl* pControl,
                         CTKCommandBar* pBar, BOOL bDraw, void* pParam)
{
  if (!bDraw) {
    if (nType == tkSpecialToolBarExpand && pParam) {
      const CSize sz = *static_cast<CSize*>(pParam);
      pControl->SetRect(IsVerticalSpecial(pBar) ? CRect(2, sz.cy - 13, sz.cx - 2, sz.cy - 2)
                                                : CRect(sz.cx - 13, 2, sz.cx - 2, sz.cy - 2));
    }
    return nType == tkSpecialPopupExpand ? CSize(0, 12) : CSize(0, 0);
  }
  pPaintManager->DrawControlEntry(pDC, pControl);
  const COLORREF clrText = pDC->GetTextColor();
  const CRect rc = pControl->GetRect();
  const int l = rc.left;
  const int t = rc.top;
  const int r = rc.right;
  switch (nType) {
  case tkSpecialToolBarExpand: {
    const BOOL bHidden = pParam && *static_cast<BOOL*>(pParam);
    CTKPenDC pen(pDC->GetSafeHdc(), clrText);
    if (!IsVerticalSpecial(pBar)) {
      const int x = rc.CenterPoint().x;
      pPaintManager->Triangle(pDC, CPoint(x - 2, rc.bottom - 7), CPoint(x + 2, rc.bottom - 7),
                              CPoint(x, rc.bottom - 5), clrText);
      if (bHidden) {
        Polyline3(pDC, CPoint(l + 2, t + 4), CPoint(l + 4, t + 6), CPoint(l + 1, t + 9));
        Polyline3(pDC, CPoint(l + 3, t + 4), CPoint(l + 5, t + 6), CPoint(l + 2, t + 9));
        Polyline3(pDC, CPoint(l + 6, t + 4), CPoint(l + 8, t + 6), CPoint(l + 5, t + 9));
        Polyline3(pDC, CPoint(l + 7, t + 4), CPoint(l + 9, t + 6), CPoint(l + 6, t + 9));
      }
    } else {
      pPaintManager->Triangle(pDC, CPoint(l + 6, t + 3), CPoint(l + 6, t + 7), CPoint(l + 4, t + 5), clrText);
      if (bHidden) {
        Polyline3(pDC, CPoint(r - 8, t + 2), CPoint(r - 6, t + 4), CPoint(r - 3, t + 1));
        Polyline3(pDC, CPoint(r - 8, t + 3), CPoint(r - 6, t + 5), CPoint(r - 3, t + 2));
        Polyline3(pDC, CPoint(r - 8, t + 6), CPoint(r - 6, t + 8), CPoint(r - 3, t + 5));
        Polyline3(pDC, CPoint(r - 8, t + 7), CPoint(r - 6, t + 9), CPoint(r - 3, t + 6));
      }
    }
    return CSize(0, 0);
  }
  case tkSpecialPopupExpand:
    PopupChevrons(pDC, rc.CenterPoint().x, t);
    return CSize(0, 12);
  case tkSpecialFloatingHide: {
    CFont font;
    font.CreatePointFont(::MulDiv(80, 96, pDC->GetDeviceCaps(LOGPIXELSX)), "Marlett");
    CFont* pOldFont = pDC->SelectObject(&font);
    if (!pControl->GetPressed() && !pControl->GetSelected())
      pDC->SetTextColor(pPaintManager->GetColor(kHighlight));
    CRect rcText = rc;
    pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText("r", 1, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SelectObject(pOldFont);
    return CSize(0, 0);
  }
  case tkSpecialFloatingExpand: {
    const CPoint pt = rc.CenterPoint();
    pPaintManager->Triangle(pDC, CPoint(pt.x - 3, pt.y - 2), CPoint(pt.x + 3, pt.y - 2), CPoint(pt.x, pt.y + 1),
                            pControl->GetSelected() || IsPopuped(pControl) ? clrText
                                                                          : pPaintManager->GetColor(kHighlight));
    return CSize(0, 0);
  }
  default:
    return CSize(0, 0);
  }
}

CSize Office2003SpecialControl(CTKOffice2003Theme* pTheme, CDC* pDC, int nType, CTKControl* pControl,
                               CTKCommandBar* pBar, BOOL bDraw, void* pParam)
{
  if (nType == tkSpecialPopupExpand) {
    if (bDraw) {
      pTheme->DrawControlEntry(pDC, pControl);
      const CRect rc = pControl->GetRect();
      pTheme->m_ilExpandButton.Draw(pDC, 0, CPoint(rc.CenterPoint().x - 7, rc.top + 1), ILD_TRANSPARENT);
      PopupChevrons(pDC, rc.CenterPoint().x, rc.top + 3);
    }
    return CSize(0, 18);
  }
  if (nType != tkSpecialToolBarExpand)
    return BaseSpecialControl(pTheme, pDC, nType, pControl, pBar, bDraw, pParam);
  const BOOL bVertical = IsVerticalSpecial(pBar);
  if (!bDraw) {
    if (pParam) {
      const CSize sz = *static_cast<CSize*>(pParam);
      pControl->SetRect(bVertical ? CRect(0, sz.cy - 12, sz.cx, sz.cy) : CRect(sz.cx - 12, 1, sz.cx, sz.cy));
    }
    return CSize(0, 0);
  }
  const CRect rc = pControl->GetRect();
  const int nSaved = pDC->SaveDC();
  // The button's outer corners are round.
  if (!bVertical) {
    pDC->ExcludeClipRect(rc.right - 1, rc.top, rc.right, rc.top + 1);
    pDC->ExcludeClipRect(rc.right - 1, rc.bottom - 1, rc.right, rc.bottom);
    pDC->ExcludeClipRect(rc.left, rc.top + 1, rc.left + 1, rc.bottom - 1);
  } else {
    pDC->ExcludeClipRect(rc.left, rc.bottom - 1, rc.left + 1, rc.bottom);
    pDC->ExcludeClipRect(rc.right - 1, rc.bottom - 1, rc.right, rc.bottom);
    pDC->ExcludeClipRect(rc.left + 1, rc.top, rc.right - 1, rc.top + 1);
  }
  const BOOL bOpen = IsPopuped(pControl);
  const BOOL bSelected = pControl->GetSelected() != 0;
  if (bOpen || bSelected) {
    if (pTheme->m_bLunaColors) {
      pTheme->GradientFill(pDC, &rc, bOpen ? RGB(254, 142, 75) : RGB(255, 242, 200),
                           bOpen ? RGB(255, 207, 139) : RGB(255, 212, 151), bVertical);
    } else {
      CRect rcFill = rc;
      pDC->FillSolidRect(&rcFill, pTheme->GetColor(bOpen ? 36 : 31));
    }
  } else {
    TKDrawHelpers().GradientFillColor(pDC, &rc, pTheme->m_grcExpandButton, bVertical);
  }
  const COLORREF clrGlyph = pTheme->GetColor(bOpen ? 46 : bSelected ? 45 : 46);
  const BOOL bHidden = pParam && *static_cast<BOOL*>(pParam);
  CRect rcShadow = rc;
  rcShadow.OffsetRect(1, 1);
  pTheme->DrawExpandGlyph(pDC, bVertical, rcShadow, bHidden, pTheme->GetColor(kHighlight));
  pTheme->DrawExpandGlyph(pDC, bVertical, rc, bHidden, clrGlyph);
  pDC->RestoreDC(nSaved);
  return CSize(0, 0);
}

}  // namespace

CSize CTKPaintManager::DrawSpecialControl(CDC* pDC, int nType, CTKControl* pControl, CTKCommandBar* pBar, BOOL bDraw,
                                          void* pParam)
{
  if (!pControl)
    return CSize(0, 0);
  if (CTKOffice2003Theme* pTheme = AsOffice2003(this))
    return Office2003SpecialControl(pTheme, pDC, nType, pControl, pBar, bDraw, pParam);
  if (BaseTheme() == tkThemeOffice && bDraw &&
      (nType == tkSpecialFloatingHide || nType == tkSpecialFloatingExpand)) {
    const BOOL bOpen = nType == tkSpecialFloatingExpand && IsPopuped(pControl);
    if (pControl->GetPressed() || pControl->GetSelected() || bOpen) {
      CRect rc = pControl->GetRect();
      pDC->FillSolidRect(&rc, GetColor(kFace));
    }
  }
  return BaseSpecialControl(this, pDC, nType, pControl, pBar, bDraw, pParam);
}

// ---- A menu expanding

void CTKPaintManager::AnimateExpanding(CTKPopupBar* pBar, CDC* pDestDC, CDC* pSrcDC, BOOL bExpandDown)
{
  const int steps = m_nAnimationSteps;
  if (!pBar || !pBar->GetSafeHwnd() || steps <= 0)
    return;
  CRect rcClient;
  pBar->GetClientRect(&rcClient);
  const int cx = rcClient.Width();
  const int cy = rcClient.Height();
  CTKControls* pControls = pBar->GetControls();
  const DWORD delay = static_cast<DWORD>(m_nAnimationTime / steps);
  for (int k = 1; k <= steps; ++k) {
    // A run of hidden commands is as high as k / steps of its height; the other runs keep theirs.
    auto height = [k, steps](int h, BOOL bExpanded) {
      return bExpanded ? static_cast<int>(static_cast<double>(k) / steps * h) : h;
    };
    auto band = [&](int yDest, int hDest, int ySrc, int hSrc) {
      if (hDest > 0 && hSrc > 0)
        pDestDC->StretchBlt(0, yDest, cx, hDest, pSrcDC, 0, ySrc, cx, hSrc, SRCCOPY);
    };
    BOOL bPrevious = FALSE;
    if (bExpandDown) {
      int yCut = 0;
      int yDest = 0;
      for (int i = 0; i < pControls->GetCount(); ++i) {
        CTKControl* pControl = pControls->GetAt(i);
        if (pControl->GetHideFlags() != 0 || pControl->IsHiddenByUsage() == bPrevious)
          continue;
        const int yTop = pControl->GetRect().top;
        const int hDest = height(yTop - yCut, bPrevious);
        band(yDest, hDest, yCut, yTop - yCut);
        yDest += hDest;
        yCut = yTop;
        bPrevious = pControl->IsHiddenByUsage();
      }
      band(yDest, height(cy - yCut, bPrevious), yCut, cy - yCut);
    } else {
      int yCut = cy;
      int yDest = cy;
      for (int i = pControls->GetCount() - 1; i >= 0; --i) {
        CTKControl* pControl = pControls->GetAt(i);
        if (pControl->GetHideFlags() != 0 || pControl->IsHiddenByUsage() == bPrevious)
          continue;
        const int yBottom = pControl->GetRect().bottom;
        const int hDest = height(yCut - yBottom, bPrevious);
        band(yDest - hDest, hDest, yBottom, yCut - yBottom);
        yDest -= hDest;
        yCut = yBottom;
        bPrevious = pControl->IsHiddenByUsage();
      }
      const int hDest = height(yCut, bPrevious);
      band(yDest - hDest, hDest, 0, yCut);
    }
    Sleep(delay);
  }
}
