// The standard controls driven through injected input: what they become and what their parent hears.
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Heard {
  int id;
  int code;
  friend bool operator==(const Heard&, const Heard&) = default;
};
std::vector<Heard> g_heard;
std::vector<std::pair<UINT, WORD>> g_scrolls;

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_COMMAND && lParam != 0) {
    g_heard.push_back(Heard{LOWORD(wParam), HIWORD(wParam)});
    return 0;
  }
  if (msg == WM_VSCROLL || msg == WM_HSCROLL) {
    g_scrolls.emplace_back(msg, LOWORD(wParam));
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

struct Form {
  HWND parent = nullptr;
  Form()
  {
    WNDCLASS wc;
    wc.lpfnWndProc = &ParentProc;
    wc.lpszClassName = "ControlsParent";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(16));
    RegisterClass(&wc);
    parent = CreateWindowEx(0, "ControlsParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                            nullptr, nullptr);
    Pump();
    g_heard.clear();
    g_scrolls.clear();
  }
  ~Form() { DestroyWindow(parent); }
  HWND Add(LPCSTR cls, LPCSTR text, DWORD style, RECT r, int id, DWORD exStyle = 0)
  {
    return CreateWindowEx(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.Width(), r.Height(),
                          parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
  }
  static void Pump()
  {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  static void Type(const char* keys)
  {
    for (const char* k = keys; *k != '\0'; ++k) {
      UINT vk = static_cast<UINT>(*k >= 'a' && *k <= 'z' ? *k - 32 : *k);
      if (*k == '.') {
        vk = VK_OEM_PERIOD;
      } else if (*k == '-') {
        vk = VK_OEM_MINUS;
      }
      user::InjectKeyPress(vk);
    }
    Pump();
  }
  static std::string Text(HWND h)
  {
    char buf[256];
    GetWindowText(h, buf, sizeof buf);
    return buf;
  }
};

TEST(Controls, ButtonsClickCheckAndGroupRadios)
{
  Form f;
  HWND push = f.Add("Button", "OK", BS_DEFPUSHBUTTON, RECT{10, 10, 90, 35}, 1);
  HWND check = f.Add("Button", "Печатать в цвете", BS_AUTOCHECKBOX, RECT{10, 50, 200, 70}, 2);
  HWND a = f.Add("Button", "A", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 80, 100, 100}, 3);
  HWND b = f.Add("Button", "B", BS_AUTORADIOBUTTON, RECT{10, 100, 100, 120}, 4);
  f.Add("Button", "Other", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 120, 100, 140}, 5);
  HWND other = GetDlgItem(f.parent, 5);
  SendMessage(other, BM_SETCHECK, BST_CHECKED, 0);
  f.Pump();

  user::InjectClick(POINT{50, 20});
  user::InjectClick(POINT{20, 60});
  user::InjectClick(POINT{20, 90});
  user::InjectClick(POINT{20, 110});
  f.Pump();
  EXPECT_EQ(g_heard, (std::vector<Heard>{{1, BN_CLICKED}, {2, BN_CLICKED}, {3, BN_CLICKED}, {4, BN_CLICKED}}));
  EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));  // its group's other took it
  EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  EXPECT_EQ(SendMessage(other, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));  // another group

  // A press released outside is no click; the space bar is one.
  g_heard.clear();
  user::InjectMouseMove(POINT{50, 20});
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(POINT{300, 200});
  user::InjectMouseButton(VK_LBUTTON, false);
  f.Pump();
  EXPECT_TRUE(g_heard.empty());
  EXPECT_EQ(GetFocus(), push);
  user::InjectKeyPress(VK_SPACE);
  f.Pump();
  EXPECT_EQ(g_heard, (std::vector<Heard>{{1, BN_CLICKED}}));
  EXPECT_EQ(SendMessage(push, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
}

TEST(Controls, LabelsLetClicksThroughToTheirParent)
{
  Form f;
  f.Add("Static", "Шаг, м", SS_LEFT, RECT{10, 10, 200, 30}, 7);
  EXPECT_EQ(WindowFromPoint(POINT{20, 20}), f.parent);
  HWND notifying = f.Add("Static", "ссылка", SS_NOTIFY, RECT{10, 40, 200, 60}, 8);
  EXPECT_EQ(WindowFromPoint(POINT{20, 50}), notifying);
  user::InjectClick(POINT{20, 50});
  f.Pump();
  EXPECT_EQ(g_heard, (std::vector<Heard>{{8, STN_CLICKED}}));
}

TEST(Controls, EditTakesTypingSelectionLimitsAndTellsOfChanges)
{
  Form f;
  HWND edit = f.Add("Edit", "", WS_BORDER | ES_AUTOHSCROLL, RECT{10, 10, 200, 32}, 10);
  SetFocus(edit);
  f.Pump();
  g_heard.clear();
  Form::Type("abc");
  EXPECT_EQ(Form::Text(edit), "abc");
  EXPECT_EQ(g_heard.size(), 6u);  // EN_UPDATE and EN_CHANGE for each character
  EXPECT_EQ(g_heard.back(), (Heard{10, EN_CHANGE}));
  user::InjectKeyPress(VK_BACK);
  f.Pump();
  EXPECT_EQ(Form::Text(edit), "ab");
  SendMessage(edit, EM_SETSEL, 0, -1);
  Form::Type("12.5");
  EXPECT_EQ(Form::Text(edit), "12.5");
  user::InjectKeyPress(VK_HOME);
  user::InjectKey(VK_SHIFT, true);
  user::InjectKeyPress(VK_RIGHT);
  user::InjectKeyPress(VK_RIGHT);
  user::InjectKey(VK_SHIFT, false);
  f.Pump();
  DWORD from = 0;
  DWORD to = 0;
  SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 2u);
  SendMessage(edit, WM_COPY, 0, 0);
  SendMessage(edit, EM_SETSEL, 4, 4);
  SendMessage(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(Form::Text(edit), "12.512");
  SendMessage(edit, EM_LIMITTEXT, 7, 0);
  Form::Type("999");
  EXPECT_EQ(Form::Text(edit), "12.5129");
  EXPECT_TRUE(SendMessage(edit, EM_GETMODIFY, 0, 0));
  SendMessage(edit, EM_SETREADONLY, TRUE, 0);
  Form::Type("1");
  EXPECT_EQ(Form::Text(edit), "12.5129");
  EXPECT_NE(user::CaretRect().Width(), 0);  // the caret shows while it has the focus
}

TEST(Controls, NumberEditsRefuseOtherCharacters)
{
  Form f;
  HWND edit = f.Add("Edit", "", ES_NUMBER, RECT{10, 10, 200, 32}, 11);
  SetFocus(edit);
  Form::Type("4a2-");
  EXPECT_EQ(Form::Text(edit), "42");
}

TEST(Controls, ListBoxSortsFindsAndSelectsOnAClick)
{
  Form f;
  HWND list = f.Add("ListBox", "", LBS_NOTIFY | LBS_SORT | WS_BORDER, RECT{10, 10, 150, 110}, 20);
  for (const char* s : {"Освещенность", "Яркость", "Блесткость"}) {
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  }
  char text[64];
  SendMessage(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Блесткость");
  EXPECT_EQ(SendMessage(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ярк")), 2);
  SendMessage(list, LB_SETITEMDATA, 1, 77);
  // Rows are 16 pixels; the border is one.
  user::InjectClick(POINT{50, 10 + 1 + 16 + 8});
  f.Pump();
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 1, 0), 77);
  EXPECT_EQ(g_heard, (std::vector<Heard>{{20, LBN_SETFOCUS}, {20, LBN_SELCHANGE}}));
  user::InjectKeyPress(VK_DOWN);
  f.Pump();
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
}

TEST(Controls, DropDownListComboPicksFromItsListAndByKeys)
{
  Form f;
  HWND combo = f.Add("ComboBox", "", CBS_DROPDOWNLIST, RECT{10, 10, 160, 32}, 30);
  for (const char* s : {"CIE 140", "EN 13201", "СНиП"}) {
    SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  }
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  f.Pump();
  user::InjectClick(POINT{150, 20});  // the arrow button opens the list
  f.Pump();
  EXPECT_TRUE(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0));
  user::InjectClick(POINT{50, 32 + 1 + 16 + 8});  // the second item of the list below
  f.Pump();
  EXPECT_FALSE(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Form::Text(combo), "EN 13201");
  user::InjectKeyPress(VK_DOWN);
  f.Pump();
  EXPECT_EQ(Form::Text(combo), "СНиП");
  std::vector<Heard> expected{{30, CBN_DROPDOWN},  {30, CBN_SELENDOK},  {30, CBN_CLOSEUP},
                              {30, CBN_SELCHANGE}, {30, CBN_SELCHANGE}};
  std::vector<Heard> heard;
  for (const Heard& h : g_heard) {
    if (h.code != CBN_SETFOCUS && h.code != CBN_KILLFOCUS) {
      heard.push_back(h);
    }
  }
  EXPECT_EQ(heard, expected);
}

TEST(Controls, ScrollBarsShowWhenNeededAndReportClicks)
{
  Form f;
  HWND view = CreateWindowEx(0, "ControlsParent", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 200, f.parent, nullptr,
                             nullptr, nullptr);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 999;
  si.nPage = 200;
  si.nPos = 50;
  SetScrollInfo(view, SB_VERT, &si, TRUE);
  EXPECT_TRUE(GetWindowLong(view, GWL_STYLE) & WS_VSCROLL);
  RECT client;
  GetClientRect(view, &client);
  EXPECT_EQ(client.Width(), 200 - 16);
  si.nPos = 5000;
  si.fMask = SIF_POS;
  EXPECT_EQ(SetScrollInfo(view, SB_VERT, &si, TRUE), 800);  // clamped to the last page
  f.Pump();
  user::InjectClick(POINT{192, 195});  // the down arrow
  f.Pump();
  EXPECT_EQ(g_scrolls, (std::vector<std::pair<UINT, WORD>>{{WM_VSCROLL, SB_LINEDOWN}, {WM_VSCROLL, SB_ENDSCROLL}}));
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMax = 99;
  SetScrollInfo(view, SB_VERT, &si, TRUE);
  EXPECT_FALSE(GetWindowLong(view, GWL_STYLE) & WS_VSCROLL);
}

}  // namespace

namespace {

struct Drawn {
  UINT type;
  UINT item;
  UINT state;
  int height;
  ULONG_PTR data;
  friend bool operator==(const Drawn&, const Drawn&) = default;
};
std::vector<Drawn> g_drawn;
std::vector<ULONG_PTR> g_deleted;

LRESULT OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      mi->itemHeight = 20 + 10 * static_cast<UINT>(mi->itemData);  // taller for larger data
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (di->CtlType == ODT_LISTBOX) {
        // What an owner asks while drawing must not ask for another paint.
        SendMessage(di->hwndItem, LB_GETSEL, di->itemID, 0);
        SendMessage(di->hwndItem, LB_GETTOPINDEX, 0, 0);
        SendMessage(di->hwndItem, LB_GETITEMHEIGHT, di->itemID, 0);
      }
      g_drawn.push_back(Drawn{di->CtlType, di->itemID, di->itemState, di->rcItem.Height(), di->itemData});
      return TRUE;
    }
    case WM_DELETEITEM:
      g_deleted.push_back(reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->itemData);
      return TRUE;
    default: return ParentProc(hwnd, msg, wParam, lParam);
  }
}

TEST(Controls, OwnerDrawnListsAndButtonsAskTheirParent)
{
  WNDCLASS wc;
  wc.lpfnWndProc = &OwnerProc;
  wc.lpszClassName = "OwnerParent";
  RegisterClass(&wc);
  HWND parent = CreateWindowEx(0, "OwnerParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                               nullptr);
  HWND list = CreateWindowEx(0, "ListBox", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWVARIABLE, 0, 0, 200,
                             200, parent, reinterpret_cast<HMENU>(40), nullptr, nullptr);
  for (LPARAM data : {0, 2, 1}) {
    SendMessage(list, LB_ADDSTRING, 0, data);
  }
  EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 1, 0), 40);
  // Rows of 20, 40 and 30 pixels: y 65 is in the third.
  user::InjectClick(POINT{10, 65});
  Form::Pump();
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
  g_drawn.clear();
  UpdateWindow(list);
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);
  std::vector<Drawn> expected{{ODT_LISTBOX, 0, 0, 20, 0},
                              {ODT_LISTBOX, 1, 0, 40, 2},
                              {ODT_LISTBOX, 2, ODS_SELECTED | ODS_FOCUS, 30, 1}};
  EXPECT_EQ(g_drawn, expected);
  EXPECT_FALSE(GetUpdateRect(list, nullptr, FALSE)) << "questions asked while drawing asked for another paint";
  HWND button = CreateWindowEx(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 210, 0, 60, 20, parent,
                               reinterpret_cast<HMENU>(41), nullptr, nullptr);
  g_drawn.clear();
  UpdateWindow(button);
  ASSERT_EQ(g_drawn.size(), 1u);
  EXPECT_EQ(g_drawn[0].type, ODT_BUTTON);
  g_deleted.clear();
  DestroyWindow(parent);
  EXPECT_EQ(g_deleted, (std::vector<ULONG_PTR>{1, 2, 0}));
}

}  // namespace
