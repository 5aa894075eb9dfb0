#include "toolkit/commandbars/controllists.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/commandbar.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/prop_exchange.h"
#include "toolkit/commandbars/tabclient.h"
#include "platform/base/fileops.h"
#include "platform/mfc/recentfilelist.h"
#include "platform/mfc/winapp.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CTKControlListBase, CTKControlButton)
IMPLEMENT_DYNCREATE(CTKControlWindowList, CTKControlListBase)
IMPLEMENT_DYNCREATE(CTKControlToolbars, CTKControlListBase)
IMPLEMENT_DYNCREATE(CTKControlOleItems, CTKControlListBase)
IMPLEMENT_DYNCREATE(CTKControlRecentFileList, CTKControlListBase)
IMPLEMENT_DYNCREATE(CTKControlWorkspaceActions, CTKControlListBase)
IMPLEMENT_SERIAL(CTKControlSelector, CTKControl, TK_BAR_CLASS_SCHEMA)

namespace {

constexpr int kMaxListedWindows = 9;
constexpr int kWorkspaceFirst = 9420;
constexpr int kWorkspaceLast = 9423;
const char kToolbarParameter[] = "CTKControlToolbar";
const char kOleParameter[] = "OLEMENUPOPUP";

UINT g_nFirstMDIChild = 0xFF00;

CMDIFrameWnd* SiteMDIFrame(CTKControl* pControl)
{
  CTKCommandBar* pBar = pControl->GetParent();
  CWnd* pSite = pBar ? pBar->GetSite() : nullptr;
  return pSite ? dynamic_cast<CMDIFrameWnd*>(pSite) : nullptr;
}

// Removes the controls after the placeholder while they match.
template <class Pred>
void RemoveFollowing(CTKControl* pPlaceholder, Pred pred)
{
  CTKControls* pControls = pPlaceholder->GetControls();
  if (!pControls)
    return;
  while (CTKControl* pNext = pControls->GetAt(pPlaceholder->GetIndex() + 1)) {
    if (!pred(pNext))
      break;
    pControls->Remove(pNext);
  }
}

}  // namespace

CString TKNumberedMenuText(const CString& strText, int n)
{
  CString strDoubled;
  for (int i = 0; i < strText.GetLength(); ++i) {
    char ch = strText[i];
    strDoubled += ch;
    if (ch == '&')
      strDoubled += '&';
  }
  CString strResult;
  if (n == 0)
    strResult = strDoubled;
  else if (n == 10)
    strResult.Format("1&0 %s", static_cast<LPCSTR>(strDoubled));
  else if (n >= 1 && n <= 9)
    strResult.Format("&%i %s", n, static_cast<LPCSTR>(strDoubled));
  else
    strResult.Format("%i %s", n, static_cast<LPCSTR>(strDoubled));
  return strResult;
}

// ---- Shared

BOOL CTKControlListBase::IsCustomizeDragOverAvail(CTKControl* /*pDataObject*/, CPoint /*point*/)
{
  return m_pParent && m_pParent->GetType() == tkBarTypePopup;
}

CTKControl* CTKControlListBase::AddGenerated(int nId, int nAfter, const CString& strCaption)
{
  if (!m_pControls)
    return nullptr;
  CTKControl* pItem = m_pControls->InsertAt(new CTKControlButton, nId, CString(), nAfter + 1, TRUE);
  pItem->SetCaption(strCaption);
  pItem->SetFlags(pItem->GetFlags() | TK_FLAG_MANUALUPDATE);
  return pItem;
}

// ---- Window list

UINT CTKControlWindowList::GetFirstMDIChild() { return g_nFirstMDIChild; }

void CTKControlWindowList::ResetFirstMDIChildForTest() { g_nFirstMDIChild = 0xFF00; }

void CTKControlWindowList::OnCalcDynamicSize(DWORD /*dwMode*/)
{
  RemoveFollowing(this, [](CTKControl* p) { return static_cast<UINT>(p->GetID()) >= g_nFirstMDIChild; });
  CMDIFrameWnd* pFrame = SiteMDIFrame(this);
  if (IsCustomizeMode() || !pFrame || !pFrame->m_hWndMDIClient) {
    SetHideFlags(0);
    return;
  }
  SetHideFlags(TK_HIDEGENERIC);
  HWND hwndClient = pFrame->m_hWndMDIClient;
  HWND hwndActive = reinterpret_cast<HWND>(::SendMessage(hwndClient, WM_MDIGETACTIVE, 0, 0));
  if (hwndActive) {
    int nActiveId = ::GetDlgCtrlID(hwndActive);
    // The id range the children use tells where the list starts, and it keeps to it.
    if (nActiveId >= 0x8000 && nActiveId <= 0x800E)
      g_nFirstMDIChild = 0x8000;
    else if (nActiveId >= 1 && nActiveId <= 14)
      g_nFirstMDIChild = 1;
  }
  int nAfter = GetIndex();
  int nListed = 0;
  for (UINT nId = g_nFirstMDIChild; nListed < kMaxListedWindows; ++nId) {
    HWND hwndChild = ::GetDlgItem(hwndClient, static_cast<int>(nId));
    if (!hwndChild)
      break;
    if (!::IsWindowVisible(hwndChild))
      continue;
    char szText[257] = {};
    ::GetWindowText(hwndChild, szText, 256);
    ++nListed;
    CTKControl* pItem = AddGenerated(static_cast<int>(nId), nAfter, TKNumberedMenuText(szText, nListed));
    if (!pItem)
      break;
    if (nListed == 1)
      pItem->SetBeginGroup(TRUE);
    pItem->SetChecked(hwndChild == hwndActive);
    nAfter = pItem->GetIndex();
  }
}

CTKControl* CTKControlWindowList::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }

// ---- Toolbars

void CTKControlToolbars::CTKControlToolbar::OnExecute()
{
  CTKCommandBars* pCommandBars = m_pParent ? m_pParent->GetCommandBars() : nullptr;
  if (!pCommandBars)
    return;
  pCommandBars->ClosePopups();
  pCommandBars->ToggleVisible(static_cast<int>(m_nTag));
}

CTKControl* CTKControlToolbars::CTKControlToolbar::Clone(BOOL bRecursive)
{
  auto* pClone = new CTKControlToolbar;
  pClone->Copy(this, bRecursive);
  return pClone;
}

void CTKControlToolbars::OnCalcDynamicSize(DWORD /*dwMode*/)
{
  RemoveFollowing(this, [](CTKControl* p) { return p->GetParameter() == kToolbarParameter; });
  if (IsCustomizeMode()) {
    SetHideFlags(0);
    return;
  }
  SetHideFlags(TK_HIDEGENERIC);
  AddToolbarItems(m_pParent, GetIndex() + 1, GetID(), m_bCustomizeEntry);
}

void CTKControlToolbars::Copy(CTKControl* pControl, BOOL bRecursive)
{
  CTKControlListBase::Copy(pControl, bRecursive);
  if (auto* pSource = DYNAMIC_DOWNCAST(CTKControlToolbars, pControl))
    m_bCustomizeEntry = pSource->m_bCustomizeEntry;
}

void CTKControlToolbars::AddToolbarItems(CTKCommandBar* pBar, int nIndex, int nId, BOOL bCustomizeEntry)
{
  CTKCommandBars* pCommandBars = pBar ? pBar->GetCommandBars() : nullptr;
  if (!pCommandBars)
    return;
  CTKControls* pControls = pBar->GetControls();
  for (int i = 0; i < pCommandBars->GetCount(); ++i) {
    CTKCommandBar* pToolBar = pCommandBars->GetAt(i);
    if (!pToolBar || pToolBar->GetType() != tkBarTypeNormal || !pToolBar->IsCloseable())
      continue;
    CTKControl* pItem = pControls->InsertAt(new CTKControlToolbar, nId, kToolbarParameter, nIndex, TRUE);
    pItem->m_nTag = static_cast<DWORD>(i);
    pItem->SetCaption(pToolBar->GetTitle());
    pItem->SetFlags(pItem->GetFlags() | TK_FLAG_MANUALUPDATE);
    pItem->SetChecked(pToolBar->IsVisible());
    ++nIndex;
  }
  if (bCustomizeEntry && pCommandBars->IsCustomizeAvail()) {
    // Tagged as the generated entries are, so the next layout replaces it instead of adding a second one.
    CTKControl* pCustomize = pControls->Add(tkControlButton, TK_ID_CUSTOMIZE, kToolbarParameter, nIndex);
    if (pCustomize)
      pCustomize->SetBeginGroup(TRUE);
  }
}

CTKControl* CTKControlToolbars::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }

// ---- OLE verbs

void CTKControlOleItems::OnCalcDynamicSize(DWORD /*dwMode*/)
{
  if (m_pControls) {
    CTKControl* pNext = m_pControls->GetAt(GetIndex() + 1);
    if (pNext && pNext->GetParameter() == kOleParameter)
      m_pControls->Remove(pNext);
  }
  SetHideFlags(IsCustomizeMode() ? 0 : TK_HIDEGENERIC);
}

CTKControl* CTKControlOleItems::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }

// ---- Recent files

CRecentFileList* CTKControlRecentFileList::GetRecentFileList()
{
  CWinApp* pApp = AfxGetApp();
  return pApp ? pApp->m_pRecentFileList : nullptr;
}

void CTKControlRecentFileList::OnCalcDynamicSize(DWORD /*dwMode*/)
{
  CRecentFileList* pList = GetRecentFileList();
  if (!pList)
    return;
  int nFirst = GetFirstID();
  int nLast = nFirst + pList->GetSize();
  RemoveFollowing(this, [&](CTKControl* p) { return p->GetID() >= nFirst && p->GetID() <= nLast; });
  if (IsCustomizeMode()) {
    SetHideFlags(0);
    SetEnabled(TRUE);
    return;
  }
  if ((*pList)[0].IsEmpty()) {
    SetHideFlags(0);
    SetEnabled(FALSE);
    return;
  }
  SetHideFlags(TK_HIDEGENERIC);
  char szDir[MAX_PATH + 2] = {};
  DWORD nDir = ::GetCurrentDirectory(MAX_PATH, szDir);
  CString strDir = szDir;
  strDir += '\\';
  if (nDir == 0)
    strDir.Empty();
  int nAfter = GetIndex();
  for (int i = 0; i < pList->GetSize(); ++i) {
    CString strName;
    if (!pList->GetDisplayName(strName, i, strDir, strDir.GetLength(), TRUE) || strName.IsEmpty())
      break;
    CTKControl* pItem = AddGenerated(nFirst + i, nAfter, TKNumberedMenuText(strName, i + 1));
    if (!pItem)
      break;
    if (i == 0 && GetIndex() != 0)
      pItem->SetBeginGroup(TRUE);
    nAfter = pItem->GetIndex();
  }
}

CTKControl* CTKControlRecentFileList::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }

// ---- Workspace actions

BOOL CTKControlWorkspaceActions::IsCustomizeDragOverAvail(CTKControl* /*pDataObject*/, CPoint /*point*/)
{
  return TRUE;
}

void CTKControlWorkspaceActions::OnCalcDynamicSize(DWORD /*dwMode*/)
{
  if (!m_pParent)
    return;
  RemoveFollowing(this, [](CTKControl* p) { return p->GetID() >= kWorkspaceFirst && p->GetID() <= kWorkspaceLast; });
  CMDIFrameWnd* pFrame = SiteMDIFrame(this);
  if (!pFrame || !pFrame->m_hWndMDIClient)
    return;
  auto* pClient = dynamic_cast<CTKTabClientWnd*>(CWnd::FromHandlePermanent(pFrame->m_hWndMDIClient));
  if (!pClient)
    return;
  SetHideFlags(TK_HIDEGENERIC);
  static const int kOrder[] = {9422, 9423, 9420, 9421};
  int nAfter = GetIndex();
  BOOL bFirst = TRUE;
  for (int nId : kOrder) {
    if (!pClient->IsWorkspaceCommandEnabled(nId))
      continue;
    // The caption and prompt come with the id's string.
    CTKControl* pItem = AddGenerated(nId, nAfter, CString());
    if (!pItem)
      break;
    if (bFirst)
      pItem->SetBeginGroup(GetBeginGroup());
    bFirst = FALSE;
    nAfter = pItem->GetIndex();
  }
}

CTKControl* CTKControlWorkspaceActions::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }

// ---- Grid selector

namespace {

constexpr UINT kSelectorChanged = 4102;
constexpr int kColourHighlight = 13;
constexpr int kColourHighlightText = 14;
constexpr int kColourWindow = 5;
constexpr int kColourCellText = 46;
constexpr int kColourCellFrame = 43;

}  // namespace

CTKControlSelector::CTKControlSelector() { m_controlType = tkControlButton; }

void CTKControlSelector::SetSelectedItems(int nColumns, int nRows, BOOL bForce)
{
  if (!bForce && m_szSelected == CSize(nColumns, nRows))
    return;
  m_szSelected = CSize(nColumns, nRows);
  RedrawParent();
  NotifySite(kSelectorChanged);
}

CSize CTKControlSelector::GetSize(CDC* /*pDC*/)
{
  return CSize(m_szItemsVisible.cx * m_szItem.cx, m_szItemsVisible.cy * m_szItem.cy);
}

void CTKControlSelector::OnCalcDynamicSize(DWORD /*dwMode*/)
{
  if (m_bResizing)
    return;
  m_szSelected = CSize(0, 0);
  m_szItemsVisible = m_szItemsCount;
  SetSelectedItems(0, 0, TRUE);
}

void CTKControlSelector::Draw(CDC* pDC)
{
  CTKPaintManager* pPaintManager = GetPaintManager();
  if (!pPaintManager)
    return;
  const int w = m_szItem.cx;
  const int h = m_szItem.cy;
  for (int r = 0; r < m_szItemsVisible.cy; ++r) {
    for (int c = 0; c < m_szItemsVisible.cx; ++c) {
      const CRect rcCell(m_rcControl.left + c * w + 1, m_rcControl.top + r * h + 1, m_rcControl.left + (c + 1) * w - 1,
                         m_rcControl.top + (r + 1) * h - 1);
      const bool bSelected = c < m_szSelected.cx && r < m_szSelected.cy;
      pDC->FillSolidRect(rcCell, pPaintManager->GetColor(bSelected ? kColourHighlight : kColourWindow));
      const COLORREF clrContent = pPaintManager->GetColor(bSelected ? kColourHighlightText : kColourCellText);
      const COLORREF clrFrame = pPaintManager->GetColor(kColourCellFrame);
      pDC->Draw3dRect(rcCell, clrFrame, clrFrame);
      DrawItem(pDC, rcCell, clrContent);
    }
  }
}

void CTKControlSelector::OnMouseMove(CPoint point)
{
  int nColumns = 0;
  while (nColumns < m_szItemsVisible.cx && m_rcControl.left + nColumns * m_szItem.cx < point.x)
    ++nColumns;
  int nRows = 0;
  while (nRows < m_szItemsVisible.cy && m_rcControl.top + nRows * m_szItem.cy < point.y)
    ++nRows;
  SetSelectedItems(nColumns, nRows, FALSE);
}

BOOL CTKControlSelector::OnSetSelected(int bSelected)
{
  if (!bSelected && m_pParent && m_pParent->GetSafeHwnd() && m_szItem.cx > 0 && m_szItem.cy > 0) {
    CPoint point;
    ::GetCursorPos(&point);
    m_pParent->ScreenToClient(&point);
    CSize szGrid = m_szItemsVisible;
    if (::GetKeyState(VK_LBUTTON) < 0) {
      // The grid follows a held button past its right or bottom edge, never beyond its largest size.
      if (point.x >= m_rcControl.right)
        szGrid.cx = std::max(szGrid.cx, std::min(m_szItemsMax.cx, (point.x - m_rcControl.left) / m_szItem.cx + 1));
      if (point.y >= m_rcControl.bottom)
        szGrid.cy = std::max(szGrid.cy, std::min(m_szItemsMax.cy, (point.y - m_rcControl.top) / m_szItem.cy + 1));
    }
    if (szGrid == m_szItemsVisible) {
      SetSelectedItems(0, 0, FALSE);
    } else {
      m_szItemsVisible = szGrid;
      SetSelectedItems(m_szSelected.cx, m_szSelected.cy, TRUE);
      m_bResizing = TRUE;
      m_pParent->OnRecalcLayout();
      m_bResizing = FALSE;
      OnMouseMove(point);
    }
  }
  return CTKControl::OnSetSelected(bSelected);
}

void CTKControlSelector::OnLButtonUp(CPoint /*point*/)
{
  if (m_szSelected.cx <= 0 || m_szSelected.cy <= 0)
    return;
  m_szChosen = m_szSelected;
  OnExecute();
}

void CTKControlSelector::DoPropExchange(CTKPropExchange* pPX)
{
  CTKControl::DoPropExchange(pPX);
  PX_Size(pPX, "ItemsCount", m_szItemsCount, CSize(0, 0));
  PX_Size(pPX, "ItemsMax", m_szItemsMax, CSize(0, 0));
  PX_Size(pPX, "ItemSize", m_szItem, CSize(0, 0));
  if (!pPX->IsLoading())
    return;
  // Stored grids are untrusted: a few hundred cells a side at most, cells no larger than a screen, none negative.
  constexpr LONG kMostCells = 256;
  constexpr LONG kLargestCell = 4096;
  for (CSize* pSize : {&m_szItemsCount, &m_szItemsMax}) {
    pSize->cx = std::clamp<LONG>(pSize->cx, 0, kMostCells);
    pSize->cy = std::clamp<LONG>(pSize->cy, 0, kMostCells);
  }
  m_szItem.cx = std::clamp<LONG>(m_szItem.cx, 0, kLargestCell);
  m_szItem.cy = std::clamp<LONG>(m_szItem.cy, 0, kLargestCell);
}

void CTKControlSelector::Copy(CTKControl* pControl, BOOL bRecursive)
{
  if (auto* pSelector = dynamic_cast<CTKControlSelector*>(pControl)) {
    m_szItemsCount = pSelector->m_szItemsCount;
    m_szItemsMax = pSelector->m_szItemsMax;
    m_szItem = pSelector->m_szItem;
  }
  CTKControl::Copy(pControl, bRecursive);
}

CTKControl* CTKControlSelector::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }
