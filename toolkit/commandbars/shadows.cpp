#include "toolkit/commandbars/shadows.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/paint/paint_manager.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kEnd = 4;
constexpr int kShadowIndex = 16;

}  // namespace

CTKShadowsManager& TKShadowsManager()
{
  // Bound on first use: the module table the entry comes from is itself made by static objects.
  static CTKShadowsManager manager;
  return manager;
}

CTKShadowsManager::CTKShadowsManager() { RebindForTest(); }

CTKShadowsManager::~CTKShadowsManager()
{
  while (!m_lstShadow.empty())
    RemoveStrip(m_lstShadow.front());
}

void CTKShadowsManager::RebindForTest()
{
  HMODULE hUser = ::GetModuleHandle("USER32");
  m_pfnUpdateLayeredWindow =
      hUser ? reinterpret_cast<UpdateLayeredWindowFunction>(::GetProcAddress(hUser, "UpdateLayeredWindow")) : nullptr;
}

void CTKShadowsManager::SetShadow(CTKCommandBar* pBar, const CRect& rcExclude)
{
  if (!pBar || !pBar->GetSafeHwnd() || pBar->IsCustomizeMode())
    return;
  if (!pBar->GetPaintManager()->IsOwnerDrawnShadow()) {
    BOOL bDropShadow = FALSE;
    ::SystemParametersInfo(SPI_GETDROPSHADOW, 0, &bDropShadow, 0);
    if (!IsLayered() || !bDropShadow)
      return;
  }
  CRect rc;
  pBar->GetWindowRect(&rc);
  CreateShadow(TRUE, rc, rcExclude, pBar);
  CreateShadow(FALSE, rc, rcExclude, pBar);
}

void CTKShadowsManager::SetShadow(CTKControl* pControl)
{
  CTKCommandBar* pParent = pControl ? pControl->GetParent() : nullptr;
  if (!pParent || !pParent->GetSafeHwnd() || pParent->IsCustomizeMode() ||
      !pControl->GetPaintManager()->IsOwnerDrawnShadow())
    return;
  CRect rc = pControl->GetRect();
  pParent->ClientToScreen(&rc);
  CTKCommandBar* pPopup = pControl->GetCommandBar();
  CreateShadow(TRUE, rc, CRect(0, 0, 0, 0), pPopup);
  CreateShadow(FALSE, rc, CRect(0, 0, 0, 0), pPopup);
}

void CTKShadowsManager::CreateShadow(BOOL bHorizontal, const CRect& rc, const CRect& rcExclude, CTKCommandBar* pBar)
{
  if (!pBar || !pBar->GetSafeHwnd())
    return;
  CTKPaintManager* pPaintManager = pBar->GetPaintManager();
  if (!pPaintManager->m_bShowShadow)
    return;
  auto* pShadow = new CShadowWnd(this, bHorizontal, pPaintManager->IsOwnerDrawnShadow(), pBar);
  if (!pShadow->SetShadowRect(rc)) {
    delete pShadow;
    return;
  }
  pShadow->JoinStrips();
  m_lstShadow.push_back(pShadow);

  CRect rcStrip;
  pShadow->GetWindowRect(&rcStrip);
  HRGN hRegion = ::CreateRectRgn(0, 0, rcStrip.Width(), rcStrip.Height());
  auto cut = [&](CRect rcCut) {
    rcCut.OffsetRect(-rcStrip.left, -rcStrip.top);
    HRGN hCut = ::CreateRectRgnIndirect(&rcCut);
    ::CombineRgn(hRegion, hRegion, hCut, RGN_DIFF);
    ::DeleteObject(hCut);
  };
  if (pShadow->m_bOwnerDrawn && !rcExclude.IsRectEmpty())
    cut(rcExclude);
  for (CShadowWnd* pOther : m_lstShadow) {
    if (pOther->m_pBar && pOther->m_pBar->GetSafeHwnd()) {
      CRect rcBar;
      pOther->m_pBar->GetWindowRect(&rcBar);
      cut(rcBar);
    }
  }
  if (!::SetWindowRgn(pShadow->GetSafeHwnd(), hRegion, FALSE))
    ::DeleteObject(hRegion);
  ::SetWindowPos(pShadow->GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  TKHookManager().SetHook(pBar->GetSafeHwnd(), pShadow);
}

void CTKShadowsManager::RemoveShadow(CTKCommandBar* pBar)
{
  std::vector<CShadowWnd*> strips;
  for (CShadowWnd* pShadow : m_lstShadow)
    if (pShadow->m_pBar == pBar)
      strips.push_back(pShadow);
  for (CShadowWnd* pShadow : strips)
    RemoveStrip(pShadow);
}

void CTKShadowsManager::RemoveStrip(CShadowWnd* pShadow)
{
  if (pShadow->m_pBar && pShadow->m_pBar->GetSafeHwnd())
    TKHookManager().RemoveHook(pShadow->m_pBar->GetSafeHwnd(), pShadow);
  if (pShadow->GetSafeHwnd())
    pShadow->ShowWindow(SW_HIDE);
  pShadow->m_pBar = nullptr;
  m_lstShadow.remove(pShadow);
  if (pShadow->GetSafeHwnd())
    pShadow->DestroyWindow();
  delete pShadow;
}

CTKShadowsManager::CShadowWnd::~CShadowWnd() { TKHookManager().RemoveAll(this); }

BOOL CTKShadowsManager::CShadowWnd::SetShadowRect(const CRect& rc)
{
  if (!GetSafeHwnd()) {
    LPCSTR lpszClass = AfxRegisterWndClass(CS_SAVEBITS | CS_OWNDC, ::LoadCursor(nullptr, IDC_ARROW));
    CWnd* pSite = m_pBar->GetSite();
    DWORD dwExStyle = WS_EX_TOOLWINDOW | (m_pManager->IsLayered() ? WS_EX_LAYERED : 0);
    if (!CreateEx(dwExStyle, lpszClass, "", WS_POPUP, 0, 0, 0, 0, pSite ? pSite->GetSafeHwnd() : nullptr, nullptr))
      return FALSE;
  }
  ::SetWindowRgn(m_hWnd, nullptr, FALSE);
  int g = m_pManager->GetShadowSize();
  CRect rcStrip = m_bHorizontal ? CRect(rc.left + g, rc.bottom, rc.right + g, rc.bottom + g)
                                : CRect(rc.right, rc.top + g, rc.right + g, rc.bottom);
  SetWindowPos(nullptr, rcStrip.left, rcStrip.top, rcStrip.Width(), rcStrip.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  return TRUE;
}

void CTKShadowsManager::CShadowWnd::JoinStrips()
{
  CRect rc;
  GetWindowRect(&rc);
  for (CShadowWnd* pOther : m_pManager->m_lstShadow) {
    if (pOther == this || pOther->m_bHorizontal == m_bHorizontal || !pOther->GetSafeHwnd())
      continue;
    CRect rcOther;
    pOther->GetWindowRect(&rcOther);
    if (!m_bHorizontal && rc.top == rcOther.bottom - 1 && rc.right > rcOther.left && rc.right < rcOther.right) {
      rc.top -= 2 * rcOther.Height();
    } else if (m_bHorizontal && rc.left == rcOther.right - 1 && rcOther.top < rc.top && rc.bottom < rcOther.bottom) {
      rc.left -= 2 * rcOther.Width() + 1;
    } else {
      continue;
    }
    SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
}

int CTKShadowsManager::CShadowWnd::OnHookMessage(HWND /*hWnd*/, UINT nMessage, WPARAM& wParam, LPARAM& /*lParam*/,
                                                 LRESULT& /*lResult*/)
{
  if (nMessage == WM_SHOWWINDOW && GetSafeHwnd()) {
    ShowWindow(wParam ? SW_SHOWNA : SW_HIDE);
  } else if (nMessage == WM_DESTROY) {
    // The manager deletes this strip; the hook manager looks its clients up again after each call.
    m_pManager->RemoveStrip(this);
  }
  return 0;
}

void CTKShadowsManager::CShadowWnd::PixelAt(BOOL bHorizontal, BOOL bOwnerDrawn, int cx, int cy, int x, int y,
                                            int& nAlpha, int& nFactorTwentieths)
{
  int s = bOwnerDrawn ? 1 : 2;
  // Distance from the bar: 1 for the row (column) touching it, up to 4 outwards.
  int d = bHorizontal ? y + 1 : x + 1;
  if (bHorizontal && (x < kEnd || x >= cx - kEnd)) {
    int c = x < kEnd ? x + 1 : cx - x;
    int r = cy - y;
    nAlpha = 3 * s * r * c;
    nFactorTwentieths = r * c;
    return;
  }
  if (!bHorizontal && y < kEnd) {
    int c = kEnd - x;
    int t = y + 1;
    nAlpha = 3 * s * t * c;
    nFactorTwentieths = t * c;
    return;
  }
  nAlpha = (75 - 15 * d) * s;
  nFactorTwentieths = (5 - d) * 5;
}

void CTKShadowsManager::CShadowWnd::UpdateAlpha(int cx, int cy)
{
  if (!m_pManager->m_pfnUpdateLayeredWindow || !m_pBar || cx <= 0 || cy <= 0)
    return;
  COLORREF clr = m_pBar->GetPaintManager()->m_clrShadowColor;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pBits = nullptr;
  HDC hScreen = ::GetDC(nullptr);
  HBITMAP hBitmap = ::CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
  if (!hBitmap || !pBits) {
    ::ReleaseDC(nullptr, hScreen);
    return;
  }
  auto* pPixels = static_cast<DWORD*>(pBits);
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < cx; ++x) {
      int nAlpha = 0;
      int nFactor = 0;
      PixelAt(m_bHorizontal, m_bOwnerDrawn, cx, cy, x, y, nAlpha, nFactor);
      nAlpha = std::clamp(nAlpha, 0, 255);
      nFactor = std::clamp(nFactor, 0, 20);
      DWORD r = GetRValue(clr) * nFactor / 20;
      DWORD g = GetGValue(clr) * nFactor / 20;
      DWORD b = GetBValue(clr) * nFactor / 20;
      // Bottom-up rows.
      pPixels[static_cast<size_t>(cy - 1 - y) * cx + x] = (static_cast<DWORD>(nAlpha) << 24) | (r << 16) | (g << 8) | b;
    }
  }
  HDC hMem = ::CreateCompatibleDC(hScreen);
  HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
  CRect rc;
  GetWindowRect(&rc);
  POINT ptDest = rc.TopLeft();
  SIZE size{cx, cy};
  POINT ptSrc{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  m_pManager->m_pfnUpdateLayeredWindow(m_hWnd, hScreen, &ptDest, &size, hMem, &ptSrc, 0, &blend, ULW_ALPHA);
  ::SelectObject(hMem, hOld);
  ::DeleteDC(hMem);
  ::DeleteObject(hBitmap);
  ::ReleaseDC(nullptr, hScreen);
}

BOOL CTKShadowsManager::CShadowWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == WM_SIZE) {
    if (m_pManager->IsLayered())
      UpdateAlpha(LOWORD(lParam), HIWORD(lParam));
  } else if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    // A layered strip shows the pixels it was given; painting over them would wipe out the alpha.
    if (!m_pManager->IsLayered()) {
      CRect rc;
      GetClientRect(&rc);
      COLORREF clr = m_pBar ? m_pBar->GetPaintManager()->GetColor(kShadowIndex) : RGB(0, 0, 0);
      CDC::FromHandle(hDC)->FillSolidRect(rc, clr);
    }
    ::EndPaint(m_hWnd, &ps);
    if (pResult)
      *pResult = 0;
    return TRUE;
  }
  return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}
