// A bitmap the size of a picture selected into a memory DC of the screen's kind, filled with one colour; the
// toolkit's picture tests draw on it and save it for a person to look at.
#pragma once

#include "platform/gdi/png.h"
#include "platform/mfc/afxwin.h"

#include <string>

namespace tktest {

class Canvas {
public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : m_width(width), m_height(height)
  {
    m_screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    m_bitmap = CreateCompatibleBitmap(m_screen, width, height);
    m_dc.Attach(CreateCompatibleDC(m_screen));
    m_oldBitmap = m_dc.SelectObject(m_bitmap);
    m_dc.FillSolidRect(0, 0, width, height, fill);
  }
  ~Canvas()
  {
    m_dc.SelectObject(m_oldBitmap);
    DeleteDC(m_dc.Detach());
    DeleteObject(m_bitmap);
    DeleteDC(m_screen);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Saves <artifacts>/<name>; false when it cannot be written.
  bool Save(const std::string& name) const
  {
    return gdi::SavePng(m_bitmap, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name);
  }

  CDC m_dc;
  int m_width;
  int m_height;

private:
  HDC m_screen = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
};

}  // namespace tktest
