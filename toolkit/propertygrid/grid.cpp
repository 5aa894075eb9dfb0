#include "toolkit/propertygrid/grid.h"

#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/resource_manager.h"
#include "toolkit/paint/tooltip_context.h"
#include "toolkit/propertygrid/inplace.h"
#include "toolkit/propertygrid/paint_manager.h"

#include "platform/base/codepage.h"
#include "platform/user/input.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CTKPropertyGridVerb, CCmdTarget)
IMPLEMENT_DYNAMIC(CTKPropertyGridVerbs, CCmdTarget)
IMPLEMENT_DYNAMIC(CTKPropertyGrid, CWnd)
IMPLEMENT_DYNAMIC(CTKPropertyGridToolBar, CToolBar)

namespace {

constexpr UINT kSplitterCursor = 9971;
constexpr UINT kHandCursor = 9973;
// Focus-cycle positions.
constexpr int kPosList = 0;
constexpr int kPosEdit = 1;
constexpr int kPosButton = 2;
constexpr int kPosRows = 3;
constexpr int kPosVerbs = 4;
constexpr int kPosOutside = 5;

}  // namespace

namespace {

int g_dispatchDepth = 0;
std::vector<std::function<void()>>& PendingFrees()
{
  static std::vector<std::function<void()>> pending;
  return pending;
}

}  // namespace

CTKPropertyGridDispatch::CTKPropertyGridDispatch()
{
  ++g_dispatchDepth;
}

CTKPropertyGridDispatch::~CTKPropertyGridDispatch()
{
  if (--g_dispatchDepth == 0 && !PendingFrees().empty()) {
    std::vector<std::function<void()>> frees;
    frees.swap(PendingFrees());
    for (auto& free : frees)
      free();
  }
}

bool CTKPropertyGridDispatch::Busy()
{
  return g_dispatchDepth > 0;
}

void CTKPropertyGridDispatch::DeleteLater(std::function<void()> free)
{
  PendingFrees().push_back(std::move(free));
}

CTKPropertyGridVerb* CTKPropertyGridVerbs::Add(LPCSTR lpszCaption)
{
  auto* verb = new CTKPropertyGridVerb();
  verb->m_strCaption = lpszCaption ? lpszCaption : "";
  verb->m_nIndex = GetCount();
  m_arrVerbs.push_back(verb);
  return verb;
}

void CTKPropertyGridVerbs::RemoveAll()
{
  for (CTKPropertyGridVerb* verb : m_arrVerbs)
    verb->InternalRelease();
  m_arrVerbs.clear();
}

CTKPropertyGridVerb* CTKPropertyGridVerbs::GetAt(int nIndex) const
{
  if (nIndex < 0 || nIndex >= GetCount())
    return nullptr;
  return m_arrVerbs[static_cast<size_t>(nIndex)];
}

// --- Toolbar -----------------------------------------------------------------------------------------------

namespace {

constexpr int kToolImage = 16;
constexpr int kToolImageHeight = 15;
constexpr size_t kTipChars = 80;

// The two button images on the toolbar's mask colour: a category with two indented rows, and "AZ" over an arrow.
HBITMAP MakeToolBarImages()
{
  constexpr COLORREF kMask = RGB(192, 192, 192);
  constexpr COLORREF kInk = RGB(0, 0, 0);
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 2 * kToolImage, kToolImageHeight);
  ::ReleaseDC(nullptr, screen);
  if (!bitmap)
    return nullptr;
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), bitmap);
  dc.FillSolidRect(0, 0, 2 * kToolImage, kToolImageHeight, kMask);
  dc.FillSolidRect(1, 2, 13, 3, RGB(128, 128, 128));
  dc.FillSolidRect(4, 7, 10, 2, kInk);
  dc.FillSolidRect(4, 11, 10, 2, kInk);
  dc.FillSolidRect(1, 7, 2, 6, RGB(128, 128, 128));
  // "A" and "Z" drawn as strokes, so the picture needs no font.
  const int x = kToolImage;
  dc.FillSolidRect(x + 2, 1, 1, 6, kInk);
  dc.FillSolidRect(x + 6, 1, 1, 6, kInk);
  dc.FillSolidRect(x + 3, 0, 3, 1, kInk);
  dc.FillSolidRect(x + 3, 3, 3, 1, kInk);
  dc.FillSolidRect(x + 2, 8, 5, 1, kInk);
  for (int i = 0; i < 4; ++i)
    dc.FillSolidRect(x + 6 - i, 9 + i, 1, 1, kInk);
  dc.FillSolidRect(x + 2, 13, 5, 1, kInk);
  dc.FillSolidRect(x + 11, 1, 1, 12, kInk);
  dc.FillSolidRect(x + 9, 10, 5, 1, kInk);
  dc.FillSolidRect(x + 10, 11, 3, 1, kInk);
  ::SelectObject(dc.GetSafeHdc(), old);
  return bitmap;
}

}  // namespace

CTKPropertyGridToolBar::CTKPropertyGridToolBar() : m_pToolTipContext(new CTKToolTipContext()) {}

CTKPropertyGridToolBar::~CTKPropertyGridToolBar()
{
  if (GetSafeHwnd())
    DestroyWindow();
  m_pToolTipContext->InternalRelease();
}

BOOL CTKPropertyGridToolBar::CreateButtons(CWnd* pGrid)
{
  if (!CreateEx(pGrid, TBSTYLE_FLAT, WS_CHILD | CBRS_ALIGN_TOP | CBRS_BORDER_3D))
    return FALSE;
  SetOwner(pGrid);
  static const UINT kButtons[] = {TK_ID_PROPERTYGRID_CATEGORIZED, TK_ID_PROPERTYGRID_ALPHABETIC};
  SetButtons(kButtons, 2);
  SetBitmap(MakeToolBarImages());
  return TRUE;
}

INT_PTR CTKPropertyGridToolBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
  const int index = HitTest(point);
  if (index < 0)
    return -1;
  const UINT id = GetItemID(index);
  if (pTI) {
    pTI->hwnd = GetSafeHwnd();
    pTI->uId = id;
    GetItemRect(index, &pTI->rect);
    pTI->lpszText = LPSTR_TEXTCALLBACK;
  }
  return static_cast<INT_PTR>(id);
}

bool CTKPropertyGridToolBar::OnNeedText(NMHDR* pHeader)
{
  if (pHeader->code != TTN_NEEDTEXTA && pHeader->code != TTN_NEEDTEXTW)
    return false;
  CString text;
  TKResourceManager()->LoadString(&text, static_cast<UINT>(pHeader->idFrom));
  const size_t length = std::min(static_cast<size_t>(text.GetLength()), kTipChars - 1);
  if (pHeader->code == TTN_NEEDTEXTA) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(pHeader);
    std::memcpy(info->szText, static_cast<LPCSTR>(text), length);
    info->szText[length] = '\0';
    info->lpszText = info->szText;
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(pHeader);
    const int written = ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), info->szText,
                                              static_cast<int>(kTipChars - 1));
    info->szText[std::max(written, 0)] = 0;
    info->lpszText = info->szText;
  }
  ::SetWindowPos(pHeader->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  return true;
}

LRESULT CTKPropertyGridToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
    m_pToolTipContext->FilterToolTipMessage(this, message, wParam, lParam);
  if (message == WM_NOTIFY && OnNeedText(reinterpret_cast<NMHDR*>(lParam)))
    return 0;
  if (message == WM_ERASEBKGND) {
    CRect client;
    GetClientRect(&client);
    HBRUSH face = ::CreateSolidBrush(TKColorManager().GetColor(15));
    ::FillRect(reinterpret_cast<HDC>(wParam), &client, face);
    ::DeleteObject(face);
    return TRUE;
  }
  return CToolBar::WindowProc(message, wParam, lParam);
}

// --- Grid ----------------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKPropertyGrid, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_KEYDOWN()
  ON_WM_SETCURSOR()
  ON_MESSAGE(WM_GETDLGCODE, &CTKPropertyGrid::OnGetDlgCode)
  ON_MESSAGE(WM_DRAWITEM, &CTKPropertyGrid::OnDrawItemMessage)
  ON_MESSAGE(WM_MEASUREITEM, &CTKPropertyGrid::OnMeasureItemMessage)
END_MESSAGE_MAP()

CTKPropertyGrid::CTKPropertyGrid()
    : m_pVerbs(new CTKPropertyGridVerbs(this)),
      m_pPaintManager(new CTKPropertyGridPaintManager(this)),
      m_pImageManager(new CTKImageManager()),
      m_pInplaceEdit(new CTKPropertyGridInplaceEdit()),
      m_pInplaceButton(new CTKPropertyGridInplaceButton()),
      m_pInplaceListBox(new CTKPropertyGridInplaceList())
{
  m_hCursorSplit = TKResourceManager()->LoadCursor(kSplitterCursor);
  m_hCursorHand = ::LoadCursor(nullptr, IDC_HAND);
  if (!m_hCursorHand)
    m_hCursorHand = TKResourceManager()->LoadCursor(kHandCursor);
  LOGFONTA font = TKPropertyGridIconTitleFont();
  font.lfWeight = FW_NORMAL;
  font.lfItalic = 0;
  m_pPaintManager->GetItemMetrics()->m_fontNormal.CreateFontIndirect(&font);
  font.lfWeight = FW_BOLD;
  m_pPaintManager->GetItemMetrics()->m_fontBold.CreateFontIndirect(&font);
  m_pPaintManager->RefreshMetrics();
}

CTKPropertyGrid::~CTKPropertyGrid()
{
  m_lifetime.reset();
  if (m_pView) {
    m_pView->m_pSelected = nullptr;
    m_pView->GetCategories()->Clear();
  }
  m_pInplaceEdit->DestroyItem();
  m_pInplaceButton->DestroyItem();
  m_pInplaceListBox->DestroyItem();
  if (m_pView)
    m_pView->m_pGrid = nullptr;
  if (GetSafeHwnd())
    DestroyWindow();
  m_pVerbs->InternalRelease();
  delete m_pPaintManager;
  m_pImageManager->InternalRelease();
  auto free = [view = m_pView, edit = m_pInplaceEdit, button = m_pInplaceButton, list = m_pInplaceListBox] {
    delete view;
    delete edit;
    delete button;
    delete list;
  };
  m_pView = nullptr;
  if (CTKPropertyGridDispatch::Busy())
    CTKPropertyGridDispatch::DeleteLater(free);
  else
    free();
}

CTKImageManager* CTKPropertyGrid::GetImageManager() const
{
  return m_pImageManager ? m_pImageManager : &TKImageManager();
}

CTKPropertyGridView& CTKPropertyGrid::GetGridView()
{
  if (!m_pView) {
    m_pView = CreateView();
    m_pView->m_pGrid = this;
  }
  return *m_pView;
}

BOOL CTKPropertyGrid::Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwListStyle)
{
  LPCSTR className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW));
  if (!CWnd::Create(className, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_GROUP | WS_TABSTOP,
                    CRect(0, 0, 0, 0), pParentWnd, nID))
    return FALSE;
  if (dwListStyle == 0)
    dwListStyle = (m_bVariableItemsHeight ? LBS_OWNERDRAWVARIABLE : LBS_OWNERDRAWFIXED) | LBS_NOINTEGRALHEIGHT;
  m_bVariableItemsHeight = (dwListStyle & LBS_OWNERDRAWVARIABLE) != 0;
  CTKPropertyGridView& view = GetGridView();
  if (!view.CreateEx(WS_EX_STATICEDGE, "LISTBOX", nullptr,
                     dwListStyle | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VSCROLL |
                         WS_TABSTOP | LBS_NOTIFY,
                     0, 0, 0, 0, GetSafeHwnd(), nullptr))
    return FALSE;
  view.ResetContent();
  m_wndToolBar.CreateButtons(this);
  SetWindowPos(nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_SHOWWINDOW);
  RefreshMetrics();
  return TRUE;
}

LRESULT CTKPropertyGrid::SendNotifyMessage(WPARAM wParam, LPARAM lParam)
{
  if (!GetSafeHwnd())
    return 0;
  CWnd* target = GetOwner();
  if (!target)
    target = GetParent();
  return target ? target->SendMessage(TKWM_PROPERTYGRID_NOTIFY, wParam, lParam) : 0;
}

void CTKPropertyGrid::OnVerbClick(int nIndex, CPoint pt)
{
  CTKPropertyGridVerb* verb = m_pVerbs->GetAt(nIndex);
  if (!verb)
    return;
  ClientToScreen(&pt);
  verb->m_ptClick = pt;
  SendNotifyMessage(TK_PGN_VERB_CLICK, reinterpret_cast<LPARAM>(verb));
}

int CTKPropertyGrid::HitTest(CPoint pt)
{
  CRect client;
  GetClientRect(&client);
  int bottom = client.bottom;
  if (m_bHelpVisible) {
    const int splitter = bottom - m_nHelpHeight - 3;
    if (pt.y >= splitter && pt.y < splitter + 3)
      return 1;
    bottom = splitter;
  }
  if (!m_pVerbs->IsEmpty()) {
    const int splitter = bottom - m_nVerbsHeight - 3;
    if (pt.y >= splitter && pt.y < splitter + 3)
      return 2;
    CClientDC dc(this);
    const CRect strip(client.left, splitter + 3, client.right, bottom);
    for (const auto& piece : m_pPaintManager->LayoutVerbs(&dc, strip, FALSE))
      if (piece.rc.PtInRect(pt))
        return 3 + piece.nVerb;
  }
  return -1;
}

void CTKPropertyGrid::OnSelectionChanged(CTKPropertyGridItem* pItem)
{
  if (GetSafeHwnd())
    Invalidate(FALSE);
  if (pItem)
    SendNotifyMessage(TK_PGN_SELECTION_CHANGED, reinterpret_cast<LPARAM>(pItem));
}

void CTKPropertyGrid::UpdateToolBarButtons()
{
  if (!m_bToolBarVisible || !m_wndToolBar.GetSafeHwnd())
    return;
  const int order = GetGridView().GetPropertySort();
  const UINT ids[] = {TK_ID_PROPERTYGRID_CATEGORIZED, TK_ID_PROPERTYGRID_ALPHABETIC};
  for (int i = 0; i < 2; ++i) {
    const bool down = order == i;
    m_wndToolBar.SetButtonStyle(m_wndToolBar.CommandToIndex(ids[i]), TBBS_CHECKBOX | (down ? TBBS_CHECKED : 0));
  }
}

void CTKPropertyGrid::OnSortChanged()
{
  UpdateToolBarButtons();
  if (GetSafeHwnd())
    Invalidate(FALSE);
  SendNotifyMessage(TK_PGN_SORTORDER_CHANGED, static_cast<LPARAM>(GetDlgCtrlID()));
}

void CTKPropertyGrid::Reposition(int cx, int cy)
{
  if (!m_pView || m_pView->IsLocked() || !m_pView->GetSafeHwnd())
    return;
  if (m_bHelpVisible)
    cy -= m_nHelpHeight + 3;
  if (!m_pVerbs->IsEmpty())
    cy -= m_nVerbsHeight + 3;
  m_bVerbsVisible = !m_pVerbs->IsEmpty();
  if (m_bToolBarVisible && m_wndToolBar.GetSafeHwnd())
    m_wndToolBar.MoveWindow(1, 1, cx - 2, 23);
  const int top = m_bToolBarVisible ? 25 : 0;
  m_pView->MoveWindow(0, top, cx, std::max(cy - top, 0));
  Invalidate(FALSE);
}

void CTKPropertyGrid::ShowToolBar(BOOL bShow)
{
  m_bToolBarVisible = bShow;
  if (m_wndToolBar.GetSafeHwnd())
    m_wndToolBar.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
  if (GetSafeHwnd()) {
    CRect client;
    GetClientRect(&client);
    Reposition(client.Width(), client.Height());
  }
  UpdateToolBarButtons();
}

void CTKPropertyGrid::ResetContent()
{
  m_pVerbs->RemoveAll();
  CTKPropertyGridView& view = GetGridView();
  view.ResetContent();
  view.Lock();
  view.GetCategories()->Clear();
  view.Unlock();
}

CTKPropertyGridItem* CTKPropertyGrid::AddCategory(UINT nID)
{
  CString caption;
  if (!caption.LoadString(nID))
    caption.Empty();
  CTKPropertyGridItem* category = GetGridView().AddCategory(caption);
  category->SetID(nID);
  return category;
}

void CTKPropertyGrid::SetViewDivider(double dDivider)
{
  GetGridView().m_dDivider = dDivider;
  if (GetSafeHwnd()) {
    CRect client;
    GetClientRect(&client);
    Reposition(client.Width(), client.Height());
  }
}

void CTKPropertyGrid::SetInplaceEdit(CTKPropertyGridInplaceEdit* pEdit)
{
  if (!pEdit)
    return;
  m_pInplaceEdit->DestroyItem();
  delete m_pInplaceEdit;
  m_pInplaceEdit = pEdit;
}

void CTKPropertyGrid::RefreshMetrics()
{
  m_pPaintManager->GetItemMetrics()->Reset();
  m_pPaintManager->RefreshMetrics();
  Redraw();
}

void CTKPropertyGrid::Redraw()
{
  if (GetSafeHwnd())
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CTKPropertyGrid::OnVerbsChanged()
{
  if (IsVerbsVisible() != m_bVerbsVisible && m_pView && !m_pView->IsLocked() && GetSafeHwnd()) {
    CRect client;
    GetClientRect(&client);
    Reposition(client.Width(), client.Height());
  } else if (GetSafeHwnd()) {
    Invalidate(FALSE);
  }
}

void CTKPropertyGrid::OnNavigate(int nFrom, BOOL bForward, CTKPropertyGridItem* pItem)
{
  int position = nFrom;
  for (;;) {
    position += bForward ? 1 : -1;
    if (position == nFrom || position < -2 || position > kPosOutside)
      return;
    switch (position) {
      case -1:
        // The rows would be tried here with tab-through-rows, which nothing turns on.
        break;
      case kPosList:
        GetGridView().SetFocus();
        return;
      case kPosEdit:
        if (pItem && (pItem->GetFlags() & tkpgItemHasEdit) != 0) {
          pItem->OnSelect();
          pItem->SetFocusToInplaceControl();
          return;
        }
        break;
      case kPosButton:
        if (pItem && m_pInplaceButton->GetSafeHwnd() && m_pInplaceButton->IsWindowVisible() &&
            m_pInplaceButton->GetItem() == pItem) {
          m_pInplaceButton->SetFocus();
          return;
        }
        break;
      case kPosRows:
        break;
      case kPosVerbs:
        if (!m_pVerbs->IsEmpty()) {
          m_nFocusedVerb = bForward ? 0 : m_pVerbs->GetCount() - 1;
          m_bInternalFocus = TRUE;
          SetFocus();
          m_bInternalFocus = FALSE;
          Invalidate(FALSE);
          return;
        }
        break;
      case kPosOutside:
      case -2: {
        CWnd* parent = GetParent();
        HWND next = parent ? ::GetNextDlgTabItem(parent->GetSafeHwnd(), GetSafeHwnd(), !bForward) : nullptr;
        if (next && next != GetSafeHwnd()) {
          ::SetFocus(next);
          return;
        }
        // Nothing else takes the focus: round the cycle again.
        if (bForward) {
          position = -2;
          nFrom = nFrom == kPosOutside ? -2 : nFrom;
        } else {
          position = kPosOutside;
        }
        break;
      }
      default: break;
    }
  }
}

BOOL CTKPropertyGrid::OnCommand(WPARAM wParam, LPARAM lParam)
{
  if (m_pView && reinterpret_cast<HWND>(lParam) == m_pView->GetSafeHwnd() && lParam != 0) {
    if (HIWORD(wParam) == LBN_SELCHANGE)
      m_pView->OnSelectionChanged();
    return TRUE;
  }
  if (lParam != 0 && reinterpret_cast<HWND>(lParam) == m_wndToolBar.GetSafeHwnd()) {
    if (LOWORD(wParam) == TK_ID_PROPERTYGRID_CATEGORIZED || LOWORD(wParam) == TK_ID_PROPERTYGRID_ALPHABETIC)
      GetGridView().SetPropertySort(LOWORD(wParam) == TK_ID_PROPERTYGRID_CATEGORIZED ? tkpgSortCategorized
                                                                                     : tkpgSortAlphabetical);
    return TRUE;
  }
  return CWnd::OnCommand(wParam, lParam);
}

LRESULT CTKPropertyGrid::OnDrawItemMessage(WPARAM, LPARAM lParam)
{
  auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  if (m_pView && draw->hwndItem == m_pView->GetSafeHwnd())
    m_pView->DrawItem(draw);
  return TRUE;
}

LRESULT CTKPropertyGrid::OnMeasureItemMessage(WPARAM, LPARAM lParam)
{
  auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (m_pView)
    m_pView->MeasureItem(measure);
  return TRUE;
}

void CTKPropertyGrid::OnPaint()
{
  CPaintDC paint(this);
  CRect client;
  GetClientRect(&client);
  CTKBufferDC buffer(paint.GetSafeHdc(), client);
  m_pPaintManager->FillPropertyGrid(&buffer);
}

BOOL CTKPropertyGrid::OnEraseBkgnd(HDC)
{
  return TRUE;
}

void CTKPropertyGrid::OnSize(UINT nType, int cx, int cy)
{
  CWnd::OnSize(nType, cx, cy);
  Reposition(cx, cy);
}

void CTKPropertyGrid::OnSetFocus(CWnd* pOldWnd)
{
  CWnd::OnSetFocus(pOldWnd);
  if (m_bInternalFocus)
    return;
  CWnd* parent = GetParent();
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  HWND old = pOldWnd ? pOldWnd->GetSafeHwnd() : nullptr;
  if (parent && old && shift && ::GetNextDlgTabItem(parent->GetSafeHwnd(), GetSafeHwnd(), FALSE) == old)
    OnNavigate(kPosOutside, FALSE, GetSelectedItem());
  else if (parent && old && !shift && ::GetNextDlgTabItem(parent->GetSafeHwnd(), GetSafeHwnd(), TRUE) == old)
    OnNavigate(-2, TRUE, GetSelectedItem());
  else if (m_pView && m_pView->GetSafeHwnd())
    m_pView->SetFocus();
}

void CTKPropertyGrid::OnKillFocus(CWnd* pNewWnd)
{
  CWnd::OnKillFocus(pNewWnd);
  m_nFocusedVerb = -1;
  Invalidate(FALSE);
}

void CTKPropertyGrid::OnLButtonDown(UINT nFlags, CPoint point)
{
  const int hit = HitTest(point);
  if (hit == 1 || hit == 2) {
    TrackSplitter(hit, point);
    return;
  }
  if (hit >= 3) {
    m_nFocusedVerb = hit - 3;
    m_bInternalFocus = TRUE;
    SetFocus();
    m_bInternalFocus = FALSE;
    Invalidate(FALSE);
    return;
  }
  SetFocus();
  CWnd::OnLButtonDown(nFlags, point);
}

void CTKPropertyGrid::TrackSplitter(int nSplitter, CPoint point)
{
  SetFocus();
  SetCapture();
  CRect client;
  GetClientRect(&client);
  constexpr int kTop = 45;
  const int bottom =
      nSplitter == 1 ? static_cast<int>(client.bottom)
                     : static_cast<int>(client.bottom) - (m_bHelpVisible ? m_nHelpHeight + 3 : 0);
  const DWORD clipping = GetStyle() & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  ModifyStyle(clipping, 0);
  const auto clamp = [&](int y) { return std::max(kTop, std::min(y, bottom - 20)); };
  m_rectTracker = CRect(client.left, clamp(point.y), client.right, clamp(point.y) + 3);
  const auto invert = [this] {
    CClientDC dc(this);
    CBrush brush(TKColorManager().GetColor(15));
    CBrush* old = dc.SelectObject(&brush);
    dc.PatBlt(m_rectTracker.left, m_rectTracker.top, m_rectTracker.Width(), m_rectTracker.Height(), PATINVERT);
    dc.SelectObject(old);
  };
  invert();
  bool accepted = false;
  const HWND self = GetSafeHwnd();
  while (::GetCapture() == self) {
    MSG msg;
    if (!::GetMessage(&msg, nullptr, 0, 0))
      break;
    if (msg.message == WM_MOUSEMOVE) {
      CPoint at(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
      if (msg.hwnd != self) {
        ::ClientToScreen(msg.hwnd, &at);
        ScreenToClient(&at);
      }
      const int y = clamp(at.y);
      if (y != m_rectTracker.top) {
        invert();
        m_rectTracker.OffsetRect(0, y - m_rectTracker.top);
        invert();
      }
    } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      break;
    } else if (msg.message == WM_LBUTTONUP) {
      accepted = true;
      break;
    } else {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }
  invert();
  if (::GetCapture() == self)
    ReleaseCapture();
  if (accepted) {
    const int height = bottom - m_rectTracker.top - 2;
    if (nSplitter == 1)
      m_nHelpHeight = height;
    else
      m_nVerbsHeight = height;
    Reposition(client.Width(), client.Height());
  }
  Invalidate(FALSE);
  ModifyStyle(0, clipping);
}

void CTKPropertyGrid::OnLButtonUp(UINT nFlags, CPoint point)
{
  const int hit = HitTest(point);
  if (hit >= 3 && hit - 3 == m_nFocusedVerb) {
    OnVerbClick(m_nFocusedVerb, point);
    return;
  }
  CWnd::OnLButtonUp(nFlags, point);
}

LRESULT CTKPropertyGrid::OnGetDlgCode(WPARAM, LPARAM)
{
  return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
}

void CTKPropertyGrid::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
  const int count = m_pVerbs->GetCount();
  if (m_nFocusedVerb < 0 || m_nFocusedVerb >= count) {
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    return;
  }
  UINT key = nChar;
  CTKDrawHelpers::KeyToLayout(this, key);
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (key) {
    case VK_TAB:
      if (!shift && m_nFocusedVerb + 1 < count) {
        ++m_nFocusedVerb;
      } else if (shift && m_nFocusedVerb > 0) {
        --m_nFocusedVerb;
      } else {
        m_nFocusedVerb = -1;
        OnNavigate(kPosVerbs, !shift, GetSelectedItem());
        return;
      }
      break;
    case VK_LEFT:
    case VK_UP: m_nFocusedVerb = m_nFocusedVerb > 0 ? m_nFocusedVerb - 1 : count - 1; break;
    case VK_RIGHT:
    case VK_DOWN: m_nFocusedVerb = m_nFocusedVerb + 1 < count ? m_nFocusedVerb + 1 : 0; break;
    case VK_RETURN: {
      const CRect part = m_pVerbs->GetAt(m_nFocusedVerb)->m_rcPart;
      OnVerbClick(m_nFocusedVerb, CPoint(part.left, part.bottom));
      return;
    }
    default: CWnd::OnKeyDown(nChar, nRepCnt, nFlags); return;
  }
  Invalidate(FALSE);
}

BOOL CTKPropertyGrid::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
  if (pWnd == this && nHitTest == HTCLIENT) {
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    const int hit = HitTest(point);
    if (hit == 1 || hit == 2) {
      ::SetCursor(m_hCursorSplit);
      return TRUE;
    }
    if (hit >= 3) {
      ::SetCursor(m_hCursorHand);
      return TRUE;
    }
  }
  return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CTKPropertyGrid::OnSysColorChange()
{
  m_pPaintManager->RefreshMetrics();
}
