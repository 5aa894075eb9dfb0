// The render core's link to the graphics library: every export reached by name with the caller's arguments
// and answer, and every call skipped, with the contract's answer, when the library lacks that export or is
// not there at all.
#include "graphics/core/graphics_dll_mediator.h"
#include "platform/base/module.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// What the fake library saw last: the export's name and its arguments as text.
std::string g_lastCall;

void FakeDraw() { g_lastCall = "Draw"; }
void FakeSetWindow(HWND view) { g_lastCall = "SetWindow " + std::to_string(reinterpret_cast<std::uintptr_t>(view)); }
void FakeSetViewMode(int type) { g_lastCall = "SetViewMode " + std::to_string(type); }
void FakeOnWindowSize(UINT type, int cx, int cy)
{
  g_lastCall = "OnWindowSize " + std::to_string(type) + " " + std::to_string(cx) + " " + std::to_string(cy);
}
void FakeApplyView(double* x, double* y, double* z, double* farPlane)
{
  g_lastCall = "ApplyView " + std::to_string(static_cast<int>(*x + *y + *z)) + " " +
               std::to_string(static_cast<int>(*farPlane));
}
void FakeSetCurrentProject(int id) { g_lastCall = "SetCurrentProject " + std::to_string(id); }
int FakeDeleteObjects()
{
  g_lastCall = "DeleteObjects";
  return 0;
}
int FakeSerialize(CArchive*, DWORD version)
{
  g_lastCall = "Serialize " + std::to_string(version);
  return 1;
}
void FakeCloneProject(int* id)
{
  g_lastCall = "CloneProject " + std::to_string(*id);
  *id = 0x1002;
}
const char* FakeGetProjectFilePath(int id)
{
  g_lastCall = "GetProjectFilePath " + std::to_string(id);
  return "/drawings/plan.dxf";
}
int FakeExportData(const char* path, void* list, int flags, int reserved)
{
  g_lastCall = std::string("ExportData ") + path + " " + (list ? "list" : "null") + " " + std::to_string(flags) +
               " " + std::to_string(reserved);
  return 1;
}
int FakeObjectSnap(int mouseFlags, int x, int y, double* wx, double* wy, double* wz)
{
  g_lastCall = "ObjectSnap " + std::to_string(mouseFlags) + " " + std::to_string(x) + " " + std::to_string(y);
  *wx = 1;
  *wy = 2;
  *wz = 3;
  return 1;
}
int FakeDeleteProject(int id)
{
  g_lastCall = "DeleteProject " + std::to_string(id);
  return 0;
}
int FakeOpenDXFFile(const char* path, int* id)
{
  g_lastCall = std::string("OpenDXFFile ") + path;
  *id = 0x1003;
  return 1;
}
int FakeGetProjectDimentions(double* x, double* y, double* z)
{
  g_lastCall = "GetProjectDimentions";
  *x = 40;
  *y = 30;
  *z = 0;
  return 1;
}
int FakeGetProjectPosition(double* x, double* y, double* z)
{
  g_lastCall = "GetProjectPosition";
  *x = 5;
  *y = 6;
  *z = 0;
  return 1;
}
void FakeOpenLayersManager() { g_lastCall = "OpenLayersManager"; }

platform::ModuleSymbols FakeLibrary(const std::string& without)
{
  platform::ModuleSymbols all = {
      {"Draw", reinterpret_cast<void*>(&FakeDraw)},
      {"SetWindow", reinterpret_cast<void*>(&FakeSetWindow)},
      {"SetViewMode", reinterpret_cast<void*>(&FakeSetViewMode)},
      {"OnWindowSize", reinterpret_cast<void*>(&FakeOnWindowSize)},
      {"ApplyView", reinterpret_cast<void*>(&FakeApplyView)},
      {"SetCurrentProject", reinterpret_cast<void*>(&FakeSetCurrentProject)},
      {"DeleteObjects", reinterpret_cast<void*>(&FakeDeleteObjects)},
      {"Serialize", reinterpret_cast<void*>(&FakeSerialize)},
      {"CloneProject", reinterpret_cast<void*>(&FakeCloneProject)},
      {"GetProjectFilePath", reinterpret_cast<void*>(&FakeGetProjectFilePath)},
      {"ExportData", reinterpret_cast<void*>(&FakeExportData)},
      {"ObjectSnap", reinterpret_cast<void*>(&FakeObjectSnap)},
      {"DeleteProject", reinterpret_cast<void*>(&FakeDeleteProject)},
      {"OpenDXFFile", reinterpret_cast<void*>(&FakeOpenDXFFile)},
      {"GetProjectDimentions", reinterpret_cast<void*>(&FakeGetProjectDimentions)},
      {"GetProjectPosition", reinterpret_cast<void*>(&FakeGetProjectPosition)},
      {"OpenLayersManager", reinterpret_cast<void*>(&FakeOpenLayersManager)},
  };
  all.erase(without);
  return all;
}

class Core : public CGraphicsDllMediator {
public:
  int BuildExportData(IArea*, nsExp::CExportList*, int) override { return 0; }
};

// One call through the link; `result` is what the caller got back, as text.
struct ExportCase {
  const char* name;
  std::function<std::string(Core&)> call;
  const char* libraryCall;  // what the library saw
  const char* answered;     // the caller's result with the export present
  const char* skipped;      // and without it
};

const ExportCase kCases[] = {
    {"Draw", [](Core& c) { c.Draw(); return std::string(); }, "Draw", "", ""},
    {"SetWindow", [](Core& c) { c.SetWindowHandle(reinterpret_cast<HWND>(0x40)); return std::string(); },
     "SetWindow 64", "", ""},
    {"SetViewMode", [](Core& c) { c.SetViewMode(0x202); return std::string(); }, "SetViewMode 514", "", ""},
    {"OnWindowSize", [](Core& c) { c.OnWindowSize(2, 640, 480); return std::string(); }, "OnWindowSize 2 640 480",
     "", ""},
    {"ApplyView",
     [](Core& c) {
       double x = 1, y = 2, z = 3, farPlane = 500;
       c.ApplyView(&x, &y, &z, &farPlane);
       return std::string();
     },
     "ApplyView 6 500", "", ""},
    {"SetCurrentProject", [](Core& c) { c.SetCurrentProject(0x1001); return std::string(); },
     "SetCurrentProject 4097", "", ""},
    {"DeleteObjects", [](Core& c) { c.DeleteObjects(); return std::string(); }, "DeleteObjects", "", ""},
    {"Serialize", [](Core& c) { return std::to_string(c.SerializeLibraryPart(nullptr, 0x04030000)); }, "Serialize 67305472",
     "1", "0"},
    {"CloneProject",
     [](Core& c) {
       int id = 0x1001;
       c.CloneProject(&id);
       return std::to_string(id);
     },
     "CloneProject 4097", "4098", "4097"},
    {"GetProjectFilePath", [](Core& c) { return std::string(c.GetProjectFilePath(0x1001)); },
     "GetProjectFilePath 4097", "/drawings/plan.dxf", ""},
    {"ExportData",
     [](Core& c) {
       c.ExportData("/tmp/out.dxf", reinterpret_cast<nsExp::CExportList*>(&c), 0x3F);
       return std::string();
     },
     "ExportData /tmp/out.dxf list 63 0", "", ""},
    {"ObjectSnap",
     [](Core& c) {
       double x = 9, y = 9, z = 9;
       const int snapped = c.ObjectSnap(1, 100, 200, &x, &y, &z);
       return std::to_string(snapped) + " " + std::to_string(static_cast<int>(x + y + z));
     },
     "ObjectSnap 1 100 200", "1 6", "0 27"},
    {"DeleteProject", [](Core& c) { c.DeleteProject(0x1001); return std::string(); }, "DeleteProject 4097", "", ""},
    {"OpenDXFFile",
     [](Core& c) {
       int id = 7;
       c.OpenDXFFile("plan.dxf", &id);
       return std::to_string(id);
     },
     "OpenDXFFile plan.dxf", "4099", "7"},
    {"GetProjectDimentions",
     [](Core& c) {
       double x = 0, y = 0, z = 0;
       c.GetProjectDimentions(&x, &y, &z);
       return std::to_string(static_cast<int>(x + y + z));
     },
     "GetProjectDimentions", "70", "0"},
    {"GetProjectPosition",
     [](Core& c) {
       double x = 0, y = 0, z = 0;
       c.GetProjectPosition(&x, &y, &z);
       return std::to_string(static_cast<int>(x + y + z));
     },
     "GetProjectPosition", "11", "0"},
    {"OpenLayersManager", [](Core& c) { c.OpenLayersManager(); return std::string(); }, "OpenLayersManager", "", ""},
};

class LibraryContract : public ::testing::Test {
protected:
  void TearDown() override { platform::UnregisterModule("GrafoCore"); }
};

TEST_F(LibraryContract, EachExportIsCalledWithTheCallersArgumentsAndSkippedWhenMissing)
{
  for (const ExportCase& missing : kCases) {
    SCOPED_TRACE(std::string("without ") + missing.name);
    platform::RegisterModule("GrafoCore", FakeLibrary(missing.name));
    Core core;
    ASSERT_TRUE(core.IsLibraryLoaded());
    for (const ExportCase& c : kCases) {
      SCOPED_TRACE(c.name);
      g_lastCall = "nothing";
      const std::string result = c.call(core);
      const bool present = &c != &missing;
      EXPECT_EQ(g_lastCall, present ? c.libraryCall : "nothing");
      EXPECT_EQ(result, present ? c.answered : c.skipped);
    }
  }
}

TEST_F(LibraryContract, WithoutTheLibraryEveryCallIsSkipped)
{
  platform::UnregisterModule("GrafoCore");
  Core core;
  EXPECT_FALSE(core.IsLibraryLoaded());
  for (const ExportCase& c : kCases) {
    SCOPED_TRACE(c.name);
    g_lastCall = "nothing";
    EXPECT_EQ(c.call(core), c.skipped);
    EXPECT_EQ(g_lastCall, "nothing");
  }
  core.SetWindow(nullptr);
}

TEST_F(LibraryContract, TheLibraryIsReleasedWithTheCore)
{
  platform::RegisterModule("GrafoCore", FakeLibrary(""));
  {
    Core core;
    EXPECT_NE(GetModuleHandle("GrafoCore"), nullptr);
  }
  EXPECT_EQ(GetModuleHandle("GrafoCore"), nullptr);
}

}  // namespace
