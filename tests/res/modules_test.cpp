#include "res/modules.h"

#include "platform/mfc-core/resources.h"
#include "res/program_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class CompiledModules : public ::testing::Test {
 protected:
  void SetUp() override { program = res::RegisterModules(); }

  static std::string Load(HINSTANCE module, UINT id)
  {
    char buffer[1024];
    int length = LoadString(module, id, buffer, sizeof buffer);
    return std::string(buffer, length);
  }

  HINSTANCE program = nullptr;
};

TEST_F(CompiledModules, TheProgramModuleIsTheInstanceAndHoldsTheProgramsTexts)
{
  EXPECT_EQ(AfxGetInstanceHandle(), program);
  EXPECT_EQ(AfxGetResourceHandle(), program);
  EXPECT_EQ(res::RegisterModules(), program);
  EXPECT_EQ(Load(program, 57344), "Tesmira Road");
  // The document template string keeps its newline-separated fields.
  EXPECT_EQ(Load(program, 128),
            "Tesmira Road\n\nQorRoad\nTesmira Road (*.qorr4;*.qorr5)\n.qorr5;.qorr4\nQorRoad5.Document\n"
            "QorRoad5.Document");
}

TEST_F(CompiledModules, RussianTextsArriveAsCodePage1251Bytes)
{
  EXPECT_EQ(Load(program, 101), "\xCF\xF0\xEE\xE5\xEA\xF2");  // "Проект"
  // "Для справки, нажмите F1", under its framework name
  EXPECT_EQ(Load(program, res::program::AFX_IDS_IDLEMESSAGE),
            "\xC4\xEB\xFF\x20\xF1\xEF\xF0\xE0\xE2\xEA\xE8\x2C\x20\xED\xE0\xE6\xEC\xE8\xF2\xE5\x20\x46\x31");
  // Typographic quotes have cp1251 codes of their own: "Каталог “%s” удален."
  EXPECT_EQ(Load(program, 838), "\xCA\xE0\xF2\xE0\xEB\xEE\xE3\x20\x93%s\x94\x20\xF3\xE4\xE0\xEB\xE5\xED.");
}

TEST_F(CompiledModules, TheToolkitModuleLoadsByNameAndHoldsOnlyTheToolkitRange)
{
  HINSTANCE toolkit = platform::LoadResourceModule(res::kToolkitModuleFileName);
  ASSERT_NE(toolkit, nullptr);
  EXPECT_NE(toolkit, program);
  EXPECT_FALSE(Load(toolkit, 9330).empty());
  EXPECT_TRUE(Load(program, 9330).empty());
  EXPECT_TRUE(Load(toolkit, 101).empty());
  // The toolkit's lookup still reaches the program's texts.
  EXPECT_EQ(platform::FindStringToolkitFirst(toolkit, 101), "\xCF\xF0\xEE\xE5\xEA\xF2");
}

// Without the toolkit's module its texts must come out empty, not from the program: the ranges never overlap.
TEST_F(CompiledModules, ToolkitIdsLiveOnlyInTheToolkitModule)
{
  auto inToolkitRange = [](const platform::StringResource& s) { return s.id >= 9000 && s.id <= 9999; };
  const auto& program = res::ProgramModule();
  const auto& toolkit = res::ToolkitModule();
  EXPECT_TRUE(std::none_of(program.strings, program.strings + program.stringCount, inToolkitRange));
  EXPECT_TRUE(std::all_of(toolkit.strings, toolkit.strings + toolkit.stringCount, inToolkitRange));
  EXPECT_GT(toolkit.stringCount, 0u);
  auto resourceInRange = [](const platform::BinaryResource& r) { return r.id >= 9000 && r.id <= 9999; };
  EXPECT_TRUE(std::none_of(program.resources, program.resources + program.resourceCount, resourceInRange));
  EXPECT_TRUE(std::all_of(toolkit.resources, toolkit.resources + toolkit.resourceCount, resourceInRange));
  EXPECT_GT(toolkit.resourceCount, 0u);
}

TEST_F(CompiledModules, WithoutTheToolkitModuleItsTextsAreEmptyAndTheProgramsRemain)
{
  platform::ScopedResourceModuleAbsence absent(res::kToolkitModuleFileName);
  HINSTANCE toolkit = platform::LoadResourceModule(res::kToolkitModuleFileName);
  EXPECT_EQ(toolkit, nullptr);
  char buffer[64] = "#";
  EXPECT_EQ(LoadStringToolkitFirst(toolkit, 9330, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(platform::FindStringToolkitFirst(toolkit, 101), "\xCF\xF0\xEE\xE5\xEA\xF2");
}

}  // namespace
