#include "outside/servers/istatistics.h"
#include "platform/base/codepage.h"
#include "server_fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>

using namespace qorsrv;
using namespace servers_test;

namespace {

template <class F>
std::size_t SlotOf(F member)
{
  std::ptrdiff_t parts[2];
  std::memcpy(parts, &member, sizeof parts);
  return static_cast<std::size_t>((parts[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

class Bstr {
public:
  explicit Bstr(const std::string& cp1251) : m_text(SysAllocString(codepage::Cp1251ToUtf16(cp1251))) {}
  ~Bstr() { SysFreeString(m_text); }
  operator BSTR() const { return m_text; }

private:
  BSTR m_text;
};

std::vector<std::string> Rows(const std::string& path, const char* sql)
{
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  std::vector<std::string> rows;
  sqlite3_exec(
    db, sql,
    [](void* out, int n, char** values, char**) {
      std::string row;
      for (int i = 0; i < n; ++i)
        row += (i ? "|" : "") + std::string(values[i] ? values[i] : "");
      static_cast<std::vector<std::string>*>(out)->push_back(row);
      return 0;
    },
    &rows, nullptr);
  sqlite3_close(db);
  return rows;
}

}  // namespace

TEST(Statistics, CalledOperationsStandAtTheirSlots)
{
  EXPECT_EQ(SlotOf(&IStatistics::SetInstallationId), 8u);
  EXPECT_EQ(SlotOf(&IStatistics::OpenSession), 11u);
  EXPECT_EQ(SlotOf(&IStatistics::CloseSession), 12u);
  EXPECT_EQ(SlotOf(&IStatistics::Open), 13u);
  EXPECT_EQ(SlotOf(&IStatistics::SendInfo), 16u);
  EXPECT_EQ(SlotOf(&IStatistics::EndSession), 18u);
  EXPECT_EQ(SlotOf(&IStatisticsSession::CreateRecord), 17u);
  EXPECT_EQ(SlotOf(&IStatisticsSession::SubmitRecord), 19u);
  EXPECT_EQ(SlotOf(&IStatisticsRecord::SetOrganisation), 8u);
  EXPECT_EQ(SlotOf(&IStatisticsRecord::Begin), 13u);
  EXPECT_EQ(SlotOf(&IStatisticsRecord::CreateEntry), 19u);
  EXPECT_EQ(SlotOf(&IStatisticsEntry::SetLuminaireCount), 10u);
  EXPECT_EQ(SlotOf(&IStatisticsEntry::SetBracketName), 14u);
}

// The document's whole conversation: open, a report with two groups, one report abandoned, closing.
TEST(Statistics, ReportsHandedBackAreRecordedLocally)
{
  TempFolder folder;
  const std::string path = folder / "QorRoad.prnt";
  void* object = nullptr;
  ASSERT_EQ(QorStatcsCreateInstance(CLSID_Statistics, IID_IStatistics, &object), S_OK);
  auto* stats = static_cast<IStatistics*>(object);
  ASSERT_EQ(stats->Open(Bstr(path)), S_OK);
  stats->SetInstallationId(Bstr("{RID}"));
  stats->SetMode(0);
  IStatisticsSession* session = nullptr;
  ASSERT_EQ(stats->OpenSession(&session), S_OK);

  IStatisticsRecord* record = nullptr;
  ASSERT_EQ(session->CreateRecord(&record), S_OK);
  record->Begin();
  record->SetOrganisation(Bstr("ООО Свет"));
  record->SetFlag(-1);
  for (int i = 0; i < 2; ++i) {
    IStatisticsEntry* entry = nullptr;
    ASSERT_EQ(record->CreateEntry(&entry), S_OK);
    entry->SetLuminaireName(Bstr(i ? "Прожектор" : "Hella"));
    entry->SetLuminaireCount(8 + i);
    entry->SetPoleName(Bstr("ОК-10"));
    entry->SetBracketName(Bstr("К2"));
    entry->Release();
  }
  EXPECT_EQ(session->SubmitRecord(record), S_OK);
  record->Release();

  IStatisticsRecord* abandoned = nullptr;
  session->CreateRecord(&abandoned);
  abandoned->Begin();
  abandoned->Release();

  EXPECT_EQ(stats->SendInfo(), S_OK);
  stats->EndSession();
  stats->Flush();
  stats->CloseSession(session);
  stats->Close();
  // The document may still hold the session after the server is gone.
  stats->Release();
  IStatisticsRecord* late = nullptr;
  session->CreateRecord(&late);
  EXPECT_EQ(session->SubmitRecord(late), S_FALSE);  // the file is closed: nothing recorded
  late->Release();
  session->Release();

  EXPECT_EQ(Rows(path, "SELECT installation, organisation, flag FROM report"),
            std::vector<std::string>{reinterpret_cast<const char*>(u8"{RID}|ООО Свет|-1")});
  EXPECT_EQ(Rows(path, "SELECT position, luminaire, count, pole, bracket FROM report_group ORDER BY position"),
            (std::vector<std::string>{reinterpret_cast<const char*>(u8"0|Hella|8|ОК-10|К2"),
                                      reinterpret_cast<const char*>(u8"1|Прожектор|9|ОК-10|К2")}));
  EXPECT_EQ(Rows(path, "SELECT count(*) FROM sending"), std::vector<std::string>{"1"});
}
