// Message maps: which entry a window message reaches, how commands are routed from the view to the
// application, update-UI, and the idle-time update of bars.
#include "tests/platform/mfc/harness.h"

namespace mfctest {
namespace {

UINT g_registeredMessage = 0;

class CBaseWnd : public CWnd {
public:
  std::vector<std::string> seen;

  int OnCreate(LPCREATESTRUCT lpcs)
  {
    seen.push_back(std::string("create ") + (lpcs->lpszName != nullptr ? lpcs->lpszName : ""));
    return CWnd::OnCreate(lpcs);
  }
  void OnSize(UINT nType, int cx, int cy)
  {
    seen.push_back("size " + std::to_string(nType) + " " + std::to_string(cx) + "x" + std::to_string(cy));
  }
  LRESULT OnApp1(WPARAM, LPARAM) { seen.push_back("base app1"); return 1; }
  LRESULT OnApp2(WPARAM wParam, LPARAM lParam)
  {
    seen.push_back("base app2");
    return static_cast<LRESULT>(wParam) + lParam;
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_MESSAGE(WM_APP + 1, &CBaseWnd::OnApp1)
  ON_MESSAGE(WM_APP + 2, &CBaseWnd::OnApp2)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
  LRESULT OnApp1(WPARAM, LPARAM) { seen.push_back("derived app1"); return 11; }
  LRESULT OnRegistered(WPARAM wParam, LPARAM) { seen.push_back("registered"); return static_cast<LRESULT>(wParam); }
  void OnLButtonDown(UINT nFlags, CPoint point)
  {
    seen.push_back("lbutton " + std::to_string(nFlags) + " " + std::to_string(point.x) + "," +
                   std::to_string(point.y));
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
  ON_MESSAGE(WM_APP + 1, &CDerivedWnd::OnApp1)
  ON_REGISTERED_MESSAGE(g_registeredMessage, &CDerivedWnd::OnRegistered)
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

TEST(MessageMapTest, MessagesReachTheMostDerivedEntryThenTheBaseMapThenTheDefault)
{
  g_registeredMessage = ::RegisterWindowMessage("TesmiraMfcTest");
  CDerivedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
  ASSERT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
  // Bound before its first message: WM_CREATE reached the map.
  ASSERT_FALSE(wnd.seen.empty());
  EXPECT_EQ(wnd.seen.front(), "create probe");

  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* seen;  // null: no handler of ours
    LRESULT result;
  };
  const Case cases[] = {
      {WM_APP + 1, 0, 0, "derived app1", 11},  // the derived entry hides the base one
      {WM_APP + 2, 5, 7, "base app2", 12},     // inherited from the base map
      {g_registeredMessage, 42, 0, "registered", 42},
      {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(30, 40), "size 2 30x40", 0},
      {WM_LBUTTONDOWN, 1, MAKELPARAM(static_cast<WORD>(-3), 9), "lbutton 1 -3,9", 0},
      {WM_APP + 3, 0, 0, nullptr, 0},
  };
  for (const Case& c : cases) {
    wnd.seen.clear();
    LRESULT result = ::SendMessage(wnd.m_hWnd, c.message, c.wParam, c.lParam);
    SCOPED_TRACE(c.message);
    if (c.seen != nullptr) {
      ASSERT_EQ(wnd.seen.size(), 1u);
      EXPECT_EQ(wnd.seen[0], c.seen);
    } else {
      EXPECT_TRUE(wnd.seen.empty());
    }
    EXPECT_EQ(result, c.result);
  }

  HWND hwnd = wnd.m_hWnd;
  EXPECT_TRUE(wnd.DestroyWindow());
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

// A window class that is not ours, with a procedure that answers WM_APP + 5 itself.
int ownCalls = 0;
void RegisterForeignClass()
{
  static const bool registered = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (m == WM_APP + 5) {
        ++ownCalls;
        return 99;
      }
      return ::DefWindowProc(h, m, w, l);
    };
    wc.lpszClassName = "MfcTestForeignClass";
    return ::RegisterClass(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
}

TEST(MessageMapTest, AWindowOfAnotherClassIsSubclassedAndKeepsItsOwnProcedure)
{
  RegisterForeignClass();
  ownCalls = 0;

  CDerivedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, "MfcTestForeignClass", "foreign", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(wnd.seen.front(), "create foreign");
  EXPECT_EQ(::SendMessage(wnd.m_hWnd, WM_APP + 1, 0, 0), 11);  // ours first
  EXPECT_EQ(ownCalls, 0);
  // A message we do not map goes to the class's procedure, not straight to the default.
  EXPECT_EQ(::SendMessage(wnd.m_hWnd, WM_APP + 5, 0, 0), 99);
  EXPECT_EQ(ownCalls, 1);
  wnd.DestroyWindow();
}

// Every cracked message mapped, with no handler of its own: each falls to CWnd's, which must do what the
// default procedure does.
class CAllDefaultsWnd : public CWnd {
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAllDefaultsWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_NCDESTROY()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_MOVE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_TIMER()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_SHOWWINDOW()
  ON_WM_GETMINMAXINFO()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_RBUTTONDBLCLK()
  ON_WM_MBUTTONDOWN()
  ON_WM_MBUTTONUP()
  ON_WM_MBUTTONDBLCLK()
  ON_WM_MOUSEWHEEL()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_CHAR()
  ON_WM_SYSKEYDOWN()
  ON_WM_SYSKEYUP()
  ON_WM_CONTEXTMENU()
  ON_WM_ACTIVATE()
  ON_WM_MOUSELEAVE()
  ON_WM_MOUSEACTIVATE()
  ON_WM_SETCURSOR()
  ON_WM_CAPTURECHANGED()
  ON_WM_ENABLE()
  ON_WM_SYSCOMMAND()
  ON_WM_WINDOWPOSCHANGING()
  ON_WM_WINDOWPOSCHANGED()
  ON_WM_NCHITTEST()
  ON_WM_NCCALCSIZE()
  ON_WM_NCPAINT()
  ON_WM_NCACTIVATE()
  ON_WM_NCMOUSEMOVE()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCLBUTTONUP()
  ON_WM_NCLBUTTONDBLCLK()
  ON_WM_NCRBUTTONDOWN()
  ON_WM_COPYDATA()
END_MESSAGE_MAP()

TEST(MessageMapTest, MappedMessagesWithoutHandlersOfTheirOwnBehaveAsTheDefault)
{
  CAllDefaultsWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "defaults", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                           nullptr));
  RECT frame;
  wnd.GetWindowRect(&frame);
  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Case cases[] = {
      {WM_NCHITTEST, 0, MAKELPARAM(frame.left + 150, frame.top + 100)},  // client
      {WM_NCHITTEST, 0, MAKELPARAM(frame.left + 150, frame.top + 8)},    // caption
      {WM_NCHITTEST, 0, MAKELPARAM(frame.left + 1, frame.top + 100)},    // left border
      {WM_NCHITTEST, 0, MAKELPARAM(frame.left - 20, frame.top - 20)},    // outside
      {WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(wnd.m_hWnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)},
      {WM_NCACTIVATE, TRUE, 0},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0},
      {WM_ERASEBKGND, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(::SendMessage(wnd.m_hWnd, c.message, c.wParam, c.lParam),
              ::DefWindowProc(wnd.m_hWnd, c.message, c.wParam, c.lParam));
  }
  // A close through the map ends in the default: the window goes.
  HWND hwnd = wnd.m_hWnd;
  ::SendMessage(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(MessageMapTest, ATemporaryObjectNamesAWindowWithoutOwningIt)
{
  RegisterForeignClass();
  HWND hwnd = ::CreateWindowEx(0, "MfcTestForeignClass", "raw", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
  ASSERT_NE(hwnd, nullptr);
  CWnd* temporary = CWnd::FromHandle(hwnd);
  EXPECT_EQ(temporary->m_hWnd, hwnd);
  EXPECT_EQ(CWnd::FromHandle(hwnd), temporary);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
  CWnd::DeleteTempMap();
  EXPECT_TRUE(::IsWindow(hwnd));
  ::DestroyWindow(hwnd);
}

TEST(MessageMapTest, ModifyStyleAnswersWhetherAnythingChanged)
{
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "styled", WS_POPUP | WS_BORDER, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_FALSE(wnd.ModifyStyle(WS_CAPTION & ~WS_BORDER, WS_BORDER));  // already so
  EXPECT_TRUE(wnd.ModifyStyle(WS_BORDER, WS_THICKFRAME, SWP_FRAMECHANGED));
  EXPECT_EQ(wnd.GetStyle() & (WS_BORDER | WS_THICKFRAME), WS_THICKFRAME);
  EXPECT_TRUE(wnd.ModifyStyleEx(0, WS_EX_TOOLWINDOW));
  EXPECT_NE(wnd.GetExStyle() & WS_EX_TOOLWINDOW, 0u);
  wnd.DestroyWindow();
}

class RoutingTest : public FrameworkTest {};

TEST_F(RoutingTest, CommandsGoFromViewToDocumentTemplateFrameAndApplication)
{
  struct Case {
    UINT id;
    std::vector<std::string> handledBy;
  };
  const Case cases[] = {
      {kCmdAll, {"view"}},
      {kCmdDocDown, {"doc"}},
      {kCmdTemplateDown, {"template"}},
      {kCmdFrameDown, {"frame"}},
      {kCmdAppOnly, {"app"}},
      {kCmdNobody, {}},
      {kCmdViewDeclines, {"view declined", "frame"}},
      {kCmdRangeFirst + 1, {"doc range 40011"}},
      {kCmdRangeLast + 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Log().clear();
    Command(c.id);
    EXPECT_EQ(Log(), c.handledBy);
  }
}

TEST_F(RoutingTest, ACommandWhoseUpdateHandlerDisablesItIsNotCarriedOut)
{
  Command(kCmdDisabled);
  EXPECT_TRUE(Log().empty());
  // Called directly (not from a menu), the routing itself does not look at the state.
  EXPECT_TRUE(Frame()->OnCmdMsg(kCmdDisabled, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ(Log(), std::vector<std::string>{"frame"});
}

TEST_F(RoutingTest, AcceleratorKeysBecomeCommandsUnlessDisabled)
{
  const ACCEL keys[] = {{FVIRTKEY, 0x74 /* F5 */, static_cast<WORD>(kCmdFrameDown)},
                        {FVIRTKEY, 0x75 /* F6 */, static_cast<WORD>(kCmdDisabled)}};
  Frame()->m_hAccelTable = ::CreateAcceleratorTable(keys, 2);
  for (WPARAM key : {WPARAM{0x74}, WPARAM{0x75}}) {
    ::PostMessage(View()->m_hWnd, WM_KEYDOWN, key, 1);
    EXPECT_TRUE(app_->PumpMessage());
  }
  EXPECT_EQ(Log(), std::vector<std::string>{"frame"});
  ::DestroyAcceleratorTable(Frame()->m_hAccelTable);
  Frame()->m_hAccelTable = nullptr;
}

TEST_F(RoutingTest, AFrameworkExceptionFromAHandlerIsShownToTheUser)
{
  user::ScriptedResponder boxes;
  Command(kCmdThrows);
  ASSERT_EQ(boxes.Asked().size(), 1u);
  EXPECT_EQ(boxes.Asked()[0].style & MB_ICONMASK, MB_ICONEXCLAMATION);
  EXPECT_FALSE(boxes.Asked()[0].text.empty());
  EXPECT_TRUE(::IsWindow(Frame()->m_hWnd));
}

// What a bar item shows.
class RecordingCmdUI : public CCmdUI {
public:
  void Enable(BOOL bOn) override
  {
    CCmdUI::Enable(bOn);
    enabled = bOn;
  }
  void SetCheck(int nCheck) override { check = nCheck; }
  void SetText(LPCSTR lpszText) override { text = lpszText; }
  int enabled = -1;  // -1: never set
  int check = -1;
  std::string text;
};

TEST_F(RoutingTest, UpdateHandlersAreRoutedLikeCommands)
{
  struct Case {
    UINT id;
    BOOL disableIfNoHandler;
    BOOL answered;
    int enabled;
    int check;
    const char* text;
  };
  const Case cases[] = {
      {kCmdChecked, TRUE, TRUE, 0, 1, "checked by view"},  // checked, and no command handler: disabled
      {kCmdDisabled, TRUE, TRUE, 0, -1, ""},               // the document disables it
      {kCmdPassOn, TRUE, TRUE, 1, -1, "enabled by frame"}, // the view passes it on to the frame
      {kCmdAppOnly, TRUE, FALSE, 1, -1, ""},               // no update handler, a command handler
      {kCmdNobody, TRUE, FALSE, 0, -1, ""},
      {kCmdNobody, FALSE, FALSE, -1, -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    RecordingCmdUI ui;
    ui.m_nID = c.id;
    EXPECT_EQ(ui.DoUpdate(Frame(), c.disableIfNoHandler), c.answered);
    EXPECT_EQ(ui.enabled, c.enabled);
    EXPECT_EQ(ui.check, c.check);
    EXPECT_EQ(ui.text, c.text);
  }
  EXPECT_TRUE(Log().empty());  // asking for the state runs no command
}

TEST_F(RoutingTest, PopupMenuItemsAreUpdatedBeforeTheyOpen)
{
  CMenu sub;
  ASSERT_TRUE(sub.CreatePopupMenu());
  sub.AppendMenu(MF_STRING | MF_GRAYED, kCmdAppOnly, "first of the popup");
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, kCmdChecked, "checked");
  menu.AppendMenu(MF_STRING, kCmdDisabled, "disabled");
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, kCmdNobody, "nobody");
  menu.AppendMenu(MF_STRING | MF_GRAYED, kCmdFrameDown, "frame");
  menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Detach()), "popup");

  ::SendMessage(Frame()->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.m_hMenu), MAKELPARAM(0, FALSE));

  struct Case {
    UINT position;
    UINT state;  // MF_GRAYED, MF_CHECKED as GetMenuState answers them
    const char* text;
  };
  const Case cases[] = {
      {0, MF_CHECKED | MF_GRAYED, "checked by view"},  // no command handler: greyed
      {1, MF_GRAYED, "disabled"},
      {3, MF_GRAYED, "nobody"},
      {4, 0, "frame"},
      {5, 0, "popup"},  // a popup is not greyed for want of a handler
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    EXPECT_EQ(menu.GetMenuState(c.position, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED), c.state);
    CString text;
    menu.GetMenuString(c.position, text, MF_BYPOSITION);
    EXPECT_EQ(text, CString(c.text));
  }
  EXPECT_TRUE(Log().empty());
}

// A bar as command bars will be: a child of the frame that updates its items at idle time.
class CProbeBar : public CWnd {
public:
  std::vector<UINT> ids;
  std::vector<RecordingCmdUI> items;
  int updates = 0;

  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
  {
    ++updates;
    items.assign(ids.size(), RecordingCmdUI());
    for (std::size_t i = 0; i < ids.size(); ++i) {
      items[i].m_nID = ids[i];
      items[i].DoUpdate(GetParentFrame(), static_cast<BOOL>(wParam));
    }
    ::PostQuitMessage(7);
    return 0;
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeBar, CWnd)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CProbeBar::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

TEST_F(RoutingTest, TheIdleLoopUpdatesTheBarsAndTheFrameTitle)
{
  CProbeBar bar;
  ASSERT_TRUE(bar.Create(nullptr, "bar", WS_VISIBLE, CRect(0, 0, 100, 20), Frame(), 1234));
  bar.ids = {kCmdChecked, kCmdFrameDown, kCmdNobody};

  // A bar floating in a frame of its own is updated too.
  auto* floating = new CFrameWnd;  // deletes itself with its window
  ASSERT_TRUE(floating->Create(nullptr, "floating", WS_POPUP | WS_VISIBLE, CRect(0, 0, 60, 40), Frame()));
  CProbeBar floatingBar;
  ASSERT_TRUE(floatingBar.Create(nullptr, "floating bar", WS_VISIBLE, CRect(0, 0, 60, 20), floating, 1235));
  floatingBar.ids = {kCmdAppOnly};

  Doc()->SetTitle("Probe");
  Frame()->SetWindowText("stale");
  Frame()->DelayUpdateFrameTitle();

  EXPECT_EQ(app_->Run(), 7);
  EXPECT_EQ(floatingBar.updates, 1);
  ASSERT_EQ(floatingBar.items.size(), 1u);
  EXPECT_EQ(floatingBar.items[0].enabled, 1);
  floatingBar.DestroyWindow();
  floating->DestroyWindow();
  EXPECT_EQ(bar.updates, 1);
  ASSERT_EQ(bar.items.size(), 3u);
  EXPECT_EQ(bar.items[0].check, 1);
  EXPECT_EQ(bar.items[1].enabled, 1);
  EXPECT_EQ(bar.items[2].enabled, 0);
  EXPECT_EQ(Frame()->GetWindowTextString(), CString("Probe - Tesmira Road"));
  bar.DestroyWindow();
}

}  // namespace
}  // namespace mfctest
