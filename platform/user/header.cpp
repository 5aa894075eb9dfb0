// The header control: a row of column titles above a list, each one a button; the dividers between them are
// dragged to change a column's width. Everything the user does is told to the parent as HDN_* notifications.
#include "platform/gdi/imagelist.h"
#include "platform/user/common_controls.h"
#include "platform/user/controls_common.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace user::detail;

namespace {

constexpr int kDividerGrip = 4;  // pixels either side of a divider that grab it
constexpr int kTextMargin = 6;

struct Column {
  std::string text;
  int width = 0;
  int fmt = HDF_LEFT | HDF_STRING;
  LPARAM param = 0;
  int image = -1;
};

struct Header {
  std::vector<Column> columns;
  std::vector<int> order;  // display position -> column index
  HFONT font = nullptr;
  HIMAGELIST images = nullptr;
  int pressed = -1;   // the column pressed like a button
  bool pressedIn = false;
  int tracking = -1;  // the column whose divider is dragged
  int trackStart = 0;
  int trackWidth = 0;
};

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

int HeightOf(HWND hwnd, const Header& h)
{
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, h.font != nullptr ? h.font : DefaultControlFont());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return tm.tmHeight + 6;
}

LRESULT Notify(HWND hwnd, UINT code, int item, int button = 0, HDITEM* what = nullptr)
{
  NMHEADER nm{};
  nm.hdr = NMHDR{hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), code};
  nm.iItem = item;
  nm.iButton = button;
  nm.pitem = what;
  HWND parent = GetParent(hwnd);
  return parent != nullptr ? SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)) : 0;
}

RECT ItemRect(HWND hwnd, const Header& h, int index)
{
  RECT client;
  GetClientRect(hwnd, &client);
  int x = 0;
  for (int column : h.order) {
    const int w = std::max(0, h.columns[static_cast<std::size_t>(column)].width);
    if (column == index) {
      return RECT{x, 0, x + w, client.bottom};
    }
    x += w;
  }
  return RECT{};
}

// The column under a point, and whether the point grabs the divider at its right.
int HitTest(HWND hwnd, const Header& h, POINT pt, UINT* flags)
{
  RECT client;
  GetClientRect(hwnd, &client);
  *flags = 0;
  if (pt.y < 0) {
    *flags = HHT_ABOVE;
  } else if (pt.y >= client.bottom) {
    *flags = HHT_BELOW;
  }
  if (pt.x < 0) {
    *flags |= HHT_TOLEFT;
  }
  if (*flags != 0) {
    return -1;
  }
  // Dividers first, from the right, so that a zero-width column's divider can still be grabbed.
  for (auto it = h.order.rbegin(); it != h.order.rend(); ++it) {
    RECT r = ItemRect(hwnd, h, *it);
    if (pt.x >= r.right - kDividerGrip && pt.x < r.right + kDividerGrip) {
      *flags = r.Width() == 0 ? HHT_ONDIVOPEN : HHT_ONDIVIDER;
      return *it;
    }
  }
  for (int column : h.order) {
    RECT r = ItemRect(hwnd, h, column);
    if (pt.x >= r.left && pt.x < r.right) {
      *flags = HHT_ONHEADER;
      return column;
    }
  }
  *flags = h.order.empty() || pt.x < client.right ? HHT_NOWHERE : HHT_TORIGHT;
  return -1;
}

void Describe(const Column& c, HDITEM& out, UINT mask)
{
  out.mask = mask;
  out.cxy = c.width;
  out.fmt = c.fmt;
  out.lParam = c.param;
  out.iImage = c.image;
}

void CopyText(const std::string& text, LPSTR out, int size)
{
  if (out == nullptr || size <= 0) {
    return;
  }
  const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

void Apply(Column& c, const HDITEM& in)
{
  if ((in.mask & HDI_WIDTH) != 0) {
    c.width = std::max(0, in.cxy);
  }
  if ((in.mask & HDI_TEXT) != 0) {
    c.text = in.pszText != nullptr && in.pszText != LPSTR_TEXTCALLBACK ? std::string(in.pszText) : std::string();
  }
  if ((in.mask & HDI_FORMAT) != 0) {
    c.fmt = in.fmt;
  }
  if ((in.mask & HDI_LPARAM) != 0) {
    c.param = in.lParam;
  }
  if ((in.mask & HDI_IMAGE) != 0) {
    c.image = in.iImage;
  }
}

// A change asked for by the program or made by the user: ITEMCHANGING may refuse it.
bool Change(HWND hwnd, Header& h, int index, const HDITEM& in)
{
  HDITEM what = in;
  if (Notify(hwnd, HDN_ITEMCHANGING, index, 0, &what) != 0) {
    return false;
  }
  Apply(h.columns[static_cast<std::size_t>(index)], in);
  if ((in.mask & HDI_ORDER) != 0) {
    auto it = std::find(h.order.begin(), h.order.end(), index);
    h.order.erase(it);
    const int at = std::clamp(in.iOrder, 0, static_cast<int>(h.order.size()));
    h.order.insert(h.order.begin() + at, index);
  }
  Notify(hwnd, HDN_ITEMCHANGED, index, 0, &what);
  InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

void SetWidthByUser(HWND hwnd, Header& h, int index, int width)
{
  HDITEM item;
  item.mask = HDI_WIDTH;
  item.cxy = std::max(0, width);
  Change(hwnd, h, index, item);
}

void PaintItem(HWND hwnd, Header& h, HDC dc, int index)
{
  const Column& c = h.columns[static_cast<std::size_t>(index)];
  RECT r = ItemRect(hwnd, h, index);
  if (r.Width() <= 0) {
    return;
  }
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const bool down = index == h.pressed && h.pressedIn;
  RECT edge = r;
  DrawEdge(dc, &edge, down ? EDGE_SUNKEN : EDGE_RAISED, down ? BF_RECT | BF_FLAT : BF_RECT);
  RECT text = r.Inflate(-kTextMargin, 0);
  if (down) {
    text = text.Offset(1, 1);
  }
  int cx = 0;
  int cy = 0;
  if ((c.fmt & HDF_IMAGE) != 0 && h.images != nullptr && c.image >= 0 && ImageList_GetIconSize(h.images, &cx, &cy)) {
    ImageList_Draw(h.images, c.image, dc, text.left, (r.top + r.bottom - cy) / 2, 0);
    text.left += cx + 3;
  }
  const bool sorted = (c.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
  if (sorted) {
    text.right -= 12;
  }
  UINT align = DT_LEFT;
  if ((c.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) {
    align = DT_RIGHT;
  } else if ((c.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) {
    align = DT_CENTER;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawText(dc, c.text.c_str(), -1, &text, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (sorted && text.right > text.left) {
    // A small triangle: pointing up for ascending order.
    const int x = text.right + 4;
    const int y = (r.top + r.bottom) / 2;
    const bool up = (c.fmt & HDF_SORTUP) != 0;
    POINT pts[3] = {{x, up ? y + 2 : y - 2}, {x + 6, up ? y + 2 : y - 2}, {x + 3, up ? y - 2 : y + 2}};
    HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_3DSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, pts, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }
}

void Paint(HWND hwnd, Header& h, HDC dc)
{
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old = SelectObject(dc, h.font != nullptr ? h.font : DefaultControlFont());
  int right = 0;
  for (int column : h.order) {
    PaintItem(hwnd, h, dc, column);
    right = std::max<int>(right, ItemRect(hwnd, h, column).right);
  }
  // The space after the last column is a blank, raised button too.
  if (right < client.right) {
    RECT rest{right, 0, client.right, client.bottom};
    DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT);
  }
  SelectObject(dc, old);
}

bool Valid(const Header& h, WPARAM index) { return index < h.columns.size(); }

LRESULT HeaderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Header>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Header* h = ControlState<Header>(hwnd);
  if (h == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  switch (msg) {
    case HDM_GETITEMCOUNT: return static_cast<LRESULT>(h->columns.size());
    case HDM_INSERTITEM: {
      auto* in = reinterpret_cast<const HDITEM*>(lParam);
      if (in == nullptr) {
        return -1;
      }
      const int at = std::clamp(static_cast<int>(wParam), 0, static_cast<int>(h->columns.size()));
      Column c;
      Apply(c, *in);
      h->columns.insert(h->columns.begin() + at, c);
      for (int& column : h->order) {
        if (column >= at) {
          ++column;
        }
      }
      const int shown = (in->mask & HDI_ORDER) != 0 ? std::clamp(in->iOrder, 0, static_cast<int>(h->order.size()))
                                                     : at;
      h->order.insert(h->order.begin() + std::min<int>(shown, static_cast<int>(h->order.size())), at);
      InvalidateRect(hwnd, nullptr, TRUE);
      return at;
    }
    case HDM_DELETEITEM: {
      if (!Valid(*h, wParam)) {
        return FALSE;
      }
      const int index = static_cast<int>(wParam);
      h->columns.erase(h->columns.begin() + index);
      h->order.erase(std::find(h->order.begin(), h->order.end(), index));
      for (int& column : h->order) {
        if (column > index) {
          --column;
        }
      }
      h->pressed = h->tracking = -1;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case HDM_GETITEM: {
      auto* out = reinterpret_cast<HDITEM*>(lParam);
      if (out == nullptr || !Valid(*h, wParam)) {
        return FALSE;
      }
      const Column& c = h->columns[wParam];
      const UINT mask = out->mask;
      LPSTR text = out->pszText;
      const int size = out->cchTextMax;
      Describe(c, *out, mask);
      out->pszText = text;
      if ((mask & HDI_TEXT) != 0) {
        CopyText(c.text, text, size);
      }
      if ((mask & HDI_ORDER) != 0) {
        out->iOrder = static_cast<int>(std::find(h->order.begin(), h->order.end(), static_cast<int>(wParam)) -
                                       h->order.begin());
      }
      return TRUE;
    }
    case HDM_SETITEM: {
      auto* in = reinterpret_cast<const HDITEM*>(lParam);
      if (in == nullptr || !Valid(*h, wParam)) {
        return FALSE;
      }
      return Change(hwnd, *h, static_cast<int>(wParam), *in) ? TRUE : FALSE;
    }
    case HDM_LAYOUT: {
      auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
      if (layout == nullptr || layout->prc == nullptr || layout->pwpos == nullptr) {
        return FALSE;
      }
      const int height = (StyleOf(hwnd) & HDS_HIDDEN) != 0 ? 0 : HeightOf(hwnd, *h);
      RECT& area = *layout->prc;
      *layout->pwpos = WINDOWPOS{hwnd, nullptr, area.left, area.top, area.Width(), height, SWP_NOZORDER};
      area.top += height;
      return TRUE;
    }
    case HDM_HITTEST: {
      auto* info = reinterpret_cast<HDHITTESTINFO*>(lParam);
      if (info == nullptr) {
        return -1;
      }
      info->iItem = HitTest(hwnd, *h, info->pt, &info->flags);
      return info->iItem;
    }
    case HDM_GETITEMRECT:
      if (lParam == 0 || !Valid(*h, wParam)) {
        return FALSE;
      }
      *reinterpret_cast<RECT*>(lParam) = ItemRect(hwnd, *h, static_cast<int>(wParam));
      return TRUE;
    case HDM_SETIMAGELIST: {
      HIMAGELIST old = h->images;
      h->images = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case HDM_GETIMAGELIST: return reinterpret_cast<LRESULT>(h->images);
    case HDM_ORDERTOINDEX: return wParam < h->order.size() ? h->order[wParam] : static_cast<LRESULT>(wParam);
    case HDM_GETORDERARRAY: {
      auto* out = reinterpret_cast<int*>(lParam);
      if (out == nullptr || wParam != h->order.size()) {
        return FALSE;
      }
      std::copy(h->order.begin(), h->order.end(), out);
      return TRUE;
    }
    case HDM_SETORDERARRAY: {
      auto* in = reinterpret_cast<const int*>(lParam);
      if (in == nullptr || wParam != h->order.size()) {
        return FALSE;
      }
      std::vector<int> next(in, in + wParam);
      std::vector<int> sorted = next;
      std::sort(sorted.begin(), sorted.end());
      for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (sorted[i] != static_cast<int>(i)) {
          return FALSE;  // not a permutation of the columns
        }
      }
      h->order = std::move(next);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }

    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      UINT flags = 0;
      const int index = HitTest(hwnd, *h, pt, &flags);
      if (index < 0) {
        return 0;
      }
      if ((flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) != 0) {
        if (msg == WM_LBUTTONDBLCLK) {
          Notify(hwnd, HDN_DIVIDERDBLCLICK, index);
          return 0;
        }
        HDITEM what;
        Describe(h->columns[static_cast<std::size_t>(index)], what, HDI_WIDTH);
        if (Notify(hwnd, HDN_BEGINTRACK, index, 0, &what) != 0) {
          return 0;  // the parent keeps this column's width
        }
        h->tracking = index;
        h->trackStart = pt.x;
        h->trackWidth = h->columns[static_cast<std::size_t>(index)].width;
        SetCapture(hwnd);
        return 0;
      }
      if (msg == WM_LBUTTONDBLCLK) {
        Notify(hwnd, HDN_ITEMDBLCLICK, index);
        return 0;
      }
      if ((StyleOf(hwnd) & HDS_BUTTONS) != 0) {
        h->pressed = index;
        h->pressedIn = true;
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (h->tracking >= 0) {
        const int width = std::max(0, h->trackWidth + pt.x - h->trackStart);
        HDITEM what;
        Describe(h->columns[static_cast<std::size_t>(h->tracking)], what, HDI_WIDTH);
        what.cxy = width;
        if (Notify(hwnd, HDN_TRACK, h->tracking, 0, &what) != 0) {
          return 0;
        }
        if ((StyleOf(hwnd) & HDS_FULLDRAG) != 0) {
          SetWidthByUser(hwnd, *h, h->tracking, width);
        }
      } else if (h->pressed >= 0) {
        UINT flags = 0;
        const bool in = HitTest(hwnd, *h, pt, &flags) == h->pressed && (flags & HHT_ONHEADER) != 0;
        if (in != h->pressedIn) {
          h->pressedIn = in;
          InvalidateRect(hwnd, nullptr, TRUE);
        }
      }
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
      if (h->tracking >= 0) {
        const int index = h->tracking;
        h->tracking = -1;
        const int width = msg == WM_LBUTTONUP ? std::max(0, h->trackWidth + GET_X_LPARAM(lParam) - h->trackStart)
                                              : h->columns[static_cast<std::size_t>(index)].width;
        if (msg == WM_LBUTTONUP && GetCapture() == hwnd) {
          ReleaseCapture();
        }
        HDITEM what;
        Describe(h->columns[static_cast<std::size_t>(index)], what, HDI_WIDTH);
        what.cxy = width;
        Notify(hwnd, HDN_ENDTRACK, index, 0, &what);
        if (width != h->columns[static_cast<std::size_t>(index)].width) {
          SetWidthByUser(hwnd, *h, index, width);
        }
        return 0;
      }
      if (h->pressed >= 0) {
        const int index = h->pressed;
        const bool clicked = h->pressedIn && msg == WM_LBUTTONUP;
        h->pressed = -1;
        h->pressedIn = false;
        if (msg == WM_LBUTTONUP && GetCapture() == hwnd) {
          ReleaseCapture();
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        if (clicked) {
          Notify(hwnd, HDN_ITEMCLICK, index);
        }
      }
      return 0;
    }
    case WM_SETCURSOR: {
      POINT pt;
      GetCursorPos(&pt);
      ScreenToClient(hwnd, &pt);
      UINT flags = 0;
      HitTest(hwnd, *h, pt, &flags);
      if ((flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) != 0) {
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      break;
    }
    case WM_SETFONT:
      h->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam) != 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(h->font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintOrPrintClient(hwnd, msg, wParam, [&](HDC dc) { Paint(hwnd, *h, dc); });
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC HeaderWindowProc() { return &HeaderProc; }
}  // namespace user::detail
