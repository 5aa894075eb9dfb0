// The catalogue manager end to end against a loopback server: the index with an update, an unlicensed and a
// hostile entry; download and install; removal; offline; a broken index; closing during a stalled download.
#include "catalogues/manager/plugin_messages.h"
#include "platform/gdi/png.h"
#include "platform/user/paint.h"
#include "tests/catalogues/manager/manager_fixture.h"
#include "tests/model/fake_analytics.h"

#include <algorithm>
#include <regex>

namespace {

using namespace cataloguetest;
using ManagementPlugins::CDlgManagementPlugins;
using testing_net::Route;
using namespace res::program;

const char* kIndex = "/plug-ins/QorR/plugins.xml";

std::string IndexOf(const std::string& catalogues)
{
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<plugins>\n<organizations>\n" + catalogues +
         "</organizations>\n</plugins>\n";
}

// "Светлый путь" in UTF-8, as the index is written.
const std::string kSvetlyUtf8 = "\xD0\xA1\xD0\xB2\xD0\xB5\xD1\x82\xD0\xBB\xD1\x8B\xD0\xB9 \xD0\xBF\xD1\x83\xD1\x82\xD1\x8C";

// "Без картинки".
const std::string kWithoutPictureUtf8 =
    "\xD0\x91\xD0\xB5\xD0\xB7 \xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB8\xD0\xBD\xD0\xBA\xD0\xB8";

class CatalogueManagerTest : public ManagerTest {
protected:
  void ServeTheMakersIndex()
  {
    document.installed = {{"1", 20200101, "Встроенный каталог", {}},
                          {"2", 20200101, "Второй встроенный", {}},
                          {"100000001", 20230101, "Фонарь и К", {}}};
    const std::string picture = SolidBmp(40, 40, 30, 90, 200);
    document.installed[2].picture.assign(picture.begin(), picture.end());
    server.Serve(kIndex,
                 IndexOf("<org><id>100000001</id><name>Lantern</name><date>20240101</date></org>\n"
                         "<org><id>100000003</id><name>Licensed</name><license_type>3</license_type></org>\n"
                         "<org><id>../../evil</id><name>Hostile</name></org>\n"
                         "<org><id>100000004</id><name>" + kSvetlyUtf8 + "</name><trademark>" + kSvetlyUtf8 +
                         "</trademark><date>20240301</date><icon>" + server.Url("/pictures/svet.bmp") +
                         "</icon></org>\n"
                         "<org><id>100000005</id><name>" + kWithoutPictureUtf8 + "</name><icon>file:///etc/passwd</icon></org>\n"));
    server.Serve("/pictures/svet.bmp", SolidBmp(48, 40, 250, 190, 20));
  }
};

TEST_F(CatalogueManagerTest, TheIndexOffersOnlyWhatMayBeInstalledAndMarksTheUpdate)
{
  ServeTheMakersIndex();
  shell.answers = {IDNO};
  Open();
  ASSERT_TRUE(IndexRead());
  PumpUntil([] { return false; }, std::chrono::milliseconds(50));

  // One built-in catalogue is listed; the installed one with an older date is ticked for update.
  EXPECT_EQ(Ids(dialog->m_installed), (std::vector<std::string>{"1", "100000001"}));
  EXPECT_EQ(Ids(dialog->m_offered), (std::vector<std::string>{"100000004", "100000005"}));
  ManagementPlugins::CManufactInfo* lantern = dialog->m_installed.EntryOfItem(1);
  EXPECT_EQ(lantern->m_updateAvailable, 1);
  EXPECT_EQ(lantern->m_updateChosen, 1);
  EXPECT_EQ(lantern->m_pictureWidth, 40);
  ManagementPlugins::CManufactInfo* svet = dialog->m_offered.EntryOfItem(0);
  EXPECT_EQ(std::string(svet->m_trademark), "Светлый путь");
  EXPECT_NE(svet->m_picture, nullptr);
  EXPECT_EQ(dialog->m_offered.EntryOfItem(1)->m_picture, nullptr);  // a file address is never fetched
  EXPECT_EQ(std::string(dialog->m_offered.EntryOfItem(1)->m_trademark), "Без картинки");
  EXPECT_TRUE(Enabled(IDC_CATALOGUE_UPDATE));
  EXPECT_EQ(Status(), "");

  // The question came once; No leaves the updates to the user.
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_EQ(shell.boxes[0], "На сайте программы доступны обновления для каталогов.\n\nЗагрузить?");

  // Every request carries a fresh id; the length probes ask for the plain address.
  const std::regex query(R"(\?id=\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$)");
  std::vector<std::string> ids;
  int plain = 0;
  for (const std::string& request : server.Requests()) {
    std::smatch m;
    if (std::regex_search(request, m, query))
      ids.push_back(m.str());
    else
      ++plain;
    EXPECT_EQ(request.find("evil"), std::string::npos);
  }
  EXPECT_EQ(plain, 2);  // the index and the picture
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_NE(ids[0], ids[1]);

  Select(dialog->m_offered, IDC_CATALOGUE_OFFERED, 0);
  dialog->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  const gdi::Surface* pixels = user::WindowSurface(dialog->m_hWnd);
  ASSERT_NE(pixels, nullptr);
  EXPECT_TRUE(gdi::SavePng(*pixels, std::string(TESMIRA_ARTIFACTS_DIR) + "/catalogue-manager.png"));

  // Opened again in the same run: no second question.
  CloseDialog();
  Open();
  ASSERT_TRUE(IndexRead());
  PumpUntil([] { return false; }, std::chrono::milliseconds(50));
  EXPECT_EQ(shell.boxes.size(), 1u);
}

TEST_F(CatalogueManagerTest, OpeningIsRecordedAsTheManagersAnalyticsScreen)
{
  testing_support::FakeAnalytics analytics;
  shell.analytics = analytics.Module();
  ServeTheMakersIndex();
  Open();
  ASSERT_TRUE(IndexRead());
  EXPECT_EQ(analytics.Take(), std::vector<std::string>{"Управление каталогами/1"});
  CloseDialog();
  shell.analytics = nullptr;
}

TEST_F(CatalogueManagerTest, AnOfferedCatalogueIsDownloadedWholeAndInstalled)
{
  ServeTheMakersIndex();
  const std::string file = CatalogueFile("100000004", 20240301, "Светлый путь");
  server.Serve("/plug-ins/QorR/100000004.qord", file);
  Open();
  ASSERT_TRUE(IndexRead());
  Select(dialog->m_offered, IDC_CATALOGUE_OFFERED, 0);
  EXPECT_TRUE(Enabled(IDC_CATALOGUE_ADD));
  EXPECT_FALSE(Enabled(IDC_CATALOGUE_REMOVE));
  Click(IDC_CATALOGUE_ADD);
  ASSERT_TRUE(DownloadsDone());
  ASSERT_TRUE(IndexRead());

  ASSERT_EQ(document.installedFiles, std::vector<std::string>{file});
  // Installed now, so no longer offered; the downloaded file is gone.
  EXPECT_EQ(Ids(dialog->m_installed), (std::vector<std::string>{"1", "100000001", "100000004"}));
  EXPECT_EQ(Ids(dialog->m_offered), std::vector<std::string>{"100000005"});
  EXPECT_TRUE(TemporaryFiles().empty());
  EXPECT_EQ(Status(), "");
  EXPECT_TRUE(Enabled(IDC_CATALOGUE_FROM_FILE));
}

TEST_F(CatalogueManagerTest, UpdatesDownloadEveryTickedCatalogue)
{
  ServeTheMakersIndex();
  const std::string newer = CatalogueFile("100000001", 20240101, "Фонарь и К");
  server.Serve("/plug-ins/QorR/100000001.qord", newer);
  shell.answers = {IDYES};  // download the updates
  Open();
  ASSERT_TRUE(IndexRead());
  ASSERT_TRUE(PumpUntil([&] { return !document.installedFiles.empty(); }));
  ASSERT_TRUE(DownloadsDone());
  EXPECT_EQ(document.installedFiles, std::vector<std::string>{newer});
  ASSERT_TRUE(IndexRead());
  EXPECT_EQ(dialog->m_installed.EntryOfItem(1)->m_updateAvailable, 0);

  // Opened again with the old catalogue: no second question; the space bar unticks the update.
  CloseDialog();
  document.installed[2].date = 20230101;
  Open();
  ASSERT_TRUE(IndexRead());
  PumpUntil([] { return false; }, std::chrono::milliseconds(20));
  EXPECT_EQ(shell.boxes.size(), 1u);
  Select(dialog->m_installed, IDC_CATALOGUE_INSTALLED, 1);
  ASSERT_EQ(dialog->m_installed.EntryOfItem(1)->m_updateChosen, 1);
  dialog->m_installed.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
  PumpUntil([] { return false; }, std::chrono::milliseconds(20));
  EXPECT_EQ(dialog->m_installed.EntryOfItem(1)->m_updateChosen, 0);
  EXPECT_FALSE(Enabled(IDC_CATALOGUE_UPDATE));
  EXPECT_TRUE(Enabled(IDC_CATALOGUE_REMOVE));
}

TEST_F(CatalogueManagerTest, BrokenDownloadsAreNeverInstalledAndLeaveNoFile)
{
  ServeTheMakersIndex();
  struct Case {
    const char* what;
    Route route;
  };
  const Case cases[] = {
      {"error page", Route{404, "<html>no such catalogue</html>", -1, -1, {}}},
      {"server error", Route{500, "QORD 100000004 1 error page", -1, -1, {}}},
      {"cut short", Route{200, CatalogueFile("100000004", 20240301, "Half"), 100000, -1, {}}},
      {"length 0 announced", Route{200, "", -1, -1, {}}},
  };
  Open();
  ASSERT_TRUE(IndexRead());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server.Serve("/plug-ins/QorR/100000004.qord", c.route);
    Select(dialog->m_offered, IDC_CATALOGUE_OFFERED, 0);
    Click(IDC_CATALOGUE_ADD);
    ASSERT_TRUE(DownloadsDone());
    EXPECT_TRUE(document.installedFiles.empty());
    EXPECT_TRUE(document.refusedFiles.empty());
    EXPECT_TRUE(TemporaryFiles().empty());
  }
}

TEST_F(CatalogueManagerTest, RemovalDeletesTheFileAfterTheQuestion)
{
  ServeTheMakersIndex();
  std::ofstream(PluginsFolder() / "100000001.qord") << "QORD 100000001 20230101 Фонарь и К";
  Open();
  ASSERT_TRUE(IndexRead());
  PumpUntil([] { return false; }, std::chrono::milliseconds(20));
  shell.boxes.clear();

  Select(dialog->m_installed, IDC_CATALOGUE_INSTALLED, 0);
  EXPECT_FALSE(Enabled(IDC_CATALOGUE_REMOVE));  // a built-in catalogue stays
  Select(dialog->m_installed, IDC_CATALOGUE_INSTALLED, 1);
  ASSERT_TRUE(Enabled(IDC_CATALOGUE_REMOVE));

  shell.answers = {IDNO};
  Click(IDC_CATALOGUE_REMOVE);
  EXPECT_TRUE(std::filesystem::exists(PluginsFolder() / "100000001.qord"));

  shell.answers = {IDYES};
  Click(IDC_CATALOGUE_REMOVE);
  EXPECT_FALSE(std::filesystem::exists(PluginsFolder() / "100000001.qord"));
  EXPECT_EQ(document.unloaded, std::vector<std::string>{"100000001"});
  EXPECT_EQ(Ids(dialog->m_installed), std::vector<std::string>{"1"});
  EXPECT_EQ(shell.events, std::vector<std::string>{"Управление каталогами|Удаление каталога|Фонарь и К|1|1"});
  ASSERT_EQ(shell.boxes.size(), 2u);
  EXPECT_EQ(shell.boxes[0], "Каталог “Фонарь и К” будет безвозвратно удален.\n\nПродолжить?");
  ASSERT_TRUE(IndexRead());

  // A catalogue whose file is gone: the error, and the lists as they were.
  CloseDialog();
  document.installed.push_back({"100000007", 1, "Пропавший", {}});
  Open();
  ASSERT_TRUE(IndexRead());
  Select(dialog->m_installed, IDC_CATALOGUE_INSTALLED, 1);
  shell.boxes.clear();
  shell.answers = {IDYES};
  Click(IDC_CATALOGUE_REMOVE);
  EXPECT_EQ(shell.boxes, std::vector<std::string>{"Ошибка удаления каталога \"Пропавший\"."});
  EXPECT_EQ(document.unloaded, std::vector<std::string>{"100000001"});
  EXPECT_EQ(Ids(dialog->m_installed), (std::vector<std::string>{"1", "100000007"}));
}

TEST_F(CatalogueManagerTest, OfflineTheStatusSaysSoAndTheInstalledListStays)
{
  const std::string closed = "http://127.0.0.1:" + std::to_string(testing_net::ClosedLoopbackPort());
  shell.profile["Network\\CatalogueIndex"] = closed + "/plug-ins/QorR/plugins.xml";
  shell.profile["Network\\CatalogueFolder"] = closed + "/plug-ins/QorR/";
  document.installed = {{"1", 1, "Встроенный", {}}, {"100000001", 1, "Фонарь и К", {}}};
  Open();
  ASSERT_TRUE(IndexRead());
  PumpUntil([] { return false; }, std::chrono::milliseconds(20));
  EXPECT_EQ(Status(), "Отсутствует доступ в Интернет.");
  EXPECT_EQ(Ids(dialog->m_installed), (std::vector<std::string>{"1", "100000001"}));
  EXPECT_EQ(dialog->m_offered.GetCount(), 0);
  EXPECT_TRUE(Enabled(IDC_CATALOGUE_FROM_FILE));
  EXPECT_TRUE(TemporaryFiles().empty());
  EXPECT_TRUE(shell.boxes.empty());
}

TEST_F(CatalogueManagerTest, ABrokenIndexShowsTheDataErrorAndKeepsWhatWasRead)
{
  struct Case {
    const char* what;
    std::string index;
    std::vector<std::string> offered;
  };
  const Case cases[] = {
      {"malformed XML", "<plugins><organizations><org><id>100000004</id>", {}},
      {"no organizations", "<plugins><companies/></plugins>", {}},
      {"a known element before the id",
       IndexOf("<o><id>100000004</id><name>First</name></o><o><name>Second</name><id>100000005</id></o>"
               "<o><id>100000006</id></o>"),
       {"100000004"}},
      {"an error page", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.index.empty())
      server.Serve(kIndex, Route{500, "<plugins><organizations/></plugins>", -1, -1, {}});
    else
      server.Serve(kIndex, c.index);
    Open();
    ASSERT_TRUE(IndexRead());
    PumpUntil([] { return false; }, std::chrono::milliseconds(20));
    EXPECT_EQ(Status(), "Ошибка при обработке данных. Обратитесь к разработчикам.");
    EXPECT_EQ(Ids(dialog->m_offered), c.offered);
    EXPECT_TRUE(TemporaryFiles().empty());
    CloseDialog();
  }
}

TEST_F(CatalogueManagerTest, ClosingDuringAStalledDownloadReturnsAtOnceAndLeavesNothing)
{
  ServeTheMakersIndex();
  server.Serve("/plug-ins/QorR/100000004.qord",
               Route{200, CatalogueFile("100000004", 20240301, "Светлый путь"), -1, 1000, {}});
  Open();
  ASSERT_TRUE(IndexRead());
  Select(dialog->m_offered, IDC_CATALOGUE_OFFERED, 0);
  Click(IDC_CATALOGUE_ADD);
  ASSERT_TRUE(PumpUntil([&] { return server.Stalled() > 0; }));
  PumpUntil([] { return false; }, std::chrono::milliseconds(20));
  // While the download runs only "Закрыть" can be pressed.
  EXPECT_FALSE(Enabled(IDC_CATALOGUE_ADD));
  EXPECT_FALSE(Enabled(IDC_CATALOGUE_FROM_FILE));
  EXPECT_TRUE(Enabled(IDCANCEL));
  ASSERT_TRUE(ManagementPlugins::IsDownloadThreadRunning());

  const auto asked = std::chrono::steady_clock::now();
  CloseDialog();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(ManagementPlugins::kStopWaitMilliseconds));
  EXPECT_FALSE(ManagementPlugins::IsDownloadThreadRunning());
  EXPECT_FALSE(ManagementPlugins::IsIndexThreadRunning());
  EXPECT_TRUE(TemporaryFiles().empty());
  EXPECT_TRUE(document.installedFiles.empty());
}

TEST_F(CatalogueManagerTest, RestartingTheIndexWhileTheListsArePaintedStaysSound)
{
  ServeTheMakersIndex();
  Open();
  for (int i = 0; i < 20; ++i) {
    dialog->SendMessage(ManagementPlugins::UM_PLUGINS_READINDEX, 0, 0);
    dialog->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpUntil([] { return false; }, std::chrono::milliseconds(i % 4));
  }
  ASSERT_TRUE(IndexRead());
  PumpUntil([] { return false; }, std::chrono::milliseconds(20));
  EXPECT_EQ(Ids(dialog->m_offered), (std::vector<std::string>{"100000004", "100000005"}));
}

// The list is narrow: the program's own catalogue, which has no maker's picture, keeps its name in view.
TEST_F(CatalogueManagerTest, AnInstalledNameWithoutAPictureStartsAtTheLeft)
{
  document.installed = {{"1", 1, "Tesmira Road", {}}};
  Open();
  ASSERT_EQ(dialog->m_installed.GetCount(), 1);
  constexpr int width = 220;
  const int height = ManagementPlugins::CDlgManagementPlugins::kItemHeight;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_LISTBOX;
  draw.itemID = 0;
  draw.itemAction = ODA_DRAWENTIRE;
  draw.hDC = dc;
  draw.rcItem = {0, 0, width, height};
  SelectObject(dc, reinterpret_cast<HGDIOBJ>(dialog->m_installed.SendMessage(WM_GETFONT, 0, 0)));
  dialog->m_installed.Draw(draw);
  int leftmost = width;
  int rightmost = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (GetRValue(GetPixel(dc, x, y)) < 100) {
        leftmost = std::min(leftmost, x);
        rightmost = std::max(rightmost, x);
      }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ASSERT_GE(rightmost, 0) << "the name is drawn";
  EXPECT_LT(leftmost, 20);
  EXPECT_LT(rightmost, 160);
}

}  // namespace
