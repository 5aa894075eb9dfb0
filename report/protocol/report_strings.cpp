#include "report/protocol/report_strings.h"

CString LoadReportString(UINT id)
{
  CString text;
  text.LoadString(id);
  return text;
}

UINT TypicalFormStringId(int typicalForm)
{
  switch (typicalForm) {
  case 0: return IDS_REPORT_OPEN_SITE;
  case 1: return IDS_REPORT_TURN;
  case 2: return IDS_REPORT_FORK;
  case 3: return IDS_REPORT_CROSSING;
  case 4: return IDS_REPORT_JUNCTION;
  case 5: return IDS_REPORT_WIDENING;
  case 7: return IDS_REPORT_ROUNDABOUT;
  case 8: return IDS_REPORT_INTERCHANGE;
  default: return 0;
  }
}
