#include "model/shell/shell_services.h"
#include "model/standards.h"
#include "platform/base/module.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// What the fake norms library saw and what it answers.
struct WizardScript {
  int answer = 1;
  bool fillWithoutTerminator = false;
  int calls = 0;
  DWORD ownerWindow = 0;
  int transparency = -1;
  std::vector<std::string> analyticsCalls;
} g_script;

int FakeStartOfWizard(void* buffer, int transparency)
{
  auto* record = static_cast<_STANDARDS_OF_ROAD*>(buffer);
  ++g_script.calls;
  g_script.ownerWindow = record->ownerWindow;
  g_script.transparency = transparency;
  // The library writes its choice even when the user cancels; the program must not take it then.
  record->normDocumentId = 4;
  std::strcpy(record->objectClass, "Б2");
  if (g_script.fillWithoutTerminator)
    std::memset(record->objectClass, 'x', sizeof record->objectClass);
  record->normsWord = 0x55;
  record->normsValue = 0x1122334455667788LL;
  for (double& v : record->effectiveValues)
    v = -1.0;
  record->effectiveValues[4] = 15.0;
  return g_script.answer;
}

int FakeScreenRegister(const char* screen, int flag)
{
  g_script.analyticsCalls.push_back(std::string("screen ") + screen + " " + std::to_string(flag));
  return 0;
}

int FakeSendInfo(int a, int b)
{
  g_script.analyticsCalls.push_back("send " + std::to_string(a) + " " + std::to_string(b));
  return 0;
}

struct Box {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

class ScriptedShell : public Shell::CShellServices {
public:
  HWND mainWindow = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234567890ull));
  int transparency = 200;
  bool analyticsLoaded = true;
  std::vector<Box> boxes;

  HWND GetMainWindow() override { return mainWindow; }
  int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) override
  {
    boxes.push_back({owner, text, caption, type});
    return Shell::IDOK;
  }
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) override
  {
    if (std::string(section) == "Settings" && std::string(entry) == "Transparence")
      return static_cast<UINT>(transparency);
    return static_cast<UINT>(defaultValue);
  }
  HMODULE GetAnalyticsModule() override { return analyticsLoaded ? analytics : nullptr; }
  // The program's shell sends through the same library.
  int SendAnalyticsInfo(int flag) override { return analyticsLoaded ? FakeSendInfo(0, flag) : -1; }

  HMODULE analytics = nullptr;
};

class NormsWizard : public ::testing::Test {
protected:
  void SetUp() override
  {
    g_script = WizardScript{};
    platform::RegisterModule("QorStd", {{"StartOfWizard", reinterpret_cast<void*>(&FakeStartOfWizard)}});
    platform::RegisterModule("QorAnalytics", {{"ScreenRegisterA", reinterpret_cast<void*>(&FakeScreenRegister)},
                                              {"SendInfo", reinterpret_cast<void*>(&FakeSendInfo)}});
    shell.analytics = LoadLibrary("QorAnalytics.dll");
    Shell::SetShellServices(&shell);
  }
  void TearDown() override
  {
    Shell::SetShellServices(nullptr);
    FreeLibrary(shell.analytics);
    platform::UnregisterModule("QorStd");
    platform::UnregisterModule("QorAnalytics");
  }

  ScriptedShell shell;
  CStandardsOfRoad norms;
};

TEST(NormsRecord, ClearDocumentChoiceAndAssign)
{
  CStandardsOfRoad norms;
  const _STANDARDS_OF_ROAD zero{};
  EXPECT_EQ(std::memcmp(norms.GetRecord(), &zero, sizeof zero), 0);

  _STANDARDS_OF_ROAD* r = norms.GetRecord();
  r->ownerWindow = 0x77;
  std::strcpy(r->objectClass, "А1");
  r->documentValues[0] = 2.0;
  r->sidewalkMaximum[1] = 30.0;
  const int document = 3;
  norms.SetNormDocument(&document);
  EXPECT_EQ(r->normDocumentId, 3);
  EXPECT_EQ(r->objectClass[0], '\0');
  EXPECT_EQ(r->documentValues[0], 2.0);

  CStandardsOfRoad copy;
  copy.Assign(norms);
  EXPECT_EQ(std::memcmp(copy.GetRecord(), r, sizeof(_STANDARDS_OF_ROAD)), 0);
  copy.Assign(copy);
  EXPECT_EQ(copy.GetRecord()->ownerWindow, 0x77u);

  norms.Clear();
  EXPECT_EQ(std::memcmp(norms.GetRecord(), &zero, sizeof zero), 0);
}

TEST_F(NormsWizard, AcceptedChoiceReplacesTheRecordAndIsReported)
{
  norms.GetRecord()->documentValues[1] = 0.4;
  EXPECT_NE(CStandardsOfRoad::RunWizard(&norms), 0);
  const _STANDARDS_OF_ROAD* r = norms.GetRecord();
  EXPECT_EQ(g_script.calls, 1);
  EXPECT_EQ(g_script.ownerWindow, 0x34567890u);  // the low 4 bytes of the handle
  EXPECT_EQ(g_script.transparency, 200);
  EXPECT_EQ(r->normDocumentId, 4);
  EXPECT_STREQ(r->objectClass, "Б2");
  EXPECT_EQ(r->normsValue, 0x1122334455667788LL);
  EXPECT_EQ(r->effectiveValues[4], 15.0);
  EXPECT_EQ(r->documentValues[1], 0.4);
  EXPECT_EQ(g_script.analyticsCalls, (std::vector<std::string>{"screen Проект.Нормы 1", "send 0 1"}));
  EXPECT_TRUE(shell.boxes.empty());
  // The library was given back.
  EXPECT_EQ(GetModuleHandle("QorStd"), nullptr);
}

TEST_F(NormsWizard, CancelledChoiceChangesNothing)
{
  g_script.answer = 0;
  std::strcpy(norms.GetRecord()->objectClass, "В3");
  EXPECT_EQ(CStandardsOfRoad::RunWizard(&norms), 0);
  EXPECT_EQ(g_script.calls, 1);
  EXPECT_STREQ(norms.GetRecord()->objectClass, "В3");
  EXPECT_EQ(norms.GetRecord()->normDocumentId, 0);
  EXPECT_TRUE(g_script.analyticsCalls.empty());
}

TEST_F(NormsWizard, WithoutAnalyticsOrProfileTheDefaultsApply)
{
  shell.analyticsLoaded = false;
  Shell::SetShellServices(nullptr);
  EXPECT_NE(CStandardsOfRoad::RunWizard(&norms), 0);
  EXPECT_EQ(g_script.transparency, 255);
  EXPECT_EQ(g_script.ownerWindow, 0u);
  EXPECT_TRUE(g_script.analyticsCalls.empty());
}

TEST_F(NormsWizard, MissingLibraryOrEntryIsShownAndRefused)
{
  struct Case {
    const char* what;
    platform::ModuleSymbols symbols;
    bool registered;
    const char* message;
  };
  const Case cases[] = {
      {"no library", {}, false, "Ошибка загрузки модуля QorStd.dll"},
      {"no entry", {{"StartOfWizardEx", reinterpret_cast<void*>(&FakeStartOfWizard)}}, true, "StartOfWizard"},
  };
  for (const Case& c : cases) {
    platform::UnregisterModule("QorStd");
    if (c.registered)
      platform::RegisterModule("QorStd", c.symbols);
    shell.boxes.clear();
    std::strcpy(norms.GetRecord()->objectClass, "Г4");
    EXPECT_EQ(CStandardsOfRoad::RunWizard(&norms), 0) << c.what;
    ASSERT_EQ(shell.boxes.size(), 1u) << c.what;
    EXPECT_EQ(shell.boxes[0].owner, shell.mainWindow);
    EXPECT_EQ(shell.boxes[0].text, c.message);
    EXPECT_EQ(shell.boxes[0].caption, "Ошибка");
    EXPECT_EQ(shell.boxes[0].type, Shell::MB_ICONERROR);
    EXPECT_STREQ(norms.GetRecord()->objectClass, "Г4") << c.what;
    EXPECT_EQ(GetModuleHandle("QorStd"), nullptr) << c.what;
  }
  EXPECT_EQ(g_script.calls, 0);
}

TEST_F(NormsWizard, UnterminatedClassFromTheLibraryIsCutToItsField)
{
  g_script.fillWithoutTerminator = true;
  EXPECT_NE(CStandardsOfRoad::RunWizard(&norms), 0);
  EXPECT_EQ(strnlen(norms.GetRecord()->objectClass, 1024), 1023u);
}

}  // namespace
