#include "tests/toolkit/paint/swatch.h"

#include "platform/gdi/png.h"
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"

#include <cstdio>

namespace tktest {

namespace {

constexpr int kColumns = 6;
constexpr int kCellWidth = 180;
constexpr int kCellHeight = 40;
constexpr int kTitleHeight = 36;
constexpr int kGradientHeight = 70;

void Fill(HDC dc, const RECT& rect, COLORREF color)
{
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Text(HDC dc, RECT rect, const char* text)
{
  DrawText(dc, text, -1, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

// The gradient as bands, light to dark, with a black frame.
void Gradient(HDC dc, RECT rect, const CTKPaintManagerColorGradient& gradient)
{
  const COLORREF light = gradient.clrLight;
  const COLORREF dark = gradient.clrDark;
  const int width = rect.right - rect.left;
  for (int x = 0; x < width; ++x) {
    const auto mix = [&](BYTE a, BYTE b) { return (a * (width - 1 - x) + b * x) / (width > 1 ? width - 1 : 1); };
    const RECT band{rect.left + x, rect.top, rect.left + x + 1, rect.bottom};
    Fill(dc, band, RGB(mix(GetRValue(light), GetRValue(dark)), mix(GetGValue(light), GetGValue(dark)),
                       mix(GetBValue(light), GetBValue(dark))));
  }
  HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
  FrameRect(dc, &rect, frame);
  DeleteObject(frame);
}

}  // namespace

bool SaveSwatchSheet(const CTKColorManager& manager, const std::string& fileName, const std::string& title)
{
  const int rows = (TK_COLOR_COUNT + kColumns - 1) / kColumns;
  const int width = kColumns * kCellWidth;
  const int height = kTitleHeight + rows * kCellHeight + kGradientHeight;
  HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));

  Fill(dc, RECT{0, 0, width, height}, RGB(255, 255, 255));
  const std::string heading = "Toolkit colours: " + title + " (index, swatch, value)";
  Text(dc, RECT{8, 0, width, kTitleHeight}, heading.c_str());
  HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
  for (int i = 0; i < TK_COLOR_COUNT; ++i) {
    const int left = (i % kColumns) * kCellWidth;
    const int top = kTitleHeight + (i / kColumns) * kCellHeight;
    const COLORREF color = manager.GetColor(i);
    char label[48];
    std::snprintf(label, sizeof(label), "%2d", i);
    Text(dc, RECT{left + 6, top, left + 30, top + kCellHeight}, label);
    const RECT swatch{left + 30, top + 6, left + 70, top + kCellHeight - 6};
    Fill(dc, swatch, color);
    FrameRect(dc, &swatch, frame);
    std::snprintf(label, sizeof(label), "%u, %u, %u", GetRValue(color), GetGValue(color), GetBValue(color));
    Text(dc, RECT{left + 76, top, left + kCellWidth, top + kCellHeight}, label);
  }
  DeleteObject(frame);
  const int gradientTop = kTitleHeight + rows * kCellHeight + 8;
  Text(dc, RECT{8, gradientTop, 120, gradientTop + 24}, "caption");
  Gradient(dc, RECT{120, gradientTop, width / 2 - 10, gradientTop + 24}, manager.m_clrCaptionGradient);
  Text(dc, RECT{width / 2 + 10, gradientTop, width / 2 + 80, gradientTop + 24}, "bar");
  Gradient(dc, RECT{width / 2 + 80, gradientTop, width - 10, gradientTop + 24}, manager.m_clrBarGradient);

  SelectObject(dc, oldFont);
  DeleteObject(font);
  SelectObject(dc, oldBitmap);
  const bool saved = gdi::SavePng(bitmap, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + fileName);
  DeleteObject(bitmap);
  DeleteDC(dc);
  DeleteDC(screen);
  return saved;
}

}  // namespace tktest
