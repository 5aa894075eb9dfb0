// A line of text in the 3D scene, laid out once into private scaled copies of the stroke font's glyphs; the
// small dense matrix that transforms it; two vector helpers of the render core.
#pragma once

#include "geometry/object3d.h"
#include "geometry/stroke_font.h"

#include <memory>
#include <string>
#include <vector>

class CMatrix3D {
public:
  CMatrix3D() = default;
  CMatrix3D(int rows, int columns) { Allocate(rows, columns); }
  // The product a x b (the caller keeps a's columns equal to b's rows).
  CMatrix3D(const CMatrix3D& a, const CMatrix3D& b);
  virtual ~CMatrix3D() = default;
  CMatrix3D& operator=(const CMatrix3D&) = delete;

  void Allocate(int rows, int columns);
  double& At(int row, int column) { return m_rowPointers[row][column]; }
  double At(int row, int column) const { return m_rowPointers[row][column]; }
  int GetRows() const { return m_rows; }
  int GetColumns() const { return m_columns; }

private:
  int m_rows = 0;
  int m_columns = 0;
  std::unique_ptr<double[]> m_elements;
  std::unique_ptr<double*[]> m_rowPointers;
  bool m_ownsStorage = false;
};

void NormalizeVector(double v[3]);
void TriangleNormal(double out[3], const double a[3], const double b[3], const double c[3]);

class CVectorString3D : public CObject3D {
public:
  CVectorString3D();
  // The text only; the caller builds the glyphs.
  explicit CVectorString3D(std::u16string text);
  // The value printed with a printf format (at most 256 characters), glyphs built.
  CVectorString3D(const char* format, double value);
  ~CVectorString3D() override;

  void Serialize(CArchive& ar, DWORD version) override;
  void Draw() override;
  virtual void Rotate(const _POINT3D& centre, double angle);
  virtual void Translate(double dx, double dy, double dz);

  void SetText(std::u16string text) { m_text = std::move(text); }
  const std::u16string& GetText() const { return m_text; }
  void SetHeight(double height);
  double GetHeight() const { return m_height; }
  void ClearGlyphs();
  void BuildGlyphs();
  void Transform(const CMatrix3D& matrix);

  double GetWidthOfText() const { return m_size[0]; }
  double GetHeightOfText() const { return m_size[1]; }
  const std::vector<std::unique_ptr<CSimbol2D>>& GetGlyphs() const { return m_glyphs; }

  std::u16string m_text;
  std::vector<std::unique_ptr<CSimbol2D>> m_glyphs;
  double m_scaleX = 1.0;
  double m_scaleY = 1.0;
  double m_height = 6.0;
  float m_r = 0;
  float m_g = 0;
  float m_b = 0;
  int m_reserved = 0;

private:
  void AppendGlyph(std::unique_ptr<CSimbol2D> glyph);
};
