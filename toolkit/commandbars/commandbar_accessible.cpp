// A bar as assistive tools see it: the bar itself and its controls as children 1 to n.
#include "toolkit/commandbars/commandbar.h"
#include "toolkit/commandbars/control_button.h"
#include "toolkit/commandbars/popupbar.h"

namespace {

constexpr long kChildSelected = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_HOTTRACKED |
                                STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED;
constexpr long kChild = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;

void SetI4(VARIANT* pv, long nValue)
{
  VariantInit(pv);
  pv->vt = VT_I4;
  pv->lVal = nValue;
}

// The control's dispatch with a reference for the caller; null without a control.
IDispatch* DispatchOf(CTKControl* pControl)
{
  if (!pControl)
    return nullptr;
  IDispatch* pDispatch = pControl->GetAccessibleDispatch();
  pDispatch->AddRef();
  return pDispatch;
}

}  // namespace

BOOL CTKCommandBar::OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  const long nObject = static_cast<long>(static_cast<LONG>(lParam));
  if (nObject != OBJID_CLIENT && nObject != OBJID_MENU)
    return FALSE;
  *pResult = LresultFromObject(IID_IAccessible, wParam, GetAccessible());
  return TRUE;
}

HRESULT CTKCommandBar::AccParent(IDispatch** ppdispParent)
{
  if (!ppdispParent)
    return E_POINTER;
  *ppdispParent = nullptr;
  if (const auto* pPopupBar = dynamic_cast<const CTKPopupBar*>(this)) {
    if (CTKControlPopup* pOpener = pPopupBar->GetControlPopup()) {
      *ppdispParent = DispatchOf(pOpener);
      return S_OK;
    }
  }
  CWnd* pParent = GetSafeHwnd() ? GetParent() : nullptr;
  if (!pParent)
    return E_FAIL;
  return AccessibleObjectFromWindow(pParent->GetSafeHwnd(), static_cast<DWORD>(OBJID_WINDOW), IID_IAccessible,
                                    reinterpret_cast<void**>(ppdispParent));
}

HRESULT CTKCommandBar::AccChildCount(long* pcountChildren)
{
  if (!pcountChildren)
    return E_POINTER;
  *pcountChildren = GetControlCount();
  return S_OK;
}

HRESULT CTKCommandBar::AccChild(VARIANT varChild, IDispatch** ppdispChild)
{
  if (!ppdispChild)
    return E_POINTER;
  *ppdispChild = DispatchOf(GetControl(GetChildIdFromVariant(varChild) - 1));
  return S_OK;
}

HRESULT CTKCommandBar::AccName(VARIANT varChild, BSTR* pszName)
{
  if (!pszName)
    return E_POINTER;
  *pszName = nullptr;
  const long nChild = GetChildIdFromVariant(varChild);
  if (nChild <= 0) {
    *pszName = AllocText(GetTitle());
    return S_OK;
  }
  CTKControl* pControl = GetControl(nChild - 1);
  if (!pControl)
    return E_INVALIDARG;
  *pszName = AllocText(pControl->GetAccessibleName());
  return S_OK;
}

HRESULT CTKCommandBar::AccRole(VARIANT varChild, VARIANT* pvarRole)
{
  if (!pvarRole)
    return E_POINTER;
  long nRole = ROLE_SYSTEM_MENUITEM;
  if (GetChildIdFromVariant(varChild) == CHILDID_SELF)
    nRole = m_barType == tkBarTypeMenuBar ? ROLE_SYSTEM_MENUBAR
            : m_barType == tkBarTypeNormal ? ROLE_SYSTEM_TOOLBAR
                                           : ROLE_SYSTEM_MENUPOPUP;
  SetI4(pvarRole, nRole);
  return S_OK;
}

HRESULT CTKCommandBar::AccState(VARIANT varChild, VARIANT* pvarState)
{
  if (!pvarState)
    return E_POINTER;
  long nState = IsVisible() ? 0 : STATE_SYSTEM_INVISIBLE;
  const long nChild = GetChildIdFromVariant(varChild);
  if (nChild > 0 && GetControl(nChild - 1))
    nState |= nChild - 1 == m_nSelected ? kChildSelected : kChild;
  SetI4(pvarState, nState);
  return S_OK;
}

HRESULT CTKCommandBar::AccLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight, VARIANT varChild)
{
  if (!pxLeft || !pyTop || !pcxWidth || !pcyHeight)
    return E_POINTER;
  *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
  if (!GetSafeHwnd())
    return S_OK;
  CRect rc;
  GetWindowRect(&rc);
  const long nChild = GetChildIdFromVariant(varChild);
  if (nChild != CHILDID_SELF) {
    CTKControl* pControl = GetControl(nChild - 1);
    if (!pControl)
      return E_INVALIDARG;
    const CPoint ptWindow = rc.TopLeft();
    rc = pControl->GetRect();
    rc.OffsetRect(ptWindow.x, ptWindow.y);
  }
  *pxLeft = rc.left;
  *pyTop = rc.top;
  *pcxWidth = rc.Width();
  *pcyHeight = rc.Height();
  return S_OK;
}

HRESULT CTKCommandBar::AccHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
  if (!pvarChild)
    return E_POINTER;
  VariantInit(pvarChild);
  if (!GetSafeHwnd())
    return S_FALSE;
  CRect rcWindow;
  GetWindowRect(&rcWindow);
  CPoint pt(static_cast<int>(xLeft), static_cast<int>(yTop));
  if (!rcWindow.PtInRect(pt))
    return S_FALSE;
  ScreenToClient(&pt);
  if (CTKControl* pControl = m_pControls->HitTest(pt)) {
    pvarChild->vt = VT_DISPATCH;
    pvarChild->pdispVal = DispatchOf(pControl);
    return S_OK;
  }
  SetI4(pvarChild, CHILDID_SELF);
  return S_OK;
}
