// Data exchange between members and controls: parsing and showing numbers, the checks and their messages,
// radio groups, check boxes and list selections, each case on a fresh dialog.
#include "tests/platform/mfc/dialog_template.h"

#include "platform/mfc/afxwin.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace mfctest;

enum : int {
  kEdit = 100,
  kRadioFirst = 201,
  kRadioSecond = 202,
  kRadioThird = 203,
  kCheck = 300,
  kDropList = 400,
  kDropDown = 401,
  kList = 500,
};

DialogTemplate ExchangeTemplate()
{
  DialogTemplate t(WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 160, "Обмен");
  t.Item(kEditClass, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 5, 5, 80, 12, kEdit);
  // A radio group with a label inside it: the label is no button of the group.
  t.Item(kButtonClass, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 5, 20, 60, 10, kRadioFirst, "Яркость");
  t.Item(kButtonClass, BS_AUTORADIOBUTTON, 5, 32, 60, 10, kRadioSecond, "Освещенность");
  t.Item(kStaticClass, SS_LEFT, 5, 44, 60, 8, 0xFFFF, "пояснение");
  t.Item(kButtonClass, BS_AUTORADIOBUTTON, 5, 54, 60, 10, kRadioThird, "Другое");
  t.Item(kButtonClass, BS_AUTO3STATE | WS_GROUP | WS_TABSTOP, 5, 66, 60, 10, kCheck, "Равномерность");
  t.Item(kComboBoxClass, CBS_DROPDOWNLIST | WS_TABSTOP, 100, 5, 60, 60, kDropList);
  t.Item(kComboBoxClass, CBS_DROPDOWN | WS_TABSTOP, 100, 20, 60, 60, kDropDown);
  t.Item(kListBoxClass, WS_BORDER | WS_TABSTOP, 100, 40, 60, 50, kList);
  return t;
}

class CExchangeDialog : public CDialog {
public:
  std::function<void(CDataExchange*)> exchange;

protected:
  void DoDataExchange(CDataExchange* pDX) override
  {
    if (exchange) {
      exchange(pDX);
    }
  }
};

std::string Text(HWND hwnd)
{
  char text[256] = {};
  ::GetWindowText(hwnd, text, sizeof text);
  return text;
}

struct ExchangeCase {
  const char* name;
  BOOL save;
  // Puts the controls in the state the case starts from.
  std::function<void(HWND dialog)> arrange;
  // Exchanges and returns what the case looks at: the member after saving, a control's state after loading.
  std::function<std::string(CDataExchange*, HWND dialog)> exchange;
  const char* expected;  // the value, or for a failing case the message shown
  bool fails = false;
};

void SetEdit(HWND dialog, const char* text) { ::SetDlgItemText(dialog, kEdit, text); }

template <class T>
std::function<std::string(CDataExchange*, HWND)> SaveNumber(T initial, const char* format)
{
  return [initial, format](CDataExchange* pDX, HWND) {
    T value = initial;
    DDX_Text(pDX, kEdit, value);
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return std::string(text);
  };
}

template <class T>
std::function<std::string(CDataExchange*, HWND)> LoadNumber(T value)
{
  return [value](CDataExchange* pDX, HWND dialog) {
    T shown = value;
    DDX_Text(pDX, kEdit, shown);
    return Text(::GetDlgItem(dialog, kEdit));
  };
}

void AddItems(HWND dialog, int id, bool combo)
{
  for (const char* item : {"10", "15", "150", "20"}) {
    ::SendDlgItemMessage(dialog, id, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
}

std::string Selection(HWND dialog, int id, bool combo)
{
  return std::to_string(::SendDlgItemMessage(dialog, id, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

std::string Checks(HWND dialog)
{
  std::string checks;
  for (int id : {kRadioFirst, kRadioSecond, kRadioThird}) {
    checks += ::IsDlgButtonChecked(dialog, id) != 0 ? '1' : '0';
  }
  return checks;
}

const ExchangeCase kCases[] = {
    // Whole numbers
    {"IntWithBlanks", TRUE, [](HWND d) { SetEdit(d, "  42 "); }, SaveNumber(0, "%d"), "42"},
    {"IntNegative", TRUE, [](HWND d) { SetEdit(d, "-7"); }, SaveNumber(0, "%d"), "-7"},
    {"IntTrailingLetters", TRUE, [](HWND d) { SetEdit(d, "12x"); }, SaveNumber(5, "%d"), "Введите целое число.", true},
    {"IntEmpty", TRUE, [](HWND d) { SetEdit(d, ""); }, SaveNumber(5, "%d"), "Введите целое число.", true},
    {"IntFraction", TRUE, [](HWND d) { SetEdit(d, "2.5"); }, SaveNumber(5, "%d"), "Введите целое число.", true},
    {"IntBeyondItsRange", TRUE, [](HWND d) { SetEdit(d, "3000000000"); }, SaveNumber(5, "%d"),
     "Введите целое число.", true},
    {"UIntLargest", TRUE, [](HWND d) { SetEdit(d, "4294967295"); }, SaveNumber(0u, "%u"), "4294967295"},
    {"UIntNegative", TRUE, [](HWND d) { SetEdit(d, "-1"); }, SaveNumber(5u, "%u"),
     "Введите целое неотрицательное число.", true},
    {"LongBeyond32Bits", TRUE, [](HWND d) { SetEdit(d, "-9000000000"); }, SaveNumber(0L, "%ld"), "-9000000000"},
    {"IntShown", FALSE, nullptr, LoadNumber(-12), "-12"},
    // Real numbers
    {"DoubleDecimal", TRUE, [](HWND d) { SetEdit(d, "37.5"); }, SaveNumber(0.0, "%.17g"), "37.5"},
    {"DoubleExponent", TRUE, [](HWND d) { SetEdit(d, " 1e-7"); }, SaveNumber(0.0, "%g"), "1e-07"},
    {"DoubleComma", TRUE, [](HWND d) { SetEdit(d, "1,5"); }, SaveNumber(2.0, "%g"), "Введите число.", true},
    {"DoubleNotANumber", TRUE, [](HWND d) { SetEdit(d, "nan"); }, SaveNumber(2.0, "%g"), "Введите число.", true},
    {"DoubleInfinite", TRUE, [](HWND d) { SetEdit(d, "1e999"); }, SaveNumber(2.0, "%g"), "Введите число.", true},
    {"FloatBeyondItsRange", TRUE, [](HWND d) { SetEdit(d, "1e39"); }, SaveNumber(2.0f, "%g"), "Введите число.",
     true},
    {"DoubleShownWith15Digits", FALSE, nullptr, LoadNumber(1.0 / 3.0), "0.333333333333333"},
    {"DoubleShownShort", FALSE, nullptr, LoadNumber(0.1), "0.1"},
    {"FloatShownWith6Digits", FALSE, nullptr, LoadNumber(0.1f), "0.1"},
    // Checks
    {"IntAboveItsMaximum", TRUE, [](HWND d) { SetEdit(d, "7"); },
     [](CDataExchange* pDX, HWND) {
       int lanes = 1;
       DDX_Text(pDX, kEdit, lanes);
       DDV_MinMaxInt(pDX, lanes, 1, 6);
       return std::to_string(lanes);
     },
     "Введите целое число от 1 до 6.", true},
    {"DoubleAtItsBound", TRUE, [](HWND d) { SetEdit(d, "250"); },
     [](CDataExchange* pDX, HWND) {
       double step = 0;
       DDX_Text(pDX, kEdit, step);
       DDV_MinMaxDouble(pDX, step, 1, 250);
       return std::to_string(static_cast<int>(step));
     },
     "250"},
    {"DoubleBelowItsMinimum", TRUE, [](HWND d) { SetEdit(d, "-0.5"); },
     [](CDataExchange* pDX, HWND) {
       double width = 1;
       DDX_Text(pDX, kEdit, width);
       DDV_MinMaxDouble(pDX, width, 0.01, 100);
       return std::string();
     },
     "Введите число от 0.01 до 100.", true},
    {"TextTooLong", TRUE, [](HWND d) { SetEdit(d, "Шоссе"); },
     [](CDataExchange* pDX, HWND) {
       CString name;
       DDX_Text(pDX, kEdit, name);
       DDV_MaxChars(pDX, name, 4);
       return name.str();
     },
     "Введите не более 4 символов.", true},
    {"MaxCharsLimitsTheEdit", FALSE, nullptr,
     [](CDataExchange* pDX, HWND d) {
       CString name("Шоссе");
       DDX_Text(pDX, kEdit, name);
       DDV_MaxChars(pDX, name, 4);
       return std::to_string(::SendDlgItemMessage(d, kEdit, EM_GETLIMITTEXT, 0, 0));
     },
     "4"},
    // Radio groups: the index counts the group's radio buttons only
    {"RadioThirdChecked", TRUE, [](HWND d) { ::CheckDlgButton(d, kRadioThird, BST_CHECKED); },
     [](CDataExchange* pDX, HWND) {
       int mode = 9;
       DDX_Radio(pDX, kRadioFirst, mode);
       return std::to_string(mode);
     },
     "2"},
    {"RadioNoneChecked", TRUE, nullptr,
     [](CDataExchange* pDX, HWND) {
       int mode = 9;
       DDX_Radio(pDX, kRadioFirst, mode);
       return std::to_string(mode);
     },
     "-1"},
    {"RadioShown", FALSE, [](HWND d) { ::CheckDlgButton(d, kRadioFirst, BST_CHECKED); },
     [](CDataExchange* pDX, HWND d) {
       int mode = 1;
       DDX_Radio(pDX, kRadioFirst, mode);
       return Checks(d);
     },
     "010"},
    {"RadioOutOfGroupShowsNone", FALSE, [](HWND d) { ::CheckDlgButton(d, kRadioFirst, BST_CHECKED); },
     [](CDataExchange* pDX, HWND d) {
       int mode = 3;
       DDX_Radio(pDX, kRadioFirst, mode);
       return Checks(d);
     },
     "000"},
    // Check boxes
    {"CheckIndeterminate", TRUE, [](HWND d) { ::CheckDlgButton(d, kCheck, BST_INDETERMINATE); },
     [](CDataExchange* pDX, HWND) {
       int on = 0;
       DDX_Check(pDX, kCheck, on);
       return std::to_string(on);
     },
     "2"},
    {"CheckImpossibleStateShownUnchecked", FALSE, [](HWND d) { ::CheckDlgButton(d, kCheck, BST_CHECKED); },
     [](CDataExchange* pDX, HWND d) {
       int on = 5;
       DDX_Check(pDX, kCheck, on);
       return std::to_string(::IsDlgButtonChecked(d, kCheck));
     },
     "0"},
    // Combo boxes and list boxes
    {"ComboIndexSaved", TRUE, [](HWND d) {
       AddItems(d, kDropList, true);
       ::SendDlgItemMessage(d, kDropList, CB_SETCURSEL, 3, 0);
     },
     [](CDataExchange* pDX, HWND) {
       int index = 0;
       DDX_CBIndex(pDX, kDropList, index);
       return std::to_string(index);
     },
     "3"},
    {"ComboIndexShown", FALSE, [](HWND d) { AddItems(d, kDropList, true); },
     [](CDataExchange* pDX, HWND d) {
       int index = 2;
       DDX_CBIndex(pDX, kDropList, index);
       return Selection(d, kDropList, true);
     },
     "2"},
    {"ComboStringSelectsTheFirstItemStartingWithIt", FALSE, [](HWND d) { AddItems(d, kDropList, true); },
     [](CDataExchange* pDX, HWND d) {
       CString value("15");
       DDX_CBString(pDX, kDropList, value);
       return Selection(d, kDropList, true);
     },
     "1"},
    {"ComboStringExactSkipsLongerItems", FALSE, [](HWND d) {
       ::SendDlgItemMessage(d, kDropList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("150"));
       ::SendDlgItemMessage(d, kDropList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("15"));
     },
     [](CDataExchange* pDX, HWND d) {
       CString value("15");
       DDX_CBStringExact(pDX, kDropList, value);
       return Selection(d, kDropList, true);
     },
     "1"},
    {"ComboStringOfADropListSaved", TRUE, [](HWND d) {
       AddItems(d, kDropList, true);
       ::SendDlgItemMessage(d, kDropList, CB_SETCURSEL, 2, 0);
     },
     [](CDataExchange* pDX, HWND) {
       CString value;
       DDX_CBString(pDX, kDropList, value);
       return value.str();
     },
     "150"},
    {"ComboEditKeepsATextNoItemHas", FALSE, [](HWND d) { AddItems(d, kDropDown, true); },
     [](CDataExchange* pDX, HWND d) {
       CString value("17.5");
       DDX_CBString(pDX, kDropDown, value);
       return Selection(d, kDropDown, true) + " " + Text(::GetDlgItem(d, kDropDown));
     },
     "-1 17.5"},
    {"ListIndexSaved", TRUE, [](HWND d) {
       AddItems(d, kList, false);
       ::SendDlgItemMessage(d, kList, LB_SETCURSEL, 1, 0);
     },
     [](CDataExchange* pDX, HWND) {
       int index = 0;
       DDX_LBIndex(pDX, kList, index);
       return std::to_string(index);
     },
     "1"},
    {"ListIndexNoSelection", TRUE, [](HWND d) { AddItems(d, kList, false); },
     [](CDataExchange* pDX, HWND) {
       int index = 0;
       DDX_LBIndex(pDX, kList, index);
       return std::to_string(index);
     },
     "-1"},
    {"ListStringSaved", TRUE, [](HWND d) {
       AddItems(d, kList, false);
       ::SendDlgItemMessage(d, kList, LB_SETCURSEL, 3, 0);
     },
     [](CDataExchange* pDX, HWND) {
       CString value;
       DDX_LBString(pDX, kList, value);
       return value.str();
     },
     "20"},
    {"ListStringMissingLeavesNoSelection", FALSE, [](HWND d) {
       AddItems(d, kList, false);
       ::SendDlgItemMessage(d, kList, LB_SETCURSEL, 0, 0);
     },
     [](CDataExchange* pDX, HWND d) {
       CString value("7");
       DDX_LBString(pDX, kList, value);
       return Selection(d, kList, false);
     },
     "-1"},
};

class Exchange : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(Exchange, MovesTheValueOrTellsWhyNot)
{
  const ExchangeCase& c = GetParam();
  DialogTemplate t = ExchangeTemplate();
  CExchangeDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(t.Data()));
  HWND hwnd = dialog.m_hWnd;
  if (c.arrange) {
    c.arrange(hwnd);
  }
  std::string got;
  dialog.exchange = [&](CDataExchange* pDX) { got = c.exchange(pDX, hwnd); };
  user::ScriptedResponder responder;
  BOOL succeeded = dialog.UpdateData(c.save);

  EXPECT_EQ(succeeded, c.fails ? FALSE : TRUE);
  if (!c.fails) {
    EXPECT_EQ(got, c.expected);
    EXPECT_TRUE(responder.Asked().empty());
    return;
  }
  ASSERT_EQ(responder.Asked().size(), 1u);
  const user::ModalQuestion& box = responder.Asked()[0];
  EXPECT_EQ(box.kind, user::ModalQuestion::Kind::MessageBox);
  EXPECT_EQ(box.text, c.expected);
  EXPECT_EQ(box.style & MB_ICONMASK, MB_ICONEXCLAMATION);
  // The edit that failed has the focus with all its text selected, ready to be typed over.
  HWND edit = ::GetDlgItem(hwnd, kEdit);
  EXPECT_EQ(::GetFocus(), edit);
  DWORD from = 1;
  DWORD to = 0;
  ::SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, static_cast<DWORD>(::GetWindowTextLength(edit)));
}

INSTANTIATE_TEST_SUITE_P(Cases, Exchange, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ExchangeCase>& info) { return info.param.name; });

TEST(ExchangeFailure, StopsAtTheFirstBadValueLeavingTheRestAsTheyWere)
{
  DialogTemplate t = ExchangeTemplate();
  CExchangeDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(t.Data()));
  ::SetDlgItemText(dialog.m_hWnd, kEdit, "abc");
  ::CheckDlgButton(dialog.m_hWnd, kCheck, BST_CHECKED);
  int before = 1;
  int number = 5;
  int after = 0;
  dialog.exchange = [&](CDataExchange* pDX) {
    DDX_Radio(pDX, kRadioFirst, before);
    DDX_Text(pDX, kEdit, number);
    DDX_Check(pDX, kCheck, after);
  };
  user::ScriptedResponder responder;
  EXPECT_FALSE(dialog.UpdateData(TRUE));
  EXPECT_EQ(before, -1);  // exchanged before the failure
  EXPECT_EQ(number, 5);
  EXPECT_EQ(after, 0);  // never reached
  EXPECT_EQ(responder.Asked().size(), 1u);
}

TEST(ExchangeFailure, AMissingControlFailsTheExchange)
{
  DialogTemplate t = ExchangeTemplate();
  CExchangeDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(t.Data()));
  int value = 3;
  dialog.exchange = [&](CDataExchange* pDX) { DDX_Text(pDX, 999, value); };
  EXPECT_FALSE(dialog.UpdateData(TRUE));
  EXPECT_EQ(value, 3);
}

}  // namespace

namespace {

class CControlsDialog : public CDialog {
public:
  CListBox m_list;
  CComboBox m_levels;

protected:
  void DoDataExchange(CDataExchange* pDX) override
  {
    DDX_Control(pDX, kList, m_list);
    DDX_Control(pDX, kDropList, m_levels);
  }
};

TEST(ControlObjects, DriveTheirControlsWhetherBoundOrNamedForAMoment)
{
  DialogTemplate t = ExchangeTemplate();
  CControlsDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(t.Data()));  // OnInitDialog binds them
  HWND list = ::GetDlgItem(dialog.m_hWnd, kList);
  EXPECT_EQ(dialog.m_list.m_hWnd, list);
  EXPECT_EQ(CListBox::FromHandle(list), &dialog.m_list);
  EXPECT_TRUE(dialog.UpdateData(FALSE));  // bound once; a second exchange leaves them

  dialog.m_list.AddString("Яркость");
  dialog.m_list.AddString("Освещенность");
  dialog.m_list.SetItemData(1, 42);
  dialog.m_list.SetCurSel(1);
  CString text;
  dialog.m_list.GetText(dialog.m_list.GetCurSel(), text);
  EXPECT_EQ(text, "Освещенность");
  EXPECT_EQ(dialog.m_list.GetItemData(1), 42u);
  EXPECT_EQ(dialog.m_list.FindStringExact(-1, "яркость"), 0);

  dialog.m_levels.AddString("0.3");
  dialog.m_levels.AddString("0.4");
  EXPECT_EQ(dialog.m_levels.SelectString(-1, "0.4"), 1);
  dialog.m_levels.GetLBText(dialog.m_levels.GetCurSel(), text);
  EXPECT_EQ(text, "0.4");

  // Controls nobody bound, named through their class for a moment.
  CEdit* edit = CEdit::FromHandle(::GetDlgItem(dialog.m_hWnd, kEdit));
  ASSERT_NE(edit, nullptr);
  edit->SetWindowText("Шоссе");
  edit->SetSel(1, 3);
  int from = 0;
  int to = 0;
  edit->GetSel(from, to);
  EXPECT_EQ(from, 1);
  EXPECT_EQ(to, 3);
  edit->ReplaceSel("--");
  EXPECT_EQ(edit->GetWindowTextString(), "Ш--се");
  CButton* check = CButton::FromHandle(::GetDlgItem(dialog.m_hWnd, kCheck));
  check->SetCheck(BST_INDETERMINATE);
  EXPECT_EQ(check->GetCheck(), BST_INDETERMINATE);

  // Bound by id: the object routes the control's messages from now on.
  CButton radio;
  EXPECT_TRUE(radio.SubclassDlgItem(kRadioSecond, &dialog));
  EXPECT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(dialog.m_hWnd, kRadioSecond)), &radio);
  EXPECT_EQ(radio.GetButtonStyle() & BS_TYPEMASK, BS_AUTORADIOBUTTON);
  EXPECT_FALSE(radio.SubclassDlgItem(999, &dialog));
}

}  // namespace
