#include "report/view/rich_edit_stream.h"

#include "platform/mfc-core/cfile.h"
#include "model/shell/shell_services.h"
#include "platform/mfc/richedit.h"

namespace {

DWORD ReadFromFile(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* read)
{
  auto* file = reinterpret_cast<CFile*>(cookie);
  *read = static_cast<LONG>(file->Read(buffer, static_cast<UINT>(count)));
  return 0;
}

}  // namespace

int StreamRtfIntoRichEdit(CFile* file, CRichEditView* view)
{
  if (file == nullptr) {
    return 0;
  }
  file->SeekToBegin();
  CRichEditCtrl& control = view->GetRichEditCtrl();
  control.SetReadOnly(FALSE);
  control.Clear();
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(file), 0, &ReadFromFile};
  control.StreamIn(SF_RTF, stream);
  control.SetReadOnly(TRUE);
  return stream.dwError == 0 ? 1 : 0;
}

UINT GetRichEditZoomPercent(CRichEditView* view)
{
  int numerator = 0;
  int denominator = 0;
  if (!view->GetRichEditCtrl().GetZoom(numerator, denominator) || denominator == 0) {
    return 0;
  }
  return static_cast<UINT>(numerator) * 100u / static_cast<UINT>(denominator);
}

int KeepWheelZoom(CRichEditView* view, const char* key)
{
  UINT zoom = GetRichEditZoomPercent(view);
  if (zoom > 100) {
    view->GetRichEditCtrl().SetZoom(64, 64);
    zoom = 100;
  }
  Shell::WriteProfileInt("Report", key, static_cast<int>(zoom));
  return static_cast<int>(zoom);
}

void ApplyRichEditZoom(CRichEditView* view, int zoom)
{
  const UINT percent = std::min(static_cast<UINT>(zoom), 100u);
  view->GetRichEditCtrl().SetZoom(static_cast<int>(percent * 64 / 100), 64);
}
