#include "catalogues/lidview/lid_view.h"

#include "catalogues/lidview/axes.h"

#include "platform/gdiplus/gdiplus.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/wnd.h"
#include "platform/user/input.h"
#include "platform/user/system.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

IMPLEMENT_DYNCREATE(CLIDView, CView)

BEGIN_MESSAGE_MAP(CLIDView, CView)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_MESSAGE(UM_SETCURVES, &CLIDView::OnSetCurves)
  ON_MESSAGE(UM_LIDVIEW_QUERY, &CLIDView::OnQuery)
END_MESSAGE_MAP()

namespace {

void MakeLabelFont(CFont& font, int height)
{
  font.CreateFont(height, 0, 0, 0, 400, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_TT_PRECIS, 0,
                  ANTIALIASED_QUALITY, 0, "Arial Cyr");
}

ARGB ArgbOf(COLORREF colour) { return MakeARGB(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

}  // namespace

CLIDView::CLIDView()
{
  if (!m_gdiplus.IsStarted()) {
    AfxMessageBox("Ошибка инициализации GDI+", MB_ICONEXCLAMATION);
    return;
  }
  MakeLabelFont(m_sizeFont, -12);
  MakeLabelFont(m_labelFont, -12);
  MakeLabelFont(m_captionFont, -12);
  MakeLabelFont(m_subscriptFont, -9);
}

CLIDView::~CLIDView()
{
  m_sizeFont.DeleteObject();
  m_labelFont.DeleteObject();
  m_captionFont.DeleteObject();
  m_subscriptFont.DeleteObject();
  if (m_memDC.GetSafeHdc() != nullptr && m_initialBitmap != nullptr) {
    m_memDC.SelectObject(m_initialBitmap);
  }
  m_bitmap.DeleteObject();
  m_memDC.DeleteDC();
}

BOOL CLIDView::PreCreateWindow(CREATESTRUCT& cs)
{
  const BOOL prepared = CView::PreCreateWindow(cs);
  cs.style = (cs.style & ~static_cast<LONG>(WS_BORDER)) | static_cast<LONG>(WS_VISIBLE);
  cs.lpszClass = AfxRegisterWndClass(CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW),
                                     static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)), nullptr);
  return prepared;
}

int CLIDView::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CView::OnCreate(lpcs) == -1) {
    return -1;
  }
  CClientDC dc(this);
  m_memDC.CreateCompatibleDC(&dc);
  return 0;
}

void CLIDView::OnSize(UINT nType, int cx, int cy)
{
  CView::OnSize(nType, cx, cy);
  if (m_memDC.GetSafeHdc() == nullptr) {
    return;
  }
  // The old picture leaves the DC before it is deleted: a selected bitmap cannot be.
  if (m_initialBitmap != nullptr) {
    m_memDC.SelectObject(m_initialBitmap);
  }
  m_bitmap.DeleteObject();
  CClientDC dc(this);
  m_bitmap.CreateCompatibleBitmap(&dc, cx, cy);
  CBitmap* previous = m_memDC.SelectObject(&m_bitmap);
  if (m_initialBitmap == nullptr && previous != nullptr) {
    m_initialBitmap = previous->GetSafeHandle();
  }
  Redraw();
}

LRESULT CLIDView::OnSetCurves(WPARAM /*wParam*/, LPARAM lParam)
{
  m_curves = reinterpret_cast<const _LID_CURVE*>(lParam);
  Redraw();
  return 1;
}

LRESULT CLIDView::OnQuery(WPARAM, LPARAM) { return 1; }

void CLIDView::OnDraw(CDC* pDC)
{
  if (!m_gdiplus.IsStarted()) {
    return;
  }
  CRect client;
  GetClientRect(&client);
  pDC->BitBlt(0, 0, client.Width(), client.Height(), &m_memDC, 0, 0, SRCCOPY);
}

void CLIDView::Redraw()
{
  if (m_memDC.GetSafeHdc() == nullptr) {
    return;
  }
  CRect client;
  GetClientRect(&client);
  CBrush white;
  white.CreateSolidBrush(RGB(255, 255, 255));
  m_memDC.FillRect(&client, &white);
  m_memDC.SetBkMode(TRANSPARENT);
  if (m_curves != nullptr) {
    CFont* previous = m_memDC.SelectObject(&m_sizeFont);
    const int h = m_memDC.GetTextExtent("Test size").cy;
    if (client.Height() > h + 2 && client.Width() > 3) {
      const CRect diagram(client.left + 2, client.top + 4, client.right - 2, client.bottom - 4);
      if (diagram.Width() > 0 && diagram.Height() > 0) {
        CRgn clip;
        clip.CreateRectRgn(client.left + 1, client.top, client.right - 1, client.bottom - 1);
        m_memDC.SelectClipRgn(&clip);
        DrawDiagram(&m_memDC, diagram);
        m_memDC.SelectClipRgn(nullptr);
        clip.DeleteObject();
        m_memDC.SetMapMode(MM_TEXT);
      }
    }
    m_memDC.SelectObject(previous);
  }
  if (::IsWindow(GetSafeHwnd())) {
    InvalidateRect(nullptr, FALSE);
  }
}

void CLIDView::DrawDiagram(CDC* dc, CRect rect)
{
  m_count = static_cast<int>(m_curves[0].count);
  double xLow = 0, xHigh = 0, yLow = 0, yHigh = 0;
  for (int i = 0; i < m_count; ++i) {
    const _LID_CURVE& c = m_curves[i];
    xLow = std::min(xLow, c.xMin);
    xHigh = std::max(xHigh, c.xMax);
    yLow = std::min(yLow, c.yMin);
    yHigh = std::max(yHigh, c.yMax);
  }
  if (xLow == 0 && xHigh == 0 && yLow == 0 && yHigh == 0) {
    return;
  }
  DrawLegend(rect, &m_labelFont, m_curves);
  if (m_curves[0].polar == 0) {
    const bool fixed = (xLow == -90 && xHigh == 90) || (xLow == -180 && xHigh == 180);
    const int mode = fixed ? 3 : 0;
    const AxisChoice x = ChooseAxisStep(mode, xLow, xHigh);
    xLow = x.low;
    xHigh = x.high;
    const int divisions = mode == 3 ? static_cast<int>(x.step) : 10;
    const AxisChoice y = ChooseAxisStep(0, yLow, yHigh);
    yLow = y.low;
    yHigh = y.high;
    DrawCartesianGrid(dc, rect, xLow, xHigh, divisions, yLow, yHigh, &m_labelFont, &m_captionFont);
  } else {
    const AxisChoice x = ChooseAxisStep(0, xLow, xHigh);
    xLow = x.low;
    xHigh = x.high;
    const AxisChoice y = ChooseAxisStep(0, yLow, yHigh);
    yLow = y.low;
    yHigh = y.high;
    const int side = std::min(rect.Width(), rect.Height());
    const int cx = rect.left + MulDiv(rect.Width(), 1, 2);
    const int cy = rect.top + MulDiv(rect.Height(), 1, 2);
    const int half = MulDiv(side, 1, 2);
    rect = CRect(cx - half, cy - half, cx + half, cy + half);
    DrawPolarGrid(dc, &m_labelFont, yHigh, rect);
  }
  for (int i = 0; i < m_count; ++i) {
    DrawCurve(m_curves[i], dc, rect, m_curves[0].markers, xLow, xHigh, yLow, yHigh);
  }
}

void CLIDView::DrawLegend(CRect& rect, CFont* labelFont, const _LID_CURVE* curves)
{
  if (curves == nullptr) {
    return;
  }
  CDC* dc = &m_memDC;
  CFont* previous = dc->SelectObject(labelFont);
  dc->SetTextAlign(TA_LEFT | TA_TOP);
  const int count = static_cast<int>(curves[0].count);
  int longest = -1;
  for (int i = 0; i < count; ++i) {
    if (longest < 0 || curves[i].groupCaption.GetLength() > curves[longest].groupCaption.GetLength()) {
      longest = i;
    }
  }
  const CSize extent = dc->GetTextExtent(longest >= 0 ? curves[longest].groupCaption : CString());
  const int w = extent.cx;
  const int h = extent.cy;

  CString caption;
  bool marks[3] = {false, false, false};
  for (int i = 0; i < count; ++i) {
    const _LID_CURVE& c = curves[i];
    if (c.groupCaption != caption) {
      dc->TextOut(rect.left + 35, rect.top, c.groupCaption);
      caption = c.groupCaption;
      marks[0] = marks[1] = marks[2] = false;
    }
    int style = -1;
    if (c.penWidth == 1 && c.dashed == 0) {
      style = 0;
    } else if (c.penWidth == 2 && c.dashed == 0) {
      style = 1;
    } else if (c.penWidth == 1 && c.dashed == 1) {
      style = 2;
    }
    if (style >= 0) {
      if (marks[style]) {
        continue;
      }
      marks[style] = true;
    }
    CPen pen;
    pen.CreatePen(c.dashed != 0 ? PS_DASH : PS_SOLID, c.penWidth, c.colour);
    CPen* previousPen = dc->SelectObject(&pen);
    dc->MoveTo(w + 100, rect.top + h / 2);
    dc->LineTo(w + 150, rect.top + h / 2);
    dc->SelectObject(previousPen);
    pen.DeleteObject();

    const int y0 = rect.top;
    const int y1 = rect.top + h / 2;
    const CString label = c.label;
    auto subscript = [&](int x, const CString& text) {
      dc->SelectObject(&m_subscriptFont);
      dc->TextOut(x, y1, text);
      dc->SelectObject(labelFont);
    };
    const char first = label.IsEmpty() ? '\0' : label[0];
    if (first == 'B') {
      dc->TextOut(w + 160, y0, CString("В"));
      subscript(w + 170, label.Mid(1));
    } else if (first == 'C') {
      dc->TextOut(w + 160, y0, CString("C"));
      if (label == "C0-C180" || label == "C90-C270") {
        const bool zero = label == "C0-C180";
        subscript(w + 170, zero ? "0" : "90");
        dc->TextOut(w + 180, y0, CString("- C"));
        subscript(w + 197, zero ? "180" : "270");
      } else {
        subscript(w + 170, label.Mid(1));
      }
    } else if (first == 'Q') {
      dc->TextOut(w + 160, y0, CString("Q"));
      subscript(w + 170, "0");
    } else {
      dc->TextOut(w + 160, y0, label);
    }
    rect.top += h;
  }
  rect.top += h;
  dc->SelectObject(previous);
}

void CLIDView::DrawCurve(const _LID_CURVE& curve, CDC* dc, const CRect& rect, int markers, double xLow, double xHigh,
                         double yLow, double yHigh)
{
  if (curve.curvePointCount <= 0 || curve.markerPointCount <= 0 || curve.curvePoints == nullptr) {
    return;
  }
  const double W = rect.Width();
  const double H = rect.Height();
  const double cx = rect.left + MulDiv(rect.Width(), 1, 2);
  const double cy = rect.top + MulDiv(rect.Height(), 1, 2);
  const bool polar = curve.polar != 0;
  // An empty range has no scale: such a curve is not drawn rather than drawn at infinity.
  if (polar ? yHigh == 0 : (xHigh == xLow || yHigh == yLow)) {
    return;
  }
  auto map = [&](double x, double y, double& X, double& Y) {
    if (polar) {
      const double theta = x * std::numbers::pi / 180;
      X = std::sin(theta) * (W / 2) * y / yHigh;
      Y = std::cos(theta) * (H / 2) * y / yHigh;
    } else {
      X = (x - xLow) * W / (xHigh - xLow);
      Y = (y - yLow) * H / (yHigh - yLow);
    }
  };
  std::vector<GpPointF> points;
  for (int i = 0; i < curve.curvePointCount; ++i) {
    double X, Y;
    map(curve.curvePoints[2 * i], curve.curvePoints[2 * i + 1], X, Y);
    points.push_back(polar ? GpPointF{static_cast<REAL>(cx + X), static_cast<REAL>(cy + Y)}
                           : GpPointF{static_cast<REAL>(X + rect.left), static_cast<REAL>(rect.bottom - Y)});
  }
  GpGraphics* graphics = nullptr;
  GdipCreateFromHDC(dc->GetSafeHdc(), &graphics);
  GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
  GpPen* pen = nullptr;
  GdipCreatePen1(ArgbOf(curve.colour), static_cast<REAL>(curve.penWidth), UnitWorld, &pen);
  if (curve.dashed == 1) {
    GdipSetPenDashStyle(pen, DashStyleDash);
    static const REAL kPattern[] = {3, 4};
    GdipSetPenDashArray(pen, kPattern, 2);
  }
  if (points.size() >= 2) {
    GdipDrawCurve2(graphics, pen, points.data(), static_cast<INT>(points.size()), 0.3f);
  }

  CBrush white;
  white.CreateSolidBrush(RGB(255, 255, 255));
  CPen outline;
  outline.CreatePen(PS_SOLID, 1, curve.colour);
  CBrush* previousBrush = dc->SelectObject(&white);
  CPen* previousPen = dc->SelectObject(&outline);
  if (markers != 0 && curve.markerPoints != nullptr) {
    for (int i = 0; i < curve.markerPointCount; ++i) {
      double X, Y;
      map(curve.markerPoints[2 * i], curve.markerPoints[2 * i + 1], X, Y);
      const int px = polar ? static_cast<int>(cx) + static_cast<int>(std::trunc(X)) : rect.left + static_cast<int>(X);
      const int py = polar ? static_cast<int>(cy) + static_cast<int>(std::trunc(Y)) : rect.bottom - static_cast<int>(Y);
      dc->Ellipse(px - 3, py - 3, px + 3, py + 3);
    }
  }
  dc->SelectObject(previousPen);
  dc->SelectObject(previousBrush);
  GdipDeletePen(pen);
  GdipDeleteGraphics(graphics);
}

namespace {

CWnd* CreateDiagramView(CWnd* parent, const RECT& rect, UINT id)
{
  auto* view = new CLIDView;
  if (!view->Create(nullptr, "", WS_CHILD | WS_BORDER, rect, parent, id, nullptr)) {
    return nullptr;  // a view deletes itself when its window fails
  }
  return view;
}

CBitmap* DiagramPicture(CWnd* view) { return static_cast<CLIDView*>(view)->GetPicture(); }

}  // namespace

void InstallIntensityDiagramView()
{
  IntensityDiagramViewFactory factory;
  factory.create = &CreateDiagramView;
  factory.picture = &DiagramPicture;
  SetIntensityDiagramViewFactory(factory);
}
