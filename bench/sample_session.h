// A sample project open in its document and the host view, with the program's services the benches need around
// it (resources, the outside servers, a data folder with the starter catalogue, the primitives' surfaces and the
// full render core), taken down in the reverse order.
#pragma once

#include "document/qor_road_doc.h"
#include "geometry/mesh/calc_surface.h"
#include "graphics/core/graphic_core_full.h"
#include "model/primitive_services.h"
#include "model/shell/shell_services.h"
#include "outside/servers/registration.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/mfc/winapp.h"
#include "res/modules.h"
#include "tests/graphics/view_host.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

class BenchSampleSession {
public:
  // `folder` names the bench's data folder under the temporary directory.
  explicit BenchSampleSession(const char* folder) : m_app("Tesmira Road")
  {
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    m_shell.folder = (std::filesystem::temp_directory_path() / folder).string() + "/";
    std::filesystem::create_directories(m_shell.folder);
    // A new project takes its luminaire from the catalogue in the data folder.
    if (!std::filesystem::exists(m_shell.folder + "QorRoad.qord"))
      qorsrv::BuildStarterCatalogue(m_shell.folder + "QorRoad.qord",
                                    TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
    Shell::SetShellServices(&m_shell);
    ObjectModel::SetPrimitiveServices(&m_surfaces);
    InstallGraphicCore();
  }
  ~BenchSampleSession()
  {
    document.reset();
    view.reset();
    ObjectModel::SetPrimitiveServices(nullptr);
    SetGraphicCoreFactory(nullptr);
    Shell::SetShellServices(nullptr);
  }
  BenchSampleSession(const BenchSampleSession&) = delete;
  BenchSampleSession& operator=(const BenchSampleSession&) = delete;

  // The sample opened into a view of width x height; false, said on stderr, when it is missing or cannot be opened.
  bool Open(const std::string& sample, int width, int height)
  {
    if (!std::filesystem::exists(sample)) {
      std::fprintf(stderr, "no sample project at %s (the tests make it: run make test)\n", sample.c_str());
      return false;
    }
    document = std::make_unique<CQorRoadDoc>();
    view = std::make_unique<CTestHostView>(document->GetGraphicCore());
    if (!document->OnNewDocument() || !view->CreateHost(width, height) || !document->OnOpenDocument(sample.c_str())) {
      std::fprintf(stderr, "the sample could not be opened in the view\n");
      return false;
    }
    core = dynamic_cast<CGraphicCoreFull*>(document->GetGraphicCore());
    return core != nullptr;
  }

  std::unique_ptr<CQorRoadDoc> document;
  std::unique_ptr<CTestHostView> view;
  CGraphicCoreFull* core = nullptr;

private:
  class BenchShell : public Shell::CShellServices {
  public:
    CString GetAppDataBinFolder() override { return folder.c_str(); }
    std::string folder;
  };
  CWinApp m_app;
  BenchShell m_shell;
  CGeometryPrimitiveServices m_surfaces;
};
