// Interchange engine inputs. HandWrittenInterchange is written by hand line by line as the program writes it: a
// background rectangle under everything, a carriageway bridge deck 6 m up with five calculation points, a
// background polygon on the ground with four, a shading box, one pole and one C-plane type. InterchangeText
// builds small inputs for the calculation tests in the same format.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "text_lines.h"

namespace Engines::testing {

inline std::string HandWrittenInterchange()
{
  return std::string() +
         "60.000000\n"
         "40.000000\n"
         "0\n"
         "2.500000\n"
         "1\n"
         "1\n"
         "8\n"
         "0\n"
         "1\n"
         "-30.000000 -20.000000 0.001000 30.000000 -20.000000 0.001000 30.000000 20.000000 0.001000\n"
         "0\n"
         "0.000000       !  Базовая высота примитива\n"
         "0\n"
         "0\n"
         "3\n"
         "4\n"
         "2\n"
         "5\n"
         // The bridge deck: carriageway.
         "4\n"
         "-5.000000 -2.000000 6.002000\n"
         "5.000000 -2.000000 6.002000\n"
         "5.000000 2.000000 6.002000\n"
         "-5.000000 2.000000 6.002000\n"
         "0\n"
         "1\n"
         "0.000000       !  Базовая высота примитива\n"
         "2\n"
         "-5.000000 -2.000000 6.000000 5.000000 -2.000000 6.000000 5.000000 2.000000 6.000000\n"
         "-5.000000 -2.000000 6.000000 5.000000 2.000000 6.000000 -5.000000 2.000000 6.000000\n"
         "5\n"
         "-5.000000 -2.000000 6.040000 0.000000 0.000000 1.000000\n"
         "5.000000 -2.000000 6.040000 0.000000 0.000000 1.000000\n"
         "5.000000 2.000000 6.040000 0.000000 0.000000 1.000000\n"
         "-5.000000 2.000000 6.040000 0.000000 0.000000 1.000000\n"
         "0.000000 0.000000 6.040000 0.000000 0.000000 1.000000\n"
         // A background polygon on the ground: its points are sent, no values come back for them.
         "4\n"
         "-20.000000 -10.000000 0.003000\n"
         "-10.000000 -10.000000 0.003000\n"
         "-10.000000 10.000000 0.003000\n"
         "-20.000000 10.000000 0.003000\n"
         "1\n"
         "3\n"
         "0.000000       !  Базовая высота примитива\n"
         "2\n"
         "-20.000000 -10.000000 0.000000 -10.000000 -10.000000 0.000000 -10.000000 10.000000 0.000000\n"
         "-20.000000 -10.000000 0.000000 -10.000000 10.000000 0.000000 -20.000000 10.000000 0.000000\n"
         "4\n"
         "-20.000000 -10.000000 0.040000 0.000000 0.000000 1.000000\n"
         "-10.000000 -10.000000 0.040000 0.000000 0.000000 1.000000\n"
         "-10.000000 10.000000 0.040000 0.000000 0.000000 1.000000\n"
         "-20.000000 10.000000 0.040000 0.000000 0.000000 1.000000\n"
         // A shading box 3 m high: its triangles, then one line of six zeros.
         "4\n"
         "14.000000 -1.000000 3.004000\n"
         "16.000000 -1.000000 3.004000\n"
         "16.000000 1.000000 3.004000\n"
         "14.000000 1.000000 3.004000\n"
         "0\n"
         "4\n"
         "0.000000       !  Базовая высота примитива\n"
         "2\n"
         "14.000000 -1.000000 3.000000 16.000000 -1.000000 3.000000 16.000000 1.000000 3.000000\n"
         "14.000000 -1.000000 3.000000 16.000000 1.000000 3.000000 14.000000 1.000000 3.000000\n"
         "1\n"
         "0.000000 0.000000 0.000000 0.000000 0.000000 0.000000\n"
         "0.000000\n"
         "0.000000\n"
         "1.5\n"
         "1\n"
         "1\n"
         "3\n"
         "2\n"
         // A pole at (0, -6) whose 1.5 m arm points along +y: the light stands at (0, -4.5, 10).
         "0\n"
         "0\n"
         "0.000000\n"
         "-6.000000\n"
         "90\n"
         "10\n"
         "1.5\n"
         "0\n"
         "1\n"
         // C-planes, 12000 lm: 100, 80, 10 and 100, 60, 5 cd/klm.
         "0\n"
         "12000.000000\n"
         "3\n"
         "2\n"
         "0\t45\t90\n"
         "0\t180\n"
         "1200\t960\t120\n"
         "1200\t720\t60\n";
}

class InterchangeText {
public:
  using Triangle = std::array<double, 9>;
  struct Point {
    double x, y, z, nx, ny, nz;
  };

  // A polygon of membership `type` (1 carriageway, 2 sidewalk, 3 background, 4 shading) with its outline, mesh
  // triangles and calculation points; a shading object sends one point of zeros, as the program does.
  InterchangeText& Polygon(int type, std::vector<std::array<double, 3>> outline, std::vector<Triangle> triangles,
                           std::vector<Point> points, double base = 0.0)
  {
    if (type == 4)
      points = {{0, 0, 0, 0, 0, 0}};
    std::string s = Line(static_cast<int>(outline.size()));
    for (const auto& v : outline)
      s += Numbers({v[0], v[1], v[2]});
    s += "0\n" + Line(type) + Line(base) + Line(static_cast<int>(triangles.size()));
    for (const auto& t : triangles)
      s += Numbers({t.begin(), t.end()});
    s += Line(static_cast<int>(points.size()));
    for (const Point& p : points)
      s += Numbers({p.x, p.y, p.z, p.nx, p.ny, p.nz});
    polygons_.push_back(s);
    maxVertices_ = std::max(maxVertices_, outline.size());
    maxTriangles_ = std::max(maxTriangles_, triangles.size());
    maxPoints_ = std::max(maxPoints_, points.size());
    return *this;
  }
  // A flat rectangle x0..x1, y0..y1 at height z: two mesh triangles, and calculation points every `step` metres
  // 0.04 m above it, facing up.
  InterchangeText& FlatDeck(int type, double x0, double y0, double x1, double y1, double z, double step)
  {
    std::vector<Point> points;
    for (double x = x0; x <= x1 + 1e-9; x += step)
      for (double y = y0; y <= y1 + 1e-9; y += step)
        points.push_back({x, y, z + 0.04, 0, 0, 1});
    return Polygon(type, {{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}},
                   {Triangle{x0, y0, z, x1, y0, z, x1, y1, z}, Triangle{x0, y0, z, x1, y1, z, x0, y1, z}}, points);
  }
  // A simple rectangle (a flat deck without calculation points, or a shading prism of height z for type 4).
  InterchangeText& Rectangle(double x0, double y0, double x1, double y1, double z, int type, double base = 0.0)
  {
    rectangles_.push_back(Numbers({x0, y0, z, x1, y0, z, x1, y1, z}) + Line(type) + Line(base));
    return *this;
  }
  // An individual pole without outreach or tilt: the light stands at (x, y, h).
  InterchangeText& Pole(double x, double y, double h, int type = 1)
  {
    records_.push_back("0\n0\n" + Line(x) + Line(y) + "0\n" + Line(h) + "0\n0\n" + Line(type));
    return *this;
  }
  // A source of the same intensity in every direction.
  InterchangeText& Isotropic(double candela, double lampFlux)
  {
    types_.push_back(IsotropicTypeBlock(candela, lampFlux));
    return *this;
  }
  InterchangeText& Safety(double factor)
  {
    safety_ = factor;
    return *this;
  }
  InterchangeText& Switches(int carriageway, int sidewalk)
  {
    carriageway_ = carriageway;
    sidewalk_ = sidewalk;
    return *this;
  }
  InterchangeText& UserStep(double step)
  {
    userStep_ = step;
    return *this;
  }

  std::string Text() const
  {
    std::string s = "60.000000\n40.000000\n" + std::string(userStep_ > 0 ? "1\n" : "0\n") +
                    Line(userStep_ > 0 ? userStep_ : 1.0) + Line(carriageway_) + Line(sidewalk_) + "8\n0\n" +
                    Line(static_cast<int>(rectangles_.size()));
    for (const auto& r : rectangles_)
      s += r;
    s += "0\n0\n" + Line(static_cast<int>(polygons_.size()));
    if (!polygons_.empty())
      s += Line(static_cast<int>(maxVertices_)) + Line(static_cast<int>(maxTriangles_)) +
           Line(static_cast<int>(maxPoints_));
    for (const auto& p : polygons_)
      s += p;
    s += "0.000000\n0.000000\n" + Line(safety_) + Line(static_cast<int>(records_.size())) +
         Line(static_cast<int>(types_.size())) + "100\n100\n";
    for (const auto& r : records_)
      s += r;
    for (const auto& t : types_)
      s += t;
    return s;
  }

private:
  int carriageway_ = 1, sidewalk_ = 1;
  double safety_ = 1.0, userStep_ = 0.0;
  std::size_t maxVertices_ = 0, maxTriangles_ = 0, maxPoints_ = 0;
  std::vector<std::string> rectangles_, polygons_, records_, types_;
};

}  // namespace Engines::testing
