// The page "Протокол": the report contents table of the private visual options as a tree with check and option
// marks; a click, a mouse selection or the space bar toggles a row and the rows that depend on it follow.
#pragma once

#include "platform/mfc/afxcmn.h"
#include "platform/mfc/imagelist.h"
#include "settings/pref_page.h"

#include <map>

class CPreferencesOfReport;

namespace Options {

class CPrefOfReport : public CPrefPage {
public:
  CPrefOfReport(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options);
  ~CPrefOfReport() override;

  BOOL OnInitDialog() override;
  void FillTree();
  void OnItemClicked(HTREEITEM item);
  // The tree item that shows the row; null when the row is not shown.
  HTREEITEM ItemOf(int id) const;

  CTreeCtrl m_tree;
  CImageList m_images;

protected:
  void OnSelChanged(NMHDR* pNotify, LRESULT* pResult);
  void OnClick(NMHDR* pNotify, LRESULT* pResult);
  void OnKeyDownTree(NMHDR* pNotify, LRESULT* pResult);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  CPreferencesOfReport* Table() const;
  HTREEITEM Insert(int id, HTREEITEM parent, const char* text = nullptr);
  // Every shown row's mark from the table.
  void RefreshImages();

  // The row's 32-bit tree-item field cannot hold a handle of this platform, so the page keeps its own.
  std::map<int, HTREEITEM> m_items;
};

}  // namespace Options
