#include "graphics/export/export_command.h"

#include "graphics/core/graphics_dll_mediator.h"
#include "graphics/core/model_ref.h"
#include "graphics/export/export_settings_dlg.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/shell/shell_services.h"
#include "outside/grafocore/export_records.h"
#include "platform/mfc/commdlg.h"
#include "platform/user/msgbox.h"

CString DefaultExportName(const CString& title)
{
  const int at = title.Find(".qorr");
  return at >= 0 ? title.Left(at) : title;
}

int RunDxfExport(CGraphicsDllMediator& core, IQorRoadDoc* document)
{
  if (!document)
    return 0;
  void* found = nullptr;
  if (FAILED(document->QueryInterface(IID_ActiveArea, &found)) || !found)
    return 0;
  ModelRef<IArea> area = ModelRef<IArea>::Adopt(static_cast<IArea*>(found));
  bool interchange = false;
  {
    ModelRef<IClassObjModel> object(area.get(), IID_IClassObjModel);
    CGuid areaClass;
    if (object)
      object->GetClassId(&areaClass);
    interchange = areaClass.IsEqual(&CLSID_CCustomizeRoad3D);
  }
  const int underlayId = *area->GetUnderlayId();
  CWnd* mainWindow = CWnd::FromHandle(Shell::GetMainWindow());

  SLCExportSettingsDlg settings(mainWindow);
  settings.m_flags = interchange ? SLCExportSettingsDlg::kInitialInterchangeFlags : SLCExportSettingsDlg::kInitialFlags;
  settings.m_backgroundEnabled = underlayId & kLibraryProjectBit;
  settings.m_interchange = interchange ? 1 : 0;
  if (settings.DoModal() != IDOK)
    return 1;
  const int flags = settings.m_flags;

  CString title;
  document->GetTitle(&title);
  // A new file may be named: the overwrite prompt covers an existing one.
  CFileDialog save(FALSE, "*.dxf", DefaultExportName(title), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "(*.dxf)|*.dxf||",
                   mainWindow);
  if (save.DoModal() != IDOK)
    return 1;
  if (save.GetFileExt().Find("qorr") >= 0) {
    Shell::ShowMessageBox(Shell::GetMainWindow(), kExportToProjectMessage, nullptr, MB_ICONHAND);
    return 0;
  }

  {
    CWaitCursor wait;
    const CString path = save.GetPathName();
    nsExp::CExportList list;
    list.m_interchange = interchange ? 1 : 0;
    // A calculation the export needed and that failed has said why; nothing is written without its values.
    if (!core.BuildExportData(area.get(), &list, flags))
      return 1;
    // Only a file that was written counts as an export.
    if (!core.ExportData(path, &list, flags))
      return 1;
  }
  if (Shell::GetAnalyticsModule()) {
    Shell::RegisterAnalyticsEvent("Проект", "Экспорт", "Формат DXF", 1, 1);
    Shell::SendAnalyticsInfo(1);
  }
  return 1;
}
