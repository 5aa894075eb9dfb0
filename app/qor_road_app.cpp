#include "app/qor_road_app.h"

#include "app/folders.h"
#include "app/main_frame.h"
#include "app/placement.h"
#include "app/qor_road_cntr_item.h"
#include "app/qor_road_view.h"
#include "app/resource.h"
#include "app/shell/analytics.h"
#include "app/shell/luminaire_chooser.h"
#include "app/shell/optimization_dialog.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/splash_screen.h"
#include "platform/base/locale.h"
#include "catalogues/manager/dlg_management_plugins.h"
#include "app/template_import.h"
#include "catalogues/lidview/lid_view.h"
#include "document/qor_road_doc.h"
#include "document/trace_log.h"
#include "graphics/core/graphic_core_full.h"
#include "outside/analytics/analytics.h"
#include "outside/grafocore/grafocore.h"
#include "outside/mailslot/mailslot_sender.h"
#include "outside/norms/norms.h"
#include "outside/servers/iluminaire_database.h"
#include "outside/servers/registration.h"
#include "platform/base/codepage.h"
#include "platform/base/crash_handler.h"
#include "platform/base/fileops.h"
#include "platform/base/paths.h"
#include "platform/base/folders.h"
#include "platform/base/paths.h"
#include "platform/base/profile.h"
#include "platform/mfc/afxres.h"
#include "platform/shell/file_types.h"
#include "platform/shell/htmlhelp.h"
#include "platform/mfc/commdlg.h"
#include "platform/mfc/fileprompt.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/ole.h"
#include "platform/mfc/recentfilelist.h"
#include "platform/mfc/richedit.h"
#include "platform/user/common_controls.h"
#include "platform/user/msgbox.h"
#include "model/servers.h"
#include "res/modules.h"
#include "settings/preferences.h"
#include "wizard/end_page.h"
#include "wizard/wizard.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

namespace {

constexpr char kSettings[] = "Settings";
constexpr UINT kStartPageCommand = 33047;
constexpr UINT kFirstRecentFile = 57616;
// Left in the per-user Bin folder by a crash; the next start reports it.
constexpr char kCrashMarker[] = "qorroad.crash";

}  // namespace

BEGIN_MESSAGE_MAP(CQorRoadApp, CWinApp)
  ON_COMMAND(ID_APP_ABOUT, &CQorRoadApp::OnAppAbout)
  ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
  ON_COMMAND(ID_FILE_OPEN, &CQorRoadApp::OnFileOpen)
  ON_COMMAND(ids::ID_PROJECT_TEMPLATES, &CQorRoadApp::OnProjectTemplates)
  ON_COMMAND(ids::ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup)
  ON_COMMAND(ids::ID_PRINT_GRAYSCALE, &CQorRoadApp::OnPrintGrayscale)
  ON_UPDATE_COMMAND_UI(ids::ID_PRINT_GRAYSCALE, &CQorRoadApp::OnUpdatePrintGrayscale)
END_MESSAGE_MAP()

extern char** environ;

namespace {

// Every help button and command comes here: a help file that is not installed is said so, never passed over.
bool ShowHelpFile(const shell::HelpRequest& request)
{
  std::error_code error;
  const std::string path = platform::ToFileSystemPath(request.file);
  if (request.file.empty() || !std::filesystem::is_regular_file(path, error)) {
    CString text;
    text.Format("Справка не установлена: файл справки %s не найден.", request.file.c_str());
    ::MessageBox(request.caller ? request.caller : AfxGetMainWnd()->GetSafeHwnd(), text, "Tesmira Road",
                 MB_OK | MB_ICONINFORMATION);
    return false;
  }
  const char* argv[] = {"sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 &", "sh", path.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
    return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What the wizard's end page names: the luminaire a new project loads, the one the database remembers, else its
// default.
bool ProjectLuminaireOf(IQorRoadDoc* document, Wizard::ProjectLuminaire* out)
{
  ObjectModel::ServerRef<ILuminaireDatabase> database(document, qorsrv::IID_ILuminaireDatabase);
  qorsrv::LuminaireRecord* record = nullptr;
  if (!database || FAILED(database->LuminaireDbSelectRemembered()) ||
      database->LuminaireDbGetLuminaire(&record, -1, 0) != S_OK || !record)
    return false;
  out->name = record->luminaireName.c_str();
  out->power = record->lampPower * record->lampCount;
  out->flux = record->lampFlux * record->lampCount;
  return true;
}

// The projects, older projects and templates open with this program, for this user.
void RegisterFileTypes()
{
  char executable[4096] = {};
  const ssize_t length = ::readlink("/proc/self/exe", executable, sizeof(executable) - 1);
  if (length <= 0)
    return;
  shell::FileTypeRegistration registration;
  registration.id = "marvesta-tesmira-road";
  registration.programName = "Tesmira Road";
  registration.executable.assign(executable, static_cast<std::size_t>(length));
  const std::string project = codepage::Cp1251ToUtf8("Проект Tesmira Road");
  const std::string projectTemplate = codepage::Cp1251ToUtf8("Шаблон проекта Tesmira Road");
  registration.types = {{"application/x-qorroad-project", project, ".qorr5"},
                        {"application/x-qorroad-project", project, ".qorr4"},
                        {"application/x-qorroad-template", projectTemplate, ".qorrt"}};
  shell::RegisterUserFileTypes(registration);
}

// The installation folder (<prefix>/share/tesmira-road/, a program path) when this program is the installed one,
// <prefix>/lib/tesmira-road/qorroad; empty when it runs from a build tree.
std::string InstallationBesideProgram()
{
  char executable[4096] = {};
  const ssize_t length = ::readlink("/proc/self/exe", executable, sizeof(executable) - 1);
  if (length <= 0)
    return {};
  std::error_code error;
  const auto installation =
      std::filesystem::path(executable).parent_path().parent_path().parent_path() / "share" / "tesmira-road";
  if (!std::filesystem::is_directory(installation / "Bin", error))
    return {};
  return platform::FromFileSystemPath(installation.string() + "/");
}

}  // namespace

void InstallProgramServices()
{
  static const bool installed = [] {
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    InstallGraphicCore();
    grafocore::RegisterLibrary();
    qorstd::RegisterLibrary();
    InstallIntensityDiagramView();
    qoranalytics::RegisterLibrary();
    qormail::RegisterSenderClass();
    return true;
  }();
  (void)installed;
}

CQorRoadApp::CQorRoadApp() : CWinApp("Tesmira Road") {}

CQorRoadApp::~CQorRoadApp() { Shell::SetShellServices(nullptr); }

BOOL CQorRoadApp::InitInstance()
{
  InstallProgramServices();
  LoggerObjs::StartTraceLog(Shell::GetShellServices().GetAppDataBinFolder());
  // Russian number text for this thread only: files and engines keep the C locale.
  SetThreadLocale(1049);
  INITCOMMONCONTROLSEX controls;
  controls.dwICC = 0xFF;
  InitCommonControlsEx(&controls);
  CWinApp::InitInstance();
  if (!AfxOleInit()) {
    AfxMessageBox(ids::IDP_OLE_INIT_FAILED);
    return FALSE;
  }
  SetRegistryKey("Marvesta");
  // Settings, pane layout and bar state that cannot be kept are said once, not at every write.
  platform::SetProfileWriteFailureNotice([](int error) {
    const std::string text = "Настройки программы, расположение панелей и панелей инструментов не сохранены: " +
                             platform::WriteFailureReason(error) + ".";
    ::MessageBox(Shell::GetMainWindow(), text.c_str(), "Tesmira Road", MB_OK | MB_ICONEXCLAMATION);
  });
  LoadStdProfileSettings(4);
  Shell::SetShellServices(&m_services);
  shell::SetHelpHandler(&ShowHelpFile);

  // A package cannot write each user's settings as the Windows installer did: the installed program does.
  if (const std::string installation = InstallationBesideProgram();
      !installation.empty() && GetProfileString(kSettings, "InstallDir", "") != installation.c_str())
    WriteProfileString(kSettings, "InstallDir", installation.c_str());
  if (GetProfileString(kSettings, "InstallDir", "").IsEmpty()) {
    char folder[MAX_PATH] = {};
    GetCurrentDirectory(MAX_PATH, folder);
    WriteProfileString(kSettings, "DebugDir", CString(folder) + "\\");
  }
  m_printingInColor = static_cast<int>(GetProfileInt(kSettings, "PrintingInColor", 0));
  // The crash text is loaded now: a crashing process can no longer reach its resources.
  CString crashText;
  crashText.LoadString(ids::IDS_CRASH_TEXT);
  const std::string crashMarker = std::string(Shell::GetAppDataBinFolder()) + kCrashMarker;
  platform::InstallCrashHandler(crashMarker, codepage::Cp1251ToUtf8(static_cast<LPCSTR>(crashText)) + "\n");

  // Shown until the main window is made and filled; any early return takes it down.
  auto splash = std::make_unique<shell::CSplashScreen>();
  splash->Show();

  auto* docTemplate = new CSingleDocTemplate(ids::IDR_MAINFRAME, RUNTIME_CLASS(CQorRoadDoc), RUNTIME_CLASS(CMainFrame),
                                             RUNTIME_CLASS(CQorRoadView));
  docTemplate->SetClientItemClass(RUNTIME_CLASS(CQorRoadCntrItem));
  AddDocTemplate(docTemplate);
  const CString installationId = GetInstallationId();
  shell::StartProgramAnalytics(shell::GetAnalyticsModule(),
                               {static_cast<int>(GetProfileInt(kSettings, "Analytics", 1)),
                                std::string(static_cast<LPCSTR>(Shell::GetBinFolder())),
                                std::string(static_cast<LPCSTR>(Shell::GetAppDataBinFolder())),
                                std::string(static_cast<LPCSTR>(installationId))});
  if (platform::TakeCrashMarker(crashMarker)) {
    shell::ReportCrash(shell::GetAnalyticsModule(), std::string(static_cast<LPCSTR>(installationId)));
    ::MessageBox(nullptr, crashText, "Ошибка Tesmira Road", MB_ICONERROR);
  }
  AfxInitRichEdit2();

  RegisterFileTypes();

  CCommandLineInfo commandLine;
  ParseCommandLine(commandLine);
  const BOOL fileNamed = commandLine.m_nShellCommand != CCommandLineInfo::FileNew;
  if (!fileNamed) {
    OnFileNew();
    if (!m_pMainWnd)
      return FALSE;
  } else if (!ProcessShellCommand(commandLine)) {
    // The file could not be opened (its message was shown): the program goes on with a new project.
    OnFileNew();
    if (!m_pMainWnd)
      return FALSE;
  }
  m_pMainWnd->ShowWindow(SW_HIDE);
  if (auto* frame = dynamic_cast<CMainFrame*>(m_pMainWnd)) {
    IQorRoadDoc* document = frame->GetDocumentInterface();
    shell::InstallLuminaireChooser(document);
    Wizard::SetProjectLuminaireSource(
        [document](Wizard::ProjectLuminaire* out) { return ProjectLuminaireOf(document, out); });
  }

  if (!fileNamed) {
    if (GetProfileInt(kSettings, "StartPage", 1) == 0)
      m_pMainWnd->SendMessage(WM_COMMAND, kFirstRecentFile);
    else
      m_startPageDue = TRUE;
  }
  splash.reset();
  WINDOWPLACEMENT placement;
  m_pMainWnd->ShowWindow(LoadWindowPlacement(&placement) ? static_cast<int>(placement.showCmd) : SW_SHOWMAXIMIZED);
  m_pMainWnd->UpdateWindow();
  m_pMainWnd->DragAcceptFiles(TRUE);
  if (m_startPageDue)
    m_pMainWnd->PostMessage(WM_COMMAND, kStartPageCommand);
  return TRUE;
}

int CQorRoadApp::ExitInstance()
{
  const int code = CWinApp::ExitInstance();
  platform::SetProfileWriteFailureNotice(nullptr);
  Shell::SetShellServices(nullptr);
  shell::SetHelpHandler(nullptr);
  Wizard::SetProjectLuminaireSource(nullptr);
  return code;
}

void CQorRoadApp::OnAppAbout()
{
  shell::CAboutDlg about(m_pMainWnd);
  about.DoModal();
}

void CQorRoadApp::OnFileOpen()
{
  // The open project is settled before a file is chosen, and the answer is not asked for again after the choice.
  auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
  CDocument* document = frame ? frame->GetActiveDocument() : nullptr;
  if (document && document->IsModified() && !document->SaveModified())
    return;
  CString name;
  if (!DoPromptFileName(name, AFX_IDS_OPENFILE, platform::mfc::kOfnHideReadOnly | platform::mfc::kOfnFileMustExist,
                        TRUE, nullptr))
    return;
  const BOOL keptChanges = document && document->IsModified();
  if (keptChanges)
    document->SetModifiedFlag(FALSE);
  if (!OpenDocumentFile(name) && keptChanges && frame->GetActiveDocument() == document)
    document->SetModifiedFlag(TRUE);
}

BOOL CQorRoadApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                   CDocTemplate* pTemplate)
{
  if (fileName.Find('\\') < 0 && fileName.Find('/') < 0) {
    const CString folder(platform::DocumentsFolder().c_str());
    if (GetFileAttributes(folder) != INVALID_FILE_ATTRIBUTES)
      fileName = folder + fileName;
  }
  return CWinApp::DoPromptFileName(fileName, nIDSTitle, lFlags, bOpenFileDialog, pTemplate);
}

void CQorRoadApp::OnProjectTemplates()
{
  char currentFolder[MAX_PATH] = {};
  GetCurrentDirectory(MAX_PATH, currentFolder);
  CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                     "Шаблоны проектов Tesmira Road (*.qorrt)|*.qorrt||", m_pMainWnd);
  const CString templatesFolder = GetTemplatesFolder();
  dialog.m_ofn.lpstrInitialDir = templatesFolder;
  if (dialog.DoModal() != IDOK)
    return;
  CString targetFolder(platform::DocumentsFolder().c_str());
  if (GetFileAttributes(targetFolder) == INVALID_FILE_ATTRIBUTES)
    targetFolder = CString(currentFolder) + "\\";
  SetCurrentDirectory(targetFolder);
  const TemplateImportResult result =
      ImportProjectTemplate(dialog.GetPathName(), targetFolder, [this](const CString& path) -> BOOL {
        if (!OpenDocumentFile(path))
          return FALSE;
        if (m_pRecentFileList && m_pRecentFileList->GetSize() > 0)
          m_pRecentFileList->Remove(0);
        return TRUE;
      });
  if (result.outcome != TemplateImport::kOpened) {
    AfxMessageBox(ids::IDS_TEMPLATE_ERROR, MB_ICONEXCLAMATION);
    return;
  }
  CString name(dialog.GetFileTitle());
  if (!name.IsEmpty()) {
    Shell::RegisterAnalyticsEvent("Проект", "Шаблоны.Импорт", name, 1, 1);
    Shell::SendAnalyticsInfo(1);
  }
}

void CQorRoadApp::OnPrintGrayscale()
{
  m_printingInColor = !m_printingInColor;
  WriteProfileInt(kSettings, "PrintingInColor", m_printingInColor);
}

void CQorRoadApp::OnUpdatePrintGrayscale(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_printingInColor == 0); }

// ---- What the model asks of the shell

HWND CQorRoadApp::CServices::GetMainWindow() { return m_app->m_pMainWnd ? m_app->m_pMainWnd->GetSafeHwnd() : nullptr; }

int CQorRoadApp::CServices::ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
  return ::MessageBox(owner, text, caption, type);
}

LRESULT CQorRoadApp::CServices::SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam)
{
  HWND main = GetMainWindow();
  return main ? ::SendMessage(main, message, wParam, lParam) : 0;
}

UINT CQorRoadApp::CServices::GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue)
{
  return m_app->GetProfileInt(section, entry, defaultValue);
}

CString CQorRoadApp::CServices::GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue)
{
  return m_app->GetProfileString(section, entry, defaultValue);
}

BOOL CQorRoadApp::CServices::WriteProfileInt(LPCSTR section, LPCSTR entry, int value)
{
  return m_app->WriteProfileInt(section, entry, value);
}

CString CQorRoadApp::CServices::GetInstallationId() { return ::GetInstallationId(); }

int CQorRoadApp::CServices::RunWizard(HWND parent, _WIZARD_DATA* data) { return Wizard::RunWizardFor(parent, data); }

HMODULE CQorRoadApp::CServices::GetAnalyticsModule() { return shell::GetAnalyticsModule()->module; }

int CQorRoadApp::CServices::RegisterAnalyticsEvent(LPCSTR category, LPCSTR action, LPCSTR label, int value, int flag)
{
  return shell::RegisterAnalyticsEvent(shell::GetAnalyticsModule(), category, action, label,
                                       std::to_string(value).c_str(), flag);
}

int CQorRoadApp::CServices::SendAnalyticsInfo(int flag)
{
  return shell::SendAnalyticsInfo(shell::GetAnalyticsModule(), flag);
}

int CQorRoadApp::CServices::RunOptimizationDialog(HWND parent, Shell::OptimizationChoice* values)
{
  if (!values)
    return IDCANCEL;
  shell::CDlgRunOptimization dialog(CWnd::FromHandle(parent));
  dialog.m_dIlluminance = values->illuminanceTarget;
  dialog.m_dLuminance = values->luminanceTarget;
  dialog.m_nMode = values->criterion;
  dialog.m_bUniformity = values->uniformityCheck;
  dialog.m_dIlluminanceUniformity = values->illuminanceUniformityLimit;
  dialog.m_dLuminanceUniformity = values->luminanceUniformityLimit;
  if (dialog.DoModal() != IDOK)
    return IDCANCEL;
  values->illuminanceTarget = dialog.m_dIlluminance;
  values->luminanceTarget = dialog.m_dLuminance;
  values->criterion = dialog.m_nMode;
  values->uniformityCheck = dialog.m_bUniformity;
  values->illuminanceUniformityLimit = dialog.m_dIlluminanceUniformity;
  values->luminanceUniformityLimit = dialog.m_dLuminanceUniformity;
  return IDOK;
}

int CQorRoadApp::CServices::RunCatalogueManager(HWND parent, IQorRoadDoc* document)
{
  return static_cast<int>(ManagementPlugins::RunCatalogueManager(parent, document));
}

int CQorRoadApp::CServices::RunPreferences(HWND parent, IQorRoadDoc* document, IVisualOpt* options,
                                           Shell::PreferencesOutcome* outcome)
{
  return Options::RunPreferences(parent, document, options, outcome);
}
