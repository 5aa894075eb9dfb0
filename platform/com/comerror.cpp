#include "platform/com/comerror.h"

#include "platform/com/combase.h"
#include "platform/com/dispatch.h"

#include <cstdio>

namespace {

struct KnownError {
  HRESULT hr;
  const char* text;
};

constexpr KnownError kKnownErrors[] = {
    {S_OK, "No error"},
    {S_FALSE, "Success (false)"},
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_ABORT, "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_ACCESSDENIED, "Access denied"},
    {E_HANDLE, "Invalid handle"},
    {E_OUTOFMEMORY, "Out of memory"},
    {E_INVALIDARG, "Invalid argument"},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation"},
    {CLASS_E_CLASSNOTAVAILABLE, "Class not available"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {CO_E_NOTINITIALIZED, "COM has not been initialised on this thread"},
    {CO_E_CLASSSTRING, "Invalid class string"},
    {RPC_E_CHANGED_MODE, "Cannot change the thread's threading model"},
    {DISP_E_MEMBERNOTFOUND, "Member not found"},
    {DISP_E_TYPEMISMATCH, "Type mismatch"},
    {DISP_E_BADVARTYPE, "Bad variable type"},
    {DISP_E_OVERFLOW, "Out of present range"},
    {DISP_E_UNKNOWNNAME, "Unknown name"},
    {DISP_E_EXCEPTION, "Exception occurred"},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters"},
    {DISP_E_PARAMNOTFOUND, "Parameter not found"},
};

}  // namespace

WORD _com_error::WCode() const
{
  const auto code = static_cast<DWORD>(m_hr);
  if ((code & 0xFFFF0000u) == 0x80040000u && (code & 0xFFFFu) >= 0x200u)
    return static_cast<WORD>((code & 0xFFFFu) - 0x200u);
  return 0;
}

const char* _com_error::ErrorMessage() const
{
  if (m_message.empty()) {
    for (const KnownError& known : kKnownErrors) {
      if (known.hr == m_hr) {
        m_message = known.text;
        break;
      }
    }
    if (m_message.empty()) {
      char text[40];
      std::snprintf(text, sizeof text, "Unknown error 0x%08X", static_cast<unsigned>(m_hr));
      m_message = text;
    }
  }
  return m_message.c_str();
}

void _com_issue_error(HRESULT hr) { throw _com_error(hr); }
