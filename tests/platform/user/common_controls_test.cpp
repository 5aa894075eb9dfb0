// The tree view, the progress bar and the status bar.
#include "platform/base/clock.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_notes;

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->code == TVN_SELCHANGED) {
      auto* nm = reinterpret_cast<NMTREEVIEW*>(lParam);
      g_notes.push_back("selchanged " + std::to_string(nm->itemNew.lParam) + " by " + std::to_string(nm->action));
    } else if (hdr->code == TVN_ITEMEXPANDED) {
      auto* nm = reinterpret_cast<NMTREEVIEW*>(lParam);
      g_notes.push_back(std::string(nm->action == TVE_EXPAND ? "expanded " : "collapsed ") +
                        std::to_string(nm->itemNew.lParam));
    } else if (hdr->code == TVN_DELETEITEM) {
      g_notes.push_back("deleted " + std::to_string(reinterpret_cast<NMTREEVIEW*>(lParam)->itemOld.lParam));
    }
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND Parent()
{
  WNDCLASS wc;
  wc.lpfnWndProc = &ParentProc;
  wc.lpszClassName = "CommonParent";
  RegisterClass(&wc);
  return CreateWindowEx(0, "CommonParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                        nullptr);
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, const char* text, LPARAM data)
{
  TVINSERTSTRUCT ins;
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = const_cast<char*>(text);
  ins.item.lParam = data;
  return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

TEST(TreeView, ItemsExpandSelectAndAnswerByMouseAndKeys)
{
  HWND parent = Parent();
  HWND tree = CreateWindowEx(0, WC_TREEVIEW, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0, 300,
                             200, parent, reinterpret_cast<HMENU>(32769), nullptr, nullptr);
  HTREEITEM project = Insert(tree, TVI_ROOT, "Проект", 1);
  HTREEITEM road = Insert(tree, project, "Дорога", 2);
  HTREEITEM group = Insert(tree, road, "Группа опор", 3);
  Insert(tree, project, "Площадка", 4);
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), project);
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(group))),
            road);
  // Only the root shows until it is expanded.
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, TVGN_LASTVISIBLE, 0)), project);

  // Selecting a hidden item shows it.
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(group));
  EXPECT_EQ(g_notes, (std::vector<std::string>{"expanded 2", "expanded 1", "selchanged 3 by 0"}));
  EXPECT_TRUE(SendMessage(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(road), TVIS_EXPANDED));

  // Rows are 16 pixels: project, road, group, site. A click on the site's label selects it.
  g_notes.clear();
  user::InjectClick(POINT{19 + 19 + 10, 3 * 16 + 8});
  Pump();
  EXPECT_EQ(g_notes, (std::vector<std::string>{"selchanged 4 by 1"}));
  EXPECT_EQ(GetFocus(), tree);
  // Keys: up to the group, left to its parent, left again collapses the road.
  g_notes.clear();
  user::InjectKeyPress(VK_UP);
  user::InjectKeyPress(VK_LEFT);
  user::InjectKeyPress(VK_LEFT);
  Pump();
  EXPECT_EQ(g_notes, (std::vector<std::string>{"selchanged 3 by 2", "selchanged 2 by 2", "collapsed 2"}));
  // A click on the project's button collapses it; the selection inside moves up to it.
  g_notes.clear();
  user::InjectClick(POINT{9, 8});
  Pump();
  EXPECT_EQ(g_notes, (std::vector<std::string>{"selchanged 1 by 1", "collapsed 1"}));

  char text[64];
  TVITEM item;
  item.mask = TVIF_TEXT | TVIF_PARAM;
  item.hItem = group;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "Группа опор");
  EXPECT_EQ(item.lParam, 3);

  g_notes.clear();
  SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  EXPECT_EQ(g_notes, (std::vector<std::string>{"deleted 4", "deleted 3", "deleted 2", "deleted 1"}));
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 0);
  DestroyWindow(parent);
}

TEST(ProgressAndStatus, KeepTheirValues)
{
  HWND parent = Parent();
  HWND bar = CreateWindowEx(0, PROGRESS_CLASS, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 16, parent, nullptr, nullptr,
                            nullptr);
  SendMessage(bar, PBM_SETRANGE32, 0, 100);
  SendMessage(bar, PBM_SETPOS, 140, 0);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 100);  // held to the range
  EXPECT_EQ(SendMessage(bar, PBM_SETPOS, 30, 0), 100);
  SendMessage(bar, PBM_SETSTEP, 10, 0);
  SendMessage(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 40);

  HWND status = CreateWindowEx(0, STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr, nullptr,
                               nullptr);
  RECT r;
  GetWindowRect(status, &r);
  EXPECT_EQ(r.bottom, 300);  // along the bottom of its parent
  EXPECT_EQ(r.Width(), 400);
  const int parts[] = {200, 300, -1};
  SendMessage(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  SendMessage(status, SB_SETTEXT, 1, reinterpret_cast<LPARAM>("Идет расчет..."));
  char text[64];
  EXPECT_EQ(LOWORD(static_cast<DWORD>(SendMessage(status, SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)))), 14);
  EXPECT_STREQ(text, "Идет расчет...");
  RECT part;
  SendMessage(status, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&part));
  EXPECT_EQ(part.left, 300);
  EXPECT_EQ(part.right, 400);
  DestroyWindow(parent);
}

}  // namespace

namespace {

std::vector<UINT> g_tipNotes;

LRESULT TipParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    g_tipNotes.push_back(hdr->code);
    if (hdr->code == TTN_GETDISPINFO) {
      std::strcpy(reinterpret_cast<NMTTDISPINFO*>(lParam)->szText, "Расчет (F5)");
    }
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(Tooltips, ShowAfterTheirDelayOverAToolAndPopWhenTheMouseLeaves)
{
  platform::VirtualClock clock(0);
  platform::ScopedClock inForce(clock);
  WNDCLASS wc;
  wc.lpfnWndProc = &TipParentProc;
  wc.lpszClassName = "TipParent";
  RegisterClass(&wc);
  HWND parent = CreateWindowEx(0, "TipParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                               nullptr);
  HWND tip = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, "", WS_POPUP, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
  TOOLINFO ti;
  ti.uFlags = 0;
  ti.hwnd = parent;
  ti.uId = 7;
  ti.rect = RECT{10, 10, 60, 40};
  ti.lpszText = LPSTR_TEXTCALLBACK;
  ASSERT_TRUE(SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
  auto relay = [&](POINT at) {
    user::InjectMouseMove(at);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_MOUSEMOVE) {
        SendMessage(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
      }
      DispatchMessage(&msg);
    }
  };
  relay(POINT{20, 20});
  clock.Advance(499);
  Pump();
  EXPECT_FALSE(IsWindowVisible(tip));
  clock.Advance(1);
  Pump();
  EXPECT_TRUE(IsWindowVisible(tip));
  char text[64];
  GetWindowText(tip, text, sizeof text);
  EXPECT_STREQ(text, "Расчет (F5)");
  relay(POINT{200, 150});
  EXPECT_FALSE(IsWindowVisible(tip));
  EXPECT_EQ(g_tipNotes, (std::vector<UINT>{TTN_GETDISPINFO, TTN_SHOW, TTN_POP}));
  DestroyWindow(parent);
}

}  // namespace

namespace {

std::vector<UINT> g_codes;
SYSTEMTIME g_picked{};

LRESULT CodesParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    g_codes.push_back(hdr->code);
    if (hdr->code == MCN_SELECT) {
      g_picked = reinterpret_cast<NMSELCHANGE*>(lParam)->stSelStart;
    }
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// Each test starts with no notices of the one before.
HWND CodesWindow()
{
  g_codes.clear();
  g_picked = SYSTEMTIME{};
  WNDCLASS wc;
  wc.lpfnWndProc = &CodesParent;
  wc.lpszClassName = "CodesParent";
  RegisterClass(&wc);
  return CreateWindowEx(0, "CodesParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                        nullptr);
}

TEST(Tabs, AClickChoosesATabWithNotices)
{
  HWND parent = CodesWindow();
  HWND tabs = CreateWindowEx(0, WC_TABCONTROL, "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, parent, nullptr, nullptr,
                             nullptr);
  for (const char* name : {"Расчет", "Изображение", "Отчет"}) {
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(name);
    SendMessage(tabs, TCM_INSERTITEM, SendMessage(tabs, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&item));
  }
  EXPECT_EQ(SendMessage(tabs, TCM_GETCURSEL, 0, 0), 0);
  RECT third;
  SendMessage(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
  user::InjectClick(POINT{(third.left + third.right) / 2, (third.top + third.bottom) / 2});
  Pump();
  EXPECT_EQ(SendMessage(tabs, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(g_codes, (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
  RECT display{0, 0, 300, 200};
  SendMessage(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  SendMessage(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&display));
  EXPECT_EQ(display, (RECT{0, 0, 300, 200}));
  DestroyWindow(parent);
}

TEST(MonthCalendar, AClickOnADayChoosesIt)
{
  HWND parent = CodesWindow();
  HWND cal = CreateWindowEx(0, MONTHCAL_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, 140, 160, parent, nullptr, nullptr,
                            nullptr);
  SYSTEMTIME day{};
  day.wYear = 2026;
  day.wMonth = 12;
  day.wDay = 10;
  ASSERT_TRUE(SendMessage(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&day)));
  SYSTEMTIME got{};
  SendMessage(cal, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got.wDayOfWeek, 4);  // 10 December 2026 is a Thursday
  day.wDay = 32;
  EXPECT_FALSE(SendMessage(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&day)));
  // December 2026 starts on a Tuesday: the 1st is the second cell of the first row, the 14th starts the third.
  user::InjectClick(POINT{10, 40 + 2 * 20 + 10});
  Pump();
  EXPECT_EQ(g_picked.wDay, 14);
  EXPECT_EQ(g_picked.wMonth, 12);
  EXPECT_EQ(g_codes, (std::vector<UINT>{MCN_SELCHANGE, MCN_SELECT}));
  DestroyWindow(parent);
}

}  // namespace

namespace {

TEST(UpDown, ArrowsStepTheBuddysNumberWithinTheRange)
{
  HWND parent = CodesWindow();
  HWND edit = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 10, 60, 20, parent, nullptr, nullptr, nullptr);
  HWND spin = CreateWindowEx(0, UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_AUTOBUDDY, 70, 10, 16,
                             20, parent, nullptr, nullptr, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(spin, UDM_GETBUDDY, 0, 0)), edit);
  SendMessage(spin, UDM_SETRANGE32, 1, 3);
  SendMessage(spin, UDM_SETPOS32, 0, 2);
  char text[16];
  GetWindowText(edit, text, sizeof text);
  EXPECT_STREQ(text, "2");
  g_codes.clear();
  for (int i = 0; i < 3; ++i) {
    user::InjectClick(POINT{78, 13});  // the upper arrow
  }
  Pump();
  EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 3);  // held at the top
  EXPECT_EQ(g_codes, (std::vector<UINT>{UDN_DELTAPOS, UDN_DELTAPOS, UDN_DELTAPOS}));
  SetWindowText(edit, "1");
  user::InjectClick(POINT{78, 27});  // the lower arrow, from what the buddy says
  Pump();
  EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 1);
  DestroyWindow(parent);
}

}  // namespace
