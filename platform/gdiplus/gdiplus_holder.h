// GdiPlusClass: keeps GDI+ started while it lives (the catalogue lists, the intensity diagram view and the wizard's
// previews each hold one).
#pragma once

#include "platform/base/wintypes.h"

class GdiPlusClass {
public:
  GdiPlusClass();
  virtual ~GdiPlusClass();
  GdiPlusClass(const GdiPlusClass&) = delete;
  GdiPlusClass& operator=(const GdiPlusClass&) = delete;

  bool IsStarted() const { return m_bOk; }

private:
  bool m_bOk = false;
  ULONG_PTR m_token = 0;
};
