// The combo box on a toolbar: what it tells the site (the codes of 10338, in order) as it takes the focus, opens
// its list, is chosen from, or is left without a choice; how many rows the list shows; where it hides.
#include "tests/toolkit/commandbars/bar_frame.h"

#include "platform/gdi/png.h"
#include "platform/mfc-core/memfile.h"
#include "platform/gdi/surface.h"
#include "platform/richedit/richedit.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/system.h"
#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/commandbars/menusound.h"
#include "toolkit/paint/keyboard_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/prop_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace {

using cbtest::CTestBar;
using cbtest::CTestFrame;

constexpr int kComboId = 32996;

void Key(UINT vk) { TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, vk, 0); }

class ComboBox : public ::testing::Test {
public:
  void SetUp() override
  {
    // Edit windows are rich edits, as in the program; the library is chosen once, by the first edit made.
    richedit::RegisterRichEditLibrary();
    ASSERT_TRUE(frame_.Make(500, 300));
    frame_.ShowWindow(SW_SHOW);
    ::SetActiveWindow(frame_.GetSafeHwnd());
    user::InjectMouseMove(CPoint(450, 250));
    cbtest::Pump();
    TKSoundManager().EnableSystemSounds(FALSE);
    pBar_ = frame_.AddBar(tkBarTypeNormal, CRect(0, 0, 500, 28));
    ASSERT_NE(pBar_, nullptr);
    pCombo_ = dynamic_cast<CTKControlComboBox*>(pBar_->GetControls()->Add(tkControlComboBox, kComboId));
    ASSERT_NE(pCombo_, nullptr);
    pBar_->GetControls()->Add(tkControlButton, 57600)->SetCaption("New");
    pBar_->OnRecalcLayout();
  }
  void TearDown() override
  {
    frame_.GetCommandBars()->ClosePopups();
    cbtest::Pump();
    TKSoundManager().EnableSystemSounds(TRUE);
    EXPECT_EQ(TKMouseManager()->m_nLock, 0);
    TKMouseManager()->m_nLock = 0;
  }
  void Fill(int count)
  {
    CTKControlComboBoxList* pList = pCombo_->GetListBar();
    pList->SendMessage(LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i) {
      std::string item = "Mode " + std::to_string(i);
      pList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
  }
  // The codes of 10338 the combo sent since the last call.
  std::vector<int> Codes()
  {
    std::vector<int> codes;
    const std::string prefix = "10338 id " + std::to_string(kComboId) + " code ";
    for (const std::string& entry : frame_.m_log) {
      if (entry.rfind(prefix, 0) == 0)
        codes.push_back(std::stoi(entry.substr(prefix.size())));
    }
    frame_.m_log.clear();
    return codes;
  }
  void OpenList() { pCombo_->OnClick(FALSE, pCombo_->GetRect().CenterPoint()); }

  CTestFrame frame_;
  CTestBar* pBar_ = nullptr;
  CTKControlComboBox* pCombo_ = nullptr;
};

TEST_F(ComboBox, TheSiteHearsFocusListAndChoiceInOrder)
{
  struct Case {
    const char* what;
    std::function<void(ComboBox&)> act;
    std::vector<int> codes;
    int selection;
    const char* text;
    bool commandSent;
  };
  const Case cases[] = {
      {"arrow keys then Esc bring the former selection back",
       [](ComboBox& t) {
         t.pCombo_->Execute();
         Key(VK_DOWN);
         Key(VK_DOWN);
         Key(VK_ESCAPE);
       },
       {3, 1, 1, 1, 10, 4},
       0,
       "Mode 0",
       false},
      {"the list closed without a choice",
       [](ComboBox& t) {
         t.OpenList();
         t.pCombo_->GetListBar()->SendMessage(LB_SETCURSEL, 2, 0);
         Key(VK_ESCAPE);
       },
       {5, 7, 8, 1, 10},
       0,
       "Mode 0",
       false},
      {"Enter in the open list chooses",
       [](ComboBox& t) {
         t.OpenList();
         Key(VK_DOWN);
         Key(VK_RETURN);
       },
       {5, 7, 1, 9, 8, 100},
       1,
       "Mode 1",
       true},
      {"a click in the open list chooses",
       [](ComboBox& t) {
         t.OpenList();
         CTKControlComboBoxList* pList = t.pCombo_->GetListBar();
         pList->SendMessage(LB_SETCURSEL, 2, 0);
         pList->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
       },
       {5, 7, 1, 9, 8, 100},
       2,
       "Mode 2",
       true},
      {"F4 on the focused box opens the list and Enter chooses",
       [](ComboBox& t) {
         t.pCombo_->Execute();
         Key(VK_F4);
         Key(VK_DOWN);
         Key(VK_RETURN);
       },
       {3, 5, 7, 1, 9, 8, 4, 100},  // choosing ends the bar's tracking, and with it the focus, first
       1,
       "Mode 1",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fill(3);
    pCombo_->SetCurSel(0);
    frame_.m_log.clear();
    c.act(*this);
    if (pCombo_->IsFocused())
      pCombo_->SetFocused(FALSE);
    cbtest::Pump();
    bool commandSent = false;
    for (const std::string& entry : frame_.m_log)
      commandSent = commandSent || entry == "WM_COMMAND " + std::to_string(kComboId);
    EXPECT_EQ(Codes(), c.codes);
    EXPECT_EQ(pCombo_->GetCurSel(), c.selection);
    EXPECT_EQ(std::string(pCombo_->GetEditText()), c.text);
    EXPECT_EQ(commandSent, c.commandSent);
    EXPECT_FALSE(pCombo_->IsDroppedDown());
    frame_.GetCommandBars()->ClosePopups();
  }
}

TEST_F(ComboBox, TheMouseOpensTheListPointsAtAnItemAndChoosesItWithAClick)
{
  Fill(3);
  pCombo_->SetCurSel(0);
  CPoint ptBox = pCombo_->GetRect().CenterPoint();
  pBar_->ClientToScreen(&ptBox);
  user::InjectClick(ptBox);
  cbtest::Pump();
  ASSERT_TRUE(pCombo_->IsDroppedDown());
  CTKControlComboBoxList* pList = pCombo_->GetListBar();
  int nItemHeight = static_cast<int>(pList->SendMessage(LB_GETITEMHEIGHT, 0, 0));
  CPoint ptItem(10, nItemHeight * 2 + nItemHeight / 2);  // over the third item
  pList->ClientToScreen(&ptItem);
  user::InjectMouseMove(ptItem);
  cbtest::Pump();
  EXPECT_EQ(pCombo_->GetCurSel(), 2);
  frame_.m_log.clear();
  user::InjectClick(ptItem);
  cbtest::Pump();
  EXPECT_FALSE(pCombo_->IsDroppedDown());
  EXPECT_EQ(pCombo_->GetCurSel(), 2);
  EXPECT_EQ(std::string(pCombo_->GetEditText()), "Mode 2");
  EXPECT_EQ(Codes(), (std::vector<int>{1, 9, 8, 100}));
}

TEST_F(ComboBox, TheListShowsAsManyRowsAsItemsUpToTheDropDownCount)
{
  struct Case {
    int items;
    int dropDownCount;
    int rows;
  };
  const Case cases[] = {{3, 12, 3}, {0, 12, 1}, {20, 12, 12}, {20, 5, 5}};
  CTKControlComboBoxList* pList = pCombo_->GetListBar();
  int nItemHeight = static_cast<int>(pList->SendMessage(LB_GETITEMHEIGHT, 0, 0));
  ASSERT_GT(nItemHeight, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.items) + " items, drop-down count " + std::to_string(c.dropDownCount));
    Fill(c.items);
    pCombo_->SetDropDownItemCount(c.dropDownCount);
    OpenList();
    ASSERT_TRUE(pCombo_->IsDroppedDown());
    CRect rcList;
    pList->GetWindowRect(&rcList);
    EXPECT_EQ(rcList.Height(), nItemHeight * c.rows + 4);
    EXPECT_EQ(rcList.Width(), pCombo_->GetRect().Width());
    CRect rcCombo = pCombo_->GetRect();
    pBar_->ClientToScreen(&rcCombo);
    EXPECT_EQ(rcList.top, rcCombo.bottom);  // it drops below the box
    frame_.GetCommandBars()->ClosePopups();
    EXPECT_FALSE(pList->IsWindowVisible());
  }
}

TEST_F(ComboBox, TheListOpensByClickOrKeysNeverByRestingTheMouseAndHidesOnVerticalBars)
{
  Fill(3);
  pBar_->SetTrackingMode(1, FALSE, FALSE);
  pBar_->SetSelected(pCombo_->GetIndex(), FALSE);
  pCombo_->OnMouseHover();
  EXPECT_FALSE(pCombo_->IsDroppedDown());
  frame_.GetCommandBars()->ClosePopups();

  pCombo_->Execute();
  Key(VK_F4);
  EXPECT_TRUE(pCombo_->IsDroppedDown());
  Key(VK_F4);  // and closes again
  EXPECT_FALSE(pCombo_->IsDroppedDown());
  pCombo_->SetFocused(FALSE);

  pBar_->SetPosition(tkBarLeft);
  pBar_->OnRecalcLayout();
  EXPECT_EQ(pCombo_->GetHideFlags(), TK_HIDEDOCKINGPOSITION);
  pBar_->SetPosition(tkBarTop);
  pBar_->OnRecalcLayout();
  EXPECT_TRUE(pCombo_->IsVisible());
}

}  // namespace

// ---- The drop-down style: an edit window in the box

namespace {

HWND EditWindow(CTKControlComboBox* pCombo)
{
  return pCombo->GetEditCtrl() ? pCombo->GetEditCtrl()->GetSafeHwnd() : nullptr;
}

std::string WindowTextOf(HWND hWnd)
{
  char sz[128] = {};
  ::GetWindowText(hWnd, sz, sizeof(sz));
  return sz;
}

void TypeChar(HWND hWnd, char ch) { ::SendMessage(hWnd, WM_CHAR, static_cast<WPARAM>(ch), 0); }

}  // namespace

TEST_F(ComboBox, TheDropDownStyleHasAnEditWindowInTheBoxThatFollowsTheList)
{
  Fill(4);
  EXPECT_EQ(EditWindow(pCombo_), nullptr);
  pCombo_->SetComboStyle(1);
  pCombo_->SetCaption("Режим");
  pCombo_->SetDropDownStyle(TRUE);
  pBar_->OnRecalcLayout();
  HWND hWndEdit = EditWindow(pCombo_);
  ASSERT_NE(hWndEdit, nullptr);
  EXPECT_EQ(::GetParent(hWndEdit), pBar_->GetSafeHwnd());
  EXPECT_TRUE(::IsWindowVisible(hWndEdit));
  // Inside the box: right of the label, left of the button, 3 pixels in at top and bottom.
  CRect rcEdit;
  ::GetWindowRect(hWndEdit, &rcEdit);
  pBar_->ScreenToClient(&rcEdit);
  const CRect rc = pCombo_->GetRect();
  EXPECT_GT(pCombo_->GetLabelWidth(), 0);
  EXPECT_EQ(rcEdit, CRect(rc.left + pCombo_->GetLabelWidth() + 4, rc.top + 3,
                          rc.right - pCombo_->GetButtonWidth() - 3, rc.bottom - 3));

  // A choice from the list becomes the text.
  pCombo_->SetCurSel(2);
  EXPECT_EQ(WindowTextOf(hWndEdit), "Mode 2");
  EXPECT_EQ(std::string(pCombo_->GetEditText()), "Mode 2");

  // Typing: the list selects the item the text names, or nothing; the site hears of each change.
  pCombo_->SetFocused(TRUE);
  EXPECT_EQ(::GetFocus(), hWndEdit);
  Codes();
  ::SendMessage(hWndEdit, EM_SETSEL, 0, -1);
  for (char ch : std::string("Mode 3"))
    TypeChar(hWndEdit, ch);
  EXPECT_EQ(pCombo_->GetCurSel(), 3);
  EXPECT_EQ(Codes(), std::vector<int>(6, 5));
  TypeChar(hWndEdit, '7');
  EXPECT_EQ(pCombo_->GetCurSel(), -1);
  EXPECT_EQ(std::string(pCombo_->GetEditText()), "Mode 37");

  // Leaving gives the focus back and keeps the text; disabled or hidden, so is the window.
  pCombo_->SetFocused(FALSE);
  EXPECT_NE(::GetFocus(), hWndEdit);
  pCombo_->SetEnabled(FALSE);
  EXPECT_FALSE(::IsWindowEnabled(hWndEdit));
  pCombo_->SetEnabled(TRUE);
  pCombo_->SetHideFlags(TK_HIDEDOCKINGPOSITION);
  EXPECT_FALSE(::IsWindowVisible(hWndEdit));
  pCombo_->SetHideFlags(0);

  // A copy types too; the window goes with the style, and with the bar.
  CTKControl* pClone = pCombo_->Clone(FALSE);
  auto* pCopy = dynamic_cast<CTKControlComboBox*>(pClone);
  ASSERT_NE(pCopy, nullptr);
  EXPECT_TRUE(pCopy->GetDropDownStyle());
  EXPECT_NE(pCopy->GetEditCtrl(), nullptr);
  EXPECT_EQ(std::string(pCopy->GetEditText()), "Mode 37");
  pClone->InternalRelease();
  pCombo_->SetDropDownStyle(FALSE);
  EXPECT_FALSE(::IsWindow(hWndEdit));
  pCombo_->SetDropDownStyle(TRUE);
  pBar_->OnRecalcLayout();
  hWndEdit = EditWindow(pCombo_);
  ASSERT_NE(hWndEdit, nullptr);
  pBar_->GetControls()->Remove(pCombo_);
  pCombo_ = nullptr;
  EXPECT_FALSE(::IsWindow(hWndEdit));
}

TEST_F(ComboBox, AutoCompleteFillsInTheFirstItemThatStartsWithWhatWasTyped)
{
  CTKControlComboBoxList* pList = pCombo_->GetListBar();
  for (const char* item : {"Luminance", "Illuminance", "Glare", "Glare rating"})
    pList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  pCombo_->SetDropDownStyle(TRUE);
  pCombo_->SetAutoComplete(TRUE);
  pBar_->OnRecalcLayout();
  HWND hWndEdit = EditWindow(pCombo_);
  ASSERT_NE(hWndEdit, nullptr);
  pCombo_->SetFocused(TRUE);
  struct Step {
    char typed;
    const char* text;
    int selStart;  // what is left selected after the typed characters
    int selEnd;
    int selection;
  };
  const Step steps[] = {
      {'G', "Glare", 1, 5, 2},
      {'l', "Glare", 2, 5, 2},
      {'u', "Glu", 3, 3, -1},  // nothing starts so
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(1, s.typed));
    // Each key passes the bar's keyboard hook first, as typed keys do.
    Key(static_cast<UINT>(std::toupper(static_cast<unsigned char>(s.typed))));
    TypeChar(hWndEdit, s.typed);
    EXPECT_EQ(WindowTextOf(hWndEdit), s.text);
    DWORD dwStart = 0;
    DWORD dwEnd = 0;
    ::SendMessage(hWndEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
    EXPECT_EQ(static_cast<int>(std::min(dwStart, dwEnd)), s.selStart);
    EXPECT_EQ(static_cast<int>(std::max(dwStart, dwEnd)), s.selEnd);
    EXPECT_EQ(pCombo_->GetCurSel(), s.selection);
  }
  pCombo_->SetFocused(FALSE);
}

// A picture for people: in theme 4, a drop-down combo with its label, typed into, completed from its list and
// with the list open on the completed item.
TEST_F(ComboBox, PictureOfADropDownComboCompletedFromItsOpenList)
{
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  CTKControlComboBoxList* pList = pCombo_->GetListBar();
  for (const char* item : {"Luminance", "Illuminance", "Glare", "Glare rating", "Uniformity"})
    pList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  pCombo_->SetComboStyle(1);
  pCombo_->SetCaption("Режим");
  pCombo_->SetWidth(160);
  pCombo_->SetDropDownStyle(TRUE);
  pCombo_->SetAutoComplete(TRUE);
  pBar_->OnRecalcLayout();
  HWND hWndEdit = EditWindow(pCombo_);
  ASSERT_NE(hWndEdit, nullptr);
  pCombo_->SetFocused(TRUE);
  for (char ch : std::string("Gl")) {
    Key(static_cast<UINT>(std::toupper(static_cast<unsigned char>(ch))));
    TypeChar(hWndEdit, ch);
  }
  Key(VK_F4);
  ASSERT_TRUE(pCombo_->IsDroppedDown());
  EXPECT_EQ(pCombo_->GetCurSel(), 2);
  EXPECT_EQ(WindowTextOf(hWndEdit), "Glare");

  cbtest::Pump();
  for (CWnd* pWnd : {static_cast<CWnd*>(&frame_), static_cast<CWnd*>(pBar_), static_cast<CWnd*>(pList)})
    pWnd->UpdateWindow();
  ::UpdateWindow(hWndEdit);
  cbtest::Pump();
  gdi::Surface screen;
  user::ComposeScreen(screen);
  CRect rcList;
  pList->GetWindowRect(&rcList);
  const int cx = std::max<int>(rcList.right + 40, 360);
  const int cy = rcList.bottom + 20;
  gdi::Surface picture(cx, cy);
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x)
      picture.Pixels()[static_cast<size_t>(y) * cx + x] = screen.Pixel(x, y);
  EXPECT_TRUE(gdi::SavePng(picture, std::string(TESMIRA_ARTIFACTS_DIR) + "/toolkit_commandbars_dropdown_combo.png"));
  // The list hangs under the box.
  CRect rcCombo = pCombo_->GetRect();
  pBar_->ClientToScreen(&rcCombo);
  EXPECT_GE(rcList.top, rcCombo.bottom - 1);
  frame_.GetCommandBars()->ClosePopups();
  pCombo_->SetFocused(FALSE);
  CTKPaintManager::SetTheme(tkThemeDefault);
}

namespace {

// A drop-down combo's shell completion: set up on its edit window once the bar makes it (not without shlwapi),
// watching for the shell's list only while the box has the focus; the shell's list showing closes the box's own,
// and the box's own opening hides the shell's.
TEST_F(ComboBox, ShellCompletionFollowsTheEditWindowAndOneListShowsAtATime)
{
  constexpr DWORD kFileSystem = 0x1;
  Fill(3);
  pCombo_->SetDropDownStyle(TRUE);
  pCombo_->SetShellAutoComplete(kFileSystem);
  EXPECT_EQ(pCombo_->GetAutoCompleteWatcher(), nullptr) << "no edit window yet";
  {
    user::AbsentSystemModule absent("shlwapi.dll");
    pBar_->OnRecalcLayout();
    ASSERT_NE(EditWindow(pCombo_), nullptr);
    EXPECT_EQ(pCombo_->GetAutoCompleteWatcher(), nullptr);
  }
  pCombo_->SetShellAutoComplete(kFileSystem);
  CTKControlComboBoxAutoCompleteWnd* pWatcher = pCombo_->GetAutoCompleteWatcher();
  ASSERT_NE(pWatcher, nullptr);
  const HWND hWndEdit = EditWindow(pCombo_);

  WNDCLASS wc{};
  wc.lpfnWndProc = ::DefWindowProc;
  wc.lpszClassName = "Auto-Suggest Dropdown";
  ::RegisterClass(&wc);
  HWND hWndDropDown = ::CreateWindowEx(WS_EX_TOOLWINDOW, "Auto-Suggest Dropdown", "", WS_POPUP, 0, 30, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hWndDropDown, nullptr);
  ::ShowWindow(hWndDropDown, SW_SHOWNOACTIVATE);
  EXPECT_EQ(pWatcher->GetDropDown(), nullptr) << "not watched before the box has the focus";
  ::ShowWindow(hWndDropDown, SW_HIDE);

  pCombo_->SetFocused(TRUE);
  ASSERT_EQ(::GetFocus(), hWndEdit);
  OpenList();
  ASSERT_TRUE(pCombo_->IsDroppedDown());
  ::ShowWindow(hWndDropDown, SW_SHOWNOACTIVATE);
  EXPECT_EQ(pWatcher->GetDropDown(), hWndDropDown);
  cbtest::Pump();
  EXPECT_FALSE(pCombo_->IsDroppedDown()) << "the shell's list closes the box's own";
  EXPECT_EQ(::GetFocus(), hWndEdit);

  OpenList();
  EXPECT_TRUE(pCombo_->IsDroppedDown());
  EXPECT_FALSE(::IsWindowVisible(hWndDropDown)) << "the box's own list hides the shell's";
  frame_.GetCommandBars()->ClosePopups();

  // Tab leaves the box unless the shell takes Tab itself.
  pCombo_->SetFocused(TRUE);
  EXPECT_EQ(pCombo_->OnHookKeyDown(VK_TAB, 0), 0);
  pCombo_->SetShellAutoComplete(kFileSystem | 0x08);
  EXPECT_NE(pCombo_->OnHookKeyDown(VK_TAB, 0), 0);
  pCombo_->SetFocused(FALSE);
  pWatcher = pCombo_->GetAutoCompleteWatcher();
  ASSERT_NE(pWatcher, nullptr);
  ::ShowWindow(hWndDropDown, SW_HIDE);
  ::ShowWindow(hWndDropDown, SW_SHOWNOACTIVATE);
  EXPECT_EQ(pWatcher->GetDropDown(), nullptr) << "the hook ends with the focus";
  ::DestroyWindow(hWndDropDown);

  pCombo_->SetDropDownStyle(FALSE);
  EXPECT_EQ(pCombo_->GetAutoCompleteWatcher(), nullptr);
  EXPECT_EQ(pCombo_->GetShellAutoComplete(), kFileSystem | 0x08) << "the flags stay for the next edit window";
}

std::vector<BYTE> SaveList(CTKControlComboBoxList* pList)
{
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CTKPropExchangeArchive px(ar);
    pList->DoPropExchange(&px);
    ar.Close();
  }
  const auto length = static_cast<std::size_t>(file.GetLength());
  return std::vector<BYTE>(file.GetData(), file.GetData() + length);
}

// The list's strings follow the popup bar's values: their count (32 bits) and each string as the archive writes
// text (a length byte and the characters), read back into a list that had others; a count no list holds is
// refused and the list keeps its strings.
TEST_F(ComboBox, TheListsStringsAreStoredAfterThePopupBarsValues)
{
  CTKControlComboBoxList* pList = pCombo_->GetListBar();
  pList->SendMessage(LB_RESETCONTENT, 0, 0);
  const std::vector<BYTE> empty = SaveList(pList);
  ASSERT_GE(empty.size(), 4u);
  EXPECT_EQ(std::vector<BYTE>(empty.end() - 4, empty.end()), (std::vector<BYTE>{0, 0, 0, 0}));
  for (const char* item : {"Опора", "Мачта"})
    pList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  std::vector<BYTE> expected(empty.begin(), empty.end() - 4);
  for (BYTE b : {2, 0, 0, 0, 5, 0xCE, 0xEF, 0xEE, 0xF0, 0xE0, 5, 0xCC, 0xE0, 0xF7, 0xF2, 0xE0})
    expected.push_back(b);
  EXPECT_EQ(SaveList(pList), expected);

  auto* pLoaded = static_cast<CTKControlComboBoxList*>(RUNTIME_CLASS(CTKControlComboBoxList)->CreateObject());
  pLoaded->CreateListWindow();
  pLoaded->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("old"));
  const auto load = [pLoaded](std::vector<BYTE> bytes) {
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CTKPropExchangeArchive px(ar);
    try {
      pLoaded->DoPropExchange(&px);
    } catch (CException* e) {
      e->Delete();
      return false;
    }
    return true;
  };
  std::vector<BYTE> hostile(empty.begin(), empty.end() - 4);
  for (BYTE b : {0xFF, 0xFF, 0xFF, 0x7F})
    hostile.push_back(b);
  EXPECT_FALSE(load(hostile));
  EXPECT_EQ(pLoaded->SendMessage(LB_GETCOUNT, 0, 0), 1);
  EXPECT_TRUE(load(expected));
  ASSERT_EQ(pLoaded->SendMessage(LB_GETCOUNT, 0, 0), 2);
  char text[32] = {};
  pLoaded->SendMessage(LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Мачта");
  pLoaded->InternalRelease();
}

}  // namespace
