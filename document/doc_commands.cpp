// The document's commands besides new projects, calculation and optimisation: the settings dialog at a page,
// the object wizard, window transparency, the photometric solid, DXF export, and the luminaire catalogues.
#include "document/doc_support.h"
#include "document/qor_road_doc.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "outside/servers/iluminaire_database.h"
#include "platform/base/fileops.h"
#include "platform/base/paths.h"
#include "platform/com/combase.h"
#include "platform/com/variant.h"
#include "platform/mfc/cmdtarget.h"
#include "platform/mfc/commdlg.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/view.h"
#include "platform/user/msgbox.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace document_detail;

namespace {

constexpr UINT kCatalogInstalledMessage = 832;
constexpr UINT kCatalogCopyFailedMessage = 833;
constexpr UINT kCatalogAlreadyInstalledMessage = 834;
constexpr UINT kCatalogNewerInstalledMessage = 835;
constexpr UINT kCatalogUpdatedMessage = 836;
constexpr UINT kCatalogNeedsNewerProgramMessage = 849;
constexpr char kMakerWebAddress[] = "www.marvesta.ru";

constexpr UINT ID_VIEW_3D = 32778;
constexpr UINT ID_VIEW_RESTORE_SIZE = 32834;
constexpr UINT ID_CALCULATE = 32772;

bool IsSiteOrInterchange(const GUID& kind)
{
  return kind == CLSID_CCustomizeRoad || kind == CLSID_CCustomizeRoad3D;
}

bool HasValidResults(IArea* area)
{
  IResultsOfCalc* results = nullptr;
  if (!area || FAILED(area->QueryInterface(&IID_IResultsOfCalc, reinterpret_cast<void**>(&results))) || !results)
    return false;
  const bool valid = results->GetData()->valid != 0;
  results->Release();
  return valid;
}

HWND OwnerOf(CWnd* parent) { return parent ? parent->GetSafeHwnd() : Shell::GetMainWindow(); }

int CatalogMessage(CWnd* parent, UINT id, UINT icon, LPCSTR argument1, LPCSTR argument2 = nullptr)
{
  CString format, text;
  format.LoadString(id);
  if (argument2)
    text.Format(format, argument1, argument2);
  else
    text.Format(format, argument1);
  return Shell::ShowMessageBox(OwnerOf(parent), text, AppTitle(), MB_OK | icon);
}

// What a catalogue file adds: the name of its file in the plug-in folder, the manufacturers for the message, and
// the label of the usage event.
struct CatalogueNames {
  CString fileId;
  CString manufacturers;
  CString label;
};

CatalogueNames NamesOf(const std::vector<_CATALOG_INFO>& records)
{
  CatalogueNames names;
  for (const _CATALOG_INFO& r : records) {
    if (names.fileId.IsEmpty() && r.id[0] != '\0')
      names.fileId = r.id;
    names.manufacturers += "\n- ";
    names.manufacturers += r.manufacturer;
    names.label = r.text3;
  }
  return names;
}

_CATALOG_INFO InfoOf(const qorsrv::CatalogRecord& record)
{
  _CATALOG_INFO info{};
  std::memcpy(info.id, record.id, sizeof info.id);
  std::memcpy(info.manufacturer, record.name, sizeof info.manufacturer);
  std::memcpy(info.text3, record.trademark, sizeof info.text3);
  info.date = record.date;
  return info;
}

// Why the database refused the last catalogue file it was given, in its own words.
CString RefusalOf(ILuminaireDatabase* database)
{
  qorsrv::ILuminaireCatalogue* catalogue = nullptr;
  CString reason;
  if (database->QueryInterface(qorsrv::IID_ILuminaireCatalogue, reinterpret_cast<void**>(&catalogue)) == S_OK &&
      catalogue) {
    reason = catalogue->GetLastMessage();
    catalogue->Release();
  }
  return reason;
}

// Copies `from` to `to` whole or not at all: into a save temporary beside the destination first, flushed to the
// disk and renamed onto it only when every byte is there. `replace` allows an existing destination to be replaced.
bool CopyWhole(const CString& from, const CString& to, bool replace)
{
  const int slash = to.ReverseFind('\\') >= 0 ? to.ReverseFind('\\') : to.ReverseFind('/');
  const CString folder = slash >= 0 ? to.Left(slash + 1) : CString();
  if (!folder.IsEmpty() && GetFileAttributes(folder) == INVALID_FILE_ATTRIBUTES)
    CreateDirectory(folder, nullptr);
  if (!replace && GetFileAttributes(to) != INVALID_FILE_ATTRIBUTES)
    return false;
  std::ifstream in(platform::ToFileSystemPath(from.GetString()), std::ios::binary);
  if (!in)
    return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad())
    return false;
  return platform::WriteFileWhole(to.GetString(), bytes) == 0;
}

CatalogueCopier g_copier = &CopyWhole;

}  // namespace

void SetCatalogueCopier(CatalogueCopier copier) { g_copier = copier ? copier : &CopyWhole; }

// The settings dialog

void CQorRoadDoc::ShowPreferences(int page)
{
  PushUndoState();
  IArea* area = QueryActiveArea();
  const bool hadResults = HasValidResults(area);
  if (page != -1)
    GetCurrentOptions()->SetSettingsPage(&page);

  Shell::PreferencesOutcome outcome;
  const int answer =
      Shell::GetShellServices().RunPreferences(Shell::GetMainWindow(), this, GetCurrentOptions(), &outcome);
  const bool ok = answer == Shell::IDOK;
  if (ok) {
    if (auto* view = dynamic_cast<CWnd*>(GetFirstQorRoadView()); view && view->GetSafeHwnd())
      view->SendMessage(UM_VIEWBACKGROUND, 0, 0);
  } else {
    // Also takes back what the dialog's Apply changed.
    DropUndoState();
  }
  GetCurrentOptions()->SaveColours();
  if (outcome.fontsChanged) {
    CWaitCursor wait;
    NotifyFontsChanged(0);
  }
  {
    CWaitCursor wait;
    if (ok && area && IsSiteOrInterchange(ClassIdOf(area))) {
      if (outcome.gridModeChanged)
        area->SetGridMode(&outcome.gridMode);
      if (outcome.gridStepChanged)
        area->SetGridStep(&outcome.gridStep);
      if (hadResults && (outcome.gridModeChanged || outcome.gridStepChanged))
        ResetResults(area);
    }
    Shell::GetShellServices().SendToMainWindow(UM_CALCMODES, 0, 0);
    if (ok)
      m_graphicCore->Render(outcome.recalcOnOk, outcome.rebuildOnOk);
    else
      m_graphicCore->Render(outcome.recalcOnCancel, outcome.rebuildOnCancel);
  }
  if (area)
    area->Release();
}

// The object wizard

void CQorRoadDoc::OnObjectWizard()
{
  if (!QuerySaveProject())
    return;
  _WIZARD_DATA data;
  const HWND mainWindow = Shell::GetMainWindow();
  if (Shell::GetShellServices().RunWizard(mainWindow, &data) != Shell::IDOK) {
    if (data.area)
      data.area->Release();
    return;
  }
  // Without an area the old project stays as it was: nothing is rebuilt or calculated.
  if (!data.area)
    return;

  CWaitCursor wait;
  m_graphicCore->m_bDrawing = FALSE;
  m_graphicCore->ClearFrame();
  m_graphicCore->SwapBuffers();
  const GUID kind = ClassIdOf(data.area);
  if (kind == CLSID_CStraightRoad) {
    OnNewDocument();
  } else {
    int open = 0;
    NewProjectOfKind(&open);
  }
  IProject* project = GetCurrentProject();
  IArea* placeholder = nullptr;
  if (SUCCEEDED(project->QueryInterface(&IID_IArea, reinterpret_cast<void**>(&placeholder))) && placeholder) {
    project->SetActiveArea(placeholder);
    while (IArea* next = placeholder->GetNext())
      project->RemoveArea(next);
    project->SetAreaCounter(0);

    if (IArea* made = project->InsertAreaAfter(kind, placeholder)) {
      void* source = nullptr;
      void* target = nullptr;
      if (SUCCEEDED(data.area->QueryInterface(&IID_IClassObjModel, &source)) && source &&
          SUCCEEDED(made->QueryInterface(&IID_IClassObjModel, &target)) && target)
        static_cast<IClassObjModel*>(source)->CopyTo(static_cast<IClassObjModel*>(target), 0);
      if (source)
        static_cast<IClassObjModel*>(source)->Release();
      if (target)
        static_cast<IClassObjModel*>(target)->Release();
      project->SetActiveArea(made);
      ResetViewCameras();

      const int form = *data.area->GetTypicalForm();
      const UINT captionId = form == 0 && kind == CLSID_CStraightRoad ? 122 : TypicalFormCaption(form);
      CString caption;
      if (captionId != 0)
        caption.LoadString(captionId);
      made->SetCaption(&caption);
      made->FormatCaption();
      made->BuildTypicalForm();

      IGroupsOfDev* groups = nullptr;
      if (SUCCEEDED(made->QueryInterface(&IID_IGroupsOfDev, reinterpret_cast<void**>(&groups))) && groups) {
        IGroupOfDev* first = nullptr;
        if (SUCCEEDED(groups->QueryInterface(&IID_IGroupOfDev, reinterpret_cast<void**>(&first))) && first) {
          first->LoadLightDevice(1, 1);
          first->Release();
        }
        groups->Release();
      }
      project->RemoveArea(placeholder);
      made->Release();
    }
    placeholder->Release();
  }

  Shell::CShellServices& shell = Shell::GetShellServices();
  shell.SendToMainWindow(WM_COMMAND, ID_VIEW_3D, 0);
  shell.SendToMainWindow(WM_COMMAND, ID_VIEW_RESTORE_SIZE, 0);
  shell.SendToMainWindow(UM_SHOWOBJECT, 0, 0);
  SetContourOfPrim(FALSE);
  shell.SendToMainWindow(WM_COMMAND, ID_CALCULATE, 0);
  SetViewType(2);
  m_graphicCore->m_bDrawing = TRUE;
  m_graphicCore->Render(TRUE, TRUE);
  wait.Restore();
  data.area->Release();
}

// Transparency and the photometric solid

void CQorRoadDoc::ApplyTransparency(int alpha)
{
  ITransparencySetting* transparency = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_TransparencySetting, nullptr, CLSCTX_INPROC_SERVER, IID_ITransparencySetting,
                                 reinterpret_cast<void**>(&transparency))) &&
      transparency) {
    transparency->SetAlpha(alpha);
    transparency->Release();
  }
}

void CQorRoadDoc::OnToggleTransparency()
{
  const int alpha = static_cast<int>(Shell::GetProfileInt("Settings", "Transparence", 255)) == 255 ? 220 : 255;
  Shell::WriteProfileInt("Settings", "Transparence", alpha);
  ApplyTransparency(alpha);
}

void CQorRoadDoc::OnUpdateToggleTransparency(CCmdUI* cmdUI)
{
  cmdUI->SetCheck(static_cast<int>(Shell::GetProfileInt("Settings", "Transparence", 255)) != 255);
}

void CQorRoadDoc::OnPhotometricBody()
{
  PushUndoState();
  int shown = *GetCurrentOptions()->GetShowPhotometricSolid() ? 0 : 1;
  GetCurrentOptions()->SetShowPhotometricSolid(&shown);
  Redraw(FALSE, TRUE, TRUE);
}

void CQorRoadDoc::OnUpdatePhotometricBody(CCmdUI* cmdUI)
{
  cmdUI->SetCheck(*GetCurrentOptions()->GetShowPhotometricSolid() != 0);
}

// DXF export

void CQorRoadDoc::OnExport() { m_graphicCore->ExportDxf(this); }

void CQorRoadDoc::OnUpdateExport(CCmdUI* cmdUI)
{
  IArea* area = QueryActiveArea();
  cmdUI->Enable(area && IsSiteOrInterchange(ClassIdOf(area)));
  if (area)
    area->Release();
}

// Catalogues

int CQorRoadDoc::QueryCalculationState()
{
  std::int32_t state = Shell::kCalcIdle;
  Shell::GetShellServices().SendToMainWindow(UM_GETCALCSTATE, 0, reinterpret_cast<LPARAM>(&state));
  return state;
}

void CQorRoadDoc::OnLoadCatalogFromFile() { InstallCatalog(CWnd::FromHandle(Shell::GetMainWindow()), nullptr, TRUE); }

void CQorRoadDoc::OnUpdateLoadCatalogFromFile(CCmdUI* cmdUI)
{
  cmdUI->Enable(QueryCalculationState() == Shell::kCalcIdle);
}

void CQorRoadDoc::OnManageCatalogs()
{
  const HWND mainWindow = Shell::GetMainWindow();
  if (mainWindow)
    Shell::GetShellServices().RunCatalogueManager(mainWindow, this);
}

void CQorRoadDoc::OnUpdateManageCatalogs(CCmdUI* cmdUI)
{
  cmdUI->Enable(QueryCalculationState() == Shell::kCalcIdle && m_luminaireDatabase != nullptr);
}

BOOL CQorRoadDoc::InstallCatalog(CWnd* parent, const char* file, BOOL showMessages)
{
  if (!m_luminaireDatabase)
    return FALSE;
  CString path;
  if (file) {
    path = file;
  } else {
    CFileDialog dialog(TRUE, nullptr, "*.qord", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       "Все файлы данных (*.qord)|*.qord;||", parent);
    if (dialog.DoModal() != IDOK)
      return FALSE;
    path = dialog.GetPathName();
  }

  const int countBefore = GetCatalogCount();
  LONG status = 0;
  HRESULT added = S_FALSE;
  try {
    added = Check(m_luminaireDatabase->LuminaireDbAddCatalog(_variant_t(static_cast<LPCSTR>(path)), FALSE, &status));
  } catch (const _com_error&) {
    return FALSE;
  }
  if (added == S_OK)
    return InstallNewCatalog(parent, path, showMessages, countBefore);

  const CString title = AppTitle();
  switch (status) {
  case 2:
    CatalogMessage(parent, kCatalogNewerInstalledMessage, MB_ICONEXCLAMATION, path);
    return FALSE;
  case 3:
    CatalogMessage(parent, kCatalogAlreadyInstalledMessage, MB_ICONEXCLAMATION, path);
    return FALSE;
  case 4:
    return UpdateCatalog(parent, path, showMessages);
  case 5:
    CatalogMessage(parent, kCatalogNeedsNewerProgramMessage, MB_ICONEXCLAMATION, title, kMakerWebAddress);
    return FALSE;
  case 1: {
    // No catalogue, or a damaged one: the database says what was wrong with it.
    const CString reason = RefusalOf(m_luminaireDatabase);
    if (!reason.IsEmpty())
      Shell::ShowMessageBox(OwnerOf(parent), reason, title, MB_OK | MB_ICONERROR);
    return FALSE;
  }
  default:
    return FALSE;
  }
}

BOOL CQorRoadDoc::InstallNewCatalog(CWnd* parent, const CString& path, BOOL showMessages, int countBefore)
{
  const int countAfter = GetCatalogCount();
  if (countAfter <= countBefore)
    return FALSE;
  std::vector<_CATALOG_INFO> records;
  for (int index = countBefore; index < countAfter; ++index)
    if (_CATALOG_INFO* info = GetCatalogInfo(index))
      records.push_back(*info);
  const CatalogueNames names = NamesOf(records);
  const CString destination = Shell::GetPluginsFolder() + names.fileId + ".qord";
  bool copied = false;
  {
    CWaitCursor wait;
    copied = g_copier(path, destination, false);
  }
  if (!copied) {
    // A catalogue that is not in the plug-in folder would be gone at the next start: it is not kept now either.
    for (const _CATALOG_INFO& r : records)
      UnloadCatalog(0, r.id, 0);
    CatalogMessage(parent, kCatalogCopyFailedMessage, MB_ICONERROR, path);
    return FALSE;
  }
  if (showMessages)
    CatalogMessage(parent, kCatalogInstalledMessage, MB_ICONINFORMATION, names.manufacturers);
  if (!names.label.IsEmpty()) {
    Shell::RegisterAnalyticsEvent("Управление каталогами", "Установка каталога", names.label, 1, 0);
    if (showMessages)
      Shell::SendAnalyticsInfo(0);
  }
  return TRUE;
}

BOOL CQorRoadDoc::UpdateCatalog(CWnd* parent, const CString& path, BOOL showMessages)
{
  // What the file holds, read in a database of its own.
  ILuminaireDatabase* scratch = nullptr;
  if (FAILED(CoCreateInstance(qorsrv::CLSID_LuminaireDatabase, nullptr, CLSCTX_INPROC_SERVER, IID_ILuminaireDatabase,
                              reinterpret_cast<void**>(&scratch))) ||
      !scratch)
    return FALSE;
  std::vector<_CATALOG_INFO> records;
  LONG status = 0;
  LONG count = 0;
  if (scratch->LuminaireDbAddCatalog(_variant_t(static_cast<LPCSTR>(path)), TRUE, &status) == S_OK &&
      scratch->LuminaireDbGetCatalogCount(&count) == S_OK) {
    for (LONG index = 0; index < count; ++index) {
      qorsrv::CatalogRecord* record = nullptr;
      if (scratch->LuminaireDbGetCatalogInfo(index, &record) == S_OK && record)
        records.push_back(InfoOf(*record));
    }
  }
  const CString refusal = status == 1 ? RefusalOf(scratch) : CString();
  scratch->Release();
  if (records.empty()) {
    if (!refusal.IsEmpty())
      Shell::ShowMessageBox(OwnerOf(parent), refusal, AppTitle(), MB_OK | MB_ICONERROR);
    return FALSE;
  }
  const CatalogueNames names = NamesOf(records);
  const CString destination = Shell::GetPluginsFolder() + names.fileId + ".qord";

  bool copied = false;
  {
    CWaitCursor wait;
    // The new file replaces the old one only once it is complete, and the old catalogue is let go only then: a
    // failed copy leaves the old catalogue loaded and its file as it was.
    copied = g_copier(path, destination, true);
    if (copied) {
      UnloadCatalog(0, names.fileId, 0);
      LONG again = 0;
      m_luminaireDatabase->LuminaireDbAddCatalog(_variant_t(static_cast<LPCSTR>(destination)), FALSE, &again);
    }
  }
  if (!copied) {
    CatalogMessage(parent, kCatalogCopyFailedMessage, MB_ICONERROR, path);
    return FALSE;
  }
  if (showMessages)
    CatalogMessage(parent, kCatalogUpdatedMessage, MB_ICONINFORMATION, names.manufacturers);
  Shell::RegisterAnalyticsEvent("Управление каталогами", "Обновление каталога", names.label, 1, 0);
  if (showMessages)
    Shell::SendAnalyticsInfo(0);
  return TRUE;
}
