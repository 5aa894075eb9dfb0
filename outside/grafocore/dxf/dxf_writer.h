// The DXF writer: ASCII DXF of the R12 form (AC1009), which every reader takes, with the text in code page 1251
// ($DWGCODEPAGE ANSI_1251) and metres as units. Sections in order: HEADER, TABLES (LTYPE CONTINUOUS, LAYER,
// STYLE STANDARD), BLOCKS, ENTITIES, then EOF. Numbers are written with a point whatever the locale.
#pragma once

#include "outside/grafocore/dxf/dxf_drawing.h"

#include <string>
#include <string_view>
#include <vector>

namespace grafocore::dxf {

class Writer {
public:
  struct LayerDef {
    std::string name;  // cp1251
    int colour = 7;
  };
  struct BlockDef {
    std::string name;
    std::string entities;  // pairs made by another Writer's entity calls
  };

  void Pair(int code, std::string_view value);
  void Pair(int code, int value);
  void Pair(int code, double value);

  // Entities of the ENTITIES section (or of a block).
  void Line(std::string_view layer, const Point& a, const Point& b);
  // A 3D POLYLINE with its VERTEX entities; heights kept.
  void Polyline(std::string_view layer, const std::vector<Point>& points, bool closed);
  void Text(std::string_view layer, const Point& at, double height, double rotation, std::string_view text);
  void Circle(std::string_view layer, const Point& centre, double radius);
  void PointEntity(std::string_view layer, const Point& at);
  void Insert(std::string_view layer, std::string_view block, const Point& at, double rotation);

  // The whole file around the entities written so far.
  std::string File(const std::vector<LayerDef>& layers, const std::vector<BlockDef>& blocks, const Point& min,
                   const Point& max) const;
  const std::string& Entities() const { return m_out; }

private:
  std::string m_out;
};


}  // namespace grafocore::dxf
