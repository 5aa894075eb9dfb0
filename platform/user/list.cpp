// The list box, and the combo box built on it: a field showing the chosen item (or an edit for typing) and a
// list that drops down below it.
#include "platform/user/controls_common.h"
#include "platform/user/menu_data.h"
#include "platform/user/state.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace user::detail;

namespace {

struct Item {
  std::string text;
  ULONG_PTR data = 0;
  int height = 0;  // owner-drawn rows of their own height; 0: the list's
};

struct Items {
  std::vector<Item> items;
  int selected = -1;
  int top = 0;
  int itemHeight = 16;
  HFONT font = nullptr;
  // Owner-drawn: items hold what the parent gave (without LBS_HASSTRINGS the value is the item's data).
  bool ownerDraw = false;
  bool variable = false;
  bool hasStrings = true;
  HWND window = nullptr;
};

int HeightOf(const Items& l, std::size_t i) { return l.items[i].height > 0 ? l.items[i].height : l.itemHeight; }

bool LessNoCase(const std::string& a, const std::string& b)
{
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return LowerCp1251(static_cast<unsigned char>(x)) < LowerCp1251(static_cast<unsigned char>(y));
  });
}

bool StartsNoCase(const std::string& s, const std::string& prefix, bool exact)
{
  if (s.size() < prefix.size() || (exact && s.size() != prefix.size())) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerCp1251(static_cast<unsigned char>(s[i])) != LowerCp1251(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

// The parent of an owner-drawn list hears of each item that goes, with its data.
void Deleted(const Items& l, int index)
{
  if (!l.ownerDraw || l.window == nullptr) {
    return;
  }
  DELETEITEMSTRUCT di{ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(l.window)), static_cast<UINT>(index), l.window,
                      l.items[static_cast<std::size_t>(index)].data};
  SendMessage(GetParent(l.window), WM_DELETEITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
}

// The item operations list boxes and combo boxes share; `sorted` for LBS_SORT / CBS_SORT.
LRESULT ItemMessage(Items& l, bool sorted, UINT op, WPARAM wParam, LPARAM lParam, bool* handled)
{
  *handled = true;
  const int count = static_cast<int>(l.items.size());
  auto valid = [&](WPARAM i) { return static_cast<int>(i) >= 0 && static_cast<int>(i) < count; };
  switch (op) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      Item item;
      if (l.hasStrings) {
        item.text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
      } else {
        item.data = static_cast<ULONG_PTR>(lParam);
        sorted = false;  // without texts there is nothing to sort by
      }
      int at = count;
      if (op == LB_ADDSTRING && sorted) {
        at = static_cast<int>(std::upper_bound(l.items.begin(), l.items.end(), item,
                                               [](const Item& a, const Item& b) { return LessNoCase(a.text, b.text); }) -
                              l.items.begin());
      } else if (op == LB_INSERTSTRING && static_cast<int>(wParam) >= 0) {
        if (static_cast<int>(wParam) > count) {
          return LB_ERR;
        }
        at = static_cast<int>(wParam);
      }
      l.items.insert(l.items.begin() + at, item);
      if (l.selected >= at) {
        ++l.selected;
      }
      if (l.variable && l.window != nullptr) {
        MEASUREITEMSTRUCT mi{ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(l.window)), static_cast<UINT>(at), 0,
                             static_cast<UINT>(l.itemHeight), item.data};
        SendMessage(GetParent(l.window), WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
        l.items[static_cast<std::size_t>(at)].height = static_cast<int>(mi.itemHeight);
      }
      return at;
    }
    case LB_DELETESTRING:
      if (!valid(wParam)) {
        return LB_ERR;
      }
      Deleted(l, static_cast<int>(wParam));
      l.items.erase(l.items.begin() + static_cast<int>(wParam));
      if (l.selected == static_cast<int>(wParam)) {
        l.selected = -1;
      } else if (l.selected > static_cast<int>(wParam)) {
        --l.selected;
      }
      return count - 1;
    case LB_RESETCONTENT:
      for (int i = count - 1; i >= 0; --i) {
        Deleted(l, i);
      }
      l.items.clear();
      l.selected = -1;
      l.top = 0;
      return 0;
    case LB_GETCOUNT: return count;
    case LB_GETCURSEL: return l.selected;
    case LB_SETCURSEL:
      if (static_cast<int>(wParam) == -1) {
        l.selected = -1;
        return LB_ERR;
      }
      if (!valid(wParam)) {
        return LB_ERR;
      }
      l.selected = static_cast<int>(wParam);
      return l.selected;
    case LB_GETTEXT:
      if (!valid(wParam)) {
        return LB_ERR;
      }
      if (!l.hasStrings) {
        std::memcpy(reinterpret_cast<void*>(lParam), &l.items[wParam].data, sizeof(ULONG_PTR));
        return sizeof(ULONG_PTR);
      }
      std::strcpy(reinterpret_cast<char*>(lParam), l.items[wParam].text.c_str());
      return static_cast<LRESULT>(l.items[wParam].text.size());
    case LB_GETTEXTLEN: return valid(wParam) ? static_cast<LRESULT>(l.items[wParam].text.size()) : LB_ERR;
    case LB_GETITEMDATA: return valid(wParam) ? static_cast<LRESULT>(l.items[wParam].data) : LB_ERR;
    case LB_SETITEMDATA:
      if (!valid(wParam)) {
        return LB_ERR;
      }
      l.items[wParam].data = static_cast<ULONG_PTR>(lParam);
      return 0;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
      const std::string wanted = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
      const int start = static_cast<int>(wParam);
      for (int k = 1; k <= count; ++k) {
        int i = ((start < 0 ? -1 : start) + k) % count;
        if (StartsNoCase(l.items[static_cast<std::size_t>(i)].text, wanted, op == LB_FINDSTRINGEXACT)) {
          if (op == LB_SELECTSTRING) {
            l.selected = i;
          }
          return i;
        }
      }
      return LB_ERR;
    }
    case LB_GETTOPINDEX: return l.top;
    case LB_SETTOPINDEX:
      if (!valid(wParam)) {
        return LB_ERR;
      }
      l.top = static_cast<int>(wParam);
      return 0;
    case LB_GETITEMHEIGHT: return valid(wParam) ? HeightOf(l, wParam) : l.itemHeight;
    case LB_SETITEMHEIGHT:
      if (l.variable && valid(wParam)) {
        l.items[wParam].height = static_cast<int>(LOWORD(static_cast<DWORD>(lParam)));
      } else {
        l.itemHeight = std::max(1, static_cast<int>(LOWORD(static_cast<DWORD>(lParam))));
      }
      return 0;
    case LB_GETSEL: return valid(wParam) ? (static_cast<int>(wParam) == l.selected ? 1 : 0) : LB_ERR;
    case LB_SETSEL:
      if (static_cast<int>(lParam) == -1) {
        l.selected = wParam != 0 ? 0 : -1;
        return 0;
      }
      if (!valid(static_cast<WPARAM>(lParam))) {
        return LB_ERR;
      }
      l.selected = wParam != 0 ? static_cast<int>(lParam) : -1;
      return 0;
    default: *handled = false; return 0;
  }
}

RECT RowRect(const Items& l, int row, int width)
{
  int y = 0;
  for (int i = l.top; i < row; ++i) {
    y += HeightOf(l, static_cast<std::size_t>(i));
  }
  return RECT{0, y, width, y + HeightOf(l, static_cast<std::size_t>(row))};
}

void PaintItems(HWND hwnd, HDC dc, const Items& l, bool focused)
{
  RECT r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, ParentBrush(hwnd, dc, WM_CTLCOLORLISTBOX));
  HGDIOBJ old = SelectObject(dc, l.font != nullptr ? l.font : DefaultControlFont());
  SetBkMode(dc, TRANSPARENT);
  for (int i = l.top; i < static_cast<int>(l.items.size()); ++i) {
    RECT row = RowRect(l, i, r.right);
    if (row.top >= r.bottom) {
      break;
    }
    const bool chosen = i == l.selected;
    if (l.ownerDraw) {
      DRAWITEMSTRUCT di{ODT_LISTBOX,
                        static_cast<UINT>(GetDlgCtrlID(hwnd)),
                        static_cast<UINT>(i),
                        ODA_DRAWENTIRE,
                        (chosen ? ODS_SELECTED : 0u) | (chosen && focused ? ODS_FOCUS : 0u) |
                            (IsWindowEnabled(hwnd) ? 0u : ODS_DISABLED),
                        hwnd,
                        dc,
                        row,
                        l.items[static_cast<std::size_t>(i)].data};
      SendMessage(GetParent(hwnd), WM_DRAWITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
      continue;
    }
    if (chosen) {
      FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    SetTextColor(dc, GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = row.Inflate(-2, 0);
    DrawText(dc, l.items[static_cast<std::size_t>(i)].text.c_str(), -1, &text,
             DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (chosen && focused) {
      DrawFocusRect(dc, &row);
    }
  }
  SelectObject(dc, old);
}

int RowAt(const Items& l, int y)
{
  if (y < 0) {
    return -1;
  }
  int top = 0;
  for (int i = l.top; i < static_cast<int>(l.items.size()); ++i) {
    const int h = HeightOf(l, static_cast<std::size_t>(i));
    if (y < top + h) {
      return i;
    }
    top += h;
  }
  return l.top + static_cast<int>(l.items.size()) + (y - top) / std::max(1, l.itemHeight);
}


void KeepVisible(HWND hwnd, Items& l)
{
  RECT r;
  GetClientRect(hwnd, &r);
  const int rows = std::max(1, static_cast<int>(r.Height() / l.itemHeight));
  if (l.selected >= 0 && l.selected < l.top) {
    l.top = l.selected;
  } else if (l.selected >= l.top + rows) {
    l.top = l.selected - rows + 1;
  }
}

struct ListBox : Items {
  bool focused = false;
  HWND combo = nullptr;  // the combo box this list drops down for
  bool scrolls = false;  // made with WS_VSCROLL: a bar shows while the items do not fit
};

// The bar shows only while the items overflow the list (always, greyed, with LBS_DISABLENOSCROLL); `top` keeps
// the last rows in view.
void UpdateScrollBar(HWND hwnd, ListBox& l)
{
  if (!l.scrolls) {
    return;
  }
  RECT r;
  GetClientRect(hwnd, &r);
  const int count = static_cast<int>(l.items.size());
  int total = 0;
  for (std::size_t i = 0; i < l.items.size(); ++i) {
    total += HeightOf(l, i);
  }
  const int rows = std::max(1, static_cast<int>(r.Height() / l.itemHeight));
  const bool overflow = total > r.Height();
  l.top = overflow ? std::clamp(l.top, 0, std::max(0, count - rows)) : 0;
  const bool keep = (GetWindowLong(hwnd, GWL_STYLE) & LBS_DISABLENOSCROLL) != 0;
  ShowScrollBar(hwnd, SB_VERT, overflow || keep);
  if (overflow || keep) {
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, count - 1), static_cast<UINT>(rows),
                  l.top, 0};
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
    EnableScrollBar(hwnd, SB_VERT, overflow ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
  }
}

LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<ListBox>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  ListBox* l = ControlState<ListBox>(hwnd);
  if (l == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
  const bool notify = (style & LBS_NOTIFY) != 0;
  if (msg == WM_CREATE) {
    l->window = hwnd;
    l->ownerDraw = (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
    l->variable = (style & LBS_OWNERDRAWVARIABLE) != 0;
    l->hasStrings = !l->ownerDraw || (style & LBS_HASSTRINGS) != 0;
    l->scrolls = (style & WS_VSCROLL) != 0;
    if ((style & LBS_OWNERDRAWFIXED) != 0) {
      MEASUREITEMSTRUCT mi{ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(hwnd)), 0, 0,
                           static_cast<UINT>(l->itemHeight), 0};
      SendMessage(GetParent(hwnd), WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
      l->itemHeight = std::max(1, static_cast<int>(mi.itemHeight));
    }
    UpdateScrollBar(hwnd, *l);
    return 0;
  }
  if (msg == WM_DESTROY) {
    for (int i = static_cast<int>(l->items.size()) - 1; i >= 0; --i) {
      Deleted(*l, i);
    }
    l->items.clear();
    return 0;
  }
  bool handled = false;
  LRESULT r = ItemMessage(*l, (style & LBS_SORT) != 0, msg, wParam, lParam, &handled);
  if (handled) {
    // Only a change repaints: an owner that asks questions while drawing must not ask for another paint.
    const bool question = msg == LB_GETCOUNT || msg == LB_GETCURSEL || msg == LB_GETTEXT || msg == LB_GETTEXTLEN ||
                          msg == LB_GETITEMDATA || msg == LB_FINDSTRING || msg == LB_FINDSTRINGEXACT ||
                          msg == LB_GETTOPINDEX || msg == LB_GETITEMHEIGHT || msg == LB_GETSEL;
    if (!question) {
      UpdateScrollBar(hwnd, *l);
      InvalidateRect(hwnd, nullptr, TRUE);
    }
    return r;
  }
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      PaintItems(hwnd, dc, *l, l->focused);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (l->combo == nullptr) {
        SetFocus(hwnd);
      }
      int row = RowAt(*l, GET_Y_LPARAM(lParam));
      if (row >= 0 && row < static_cast<int>(l->items.size())) {
        const bool change = row != l->selected;
        l->selected = row;
        InvalidateRect(hwnd, nullptr, TRUE);
        if (l->combo != nullptr) {
          SendMessage(l->combo, WM_APP + 0x3FFF, static_cast<WPARAM>(row), 0);  // chosen in the dropped list
          return 0;
        }
        if (notify && change) {
          NotifyParent(hwnd, LBN_SELCHANGE);
        }
        if (notify && msg == WM_LBUTTONDBLCLK) {
          NotifyParent(hwnd, LBN_DBLCLK);
        }
      }
      return 0;
    }
    case WM_MOUSEWHEEL:
      l->top = std::clamp(l->top - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3, 0,
                          std::max(0, static_cast<int>(l->items.size()) - 1));
      UpdateScrollBar(hwnd, *l);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_VSCROLL: {
      RECT r;
      GetClientRect(hwnd, &r);
      const int rows = std::max(1, static_cast<int>(r.Height() / l->itemHeight));
      int top = l->top;
      switch (LOWORD(wParam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= rows; break;
        case SB_PAGEDOWN: top += rows; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: top = static_cast<int>(HIWORD(wParam)); break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = static_cast<int>(l->items.size()); break;
        default: return 0;
      }
      l->top = std::max(0, top);
      UpdateScrollBar(hwnd, *l);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_SIZE:
      UpdateScrollBar(hwnd, *l);
      break;
    case WM_KEYDOWN: {
      const int count = static_cast<int>(l->items.size());
      if (count == 0) {
        return 0;
      }
      int row = l->selected;
      switch (wParam) {
        case VK_UP: row = std::max(0, row - 1); break;
        case VK_DOWN: row = std::min(count - 1, row + 1); break;
        case VK_HOME: row = 0; break;
        case VK_END: row = count - 1; break;
        default: return 0;
      }
      if (row != l->selected) {
        l->selected = row;
        KeepVisible(hwnd, *l);
        UpdateScrollBar(hwnd, *l);
        InvalidateRect(hwnd, nullptr, TRUE);
        if (notify) {
          NotifyParent(hwnd, LBN_SELCHANGE);
        }
      }
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      l->focused = msg == WM_SETFOCUS;
      InvalidateRect(hwnd, nullptr, TRUE);
      if (notify) {
        NotifyParent(hwnd, msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
      }
      return 0;
    case WM_SETFONT: l->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(l->font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case LB_ITEMFROMPOINT: {
      // The nearest item, and in the high word whether the point lies outside every item.
      const int count = static_cast<int>(l->items.size());
      const int row = RowAt(*l, GET_Y_LPARAM(lParam));
      RECT client;
      GetClientRect(hwnd, &client);
      const bool outside = row < 0 || row >= count || !client.Contains(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return MAKELONG(static_cast<unsigned>(std::clamp(row, 0, std::max(0, count - 1))), outside ? 1u : 0u);
    }
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// ---- Combo box

struct Combo : Items {
  HWND edit = nullptr;
  HWND list = nullptr;  // the dropped-down list while it shows
  bool focused = false;
};

constexpr UINT kChosenInList = WM_APP + 0x3FFF;
constexpr int kEditId = 1001;

DWORD ComboType(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & 0x3; }

void ShowChosen(HWND hwnd, Combo& c)
{
  if (c.edit != nullptr) {
    const char* text = c.selected >= 0 ? c.items[static_cast<std::size_t>(c.selected)].text.c_str() : "";
    SetWindowText(c.edit, text);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
}

void CloseUp(HWND hwnd, Combo& c, bool ok)
{
  if (c.list == nullptr) {
    return;
  }
  HWND list = c.list;
  c.list = nullptr;
  if (GetCapture() == list) {
    ReleaseCapture();
  }
  DestroyWindow(list);
  NotifyParent(hwnd, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
  NotifyParent(hwnd, CBN_CLOSEUP);
}

void DropDown(HWND hwnd, Combo& c)
{
  if (c.list != nullptr || ComboType(hwnd) == CBS_SIMPLE) {
    return;
  }
  NotifyParent(hwnd, CBN_DROPDOWN);
  RECT r;
  GetWindowRect(hwnd, &r);
  const int rows = std::clamp(static_cast<int>(c.items.size()), 1, 8);
  c.list = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "ComboLBox", "",
                          WS_POPUP | WS_BORDER | WS_VSCROLL, r.left, r.bottom, r.Width(), rows * c.itemHeight + 2,
                          hwnd, nullptr, nullptr, nullptr);
  ListBox* l = ControlState<ListBox>(c.list);
  for (const Item& item : c.items) {
    l->items.push_back(Item{item.text, item.data});
  }
  l->selected = c.selected;
  l->combo = hwnd;
  l->font = c.font;
  KeepVisible(c.list, *l);
  UpdateScrollBar(c.list, *l);
  ShowWindow(c.list, SW_SHOWNA);
  SetCapture(c.list);
}

LRESULT ComboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Combo>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Combo* c = ControlState<Combo>(hwnd);
  if (c == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
  // CB_ messages map one to one onto the list box's.
  static const std::pair<UINT, UINT> kMap[] = {
      {CB_ADDSTRING, LB_ADDSTRING},         {CB_INSERTSTRING, LB_INSERTSTRING}, {CB_DELETESTRING, LB_DELETESTRING},
      {CB_RESETCONTENT, LB_RESETCONTENT},   {CB_GETCOUNT, LB_GETCOUNT},         {CB_GETCURSEL, LB_GETCURSEL},
      {CB_SETCURSEL, LB_SETCURSEL},         {CB_GETLBTEXT, LB_GETTEXT},         {CB_GETLBTEXTLEN, LB_GETTEXTLEN},
      {CB_GETITEMDATA, LB_GETITEMDATA},     {CB_SETITEMDATA, LB_SETITEMDATA},   {CB_FINDSTRING, LB_FINDSTRING},
      {CB_FINDSTRINGEXACT, LB_FINDSTRINGEXACT}, {CB_SELECTSTRING, LB_SELECTSTRING},
  };
  for (auto [cb, lb] : kMap) {
    if (msg == cb) {
      bool handled = false;
      LRESULT r = ItemMessage(*c, (style & CBS_SORT) != 0, lb, wParam, lParam, &handled);
      if (msg == CB_SETCURSEL || msg == CB_SELECTSTRING || msg == CB_RESETCONTENT || msg == CB_DELETESTRING) {
        ShowChosen(hwnd, *c);
      }
      return r;
    }
  }
  switch (msg) {
    case WM_CREATE:
      if (ComboType(hwnd) != CBS_SIMPLE) {
        // The height a template gives is the dropped list's; the box itself is one line high, its scroll bar
        // the list's.
        const DWORD own = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
        if ((own & (WS_VSCROLL | WS_HSCROLL)) != 0) {
          SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(own & ~(WS_VSCROLL | WS_HSCROLL)));
        }
        RECT r;
        GetWindowRect(hwnd, &r);
        SetWindowPos(hwnd, nullptr, 0, 0, r.Width(), c->itemHeight + 6,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      }
      if (ComboType(hwnd) != CBS_DROPDOWNLIST) {
        RECT r;
        GetClientRect(hwnd, &r);
        c->edit = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0,
                                 r.Width() - GetSystemMetrics(SM_CXVSCROLL), r.Height(), hwnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditId)), nullptr, nullptr);
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      RECT button{r.right - GetSystemMetrics(SM_CXVSCROLL), r.top, r.right, r.bottom};
      if (c->edit == nullptr) {
        RECT field{r.left, r.top, button.left, r.bottom};
        FillRect(dc, &field, ParentBrush(hwnd, dc, WM_CTLCOLOREDIT));
        if (c->selected >= 0) {
          HGDIOBJ old = SelectObject(dc, c->font != nullptr ? c->font : DefaultControlFont());
          SetBkMode(dc, TRANSPARENT);
          RECT text = field.Inflate(-2, -2);
          if (c->focused) {
            FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
          }
          DrawText(dc, c->items[static_cast<std::size_t>(c->selected)].text.c_str(), -1, &text,
                   DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
          SelectObject(dc, old);
        }
      }
      if (ComboType(hwnd) != CBS_SIMPLE) {
        DrawFrameControl(dc, &button, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (IsWindowEnabled(hwnd) ? 0u : DFCS_INACTIVE));
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(c->edit != nullptr ? c->edit : hwnd);
      if (c->list != nullptr) {
        CloseUp(hwnd, *c, false);
      } else {
        DropDown(hwnd, *c);
      }
      return 0;
    case kChosenInList: {
      const bool change = static_cast<int>(wParam) != c->selected;
      c->selected = static_cast<int>(wParam);
      CloseUp(hwnd, *c, true);
      ShowChosen(hwnd, *c);
      if (change) {
        NotifyParent(hwnd, CBN_SELCHANGE);
      }
      return 0;
    }
    case WM_KEYDOWN: {
      const int count = static_cast<int>(c->items.size());
      if (wParam == VK_F4 || (wParam == VK_DOWN && (GetKeyState(VK_MENU) & 0x8000) != 0)) {
        c->list != nullptr ? CloseUp(hwnd, *c, false) : DropDown(hwnd, *c);
        return 0;
      }
      if (c->list != nullptr) {
        if (wParam == VK_RETURN) {
          int row = ControlState<ListBox>(c->list)->selected;
          SendMessage(hwnd, kChosenInList, static_cast<WPARAM>(row < 0 ? c->selected : row), 0);
        } else if (wParam == VK_ESCAPE) {
          CloseUp(hwnd, *c, false);
        } else {
          SendMessage(c->list, WM_KEYDOWN, wParam, lParam);
        }
        return 0;
      }
      if (count == 0) {
        return 0;
      }
      int row = c->selected;
      if (wParam == VK_UP) {
        row = std::max(0, row - 1);
      } else if (wParam == VK_DOWN) {
        row = std::min(count - 1, row + 1);
      } else {
        return 0;
      }
      if (row != c->selected) {
        c->selected = row;
        ShowChosen(hwnd, *c);
        NotifyParent(hwnd, CBN_SELCHANGE);
      }
      return 0;
    }
    case WM_CHAR:
      if (c->edit == nullptr && wParam >= 0x20) {
        // Typing in a drop-down list picks the next item starting with that character.
        char prefix[2] = {static_cast<char>(wParam), 0};
        bool handled = false;
        LRESULT found = ItemMessage(*c, false, LB_FINDSTRING, static_cast<WPARAM>(c->selected),
                                    reinterpret_cast<LPARAM>(prefix), &handled);
        if (found != LB_ERR && found != c->selected) {
          c->selected = static_cast<int>(found);
          ShowChosen(hwnd, *c);
          NotifyParent(hwnd, CBN_SELCHANGE);
        }
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) {
        NotifyParent(hwnd, CBN_EDITCHANGE);
      }
      return 0;
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      if (c->edit != nullptr) {
        return SendMessage(c->edit, msg, wParam, lParam);
      }
      if (msg == WM_SETTEXT) {
        bool handled = false;
        LRESULT found = ItemMessage(*c, false, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam, &handled);
        c->selected = found == LB_ERR ? -1 : static_cast<int>(found);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
      }
      if (c->selected < 0) {
        if (msg == WM_GETTEXT && wParam > 0) {
          reinterpret_cast<char*>(lParam)[0] = '\0';
        }
        return 0;
      }
      {
        const std::string& text = c->items[static_cast<std::size_t>(c->selected)].text;
        if (msg == WM_GETTEXTLENGTH) {
          return static_cast<LRESULT>(text.size());
        }
        if (wParam == 0) {
          return 0;
        }
        std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), text.data(), n);
        reinterpret_cast<char*>(lParam)[n] = '\0';
        return static_cast<LRESULT>(n);
      }
    case WM_SETFOCUS:
      c->focused = true;
      if (c->edit != nullptr) {
        SetFocus(c->edit);
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      c->focused = false;
      CloseUp(hwnd, *c, false);
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, CBN_KILLFOCUS);
      return 0;
    case WM_DESTROY: CloseUp(hwnd, *c, false); return 0;
    case WM_SETFONT:
      c->font = reinterpret_cast<HFONT>(wParam);
      if (c->edit != nullptr) {
        SendMessage(c->edit, WM_SETFONT, wParam, lParam);
      }
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(c->font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case CB_SHOWDROPDOWN:
      wParam != 0 ? DropDown(hwnd, *c) : CloseUp(hwnd, *c, false);
      return TRUE;
    case CB_GETDROPPEDSTATE: return c->list != nullptr ? TRUE : FALSE;
    case CB_GETITEMHEIGHT: return c->itemHeight;
    case CB_SETITEMHEIGHT: c->itemHeight = std::max(1, static_cast<int>(lParam)); return 0;
    case CB_LIMITTEXT:
      if (c->edit != nullptr) {
        SendMessage(c->edit, EM_LIMITTEXT, wParam, 0);
      }
      return TRUE;
    case CB_GETEDITSEL: return c->edit != nullptr ? SendMessage(c->edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
      return c->edit != nullptr ? SendMessage(c->edit, EM_SETSEL, LOWORD(lParam), static_cast<SHORT>(HIWORD(lParam)))
                                : CB_ERR;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// The dropped list: a click outside it closes it.
LRESULT ComboListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_LBUTTONDOWN) {
    RECT r;
    GetClientRect(hwnd, &r);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!r.Contains(pt)) {
      ListBox* l = ControlState<ListBox>(hwnd);
      if (l != nullptr && l->combo != nullptr) {
        if (Combo* c = ControlState<Combo>(l->combo)) {
          CloseUp(l->combo, *c, false);
        }
      }
      return 0;
    }
  }
  if (msg == WM_MOUSEACTIVATE) {
    return MA_NOACTIVATE;
  }
  return ListBoxProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC ListBoxWindowProc() { return &ListBoxProc; }
WNDPROC ComboBoxWindowProc() { return &ComboProc; }
WNDPROC ComboListWindowProc() { return &ComboListProc; }
}  // namespace user::detail
