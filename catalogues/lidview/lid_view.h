// CLIDView: the luminous intensity diagram of one luminaire, a set of curves in a polar or Cartesian grid under a
// legend, drawn into an off-screen bitmap of the client size. The report makes one per picture, sends it the
// curve set (UM_SETCURVES), copies the bitmap and deletes the view.
#pragma once

#include "platform/gdiplus/gdiplus_holder.h"
#include "platform/mfc/dc.h"
#include "platform/mfc/gdiobj.h"
#include "platform/mfc/view.h"
#include "report/view/intensity_diagram.h"

// Answered with 1 and otherwise ignored.
inline constexpr UINT UM_LIDVIEW_QUERY = 0x8071;

class CLIDView : public CView {
  DECLARE_DYNCREATE(CLIDView)
public:
  CLIDView();
  ~CLIDView() override;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void OnDraw(CDC* pDC) override;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT nType, int cx, int cy);
  LRESULT OnSetCurves(WPARAM wParam, LPARAM lParam);
  LRESULT OnQuery(WPARAM wParam, LPARAM lParam);

  // The off-screen picture the last redraw left.
  CBitmap* GetPicture() { return &m_bitmap; }

  // The axes and grids: they draw on `dc` and update the rectangle and limits in place. 1 when drawn, 0 when the
  // area is too small for them.
  int DrawCartesianGrid(CDC* dc, CRect& rect, double& xLow, double& xHigh, int xDivisions, double& yLow,
                        double& yHigh, CFont* labelFont, CFont* captionFont);
  int DrawPolarGrid(CDC* dc, CFont* labelFont, double R, CRect& square);

protected:
  void Redraw();
  void DrawDiagram(CDC* dc, CRect rect);
  void DrawLegend(CRect& rect, CFont* labelFont, const _LID_CURVE* curves);
  void DrawCurve(const _LID_CURVE& curve, CDC* dc, const CRect& rect, int markers, double xLow, double xHigh,
                 double yLow, double yHigh);

  DECLARE_MESSAGE_MAP()

private:
  CFont m_sizeFont;
  CFont m_labelFont;
  CFont m_captionFont;
  CFont m_subscriptFont;
  int m_count = 0;
  const _LID_CURVE* m_curves = nullptr;
  GdiPlusClass m_gdiplus;
  CDC m_memDC;
  CBitmap m_bitmap;
  // What the memory DC held before the first picture was selected into it.
  HGDIOBJ m_initialBitmap = nullptr;
};

// Installs CLIDView as the report's diagram window; the program calls it once at start-up.
void InstallIntensityDiagramView();
