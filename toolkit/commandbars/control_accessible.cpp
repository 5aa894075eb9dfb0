// A control as assistive tools see it.
#include "toolkit/commandbars/commandbar.h"
#include "toolkit/commandbars/control.h"
#include "toolkit/paint/paint_manager.h"

namespace {

constexpr long kStateSelected = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED | STATE_SYSTEM_FOCUSED |
                                STATE_SYSTEM_SELECTED;

void SetI4(VARIANT* pv, long nValue)
{
  VariantInit(pv);
  pv->vt = VT_I4;
  pv->lVal = nValue;
}

}  // namespace

CString CTKControl::GetAccessibleName() const
{
  CString strName = GetCaption();
  CTKPaintManager::StripMnemonics(strName);
  CString strShortcut = GetShortcutText();
  if (!strShortcut.IsEmpty())
    strName += "\t" + strShortcut;
  return strName;
}

HRESULT CTKControl::AccParent(IDispatch** ppdispParent)
{
  if (!ppdispParent)
    return E_POINTER;
  *ppdispParent = nullptr;
  if (!m_pParent)
    return E_FAIL;
  return m_pParent->GetAccessible()->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(ppdispParent));
}

HRESULT CTKControl::AccChildCount(long* pcountChildren)
{
  if (!pcountChildren)
    return E_POINTER;
  *pcountChildren = GetCommandBar() ? 1 : 0;
  return S_OK;
}

HRESULT CTKControl::AccChild(VARIANT varChild, IDispatch** ppdispChild)
{
  if (!ppdispChild)
    return E_POINTER;
  *ppdispChild = nullptr;
  CTKCommandBar* pBar = GetCommandBar();
  if (pBar && GetChildIdFromVariant(varChild) == 1) {
    *ppdispChild = pBar->GetAccessibleDispatch();
    (*ppdispChild)->AddRef();
  }
  return S_OK;
}

HRESULT CTKControl::AccName(VARIANT varChild, BSTR* pszName)
{
  if (GetChildIdFromVariant(varChild) != CHILDID_SELF)
    return E_INVALIDARG;
  if (!pszName)
    return E_POINTER;
  *pszName = AllocText(GetAccessibleName());
  return S_OK;
}

HRESULT CTKControl::AccDescription(VARIANT varChild, BSTR* pszDescription)
{
  if (GetChildIdFromVariant(varChild) != CHILDID_SELF)
    return E_INVALIDARG;
  if (!pszDescription)
    return E_POINTER;
  *pszDescription = AllocText(GetDescription());
  return S_OK;
}

HRESULT CTKControl::AccRole(VARIANT varChild, VARIANT* pvarRole)
{
  if (GetChildIdFromVariant(varChild) != CHILDID_SELF)
    return E_INVALIDARG;
  if (!pvarRole)
    return E_POINTER;
  long nRole = ROLE_SYSTEM_MENUITEM;
  if (m_pParent && m_pParent->GetType() == tkBarTypeNormal)
    nRole = GetCommandBar() ? ROLE_SYSTEM_BUTTONMENU : ROLE_SYSTEM_PUSHBUTTON;
  SetI4(pvarRole, nRole);
  return S_OK;
}

HRESULT CTKControl::AccState(VARIANT varChild, VARIANT* pvarState)
{
  if (GetChildIdFromVariant(varChild) != CHILDID_SELF)
    return E_INVALIDARG;
  if (!pvarState)
    return E_POINTER;
  long nState = GetSelected() ? kStateSelected : STATE_SYSTEM_FOCUSABLE;
  if (!m_pParent || !m_pParent->IsVisible() || m_dwHideFlags != 0)
    nState |= STATE_SYSTEM_INVISIBLE;
  if (!m_bEnabled)
    nState |= STATE_SYSTEM_UNAVAILABLE;
  if (m_bChecked)
    nState |= STATE_SYSTEM_CHECKED;
  if (m_bPressed)
    nState |= STATE_SYSTEM_PRESSED;
  if (GetCommandBar())
    nState |= STATE_SYSTEM_HASPOPUP;
  SetI4(pvarState, nState);
  return S_OK;
}

HRESULT CTKControl::AccDefaultAction(VARIANT varChild, BSTR* pszDefaultAction)
{
  if (GetChildIdFromVariant(varChild) != CHILDID_SELF)
    return E_INVALIDARG;
  if (!pszDefaultAction)
    return E_POINTER;
  *pszDefaultAction = AllocText("Click");
  return S_OK;
}

HRESULT CTKControl::AccDoDefaultAction(VARIANT varChild)
{
  if (GetChildIdFromVariant(varChild) != CHILDID_SELF)
    return E_INVALIDARG;
  OnClick(TRUE, CPoint(0, 0));
  return S_OK;
}

HRESULT CTKControl::AccSelect(long /*flagsSelect*/, VARIANT varChild)
{
  if (GetChildIdFromVariant(varChild) != CHILDID_SELF)
    return E_INVALIDARG;
  if (m_pParent && m_pParent->GetSafeHwnd()) {
    m_pParent->SetTrackingMode(1, FALSE, FALSE);
    m_pParent->SetSelected(m_nIndex, TRUE);
  }
  return S_OK;
}

HRESULT CTKControl::AccLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight, VARIANT varChild)
{
  if (GetChildIdFromVariant(varChild) != CHILDID_SELF)
    return E_INVALIDARG;
  if (!pxLeft || !pyTop || !pcxWidth || !pcyHeight)
    return E_POINTER;
  *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
  if (!m_pParent || !m_pParent->GetSafeHwnd())
    return S_OK;
  CRect rc = m_rcControl;
  m_pParent->ClientToScreen(&rc);
  *pxLeft = rc.left;
  *pyTop = rc.top;
  *pcxWidth = rc.Width();
  *pcyHeight = rc.Height();
  return S_OK;
}

HRESULT CTKControl::AccHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
  if (!pvarChild)
    return E_POINTER;
  VariantInit(pvarChild);
  if (!m_pParent || !m_pParent->GetSafeHwnd())
    return S_FALSE;
  CRect rcWindow;
  m_pParent->GetWindowRect(&rcWindow);
  CPoint pt(static_cast<int>(xLeft), static_cast<int>(yTop));
  if (!rcWindow.PtInRect(pt))
    return S_FALSE;
  SetI4(pvarChild, CHILDID_SELF);
  m_pParent->ScreenToClient(&pt);
  return m_rcControl.PtInRect(pt) ? S_OK : S_FALSE;
}
