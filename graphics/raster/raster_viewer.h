// The picture window of the raster binding dialog: the raster stretched into a destination rectangle that
// follows zoom and pan, and the segment of known length the user draws on it.
#pragma once

#include "platform/mfc/afxwin.h"

class CDibFromFile;
class CRasterViewer;

// Two points in viewer pixels: the first click starts it, the second completes it.
class CRasterSegment {
public:
  CRasterSegment(CWnd* dialog, CRasterViewer* viewer) : m_dialog(dialog), m_viewer(viewer) {}
  void Reset();
  void Click(int x, int y);
  void Draw(CDC& dc) const;
  double PixelLength() const;

  CWnd* m_dialog;
  CRasterViewer* m_viewer;
  int m_x0 = 0, m_y0 = 0, m_x1 = 0, m_y1 = 0;
  int m_started = 0;
  int m_rubberBand = 0;
  int m_complete = 0;
};

class CRasterViewer : public CWnd {
public:
  enum Mode { kMove = 1, kSegment = 2 };

  CRasterViewer(CWnd* dialog, COLORREF background);
  ~CRasterViewer() override;

  // Reads a 24-bit BMP into a new raster (owned by the caller through m_raster); FALSE leaves no raster.
  BOOL LoadFile(const char* path);
  // Shows a raster already read (the caller keeps it): padded again, fitted.
  void Show(CDibFromFile* raster);
  // Pictures larger than the viewer fit it with a 10-pixel margin; smaller ones show at their natural size.
  void FitToWindow();
  void UpdateImageRect();
  void ZoomStep(bool in);
  bool HasPicture() const { return m_loaded != 0 && m_raster != nullptr; }

  CDibFromFile* m_raster = nullptr;
  CRasterSegment m_segment;
  HWND m_progress = nullptr;
  int m_pictureWidth = 0;
  int m_pictureHeight = 0;
  double m_zoom = 1.0;
  CRect m_client;
  CRect m_destination;
  int m_fits = 0;
  int m_loaded = 0;
  int m_dragging = 0;
  CPoint m_last;
  int m_offsetX = 0;
  int m_offsetY = 0;
  int m_mode = kMove;
  COLORREF m_background;

protected:
  void OnSize(UINT type, int cx, int cy);
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  DECLARE_MESSAGE_MAP()
};
