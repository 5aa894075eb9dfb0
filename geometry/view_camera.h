// The camera of the document's view: window size, the eye record of the current view type, perspective or
// orthographic projection, the six clipping planes, and window points turned into world points. There is one
// camera; a process-wide pointer names it, and tools, drawers and the result display reach it there.
//
// The camera keeps its own matrices (column-major, as OpenGL takes them) and loads them into OpenGL only while
// a context is current, so a view without a working context still answers every question and draws nothing.
// The render core sits above this folder; the camera sees it through ICameraHost.
#pragma once

#include "platform/base/wintypes.h"

#include <memory>

struct _DEVCPOSITION;

// The view's device context with its OpenGL rendering context, as the camera uses it.
class IViewGLContext {
public:
  virtual ~IViewGLContext() = default;
  // Makes the rendering context current on the view's device context; FALSE when there is none.
  virtual BOOL MakeCurrent() = 0;
};

// What the camera asks of the render core.
class ICameraHost {
public:
  // The active area's eye record of a view bit; null when there is no active area.
  virtual _DEVCPOSITION* GetEyeRecord(DWORD viewBit) = 0;
  // The document recomputes the active area's eye record of that view bit.
  virtual void ResetEyeRecord(DWORD viewBit) = 0;
  // Told after every change of the view type; may call SetViewType again with another type.
  virtual void OnViewTypeChanged(DWORD viewType) = 0;
  virtual void OnWindowSize(UINT type, int cx, int cy) = 0;
  // The graphics library's view of the eye and the far plane, once per frame.
  virtual void ApplyLibraryView(double* eyeX, double* eyeY, double* eyeZ, double* farPlane) = 0;
  // The active area's base height (multi-level interchanges), 0 elsewhere.
  virtual double GetBaseHeight() = 0;
  // A frame after a camera move.
  virtual void RenderFrame() = 0;
  // The navigator rotates in a perspective view and pans in the others.
  virtual void OnNavigatorMode(BOOL rotate) = 0;

protected:
  ~ICameraHost() = default;
};

class CViewCamera {
public:
  static constexpr DWORD kNegateTilt = 0x1;

  // View-type bits.
  static constexpr DWORD kPerspective = 0x1;
  static constexpr DWORD kPlan = 0x2;
  static constexpr DWORD kFront = 0x4;
  static constexpr DWORD kOwnRecord = 0x8;
  static constexpr DWORD kLeft = 0x10;
  static constexpr DWORD kRight = 0x20;
  static constexpr DWORD kLeftWall = 0x40;
  static constexpr DWORD kRightWall = 0x80;

  // A camera of nothing: no host, no window, no context. The result pictures use one for its tilt.
  CViewCamera() = default;
  CViewCamera(ICameraHost* host, HWND window);
  ~CViewCamera();
  CViewCamera(const CViewCamera&) = delete;
  CViewCamera& operator=(const CViewCamera&) = delete;

  // The camera owns the view's context.
  void SetGLContext(std::unique_ptr<IViewGLContext> context);
  IViewGLContext* GetGLContext() const { return m_context.get(); }

  void OnSize(UINT type, int cx, int cy);
  void SetViewType(DWORD type);
  void ResetCurrentView();
  // The far plane from the scene extents x and y; the eye is pulled inside it.
  void SetFarPlane(double extentX, double extentY);
  void LoadProjection();
  void LoadOrthoProjection();
  // Every frame: the eye's translation and rotations, the frustum, the library's view, the base height.
  void Apply();
  void ApplyRotation();
  // The six planes from projection x model-view, each normalised.
  void UpdateFrustum();
  // Takes the frustum planes from OpenGL's current projection and model-view matrices (model coordinates).
  void UpdateFrustumFromGl();
  BOOL IsPointInFrustum(double x, double y, double z) const;
  // 1 when the point lies strictly inside all six planes, else 0; 0 without a camera.
  static BOOL IsPointInFrustum(const CViewCamera* camera, double x, double y, double z);
  // The window point (x, y) at depth 0 in world coordinates, in place; FALSE when the matrices cannot be inverted.
  BOOL WindowToWorld(double point[3]) const;
  void PanZoomStep(double dx, double dy, int zoom);
  void ZoomAtPoint(const double point[3], int delta);

  // The tilt in degrees, negated when the flag says so: the angle between the line of sight and the vertical.
  double GetTiltAngle() const { return (m_tiltFlags & kNegateTilt) != 0 ? -m_tilt : m_tilt; }
  BOOL IsPerspective() const { return (m_viewType & kPerspective) != 0; }
  _DEVCPOSITION* GetEye() const { return m_eye; }
  void SetEye(_DEVCPOSITION* eye) { m_eye = eye; }
  HWND GetWindow() const { return m_window; }
  const double* GetModelview() const { return m_modelview; }
  const double* GetProjection() const { return m_projection; }
  const int* GetViewport() const { return m_viewport; }

  DWORD m_viewType = kPerspective;
  int m_width = 0;
  int m_height = 0;
  double m_rotationFactor = 0.5;  // degrees per pixel
  double m_zoomStep = 0.1;
  double m_panFactor = 0.001;
  double m_far = 0;
  double m_near = 0.1;
  double m_closestEyeZ = 0;  // -far / 2: the farthest the eye may go
  double m_tilt = 0;
  DWORD m_tiltFlags = 0;
  double m_planes[6][4] = {};

private:
  void LoadPerspectiveMatrix();
  void LoadOrthoMatrix();
  // Loads the stored projection into OpenGL when a context is current.
  void UploadProjection() const;
  // The point's coordinates in the view plane of the current view type.
  void ViewPlaneCoords(const double point[3], double* u, double* v) const;

  ICameraHost* m_host = nullptr;
  HWND m_window = nullptr;
  std::unique_ptr<IViewGLContext> m_context;
  _DEVCPOSITION* m_eye = nullptr;
  int m_viewport[4] = {0, 0, 0, 0};
  double m_modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  double m_projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// The one process-wide current camera; null until the view makes one.
CViewCamera*& CurrentViewCamera();
