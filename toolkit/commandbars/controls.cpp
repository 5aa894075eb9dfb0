#include "toolkit/commandbars/controls.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/control_button.h"
#include "toolkit/commandbars/controlcustom.h"
#include "toolkit/commandbars/controllists.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/paint/paint_manager.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CTKControls, CCmdTarget)

namespace {

constexpr int kMenuTextLimit = 1024;
constexpr UINT kFirstMdiChildId = 0xFF00;
constexpr int kFirstRecentFile = 57616;
constexpr int kFirstOleVerb = 57872;

CString MenuText(CMenu* pMenu, int nIndex)
{
  char buffer[kMenuTextLimit + 1] = {};
  ::GetMenuString(pMenu->GetSafeHmenu(), static_cast<UINT>(nIndex), buffer, kMenuTextLimit, MF_BYPOSITION);
  return CString(buffer);
}

CString WithoutMnemonics(const CString& str)
{
  CString strClear = str;
  CTKPaintManager::StripMnemonics(strClear);
  return strClear;
}

}  // namespace

CTKControls::CTKControls() = default;

CTKControls::~CTKControls()
{
  RemoveAll();
  ReleaseOriginalControls();
}

CTKControl* CTKControls::GetAt(int nIndex) const
{
  return nIndex >= 0 && nIndex < GetCount() ? m_arrControls[static_cast<size_t>(nIndex)] : nullptr;
}

CTKControl* CTKControls::GetNextControl(CTKControl* pControl) const
{
  return pControl && pControl->m_pControls == this ? GetAt(pControl->m_nIndex + 1) : nullptr;
}

CTKCommandBars* CTKControls::GetCommandBars() const
{
  if (m_pParent && m_pParent->GetCommandBars())
    return m_pParent->GetCommandBars();
  return m_pCommandBars;
}

void CTKControls::SetParent(CTKCommandBar* pParent)
{
  m_pParent = pParent;
  if (!m_arrControls.empty())
    RefreshIndexes();
}

void CTKControls::RefreshIndexes()
{
  for (int i = 0; i < GetCount(); ++i) {
    CTKControl* pControl = m_arrControls[static_cast<size_t>(i)];
    pControl->m_nIndex = i;
    pControl->m_pControls = this;
    pControl->SetParent(m_pParent);
  }
  if (m_pParent)
    m_pParent->DelayLayout();
}

CWnd* CTKControls::FindSite() const
{
  if (CTKCommandBars* pCommandBars = GetCommandBars()) {
    if (pCommandBars->GetSite())
      return pCommandBars->GetSite();
  }
  if (m_pParent && m_pParent->GetSafeHwnd()) {
    if (CWnd* pOwner = m_pParent->GetOwner())
      return pOwner;
    return m_pParent->GetParentFrame();
  }
  return nullptr;
}

CTKControl* CTKControls::CreateControlByType(int controlType, int nId, const CString& strCaption, CMenu* pSubMenu,
                                             BOOL bMenu)
{
  switch (controlType) {
  case tkControlButton:
    switch (nId) {
    case TK_ID_WINDOWLIST: return new CTKControlWindowList;
    case TK_ID_WORKSPACE_ACTIONS: return new CTKControlWorkspaceActions;
    case kFirstRecentFile: return new CTKControlRecentFileList;
    case TK_ID_TOOLBARLIST: return new CTKControlToolbars;
    case kFirstOleVerb:
      if (strCaption == "<<OLE VERBS GO HERE>>")
        return new CTKControlOleItems;
      return new CTKControlButton;
    default: return new CTKControlButton;
    }
  case tkControlPopup:
  case tkControlButtonPopup:
  case tkControlSplitButtonPopup: {
    CTKControlPopup* pPopup = CTKControlPopup::CreateControlPopup(controlType);
    CTKCommandBar* pBar = nullptr;
    CWnd* pSite = FindSite();
    CString strTitle = WithoutMnemonics(strCaption);
    if (pSite && pSite->GetSafeHwnd()) {
      TK_CREATEBARSTRUCT cs;
      cs.bPopup = TRUE;
      cs.lpcstrCaption = strTitle;
      cs.nID = static_cast<UINT>(nId);
      if (pSite->SendMessage(TKWM_CREATECOMMANDBAR, 0, reinterpret_cast<LPARAM>(&cs)) != 0)
        pBar = cs.pCommandBar;
    }
    if (!pBar)
      pBar = CTKPopupBar::CreatePopupBar(GetCommandBars());
    pBar->SetTitle(strTitle);
    pBar->SetCommandBars(GetCommandBars());
    if (pSubMenu) {
      pBar->LoadMenu(pSubMenu, TRUE);
    } else if (bMenu && nId > 0) {
      CMenu menu;
      if (menu.Attach(::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nId)))) {
        CMenu* pFirst = menu.GetSubMenu(0);
        if (pFirst)
          pBar->LoadMenu(pFirst, TRUE);
        menu.DestroyMenu();
      }
    }
    pPopup->SetCommandBar(pBar);
    pBar->InternalRelease();
    return pPopup;
  }
  case tkControlComboBox:
    return new CTKControlComboBox;
  case tkControlLabel:
    return new CTKControlLabel;
  case tkControlEdit:
    return new CTKControlEdit;
  case tkControlCustom:
    return new CTKControlCustom;
  default:
    return nullptr;
  }
}

CTKControl* CTKControls::Add(int controlType, int nId, const CString& strParameter, int nBefore, BOOL bTemporary)
{
  if (controlType < tkControlButton || controlType > tkControlLabel)
    return nullptr;
  CTKControl* pControl = nullptr;
  if (controlType >= tkControlPopup && controlType <= tkControlSplitButtonPopup) {
    CString strCaption;
    CMenu menu;
    CMenu* pSubMenu = nullptr;
    if (nId > 0 && menu.Attach(::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nId)))) {
      pSubMenu = menu.GetSubMenu(0);
      if (pSubMenu)
        strCaption = MenuText(&menu, 0);
    }
    pControl = CreateControlByType(controlType, 0, strCaption, pSubMenu, FALSE);
    if (pControl)
      pControl->SetCaption(strCaption);
    if (menu.GetSafeHmenu())
      menu.DestroyMenu();
  } else {
    pControl = CreateControlByType(controlType, nId, CString(), nullptr, FALSE);
  }
  if (!pControl)
    return nullptr;
  pControl->m_controlType = controlType;
  pControl->m_strParameter = strParameter;
  pControl->m_bTemporary = bTemporary;
  if (controlType != tkControlPopup)
    pControl->SetID(nId);
  if (nBefore < 0 || nBefore >= GetCount())
    m_arrControls.push_back(pControl);
  else
    m_arrControls.insert(m_arrControls.begin() + nBefore, pControl);
  RefreshIndexes();
  return pControl;
}

CTKControl* CTKControls::InsertAt(CTKControl* pControl, int nId, const CString& strParameter, int nBefore,
                                  BOOL bTemporary)
{
  if (!pControl)
    return nullptr;
  pControl->m_strParameter = strParameter;
  pControl->m_bTemporary = bTemporary;
  pControl->SetID(nId);
  if (nBefore < 0 || nBefore >= GetCount())
    m_arrControls.push_back(pControl);
  else
    m_arrControls.insert(m_arrControls.begin() + nBefore, pControl);
  RefreshIndexes();
  return pControl;
}

CTKControl* CTKControls::AddClone(CTKControl* pClone, int nBefore, BOOL bRecursive)
{
  if (!pClone)
    return nullptr;
  CTKControl* pControl = pClone->Clone(bRecursive);
  if (nBefore < 0 || nBefore >= GetCount())
    m_arrControls.push_back(pControl);
  else
    m_arrControls.insert(m_arrControls.begin() + nBefore, pControl);
  RefreshIndexes();
  return pControl;
}

void CTKControls::Remove(CTKControl* pControl)
{
  if (pControl && pControl->m_pControls == this && GetAt(pControl->m_nIndex) == pControl)
    Remove(pControl->m_nIndex);
}

void CTKControls::Remove(int nIndex)
{
  CTKControl* pControl = GetAt(nIndex);
  if (!pControl)
    return;
  if (m_pParent && m_pParent->GetSelected() == nIndex)
    m_pParent->SetSelected(-1, FALSE);
  m_arrControls.erase(m_arrControls.begin() + nIndex);
  pControl->m_pControls = nullptr;
  pControl->SetParent(nullptr);
  pControl->InternalRelease();
  RefreshIndexes();
}

void CTKControls::RemoveAll()
{
  std::vector<CTKControl*> controls;
  controls.swap(m_arrControls);
  for (CTKControl* pControl : controls) {
    pControl->m_pControls = nullptr;
    pControl->SetParent(nullptr);
    pControl->InternalRelease();
  }
}

CTKControl* CTKControls::FindControl(int nType, int nId, BOOL bVisible, BOOL bRecursive) const
{
  for (CTKControl* pControl : m_arrControls) {
    if ((nType == 0 || pControl->GetType() == nType) && (!bVisible || pControl->GetHideFlags() == 0) &&
        (nId == -1 || pControl->GetID() == nId))
      return pControl;
    if (bRecursive && pControl->GetType() >= tkControlPopup && pControl->GetType() <= tkControlSplitButtonPopup) {
      CTKCommandBar* pBar = pControl->GetCommandBar();
      if (pBar) {
        if (CTKControl* pFound = pBar->GetControls()->FindControl(nType, nId, bVisible, bRecursive))
          return pFound;
      }
    }
  }
  return nullptr;
}

int CTKControls::GetNext(int nIndex, int nDirection, BOOL bKeyboard, BOOL bSkipTemporary, BOOL bSkipCollapsed) const
{
  int nCount = GetCount();
  if (nCount == 0)
    return -1;
  int nNext = nIndex == -1 && nDirection == -1 ? nCount - 1 : nIndex + nDirection;
  BOOL bWrapped = FALSE;
  DWORD dwIgnored = TK_HIDEPOPUPLAYOUT | (bSkipCollapsed ? 0 : TK_HIDEUSAGE);
  // Each index is visited at most once before the walk gives up.
  for (int nSteps = 0; nSteps <= nCount + 1 && nNext != nIndex; ++nSteps) {
    if (nNext >= nCount) {
      if ((nIndex == -1 && nDirection == 1) || bWrapped)
        return -1;
      nNext = 0;
      bWrapped = TRUE;
      continue;
    }
    if (nNext < 0) {
      if ((nIndex == -1 && nDirection == -1) || bWrapped)
        return -1;
      nNext = nCount - 1;
      bWrapped = TRUE;
      continue;
    }
    CTKControl* pControl = m_arrControls[static_cast<size_t>(nNext)];
    BOOL bSkip = (pControl->GetHideFlags() & ~dwIgnored) != 0 ||
                 (bKeyboard && (pControl->GetFlags() & TK_FLAG_SKIPFOCUS)) ||
                 (bSkipTemporary && pControl->IsTemporary());
    if (!bSkip)
      return nNext;
    nNext += nDirection;
  }
  return nNext == nIndex ? nIndex : -1;
}

CTKControl* CTKControls::HitTest(CPoint point) const
{
  for (CTKControl* pControl : m_arrControls) {
    if (pControl->GetHideFlags() == 0 && pControl->GetRect().PtInRect(point))
      return pControl;
  }
  return nullptr;
}

int CTKControls::GetVisibleCount(BOOL bIncludeWrap) const
{
  DWORD dwMask = bIncludeWrap ? ~DWORD(0) : ~TK_HIDEWRAP;
  return static_cast<int>(std::count_if(m_arrControls.begin(), m_arrControls.end(),
                                        [&](CTKControl* pControl) { return (pControl->GetHideFlags() & dwMask) == 0; }));
}

CTKControls* CTKControls::Duplicate(BOOL bRecursive)
{
  auto* pCopy = new CTKControls;
  pCopy->m_pCommandBars = m_pCommandBars;
  for (CTKControl* pControl : m_arrControls) {
    if (!pControl->IsTemporary())
      pCopy->m_arrControls.push_back(pControl->Clone(bRecursive));
  }
  pCopy->RefreshIndexes();
  if (m_pOriginalControls)
    pCopy->m_pOriginalControls = m_pOriginalControls->Duplicate(TRUE);
  return pCopy;
}

void CTKControls::CreateOriginalControls()
{
  ReleaseOriginalControls();
  m_pOriginalControls = Duplicate(TRUE);
}

void CTKControls::ReleaseOriginalControls()
{
  if (m_pOriginalControls) {
    m_pOriginalControls->InternalRelease();
    m_pOriginalControls = nullptr;
  }
}

BOOL CTKControls::IsEqual(CTKControls* pOther) const
{
  if (!pOther)
    return FALSE;
  std::vector<CTKControl*> mine;
  std::vector<CTKControl*> theirs;
  for (CTKControl* pControl : m_arrControls)
    if (!pControl->IsTemporary())
      mine.push_back(pControl);
  for (CTKControl* pControl : pOther->m_arrControls)
    if (!pControl->IsTemporary())
      theirs.push_back(pControl);
  if (mine.size() != theirs.size())
    return FALSE;
  for (size_t i = 0; i < mine.size(); ++i)
    if (!mine[i]->Compare(theirs[i]))
      return FALSE;
  return TRUE;
}

BOOL CTKControls::LoadMenu(CMenu* pMenu)
{
  if (!pMenu || !::IsMenu(pMenu->GetSafeHmenu()))
    return FALSE;
  BOOL bBeginGroup = FALSE;
  int nCount = pMenu->GetMenuItemCount();
  for (int i = 0; i < nCount; ++i) {
    MENUITEMINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE | MIIM_TYPE | MIIM_ID | MIIM_SUBMENU;
    ::GetMenuItemInfo(pMenu->GetSafeHmenu(), static_cast<UINT>(i), TRUE, &info);
    if ((info.fType & MFT_SEPARATOR) || (info.wID == 0 && info.hSubMenu == nullptr)) {
      bBeginGroup = TRUE;
      continue;
    }
    CTKControl* pControl = AddMenuItem(pMenu, i);
    if (!pControl)
      continue;
    if (bBeginGroup) {
      pControl->SetBeginGroup(TRUE);
      bBeginGroup = FALSE;
    }
    if (info.fState & MFS_CHECKED)
      pControl->SetChecked(TRUE);
    if (info.fState & (MFS_GRAYED | MFS_DISABLED))
      pControl->SetEnabled(FALSE);
  }
  return TRUE;
}

CTKControl* CTKControls::AddMenuItem(CMenu* pMenu, int nIndex)
{
  CMenu* pSubMenu = pMenu->GetSubMenu(nIndex);
  UINT nId = pMenu->GetMenuItemID(nIndex);
  BOOL bDefault = static_cast<int>(::GetMenuDefaultItem(pMenu->GetSafeHmenu(), TRUE, 0)) == nIndex;
  if (nId == kFirstMdiChildId)
    return nullptr;
  int nControlId = pSubMenu ? -1 : static_cast<int>(nId);
  TK_CREATECONTROLSTRUCT cs;
  cs.nId = nControlId;
  cs.bToolBar = FALSE;
  cs.nIndex = nIndex;
  cs.pMenu = pMenu;
  cs.pCommandBar = m_pParent;
  cs.strCaption = MenuText(pMenu, nIndex);
  cs.controlType = pSubMenu ? tkControlPopup : tkControlButton;
  cs.buttonStyle = 0;
  CWnd* pSite = FindSite();
  CTKControl* pControl = nullptr;
  if (pSite && pSite->GetSafeHwnd() &&
      pSite->SendMessage(TKWM_CREATECONTROL, 0, reinterpret_cast<LPARAM>(&cs)) != 0) {
    pControl = cs.pControl;
  }
  if (!pControl) {
    // A handler may choose a type without making the control; an unknown type makes nothing.
    if (cs.controlType < tkControlButton || cs.controlType > tkControlEdit)
      return nullptr;
    pControl = CreateControlByType(cs.controlType, cs.nId, cs.strCaption, pSubMenu, TRUE);
    if (!pControl)
      return nullptr;
    pControl->m_controlType = cs.controlType;
    pControl->SetStyle(cs.buttonStyle);
  }
  // A control the site made comes with the reference the collection keeps. A submenu has no command id.
  pControl->SetID(cs.nId == -1 ? 0 : cs.nId);
  pControl->SetCaption(cs.strCaption);
  pControl->SetItemDefault(bDefault);
  Append(pControl);
  RefreshIndexes();
  cs.pControl = pControl;
  if (pSite && pSite->GetSafeHwnd())
    pSite->SendMessage(TKWM_AFTERCREATECONTROL, 0, reinterpret_cast<LPARAM>(&cs));
  return pControl;
}
