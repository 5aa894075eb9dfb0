// The splash screen: a borderless tool window of the picture's size in the middle of the screen, painted with the
// picture at once; a picture of it for people in the artifacts folder.
#include "app/shell/splash_screen.h"

#include "platform/gdi/png.h"
#include "platform/user/paint.h"
#include "res/modules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp("Tesmira Road") {}
};

TEST(SplashScreen, ShowsThePictureCentredAndGoesWithItsObject)
{
  res::RegisterModules();
  CTestApp app;
  HWND hwnd = nullptr;
  {
    shell::CSplashScreen splash;
    BITMAP picture{};
    ASSERT_TRUE(splash.m_bitmap.GetBitmap(&picture));
    EXPECT_EQ(picture.bmWidth, 480);
    EXPECT_EQ(picture.bmHeight, 300);
    ASSERT_TRUE(splash.Show());
    hwnd = splash.GetSafeHwnd();
    EXPECT_TRUE(splash.IsWindowVisible());
    EXPECT_TRUE(splash.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_EQ(splash.GetStyle() & (WS_POPUP | WS_CAPTION | WS_BORDER), static_cast<DWORD>(WS_POPUP));
    CRect rect;
    splash.GetWindowRect(&rect);
    EXPECT_EQ(rect.Width(), 480);
    EXPECT_EQ(rect.Height(), 300);
    EXPECT_EQ(rect.left, ::GetSystemMetrics(SM_CXSCREEN) / 2 - 240);
    EXPECT_EQ(rect.top, ::GetSystemMetrics(SM_CYSCREEN) / 2 - 150);

    // Painted at once: the window's pixels are the picture's.
    const gdi::Surface* surface = user::WindowSurface(hwnd);
    ASSERT_NE(surface, nullptr);
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CBitmap* old = memory.SelectObject(&splash.m_bitmap);
    CClientDC window(&splash);
    for (CPoint at : {CPoint(10, 10), CPoint(240, 60), CPoint(300, 290), CPoint(470, 200)})
      EXPECT_EQ(window.GetPixel(at), memory.GetPixel(at)) << at.x << "," << at.y;
    memory.SelectObject(old);
    EXPECT_TRUE(gdi::SavePng(*surface, std::string(TESMIRA_ARTIFACTS_DIR) + "/shell-splash.png"));
  }
  EXPECT_FALSE(::IsWindow(hwnd));
}

}  // namespace
