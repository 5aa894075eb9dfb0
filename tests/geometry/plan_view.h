// An off-screen view in plan of a window of the ground, x to the right and y up, drawn as the views draw it and
// written out as a picture a person can look at.
#pragma once

#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/gl/wgl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

// How a picture is set up: its scale, the depth its box takes in, and the background it is cleared to.
struct PlanViewSetup {
  int pixelsPerMetre = 30;
  double zNear = -10;
  double zFar = 10;
  bool depthTest = false;
  float clearRed = 0.086f;
  float clearGreen = 0.243f;
  float clearBlue = 0.412f;
};

class PlanView {
public:
  PlanView(double xFrom, double xTo, double yFrom, double yTo, const PlanViewSetup& setup = {})
      : m_xFrom(xFrom), m_yTo(yTo), m_pixelsPerMetre(setup.pixelsPerMetre),
        m_surface(static_cast<int>(std::lround((xTo - xFrom) * setup.pixelsPerMetre)),
                  static_cast<int>(std::lround((yTo - yFrom) * setup.pixelsPerMetre)))
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
    glViewport(0, 0, m_surface.Width(), m_surface.Height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(xFrom, xTo, yFrom, yTo, setup.zNear, setup.zFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (setup.depthTest)
      glEnable(GL_DEPTH_TEST);
    else
      glDisable(GL_DEPTH_TEST);
    glClearColor(setup.clearRed, setup.clearGreen, setup.clearBlue, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  }
  ~PlanView()
  {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(m_context);
    DeleteDC(m_dc);
  }
  PlanView(const PlanView&) = delete;
  PlanView& operator=(const PlanView&) = delete;

  // Swaps into the pixels and writes the picture.
  const gdi::Surface& Save(const std::string& name)
  {
    EXPECT_TRUE(SwapBuffers(m_dc));
    EXPECT_TRUE(gdi::SavePng(m_surface, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name));
    return m_surface;
  }
  // The surface pixel at a ground point, as stored.
  std::uint32_t At(double x, double y) const
  {
    return m_surface.Pixel(static_cast<int>((x - m_xFrom) * m_pixelsPerMetre),
                           static_cast<int>((m_yTo - y) * m_pixelsPerMetre));
  }
  // Its colour alone, 0xRRGGBB.
  std::uint32_t ColourAt(double x, double y) const { return At(x, y) & 0xFFFFFF; }

private:
  double m_xFrom;
  double m_yTo;
  int m_pixelsPerMetre;
  gdi::Surface m_surface;
  HDC m_dc = nullptr;
  HGLRC m_context = nullptr;
};
