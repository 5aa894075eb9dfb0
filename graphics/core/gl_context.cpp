#include "graphics/core/gl_context.h"

#include "document/trace_log.h"
#include "graphics/scene/shared_display_lists.h"
#include "model/shell/shell_services.h"
#include "platform/base/hresult.h"
#include "platform/gl/wgl.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

void Step(int step) { LoggerObjs::GetLogger().WriteStep(step); }

CString BitsLine(const char* verb, int colour, int depth, int stencil)
{
  CString line;
  line.Format("%s ColorBits = %d; DepthBits = %d; nStencilBits = %d", verb, colour, depth, stencil);
  return line;
}

void ShowError(HDC dc, LPCSTR text) { ::MessageBox(WindowFromDC(dc), text, "Error", MB_OK); }

}  // namespace

CGLContext::CGLContext()
    : m_colorBits(static_cast<int>(Shell::GetProfileInt("Settings", "ColorBits", 24))),
      m_depthBits(static_cast<int>(Shell::GetProfileInt("Settings", "DepthBits", 24))),
      m_stencilBits(static_cast<int>(Shell::GetProfileInt("Settings", "StencilBits", 8)))
{
}

CGLContext::~CGLContext() { Release(); }

void CGLContext::Release()
{
  if (m_context == nullptr)
    return;
  if (wglGetCurrentContext() == m_context) {
    scene::SharedDisplayLists::DeleteDeferred();
    wglMakeCurrent(nullptr, nullptr);
  }
  // The luminaires' lists die with the context; none may wait for a later context given the same handle.
  scene::SharedDisplayLists::ForgetContext(m_context);
  wglDeleteContext(m_context);
  m_context = nullptr;
}

BOOL CGLContext::Create(HDC dc)
{
  Step(1101);
  // The DC belongs to the view's window (its class keeps one DC for life); only the context is ours to free.
  Release();
  m_dc = dc;
  Step(1102);
  if (!SetupPixelFormat())
    return FALSE;  // the message is shown; a context without a format could only fail again
  Step(1103);
  m_context = wglCreateContext(m_dc);
  if (m_context == nullptr) {
    ShowError(m_dc, "Error Creating RC");
    return FALSE;
  }
  Step(1104);
  if (!wglMakeCurrent(m_dc, m_context)) {
    ShowError(m_dc, "Error making RC Current");
    Release();
    return FALSE;
  }
  Step(1105);
  PIXELFORMATDESCRIPTOR chosen;
  DescribePixelFormat(m_dc, GetPixelFormat(m_dc), sizeof chosen, &chosen);
  LoggerObjs::GetLogger().Write(BitsLine("get", chosen.cColorBits, chosen.cDepthBits, chosen.cStencilBits));
  Step(1106);
  return TRUE;
}

BOOL CGLContext::SetupPixelFormat()
{
  Step(11021);
  LoggerObjs::GetLogger().Write(BitsLine("set", m_colorBits, m_depthBits, m_stencilBits));
  PIXELFORMATDESCRIPTOR request;
  request.nSize = sizeof request;
  request.nVersion = 1;
  request.dwFlags = m_flags;
  request.iPixelType = PFD_TYPE_RGBA;
  request.cColorBits = static_cast<BYTE>(m_colorBits);
  request.cDepthBits = static_cast<BYTE>(m_depthBits);
  request.cStencilBits = static_cast<BYTE>(m_stencilBits);
  request.iLayerType = PFD_MAIN_PLANE;
  SetLastError(0);
  // A bit count no byte can hold is a request no format meets.
  const bool representable = m_colorBits >= 0 && m_colorBits <= 255 && m_depthBits >= 0 && m_depthBits <= 255 &&
                             m_stencilBits >= 0 && m_stencilBits <= 255;
  m_pixelFormat = representable ? ChoosePixelFormat(m_dc, &request) : 0;
  Step(11022);
  const BOOL set = m_pixelFormat != 0 && SetPixelFormat(m_dc, m_pixelFormat, &request);
  Step(11023);
  if (!set) {
    DWORD code = GetLastError();
    if (code == 0)
      code = ERROR_INVALID_PIXEL_FORMAT;
    char text[64];
    std::snprintf(text, sizeof text, "SetPixelFormat Failed %u\r\n", static_cast<unsigned>(code));
    ShowError(m_dc, text);
    m_pixelFormat = 0;
    return FALSE;
  }
  Step(11024);
  return TRUE;
}

void CGLContext::SetupLight0()
{
  if (wglGetCurrentContext() == nullptr)
    return;
  const GLfloat ambient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
  const GLfloat diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
  const GLfloat specular[4] = {0.3f, 0.3f, 0.3f, 1.0f};
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  glLightfv(GL_LIGHT0, GL_POSITION, m_lightPosition);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
}

BOOL CGLContext::MakeCurrent()
{
  if (m_context == nullptr || m_dc == nullptr)
    return FALSE;
  if (wglGetCurrentContext() == m_context && wglGetCurrentDC() == m_dc)
    return TRUE;
  return wglMakeCurrent(m_dc, m_context);
}

BOOL CGLContext::SwapBuffers()
{
  if (m_context == nullptr || m_dc == nullptr)
    return FALSE;
  return ::SwapBuffers(m_dc);
}
