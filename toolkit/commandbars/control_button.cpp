#include "toolkit/commandbars/control_button.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/shadows.h"
#include "toolkit/paint/paint_manager.h"

IMPLEMENT_SERIAL(CTKControlButton, CTKControl, TK_BAR_CLASS_SCHEMA)
IMPLEMENT_SERIAL(CTKControlPopup, CTKControl, TK_BAR_CLASS_SCHEMA)

namespace {

// The arrow part of a split button: on a toolbar its right 11 pixels, in a menu its right 20.
constexpr int kSplitToolBarArrow = 11;
constexpr int kSplitMenuArrow = 20;

}  // namespace

CTKControlButton::CTKControlButton() { m_controlType = tkControlButton; }

void CTKControlButton::OnClick(BOOL bKeyboard, CPoint pt)
{
  if (!m_bEnabled || !m_pParent)
    return;
  if (IsCustomizeMode()) {
    m_pParent->SetPopuped(-1, FALSE);
    m_pParent->SetSelected(-1, FALSE);
    if (!bKeyboard)
      OnCustomizeMouseDown(pt);
    else if (CTKCommandBars* pCommandBars = m_pParent->GetCommandBars())
      pCommandBars->SetDragControl(this);
    return;
  }
  if (bKeyboard)
    OnExecute();
  else if (m_pParent->GetType() != tkBarTypePopup)
    TrackButtonPress();
}

void CTKControlButton::OnLButtonUp(CPoint /*point*/)
{
  if (m_bEnabled && m_pParent && m_pParent->GetPosition() == tkBarPopup)
    OnExecute();
}

CTKControl* CTKControlButton::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }

CTKControlPopup::CTKControlPopup() { m_controlType = tkControlPopup; }

CTKControlPopup::~CTKControlPopup()
{
  if (m_pCommandBar)
    m_pCommandBar->InternalRelease();
}

CTKControlPopup* CTKControlPopup::CreateControlPopup(int controlType)
{
  auto* pControl = new CTKControlPopup;
  pControl->m_controlType = controlType;
  return pControl;
}

void CTKControlPopup::SetCommandBar(CTKCommandBar* pBar)
{
  if (pBar == m_pCommandBar)
    return;
  if (pBar)
    pBar->InternalAddRef();
  if (m_pCommandBar)
    m_pCommandBar->InternalRelease();
  m_pCommandBar = pBar;
}

void CTKControlPopup::ExpandCommandBar()
{
  auto* pPopupBar = dynamic_cast<CTKPopupBar*>(m_pCommandBar);
  if (m_bPopup && pPopupBar && m_controlType == tkControlPopup)
    pPopupBar->ExpandFullMenu();
}

BOOL CTKControlPopup::IsContainPopup(CTKControlPopup* pOther)
{
  return IsContainPopupDepth(pOther, 0);
}

BOOL CTKControlPopup::IsContainPopupDepth(CTKControlPopup* pOther, int nDepth)
{
  // Bars may be shared in a cycle by a damaged stored state: the walk stops at a depth no menu reaches.
  if (!pOther || !m_pCommandBar || !pOther->m_pCommandBar || nDepth > 32)
    return FALSE;
  if (m_pCommandBar == pOther->m_pCommandBar)
    return TRUE;
  CTKControls* pControls = m_pCommandBar->GetControls();
  for (int i = 0; i < pControls->GetCount(); ++i) {
    auto* pPopup = dynamic_cast<CTKControlPopup*>(pControls->GetAt(i));
    if (pPopup && (pPopup->IsContainPopupDepth(pOther, nDepth + 1) || pOther->IsContainPopupDepth(pPopup, nDepth + 1)))
      return TRUE;
  }
  return FALSE;
}

BOOL CTKControlPopup::Compare(CTKControl* pOther)
{
  if (!CTKControl::Compare(pOther))
    return FALSE;
  auto* pPopup = dynamic_cast<CTKControlPopup*>(pOther);
  if (!pPopup)
    return FALSE;
  if (m_pCommandBar && pPopup->m_pCommandBar)
    return m_pCommandBar->GetControls()->IsEqual(pPopup->m_pCommandBar->GetControls());
  return TRUE;
}

BOOL CTKControlPopup::Execute()
{
  return m_pParent ? m_pParent->SetPopuped(m_nIndex, FALSE) : FALSE;
}

void CTKControlPopup::Copy(CTKControl* pControl, BOOL bRecursive)
{
  CTKControl::Copy(pControl, bRecursive);
  auto* pSource = dynamic_cast<CTKControlPopup*>(pControl);
  if (!pSource)
    return;
  if (bRecursive && pSource->m_pCommandBar) {
    CTKCommandBar* pClone = pSource->m_pCommandBar->Clone(TRUE);
    SetCommandBar(pClone);
    if (pClone)
      pClone->InternalRelease();
  } else {
    SetCommandBar(pSource->m_pCommandBar);
  }
}

BOOL CTKControlPopup::SetPopuped(BOOL bPopup)
{
  m_bPopup = bPopup;
  if (!bPopup) {
    if (m_pCommandBar)
      m_pCommandBar->SetTrackingMode(0, TRUE, FALSE);
    RedrawParent();
    return TRUE;
  }
  if (!m_pCommandBar)
    return FALSE;
  if (m_pCommandBar->IsTrackingMode())
    return TRUE;
  if (!m_pCommandBar->Popup(this, GetSelected() == 2))
    return FALSE;
  UpdateShadow();
  return TRUE;
}

void CTKControlPopup::OnClick(BOOL bKeyboard, CPoint pt)
{
  if (!m_bEnabled || !m_pParent)
    return;
  BOOL bCustomize = IsCustomizeMode();
  if (bCustomize) {
    if (CTKCommandBars* pCommandBars = m_pParent->GetCommandBars())
      pCommandBars->SetDragControl(this);
  }
  if (m_bPopup && m_pParent->GetPosition() != tkBarPopup) {
    m_pParent->SetTrackingMode(0, FALSE, FALSE);
    return;
  }
  if (!bCustomize && m_controlType == tkControlSplitButtonPopup) {
    if (bKeyboard) {
      OnExecute();
      return;
    }
    if (m_pParent->GetPosition() == tkBarPopup) {
      if (pt.x < m_rcControl.right - kSplitMenuArrow) {
        m_pParent->KillTimer(TK_TIMER_POPUPDELAY);
        return;
      }
    } else if (pt.x < m_rcControl.right - kSplitToolBarArrow) {
      CRect rcButton = m_rcControl;
      rcButton.right -= kSplitToolBarArrow;
      TrackButtonPress(rcButton);
      return;
    }
  }
  if (!bCustomize || !m_pCommandBar || m_pCommandBar->IsCustomizable())
    m_pParent->SetPopuped(m_nIndex, FALSE);
}

void CTKControlPopup::OnLButtonUp(CPoint point)
{
  if (m_bEnabled && m_controlType == tkControlSplitButtonPopup && m_pParent &&
      m_pParent->GetPosition() == tkBarPopup && point.x < m_rcControl.right - kSplitMenuArrow)
    OnExecute();
}

BOOL CTKControlPopup::OnLButtonDblClk(CPoint point)
{
  if (m_controlType != tkControlPopup && m_controlType != tkControlButtonPopup)
    return CTKControl::OnLButtonDblClk(point);
  if (!m_pCommandBar || !m_pParent)
    return FALSE;
  if (!m_bPopup)
    OnClick(FALSE, point);
  if (!m_bPopup)
    return FALSE;
  for (int i = 0; i < m_pCommandBar->GetControlCount(); ++i) {
    CTKControl* pControl = m_pCommandBar->GetControl(i);
    if (pControl->IsVisible() && pControl->IsItemDefault()) {
      pControl->OnExecute();
      return TRUE;
    }
  }
  auto* pPopupBar = dynamic_cast<CTKPopupBar*>(m_pCommandBar);
  if (pPopupBar && pPopupBar->HasHiddenCommands() && !pPopupBar->IsExpanded()) {
    pPopupBar->ExpandFullMenu();
    return TRUE;
  }
  return FALSE;
}

void CTKControlPopup::OnMouseHover()
{
  if (m_bEnabled && m_pParent && (m_pParent->GetTrackingMode() == 2 || m_pParent->GetPosition() == tkBarPopup)) {
    m_pParent->SetPopuped(m_nIndex, FALSE);
    return;
  }
  CTKControl::OnMouseHover();
}

BOOL CTKControlPopup::OnSetSelected(int bSelected)
{
  if (!CTKControl::OnSetSelected(bSelected))
    return FALSE;
  if (!m_pParent)
    return TRUE;
  BOOL bPopupBar = m_pParent->GetPosition() == tkBarPopup;
  if ((m_controlType == tkControlButtonPopup || m_controlType == tkControlSplitButtonPopup) && !bPopupBar) {
    if (m_bEnabled && bSelected == 2 && m_pParent->GetTrackingMode() == 2)
      m_pParent->SetPopuped(m_nIndex, FALSE);
    return TRUE;
  }
  if (m_bEnabled && bSelected != 0 && m_pParent->GetTrackingMode() == 2 && !bPopupBar)
    m_pParent->SetPopuped(m_nIndex, FALSE);
  else if (bSelected == 0 && m_bPopup && !bPopupBar)
    m_pParent->SetPopuped(-1, FALSE);
  return TRUE;
}

void CTKControlPopup::OnCustomizeDragOver(CTKControl* pDataObject, CPoint /*point*/)
{
  if (!m_pCommandBar || !m_pCommandBar->IsCustomizable() || !m_pParent)
    return;
  auto* pDragged = dynamic_cast<CTKControlPopup*>(pDataObject);
  if (pDragged && pDragged->IsContainPopup(this)) {
    // A popup may not be dropped into its own tree: its submenus stay closed.
    m_pParent->SetPopuped(-1, FALSE);
    m_pParent->SetSelected(-1, FALSE);
    return;
  }
  m_pParent->SetPopuped(m_nIndex, FALSE);
}

CTKControl* CTKControlPopup::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }

void CTKControlPopup::UpdateShadow()
{
  // Bars that are not popup bars (those the tests stand in) keep the shadow they always had.
  auto* pPopupBar = dynamic_cast<CTKPopupBar*>(m_pCommandBar);
  if (m_pParent && m_pParent->GetPosition() != tkBarPopup && m_controlType >= tkControlPopup &&
      m_controlType <= tkControlSplitButtonPopup && m_pCommandBar && (!pPopupBar || pPopupBar->GetShowShadow()))
    TKShadowsManager().SetShadow(this);
}
