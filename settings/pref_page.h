// A page of the settings dialog: a child dialog over the dialog's private visual options that passes Enter and
// Esc to the dialog.
#pragma once

#include "platform/mfc/afxwin.h"

struct IQorRoadDoc;
struct IVisualOpt;
struct IArea;

namespace Options {

class CPrefPage : public CDialog {
public:
  CPrefPage(UINT nIDTemplate, CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options);

  BOOL CreatePage() { return Create(m_nIDPage, m_pParentWnd); }
  void OnOK() override;
  void OnCancel() override;

  IVisualOpt* m_options;
  IQorRoadDoc* m_document;
  BOOL m_bInitialised = FALSE;

protected:
  // The active area of the document's project (one reference held by the caller's ModelRef); null when none.
  IArea* ActiveArea() const;
  UINT m_nIDPage;
};

// The kind of an area as the settings pages tell them apart.
enum class AreaKind { None, StraightRoad, OpenSite, Interchange };
AreaKind KindOf(IArea* area);
// A straight road's sidewalks or walls are absent when bit 1 of their flags is set.
bool HasSidewalks(IArea* area);
bool HasWalls(IArea* area);

}  // namespace Options
