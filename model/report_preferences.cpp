#include "model/report_preferences.h"

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <cstring>

namespace {

struct DefaultItem {
  std::int32_t id;
  const char* caption;
  std::int32_t state;
};

constexpr DefaultItem kDefaultItems[] = {
    {100, "Титульный лист", 0},
    {101, "Параметры дороги", 2},
    {102, "Параметры групп ОП", 1},
    {103, "Размещение ОП", 2},
    {104, "Параметры ОП", 0},
    {105, "Результаты расчета", 1},
    {106, "Сводные данные", 2},
    {205, "Распределение яркости", 0},
    {206, "Для текущего наблюдателя", 4},
    {207, "Для всех наблюдателей", 3},
    {208, "Изолинии", 0},
    {209, "Заливка", 0},
    {210, "Значения в узлах", 0},
    {211, "Таблица значений", 0},
    {305, "Распределение освещенности", 0},
    {308, "Изолинии", 0},
    {309, "Заливка", 0},
    {310, "Значения в узлах", 0},
    {311, "Таблица значений", 0},
    {405, "Распределение полуцилиндрической освещенности", 0},
    {408, "Изолинии", 0},
    {409, "Заливка", 0},
    {410, "Значения в узлах", 0},
    {411, "Таблица значений", 0},
    {505, "Распределение освещенности по стене здания", 0},
    {508, "Изолинии", 0},
    {509, "Заливка", 0},
    {510, "Значения в узлах", 0},
    {511, "Таблица значений", 0},
    {600, "Экономический расчет", 0},
    {700, "Фиктивные цвета", 0},
    {701, "Фиктивные цвета", 0},
    {702, "Фиктивные цвета", 0},
    {703, "Фиктивные цвета", 0},
};

}  // namespace

CPreferencesOfReport::CPreferencesOfReport() { SetDefaults(); }

CPreferencesOfReport::~CPreferencesOfReport() { m_items.RemoveAll(); }

void CPreferencesOfReport::SetDefaults()
{
  m_items.RemoveAll();
  for (const DefaultItem& d : kDefaultItems) {
    tag_ITEM_PREF_OF_REPORT item{};
    item.id = d.id;
    std::strncpy(item.caption, d.caption, sizeof item.caption - 1);
    item.state = d.state;
    m_items.Add(item);
  }
}

void CPreferencesOfReport::Assign(const CPreferencesOfReport& other)
{
  if (&other == this)
    return;
  m_items.RemoveAll();
  for (const tag_ITEM_PREF_OF_REPORT& item : other.m_items)
    m_items.Add(item);
}

BOOL CPreferencesOfReport::GetItem(int id, tag_ITEM_PREF_OF_REPORT* out) const
{
  for (const tag_ITEM_PREF_OF_REPORT& item : m_items) {
    if (item.id == id) {
      *out = item;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPreferencesOfReport::SetItemState(int id, const tag_ITEM_PREF_OF_REPORT* row, BOOL)
{
  for (tag_ITEM_PREF_OF_REPORT& item : m_items) {
    if (item.id == id) {
      item.state = row->state;
      return TRUE;
    }
  }
  return FALSE;
}

void CPreferencesOfReport::Serialize(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(m_items.GetSize()));
    for (const tag_ITEM_PREF_OF_REPORT& item : m_items) {
      ar << item.id;
      ar.Write(item.caption, sizeof item.caption);
      ar << item.state << item.treeItem;
    }
    return;
  }
  const DWORD_PTR count = ar.ReadCount();
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * kRecordBytes);
  m_items.RemoveAll();
  for (DWORD_PTR i = 0; i < count; ++i) {
    tag_ITEM_PREF_OF_REPORT item{};
    ar >> item.id;
    if (ar.Read(item.caption, sizeof item.caption) != sizeof item.caption)
      AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    // A caption without its terminator must not run past its field.
    item.caption[sizeof item.caption - 1] = '\0';
    ar >> item.state >> item.treeItem;
    m_items.Add(item);
  }
}
