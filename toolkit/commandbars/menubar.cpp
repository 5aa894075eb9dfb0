#include "toolkit/commandbars/menubar.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/resource_manager.h"

IMPLEMENT_SERIAL(CTKMenuBar, CTKToolBar, TK_BAR_CLASS_SCHEMA)

namespace {

constexpr UINT kSystemCommandBitmap = 9407;

}  // namespace

CTKMenuBar::CTKMenuBar()
{
  m_barType = tkBarTypeMenuBar;
  m_bShowExpandButton = FALSE;
}

CTKMenuBar::~CTKMenuBar()
{
  if (m_hwndHookedSite)
    TKHookManager().RemoveHook(m_hwndHookedSite, this);
  if (m_hMenuDefault)
    ::DestroyMenu(m_hMenuDefault);
}

BOOL CTKMenuBar::LoadMenuBar(UINT nIDResource)
{
  if (nIDResource != 0) {
    CMenu menu;
    if (!menu.Attach(::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource))))
      return FALSE;
    BOOL bLoaded = LoadMenu(&menu, TRUE);
    menu.DestroyMenu();
    if (!bLoaded)
      return FALSE;
    m_nIDResource = m_nIDResourceCurrent = nIDResource;
  }
  CWnd* pSite = GetSite();
  if (pSite && pSite->GetSafeHwnd() && !m_hwndHookedSite) {
    m_hwndHookedSite = pSite->GetSafeHwnd();
    TKHookManager().SetHook(m_hwndHookedSite, this);
  }
  {
    // A module without the system-command pictures leaves them empty; the bar works without them.
    CTKResourceSwitch resources;
    const UINT ids[] = {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};
    GetImageManager()->SetIconsFromResource(kSystemCommandBitmap, ids, 4, CSize(16, 16));
  }
  if (pSite && pSite->GetSafeHwnd()) {
    HMENU hMenu = ::GetMenu(pSite->GetSafeHwnd());
    if (hMenu) {
      if (m_hMenuDefault && m_hMenuDefault != hMenu)
        ::DestroyMenu(m_hMenuDefault);
      m_hMenuDefault = hMenu;
      ::SetMenu(pSite->GetSafeHwnd(), nullptr);
    }
  }
  return TRUE;
}

void CTKMenuBar::Reset()
{
  if (!m_pControls->GetOriginalControls() && m_nIDResourceCurrent != 0) {
    if (ConfirmReset()) {
      CMenu menu;
      if (menu.Attach(::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(m_nIDResourceCurrent)))) {
        LoadMenu(&menu, TRUE);
        menu.DestroyMenu();
      }
    }
  } else if (m_pControls->GetOriginalControls()) {
    CTKToolBar::Reset();
  }
  // The frame is no MDI frame: there is no active child whose buttons would follow.
  OnUpdateCmdUI(nullptr, TRUE);
  OnRecalcLayout();
}

int CTKMenuBar::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult)
{
  if (nMessage == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) {
    CTKCommandBars* pCommandBars = GetCommandBars();
    if (m_bVisible && pCommandBars && !TKMouseManager()->IsMouseLocked() && ::GetKeyState(VK_SHIFT) >= 0 &&
        !IsCustomizeMode()) {
      pCommandBars->ActivateBar(this, 0);
      lResult = 0;
      return 1;
    }
    return 0;
  }
  // Keys reach the bar through the site only while it tracks.
  if (!m_bTracking)
    return 0;
  return CTKToolBar::OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
}

void CTKMenuBar::Copy(CTKCommandBar* pCommandBar, BOOL bRecursive)
{
  CTKToolBar::Copy(pCommandBar, bRecursive);
  if (auto* pMenuBar = dynamic_cast<CTKMenuBar*>(pCommandBar))
    m_nIDResource = pMenuBar->m_nIDResource;
}

CTKCommandBar* CTKMenuBar::Clone(BOOL bRecursive)
{
  auto* pBar = new CTKMenuBar;
  pBar->Copy(this, bRecursive);
  return pBar;
}
