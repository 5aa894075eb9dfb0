// Menus as data: creation, items, states and templates.
#include "platform/user/menu.h"

#include "platform/base/codepage.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/menu_data.h"
#include "platform/user/window.h"

#include <cstring>
#include <set>
#include <vector>

using namespace user::detail;

namespace {

std::set<HMENU>& Menus()
{
  static auto* menus = new std::set<HMENU>;
  return *menus;
}

// The item named by command id (searching submenus too) or by position; `owner` receives its menu.
HMENU__::Item* FindItem(HMENU menu, UINT item, UINT flags, HMENU* owner = nullptr, int* index = nullptr)
{
  HMENU__* m = LiveMenu(menu);
  if (m == nullptr) {
    return nullptr;
  }
  if ((flags & MF_BYPOSITION) != 0) {
    if (item >= m->items.size()) {
      return nullptr;
    }
    if (owner != nullptr) {
      *owner = menu;
    }
    if (index != nullptr) {
      *index = static_cast<int>(item);
    }
    return &m->items[item];
  }
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    HMENU__::Item& it = m->items[i];
    if (it.sub != nullptr) {
      if (HMENU__::Item* inner = FindItem(it.sub, item, flags, owner, index)) {
        return inner;
      }
      continue;
    }
    if (it.id == item && (it.type & MFT_SEPARATOR) == 0) {
      if (owner != nullptr) {
        *owner = menu;
      }
      if (index != nullptr) {
        *index = static_cast<int>(i);
      }
      return &it;
    }
  }
  return nullptr;
}

HMENU__::Item FromFlags(UINT flags, UINT_PTR idOrPopup, LPCSTR text)
{
  HMENU__::Item it;
  it.type = flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY |
                     MFT_RADIOCHECK);
  it.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if ((flags & MF_POPUP) != 0) {
    it.sub = reinterpret_cast<HMENU>(idOrPopup);
    if (HMENU__* sub = LiveMenu(it.sub)) {
      sub->popup = true;
    }
    it.id = static_cast<UINT>(idOrPopup);
  } else {
    it.id = static_cast<UINT>(idOrPopup);
  }
  if ((flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR)) == 0 && text != nullptr) {
    it.text = text;
  } else if ((flags & MF_OWNERDRAW) != 0) {
    it.data = reinterpret_cast<ULONG_PTR>(text);
  } else if ((flags & MF_BITMAP) != 0) {
    it.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(text));
  }
  return it;
}

void DestroyMenuLocked(HMENU menu)
{
  HMENU__* m = LiveMenu(menu);
  if (m == nullptr) {
    return;
  }
  Menus().erase(menu);
  for (HMENU__::Item& it : m->items) {
    if (it.sub != nullptr) {
      DestroyMenuLocked(it.sub);
    }
  }
  delete m;
}

HMENU NewMenu(bool popup)
{
  std::lock_guard lock(MenuMutex());
  auto* m = new HMENU__;
  m->popup = popup;
  Menus().insert(m);
  return m;
}

}  // namespace

namespace user::detail {

std::recursive_mutex& MenuMutex()
{
  static auto* mutex = new std::recursive_mutex;
  return *mutex;
}

HMENU__* LiveMenu(HMENU menu) { return Menus().count(menu) != 0 ? menu : nullptr; }

std::string LabelOf(const std::string& text) { return text.substr(0, text.find('\t')); }

std::string ShortcutOf(const std::string& text)
{
  std::size_t tab = text.find('\t');
  return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

int LowerCp1251(int c)
{
  c &= 0xFF;
  if (c >= 'A' && c <= 'Z') {
    return c + 32;
  }
  if (c >= 0xC0 && c <= 0xDF) {
    return c + 32;
  }
  if (c == 0xA8) {
    return 0xB8;
  }
  return c;
}

int MnemonicOf(const std::string& label)
{
  for (std::size_t i = 0; i + 1 < label.size(); ++i) {
    if (label[i] == '&') {
      if (label[i + 1] == '&') {
        ++i;
        continue;
      }
      return LowerCp1251(static_cast<unsigned char>(label[i + 1]));
    }
  }
  return 0;
}

}  // namespace user::detail

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU menu)
{
  std::lock_guard lock(MenuMutex());
  if (LiveMenu(menu) == nullptr) {
    return FALSE;
  }
  DestroyMenuLocked(menu);
  return TRUE;
}

BOOL IsMenu(HMENU menu)
{
  std::lock_guard lock(MenuMutex());
  return LiveMenu(menu) != nullptr ? TRUE : FALSE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text)
{
  std::lock_guard lock(MenuMutex());
  HMENU__* m = LiveMenu(menu);
  if (m == nullptr) {
    return FALSE;
  }
  m->items.push_back(FromFlags(flags, idOrPopup, text));
  return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text)
{
  std::lock_guard lock(MenuMutex());
  HMENU owner = menu;
  int index = 0;
  if (position == static_cast<UINT>(-1) && (flags & MF_BYPOSITION) != 0) {
    return AppendMenu(menu, flags & ~MF_BYPOSITION, idOrPopup, text);
  }
  if (FindItem(menu, position, flags, &owner, &index) == nullptr) {
    if ((flags & MF_BYPOSITION) != 0 && LiveMenu(menu) != nullptr) {
      LiveMenu(menu)->items.push_back(FromFlags(flags, idOrPopup, text));
      return TRUE;
    }
    return FALSE;
  }
  auto& items = LiveMenu(owner)->items;
  items.insert(items.begin() + index, FromFlags(flags, idOrPopup, text));
  return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text)
{
  std::lock_guard lock(MenuMutex());
  HMENU__::Item* it = FindItem(menu, position, flags);
  if (it == nullptr) {
    return FALSE;
  }
  HMENU__::Item replacement = FromFlags(flags, idOrPopup, text);
  if (it->sub != nullptr && it->sub != replacement.sub) {
    DestroyMenuLocked(it->sub);
  }
  *it = replacement;
  return TRUE;
}

namespace {

BOOL Remove(HMENU menu, UINT position, UINT flags, bool destroySub)
{
  std::lock_guard lock(MenuMutex());
  HMENU owner = nullptr;
  int index = 0;
  HMENU__::Item* it = FindItem(menu, position, flags, &owner, &index);
  if (it == nullptr) {
    return FALSE;
  }
  if (destroySub && it->sub != nullptr) {
    DestroyMenuLocked(it->sub);
  }
  auto& items = LiveMenu(owner)->items;
  items.erase(items.begin() + index);
  return TRUE;
}

}  // namespace

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return Remove(menu, position, flags, true); }
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return Remove(menu, position, flags, false); }

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info)
{
  if (info == nullptr) {
    return FALSE;
  }
  std::lock_guard lock(MenuMutex());
  HMENU__* m = LiveMenu(menu);
  if (m == nullptr) {
    return FALSE;
  }
  HMENU owner = menu;
  int index = static_cast<int>(m->items.size());
  if (!(byPosition && item >= m->items.size())) {
    if (FindItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, &owner, &index) == nullptr) {
      index = static_cast<int>(m->items.size());
      owner = menu;
    }
  }
  auto& items = LiveMenu(owner)->items;
  items.insert(items.begin() + index, HMENU__::Item{});
  SetMenuItemInfo(owner, static_cast<UINT>(index), TRUE, info);
  return TRUE;
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info)
{
  if (info == nullptr) {
    return FALSE;
  }
  std::lock_guard lock(MenuMutex());
  HMENU__::Item* it = FindItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (it == nullptr) {
    return FALSE;
  }
  if ((info->fMask & (MIIM_FTYPE | MIIM_TYPE)) != 0) {
    info->fType = it->type;
  }
  if ((info->fMask & MIIM_STATE) != 0) {
    info->fState = it->state;
  }
  if ((info->fMask & MIIM_ID) != 0) {
    info->wID = it->id;
  }
  if ((info->fMask & MIIM_SUBMENU) != 0) {
    info->hSubMenu = it->sub;
  }
  if ((info->fMask & MIIM_DATA) != 0) {
    info->dwItemData = it->data;
  }
  if ((info->fMask & MIIM_BITMAP) != 0) {
    info->hbmpItem = it->bitmap;
  }
  if ((info->fMask & MIIM_CHECKMARKS) != 0) {
    info->hbmpChecked = it->checkedMark;
    info->hbmpUnchecked = it->uncheckedMark;
  }
  if ((info->fMask & (MIIM_STRING | MIIM_TYPE)) != 0) {
    if (info->dwTypeData != nullptr && info->cch > 0) {
      std::size_t n = std::min<std::size_t>(it->text.size(), info->cch - 1);
      std::memcpy(info->dwTypeData, it->text.data(), n);
      info->dwTypeData[n] = '\0';
    }
    info->cch = static_cast<UINT>(it->text.size());
  }
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info)
{
  if (info == nullptr) {
    return FALSE;
  }
  std::lock_guard lock(MenuMutex());
  HMENU__::Item* it = FindItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (it == nullptr) {
    return FALSE;
  }
  if ((info->fMask & (MIIM_FTYPE | MIIM_TYPE)) != 0) {
    it->type = info->fType;
  }
  if ((info->fMask & MIIM_STATE) != 0) {
    it->state = info->fState;
  }
  if ((info->fMask & MIIM_ID) != 0) {
    it->id = info->wID;
  }
  if ((info->fMask & MIIM_SUBMENU) != 0) {
    it->sub = info->hSubMenu;
    if (HMENU__* sub = LiveMenu(it->sub)) {
      sub->popup = true;
    }
  }
  if ((info->fMask & MIIM_DATA) != 0) {
    it->data = info->dwItemData;
  }
  if ((info->fMask & MIIM_BITMAP) != 0) {
    it->bitmap = info->hbmpItem;
  }
  if ((info->fMask & MIIM_CHECKMARKS) != 0) {
    it->checkedMark = info->hbmpChecked;
    it->uncheckedMark = info->hbmpUnchecked;
  }
  if ((info->fMask & (MIIM_STRING | MIIM_TYPE)) != 0 && (it->type & (MFT_SEPARATOR | MFT_BITMAP)) == 0) {
    it->text = info->dwTypeData != nullptr ? info->dwTypeData : "";
  }
  return TRUE;
}

int GetMenuItemCount(HMENU menu)
{
  std::lock_guard lock(MenuMutex());
  HMENU__* m = LiveMenu(menu);
  return m != nullptr ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position)
{
  std::lock_guard lock(MenuMutex());
  HMENU__* m = LiveMenu(menu);
  if (m == nullptr || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) {
    return static_cast<UINT>(-1);
  }
  const HMENU__::Item& it = m->items[static_cast<std::size_t>(position)];
  return it.sub != nullptr ? static_cast<UINT>(-1) : it.id;
}

HMENU GetSubMenu(HMENU menu, int position)
{
  std::lock_guard lock(MenuMutex());
  HMENU__* m = LiveMenu(menu);
  if (m == nullptr || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) {
    return nullptr;
  }
  return m->items[static_cast<std::size_t>(position)].sub;
}

int GetMenuString(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags)
{
  std::lock_guard lock(MenuMutex());
  HMENU__::Item* it = FindItem(menu, item, flags);
  if (it == nullptr) {
    return 0;
  }
  if (buffer == nullptr || size <= 0) {
    return static_cast<int>(it->text.size());
  }
  int n = std::min<int>(static_cast<int>(it->text.size()), size - 1);
  std::memcpy(buffer, it->text.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags)
{
  std::lock_guard lock(MenuMutex());
  HMENU__::Item* it = FindItem(menu, item, flags);
  if (it == nullptr) {
    return static_cast<UINT>(-1);
  }
  UINT state = it->type | it->state;
  if (it->sub != nullptr) {
    HMENU__* sub = LiveMenu(it->sub);
    state |= MF_POPUP | ((sub != nullptr ? static_cast<UINT>(sub->items.size()) : 0u) << 8);
  }
  return state;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check)
{
  std::lock_guard lock(MenuMutex());
  HMENU__::Item* it = FindItem(menu, item, check);
  if (it == nullptr) {
    return static_cast<DWORD>(-1);
  }
  DWORD old = it->state & MF_CHECKED;
  it->state = (it->state & ~MF_CHECKED) | (check & MF_CHECKED);
  return old;
}

BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked)
{
  std::lock_guard lock(MenuMutex());
  HMENU__::Item* it = FindItem(menu, position, flags);
  if (it == nullptr) {
    return FALSE;
  }
  it->uncheckedMark = unchecked;
  it->checkedMark = checked;
  return TRUE;
}

LONG GetMenuCheckMarkDimensions() { return MAKELONG(13, 13); }

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags)
{
  std::lock_guard lock(MenuMutex());
  HMENU__* m = LiveMenu(menu);
  if (m == nullptr) {
    return FALSE;
  }
  bool found = false;
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    HMENU__::Item& it = m->items[i];
    UINT key = (flags & MF_BYPOSITION) != 0 ? static_cast<UINT>(i) : it.id;
    if (key < first || key > last) {
      continue;
    }
    if (key == check) {
      it.state |= MF_CHECKED;
      it.type |= MFT_RADIOCHECK;
      found = true;
    } else {
      it.state &= ~MF_CHECKED;
    }
  }
  return found ? TRUE : FALSE;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable)
{
  std::lock_guard lock(MenuMutex());
  HMENU__::Item* it = FindItem(menu, item, enable);
  if (it == nullptr) {
    return -1;
  }
  BOOL old = static_cast<BOOL>(it->state & (MF_GRAYED | MF_DISABLED));
  it->state = (it->state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return old;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition)
{
  std::lock_guard lock(MenuMutex());
  HMENU__* m = LiveMenu(menu);
  if (m == nullptr) {
    return FALSE;
  }
  bool found = false;
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    HMENU__::Item& it = m->items[i];
    bool match = byPosition ? i == item : it.id == item;
    it.state = (it.state & ~MFS_DEFAULT) | (match ? MFS_DEFAULT : 0u);
    found = found || match;
  }
  return found || item == static_cast<UINT>(-1) ? TRUE : FALSE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT)
{
  std::lock_guard lock(MenuMutex());
  HMENU__* m = LiveMenu(menu);
  if (m == nullptr) {
    return static_cast<UINT>(-1);
  }
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    if ((m->items[i].state & MFS_DEFAULT) != 0) {
      return byPosition ? static_cast<UINT>(i) : m->items[i].id;
    }
  }
  return static_cast<UINT>(-1);
}

HMENU GetSystemMenu(HWND, BOOL) { return nullptr; }

namespace {

// Reads one level of a template; `p` moves past it. False on a malformed template.
bool ReadLevel(const BYTE*& p, const BYTE* end, HMENU menu, int depth)
{
  if (depth > 16) {
    return false;
  }
  for (;;) {
    if (end - p < 2) {
      return false;
    }
    WORD flags = static_cast<WORD>(p[0] | (p[1] << 8));
    p += 2;
    WORD id = 0;
    if ((flags & MF_POPUP) == 0) {
      if (end - p < 2) {
        return false;
      }
      id = static_cast<WORD>(p[0] | (p[1] << 8));
      p += 2;
    }
    std::u16string text;
    for (;;) {
      if (end - p < 2) {
        return false;
      }
      char16_t c = static_cast<char16_t>(p[0] | (p[1] << 8));
      p += 2;
      if (c == 0) {
        break;
      }
      text.push_back(c);
    }
    std::string label = codepage::Utf16ToCp1251(text);
    UINT itemFlags = flags & ~(MF_END | MF_POPUP);
    if ((flags & MF_POPUP) != 0) {
      HMENU sub = CreatePopupMenu();
      if (!ReadLevel(p, end, sub, depth + 1)) {
        DestroyMenu(sub);
        return false;
      }
      AppendMenu(menu, itemFlags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), label.c_str());
    } else if (id == 0 && text.empty()) {
      AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenu(menu, itemFlags, id, label.c_str());
    }
    if ((flags & MF_END) != 0) {
      return true;
    }
  }
}

}  // namespace

HMENU LoadMenuIndirect(const void* menuTemplate)
{
  if (menuTemplate == nullptr) {
    return nullptr;
  }
  const auto* p = static_cast<const BYTE*>(menuTemplate);
  WORD version = static_cast<WORD>(p[0] | (p[1] << 8));
  WORD offset = static_cast<WORD>(p[2] | (p[3] << 8));
  if (version != 0) {
    return nullptr;
  }
  p += 4 + offset;
  // The template carries no length; a level ends at its MF_END item, so the reader needs no bound of its own.
  const BYTE* end = p + 0x100000;
  HMENU menu = CreateMenu();
  if (!ReadLevel(p, end, menu, 0)) {
    DestroyMenu(menu);
    return nullptr;
  }
  return menu;
}

HMENU LoadMenu(HINSTANCE instance, LPCSTR name)
{
  // Our modules know their resources by number only.
  if (name == nullptr || !IS_INTRESOURCE(name)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const platform::MenuResource* found =
      platform::FindMenu(instance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
  if (found == nullptr) {
    return nullptr;
  }
  using Item = platform::MenuItemResource;
  HMENU menu = CreateMenu();
  // The menu of each open level; an item's depth says how many of them it closes.
  std::vector<HMENU> levels{menu};
  for (std::size_t i = 0; i < found->itemCount; ++i) {
    const Item& item = found->items[i];
    if (item.depth >= levels.size()) {
      DestroyMenu(menu);
      SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
      return nullptr;
    }
    levels.resize(item.depth + 1u);
    UINT state = ((item.flags & Item::kGrayed) != 0 ? MF_GRAYED : 0) |
                 ((item.flags & Item::kChecked) != 0 ? MF_CHECKED : 0);
    if ((item.flags & Item::kPopup) != 0) {
      HMENU sub = CreatePopupMenu();
      AppendMenu(levels.back(), MF_POPUP | state, reinterpret_cast<UINT_PTR>(sub), item.text);
      levels.push_back(sub);
    } else if ((item.flags & Item::kSeparator) != 0) {
      AppendMenu(levels.back(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenu(levels.back(), MF_STRING | state, item.id, item.text);
    }
  }
  return menu;
}
