// The view's device context with its OpenGL rendering context: the pixel format asked for from the profile
// (Settings\ColorBits, DepthBits, StencilBits), the context made current on the view's own DC, and the one
// light. A context that could not be made is never drawn with: MakeCurrent answers FALSE and every drawing path
// asks whether a context is current first.
#pragma once

#include "geometry/view_camera.h"
#include "platform/base/wintypes.h"

class CGLContext : public IViewGLContext {
public:
  // Pixel-format flags: double buffer, draw to window, support OpenGL.
  static constexpr DWORD kFlags = 0x25;

  // Reads the bit counts from the profile.
  CGLContext();
  ~CGLContext() override;
  CGLContext(const CGLContext&) = delete;
  CGLContext& operator=(const CGLContext&) = delete;

  // Takes the view's DC (the window class keeps one DC for life), sets its pixel format and makes a rendering
  // context current on it. Each failure shows its message box and leaves no context; FALSE then.
  BOOL Create(HDC dc);
  // TRUE when the format was chosen and set; shows "SetPixelFormat Failed" otherwise.
  BOOL SetupPixelFormat();
  // Light 0: a directional light from above.
  void SetupLight0();

  BOOL MakeCurrent() override;
  BOOL SwapBuffers();
  BOOL HasContext() const { return m_context != nullptr; }
  HDC GetDC() const { return m_dc; }

  int m_colorBits = 24;
  int m_depthBits = 24;
  int m_stencilBits = 8;
  int m_pixelFormat = 0;
  DWORD m_flags = kFlags;
  float m_lightPosition[4] = {0, 0, 500, 0};

private:
  void Release();

  HDC m_dc = nullptr;
  HGLRC m_context = nullptr;
};
