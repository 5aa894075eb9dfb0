// The report contents table's rules: parents follow their parts, sections carry their parts, the observer pair is
// one choice; rows missing from a file read as off and cannot be set; the rules' result survives the file form.
#include "model/report_preferences.h"

#include "tests/model/archive_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

int State(const CPreferencesOfReport& table, int id)
{
  tag_ITEM_PREF_OF_REPORT row{};
  table.GetItem(id, &row);
  return row.state;
}

void Set(CPreferencesOfReport& table, int id, int state)
{
  tag_ITEM_PREF_OF_REPORT row{};
  ASSERT_TRUE(table.GetItem(id, &row));
  row.state = state;
  ASSERT_TRUE(table.SetItemState(id, &row, TRUE));
}

std::map<int, int> States(const CPreferencesOfReport& table)
{
  std::map<int, int> states;
  for (const tag_ITEM_PREF_OF_REPORT& row : table.Items())
    states[row.id] = row.state;
  return states;
}

TEST(ReportPreferences, TheDefaultTableMarksGroupsAndResultsPartlyOn)
{
  CPreferencesOfReport table;
  EXPECT_EQ(State(table, 102), 1);  // 103 on, 104 off
  EXPECT_EQ(State(table, 105), 1);  // 106 on, the result sections off
  EXPECT_EQ(State(table, 206), 4);
  EXPECT_EQ(State(table, 207), 3);
}

TEST(ReportPreferences, SettingARowMakesTheRowsThatDependOnItFollow)
{
  struct Step {
    int id;
    int state;
    std::map<int, int> expected;  // the rows that must read so afterwards
  };
  const std::vector<std::vector<Step>> scripts = {
      // A partly-on parent switched on takes everything beneath it along; off again, everything goes off.
      {{102, 2, {{102, 2}, {103, 2}, {104, 2}}}, {102, 0, {{102, 0}, {103, 0}, {104, 0}}}},
      {{105, 2, {{105, 2}, {106, 2}, {205, 2}, {208, 2}, {209, 2}, {210, 2}, {211, 2}, {700, 2}, {305, 2},
                 {310, 2}, {701, 2}, {405, 2}, {702, 2}, {505, 2}, {511, 2}, {703, 2}, {206, 4}, {207, 3}}},
       {105, 0, {{105, 0}, {106, 0}, {205, 0}, {309, 0}, {703, 0}, {206, 4}}}},
      // A part of a section: the section and the results above it become partly on.
      {{308, 2, {{308, 2}, {305, 1}, {105, 1}}}},
      // The fill carries its node values; node values off leave the fill without them (partly on).
      {{309, 2, {{309, 2}, {310, 2}, {305, 1}}}, {310, 0, {{310, 0}, {309, 1}, {305, 1}}}},
      // Every part of a section on: the section is on, and only then.
      {{308, 2, {}}, {309, 2, {}}, {311, 2, {}}, {701, 2, {{305, 2}, {105, 1}}}},
      // The observer pair: one chosen, the other not; the section's mark never moves.
      {{206, 3, {{206, 3}, {207, 4}, {205, 0}}}, {207, 3, {{207, 3}, {206, 4}, {205, 0}}}},
      // The summary: 105 over 106 and all four sections, whatever the area.
      {{106, 0, {{106, 0}, {105, 0}}}, {106, 2, {{106, 2}, {105, 1}}}},
  };
  for (std::size_t i = 0; i < scripts.size(); ++i) {
    CPreferencesOfReport table;
    for (const Step& step : scripts[i]) {
      SCOPED_TRACE(testing::Message() << "script " << i << ", row " << step.id << " := " << step.state);
      Set(table, step.id, step.state);
      for (const auto& [id, state] : step.expected)
        EXPECT_EQ(State(table, id), state) << "row " << id;
    }
  }
}

TEST(ReportPreferences, WithoutPropagationOnlyTheRowChanges)
{
  CPreferencesOfReport table;
  const auto before = States(table);
  tag_ITEM_PREF_OF_REPORT row{};
  table.GetItem(105, &row);
  row.state = 2;
  row.treeItem = 77;
  ASSERT_TRUE(table.SetItemState(105, &row, FALSE));
  auto expected = before;
  expected[105] = 2;
  EXPECT_EQ(States(table), expected);
  table.GetItem(105, &row);
  EXPECT_EQ(row.treeItem, 77);
}

TEST(ReportPreferences, ARowMissingFromAFileReadsOffAndCannotBeSet)
{
  // Two rows as a file holds them: count 2 (16 bits), then id, 256 bytes of caption, state, tree item.
  Bytes file;
  file.u16(2);
  char caption[256] = {};
  std::strcpy(caption, "Титульный лист");
  file.i32(100).raw(caption, sizeof caption).i32(2).i32(0x1234);
  std::memset(caption, 'x', sizeof caption);  // the bytes after the terminator are not significant
  std::strcpy(caption, "Результаты расчета");
  file.i32(105).raw(caption, sizeof caption).i32(1).i32(0);
  CPreferencesOfReport table;
  LoadingArchive in(file.data());
  table.Serialize(*in.get());
  ASSERT_EQ(table.Items().GetSize(), 2);
  EXPECT_EQ(State(table, 100), 2);

  tag_ITEM_PREF_OF_REPORT row{};
  std::strcpy(row.caption, "kept");
  EXPECT_FALSE(table.GetItem(206, &row));
  EXPECT_EQ(row.id, 206);
  EXPECT_EQ(row.state, 0);
  EXPECT_STREQ(row.caption, "kept");
  row.state = 4;
  EXPECT_FALSE(table.SetItemState(206, &row, TRUE));
  // 105's rules reach rows the file lacks: those are skipped, the rest follows.
  Set(table, 105, 2);
  EXPECT_EQ(State(table, 105), 2);
  EXPECT_EQ(table.Items().GetSize(), 2);
}

TEST(ReportPreferences, TheRulesResultIsSavedAndReadBack)
{
  CPreferencesOfReport table;
  Set(table, 309, 2);
  Set(table, 206, 3);
  StoringArchive out;
  table.Serialize(*out.get());
  const std::vector<std::uint8_t> bytes = out.bytes();
  ASSERT_EQ(bytes.size(), 2u + 34 * 268);

  CPreferencesOfReport loaded;
  loaded.SetDefaults();
  LoadingArchive in(bytes);
  loaded.Serialize(*in.get());
  EXPECT_EQ(States(loaded), States(table));
  EXPECT_EQ(State(loaded, 310), 2);
  EXPECT_EQ(State(loaded, 207), 4);
}

}  // namespace
