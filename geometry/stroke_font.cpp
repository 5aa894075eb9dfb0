#include "geometry/stroke_font.h"

#include "geometry/vector_string3d.h"
#include "platform/mfc-core/exceptions.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Each glyph's advance width and strokes: points "x,y" separated by blanks, polylines by "/".
struct GlyphData {
  char16_t code;
  int width;
  const char* strokes;
};

// In the order the table is filled.
constexpr GlyphData kGlyphs[] = {
    {0x21, 0, "0,0 0,1 / 0,2 0,6"},
    {0x22, 1, "0,4 1,6 / 1,4 2,6"},
    {0x24, 4, "4,5 1,5 0,4 1,3 3,3 4,2 3,1 0,1 / 2,6 2,0"},
    {0x25, 4, "1,5 1,6 0,6 0,5 1,5 / 4,0 4,1 3,1 3,0 4,0 / 4,6 0,0"},
    {0x26, 4, "4,0 0,4 0,5 1,6 2,5 2,4 0,2 0,1 1,0 2,0 4,2"},
    {0x28, 2, "2,6 0,4 0,2 2,0"},
    {0x29, 2, "0,6 2,4 2,2 0,0"},
    {0x2A, 4, "0,3 4,3 / 2,5 2,1 / 0,5 4,1 / 4,5 0,1"},
    {0x2B, 4, "0,3 4,3 / 2,5 2,1"},
    {0x2C, 1, "-1,-1 0,0 0,1"},
    {0x2D, 4, "0,3 4,3"},
    {0x2E, 1, "0,0 0,1 1,1 1,0 0,0"},
    {0x2F, 4, "4,6 0,0"},
    {0x3A, 0, "0,1 0,2 / 0,3 0,4"},
    {0x3B, 1, "-1,-1 0,0 0,2 / 0,3 0,4"},
    {0x3C, 3, "3,6 0,3 3,0"},
    {0x3D, 4, "0,4 4,4 / 0,2 4,2"},
    {0x3E, 3, "0,6 3,3 0,0"},
    {0x3F, 3, "2,0 2,1 / 2,2 2,3 3,4 3,5 2,6 1,6 0,5"},
    {0x40, 4, "3,3 2,2 1,2 1,3 2,4 3,4 3,2 4,3 4,5 3,6 1,6 0,5 0,1 1,0 4,0"},
    {0x5B, 2, "0,6 2,6 2,0 0,0"},
    {0x5C, 4, "0,6 4,0"},
    {0x5D, 2, "2,6 0,6 0,0 2,0"},
    {0x5E, 4, "4,4 2,6 0,4"},
    {0x7B, 2, "2,6 1,5 1,4 0,3 1,2 1,1 2,0"},
    {0x7D, 2, "0,6 1,5 1,4 2,3 1,2 1,1 0,0"},
    {0x20, 3, ""},
    {0x30, 3, "0,1 1,0 2,0 3,1 3,5 2,6 1,6 0,5 0,1"},
    {0x31, 2, "0,0 2,0 / 1,0 1,6 0,5"},
    {0x32, 4, "4,0 0,0 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5"},
    {0x33, 4, "0,1 1,0 3,0 4,1 4,2 3,3 2,3 3,3 4,4 4,5 3,6 1,6 0,5"},
    {0x34, 4, "3,0 3,6 0,2 4,2"},
    {0x35, 4, "0,1 1,0 3,0 4,1 4,3 3,4 0,4 0,6 4,6"},
    {0x36, 4, "0,3 3,3 4,2 4,1 3,0 1,0 0,1 0,4 2,6 3,6"},
    {0x37, 4, "1,0 4,6 0,6"},
    {0x38, 4, "1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3"},
    {0x39, 4, "1,0 2,0 4,2 4,5 3,6 1,6 0,5 0,4 1,3 4,3"},
    {0x41, 4, "4,0 4,2 2,6 0,2 0,0 / 0,2 4,2"},
    {0x61, 4, "4,0 3,1 2,0 1,0 0,1 0,3 1,4 2,4 3,3 3,1"},
    {0x42, 4, "0,0 3,0 4,1 4,2 3,3 1,3 3,3 4,4 4,5 3,6 0,6 / 1,0 1,6"},
    {0x62, 4, "0,0 0,2 2,0 3,0 4,1 4,3 3,4 2,4 0,2 0,6"},
    {0x43, 4, "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5"},
    {0x63, 4, "4,0 1,0 0,1 0,3 1,4 4,4"},
    {0x4D, 4, "4,0 4,6 2,2 0,6 0,0"},
    {0x68, 4, "4,0 4,3 3,4 2,4 0,2 0,0 0,6"},
    {0x3C8, 4, "4,6 4,3 3,2 1,2 0,3 0,6 / 2,0 2,5"},
    {0x3B4, 4, "1,4 0,3 0,1 1,0 3,0 4,1 4,3 3,4 1,4 0,5 1,6 3,6"},
};

constexpr GlyphData kUnknownGlyph = {0, 4, "0,0 4,0 4,4 0,4 0,0"};

const GlyphData& FindGlyphData(char16_t code)
{
  for (const GlyphData& data : kGlyphs) {
    if (data.code == code) {
      return data;
    }
  }
  return kUnknownGlyph;
}

std::unique_ptr<CGlyphTable> g_glyphTable;

}  // namespace

void CSimbolContour2D::Serialize(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_points.size());
    for (const _POINT3D& p : m_points) {
      ar << p.x << p.y << p.z;
    }
    return;
  }
  m_points.clear();
  int count = 0;
  ar >> count;
  if (count < 0) {
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  }
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * 24);
  m_points.resize(static_cast<std::size_t>(count));
  for (_POINT3D& p : m_points) {
    ar >> p.x >> p.y >> p.z;
  }
}

CSimbol2D::CSimbol2D(char16_t code)
{
  const GlyphData& data = FindGlyphData(code);
  m_code = data.code;
  m_width = data.width;
  BuildStrokes();
}

void CSimbol2D::BuildStrokes()
{
  const char* text = FindGlyphData(m_code).strokes;
  auto contour = std::make_unique<CSimbolContour2D>();
  while (*text != '\0') {
    if (*text == ' ') {
      ++text;
    } else if (*text == '/') {
      m_contours.push_back(std::move(contour));
      contour = std::make_unique<CSimbolContour2D>();
      ++text;
    } else {
      char* end = nullptr;
      const long x = std::strtol(text, &end, 10);
      const long y = std::strtol(end + 1, &end, 10);  // skips the comma
      contour->AddPoint({static_cast<double>(x), static_cast<double>(y), 0.0});
      text = end;
    }
  }
  if (!contour->m_points.empty()) {
    m_contours.push_back(std::move(contour));
  }
}

std::unique_ptr<CSimbol2D> CSimbol2D::Clone() const
{
  std::unique_ptr<CSimbol2D> copy(new CSimbol2D());
  copy->m_code = m_code;
  copy->m_width = m_width;
  copy->m_height = m_height;
  std::memcpy(copy->m_position, m_position, sizeof m_position);
  std::memset(copy->m_centre, 0, sizeof copy->m_centre);
  copy->m_scale = m_scale;
  for (const auto& contour : m_contours) {
    copy->m_contours.push_back(std::make_unique<CSimbolContour2D>(*contour));
  }
  return copy;
}

void CSimbol2D::Serialize(CArchive& ar, DWORD /*version*/)
{
  if (ar.IsStoring()) {
    ar << static_cast<WORD>(m_code) << m_width << m_height;
    for (double v : m_position) ar << v;
    for (double v : m_centre) ar << v;
    ar << m_scale << static_cast<int>(m_contours.size());
    for (const auto& contour : m_contours) {
      contour->Serialize(ar);
    }
    return;
  }
  m_contours.clear();
  WORD code = 0;
  ar >> code >> m_width >> m_height;
  m_code = code;
  for (double& v : m_position) ar >> v;
  for (double& v : m_centre) ar >> v;
  int count = 0;
  ar >> m_scale >> count;
  if (count < 0) {
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  }
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * 4);
  for (int i = 0; i < count; ++i) {
    auto contour = std::make_unique<CSimbolContour2D>();
    contour->Serialize(ar);
    m_contours.push_back(std::move(contour));
  }
}

void CSimbol2D::SetScale(double s)
{
  if (s == m_scale) {
    return;
  }
  m_scale = s;
  m_width *= s;
  m_height *= s;
  for (auto& contour : m_contours) {
    for (_POINT3D& p : contour->m_points) {
      p.x = m_centre[0] + (p.x - m_centre[0]) * s;
      p.y = m_centre[1] + (p.y - m_centre[1]) * s;
    }
  }
}

void CSimbol2D::MoveTo(double x, double y, double z)
{
  if (x == m_position[0] && y == m_position[1] && z == m_position[2]) {
    return;
  }
  const double dx = x - m_position[0];
  const double dy = y - m_position[1];
  for (auto& contour : m_contours) {
    for (_POINT3D& p : contour->m_points) {
      p.x += dx;
      p.y += dy;
    }
  }
  m_position[0] = x;
  m_position[1] = y;
  m_position[2] = z;
}

void CSimbol2D::Translate(double dx, double dy, double dz)
{
  m_position[0] += dx;
  m_position[1] += dy;
  m_position[2] += dz;
  for (auto& contour : m_contours) {
    for (_POINT3D& p : contour->m_points) {
      p.x += dx;
      p.y += dy;
    }
  }
}

void CSimbol2D::Rotate(double angle, const _POINT3D& centre)
{
  if (angle == 0) {
    return;
  }
  const double a = angle * 3.141592653589793 / 180.0;
  const double c = std::cos(a);
  const double s = std::sin(a);
  auto turn = [&](double& x, double& y, double& z) {
    const double rx = x - centre.x;
    const double ry = y - centre.y;
    x = centre.x + rx * c - ry * s;
    y = centre.y + rx * s + ry * c;
    z = centre.z;
  };
  turn(m_position[0], m_position[1], m_position[2]);
  for (auto& contour : m_contours) {
    for (_POINT3D& p : contour->m_points) {
      turn(p.x, p.y, p.z);
    }
  }
}

void CSimbol2D::Transform(const CMatrix3D& m)
{
  for (auto& contour : m_contours) {
    for (_POINT3D& p : contour->m_points) {
      const double in[4] = {p.x, p.y, p.z, 1.0};
      double out[3] = {0, 0, 0};
      for (int row = 0; row < 3; ++row) {
        for (int k = 0; k < 4; ++k) {
          out[row] += m.At(row, k) * in[k];
        }
      }
      p = {out[0], out[1], out[2]};
    }
  }
}

void CSimbol2D::Draw() const
{
  for (const auto& contour : m_contours) {
    glBegin(GL_LINE_STRIP);
    for (const _POINT3D& p : contour->m_points) {
      glVertex3d(p.x, p.y, p.z);
    }
    glEnd();
  }
}

CGlyphTable::CGlyphTable()
{
  for (const GlyphData& data : kGlyphs) {
    m_glyphs.emplace(data.code, std::make_unique<CSimbol2D>(data.code));
  }
}

std::unique_ptr<CSimbol2D> CGlyphTable::CreateGlyph(char16_t code) const
{
  const auto found = m_glyphs.find(code);
  if (found == m_glyphs.end()) {
    return std::make_unique<CSimbol2D>(char16_t{0});
  }
  return found->second->Clone();
}

CGlyphTable* GetGlyphTable()
{
  if (!g_glyphTable) {
    g_glyphTable = std::make_unique<CGlyphTable>();
  }
  return g_glyphTable.get();
}

void DestroyGlyphTable() { g_glyphTable.reset(); }
