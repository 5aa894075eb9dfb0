// The dialog manager.
#include "platform/user/dialog.h"

#include "platform/base/codepage.h"
#include "platform/base/module.h"
#include "platform/display/presenter.h"
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/controls.h"
#include "platform/user/hooks.h"
#include "platform/user/input.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"
#include "platform/user/system.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace user::detail;

namespace {

// ---- Reading templates

// A cursor over template bytes; every read is checked against the end.
class Reader {
public:
  Reader(const BYTE* p, const BYTE* end) : p_(p), end_(end) {}
  bool ok() const { return ok_; }
  template <class T>
  T Read()
  {
    T v{};
    if (end_ - p_ < static_cast<std::ptrdiff_t>(sizeof(T))) {
      ok_ = false;
      return v;
    }
    std::memcpy(&v, p_, sizeof(T));
    p_ += sizeof(T);
    return v;
  }
  std::u16string String()
  {
    std::u16string s;
    for (;;) {
      auto c = Read<char16_t>();
      if (!ok_ || c == 0) {
        return s;
      }
      s.push_back(c);
    }
  }
  // A name or an ordinal: 0 none, 0xFFFF then a number, else a string.
  struct NameOrId {
    std::u16string name;
    WORD id = 0;
    bool isId = false;
  };
  NameOrId Name()
  {
    NameOrId n;
    auto first = Read<WORD>();
    if (first == 0) {
      return n;
    }
    if (first == 0xFFFF) {
      n.isId = true;
      n.id = Read<WORD>();
      return n;
    }
    n.name.push_back(static_cast<char16_t>(first));
    n.name += String();
    return n;
  }
  void AlignTo4(const BYTE* base)
  {
    while (((p_ - base) & 3) != 0 && p_ < end_) {
      ++p_;
    }
  }
  void Skip(std::size_t n)
  {
    if (static_cast<std::size_t>(end_ - p_) < n) {
      ok_ = false;
      return;
    }
    p_ += n;
  }

private:
  const BYTE* p_;
  const BYTE* end_;
  bool ok_ = true;
};

struct ItemLayout {
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT units{};
  int id = 0;
  std::string className;
  std::string text;
};

struct DialogLayout {
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT units{};
  std::string className;
  std::string title;
  int pointSize = 8;
  int weight = 400;
  std::string face = "MS Shell Dlg";
  std::vector<ItemLayout> items;
};

std::string ClassOf(const Reader::NameOrId& n)
{
  if (!n.isId) {
    return codepage::Utf16ToCp1251(n.name);
  }
  switch (n.id) {
    case 0x0080: return "Button";
    case 0x0081: return "Edit";
    case 0x0082: return "Static";
    case 0x0083: return "ListBox";
    case 0x0084: return "ScrollBar";
    case 0x0085: return "ComboBox";
    default: return "#" + std::to_string(n.id);
  }
}

// Templates carry no length: they end after their last item. No template of the program is near this size.
constexpr std::size_t kTemplateBound = 1 << 20;

bool Parse(const void* data, DialogLayout& d)
{
  const auto* base = static_cast<const BYTE*>(data);
  Reader r(base, base + kTemplateBound);
  WORD version = r.Read<WORD>();
  WORD signature = r.Read<WORD>();
  const bool extended = version == 1 && signature == 0xFFFF;
  WORD count = 0;
  if (extended) {
    r.Read<DWORD>();  // help id
    d.exStyle = r.Read<DWORD>();
    d.style = r.Read<DWORD>();
  } else {
    Reader again(base, base + kTemplateBound);
    d.style = again.Read<DWORD>();
    d.exStyle = again.Read<DWORD>();
    r = again;
  }
  count = r.Read<WORD>();
  short x = r.Read<short>();
  short y = r.Read<short>();
  short cx = r.Read<short>();
  short cy = r.Read<short>();
  d.units = RECT{x, y, x + cx, y + cy};
  r.Name();  // menu
  d.className = ClassOf(r.Name());
  d.title = codepage::Utf16ToCp1251(r.String());
  if ((d.style & DS_SETFONT) != 0) {
    d.pointSize = r.Read<WORD>();
    if (extended) {
      d.weight = r.Read<WORD>();
      r.Read<BYTE>();  // italic
      r.Read<BYTE>();  // character set
    }
    d.face = codepage::Utf16ToCp1251(r.String());
  }
  for (WORD i = 0; i < count && r.ok(); ++i) {
    r.AlignTo4(base);
    ItemLayout item;
    if (extended) {
      r.Read<DWORD>();  // help id
      item.exStyle = r.Read<DWORD>();
      item.style = r.Read<DWORD>();
    } else {
      item.style = r.Read<DWORD>();
      item.exStyle = r.Read<DWORD>();
    }
    short ix = r.Read<short>();
    short iy = r.Read<short>();
    short icx = r.Read<short>();
    short icy = r.Read<short>();
    item.units = RECT{ix, iy, ix + icx, iy + icy};
    item.id = extended ? static_cast<int>(r.Read<DWORD>()) : static_cast<int>(r.Read<WORD>());
    item.className = ClassOf(r.Name());
    Reader::NameOrId text = r.Name();
    item.text = text.isId ? std::string() : codepage::Utf16ToCp1251(text.name);
    WORD extra = r.Read<WORD>();
    r.Skip(extra);
    d.items.push_back(std::move(item));
  }
  return r.ok();
}

// ---- The dialogs that exist

struct DialogState {
  HFONT font = nullptr;
  bool ownFont = false;
  SIZE baseUnits{6, 13};
  bool ended = false;
  INT_PTR result = 0;
  HWND lastFocus = nullptr;
  HWND disabledOwner = nullptr;  // the owner a modal run disabled, enabled again when it ends
};

std::map<HWND, DialogState>& Dialogs()
{
  static auto* dialogs = new std::map<HWND, DialogState>;
  return *dialogs;
}

DialogState* StateOf(HWND dialog)
{
  Lock lock(S().mutex);
  auto it = Dialogs().find(dialog);
  return it == Dialogs().end() ? nullptr : &it->second;
}

SIZE BaseUnitsOf(HFONT font)
{
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  const char* sample = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent{};
  GetTextExtentPoint32(dc, sample, 52, &extent);
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return SIZE{(extent.cx / 26 + 1) / 2, tm.tmHeight};
}

RECT ToPixels(const RECT& units, SIZE base)
{
  return RECT{units.left * base.cx / 4, units.top * base.cy / 8, units.right * base.cx / 4,
              units.bottom * base.cy / 8};
}

LRESULT DialogClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  return DefDlgProc(hwnd, msg, wParam, lParam);
}

LPCSTR DialogClass()
{
  static bool done = [] {
    WNDCLASS wc;
    wc.style = CS_DBLCLKS | CS_SAVEBITS | CS_GLOBALCLASS;
    wc.lpfnWndProc = &DialogClassProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.lpszClassName = "#32770";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    return RegisterClass(&wc) != 0;
  }();
  (void)done;
  return "#32770";
}

bool Tabbable(HWND h)
{
  DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  return (style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0;
}

HWND DefaultButton(HWND dialog)
{
  LRESULT def = SendMessage(dialog, DM_GETDEFID, 0, 0);
  if (HIWORD(static_cast<DWORD>(def)) == DC_HASDEFID) {
    return GetDlgItem(dialog, LOWORD(static_cast<DWORD>(def)));
  }
  for (HWND h = GetWindow(dialog, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    if ((SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
      return h;
    }
  }
  return GetDlgItem(dialog, IDOK);
}

void PressCommand(HWND dialog, int id)
{
  HWND control = GetDlgItem(dialog, id);
  if (control != nullptr && !IsWindowEnabled(control)) {
    return;
  }
  SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void FocusControl(HWND control)
{
  if (control == nullptr) {
    return;
  }
  SetFocus(control);
  if ((SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
    SendMessage(control, EM_SETSEL, 0, -1);
  }
}

bool Headless()
{
  return std::strcmp(display::Current().Name(), "null") == 0;
}

}  // namespace

HWND CreateDialogIndirectParam(HINSTANCE instance, const void* dialogTemplate, HWND parent, DLGPROC proc,
                               LPARAM param)
{
  DialogLayout layout;
  if (dialogTemplate == nullptr || !Parse(dialogTemplate, layout)) {
    return nullptr;
  }
  // The dialog font: the template's, at 96 dots an inch.
  HFONT font = CreateFont(-(layout.pointSize * 96 + 36) / 72, 0, 0, 0, layout.weight, 0, 0, 0, 204, 0, 0, 0, 0,
                          layout.face.c_str());
  SIZE base = BaseUnitsOf(font);
  RECT client = ToPixels(layout.units, base);
  DWORD style = layout.style & ~WS_VISIBLE;
  DWORD exStyle = layout.exStyle | ((layout.style & DS_MODALFRAME) != 0 ? WS_EX_DLGMODALFRAME : 0);
  if ((style & DS_CONTROL) != 0) {
    style &= ~(WS_CAPTION | WS_SYSMENU);
    exStyle |= WS_EX_CONTROLPARENT;
  }
  RECT frame{0, 0, client.Width(), client.Height()};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  int x = client.left;
  int y = client.top;
  if ((style & WS_CHILD) == 0) {
    RECT ownerRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (parent != nullptr && (layout.style & DS_CENTER) == 0 && (layout.style & DS_ABSALIGN) == 0) {
      POINT origin{0, 0};
      ClientToScreen(parent, &origin);
      x += origin.x;
      y += origin.y;
    }
    if ((layout.style & DS_CENTER) != 0) {
      RECT work = ownerRect;
      SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
      ownerRect = work;
      // Over a hidden or iconic owner nobody sees it: the screen instead.
      if (parent != nullptr && IsWindowVisible(parent) && !IsIconic(parent)) {
        GetWindowRect(parent, &ownerRect);
      }
      x = ownerRect.left + (ownerRect.Width() - frame.Width()) / 2;
      y = ownerRect.top + (ownerRect.Height() - frame.Height()) / 2;
      // On the screen, its caption first.
      x = std::max(std::min(x, static_cast<int>(work.right) - frame.Width()), static_cast<int>(work.left));
      y = std::max(std::min(y, static_cast<int>(work.bottom) - frame.Height()), static_cast<int>(work.top));
    }
  }
  LPCSTR cls = layout.className.empty() ? DialogClass() : layout.className.c_str();
  DialogClass();
  HWND dialog = CreateWindowEx(exStyle, cls, layout.title.c_str(), style, x, y, frame.Width(), frame.Height(), parent,
                               nullptr, instance, nullptr);
  if (dialog == nullptr) {
    DeleteObject(font);
    return nullptr;
  }
  {
    Lock lock(S().mutex);
    DialogState& st = Dialogs()[dialog];
    st.font = font;
    st.ownFont = true;
    st.baseUnits = base;
  }
  SetWindowLongPtr(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  for (const ItemLayout& item : layout.items) {
    RECT r = ToPixels(item.units, base);
    HWND control = CreateWindowEx(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                                  r.left, r.top, r.Width(), r.Height(), dialog,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
    if (control == nullptr) {
      if ((layout.style & DS_NOFAILCREATE) == 0) {
        DestroyWindow(dialog);
        return nullptr;
      }
      continue;
    }
    SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  if (SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) != 0 && IsWindow(dialog)) {
    FocusControl(GetNextDlgTabItem(dialog, nullptr, FALSE));
  }
  if (IsWindow(dialog) && (layout.style & WS_VISIBLE) != 0) {
    ShowWindow(dialog, SW_SHOWNORMAL);
  }
  return IsWindow(dialog) ? dialog : nullptr;
}

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const void* dialogTemplate, HWND owner, DLGPROC proc,
                               LPARAM param)
{
  if (owner != nullptr) {
    owner = GetAncestor(owner, GA_ROOT);
  }
  HWND dialog = CreateDialogIndirectParam(instance, dialogTemplate, owner, proc, param);
  if (dialog == nullptr) {
    return -1;
  }
  const bool disable = owner != nullptr && IsWindowEnabled(owner);
  if (disable) {
    EnableWindow(owner, FALSE);
  }
  DialogState* st = StateOf(dialog);
  if (st != nullptr && disable) {
    st->disabledOwner = owner;
  }
  if (st != nullptr && !st->ended) {
    ShowWindow(dialog, SW_SHOWNORMAL);
    UpdateWindow(dialog);
  }
  if ((Headless() || user::HasModalResponder()) && st != nullptr && !st->ended) {
    user::ModalQuestion q;
    q.kind = user::ModalQuestion::Kind::Dialog;
    q.owner = owner;
    q.dialog = dialog;
    char title[256];
    GetWindowText(dialog, title, sizeof title);
    q.caption = title;
    // A template from a module tells the responder which dialog this is; one built in memory has no id.
    q.dialogId = platform::FindBinaryResourceId(instance != nullptr ? instance : GetModuleHandle(nullptr),
                                                static_cast<WORD>(reinterpret_cast<ULONG_PTR>(RT_DIALOG)),
                                                dialogTemplate);
    q.answers = {IDOK, IDCANCEL};
    int answer = user::AskModal(q);
    if (answer != 0 && IsWindow(dialog)) {
      PressCommand(dialog, answer);
    }
  }
  MSG msg{};
  bool quit = false;
  while (IsWindow(dialog) && (st = StateOf(dialog)) != nullptr && !st->ended) {
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      quit = true;
      break;
    }
    if (CallMsgFilter(&msg, MSGF_DIALOGBOX)) {
      continue;
    }
    if (!IsDialogMessage(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  INT_PTR result = -1;
  if ((st = StateOf(dialog)) != nullptr) {
    result = st->ended ? st->result : IDCANCEL;
  }
  if (disable && IsWindow(owner) && !IsWindowEnabled(owner)) {
    EnableWindow(owner, TRUE);
  }
  if (IsWindow(dialog)) {
    DestroyWindow(dialog);
  }
  if (quit) {
    PostQuitMessage(static_cast<int>(msg.wParam));
  }
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
  HWND owner = nullptr;
  {
    Lock lock(S().mutex);
    auto it = Dialogs().find(dialog);
    if (it == Dialogs().end()) {
      return FALSE;
    }
    it->second.ended = true;
    it->second.result = result;
    owner = it->second.disabledOwner;
    it->second.disabledOwner = nullptr;
    if (Window* w = Find(dialog); w != nullptr && w->queue) {
      WakeQueue(*w->queue);
    }
  }
  // The owner first, so that the activation can go back to it when the dialog hides.
  if (owner != nullptr && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
  }
  ShowWindow(dialog, SW_HIDE);
  return TRUE;
}

LRESULT DefDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(dialog, DWLP_DLGPROC));
  if (proc != nullptr) {
    SetWindowLongPtr(dialog, DWLP_MSGRESULT, 0);
    INT_PTR handled = proc(dialog, msg, wParam, lParam);
    if (handled != 0) {
      switch (msg) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORSCROLLBAR:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON: return handled;
        default: return IsWindow(dialog) ? GetWindowLongPtr(dialog, DWLP_MSGRESULT) : 0;
      }
    }
  }
  switch (msg) {
    case WM_INITDIALOG: return 0;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(dialog, &r);
      auto dc = reinterpret_cast<HDC>(wParam);
      LRESULT brush = SendMessage(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog));
      FillRect(dc, &r, brush != 0 ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(COLOR_3DFACE));
      return 1;
    }
    case WM_CLOSE: {
      HWND cancel = GetDlgItem(dialog, IDCANCEL);
      if (cancel == nullptr || IsWindowEnabled(cancel)) {
        PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      }
      return 0;
    }
    case WM_SETFOCUS: {
      DialogState* st = StateOf(dialog);
      HWND back = st != nullptr && IsWindow(st->lastFocus) ? st->lastFocus : GetNextDlgTabItem(dialog, nullptr, FALSE);
      FocusControl(back);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (DialogState* st = StateOf(dialog)) {
          HWND focus = GetFocus();
          if (IsChild(dialog, focus)) {
            st->lastFocus = focus;
          }
        }
        return 0;
      }
      break;
    case WM_NEXTDLGCTL: {
      HWND target = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                         : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
      FocusControl(target);
      return 0;
    }
    case DM_GETDEFID: return 0;
    case WM_GETFONT: {
      DialogState* st = StateOf(dialog);
      return st != nullptr ? reinterpret_cast<LRESULT>(st->font) : 0;
    }
    case WM_NCDESTROY: {
      HFONT font = nullptr;
      {
        Lock lock(S().mutex);
        auto it = Dialogs().find(dialog);
        if (it != Dialogs().end()) {
          if (it->second.ownFont) {
            font = it->second.font;
          }
          Dialogs().erase(it);
        }
      }
      if (font != nullptr) {
        DeleteObject(font);
      }
      break;
    }
    default: break;
  }
  return DefWindowProc(dialog, msg, wParam, lParam);
}

BOOL IsDialogMessage(HWND dialog, MSG* msg)
{
  if (msg == nullptr || dialog == nullptr || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) {
    return FALSE;
  }
  if (msg->message == WM_KEYDOWN) {
    LRESULT code = SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    const bool wantsAll = (code & DLGC_WANTALLKEYS) != 0;
    switch (msg->wParam) {
      case VK_TAB:
        if ((code & DLGC_WANTTAB) == 0) {
          FocusControl(GetNextDlgTabItem(dialog, GetFocus(), (GetKeyState(VK_SHIFT) & 0x8000) != 0));
          return TRUE;
        }
        break;
      case VK_RETURN:
        if (!wantsAll) {
          // A push button with the focus is the one Enter presses; otherwise the default one.
          HWND focus = GetFocus();
          HWND press = IsChild(dialog, focus) &&
                               (SendMessage(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0
                           ? focus
                           : DefaultButton(dialog);
          PressCommand(dialog, press != nullptr ? GetDlgCtrlID(press) : IDOK);
          return TRUE;
        }
        break;
      case VK_ESCAPE:
        if (!wantsAll) {
          PressCommand(dialog, IDCANCEL);
          return TRUE;
        }
        break;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
        if ((code & DLGC_WANTARROWS) == 0) {
          const bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
          HWND next = GetNextDlgGroupItem(dialog, GetFocus(), back);
          FocusControl(next);
          if (next != nullptr && (SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0) {
            SendMessage(next, BM_CLICK, 0, 0);
          }
          return TRUE;
        }
        break;
      default: break;
    }
  }
  TranslateMessage(msg);
  DispatchMessage(msg);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous)
{
  std::vector<HWND> all;
  for (HWND h = GetWindow(dialog, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    all.push_back(h);
  }
  if (all.empty()) {
    return nullptr;
  }
  const int n = static_cast<int>(all.size());
  int start = previous ? 0 : n - 1;
  for (int i = 0; i < n; ++i) {
    if (all[static_cast<std::size_t>(i)] == control) {
      start = i;
    }
  }
  for (int k = 1; k <= n; ++k) {
    int i = previous ? (start - k + n * 2) % n : (start + k) % n;
    if (Tabbable(all[static_cast<std::size_t>(i)])) {
      return all[static_cast<std::size_t>(i)];
    }
  }
  return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
  // The group: from the last WS_GROUP control at or before `control` to the next WS_GROUP one.
  std::vector<HWND> all;
  for (HWND h = GetWindow(dialog, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    all.push_back(h);
  }
  auto it = std::find(all.begin(), all.end(), control);
  if (it == all.end()) {
    return control;
  }
  std::size_t at = static_cast<std::size_t>(it - all.begin());
  std::size_t first = at;
  while (first > 0 && (GetWindowLong(all[first], GWL_STYLE) & WS_GROUP) == 0) {
    --first;
  }
  std::size_t last = at + 1;
  while (last < all.size() && (GetWindowLong(all[last], GWL_STYLE) & WS_GROUP) == 0) {
    ++last;
  }
  const std::size_t size = last - first;
  for (std::size_t k = 1; k < size; ++k) {
    std::size_t i = first + (previous ? (at - first + size - k) % size : (at - first + k) % size);
    DWORD style = static_cast<DWORD>(GetWindowLong(all[i], GWL_STYLE));
    if ((style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0) {
      return all[i];
    }
  }
  return control;
}

BOOL MapDialogRect(HWND dialog, RECT* rect)
{
  DialogState* st = StateOf(dialog);
  if (st == nullptr || rect == nullptr) {
    return FALSE;
  }
  *rect = ToPixels(*rect, st->baseUnits);
  return TRUE;
}

LONG GetDialogBaseUnits()
{
  static SIZE base = [] {
    HFONT font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    return BaseUnitsOf(font);
  }();
  return MAKELONG(static_cast<unsigned>(base.cx), static_cast<unsigned>(base.cy));
}

BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text) { return SetWindowText(GetDlgItem(dialog, id), text); }

UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size)
{
  return static_cast<UINT>(GetWindowText(GetDlgItem(dialog, id), buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
  char text[16];
  if (isSigned) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  } else {
    std::snprintf(text, sizeof text, "%u", value);
  }
  return SetDlgItemText(dialog, id, text);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned)
{
  char text[64] = {};
  GetDlgItemText(dialog, id, text, sizeof text);
  const char* p = text;
  while (*p == ' ') {
    ++p;
  }
  char* end = nullptr;
  long long v = std::strtoll(p, &end, 10);
  while (end != nullptr && *end == ' ') {
    ++end;
  }
  bool ok = end != p && end != nullptr && *end == '\0' && (isSigned || *p != '-') &&
            v >= (isSigned ? INT32_MIN : 0) && v <= (isSigned ? INT32_MAX : UINT32_MAX);
  if (translated != nullptr) {
    *translated = ok ? TRUE : FALSE;
  }
  return ok ? static_cast<UINT>(v) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
  SendDlgItemMessage(dialog, id, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
  return static_cast<UINT>(SendDlgItemMessage(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check)
{
  for (int id = first; id <= last; ++id) {
    SendDlgItemMessage(dialog, id, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam)
{
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr ? SendMessage(control, msg, wParam, lParam) : 0;
}
