#include "platform/mfc/menu.h"

#include "platform/mfc-core/resources.h"
#include "platform/mfc/gdiobj.h"
#include "platform/mfc/wnd.h"

#include <memory>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {
thread_local std::unordered_map<HMENU, std::unique_ptr<CMenu>> t_tempMenus;
}

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU hMenu)
{
  if (hMenu == nullptr) {
    return nullptr;
  }
  auto& slot = t_tempMenus[hMenu];
  if (!slot) {
    slot = std::make_unique<CMenu>();
    slot->m_hMenu = hMenu;
  }
  return slot.get();
}

void CMenu::DeleteTempMap()
{
  for (auto& [hMenu, pMenu] : t_tempMenus) {
    pMenu->m_hMenu = nullptr;  // a temporary object never owns its menu
  }
  t_tempMenus.clear();
}

BOOL CMenu::Attach(HMENU hMenu)
{
  if (hMenu == nullptr || m_hMenu != nullptr) {
    return FALSE;
  }
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach()
{
  HMENU hMenu = m_hMenu;
  m_hMenu = nullptr;
  return hMenu;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::LoadMenu(UINT nIDResource)
{
  return LoadMenu(MAKEINTRESOURCE(static_cast<WORD>(nIDResource)));
}

BOOL CMenu::LoadMenu(LPCSTR lpszResourceName)
{
  return Attach(::LoadMenu(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::DestroyMenu()
{
  if (m_hMenu == nullptr) {
    return FALSE;
  }
  return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
  return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
  return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
  return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable)
{
  return static_cast<UINT>(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
}

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck)
{
  return static_cast<UINT>(::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck));
}

BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
{
  return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
}

BOOL CMenu::SetDefaultItem(UINT uItem, BOOL fByPos) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }

BOOL CMenu::GetMenuItemInfo(UINT uItem, MENUITEMINFO* lpMenuItemInfo, BOOL fByPos) const
{
  return ::GetMenuItemInfo(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked)
{
  auto handle = [](const CBitmap* b) { return b != nullptr ? static_cast<HBITMAP>(b->GetSafeHandle()) : nullptr; };
  return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, handle(pBmpUnchecked), handle(pBmpChecked));
}

BOOL CMenu::SetMenuItemInfo(UINT uItem, const MENUITEMINFO* lpMenuItemInfo, BOOL fByPos)
{
  return ::SetMenuItemInfo(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
  int length = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
  if (length <= 0) {
    rString.Empty();
    return 0;
  }
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  int got = ::GetMenuString(m_hMenu, nIDItem, buffer.data(), length + 1, nFlags);
  rString = CString(buffer.data(), got);
  return got;
}

CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd != nullptr ? pWnd->m_hWnd : nullptr, lpRect);
}
