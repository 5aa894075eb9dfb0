// Painting: invalid regions and WM_PAINT, background erasing, child and sibling clipping on the top-level
// window's pixels, and the overlay on which XOR outlines are drawn and undone.
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// The colour each window paints its client area with, and the paint rectangles it was given.
std::map<HWND, COLORREF> g_fill;
std::vector<RECT> g_paintRects;

// Pixels compare by colour; drawing leaves alpha as it finds it.
std::uint32_t Pixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
std::uint32_t At(const gdi::Surface* s, int x, int y) { return s->Pixel(x, y) & 0x00FFFFFFu; }

LRESULT Painter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    g_paintRects.push_back(ps.rcPaint);
    auto it = g_fill.find(hwnd);
    if (it != g_fill.end()) {
      RECT client;
      GetClientRect(hwnd, &client);
      HBRUSH brush = CreateSolidBrush(it->second);
      FillRect(dc, &client, brush);
      DeleteObject(brush);
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

LPCSTR PainterClass()
{
  static bool done = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &Painter;
    wc.lpszClassName = "Painter";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_WINDOW + 1));
    return RegisterClass(&wc) != 0;
  }();
  (void)done;
  return "Painter";
}

HWND Make(DWORD style, HWND parent, RECT r, COLORREF fill)
{
  HWND h = CreateWindowEx(0, PainterClass(), "Окно", style, r.left, r.top, r.Width(), r.Height(), parent, nullptr,
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

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

TEST(Paint, InvalidAreasGatherIntoOnePaintThatValidatesThem)
{
  HWND w = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 100}, kBlue);
  Pump();
  g_paintRects.clear();
  RECT a{10, 10, 20, 20};
  RECT b{50, 30, 60, 40};
  InvalidateRect(w, &a, FALSE);
  InvalidateRect(w, &b, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(w, &update, FALSE));
  EXPECT_EQ(update, (RECT{10, 10, 60, 40}));
  Pump();
  ASSERT_EQ(g_paintRects.size(), 1u);
  EXPECT_EQ(g_paintRects[0], (RECT{10, 10, 60, 40}));
  EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  ValidateRect(w, nullptr);
  InvalidateRect(w, &a, FALSE);
  ValidateRect(w, &a);
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  DestroyWindow(w);
}

TEST(Paint, UpdateWindowPaintsAtOnceWithoutTheQueue)
{
  HWND w = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 50, 50}, kBlue);
  g_paintRects.clear();
  UpdateWindow(w);
  EXPECT_EQ(g_paintRects.size(), 1u);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  DestroyWindow(w);
}

TEST(Paint, ChildrenDrawIntoTheTopLevelPixelsAndParentsClipThem)
{
  HWND parent = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, nullptr, RECT{100, 100, 300, 250}, kBlue);
  HWND child = Make(WS_CHILD | WS_VISIBLE, parent, RECT{20, 20, 70, 60}, kRed);
  HWND lower = Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, parent, RECT{50, 40, 120, 100}, kGreen);
  Pump();
  // Repaint only the parent: its children keep their pixels.
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
  const gdi::Surface* s = user::WindowSurface(parent);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->Width(), 200);
  EXPECT_EQ(At(s, 5, 5), Pixel(kBlue));
  EXPECT_EQ(At(s, 25, 25), Pixel(kRed));
  EXPECT_EQ(At(s, 60, 50), Pixel(kRed));     // the lower sibling does not paint over the upper one
  EXPECT_EQ(At(s, 100, 80), Pixel(kGreen));  // its own part
  EXPECT_EQ(user::WindowSurface(child), nullptr);
  (void)lower;
  DestroyWindow(parent);
}

TEST(Paint, ErasingUsesTheClassBrush)
{
  g_fill.clear();
  HWND w = CreateWindowEx(0, PainterClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr, nullptr,
                          nullptr);
  Pump();
  EXPECT_EQ(At(user::WindowSurface(w), 20, 20), Pixel(GetSysColor(COLOR_WINDOW)));
  DestroyWindow(w);
}

TEST(Paint, OverlayOutlinesAreDrawnAndUndoneExactly)
{
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{10, 10, 310, 210}, kBlue);
  Make(WS_CHILD | WS_VISIBLE, w, RECT{10, 10, 110, 60}, kRed);
  Pump();
  gdi::Surface before;
  user::ComposeScreen(before);
  std::string dir = TESMIRA_ARTIFACTS_DIR;
  gdi::SavePng(before, dir + "/user_window_with_child.png");

  RECT outline{50, 50, 150, 120};
  HDC dc = GetDCEx(nullptr, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  ASSERT_NE(dc, nullptr);
  DrawFocusRect(dc, &outline);
  gdi::Surface during;
  user::ComposeScreen(during);
  EXPECT_NE(during.Pixel(50, 50), before.Pixel(50, 50));
  EXPECT_EQ(during.Pixel(100, 90), before.Pixel(100, 90));  // inside the outline nothing changed
  DrawFocusRect(dc, &outline);
  ReleaseDC(nullptr, dc);
  gdi::Surface after;
  user::ComposeScreen(after);
  ASSERT_EQ(after.Width(), before.Width());
  bool same = true;
  for (int y = 0; y < before.Height() && same; ++y) {
    for (int x = 0; x < before.Width(); ++x) {
      if (after.Pixel(x, y) != before.Pixel(x, y)) {
        same = false;
        break;
      }
    }
  }
  EXPECT_TRUE(same);
  DestroyWindow(w);
}

TEST(Paint, ShowingAWindowPaintsItsFrameAndCaption)
{
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{0, 0, 200, 120}, kBlue);
  Pump();
  const gdi::Surface* s = user::WindowSurface(w);
  RECT client;
  GetClientRect(w, &client);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  EXPECT_EQ(At(s, origin.x + 5, origin.y + 5), Pixel(kBlue));
  // The caption bar is the active caption colour, somewhere left of the buttons.
  EXPECT_EQ(At(s, 100, 5 + 4), Pixel(GetSysColor(COLOR_ACTIVECAPTION)));
  DestroyWindow(w);
}

// A parent without WS_CLIPCHILDREN paints over its children: a new caption must not make it repaint its client.
TEST(Paint, ANewCaptionRepaintsTheFrameOnlyAndLeavesTheChildrenShowing)
{
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{0, 0, 240, 120}, kBlue);
  Make(WS_CHILD | WS_VISIBLE, w, RECT{10, 10, 60, 40}, kRed);
  Pump();
  const gdi::Surface* s = user::WindowSurface(w);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  const int captionRow = origin.y / 2;
  std::vector<std::uint32_t> captionBefore;
  for (int x = 0; x < s->Width(); ++x) {
    captionBefore.push_back(At(s, x, captionRow));
  }

  SetWindowText(w, "Окно с другим заголовком");
  RECT update;
  EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
  MSG msg;
  EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));  // the frame is still to be drawn
  Pump();
  s = user::WindowSurface(w);
  EXPECT_EQ(At(s, origin.x + 30, origin.y + 20), Pixel(kRed));
  std::vector<std::uint32_t> captionAfter;
  for (int x = 0; x < s->Width(); ++x) {
    captionAfter.push_back(At(s, x, captionRow));
  }
  EXPECT_NE(captionAfter, captionBefore);
  DestroyWindow(w);
}

}  // namespace

namespace {

TEST(Paint, TheCaretInvertsItsRectangleAndLeavesNoTraceWhenHidden)
{
  HWND w = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 60}, kBlue);
  Pump();
  const gdi::Surface* s = user::WindowSurface(w);
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 14));
  SetCaretPos(10, 5);
  EXPECT_TRUE(user::CaretRect().IsEmpty());  // created hidden
  ShowCaret(w);
  EXPECT_EQ(user::CaretRect(), (RECT{10, 5, 12, 19}));
  EXPECT_EQ(At(s, 10, 5), Pixel(kBlue) ^ 0xFFFFFFu);
  EXPECT_EQ(At(s, 12, 5), Pixel(kBlue));
  SetCaretPos(40, 5);
  EXPECT_EQ(At(s, 10, 5), Pixel(kBlue));
  EXPECT_EQ(At(s, 40, 5), Pixel(kBlue) ^ 0xFFFFFFu);
  HideCaret(w);
  EXPECT_EQ(At(s, 40, 5), Pixel(kBlue));
  // Painting hides it around the paint and shows it again after.
  ShowCaret(w);
  InvalidateRect(w, nullptr, TRUE);
  Pump();
  EXPECT_EQ(At(s, 40, 5), Pixel(kBlue) ^ 0xFFFFFFu);
  DestroyCaret();
  EXPECT_EQ(At(s, 40, 5), Pixel(kBlue));
  DestroyWindow(w);
}

}  // namespace

namespace {

LRESULT OwnDCProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_ERASEBKGND) {
    return 1;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// An OpenGL view keeps one DC for its life and draws through it whenever it likes.
TEST(Paint, AnOwnDCStaysWithItsWindowAndFollowsItsMoves)
{
  WNDCLASS wc;
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = &OwnDCProc;
  wc.lpszClassName = "OwnDCView";
  RegisterClass(&wc);
  HWND frame = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 150}, kBlue);
  HWND view = CreateWindowEx(0, "OwnDCView", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 40, frame, nullptr, nullptr,
                             nullptr);
  Pump();
  HDC dc = GetDC(view);
  ReleaseDC(view, dc);
  EXPECT_EQ(GetDC(view), dc);
  MoveWindow(view, 100, 80, 50, 40, FALSE);
  RECT all{0, 0, 50, 40};
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(dc, &all, red);
  DeleteObject(red);
  const gdi::Surface* s = user::WindowSurface(frame);
  EXPECT_EQ(At(s, 120, 100), Pixel(kRed));
  EXPECT_EQ(At(s, 20, 20), Pixel(kBlue));  // not where it was
  EXPECT_EQ(WindowFromDC(dc), view);
  DestroyWindow(frame);
  EXPECT_EQ(WindowFromDC(dc), nullptr);
}

}  // namespace
