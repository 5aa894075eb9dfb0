// The shortcut manager: key names and combination texts, the default text of a command, stored tables as the
// profile keeps them (6 bytes an entry), and what translation does while it is suspended.
#include "toolkit/commandbars/shortcut_manager.h"

#include "tests/platform/base/test_folder.h"
#include "tests/toolkit/commandbars/bar_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing_support::ScopedEnv;
using testing_support::TempFolder;

constexpr UINT kOpen = 57601;
constexpr UINT kNew = 57600;
constexpr UINT kDxf = 32800;
constexpr LPCSTR kSection = "CommandBars";

TEST(ShortcutTexts, CombinationsAreNamedCtrlShiftAltThenTheKey)
{
  CTKShortcutManager manager;
  struct Case {
    BYTE fVirt;
    WORD key;
    const char* text;
    int priority;
  };
  const Case cases[] = {
      {FCONTROL | FSHIFT | FVIRTKEY, 0x4B, "Ctrl+Shift+K", 3},
      {FCONTROL | FVIRTKEY, 0x03, "Ctrl+Break", 3},       // the key's own name carries the modifier
      {FVIRTKEY, VK_F5, "F5", 4},
      {FALT | FSHIFT | FVIRTKEY, VK_DELETE, "Shift+Alt+Del", 2},
      {FSHIFT | FVIRTKEY, 0x67, "Shift+Num 7", 1},
      {FCONTROL | FALT, 0, "Ctrl+Alt", 3},                // only modifiers: no trailing plus
      {FCONTROL, 'q', "Ctrl+q", 3},                       // a character stays as typed
      {FCONTROL, 0x1B, "Ctrl+", 3},                       // Esc and Tab as characters append nothing
      {FVIRTKEY, VK_SPACE, "Space", 4},
  };
  for (const Case& c : cases) {
    ACCEL accel{c.fVirt, c.key, 1};
    int priority = 0;
    EXPECT_EQ(manager.Format(&accel, &priority), CString(c.text)) << c.text;
    EXPECT_EQ(priority, c.priority) << c.text;
  }
}

TEST(ShortcutTexts, OnlyEscapeAloneIsRefusedUnlessAllowed)
{
  CTKShortcutManager manager;
  ACCEL escape{FVIRTKEY, VK_ESCAPE, 1};
  ACCEL ctrlEscape{FVIRTKEY | FCONTROL, VK_ESCAPE, 1};
  EXPECT_FALSE(manager.CanAssignKey(&escape, 1));
  EXPECT_TRUE(manager.CanAssignKey(&ctrlEscape, 1));
  manager.m_bAllowEscapeShortcut = true;
  EXPECT_TRUE(manager.CanAssignKey(&escape, 1));
}

class ShortcutTable : public ::testing::Test {
protected:
  void SetUp() override
  {
    cbtest::UseTestResources();
    app_.SetRegistryKey("Marvesta");
  }
  std::vector<BYTE> Stored()
  {
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (!app_.GetProfileBinary(kSection, "Accelerators", &data, &bytes))
      return {};
    std::vector<BYTE> out(data, data + bytes);
    delete[] data;
    return out;
  }
  void Store(const std::vector<BYTE>& bytes)
  {
    app_.WriteProfileBinary(kSection, "Accelerators", const_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  }

  TempFolder folder_;
  ScopedEnv env_{"TESMIRA_PROFILE_DIR", folder_.Path()};
  CWinApp app_{"Tesmira Road"};
};

TEST_F(ShortcutTable, ThePlainKeyIsTheDefaultTextUnlessTheControlAlreadyShowsAnother)
{
  CTKShortcutManager manager;
  ASSERT_NE(manager.SetAccelerators(128), nullptr);
  CString text;
  EXPECT_TRUE(manager.FindDefaultAccelerator(kOpen, text));
  EXPECT_EQ(text, CString("F5"));  // F5 beats Ctrl+O
  text = "Ctrl+O";
  EXPECT_TRUE(manager.FindDefaultAccelerator(kOpen, text));
  EXPECT_EQ(text, CString("Ctrl+O"));  // the user's choice among the shortcuts stays
  text = "Ctrl+Q";
  EXPECT_FALSE(manager.FindDefaultAccelerator(57665, text));
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ShortcutTable, SavedEntriesAreSixBytesEach)
{
  CTKShortcutManager manager;
  ASSERT_NE(manager.SetAccelerators(128), nullptr);
  const ACCEL two[] = {{FVIRTKEY | FCONTROL, 'O', kOpen}, {FVIRTKEY, VK_F5, kNew}};
  manager.SetAcceleratorTable(two, 2);
  manager.SaveShortcuts(kSection);
  // fVirt, a pad byte, the key and the command little-endian.
  const std::vector<BYTE> expected = {0x09, 0x00, 0x4F, 0x00, 0x01, 0xE1, 0x01, 0x00, 0x74, 0x00, 0x00, 0xE1};
  EXPECT_EQ(Stored(), expected);
}

TEST_F(ShortcutTable, StoredValuesReplaceTheTableOnlyWithWholeSoundEntries)
{
  const std::vector<BYTE> ctrlK = {0x09, 0x00, 0x4B, 0x00, 0x20, 0x80};  // Ctrl+K, command 32800
  const std::vector<BYTE> f5 = {0x01, 0x00, 0x74, 0x00, 0xC0, 0xE0};     // F5, command 57536
  struct Case {
    const char* what;
    std::vector<BYTE> stored;
    std::vector<UINT> commands;  // of the table afterwards; empty: the default table of 4 stays
  };
  std::vector<BYTE> thirteen = ctrlK;
  thirteen.insert(thirteen.end(), f5.begin(), f5.end());
  thirteen.push_back(0x77);
  std::vector<BYTE> foreignFlags = {0x80, 0x00, 0x41, 0x00, 0x01, 0x00};
  foreignFlags.insert(foreignFlags.end(), f5.begin(), f5.end());
  const Case cases[] = {
      {"13 bytes: two entries, the rest dropped", thirteen, {kDxf, 57536}},
      {"no bytes", {}, {}},
      {"five bytes", {0x09, 0x00, 0x4B, 0x00, 0x20}, {}},
      {"flags that are no accelerator flags", {0x40, 0x00, 0x4B, 0x00, 0x20, 0x80}, {}},
      {"a foreign entry beside a sound one", foreignFlags, {57536}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CTKShortcutManager manager;
    ASSERT_NE(manager.SetAccelerators(128), nullptr);
    Store(c.stored);
    manager.LoadShortcuts(kSection);
    std::vector<UINT> commands;
    for (const ACCEL& accel : CTKShortcutManager::CopyTable(manager.GetAcceleratorTable()))
      commands.push_back(accel.cmd);
    if (c.commands.empty())
      EXPECT_EQ(commands, (std::vector<UINT>{kOpen, kOpen, kNew, kDxf}));
    else
      EXPECT_EQ(commands, c.commands);
  }
}

TEST_F(ShortcutTable, WithoutADefaultTableNothingIsSavedOrLoaded)
{
  CTKShortcutManager manager;
  EXPECT_EQ(manager.SetAccelerators(999), nullptr);
  manager.SaveShortcuts(kSection);
  EXPECT_TRUE(Stored().empty());
  Store({0x09, 0x00, 0x4B, 0x00, 0x20, 0x80});
  manager.LoadShortcuts(kSection);
  EXPECT_EQ(manager.GetAcceleratorTable(), nullptr);
}

TEST_F(ShortcutTable, ResetRestoresTheResourceTable)
{
  CTKShortcutManager manager;
  ASSERT_NE(manager.SetAccelerators(128), nullptr);
  const ACCEL one[] = {{FVIRTKEY, VK_F2, kNew}};
  manager.SetAcceleratorTable(one, 1);
  EXPECT_EQ(CTKShortcutManager::CopyTable(manager.GetAcceleratorTable()).size(), 1u);
  manager.Reset();
  EXPECT_EQ(CTKShortcutManager::CopyTable(manager.GetAcceleratorTable()).size(), 4u);
}

TEST_F(ShortcutTable, TranslationStopsWhileDisabledMoreOftenThanEnabled)
{
  cbtest::CTestFrame frame;
  ASSERT_TRUE(frame.Make(400, 300));
  CTKShortcutManager* manager = frame.GetCommandBars()->GetShortcutManager();
  ASSERT_NE(manager->SetAccelerators(128), nullptr);
  MSG msg{};
  msg.hwnd = frame.GetSafeHwnd();
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_F5;
  EXPECT_TRUE(manager->TranslateAccelerator(frame.GetSafeHwnd(), &msg));
  manager->DisableShortcuts(TRUE);
  manager->DisableShortcuts(TRUE);
  manager->DisableShortcuts(FALSE);
  EXPECT_FALSE(manager->TranslateAccelerator(frame.GetSafeHwnd(), &msg));
  manager->DisableShortcuts(FALSE);
  EXPECT_TRUE(manager->TranslateAccelerator(frame.GetSafeHwnd(), &msg));
  cbtest::Pump();
  EXPECT_EQ(frame.m_log, (std::vector<std::string>{"WM_COMMAND 57601", "WM_COMMAND 57601"}));
}

}  // namespace

namespace {

// Key messages as the edit would get them, with the modifier states in force.
class KeyCapture : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.Make(300, 200));
    ASSERT_TRUE(edit_.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 200, 30), &frame_, 1));
    ::GetKeyboardState(saved_);
  }
  void TearDown() override { ::SetKeyboardState(saved_); }
  BOOL Send(UINT message, UINT vk, std::initializer_list<int> held, bool repeat = false)
  {
    BYTE state[256] = {};
    for (int key : held)
      state[key] = 0x80;
    ::SetKeyboardState(state);
    MSG msg{};
    msg.hwnd = edit_.GetSafeHwnd();
    msg.message = message;
    msg.wParam = vk;
    msg.lParam = repeat ? (LPARAM(1) << 30) : 0;
    return edit_.PreTranslateMessage(&msg);
  }
  CString Text()
  {
    CString text;
    edit_.GetWindowText(text);
    return text;
  }
  cbtest::CTestFrame frame_;
  CTKShortcutManager manager_;
  CTKShortcutManager::CKeyAssign edit_{&manager_};
  BYTE saved_[256] = {};
};

TEST_F(KeyCapture, ModifiersShowAsHeldAndAKeyCompletesTheCombination)
{
  EXPECT_TRUE(Send(WM_KEYDOWN, VK_CONTROL, {VK_CONTROL}));
  EXPECT_EQ(Text(), CString("Ctrl"));
  EXPECT_FALSE(edit_.IsKeyComplete());
  EXPECT_TRUE(Send(WM_KEYDOWN, VK_SHIFT, {VK_CONTROL, VK_SHIFT}, true));
  EXPECT_EQ(Text(), CString("Ctrl+Shift"));
  EXPECT_TRUE(Send(WM_KEYDOWN, 'K', {VK_CONTROL, VK_SHIFT, 'K'}, true));
  EXPECT_EQ(Text(), CString("Ctrl+Shift+K"));
  ASSERT_TRUE(edit_.IsKeyComplete());
  EXPECT_EQ(edit_.GetAccel()->fVirt, FVIRTKEY | FCONTROL | FSHIFT);
  EXPECT_EQ(edit_.GetAccel()->key, 'K');
  Send(WM_KEYUP, 'K', {VK_CONTROL, VK_SHIFT});
  Send(WM_KEYUP, VK_SHIFT, {VK_CONTROL});
  EXPECT_EQ(Text(), CString("Ctrl+Shift+K"));  // releasing changes nothing

  // A new press starts over; Esc alone is refused and leaves the field empty.
  EXPECT_TRUE(Send(WM_KEYDOWN, VK_ESCAPE, {VK_ESCAPE}));
  EXPECT_FALSE(edit_.IsKeyComplete());
  EXPECT_EQ(Text(), CString(""));
  // Tab moves the focus on: not taken.
  EXPECT_FALSE(Send(WM_KEYDOWN, VK_TAB, {VK_TAB}));
}

}  // namespace
