#include "platform/gdiplus/gdiplus_holder.h"

#include "platform/gdiplus/gdiplus.h"

GdiPlusClass::GdiPlusClass()
{
  m_bOk = true;
  try {
    const GdiplusStartupInput input;
    // A refused start-up leaves no token to shut down: it counts as not started.
    m_bOk = GdiplusStartup(&m_token, &input, nullptr) == Ok;
  } catch (...) {
    m_bOk = false;
  }
}

GdiPlusClass::~GdiPlusClass()
{
  if (m_bOk) {
    GdiplusShutdown(m_token);
  }
}
