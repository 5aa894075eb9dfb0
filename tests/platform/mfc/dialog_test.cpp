// CDialog: modal runs answered by the responder, the values going to the controls and back, a failed check
// keeping the dialog open, the dialog manager's keys, notifications, and modeless dialogs' lives.
#include "tests/platform/mfc/dialog_template.h"

#include "platform/mfc/afxres.h"
#include "platform/mfc/afxwin.h"
#include "platform/user/common_controls.h"
#include "platform/user/input.h"
#include "platform/user/msgbox.h"
#include "res/dialogs_ids.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace res {
const platform::ResourceModuleData& DialogsModule();
}

namespace {

using namespace mfctest;

namespace ids = res::dialogs;
constexpr int kStep = ids::IDC_GROUP_STEP;
constexpr int kName = ids::IDC_GROUP_NAME;
constexpr int kUniformity = ids::IDC_GROUP_UNIFORMITY;
constexpr int kLuminance = ids::IDC_GROUP_LUMINANCE;
constexpr int kIlluminance = ids::IDC_GROUP_ILLUMINANCE;
constexpr int kHelp = ids::IDC_GROUP_HELP;

// The tests' templates are the resource handle's while a test runs, and a shown main window owns the
// dialogs, as the program's frame does.
class DialogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    previous_ = AfxGetResourceHandle();
    AfxSetResourceHandle(platform::RegisterResourceModule(res::DialogsModule()));
    ASSERT_TRUE(owner_.CreateEx(0, nullptr, "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                                nullptr, nullptr));
  }
  void TearDown() override
  {
    owner_.DestroyWindow();
    AfxSetResourceHandle(previous_);
  }

  CWnd owner_;

private:
  HINSTANCE previous_ = nullptr;
};

class CGroupDialog : public CDialog {
public:
  explicit CGroupDialog(CWnd* pParent = nullptr) : CDialog(ids::IDD_GROUP_PARAMS, pParent) {}

  CString m_name;
  double m_step = 20.0;
  int m_uniformity = 0;
  int m_mode = 0;
  std::vector<std::string> events;

  void OnHelp() { events.push_back("help"); }
  void OnStepChange() { events.push_back("step changed"); }
  void OnModeClicked() { events.push_back("mode clicked"); }
  void OnDeltaPos(NMHDR* pNotify, LRESULT* pResult)
  {
    events.push_back("delta from " + std::to_string(pNotify->idFrom));
    *pResult = 7;
  }
  // The name stands out: dark red on a brush of the dialog's own.
  CBrush m_nameBrush{RGB(255, 255, 224)};
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
  {
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd->GetDlgCtrlID() == kName) {
      pDC->SetTextColor(RGB(128, 0, 0));
      return m_nameBrush;
    }
    return brush;
  }

protected:
  void DoDataExchange(CDataExchange* pDX) override
  {
    DDX_Text(pDX, kName, m_name);
    DDX_Text(pDX, kStep, m_step);
    DDV_MinMaxDouble(pDX, m_step, 0.01, 100);
    DDX_Check(pDX, kUniformity, m_uniformity);
    DDX_Radio(pDX, kLuminance, m_mode);
  }

  DECLARE_MESSAGE_MAP()
};

constexpr UINT kDeltaPos = static_cast<UINT>(-722);

BEGIN_MESSAGE_MAP(CGroupDialog, CDialog)
  ON_BN_CLICKED(kHelp, &CGroupDialog::OnHelp)
  ON_EN_CHANGE(kStep, &CGroupDialog::OnStepChange)
  ON_BN_CLICKED(kIlluminance, &CGroupDialog::OnModeClicked)
  ON_NOTIFY(kDeltaPos, 1037, &CGroupDialog::OnDeltaPos)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

// Not a dialog: a window of the main frame's kind handling its child's notification.
class CPanel : public CWnd {
public:
  std::vector<std::string> events;
  void OnDeltaPos(UINT id, NMHDR*, LRESULT* pResult)
  {
    events.push_back("panel delta from " + std::to_string(id));
    *pResult = 9;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPanel, CWnd)
  ON_NOTIFY_RANGE(kDeltaPos, 1037, 1040, &CPanel::OnDeltaPos)
END_MESSAGE_MAP()

// Controls that take their own notifications.
class CWatchedEdit : public CEdit {
public:
  int changes = 0;
  void OnChange() { ++changes; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWatchedEdit, CEdit)
  ON_CONTROL_REFLECT(EN_CHANGE, &CWatchedEdit::OnChange)
END_MESSAGE_MAP()

class CSpinner : public CWnd {
public:
  void OnDeltaPos(NMHDR*, LRESULT* pResult) { *pResult = 5; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSpinner, CWnd)
  ON_NOTIFY_REFLECT(kDeltaPos, &CSpinner::OnDeltaPos)
END_MESSAGE_MAP()

// A check box on a white band, as the wizard pages' header statics are.
class CBandCheck : public CButton {
public:
  CBrush m_band{RGB(255, 255, 255)};
  HBRUSH CtlColor(CDC* pDC, UINT)
  {
    pDC->SetBkColor(RGB(255, 255, 255));
    return m_band;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBandCheck, CButton)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// A responder for the length of a test.
class Responder {
public:
  explicit Responder(user::ModalResponder responder) { user::SetModalResponder(std::move(responder)); }
  ~Responder() { user::SetModalResponder(nullptr); }
};

std::string Text(HWND dialog, int id)
{
  char text[128] = {};
  ::GetDlgItemText(dialog, id, text, sizeof text);
  return text;
}

TEST_F(DialogTest, ModalShowsTheMembersAndTakesTheEditedValuesOnOK)
{
  CGroupDialog dialog(&owner_);
  dialog.m_name = "Опоры вдоль дороги";
  dialog.m_step = 37.5;
  dialog.m_mode = 0;
  std::vector<std::string> shown;
  Responder responder([&](const user::ModalQuestion& q) {
    EXPECT_EQ(q.kind, user::ModalQuestion::Kind::Dialog);
    // Showing the values reported no change of the step: notifications are not heard during an exchange.
    EXPECT_TRUE(dialog.events.empty());
    EXPECT_EQ(q.caption, "Параметры группы");
    EXPECT_EQ(q.dialogId, ids::IDD_GROUP_PARAMS);
    EXPECT_EQ(q.owner, owner_.m_hWnd);
    EXPECT_FALSE(owner_.IsWindowEnabled());
    shown = {Text(q.dialog, kName), Text(q.dialog, kStep), std::to_string(::IsDlgButtonChecked(q.dialog, kLuminance))};
    ::SetDlgItemText(q.dialog, kName, "Сквер");
    ::SetDlgItemText(q.dialog, kStep, "12.25");
    ::CheckDlgButton(q.dialog, kUniformity, BST_CHECKED);
    ::CheckRadioButton(q.dialog, kLuminance, kIlluminance, kIlluminance);
    return IDOK;
  });

  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(shown, (std::vector<std::string>{"Опоры вдоль дороги", "37.5", "1"}));
  EXPECT_EQ(dialog.m_name, "Сквер");
  EXPECT_EQ(dialog.m_step, 12.25);
  EXPECT_EQ(dialog.m_uniformity, 1);
  EXPECT_EQ(dialog.m_mode, 1);
  EXPECT_EQ(dialog.m_hWnd, nullptr);  // the window is gone, the object lets go of it
  EXPECT_TRUE(owner_.IsWindowEnabled());
}

TEST_F(DialogTest, ModalAValueOutOfRangeIsExplainedAndTheDialogStaysOpenOnIt)
{
  CGroupDialog dialog(&owner_);
  dialog.m_step = 250;  // the caller's value, beyond what the dialog accepts
  user::ScriptedResponder responder;
  responder.AnswerNext(IDOK);  // the dialog: OK pressed at once
  // Then, in the dialog that stayed open, the user types over the selected step and presses Enter.
  user::InjectKeyPress('5');
  user::InjectKeyPress(VK_RETURN);

  EXPECT_EQ(dialog.DoModal(), IDOK);
  ASSERT_EQ(responder.Asked().size(), 2u);
  EXPECT_EQ(responder.Asked()[0].kind, user::ModalQuestion::Kind::Dialog);
  const user::ModalQuestion& box = responder.Asked()[1];
  EXPECT_EQ(box.kind, user::ModalQuestion::Kind::MessageBox);
  EXPECT_EQ(box.text, "Введите число от 0.01 до 100.");
  EXPECT_EQ(dialog.m_step, 5.0);
}

// A dialog from a template in memory: the name only.
class CNameDialog : public CDialog {
public:
  CString m_name;

protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, kName, m_name); }
};

TEST_F(DialogTest, ModalFromATemplateInMemoryCancelsWithEscapeWithoutReadingTheControls)
{
  DialogTemplate t(WS_POPUP | WS_CAPTION, 160, 50, "Название");
  t.Item(kEditClass, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 7, 100, 12, kName);
  t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 30, 45, 14, IDOK, "OK");
  t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 100, 30, 45, 14, IDCANCEL, "Отмена");
  CNameDialog dialog;
  ASSERT_TRUE(dialog.InitModalIndirect(t.Data(), &owner_));
  dialog.m_name = "Опоры";
  int askedId = -1;
  Responder responder([&](const user::ModalQuestion& q) {
    askedId = q.dialogId;  // a template built in memory has no id
    return 0;              // no answer: the keys decide
  });
  user::InjectKeyPress('X');
  user::InjectKeyPress(VK_ESCAPE);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(askedId, 0);
  EXPECT_EQ(dialog.m_name, "Опоры");

  // The same dialog again, typed over and confirmed.
  user::InjectKeyPress('X');
  user::InjectKeyPress(VK_RETURN);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_name, "x");
}

// Escape does not close this one: its PreTranslateMessage takes the key first.
class CStubbornDialog : public CNameDialog {
public:
  int keysSeen = 0;
  BOOL PreTranslateMessage(MSG* pMsg) override
  {
    if (pMsg->message == WM_KEYDOWN) {
      ++keysSeen;
      if (pMsg->wParam == VK_ESCAPE) {
        return TRUE;
      }
    }
    return CNameDialog::PreTranslateMessage(pMsg);
  }
};

TEST_F(DialogTest, ModalLoopOffersMessagesToPreTranslateMessageFirst)
{
  DialogTemplate t(WS_POPUP | WS_CAPTION, 160, 50, "Название");
  t.Item(kEditClass, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 7, 100, 12, kName);
  t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 30, 45, 14, IDOK, "OK");
  CStubbornDialog dialog;
  dialog.InitModalIndirect(t.Data(), &owner_);
  Responder responder([](const user::ModalQuestion&) { return 0; });
  user::InjectKeyPress(VK_ESCAPE);
  user::InjectKeyPress('Z');
  user::InjectKeyPress(VK_RETURN);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_name, "z");
  EXPECT_EQ(dialog.keysSeen, 3);
}

// A dialog that idles as the toolkit's dialogs do: each WM_KICKIDLE is recorded with its count, and a script
// says what the dialog does at each call. Bars in a dialog update their buttons only through these calls.
class CIdleDialog : public CNameDialog {
public:
  std::vector<LPARAM> counts;
  std::function<LRESULT(CIdleDialog&, LPARAM)> onIdle;

  LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam)
  {
    EXPECT_EQ(wParam, static_cast<WPARAM>(MSGF_DIALOGBOX));
    counts.push_back(lParam);
    return onIdle(*this, lParam);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CIdleDialog, CNameDialog)
  ON_MESSAGE(WM_KICKIDLE, &CIdleDialog::OnKickIdle)
END_MESSAGE_MAP()

// A message that is not a mere repaint or system timer starts the count again, also after the dialog answered 0
// and the calls stopped; no probe of the loop's is left behind.
TEST_F(DialogTest, ModalLoopIdlesWhenItsQueueIsEmptyCountingTheQuietSpell)
{
  DialogTemplate t(WS_POPUP | WS_CAPTION, 160, 50, "Название");
  t.Item(kEditClass, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 7, 100, 12, kName);
  Responder responder([](const user::ModalQuestion&) { return 0; });

  struct Case {
    const char* what;
    std::function<LRESULT(CIdleDialog&, LPARAM)> onIdle;
    std::vector<LPARAM> counts;
  };
  auto endAt = [](std::size_t calls) {
    return [calls](CIdleDialog& d, LPARAM) -> LRESULT {
      if (d.counts.size() == calls) {
        d.EndDialog(IDOK);
        return 0;
      }
      return 1;
    };
  };
  const Case cases[] = {
      {"idles on while it answers more", endAt(3), {0, 1, 2}},
      {"a key starts the count again",
       [&](CIdleDialog& d, LPARAM count) -> LRESULT {
         if (d.counts.size() == 2) {
           user::InjectKeyPress('Q');
         }
         return endAt(5)(d, count);
       },
       {0, 1, 0, 1, 2}},
      {"a system timer does not",
       [&](CIdleDialog& d, LPARAM count) -> LRESULT {
         if (d.counts.size() == 2) {
           ::PostMessage(d.m_hWnd, 0x0118, 0, 0);
         }
         return endAt(4)(d, count);
       },
       {0, 1, 2, 3}},
      {"after answering 0, the next message starts it again",
       [&](CIdleDialog& d, LPARAM count) -> LRESULT {
         if (d.counts.size() == 2) {
           ::PostMessage(d.m_hWnd, WM_NULL, 0, 0);
           return 0;
         }
         return endAt(4)(d, count);
       },
       {0, 1, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CIdleDialog dialog;
    ASSERT_TRUE(dialog.InitModalIndirect(t.Data(), &owner_));
    dialog.onIdle = c.onIdle;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.counts, c.counts);
  }
  MSG left{};
  EXPECT_FALSE(::PeekMessage(&left, nullptr, WM_KICKIDLE, WM_KICKIDLE, PM_NOREMOVE));
}

// Tooltips ask a window which child is under the mouse: visible children with an id answer, hidden ones and
// static labels do not, and a disabled child still does, so its tip can say why it is disabled.
TEST_F(DialogTest, ToolHitTestFindsTheVisibleChildWithAnIdUnderThePoint)
{
  CWnd panel;
  ASSERT_TRUE(panel.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 100), &owner_, 10));
  CWnd button, edit, label, hidden, disabled;
  ASSERT_TRUE(button.Create("BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 50, 20), &panel, 11));
  ASSERT_TRUE(edit.Create("EDIT", "", WS_CHILD | WS_VISIBLE, CRect(60, 0, 150, 20), &panel, 12));
  ASSERT_TRUE(label.Create("STATIC", "Шаг", WS_CHILD | WS_VISIBLE, CRect(160, 0, 200, 20), &panel, 0xFFFF));
  ASSERT_TRUE(hidden.Create("EDIT", "", WS_CHILD, CRect(210, 0, 250, 20), &panel, 14));
  ASSERT_TRUE(disabled.Create("EDIT", "", WS_CHILD | WS_VISIBLE | WS_DISABLED, CRect(260, 0, 300, 20), &panel, 15));

  struct Case {
    CPoint point;
    INT_PTR id;
    HWND tool;
    UINT flags;
  };
  const Case cases[] = {
      {{10, 10}, 11, button.m_hWnd, TTF_IDISHWND},
      {{49, 19}, 11, button.m_hWnd, TTF_IDISHWND},
      {{50, 10}, -1, nullptr, 0},
      {{100, 5}, 12, edit.m_hWnd, TTF_IDISHWND | TTF_NOTBUTTON | TTF_CENTERTIP},
      {{170, 5}, -1, nullptr, 0},
      {{220, 5}, -1, nullptr, 0},
      {{270, 5}, 15, disabled.m_hWnd, TTF_IDISHWND | TTF_NOTBUTTON | TTF_CENTERTIP},
      {{350, 50}, -1, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
    TOOLINFO info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(panel.OnToolHitTest(c.point, &info), c.id);
    EXPECT_EQ(reinterpret_cast<HWND>(info.uId), c.tool);
    EXPECT_EQ(info.uFlags, c.flags);
    if (c.tool != nullptr) {
      EXPECT_EQ(info.hwnd, panel.m_hWnd);
      EXPECT_EQ(info.lpszText, LPSTR_TEXTCALLBACK);
    }
  }
  EXPECT_EQ(panel.OnToolHitTest(CPoint(10, 10), nullptr), 11);
  TOOLINFO tooSmall{};
  tooSmall.cbSize = 20;
  EXPECT_EQ(panel.OnToolHitTest(CPoint(10, 10), &tooSmall), 11);
  EXPECT_EQ(tooSmall.uId, 0U);
}

TEST_F(DialogTest, ModalWithoutATemplateItCannotRun)
{
  CDialog dialog(4711);  // no module has this template
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

// A modeless dialog: keys come through the application's loop.
class CToolDialog : public CGroupDialog {
public:
  static inline int alive = 0;
  explicit CToolDialog(CWnd* pParent) : CGroupDialog(pParent) { ++alive; }
  ~CToolDialog() override { --alive; }

  void OnCancel() override { DestroyWindow(); }

protected:
  void PostNcDestroy() override { delete this; }
};

TEST_F(DialogTest, TabFollowsTheTemplateSkippingDisabledControlsAndArrowsMoveInTheGroup)
{
  CGroupDialog dialog(&owner_);
  ASSERT_TRUE(dialog.Create(ids::IDD_GROUP_PARAMS));
  HWND hwnd = dialog.m_hWnd;
  std::vector<int> order{::GetDlgCtrlID(::GetFocus())};
  for (int i = 0; i < 7; ++i) {
    user::InjectKeyPress(VK_TAB);
    PumpMessages();
    order.push_back(::GetDlgCtrlID(::GetFocus()));
  }
  EXPECT_EQ(order, (std::vector<int>{kName, kStep, kUniformity, kLuminance, IDOK, IDCANCEL, kHelp, kName}));

  // Down in the radio group moves to the next button and checks it.
  dialog.GotoDlgCtrl(CWnd::FromHandle(::GetDlgItem(hwnd, kLuminance)));
  user::InjectKeyPress(VK_DOWN);
  PumpMessages();
  EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), kIlluminance);
  EXPECT_EQ(::IsDlgButtonChecked(hwnd, kIlluminance), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(hwnd, kLuminance), BST_UNCHECKED);

  // The program moves the focus as Tab and Shift+Tab do.
  dialog.PrevDlgCtrl();
  EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), kLuminance);
  dialog.PrevDlgCtrl();
  EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), kUniformity);
  dialog.NextDlgCtrl();
  EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), kLuminance);
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonTheProgramChose)
{
  CGroupDialog dialog(&owner_);
  ASSERT_TRUE(dialog.Create(ids::IDD_GROUP_PARAMS));
  HWND hwnd = dialog.m_hWnd;
  EXPECT_EQ(dialog.GetDefID(), MAKELONG(IDOK, DC_HASDEFID));  // the template's default push button

  dialog.SetDefID(kHelp);
  EXPECT_EQ(dialog.GetDefID(), MAKELONG(kHelp, DC_HASDEFID));
  // One button looks like the default.
  EXPECT_EQ(::GetWindowLong(::GetDlgItem(hwnd, kHelp), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(::GetWindowLong(::GetDlgItem(hwnd, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);

  dialog.GotoDlgCtrl(CWnd::FromHandle(::GetDlgItem(hwnd, kStep)));
  user::InjectKeyPress(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(dialog.events, std::vector<std::string>{"help"});
  EXPECT_TRUE(::IsWindowVisible(hwnd));  // OK was not pressed
}

TEST_F(DialogTest, NotificationsReachTheMapAndAnswerExceptWhileValuesAreExchanged)
{
  CGroupDialog dialog(&owner_);
  ASSERT_TRUE(dialog.Create(ids::IDD_GROUP_PARAMS));
  HWND hwnd = dialog.m_hWnd;

  dialog.m_step = 3;
  dialog.UpdateData(FALSE);  // sets the step's text, silently
  EXPECT_EQ(Text(hwnd, kStep), "3");
  EXPECT_TRUE(dialog.events.empty());

  // The user's typing is heard.
  dialog.GotoDlgCtrl(CWnd::FromHandle(::GetDlgItem(hwnd, kStep)));
  user::InjectKeyPress('4');
  PumpMessages();
  EXPECT_EQ(dialog.events, std::vector<std::string>{"step changed"});

  // WM_NOTIFY goes to the ON_NOTIFY entry of its control and code; the handler's answer comes back.
  dialog.events.clear();
  NMHDR header{nullptr, 1037, kDeltaPos};
  EXPECT_EQ(::SendMessage(hwnd, WM_NOTIFY, 1037, reinterpret_cast<LPARAM>(&header)), 7);
  NMHDR other{nullptr, 1038, kDeltaPos};
  EXPECT_EQ(::SendMessage(hwnd, WM_NOTIFY, 1038, reinterpret_cast<LPARAM>(&other)), 0);
  EXPECT_EQ(dialog.events, std::vector<std::string>{"delta from 1037"});

  // A control's object that reflects a notification takes it before the dialog, which then hears nothing.
  dialog.events.clear();
  CWatchedEdit step;
  ASSERT_TRUE(step.SubclassDlgItem(kStep, &dialog));
  dialog.GotoDlgCtrl(&step);
  user::InjectKeyPress('6');
  PumpMessages();
  EXPECT_EQ(step.changes, 1);
  CSpinner spinner;
  ASSERT_TRUE(spinner.CreateEx(0, nullptr, "", WS_CHILD, 0, 0, 10, 10, hwnd, reinterpret_cast<HMENU>(1037)));
  NMHDR fromSpinner{spinner.m_hWnd, 1037, kDeltaPos};
  EXPECT_EQ(::SendMessage(hwnd, WM_NOTIFY, 1037, reinterpret_cast<LPARAM>(&fromSpinner)), 5);
  EXPECT_TRUE(dialog.events.empty());

  // Any window of the framework takes its notifications the same way.
  CPanel panel;
  ASSERT_TRUE(panel.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, owner_.m_hWnd, nullptr));
  EXPECT_EQ(panel.SendMessage(WM_NOTIFY, 1038, reinterpret_cast<LPARAM>(&other)), 9);
  EXPECT_EQ(panel.events, std::vector<std::string>{"panel delta from 1038"});

  // ... and reflects them to a child's object as a dialog does, with or without map entries of its own.
  panel.events.clear();
  CSpinner panelSpinner;
  ASSERT_TRUE(panelSpinner.CreateEx(0, nullptr, "", WS_CHILD, 0, 0, 10, 10, panel.m_hWnd,
                                    reinterpret_cast<HMENU>(1039)));
  NMHDR fromPanelSpinner{panelSpinner.m_hWnd, 1039, kDeltaPos};
  EXPECT_EQ(panel.SendMessage(WM_NOTIFY, 1039, reinterpret_cast<LPARAM>(&fromPanelSpinner)), 5);
  EXPECT_TRUE(panel.events.empty());
  CWnd plain;
  ASSERT_TRUE(plain.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, owner_.m_hWnd, nullptr));
  CWatchedEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &plain, 1041));
  plain.SendMessage(WM_COMMAND, MAKEWPARAM(1041, EN_CHANGE), reinterpret_cast<LPARAM>(edit.m_hWnd));
  EXPECT_EQ(edit.changes, 1);
  CSpinner plainSpinner;
  ASSERT_TRUE(plainSpinner.CreateEx(0, nullptr, "", WS_CHILD, 0, 0, 10, 10, plain.m_hWnd,
                                    reinterpret_cast<HMENU>(1042)));
  NMHDR fromPlainSpinner{plainSpinner.m_hWnd, 1042, kDeltaPos};
  EXPECT_EQ(plain.SendMessage(WM_NOTIFY, 1042, reinterpret_cast<LPARAM>(&fromPlainSpinner)), 5);
}

TEST_F(DialogTest, ControlsTakeTheColoursTheDialogOrTheirOwnObjectChooses)
{
  CGroupDialog dialog(&owner_);
  ASSERT_TRUE(dialog.Create(ids::IDD_GROUP_PARAMS));
  CBandCheck band;
  ASSERT_TRUE(band.SubclassDlgItem(kUniformity, &dialog));
  HDC dc = ::CreateCompatibleDC(nullptr);
  auto colours = [&](UINT message, int id) {
    return reinterpret_cast<HBRUSH>(
        dialog.SendMessage(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id))));
  };

  EXPECT_EQ(colours(WM_CTLCOLOREDIT, kName), static_cast<HBRUSH>(dialog.m_nameBrush));
  EXPECT_EQ(::GetTextColor(dc), RGB(128, 0, 0));
  HBRUSH stepBrush = colours(WM_CTLCOLOREDIT, kStep);  // the default
  EXPECT_NE(stepBrush, nullptr);
  EXPECT_NE(stepBrush, static_cast<HBRUSH>(dialog.m_nameBrush));
  // The check box's object answers before the dialog.
  EXPECT_EQ(colours(WM_CTLCOLORSTATIC, kUniformity), static_cast<HBRUSH>(band.m_band));
  EXPECT_EQ(::GetBkColor(dc), RGB(255, 255, 255));
  ::DeleteDC(dc);
}

TEST_F(DialogTest, ModelessLivesUntilItsWindowGoesAndDeletesItself)
{
  CToolDialog::alive = 0;
  auto* tool = new CToolDialog(&owner_);
  tool->m_step = 8;
  ASSERT_TRUE(tool->Create(ids::IDD_GROUP_PARAMS));
  HWND hwnd = tool->m_hWnd;
  EXPECT_TRUE(::IsWindowVisible(hwnd));
  EXPECT_EQ(Text(hwnd, kStep), "8");  // initialised like a modal one
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), tool);

  // Escape reaches OnCancel through the application's loop; the window and the object go.
  user::InjectKeyPress(VK_ESCAPE);
  PumpMessages();
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(CToolDialog::alive, 0);

  // A dialog object that goes first takes its window with it.
  {
    CGroupDialog onStack(&owner_);
    ASSERT_TRUE(onStack.Create(ids::IDD_GROUP_PARAMS));
    hwnd = onStack.m_hWnd;
  }
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

}  // namespace

namespace {

// Moves itself while it initialises: the framework leaves such a dialog where it put itself.
class CPlacedDialog : public CDialog {
public:
  BOOL OnInitDialog() override
  {
    CDialog::OnInitDialog();
    SetWindowPos(nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return TRUE;
  }
};

TEST_F(DialogTest, ModalDialogsOpenCentredOverTheirOwnerOnTheScreenUnlessPlaced)
{
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  struct Case {
    const char* what;
    RECT owner;
    DWORD style;
    bool placesItself;
    std::function<bool(const RECT& dialog, const RECT& owner)> expected;
  };
  auto centredOver = [](const RECT& d, const RECT& o) {
    return std::abs((d.left + d.right) - (o.left + o.right)) <= 1 &&
           std::abs((d.top + d.bottom) - (o.top + o.bottom)) <= 1;
  };
  auto onScreen = [&](const RECT& d, const RECT&) {
    return d.left >= 0 && d.top >= 0 && d.right <= screenWidth && d.bottom <= screenHeight;
  };
  const Case cases[] = {
      {"over its owner", {200, 100, 1000, 700}, 0, false, centredOver},
      {"owner partly off the right and bottom: kept on the screen",
       {screenWidth - 150, screenHeight - 80, screenWidth + 650, screenHeight + 520},
       0,
       false,
       onScreen},
      {"owner partly off the left: kept on the screen", {-700, 100, 100, 700}, 0, false, onScreen},
      {"DS_ABSALIGN: where the template says on the screen", {200, 100, 1000, 700}, DS_ABSALIGN, false,
       [](const RECT& d, const RECT&) { return d.left == 0 && d.top == 0; }},
      {"moved by OnInitDialog: stays there", {200, 100, 1000, 700}, 0, true,
       [](const RECT& d, const RECT&) { return d.left == 30 && d.top == 40; }},
  };
  for (const Case& c : cases) {
    owner_.MoveWindow(&c.owner);
    DialogTemplate t(WS_POPUP | WS_CAPTION | c.style, 160, 50, "Шаг");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 30, 45, 14, IDOK, "OK");
    CDialog plain;
    CPlacedDialog placed;
    CDialog& dialog = c.placesItself ? static_cast<CDialog&>(placed) : plain;
    ASSERT_TRUE(dialog.InitModalIndirect(t.Data(), &owner_));
    RECT at{};
    Responder responder([&](const user::ModalQuestion& q) {
      ::GetWindowRect(q.dialog, &at);
      return IDCANCEL;
    });
    dialog.DoModal();
    EXPECT_TRUE(c.expected(at, c.owner)) << c.what << ": " << at.left << "," << at.top << " " << at.right << ","
                                         << at.bottom;
  }
}

TEST_F(DialogTest, AModelessDialogOfAnEnabledOwnerKeepsItsTemplatePlace)
{
  owner_.MoveWindow(200, 100, 800, 600);
  DialogTemplate t(WS_POPUP | WS_CAPTION, 160, 50, "Шаг");
  CDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(t.Data(), &owner_));
  RECT at{};
  dialog.GetWindowRect(&at);
  POINT origin{0, 0};
  ::ClientToScreen(owner_.m_hWnd, &origin);
  EXPECT_EQ(at.left, origin.x);
  EXPECT_EQ(at.top, origin.y);
  dialog.DestroyWindow();
}

}  // namespace
