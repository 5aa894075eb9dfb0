// Controls and bars as assistive tools see them through their IAccessible: names, roles, states, identifiers of
// children, the actions, and the bar's answer to WM_GETOBJECT.
#include "tests/toolkit/commandbars/bar_frame.h"

#include "toolkit/commandbars/accessible.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <string>

namespace {

VARIANT Child(long nId)
{
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = nId;
  return v;
}

std::u16string Text(BSTR bstr)
{
  std::u16string text = bstr ? std::u16string(bstr, SysStringLen(bstr)) : std::u16string();
  SysFreeString(bstr);
  return text;
}

// A menu bar that is never made a window: its role is all the test asks.
class CTestMenuBar : public CTKCommandBar {
public:
  CTestMenuBar() { SetType(tkBarTypeMenuBar); }
};

// A control whose selection the test sets as its bar would.
class CSelectablePopup : public CTKControlPopup {
public:
  void Select(int nSelected) { m_nSelected = nSelected; }
};

struct AccFixture {
  cbtest::CTestFrame frame;
  cbtest::CTestBar* pToolBar = nullptr;
  cbtest::CTestBar* pMenu = nullptr;

  AccFixture()
  {
    CTKPaintManager::SetTheme(tkThemeDefault);
    frame.Make(400, 200);
    frame.ShowWindow(SW_SHOWNOACTIVATE);
    pToolBar = frame.AddBar(tkBarTypeNormal, CRect(0, 0, 300, 30));
    pMenu = frame.AddBar(tkBarTypePopup, CRect(0, 40, 300, 200));
  }
  long State(CTKControl* pControl)
  {
    VARIANT v;
    EXPECT_EQ(pControl->GetAccessible()->get_accState(Child(0), &v), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    return v.lVal;
  }
  long Role(CTKControl* pControl)
  {
    VARIANT v;
    EXPECT_EQ(pControl->GetAccessible()->get_accRole(Child(0), &v), S_OK);
    return v.lVal;
  }
};

TEST(Accessibility, StatesAndRolesOfButtonsAndMenuItems)
{
  AccFixture f;
  CTKControl* pButton = f.pToolBar->GetControls()->Add(tkControlButton, 600);
  CTKControl* pPlain = f.pToolBar->GetControls()->Add(tkControlButton, 601);
  pButton->SetEnabled(FALSE);
  pButton->SetChecked(TRUE);
  EXPECT_EQ(f.State(pButton), 0x100011);
  EXPECT_EQ(f.State(pPlain), 0x100000);
  EXPECT_EQ(f.Role(pButton), ROLE_SYSTEM_PUSHBUTTON);
  pPlain->SetHideFlags(TK_HIDEGENERIC);
  EXPECT_EQ(f.State(pPlain), 0x108000);

  auto* pItem = new CSelectablePopup;
  f.pMenu->GetControls()->InsertAt(pItem, 602);
  pItem->SetCommandBar(CTKPopupBar::CreatePopupBar(f.frame.GetCommandBars()));
  pItem->GetCommandBar()->InternalRelease();
  pItem->Select(1);
  EXPECT_EQ(f.State(pItem), 0x40100086);
  EXPECT_EQ(f.Role(pItem), ROLE_SYSTEM_MENUITEM);
  auto* pDropDown = new CSelectablePopup;
  f.pToolBar->GetControls()->InsertAt(pDropDown, 603);
  pDropDown->SetCommandBar(CTKPopupBar::CreatePopupBar(f.frame.GetCommandBars()));
  pDropDown->GetCommandBar()->InternalRelease();
  EXPECT_EQ(f.Role(pDropDown), ROLE_SYSTEM_BUTTONMENU);

  // A hidden bar hides its controls.
  f.pToolBar->ShowWindow(SW_HIDE);
  EXPECT_EQ(f.State(pButton) & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE);
}

TEST(Accessibility, NamesDropMnemonicsAndAddTheShortcut)
{
  AccFixture f;
  CTKControl* pButton = f.pMenu->GetControls()->Add(tkControlButton, 600);
  pButton->SetCaption("&Открыть\tCtrl+O");
  BSTR name = nullptr;
  ASSERT_EQ(pButton->GetAccessible()->get_accName(Child(0), &name), S_OK);
  EXPECT_EQ(Text(name), u"Открыть\tCtrl+O");
  pButton->SetCaption("Roads && &Lamps");
  pButton->SetShortcutText("");
  pButton->SetAutoShortcutText("");
  ASSERT_EQ(pButton->GetAccessible()->get_accName(Child(0), &name), S_OK);
  EXPECT_EQ(Text(name), u"Roads & Lamps");
  BSTR action = nullptr;
  ASSERT_EQ(pButton->GetAccessible()->get_accDefaultAction(Child(0), &action), S_OK);
  EXPECT_EQ(Text(action), u"Click");
}

TEST(Accessibility, ChildIdentifiersOfEveryVariantForm)
{
  SHORT nShort = 0;
  LONG nLong = 2;
  VARIANT inner;
  inner.vt = VT_I2;
  inner.iVal = 0;
  struct Case {
    const char* what;
    VARIANT v;
    long expected;
  };
  auto make = [](VARTYPE vt, void* p, long n) {
    VARIANT v;
    v.vt = vt;
    if (p)
      v.byref = p;
    else
      v.lVal = n;
    return v;
  };
  VARIANT self;
  self.vt = VT_BYREF | VT_VARIANT;
  self.pvarVal = &self;
  const Case cases[] = {
      {"VT_I4", make(VT_I4, nullptr, 5), 5},
      {"VT_I2", make(VT_I2, nullptr, 3), 3},
      {"by reference to a short", make(VT_BYREF | VT_I2, &nShort, 0), 0},
      {"by reference to a long", make(VT_BYREF | VT_I4, &nLong, 0), 2},
      {"a null reference", make(VT_BYREF | VT_I4, nullptr, 0), -1},
      {"a variant holding VT_I2 0", make(VT_BYREF | VT_VARIANT, &inner, 0), 0},
      {"a variant that refers to itself", self, -1},
      {"a text", make(VT_BSTR, nullptr, 0), -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CTKAccessible::GetChildIdFromVariant(c.v), c.expected) << c.what;
}

TEST(Accessibility, AControlAnswersOnlyForItselfAndActsOnItsBar)
{
  AccFixture f;
  CTKControl* pButton = f.pToolBar->GetControls()->Add(tkControlButton, 600);
  f.pToolBar->OnRecalcLayout();
  IAccessible* pAcc = pButton->GetAccessible();
  BSTR name = nullptr;
  EXPECT_EQ(pAcc->get_accName(Child(2), &name), E_INVALIDARG);
  IDispatch* pChild = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(pAcc->get_accChild(Child(1), &pChild), S_OK);
  EXPECT_EQ(pChild, nullptr);
  LONG nCount = -1;
  EXPECT_EQ(pAcc->get_accChildCount(&nCount), S_OK);
  EXPECT_EQ(nCount, 0);

  // The interface holds the control while a client does.
  LONG nRefs = pButton->m_dwRef;
  IAccessible* pHeld = nullptr;
  ASSERT_EQ(pAcc->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&pHeld)), S_OK);
  EXPECT_EQ(pButton->m_dwRef, nRefs + 1);
  pHeld->Release();
  EXPECT_EQ(pButton->m_dwRef, nRefs);

  LONG x = 0, y = 0, cx = 0, cy = 0;
  ASSERT_EQ(pAcc->accLocation(&x, &y, &cx, &cy, Child(0)), S_OK);
  CRect rc = pButton->GetRect();
  f.pToolBar->ClientToScreen(&rc);
  EXPECT_EQ(CRect(x, y, x + cx, y + cy), rc);
  VARIANT hit;
  EXPECT_EQ(pAcc->accHitTest(rc.left + 1, rc.top + 1, &hit), S_OK);
  EXPECT_EQ(hit.vt, VT_I4);
  EXPECT_EQ(pAcc->accHitTest(rc.right + 5, rc.top + 1, &hit), S_FALSE);
  EXPECT_EQ(pAcc->accHitTest(-500, -500, &hit), S_FALSE);

  f.frame.m_log.clear();
  EXPECT_EQ(pAcc->accDoDefaultAction(Child(0)), S_OK);
  ASSERT_FALSE(f.frame.m_log.empty());
  EXPECT_EQ(f.frame.m_log.front(), "10338 id 600 code 100");
  EXPECT_EQ(pAcc->accSelect(SELFLAG_TAKEFOCUS, Child(0)), S_OK);
  EXPECT_EQ(f.pToolBar->GetSelected(), pButton->GetIndex());
  f.pToolBar->SetTrackingMode(0, FALSE, FALSE);
}

// A client asking the bar's window gets the bar's own object, whose children are the bar's controls.
TEST(Accessibility, ABarAnswersForItselfAndItsControls)
{
  AccFixture f;
  f.pToolBar->SetTitle("Стандартная");
  CTKControl* pOpen = f.pToolBar->GetControls()->Add(tkControlButton, 600);
  pOpen->SetCaption("&Open");
  pOpen->SetShortcutText("Ctrl+O");
  CTKControl* pSave = f.pToolBar->GetControls()->Add(tkControlButton, 601);
  f.pToolBar->OnRecalcLayout();

  for (const long nObject : {OBJID_CLIENT, OBJID_MENU}) {
    IAccessible* pAcc = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(f.pToolBar->m_hWnd, static_cast<DWORD>(nObject), IID_IAccessible,
                                         reinterpret_cast<void**>(&pAcc)),
              S_OK);
    EXPECT_EQ(pAcc, f.pToolBar->GetAccessible()) << nObject;
    pAcc->Release();
  }
  IAccessible* pWindow = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(f.pToolBar->m_hWnd, static_cast<DWORD>(OBJID_WINDOW), IID_IAccessible,
                                       reinterpret_cast<void**>(&pWindow)),
            S_OK);
  EXPECT_NE(pWindow, f.pToolBar->GetAccessible());
  pWindow->Release();

  IAccessible* pAcc = f.pToolBar->GetAccessible();
  LONG nCount = 0;
  EXPECT_EQ(pAcc->get_accChildCount(&nCount), S_OK);
  EXPECT_EQ(nCount, 2);
  IDispatch* pChild = nullptr;
  EXPECT_EQ(pAcc->get_accChild(Child(2), &pChild), S_OK);
  EXPECT_EQ(pChild, pSave->GetAccessibleDispatch());
  pChild->Release();
  EXPECT_EQ(pAcc->get_accChild(Child(3), &pChild), S_OK);
  EXPECT_EQ(pChild, nullptr);

  BSTR name = nullptr;
  ASSERT_EQ(pAcc->get_accName(Child(0), &name), S_OK);
  EXPECT_EQ(Text(name), u"Стандартная");
  ASSERT_EQ(pAcc->get_accName(Child(1), &name), S_OK);
  EXPECT_EQ(Text(name), u"Open\tCtrl+O");
  EXPECT_EQ(pAcc->get_accName(Child(3), &name), E_INVALIDARG);

  // The control names the bar as its parent.
  IDispatch* pParent = nullptr;
  ASSERT_EQ(pOpen->GetAccessible()->get_accParent(&pParent), S_OK);
  EXPECT_EQ(pParent, f.pToolBar->GetAccessibleDispatch());
  pParent->Release();

  VARIANT v;
  struct StateCase {
    long nChild;
    long nState;
  };
  f.pToolBar->SetTrackingMode(1, FALSE, TRUE);
  f.pToolBar->SetSelected(1, TRUE);
  for (const StateCase& c : {StateCase{0, 0}, StateCase{1, 0x300000}, StateCase{2, 0x300086}, StateCase{3, 0}}) {
    ASSERT_EQ(pAcc->get_accState(Child(c.nChild), &v), S_OK);
    EXPECT_EQ(v.lVal, c.nState) << c.nChild;
  }
  f.pToolBar->SetTrackingMode(0, FALSE, FALSE);

  LONG x = 0, y = 0, cx = 0, cy = 0;
  ASSERT_EQ(pAcc->accLocation(&x, &y, &cx, &cy, Child(2)), S_OK);
  CRect rcWindow;
  f.pToolBar->GetWindowRect(&rcWindow);
  CRect rcSave = pSave->GetRect();
  rcSave.OffsetRect(rcWindow.left, rcWindow.top);
  EXPECT_EQ(CRect(x, y, x + cx, y + cy), rcSave);
  ASSERT_EQ(pAcc->accLocation(&x, &y, &cx, &cy, Child(0)), S_OK);
  EXPECT_EQ(CRect(x, y, x + cx, y + cy), rcWindow);

  VARIANT hit;
  ASSERT_EQ(pAcc->accHitTest(rcSave.left + 1, rcSave.top + 1, &hit), S_OK);
  ASSERT_EQ(hit.vt, VT_DISPATCH);
  EXPECT_EQ(hit.pdispVal, pSave->GetAccessibleDispatch());
  hit.pdispVal->Release();
  ASSERT_EQ(pAcc->accHitTest(rcWindow.right - 2, rcWindow.bottom - 2, &hit), S_OK);
  EXPECT_EQ(hit.vt, VT_I4);
  EXPECT_EQ(hit.lVal, CHILDID_SELF);
  EXPECT_EQ(pAcc->accHitTest(rcWindow.right + 5, rcWindow.top, &hit), S_FALSE);

  f.pToolBar->ShowWindow(SW_HIDE);
  ASSERT_EQ(pAcc->get_accState(Child(0), &v), S_OK);
  EXPECT_EQ(v.lVal, STATE_SYSTEM_INVISIBLE);
}

TEST(Accessibility, BarRolesAndAPopupsBarAsTheChildOfItsControl)
{
  AccFixture f;
  CTestMenuBar menuBar;
  struct RoleCase {
    CTKCommandBar* pBar;
    long nRole;
  };
  auto* pItem = new CSelectablePopup;
  f.pMenu->GetControls()->InsertAt(pItem, 602);
  CTKPopupBar* pPopupBar = CTKPopupBar::CreatePopupBar(f.frame.GetCommandBars());
  pItem->SetCommandBar(pPopupBar);
  pPopupBar->InternalRelease();
  for (const RoleCase& c : {RoleCase{f.pToolBar, ROLE_SYSTEM_TOOLBAR}, RoleCase{f.pMenu, ROLE_SYSTEM_MENUPOPUP},
                            RoleCase{pPopupBar, ROLE_SYSTEM_MENUPOPUP}, RoleCase{&menuBar, ROLE_SYSTEM_MENUBAR}}) {
    VARIANT v;
    ASSERT_EQ(c.pBar->GetAccessible()->get_accRole(Child(0), &v), S_OK);
    EXPECT_EQ(v.lVal, c.nRole) << c.nRole;
    ASSERT_EQ(c.pBar->GetAccessible()->get_accRole(Child(1), &v), S_OK);
    EXPECT_EQ(v.lVal, ROLE_SYSTEM_MENUITEM);
  }
  IDispatch* pChild = nullptr;
  ASSERT_EQ(pItem->GetAccessible()->get_accChild(Child(1), &pChild), S_OK);
  EXPECT_EQ(pChild, pPopupBar->GetAccessibleDispatch());
  pChild->Release();
}

TEST(Accessibility, SelectingWhileTrackingRaisesTheFocusEvent)
{
  AccFixture f;
  f.pToolBar->GetControls()->Add(tkControlButton, 600);
  f.pToolBar->GetControls()->Add(tkControlButton, 601);
  f.pToolBar->OnRecalcLayout();
  user::WinEventRecorder events;
  f.pToolBar->SetSelected(0, FALSE);
  f.pToolBar->SetSelected(-1, FALSE);
  EXPECT_TRUE(events.Events().empty());
  f.pToolBar->SetTrackingMode(1, FALSE, TRUE);
  events.Clear();
  f.pToolBar->SetSelected(1, TRUE);
  EXPECT_EQ(events.Events(),
            (std::vector<user::WinEvent>{{EVENT_OBJECT_FOCUS, f.pToolBar->m_hWnd, OBJID_MENU, 2}}));
  f.pToolBar->SetTrackingMode(0, FALSE, FALSE);
}

}  // namespace
