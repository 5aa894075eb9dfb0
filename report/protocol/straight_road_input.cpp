// The input data of the straight-road protocol: the cross-section and norms of the road, the groups' common data,
// and per switched-on group its placement with two pictures and its luminaire with two intensity diagrams. A row
// is a caption, tabs that align the next column, an optional unit and the value, ended by line breaks.
#include "report/protocol/protocol_sections.h"

#include "report/protocol/input_rows.h"

#include "graphics/core/model_ref.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/ipole.h"
#include "model/iroad.h"
#include "model/ivisualopt.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/standards.h"
#include "report/protocol/report_strings.h"
#include "report/rtf/rtf_writer.h"

namespace {

constexpr int kResetColours = 8;
constexpr DWORD kPlacementScene = 0x42001;
constexpr DWORD kPlacementPlan = 0x21001;

// A position row: caption, tabs, the letter (in Symbol when asked) and 1 tab, the unit and 1 tab, the value.
void PositionRow(CRTFWriter& w, const char* caption, int tabs, const char* letter, bool symbol, const char* unit,
                 const CString& value)
{
  w.WriteText(caption);
  w.WriteTabs(tabs);
  if (letter != nullptr) {
    if (symbol) {
      w.SetFont(3, 20, 0);
    }
    w.WriteText(letter);
    if (symbol) {
      w.SetFont(2, 20, 0);
    }
    w.WriteTabs(1);
  }
  w.WriteText(unit);
  w.WriteTabs(1);
  w.WriteText(value);
}

UINT ArrangementStringId(int scheme)
{
  switch (scheme) {
  case 0: return IDS_REPORT_ONE_SIDED_RIGHT;
  case 1: return IDS_REPORT_ONE_SIDED_LEFT;
  case 2: return IDS_REPORT_TWO_SIDED;
  case 3: return IDS_REPORT_STAGGERED;
  case 4: return IDS_REPORT_CENTRAL;
  case 5: return IDS_REPORT_SUSPENDED;
  default: return 0;
  }
}


void Carriageway(CProtocolFrame& f, IRoad& road, double& fullWidth)
{
  CRTFWriter& w = f.writer;
  const int main = 0, divider = 1, opposite = 2;
  const bool twoWay = road.IsTwoWay() != 0;
  const bool hasDivider = twoWay && road.HasDivider() != 0;
  f.SubHeading("{Проезжая часть}", 11);
  Row(w, "{Движение}", 9, nullptr, twoWay ? "{двустороннее}" : "{одностороннее}");
  const UINT mainLanes = road.GetLaneCount(&main);
  const double mainWidth = road.GetLaneWidth(&main);
  Row(w, "{Число полос движения  }", 7, nullptr, Format("{ %.0f}", mainLanes));
  Row(w, "{Ширина полосы движения}", 6, "{м}", Format("{ %.2f}", mainWidth));
  fullWidth = mainLanes * mainWidth;
  if (twoWay) {
    const UINT oppositeLanes = road.GetLaneCount(&opposite);
    const double oppositeWidth = road.GetLaneWidth(&opposite);
    Row(w, "{Число полос движения (встречное направление)}", 4, nullptr, Format("{ %.0f}", oppositeLanes));
    Row(w, "{Ширина полосы движения (встречное направление)}", 3, "{м}", Format("{ %.2f}", oppositeWidth));
    fullWidth += oppositeLanes * oppositeWidth;
  }
  if (hasDivider) {
    const double dividerWidth = road.GetLaneWidth(&divider);
    Row(w, "{Ширина разделительной полосы}", 5, "{м}", Format("{ %.2f}", dividerWidth));
    fullWidth += dividerWidth;
    if (road.HasParapet() != 0) {
      Row(w, "{Высота парапета}", 7, "{м}", Format("{ %.2f}", road.GetParapetHeight()));
      Row(w, "{Ширина парапета}", 7, "{м}", Format("{ %.2f}", road.GetParapetWidth()));
    }
  }
  Row(w, "{Полная ширина проезжей части}", 5, "{м}", Format("{ %.2f}", fullWidth));
  w.WriteText("{Покрытие}");
  w.WriteTabs(9);
  w.WriteText(road.GetSurface() != 0 ? "{шероховатое}" : "{мелкозернистое}");
  w.WriteLineBreaks(1);
  w.WriteTabs(10);
  w.WriteText("{асфальтобетонное}");
  w.WriteLineBreaks(1);
  w.WriteTabs(10);
  w.WriteText("{по ГОСТ Р 55708-2013}");
  w.WriteLineBreaks(1);
  w.EndParagraph();
}

// The strip of one side when it can be had and is on.
ModelRef<ILineOfRoad> StripOn(IModelUnknown* owner, const IID& side)
{
  ModelRef<ILineOfRoad> strip(owner, side);
  if (strip && *strip->GetState() == 0) {
    return {};
  }
  return strip;
}

}  // namespace

bool CStraightRoadSections::InputData(CProtocolFrame& f)
{
  CRTFWriter& w = f.writer;
  f.SectionHeading({"{Исходные данные}", "\\tab\\tab\\tab\\tab\\tab\\tab", "{Параметры дороги}", "\\tab"});
  f.AddContent(0, "{Исходные данные}", 1, 0, 0, 2);
  if (f.roadShown) {
    f.AddContent(0, "{Параметры дороги}", 0, 10, f.CurrentPage(), 2);
  }
  double fullWidth = 0;
  ModelRef<IRoad> road(f.area.get(), IID_IRoad);
  if (f.roadShown && road) {
    Carriageway(f, *road.get(), fullWidth);
  }

  bool rightSidewalk = false, leftSidewalk = false;
  if (f.sidewalksShown) {
    ModelRef<IPavement> sidewalks(f.area.get(), IID_IPavement);
    const struct {
      const IID& side;
      const char* heading;
      int breaks;
      bool& written;
    } sides[] = {{IID_RightPavement, "Тротуар (правый)", 2, rightSidewalk},
                 {IID_LeftPavement, "Тротуар (левый)", 1, leftSidewalk}};
    for (const auto& side : sides) {
      ModelRef<ILineOfRoad> strip = StripOn(sidewalks.get(), side.side);
      if (!strip) {
        continue;
      }
      f.SubHeading(side.heading, 11);
      Row(w, "{Ширина }", 8, "{м}", Format("{ %.2f}", *strip->GetWidth()));
      Row(w, "{Зазор между тротуаром и проезжей частью}", 4, "{м}", Format("{ %.2f}", *strip->GetGap()),
          side.breaks);
      fullWidth += *strip->GetWidth() + *strip->GetGap();
      side.written = true;
    }
    w.EndParagraph();
  }

  if (f.wallsShown) {
    ModelRef<IWall> walls(f.area.get(), IID_IWall);
    const struct {
      const IID& side;
      const char* heading;
      bool sidewalk;
    } sides[] = {{IID_RightWall, "{Стена здания (правая)}", rightSidewalk},
                 {IID_LeftWall, "{Стена здания (левая)}", leftSidewalk}};
    for (const auto& side : sides) {
      ModelRef<ILineOfRoad> strip = StripOn(walls.get(), side.side);
      if (!strip) {
        continue;
      }
      f.SubHeading(side.heading, 10);
      if (side.sidewalk) {
        Row(w, "{Отступ от тротуара}", 7, "{м}", Format("{ %.2f}", *strip->GetGap()));
      } else {
        Row(w, "{Отступ от ПЧ}", 8, "{м}", Format("{ %.2f}", *strip->GetGap()));
      }
      Row(w, "{Высота}", 9, "{м}", Format("{ %.2f}", *strip->GetWidth()));
      w.EndParagraph();
      fullWidth += *strip->GetGap();
    }
  }

  if (fullWidth != 0) {
    f.SubHeading("{Дорога}", 12);
    Row(w, "{Полная ширина }", 7, "{м}", Format("{ %.2f}", fullWidth));
    w.EndParagraph();
  }
  if (f.hasNorms) {
    NormDocumentBlock(f);
  }
  w.NewPage();
  return true;
}

bool CStraightRoadSections::GroupData(CProtocolFrame& f) { return WriteGroupData(f); }

bool WriteGroupData(CProtocolFrame& f)
{
  CRTFWriter& w = f.writer;
  f.AddContent(0, "{Параметры групп ОП}", 0, 10, 0, 1);
  f.AddContent(1, "{Общие}", 0, 11, f.CurrentPage(), 2);
  f.SectionHeading({"{Исходные данные}", "\\tab", "{Параметры групп ОП}", "\\tab\\tab\\tab", "{Общие}",
                    "\\tab\\tab"});
  ModelRef<IGroupsOfDev> groups(f.area.get(), IID_IGroupsOfDev);
  w.BeginParagraph(0);
  w.WriteText("{Коэффициент запаса}");
  w.WriteTabs(8);
  w.WriteText(Format("{ %.2f}", groups ? *groups->GetMaintenanceFactor() : 0.0));
  w.EndParagraph();
  return true;
}

void CStraightRoadSections::Group(CProtocolFrame& f, IGroupOfDev* group)
{
  const CString title = GroupTitle(*group->GetName());
  const bool luminaireOn = f.ItemOn(kItemLuminaire) != 0;
  if (f.ItemOn(kItemPlacement)) {
    WritePlacement(f, group, title, luminaireOn);
  }
  if (luminaireOn) {
    if (!f.ItemOn(kItemPlacement)) {
      f.AddContent(1, title, 0, 0, 0, 1);
      // Kept as the protocol has always numbered these pages: the second group listed here counts one page more.
      if (++f.luminaireTitles == 2) {
        f.writer.SetPageCount(f.writer.GetPageCount() + 1);
      }
    }
    WriteLuminaire(f, group);
  }
}

void CStraightRoadSections::WritePlacement(CProtocolFrame& f, IGroupOfDev* group, const CString& title,
                                           bool luminaireOn)
{
  CRTFWriter& w = f.writer;
  f.AddContent(1, title, 0, 0, 0, 1);
  f.AddContent(2, "{размещение ОП}", 0, 8, f.CurrentPage(), luminaireOn ? 1 : 2);
  f.SectionHeading({"{Исходные данные}", "\\tab", "{Параметры групп ОП}", "\\tab\\tab\\tab", "{Размещение ОП}",
                    "\\tab"});
  const CLightDevice* luminaire = group->GetLightDevice();
  const int kind = *group->GetMountingKind();
  const int scheme = *group->GetRoadScheme();
  const bool mast = kind == 1;
  ModelRef<IPole> pole(group, IID_IPole);

  w.WriteText("{Наименование группы ОП}");
  w.WriteTabs(5);
  w.SetFont(2, 20, 1);
  w.WriteText(Named(*group->GetName()));
  w.SetFont(2, 20, 0);
  w.WriteLineBreaks(1);
  Row(w, "{Тип ОП }", 7, nullptr, Named(luminaire != nullptr ? luminaire->GetDisplayName() : CString()));
  Row(w, "{Производитель  }", 6, nullptr, Named(luminaire != nullptr ? Maker(*luminaire) : CString()));
  Row(w, "{Способ установки ОП }", 6, nullptr, StringOrEmpty(MountingStringId(kind)));
  Row(w, "{Схема расстановки ОП }", 5, nullptr, StringOrEmpty(ArrangementStringId(scheme)));
  if (pole && *pole->GetTypical() != 0) {
    const CLampPost* post = pole->GetLampPost();
    Row(w, "{Тип опоры}", 7, nullptr, Named(post->designation));
    if (const CLampConsole* bracket = post->GetCurrentBracket()) {
      Row(w, "{Тип кронштейна}", 6, nullptr, Named(bracket->designation));
    }
  }
  w.WriteLineBreaks(1);
  w.SetFont(2, 22, 1);
  w.WriteText(mast ? "{Положение мачт}" : "{Положение опор}");
  w.SetFont(2, 20, 0);
  w.WriteLineBreaks(2);

  PositionRow(w, mast ? "{Шаг между мачтами}" : "{Шаг между опорами}", 6, "{s}", false, "{м}",
              Format("{%.2f}", *group->GetStep()));
  w.WriteLineBreaks(1);
  if (*group->GetOffset() > 0) {
    PositionRow(w, "{Смещение группы}", 7, nullptr, false, "{м}", Format("{ %.2f}", *group->GetOffset()));
    w.WriteLineBreaks(1);
  }
  if (pole) {
    PositionRow(w, "{Высота светового центра ОП над проезжей частью}", 2, "{h}", false, "{м}",
                Format("{%.2f}", pole->GetHeight(kind)));
    w.WriteLineBreaks(1);
    if (scheme != 5) {
      PositionRow(w,
                  mast ? "{Вылет светового центра ОП относительно оси мачты     }"
                       : "{Вылет светового центра ОП относительно оси опоры     }",
                  1, "{a}", false, "{м}", Format("{%.2f}", pole->GetOutreach(kind)));
      w.WriteLineBreaks(1);
    }
    if (scheme != 4) {
      PositionRow(w,
                  mast ? "{Отступ оси мачты от края проезжей части}" : "{Отступ оси опоры от края проезжей части}",
                  3, "{b}", false, "{м}", Format("{%.2f}", *pole->GetSetback()));
      w.WriteLineBreaks(1);
    }
    if (scheme != 5 && kind == 0) {
      PositionRow(w, "{Наклон консоли относительно горизонта}", 3, "{d}", true, "{град.}",
                  Format("{%.2f}", pole->GetTilt(kind)));
      w.WriteLineBreaks(1);
    }
    PositionRow(w,
                scheme == 5 ? "{Разворот консоли относительно поперечного сечения    }"
                            : "{Разворот ОП относительно поперечного сечения дороги}",
                1, "{Y}", true, "{град.}", Format("{%.2f}", *pole->GetRotation()));
    if (scheme == 5) {
      w.WriteLineBreaks(1);
      w.WriteText("{дороги}");
    } else if (kind == 1) {
      w.WriteLineBreaks(2);
      w.SetFont(2, 22, 1);
      w.WriteText("{Нацеливание ОП}");
      w.SetFont(2, 20, 0);
      w.WriteLineBreaks(2);
      if ((*pole->GetAimFlags() & 0x20) != 0) {
        w.WriteText("{Координаты точки нацеливания (полярные):}");
        w.WriteLineBreaks(1);
        w.WriteTabs(1);
        PositionRow(w, "{угол наклона ОП от горизонта (вниз)}", 3, "{d}", true, "{град.}",
                    Format("{%.2f}", pole->GetAimTilt()));
        w.WriteLineBreaks(1);
        w.WriteTabs(1);
        PositionRow(w, "{угол разворота ОП от кронштейна}", 3, "{Y}", true, "{град.}",
                    Format("{%.2f}", pole->GetAimTurn()));
      }
    } else if (kind == 2) {
      w.WriteLineBreaks(1);
      w.WriteText("{Расположение узла крепления}");
      w.WriteTabs(7);
      w.WriteText("{ }");
      w.WriteText(StringOrEmpty(pole->GetMountSide() == 0 ? IDS_REPORT_MOUNT_BELOW : IDS_REPORT_MOUNT_ABOVE));
    }
  }
  w.EndParagraph();

  CPictureSection pictures(f, CPictureSection::Kind::Placement);
  const int filled = 1;
  if (f.options) {
    f.options->SetResultDisplay(&filled);
  }
  w.BeginParagraph(0);
  w.SetFont(2, 20, 1);
  w.SetColours(kResetColours, 0);
  w.WriteLineBreaks(2);
  f.WriteRenderedBitmap(kPlacementScene, 640, 480, group);
  w.EndParagraph();
  w.NewPage();
  f.SectionHeading({"{Схема расстановки ОП (в плане)}", "\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab"});
  w.BeginParagraph(0);
  w.SetFont(2, 20, 1);
  w.SetColours(kResetColours, 0);
  w.WriteLineBreaks(3);
  f.WriteRenderedBitmap(kPlacementPlan, 600, 700, group);
  pictures.Restore();
  w.EndParagraph();
  w.NewPage();
}

void CStraightRoadSections::WriteLuminaire(CProtocolFrame& f, IGroupOfDev* group)
{
  CRTFWriter& w = f.writer;
  f.AddContent(2, "{параметры ОП}", 0, 9, f.CurrentPage(), 2);
  f.SectionHeading({"{Исходные данные}", "\\tab", "{Параметры групп ОП}", "\\tab\\tab\\tab", "{Параметры ОП}",
                    "\\tab"});
  const CLightDevice* luminaire = group->GetLightDevice();
  if (luminaire == nullptr) {
    return;
  }
  LuminaireRows(w, *luminaire, Maker(*luminaire));
  WriteIntensityDiagrams(f, *luminaire);
}
