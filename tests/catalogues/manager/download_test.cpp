// DownloadFile on its own: progress, the length probe, fresh ids, and what is no download.
#include "catalogues/manager/download.h"
#include "catalogues/manager/plugin_messages.h"
#include "tests/catalogues/manager/manager_fixture.h"

namespace {

using namespace cataloguetest;
using testing_net::Route;

class ProgressWindow : public CWnd {
public:
  std::vector<WPARAM> steps;

protected:
  LRESULT OnProgress(WPARAM percent, LPARAM)
  {
    steps.push_back(percent);
    return 1;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProgressWindow, CWnd)
  ON_MESSAGE(ManagementPlugins::UM_PLUGINS_PROGRESS, &ProgressWindow::OnProgress)
END_MESSAGE_MAP()

class DownloadFileTest : public ManagerTest {
protected:
  void SetUp() override
  {
    ManagerTest::SetUp();
    ASSERT_TRUE(progress.CreateEx(0, AfxRegisterWndClass(0), "progress", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  }
  void TearDown() override
  {
    progress.DestroyWindow();
    ManagerTest::TearDown();
  }
  ProgressWindow progress;
};

TEST_F(DownloadFileTest, ProgressComesInStepsAboveTenPercentNeverAtTheEndAndIsReset)
{
  std::string body(10000, '\0');
  for (std::size_t i = 0; i < body.size(); ++i)
    body[i] = static_cast<char>(i * 7);
  server.Serve("/c.qord", body);
  char file[MAX_PATH] = {};
  ASSERT_EQ(ManagementPlugins::DownloadFile(server.Url("/c.qord").c_str(), file, progress.GetSafeHwnd()), 1);
  PumpUntil([] { return false; }, std::chrono::milliseconds(20));

  std::ifstream in(platform::ToFileSystemPath(file), std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, body);
  EXPECT_EQ(std::string(file).find(std::string(TemporaryFolderName())), 0u);
  ::unlink(platform::ToFileSystemPath(file).c_str());

  // 0 at the start; then each step more than 10 above the last, below 100; 0 at the end.
  ASSERT_GE(progress.steps.size(), 3u);
  EXPECT_EQ(progress.steps.front(), 0u);
  EXPECT_EQ(progress.steps.back(), 0u);
  WPARAM last = 0;
  for (std::size_t i = 1; i + 1 < progress.steps.size(); ++i) {
    EXPECT_GT(progress.steps[i], last + 10);
    EXPECT_LT(progress.steps[i], 100u);
    last = progress.steps[i];
  }
  EXPECT_GE(last, 80u);

  // The probe asks for the plain address, the transfer with a fresh id.
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], "/c.qord");
  EXPECT_EQ(requests[1].rfind("/c.qord?id={", 0), 0u);
  EXPECT_EQ(requests[1].size(), std::string("/c.qord?id=").size() + 38);
}

TEST_F(DownloadFileTest, WhatIsNoDownloadLeavesNoFile)
{
  server.Serve("/empty", Route{200, "", -1, -1, {}});
  server.Serve("/missing", Route{404, "<html/>", -1, -1, {}});
  server.Serve("/short", Route{200, "QORD", 400, -1, {}});
  server.Serve("/large", std::string(3000, 'L'));
  const std::string closed = "http://127.0.0.1:" + std::to_string(testing_net::ClosedLoopbackPort()) + "/x";
  struct Case {
    const char* what;
    std::string address;
    ULONGLONG cap;
  };
  const Case cases[] = {
      {"the probe reports length 0", server.Url("/empty"), ManagementPlugins::kMaxCatalogueBytes},
      {"an error page", server.Url("/missing"), ManagementPlugins::kMaxCatalogueBytes},
      {"a transfer that ends short", server.Url("/short"), ManagementPlugins::kMaxCatalogueBytes},
      {"more than the cap", server.Url("/large"), 1000},
      {"no connection", closed, ManagementPlugins::kMaxCatalogueBytes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    char file[MAX_PATH] = "untouched";
    progress.steps.clear();
    EXPECT_EQ(ManagementPlugins::DownloadFile(c.address.c_str(), file, progress.GetSafeHwnd(), c.cap), 0);
    PumpUntil([] { return false; }, std::chrono::milliseconds(10));
    EXPECT_TRUE(TemporaryFiles().empty());
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_EQ(progress.steps.back(), 0u);
  }
  char file[MAX_PATH] = {};
  EXPECT_EQ(ManagementPlugins::DownloadFile(nullptr, file, nullptr), 0);
  EXPECT_EQ(ManagementPlugins::DownloadFile(server.Url("/large").c_str(), nullptr, nullptr), 0);
}

}  // namespace

namespace {

TEST_F(DownloadFileTest, AddressesArePlaceholdersOnAReservedDomainUnlessTheProfileNamesOthers)
{
  shell.profile.clear();
  EXPECT_EQ(std::string(Shell::GetNetworkAddress(841)), "https://tesmira-road.example/plug-ins/QorR/plugins.xml");
  EXPECT_EQ(std::string(Shell::GetNetworkAddress(845)), "https://tesmira-road.example/plug-ins/QorR/");
  shell.profile["Network\\CatalogueIndex"] = "http://127.0.0.1:1/index.xml";
  shell.profile["Network\\CatalogueFolder"] = "http://127.0.0.1:1/catalogues/";
  EXPECT_EQ(std::string(Shell::GetNetworkAddress(841)), "http://127.0.0.1:1/index.xml");
  EXPECT_EQ(std::string(Shell::GetNetworkAddress(845)), "http://127.0.0.1:1/catalogues/");
}

}  // namespace
