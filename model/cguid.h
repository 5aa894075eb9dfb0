// The identifier value the model carries for class ids, object ids and primitive-group kinds.
#pragma once

#include "platform/base/guid.h"

#include "platform/mfc-core/mfcstring.h"

class CGuid {
public:
  CGuid() = default;
  explicit CGuid(const GUID* value);
  CGuid(const CGuid&) = default;
  CGuid& operator=(const CGuid&) = default;
  virtual ~CGuid() {}

  bool IsEqual(const GUID* other) const;
  bool IsNotEqual(const GUID* other) const;
  void Assign(const GUID* other);
  void Copy(const CGuid& other);
  // The registry form: braces, groups of 8-4-4-4-12 upper-case hex digits; empty when formatting fails.
  CString ToString() const;

  const GUID& Value() const { return m_value; }

private:
  GUID m_value{};
};
