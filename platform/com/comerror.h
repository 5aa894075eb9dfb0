// _com_error: the exception that failing COM calls are turned into, carrying the HRESULT.
#pragma once

#include "platform/com/bstr.h"

#include <string>

class _com_error {
public:
  explicit _com_error(HRESULT hr) : m_hr(hr) {}

  HRESULT Error() const { return m_hr; }
  // The low word of a FACILITY_ITF error (0x8004xxxx) from 0x200 on, else 0.
  WORD WCode() const;
  // A text for the code: the known ones by name, any other as "Unknown error 0x8xxxxxxx". Code page 1251.
  const char* ErrorMessage() const;
  // No error-info objects exist here, so there is never a description.
  _bstr_t Description() const { return _bstr_t(); }

private:
  HRESULT m_hr;
  mutable std::string m_message;
};

// Throws _com_error(hr).
[[noreturn]] void _com_issue_error(HRESULT hr);

// Throws for a failure code and answers a success code (S_OK or S_FALSE) unchanged: the check every call on an
// outside server goes through.
inline HRESULT ComCheck(HRESULT hr)
{
  if (FAILED(hr))
    _com_issue_error(hr);
  return hr;
}
