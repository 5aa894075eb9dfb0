// The bar state in the application's profile: where every toolbar stands (one section per toolbar and per dock
// row, and the screen size they were saved on) and the customised bars' stream, kept as one binary value or, past
// 16000 bytes, in a hidden file whose path the profile holds. A save goes to the profile in one batch, so a failed
// save leaves the previous state whole.
#pragma once

#include "toolkit/commandbars/toolbar.h"

#include <vector>

class CTKBarLayoutState;

// The layout of one toolbar as saved.
class CTKToolBar::CToolBarInfo {
public:
  // Values absent from the section keep the read defaults.
  void SaveState(LPCSTR lpszProfileName, int nIndex) const;
  void LoadState(LPCSTR lpszProfileName, int nIndex, CTKBarLayoutState* pLayoutState);

  UINT m_nBarID = 0;
  BOOL m_bVisible = FALSE;
  BOOL m_bFloating = FALSE;
  CPoint m_pointPos = CPoint(-1, -1);
  int m_nMRUWidth = 32767;
  int m_uMRUDockID = 0;
  CRect m_rectMRUDockPos;
  CPoint m_ptMRUFloatPos = CPoint(0, 0);
  CTKToolBar* m_pBar = nullptr;
  BOOL m_bDialogBar = FALSE;
  CSize m_szDockingClient = CSize(200, 200);
  CSize m_szFloatingClient = CSize(200, 200);
};

// The layout of all toolbars while it is saved or loaded.
class CTKBarLayoutState {
public:
  CTKBarLayoutState();
  ~CTKBarLayoutState();
  CTKBarLayoutState(const CTKBarLayoutState&) = delete;
  CTKBarLayoutState& operator=(const CTKBarLayoutState&) = delete;

  void SaveState(LPCSTR lpszProfileName) const;
  // Reads no more records than nMaxBars: a stored count is not believed past the toolbars that exist.
  void LoadState(LPCSTR lpszProfileName, int nMaxBars);
  // Positions saved on another screen size move with it, and stay an icon inside its right and bottom edges.
  CPoint ScalePoint(CPoint point) const;
  CRect ScaleRect(CRect rect) const;

  std::vector<CTKToolBar::CToolBarInfo*> m_arrBarInfo;
  CRect m_rcScreen;
  CSize m_sizeStoredScreen = CSize(0, 0);
  BOOL m_bScaling = FALSE;
  CPoint m_ptClipLimit;
};
