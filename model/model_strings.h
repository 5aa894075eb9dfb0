// The string-table texts the model's objects take as their names.
#pragma once

#include "platform/mfc-core/mfcstring.h"

namespace ObjectModel {

inline constexpr UINT IDS_OBJ_PROJECT = 101;       // "Проект"
inline constexpr UINT IDS_OBJ_AREA = 121;          // "Площадка"
inline constexpr UINT IDS_OBJ_STRAIGHT_ROAD = 122; // "Прямая дорога"
inline constexpr UINT IDS_OBJ_ROAD = 131;          // "Проезжая часть"
inline constexpr UINT IDS_OBJ_PAVEMENT = 134;      // "Тротуар"
inline constexpr UINT IDS_OBJ_WALL = 136;          // "Стена здания"
inline constexpr UINT IDS_OBJ_GROUPS_OF_DEV = 150; // "Группы ОП"
inline constexpr UINT IDS_OBJ_LINE_OF_ROAD = 152;  // "Полоса"
inline constexpr UINT IDS_OBJ_GROUP_OF_DEV = 231;  // "Группа"
inline constexpr UINT IDS_OBJ_RESULTS = 277;       // "Расчетные данные"
inline constexpr UINT IDS_OBJ_POLE = 292;          // "Опора"
inline constexpr UINT IDS_OBJ_CUSTOMIZE_ROAD = 296; // "Открытые территории в одном уровне"
inline constexpr UINT IDS_OBJ_PRIMITIVE = 300;     // "Примитив"
inline constexpr UINT IDS_OBJ_BACKGROUND = 315;    // "Фон"
inline constexpr UINT IDS_OBJ_SHADING = 750;       // "Объекты затенения"
inline constexpr UINT IDS_OBJ_INTERCHANGE = 774;   // "Многоуровневые развязки"
inline constexpr UINT IDS_OBJ_PRIMITIVE_GROUP = 776; // "Группа примитивов"
inline constexpr UINT IDS_OBJ_MARKING = 815;       // "Разметка"

// The string-table text, or the model's own copy of it while no string table is loaded.
CString LoadModelString(UINT id);

}  // namespace ObjectModel
