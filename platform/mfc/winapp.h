// CWinApp: the one application object. It runs the message loop with its idle-time work (update-UI of the
// frame and its bars), keeps the document templates and the recent-file list, handles the file commands that
// are not the document's (new, open, recent files, exit), and reads and writes the profile.
#pragma once

#include "platform/base/profile.h"
#include "platform/mfc-core/collection_support.h"
#include "platform/mfc/cmdtarget.h"
#include "platform/mfc/recentfilelist.h"
#include "platform/user/user.h"

#include <memory>
#include <vector>

class CWnd;
class CDocument;
class CDocTemplate;
struct PRINTDLG;

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)
public:
  CWinThread() = default;
  ~CWinThread() override = default;

  CWnd* m_pMainWnd = nullptr;
  virtual CWnd* GetMainWnd() { return m_pMainWnd; }

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance();
  // The message loop: idle work while the queue is empty, until WM_QUIT; answers ExitInstance's code.
  virtual int Run();
  // Takes and dispatches one message; FALSE on WM_QUIT.
  virtual BOOL PumpMessage();
  // Idle work step lCount of a quiet spell; TRUE while there is more to do.
  virtual BOOL OnIdle(LONG lCount);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Messages after which the idle work is due again (not mouse moves to the same place, nor paint or timers).
  virtual BOOL IsIdleMessage(MSG* pMsg);

  MSG m_msgCur{};

protected:
  POINT m_ptCursorLast{-1, -1};
  UINT m_nMsgLast = 0;
};

// Command-line parsing as start-up uses it.
class CCommandLineInfo : public CObject {
public:
  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1 };
  virtual void ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL bLast);

  BOOL m_bShowSplash = TRUE;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
  int m_nShellCommand = FileNew;
  CString m_strFileName;
};

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)
public:
  // lpszAppName null: the name is string AFX_IDS_APP_TITLE.
  explicit CWinApp(LPCSTR lpszAppName = nullptr);
  ~CWinApp() override;

  HINSTANCE m_hInstance = nullptr;
  LPCSTR m_lpCmdLine = "";
  int m_nCmdShow = SW_SHOWNORMAL;
  LPCSTR m_pszAppName = nullptr;
  LPCSTR m_pszExeName = nullptr;
  LPCSTR m_pszRegistryKey = nullptr;
  LPCSTR m_pszProfileName = nullptr;
  CRecentFileList* m_pRecentFileList = nullptr;
  UINT m_nNumPreviewPages = 0;

  // The application's printer (printing.cpp): its settings into the record, taken from the default printer the
  // first time; FALSE when there is no printer.
  BOOL GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg);
  // ID_FILE_PRINT_SETUP: the printer setup dialog on the application's printer.
  void OnFilePrintSetup();

  virtual BOOL InitApplication();
  int ExitInstance() override;
  BOOL OnIdle(LONG lCount) override;

  // Profile: values live under the registry key (company) and the application's name.
  void SetRegistryKey(LPCSTR lpszRegistryKey);
  void SetRegistryKey(UINT nIDRegistryKey);
  UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
  CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
  BOOL GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
  BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
  BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
  BOOL WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE pData, UINT nBytes);
  // The store behind the profile functions; null before SetRegistryKey.
  platform::ProfileStore* GetProfileStore() { return m_profile.get(); }
  // The recent-file list of nMaxMRU entries (0: none) read from the profile, and the preview page count.
  void LoadStdProfileSettings(UINT nMaxMRU = 4);
  void SaveStdProfileSettings();

  // Documents
  void AddDocTemplate(CDocTemplate* pTemplate);  // the application owns it from now on
  POSITION GetFirstDocTemplatePosition() const;
  CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
  virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
  virtual void AddToRecentFileList(LPCSTR lpszPathName);
  BOOL SaveAllModified();
  void CloseAllDocuments(BOOL bEndSession);
  void HideApplication();
  // The open/save dialog; FALSE when cancelled.
  virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                CDocTemplate* pTemplate);
  virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);
  virtual void DoWaitCursor(int nCode);  // 1 on, -1 off, 0 restore

  // Start-up
  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

  // Commands
  void OnFileNew();
  void OnFileOpen();
  BOOL OnOpenRecentFile(UINT nID);
  void OnAppExit();

  int m_nWaitCursorCount = 0;

protected:
  CString m_strAppName;
  CString m_strRegistryKey;
  std::unique_ptr<platform::ProfileStore> m_profile;
  std::vector<CDocTemplate*> m_templates;
  HCURSOR m_hcurWaitCursorRestore = nullptr;

  DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
// The calling thread's thread object: the application on the thread that made it, else null.
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
// The entry: InitApplication, InitInstance, then Run (or ExitInstance when start-up failed).
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
