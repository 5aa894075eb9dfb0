#include "archive_bytes.h"
#include "model/light_device.h"
#include "model/money.h"
#include "model/version.h"
#include "outside/servers/luminaire_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using ObjectModel::MakeFormatVersion;

TEST(Money, StoredToTheNearestHundredth)
{
  struct Case {
    double currency;
    std::int32_t hundredths;
  };
  const Case cases[] = {{0.29, 29}, {12.34, 1234}, {0.019, 2}, {0.014, 1}, {-0.29, -29}, {-0.005, -1},
                        {1e12, INT32_MAX}, {-1e12, INT32_MIN}};
  for (const Case& c : cases)
    EXPECT_EQ(ObjectModel::ToHundredths(c.currency), c.hundredths) << c.currency;
  CLightDevice d;
  const double price = 0.29;
  d.SetPrice(&price);
  EXPECT_EQ(d.luminairePrice, 29);
}

TEST(LightDevice, DisplayNameFallsBackToTheLuminaireName)
{
  CLightDevice d;
  EXPECT_STREQ(d.GetDisplayName(), "");
  d.luminaireName = "ЖКУ-150";
  EXPECT_STREQ(d.GetDisplayName(), "ЖКУ-150");
  d.displayName = "Фонарь";
  EXPECT_STREQ(d.GetDisplayName(), "Фонарь");
}

// A 4.0.3.0 record, written by hand from the field list: text D is there, maker and catalogue flag are not, nor
// the lamp count or the economic block.
TEST(LightDevice, OldFileLoadsWithTheGatedDefaults)
{
  Bytes b;
  b.str("A").str("РКУ-250").str("D").str("ДРЛ").f64(250).f64(13000).u32(0x10080200u);
  b.i32(3).i32(3);  // rows, columns; then column by column, each from row 1
  b.f64s({0, 0, 180}).f64s({0, 100, 110}).f64s({90, 50, 55});
  CLightDevice d;
  d.databaseWord1 = 7;
  LoadingArchive ar(b.data());
  const DWORD version = MakeFormatVersion(4, 0, 3, 0);
  d.Serialize(ar.get(), &version);
  EXPECT_STREQ(d.textD, "D");
  EXPECT_STREQ(d.luminaireMaker, "");
  EXPECT_EQ(d.catalogueFlag, 0);
  EXPECT_EQ(d.lampCount, 1);
  EXPECT_EQ(d.symmetryWord, 0x10080200u);
  EXPECT_EQ(d.luminaireLife, 0);
  EXPECT_EQ(d.powerLossFactor, 0.0);
  EXPECT_EQ(d.economicValue4, 0.0);
  EXPECT_EQ(d.table->rows, 3);
  EXPECT_EQ(d.table->columns, 3);
  EXPECT_EQ(LinkedTableFind(d.table.get(), 2, 2)->value, 100);
  EXPECT_EQ(LinkedTableFind(d.table.get(), 3, 1)->value, 90);
  EXPECT_EQ(d.databaseWord1, 7);
}

TEST(LightDevice, LampCountIsReadFrom4_0_13_1)
{
  for (const auto& [version, expected] : {std::pair{MakeFormatVersion(4, 0, 13, 1), 3},
                                          std::pair{MakeFormatVersion(4, 0, 13, 0), 1}}) {
    Bytes b;
    b.str("").str("").str("").str("").str("").f64(0).f64(0).u32(0).i32(1);
    if (version >= MakeFormatVersion(4, 0, 13, 1))
      b.i32(3);
    b.i32(0).i32(0);
    CLightDevice d;
    LoadingArchive ar(b.data());
    d.Serialize(ar.get(), &version);
    EXPECT_EQ(d.lampCount, expected);
    EXPECT_EQ(d.table->first, nullptr);
  }
}

CLightDevice& Filled(CLightDevice& d)
{
  d.textA = "1/7";
  d.textB = "1/7";
  d.luminaireName = "LED-80";
  d.textD = "1";
  d.lampType = "СД";
  d.lampPower = 80;
  d.lampFlux = 9000;
  d.lampCount = 2;
  d.luminairePrice = 1234;
  d.powerLossFactor = 1.1;
  d.displayName = "Уличный";
  d.textH = "00009";
  d.producer = "Завод";
  d.extraWord = 5;
  d.textList.Add("предупреждение");
  LinkedTableResize(d.table.get(), 3, 2);
  LinkedTableFind(d.table.get(), 2, 3)->value = 321.5;
  d.databaseWord1 = 4;
  return d;
}

TEST(LightDevice, StoreThenLoadGivesEveryFieldBackButTheDatabaseWords)
{
  CLightDevice source;
  Filled(source);
  StoringArchive out;
  source.Serialize(out.get(), &ObjectModel::kCurrentFormatVersion);
  const auto bytes = out.bytes();

  CLightDevice loaded;
  LoadingArchive in(bytes);
  loaded.Serialize(in.get(), &ObjectModel::kCurrentFormatVersion);
  EXPECT_STREQ(loaded.textD, "1");
  EXPECT_STREQ(loaded.displayName, "Уличный");
  EXPECT_STREQ(loaded.textH, "00009");
  EXPECT_EQ(loaded.extraWord, 5);
  EXPECT_EQ(loaded.textList.GetSize(), 1);
  EXPECT_EQ(LinkedTableFind(loaded.table.get(), 2, 3)->value, 321.5);
  EXPECT_EQ(loaded.databaseWord1, 0);
  StoringArchive again;
  loaded.Serialize(again.get(), &ObjectModel::kCurrentFormatVersion);
  EXPECT_EQ(again.bytes(), bytes);
}

TEST(LightDevice, AssignKeepsTextDAndTheDatabaseWords)
{
  CLightDevice source;
  Filled(source);
  CLightDevice d;
  d.textD = "mine";
  d.databaseWord2 = 9;
  d.Assign(source);
  EXPECT_STREQ(d.textD, "mine");
  EXPECT_EQ(d.databaseWord2, 9);
  EXPECT_EQ(d.databaseWord1, 0);
  EXPECT_STREQ(d.luminaireName, "LED-80");
  EXPECT_EQ(d.table->rows, 3);
  EXPECT_EQ(LinkedTableFind(d.table.get(), 2, 3)->value, 321.5);
  EXPECT_TRUE(d.IsLed());
}

TEST(LightDevice, TheDatabaseRecordCrossesFieldByField)
{
  qorsrv::LuminaireRecord r;
  r.luminaireName = "LED";
  r.textD = "catalogue";
  r.lampFlux = 2070;
  r.symmetryWord = 0x10100100u;
  r.textList = {"a", "b"};
  r.table.Resize(2, 3);
  r.table.At(3, 2) = 42;
  CLightDevice d;
  d.Assign(r);
  EXPECT_STREQ(d.luminaireName, "LED");
  EXPECT_STREQ(d.textD, "");
  EXPECT_EQ(d.lampFlux, 2070);
  EXPECT_EQ(d.symmetryWord, 0x10100100u);
  EXPECT_EQ(d.textList.GetSize(), 2);
  EXPECT_EQ(LinkedTableFind(d.table.get(), 3, 2)->value, 42);
}

std::vector<double> Values(const _LINKED_TABLE* t)
{
  std::vector<double> out;
  for (const _LINKED_TABLE_NODE* column = t->first; column; column = column->right)
    for (const _LINKED_TABLE_NODE* node = column; node; node = node->down)
      out.push_back(node->value);
  return out;
}

// A record whose table is still the database's cells stores, copies and completes as if it were built; loading
// replaces the cells with the file's table.
TEST(LightDevice, ADeferredTableActsAsTheTable)
{
  qorsrv::LuminaireRecord r;
  r.luminaireName = "LED";
  r.symmetryWord = 0x10080100u;
  r.table.Resize(4, 2);
  const double planes[3] = {0, 90, 180};
  for (int i = 0; i < 3; ++i) {
    r.table.At(1, i + 2) = planes[i];
    r.table.At(2, i + 2) = 100 + planes[i];
  }
  CLightDevice built;
  built.Assign(r);
  CLightDevice deferred;
  deferred.AssignDeferringTable(r);
  EXPECT_STREQ(deferred.luminaireName, "LED");

  StoringArchive builtBytes;
  StoringArchive deferredBytes;
  CLinkedTable builtWorking;
  CLinkedTable deferredWorking;
  built.MakeWorkingTable(builtWorking.get(), false);
  deferred.MakeWorkingTable(deferredWorking.get(), false);
  EXPECT_EQ(Values(deferredWorking.get()), Values(builtWorking.get()));
  CLightDevice copy;
  copy.Assign(deferred);
  copy.BuildDeferredTable();
  EXPECT_EQ(Values(copy.table.get()), r.table.cells);
  built.Serialize(builtBytes.get(), &ObjectModel::kCurrentFormatVersion);
  deferred.Serialize(deferredBytes.get(), &ObjectModel::kCurrentFormatVersion);
  EXPECT_EQ(deferredBytes.bytes(), builtBytes.bytes());
  deferred.BuildDeferredTable();
  EXPECT_EQ(Values(deferred.table.get()), r.table.cells);

  CLightDevice file;
  Filled(file);
  StoringArchive fileBytes;
  file.Serialize(fileBytes.get(), &ObjectModel::kCurrentFormatVersion);
  const auto stored = fileBytes.bytes();
  CLightDevice loaded;
  loaded.AssignDeferringTable(r);
  LoadingArchive in(stored);
  loaded.Serialize(in.get(), &ObjectModel::kCurrentFormatVersion);
  loaded.BuildDeferredTable();
  EXPECT_EQ(loaded.table->rows, 3);
  EXPECT_EQ(Values(loaded.table.get()), Values(file.table.get()));

  // Kept as the file's cells, the table stores back to the same bytes, and is the file's once built.
  CLightDevice kept;
  LoadingArchive keptIn(stored);
  kept.LoadDeferringTable(keptIn.get(), &ObjectModel::kCurrentFormatVersion);
  EXPECT_EQ(kept.table->first, nullptr);
  StoringArchive keptBytes;
  kept.Serialize(keptBytes.get(), &ObjectModel::kCurrentFormatVersion);
  EXPECT_EQ(keptBytes.bytes(), stored);
  kept.BuildDeferredTable();
  EXPECT_EQ(Values(kept.table.get()), Values(file.table.get()));
}

// A file's table is taken in pieces; one of several pieces keeps every cell in its place.
TEST(LightDevice, ATableOfSeveralPiecesIsKeptCellForCell)
{
  qorsrv::LuminaireRecord r;
  r.table.Resize(181, 200);  // 36 200 cells
  for (std::size_t i = 0; i < r.table.cells.size(); ++i)
    r.table.cells[i] = 0.25 * static_cast<double>(i);
  CLightDevice file;
  file.Assign(r);
  StoringArchive fileBytes;
  file.Serialize(fileBytes.get(), &ObjectModel::kCurrentFormatVersion);
  const auto stored = fileBytes.bytes();

  CLightDevice kept;
  LoadingArchive in(stored);
  kept.LoadDeferringTable(in.get(), &ObjectModel::kCurrentFormatVersion);
  StoringArchive keptBytes;
  kept.Serialize(keptBytes.get(), &ObjectModel::kCurrentFormatVersion);
  EXPECT_EQ(keptBytes.bytes(), stored);
  kept.BuildDeferredTable();
  EXPECT_EQ(Values(kept.table.get()), r.table.cells);
}

TEST(LightDevice, HostileTableCountsAreRefusedBeforeAllocating)
{
  for (const auto& counts : {std::pair{-1, 3}, std::pair{100000, 100000}, std::pair{3, 3}}) {
    Bytes b;
    b.str("").str("").str("").str("").str("").f64(0).f64(0).u32(0).i32(1).i32(1);
    b.i32(counts.first).i32(counts.second).f64(1.0);  // far fewer cells than the counts claim
    CLightDevice d;
    LoadingArchive ar(b.data());
    EXPECT_NE(ArchiveErrorOf([&] { d.Serialize(ar.get(), &ObjectModel::kCurrentFormatVersion); }), -1)
        << counts.first << " x " << counts.second;
  }
}

TEST(LightDevice, WorkingTableIsCompletedAndRebasedInCandelaPerKilolumen)
{
  CLightDevice d;
  d.lampFlux = 2070;
  d.lampCount = 2;
  d.symmetryWord = 0x10080100u;  // C0..C180
  LinkedTableResize(d.table.get(), 4, 2);
  const double planes[3] = {0, 90, 180};
  for (int i = 0; i < 3; ++i) {
    LinkedTableFind(d.table.get(), 1, i + 2)->value = planes[i];
    LinkedTableFind(d.table.get(), 2, i + 2)->value = 100 + planes[i];
  }
  CLinkedTable scratch;
  d.MakeWorkingTable(scratch.get(), true);
  ASSERT_EQ(scratch->rows, 6);
  EXPECT_EQ(LinkedTableFind(scratch.get(), 1, 2)->value, -180);
  EXPECT_EQ(LinkedTableFind(scratch.get(), 2, 2)->value, 280);
  EXPECT_EQ(LinkedTableFind(scratch.get(), 2, 3)->value, 190);  // -90 mirrors 270, which mirrors 90
  EXPECT_EQ(d.table->rows, 4);
  EXPECT_DOUBLE_EQ(d.Candela(100), 414.0);
}

}  // namespace
