// The window tree: z-order, owners and parents, enumeration, text, long values, properties, placement and
// deferred positioning.
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

LPCSTR Plain()
{
  static bool done = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.cbWndExtra = 16;
    wc.lpszClassName = "PlainWindow";
    return RegisterClass(&wc) != 0;
  }();
  (void)done;
  return "PlainWindow";
}

HWND Make(DWORD style, HWND parent, RECT r = RECT{0, 0, 100, 100}, DWORD exStyle = 0, LPCSTR text = "")
{
  return CreateWindowEx(exStyle, Plain(), text, style, r.left, r.top, r.Width(), r.Height(), parent, nullptr,
                        nullptr, nullptr);
}

std::vector<HWND> Children(HWND parent)
{
  std::vector<HWND> out;
  for (HWND h = GetWindow(parent, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    out.push_back(h);
  }
  return out;
}

TEST(Windows, ChildrenStackInCreationOrderAndSetWindowPosReordersThem)
{
  HWND main = Make(WS_POPUP, nullptr);
  HWND a = Make(WS_CHILD, main);
  HWND b = Make(WS_CHILD, main);
  HWND c = Make(WS_CHILD, main);
  EXPECT_EQ(Children(main), (std::vector<HWND>{a, b, c}));
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(Children(main), (std::vector<HWND>{c, a, b}));
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(Children(main), (std::vector<HWND>{a, b, c}));
  SetWindowPos(a, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(Children(main), (std::vector<HWND>{b, a, c}));
  std::vector<HWND> enumerated;
  EnumChildWindows(
      main,
      [](HWND h, LPARAM p) {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&enumerated));
  EXPECT_EQ(enumerated, Children(main));
  DestroyWindow(main);
}

TEST(Windows, TopmostWindowsStayAboveAndOwnedWindowsAboveTheirOwner)
{
  HWND owner = Make(WS_OVERLAPPED | WS_VISIBLE, nullptr);
  HWND owned = Make(WS_POPUP | WS_VISIBLE, owner);
  HWND other = Make(WS_POPUP | WS_VISIBLE, nullptr);
  HWND topmost = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 10, 10}, WS_EX_TOPMOST);
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  std::vector<HWND> order = Children(GetDesktopWindow());
  ASSERT_GE(order.size(), 4u);
  EXPECT_EQ(order[0], topmost);
  EXPECT_EQ(order[1], owned);
  EXPECT_EQ(order[2], owner);
  EXPECT_EQ(order[3], other);
  EXPECT_EQ(GetParent(owned), owner);  // a popup's parent is its owner
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetAncestor(owned, GA_PARENT), GetDesktopWindow());
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));  // owned windows go with their owner
  DestroyWindow(other);
  DestroyWindow(topmost);
}

TEST(Windows, TextLongValuesAndProperties)
{
  HWND w = Make(WS_POPUP, nullptr, RECT{0, 0, 10, 10}, 0, "Расчет");
  char buf[64];
  EXPECT_EQ(GetWindowText(w, buf, sizeof buf), 6);
  EXPECT_STREQ(buf, "Расчет");
  EXPECT_EQ(GetWindowText(w, buf, 4), 3);  // cut to the buffer
  EXPECT_EQ(std::strlen(buf), 3u);
  SetWindowText(w, "Идет расчет...");
  EXPECT_EQ(GetWindowTextLength(w), 14);

  EXPECT_EQ(SetWindowLongPtr(w, 8, 0x1234), 0);
  EXPECT_EQ(GetWindowLongPtr(w, 8), 0x1234);
  EXPECT_EQ(GetWindowLongPtr(w, 12), 0);  // past the extra bytes: refused
  EXPECT_EQ(SetWindowLongPtr(w, GWLP_USERDATA, 77), 0);
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_USERDATA), 77);
  SetWindowLong(w, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_BORDER));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLong(w, GWL_STYLE)), WS_POPUP | WS_BORDER);

  int value = 5;
  EXPECT_TRUE(SetProp(w, "Tesmira", &value));
  EXPECT_EQ(GetProp(w, "tesmira"), &value);
  EXPECT_EQ(RemoveProp(w, "Tesmira"), &value);
  EXPECT_EQ(GetProp(w, "Tesmira"), nullptr);
  char cls[32];
  GetClassName(w, cls, sizeof cls);
  EXPECT_STREQ(cls, "PlainWindow");
  DestroyWindow(w);
}

TEST(Windows, GeometryAcrossNestedWindows)
{
  HWND main = Make(WS_POPUP | WS_BORDER, nullptr, RECT{100, 50, 400, 350});
  HWND child = Make(WS_CHILD, main, RECT{10, 20, 60, 70});
  RECT r;
  GetWindowRect(child, &r);
  EXPECT_EQ(r, (RECT{111, 71, 161, 121}));  // one pixel of border
  POINT p{0, 0};
  ClientToScreen(child, &p);
  EXPECT_EQ(p, (POINT{111, 71}));
  POINT q{5, 5};
  MapWindowPoints(child, main, &q, 1);
  EXPECT_EQ(q, (POINT{15, 25}));
  RECT frame{0, 0, 200, 100};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  EXPECT_EQ(frame.Width() - 200, 8);
  EXPECT_EQ(frame.Height() - 100, 8 + 19);
  DestroyWindow(main);
}

TEST(Windows, MaximiseAndRestoreKeepTheNormalPlacement)
{
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{30, 40, 330, 240});
  ShowWindow(w, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(w));
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.Width(), 1280);
  WINDOWPLACEMENT wp;
  GetWindowPlacement(w, &wp);
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(wp.rcNormalPosition, (RECT{30, 40, 330, 240}));
  ShowWindow(w, SW_RESTORE);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{30, 40, 330, 240}));
  ShowWindow(w, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(w));
  EXPECT_NE(GetActiveWindow(), w);
  DestroyWindow(w);
}

TEST(Windows, DeferredPositionsAreAppliedTogether)
{
  HWND main = Make(WS_POPUP, nullptr, RECT{0, 0, 300, 300});
  HWND a = Make(WS_CHILD, main);
  HWND b = Make(WS_CHILD, main);
  HDWP dwp = BeginDeferWindowPos(2);
  dwp = DeferWindowPos(dwp, a, nullptr, 10, 10, 50, 50, SWP_NOZORDER);
  dwp = DeferWindowPos(dwp, b, nullptr, 70, 10, 50, 50, SWP_NOZORDER);
  dwp = DeferWindowPos(dwp, a, nullptr, 0, 0, 60, 60, SWP_NOZORDER | SWP_NOMOVE);
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, (RECT{0, 0, 100, 100}));  // nothing moves before the end
  EXPECT_TRUE(EndDeferWindowPos(dwp));
  GetWindowRect(a, &r);
  EXPECT_EQ(r, (RECT{10, 10, 70, 70}));
  GetWindowRect(b, &r);
  EXPECT_EQ(r, (RECT{70, 10, 120, 60}));
  DestroyWindow(main);
}

TEST(Windows, FindAndIdentify)
{
  HWND main = Make(WS_POPUP, nullptr, RECT{0, 0, 10, 10}, 0, "Главное окно");
  HWND child = CreateWindowEx(0, Plain(), "", WS_CHILD, 0, 0, 5, 5, main, reinterpret_cast<HMENU>(1021), nullptr,
                              nullptr);
  EXPECT_EQ(FindWindow("PlainWindow", "Главное окно"), main);
  EXPECT_EQ(GetDlgItem(main, 1021), child);
  EXPECT_EQ(GetDlgCtrlID(child), 1021);
  EXPECT_TRUE(IsChild(main, child));
  EXPECT_FALSE(IsChild(child, main));
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowEx(0, Plain(), "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  DestroyWindow(main);
}

}  // namespace
