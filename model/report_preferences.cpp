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
  // A row missing from a table read from a file reads as off; the caller's caption stays.
  out->id = id;
  out->state = 0;
  out->treeItem = 0;
  return FALSE;
}

tag_ITEM_PREF_OF_REPORT* CPreferencesOfReport::Find(int id)
{
  for (tag_ITEM_PREF_OF_REPORT& item : m_items)
    if (item.id == id)
      return &item;
  return nullptr;
}

int CPreferencesOfReport::StateOf(int id) const
{
  for (const tag_ITEM_PREF_OF_REPORT& item : m_items)
    if (item.id == id)
      return item.state;
  return 0;
}

void CPreferencesOfReport::Store(int id, int state)
{
  tag_ITEM_PREF_OF_REPORT row{};
  GetItem(id, &row);
  row.state = state;
  SetItemState(id, &row, FALSE);
}

// Off when every part is off, on when every part is on, else partly on. `state` stands for the row being set,
// which is not stored yet.
void CPreferencesOfReport::Recompute(int parent, std::initializer_list<int> parts, int settingId, int state)
{
  bool allOff = true;
  bool allOn = true;
  for (int part : parts) {
    const int s = part == settingId ? state : StateOf(part);
    allOff = allOff && s == 0;
    allOn = allOn && s == 2;
  }
  Store(parent, allOff ? 0 : allOn ? 2 : 1);
}

// Sections x05 (2 luminance, 3 illuminance, 4 semi-cylindrical, 5 the wall) have the parts x08 isolines, x09 fill,
// x10 node values beneath the fill, x11 the table and 70x false colours.
void CPreferencesOfReport::Propagate(int id, int s)
{
  const int section = id / 100;
  const int part = id % 100;
  const bool inSection = section >= 2 && section <= 5;
  const auto recomputeSection = [&](int x) {
    Recompute(x * 100 + 5, {x * 100 + 8, x * 100 + 9, 700 + x - 2, x * 100 + 11}, id, s);
  };
  if (id == 102) {
    Store(103, s);
    Store(104, s);
  } else if (id == 103 || id == 104) {
    Recompute(102, {103, 104}, id, s);
  } else if (id == 105) {
    Store(106, s);
    for (int x : {205, 305, 405, 505}) {
      tag_ITEM_PREF_OF_REPORT row{};
      GetItem(x, &row);
      row.state = s;
      SetItemState(x, &row, TRUE);
    }
  } else if (id == 106) {
    Recompute(105, {106, 205, 305, 405, 505}, id, s);
  } else if (id >= 700 && id <= 703) {
    recomputeSection(id - 700 + 2);
  } else if (inSection && part == 5) {
    for (int p : {8, 9, 10, 11})
      Store(section * 100 + p, s);
    Store(700 + section - 2, s);
  } else if (id == 206 || id == 207) {
    if (s == 3 || s == 4)
      Store(id == 206 ? 207 : 206, s == 4 ? 3 : 4);
  } else if (inSection && (part == 8 || part == 11)) {
    recomputeSection(section);
  } else if (inSection && part == 9) {
    Store(id + 1, s);
    recomputeSection(section);
  } else if (inSection && part == 10) {
    Store(id - 1, s == 2 ? 2 : 1);  // fill without node values is partly on
    recomputeSection(section);
  }
}

// The rows whose store ends by storing 106 again, so that 105 follows the sections.
bool CPreferencesOfReport::EndsWithSummary(int id)
{
  if (id >= 700 && id <= 703)
    return true;
  const int section = id / 100;
  const int part = id % 100;
  if (section == 2)
    return part == 5 || (part >= 8 && part <= 11);
  return section >= 3 && section <= 5 && part >= 5 && part <= 11;
}

BOOL CPreferencesOfReport::SetItemState(int id, const tag_ITEM_PREF_OF_REPORT* row, BOOL propagate)
{
  if (Find(id) == nullptr)
    return FALSE;
  const tag_ITEM_PREF_OF_REPORT given = *row;  // the rules may store into the caller's row
  if (propagate)
    Propagate(id, given.state);
  tag_ITEM_PREF_OF_REPORT* item = Find(id);
  std::memcpy(item->caption, given.caption, sizeof item->caption);
  item->state = given.state;
  item->treeItem = given.treeItem;
  if (propagate && EndsWithSummary(id)) {
    tag_ITEM_PREF_OF_REPORT summary{};
    GetItem(106, &summary);
    SetItemState(106, &summary, TRUE);
  }
  return TRUE;
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
