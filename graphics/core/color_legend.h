// The colour-scale legend under the view and in report pictures: one cell per colour level with its value,
// then the unit.
#pragma once

#include "model/pref_of_color.h"
#include "platform/gdi/wingdi.h"
#include "platform/mfc-core/array.h"

#include <vector>

struct CLegendCell {
  int textX = 0;
  int textY = 0;
  char text[24] = {};
  float red = 0, green = 0, blue = 0;
  int left = 0, top = 0, right = 0, bottom = 0;
  SIZE textSize{};
};

// Bits of the kind word.
inline constexpr int kLegendShown = 0x4;
inline constexpr int kLegendHidden = 0x8;

class CColorLegend {
public:
  CColorLegend() = default;
  ~CColorLegend();
  CColorLegend(const CColorLegend&) = delete;
  CColorLegend& operator=(const CColorLegend&) = delete;

  // 5 and 1024 replace the word; otherwise a bit of a pair (1/2, 4/8, 0x10/0x20, 0x40/0x80, 0x100/0x200) clears
  // its partner, 0x400 clears the word first, and the argument is OR-ed in.
  void SetKind(int kind);
  int GetKind() const { return m_kind; }

  // quantity 0 is luminance (cd/m², two decimals), any other illuminance (lx, one decimal).
  void SetLevels(const CArray<_PREF_OF_COLOR_LEVELS>& levels, int quantity);
  // Into a 1000 x 100 orthographic viewport; only while the legend is shown. Needs the legend font.
  void DrawGL() const;
  // The report picture's variant, cells from (x, y) downward on the DC.
  void DrawGDI(double x, double y, HDC dc) const;

  const std::vector<CLegendCell*>& GetCells() const { return m_cells; }
  const char* GetUnitText() const { return m_unit; }
  int GetCellWidth() const { return m_cellWidth; }
  int GetCellHeight() const { return m_cellHeight; }
  int GetX() const { return m_x; }
  int GetY() const { return m_y; }
  int GetWidth() const { return m_width; }

private:
  void DeleteCells();

  int m_kind = 5;
  int m_x = 0;
  int m_y = 20;
  int m_width = 500;
  int m_height = 20;
  int m_cellWidth = 0;
  int m_cellHeight = 20;
  std::vector<CLegendCell*> m_cells;
  char m_unit[24] = {};
};
