// The test host view: a view window whose class keeps its own device context, standing where the program's
// OpenGL view will stand. Its creation starts the render core for it, a new size goes to the camera, and a
// paint draws a frame. Headless, its pixels are the window's own.
#pragma once

#include "platform/mfc/afxwin.h"

#include <string>

class CGraphicCore;
namespace gdi {
class Surface;
}

class CTestHostView : public CView {
public:
  // The core is the document's; it is not owned.
  explicit CTestHostView(CGraphicCore* core) : m_core(core) {}
  ~CTestHostView() override;

  // A visible top-level window with a client area of width x height.
  BOOL CreateHost(int width, int height);
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT type, int cx, int cy);
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }

  // The window's pixels as the last frame left them.
  const gdi::Surface* Pixels() const;
  // Writes them as a PNG under the artifacts folder; the path written, empty on failure.
  std::string SavePicture(const std::string& name) const;

  int initResult = -1;

protected:
  // The test owns the view; the framework must not delete it.
  void PostNcDestroy() override {}

private:
  CGraphicCore* m_core;

  DECLARE_MESSAGE_MAP()
};
