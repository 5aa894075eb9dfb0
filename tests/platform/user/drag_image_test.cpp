// Drag images: the picture follows the cursor across windows, its corner at the position minus the hotspot, its
// transparent parts letting the windows show, and nothing of it is left once the drag ends.
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/drag_image.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kLeft = RGB(0, 0, 255);
constexpr COLORREF kRight = RGB(255, 255, 0);
constexpr COLORREF kMark = RGB(0, 160, 0);
constexpr COLORREF kMaskColour = RGB(255, 0, 255);

LRESULT Filler(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(hwnd, GWLP_USERDATA)));
    FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
    DeleteObject(brush);
    return 1;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND Make(RECT r, COLORREF fill)
{
  static bool registered = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &Filler;
    wc.lpszClassName = "DragImageFiller";
    return RegisterClass(&wc) != 0;
  }();
  (void)registered;
  HWND h = CreateWindowEx(0, "DragImageFiller", "", WS_POPUP, r.left, r.top, r.Width(), r.Height(), nullptr, nullptr,
                          nullptr, nullptr);
  SetWindowLongPtr(h, GWLP_USERDATA, static_cast<LONG_PTR>(fill));
  ShowWindow(h, SW_SHOWNA);
  UpdateWindow(h);
  return h;
}

std::uint32_t Pixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// A 16 x 16 picture: an 8 x 8 mark in the middle, the rest transparent.
HIMAGELIST MarkList()
{
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0);
  HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 16, 16};
  RECT mark{4, 4, 12, 12};
  HBRUSH mask = CreateSolidBrush(kMaskColour);
  HBRUSH green = CreateSolidBrush(kMark);
  FillRect(dc, &all, mask);
  FillRect(dc, &mark, green);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(mask);
  DeleteObject(green);
  ImageList_AddMasked(list, bitmap, kMaskColour);
  DeleteObject(bitmap);
  return list;
}

bool SameScreen(const gdi::Surface& a, const gdi::Surface& b)
{
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    return false;
  }
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if ((a.Pixel(x, y) & 0xFFFFFFu) != (b.Pixel(x, y) & 0xFFFFFFu)) {
        return false;
      }
    }
  }
  return true;
}

TEST(DragImage, FollowsTheCursorAcrossWindowsAndLeavesNothingBehind)
{
  HWND left = Make(RECT{0, 0, 200, 200}, kLeft);
  HWND right = Make(RECT{200, 0, 400, 200}, kRight);
  HIMAGELIST list = MarkList();
  gdi::Surface before;
  user::ComposeScreen(before);

  ASSERT_TRUE(ImageList_BeginDrag(list, 0, 6, 6));
  ImageList_Destroy(list);  // the drag keeps its own copy
  ASSERT_TRUE(ImageList_DragEnter(nullptr, 100, 100));
  gdi::Surface screen;
  user::ComposeScreen(screen);
  // The corner at (94, 94): the mark covers 98..105, the rest shows the window beneath.
  EXPECT_EQ(Pixel(kMark), screen.Pixel(98, 98) & 0xFFFFFFu);
  EXPECT_EQ(Pixel(kMark), screen.Pixel(105, 105) & 0xFFFFFFu);
  EXPECT_EQ(Pixel(kLeft), screen.Pixel(97, 97) & 0xFFFFFFu);
  EXPECT_EQ(Pixel(kLeft), screen.Pixel(95, 100) & 0xFFFFFFu);
  EXPECT_EQ(Pixel(kLeft), screen.Pixel(106, 106) & 0xFFFFFFu);

  ASSERT_TRUE(ImageList_DragMove(300, 50));
  user::ComposeScreen(screen);
  gdi::SavePng(screen, std::string(TESMIRA_ARTIFACTS_DIR) + "/user_drag_image_over_right_window.png");
  EXPECT_EQ(Pixel(kLeft), screen.Pixel(100, 100) & 0xFFFFFFu) << "nothing left where it was";
  EXPECT_EQ(Pixel(kMark), screen.Pixel(298, 48) & 0xFFFFFFu);
  EXPECT_EQ(Pixel(kRight), screen.Pixel(297, 47) & 0xFFFFFFu);
  POINT position{};
  POINT hotspot{};
  EXPECT_NE(nullptr, ImageList_GetDragImage(&position, &hotspot));
  EXPECT_EQ((POINT{300, 50}), position);
  EXPECT_EQ((POINT{6, 6}), hotspot);

  // Relative to a lock window's rectangle; hidden and shown again without ending the drag.
  ASSERT_TRUE(ImageList_DragLeave(nullptr));
  user::ComposeScreen(screen);
  EXPECT_TRUE(SameScreen(before, screen));
  ASSERT_TRUE(ImageList_DragEnter(right, 20, 30));
  user::ComposeScreen(screen);
  EXPECT_EQ(Pixel(kMark), screen.Pixel(200 + 20 - 6 + 4, 30 - 6 + 4) & 0xFFFFFFu);
  ImageList_DragShowNolock(FALSE);
  user::ComposeScreen(screen);
  EXPECT_TRUE(SameScreen(before, screen));
  ImageList_DragShowNolock(TRUE);

  ImageList_EndDrag();
  user::ComposeScreen(screen);
  EXPECT_TRUE(SameScreen(before, screen));
  EXPECT_EQ(nullptr, ImageList_GetDragImage(nullptr, nullptr));
  EXPECT_FALSE(ImageList_DragMove(10, 10)) << "no drag runs";
  HIMAGELIST another = MarkList();
  EXPECT_FALSE(ImageList_BeginDrag(another, 3, 0, 0)) << "no such image";
  ImageList_Destroy(another);
  DestroyWindow(left);
  DestroyWindow(right);
}

}  // namespace
