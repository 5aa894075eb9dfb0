#include "model/model_strings.h"
#include "res/modules.h"

#include <gtest/gtest.h>

namespace {

using namespace ObjectModel;

TEST(ModelStrings, ObjectNamesAreTheStringTablesTexts)
{
  struct Case {
    UINT id;
    const char* text;
  };
  const Case cases[] = {
      {IDS_OBJ_AREA, "Площадка"},          {IDS_OBJ_STRAIGHT_ROAD, "Прямая дорога"},
      {IDS_OBJ_ROAD, "Проезжая часть"},    {IDS_OBJ_PAVEMENT, "Тротуар"},
      {IDS_OBJ_WALL, "Стена здания"},      {IDS_OBJ_LINE_OF_ROAD, "Полоса"},
      {IDS_OBJ_RESULTS, "Расчетные данные"}, {IDS_OBJ_PROJECT, "Проект"},
      {IDS_OBJ_GROUPS_OF_DEV, "Группы ОП"}, {IDS_OBJ_GROUP_OF_DEV, "Группа"},
      {IDS_OBJ_POLE, "Опора"},
  };
  // Without a string table the model's own copies stand in; with it, the table's texts must be the same.
  for (const Case& c : cases)
    EXPECT_STREQ(LoadModelString(c.id).GetString(), c.text) << c.id;
  res::RegisterModules();
  for (const Case& c : cases) {
    CString fromTable;
    ASSERT_TRUE(fromTable.LoadString(c.id)) << c.id;
    EXPECT_STREQ(fromTable.GetString(), c.text) << c.id;
    EXPECT_STREQ(LoadModelString(c.id).GetString(), c.text) << c.id;
  }
}

}  // namespace
