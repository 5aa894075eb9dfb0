// The document's calls on the graphics library's projects (delete, open a DXF file, size and position of the
// drawing) go through the library the render core loaded; a library without the export is skipped with the
// contract's answer: the id unchanged, the size untouched, the position the document zeroed.
#include "platform/base/module.h"
#include "tests/graphics/core_fixture.h"

#include <functional>
#include <string>

namespace {

std::string g_lastCall;

int LibraryDeleteProject(int id)
{
  g_lastCall = "DeleteProject " + std::to_string(id);
  return 0;
}
int LibraryOpenDXFFile(const char* path, int* id)
{
  g_lastCall = std::string("OpenDXFFile ") + path;
  *id = 0x1005;
  return 1;
}
int LibraryGetProjectDimentions(double* x, double* y, double* z)
{
  g_lastCall = "GetProjectDimentions";
  *x = 40;
  *y = 30;
  *z = 2;
  return 1;
}
int LibraryGetProjectPosition(double* x, double* y, double* z)
{
  g_lastCall = "GetProjectPosition";
  *x = 100;
  *y = 200;
  *z = 3;
  return 1;
}

std::string Point(const double p[3])
{
  return std::to_string(static_cast<int>(p[0])) + " " + std::to_string(static_cast<int>(p[1])) + " " +
         std::to_string(static_cast<int>(p[2]));
}

struct LibraryCall {
  const char* name;
  std::function<std::string(IQorRoadDoc&)> call;
  const char* libraryCall;
  const char* answered;  // with the export
  const char* skipped;   // without it
};

const LibraryCall kCalls[] = {
    {"DeleteProject", [](IQorRoadDoc& d) { d.DeleteLibraryProject(0x1001); return std::string(); },
     "DeleteProject 4097", "", ""},
    {"OpenDXFFile",
     [](IQorRoadDoc& d) {
       int id = 0x1002;
       d.OpenDxfFile("plan.dxf", &id);
       return std::to_string(id);
     },
     "OpenDXFFile plan.dxf", "4101", "4098"},
    {"GetProjectDimentions",
     [](IQorRoadDoc& d) {
       double size[3] = {-1, -1, -1};
       return Point(d.GetLibraryProjectSize(size));
     },
     "GetProjectDimentions", "40 30 2", "-1 -1 -1"},
    {"GetProjectPosition",
     [](IQorRoadDoc& d) {
       double origin[3] = {-1, -1, -1};
       return Point(d.GetLibraryProjectPosition(origin));
     },
     "GetProjectPosition", "100 200 3", "0 0 0"},
    {"GetProjectPosition",
     [](IQorRoadDoc& d) {
       double point[3] = {150, 260, 5};
       d.ToLibraryCoords(point);
       return Point(point);
     },
     "GetProjectPosition", "50 60 2", "150 260 5"},
    {"DeleteProject",
     [](IQorRoadDoc& d) {
       d.ReleaseUnderlay(0x1003);  // no area uses it
       return std::string();
     },
     "DeleteProject 4099", "", ""},
};

class CoreLibraryProjects : public CoreTest {
protected:
  void TearDown() override
  {
    CoreTest::TearDown();
    platform::UnregisterModule("GrafoCore");
  }
};

TEST_F(CoreLibraryProjects, GoThroughTheLoadedLibraryAndAreSkippedWithoutTheExport)
{
  for (const char* missing : {"", "DeleteProject", "OpenDXFFile", "GetProjectDimentions", "GetProjectPosition"}) {
    SCOPED_TRACE(std::string("without ") + missing);
    platform::ModuleSymbols exports = {
        {"DeleteProject", reinterpret_cast<void*>(&LibraryDeleteProject)},
        {"OpenDXFFile", reinterpret_cast<void*>(&LibraryOpenDXFFile)},
        {"GetProjectDimentions", reinterpret_cast<void*>(&LibraryGetProjectDimentions)},
        {"GetProjectPosition", reinterpret_cast<void*>(&LibraryGetProjectPosition)},
    };
    exports.erase(missing);
    platform::RegisterModule("GrafoCore", exports);
    MakeDocument();
    ASSERT_TRUE(Core().IsLibraryLoaded());
    for (const LibraryCall& c : kCalls) {
      SCOPED_TRACE(c.name);
      g_lastCall = "nothing";
      const std::string result = c.call(*document);
      const bool present = std::string(c.name) != missing;
      EXPECT_EQ(g_lastCall, present ? c.libraryCall : "nothing");
      EXPECT_EQ(result, present ? c.answered : c.skipped);
    }
    document.reset();
    platform::UnregisterModule("GrafoCore");
  }
}

}  // namespace
