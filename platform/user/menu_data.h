// The items of a menu, shared by the menu functions and the menu loop.
#pragma once

#include "platform/user/menu.h"

#include <mutex>
#include <string>
#include <vector>

struct HMENU__ {
  struct Item {
    UINT type = MFT_STRING;  // MFT_ bits
    UINT state = 0;          // MFS_ bits
    UINT id = 0;
    HMENU sub = nullptr;
    std::string text;
    ULONG_PTR data = 0;
    HBITMAP bitmap = nullptr;
    // Drawn in the check column in place of the check mark, and beside an unchecked item.
    HBITMAP checkedMark = nullptr;
    HBITMAP uncheckedMark = nullptr;
  };
  bool popup = false;
  std::vector<Item> items;
};

namespace user::detail {

std::recursive_mutex& MenuMutex();
// The menu behind a handle, or null when it is not a live menu. With MenuMutex() held.
HMENU__* LiveMenu(HMENU menu);
// Text before and after the tab: the label and its shortcut.
std::string LabelOf(const std::string& text);
std::string ShortcutOf(const std::string& text);
// The mnemonic of a label (the character after a single '&'), lower case, or 0.
int MnemonicOf(const std::string& label);
int LowerCp1251(int c);

}  // namespace user::detail
