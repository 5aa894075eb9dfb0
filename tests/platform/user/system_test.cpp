// System settings, the monitor, layered windows and key names.
#include "platform/gdi/surface.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

namespace {

TEST(System, SettingsTheToolkitAsksFor)
{
  NONCLIENTMETRICS ncm;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0));
  EXPECT_STREQ(ncm.lfMenuFont.lfFaceName, "Tahoma");
  EXPECT_LT(ncm.lfMenuFont.lfHeight, 0);
  EXPECT_EQ(ncm.lfCaptionFont.lfWeight, 700);
  RECT work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, (RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
  BOOL shadow = TRUE;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETDROPSHADOW, 0, &shadow, 0));
  EXPECT_FALSE(shadow);
  EXPECT_FALSE(SystemParametersInfo(0x7777, 0, &shadow, 0));
  MONITORINFO mi;
  ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL), &mi));
  EXPECT_EQ(mi.rcMonitor, work);
  EXPECT_EQ(MonitorFromPoint(POINT{-5000, 10}, MONITOR_DEFAULTTONULL), nullptr);
}

TEST(System, KeyNamesAndCharacters)
{
  char name[32];
  struct Case {
    LONG lParam;
    const char* name;
  };
  const Case cases[] = {
      {0x003F0001, "F5"}, {0x001D0001, "Ctrl"}, {0x01530001, "Delete"}, {0x00530001, "Num Del"},
      {0x001E0001, "A"},  {0x00340001, "."},    {0x00390001, "Space"},
  };
  for (const Case& c : cases) {
    GetKeyNameText(c.lParam, name, sizeof name);
    EXPECT_STREQ(name, c.name) << std::hex << c.lParam;
  }
  EXPECT_EQ(VkKeyScan('S'), static_cast<SHORT>(0x100 | 'S'));
  EXPECT_EQ(VkKeyScan('?'), static_cast<SHORT>(0x100 | VK_OEM_2));
  WORD ch = 0;
  BYTE keys[256] = {};
  EXPECT_EQ(ToAscii('Q', 0x10, keys, &ch, 0), 1);
  EXPECT_EQ(ch, 'q');
}

LRESULT White(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(reinterpret_cast<HDC>(wParam), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(System, ALayeredWindowIsComposedWithItsAlpha)
{
  WNDCLASS wc;
  wc.lpfnWndProc = &White;
  wc.lpszClassName = "WhiteLayer";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(WS_EX_LAYERED, "WhiteLayer", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                          nullptr, nullptr);
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
  gdi::Surface opaque;
  user::ComposeScreen(opaque);
  EXPECT_EQ(opaque.Pixel(10, 10) & 0xFFFFFFu, 0xFFFFFFu);
  ASSERT_TRUE(SetLayeredWindowAttributes(w, 0, 128, LWA_ALPHA));
  gdi::Surface half;
  user::ComposeScreen(half);
  const COLORREF desk = GetSysColor(COLOR_BACKGROUND);
  const unsigned expectedRed = (255u * 128u + GetRValue(desk) * 127u) / 255u;
  EXPECT_EQ((half.Pixel(10, 10) >> 16) & 0xFF, expectedRed);
  BYTE alpha = 0;
  GetLayeredWindowAttributes(w, nullptr, &alpha, nullptr);
  EXPECT_EQ(alpha, 128);
  DestroyWindow(w);
}

}  // namespace
