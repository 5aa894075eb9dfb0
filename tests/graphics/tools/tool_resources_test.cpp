// The selector's resources as the program loads them: the context menus' items in order with their commands
// and texts, the handle cursors and the 16 x 16 menu-item bitmaps.
#include "platform/gdi/wingdi.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/menu.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"
#include "res/modules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Item {
  UINT command;  // 0: the "Пор&ядок" submenu, or a separator (no text)
  const char* text;
};

const Item kOrder{0, "Пор&ядок"};
const Item kSeparator{0, ""};

std::vector<std::pair<UINT, std::string>> ItemsOf(HMENU popup)
{
  std::vector<std::pair<UINT, std::string>> items;
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    char text[128] = "";
    GetMenuString(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    const UINT id = GetMenuItemID(popup, i);
    items.emplace_back(id == static_cast<UINT>(-1) ? 0u : id, text);
  }
  return items;
}

TEST(ToolResources, TheContextMenusHoldTheirItemsInOrder)
{
  HINSTANCE module = res::RegisterModules();
  const struct {
    UINT id;
    std::vector<Item> items;
  } menus[] = {
      {144,
       {{33106, "Включить"},
        kSeparator,
        {32782, "Добавить группу"},
        {32866, "Создать копию"},
        kSeparator,
        {32785, "Удалить группу"},
        kSeparator,
        {32859, "Параметры"}}},
      {1044,
       {{33108, "Включить"},
        {32782, "Добавить группу"},
        {33044, "Создать копию"},
        {33045, "Удалить опору в группе"},
        {33042, "Удалить группу"},
        {32859, "Параметры"}}},
      {1025,
       {{32873, "Добавить примитив"}, {32877, "Создать копию"}, kSeparator, {32875, "Удалить примитив"}, kSeparator,
        kOrder, kSeparator, {32859, "Параметры"}}},
      {1031, {{32873, "Добавить примитив"}, {32877, "Создать копию"}, kSeparator, {32859, "Параметры"}}},
      {1033,
       {{33059, "Перестроить"}, {33031, "&Правка примитива"}, {32877, "Создать копию"}, {32859, "Параметры"}}},
      {1034,
       {{33059, "Перестроить"},
        {33031, "&Правка примитива"},
        {32877, "Создать копию"},
        {32875, "Удалить примитив"},
        kOrder,
        {32859, "Параметры"}}},
      {1037, {{33034, "Удалить вершину"}, {32877, "Создать копию примитива"}, {32859, "Параметры"}}},
      {1038, {{33034, "Удалить вершину"}}},
      {1039,
       {{33034, "Удалить вершину"},
        {32877, "Создать копию примитива"},
        {32875, "Удалить примитив"},
        kOrder,
        {32859, "Параметры"}}},
      {1041, {{32877, "Создать копию примитива"}, {32859, "Параметры"}}},
      {1042, {{32877, "Создать копию примитива"}, {32875, "Удалить примитив"}, kOrder, {32859, "Параметры"}}},
  };
  for (const auto& menu : menus) {
    SCOPED_TRACE(menu.id);
    HMENU bar = LoadMenu(module, MAKEINTRESOURCE(static_cast<WORD>(menu.id)));
    ASSERT_NE(bar, nullptr);
    HMENU popup = GetSubMenu(bar, 0);
    ASSERT_NE(popup, nullptr);
    const auto items = ItemsOf(popup);
    ASSERT_EQ(items.size(), menu.items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i].first, menu.items[i].command) << i;
      EXPECT_EQ(items[i].second, menu.items[i].text) << i;
      if (menu.items[i].command == 0 && menu.items[i].text[0] != '\0') {
        HMENU order = GetSubMenu(popup, static_cast<int>(i));
        ASSERT_NE(order, nullptr);
        ASSERT_EQ(GetMenuItemCount(order), 2);
        EXPECT_EQ(GetMenuItemID(order, 0), 32882u);
        EXPECT_EQ(GetMenuItemID(order, 1), 32884u);
      }
    }
    DestroyMenu(bar);
  }
}

TEST(ToolResources, HandleCursorsAndMenuBitmapsLoad)
{
  HINSTANCE module = res::RegisterModules();
  for (WORD id : {104, 293, 294})
    EXPECT_NE(LoadCursorFromModule(module, MAKEINTRESOURCE(id)), nullptr) << id;
  for (WORD id : {317, 318, 319, 320, 321, 768}) {
    HBITMAP bitmap = LoadBitmap(module, MAKEINTRESOURCE(id));
    ASSERT_NE(bitmap, nullptr) << id;
    BITMAP info{};
    ASSERT_NE(GetObject(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 16);
    DeleteObject(bitmap);
    // The resource itself is the 24-bit picture.
    HRSRC found = FindResource(module, MAKEINTRESOURCE(id), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biBitCount, 24);
  }
}

}  // namespace
