// Accessibility events, the token bridge of WM_GETOBJECT, and the standard objects of windows.
#include "platform/user/accessibility.h"

#include "platform/base/clock.h"
#include "platform/base/codepage.h"
#include "platform/base/thread.h"
#include "platform/user/input.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace {

// ---- Event hooks

struct EventHook {
  DWORD eventMin;
  DWORD eventMax;
  WINEVENTPROC proc;
};

struct EventHooks {
  std::mutex mutex;
  std::map<ULONG_PTR, EventHook> hooks;  // by handle value, which grows, so in the order they were set
  ULONG_PTR next = 1;
};

EventHooks& Hooks()
{
  static EventHooks hooks;
  return hooks;
}

// ---- Tokens of LresultFromObject

struct Tokens {
  std::mutex mutex;
  std::map<LRESULT, IUnknown*> objects;  // each holds one reference
  LRESULT next = 1;
};

Tokens& TokenTable()
{
  static Tokens tokens;
  return tokens;
}

// ---- The standard objects

// The child id a VARIANT names: VT_I4 or VT_I2, directly or by reference; -1 for anything else.
LONG ChildId(const VARIANT& child)
{
  switch (child.vt) {
    case VT_I4: return child.lVal;
    case VT_I2: return child.iVal;
    case VT_BYREF | VT_I4: return child.plVal != nullptr ? *child.plVal : -1;
    case VT_BYREF | VT_I2: return child.piVal != nullptr ? *child.piVal : -1;
    case VT_BYREF | VT_VARIANT: return child.pvarVal != nullptr ? ChildId(*child.pvarVal) : -1;
    default: return -1;
  }
}

void SetI4(VARIANT* v, LONG value)
{
  VariantInit(v);
  v->vt = VT_I4;
  v->lVal = value;
}

std::vector<HWND> ChildWindows(HWND hwnd)
{
  std::vector<HWND> children;
  for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

// What oleacc gives for a window that offers no object of its own: the window, or its client area, named by
// the window text. The client's children are the child windows (their window objects).
class StandardAccessible final : public IAccessible {
public:
  StandardAccessible(HWND hwnd, LONG objectId) : hwnd_(hwnd), objectId_(objectId) {}

  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override
  {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

  HRESULT GetTypeInfoCount(UINT* count) override
  {
    if (count != nullptr) {
      *count = 0;
    }
    return E_NOTIMPL;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
  {
    return E_NOTIMPL;
  }

  HRESULT get_accParent(IDispatch** parent) override
  {
    if (parent == nullptr) {
      return E_POINTER;
    }
    *parent = nullptr;
    // The client area lies in its window; a window lies in its parent's client area.
    if (objectId_ == OBJID_CLIENT) {
      return CreateStdAccessibleObject(hwnd_, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
    }
    HWND above = GetParent(hwnd_);
    if (above == nullptr) {
      return S_FALSE;
    }
    return AccessibleObjectFromWindow(above, static_cast<DWORD>(OBJID_CLIENT), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
  }

  HRESULT get_accChildCount(LONG* count) override
  {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = objectId_ == OBJID_CLIENT ? static_cast<LONG>(ChildWindows(hwnd_).size()) : 0;
    return S_OK;
  }

  HRESULT get_accChild(VARIANT child, IDispatch** object) override
  {
    if (object == nullptr) {
      return E_POINTER;
    }
    *object = nullptr;
    const LONG id = ChildId(child);
    const std::vector<HWND> children = objectId_ == OBJID_CLIENT ? ChildWindows(hwnd_) : std::vector<HWND>{};
    if (id < 1 || static_cast<std::size_t>(id) > children.size()) {
      return E_INVALIDARG;
    }
    return AccessibleObjectFromWindow(children[static_cast<std::size_t>(id - 1)], static_cast<DWORD>(OBJID_WINDOW),
                                      IID_IDispatch, reinterpret_cast<void**>(object));
  }

  HRESULT get_accName(VARIANT child, BSTR* name) override
  {
    if (name == nullptr) {
      return E_POINTER;
    }
    *name = nullptr;
    if (ChildId(child) != CHILDID_SELF) {
      return E_INVALIDARG;
    }
    const int length = GetWindowTextLength(hwnd_);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowText(hwnd_, text.data(), static_cast<int>(text.size()))));
    if (text.empty()) {
      return S_FALSE;
    }
    *name = SysAllocString(codepage::Cp1251ToUtf16(text));
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT get_accValue(VARIANT, BSTR* value) override { return Nothing(value); }
  HRESULT get_accDescription(VARIANT, BSTR* description) override { return Nothing(description); }

  HRESULT get_accRole(VARIANT child, VARIANT* role) override
  {
    if (role == nullptr) {
      return E_POINTER;
    }
    VariantInit(role);
    if (ChildId(child) != CHILDID_SELF) {
      return E_INVALIDARG;
    }
    SetI4(role, objectId_ == OBJID_CLIENT ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_WINDOW);
    return S_OK;
  }

  HRESULT get_accState(VARIANT child, VARIANT* state) override
  {
    if (state == nullptr) {
      return E_POINTER;
    }
    VariantInit(state);
    if (ChildId(child) != CHILDID_SELF) {
      return E_INVALIDARG;
    }
    LONG bits = STATE_SYSTEM_FOCUSABLE;
    if (!IsWindowVisible(hwnd_)) {
      bits |= STATE_SYSTEM_INVISIBLE;
    }
    if (!IsWindowEnabled(hwnd_)) {
      bits |= STATE_SYSTEM_UNAVAILABLE;
    }
    if (GetFocus() == hwnd_) {
      bits |= STATE_SYSTEM_FOCUSED;
    }
    SetI4(state, bits);
    return S_OK;
  }

  HRESULT get_accHelp(VARIANT, BSTR* help) override { return Nothing(help); }
  HRESULT get_accHelpTopic(BSTR* helpFile, VARIANT, LONG* topic) override
  {
    if (helpFile != nullptr) {
      *helpFile = nullptr;
    }
    if (topic != nullptr) {
      *topic = -1;
    }
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override { return Nothing(shortcut); }

  HRESULT get_accFocus(VARIANT* child) override
  {
    if (child == nullptr) {
      return E_POINTER;
    }
    VariantInit(child);
    if (GetFocus() == hwnd_) {
      SetI4(child, CHILDID_SELF);
      return S_OK;
    }
    return S_FALSE;
  }

  HRESULT get_accSelection(VARIANT* children) override
  {
    if (children == nullptr) {
      return E_POINTER;
    }
    VariantInit(children);
    return S_FALSE;
  }

  HRESULT get_accDefaultAction(VARIANT, BSTR* action) override { return Nothing(action); }
  HRESULT accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }

  HRESULT accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override
  {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
      return E_POINTER;
    }
    if (ChildId(child) != CHILDID_SELF) {
      return E_INVALIDARG;
    }
    const RECT r = ScreenRect();
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }

  HRESULT accNavigate(LONG, VARIANT, VARIANT* end) override
  {
    if (end != nullptr) {
      VariantInit(end);
    }
    return DISP_E_MEMBERNOTFOUND;
  }

  HRESULT accHitTest(LONG x, LONG y, VARIANT* child) override
  {
    if (child == nullptr) {
      return E_POINTER;
    }
    VariantInit(child);
    const POINT at{x, y};
    if (!ScreenRect().Contains(at)) {
      return S_FALSE;
    }
    if (objectId_ == OBJID_CLIENT) {
      POINT local = at;
      ScreenToClient(hwnd_, &local);
      HWND under = ChildWindowFromPoint(hwnd_, local);
      if (under != nullptr && under != hwnd_) {
        IDispatch* object = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(under, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                                 reinterpret_cast<void**>(&object)))) {
          child->vt = VT_DISPATCH;
          child->pdispVal = object;
          return S_OK;
        }
      }
    }
    SetI4(child, CHILDID_SELF);
    return S_OK;
  }

  HRESULT accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
  ~StandardAccessible() = default;

  static HRESULT Nothing(BSTR* out)
  {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = nullptr;
    return DISP_E_MEMBERNOTFOUND;
  }

  RECT ScreenRect() const
  {
    RECT r{};
    if (objectId_ == OBJID_CLIENT) {
      GetClientRect(hwnd_, &r);
      POINT origin{0, 0};
      ClientToScreen(hwnd_, &origin);
      r = r.Offset(origin.x, origin.y);
    } else {
      GetWindowRect(hwnd_, &r);
    }
    return r;
  }

  HWND hwnd_;
  LONG objectId_;
  std::atomic<ULONG> references_{1};
};

}  // namespace

void NotifyWinEvent(DWORD event, HWND hwnd, LONG objectId, LONG childId)
{
  std::vector<std::pair<HWINEVENTHOOK, WINEVENTPROC>> hearing;
  {
    std::lock_guard guard(Hooks().mutex);
    for (const auto& [handle, hook] : Hooks().hooks) {
      if (event >= hook.eventMin && event <= hook.eventMax) {
        hearing.emplace_back(reinterpret_cast<HWINEVENTHOOK>(handle), hook.proc);
      }
    }
  }
  // Outside the lock: a hook may set or remove hooks.
  for (const auto& [handle, proc] : hearing) {
    proc(handle, event, hwnd, objectId, childId, GetCurrentThreadId(), GetTickCount());
  }
}

HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE, WINEVENTPROC proc, DWORD, DWORD, DWORD)
{
  if (proc == nullptr || eventMin > eventMax) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::lock_guard guard(Hooks().mutex);
  const ULONG_PTR handle = Hooks().next++;
  Hooks().hooks.emplace(handle, EventHook{eventMin, eventMax, proc});
  return reinterpret_cast<HWINEVENTHOOK>(handle);
}

BOOL UnhookWinEvent(HWINEVENTHOOK hook)
{
  std::lock_guard guard(Hooks().mutex);
  return Hooks().hooks.erase(reinterpret_cast<ULONG_PTR>(hook)) != 0 ? TRUE : FALSE;
}

LRESULT LresultFromObject(REFIID iid, WPARAM, IUnknown* object)
{
  if (object == nullptr) {
    return E_INVALIDARG;
  }
  IUnknown* offered = nullptr;
  const HRESULT found = object->QueryInterface(iid, reinterpret_cast<void**>(&offered));
  if (FAILED(found) || offered == nullptr) {
    return FAILED(found) ? found : E_NOINTERFACE;
  }
  std::lock_guard guard(TokenTable().mutex);
  const LRESULT token = TokenTable().next++;
  TokenTable().objects.emplace(token, offered);
  return token;
}

HRESULT ObjectFromLresult(LRESULT result, REFIID iid, WPARAM, void** object)
{
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  IUnknown* held = nullptr;
  {
    std::lock_guard guard(TokenTable().mutex);
    auto found = TokenTable().objects.find(result);
    if (result <= 0 || found == TokenTable().objects.end()) {
      return E_INVALIDARG;
    }
    held = found->second;
    TokenTable().objects.erase(found);
  }
  const HRESULT hr = held->QueryInterface(iid, object);
  held->Release();
  return hr;
}

HRESULT CreateStdAccessibleObject(HWND hwnd, LONG objectId, REFIID iid, void** object)
{
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (!IsWindow(hwnd) || (objectId != OBJID_WINDOW && objectId != OBJID_CLIENT)) {
    return E_INVALIDARG;
  }
  auto* standard = new StandardAccessible(hwnd, objectId);
  const HRESULT hr = standard->QueryInterface(iid, object);
  standard->Release();
  return hr;
}

HRESULT AccessibleObjectFromWindow(HWND hwnd, DWORD objectId, REFIID iid, void** object)
{
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (!IsWindow(hwnd)) {
    return E_INVALIDARG;
  }
  const auto id = static_cast<LONG>(objectId);
  const LRESULT answer = SendMessage(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(id));
  if (answer > 0) {
    return ObjectFromLresult(answer, iid, 0, object);
  }
  return CreateStdAccessibleObject(hwnd, id, iid, object);
}

namespace user {

namespace {
WinEventRecorder* g_recorder = nullptr;  // the one listening; recorders do not nest
}  // namespace

WinEventRecorder::WinEventRecorder()
{
  g_recorder = this;
  hook_ = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &WinEventRecorder::Hear, 0, 0, WINEVENT_OUTOFCONTEXT);
}

WinEventRecorder::~WinEventRecorder()
{
  UnhookWinEvent(hook_);
  if (g_recorder == this) {
    g_recorder = nullptr;
  }
}

void WinEventRecorder::Hear(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG objectId, LONG childId, DWORD, DWORD)
{
  if (g_recorder != nullptr) {
    g_recorder->events_.push_back(WinEvent{event, hwnd, objectId, childId});
  }
}

}  // namespace user
