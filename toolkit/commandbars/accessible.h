// What assistive tools see of bars and controls, which draw themselves: an IAccessible whose methods go to
// virtual operations the owner overrides. Each base answer says "not implemented" or "nothing".
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "platform/mfc/cmdtarget.h"
#include "platform/user/accessibility.h"

class CTKAccessible {
public:
  CTKAccessible() : m_xAccessible(this) {}
  virtual ~CTKAccessible() = default;
  CTKAccessible(const CTKAccessible&) = delete;
  CTKAccessible& operator=(const CTKAccessible&) = delete;

  virtual HRESULT AccParent(IDispatch** /*ppdispParent*/) { return E_NOTIMPL; }
  virtual HRESULT AccChildCount(long* /*pcountChildren*/) { return E_NOTIMPL; }
  virtual HRESULT AccChild(VARIANT /*varChild*/, IDispatch** /*ppdispChild*/) { return E_NOTIMPL; }
  virtual HRESULT AccName(VARIANT /*varChild*/, BSTR* /*pszName*/) { return E_NOTIMPL; }
  virtual HRESULT AccValue(VARIANT /*varChild*/, BSTR* /*pszValue*/) { return E_NOTIMPL; }
  virtual HRESULT AccDescription(VARIANT /*varChild*/, BSTR* /*pszDescription*/) { return E_NOTIMPL; }
  virtual HRESULT AccRole(VARIANT /*varChild*/, VARIANT* /*pvarRole*/) { return E_NOTIMPL; }
  virtual HRESULT AccState(VARIANT /*varChild*/, VARIANT* /*pvarState*/) { return E_NOTIMPL; }
  virtual HRESULT AccHelp(VARIANT /*varChild*/, BSTR* /*pszHelp*/) { return E_NOTIMPL; }
  virtual HRESULT AccHelpTopic(BSTR* /*pszHelpFile*/, VARIANT /*varChild*/, long* /*pidTopic*/) { return E_NOTIMPL; }
  virtual HRESULT AccKeyboardShortcut(VARIANT /*varChild*/, BSTR* /*pszKeyboardShortcut*/) { return E_NOTIMPL; }
  virtual HRESULT AccFocus(VARIANT* /*pvarChild*/) { return S_FALSE; }
  virtual HRESULT AccSelection(VARIANT* /*pvarChildren*/) { return S_FALSE; }
  virtual HRESULT AccDefaultAction(VARIANT /*varChild*/, BSTR* /*pszDefaultAction*/) { return E_NOTIMPL; }
  virtual HRESULT AccSelect(long /*flagsSelect*/, VARIANT /*varChild*/) { return E_NOTIMPL; }
  virtual HRESULT AccLocation(long* /*pxLeft*/, long* /*pyTop*/, long* /*pcxWidth*/, long* /*pcyHeight*/,
                              VARIANT /*varChild*/)
  {
    return E_NOTIMPL;
  }
  virtual HRESULT AccNavigate(long /*navDir*/, VARIANT /*varStart*/, VARIANT* /*pvarEndUpAt*/) { return E_NOTIMPL; }
  virtual HRESULT AccHitTest(long /*xLeft*/, long /*yTop*/, VARIANT* /*pvarChild*/) { return E_NOTIMPL; }
  virtual HRESULT AccDoDefaultAction(VARIANT /*varChild*/) { return E_NOTIMPL; }
  virtual HRESULT AccPutName(VARIANT /*varChild*/, BSTR /*szName*/) { return E_NOTIMPL; }
  virtual HRESULT AccPutValue(VARIANT /*varChild*/, BSTR /*szValue*/) { return E_NOTIMPL; }
  // The command target whose reference count the interface shares.
  virtual CCmdTarget* AccOwner() { return nullptr; }

  IAccessible* GetAccessible() { return &m_xAccessible; }
  IDispatch* GetAccessibleDispatch() { return &m_xAccessible; }

  void AccessibleNotifyWinEvent(DWORD event, HWND hwnd, long idObject, long idChild);
  static HRESULT AccessibleObjectFromWindow(HWND hwnd, DWORD dwId, REFIID riid, void** ppvObject);
  static LRESULT LresultFromObject(REFIID riid, WPARAM wParam, IUnknown* punk);
  // 0 is the object itself; -1 for an identifier that cannot be read.
  static long GetChildIdFromVariant(VARIANT varChild);
  // A BSTR of a text of the program's code page.
  static BSTR AllocText(const CString& str);

  class XAccessible : public IAccessible {
  public:
    explicit XAccessible(CTKAccessible* pOwner) : m_pOwner(pOwner) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
    HRESULT get_accParent(IDispatch** p) override { return m_pOwner->AccParent(p); }
    HRESULT get_accChildCount(LONG* p) override;
    HRESULT get_accChild(VARIANT v, IDispatch** p) override { return m_pOwner->AccChild(v, p); }
    HRESULT get_accName(VARIANT v, BSTR* p) override { return m_pOwner->AccName(v, p); }
    HRESULT get_accValue(VARIANT v, BSTR* p) override { return m_pOwner->AccValue(v, p); }
    HRESULT get_accDescription(VARIANT v, BSTR* p) override { return m_pOwner->AccDescription(v, p); }
    HRESULT get_accRole(VARIANT v, VARIANT* p) override { return m_pOwner->AccRole(v, p); }
    HRESULT get_accState(VARIANT v, VARIANT* p) override { return m_pOwner->AccState(v, p); }
    HRESULT get_accHelp(VARIANT v, BSTR* p) override { return m_pOwner->AccHelp(v, p); }
    HRESULT get_accHelpTopic(BSTR* f, VARIANT v, LONG* t) override;
    HRESULT get_accKeyboardShortcut(VARIANT v, BSTR* p) override { return m_pOwner->AccKeyboardShortcut(v, p); }
    HRESULT get_accFocus(VARIANT* p) override { return m_pOwner->AccFocus(p); }
    HRESULT get_accSelection(VARIANT* p) override { return m_pOwner->AccSelection(p); }
    HRESULT get_accDefaultAction(VARIANT v, BSTR* p) override { return m_pOwner->AccDefaultAction(v, p); }
    HRESULT accSelect(LONG f, VARIANT v) override { return m_pOwner->AccSelect(f, v); }
    HRESULT accLocation(LONG* x, LONG* y, LONG* cx, LONG* cy, VARIANT v) override;
    HRESULT accNavigate(LONG d, VARIANT s, VARIANT* e) override { return m_pOwner->AccNavigate(d, s, e); }
    HRESULT accHitTest(LONG x, LONG y, VARIANT* p) override { return m_pOwner->AccHitTest(x, y, p); }
    HRESULT accDoDefaultAction(VARIANT v) override { return m_pOwner->AccDoDefaultAction(v); }
    HRESULT put_accName(VARIANT v, BSTR s) override { return m_pOwner->AccPutName(v, s); }
    HRESULT put_accValue(VARIANT v, BSTR s) override { return m_pOwner->AccPutValue(v, s); }

  private:
    CTKAccessible* m_pOwner;
  };

private:
  XAccessible m_xAccessible;
};
