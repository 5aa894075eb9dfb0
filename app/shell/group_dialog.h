// The parameters of a group of poles laid along a drawn contour: pole step, offset from the contour line,
// outreach and bracket rotation. The frame shows it when a contour input ends and hands the values to the group.
#pragma once

#include "app/shell/shell_dialogs.h"

#include <functional>

struct IGroupOfDev;

namespace shell {

inline constexpr UINT IDD_CHILD_GROUP_DEV = 751;

class CDlgChildGroupDev : public CShellDialog {
public:
  CDlgChildGroupDev(CWnd* pParent, IGroupOfDev* group);

  double m_dStep = 20.0;     // m, along the contour
  double m_dOffset = 0;      // m, from the contour line
  double m_dOutreach = 2.0;  // m, replaced by the pole's at initialisation
  double m_dRotation = 0;    // degrees
  IGroupOfDev* m_pGroup;

  // "Справка"; the frame gives the help index.
  std::function<void()> m_onHelp;

  // The largest outreach the group's pole allows: its height over the tangent of its tilt, 10 m without tilt.
  static double MaxOutreach(IGroupOfDev* group);

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

}  // namespace shell
