// A frame with command bars the way the program's main frame has them, recording what its bars send it, and
// the small bars the tests lay out: a docked bar (menu bar or toolbar) laid out in one row, and a popup bar
// opened under (or beside) the popup control that owns it.
#pragma once

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/control_button.h"

#include <string>
#include <vector>

namespace cbtest {

// A bar docked in the frame at a fixed rectangle; its controls in one row (or column), wrapped at its width.
class CTestBar : public CTKCommandBar {
  DECLARE_DYNCREATE(CTestBar)
public:
  BOOL Make(CWnd* pParent, int nType, int nPosition, CRect rc);
  void OnRecalcLayout() override;
  BOOL IsVisible() const override { return GetSafeHwnd() && (GetStyle() & WS_VISIBLE); }
  void SetVisible(BOOL bVisible) override
  {
    if (GetSafeHwnd())
      ShowWindow(bVisible ? SW_SHOW : SW_HIDE);
  }
  BOOL SetPosition(int nPosition) override
  {
    m_barPosition = nPosition;
    return TRUE;
  }
};

// A popup bar: a top-level window placed at its control, one control per row.
class CTestPopupBar : public CTKCommandBar {
  DECLARE_DYNCREATE(CTestPopupBar)
public:
  CTestPopupBar();
  BOOL Popup(CTKControlPopup* pControlPopup, BOOL bSelectFirst) override;
  BOOL SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) override;
  CTKCommandBar* GetParentBar() const override { return m_pControlPopup ? m_pControlPopup->GetParent() : nullptr; }
  BOOL IsVisible() const override { return GetSafeHwnd() && (GetStyle() & WS_VISIBLE); }
  void OnRecalcLayout() override;
  CTKControlPopup* m_pControlPopup = nullptr;
};

class CTestFrame : public CTKFrameWnd {
public:
  CTestFrame();
  ~CTestFrame() override;
  // A frame of cx by cy at (0, 0) with command bars; the bars' popups are CTestPopupBar.
  BOOL Make(int cx, int cy);
  // A docked bar filled from a menu resource (0: none), added to the command bars.
  CTestBar* AddBar(int nType, CRect rc, UINT nMenuId = 0);

  std::vector<std::string> m_log;
  LRESULT m_notifyAnswer = 0;
  // 10334 for this command id answers with the type below (and no control); 0: not answered.
  int m_replaceId = 0;
  int m_replaceType = 0;
  // Also log 10326 and the status-line messages.
  bool m_logSelection = false;

protected:
  void PostNcDestroy() override {}
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// Dispatches whatever is waiting.
void Pump();
// The resource module of the tests, made the current resource handle.
void UseTestResources();

}  // namespace cbtest
