// What the graphics ask of the application's view: the picture flag word built from the document's view-mode
// word, and the navigation cursors, answered by the defaults until the application installs its own.
#include "graphics/core/view_services.h"
#include "res/modules.h"
#include "platform/user/input.h"
#include "platform/user/window.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewServices, PictureFlagsFollowTheViewModeQuantityAndArea)
{
  const struct {
    DWORD viewMode;
    int quantity;
    int display;
    BOOL straight;
    DWORD flags;
  } cases[] = {
      {0x1001, 0, 0, TRUE, 0xC00},
      {0x1001, 1, 0, TRUE, 6},
      {0x1001, 1, 0, FALSE, 0x400001},
      {0x4001, 1, 0, TRUE, 0x100},
      {0xC001, 1, 0, TRUE, 0x80},             // 0x8000 takes precedence over 0x4000
      {0x14001, 1, 0, TRUE, 0x100},           // and 0x4000 over 0x10000
      {0x11001, 1, 0, TRUE, 0x18},
      {0x11001, 2, 0, TRUE, 0x60},
      {0x21001, 0, 3, TRUE, 0x800000 + 0xC00 + 0x4000000},
      {0x42001, 1, 0, FALSE, 0x1000000 + 1 + 0x400000},
      {0x62001, 1, 0, TRUE, 0x800000 + 6},    // 0x40000 only when 0x20000 is clear
      {0x1001, 7, 3, FALSE, 0x4000000 + 0x400000},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PictureFlagsFromViewMode(c.viewMode, c.quantity, c.display, c.straight), c.flags)
        << std::hex << c.viewMode << " quantity " << c.quantity;
}

TEST(ViewServices, EachNavigationModeHasItsCursorAndTheViewKeepsIt)
{
  const struct {
    int mode, cursor;
  } cases[] = {{1, 291}, {2, 300}, {4, 334}, {8, 334}, {0, 104}, {16, 104}, {3, 104}};
  for (const auto& c : cases)
    EXPECT_EQ(NavigatorCursorId(c.mode), c.cursor) << c.mode;

  res::RegisterModules();
  WNDCLASS wc;
  wc.lpfnWndProc = &DefWindowProc;
  wc.lpszClassName = "PaletteCursorView";
  RegisterClass(&wc);
  HWND view = CreateWindowEx(0, "PaletteCursorView", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_NE(view, nullptr);
  SetNavigatorCursor(2, view);
  const auto pan = reinterpret_cast<HCURSOR>(GetClassLongPtr(view, GCLP_HCURSOR));
  ASSERT_NE(pan, nullptr);
  EXPECT_EQ(GetCursor(), pan);
  SetNavigatorCursor(4, view);
  const auto zoom = reinterpret_cast<HCURSOR>(GetClassLongPtr(view, GCLP_HCURSOR));
  EXPECT_NE(zoom, pan);
  EXPECT_EQ(GetCursor(), zoom);

  // Installed services answer instead of the defaults, until they are taken away.
  struct Recording : CViewServices {
    int mode = -1;
    void SetNavigatorCursor(int m, HWND) override { mode = m; }
  } recording;
  SetViewServices(&recording);
  SetNavigatorCursor(1, view);
  EXPECT_EQ(recording.mode, 1);
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtr(view, GCLP_HCURSOR)), zoom);
  EXPECT_FALSE(RenderViewToBitmap(nullptr, 100, 100, nullptr, nullptr));
  SetViewServices(nullptr);
  SetNavigatorCursor(1, view);
  EXPECT_NE(reinterpret_cast<HCURSOR>(GetClassLongPtr(view, GCLP_HCURSOR)), zoom);
  DestroyWindow(view);
}

}  // namespace
