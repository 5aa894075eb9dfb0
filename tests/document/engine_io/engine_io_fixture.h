// A document holding a real project (one active straight road), the shell's binaries folder, and short ways to
// reach and set the parts of the road the engine exchange reads.
#pragma once

#include "model/groups_of_dev.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/iproject.h"
#include "model/iroad.h"
#include "model/ipole.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/results.h"
#include "model/shell/shell_services.h"
#include "tests/model/fake_document.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

class ProjectDocument : public FakeDocument {
public:
  ProjectDocument() { CreateProject(this, &project); }
  ~ProjectDocument()
  {
    if (project)
      project->Release();
  }

  HRESULT QueryInterface(REFIID iid, void** out) override
  {
    *out = nullptr;
    if (iid == IID_IProject && project) {
      project->AddRef();
      *out = project;
      return S_OK;
    }
    return E_NOINTERFACE;
  }

  IProject* project = nullptr;
};

class BinFolderShell : public Shell::CShellServices {
public:
  CString GetBinFolder() override { return CString(folder.c_str()); }
  std::string folder = "C:\\Tesmira\\Bin\\";
};

// Held interfaces of the active road, released at the end of the test.
class EngineIoTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    Shell::SetShellServices(&shell);
    area = Get<IArea>(doc.project, IID_ActiveArea);
    road = Get<IRoad>(area, IID_IRoad);
    sidewalks = Get<IPavement>(area, IID_IPavement);
    walls = Get<IWall>(area, IID_IWall);
    groups = Get<IGroupsOfDev>(area, IID_IGroupsOfDev);
    results = Get<IResultsOfCalc>(area, IID_IResultsOfCalc);
  }
  void TearDown() override
  {
    for (IModelUnknown* held : heldInterfaces)
      held->Release();
    Shell::SetShellServices(nullptr);
  }

  template <class I>
  I* Get(IModelUnknown* object, const IID& iid)
  {
    void* out = nullptr;
    if (FAILED(object->QueryInterface(&iid, &out)))
      return nullptr;
    heldInterfaces.push_back(static_cast<I*>(out));
    return static_cast<I*>(out);
  }

  IGroupOfDev* FirstGroup() { return dynamic_cast<ObjectModel::CGroupsOfDev*>(groups)->GetFirstGroup(); }
  IGroupOfDev* AddGroup()
  {
    IGroupOfDev* group = groups->CreateGroup();
    dynamic_cast<ObjectModel::CGroupsOfDev*>(groups)->AppendGroup(group);
    return group;
  }
  IPole* PoleOf(IGroupOfDev* group) { return Get<IPole>(group, IID_IPole); }
  _CALC_RESULTS& Results() { return *results->GetData(); }

  void SetLanes(int laneType, UINT count) { road->SetLaneCount(&laneType, &count); }
  void SetLaneWidth(int laneType, double width) { road->SetLaneWidth(&laneType, &width); }
  void SetState(ILineOfRoad* strip, int state) { strip->SetState(&state); }

  // A luminaire record with a table of planes (rows) by gamma angles (columns), values in cd/klm.
  static void SetLuminaire(CLightDevice& d, const char* textA, double flux, int count, std::uint32_t word,
                           const std::vector<double>& gammas, const std::vector<double>& planes,
                           const std::vector<std::vector<double>>& values)
  {
    d.textA = textA;
    d.lampFlux = flux;
    d.lampCount = count;
    d.symmetryWord = word;
    _LINKED_TABLE* t = d.table.get();
    LinkedTableResize(t, static_cast<int>(planes.size()) + 1, static_cast<int>(gammas.size()) + 1);
    for (std::size_t j = 0; j < gammas.size(); ++j)
      LinkedTableFind(t, static_cast<int>(j) + 2, 1)->value = gammas[j];
    for (std::size_t i = 0; i < planes.size(); ++i) {
      LinkedTableFind(t, 1, static_cast<int>(i) + 2)->value = planes[i];
      for (std::size_t j = 0; j < gammas.size(); ++j)
        LinkedTableFind(t, static_cast<int>(j) + 2, static_cast<int>(i) + 2)->value = values[i][j];
    }
  }

  ProjectDocument doc;
  BinFolderShell shell;
  std::vector<IModelUnknown*> heldInterfaces;
  IArea* area = nullptr;
  IRoad* road = nullptr;
  IPavement* sidewalks = nullptr;
  IWall* walls = nullptr;
  IGroupsOfDev* groups = nullptr;
  IResultsOfCalc* results = nullptr;
};

inline std::string ReadFileText(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::filesystem::path TestFilePath(const std::string& name)
{
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::filesystem::temp_directory_path() /
         (std::string("engineio-") + info->test_suite_name() + "-" + info->name() + "-" + name);
}
