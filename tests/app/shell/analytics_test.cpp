// The analytics binding over our stand-in library: switched off, missing, partial and in use.
#include "app/shell/analytics.h"

#include "outside/analytics/analytics.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

int OpenSockets()
{
  int sockets = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    auto target = std::filesystem::read_symlink(entry.path(), error);
    sockets += !error && target.string().rfind("socket:", 0) == 0;
  }
  return sockets;
}

class AnalyticsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    char folder[] = "/tmp/analytics-XXXXXX";
    folder_ = mkdtemp(folder);
    start_.binFolder = platform::FromFileSystemPath(folder_) + "/Bin/";
    start_.appDataBinFolder = platform::FromFileSystemPath(folder_) + "/";
    start_.installationId = "{6F9619FF-8B86-D011-B42D-00C04FC964FF}";
  }
  void TearDown() override
  {
    platform::UnregisterModule(qoranalytics::kModuleName);
    std::filesystem::remove_all(folder_);
  }
  // Rows of the data file as "table|name or category/action/label/value|flag|sent", UTF-8 back to cp1251.
  std::vector<std::string> Rows()
  {
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2((folder_ + "/QorRoad.dat").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      sqlite3_close(db);
      return rows;
    }
    const char* sql =
        "SELECT 'screen|' || name || '|' || flag || '|' || sent FROM screens UNION ALL "
        "SELECT 'event|' || category || '/' || action || '/' || label || '/' || value || '|' || flag || '|' || sent "
        "FROM events ORDER BY 1";
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
      rows.push_back(codepage::Utf8ToCp1251(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
  }

  std::string folder_;
  shell::AnalyticsStart start_;
};

TEST_F(AnalyticsTest, SwitchedOffTheLibraryIsNeverLoaded)
{
  qoranalytics::RegisterLibrary();
  shell::AnalyticsModule holder;
  start_.analyticsSetting = 0;
  shell::StartProgramAnalytics(&holder, start_);
  EXPECT_EQ(holder.module, nullptr);
  EXPECT_EQ(GetModuleHandle("QorAnalytics.dll"), nullptr);
  EXPECT_EQ(shell::RegisterAnalyticsScreen(&holder, "О Программе", 1), -1);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "/QorRoad.dat"));
}

TEST_F(AnalyticsTest, WithoutTheLibraryEveryCallAnswersMinusOne)
{
  shell::AnalyticsModule holder;
  shell::StartProgramAnalytics(&holder, start_);
  EXPECT_EQ(holder.module, nullptr);
  EXPECT_EQ(shell::StartAnalytics(&holder, "QorAnalytics.dll", "", "", "", "", ""), -1);
  EXPECT_EQ(shell::RegisterAnalyticsScreen(&holder, "О Программе", 1), -1);
  EXPECT_EQ(shell::RegisterAnalyticsEvent(&holder, "Проект", "Экспорт", "Формат DXF", "1", 1), -1);
  EXPECT_EQ(shell::SendAnalyticsInfo(&holder, 1), -1);
  shell::CloseAnalytics(&holder);
  EXPECT_EQ(shell::SendAnalyticsInfo(nullptr, 1), -1);
}

TEST_F(AnalyticsTest, ASessionIsRecordedLocallyWithoutASocket)
{
  qoranalytics::RegisterLibrary();
  const int socketsBefore = OpenSockets();
  {
    shell::AnalyticsModule holder;
    shell::StartProgramAnalytics(&holder, start_);
    ASSERT_NE(holder.module, nullptr);
    EXPECT_EQ(shell::RegisterAnalyticsScreen(&holder, "О Программе", 1), 0);
    EXPECT_EQ(shell::RegisterAnalyticsEvent(&holder, "Проект", "Экспорт", "Формат DXF", "1", 1), 0);
    shell::ReportCrash(&holder, start_.installationId);
    shell::ReportCrash(&holder, "");  // without an id nothing is told
    shell::CloseAnalytics(&holder);
    EXPECT_EQ(OpenSockets(), socketsBefore);
  }
  const std::string id = start_.installationId;
  EXPECT_EQ(Rows(), (std::vector<std::string>{
                        "event|Запуск программы/" + id + "/" + id + "/1|0|1",
                        "event|Проект/Экспорт/Формат DXF/1|1|1",  // the crash report sent it
                        "event|Сбой программы/" + id + "/" + id + "/1|0|1",
                        "screen|Главный экран|0|1",
                        "screen|О Программе|1|1",
                    }));

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2((folder_ + "/QorRoad.dat").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT tracking_id, client_id, application, version FROM session", -1, &statement, nullptr);
  ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "UA-00000000-01");
  EXPECT_EQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)), id);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 2)), "QorRoadAnalytics");
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)), "6.0.42.0");
  sqlite3_finalize(statement);
  sqlite3_close(db);
}

TEST_F(AnalyticsTest, ALibraryWithoutSendInfoStillTakesScreensAndEvents)
{
  qoranalytics::RegisterLibrary(true);
  shell::AnalyticsModule holder;
  shell::StartProgramAnalytics(&holder, start_);
  EXPECT_EQ(shell::SendAnalyticsInfo(&holder, 1), -1);
  EXPECT_EQ(shell::RegisterAnalyticsScreen(&holder, "Проект.Оптимизация", 1), 0);
  // Starting again closes the first session and opens a second on the same file.
  EXPECT_EQ(shell::StartAnalytics(&holder, (start_.binFolder + "QorAnalytics.dll").c_str(), shell::kTrackingId, "x",
                                  "6.0.42.0", "", (start_.appDataBinFolder + "QorRoad.dat").c_str()),
            0);
  shell::CloseAnalytics(&holder);
  EXPECT_EQ(Rows().size(), 3u);
}

}  // namespace
