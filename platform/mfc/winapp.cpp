#include "platform/mfc/winapp.h"

#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/resources.h"
#include "platform/mfc/dc.h"
#include "platform/mfc/doctemplate.h"
#include "platform/mfc/document.h"
#include "platform/mfc/frame.h"
#include "platform/mfc/gdiobj.h"
#include "platform/mfc/imagelist.h"
#include "platform/mfc/menu.h"
#include "platform/mfc/fileprompt.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/view.h"
#include "platform/mfc/wnd.h"
#include "platform/base/fileops.h"
#include "platform/base/paths.h"

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

std::atomic<CWinApp*> g_app{nullptr};
// The application object is the thread object of the thread that made it.
thread_local CWinThread* t_currentThread = nullptr;

constexpr char kRecentFileSection[] = "Recent File List";
constexpr char kRecentFileEntry[] = "File%d";
constexpr char kPreviewSection[] = "Settings";
constexpr char kPreviewEntry[] = "PreviewPages";

// An error of the framework's core that no one caught goes to the user as a message box.
int ReportThroughMessageBox(LPCSTR message, UINT type) { return AfxMessageBox(message, type); }

constexpr UINT kSystemTimer = 0x0118;

}  // namespace

CWinApp* AfxGetApp() { return g_app.load(); }

CWinThread* AfxGetThread() { return t_currentThread; }

CWnd* AfxGetMainWnd()
{
  CWinApp* app = AfxGetApp();
  return app != nullptr ? app->GetMainWnd() : nullptr;
}

// CWinThread

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
  // The window and its parents up to the main window may take the message first (accelerators, dialogs).
  HWND stop = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
  for (HWND hwnd = pMsg->hwnd; hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
    if (CWnd* pWnd = CWnd::FromHandlePermanent(hwnd); pWnd != nullptr && pWnd->PreTranslateMessage(pMsg)) {
      return TRUE;
    }
    if (hwnd == stop) {
      break;
    }
  }
  return FALSE;
}

BOOL CWinThread::PumpMessage()
{
  if (!::GetMessage(&m_msgCur, nullptr, 0, 0)) {
    return FALSE;
  }
  if (!PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessage(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
  if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
    // A mouse standing still keeps sending moves; those are not news.
    if (pMsg->pt == m_ptCursorLast && pMsg->message == m_nMsgLast) {
      return FALSE;
    }
    m_ptCursorLast = pMsg->pt;
    m_nMsgLast = pMsg->message;
    return TRUE;
  }
  return pMsg->message != WM_PAINT && pMsg->message != kSystemTimer;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
  if (lCount <= 0) {
    // The update-UI pass: the frame and every bar in it bring their items up to date.
    // The main window first, then every other visible frame (floating bars live in frames of their own).
    auto update = [](CWnd* pWnd) {
      if (pWnd != nullptr && pWnd->m_hWnd != nullptr && pWnd->IsWindowVisible()) {
        pWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
        pWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
      }
    };
    CWnd* pMainWnd = m_pMainWnd;
    update(pMainWnd);
    for (CFrameWnd* pFrame : CFrameWnd::LiveFrames()) {
      // A frame that went away during an earlier update is no longer live.
      std::vector<CFrameWnd*> live = CFrameWnd::LiveFrames();
      if (pFrame != pMainWnd && std::find(live.begin(), live.end(), pFrame) != live.end()) {
        update(pFrame);
      }
    }
    return TRUE;  // once more, for the clean-up
  }
  if (lCount == 1) {
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CImageList::DeleteTempMap();
  }
  return FALSE;
}

int CWinThread::Run()
{
  BOOL idle = TRUE;
  LONG idleCount = 0;
  for (;;) {
    MSG peek;
    while (idle && !::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) {
        idle = FALSE;
      }
    }
    do {
      if (!PumpMessage()) {
        return ExitInstance();
      }
      if (IsIdleMessage(&m_msgCur)) {
        idle = TRUE;
        idleCount = 0;
      }
    } while (::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE));
  }
}

// CCommandLineInfo

void CCommandLineInfo::ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL)
{
  if (bFlag) {
    CString flag(pszParam);
    if (flag.CompareNoCase("nologo") == 0) {
      m_bShowSplash = FALSE;
    } else if (flag.CompareNoCase("Embedding") == 0) {
      m_bRunEmbedded = TRUE;
      m_bShowSplash = FALSE;
    } else if (flag.CompareNoCase("Automation") == 0) {
      m_bRunAutomated = TRUE;
      m_bShowSplash = FALSE;
    } else if (flag.CompareNoCase("p") == 0) {
      m_nShellCommand = FilePrint;
    } else if (flag.CompareNoCase("dde") == 0) {
      m_nShellCommand = FileDDE;
    } else if (flag.CompareNoCase("Register") == 0 || flag.CompareNoCase("Regserver") == 0) {
      m_nShellCommand = AppRegister;
    } else if (flag.CompareNoCase("Unregister") == 0 || flag.CompareNoCase("Unregserver") == 0) {
      m_nShellCommand = AppUnregister;
    }
    return;
  }
  if (m_strFileName.IsEmpty()) {
    m_strFileName = pszParam;
    if (m_nShellCommand == FileNew) {
      m_nShellCommand = FileOpen;
    }
  }
}

// CWinApp

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
  ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, &CWinApp::OnOpenRecentFile)
  ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
{
  if (lpszAppName != nullptr) {
    m_strAppName = lpszAppName;
  } else {
    m_strAppName.LoadString(AFX_IDS_APP_TITLE);
  }
  m_pszAppName = m_strAppName;
  m_pszExeName = m_strAppName;
  m_hInstance = AfxGetInstanceHandle();
  // One application per process: the newest is the one the framework talks to.
  g_app.store(this);
  t_currentThread = this;
  platform::ReportErrorHook = &ReportThroughMessageBox;
}

CWinApp::~CWinApp()
{
  // Windows still open go first: their frames and views hold on to the documents the templates list.
  if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr && ::IsWindow(m_pMainWnd->m_hWnd)) {
    m_pMainWnd->DestroyWindow();
  }
  for (CDocTemplate* pTemplate : m_templates) {
    delete pTemplate;
  }
  m_templates.clear();
  delete m_pRecentFileList;
  m_pRecentFileList = nullptr;
  if (t_currentThread == this) {
    t_currentThread = nullptr;
  }
  CWinApp* self = this;
  if (g_app.compare_exchange_strong(self, nullptr)) {
    platform::ReportErrorHook = nullptr;
  }
}

BOOL CWinApp::InitApplication() { return TRUE; }

int CWinApp::ExitInstance()
{
  SaveStdProfileSettings();
  return CWinThread::ExitInstance();
}

BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

// Profile

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
  m_strRegistryKey = lpszRegistryKey != nullptr ? lpszRegistryKey : "";
  m_pszRegistryKey = m_strRegistryKey;
  m_pszProfileName = m_pszAppName;
  m_profile = std::make_unique<platform::ProfileStore>(m_strRegistryKey.str(), m_strAppName.str());
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
  CString key;
  key.LoadString(nIDRegistryKey);
  SetRegistryKey(key);
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
  return m_profile ? m_profile->GetProfileInt(lpszSection, lpszEntry, nDefault) : static_cast<UINT>(nDefault);
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
  if (!m_profile) {
    return CString(lpszDefault);
  }
  return CString(m_profile->GetProfileString(lpszSection, lpszEntry, lpszDefault));
}

BOOL CWinApp::GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
{
  if (!m_profile) {
    *ppData = nullptr;
    *pBytes = 0;
    return FALSE;
  }
  return m_profile->GetProfileBinary(lpszSection, lpszEntry, ppData, pBytes);
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
  return m_profile ? m_profile->WriteProfileInt(lpszSection, lpszEntry, nValue) : FALSE;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
  return m_profile ? m_profile->WriteProfileString(lpszSection, lpszEntry, lpszValue) : FALSE;
}

BOOL CWinApp::WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
  return m_profile ? m_profile->WriteProfileBinary(lpszSection, lpszEntry, pData, nBytes) : FALSE;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
  if (nMaxMRU != 0) {
    delete m_pRecentFileList;
    m_pRecentFileList = new CRecentFileList(0, kRecentFileSection, kRecentFileEntry, static_cast<int>(nMaxMRU));
    m_pRecentFileList->ReadList();
    // Saves killed half-way leave their temporaries beside the files they were saving.
    std::set<std::string> folders;
    for (int i = 0; i < m_pRecentFileList->GetSize(); ++i)
      if (!(*m_pRecentFileList)[i].IsEmpty())
        folders.insert(std::string(platform::FolderOf(static_cast<LPCSTR>((*m_pRecentFileList)[i]))));
    for (const std::string& folder : folders)
      if (!folder.empty())
        platform::RemoveLeftSaveTemporaries(folder);
  }
  m_nNumPreviewPages = GetProfileInt(kPreviewSection, kPreviewEntry, 0);
}

void CWinApp::SaveStdProfileSettings()
{
  if (m_pRecentFileList != nullptr) {
    m_pRecentFileList->WriteList();
  }
  if (m_nNumPreviewPages != 0) {
    WriteProfileInt(kPreviewSection, kPreviewEntry, static_cast<int>(m_nNumPreviewPages));
  }
}

// Documents

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
  pTemplate->LoadTemplate();
  m_templates.push_back(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
  return m_templates.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<UINT_PTR>(1));
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
  auto index = reinterpret_cast<UINT_PTR>(pos) - 1;
  if (pos == nullptr || index >= m_templates.size()) {
    pos = nullptr;
    return nullptr;
  }
  pos = index + 1 < m_templates.size() ? reinterpret_cast<POSITION>(index + 2) : nullptr;
  return m_templates[index];
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName)
{
  if (lpszFileName == nullptr || *lpszFileName == '\0') {
    return nullptr;
  }
  CString fullPath = platform::mfc::FullPath(lpszFileName);
  lpszFileName = fullPath;
  CDocTemplate* best = nullptr;
  CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
  CDocument* alreadyOpen = nullptr;
  for (CDocTemplate* pTemplate : m_templates) {
    CDocument* match = nullptr;
    CDocTemplate::Confidence confidence = pTemplate->MatchDocType(lpszFileName, match);
    if (confidence > bestMatch) {
      bestMatch = confidence;
      best = pTemplate;
    }
    if (confidence == CDocTemplate::yesAlreadyOpen) {
      alreadyOpen = match;
      break;
    }
  }
  if (alreadyOpen != nullptr) {
    // Already open: show it rather than read the file again over the user's changes.
    POSITION pos = alreadyOpen->GetFirstViewPosition();
    if (CView* pView = alreadyOpen->GetNextView(pos)) {
      if (CFrameWnd* pFrame = pView->GetParentFrame()) {
        pFrame->ActivateFrame();
      }
    }
    return alreadyOpen;
  }
  if (best == nullptr) {
    AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
    return nullptr;
  }
  return best->OpenDocumentFile(lpszFileName);
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName)
{
  if (m_pRecentFileList != nullptr) {
    m_pRecentFileList->Add(lpszPathName);
  }
}

BOOL CWinApp::SaveAllModified()
{
  for (CDocTemplate* pTemplate : m_templates) {
    if (!pTemplate->SaveAllModified()) {
      return FALSE;
    }
  }
  return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
  for (CDocTemplate* pTemplate : m_templates) {
    pTemplate->CloseAllDocuments(bEndSession);
  }
}

void CWinApp::HideApplication()
{
  if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr) {
    m_pMainWnd->ShowWindow(SW_HIDE);
  }
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                               CDocTemplate* pTemplate)
{
  platform::mfc::FileNamePrompt prompt;
  prompt.title.LoadString(nIDSTitle);
  prompt.fileName = fileName;
  // A save dialog asks before replacing a file.
  prompt.flags = lFlags | (bOpenFileDialog ? 0 : platform::mfc::kOfnOverwritePrompt);
  prompt.open = bOpenFileDialog != FALSE;
  // One filter line per template ("name|*.a;*.b|"), and the save dialog's default extension.
  std::vector<CDocTemplate*> templates;
  if (pTemplate != nullptr) {
    templates.push_back(pTemplate);
  } else {
    templates = m_templates;
  }
  for (CDocTemplate* t : templates) {
    CString name;
    CString extensions;
    if (!t->GetDocString(name, CDocTemplate::filterName) || !t->GetDocString(extensions, CDocTemplate::filterExt) ||
        extensions.IsEmpty()) {
      continue;
    }
    CString patterns;
    CString extension;
    for (int i = 0; AfxExtractSubString(extension, extensions, i, ';'); ++i) {
      if (extension.IsEmpty()) {
        continue;
      }
      if (prompt.defaultExt.IsEmpty()) {
        prompt.defaultExt = extension.Mid(extension[0] == '.' ? 1 : 0);
      }
      if (!patterns.IsEmpty()) {
        patterns += ';';
      }
      patterns += "*";
      patterns += extension;
    }
    prompt.filter += name + "|" + patterns + "|";
  }
  CString all;
  if (all.LoadString(AFX_IDS_ALLFILTER)) {
    prompt.filter += all + "|*.*|";
  }
  prompt.filter += "|";
  std::optional<CString> answer = platform::mfc::AskFileName(prompt);
  if (!answer) {
    return FALSE;
  }
  fileName = *answer;
  return TRUE;
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT)
{
  if ((nType & MB_ICONMASK) == 0) {
    switch (nType & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
        nType |= MB_ICONEXCLAMATION;
        break;
      case MB_YESNO:
      case MB_YESNOCANCEL:
        nType |= MB_ICONQUESTION;
        break;
      default:
        break;
    }
  }
  // Owned by the window in front (a dialog over the main window), so that it opens over that one.
  HWND owner = m_pMainWnd != nullptr && ::IsWindow(m_pMainWnd->m_hWnd) ? m_pMainWnd->m_hWnd : nullptr;
  if (owner != nullptr) {
    HWND popup = ::GetLastActivePopup(owner);
    if (popup != nullptr && ::IsWindowVisible(popup) && ::IsWindowEnabled(popup)) {
      owner = popup;
    }
  }
  return ::MessageBox(owner, lpszPrompt, m_pszAppName, nType);
}

void CWinApp::DoWaitCursor(int nCode)
{
  if (nCode > 0) {
    if (m_nWaitCursorCount++ == 0) {
      m_hcurWaitCursorRestore = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    }
  } else if (nCode < 0) {
    if (m_nWaitCursorCount > 0 && --m_nWaitCursorCount == 0) {
      ::SetCursor(m_hcurWaitCursorRestore);
    }
  } else if (m_nWaitCursorCount > 0) {
    ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
  // Windows' rules, short of backslash escapes: blanks separate, double quotes group.
  std::vector<std::string> args;
  std::string current;
  bool inQuotes = false;
  bool any = false;
  for (const char* p = m_lpCmdLine != nullptr ? m_lpCmdLine : ""; *p != '\0'; ++p) {
    if (*p == '"') {
      inQuotes = !inQuotes;
      any = true;
    } else if ((*p == ' ' || *p == '\t') && !inQuotes) {
      if (any) {
        args.push_back(current);
      }
      current.clear();
      any = false;
    } else {
      current += *p;
      any = true;
    }
  }
  if (any) {
    args.push_back(current);
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // '/' also starts every absolute path here: only "/word" is a flag.
    bool flag = arg.size() > 1 &&
                (arg[0] == '-' || (arg[0] == '/' && std::all_of(arg.begin() + 1, arg.end(), [](char c) {
                                     return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
                                   })));
    rCmdInfo.ParseParam(flag ? arg.c_str() + 1 : arg.c_str(), flag, i + 1 == args.size());
  }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
  switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr)) {
        OnFileNew();
      }
      return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
      return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    default:
      return TRUE;
  }
}

void CWinApp::OnFileNew()
{
  if (!m_templates.empty()) {
    m_templates.front()->OpenDocumentFile(nullptr);
  }
}

void CWinApp::OnFileOpen()
{
  CString newName;
  if (!DoPromptFileName(newName, AFX_IDS_OPENFILE, platform::mfc::kOfnHideReadOnly | platform::mfc::kOfnFileMustExist, TRUE, nullptr)) {
    return;
  }
  OpenDocumentFile(newName);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
  if (m_pRecentFileList == nullptr) {
    return FALSE;
  }
  int index = static_cast<int>(nID - ID_FILE_MRU_FILE1);
  CString path = (*m_pRecentFileList)[index];
  if (path.IsEmpty()) {
    return FALSE;
  }
  // A file that cannot be opened any more leaves the list.
  if (OpenDocumentFile(path) == nullptr) {
    m_pRecentFileList->Remove(index);
  }
  return TRUE;
}

void CWinApp::OnAppExit()
{
  if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr) {
    m_pMainWnd->SendMessage(WM_CLOSE);
  }
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return -1;
  }
  if (hInstance != nullptr) {
    app->m_hInstance = hInstance;
  }
  app->m_lpCmdLine = lpCmdLine != nullptr ? lpCmdLine : "";
  app->m_nCmdShow = nCmdShow;
  if (!app->InitApplication() || !app->InitInstance()) {
    if (app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr) {
      app->m_pMainWnd->DestroyWindow();
    }
    return app->ExitInstance();
  }
  return app->Run();
}
