// The input data of the open-site and interchange protocol: the area and its typical form, the norms, the groups'
// common data, the placement of every group or sub-group in report coordinates, and each luminaire type once.
#include "report/protocol/protocol_sections.h"

#include "graphics/core/model_ref.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipole.h"
#include "model/iprimitive.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/pole.h"
#include "report/protocol/input_rows.h"
#include "report/protocol/report_strings.h"
#include "report/rtf/rtf_writer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A Greek letter of the Symbol font between the body font.
void Symbol(CRTFWriter& w, const char* letter)
{
  w.SetFont(3, 20, 0);
  w.WriteText(letter);
  w.SetFont(2, 20, 0);
}

// A point of the area as the report states it: in the graphics library's frame, moved to the area's report origin.
void ReportPoint(CProtocolFrame& f, const double* point, double out[3])
{
  out[0] = point[0];
  out[1] = point[1];
  out[2] = point[2];
  f.document->ToLibraryCoords(out);
  if (f.area) {
    out[0] += *f.area->GetReportOriginX();
    out[1] += *f.area->GetReportOriginY();
    out[2] += *f.area->GetReportOriginZ();
  }
}

// The three coordinate lines of a point, each ended by a line break.
void CoordinateLines(CProtocolFrame& f, const double* point, const char* x, const char* y, const char* z)
{
  CRTFWriter& w = f.writer;
  double p[3];
  ReportPoint(f, point, p);
  const char* axes[] = {"{по оси X}", "{по оси Y}", "{по оси Z}"};
  const char* symbols[] = {x, y, z};
  for (int i = 0; i < 3; ++i) {
    w.WriteTabs(1);
    w.WriteText(axes[i]);
    w.WriteTabs(6);
    w.WriteText(symbols[i]);
    w.WriteTabs(1);
    w.WriteText("{м}");
    w.WriteTabs(1);
    w.WriteText(Format("{%.2f}", p[i]));
    w.WriteLineBreaks(1);
  }
}

// An angle or distance line: 1 tab, label, tabs, symbol (Greek when asked), unit, value; ended by a line break.
void MeasureLine(CRTFWriter& w, const char* label, int tabs, const char* symbol, bool greek, const char* unit,
                 double value)
{
  w.WriteTabs(1);
  w.WriteText(label);
  w.WriteTabs(tabs);
  if (greek) {
    Symbol(w, symbol);
  } else {
    w.WriteText(symbol);
  }
  w.WriteTabs(1);
  w.WriteText(unit);
  w.WriteTabs(1);
  w.WriteText(Format("{%.2f}", value));
  w.WriteLineBreaks(1);
}

// A line of its own: label, tabs, Greek symbol, unit, value (no leading tab).
void RotationLine(CRTFWriter& w, const char* label, int tabs, double rotation)
{
  w.WriteText(label);
  w.WriteTabs(tabs);
  Symbol(w, "{Y}");
  w.WriteTabs(1);
  w.WriteText("{град.}");
  w.WriteTabs(1);
  w.WriteText(Format("{%.2f}", rotation));
}

void BlockHeading(CRTFWriter& w, const CString& heading)
{
  w.WriteLineBreaks(1);
  w.SetFont(2, 22, 1);
  w.WriteText(heading);
  w.SetFont(2, 20, 0);
  w.WriteLineBreaks(2);
}

struct Wording {
  const char* individualHeading;
  const char* individualNumbered;
  const char* individualPoint;
  const char* individualRotation;
  const char* lineHeading;
  const char* lineFirst;
  const char* lineSecond;
  const char* lineSecondPolar;
  const char* lineStep;
  int lineStepTabs;
  const char* lineAngle;
  const char* lineCount;
  const char* lineRotation;
  const char* lineRotation2;
  int lineRotation2Tabs;
  const char* circleFirst;
  const char* circleFirstPolar;
  const char* circleAngle;
  const char* circleStep;
  int circleStepTabs;
  const char* circleCount;
  const char* circleRotation;
  const char* x1;
  const char* y1;
  const char* z1;
  const char* x2;
  const char* y2;
  const char* z2;
};

const Wording kMast{"{Положение ОП}", "{Положение ОП - %ld}", "{Координаты точки установки мачты:}",
                    "{Угол разворота кронштейна мачты от оси X (в плане)}", "{Положение ОП}",
                    "{Координаты 1-ой мачты (декартовые):}", "{Координаты 2-ой мачты (декартовые):}",
                    "{Координаты 2-ой мачты (полярные):}", "{шаг мачт на линии}", 5,
                    "{угол наклона линии мачт от оси X}", "{Количество мачт в линии}",
                    "{Угол разворота кронштейна мачты от перпендикуляра}", "{к линии мачт}", 1,
                    "{Координаты 1-ой мачты (декартовые):}", "{Координаты 1-ой мачты (полярные):}",
                    "{угол между мачтой и осью X}", "{Угол между соседними мачтами на окружности (шаг)}", 2,
                    "{Количество мачт на окружности}", "{Угол разворота кронштейна мачты от радиуса окружности}",
                    "{X\\dn3\\fs15 1\\up0\\fs20}", "{Y\\dn3\\fs15 1\\up0\\fs20}", "{Z\\dn3\\fs15 1\\up0\\fs20}",
                    "{X\\dn3\\fs15 2\\up0\\fs20}", "{Y\\dn3\\fs15 2\\up0\\fs20}", "{Z\\dn3\\fs15 2\\up0\\fs20}"};
const Wording kPole{"{Положение опоры}", "{Положение опоры - %ld}", "{Координаты опоры:}",
                    "{Угол разворота кронштейна опоры от оси X (в плане)}", "{Положение опор}",
                    "{Координаты 1-ой опоры (декартовые):}", "{Координаты 2-ой опоры (декартовые):}",
                    "{Координаты 2-ой опоры (полярные):}", "{шаг между опорами в линии}", 4,
                    "{угол наклона линии опор от оси X}", "{Количество опор в линии}",
                    "{Угол разворота кронштейна опоры от перпендикуляра}", "{к линии опор}", 7,
                    "{Координаты 1-ой опоры (декартовые):}", "{Координаты 1-ой опоры (полярные):}",
                    "{угол между опорой и осью X}", "{Угол между соседними опорами на окружности (шаг)    }", 1,
                    "{Количество опор на окружности}", "{Угол разворота кронштейна опоры от радиуса окружности}",
                    "{X}", "{Y}", "{Z}", "{X}", "{Y}", "{Z}"};

CString Count(long value)
{
  CString text;
  text.Format("{%ld}", value);
  return text;
}

void AreaLine(CRTFWriter& w, const char* label, int tabs, const char* unit, const CString& value)
{
  w.WriteText(label);
  w.WriteTabs(tabs);
  if (unit != nullptr) {
    w.WriteText(unit);
    w.WriteTabs(1);
  }
  w.WriteText(value);
}

// The geometry lines of a typical form, separated by line breaks.
void FormLines(CRTFWriter& w, int form, ICustomizeRoad& road)
{
  std::vector<std::function<void()>> lines;
  auto length = [&](const char* label, int tabs, double value) {
    lines.push_back([&w, label, tabs, value] { AreaLine(w, label, tabs, "{м}", Format("{%.2f}", value)); });
  };
  auto angle = [&](const char* label, int tabs, double value) {
    lines.push_back([&w, label, tabs, value] { AreaLine(w, label, tabs, "{град.}", Format("{%.2f}", value)); });
  };
  switch (form) {
  case 1:
    length("{Ширина ПЧ}", 8, *road.GetBranchWidth1());
    angle("{Угол поворота}", 8, *road.GetFormAngle1());
    length("{Радиус сопряжения}", 7, *road.GetTurnRadius());
    break;
  case 2:
    length("{Ширина ПЧ-1}", 8, *road.GetBranchWidth1());
    length("{Ширина ПЧ-2}", 8, *road.GetBranchWidth2());
    length("{Ширина ПЧ-3}", 8, *road.GetBranchWidth3());
    angle("{Угол поворота ПЧ 1-2}", 7, *road.GetFormAngle1());
    angle("{Угол поворота ПЧ 1-3}", 7, *road.GetFormAngle2());
    break;
  case 3:
  case 4:
    length("{Ширина ПЧ-1}", 8, *road.GetBranchWidth1());
    length("{Ширина ПЧ-2}", 8, *road.GetBranchWidth2());
    angle(form == 3 ? "{Угол пересечения}" : "{Угол примыкания}", 7, *road.GetFormAngle1());
    break;
  case 5: {
    const int type = *road.GetWideningType();
    const char* side = (type & 1) != 0 ? "{снизу}" : (type & 2) != 0 ? "{сверху}" : "{c обеих сторон}";
    lines.push_back([&w, side] { AreaLine(w, "{Тип уширения}", 9, nullptr, side); });
    length("{Ширина ПЧ-1}", 8, *road.GetBranchWidth1());
    length("{Ширина ПЧ-2}", 8, *road.GetBranchWidth2());
    length("{Длина уширения}", 7, *road.GetWideningLength());
    break;
  }
  case 7: {
    length("{Радиус внутренний}", 7, *road.GetInnerRadius());
    length("{Радиус внешний}", 7, *road.GetOuterRadius());
    const int branches = *road.GetBranchCount();
    lines.push_back([&w, branches] { AreaLine(w, "{Число ПЧ}", 9, nullptr, Count(branches)); });
    const double widths[] = {*road.GetBranchWidth1(), *road.GetBranchWidth2(), *road.GetBranchWidth3(),
                             *road.GetBranchWidth4(), *road.GetBranchWidth5()};
    const double angles[] = {*road.GetJunctionAngle1(), *road.GetJunctionAngle2(), *road.GetJunctionAngle3(),
                             *road.GetJunctionAngle4(), *road.GetJunctionAngle5()};
    static const char* const widthLabels[] = {"{Ширина ПЧ-1}", "{Ширина ПЧ-2}", "{Ширина ПЧ-3}", "{Ширина ПЧ-4}",
                                              "{Ширина ПЧ-5}"};
    static const char* const angleLabels[] = {"{Угол примыкания ПЧ-1}", "{Угол примыкания ПЧ-2}",
                                              "{Угол примыкания ПЧ-3}", "{Угол примыкания ПЧ-4}",
                                              "{Угол примыкания ПЧ-5}"};
    for (int k = 0; k < 5; ++k) {
      if (k == 0 || branches >= k + 1) {
        length(widthLabels[k], 8, widths[k]);
        angle(angleLabels[k], 7, angles[k]);
      }
    }
    break;
  }
  default: break;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      w.WriteLineBreaks(1);
    }
    lines[i]();
  }
}

// The first pole's place on its circle: radius and the angle from the X axis, above -180 and at most 180.
void PolarOnCircle(CProtocolFrame& f, const double* position, const double* centre, double& radius, double& angle)
{
  double p[3] = {position[0], position[1], position[2]};
  double c[3] = {centre[0], centre[1], centre[2]};
  f.document->ToLibraryCoords(p);
  f.document->ToLibraryCoords(c);
  const double dx = p[0] - c[0];
  const double dy = p[1] - c[1];
  radius = ObjectModel::Round2(std::sqrt(dx * dx + dy * dy));
  angle = 0;
  if (radius == 0) {
    return;
  }
  const double cosine = std::clamp(dx / radius, -1.0, 1.0);
  angle = ObjectModel::Round2(std::acos(cosine) * 180.0 / kPi);
  if (dy / radius < 0) {
    angle = 360 - angle;
  }
  if (angle > 180) {
    angle -= 360;
  }
}

}  // namespace

bool COpenSiteSections::InputData(CProtocolFrame& f)
{
  CRTFWriter& w = f.writer;
  f.AddContent(0, "{Исходные данные}", 1, 0, 0, 2);
  f.SectionHeading({"{Исходные данные}", "\\tab\\tab\\tab\\tab\\tab\\tab", "{Параметры дороги}", "\\tab"});
  f.SubHeading("{Общие}", 12);
  const int form = f.area ? *f.area->GetTypicalForm() : 0;
  w.WriteText("{Тип участка дороги}");
  w.WriteTabs(7);
  w.WriteText("{" + AreaTypeLabel(form) + "}");
  w.WriteLineBreaks(1);
  w.WriteText("{Параметры участка:}");
  w.WriteLineBreaks(1);
  w.WriteTabs(1);
  AreaLine(w, "{длина}", 8, "{м}", Format("{ %.2f}", f.area ? *f.area->GetLength() : 0.0));
  w.WriteLineBreaks(1);
  w.WriteTabs(1);
  AreaLine(w, "{ширина}", 8, "{м}", Format("{ %.2f}", f.area ? *f.area->GetWidth() : 0.0));
  w.EndParagraph();
  w.WriteLineBreaks(1);

  ModelRef<ICustomizeRoad> road(f.area.get(), IID_ICustomizeRoad);
  if (form >= 1 && form <= 7 && road) {
    if ((*road->GetRoadState() & 1) != 0) {
      f.SubHeading("{Проезжая часть}", 11);
      FormLines(w, form, *road.get());
      w.WriteLineBreaks(1);
      w.EndParagraph();
    }
    if ((*road->GetSidewalkState() & 1) != 0) {
      f.SubHeading("{Тротуар}", 12);
      AreaLine(w, "{Ширина} ", 8, "{м}", Format("{%.2f}", *road->GetSidewalkWidth()));
      w.WriteLineBreaks(1);
      AreaLine(w, "{Зазор между тротуаром и ПЧ}", 6, "{м}", Format("{%.2f}", *road->GetSidewalkGap()));
      w.WriteLineBreaks(1);
      w.EndParagraph();
    }
  }
  if (f.hasNorms) {
    NormDocumentBlock(f, true);
  }
  w.NewPage();
  return true;
}

bool COpenSiteSections::GroupData(CProtocolFrame& f) { return WriteGroupData(f); }

void COpenSiteSections::Group(CProtocolFrame& f, IGroupOfDev* group)
{
  const CString title = GroupTitle(*group->GetName());
  if (f.ItemOn(kItemPlacement)) {
    WritePlacement(f, group, title);
  }
  if (f.ItemOn(kItemLuminaire) && f.groupIdentity) {
    if (!f.ItemOn(kItemPlacement)) {
      f.AddContent(1, title, 0, 0, 0, 1);
      // As the straight road's protocol numbers them: the second group listed here counts one page more.
      if (++f.luminaireTitles == 2) {
        f.writer.SetPageCount(f.writer.GetPageCount() + 1);
      }
    }
    const CLightDevice* luminaire = group->GetLightDevice();
    const std::string key = luminaire != nullptr ? luminaire->textB.GetString() : "";
    if (luminaire != nullptr && std::find(f.describedLuminaires.begin(), f.describedLuminaires.end(), key) ==
                                    f.describedLuminaires.end()) {
      f.describedLuminaires.push_back(key);
      CRTFWriter& w = f.writer;
      f.AddContent(2, "{параметры ОП}", 0, 9, f.CurrentPage(), 2);
      f.SectionHeading({"{Исходные данные}", "\\tab", "{Параметры групп ОП}", "\\tab\\tab\\tab", "{Параметры ОП}",
                        "\\tab"});
      f.BodyText();
      LuminaireRows(w, *luminaire, luminaire->luminaireMaker);
      WriteIntensityDiagrams(f, *luminaire);
    }
  }
  if (f.walkParent != nullptr) {
    f.groupIdentity = false;
  }
}

void COpenSiteSections::WritePlacement(CProtocolFrame& f, IGroupOfDev* group, const CString& title)
{
  CRTFWriter& w = f.writer;
  const bool luminaireOn = f.ItemOn(kItemLuminaire) != 0;
  f.AddContent(1, title, 0, 0, 0, 1);
  f.AddContent(2, "{размещение ОП}", 0, 8, f.CurrentPage(), luminaireOn ? 1 : 2);
  f.SectionHeading({"{Исходные данные}", "\\tab", "{Параметры групп ОП}", "\\tab\\tab\\tab", "{Размещение ОП}",
                    "\\tab"});
  f.BodyText();
  const CLightDevice* luminaire = group->GetLightDevice();
  const int kind = *group->GetMountingKind();
  const int scheme = *group->GetPlacementScheme();
  const bool mast = kind == 1;
  const Wording& t = mast ? kMast : kPole;
  ModelRef<IPole> pole(group, IID_IPole);
  const bool identity = f.groupIdentity;

  if (identity) {
    w.WriteText("{Наименование группы ОП}");
    w.WriteTabs(5);
    w.SetFont(2, 20, 1);
    w.WriteText(Named(*group->GetName()));
    w.SetFont(2, 20, 0);
    w.WriteLineBreaks(1);
    Row(w, "{Тип ОП }", 7, nullptr, Named(luminaire != nullptr ? luminaire->GetDisplayName() : CString()));
    Row(w, "{Производитель }", 7, nullptr, Named(luminaire != nullptr ? Maker(*luminaire) : CString()));
    Row(w, "{Способ установки ОП }", 6, nullptr, StringOrEmpty(MountingStringId(kind)));
    UINT placement = 0;
    switch (scheme) {
    case 0:
      placement = f.walkParentScheme == 3   ? IDS_REPORT_ALONG_CONTOUR
                  : f.walkParentScheme == 4 ? IDS_REPORT_BY_POINTS
                                            : IDS_REPORT_INDIVIDUAL;
      break;
    case 1: placement = IDS_REPORT_IN_LINE; break;
    case 2: placement = IDS_REPORT_ON_CIRCLE; break;
    default: break;
    }
    Row(w, "{Схема размещения ОП}", 6, nullptr, StringOrEmpty(placement));
    if (pole && *pole->GetTypical() != 0) {
      const CLampPost* post = pole->GetLampPost();
      Row(w, "{Тип опоры}", 7, nullptr, Named(post->designation));
      if (const CLampConsole* bracket = post->GetCurrentBracket()) {
        Row(w, "{Тип кронштейна}", 6, nullptr, Named(bracket->designation));
      }
    }
  }
  if (!f.ItemOn(kItemLuminaire) && f.walkParent != nullptr) {
    f.groupIdentity = false;
  }

  if (pole) {
    switch (scheme) {
    case 0: {
      CString heading = t.individualHeading;
      if (f.walkParent != nullptr) {
        heading.Format(t.individualNumbered, static_cast<long>(f.subGroupIndex + 1));
      }
      BlockHeading(w, heading);
      w.WriteText(t.individualPoint);
      w.WriteLineBreaks(1);
      CoordinateLines(f, pole->GetPosition(), "{X}", "{Y}", "{Z}");
      RotationLine(w, t.individualRotation, 1, *pole->GetRotation());
      break;
    }
    case 1: {
      BlockHeading(w, t.lineHeading);
      w.WriteText(t.lineFirst);
      w.WriteLineBreaks(1);
      CoordinateLines(f, pole->GetPosition(), t.x1, t.y1, t.z1);
      if (IPole* second = pole->GetNext()) {
        const int flags = *second->GetCoordFlags();
        if ((flags & 0x10) != 0) {
          w.WriteLineBreaks(1);
          w.WriteText(t.lineSecond);
          w.WriteLineBreaks(1);
          CoordinateLines(f, second->GetPosition(), t.x2, t.y2, t.z2);
        }
        if ((flags & 0x20) != 0) {
          w.WriteLineBreaks(1);
          w.WriteText(t.lineSecondPolar);
          w.WriteLineBreaks(1);
          MeasureLine(w, t.lineStep, t.lineStepTabs, "{s}", false, "{м}", second->GetDistanceToPrev());
          MeasureLine(w, t.lineAngle, 3, "{j}", true, "{град.}", second->GetAngleToPrev());
        }
      }
      w.WriteLineBreaks(1);
      AreaLine(w, t.lineCount, 7, nullptr, Count(group->GetTotalPoleCount()));
      w.WriteLineBreaks(2);
      w.WriteText(t.lineRotation);
      w.WriteLineBreaks(1);
      RotationLine(w, t.lineRotation2, t.lineRotation2Tabs, *pole->GetRotation());
      break;
    }
    case 2: {
      BlockHeading(w, mast ? "{Положение мачт}" : "{Положение опор}");
      w.WriteText("{Координаты центра окружности (декартовые):}");
      w.WriteLineBreaks(1);
      const char* cx = mast ? "{X\\dn3\\fs15 c\\up0\\fs20}" : "{X}";
      const char* cy = mast ? "{Y\\dn3\\fs15 c\\up0\\fs20}" : "{Y}";
      const char* cz = mast ? "{Z\\dn3\\fs15 c\\up0\\fs20}" : "{Z}";
      CoordinateLines(f, group->GetBasePoint(), cx, cy, cz);
      const int flags = *pole->GetCoordFlags();
      if ((flags & 0x10) != 0) {
        w.WriteLineBreaks(1);
        w.WriteText(t.circleFirst);
        w.WriteLineBreaks(1);
        CoordinateLines(f, pole->GetPosition(), t.x1, t.y1, t.z1);
      }
      if ((flags & 0x20) != 0) {
        double radius = 0, angle = 0;
        PolarOnCircle(f, pole->GetPosition(), group->GetBasePoint(), radius, angle);
        w.WriteLineBreaks(1);
        w.WriteText(t.circleFirstPolar);
        w.WriteLineBreaks(1);
        MeasureLine(w, "{радиус окружности}", 5, "{R}", false, "{м}", radius);
        MeasureLine(w, t.circleAngle, 4, "{j}", true, "{град.}", angle);
      }
      w.WriteLineBreaks(1);
      w.WriteText(t.circleStep);
      w.WriteTabs(t.circleStepTabs);
      Symbol(w, "{Dj}");
      w.WriteTabs(1);
      w.WriteText("{град.}");
      w.WriteTabs(1);
      w.WriteText(Format("{%.2f}", *group->GetAngularStep()));
      w.WriteLineBreaks(1);
      AreaLine(w, t.circleCount, 6, nullptr, Count(group->GetTotalPoleCount()));
      w.WriteLineBreaks(1);
      RotationLine(w, t.circleRotation, 1, *pole->GetRotation());
      break;
    }
    default: break;
    }

    if (mast) {
      if (f.groupIdentity) {
        w.WriteLineBreaks(1);
        w.WriteText("{Высота светового центра ОП относительно основания мачты}");
        w.WriteTabs(1);
        w.WriteText("{h}");
        w.WriteTabs(1);
        w.WriteText("{м}");
        w.WriteTabs(1);
        w.WriteText(Format("{%.2f}", pole->GetHeight(1)));
        w.WriteLineBreaks(1);
        w.WriteText("{Вылет светового центра ОП относительно оси мачты}");
        w.WriteTabs(2);
        w.WriteText("{ a}");
        w.WriteTabs(1);
        w.WriteText("{ м}");
        w.WriteTabs(1);
        w.WriteText(Format("{ %.2f}", pole->GetOutreach(1)));
        w.WriteLineBreaks(1);
      }
      w.WriteLineBreaks(2);
      w.SetFont(2, 22, 1);
      w.WriteText("{Нацеливание ОП}");
      w.SetFont(2, 20, 0);
      w.WriteLineBreaks(1);
      const int aim = *pole->GetAimFlags();
      w.WriteLineBreaks(1);
      if ((aim & 0x10) != 0) {
        double point[3] = {};
        pole->GetAimPoint(point);
        double p[3];
        ReportPoint(f, point, p);
        w.WriteText("{Координаты точки нацеливания 1-го ОП (декартовые):}");
        w.WriteLineBreaks(1);
        const struct {
          const char* label;
          int tabs;
          const char* symbol;
        } lines[] = {{"{по оси X}", 6, "{X'}"}, {"{по оси Y}", 6, "{Y'}"}, {"{высота плоскости нацеливания}", 4, "{h'}"}};
        for (int i = 0; i < 3; ++i) {
          w.WriteTabs(1);
          w.WriteText(lines[i].label);
          w.WriteTabs(lines[i].tabs);
          w.WriteText(lines[i].symbol);
          w.WriteTabs(1);
          w.WriteText("{м}");
          w.WriteTabs(1);
          w.WriteText(Format("{%.2f}", p[i]));
          w.WriteLineBreaks(1);
        }
      }
      if ((aim & 0x20) != 0) {
        w.WriteText("{Координаты точки нацеливания 1-го ОП (полярные):}");
        w.WriteLineBreaks(1);
        MeasureLine(w, "{угол наклона ОП от горизонта (вниз)}", 3, "{d}", true, "{град.}",
                    pole->ComputeAimTilt(&scheme));
        MeasureLine(w, "{угол разворота ОП от кронштейна}", 3, "{Y}", true, "{град.}", pole->ComputeAimTurn(&scheme));
      }
      w.WriteLineBreaks(1);
      w.WriteText("{Угол поворота ОП относительно оптической оси}");
      w.WriteTabs(2);
      Symbol(w, "{Q}");
      w.WriteTabs(1);
      w.WriteText("{град.}");
      w.WriteTabs(1);
      w.WriteText(Format("{%.2f}", *pole->GetLuminaireTurn()));
    } else if (f.groupIdentity) {
      w.WriteLineBreaks(2);
      w.SetFont(2, 22, 1);
      w.WriteText("{Параметры опоры}");
      w.SetFont(2, 20, 0);
      w.WriteLineBreaks(2);
      w.WriteText("{Высота светового центра ОП относительно основания опоры}");
      w.WriteTabs(1);
      w.WriteText("{ h}");
      w.WriteTabs(1);
      w.WriteText("  м");
      w.WriteTabs(1);
      w.WriteText(Format("  %.2f", pole->GetHeight(kind)));
      w.WriteLineBreaks(1);
      w.WriteText("{Вылет светового центра ОП относительно оси опоры     }");
      w.WriteTabs(1);
      w.WriteText("{ a}");
      w.WriteTabs(1);
      w.WriteText("{ м}");
      w.WriteTabs(1);
      w.WriteText(Format("{ %.2f}", pole->GetOutreach(kind)));
      w.WriteLineBreaks(1);
      w.WriteText("{Наклон консоли относительно горизонта}");
      w.WriteTabs(3);
      Symbol(w, "{ d}");
      w.WriteTabs(1);
      w.WriteText("{ град.}");
      w.WriteTabs(1);
      w.WriteText(Format("{ %.2f}", pole->GetTilt(kind)));
      if (kind == 2) {
        w.WriteLineBreaks(1);
        w.WriteText("{Расположение узла крепления}");
        w.WriteTabs(7);
        w.WriteText("{ }");
        w.WriteText(StringOrEmpty(pole->GetMountSide() == 0 ? IDS_REPORT_MOUNT_BELOW : IDS_REPORT_MOUNT_ABOVE));
      }
    }
  }
  w.WriteLineBreaks(1);
  w.EndParagraph();
  w.NewPage();
}
