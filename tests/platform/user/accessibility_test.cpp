// Accessibility: a window's own object or the standard one, the token bridge, child ids and events in order.
#include "platform/user/accessibility.h"

#include "platform/base/codepage.h"
#include "platform/base/module.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <string>

namespace {

VARIANT Self()
{
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = CHILDID_SELF;
  return v;
}

std::string NameOf(IAccessible* object, VARIANT child = Self())
{
  BSTR name = nullptr;
  if (object->get_accName(child, &name) != S_OK) {
    return "<no name>";
  }
  std::string text = codepage::Utf16ToCp1251(std::u16string_view(name, SysStringLen(name)));
  SysFreeString(name);
  return text;
}

LONG I4Of(HRESULT (IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object)
{
  VARIANT out;
  EXPECT_EQ((object->*get)(Self(), &out), S_OK);
  EXPECT_EQ(out.vt, VT_I4);
  return out.lVal;
}

// The window whose WM_GETOBJECT for its client area answers with the object it was given.
IAccessible* g_offered = nullptr;
LPARAM g_askedFor = 0;

LRESULT Offering(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_GETOBJECT) {
    g_askedFor = lParam;
    if (static_cast<LONG>(lParam) == OBJID_CLIENT && g_offered != nullptr) {
      return LresultFromObject(IID_IAccessible, wParam, g_offered);
    }
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

class Accessibility : public ::testing::Test {
protected:
  void SetUp() override
  {
    WNDCLASS wc;
    wc.lpfnWndProc = &Offering;
    wc.lpszClassName = "AccessibleOffering";
    RegisterClass(&wc);
  }
  void TearDown() override
  {
    if (g_offered != nullptr) {
      g_offered->Release();
      g_offered = nullptr;
    }
  }
};

TEST_F(Accessibility, AWindowsOwnObjectIsAnsweredElseTheStandardOne)
{
  HWND frame = CreateWindowEx(0, "AccessibleOffering", "Дорога", WS_OVERLAPPED, 10, 20, 300, 200, nullptr, nullptr,
                              nullptr, nullptr);
  HWND bar = CreateWindowEx(0, "STATIC", "Панель", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, frame, nullptr, nullptr,
                            nullptr);
  HWND pane = CreateWindowEx(0, "STATIC", "Свойства", WS_CHILD | WS_VISIBLE, 0, 30, 100, 80, frame, nullptr,
                             nullptr, nullptr);

  // No object offered: the standard client object, named by the window text.
  IAccessible* client = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(frame, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                       reinterpret_cast<void**>(&client)),
            S_OK);
  EXPECT_EQ(static_cast<LONG>(g_askedFor), OBJID_CLIENT);
  EXPECT_EQ(NameOf(client), "Дорога");
  EXPECT_EQ(I4Of(&IAccessible::get_accRole, client), ROLE_SYSTEM_CLIENT);
  EXPECT_EQ(I4Of(&IAccessible::get_accState, client) & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE);
  LONG children = 0;
  ASSERT_EQ(client->get_accChildCount(&children), S_OK);
  EXPECT_EQ(children, 2);
  // Children are asked for by VT_I4, or through a reference to a VARIANT holding a VT_I2.
  VARIANT second;
  second.vt = VT_I2;
  second.iVal = 2;
  VARIANT byRef;
  byRef.vt = VT_BYREF | VT_VARIANT;
  byRef.pvarVal = &second;
  IDispatch* paneDispatch = nullptr;
  ASSERT_EQ(client->get_accChild(byRef, &paneDispatch), S_OK);
  IAccessible* paneObject = nullptr;
  ASSERT_EQ(paneDispatch->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&paneObject)), S_OK);
  EXPECT_EQ(NameOf(paneObject), "Свойства");
  EXPECT_EQ(I4Of(&IAccessible::get_accRole, paneObject), ROLE_SYSTEM_WINDOW);
  VARIANT outOfRange;
  outOfRange.vt = VT_I4;
  outOfRange.lVal = 3;
  IDispatch* none = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(client->get_accChild(outOfRange, &none), E_INVALIDARG);
  EXPECT_EQ(none, nullptr);
  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = nullptr;
  BSTR unused = nullptr;
  EXPECT_EQ(client->get_accName(text, &unused), E_INVALIDARG);
  // The client area lies in the window object of the same window.
  IDispatch* parent = nullptr;
  ASSERT_EQ(client->get_accParent(&parent), S_OK);
  IAccessible* window = nullptr;
  ASSERT_EQ(parent->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&window)), S_OK);
  EXPECT_EQ(I4Of(&IAccessible::get_accRole, window), ROLE_SYSTEM_WINDOW);
  LONG x = 0, y = 0, w = 0, h = 0;
  ASSERT_EQ(window->accLocation(&x, &y, &w, &h, Self()), S_OK);
  EXPECT_EQ((RECT{x, y, x + w, y + h}), (RECT{10, 20, 310, 220}));

  // The window offers an object of its own (here the bar's): that one is answered, for the client id only.
  ASSERT_EQ(CreateStdAccessibleObject(bar, OBJID_WINDOW, IID_IAccessible, reinterpret_cast<void**>(&g_offered)),
            S_OK);
  IAccessible* own = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(frame, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                       reinterpret_cast<void**>(&own)),
            S_OK);
  EXPECT_EQ(own, g_offered);
  EXPECT_EQ(NameOf(own), "Панель");
  IAccessible* frameWindow = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(frame, static_cast<DWORD>(OBJID_WINDOW), IID_IAccessible,
                                       reinterpret_cast<void**>(&frameWindow)),
            S_OK);
  EXPECT_EQ(NameOf(frameWindow), "Дорога");

  for (IUnknown* object : std::initializer_list<IUnknown*>{client, paneDispatch, paneObject, parent, window, own,
                                                           frameWindow}) {
    object->Release();
  }
  EXPECT_EQ(AccessibleObjectFromWindow(nullptr, 0, IID_IAccessible, reinterpret_cast<void**>(&own)), E_INVALIDARG);
  DestroyWindow(pane);
  DestroyWindow(frame);
}

// An object that counts its references.
class Counted final : public IUnknown {
public:
  HRESULT QueryInterface(REFIID iid, void** object) override
  {
    if (iid == IID_IUnknown) {
      *object = this;
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references; }
  ULONG Release() override { return --references; }
  ULONG references = 1;
};

TEST_F(Accessibility, ATokenHoldsOneReferenceAndIsUsedOnce)
{
  Counted object;
  const LRESULT token = LresultFromObject(IID_IUnknown, 0, &object);
  ASSERT_GT(token, 0);
  EXPECT_EQ(object.references, 2u);
  IUnknown* back = nullptr;
  ASSERT_EQ(ObjectFromLresult(token, IID_IUnknown, 0, reinterpret_cast<void**>(&back)), S_OK);
  EXPECT_EQ(back, &object);
  EXPECT_EQ(object.references, 2u);  // the token's reference became the caller's
  back->Release();
  EXPECT_EQ(ObjectFromLresult(token, IID_IUnknown, 0, reinterpret_cast<void**>(&back)), E_INVALIDARG);
  EXPECT_EQ(back, nullptr);

  EXPECT_EQ(LresultFromObject(IID_IAccessible, 0, &object), E_NOINTERFACE);
  EXPECT_EQ(LresultFromObject(IID_IUnknown, 0, nullptr), E_INVALIDARG);
  EXPECT_EQ(ObjectFromLresult(-5, IID_IUnknown, 0, reinterpret_cast<void**>(&back)), E_INVALIDARG);
  EXPECT_EQ(object.references, 1u);
}

TEST_F(Accessibility, EventsAreHeardInOrderByTheHooksOfTheirRange)
{
  HWND bar = CreateWindowEx(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  static std::vector<DWORD> menuEvents;
  menuEvents.clear();
  HWINEVENTHOOK menuOnly = SetWinEventHook(
      EVENT_SYSTEM_MENUPOPUPSTART, EVENT_SYSTEM_MENUPOPUPEND, nullptr,
      [](HWINEVENTHOOK, DWORD event, HWND, LONG, LONG, DWORD, DWORD) { menuEvents.push_back(event); }, 0, 0,
      WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(menuOnly, nullptr);
  {
    user::WinEventRecorder recorder;
    // Bound by name, as the toolkit binds it.
    using Notify = void (*)(DWORD, HWND, LONG, LONG);
    auto notify = reinterpret_cast<Notify>(GetProcAddress(GetModuleHandle("USER32"), "NotifyWinEvent"));
    ASSERT_NE(notify, nullptr);
    notify(EVENT_SYSTEM_MENUPOPUPSTART, bar, OBJID_MENU, CHILDID_SELF);
    notify(EVENT_OBJECT_FOCUS, bar, OBJID_MENU, 3);
    notify(EVENT_SYSTEM_MENUPOPUPEND, bar, OBJID_MENU, CHILDID_SELF);
    EXPECT_EQ(recorder.Events(), (std::vector<user::WinEvent>{
                                     {EVENT_SYSTEM_MENUPOPUPSTART, bar, OBJID_MENU, CHILDID_SELF},
                                     {EVENT_OBJECT_FOCUS, bar, OBJID_MENU, 3},
                                     {EVENT_SYSTEM_MENUPOPUPEND, bar, OBJID_MENU, CHILDID_SELF},
                                 }));
  }
  EXPECT_EQ(menuEvents, (std::vector<DWORD>{EVENT_SYSTEM_MENUPOPUPSTART, EVENT_SYSTEM_MENUPOPUPEND}));
  ASSERT_TRUE(UnhookWinEvent(menuOnly));
  EXPECT_FALSE(UnhookWinEvent(menuOnly));
  NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, bar, OBJID_MENU, CHILDID_SELF);
  EXPECT_EQ(menuEvents.size(), 2u);
  // An empty range hears nothing and is refused.
  EXPECT_EQ(SetWinEventHook(
                EVENT_OBJECT_FOCUS, EVENT_SYSTEM_MENUSTART, nullptr,
                [](HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {}, 0, 0, 0),
            nullptr);
  DestroyWindow(bar);
}

}  // namespace
