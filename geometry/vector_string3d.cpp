#include "geometry/vector_string3d.h"

#include "platform/base/codepage.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

CMatrix3D::CMatrix3D(const CMatrix3D& a, const CMatrix3D& b)
{
  Allocate(a.m_rows, b.m_columns);
  for (int i = 0; i < m_rows; ++i) {
    for (int j = 0; j < m_columns; ++j) {
      double sum = 0;
      for (int k = 0; k < b.m_rows; ++k) {
        sum += a.At(i, k) * b.At(k, j);
      }
      At(i, j) = sum;
    }
  }
}

void CMatrix3D::Allocate(int rows, int columns)
{
  m_rows = std::max(rows, 0);
  m_columns = std::max(columns, 0);
  const std::size_t count = static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_columns);
  m_elements = std::make_unique<double[]>(count);  // zeroed
  m_rowPointers = std::make_unique<double*[]>(static_cast<std::size_t>(m_rows));
  for (int i = 0; i < m_rows; ++i) {
    m_rowPointers[i] = m_elements.get() + static_cast<std::size_t>(i) * static_cast<std::size_t>(m_columns);
  }
  m_ownsStorage = true;
}

void NormalizeVector(double v[3])
{
  const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length == 0) {
    return;
  }
  v[0] /= length;
  v[1] /= length;
  v[2] /= length;
}

void TriangleNormal(double out[3], const double a[3], const double b[3], const double c[3])
{
  const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  out[0] = u[1] * v[2] - u[2] * v[1];
  out[1] = u[2] * v[0] - u[0] * v[2];
  out[2] = u[0] * v[1] - u[1] * v[0];
}

CVectorString3D::CVectorString3D() { GetGlyphTable(); }

CVectorString3D::CVectorString3D(std::u16string text) : CVectorString3D() { SetText(std::move(text)); }

CVectorString3D::CVectorString3D(const char* format, double value) : CVectorString3D()
{
  char buffer[257];
  std::snprintf(buffer, sizeof buffer, format, value);
  m_text.assign(buffer, buffer + std::strlen(buffer));  // digits and signs: ASCII
  BuildGlyphs();
}

CVectorString3D::~CVectorString3D() = default;

void CVectorString3D::SetHeight(double height)
{
  if (height == m_height) {
    return;
  }
  m_height = height;
  m_scaleX = m_scaleY = height / 6;
  ClearGlyphs();
  BuildGlyphs();
}

void CVectorString3D::ClearGlyphs()
{
  m_glyphs.clear();
  m_size[0] = m_size[1] = 0;
}

// Each glyph starts one scaled unit after the previous one's advance width; the baseline is y = 0.
void CVectorString3D::AppendGlyph(std::unique_ptr<CSimbol2D> glyph)
{
  glyph->SetScale(m_scaleY);
  const double left = m_glyphs.empty() ? 0.0 : m_scaleX + m_size[0];
  glyph->MoveTo(left, 0, 0);
  m_size[0] += glyph->m_width;
  const bool first = m_glyphs.empty();
  m_glyphs.push_back(std::move(glyph));
  if (!first) {
    m_size[0] += m_scaleX;
  }
}

void CVectorString3D::BuildGlyphs()
{
  m_size[0] = m_size[1] = 0;
  ClearGlyphs();
  const CGlyphTable* table = GetGlyphTable();
  for (char16_t ch : m_text) {
    AppendGlyph(table->CreateGlyph(ch));
  }
  for (const auto& glyph : m_glyphs) {
    m_size[1] = std::max(m_size[1], glyph->m_height);
  }
}

void CVectorString3D::Transform(const CMatrix3D& matrix)
{
  for (auto& glyph : m_glyphs) {
    glyph->Transform(matrix);
  }
}

void CVectorString3D::Rotate(const _POINT3D& centre, double angle)
{
  if (angle == 0) {
    return;
  }
  for (auto& glyph : m_glyphs) {
    glyph->Rotate(angle, centre);
  }
}

void CVectorString3D::Translate(double dx, double dy, double dz)
{
  for (auto& glyph : m_glyphs) {
    glyph->Translate(dx, dy, dz);
  }
}

void CVectorString3D::Draw()
{
  glPushMatrix();
  glTranslated(m_position[0], m_position[1], m_position[2]);
  ApplyRotation();
  glDisable(GL_LIGHTING);
  glColor3f(m_r, m_g, m_b);
  for (const auto& glyph : m_glyphs) {
    glyph->Draw();
  }
  glEnable(GL_LIGHTING);
  glPopMatrix();
}

// The base's part; the text in code page 1251 ("?" for what it lacks); scale x, scale y, height, reserved;
// then, storing, every glyph. Loading takes the glyph geometry from the file, not from the font.
void CVectorString3D::Serialize(CArchive& ar, DWORD version)
{
  CObject3D::Serialize(ar, version);
  if (ar.IsStoring()) {
    const std::string narrow = codepage::Utf16ToCp1251(m_text);
    ar << CString(narrow.c_str());
    ar << m_scaleX << m_scaleY << m_height << m_reserved;
    for (const auto& glyph : m_glyphs) {
      glyph->Serialize(ar, version);
    }
    return;
  }
  ClearGlyphs();
  CString narrow;
  ar >> narrow;
  m_text = codepage::Cp1251ToUtf16(std::string_view(narrow.GetString(), narrow.GetLength()));
  ar >> m_scaleX >> m_scaleY >> m_height >> m_reserved;
  const CGlyphTable* table = GetGlyphTable();
  for (char16_t ch : m_text) {
    auto glyph = table->CreateGlyph(ch);
    glyph->Serialize(ar, version);
    AppendGlyph(std::move(glyph));
  }
  for (const auto& glyph : m_glyphs) {
    m_size[1] = std::max(m_size[1], glyph->m_height);
  }
}
