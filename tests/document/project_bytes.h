// Whole project files written by hand from the field lists of the container and of each block: a straight
// road with its cross-section, pole groups and an empty results block, in the forms of 4.0.2.0, 4.0.17.0 and
// 6.0.42.0. Nothing here is produced by the code under test.
#pragma once

#include "model/version.h"
#include "tests/model/archive_bytes.h"

#include <string>

namespace fixtures {

using ObjectModel::MakeFormatVersion;

inline const DWORD v4_0_0_0 = MakeFormatVersion(4, 0, 0, 0);
inline const DWORD v4_0_2_0 = MakeFormatVersion(4, 0, 2, 0);
inline const DWORD v4_0_17_0 = MakeFormatVersion(4, 0, 17, 0);
inline const DWORD v6_0_42_0 = MakeFormatVersion(6, 0, 42, 0);

inline bool AtLeast(DWORD version, unsigned a, unsigned b, unsigned c, unsigned d)
{
  return version >= MakeFormatVersion(a, b, c, d);
}

// The visual options: six words, the 34 report rows, fonts, level lists, then the gated fields.
inline Bytes VisualOptions(DWORD version)
{
  struct Row {
    int id;
    const char* caption;
    int state;
  };
  const Row rows[] = {
      {100, "Титульный лист", 0}, {101, "Параметры дороги", 2}, {102, "Параметры групп ОП", 1},
      {103, "Размещение ОП", 2}, {104, "Параметры ОП", 0}, {105, "Результаты расчета", 1},
      {106, "Сводные данные", 2}, {205, "Распределение яркости", 0}, {206, "Для текущего наблюдателя", 4},
      {207, "Для всех наблюдателей", 3}, {208, "Изолинии", 0}, {209, "Заливка", 0},
      {210, "Значения в узлах", 0}, {211, "Таблица значений", 0}, {305, "Распределение освещенности", 0},
      {308, "Изолинии", 0}, {309, "Заливка", 0}, {310, "Значения в узлах", 0}, {311, "Таблица значений", 0},
      {405, "Распределение полуцилиндрической освещенности", 0}, {408, "Изолинии", 0}, {409, "Заливка", 0},
      {410, "Значения в узлах", 0}, {411, "Таблица значений", 0},
      {505, "Распределение освещенности по стене здания", 0}, {508, "Изолинии", 0}, {509, "Заливка", 0},
      {510, "Значения в узлах", 0}, {511, "Таблица значений", 0}, {600, "Экономический расчет", 0},
      {700, "Фиктивные цвета", 0}, {701, "Фиктивные цвета", 0}, {702, "Фиктивные цвета", 0},
      {703, "Фиктивные цвета", 0},
  };
  Bytes b;
  b.i32(2).i32(3).i32(0).i32(1).i32(1).i32(1);  // quantity 2: semi-cylindrical, not the default
  b.u16(34);
  for (const Row& r : rows) {
    const std::size_t length = std::strlen(r.caption);
    b.i32(r.id).raw(r.caption, length).zeros(256 - length).i32(r.state).i32(0);
  }
  b.u16(5);
  for (int height : {-30, -40, -40, -40, -40}) {
    b.i32(height).i32(0).i32(0).i32(0).i32(400);
    const std::uint8_t bytes[8] = {0, 0, 0, 204, 0, 0, 2, 0};
    b.raw(bytes, 8).raw("Arial", 5).zeros(27);
  }
  b.u16(2).f32(1.0f).f32(2.0f);  // luminance levels
  b.u16(0);                       // illuminance levels
  if (AtLeast(version, 4, 0, 18, 0))
    b.i32(1).u16(0);  // scale type, semi-cylindrical levels
  if (AtLeast(version, 4, 2, 0, 0))
    b.i32(0);  // photometric solid
  if (AtLeast(version, 5, 0, 4, 0)) {
    const double values[3][9] = {{0, 1.25, 1.5, 1.75, 2.0, 2.25, 2.5, 2.75, 3.0},
                                 {0, 5, 10, 15, 20, 25, 30, 35, 40},
                                 {0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5, 5.0}};
    const std::uint32_t colours[9] = {0x000000, 0x640000, 0xFF0000, 0x006400, 0x00C832,
                                      0x00FF64, 0x00FFFF, 0x0064FF, 0x0000FF};
    for (const auto& scale : values) {
      b.u16(9);
      for (int i = 0; i < 9; ++i)
        b.f64(scale[i]).u32(colours[i]).i32(0);
    }
  }
  return b;
}

inline Bytes NormsBlock(DWORD version)
{
  Bytes b;
  b.i32(2).str("А1").i32(0x10).i64(0x0102030405060708LL);
  for (int i = 0; i < 9; ++i)
    b.f64(1.0 + i);
  for (int i = 0; i < 9; ++i)
    b.f64(11.0 + i);
  b.f64(10.0).f64(20.0);
  if (AtLeast(version, 4, 3, 0, 0))
    b.f64s({30, 31, 32, 33, 34, 35});
  if (AtLeast(version, 5, 0, 20, 0))
    b.f64s({40, 41, 42, 43});
  return b;
}

inline Bytes AreaBlock(DWORD version, const std::string& caption)
{
  Bytes b;
  b.str(caption).f64(31.5).f64(200.0).i32(1);
  b.append(NormsBlock(version));
  if (AtLeast(version, 4, 0, 3, 0))
    b.f32s({1, 2, 3, 4, 5});
  if (AtLeast(version, 4, 0, 9, 0))
    b.f32s({6, 7, 8});
  if (AtLeast(version, 4, 0, 15, 0))
    b.i32(0).i32(5);  // typical form, area number
  if (AtLeast(version, 4, 0, 18, 0)) {
    b.i32(0).i32(1).i32(3);  // lighting output, economic output, grid mode
    for (int camera = 0; camera < 8; ++camera)
      b.f64s({100.0 + camera, 0, 10, 0, 0, 0});
  }
  if (AtLeast(version, 4, 2, 0, 0))
    b.i32(0);  // underlay id
  if (AtLeast(version, 4, 2, 0, 2))
    b.f64(0.5);  // grid step
  if (AtLeast(version, 4, 3, 0, 0))
    b.i32(0);  // calc-area id
  if (AtLeast(version, 4, 3, 5, 0))
    b.f64(7.0);  // base height
  if (AtLeast(version, 5, 0, 15, 0))
    b.f64s({1000, 2000, 3});  // report origin
  return b;
}

inline Bytes Strip(int type, int state, double width, double gap)
{
  Bytes b;
  b.i32(type).i32(state).f64(width).i32(0).f64(1.0).f64(1.0).f64(gap);
  return b;
}

inline Bytes CrossSection()
{
  Bytes b;
  b.i32(1).str("Проезжая часть").i32(1).i32(0).i32(3);
  b.append(Strip(0, 1, 3.5, 0)).append(Strip(0, 1, 3.5, 0)).append(Strip(0, 1, 3.0, 0));
  b.i32(0x301).str("Тротуар").i32(0).i32(1).append(Strip(0, 1, 2.5, 1.5));
  b.i32(0x3001).str("Стена здания").i32(1).append(Strip(0, 0x1000, 12.0, 3.0)).i32(1).append(Strip(0, 0x2000, 15.0, 4.0));
  return b;
}

// One group with one pole on a one-arm bracket, in the form from 4.0.13.1 to 4.0.17.0; other versions carry
// no group.
inline Bytes GroupsBlock(DWORD version)
{
  Bytes b;
  if (version != v4_0_17_0) {
    b.str("Группы ОП").f64(1.4).i32(0);
    if (AtLeast(version, 4, 0, 16, 0))
      b.i32(0);
    return b;
  }
  b.str("Группы ОП").f64(1.4).i32(1);
  b.u32(0xA1B2C3D4u).u16(5).u16(6).zeros(8);
  b.i32(5).str("Группа").i32(3).f64(35.0).f64(2.5);
  b.i32(0).i32(0);
  b.f64s({0, 0, 0, 30.0});
  b.i32(1);
  b.f64s({11.0, 1.5, 0.8, 10.0, 0.0}).i32(0);
  b.f64s({0, -1.0, 0}).i32(17);
  b.f64(0).f64s({5, 5, 0}).i32(35);
  b.f64(45).f64(0).i32(0);
  b.str("ОТ").str("Опора").str("ОТ").f64(9.0);
  b.i32(1).i32(0);
  b.str("К").str("К").str("Кронштейн").f64s({1.5, 1.5, 15.0});
  b.str("").str("ЖКУ").str("").str("").str("ДНаТ").f64(150).f64(15000).u32(0x10020100u);
  b.i32(1).i32(1).i32(0).i32(0);
  b.i32(0);  // option (4.0.16.0)
  return b;
}

inline Bytes EmptyResults(DWORD version)
{
  Bytes b;
  b.i32(0).u32(0).i32(0).i32(0);
  b.u32(0).zeros(20).f32(0);
  b.u32(0).zeros(20).f32(0);
  b.u32(0).u32(0).f32(0).u32(0).f32(0);
  b.u32(0).i32(0).u32(0).zeros(40);
  b.u32(0).u32(0).zeros(20);
  if (AtLeast(version, 4, 0, 4, 0))
    b.u32(0);
  if (AtLeast(version, 4, 3, 5, 0))
    b.u32(0).u32(0);
  if (AtLeast(version, 4, 0, 17, 0))
    b.zeros(20);
  if (AtLeast(version, 4, 3, 5, 0))
    b.zeros(8);
  return b;
}

inline Bytes StraightRoadClassId()
{
  Bytes b;
  b.u32(0xA354AAA1u).u16(0x5DAF).u16(0x436A).raw("\x97\x13\x69\xBB\x09\x0E\x95\x71", 8);
  return b;
}

// The project block: title data, the areas, then the gated counter and economics.
inline Bytes ProjectBlock(DWORD version, int areas)
{
  Bytes b;
  b.str("Проект из файла").str("Улица Ленина").str("17").i32(0).f64(40000.5).str("Иванов").str("Бюро").str("Город");
  b.i32(areas);
  for (int i = 0; i < areas; ++i) {
    b.append(StraightRoadClassId());
    b.append(AreaBlock(version, "Участок " + std::to_string(i + 1)));
    b.append(CrossSection()).append(GroupsBlock(version)).append(EmptyResults(version));
  }
  if (AtLeast(version, 4, 0, 15, 0))
    b.i32(areas + 4);
  if (AtLeast(version, 4, 0, 18, 0)) {
    b.i32(350).i32(4100);
    b.f64s({0.12, 1.05, 0.1, 0.04, 0.05});
    b.i32(1).i32(0);
  }
  return b;
}

// The render core's block: empty before 4.2.0.0; no rasters, no managers and no drawings from 4.3.0.0.
inline Bytes GraphicsBlock(DWORD version)
{
  Bytes b;
  if (AtLeast(version, 4, 3, 0, 0))
    b.i32(0).i32(0).i32(0);
  else if (AtLeast(version, 4, 2, 0, 0))
    b.i32(0);
  return b;
}

inline Bytes Header(DWORD version, DWORD viewMode = 0x2C2)
{
  Bytes b;
  b.raw("QORR", 4).u32(version).u32(viewMode);
  if (version < MakeFormatVersion(4, 0, 3, 0))
    b.u32(11).u32(12).u32(13).u32(14).u32(15);
  return b;
}

inline Bytes ProjectFile(DWORD version, int areas = 1)
{
  Bytes b = Header(version);
  b.append(VisualOptions(version)).append(ProjectBlock(version, areas)).append(GraphicsBlock(version));
  return b;
}

}  // namespace fixtures
