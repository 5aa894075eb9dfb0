// The tree view control: items in a tree, expanded and collapsed, one of them selected, drawn as rows.
#include "platform/gdi/imagelist.h"
#include "platform/user/common_controls.h"
#include "platform/user/controls_common.h"
#include "platform/user/menu_data.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

struct HTREEITEM__ {
  HTREEITEM__* parent = nullptr;
  std::vector<HTREEITEM__*> children;
  std::string text;
  bool textCallback = false;
  int image = 0;
  int selectedImage = 0;
  int childrenFlag = 0;  // cChildren: 1 shows a button without children yet, I_CHILDRENCALLBACK asks
  LPARAM param = 0;
  UINT state = 0;
};

using namespace user::detail;

namespace {

struct Tree {
  HTREEITEM__ root;
  std::set<HTREEITEM> live;
  HTREEITEM selected = nullptr;
  int scroll = 0;  // rows scrolled off the top
  int itemHeight = 16;
  int indent = 19;
  COLORREF background = CLR_INVALID;
  COLORREF textColor = CLR_INVALID;
  HFONT font = nullptr;
  HFONT boldFont = nullptr;
  HIMAGELIST images = nullptr;
  bool focused = false;
  HWND tooltips = nullptr;
  // In-place label editing: the edit control over the label and the item it renames.
  HWND edit = nullptr;
  HTREEITEM editing = nullptr;
  bool ending = false;
  // A press on an item, until released: moved far enough it becomes a drag.
  HTREEITEM pressed = nullptr;
  bool pressedRight = false;
  POINT pressedAt{};
};

constexpr UINT_PTR kEditTimer = 42;  // a click on the selected item's label starts editing after this

Tree* T(HWND hwnd) { return ControlState<Tree>(hwnd); }

bool Expanded(const HTREEITEM__* item) { return (item->state & TVIS_EXPANDED) != 0; }

bool HasChildren(const HTREEITEM__* item) { return !item->children.empty() || item->childrenFlag != 0; }

void Visible(HTREEITEM__* node, std::vector<HTREEITEM__*>& out)
{
  for (HTREEITEM__* c : node->children) {
    out.push_back(c);
    if (Expanded(c)) {
      Visible(c, out);
    }
  }
}

std::vector<HTREEITEM__*> VisibleRows(Tree& t)
{
  std::vector<HTREEITEM__*> out;
  Visible(&t.root, out);
  return out;
}

int Depth(const HTREEITEM__* item)
{
  int d = 0;
  for (const HTREEITEM__* p = item->parent; p != nullptr && p->parent != nullptr; p = p->parent) {
    ++d;
  }
  return d;
}

LRESULT Notify(HWND hwnd, NMHDR& hdr, UINT code)
{
  hdr.hwndFrom = hwnd;
  hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
  hdr.code = code;
  HWND parent = GetParent(hwnd);
  return parent != nullptr ? SendMessage(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr)) : 0;
}

void Describe(const HTREEITEM__* item, TVITEM& out)
{
  out.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
  out.hItem = const_cast<HTREEITEM>(item);
  out.lParam = item != nullptr ? item->param : 0;
  out.state = item != nullptr ? item->state : 0;
}

void RowsChanged(HWND hwnd, Tree& t)
{
  RECT client;
  GetClientRect(hwnd, &client);
  const int rows = static_cast<int>(VisibleRows(t).size());
  const int page = std::max(1, static_cast<int>(client.Height() / t.itemHeight));
  t.scroll = std::clamp(t.scroll, 0, std::max(0, rows - page));
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, rows - 1);
  si.nPage = static_cast<UINT>(page);
  si.nPos = t.scroll;
  SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  InvalidateRect(hwnd, nullptr, TRUE);
}

int RowOf(Tree& t, HTREEITEM item)
{
  std::vector<HTREEITEM__*> rows = VisibleRows(t);
  auto it = std::find(rows.begin(), rows.end(), item);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

void EnsureVisible(HWND hwnd, Tree& t, HTREEITEM item);
void Delete(HWND hwnd, Tree& t, HTREEITEM item);
bool EndEdit(HWND hwnd, Tree& t, bool cancel);

bool Expand(HWND hwnd, Tree& t, HTREEITEM item, UINT code, UINT action)
{
  if (item == nullptr || t.live.count(item) == 0) {
    return false;
  }
  const bool reset = (code & TVE_COLLAPSERESET) != 0 && (code & 3) == TVE_COLLAPSE;
  code &= 3;
  const bool open = code == TVE_EXPAND || (code == TVE_TOGGLE && !Expanded(item));
  if (open == Expanded(item)) {
    if (reset) {
      // Already closed: only the children go, to be asked for again when it next opens.
      while (!item->children.empty()) {
        Delete(hwnd, t, item->children.back());
      }
      item->state &= ~TVIS_EXPANDEDONCE;
      RowsChanged(hwnd, t);
      return true;
    }
    return false;
  }
  EndEdit(hwnd, t, true);
  NMTREEVIEW nm{};
  nm.action = open ? TVE_EXPAND : (reset ? TVE_COLLAPSE | TVE_COLLAPSERESET : TVE_COLLAPSE);
  Describe(item, nm.itemNew);
  if (Notify(hwnd, nm.hdr, TVN_ITEMEXPANDING) != 0 || t.live.count(item) == 0) {
    return false;
  }
  if (open) {
    item->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  } else {
    item->state &= ~TVIS_EXPANDED;
    // A selection hidden by the collapse moves up to the collapsed item.
    for (HTREEITEM__* p = t.selected != nullptr ? t.selected->parent : nullptr; p != nullptr; p = p->parent) {
      if (p == item) {
        HTREEITEM old = t.selected;
        NMTREEVIEW sel{};
        sel.action = action;
        Describe(old, sel.itemOld);
        Describe(item, sel.itemNew);
        if (Notify(hwnd, sel.hdr, TVN_SELCHANGING) == 0) {
          old->state &= ~TVIS_SELECTED;
          item->state |= TVIS_SELECTED;
          t.selected = item;
          Notify(hwnd, sel.hdr, TVN_SELCHANGED);
        }
        break;
      }
    }
  }
  if (reset) {
    while (!item->children.empty()) {
      Delete(hwnd, t, item->children.back());
    }
    item->state &= ~TVIS_EXPANDEDONCE;
  }
  Describe(item, nm.itemNew);
  Notify(hwnd, nm.hdr, TVN_ITEMEXPANDED);
  RowsChanged(hwnd, t);
  return true;
}

bool Select(HWND hwnd, Tree& t, HTREEITEM item, UINT action)
{
  if (item != nullptr && t.live.count(item) == 0) {
    return false;
  }
  if (item == t.selected) {
    if (item != nullptr) {
      EnsureVisible(hwnd, t, item);
    }
    return true;
  }
  NMTREEVIEW nm{};
  nm.action = action;
  Describe(t.selected, nm.itemOld);
  Describe(item, nm.itemNew);
  if (Notify(hwnd, nm.hdr, TVN_SELCHANGING) != 0) {
    return false;
  }
  if (t.selected != nullptr && t.live.count(t.selected) != 0) {
    t.selected->state &= ~TVIS_SELECTED;
  }
  t.selected = item;
  if (item != nullptr) {
    item->state |= TVIS_SELECTED;
    EnsureVisible(hwnd, t, item);
  }
  Describe(t.selected, nm.itemNew);
  Notify(hwnd, nm.hdr, TVN_SELCHANGED);
  InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

void EnsureVisible(HWND hwnd, Tree& t, HTREEITEM item)
{
  for (HTREEITEM__* p = item->parent; p != nullptr && p != &t.root; p = p->parent) {
    if (!Expanded(p)) {
      Expand(hwnd, t, p, TVE_EXPAND, TVC_UNKNOWN);
    }
  }
  RECT client;
  GetClientRect(hwnd, &client);
  const int page = std::max(1, static_cast<int>(client.Height() / t.itemHeight));
  const int row = RowOf(t, item);
  if (row < t.scroll) {
    t.scroll = row;
  } else if (row >= t.scroll + page) {
    t.scroll = row - page + 1;
  }
  RowsChanged(hwnd, t);
}

void Delete(HWND hwnd, Tree& t, HTREEITEM item)
{
  while (!item->children.empty()) {
    Delete(hwnd, t, item->children.back());
  }
  if (item == &t.root) {
    return;
  }
  if (item == t.editing) {
    EndEdit(hwnd, t, true);
  }
  if (item == t.pressed) {
    t.pressed = nullptr;
  }
  NMTREEVIEW nm{};
  Describe(item, nm.itemOld);
  Notify(hwnd, nm.hdr, TVN_DELETEITEM);
  if (t.selected == item) {
    t.selected = nullptr;
  }
  auto& siblings = item->parent->children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), item));
  t.live.erase(item);
  delete item;
}

std::string TextOf(HWND hwnd, const HTREEITEM__* item)
{
  if (!item->textCallback) {
    return item->text;
  }
  char buffer[260] = {};
  NMTVDISPINFO di{};
  di.item.mask = TVIF_TEXT;
  di.item.hItem = const_cast<HTREEITEM>(item);
  di.item.lParam = item->param;
  di.item.pszText = buffer;
  di.item.cchTextMax = sizeof buffer;
  Notify(hwnd, di.hdr, TVN_GETDISPINFO);
  return di.item.pszText != nullptr ? std::string(di.item.pszText) : std::string();
}

void Apply(HTREEITEM__* item, const TVITEM& in)
{
  if ((in.mask & TVIF_TEXT) != 0) {
    item->textCallback = in.pszText == LPSTR_TEXTCALLBACK;
    item->text = item->textCallback || in.pszText == nullptr ? std::string() : std::string(in.pszText);
  }
  if ((in.mask & TVIF_IMAGE) != 0) {
    item->image = in.iImage;
  }
  if ((in.mask & TVIF_SELECTEDIMAGE) != 0) {
    item->selectedImage = in.iSelectedImage;
  }
  if ((in.mask & TVIF_CHILDREN) != 0) {
    item->childrenFlag = in.cChildren;
  }
  if ((in.mask & TVIF_PARAM) != 0) {
    item->param = in.lParam;
  }
  if ((in.mask & TVIF_STATE) != 0) {
    // The caret is the control's own, but the selected bit may be set on any item, as multi-selecting owners do.
    item->state = (item->state & ~in.stateMask) | (in.state & in.stateMask);
  }
}

int LeftOf(HWND hwnd, const Tree& t, const HTREEITEM__* item)
{
  const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
  const bool rootLines = (style & TVS_LINESATROOT) != 0;
  return (Depth(item) + (rootLines ? 1 : 0)) * t.indent;
}

RECT RowRect(HWND hwnd, const Tree& t, int row)
{
  RECT client;
  GetClientRect(hwnd, &client);
  return RECT{0, (row - t.scroll) * t.itemHeight, client.right, (row - t.scroll + 1) * t.itemHeight};
}

int TextWidth(HWND hwnd, Tree& t, const HTREEITEM__* item)
{
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, t.font != nullptr ? t.font : DefaultControlFont());
  std::string text = TextOf(hwnd, item);
  SIZE size{};
  GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return size.cx;
}

int ImageWidth(const Tree& t)
{
  int cx = 0;
  int cy = 0;
  if (t.images != nullptr && ImageList_GetIconSize(t.images, &cx, &cy)) {
    return cx + 3;
  }
  return 0;
}

HTREEITEM HitTest(HWND hwnd, Tree& t, POINT pt, UINT* flags)
{
  *flags = TVHT_NOWHERE;
  if (pt.y < 0) {
    return nullptr;
  }
  std::vector<HTREEITEM__*> rows = VisibleRows(t);
  const int row = t.scroll + pt.y / t.itemHeight;
  if (row >= static_cast<int>(rows.size())) {
    return nullptr;
  }
  HTREEITEM__* item = rows[static_cast<std::size_t>(row)];
  const int left = LeftOf(hwnd, t, item);
  const int image = ImageWidth(t);
  if (pt.x < left - t.indent) {
    *flags = TVHT_ONITEMINDENT;
  } else if (pt.x < left) {
    *flags = HasChildren(item) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
  } else if (pt.x < left + image) {
    *flags = TVHT_ONITEMICON;
  } else if (pt.x < left + image + TextWidth(hwnd, t, item) + 4) {
    *flags = TVHT_ONITEMLABEL;
  } else {
    *flags = TVHT_ONITEMRIGHT;
  }
  return item;
}

void Paint(HWND hwnd, Tree& t, HDC dc)
{
  const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
  RECT client;
  GetClientRect(hwnd, &client);
  HBRUSH background = t.background == CLR_INVALID ? GetSysColorBrush(COLOR_WINDOW) : CreateSolidBrush(t.background);
  FillRect(dc, &client, background);
  HPEN linePen = CreatePen(0, 1, GetSysColor(COLOR_GRAYTEXT));
  HGDIOBJ oldPen = SelectObject(dc, linePen);
  HGDIOBJ oldFont = SelectObject(dc, t.font != nullptr ? t.font : DefaultControlFont());
  SetBkMode(dc, TRANSPARENT);
  std::vector<HTREEITEM__*> rows = VisibleRows(t);
  const int image = ImageWidth(t);
  for (int row = t.scroll; row < static_cast<int>(rows.size()); ++row) {
    RECT r = RowRect(hwnd, t, row);
    if (r.top >= client.bottom) {
      break;
    }
    HTREEITEM__* item = rows[static_cast<std::size_t>(row)];
    const int left = LeftOf(hwnd, t, item);
    const int midY = (r.top + r.bottom) / 2;
    if ((style & TVS_HASLINES) != 0 && left > 0) {
      MoveToEx(dc, left - t.indent / 2, midY, nullptr);
      LineTo(dc, left, midY);
    }
    if ((style & TVS_HASBUTTONS) != 0 && HasChildren(item) && left > 0) {
      RECT box{left - t.indent / 2 - 4, midY - 4, left - t.indent / 2 + 5, midY + 5};
      FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
      FrameRect(dc, &box, GetSysColorBrush(COLOR_GRAYTEXT));
      MoveToEx(dc, box.left + 2, midY, nullptr);
      LineTo(dc, box.right - 2, midY);
      if (!Expanded(item)) {
        MoveToEx(dc, (box.left + box.right) / 2, box.top + 2, nullptr);
        LineTo(dc, (box.left + box.right) / 2, box.bottom - 2);
      }
    }
    if (t.images != nullptr) {
      const bool chosen = item == t.selected;
      ImageList_Draw(t.images, chosen ? item->selectedImage : item->image, dc, left, r.top, 0);
    }
    std::string text = TextOf(hwnd, item);
    RECT label{left + image, r.top, left + image + TextWidth(hwnd, t, item) + 4, r.bottom};
    const bool chosen = (item->state & TVIS_SELECTED) != 0 && (t.focused || (style & TVS_SHOWSELALWAYS) != 0);
    if (chosen) {
      FillRect(dc, &label, GetSysColorBrush(t.focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    }
    SetTextColor(dc, chosen && t.focused ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                     : t.textColor != CLR_INVALID ? t.textColor
                                                  : GetSysColor(COLOR_WINDOWTEXT));
    if ((item->state & TVIS_BOLD) != 0) {
      if (t.boldFont == nullptr) {
        LOGFONT lf{};
        GetObject(t.font != nullptr ? t.font : DefaultControlFont(), sizeof lf, &lf);
        lf.lfWeight = 700;
        t.boldFont = CreateFontIndirect(&lf);
      }
      SelectObject(dc, t.boldFont);
    }
    RECT text2 = label.Inflate(-2, 0);
    DrawText(dc, text.c_str(), -1, &text2, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, t.font != nullptr ? t.font : DefaultControlFont());
    if (chosen && t.focused && item == t.selected) {
      DrawFocusRect(dc, &label);
    }
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldPen);
  DeleteObject(linePen);
  if (t.background != CLR_INVALID) {
    DeleteObject(background);
  }
}

// ---- In-place label editing

// The edit control's own procedure, which every message reaches in the end, also after the edit is over.
WNDPROC EditClassProc()
{
  static const WNDPROC proc = [] {
    WNDCLASS wc;
    return GetClassInfo(nullptr, "Edit", &wc) ? wc.lpfnWndProc : nullptr;
  }();
  return proc;
}

LRESULT EditSubclassProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam)
{
  WNDPROC base = EditClassProc();
  HWND hwnd = GetParent(edit);
  Tree* t = hwnd != nullptr ? T(hwnd) : nullptr;
  if (t == nullptr || t->edit != edit) {
    return base != nullptr ? CallWindowProc(base, edit, msg, wParam, lParam) : DefWindowProc(edit, msg, wParam, lParam);
  }
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | CallWindowProc(base, edit, msg, wParam, lParam);
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        EndEdit(hwnd, *t, wParam == VK_ESCAPE);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == '\r' || wParam == 0x1B) {
        return 0;  // no beep, no newline
      }
      break;
    case WM_KILLFOCUS: {
      LRESULT r = CallWindowProc(base, edit, msg, wParam, lParam);
      EndEdit(hwnd, *t, false);
      return r;
    }
    default: break;
  }
  return CallWindowProc(base, edit, msg, wParam, lParam);
}

RECT EditRect(HWND hwnd, Tree& t, HTREEITEM item)
{
  const int row = RowOf(t, item);
  RECT r = RowRect(hwnd, t, row);
  r.left = LeftOf(hwnd, t, item) + ImageWidth(t);
  r.right = r.left + std::max(TextWidth(hwnd, t, item) + 4, 40) + 16;
  return r;
}

// Starts renaming an item: the edit control exists (TVM_GETEDITCONTROL answers it) while the parent decides
// in TVN_BEGINLABELEDIT; a non-zero answer refuses the edit.
HWND BeginEdit(HWND hwnd, Tree& t, HTREEITEM item)
{
  if (item == nullptr || t.live.count(item) == 0) {
    return nullptr;
  }
  EndEdit(hwnd, t, false);
  if (t.live.count(item) == 0) {
    return nullptr;
  }
  KillTimer(hwnd, kEditTimer);
  SetFocus(hwnd);
  EnsureVisible(hwnd, t, item);
  std::string text = TextOf(hwnd, item);
  RECT r = EditRect(hwnd, t, item);
  HWND edit = CreateWindowEx(0, "Edit", text.c_str(), WS_CHILD | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL, r.left,
                             r.top, r.Width(), r.Height(), hwnd, nullptr, nullptr, nullptr);
  if (edit == nullptr) {
    return nullptr;
  }
  SendMessage(edit, WM_SETFONT, reinterpret_cast<WPARAM>(t.font != nullptr ? t.font : DefaultControlFont()), 0);
  t.edit = edit;
  t.editing = item;
  SetWindowLongPtr(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditSubclassProc));
  NMTVDISPINFO di{};
  di.item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
  di.item.hItem = item;
  di.item.state = item->state;
  di.item.lParam = item->param;
  di.item.pszText = text.data();
  di.item.cchTextMax = static_cast<int>(text.size()) + 1;
  if (Notify(hwnd, di.hdr, TVN_BEGINLABELEDIT) != 0 || t.edit != edit || t.live.count(item) == 0) {
    if (t.edit == edit) {
      t.edit = nullptr;
      t.editing = nullptr;
      DestroyWindow(edit);
    }
    return nullptr;
  }
  SendMessage(edit, EM_SETSEL, 0, -1);
  ShowWindow(edit, SW_SHOW);
  SetFocus(edit);
  return edit;
}

// Ends renaming: TVN_ENDLABELEDIT carries the new text, or none when cancelled, while the edit control still
// exists; a TRUE answer keeps the new text as the label. Answers whether an edit was in progress.
bool EndEdit(HWND hwnd, Tree& t, bool cancel)
{
  if (t.edit == nullptr || t.ending) {
    return false;
  }
  t.ending = true;
  HWND edit = t.edit;
  HTREEITEM item = t.editing;
  std::string text = user::detail::TextOf(edit);
  if (item != nullptr && t.live.count(item) != 0) {
    NMTVDISPINFO di{};
    di.item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_PARAM;
    di.item.hItem = item;
    di.item.lParam = item->param;
    di.item.pszText = cancel ? nullptr : text.data();
    di.item.cchTextMax = cancel ? 0 : static_cast<int>(text.size()) + 1;
    const LRESULT keep = Notify(hwnd, di.hdr, TVN_ENDLABELEDIT);
    if (!cancel && keep != 0 && t.live.count(item) != 0) {
      item->text = text;
      item->textCallback = false;
    }
  }
  t.edit = nullptr;
  t.editing = nullptr;
  t.ending = false;
  const bool hadFocus = GetFocus() == edit;
  DestroyWindow(edit);
  if (hadFocus) {
    SetFocus(hwnd);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

HTREEITEM NextItem(Tree& t, UINT code, HTREEITEM item)
{
  auto sibling = [&](int step) -> HTREEITEM {
    if (item == nullptr || item->parent == nullptr) {
      return nullptr;
    }
    auto& s = item->parent->children;
    auto it = std::find(s.begin(), s.end(), item);
    long i = (it - s.begin()) + step;
    return i >= 0 && i < static_cast<long>(s.size()) ? s[static_cast<std::size_t>(i)] : nullptr;
  };
  std::vector<HTREEITEM__*> rows;
  switch (code) {
    case TVGN_ROOT: return t.root.children.empty() ? nullptr : t.root.children.front();
    case TVGN_NEXT: return sibling(+1);
    case TVGN_PREVIOUS: return sibling(-1);
    case TVGN_PARENT: return item != nullptr && item->parent != &t.root ? item->parent : nullptr;
    case TVGN_CHILD: {
      HTREEITEM__* node = item == nullptr || item == TVI_ROOT ? &t.root : item;
      return node->children.empty() ? nullptr : node->children.front();
    }
    case TVGN_CARET: return t.selected;
    case TVGN_FIRSTVISIBLE:
      rows = VisibleRows(t);
      return t.scroll < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(t.scroll)] : nullptr;
    case TVGN_LASTVISIBLE:
      rows = VisibleRows(t);
      return rows.empty() ? nullptr : rows.back();
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      rows = VisibleRows(t);
      auto it = std::find(rows.begin(), rows.end(), item);
      if (it == rows.end()) {
        return nullptr;
      }
      if (code == TVGN_NEXTVISIBLE) {
        return it + 1 == rows.end() ? nullptr : *(it + 1);
      }
      return it == rows.begin() ? nullptr : *(it - 1);
    }
    default: return nullptr;
  }
}

LRESULT TreeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_DESTROY) {
    if (Tree* t = T(hwnd)) {
      EndEdit(hwnd, *t, true);
      if (t->tooltips != nullptr) {
        DestroyWindow(t->tooltips);
        t->tooltips = nullptr;
      }
    }
  }
  if (msg == WM_NCDESTROY) {
    if (Tree* t = T(hwnd)) {
      Delete(hwnd, *t, &t->root);
      if (t->boldFont != nullptr) {
        DeleteObject(t->boldFont);
      }
    }
  }
  if (ControlLifetime<Tree>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Tree* t = T(hwnd);
  if (t == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  auto live = [&](LPARAM p) {
    auto item = reinterpret_cast<HTREEITEM>(p);
    return t->live.count(item) != 0 ? item : nullptr;
  };
  switch (msg) {
    case TVM_INSERTITEM: {
      auto* ins = reinterpret_cast<const TVINSERTSTRUCT*>(lParam);
      if (ins == nullptr) {
        return 0;
      }
      HTREEITEM__* parent = ins->hParent == nullptr || ins->hParent == TVI_ROOT ? &t->root : live(reinterpret_cast<LPARAM>(ins->hParent));
      if (parent == nullptr) {
        return 0;
      }
      auto* item = new HTREEITEM__;
      item->parent = parent;
      Apply(item, ins->item);
      auto& s = parent->children;
      auto at = s.end();
      if (ins->hInsertAfter == TVI_FIRST) {
        at = s.begin();
      } else if (ins->hInsertAfter == TVI_SORT) {
        at = std::upper_bound(s.begin(), s.end(), item, [&](HTREEITEM__* a, HTREEITEM__* b) {
          return std::lexicographical_compare(a->text.begin(), a->text.end(), b->text.begin(), b->text.end(),
                                              [](char x, char y) {
                                                return LowerCp1251(static_cast<unsigned char>(x)) <
                                                       LowerCp1251(static_cast<unsigned char>(y));
                                              });
        });
      } else if (ins->hInsertAfter != TVI_LAST && ins->hInsertAfter != nullptr) {
        auto it = std::find(s.begin(), s.end(), ins->hInsertAfter);
        at = it == s.end() ? s.end() : it + 1;
      }
      s.insert(at, item);
      t->live.insert(item);
      RowsChanged(hwnd, *t);
      return reinterpret_cast<LRESULT>(item);
    }
    case TVM_DELETEITEM: {
      HTREEITEM item = lParam == 0 || reinterpret_cast<HTREEITEM>(lParam) == TVI_ROOT ? &t->root : live(lParam);
      if (item == nullptr) {
        return FALSE;
      }
      Delete(hwnd, *t, item);
      RowsChanged(hwnd, *t);
      return TRUE;
    }
    case TVM_EXPAND: return Expand(hwnd, *t, live(lParam), static_cast<UINT>(wParam), TVC_UNKNOWN) ? TRUE : FALSE;
    case TVM_EDITLABEL:
      if ((static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & TVS_EDITLABELS) == 0) {
        return 0;
      }
      return reinterpret_cast<LRESULT>(BeginEdit(hwnd, *t, live(lParam)));
    case TVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(t->edit);
    case TVM_ENDEDITLABELNOW: return EndEdit(hwnd, *t, wParam != 0) ? TRUE : FALSE;
    case TVM_GETBKCOLOR: return static_cast<LRESULT>(static_cast<LONG>(t->background));
    case TVM_GETTEXTCOLOR: return static_cast<LRESULT>(static_cast<LONG>(t->textColor));
    case TVM_GETTOOLTIPS:
      // Made when first asked for: most trees never show a tip.
      if (t->tooltips == nullptr && (static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & TVS_NOTOOLTIPS) == 0) {
        t->tooltips = CreateWindowEx(0, TOOLTIPS_CLASS, "", WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd,
                                     nullptr, nullptr, nullptr);
      }
      return reinterpret_cast<LRESULT>(t->tooltips);
    case TVM_SETTOOLTIPS: {
      HWND old = t->tooltips;
      t->tooltips = reinterpret_cast<HWND>(wParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_SORTCHILDRENCB: {
      auto* sort = reinterpret_cast<const TVSORTCB*>(lParam);
      if (sort == nullptr || sort->lpfnCompare == nullptr) {
        return FALSE;
      }
      HTREEITEM__* node = sort->hParent == nullptr || sort->hParent == TVI_ROOT
                              ? &t->root
                              : live(reinterpret_cast<LPARAM>(sort->hParent));
      if (node == nullptr) {
        return FALSE;
      }
      std::stable_sort(node->children.begin(), node->children.end(), [&](HTREEITEM__* a, HTREEITEM__* b) {
        return sort->lpfnCompare(a->param, b->param, sort->lParam) < 0;
      });
      RowsChanged(hwnd, *t);
      return TRUE;
    }
    case TVM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      HTREEITEM item = nullptr;
      std::memcpy(&item, r, sizeof item);
      if (t->live.count(item) == 0) {
        return FALSE;
      }
      const int row = RowOf(*t, item);
      if (row < 0) {
        return FALSE;
      }
      *r = RowRect(hwnd, *t, row);
      if (wParam != 0) {
        r->left = LeftOf(hwnd, *t, item) + ImageWidth(*t);
        r->right = r->left + TextWidth(hwnd, *t, item) + 4;
      }
      return TRUE;
    }
    case TVM_GETCOUNT: return static_cast<LRESULT>(t->live.size());
    case TVM_GETINDENT: return t->indent;
    case TVM_SETINDENT:
      t->indent = std::max(8, static_cast<int>(wParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(t->images);
    case TVM_SETIMAGELIST: {
      HIMAGELIST old = t->images;
      t->images = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM: {
      HTREEITEM item = reinterpret_cast<HTREEITEM>(lParam);
      if (item != nullptr && item != TVI_ROOT && t->live.count(item) == 0) {
        return 0;
      }
      return reinterpret_cast<LRESULT>(NextItem(*t, static_cast<UINT>(wParam), item));
    }
    case TVM_SELECTITEM: {
      HTREEITEM item = lParam == 0 ? nullptr : live(lParam);
      if (lParam != 0 && item == nullptr) {
        return FALSE;
      }
      if (wParam == TVGN_FIRSTVISIBLE) {
        if (item != nullptr) {
          EnsureVisible(hwnd, *t, item);
          t->scroll = std::max(0, RowOf(*t, item));
          RowsChanged(hwnd, *t);
        }
        return TRUE;
      }
      if (wParam == TVGN_DROPHILITE) {
        for (HTREEITEM i : t->live) {
          i->state &= ~TVIS_DROPHILITED;
        }
        if (item != nullptr) {
          item->state |= TVIS_DROPHILITED;
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
      }
      return Select(hwnd, *t, item, TVC_UNKNOWN) ? TRUE : FALSE;
    }
    case TVM_GETITEM: {
      auto* out = reinterpret_cast<TVITEM*>(lParam);
      HTREEITEM item = out != nullptr ? live(reinterpret_cast<LPARAM>(out->hItem)) : nullptr;
      if (item == nullptr) {
        return FALSE;
      }
      if ((out->mask & TVIF_TEXT) != 0 && out->pszText != nullptr && out->cchTextMax > 0) {
        std::string text = TextOf(hwnd, item);
        std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(out->cchTextMax - 1));
        std::memcpy(out->pszText, text.data(), n);
        out->pszText[n] = '\0';
      }
      if ((out->mask & TVIF_IMAGE) != 0) {
        out->iImage = item->image;
      }
      if ((out->mask & TVIF_SELECTEDIMAGE) != 0) {
        out->iSelectedImage = item->selectedImage;
      }
      if ((out->mask & TVIF_CHILDREN) != 0) {
        out->cChildren = item->children.empty() ? (item->childrenFlag != 0 ? 1 : 0) : 1;
      }
      if ((out->mask & TVIF_PARAM) != 0) {
        out->lParam = item->param;
      }
      if ((out->mask & TVIF_STATE) != 0) {
        out->state = item->state & (out->stateMask != 0 ? out->stateMask : ~0u);
      }
      return TRUE;
    }
    case TVM_SETITEM: {
      auto* in = reinterpret_cast<const TVITEM*>(lParam);
      HTREEITEM item = in != nullptr ? live(reinterpret_cast<LPARAM>(in->hItem)) : nullptr;
      if (item == nullptr) {
        return FALSE;
      }
      Apply(item, *in);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case TVM_GETITEMSTATE: {
      HTREEITEM item = live(static_cast<LPARAM>(wParam));
      return item != nullptr ? static_cast<LRESULT>(item->state & static_cast<UINT>(lParam)) : 0;
    }
    case TVM_GETVISIBLECOUNT: {
      RECT client;
      GetClientRect(hwnd, &client);
      return client.Height() / t->itemHeight;
    }
    case TVM_HITTEST: {
      auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
      info->hItem = HitTest(hwnd, *t, info->pt, &info->flags);
      return reinterpret_cast<LRESULT>(info->hItem);
    }
    case TVM_SORTCHILDREN: {
      HTREEITEM__* node = lParam == 0 || reinterpret_cast<HTREEITEM>(lParam) == TVI_ROOT ? &t->root : live(lParam);
      if (node == nullptr) {
        return FALSE;
      }
      std::stable_sort(node->children.begin(), node->children.end(), [](HTREEITEM__* a, HTREEITEM__* b) {
        return std::lexicographical_compare(a->text.begin(), a->text.end(), b->text.begin(), b->text.end(),
                                            [](char x, char y) {
                                              return LowerCp1251(static_cast<unsigned char>(x)) <
                                                     LowerCp1251(static_cast<unsigned char>(y));
                                            });
      });
      RowsChanged(hwnd, *t);
      return TRUE;
    }
    case TVM_ENSUREVISIBLE:
      if (HTREEITEM item = live(lParam)) {
        EnsureVisible(hwnd, *t, item);
        return TRUE;
      }
      return FALSE;
    case TVM_SETITEMHEIGHT: {
      int old = t->itemHeight;
      t->itemHeight = static_cast<int>(wParam) <= 0 ? 16 : static_cast<int>(wParam);
      RowsChanged(hwnd, *t);
      return old;
    }
    case TVM_GETITEMHEIGHT: return t->itemHeight;
    case TVM_SETBKCOLOR: {
      COLORREF old = t->background;
      t->background = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    case TVM_SETTEXTCOLOR: {
      COLORREF old = t->textColor;
      t->textColor = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    case WM_PAINT: {
      // A DC in wParam is painted into instead of the screen, as owners that draw off-screen need.
      if (wParam != 0) {
        Paint(hwnd, *t, reinterpret_cast<HDC>(wParam));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(hwnd, *t, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: RowsChanged(hwnd, *t); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: {
      SetFocus(hwnd);
      UINT flags = 0;
      HTREEITEM item = HitTest(hwnd, *t, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &flags);
      NMHDR hdr{};
      if (msg == WM_RBUTTONDOWN) {
        EndEdit(hwnd, *t, false);
        if (item != nullptr && (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT)) != 0) {
          t->pressed = item;
          t->pressedRight = true;
          t->pressedAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        }
        if (Notify(hwnd, hdr, NM_RCLICK) == 0) {
          POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
          ClientToScreen(hwnd, &pt);
          SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(pt.x, pt.y));
        }
        return 0;
      }
      if (item != nullptr && (flags & TVHT_ONITEMBUTTON) != 0) {
        Expand(hwnd, *t, item, TVE_TOGGLE, TVC_BYMOUSE);
        return 0;
      }
      const bool wasSelected = item != nullptr && item == t->selected && t->edit == nullptr;
      KillTimer(hwnd, kEditTimer);
      if (item != nullptr && (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT)) != 0) {
        Select(hwnd, *t, item, TVC_BYMOUSE);
        if (msg == WM_LBUTTONDOWN && t->live.count(item) != 0) {
          t->pressed = item;
          t->pressedRight = false;
          t->pressedAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        }
      }
      // A second, slow click on the selected item's label renames it.
      if (msg == WM_LBUTTONDOWN && wasSelected && (flags & TVHT_ONITEMLABEL) != 0 &&
          (static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & TVS_EDITLABELS) != 0) {
        SetTimer(hwnd, kEditTimer, GetDoubleClickTime(), nullptr);
      }
      if (msg == WM_LBUTTONDBLCLK) {
        if (Notify(hwnd, hdr, NM_DBLCLK) == 0 && item != nullptr && t->live.count(item) != 0) {
          Expand(hwnd, *t, item, TVE_TOGGLE, TVC_BYMOUSE);
        }
      } else {
        Notify(hwnd, hdr, NM_CLICK);
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      HTREEITEM item = t->pressed;
      const WPARAM button = t->pressedRight ? MK_RBUTTON : MK_LBUTTON;
      if (item == nullptr || (wParam & button) == 0) {
        t->pressed = nullptr;
        break;
      }
      const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (std::abs(pt.x - t->pressedAt.x) <= GetSystemMetrics(SM_CXDRAG) &&
          std::abs(pt.y - t->pressedAt.y) <= GetSystemMetrics(SM_CYDRAG)) {
        break;
      }
      t->pressed = nullptr;
      KillTimer(hwnd, kEditTimer);
      if ((static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & TVS_DISABLEDRAGDROP) == 0) {
        NMTREEVIEW nm{};
        Describe(item, nm.itemNew);
        nm.itemNew.mask |= TVIF_TEXT;
        nm.ptDrag = t->pressedAt;
        Notify(hwnd, nm.hdr, t->pressedRight ? TVN_BEGINRDRAG : TVN_BEGINDRAG);
      }
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      t->pressed = nullptr;
      break;
    case WM_TIMER:
      if (wParam == kEditTimer) {
        KillTimer(hwnd, kEditTimer);
        if (t->selected != nullptr) {
          BeginEdit(hwnd, *t, t->selected);
        }
        return 0;
      }
      break;
    case WM_KEYDOWN: {
      NMTVKEYDOWN kd{};
      kd.wVKey = static_cast<WORD>(wParam);
      Notify(hwnd, kd.hdr, TVN_KEYDOWN);
      HTREEITEM sel = t->selected;
      std::vector<HTREEITEM__*> rows = VisibleRows(*t);
      if (rows.empty()) {
        return 0;
      }
      HTREEITEM target = sel;
      switch (wParam) {
        case VK_UP: target = sel == nullptr ? rows.front() : NextItem(*t, TVGN_PREVIOUSVISIBLE, sel); break;
        case VK_DOWN: target = sel == nullptr ? rows.front() : NextItem(*t, TVGN_NEXTVISIBLE, sel); break;
        case VK_HOME: target = rows.front(); break;
        case VK_END: target = rows.back(); break;
        case VK_RIGHT:
          if (sel != nullptr && HasChildren(sel)) {
            if (!Expanded(sel)) {
              Expand(hwnd, *t, sel, TVE_EXPAND, TVC_BYKEYBOARD);
            } else if (!sel->children.empty()) {
              target = sel->children.front();
            }
          }
          break;
        case VK_LEFT:
          if (sel != nullptr) {
            if (Expanded(sel)) {
              Expand(hwnd, *t, sel, TVE_COLLAPSE, TVC_BYKEYBOARD);
            } else if (sel->parent != &t->root) {
              target = sel->parent;
            }
          }
          break;
        case VK_ADD:
          if (sel != nullptr) {
            Expand(hwnd, *t, sel, TVE_EXPAND, TVC_BYKEYBOARD);
          }
          break;
        case VK_SUBTRACT:
          if (sel != nullptr) {
            Expand(hwnd, *t, sel, TVE_COLLAPSE, TVC_BYKEYBOARD);
          }
          break;
        case VK_RETURN: {
          NMHDR hdr{};
          Notify(hwnd, hdr, NM_RETURN);
          return 0;
        }
        default: return 0;
      }
      if (target != nullptr && target != sel && t->live.count(target) != 0) {
        Select(hwnd, *t, target, TVC_BYKEYBOARD);
      }
      return 0;
    }
    case WM_VSCROLL: {
      EndEdit(hwnd, *t, false);
      std::vector<HTREEITEM__*> rows = VisibleRows(*t);
      RECT client;
      GetClientRect(hwnd, &client);
      const int page = std::max(1, static_cast<int>(client.Height() / t->itemHeight));
      switch (LOWORD(wParam)) {
        case SB_LINEUP: --t->scroll; break;
        case SB_LINEDOWN: ++t->scroll; break;
        case SB_PAGEUP: t->scroll -= page; break;
        case SB_PAGEDOWN: t->scroll += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: t->scroll = static_cast<SHORT>(HIWORD(wParam)); break;
        default: return 0;
      }
      RowsChanged(hwnd, *t);
      return 0;
    }
    case WM_MOUSEWHEEL:
      t->scroll -= GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3;
      RowsChanged(hwnd, *t);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      t->focused = msg == WM_SETFOCUS;
      InvalidateRect(hwnd, nullptr, TRUE);
      NMHDR hdr{};
      Notify(hwnd, hdr, msg == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    }
    case WM_SETFONT:
      t->font = reinterpret_cast<HFONT>(wParam);
      if (t->boldFont != nullptr) {
        DeleteObject(t->boldFont);
        t->boldFont = nullptr;
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(t->font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC TreeViewWindowProc() { return &TreeProc; }
}  // namespace user::detail
