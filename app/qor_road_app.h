// The application object: start-up in its fixed order, the application-wide commands (project templates,
// greyscale printing, About) and the answers the model and the document ask of the shell.
#pragma once

#include "model/shell/shell_services.h"
#include "platform/mfc/afxwin.h"

class CQorRoadApp : public CWinApp {
public:
  CQorRoadApp();
  ~CQorRoadApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;

  BOOL IsPrintingInColor() const { return m_printingInColor; }

  void OnAppAbout();
  void OnFileOpen();
  void OnProjectTemplates();
  void OnPrintGrayscale();
  void OnUpdatePrintGrayscale(CCmdUI* pCmdUI);

  // Set by start-up when no file was named and the start page is due; tests read it.
  BOOL m_startPageDue = FALSE;

  // A name without a folder is proposed in the documents folder, and an open dialog starts there.
  BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                        CDocTemplate* pTemplate) override;

protected:
  DECLARE_MESSAGE_MAP()

private:
  class CServices : public Shell::CShellServices {
  public:
    explicit CServices(CQorRoadApp* app) : m_app(app) {}
    HWND GetMainWindow() override;
    int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) override;
    LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) override;
    UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) override;
    CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue) override;
    BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value) override;
    CString GetInstallationId() override;
    int RunWizard(HWND parent, _WIZARD_DATA* data) override;
    BOOL IsPrintingInColor() override { return m_app->m_printingInColor; }
    HMODULE GetAnalyticsModule() override;
    int RegisterAnalyticsEvent(LPCSTR category, LPCSTR action, LPCSTR label, int value, int flag) override;
    int SendAnalyticsInfo(int flag) override;
    int RunOptimizationDialog(HWND parent, Shell::OptimizationChoice* values) override;
    int RunCatalogueManager(HWND parent, IQorRoadDoc* document) override;
    int RunPreferences(HWND parent, IQorRoadDoc* document, IVisualOpt* options,
                       Shell::PreferencesOutcome* outcome) override;

  private:
    CQorRoadApp* m_app;
  };

  int m_printingInColor = 0;
  CServices m_services{this};
};

// What the program installs once per process: its resources, the outside servers, the render core, the
// graphics library, the norms library and the intensity diagrams.
void InstallProgramServices();
