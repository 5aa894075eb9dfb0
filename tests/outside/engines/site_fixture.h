// Small open-site inputs for the calculation tests, written in the engine's input format (numbers only; the
// captions are left out, which the format allows the reader to ignore).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "text_lines.h"

namespace Engines::testing {

class SiteText {
public:
  SiteText(double length, double width, double userStep) : length_(length), width_(width), step_(userStep) {}

  // Axis-aligned rectangle x0..x1, y0..y1 at height z; type 1 carriageway, 2 sidewalk, 0/3 background, 4 shading.
  SiteText& Rectangle(double x0, double y0, double x1, double y1, double z, int type, double base = 0.0)
  {
    rectangles_.push_back(Numbers({x0, y0, z, x1, y0, z, x1, y1, z}) + Line(type) + Line(base));
    return *this;
  }
  SiteText& Triangle(std::vector<double> nine, int type, double base = 0.0)
  {
    triangles_.push_back(Numbers(nine) + Line(type) + Line(base));
    return *this;
  }
  SiteText& Ellipse(std::vector<double> nine, int type, double base = 0.0)
  {
    ellipses_.push_back(Numbers(nine) + Line(type) + Line(base));
    return *this;
  }
  SiteText& Sector(std::vector<double> nine, double inner, double angle, int type, double base = 0.0)
  {
    sectors_.push_back(Numbers(nine) + Line(inner) + Line(angle) + Line(type) + Line(base));
    return *this;
  }
  // A polygon without triangle pieces: the outline alone.
  SiteText& Polygon(std::vector<double> xyz, int type, double base = 0.0)
  {
    std::string s = Line(static_cast<int>(xyz.size() / 3));
    for (std::size_t i = 0; i + 2 < xyz.size(); i += 3)
      s += Numbers({xyz[i], xyz[i + 1], xyz[i + 2]});
    polygons_.push_back(s + "0\n" + Line(type) + Line(base) + "0\n");
    maxVertices_ = std::max(maxVertices_, xyz.size() / 3);
    return *this;
  }
  // An individual pole without outreach or tilt: the light stands at (x, y, h).
  SiteText& Pole(double x, double y, double h, int type = 1)
  {
    records_.push_back("0\n0\n" + Line(x) + Line(y) + "0\n" + Line(h) + "0\n0\n" + Line(type));
    return *this;
  }
  SiteText& Record(std::string text)
  {
    records_.push_back(std::move(text));
    return *this;
  }
  // A source of the same intensity in every direction.
  SiteText& Isotropic(double candela, double lampFlux)
  {
    types_.push_back(IsotropicTypeBlock(candela, lampFlux));
    return *this;
  }
  // A type block as the file has it: system, lamp flux, counts, angles, planes, a line of candela per plane.
  SiteText& Type(std::string block)
  {
    types_.push_back(std::move(block));
    return *this;
  }
  SiteText& MaintenanceFactor(double mf)
  {
    mf_ = mf;
    return *this;
  }
  SiteText& Switches(int carriageway, int sidewalk)
  {
    carriageway_ = carriageway;
    sidewalk_ = sidewalk;
    return *this;
  }

  std::string Text() const
  {
    std::string s = Line(length_) + Line(width_) + (step_ > 0.0 ? "1\n" : "0\n") + Line(step_ > 0.0 ? step_ : 1.0) +
                    Line(carriageway_) + Line(sidewalk_) + "8\n";
    for (const auto* list : {&triangles_, &rectangles_, &ellipses_, &sectors_}) {
      s += Line(static_cast<int>(list->size()));
      for (const auto& item : *list)
        s += item;
    }
    s += Line(static_cast<int>(polygons_.size()));
    if (!polygons_.empty())
      s += Line(static_cast<int>(maxVertices_)) + "0\n";
    for (const auto& item : polygons_)
      s += item;
    s += "0\n0\n" + Line(mf_) + Line(static_cast<int>(records_.size())) + Line(static_cast<int>(types_.size())) +
         "100\n100\n";  // bounds for the blocks' counts
    for (const auto& r : records_)
      s += r;
    for (const auto& t : types_)
      s += t;
    return s;
  }

private:
  double length_, width_, step_;
  int carriageway_ = 1, sidewalk_ = 1;
  double mf_ = 1.0;
  std::size_t maxVertices_ = 0;
  std::vector<std::string> triangles_, rectangles_, ellipses_, sectors_, polygons_, records_, types_;
};

}  // namespace Engines::testing
