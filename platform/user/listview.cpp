// The list view: items with sub-items, shown as a report (a row per item under a header of columns) or as a
// list (items flowing down columns). Icon and small-icon views are laid out as the list. Selection, focus and
// check marks change by the program, the mouse and the keyboard, each change told to the parent as
// LVN_ITEMCHANGING (which may refuse it) and LVN_ITEMCHANGED.
#include "platform/gdi/imagelist.h"
#include "platform/user/common_controls.h"
#include "platform/user/controls_common.h"
#include "platform/user/menu_data.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

using namespace user::detail;

namespace {

constexpr int kLabelMargin = 2;
constexpr int kSubItemMargin = 6;
constexpr int kStateIconWidth = 16;
constexpr int kMinListColumn = 48;

struct Item {
  std::vector<std::string> texts;     // by sub-item
  std::vector<char> textCallback;     // by sub-item: asked of the parent
  int image = 0;
  LPARAM param = 0;
  UINT state = 0;
  int indent = 0;
};

struct Column {
  int fmt = LVCFMT_LEFT;
  int width = 0;
  int subItem = 0;
  int image = -1;
};

struct ListView {
  std::vector<Item> items;
  std::vector<Column> columns;
  HWND header = nullptr;
  HIMAGELIST normalImages = nullptr;
  HIMAGELIST smallImages = nullptr;
  HIMAGELIST stateImages = nullptr;
  COLORREF background = CLR_INVALID;  // the window colour until set
  COLORREF textColor = CLR_INVALID;
  COLORREF textBackground = CLR_INVALID;
  DWORD exStyle = 0;
  UINT callbackMask = 0;
  int top = 0;      // report: first row shown; list: first column shown
  int hscroll = 0;  // report: pixels scrolled to the left
  int mark = -1;    // where a Shift range starts
  HFONT font = nullptr;
  bool focused = false;
  bool laying = false;
  // The pressed mouse button, until it is released or a drag begins.
  int pressedItem = -1;
  bool pressedRight = false;
  bool pressing = false;
  POINT pressedAt{};
};

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }
bool Report(HWND hwnd) { return (StyleOf(hwnd) & LVS_TYPEMASK) == LVS_REPORT; }
int Count(const ListView& v) { return static_cast<int>(v.items.size()); }
bool Valid(const ListView& v, int i) { return i >= 0 && i < Count(v); }

LRESULT Send(HWND hwnd, NMHDR& hdr, UINT code)
{
  hdr.hwndFrom = hwnd;
  hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
  hdr.code = code;
  HWND parent = GetParent(hwnd);
  return parent != nullptr ? SendMessage(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr)) : 0;
}

LRESULT NotifyItem(HWND hwnd, const ListView& v, UINT code, int item, UINT newState = 0, UINT oldState = 0,
                   UINT changed = 0, int subItem = 0)
{
  NMLISTVIEW nm{};
  nm.iItem = item;
  nm.iSubItem = subItem;
  nm.uNewState = newState;
  nm.uOldState = oldState;
  nm.uChanged = changed;
  nm.lParam = Valid(v, item) ? v.items[static_cast<std::size_t>(item)].param : 0;
  return Send(hwnd, nm.hdr, code);
}

UINT KeyFlags()
{
  UINT flags = 0;
  if (GetKeyState(VK_SHIFT) < 0) {
    flags |= LVKF_SHIFT;
  }
  if (GetKeyState(VK_CONTROL) < 0) {
    flags |= LVKF_CONTROL;
  }
  if (GetKeyState(VK_MENU) < 0) {
    flags |= LVKF_ALT;
  }
  return flags;
}

LRESULT NotifyActivate(HWND hwnd, const ListView& v, UINT code, int item, int subItem, POINT at)
{
  NMITEMACTIVATE nm{};
  nm.iItem = item;
  nm.iSubItem = subItem;
  nm.ptAction = at;
  nm.lParam = Valid(v, item) ? v.items[static_cast<std::size_t>(item)].param : 0;
  nm.uKeyFlags = KeyFlags();
  return Send(hwnd, nm.hdr, code);
}

// ---- Item data

std::string TextOf(HWND hwnd, ListView& v, int index, int subItem)
{
  const Item& item = v.items[static_cast<std::size_t>(index)];
  const auto at = static_cast<std::size_t>(subItem);
  if (at >= item.textCallback.size() || item.textCallback[at] == 0) {
    return at < item.texts.size() ? item.texts[at] : std::string();
  }
  char buffer[260] = {};
  NMLVDISPINFO di{};
  di.item.mask = LVIF_TEXT;
  di.item.iItem = index;
  di.item.iSubItem = subItem;
  di.item.lParam = item.param;
  di.item.pszText = buffer;
  di.item.cchTextMax = sizeof buffer;
  Send(hwnd, di.hdr, LVN_GETDISPINFO);
  if (di.item.pszText == nullptr || di.item.pszText == LPSTR_TEXTCALLBACK) {
    return std::string();
  }
  return di.item.pszText == buffer ? std::string(buffer, strnlen(buffer, sizeof buffer - 1))
                                   : std::string(di.item.pszText);
}

int ImageOf(HWND hwnd, ListView& v, int index)
{
  const Item& item = v.items[static_cast<std::size_t>(index)];
  if (item.image != I_IMAGECALLBACK) {
    return item.image;
  }
  NMLVDISPINFO di{};
  di.item.mask = LVIF_IMAGE;
  di.item.iItem = index;
  di.item.lParam = item.param;
  Send(hwnd, di.hdr, LVN_GETDISPINFO);
  return di.item.iImage;
}

void SetText(Item& item, int subItem, LPCSTR text)
{
  const auto at = static_cast<std::size_t>(subItem);
  if (item.texts.size() <= at) {
    item.texts.resize(at + 1);
    item.textCallback.resize(at + 1, 0);
  }
  item.textCallback[at] = text == LPSTR_TEXTCALLBACK ? 1 : 0;
  item.texts[at] = text == nullptr || text == LPSTR_TEXTCALLBACK ? std::string() : std::string(text);
}

void CopyText(const std::string& text, LPSTR out, int size)
{
  if (out == nullptr || out == LPSTR_TEXTCALLBACK || size <= 0) {
    return;
  }
  const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

int CompareNoCase(const std::string& a, const std::string& b)
{
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int x = LowerCp1251(static_cast<unsigned char>(a[i]));
    const int y = LowerCp1251(static_cast<unsigned char>(b[i]));
    if (x != y) {
      return x < y ? -1 : 1;
    }
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// ---- Geometry

int TextHeight(HWND hwnd, const ListView& v)
{
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, v.font != nullptr ? v.font : DefaultControlFont());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return tm.tmHeight;
}

int TextWidth(HWND hwnd, const ListView& v, const std::string& text)
{
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, v.font != nullptr ? v.font : DefaultControlFont());
  SIZE size{};
  GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return size.cx;
}

SIZE IconSize(HIMAGELIST list)
{
  int cx = 0;
  int cy = 0;
  if (list != nullptr && ImageList_GetIconSize(list, &cx, &cy)) {
    return SIZE{cx, cy};
  }
  return SIZE{0, 0};
}

bool HasStateIcons(const ListView& v) { return v.stateImages != nullptr || (v.exStyle & LVS_EX_CHECKBOXES) != 0; }

int RowHeight(HWND hwnd, const ListView& v)
{
  const int icon = std::max<int>(IconSize(v.smallImages).cy, HasStateIcons(v) ? 16 : 0);
  return std::max(TextHeight(hwnd, v) + 3, icon + 1);
}

int HeaderHeight(const ListView& v)
{
  if (v.header == nullptr || !IsWindowVisible(v.header)) {
    return 0;
  }
  RECT r;
  GetWindowRect(v.header, &r);
  return r.Height();
}

// The part of the client area the items use.
RECT ItemArea(HWND hwnd, const ListView& v)
{
  RECT client;
  GetClientRect(hwnd, &client);
  client.top += Report(hwnd) ? HeaderHeight(v) : 0;
  return client;
}

int PerColumn(HWND hwnd, const ListView& v)
{
  return std::max(1, static_cast<int>(ItemArea(hwnd, v).Height()) / RowHeight(hwnd, v));
}

int PerPage(HWND hwnd, const ListView& v)
{
  return std::max(1, static_cast<int>(ItemArea(hwnd, v).Height()) / RowHeight(hwnd, v));
}

// The width before the label: indent, state icon, small icon.
int LeadWidth(const ListView& v, const Item& item)
{
  const SIZE icon = IconSize(v.smallImages);
  return item.indent * std::max<int>(icon.cx, 16) + (HasStateIcons(v) ? kStateIconWidth : 0) +
         (icon.cx > 0 ? icon.cx + 2 : 0);
}

int ListColumnWidth(HWND hwnd, ListView& v)
{
  int widest = 0;
  for (int i = 0; i < Count(v); ++i) {
    widest = std::max(widest, LeadWidth(v, v.items[static_cast<std::size_t>(i)]) +
                                  TextWidth(hwnd, v, TextOf(hwnd, v, i, 0)) + 2 * kLabelMargin + 8);
  }
  return std::max(kMinListColumn, widest);
}

// Report columns in display order with their left edges (before scrolling).
std::vector<std::pair<int, int>> ColumnLefts(const ListView& v)
{
  std::vector<int> order(v.columns.size());
  std::iota(order.begin(), order.end(), 0);
  if (v.header != nullptr && !order.empty()) {
    SendMessage(v.header, HDM_GETORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
  }
  std::vector<std::pair<int, int>> out;
  int x = 0;
  for (int c : order) {
    out.emplace_back(c, x);
    x += v.columns[static_cast<std::size_t>(c)].width;
  }
  return out;
}

int TotalWidth(const ListView& v)
{
  int w = 0;
  for (const Column& c : v.columns) {
    w += c.width;
  }
  return w;
}

// The whole row (report) or cell (list) of an item, in client coordinates.
RECT BoundsOf(HWND hwnd, ListView& v, int index)
{
  const RECT area = ItemArea(hwnd, v);
  const int rowH = RowHeight(hwnd, v);
  if (Report(hwnd)) {
    const int y = area.top + (index - v.top) * rowH;
    return RECT{-v.hscroll, y, -v.hscroll + std::max(TotalWidth(v), 1), y + rowH};
  }
  const int per = PerColumn(hwnd, v);
  const int width = ListColumnWidth(hwnd, v);
  const int x = (index / per - v.top) * width;
  const int y = area.top + (index % per) * rowH;
  return RECT{x, y, x + width, y + rowH};
}

// The column's cell of an item's row (report), sub-item 0 included.
RECT CellOf(HWND hwnd, ListView& v, int index, int column)
{
  RECT row = BoundsOf(hwnd, v, index);
  for (auto [c, left] : ColumnLefts(v)) {
    if (c == column) {
      return RECT{row.left + left, row.top, row.left + left + v.columns[static_cast<std::size_t>(c)].width,
                  row.bottom};
    }
  }
  return RECT{row.left, row.top, row.left, row.bottom};
}

struct Parts {
  RECT state{};
  RECT icon{};
  RECT label{};  // as wide as the column in a report, as the text in a list
};

Parts PartsOf(HWND hwnd, ListView& v, int index)
{
  const Item& item = v.items[static_cast<std::size_t>(index)];
  RECT cell = Report(hwnd) && !v.columns.empty() ? CellOf(hwnd, v, index, 0) : BoundsOf(hwnd, v, index);
  Parts p;
  int x = cell.left + item.indent * std::max<int>(IconSize(v.smallImages).cx, 16);
  if (HasStateIcons(v)) {
    p.state = RECT{x, cell.top, x + kStateIconWidth, cell.bottom};
    x += kStateIconWidth;
  }
  const SIZE icon = IconSize(v.smallImages);
  p.icon = RECT{x, cell.top, x + (icon.cx > 0 ? icon.cx + 2 : 0), cell.bottom};
  x = p.icon.right;
  if (Report(hwnd)) {
    p.label = RECT{x, cell.top, std::max<int>(x, cell.right), cell.bottom};
  } else {
    const int text = TextWidth(hwnd, v, TextOf(hwnd, v, index, 0)) + 2 * kLabelMargin;
    p.label = RECT{x, cell.top, std::min<int>(x + text, cell.right), cell.bottom};
  }
  return p;
}

// ---- Scrolling and layout

void Layout(HWND hwnd, ListView& v)
{
  if (v.laying) {
    return;
  }
  v.laying = true;
  RECT client;
  GetClientRect(hwnd, &client);
  const bool report = Report(hwnd);
  const bool headerShown = report && (StyleOf(hwnd) & LVS_NOCOLUMNHEADER) == 0;
  if (v.header != nullptr) {
    if (headerShown) {
      RECT area = client;
      WINDOWPOS pos{};
      HDLAYOUT layout{&area, &pos};
      SendMessage(v.header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
      SetWindowPos(v.header, nullptr, pos.x - v.hscroll, pos.y, std::max<int>(pos.cx + v.hscroll, TotalWidth(v)),
                   pos.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
      ShowWindow(v.header, SW_HIDE);
    }
  }
  const bool noScroll = (StyleOf(hwnd) & LVS_NOSCROLL) != 0;
  SCROLLINFO vert;
  vert.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  SCROLLINFO horz = vert;
  if (report) {
    const int page = PerPage(hwnd, v);
    v.top = std::clamp(v.top, 0, std::max(0, Count(v) - page));
    vert.nMax = std::max(0, Count(v) - 1);
    vert.nPage = static_cast<UINT>(page);
    vert.nPos = v.top;
    const int total = TotalWidth(v);
    v.hscroll = std::clamp(v.hscroll, 0, std::max(0, total - static_cast<int>(client.Width())));
    horz.nMax = std::max(0, total - 1);
    horz.nPage = static_cast<UINT>(std::max<LONG>(1, client.Width()));
    horz.nPos = v.hscroll;
  } else {
    const int per = PerColumn(hwnd, v);
    const int columns = (Count(v) + per - 1) / per;
    const int width = ListColumnWidth(hwnd, v);
    const int shown = std::max(1, static_cast<int>(client.Width()) / width);
    v.top = std::clamp(v.top, 0, std::max(0, columns - shown));
    v.hscroll = 0;
    vert.nMax = 0;
    vert.nPage = 1;
    vert.nPos = 0;
    horz.nMax = std::max(0, columns - 1);
    horz.nPage = static_cast<UINT>(shown);
    horz.nPos = v.top;
  }
  if (!noScroll) {
    SetScrollInfo(hwnd, SB_VERT, &vert, TRUE);
    SetScrollInfo(hwnd, SB_HORZ, &horz, TRUE);
  }
  v.laying = false;
  InvalidateRect(hwnd, nullptr, TRUE);
}

void EnsureVisible(HWND hwnd, ListView& v, int index)
{
  if (!Valid(v, index)) {
    return;
  }
  if (Report(hwnd)) {
    const int page = PerPage(hwnd, v);
    if (index < v.top) {
      v.top = index;
    } else if (index >= v.top + page) {
      v.top = index - page + 1;
    }
  } else {
    RECT client;
    GetClientRect(hwnd, &client);
    const int column = index / PerColumn(hwnd, v);
    const int shown = std::max(1, static_cast<int>(client.Width()) / ListColumnWidth(hwnd, v));
    if (column < v.top) {
      v.top = column;
    } else if (column >= v.top + shown) {
      v.top = column - shown + 1;
    }
  }
  Layout(hwnd, v);
}

// ---- State changes

// Changes the masked state bits of one item; answers false when nothing changed or the parent refused.
bool SetState(HWND hwnd, ListView& v, int index, UINT state, UINT mask)
{
  Item& item = v.items[static_cast<std::size_t>(index)];
  const UINT old = item.state;
  const UINT next = (old & ~mask) | (state & mask);
  if (next == old) {
    return false;
  }
  if (NotifyItem(hwnd, v, LVN_ITEMCHANGING, index, next, old, LVIF_STATE) != 0 || !Valid(v, index)) {
    return false;
  }
  v.items[static_cast<std::size_t>(index)].state = next;
  // Only one item holds the focus; a single-selection list keeps one selected.
  if ((next & ~old & LVIS_FOCUSED) != 0) {
    for (int i = 0; i < Count(v); ++i) {
      if (i != index && (v.items[static_cast<std::size_t>(i)].state & LVIS_FOCUSED) != 0) {
        SetState(hwnd, v, i, 0, LVIS_FOCUSED);
      }
    }
  }
  if ((next & ~old & LVIS_SELECTED) != 0 && (StyleOf(hwnd) & LVS_SINGLESEL) != 0) {
    for (int i = 0; i < Count(v); ++i) {
      if (i != index && (v.items[static_cast<std::size_t>(i)].state & LVIS_SELECTED) != 0) {
        SetState(hwnd, v, i, 0, LVIS_SELECTED);
      }
    }
  }
  if (Valid(v, index)) {
    NotifyItem(hwnd, v, LVN_ITEMCHANGED, index, next, old, LVIF_STATE);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

int FocusedItem(const ListView& v)
{
  for (int i = 0; i < Count(v); ++i) {
    if ((v.items[static_cast<std::size_t>(i)].state & LVIS_FOCUSED) != 0) {
      return i;
    }
  }
  return -1;
}

// The user picks one item: every other loses its selection and the focus, then it gains both.
void SelectOnly(HWND hwnd, ListView& v, int index)
{
  for (int i = 0; i < Count(v); ++i) {
    if (i == index) {
      continue;
    }
    const UINT lose = (v.items[static_cast<std::size_t>(i)].state & (LVIS_SELECTED | LVIS_FOCUSED));
    if (lose != 0) {
      SetState(hwnd, v, i, 0, lose);
    }
  }
  if (Valid(v, index)) {
    SetState(hwnd, v, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    v.mark = index;
  }
}

void SelectRange(HWND hwnd, ListView& v, int from, int to)
{
  const int lo = std::min(from, to);
  const int hi = std::max(from, to);
  for (int i = 0; i < Count(v); ++i) {
    const bool in = i >= lo && i <= hi;
    SetState(hwnd, v, i, in ? LVIS_SELECTED : 0, LVIS_SELECTED);
  }
  SetState(hwnd, v, to, LVIS_FOCUSED, LVIS_FOCUSED);
}

void ToggleCheck(HWND hwnd, ListView& v, int index)
{
  const UINT image = (v.items[static_cast<std::size_t>(index)].state & LVIS_STATEIMAGEMASK) >> 12;
  SetState(hwnd, v, index, INDEXTOSTATEIMAGEMASK(image == 2 ? 1 : 2), LVIS_STATEIMAGEMASK);
}

// ---- Insertion, deletion, sorting

int Insert(HWND hwnd, ListView& v, const LVITEM& in)
{
  if (in.iSubItem != 0) {
    return -1;
  }
  Item item;
  SetText(item, 0, (in.mask & LVIF_TEXT) != 0 ? in.pszText : nullptr);
  if ((in.mask & LVIF_IMAGE) != 0) {
    item.image = in.iImage;
  }
  if ((in.mask & LVIF_PARAM) != 0) {
    item.param = in.lParam;
  }
  if ((in.mask & LVIF_INDENT) != 0) {
    item.indent = std::max(0, in.iIndent);
  }
  if ((v.exStyle & LVS_EX_CHECKBOXES) != 0) {
    item.state = INDEXTOSTATEIMAGEMASK(1);
  }
  UINT wanted = (in.mask & LVIF_STATE) != 0 ? in.state & in.stateMask : 0;
  if ((in.mask & LVIF_STATE) != 0 && (in.stateMask & LVIS_STATEIMAGEMASK) != 0) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | (in.state & LVIS_STATEIMAGEMASK);
  }
  item.state |= wanted & ~(LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK);
  int at = std::clamp(in.iItem, 0, Count(v));
  const DWORD style = StyleOf(hwnd);
  if ((style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) != 0 && item.textCallback[0] == 0) {
    const bool down = (style & LVS_SORTDESCENDING) != 0;
    at = 0;
    while (at < Count(v)) {
      const int c = CompareNoCase(item.texts[0], v.items[static_cast<std::size_t>(at)].texts.empty()
                                                     ? std::string()
                                                     : v.items[static_cast<std::size_t>(at)].texts[0]);
      if (down ? c > 0 : c < 0) {
        break;
      }
      ++at;
    }
  }
  v.items.insert(v.items.begin() + at, std::move(item));
  if (v.mark >= at) {
    ++v.mark;
  }
  NotifyItem(hwnd, v, LVN_INSERTITEM, at);
  // Selection and focus asked for at insertion go through the usual notifications.
  if (Valid(v, at) && (wanted & (LVIS_SELECTED | LVIS_FOCUSED)) != 0) {
    SetState(hwnd, v, at, wanted, LVIS_SELECTED | LVIS_FOCUSED);
  }
  Layout(hwnd, v);
  return at;
}

bool DeleteOne(HWND hwnd, ListView& v, int index)
{
  if (!Valid(v, index)) {
    return false;
  }
  NotifyItem(hwnd, v, LVN_DELETEITEM, index);
  if (!Valid(v, index)) {
    return false;
  }
  v.items.erase(v.items.begin() + index);
  if (v.mark == index) {
    v.mark = -1;
  } else if (v.mark > index) {
    --v.mark;
  }
  Layout(hwnd, v);
  return true;
}

void DeleteAll(HWND hwnd, ListView& v)
{
  if (v.items.empty()) {
    return;
  }
  // A parent that answers TRUE does not want a notification per item.
  const bool each = NotifyItem(hwnd, v, LVN_DELETEALLITEMS, -1) == 0;
  if (each) {
    for (int i = 0; i < Count(v); ++i) {
      NotifyItem(hwnd, v, LVN_DELETEITEM, i);
    }
  }
  v.items.clear();
  v.mark = -1;
  v.top = 0;
  Layout(hwnd, v);
}

// Orders the items by the caller's comparison of (data, data) or, for LVM_SORTITEMSEX, (index, index) with the
// indexes they had before the sort.
bool Sort(HWND hwnd, ListView& v, PFNLVCOMPARE compare, LPARAM sortParam, bool byIndex)
{
  if (compare == nullptr) {
    return false;
  }
  std::vector<int> order(v.items.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const LPARAM x = byIndex ? a : v.items[static_cast<std::size_t>(a)].param;
    const LPARAM y = byIndex ? b : v.items[static_cast<std::size_t>(b)].param;
    return compare(x, y, sortParam) < 0;
  });
  std::vector<Item> sorted;
  sorted.reserve(v.items.size());
  int mark = -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    sorted.push_back(std::move(v.items[static_cast<std::size_t>(order[i])]));
    if (order[i] == v.mark) {
      mark = static_cast<int>(i);
    }
  }
  v.items = std::move(sorted);
  v.mark = mark;
  InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

// ---- Hit testing

int HitTest(HWND hwnd, ListView& v, POINT pt, UINT* flags, int* subItem)
{
  *flags = LVHT_NOWHERE;
  if (subItem != nullptr) {
    *subItem = 0;
  }
  RECT area = ItemArea(hwnd, v);
  if (pt.y < area.top) {
    *flags = LVHT_ABOVE;
    return -1;
  }
  if (pt.y >= area.bottom) {
    *flags = LVHT_BELOW;
    return -1;
  }
  if (pt.x < 0) {
    *flags = LVHT_TOLEFT;
    return -1;
  }
  if (pt.x >= area.right) {
    *flags = LVHT_TORIGHT;
    return -1;
  }
  const int rowH = RowHeight(hwnd, v);
  int index = -1;
  if (Report(hwnd)) {
    index = v.top + (pt.y - area.top) / rowH;
  } else {
    const int width = ListColumnWidth(hwnd, v);
    const int row = (pt.y - area.top) / rowH;
    if (row < PerColumn(hwnd, v)) {
      index = (v.top + pt.x / width) * PerColumn(hwnd, v) + row;
    }
  }
  if (!Valid(v, index)) {
    return -1;
  }
  const Parts p = PartsOf(hwnd, v, index);
  if (Report(hwnd)) {
    int column = -1;
    for (auto [c, left] : ColumnLefts(v)) {
      const int x = left - v.hscroll;
      if (pt.x >= x && pt.x < x + v.columns[static_cast<std::size_t>(c)].width) {
        column = c;
      }
    }
    if (subItem != nullptr) {
      *subItem = column >= 0 ? v.columns[static_cast<std::size_t>(column)].subItem : -1;
    }
    if (column != 0 && column >= 0 && subItem == nullptr && (v.exStyle & LVS_EX_FULLROWSELECT) == 0) {
      return -1;  // beside the item: its other cells only count with full-row selection
    }
    if (column != 0) {
      *flags = column < 0 ? LVHT_NOWHERE : LVHT_ONITEMLABEL;
      return column < 0 && subItem == nullptr ? -1 : index;
    }
  }
  if (p.state.Contains(pt)) {
    *flags = LVHT_ONITEMSTATEICON;
  } else if (p.icon.Contains(pt)) {
    *flags = LVHT_ONITEMICON;
  } else if (p.label.Contains(pt)) {
    *flags = LVHT_ONITEMLABEL;
  } else {
    *flags = LVHT_NOWHERE;
    return -1;
  }
  return index;
}

// ---- Painting

void PaintItem(HWND hwnd, ListView& v, HDC dc, int index, const RECT& clip)
{
  Item& item = v.items[static_cast<std::size_t>(index)];
  const Parts p = PartsOf(hwnd, v, index);
  RECT bounds = BoundsOf(hwnd, v, index);
  if (bounds.Intersect(clip).IsEmpty()) {
    return;
  }
  const bool selected = (item.state & LVIS_SELECTED) != 0;
  const bool shown = selected && (v.focused || (StyleOf(hwnd) & LVS_SHOWSELALWAYS) != 0);
  const bool fullRow = Report(hwnd) && (v.exStyle & LVS_EX_FULLROWSELECT) != 0;
  const int highlight = v.focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE;
  const COLORREF selectedText = v.focused ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_BTNTEXT);
  const COLORREF plainText = v.textColor != CLR_INVALID ? v.textColor : GetSysColor(COLOR_WINDOWTEXT);

  if (HasStateIcons(v)) {
    const UINT stateImage = (item.state & LVIS_STATEIMAGEMASK) >> 12;
    if (v.stateImages != nullptr && stateImage > 0) {
      const SIZE s = IconSize(v.stateImages);
      ImageList_Draw(v.stateImages, static_cast<int>(stateImage) - 1, dc, p.state.left,
                     (p.state.top + p.state.bottom - s.cy) / 2, ILD_NORMAL);
    } else if (v.stateImages == nullptr && stateImage > 0) {
      const int mid = (p.state.top + p.state.bottom) / 2;
      RECT box{p.state.left + 2, mid - 6, p.state.left + 15, mid + 7};
      DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (stateImage == 2 ? DFCS_CHECKED : 0));
    }
  }
  if (v.smallImages != nullptr) {
    const SIZE s = IconSize(v.smallImages);
    ImageList_Draw(v.smallImages, ImageOf(hwnd, v, index), dc, p.icon.left + 1, (p.icon.top + p.icon.bottom - s.cy) / 2,
                   shown && v.focused ? ILD_SELECTED : ILD_NORMAL);
  }
  std::string text = TextOf(hwnd, v, index, 0);
  RECT label = p.label;
  if (Report(hwnd)) {
    label.right = std::min<LONG>(label.right, label.left + TextWidth(hwnd, v, text) + 2 * kLabelMargin);
  }
  RECT highlightRect = label;
  if (fullRow) {
    highlightRect = RECT{p.label.left, bounds.top, bounds.right, bounds.bottom};
  }
  if (shown) {
    FillRect(dc, &highlightRect, GetSysColorBrush(highlight));
  } else if (v.textBackground != CLR_INVALID && v.textBackground != CLR_NONE) {
    HBRUSH brush = CreateSolidBrush(v.textBackground);
    FillRect(dc, &label, brush);
    DeleteObject(brush);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, shown ? selectedText : plainText);
  RECT textRect = p.label.Inflate(-kLabelMargin, 0);
  DrawText(dc, text.c_str(), -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);

  if (Report(hwnd)) {
    for (auto [c, left] : ColumnLefts(v)) {
      const Column& column = v.columns[static_cast<std::size_t>(c)];
      if (c == 0 || column.width <= 0) {
        continue;
      }
      RECT cell = CellOf(hwnd, v, index, c);
      SetTextColor(dc, shown && fullRow ? selectedText : plainText);
      std::string sub = TextOf(hwnd, v, index, column.subItem);
      RECT r = cell.Inflate(-kSubItemMargin, 0);
      UINT align = DT_LEFT;
      if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) {
        align = DT_RIGHT;
      } else if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) {
        align = DT_CENTER;
      }
      DrawText(dc, sub.c_str(), -1, &r, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      (void)left;
    }
  }
  if (v.focused && (item.state & LVIS_FOCUSED) != 0) {
    DrawFocusRect(dc, &highlightRect);
  }
}

void Paint(HWND hwnd, ListView& v, HDC dc, const RECT& clip)
{
  RECT area = ItemArea(hwnd, v);
  const COLORREF back = v.background != CLR_INVALID ? v.background : GetSysColor(COLOR_WINDOW);
  if (back != CLR_NONE) {
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
  }
  HGDIOBJ oldFont = SelectObject(dc, v.font != nullptr ? v.font : DefaultControlFont());
  const int save = SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  const int rowH = RowHeight(hwnd, v);
  const int first = Report(hwnd) ? v.top : v.top * PerColumn(hwnd, v);
  for (int i = std::max(0, first); i < Count(v); ++i) {
    RECT b = BoundsOf(hwnd, v, i);
    if (Report(hwnd) ? b.top >= area.bottom : b.left >= area.right) {
      break;
    }
    PaintItem(hwnd, v, dc, i, clip);
  }
  if (Report(hwnd) && (v.exStyle & LVS_EX_GRIDLINES) != 0) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DLIGHT));
    HGDIOBJ old = SelectObject(dc, pen);
    for (int y = area.top + rowH - 1; y < area.bottom; y += rowH) {
      MoveToEx(dc, area.left, y, nullptr);
      LineTo(dc, area.right, y);
    }
    for (auto [c, left] : ColumnLefts(v)) {
      const int x = left + v.columns[static_cast<std::size_t>(c)].width - v.hscroll - 1;
      MoveToEx(dc, x, area.top, nullptr);
      LineTo(dc, x, area.bottom);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  RestoreDC(dc, save);
  SelectObject(dc, oldFont);
}

// ---- Columns

void HeaderItemOf(const LVCOLUMN& in, HDITEM& out)
{
  out.mask = 0;
  if ((in.mask & LVCF_WIDTH) != 0) {
    out.mask |= HDI_WIDTH;
    out.cxy = in.cx;
  }
  if ((in.mask & LVCF_TEXT) != 0) {
    out.mask |= HDI_TEXT;
    out.pszText = in.pszText;
  }
  if ((in.mask & LVCF_FMT) != 0) {
    out.mask |= HDI_FORMAT;
    out.fmt = (in.fmt & LVCFMT_JUSTIFYMASK) | HDF_STRING;
  }
  if ((in.mask & LVCF_ORDER) != 0) {
    out.mask |= HDI_ORDER;
    out.iOrder = in.iOrder;
  }
}

int AutoWidth(HWND hwnd, ListView& v, int column, bool useHeader)
{
  const Column& c = v.columns[static_cast<std::size_t>(column)];
  int width = 0;
  for (int i = 0; i < Count(v); ++i) {
    int w = TextWidth(hwnd, v, TextOf(hwnd, v, i, c.subItem)) + 2 * kSubItemMargin;
    if (column == 0) {
      w = LeadWidth(v, v.items[static_cast<std::size_t>(i)]) + TextWidth(hwnd, v, TextOf(hwnd, v, i, 0)) +
          2 * kLabelMargin + 4;
    }
    width = std::max(width, w);
  }
  if (useHeader && v.header != nullptr) {
    char text[260] = {};
    HDITEM h;
    h.mask = HDI_TEXT;
    h.pszText = text;
    h.cchTextMax = sizeof text;
    SendMessage(v.header, HDM_GETITEM, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&h));
    width = std::max(width, TextWidth(hwnd, v, text) + 2 * 6 + 4);
    // The last column takes what is left of the window.
    if (column + 1 == static_cast<int>(v.columns.size())) {
      RECT client;
      GetClientRect(hwnd, &client);
      width = std::max(width, static_cast<int>(client.Width()) - (TotalWidth(v) - c.width));
    }
  }
  return width;
}

bool SetColumnWidth(HWND hwnd, ListView& v, int column, int width)
{
  if (!Report(hwnd)) {
    return column == 0;  // list columns are all as wide as the widest item
  }
  if (column < 0 || column >= static_cast<int>(v.columns.size())) {
    return false;
  }
  if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
    width = AutoWidth(hwnd, v, column, width == LVSCW_AUTOSIZE_USEHEADER);
  }
  HDITEM h;
  h.mask = HDI_WIDTH;
  h.cxy = std::max(0, width);
  SendMessage(v.header, HDM_SETITEM, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&h));
  return true;
}

// ---- Keyboard

int KeyTarget(HWND hwnd, ListView& v, UINT key, int from)
{
  const int last = Count(v) - 1;
  const int page = Report(hwnd) ? PerPage(hwnd, v) : PerColumn(hwnd, v);
  if (from < 0) {
    return 0;
  }
  switch (key) {
    case VK_UP: return std::max(0, from - 1);
    case VK_DOWN: return std::min(last, from + 1);
    case VK_HOME: return 0;
    case VK_END: return last;
    case VK_PRIOR: return std::max(0, from - std::max(1, page - 1));
    case VK_NEXT: return std::min(last, from + std::max(1, page - 1));
    case VK_LEFT: return Report(hwnd) ? -1 : std::max(from % page, from - page);
    case VK_RIGHT: return Report(hwnd) ? -1 : (from + page <= last ? from + page : from);
    default: return -1;
  }
}

void KeyDown(HWND hwnd, ListView& v, UINT key)
{
  NMLVKEYDOWN kd{};
  kd.wVKey = static_cast<WORD>(key);
  Send(hwnd, kd.hdr, LVN_KEYDOWN);
  if (v.items.empty()) {
    return;
  }
  const int focus = FocusedItem(v);
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool single = (StyleOf(hwnd) & LVS_SINGLESEL) != 0;
  if (key == VK_SPACE) {
    if (focus < 0) {
      return;
    }
    if ((v.exStyle & LVS_EX_CHECKBOXES) != 0 && !ctrl) {
      ToggleCheck(hwnd, v, focus);
    } else if (ctrl && !single) {
      const bool selected = (v.items[static_cast<std::size_t>(focus)].state & LVIS_SELECTED) != 0;
      SetState(hwnd, v, focus, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
      v.mark = focus;
    } else {
      SelectOnly(hwnd, v, focus);
    }
    return;
  }
  if (key == VK_RETURN) {
    NMHDR hdr{};
    Send(hwnd, hdr, NM_RETURN);
    if (focus >= 0 && (v.items[static_cast<std::size_t>(focus)].state & LVIS_SELECTED) != 0) {
      NotifyActivate(hwnd, v, LVN_ITEMACTIVATE, focus, 0, POINT{});
    }
    return;
  }
  if (Report(hwnd) && (key == VK_LEFT || key == VK_RIGHT)) {
    v.hscroll += key == VK_LEFT ? -16 : 16;
    Layout(hwnd, v);
    return;
  }
  const int target = KeyTarget(hwnd, v, key, focus);
  if (target < 0) {
    return;
  }
  if (shift && !single) {
    SelectRange(hwnd, v, v.mark >= 0 ? v.mark : (focus >= 0 ? focus : target), target);
  } else if (ctrl && !single) {
    SetState(hwnd, v, target, LVIS_FOCUSED, LVIS_FOCUSED);
  } else {
    SelectOnly(hwnd, v, target);
  }
  EnsureVisible(hwnd, v, target);
}

// ---- Mouse

void ButtonDown(HWND hwnd, ListView& v, POINT pt, bool right, bool dbl)
{
  SetFocus(hwnd);
  UINT flags = 0;
  const int index = HitTest(hwnd, v, pt, &flags, nullptr);
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool single = (StyleOf(hwnd) & LVS_SINGLESEL) != 0;
  if (index < 0) {
    if (!ctrl && !shift) {
      SelectOnly(hwnd, v, -1);
    }
  } else if ((flags & LVHT_ONITEMSTATEICON) != 0 && (v.exStyle & LVS_EX_CHECKBOXES) != 0 && !right) {
    ToggleCheck(hwnd, v, index);
  } else if (right) {
    if ((v.items[static_cast<std::size_t>(index)].state & LVIS_SELECTED) == 0) {
      SelectOnly(hwnd, v, index);
    } else {
      SetState(hwnd, v, index, LVIS_FOCUSED, LVIS_FOCUSED);
    }
  } else if (shift && !single) {
    SelectRange(hwnd, v, v.mark >= 0 ? v.mark : index, index);
  } else if (ctrl && !single) {
    const bool selected = (v.items[static_cast<std::size_t>(index)].state & LVIS_SELECTED) != 0;
    SetState(hwnd, v, index, (selected ? 0 : LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    v.mark = index;
  } else {
    SelectOnly(hwnd, v, index);
  }
  if (dbl) {
    NotifyActivate(hwnd, v, right ? NM_RDBLCLK : NM_DBLCLK, index, 0, pt);
    if (!right && index >= 0) {
      NotifyActivate(hwnd, v, LVN_ITEMACTIVATE, index, 0, pt);
    }
    return;
  }
  v.pressing = true;
  v.pressedItem = index;
  v.pressedRight = right;
  v.pressedAt = pt;
  SetCapture(hwnd);
}

void ButtonUp(HWND hwnd, ListView& v, POINT pt, bool right)
{
  if (!v.pressing || v.pressedRight != right) {
    return;
  }
  v.pressing = false;
  const int index = v.pressedItem;
  if (GetCapture() == hwnd) {
    ReleaseCapture();
  }
  if (right) {
    if (NotifyActivate(hwnd, v, NM_RCLICK, index, 0, pt) == 0) {
      POINT screen = pt;
      ClientToScreen(hwnd, &screen);
      SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(screen.x, screen.y));
    }
    return;
  }
  NotifyActivate(hwnd, v, NM_CLICK, index, 0, pt);
  if (index >= 0 && (v.exStyle & LVS_EX_ONECLICKACTIVATE) != 0) {
    NotifyActivate(hwnd, v, LVN_ITEMACTIVATE, index, 0, pt);
  }
}

void MouseMove(HWND hwnd, ListView& v, POINT pt)
{
  if (!v.pressing || v.pressedItem < 0) {
    return;
  }
  if (std::abs(pt.x - v.pressedAt.x) <= GetSystemMetrics(SM_CXDRAG) &&
      std::abs(pt.y - v.pressedAt.y) <= GetSystemMetrics(SM_CYDRAG)) {
    return;
  }
  // Far enough: a drag, which the parent runs; no click follows.
  v.pressing = false;
  if (GetCapture() == hwnd) {
    ReleaseCapture();
  }
  NMLISTVIEW nm{};
  nm.iItem = v.pressedItem;
  nm.ptAction = v.pressedAt;
  nm.lParam = Valid(v, v.pressedItem) ? v.items[static_cast<std::size_t>(v.pressedItem)].param : 0;
  Send(hwnd, nm.hdr, v.pressedRight ? LVN_BEGINRDRAG : LVN_BEGINDRAG);
}

void Scroll(HWND hwnd, ListView& v, int bar, WORD code, int thumb)
{
  const bool byItems = bar == SB_VERT || !Report(hwnd);
  int& pos = byItems ? v.top : v.hscroll;
  RECT client;
  GetClientRect(hwnd, &client);
  const int line = byItems ? 1 : 16;
  const int page = bar == SB_VERT ? PerPage(hwnd, v) : byItems ? 1 : static_cast<int>(client.Width());
  switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = thumb; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = Count(v) + TotalWidth(v); break;
    default: return;
  }
  Layout(hwnd, v);
}

// ---- The window procedure

LRESULT ListViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<ListView>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  ListView* v = ControlState<ListView>(hwnd);
  if (v == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  switch (msg) {
    case WM_CREATE: {
      const DWORD style = StyleOf(hwnd);
      DWORD headerStyle = WS_CHILD | HDS_HORZ | HDS_FULLDRAG;
      if ((style & LVS_NOSORTHEADER) == 0) {
        headerStyle |= HDS_BUTTONS;
      }
      if ((style & LVS_NOCOLUMNHEADER) != 0) {
        headerStyle |= HDS_HIDDEN;
      }
      v->header = CreateWindowEx(0, WC_HEADER, "", headerStyle, 0, 0, 0, 0, hwnd, nullptr, nullptr, nullptr);
      Layout(hwnd, *v);
      return 0;
    }
    case WM_STYLECHANGED:
    case WM_SIZE: Layout(hwnd, *v); return 0;

    case LVM_GETBKCOLOR: return v->background != CLR_INVALID ? v->background : GetSysColor(COLOR_WINDOW);
    case LVM_SETBKCOLOR: v->background = static_cast<COLORREF>(lParam); InvalidateRect(hwnd, nullptr, TRUE); return TRUE;
    case LVM_GETTEXTCOLOR: return v->textColor != CLR_INVALID ? v->textColor : GetSysColor(COLOR_WINDOWTEXT);
    case LVM_SETTEXTCOLOR: v->textColor = static_cast<COLORREF>(lParam); InvalidateRect(hwnd, nullptr, TRUE); return TRUE;
    case LVM_GETTEXTBKCOLOR: return v->textBackground != CLR_INVALID ? v->textBackground : GetSysColor(COLOR_WINDOW);
    case LVM_SETTEXTBKCOLOR:
      v->textBackground = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case LVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(wParam == LVSIL_NORMAL ? v->normalImages
                                       : wParam == LVSIL_SMALL ? v->smallImages
                                       : wParam == LVSIL_STATE ? v->stateImages
                                                               : nullptr);
    case LVM_SETIMAGELIST: {
      HIMAGELIST* slot = wParam == LVSIL_NORMAL ? &v->normalImages
                         : wParam == LVSIL_SMALL ? &v->smallImages
                         : wParam == LVSIL_STATE ? &v->stateImages
                                                 : nullptr;
      if (slot == nullptr) {
        return 0;
      }
      HIMAGELIST old = *slot;
      *slot = reinterpret_cast<HIMAGELIST>(lParam);
      Layout(hwnd, *v);
      return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETITEMCOUNT: return Count(*v);
    case LVM_SETITEMCOUNT: v->items.reserve(static_cast<std::size_t>(wParam)); return TRUE;
    case LVM_INSERTITEM: {
      auto* in = reinterpret_cast<const LVITEM*>(lParam);
      return in != nullptr ? Insert(hwnd, *v, *in) : -1;
    }
    case LVM_DELETEITEM: return DeleteOne(hwnd, *v, static_cast<int>(wParam)) ? TRUE : FALSE;
    case LVM_DELETEALLITEMS: DeleteAll(hwnd, *v); return TRUE;
    case LVM_GETITEM: {
      auto* out = reinterpret_cast<LVITEM*>(lParam);
      if (out == nullptr || !Valid(*v, out->iItem) || out->iSubItem < 0) {
        return FALSE;
      }
      const Item& item = v->items[static_cast<std::size_t>(out->iItem)];
      if ((out->mask & LVIF_TEXT) != 0) {
        CopyText(TextOf(hwnd, *v, out->iItem, out->iSubItem), out->pszText, out->cchTextMax);
      }
      if ((out->mask & LVIF_IMAGE) != 0) {
        out->iImage = out->iSubItem == 0 ? item.image : 0;
      }
      if ((out->mask & LVIF_PARAM) != 0) {
        out->lParam = item.param;
      }
      if ((out->mask & LVIF_STATE) != 0) {
        out->state = item.state & out->stateMask;
      }
      if ((out->mask & LVIF_INDENT) != 0) {
        out->iIndent = item.indent;
      }
      return TRUE;
    }
    case LVM_SETITEM: {
      auto* in = reinterpret_cast<const LVITEM*>(lParam);
      if (in == nullptr || !Valid(*v, in->iItem) || in->iSubItem < 0) {
        return FALSE;
      }
      Item& item = v->items[static_cast<std::size_t>(in->iItem)];
      if ((in->mask & LVIF_TEXT) != 0) {
        SetText(item, in->iSubItem, in->pszText);
      }
      if (in->iSubItem == 0) {
        if ((in->mask & LVIF_IMAGE) != 0) {
          item.image = in->iImage;
        }
        if ((in->mask & LVIF_PARAM) != 0) {
          item.param = in->lParam;
        }
        if ((in->mask & LVIF_INDENT) != 0) {
          item.indent = std::max(0, in->iIndent);
        }
        if ((in->mask & LVIF_STATE) != 0) {
          SetState(hwnd, *v, in->iItem, in->state, in->stateMask);
        }
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case LVM_SETITEMTEXT: {
      auto* in = reinterpret_cast<const LVITEM*>(lParam);
      if (in == nullptr || !Valid(*v, static_cast<int>(wParam)) || in->iSubItem < 0) {
        return FALSE;
      }
      SetText(v->items[wParam], in->iSubItem, in->pszText);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case LVM_GETITEMTEXT: {
      auto* out = reinterpret_cast<LVITEM*>(lParam);
      if (out == nullptr || !Valid(*v, static_cast<int>(wParam)) || out->iSubItem < 0) {
        return 0;
      }
      const std::string text = TextOf(hwnd, *v, static_cast<int>(wParam), out->iSubItem);
      CopyText(text, out->pszText, out->cchTextMax);
      return out->cchTextMax > 0 ? std::min<LRESULT>(static_cast<LRESULT>(text.size()), out->cchTextMax - 1) : 0;
    }
    case LVM_SETITEMSTATE: {
      auto* in = reinterpret_cast<const LVITEM*>(lParam);
      if (in == nullptr) {
        return FALSE;
      }
      const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
      if (index == -1) {
        for (int i = 0; i < Count(*v); ++i) {
          SetState(hwnd, *v, i, in->state, in->stateMask);
        }
        return TRUE;
      }
      if (!Valid(*v, index)) {
        return FALSE;
      }
      SetState(hwnd, *v, index, in->state, in->stateMask);
      return TRUE;
    }
    case LVM_GETITEMSTATE: {
      const int index = static_cast<int>(wParam);
      return Valid(*v, index) ? static_cast<LRESULT>(v->items[wParam].state & static_cast<UINT>(lParam)) : 0;
    }
    case LVM_GETNEXTITEM: {
      const int start = static_cast<int>(static_cast<INT_PTR>(wParam));
      const UINT flags = static_cast<UINT>(lParam);
      const UINT want = flags & (LVNI_FOCUSED | LVNI_SELECTED | LVNI_CUT | LVNI_DROPHILITED);
      auto matches = [&](int i) { return (v->items[static_cast<std::size_t>(i)].state & want) == want; };
      if ((flags & LVNI_ABOVE) != 0 || (flags & LVNI_TOLEFT) != 0) {
        const int step = (flags & LVNI_ABOVE) != 0 || Report(hwnd) ? 1 : PerColumn(hwnd, *v);
        for (int i = start - step; i >= 0; i -= step) {
          if (matches(i)) {
            return i;
          }
        }
        return -1;
      }
      const int step = (flags & LVNI_TORIGHT) != 0 && !Report(hwnd) ? PerColumn(hwnd, *v) : 1;
      for (int i = start < 0 ? 0 : start + step; i < Count(*v); i += step) {
        if (matches(i)) {
          return i;
        }
      }
      return -1;
    }
    case LVM_GETSELECTEDCOUNT:
      return std::count_if(v->items.begin(), v->items.end(),
                           [](const Item& i) { return (i.state & LVIS_SELECTED) != 0; });
    case LVM_GETSELECTIONMARK: return v->mark;
    case LVM_SETSELECTIONMARK: {
      const int old = v->mark;
      v->mark = Valid(*v, static_cast<int>(lParam)) ? static_cast<int>(lParam) : -1;
      return old;
    }
    case LVM_FINDITEM: {
      auto* find = reinterpret_cast<const LVFINDINFO*>(lParam);
      if (find == nullptr || Count(*v) == 0) {
        return -1;
      }
      const int start = static_cast<int>(static_cast<INT_PTR>(wParam));
      const int n = Count(*v);
      const int first = start < 0 ? 0 : start + 1;
      const int steps = (find->flags & LVFI_WRAP) != 0 ? n : n - first;
      for (int k = 0; k < steps; ++k) {
        const int i = (first + k) % n;
        if ((find->flags & LVFI_PARAM) != 0) {
          if (v->items[static_cast<std::size_t>(i)].param == find->lParam) {
            return i;
          }
          continue;
        }
        if ((find->flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && find->psz != nullptr) {
          const std::string text = TextOf(hwnd, *v, i, 0);
          const std::string wanted(find->psz);
          const std::string head = (find->flags & LVFI_PARTIAL) != 0 ? text.substr(0, wanted.size()) : text;
          if (CompareNoCase(head, wanted) == 0) {
            return i;
          }
        }
      }
      return -1;
    }
    case LVM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      const int index = static_cast<int>(wParam);
      if (r == nullptr || !Valid(*v, index)) {
        return FALSE;
      }
      const Parts p = PartsOf(hwnd, *v, index);
      switch (r->left) {
        case LVIR_BOUNDS: *r = BoundsOf(hwnd, *v, index); break;
        case LVIR_ICON: *r = p.icon; break;
        case LVIR_LABEL: *r = p.label; break;
        case LVIR_SELECTBOUNDS:
          *r = Report(hwnd) && (v->exStyle & LVS_EX_FULLROWSELECT) != 0
                   ? BoundsOf(hwnd, *v, index)
                   : RECT{HasStateIcons(*v) ? p.state.left : p.icon.left, p.label.top, p.label.right, p.label.bottom};
          break;
        default: return FALSE;
      }
      return TRUE;
    }
    case LVM_GETSUBITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      const int index = static_cast<int>(wParam);
      if (r == nullptr || !Valid(*v, index) || !Report(hwnd) || r->top < 0 ||
          r->top >= static_cast<int>(v->columns.size())) {
        return FALSE;
      }
      const int column = r->top;
      const int part = r->left;
      if (column == 0) {
        const Parts p = PartsOf(hwnd, *v, index);
        *r = part == LVIR_ICON ? p.icon : part == LVIR_LABEL ? p.label : BoundsOf(hwnd, *v, index);
      } else {
        *r = CellOf(hwnd, *v, index, column);
      }
      return TRUE;
    }
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST: {
      auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
      if (info == nullptr) {
        return -1;
      }
      int sub = 0;
      info->iItem = HitTest(hwnd, *v, info->pt, &info->flags, msg == LVM_SUBITEMHITTEST ? &sub : nullptr);
      if (msg == LVM_SUBITEMHITTEST) {
        info->iSubItem = sub;
      }
      return info->iItem;
    }
    case LVM_ENSUREVISIBLE: EnsureVisible(hwnd, *v, static_cast<int>(wParam)); return Valid(*v, static_cast<int>(wParam));
    case LVM_SCROLL: {
      if (Report(hwnd)) {
        const int rowH = RowHeight(hwnd, *v);
        v->hscroll += static_cast<int>(wParam);
        const int dy = static_cast<int>(lParam);
        v->top += dy / rowH + (dy % rowH != 0 ? (dy > 0 ? 1 : -1) : 0);
      } else {
        const int width = ListColumnWidth(hwnd, *v);
        const int dx = static_cast<int>(wParam);
        v->top += dx / width + (dx % width != 0 ? (dx > 0 ? 1 : -1) : 0);
      }
      Layout(hwnd, *v);
      return TRUE;
    }
    case LVM_GETTOPINDEX: return Report(hwnd) ? v->top : v->top * PerColumn(hwnd, *v);
    case LVM_GETCOUNTPERPAGE: {
      if (Report(hwnd)) {
        return PerPage(hwnd, *v);
      }
      RECT client;
      GetClientRect(hwnd, &client);
      return PerColumn(hwnd, *v) * std::max(1, static_cast<int>(client.Width()) / ListColumnWidth(hwnd, *v));
    }
    case LVM_GETORIGIN:
      if (lParam != 0) {
        *reinterpret_cast<POINT*>(lParam) = POINT{Report(hwnd) ? v->hscroll : 0, 0};
      }
      return !Report(hwnd) ? FALSE : TRUE;
    case LVM_GETVIEWRECT: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (r == nullptr) {
        return FALSE;
      }
      *r = RECT{0, 0, Report(hwnd) ? TotalWidth(*v) : ListColumnWidth(hwnd, *v),
                Count(*v) * RowHeight(hwnd, *v)};
      return TRUE;
    }
    case LVM_GETSTRINGWIDTH:
      return lParam != 0 ? TextWidth(hwnd, *v, reinterpret_cast<LPCSTR>(lParam)) : 0;
    case LVM_REDRAWITEMS:
    case LVM_UPDATE:
    case LVM_ARRANGE: InvalidateRect(hwnd, nullptr, TRUE); return TRUE;
    case LVM_SORTITEMS:
    case LVM_SORTITEMSEX:
      return Sort(hwnd, *v, reinterpret_cast<PFNLVCOMPARE>(lParam), static_cast<LPARAM>(wParam), msg == LVM_SORTITEMSEX)
                 ? TRUE
                 : FALSE;
    case LVM_GETEDITCONTROL: return 0;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      const DWORD old = v->exStyle;
      const DWORD mask = wParam != 0 ? static_cast<DWORD>(wParam) : ~0u;
      v->exStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
      // Check boxes shown for the first time start unchecked.
      if ((v->exStyle & ~old & LVS_EX_CHECKBOXES) != 0) {
        for (Item& item : v->items) {
          if ((item.state & LVIS_STATEIMAGEMASK) == 0) {
            item.state |= INDEXTOSTATEIMAGEMASK(1);
          }
        }
      }
      Layout(hwnd, *v);
      return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return v->exStyle;
    case LVM_GETHEADER: return reinterpret_cast<LRESULT>(v->header);
    case LVM_INSERTCOLUMN: {
      auto* in = reinterpret_cast<const LVCOLUMN*>(lParam);
      if (in == nullptr || v->header == nullptr) {
        return -1;
      }
      const int at = std::clamp(static_cast<int>(wParam), 0, static_cast<int>(v->columns.size()));
      Column c;
      c.fmt = (in->mask & LVCF_FMT) != 0 ? in->fmt : LVCFMT_LEFT;
      c.width = (in->mask & LVCF_WIDTH) != 0 ? std::max(0, in->cx) : 0;
      c.subItem = (in->mask & LVCF_SUBITEM) != 0 ? in->iSubItem : at;
      // The first column is always left-aligned.
      if (at == 0) {
        c.fmt &= ~LVCFMT_JUSTIFYMASK;
      }
      v->columns.insert(v->columns.begin() + at, c);
      HDITEM h;
      HeaderItemOf(*in, h);
      h.mask |= HDI_WIDTH | HDI_FORMAT;
      h.cxy = c.width;
      h.fmt = (c.fmt & LVCFMT_JUSTIFYMASK) | HDF_STRING;
      SendMessage(v->header, HDM_INSERTITEM, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&h));
      Layout(hwnd, *v);
      return at;
    }
    case LVM_DELETECOLUMN: {
      const int index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(v->columns.size())) {
        return FALSE;
      }
      v->columns.erase(v->columns.begin() + index);
      SendMessage(v->header, HDM_DELETEITEM, wParam, 0);
      Layout(hwnd, *v);
      return TRUE;
    }
    case LVM_GETCOLUMN: {
      auto* out = reinterpret_cast<LVCOLUMN*>(lParam);
      const int index = static_cast<int>(wParam);
      if (out == nullptr || index < 0 || index >= static_cast<int>(v->columns.size())) {
        return FALSE;
      }
      const Column& c = v->columns[wParam];
      if ((out->mask & LVCF_FMT) != 0) {
        out->fmt = c.fmt;
      }
      if ((out->mask & LVCF_WIDTH) != 0) {
        out->cx = c.width;
      }
      if ((out->mask & LVCF_SUBITEM) != 0) {
        out->iSubItem = c.subItem;
      }
      if ((out->mask & (LVCF_TEXT | LVCF_ORDER)) != 0) {
        HDITEM h;
        h.mask = ((out->mask & LVCF_TEXT) != 0 ? HDI_TEXT : 0) | ((out->mask & LVCF_ORDER) != 0 ? HDI_ORDER : 0);
        h.pszText = out->pszText;
        h.cchTextMax = out->cchTextMax;
        SendMessage(v->header, HDM_GETITEM, wParam, reinterpret_cast<LPARAM>(&h));
        out->iOrder = h.iOrder;
      }
      return TRUE;
    }
    case LVM_SETCOLUMN: {
      auto* in = reinterpret_cast<const LVCOLUMN*>(lParam);
      const int index = static_cast<int>(wParam);
      if (in == nullptr || index < 0 || index >= static_cast<int>(v->columns.size())) {
        return FALSE;
      }
      Column& c = v->columns[wParam];
      if ((in->mask & LVCF_FMT) != 0) {
        c.fmt = index == 0 ? in->fmt & ~LVCFMT_JUSTIFYMASK : in->fmt;
      }
      if ((in->mask & LVCF_SUBITEM) != 0) {
        c.subItem = in->iSubItem;
      }
      HDITEM h;
      HeaderItemOf(*in, h);
      if (h.mask != 0) {
        SendMessage(v->header, HDM_SETITEM, wParam, reinterpret_cast<LPARAM>(&h));
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case LVM_GETCOLUMNWIDTH: {
      if (!Report(hwnd)) {
        return ListColumnWidth(hwnd, *v);
      }
      const int index = static_cast<int>(wParam);
      return index >= 0 && index < static_cast<int>(v->columns.size()) ? v->columns[wParam].width : 0;
    }
    case LVM_SETCOLUMNWIDTH:
      return SetColumnWidth(hwnd, *v, static_cast<int>(wParam), static_cast<SHORT>(LOWORD(lParam))) ? TRUE : FALSE;
    case LVM_SETCOLUMNORDERARRAY:
    case LVM_GETCOLUMNORDERARRAY: {
      const LRESULT done =
          SendMessage(v->header, msg == LVM_SETCOLUMNORDERARRAY ? HDM_SETORDERARRAY : HDM_GETORDERARRAY, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return done;
    }

    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lParam);
      if (hdr == nullptr || hdr->hwndFrom != v->header || v->header == nullptr) {
        break;
      }
      auto* nm = reinterpret_cast<NMHEADER*>(lParam);
      if (hdr->code == HDN_ITEMCLICK) {
        NMLISTVIEW lv{};
        lv.iItem = -1;
        lv.iSubItem = nm->iItem;
        Send(hwnd, lv.hdr, LVN_COLUMNCLICK);
        return 0;
      }
      if (hdr->code == HDN_ITEMCHANGED && nm->pitem != nullptr && (nm->pitem->mask & HDI_WIDTH) != 0 &&
          nm->iItem >= 0 && nm->iItem < static_cast<int>(v->columns.size())) {
        v->columns[static_cast<std::size_t>(nm->iItem)].width = nm->pitem->cxy;
        Layout(hwnd, *v);
      }
      // The parent sees the header's notifications as from the header, and may refuse a change.
      HWND parent = GetParent(hwnd);
      return parent != nullptr ? SendMessage(parent, WM_NOTIFY, wParam, lParam) : 0;
    }

    case WM_KEYDOWN: KeyDown(hwnd, *v, static_cast<UINT>(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      ButtonDown(hwnd, *v, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                 msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK, msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      ButtonUp(hwnd, *v, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, msg == WM_RBUTTONUP);
      return 0;
    case WM_MOUSEMOVE: MouseMove(hwnd, *v, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd) {
        v->pressing = false;
      }
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      Scroll(hwnd, *v, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam), static_cast<SHORT>(HIWORD(wParam)));
      return 0;
    case WM_MOUSEWHEEL:
      if (Report(hwnd)) {
        v->top -= GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3;
      } else {
        v->top -= GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      }
      Layout(hwnd, *v);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      v->focused = msg == WM_SETFOCUS;
      InvalidateRect(hwnd, nullptr, TRUE);
      NMHDR hdr{};
      Send(hwnd, hdr, msg == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    }
    case WM_SETFONT:
      v->font = reinterpret_cast<HFONT>(wParam);
      if (v->header != nullptr) {
        SendMessage(v->header, WM_SETFONT, wParam, lParam);
      }
      Layout(hwnd, *v);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(v->font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return PaintOrPrintClient(hwnd, msg, wParam, [&](HDC dc) {
        RECT clip;
        GetClientRect(hwnd, &clip);
        Paint(hwnd, *v, dc, clip);
      });
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC ListViewWindowProc() { return &ListViewProc; }
}  // namespace user::detail
