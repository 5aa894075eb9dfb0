// The calculation's progress bar, laid over the right part of the status bar's message pane. The frame shows,
// hides and moves it (UM_PROGRESS); the bar keeps itself placed when the status bar changes size.
#pragma once

#include "platform/mfc/afxcmn.h"
#include "platform/mfc/afxwin.h"

// What the bar needs of the status bar it lives on.
class IProgressBarHost {
public:
  virtual CWnd* GetHostWindow() = 0;
  virtual void GetPaneRect(int pane, RECT* rect) = 0;

protected:
  ~IProgressBarHost() = default;
};

// The bar's place in a pane: 15 % of the pane's width, ending 2 % short of its right edge, and the pane's
// middle half in height.
CRect ProgressBarRect(const CRect& pane, int widthPercent);

class CProgressBar : public CProgressCtrl {
public:
  explicit CProgressBar(IProgressBarHost* host);
  ~CProgressBar() override;

  BOOL IsCreated() const { return m_created; }
  void Layout();

protected:
  BOOL OnEraseBkgnd(HDC hDC);
  DECLARE_MESSAGE_MAP()

private:
  int m_widthPercent = 15;
  int m_pane = 0;
  CRect m_placed{0, 0, 0, 0};
  IProgressBarHost* m_host;
  BOOL m_created = FALSE;
};
