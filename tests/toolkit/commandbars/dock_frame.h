// A frame laid out the way the program's main frame is: a view in the middle, the menu bar and toolbars in the
// four dock rows around it. Rows read as "|A B|C|": each bar's title, a bar per row between the bars.
#pragma once

#include "tests/toolkit/commandbars/bar_frame.h"
#include "toolkit/commandbars/dockbar.h"
#include "toolkit/commandbars/dockcontext.h"
#include "toolkit/commandbars/menubar.h"
#include "toolkit/commandbars/toolbar.h"

#include <string>

namespace cbtest {

class CDockFrame : public CTestFrame {
public:
  // A frame whose client area is cx by cy, with its view and dock rows; theme 0.
  BOOL MakeDocked(int cx, int cy);
  CTKDockBar* Dock(int nPosition) const { return m_pCommandBars->GetDockBar(nPosition); }
  CTKMenuBar* AddMenuBar(UINT nMenuId = 128);
  // A toolbar filled from a toolbar resource with its pictures, docked at the position.
  CTKToolBar* AddToolBar(const char* pszTitle, UINT nResourceId, int nPosition = tkBarTop);
  // The view's rectangle in the frame's client coordinates.
  CRect ViewRect() const;
  // A bar's window rectangle in its parent's client coordinates.
  static CRect BarRect(CWnd* pBar);
  // The dock row's height (top, bottom) or width (left, right).
  int Thickness(int nPosition) const;
  std::string Rows(int nPosition) const;

  CWnd m_view;
};

}  // namespace cbtest
