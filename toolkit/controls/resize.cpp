#include "toolkit/controls/resize.h"

#include "platform/gdi/windraw.h"
#include "platform/user/common_controls.h"
#include "platform/user/input.h"
#include "platform/user/system.h"

#include <algorithm>
#include <cstring>

static_assert(sizeof(WINDOWPLACEMENT) == CTKResize::kPlacementBytes);

namespace {

constexpr char kPlacementEntry[] = "WindowPlacement";
// The edge a sizing loop drags: the bottom-right corner.
constexpr WPARAM kSizeBottomRight = 8;

bool IsGroupBox(HWND hwnd)
{
  char cls[16] = {};
  ::GetClassName(hwnd, cls, sizeof cls);
  const DWORD style = static_cast<DWORD>(::GetWindowLong(hwnd, GWL_STYLE));
  return ::strcasecmp(cls, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX && (style & WS_TABSTOP) == 0;
}

// The rectangle moved so that it lies on the work area, as far as its size allows.
RECT OntoWorkArea(const RECT& rc, const RECT& work)
{
  LONG dx = 0;
  LONG dy = 0;
  if (rc.right > work.right)
    dx = work.right - rc.right;
  if (rc.left + dx < work.left)
    dx = work.left - rc.left;
  if (rc.bottom > work.bottom)
    dy = work.bottom - rc.bottom;
  if (rc.top + dy < work.top)
    dy = work.top - rc.top;
  return rc.Offset(dx, dy);
}

}  // namespace

CTKResizeRect& CTKResizeRect::operator=(const RECT& rc)
{
  left = static_cast<float>(rc.left);
  top = static_cast<float>(rc.top);
  right = static_cast<float>(rc.right);
  bottom = static_cast<float>(rc.bottom);
  return *this;
}

CTKResizeRect& CTKResizeRect::operator+=(const CTKResizeRect& o)
{
  left += o.left;
  top += o.top;
  right += o.right;
  bottom += o.bottom;
  return *this;
}

IMPLEMENT_DYNAMIC(CTKResizeGroupBox, CButton)

BEGIN_MESSAGE_MAP(CTKSizeIcon, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SETCURSOR()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL CTKSizeIcon::Create(CWnd* pParent, const RECT& rect, UINT nID)
{
  return CWnd::Create("ScrollBar", nullptr, WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, rect, pParent, nID);
}

void CTKSizeIcon::OnPaint()
{
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  ::DrawFrameControl(dc.GetSafeHdc(), &rc, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

BOOL CTKSizeIcon::OnSetCursor(CWnd*, UINT, UINT)
{
  ::SetCursor(::LoadCursor(nullptr, IDC_SIZENWSE));
  return TRUE;
}

void CTKSizeIcon::OnLButtonDown(UINT, CPoint point)
{
  // The parent's own sizing loop takes over, as if its bottom-right frame corner had been caught.
  ClientToScreen(&point);
  if (CWnd* pParent = GetParent())
    pParent->SendMessage(WM_SYSCOMMAND, SC_SIZE + kSizeBottomRight, MAKELPARAM(point.x, point.y));
}

CTKResizeItem::CTKResizeItem(CWnd* pWnd, bool owned, const CTKResizeRect& anchors, const CTKResizeRect& rect)
    : m_bOwned(owned), m_pWnd(pWnd), m_anchors(anchors), m_rcCurrent(rect), m_rcInitial(rect)
{
}

CTKResizeItem::~CTKResizeItem()
{
  if (m_bOwned && m_pWnd) {
    m_pWnd->Detach();
    delete m_pWnd;
  }
}

void CTKResizeItem::Initialise()
{
  const HWND hwnd = m_pWnd->GetSafeHwnd();
  if (!hwnd || !IsGroupBox(hwnd) || m_pWnd->IsKindOf(RUNTIME_CLASS(CTKResizeGroupBox)))
    return;
  // A group box paints its whole rectangle; transparent, the controls inside it show through after a move.
  m_pWnd->ModifyStyleEx(0, WS_EX_TRANSPARENT, SWP_FRAMECHANGED);
  m_bRepaint = TRUE;
}

CTKResize::CTKResize(CWnd* pParent, UINT nFlags) : m_nFlags(nFlags), m_pParent(pParent) {}

CTKResize::~CTKResize()
{
  RemoveAllControls();
  if (m_sizeIcon.GetSafeHwnd())
    m_sizeIcon.DestroyWindow();
}

void CTKResize::RemoveAllControls() { m_items.clear(); }

void CTKResize::Init()
{
  RemoveAllControls();
  m_pParent->GetWindowRect(&m_rcWindow);
  m_initialSize = CSize(m_rcWindow.Width(), m_rcWindow.Height());
  if (!(m_nFlags & flagNoMinSize))
    m_minTrack = m_initialSize;
  if (!(m_nFlags & flagNoClipChildren))
    m_pParent->ModifyStyle(0, WS_CLIPCHILDREN);
  if (m_nFlags & flagNoSizeIcon)
    return;
  if (!m_sizeIcon.GetSafeHwnd()) {
    CRect client;
    m_pParent->GetClientRect(&client);
    const int cx = ::GetSystemMetrics(SM_CXSMICON);
    const int cy = ::GetSystemMetrics(SM_CYSMICON);
    const CRect rc(client.right - cx - 1, client.bottom - cy - 1, client.right - 1, client.bottom - 1);
    if (!m_sizeIcon.Create(m_pParent, rc, kSizeIconId))
      return;
    m_sizeIcon.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  }
  SetResize(kSizeIconId, &m_sizeIcon, CTKResizeRect(1, 1, 1, 1));
}

BOOL CTKResize::SetResize(UINT nID, CWnd* pWnd, const CTKResizeRect& anchors)
{
  for (auto& item : m_items) {
    if (item->m_pWnd->GetSafeHwnd() && item->m_pWnd->GetDlgCtrlID() == static_cast<int>(nID)) {
      item->m_anchors += anchors;
      return TRUE;
    }
  }
  const HWND hwnd = pWnd ? pWnd->GetSafeHwnd() : ::GetDlgItem(m_pParent->GetSafeHwnd(), static_cast<int>(nID));
  if (!hwnd || !::IsWindow(hwnd))
    return FALSE;
  CWnd* pObject = CWnd::FromHandlePermanent(hwnd);
  bool owned = false;
  if (!pObject) {
    pObject = new CWnd;
    pObject->Attach(hwnd);
    owned = true;
  }
  CRect rc;
  pObject->GetWindowRect(&rc);
  m_pParent->ScreenToClient(&rc);
  CTKResizeRect rect;
  rect = rc;
  auto item = std::make_unique<CTKResizeItem>(pObject, owned, anchors, rect);
  item->Initialise();
  m_items.push_back(std::move(item));
  return TRUE;
}

void CTKResize::Size()
{
  if (m_items.empty())
    return;
  CRect rc;
  m_pParent->GetWindowRect(&rc);
  const float dx = static_cast<float>(rc.Width() - m_rcWindow.Width());
  const float dy = static_cast<float>(rc.Height() - m_rcWindow.Height());
  HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(m_items.size()));
  bool moved = false;
  for (auto& item : m_items) {
    if (!Reposition(&hdwp, item.get(), dx, dy)) {
      moved = false;  // the batch went with the failure: nothing of this pass moves
      break;
    }
    moved = true;
  }
  if (moved && hdwp)
    ::EndDeferWindowPos(hdwp);
  for (auto& item : m_items) {
    if (item->m_bRepaint && item->m_pWnd->GetSafeHwnd())
      item->m_pWnd->Invalidate(TRUE);
  }
  m_rcWindow = rc;
}

BOOL CTKResize::Reposition(HDWP* phdwp, CTKResizeItem* pItem, float dx, float dy)
{
  const HWND hwnd = pItem->m_pWnd->GetSafeHwnd();
  if (!hwnd || !::IsWindow(hwnd))
    return TRUE;
  if (!pItem->m_bPlaced)
    pItem->m_bPlaced = true;
  const CTKResizeRect& cur = pItem->m_rcCurrent;
  const CTKResizeRect& a = pItem->m_anchors;
  const CTKResizeRect next(cur.left + dx * a.left, cur.top + dy * a.top, cur.right + dx * a.right,
                           cur.bottom + dy * a.bottom);
  if (next == cur)
    return TRUE;
  const int x = static_cast<int>(next.left);
  const int y = static_cast<int>(next.top);
  const int cx = static_cast<int>(next.right - next.left);
  const int cy = static_cast<int>(next.bottom - next.top);
  const bool samePos = x == static_cast<int>(cur.left) && y == static_cast<int>(cur.top);
  const bool sameSize =
      cx == static_cast<int>(cur.right - cur.left) && cy == static_cast<int>(cur.bottom - cur.top);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (samePos)
    flags |= SWP_NOMOVE;
  if (sameSize)
    flags |= SWP_NOSIZE;
  else
    flags |= SWP_NOCOPYBITS;
  *phdwp = ::DeferWindowPos(*phdwp, hwnd, nullptr, x, y, cx, cy, flags);
  if (!*phdwp)
    return FALSE;
  pItem->m_rcCurrent = next;
  return TRUE;
}

void CTKResize::GetMinMaxInfo(MINMAXINFO* pMMI) const
{
  if (m_nFlags & flagFixedWidth) {
    pMMI->ptMaxSize.x = m_initialSize.cx;
    pMMI->ptMaxTrackSize.x = m_initialSize.cx;
  }
  if (m_nFlags & flagFixedHeight) {
    pMMI->ptMaxSize.y = m_initialSize.cy;
    pMMI->ptMaxTrackSize.y = m_initialSize.cy;
  }
  if (m_minTrack.cx)
    pMMI->ptMinTrackSize.x = m_minTrack.cx;
  if (m_minTrack.cy)
    pMMI->ptMinTrackSize.y = m_minTrack.cy;
  if (m_maxTrack.cx)
    pMMI->ptMaxTrackSize.x = m_maxTrack.cx;
  if (m_maxTrack.cy)
    pMMI->ptMaxTrackSize.y = m_maxTrack.cy;
}

void CTKResize::SavePlacement(LPCSTR pszSection) const
{
  WINDOWPLACEMENT wp;
  if (!m_pParent->GetWindowPlacement(&wp))
    return;
  if (CWinApp* app = AfxGetApp())
    app->WriteProfileBinary(pszSection, kPlacementEntry, reinterpret_cast<LPBYTE>(&wp), sizeof wp);
}

void CTKResize::LoadPlacement(LPCSTR pszSection)
{
  CWinApp* app = AfxGetApp();
  if (!app)
    return;
  BYTE* data = nullptr;
  UINT bytes = 0;
  if (!app->GetProfileBinary(pszSection, kPlacementEntry, &data, &bytes))
    return;
  const std::unique_ptr<BYTE[]> owned(data);
  if (bytes != kPlacementBytes)
    return;
  WINDOWPLACEMENT wp;
  std::memcpy(&wp, data, sizeof wp);
  wp.length = sizeof wp;
  RECT work{};
  if (::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0) && !work.IsEmpty())
    wp.rcNormalPosition = OntoWorkArea(wp.rcNormalPosition.Normalized(), work);
  m_pParent->SetWindowPlacement(&wp);
}

void CTKResize::AutoLoadPlacement(LPCSTR pszSection)
{
  m_strSection = pszSection ? pszSection : "";
  if (!m_strSection.IsEmpty())
    LoadPlacement(m_strSection);
}

void CTKResize::OnDestroy()
{
  if (!m_strSection.IsEmpty())
    SavePlacement(m_strSection);
}
