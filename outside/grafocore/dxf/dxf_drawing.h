// A background drawing as the library keeps it: layers and flat figures in metres, every curve already turned
// into a polyline and every block insertion expanded, so drawing and snapping need no DXF knowledge.
#pragma once

#include <string>
#include <vector>

namespace grafocore::dxf {

struct Point {
  double x = 0, y = 0, z = 0;
};

struct Layer {
  std::string name;  // cp1251
  int colour = 7;    // AutoCAD colour index
  bool on = true;
};

enum class FigureKind { Polyline, Text, Point };

// Colour of a figure: an AutoCAD colour index, or kByLayer.
inline constexpr int kByLayer = 256;

struct Figure {
  FigureKind kind = FigureKind::Polyline;
  int layer = 0;  // index into Drawing::layers
  int colour = kByLayer;
  bool closed = false;
  std::vector<Point> points;  // a polyline's vertices; a text's or a point's position first
  std::string text;           // cp1251, lines separated by '\n'
  double height = 0;          // text height
  double rotation = 0;        // text rotation about z, degrees
};

struct Drawing {
  std::vector<Layer> layers;
  std::vector<Figure> figures;
  // Ends of lines and polyline vertices, centres of circles and arcs, text and point positions: what a click
  // snaps to. Points of curves turned into polylines are not among them.
  std::vector<Point> snapPoints;

  // The box of every figure's points; empty (min > max) for a drawing without figures.
  Point Min() const;
  Point Max() const;
  int FindLayer(const std::string& name) const;
  int ColourOf(const Figure& figure) const;
};

}  // namespace grafocore::dxf
