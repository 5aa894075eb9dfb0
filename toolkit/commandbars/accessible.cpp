#include "toolkit/commandbars/accessible.h"

#include "platform/base/codepage.h"

#include <vector>

namespace {

// Deep enough for any identifier a client sends; a reference cycle ends as unreadable.
constexpr int kMaxVariantDepth = 8;

long ChildId(const VARIANT& v, int nDepth)
{
  switch (v.vt) {
  case VT_I4: return v.lVal;
  case VT_I2: return v.iVal;
  case VT_BYREF | VT_I4: return v.plVal ? *v.plVal : -1;
  case VT_BYREF | VT_I2: return v.piVal ? *v.piVal : -1;
  case VT_BYREF | VT_VARIANT: return v.pvarVal && nDepth < kMaxVariantDepth ? ChildId(*v.pvarVal, nDepth + 1) : -1;
  default: return -1;
  }
}

}  // namespace

void CTKAccessible::AccessibleNotifyWinEvent(DWORD event, HWND hwnd, long idObject, long idChild)
{
  ::NotifyWinEvent(event, hwnd, idObject, idChild);
}

HRESULT CTKAccessible::AccessibleObjectFromWindow(HWND hwnd, DWORD dwId, REFIID riid, void** ppvObject)
{
  return ::AccessibleObjectFromWindow(hwnd, dwId, riid, ppvObject);
}

LRESULT CTKAccessible::LresultFromObject(REFIID riid, WPARAM wParam, IUnknown* punk)
{
  return ::LresultFromObject(riid, wParam, punk);
}

long CTKAccessible::GetChildIdFromVariant(VARIANT varChild) { return ChildId(varChild, 0); }

BSTR CTKAccessible::AllocText(const CString& str)
{
  int nWide = ::MultiByteToWideChar(CP_ACP, 0, str, str.GetLength(), nullptr, 0);
  std::vector<OLECHAR> wide(static_cast<size_t>(nWide) + 1);
  ::MultiByteToWideChar(CP_ACP, 0, str, str.GetLength(), wide.data(), nWide);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(nWide));
}

HRESULT CTKAccessible::XAccessible::QueryInterface(REFIID riid, void** ppv)
{
  if (!ppv)
    return E_POINTER;
  if (riid == IID_IAccessible || riid == IID_IDispatch || riid == IID_IUnknown) {
    *ppv = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG CTKAccessible::XAccessible::AddRef()
{
  CCmdTarget* pOwner = m_pOwner->AccOwner();
  return pOwner ? pOwner->ExternalAddRef() : 1;
}

ULONG CTKAccessible::XAccessible::Release()
{
  CCmdTarget* pOwner = m_pOwner->AccOwner();
  return pOwner ? pOwner->ExternalRelease() : 1;
}

HRESULT CTKAccessible::XAccessible::get_accChildCount(LONG* p)
{
  long n = 0;
  HRESULT hr = m_pOwner->AccChildCount(&n);
  if (p)
    *p = static_cast<LONG>(n);
  return hr;
}

HRESULT CTKAccessible::XAccessible::get_accHelpTopic(BSTR* f, VARIANT v, LONG* t)
{
  long n = 0;
  HRESULT hr = m_pOwner->AccHelpTopic(f, v, &n);
  if (t)
    *t = static_cast<LONG>(n);
  return hr;
}

HRESULT CTKAccessible::XAccessible::accLocation(LONG* x, LONG* y, LONG* cx, LONG* cy, VARIANT v)
{
  long l = 0, t = 0, w = 0, h = 0;
  HRESULT hr = m_pOwner->AccLocation(&l, &t, &w, &h, v);
  if (x)
    *x = static_cast<LONG>(l);
  if (y)
    *y = static_cast<LONG>(t);
  if (cx)
    *cx = static_cast<LONG>(w);
  if (cy)
    *cy = static_cast<LONG>(h);
  return hr;
}
