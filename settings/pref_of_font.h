// The page "Шрифт": the text elements of the drawings whose font size the user may change, with a sample of the
// selected one's font.
#pragma once

#include "settings/pref_page.h"

namespace Options {

class CPrefOfFont : public CPrefPage {
public:
  CPrefOfFont(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options);

  BOOL OnInitDialog() override;
  void OnChange();
  void OnReset();
  // The font element of a list position (element 3 is not offered); -1 outside the list.
  static int FontElement(int position);

  CListBox m_list;
  BOOL m_bFontsChanged = FALSE;
  BOOL m_bColorsChanged = FALSE;

protected:
  void OnPaint();
  void OnSelChange();
  void OnDestroy();
  LRESULT OnPageHelp(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};

}  // namespace Options
