// Property sheets.
#include "platform/user/prsht.h"

#include "platform/base/codepage.h"
#include "platform/display/presenter.h"
#include "platform/gdi/windraw.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/controls.h"
#include "platform/user/dialog_template.h"
#include "platform/user/hooks.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/system.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <vector>

struct PSP__ {
  // The caller's description, dwSize bytes of it, with whatever the caller keeps after the documented fields:
  // pages get a pointer to this copy, as Windows gives it.
  std::vector<std::max_align_t> storage;
  PROPSHEETPAGE* Desc() { return reinterpret_cast<PROPSHEETPAGE*>(storage.data()); }
};

namespace {

// ---- Templates: what the sheet needs to know of a page's template, and a child-dialog copy of it.
//
// DLGTEMPLATE: style, extended style (DWORD each), item count (WORD), x, y, cx, cy (short each);
// DLGTEMPLATEEX: version 1 and signature 0xFFFF (WORD each), help id, extended style, style (DWORD each), then as
// above. Then the menu and the class (each 0, 0xFFFF and an ordinal, or a UTF-16 string), the caption (UTF-16),
// and with DS_SETFONT the point size (WORD; the extended form adds weight WORD, italic and charset BYTE) and the
// face (UTF-16). Each item starts on a four-byte boundary: help id (extended only), styles, x, y, cx, cy, id
// (WORD; DWORD in the extended form), class and text (name or ordinal), and a WORD count of creation bytes.

// Templates carry no length; none of ours comes near this.
constexpr std::size_t kTemplateBound = 1 << 20;

struct TemplateFacts {
  bool extended = false;
  std::size_t styleOffset = 0;
  DWORD style = 0;
  short cx = 0;
  short cy = 0;
  std::string caption;
  std::size_t length = 0;
};

class Cursor {
public:
  explicit Cursor(const BYTE* base) : base_(base) {}
  bool ok() const { return ok_; }
  std::size_t at() const { return at_; }
  template <class T>
  T Read()
  {
    T v{};
    if (!ok_ || kTemplateBound - at_ < sizeof(T)) {
      ok_ = false;
      return v;
    }
    std::memcpy(&v, base_ + at_, sizeof(T));
    at_ += sizeof(T);
    return v;
  }
  std::u16string String()
  {
    std::u16string s;
    for (char16_t c = Read<char16_t>(); ok_ && c != 0; c = Read<char16_t>()) {
      s.push_back(c);
    }
    return s;
  }
  void NameOrOrdinal()
  {
    const WORD first = Read<WORD>();
    if (first == 0xFFFF) {
      Read<WORD>();
    } else if (first != 0) {
      String();
    }
  }
  void Skip(std::size_t n)
  {
    if (kTemplateBound - at_ < n) {
      ok_ = false;
      return;
    }
    at_ += n;
  }
  void Align4() { Skip((4 - at_ % 4) % 4); }

private:
  const BYTE* base_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

bool ReadTemplate(const void* data, TemplateFacts& f)
{
  if (data == nullptr) {
    return false;
  }
  Cursor c(static_cast<const BYTE*>(data));
  const WORD version = c.Read<WORD>();
  const WORD signature = c.Read<WORD>();
  f.extended = version == 1 && signature == 0xFFFF;
  Cursor r(static_cast<const BYTE*>(data));
  if (f.extended) {
    r.Skip(8);  // version, signature, help id
    r.Read<DWORD>();
    f.styleOffset = r.at();
    f.style = r.Read<DWORD>();
  } else {
    f.styleOffset = 0;
    f.style = r.Read<DWORD>();
    r.Read<DWORD>();
  }
  const WORD count = r.Read<WORD>();
  r.Skip(4);  // x, y
  f.cx = r.Read<short>();
  f.cy = r.Read<short>();
  r.NameOrOrdinal();  // menu
  r.NameOrOrdinal();  // class
  f.caption = codepage::Utf16ToCp1251(r.String());
  if ((f.style & DS_SETFONT) != 0) {
    r.Skip(f.extended ? 6 : 2);
    r.String();
  }
  for (WORD i = 0; i < count && r.ok(); ++i) {
    r.Align4();
    r.Skip(f.extended ? 24 : 18);
    r.NameOrOrdinal();  // class
    r.NameOrOrdinal();  // text
    r.Skip(r.Read<WORD>());
  }
  f.length = r.at();
  return r.ok();
}

// ---- The sheets that exist

struct Page {
  HPROPSHEETPAGE handle = nullptr;
  HWND hwnd = nullptr;
  std::string title;
};

struct Sheet {
  HWND hwnd = nullptr;
  HWND tab = nullptr;
  DWORD flags = 0;
  HINSTANCE instance = nullptr;
  PFNPROPSHEETCALLBACK callback = nullptr;
  std::string startTitle;  // PSH_USEPSTARTPAGE
  int startPage = 0;
  std::vector<Page> pages;
  int current = -1;
  RECT pageArea{};
  std::set<HWND> changed;
  bool ended = false;
  bool saved = false;
  INT_PTR restart = 0;  // ID_PSRESTARTWINDOWS or ID_PSREBOOTSYSTEM once a page asked for it
};

std::mutex& SheetsMutex()
{
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::map<HWND, std::shared_ptr<Sheet>>& Sheets()
{
  static auto* sheets = new std::map<HWND, std::shared_ptr<Sheet>>;
  return *sheets;
}

std::shared_ptr<Sheet> SheetOf(HWND hwnd)
{
  std::lock_guard lock(SheetsMutex());
  auto it = Sheets().find(hwnd);
  return it == Sheets().end() ? nullptr : it->second;
}

// The sheet being made, for its WM_INITDIALOG.
thread_local std::shared_ptr<Sheet> t_making;

bool Headless() { return std::strcmp(display::Current().Name(), "null") == 0; }

std::string TextOf(HINSTANCE instance, LPCSTR text)
{
  if (text == nullptr) {
    return {};
  }
  if (IS_INTRESOURCE(text)) {
    char buffer[1024] = {};
    LoadString(instance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)), buffer, sizeof buffer);
    return buffer;
  }
  return text;
}

const void* PageTemplate(PROPSHEETPAGE& desc)
{
  if ((desc.dwFlags & PSP_DLGINDIRECT) != 0) {
    return desc.pResource;
  }
  HRSRC resource = FindResource(desc.hInstance, desc.pszTemplate, RT_DIALOG);
  HGLOBAL loaded = resource != nullptr ? LoadResource(desc.hInstance, resource) : nullptr;
  return loaded != nullptr ? LockResource(loaded) : nullptr;
}

// A page's facts; a template that cannot be read counts as an empty untitled page.
TemplateFacts FactsOf(HPROPSHEETPAGE page)
{
  TemplateFacts f;
  if (!ReadTemplate(PageTemplate(*page->Desc()), f)) {
    f = TemplateFacts{};
  }
  return f;
}

std::string TitleOf(HPROPSHEETPAGE page)
{
  PROPSHEETPAGE& d = *page->Desc();
  if ((d.dwFlags & PSP_USETITLE) != 0) {
    return TextOf(d.hInstance, d.pszTitle);
  }
  return FactsOf(page).caption;
}

LRESULT NotifyPage(Sheet& s, int index, UINT code, LPARAM lParam = 0)
{
  if (index < 0 || index >= static_cast<int>(s.pages.size()) || s.pages[index].hwnd == nullptr) {
    return 0;
  }
  PSHNOTIFY n{};
  n.hdr.hwndFrom = s.hwnd;
  n.hdr.idFrom = 0;
  n.hdr.code = code;
  n.lParam = lParam;
  return SendMessage(s.pages[index].hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
}

void EnableApply(Sheet& s)
{
  EnableWindow(GetDlgItem(s.hwnd, IDC_PROPSHEET_APPLYNOW), s.changed.empty() ? FALSE : TRUE);
}

// Makes the page's window on first need: a child of the sheet over the tab control's display area.
bool MakePage(Sheet& s, int index)
{
  Page& page = s.pages[index];
  if (page.hwnd != nullptr) {
    return true;
  }
  PROPSHEETPAGE& desc = *page.handle->Desc();
  const void* data = PageTemplate(desc);
  TemplateFacts f;
  if (!ReadTemplate(data, f)) {
    return false;
  }
  if ((desc.dwFlags & PSP_USECALLBACK) != 0 && desc.pfnCallback != nullptr &&
      desc.pfnCallback(nullptr, PSPCB_CREATE, &desc) == 0) {
    return false;
  }
  // Whatever the template says, a page is a control-parent child without a frame of its own.
  std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + f.length);
  DWORD style = (f.style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_VISIBLE |
                             WS_DISABLED | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) |
                WS_CHILD | DS_CONTROL | DS_3DLOOK;
  std::memcpy(copy.data() + f.styleOffset, &style, sizeof style);
  HWND hwnd = CreateDialogIndirectParam(desc.hInstance, copy.data(), s.hwnd, desc.pfnDlgProc,
                                        reinterpret_cast<LPARAM>(&desc));
  if (hwnd == nullptr || !IsWindow(s.hwnd)) {
    return false;
  }
  page.hwnd = hwnd;
  SetWindowPos(hwnd, HWND_TOP, s.pageArea.left, s.pageArea.top, s.pageArea.Width(), s.pageArea.Height(),
               SWP_NOACTIVATE);
  return true;
}

// Shows the page once it took the activation; false when it refused or could not be made.
bool Activate(Sheet& s, int index)
{
  if (index < 0 || index >= static_cast<int>(s.pages.size()) || !MakePage(s, index)) {
    return false;
  }
  if (NotifyPage(s, index, PSN_SETACTIVE) == -1) {
    return false;
  }
  const int old = s.current;
  s.current = index;
  if (old >= 0 && old != index && old < static_cast<int>(s.pages.size()) && s.pages[old].hwnd != nullptr) {
    ShowWindow(s.pages[old].hwnd, SW_HIDE);
  }
  SetWindowPos(s.pages[index].hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SendMessage(s.tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  return true;
}

// After the current page let go: the new one, or back to the old one when the new one refuses.
bool ActivateAfterLettingGo(Sheet& s, int index, int old)
{
  if (Activate(s, index)) {
    return true;
  }
  if (old >= 0) {
    Activate(s, old);
  }
  return false;
}

bool SwitchTo(Sheet& s, int index)
{
  if (index < 0 || index >= static_cast<int>(s.pages.size())) {
    return false;
  }
  if (index == s.current) {
    return true;
  }
  if (s.current >= 0 && NotifyPage(s, s.current, PSN_KILLACTIVE) != 0) {
    return false;
  }
  return ActivateAfterLettingGo(s, index, s.current);
}

// Apply or OK: the current page must let go, then every page made so far saves its values.
bool Apply(Sheet& s, bool ok)
{
  if (s.current >= 0 && NotifyPage(s, s.current, PSN_KILLACTIVE) != 0) {
    return false;
  }
  for (int i = 0; i < static_cast<int>(s.pages.size()); ++i) {
    const LRESULT r = NotifyPage(s, i, PSN_APPLY, ok ? TRUE : FALSE);
    if (r == PSNRET_INVALID) {
      ActivateAfterLettingGo(s, i, s.current);
      return false;
    }
    if (r == PSNRET_INVALID_NOCHANGEPAGE) {
      NotifyPage(s, s.current, PSN_SETACTIVE);
      return false;
    }
  }
  s.saved = true;
  s.changed.clear();
  EnableApply(s);
  if (!ok) {
    // The current page goes on being the active one.
    NotifyPage(s, s.current, PSN_SETACTIVE);
  }
  return true;
}

void End(Sheet& s)
{
  s.ended = true;
  if ((s.flags & PSH_MODELESS) == 0) {
    ShowWindow(s.hwnd, SW_HIDE);
  }
}

void Cancel(Sheet& s, bool ask)
{
  if (ask && s.current >= 0 && NotifyPage(s, s.current, PSN_QUERYCANCEL) != 0) {
    return;
  }
  for (int i = 0; i < static_cast<int>(s.pages.size()); ++i) {
    NotifyPage(s, i, PSN_RESET);
  }
  End(s);
}

void Press(Sheet& s, int button)
{
  switch (button) {
    case PSBTN_OK:
      if (IsWindowEnabled(GetDlgItem(s.hwnd, IDOK)) && Apply(s, true)) {
        End(s);
      }
      break;
    case PSBTN_CANCEL:
      if (IsWindowEnabled(GetDlgItem(s.hwnd, IDCANCEL))) {
        Cancel(s, true);
      }
      break;
    case PSBTN_APPLYNOW:
      if (IsWindowEnabled(GetDlgItem(s.hwnd, IDC_PROPSHEET_APPLYNOW))) {
        Apply(s, false);
      }
      break;
    case PSBTN_HELP: NotifyPage(s, s.current, PSN_HELP); break;
    default: break;
  }
}

INT_PTR Result(const Sheet& s)
{
  if (!s.saved) {
    return 0;
  }
  return s.restart != 0 ? s.restart : 1;
}

void DestroyPages(Sheet& s)
{
  for (Page& p : s.pages) {
    DestroyPropertySheetPage(p.handle);
  }
  s.pages.clear();
}

int InsertPage(Sheet& s, int at, HPROPSHEETPAGE handle)
{
  at = std::clamp(at, 0, static_cast<int>(s.pages.size()));
  Page page;
  page.handle = handle;
  page.title = TitleOf(handle);
  s.pages.insert(s.pages.begin() + at, page);
  TCITEM item{};
  item.mask = TCIF_TEXT;
  item.pszText = page.title.data();
  SendMessage(s.tab, TCM_INSERTITEM, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
  if (s.current >= at) {
    ++s.current;
  }
  if (s.current >= 0) {
    SendMessage(s.tab, TCM_SETCURSEL, static_cast<WPARAM>(s.current), 0);
  }
  return at;
}

void RemovePage(Sheet& s, int index)
{
  if (index < 0 || index >= static_cast<int>(s.pages.size())) {
    return;
  }
  if (index == s.current) {
    // Another page takes over first: the next one, else the one before.
    const int next = index + 1 < static_cast<int>(s.pages.size()) ? index + 1 : index - 1;
    s.current = -1;
    if (next >= 0) {
      Activate(s, next);
    }
  }
  Page gone = s.pages[index];
  s.pages.erase(s.pages.begin() + index);
  SendMessage(s.tab, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
  if (s.current > index) {
    --s.current;
  }
  if (s.current >= 0) {
    SendMessage(s.tab, TCM_SETCURSEL, static_cast<WPARAM>(s.current), 0);
  }
  if (gone.hwnd != nullptr) {
    s.changed.erase(gone.hwnd);
    EnableApply(s);
    DestroyWindow(gone.hwnd);
  }
  DestroyPropertySheetPage(gone.handle);
}

int IndexOfWindow(const Sheet& s, HWND hwnd)
{
  for (std::size_t i = 0; i < s.pages.size(); ++i) {
    if (s.pages[i].hwnd == hwnd) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int IndexOfHandle(const Sheet& s, HPROPSHEETPAGE handle)
{
  for (std::size_t i = 0; i < s.pages.size(); ++i) {
    if (s.pages[i].handle == handle) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

// Lays the sheet out in dialog units of its own font, as Windows does: the tab control 7 units in from the
// edges around the largest page, and below it, right-aligned, buttons of 50 x 14 units 4 apart.
void Layout(Sheet& s)
{
  short cx = 0;
  short cy = 0;
  for (const Page& p : s.pages) {
    TemplateFacts f = FactsOf(p.handle);
    cx = std::max(cx, f.cx);
    cy = std::max(cy, f.cy);
  }
  RECT page{0, 0, cx, cy};
  RECT margin{0, 0, 7, 7};
  RECT button{0, 0, 50, 14};
  RECT gap{0, 0, 4, 4};
  MapDialogRect(s.hwnd, &page);
  MapDialogRect(s.hwnd, &margin);
  MapDialogRect(s.hwnd, &button);
  MapDialogRect(s.hwnd, &gap);
  RECT whole = page;
  SendMessage(s.tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&whole));
  const int mx = margin.Width();
  const int my = margin.Height();
  const int bw = button.Width();
  const int bh = button.Height();
  const int gx = gap.Width();

  std::vector<HWND> shown;
  for (int id : {IDOK, IDCANCEL, IDC_PROPSHEET_APPLYNOW, IDHELP}) {
    HWND b = GetDlgItem(s.hwnd, id);
    if (b != nullptr && (GetWindowLong(b, GWL_STYLE) & WS_VISIBLE) != 0) {
      shown.push_back(b);
    }
  }
  const int buttonsWidth = static_cast<int>(shown.size()) * bw + std::max(0, static_cast<int>(shown.size()) - 1) * gx;
  const int clientWidth = std::max(whole.Width(), buttonsWidth) + 2 * mx;
  const int buttonTop = my + whole.Height() + my;
  const int clientHeight = buttonTop + bh + my;

  MoveWindow(s.tab, mx, my, clientWidth - 2 * mx, whole.Height(), FALSE);
  s.pageArea = page.Offset(mx - whole.left, my - whole.top);
  int x = clientWidth - mx - buttonsWidth;
  for (HWND b : shown) {
    MoveWindow(b, x, buttonTop, bw, bh, FALSE);
    x += bw + gx;
  }
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLong(s.hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLong(s.hwnd, GWL_EXSTYLE)));
  // Centred over the owner (the screen without one).
  RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HWND owner = GetWindow(s.hwnd, GW_OWNER);
  if (owner != nullptr) {
    GetWindowRect(owner, &over);
  }
  SetWindowPos(s.hwnd, nullptr, std::max(0, over.left + (over.Width() - frame.Width()) / 2),
               std::max(0, over.top + (over.Height() - frame.Height()) / 2), frame.Width(), frame.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Initialise(Sheet& s, HWND hwnd)
{
  s.hwnd = hwnd;
  const auto font = static_cast<WPARAM>(SendMessage(hwnd, WM_GETFONT, 0, 0));
  auto make = [&](LPCSTR cls, LPCSTR text, DWORD style, int id) {
    HWND h = CreateWindowEx(0, cls, text, WS_CHILD | style, 0, 0, 0, 0, hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessage(h, WM_SETFONT, font, FALSE);
    return h;
  };
  s.tab = make(WC_TABCONTROL, "", WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_GROUP, IDC_PROPSHEET_TABCONTROL);
  make("Button", "OK", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, IDOK);
  make("Button", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
  make("Button", "&Apply",
       ((s.flags & PSH_NOAPPLYNOW) == 0 ? WS_VISIBLE : 0) | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON,
       IDC_PROPSHEET_APPLYNOW);
  make("Button", "Help", ((s.flags & PSH_HASHELP) != 0 ? WS_VISIBLE : 0) | WS_TABSTOP | BS_PUSHBUTTON, IDHELP);
  std::vector<HPROPSHEETPAGE> handles;
  for (const Page& p : s.pages) {
    handles.push_back(p.handle);
  }
  s.pages.clear();
  for (HPROPSHEETPAGE h : handles) {
    InsertPage(s, static_cast<int>(s.pages.size()), h);
  }
  Layout(s);
  int start = std::clamp(s.startPage, 0, std::max(0, static_cast<int>(s.pages.size()) - 1));
  if ((s.flags & PSH_USEPSTARTPAGE) != 0) {
    start = 0;
    for (std::size_t i = 0; i < s.pages.size(); ++i) {
      if (s.pages[i].title == s.startTitle) {
        start = static_cast<int>(i);
      }
    }
  }
  // A start page that refuses hands over to the next one that takes it.
  for (std::size_t tried = 0; tried < s.pages.size(); ++tried) {
    if (Activate(s, (start + static_cast<int>(tried)) % static_cast<int>(s.pages.size()))) {
      break;
    }
  }
  if (s.callback != nullptr) {
    s.callback(hwnd, PSCB_INITIALIZED, 0);
  }
}

bool Tabbable(HWND h)
{
  const auto style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  return (style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0;
}

// Tab goes through the tab control, the current page's controls and the buttons, round and round.
void MoveFocus(Sheet& s, bool back)
{
  std::vector<HWND> order;
  if (Tabbable(s.tab)) {
    order.push_back(s.tab);
  }
  if (s.current >= 0 && s.pages[s.current].hwnd != nullptr) {
    for (HWND c = GetWindow(s.pages[s.current].hwnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      if (Tabbable(c)) {
        order.push_back(c);
      }
    }
  }
  for (int id : {IDOK, IDCANCEL, IDC_PROPSHEET_APPLYNOW, IDHELP}) {
    HWND b = GetDlgItem(s.hwnd, id);
    if (b != nullptr && Tabbable(b)) {
      order.push_back(b);
    }
  }
  if (order.empty()) {
    return;
  }
  HWND focus = GetFocus();
  const auto at = std::find_if(order.begin(), order.end(), [&](HWND h) { return h == focus || IsChild(h, focus); });
  const int n = static_cast<int>(order.size());
  int next = back ? n - 1 : 0;
  if (at != order.end()) {
    next = (static_cast<int>(at - order.begin()) + (back ? n - 1 : 1)) % n;
  }
  SetFocus(order[next]);
  if ((SendMessage(order[next], WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
    SendMessage(order[next], EM_SETSEL, 0, -1);
  }
}

BOOL IsSheetMessage(Sheet& s, MSG* msg)
{
  if (msg == nullptr) {
    return FALSE;
  }
  if (msg->message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) != 0 && !s.pages.empty() &&
      (msg->hwnd == s.hwnd || IsChild(s.hwnd, msg->hwnd))) {
    const int n = static_cast<int>(s.pages.size());
    int step = 0;
    if (msg->wParam == VK_TAB) {
      step = (GetKeyState(VK_SHIFT) & 0x8000) != 0 ? -1 : 1;
    } else if (msg->wParam == VK_NEXT) {
      step = 1;
    } else if (msg->wParam == VK_PRIOR) {
      step = -1;
    }
    if (step != 0) {
      SwitchTo(s, ((s.current < 0 ? 0 : s.current) + step + n) % n);
      return TRUE;
    }
  }
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) == 0 &&
      (msg->hwnd == s.hwnd || IsChild(s.hwnd, msg->hwnd)) &&
      (SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) &
       (DLGC_WANTTAB | DLGC_WANTALLKEYS)) == 0) {
    MoveFocus(s, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
    return TRUE;
  }
  return IsDialogMessage(s.hwnd, msg);
}

INT_PTR Answer(HWND hwnd, LRESULT value)
{
  SetWindowLongPtr(hwnd, DWLP_MSGRESULT, value);
  return TRUE;
}

INT_PTR SheetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_INITDIALOG) {
    std::shared_ptr<Sheet> s = std::move(t_making);
    if (s == nullptr) {
      return TRUE;
    }
    {
      std::lock_guard lock(SheetsMutex());
      Sheets()[hwnd] = s;
    }
    Initialise(*s, hwnd);
    return TRUE;
  }
  std::shared_ptr<Sheet> keep = SheetOf(hwnd);
  if (keep == nullptr) {
    return FALSE;
  }
  Sheet& s = *keep;
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: Press(s, PSBTN_OK); return TRUE;
        case IDCANCEL: Press(s, PSBTN_CANCEL); return TRUE;
        case IDC_PROPSHEET_APPLYNOW: Press(s, PSBTN_APPLYNOW); return TRUE;
        case IDHELP: Press(s, PSBTN_HELP); return TRUE;
        default: return FALSE;
      }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lParam);
      if (hdr == nullptr || hdr->hwndFrom != s.tab) {
        return FALSE;
      }
      if (hdr->code == TCN_SELCHANGING) {
        return Answer(hwnd, s.current >= 0 && NotifyPage(s, s.current, PSN_KILLACTIVE) != 0 ? TRUE : FALSE);
      }
      if (hdr->code == TCN_SELCHANGE) {
        ActivateAfterLettingGo(s, static_cast<int>(SendMessage(s.tab, TCM_GETCURSEL, 0, 0)), s.current);
        return Answer(hwnd, 0);
      }
      return FALSE;
    }
    case PSM_SETCURSEL: {
      int index = static_cast<int>(wParam);
      if (lParam != 0) {
        index = IndexOfHandle(s, reinterpret_cast<HPROPSHEETPAGE>(lParam));
      }
      return Answer(hwnd, SwitchTo(s, index) ? TRUE : FALSE);
    }
    case PSM_SETCURSELID:
      for (std::size_t i = 0; i < s.pages.size(); ++i) {
        PROPSHEETPAGE& d = *s.pages[i].handle->Desc();
        if ((d.dwFlags & PSP_DLGINDIRECT) == 0 && d.pszTemplate == reinterpret_cast<LPCSTR>(lParam)) {
          return Answer(hwnd, SwitchTo(s, static_cast<int>(i)) ? TRUE : FALSE);
        }
      }
      return Answer(hwnd, FALSE);
    case PSM_ADDPAGE:
    case PSM_INSERTPAGE: {
      auto handle = reinterpret_cast<HPROPSHEETPAGE>(lParam);
      if (handle == nullptr) {
        return Answer(hwnd, FALSE);
      }
      int at = static_cast<int>(s.pages.size());
      if (msg == PSM_INSERTPAGE) {
        // After the page named by a handle, or at an index.
        at = wParam < 0x10000 ? static_cast<int>(wParam)
                              : IndexOfHandle(s, reinterpret_cast<HPROPSHEETPAGE>(wParam)) + 1;
      }
      InsertPage(s, at, handle);
      if (s.current < 0) {
        Activate(s, at);
      }
      return Answer(hwnd, TRUE);
    }
    case PSM_REMOVEPAGE: {
      int index = static_cast<int>(wParam);
      if (lParam != 0) {
        index = IndexOfHandle(s, reinterpret_cast<HPROPSHEETPAGE>(lParam));
      }
      RemovePage(s, index);
      return Answer(hwnd, 0);
    }
    case PSM_CHANGED:
      if (IndexOfWindow(s, reinterpret_cast<HWND>(wParam)) >= 0) {
        s.changed.insert(reinterpret_cast<HWND>(wParam));
        EnableApply(s);
      }
      return Answer(hwnd, 0);
    case PSM_UNCHANGED:
      s.changed.erase(reinterpret_cast<HWND>(wParam));
      EnableApply(s);
      return Answer(hwnd, 0);
    case PSM_RESTARTWINDOWS:
      s.restart = std::max(s.restart, ID_PSRESTARTWINDOWS);
      return Answer(hwnd, 0);
    case PSM_REBOOTSYSTEM:
      s.restart = ID_PSREBOOTSYSTEM;
      return Answer(hwnd, 0);
    case PSM_CANCELTOCLOSE:
      SetDlgItemText(hwnd, IDOK, "Close");
      EnableWindow(GetDlgItem(hwnd, IDCANCEL), FALSE);
      return Answer(hwnd, 0);
    case PSM_QUERYSIBLINGS:
      for (const Page& p : std::vector<Page>(s.pages)) {
        if (p.hwnd != nullptr) {
          if (LRESULT r = SendMessage(p.hwnd, PSM_QUERYSIBLINGS, wParam, lParam); r != 0) {
            return Answer(hwnd, r);
          }
        }
      }
      return Answer(hwnd, 0);
    case PSM_APPLY: return Answer(hwnd, Apply(s, false) ? TRUE : FALSE);
    case PSM_SETTITLE:
      SetWindowText(hwnd, TextOf(s.instance, reinterpret_cast<LPCSTR>(lParam)).c_str());
      return Answer(hwnd, 0);
    case PSM_PRESSBUTTON: Press(s, static_cast<int>(wParam)); return Answer(hwnd, 0);
    case PSM_GETTABCONTROL: return Answer(hwnd, reinterpret_cast<LRESULT>(s.tab));
    case PSM_ISDIALOGMESSAGE: return Answer(hwnd, IsSheetMessage(s, reinterpret_cast<MSG*>(lParam)));
    case PSM_GETCURRENTPAGEHWND:
      return Answer(hwnd, s.ended || s.current < 0 ? 0 : reinterpret_cast<LRESULT>(s.pages[s.current].hwnd));
    case PSM_HWNDTOINDEX: return Answer(hwnd, IndexOfWindow(s, reinterpret_cast<HWND>(wParam)));
    case PSM_INDEXTOHWND:
      return Answer(hwnd, wParam < s.pages.size() ? reinterpret_cast<LRESULT>(s.pages[wParam].hwnd) : 0);
    case PSM_PAGETOINDEX: return Answer(hwnd, IndexOfHandle(s, reinterpret_cast<HPROPSHEETPAGE>(lParam)));
    case PSM_INDEXTOPAGE:
      return Answer(hwnd, wParam < s.pages.size() ? reinterpret_cast<LRESULT>(s.pages[wParam].handle) : 0);
    case PSM_IDTOINDEX:
      for (std::size_t i = 0; i < s.pages.size(); ++i) {
        PROPSHEETPAGE& d = *s.pages[i].handle->Desc();
        if ((d.dwFlags & PSP_DLGINDIRECT) == 0 && d.pszTemplate == reinterpret_cast<LPCSTR>(lParam)) {
          return Answer(hwnd, static_cast<LRESULT>(i));
        }
      }
      return Answer(hwnd, -1);
    case PSM_GETRESULT: return Answer(hwnd, s.ended ? Result(s) : -1);
    case WM_NCDESTROY: {
      DestroyPages(s);
      std::lock_guard lock(SheetsMutex());
      Sheets().erase(hwnd);
      return FALSE;
    }
    default: return FALSE;
  }
}

// Pages given in the header, as handles the sheet owns; empty on a failure, with nothing left behind.
bool TakePages(const PROPSHEETHEADER& h, std::vector<HPROPSHEETPAGE>& out)
{
  const BYTE* next = reinterpret_cast<const BYTE*>(h.ppsp);
  for (UINT i = 0; i < h.nPages; ++i) {
    HPROPSHEETPAGE page = nullptr;
    if ((h.dwFlags & PSH_PROPSHEETPAGE) != 0) {
      const auto* desc = reinterpret_cast<const PROPSHEETPAGE*>(next);
      page = next != nullptr ? CreatePropertySheetPage(desc) : nullptr;
      next = page != nullptr ? next + desc->dwSize : nullptr;
    } else {
      page = h.phpage != nullptr ? h.phpage[i] : nullptr;
    }
    if (page == nullptr) {
      if ((h.dwFlags & PSH_PROPSHEETPAGE) != 0) {
        for (HPROPSHEETPAGE p : out) {
          DestroyPropertySheetPage(p);
        }
      }
      out.clear();
      return false;
    }
    out.push_back(page);
  }
  return true;
}

}  // namespace

HPROPSHEETPAGE CreatePropertySheetPage(LPCPROPSHEETPAGE desc)
{
  // The first form of the description ends after pcRefParent.
  constexpr std::size_t kSmallest = offsetof(PROPSHEETPAGE, pcRefParent) + sizeof(UINT*);
  if (desc == nullptr || desc->dwSize < kSmallest || desc->dwSize > (1u << 16)) {
    return nullptr;
  }
  if ((desc->dwFlags & PSP_DLGINDIRECT) != 0 ? desc->pResource == nullptr : desc->pszTemplate == nullptr) {
    return nullptr;
  }
  auto* page = new PSP__;
  const std::size_t bytes = std::max<std::size_t>(desc->dwSize, sizeof(PROPSHEETPAGE));
  page->storage.assign((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t), std::max_align_t{});
  new (page->storage.data()) PROPSHEETPAGE;
  std::memset(page->storage.data(), 0, bytes);
  std::memcpy(page->storage.data(), desc, desc->dwSize);
  PROPSHEETPAGE& copy = *page->Desc();
  if ((copy.dwFlags & PSP_USECALLBACK) != 0 && copy.pfnCallback != nullptr) {
    copy.pfnCallback(nullptr, PSPCB_ADDREF, &copy);
  }
  if ((copy.dwFlags & PSP_USEREFPARENT) != 0 && copy.pcRefParent != nullptr) {
    ++*copy.pcRefParent;
  }
  return page;
}

BOOL DestroyPropertySheetPage(HPROPSHEETPAGE page)
{
  if (page == nullptr) {
    return FALSE;
  }
  PROPSHEETPAGE& d = *page->Desc();
  if ((d.dwFlags & PSP_USECALLBACK) != 0 && d.pfnCallback != nullptr) {
    d.pfnCallback(nullptr, PSPCB_RELEASE, &d);
  }
  if ((d.dwFlags & PSP_USEREFPARENT) != 0 && d.pcRefParent != nullptr) {
    --*d.pcRefParent;
  }
  delete page;
  return TRUE;
}

INT_PTR PropertySheet(LPCPROPSHEETHEADER header)
{
  constexpr std::size_t kSmallest = offsetof(PROPSHEETHEADER, pfnCallback) + sizeof(PFNPROPSHEETCALLBACK);
  if (header == nullptr || header->dwSize < kSmallest) {
    return -1;
  }
  const PROPSHEETHEADER& h = *header;
  auto sheet = std::make_shared<Sheet>();
  sheet->flags = h.dwFlags;
  sheet->instance = h.hInstance;
  sheet->callback = (h.dwFlags & PSH_USECALLBACK) != 0 ? h.pfnCallback : nullptr;
  if ((h.dwFlags & PSH_USEPSTARTPAGE) != 0) {
    sheet->startTitle = TextOf(h.hInstance, h.pStartPage);
  } else {
    sheet->startPage = static_cast<int>(h.nStartPage);
  }
  std::vector<HPROPSHEETPAGE> handles;
  if (!TakePages(h, handles)) {
    return -1;
  }
  for (HPROPSHEETPAGE p : handles) {
    sheet->pages.push_back(Page{p, nullptr, {}});
  }
  const bool modeless = (h.dwFlags & PSH_MODELESS) != 0;
  HWND owner = h.hwndParent;
  if (owner != nullptr && !modeless) {
    owner = GetAncestor(owner, GA_ROOT);
  }
  user::DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | DS_MODALFRAME | DS_3DLOOK, 10, 10,
                         TextOf(h.hInstance, h.pszCaption));
  if (sheet->callback != nullptr) {
    sheet->callback(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(t.Data()));
  }
  t_making = sheet;
  HWND hwnd = CreateDialogIndirectParam(h.hInstance, t.Data(), owner, &SheetProc, 0);
  t_making.reset();
  if (hwnd == nullptr) {
    if (sheet->hwnd == nullptr) {
      DestroyPages(*sheet);
    }
    return -1;
  }
  if (modeless) {
    ShowWindow(hwnd, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(hwnd);
  }

  const bool disable = owner != nullptr && IsWindowEnabled(owner);
  if (disable) {
    EnableWindow(owner, FALSE);
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  const bool headless = Headless();
  auto ask = [&] {
    user::ModalQuestion q;
    q.kind = user::ModalQuestion::Kind::Dialog;
    q.owner = owner;
    q.dialog = hwnd;
    char title[256] = {};
    GetWindowText(hwnd, title, sizeof title);
    q.caption = title;
    q.answers = {IDOK, IDCANCEL};
    const int answer = user::AskModal(q);
    if (!IsWindow(hwnd) || sheet->ended) {
      return;
    }
    if (answer == IDOK) {
      Press(*sheet, PSBTN_OK);
    } else if (answer == IDCANCEL) {
      Press(*sheet, PSBTN_CANCEL);
    } else if (answer != 0) {
      SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(answer), BN_CLICKED), 0);
    }
  };
  // Without a screen nobody else can answer: a page that keeps the sheet open is asked about again, and after
  // this many answers that left it open the sheet is cancelled without asking the pages.
  constexpr int kQuestionsWithoutScreen = 16;
  int asked = 0;
  if (headless || user::HasModalResponder()) {
    ask();
    ++asked;
  }
  MSG msg{};
  bool quit = false;
  while (IsWindow(hwnd) && !sheet->ended) {
    if (headless && !PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (asked++ < kQuestionsWithoutScreen) {
        ask();
      } else {
        Cancel(*sheet, false);
      }
      continue;
    }
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      quit = true;
      break;
    }
    if (CallMsgFilter(&msg, MSGF_DIALOGBOX)) {
      continue;
    }
    if (!IsSheetMessage(*sheet, &msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  const INT_PTR result = Result(*sheet);
  if (disable && IsWindow(owner) && !IsWindowEnabled(owner)) {
    EnableWindow(owner, TRUE);
  }
  if (IsWindow(hwnd)) {
    DestroyWindow(hwnd);
  }
  if (quit) {
    PostQuitMessage(static_cast<int>(msg.wParam));
  }
  return result;
}
