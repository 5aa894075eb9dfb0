// The target of the pole-spacing optimisation of a straight road: luminance or horizontal illuminance, its value
// and, when asked for, a uniformity, each chosen from a fixed list.
#pragma once

#include "app/shell/shell_dialogs.h"

namespace shell {

inline constexpr UINT IDD_RUN_OPTIMIZATION = 320;

class CDlgRunOptimization : public CShellDialog {
public:
  explicit CDlgRunOptimization(CWnd* pParent = nullptr);
  ~CDlgRunOptimization() override;

  double m_dIlluminance = 0;            // lx
  double m_dLuminance = 0;              // cd/m2
  int m_nMode = 0;                      // 0 luminance, 1 horizontal illuminance
  int m_bUniformity = 0;
  double m_dIlluminanceUniformity = 0;  // Emax/Eavg
  double m_dLuminanceUniformity = 0;    // Lmin/Lavg

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
  void FillForMode();
  void EnableUniformity();
};

}  // namespace shell
