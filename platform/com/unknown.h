// The root of every COM-style interface: reference counting and interface lookup by identifier.
#pragma once

#include "platform/base/guid.h"
#include "platform/base/hresult.h"

// {00000000-0000-0000-C000-000000000046}
inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

protected:
  ~IUnknown() = default;
};

using LPUNKNOWN = IUnknown*;
