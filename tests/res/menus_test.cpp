// Menus and accelerator tables from a compiled module (tests/res/samples.rsrc), loaded into handles and used.
#include "platform/mfc-core/resources.h"
#include "platform/user/user.h"
#include "res/samples_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace res {
const platform::ResourceModuleData& SamplesModule();
}

namespace {

constexpr UINT kSave = 57603;
constexpr UINT kPrint = 57607;
constexpr UINT kDxf = 32800;
constexpr UINT kPng = 32801;
constexpr UINT kRefresh = 32772;
constexpr UINT kNoPopupId = static_cast<UINT>(-1);

std::vector<WPARAM>& Commands()
{
  static std::vector<WPARAM> commands;
  return commands;
}

LRESULT OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == WM_COMMAND) {
    Commands().push_back(wParam);
    return 0;
  }
  return DefWindowProc(hwnd, message, wParam, lParam);
}

class LoadedResources : public ::testing::Test {
 protected:
  void SetUp() override
  {
    module = platform::RegisterResourceModule(res::SamplesModule());
    static bool registered = [] {
      WNDCLASS wc;
      wc.lpfnWndProc = &OwnerProc;
      wc.lpszClassName = "ResSamplesOwner";
      return RegisterClass(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    owner = CreateWindowEx(0, "ResSamplesOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                           nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    SetFocus(owner);
    Pump(false);
    Commands().clear();
  }
  void TearDown() override { DestroyWindow(owner); }

  // Dispatches what waits; with `accelerators`, key messages go through the sample table first.
  void Pump(bool accelerators, HACCEL table = nullptr)
  {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (accelerators && TranslateAccelerator(owner, table, &msg)) {
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }

  static std::string Text(HMENU menu, int position)
  {
    char buffer[128];
    int length = GetMenuString(menu, static_cast<UINT>(position), buffer, sizeof buffer, MF_BYPOSITION);
    return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
  }

  HINSTANCE module = nullptr;
  HWND owner = nullptr;
};

TEST_F(LoadedResources, LoadMenuBuildsEveryLevelOfTheScript)
{
  HMENU bar = LoadMenu(module, MAKEINTRESOURCE(res::samples::IDR_SAMPLE));
  ASSERT_NE(bar, nullptr);
  HMENU file = GetSubMenu(bar, 0);
  HMENU exportMenu = GetSubMenu(file, 4);
  ASSERT_NE(file, nullptr);
  ASSERT_NE(exportMenu, nullptr);
  struct Case {
    HMENU menu;
    int position;
    UINT id;  // kNoPopupId for a popup
    std::string text;
    UINT state;  // without the popup's item count
  };
  const Case cases[] = {
      {bar, 0, kNoPopupId, "&\xD4\xE0\xE9\xEB", MF_POPUP},
      {bar, 1, 57665, "\xC2&\xFB\xF5\xEE\xE4", 0},  // after the nested popups close, back on the bar
      {file, 0, 57600, "&\xCD\xEE\xE2\xFB\xE9\tCtrl+N", 0},
      {file, 1, 0, "", MF_SEPARATOR},
      {file, 2, kSave, "&Save\tCtrl+Shift+S", MF_CHECKED},
      {file, 3, kPrint, "&Print", MF_GRAYED},
      {file, 4, kNoPopupId, "E&xport", MF_POPUP},
      {exportMenu, 0, kDxf, "&DXF", 0},
      {exportMenu, 1, kPng, "P&NG", MF_GRAYED | MF_CHECKED},
  };
  EXPECT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(GetMenuItemCount(file), 5);
  EXPECT_EQ(GetMenuItemCount(exportMenu), 2);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(GetMenuItemID(c.menu, c.position), c.id);
    EXPECT_EQ(Text(c.menu, c.position), c.text);
    EXPECT_EQ(GetMenuState(c.menu, static_cast<UINT>(c.position), MF_BYPOSITION) & 0xFF, c.state & 0xFF);
    EXPECT_EQ(GetMenuState(c.menu, static_cast<UINT>(c.position), MF_BYPOSITION) & MF_SEPARATOR,
              c.state & MF_SEPARATOR);
  }
  // Each load is a menu of its own.
  HMENU again = LoadMenu(module, MAKEINTRESOURCE(res::samples::IDR_SAMPLE));
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, bar);
  CheckMenuItem(again, kDxf, MF_CHECKED);
  EXPECT_EQ(GetMenuState(bar, kDxf, MF_BYCOMMAND) & MF_CHECKED, 0u);
  DestroyMenu(again);
  DestroyMenu(bar);
}

TEST_F(LoadedResources, TrackPopupMenuOnALoadedMenuReturnsTheChosenCommand)
{
  struct Case {
    std::vector<UINT> keys;
    UINT expected;
  };
  const Case cases[] = {
      {{VK_DOWN, VK_RETURN}, 57600},
      {{VK_DOWN, VK_DOWN, VK_RETURN}, kSave},  // past the separator
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE}, 0},  // the grayed item cannot be chosen
      {{'X', 'D'}, kDxf},  // mnemonics down into the nested popup
      {{'X', 'N', VK_ESCAPE, VK_ESCAPE}, 0},  // a grayed item's mnemonic chooses nothing
      {{VK_ESCAPE}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.keys));
    HMENU bar = LoadMenu(module, MAKEINTRESOURCE(res::samples::IDR_SAMPLE));
    ASSERT_NE(bar, nullptr);
    for (UINT k : c.keys) {
      user::InjectKeyPress(k);
    }
    UINT got = static_cast<UINT>(TrackPopupMenu(GetSubMenu(bar, 0), TPM_RETURNCMD, 50, 50, 0, owner, nullptr));
    EXPECT_EQ(got, c.expected);
    Pump(false);  // whatever the loop left behind stays out of the next case
    DestroyMenu(bar);
  }
}

TEST_F(LoadedResources, LoadedAcceleratorsTurnKeysIntoCommands)
{
  HACCEL table = LoadAccelerators(module, MAKEINTRESOURCE(res::samples::IDR_SAMPLE));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(CopyAcceleratorTable(table, nullptr, 0), 3);
  struct Case {
    std::vector<std::pair<UINT, bool>> keys;
    std::vector<WPARAM> commands;
  };
  const Case cases[] = {
      {{{VK_CONTROL, true}, {'N', true}, {'N', false}, {VK_CONTROL, false}}, {MAKEWPARAM(57600, 1)}},
      {{{'N', true}, {'N', false}}, {}},
      {{{VK_CONTROL, true}, {VK_SHIFT, true}, {'S', true}, {'S', false}, {VK_SHIFT, false}, {VK_CONTROL, false}},
       {MAKEWPARAM(kSave, 1)}},
      {{{VK_CONTROL, true}, {'S', true}, {'S', false}, {VK_CONTROL, false}}, {}},  // Shift is part of it
      {{{VK_F5, true}, {VK_F5, false}}, {MAKEWPARAM(kRefresh, 1)}},
      {{{VK_SHIFT, true}, {VK_F5, true}, {VK_F5, false}, {VK_SHIFT, false}}, {}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    Commands().clear();
    for (auto [vk, down] : cases[i].keys) {
      user::InjectKey(vk, down);
    }
    Pump(true, table);
    EXPECT_EQ(Commands(), cases[i].commands);
  }
  EXPECT_TRUE(DestroyAcceleratorTable(table));
}

TEST_F(LoadedResources, WhatIsNotThereAnswersNullWithTheReason)
{
  // The registry keeps the address: the module's data lives for the run, as compiled modules do.
  static const platform::ResourceModuleData kEmpty{"ResSamplesEmpty", nullptr, 0};
  HINSTANCE withoutMenus = platform::RegisterResourceModule(kEmpty);
  struct Case {
    const char* what;
    HINSTANCE module;
    LPCSTR name;
    DWORD error;
  };
  const Case cases[] = {
      {"an id the module lacks", module, MAKEINTRESOURCE(129), ERROR_RESOURCE_NAME_NOT_FOUND},
      {"a module without menus", withoutMenus, MAKEINTRESOURCE(128), ERROR_RESOURCE_NAME_NOT_FOUND},
      {"a name, not a number", module, "IDR_SAMPLE", ERROR_RESOURCE_NAME_NOT_FOUND},
      {"no module", nullptr, MAKEINTRESOURCE(128), ERROR_RESOURCE_DATA_NOT_FOUND},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_EQ(LoadMenu(c.module, c.name), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
    SetLastError(0);
    EXPECT_EQ(LoadAccelerators(c.module, c.name), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
  // A module marked missing finds nothing, even through the handle it had; through LoadLibrary it loads again.
  {
    platform::ScopedResourceModuleAbsence absent("ResSamples");
    SetLastError(0);
    EXPECT_EQ(LoadMenu(module, MAKEINTRESOURCE(128)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  }
  HINSTANCE loaded = platform::LoadResourceModule("ResSamples");
  ASSERT_NE(loaded, nullptr);
  HMENU menu = LoadMenu(loaded, MAKEINTRESOURCE(128));
  EXPECT_NE(menu, nullptr);
  DestroyMenu(menu);
  platform::FreeResourceModule(loaded);
}

}  // namespace
