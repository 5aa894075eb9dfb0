// System colours and menu-look settings, the system's identity, and the system modules bound by name.
#include "platform/user/accessibility.h"
#include "platform/user/user.h"
#include "platform/user/uxtheme.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// Top-level windows that count the broadcasts they get.
struct Heard {
  std::map<HWND, int> sysColorChanges;
  std::vector<WPARAM> settingChanges;
};
Heard* g_heard = nullptr;

LRESULT Listener(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (g_heard != nullptr && msg == WM_SYSCOLORCHANGE) {
    ++g_heard->sysColorChanges[hwnd];
  }
  if (g_heard != nullptr && msg == WM_SETTINGCHANGE) {
    g_heard->settingChanges.push_back(wParam);
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

class SystemServices : public ::testing::Test {
protected:
  void SetUp() override
  {
    WNDCLASS wc;
    wc.lpfnWndProc = &Listener;
    wc.lpszClassName = "SettingsListener";
    RegisterClass(&wc);
    g_heard = &heard_;
  }
  void TearDown() override
  {
    g_heard = nullptr;
    user::ResetSystemSettingsForTest();
  }
  HWND TopLevel()
  {
    return CreateWindowEx(0, "SettingsListener", "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
  }
  Heard heard_;
};

TEST_F(SystemServices, SetSysColorsChangesColoursAndBrushesAndTellsEveryTopLevelWindow)
{
  HWND first = TopLevel();
  HWND second = TopLevel();
  HWND child = CreateWindowEx(0, "SettingsListener", "", WS_CHILD, 0, 0, 5, 5, first, nullptr, nullptr, nullptr);
  HBRUSH faceBrush = GetSysColorBrush(COLOR_BTNFACE);
  ShowWindow(first, SW_SHOWNA);
  ValidateRect(first, nullptr);

  const INT elements[] = {COLOR_BTNFACE, COLOR_HIGHLIGHT};
  const COLORREF values[] = {RGB(236, 233, 216), RGB(49, 106, 197)};
  ASSERT_TRUE(SetSysColors(2, elements, values));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(236, 233, 216));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(49, 106, 197));
  // The stock brush keeps its handle and paints the new colour.
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), faceBrush);
  LOGBRUSH lb{};
  ASSERT_EQ(GetObject(faceBrush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(236, 233, 216));
  EXPECT_EQ(heard_.sysColorChanges[first], 1);
  EXPECT_EQ(heard_.sysColorChanges[second], 1);
  EXPECT_EQ(heard_.sysColorChanges.count(child), 0u);
  RECT stale{};
  EXPECT_TRUE(GetUpdateRect(first, &stale, FALSE));  // repainted in the new colours

  // An index out of range changes nothing, not even the valid ones before it.
  const INT bad[] = {COLOR_WINDOW, 99};
  const COLORREF badValues[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
  EXPECT_FALSE(SetSysColors(2, bad, badValues));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(heard_.sysColorChanges[first], 1);

  user::ResetSystemSettingsForTest();
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  DestroyWindow(first);
  DestroyWindow(second);
}

TEST_F(SystemServices, MenuLookSettingsAreAnsweredAsSet)
{
  struct Case {
    UINT set;
    UINT get;
    BOOL atStart;
  };
  const Case cases[] = {
      {SPI_SETDROPSHADOW, SPI_GETDROPSHADOW, FALSE},       {SPI_SETFLATMENU, SPI_GETFLATMENU, FALSE},
      {SPI_SETKEYBOARDCUES, SPI_GETKEYBOARDCUES, TRUE},    {SPI_SETMENUANIMATION, SPI_GETMENUANIMATION, FALSE},
      {SPI_SETMENUFADE, SPI_GETMENUFADE, FALSE},
  };
  HWND window = TopLevel();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    BOOL value = 7;
    ASSERT_TRUE(SystemParametersInfo(c.get, 0, &value, 0));
    EXPECT_EQ(value, c.atStart);
    // The new value travels in the pointer itself; FALSE is a null pointer and must not be taken as no buffer.
    const BOOL flipped = c.atStart ? FALSE : TRUE;
    ASSERT_TRUE(SystemParametersInfo(c.set, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(flipped)), 0));
    ASSERT_TRUE(SystemParametersInfo(c.get, 0, &value, 0));
    EXPECT_EQ(value, flipped);
    ASSERT_TRUE(SystemParametersInfo(c.set, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(c.atStart)),
                                     SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
    ASSERT_TRUE(SystemParametersInfo(c.get, 0, &value, 0));
    EXPECT_EQ(value, c.atStart);
  }
  // Only the changes asked to be told were told, each with its action.
  EXPECT_EQ(heard_.settingChanges, (std::vector<WPARAM>{SPI_SETDROPSHADOW, SPI_SETFLATMENU, SPI_SETKEYBOARDCUES,
                                                        SPI_SETMENUANIMATION, SPI_SETMENUFADE}));
  DestroyWindow(window);
}

TEST_F(SystemServices, TheSystemIsWindowsXpServicePack2)
{
  OSVERSIONINFOEXA ex;
  ASSERT_TRUE(GetVersionEx(reinterpret_cast<OSVERSIONINFOA*>(&ex)));
  EXPECT_EQ(ex.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(ex.dwMajorVersion, 5u);
  EXPECT_EQ(ex.dwMinorVersion, 1u);
  EXPECT_EQ(ex.dwBuildNumber, 2600u);
  EXPECT_STREQ(ex.szCSDVersion, "Service Pack 2");
  EXPECT_EQ(ex.wServicePackMajor, 2);
  EXPECT_EQ(ex.wProductType, VER_NT_WORKSTATION);

  OSVERSIONINFOA plain;
  std::memset(reinterpret_cast<char*>(&plain) + sizeof(DWORD), 0x5A, sizeof plain - sizeof(DWORD));
  ASSERT_TRUE(GetVersionExA(&plain));
  EXPECT_EQ(plain.dwMajorVersion, 5u);

  OSVERSIONINFOA wrongSize;
  wrongSize.dwOSVersionInfoSize = 100;
  EXPECT_FALSE(GetVersionEx(&wrongSize));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(GetVersion() & 0xFFFF, 0x0105u);
}

// What the toolkit binds from each module by name.
struct ModuleCase {
  const char* loadName;  // as the toolkit names it
  const char* tableName;
  std::vector<const char*> exports;
};

const std::vector<ModuleCase>& ModuleCases()
{
  static const std::vector<ModuleCase> cases = {
      {"UXTHEME.DLL", "UxTheme.dll",
       {"OpenThemeData", "CloseThemeData", "DrawThemeBackground", "GetThemeColor", "GetCurrentThemeName",
        "IsAppThemed", "IsThemeActive"}},
      {"msimg32.dll", "msimg32.dll", {"AlphaBlend", "TransparentBlt", "GradientFill"}},
      {"USER32", "USER32",
       {"GetSystemMetrics", "MonitorFromWindow", "MonitorFromRect", "MonitorFromPoint", "GetMonitorInfoA",
        "UpdateLayeredWindow", "SetLayeredWindowAttributes", "NotifyWinEvent"}},
      {"oleacc.dll", "oleacc.dll", {"LresultFromObject", "AccessibleObjectFromWindow"}},
      {"shlwapi.dll", "shlwapi.dll", {"SHAutoComplete", "DllGetVersion"}},
      {"COMCTL32.DLL", "comctl32.dll", {"DllGetVersion"}},
  };
  return cases;
}

TEST(SystemModules, EachIsLoadedFromStartAndCanBeMadeAbsentAndBack)
{
  for (const ModuleCase& c : ModuleCases()) {
    SCOPED_TRACE(c.tableName);
    HMODULE loaded = GetModuleHandle(c.loadName);
    ASSERT_NE(loaded, nullptr);
    for (const char* name : c.exports) {
      EXPECT_NE(GetProcAddress(loaded, name), nullptr) << name;
    }
    EXPECT_EQ(GetProcAddress(loaded, "NoSuchExport"), nullptr);
    {
      user::AbsentSystemModule absent(c.tableName);
      EXPECT_EQ(GetModuleHandle(c.loadName), nullptr);
      EXPECT_EQ(LoadLibrary(c.loadName), nullptr);
      EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    }
    HMODULE again = LoadLibrary(c.loadName);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(GetProcAddress(again, c.exports.front()), nullptr);
    FreeLibrary(again);
    EXPECT_NE(GetModuleHandle(c.loadName), nullptr);  // the loader's own reference is back
  }
  EXPECT_FALSE(user::SetSystemModuleAbsentForTest("kernel32.dll", true));
}

TEST(SystemModules, VersionsAnsweredThroughTheBoundEntryPoints)
{
  for (const char* module : {"comctl32.dll", "shlwapi.dll"}) {
    SCOPED_TRACE(module);
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(GetModuleHandle(module), "DllGetVersion"));
    ASSERT_NE(getVersion, nullptr);
    DLLVERSIONINFO info;
    ASSERT_EQ(getVersion(&info), S_OK);
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
    DLLVERSIONINFO wrong;
    wrong.cbSize = 12;
    EXPECT_EQ(getVersion(&wrong), E_INVALIDARG);
  }
  using AutoComplete = HRESULT (*)(HWND, DWORD);
  auto autoComplete = reinterpret_cast<AutoComplete>(GetProcAddress(GetModuleHandle("shlwapi.dll"), "SHAutoComplete"));
  HWND edit = CreateWindowEx(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(autoComplete(edit, SHACF_DEFAULT), S_OK);
  DestroyWindow(edit);
}

}  // namespace
