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
  case IDS_OBJ_CUSTOMIZE_ROAD: return "Открытые территории в одном уровне";
  case IDS_OBJ_INTERCHANGE: return "Многоуровневые развязки";
  case IDS_OBJ_PRIMITIVE: return "Примитив";
  case IDS_OBJ_BACKGROUND: return "Фон";
  case IDS_OBJ_SHADING: return "Объекты затенения";
  case IDS_OBJ_PRIMITIVE_GROUP: return "Группа примитивов";
  case IDS_OBJ_MARKING: return "Разметка";
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
