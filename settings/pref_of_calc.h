// The page "Расчет": which lighting quantity the results show and, for luminance on a straight road, the observer:
// the worst one found or a lane the user picks (written into the active area's results at once).
#pragma once

#include "platform/mfc/afxcmn.h"
#include "settings/pref_page.h"

namespace Options {

class CPrefOfCalc : public CPrefPage {
public:
  CPrefOfCalc(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options);

  BOOL OnInitDialog() override;
  void ShowQuantity(int quantity);
  void FillLanes();

  CTreeCtrl m_lanes;
  BOOL m_bViewChanged = FALSE;

protected:
  void OnLuminance() { ShowQuantity(0), Changed(); }
  void OnIlluminance() { ShowQuantity(1), Changed(); }
  void OnSemiCylindrical() { ShowQuantity(2), Changed(); }
  void OnObserverAutomatic();
  void OnObserverUser();
  void OnLaneChanged(NMHDR* pNotify, LRESULT* pResult);
  void OnDestroy();
  void Changed();
  DECLARE_MESSAGE_MAP()
};

}  // namespace Options
