// The edit control: one line (the program's in-place editors and dialog fields), or several lines shown as they
// are. Text is cp1251; the selection runs from `anchor` to `caret`.
#include "platform/base/codepage.h"
#include "platform/user/clipboard.h"
#include "platform/user/controls_common.h"
#include "platform/user/global_memory.h"
#include "platform/user/msgbox.h"

#include <algorithm>
#include <cstring>
#include <utility>

using namespace user::detail;

namespace {

struct Edit {
  std::size_t anchor = 0;
  std::size_t caret = 0;
  std::size_t limit = 30000;
  bool modified = false;
  bool focused = false;
  int scroll = 0;  // pixels scrolled off the left of a one-line edit
  HFONT font = nullptr;
  std::string undo;
  std::string cue;
  char password = '*';
};

constexpr int kMargin = 2;

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

HFONT FontOf(const Edit& e) { return e.font != nullptr ? e.font : DefaultControlFont(); }

std::string Shown(HWND hwnd, const Edit& e, const std::string& text)
{
  return (StyleOf(hwnd) & ES_PASSWORD) != 0 ? std::string(text.size(), e.password) : text;
}

int WidthOf(HDC dc, const std::string& s, std::size_t n)
{
  SIZE size{};
  GetTextExtentPoint32(dc, s.c_str(), static_cast<int>(std::min(n, s.size())), &size);
  return size.cx;
}

// Measures with the control's font on a DC of its own.
template <class Fn>
auto Measure(HWND hwnd, const Edit& e, Fn fn)
{
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, FontOf(e));
  auto result = fn(dc);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return result;
}

void PlaceCaret(HWND hwnd, Edit& e)
{
  if (!e.focused) {
    return;
  }
  std::string text = Shown(hwnd, e, TextOf(hwnd));
  RECT client;
  GetClientRect(hwnd, &client);
  int x = Measure(hwnd, e, [&](HDC dc) { return WidthOf(dc, text, e.caret); });
  // Keep the caret in view.
  const int visible = client.Width() - 2 * kMargin;
  if (x - e.scroll > visible) {
    e.scroll = x - visible;
  } else if (x < e.scroll) {
    e.scroll = x;
  }
  SetCaretPos(kMargin + x - e.scroll, kMargin);
}

void Changed(HWND hwnd, Edit& e)
{
  e.modified = true;
  InvalidateRect(hwnd, nullptr, TRUE);
  PlaceCaret(hwnd, e);
  NotifyParent(hwnd, EN_UPDATE);
  NotifyParent(hwnd, EN_CHANGE);
}

// Puts `insert` in place of the selection, as far as the limit lets it; false when nothing changed.
bool Replace(HWND hwnd, Edit& e, std::string insert, bool canUndo)
{
  std::string text = TextOf(hwnd);
  const std::size_t from = std::min({e.anchor, e.caret, text.size()});
  const std::size_t to = std::min(std::max(e.anchor, e.caret), text.size());
  const DWORD style = StyleOf(hwnd);
  if ((style & ES_UPPERCASE) != 0 || (style & ES_LOWERCASE) != 0) {
    for (char& c : insert) {
      if (c >= 'a' && c <= 'z' && (style & ES_UPPERCASE) != 0) {
        c = static_cast<char>(c - 32);
      } else if (c >= 'A' && c <= 'Z' && (style & ES_LOWERCASE) != 0) {
        c = static_cast<char>(c + 32);
      }
    }
  }
  const std::size_t room = e.limit - std::min(e.limit, text.size() - (to - from));
  if (insert.size() > room) {
    insert.resize(room);
    NotifyParent(hwnd, EN_MAXTEXT);
  }
  if (insert.empty() && from == to) {
    return false;
  }
  if (canUndo) {
    e.undo = text;
  }
  text.replace(from, to - from, insert);
  DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  e.anchor = e.caret = from + insert.size();
  Changed(hwnd, e);
  return true;
}

std::size_t CharAt(HWND hwnd, Edit& e, int x)
{
  std::string text = Shown(hwnd, e, TextOf(hwnd));
  return Measure(hwnd, e, [&](HDC dc) {
    const int target = x - kMargin + e.scroll;
    std::size_t best = 0;
    int bestDistance = std::abs(target);
    for (std::size_t i = 1; i <= text.size(); ++i) {
      int d = std::abs(WidthOf(dc, text, i) - target);
      if (d < bestDistance) {
        best = i;
        bestDistance = d;
      }
    }
    return best;
  });
}

// The run of word characters (or of blanks) around `at`: what a double click selects.
std::pair<std::size_t, std::size_t> WordAround(const std::string& text, std::size_t at)
{
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  if (text.empty()) {
    return {0, 0};
  }
  at = std::min(at, text.size() - 1);
  const bool kind = blank(text[at]);
  std::size_t from = at;
  while (from > 0 && blank(text[from - 1]) == kind) {
    --from;
  }
  std::size_t to = at;
  while (to < text.size() && blank(text[to]) == kind) {
    ++to;
  }
  return {from, to};
}

void Select(HWND hwnd, Edit& e, std::size_t anchor, std::size_t caret)
{
  e.anchor = anchor;
  e.caret = caret;
  InvalidateRect(hwnd, nullptr, TRUE);
  PlaceCaret(hwnd, e);
}

// The character whose cell holds `x` (the last one when x lies beyond the text).
std::size_t CharUnder(HWND hwnd, Edit& e, int x)
{
  std::string text = Shown(hwnd, e, TextOf(hwnd));
  return Measure(hwnd, e, [&](HDC dc) {
    const int target = x - kMargin + e.scroll;
    std::size_t i = 0;
    while (i + 1 < text.size() && WidthOf(dc, text, i + 1) <= target) {
      ++i;
    }
    return i;
  });
}

void Paint(HWND hwnd, Edit& e, HDC dc)
{
  const DWORD style = StyleOf(hwnd);
  RECT r;
  GetClientRect(hwnd, &r);
  const bool grey = (style & ES_READONLY) != 0 || !IsWindowEnabled(hwnd);
  HBRUSH brush = ParentBrush(hwnd, dc, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  FillRect(dc, &r, brush);
  HGDIOBJ old = SelectObject(dc, FontOf(e));
  SetBkMode(dc, TRANSPARENT);
  std::string text = Shown(hwnd, e, TextOf(hwnd));
  if (!IsWindowEnabled(hwnd)) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  if ((style & ES_MULTILINE) != 0) {
    RECT area = r.Inflate(-kMargin, -kMargin);
    DrawText(dc, text.c_str(), -1, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  } else if (text.empty() && !e.focused && !e.cue.empty()) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    TextOut(dc, kMargin, kMargin, e.cue.c_str(), static_cast<int>(e.cue.size()));
  } else {
    TextOut(dc, kMargin - e.scroll, kMargin, text.c_str(), static_cast<int>(text.size()));
    const std::size_t from = std::min(e.anchor, e.caret);
    const std::size_t to = std::max(e.anchor, e.caret);
    if (e.focused && from != to) {
      int x0 = WidthOf(dc, text, from);
      int x1 = WidthOf(dc, text, to);
      TEXTMETRIC tm{};
      GetTextMetrics(dc, &tm);
      RECT sel{kMargin - e.scroll + x0, kMargin, kMargin - e.scroll + x1, kMargin + tm.tmHeight};
      FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      std::string part = text.substr(from, to - from);
      TextOut(dc, sel.left, kMargin, part.c_str(), static_cast<int>(part.size()));
    }
  }
  SelectObject(dc, old);
}

void Copy(HWND hwnd, const Edit& e)
{
  if ((StyleOf(hwnd) & ES_PASSWORD) != 0) {
    return;
  }
  std::string text = TextOf(hwnd);
  const std::size_t from = std::min(e.anchor, e.caret);
  const std::size_t to = std::min(std::max(e.anchor, e.caret), text.size());
  if (from >= to || !OpenClipboard(hwnd)) {
    return;
  }
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, to - from + 1);
  auto* p = static_cast<char*>(GlobalLock(h));
  std::memcpy(p, text.data() + from, to - from);
  p[to - from] = '\0';
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
}

void Paste(HWND hwnd, Edit& e)
{
  if (!OpenClipboard(hwnd)) {
    return;
  }
  std::string text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text.assign(p, strnlen(p, GlobalSize(h)));
    }
    GlobalUnlock(h);
  }
  CloseClipboard();
  if ((StyleOf(hwnd) & ES_MULTILINE) == 0) {
    text = text.substr(0, text.find_first_of("\r\n"));
  }
  Replace(hwnd, e, text, true);
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (ControlLifetime<Edit>(hwnd, msg)) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  Edit* e = ControlState<Edit>(hwnd);
  if (e == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  const DWORD style = StyleOf(hwnd);
  const bool readOnly = (style & ES_READONLY) != 0;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(hwnd, *e, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      e->anchor = e->caret = 0;
      e->scroll = 0;
      e->modified = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd, *e);
      NotifyParent(hwnd, EN_UPDATE);
      NotifyParent(hwnd, EN_CHANGE);
      return r;
    }
    case WM_CHAR: {
      const auto c = static_cast<unsigned char>(wParam);
      // The control characters Ctrl+A, C, V, X and Z bring.
      switch (c) {
        case 0x01: Select(hwnd, *e, 0, TextOf(hwnd).size()); return 0;
        case 0x03: SendMessage(hwnd, WM_COPY, 0, 0); return 0;
        case 0x16: SendMessage(hwnd, WM_PASTE, 0, 0); return 0;
        case 0x18: SendMessage(hwnd, WM_CUT, 0, 0); return 0;
        case 0x1A: SendMessage(hwnd, WM_UNDO, 0, 0); return 0;
        default: break;
      }
      if (readOnly) {
        return 0;
      }
      if (c == '\b') {
        if (e->anchor == e->caret && e->caret > 0) {
          e->anchor = e->caret - 1;
        }
        Replace(hwnd, *e, "", true);
      } else if (c == '\r' || c == '\n') {
        if ((style & (ES_MULTILINE | ES_WANTRETURN)) == (ES_MULTILINE | ES_WANTRETURN)) {
          Replace(hwnd, *e, "\r\n", true);
        }
      } else if (c >= 0x20 && c != 0x7F) {
        if ((style & ES_NUMBER) != 0 && (c < '0' || c > '9')) {
          MessageBeep(0);
          return 0;
        }
        Replace(hwnd, *e, std::string(1, static_cast<char>(c)), true);
      }
      return 0;
    }
    case WM_KEYDOWN: {
      const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
      const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
      if (wParam == VK_INSERT && (shift || ctrl)) {
        SendMessage(hwnd, shift ? WM_PASTE : WM_COPY, 0, 0);
        return 0;
      }
      if (wParam == VK_DELETE && shift && !ctrl) {
        SendMessage(hwnd, WM_CUT, 0, 0);
        return 0;
      }
      const std::size_t size = TextOf(hwnd).size();
      std::size_t caret = e->caret;
      switch (wParam) {
        case VK_LEFT: caret = caret > 0 ? caret - 1 : 0; break;
        case VK_RIGHT: caret = std::min(caret + 1, size); break;
        case VK_HOME: caret = 0; break;
        case VK_END: caret = size; break;
        case VK_DELETE:
          if (!readOnly) {
            if (e->anchor == e->caret && e->caret < size) {
              e->anchor = e->caret + 1;
            }
            Replace(hwnd, *e, "", true);
          }
          return 0;
        default: return 0;
      }
      e->caret = caret;
      if (!shift) {
        e->anchor = caret;
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd, *e);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      SetFocus(hwnd);
      std::size_t at = CharAt(hwnd, *e, GET_X_LPARAM(lParam));
      e->caret = at;
      if ((GetKeyState(VK_SHIFT) & 0x8000) == 0) {
        e->anchor = at;
      }
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd, *e);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (GetCapture() == hwnd) {
        e->caret = CharAt(hwnd, *e, GET_X_LPARAM(lParam));
        InvalidateRect(hwnd, nullptr, TRUE);
        PlaceCaret(hwnd, *e);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) {
        ReleaseCapture();
      }
      return 0;
    case WM_LBUTTONDBLCLK: {
      SetFocus(hwnd);
      // A password shows no words; its double click takes it all.
      const std::string text = TextOf(hwnd);
      auto [from, to] = (style & ES_PASSWORD) != 0
                            ? std::pair<std::size_t, std::size_t>{0, text.size()}
                            : WordAround(text, CharUnder(hwnd, *e, GET_X_LPARAM(lParam)));
      Select(hwnd, *e, from, to);
      return 0;
    }
    case WM_SETFOCUS: {
      e->focused = true;
      TEXTMETRIC tm = Measure(hwnd, *e, [](HDC dc) {
        TEXTMETRIC m{};
        GetTextMetrics(dc, &m);
        return m;
      });
      CreateCaret(hwnd, nullptr, 1, tm.tmHeight);
      PlaceCaret(hwnd, *e);
      ShowCaret(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, EN_SETFOCUS);
      return 0;
    }
    case WM_KILLFOCUS:
      e->focused = false;
      DestroyCaret();
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_SETFONT:
      e->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam) != 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(e->font);
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if ((style & ES_MULTILINE) != 0) {
        code |= DLGC_WANTALLKEYS;
      }
      return code;
    }
    case WM_COPY: Copy(hwnd, *e); return 0;
    case WM_CUT:
      if (!readOnly) {
        Copy(hwnd, *e);
        Replace(hwnd, *e, "", true);
      }
      return 0;
    case WM_PASTE:
      if (!readOnly) {
        Paste(hwnd, *e);
      }
      return 0;
    case WM_CLEAR:
      if (!readOnly) {
        Replace(hwnd, *e, "", true);
      }
      return 0;
    case WM_UNDO:
    case EM_UNDO: {
      std::string before = e->undo;
      e->undo = TextOf(hwnd);
      DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before.c_str()));
      e->anchor = 0;
      e->caret = before.size();
      Changed(hwnd, *e);
      return TRUE;
    }
    case EM_CANUNDO: return TRUE;
    case EM_EMPTYUNDOBUFFER: e->undo = TextOf(hwnd); return 0;
    case EM_GETSEL: {
      auto from = static_cast<DWORD>(std::min(e->anchor, e->caret));
      auto to = static_cast<DWORD>(std::max(e->anchor, e->caret));
      if (wParam != 0) {
        *reinterpret_cast<DWORD*>(wParam) = from;
      }
      if (lParam != 0) {
        *reinterpret_cast<DWORD*>(lParam) = to;
      }
      return MAKELONG(from, to);
    }
    case EM_SETSEL: {
      const std::size_t size = TextOf(hwnd).size();
      auto start = static_cast<int>(wParam);
      auto end = static_cast<int>(lParam);
      if (start < 0) {
        // No selection: the caret stays where it is.
        e->anchor = e->caret;
      } else {
        if (end < 0) {
          end = static_cast<int>(size);
        }
        e->anchor = std::min<std::size_t>(static_cast<std::size_t>(start), size);
        e->caret = std::min<std::size_t>(static_cast<std::size_t>(end), size);
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd, *e);
      return 0;
    }
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(lParam);
      Replace(hwnd, *e, text != nullptr ? text : "", wParam != 0);
      return 0;
    }
    case EM_LIMITTEXT:
      e->limit = wParam == 0 ? 0x7FFFFFFE : static_cast<std::size_t>(wParam);
      return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(e->limit);
    case EM_SETREADONLY:
      SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(wParam != 0 ? (style | ES_READONLY) : (style & ~ES_READONLY)));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case EM_GETMODIFY: return e->modified ? TRUE : FALSE;
    case EM_SETMODIFY: e->modified = wParam != 0; return 0;
    case EM_GETLINECOUNT: {
      std::string text = TextOf(hwnd);
      return 1 + static_cast<LRESULT>(std::count(text.begin(), text.end(), '\n'));
    }
    case EM_SETPASSWORDCHAR:
      e->password = static_cast<char>(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case EM_SETCUEBANNER: {
      const auto* wide = reinterpret_cast<const char16_t*>(lParam);
      e->cue = wide != nullptr ? codepage::Utf16ToCp1251(wide) : std::string();
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_SCROLLCARET: PlaceCaret(hwnd, *e); return TRUE;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace user::detail {
WNDPROC EditWindowProc() { return &EditProc; }
}  // namespace user::detail
