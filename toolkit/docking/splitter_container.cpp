#include "toolkit/docking/splitter_container.h"

#include "platform/mfc/ctrlbar.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/pane_manager.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/draw_tracking.h"
#include "toolkit/paint/resource_manager.h"

#include <algorithm>

namespace {

constexpr UINT kIdcSplitterHorizontal = 9970;  // toolkit cursors: a row's bar, a column's bar
constexpr UINT kIdcSplitterVertical = 9971;

int SplitterWidth(const CTKDockingPaneManager* pManager)
{
  const CTKDockingPanePaintManager* pPaint = pManager != nullptr ? pManager->GetPaintManager() : nullptr;
  return pPaint != nullptr ? pPaint->GetSplitterWidth() : 4;
}

void MinMaxAlong(const CTKDockingPaneBase* pPane, BOOL bHoriz, int& nMin, int& nMax)
{
  MINMAXINFO mmi{};
  pPane->GetMinMaxInfo(&mmi);
  nMin = bHoriz ? mmi.ptMinTrackSize.x : mmi.ptMinTrackSize.y;
  nMax = bHoriz ? mmi.ptMaxTrackSize.x : mmi.ptMaxTrackSize.y;
}

void DelayLayout(CWnd* pSite)
{
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(pSite); pFrame != nullptr) {
    pFrame->DelayRecalcLayout();
  }
}

}  // namespace

// ---- The container

CTKDockingPaneSplitterContainer::CTKDockingPaneSplitterContainer(CTKDockingPaneLayout* pLayout)
    : CTKDockingPaneBase(TK_DOCKINGPANE_SPLITTER, pLayout)
{
}

CTKDockingPaneSplitterContainer::~CTKDockingPaneSplitterContainer()
{
  while (!m_lstSpliters.IsEmpty()) {
    delete m_lstSpliters.RemoveHead();
  }
}

void CTKDockingPaneSplitterContainer::DelaySiteLayout() const { DelayLayout(m_pDockingSite); }

void CTKDockingPaneSplitterContainer::Init(CTKDockingPaneBase* pPane, BOOL bHoriz, CWnd* pSite)
{
  m_pDockingSite = pSite;
  m_bHoriz = bHoriz;
  InsertChild(pPane, nullptr, TRUE);
  m_szDocking = pPane->m_szDocking;
}

void CTKDockingPaneSplitterContainer::InsertChild(CTKDockingPaneBase* pPane, CTKDockingPaneBase* pNeighbour,
                                                  BOOL bAfter)
{
  POSITION pos = pNeighbour != nullptr ? m_lstChildren.Find(pNeighbour) : nullptr;
  if (bAfter) {
    m_lstChildren.InsertAfter(pos, pPane);
  } else {
    m_lstChildren.InsertBefore(pos, pPane);
  }
  pPane->SetParentContainer(this);
  pPane->SetDockingSite(m_pDockingSite);
  DelaySiteLayout();
  RecreateSplitters();
  if (m_pParentContainer != nullptr) {
    m_pParentContainer->OnChildContainerChanged(this);
  }
  pPane->OnParentContainerChanged(this);
}

void CTKDockingPaneSplitterContainer::ReplaceChild(CTKDockingPaneBase* pOld, CTKDockingPaneBase* pNew)
{
  POSITION pos = m_lstChildren.Find(pOld);
  if (pos == nullptr) {
    return;
  }
  m_lstChildren.SetAt(pos, pNew);
  pNew->SetParentContainer(this);
  RecreateSplitters();
  if (m_pParentContainer != nullptr) {
    m_pParentContainer->OnChildContainerChanged(this);
  }
}

void CTKDockingPaneSplitterContainer::FindChildren(int nType, CTKDockingPaneNodeList* pList) const
{
  for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pChild = m_lstChildren.GetNext(pos);
    if (pChild->GetType() == nType && !pChild->IsEmpty()) {
      pList->AddTail(pChild);
    }
  }
}

BOOL CTKDockingPaneSplitterContainer::IsChildBefore(const CTKDockingPaneBase* pChild, POSITION pos) const
{
  for (POSITION p = m_lstChildren.GetHeadPosition(); p != nullptr && p != pos;) {
    if (m_lstChildren.GetNext(p) == pChild) {
      return TRUE;
    }
  }
  return FALSE;
}

POSITION CTKDockingPaneSplitterContainer::ContainPane(CTKDockingPaneBase* pPane) const
{
  if (pPane == this) {
    return BEFORE_START_POSITION;
  }
  for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr;) {
    POSITION posChild = pos;
    if (m_lstChildren.GetNext(pos)->ContainPane(pPane) != nullptr) {
      return posChild;
    }
  }
  return nullptr;
}

void CTKDockingPaneSplitterContainer::FindPane(int nType, CTKDockingPaneNodeList* pList)
{
  for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pChild = m_lstChildren.GetNext(pos);
    if (pChild->IsEmpty()) {
      continue;
    }
    if (pChild->GetType() == nType) {
      pList->AddTail(pChild);
    } else {
      pChild->FindPane(nType, pList);
    }
  }
}

BOOL CTKDockingPaneSplitterContainer::IsEmpty() const
{
  for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr;) {
    if (!m_lstChildren.GetNext(pos)->IsEmpty()) {
      return FALSE;
    }
  }
  return TRUE;
}

void CTKDockingPaneSplitterContainer::AdjustPanesLength(CTKDockingPaneManager* pManager,
                                                        const CTKDockingPaneNodeList& lst, CRect rect, BOOL bHoriz,
                                                        BOOL bApply, int& nTotalLength, int& nLengthAvail)
{
  nTotalLength = 0;
  nLengthAvail = 0;
  CTKDockingPaneBase* pClient = pManager->GetClientPane();
  CTKDockingPaneBase* pStretch = nullptr;

  // 1. Each child asks for its extent within its limits; the child holding the client area stretches.
  for (POSITION pos = lst.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pPane = lst.GetNext(pos);
    int nMin = 0;
    int nMax = 0;
    MinMaxAlong(pPane, bHoriz, nMin, nMax);
    pPane->m_nLength = std::max(nMin, std::min(pPane->GetExtent(bHoriz), nMax));
    if (pStretch == nullptr && pPane->ContainPane(pClient) != nullptr &&
        (!pManager->m_bHideClient || pPane->m_szDocking == CSize(0, 0))) {
      pStretch = pPane;
      if (bApply) {
        pPane->m_szDocking = CSize(0, 0);
      }
      pPane->m_nLength = 0;
    }
    nTotalLength += pPane->m_nLength;
  }

  // 2. What the splitter bars leave.
  nLengthAvail = (bHoriz ? rect.Width() : rect.Height()) - static_cast<int>(lst.GetCount() - 1) * SplitterWidth(pManager);

  // 3. The stretch child takes up the slack.
  if (pStretch != nullptr && nTotalLength < nLengthAvail) {
    pStretch->m_nLength = nLengthAvail - nTotalLength;
    if (bApply) {
      pStretch->SetExtent(bHoriz, pStretch->m_nLength);
    }
    nTotalLength = nLengthAvail;
  }

  // 4.
  if (nLengthAvail <= 0) {
    return;
  }

  // 5. A share outside a child's limits fixes it there (negative length); the others share what is left.
  for (POSITION pos = lst.GetHeadPosition(); pos != nullptr && nTotalLength != 0;) {
    CTKDockingPaneBase* pPane = lst.GetNext(pos);
    if (pPane->m_nLength < 0) {
      continue;
    }
    int nMin = 0;
    int nMax = 0;
    MinMaxAlong(pPane, bHoriz, nMin, nMax);
    const int nShare = nLengthAvail * pPane->m_nLength / nTotalLength;
    int nFixed = 0;
    if (nShare < nMin) {
      nFixed = -nMin;
    } else if (nShare > nMax) {
      nFixed = -nMax;
    } else {
      continue;
    }
    const int nFormer = pPane->m_nLength;
    pPane->m_nLength = nFixed;
    nLengthAvail += nFixed;
    nTotalLength -= nFormer;
    if (nLengthAvail < 0) {
      pPane->m_nLength -= nLengthAvail;
      nLengthAvail = 0;
      return;
    }
    pos = lst.GetHeadPosition();
  }
}

CRect CTKDockingPaneSplitterContainer::GetPaneRect(BOOL bHoriz, const CTKDockingPaneNodeList& lst, CRect rect,
                                                   const CTKDockingPaneBase* pPane, CTKDockingPaneManager* pManager)
{
  int nTotal = 0;
  int nAvail = 0;
  AdjustPanesLength(pManager, lst, rect, bHoriz, FALSE, nTotal, nAvail);
  const int nSplitter = SplitterWidth(pManager);
  int nStart = bHoriz ? rect.left : rect.top;
  for (POSITION pos = lst.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pChild = lst.GetNext(pos);
    int nSize = 0;
    if (pChild->m_nLength >= 1) {
      nSize = nTotal != 0 ? nAvail * pChild->m_nLength / nTotal : 0;
      nTotal -= pChild->m_nLength;
      nAvail = std::max(nAvail - nSize, 0);
    } else if (pChild->m_nLength < 0) {
      nSize = -pChild->m_nLength;
    }
    const int nEnd = pos == nullptr ? (bHoriz ? rect.right : rect.bottom) : nStart + nSize;
    if (pChild == pPane) {
      return bHoriz ? CRect(nStart, rect.top, nEnd, rect.bottom) : CRect(rect.left, nStart, rect.right, nEnd);
    }
    nStart = nEnd + nSplitter;
  }
  return CRect(0, 0, 0, 0);
}

void CTKDockingPaneSplitterContainer::OnSizeParent(CWnd* pSite, CRect rect, AFX_SIZEPARENTPARAMS* pParams)
{
  m_pDockingSite = pSite;
  m_rcWindow = rect;
  CTKDockingPaneManager* pManager = GetDockingPaneManager();

  CTKDockingPaneNodeList lst;
  BOOL bClientHere = FALSE;
  for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pChild = m_lstChildren.GetNext(pos);
    if (pChild->ContainPane(pManager->GetClientPane()) != nullptr) {
      bClientHere = TRUE;
    }
    if (!pChild->IsEmpty()) {
      lst.AddTail(pChild);
    }
  }
  if (pManager->m_bHideClient && bClientHere) {
    pManager->GetClientPane()->OnSizeParent(pSite, CRect(0, 0, 0, 0), pParams);
  }
  if (lst.IsEmpty()) {
    return;
  }
  if (lst.GetCount() == 1) {
    lst.GetHead()->OnSizeParent(pSite, rect, pParams);
    return;
  }
  if (m_bRecalcLayout) {
    return;
  }
  m_bRecalcLayout = TRUE;
  int nTotal = 0;
  int nAvail = 0;
  AdjustPanesLength(pManager, lst, rect, m_bHoriz, TRUE, nTotal, nAvail);
  const int nSplitter = SplitterWidth(pManager);
  POSITION posSplitter = m_lstSpliters.GetHeadPosition();
  int nStart = m_bHoriz ? rect.left : rect.top;
  for (POSITION pos = lst.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pChild = lst.GetNext(pos);
    int nSize = 0;
    if (pChild->m_nLength >= 1) {
      nSize = nTotal != 0 ? nAvail * pChild->m_nLength / nTotal : 0;
      nTotal -= pChild->m_nLength;
      nAvail = std::max(nAvail - nSize, 0);
    } else if (pChild->m_nLength < 0) {
      nSize = -pChild->m_nLength;
    }
    const int nEnd = pos == nullptr ? (m_bHoriz ? rect.right : rect.bottom) : nStart + nSize;
    const CRect rcChild = m_bHoriz ? CRect(nStart, rect.top, nEnd, rect.bottom) : CRect(rect.left, nStart, rect.right, nEnd);
    pChild->OnSizeParent(pSite, rcChild, pParams);
    if (pos != nullptr) {
      CRect rcBar = m_bHoriz ? CRect(nEnd, rect.top, nEnd + nSplitter, rect.bottom)
                             : CRect(rect.left, nEnd, rect.right, nEnd + nSplitter);
      if (posSplitter != nullptr) {
        CTKDockingPaneSplitterWnd* pBar = m_lstSpliters.GetNext(posSplitter);
        if (pParams != nullptr && pParams->hDWP != nullptr && pBar->GetSafeHwnd() != nullptr) {
          rcBar = CRect(rcBar.Intersect(rect));
          ::SetWindowPos(pBar->GetSafeHwnd(), HWND_BOTTOM, rcBar.left, rcBar.top, rcBar.Width(), rcBar.Height(), 0);
          pBar->Invalidate(FALSE);
        }
      }
    }
    nStart = nEnd + nSplitter;
  }
  m_bRecalcLayout = FALSE;
}

void CTKDockingPaneSplitterContainer::GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const
{
  CTKDockingPaneBase::GetMinMaxInfo(pMinMaxInfo);
  int nCount = 0;
  for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pChild = m_lstChildren.GetNext(pos);
    if (pChild->IsEmpty()) {
      continue;
    }
    MINMAXINFO mmi{};
    pChild->GetMinMaxInfo(&mmi);
    if (nCount++ == 0) {
      pMinMaxInfo->ptMinTrackSize = mmi.ptMinTrackSize;
      pMinMaxInfo->ptMaxTrackSize = mmi.ptMaxTrackSize;
      continue;
    }
    POINT& ptMin = pMinMaxInfo->ptMinTrackSize;
    POINT& ptMax = pMinMaxInfo->ptMaxTrackSize;
    if (m_bHoriz) {
      ptMin.x += mmi.ptMinTrackSize.x;
      ptMax.x += mmi.ptMaxTrackSize.x;
      ptMin.y = std::max(ptMin.y, mmi.ptMinTrackSize.y);
      ptMax.y = std::min(ptMax.y, mmi.ptMaxTrackSize.y);
    } else {
      ptMin.y += mmi.ptMinTrackSize.y;
      ptMax.y += mmi.ptMaxTrackSize.y;
      ptMin.x = std::max(ptMin.x, mmi.ptMinTrackSize.x);
      ptMax.x = std::min(ptMax.x, mmi.ptMaxTrackSize.x);
    }
  }
  if (nCount > 1) {
    const int nGaps = (nCount - 1) * SplitterWidth(GetDockingPaneManager());
    (m_bHoriz ? pMinMaxInfo->ptMinTrackSize.x : pMinMaxInfo->ptMinTrackSize.y) += nGaps;
    (m_bHoriz ? pMinMaxInfo->ptMaxTrackSize.x : pMinMaxInfo->ptMaxTrackSize.y) += nGaps;
  }
}

void CTKDockingPaneSplitterContainer::OnChildContainerChanged(CTKDockingPaneBase* /*pContainer*/)
{
  if (m_pParentContainer != nullptr) {
    m_pParentContainer->OnChildContainerChanged(this);
  }
  RecreateSplitters();
  DelaySiteLayout();
}

void CTKDockingPaneSplitterContainer::OnParentContainerChanged(CTKDockingPaneBase* pContainer)
{
  m_pDockingSite = pContainer->GetDockingSite();
  RecreateSplitters();
  for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr;) {
    m_lstChildren.GetNext(pos)->OnParentContainerChanged(pContainer);
  }
}

CTKDockingPaneBase* CTKDockingPaneSplitterContainer::Clone(CTKDockingPaneLayout* pLayout,
                                                           CTKDockingPaneNodeMap* pMap, DWORD dwIgnoredOptions)
{
  auto* pClone = static_cast<CTKDockingPaneSplitterContainer*>(
      GetDockingPaneManager()->OnCreatePane(TK_DOCKINGPANE_SPLITTER, pLayout));
  pClone->m_bHoriz = m_bHoriz;
  pClone->m_szDocking = m_szDocking;
  pClone->m_rcWindow = m_rcWindow;
  pClone->m_pDockingSite = GetDockingPaneManager()->GetSite();
  // Copy the list first: moving panes out may take emptied children out of this one.
  CTKDockingPaneNodeList lstChildren;
  lstChildren.AddTail(&m_lstChildren);
  for (POSITION pos = lstChildren.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pChild = lstChildren.GetNext(pos);
    if (pMap == nullptr && pChild->IsEmpty()) {
      continue;
    }
    if (CTKDockingPaneBase* pChildClone = pChild->Clone(pLayout, pMap, dwIgnoredOptions); pChildClone != nullptr) {
      pClone->InsertChild(pChildClone, nullptr, TRUE);
    }
  }
  if (pMap != nullptr) {
    pMap->SetAt(this, pClone);
  }
  return pClone;
}

void CTKDockingPaneSplitterContainer::RemovePane(CTKDockingPaneBase* pPane)
{
  POSITION pos = m_lstChildren.Find(pPane);
  if (pos == nullptr) {
    return;
  }
  m_lstChildren.RemoveAt(pos);
  RecreateSplitters();
  DelaySiteLayout();
  if (m_pParentContainer != nullptr) {
    m_pParentContainer->OnChildContainerChanged(this);
    if (m_lstChildren.IsEmpty()) {
      m_pParentContainer->RemovePane(this);
    }
  }
  pPane->m_pParentContainer = nullptr;
}

CTKDockingPaneSplitterWnd* CTKDockingPaneSplitterContainer::CreateSplitter() { return new CTKDockingPaneSplitterWnd(); }

void CTKDockingPaneSplitterContainer::RecreateSplitters()
{
  if (m_bRecalcLayout) {
    return;
  }
  while (!m_lstSpliters.IsEmpty()) {
    delete m_lstSpliters.RemoveHead();
  }
  // A detached layout (loaded, saved or copied) makes no windows.
  if (m_lstChildren.GetCount() < 2 || !m_pLayout->IsUserLayout() || m_pDockingSite == nullptr ||
      m_pDockingSite->GetSafeHwnd() == nullptr) {
    return;
  }
  CTKDockingPaneBase* pPrevious = nullptr;
  for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pChild = m_lstChildren.GetNext(pos);
    if (pChild->IsEmpty()) {
      continue;
    }
    if (pPrevious != nullptr) {
      CTKDockingPaneSplitterWnd* pBar = CreateSplitter();
      pBar->Create(this, pPrevious, pChild);
      m_lstSpliters.AddTail(pBar);
    }
    pPrevious = pChild;
  }
}

void CTKDockingPaneSplitterContainer::StoreSizes()
{
  const CRect rc = m_rcWindow;
  SetExtent(m_bHoriz, m_bHoriz ? rc.Width() : rc.Height());
  for (POSITION pos = m_lstChildren.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pChild = m_lstChildren.GetNext(pos);
    if (!pChild->IsEmpty()) {
      pChild->SetExtent(m_bHoriz, m_bHoriz ? pChild->m_rcWindow.Width() : pChild->m_rcWindow.Height());
    }
  }
}

// ---- The bar

BEGIN_MESSAGE_MAP(CTKDockingPaneSplitterWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CTKDockingPaneSplitterWnd::~CTKDockingPaneSplitterWnd()
{
  if (GetSafeHwnd() != nullptr) {
    DestroyWindow();
  }
}

BOOL CTKDockingPaneSplitterWnd::Create(CTKDockingPaneSplitterContainer* pContainer, CTKDockingPaneBase* pFirst,
                                       CTKDockingPaneBase* pSecond)
{
  m_pContainer = pContainer;
  m_pFirst = pFirst;
  m_pSecond = pSecond;
  m_hCursor = TKResourceManager()->LoadCursor(pContainer->IsHoriz() ? kIdcSplitterHorizontal : kIdcSplitterVertical);
  LPCSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  return CreateEx(0, lpszClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0,
                  pContainer->GetDockingSite()->GetSafeHwnd(), nullptr);
}

BOOL CTKDockingPaneSplitterWnd::IsHorizontal() const { return !m_pContainer->IsHoriz(); }

void CTKDockingPaneSplitterWnd::OnPaint()
{
  CPaintDC dc(this);
  if (CTKDockingPanePaintManager* pPaint = m_pContainer->GetPaintManager(); pPaint != nullptr) {
    pPaint->DrawSplitter(&dc, this);
  }
}

BOOL CTKDockingPaneSplitterWnd::GetAvailableRect(CRect& rcAvail, CRect& rcUnion) const
{
  CTKDockingPaneManager* pManager = m_pContainer->GetDockingPaneManager();
  CRect rcBar;
  GetWindowRect(&rcBar);
  rcUnion = CRect(m_pFirst->GetScreenRect().Union(m_pSecond->GetScreenRect()));
  const int nGap = pManager->m_nSplitterGap;
  const int nSplitter = SplitterWidth(pManager);
  MINMAXINFO mmiFirst{};
  MINMAXINFO mmiSecond{};
  m_pFirst->GetMinMaxInfo(&mmiFirst);
  m_pSecond->GetMinMaxInfo(&mmiSecond);
  rcAvail = rcBar;
  if (m_pContainer->IsHoriz()) {
    int nLow = rcUnion.left + std::max(nGap, static_cast<int>(mmiFirst.ptMinTrackSize.x));
    int nHigh = rcUnion.right - std::max(nGap, nSplitter + static_cast<int>(mmiSecond.ptMinTrackSize.x));
    if (mmiFirst.ptMaxTrackSize.x < rcUnion.Width()) {
      nHigh = std::min(nHigh, rcUnion.left + static_cast<int>(mmiFirst.ptMaxTrackSize.x));
    }
    if (mmiSecond.ptMaxTrackSize.x < rcUnion.Width()) {
      nLow = std::max(nLow, rcUnion.right - static_cast<int>(mmiSecond.ptMaxTrackSize.x) - nSplitter);
    }
    rcAvail.left = nLow;
    rcAvail.right = nHigh;
    return nLow < nHigh;
  }
  int nLow = rcUnion.top + std::max(nGap, static_cast<int>(mmiFirst.ptMinTrackSize.y));
  int nHigh = rcUnion.bottom - std::max(nGap, nSplitter + static_cast<int>(mmiSecond.ptMinTrackSize.y));
  if (mmiFirst.ptMaxTrackSize.y < rcUnion.Height()) {
    nHigh = std::min(nHigh, rcUnion.top + static_cast<int>(mmiFirst.ptMaxTrackSize.y));
  }
  if (mmiSecond.ptMaxTrackSize.y < rcUnion.Height()) {
    nLow = std::max(nLow, rcUnion.bottom - static_cast<int>(mmiSecond.ptMaxTrackSize.y) - nSplitter);
  }
  rcAvail.top = nLow;
  rcAvail.bottom = nHigh;
  return nLow < nHigh;
}

void CTKDockingPaneSplitterWnd::ApplyBarRect(CRect rcBar, const CRect& rcUnion)
{
  const BOOL bHoriz = m_pContainer->IsHoriz();
  const int nSplitter = SplitterWidth(m_pContainer->GetDockingPaneManager());
  const int nSum = m_pFirst->GetExtent(bHoriz) + m_pSecond->GetExtent(bHoriz);
  const int nOffset = bHoriz ? rcBar.left - rcUnion.left : rcBar.top - rcUnion.top;
  const int nSpan = bHoriz ? rcUnion.Width() : rcUnion.Height();
  if (nSpan <= 0) {
    return;
  }
  int nFirst = static_cast<int>(static_cast<long long>(nSum + nSplitter) * nOffset / nSpan);
  if ((GetExStyle() & WS_EX_LAYOUTRTL) != 0) {
    nFirst = nSum - nFirst;
  }
  m_pFirst->SetExtent(bHoriz, nFirst);
  m_pSecond->SetExtent(bHoriz, nSum - nFirst);
}

void CTKDockingPaneSplitterWnd::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
  CTKDockingPaneManager* pManager = m_pContainer->GetDockingPaneManager();
  CRect rcAvail;
  CRect rcUnion;
  if (pManager->m_bLockSplitters || !GetAvailableRect(rcAvail, rcUnion)) {
    return;
  }
  m_pContainer->StoreSizes();
  const BOOL bHoriz = m_pContainer->IsHoriz();
  CRect rcBar;
  GetWindowRect(&rcBar);
  CWnd* pFrame = GetParent();
  ClientToScreen(&point);

  if (pManager->m_bUseSplitterTracker) {
    CTKSplitterTracker tracker;
    if (tracker.Track(this, rcAvail, rcBar, point, bHoriz)) {
      ApplyBarRect(rcBar, rcUnion);
      DelayLayout(pFrame);
    }
    return;
  }

  // Live resizing: the panes follow the mouse; Esc or the release keeps what was reached.
  SetCapture();
  const int nOffset = bHoriz ? rcBar.left - point.x : rcBar.top - point.y;
  HWND hWnd = GetSafeHwnd();
  MSG msg{};
  while (::GetCapture() == hWnd) {
    MSG paint{};
    while (::PeekMessage(&paint, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
      ::DispatchMessage(&paint);
    }
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      ::ClientToScreen(msg.hwnd, &pt);
      const int nLow = bHoriz ? rcAvail.left : rcAvail.top;
      const int nHigh = bHoriz ? rcAvail.right : rcAvail.bottom;
      const int nPos = std::max(nLow, std::min((bHoriz ? pt.x : pt.y) + nOffset, nHigh));
      const int nShift = nPos - (bHoriz ? rcBar.left : rcBar.top);
      if (nShift != 0) {
        rcBar.OffsetRect(bHoriz ? nShift : 0, bHoriz ? 0 : nShift);
        ApplyBarRect(rcBar, rcUnion);
        if (auto* pSite = dynamic_cast<CFrameWnd*>(pFrame); pSite != nullptr) {
          pSite->RecalcLayout();
        }
      }
    } else if (msg.message == WM_LBUTTONUP || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
      break;
    } else {
      ::DispatchMessage(&msg);
    }
  }
  if (::GetCapture() == hWnd) {
    ::ReleaseCapture();
  }
}

BOOL CTKDockingPaneSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
  CRect rcAvail;
  CRect rcUnion;
  if (!m_pContainer->GetDockingPaneManager()->m_bLockSplitters && m_hCursor != nullptr &&
      GetAvailableRect(rcAvail, rcUnion)) {
    ::SetCursor(m_hCursor);
    return TRUE;
  }
  return CWnd::OnSetCursor(pWnd, nHitTest, message);
}
