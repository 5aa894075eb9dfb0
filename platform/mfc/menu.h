// CMenu: the framework's object for a menu handle. An object made with CreateMenu, LoadMenu or Attach owns
// its menu and destroys it; FromHandle gives a temporary one that only names a menu (freed at idle time).
#pragma once

#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/object.h"
#include "platform/user/menu.h"

class CBitmap;
class CWnd;

class CMenu : public CObject {
  DECLARE_DYNCREATE(CMenu)
public:
  CMenu() = default;
  ~CMenu() override;

  HMENU m_hMenu = nullptr;
  operator HMENU() const { return m_hMenu; }
  HMENU GetSafeHmenu() const { return m_hMenu; }

  static CMenu* FromHandle(HMENU hMenu);
  static void DeleteTempMap();

  BOOL Attach(HMENU hMenu);
  HMENU Detach();
  BOOL CreateMenu();
  BOOL CreatePopupMenu();
  BOOL LoadMenu(UINT nIDResource);
  BOOL LoadMenu(LPCSTR lpszResourceName);
  BOOL DestroyMenu();

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
  BOOL DeleteMenu(UINT nPosition, UINT nFlags);
  BOOL RemoveMenu(UINT nPosition, UINT nFlags);
  UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
  UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
  BOOL SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked);
  BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
  BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE);
  BOOL GetMenuItemInfo(UINT uItem, MENUITEMINFO* lpMenuItemInfo, BOOL fByPos = FALSE) const;
  BOOL SetMenuItemInfo(UINT uItem, const MENUITEMINFO* lpMenuItemInfo, BOOL fByPos = FALSE);

  int GetMenuItemCount() const;
  UINT GetMenuItemID(int nPos) const;
  UINT GetMenuState(UINT nID, UINT nFlags) const;
  int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
  CMenu* GetSubMenu(int nPos) const;

  BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);
};
