#include "model/cguid.h"

#include <cstring>

CGuid::CGuid(const GUID* value) : m_value(*value) {}

bool CGuid::IsEqual(const GUID* other) const { return std::memcmp(&m_value, other, sizeof(GUID)) == 0; }

bool CGuid::IsNotEqual(const GUID* other) const { return !IsEqual(other); }

void CGuid::Assign(const GUID* other)
{
  if (IsNotEqual(other))
    m_value = *other;
}

void CGuid::Copy(const CGuid& other)
{
  if (&other != this)
    m_value = other.m_value;
}

CString CGuid::ToString() const
{
  char16_t buffer[40] = {};
  if (StringFromGUID2(m_value, buffer, 40) == 0)
    return CString();
  return CString(buffer);
}
