// The command bars' options under "<section>-Options": what the registry form writes, the used-command set as the
// archive's blob, and stored sets that are cut short or missing.
#include "toolkit/commandbars/commandbars.h"

#include "platform/base/registry.h"
#include "platform/mfc-core/memfile.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/prop_exchange.h"
#include "tests/platform/base/test_folder.h"
#include "tests/toolkit/commandbars/bar_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing_support::ScopedEnv;
using testing_support::TempFolder;

constexpr char kOptionsKey[] = "Software\\Marvesta\\Tesmira Road\\CommandBars-Options";

class Options : public ::testing::Test {
protected:
  void SetUp() override { app_.SetRegistryKey("Marvesta"); }

  std::vector<BYTE> Binary(LPCSTR name)
  {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
      return {};
    DWORD type = 0;
    DWORD size = 0;
    std::vector<BYTE> out;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      out.resize(size);
      RegQueryValueExA(key, name, nullptr, &type, out.data(), &size);
    }
    RegCloseKey(key);
    return out;
  }
  bool Has(LPCSTR name)
  {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
  }
  void PutBinary(LPCSTR name, const std::vector<BYTE>& bytes)
  {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
  }

  TempFolder folder_;
  ScopedEnv env_{"TESMIRA_PROFILE_DIR", folder_.Path()};
  CWinApp app_{"Tesmira Road"};
};

TEST_F(Options, TheRegistryFormHoldsTheSwitchesAndTheUsedSetOnlyWhenNotEmpty)
{
  CTKCommandBars bars;
  bars.GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
  bars.GetCommandBarsOptions()->bLargeIcons = TRUE;
  bars.SaveOptions("CommandBars");
  EXPECT_TRUE(Has("Schema"));
  EXPECT_TRUE(Has("AlwaysShowFullMenus"));
  EXPECT_TRUE(Has("Animation"));
  EXPECT_FALSE(Has("UsedCommands"));
  EXPECT_FALSE(Has("SyncFloatingBars"));  // the archive form's

  const UINT hidden[] = {57607, 57609};
  bars.HideCommands(hidden, 2);
  bars.SetCommandUsed(57609);
  bars.SetCommandUsed(32800);  // not hidden: not marked
  EXPECT_FALSE(bars.IsHiddenCommand(57609));
  EXPECT_TRUE(bars.IsHiddenCommand(57607));
  bars.SaveOptions("CommandBars");
  // One entry: the count, then the id 57609 and its flag.
  EXPECT_EQ(Binary("UsedCommands"), (std::vector<BYTE>{0x01, 0x00, 0x09, 0xE1, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}));

  CTKCommandBars loaded;
  loaded.LoadOptions("CommandBars");
  EXPECT_FALSE(loaded.GetCommandBarsOptions()->bAlwaysShowFullMenus);
  EXPECT_TRUE(loaded.GetCommandBarsOptions()->bLargeIcons);
  EXPECT_EQ(loaded.GetCommandBarsOptions()->m_mapUsedCommands, (std::set<UINT>{57609}));
}

TEST_F(Options, AStoredSetIsTakenOnlyWhenItIsWhole)
{
  struct Case {
    const char* what;
    std::vector<BYTE> stored;
    std::set<UINT> used;
  };
  const Case cases[] = {
      {"two entries", {0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00,
                       0x00, 0x00}, {1, 2}},
      {"a count of two with one entry", {0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}, {7}},
      {"a huge count", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0x00, 0x00, 0x00}, {7}},
      {"one byte", {0x01}, {7}},
      {"nothing", {}, {7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PutBinary("UsedCommands", c.stored);
    CTKCommandBars bars;
    bars.GetCommandBarsOptions()->m_mapUsedCommands = {7};
    bars.LoadOptions("CommandBars");
    EXPECT_EQ(bars.GetCommandBarsOptions()->m_mapUsedCommands, c.used);
  }
}

TEST_F(Options, MissingValuesLeaveTheOptionsAsTheyWere)
{
  CTKCommandBars bars;
  bars.GetCommandBarsOptions()->bToolBarAccelTips = TRUE;
  bars.GetCommandBarsOptions()->m_mapUsedCommands = {5};
  bars.LoadOptions("CommandBars");
  EXPECT_TRUE(bars.GetCommandBarsOptions()->bToolBarAccelTips);
  EXPECT_EQ(bars.GetCommandBarsOptions()->m_mapUsedCommands, (std::set<UINT>{5}));
  EXPECT_FALSE(Has("Schema"));  // loading makes no key
}

// Every value in call order: int and BOOL 4 bytes, a size 8, a command set as a blob (compact count of its
// bytes, then the set's own count and entries).
const std::vector<BYTE> kArchiveBytes = {
    0x10, 0, 0, 0,                                       // Schema 16
    0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,      // AlwaysShowFullMenus 0, ShowFullAfterDelay, ToolBarScreenTips,
    0, 0, 0, 0,                                          // ToolBarAccelTips, LargeIcons
    0x0A, 0x00, 0x01, 0x00, 0x09, 0xE1, 0, 0, 1, 0, 0, 0,  // UsedCommands {57609}
    3, 0, 0, 0,                                          // Animation
    1, 0, 0, 0, 1, 0, 0, 0,                              // SyncFloatingBars, ShowExpandButtonAlways
    0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0, 0x20, 0, 0, 0,  // IconsSize, LargeIconsSize 32 x 32
    0x12, 0x00, 0x02, 0x00, 0x07, 0xE1, 0, 0, 1, 0, 0, 0, 0x09, 0xE1, 0, 0, 1, 0, 0, 0,  // HiddenCommands
    0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,                  // IconsWithShadow, UseDisabledIcons, UseFadedIcons
    1, 0, 0, 0, 1, 0, 0, 0,                              // SyncFloatingBars, ShowExpandButtonAlways again
    0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,      // DblClickFloat, ShowTextBelowIcons, AltDrag, AutoHide
    0x10, 0, 0, 0, 0x10, 0, 0, 0,                        // PopupIconsSize
    1, 0, 0, 0, 0, 0, 0, 0,                              // KeyboardCuesUse, KeyboardCuesShow
};

TEST_F(Options, TheArchiveFormHoldsEveryValueInTheHandWrittenBytes)
{
  CTKCommandBars bars;
  CTKCommandBarsOptions* pOptions = bars.GetCommandBarsOptions();
  pOptions->bAlwaysShowFullMenus = FALSE;
  pOptions->animationType = 3;
  pOptions->szLargeIcons = CSize(32, 32);
  pOptions->m_mapHiddenCommands = {57607, 57609};
  pOptions->m_mapUsedCommands = {57609};
  CTKPaintManager* pm = bars.GetPaintManager();
  pm->m_bIconShadow = FALSE;
  pm->m_bGenerateDisabledIcons = TRUE;
  pm->m_bFadedIcons = TRUE;
  CMemFile out;
  {
    CArchive ar(&out, CArchive::store);
    CTKPropExchangeArchive px(ar);
    pOptions->DoPropExchange(&px);
    ar.Close();
  }
  const ULONGLONG length = out.GetLength();
  BYTE* pBytes = out.Detach();
  std::vector<BYTE> saved(pBytes, pBytes + length);
  free(pBytes);
  EXPECT_EQ(saved, kArchiveBytes);

  std::vector<BYTE> bytes = kArchiveBytes;
  CMemFile in(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&in, CArchive::load);
  CTKPropExchangeArchive px(ar);
  CTKCommandBars loaded;
  loaded.GetCommandBarsOptions()->DoPropExchange(&px);
  EXPECT_FALSE(loaded.GetCommandBarsOptions()->bAlwaysShowFullMenus);
  EXPECT_EQ(loaded.GetCommandBarsOptions()->animationType, 3);
  EXPECT_EQ(loaded.GetCommandBarsOptions()->szLargeIcons, CSize(32, 32));
  EXPECT_EQ(loaded.GetCommandBarsOptions()->m_mapHiddenCommands, (std::set<UINT>{57607, 57609}));
  EXPECT_EQ(loaded.GetCommandBarsOptions()->m_mapUsedCommands, (std::set<UINT>{57609}));
}

}  // namespace

namespace {

TEST_F(Options, TheFrameSavesAndLoadsOptionsAndShortcutsUnderOneSection)
{
  const ACCEL mine[] = {{FVIRTKEY | FCONTROL, 'K', 32800}};
  {
    cbtest::CTestFrame frame;
    ASSERT_TRUE(frame.Make(300, 200));
    CTKCommandBars* pBars = frame.GetCommandBars();
    ASSERT_NE(pBars->GetShortcutManager()->SetAccelerators(128), nullptr);
    pBars->GetShortcutManager()->SetAcceleratorTable(mine, 1);
    pBars->GetCommandBarsOptions()->bToolBarAccelTips = TRUE;
    frame.SaveCommandBars("CommandBars");
  }
  cbtest::CTestFrame frame;
  ASSERT_TRUE(frame.Make(300, 200));
  CTKCommandBars* pBars = frame.GetCommandBars();
  ASSERT_NE(pBars->GetShortcutManager()->SetAccelerators(128), nullptr);
  frame.LoadCommandBars("CommandBars");
  EXPECT_TRUE(pBars->GetCommandBarsOptions()->bToolBarAccelTips);
  std::vector<ACCEL> table = CTKShortcutManager::CopyTable(pBars->GetShortcutManager()->GetAcceleratorTable());
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].cmd, 32800);
  EXPECT_EQ(table[0].key, 'K');
}

}  // namespace
