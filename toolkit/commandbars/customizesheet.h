// The customise sheet and customise mode: while the sheet runs the bars take drags and a context menu, and two
// thread hooks keep every other window of the frame from the user. The drag itself belongs to the drop source of
// the command bars, which the commands page uses too.
#pragma once

#include "platform/mfc/propsheet.h"
#include "platform/user/ole_dragdrop.h"
#include "toolkit/commandbars/control_button.h"
#include "toolkit/commandbars/controledit.h"

#include <vector>

class CTKCommandBars;
class CTKCommandBar;
class CTKCustomizeSheet;
class CTKCustomizeCommandsPage;
class CTKCustomizeToolbarsPage;
class CTKImageManager;
class CTKPopupBar;

// "Alpha Bitmap Image": beside CF_BITMAP, says that the bitmap is 32-bit with alpha.
CLIPFORMAT TKAlphaBitmapClipboardFormat();

// What a customise drag ended in.
enum TKDropResult {
  tkDropOutside = 0,   // released off every bar after moving: the source deletes the control
  tkDropCopy = 1,
  tkDropMove = 2,
  tkDropCancel = 5,    // Escape, right button, lost capture, or released without moving
};

class CTKCustomizeDropSource {
public:
  explicit CTKCustomizeDropSource(CTKCommandBars* pCommandBars) : m_pCommandBars(pCommandBars) {}
  CTKCustomizeDropSource(const CTKCustomizeDropSource&) = delete;
  CTKCustomizeDropSource& operator=(const CTKCustomizeDropSource&) = delete;

  // Runs the drag loop on the mouse capture until release or cancel; answers a TKDropResult.
  int DoDragDrop(CTKControl* pControl, BOOL bForceCopy);
  void Register(CTKCommandBar* pBar);
  void Unregister(CTKCommandBar* pBar);

  void SetSheet(CTKCustomizeSheet* pSheet) { m_pSheet = pSheet; }
  CTKCustomizeSheet* GetSheet() const { return m_pSheet; }
  CTKCommandBar* GetTarget() const { return m_pTarget; }
  // The cursor shown last: 9301 copy, 9302 move, 9303 no drop.
  UINT GetCursorId() const { return m_nCursorId; }

private:
  void OnMove(CPoint ptScreen);
  void SetDragCursor();

  HWND m_hwndCapture = nullptr;
  CTKControl* m_pControl = nullptr;
  BOOL m_bMove = FALSE;
  BOOL m_bForceCopy = FALSE;
  CTKCommandBar* m_pTarget = nullptr;
  CTKCustomizeSheet* m_pSheet = nullptr;
  CPoint m_ptStart;
  std::vector<CTKCommandBar*> m_arrBars;
  CTKCommandBars* m_pCommandBars;
  UINT m_nCursorId = 0;
};

// The two hooks of the one running sheet; the process-wide pointer to it says that a sheet runs.
struct TK_CUSTOMIZE_HOOKS {
  HHOOK hMouseHook = nullptr;
  CTKCustomizeSheet* pMouseFilter = nullptr;
  HHOOK hKeyboardHook = nullptr;
  CTKCustomizeSheet* pKeyboardFilter = nullptr;
  void Unhook();
};

class CTKCustomizeSheet : public CPropertySheet {
  DECLARE_DYNAMIC(CTKCustomizeSheet)
public:
  class CCustomizeButton : public CTKControlButton {
  public:
    void OnExecute() override;
  };
  class CCustomizeEdit : public CTKControlEdit {
  public:
    void OnExecute() override;
    BOOL OnSetSelected(int bSelected) override;
  };

  CTKCustomizeSheet(CTKCommandBars* pCommandBars, UINT iSelectPage = 0);
  ~CTKCustomizeSheet() override;

  // Pages take their template from the toolkit module when it has one.
  void AddPage(CPropertyPage* pPage);
  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  CTKCustomizeCommandsPage* GetCommandsPage() const { return m_pCommandsPage; }
  CTKCustomizeToolbarsPage* GetToolbarsPage() const { return m_pToolbarsPage; }
  CTKCommandBars* GetCommandBars() const { return m_pCommandBars; }
  CTKPopupBar* GetContextMenu() const { return m_pContextMenu; }
  CTKImageManager* GetImageBank() const { return m_pImageBank; }
  int GetImageBankCount() const { return m_nBankImages; }
  void ContextMenu(int x, int y);

  // The context menu's commands on the customise selection.
  void OnReset();
  void OnDelete();
  void OnStyle(UINT nID);
  void OnBeginGroup();
  void OnCopyImage();
  void OnPasteImage();
  void OnEditImage();
  // The state of a context-menu command for the customise selection: enabled, checked.
  void GetCommandState(UINT nID, BOOL& bEnabled, BOOL& bChecked) const;
  LRESULT OnExecuteNotify(WPARAM wParam, LPARAM lParam);
  // Fills the picture picker when it opens empty.
  void OnPopupInit(CTKCommandBar* pPopup);

  // The running sheet's hooks, null when none runs.
  static TK_CUSTOMIZE_HOOKS* RunningHooks();
  BOOL FilterMouseMessage(UINT message, const MOUSEHOOKSTRUCT* pInfo) const;
  BOOL FilterKeyboardMessage() const;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
  void CreateContextMenu();
  // The application's modeless windows (this thread's top-level windows owned by the site, bars excepted) take
  // no input while the sheet runs; enabling again touches only the windows switched off here.
  void EnableModelessWindows(BOOL bEnable);
  CTKControl* Selection() const;
  void Relayout(CTKControl* pControl) const;

  CTKCustomizeToolbarsPage* m_pToolbarsPage = nullptr;
  CTKCustomizeCommandsPage* m_pCommandsPage = nullptr;
  CWnd* m_pSite = nullptr;
  CTKCommandBars* m_pCommandBars = nullptr;
  CTKPopupBar* m_pContextMenu = nullptr;
  CTKImageManager* m_pImageBank = nullptr;
  int m_nBankImages = 0;
  std::vector<std::vector<BYTE>> m_arrTemplates;
  std::vector<HWND> m_arrDisabledModeless;
};
