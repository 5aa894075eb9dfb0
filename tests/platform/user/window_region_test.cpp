// Window regions: outside its region a window is neither seen on the composed screen nor hit by the mouse.
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace {

std::map<HWND, COLORREF> g_fill;

LRESULT Filler(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(g_fill[hwnd]);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND Make(DWORD style, HWND parent, RECT r, COLORREF fill)
{
  static bool registered = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &Filler;
    wc.lpszClassName = "RegionFiller";
    return RegisterClass(&wc) != 0;
  }();
  (void)registered;
  HWND h = CreateWindowEx(0, "RegionFiller", "", style, r.left, r.top, r.Width(), r.Height(), parent, nullptr,
                          nullptr, nullptr);
  g_fill[h] = fill;
  return h;
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
}

constexpr COLORREF kBelow = RGB(0, 0, 255);
constexpr COLORREF kShaped = RGB(255, 0, 0);

std::uint32_t At(const gdi::Surface& s, POINT p) { return s.Pixel(p.x, p.y) & 0xFFFFFFu; }
std::uint32_t Pixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

struct ShapeCase {
  const char* name;
  std::function<HRGN()> region;  // window coordinates of the 200 x 150 window; null: no region
  POINT inside;                  // window coordinates
  POINT outside;                 // in the window's rectangle, outside its region (none without a region)
};

class WindowRegion : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(WindowRegion, OutsideTheRegionTheWindowBelowShowsAndIsHit)
{
  const ShapeCase& c = GetParam();
  HWND below = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{50, 50, 400, 350}, kBelow);
  HWND shaped = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{100, 100, 300, 250}, kShaped);
  Pump();
  if (c.region) {
    ASSERT_NE(0, SetWindowRgn(shaped, c.region(), TRUE));
  }
  Pump();
  gdi::Surface screen;
  user::ComposeScreen(screen);
  gdi::SavePng(screen, std::string(TESMIRA_ARTIFACTS_DIR) + "/user_window_region_" + c.name + ".png");

  const POINT inside{100 + c.inside.x, 100 + c.inside.y};
  EXPECT_EQ(Pixel(kShaped), At(screen, inside));
  EXPECT_EQ(shaped, WindowFromPoint(inside));
  if (c.region) {
    const POINT outside{100 + c.outside.x, 100 + c.outside.y};
    EXPECT_EQ(Pixel(kBelow), At(screen, outside));
    EXPECT_EQ(below, WindowFromPoint(outside));
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, GetWindowRgn(shaped, copy));
    EXPECT_TRUE(PtInRegion(copy, c.inside.x, c.inside.y));
    EXPECT_FALSE(PtInRegion(copy, c.outside.x, c.outside.y));
    // Taking the region away gives the whole rectangle back.
    EXPECT_NE(0, SetWindowRgn(shaped, nullptr, TRUE));
    EXPECT_EQ(ERROR, GetWindowRgn(shaped, copy));
    DeleteObject(copy);
    user::ComposeScreen(screen);
    EXPECT_EQ(Pixel(kShaped), At(screen, outside));
    EXPECT_EQ(shaped, WindowFromPoint(outside));
  } else {
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(shaped, copy));
    DeleteObject(copy);
  }
  // Beyond the window's rectangle nothing changes: the window below, then the desktop.
  EXPECT_EQ(Pixel(kBelow), At(screen, POINT{60, 60}));
  EXPECT_EQ(Pixel(GetSysColor(COLOR_BACKGROUND)), At(screen, POINT{20, 20}));
  DestroyWindow(shaped);
  DestroyWindow(below);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, WindowRegion,
    ::testing::Values(ShapeCase{"none", nullptr, {10, 10}, {}},
                      ShapeCase{"rect", [] { return CreateRectRgn(20, 20, 120, 80); }, {30, 30}, {150, 100}},
                      // The corners of the rectangle lie outside the ellipse.
                      ShapeCase{"ellipse", [] { return CreateEllipticRgn(0, 0, 200, 150); }, {100, 75}, {3, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowRegionChild, AChildIsHitOnlyInsideItsRegionAndARefusedRegionStaysTheCallers)
{
  HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 300, 200}, kBelow);
  HWND child = Make(WS_CHILD | WS_VISIBLE, top, RECT{10, 10, 110, 110}, kShaped);
  Pump();
  ASSERT_NE(0, SetWindowRgn(child, CreateEllipticRgn(0, 0, 100, 100), FALSE));
  EXPECT_EQ(child, WindowFromPoint(POINT{60, 60}));
  EXPECT_EQ(top, WindowFromPoint(POINT{12, 12}));
  EXPECT_EQ(child, ChildWindowFromPoint(top, POINT{60, 60}));
  EXPECT_EQ(top, ChildWindowFromPoint(top, POINT{12, 12}));
  RECT box{};
  EXPECT_EQ(COMPLEXREGION, GetWindowRgnBox(child, &box));
  EXPECT_EQ((RECT{0, 0, 100, 100}), box);

  HRGN kept = CreateRectRgn(0, 0, 5, 5);
  EXPECT_EQ(0, SetWindowRgn(reinterpret_cast<HWND>(0x7FFF0), kept, TRUE));
  EXPECT_EQ(SIMPLEREGION, GetRgnBox(kept, &box)) << "still a live region of the caller's";
  EXPECT_TRUE(DeleteObject(kept));
  DestroyWindow(top);
}

}  // namespace
