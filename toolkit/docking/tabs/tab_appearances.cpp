#include "toolkit/docking/tabs/tab_appearances.h"

#include "toolkit/docking/tabs/tab_color_sets.h"
#include "toolkit/paint/draw_helpers.h"

#include <algorithm>
#include <initializer_list>
#include <new>
#include <vector>

namespace {

using CColorSet = CTKTabPaintManager::CColorSet;

constexpr COLORREF kUnset = CColorSet::kUnset;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Lines of one pixel, half-open like GDI's; a line whose colour is unset is left out.
void HLine(CDC* pDC, int x1, int x2, int y, COLORREF clr)
{
  if (clr != kUnset && x2 > x1) {
    pDC->FillSolidRect(x1, y, x2 - x1, 1, clr);
  }
}

void VLine(CDC* pDC, int x, int y1, int y2, COLORREF clr)
{
  if (clr != kUnset && y2 > y1) {
    pDC->FillSolidRect(x, y1, 1, y2 - y1, clr);
  }
}

void Pixel(CDC* pDC, int x, int y, COLORREF clr)
{
  if (clr != kUnset) {
    pDC->SetPixel(x, y, clr);
  }
}

void Frame(CDC* pDC, const CRect& rc, COLORREF clr)
{
  if (clr != kUnset) {
    pDC->Draw3dRect(rc, clr, clr);
  }
}

// A start point followed by relative steps.
std::vector<CPoint> Steps(CPoint start, std::initializer_list<CPoint> steps)
{
  std::vector<CPoint> points{start};
  for (const CPoint& step : steps) {
    points.emplace_back(points.back().x + step.x, points.back().y + step.y);
  }
  return points;
}

// A 1-pixel polyline, never closed (GDI leaves out each line's end point).
void Polyline(CDC* pDC, const std::vector<CPoint>& points, COLORREF clr)
{
  if (clr == kUnset || points.size() < 2) {
    return;
  }
  CTKPenDC pen(pDC->GetSafeHdc(), clr);
  pDC->Polyline(points.data(), static_cast<int>(points.size()));
}

CRect BoundingBox(const std::vector<CPoint>& points)
{
  CRect rc(points.front().x, points.front().y, points.front().x, points.front().y);
  for (const CPoint& p : points) {
    rc.left = std::min(rc.left, p.x);
    rc.top = std::min(rc.top, p.y);
    rc.right = std::max(rc.right, p.x + 1);
    rc.bottom = std::max(rc.bottom, p.y + 1);
  }
  return rc;
}

// Fills the closed polygon with the colour set's tab fill: the fill goes to an off-screen bitmap as large as the
// polygon's bounding box (in the target's coordinates) and is copied through a polygon clip region, so that
// gradients follow the shape. The colour used.
COLORREF FillShape(CDC* pDC, CColorSet* pColorSet, const std::vector<CPoint>& points, CTKTabManagerItem* pItem)
{
  // Clip regions are in device units.
  std::vector<CPoint> device = points;
  if (!device.empty()) {
    pDC->LPtoDP(device.data(), static_cast<int>(device.size()));
  }
  CRgn rgn;
  if (points.size() < 3 || !rgn.CreatePolygonRgn(device.data(), static_cast<int>(device.size()), WINDING)) {
    return pColorSet->GetTabColor(pItem);
  }
  const CRect box = BoundingBox(points);
  CDC dcShape;
  CBitmap bitmap;
  if (!dcShape.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, box.Width(), box.Height())) {
    return pColorSet->GetTabColor(pItem);
  }
  CBitmap* pOldBitmap = dcShape.SelectObject(&bitmap);
  dcShape.SetViewportOrg(-box.left, -box.top);
  const COLORREF clr = pColorSet->FillTab(&dcShape, box, pItem);
  const int nSaved = pDC->SaveDC();
  pDC->SelectClipRgn(&rgn, RGN_AND);
  pDC->BitBlt(box.left, box.top, box.Width(), box.Height(), &dcShape, box.left, box.top, SRCCOPY);
  pDC->RestoreDC(nSaved);
  dcShape.SelectObject(pOldBitmap);
  return clr;
}

int PositionOf(const CTKTabManagerItem* pItem) { return pItem->m_pTabManager->GetStripPosition(); }

BOOL IsLastTab(const CTKTabManagerItem* pItem)
{
  return pItem->m_nIndex == pItem->m_pTabManager->GetTabCount() - 1;
}

// The tab rectangle grown by n towards the client area.
CRect TowardsClient(CRect rc, int nPosition, int n)
{
  switch (nPosition) {
    case TK_TAB_POSITION_LEFT: rc.right += n; break;
    case TK_TAB_POSITION_BOTTOM: rc.top -= n; break;
    case TK_TAB_POSITION_RIGHT: rc.left -= n; break;
    default: rc.bottom += n; break;
  }
  return rc;
}

// The tab rectangle grown by n at its far end.
CRect AtFarEnd(CRect rc, int nPosition, int n)
{
  if (nPosition == TK_TAB_POSITION_LEFT || nPosition == TK_TAB_POSITION_RIGHT) {
    rc.bottom += n;
  } else {
    rc.right += n;
  }
  return rc;
}

// A line of the border colour at the far edge of a tab, `nInset` in from both sides.
void FarSeparator(CDC* pDC, const CRect& rc, int nPosition, int nInset, COLORREF clr)
{
  if (nPosition == TK_TAB_POSITION_LEFT || nPosition == TK_TAB_POSITION_RIGHT) {
    HLine(pDC, rc.left + nInset, rc.right - nInset, rc.bottom - 1, clr);
  } else {
    VLine(pDC, rc.right - 1, rc.top + nInset, rc.bottom - nInset, clr);
  }
}

// A line on the strip side of the client area.
void StripSideLine(CDC* pDC, const CRect& rc, int nPosition, COLORREF clr)
{
  switch (nPosition) {
    case TK_TAB_POSITION_LEFT: VLine(pDC, rc.left, rc.top, rc.bottom, clr); break;
    case TK_TAB_POSITION_BOTTOM: HLine(pDC, rc.left, rc.right, rc.bottom - 1, clr); break;
    case TK_TAB_POSITION_RIGHT: VLine(pDC, rc.right - 1, rc.top, rc.bottom, clr); break;
    default: HLine(pDC, rc.left, rc.right, rc.top, clr); break;
  }
}

void DrawContent(CTKTabPaintManager* pPaintManager, CDC* pDC, CTKTabManagerItem* pItem, const CRect& rc)
{
  pPaintManager->DrawTabContent(pDC, pItem, rc, TRUE);
}

}  // namespace

CTKTabPaintManager::CAppearanceSet* TKCreateTabAppearance(int nAppearance)
{
  switch (nAppearance) {
    case 1: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetPropertyPageSelected;
    case 2: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetPropertyPageFlat;
    case 3: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetPropertyPage2003;
    case 4: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetStateButtons;
    case 5: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetVisualStudio;
    case 6: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetFlat;
    case 7: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetExcel;
    case 8: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetVisio;
    case 9: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetVisualStudio2005;
    default: return new (std::nothrow) CTKTabPaintManager::CAppearanceSetPropertyPage;
  }
}

// ---- Property Page (0) and Property Page Selected (1)

CRect CTKTabPaintManager::CAppearanceSetPropertyPage::GetClientMargin()
{
  CRect rc = CAppearanceSet::GetClientMargin();
  rc.right += 2;
  const int nPosition = m_pPaintManager->GetPosition();
  if ((nPosition == TK_TAB_POSITION_TOP || nPosition == TK_TAB_POSITION_LEFT) && GetColorSet()->IsThemed() &&
      m_pPaintManager->m_nClientFrame == 0) {
    rc.bottom += 2;
  }
  return rc;
}

CRect CTKTabPaintManager::CAppearanceSetPropertyPage::FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rc)
{
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = pTabManager->GetStripPosition();
  const CRect rcHeader = GetHeaderRect(rc, pTabManager);
  pColorSet->FillHeader(pDC, TowardsClient(rcHeader, nPosition, 1), pTabManager);
  const CRect rcClient = GetClientRect(rc, pTabManager);
  const COLORREF clrHighlight = pColorSet->m_clrPageHighlight;
  const COLORREF clrDark = pColorSet->m_clrPageDarkShadow;
  const COLORREF clrShadow = pColorSet->m_clrPageShadow;
  if (m_pPaintManager->m_nClientFrame == 0) {
    pColorSet->FillClient(pDC, rcClient, pTabManager);
    HLine(pDC, rcClient.left, rcClient.right - 1, rcClient.top, clrHighlight);
    VLine(pDC, rcClient.left, rcClient.top, rcClient.bottom - 1, clrHighlight);
    HLine(pDC, rcClient.left, rcClient.right, rcClient.bottom - 1, clrDark);
    VLine(pDC, rcClient.right - 1, rcClient.top, rcClient.bottom, clrDark);
    HLine(pDC, rcClient.left + 1, rcClient.right - 1, rcClient.bottom - 2, clrShadow);
    VLine(pDC, rcClient.right - 2, rcClient.top + 1, rcClient.bottom - 1, clrShadow);
  } else if (m_pPaintManager->m_nClientFrame == 1) {
    switch (nPosition) {
      case TK_TAB_POSITION_LEFT: VLine(pDC, rcClient.left, rcClient.top, rcClient.bottom, clrHighlight); break;
      case TK_TAB_POSITION_BOTTOM:
        HLine(pDC, rcClient.left, rcClient.right, rcClient.bottom - 1, clrDark);
        HLine(pDC, rcClient.left, rcClient.right, rcClient.bottom - 2, clrShadow);
        break;
      case TK_TAB_POSITION_RIGHT:
        VLine(pDC, rcClient.right - 1, rcClient.top, rcClient.bottom, clrDark);
        VLine(pDC, rcClient.right - 2, rcClient.top, rcClient.bottom, clrShadow);
        break;
      default: HLine(pDC, rcClient.left, rcClient.right, rcClient.top, clrHighlight); break;
    }
  }
  return rcHeader;
}

void CTKTabPaintManager::CAppearanceSetPropertyPage::DrawPage(CDC* pDC, CTKTabManagerItem* pItem)
{
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = PositionOf(pItem);
  CRect rc = pItem->m_rcItem;
  const BOOL bSelected = pItem->IsSelected();
  if (bSelected) {
    switch (nPosition) {
      case TK_TAB_POSITION_TOP: rc.left -= 2; rc.top -= 2; rc.right += 2; break;
      case TK_TAB_POSITION_LEFT: rc.top -= 2; rc.left -= 2; rc.bottom += 2; break;
      default: rc.InflateRect(2, 2); break;
    }
  }
  CRect rcFace = rc;
  rcFace.DeflateRect(1, 1);
  const COLORREF clrFace = pColorSet->FillTab(pDC, rcFace, pItem);
  const COLORREF clrHighlight = pColorSet->m_clrPageHighlight;
  const COLORREF clrDark = pColorSet->m_clrPageDarkShadow;
  const COLORREF clrShadow = pColorSet->m_clrPageShadow;
  const int l = rc.left;
  const int t = rc.top;
  const int r = rc.right;
  const int b = rc.bottom;
  switch (nPosition) {
    case TK_TAB_POSITION_LEFT:
      HLine(pDC, l + 2, r, t, clrHighlight);
      VLine(pDC, l, t + 2, b - 2, clrHighlight);
      Pixel(pDC, l + 1, t + 1, clrHighlight);
      HLine(pDC, l + 2, r, b - 1, clrDark);
      Pixel(pDC, l + 1, b - 2, clrDark);
      HLine(pDC, l + 2, r, b - 2, clrShadow);
      break;
    case TK_TAB_POSITION_BOTTOM:
      VLine(pDC, l, t, b - 2, clrHighlight);
      HLine(pDC, l + 2, r - 2, b, clrDark);
      Pixel(pDC, l + 1, b - 1, clrDark);
      VLine(pDC, r - 1, t, b - 2, clrDark);
      Pixel(pDC, r - 2, b - 1, clrDark);
      HLine(pDC, l + 2, r - 2, b - 1, clrShadow);
      VLine(pDC, r - 2, t, b - 2, clrShadow);
      break;
    case TK_TAB_POSITION_RIGHT:
      HLine(pDC, l, r - 2, t, clrHighlight);
      VLine(pDC, r, t + 2, b - 2, clrDark);
      Pixel(pDC, r - 1, t + 1, clrDark);
      HLine(pDC, l, r - 2, b - 1, clrDark);
      Pixel(pDC, r - 1, b - 2, clrDark);
      VLine(pDC, r - 1, t + 2, b - 2, clrShadow);
      HLine(pDC, l, r - 2, b - 2, clrShadow);
      break;
    default:
      VLine(pDC, l, t + 2, b, clrHighlight);
      HLine(pDC, l + 2, r - 2, t, clrHighlight);
      Pixel(pDC, l + 1, t + 1, clrHighlight);
      VLine(pDC, r - 1, t + 2, b - 1, clrDark);
      Pixel(pDC, r - 2, t + 1, clrDark);
      VLine(pDC, r - 2, t + 2, b - 1, clrShadow);
      break;
  }
  // A face the visual style painted has no colour of its own (unset): the style draws the merge itself.
  if (IsSelectedRow0(pItem) && clrFace != kUnset) {
    // The selected page merges with the client area below it.
    switch (nPosition) {
      case TK_TAB_POSITION_LEFT: pDC->FillSolidRect(r - 1, t + 1, 1, rc.Height() - 3, clrFace); break;
      case TK_TAB_POSITION_BOTTOM: pDC->FillSolidRect(l + 1, t + 1, rc.Width() - 1, 1, clrFace); break;
      case TK_TAB_POSITION_RIGHT: pDC->FillSolidRect(l + 1, t + 1, 1, rc.Height() - 1, clrFace); break;
      default: pDC->FillSolidRect(l + 1, b - 1, rc.Width() - 3, 1, clrFace); break;
    }
  }
}

void CTKTabPaintManager::CAppearanceSetPropertyPage::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  DrawPage(pDC, pItem);
  DrawContent(m_pPaintManager, pDC, pItem, pItem->m_rcItem);
}

void CTKTabPaintManager::CAppearanceSetPropertyPageSelected::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  if (pItem->IsSelected() || pItem->IsHot()) {
    DrawPage(pDC, pItem);
  }
  DrawContent(m_pPaintManager, pDC, pItem, pItem->m_rcItem);
}

// ---- Flat (6), shared header of Flat, Property Page Flat and Excel

CRect CTKTabPaintManager::CAppearanceSetFlat::FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rc)
{
  CColorSet* pColorSet = GetColorSet();
  const CRect rcHeader = GetHeaderRect(rc, pTabManager);
  pColorSet->FillHeader(pDC, rcHeader, pTabManager);
  const CRect rcClient = GetClientRect(rc, pTabManager);
  if (m_pPaintManager->m_nClientFrame == 0) {
    pColorSet->FillClient(pDC, rcClient, pTabManager);
    Frame(pDC, rcClient, pColorSet->m_clrFrameBorder);
  } else if (m_pPaintManager->m_nClientFrame == 1) {
    pColorSet->FillClient(pDC, rcClient, pTabManager);
    StripSideLine(pDC, rcClient, pTabManager->GetStripPosition(), pColorSet->m_clrFrameBorder);
  }
  return rcHeader;
}

void CTKTabPaintManager::CAppearanceSetFlat::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = PositionOf(pItem);
  CRect rc = AtFarEnd(pItem->m_rcItem, nPosition, 1);
  if (pItem->IsSelected()) {
    rc = TowardsClient(rc, nPosition, 1);
  }
  pColorSet->FillTab(pDC, rc, pItem);
  Frame(pDC, rc, pColorSet->m_clrFrameBorder);
  DrawContent(m_pPaintManager, pDC, pItem, pItem->m_rcItem);
}

// ---- Property Page Flat (2)

namespace {

// The ten (pixel, neighbour) pairs that soften the strip-side corners of a framed flat tab.
std::vector<POINT> SoftCorners(const CRect& rc, int nPosition)
{
  const int l = rc.left;
  const int t = rc.top;
  const int r = rc.right;
  const int b = rc.bottom;
  switch (nPosition) {
    case TK_TAB_POSITION_LEFT:
      return {{l, t + 1}, {0, -1}, {l + 1, t}, {-1, 0}, {l, b - 2}, {0, 1}, {l + 1, b}, {-1, 0},
              {l + 1, t + 1}, {-1, 0}, {l + 1, b - 2}, {-1, 0}, {l + 2, t + 1}, {-1, 0}, {l + 1, t + 2}, {0, -1},
              {l + 2, b - 2}, {-1, 0}, {l + 1, b - 3}, {0, 1}};
    case TK_TAB_POSITION_BOTTOM:
      return {{l, b - 2}, {0, 1}, {l + 1, b - 1}, {-1, 0}, {r - 1, b - 2}, {0, 1}, {r - 2, b - 1}, {1, 0},
              {l + 1, b - 2}, {0, 1}, {r - 2, b - 2}, {1, 0}, {l + 2, b - 2}, {-1, 0}, {l + 1, b - 3}, {0, 1},
              {r - 3, b - 2}, {1, 0}, {r - 2, b - 3}, {0, 1}};
    case TK_TAB_POSITION_RIGHT:
      return {{r - 1, t + 1}, {0, -1}, {r - 2, t}, {1, 0}, {r - 1, b - 2}, {0, 1}, {r - 2, b}, {1, 0},
              {r - 2, t + 1}, {1, 0}, {r - 2, b - 2}, {1, 0}, {r - 3, t + 1}, {1, 0}, {r - 2, t + 2}, {0, -1},
              {r - 3, b - 2}, {1, 0}, {r - 2, b - 3}, {0, 1}};
    default:
      return {{l, t + 1}, {0, -1}, {l + 1, t}, {-1, 0}, {r - 2, t}, {1, 0}, {r - 1, t + 1}, {0, -1},
              {l + 1, t + 1}, {-1, 0}, {r - 2, t + 1}, {1, 0}, {l + 2, t + 1}, {-1, 0}, {l + 1, t + 2}, {0, -1},
              {r - 3, t + 1}, {1, 0}, {r - 2, t + 2}, {0, -1}};
  }
}

// The inner rectangle: one pixel in at the near end, the strip side and the far end.
CRect InnerRect(CRect rc, int nPosition) { return TKTabDeflate(rc, CRect(1, 1, 1, 0), nPosition); }

void RoundOutline(CDC* pDC, const CRect& rc, COLORREF clr)
{
  CTKPenDC pen(pDC->GetSafeHdc(), clr);
  HGDIOBJ hOldBrush = pDC->SelectObject(::GetStockObject(NULL_BRUSH));
  pDC->RoundRect(rc.left, rc.top, rc.right, rc.bottom, 6, 6);
  pDC->SelectObject(hOldBrush);
}

}  // namespace

void CTKTabPaintManager::CAppearanceSetPropertyPageFlat::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = PositionOf(pItem);
  const BOOL bSelected = pItem->IsSelected();
  const COLORREF clrBorder = pColorSet->m_clrFrameBorder;
  const CRect rc = AtFarEnd(pItem->m_rcItem, nPosition, 1);
  const CRect rcInner = InnerRect(rc, nPosition);
  const int nSaved = pDC->SaveDC();
  CTKDrawHelpers::ExcludeCorners(pDC, TowardsClient(rc, nPosition, 1));
  if (m_bDocking) {
    if (bSelected) {
      pColorSet->FillTab(pDC, rcInner, pItem);
      RoundOutline(pDC, TowardsClient(rc, nPosition, 2), clrBorder);
    } else if (!IsLastTab(pItem)) {
      FarSeparator(pDC, rc, nPosition, 3, clrBorder);
    }
  } else if (m_bFramed) {
    pColorSet->FillTab(pDC, rcInner, pItem);
    Frame(pDC, bSelected ? TowardsClient(rc, nPosition, 1) : rc, clrBorder);
    const std::vector<POINT> pairs = SoftCorners(rc, nPosition);
    CTKDrawHelpers::BlendPixels(pDC, pairs.data(), static_cast<int>(pairs.size()));
  } else {
    pColorSet->FillTab(pDC, rcInner, pItem);
    if (!bSelected && m_pPaintManager->m_nClientFrame != 2) {
      switch (nPosition) {
        case TK_TAB_POSITION_LEFT: VLine(pDC, rc.right - 1, rc.top, rc.bottom, clrBorder); break;
        case TK_TAB_POSITION_BOTTOM: HLine(pDC, rc.left, rc.right, rc.top, clrBorder); break;
        case TK_TAB_POSITION_RIGHT: VLine(pDC, rc.left, rc.top, rc.bottom, clrBorder); break;
        default: HLine(pDC, rc.left, rc.right, rc.bottom - 1, clrBorder); break;
      }
    }
    RoundOutline(pDC, TowardsClient(rc, nPosition, 2), clrBorder);
  }
  pDC->RestoreDC(nSaved);
  DrawContent(m_pPaintManager, pDC, pItem, pItem->m_rcItem);
}

// ---- Property Page 2003 (3)

CRect CTKTabPaintManager::CAppearanceSetPropertyPage2003::GetHeaderMargin()
{
  CRect rc = m_rcHeaderMargin;
  rc.left += m_nTextHeight;
  return rc;
}

int CTKTabPaintManager::CAppearanceSetPropertyPage2003::GetTabLength(CDC* pDC, CTKTabManagerItem* pItem)
{
  const int nLength = CAppearanceSet::GetTabLength(pDC, pItem);
  // The next tab's slant reaches h - 8 back over this one at its foot; the caption already ends 6 short of the
  // far end. Fixed lengths are the owner's choice and stay as they are.
  if (pItem->m_pTabManager == nullptr || m_pPaintManager->GetLayout() == TK_TAB_LAYOUT_FIXED)
    return nLength;
  const int nRoom = std::max(GetRowHeight(pItem->m_pTabManager) - 8 - 6, 0);
  return nLength + nRoom;
}

CRect CTKTabPaintManager::CAppearanceSetPropertyPage2003::FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rc)
{
  CColorSet* pColorSet = GetColorSet();
  const CRect rcHeader = GetHeaderRect(rc, pTabManager);
  pColorSet->FillHeader(pDC, rcHeader, pTabManager);
  const CRect rcClient = GetClientRect(rc, pTabManager);
  if (m_pPaintManager->m_nClientFrame == 0) {
    pColorSet->FillClient(pDC, rcClient, pTabManager);
    Frame(pDC, rcClient, pColorSet->m_clrSelectedTabOutline);
  } else if (m_pPaintManager->m_nClientFrame == 1) {
    StripSideLine(pDC, rcClient, pTabManager->GetStripPosition(), pColorSet->m_clrSelectedTabOutline);
  }
  return rcHeader;
}

void CTKTabPaintManager::CAppearanceSetPropertyPage2003::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = PositionOf(pItem);
  const BOOL bSelected = pItem->IsSelected();
  const int l = pItem->m_rcItem.left;
  const int t = pItem->m_rcItem.top;
  const int r = pItem->m_rcItem.right;
  const int b = pItem->m_rcItem.bottom;
  const int h = b - t;
  const int w = r - l;
  std::vector<CPoint> fill, outline, light, light2;
  switch (nPosition) {
    case TK_TAB_POSITION_LEFT:
      fill = Steps({r - 1, b - 1}, {{l - r + 3, 0}, {0, t - b + 5}, {r - l - 3, l - r + 3}});
      outline = Steps({r - 2, b}, {{l - r + 4, 0}, {-2, -2}, {0, t - b + 9}, {2, -5}, {r - l - 4, l - r + 4}, {0, -2}});
      light = Steps({r - 2, b - 1}, {{l - r + 4, 0}, {-2, -2}});
      light2 = Steps({l + 1, b - 3}, {{0, t - b + 9}, {3, -5}, {r - l - 5, l - r + 5}});
      break;
    case TK_TAB_POSITION_BOTTOM:
      fill = Steps({r - 1, t}, {{0, b - t - 1}, {l - r + 5, 0}, {t - b + 3, t - b + 2}});
      outline = Steps({r, t + 1}, {{0, b - t - 3}, {-2, 2}, {l - r + 9, 0}, {-5, -2}, {t - b + 3, t - b + 3}, {-2, 0}});
      light = Steps({r - 1, t + 1}, {{0, b - t - 3}, {-2, 2}});
      light2 = Steps({r - 3, b - 1}, {{l - r + 9, 0}, {-5, -3}, {t - b + 4, t - b + 4}});
      break;
    case TK_TAB_POSITION_RIGHT:
      fill = Steps({l + 1, b - 1}, {{r - l - 2, 0}, {0, t - b + 5}, {l - r + 2, l - r + 2}});
      outline = Steps({l + 1, b}, {{r - l - 3, 0}, {2, -2}, {0, t - b + 9}, {-2, -5}, {l - r + 3, l - r + 3}, {0, -2}});
      light = Steps({l + 1, b - 1}, {{r - l - 3, 0}, {2, -2}});
      light2 = Steps({r - 1, b - 3}, {{0, t - b + 9}, {-3, -5}, {l - r + 4, l - r + 4}});
      break;
    default:
      fill = Steps({r - 1, b - 1}, {{0, t - b + 3}, {l - r + 5, 0}, {t - b + 4, b - t - 4}});
      outline = Steps({r, b - 2}, {{0, t - b + 4}, {-2, -2}, {l - r + 9, 0}, {-5, 2}, {t - b + 4, b - t - 4}, {-2, 0}});
      light = Steps({r - 1, b - 2}, {{0, t - b + 4}, {-2, -2}});
      light2 = Steps({r - 3, t + 1}, {{l - r + 9, 0}, {-5, 3}, {t - b + 5, b - t - 5}});
      break;
  }
  const COLORREF clrFace = FillShape(pDC, pColorSet, fill, pItem);
  COLORREF clrOutline = bSelected ? pColorSet->m_clrSelectedTabOutline : pColorSet->m_clrTabOutline;
  COLORREF clrLight = bSelected ? kWhite : static_cast<COLORREF>(pColorSet->m_clrTabInnerLight);
  COLORREF clrLight2 = bSelected ? kWhite : static_cast<COLORREF>(pColorSet->m_clrTabInnerLight2);
  if (m_bHotHighlight && pItem->IsHot()) {
    clrOutline = clrLight = clrLight2 = pColorSet->m_clrButtonPressedFrame.clrDark;
  }
  Polyline(pDC, outline, clrOutline);
  Polyline(pDC, light, clrLight);
  Polyline(pDC, light2, clrLight2);
  if (bSelected && clrFace != kUnset) {
    switch (nPosition) {
      case TK_TAB_POSITION_LEFT: pDC->FillSolidRect(r - 1, t + 5 - w, 1, b - t + w - 4, clrFace); break;
      case TK_TAB_POSITION_BOTTOM: pDC->FillSolidRect(l + 4 - h, t, r - l + h - 3, 1, clrFace); break;
      case TK_TAB_POSITION_RIGHT: pDC->FillSolidRect(l, t + 4 - w, 1, b - t + w - 3, clrFace); break;
      default: pDC->FillSolidRect(l + 5 - h, b - 1, r - l + h - 4, 1, clrFace); break;
    }
  }
  DrawContent(m_pPaintManager, pDC, pItem, pItem->m_rcItem);
}

// ---- State Buttons (4)

CRect CTKTabPaintManager::CAppearanceSetStateButtons::FillHeader(CTKTabManager* pTabManager, CDC* /*pDC*/, CRect rc)
{
  return GetHeaderRect(rc, pTabManager);
}

void CTKTabPaintManager::CAppearanceSetStateButtons::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  GetColorSet()->FillStateButtonFace(pDC, pItem->m_rcItem, pItem);
  DrawContent(m_pPaintManager, pDC, pItem, pItem->m_rcItem);
}

// ---- Visual Studio (5)

CRect CTKTabPaintManager::CAppearanceSetVisualStudio::FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rc)
{
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = pTabManager->GetStripPosition();
  const CRect rcHeader = GetHeaderRect(rc, pTabManager);
  pColorSet->FillHeader(pDC, rcHeader, pTabManager);
  const CRect rcClient = GetClientRect(rc, pTabManager);
  const COLORREF clrLight = pColorSet->m_clrBorderHighlight;
  const COLORREF clrDark = pColorSet->m_clrSelectedText;
  if (m_pPaintManager->m_nClientFrame == 0) {
    pColorSet->FillClient(pDC, rcClient, pTabManager);
    pDC->Draw3dRect(rcClient, clrLight, clrDark);
  } else if (m_pPaintManager->m_nClientFrame == 1) {
    const BOOL bLightSide = nPosition == TK_TAB_POSITION_TOP || nPosition == TK_TAB_POSITION_LEFT;
    StripSideLine(pDC, rcClient, nPosition, bLightSide ? clrLight : clrDark);
  }
  return rcHeader;
}

void CTKTabPaintManager::CAppearanceSetVisualStudio::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = PositionOf(pItem);
  if (pItem->IsSelected()) {
    const CRect rc = TowardsClient(pItem->m_rcItem, nPosition, 1);
    pColorSet->FillTab(pDC, rc, pItem);
    pDC->Draw3dRect(rc, pColorSet->m_clrBorderHighlight, pColorSet->m_clrSelectedText);
  } else {
    FarSeparator(pDC, pItem->m_rcItem, nPosition, 2, pColorSet->m_clrFrameBorder);
  }
  DrawContent(m_pPaintManager, pDC, pItem, pItem->m_rcItem);
}

// ---- Excel (7)

CRect CTKTabPaintManager::CAppearanceSetExcel::GetHeaderMargin()
{
  CRect rc = m_rcHeaderMargin;
  rc.left += m_nTextHeight / 2;
  rc.right += m_nTextHeight / 2;
  return rc;
}

namespace {

// Points given along the strip (u) and across it from the strip side (v) turned into the DC's coordinates.
class TabSpace {
public:
  TabSpace(const CRect& rc, int nPosition) : m_rc(rc), m_nPosition(nPosition) {}
  int Length() const { return Vertical() ? m_rc.Height() : m_rc.Width(); }
  int Thickness() const { return Vertical() ? m_rc.Width() : m_rc.Height(); }
  CPoint operator()(int u, int v) const
  {
    switch (m_nPosition) {
      case TK_TAB_POSITION_LEFT: return CPoint(m_rc.left + v, m_rc.top + u);
      case TK_TAB_POSITION_BOTTOM: return CPoint(m_rc.left + u, m_rc.bottom - 1 - v);
      case TK_TAB_POSITION_RIGHT: return CPoint(m_rc.right - 1 - v, m_rc.top + u);
      default: return CPoint(m_rc.left + u, m_rc.top + v);
    }
  }

private:
  BOOL Vertical() const { return m_nPosition == TK_TAB_POSITION_LEFT || m_nPosition == TK_TAB_POSITION_RIGHT; }
  CRect m_rc;
  int m_nPosition;
};

}  // namespace

void CTKTabPaintManager::CAppearanceSetExcel::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = PositionOf(pItem);
  CRect rc = TowardsClient(pItem->m_rcItem, nPosition, -1);
  const TabSpace probe(rc, nPosition);
  const int nQuarter = probe.Thickness() / 4;
  if (nPosition == TK_TAB_POSITION_LEFT || nPosition == TK_TAB_POSITION_RIGHT) {
    rc.OffsetRect(0, -nQuarter);
  } else {
    rc.OffsetRect(-nQuarter, 0);
  }
  const TabSpace at(rc, nPosition);
  const int n = at.Length();
  const int v = at.Thickness();
  const int k = v / 2;
  // Top side (strip side) from k to n; base (client side) from 0 to n + k.
  const std::vector<CPoint> shape = {at(0, v), at(k, 0), at(n, 0), at(n + k, v)};
  const COLORREF clrFace = FillShape(pDC, pColorSet, shape, pItem);
  const BOOL bSelected = pItem->IsSelected();
  const CTKPaintManagerColor* edges = bSelected ? pColorSet->m_csExcelSelected : pColorSet->m_csExcelNormal;
  const BOOL bBottom = nPosition == TK_TAB_POSITION_BOTTOM;
  const COLORREF clrOuterStrip = bBottom ? edges[1] : edges[0];
  const COLORREF clrInnerStrip = bBottom ? edges[5] : edges[3];
  Polyline(pDC, {at(0, v), at(k, 0)}, edges[0]);
  Polyline(pDC, {at(k, 0), at(n, 0)}, clrOuterStrip);
  Polyline(pDC, {at(n, 0), at(n + k, v)}, edges[2]);
  Polyline(pDC, {at(1, v), at(k + 1, 1)}, edges[3]);
  Polyline(pDC, {at(k + 1, 1), at(n - 1, 1)}, clrInnerStrip);
  Polyline(pDC, {at(n - 1, 1), at(n + k - 1, v)}, edges[4]);
  if (bSelected) {
    Polyline(pDC, {at(0, v), at(n + k, v)}, clrFace);
  }
  DrawContent(m_pPaintManager, pDC, pItem, pItem->m_rcItem);
}

// ---- Visio (8)

CRect CTKTabPaintManager::CAppearanceSetVisio::GetHeaderRect(CRect /*rc*/, CTKTabManager* /*pTabManager*/)
{
  return CRect();
}

void CTKTabPaintManager::CAppearanceSetVisio::AdjustLayout(CTKTabManager* pTabManager, CDC* pDC, CRect rc)
{
  rc = TKTabDeflate(rc, m_pPaintManager->m_rcControlMargin, pTabManager->GetStripPosition());
  const int h = GetRowHeight(pTabManager);
  const int x = m_pPaintManager->m_nClientFrame == 2 ? 0 : 1;
  const int nCount = pTabManager->GetTabCount();
  const CTKTabManagerItem* pSelected = pTabManager->GetSelectedTab();
  const int nSelected = pSelected != nullptr ? pSelected->m_nIndex : nCount - 1;
  int y = rc.top + 1;
  for (int i = 0; i < nCount; ++i) {
    CTKTabManagerItem* pItem = pTabManager->GetTab(i);
    pItem->m_nLength = pItem->m_nNaturalLength = pItem->m_bVisible ? GetTabLength(pDC, pItem) : 0;
    if (i == nSelected + 1) {
      // The tabs after the selected one sit at the bottom, leaving the client area between.
      const int nBelow = (nCount - i) * h;
      const int nSelectedTop = pTabManager->GetTab(nSelected)->m_rcItem.top;
      y = std::max(rc.bottom - 1 - nBelow, nSelectedTop + 2 * h);
    }
    pItem->m_rcItem.SetRect(rc.left + x, y, rc.right, y + h);
    y += h;
  }
}

CRect CTKTabPaintManager::CAppearanceSetVisio::GetClientRect(CRect rc, CTKTabManager* pTabManager)
{
  const CTKTabManagerItem* pSelected = pTabManager->GetSelectedTab();
  const int nCount = pTabManager->GetTabCount();
  const int x = m_pPaintManager->m_nClientFrame == 2 ? 0 : 1;
  const int h = GetRowHeight(pTabManager);
  if (pSelected == nullptr || nCount == 0) {
    return rc;
  }
  CRect rcClient(rc.left + x, pSelected->m_rcItem.bottom + 1, rc.right - x, rc.bottom);
  if (pSelected->m_nIndex + 1 < nCount) {
    rcClient.bottom = pTabManager->GetTab(pSelected->m_nIndex + 1)->m_rcItem.top;
  } else if (m_pPaintManager->m_nClientFrame != 2) {
    rcClient.bottom = rc.bottom - 1;
  }
  rcClient.bottom = std::max(rcClient.bottom, static_cast<LONG>(rcClient.top + h));
  return rcClient;
}

void CTKTabPaintManager::CAppearanceSetVisio::CalcClientArea(CTKTabManager* pTabManager, CRect& rcClient)
{
  const int nPosition = pTabManager->GetStripPosition();
  rcClient = TKTabDeflate(rcClient, m_pPaintManager->m_rcControlMargin, nPosition);
  rcClient = GetClientRect(rcClient, pTabManager);
  rcClient = TKTabDeflate(rcClient, GetClientMargin(), nPosition);
}

void CTKTabPaintManager::CAppearanceSetVisio::PaintStrip(CTKTabManager* pTabManager, CDC* pDC, CRect rc)
{
  CColorSet* pColorSet = GetColorSet();
  pDC->FillSolidRect(rc, pColorSet->m_clrControlFace);
  rc = TKTabDeflate(rc, m_pPaintManager->m_rcControlMargin, pTabManager->GetStripPosition());
  pDC->SetBkMode(TRANSPARENT);
  const int nSaved = pDC->SaveDC();
  pDC->IntersectClipRect(rc);
  if (m_pPaintManager->m_nClientFrame != 2) {
    Frame(pDC, rc, pColorSet->m_clrFrameBorder);
  } else if (pTabManager->GetTabCount() > 0) {
    HLine(pDC, rc.left, rc.right, rc.top, pColorSet->m_clrFrameBorder);
  }
  for (int i = pTabManager->GetTabCount() - 1; i >= 0; --i) {
    CTKTabManagerItem* pItem = pTabManager->GetTab(i);
    if (pItem->m_bVisible && !CRect(pItem->m_rcItem.Intersect(rc)).IsRectEmpty()) {
      DrawTab(pDC, pItem);
    }
  }
  pDC->RestoreDC(nSaved);
}

void CTKTabPaintManager::CAppearanceSetVisio::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  CColorSet* pColorSet = GetColorSet();
  const CRect rc = pItem->m_rcItem;
  pColorSet->FillTab(pDC, rc, pItem);
  pDC->Draw3dRect(rc, pColorSet->m_clrBorderHighlight, pColorSet->m_clrFrameBorder);
  const COLORREF clrGrip = TKColorManager().GetColor(38);
  for (int y = rc.top + 4; y < rc.bottom - 4; y += 2) {
    HLine(pDC, rc.right - 7, rc.right - 4, y, clrGrip);
  }
  CRect rcContent = rc;
  rcContent.right -= 7;
  DrawContent(m_pPaintManager, pDC, pItem, rcContent);
}

// ---- Visual Studio 2005 (9)

CRect CTKTabPaintManager::CAppearanceSetVisualStudio2005::GetHeaderMargin()
{
  CRect rc = m_rcHeaderMargin;
  rc.left += m_nTextHeight / 2;
  return rc;
}

void CTKTabPaintManager::CAppearanceSetVisualStudio2005::DrawTab(CDC* pDC, CTKTabManagerItem* pItem)
{
  CColorSet* pColorSet = GetColorSet();
  const int nPosition = PositionOf(pItem);
  const BOOL bSelected = pItem->IsSelected();
  const int l = pItem->m_rcItem.left;
  const int t = pItem->m_rcItem.top;
  const int r = pItem->m_rcItem.right;
  const int b = pItem->m_rcItem.bottom;
  const BOOL bHorizontal = nPosition == TK_TAB_POSITION_TOP || nPosition == TK_TAB_POSITION_BOTTOM;
  const int g = bHorizontal ? (b - t) / 2 : (r - l) / 2;
  std::vector<CPoint> outline, light, light2;
  switch (nPosition) {
    case TK_TAB_POSITION_LEFT:
      outline = Steps({r - 1, b + g - 4},
                      {{6 - 2 * g, 3 - g}, {-4, -4}, {-1, -3}, {0, t - b + 16}, {1, -3}, {3, -3}, {2 * g - 4, 2 - g}});
      light = Steps({r - 1, b + g - 5}, {{6 - 2 * g, 3 - g}, {-3, -3}, {-1, -3}});
      light2 = Steps({r + 1 - 2 * g, b - 8}, {{0, t - b + 16}, {1, -3}, {2, -2}, {2 * g - 4, 2 - g}});
      break;
    case TK_TAB_POSITION_BOTTOM:
      outline = Steps({r + g - 4, t + 1},
                      {{3 - g, 2 * g - 6}, {-4, 4}, {-2, 1}, {l - r + 14, 0}, {-2, -1}, {-3, -3}, {2 - g, 4 - 2 * g}});
      light = Steps({r + g - 5, t + 1}, {{3 - g, 2 * g - 6}, {-3, 3}, {-2, 1}});
      light2 = Steps({l + 7, t + 2 * g - 1}, {{-2, -1}, {-2, -2}, {2 - g, 4 - 2 * g}});
      break;
    case TK_TAB_POSITION_RIGHT:
      outline = Steps({l, b + g - 4},
                      {{2 * g - 5, 3 - g}, {4, -4}, {1, -3}, {0, t - b + 16}, {-1, -3}, {-3, -3}, {4 - 2 * g, 2 - g}});
      light = Steps({l, b + g - 5}, {{2 * g - 5, 3 - g}, {3, -3}, {1, -3}, {0, t - b + 14}});
      light2 = Steps({l + 2 * g - 2, t + 5}, {{-2, -2}, {4 - 2 * g, 2 - g}});
      break;
    default:
      outline = Steps({r + g - 4, b - 1},
                      {{3 - g, 6 - 2 * g}, {-4, -4}, {-3, -1}, {l - r + 16, 0}, {-3, 1}, {-3, 3}, {2 - g, 2 * g - 4}});
      light = Steps({r + g - 5, b - 1}, {{3 - g, 6 - 2 * g}, {-3, -3}, {-3, -1}});
      light2 = Steps({r - 7, b - 2 * g + 1}, {{l - r + 15, 0}, {-3, 1}, {-2, 2}, {2 - g, 2 * g - 4}});
      break;
  }
  FillShape(pDC, pColorSet, outline, pItem);
  Polyline(pDC, outline, bSelected ? pColorSet->m_clrSelectedTabOutline : pColorSet->m_clrTabOutline);
  Polyline(pDC, light, bSelected ? kWhite : static_cast<COLORREF>(pColorSet->m_clrTabInnerLight));
  Polyline(pDC, light2, bSelected ? kWhite : static_cast<COLORREF>(pColorSet->m_clrTabInnerLight2));
  DrawContent(m_pPaintManager, pDC, pItem, pItem->m_rcItem);
}
