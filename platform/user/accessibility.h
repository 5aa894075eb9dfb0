// Active Accessibility: the IAccessible interface, the events windows raise for assistive tools, and oleacc's
// bridge between a window's WM_GETOBJECT answer and the object a client gets.
//
// A window offers its own object by answering WM_GETOBJECT (lParam the object id, sign-extended) with
// LresultFromObject; AccessibleObjectFromWindow sends that message and, when the window answers 0 (or a
// failure), gives a standard object instead: for OBJID_CLIENT the client area (role ROLE_SYSTEM_CLIENT), for
// OBJID_WINDOW the window (ROLE_SYSTEM_WINDOW), both named by the window text. Events go synchronously to the
// hooks of SetWinEventHook (there is one process); WinEventRecorder lists them for tests.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/com/dispatch.h"  // with DISP_E_MEMBERNOTFOUND (hresult.h)

#include <vector>

// {618736E0-3C3D-11CF-810C-00AA00389B71}
inline constexpr IID IID_IAccessible{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};


// Child id of the object itself.
inline constexpr LONG CHILDID_SELF = 0;

inline constexpr LONG OBJID_WINDOW = 0;
inline constexpr LONG OBJID_SYSMENU = -1;
inline constexpr LONG OBJID_TITLEBAR = -2;
inline constexpr LONG OBJID_MENU = -3;
inline constexpr LONG OBJID_CLIENT = -4;
inline constexpr LONG OBJID_VSCROLL = -5;
inline constexpr LONG OBJID_HSCROLL = -6;
inline constexpr LONG OBJID_CARET = -8;
inline constexpr LONG OBJID_CURSOR = -9;

inline constexpr LONG ROLE_SYSTEM_TITLEBAR = 1;
inline constexpr LONG ROLE_SYSTEM_MENUBAR = 2;
inline constexpr LONG ROLE_SYSTEM_SCROLLBAR = 3;
inline constexpr LONG ROLE_SYSTEM_WINDOW = 9;
inline constexpr LONG ROLE_SYSTEM_CLIENT = 10;
inline constexpr LONG ROLE_SYSTEM_MENUPOPUP = 11;
inline constexpr LONG ROLE_SYSTEM_MENUITEM = 12;
inline constexpr LONG ROLE_SYSTEM_TOOLTIP = 13;
inline constexpr LONG ROLE_SYSTEM_TOOLBAR = 22;
inline constexpr LONG ROLE_SYSTEM_PUSHBUTTON = 43;
inline constexpr LONG ROLE_SYSTEM_COMBOBOX = 46;
inline constexpr LONG ROLE_SYSTEM_BUTTONMENU = 57;

inline constexpr LONG STATE_SYSTEM_NORMAL = 0;
inline constexpr LONG STATE_SYSTEM_UNAVAILABLE = 0x1;
inline constexpr LONG STATE_SYSTEM_SELECTED = 0x2;
inline constexpr LONG STATE_SYSTEM_FOCUSED = 0x4;
inline constexpr LONG STATE_SYSTEM_PRESSED = 0x8;
inline constexpr LONG STATE_SYSTEM_CHECKED = 0x10;
inline constexpr LONG STATE_SYSTEM_HOTTRACKED = 0x80;
inline constexpr LONG STATE_SYSTEM_INVISIBLE = 0x8000;
inline constexpr LONG STATE_SYSTEM_OFFSCREEN = 0x10000;
inline constexpr LONG STATE_SYSTEM_FOCUSABLE = 0x100000;
inline constexpr LONG STATE_SYSTEM_SELECTABLE = 0x200000;
inline constexpr LONG STATE_SYSTEM_HASPOPUP = 0x40000000;

inline constexpr LONG NAVDIR_UP = 1;
inline constexpr LONG NAVDIR_DOWN = 2;
inline constexpr LONG NAVDIR_LEFT = 3;
inline constexpr LONG NAVDIR_RIGHT = 4;
inline constexpr LONG NAVDIR_NEXT = 5;
inline constexpr LONG NAVDIR_PREVIOUS = 6;
inline constexpr LONG NAVDIR_FIRSTCHILD = 7;
inline constexpr LONG NAVDIR_LASTCHILD = 8;

inline constexpr LONG SELFLAG_TAKEFOCUS = 0x1;
inline constexpr LONG SELFLAG_TAKESELECTION = 0x2;

inline constexpr DWORD EVENT_MIN = 0x00000001;
inline constexpr DWORD EVENT_MAX = 0x7FFFFFFF;
inline constexpr DWORD EVENT_SYSTEM_MENUSTART = 0x0004;
inline constexpr DWORD EVENT_SYSTEM_MENUEND = 0x0005;
inline constexpr DWORD EVENT_SYSTEM_MENUPOPUPSTART = 0x0006;
inline constexpr DWORD EVENT_SYSTEM_MENUPOPUPEND = 0x0007;
inline constexpr DWORD EVENT_OBJECT_CREATE = 0x8000;
inline constexpr DWORD EVENT_OBJECT_DESTROY = 0x8001;
inline constexpr DWORD EVENT_OBJECT_SHOW = 0x8002;
inline constexpr DWORD EVENT_OBJECT_HIDE = 0x8003;
inline constexpr DWORD EVENT_OBJECT_FOCUS = 0x8005;
inline constexpr DWORD EVENT_OBJECT_SELECTION = 0x8006;
inline constexpr DWORD EVENT_OBJECT_STATECHANGE = 0x800A;
inline constexpr DWORD EVENT_OBJECT_NAMECHANGE = 0x800C;

struct IAccessible : IDispatch {
  virtual HRESULT get_accParent(IDispatch** parent) = 0;
  virtual HRESULT get_accChildCount(LONG* count) = 0;
  virtual HRESULT get_accChild(VARIANT child, IDispatch** object) = 0;
  virtual HRESULT get_accName(VARIANT child, BSTR* name) = 0;
  virtual HRESULT get_accValue(VARIANT child, BSTR* value) = 0;
  virtual HRESULT get_accDescription(VARIANT child, BSTR* description) = 0;
  virtual HRESULT get_accRole(VARIANT child, VARIANT* role) = 0;
  virtual HRESULT get_accState(VARIANT child, VARIANT* state) = 0;
  virtual HRESULT get_accHelp(VARIANT child, BSTR* help) = 0;
  virtual HRESULT get_accHelpTopic(BSTR* helpFile, VARIANT child, LONG* topic) = 0;
  virtual HRESULT get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) = 0;
  virtual HRESULT get_accFocus(VARIANT* child) = 0;
  virtual HRESULT get_accSelection(VARIANT* children) = 0;
  virtual HRESULT get_accDefaultAction(VARIANT child, BSTR* action) = 0;
  virtual HRESULT accSelect(LONG flags, VARIANT child) = 0;
  virtual HRESULT accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) = 0;
  virtual HRESULT accNavigate(LONG direction, VARIANT start, VARIANT* end) = 0;
  virtual HRESULT accHitTest(LONG x, LONG y, VARIANT* child) = 0;
  virtual HRESULT accDoDefaultAction(VARIANT child) = 0;
  virtual HRESULT put_accName(VARIANT child, BSTR name) = 0;
  virtual HRESULT put_accValue(VARIANT child, BSTR value) = 0;

protected:
  ~IAccessible() = default;
};
using LPACCESSIBLE = IAccessible*;

// ---- Events
TESMIRA_DECLARE_HANDLE(HWINEVENTHOOK);
using WINEVENTPROC = void (*)(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG objectId, LONG childId,
                              DWORD threadId, DWORD time);
inline constexpr DWORD WINEVENT_OUTOFCONTEXT = 0x0000;
inline constexpr DWORD WINEVENT_SKIPOWNTHREAD = 0x0001;
inline constexpr DWORD WINEVENT_SKIPOWNPROCESS = 0x0002;
inline constexpr DWORD WINEVENT_INCONTEXT = 0x0004;

// Calls every hook whose range holds `event`, in the order they were set, before it returns.
void NotifyWinEvent(DWORD event, HWND hwnd, LONG objectId, LONG childId);
// Process and thread filters are not applied: every hook hears every event of its range. Null for an empty
// range or no procedure.
HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module, WINEVENTPROC proc, DWORD processId,
                              DWORD threadId, DWORD flags);
BOOL UnhookWinEvent(HWINEVENTHOOK hook);

// ---- oleacc
// A positive token for `object`'s `iid` interface, holding one reference until ObjectFromLresult takes it;
// E_INVALIDARG for a null object, E_NOINTERFACE when it has no such interface.
LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object);
// The interface a token stands for (the token is used up); E_INVALIDARG for a token that is not one.
HRESULT ObjectFromLresult(LRESULT result, REFIID iid, WPARAM wParam, void** object);
// The window's own object for `objectId`, or the standard one (see the top of this file).
HRESULT AccessibleObjectFromWindow(HWND hwnd, DWORD objectId, REFIID iid, void** object);
// The standard object of OBJID_WINDOW or OBJID_CLIENT; E_INVALIDARG for another id or a window that is not one.
HRESULT CreateStdAccessibleObject(HWND hwnd, LONG objectId, REFIID iid, void** object);

namespace user {

struct WinEvent {
  DWORD event = 0;
  HWND hwnd = nullptr;
  LONG objectId = 0;
  LONG childId = 0;
  bool operator==(const WinEvent&) const = default;
};

// Lists the events raised while it lives, in order.
class WinEventRecorder {
public:
  WinEventRecorder();
  ~WinEventRecorder();
  WinEventRecorder(const WinEventRecorder&) = delete;
  WinEventRecorder& operator=(const WinEventRecorder&) = delete;

  const std::vector<WinEvent>& Events() const { return events_; }
  void Clear() { events_.clear(); }

private:
  static void Hear(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG objectId, LONG childId, DWORD, DWORD);
  HWINEVENTHOOK hook_ = nullptr;
  std::vector<WinEvent> events_;
};

}  // namespace user
