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
inline constexpr UINT IDS_REPORT_ONE_SIDED_RIGHT = 258;   // "односторонняя правая"
inline constexpr UINT IDS_REPORT_ONE_SIDED_LEFT = 262;    // "односторонняя левая"
inline constexpr UINT IDS_REPORT_TWO_SIDED = 263;         // "двусторонняя"
inline constexpr UINT IDS_REPORT_STAGGERED = 264;         // "шахматная"
inline constexpr UINT IDS_REPORT_CENTRAL = 265;           // "центральная"
inline constexpr UINT IDS_REPORT_SUSPENDED = 266;         // "подвесная"
inline constexpr UINT IDS_REPORT_ON_POLE = 340;           // "На опоре"
inline constexpr UINT IDS_REPORT_ON_MAST = 341;           // "На мачте"
inline constexpr UINT IDS_REPORT_ON_FLOOR_LAMP = 488;     // "На торшере"
inline constexpr UINT IDS_REPORT_MOUNT_BELOW = 491;       // "снизу"
inline constexpr UINT IDS_REPORT_MOUNT_ABOVE = 492;       // "сверху"
inline constexpr UINT IDS_REPORT_INDIVIDUAL = 344;        // "Индивидуальная"
inline constexpr UINT IDS_REPORT_IN_LINE = 345;           // "В линию"
inline constexpr UINT IDS_REPORT_ON_CIRCLE = 346;         // "По окружности"
inline constexpr UINT IDS_REPORT_BY_POINTS = 762;         // "По точкам"
inline constexpr UINT IDS_REPORT_ALONG_CONTOUR = 820;     // "По контуру"
inline constexpr UINT IDS_REPORT_LUMINAIRES_IN_GROUP = 709;  // "Количество ОП в группе"
inline constexpr UINT IDS_REPORT_LUMINAIRES_PER_KM = 710;    // "Количество ОП на 1 км   "
inline constexpr UINT IDS_REPORT_POLES_PER_KM = 714;         // "Количество опор (мачт) на 1 км "
inline constexpr UINT IDS_REPORT_POLES = 726;                // "Количество опор (мачт) "
inline constexpr UINT IDS_REPORT_BRACKETS_PER_KM = 727;      // "Количество кронштейнов на 1 км"
inline constexpr UINT IDS_REPORT_BRACKETS = 728;             // "Количество кронштейнов"

// The text of a string-table id; empty when the resources do not have it.
CString LoadReportString(UINT id);
// The kind name of an open-site area by its typical form; 0 for a form that has none (6 and unknown forms).
UINT TypicalFormStringId(int typicalForm);
