// The intensity diagrams of a group's luminaire in the protocol, polar and Cartesian, each drawn by the diagram
// window of the luminaire catalogues and written as that window's bitmap.
#include "report/protocol/protocol_sections.h"

#include "report/rtf/rtf_writer.h"

namespace {
constexpr int kResetColours = 8;
}  // namespace

void WriteIntensityDiagrams(CProtocolFrame& f, const CLightDevice&)
{
  // The catalogues' diagram window is not part of the program yet: the places of the two pictures are kept,
  // headings and paragraphs as they will stand around them.
  CRTFWriter& w = f.writer;
  f.SubHeading("{Распределение силы света ОП в полярной системе координат}", 4);
  w.EndParagraph();
  w.WriteLineBreaks(1);
  w.BeginParagraph(0);
  w.SetFont(2, 20, 0);
  w.SetColours(kResetColours, 0);
  w.EndParagraph();
  w.WriteLineBreaks(2);
  f.SubHeading("{Распределение силы света ОП в декартовой системе координат  }", 3);
  w.EndParagraph();
  w.SetFont(2, 20, 0);
  w.WriteLineBreaks(1);
  w.BeginParagraph(0);
  w.SetFont(2, 20, 0);
  w.SetColours(kResetColours, 0);
  w.EndParagraph();
  w.NewPage();
}
