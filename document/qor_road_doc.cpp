#include "document/qor_road_doc.h"

#include "document/doc_support.h"
#include "document/project_file.h"
#include "document/trace_log.h"
#include "geometry/view_camera.h"
#include "model/graphics_services.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/ivisualopt.h"
#include "model/project.h"
#include "model/read_checks.h"
#include "model/iresults.h"
#include "model/report_preferences.h"
#include "model/shell/shell_services.h"
#include "model/version.h"
#include "outside/grafocore/grafocore.h"
#include "outside/servers/iluminaire_database.h"
#include "outside/servers/ipole_catalog.h"
#include "outside/servers/iprice_database.h"
#include "outside/servers/istatistics.h"
#include "platform/base/interlocked.h"
#include "platform/base/paths.h"
#include "platform/com/combase.h"
#include "platform/com/comerror.h"
#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/view.h"
#include "platform/user/msgbox.h"
#include "platform/mfc-core/exceptions.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <stdexcept>

IMPLEMENT_DYNCREATE(CQorRoadDoc, CDocument)

using namespace document_detail;

BEGIN_MESSAGE_MAP(CQorRoadDoc, CDocument)
  ON_COMMAND(ID_FILE_NEW, &CQorRoadDoc::OnNewStraightRoad)
  ON_COMMAND(1023, &CQorRoadDoc::OnNewStraightRoad)
  ON_COMMAND(32849, &CQorRoadDoc::OnNewStraightRoad)
  ON_COMMAND(32850, &CQorRoadDoc::OnNewOpenTerritory)
  ON_COMMAND(32926, &CQorRoadDoc::OnNewTurn)
  ON_COMMAND(32944, &CQorRoadDoc::OnNewFork)
  ON_COMMAND(32936, &CQorRoadDoc::OnNewIntersection)
  ON_COMMAND(32940, &CQorRoadDoc::OnNewJunction)
  ON_COMMAND(32948, &CQorRoadDoc::OnNewWidening)
  ON_COMMAND(32959, &CQorRoadDoc::OnNewRoundabout)
  ON_COMMAND(33054, &CQorRoadDoc::OnNewMultiLevel)
  ON_UPDATE_COMMAND_UI(32850, &CQorRoadDoc::OnUpdateNewTypicalForm)
  ON_UPDATE_COMMAND_UI(32926, &CQorRoadDoc::OnUpdateNewTypicalForm)
  ON_UPDATE_COMMAND_UI(32944, &CQorRoadDoc::OnUpdateNewTypicalForm)
  ON_UPDATE_COMMAND_UI(32936, &CQorRoadDoc::OnUpdateNewTypicalForm)
  ON_UPDATE_COMMAND_UI(32940, &CQorRoadDoc::OnUpdateNewTypicalForm)
  ON_UPDATE_COMMAND_UI(32948, &CQorRoadDoc::OnUpdateNewTypicalForm)
  ON_UPDATE_COMMAND_UI(32959, &CQorRoadDoc::OnUpdateNewTypicalForm)
  ON_UPDATE_COMMAND_UI(33054, &CQorRoadDoc::OnUpdateNewTypicalForm)
  ON_COMMAND(32772, &CQorRoadDoc::OnCalculate)
  ON_COMMAND(33074, &CQorRoadDoc::OnCalculateForProtocol)
  ON_COMMAND(33079, &CQorRoadDoc::OnCancelCalculation)
  ON_UPDATE_COMMAND_UI(33079, &CQorRoadDoc::OnUpdateCancelCalculation)
  ON_COMMAND(32965, &CQorRoadDoc::OnOptimization)
  ON_UPDATE_COMMAND_UI(32965, &CQorRoadDoc::OnUpdateOptimization)
  ON_COMMAND(32812, &CQorRoadDoc::OnSettings)
  ON_COMMAND(32829, &CQorRoadDoc::OnSettingsCalcMode)
  ON_COMMAND(32830, &CQorRoadDoc::OnSettingsImage)
  ON_COMMAND(32999, &CQorRoadDoc::OnSettingsProtocol)
  ON_COMMAND(32843, &CQorRoadDoc::OnSettingsColor)
  ON_COMMAND(32844, &CQorRoadDoc::OnSettingsFont)
  ON_COMMAND(32918, &CQorRoadDoc::OnObjectWizard)
  ON_COMMAND(32963, &CQorRoadDoc::OnToggleTransparency)
  ON_UPDATE_COMMAND_UI(32963, &CQorRoadDoc::OnUpdateToggleTransparency)
  ON_COMMAND(33029, &CQorRoadDoc::OnPhotometricBody)
  ON_UPDATE_COMMAND_UI(33029, &CQorRoadDoc::OnUpdatePhotometricBody)
  ON_COMMAND(33050, &CQorRoadDoc::OnExport)
  ON_UPDATE_COMMAND_UI(33050, &CQorRoadDoc::OnUpdateExport)
  ON_COMMAND(33142, &CQorRoadDoc::OnLoadCatalogFromFile)
  ON_UPDATE_COMMAND_UI(33142, &CQorRoadDoc::OnUpdateLoadCatalogFromFile)
  ON_COMMAND(33143, &CQorRoadDoc::OnManageCatalogs)
  ON_UPDATE_COMMAND_UI(33143, &CQorRoadDoc::OnUpdateManageCatalogs)
END_MESSAGE_MAP()

namespace {

constexpr DWORD kViewBits[8] = {1, 2, 4, 8, 16, 32, 64, 128};

// Never reset while the program runs: each new project takes the next number.
long g_newProjectCounter = 0;

const char* const kMissingQorSrv = "Не найдена компонента приложения QorSrv.dll";
const char* const kMissingQorEconomic = "Не найдена компонента приложения QorEconomic.dll";
const char* const kMissingQorStatcs = "Не найдена компонента приложения QorStatcs.dll";
const char* const kLuminaireDbFailed = "Ошибка открытия базы данных световых приборов.";
const char* const kLuminaireDbEmpty = "База данных не содержит световых приборов.";
const char* const kRepairedValuesMessage =
    "Некоторые параметры проекта (шаг или смещение опор, высота опор, размеры участка) выходят за допустимые "
    "пределы. Они заменены ближайшими допустимыми значениями; проверьте проект перед расчетом.";


void Step(int step)
{
  LoggerObjs::GetLogger().WriteStep(step);
}

void ServerMessage(const char* text)
{
  Shell::ShowMessageBox(nullptr, text, AppTitle(), Shell::MB_OK | Shell::MB_ICONERROR);
}

}  // namespace

// Construction and destruction

CQorRoadDoc::CQorRoadDoc()
{
  Step(1);
  CoInitialize(nullptr);
  Step(2);
  OpenServers();
  Step(3);
  InitHistory();
  Step(4);
  ApplyTransparency(static_cast<int>(Shell::GetProfileInt("Settings", "Transparence", 255)));
  Step(5);
  m_graphicCore = CreateGraphicCore(this);
  Step(6);
  AddRef();
  Step(7);
  OpenStatistics();
}

CQorRoadDoc::~CQorRoadDoc()
{
  CloseStatistics();
  CloseServers();
  while (m_stateCount > 0)
    ReleaseLastState();
  InterlockedDecrement(&m_refCount);
  CoUninitialize();
  delete m_graphicCore;
  m_graphicCore = nullptr;
}

void CQorRoadDoc::SetTitle(LPCSTR title)
{
  CDocument::SetTitle(title);
}

// The outside servers

BOOL CQorRoadDoc::OpenLuminaireDatabase()
{
  ILuminaireDatabase* database = nullptr;
  if (FAILED(CoCreateInstance(qorsrv::CLSID_LuminaireDatabase, nullptr, CLSCTX_INPROC_SERVER, IID_ILuminaireDatabase,
                              reinterpret_cast<void**>(&database))) ||
      !database) {
    ServerMessage(kMissingQorSrv);
    return FALSE;
  }
  try {
    CString dataFolder = Shell::GetAppDataBinFolder();
    Check(database->LuminaireDbSetDataFolder(_variant_t(static_cast<LPCSTR>(dataFolder))));
    LONG status = 0;
    CString main = dataFolder + "QorRoad.qord";
    if (Check(database->LuminaireDbAddCatalog(_variant_t(static_cast<LPCSTR>(main)), TRUE, &status)) != S_OK) {
      ServerMessage(kLuminaireDbFailed);
      database->Release();
      return FALSE;
    }
    std::error_code error;
    std::string plugins = platform::ToFileSystemPath(static_cast<LPCSTR>(Shell::GetPluginsFolder()));
    if (!plugins.empty()) {
      for (const auto& entry : std::filesystem::directory_iterator(plugins, error)) {
        if (entry.path().extension() != ".qord")
          continue;
        std::string path = platform::FromFileSystemPath(entry.path().string());
        status = 0;
        Check(database->LuminaireDbAddCatalog(_variant_t(path.c_str()), FALSE, &status));
        // A plug-in that cannot be read is left out of this run, and the user hears why.
        qorsrv::ILuminaireCatalogue* catalogue = nullptr;
        if (status == qorsrv::kCatalogUnreadable &&
            database->QueryInterface(qorsrv::IID_ILuminaireCatalogue, reinterpret_cast<void**>(&catalogue)) == S_OK &&
            catalogue) {
          const CString reason = catalogue->GetLastMessage();
          catalogue->Release();
          if (!reason.IsEmpty())
            ServerMessage(reason);
        }
      }
    }
    LONG count = 0;
    Check(database->LuminaireDbGetCount(&count));
    if (count == 0) {
      ServerMessage(kLuminaireDbEmpty);
      database->Release();
      return TRUE;
    }
  } catch (const _com_error&) {
    ServerMessage(kLuminaireDbFailed);
    database->Release();
    return FALSE;
  }
  m_luminaireDatabase = database;
  return TRUE;
}

void CQorRoadDoc::OpenServers()
{
  OpenLuminaireDatabase();
  CString dataFolder = Shell::GetAppDataBinFolder();
  if (SUCCEEDED(CoCreateInstance(qorsrv::CLSID_PoleCatalog, nullptr, CLSCTX_INPROC_SERVER, IID_IPoleCatalog,
                                 reinterpret_cast<void**>(&m_poleCatalog))) &&
      m_poleCatalog) {
    CString path = dataFolder + "QorRoad.qorp";
    if (FAILED(m_poleCatalog->PoleCatalogOpen(_variant_t(static_cast<LPCSTR>(path)))))
      ReleaseAndNull(m_poleCatalog);
  } else {
    m_poleCatalog = nullptr;
    ServerMessage(kMissingQorSrv);
  }
  if (SUCCEEDED(CoCreateInstance(qorsrv::CLSID_PriceDatabase, nullptr, CLSCTX_INPROC_SERVER, IID_IPriceDatabase,
                                 reinterpret_cast<void**>(&m_priceDatabase))) &&
      m_priceDatabase) {
    CString path = dataFolder + "QorRoad.price";
    if (FAILED(m_priceDatabase->PriceDbOpen(_variant_t(static_cast<LPCSTR>(path)))))
      ReleaseAndNull(m_priceDatabase);
  } else {
    m_priceDatabase = nullptr;
    ServerMessage(kMissingQorEconomic);
  }
}

void CQorRoadDoc::CloseServers()
{
  ReleaseAndNull(m_luminaireDatabase);
  ReleaseAndNull(m_poleCatalog);
  if (m_priceDatabase) {
    m_priceDatabase->PriceDbClose();
    ReleaseAndNull(m_priceDatabase);
  }
}

void CQorRoadDoc::OpenStatistics()
{
  if (FAILED(CoCreateInstance(qorsrv::CLSID_Statistics, nullptr, CLSCTX_INPROC_SERVER, qorsrv::IID_IStatistics,
                              reinterpret_cast<void**>(&m_statistics))) ||
      !m_statistics) {
    m_statistics = nullptr;
    ServerMessage(kMissingQorStatcs);
    return;
  }
  CString path = Shell::GetAppDataBinFolder() + "QorRoad.prnt";
  _bstr_t bPath(static_cast<LPCSTR>(path));
  CString id = Shell::GetShellServices().GetInstallationId();
  _bstr_t bId(static_cast<LPCSTR>(id));
  if (SUCCEEDED(m_statistics->Open(bPath.GetBSTR())) && SUCCEEDED(m_statistics->SetInstallationId(bId.GetBSTR())) &&
      SUCCEEDED(m_statistics->SetMode(0)) && SUCCEEDED(m_statistics->OpenSession(&m_statisticsObject))) {
    if (Shell::GetProfileInt("Settings", "SendInfo", 1) != 0)
      m_statistics->SendInfo();
  }
}

void CQorRoadDoc::CloseStatistics()
{
  if (!m_statistics)
    return;
  m_statistics->EndSession();
  m_statistics->Flush();
  m_statistics->CloseSession(m_statisticsObject);
  m_statistics->Close();
  ReleaseAndNull(m_statisticsObject);
  ReleaseAndNull(m_statistics);
}

// The history

IProject* CQorRoadDoc::GetCurrentProject() const
{
  CheckCurrent();
  return m_projects[m_current];
}

IVisualOpt* CQorRoadDoc::GetCurrentOptions() const
{
  CheckCurrent();
  return m_options[m_current];
}

void CQorRoadDoc::CheckCurrent() const
{
  if (m_current < 0 || m_current >= static_cast<int>(m_projects.size()) ||
      m_current >= static_cast<int>(m_options.size()))
    AfxThrowInvalidArgException();
}

void CQorRoadDoc::ReleaseLastState()
{
  int last = m_stateCount - 1;
  m_options[last]->Release();
  m_projects[last]->Release();
  m_options.pop_back();
  m_projects.pop_back();
  --m_stateCount;
  if (m_current == last)
    --m_current;
  if (m_snapshot == m_current)
    --m_snapshot;
}

void CQorRoadDoc::TruncateHistory(int from)
{
  while (m_stateCount > from && m_stateCount > 0)
    ReleaseLastState();
}

void CQorRoadDoc::InitHistory()
{
  TruncateHistory(0);
  IVisualOpt* options = nullptr;
  IProject* project = nullptr;
  CreateVisualOpt(&options);
  CreateProject(this, &project);
  if (!options || !project)
    throw std::runtime_error("the model could not make a project state");
  m_options.push_back(options);
  m_projects.push_back(project);
  m_current = 0;
  m_snapshot = -1;
  m_stateCount = 1;
}

int CQorRoadDoc::PushUndoState()
{
  CheckCurrent();
  IVisualOpt* options = nullptr;
  IProject* project = nullptr;
  CreateVisualOpt(&options);
  CreateProject(this, &project);
  AsObject(GetCurrentProject())->CopyTo(AsObject(project), 0);
  GetCurrentOptions()->CopyTo(options);

  TruncateHistory(m_current + 1);
  IProject* liveProject = m_projects[m_current];
  IVisualOpt* liveOptions = m_options[m_current];
  m_projects[m_current] = project;
  m_options[m_current] = options;
  m_snapshot = m_current;
  m_projects.push_back(liveProject);
  m_options.push_back(liveOptions);
  ++m_stateCount;
  m_current = m_stateCount - 1;

  if (m_stateCount >= 4) {
    int drop = m_stateCount - 3;
    for (int k = 0; k < drop; ++k) {
      m_options[k]->Release();
      m_projects[k]->Release();
    }
    m_options.erase(m_options.begin(), m_options.begin() + drop);
    m_projects.erase(m_projects.begin(), m_projects.begin() + drop);
    m_stateCount = 3;
    m_current = 2;
    m_snapshot = 1;
  }
  CDocument::SetModifiedFlag(TRUE);
  return 0;
}

int CQorRoadDoc::DropUndoState()
{
  CheckCurrent();
  // Without a snapshot below the live state there is nothing to withdraw; going on would release the live
  // objects themselves.
  if (m_snapshot < 0 || m_snapshot >= m_current)
    return 0;
  m_options[m_snapshot]->CopyTo(m_options[m_current]);
  m_options[m_snapshot]->Release();
  m_projects[m_snapshot]->Release();
  m_options[m_snapshot] = m_options[m_current];
  m_projects[m_snapshot] = m_projects[m_current];
  m_options.erase(m_options.begin() + m_current);
  m_projects.erase(m_projects.begin() + m_current);
  --m_stateCount;
  m_current = m_snapshot;
  CDocument::SetModifiedFlag(TRUE);
  ReapplyViewType();
  return 0;
}

int CQorRoadDoc::Undo()
{
  if (m_current <= 0)
    return 0;
  CheckCurrent();
  _DEVCPOSITION cameras[8];
  bool haveCameras = false;
  if (IArea* area = QueryActiveArea()) {
    haveCameras = true;
    for (int k = 0; k < 8; ++k) {
      _DEVCPOSITION* record = nullptr;
      area->GetViewCamera(&kViewBits[k], &record);
      if (record)
        cameras[k] = *record;
      else
        haveCameras = false;
    }
    area->Release();
  }
  --m_current;
  if (IArea* area = QueryActiveArea()) {
    for (int k = 0; haveCameras && k < 8; ++k) {
      _DEVCPOSITION* record = nullptr;
      area->GetViewCamera(&kViewBits[k], &record);
      if (record)
        *record = cameras[k];
    }
    area->Release();
  }
  Shell::GetShellServices().SendToMainWindow(UM_SHOWOBJECT, 0, 0);
  ReapplyViewType();
  m_graphicCore->Render(TRUE, FALSE);
  return 0;
}

int CQorRoadDoc::Redo()
{
  if (m_current >= m_stateCount - 1)
    return 0;
  CheckCurrent();
  _DEVCPOSITION cameras[8];
  bool haveCameras = false;
  if (IArea* area = QueryActiveArea()) {
    haveCameras = true;
    for (int k = 0; k < 8; ++k) {
      _DEVCPOSITION* record = nullptr;
      area->GetViewCamera(&kViewBits[k], &record);
      if (record)
        cameras[k] = *record;
      else
        haveCameras = false;
    }
    area->Release();
  }
  ++m_current;
  if (IArea* area = QueryActiveArea()) {
    for (int k = 0; haveCameras && k < 8; ++k) {
      _DEVCPOSITION* record = nullptr;
      area->GetViewCamera(&kViewBits[k], &record);
      if (record)
        *record = cameras[k];
    }
    area->Release();
  }
  Shell::GetShellServices().SendToMainWindow(UM_SHOWOBJECT, 0, 0);
  ReapplyViewType();
  m_graphicCore->Render(TRUE, FALSE);
  return 0;
}

BOOL CQorRoadDoc::CanUndo()
{
  return m_current > 0;
}

BOOL CQorRoadDoc::CanRedo()
{
  return m_current < m_stateCount - 1;
}

int CQorRoadDoc::CollapseHistory()
{
  if (m_stateCount <= 1 || m_current == 0)
    return 1;
  std::swap(m_projects[0], m_projects[m_current]);
  std::swap(m_options[0], m_options[m_current]);
  m_current = 0;
  m_snapshot = -1;
  while (m_stateCount > 1) {
    int last = m_stateCount - 1;
    m_options[last]->Release();
    m_projects[last]->Release();
    m_options.pop_back();
    m_projects.pop_back();
    --m_stateCount;
  }
  return 0;
}

// The project file (project_file.h). Only the current state is stored; the history and the optimisation
// settings never are.

void CQorRoadDoc::Serialize(CArchive& ar)
{
  if (ar.IsStoring())
    StoreProject(ar);
  else
    LoadProject(ar);
}

void CQorRoadDoc::StoreProject(CArchive& ar)
{
  ProjectFile::WriteHeader(ar, m_viewMode);
  // The saved file cannot be undone past.
  CollapseHistory();
  ProjectFile::WriteBody(ar, GetCurrentOptions(), AsObject(GetCurrentProject()), m_graphicCore);
}

void CQorRoadDoc::LoadProject(CArchive& ar)
{
  const ProjectFile::Header header = ProjectFile::ReadHeader(ar);
  const UINT error = ProjectFile::CheckHeader(header);

  // Whatever the file turns out to be, the document starts again from a fresh project.
  CDocument::OnNewDocument();
  NewProject(FALSE);

  if (error != 0) {
    AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
    // Already told: the framework shows nothing more and does not bind the document to this file.
    AfxThrowUserException();
  }

  m_loadingProjectNumber = g_newProjectCounter;
  ObjectModel::TakeRepairedValues();
  ProjectFile::ReadBody(ar, header.version, &m_viewMode, GetCurrentOptions(), AsObject(GetCurrentProject()),
                        m_graphicCore);
  m_loadingProjectNumber = 0;
  if (ObjectModel::TakeRepairedValues() > 0)
    AfxMessageBox(kRepairedValuesMessage, MB_OK | MB_ICONEXCLAMATION);

  NotifyFontsChanged(0);
  Shell::GetShellServices().SendToMainWindow(UM_SHOWOBJECT, 0, 0);
  ReapplyViewType();
  m_graphicCore->m_bDrawing = TRUE;
  m_graphicCore->Render(header.version < ProjectFile::kWholeGraphicsBlockVersion ? TRUE : FALSE, TRUE);
  if (m_graphicCore->LibraryPartSkipped())
    AfxMessageBox(grafocore::SkippedPartMessage(), MB_OK | MB_ICONEXCLAMATION);
}

BOOL CQorRoadDoc::OnOpenDocument(LPCSTR pathName)
{
  m_loadingProjectNumber = 0;
  if (CDocument::OnOpenDocument(pathName))
    return TRUE;
  // A file damaged inside a block has left part of itself in the project: the fresh project of the reset
  // takes its place again, under the number it already had.
  if (m_loadingProjectNumber != 0) {
    long number = m_loadingProjectNumber;
    m_loadingProjectNumber = 0;
    InitHistory();
    ResetProject(FALSE, number);
    CDocument::SetModifiedFlag(FALSE);
  }
  return FALSE;
}

// New projects

BOOL CQorRoadDoc::QuerySaveProject()
{
  if (!IsModified())
    return TRUE;
  CString prompt;
  prompt.LoadString(499);
  CString text;
  text.Format(prompt, static_cast<LPCSTR>(GetTitle()));
  HWND main = Shell::GetMainWindow();
  int answer = ::MessageBox(main, text, AppTitle(), MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDYES) {
    if (main)
      ::SendMessage(main, WM_COMMAND, ID_FILE_SAVE, 0);
    else
      DoFileSave();
    return TRUE;
  }
  return answer == IDNO;
}

BOOL CQorRoadDoc::OnNewDocument()
{
  Step(18);
  if (!CDocument::OnNewDocument())
    return FALSE;
  if (!m_luminaireDatabase)
    return FALSE;
  Step(19);
  NewProject(TRUE);
  Step(20);
  return TRUE;
}

void CQorRoadDoc::NewProject(BOOL notify)
{
  ResetProject(notify, ++g_newProjectCounter);
}

void CQorRoadDoc::ResetProject(BOOL notify, long number)
{
  CWaitCursor wait;
  m_graphicCore->m_bDrawing = FALSE;
  m_graphicCore->ClearFrame();
  m_graphicCore->SwapBuffers();
  bool mainWindow = Shell::GetMainWindow() != nullptr;
  if (notify && mainWindow)
    Shell::GetShellServices().SendToMainWindow(UM_CLEARPANES, 0, 0);
  m_graphicCore->ClearRasters();
  if (m_stateCount != 1)
    InitHistory();

  IVisualOpt* options = GetCurrentOptions();
  options->SetDefaults();
  options->LoadColours();
  m_viewMode = 0x202;
  IProject* project = GetCurrentProject();
  AsObject(project)->SetDefaults();

  CString defaultName;
  if (!defaultName.LoadString(101))
    defaultName = "Project";
  CString name;
  name.Format("%s - %ld", static_cast<LPCSTR>(defaultName), number);
  project->SetName(&name);

  CString executor = Shell::GetShellServices().GetProfileString("Settings", "UserName", "");
  CString organization = Shell::GetShellServices().GetProfileString("Settings", "Organization", "");
  project->SetExecutor(&executor);
  project->SetOrganization(&organization);

  SetTitle(name);
  NotifyFontsChanged(0);
  if (notify && mainWindow)
    Shell::GetShellServices().SendToMainWindow(UM_SHOWOBJECT, 0, 0);
  wait.Restore();
  if (notify) {
    ReapplyViewType();
    m_graphicCore->m_bDrawing = TRUE;
    m_graphicCore->Render(TRUE, TRUE);
    ResetViewCameras();
  }
}

void CQorRoadDoc::NewProjectOfKind(int* kind)
{
  OnNewDocument();
  NewProject(FALSE);
  CWaitCursor wait;
  const CLSID& areaClass = *kind == 8 ? CLSID_CCustomizeRoad3D : CLSID_CCustomizeRoad;
  IArea* area = GetCurrentProject()->ResetAreas(areaClass);
  if (area) {
    area->SetTypicalForm(kind);
    area->BuildTypicalForm();
    const UINT captionId = TypicalFormCaption(*kind);
    CString caption;
    if (captionId != 0)
      caption.LoadString(captionId);
    IClassObjModel* object = nullptr;
    if (SUCCEEDED(area->QueryInterface(&IID_IClassObjModel, reinterpret_cast<void**>(&object))) && object) {
      object->SetName(&caption);
      object->Release();
    }
    area->SetCaption(&caption);
    area->FormatCaption();
    area->Release();
  }
  Shell::GetShellServices().SendToMainWindow(UM_SHOWOBJECT, 0, 0);
  ResetViewCameras();
  ReapplyViewType();
  m_graphicCore->m_bDrawing = TRUE;
  m_graphicCore->Render(TRUE, TRUE);
}

void CQorRoadDoc::OnNewStraightRoad()
{
  if (!QuerySaveProject())
    return;
  OnNewDocument();
  SetViewType(2);
}

void CQorRoadDoc::NewTypicalFormCommand(int kind)
{
  if (!QuerySaveProject())
    return;
  NewProjectOfKind(&kind);
  SetViewType(2);
}

void CQorRoadDoc::OnNewOpenTerritory() { NewTypicalFormCommand(0); }
void CQorRoadDoc::OnNewTurn() { NewTypicalFormCommand(1); }
void CQorRoadDoc::OnNewFork() { NewTypicalFormCommand(2); }
void CQorRoadDoc::OnNewIntersection() { NewTypicalFormCommand(3); }
void CQorRoadDoc::OnNewJunction() { NewTypicalFormCommand(4); }
void CQorRoadDoc::OnNewWidening() { NewTypicalFormCommand(5); }
void CQorRoadDoc::OnNewRoundabout() { NewTypicalFormCommand(7); }
void CQorRoadDoc::OnNewMultiLevel() { NewTypicalFormCommand(8); }

// The interface

HRESULT CQorRoadDoc::QueryInterface(REFIID iid, void** out)
{
  if (!out)
    return E_POINTER;
  *out = nullptr;
  if (iid == IID_IVisualOpt) {
    IVisualOpt* options = GetCurrentOptions();
    options->AddRef();
    *out = options;
    return S_OK;
  }
  if (iid == IID_IProject) {
    IProject* project = GetCurrentProject();
    project->AddRef();
    *out = project;
    return S_OK;
  }
  if (iid == IID_ActiveArea)
    return GetCurrentProject()->QueryInterface(&iid, out);
  if (iid == IID_IQorRoadDoc) {
    AddRef();
    *out = static_cast<IQorRoadDoc*>(this);
    return S_OK;
  }
  IUnknown* server = nullptr;
  if (iid == IID_ILuminaireDatabase)
    server = m_luminaireDatabase;
  else if (iid == IID_IPoleCatalog)
    server = m_poleCatalog;
  else if (iid == IID_IPriceDatabase)
    server = m_priceDatabase;
  if (!server)
    return E_NOINTERFACE;
  server->AddRef();
  *out = server;
  return S_OK;
}

ULONG CQorRoadDoc::AddRef()
{
  return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

ULONG CQorRoadDoc::Release()
{
  // The document belongs to its template; the count never deletes it.
  return static_cast<ULONG>(InterlockedDecrement(&m_refCount));
}

IArea* CQorRoadDoc::QueryActiveArea(IProject* project)
{
  void* area = nullptr;
  if (!project || FAILED(project->QueryInterface(&IID_ActiveArea, &area)))
    return nullptr;
  return static_cast<IArea*>(area);
}

IArea* CQorRoadDoc::QueryActiveArea()
{
  return QueryActiveArea(GetCurrentProject());
}

IQorRoadView* CQorRoadDoc::GetFirstQorRoadView() const
{
  POSITION position = GetFirstViewPosition();
  if (!position)
    return nullptr;
  CView* view = GetNextView(position);
  return dynamic_cast<IQorRoadView*>(view);
}

int CQorRoadDoc::ResetActiveAreaResults()
{
  if (IArea* area = QueryActiveArea()) {
    ResetResults(area);
    area->Release();
  }
  return 0;
}

int CQorRoadDoc::ResetAllResults()
{
  auto* project = dynamic_cast<ObjectModel::CProject*>(GetCurrentProject());
  for (IArea* area = project ? project->GetFirstArea() : nullptr; area; area = area->GetNext())
    ResetResults(area);
  return 0;
}

int CQorRoadDoc::NotifyView(int, LPARAM lParam, BOOL post)
{
  IQorRoadView* qorView = GetFirstQorRoadView();
  if (!qorView)
    return 1;
  auto* view = dynamic_cast<CView*>(qorView);
  if (post)
    view->PostMessage(UM_VIEWNOTIFY, 0, lParam);
  else
    view->SendMessage(UM_VIEWNOTIFY, 0, lParam);
  return 0;
}

int CQorRoadDoc::Redraw(BOOL recalc, BOOL rebuild, BOOL swap)
{
  m_graphicCore->m_bSwapBuffers = swap;
  m_graphicCore->Render(recalc, rebuild);
  return 0;
}

void CQorRoadDoc::GetTitle(CString* out)
{
  *out = CDocument::GetTitle();
}

// The camera is what the view shows: a type kept only here would leave the picture in the old projection.
int CQorRoadDoc::SetViewType(DWORD type)
{
  m_viewType = type;
  if (CViewCamera* camera = CurrentViewCamera())
    camera->SetViewType(type);
  return 0;
}

int CQorRoadDoc::ReapplyViewType()
{
  if (CViewCamera* camera = CurrentViewCamera())
    camera->SetViewType(camera->m_viewType);
  return 0;
}

#define QOR_VIEW_PARAM(n)                                 \
  float CQorRoadDoc::GetViewParam##n()                    \
  {                                                       \
    float value = 0;                                      \
    if (IArea* area = QueryActiveArea()) {                \
      value = area->GetViewParam##n();                    \
      area->Release();                                    \
    }                                                     \
    return value;                                         \
  }                                                       \
  int CQorRoadDoc::SetViewParam##n(float value)           \
  {                                                       \
    if (IArea* area = QueryActiveArea()) {                \
      area->SetViewParam##n(value);                       \
      area->Release();                                    \
    }                                                     \
    return 0;                                             \
  }
QOR_VIEW_PARAM(0)
QOR_VIEW_PARAM(1)
QOR_VIEW_PARAM(2)
QOR_VIEW_PARAM(3)
QOR_VIEW_PARAM(4)
QOR_VIEW_PARAM(5)
QOR_VIEW_PARAM(6)
QOR_VIEW_PARAM(7)
#undef QOR_VIEW_PARAM

int CQorRoadDoc::NotifyFontsChanged(LPARAM lParam)
{
  int count = GetCurrentOptions()->GetFontCount();
  for (int i = 0; i < count; ++i)
    NotifyFontChanged(lParam, i);
  return 0;
}

int CQorRoadDoc::NotifyFontChanged(LPARAM lParam, int index)
{
  IQorRoadView* qorView = GetFirstQorRoadView();
  if (!qorView)
    return 1;
  dynamic_cast<CView*>(qorView)->SendMessage(UM_VIEWFONTCHANGED, static_cast<WPARAM>(index), lParam);
  return 0;
}

int CQorRoadDoc::ResetViewCameras()
{
  IArea* area = QueryActiveArea();
  if (!area)
    return 0;
  area->ResetViews();
  for (DWORD bit : kViewBits) {
    _DEVCPOSITION* record = nullptr;
    area->GetViewCamera(&bit, &record);
    if (!record)
      continue;
    *record = _DEVCPOSITION{};
    // Through the core: a straight road's plan and wall views centre on the section it laid out.
    Graphics::MakeCameraPreset(m_graphicCore, nullptr, record, bit, area);
  }
  area->Release();
  return 0;
}

BOOL CQorRoadDoc::IsContourOfPrim()
{
  IQorRoadView* view = GetFirstQorRoadView();
  return view ? view->ContourOfPrim() : FALSE;
}

int CQorRoadDoc::SetContourOfPrim(BOOL on)
{
  if (IQorRoadView* view = GetFirstQorRoadView())
    view->ContourOfPrim() = on;
  Shell::WriteProfileInt("Settings", "IsContourOfPrim", on);
  return 0;
}

BOOL CQorRoadDoc::IsReloctblPrimitives()
{
  IQorRoadView* view = GetFirstQorRoadView();
  return view ? view->ReloctblPrimitives() : FALSE;
}

int CQorRoadDoc::SetReloctblPrimitives(BOOL on)
{
  if (IQorRoadView* view = GetFirstQorRoadView())
    view->ReloctblPrimitives() = on;
  Shell::WriteProfileInt("Settings", "IsReloctblPrimitives", on);
  return 0;
}

HRESULT CQorRoadDoc::ResetCurrentViewCamera()
{
  IArea* area = QueryActiveArea();
  if (!area)
    return E_NOINTERFACE;
  _DEVCPOSITION* record = nullptr;
  area->GetViewCamera(&m_viewType, &record);
  if (record)
    Graphics::MakeCameraPreset(m_graphicCore, CurrentViewCamera(), record, m_viewType, area);
  area->Release();
  return S_OK;
}

int CQorRoadDoc::GetViewCamera(DWORD viewBit, _DEVCPOSITION** out)
{
  IArea* area = QueryActiveArea();
  if (!area)
    return 1;
  int result = area->GetViewCamera(&viewBit, out);
  area->Release();
  return result;
}

BOOL CQorRoadDoc::FindUnderlayUser(int id, BOOL detach)
{
  auto* project = dynamic_cast<ObjectModel::CProject*>(GetCurrentProject());
  BOOL found = FALSE;
  for (IArea* area = project ? project->GetFirstArea() : nullptr; area; area = area->GetNext()) {
    if (*area->GetUnderlayId() != id)
      continue;
    found = TRUE;
    if (detach & 1) {
      int none = 0;
      area->SetUnderlayId(&none);
    }
  }
  return found;
}

CString* CQorRoadDoc::GetUnderlayPath(CString* out, int id)
{
  *out = m_graphicCore->GetUnderlayPath(id);
  return out;
}

int CQorRoadDoc::CloneUnderlay(int* id)
{
  m_graphicCore->CloneUnderlay(id);
  return 0;
}

int CQorRoadDoc::DeleteLibraryProject(int id)
{
  m_graphicCore->DeleteLibraryProject(id);
  return 0;
}

int CQorRoadDoc::OpenDxfFile(const char* path, int* id)
{
  CWaitCursor wait;
  m_graphicCore->OpenDxfFile(path, id);
  return 0;
}

double CQorRoadDoc::GetMarkerSize()
{
  _DEVCPOSITION* record = nullptr;
  if (GetViewCamera(m_viewType, &record) != 0 || !record)
    return 0.0;
  return std::fabs(0.0035 * record->z);
}

double* CQorRoadDoc::GetViewCentre(double* point)
{
  m_graphicCore->GetViewCentre(point);
  return point;
}

double* CQorRoadDoc::GetPlacementPoint(double* point, IArea* area)
{
  GetViewCentre(point);
  if (!area)
    return point;
  double base = *area->GetBaseHeight();
  point[2] = base < 0 ? 0.0 : base;
  if (!area->IsActive()) {
    point[0] = 0.0;
    point[1] = 0.0;
  }
  return point;
}

double* CQorRoadDoc::GetLibraryProjectSize(double* out)
{
  m_graphicCore->GetLibraryProjectSize(out);
  return out;
}

BOOL CQorRoadDoc::PrepareProtocol()
{
  IArea* area = QueryActiveArea();
  if (!area)
    return TRUE;
  CGuid kind;
  void* object = nullptr;
  if (SUCCEEDED(area->QueryInterface(&IID_IClassObjModel, &object)) && object) {
    static_cast<IClassObjModel*>(object)->GetClassId(&kind);
    static_cast<IClassObjModel*>(object)->Release();
  }
  void* results = nullptr;
  const bool hasResults = SUCCEEDED(area->QueryInterface(&IID_IResultsOfCalc, &results)) && results;
  area->Release();
  if (!hasResults)
    return TRUE;
  const _CALC_RESULTS data = *static_cast<IResultsOfCalc*>(results)->GetData();
  static_cast<IResultsOfCalc*>(results)->Release();
  // A straight road's tables are short; only a grid over a whole site can fill pages.
  if (kind.IsEqual(&CLSID_CStraightRoad) || data.valid != 1)
    return TRUE;

  // A table page holds 12 columns and 59 rows.
  const long pages = (1 + static_cast<long>(data.nX / 12)) * (1 + static_cast<long>(data.nRoad / 59));
  constexpr int kIlluminanceTable = 311;
  CPreferencesOfReport* report = GetCurrentOptions()->GetReportPreferences();
  tag_ITEM_PREF_OF_REPORT item{};
  if (!report || !report->GetItem(kIlluminanceTable, &item) || item.state == 0 || pages <= 10)
    return TRUE;

  CString format, text, caption;
  format.LoadString(746);
  text.Format(format, pages);
  caption.LoadString(747);
  const int answer = Shell::ShowMessageBox(Shell::GetMainWindow(), text, caption, MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL)
    return FALSE;
  if (answer == IDYES) {
    item.state = 0;
    report->SetItemState(kIlluminanceTable, &item, FALSE);
    // Without the table, isolines, fill or node values, the illuminance section would stand empty.
    auto isOn = [report](int id) {
      tag_ITEM_PREF_OF_REPORT row{};
      return report->GetItem(id, &row) && row.state != 0;
    };
    tag_ITEM_PREF_OF_REPORT distribution{};
    if (!isOn(308) && !isOn(309) && !isOn(310) && report->GetItem(305, &distribution) && distribution.state != 0) {
      distribution.state = 0;
      report->SetItemState(305, &distribution, FALSE);
    }
  }
  return TRUE;
}

int CQorRoadDoc::ReleaseUnderlay(int id)
{
  if (id == 0)
    return 0;
  int users = 0;
  for (int s = 0; s < m_stateCount && users < 2; ++s) {
    auto* project = dynamic_cast<ObjectModel::CProject*>(m_projects[s]);
    for (IArea* area = project ? project->GetFirstArea() : nullptr; area && users < 2; area = area->GetNext())
      if (*area->GetUnderlayId() == id)
        ++users;
  }
  if (users >= 2)
    return 0;
  if (id & 0x1000)
    m_graphicCore->DeleteLibraryProject(id);
  else
    m_graphicCore->RemoveRaster(id);
  return 0;
}

int CQorRoadDoc::EnableRendering(BOOL on, BOOL recalc)
{
  m_graphicCore->m_bDrawing = on;
  if (on) {
    m_graphicCore->Render(recalc, TRUE);
  } else {
    m_graphicCore->ClearFrame();
    m_graphicCore->SwapBuffers();
  }
  return 0;
}

BOOL CQorRoadDoc::IsCalcAreaIdFree(int id, BOOL currentOnly)
{
  for (int s = 0; s < m_stateCount; ++s) {
    if (currentOnly && s != m_current)
      continue;
    auto* project = dynamic_cast<ObjectModel::CProject*>(m_projects[s]);
    for (IArea* area = project ? project->GetFirstArea() : nullptr; area; area = area->GetNext())
      if (*area->GetCalcAreaId() == id)
        return FALSE;
  }
  return TRUE;
}

double* CQorRoadDoc::GetLibraryProjectPosition(double* out)
{
  out[0] = out[1] = out[2] = 0.0;
  m_graphicCore->GetLibraryProjectPosition(out);
  return out;
}

int CQorRoadDoc::ToLibraryCoords(double* point)
{
  double origin[3];
  GetLibraryProjectPosition(origin);
  for (int k = 0; k < 3; ++k)
    point[k] -= origin[k];
  return 0;
}

int CQorRoadDoc::GetCatalogCount()
{
  if (!m_luminaireDatabase)
    return 0;
  LONG count = 0;
  Check(m_luminaireDatabase->LuminaireDbGetCatalogCount(&count));
  return static_cast<int>(count);
}

_CATALOG_INFO* CQorRoadDoc::GetCatalogInfo(int index)
{
  if (!m_luminaireDatabase)
    return nullptr;
  qorsrv::CatalogRecord* record = nullptr;
  if (m_luminaireDatabase->LuminaireDbGetCatalogInfo(index, &record) != S_OK || !record)
    return nullptr;
  static_assert(sizeof m_catalogInfo.id == sizeof record->id);
  std::memcpy(m_catalogInfo.id, record->id, sizeof m_catalogInfo.id);
  std::memcpy(m_catalogInfo.manufacturer, record->name, sizeof m_catalogInfo.manufacturer);
  std::memcpy(m_catalogInfo.text3, record->trademark, sizeof m_catalogInfo.text3);
  m_catalogInfo.date = record->date;
  m_catalogInfo.picture = record->picture;
  m_catalogInfo.pictureBytes = record->pictureBytes;
  return &m_catalogInfo;
}

int CQorRoadDoc::ReopenLuminaireDatabase()
{
  ReleaseAndNull(m_luminaireDatabase);
  OpenLuminaireDatabase();
  return m_luminaireDatabase ? 0 : 1;
}

BOOL CQorRoadDoc::UnloadCatalog(int, const char* catalogueId, int)
{
  if (!m_luminaireDatabase || !catalogueId)
    return FALSE;
  HRESULT removed = Check(m_luminaireDatabase->LuminaireDbRemoveCatalog(_variant_t(catalogueId)));
  Check(m_luminaireDatabase->LuminaireDbApply());
  return removed == S_OK ? TRUE : FALSE;
}
