// The intensity diagram's Cartesian and polar grids.
#include "catalogues/lidview/axes.h"
#include "catalogues/lidview/lid_view.h"

#include "platform/gdiplus/gdiplus.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

constexpr const char* kAxisCaption = "I/1000, кд";

int Trunc(double v) { return static_cast<int>(std::trunc(std::clamp(v, -1e9, 1e9))); }

}  // namespace

int CLIDView::DrawCartesianGrid(CDC* dc, CRect& rect, double& xLow, double& xHigh, int xDivisions, double& yLow,
                                double& yHigh, CFont* labelFont, CFont* captionFont)
{
  CPen pen;
  pen.CreatePen(PS_SOLID, 1, RGB(100, 100, 100));
  CPen* previousPen = dc->SelectObject(&pen);
  dc->SetTextColor(RGB(70, 70, 70));

  CString number;
  CFont* previousFont = dc->SelectObject(labelFont);
  number.Format("%.3lf", xHigh);
  const CSize xHighSize = dc->GetTextExtent(number);
  const int rightMargin = std::max(dc->GetTextExtent(CString("град.")).cx, xHighSize.cx / 2) + 5;
  const int bottomMargin = xHighSize.cy + 1;
  dc->SelectObject(captionFont);
  const CSize captionSize = dc->GetTextExtent(CString(kAxisCaption));
  number.Format("%.3lf", yLow);
  const int yLowWidth = dc->GetTextExtent(number).cx;
  number.Format("%.3lf", yHigh);
  const CSize yHighSize = dc->GetTextExtent(number);
  const int leftMargin = std::max({captionSize.cx + 5, yLowWidth, yHighSize.cx});
  const int topMargin = captionSize.cy + 1;

  const OneDigitStep xStep = ChooseOneDigitStep((xHigh - xLow) / std::max(xDivisions, 1));
  const OneDigitStep yStep = ChooseOneDigitStep((yHigh - yLow) / 10);
  // An axis whose values are all 0 has no step of its own: it takes a unit one, so that its ticks end.
  const double dx = xStep.step > 0 ? xStep.step : 1;
  const double dy = yStep.step > 0 ? yStep.step : 1;
  ExtendToSteps(xLow, xHigh, dx);
  ExtendToSteps(yLow, yHigh, dy);

  const CRect given = rect;
  bool labels = true;
  rect = CRect(given.left + leftMargin, given.top + topMargin, given.right - rightMargin, given.bottom - bottomMargin);
  if (rect.Width() <= 0 || rect.Height() <= 0) {
    rect = CRect(given.left + 5, given.top + 5, given.right - 5, given.bottom - 5);
    labels = false;
    if (rect.Width() <= 0 || rect.Height() <= 0) {
      dc->SelectObject(previousFont);
      dc->SelectObject(previousPen);
      return 0;
    }
  }
  const double W = rect.Width();
  const double H = rect.Height();

  // x axis.
  dc->SelectObject(labelFont);
  if (labels) {
    dc->TextOut(rect.right + 3, rect.bottom - yHighSize.cy + 2, CString("град."));
  }
  auto xText = [&](double v) { return FormatEightDecimals(RoundTo(xStep.decimals, v)); };
  const int lw = Trunc(1.2 * std::max(dc->GetTextExtent(xText(std::fabs(xLow) <= 1 ? xLow + dx : xLow)).cx,
                                      dc->GetTextExtent(xText(std::fabs(xHigh) <= 1 ? xHigh - dx : xHigh)).cx));
  dc->SetTextAlign(TA_CENTER);
  int skip = Trunc(lw / (W * dx / (xHigh - xLow)));
  WalkTicks(
      xLow, xHigh, dx, skip, labels,
      [&](double v) { return dc->GetTextExtent(xText(v) + "°").cx <= W; },
      [&](double v, bool labelled) {
        const int px = Trunc(rect.left + W / (xHigh - xLow) * (v - xLow));
        dc->MoveTo(px, rect.top);
        dc->LineTo(px, rect.bottom);
        if (labelled) {
          dc->TextOut(px, rect.bottom + 1, xText(v) + "°");
        }
      });

  // y axis.
  dc->SelectObject(captionFont);
  dc->SetTextAlign(TA_RIGHT);
  const int hc = captionSize.cy;
  if (labels) {
    const int y = rect.top - Trunc(1.3 * hc);
    dc->TextOut(rect.left - 1, y, CString("I"));
    dc->SetTextAlign(TA_LEFT);
    dc->SelectObject(&m_subscriptFont);
    dc->TextOut(rect.left + 1, y + 7, CString("1000"));
    dc->SelectObject(captionFont);
    dc->TextOut(rect.left + 22, y, CString(",кд"));
    dc->SetTextAlign(TA_RIGHT);
  }
  skip = Trunc(hc / (H * dy / (yHigh - yLow)));
  WalkTicks(
      yLow, yHigh, dy, skip, labels, [](double) { return true; },
      [&](double v, bool labelled) {
        const int py = Trunc(rect.bottom - H / (yHigh - yLow) * (v - yLow));
        dc->MoveTo(rect.left, py);
        dc->LineTo(rect.right, py);
        if (labelled) {
          dc->TextOut(rect.left - 1, py - hc / 2, FormatEightDecimals(RoundTo(yStep.decimals, v)));
        }
      });

  dc->SetTextAlign(TA_LEFT);
  dc->SelectObject(previousFont);
  dc->SelectObject(previousPen);
  return 1;
}

int CLIDView::DrawPolarGrid(CDC* dc, CFont* labelFont, double R, CRect& square)
{
  CPen pen;
  pen.CreatePen(PS_SOLID, 1, RGB(120, 120, 120));
  CPen* previousPen = dc->SelectObject(&pen);
  CGdiObject* previousBrush = dc->SelectStockObject(NULL_BRUSH);
  dc->SetTextColor(RGB(120, 120, 120));
  CFont* previousFont = dc->SelectObject(labelFont);
  auto restore = [&] {
    dc->SetTextAlign(TA_LEFT);
    dc->SelectObject(previousFont);
    dc->SelectObject(previousBrush);
    dc->SelectObject(previousPen);
  };

  const CSize rSize = dc->GetTextExtent(FormatEightDecimals(R));
  const int m = std::max({dc->GetTextExtent(CString("--360")).cx, rSize.cx / 2, 2 * rSize.cy}) + 1;
  const CRect given = square;
  bool labels = true;
  int maxRays = 36;
  square = CRect(given.left + m, given.top + m, given.right - m, given.bottom - m);
  if (square.Width() <= rSize.cx + 1 || square.Height() <= rSize.cx + 1) {
    square = CRect(given.left + 5, given.top + 5, given.right - 5, given.bottom - 5);
    labels = false;
    maxRays = 16;
    if (square.Width() <= 0 || square.Height() <= 0) {
      restore();
      return 0;
    }
  }
  const int W = square.Width();
  const int H = square.Height();
  const int cx = square.left + W / 2;
  const int cy = square.top + H / 2;

  dc->SetTextAlign(TA_CENTER);
  const int hc = dc->GetTextExtent(CString(kAxisCaption)).cy;
  if (labels) {
    const int y = square.top - 2 * hc;
    dc->TextOut(cx - 15, y, CString("I"));
    dc->SetTextAlign(TA_LEFT);
    dc->SelectObject(&m_subscriptFont);
    dc->TextOut(cx - 12, y + 7, CString("1000"));
    dc->SelectObject(labelFont);
    dc->TextOut(cx + 8, y, CString(",кд"));
    dc->SetTextAlign(TA_CENTER);
  }

  GpGraphics* graphics = nullptr;
  GdipCreateFromHDC(dc->GetSafeHdc(), &graphics);
  GpPen* gridPen = nullptr;
  GdipCreatePen1(MakeARGB(255, 120, 120, 120), 0.01f, UnitWorld, &gridPen);

  // Rays.
  const CSize degrees = dc->GetTextExtent(CString("360°"));
  const int U = W > H ? Trunc(H * 2.5 / degrees.cx) : Trunc(W * 2.5 / degrees.cy);
  const int n = ChooseRayCount(U, maxRays);
  for (int k = 0; k < n; ++k) {
    const double a = k * (360.0 / n);
    int value = Trunc(a + 0.5);
    if (value > 180) {
      value -= 360;
    }
    const CString text = FormatEightDecimals(value) + "°";
    const CSize size = dc->GetTextExtent(text);
    const double theta = a * std::numbers::pi / 180;
    GdipDrawLineI(graphics, gridPen, cx, cy, cx + Trunc(W * std::sin(theta) / 2), cy + Trunc(H * std::cos(theta) / 2));
    if (labels) {
      dc->TextOut(cx + Trunc(std::sin(theta) * (W + Trunc(1.6 * size.cx)) / 2),
                  cy - size.cy / 2 + Trunc(std::cos(theta) * (H + size.cy) / 2), text);
    }
  }

  // Rings.
  const double Z = H / 20.0;
  const int h = dc->GetTextExtent(CString("0")).cy;
  const int skip = Z > 0 ? Trunc(h / Z) : 10;
  int passed = 0;  // the first ring waits for `skip` passed over, like every later one
  bool tenthDrawn = false;
  for (int j = 1; j <= 10; ++j) {
    if (passed < skip) {
      ++passed;
      continue;
    }
    passed = 0;
    const int r = Trunc(j * Z);
    GdipDrawEllipseI(graphics, gridPen, cx - r, cy - r, 2 * r, 2 * r);
    if (labels && j < 10) {
      dc->TextOut(cx, cy - Trunc(0.85 * h) - r, FormatEightDecimals(RoundTo(1, j * R / 10)));
    }
    tenthDrawn = j == 10;
  }
  if (!tenthDrawn) {
    const int r = Trunc(10 * Z);
    GdipDrawEllipseI(graphics, gridPen, cx - r, cy - r, 2 * r, 2 * r);
  }
  GdipDeletePen(gridPen);
  GdipDeleteGraphics(graphics);
  restore();
  return 1;
}
