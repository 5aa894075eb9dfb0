// The stroke font of all text in the 3D scene: 47 glyphs of integer polylines on a cell six units high, and a
// square for every character the font lacks. One data-driven glyph class holds each glyph's strokes.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/archive.h"

#include <map>
#include <memory>
#include <vector>

struct _POINT3D {
  double x;
  double y;
  double z;
};

class CMatrix3D;

// One polyline of a glyph.
class CSimbolContour2D {
public:
  virtual ~CSimbolContour2D() = default;
  // int32 number of points, then x, y, z of each. Loading empties the contour first.
  virtual void Serialize(CArchive& ar);
  void AddPoint(const _POINT3D& point) { m_points.push_back(point); }

  std::vector<_POINT3D> m_points;
};

class CSimbol2D {
public:
  // The glyph of `code` as its class makes it; code 0 is the missing-character square.
  explicit CSimbol2D(char16_t code);
  virtual ~CSimbol2D() = default;
  CSimbol2D(const CSimbol2D&) = delete;
  CSimbol2D& operator=(const CSimbol2D&) = delete;

  // A copy of this glyph; the copy scales about (0, 0, 0).
  virtual std::unique_ptr<CSimbol2D> Clone() const;
  virtual void BuildStrokes();
  // uint16 code; width, height; position; scaling centre; scale; int32 contour count; the contours.
  virtual void Serialize(CArchive& ar, DWORD version);

  // Scales the current geometry by s about the scaling centre (no change for the stored scale).
  void SetScale(double s);
  void MoveTo(double x, double y, double z);
  void Translate(double dx, double dy, double dz);
  void Rotate(double angle, const _POINT3D& centre);
  void Transform(const CMatrix3D& matrix);
  void Draw() const;

  std::vector<std::unique_ptr<CSimbolContour2D>> m_contours;
  char16_t m_code = 0;
  double m_width = 0;
  double m_height = 6;
  double m_position[3] = {0, 0, 0};
  double m_centre[3] = {2, 3, 0};
  double m_scale = 1.0;

private:
  CSimbol2D() = default;
};

class CGlyphTable {
public:
  CGlyphTable();
  // A new glyph owned by the caller: a copy of the table's glyph for code, else a new missing-character square.
  std::unique_ptr<CSimbol2D> CreateGlyph(char16_t code) const;
  std::size_t GetCount() const { return m_glyphs.size(); }

private:
  std::map<char16_t, std::unique_ptr<CSimbol2D>> m_glyphs;
};

// The process-wide table, made on first use; the render core's destructor destroys it.
CGlyphTable* GetGlyphTable();
void DestroyGlyphTable();
