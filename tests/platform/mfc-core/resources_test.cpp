#include "platform/mfc-core/resources.h"

#include "platform/base/module.h"
#include "platform/mfc-core/mfcstring.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::ResourceModuleData;
using platform::StringResource;

// Two small modules standing for the program's and the toolkit's; texts are cp1251 bytes.
constexpr StringResource kAppStrings[] = {
    {7, 5, "Hello"},
    {20, 14, "%d \xEF\xEE\xEB\xEE\xF1 %.1lf"},  // "%d полос %.1lf"
    {101, 6, "\xCF\xF0\xEE\xE5\xEA\xF2"},  // "Проект"
    {9001, 11, "app's 9001 "},
};
constexpr StringResource kKitStrings[] = {
    {9001, 10, "kit's 9001"},
    {9002, 10, "kit's 9002"},
};
constexpr ResourceModuleData kApp = {"ResTestApp", kAppStrings, std::size(kAppStrings)};
constexpr ResourceModuleData kKit = {"ResTestKit.ru", kKitStrings, std::size(kKitStrings)};

class ResourceModules : public ::testing::Test {
 protected:
  void SetUp() override
  {
    app = platform::RegisterResourceModule(kApp);
    platform::RegisterResourceModule(kKit);
    platform::SetProgramModule(app);
    kit = platform::LoadResourceModule("ResTestKit.ru");
    ASSERT_NE(kit, nullptr);
  }

  static std::string Load(HINSTANCE module, UINT id, int size, int& length)
  {
    std::string buffer(16, '#');
    length = LoadString(module, id, buffer.data(), size);
    return buffer;
  }

  HINSTANCE app = nullptr;
  HINSTANCE kit = nullptr;
};

TEST_F(ResourceModules, ModulesAreReachedByTheirOwnHandleTheInstanceAndLoadLibrary)
{
  EXPECT_EQ(platform::RegisterResourceModule(kApp), app);
  EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandle(nullptr));
  EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());
  EXPECT_EQ(platform::FindString(app, 7), "Hello");
  EXPECT_EQ(platform::FindString(AfxGetInstanceHandle(), 7), "Hello");
  // The program loads the toolkit's module from its Bin folder; any folder names the same module.
  HMODULE loaded = LoadLibrary("C:\\Program Files\\Tesmira Road\\Bin\\ResTestKit.ru");
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(platform::FindString(loaded, 9002), "kit's 9002");
  EXPECT_TRUE(platform::FreeResourceModule(loaded));
  EXPECT_EQ(platform::LoadResourceModule("NoSuch.ru"), nullptr);
}

TEST_F(ResourceModules, LoadStringCopiesTruncatesAndTerminatesLikeWindows)
{
  struct Case {
    UINT id;
    int size;
    int expectedLength;
    std::string expectedBuffer;  // the first size bytes (all 16 when size <= 0)
  };
  const Case cases[] = {
      {7, 16, 5, std::string("Hello\0", 6)},
      {7, 6, 5, std::string("Hello\0", 6)},   // exactly fits with its zero
      {7, 5, 4, std::string("Hell\0", 5)},    // one short: truncated, still terminated
      {7, 1, 0, std::string("\0", 1)},        // room for the zero only
      {7, 0, 0, std::string(16, '#')},        // no room: buffer untouched
      {7, -3, 0, std::string(16, '#')},
      {101, 16, 6, std::string("\xCF\xF0\xEE\xE5\xEA\xF2\0", 7)},
      {8, 16, 0, std::string("\0", 1)},       // missing id: empty text
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("id " + std::to_string(c.id) + " size " + std::to_string(c.size));
    int length = -1;
    std::string buffer = Load(app, c.id, c.size, length);
    EXPECT_EQ(length, c.expectedLength);
    EXPECT_EQ(buffer.substr(0, c.expectedBuffer.size()), c.expectedBuffer);
  }
  EXPECT_EQ(LoadString(app, 7, nullptr, 10), 0);
}

TEST_F(ResourceModules, UnknownOrNullHandlesFindNothingAndAreNeverRead)
{
  int dummy = 0;
  for (HINSTANCE module : {HINSTANCE{}, reinterpret_cast<HINSTANCE>(&dummy)}) {
    int length = -1;
    std::string buffer = Load(module, 7, 16, length);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_FALSE(platform::FindString(module, 7));
  }
}

TEST_F(ResourceModules, EachModuleAnswersForItsOwnStringsOnly)
{
  EXPECT_EQ(platform::FindString(app, 9001), "app's 9001 ");
  EXPECT_EQ(platform::FindString(kit, 9001), "kit's 9001");
  EXPECT_FALSE(platform::FindString(app, 9002));
  EXPECT_FALSE(platform::FindString(kit, 7));
}

TEST_F(ResourceModules, ToolkitLookupTriesTheToolkitModuleFirstThenTheProgram)
{
  EXPECT_EQ(platform::FindStringToolkitFirst(kit, 9001), "kit's 9001");
  EXPECT_EQ(platform::FindStringToolkitFirst(kit, 7), "Hello");
  EXPECT_EQ(platform::FindStringToolkitFirst(nullptr, 9001), "app's 9001 ");
  EXPECT_FALSE(platform::FindStringToolkitFirst(kit, 8));

  char buffer[8];
  EXPECT_EQ(LoadStringToolkitFirst(kit, 9002, buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "kit's 9");
}

TEST_F(ResourceModules, AnAbsentToolkitModuleCannotBeLoadedAndItsStringsFallBackOrVanish)
{
  {
    platform::ScopedResourceModuleAbsence absent("ResTestKit.ru");
    EXPECT_EQ(platform::LoadResourceModule("ResTestKit.ru"), nullptr);
    // A handle taken before the module went missing finds nothing either.
    EXPECT_FALSE(platform::FindString(kit, 9002));
    EXPECT_EQ(platform::FindStringToolkitFirst(kit, 9001), "app's 9001 ");
    char buffer[16] = "#";
    EXPECT_EQ(LoadStringToolkitFirst(kit, 9002, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
  }
  HINSTANCE again = platform::LoadResourceModule("ResTestKit.ru");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(platform::FindString(again, 9002), "kit's 9002");
  EXPECT_EQ(platform::FindString(kit, 9002), "kit's 9002");
}

TEST_F(ResourceModules, CStringLoadsFromTheProgramsResourcesOrTheModuleItNames)
{
  CString text("unchanged");
  EXPECT_TRUE(text.LoadString(101));
  EXPECT_EQ(std::string(text.GetString(), text.GetLength()), "\xCF\xF0\xEE\xE5\xEA\xF2");
  // The program's lookup does not reach into the toolkit's module.
  EXPECT_FALSE(text.LoadString(9002));
  EXPECT_TRUE(text.LoadString(kit, 9002));
  EXPECT_STREQ(text, "kit's 9002");
  text.Format(20U, 3, 7.26);
  EXPECT_STREQ(text, "3 \xEF\xEE\xEB\xEE\xF1 7.3");
}

TEST_F(ResourceModules, TheResourceHandleCanPointElsewhereWhileTheInstanceStays)
{
  AfxSetResourceHandle(kit);
  EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandle(nullptr));
  EXPECT_EQ(platform::FindStringToolkitFirst(nullptr, 9002), "kit's 9002");
  EXPECT_EQ(platform::FindString(AfxGetInstanceHandle(), 9002), std::nullopt);
  platform::SetProgramModule(app);
  EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());
}

// The toolkit asks which module holds a string before loading it; the resource handle is asked first, and the
// instance a program sets moves neither the resource handle nor the program's own strings.
TEST_F(ResourceModules, StringsAreFoundInTheResourceHandleThenTheProgramWhateverTheInstance)
{
  AfxSetInstanceHandle(kit);
  EXPECT_EQ(AfxGetInstanceHandle(), kit);
  EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandle(nullptr));
  EXPECT_EQ(AfxFindStringResourceHandle(9002), nullptr);
  EXPECT_EQ(AfxFindStringResourceHandle(7), GetModuleHandle(nullptr));

  AfxSetResourceHandle(kit);
  SetLastError(1234);
  EXPECT_EQ(AfxFindStringResourceHandle(9001), kit);
  EXPECT_EQ(AfxFindStringResourceHandle(7), GetModuleHandle(nullptr));
  EXPECT_EQ(AfxFindStringResourceHandle(4711), nullptr);
  EXPECT_EQ(GetLastError(), 1234U);

  AfxSetInstanceHandle(nullptr);
  EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandle(nullptr));
  AfxSetInstanceHandle(kit);
  platform::SetProgramModule(app);
  EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandle(nullptr));
  EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandle(nullptr));
}

}  // namespace
