// _com_ptr_t: holds one reference on an interface, releases it when it goes, and turns a call through a null
// pointer into a _com_error instead of a crash. _COM_SMARTPTR_TYPEDEF(IFoo, IID_IFoo) names it IFooPtr.
#pragma once

#include "platform/com/combase.h"
#include "platform/com/comerror.h"

#include <type_traits>
#include <utility>

template <class Interface, const IID* InterfaceId>
class _com_ptr_t {
public:
  using ThisInterface = Interface;

  _com_ptr_t() = default;
  _com_ptr_t(std::nullptr_t) {}
  _com_ptr_t(Interface* p, bool addRef = true) : m_p(p)
  {
    if (m_p && addRef)
      m_p->AddRef();
  }
  // Asks `other` for this pointer's interface; null when it has none.
  template <class Other>
    requires(!std::is_same_v<Other, Interface> && std::is_base_of_v<IUnknown, Other>)
  explicit _com_ptr_t(Other* other)
  {
    if (other)
      other->QueryInterface(*InterfaceId, reinterpret_cast<void**>(&m_p));
  }
  // Creates an object of the class and throws _com_error when that fails.
  explicit _com_ptr_t(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL)
  {
    ComCheck(CreateInstance(clsid, outer, context));
  }
  _com_ptr_t(const _com_ptr_t& other) : _com_ptr_t(other.m_p) {}
  _com_ptr_t(_com_ptr_t&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  ~_com_ptr_t() { Reset(); }

  _com_ptr_t& operator=(_com_ptr_t other) noexcept
  {
    std::swap(m_p, other.m_p);
    return *this;
  }
  _com_ptr_t& operator=(Interface* p) { return *this = _com_ptr_t(p); }
  _com_ptr_t& operator=(std::nullptr_t)
  {
    Reset();
    return *this;
  }

  static const IID& GetIID() { return *InterfaceId; }

  HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL)
  {
    Reset();
    return CoCreateInstance(clsid, outer, context, *InterfaceId, reinterpret_cast<void**>(&m_p));
  }
  template <class Other>
  HRESULT QueryInterface(REFIID iid, Other** out) const
  {
    if (!m_p)
      return E_POINTER;
    return m_p->QueryInterface(iid, reinterpret_cast<void**>(out));
  }

  void Attach(Interface* p, bool addRef = false) { *this = _com_ptr_t(p, addRef); }
  Interface* Detach() { return std::exchange(m_p, nullptr); }
  // Drops the reference; a call on an empty pointer is an error, as with the original.
  void Release()
  {
    if (!m_p)
      _com_issue_error(E_POINTER);
    Reset();
  }
  void AddRef()
  {
    if (!m_p)
      _com_issue_error(E_POINTER);
    m_p->AddRef();
  }

  Interface* GetInterfacePtr() const { return m_p; }
  operator Interface*() const { return m_p; }
  Interface* operator->() const
  {
    if (!m_p)
      _com_issue_error(E_POINTER);
    return m_p;
  }
  Interface& operator*() const
  {
    if (!m_p)
      _com_issue_error(E_POINTER);
    return *m_p;
  }
  // For an out parameter: drops the held reference first.
  Interface** operator&()
  {
    Reset();
    return &m_p;
  }

private:
  void Reset()
  {
    if (Interface* p = std::exchange(m_p, nullptr))
      p->Release();
  }

  Interface* m_p = nullptr;
};

#define _COM_SMARTPTR_TYPEDEF(Interface, iid) using Interface##Ptr = _com_ptr_t<Interface, &(iid)>
