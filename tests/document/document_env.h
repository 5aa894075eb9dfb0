// What a document needs around it in a test: the outside servers registered, a per-user data folder holding
// the starter luminaire catalogue, a shell that records what it is told, a counting trace log, and scripted
// answers to message boxes.
#pragma once

#include "document/qor_road_doc.h"
#include "document/trace_log.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/ivisualopt.h"
#include "model/shell/shell_services.h"
#include "outside/servers/registration.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/com/combase.h"
#include "platform/mfc/fileprompt.h"
#include "platform/mfc/winapp.h"
#include "res/modules.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

class RecordingShell : public Shell::CShellServices {
public:
  std::string dataFolder;
  std::vector<std::string> messages;
  std::vector<UINT> mainWindowMessages;
  std::map<std::string, std::string> profile;

  int ShowMessageBox(HWND, LPCSTR text, LPCSTR, UINT) override
  {
    messages.emplace_back(text);
    return Shell::IDOK;
  }
  LRESULT SendToMainWindow(UINT message, WPARAM, LPARAM) override
  {
    mainWindowMessages.push_back(message);
    return 0;
  }
  CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue) override
  {
    auto it = profile.find(std::string(section) + "\\" + entry);
    return it != profile.end() ? CString(it->second.c_str()) : CString(defaultValue);
  }
  UINT GetProfileInt(LPCSTR, LPCSTR, int defaultValue) override { return static_cast<UINT>(defaultValue); }
  BOOL WriteProfileInt(LPCSTR, LPCSTR, int) override { return TRUE; }
  CString GetAppDataBinFolder() override { return dataFolder.c_str(); }
  CString GetPluginsFolder() override { return (dataFolder + "plugins/").c_str(); }
};

// The transparency component as the shell would register it: remembers the last alpha it was told.
class FakeTransparency final : public ITransparencySetting {
public:
  static inline int alpha = -1;
  static void Register()
  {
    platform::RegisterComClass(CLSID_TransparencySetting, [](REFIID iid, void** out) -> HRESULT {
      if (iid != IID_ITransparencySetting)
        return E_NOINTERFACE;
      *out = static_cast<ITransparencySetting*>(new FakeTransparency);
      return S_OK;
    });
  }
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override
  {
    delete this;
    return 0;
  }
  HRESULT Reserved3() override { return E_NOTIMPL; }
  HRESULT Reserved4() override { return E_NOTIMPL; }
  HRESULT Reserved5() override { return E_NOTIMPL; }
  HRESULT Reserved6() override { return E_NOTIMPL; }
  HRESULT SetAlpha(int value) override
  {
    alpha = value;
    return S_OK;
  }
};

// A data folder of its own for each test process; with the catalogue unless asked otherwise.
inline std::string MakeDataFolder(bool withCatalogue)
{
  std::string folder = ::testing::TempDir() + "tesmira-doc-" + std::to_string(::getpid()) +
                       (withCatalogue ? "-data/" : "-empty/");
  std::filesystem::create_directories(folder);
  if (withCatalogue && !std::filesystem::exists(folder + "QorRoad.qord"))
    qorsrv::BuildStarterCatalogue(folder + "QorRoad.qord",
                                  TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
  return folder;
}

class DocumentTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    shell.dataFolder = MakeDataFolder(true);
    Shell::SetShellServices(&shell);
    LoggerObjs::InstallLogger(nullptr);
  }
  void TearDown() override
  {
    doc.reset();
    Shell::SetShellServices(nullptr);
  }

  // The document as the program starts it: made, then its first new project.
  CQorRoadDoc& Start()
  {
    doc = std::make_unique<CQorRoadDoc>();
    EXPECT_TRUE(doc->OnNewDocument());
    return *doc;
  }

  std::string ProjectName() { return static_cast<LPCSTR>(*doc->GetCurrentProject()->GetName()); }
  // New projects are numbered by one counter for the whole process, so a test counts from the number its
  // first project got, whatever ran before it.
  long ProjectNumber()
  {
    const std::string name = ProjectName();
    const std::string prefix = "Проект - ";
    EXPECT_EQ(name.rfind(prefix, 0), 0u) << name;
    return name.rfind(prefix, 0) == 0 ? std::stol(name.substr(prefix.size())) : -1;
  }
  static std::string NumberedName(long number) { return "Проект - " + std::to_string(number); }

  std::string TempPath(const std::string& name)
  {
    std::string folder = shell.dataFolder + "files/";
    std::filesystem::create_directories(folder);
    return folder + name;
  }

  CWinApp app{"Tesmira Road"};
  RecordingShell shell;
  user::ScriptedResponder answers;
  platform::mfc::ScriptedFileNames fileNames;
  std::unique_ptr<CQorRoadDoc> doc;
};

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
