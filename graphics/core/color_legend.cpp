#include "graphics/core/color_legend.h"

#include "geometry/gl_context.h"
#include "graphics/core/font_cache.h"
#include "model/number_text.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

namespace {

// Members of each pair exclude each other.
constexpr int kExclusivePairs[][2] = {{0x1, 0x2}, {0x4, 0x8}, {0x10, 0x20}, {0x40, 0x80}, {0x100, 0x200}};
constexpr int kKindDefault = 5;
constexpr int kKindReplaceAll = 1024;
constexpr int kKindClearFirst = 0x400;

const CBitmapFont* LegendFont()
{
  return CFontCache::GetInstance()->Find(kLegendFontKey);
}

// Copies as much as fits, always terminated.
void CopyText(char (&out)[24], const char* text)
{
  std::snprintf(out, sizeof out, "%s", text);
}

}  // namespace

CColorLegend::~CColorLegend()
{
  DeleteCells();
}

void CColorLegend::DeleteCells()
{
  for (CLegendCell* cell : m_cells)
    delete cell;
  m_cells.clear();
}

void CColorLegend::SetKind(int kind)
{
  if (kind == kKindDefault || kind == kKindReplaceAll) {
    m_kind = kind;
    return;
  }
  for (const auto& pair : kExclusivePairs) {
    if (kind & pair[0])
      m_kind &= ~pair[1];
    if (kind & pair[1])
      m_kind &= ~pair[0];
  }
  if (kind & kKindClearFirst)
    m_kind = 0;
  m_kind |= kind;
}

void CColorLegend::SetLevels(const CArray<_PREF_OF_COLOR_LEVELS>& levels, int quantity)
{
  DeleteCells();
  const bool luminance = quantity == 0;
  CopyText(m_unit, luminance ? "кд/м^2" : "лк");
  const int decimals = luminance ? 2 : 1;
  char format[16];
  std::snprintf(format, sizeof format, "%%.%df", decimals);

  m_width = 500;
  m_height = 20;
  m_cellHeight = 20;
  const int count = static_cast<int>(levels.GetSize());
  m_cellWidth = count > 0 ? m_width / count : 0;
  m_x = 0;
  m_y = 20;

  const CBitmapFont* font = LegendFont();
  for (int i = 0; i < count; ++i) {
    const _PREF_OF_COLOR_LEVELS& level = levels[i];
    auto* cell = new CLegendCell;
    cell->red = static_cast<float>(level.colour & 0xFF) / 255.0f;
    cell->green = static_cast<float>((level.colour >> 8) & 0xFF) / 255.0f;
    cell->blue = static_cast<float>((level.colour >> 16) & 0xFF) / 255.0f;
    // Bounded: a value of many digits is cut to the cell's text rather than written past it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(cell->text, sizeof cell->text, format, level.value);
#pragma GCC diagnostic pop
    CopyText(cell->text, NormalizeNumberText(CString(cell->text)));
    if (font)
      font->MeasureText(cell->text, &cell->textSize);
    cell->left = m_x + i * m_cellWidth;
    cell->right = cell->left + m_cellWidth;
    cell->top = m_y;
    cell->bottom = m_y + m_cellHeight;
    cell->textX = cell->left + m_cellWidth / 2 - cell->textSize.cx / 2;
    cell->textY = m_y - 20;
    m_cells.push_back(cell);
  }
}

void CColorLegend::DrawGL() const
{
  if (!(m_kind & kLegendShown) || !HasCurrentGlContext())
    return;
  const CBitmapFont* font = LegendFont();
  for (const CLegendCell* cell : m_cells) {
    glColor3f(cell->red, cell->green, cell->blue);
    glBegin(GL_POLYGON);
    glVertex2i(cell->left, cell->top);
    glVertex2i(cell->right, cell->top);
    glVertex2i(cell->right, cell->bottom);
    glVertex2i(cell->left, cell->bottom);
    glEnd();
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2i(cell->left, cell->top);
    glVertex2i(cell->right, cell->top);
    glVertex2i(cell->right, cell->bottom);
    glVertex2i(cell->left, cell->bottom);
    glEnd();
    if (font)
      font->DrawText(cell->textX, cell->textY, cell->text);
  }
  if (font)
    font->DrawText(m_x + m_width + 10, m_y - 20, m_unit);
}

void CColorLegend::DrawGDI(double x, double y, HDC dc) const
{
  const CBitmapFont* legendFont = LegendFont();
  const LOGFONTA logFont = legendFont && legendFont->GetListBase() > 0 ? legendFont->GetLogFont() : LegendLogFont();
  HFONT font = CreateFontIndirectA(&logFont);
  HGDIOBJ previousFont = SelectObject(dc, font);
  HGDIOBJ previousPen = SelectObject(dc, GetStockObject(DC_PEN));
  HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(DC_BRUSH));

  int left = static_cast<int>(x);
  const int top = static_cast<int>(y);
  for (const CLegendCell* cell : m_cells) {
    SetDCBrushColor(dc, RGB(static_cast<BYTE>(cell->red * 255), static_cast<BYTE>(cell->green * 255),
                            static_cast<BYTE>(cell->blue * 255)));
    Rectangle(dc, left, top, left + m_cellWidth, top + m_cellHeight);
    const int length = static_cast<int>(std::strlen(cell->text));
    SIZE size{};
    GetTextExtentPoint32A(dc, cell->text, length, &size);
    TextOutA(dc, left + m_cellWidth / 2 - size.cx / 2, top + m_cellHeight + 5, cell->text, length);
    left += m_cellWidth;
  }
  TextOutA(dc, left + 10, top + m_cellHeight + 5, m_unit, static_cast<int>(std::strlen(m_unit)));

  SelectObject(dc, previousBrush);
  SelectObject(dc, previousPen);
  SelectObject(dc, previousFont);
  DeleteObject(font);
}
