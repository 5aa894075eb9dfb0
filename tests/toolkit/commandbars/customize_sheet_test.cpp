// Customise mode: controls dragged between bars, from the commands page and off every bar; the context menu's
// commands; one sheet at a time and the hooks that keep the frame's other windows from the user; and the pages.
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"
#include "res/modules.h"
#include "tests/toolkit/commandbars/bar_frame.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/commandbars/customizepages.h"
#include "toolkit/commandbars/customizesheet.h"
#include "toolkit/commandbars/imageeditor.h"
#include "toolkit/commandbars/menubar.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/imagepersist.h"
#include "toolkit/paint/resource_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CFixedButton : public CTKControlButton {
public:
  CSize GetSize(CDC*) override { return CSize(24, 22); }
};

void UseToolkitModule()
{
  static HINSTANCE toolkit = [] {
    res::RegisterModules();
    return platform::RegisterResourceModule(res::ToolkitModule());
  }();
  TKResourceManager()->SetResourceHandle(toolkit);
  cbtest::UseTestResources();
}

class Customize : public ::testing::Test {
protected:
  void SetUp() override
  {
    UseToolkitModule();
    ASSERT_TRUE(frame_.Make(500, 300));
    frame_.ShowWindow(SW_SHOW);
    barA_ = AddBar(0, {100, 101, 102});
    barB_ = AddBar(70, {200});
    frame_.GetCommandBars()->SetCustomizeMode(TRUE);
  }
  cbtest::CTestBar* AddBar(int y, std::vector<int> ids)
  {
    cbtest::CTestBar* pBar = frame_.AddBar(tkBarTypeNormal, CRect(0, y, 400, y + 52));
    for (int id : ids)
      pBar->GetControls()->InsertAt(new CFixedButton, id);
    pBar->OnRecalcLayout();
    return pBar;
  }
  static std::vector<int> Ids(CTKCommandBar* pBar)
  {
    std::vector<int> ids;
    for (int i = 0; i < pBar->GetControlCount(); ++i)
      ids.push_back(pBar->GetControl(i)->GetID());
    return ids;
  }
  // The centre of a bar's control, or a point of the bar, in screen coordinates.
  static CPoint OnBar(CTKCommandBar* pBar, CPoint ptClient)
  {
    pBar->ClientToScreen(&ptClient);
    return ptClient;
  }
  // Queues the mouse of a drag from start to end for the capture window (the frame outside a sheet).
  void ScriptDrag(CPoint ptStart, CPoint ptEnd, WPARAM keys = 0)
  {
    ::SetCursorPos(ptStart.x, ptStart.y);
    for (CPoint pt : {CPoint((ptStart.x + ptEnd.x) / 2, (ptStart.y + ptEnd.y) / 2), ptEnd}) {
      frame_.ScreenToClient(&pt);
      frame_.PostMessage(WM_MOUSEMOVE, MK_LBUTTON | keys, MAKELPARAM(pt.x, pt.y));
    }
    CPoint ptUp = ptEnd;
    frame_.ScreenToClient(&ptUp);
    frame_.PostMessage(WM_LBUTTONUP, keys, MAKELPARAM(ptUp.x, ptUp.y));
  }
  cbtest::CTestFrame frame_;
  cbtest::CTestBar* barA_ = nullptr;
  cbtest::CTestBar* barB_ = nullptr;
};

TEST_F(Customize, DragsCopyMoveAndDeleteControls)
{
  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  CTKCustomizeDropSource* pSource = pCommandBars->GetDropSource();
  // A command of the commands page: the drop shows as a move, but the page never takes it from its category.
  auto* pCategory = new CTKControls;
  pCategory->SetCommandBars(pCommandBars);
  pCategory->Add(tkControlButton, 300);
  ScriptDrag(CPoint(600, 600), OnBar(barB_, CPoint(40, 12)));
  EXPECT_EQ(tkDropMove, pSource->DoDragDrop(pCategory->GetAt(0), TRUE));
  EXPECT_EQ(9301u, pSource->GetCursorId());  // the cursor says copy all the same
  EXPECT_EQ((std::vector<int>{200, 300}), Ids(barB_));
  EXPECT_EQ(1, pCategory->GetCount());
  EXPECT_EQ(300, pCommandBars->GetDragControl()->GetID());  // the copy becomes the selection
  pCategory->InternalRelease();

  // Control held: a copy on the other bar, the source keeps its control.
  CPoint pt100 = OnBar(barA_, barA_->GetControl(0)->GetRect().CenterPoint());
  ScriptDrag(pt100, OnBar(barB_, CPoint(5, 12)), MK_CONTROL);
  EXPECT_EQ(tkDropCopy, barA_->GetControl(0)->CustomizeStartDrag());
  EXPECT_EQ((std::vector<int>{100, 101, 102}), Ids(barA_));
  EXPECT_EQ((std::vector<int>{100, 200, 300}), Ids(barB_));

  // A plain drag moves.
  CPoint pt101 = OnBar(barA_, barA_->GetControl(1)->GetRect().CenterPoint());
  CRect rcLast = barB_->GetControl(2)->GetRect();
  ScriptDrag(pt101, OnBar(barB_, CPoint(rcLast.right - 2, rcLast.CenterPoint().y)));
  EXPECT_EQ(tkDropMove, barA_->GetControl(1)->CustomizeStartDrag());
  EXPECT_EQ((std::vector<int>{100, 102}), Ids(barA_));
  EXPECT_EQ((std::vector<int>{100, 200, 300, 101}), Ids(barB_));

  // Off every bar: deleted, and no longer the selection.
  pCommandBars->SetDragControl(barA_->GetControl(1));
  CPoint pt102 = OnBar(barA_, barA_->GetControl(1)->GetRect().CenterPoint());
  ScriptDrag(pt102, CPoint(pt102.x, pt102.y + 150));
  EXPECT_EQ(tkDropOutside, barA_->GetControl(1)->CustomizeStartDrag());
  EXPECT_EQ((std::vector<int>{100}), Ids(barA_));
  EXPECT_EQ(nullptr, pCommandBars->GetDragControl());
  EXPECT_EQ(9303u, pSource->GetCursorId());

  // Pressed and released without moving: nothing changes.
  ::SetCursorPos(pt100.x, pt100.y);
  CPoint ptUp = pt100;
  frame_.ScreenToClient(&ptUp);
  frame_.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(ptUp.x, ptUp.y));
  EXPECT_EQ(tkDropCancel, barA_->GetControl(0)->CustomizeStartDrag());
  EXPECT_EQ((std::vector<int>{100}), Ids(barA_));
  EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(Customize, ControlPressedTogglesBetweenMoveAndCopy)
{
  CPoint pt = OnBar(barA_, barA_->GetControl(0)->GetRect().CenterPoint());
  CPoint ptEnd = OnBar(barB_, CPoint(200, 12));
  ::SetCursorPos(pt.x, pt.y);
  CPoint ptClient = ptEnd;
  frame_.ScreenToClient(&ptClient);
  // Moving over bar B: move cursor; Control pressed: copy at once; released again: move; then Escape.
  frame_.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ptClient.x, ptClient.y));
  frame_.PostMessage(WM_KEYDOWN, VK_CONTROL, 0);
  std::vector<UINT> cursors;
  frame_.PostMessage(WM_KEYUP, VK_CONTROL, 0);
  frame_.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(tkDropCancel, barA_->GetControl(0)->CustomizeStartDrag());
  EXPECT_EQ((std::vector<int>{100, 101, 102}), Ids(barA_));
  EXPECT_EQ((std::vector<int>{200}), Ids(barB_));
  EXPECT_EQ(9302u, frame_.GetCommandBars()->GetDropSource()->GetCursorId());
  EXPECT_EQ(nullptr, frame_.GetCommandBars()->GetDropSource()->GetTarget());
}

TEST_F(Customize, ContextMenuCommandsWorkOnTheSelection)
{
  CTKCustomizeSheet sheet(frame_.GetCommandBars());
  CTKPopupBar* pMenu = sheet.GetContextMenu();
  ASSERT_NE(nullptr, pMenu);
  std::vector<int> groups;
  for (int i = 0; i < pMenu->GetControlCount(); ++i)
    if (pMenu->GetControl(i)->GetBeginGroup())
      groups.push_back(pMenu->GetControl(i)->GetID());
  EXPECT_EQ(12, pMenu->GetControlCount());
  EXPECT_EQ((std::vector<int>{9318, 9323, 9326}), groups);
  EXPECT_NE(nullptr, DYNAMIC_DOWNCAST(CTKControlEdit, pMenu->GetControls()->FindControl(9317)));

  // The picker: ten pictures in a square of three columns.
  EXPECT_EQ(10, sheet.GetImageBankCount());
  CTKCommandBar* pPicker = pMenu->GetControls()->FindControl(9322)->GetCommandBar();
  ASSERT_NE(nullptr, pPicker);
  sheet.OnPopupInit(pPicker);
  EXPECT_EQ(10, pPicker->GetControlCount());
  EXPECT_EQ(75, pPicker->m_nMRUWidth);

  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  auto state = [&](UINT nId) {
    BOOL bEnabled = FALSE;
    BOOL bChecked = FALSE;
    sheet.GetCommandState(nId, bEnabled, bChecked);
    return std::make_pair(bEnabled != FALSE, bChecked != FALSE);
  };
  pCommandBars->SetDragControl(barA_->GetControl(0));
  EXPECT_EQ(std::make_pair(false, false), state(9326));  // the first control cannot start a group
  EXPECT_EQ(std::make_pair(false, false), state(9315));  // nothing to reset
  EXPECT_EQ(std::make_pair(true, true), state(9323));

  CTKControl* pControl = barA_->GetControl(1);
  pCommandBars->SetDragControl(pControl);
  // Rename: the menu's edit sends its text with 10338.
  auto* pEdit = DYNAMIC_DOWNCAST(CTKControlEdit, pMenu->GetControls()->FindControl(9317));
  pEdit->SetEditText("Plan view");
  TK_NMCONTROL record{};
  record.hdr.idFrom = 9317;
  record.hdr.code = TKN_EXECUTE;
  record.pControl = pEdit;
  sheet.OnExecuteNotify(9317, reinterpret_cast<LPARAM>(&record));
  EXPECT_EQ(CString("Plan view"), pControl->GetCaption());
  EXPECT_EQ(std::make_pair(true, false), state(9315));

  // Begin group toggles; the style commands check the chosen one.
  EXPECT_EQ(std::make_pair(true, false), state(9326));
  sheet.OnCmdMsg(9326, CN_COMMAND, nullptr, nullptr);
  EXPECT_TRUE(pControl->GetBeginGroup());
  EXPECT_EQ(std::make_pair(true, true), state(9326));
  sheet.OnCmdMsg(9324, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(3, pControl->GetStyle());
  EXPECT_EQ(std::make_pair(true, true), state(9324));

  sheet.OnCmdMsg(9315, CN_COMMAND, nullptr, nullptr);  // reset: caption and style back
  EXPECT_EQ(CString(), pControl->GetCustomCaption());
  EXPECT_EQ(0, pControl->GetCustomStyle());

  sheet.OnCmdMsg(9316, CN_COMMAND, nullptr, nullptr);  // delete
  EXPECT_EQ((std::vector<int>{100, 102}), Ids(barA_));
  EXPECT_EQ(nullptr, pCommandBars->GetDragControl());
  sheet.OnCmdMsg(9316, CN_COMMAND, nullptr, nullptr);  // without a selection: nothing
  EXPECT_EQ(2, barA_->GetControlCount());

  // Another menu id goes on to the frame.
  record.hdr.idFrom = 57600;
  sheet.OnExecuteNotify(57600, reinterpret_cast<LPARAM>(&record));
  ASSERT_GE(frame_.m_log.size(), 2u);
  EXPECT_EQ("10338 id 57600 code 100", frame_.m_log[frame_.m_log.size() - 2]);
  EXPECT_EQ("WM_COMMAND 57600", frame_.m_log.back());  // unanswered, it runs as a command
}

TEST_F(Customize, OneSheetAtATimeAndOnlyTheBarsTakeClicks)
{
  frame_.GetCommandBars()->SetCustomizeMode(FALSE);
  CWnd view;
  ASSERT_TRUE(view.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, 0, 130, 300, 100,
                            frame_.GetSafeHwnd(), nullptr));
  CTKCustomizeSheet sheet(frame_.GetCommandBars());
  INT_PTR nSecond = -1;
  bool bModeDuring = false;
  std::vector<std::pair<UINT, bool>> passed;
  user::SetModalResponder([&](const user::ModalQuestion&) {
    bModeDuring = frame_.GetCommandBars()->IsCustomizeMode() != FALSE;
    TK_CUSTOMIZE_HOOKS* pHooks = CTKCustomizeSheet::RunningHooks();
    CTKCustomizeSheet second(frame_.GetCommandBars());
    nSecond = second.DoModal();
    EXPECT_EQ(pHooks, CTKCustomizeSheet::RunningHooks());  // the first sheet's hooks stay
    MOUSEHOOKSTRUCT info{};
    for (auto [hwnd, message] : {std::make_pair(view.GetSafeHwnd(), WM_LBUTTONDOWN),
                                 std::make_pair(view.GetSafeHwnd(), WM_MOUSEMOVE),
                                 std::make_pair(barA_->GetSafeHwnd(), WM_LBUTTONDOWN),
                                 std::make_pair(sheet.GetSafeHwnd(), WM_LBUTTONDOWN)}) {
      info.hwnd = hwnd;
      passed.emplace_back(message, sheet.FilterMouseMessage(message, &info) != FALSE);
    }
    return IDCANCEL;
  });
  sheet.DoModal();
  user::SetModalResponder(nullptr);
  EXPECT_TRUE(bModeDuring);
  EXPECT_EQ(IDCANCEL, nSecond);
  EXPECT_EQ((std::vector<std::pair<UINT, bool>>{
                {WM_LBUTTONDOWN, false}, {WM_MOUSEMOVE, true}, {WM_LBUTTONDOWN, true}, {WM_LBUTTONDOWN, true}}),
            passed);
  EXPECT_EQ(nullptr, CTKCustomizeSheet::RunningHooks());
  EXPECT_FALSE(frame_.GetCommandBars()->IsCustomizeMode());
  view.DestroyWindow();
}

TEST_F(Customize, TheApplicationsModelessWindowsTakeNoInputWhileTheSheetRuns)
{
  auto popup = [&](HWND hwndOwner) {
    return ::CreateWindowEx(0, "STATIC", "modeless", WS_POPUP | WS_VISIBLE, 600, 0, 100, 50, hwndOwner, nullptr,
                            nullptr, nullptr);
  };
  const HWND hwndModeless = popup(frame_.GetSafeHwnd());
  const HWND hwndOwnedByIt = popup(hwndModeless);
  const HWND hwndAlreadyOff = popup(frame_.GetSafeHwnd());
  const HWND hwndOther = popup(nullptr);
  ::EnableWindow(hwndAlreadyOff, FALSE);
  struct Case {
    const char* what;
    HWND hwnd;
    bool enabledDuring;
    bool enabledAfter;
  };
  const std::vector<Case> cases = {{"the site", frame_.GetSafeHwnd(), true, true},
                                   {"a modeless window of the site", hwndModeless, false, true},
                                   {"a window owned by that one", hwndOwnedByIt, false, true},
                                   {"a window switched off before", hwndAlreadyOff, false, false},
                                   {"a window of no owner", hwndOther, true, true},
                                   {"a bar", barA_->GetSafeHwnd(), true, true}};
  std::vector<bool> during;
  CTKCustomizeSheet sheet(frame_.GetCommandBars());
  user::SetModalResponder([&](const user::ModalQuestion&) {
    for (const Case& c : cases)
      during.push_back(::IsWindowEnabled(c.hwnd) != FALSE);
    return IDCANCEL;
  });
  sheet.DoModal();
  user::SetModalResponder(nullptr);
  ASSERT_EQ(during.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(during[i], cases[i].enabledDuring) << cases[i].what;
    EXPECT_EQ(::IsWindowEnabled(cases[i].hwnd) != FALSE, cases[i].enabledAfter) << cases[i].what;
  }
  for (HWND hwnd : {hwndOwnedByIt, hwndModeless, hwndAlreadyOff, hwndOther})
    ::DestroyWindow(hwnd);
}

// The keyboard page: a key taken from another command after asking, one removed, the default table back.
TEST_F(Customize, KeyboardPageAssignsRemovesAndResets)
{
  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  CTKShortcutManager* pShortcuts = pCommandBars->GetShortcutManager();
  pShortcuts->SetAccelerators(128);
  CTKCustomizeSheet sheet(pCommandBars);
  CTKCustomizeKeyboardPage page(&sheet);
  sheet.AddPage(&page);
  ASSERT_TRUE(page.AddCategories(141));
  ASSERT_TRUE(sheet.Create(&frame_));
  sheet.SetActivePage(&page);
  cbtest::Pump();

  // The recent-file command and the popup are not listed.
  std::vector<std::string> commands;
  for (int i = 0; i < page.m_lstCommands.GetCount(); ++i) {
    CString str;
    page.m_lstCommands.GetText(i, str);
    commands.emplace_back(str);
  }
  EXPECT_EQ((std::vector<std::string>{"New", "Open..."}), commands);

  auto keysOf = [&](int nCmd) {
    std::vector<std::pair<int, int>> keys;
    for (const ACCEL& a : CTKShortcutManager::CopyTable(pShortcuts->GetAcceleratorTable()))
      if (a.cmd == nCmd)
        keys.emplace_back(a.fVirt & ~FNOINVERT, a.key);
    return keys;
  };
  auto typeKey = [&](BYTE vk, bool bCtrl) {
    BYTE state[256] = {};
    if (bCtrl)
      state[VK_CONTROL] = 0x80;
    ::SetKeyboardState(state);
    MSG msg{};
    msg.hwnd = page.m_editShortcut.GetSafeHwnd();
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    page.m_editShortcut.PreTranslateMessage(&msg);
    BYTE none[256] = {};
    ::SetKeyboardState(none);
  };

  page.m_lstCommands.SetCurSel(1);  // Open
  page.OnCommandsSelChange();
  EXPECT_EQ(2, page.m_lstKeys.GetCount());  // Ctrl+O and F5

  const std::pair<int, int> ctrlN{FVIRTKEY | FCONTROL, 'N'};
  {
    // Ctrl+N belongs to New: No keeps it there.
    user::ScriptedResponder script;
    script.AnswerNext(IDNO);
    typeKey('N', true);
    page.OnAssign();
    ASSERT_EQ(1u, script.Asked().size());
    EXPECT_EQ(MB_YESNO | MB_ICONEXCLAMATION, script.Asked()[0].style);
    EXPECT_EQ((std::vector<std::pair<int, int>>{ctrlN}), keysOf(57600));
  }
  {
    user::ScriptedResponder script;
    script.AnswerNext(IDYES);
    typeKey('N', true);
    page.OnAssign();
    EXPECT_TRUE(keysOf(57600).empty());
    auto open = keysOf(57601);
    EXPECT_EQ(3u, open.size());
    EXPECT_EQ(3, page.m_lstKeys.GetCount());
    EXPECT_EQ(4u, CTKShortcutManager::CopyTable(pShortcuts->GetAcceleratorTable()).size());
  }

  // A fresh key is added without a question.
  {
    user::ScriptedResponder script;
    typeKey('J', true);
    page.OnAssign();
    EXPECT_TRUE(script.Asked().empty());
    EXPECT_EQ(5u, CTKShortcutManager::CopyTable(pShortcuts->GetAcceleratorTable()).size());
  }

  // Removing the first key of the table: the last entry takes its place.
  std::vector<ACCEL> before = CTKShortcutManager::CopyTable(pShortcuts->GetAcceleratorTable());
  for (int i = 0; i < page.m_lstKeys.GetCount(); ++i)
    if (page.m_lstKeys.GetItemData(i) == 0)
      page.m_lstKeys.SetCurSel(i);
  page.OnRemove();
  std::vector<ACCEL> after = CTKShortcutManager::CopyTable(pShortcuts->GetAcceleratorTable());
  ASSERT_EQ(before.size() - 1, after.size());
  EXPECT_EQ(before.back().key, after[0].key);
  EXPECT_EQ(before.back().cmd, after[0].cmd);

  {
    user::ScriptedResponder script;
    script.AnswerNext(IDYES);
    page.OnResetAll();
    EXPECT_EQ(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, script.Asked().at(0).style);
    EXPECT_EQ((std::vector<std::pair<int, int>>{ctrlN}), keysOf(57600));
    EXPECT_EQ(4u, CTKShortcutManager::CopyTable(pShortcuts->GetAcceleratorTable()).size());
  }
  sheet.DestroyWindow();
}

TEST_F(Customize, NewToolbarNamesAndIds)
{
  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  barA_->SetTitle("Панель 1");
  barB_->SetTitle("Панель 2");
  barB_->SetBarID(0xE800);
  CTKNewToolbarDlg dlgNew(&frame_, pCommandBars);
  EXPECT_EQ(CString("Панель 3"), dlgNew.MakeDefaultName());

  int nEnd = 0;
  dlgNew.m_strToolbar = "Сечения";
  EXPECT_TRUE(dlgNew.Validate(&nEnd));
  EXPECT_EQ(0xE801, dlgNew.m_nNewID);  // the lowest id no bar uses

  struct Case {
    CTKCommandBar* renamed;
    const char* name;
    bool accepted;
    const char* message;
  };
  const Case cases[] = {
      {barA_, "Панель 1", true, nullptr},  // its own title
      {barA_, "Панель 2", false, "Панель с именем \"Панель 2\" уже существует. Введите другое имя."},
      {nullptr, "Панель 2", false, "Панель с именем \"Панель 2\" уже существует. Введите другое имя."},
      {barA_, "", false, "Введите имя панели."},
  };
  for (const Case& c : cases) {
    user::ScriptedResponder script;
    CTKNewToolbarDlg dlg(&frame_, pCommandBars, c.renamed);
    dlg.m_strToolbar = c.name;
    EXPECT_EQ(c.accepted, dlg.Validate(&nEnd) != FALSE) << c.name;
    if (c.message) {
      ASSERT_EQ(1u, script.Asked().size()) << c.name;
      EXPECT_EQ(c.message, script.Asked()[0].text);
      EXPECT_EQ(MB_ICONHAND, script.Asked()[0].style & MB_ICONMASK);
    } else {
      EXPECT_TRUE(script.Asked().empty()) << c.name;
    }
  }
}

TEST_F(Customize, OptionsPageAppliesAtOnce)
{
  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  CTKCommandBarsOptions* pOptions = pCommandBars->GetCommandBarsOptions();
  pOptions->bAlwaysShowFullMenus = FALSE;
  pOptions->m_mapUsedCommands = {57600, 57601};
  CTKCustomizeSheet sheet(pCommandBars);
  CTKCustomizeOptionsPage page(&sheet);
  sheet.AddPage(&page);
  ASSERT_TRUE(sheet.Create(&frame_));
  sheet.SetActivePage(&page);
  cbtest::Pump();
  EXPECT_EQ(6, page.m_cmbAnimation.GetCount());
  EXPECT_TRUE(page.GetDlgItem(9341)->IsWindowEnabled());

  ::SendMessage(page.GetDlgItem(9340)->GetSafeHwnd(), BM_SETCHECK, BST_CHECKED, 0);
  page.OnAlwaysShowFullMenus();
  EXPECT_TRUE(pOptions->bAlwaysShowFullMenus);
  EXPECT_FALSE(page.GetDlgItem(9341)->IsWindowEnabled());

  page.m_cmbAnimation.SetCurSel(5);
  page.OnAnimationChanged();
  EXPECT_EQ(5, pOptions->animationType);
  page.m_cmbAnimation.SetCurSel(-1);
  page.OnAnimationChanged();
  EXPECT_EQ(5, pOptions->animationType);

  {
    user::ScriptedResponder script;
    script.AnswerNext(IDNO);
    page.OnResetUsageData();
    EXPECT_EQ(2u, pOptions->m_mapUsedCommands.size());
    script.AnswerNext(IDYES);
    page.OnResetUsageData();
    EXPECT_TRUE(pOptions->m_mapUsedCommands.empty());
  }
  sheet.DestroyWindow();
}

}  // namespace

namespace {

bool SaveWindowPicture(HWND hwnd, const std::string& name)
{
  gdi::Surface screen;
  user::ComposeScreen(screen);
  CRect rc;
  ::GetWindowRect(hwnd, &rc);
  gdi::Surface picture(rc.Width(), rc.Height());
  for (int y = 0; y < rc.Height(); ++y)
    for (int x = 0; x < rc.Width(); ++x)
      picture.Pixels()[static_cast<size_t>(y) * rc.Width() + x] = screen.Pixel(rc.left + x, rc.top + y);
  return gdi::SavePng(picture, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name);
}

// Every page of the sheet as the program fills it, and the new-toolbar dialog, for a person to look at.
TEST_F(Customize, PicturesOfThePages)
{
  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  pCommandBars->GetShortcutManager()->SetAccelerators(128);
  barA_->SetTitle("Стандартная");
  barB_->SetTitle("Вид");
  CTKCustomizeSheet sheet(pCommandBars);
  CTKCustomizeKeyboardPage keyboard(&sheet);
  sheet.AddPage(&keyboard);
  keyboard.AddCategories(141);
  CTKCustomizeOptionsPage options(&sheet);
  sheet.AddPage(&options);
  CTKCustomizeCommandsPage* pCommands = sheet.GetCommandsPage();
  ASSERT_TRUE(pCommands->AddCategories(141));
  pCommands->InsertAllCommandsCategory(9337);
  ASSERT_TRUE(pCommands->InsertBuiltInMenus(141, 9350));
  pCommands->InsertNewMenuCategory(9314);
  EXPECT_EQ(5, pCommands->GetCategoryCount());
  EXPECT_EQ(CString("Все команды"), pCommands->GetCategoryInfo(2)->strCategory);
  // The all-commands category repeats New, which stands in two menus.
  CTKControls* pAll = pCommands->GetCategoryInfo(2)->pControls;
  int nNew = 0;
  for (int i = 0; i < pAll->GetCount(); ++i)
    nNew += pAll->GetAt(i)->GetID() == 57600;
  EXPECT_EQ(6, pAll->GetCount());
  EXPECT_EQ(2, nNew);
  ASSERT_TRUE(sheet.Create(&frame_));
  sheet.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const char* names[] = {"toolbars", "commands", "keyboard", "options"};
  for (int i = 0; i < 4; ++i) {
    sheet.SetActivePage(i);
    cbtest::Pump();
    EXPECT_TRUE(SaveWindowPicture(sheet.GetSafeHwnd(), std::string("toolkit_customize_") + names[i] + ".png"));
  }
  sheet.DestroyWindow();

  bool bSaved = false;
  std::string text;
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    if (q.kind == user::ModalQuestion::Kind::Dialog) {
      char buffer[64] = {};
      ::GetDlgItemText(q.dialog, 9329, buffer, sizeof(buffer));
      text = buffer;
      bSaved = SaveWindowPicture(q.dialog, "toolkit_customize_new_toolbar.png");
    }
    return IDCANCEL;
  });
  CTKNewToolbarDlg dlg(&frame_, pCommandBars);
  dlg.DoModal();
  user::SetModalResponder(nullptr);
  EXPECT_TRUE(bSaved);
  EXPECT_EQ("Панель 1", text);
}

}  // namespace

namespace {

// A press on a bar's control in customise mode starts its drag: released off every bar, the control is gone.
TEST_F(Customize, PressOnABarDragsTheControl)
{
  CPoint ptClient = barA_->GetControl(1)->GetRect().CenterPoint();
  CPoint pt = OnBar(barA_, ptClient);
  CPoint ptOff(pt.x, pt.y + 200);
  ScriptDrag(pt, ptOff);
  barA_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptClient.x, ptClient.y));
  EXPECT_EQ((std::vector<int>{100, 102}), Ids(barA_));
  EXPECT_EQ(nullptr, frame_.GetCommandBars()->GetDragControl());
}

// Without the toolkit module the sheet has no context menu and no pictures, and still runs.
TEST_F(Customize, SheetWithoutTheToolkitModule)
{
  platform::ScopedResourceModuleAbsence absent(res::kToolkitModuleFileName);
  TKResourceManager()->SetResourceHandle(nullptr);
  {
    CTKCustomizeSheet sheet(frame_.GetCommandBars());
    EXPECT_EQ(nullptr, sheet.GetContextMenu());
    EXPECT_EQ(0, sheet.GetImageBankCount());
    sheet.ContextMenu(10, 10);
    user::SetModalResponder([](const user::ModalQuestion&) { return IDCANCEL; });
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
    user::SetModalResponder(nullptr);
  }
  UseToolkitModule();
}

}  // namespace

namespace {

// A button's image copied to the clipboard and pasted on another button becomes that button's own new image.
TEST_F(Customize, ButtonImageCopiedAndPasted)
{
  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  CTKImageManager* pImages = pCommandBars->GetImageManager();
  {
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcScreen, 16, 16);
    CBitmap* pOld = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, 16, 16, RGB(192, 192, 192));
    dc.FillSolidRect(3, 4, 8, 6, RGB(200, 30, 30));
    dc.SelectObject(pOld);
    const UINT ids[] = {100};
    ASSERT_TRUE(pImages->SetIcons(bmp, ids, 1, CSize(16, 16)));
  }
  CTKCustomizeSheet sheet(pCommandBars);
  auto enabled = [&](UINT nId) {
    BOOL bEnabled = FALSE;
    BOOL bChecked = FALSE;
    sheet.GetCommandState(nId, bEnabled, bChecked);
    return bEnabled != FALSE;
  };
  ASSERT_TRUE(::OpenClipboard(frame_.GetSafeHwnd()));
  ::EmptyClipboard();
  ::CloseClipboard();

  CTKControl* pTarget = barA_->GetControl(1);
  pCommandBars->SetDragControl(pTarget);
  EXPECT_FALSE(enabled(9319));
  sheet.OnCmdMsg(9319, CN_COMMAND, nullptr, nullptr);  // nothing to paste
  EXPECT_EQ(0, pTarget->GetCustomIconId());

  pCommandBars->SetDragControl(barA_->GetControl(0));
  EXPECT_TRUE(enabled(9318));
  sheet.OnCmdMsg(9318, CN_COMMAND, nullptr, nullptr);
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(::IsClipboardFormatAvailable(TKToolBarImageClipboardFormat()));
  EXPECT_FALSE(::IsClipboardFormatAvailable(TKAlphaBitmapClipboardFormat()));

  pCommandBars->SetDragControl(pTarget);
  EXPECT_TRUE(enabled(9319));
  sheet.OnCmdMsg(9319, CN_COMMAND, nullptr, nullptr);
  int nCustom = pTarget->GetCustomIconId();
  EXPECT_GT(nCustom, 0);
  CTKImageManagerIcon* pPasted = pImages->GetImage(static_cast<UINT>(nCustom), 16);
  ASSERT_NE(nullptr, pPasted);
  EXPECT_EQ(CSize(16, 16), pPasted->GetIcon().GetExtent());
  {
    // The same picture: the red square on a transparent ground.
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcScreen, 16, 16);
    CBitmap* pOld = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, 16, 16, RGB(255, 255, 255));
    ASSERT_TRUE(pPasted->GetIcon().GetIcon() != nullptr);
    ::DrawIconEx(dc.GetSafeHdc(), 0, 0, pPasted->GetIcon().GetIcon(), 16, 16, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(RGB(200, 30, 30), dc.GetPixel(5, 6));
    EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(0, 0));
    dc.SelectObject(pOld);
  }
  EXPECT_TRUE(enabled(9320));
  sheet.OnCmdMsg(9320, CN_COMMAND, nullptr, nullptr);  // reset the image
  EXPECT_EQ(0, pTarget->GetCustomIconId());

  // A bare bitmap of another program: one image, made an icon of its own.
  {
    CClientDC dcScreen(nullptr);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcScreen, 16, 16);
    ASSERT_TRUE(::OpenClipboard(frame_.GetSafeHwnd()));
    ::EmptyClipboard();
    ::SetClipboardData(CF_BITMAP, bmp.Detach());
    ::CloseClipboard();
  }
  sheet.OnCmdMsg(9319, CN_COMMAND, nullptr, nullptr);
  EXPECT_GT(pTarget->GetCustomIconId(), nCustom);
  ASSERT_TRUE(::OpenClipboard(frame_.GetSafeHwnd()));
  ::EmptyClipboard();
  ::CloseClipboard();
}

TEST_F(Customize, ButtonImageEditedBecomesItsCustomIconAndAgainEditsThatIcon)
{
  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  CTKImageManager* pImages = pCommandBars->GetImageManager();
  {
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcScreen, 16, 16);
    CBitmap* pOld = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, 16, 16, RGB(30, 160, 30));
    dc.SelectObject(pOld);
    const UINT ids[] = {102};
    ASSERT_TRUE(pImages->SetIcons(bmp, ids, 1, CSize(16, 16)));
  }
  CTKCustomizeSheet sheet(pCommandBars);
  CTKControl* pControl = barA_->GetControl(2);
  pCommandBars->SetDragControl(pControl);
  for (INT_PTR answer : {IDCANCEL, IDOK, IDOK}) {
    SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
    const int nBefore = pControl->GetCustomIconId();
    int asked = 0;
    user::SetModalResponder([&](const user::ModalQuestion& q) {
      ++asked;
      // A pencil dot, as the user would make it.
      HWND picture = ::GetDlgItem(q.dialog, TK_IDC_IMAGEEDITOR_PICTURE);
      ::SendMessage(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
      ::SendMessage(picture, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
      return static_cast<int>(answer);
    });
    sheet.OnCmdMsg(9321, CN_COMMAND, nullptr, nullptr);
    user::SetModalResponder(nullptr);
    EXPECT_EQ(asked, 1);
    if (answer == IDCANCEL) {
      EXPECT_EQ(pControl->GetCustomIconId(), nBefore);
    } else if (nBefore == 0) {
      EXPECT_GT(pControl->GetCustomIconId(), 0);
      EXPECT_NE(pImages->GetImage(static_cast<UINT>(pControl->GetCustomIconId()), 16), nullptr);
    } else {
      EXPECT_EQ(pControl->GetCustomIconId(), nBefore);  // the same custom icon takes the new picture
    }
  }
}

}  // namespace

namespace {

// The toolbars page: built-in bars can only be reset, custom ones renamed and deleted; the menu bar stays shown.
TEST_F(Customize, ToolbarsPageListsShowsAndDeletes)
{
  CTKCommandBars* pCommandBars = frame_.GetCommandBars();
  barA_->SetTitle("Меню");
  ASSERT_TRUE(pCommandBars->EnableDocking());
  CTKMenuBar* pMenuBar = pCommandBars->SetMenu("Меню", 128);
  ASSERT_NE(nullptr, pMenuBar);
  CTKToolBar* pCustom = pCommandBars->AddCustomBar("Мои команды", 0xE800);
  ASSERT_NE(nullptr, pCustom);
  CTKCustomizeSheet sheet(pCommandBars);
  ASSERT_TRUE(sheet.Create(&frame_));
  cbtest::Pump();
  CTKCustomizeToolbarsPage* pPage = sheet.GetToolbarsPage();
  auto select = [&](CTKCommandBar* pBar) {
    for (int i = 0; i < pPage->m_lstToolbars.GetCount(); ++i)
      if (pCommandBars->GetAt(static_cast<int>(pPage->m_lstToolbars.GetItemData(i))) == pBar) {
        pPage->m_lstToolbars.SetCurSel(i);
        pPage->OnToolbarsSelChange();
        return i;
      }
    return -1;
  };
  ASSERT_EQ(pCommandBars->GetCount(), pPage->m_lstToolbars.GetCount());

  int nMenu = select(pMenuBar);
  ASSERT_GE(nMenu, 0);
  EXPECT_TRUE(pPage->m_btnReset.IsWindowEnabled());
  EXPECT_FALSE(pPage->m_btnRename.IsWindowEnabled());
  EXPECT_FALSE(pPage->m_btnDelete.IsWindowEnabled());
  pPage->m_lstToolbars.SetCheck(nMenu, 0);
  pPage->OnToolbarsCheckChange();
  EXPECT_EQ(1, pPage->m_lstToolbars.GetCheck(select(pMenuBar)));
  EXPECT_TRUE(pMenuBar->IsVisible());

  int nCustom = select(pCustom);
  EXPECT_FALSE(pPage->m_btnReset.IsWindowEnabled());
  EXPECT_TRUE(pPage->m_btnRename.IsWindowEnabled());
  EXPECT_TRUE(pPage->m_btnDelete.IsWindowEnabled());
  pPage->m_lstToolbars.SetCheck(nCustom, 0);
  pPage->OnToolbarsCheckChange();
  EXPECT_FALSE(pCustom->IsVisible());

  int nCount = pCommandBars->GetCount();
  {
    user::ScriptedResponder script;
    script.AnswerNext(IDCANCEL);
    select(pCustom);
    pPage->OnDeleteToolbar();
    EXPECT_EQ(nCount, pCommandBars->GetCount());
    EXPECT_EQ("Удалить панель \"Мои команды\"?", script.Asked().at(0).text);
    script.AnswerNext(IDOK);
    pPage->OnDeleteToolbar();
    EXPECT_EQ(nCount - 1, pCommandBars->GetCount());
    EXPECT_EQ(nCount - 1, pPage->m_lstToolbars.GetCount());
  }
  sheet.DestroyWindow();
}

}  // namespace
