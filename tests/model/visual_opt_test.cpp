#include "archive_bytes.h"
#include "model/identifiers.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "model/shell/shell_services.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

using ObjectModel::MakeFormatVersion;

struct OptionsHolder {
  OptionsHolder() { EXPECT_EQ(CreateVisualOpt(&options), S_OK); }
  ~OptionsHolder() { options->Release(); }
  IVisualOpt* operator->() const { return options; }
  IVisualOpt* options = nullptr;
};

// A profile in memory and a printing flag, as the application would answer them.
class ProfileShell : public Shell::CShellServices {
public:
  ProfileShell() { Shell::SetShellServices(this); }
  ~ProfileShell() override { Shell::SetShellServices(nullptr); }
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) override
  {
    auto it = values.find(std::string(section) + "\\" + entry);
    return static_cast<UINT>(it == values.end() ? defaultValue : it->second);
  }
  BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value) override
  {
    values[std::string(section) + "\\" + entry] = value;
    return TRUE;
  }
  BOOL IsPrintingInColor() override { return printInColour; }
  std::map<std::string, int> values;
  BOOL printInColour = TRUE;
};

TEST(VisualOpt, Defaults)
{
  OptionsHolder o;
  EXPECT_EQ(*o->GetQuantity(), 1);
  EXPECT_EQ(*o->GetResultDisplay(), 0);
  EXPECT_EQ(*o->GetAutoObserver(), 1);
  EXPECT_EQ(o->GetScreenOption(), 1);
  EXPECT_EQ(*o->GetImageOptions(), 0x1100);
  EXPECT_EQ(*o->GetScaleType(), 1);
  EXPECT_EQ(o->GetEffectiveScale(), 1);
  EXPECT_EQ(o->GetFontCount(), 5);
  LOGFONTA font{};
  EXPECT_EQ(o->GetFont(0, &font), 0);
  EXPECT_EQ(font.lfHeight, -30);
  EXPECT_EQ(font.lfCharSet, 204);
  EXPECT_EQ(font.lfQuality, 2);
  EXPECT_STREQ(font.lfFaceName, "Arial");
  EXPECT_EQ(o->GetFont(4, &font), 0);
  EXPECT_EQ(font.lfHeight, -40);
  EXPECT_EQ(o->GetFont(5, &font), 1);
  _PREF_OF_COLOR colour{};
  EXPECT_EQ(o->GetColour(7, &colour), 0);
  EXPECT_FLOAT_EQ(colour.g, 0.93f);
  EXPECT_EQ(o->GetColour(23, &colour), 1);
  EXPECT_EQ(o->GetColour(-1, &colour), 1);
  CArray<_PREF_OF_COLOR_LEVELS>* levels = nullptr;
  o->GetColourLevels1(&levels);
  ASSERT_EQ(levels->GetSize(), 9);
  EXPECT_EQ((*levels)[8].value, 40.0);
  EXPECT_EQ((*levels)[5].colour, 0x00FF64u);

  const int print = 1;
  o->SetPrintMode(&print);
  EXPECT_EQ(o->GetScreenOption(), 0);
}

TEST(VisualOpt, PrintColoursAndGreyLevels)
{
  ProfileShell shell;
  OptionsHolder o;
  const int print = 1;
  o->SetPrintMode(&print);
  _PREF_OF_COLOR c{};
  o->GetColour(0, &c);
  EXPECT_EQ(c.r, 1.0f);
  o->GetColour(7, &c);
  EXPECT_FLOAT_EQ(c.g, 0.93f);
  CArray<_PREF_OF_COLOR_LEVELS> out;
  const int illuminance = 1;
  o->GetColourLevels(&illuminance, nullptr, nullptr, &out);
  EXPECT_EQ(out[8].colour, 0x0000FFu);

  shell.printInColour = FALSE;
  o->GetColour(7, &c);
  EXPECT_EQ(c.g, 0.0f);
  o->GetColourLevels(&illuminance, nullptr, nullptr, &out);
  const unsigned greys[9] = {0, 28, 56, 85, 113, 141, 170, 198, 226};
  ASSERT_EQ(out.GetSize(), 9);
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(out[i].colour, RGB(greys[i], greys[i], greys[i])) << i;
  const int other = 3;
  o->GetColourLevels(&other, nullptr, nullptr, &out);
  EXPECT_EQ(out.GetSize(), 0);
}

TEST(VisualOpt, UserIsoLevelsInRange)
{
  OptionsHolder o;
  CArray<float>* luminance = nullptr;
  o->GetLuminanceLevels(&luminance);
  luminance->Add(1.0f);
  luminance->Add(5.0f);
  const int off = 0;
  o->SetAutoIsoLevels(&off);
  const int quantity = 0;
  CArray<float> out;
  float lo = 0.5f, hi = 2.0f;
  EXPECT_EQ(o->GetIsoLevelsInRange(&quantity, &lo, &hi, &out), 0);
  EXPECT_EQ(out.GetSize(), 2);
  lo = 6.0f;
  hi = 9.0f;
  EXPECT_EQ(o->GetIsoLevelsInRange(&quantity, &lo, &hi, &out), 1);
  EXPECT_EQ(out.GetSize(), 0);
  const int on = 1;
  o->SetAutoIsoLevels(&on);
  lo = 0.5f;
  hi = 2.0f;
  EXPECT_EQ(o->GetIsoLevelsInRange(&quantity, &lo, &hi, &out), 1);
  EXPECT_EQ(o->GetEffectiveScale(), 1);
}

TEST(VisualOpt, ProfileColoursOfSectionColors)
{
  ProfileShell shell;
  OptionsHolder o;
  o->LoadColours();  // nothing stored: the defaults truncated to hundredths
  _PREF_OF_COLOR c{};
  o->GetColour(0, &c);
  EXPECT_FLOAT_EQ(c.r, 0.08f);
  EXPECT_FLOAT_EQ(c.g, 0.24f);
  EXPECT_FLOAT_EQ(c.b, 0.41f);
  o->GetColour(11, &c);  // an exact hundredth stays what it is
  EXPECT_FLOAT_EQ(c.r, 0.26f);

  const _PREF_OF_COLOR green{0.1f, 0.5f, 0.25f};
  o->SetColour(3, &green);
  const int fill = 1;
  o->SetShowMoveFilling(&fill);
  EXPECT_EQ(shell.values["Settings\\ShowMoveFilling"], 1);
  o->SaveColours();
  EXPECT_EQ(shell.values["Colors\\element_r[3]"], 10);
  EXPECT_EQ(shell.values["Colors\\element_g[3]"], 50);
  EXPECT_EQ(shell.values["Colors\\element_b[3]"], 25);
  EXPECT_EQ(shell.values["Colors\\element_b[0]"], 41);
  EXPECT_EQ(shell.values["Colors\\element_r[11]"], 26);
  EXPECT_EQ(shell.values.size(), 23u * 3 + 1);

  shell.values["Colors\\element_g[22]"] = 75;
  shell.values["Settings\\ShowMoveFilling"] = 0;
  OptionsHolder fresh;
  fresh->LoadColours();
  fresh->GetColour(22, &c);
  EXPECT_FLOAT_EQ(c.g, 0.75f);
  fresh->GetColour(3, &c);
  EXPECT_FLOAT_EQ(c.g, 0.5f);
  EXPECT_EQ(fresh->GetShowMoveFilling(), 0);
}

// The report table's default rows, as the file carries them: 268 bytes each.
Bytes DefaultReportRows()
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
  b.u16(34);
  for (const Row& r : rows) {
    const std::size_t length = std::strlen(r.caption);
    b.i32(r.id).raw(r.caption, length).zeros(256 - length).i32(r.state).i32(0);
  }
  return b;
}

// The whole block of fresh options, written by hand from the field list.
Bytes DefaultBlock()
{
  Bytes b;
  b.i32(1).i32(0).i32(0).i32(1).i32(1).i32(1);
  b.append(DefaultReportRows());
  b.u16(5);
  for (int height : {-30, -40, -40, -40, -40}) {
    b.i32(height).i32(0).i32(0).i32(0).i32(400);
    const std::uint8_t bytes[8] = {0, 0, 0, 204, 0, 0, 2, 0};
    b.raw(bytes, 8).raw("Arial", 5).zeros(27);
  }
  b.u16(0).u16(0);      // luminance and illuminance levels
  b.i32(1).u16(0);      // scale type, semi-cylindrical levels
  b.i32(0);             // photometric solid
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
  return b;
}

TEST(VisualOpt, TheBlockOfNewOptionsIsExactlyTheFieldList)
{
  OptionsHolder o;
  EXPECT_EQ(o->GetReportPreferences()->Items().GetSize(), 34);
  StoringArchive ar;
  o->Serialize(ar.get(), ObjectModel::kCurrentFormatVersion);
  const Bytes expected = DefaultBlock();
  EXPECT_EQ(ar.bytes(), expected.data());
  EXPECT_EQ(DefaultReportRows().size(), 2u + 34 * 268);

  OptionsHolder loaded;
  const int quantity = 0;
  loaded->SetQuantity(&quantity);
  LoadingArchive in(expected.data());
  loaded->Serialize(in.get(), ObjectModel::kCurrentFormatVersion);
  EXPECT_EQ(*loaded->GetQuantity(), 1);
  tag_ITEM_PREF_OF_REPORT item{};
  ASSERT_TRUE(loaded->GetReportPreferences()->GetItem(206, &item));
  EXPECT_STREQ(item.caption, "Для текущего наблюдателя");
  EXPECT_EQ(item.state, 4);
}

TEST(VisualOpt, OldFileLoadsWithTheGatedDefaults)
{
  Bytes b;
  b.i32(0).i32(3).i32(2).i32(0).i32(1).i32(0);
  b.append(DefaultReportRows());
  b.u16(0);                                   // no fonts
  b.u16(2).f32(1.0f).f32(2.0f).u16(0);        // luminance levels, illuminance levels
  OptionsHolder o;
  const int two = 2;
  o->SetScaleType(&two);
  o->SetShowPhotometricSolid(&two);
  CArray<float>* semi = nullptr;
  o->GetSemiCylLevels(&semi);
  semi->Add(3.0f);
  LoadingArchive ar(b.data());
  o->Serialize(ar.get(), MakeFormatVersion(4, 0, 17, 0));
  EXPECT_EQ(*o->GetResultDisplay(), 3);
  EXPECT_EQ(*o->GetScaleType(), 1);
  EXPECT_EQ(semi->GetSize(), 0);
  EXPECT_EQ(*o->GetShowPhotometricSolid(), 0);
  LOGFONTA font{};
  EXPECT_EQ(o->GetFont(0, &font), 1);
  CArray<_PREF_OF_COLOR_LEVELS>* levels = nullptr;
  o->GetColourLevels0(&levels);
  EXPECT_EQ(levels->GetSize(), 9);
}

TEST(VisualOpt, HostileCountsAreRefused)
{
  Bytes b;
  b.i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).u16(0xFFFF).u32(0x7FFFFFFF).zeros(268);
  OptionsHolder o;
  LoadingArchive ar(b.data());
  EXPECT_EQ(ArchiveErrorOf([&] { o->Serialize(ar.get(), ObjectModel::kCurrentFormatVersion); }),
            CArchiveException::endOfFile);
}

TEST(VisualOpt, CopyTakesTheCurrentValuesNotTheDefaults)
{
  OptionsHolder source;
  OptionsHolder copy;
  const int display = 3;
  source->SetResultDisplay(&display);
  const _PREF_OF_COLOR red{1, 0, 0};
  source->SetColour(0, &red);
  tag_ITEM_PREF_OF_REPORT row{};
  row.state = 1;
  source->GetReportPreferences()->SetItemState(305, &row, FALSE);
  source->CopyTo(copy.options);
  EXPECT_EQ(*copy->GetResultDisplay(), 3);
  _PREF_OF_COLOR c{};
  copy->GetColour(0, &c);
  EXPECT_EQ(c.g, 0.0f);
  copy->GetDefaultColour(0, &c);
  EXPECT_FLOAT_EQ(c.g, 0.243f);
  tag_ITEM_PREF_OF_REPORT item{};
  copy->GetReportPreferences()->GetItem(305, &item);
  EXPECT_EQ(item.state, 1);
  void* other = nullptr;
  EXPECT_EQ(copy->QueryInterface(&IID_IClassObjModel, &other), E_NOINTERFACE);
}

}  // namespace
