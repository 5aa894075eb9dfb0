// A bar as the target of a customise drag: where a dragged control would go, the mark that shows it, and the
// drop that inserts a copy (or, dropped on itself, starts or ends a group).
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/control_button.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/paint_manager.h"

namespace {

constexpr int kMarkSize = 6;
constexpr int kMoveThreshold = 4;
constexpr int kMarkColor = 15;

}  // namespace

int CTKCommandBar::CalcInsertMark(CTKControl* pControl, CPoint point, BOOL& bAfter, CRect& rcMark) const
{
  BOOL bVert = m_barPosition == tkBarLeft || m_barPosition == tkBarRight || m_barPosition == tkBarPopup;
  bAfter = TRUE;
  rcMark.SetRectEmpty();
  int nBest = -1;
  int nBestDistance = INT_MAX;
  int nLast = -1;
  for (int i = 0; i < GetControlCount(); ++i) {
    CTKControl* pCandidate = GetControl(i);
    if (pCandidate->GetHideFlags() != 0 || (pCandidate->GetFlags() & TK_FLAG_NOMOVABLE))
      continue;
    const CRect& rc = pCandidate->GetRect();
    if (pCandidate->GetWrap() && nLast != -1) {
      // A new row (column): beyond the point the search ends, else the point's row starts here.
      if (bVert ? point.x > rc.right : point.y < rc.top)
        break;
      nBest = -1;
      nBestDistance = INT_MAX;
    }
    nLast = i;
    int nDistance = bVert ? abs(rc.CenterPoint().y - point.y) : abs(rc.CenterPoint().x - point.x);
    if (nDistance < nBestDistance) {
      nBest = i;
      nBestDistance = nDistance;
    }
  }
  if (nBest == -1) {
    CRect rcClient(0, 0, 0, 0);
    if (GetSafeHwnd())
      GetClientRect(&rcClient);
    rcMark = CRect(rcClient.left + 2, rcClient.top + 2, rcClient.left + 8, rcClient.bottom - 2);
    return -1;
  }
  CTKControl* pBest = GetControl(nBest);
  if (pBest == pControl) {
    bAfter = bVert ? point.y > pBest->GetRect().CenterPoint().y : point.x > pBest->GetRect().CenterPoint().x;
    return nBest;
  }
  const CRect& rc = pBest->GetRect();
  bAfter = bVert ? point.y > rc.CenterPoint().y : point.x > rc.CenterPoint().x;
  // The next control shown after this one: at the last, or before a group or a row, the mark stays inside.
  CTKControl* pNext = nullptr;
  for (int i = nBest + 1; i < GetControlCount() && !pNext; ++i)
    if (GetControl(i)->GetHideFlags() == 0)
      pNext = GetControl(i);
  BOOL bInside = !pNext || pNext->GetBeginGroup() || pNext->GetWrap();
  if (!bVert) {
    if (!bAfter)
      rcMark = CRect(rc.left - kMarkSize / 2, rc.top, rc.left + kMarkSize / 2, rc.bottom);
    else if (bInside)
      rcMark = CRect(rc.right - kMarkSize, rc.top, rc.right, rc.bottom);
    else
      rcMark = CRect(rc.right - kMarkSize / 2, rc.top, rc.right + kMarkSize / 2, rc.bottom);
  } else {
    if (!bAfter)
      rcMark = CRect(rc.left, rc.top - kMarkSize / 2, rc.right, rc.top + kMarkSize / 2);
    else if (bInside)
      rcMark = CRect(rc.left, rc.bottom - kMarkSize, rc.right, rc.bottom);
    else
      rcMark = CRect(rc.left, rc.bottom, rc.right, rc.bottom + kMarkSize);
  }
  return nBest;
}

void CTKCommandBar::OnCustomizeDragEnter(CTKControl* pDataObject, CPoint point)
{
  m_rcMarker.SetRectEmpty();
  DROPEFFECT dropEffect = DROPEFFECT_COPY;
  OnCustomizeDragOver(pDataObject, point, dropEffect);
}

void CTKCommandBar::OnCustomizeDragLeave()
{
  m_rcMarker.SetRectEmpty();
  if (GetSafeHwnd())
    InvalidateRect(nullptr, FALSE);
}

void CTKCommandBar::OnCustomizeDragOver(CTKControl* pDataObject, CPoint point, DROPEFFECT& dropEffect)
{
  if (!IsCustomizable() || !IsVisible())
    return;
  if (CTKControl* pUnder = m_pControls->HitTest(point)) {
    if (!GetParentBar() && pUnder->GetIndex() != m_nPopuped) {
      if (CTKCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->ClosePopups();
    }
    pUnder->OnCustomizeDragOver(pDataObject, point);
    if (!pUnder->IsCustomizeDragOverAvail(pDataObject, point))
      return;
  }
  BOOL bAfter = FALSE;
  CalcInsertMark(pDataObject, point, bAfter, m_rcMarker);
  m_bVerticalMarker = IsVerticalPosition(m_barPosition);
  (void)dropEffect;
  if (GetSafeHwnd())
    InvalidateRect(nullptr, FALSE);
}

void CTKCommandBar::OnCustomizeDrop(CTKControl* pDataObject, DROPEFFECT& dropEffect, CPoint ptDrop, CPoint ptDrag)
{
  BOOL bAfter = FALSE;
  CRect rcMark;
  int nIndex = CalcInsertMark(pDataObject, ptDrop, bAfter, rcMark);
  BOOL bSelf = nIndex != -1 && GetControl(nIndex) == pDataObject;
  if (!bSelf) {
    SetPopuped(-1, FALSE);
    SetSelected(-1, FALSE);
    int nInsert = nIndex == -1 ? GetControlCount() : (bAfter ? nIndex + 1 : nIndex);
    CTKControl* pBefore = GetControl(nInsert);
    CTKControl* pCopy = m_pControls->AddClone(pDataObject, nInsert, TRUE);
    if (pBefore && pBefore->GetBeginGroup()) {
      pBefore->SetBeginGroup(FALSE);
      pCopy->SetBeginGroup(TRUE);
    }
    if (CTKCommandBars* pCommandBars = GetCommandBars())
      pCommandBars->SetDragControl(pCopy);
  } else if (abs(ptDrop.x - ptDrag.x) > kMoveThreshold || abs(ptDrop.y - ptDrag.y) > kMoveThreshold) {
    pDataObject->SetBeginGroup(bAfter && nIndex != 0);
    dropEffect = DROPEFFECT_CANCEL_MARK;
  }
  OnRecalcLayout();
  m_rcMarker.SetRectEmpty();
  if (GetSafeHwnd())
    InvalidateRect(nullptr, FALSE);
}

void CTKCommandBar::DrawDropMark(CDC* pDC)
{
  if (m_rcMarker.IsRectEmpty())
    return;
  CBrush brush(TKColorManager().GetColor(kMarkColor));
  CBrush* pOld = pDC->SelectObject(&brush);
  const CRect& rc = m_rcMarker;
  if (!m_bVerticalMarker) {
    // An upright I-beam: bars at both ends, a narrower one inside each, a 2-pixel stem.
    pDC->PatBlt(rc.left, rc.top, rc.Width(), 1, PATINVERT);
    pDC->PatBlt(rc.left + 1, rc.top + 1, rc.Width() - 2, 1, PATINVERT);
    pDC->PatBlt(rc.left, rc.bottom - 1, rc.Width(), 1, PATINVERT);
    pDC->PatBlt(rc.left + 1, rc.bottom - 2, rc.Width() - 2, 1, PATINVERT);
    pDC->PatBlt(rc.CenterPoint().x - 1, rc.top + 2, 2, rc.Height() - 4, PATINVERT);
  } else {
    pDC->PatBlt(rc.left, rc.top, 1, rc.Height(), PATINVERT);
    pDC->PatBlt(rc.left + 1, rc.top + 1, 1, rc.Height() - 2, PATINVERT);
    pDC->PatBlt(rc.right - 1, rc.top, 1, rc.Height(), PATINVERT);
    pDC->PatBlt(rc.right - 2, rc.top + 1, 1, rc.Height() - 2, PATINVERT);
    pDC->PatBlt(rc.left + 2, rc.CenterPoint().y - 1, rc.Width() - 4, 2, PATINVERT);
  }
  pDC->SelectObject(pOld);
}
