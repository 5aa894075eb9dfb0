#include "platform/com/bstr.h"

#include "platform/base/codepage.h"

#include <new>
#include <utility>

_bstr_t::_bstr_t(const char* text)
{
  if (!text)
    return;
  *this = _bstr_t(std::u16string_view(codepage::Cp1251ToUtf16(text)));
}

_bstr_t::_bstr_t(const OLECHAR* text)
{
  if (text)
    *this = _bstr_t(std::u16string_view(text));
}

_bstr_t::_bstr_t(std::u16string_view text)
{
  BSTR wide = SysAllocString(text);
  if (!wide)
    throw std::bad_alloc();
  m_rep = std::make_shared<Rep>(wide);
}

_bstr_t::_bstr_t(BSTR text, bool copy)
{
  if (!copy) {
    m_rep = std::make_shared<Rep>(text);
    return;
  }
  if (text)
    *this = _bstr_t(std::u16string_view(text, SysStringLen(text)));
}

_bstr_t& _bstr_t::operator+=(const _bstr_t& other)
{
  // A new representation: other copies of this text keep the old one.
  std::u16string joined(view());
  joined += other.view();
  return *this = _bstr_t(std::u16string_view(joined));
}

_bstr_t::operator const char*() const
{
  if (!m_rep || !m_rep->wide)
    return nullptr;
  std::call_once(m_rep->narrowMade, [this] { m_rep->narrow = codepage::Utf16ToCp1251(view()); });
  return m_rep->narrow.c_str();
}

BSTR _bstr_t::copy(bool copy) const
{
  if (!copy)
    return GetBSTR();
  if (!m_rep || !m_rep->wide)
    return nullptr;
  BSTR fresh = SysAllocStringLen(m_rep->wide, length());
  if (!fresh)
    throw std::bad_alloc();
  return fresh;
}

BSTR* _bstr_t::GetAddress()
{
  m_rep = std::make_shared<Rep>(nullptr);
  return &m_rep->wide;
}

BSTR _bstr_t::Detach()
{
  if (!m_rep)
    return nullptr;
  // Shared text cannot be handed away; the caller gets its own copy then.
  BSTR out = m_rep.use_count() == 1 ? std::exchange(m_rep->wide, nullptr) : copy(true);
  m_rep.reset();
  return out;
}
