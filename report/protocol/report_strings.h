// The string-table texts the report writes, by their ids in the program's resources.
#pragma once

#include "platform/mfc-core/mfcstring.h"

inline constexpr UINT IDS_REPORT_STRAIGHT_ROAD = 122;     // "Прямая дорога"
inline constexpr UINT IDS_REPORT_NOT_CALCULATED = 279;    // "Расчет не выполнялся"
inline constexpr UINT IDS_REPORT_DATA_CHANGED = 280;      // "Данные изменены"
inline constexpr UINT IDS_REPORT_OPEN_SITE = 296;         // "Открытые территории в одном уровне"
inline constexpr UINT IDS_REPORT_TURN = 527;              // "Поворот"
inline constexpr UINT IDS_REPORT_CROSSING = 540;          // "Пересечение"
inline constexpr UINT IDS_REPORT_JUNCTION = 552;          // "Примыкание"
inline constexpr UINT IDS_REPORT_FORK = 559;              // "Развилка"
inline constexpr UINT IDS_REPORT_WIDENING = 573;          // "Уширение"
inline constexpr UINT IDS_REPORT_ROUNDABOUT = 586;        // "Кольцевое пересечение"
inline constexpr UINT IDS_REPORT_INTERCHANGE = 774;       // "Многоуровневые развязки"

// The text of a string-table id; empty when the resources do not have it.
CString LoadReportString(UINT id);
// The kind name of an open-site area by its typical form; 0 for a form that has none (6 and unknown forms).
UINT TypicalFormStringId(int typicalForm);
