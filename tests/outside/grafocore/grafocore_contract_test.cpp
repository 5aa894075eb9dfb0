// The library's exports as the program binds them: all seventeen by name through the module table, each
// answering as a library without drawings, and a test able to leave any of them out.
#include "outside/grafocore/grafocore.h"
#include "platform/base/module.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(GrafoCoreContract, EveryExportLoadsByNameAndALeftOutOneIsMissingAlone)
{
  int count = 0;
  const char* const* names = grafocore::ExportNames(&count);
  ASSERT_EQ(count, 17);
  const std::set<std::string> contract = {
      "Draw",          "SetWindow",          "SetViewMode", "OnWindowSize", "ApplyView",    "SetCurrentProject",
      "DeleteObjects", "Serialize",          "CloneProject", "GetProjectFilePath", "ExportData", "ObjectSnap",
      "DeleteProject", "OpenDXFFile",        "GetProjectDimentions", "GetProjectPosition", "OpenLayersManager"};
  EXPECT_EQ(std::set<std::string>(names, names + count), contract);

  for (int absent = -1; absent < count; ++absent) {
    SCOPED_TRACE(absent < 0 ? "none left out" : names[absent]);
    if (absent < 0)
      grafocore::RegisterLibrary();
    else
      grafocore::RegisterLibrary({names[absent]});
    HMODULE library = LoadLibrary("C:\\Program Files\\Tesmira\\Bin\\GrafoCore.dll");
    ASSERT_NE(library, nullptr);
    for (int i = 0; i < count; ++i)
      EXPECT_EQ(GetProcAddress(library, names[i]) == nullptr, i == absent) << names[i];
    FreeLibrary(library);
  }
  platform::UnregisterModule(grafocore::kModuleName);
}

TEST(GrafoCoreContract, WithoutDrawingsNothingSnapsCopiesOrHasAFile)
{
  grafocore::Draw();
  grafocore::SetWindow(nullptr);
  grafocore::SetViewMode(0x1);
  grafocore::OnWindowSize(0, 0, 0);
  double eye[3] = {1, 2, 3};
  double farPlane = 100;
  grafocore::ApplyView(&eye[0], &eye[1], &eye[2], &farPlane);
  EXPECT_EQ(farPlane, 100);
  grafocore::SetCurrentProject(0x1001);
  grafocore::OpenLayersManager();
  grafocore::ExportData("/nonexistent/out.dxf", nullptr, 0x3F, 0);

  int id = 0x1001;
  grafocore::CloneProject(&id);
  EXPECT_EQ(id, 0);
  grafocore::CloneProject(nullptr);
  EXPECT_STREQ(grafocore::GetProjectFilePath(0x1001), "");

  double point[3] = {4, 5, 6};
  EXPECT_EQ(grafocore::ObjectSnap(1, 10, 20, &point[0], &point[1], &point[2]), 0);
  EXPECT_EQ(point[0] + point[1] + point[2], 15);
}

}  // namespace
