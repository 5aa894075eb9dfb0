// Controls as assistive tools see them through their IAccessible: names, roles, states, identifiers of
// children, and the actions.
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

}  // namespace
