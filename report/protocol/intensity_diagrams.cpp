// The intensity diagrams of a group's luminaire in the protocol, polar and Cartesian, each drawn by the diagram
// window of the luminaire catalogues and written as that window's bitmap.
#include "report/protocol/protocol_sections.h"

#include "model/shell/shell_services.h"
#include "platform/mfc/wnd.h"
#include "report/rtf/rtf_writer.h"
#include "report/view/intensity_diagram.h"

namespace {
constexpr int kResetColours = 8;
}  // namespace

void WriteIntensityDiagrams(CProtocolFrame& f, const CLightDevice& luminaire)
{
  // Without the catalogues' diagram window (not installed) the headings and paragraphs stand without pictures.
  CRTFWriter& w = f.writer;
  CWnd* parent = CWnd::FromHandle(Shell::GetMainWindow());
  f.SubHeading("{Распределение силы света ОП в полярной системе координат}", 4);
  w.EndParagraph();
  w.WriteLineBreaks(1);
  w.BeginParagraph(0);
  w.SetFont(2, 20, 0);
  w.SetColours(kResetColours, 0);
  WriteIntensityDiagram(w, luminaire, parent, TRUE, 500, 420);
  w.EndParagraph();
  w.WriteLineBreaks(2);
  f.SubHeading("{Распределение силы света ОП в декартовой системе координат  }", 3);
  w.EndParagraph();
  w.SetFont(2, 20, 0);
  w.WriteLineBreaks(1);
  w.BeginParagraph(0);
  w.SetFont(2, 20, 0);
  w.SetColours(kResetColours, 0);
  WriteIntensityDiagram(w, luminaire, parent, FALSE, 500, 250);
  w.EndParagraph();
  w.NewPage();
}
