// A document whose render core is the full one, with what a document needs around it, and the view that the
// core draws in when a test makes one. The shell records what the core sends to the main window and answers
// the profile's OpenGL bit counts from the test's table.
#pragma once

#include "geometry/mesh/calc_surface.h"
#include "graphics/core/graphic_core_full.h"
#include "model/primitive_services.h"
#include "tests/document/document_env.h"
#include "tests/graphics/view_host.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class GraphicsShell : public RecordingShell {
public:
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) override
  {
    auto it = ints.find(std::string(section) + "\\" + entry);
    return static_cast<UINT>(it != ints.end() ? it->second : defaultValue);
  }
  LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM) override
  {
    sent.emplace_back(message, wParam);
    return 0;
  }

  HWND GetMainWindow() override { return mainWindow; }

  std::map<std::string, int> ints;
  std::vector<std::pair<UINT, WPARAM>> sent;
  HWND mainWindow = nullptr;
};

class CoreTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    shell.dataFolder = MakeDataFolder(true);
    Shell::SetShellServices(&shell);
    LoggerObjs::InstallLogger(nullptr);
    // The interchange's polygons keep geometry's calculation surfaces, which the core draws.
    ObjectModel::SetPrimitiveServices(&surfaces);
    InstallGraphicCore();
  }
  void TearDown() override
  {
    // The core lets its context go while the view's window still stands.
    document.reset();
    view.reset();
    SetGraphicCoreFactory(nullptr);
    ObjectModel::SetPrimitiveServices(nullptr);
    Shell::SetShellServices(nullptr);
    LoggerObjs::InstallLogger(nullptr);
  }

  // A new project, or the project of a file.
  void MakeDocument(const std::string& path = {})
  {
    document = std::make_unique<CQorRoadDoc>();
    ASSERT_TRUE(document->OnNewDocument());
    if (!path.empty()) {
      ASSERT_TRUE(document->OnOpenDocument(path.c_str()));
    }
  }
  void MakeView(int width, int height)
  {
    view = std::make_unique<CTestHostView>(document->GetGraphicCore());
    ASSERT_TRUE(view->CreateHost(width, height));
  }
  CGraphicCoreFull& Core() { return *dynamic_cast<CGraphicCoreFull*>(document->GetGraphicCore()); }

  IArea* ActiveArea()
  {
    void* area = nullptr;
    EXPECT_TRUE(SUCCEEDED(document->QueryInterface(IID_ActiveArea, &area)));
    if (area)
      static_cast<IArea*>(area)->Release();  // the project keeps it
    return static_cast<IArea*>(area);
  }

  CWinApp app{"Tesmira Road"};
  GraphicsShell shell;
  user::ScriptedResponder answers;
  CGeometryPrimitiveServices surfaces;
  std::unique_ptr<CQorRoadDoc> document;
  std::unique_ptr<CTestHostView> view;
};
