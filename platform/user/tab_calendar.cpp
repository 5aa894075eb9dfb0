// The tab control and the month calendar.
#include "platform/gdi/imagelist.h"
#include "platform/user/common_controls.h"
#include "platform/user/controls_common.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace user::detail;

namespace {

// ---- Tab control

struct TabItem {
  std::string text;
  int image = -1;
  LPARAM param = 0;
  DWORD state = 0;
};

struct Tabs {
  std::vector<TabItem> items;
  int selected = -1;
  int focus = -1;
  HFONT font = nullptr;
  HIMAGELIST images = nullptr;
};

constexpr int kTabHeight = 20;
constexpr int kTabPadding = 6;

LRESULT NotifyParentOf(HWND hwnd, UINT code)
{
  NMHDR hdr{hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), code};
  HWND parent = GetParent(hwnd);
  return parent != nullptr ? SendMessage(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr)) : 0;
}

std::vector<RECT> TabRects(HWND hwnd, const Tabs& t)
{
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, t.font != nullptr ? t.font : DefaultControlFont());
  std::vector<RECT> out;
  int x = 2;
  for (const TabItem& item : t.items) {
    SIZE size{};
    GetTextExtentPoint32(dc, item.text.c_str(), static_cast<int>(item.text.size()), &size);
    int w = size.cx + 2 * kTabPadding;
    out.push_back(RECT{x, 2, x + w, 2 + kTabHeight});
    x += w;
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return out;
}

bool ChangeSelection(HWND hwnd, Tabs& t, int index)
{
  if (index == t.selected || index < 0 || index >= static_cast<int>(t.items.size())) {
    return false;
  }
  if (NotifyParentOf(hwnd, TCN_SELCHANGING) != 0) {
    return false;
  }
  t.selected = index;
  t.focus = index;
  InvalidateRect(hwnd, nullptr, TRUE);
  NotifyParentOf(hwnd, TCN_SELCHANGE);
  return true;
}

LRESULT TabProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Tabs>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Tabs* t = ControlState<Tabs>(hwnd);
  if (t == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  const int count = static_cast<int>(t->items.size());
  auto valid = [&](WPARAM i) { return static_cast<int>(i) >= 0 && static_cast<int>(i) < count; };
  auto* item = reinterpret_cast<TCITEM*>(lParam);
  switch (msg) {
    case TCM_INSERTITEM: {
      if (item == nullptr) {
        return -1;
      }
      TabItem added;
      if ((item->mask & TCIF_TEXT) != 0 && item->pszText != nullptr) {
        added.text = item->pszText;
      }
      if ((item->mask & TCIF_IMAGE) != 0) {
        added.image = item->iImage;
      }
      if ((item->mask & TCIF_PARAM) != 0) {
        added.param = item->lParam;
      }
      int at = std::clamp(static_cast<int>(wParam), 0, count);
      t->items.insert(t->items.begin() + at, added);
      if (t->selected < 0) {
        t->selected = 0;  // the first tab is chosen from the start
      } else if (t->selected >= at) {
        ++t->selected;
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return at;
    }
    case TCM_DELETEITEM:
      if (!valid(wParam)) {
        return FALSE;
      }
      t->items.erase(t->items.begin() + static_cast<int>(wParam));
      if (t->selected == static_cast<int>(wParam)) {
        t->selected = -1;
      } else if (t->selected > static_cast<int>(wParam)) {
        --t->selected;
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TCM_DELETEALLITEMS:
      t->items.clear();
      t->selected = t->focus = -1;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TCM_GETITEMCOUNT: return count;
    case TCM_GETITEM:
    case TCM_SETITEM: {
      if (!valid(wParam) || item == nullptr) {
        return FALSE;
      }
      TabItem& it = t->items[wParam];
      if (msg == TCM_SETITEM) {
        if ((item->mask & TCIF_TEXT) != 0) {
          it.text = item->pszText != nullptr ? item->pszText : "";
        }
        if ((item->mask & TCIF_IMAGE) != 0) {
          it.image = item->iImage;
        }
        if ((item->mask & TCIF_PARAM) != 0) {
          it.param = item->lParam;
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
      }
      if ((item->mask & TCIF_TEXT) != 0 && item->pszText != nullptr && item->cchTextMax > 0) {
        std::size_t n = std::min<std::size_t>(it.text.size(), static_cast<std::size_t>(item->cchTextMax - 1));
        std::memcpy(item->pszText, it.text.data(), n);
        item->pszText[n] = '\0';
      }
      if ((item->mask & TCIF_IMAGE) != 0) {
        item->iImage = it.image;
      }
      if ((item->mask & TCIF_PARAM) != 0) {
        item->lParam = it.param;
      }
      return TRUE;
    }
    case TCM_GETITEMRECT:
      if (!valid(wParam)) {
        return FALSE;
      }
      *reinterpret_cast<RECT*>(lParam) = TabRects(hwnd, *t)[wParam];
      return TRUE;
    case TCM_GETCURSEL: return t->selected;
    case TCM_SETCURSEL: {
      int old = t->selected;
      if (!valid(wParam)) {
        return -1;
      }
      t->selected = t->focus = static_cast<int>(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case TCM_GETCURFOCUS: return t->focus;
    case TCM_SETCURFOCUS: ChangeSelection(hwnd, *t, static_cast<int>(wParam)); return 0;
    case TCM_GETROWCOUNT: return 1;
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(t->images);
    case TCM_SETIMAGELIST: {
      HIMAGELIST old = t->images;
      t->images = reinterpret_cast<HIMAGELIST>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case TCM_HITTEST: {
      auto* hit = reinterpret_cast<TCHITTESTINFO*>(lParam);
      std::vector<RECT> rects = TabRects(hwnd, *t);
      for (std::size_t i = 0; i < rects.size(); ++i) {
        if (rects[i].Contains(hit->pt)) {
          hit->flags = TCHT_ONITEM;
          return static_cast<LRESULT>(i);
        }
      }
      hit->flags = TCHT_NOWHERE;
      return -1;
    }
    case TCM_ADJUSTRECT: {
      // TRUE: from the display area to the whole control; FALSE: the other way.
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (wParam != 0) {
        *r = RECT{r->left - 4, r->top - kTabHeight - 4, r->right + 4, r->bottom + 4};
      } else {
        *r = RECT{r->left + 4, r->top + kTabHeight + 4, r->right - 4, r->bottom - 4};
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TCHITTESTINFO hit;
      hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      int i = static_cast<int>(SendMessage(hwnd, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (i >= 0) {
        SetFocus(hwnd);
        ChangeSelection(hwnd, *t, i);
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (count > 0 && (wParam == VK_LEFT || wParam == VK_RIGHT)) {
        ChangeSelection(hwnd, *t, std::clamp(t->selected + (wParam == VK_RIGHT ? 1 : -1), 0, count - 1));
      }
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(dc, &client, ParentBrush(hwnd, dc, WM_CTLCOLORDLG));
      RECT body{client.left, client.top + kTabHeight + 2, client.right, client.bottom};
      FillRect(dc, &body, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(dc, &body, EDGE_RAISED, BF_RECT);
      HGDIOBJ old = SelectObject(dc, t->font != nullptr ? t->font : DefaultControlFont());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      std::vector<RECT> rects = TabRects(hwnd, *t);
      for (std::size_t i = 0; i < rects.size(); ++i) {
        RECT r = rects[i];
        if (static_cast<int>(i) == t->selected) {
          r = RECT{r.left - 2, r.top - 2, r.right + 2, r.bottom + 1};
        }
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
        DrawText(dc, t->items[i].text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      }
      SelectObject(dc, old);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETFONT: t->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(t->font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// ---- Month calendar: one month shown, one day chosen.

struct Calendar {
  SYSTEMTIME selected{};
  SYSTEMTIME today{};
  bool hasMin = false;
  bool hasMax = false;
  SYSTEMTIME min{};
  SYSTEMTIME max{};
  HFONT font = nullptr;
};

int DaysIn(int year, int month)
{
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[(month - 1 + 12) % 12];
}

// Day of the week, 0 Sunday (Zeller-free: from a day count).
int WeekDay(int year, int month, int day)
{
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) {
    year -= 1;
  }
  return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

long Key(const SYSTEMTIME& t) { return static_cast<long>(t.wYear) * 10000 + t.wMonth * 100 + t.wDay; }

bool InRange(const Calendar& c, const SYSTEMTIME& t)
{
  return (!c.hasMin || Key(t) >= Key(c.min)) && (!c.hasMax || Key(t) <= Key(c.max));
}

constexpr int kCell = 20;
constexpr int kHeader = 2 * kCell;

void NotifyDate(HWND hwnd, const Calendar& c, UINT code)
{
  NMSELCHANGE nm{};
  nm.nmhdr = NMHDR{hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), code};
  nm.stSelStart = c.selected;
  nm.stSelEnd = c.selected;
  HWND parent = GetParent(hwnd);
  if (parent != nullptr) {
    SendMessage(parent, WM_NOTIFY, nm.nmhdr.idFrom, reinterpret_cast<LPARAM>(&nm));
  }
}

void SetDay(SYSTEMTIME& t, int year, int month, int day)
{
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wDayOfWeek = static_cast<WORD>(WeekDay(year, month, day));
}

LRESULT CalendarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Calendar>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Calendar* c = ControlState<Calendar>(hwnd);
  if (c == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  auto* time = reinterpret_cast<SYSTEMTIME*>(lParam);
  switch (msg) {
    case WM_CREATE:
      SetDay(c->selected, 2026, 1, 1);
      c->today = c->selected;
      return 0;
    case MCM_GETCURSEL:
      if (time == nullptr) {
        return FALSE;
      }
      *time = c->selected;
      return TRUE;
    case MCM_SETCURSEL:
      if (time == nullptr || time->wMonth < 1 || time->wMonth > 12 || time->wDay < 1 ||
          time->wDay > DaysIn(time->wYear, time->wMonth) || !InRange(*c, *time)) {
        return FALSE;
      }
      SetDay(c->selected, time->wYear, time->wMonth, time->wDay);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case MCM_SETTODAY:
      if (time != nullptr) {
        c->today = *time;
      }
      return 0;
    case MCM_GETTODAY:
      if (time == nullptr) {
        return FALSE;
      }
      *time = c->today;
      return TRUE;
    case MCM_SETRANGE:
      c->hasMin = (wParam & GDTR_MIN) != 0;
      c->hasMax = (wParam & GDTR_MAX) != 0;
      if (c->hasMin) {
        c->min = time[0];
      }
      if (c->hasMax) {
        c->max = time[1];
      }
      return TRUE;
    case MCM_GETRANGE:
      if (c->hasMin) {
        time[0] = c->min;
      }
      if (c->hasMax) {
        time[1] = c->max;
      }
      return static_cast<LRESULT>((c->hasMin ? GDTR_MIN : 0) | (c->hasMax ? GDTR_MAX : 0));
    case MCM_GETMINREQRECT:
      *reinterpret_cast<RECT*>(lParam) = RECT{0, 0, 7 * kCell, kHeader + 6 * kCell};
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(hwnd);
      const int x = GET_X_LPARAM(lParam);
      const int y = GET_Y_LPARAM(lParam);
      const int year = c->selected.wYear;
      const int month = c->selected.wMonth;
      if (y < kCell) {
        // The header: the arrows at its ends turn the month.
        RECT client;
        GetClientRect(hwnd, &client);
        int step = x < kCell ? -1 : x >= client.right - kCell ? 1 : 0;
        if (step != 0) {
          int m = month + step;
          int yr = year + (m < 1 ? -1 : m > 12 ? 1 : 0);
          m = (m + 11) % 12 + 1;
          SYSTEMTIME next{};
          SetDay(next, yr, m, std::min<int>(c->selected.wDay, DaysIn(yr, m)));
          if (InRange(*c, next)) {
            c->selected = next;
            InvalidateRect(hwnd, nullptr, TRUE);
            NotifyDate(hwnd, *c, MCN_SELCHANGE);
          }
        }
        return 0;
      }
      if (y < kHeader) {
        return 0;
      }
      const int first = WeekDay(year, month, 1);
      const int cell = (y - kHeader) / kCell * 7 + x / kCell;
      const int day = cell - (first + 6) % 7 + 1;  // weeks start on Monday
      if (day < 1 || day > DaysIn(year, month)) {
        return 0;
      }
      SYSTEMTIME chosen{};
      SetDay(chosen, year, month, day);
      if (!InRange(*c, chosen)) {
        return 0;
      }
      c->selected = chosen;
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyDate(hwnd, *c, MCN_SELCHANGE);
      NotifyDate(hwnd, *c, MCN_SELECT);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
      HGDIOBJ old = SelectObject(dc, c->font != nullptr ? c->font : DefaultControlFont());
      SetBkMode(dc, TRANSPARENT);
      static const char* const kMonths[] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                            "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
      static const char* const kDays[] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
      RECT header{0, 0, client.right, kCell};
      FillRect(dc, &header, GetSysColorBrush(COLOR_ACTIVECAPTION));
      SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
      std::string title = std::string(kMonths[c->selected.wMonth - 1]) + " " + std::to_string(c->selected.wYear);
      DrawText(dc, title.c_str(), -1, &header, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      DrawText(dc, "<", -1, &header, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
      DrawText(dc, ">", -1, &header, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      for (int d = 0; d < 7; ++d) {
        RECT r{d * kCell, kCell, (d + 1) * kCell, 2 * kCell};
        DrawText(dc, kDays[d], -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      }
      const int lead = (WeekDay(c->selected.wYear, c->selected.wMonth, 1) + 6) % 7;
      for (int day = 1; day <= DaysIn(c->selected.wYear, c->selected.wMonth); ++day) {
        const int cell = lead + day - 1;
        RECT r{cell % 7 * kCell, kHeader + cell / 7 * kCell, cell % 7 * kCell + kCell, kHeader + (cell / 7 + 1) * kCell};
        const bool chosen = day == c->selected.wDay;
        if (chosen) {
          FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        SetTextColor(dc, GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        std::string number = std::to_string(day);
        DrawText(dc, number.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      }
      SelectObject(dc, old);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETFONT: c->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(c->font);
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC TabWindowProc() { return &TabProc; }
WNDPROC CalendarWindowProc() { return &CalendarProc; }
}  // namespace user::detail
