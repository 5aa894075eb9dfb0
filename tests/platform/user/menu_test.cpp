// Menus: TrackPopupMenu driven by keys and the mouse, templates, the menu bar, and accelerators.
#include "platform/user/user.h"
#include "tests/platform/user/recorder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

using usertest::How;
using usertest::Rec;
using usertest::Recorder;

namespace {

constexpr UINT kOpen = 100;
constexpr UINT kSave = 101;
constexpr UINT kPrint = 102;
constexpr UINT kZoomIn = 200;
constexpr UINT kZoomOut = 201;

struct Fixture {
  Recorder rec;
  HWND owner = nullptr;
  HMENU menu = nullptr;

  // &Open | --- | &Save | Print (grayed) | &View > [Zoom &in, Zoom &out]
  Fixture()
  {
    owner = rec.Create("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{0, 0, 400, 300});
    SetFocus(owner);
    menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, kOpen, "&Open\tCtrl+O");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_STRING, kSave, "&Save");
    AppendMenu(menu, MF_STRING | MF_GRAYED, kPrint, "Print");
    HMENU view = CreatePopupMenu();
    AppendMenu(view, MF_STRING, kZoomIn, "Zoom &in");
    AppendMenu(view, MF_STRING, kZoomOut, "Zoom &out");
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    rec.Pump();
    rec.Clear();
  }
  ~Fixture()
  {
    DestroyMenu(menu);
    DestroyWindow(owner);
  }

  UINT Track(std::initializer_list<UINT> keys)
  {
    for (UINT k : keys) {
      user::InjectKeyPress(k);
    }
    return static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN, 50, 50, 0, owner, nullptr));
  }
};

TEST(Menus, TrackPopupMenuDrivenByKeysReturnsTheChosenCommand)
{
  struct Case {
    std::initializer_list<UINT> keys;
    UINT expected;
  };
  const Case cases[] = {
      {{VK_DOWN, VK_RETURN}, kOpen},
      {{VK_DOWN, VK_DOWN, VK_RETURN}, kSave},                       // the separator is skipped
      {{VK_UP, VK_RETURN}, 0},                                      // onto the View popup: Return opens it ...
      {{VK_UP, VK_UP, VK_RETURN, VK_ESCAPE}, 0},                    // ... a grayed item cannot be chosen
      {{VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN}, kZoomOut},            // into the submenu
      {{VK_UP, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN}, kOpen},      // and back out of it
      {{'S'}, kSave},                                               // mnemonic
      {{'V', 'I'}, kZoomIn},                                        // mnemonics down the levels
      {{VK_ESCAPE}, 0},
  };
  for (const Case& c : cases) {
    Fixture f;
    std::vector<UINT> keys(c.keys);
    if (c.expected == 0 && keys.back() != VK_ESCAPE) {
      keys.push_back(VK_ESCAPE);
      keys.push_back(VK_ESCAPE);
    }
    for (UINT k : keys) {
      user::InjectKeyPress(k);
    }
    UINT got = static_cast<UINT>(TrackPopupMenu(f.menu, TPM_RETURNCMD, 50, 50, 0, f.owner, nullptr));
    EXPECT_EQ(got, c.expected) << "keys starting " << *c.keys.begin();
  }
}

TEST(Menus, WithoutReturnCmdTheCommandIsPostedAndTheOwnerIsToldOfTheLoop)
{
  Fixture f;
  f.rec.Only({WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_UNINITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND});
  user::InjectKeyPress(VK_DOWN);
  user::InjectKeyPress(VK_RETURN);
  EXPECT_TRUE(TrackPopupMenu(f.menu, 0, 50, 50, 0, f.owner, nullptr));
  f.rec.Pump();
  std::vector<Rec> expected{
      {"owner", WM_ENTERMENULOOP, How::Sent},   {"owner", WM_INITMENUPOPUP, How::Sent},
      {"owner", WM_UNINITMENUPOPUP, How::Sent}, {"owner", WM_EXITMENULOOP, How::Sent},
      {"owner", WM_COMMAND, How::Posted},
  };
  EXPECT_EQ(f.rec.Log(), expected);
}

TEST(Menus, AClickOnAnItemChoosesItAndAClickOutsideCancels)
{
  {
    Fixture f;
    // The popup opens at (50, 50); its first item starts one border pixel and the margin further in.
    user::InjectClick(POINT{70, 50 + 1 + 2 + 18 + 8 + 5});
    EXPECT_EQ(TrackPopupMenu(f.menu, TPM_RETURNCMD, 50, 50, 0, f.owner, nullptr), static_cast<BOOL>(kSave));
  }
  {
    Fixture f;
    user::InjectClick(POINT{390, 290});
    EXPECT_EQ(TrackPopupMenu(f.menu, TPM_RETURNCMD, 50, 50, 0, f.owner, nullptr), 0);
  }
}

TEST(Menus, ItemStatesAndStrings)
{
  Fixture f;
  EXPECT_EQ(GetMenuItemCount(f.menu), 5);
  EXPECT_EQ(GetMenuItemID(f.menu, 2), kSave);
  EXPECT_EQ(GetMenuItemID(f.menu, 4), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuState(f.menu, kPrint, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  CheckMenuItem(f.menu, kZoomIn, MF_BYCOMMAND | MF_CHECKED);  // found inside the submenu
  EXPECT_EQ(GetMenuState(GetSubMenu(f.menu, 4), 0, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(GetMenuState(f.menu, 4, MF_BYPOSITION), MF_POPUP | (2u << 8));
  char text[32];
  GetMenuString(f.menu, kOpen, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&Open\tCtrl+O");
  EXPECT_EQ(GetMenuState(f.menu, 999, MF_BYCOMMAND), static_cast<UINT>(-1));
  HMENU sub = GetSubMenu(f.menu, 4);
  DeleteMenu(f.menu, 4, MF_BYPOSITION);
  EXPECT_FALSE(IsMenu(sub));
}

// What the open popup shows, read when the menu loop takes its first key.
std::map<COLORREF, int> g_popupColours;

LRESULT ReadPopup(int code, WPARAM wParam, LPARAM lParam)
{
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_MENU && msg->message == WM_KEYDOWN && g_popupColours.empty()) {
    HWND popup = FindWindow("#32768", nullptr);
    UpdateWindow(popup);
    RECT r;
    GetClientRect(popup, &r);
    HDC dc = GetDC(popup);
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x)
        ++g_popupColours[GetPixel(dc, x, y)];
    ReleaseDC(popup, dc);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Menus, CheckMarkBitmapsAreDrawnInTheCheckColumnCombinedByAnd)
{
  auto solid = [](std::uint32_t pixel) {
    std::vector<std::uint32_t> bits(13 * 13, pixel);
    return CreateBitmap(13, 13, 1, 32, bits.data());
  };
  HBITMAP red = solid(0xFF0000);
  HBITMAP blue = solid(0x0000FF);
  const COLORREF menu = GetSysColor(COLOR_MENU);
  const COLORREF redOnMenu = RGB(GetRValue(menu), 0, 0);
  const COLORREF blueOnMenu = RGB(0, 0, GetBValue(menu));
  auto shown = [](Fixture& f) {
    g_popupColours.clear();
    HHOOK hook = SetWindowsHookEx(WH_MSGFILTER, &ReadPopup, nullptr, 0);
    f.Track({VK_ESCAPE});
    UnhookWindowsHookEx(hook);
    return g_popupColours;
  };

  Fixture f;
  EXPECT_FALSE(SetMenuItemBitmaps(f.menu, 999, MF_BYCOMMAND, red, blue));
  ASSERT_TRUE(SetMenuItemBitmaps(f.menu, kOpen, MF_BYCOMMAND, red, blue));
  MENUITEMINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_CHECKMARKS;
  ASSERT_TRUE(GetMenuItemInfo(f.menu, kOpen, FALSE, &info));
  EXPECT_EQ(info.hbmpUnchecked, red);
  EXPECT_EQ(info.hbmpChecked, blue);

  std::map<COLORREF, int> colours = shown(f);
  EXPECT_EQ(colours[redOnMenu], 13 * 13) << "the unchecked item's mark";
  EXPECT_EQ(colours[blueOnMenu], 0);
  CheckMenuItem(f.menu, kOpen, MF_BYCOMMAND | MF_CHECKED);
  colours = shown(f);
  EXPECT_EQ(colours[redOnMenu], 0);
  EXPECT_EQ(colours[blueOnMenu], 13 * 13) << "the checked item's mark in place of the check";

  SetMenuItemBitmaps(f.menu, kOpen, MF_BYCOMMAND, nullptr, nullptr);
  EXPECT_EQ(shown(f)[blueOnMenu], 0) << "the plain check mark again";
  DeleteObject(red);
  DeleteObject(blue);
}

TEST(Menus, LoadMenuIndirectReadsATemplate)
{
  // "&Файл" popup { "&Расчет\tF5" 32772, separator, "Выход" 57665 (end) } (end)
  const unsigned char bytes[] = {
      0x00, 0x00, 0x00, 0x00,                                            // version 0, offset 0
      0x90, 0x00,                                                        // MF_POPUP | MF_END
      0x26, 0x00, 0x24, 0x04, 0x30, 0x04, 0x39, 0x04, 0x3B, 0x04, 0x00, 0x00,  // "&Файл"
      0x00, 0x00, 0x04, 0x80,                                            // flags 0, id 32772
      0x26, 0x00, 0x20, 0x04, 0x30, 0x04, 0x41, 0x04, 0x47, 0x04, 0x35, 0x04, 0x42, 0x04, 0x09, 0x00, 0x46, 0x00,
      0x35, 0x00, 0x00, 0x00,                                            // "&Расчет\tF5"
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                                // separator: flags 0, id 0, ""
      0x80, 0x00, 0x41, 0xE1,                                            // MF_END, id 57665
      0x12, 0x04, 0x4B, 0x04, 0x45, 0x04, 0x3E, 0x04, 0x34, 0x04, 0x00, 0x00,  // "Выход"
  };
  HMENU menu = LoadMenuIndirect(bytes);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 1);
  HMENU file = GetSubMenu(menu, 0);
  ASSERT_EQ(GetMenuItemCount(file), 3);
  char text[32];
  GetMenuString(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Файл");
  GetMenuString(file, 32772, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&Расчет\tF5");
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
  EXPECT_EQ(GetMenuItemID(file, 2), 57665u);
  DestroyMenu(menu);
}

TEST(Menus, TheMenuBarOpensOnAClickAndSendsTheCommand)
{
  Recorder rec;
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenu(file, MF_STRING, kOpen, "&Open");
  AppendMenu(file, MF_STRING, kSave, "&Save");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  HWND main = CreateWindowEx(0, Recorder::ClassName(), "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                             nullptr, bar, nullptr, nullptr);
  rec.Name(main, "main");
  rec.Pump();
  RECT client;
  GetClientRect(main, &client);
  EXPECT_EQ(client.Height(), 300 - 8 - 19 - 19);  // frame, caption and menu bar
  rec.Only({WM_INITMENU, WM_INITMENUPOPUP, WM_COMMAND});
  rec.Clear();
  POINT onBar{4 + 10, 4 + 19 + 5};  // inside the frame, below the caption
  user::InjectClick(onBar);
  user::InjectKeyPress(VK_DOWN);
  user::InjectKeyPress(VK_RETURN);
  rec.Pump();
  std::vector<Rec> expected{
      {"main", WM_INITMENU, How::SentByDefault},
      {"main", WM_INITMENUPOPUP, How::SentByDefault},
      {"main", WM_COMMAND, How::Posted},
  };
  EXPECT_EQ(rec.Log(), expected);
  DestroyWindow(main);  // the window's menu goes with it
  EXPECT_FALSE(IsMenu(bar));
}

TEST(Accelerators, MatchingKeysBecomeCommands)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
  SetFocus(main);
  rec.Pump();
  const ACCEL table[] = {
      {FVIRTKEY, static_cast<WORD>(VK_F5), 32772},
      {FVIRTKEY | FCONTROL, 'S', 57603},
      {FVIRTKEY | FALT, 'X', 57665},
  };
  HACCEL acc = CreateAcceleratorTable(table, 3);
  std::vector<WPARAM> commands;
  auto run = [&](std::initializer_list<std::pair<UINT, bool>> keys) {
    commands.clear();
    for (auto [vk, down] : keys) {
      user::InjectKey(vk, down);
    }
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (TranslateAccelerator(main, acc, &msg)) {
        commands.push_back(0);
        continue;
      }
      DispatchMessage(&msg);
    }
  };
  run({{VK_F5, true}, {VK_F5, false}});
  EXPECT_EQ(commands.size(), 1u);
  run({{'S', true}, {'S', false}});
  EXPECT_TRUE(commands.empty());  // Ctrl is not down
  run({{VK_CONTROL, true}, {'S', true}, {'S', false}, {VK_CONTROL, false}});
  EXPECT_EQ(commands.size(), 1u);
  run({{VK_MENU, true}, {'X', true}, {'X', false}, {VK_MENU, false}});
  EXPECT_EQ(commands.size(), 1u);
  ACCEL copy[3];
  EXPECT_EQ(CopyAcceleratorTable(acc, copy, 3), 3);
  EXPECT_EQ(copy[0].cmd, 32772);
  DestroyAcceleratorTable(acc);
  DestroyWindow(main);
}

}  // namespace

namespace {

TEST(Menus, TheMenuBarOpensFromTheKeyboard)
{
  Recorder rec;
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenu(file, MF_STRING, kOpen, "&Open");
  AppendMenu(file, MF_STRING, kSave, "&Save");
  HMENU view = CreatePopupMenu();
  AppendMenu(view, MF_STRING, kZoomIn, "Zoom &in");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
  HWND main = CreateWindowEx(0, Recorder::ClassName(), "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                             nullptr, bar, nullptr, nullptr);
  rec.Name(main, "main");
  SetFocus(main);
  rec.Pump();
  std::vector<WPARAM> commands;
  auto run = [&](std::initializer_list<std::pair<UINT, bool>> keys) {
    commands.clear();
    for (auto [vk, down] : keys) {
      user::InjectKey(vk, down);
    }
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_COMMAND) {
        commands.push_back(msg.wParam);
      }
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  };
  // Alt alone opens the first menu; Right moves to the next one along the bar.
  run({{VK_MENU, true}, {VK_MENU, false}, {VK_RIGHT, true}, {VK_RIGHT, false}, {VK_RETURN, true}, {VK_RETURN, false}});
  EXPECT_EQ(commands, (std::vector<WPARAM>{kZoomIn}));
  // Alt with a letter opens the menu it names.
  run({{VK_MENU, true}, {'F', true}, {'F', false}, {VK_MENU, false}, {'S', true}, {'S', false}});
  EXPECT_EQ(commands, (std::vector<WPARAM>{kSave}));
  DestroyWindow(main);
}

// A window whose menu a toolkit's menu bar took over has none of its own, yet F10 and a lone Alt must still ask
// it for the keyboard menu, which that bar answers.
TEST(Menus, TheMenuKeysAskAWindowWithoutAMenuForTheKeyboardMenu)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{0, 0, 400, 300});
  ASSERT_EQ(GetMenu(main), nullptr);
  SetFocus(main);
  rec.Pump();
  rec.Only({WM_SYSCOMMAND});
  for (UINT vk : {VK_F10, VK_MENU}) {
    rec.Clear();
    user::InjectKey(vk, true);
    user::InjectKey(vk, false);
    rec.Pump();
    EXPECT_EQ(rec.Log(), (std::vector<Rec>{{"main", WM_SYSCOMMAND, How::SentByDefault}})) << vk;
  }
  DestroyWindow(main);
}

// Alt opens the menu bar only when nothing else happened while it was held: an Alt+drag or Alt+Shift leaves the
// bar alone, and the next lone Alt opens it again.
TEST(Menus, OnlyALoneAltAsksForTheKeyboardMenu)
{
  Recorder rec;
  HWND main = rec.Create("main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{0, 0, 400, 300});
  SetFocus(main);
  rec.Pump();
  rec.Only({WM_SYSCOMMAND});
  POINT inside{100, 100};
  ClientToScreen(main, &inside);
  enum Step { AltDown, AltUp, Click, ShiftPress };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool asks;
  };
  const Case cases[] = {
      {"alone", {AltDown, AltUp}, true},
      {"held with repeats", {AltDown, AltDown, AltDown, AltUp}, true},
      {"a click while held", {AltDown, Click, AltUp}, false},
      {"a click before", {Click, AltDown, AltUp}, true},
      {"Shift while held", {AltDown, ShiftPress, AltUp}, false},
      {"alone after an Alt+click", {AltDown, AltUp}, true},
  };
  for (const Case& c : cases) {
    rec.Clear();
    for (Step step : c.steps) {
      switch (step) {
        case AltDown: user::InjectKey(VK_MENU, true); break;
        case AltUp: user::InjectKey(VK_MENU, false); break;
        case Click: user::InjectClick(inside, VK_LBUTTON); break;
        case ShiftPress: user::InjectKeyPress(VK_SHIFT); break;
      }
      rec.Pump();
    }
    const auto expected =
        c.asks ? std::vector<Rec>{{"main", WM_SYSCOMMAND, How::SentByDefault}} : std::vector<Rec>{};
    EXPECT_EQ(rec.Log(), expected) << c.name;
  }
  DestroyWindow(main);
}

}  // namespace
