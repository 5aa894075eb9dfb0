// The page "Цвет": the 23 colour elements of the drawings with a sample each; one changed through the colour
// chooser (with the settings dialog's custom colours), all reset to their defaults.
#pragma once

#include "model/pref_of_color.h"
#include "settings/pref_page.h"

#include <vector>

namespace Options {

struct _PREF_COLOR_OF_ELEMENT {
  int position;
  int element;
  char name[260];
  float red;
  float green;
  float blue;
};

class CPrefOfColor : public CPrefPage {
public:
  class CListBoxColor : public CListBox {
  public:
    std::vector<_PREF_COLOR_OF_ELEMENT> m_elements;
  };

  CPrefOfColor(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options);

  BOOL OnInitDialog() override;
  void OnChange();
  void OnReset();

  CListBoxColor m_list;
  BOOL m_bColorsChanged = FALSE;

protected:
  LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  LRESULT OnPageHelp(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};

}  // namespace Options
