#include "report/protocol/input_rows.h"

#include "model/light_device.h"
#include "model/standards.h"
#include "report/protocol/protocol_frame.h"
#include "report/protocol/report_strings.h"
#include "report/rtf/rtf_writer.h"

#include <cstring>

namespace {

constexpr int kResetColours = 8;

const char* NormDocumentName(int id)
{
  switch (id) {
  case 1: return "{СНиП 23-05-95* (с изм.1 2003 г.)}";
  case 2: return "{СП 52.13330.2011}";
  case 3: return "{ГОСТ Р 54305-2011}";
  case 4: return "{ГОСТ Р 55706-2013}";
  case 5: return "{СП 52.13330.2016}";
  case 6: return "{ГОСТ Р 58107-2018}";
  default: return nullptr;
  }
}

const char* NormDocumentTitle(int id)
{
  switch (id) {
  case 1: return "{«Естественное и искусственное освещение»}";
  case 2:
  case 5: return "{«Естественное и искусственное освещение. Актуализированная редакция СНиП 23-05-95*»}";
  case 3:
    return "{«Дороги автомобильные общего пользования. Горизонтальная освещенность от искусственного освещения. "
           "Технические требования»}";
  case 4: return "{«Освещение наружное утилитарное. Классификация и нормы»}";
  case 6: return "{«Освещение автомобильных дорог общего пользования. Нормы и методы расчета»}";
  default: return nullptr;
  }
}

}  // namespace

CString Format(const char* format, double value)
{
  CString text;
  text.Format(format, value);
  return text;
}

CString Named(const CString& text) { return "{" + EscapeRtfText(text) + "}"; }

void Row(CRTFWriter& w, const char* caption, int tabs, const char* unit, const CString& value, int breaks)
{
  w.WriteText(caption);
  w.WriteTabs(tabs);
  if (unit != nullptr) {
    w.WriteText(unit);
    w.WriteTabs(1);
  }
  w.WriteText(value);
  w.WriteLineBreaks(breaks);
}

UINT MountingStringId(int kind)
{
  switch (kind) {
  case 0: return IDS_REPORT_ON_POLE;
  case 1: return IDS_REPORT_ON_MAST;
  case 2: return IDS_REPORT_ON_FLOOR_LAMP;
  default: return 0;
  }
}

CString StringOrEmpty(UINT id) { return id == 0 ? CString() : "{" + LoadReportString(id) + "}"; }

void NormDocumentBlock(CProtocolFrame& f, bool emptyUnknownLines)
{
  CRTFWriter& w = f.writer;
  const _STANDARDS_OF_ROAD& record = *f.norms->GetRecord();
  w.BeginParagraph(0);
  w.SetFont(2, 22, 1);
  w.SetColours(6, 0);
  w.WriteText("Нормативный документ");
  w.WriteTabs(10);
  w.SetColours(kResetColours, 0);
  w.SetFont(2, 20, 0);
  w.WriteLineBreaks(2);
  if (const char* name = NormDocumentName(record.normDocumentId)) {
    w.WriteText(name);
    w.WriteLineBreaks(1);
    w.WriteWrappedText(NormDocumentTitle(record.normDocumentId), 80, 3, 0, 0, 0);
  } else if (emptyUnknownLines) {
    w.WriteLineBreaks(1);
  }
  w.EndParagraph();
  w.SetColours(kResetColours, 0);
  w.WriteLineBreaks(1);
  w.BeginParagraph(0);
  const std::size_t classLength = strnlen(record.objectClass, sizeof(record.objectClass));
  const CString litObject(record.objectClass, static_cast<int>(classLength));
  w.SetFont(2, 20, 0);
  w.WriteWrappedText("{Освещаемый объект: " + EscapeRtfText(litObject) + "}", 80, 3, 0, 0, 0);
  w.WriteLineBreaks(1);
  w.EndParagraph();
}


const CString& Maker(const CLightDevice& luminaire)
{
  return luminaire.producer.IsEmpty() ? luminaire.luminaireMaker : luminaire.producer;
}

void LuminaireRows(CRTFWriter& w, const CLightDevice& luminaire, const CString& maker)
{
  Row(w, "{Тип ОП }", 5, nullptr, "{ " + EscapeRtfText(luminaire.GetDisplayName()) + "}");
  Row(w, "{Тип ИС}", 6, nullptr, "{ " + EscapeRtfText(luminaire.lampType) + "}");
  Row(w, "{Мощность ИС}", 4, "{ Вт}", Format("{ %.0f}", luminaire.lampPower));
  Row(w, "{Световой поток ИС}", 3, "{ лм}", Format("{ %.0f}", luminaire.lampFlux));
  w.WriteText("{Изготовитель ОП}");
  w.WriteTabs(4);
  w.WriteWrappedText("{ " + EscapeRtfText(maker) + "}", 40, 3, 0, 6, 0);
  w.WriteLineBreaks(2);
  w.EndParagraph();
}
