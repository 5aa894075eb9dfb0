// An off-screen picture with an OpenGL context current on it, in pixel coordinates (0, 0 at the lower left),
// for the palette, font and legend tests.
#pragma once

#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/gl/wgl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

class GlSurface {
public:
  GlSurface(int width, int height) : m_surface(width, height)
  {
    m_dc = gdi::CreateSurfaceDC(m_surface);
    PIXELFORMATDESCRIPTOR pfd;
    pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    EXPECT_TRUE(SetPixelFormat(m_dc, ChoosePixelFormat(m_dc, &pfd), &pfd));
    m_context = wglCreateContext(m_dc);
    EXPECT_TRUE(wglMakeCurrent(m_dc, m_context));
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  ~GlSurface()
  {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(m_context);
    DeleteDC(m_dc);
  }
  GlSurface(const GlSurface&) = delete;
  GlSurface& operator=(const GlSurface&) = delete;

  void Clear(float red, float green, float blue)
  {
    glClearColor(red, green, blue, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  // Shows the frame in the surface's pixels and, given a name, writes it under the artifacts folder.
  void Show(const std::string& name = {})
  {
    EXPECT_TRUE(SwapBuffers(m_dc));
    if (!name.empty()) {
      EXPECT_TRUE(gdi::SavePng(m_surface, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name));
    }
  }
  // 0xRRGGBB of the pixel at GL coordinates (x, y).
  std::uint32_t ColourAt(int x, int y) const { return m_surface.Pixel(x, m_surface.Height() - 1 - y) & 0xFFFFFF; }
  const gdi::Surface& Pixels() const { return m_surface; }

private:
  gdi::Surface m_surface;
  HDC m_dc = nullptr;
  HGLRC m_context = nullptr;
};
