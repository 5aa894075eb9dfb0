// The program's main window: command bars, status bar with the progress bar, the four docking panes around
// the view, and the hub of the private window messages through which the document, panes, view, worker
// threads and engines meet. It keeps the calculation state and the exit-pending flag (calc_state.h).
#pragma once

#include "app/progress_bar.h"
#include "model/shell/window_messages.h"
#include "platform/mfc/afxwin.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/statusbar.h"
#include "toolkit/docking/pane_manager.h"

#include <memory>

struct IGroupOfDev;
struct IPrimitive;
struct IQorRoadDoc;
class CQorRoadView;
class CTKResourceManager;
class CTKToolBar;
class CTKControlComboBox;
namespace shell {
class FrameWorkers;
class UpdateFetch;
}  // namespace shell
namespace VisualCtrl {
class CReportView;
class CEcnmContainerWnd;
class CTreeObjects;
class CPropObjects;
}  // namespace VisualCtrl

class CMainFrame : public CTKFrameWnd, public IProgressBarHost {
  DECLARE_DYNCREATE(CMainFrame)
public:
  CMainFrame();
  ~CMainFrame() override;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  IQorRoadDoc* GetDocumentInterface() const { return m_pDocument; }
  CTKDockingPaneManager* GetPaneManager() { return &m_paneManager; }
  CTKStatusBar* GetStatusBar() { return &m_wndStatusBar; }
  CProgressBar* GetProgressBar() const { return m_pProgressBar; }
  // The document's first view when it is the program's view.
  CQorRoadView* GetFirstView() const;
  // The calculation-mode combo on the "Проект" bar; null before that bar made it.
  CTKControlComboBox* GetCalcModeCombo() const;
  VisualCtrl::CTreeObjects* GetTreePane() const { return m_pTree; }
  VisualCtrl::CPropObjects* GetParametersPane() const { return m_pProps; }
  // The mailslot reader, the depth check and the update check; null before the window is made.
  shell::FrameWorkers* GetWorkers() const { return m_pWorkers.get(); }
  BOOL IsPaneOpen(int paneId) const;
  void TogglePane(int paneId);

  // IProgressBarHost
  CWnd* GetHostWindow() override { return &m_wndStatusBar; }
  void GetPaneRect(int pane, RECT* rect) override { m_wndStatusBar.GetItemRect(pane, rect); }

protected:
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnClose();
  void OnShowWindow(BOOL bShow, UINT nStatus);
  void OnSize(UINT nType, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  void OnSysCommand(UINT nID, LPARAM lParam);

  // Creation steps that the toolkit's bars complete.
  BOOL CreateStatusBar();
  BOOL CreateCommandBars();
  void CreatePanes();

  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  LRESULT OnDockingPaneNotify(WPARAM wParam, LPARAM lParam);
  // The toolkit asks for a control of a bar (10334): the calculation-mode combo and the split buttons.
  BOOL OnCreateControl(TK_CREATECONTROLSTRUCT* create);
  void OnCalcModeExecute(NMHDR* pNMHDR, LRESULT* pResult);
  void OnUpdateCalcMode(CCmdUI* pCmdUI);
  LRESULT OnGridNotify(WPARAM wParam, LPARAM lParam);

  // The private messages (window_messages.h).
  LRESULT OnShowObject(WPARAM wParam, LPARAM lParam);
  LRESULT OnClearPanes(WPARAM wParam, LPARAM lParam);
  LRESULT OnUpdateTreeText(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetDocument(WPARAM wParam, LPARAM lParam);
  LRESULT OnResultsChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnSelectTreeItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetViewMode(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetActiveView(WPARAM wParam, LPARAM lParam);
  LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnShowParameters(WPARAM wParam, LPARAM lParam);
  LRESULT OnRefreshParameters(WPARAM wParam, LPARAM lParam);
  LRESULT OnTreeCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnCalcModes(WPARAM wParam, LPARAM lParam);
  LRESULT OnShowEconomics(WPARAM wParam, LPARAM lParam);
  LRESULT OnShowLighting(WPARAM wParam, LPARAM lParam);
  LRESULT OnToView(WPARAM wParam, LPARAM lParam);
  LRESULT OnEndContour(WPARAM wParam, LPARAM lParam);
  // The two ends of an edited outline: a group's contour or points, a primitive's vertices.
  void FinishGroupOutline(IGroupOfDev* group);
  void FinishPrimitiveOutline(IPrimitive* primitive);
  // The help's index (a keyword lookup with no keyword).
  void ShowHelpIndex();
  LRESULT OnEngineProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnCalcFinished(WPARAM wParam, LPARAM lParam);
  LRESULT OnShowNews(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetCalcState(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetCalcState(WPARAM wParam, LPARAM lParam);
  LRESULT OnCalcStateText(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetExitPending(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetExitPending(WPARAM wParam, LPARAM lParam);

  void OnPaneCommand(UINT nID);
  void OnUpdatePaneCommand(CCmdUI* pCmdUI);
  void OnEditUndo();
  void OnUpdateEditUndo(CCmdUI* pCmdUI);
  void OnEditRedo();
  void OnUpdateEditRedo(CCmdUI* pCmdUI);
  void OnEconomicParameters();
  void OnStartPage();
  void OnCustomize();
  // Dropped files: the first one is opened, as a file chosen from the open dialog would be.
  LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);
  void OnUpdateStartPage(CCmdUI* pCmdUI);
  void OnCheckUpdates();
  void OnHelpKeyword(UINT nID);
  void OnOpenDocsFile(UINT nID);
  void OnContactUs();
  void OnWebPage(UINT nID);
  void OnHelpCommand(UINT nID);

  DECLARE_MESSAGE_MAP()

private:
  // The view-mode word the parameters grid's edits and a new size expect: plan view as 0x202.
  void NormaliseViewMode();
  // The content window of a pane, made with the frame as parent on its first show; null for another id.
  CWnd* MakePaneContent(int paneId);
  CWnd* PaneWindow(int paneId) const;
  LRESULT SendToPane(int paneId, UINT message, WPARAM wParam, LPARAM lParam) const;
  void LoadPaneLayout();
  void SavePaneLayout();

  HINSTANCE m_hResourceModule = nullptr;
  CTKResourceManager* m_pResourceManager = nullptr;
  CBitmap m_helpBitmap;
  // Supplies the images of commands on no visible bar; never docked or shown.
  CTKToolBar* m_pImageBar = nullptr;
  CTKStatusBar m_wndStatusBar;
  CTKDockingPaneManager m_paneManager;
  IQorRoadDoc* m_pDocument = nullptr;
  BOOL m_customizing = FALSE;
  VisualCtrl::CTreeObjects* m_pTree = nullptr;
  VisualCtrl::CPropObjects* m_pProps = nullptr;
  VisualCtrl::CReportView* m_pReport = nullptr;
  BOOL m_reportMade = FALSE;  // from then on the view deletes itself with its window
  VisualCtrl::CEcnmContainerWnd* m_pEconomics = nullptr;
  CProgressBar* m_pProgressBar = nullptr;
  // One frame per process; kept per frame so that a second start in the same process behaves as a new one.
  bool m_firstShow = true;
  std::shared_ptr<shell::UpdateFetch> m_pFetch;
  std::unique_ptr<shell::FrameWorkers> m_pWorkers;
};
