// The row layout of a bar's controls: wrap into rows at a length, place the rows, centre each control in its
// row, then push far-end controls to the end and share the free room among stretched ones.
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/controls.h"
#include "toolkit/paint/paint_manager.h"

namespace {

constexpr int kGroupGap = 6;
constexpr int kUnlimited = 32767;

}  // namespace

int CTKControls::WrapRows(std::vector<LayoutRecord>& records, int nLength, DWORD& dwMode, BOOL bVert) const
{
  int nWraps = 0;
  int nExtent = 0;
  int nFirstVisible = -1;
  int nLastWrap = -1;
  for (int i = 0; i < static_cast<int>(records.size()); ++i) {
    records[i].bWrap = FALSE;
    records[i].bHide = FALSE;
  }
  for (int i = 0; i < static_cast<int>(records.size()); ++i) {
    LayoutRecord& record = records[i];
    if (!record.bVisible)
      continue;
    int nSize = bVert ? record.szControl.cy : record.szControl.cx;
    BOOL bFirst = nFirstVisible == -1;
    if (bFirst)
      nFirstVisible = i;
    BOOL bGroup = record.bBeginGroup && !bFirst;
    nExtent += nSize + (bGroup ? kGroupGap : 0);
    if (!bFirst && (nExtent > nLength || ((dwMode & TK_LM_POPUP) && bGroup))) {
      if (dwMode & TK_LM_HIDEWRAP) {
        for (int j = i; j < static_cast<int>(records.size()); ++j)
          records[j].bHide = TRUE;
        dwMode |= LM_STRETCH;
        return nWraps;
      }
      int nWrap = i;
      if (!(dwMode & TK_LM_POPUP) || !bGroup) {
        for (int j = i; j > nLastWrap && j > nFirstVisible; --j) {
          if (records[j].bVisible && records[j].bBeginGroup) {
            nWrap = j;
            break;
          }
        }
      }
      records[nWrap].bWrap = TRUE;
      nLastWrap = nWrap;
      nExtent = bVert ? records[nWrap].szControl.cy : records[nWrap].szControl.cx;
      i = nWrap;
      if (!(dwMode & TK_LM_HIDEWRAP))
        dwMode |= LM_STRETCH;
      ++nWraps;
    }
  }
  return nWraps + 1;
}

CSize CTKControls::PlaceRows(std::vector<LayoutRecord>& records, BOOL bVert, CSize szSeparator) const
{
  CSize size(0, 0);
  int x = 0;
  int y = 0;
  int nRow = 0;
  BOOL bFirst = TRUE;
  for (LayoutRecord& record : records) {
    if (!record.bVisible || record.bHide)
      continue;
    CSize sz = record.szControl;
    if (!bVert) {
      if (record.bWrap && !bFirst) {
        y += nRow + (record.bBeginGroup ? szSeparator.cy : 0);
        x = 0;
        nRow = 0;
      } else if (record.bBeginGroup && !bFirst) {
        x += szSeparator.cx;
      }
      record.rcControl = CRect(x, y, x + sz.cx, y + sz.cy);
      size.cx = std::max(size.cx, record.rcControl.right);
      size.cy = std::max(size.cy, record.rcControl.bottom);
      x += sz.cx;
      nRow = std::max(nRow, static_cast<int>(sz.cy));
    } else {
      if (record.bWrap && !bFirst) {
        x -= nRow + (record.bBeginGroup ? szSeparator.cy : 0);
        y = 0;
        nRow = 0;
      } else if (record.bBeginGroup && !bFirst) {
        y += szSeparator.cx;
      }
      record.rcControl = CRect(x - sz.cx, y, x, y + sz.cy);
      size.cx = std::max(size.cx, sz.cx - x);
      size.cy = std::max(size.cy, record.rcControl.bottom);
      y += sz.cy;
      nRow = std::max(nRow, static_cast<int>(sz.cx));
    }
    bFirst = FALSE;
  }
  return size;
}

void CTKControls::AlignRows(std::vector<LayoutRecord>& records, CSize szContent, const CRect& rcBorder,
                            BOOL bVert) const
{
  std::vector<LayoutRecord*> placed;
  for (LayoutRecord& record : records) {
    if (record.bVisible && !record.bHide) {
      record.rcControl.OffsetRect(rcBorder.left + (bVert ? szContent.cx : 0), rcBorder.top);
      placed.push_back(&record);
    }
  }
  int nRows = 1;
  for (size_t i = 1; i < placed.size(); ++i)
    if (placed[i]->bWrap)
      ++nRows;
  size_t nStart = 0;
  while (nStart < placed.size()) {
    size_t nEnd = nStart + 1;
    while (nEnd < placed.size() && !placed[nEnd]->bWrap)
      ++nEnd;
    int nThickness = 0;
    if (nRows == 1) {
      nThickness = bVert ? szContent.cx : szContent.cy;
    } else {
      for (size_t i = nStart; i < nEnd; ++i)
        nThickness = std::max(nThickness, static_cast<int>(bVert ? placed[i]->rcControl.Width()
                                                                 : placed[i]->rcControl.Height()));
    }
    for (size_t i = nStart; i < nEnd; ++i) {
      CRect& rc = placed[i]->rcControl;
      if (!bVert) {
        int nTop = placed[nStart]->rcControl.top;
        placed[i]->rcRow = CRect(rcBorder.left, nTop, rcBorder.left + szContent.cx, nTop + nThickness);
        rc.OffsetRect(0, (nThickness - rc.Height()) / 2);
      } else {
        int nRight = placed[nStart]->rcControl.right;
        placed[i]->rcRow = CRect(nRight - nThickness, rcBorder.top, nRight, rcBorder.top + szContent.cy);
        rc.OffsetRect(-(nThickness - rc.Width()) / 2, 0);
      }
    }
    nStart = nEnd;
  }
}

void CTKControls::ApplyAlignment(std::vector<LayoutRecord>& records, CSize szBar, const CRect& rcBorder,
                                 BOOL bVert) const
{
  int nFar = bVert ? szBar.cy - rcBorder.bottom : szBar.cx - rcBorder.right;
  int nLead = bVert ? rcBorder.top : rcBorder.left;
  int nFarEndStart = -1;
  for (int i = static_cast<int>(records.size()) - 1; i >= 0; --i) {
    LayoutRecord& record = records[i];
    CTKControl* pControl = m_arrControls[static_cast<size_t>(i)];
    if (!record.bVisible || record.bHide)
      continue;
    if (!(pControl->GetFlags() & TK_FLAG_RIGHTALIGN))
      break;
    int nExtent = bVert ? record.rcControl.Height() : record.rcControl.Width();
    int nStart = nFar - nExtent;
    if (nStart < nLead)
      break;
    if (bVert)
      record.rcControl.OffsetRect(0, nStart - record.rcControl.top);
    else
      record.rcControl.OffsetRect(nStart - record.rcControl.left, 0);
    nFar = nStart;
    nFarEndStart = i;
    if (record.bWrap)
      break;
  }
  // Rows from the last: the free room of a row goes to its stretched controls.
  int nEnd = static_cast<int>(records.size());
  BOOL bLastRow = TRUE;
  while (nEnd > 0) {
    int nStart = nEnd - 1;
    while (nStart > 0 && !(records[nStart].bVisible && !records[nStart].bHide && records[nStart].bWrap))
      --nStart;
    int nRowFar = bVert ? szBar.cy - rcBorder.bottom : szBar.cx - rcBorder.right;
    if (bLastRow && nFarEndStart >= 0)
      nRowFar = bVert ? records[nFarEndStart].rcControl.top : records[nFarEndStart].rcControl.left;
    int nLastEdge = -1;
    int nStretched = 0;
    for (int i = nStart; i < nEnd; ++i) {
      if (!records[i].bVisible || records[i].bHide || (bLastRow && nFarEndStart >= 0 && i >= nFarEndStart))
        continue;
      nLastEdge = bVert ? records[i].rcControl.bottom : records[i].rcControl.right;
      if (m_arrControls[static_cast<size_t>(i)]->GetFlags() & TK_FLAG_STRETCHED)
        ++nStretched;
    }
    int nFree = nRowFar - nLastEdge;
    if (nLastEdge >= 0 && nFree > 0 && nStretched > 0) {
      int nShift = 0;
      int nRemaining = nStretched;
      for (int i = nStart; i < nEnd; ++i) {
        if (!records[i].bVisible || records[i].bHide || (bLastRow && nFarEndStart >= 0 && i >= nFarEndStart))
          continue;
        CRect& rc = records[i].rcControl;
        if (bVert)
          rc.OffsetRect(0, nShift);
        else
          rc.OffsetRect(nShift, 0);
        if (m_arrControls[static_cast<size_t>(i)]->GetFlags() & TK_FLAG_STRETCHED) {
          int nGrow = nFree / nRemaining;
          nFree -= nGrow;
          --nRemaining;
          if (bVert)
            rc.bottom += nGrow;
          else
            rc.right += nGrow;
          nShift += nGrow;
        }
      }
    }
    nEnd = nStart;
    bLastRow = FALSE;
  }
}

CSize CTKControls::WrapAndPlace(std::vector<LayoutRecord>& records, int nLength, DWORD& dwMode, BOOL bVert,
                                CSize szSeparator) const
{
  WrapRows(records, nLength, dwMode, bVert);
  return PlaceRows(records, bVert, szSeparator);
}

CSize CTKControls::CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder, int nWidth)
{
  CTKPaintManager* pPaintManager = m_pParent ? m_pParent->GetPaintManager() : CTKPaintManager::GetCurrent();
  CSize szSeparator = pPaintManager->DrawCommandBarSeparator(pDC, m_pParent, nullptr, FALSE);
  for (int i = GetCount() - 1; i >= 0; --i)
    m_arrControls[static_cast<size_t>(i)]->OnCalcDynamicSize(dwMode);

  BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
  if (GetVisibleCount(FALSE) == 0) {
    CSize size(rcBorder.left + rcBorder.right + 23, rcBorder.top + rcBorder.bottom + 22);
    if (dwMode & LM_HORZDOCK)
      size.cy = std::max(size.cy, static_cast<LONG>(nWidth));
    else
      size.cx = std::max(size.cx, static_cast<LONG>(nWidth));
    return size;
  }

  std::vector<LayoutRecord> records(m_arrControls.size());
  for (size_t i = 0; i < m_arrControls.size(); ++i) {
    CTKControl* pControl = m_arrControls[i];
    records[i].szControl = pControl->GetSize(pDC);
    records[i].rcControl = pControl->GetRect();
    records[i].bBeginGroup = pControl->GetBeginGroup();
    records[i].bVisible = (pControl->GetHideFlags() & ~TK_HIDEWRAP) == 0;
  }

  int nMRUWidth = m_pParent ? m_pParent->m_nMRUWidth : kUnlimited;
  int nLen = (dwMode & LM_MRUWIDTH) ? nMRUWidth : nLength;
  CSize szContent;
  if (dwMode & TK_LM_POPUP) {
    szContent = WrapAndPlace(records, nMRUWidth, dwMode, bVert, szSeparator);
    if (szContent.cx * 3 < szContent.cy && nMRUWidth < 1) {
      // Bisect for the width at which the content is as wide as it is high.
      int nLow = 0;
      int nHigh = kUnlimited;
      while (nLow < nHigh) {
        int nMid = (nLow + nHigh) / 2;
        szContent = WrapAndPlace(records, nMid, dwMode, bVert, szSeparator);
        if (szContent.cx < szContent.cy) {
          if (nLow == nMid + 1 || nMid == nLow)
            break;
          nLow = nMid + 1;
        } else if (szContent.cy < szContent.cx) {
          nHigh = nMid;
        } else {
          break;
        }
      }
    } else {
      szContent = WrapAndPlace(records, szContent.cx, dwMode, bVert, szSeparator);
    }
  } else if (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) {
    int nRoom = (dwMode & LM_HORZDOCK) ? nLen - rcBorder.left - rcBorder.right : nLen - rcBorder.top - rcBorder.bottom;
    szContent = WrapAndPlace(records, nRoom, dwMode, bVert, szSeparator);
  } else if (dwMode & LM_LENGTHY) {
    int nHeight = nLen - rcBorder.top - rcBorder.bottom;
    int nLow = 0;
    int nHigh = kUnlimited;
    CSize szNarrow = WrapAndPlace(records, nLow, dwMode, bVert, szSeparator);
    CSize szWide = WrapAndPlace(records, nHigh, dwMode, bVert, szSeparator);
    (void)szNarrow;
    (void)szWide;
    int nWrapAt = nHigh;
    while (nLow < nHigh) {
      int nMid = (nLow + nHigh) / 2;
      szContent = WrapAndPlace(records, nMid, dwMode, bVert, szSeparator);
      if (szContent.cy > nHeight) {
        if (nLow == nMid + 1)
          break;
        nLow = nMid + 1;
        nWrapAt = nHigh;
      } else if (szContent.cy < nHeight) {
        nHigh = nMid;
        nWrapAt = nMid;
      } else {
        nWrapAt = nMid;
        break;
      }
    }
    szContent = WrapAndPlace(records, nWrapAt, dwMode, bVert, szSeparator);
  } else {
    int nRoom = nLen - rcBorder.left - rcBorder.right;
    // Probes only count rows: a probe that wraps must not leave the stretch bit for the real pass.
    auto countRows = [&](int nAt) {
      DWORD dwProbe = dwMode;
      return WrapRows(records, nAt, dwProbe, bVert);
    };
    int nRows = countRows(nRoom);
    int nRows0 = countRows(0);
    int nWrapAt = nRoom;
    if (nRows != nRows0 && nRoom > 0) {
      int nLow = 0;
      int nHigh = nRoom;
      while (nHigh - nLow > 1) {
        int nMid = (nLow + nHigh) / 2;
        if (countRows(nMid) == nRows)
          nHigh = nMid;
        else
          nLow = nMid;
      }
      nWrapAt = nHigh;
    }
    szContent = WrapAndPlace(records, nWrapAt, dwMode, bVert, szSeparator);
    szContent = WrapAndPlace(records, szContent.cx, dwMode, bVert, szSeparator);
  }

  if (nWidth > 0) {
    if (dwMode & LM_HORZDOCK)
      szContent.cy = std::max(szContent.cy, static_cast<LONG>(nWidth - rcBorder.top - rcBorder.bottom));
    else
      szContent.cx = std::max(szContent.cx, static_cast<LONG>(nWidth - rcBorder.left - rcBorder.right));
  }
  if (dwMode & LM_STRETCH) {
    if (bVert)
      szContent.cy = std::max(szContent.cy, static_cast<LONG>(nLen - rcBorder.top - rcBorder.bottom));
    else
      szContent.cx = std::max(szContent.cx, static_cast<LONG>(nLen - rcBorder.left - rcBorder.right));
  }
  if (dwMode & LM_COMMIT)
    AlignRows(records, szContent, rcBorder, bVert);
  CSize size(szContent.cx + rcBorder.left + rcBorder.right, szContent.cy + rcBorder.top + rcBorder.bottom);

  if (dwMode & LM_COMMIT) {
    ApplyAlignment(records, size, rcBorder, bVert);
    for (size_t i = 0; i < m_arrControls.size(); ++i) {
      CTKControl* pControl = m_arrControls[i];
      const LayoutRecord& record = records[i];
      pControl->SetHideFlag(TK_HIDEWRAP, record.bHide);
      pControl->m_rcRow = record.rcRow;
      if (!record.bHide)
        pControl->SetRect(record.rcControl);
      pControl->m_bWrap = record.bWrap;
    }
  }
  return size;
}
