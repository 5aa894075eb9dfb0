#include "outside/servers/iprice_database.h"
#include "server_fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <fstream>

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

class PriceDatabase {
public:
  PriceDatabase()
  {
    void* object = nullptr;
    EXPECT_EQ(QorEconomicCreateInstance(CLSID_PriceDatabase, IID_IPriceDatabase, &object), S_OK);
    m_db = static_cast<IPriceDatabase*>(object);
  }
  ~PriceDatabase()
  {
    m_db->PriceDbClose();
    m_db->Release();
  }
  IPriceDatabase* operator->() const { return m_db; }

private:
  IPriceDatabase* m_db = nullptr;
};

}  // namespace

TEST(PriceDatabase, CalledOperationsStandAtTheirSlots)
{
  const struct {
    std::size_t slot, expected;
  } slots[] = {
    {SlotOf(&IPriceDatabase::GetLuminairePrice), 12},
    {SlotOf(&IPriceDatabase::GetPolePrice), 13},
    {SlotOf(&IPriceDatabase::GetBracketPrice), 14},
    {SlotOf(&IPriceDatabase::PriceDbOpen), 15},
    {SlotOf(&IPriceDatabase::PriceDbClose), 16},
    {SlotOf(&IPriceDatabase::GetDefaultTariff), 20},
    {SlotOf(&IPriceDatabase::GetDefaultHours), 22},
    {SlotOf(&IPriceDatabase::GetDefaultEfficiency), 24},
    {SlotOf(&IPriceDatabase::GetDefaultNetworkLoss), 26},
    {SlotOf(&IPriceDatabase::GetDefaultLuminaireAmortisation), 28},
    {SlotOf(&IPriceDatabase::GetDefaultPoleAmortisation), 30},
    {SlotOf(&IPriceDatabase::GetDefaultBracketAmortisation), 32},
    {SlotOf(&IPriceDatabase::GetBracketMountPrice), 50},
    {SlotOf(&IPriceDatabase::GetPoleMountPrice), 52},
    {SlotOf(&IPriceDatabase::GetLuminaireInstallation), 54},
    {SlotOf(&IPriceDatabase::GetLuminaireCleaning), 56},
    {SlotOf(&IPriceDatabase::GetCleaningsPerYear), 58},
    {SlotOf(&IPriceDatabase::GetLuminaireLife), 60},
    {SlotOf(&IPriceDatabase::GetDriverLoss), 62},
    {SlotOf(&IPriceDatabase::GetLampPrice), 64},
    {SlotOf(&IPriceDatabase::GetLampReplacement), 66},
    {SlotOf(&IPriceDatabase::GetLampLife), 68},
    {SlotOf(&IPriceDatabase::GetBallastLoss), 70},
    {SlotOf(&IPriceDatabase::SetLuminaireInstallation), 53},
    {SlotOf(&IPriceDatabase::SetBallastLoss), 69},
  };
  for (const auto& s : slots)
    EXPECT_EQ(s.slot, s.expected);
}

TEST(PriceDatabase, NewDatabaseAnswersTheDefaultFiguresAndNoPrices)
{
  TempFolder folder;
  PriceDatabase db;
  ASSERT_EQ(db->PriceDbOpen(TextVariant(folder / "QorRoad.price")), S_OK);
  LONG hours = 0, tariff = -1;
  double efficiency = 0, loss = 0;
  EXPECT_EQ(db->GetDefaultHours(&hours), S_OK);
  EXPECT_EQ(hours, 4000);
  EXPECT_EQ(db->GetDefaultTariff(&tariff), S_OK);
  EXPECT_EQ(tariff, 0);
  EXPECT_EQ(db->GetDefaultEfficiency(&efficiency), S_OK);
  EXPECT_EQ(efficiency, 0.12);
  EXPECT_EQ(db->GetDefaultNetworkLoss(&loss), S_OK);
  EXPECT_EQ(loss, 1.05);
  LONG price = 777;
  EXPECT_EQ(db->GetLuminairePrice("Hella", &price), S_FALSE);
  EXPECT_EQ(price, 777);  // an unknown value leaves the answer alone
}

TEST(PriceDatabase, ValuesAreKeptByNameAndByLampTypeAndPowerAcrossReopening)
{
  TempFolder folder;
  {
    PriceDatabase db;
    ASSERT_EQ(db->PriceDbOpen(TextVariant(folder / "QorRoad.price")), S_OK);
    EXPECT_EQ(db->SetLuminairePrice("Светильник", 1234567), S_OK);
    EXPECT_EQ(db->SetPoleMountPrice("ОК-10", 250000), S_OK);
    EXPECT_EQ(db->SetLampPrice("ДНаТ", 150.0, 45000), S_OK);
    EXPECT_EQ(db->SetLampPrice("ДНаТ", 250.0, 52000), S_OK);
    EXPECT_EQ(db->SetBallastLoss("ДНаТ", 150.0, 1.12), S_OK);
    EXPECT_EQ(db->SetDefaultHours(3650), S_OK);
    EXPECT_EQ(db->SetDefaultTariff(0.29), S_OK);  // whole hundredths, to the nearest: 29, not 28
    EXPECT_EQ(db->SetDefaultPolePrice(12.345), S_OK);
  }
  PriceDatabase db;
  ASSERT_EQ(db->PriceDbOpen(TextVariant(folder / "QorRoad.price")), S_OK);
  LONG money = 0, hours = 0;
  double factor = 0, currency = 0;
  EXPECT_EQ(db->GetLuminairePrice("Светильник", &money), S_OK);
  EXPECT_EQ(money, 1234567);
  EXPECT_EQ(db->GetPoleMountPrice("ОК-10", &money), S_OK);
  EXPECT_EQ(money, 250000);
  EXPECT_EQ(db->GetPolePrice("ОК-10", &money), S_FALSE);  // another figure of the same name
  EXPECT_EQ(db->GetLampPrice("ДНаТ", 250.0, &money), S_OK);
  EXPECT_EQ(money, 52000);
  EXPECT_EQ(db->GetLampPrice("ДНаТ", 400.0, &money), S_FALSE);
  EXPECT_EQ(db->GetBallastLoss("ДНаТ", 150.0, &factor), S_OK);
  EXPECT_EQ(factor, 1.12);
  EXPECT_EQ(db->GetDefaultHours(&hours), S_OK);
  EXPECT_EQ(hours, 3650);
  EXPECT_EQ(db->GetDefaultTariff(&money), S_OK);
  EXPECT_EQ(money, 29);
  EXPECT_EQ(db->GetDefaultPolePrice(&currency), S_OK);
  EXPECT_EQ(currency, 12.35);
}

TEST(PriceDatabase, MoneyRoundsToTheNearestHundredth)
{
  const struct {
    double currency;
    std::int32_t hundredths;
  } cases[] = {{0.29, 29}, {0.125, 13}, {12.344, 1234}, {-0.29, -29}, {19.99, 1999}, {1e12, INT32_MAX}};
  for (const auto& c : cases)
    EXPECT_EQ(ToHundredths(c.currency), c.hundredths) << c.currency;
}

TEST(PriceDatabase, AForeignFileIsNotTakenForAPriceDatabase)
{
  TempFolder folder;
  std::ofstream(folder / "junk.price") << "junk";
  PriceDatabase db;
  EXPECT_EQ(db->PriceDbOpen(TextVariant(folder / "junk.price")), S_FALSE);
  LONG hours = 0;
  EXPECT_EQ(db->GetDefaultHours(&hours), S_FALSE);
  EXPECT_EQ(db->SetDefaultHours(10), S_FALSE);
}

// The same few questions asked again and again, with changing arguments, across closing and opening another file:
// every answer is the one of the file open at the time.
TEST(PriceDatabase, RepeatedQuestionsWithDifferentArgumentsKeepTheirAnswers)
{
  TempFolder folder;
  PriceDatabase db;
  ASSERT_EQ(db->PriceDbOpen(TextVariant(folder / "a.price")), S_OK);
  for (int i = 0; i < 50; ++i) {
    const std::string name = "L" + std::to_string(i);
    ASSERT_EQ(db->SetLuminairePrice(name.c_str(), 1000 + i), S_OK);
    if (i % 2 == 0) {
      ASSERT_EQ(db->SetPolePrice(name.c_str(), 2000 + i), S_OK);
    }
    ASSERT_EQ(db->SetLampPrice("ДНаТ", 50.0 * i, 3000 + i), S_OK);
    ASSERT_EQ(db->SetDriverLoss(name.c_str(), 1.0 + i / 100.0), S_OK);
  }
  ASSERT_EQ(db->SetDefaultHours(3000), S_OK);
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 50; ++i) {
      const std::string name = "L" + std::to_string(i);
      LONG money = -1;
      double factor = 0;
      EXPECT_EQ(db->GetLuminairePrice(name.c_str(), &money), S_OK);
      EXPECT_EQ(money, 1000 + i);
      money = -1;
      EXPECT_EQ(db->GetPolePrice(name.c_str(), &money), i % 2 == 0 ? S_OK : S_FALSE);
      EXPECT_EQ(money, i % 2 == 0 ? 2000 + i : -1);
      EXPECT_EQ(db->GetLampPrice("ДНаТ", 50.0 * i, &money), S_OK);
      EXPECT_EQ(money, 3000 + i);
      EXPECT_EQ(db->GetLampPrice("ДНаТ", 50.0 * i + 1.0, &money), S_FALSE);
      EXPECT_EQ(db->GetDriverLoss(name.c_str(), &factor), S_OK);
      EXPECT_EQ(factor, 1.0 + i / 100.0);
      LONG hours = 0;
      EXPECT_EQ(db->GetDefaultHours(&hours), S_OK);
      EXPECT_EQ(hours, 3000);
    }
  }

  // Another file: nothing of the first is asked of it.
  ASSERT_EQ(db->PriceDbOpen(TextVariant(folder / "b.price")), S_OK);
  LONG money = -1, hours = 0;
  EXPECT_EQ(db->GetLuminairePrice("L1", &money), S_FALSE);
  EXPECT_EQ(db->GetDefaultHours(&hours), S_OK);
  EXPECT_EQ(hours, 4000);
  ASSERT_EQ(db->SetLuminairePrice("L1", 9), S_OK);
  EXPECT_EQ(db->GetLuminairePrice("L1", &money), S_OK);
  EXPECT_EQ(money, 9);

  ASSERT_EQ(db->PriceDbClose(), S_OK);
  EXPECT_EQ(db->GetLuminairePrice("L1", &money), S_FALSE);
  ASSERT_EQ(db->PriceDbOpen(TextVariant(folder / "a.price")), S_OK);
  EXPECT_EQ(db->GetLuminairePrice("L1", &money), S_OK);
  EXPECT_EQ(money, 1001);

  // Both files stay usable by others: nothing is left locked between calls.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open((folder / "a.price").c_str(), &raw), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(raw, "UPDATE price SET value = 77 WHERE name = 'L2' AND kind = 'luminaire_price'", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  EXPECT_EQ(db->GetLuminairePrice("L2", &money), S_OK);
  EXPECT_EQ(money, 77);
}
