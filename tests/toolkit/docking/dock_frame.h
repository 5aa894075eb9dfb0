// A frame that hosts a docking pane manager the way the program's main frame does, records every message 10925
// it hears, answers them as a test tells it, and makes each pane's window on first show. Also the check that
// the layout tree is sound, run after every operation.
#pragma once

#include "toolkit/docking/pane_manager.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabbed_container.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace docktest {

// One message 10925 as heard: its code, the pane's id (0 without one) and, for code 4, the action.
struct Note {
  WPARAM code;
  int paneId;
  int action;
  bool operator==(const Note&) const = default;
};

class CDockFrame : public CFrameWnd {
public:
  CDockFrame();
  ~CDockFrame() override;

  // Made hidden at (0, 0), cx by cy, with a view in what the panes leave.
  BOOL Make(int cx, int cy);
  // The program's four panes: a column of two left of the view, a column of two right of it.
  void MakeProgramPanes();
  void Layout() { RecalcLayout(); }

  CTKDockingPaneManager m_paneManager;
  CWnd m_view;
  std::vector<Note> m_notes;
  LRESULT m_closeAnswer = 0;
  int m_cancelAction = -1;  // the action whose announcement is refused
  std::map<int, std::unique_ptr<CWnd>> m_paneWindows;
  TK_DOCKINGPANE_MENU m_lastMenu{};  // the record of the last code 5
  std::function<void()> m_onMenu;     // runs while code 5 is being answered

protected:
  // Tests own the frame object; the window's end must not delete it.
  void PostNcDestroy() override {}
  LRESULT OnDockingPaneNotify(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()
};

// Empty when the tree is sound: each pane in exactly the container its parent names (or none when closed),
// every child's parent is the node that lists it, no node is its own ancestor, the client placeholder hangs in
// the tree. Otherwise what is wrong.
std::string CheckTree(CTKDockingPaneLayout* pLayout);

// The tree's shape from the top container: S[..] a row, V[..] a column, T(ids) a tabbed container, C the client.
std::string Shape(const CTKDockingPaneBase* pNode);

inline CRect PaneRectInFrame(const CTKDockingPaneBase* pNode) { return pNode->m_rcWindow; }

}  // namespace docktest
