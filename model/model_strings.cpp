#include "model/model_strings.h"

namespace ObjectModel {

namespace {

const char* BuiltInText(UINT id)
{
  switch (id) {
  case IDS_OBJ_PROJECT: return "Проект";
  case IDS_OBJ_AREA: return "Площадка";
  case IDS_OBJ_STRAIGHT_ROAD: return "Прямая дорога";
  case IDS_OBJ_ROAD: return "Проезжая часть";
  case IDS_OBJ_PAVEMENT: return "Тротуар";
  case IDS_OBJ_WALL: return "Стена здания";
  case IDS_OBJ_GROUPS_OF_DEV: return "Группы ОП";
  case IDS_OBJ_LINE_OF_ROAD: return "Полоса";
  case IDS_OBJ_GROUP_OF_DEV: return "Группа";
  case IDS_OBJ_RESULTS: return "Расчетные данные";
  case IDS_OBJ_POLE: return "Опора";
  default: return "";
  }
}

}  // namespace

CString LoadModelString(UINT id)
{
  CString text;
  if (text.LoadString(id))
    return text;
  return CString(BuiltInText(id));
}

}  // namespace ObjectModel
