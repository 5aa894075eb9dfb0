// The catalogue manager against a loopback server: a document whose luminaire database is a list in memory
// (a catalogue file is "QORD <id> <date> <trademark>"), a shell that records message boxes and answers them from
// a script, a temporary folder of the test's own, and a message pump that waits for the worker threads.
#pragma once

#include "catalogues/manager/dlg_management_plugins.h"
#include "model/shell/shell_services.h"
#include "platform/base/paths.h"
#include "platform/net/internet.h"
#include "platform/user/messages.h"
#include "res/modules.h"
#include "res/program_ids.h"
#include "tests/model/fake_document.h"
#include "tests/platform/net/loopback_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace cataloguetest {

struct Catalogue {
  std::string id;
  int date = 0;
  std::string trademark;
  std::vector<std::uint8_t> picture;
};

class CatalogueDocument : public FakeDocument {
public:
  std::vector<Catalogue> installed;
  std::vector<std::string> installedFiles;  // what each accepted install read
  std::vector<std::string> refusedFiles;
  std::vector<std::string> unloaded;

  int GetCatalogCount() override { return static_cast<int>(installed.size()); }
  _CATALOG_INFO* GetCatalogInfo(int index) override
  {
    if (index < 0 || index >= GetCatalogCount())
      return nullptr;
    const Catalogue& c = installed[static_cast<std::size_t>(index)];
    m_info = _CATALOG_INFO{};
    std::strncpy(m_info.id, c.id.c_str(), sizeof m_info.id - 1);
    std::strncpy(m_info.manufacturer, c.trademark.c_str(), sizeof m_info.manufacturer - 1);
    std::strncpy(m_info.text3, c.trademark.c_str(), sizeof m_info.text3 - 1);
    m_info.date = c.date;
    m_info.picture = c.picture.empty() ? nullptr : c.picture.data();
    m_info.pictureBytes = c.picture.size();
    return &m_info;
  }
  BOOL InstallCatalog(CWnd*, const char* file, BOOL) override
  {
    if (!file)
      return FALSE;
    std::ifstream in(platform::ToFileSystemPath(file), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::istringstream words(text.str());
    std::string magic;
    Catalogue c;
    if (!(words >> magic >> c.id >> c.date) || magic != "QORD") {
      refusedFiles.push_back(text.str());
      return FALSE;
    }
    std::getline(words >> std::ws, c.trademark);
    installedFiles.push_back(text.str());
    for (Catalogue& old : installed) {
      if (old.id == c.id) {
        old = c;
        return TRUE;
      }
    }
    installed.push_back(c);
    return TRUE;
  }
  BOOL UnloadCatalog(int, const char* id, int) override
  {
    unloaded.emplace_back(id);
    const auto before = installed.size();
    std::erase_if(installed, [&](const Catalogue& c) { return c.id == id; });
    return installed.size() != before;
  }

private:
  _CATALOG_INFO m_info{};
};

class RecordingShell : public Shell::CShellServices {
public:
  std::vector<std::string> boxes;
  std::deque<int> answers;  // for questions; IDNO when none is left
  std::map<std::string, std::string> profile;
  std::string pluginsFolder;
  std::vector<std::string> events;
  HMODULE analytics = nullptr;

  int ShowMessageBox(HWND, LPCSTR text, LPCSTR, UINT type) override
  {
    boxes.emplace_back(text);
    if ((type & 0xF) != MB_YESNO)
      return IDOK;
    if (answers.empty())
      return IDNO;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue) override
  {
    auto it = profile.find(std::string(section) + "\\" + entry);
    return it != profile.end() ? CString(it->second.c_str()) : CString(defaultValue);
  }
  CString GetPluginsFolder() override { return pluginsFolder.c_str(); }
  HMODULE GetAnalyticsModule() override { return analytics; }
  int RegisterAnalyticsEvent(LPCSTR category, LPCSTR action, LPCSTR label, int value, int flag) override
  {
    events.push_back(std::string(category) + "|" + action + "|" + label + "|" + std::to_string(value) + "|" +
                     std::to_string(flag));
    return 0;
  }
};

// Handles this thread's messages until `done` or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessage(&message);
    }
    if (done())
      return true;
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

inline std::string CatalogueFile(const std::string& id, int date, const std::string& trademark)
{
  return "QORD " + id + " " + std::to_string(date) + " " + trademark + "\n" + std::string(3000, '#');
}

// A 24-bit BMP of one colour, written by hand: file header, info header, rows padded to 4 bytes.
inline std::string SolidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
  const int stride = (width * 3 + 3) & ~3;
  std::string bytes = "BM";
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<char>(v >> (8 * i)));
  };
  auto put16 = [&](std::uint16_t v) {
    bytes.push_back(static_cast<char>(v));
    bytes.push_back(static_cast<char>(v >> 8));
  };
  put32(static_cast<std::uint32_t>(54 + stride * height));
  put32(0);
  put32(54);
  put32(40);
  put32(static_cast<std::uint32_t>(width));
  put32(static_cast<std::uint32_t>(height));
  put16(1);
  put16(24);
  for (int i = 0; i < 6; ++i)
    put32(0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // a lighter frame, so the picture's edge shows
      const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      bytes.push_back(static_cast<char>(edge ? 255 : b));
      bytes.push_back(static_cast<char>(edge ? 255 : g));
      bytes.push_back(static_cast<char>(edge ? 255 : r));
    }
    bytes.append(static_cast<std::size_t>(stride - width * 3), '\0');
  }
  return bytes;
}

class ManagerTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    res::RegisterModules();
    namespace fs = std::filesystem;
    m_folder = fs::temp_directory_path() /
               ("catalogue-manager-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_folder);
    fs::create_directories(m_folder / "tmp");
    fs::create_directories(m_folder / "plugins");
    m_oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    ::setenv("TMPDIR", (m_folder / "tmp").c_str(), 1);
    shell.pluginsFolder = platform::FromFileSystemPath((m_folder / "plugins").string() + "/");
    shell.profile["Network\\CatalogueIndex"] = server.Url("/plug-ins/QorR/plugins.xml");
    shell.profile["Network\\CatalogueFolder"] = server.Url("/plug-ins/QorR/");
    Shell::SetShellServices(&shell);
    net::SetConnectTimeout(2000);
    ManagementPlugins::ResetUpdateQuestionForNewRun();
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                               1000, 700, nullptr, nullptr));
  }
  void TearDown() override
  {
    CloseDialog();
    owner.DestroyWindow();
    Shell::SetShellServices(nullptr);
    if (m_oldTmp.empty())
      ::unsetenv("TMPDIR");
    else
      ::setenv("TMPDIR", m_oldTmp.c_str(), 1);
    std::filesystem::remove_all(m_folder);
  }

  ManagementPlugins::CDlgManagementPlugins& Open()
  {
    dialog = std::make_unique<ManagementPlugins::CDlgManagementPlugins>(&owner, &document);
    EXPECT_TRUE(dialog->Create(res::program::IDD_CATALOGUE_MANAGER, &owner));
    dialog->SetWindowPos(nullptr, 0, 0, 820, 480, SWP_NOMOVE | SWP_NOZORDER);
    dialog->ShowWindow(SW_SHOW);
    return *dialog;
  }
  void CloseDialog()
  {
    if (dialog && dialog->GetSafeHwnd()) {
      dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
      if (dialog->GetSafeHwnd())
        dialog->DestroyWindow();
    }
    dialog.reset();
  }
  bool IndexRead()
  {
    return PumpUntil([] { return !ManagementPlugins::IsIndexThreadRunning(); });
  }
  bool DownloadsDone()
  {
    return PumpUntil([] { return !ManagementPlugins::IsDownloadThreadRunning(); });
  }
  std::string Status() const
  {
    CString text;
    dialog->GetDlgItemText(res::program::IDC_CATALOGUE_STATUS, text);
    return static_cast<const char*>(text);
  }
  bool Enabled(UINT id) const { return dialog->GetDlgItem(static_cast<int>(id))->IsWindowEnabled() != FALSE; }
  std::vector<std::string> Ids(ManagementPlugins::CDlgManagementPlugins::CListBoxManuf& list) const
  {
    std::vector<std::string> ids;
    for (int i = 0; i < list.GetCount(); ++i)
      ids.emplace_back(static_cast<const char*>(list.EntryOfItem(i)->m_id));
    return ids;
  }
  void Select(ManagementPlugins::CDlgManagementPlugins::CListBoxManuf& list, UINT id, int item)
  {
    list.SetCurSel(item);
    if (id == res::program::IDC_CATALOGUE_INSTALLED)
      dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, LBN_SETFOCUS), reinterpret_cast<LPARAM>(list.GetSafeHwnd()));
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list.GetSafeHwnd()));
    PumpUntil([] { return false; }, std::chrono::milliseconds(20));
  }
  void Click(UINT id) { dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  std::vector<std::string> TemporaryFiles() const
  {
    std::vector<std::string> names;
    for (const auto& f : std::filesystem::directory_iterator(m_folder / "tmp"))
      names.push_back(f.path().filename().string());
    return names;
  }
  std::filesystem::path PluginsFolder() const { return m_folder / "plugins"; }
  std::string TemporaryFolderName() const { return platform::FromFileSystemPath((m_folder / "tmp").string()); }

  testing_net::LoopbackServer server;
  RecordingShell shell;
  CatalogueDocument document;
  CWnd owner;
  std::unique_ptr<ManagementPlugins::CDlgManagementPlugins> dialog;

private:
  std::filesystem::path m_folder;
  std::string m_oldTmp;
};

}  // namespace cataloguetest
