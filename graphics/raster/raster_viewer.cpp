#include "graphics/raster/raster_viewer.h"

#include "graphics/raster/dib_from_file.h"
#include "graphics/raster/raster_store.h"

#include "platform/mfc/afxres.h"

#include <cmath>

void CRasterSegment::Reset()
{
  m_x0 = m_y0 = m_x1 = m_y1 = 0;
  m_started = m_rubberBand = m_complete = 0;
}

void CRasterSegment::Click(int x, int y)
{
  m_x1 = x;
  m_y1 = y;
  if (m_rubberBand) {
    m_rubberBand = 0;
    m_complete = 1;
  } else {
    m_x0 = x;
    m_y0 = y;
    m_started = 1;
    m_rubberBand = 1;
    m_complete = 0;
  }
  if (m_viewer && m_viewer->GetSafeHwnd())
    m_viewer->Invalidate(FALSE);
  // The length field opens with a complete segment: the dialog's buttons follow at once, not at its next idle.
  if (m_dialog && m_dialog->GetSafeHwnd())
    m_dialog->SendMessage(WM_KICKIDLE, 0, 0);
}

void CRasterSegment::Draw(CDC& dc) const
{
  if (!m_started)
    return;
  CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
  CPen* old = dc.SelectObject(&pen);
  for (const CPoint end : {CPoint(m_x0, m_y0), CPoint(m_x1, m_y1)}) {
    dc.MoveTo(end.x - 1, end.y - 1);
    dc.LineTo(end.x + 2, end.y - 1);
    dc.LineTo(end.x + 2, end.y + 2);
    dc.LineTo(end.x - 1, end.y + 2);
    dc.LineTo(end.x - 1, end.y - 1);
  }
  dc.MoveTo(m_x0, m_y0);
  dc.LineTo(m_x1, m_y1);
  dc.SelectObject(old);
}

double CRasterSegment::PixelLength() const { return std::hypot(m_x1 - m_x0, m_y1 - m_y0); }

BEGIN_MESSAGE_MAP(CRasterViewer, CWnd)
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CRasterViewer::CRasterViewer(CWnd* dialog, COLORREF background) : m_segment(dialog, this), m_background(background)
{
}

CRasterViewer::~CRasterViewer()
{
  if (GetSafeHwnd())
    DestroyWindow();
}

BOOL CRasterViewer::LoadFile(const char* path)
{
  m_zoom = 1.0;
  m_pictureWidth = m_pictureHeight = 0;
  m_offsetX = m_offsetY = 0;
  m_loaded = 0;
  m_destination.SetRectEmpty();
  auto raster = std::make_unique<CDibFromFile>();
  if (!raster->LoadBmp(path, m_progress)) {
    m_raster = nullptr;
    return FALSE;
  }
  raster->m_path = path;
  m_raster = raster.release();
  Show(m_raster);
  return TRUE;
}

void CRasterViewer::Show(CDibFromFile* raster)
{
  m_raster = raster;
  m_loaded = 0;
  if (!raster || raster->IsEmpty())
    return;
  raster->PadToTiles(CRasterStore::MaxTextureSize());
  m_loaded = 1;
  m_pictureWidth = raster->GetWidth();
  m_pictureHeight = raster->GetHeight();
  FitToWindow();
  UpdateImageRect();
}

void CRasterViewer::FitToWindow()
{
  m_zoom = 1.0;
  const bool landscape = m_pictureWidth > m_pictureHeight;
  const int side = landscape ? m_pictureWidth : m_pictureHeight;
  const int room = landscape ? m_client.Width() : m_client.Height();
  // A picture smaller than the viewer keeps its natural size: shrinking it would show less than there is.
  if (side > room && side > 0 && room > 10)
    m_zoom = static_cast<double>(room - 10) / side;
  m_offsetX = m_offsetY = 0;
  UpdateImageRect();
  if (GetSafeHwnd())
    Invalidate(FALSE);
}

void CRasterViewer::UpdateImageRect()
{
  const int dw = static_cast<int>(m_pictureWidth * m_zoom);
  const int dh = static_cast<int>(m_pictureHeight * m_zoom);
  const int left = m_client.Width() / 2 + m_offsetX - dw / 2;
  const int top = m_client.Height() / 2 + m_offsetY - dh / 2;
  m_destination.SetRect(left, top, left + dw, top + dh);
  m_fits = dw < m_client.Width() && dh < m_client.Height() ? 1 : 0;
}

void CRasterViewer::ZoomStep(bool in)
{
  if (!HasPicture())
    return;
  if (in) {
    m_zoom += m_zoom / 10;
  } else {
    const double z = m_zoom - m_zoom / 10;
    // Zooming out stops once the whole picture fits.
    if (z > 0 && !m_fits)
      m_zoom = z;
  }
  UpdateImageRect();
  if (GetSafeHwnd())
    Invalidate(FALSE);
}

void CRasterViewer::OnSize(UINT, int cx, int cy)
{
  m_client.SetRect(0, 0, cx, cy);
  UpdateImageRect();
  Invalidate(FALSE);
}

void CRasterViewer::OnPaint()
{
  CPaintDC dc(this);
  CDC memory;
  memory.CreateCompatibleDC(&dc);
  CBitmap canvas;
  canvas.CreateCompatibleBitmap(&dc, std::max(1, m_client.Width()), std::max(1, m_client.Height()));
  CBitmap* oldBitmap = memory.SelectObject(&canvas);
  memory.FillSolidRect(m_client, m_background);
  if (m_raster && m_raster->m_bound && !m_raster->IsEmpty()) {
    memory.SetStretchBltMode(HALFTONE);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_raster->GetWidth();
    info.bmiHeader.biHeight = m_raster->GetHeight();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(memory.GetSafeHdc(), m_destination.left, m_destination.top, m_destination.Width(),
                  m_destination.Height(), 0, 0, m_raster->GetWidth(), m_raster->GetHeight(), m_raster->GetPixels(),
                  &info, DIB_RGB_COLORS, SRCCOPY);
  }
  if (m_mode == kSegment)
    m_segment.Draw(memory);
  dc.BitBlt(0, 0, m_client.Width(), m_client.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(oldBitmap);
}

void CRasterViewer::OnLButtonDown(UINT, CPoint point)
{
  if (!HasPicture())
    return;
  if (m_mode == kSegment) {
    m_segment.Click(point.x, point.y);
    return;
  }
  SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
  m_dragging = 1;
  m_last = point;
}

void CRasterViewer::OnMouseMove(UINT, CPoint point)
{
  if (!HasPicture())
    return;
  if (m_mode == kSegment) {
    if (m_segment.m_rubberBand) {
      m_segment.m_x1 = point.x;
      m_segment.m_y1 = point.y;
      Invalidate(FALSE);
    }
    return;
  }
  if (m_dragging) {
    m_offsetX += point.x - m_last.x;
    m_offsetY += point.y - m_last.y;
    UpdateImageRect();
    m_last = point;
    Invalidate(FALSE);
  }
}

void CRasterViewer::OnLButtonUp(UINT, CPoint)
{
  if (m_mode == kMove && HasPicture()) {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    m_dragging = 0;
  }
}
