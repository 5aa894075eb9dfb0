#include "settings/pref_page.h"

#include "graphics/core/model_ref.h"
#include "model/class_of.h"
#include "model/cguid.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/iproject.h"

namespace Options {

CPrefPage::CPrefPage(UINT nIDTemplate, CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options)
    : CDialog(nIDTemplate, pParent), m_options(options), m_document(document), m_nIDPage(nIDTemplate)
{
}

void CPrefPage::OnOK()
{
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_COMMAND, IDOK, 0);
}

void CPrefPage::OnCancel()
{
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_COMMAND, IDCANCEL, 0);
}

IArea* CPrefPage::ActiveArea() const
{
  void* projectPart = nullptr;
  if (m_document == nullptr || FAILED(m_document->QueryInterface(IID_IProject, &projectPart)) || !projectPart)
    return nullptr;
  auto project = ModelRef<IProject>::Adopt(static_cast<IProject*>(projectPart));
  ModelRef<IArea> area(project.get(), IID_ActiveArea);
  return area.get();  // the project keeps its active area alive
}

AreaKind KindOf(IArea* area)
{
  if (IsOfClass(area, CLSID_CStraightRoad))
    return AreaKind::StraightRoad;
  if (IsOfClass(area, CLSID_CCustomizeRoad))
    return AreaKind::OpenSite;
  if (IsOfClass(area, CLSID_CCustomizeRoad3D))
    return AreaKind::Interchange;
  return AreaKind::None;
}

bool HasSidewalks(IArea* area)
{
  ModelRef<IPavement> sidewalks(area, IID_IPavement);
  return sidewalks && (*sidewalks->GetFlags() & 0x2) == 0;
}

bool HasWalls(IArea* area)
{
  ModelRef<IWall> walls(area, IID_IWall);
  return walls && (*walls->GetFlags() & 0x2) == 0;
}

}  // namespace Options
